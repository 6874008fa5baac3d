// The elevation drawing without widgets: the pier outline and its bell, the
// extent, the aspect rule, the layer labels and the depth read-out.
#include "model/DataUnit.h"
#include "model/PileSide.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace pylar;

namespace {

// Clay to 10, sand to 22, clay to 60.
std::vector<TSideLayer> threeLayers() { return {{0, 10, scClay}, {10, 22, scSand}, {22, 60, scClay}}; }

}  // namespace

// y = depth + 2 D; the stem runs from the ground (y = 2 D) to the tip: no
// stick-up above the surface. The bell ends at the tip with its flare
// D (B - 1) / 2 and height flare * cot(angle).
TEST(PileSide, OutlineOfStemAndBell) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char *what;
    TPierShape shape;
    double tipY;       // bottom of the stem
    double bellStart;  // top of the bell; NaN: no bell
    double bellHalf;   // half-width of the bell's bottom edge
  } cases[] = {
      {"straight pier", {3, 40, 0, 0}, 46, nan, 0},
      // Length 0 (the design-load method): down to the last layer bottom.
      {"no length", {3, 0, 0, 0}, 66, nan, 0},
      {"angle 0 is straight", {3, 40, 2, 0}, 46, nan, 0},
      // Flare 3 (2 - 1) / 2 = 1.5; height 1.5 cos(30 * 3.1416 / 180) / sin(...)
      // = 1.5 * 1.7320459 = 2.5980689.
      {"ratio 2, 30 degrees", {3, 40, 2, 30}, 46, 46 - 2.5980689, 3},
      // 45 degrees: height = flare = 1.2 (2 - 1) / 2 = 0.6, times
      // cot(45 * 3.1416 / 180) = 0.9999963: 0.5999978.
      {"SI anchor, 45 degrees", {1.2, 8, 2, 45}, 10.4, 10.4 - 0.5999978, 1.2},
      // "Enter 0 for straight pylar": a ratio of 0 (or any ratio up to 1) has
      // no bell, as in the engine; an angle of 90 degrees or more none either.
      {"ratio 0 with an angle", {3, 40, 0, 30}, 46, nan, 0},
      {"ratio below 1", {3, 40, 0.5, 30}, 46, nan, 0},
      {"ratio exactly 1", {3, 40, 1, 30}, 46, nan, 0},
      {"angle 90", {3, 40, 2, 90}, 46, nan, 0},
      {"angle beyond 90", {3, 40, 2, 120}, 46, nan, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    const TSideViewModel m = BuildSideView(c.shape, threeLayers(), -1);
    ASSERT_EQ(m.Data.size(), std::isnan(c.bellStart) ? 1u : 2u);
    const TSideQuad &stem = m.Data[0];
    const double half = c.shape.D / 2;
    EXPECT_EQ(stem.TopLeft, QPointF(-half, m.GroundY()));
    EXPECT_EQ(stem.TopRight, QPointF(half, m.GroundY()));
    EXPECT_EQ(m.GroundY(), 2 * c.shape.D);
    EXPECT_EQ(stem.BottomLeft, QPointF(-half, c.tipY));
    EXPECT_EQ(stem.BottomRight, QPointF(half, c.tipY));
    if (m.Data.size() < 2) continue;
    const TSideQuad &bell = m.Data[1];
    EXPECT_NEAR(bell.TopLeft.y(), c.bellStart, 1e-6);
    EXPECT_NEAR(bell.TopRight.y(), c.bellStart, 1e-6);
    EXPECT_EQ(bell.TopLeft.x(), -half);
    EXPECT_EQ(bell.TopRight.x(), half);
    EXPECT_EQ(bell.BottomLeft, QPointF(-c.bellHalf, c.tipY));
    EXPECT_EQ(bell.BottomRight, QPointF(c.bellHalf, c.tipY));
  }
  const TBellSize bell = BellSize({3, 40, 2, 30});
  EXPECT_DOUBLE_EQ(bell.Flare, 1.5);
  EXPECT_NEAR(bell.Height, 2.598, 5e-4);
}

TEST(PileSide, ExtentHoldsPierLayersAndAxis) {
  // A 3 ft pier 35 ft long with a bell of 2.5 D over layers to 60 ft: the
  // last layer line lies at y = 66, below the tip at y = 41.
  TSideViewModel m = BuildSideView({3, 35, 2.5, 30}, threeLayers(), 18);
  EXPECT_DOUBLE_EQ(m.DLeft, -3.75);
  EXPECT_DOUBLE_EQ(m.DRight, 3.75);
  EXPECT_DOUBLE_EQ(m.DTop, 0);  // two diameters of room above the ground stay in the drawing
  EXPECT_DOUBLE_EQ(m.DBottom, 66);
  EXPECT_TRUE(m.HasWater);
  EXPECT_DOUBLE_EQ(m.GroundY(), 6);

  // A pier reaching below the layers sets the bottom.
  m = BuildSideView({3, 80, 0, 0}, threeLayers(), 0);
  EXPECT_DOUBLE_EQ(m.DBottom, 86);
  EXPECT_DOUBLE_EQ(m.DLeft, -1.5);

  // Without layers nothing is built and the default extent stays.
  m = BuildSideView({3, 40, 2, 30}, {}, 10);
  EXPECT_TRUE(m.Data.empty());
  EXPECT_EQ(QRectF(m.DLeft, m.DTop, m.DRight - m.DLeft, m.DBottom - m.DTop), QRectF(-10, 0, 20, 10));

  // A value that is not a number makes the extent unusable, not partial.
  m = BuildSideView({3, 40, 0, 0}, {{0, std::numeric_limits<double>::quiet_NaN(), scSand}}, 0);
  EXPECT_TRUE(std::isnan(m.DBottom));
  EXPECT_FALSE(BuildSideView({3, 40, 0, 0}, threeLayers(), std::numeric_limits<double>::infinity()).HasWater);
  EXPECT_FALSE(BuildSideView({3, 40, 0, 0}, threeLayers(), -2).HasWater);
}

