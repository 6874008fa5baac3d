// Running projects by file name, as the command-line runner does: result
// files beside each project, scratch files in its folder, intermediate files
// removed afterwards.
#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include "pylar/engine.h"

namespace pylar::engine {
namespace {

std::string withExtension(const std::filesystem::path& project, const char* extension) {
  return std::filesystem::path(project).replace_extension(extension).string();
}

std::filesystem::path absoluteProject(const std::filesystem::path& project) {
  std::error_code ec;
  auto path = std::filesystem::absolute(project, ec);
  return ec ? project : path.lexically_normal();
}

// Projects of one folder share the fixed scratch-file names.
std::filesystem::path folderKey(const std::filesystem::path& project) {
  std::error_code ec;
  auto folder = absoluteProject(project).parent_path();
  auto canonical = std::filesystem::weakly_canonical(folder, ec);
  return ec ? folder : canonical;
}

}  // namespace

RunNames namesBeside(const std::filesystem::path& given) {
  auto project = absoluteProject(given);
  RunNames names;
  names.version = std::string(engineVersion());
  names.input = project.string();
  names.report = withExtension(project, ".pq8o");
  names.plot = withExtension(project, ".pq8p");
  names.notes = withExtension(project, ".pq8r");
  names.detail = withExtension(project, ".pq8z");
  names.baseListing = withExtension(project, ".pq8w");
  names.tzPlot = withExtension(project, ".pq8t");
  names.qwPlot = withExtension(project, ".pq8q");
  names.scratchFolder = project.parent_path();
  return names;
}

ProjectRun runProject(const std::filesystem::path& project, const RunClock& clock, const RunOptions& options) {
  RunNames names = namesBeside(project);
  ProjectRun result{project, names.report, {}};
  std::error_code ec;
  if (!std::filesystem::is_regular_file(names.input, ec)) {
    // Nothing is created beside a project that is not there.
    result.report.clear();
    result.summary = {kStatusBadInput, "INPUT ERROR: THE PROJECT FILE CANNOT BE OPENED: " + names.input, {}, {}};
    return result;
  }
  result.summary = runAnalysis(names, clock, options);
  if (result.summary.status == kStatusBadRunNames) {
    result.report.clear();
    return result;
  }
  for (const auto& file : {names.scratchFolder / "TZDIAM.DAT", std::filesystem::path(names.baseListing),
                           std::filesystem::path(names.tzPlot), std::filesystem::path(names.qwPlot)})
    std::filesystem::remove(file, ec);
  return result;
}

std::vector<ProjectRun> runProjects(const std::vector<std::filesystem::path>& projects, unsigned maxParallel,
                                    const std::function<void(const ProjectRun&)>& onFinished,
                                    const RunClock& clock, bool collectResults) {
  std::vector<ProjectRun> results(projects.size());
  // Group by folder, keeping the order of the command line within a group.
  std::map<std::filesystem::path, std::vector<std::size_t>> byFolder;
  std::vector<std::vector<std::size_t>> groups;
  for (std::size_t k = 0; k < projects.size(); ++k) byFolder[folderKey(projects[k])].push_back(k);
  for (auto& [folder, members] : byFolder) groups.push_back(std::move(members));

  std::mutex reportMutex;
  std::atomic<std::size_t> nextGroup{0};
  const std::size_t threads = std::clamp<std::size_t>(maxParallel, 1, std::max<std::size_t>(groups.size(), 1));
  // Projects running side by side already keep the machine busy.
  const RunOptions options{threads > 1 ? 1U : 0U, collectResults};
  auto worker = [&] {
    for (std::size_t g = nextGroup++; g < groups.size(); g = nextGroup++) {
      for (std::size_t k : groups[g]) {
        results[k] = runProject(projects[k], clock, options);
        if (onFinished) {
          std::lock_guard lock(reportMutex);
          onFinished(results[k]);
        }
      }
    }
  };
  std::vector<std::thread> pool;
  for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(worker);
  worker();
  for (auto& thread : pool) thread.join();
  return results;
}

}  // namespace pylar::engine
