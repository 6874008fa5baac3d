#pragma once
// C++ interface of the analysis engine. One call runs one complete analysis;
// all state of a run lives in that call, so runs of projects in different
// folders may go on at the same time on different threads. Runs that share a
// folder never overlap: the scratch files (CHART.DAT, TZDATA.DAT, TZDIAM.DAT,
// ROCKMSG.DAT) have fixed names, so a run holds the folder's lock file
// PYLAR.LCK while it uses the folder and a second run waits for it.
//
// Every result and scratch file is written to a new temporary file in its
// folder that replaces the file's name when complete: a name that is a link
// is replaced, never the file it points to, and a result that could not be
// written completely leaves the earlier file of that name as it was.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pylar/design_methods.h"
#include "pylar/run_files.h"

namespace pylar::engine {

// Run statuses returned by IPYLAR, runAnalysis and runProject.
inline constexpr int kStatusCompleted = 0;
inline constexpr int kStatusWrongArgument = 1;   // IPYLAR only: argument other than 2
// 2 and 4: a load-transfer curve could not be built (load-settlement analysis).
inline constexpr int kStatusDesignLoadNotReached = 7;
// The project file is missing or unreadable, ends early, holds a non-number
// where a number belongs, or a count or code out of range. The report and
// run notes name the record and the value.
inline constexpr int kStatusBadInput = 10;
// names.dat is missing or has fewer than nine lines, a run name is blank or
// names the same file as another (the project above all, also through a
// link), two projects of one batch would write the same files, or another
// run kept the folder for the whole wait. No file is touched.
inline constexpr int kStatusBadRunNames = 11;
// A result or scratch file could not be created or written completely.
inline constexpr int kStatusFileError = 12;
// An unexpected internal fault; the report and run notes say so.
inline constexpr int kStatusInternalError = 99;

// Names of one run, as listed in names.dat, plus the scratch folder. What
// each file is: run_files.h.
struct RunNames {
  std::string version;      // printed in the banner (first 12 characters)
  std::string input;        // project file
  std::string report;
  std::string plot;
  std::string notes;
  std::string detail;
  std::string baseListing;  // appended to the detail listing at the end
  std::string tzPlot;       // appended to the plot data at the end
  std::string qwPlot;       // appended to the plot data at the end
  std::filesystem::path scratchFolder;  // where the files of fixed name go

  // The name names.dat lists on `line` (kFirstNamesLine to kLastNamesLine);
  // the project file for any other line.
  const std::string& onNamesLine(int line) const;
  std::string& onNamesLine(int line);
};

// Where a file of a run with these names is: a name of names.dat, the run
// record beside the report, or a fixed name in the scratch folder.
std::filesystem::path runFilePath(const RunNames& names, RunFileKind kind);

// The results of a run for programs, when RunOptions::collectResults asks
// for them: every number is text in the project's units with the decimals
// the report prints it with (so it reads back as the report's number).
struct PierValues {
  int caseNumber = 1;    // from 1, in series order
  std::string stem;      // diameters, ft or m (3 decimals, as the pier block)
  std::string base;
  std::string length;    // the stopping depth (3 decimals, as the PYLAR LENGTH line)
  std::string qs;        // the capacity row at the stopping depth
  std::string qbOrWeight;   // QB, or WT (the pier's weight) in uplift
  std::string qu;
  std::string allowable;    // QDN under ASD, LRFD QU under LRFD
  std::string quPerVolume;
  bool stopped = false;     // reached the design load or the fixed tip
  bool mostEfficient = false;
};
struct RunResults {
  bool available = false;  // false: the run ended before its analysis
  methods::MethodSet methods = methods::MethodSet::Fhwa1999;  // the set the run used
  bool si = false;
  bool lrfd = false;
  bool uplift = false;
  std::vector<PierValues> piers;
  // One JSON object: units, design method, method set, messages, per pier its capacity
  // rows, the side resistance of each layer at the stopping depth and its
  // load-settlement curves, and the rock-socket table (see the user's manual).
  std::string json;
};

// A warning of a run: what the report (or the run notes) warns of, as one
// line of text, and the soil layer it concerns (from 1; 0 when it concerns
// no one layer: the pier, the whole profile or an input of the project).
struct RunWarning {
  int layer = 0;
  std::string text;
  bool operator==(const RunWarning&) const = default;
};

// Why a run was refused (kStatusBadRunNames) before it touched a file, as
// values: the message says the same in the engine's words.
struct RunRefusal {
  enum class Reason {
    None,
    BlankName,     // `file` has no name
    SameFile,      // `file` is `other` (a name of names.dat, the run record,
                   // a scratch file or the lock file): writing one destroys the other
    ProjectLink,   // `path`, a file the run writes, is the project under another name
    FolderBusy,    // another run held the folder `path` for the whole wait
    NotALockFile,  // `path` is not a lock file of this program
    SharedFiles,   // another project of the batch writes `path` too (ProjectRun::sharedWith)
  };
  Reason reason = Reason::None;
  RunFileKind file = RunFileKind::Project;
  RunFileKind other = RunFileKind::Project;
  std::filesystem::path path;
  bool operator==(const RunRefusal&) const = default;
};

struct RunSummary {
  int status = kStatusCompleted;
  std::string message;  // one line: how the run ended
  RunResults results;   // filled when RunOptions::collectResults is set
  // Every warning of the run, each once, in the order the report meets them;
  // also listed at the end of the run notes and in the JSON's "warnings".
  std::vector<RunWarning> warnings;
  // The files this run wrote completely, in the order it closed them (the
  // run record last). A name missing here was not written by this run.
  std::vector<std::filesystem::path> filesWritten;
  // Set when the run was refused: which names clashed, which folder was busy.
  RunRefusal refusal;
};

// A JSON string literal of `text`: quotes, backslashes and control characters
// escaped, bytes that are not UTF-8 replaced by U+FFFD.
std::string jsonString(std::string_view text);

// Local date and time of a run, as printed in the run header.
struct RunTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};
using RunClock = std::function<RunTime()>;
RunTime localRunTime();

