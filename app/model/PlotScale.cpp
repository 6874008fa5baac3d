#include "model/PlotScale.h"

#include "model/DataEdit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace pylar {

namespace {

// Pixel coordinates are kept far inside the int range; a point this far
// outside the graph is clipped away anyway.
constexpr double kPixelLimit = 1.0e7;

int roundPixel(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<int>(std::lround(std::clamp(v, -kPixelLimit, kPixelLimit)));
}

// Rounds [lo, hi] outwards to multiples of `step`.
void roundOutwards(double &lo, double &hi, double step) {
  lo = std::floor(lo / step) * step;
  hi = std::ceil(hi / step) * step;
}

// Slides [lo, hi] (lo <= hi) back inside the full span without changing its
// width where it fits, and orders it the way the full span runs.
AxisSpan shiftedInside(AxisSpan full, double lo, double hi) {
  const double fmin = std::min(full.start, full.end);
  const double fmax = std::max(full.start, full.end);
  if (lo < fmin) {
    hi += fmin - lo;
    lo = fmin;
  }
  if (hi > fmax) {
    lo -= hi - fmax;
    hi = fmax;
  }
  return full.end >= full.start ? AxisSpan{lo, hi} : AxisSpan{hi, lo};
}

}  // namespace

double RoundingStep(double range) {
  if (!(range > 0) || !std::isfinite(range)) return 0;
  const double lg = std::log10(range);
  const double whole = std::floor(lg);
  double step = std::pow(10.0, whole);
  if (lg - whole < std::log10(3.0)) step /= 10;
  return std::isfinite(step) ? step : 0;
}

PlotBoundsResult BoundsFromData(std::span<const std::span<const QPointF>> curves, bool yReversed) {
  double left = 0, right = 0, top = 0, bottom = 0;
  bool yStarted = !yReversed;  // reversed: the y range starts at the first point
  if (yReversed && !curves.empty() && !curves.front().empty() && std::isfinite(curves.front().front().y())) {
    top = bottom = curves.front().front().y();
    yStarted = true;
  }
  for (const auto &curve : curves) {
    for (const QPointF &p : curve) {
      if (std::isfinite(p.x())) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
      }
      if (std::isfinite(p.y())) {
        if (!yStarted) {
          top = bottom = p.y();
          yStarted = true;
        }
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
      }
    }
  }
  if (bottom - top == 0) {
    top -= 0.01;
    bottom += 0.01;
  }
  if (right - left == 0) {
    left -= 0.01;
    right += 0.01;
  }
  PlotBoundsResult result;
  const double yStep = RoundingStep(bottom - top);
  const double xStep = RoundingStep(right - left);
  if (yStep == 0 || xStep == 0) return result;
  // Both ends are rounded outwards, also on a reversed axis, so that no data
  // falls outside the range whatever the sign of the values.
  roundOutwards(top, bottom, yStep);
  if (yReversed) std::swap(top, bottom);
  roundOutwards(left, right, xStep);
  result.range = {left, right, top, bottom};
  result.ok = std::isfinite(left) && std::isfinite(right) && std::isfinite(top) && std::isfinite(bottom);
  return result;
}

PlotLayout ComputeLayout(const PlotLayoutInput &in) {
  const int f = std::max(0, in.fontHeight);
  const int px = std::max(1, in.pxPerInchX);
  const int py = std::max(1, in.pxPerInchY);
  const int w = in.area.width();
  const int h = in.area.height();
  int left = 2 * f + px / 8 + f / 8;
  int right = w - px / 4 - f / 2;
  int top, bottom;
  if (in.xOnTop) {
    top = 2 * f + py / 8 + f / 8;
    bottom = h - py / 4 - f / 2;
  } else {
    top = f / 2 + py / 4;
    bottom = h - 2 * f - py / 8 - f / 8;
  }
  if (in.hasTitle) {
    if (in.titleOnTop)
      top += in.forPrint ? py / 4 : f + f / 8;
    else
      bottom -= in.forPrint ? py / 2 : f;
  }
  PlotLayout out;
  out.area = in.area;
  if (in.showColumn) {
    const int oldRight = right;
    right -= px;
    out.column = QRect(QPoint(in.area.left() + oldRight - px + px / 5, in.area.top() + top),
                       QPoint(in.area.left() + oldRight, in.area.top() + bottom));
    if (out.column.width() <= 0 || out.column.height() <= 0) out.column = QRect();
  }
  if (right <= left || bottom <= top)
    out.graph = QRect();
  else
    out.graph = QRect(QPoint(in.area.left() + left, in.area.top() + top),
                      QPoint(in.area.left() + right, in.area.top() + bottom));
  return out;
}

QPoint DataToPixel(const PlotRange &r, const QRect &graph, bool xOnTop, QPointF p) {
  const double dx = r.Right - r.Left;
  const double dy = r.Bottom - r.Top;
  const double gw = graph.right() - graph.left();
  const double gh = graph.bottom() - graph.top();
  const int px = graph.left() + (dx != 0 ? roundPixel((p.x() - r.Left) / dx * gw) : 0);
  const int d = dy != 0 ? roundPixel((p.y() - r.Top) / dy * gh) : 0;
  return {px, xOnTop ? graph.top() + d : graph.bottom() - d};
}

