// Intermediate geomaterials: chart tables, the weak-rock socket quantities and
// checks, and the decomposed-rock slice, against hand-computed values.
#include "igm_resistance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "capacity_driver.h"
#include "igm_charts.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

constexpr Real kMPa = 20885.0F;  // lb/ft^2

TEST(IgmCharts, AdhesionFactorReadsTheDigitisedCurves) {
  struct Case {
    Real sn, quMPa, alpha;
    const char* why;
  };
  const Case cases[] = {
      {1, 0.5F, 0.202028986F, "first point of curve 1"},
      {1, 0.1F, 0.202028986F, "below the chart: end value"},
      {1, 9.0F, 0.067536232F, "above the chart: end value"},
      {2, 0.5728577335F, 0.311014493F, "halfway between the first two points of curve 2"},
      {1.5F, 5.0F, 0.083768116F, "between curves 1 (0.0675362) and 2 (0.1) at 5 MPa"},
      {0.3F, 5.0F, 0.067536232F, "below the lowest curve: curve 1"},
      {9.0F, 5.0F, 0.149855072F, "above the highest curve: curve 7"},
      {7.0F, 0.5F, 0.49884058F, "curve 7 truncated near 0.5"},
  };
  for (const Case& c : cases) EXPECT_NEAR(adhesionFactor(c.sn, c.quMPa * kMPa), c.alpha, 1e-6) << c.why;
}

TEST(IgmCharts, TablesAreMonotoneWhereTheChartsAre) {
  for (Real sn = 1; sn <= 7; sn += 0.5F) {
    Real previous = 1;
    for (Real q = 0.2F; q <= 6; q += 0.05F) {
      const Real a = adhesionFactor(sn, q * kMPa);
      EXPECT_LE(a, previous + 1e-7) << "alpha falls with qu: " << sn << " " << q;
      previous = a;
      // Rising sigma_n/pa raises alpha; the digitised curves 5-7 touch within 0.001.
      EXPECT_GE(adhesionFactor(sn + 0.5F, q * kMPa), a - 1.0e-3F) << sn << " " << q;
    }
  }
  for (Real slump : {-3.0F, 0.0F, 4.0F, 7.0F, 9.0F, 30.0F}) {
    Real previous = 2;
    for (Real z = -5; z <= 60; z += 1) {
      const Real m = fluidPressureFactor(slump, z);
      EXPECT_TRUE(m > 0 && m <= previous) << slump << " " << z;
      EXPECT_GE(fluidPressureFactor(slump + 1, z), m);
      previous = m;
    }
  }
  EXPECT_FLOAT_EQ(fluidPressureFactor(7, 20), 0.65F);
  Real previousRatio = 0;
  for (Real rqd = -20; rqd <= 120; rqd += 5) {
    const Real closed = modulusRatioFromRqd(rqd, false);
    EXPECT_GE(closed, previousRatio);
    EXPECT_GE(closed, modulusRatioFromRqd(rqd, true));
    previousRatio = closed;
  }
}

TEST(IgmCharts, RqdAndJointingTables) {
  EXPECT_FLOAT_EQ(modulusRatioFromRqd(35, false), 0.1F);   // halfway 0.05 .. 0.15
  EXPECT_FLOAT_EQ(modulusRatioFromRqd(10, false), 0.05F);  // below the table
  EXPECT_FLOAT_EQ(modulusRatioFromRqd(-40, true), 0.05F);  // negative RQD: the end value
  EXPECT_FLOAT_EQ(modulusRatioFromRqd(100, true), 0.6F);
  EXPECT_FLOAT_EQ(modulusRatioFromRqd(60, true), 0.2F);     // 0.1 + 0.5 (0.3 - 0.1)
  EXPECT_FLOAT_EQ(jointFactor(0.2F), 0.625F);               // 0.55 + 0.5 (0.7 - 0.55)
  EXPECT_FLOAT_EQ(jointFactor(0.01F), 0.3F);
  EXPECT_FLOAT_EQ(jointFactor(2), 1.0F);
  EXPECT_FLOAT_EQ(smoothSocketN(1000, 10, 0.3F), 0.3F);
  EXPECT_FLOAT_EQ(smoothSocketN(1000, 10, 7), 1.0F);
  EXPECT_FLOAT_EQ(smoothSocketN(1000, 10, -1), 0.0F);
}

// ---------------------------------------------------------------------------

WeakRockPoint point(int condition, Real qu = 100000) {
  WeakRockPoint p;
  p.qu = qu;
  p.slump = 7;
  p.interfaceFriction = 30;
  p.rqd = 100;
  p.socketDiameter = 3;
  p.condition = condition;
  return p;
}

