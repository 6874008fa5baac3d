// The calculation report: one PDF an engineer checks and signs. Page one is
// the design summary (the job block, the design basis, each pier's capacity
// against the design load, the chosen pier's settlement against the
// allowable settlement, the run's warnings), then the inputs of the project
// and the results as the engine printed them (in plain decimal notation), the
// figures (drawn by the same painters as the windows) and the engine's whole
// report as an appendix in its fixed-width layout; each page has the project
// title above and "Page n of N" below. What the report says is here; how its
// blocks are placed on pages is ui/ReportPages.
#pragma once

#include "model/PltData.h"
#include "model/ReportJob.h"
#include "ui/View3dScene.h"

#include <QString>

namespace pylar {

class TProgramData;

// Writes the calculation report of `project`, whose results were read into
// `plots` from its plot-data file (the plots the program does not offer left
// empty), to `pdfPath`, through a temporary file that replaces it only when
// complete. Returns the reason it failed, empty when written.
// The job block is `job`; without it, the user's settings and the project's
// job file.
QString WriteCalcReport(const QString &pdfPath, const TProgramData &project, TResultPlots plots,
                        const TReportJob &job);
QString WriteCalcReport(const QString &pdfPath, const TProgramData &project, TResultPlots plots);

// The 3-D View as the report and the export show it: the whole scene seen
// from above and aside (the start view looks straight at the front, which on
// paper reads as a flat drawing), with the ultimate capacity curves and their
// values beside the pier when the results have them.
TScenePicture ReportScenePicture(const TProgramData &project, TResultPlots &plots);

}  // namespace pylar
