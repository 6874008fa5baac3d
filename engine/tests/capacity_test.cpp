// Capacity against depth: geometry, series, base averaging, totals and the
// walk down one pier, each against hand-computed values.
#include "capacity.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pylar::engine {
namespace {

TEST(PierGeometry, StraightAndBelledPiers) {
  struct Case {
    Real stem, ratio, angle;
    bool belled;
    Real base, area, edge, height, volume;
  };
  const Case cases[] = {
      // RATIO 0.5: integer part 0, no bell. Ab = 0.7854 x 9 = 7.0686.
      {3, 0.5F, 30, false, 3, 7.0686F, 0, 0, 0},
      // RATIO 1: no bell either.
      {3, 1, 30, false, 3, 7.0686F, 0, 0, 0},
      // D 3, Bb 6, 45 deg: e = 0.25 (D <= 3.52), H = 3/(2 x 1) + 0.25 = 1.75;
      // Ab = 0.7854 x 36 = 28.2744; volume = (28.2744 x 0.25
      // + 3.142/3 x 1.5 x ((9 + 36)/4 + 18/4)) / 27 = (7.0686 + 24.74325)/27 = 1.178217.
      {3, 2, 45, true, 6, 28.2744F, 0.25F, 1.75F, 1.178217F},
      // D 4, Bb 8, 30 deg: e = 0.5, H = 4/(2 x 0.57735) + 0.5 = 3.96410;
      // Ab = 50.2656; volume = (25.1328 + 3.142/3 x 3.46410 x 28)/27 = 126.7186/27 = 4.69328.
      {4, 2, 30, true, 8, 50.2656F, 0.5F, 3.96410F, 4.69328F},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "D " << c.stem << " ratio " << c.ratio);
    const PierGeometry g = pierGeometry(c.stem, c.ratio, c.angle);
    EXPECT_EQ(g.belled, c.belled);
    EXPECT_NEAR(g.base, c.base, 1e-5);
    EXPECT_NEAR(g.baseArea, c.area, 1e-3);
    EXPECT_NEAR(g.edge, c.edge, 1e-6);
    EXPECT_NEAR(g.bellHeight, c.height, 1e-4);
    EXPECT_NEAR(g.bellVolume, c.volume, 1e-4);
  }
}

TEST(PierGeometry, VolumeAndUpliftWeight) {
  const PierGeometry straight = pierGeometry(3, 0, 0);
  const PierGeometry belled = pierGeometry(3, 2, 45);
  // Straight, 20 ft: 7.0686 x 20 / 27 = 5.23600 yd^3.
  EXPECT_NEAR(concreteVolume(straight, 20), 5.23600F, 1e-4);
  // Belled, 20 ft: stem to 20 - 1.75 = 18.25 ft: 7.0686 x 18.25/27 = 4.77785,
  // plus the bell 1.178217 = 5.95607.
  EXPECT_NEAR(concreteVolume(belled, 20), 5.95607F, 1e-4);
  // Uplift weight, straight, water table at 10 ft: 5.236 x 4050/2000 = 10.60290
  // less 0.02450448 x 9 x 10 = 2.20540 -> 8.39750 tons.
  EXPECT_NEAR(upliftWeight(straight, 20, 10), 8.39750F, 1e-3);
  // Water table below the tip: no buoyancy.
  EXPECT_NEAR(upliftWeight(straight, 20, 30), 10.60290F, 1e-3);
  // Belled, water at the ground: 5.95607 x 2.025 = 12.06104 less the water of
  // 7.0686 x 18.25 + 31.81185 = 160.81380 ft^3 x 62.4/2000 = 5.01739 -> 7.04365.
  EXPECT_NEAR(upliftWeight(belled, 20, 0), 7.04365F, 1e-3);
}

