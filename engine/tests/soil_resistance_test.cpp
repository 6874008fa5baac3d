// Unit side and base resistance of the soil and strong-rock models, checked
// against hand-computed values (arithmetic in the comments).
#include "soil_resistance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "igm_resistance.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

Layer layerOf(int code, Real bottom, LayerEnd top, LayerEnd bot) {
  Layer l;
  l.code = code;
  l.bottom = bottom;
  l.end = {top, bot};
  return l;
}

LayerEnd soil(Real unitWeight, Real n = 0, Real phi = 0, Real cohesion = 0, Real side = 0, Real nc = 0) {
  LayerEnd e;
  e.unitWeight = unitWeight;
  e.blowCount = n;
  e.frictionAngle = phi;
  e.cohesion = cohesion;
  e.sideParameter = side;
  e.nc = nc;
  return e;
}

LayerEnd rock(Real qu, Real fc, Real spacing, Real aperture, Real ds) {
  LayerEnd e;
  e.rockStrength = qu;
  e.concreteStrength = fc;
  e.jointSpacing = spacing;
  e.jointThickness = aperture;
  e.socketDiameter = ds;
  return e;
}

ProjectInput project(std::vector<Layer> layers, Real waterTable = 1000) {
  ProjectInput in;
  in.layers = std::move(layers);
  in.waterTable = waterTable;
  in.DSTART = 3;
  in.IMOD = 0;
  return in;
}


// ---------------------------------------------------------------------------

TEST(FrictionAngleChart, ReadsTheThreeCurvesAndPressureBands) {
  struct Case {
    Real psi, n, phi;
    const char* why;
  };
  const Case cases[] = {
      {0, 10, 38, "p = 0 reads the p = 0 curve"},
      {40, 10, 30, "p >= 40, N <= 10: 3 N = 30"},
      {30, 8, 31, "20 < p < 40, 6 < N < 10: 30 + 0.5 (8 - 6)"},
      {0, 100, 45, "N above every curve"},
      {30, 100, 45, "N above every curve"},
      {60, 100, 45, "N above every curve"},
      {10, 15, 38, "phi0(15) = 42, phi20(15) = 34: 42 - 10 (42 - 34)/20"},
      {10, 4, 32, "phi0(4) = 34: 34 - (10/20)(34 - 30)"},
      {10, 1, 23, "phi0(1) = 16 on the line from (0, 0): 16 - 0.5 (16 - 30)"},
      {20, 40, 41, "p = 20 reads phi20(40) = 41"},
      {30, 30, 37.5F, "phi20(30) = 39, phi40(30) = 36: 39 - 10 (39 - 36)/20"},
      {30, 70, 43.5F, "phi40(70) = 42: 42 + 10 (45 - 42)/20"},
      {30, 5, 25, "20 < p < 40, N <= 6: 30 5/6"},
      {50, 25, 35, "p >= 40 reads phi40(25) = 35"},
      {50, 87.5F, 44, "phi40 between 85 and 90 is 44"},
      {50, 5, 15, "p >= 40, N <= 10: 3 N"},
      {10, 0, 0, "N = 0 never enters the chart"},
      {10, -4, 0, "negative N never enters the chart"},
      {-5, 10, 38, "negative stress reads as p = 0"},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(frictionAngleFromSpt(c.n, c.psi * 144), c.phi, 1e-3) << c.why;
  }
}

TEST(EffectiveStress, StepsWholeFeetAndKeepsTheFractionOfAFoot) {
  // 10.6 ft of 120 lb/ft^3 above the water table: 10 whole-foot steps and a
  // closing 0.6 ft step; stress at 10.6 = 120 x 10.6 = 1272.
  ProjectInput in = project({layerOf(kSand, 10.6F, soil(120, 10), soil(120, 10)),
                             layerOf(kSand, 12.0F, soil(100, 10), soil(100, 10))});
  EffectiveStressTable table(in);
  EXPECT_EQ(table.wholeFootSteps(0), 10u);
  EXPECT_EQ(table.wholeFootSteps(1), 1u);  // 1.4 ft: one whole foot (11.6) and 0.4 ft to 12
  EXPECT_EQ(table.points().size(), 1u + 11u + 2u);
  EXPECT_NEAR(table.at(10.6F), 1272, 0.01);
  EXPECT_NEAR(table.at(5.5F), 660, 0.01);
  EXPECT_NEAR(table.at(12), 1272 + 140, 0.01);  // + 100 x 1.4
  EXPECT_EQ(table.at(0), 0);
  EXPECT_EQ(table.at(-3), 0);
  EXPECT_EQ(table.at(12.5F), 0);  // below the profile
  EXPECT_EQ(table.lastStepUnitWeight(0), 120);
}

