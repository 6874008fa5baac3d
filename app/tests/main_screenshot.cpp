// Opens a project in the main window, shows each small data window in turn and
// saves a picture of the main window each time (into the folder given as the
// first argument), so the layout can be looked at; then runs a copy of the
// project and pictures the soil profile grid and the File, Edit and Window menus.
#include "ScreenshotSession.h"
#include "ui/DataEdit.h"
#include "ui/ProfileGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

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

    // The soil profile grid of the run's project, with the values the run estimated.
    form.MdiArea()->closeAllSubWindows();
    QTest::qWait(50);
    form.Commands().ProfileGrid->trigger();
    if (QMdiSubWindow *grid = form.MdiArea()->activeSubWindow()) {
      grid->setGeometry(QRect(QPoint(0, 0), form.MdiArea()->viewport()->size()));
      // The columns of the profile's models: its estimates are in sight.
      if (auto *profile = qobject_cast<TSoilProfileGrid *>(qobject_cast<TDataChild *>(grid)->Form())) {
        profile->Compact()->setChecked(true);
        // The last column in sight: the clay's estimated alpha and Nc.
        TProfileGridModel *model = profile->Model();
        profile->View()->scrollTo(model->index(0, model->columnCount() - 1));
      }
    } else {
      ++failures;
    }
    save(QStringLiteral("profile-grid"));

    // The File, Edit and Window menus with the commands of the desktop: an
    // edit to undo, the windows tiled.
    form.Commands().PierProperties->trigger();
    if (TDataChild *pier = form.DataWindow(QStringLiteral("Drilled-Pylar Properties")))
      pier->Form()->Fields().at(0)->setText(QStringLiteral("3.5"));
    form.Commands().WaterTable->trigger();
    form.Commands().Tile->trigger();
    const auto menu = [&](QMenu *open, const QString &name) {
      const QPoint at = form.mapToGlobal(form.menuBar()->actionGeometry(open->menuAction()).bottomLeft());
      QTimer::singleShot(300, [&, open, name] {
        const QRect frame = form.frameGeometry().united(open->geometry()).intersected(form.screen()->geometry());
        const QPixmap screen = form.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
        if (!screen.save(session.OutputPath(name + QStringLiteral(".png")))) ++failures;
        open->close();
      });
      open->exec(at);
    };
    menu(form.Menus().File, QStringLiteral("file-menu"));
    menu(form.Menus().Edit, QStringLiteral("edit-menu"));
    menu(form.Menus().Window, QStringLiteral("window-menu"));
    form.SetChanged(false);
  }
  return failures == 0 ? 0 : 1;
}
