// Plot definitions (TGraphPlot): the curves, names, captions and unit codes of
// one result graph, and the set of result plots the main window owns.
#pragma once

#include "DataEdit.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

namespace pylar {

struct TFloatPoint {
  Extended x = 0;
  Extended y = 0;
  bool operator==(const TFloatPoint &) const = default;
};

struct TFloatRect {
  Extended Left = 0, Right = 0, Top = 0, Bottom = 0;
};

// One curve. For a soil-layer band, fValue is the band value (its fill).
struct TLine {
  std::vector<TFloatPoint> fData;
  Extended fValue = 0;
  QString fValueS;  // empty: the default name is shown
  bool fVisible = true;
  bool fActive = true;
};

// What printed and saved pictures of a result plot carry at their foot, so a
// sheet found on its own still says what it shows: the project's title, the
// pier the plot shows ("all piers" of the series, or the first one) and the
// date of the run that produced it.
struct TPlotFooter {
  QString Project, Pier, RunDate;
  bool IsEmpty() const { return Project.isEmpty() && Pier.isEmpty() && RunDate.isEmpty(); }
  // "Project  |  pier  |  run of DATE", the parts given.
  QString Text() const;
};

class TGraphPlot {
 public:
  TGraphPlot() = default;
  TGraphPlot(const QString &caption, const QString &xCaption, const QString &xUnits, const QString &yCaption,
             const QString &yUnits);

  QString fCaption;
  QString fXCaption, fYCaption;
  QString fXUnits, fYUnits;
  QString fCurveName = QStringLiteral("Curve #");
  bool fXOnTop = true;
  bool fLimitActive = true;
  std::vector<TLine> fData;  // main curves
  std::vector<TLine> gData;  // soil-layer bands, one single-point curve each
  bool fShowFontWidth = true;
  bool fShowLegend = true;
  bool fShowLayers = false;
  int fSizeFont = 10;
  int fLegendFont = 11;
  int fWidthLine = 1;
  int fMarkers = 1;
  QStringList fDefLineNames;
  std::function<QString(int curve, const QString &name)> fonGetCaption;
  QString UserCaption;
  bool UserCaptionOnTop = false;
  Extended LayersTop = 0;
  bool Yreversed = false;
  // The project whose results the plot shows (empty for a plot made by hand):
  // printed and saved pictures are proposed beside it, named after it.
  QString ProjectFile;
  // Empty for a plot made by hand; set by the result loader.
  TPlotFooter Footer;

  // "<project folder>/<project name> - <caption><suffix>", the caption's
  // characters that a file name cannot hold replaced by "-"; empty without a
  // project.
  QString ProposedOutputPath(const QString &suffix) const;

  int CurveCount() const { return static_cast<int>(fData.size()); }
  // New curves get the plot's current point count and the numbers count + 1.
  void SetCurveCount(int count);
  int PointCount() const { return fData.empty() ? fPointCount : static_cast<int>(fData.front().fData.size()); }
  // Sets the point count of every curve: zeroed points added, or points removed at the end.
  void SetPointCount(int count);
  int LayerCount() const { return static_cast<int>(gData.size()); }
  void SetLayerCount(int count);
  void SetLayerPointCount(int count);
  // Point access; out-of-range indices are ignored on writing and read as (0, 0).
  TFloatPoint Point(int curve, int index) const;
  void SetPoint(int curve, int index, TFloatPoint point);

  // The name shown for a curve: its own, the default list's, or prefix + number.
  QString CurveName(int curve) const;
  void SetCurveName(int curve, const QString &name);

  int Units() const { return fUnits; }
  void SetUnits(int units);  // clamped to 1 ... 3
  QString XUnitsText() const { return ExpandUnitsTemplate(fXUnits, fUnits); }
  QString YUnitsText() const { return ExpandUnitsTemplate(fYUnits, fUnits); }

 private:
  static void resize(std::vector<TLine> &lines, int count, int points);
  int fUnits = kUnitsEnglish;
  int fPointCount = 0;
  int fLayerPointCount = 0;
};

// The result plots of the main window.
struct TResultPlots {
  TResultPlots();
  TGraphPlot pltSkin, pltTip, pltTotal, pltCombine;
  TGraphPlot FSpltSkin, FSpltTip, FSpltTotal, pltCombineD;
  TGraphPlot pltAxial, pltUpper, pltLower, pltCombinedSettle;
  TGraphPlot pltTz, pltQw, pltTzAdd;
  std::array<TGraphPlot, 10> PltChart;
  TGraphPlot pltLoad;

