#include "View3dUnit1.h"

#include "DataEdit.h"
#include "DataUnit.h"
#include "PltData.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace pylar {

TView3dOptions TView3dOptions::Nothing() {
  TView3dOptions o;
  o.ShowPylar = o.ShowWaterLevel = o.ShowSoilLayers = false;
  o.ShowLocalAxes = false;
  o.ShowSkinFriction = o.ShowTipResistance = o.ShowTotalCapacity = false;
  return o;
}

TRgb LayerColour(int index) {
  static constexpr std::array<TRgb, 10> kColours = {{
      {0.8f, 0.55f, 0},
      {0.55f, 0.4f, 0.2f},
      {0.4f, 0.4f, 0.2f},
      {0.4f, 0.4f, 0.55f},
      {0, 0.5f, 0.5f},
      {0.2f, 0.2f, 0.55f},
      {0.8f, 0, 0.8f},
      {0.4f, 0.4f, 0.55f},
      {0.15f, 0.15f, 0.45f},
      {0.65f, 0.4f, 0.2f},
  }};
  const int i = ((index % 10) + 10) % 10;
  return kColours[static_cast<std::size_t>(i)];
}

QString DepthLabel(double depth) {
  // The ground surface is an exact zero, which the exponent rule would write as 0.000E+00.
  if (depth == 0) return QStringLiteral("0.000");
  const double magnitude = std::fabs(depth);
  if (magnitude <= 0.001 || magnitude >= 100000) return QString::number(depth, 'E', 3);
  return QString::number(depth, 'f', 3);
}

QString DepthLabel(double depth, int units) {
  return DepthLabel(depth) + QLatin1Char(' ') + ExpandUnitsTemplate(QStringLiteral("L2"), units);
}

QString LayerLabel(int code, int layerNumber) {
  if (const TSoilModelDescription *model = SoilModel(code)) return QString::fromLatin1(model->SceneName);
  return QStringLiteral("Layer ") + QString::number(layerNumber);
}

TSceneProject SceneProject(const TProgramData &project) {
  TSceneProject scene;
  scene.units = project.fUnits;
  scene.diameter = double(project.DSTART);
  scene.waterDepth = double(project.WTD);
  scene.ratio = double(project.RATIO);
  scene.bellAngle = double(project.BELANGL);
  scene.topLength = double(project.TOPLENG);
  scene.bottomLength = double(project.BS);
  const TGridTable &table = project.Tables().D;
  double top = 0;
  for (int row = 0; row < table.RowCount(); ++row) {
    const double bottom = double(table.GetFloatValue(lcDepth, row));
    scene.layers.push_back({table.GetIntValue(lcSoilType, row), top, bottom});
    top = bottom;
  }
  scene.length = project.METHOD == 1 ? (scene.layers.empty() ? 0 : scene.layers.back().bottom) : double(project.PD);
  return scene;
}

namespace {

bool usable(double v) { return std::isfinite(v) && v > 0; }

}  // namespace

TSceneExtents SceneExtents(const TSceneProject &scene) {
  TSceneExtents e;
  double depth = std::isfinite(scene.length) ? scene.length : 0;
  if (!scene.layers.empty() && std::isfinite(scene.layers.back().bottom))
    depth = std::max(depth, scene.layers.back().bottom);
  double half = std::isfinite(scene.diameter) ? 12.5 * scene.diameter : 0;
  if (std::isfinite(scene.waterDepth)) half = std::max(half, scene.waterDepth);
  e.depth = usable(depth) ? depth : 1;
  e.halfWidth = usable(half) ? half : 1;
  return e;
}

double FitScale(const TSceneExtents &extents, QSize viewport) {
  const double h = std::max(viewport.height() - 50, 1);
  const double w = std::max(viewport.width() - 50, 1);
  return std::min(h / extents.depth, w / extents.LateralExtent());
}

