// The job block of the calculation report: who made it for whom, and the
// allowable settlement its design check uses.
//
// Where each value is kept:
//  - company, engineer and the allowable settlement are the user's own: kept
//    in the program's settings (organisation "Vexlor", application "PYLAR",
//    group "2017.8.2"), the same on every project;
//  - project number, revision, location and checker belong to a project: kept
//    in the job file beside it, "<project name>.pq8j". The project file is
//    never written for them: its bytes tie it to the results of its last run
//    (the run record), and an edit of the revision must not make those
//    results stale. A side file travels with the project's folder to a
//    checker or another computer, which settings keyed by the project's path
//    would not, and a project without job data has no job file at all.
//  - the headless export takes any of them from its command line
//    (--company, --engineer, --checker, --project-number, --revision,
//    --location, --allowable-settlement) and stores nothing.
//
// The job file: UTF-8 text with CRLF line ends, "PYLAR REPORT JOB 1" on its
// first line, then "KEY: value" lines (PROJECT NUMBER, REVISION, LOCATION,
// CHECKER); unknown keys are skipped, so a later version may add some.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace pylar {

struct TReportJob {
  QString Company, Engineer;                            // settings
  QString ProjectNumber, Revision, Location, Checker;  // job file
  // The allowable settlement of the design check, in inches (English
  // projects) and millimetres (SI projects).
  double AllowableInches = 1.0;
  double AllowableMillimetres = 25.0;

  // In the project's settlement unit: inches for English (1), millimetres for SI (2).
  double Allowable(int units) const;
  void SetAllowable(int units, double value);
  bool operator==(const TReportJob &) const = default;
};

// Values longer than this are cut, control characters are removed: a job
// block is a few lines of a page.
inline constexpr int kJobTextLimit = 200;
QString CleanJobText(const QString &text);

// Reads and writes the user's part in the program's settings.
void ReadReportJobSettings(TReportJob &job);
void WriteReportJobSettings(const TReportJob &job);

// "<folder>/<project name>.pq8j".
QString ReportJobFile(const QString &projectFile);
// Reads the project's part from its job file into `job`; a missing file
// leaves it as it is. Returns why a file that is there was not read (not a
// regular file, too large, not a job file), empty otherwise.
QString ReadReportJobFile(const QString &projectFile, TReportJob &job);
// Writes the project's part to its job file, through a temporary file that
// replaces it when complete; with every value empty a missing file is not
// made (an existing one is written empty). Returns why it failed, empty when
// written.
QString WriteReportJobFile(const QString &projectFile, const TReportJob &job);

// Settings and job file of a project.
TReportJob LoadReportJob(const QString &projectFile);

// The export's command line: "--export OUTDIR PROJECT" and job options, each
// "--name VALUE" or "--name=VALUE", after "--export" in any order.
struct TExportArguments {
  QString OutDir, Project;
  std::optional<QString> Company, Engineer, Checker, ProjectNumber, Revision, Location;
  std::optional<double> AllowableSettlement;  // in the project's settlement unit
  QString Error;                              // why the command line is wrong; empty when it is right

  // The job with the values given on the command line.
  void ApplyTo(TReportJob &job, int units) const;
};
// `arguments` are the program's arguments without the program name; the
// first is "--export".
TExportArguments ParseExportArguments(const QStringList &arguments);

}  // namespace pylar
