// The headless export (`pylarwin --export OUTDIR PROJECT`): writes, without a
// display and without the program's windows, every picture and file the
// program can show for a project: the result plots as PNG and SVG, the
// elevation view, the workbook, the calculation report and the 3-D View. It
// never writes the project: its results come from ReadProjectResults
// (model/ProjectResults), which uses those beside it when its run record ties
// them to the project as it is on disk and the run completed, and otherwise
// runs the analysis on the file as it is.
#pragma once

#include "model/PltData.h"
#include "model/ReportJob.h"

#include <QString>

#include <functional>
#include <vector>

namespace pylar {

// A result plot with the short name its picture files carry
// ("<project>-<key>.png"): "skin", "combined", "chart-3", ...
struct TNamedPlot {
  QString key;
  TGraphPlot *plot = nullptr;
};
std::vector<TNamedPlot> NamedPlots(TResultPlots &plots);

// `out` gets one line per file written, `err` the reasons of a failure.
struct TExportLog {
  std::function<void(const QString &)> out, err;
};
// Returns the exit code: 0 when everything was written, 1 when the project,
// the run or a file failed. The job block of the report comes from the user's
// settings and the project's job file, with what `job` gives on the command
// line over them; nothing is stored.
int ExportProject(const QString &outDir, const QString &projectFile, const QString &programFolder,
                  const TExportLog &log, const TExportArguments &job = {});

}  // namespace pylar