TEST(PileSide, AspectRuleWidensTheViewInsteadOfStretchingIt) {
  // Extent x -1.5..1.5, y 0..66: proportion 3 / 66.
  const TSideViewModel m = BuildSideView({3, 0, 0, 0}, threeLayers(), -1);
  {
    // 632 x 422: r = (632 / 422) / (3 / 66) = 32.947; the width grows about the axis.
    const TSideViewport v = FitSideView(m, QRectF(0, 0, 632, 422));
    ASSERT_FALSE(v.NoDraw);
    const double r = (632.0 / 422) / (3.0 / 66);
    EXPECT_DOUBLE_EQ(v.Left, -1.5 * r);
    EXPECT_DOUBLE_EQ(v.Right, 1.5 * r);
    EXPECT_DOUBLE_EQ(v.Top, 0);
    EXPECT_DOUBLE_EQ(v.Bottom, 66);
    EXPECT_DOUBLE_EQ(v.ToPixel({0, 33}).x(), 316);
    EXPECT_DOUBLE_EQ(v.ToPixel({0, 33}).y(), 211);
    // Same scale both ways: a foot across is as many pixels as a foot down.
    EXPECT_NEAR(v.ToPixel({1, 0}).x() - v.ToPixel({0, 0}).x(), v.ToPixel({0, 1}).y() - v.ToPixel({0, 0}).y(), 1e-9);
    EXPECT_EQ(v.ToWorld(v.ToPixel({1.25, 20})), QPointF(1.25, 20));
  }
  {
    // A target narrower than the drawing extends it downward.
    const TSideViewport v = FitSideView(m, QRectF(10, 20, 2, 100));
    const double r = (2.0 / 100) / (3.0 / 66);
    EXPECT_DOUBLE_EQ(v.Left, -1.5);
    EXPECT_DOUBLE_EQ(v.Right, 1.5);
    EXPECT_DOUBLE_EQ(v.Bottom, 66 / r);
    EXPECT_DOUBLE_EQ(v.ToPixel({0, 0}).y(), 20);
  }
  // No size to map: a pier of diameter 0 in layers of depth 0 (a new
  // project), a diameter that is not a number. Nothing is drawn or read out.
  EXPECT_TRUE(FitSideView(BuildSideView({0, 0, 0, 0}, {{0, 0, scSand}}, 0), QRectF(0, 0, 632, 422)).NoDraw);
  EXPECT_TRUE(FitSideView(BuildSideView({std::nan(""), 40, 0, 0}, threeLayers(), 0), QRectF(0, 0, 632, 422)).NoDraw);
  EXPECT_TRUE(FitSideView(BuildSideView({1e308, 40, 0, 0}, threeLayers(), 0), QRectF(0, 0, 632, 422)).NoDraw);
  // A pier of diameter 0 in real layers has no width either; a negative
  // diameter (a damaged file) is not drawn mirrored.
  EXPECT_TRUE(FitSideView(BuildSideView({0, 40, 0, 0}, threeLayers(), 0), QRectF(0, 0, 632, 422)).NoDraw);
  EXPECT_TRUE(FitSideView(BuildSideView({-3, 40, 2, 30}, threeLayers(), 0), QRectF(0, 0, 632, 422)).NoDraw);
  // A window of no height maps nothing but the drawing itself is sound.
  const TSideViewport flat = FitSideView(m, QRectF(0, 0, 632, 0));
  EXPECT_FALSE(flat.NoDraw);
  EXPECT_FALSE(flat.CanMap());
  EXPECT_TRUE(DepthReadoutAt(m, flat, {10, 0}).isEmpty());
}

