// A whole engine run on an arbitrary project file in a temporary folder. The
// run must end (the fuzzer's timeout catches one that does not), must not
// touch the project file, and must end with one of the statuses a project
// can cause: a run name or file problem, or an internal fault, in a folder
// the fuzzer owns is a defect.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "pylar/engine.h"

namespace fs = std::filesystem;
using namespace pylar::engine;

namespace {

fs::path runFolder() {
  static const fs::path folder = [] {
    fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    fs::path f = base / ("pylar-fuzz-run-" + std::to_string(::getpid()));
    fs::create_directories(f);
    return f;
  }();
  return folder;
}

std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string project(reinterpret_cast<const char*>(data), size);
  const fs::path file = runFolder() / "fuzzed.pq8d";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << project;
  }
  const ProjectRun run = runProject(file, [] { return RunTime{2026, 1, 2, 3, 4, 5}; });
  if (readAll(file) != project) std::abort();  // the project file was changed
  const int status = run.summary.status;
  if (status == kStatusBadRunNames || status == kStatusFileError || status == kStatusInternalError) {
    std::fprintf(stderr, "run ended with status %d: %s\n", status, run.summary.message.c_str());
    std::abort();
  }
  if (status != kStatusCompleted && run.summary.message.empty()) std::abort();
  return 0;
}