QPointF PixelToData(const PlotRange &r, const QRect &graph, bool xOnTop, QPoint p) {
  const double gw = graph.right() - graph.left();
  const double gh = graph.bottom() - graph.top();
  const double fx = gw > 0 ? (p.x() - graph.left()) / gw : 0;
  const double d = xOnTop ? p.y() - graph.top() : graph.bottom() - p.y();
  const double fy = gh > 0 ? d / gh : 0;
  return {r.Left + fx * (r.Right - r.Left), r.Top + fy * (r.Bottom - r.Top)};
}

int MajorIntervals(int pixels, int fontHeight) {
  if (fontHeight <= 0 || pixels <= 0) return 0;
  return pixels / (6 * fontHeight);
}

double MajorSpacing(double range, int pixels, int fontHeight) {
  const int intervals = MajorIntervals(pixels, fontHeight);
  if (intervals == 0) return 0;
  const double raw = std::fabs(range) / intervals;
  if (!(raw > 0) || !std::isfinite(raw)) return 0;
  const double e = std::pow(10.0, std::floor(std::log10(raw)));
  const int f = static_cast<int>(std::trunc(raw / e));
  double spacing;
  if (f < 2)
    spacing = e;
  else if (f <= 4)
    spacing = 2 * e;
  else if (f <= 8)
    spacing = 5 * e;
  else
    spacing = 10 * e;
  return std::isfinite(spacing) ? spacing : 0;
}

AxisTicks TicksFor(double lo, double hi, int pixels, int fontHeight) {
  AxisTicks t;
  if (lo > hi) std::swap(lo, hi);
  const double major = MajorSpacing(hi - lo, pixels, fontHeight);
  if (major == 0) return t;
  t.minor = major / 5;
  // A little slack so that ends that are multiples up to rounding count.
  constexpr double kSlack = 1e-9;
  const double first = std::ceil(lo / t.minor - kSlack);
  const double last = std::floor(hi / t.minor + kSlack);
  // The interval rule bounds the count by the pixel width; anything larger
  // means the numbers broke down, and no ticks are drawn.
  if (!std::isfinite(first) || !std::isfinite(last) || last - first > 100000) {
    t.minor = 0;
    return t;
  }
  t.start = static_cast<long long>(first);
  t.finish = static_cast<long long>(last);
  return t;
}

QString TickLabel(double value) { return FormatGeneral(value, 4, QLatin1Char('.')); }

QString ReadoutNumber(double value) { return FormatGeneral(value, 5, QLatin1Char('.')); }

AxisSpan ZoomInAxis(AxisSpan full, double a, double b) {
  const double fmin = std::min(full.start, full.end);
  const double fmax = std::max(full.start, full.end);
  const double width = fmax - fmin;
  if (!(width > 0) || !std::isfinite(a) || !std::isfinite(b)) return full;
  double lo = std::min(a, b), hi = std::max(a, b);
  if (width > kMaxZoom * (hi - lo)) {
    const double centre = (lo + hi) / 2;
    lo = centre - width / kMaxZoom / 2;
    hi = centre + width / kMaxZoom / 2;
  }
  return shiftedInside(full, lo, hi);
}

AxisSpan ZoomOutAxis(AxisSpan full, AxisSpan current, double centre) {
  const double fmin = std::min(full.start, full.end);
  const double fmax = std::max(full.start, full.end);
  const double width = fmax - fmin;
  if (!(width > 0) || !std::isfinite(centre)) return full;
  const double half = std::min(std::fabs(current.end - current.start), width / 2);
  return shiftedInside(full, centre - half, centre + half);
}

std::uint32_t CurveColor(int activePosition) {
  static constexpr std::array<std::uint32_t, kPaletteSize> kPalette = {
      0x000000,  // black
      0x0000FF,  // blue
      0xFF0000,  // red
      0x008000,  // green
      0x800080,  // purple
      0x800000,  // maroon
      0x000080,  // navy
      0xFF00FF,  // fuchsia
      0x808000,  // olive
      0x008080,  // teal
      0x808080,  // gray
      0x00FF00,  // lime
      0x808080,  // gray
      0xC0C0C0,  // silver
      0xC0C0C0,  // silver
      0xFFFF00,  // yellow
      0x00FFFF,  // aqua
  };
  const int i = ((activePosition % kPaletteSize) + kPaletteSize) % kPaletteSize;
  return kPalette[static_cast<size_t>(i)];
}

int MarkerShape(int curveIndex) { return ((curveIndex % 10) + 10) % 10 + 1; }

