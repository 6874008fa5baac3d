// Pictures of the 3-D View for people to look at: a layered profile with its
// water table and labels (as the view starts and turned), a belled pier with the capacity curves beside it
// (in the window and rendered without one), the "Combined Plots" window, the
// view inside an area of windows and in the main window with its 3D menu and
// buttons. The output folder is the first
// argument.
#include "RunRecordFixture.h"
#include "model/DataUnit.h"
#include "model/PltData.h"
#include "ui/Main.h"
#include "ui/Table.h"
#include "ui/View3dUnit1.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

using namespace pylar;

namespace {

struct TSample {
  TProjectTables tables;
  std::unique_ptr<TProgramData> data;
  TResultPlots plots;
  explicit TSample(const char *name) {
    const QString base = QStringLiteral(PYLAR_SOURCE_DIR);
    auto read = TProgramData::CreateFromFile(tables, base + "/examples/" + name + ".pq8d", ffVersion8);
    data = std::move(read.data);
    ReadPlotData(base + "/engine/tests/golden/" + name + ".pq8p", PlotDataContext(*data), plots);
  }
};

}  // namespace

int main(int argc, char *argv[]) {
  QTemporaryDir config;  // the main window's settings stay out of the user's
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  InstallTableForms();
  const QString folder = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("view3d")).absolutePath();
  QDir().mkpath(folder);
  int failures = 0;
  auto save = [&](const QImage &image, const char *name) {
    if (image.isNull() || !image.save(folder + "/" + name + ".png")) {
      std::fprintf(stderr, "could not save %s\n", name);
      ++failures;
    }
  };
  QMdiArea area;
  area.resize(1280, 900);
  area.show();
  if (!QTest::qWaitForWindowExposed(&area)) return 1;

  {
    TSample sample("deep-profile-lrfd");
    sample.data->WTD = 24;
    TDlgBlock *view = TDlgBlock::Show(&area, *sample.data, sample.plots);
    if (!view) return 1;
    TView3dOptions options = view->Options();
    options.ShowSoilLayerLabels = options.ShowSoilLayerDepthLabels = true;
    view->SetOptions(options);
    QTest::qWait(100);
    save(view->Picture(), "layered-start-view");
    TViewState v = view->View();
    v.rotX = -30;
    v.rotY = 18;
    v.zoom = 0.85;
    view->SetView(v);
    QTest::qWait(100);
    save(view->Picture(), "layered-water-table");
    save(area.grab().toImage(), "view-in-main-window");
    area.closeAllSubWindows();
    QTest::qWait(50);
  }
  {
    TSample sample("mixed-profile-belled");
    TDlgBlock *view = TDlgBlock::Show(&area, *sample.data, sample.plots);
    if (!view) return 1;
    TView3dOptions options = view->Options();
    options.ShowUltimateEffects = options.ShowUltimateEffectsValues = true;
    view->SetOptions(options);
    TViewState v = view->View();
    v.rotX = -20;
    v.rotY = 12;
    view->SetView(v);
    QTest::qWait(100);
    save(view->Picture(), "belled-pier-curves");
    // Seen from the front: the curves and their legend in the lower left corner.
    TViewState front = view->View();
    front.rotX = front.rotY = 0;
    view->SetView(front);
    QTest::qWait(100);
    save(view->Picture(), "curves-legend-window");
    view->SetView(v);
    view->UltimateEffectsWindow();
    QTest::qWait(100);
    save(view->CombinedPlotsWindow()->grab().toImage(), "combined-plots-window");
    const TScenePicture offscreen = RenderScene3d(*sample.data, sample.plots, options, QSize(1280, 800), &v);
    if (!offscreen.error.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(offscreen.error));
    save(offscreen.image, "belled-pier-curves-offscreen");
    area.closeAllSubWindows();
  }
  {
    QTemporaryDir dir;
    const QString project = dir.filePath("mixed-profile-belled.pq8d");
    QFile::copy(PYLAR_SOURCE_DIR "/examples/mixed-profile-belled.pq8d", project);
    QFile::copy(PYLAR_SOURCE_DIR "/engine/tests/golden/mixed-profile-belled.pq8p", dir.filePath("mixed-profile-belled.pq8p"));
    WriteRunRecord(project, 0);
    TMainForm main;
    main.resize(1280, 900);
    main.show();
    if (!QTest::qWaitForWindowExposed(&main)) return 1;
    main.StartUp(project);
    main.Commands().View3D->trigger();
    if (TDlgBlock *view = TDlgBlock::Instance()) {
      view->UltimateEffectsWindow();
      view->CombinedPlotsWindow()->ShowPlots()->setChecked(true);
    }
    QTest::qWait(200);
    // What the X server shows, not a fresh rendering of the widgets.
    save(main.screen()->grabWindow(main.winId()).toImage(), "main-window-with-3d-view");
  }
  std::printf("%s\n", failures ? "a picture could not be written" : "pictures written");
  return failures ? 1 : 0;
}
