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
  const std::pair<QAction *, const char *> windows[] = {
      {form.Commands().Title, "title"},
      {form.Commands().PierProperties, "pier-properties"},
      {form.Commands().WaterTable, "water-table"},
      {form.Commands().MethodLength, "pier-length"},
      {form.Commands().MethodLoad, "design-load"},
      {form.Commands().SafetyFactor, "factor-of-safety"},
  };
  for (const auto &[action, name] : windows) {
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
  form.Commands().PrintTzCurves->trigger();
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
    form.Commands().RunAnalysis->trigger();
    pictures.stop();
    if (box == 0) ++failures;
    // After the run: the result buttons follow the loaded data; one plot listed.
    if (QAction *combined = form.Commands().CombinedUltimate; combined && combined->isEnabled())
      combined->trigger();
    else
      ++failures;
    save(QStringLiteral("after-run"));
  }
  return failures == 0 ? 0 : 1;
}
