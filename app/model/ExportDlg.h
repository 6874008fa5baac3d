// The export of result plots to a spreadsheet workbook (.xlsx), written
// directly with libxlsxwriter so that no spreadsheet program is needed: a
// "Legend" index sheet with hyperlinks, then for every plot its data sheet
// "Page_k" and its XY-scatter chart sheet "Plot_k". Also the plot's curves as
// tab-separated text for the clipboard.
#pragma once

#include "PltData.h"

#include <QChar>
#include <QString>

#include <vector>

namespace pylar {

// A spreadsheet chart holds at most this many series.
inline constexpr int kMaxChartSeries = 255;

// A plot the export can offer: its number in the fixed order (1 ... 25) and
// the plot itself.
struct TExportCandidate {
  int number = 0;
  const TGraphPlot *plot = nullptr;
};

// The 25 plots the export offers, in its fixed order: the capacity plots, the
// ASD/LRFD plots, the combined plots, load against settlement, t-z, Q-w,
// additional t-z, then the ten design charts.
std::vector<TExportCandidate> ExportCandidates(const TResultPlots &plots);

// Spreadsheet column letters of a column counted from 1: 1 "A", 26 "Z",
// 27 "AA", 703 "AAA". Empty below 1.
QString ColumnLetters(int column);

// The axis title of the workbook: the caption, followed by " (" + unit text
// + ")" when the axis has a unit code, the code expanded in `units`.
QString AxisTitle(const QString &caption, const QString &unitsCode, int units);

// The message shown when the export is complete; `more255` adds the note on
// plots whose chart shows only the first 255 curves. Lines end with "\r".
QString ExportCompletedMessage(bool more255);

struct TWorkbookOutcome {
  bool ok = false;
  QString path;      // the workbook written (absolute), when ok
  bool more255 = false;
  // When ok: the completed message followed by where the workbook was saved.
  // Otherwise what failed; an existing file at the path is then unchanged.
  QString message;
};

// Writes the workbook of `plots` (in this order; null entries are skipped) to `path`. The workbook is
// assembled completely before it replaces the file at `path`, so a failure
// leaves no half-written file and never replaces a good one. Without
// `addMarkers` the chart series have no markers. Numbers are written as
// numbers, whatever the user's locale.
TWorkbookOutcome WriteWorkbook(const QString &path, const std::vector<const TGraphPlot *> &plots, bool addMarkers);

// The curves of a plot as tab-separated columns, one line per row, two
// columns per curve: the curve's name, then the axis titles, then its points
// (numbers in general format with up to 15 significant digits and the given
// decimal point); a curve shorter than the longest leaves its cells empty.
QString CurvesAsText(const TGraphPlot &plot, QChar decimalPoint);

}  // namespace pylar
