// The 3-D view's scene arithmetic: label texts, layer colours, extents and
// the fitted projection, the mouse's pan, rotate, zoom and zoom window, the
// pier's zones and bell, the capacity curves beside the pier, the size-factor
// arrows and the place of the "Combined Plots" window.
#include "model/View3dUnit1.h"

#include "model/DataUnit.h"
#include "model/PltData.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pylar {
namespace {

TEST(View3dLabels, DepthLabelsUseFixedOrExponentFormat) {
  const struct {
    double depth;
    const char *text;
  } cases[] = {
      {0.0005, "5.000E-04"}, {12.5, "12.500"},       {0, "0.000"},          {0.001, "1.000E-03"},
      {0.0011, "0.001"},     {99999.5, "99999.500"}, {100000, "1.000E+05"}, {1234567, "1.235E+06"},
      {3.04799, "3.048"},
  };
  for (const auto &c : cases) EXPECT_EQ(DepthLabel(c.depth), c.text) << c.depth;
}

TEST(View3dLabels, DepthLabelsCarryTheLengthUnit) {
  EXPECT_EQ(DepthLabel(12.5, kUnitsEnglish), "12.500 ft");
  EXPECT_EQ(DepthLabel(0.0005, kUnitsSI), "5.000E-04 m");
  EXPECT_EQ(DepthLabel(0, kUnitsSI), "0.000 m");
}

TEST(View3dLabels, LayerLabelsNameTheModel) {
  const char *names[] = {"Layer 7",     "Sand",      "Clay",        "Shale",         "Strong Rock(FHWA)",
                         "Decomposed Rock", "Weak Rock", "Strong Rock", "Gravelly Sand", "Gravel"};
  for (int code = 0; code <= 9; ++code) EXPECT_EQ(LayerLabel(code, 7), names[code]) << code;
  EXPECT_EQ(LayerLabel(12, 3), "Layer 3");
}

TEST(View3dColours, TenColoursRepeatDownTheTable) {
  EXPECT_EQ(LayerColour(0), (TRgb{0.8f, 0.55f, 0}));
  EXPECT_EQ(LayerColour(5), (TRgb{0.2f, 0.2f, 0.55f}));
  EXPECT_EQ(LayerColour(3), LayerColour(7));
  EXPECT_EQ(LayerColour(10), LayerColour(0));  // layer 11 as layer 1
  EXPECT_EQ(LayerColour(11), LayerColour(1));  // layer 12 as layer 2
  EXPECT_NE(LayerColour(0), LayerColour(1));
}

TSceneProject scene(double diameter, double length, double water, std::vector<TSceneLayer> layers) {
  TSceneProject s;
  s.diameter = diameter;
  s.length = length;
  s.waterDepth = water;
  s.layers = std::move(layers);
  return s;
}

TEST(View3dExtents, DeeperOfTipAndLayersAndWiderOfPierAndWater) {
  const struct {
    TSceneProject scene;
    double depth, halfWidth;
  } cases[] = {
      {scene(3, 40, 10, {{1, 0, 20}, {2, 20, 60}}), 60, 37.5},  // layers deeper than the tip
      {scene(3, 80, 10, {{1, 0, 20}}), 80, 37.5},               // tip deeper than the layers
      {scene(3, 40, 50, {{1, 0, 20}}), 40, 50},                 // the water depth is wider
      {scene(0, 0, 0, {}), 1, 1},                               // nothing to show: one unit
      {scene(NAN, INFINITY, -5, {{1, 0, NAN}}), 1, 1},
  };
  for (const auto &c : cases) {
    const TSceneExtents e = SceneExtents(c.scene);
    EXPECT_DOUBLE_EQ(e.depth, c.depth);
    EXPECT_DOUBLE_EQ(e.halfWidth, c.halfWidth);
  }
  // (600 - 50) / 60 against (800 - 50) / 75.
  EXPECT_DOUBLE_EQ(FitScale({60, 37.5}, QSize(800, 600)), 550.0 / 60);
  EXPECT_DOUBLE_EQ(FitScale({60, 37.5}, QSize(600, 1000)), 550.0 / 75);
  EXPECT_GT(FitScale({60, 37.5}, QSize(10, 10)), 0);
}

TEST(View3dProjection, StartViewShowsTheGroundAtTheTopAndFillsTheWindowLessTheBorder) {
  const QSize window(800, 600);
  const TViewState view = StartView({60, 37.5}, window);
  // 550 / 60 pixels per unit: the 60 units span 550 pixels, centred.
  const QPointF ground = ProjectToWindow(view, window, WorldPoint(0));
  const QPointF tip = ProjectToWindow(view, window, WorldPoint(60));
  const QPointF side = ProjectToWindow(view, window, WorldPoint(30, 37.5));
  EXPECT_NEAR(ground.x(), 400, 1e-3);
  EXPECT_NEAR(ground.y(), 25, 1e-3);
  EXPECT_NEAR(tip.y(), 575, 1e-3);
  EXPECT_NEAR(side.x(), 400 + 37.5 * 550 / 60, 1e-3);
  // Depth rows stay inside the depth range of the box at any zoom and pan.
  TViewState far = view;
  far.zoom = 200;
  far.rotY = 90;
  far.pan = QVector3D(500, -300, 80);
  const TOrthoBox box = OrthoBox(far, window);
  const QVector3D eye = far.ModelView().map(WorldPoint(60, 37.5, 37.5));
  EXPECT_LT(std::fabs(eye.z()), box.zFar);
}

TEST(View3dMouse, PanningMovesTheSceneWithThePointer) {
  const QSize window(800, 600);
  TViewState view = StartView({60, 37.5}, window);
  view.rotX = 30;
  view.rotY = -20;
  view.zoom = 1.7;
  const QVector3D point = WorldPoint(20, 5, -3);
  const QPointF before = ProjectToWindow(view, window, point);
  const TViewState moved = PanView(view, {100, 100}, {130, 80}, false);
  const QPointF after = ProjectToWindow(moved, window, point);
  EXPECT_NEAR(after.x() - before.x(), 30, 1e-2);
  EXPECT_NEAR(after.y() - before.y(), -20, 1e-2);
  // With Shift only the larger component counts.
  const QPointF shifted = ProjectToWindow(PanView(view, {100, 100}, {130, 90}, true), window, point);
  EXPECT_NEAR(shifted.x() - before.x(), 30, 1e-2);
  EXPECT_NEAR(shifted.y() - before.y(), 0, 1e-2);
}

TEST(View3dMouse, RotatingSideways_TurnsAboutThePierAxis) {
  const QSize window(800, 600);
  const TViewState view = StartView({60, 37.5}, window);
  // A sideways drag (Shift drops the small vertical part) keeps the pier upright.
  const TViewState turned = RotateView(view, {400, 300}, {600, 310}, window, true);
  EXPECT_NEAR(std::fabs(turned.rotX), 90.0 * 200 / 800, 1e-4);
  EXPECT_NEAR(turned.rotY, 0, 1e-4);
  const QPointF ground = ProjectToWindow(turned, window, WorldPoint(0));
  const QPointF tip = ProjectToWindow(turned, window, WorldPoint(60));
  EXPECT_NEAR(ground.x(), tip.x(), 1e-2);
  // The point in front of the pier moves the way the pointer went.
  const QPointF front = ProjectToWindow(view, window, WorldPoint(30, 0, 10));
  EXPECT_GT(ProjectToWindow(turned, window, WorldPoint(30, 0, 10)).x(), front.x());
  // A vertical drag tilts the view: the front of the ground moves down.
  const TViewState tilted = RotateView(view, {400, 300}, {400, 400}, window, false);
  EXPECT_GT(ProjectToWindow(tilted, window, WorldPoint(0, 0, 30)).y(),
            ProjectToWindow(view, window, WorldPoint(0, 0, 30)).y());
}

TEST(View3dMouse, ZoomingDragAndZoomWindow) {
  const QSize window(800, 600);
  TViewState view = StartView({60, 37.5}, window);
  view.zoom = 2;
  EXPECT_DOUBLE_EQ(ZoomView(view, {10, 100}, {10, 400}, window).zoom, 1);  // half the height down
  EXPECT_DOUBLE_EQ(ZoomView(view, {10, 100}, {10, 40}, window).zoom, 2.2);  // 60 pixels up: 2 (1 + 60 / 600)
  EXPECT_GT(ZoomView(view, {10, 0}, {10, 5000}, window).zoom, 0);  // never turned inside out

  // The rectangle's centre comes to the window's centre; it fills the window.
  view.rotX = 25;
  const QPoint a(100, 150), b(300, 250);
  const auto zoomed = ZoomWindowView(view, b, a, window);
  ASSERT_TRUE(zoomed);
  EXPECT_DOUBLE_EQ(zoomed->zoom, 2 * std::min(800.0 / 200, 600.0 / 100));
  // The world point under the rectangle's centre, on the plane through the scene centre.
  const QVector3D centre = view.Rotation().inverted().map(QVector3D(200 - 400, 300 - 200, 0)) /
                               float(view.PixelsPerUnit()) -
                           view.pan;
  const QPointF shown = ProjectToWindow(*zoomed, window, centre);
  EXPECT_NEAR(shown.x(), 400, 0.05);
  EXPECT_NEAR(shown.y(), 300, 0.05);
  EXPECT_FALSE(ZoomWindowView(view, a, QPoint(a.x(), 400), window));  // no width
  EXPECT_FALSE(ZoomWindowView(view, a, a, window));
}

// The wheel zooms about the pointer: the point of the scene under it stays
// put, whatever the turn and pan of the view; other points move away from it
// (or towards it) by the zoom's factor.
TEST(View3dMouse, WheelZoomsAboutThePointer) {
  const QSize window(800, 600);
  TViewState turned = StartView({60, 37.5}, window);
  turned.rotX = 25;
  turned.rotY = -40;
  turned.rotZ = 10;
  turned.pan += QVector3D(3, -2, 5);
  turned.zoom = 1.7;
  const struct {
    TViewState view;
    QVector3D underPointer;
    double factor;
  } cases[] = {
      {StartView({60, 37.5}, window), WorldPoint(10, 5, 0), WheelZoomFactor(120)},
      {StartView({60, 37.5}, window), WorldPoint(50, -8, 3), WheelZoomFactor(-360)},
      {turned, WorldPoint(20, 4, -6), WheelZoomFactor(240)},
      {turned, WorldPoint(0, -10, 10), 0.25},
  };
  const QVector3D other = WorldPoint(30, 0, 0);
  for (const auto &c : cases) {
    const QPointF pointer = ProjectToWindow(c.view, window, c.underPointer);
    const TViewState zoomed = ZoomAbout(c.view, window, pointer, c.factor);
    EXPECT_DOUBLE_EQ(zoomed.zoom, c.view.zoom * c.factor);
    const QPointF stays = ProjectToWindow(zoomed, window, c.underPointer);
    EXPECT_NEAR(stays.x(), pointer.x(), 0.02);
    EXPECT_NEAR(stays.y(), pointer.y(), 0.02);
    const QPointF before = ProjectToWindow(c.view, window, other) - pointer;
    const QPointF after = ProjectToWindow(zoomed, window, other) - pointer;
    EXPECT_NEAR(after.x(), before.x() * c.factor, 0.05);
    EXPECT_NEAR(after.y(), before.y() * c.factor, 0.05);
  }
  EXPECT_DOUBLE_EQ(WheelZoomFactor(240), kZoomInFactor);  // two notches: one Zoom In
  EXPECT_DOUBLE_EQ(WheelZoomFactor(-240), 1 / kZoomInFactor);
  EXPECT_DOUBLE_EQ(WheelZoomFactor(0), 1);
  EXPECT_DOUBLE_EQ(ZoomAbout(turned, window, {5, 5}, 0).zoom, turned.zoom);  // no factor, no change
}

TEST(View3dCurves, TheLegendNamesTheCurvesDrawnInTheirColours) {
  std::vector<TSceneCurve> curves(2);
  curves[0].which = 0;
  curves[0].colour = kSkinColour;
  curves[1].which = 2;
  curves[1].colour = kTotalColour;
  const std::vector<TLegendEntry> design = CurveLegend(curves, 1);
  const std::vector<TLegendEntry> expected = {{"ASD/LRFD Effects", {0, 0, 0}},
                                              {QString::fromUtf8("\u2014\u2014 Skin Friction"), kSkinColour},
                                              {QString::fromUtf8("\u2014\u2014 Total Capacity"), kTotalColour}};
  EXPECT_TRUE(design == expected);
  EXPECT_EQ(CurveLegend(curves, 0).front().text, "Ultimate Effects");
  EXPECT_TRUE(CurveLegend({}, 0).empty());
}

TEST(View3dPier, ZonesBellAndRings) {
  TSceneProject s = scene(3, 60, 0, {});
  s.topLength = 5;
  s.bottomLength = 7;
  s.ratio = 2.5;
  s.bellAngle = 30;
  TPierGeometry g = PierGeometry(s);
  // Bell height (7.5 - 3) / 2 / tan 30 = 3.8971.
  const double bell = 2.25 / std::tan(M_PI / 6);
  EXPECT_NEAR(g.bellHeight, bell, 1e-9);
  ASSERT_EQ(g.sections.size(), 4u);
  EXPECT_EQ(g.sections[0].colour, kBelledZoneColour);
  EXPECT_DOUBLE_EQ(g.sections[0].bottom, 5);
  EXPECT_EQ(g.sections[1].colour, kStemColour);
  EXPECT_NEAR(g.sections[1].bottom, 60 - bell - 7, 1e-9);
  EXPECT_EQ(g.sections[2].colour, kBelledZoneColour);
  EXPECT_NEAR(g.sections[3].top, 60 - bell, 1e-9);
  EXPECT_DOUBLE_EQ(g.sections[3].topDiameter, 3);
  EXPECT_DOUBLE_EQ(g.sections[3].bottomDiameter, 7.5);
  EXPECT_DOUBLE_EQ(g.baseDiameter, 7.5);
  EXPECT_EQ(g.rings.size(), 5u);

  // Straight: lighter olive, no frustum; zones longer than the pier are cut.
  s.ratio = 0;
  s.length = 30;
  s.topLength = 50;
  s.bottomLength = 20;
  g = PierGeometry(s);
  ASSERT_EQ(g.sections.size(), 2u);
  EXPECT_EQ(g.sections[0].colour, kStraightZoneColour);
  EXPECT_DOUBLE_EQ(g.sections[0].bottom, 10);
  EXPECT_DOUBLE_EQ(g.sections[1].top, 10);
  EXPECT_DOUBLE_EQ(g.sections[1].bottom, 30);
  EXPECT_DOUBLE_EQ(g.baseDiameter, 3);
  EXPECT_EQ(g.rings, (std::vector<double>{0, 10, 30}));

  EXPECT_TRUE(PierGeometry(scene(3, 0, 0, {})).sections.empty());
}

TEST(View3dCurves, CurvesShareOneScaleAndFollowTheOptions) {
  TResultPlots plots;
  TGraphPlot &plot = plots.pltCombine;
  plot.SetCurveCount(3);
  plot.SetPointCount(3);
  // Skin 0, 50, 100; tip 20, 30, -40; total 20, 80, 200 at depths 0, 10, 20.
  const double values[3][3] = {{0, 50, 100}, {20, 30, -40}, {20, 80, 200}};
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 3; ++i) plot.SetPoint(c, i, {values[c][i], 10.0 * i});
  TView3dOptions options;
  options.ShowUltimateEffects = true;
  options.UltimateEffectsFactor = 1.5;
  const TSceneProject s = scene(2, 20, 0, {});
  std::vector<TSceneCurve> curves = CapacityCurves(plots, s, options, 0);
  ASSERT_EQ(curves.size(), 3u);
  // 200 spans 2 D times 1.5 = 6, from the pier surface at 1.
  EXPECT_DOUBLE_EQ(curves[2].points[2].y(), 1 + 6);
  EXPECT_DOUBLE_EQ(curves[0].points[2].y(), 1 + 3);
  EXPECT_DOUBLE_EQ(curves[1].points[2].y(), 1 - 1.2);
  EXPECT_DOUBLE_EQ(curves[1].maxValue, -40);
  EXPECT_EQ(curves[1].maxPoint, curves[1].points[2]);
  EXPECT_EQ(curves[0].colour, kSkinColour);