QMatrix4x4 TViewState::Rotation() const {
  QMatrix4x4 m;
  m.rotate(-90, 0, 0, 1);
  m.rotate(float(rotZ), 0, 0, 1);
  m.rotate(float(rotY), 0, 1, 0);
  m.rotate(float(rotX), 1, 0, 0);
  return m;
}

QMatrix4x4 TViewState::ModelView() const {
  QMatrix4x4 m = Rotation();
  m.scale(float(zoom * fitScale));
  m.translate(pan);
  return m;
}

TViewState StartView(const TSceneExtents &extents, QSize viewport) {
  TViewState v;
  v.extents = extents;
  v.fitScale = FitScale(extents, viewport);
  v.pan = -WorldPoint(extents.depth / 2);
  return v;
}

TOrthoBox OrthoBox(const TViewState &view, QSize viewport) {
  const double w = std::max(viewport.width(), 1);
  const double h = std::max(viewport.height(), 1);
  TOrthoBox box{-w / 2, w / 2, -h / 2, h / 2, 0, 0};
  double zmax = view.extents.depth / view.extents.LateralExtent() * std::min(w, h) / 2 * 640;
  // Deep enough for every corner of the scene, however far it is zoomed or
  // panned, and for the axes.
  double reach = 0;
  for (double x : {0.0, view.extents.depth})
    for (double y : {-view.extents.halfWidth, view.extents.halfWidth})
      for (double z : {-view.extents.halfWidth, view.extents.halfWidth})
        reach = std::max(reach, double((WorldPoint(x, y, z) + view.pan).length()));
  zmax = std::max(zmax, 2 * reach * view.PixelsPerUnit() + 200);
  box.zNear = -zmax;
  box.zFar = zmax;
  return box;
}

QMatrix4x4 Projection(const TOrthoBox &box) {
  QMatrix4x4 m;
  m.ortho(float(box.left), float(box.right), float(box.bottom), float(box.top), float(box.zNear), float(box.zFar));
  return m;
}

QPointF ProjectToWindow(const TViewState &view, QSize viewport, QVector3D world) {
  const QVector3D ndc = (Projection(OrthoBox(view, viewport)) * view.ModelView()).map(world);
  return {(ndc.x() + 1) / 2 * viewport.width(), (1 - ndc.y()) / 2 * viewport.height()};
}

namespace {

// A screen vector (pixels, y up) in world units of the view.
QVector3D screenToWorld(const TViewState &view, double dx, double dy) {
  return view.Rotation().inverted().mapVector(QVector3D(float(dx), float(dy), 0)) / float(view.PixelsPerUnit());
}

void keepLarger(double &a, double &b) {
  if (std::fabs(a) >= std::fabs(b))
    b = 0;
  else
    a = 0;
}

}  // namespace

TViewState PanView(const TViewState &atDown, QPoint from, QPoint to, bool shift) {
  double dx = to.x() - from.x();
  double dy = from.y() - to.y();
  if (shift) keepLarger(dx, dy);
  TViewState v = atDown;
  v.pan = atDown.pan + screenToWorld(atDown, dx, dy);
  return v;
}

TViewState ZoomView(const TViewState &atDown, QPoint from, QPoint to, QSize window) {
  const double h = std::max(window.height(), 1);
  // Dragging further down than the window is high would turn the scene inside out.
  const double factor = std::max(1 - (to.y() - from.y()) / h, 0.05);
  TViewState v = atDown;
  v.zoom = atDown.zoom * factor;
  return v;
}

TViewState RotateView(const TViewState &atDown, QPoint from, QPoint to, QSize window, bool shift) {
  double a = 90.0 * (to.y() - from.y()) / std::max(window.height(), 1);
  double b = 90.0 * (to.x() - from.x()) / std::max(window.width(), 1);
  if (shift) keepLarger(a, b);
  const QVector3D axis = atDown.Rotation().inverted().mapVector(QVector3D(float(a), float(b), 0));
  TViewState v = atDown;
  v.rotZ += axis.z();
  v.rotY += axis.y();
  v.rotX += axis.x();
  return v;
}

