#include "load_transfer_curves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "project_input.h"

namespace pylar::engine {
namespace {

constexpr Real kTol = 1e-4F;

TEST(LoadTransferCurves, PlacementFivePerLayer) {
  struct Case {
    const char* name;
    std::vector<CurveLayer> layers;
    std::vector<Real> depths;
  };
  const std::vector<Case> cases = {
      // 0..120 in: mid 60, b' = 119.99; quarter (0 + 60)/2 = 30;
      // three-quarter (60 + 119.99)/2 = 89.995.
      {"one layer", {{kSand, 0, 120}}, {0, 30, 60, 89.995F, 119.99F}},
      // Second layer 120..126 in: first curve 120 + 12.01 = 132.01, below its
      // own bottom; mid 123, quarter 121.5, b' 125.99, (123 + 125.99)/2 = 124.495.
      {"thin second layer",
       {{kSand, 0, 120}, {kClay, 120, 126}},
       {0, 30, 60, 89.995F, 119.99F, 132.01F, 121.5F, 123, 124.495F, 125.99F}},
      // A layer without thickness gets 0.1 in: 120..120.1, mid 120.05,
      // b' 120.09; the next layer's top is 120.1.
      {"zero thickness",
       {{kSand, 0, 120}, {kClay, 120, 120}, {kClay, 120, 240}},
       {0, 30, 60, 89.995F, 119.99F, 132.01F, 120.025F, 120.05F, 120.07F, 120.09F, 132.11F, 150.075F, 180.05F,
        210.02F, 239.99F}},
  };
  for (const Case& c : cases) {
    const std::vector<Real> got = curveDepths(c.layers);
    ASSERT_EQ(got.size(), c.depths.size()) << c.name;
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.depths[i], 2e-3F) << c.name << " curve " << i + 1;
  }
}

CurveInput twoLayers() {
  CurveInput in;
  in.layers = {{kSand, 0, 120}, {kClay, 120, 240}};
  in.layerProfile = {{0, 1e6F}, {120, 1e6F}, {120, 1e6F}, {240, 1e6F}};
  // 1 psi at 12 in rising 1 psi per foot: 2 psi at 24 in, ... 20 psi at 240 in.
  for (int z = 1; z <= 20; ++z) in.incrementProfile.push_back({12.0F * z, static_cast<Real>(z)});
  in.stemDiameter = 36;
  in.baseDiameter = 36;
  in.pierLength = 180;
  in.tipCode = kClay;
  in.ultimateBase = 100000;
  return in;
}

TEST(LoadTransferCurves, BuildTakesStrengthFromTheIncrementProfile) {
  const CurveBuild b = buildCurves(twoLayers());
  ASSERT_EQ(b.status, 0);
  ASSERT_EQ(b.set.curves.size(), 10U);
  // Curve 1 at 0 in lies above the first point (12 in): the first value, 1 psi.
  EXPECT_NEAR(b.set.curves[0].fmax, 1, kTol);
  // Curve 4 at 89.995 in: 89.995 / 12 = 7.4996 psi.
  EXPECT_NEAR(b.set.curves[3].fmax, 7.4996F, kTol);
  // The last curve (239.99 in) takes the profile too, not the layer maximum
  // (1e6 psi): 239.99 / 12 = 19.999.
  EXPECT_NEAR(b.set.curves[9].fmax, 19.9992F, kTol);
  // Curve 6 belongs to the clay layer and follows the clay table: the point
  // at 0.001 D = 0.036 in carries 0.51 fmax; (132.01/12 = 11.0008 psi).
  EXPECT_EQ(b.set.curves[5].code, kClay);
  EXPECT_NEAR(b.set.curves[5].points[1].movement, 0.036F, kTol);
  EXPECT_NEAR(b.set.curves[5].points[1].load, 0.51F * 11.0008F, 1e-3F);
}

TEST(LoadTransferCurves, SideCurvesBeyondTheirLastPoint) {
  // D = 36 in, fmax = 10 psi: the sand trend curve ends at 0.1 D = 3.6 in
  // with 0.95 fmax, the clay trend curve at 0.02 D = 0.72 in with 0.835 fmax;
  // both keep that load beyond.
  const auto sand = sideCurvePoints(kSand, kTrendLine, 36, 10);
  const auto clay = sideCurvePoints(kClay, kTrendLine, 36, 10);
  EXPECT_NEAR(sideCurveLoad(sand, 3.6F), 9.5F, kTol);
  EXPECT_NEAR(sideCurveLoad(sand, 50), 9.5F, kTol);
  EXPECT_NEAR(sideCurveLoad(clay, 0.72F), 8.35F, kTol);
  EXPECT_NEAR(sideCurveLoad(clay, 5), 8.35F, kTol);
  // Between points: sand trend at 0.0015 D = 0.054 in, halfway from 0.335 to
  // 0.58: 0.4575 x 10 = 4.575 psi. Upper-bound clay peaks above fmax: 1.02.
  EXPECT_NEAR(sideCurveLoad(sand, 0.054F), 4.575F, 1e-3F);
  EXPECT_NEAR(sideCurveLoad(sideCurvePoints(kClay, kUpperBound, 36, 10), 0.25F), 10.2F, 1e-3F);
  // Gravelly sand and gravel follow the clay side table.
  EXPECT_NEAR(sideCurveLoad(sideCurvePoints(kGravellySand, kLowerBound, 36, 10), 1), 7.5F, kTol);
  EXPECT_NEAR(sideCurveLoad(sideCurvePoints(kGravel, kTrendLine, 36, 10), 1), 8.35F, kTol);
}

TEST(LoadTransferCurves, BaseCurve) {
  struct Case {
    const char* name;
    int tipCode;
    int line;
    Real stem, base;
    Real s;
    Real load;  // lb
  };
  // Qb = 100000 lb.
  const std::vector<Case> cases = {
      {"zero movement", kClay, kTrendLine, 36, 36, 0, 0},
      {"1e-10 in", kSand, kTrendLine, 36, 36, 1e-10F, 0},
      // Clay trend, Dref = 40 in: s = 0.3 in = 0.0075 Dref, halfway between
      // 0.005 (0.395) and 0.01 (0.56): 0.4775 x 100000 = 47750.
      {"clay trend", kClay, kTrendLine, 40, 40, 0.3F, 47750},
      // Bell of 60 in on a 36 in stem: Dref = 60; s = 3 in = 0.05 Dref: sand
      // trend 1.015 -> 101500.
      {"bell scales", kSand, kTrendLine, 36, 60, 3, 101500},
      // Bell smaller than the stem: Dref = the stem, 40 in; 0.05 x 40 = 2 in:
      // sand upper bound 1.08 -> 108000.
      {"small bell", kSand, kUpperBound, 40, 30, 2, 108000},
      // Gravel tip follows the sand base table: lower bound at 0.1 Dref
      // (4 in) = 1.32.
      {"gravel tip", kGravel, kLowerBound, 40, 40, 4, 132000},
      // Beyond the last point (0.1 Dref = 4 in) the load stays at the last
      // value: clay trend 0.991.
      {"beyond the table", kClay, kTrendLine, 40, 40, 9, 99100},
  };
  for (const Case& c : cases) {
    CurveInput in = twoLayers();
    in.tipCode = c.tipCode;
    in.boundLine = c.line;
    in.stemDiameter = c.stem;
    in.baseDiameter = c.base;
    const CurveBuild b = buildCurves(in);
    ASSERT_EQ(b.status, 0) << c.name;
    EXPECT_NEAR(baseLoad(b.set.base, c.s), c.load, 0.5F) << c.name;
  }
  EXPECT_GT(baseLoad(buildCurves(twoLayers()).set.base, 2e-10F), 0);
}

TEST(LoadTransferCurves, CurvesBeyondTheStrengthProfile) {
  // A last layer thinner than the 12.01 in offset: its first curve at
  // 120 + 12.01 = 132.01 in lies 6.01 in below the profile's end (126 in).
  CurveInput thin = twoLayers();
  thin.layers[1].bottom = 126;
  thin.layerProfile[3].depth = 126;
  thin.pierLength = 100;
  const CurveBuild side = buildCurves(thin);
  EXPECT_EQ(side.status, kStatusSideCurveBeyondProfile);
  EXPECT_EQ(side.report, (std::vector<std::string>{
                             "", "                             **** WARNING ****",
                             "     THE VALUE OF X = 0.132E+03 IS BEYOND THE EXTENT OF THE INPUT STRENGTH CURVE 1"}));
  EXPECT_TRUE(side.notes.empty());

  // A tip below the profile: 250 in > 240 in, E9.2.
  CurveInput deep = twoLayers();
  deep.pierLength = 250;
  const CurveBuild base = buildCurves(deep);
  EXPECT_EQ(base.status, kStatusBaseCurveBeyondProfile);
  EXPECT_EQ(base.report.back(), "     THE VALUE OF X = 0.25E+03 IS BEYOND THE EXTENT OF THE INPUT STRENGTH CURVE");
  EXPECT_EQ(base.notes, base.report);

  // Within 0.1 in of the end the depth still has a strength.
  Real fmax = 0;
  CurveInput in = twoLayers();
  EXPECT_TRUE(ultimateSide(in, 240.09F, fmax));
  EXPECT_NEAR(fmax, 20, kTol);
  EXPECT_FALSE(ultimateSide(in, 240.1F, fmax));
}

TEST(LoadTransferCurves, SideTransferAgainstDepth) {
  CurveSet set;
  set.curves = {{1, 0, kSand, 10, sideCurvePoints(kSand, kTrendLine, 36, 10)},
                {2, 100, kSand, 20, sideCurvePoints(kSand, kTrendLine, 36, 20)},
                // Out of order, as a thin layer's first curve lies.
                {3, 50, kSand, 30, sideCurvePoints(kSand, kTrendLine, 36, 30)}};
  set.byDepth = {0, 2, 1};
  // w = 10 in: every curve at 0.95 fmax: 9.5, 19, 28.5 psi by depth 0, 100, 50.
  EXPECT_NEAR(sideTransfer(set, 25, 10), 19, kTol);     // (9.5 + 28.5) / 2
  EXPECT_NEAR(sideTransfer(set, 75, 10), 23.75F, kTol); // (28.5 + 19) / 2
  EXPECT_NEAR(sideTransfer(set, 50, 10), 28.5F, kTol);  // on a curve
  EXPECT_NEAR(sideTransfer(set, 150, 10), 19, kTol);    // below the deepest
  CurveSet lower = set;
  for (SideCurve& c : lower.curves) c.depth += 12;
  EXPECT_EQ(sideTransfer(lower, 6, 10), 0);             // above the first curve
  EXPECT_EQ(sideTransfer(CurveSet{}, 6, 10), 0);
}

// The solver reads a curve whose movements rise with one comparison per
// point; it must give what the reading of any curve gives: at a point its
// load, between points the line between them, before the first the first
// load, beyond the last the last, and for a movement that is not a number
// the last load. A curve whose movements fall somewhere is read the general
// way.
TEST(LoadTransferCurves, OrderedCurvesReadAsAnyCurve) {
  std::vector<CurvePoint> rising = sideCurvePoints(kClay, kUpperBound, 30, 12);
  // A repeated movement with two loads: the first point of the two answers.
  rising.insert(rising.begin() + 3, CurvePoint{rising[3].load / 2, rising[3].movement});
  std::vector<CurvePoint> falling = rising;
  std::swap(falling[5].movement, falling[6].movement);
  const Real nan = std::numeric_limits<Real>::quiet_NaN();
  for (const auto& points : {rising, falling}) {
    CurveSet set;
    set.curves = {{1, 10, kClay, 12, points}, {2, 20, kClay, 12, points}};
    set.byDepth = {0, 1};
    std::vector<Real> movements = {-1, 0, -0.0F, nan, 1000, std::numeric_limits<Real>::infinity()};
    for (const CurvePoint& p : points) {
      movements.push_back(p.movement);
      movements.push_back(std::nextafter(p.movement, Real(-1)));
      movements.push_back(std::nextafter(p.movement, Real(1)));
      movements.push_back(p.movement * 1.37F);
    }
    const SideTransferPoint onCurve = locateSideTransfer(set, 10);
    const SideTransferPoint between = locateSideTransfer(set, 15);
    ASSERT_TRUE(onCurve.below && !onCurve.above && between.above && between.below);
    SideTransferHint hint;  // carried from each reading to the next, as the solver does
    for (Real w : movements) {
      const Real expected = sideCurveLoad(points, w);
      EXPECT_EQ(sideTransfer(onCurve, w), expected) << "w = " << w;
      EXPECT_EQ(sideTransfer(between, w, hint), expected) << "w = " << w << " after the reading before";
      // Between two equal curves: the same value (a + (b - a) x 0.5 with a = b).
      EXPECT_EQ(sideTransfer(between, w), expected) << "w = " << w;
    }
  }
}

// The solver locates the depths of its segments from the tip up, each from
// where the one before was found; every depth must find the curves the plain
// search finds: on a curve, between two, above the first, below the last,
// and in a set whose curves are not stored by depth.
TEST(LoadTransferCurves, LocatingFromAHintFindsTheSameCurves) {
  CurveSet set;
  set.curves = {{1, 0, kSand, 10, sideCurvePoints(kSand, kTrendLine, 36, 10)},
                {2, 100, kSand, 20, sideCurvePoints(kSand, kTrendLine, 36, 20)},
                {3, 50, kSand, 30, sideCurvePoints(kSand, kTrendLine, 36, 30)},
                {4, 50, kSand, 40, sideCurvePoints(kSand, kTrendLine, 36, 40)}};  // two curves at one depth
  set.byDepth = {0, 2, 3, 1};
  ASSERT_TRUE(depthsInOrder(set));
  std::vector<Real> depths = {-5, 150, 0, 50, 100, 49.99F, 50.01F, 75, 25, 100.5F, 0.5F};
  for (Real z = 120; z > -3; z -= 2.5F) depths.push_back(z);  // from the tip up
  std::size_t hint = set.byDepth.size();
  for (Real z : depths) {
    const SideTransferPoint plain = locateSideTransfer(set, z);
    const SideTransferPoint hinted = locateSideTransfer(set, z, hint);
    EXPECT_EQ(hinted.below, plain.below) << "z = " << z;
    EXPECT_EQ(hinted.above, plain.above) << "z = " << z;
  }
  set.byDepth = {0, 1, 2, 3};
  EXPECT_FALSE(depthsInOrder(set));
}

// Building the curves reads the strength profile from where the curve above
// found it; each curve must take the strength the profile gives at its depth.
TEST(LoadTransferCurves, EveryCurveTakesTheStrengthAtItsDepth) {
  CurveInput in = twoLayers();
  in.incrementProfile.clear();
  for (int z = 0; z <= 240; z += 12) in.incrementProfile.push_back({Real(z), Real(5 + (z * 7) % 23)});
  const CurveBuild built = buildCurves(in);
  ASSERT_EQ(built.status, 0);
  for (const SideCurve& c : built.set.curves) {
    Real expected = 0;
    ASSERT_TRUE(ultimateSide(in, c.depth, expected));
    EXPECT_EQ(c.fmax, expected) << "curve " << c.number << " at " << c.depth;
  }
}

}  // namespace
}  // namespace pylar::engine
