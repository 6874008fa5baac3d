#include "ui/HelpWindow.h"

#include "model/ReportFile.h"
#include "ui/Messages.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QPointer>
#include <QProcess>
#include <QTextBrowser>
#include <QUrl>

namespace pylar {

namespace {

// Help files are small; a larger one is no help file of this program.
constexpr qint64 kHelpFileLimit = qint64(8) * 1024 * 1024;

bool isXdgOpen(const QString &program) { return QFileInfo(program).fileName() == QLatin1String("xdg-open"); }

// Runs xdg-open on `path` and reports its outcome when it ends: it returns at
// once with a failure status when no handler can show the file.
void runXdgOpen(const QString &program, const QString &path, std::function<void(bool)> done) {
  auto *process = new QProcess;
  QObject::connect(process, &QProcess::finished, process, [process, done](int code, QProcess::ExitStatus status) {
    process->deleteLater();
    done(status == QProcess::NormalExit && code == 0);
  });
  QObject::connect(process, &QProcess::errorOccurred, process, [process, done](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    process->deleteLater();
    done(false);
  });
  process->start(program, {path});
}

}  // namespace

THelpWindow *THelpWindow::Find(QMdiArea *area) {
  for (QMdiSubWindow *window : area->subWindowList())
    if (auto *help = qobject_cast<THelpWindow *>(window)) return help;
  return nullptr;
}

THelpWindow *THelpWindow::ShowHelp(QMdiArea *area, const QString &path) {
  THelpWindow *window = Find(area);
  if (!window) {
    window = new THelpWindow;
    area->addSubWindow(window);
    window->resize(std::min(area->width() - 20, 820), std::max(area->height() - 40, 300));
  }
  window->Open(path);
  window->showNormal();
  area->setActiveSubWindow(window);
  return window;
}

THelpWindow::THelpWindow(QWidget *parent) : QMdiSubWindow(parent), fBrowser(new QTextBrowser) {
  setAttribute(Qt::WA_DeleteOnClose);
  fBrowser->setObjectName(QStringLiteral("HelpBrowser"));
  fBrowser->setOpenExternalLinks(true);
  fBrowser->setOpenLinks(true);
  setWidget(fBrowser);
  setWindowTitle(QStringLiteral("Help"));
}

bool THelpWindow::Open(const QString &path) {
  fPath = QFileInfo(path).absoluteFilePath();
  setWindowTitle(QStringLiteral("Help - ") + QFileInfo(path).fileName());
  QFile file(path);
  QString error;
  QByteArray bytes;
  if (!QFileInfo(path).isFile()) error = QStringLiteral("The help file %1 could not be found.");
  else if (!file.open(QIODevice::ReadOnly)) error = QStringLiteral("The help file %1 could not be opened.");
  else if ((bytes = file.read(kHelpFileLimit + 1)).size() > kHelpFileLimit)
    error = QStringLiteral("The help file %1 is too large to be a help file.");
  if (!error.isEmpty()) {
    fBrowser->setPlainText(error.arg(QDir::toNativeSeparators(fPath)));
    return false;
  }
  // Links between the manuals and their pictures resolve beside the file.
  fBrowser->setSearchPaths({QFileInfo(path).absolutePath()});
  fBrowser->document()->setBaseUrl(QUrl::fromLocalFile(fPath));
  fBrowser->setMarkdown(QString::fromUtf8(bytes));
  return true;
}

TDesktopOpener DesktopOpener() {
  return [](const QString &path, std::function<void(bool)> done) {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    runXdgOpen(QStringLiteral("xdg-open"), path, std::move(done));
#else
    done(QDesktopServices::openUrl(QUrl::fromLocalFile(path)));
#endif
  };
}

void OpenHelpFile(QMdiArea *area, const QString &path, const TDesktopOpener &opener) {
  if (!QFileInfo(path).isFile()) {
    ShowInformation(area, QStringLiteral("The help file could not be found:\r") + QDir::toNativeSeparators(path));
    return;
  }
  QPointer<QMdiArea> target = area;
  opener(path, [target, path](bool opened) {
    if (!opened && target) THelpWindow::ShowHelp(target, path);
  });
}

void StartTextEditor(QWidget *parent, const QString &program, const QString &path, const TProcessStarter &start) {
  QPointer<QWidget> owner = parent;
  const QString native = QDir::toNativeSeparators(path);
  auto failed = [owner, program] { ShowInformation(owner, EditorFailureMessage(program)); };
  if (program.trimmed().isEmpty()) {
    failed();
    return;
  }
  if (start) {
    if (!start(program, {native})) failed();
    return;
  }
  // xdg-open hands the file on and ends, with a failure status when nothing
  // could take it: that status is the only sign of the failure.
  if (isXdgOpen(program)) {
    runXdgOpen(program, native, [failed](bool opened) {
      if (!opened) failed();
    });
    return;
  }
  if (!QProcess::startDetached(program, {native})) failed();
}

}  // namespace pylar
