// Running projects by file name, as the command-line runner does: result
// files beside each project, scratch files in its folder, intermediate files
// removed afterwards.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "entry.h"
#include "folder_lock.h"
#include "pylar/engine.h"

namespace pylar::engine {
namespace {

std::string withExtension(const std::filesystem::path& project, std::string_view extension) {
  return std::filesystem::path(project).replace_extension(extension).string();
}

bool wroteFile(const RunSummary& summary, const std::filesystem::path& file) {
  return std::find(summary.filesWritten.begin(), summary.filesWritten.end(), file) != summary.filesWritten.end();
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
  for (int line = kFirstNamesLine + 1; line <= kLastNamesLine; ++line)
    names.onNamesLine(line) = withExtension(project, runFileOnNamesLine(line).extension);
  names.scratchFolder = project.parent_path();
  return names;
}

ProjectRun runProject(const std::filesystem::path& project, const RunClock& clock, const RunOptions& options) {
  RunNames names = namesBeside(project);
  ProjectRun result{project, {}, {}, {}};
  std::error_code ec;
  if (!std::filesystem::is_regular_file(names.input, ec)) {
    // Nothing is created beside a project that is not there.
    result.summary.status = kStatusBadInput;
    result.summary.message = "INPUT ERROR: THE PROJECT FILE CANNOT BE OPENED: " + names.input;
    return result;
  }
  if (auto refusal = runNamesRefusal(names)) {
    result.summary = std::move(*refusal);
    return result;
  }
  // The folder stays held until the intermediate files are gone: TZDIAM.DAT
  // is the next run's scratch file too.
  const FolderLock lock(names.scratchFolder, options.folderWait);
  if (!lock.mayRun()) {
    result.summary = lockRefusal(lock, names.scratchFolder);
    return result;
  }
  result.summary = runWithFolderHeld(names, clock, options);
  for (const RunFile& intermediate : kRunFiles) {
    if (!intermediate.intermediate) continue;
    const std::filesystem::path file = runFilePath(names, intermediate.kind);
    if (wroteFile(result.summary, file)) std::filesystem::remove(file, ec);
  }
  // Only a report this run wrote is named as its report.
  if (wroteFile(result.summary, names.report)) result.report = names.report;
  return result;
}

namespace {

// Two different projects of one batch that would write the same file (one
// stem in one folder: pier.pq8d and its backup pier.pq8d~ both write one
// report), or one that would write over the other, are both refused.
void refuseProjectsSharingFiles(const std::vector<std::filesystem::path>& projects, std::vector<ProjectRun>& results,
                                std::vector<bool>& refused) {
  std::map<std::string, std::size_t> writer;  // a file, by its resolved path, and the first project naming it
  std::vector<std::string> projectKeys(projects.size());
  auto key = [](const std::filesystem::path& file) {
    std::error_code ec;
    auto path = std::filesystem::weakly_canonical(file, ec);
    std::string text = (ec ? file.lexically_normal() : path).string();
#if defined(_WIN32)
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
    return text;
  };
  for (std::size_t k = 0; k < projects.size(); ++k) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(projects[k], ec)) continue;  // writes nothing
    const RunNames names = namesBeside(projects[k]);
    projectKeys[k] = key(names.input);
    // Every file named after the project (the files of fixed name are
    // shared by the projects of a folder, which run one after the other).
    std::vector<std::filesystem::path> files;
    for (const RunFile& f : kRunFiles)
      if (f.fixedName.empty()) files.push_back(runFilePath(names, f.kind));
    for (const auto& file : files) {
      const auto [at, added] = writer.emplace(key(file), k);
      const std::size_t other = at->second;
      if (added || other == k || projectKeys[other] == projectKeys[k]) continue;  // a project named twice
      for (const auto& [one, two] : {std::pair{k, other}, std::pair{other, k}}) {
        if (refused[one]) continue;
        refused[one] = true;
        results[one].sharedWith = projects[two];
        results[one].summary =
            refusedRun("RUN NAMES ERROR: THE PROJECTS " + projects[one].string() + " AND " + projects[two].string() +
                           " WOULD WRITE THE SAME FILE " + file.string(),
                       {RunRefusal::Reason::SharedFiles, RunFileKind::Project, RunFileKind::Project, file});
      }
    }
  }
  // A refused project named again on the command line is refused there too.
  for (std::size_t k = 0; k < projects.size(); ++k)
    for (std::size_t j = 0; j < projects.size() && !refused[k]; ++j)
      if (refused[j] && !projectKeys[k].empty() && projectKeys[j] == projectKeys[k]) {
        refused[k] = true;
        results[k] = results[j];
        results[k].project = projects[k];
      }
}

}  // namespace

std::vector<ProjectRun> runProjects(const std::vector<std::filesystem::path>& projects, unsigned maxParallel,
                                    const std::function<void(const ProjectRun&)>& onFinished,
                                    const RunClock& clock, bool collectResults,
                                    std::optional<methods::MethodSet> methods) {
  std::vector<ProjectRun> results(projects.size());
  std::vector<bool> refused(projects.size(), false);
  refuseProjectsSharingFiles(projects, results, refused);
  // Group by folder, keeping the order of the command line within a group.
  std::map<std::filesystem::path, std::vector<std::size_t>> byFolder;
  std::vector<std::vector<std::size_t>> groups;
  for (std::size_t k = 0; k < projects.size(); ++k) {
    results[k].project = projects[k];
    if (!refused[k]) byFolder[folderKey(projects[k])].push_back(k);
  }
  for (auto& [folder, members] : byFolder) groups.push_back(std::move(members));

  std::mutex reportMutex;
  std::atomic<std::size_t> nextGroup{0};
  const std::size_t threads = std::clamp<std::size_t>(maxParallel, 1, std::max<std::size_t>(groups.size(), 1));
  // Projects running side by side already keep the machine busy.
  RunOptions options;
  options.threads = threads > 1 ? 1U : 0U;
  options.collectResults = collectResults;
  options.methods = methods;
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
  // The refused projects' lines come first: no run has started.
  if (onFinished)
    for (std::size_t k = 0; k < projects.size(); ++k)
      if (refused[k]) onFinished(results[k]);
  std::vector<std::thread> pool;
  for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(worker);
  worker();
  for (auto& thread : pool) thread.join();
  return results;
}

}  // namespace pylar::engine