std::vector<QPoint> MarkerCorners(int curveIndex, QPoint at, int pxPerInchX, int pxPerInchY) {
  const int shape = MarkerShape(curveIndex);
  int corners;
  double first, stepDeg;
  if (shape == 1) {
    corners = 3;
    first = 180;
    stepDeg = 120;
  } else if (shape == 2) {
    corners = 4;
    first = 45;
    stepDeg = 90;
  } else {
    corners = shape;
    first = 0;
    stepDeg = 360.0 / shape;
  }
  const double rx = pxPerInchX / 32.0;
  const double ry = pxPerInchY / 32.0;
  std::vector<QPoint> out;
  out.reserve(static_cast<size_t>(corners));
  for (int j = 0; j < corners; ++j) {
    const double a = (first + j * stepDeg) * std::numbers::pi / 180.0;
    out.emplace_back(at.x() + static_cast<int>(std::lround(std::sin(a) * rx)),
                     at.y() - static_cast<int>(std::lround(std::cos(a) * ry)));
  }
  return out;
}

QString ExpandPlotUnits(const QString &code, int units) {
  units = std::clamp(units, 1, 3);
  if (units == kUnitsVerbatim) return code;
  const bool si = units == kUnitsSI;
  QString s = code;
  if (s.contains(QLatin1String("F2")))
    s.replace(QLatin1String("F2"), si ? QLatin1String("kN") : QLatin1String("tons"));
  else if (s.contains(QLatin1String("F1")))
    s.replace(QLatin1String("F1"), si ? QLatin1String("kN") : QLatin1String("kips"));
  else
    s.replace(QLatin1Char('F'), si ? QLatin1String("kN") : QLatin1String("lbs"));
  if (s.contains(QLatin1String("L2")))
    s.replace(QLatin1String("L2"), si ? QLatin1String("m") : QLatin1String("ft"));
  else if (s.contains(QLatin1String("L1")))
    s.replace(QLatin1String("L1"), si ? QLatin1String("mm") : QLatin1String("in"));
  else
    s.replace(QLatin1Char('L'), si ? QLatin1String("m") : QLatin1String("in"));
  return s;
}

QString AxisCaption(const QString &caption, const QString &unitsCode, int units) {
  if (unitsCode.isEmpty()) return caption;
  return caption + QLatin1String(" (") + ExpandPlotUnits(unitsCode, units) + QLatin1Char(')');
}

BandFill BandFillFor(int bandValue) {
  switch (bandValue) {
    case 1: return BandFill::BackDiagonal;
    case 2: return BandFill::ForwardDiagonal;
    case 3: return BandFill::Cross;
    case 4: return BandFill::DiagonalCross;
    case 5: return BandFill::Horizontal;
    case 6: return BandFill::Vertical;
    default: return bandValue >= 7 && bandValue <= 12 ? BandFill::Pattern : BandFill::None;
  }
}

std::array<std::uint8_t, 8> BandPattern(int bandValue) {
  static constexpr std::array<std::array<std::uint8_t, 8>, 6> kPatterns = {{
      {0x88, 0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00},  // 7 sand: scattered grains
      {0xF0, 0x00, 0x00, 0x00, 0x0F, 0x00, 0x00, 0x00},  // 8 shale: staggered laminae
      {0xFF, 0x80, 0x80, 0x80, 0xFF, 0x08, 0x08, 0x08},  // 9 rock: blocks
      {0xE7, 0x80, 0x00, 0x80, 0x7E, 0x08, 0x00, 0x08},  // 10 weak rock: broken blocks
      {0x60, 0x90, 0x90, 0x60, 0x06, 0x09, 0x09, 0x06},  // 11 gravelly sand: rings
      {0x60, 0xF0, 0xF0, 0x60, 0x06, 0x0F, 0x0F, 0x06},  // 12 gravel: pebbles
  }};
  if (bandValue < 7 || bandValue > 12) return {};
  return kPatterns[static_cast<size_t>(bandValue - 7)];
}

std::vector<BandSpan> BandSpans(double layersTop, std::span<const double> ordinates) {
  std::vector<BandSpan> out;
  out.reserve(ordinates.size());
  double from = layersTop;
  for (double y : ordinates) {
    out.push_back({from, y});
    from = y;
  }
  return out;
}

namespace {

// Whether the segment a-b crosses the rectangle (Liang-Barsky clipping).
bool segmentCrosses(QPointF a, QPointF b, const QRectF &r) {
  double t0 = 0, t1 = 1;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  return true;
}

}  // namespace

QRect LegendCorner(const QRect &graph, QSize size, int margin, const std::vector<std::vector<QPoint>> &curves) {
  const int left = graph.left() + margin, top = graph.top() + margin;
  const int right = std::max(left, graph.right() - margin - size.width() + 1);
  const int bottom = std::max(top, graph.bottom() - margin - size.height() + 1);
  const QPoint corners[] = {{right, top}, {left, bottom}, {left, top}, {right, bottom}};
  QRect best;
  long long bestCover = std::numeric_limits<long long>::max();
  for (const QPoint &corner : corners) {
    const QRect box(corner, size);
    const QRectF area(box);
    long long cover = 0;
    for (const auto &curve : curves) {
      if (curve.size() == 1 && area.contains(curve.front())) ++cover;
      for (std::size_t i = 1; i < curve.size(); ++i)
        if (segmentCrosses(curve[i - 1], curve[i], area)) ++cover;
    }
    if (cover < bestCover) {
      bestCover = cover;
      best = box;
    }
  }
  return best;
}

}  // namespace pylar
