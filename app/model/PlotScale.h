// The rules of a plot that need no widget: data bounds and their rounding,
// layout of the graph area, mapping between data and pixels, tick spacing,
// zoom, curve colours and marker shapes, axis unit texts and the fill
// patterns of the soil column. The painter and the plot window build on them.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace pylar {

// The shown part of a plot in data units. Left/Right is the x range and
// Top/Bottom the y range as drawn from the top edge of the graph downwards
// (with the x axis on top); a reversed y axis has Top > Bottom.
struct PlotRange {
  double Left = 0;
  double Right = 0;
  double Top = 0;
  double Bottom = 0;
};

// Step for rounding the ends of a range: the power of ten below the range,
// one tenth of it when the range's leading digits are below 3 (250 -> 10,
// 500 -> 100). Zero for a range that is not positive and finite.
double RoundingStep(double range);

// Full bounds of a set of curves. The origin is always inside unless the y
// axis is reversed, in which case the y range starts at `firstY` (the first
// point of the first curve). Points that are not finite are skipped. `ok` is
// false when a step comes out as zero (no usable range).
struct PlotBoundsResult {
  PlotRange range;
  bool ok = false;
};
PlotBoundsResult BoundsFromData(std::span<const std::span<const QPointF>> curves, bool yReversed);

// Geometry of one drawing: the whole area, the graph inside it and, when
// the soil column is shown, the column to its right.
struct PlotLayout {
  QRect area;
  QRect graph;
  QRect column;  // empty when the soil column is not shown
};

struct PlotLayoutInput {
  QRect area;
  int fontHeight = 0;  // F: font height in pixels, already scaled
  int pxPerInchX = 96;
  int pxPerInchY = 96;
  bool xOnTop = true;
  bool hasTitle = false;
  bool titleOnTop = false;
  bool showColumn = false;
  bool forPrint = false;  // a printed title takes Py/4 on top or Py/2 below
};
PlotLayout ComputeLayout(const PlotLayoutInput &in);

// Data <-> pixel mapping of a graph area. A degenerate range maps to the
// area's first pixel instead of dividing by zero.
QPoint DataToPixel(const PlotRange &r, const QRect &graph, bool xOnTop, QPointF p);
QPointF PixelToData(const PlotRange &r, const QRect &graph, bool xOnTop, QPoint p);

// Major tick spacing of one axis: (pixels / 6F) intervals over the range,
// rounded to 1, 2, 5 or 10 times a power of ten. Zero when there is no
// interval (no grid is drawn then).
int MajorIntervals(int pixels, int fontHeight);
double MajorSpacing(double range, int pixels, int fontHeight);

// Ticks at whole multiples of the minor spacing (major / 5) inside [lo, hi]
// (in either order). Each tick is its multiple k; a multiple of 5 is major.
struct AxisTicks {
  double minor = 0;
  long long start = 0;
  long long finish = -1;  // empty when finish < start
  double value(long long k) const { return static_cast<double>(k) * minor; }
  static bool isMajor(long long k) { return k % 5 == 0; }
};
AxisTicks TicksFor(double lo, double hi, int pixels, int fontHeight);

// Tick label: general format, 4 significant digits.
QString TickLabel(double value);

// Coordinate read-out: general format, 5 significant digits.
QString ReadoutNumber(double value);

// Zoom of one axis. `full` and `current` are (start, end) pairs in the
// axis's drawing direction. Zoom-in takes the selected values; a range more
// than kMaxZoom times smaller than the full range is widened to 1/kMaxZoom
// of it around its centre and shifted back inside the full range. Zoom-out
// centres a range twice as wide (at most the full range) on `centre`.
inline constexpr double kMaxZoom = 20.0;
struct AxisSpan {
  double start = 0;
  double end = 0;
};
AxisSpan ZoomInAxis(AxisSpan full, double a, double b);
AxisSpan ZoomOutAxis(AxisSpan full, AxisSpan current, double centre);

// Where a legend box of `size` covers least of the curves (polylines in
// pixels): one of the graph's corners, `margin` inside it. The cover of a
// place is the number of curve segments that cross it; ties go, in order, to
// top right, bottom left, top left and bottom right, so depth plots, whose
// curves run from the top left down to the right, keep the end of the curve
// at the design length in view.
QRect LegendCorner(const QRect &graph, QSize size, int margin, const std::vector<std::vector<QPoint>> &curves);

// Curve colours by position among the active curves (17, cycling).
inline constexpr int kPaletteSize = 17;
std::uint32_t CurveColor(int activePosition);  // 0xRRGGBB

// Marker of curve k (from 0): shape (k mod 10) + 1, its corners around the
// point at a radius of Px/32 and Py/32.
int MarkerShape(int curveIndex);
std::vector<QPoint> MarkerCorners(int curveIndex, QPoint at, int pxPerInchX, int pxPerInchY);

// Unit text of an axis: "F2", then "F1", then "F" are replaced by force
// names, then "L2", "L1", "L" by length names of the unit system (1 English,
// 2 SI, 3 the code unchanged; other values are clamped to 1 .. 3).
QString ExpandPlotUnits(const QString &code, int units);

// Caption of an axis with its units: "Depth (ft)"; no suffix without units.
QString AxisCaption(const QString &caption, const QString &unitsCode, int units);

// Fills of the soil column by band value: 1-6 hatches, 7-12 small patterns,
// anything else none.
enum class BandFill { None, BackDiagonal, ForwardDiagonal, Cross, DiagonalCross, Horizontal, Vertical, Pattern };
BandFill BandFillFor(int bandValue);
// The 8x8 pattern of band values 7 .. 12, one byte per row, bit 7 leftmost,
// set bits drawn black. Empty rows for other values.
std::array<std::uint8_t, 8> BandPattern(int bandValue);

// The soil column: band k runs from the previous band's ordinate (the first
// from `layersTop`) to its own ordinate.
struct BandSpan {
  double from = 0;
  double to = 0;
};
std::vector<BandSpan> BandSpans(double layersTop, std::span<const double> ordinates);

}  // namespace pylar
