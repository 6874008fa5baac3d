// Painting a full plot into a screen-sized image: 20 curves of 2000 points
// with markers, grid, legend box and soil column. Zoom and resize repaint
// the whole plot, so this is what the user waits for.
#include "ui/PlotPainter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

pylar::PlotPicture makePicture(int curves, int points, int markers) {
  pylar::PlotPicture pic;
  pic.xCaption = "Ultimate Total Capacity ";
  pic.xUnits = "F2";
  pic.yCaption = "Depth";
  pic.yUnits = "L2";
  pic.markers = markers;
  pic.showLayers = true;
  for (int k = 0; k < 6; ++k) pic.bands.push_back({QStringLiteral(" SAND "), 15.0 * (k + 1), 7 + k});
  for (int c = 0; c < curves; ++c) {
    pylar::PlotCurveView v;
    v.name = QStringLiteral("Dia=%1 ft").arg(2 + 0.5 * c);
    v.index = v.activePosition = c;
    for (int i = 0; i < points; ++i) {
      const double depth = 90.0 * i / (points - 1);
      v.points.emplace_back((c + 1) * 40.0 * std::sqrt(depth) + 5 * std::sin(i * 0.1), depth);
    }
    pic.curves.push_back(std::move(v));
  }
  return pic;
}

void paint(benchmark::State &state, int markers) {
  pylar::PlotPicture pic = makePicture(20, 2000, markers);
  std::vector<std::span<const QPointF>> spans;
  for (const auto &c : pic.curves) spans.emplace_back(c.points);
  pic.range = pylar::BoundsFromData(spans, false).range;
  QImage image(1920, 1080, QImage::Format_RGB32);
  pylar::PlotTarget target{image.rect(), 96, 96, false, true, {0.75, 0.5}};
  for (auto _ : state) {
    QPainter painter(&image);
    pylar::PaintPlot(painter, pic, target);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_Paint20x2000_MarkersEveryPoint(benchmark::State &state) { paint(state, 1); }
void BM_Paint20x2000_MarkersEvery10(benchmark::State &state) { paint(state, 10); }
void BM_Paint20x2000_NoMarkers(benchmark::State &state) { paint(state, 0); }

BENCHMARK(BM_Paint20x2000_MarkersEveryPoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint20x2000_MarkersEvery10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint20x2000_NoMarkers)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
