// The calculation report and the headless export.
//
// The calculation report is one PDF an engineer checks and signs: page one
// is the design summary (the job block, the design basis, each pier's
// capacity against the design load, the chosen pier's settlement against the
// allowable settlement, the run's warnings), then the inputs of the project
// and the results as the engine printed them (in plain decimal notation), the
// figures (drawn by the same painters as the windows) and the engine's whole
// report as an appendix in its fixed-width layout; each page has the project
// title above and "Page n of N" below.
//
// The headless export (`pylarwin --export OUTDIR PROJECT`) writes, without a
// display, every picture and file the program can show for a project: the
// result plots as PNG and SVG, the elevation view, the workbook and the
// calculation report. It never writes the project: the results beside it are
// used when its run record ties them to the project as it is on disk and the
// run completed; otherwise the analysis runs on the file as it is, and a run
// the engine refuses, or that does not complete, ends the export with its
// status and the engine's message.
#pragma once

#include "model/PltData.h"
#include "model/ReportJob.h"

#include <QPageSize>

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace pylar {

class TProgramData;

// A result plot with the short name its picture files carry
// ("<project>-<key>.png"): "skin", "combined", "chart-3", ...
struct TNamedPlot {
  QString key;
  TGraphPlot *plot = nullptr;
};
std::vector<TNamedPlot> NamedPlots(TResultPlots &plots);

// Empties the plots the program does not offer for these results (see PlotOffered).
void KeepOfferedPlots(TResultPlots &plots, const TProgramData &project, bool showTzCurves, int additionalTzCurves);

// True when the plot has data the plot window can show.
bool PlotAvailable(TGraphPlot &plot);

// Writes the calculation report of `project`, whose results were read into
// `plots` from its plot-data file (the plots the program does not offer left
// empty), to `pdfPath`, through a temporary file that replaces it only when
// complete. Returns the reason it failed, empty when written.
// The job block is `job`; without it, the user's settings and the project's
// job file.
QString WriteCalcReport(const QString &pdfPath, const TProgramData &project, TResultPlots plots,
                        const TReportJob &job);
QString WriteCalcReport(const QString &pdfPath, const TProgramData &project, TResultPlots plots);

// The paper of the calculation report, and of printed plots unless the user
// chooses another: Letter for English units, A4 for SI.
QPageSize::PageSizeId ReportPageSize(int units);

// The headless export. `out` gets one line per file written, `err` the
// reasons of a failure. Returns the exit code: 0 when everything was written,
// 1 when the project, the run or a file failed.
struct TExportLog {
  std::function<void(const QString &)> out, err;
};
// The job block of the report comes from the user's settings and the
// project's job file, with what `job` gives on the command line over them;
// nothing is stored.
int ExportProject(const QString &outDir, const QString &projectFile, const QString &programFolder,
                  const TExportLog &log, const TExportArguments &job = {});

}  // namespace pylar
