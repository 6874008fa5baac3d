// The 3-D view's scene without OpenGL: what it shows of a project (layers,
// water table, pier zones and bell, capacity curves), its extents and fit
// scale, the projection box and model-view transform of a frame, the mouse's
// pan, zoom, rotate and zoom-window arithmetic, the layer colours, the label
// texts and the size-factor steps of the "Combined Plots" window.
#pragma once

#include <QMatrix4x4>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector3D>

#include <optional>
#include <vector>

namespace pylar {

class TProgramData;
class TGraphPlot;
struct TResultPlots;

// Display options of the view, with the values a new view starts with.
struct TView3dOptions {
  bool ShowPylar = true;
  bool ShowWaterLevel = true;
  bool ShowSoilLayers = true;
  bool ShowSoilLayerLabels = false;
  bool ShowSoilLayerDepthLabels = false;
  bool ShowLocalAxes = true;
  bool ShowUltimateEffects = false;
  int ShowUltimateResults = 0;  // 0 the ultimate combined plot, 1 the ASD/LRFD one
  bool ShowSkinFriction = true;
  bool ShowTipResistance = true;
  bool ShowTotalCapacity = true;
  bool ShowUltimateEffectsValues = false;
  double UltimateEffectsFactor = 1.0;

  bool operator==(const TView3dOptions &) const = default;

  // Every drawing option off (the axes too).
  static TView3dOptions Nothing();
};

// What the mouse does while the left button is held.
enum TMouseOption : int { moPanning = 1, moZooming = 2, moRotating = 3, moZoomWindow = 4 };

struct TRgb {
  float r = 0, g = 0, b = 0;
  bool operator==(const TRgb &) const = default;
};

// Colour of the layer at position `index` (from 0) of the layer table; the
// ten colours repeat.
TRgb LayerColour(int index);

// Colours of the pier and of the curves.
inline constexpr TRgb kWaterColour{0, 0, 1};
inline constexpr TRgb kStemColour{0.25f, 0.25f, 0.25f};
inline constexpr TRgb kBelledZoneColour{0.25f, 0.25f, 0};
inline constexpr TRgb kStraightZoneColour{0.5f, 0.5f, 0};
inline constexpr TRgb kRingColour{1, 0.5f, 0};
inline constexpr TRgb kSkinColour{1, 0, 0};
inline constexpr TRgb kTipColour{0, 0.8f, 0};
inline constexpr TRgb kTotalColour{0, 0, 1};

// Depth of a layer boundary as written beside it: exponent format with four
// significant digits for magnitudes up to 0.001 or from 100000 ("5.000E-04"),
// otherwise three decimals ("12.500"). The ground surface reads "0.000".
QString DepthLabel(double depth);
// The same followed by the project's length unit: "12.500 ft", "3.000 m".
QString DepthLabel(double depth, int units);
// The model name written at mid-depth of a layer ("Layer " and its number,
// from 1, for a code outside 1 ... 9).
QString LayerLabel(int code, int layerNumber);

// One soil layer of the scene, depths in project units (ft or m).
struct TSceneLayer {
  int code = 0;
  double top = 0;
  double bottom = 0;
  bool operator==(const TSceneLayer &) const = default;
};

// What the scene shows of a project.
struct TSceneProject {
  int units = 1;
  double diameter = 0;    // DSTART
  double length = 0;      // PD, or the last layer's bottom under the design-load method
  double waterDepth = 0;  // WTD
  double ratio = 0;       // RATIO
  double bellAngle = 0;   // BELANGL, degrees
  double topLength = 0;   // TOPLENG
  double bottomLength = 0;  // BS
  std::vector<TSceneLayer> layers;

  bool Belled() const { return ratio > 0 && bellAngle > 0; }
  bool operator==(const TSceneProject &) const = default;
};
TSceneProject SceneProject(const TProgramData &project);

// Extents of the scene: depth from the ground (0) down to `depth`, and a
// square of half-width `halfWidth` around the pier axis.
struct TSceneExtents {
  double depth = 1;
  double halfWidth = 1;
  double LateralExtent() const { return 2 * halfWidth; }
};
// From the ground to the deeper of the pier tip and the last layer bottom;
// half-width 12.5 diameters, or the water depth when that is larger. Empty
// extents become one unit, so that every project can be shown.
TSceneExtents SceneExtents(const TSceneProject &scene);
// Pixels per project unit that fit the scene into the viewport less a
// 50-pixel border.
double FitScale(const TSceneExtents &extents, QSize viewport);

// Where things are in the world: depth along +x (a -90 degree turn about z
// points it down the screen), the pier axis on the x axis, the lateral
// square in y and z.
inline QVector3D WorldPoint(double depth, double y = 0, double z = 0) {
  return QVector3D(float(depth), float(y), float(z));
}

// The view state of one window.
struct TViewState {
  double rotZ = 0, rotY = 0, rotX = 0;  // degrees
  double zoom = 1;
  double fitScale = 1;
  QVector3D pan;  // world units, added to every point before scaling
  TSceneExtents extents;