TEST(EffectiveStress, UsesTheSubmergedWeightOfStepsBelowTheWaterTable) {
  // Unit weight 110 at the top to 130 at the bottom of a 10 ft layer: step k
  // weighs 110 + 2k. Water table at 4 ft: steps 1-4 total 112+114+116+118 =
  // 460; steps 5-10 (120..130, sum 750) submerged: 750 - 6 x 62.4 = 375.6.
  ProjectInput in = project({layerOf(kClay, 10, soil(110), soil(130))}, 4);
  EffectiveStressTable table(in);
  EXPECT_NEAR(table.at(4), 460, 0.01);
  EXPECT_NEAR(table.at(4.5F), 460 + 0.5F * 57.6F, 0.01);  // step 5: 120 - 62.4 = 57.6
  EXPECT_NEAR(table.at(10), 835.6F, 0.01);
}

TEST(EffectiveStress, NeverNegativeNorUnboundedForGarbageProfiles) {
  // 30 lb/ft^3 below the water table would give -32.4 per foot.
  ProjectInput light = project({layerOf(kSand, 10, soil(30), soil(30))}, 0);
  EXPECT_EQ(EffectiveStressTable(light).at(5), 0);
  // A layer a billion feet thick: the table stays bounded and finite.
  ProjectInput deep = project({layerOf(kSand, 1.0e9F, soil(120), soil(120))}, 2.0e9F);
  EffectiveStressTable table(deep);
  EXPECT_LE(table.points().size(), 100002u);
  EXPECT_TRUE(std::isfinite(table.at(5.0e8F)));
  EXPECT_NEAR(table.at(1.0e9F), 1.2e11F, 1.0e6F);
  // Layers out of order never make the table climb back.
  ProjectInput twisted = project({layerOf(kSand, 10, soil(100), soil(100)), layerOf(kSand, 5, soil(100), soil(100)),
                                  layerOf(kSand, 15, soil(100), soil(100))});
  EffectiveStressTable t2(twisted);
  for (std::size_t k = 1; k < t2.points().size(); ++k) EXPECT_GE(t2.points()[k].depth, t2.points()[k - 1].depth);
  EXPECT_NEAR(t2.at(15), 1500, 0.01);
}

// ---------------------------------------------------------------------------

