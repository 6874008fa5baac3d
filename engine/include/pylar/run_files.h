#pragma once
// The files of one analysis run, described once: what each is, the extension
// it takes beside the project (or its fixed name in the project's folder), the
// line of names.dat that names it, what the run does with it afterwards, and
// how a person calls it. The engine, the command-line runner and the desktop
// program all read this table; it has no code to link and uses no Qt.

#include <array>
#include <cstddef>
#include <string_view>

namespace pylar::engine {

enum class RunFileKind {
  Project,       // the project file the run reads
  Report,        // the report
  PlotData,      // plot data
  RunNotes,      // run notes
  Detail,        // detail listing
  BaseListing,   // q-w listing, appended to the detail listing
  TzPlot,        // t-z plot records, appended to the plot data
  QwPlot,        // q-w plot records, appended to the plot data
  RunRecord,     // what the run read and how it ended, written last
  Chart,         // scratch: top segment of every defined settlement
  TzData,        // scratch: the last solver run
  TzDiam,        // scratch: number of base curves, appended to the plot data
  RockMessages,  // scratch: messages of the rock-socket relationship
  Lock,          // the folder's lock file
};

struct RunFile {
  RunFileKind kind;
  // Beside the project: the project's name with this extension. Empty for a
  // file of fixed name.
  std::string_view extension;
  // In the project's folder (the scratch folder) under this name; empty for
  // a file named after the project.
  std::string_view fixedName;
  // The line of names.dat (2 to 9) that names the file; 0 when names.dat
  // does not list it.
  int namesLine;
  // How a person calls the file ("the report would be written over the
  // project file").
  std::string_view role;
  // Written by the run only to be appended to another file: removed once the
  // run is over.
  bool intermediate;
  // A result the desktop program shows; removed before every run.
  bool shownResult;
};

// Project and result files in the order of names.dat, then the run record,
// the scratch files and the lock file.
inline constexpr std::array<RunFile, 14> kRunFiles = {{
    {RunFileKind::Project, ".pq8d", {}, 2, "project file", false, false},
    {RunFileKind::Report, ".pq8o", {}, 3, "report", false, true},
    {RunFileKind::PlotData, ".pq8p", {}, 4, "plot-data file", false, true},
    {RunFileKind::RunNotes, ".pq8r", {}, 5, "run notes", false, true},
    {RunFileKind::Detail, ".pq8z", {}, 6, "detail listing", false, true},
    {RunFileKind::BaseListing, ".pq8w", {}, 7, "intermediate q-w listing", true, false},
    {RunFileKind::TzPlot, ".pq8t", {}, 8, "intermediate t-z plot file", true, false},
    {RunFileKind::QwPlot, ".pq8q", {}, 9, "intermediate q-w plot file", true, false},
    {RunFileKind::RunRecord, ".pq8s", {}, 0, "run record", false, false},
    {RunFileKind::Chart, {}, "CHART.DAT", 0, "scratch file CHART.DAT", false, false},
    {RunFileKind::TzData, {}, "TZDATA.DAT", 0, "scratch file TZDATA.DAT", false, false},
    {RunFileKind::TzDiam, {}, "TZDIAM.DAT", 0, "scratch file TZDIAM.DAT", true, false},
    {RunFileKind::RockMessages, {}, "ROCKMSG.DAT", 0, "scratch file ROCKMSG.DAT", false, false},
    {RunFileKind::Lock, {}, "PYLAR.LCK", 0, "lock file PYLAR.LCK", false, false},
}};

// The names.dat lines: the version text, then these eight names.
inline constexpr int kFirstNamesLine = 2;
inline constexpr int kLastNamesLine = 9;

constexpr const RunFile& runFile(RunFileKind kind) {
  for (const RunFile& f : kRunFiles)
    if (f.kind == kind) return f;
  return kRunFiles[0];  // not reached: every kind has its row
}

// The file that names.dat lists on `line` (2 to 9); the project file for any
// other line.
constexpr const RunFile& runFileOnNamesLine(int line) {
  for (const RunFile& f : kRunFiles)
    if (f.namesLine == line) return f;
  return kRunFiles[0];
}

// The extensions of a file named after the project (".pq8o").
constexpr std::string_view runFileExtension(RunFileKind kind) { return runFile(kind).extension; }
// A file of fixed name ("CHART.DAT").
constexpr std::string_view runFileFixedName(RunFileKind kind) { return runFile(kind).fixedName; }

// A project file as the program saves it, and the extension of projects of
// the earlier format, which it still opens.
inline constexpr std::string_view kProjectExtension = runFileExtension(RunFileKind::Project);
inline constexpr std::string_view kEarlierProjectExtension = ".pqd";

namespace run_files_detail {
// Every kind has its row at its own place, each file is named one way, and
// names.dat lists lines 2 to 9 once each.
constexpr bool tableIsWhole() {
  for (std::size_t k = 0; k < kRunFiles.size(); ++k) {
    const RunFile& f = kRunFiles[k];
    if (static_cast<std::size_t>(f.kind) != k) return false;
    if (f.extension.empty() == f.fixedName.empty()) return false;
    for (std::size_t j = k + 1; j < kRunFiles.size(); ++j) {
      const RunFile& g = kRunFiles[j];
      if (!f.extension.empty() && f.extension == g.extension) return false;
      if (!f.fixedName.empty() && f.fixedName == g.fixedName) return false;
      if (f.namesLine != 0 && f.namesLine == g.namesLine) return false;
    }
  }
  for (int line = kFirstNamesLine; line <= kLastNamesLine; ++line)
    if (runFileOnNamesLine(line).namesLine != line) return false;
  return true;
}
static_assert(tableIsWhole(), "kRunFiles: one row per kind, in the order of the kinds, names.dat lines 2 to 9");
}  // namespace run_files_detail

}  // namespace pylar::engine