  // The turn of the scene on screen (the fixed -90 degrees about z, then z, y, x).
  QMatrix4x4 Rotation() const;
  // Rotation, then zoom and fit scale, then the pan offset.
  QMatrix4x4 ModelView() const;
  // Pixels per world unit on screen.
  double PixelsPerUnit() const { return fitScale * zoom; }
};
// A fresh view of the extents: no rotation, zoom 1, the scene centred.
TViewState StartView(const TSceneExtents &extents, QSize viewport);

// The orthographic box: one unit per pixel, centred, deep enough for the
// scene at the current zoom and pan.
struct TOrthoBox {
  double left = 0, right = 0, bottom = 0, top = 0, zNear = -1, zFar = 1;
};
TOrthoBox OrthoBox(const TViewState &view, QSize viewport);
QMatrix4x4 Projection(const TOrthoBox &box);
// Window position (pixels from the top left) of a world point.
QPointF ProjectToWindow(const TViewState &view, QSize viewport, QVector3D world);

// Zoom In and Zoom Out.
inline constexpr double kZoomInFactor = 1.4142;
inline constexpr double kZoomOutFactor = 0.7071135624381275633;

// Mouse arithmetic. `atDown` is the view when the button went down, `from`
// the pointer then and `to` the pointer now, in window pixels (y down).
TViewState PanView(const TViewState &atDown, QPoint from, QPoint to, bool shift);
TViewState ZoomView(const TViewState &atDown, QPoint from, QPoint to, QSize window);
TViewState RotateView(const TViewState &atDown, QPoint from, QPoint to, QSize window, bool shift);
// The rectangle from `from` to `to` fills the window; no change for a
// rectangle without width or height.
std::optional<TViewState> ZoomWindowView(const TViewState &atDown, QPoint from, QPoint to, QSize window);
// The zoom times `factor` about a window point (pixels from the top left):
// the point of the scene under it stays where it is on the screen. No change
// for a factor that is not positive.
TViewState ZoomAbout(const TViewState &view, QSize window, QPointF at, double factor);
// The zoom factor of a turn of the mouse wheel by `angleDelta` eighths of a
// degree (a notch is 120; away from the user zooms in): two notches are one
// Zoom In.
double WheelZoomFactor(int angleDelta);

// A section of the pier between two depths; a frustum when the diameters differ.
struct TPierSection {
  double top = 0, bottom = 0;
  double topDiameter = 0, bottomDiameter = 0;
  TRgb colour;
};
struct TPierGeometry {
  std::vector<TPierSection> sections;  // from the top down
  std::vector<double> rings;           // depths of the orange rings
  double bellHeight = 0;
  double baseDiameter = 0;
  double tip = 0;
};
// The zone without side friction at the top and the one above the base in
// olive, the stem in dark grey, the bell widening to RATIO times the stem
// diameter over |RATIO D - D| / 2 / tan(BELANGL). Zones that do not fit the
// pier length are cut at its tip.
TPierGeometry PierGeometry(const TSceneProject &scene);

// One capacity curve beside the pier: points (depth, distance from the pier
// axis), and its largest value with where it is drawn.
struct TSceneCurve {
  int which = 0;  // 0 skin friction, 1 tip resistance, 2 total capacity
  TRgb colour;
  std::vector<QPointF> points;
  double maxValue = 0;
  QPointF maxPoint;
  bool operator==(const TSceneCurve &) const = default;
};
// The curves of the combined plot the options choose, beside the pier (from
// its surface outwards, in the plane of its axis). The largest absolute value
// of the three curves spans 2 D times the size factor, so that the curves
// compare as in the plot; points of a plot by elevation are turned back into
// depths from `valElevation`; depths above the ground are drawn at the ground.
std::vector<TSceneCurve> CapacityCurves(const TResultPlots &plots, const TSceneProject &scene,
                                        const TView3dOptions &options, double valElevation);
// The legend of the capacity curves drawn: the plot they come from
// ("Ultimate Effects" or "ASD/LRFD Effects", in black), then each curve's name
// in its colour. Empty when no curve is drawn.
struct TLegendEntry {
  QString text;
  TRgb colour;
  bool operator==(const TLegendEntry &) const = default;
};
std::vector<TLegendEntry> CurveLegend(const std::vector<TSceneCurve> &curves, int showUltimateResults);

// True when the combined plot has a curve of at least two points.
bool HasCapacityCurves(const TResultPlots &plots, int showUltimateResults);

// The size factor's up and down arrows: the leading digit of the value goes
// up or down by one (9 up gives 10, 1 down gives 0.9); a value that is not
// positive becomes 1.
double SizeFactorStep(double value, bool up);

// Top left corner of the "Combined Plots" window: centred on the point at
// 3/4 of the main window's width and 1/2 of its height, moved inside it.
QPoint CombinedPlotsPosition(const QRect &mainWindow, QSize dialog);

}  // namespace pylar