TEST(Completion, EstimatesClayAlphaAndNcWithMarkersAndWarnings) {
  struct Case {
    int code;
    Real cohesion, alpha;
    bool warning;
  };
  const Case cases[] = {
      // r = 4000/2116.8 = 1.88964: 0.55 - 0.1 (1.88964 - 1.5) = 0.511036
      {kClay, 4000, 0.511036F, false},
      // r = 6000/2116.8 = 2.834 >= 2.5: 0.4 and the warning
      {kClay, 6000, 0.4F, true},
      {kShale, 6000, 0.4F, true},
      {kClay, 2000, 0.55F, false},
  };
  for (const Case& c : cases) {
    // Layer 0-5 ft, DSTART = 2: Nc = 6 (1 + 0.2 z/2) = 6 at the top; at 5 ft
    // 6 x 1.5 = 9 in clay, capped at 7 in shale.
    ProjectInput in = project({layerOf(c.code, 5, soil(120, 0, 0, c.cohesion), soil(120, 0, 0, c.cohesion)),
                               layerOf(c.code, 30, soil(120, 0, 0, c.cohesion), soil(120, 0, 0, c.cohesion))});
    in.DSTART = 2;
    SoilResistance soilR(in);
    const std::string report = test::crlfText(soilR.completeAll().report);
    const CompletedLayer& l = soilR.layer(0);
    EXPECT_NEAR(l.end[1].sideParameter, c.alpha, 1e-5) << c.cohesion;
    EXPECT_TRUE(l.estimated[1].sideParameter);
    EXPECT_EQ(estimateMarker(l.estimated[1].sideParameter), "  (*)");
    EXPECT_EQ(estimateMarker(false), "     ");
    EXPECT_NEAR(l.end[0].nc, 6, 1e-5);
    EXPECT_NEAR(l.end[1].nc, c.code == kShale ? 7 : 9, 1e-5);
    EXPECT_NEAR(soilR.layer(1).end[1].nc, c.code == kShale ? 7 : 9, 1e-5);  // deeper layers keep the caps
    EXPECT_TRUE(l.ncEstimated);
    const std::string warning =
        "       ..........WARNING..........\r\n"
        "       THE SHEAR STRENGTH OF THIS MATERIAL MAY BE TOO HIGH\r\n"
        "       FOR USING CLAY CRITERIA. DESIGN AS INTERMEDIATE\r\n"
        "       GEOMATERIALS IS RECOMMENDED.\r\n\r\n";
    EXPECT_EQ(report.find(warning) != std::string::npos, c.warning) << report;
  }
}

TEST(Completion, GivenValuesStayAndAreNotMarked) {
  ProjectInput in = project({layerOf(kClay, 10, soil(120, 0, 0, 1000, 0.45F, 8), soil(120, 0, 0, 1000, 0.45F, 8))});
  in.DSTART = 0;  // no diameter: an estimated Nc would take the cap, never divide by zero
  SoilResistance s(in);
  const std::string report = test::crlfText(s.completeAll().report);
  EXPECT_EQ(s.layer(0).end[0].sideParameter, 0.45F);
  EXPECT_EQ(s.layer(0).end[0].nc, 8);
  EXPECT_FALSE(s.layer(0).anyEstimated());
  EXPECT_TRUE(report.empty());
  EXPECT_EQ(estimatedNcByDepth(5, 0, kClay), 9);
  EXPECT_EQ(estimatedNcByDepth(5, 0, kShale), 7);
}

TEST(Completion, ClayWithoutCohesionWarnsAboutBlowCounts) {
  ProjectInput in = project({layerOf(kClay, 10, soil(120, 10), soil(120, 12))});
  SoilResistance s(in);
  const std::string report = test::crlfText(s.completeAll().report);
  EXPECT_NE(report.find("     *********************WARNING**********************\r\n"
                              "     THE PREDICTED LOAD TRANSFER IN CLAY BASED ON THE N-VALUE\r\n"
                              "     FROM STANDARD PENETRATION TESTS IS NOT RECOMMENDED FOR\r\n"
                              "     THE FINAL DESIGN.  PLEASE INPUT THE UNDRAIDED SHEAR\r\n"
                              "     STRENGTH FOR CLAY LAYERS IN THE FINAL DESIGN.\r\n"),
            std::string::npos)
      << report;
}

TEST(Completion, SandFrictionFromBlowCountsAndTheMissingInputError) {
  // 144 lb/ft^3 over 10 ft: 1440 lb/ft^2 = 10 lb/in^2 at the bottom.
  // Top: p = 0, N = 10: 38. Bottom: p = 10, N = 15: 42 - 10 (42 - 34)/20 = 38.
  // The input angle 30 is overridden; the interface angle follows.
  ProjectInput in = project({layerOf(kSand, 10, soil(144, 10, 30), soil(144, 15, 30))});
  SoilResistance s(in);
  EXPECT_TRUE(s.completeAll().notes.empty());
  const CompletedLayer& l = s.layer(0);
  EXPECT_NEAR(l.end[0].frictionAngle, 38, 1e-4);
  EXPECT_NEAR(l.end[1].frictionAngle, 38, 1e-4);
  EXPECT_NEAR(l.end[1].interfaceAngle, 38, 1e-4);
  EXPECT_TRUE(l.estimated[0].frictionAngle && l.estimated[1].interfaceAngle);

  ProjectInput none = project({layerOf(kSand, 10, soil(120), soil(120))});
  SoilResistance s2(none);
  EXPECT_EQ(test::crlfText(s2.completeAll().notes),
            "\r\n     *********************ERROR**********************\r\n"
            "     PLEASE INPUT EITHER THE N-VALUE FROM STANDARD PENETRATION TESTS\r\n"
            "     OR THE INTERNAL FRICTION ANGLE FOR SAND LAYERS\r\n\r\n");
}