TEST(PileSide, LayerLabels) {
  using S = TSideLabelStyle;
  struct Case {
    TSideLayer layer;
    S style;
    const char *text;
  } cases[] = {
      {{0, 10, scSand}, S::Screen, "depth= 0 - 10; Sand"},
      {{10, 22.5, scClay}, S::Screen, "depth= 10 - 22.5; Clay"},
      {{3.048, 6.096, scGravellySand}, S::Screen, "depth= 3.048 - 6.096; Gravelly Sand"},
      {{0, 1.0 / 3, scGravel}, S::Screen, "depth= 0 - 0.333333333333333; Gravel"},
      {{22, 45, scShale}, S::Screen, "Shale"},
      {{22, 45, scStrongRockSideOrBase}, S::Screen, "Strong Rock"},
      {{22, 45, scStrongRock}, S::Screen, "Strong Rock"},
      {{22, 45, scDecomposedRock}, S::Screen, "Decomposed Rock"},
      {{22, 45, scWeakRock}, S::Screen, "Weak Rock"},
      {{22, 45, scShale}, S::Paper, "depth= 22 - 45; Shale"},
      {{22, 45, scWeakRock}, S::Paper, "depth= 22 - 45; Soft Rock"},
      {{22, 45, scStrongRock}, S::Paper, "depth= 22 - 45; Strong Rock"},
      {{0, 10, scSand}, S::Paper, "depth= 0 - 10; Sand"},
      // A code no model has (a damaged file) still shows its depths.
      {{0, 10, 0}, S::Screen, "depth= 0 - 10"},
      {{0, 10, 12}, S::Paper, "depth= 0 - 10"},
  };
  for (const Case &c : cases) EXPECT_EQ(SideLayerLabel(c.layer, c.style), QString::fromLatin1(c.text));
}

TEST(PileSide, DepthReadout) {
  EXPECT_EQ(DepthReadout(0), "  Depth: 0.0");
  EXPECT_EQ(DepthReadout(-0.04), "  Depth: 0.0");
  EXPECT_EQ(DepthReadout(12.345), "  Depth: 12.3");
  EXPECT_EQ(DepthReadout(-1.26), "  Depth: -1.3");

  const TSideViewModel m = BuildSideView({3, 35, 2.5, 30}, threeLayers(), 18.2);
  // At each window height the ground line's pixel row reads 0.0 and a layer
  // line its depth, although a pixel spans about 0.15 ft (the row's own depth
  // can be 0.1 off).
  for (const int height : {422, 300, 517, 1000}) {
    SCOPED_TRACE(height);
    const TSideViewport v = FitSideView(m, QRectF(0, 0, 632, height));
    const int ground = v.RowOf(m.GroundY());
    EXPECT_EQ(DepthReadoutAt(m, v, QPointF(50, ground)), "  Depth: 0.0");
    EXPECT_EQ(DepthReadoutAt(m, v, QPointF(400, v.RowOf(m.YOfDepth(22)))), "  Depth: 22.0");
    EXPECT_EQ(DepthReadoutAt(m, v, QPointF(400, v.RowOf(m.YOfDepth(18.2)))), "  Depth: 18.2");
  }
  // Elsewhere the pointer's own depth: the pixel row of depth 30 on a
  // 632 x 660 canvas (10 px per foot: y = 36 ft is row 360).
  const TSideViewport v = FitSideView(m, QRectF(0, 0, 632, 660));
  EXPECT_EQ(DepthReadoutAt(m, v, QPointF(100, 360)), "  Depth: 30.0");
  EXPECT_EQ(DepthReadoutAt(m, v, QPointF(100, 363)), "  Depth: 30.3");
  // Above the ground the depth is negative.
  EXPECT_EQ(DepthReadoutAt(m, v, QPointF(100, 10)), "  Depth: -5.0");
  // Nothing to map: no read-out.
  const TSideViewModel none = BuildSideView({0, 0, 0, 0}, {{0, 0, scSand}}, 0);
  EXPECT_TRUE(DepthReadoutAt(none, FitSideView(none, QRectF(0, 0, 632, 422)), {10, 10}).isEmpty());
}

// The drawing of a project file: pier, bell and layers as the file holds them.
TEST(PileSide, BuiltFromTheBelledSample) {
  TProjectTables tables;
  TProgramData::TReadResult read =
      TProgramData::CreateFromFile(tables, PYLAR_SOURCE_DIR "/examples/mixed-profile-belled.pq8d", ffVersion8);
  ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
  const TSideViewModel m = BuildSideView(*read.data);
  ASSERT_EQ(m.Layers.size(), 4u);
  const std::vector<std::pair<double, int>> layers = {{10, scClay}, {22, scSand}, {45, scClay}, {60, scClay}};
  double top = 0;
  for (size_t i = 0; i < layers.size(); ++i) {
    EXPECT_EQ(m.Layers[i].Top, top);
    EXPECT_EQ(m.Layers[i].Bottom, layers[i].first);
    EXPECT_EQ(m.Layers[i].Code, layers[i].second);
    top = layers[i].first;
  }
  // 3 ft stem, bell ratio 2.5 at 30 degrees: flare 2.25, height 2.25 * 1.7320459 = 3.8971033.
  ASSERT_EQ(m.Data.size(), 2u);
  EXPECT_EQ(m.D, 3);
  EXPECT_DOUBLE_EQ(m.DRight, 3.75);
  EXPECT_NEAR(m.Data[1].BottomLeft.y() - m.Data[1].TopLeft.y(), 3.8971033, 1e-6);
}
