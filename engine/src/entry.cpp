// The run driver: run names, files, banner, run header, the analysis step,
// merging of the intermediate files.
#include "entry.h"

#include <array>
#include <cctype>
#include <ctime>
#include <exception>
#include <fstream>
#include <system_error>

#include "analysis.h"
#include "fortran_format.h"
#include "run.h"

#ifndef PYLAR_VERSION
#define PYLAR_VERSION ""
#endif

namespace pylar::engine {
namespace {

constexpr std::size_t kVersionWidth = 12;
constexpr std::size_t kMergedLineLength = 80;
constexpr std::string_view kTzDiamFile = "TZDIAM.DAT";
constexpr std::array<std::string_view, 4> kScratchFiles = {"CHART.DAT", "TZDATA.DAT", kTzDiamFile, "ROCKMSG.DAT"};

const std::string kEquals = Line().x(5).text(std::string(73, '=')).str();
const std::string kDashes = Line().x(5).text(std::string(73, '-')).str();

std::string trimTrailingBlanks(std::string text) {
  std::size_t end = text.find_last_not_of(" \t\r");
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

std::filesystem::path normalised(const std::string& name) {
  std::error_code ec;
  auto path = std::filesystem::weakly_canonical(std::filesystem::path(name), ec);
  return ec ? std::filesystem::path(name).lexically_normal() : path;
}

bool sameFile(const std::string& a, const std::string& b) {
  std::string x = normalised(a).string(), y = normalised(b).string();
#if defined(_WIN32)
  // File names differing only in case name one file there.
  for (std::string* s : {&x, &y})
    for (char& c : *s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
  return x == y;
}

// Blank names, or two run files that are the same file (which would destroy
// the project or mix two outputs), make the run impossible.
std::string checkRunNames(const RunNames& names) {
  const std::array<const std::string*, 8> files = {&names.input,  &names.report,      &names.plot,
                                                   &names.notes,  &names.detail,      &names.baseListing,
                                                   &names.tzPlot, &names.qwPlot};
  for (std::size_t k = 0; k < files.size(); ++k)
    if (files[k]->find_first_not_of(" \t") == std::string::npos)
      return "RUN NAMES ERROR: NAME " + std::to_string(k + 2) + " OF THE RUN IS BLANK";
  for (std::size_t a = 0; a < files.size(); ++a)
    for (std::size_t b = a + 1; b < files.size(); ++b)
      if (sameFile(*files[a], *files[b]))
        return "RUN NAMES ERROR: NAMES " + std::to_string(a + 2) + " AND " + std::to_string(b + 2) +
               " ARE THE SAME FILE: " + *files[a];
  // The scratch files are rewritten (and TZDIAM.DAT removed afterwards): a
  // project or result of that name would be destroyed.
  for (std::string_view scratch : kScratchFiles)
    for (std::size_t k = 0; k < files.size(); ++k)
      if (sameFile(*files[k], (names.scratchFolder / scratch).string()))
        return "RUN NAMES ERROR: NAME " + std::to_string(k + 2) + " OF THE RUN IS THE SCRATCH FILE " +
               std::string(scratch) + ": " + *files[k];
  return {};
}

std::string cannotCreate(const std::filesystem::path& file) {
  std::string message = "FILE ERROR: CANNOT CREATE " + file.string();
  if (existsButIsNotARegularFile(file)) message += " (NOT A REGULAR FILE: A FOLDER, PIPE OR DEVICE)";
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
// characters per line. A file that cannot be read adds nothing.
void appendFile(Channels& ch, int fromChannel, const std::filesystem::path& file, int toChannel) {
  if (!ch.openRead(fromChannel, file)) {
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
  for (int channel : {kChannelQwListing, kChannelTzPlot, kChannelQwPlot}) ch.close(channel);
  appendFile(ch, kChannelQwListing, run.names.baseListing, kChannelDetail);
  appendFile(ch, kChannelTzPlot, run.names.tzPlot, kChannelPlot);
  // Only what this run wrote: a TZDIAM.DAT left by an earlier run in the same
  // folder must not end up in this run's plot data.
  if (ch.wasOpened(kChannelTzDiam)) appendFile(ch, kChannelTzDiam, run.scratchFile(kTzDiamFile), kChannelPlot);
  appendFile(ch, kChannelQwPlot, run.names.qwPlot, kChannelPlot);
}

RunSummary runAnalysis(const RunNames& names, const RunClock& clock, const RunOptions& options) {
  if (std::string problem = checkRunNames(names); !problem.empty()) return {kStatusBadRunNames, problem, {}, {}};

  Run run;
  run.names = names;
  run.threads = options.threads;
  run.collectResults = options.collectResults;
  Channels& ch = run.channels;
  try {
    ch.openWrite(kChannelChart, run.scratchFile("CHART.DAT"));
    ch.openRead(kChannelInput, names.input);  // a missing project is reported by the analysis step
    const std::array<std::pair<int, const std::string*>, 7> outputs = {{{kChannelReport, &names.report},
                                                                        {kChannelPlot, &names.plot},
                                                                        {kChannelNotes, &names.notes},
                                                                        {kChannelDetail, &names.detail},
                                                                        {kChannelQwListing, &names.baseListing},
                                                                        {kChannelTzPlot, &names.tzPlot},
                                                                        {kChannelQwPlot, &names.qwPlot}}};
    for (const auto& [channel, name] : outputs) ch.openWrite(channel, *name);

    writeBanner(ch, kChannelReport, names.version);
    writeBanner(ch, kChannelDetail, names.version);
    writeFileNames(run);
    RunTime now = clock ? clock() : localRunTime();
    writeDateHeader(ch, kChannelReport, now);
    writeDateHeader(ch, kChannelDetail, now);

    if (const auto& unopened = ch.firstUnopened())
      run.fail(kStatusFileError, cannotCreate(*unopened));
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
  return {run.status, run.message, std::move(run.results), std::move(run.warnings)};
}

bool readNamesFile(const std::filesystem::path& file, RunNames& names) {
  Channels ch;
  if (!ch.openRead(kChannelNamesFile, file)) return false;
  std::array<std::string*, 9> fields = {&names.version, &names.input,       &names.report,
                                        &names.plot,    &names.notes,       &names.detail,
                                        &names.baseListing, &names.tzPlot,  &names.qwPlot};
  for (std::string* field : fields) {
    auto line = ch.readLine(kChannelNamesFile);
    if (!line) return false;
    *field = trimTrailingBlanks(std::move(*line));
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