TEST(Completion, EstimatedBetaRules) {
  struct Case {
    Real value, expected;
    const char* why;
  };
  const Case cases[] = {
      // 1.5 - 0.135 sqrt(16) = 0.96; N = 10 < 15: 0.96 x 10/15 = 0.64
      {estimatedSandBeta(16, 10), 0.64F, "sand, loose"},
      {estimatedSandBeta(16, 20), 0.96F, "sand, N >= 15"},
      {estimatedSandBeta(100, 20), 0.25F, "sand: 1.5 - 1.35 = 0.15, at least 0.25"},
      {estimatedSandBeta(0, 20), 1.2F, "sand: 1.5, at most 1.2"},
      // 2.0 - 0.15 (3.048 m)^0.75 = 2.0 - 0.15 x 2.30677 = 1.65398
      {estimatedGravellySandBeta(10), 1.65398F, "gravelly sand"},
      {estimatedGravellySandBeta(0), 1.8F, "gravelly sand at most 1.8"},
      // 3.4 e^(-0.025908 x 50) = 3.4 x 0.273788 = 0.930880
      {estimatedGravelBeta(50), 0.93088F, "gravel"},
      {estimatedGravelBeta(0), 3.0F, "gravel: 3.4, at most 3.0"},
      {estimatedGravelBeta(1000), 0.25F, "gravel at least 0.25"},
  };
  for (const Case& c : cases) EXPECT_NEAR(c.value, c.expected, 1e-4) << c.why;
}

// ---------------------------------------------------------------------------

TEST(SandBase, SptRuleFrictionRuleAndFactors) {
  struct Case {
    Real n, phi, b, tip;
    int imod;
    Real load;
    const char* why;
  };
  const Real a3 = 0.7854F * 9;   // 7.0686 ft^2
  const Real a5 = 0.7854F * 25;  // 19.635 ft^2
  const Case cases[] = {
      {60, 0, 3, 60, 0, 30 * a3, "N >= 50: 30 tsf"},
      {20, 0, 3, 60, 0, 12 * a3, "0.6 x 20 = 12 tsf"},
      {20, 0, 5, 60, 1, 12 * a5 * 50 / 60, "B = 5 ft > 4.17: x 50/(12 x 5)"},
      {20, 0, 3, 15, 1, 12 * a3 * 15 / 30, "L = 15 < 10 B = 30: x 15/30"},
      {0, 33, 3, 60, 0, 2.667F * 3 * a3, "phi 33: 2.667 (33 - 30)"},
      {0, 38, 3, 60, 0, (16 + 2.8F * 2) * a3, "phi 38: 16 + 2.8 (38 - 36)"},
      {0, 45, 3, 60, 0, 30 * a3, "phi > 41: 30 tsf"},
      {0, 30, 8, 5, 1, 1.0e-5F, "phi <= 30: 1e-5 tons, no factors"},
      {0, 0, 3, 60, 1, 1.0e-5F, "neither N nor phi"},
      {20, 0, 0, 60, 1, 0, "no base diameter, no base"},
  };
  for (const Case& c : cases) {
    ProjectInput in = project({layerOf(kSand, 100, soil(120, c.n, c.phi), soil(120, c.n, c.phi))});
    in.IMOD = c.imod;
    SoilResistance s(in);
    const BaseResistance r = s.sandBase(0, c.tip, c.b);
    EXPECT_NEAR(r.load, c.load, 1e-3 * std::max(Real(1), c.load)) << c.why;
  }
}