TEST(WeakRock, SocketQuantitiesRoughAndSmooth) {
  // zc = 20 ft: M = 0.65, sigma_n = 150 x 20 x 0.65 = 1950; sigma_n/pa = 0.922
  // reads curve 1; qu = 100000 = 4.788 MPa: alpha = 0.0675362.
  // RQD 100, closed joints: Em/Ei = 1, phi_j = 1. Rough: fa = 0.5 qu = 50000.
  // Em = 36000 tsf (500000 lb/in^2), Ec = 259200 tsf: g = log10(7.2) = 0.857332.
  // e = 12, Ds = 3: lambda = 2; Gamma = 0.74 + 0.13 - 0.15 g = 0.741400;
  // Omega = 2.28 - 0.44 - 0.05 g = 1.797133; n = 1950/100000 = 0.0195.
  // Theta = 2000 x 36000 x 1.797133/(3.1416 x 12 x 50000 x 0.741400) x 0.15 = 13.8883
  // X = 50000 (0.0195 + 13.8688 x 0.9805/(0.961 + 13.8883)) = 46762.9
  // Base: bracket = 200 x 5 x (2 - 1.797133)/(957.5597 x 12 x 0.7414) = 0.0238128;
  // T = 1.28318 x 4 x 36000 x 0.0238128^0.67/5 = 3020.96;
  // 20.88 (45.72)^0.67 T = 816858 > 2.5 qu = 250000: qb = 250000.
  const WeakRockTerms rough = weakRockTerms(point(1), 36000, 259200, 20, 12, 0.15F);
  EXPECT_FLOAT_EQ(rough.fluidPressureFactor, 0.65F);
  EXPECT_NEAR(rough.normalStress, 1950, 1e-2);
  EXPECT_NEAR(rough.alpha, 0.0675362F, 1e-6);
  EXPECT_NEAR(rough.maxSide, 50000, 1e-1);
  EXPECT_NEAR(rough.n, 0.0195F, 1e-6);
  EXPECT_NEAR(rough.gamma, 0.741400F, 1e-5);
  EXPECT_NEAR(rough.omega, 1.797133F, 1e-5);
  EXPECT_NEAR(rough.theta, 13.8883F, 1e-3);
  EXPECT_NEAR(rough.mobilisedSide, 46762.9F, 1.0);
  EXPECT_NEAR(rough.unitBase, 250000, 1.0);
  // qu = 400000 lifts the cap to 1e6: the movement term 816858 governs
  // (T does not depend on qu).
  EXPECT_NEAR(weakRockTerms(point(1, 400000), 36000, 259200, 20, 12, 0.15F).unitBase, 816858, 50);

  // Smooth, closed joints: fa = alpha qu tan 30/tan 30 = 6753.62.
  const WeakRockTerms smooth = weakRockTerms(point(2), 36000, 259200, 20, 12, 0.15F);
  EXPECT_NEAR(smooth.maxSide, 6753.62F, 0.05);
  // Open joints, RQD 100: Em/Ei = 0.6, phi_j = 0.8 + 0.2 x 0.1/0.5 = 0.84;
  // rough fa = 50000 x 0.84 = 42000.
  EXPECT_NEAR(weakRockTerms(point(3), 36000, 259200, 20, 12, 0.15F).maxSide, 42000, 0.5);
  // A movement of 0.0001 ft: Theta = 13.8883 x 0.0001/0.15 = 0.00926 < n = 0.0195,
  // the linear part: X = fa Theta.
  const WeakRockTerms early = weakRockTerms(point(1), 36000, 259200, 20, 12, 0.0001F);
  EXPECT_NEAR(early.mobilisedSide, 50000 * early.theta, 1e-2);
  EXPECT_LT(early.theta, early.n);
  // Just past n: movement 0.15 x 0.03/13.8883 = 0.000324 ft gives Theta = 0.03;
  // X = 50000 (0.0195 + 0.0105 x 0.9805/(1 - 0.039 + 0.03)) = 50000 x 0.0298887 = 1494.4
  EXPECT_NEAR(weakRockTerms(point(1), 36000, 259200, 20, 12, 0.15F * 0.03F / 13.8883F).mobilisedSide, 1494.4F, 0.5);
}