TEST(Series, DiametersAndLengths) {
  struct Case {
    const char* what;
    ProjectInput in;
    std::vector<Real> diameters, lengths;
    bool truncated;
  };
  auto project = [](Real dstart, Real dialim) {
    ProjectInput in;
    in.DSTART = dstart;
    in.DIALIM = dialim;
    return in;
  };
  ProjectInput nearly = project(3, 4.99F);
  ProjectInput charts = project(1, 100);
  charts.IChart = 1;
  charts.DIAMINCR = 0.5F;
  ProjectInput lengths = project(3, 3);
  lengths.IPENT = 1;
  lengths.proposedDepth = 60;
  lengths.PDMIN = 42;
  lengths.PDINCR = 3;
  ProjectInput manyLengths = lengths;
  manyLengths.PDMIN = 0.5F;
  manyLengths.PDINCR = 0.1F;
  std::vector<Real> twenty;
  for (int k = 0; k < 20; ++k) twenty.push_back(1 + 0.5F * static_cast<Real>(k));
  // SI, 1.0 to 1.5 m (3.2808 to 4.9212 ft) by the metric step 0.15 m =
  // 0.49212 ft: 1.0, 1.15, 1.30, 1.45 m, and 1.5 m, the largest asked for.
  ProjectInput metric = project(3.2808F, 4.9212F);
  metric.units = 2;
  // Charts by 0.5 ft from 3 to 4.2 ft end with 4.2 ft, off the step.
  ProjectInput offStep = project(3, 4.2F);
  offStep.IChart = 1;
  offStep.DIAMINCR = 0.5F;
  const Case cases[] = {
      {"3 to 5 ft by 0.5", project(3, 5), {3, 3.5F, 4, 4.5F, 5}, {}, false},
      {"3 to 4.2 ft by 0.5 and 4.2", project(3, 4.2F), {3, 3.5F, 4, 4.2F}, {}, false},
      {"1.0 to 1.5 m by 0.15 m and 1.5 m", metric, {3.2808F, 3.77292F, 4.26504F, 4.75716F, 4.9212F}, {}, false},
      {"design charts 3 to 4.2 ft by 0.5 and 4.2", offStep, {3, 3.5F, 4, 4.2F}, {}, false},
      {"DIALIM 0 means DSTART only", project(3, 0), {3}, {}, false},
      {"4.99: the last step, 5, gives way to 4.99", nearly, {3, 3.5F, 4, 4.5F, 4.99F}, {}, false},
      {"design charts stop at 20 diameters", charts, twenty, {}, true},
      {"length series 60 down to 42 by 3", lengths, {3}, {60, 57, 54, 51, 48, 45, 42}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Series s = buildSeries(c.in);
    ASSERT_EQ(s.diameters.size(), c.diameters.size());
    for (std::size_t i = 0; i < c.diameters.size(); ++i) EXPECT_NEAR(s.diameters[i], c.diameters[i], 1e-5);
    ASSERT_EQ(s.lengths.size(), c.lengths.size());
    for (std::size_t i = 0; i < c.lengths.size(); ++i) EXPECT_NEAR(s.lengths[i], c.lengths[i], 1e-4);
    EXPECT_EQ(s.truncated, c.truncated);
  }
  const Series many = buildSeries(manyLengths);
  EXPECT_EQ(many.lengths.size(), 100U);
  EXPECT_TRUE(many.truncated);
}

TEST(Depths, LayerBottomsRoundToWholeFeet) {
  EXPECT_EQ(roundedDepth(12.4F), 12);
  EXPECT_EQ(roundedDepth(12.5F), 13);
  EXPECT_EQ(roundedDepth(0.3F), 0);
  EXPECT_EQ(roundedDepth(-5), 0);
  EXPECT_EQ(roundedDepth(1e30F), 2000);
}

TEST(WeightedBase, MeanBelowTheTip) {
  const std::vector<Real> rising{10, 20, 30, 40, 50, 60};
  // Bb 2: n = 4, t = 0, .25, .5, .75, weights 0, .3, .6, .5 (sum 1.4);
  // (0 x 10 + .3 x 20 + .6 x 30 + .5 x 40)/1.4 = 44/1.4 = 31.42857.
  EXPECT_NEAR(weightedBase(rising, 0, 2, 2), 31.42857F, 1e-4);
  // Missing values take the last valid one before them: 10, 10, 30, 30 ->
  // (3 + 18 + 15)/1.4 = 25.71429.
  EXPECT_NEAR(weightedBase({10, 0, 30, 1e-11F, 50}, 0, 2, 2), 25.71429F, 1e-4);
  // Near the profile bottom only the steps that exist count: tip at index 4
  // of 6 values: k = 0, 1 with weights 0, .3 -> 60.
  EXPECT_NEAR(weightedBase(rising, 4, 2, 2), 60, 1e-4);
  // A stem under 1 ft, or a base under 1 ft (n = 1, weight 0): the tip value.
  EXPECT_NEAR(weightedBase(rising, 1, 2, 0.9F), 20, 1e-6);
  EXPECT_NEAR(weightedBase(rising, 1, 0.6F, 0.6F), 20, 1e-6);
}

TEST(Totals, AsdAndLrfdColumns) {
  DesignFactors asd;
  // QU = 100 + 60 = 160; QBD = 100 + 60/3 = 120; QDN = 100/2.5 + 60/3 = 60.
  CapacityRow r = capacityAt(20, 100, 0, 60, 8, 1, asd);
  EXPECT_FLOAT_EQ(r.qu, 160);
  EXPECT_FLOAT_EQ(r.qbd, 120);
  EXPECT_FLOAT_EQ(r.qdn, 60);
  EXPECT_FLOAT_EQ(r.quPerVolume, 20);
  EXPECT_FLOAT_EQ(r.designSide, 40);
  EXPECT_FLOAT_EQ(r.designBase, 20);
  // Uplift: the weight 10 carries no factor: QBD = 110, QDN = 40 + 10 = 50.
  DesignFactors uplift;
  uplift.uplift = true;
  r = capacityAt(20, 100, 0, 10, 8, 1, uplift);
  EXPECT_FLOAT_EQ(r.qbd, 110);
  EXPECT_FLOAT_EQ(r.qdn, 50);
  // LRFD: side sum 45 (already factored), base 60 x 0.5 = 30, total 75.
  DesignFactors lrfd;
  lrfd.lrfd = true;
  r = capacityAt(20, 100, 45, 60, 0, 0.5F, lrfd);
  EXPECT_FLOAT_EQ(r.lrfdQb, 30);
  EXPECT_FLOAT_EQ(r.lrfdQu, 75);
  EXPECT_FLOAT_EQ(r.designTotal, 75);
  EXPECT_FLOAT_EQ(r.quPerVolume, 0);  // no volume: no ratio rather than infinity
}

// A 20 ft profile of two layers: side 2 tons per slice (LRFD 1 in layer 0,
// 1.4 in layer 1), stored base 5 tons; layer 0 holds z 1..5.
SliceProfile twoLayerProfile() {
  SliceProfile p;
  for (std::size_t z = 1; z <= 20; ++z) {
    const std::size_t layer = z <= 5 ? 0 : 1;
    Slice& s = p.slices.emplace_back();
    s.side = 2;
    s.lrfdSide = layer == 0 ? 1.0F : 1.4F;
    s.base = 5;
    s.layer = layer;
  }
  return p;
}

std::vector<Real> depths(const PierResult& r) {
  std::vector<Real> d;
  for (const CapacityRow& row : r.rows) d.push_back(row.depth);
  return d;
}

TEST(WalkPier, IgnoredPortionsAndDesignLoad) {
  const SliceProfile p = twoLayerProfile();
  const PierGeometry g = pierGeometry(2, 0, 0);  // Bb 2: base mean of 5s is 5
  DesignFactors asd;
  WalkSettings s;
  s.topIgnored = 2;
  s.bottomIgnored = 1;
  s.designLoad = 5;
  const PierResult r = walkPier(p, g, asd, s);
  // Slices count when their middle lies below 2 ft and above tip - 1 ft.
  // Tip 7: slices 3..6 -> 8 tons; QDN = 8/2.5 + 5/3 = 4.867 < 5.
  // Tip 8: slices 3..7 -> 10 tons; QDN = 4 + 1.667 = 5.667 > 5: stop.
  ASSERT_TRUE(r.stopped);
  EXPECT_TRUE(r.reachedLoad);
  EXPECT_FLOAT_EQ(r.last.depth, 8);
  EXPECT_FLOAT_EQ(r.last.qs, 10);
  EXPECT_NEAR(r.last.qdn, 5.66667F, 1e-5);
  EXPECT_FALSE(r.shortOfBase);  // 20 - 8 = 12 ft of soil below, more than 2 x 2
  EXPECT_EQ(r.rows.size(), 8U);  // every foot with a 1 ft increment
  EXPECT_FLOAT_EQ(r.rows[1].qs, 0);  // tip 2: all slices ignored
}

TEST(WalkPier, ProposedDepthRowsAndShortBase) {
  const SliceProfile p = twoLayerProfile();
  const PierGeometry g = pierGeometry(2, 0, 0);
  DesignFactors asd;
  WalkSettings s;
  s.tipDepth = 18;
  s.printIncrement = 5;
  const PierResult r = walkPier(p, g, asd, s);
  EXPECT_EQ(depths(r), (std::vector<Real>{5, 10, 15, 18}));
  EXPECT_FLOAT_EQ(r.last.qs, 36);
  EXPECT_TRUE(r.shortOfBase);  // 20 - 18 = 2 ft < 2 x 2 ft
  // A design load never reached runs to the profile bottom without stopping.
  WalkSettings never;
  never.designLoad = 1000;
  const PierResult n = walkPier(p, g, asd, never);
  EXPECT_FALSE(n.stopped);
  EXPECT_FALSE(n.reachedLoad);
  EXPECT_FLOAT_EQ(n.last.depth, 20);
  EXPECT_EQ(n.rows.size(), 20U);
}

// A fixed tip between whole feet ends the walk with a shorter last slice.
// Profile: slice z carries z tons of side, the base of a tip at z is 10 z
// tons; a stem of 0.9 ft reads the base at the tip itself. Tip 7.4: the
// whole slices 1..7 and 0.4 of slice 8 (its middle at 7.2 ft); the base
// between those of 7 and 8 ft: 70 + 0.4 x 10 = 74.
TEST(WalkPier, FixedTipBetweenWholeFeet) {
  SliceProfile p;
  for (std::size_t z = 1; z <= 20; ++z) {
    Slice& s = p.slices.emplace_back();
    s.side = static_cast<Real>(z);
    s.lrfdSide = s.side / 2;
    s.base = 10 * static_cast<Real>(z);
  }
  const PierGeometry g = pierGeometry(0.9F, 0, 0);
  struct Case {
    const char* what;
    Real tip, top, bottom;
    Real qs, qb;
  };
  const Case cases[] = {
      // 3 + 4 + 5 + 6 + 7 = 25 (middles above 2 ft ignored) + 0.4 x 8 = 28.2.
      {"ignored top 2 ft", 7.4F, 2, 0, 28.2F, 74},
      // Middles below 7.4 - 1 = 6.4 ft ignored: 3 + 4 + 5 + 6 = 18; the last
      // slice's middle (7.2 ft) too.
      {"and ignored bottom 1 ft", 7.4F, 2, 1, 18, 74},
      // Only the last slice, 2 to 2.4 ft: middle 2.2 ft below 2 ft: 0.4 x 3.
      {"tip just below the ignored top", 2.4F, 2, 0, 1.2F, 24},
      {"last slice's middle in the ignored top", 2.4F, 2.3F, 0, 0, 24},
      // Above the first foot: the first slice's part, the first foot's base.
      {"tip above the first foot", 0.5F, 0, 0, 0.5F, 10},
  };
  DesignFactors asd;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WalkSettings s;
    s.tipDepth = c.tip;
    s.topIgnored = c.top;
    s.bottomIgnored = c.bottom;
    s.printIncrement = 5;
    const PierResult r = walkPier(p, g, asd, s);
    ASSERT_TRUE(r.stopped);
    EXPECT_FLOAT_EQ(r.last.depth, c.tip);
    EXPECT_NEAR(r.last.qs, c.qs, 1e-5);
    EXPECT_NEAR(r.last.lrfdQs, c.qs / 2, 1e-5);
    EXPECT_NEAR(r.last.qb, c.qb, 1e-4);
    // Volume of the stem to the tip: 0.7854 x 0.81 x tip/27.
    EXPECT_NEAR(r.last.volume, 0.7854F * 0.81F * c.tip / 27, 1e-6);
    EXPECT_FLOAT_EQ(r.rows.back().depth, c.tip);
    // Each slice's share of the side adds up to QS (the program's side by layer).
    Real shares = 0;
    for (std::size_t z = 1; z <= 20; ++z) shares += sliceShare(z, c.tip, c.top, c.bottom) * p.slices[z - 1].side;
    EXPECT_NEAR(shares, c.qs, 1e-5);
  }
  WalkSettings s;
  s.tipDepth = 7.4F;
  s.printIncrement = 5;
  EXPECT_EQ(depths(walkPier(p, g, asd, s)), (std::vector<Real>{5, 7.4F}));
}