TEST(ClayBase, NcFrAndTheClayCap) {
  struct Case {
    int code;
    Real cohesion, n, nc, b, tip, load;
    const char* why;
  };
  const Real a3 = 0.7854F * 9;
  const Case cases[] = {
      {kClay, 2000, 0, 9, 3, 30, 9 * a3, "su = 1 tsf, Nc 9: q = 9 tsf"},
      // Nc from the strength: 6.5 + 1.5 (750 - 500)/500 = 7.25; su = 0.375: q = 2.71875
      {kClay, 750, 0, 0, 3, 30, 0.375F * 7.25F * a3, "estimated Nc from cohesion"},
      // L = 6 < 3 B = 9: 7.25 x (2/3)(1 + 6/18) = 6.44444; q = 0.375 x 6.44444
      {kClay, 750, 0, 0, 3, 6, 0.375F * 7.25F * (2.0F / 3) * (1 + 6.0F / 18) * a3, "shallow tip"},
      // B = 8: a = 0.0071 + 0.0021 x 5 = 0.0176 -> 0.015; b = 0.45 sqrt(2) = 0.63640;
      // Fr = 2.5/(12 x 0.015 x 8 + 2.5 x 0.63640) = 2.5/3.03099 = 0.824813;
      // Q = 9 x 50.2656 x 0.824813 = 373.137
      {kClay, 2000, 0, 9, 8, 40, 373.137F, "large base"},
      {kClay, 20000, 0, 9, 3, 30, 40 * a3, "clay capped at 40 tsf"},
      {kShale, 20000, 0, 9, 3, 30, 90 * a3, "shale not capped"},
      {kClay, 0, 20, 9, 3, 30, 2 * 9 * a3, "no cohesion: su = N/10 = 2 tsf"},
      // Estimated Nc from the N-based strength 2 tsf = 4000 lb/ft^2: 9
      {kClay, 0, 20, 0, 3, 30, 2 * 9 * a3, "estimated Nc from N-based strength"},
      {kClay, 2000, 0, 9, 0, 30, 0, "no base diameter"},
  };
  for (const Case& c : cases) {
    ProjectInput in = project({layerOf(c.code, 100, soil(120, c.n, 0, c.cohesion, 0, c.nc),
                                       soil(120, c.n, 0, c.cohesion, 0, c.nc))});
    SoilResistance s(in);
    s.completeAll();
    const BaseResistance r = s.baseResistance(0, c.tip, c.b);
    EXPECT_NEAR(r.load, c.load, 1e-3 * std::max(Real(1), c.load)) << c.why;
  }
}

TEST(StrongRockBase, KspRuleAndTheSideOrBaseSwitch) {
  // qu = 288000 lb/ft^2, s = 1 ft, aperture 0.001 ft, Bs = 2 ft:
  // Ksp = (3 + 0.5)/(10 sqrt(1 + 0.3)) = 0.306970; Q = 3 x 144 x 0.306970 x 3.1416 = 416.61
  struct Case {
    int code;
    Real qu, spacing, aperture, ds, load;
    const char* why;
  };
  const Case cases[] = {
      {kStrongRock, 288000, 1, 0.001F, 2, 416.61F, "code 7"},
      {kStrongRockSideOrBase, 288000, 1, 0.001F, 2, 416.61F, "code 4 above 1000 psi: end bearing"},
      {kStrongRockSideOrBase, 144000, 1, 0.001F, 2, 0, "code 4 at 1000 psi: side only"},
      {kStrongRock, 288000, 0, 0, 2, 3 * 144 * 0.3F * 3.1416F, "no spacing, tight: Ksp 0.3"},
      {kStrongRock, 288000, 0, 0.01F, 2, 0, "no spacing, open joints: no base"},
      // Socket diameter not given: the base diameter 3 ft.
      // Ksp = (3 + 1/3)/(10 sqrt(1.3)) = 0.292353; Q = 432 x 0.292353 x 7.0686 = 892.74
      {kStrongRock, 288000, 1, 0.001F, 0, 892.74F, "base diameter"},
  };
  for (const Case& c : cases) {
    ProjectInput in = project({layerOf(c.code, 50, rock(c.qu, 576000, c.spacing, c.aperture, c.ds),
                                       rock(c.qu, 576000, c.spacing, c.aperture, c.ds))});
    SoilResistance s(in);
    const BaseResistance r = s.baseResistance(0, 30, 3);
    EXPECT_NEAR(r.load, c.load, 0.01 * std::max(Real(1), c.load / 100)) << c.why;
  }
}