  // Every plot, for unit changes and clearing.
  std::vector<TGraphPlot *> All();
  // Every plot without curves or layer bands: no results.
  void Clear();
};

// What the plot-data loader needs to know of the project.
struct TPlotLayer {
  int code = 0;         // soil model code 1 ... 9
  Extended depth = 0;  // depth at the bottom of the layer
};
struct TPlotDataContext {
  int Units = kUnitsEnglish;
  int UseElevation = 0;
  Extended ValElevation = 0;
  int Yesnewversion = 1;
  int KCYCL = 1;
  int NLRFD = 2;
  Extended FST = 2.5;
  Extended FSB = 3;
  int IChart = 0;
  int IPENT = 0;
  Extended DSTART = 0;
  Extended DIALIM = 0;
  Extended DIAMINCR = 0;
  Extended PD = 0;      // the proposed length: the first of a length series
  Extended PDINCR = 0;  // the length series' step (0: the engine's default)
  int PrintTZCurves = 0;
  std::vector<TPlotLayer> Layers;
  QString Title;  // the project's title, for the plots' footers
};

struct TPlotDataResult {
  bool ok = false;
  QString error;  // the reader's message when the load failed
  bool ID2Read = false;
  int ID2 = 0;    // the load-settlement bound flag of the file
  bool showtzcurves = false;
  int additionalTzCurves = 0;
  bool wholeFileRead = false;  // nothing was left after the last record
  // Read as far as it goes, but the file ends before records its counts
  // announce (the t-z and q-w curves of bound-line results): why, for the
  // user. Those plots stay empty.
  QString incomplete;
};

class TProgramData;
// The loader's view of a project: its settings and the layers of its table D.
TPlotDataContext PlotDataContext(const TProgramData &project);

// Sets the footer of every result plot: the project's title (its file name
// when it has none), the pier each plot shows and the run's date as the
// report beside the plot data prints it.
void SetPlotFooters(TResultPlots &plots, const QString &title, const QString &runDate);

// Reads a plot-data file into the plots; a file read sets their footers
// (SetPlotFooters, with the date of the report beside it). Curves filled before a failure keep
// their values. Counts that the file cannot hold are reported as errors, so no
// file can make the loader allocate without bound.
TPlotDataResult ReadPlotData(const QString &path, const TPlotDataContext &context, TResultPlots &plots);

// Whether the program offers `plot` (one of `plots`) once results are
// loaded: the bound load-settlement plots only when the plot-data file holds
// the bounds (the project's ID2), the t-z and Q-w plots when it holds them,
// the additional t-z curves only when the project asks for them and the file
// holds some, a design chart only for a defined settlement of a project with
// design charts.
bool PlotOffered(const TResultPlots &plots, const TGraphPlot &plot, const TProgramData &project, bool showTzCurves,
                 int additionalTzCurves);
// Empties the plots the program does not offer for these results (PlotOffered).
void KeepOfferedPlots(TResultPlots &plots, const TProgramData &project, bool showTzCurves, int additionalTzCurves);

// Layer bands of one plot (only for a plot that has a curve with a point).
void AddLayersGraphPlot(TGraphPlot &plot, const TPlotDataContext &context);

// Numbers in curve names and chart captions: general format, up to 15
// significant digits, no trailing zeros, "." as decimal point.
QString NameNumber(Extended value);

// A number as the report prints it in a fixed field of `decimals` decimals,
// without the trailing zeros: 0.8999891 with 3 decimals is "0.9", 1.05 stays
// "1.05". Curve names and captions use it, so a name never shows the single
// precision noise of the engine's files.
QString ReportNumber(Extended value, int decimals);

// Decimals of the report's fields: stem diameters and pier lengths, and the
// defined settlements (in inches in English units, metres in SI).
inline constexpr int kReportLengthDecimals = 3;
int ReportSettlementDecimals(int units);

// The caption of a design chart, "Design Chart (0.5-in movement)".
QString DesignChartCaption(Extended movement, int units);

// The stem diameters of the series the engine analyses, in project units:
// from DSTART by the diameter increment of the design charts (its default
// when zero) or without charts by half a foot (English) or 0.15 m (SI), up to
// DIALIM (never below DSTART), which is always the last: it replaces a step
// within 0.02 ft of it and follows one short of it; at most 20 diameters with
// design charts and 100 without. Computed in the engine's single precision
// and feet, so each value prints as the report prints it. A length series
// (IPENT = 1) analyses DSTART only.
std::vector<Extended> AnalysedStemDiameters(const TPlotDataContext &context);

// The length the engine analysed for curve `curve` (from 0) of a length
// series, in project units: the proposed length less `curve` increments, as
// asked, when the deepest ordinate of the curve (three significant digits)
// shows it; otherwise the walk ended elsewhere, at the bottom of a profile
// above that length, a whole number of feet, which the ordinate shows.
Extended AnalysedPierLength(const TPlotDataContext &context, int curve, Extended deepestOrdinate);

}  // namespace pylar
