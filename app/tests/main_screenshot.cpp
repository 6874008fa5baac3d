// Opens a project in the main window, shows each small data window in turn and
// saves a picture of the main window each time (into the folder given as the
// first argument), so the layout can be looked at.
#include "ScreenshotSession.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>

using namespace pylar;

int main(int argc, char *argv[]) {
  TScreenshotSession session(argc, argv, QSize(1100, 720));
  if (!session.Shown()) return 1;
  TMainForm &form = session.Form();
  const QString &project = session.Project();
  int &failures = session.failures;
  auto save = [&](const QString &name) { session.Save(&form, name); };
  save(QStringLiteral("main-window"));
  const std::pair<const char *, const char *> windows[] = {
      {"Da&ta|&Title", "title"},
      {"Da&ta|&Drilled-Pylar Properties", "pier-properties"},
      {"Da&ta|&Water Table", "water-table"},
      {"Da&ta|&Computation Methods|Specify the pylar length", "pier-length"},
      {"Da&ta|&Computation Methods|Specify the design load", "design-load"},
      {"Da&ta|&Factor of Safety (Allowable Stress Design)", "factor-of-safety"},
  };
  for (const auto &[path, name] : windows) {
    QAction *action = form.Action(QString::fromLatin1(path));
    if (!action) {
      std::fprintf(stderr, "no command %s\n", path);
      ++failures;
      continue;
    }
    form.MdiArea()->closeAllSubWindows();
    QTest::qWait(50);
    action->trigger();
    if (QMdiSubWindow *window = form.MdiArea()->activeSubWindow()) window->adjustSize();
    save(QString::fromLatin1(name));
  }
  // The t-z print option is modal: picture it on its own.
  QTimer::singleShot(300, [&] {
    if (QWidget *dialog = QApplication::activeModalWidget()) {
      if (!dialog->grab().save(session.OutputPath(QStringLiteral("tz-print.png")))) ++failures;
      dialog->close();
    } else {
      ++failures;
    }
  });
  form.Action(QStringLiteral("Da&ta|Print Additional t-z curves"))->trigger();
  form.MdiArea()->closeAllSubWindows();

  // A run of a copy of the project, with the message boxes it shows.
  QTemporaryDir runFolder;
  if (!project.isEmpty() && QFile::copy(project, runFolder.filePath(QStringLiteral("run.pq8d")))) {
    form.SetChanged(false);  // the edits above are not to be saved
    form.OpenFileByExtension(runFolder.filePath(QStringLiteral("run.pq8d")));
    int box = 0;
    QTimer pictures;
    QObject::connect(&pictures, &QTimer::timeout, [&] {
      if (QWidget *dialog = QApplication::activeModalWidget()) {
        const QString name = QStringLiteral("run-message-%1.png").arg(++box);
        if (!form.grab().save(session.OutputPath(QStringLiteral("run-main-window.png")))) ++failures;
        if (!dialog->grab().save(session.OutputPath(name))) ++failures;
        dialog->close();
      }
    });
    pictures.start(300);
    form.Action(QStringLiteral("&Computation|&Run Analysis"))->trigger();
    pictures.stop();
    if (box == 0) ++failures;
    // After the run: the result buttons follow the loaded data; one plot listed.
    if (QAction *combined = form.ToolButton(QStringLiteral("Combined Plot (Ultimate)")); combined && combined->isEnabled())
      combined->trigger();
    else
      ++failures;
    save(QStringLiteral("after-run"));
  }
  return failures == 0 ? 0 : 1;
}