// ---------------------------------------------------------------------------

TEST(ChenKulhawy, PublishedExampleAndPassiveBound) {
  // FHWA GEC-10 (2018) Appendix A: N60 = 30, m = 0.6:
  // sigma_p' = 0.47 pa N^m = 994.379 x 30^0.6 = 994.379 x 7.69607 = 7652.9 (~7654).
  // sigma_v' = 4645: OCR = 1.64755; K = (1 - sin 40) 1.64755^(sin 40)
  // = 0.357212 x 1.37843 = 0.49239, below Kp = tan^2(65) = 4.5989.
  EXPECT_NEAR(0.47F * kIgmAtmosphere * std::pow(30.0F, 0.6F), 7654, 5);
  EXPECT_NEAR(chenKulhawyK(30, 0.6F, 4645, 40), 0.4924F, 1e-3);
  // N = 100, m = 1.5, sigma_v' = 100: OCR = 9944; K = 0.5 x 99.7 = 49.9 > Kp(30) = 3.
  EXPECT_NEAR(chenKulhawyK(100, 1.5F, 100, 30), 3.0F, 1e-4);
  EXPECT_NEAR(chenKulhawyK(10, 0.6F, 0, 30), 3.0F, 1e-4);  // no stress: the bound
  EXPECT_NEAR(chenKulhawyK(0, 0.6F, 1000, 30), 0.5F, 1e-5);  // N = 0: OCR 1, K0 = 1 - sin 30
  EXPECT_TRUE(std::isfinite(chenKulhawyK(0, -2, 1000, 95)));
}

struct SliceCase {
  const char* why;
  Layer layer;
  int kcycl;
  Real depth;
  Real fs;
};