TEST(WeakRock, DegenerateInputsStayFinite) {
  struct Case {
    WeakRockPoint p;
    Real meanEi, ec, zc, e, w;
    const char* why;
  };
  WeakRockPoint noDiameter = point(1);
  noDiameter.socketDiameter = 0;
  WeakRockPoint noStrength = point(2, 0);
  WeakRockPoint weird = point(1);
  weird.rqd = -50;
  weird.slump = -4;
  weird.interfaceFriction = 120;
  const Case cases[] = {
      {point(1), 0, 259200, 20, 12, 0.15F, "zero intact modulus"},
      {point(1), 36000, 0, 20, 12, 0.15F, "zero concrete modulus"},
      {noDiameter, 36000, 259200, 20, 12, 0, "zero socket diameter"},
      {noStrength, 36000, 259200, 20, 12, 0.15F, "zero strength"},
      {point(1), 36000, 259200, 0, 0, 0.15F, "no embedment, no fluid concrete"},
      {point(2), 1.0e9F, 1, 20, 500, 0.15F, "Ec/Em tiny: Gamma negative"},
      {weird, 36000, 259200, 20, 12, -1, "negative RQD, slump, movement"},
  };
  for (const Case& c : cases) {
    const WeakRockTerms t = weakRockTerms(c.p, c.meanEi, c.ec, c.zc, c.e, c.w);
    for (Real v : {t.normalStress, t.alpha, t.maxSide, t.rockMassModulus, t.n, t.lambda, t.gamma, t.omega,
                   t.theta, t.mobilisedSide, t.unitBase}) {
      EXPECT_TRUE(std::isfinite(v)) << c.why;
    }
    EXPECT_GE(t.mobilisedSide, 0) << c.why;
    EXPECT_LE(t.mobilisedSide, t.maxSide) << c.why;
    EXPECT_GE(t.unitBase, 0) << c.why;
  }
}

// ---------------------------------------------------------------------------
// Weak-rock slices in a profile: sand 0-10 ft over weak rock 10-100 ft.

ProjectInput rockProfile(Real ds, Real eiPsi, int condition = 1) {
  ProjectInput in;
  in.waterTable = 1000;
  in.DSTART = 3;
  in.Ec = 3.6e6F;
  Layer sand;
  sand.code = kSand;
  sand.bottom = 10;
  sand.end[0].unitWeight = sand.end[1].unitWeight = 120;
  sand.end[0].frictionAngle = sand.end[1].frictionAngle = 32;
  Layer weak;
  weak.code = kWeakRock;
  weak.bottom = 100;
  for (LayerEnd& e : weak.end) {
    e.rockStrength = 100000;
    e.slump = 7;
    e.interfaceFrictionAngle = 30;
    e.rockModulus = eiPsi;
    e.rqd = 100;
    e.socketDiameter = ds;
    e.interfaceCondition = static_cast<Real>(condition);
  }
  in.layers = {sand, weak};
  return in;
}

std::string block(const std::string& valueLine, std::initializer_list<const char*> message) {
  std::string s = "                     WARNING MESSAGE                \r\n   " + std::string(60, '-') + "\r\n" +
                  valueLine + "\r\n";
  for (const char* m : message) s += std::string(m) + "\r\n";
  return s + "\r\n\r\n";
}

const char* const kLengthMessage = "     L/D SHOULD BE GREATER THAN 2.0 AND LESS THAN 20.0";

std::string warningText(const std::vector<SocketWarning>& warnings) {
  std::string text;
  for (const SocketWarning& w : warnings) text += test::crlfText(w.block);
  return text;
}

TEST(WeakRock, SliceMatchesTheSocketQuantitiesAndChecksTheModulusRatio) {
  // Tip 30 ft, rock top 10 ft: zc = (30 + 10)/2 = 20; slice at 22 ft:
  // e = max(3, 12) = 12: the case of SocketQuantitiesRoughAndSmooth.
  // Ei 500000 lb/in^2 = 36000 tsf; Ec/Em = 7.2 < 10 writes the modulus block.
  ProjectInput in = rockProfile(3, 500000);
  WeakRockRunState state;
  const WeakRockSlice s = weakRockSlice(in, 1, 22, 30, state);
  EXPECT_NEAR(s.socketLength, 20, 1e-5);
  EXPECT_NEAR(s.embedment, 12, 1e-5);
  EXPECT_NEAR(s.side, 46762.9F, 1.0);
  EXPECT_NEAR(s.base.load, 0.7854F * 9 * 250000 / 2000, 0.01);  // 883.575 tons
  EXPECT_EQ(state.intactModulusCount, 1);
  const std::string expected = block("                         Ec/Em =      7.20",
                                     {"     Ec/Em SHOULD BE GREATER THAN 10.0 AND LESS THAN 500.0"});
  EXPECT_EQ(warningText(socketWarnings(s.check, 30)), expected);

  // A smooth socket returns fa whatever the displacement term.
  ProjectInput smoothIn = rockProfile(3, 500000, 2);
  WeakRockRunState smoothState;
  const WeakRockSlice smooth = weakRockSlice(smoothIn, 1, 22, 30, smoothState);
  EXPECT_NEAR(smooth.side, 6753.62F, 0.05);
  EXPECT_NEAR(smooth.side, smooth.terms.maxSide, 1e-3);
}

