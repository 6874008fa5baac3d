// The headless export of a sample project, analysis included: each iteration
// copies deep-profile-lrfd.pq8d into a fresh folder (so there are no results
// and the analysis runs), then writes every plot as PNG and SVG, the elevation
// view, the workbook and the calculation report, as `pylarwin --export` does.
// Wall-clock time; the offscreen platform, no display.
#include "ui/HeadlessExport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

void BM_ExportDeepProfileLrfd(benchmark::State &state) {
  int files = 0;
  for (auto _ : state) {
    state.PauseTiming();
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("deep-profile-lrfd.pq8d"));
    QFile::copy(QStringLiteral(PYLAR_SOURCE_DIR "/examples/deep-profile-lrfd.pq8d"), project);
    QFile::setPermissions(project, QFile::ReadOwner | QFile::WriteOwner);
    files = 0;
    pylar::TExportLog log;
    log.out = [&files](const QString &) { ++files; };
    log.err = [&state](const QString &line) { state.SkipWithError(qPrintable(line)); };
    state.ResumeTiming();
    const int code = pylar::ExportProject(dir.filePath(QStringLiteral("out")), project, QStringLiteral(PYLAR_BIN_DIR), log);
    benchmark::DoNotOptimize(code);
    if (code != 0) state.SkipWithError("the export failed");
  }
  state.counters["lines"] = files;  // one per file written, and a note when the 3-D View cannot be drawn
}
BENCHMARK(BM_ExportDeepProfileLrfd)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
