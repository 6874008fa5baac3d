// The 3-D View of the twelve-layer sample (deep-profile-lrfd, with its
// combined capacity curves, layer names, depths and maximum values) in a
// 1280 x 800 window. Run it under an X server (xvfb-run -a for Mesa's
// software renderer): frames while the view turns (the display lists
// replayed), the same as shown (labels painted over the frame, Qt's
// composition into the window and the swap), and the rebuild of the display lists after an
// option change.
#include "model/DataUnit.h"
#include "model/PltData.h"
#include "ui/View3dUnit1.h"

#include <QApplication>
#include <QEventLoop>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace pylar;

namespace {

struct TScene {
  TProjectTables tables;
  std::unique_ptr<TProgramData> data;
  TResultPlots plots;
  TDlgBlock *view = nullptr;
};
TScene *gScene = nullptr;

TglWindow &gl() { return *gScene->view->GlWindow(); }

void turn() {
  TViewState v = gScene->view->View();
  v.rotX += 1;
  v.rotY = 20;
  gScene->view->SetView(v);
}

void BM_FrameReplay(benchmark::State &state) {
  gl().makeCurrent();
  gScene->view->Scene().Draw(gl(), gScene->view->View(), gl().size());  // lists built before timing
  for (auto _ : state) {
    turn();
    gl().ClearTexts();
    gScene->view->Scene().Draw(gl(), gScene->view->View(), gl().size());
    gl().Finish();
  }
  gl().doneCurrent();
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_FrameOnScreen(benchmark::State &state) {
  // A frame counts once Qt has composed it into the window and swapped it.
  QEventLoop loop;
  QObject::connect(&gl(), &QOpenGLWidget::frameSwapped, &loop, &QEventLoop::quit);
  for (auto _ : state) {
    turn();
    loop.exec();
  }
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_RebuildAfterOptionChange(benchmark::State &state) {
  gl().makeCurrent();
  TView3dOptions options = gScene->view->Options();
  for (auto _ : state) {
    options.ShowSoilLayerLabels = !options.ShowSoilLayerLabels;
    gScene->view->Scene().SetOptions(options);
    gScene->view->Scene().Build(gl());  // ends with glFinish
    state.SetIterationTime(std::chrono::duration<double>(gScene->view->Scene().LastBuildTime()).count());
  }
  gl().doneCurrent();
}

BENCHMARK(BM_FrameReplay)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameOnScreen)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildAfterOptionChange)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  TScene scene;
  gScene = &scene;
  const QString base = QStringLiteral(PYLAR_SOURCE_DIR);
  auto read = TProgramData::CreateFromFile(scene.tables, base + "/examples/deep-profile-lrfd.pq8d", ffVersion8);
  if (!read.error.isEmpty()) return 1;
  scene.data = std::move(read.data);
  ReadPlotData(base + "/engine/tests/golden/deep-profile-lrfd.pq8p", PlotDataContext(*scene.data), scene.plots);
  scene.view = TDlgBlock::Show(nullptr, *scene.data, scene.plots);
  if (!scene.view) return 1;
  scene.view->GlWindow()->setFixedSize(1280, 800);
  scene.view->adjustSize();
  if (!QTest::qWaitForWindowExposed(scene.view)) return 1;
  TView3dOptions options = scene.view->Options();
  options.ShowUltimateEffects = options.ShowUltimateEffectsValues = true;
  options.ShowSoilLayerLabels = options.ShowSoilLayerDepthLabels = true;
  scene.view->SetOptions(options);
  QTest::qWait(200);
  scene.view->GlWindow()->makeCurrent();
  auto text = [](GLenum name) { return reinterpret_cast<const char *>(glGetString(name)); };
  std::printf("OpenGL %s on %s, depth buffer %d bits, window %d x %d\n", text(GL_VERSION), text(GL_RENDERER),
              scene.view->GlWindow()->DepthBits(), scene.view->GlWindow()->width(),
              scene.view->GlWindow()->height());
  scene.view->GlWindow()->doneCurrent();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  delete scene.view;
  return 0;
}