// The version text this build prints in its banner.
std::string_view engineVersion();

// How a run may use the machine: the load-settlement geometries of a series
// (the design charts above all) are solved on up to `threads` threads at once;
// 0 takes one per hardware thread, 1 solves them on the calling thread. The
// files a run writes are the same whatever the number.
struct RunOptions {
  unsigned threads = 0;
  bool collectResults = false;  // fill RunSummary::results
  // How long a run waits while another run holds its folder before it is
  // refused (kStatusBadRunNames, "ANOTHER RUN IS USING THE FOLDER ...").
  std::chrono::milliseconds folderWait{60000};
  // The method set to run with instead of the project's own (the project
  // file is not changed).
  std::optional<methods::MethodSet> methods = std::nullopt;
};

// Runs one analysis with the given names: checks the names, takes the
// scratch folder's lock (or finds it held by its caller in this process),
// removes the old run record, writes every file and then the run record.
RunSummary runAnalysis(const RunNames& names, const RunClock& clock = localRunTime, const RunOptions& options = {});

// Every file a run with these names writes (every row of kRunFiles but the
// project): the results, the intermediate files, the run record, and in the
// scratch folder the scratch files and the lock file.
std::vector<std::filesystem::path> filesOfRun(const RunNames& names);

// The run record beside the report: the report's name with the run record's
// extension. Five CRLF lines:
//   PYLAR RUN RECORD 1
//   PROJECT <project file name, without folder>
//   SIZE <bytes of the project as the run read it>
//   FNV1A64 <16 lower-case hex digits: FNV-1a 64-bit hash of those bytes>
//   STATUS <the run's status>
// A run removes it before it opens any result file and writes it after all
// other files are closed, so a run that was killed leaves none.
std::filesystem::path runRecordFile(const RunNames& names);

// Whether the results beside `project` (as namesBeside names them) are its
// current ones: its run record exists, names this project's file, records
// the size and hash of the project's bytes as they are now, and a run that
// completed (status 0) or whose files are complete although the design load
// was not reached (status 7).
bool resultsAreCurrent(const std::filesystem::path& project);

// Reads names.dat (nine lines: version text and eight paths, each read whole,
// trailing blanks dropped). False when the file is missing or short.
bool readNamesFile(const std::filesystem::path& file, RunNames& names);

// What IPYLAR(2) does: reads names.dat from the current folder and runs with
// the current folder as scratch folder. Without a complete names.dat it
// returns kStatusBadRunNames (the library has no console to ask on).
int runFromNamesFile();

// One project run as the command-line runner and the desktop program do it:
// the result files, the intermediate files and the run record beside the
// project with its name and their extensions, the files of fixed name in the
// project's folder; afterwards, still holding the folder, the intermediate
// files this run wrote are removed.
struct ProjectRun {
  std::filesystem::path project;
  std::filesystem::path report;  // empty unless this run wrote it
  RunSummary summary;
  // A batch refused this project because this other project of its command
  // line would write the same files (one stem in one folder).
  std::filesystem::path sharedWith;
};
RunNames namesBeside(const std::filesystem::path& project);
ProjectRun runProject(const std::filesystem::path& project, const RunClock& clock = localRunTime,
                      const RunOptions& options = {});

// Runs several projects: projects in different folders at the same time (at
// most `maxParallel` at once), projects in one folder one after the other.
// Two different projects that would write the same files (pier.pq8d and a
// backup pier.pq8d~ both write the same report) are both refused before anything
// runs, each naming the other; a project named twice runs twice.
// When several run at once, each solves its geometries on its own thread.
// Results come back in the order of `projects`; `onFinished` (if given) is
// called as each project ends, never from two threads at once.
// `collectResults` fills each run's RunSummary::results; `methods`, when
// given, is the method set every project runs with.
std::vector<ProjectRun> runProjects(const std::vector<std::filesystem::path>& projects, unsigned maxParallel,
                                    const std::function<void(const ProjectRun&)>& onFinished = {},
                                    const RunClock& clock = localRunTime, bool collectResults = false,
                                    std::optional<methods::MethodSet> methods = std::nullopt);

}  // namespace pylar::engine