TEST(WalkPier, LrfdFactorsPerLayer) {
  const SliceProfile p = twoLayerProfile();
  const PierGeometry g = pierGeometry(2, 0, 0);
  DesignFactors lrfd;
  lrfd.lrfd = true;
  lrfd.phiBase = {0.4F, 0.7F};
  WalkSettings s;
  s.designLoad = 9;
  const PierResult r = walkPier(p, g, lrfd, s);
  // Tip 5 (layer 0): LRFD QS = 5 x 1 = 5, LRFD QB = 5 x 0.4 = 2 -> 7.
  EXPECT_NEAR(r.rows[4].lrfdQu, 7, 1e-5);
  // Tip 6 (layer 1): 5 + 1.4 = 6.4, LRFD QB = 5 x 0.7 = 3.5 -> 9.9 > 9: stop.
  EXPECT_FLOAT_EQ(r.last.depth, 6);
  EXPECT_NEAR(r.last.lrfdQs, 6.4F, 1e-5);
  EXPECT_NEAR(r.last.lrfdQb, 3.5F, 1e-5);
  EXPECT_NEAR(r.last.lrfdQu, 9.9F, 1e-5);
  EXPECT_EQ(r.tipLayer, 1U);
  // Unfactored QDN at tip 6 would be 12/2.5 + 5/3 = 6.47: the LRFD total decides.
}

