#include "ui/HelpWindow.h"

#include "model/HelpText.h"
#include "model/ReportFile.h"
#include "ui/Messages.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QPointer>
#include <QProcess>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

#include <vector>

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

THelpWindow::THelpWindow(QWidget *parent)
    : QMdiSubWindow(parent), fBrowser(new QTextBrowser), fFind(new QLineEdit), fFindStatus(new QLabel) {
  setAttribute(Qt::WA_DeleteOnClose);
  fBrowser->setObjectName(QStringLiteral("HelpBrowser"));
  // Links are followed here: sections of the file, the other help files, and
  // the desktop's handler for the rest.
  fBrowser->setOpenLinks(false);
  connect(fBrowser, &QTextBrowser::anchorClicked, this, &THelpWindow::FollowLink);

  auto *page = new QWidget;
  auto *layout = new QVBoxLayout(page);
  layout->setContentsMargins(2, 2, 2, 2);
  auto *findRow = new QHBoxLayout;
  fFind->setPlaceholderText(QStringLiteral("Find in the manual (Ctrl+F)"));
  fFind->setClearButtonEnabled(true);
  auto *previous = new QPushButton(QStringLiteral("Previous"));
  auto *next = new QPushButton(QStringLiteral("Next"));
  findRow->addWidget(fFind, 1);
  findRow->addWidget(previous);
  findRow->addWidget(next);
  findRow->addWidget(fFindStatus);
  layout->addLayout(findRow);
  layout->addWidget(fBrowser, 1);
  setWidget(page);
  setWindowTitle(QStringLiteral("Help"));

  connect(fFind, &QLineEdit::returnPressed, this, [this] { FindText(fFind->text()); });
  connect(next, &QPushButton::clicked, this, [this] { FindText(fFind->text()); });
  connect(previous, &QPushButton::clicked, this, [this] { FindText(fFind->text(), true); });
  const auto shortcut = [this](const QKeySequence &key, const std::function<void()> &run) {
    auto *action = new QAction(this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, run);
    addAction(action);
  };
  shortcut(QKeySequence::Find, [this] {
    fFind->setFocus();
    fFind->selectAll();
  });
  shortcut(QKeySequence(Qt::Key_F3), [this] { FindText(fFind->text()); });
  shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { FindText(fFind->text(), true); });
}

void THelpWindow::addAnchors() {
  // The headings get the anchors the Markdown links name.
  std::vector<QTextBlock> headings;
  QStringList texts;
  for (QTextBlock block = fBrowser->document()->begin(); block.isValid(); block = block.next())
    if (block.blockFormat().headingLevel() > 0) {
      headings.push_back(block);
      texts << block.text();
    }
  fAnchors = HeadingAnchors(texts);
  for (std::size_t i = 0; i < headings.size(); ++i) {
    QTextCursor cursor(headings[i]);
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setAnchor(true);
    format.setAnchorNames({fAnchors[static_cast<qsizetype>(i)]});
    cursor.mergeCharFormat(format);
  }
}

bool THelpWindow::ShowSection(const QString &anchor) {
  const qsizetype index = fAnchors.indexOf(anchor);
  if (index < 0) return false;
  // The cursor goes there too, so that a find starts at the section.
  qsizetype k = 0;
  for (QTextBlock block = fBrowser->document()->begin(); block.isValid(); block = block.next())
    if (block.blockFormat().headingLevel() > 0 && k++ == index) {
      fBrowser->setTextCursor(QTextCursor(block));
      break;
    }
  fBrowser->scrollToAnchor(anchor);
  return true;
}

void THelpWindow::FollowLink(const QUrl &link) {
  const QUrl target = QUrl::fromLocalFile(fPath).resolved(link);
  if (!target.isLocalFile()) {
    QDesktopServices::openUrl(target);
    return;
  }
  const QString file = target.toLocalFile();
  const QString section = link.fragment(QUrl::FullyDecoded);
  if (link.path().isEmpty() || QFileInfo(file) == QFileInfo(fPath)) {
    if (!section.isEmpty()) ShowSection(section);
    return;
  }
  if (file.endsWith(QStringLiteral(".md"), Qt::CaseInsensitive) && QFileInfo(file).isFile()) {
    if (Open(file) && !section.isEmpty()) ShowSection(section);
    return;
  }
  QDesktopServices::openUrl(target);
}

bool THelpWindow::FindText(const QString &text, bool backward) {
  fFindStatus->clear();
  if (text.isEmpty()) return false;
  const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  if (fBrowser->find(text, flags)) return true;
  // Around the end (or the start).
  const QTextCursor kept = fBrowser->textCursor();
  QTextCursor from(fBrowser->document());
  from.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
  fBrowser->setTextCursor(from);
  if (fBrowser->find(text, flags)) return true;
  fBrowser->setTextCursor(kept);
  fFindStatus->setText(QStringLiteral("Not found"));
  return false;
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
    fAnchors.clear();
    return false;
  }
  // Links between the manuals and their pictures resolve beside the file.
  fBrowser->setSearchPaths({QFileInfo(path).absolutePath()});
  fBrowser->document()->setBaseUrl(QUrl::fromLocalFile(fPath));
  // A manual with its pictures takes a moment to lay out.
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  fBrowser->setMarkdown(QString::fromUtf8(bytes));
  addAnchors();
  QGuiApplication::restoreOverrideCursor();
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
