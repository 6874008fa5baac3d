#include "model/PileSide.h"

#include "model/DataUnit.h"

#include <algorithm>
#include <cmath>

namespace pylar {

namespace {

// The bell angle is turned into radians with pi taken as 3.1416, as the
// drawing always has; the difference is far below a pixel.
constexpr double kDrawingPi = 3.1416;
constexpr double kShortestPier = 0.0001;

bool finite(double v) { return std::isfinite(v); }

// Smallest and largest of the values fed in, starting from 0; any value
// that is not finite makes the whole range unusable.
struct TRange {
  double low = 0, high = 0;
  bool ok = true;
  void add(double v) {
    if (!finite(v)) {
      ok = false;
      return;
    }
    low = std::min(low, v);
    high = std::max(high, v);
  }
};

QString general(double v) { return QString::number(v, 'g', 15); }

}  // namespace

TBellSize BellSize(const TPierShape &shape) {
  TBellSize bell;
  if (!(shape.Ratio > 1 && shape.BellAngle > 0 && shape.BellAngle < 90)) return bell;
  const double angle = shape.BellAngle * kDrawingPi / 180;
  bell.Belled = true;
  bell.Flare = shape.D * (shape.Ratio - 1) / 2;
  bell.Height = bell.Flare * std::cos(angle) / std::sin(angle);
  return bell;
}

TSideViewModel BuildSideView(const TPierShape &shape, const std::vector<TSideLayer> &layers, double waterDepth,
                             int units) {
  TSideViewModel m;
  m.D = shape.D;
  m.Layers = layers;
  m.Units = units;
  m.HasWater = finite(waterDepth) && waterDepth >= 0;
  m.WaterDepth = waterDepth;
  if (layers.empty()) return m;

  const double d = shape.D;
  const double length = shape.Length < kShortestPier ? layers.back().Bottom : shape.Length;
  const double tip = 2 * d + length;
  m.Shape = shape;
  m.PierLength = length;
  m.LengthGiven = !(shape.Length < kShortestPier);
  m.Bell = BellSize(shape);
  // From the ground surface (y = 2 D) to the tip.
  m.Data.push_back({{-d / 2, m.GroundY()}, {d / 2, m.GroundY()}, {-d / 2, tip}, {d / 2, tip}});
  if (const TBellSize bell = m.Bell; bell.Belled) {
    const double base = shape.Ratio * d;
    const double start = tip - bell.Height;
    m.Data.push_back({{-d / 2, start}, {d / 2, start}, {-base / 2, tip}, {base / 2, tip}});
  }

  TRange x, y;
  for (const TSideQuad &q : m.Data)
    for (const QPointF &p : {q.TopLeft, q.TopRight, q.BottomLeft, q.BottomRight}) {
      x.add(p.x());
      y.add(p.y());
    }
  for (const TSideLayer &layer : layers) y.add(m.YOfDepth(layer.Bottom));
  // A pier without a positive diameter has nothing to draw to scale.
  const bool ok = x.ok && y.ok && d > 0;
  const double nan = std::nan("");
  m.DLeft = ok ? x.low : nan;
  m.DRight = ok ? x.high : nan;
  m.DTop = ok ? y.low : nan;
  m.DBottom = ok ? y.high : nan;
  return m;
}

TSideViewModel BuildSideView(const TProgramData &project) {
  const TGridTable &table = project.Tables().D;
  std::vector<TSideLayer> layers;
  double top = 0;
  for (int row = 0; row < table.RowCount(); ++row) {
    TSideLayer layer;
    layer.Top = top;
    layer.Bottom = static_cast<double>(table.GetFloatValue(lcDepth, row));
    layer.Code = table.GetIntValue(lcSoilType, row);
    layers.push_back(layer);
    top = layer.Bottom;
  }
  const TPierShape shape{static_cast<double>(project.DSTART), static_cast<double>(project.PD),
                         static_cast<double>(project.RATIO), static_cast<double>(project.BELANGL)};
  TSideViewModel m = BuildSideView(shape, layers, static_cast<double>(project.WTD), project.fUnits);
  m.Title = project.Title;
  return m;
}

QPointF TSideViewport::ToPixel(QPointF world) const {
  return {Target.left() + Target.width() * (world.x() - Left) / (Right - Left),
          Target.top() + Target.height() * (world.y() - Top) / (Bottom - Top)};
}

QPointF TSideViewport::ToWorld(QPointF pixel) const {
  return {Left + (pixel.x() - Target.left()) * (Right - Left) / Target.width(),
          Top + (pixel.y() - Target.top()) * (Bottom - Top) / Target.height()};
}

int TSideViewport::RowOf(double y) const { return static_cast<int>(std::lround(ToPixel({0, y}).y())); }

TSideViewport FitSideView(const TSideViewModel &model, const QRectF &target) {
  TSideViewport v;
  v.Target = target;
  v.Left = model.DLeft;
  v.Right = model.DRight;
  v.Top = model.DTop;
  v.Bottom = model.DBottom;
  const double width = v.Right - v.Left, height = v.Bottom - v.Top;
  if (!(finite(width) && finite(height) && width > 0 && height > 0)) return v;
  if (!(target.width() > 0 && target.height() > 0)) {
    v.NoDraw = false;  // nothing to map onto, but nothing wrong with the drawing
    return v;
  }
  const double r = (target.width() / target.height()) / (width / height);
  if (r >= 1) {
    v.Left *= r;
    v.Right *= r;
  } else {
    v.Top /= r;
    v.Bottom /= r;
  }
  // The extent always holds 0 in both directions, so scaling about 0 keeps
  // all of it in view.
  v.NoDraw = !(finite(v.Left) && finite(v.Right) && finite(v.Top) && finite(v.Bottom) && v.Right > v.Left &&
               v.Bottom > v.Top);
  return v;
}

QString SideLayerName(int code, TSideLabelStyle style) {
  const TSoilModelDescription *model = SoilModel(code);
  if (!model) return {};
  const bool printed = style == TSideLabelStyle::Paper && model->PrintedName;
  return QString::fromLatin1(printed ? model->PrintedName : model->ShortName);
}

bool SideLabelHasDepths(int code, TSideLabelStyle style) {
  if (style == TSideLabelStyle::Paper) return true;
  const TSoilModelDescription *model = SoilModel(code);
  return !model || !model->DrawnAsRock;  // a code without a name shows its depths
}

QString SideLayerLabel(const TSideLayer &layer, TSideLabelStyle style) {
  const QString name = SideLayerName(layer.Code, style);
  if (!SideLabelHasDepths(layer.Code, style)) return name;
  QString text = QStringLiteral("depth= ") + general(layer.Top) + QStringLiteral(" - ") + general(layer.Bottom);
  if (!name.isEmpty()) text += QStringLiteral("; ") + name;
  return text;
}

QString DepthReadout(double depth) {
  QString number = QString::number(depth, 'f', 1);
  if (number == QLatin1String("-0.0")) number = QStringLiteral("0.0");
  return QStringLiteral("  Depth: ") + number;
}

QString DepthReadoutAt(const TSideViewModel &model, const TSideViewport &viewport, QPointF pixel) {
  if (!viewport.CanMap()) return {};
  const long row = std::lround(pixel.y());
  std::vector<double> lines;
  if (!model.Data.empty()) {
    lines.push_back(0);
    for (const TSideLayer &layer : model.Layers) lines.push_back(layer.Bottom);
    if (model.HasWater) lines.push_back(model.WaterDepth);
  }
  for (const double depth : lines) {
    const double y = model.YOfDepth(depth);
    if (y >= viewport.Top && y <= viewport.Bottom && viewport.RowOf(y) == row) return DepthReadout(depth);
  }
  return DepthReadout(model.DepthOfY(viewport.ToWorld(pixel).y()));
}

}  // namespace pylar
