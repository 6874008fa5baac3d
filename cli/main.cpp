// pylar: runs the analysis engine on project files without the desktop program.
//
//   pylar run FILE.pq8d      one project; exits with the run's status
//   pylar batch FILE...      several projects; one line per project; exits
//                            with 0 when all completed, otherwise with the
//                            status of the first (in command-line order) that
//                            did not
//
// A wrong command line exits with 64.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "pylar/engine.h"

namespace {

constexpr int kExitUsage = 64;

void printResult(const pylar::engine::ProjectRun& run) {
  std::string line = run.project.string() + ": status " + std::to_string(run.summary.status) + ", " +
                     run.summary.message;
  if (!run.report.empty()) line += "; report: " + run.report.string();
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

int usage() {
  std::fprintf(stderr, "usage: pylar run FILE.pq8d\n       pylar batch FILE.pq8d...\n");
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "run") {
    auto result = pylar::engine::runProject(args[1]);
    printResult(result);
    return result.summary.status;
  }
  if (args.size() >= 2 && args[0] == "batch") {
    std::vector<std::filesystem::path> projects(args.begin() + 1, args.end());
    unsigned parallel = std::max(1U, std::thread::hardware_concurrency());
    auto results = pylar::engine::runProjects(projects, parallel, printResult);
    for (const auto& r : results)
      if (r.summary.status != pylar::engine::kStatusCompleted) return r.summary.status;
    return 0;
  }
  return usage();
}