std::optional<TViewState> ZoomWindowView(const TViewState &atDown, QPoint from, QPoint to, QSize window) {
  const double rw = std::abs(to.x() - from.x());
  const double rh = std::abs(to.y() - from.y());
  if (rw <= 0 || rh <= 0 || window.isEmpty()) return std::nullopt;
  const QPointF centre((from.x() + to.x()) / 2.0, (from.y() + to.y()) / 2.0);
  TViewState v = atDown;
  v.pan = atDown.pan - screenToWorld(atDown, centre.x() - window.width() / 2.0, window.height() / 2.0 - centre.y());
  v.zoom = atDown.zoom * std::min(window.width() / rw, window.height() / rh);
  return v;
}

TViewState ZoomAbout(const TViewState &view, QSize window, QPointF at, double factor) {
  if (!std::isfinite(factor) || factor <= 0) return view;
  TViewState v = view;
  v.zoom = view.zoom * factor;
  // The pointer's offset from the centre (y up) is the same part of the scene
  // before and after when the pan moves by it times the change of the units
  // per pixel.
  const double dx = at.x() - window.width() / 2.0;
  const double dy = window.height() / 2.0 - at.y();
  const double before = view.PixelsPerUnit();
  const double after = v.PixelsPerUnit();
  if (!(before > 0) || !(after > 0) || !std::isfinite(after)) return view;
  v.pan = view.pan + view.Rotation().inverted().mapVector(QVector3D(float(dx), float(dy), 0)) *
                         float(1 / after - 1 / before);
  return v;
}

double WheelZoomFactor(int angleDelta) { return std::pow(kZoomInFactor, angleDelta / 240.0); }

TPierGeometry PierGeometry(const TSceneProject &scene) {
  TPierGeometry g;
  const double d = usable(scene.diameter) ? scene.diameter : 0;
  const double tip = usable(scene.length) ? scene.length : 0;
  g.tip = tip;
  g.baseDiameter = d;
  if (tip <= 0 || d <= 0) return g;
  const bool belled = scene.Belled() && std::isfinite(scene.ratio);
  if (belled && scene.bellAngle < 90) {
    const double angle = scene.bellAngle * std::numbers::pi / 180;
    g.bellHeight = std::fabs(d * scene.ratio - d) / 2 / std::tan(angle);
  }
  if (belled) g.baseDiameter = scene.ratio * d;
  const TRgb zone = belled ? kBelledZoneColour : kStraightZoneColour;
  auto length = [](double v) { return usable(v) ? v : 0.0; };
  const double bellTop = std::max(tip - g.bellHeight, 0.0);
  const double bottomZoneTop = std::max(bellTop - length(scene.bottomLength), 0.0);
  const double topZoneBottom = std::min(length(scene.topLength), bottomZoneTop);
  auto add = [&](double top, double bottom, double topD, double bottomD, TRgb colour) {
    if (bottom > top) g.sections.push_back({top, bottom, topD, bottomD, colour});
  };
  add(0, topZoneBottom, d, d, zone);
  add(topZoneBottom, bottomZoneTop, d, d, kStemColour);
  add(bottomZoneTop, bellTop, d, d, zone);
  if (belled) add(bellTop, tip, d, g.baseDiameter, kStemColour);
  for (double depth : {0.0, topZoneBottom, bottomZoneTop, bellTop, tip})
    if (g.rings.empty() || depth > g.rings.back()) g.rings.push_back(depth);
  return g;
}

namespace {

const TGraphPlot &combinedPlot(const TResultPlots &plots, int showUltimateResults) {
  return showUltimateResults == 1 ? plots.pltCombineD : plots.pltCombine;
}

}  // namespace