TEST(MostEfficientPier, LargestCapacityPerVolumeAmongStoppedPiers) {
  std::vector<PierResult> piers(4);
  const Real ratios[] = {10, 12, 12, 50};
  for (std::size_t i = 0; i < 4; ++i) {
    piers[i].last.quPerVolume = ratios[i];
    piers[i].stopped = i < 3;  // the last never reached its stopping depth
  }
  EXPECT_EQ(mostEfficientPier(piers), 1U);
  piers[0].stopped = piers[1].stopped = piers[2].stopped = false;
  EXPECT_FALSE(mostEfficientPier(piers).has_value());
}

TEST(CapacityInput, ProblemsThatWouldGiveMeaninglessNumbers) {
  auto base = [] {
    ProjectInput in;
    in.DSTART = 3;
    in.DIALIM = 3;
    in.METHOD = 2;
    in.proposedDepth = 20;
    in.waterTable = 5;
    Layer a;
    a.bottom = 10;
    Layer b;
    b.bottom = 30;
    in.layers = {a, b};
    return in;
  };
  EXPECT_EQ(checkCapacityInput(base()), "");
  struct Case {
    const char* what;
    void (*change)(ProjectInput&);
    const char* expected;
  };
  const Case cases[] = {
      {"zero diameter", [](ProjectInput& in) { in.DSTART = 0; }, "DIAMETER MUST BE GREATER THAN ZERO"},
      {"negative length", [](ProjectInput& in) { in.proposedDepth = -20; }, "PROPOSED DEPTH"},
      {"water above ground", [](ProjectInput& in) { in.waterTable = -1; }, "WATER TABLE"},
      {"bottoms not increasing", [](ProjectInput& in) { in.layers[1].bottom = 10; }, "LAYER 2 ENDS"},
      {"no layers", [](ProjectInput& in) { in.layers.clear(); }, "NO LAYERS"},
      {"flat bell", [](ProjectInput& in) { in.RATIO = 2; in.BELANGL = 0; }, "ANGLE OF BELL"},
      {"zero factor of safety", [](ProjectInput& in) { in.FSB = 0; }, "FACTORS OF SAFETY"},
      {"negative ignored top", [](ProjectInput& in) { in.TOPLENG = -1; }, "IGNORED TOP"},
      {"no design load", [](ProjectInput& in) { in.METHOD = 1; in.designLoad = 0; }, "DESIGN LOAD"},
      {"bottomless profile", [](ProjectInput& in) { in.layers[1].bottom = 1e9F; }, "DEEPER THAN"},
      {"proposed depth beyond any profile", [](ProjectInput& in) { in.proposedDepth = 1e30F; },
       "INPUT ERROR: THE PROPOSED DEPTH OF 1E+30 FT IS DEEPER THAN THE DEEPEST PROFILE THE PROGRAM ANALYSES"},
      {"proposed depth beyond any profile, SI", [](ProjectInput& in) { in.units = 2; in.proposedDepth = 3280.8F; },
       "THE PROPOSED DEPTH OF 1000 M IS DEEPER"},
      {"diameter beyond any pier", [](ProjectInput& in) { in.DSTART = in.DIALIM = 1e30F; },
       "INPUT ERROR: THE PYLAR DIAMETER OF 1E+30 FT IS LARGER THAN THE LARGEST THE PROGRAM ANALYSES (100 FT, 30.48 M)"},
      // Charts from 3 ft by 60 ft: 3, 63, then 123 ft.
      {"chart diameter beyond any pier", [](ProjectInput& in) { in.IChart = 1; in.DIALIM = 200; in.DIAMINCR = 60; },
       "THE PYLAR DIAMETER OF 123 FT IS LARGER"},
      // A bell of 40 times a 3 ft stem: 120 ft.
      {"bell beyond any pier", [](ProjectInput& in) { in.RATIO = 40; in.BELANGL = 45; },
       "THE BASE DIAMETER OF 120 FT IS LARGER"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ProjectInput in = base();
    c.change(in);
    EXPECT_NE(checkCapacityInput(in).find(c.expected), std::string::npos) << checkCapacityInput(in);
  }
}

}  // namespace
}  // namespace pylar::engine