  options.ShowTipResistance = false;
  curves = CapacityCurves(plots, s, options, 0);
  ASSERT_EQ(curves.size(), 2u);
  EXPECT_EQ(curves[1].which, 2);
  EXPECT_DOUBLE_EQ(curves[1].points[2].y(), 7);  // the same scale without the tip curve

  // By elevation: depth = top elevation - value; above the ground at the ground.
  plot.Yreversed = true;
  plot.SetPoint(0, 0, {0, 105});
  plot.SetPoint(0, 1, {50, 95});
  curves = CapacityCurves(plots, s, options, 100);
  EXPECT_DOUBLE_EQ(curves[0].points[0].x(), 0);
  EXPECT_DOUBLE_EQ(curves[0].points[1].x(), 5);

  options.ShowUltimateResults = 1;  // the ASD/LRFD plot has no points
  EXPECT_TRUE(CapacityCurves(plots, s, options, 0).empty());
  EXPECT_FALSE(HasCapacityCurves(plots, 1));
  EXPECT_TRUE(HasCapacityCurves(plots, 0));
}

TEST(View3dSizeFactor, ArrowsStepTheLeadingDigit) {
  const struct {
    double value;
    bool up;
    double result;
  } cases[] = {
      {1, false, 0.9}, {9, true, 10},    {1.5, true, 2},    {1.5, false, 0.9}, {0.3, true, 0.4},
      {0.9, false, 0.8}, {10, false, 9}, {0.09, true, 0.1}, {250, true, 300},  {0, true, 1},
      {-2, false, 1},  {NAN, true, 1},
  };
  for (const auto &c : cases) EXPECT_DOUBLE_EQ(SizeFactorStep(c.value, c.up), c.result) << c.value << c.up;
  // Thirty steps down and back up pass through every leading digit without sticking.
  double v = 10;
  for (int i = 0; i < 30; ++i) {
    const double next = SizeFactorStep(v, false);
    ASSERT_LT(next, v);
    v = next;
  }
  for (int i = 0; i < 30; ++i) {
    const double next = SizeFactorStep(v, true);
    ASSERT_GT(next, v);
    v = next;
  }
  EXPECT_NEAR(v, 10, 1e-9);
}