std::vector<TLegendEntry> CurveLegend(const std::vector<TSceneCurve> &curves, int showUltimateResults) {
  static const char *const kNames[] = {"Skin Friction", "Tip Resistance", "Total Capacity"};
  std::vector<TLegendEntry> legend;
  if (curves.empty()) return legend;
  legend.push_back({showUltimateResults == 1 ? QStringLiteral("ASD/LRFD Effects") : QStringLiteral("Ultimate Effects"),
                    {0, 0, 0}});
  for (const TSceneCurve &curve : curves)
    if (curve.which >= 0 && curve.which < 3)
      legend.push_back({QString::fromUtf8("—— ") + QString::fromLatin1(kNames[curve.which]), curve.colour});
  return legend;
}

bool HasCapacityCurves(const TResultPlots &plots, int showUltimateResults) {
  const TGraphPlot &plot = combinedPlot(plots, showUltimateResults);
  for (const TLine &line : plot.fData)
    if (line.fData.size() >= 2) return true;
  return false;
}

std::vector<TSceneCurve> CapacityCurves(const TResultPlots &plots, const TSceneProject &scene,
                                        const TView3dOptions &options, double valElevation) {
  std::vector<TSceneCurve> curves;
  const TGraphPlot &plot = combinedPlot(plots, options.ShowUltimateResults);
  const int count = std::min(plot.CurveCount(), 3);
  double largest = 0;
  for (int c = 0; c < count; ++c)
    for (const TFloatPoint &p : plot.fData[static_cast<std::size_t>(c)].fData)
      if (std::isfinite(double(p.x))) largest = std::max(largest, std::fabs(double(p.x)));
  const double d = usable(scene.diameter) ? scene.diameter : 0;
  const double factor = std::isfinite(options.UltimateEffectsFactor) ? options.UltimateEffectsFactor : 0;
  const double scale = largest > 0 ? 2 * d * factor / largest : 0;
  const bool shown[3] = {options.ShowSkinFriction, options.ShowTipResistance, options.ShowTotalCapacity};
  const TRgb colours[3] = {kSkinColour, kTipColour, kTotalColour};
  for (int c = 0; c < count; ++c) {
    const TLine &line = plot.fData[static_cast<std::size_t>(c)];
    if (!shown[c] || line.fData.size() < 2) continue;
    TSceneCurve curve;
    curve.which = c;
    curve.colour = colours[c];
    double best = -1;
    for (const TFloatPoint &p : line.fData) {
      const double value = double(p.x);
      double depth = plot.Yreversed ? valElevation - double(p.y) : double(p.y);
      if (!std::isfinite(value) || !std::isfinite(depth)) continue;
      depth = std::max(depth, 0.0);
      const QPointF point(depth, d / 2 + value * scale);
      curve.points.push_back(point);
      if (std::fabs(value) > best) {
        best = std::fabs(value);
        curve.maxValue = value;
        curve.maxPoint = point;
      }
    }
    if (curve.points.size() >= 2) curves.push_back(std::move(curve));
  }
  return curves;
}

double SizeFactorStep(double value, bool up) {
  if (!std::isfinite(value) || value <= 0) return 1;
  // The small tolerance keeps 0.3 / 0.1 from reading as a leading digit of 2.
  const int k = int(std::floor(std::log10(value) + 1e-9));
  auto times = [k](double digits, int shift) {
    const int p = k + shift;
    return p >= 0 ? digits * std::pow(10.0, p) : digits / std::pow(10.0, -p);
  };
  const int e = std::clamp(int(value / times(1, 0) + 1e-9), 1, 9);
  if (up) return times(e + 1, 0);
  if (e == 1) return times(9, -1);
  return times(e - 1, 0);
}

QPoint CombinedPlotsPosition(const QRect &mainWindow, QSize dialog) {
  const QPoint centre(mainWindow.left() + mainWindow.width() * 3 / 4, mainWindow.top() + mainWindow.height() / 2);
  int x = centre.x() - dialog.width() / 2;
  int y = centre.y() - dialog.height() / 2;
  x = std::max(std::min(x, mainWindow.left() + mainWindow.width() - dialog.width()), mainWindow.left());
  y = std::max(std::min(y, mainWindow.top() + mainWindow.height() - dialog.height()), mainWindow.top());
  return {x, y};
}

}  // namespace pylar
