// The calculation report and the headless export.
//
// The calculation report is one PDF an engineer checks and signs: a title
// block, the inputs of the project, the results as the engine printed them,
// the figures (drawn by the same painters as the windows) and the engine's
// whole report as an appendix in its fixed-width layout; each page has the
// project title above and "Page n of N" below.
//
// The headless export (`pylarwin --export OUTDIR PROJECT`) writes, without a
// display, every picture and file the program can show for a project: the
// result plots as PNG and SVG, the elevation view, the workbook and the
// calculation report, running the analysis first when the results are missing
// or older than the project.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace pylar {

class TProgramData;
struct TResultPlots;
class TGraphPlot;

// A result plot with the short name its picture files carry
// ("<project>-<key>.png"): "skin", "combined", "chart-3", ...
struct TNamedPlot {
  QString key;
  TGraphPlot *plot = nullptr;
};
std::vector<TNamedPlot> NamedPlots(TResultPlots &plots);

// True when the plot has data the plot window can show.
bool PlotAvailable(TGraphPlot &plot);

// The headless export. `out` gets one line per file written, `err` the
// reasons of a failure. Returns the exit code: 0 when everything was written,
// 1 when the project, the run or a file failed.
struct TExportLog {
  std::function<void(const QString &)> out, err;
};
int ExportProject(const QString &outDir, const QString &projectFile, const QString &programFolder,
                  const TExportLog &log);

}  // namespace pylar