TEST(SideResistance, EveryModelAtASlice) {
  WeakRockRunState rockState;
  LayerEnd ko = soil(120, 0, 30, 0, 1);
  LayerEnd looseBeta = soil(120, 10);
  LayerEnd userBeta = soil(120, 10, 0, 0, 3);
  LayerEnd clay = soil(120, 0, 0, 1000, 0.5F);
  LayerEnd clayN = soil(120, 10);
  LayerEnd shaleN = soil(120, 53);
  Layer sandKo = layerOf(kSand, 20, ko, ko);
  Layer sandBeta = layerOf(kSand, 20, looseBeta, looseBeta);
  sandBeta.sandMethod = kBetaMethod;
  Layer sandBetaUser = layerOf(kSand, 20, userBeta, userBeta);
  sandBetaUser.sandMethod = kBetaMethod;
  Layer clayCapped = layerOf(kClay, 20, clay, clay);
  clayCapped.maxSide = 300;
  Layer sandCohesion = sandKo;
  sandCohesion.end[0].cohesion = sandCohesion.end[1].cohesion = 500;

  const SliceCase cases[] = {
      // sigma_v' (10 ft) = 1200; X = 1200 tan 30 = 692.82; fs = 1 x 692.82/2000
      {"sand Ko", sandKo, 1, 10, 0.346410F},
      {"sand has no cohesion term", sandCohesion, 1, 10, 0.346410F},
      // uplift: x RCYCL 0.75 x RATIO 2 = 1.5
      {"sand Ko uplift", sandKo, 2, 10, 0.519615F},
      // beta estimated at 16 ft, N = 10: 0.64; mid-slice stress 1920 - 60 = 1860;
      // fs = 0.64 x 1860/2000 = 0.5952
      {"sand beta estimated", sandBeta, 1, 16, 0.5952F},
      {"sand beta uplift", sandBeta, 2, 16, 0.5952F * 0.75F},
      {"sand beta capped at 2.1", sandBetaUser, 1, 16, 2.1F},
      {"gravelly sand capped at 2.1", layerOf(kGravellySand, 20, userBeta, userBeta), 1, 16, 2.1F},
      // gravel keeps 3 x 1860/2000 = 2.79
      {"gravel not capped", layerOf(kGravel, 20, userBeta, userBeta), 1, 16, 2.79F},
      // 0.5 x 1000/2000
      {"clay", layerOf(kClay, 20, clay, clay), 1, 10, 0.25F},
      {"clay limited by its maximum 300 lb/ft^2", clayCapped, 1, 10, 0.15F},
      // no cohesion: X = 200 x 10 = 2000, alpha estimated 0.55
      {"clay from N", layerOf(kClay, 20, clayN, clayN), 1, 10, 0.55F},
      // X = 2000 x 53/53 = 2000
      {"shale from N", layerOf(kShale, 20, shaleN, shaleN), 1, 10, 0.55F},
      // q = min(288000, 576000) > 40320: X = 144 x 2.5 sqrt(2000) = 16099.7
      {"strong rock 7", layerOf(kStrongRock, 20, rock(288000, 576000, 1, 0, 2), rock(288000, 576000, 1, 0, 2)), 1,
       10, 8.049845F},
      {"strong rock 4 above 1000 psi carries no side", layerOf(kStrongRockSideOrBase, 20, rock(288000, 576000, 1, 0, 2),
                                                                rock(288000, 576000, 1, 0, 2)),
       1, 10, 0},
      {"strong rock 4 in uplift", layerOf(kStrongRockSideOrBase, 20, rock(288000, 576000, 1, 0, 2),
                                          rock(288000, 576000, 1, 0, 2)),
       2, 10, 8.049845F * 0.75F},
      // q = 20000 <= 40320: X = 3000
      {"weak strong rock", layerOf(kStrongRock, 20, rock(20000, 0, 1, 0, 2), rock(20000, 0, 1, 0, 2)), 1, 10, 1.5F},
  };
  for (const SliceCase& c : cases) {
    ProjectInput in = project({c.layer});
    in.KCYCL = c.kcycl;
    in.RCYCL = 0.75F;
    in.RATIO = 2;
    SoilResistance s(in);
    s.completeAll();
    const SliceResistance r = s.slice(0, c.depth, 20, rockState);
    EXPECT_NEAR(r.unitSide, c.fs, 1e-4) << c.why;
  }
}

TEST(SideResistance, ChenKulhawySliceFollowsTheChain) {
  // 120 lb/ft^3, 10 ft: sigma_v' = 1200 = 8.33 lb/in^2; N = 30 reads
  // phi = 45 at the top (p = 0) and 39 + (20 - 16.67)(45 - 39)/20 = 40 at the
  // bottom (2400 lb/ft^2 = 16.67 lb/in^2): 42.5 at 10 ft, the interface angle too.
  // sigma_p' = 994.379 x 30^0.6 = 7652.9; OCR = 7652.9/1200 = 6.37740;
  // sin 42.5 = 0.675590; K = 0.324410 x 6.37740^0.675590 = 0.324410 x 3.49632 = 1.13424;
  // X = 1200 tan 42.5 = 1099.60; fs = 1.13424 x 1099.60/2000 = 0.62360
  LayerEnd e = soil(120, 30, 0, 0, 0.6F);
  Layer l = layerOf(kSand, 20, e, e);
  l.sandMethod = kChenKulhawyMethod;
  ProjectInput in = project({l});
  SoilResistance s(in);
  s.completeAll();
  WeakRockRunState rockState;
  const SliceResistance r = s.slice(0, 10, 20, rockState);
  EXPECT_NEAR(r.coefficient, 1.13424F, 1e-3);
  EXPECT_NEAR(r.unitSide, 0.62360F, 1e-3);
}

