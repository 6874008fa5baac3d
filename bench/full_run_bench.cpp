// Whole analysis runs: the largest project the engine accepts (20 layers, a
// 20-diameter design-chart series with its lengths, 10 defined settlements),
// with the machine's threads and with one, and every example and sample
// project. Each iteration is one complete run, files included, in a
// temporary folder.
// Times are wall-clock (real) times: a run's helper threads do not show in
// the CPU column of the main thread.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "pylar/engine.h"

namespace fs = std::filesystem;
using pylar::engine::runProject;

namespace {

fs::path scratchFolder() {
  std::random_device rd;
  fs::path dir;
  do dir = fs::temp_directory_path() / ("pylar-bench-" + std::to_string(rd()));
  while (!fs::create_directory(dir));
  return dir;
}

// 20 clay layers of 5 ft (cohesion 600 to 2500 lb/ft^2), design charts for
// 20 diameters 2 to 6.75 ft by 0.25 ft and 13 lengths 80 to 20 ft by 5 ft,
// 10 defined settlements.
std::string largestProject() {
  std::ostringstream p;
  p << "Largest project: 20 clay layers, 20 diameters, 13 lengths, 10 settlements\r\n"
    << "1 \r\n2 1 1 5 1 2 0 1 0 0 0 \r\n2 6.75 0 0 0 0 3600000 \r\n20 10 80 2.5 3 \r\n20 5 0.25 10 \r\n"
    << "0.1 0.2 0.3 0.4 0.5 0.75 1 1.5 2 3 \r\n";
  for (int i = 1; i <= 20; ++i) {
    const int c = 500 + 100 * i;
    p << "2 " << 5 * i << " \r\n0 120 0.0 " << c << " 0 0 0 1 1 \r\n0 120 0.0 " << c + 100
      << " 0 0 0 1 1 \r\n0 0 \r\n";
  }
  return p.str();
}

void runOnce(benchmark::State& state, const fs::path& project, unsigned threads) {
  for (auto _ : state) {
    const auto run = runProject(project, [] { return pylar::engine::RunTime{}; }, {threads});
    if (run.summary.status != pylar::engine::kStatusCompleted) state.SkipWithError(run.summary.message.c_str());
    benchmark::DoNotOptimize(run.summary.status);
  }
  std::uintmax_t bytes = 0;
  for (const auto& e : fs::directory_iterator(project.parent_path()))
    if (e.is_regular_file()) bytes += e.file_size();
  state.counters["folder_bytes"] = static_cast<double>(bytes);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path dir = scratchFolder();
  {
    std::ofstream(dir / "largest.pq8d", std::ios::binary) << largestProject();
    benchmark::RegisterBenchmark("FullRun/largest", runOnce, dir / "largest.pq8d", 0U)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("FullRun/largest/one-thread", runOnce, dir / "largest.pq8d", 1U)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  std::vector<fs::path> projects;
  for (const char* folder : {"examples", "samples"})
    for (const auto& e : fs::directory_iterator(fs::path(PYLAR_SOURCE_DIR) / folder))
      if (e.path().extension() == ".pq8d") projects.push_back(e.path());
  for (const fs::path& project : projects) {
    const fs::directory_entry e(project);
    const fs::path sub = dir / e.path().stem();
    fs::create_directory(sub);
    fs::copy_file(e.path(), sub / e.path().filename());
    benchmark::RegisterBenchmark(("FullRun/" + e.path().stem().string()).c_str(), runOnce, sub / e.path().filename(),
                                 0U)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  fs::remove_all(dir, ec);
  return 0;
}
