// The analysis run of the desktop program, without widgets: saves the
// project, loads the engine library from the program's folder, locks the
// project's folder against other runs, removes the results of an earlier run,
// writes names.dat, calls IPYLAR(2) with "." as decimal point, removes the
// scratch files and names.dat, unloads the library and lets the folder go. The
// outcome says how the run ended, which result files it left and whether they
// count as the project's results; the main window only shows it.
#pragma once

#include "FolderLock.h"
#include "RunRecord.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace pylar {

class TProgramData;

enum class TRunStatus {
  NotNamed,         // the project has no file name of its own yet: nothing done
  SaveFailed,       // the project did not reach the disk: nothing run
  FolderBusy,       // another run holds the project's folder (or it cannot be locked): nothing run
  ResultsKept,      // a result file of an earlier run could not be removed: nothing run
  NamesFileFailed,  // names.dat could not be written, or the name holds a file of the user's: nothing run
  LibraryBusy,      // an engine library is still loaded: nothing run
  LibraryFailed,    // the engine library is missing, fails to load or has no IPYLAR
  EngineRan,        // IPYLAR returned; EngineStatus holds its result
};

// A warning of a run as the engine lists it at the end of its run notes: the
// soil layer it concerns (from 1; 0 for none) and its text.
struct TRunWarning {
  int layer = 0;
  QString text;
  bool operator==(const TRunWarning &) const = default;
  // "Layer 5: text", or the text alone.
  QString Line() const;
};

struct TRunOutcome {
  TRunStatus Status = TRunStatus::NotNamed;
  std::int32_t EngineStatus = -1;  // IPYLAR's result once it ran
  QString ProjectFile;    // the project file that was run
  QString Reason;         // why nothing ran: the save error, the file that stayed, the folder in use
  QString EngineMessage;  // when the run did not complete: the engine's own message in its run notes
  QString RunNotesFile;   // where the run notes are, once the engine ran
  QString Summary;        // after a completed run whose results count: each pier's length and capacities, as printed
  // Each pier that does not reach the design load within the soil profile:
  // what happened and what to try, whole, as the engine's run notes say it
  // under "NEED ANOTHER SOIL LAYER" (the run may still complete with others).
  QStringList Shortfalls;
  std::vector<TRunWarning> Warnings;  // every warning of the run, from its run notes
  // Once the engine ran: what the run record beside the project says of the results.
  TResultsCheck Results;
  // Result files of this run (none of an earlier run survives a run that starts).
  bool ReportWritten = false;
  bool RunNotesWritten = false;
  bool PlotDataWritten = false;  // and not empty
  bool DetailWritten = false;

  bool EngineRan() const { return Status == TRunStatus::EngineRan; }
  // The results this run left count as the project's: the run completed
  // (status 0, or 7: the design load was not reached) and its run record ties
  // them to the project as it is now. An engine that leaves no record is
  // taken at its word for the run just made; the record alone decides later.
  bool ResultsCurrent() const;
  // Why the results of this run are not presented as the project's; empty when they are.
  QString ResultsNote() const;
  // The message the program shows for this outcome; empty when there is nothing to say.
  QString UserMessage() const;
};

class TAnalysisRun {
 public:
  // The engine library is looked up in `programFolder`.
  explicit TAnalysisRun(QString programFolder) : fProgramFolder(std::move(programFolder)) {}

  // Called just before the engine starts and just after it returns (busy
  // cursor, status line); the engine blocks the calling thread meanwhile.
  std::function<void()> OnEngineStart;
  std::function<void()> OnEngineEnd;

  // Another run holding the project's folder is waited for this long, and
  // `OnLockWait` called about ten times a second meanwhile.
  std::chrono::milliseconds LockWait = kFolderLockWait;
  std::function<void()> OnLockWait;

  // Saves the project, which must be named (a ".pq8d" file), and runs it.
  // The project's folder becomes the current folder.
  TRunOutcome Execute(TProgramData &project);
  // Runs the project file as it is on disk, without saving anything.
  TRunOutcome RunProjectFile(const QString &projectFile);

 private:
  QString fProgramFolder;
};

// A few lines on a completed run, from its report as printed: for each pier of
// the series its stem, stopping length, total ultimate and allowable (or
// LRFD) capacity, the most efficient pier marked. Empty when the report holds
// no pier.
QString RunSummary(const QString &reportFile, const QString &plotDataFile);

// The paragraphs the run notes give under each "NEED ANOTHER SOIL LAYER"
// line, each joined into one line.
QStringList RunShortfalls(const QString &notesFile);
// The warnings the engine lists at the end of the run notes ("WARNINGS OF THE
// RUN:", then "LAYER  n: text" or "GENERAL: text" lines); none when the file
// is missing or lists none.
std::vector<TRunWarning> ReadRunWarnings(const QString &notesFile);
// The warnings for a message: a heading with their number, a line each.
QString RunWarningsText(const std::vector<TRunWarning> &warnings);

// The files an analysis run of `projectFile` writes and the program shows:
// report, plot data, run notes and detail listing. Removed before each run,
// with the run record.
QStringList RunResultFiles(const QString &projectFile);

// How the engine says a run ended that did not complete: the last line of its
// run notes that is one of its framed messages or names an error; empty when none.
QString EngineMessageInRunNotes(const QString &notesFile);

}  // namespace pylar
