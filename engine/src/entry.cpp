// The run driver: run names, files, banner, run header, the analysis step,
// merging of the intermediate files.
#include "entry.h"

#include <array>
#include <cctype>
#include <ctime>
#include <exception>
#include <fstream>
#include <map>
#include <system_error>
#include <utility>

#include "analysis.h"
#include "folder_lock.h"
#include "fortran_format.h"
#include "run.h"
#include "run_record.h"

#ifndef PYLAR_VERSION
#define PYLAR_VERSION ""
#endif

namespace pylar::engine {
namespace {

constexpr std::size_t kVersionWidth = 12;
constexpr std::size_t kMergedLineLength = 80;
// A project is read whole before it is parsed; no project comes near this.
constexpr std::uint64_t kMaxProjectBytes = std::uint64_t{64} << 20;

const std::string kEquals = Line().x(5).text(std::string(73, '=')).str();
const std::string kDashes = Line().x(5).text(std::string(73, '-')).str();

std::string trimTrailingBlanks(std::string text) {
  std::size_t end = text.find_last_not_of(" \t\r");
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

std::filesystem::path normalised(const std::filesystem::path& name) {
  std::error_code ec;
  auto path = std::filesystem::weakly_canonical(name, ec);
  return ec ? name.lexically_normal() : path;
}

// Another name of the project file itself (a hard link, or a link that a
// path comparison does not see).
bool isTheProject(const std::filesystem::path& file, const std::string& project) {
  std::error_code ec;
  return std::filesystem::exists(file, ec) && std::filesystem::equivalent(file, project, ec) && !ec;
}

std::string asUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

RunSummary failedRun(std::string message) {
  RunSummary summary;
  summary.status = kStatusFileError;
  summary.message = std::move(message);
  return summary;
}

std::string cannotCreate(const std::filesystem::path& file) {
  std::string message = "FILE ERROR: CANNOT CREATE " + file.string();
  if (isFolderPipeOrDevice(file)) message += " (NOT A REGULAR FILE: A FOLDER, PIPE OR DEVICE)";
  return message;
}

void writeFileNames(Run& run) {
  Channels& ch = run.channels;
  SplitPath input = splitPath(run.names.input);
  ch.write(kChannelReport, Line().x(5).text("Path to file locations      : ").text(input.folder));
  ch.write(kChannelReport, Line().x(5).text("Name of input data file     : ").text(input.name));
  ch.write(kChannelReport, Line().x(5).text("Name of output file         : ").text(splitPath(run.names.report).name));
  ch.write(kChannelReport, Line().x(5).text("Name of plot output file    : ").text(splitPath(run.names.plot).name));
  ch.write(kChannelReport, Line().x(5).text("Name of runtime file        : ").text(splitPath(run.names.notes).name));
  ch.write(kChannelReport, "");
  ch.write(kChannelReport, "");
}

// Copies a file onto the end of an open channel, one record of up to 80
// characters per line. A file this run did not write completely, or that
// cannot be read, adds nothing.
void appendFile(Channels& ch, int fromChannel, const std::filesystem::path& file, int toChannel) {
  if (!ch.wrote(file) || !ch.openRead(fromChannel, file)) {
    ch.close(fromChannel);
    return;
  }
  while (auto line = ch.readLine(fromChannel)) {
    if (line->size() > kMergedLineLength) line->resize(kMergedLineLength);
    ch.write(toChannel, *line);
  }
  ch.close(fromChannel);
}

}  // namespace

std::string_view engineVersion() { return PYLAR_VERSION; }

RunTime localRunTime() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
#if defined(_WIN32)
  localtime_s(&tm, &now);
#else
  localtime_r(&now, &tm);
#endif
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void writeBanner(Channels& ch, int channel, std::string_view version) {
  std::string text(version.substr(0, kVersionWidth));
  text.resize(kVersionWidth, ' ');
  ch.write(channel, kEquals);
  ch.write(channel, "");
  ch.write(channel, Line().x(20).text("  PYLAR for Windows, Version ").text(text));
  ch.write(channel, "");
  ch.write(channel, Line().x(20).text("VERTICALLY LOADED DRILLED PYLAR ANALYSIS"));
  ch.write(channel, "");
  ch.write(channel, kEquals);
  ch.write(channel, "");
  ch.write(channel, "");
}

void writeDateHeader(Channels& ch, int channel, const RunTime& t) {
  static constexpr std::array<std::string_view, 12> kMonths = {
      "January", "February", "March",     "April",   "May",      "June",
      "July",    "August",   "September", "October", "November", "December"};
  std::string_view month = t.month >= 1 && t.month <= 12 ? kMonths[static_cast<std::size_t>(t.month - 1)] : "";
  ch.write(channel, kDashes);
  ch.write(channel, Line().x(26).text("Time and Date of Analysis"));
  ch.write(channel, kDashes);
  ch.write(channel, "");
  ch.write(channel, Line()
                        .x(15).text("Date:  ").text(month).x(1).i(2, 2, t.day).text(", ").i(4, t.year)
                        .x(5).text("Time:  ").i(2, 2, t.hour).text(":").i(2, 2, t.minute).text(":").i(2, 2, t.second));
}

SplitPath splitPath(std::string_view path) {
#if defined(_WIN32)
  constexpr std::string_view kSeparators = "/\\:";
#else
  constexpr std::string_view kSeparators = "/";
#endif
  std::size_t cut = path.find_last_of(kSeparators);
  if (cut == std::string_view::npos) return {"", std::string(path)};
  return {std::string(path.substr(0, cut + 1)), std::string(path.substr(cut + 1))};
}

void mergeIntermediateFiles(Run& run) {
  Channels& ch = run.channels;
  for (int channel : {kChannelQwListing, kChannelTzPlot, kChannelTzDiam, kChannelQwPlot}) ch.close(channel);
  appendFile(ch, kChannelQwListing, run.names.baseListing, kChannelDetail);
  appendFile(ch, kChannelTzPlot, run.names.tzPlot, kChannelPlot);
  // Only what this run wrote: a TZDIAM.DAT left by an earlier run in the same
  // folder must not end up in this run's plot data.
  appendFile(ch, kChannelTzDiam, runFilePath(run.names, RunFileKind::TzDiam), kChannelPlot);
  appendFile(ch, kChannelQwPlot, run.names.qwPlot, kChannelPlot);
}

namespace {

// What two names of one file have in common: the absolute path with links
// and "." resolved. A resolution asks the file system for every component of
// the path, and the names of a run mostly share a folder: each folder is
// resolved once, and a name whose last component is not a link is its
// folder's resolution and that component.
class PathKeys {
 public:
  std::string key(const std::filesystem::path& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path path = fs::absolute(name, ec);
    if (ec) path = name;
    const fs::path leaf = path.filename();
    const bool plainLeaf = !leaf.empty() && leaf != "." && leaf != "..";
    const auto status = fs::symlink_status(path, ec);
    std::string key = !ec && plainLeaf && !fs::is_symlink(status) ? (folder(path.parent_path()) / leaf).string()
                                                                  : normalised(path).string();
#if defined(_WIN32)
    // File names differing only in case name one file there.
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
    return key;
  }