TEST(WeakRock, LengthWarningEverySliceInRunNotesOncePerPierInRockMessages) {
  // Ds = 2, rock top 10, tip 70: slice 60 ft has e = 50 = 25 diameters (> 20);
  // Ls/Ds = 30. Ei 100000 lb/in^2: Ec/Em = 36, no modulus block; Ds >= 1.64.
  ProjectInput in = rockProfile(2, 100000);
  WeakRockRunState state;
  SliceProfile pier;
  pier.slices.resize(59);  // slices 1 to 59 have nothing to say
  for (Real z : {60.0F, 61.0F}) pier.slices.emplace_back().socketCheck = weakRockSlice(in, 1, z, 70, state).check;
  const std::string at25 = block("                SOCKET LENGTH/SOCKET DIAMETER =     25.00", {kLengthMessage});
  const std::string at255 = block("                SOCKET LENGTH/SOCKET DIAMETER =     25.50", {kLengthMessage});
  const Messages m = pierMessages(pier, 70);
  EXPECT_EQ(test::crlfText(m.notes), at25 + at255);
  EXPECT_EQ(test::crlfText(m.rockFile), at25);
  // Every pier has its own messages: the next pier warns in the rock-message
  // file again; a tip above the slices leaves them out.
  EXPECT_EQ(test::crlfText(pierMessages(pier, 70).rockFile), at25);
  EXPECT_TRUE(pierMessages(pier, 59).notes.empty());
  state.resetForPier();
  EXPECT_EQ(state.intactModulusCount, 0);

  // A short socket: tip 13, Ls = 3 = 1.5 diameters.
  WeakRockRunState shortState;
  EXPECT_EQ(warningText(socketWarnings(weakRockSlice(in, 1, 12, 13, shortState).check, 13)),
            block("                SOCKET LENGTH/SOCKET DIAMETER =      1.50", {kLengthMessage}));
}

TEST(WeakRock, DiameterAndModulusChecks) {
  struct Case {
    Real ds, eiPsi, ec;
    std::string expected;
  };
  const std::string diameter15 =
      block("                         Diameter (FT) =      1.50",
            {"     SOCKET DIAMETER SHOULD BE GREATER THAN 0.5 m or 1.64 ft", "     AND LESS THAN 1.53 m or 5 ft."});
  const Case cases[] = {
      {1.5F, 100000, 3.6e6F, diameter15},
      {6.0F, 100000, 3.6e6F, ""},
      // Ei = 0: no rock-mass modulus, the ratio prints as asterisks.
      {6.0F, 0, 3.6e6F,
       block("                         Ec/Em = *********", {"     Ec/Em SHOULD BE GREATER THAN 10.0 AND LESS THAN 500.0"})},
      {6.0F, 100000, 0,
       block("                         Ec/Em =      0.00", {"     Ec/Em SHOULD BE GREATER THAN 10.0 AND LESS THAN 500.0"})},
  };
  for (const Case& c : cases) {
    // Tip 40, slice 30: e = 20, Ls = 30; with Ds 1.5 e/Ds = 13.3, with 6 3.33: no length block.
    ProjectInput in = rockProfile(c.ds, c.eiPsi);
    in.Ec = c.ec;
    WeakRockRunState state;
    const WeakRockSlice s = weakRockSlice(in, 1, 30, 40, state);
    EXPECT_EQ(warningText(socketWarnings(s.check, 40)), c.expected) << c.ds;
    EXPECT_TRUE(std::isfinite(s.side) && std::isfinite(s.base.load));
  }
  // No socket diameter and no pier diameter: finite, and the diameter block says 0.00.
  ProjectInput none = rockProfile(0, 100000);
  none.DSTART = 0;
  WeakRockRunState state;
  const WeakRockSlice s = weakRockSlice(none, 1, 30, 40, state);
  EXPECT_TRUE(std::isfinite(s.side) && std::isfinite(s.base.load));
  EXPECT_NE(warningText(socketWarnings(s.check, 40)).find("Diameter (FT) =      0.00"), std::string::npos);
}