TEST(SideResistance, ValuesAtTheSliceDepthAndTheUnitWeightError) {
  // Clay 10-20 ft, cohesion 1000 at the top and 3000 at the bottom, alpha 0.5:
  // at 15 ft c = 2000, fs = 0.5; beyond the bottom the value stays 3000.
  LayerEnd top = soil(40, 0, 0, 1000, 0.5F);
  LayerEnd bot = soil(40, 0, 0, 3000, 0.5F);
  ProjectInput in = project({layerOf(kSand, 10, soil(120, 0, 30, 0, 1), soil(120, 0, 30, 0, 1)),
                             layerOf(kClay, 20, top, bot)});
  SoilResistance s(in);
  s.completeAll();
  WeakRockRunState rockState;
  const SliceResistance at15 = s.slice(1, 15, 20, rockState);
  const SliceResistance at205 = s.slice(1, 20.5F, 21, rockState);
  EXPECT_NEAR(at15.unitSide, 0.5F, 1e-5);
  EXPECT_NEAR(at205.unitSide, 0.75F, 1e-5);
  // Unit weight 40 < 50: the run-notes error at each slice.
  const std::string block =
      "\r\n     *********************ERROR**********************\r\n"
      "     PLEASE INPUT THE TOTAL UNIT WEIGHT FOR THE SOIL.  THE PROGRAM\r\n"
      "     WILL CONSIDER THE SUBMERGED UNIT WEIGHT INTERNALLY IF THE SOIL\r\n"
      "     IS BELOW THE WATER TABLE WHICH SHOULD BE ENTERED BY THE USER\r\n\r\n";
  EXPECT_TRUE(at15.lowUnitWeight && at205.lowUnitWeight);
  EXPECT_FALSE(s.slice(0, 5, 20, rockState).lowUnitWeight);
  EXPECT_EQ(test::crlfText(unitWeightMessage()), block);
}

LayerEnd allFields(Real v) {
  LayerEnd e;
  for (Real* f : {&e.nc, &e.unitWeight, &e.frictionAngle, &e.interfaceAngle, &e.cohesion, &e.blowCount,
                  &e.sideParameter, &e.rockStrength, &e.concreteStrength, &e.jointSpacing, &e.jointThickness,
                  &e.socketDiameter, &e.rockModulus, &e.rqd, &e.poissonRatio, &e.youngModulus,
                  &e.interfaceCondition, &e.slump, &e.interfaceFrictionAngle}) {
    *f = v;
  }
  return e;
}

TEST(SideResistance, DegenerateInputsGiveFiniteValues) {
  // Zero, negative or not-a-number inputs, zero thickness, a zero diameter:
  // every result finite and not negative.
  struct Case {
    int code;
    LayerEnd end;
    Real bottom;
  };
  std::vector<Case> cases;
  for (int code = 1; code <= 9; ++code) {
    cases.push_back({code, LayerEnd{}, 0});
    cases.push_back({code, allFields(-7), 10});
    cases.push_back({code, allFields(std::nanf("")), 10});
  }
  for (const Case& c : cases) {
    const int code = c.code;
    Layer l = layerOf(code, c.bottom, c.end, c.end);
    l.sandMethod = kChenKulhawyMethod;
    ProjectInput in = project({l});
    in.DSTART = 0;
    in.KCYCL = 2;
    in.RATIO = 3;
    SoilResistance s(in);
    s.completeAll();
    WeakRockRunState rockState;
    for (Real z : {Real(0), Real(0.5F), Real(5)}) {
      const SliceResistance r = s.slice(0, z, z, rockState);
      EXPECT_TRUE(std::isfinite(r.unitSide) && r.unitSide >= 0) << code;
      EXPECT_TRUE(std::isfinite(r.strengthTerm)) << code;
      EXPECT_TRUE(std::isfinite(r.base.load)) << code;
      for (Real b : {Real(0), Real(3)}) {
        const BaseResistance base = s.baseResistance(0, z, b);
        EXPECT_TRUE(std::isfinite(base.load) && base.load >= 0) << code;
      }
    }
  }
}

}  // namespace
}  // namespace pylar::engine