 private:
  const std::filesystem::path& folder(const std::filesystem::path& path) {
    auto [at, added] = folders_.try_emplace(path.string());
    if (added) at->second = normalised(path);
    return at->second;
  }
  std::map<std::string, std::filesystem::path> folders_;
};

}  // namespace

const std::string& RunNames::onNamesLine(int line) const {
  switch (line) {
    case 3: return report;
    case 4: return plot;
    case 5: return notes;
    case 6: return detail;
    case 7: return baseListing;
    case 8: return tzPlot;
    case 9: return qwPlot;
    default: return input;
  }
}

std::string& RunNames::onNamesLine(int line) {
  return const_cast<std::string&>(std::as_const(*this).onNamesLine(line));
}

std::filesystem::path runFilePath(const RunNames& names, RunFileKind kind) {
  const RunFile& file = runFile(kind);
  if (file.namesLine != 0) return names.onNamesLine(file.namesLine);
  if (!file.fixedName.empty()) return names.scratchFolder / file.fixedName;
  return std::filesystem::path(names.report).replace_extension(file.extension);  // the run record
}

std::vector<std::filesystem::path> filesOfRun(const RunNames& names) {
  std::vector<std::filesystem::path> files;
  for (const RunFile& file : kRunFiles)
    if (file.kind != RunFileKind::Project) files.push_back(runFilePath(names, file.kind));
  return files;
}

RunSummary refusedRun(std::string message, RunRefusal refusal) {
  RunSummary summary;
  summary.status = kStatusBadRunNames;
  summary.message = std::move(message);
  summary.refusal = std::move(refusal);
  return summary;
}

// Blank names, two run files that are the same file, or a file the run
// writes that is the project under another name (a link), would destroy the
// project or mix two outputs: the run is impossible.
std::optional<RunSummary> runNamesRefusal(const RunNames& names) {
  using Reason = RunRefusal::Reason;
  auto line = [](int k) { return std::to_string(k); };
  for (int k = kFirstNamesLine; k <= kLastNamesLine; ++k)
    if (names.onNamesLine(k).find_first_not_of(" \t") == std::string::npos)
      return refusedRun("RUN NAMES ERROR: NAME " + line(k) + " OF THE RUN IS BLANK",
                        {Reason::BlankName, runFileOnNamesLine(k).kind, runFileOnNamesLine(k).kind, {}});
  PathKeys keys;
  std::array<std::string, kLastNamesLine + 1> key;
  for (int k = kFirstNamesLine; k <= kLastNamesLine; ++k)
    key[static_cast<std::size_t>(k)] = keys.key(names.onNamesLine(k));
  auto keyOf = [&key](int k) -> const std::string& { return key[static_cast<std::size_t>(k)]; };
  for (int a = kFirstNamesLine; a <= kLastNamesLine; ++a)
    for (int b = a + 1; b <= kLastNamesLine; ++b)
      if (keyOf(a) == keyOf(b))
        return refusedRun("RUN NAMES ERROR: NAMES " + line(a) + " AND " + line(b) +
                              " ARE THE SAME FILE: " + names.onNamesLine(a),
                          {Reason::SameFile, runFileOnNamesLine(b).kind, runFileOnNamesLine(a).kind,
                           names.onNamesLine(a)});
  const std::filesystem::path record = runFilePath(names, RunFileKind::RunRecord);
  const std::string recordKey = keys.key(record);
  for (int k = kFirstNamesLine; k <= kLastNamesLine; ++k)
    if (recordKey == keyOf(k))
      return refusedRun("RUN NAMES ERROR: THE RUN RECORD IS NAME " + line(k) + " OF THE RUN: " + record.string(),
                        {Reason::SameFile, RunFileKind::RunRecord, runFileOnNamesLine(k).kind, record});
  // The scratch files are rewritten (and the intermediate one removed
  // afterwards), the lock file holds a process id: a project or result of
  // that name would be destroyed.
  for (const RunFile& fixed : kRunFiles) {
    if (fixed.fixedName.empty()) continue;
    const std::filesystem::path file = names.scratchFolder / fixed.fixedName;
    const std::string fileKey = keys.key(file);
    const std::string what = " IS THE " + asUpper(fixed.role);
    for (int k = kFirstNamesLine; k <= kLastNamesLine; ++k)
      if (keyOf(k) == fileKey)
        return refusedRun("RUN NAMES ERROR: NAME " + line(k) + " OF THE RUN" + what + ": " + names.onNamesLine(k),
                          {Reason::SameFile, runFileOnNamesLine(k).kind, fixed.kind, names.onNamesLine(k)});
    if (recordKey == fileKey)
      return refusedRun("RUN NAMES ERROR: THE RUN RECORD" + what + ": " + record.string(),
                        {Reason::SameFile, RunFileKind::RunRecord, fixed.kind, record});
  }
  // A hard link (or a link a path does not show) to the project under a name
  // the run writes.
  for (const std::filesystem::path& file : filesOfRun(names))
    if (isTheProject(file, names.input))
      return refusedRun("RUN NAMES ERROR: A FILE THE RUN WRITES IS A LINK TO THE PROJECT FILE: " + file.string(),
                        {Reason::ProjectLink, RunFileKind::Project, RunFileKind::Project, file});
  return std::nullopt;
}

RunSummary lockRefusal(const FolderLock& lock, const std::filesystem::path& folder) {
  switch (lock.outcome()) {
    case FolderLock::Outcome::Busy: {
      const std::filesystem::path shown = folder.empty() ? std::filesystem::path(".") : folder;
      return refusedRun("RUN NAMES ERROR: ANOTHER RUN IS USING THE FOLDER " + shown.string(),
                        {RunRefusal::Reason::FolderBusy, RunFileKind::Lock, RunFileKind::Lock, shown});
    }
    case FolderLock::Outcome::NotALockFile:
      return refusedRun(
          "RUN NAMES ERROR: NOT A LOCK FILE (A LINK, NOT A REGULAR FILE, OR OTHER TEXT THAN A PROCESS ID): " +
              lock.file().string(),
          {RunRefusal::Reason::NotALockFile, RunFileKind::Lock, RunFileKind::Lock, lock.file()});
    default: {
      RunSummary summary;
      summary.status = kStatusFileError;
      summary.message = cannotCreate(lock.file());
      return summary;
    }
  }
}

RunSummary runWithFolderHeld(const RunNames& names, const RunClock& clock, const RunOptions& options) {
  // An old run record would vouch for files this run has not finished: it
  // goes before anything is written.
  const std::filesystem::path record = runFilePath(names, RunFileKind::RunRecord);
  {
    std::error_code ec;
    if (isFolderPipeOrDevice(record)) return failedRun(cannotCreate(record));
    if (std::filesystem::exists(std::filesystem::symlink_status(record, ec))) {
      std::filesystem::remove(record, ec);
      if (ec) return failedRun("FILE ERROR: CANNOT REMOVE THE OLD RUN RECORD " + record.string());
    }
  }
  // The project's bytes are read once: the run parses what it hashed.
  const ProjectBytes project = readProjectBytes(names.input, kMaxProjectBytes);

  Run run;
  run.names = names;
  run.threads = options.threads;
  run.collectResults = options.collectResults;
  run.methods = options.methods;
  Channels& ch = run.channels;
  try {
    ch.openWrite(kChannelChart, runFilePath(names, RunFileKind::Chart));
    // A missing project is reported by the analysis step.
    if (project.readable && !project.tooLarge) ch.openReadText(kChannelInput, project.text);
    // The names of names.dat after the project, in their order.
    for (int line = kFirstNamesLine + 1; line <= kLastNamesLine; ++line)
      ch.openWrite(writeChannel(runFileOnNamesLine(line).kind), names.onNamesLine(line));

    writeBanner(ch, kChannelReport, names.version);
    writeBanner(ch, kChannelDetail, names.version);
    writeFileNames(run);
    RunTime now = clock ? clock() : localRunTime();
    writeDateHeader(ch, kChannelReport, now);
    writeDateHeader(ch, kChannelDetail, now);

    if (const auto& unopened = ch.firstUnopened())
      run.fail(kStatusFileError, cannotCreate(*unopened));
    else if (project.tooLarge)
      run.fail(kStatusBadInput, "INPUT ERROR: THE PROJECT FILE IS LARGER THAN " +
                                    std::to_string(kMaxProjectBytes >> 20) + " MB: " + names.input);
    else
      runAnalysisStages(run);
  } catch (const std::exception& e) {
    run.fail(kStatusInternalError, std::string("INTERNAL ERROR: ") + e.what());
  } catch (...) {
    run.fail(kStatusInternalError, "INTERNAL ERROR");
  }
  try {
    mergeIntermediateFiles(run);
  } catch (const std::exception& e) {
    if (run.status == kStatusCompleted) run.fail(kStatusInternalError, std::string("INTERNAL ERROR: ") + e.what());
  }
  ch.closeAll();
  // A scratch file the analysis could not create (TZDATA.DAT, TZDIAM.DAT,
  // ROCKMSG.DAT) lost its records: the run did not complete.
  if (ch.firstUnopened() && run.status == kStatusCompleted) {
    run.status = kStatusFileError;
    run.message = cannotCreate(*ch.firstUnopened());
  }
  if (ch.writeFailed() && run.status == kStatusCompleted) {
    run.status = kStatusFileError;
    run.message = "FILE ERROR: A RESULT FILE COULD NOT BE WRITTEN COMPLETELY";
  }
  if (run.status == kStatusCompleted && run.message.empty()) run.message = "run completed";

  // Last, the record of what this run read and how it ended.
  const RunRecord r{std::filesystem::path(names.input).filename().string(), project.size, project.hash, run.status};
  if (ch.openWrite(kChannelRunRecord, record))
    for (const std::string& line : runRecordLines(r)) ch.write(kChannelRunRecord, line);
  ch.close(kChannelRunRecord);
  if (!ch.wrote(record) && (run.status == kStatusCompleted || run.status == kStatusDesignLoadNotReached)) {
    run.status = kStatusFileError;
    run.message = "FILE ERROR: THE RUN RECORD COULD NOT BE WRITTEN: " + record.string();
  }
  RunSummary summary;
  summary.status = run.status;
  summary.message = run.message;
  summary.results = std::move(run.results);
  summary.warnings = std::move(run.warnings);
  summary.filesWritten = ch.filesWritten();
  return summary;
}

RunSummary runAnalysis(const RunNames& names, const RunClock& clock, const RunOptions& options) {
  if (auto refusal = runNamesRefusal(names)) return std::move(*refusal);
  const FolderLock lock(names.scratchFolder, options.folderWait);
  if (!lock.mayRun()) return lockRefusal(lock, names.scratchFolder);
  return runWithFolderHeld(names, clock, options);
}

bool readNamesFile(const std::filesystem::path& file, RunNames& names) {
  Channels ch;
  if (!ch.openRead(kChannelNamesFile, file)) return false;
  for (int k = 1; k <= kLastNamesLine; ++k) {
    auto line = ch.readLine(kChannelNamesFile);
    if (!line) return false;
    (k == 1 ? names.version : names.onNamesLine(k)) = trimTrailingBlanks(std::move(*line));
  }
  return true;
}

int runFromNamesFile() {
  RunNames names;
  if (!readNamesFile("names.dat", names)) return kStatusBadRunNames;
  std::error_code ec;
  names.scratchFolder = std::filesystem::current_path(ec);
  return runAnalysis(names).status;
}

}  // namespace pylar::engine