TEST(WeakRock, RockTopIgnoresGravelAndInvalidConditionsReadAsSmoothOpen) {
  ProjectInput in = rockProfile(3, 500000);
  in.layers.front().code = kGravel;
  EXPECT_EQ(rockTop(in), 10);
  in.layers.front().code = kStrongRock;
  EXPECT_EQ(rockTop(in), 0);
  in.layers = {in.layers.front()};
  in.layers.front().code = kClay;
  EXPECT_EQ(rockTop(in), -1);

  Layer l;
  l.code = kWeakRock;
  for (Real v : {Real(0), Real(7), Real(-1)}) {
    l.end[0].interfaceCondition = l.end[1].interfaceCondition = v;
    EXPECT_EQ(interfaceCondition(l), 4) << v;
  }
  l.end[1].interfaceCondition = 3;
  EXPECT_EQ(interfaceCondition(l), 3);
}

// ---------------------------------------------------------------------------

TEST(DecomposedRock, PublishedCorrelationsAtNThirtyAndOneAtmosphere) {
  // sigma_v' = pa = 2115.7, N = 30: phi' = atan((30/32.5)^0.34) = atan(0.973152) = 44.2205 deg;
  // OCR = 0.2 x 30 = 6; X = (1 - sin phi)(6^sin phi) tan(0.75 phi) pa
  // = 0.302579 x 3.48898 x 0.653518 x 2115.7 = 1459.65;
  // Qb = 1.6853898 x 2115.7 x 6^0.8 x 2^2/2000 = 29.902 tons.
  const DecomposedRockSlice d = decomposedRockValues(30, kIgmAtmosphere, 2);
  EXPECT_NEAR(d.frictionAngle, 44.2205F, 1e-3);
  EXPECT_NEAR(d.ocr, 6, 1e-4);
  EXPECT_NEAR(d.side, 1459.65F, 0.05);
  EXPECT_NEAR(d.base.load, 29.902F, 1e-3);
  // No stress or no blow count: no resistance, nothing undefined.
  for (const DecomposedRockSlice& z : {decomposedRockValues(30, 0, 2), decomposedRockValues(0, 2000, 2),
                                       decomposedRockValues(30, 2000, 0)}) {
    EXPECT_TRUE(std::isfinite(z.side) && std::isfinite(z.base.load) && std::isfinite(z.frictionAngle));
  }
  EXPECT_EQ(decomposedRockValues(0, 2000, 2).side, 0);
  EXPECT_EQ(decomposedRockValues(0, 2000, 2).base.load, 0);
}

TEST(DecomposedRock, StressAtTheMiddleOfTheLayerOrAtTheTip) {
  ProjectInput in;
  in.DSTART = 3;
  in.waterTable = 1000;
  Layer top;
  top.code = kSand;
  top.bottom = 10;
  top.end[0].unitWeight = top.end[1].unitWeight = 120;
  Layer dr;
  dr.code = kDecomposedRock;
  dr.bottom = 20;
  for (LayerEnd& e : dr.end) {
    e.unitWeight = 130;
    e.blowCount = 30;
    e.socketDiameter = 2;
  }
  in.layers = {top, dr};
  // 120 x 10 + (130 + 130)/4 x 10 = 1850; water at 12: less 62.4 x 3 = 1662.8
  EXPECT_NEAR(midLayerStress(in, 1), 1850, 1e-2);
  in.waterTable = 12;
  EXPECT_NEAR(midLayerStress(in, 1), 1662.8F, 1e-2);
  in.waterTable = 1000;
  EffectiveStressTable table(in);
  // Tip 10.5: 9.5 ft of profile below, more than 2 Ds: the mid-layer stress.
  EXPECT_NEAR(decomposedRockSlice(in, table, 1, 10.5F, 10.5F).effectiveStress, 1850, 1e-2);
  // Tip 18: 2 ft below < 4 ft: the stress at the tip, 1200 + 8 x 130 = 2240.
  EXPECT_NEAR(decomposedRockSlice(in, table, 1, 18, 18).effectiveStress, 2240, 1e-2);
  // Through the slice interface: fs = X/2000 and the base of a tip here.
  SoilResistance s(in);
  s.completeAll();
  WeakRockRunState state;
  const SliceResistance r = s.slice(1, 10.5F, 10.5F, state);
  const DecomposedRockSlice d = decomposedRockValues(30, 1850, 2);
  EXPECT_NEAR(r.unitSide, d.side / 2000, 1e-6);
  EXPECT_TRUE(r.hasBase);
  EXPECT_NEAR(r.base.load, d.base.load, 1e-6);
}

}  // namespace
}  // namespace pylar::engine