TEST(View3dCombinedPlots, PlacedAtThreeQuartersAndKeptInsideTheMainWindow) {
  const QRect main(100, 50, 1000, 800);
  EXPECT_EQ(CombinedPlotsPosition(main, QSize(300, 200)), QPoint(100 + 750 - 150, 50 + 400 - 100));
  EXPECT_EQ(CombinedPlotsPosition(main, QSize(600, 200)), QPoint(100 + 400, 350));  // would stick out right
  EXPECT_EQ(CombinedPlotsPosition(main, QSize(1200, 900)), QPoint(100, 50));
}

TEST(View3dScene, ProjectOfTheDeepProfile) {
  TProjectTables tables;
  auto read = TProgramData::CreateFromFile(tables, PYLAR_SOURCE_DIR "/examples/deep-profile-lrfd.pq8d", ffVersion8);
  ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
  TProgramData &data = *read.data;
  TSceneProject s = SceneProject(data);
  ASSERT_EQ(s.layers.size(), 12u);
  EXPECT_EQ(s.layers[0].code, 2);
  EXPECT_DOUBLE_EQ(s.layers[0].top, 0);
  EXPECT_DOUBLE_EQ(s.layers[0].bottom, 6);
  EXPECT_DOUBLE_EQ(s.layers[1].top, 6);
  EXPECT_DOUBLE_EQ(s.layers[11].bottom, 110);
  EXPECT_DOUBLE_EQ(s.diameter, double(data.DSTART));
  EXPECT_DOUBLE_EQ(s.length, double(data.PD));
  // Under the design-load method the pier reaches the last layer's bottom.
  data.METHOD = 1;
  EXPECT_DOUBLE_EQ(SceneProject(data).length, 110);
}

}  // namespace
}  // namespace pylar
