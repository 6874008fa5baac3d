#include "rock_socket.h"

#include <gtest/gtest.h>

#include <cmath>

#include "soil_resistance.h"

namespace pylar::engine {
namespace {

// Curves must never turn back: top load and top movement non-decreasing,
// every value finite.
void expectMonotone(const RockSocketResult& r) {
  for (std::size_t i = 0; i < kRockSocketPoints; ++i) {
    const RockSocketPoint& p = r.points[i];
    EXPECT_TRUE(std::isfinite(p.topLoad) && std::isfinite(p.topMovement) && std::isfinite(p.tipLoad) &&
                std::isfinite(p.tipMovement))
        << "point " << i + 1;
    if (i == 0) continue;
    EXPECT_GE(p.topLoad, r.points[i - 1].topLoad) << "point " << i + 1;
    EXPECT_GE(p.topMovement, r.points[i - 1].topMovement) << "point " << i + 1;
  }
}

TEST(RockSocketTest, ReferenceMovements) {
  // 0.00009 x 1.5^(i-1): 0.00009, 0.000135, ..., 0.00009 x 1.5^11 = 0.0077858;
  // then 0.0125, 0.025, 0.05. Strong rock: 0.00018 x 1.5^(i-1), up to
  // 0.00018 x 1.5^14 = 0.052547.
  const auto weak = weakRockReferenceMovements();
  const Real expectedWeak[] = {0.00009F,  0.000135F, 0.0002025F, 0.00030375F, 0.000455625F,
                               0.00068344F, 0.00102516F, 0.00153773F, 0.0023066F, 0.0034599F,
                               0.0051899F,  0.0077848F, 0.0125F,     0.025F,      0.05F};
  for (std::size_t i = 0; i < kRockSocketPoints; ++i) EXPECT_NEAR(weak[i], expectedWeak[i], 2e-4 * expectedWeak[i]);
  const auto strong = strongRockReferenceMovements();
  EXPECT_FLOAT_EQ(strong[0], 0.00018F);
  EXPECT_FLOAT_EQ(strong[1], 0.00027F);
  EXPECT_NEAR(strong[14], 0.052547F, 1e-5);
}

// A rough socket in weak mudstone: qu 100000 lb/ft^2, 7 in slump, intact
// modulus 50000 lb/in^2 (3600 tons/ft^2), RQD 100 (Em = Ei), a 3 ft socket
// 30 ft long from the ground, Ec 3.6e6 lb/in^2.
RockSocketInput weakSocket() {
  RockSocketInput in;
  in.code = kWeakRock;
  in.pierLength = 30;
  in.socketTop = 0;
  in.socketDiameter = 3;
  in.stemDiameter = 3;
  in.ec = 3.6e6F;
  in.weakRock.qu = 100000;
  in.weakRock.slump = 7;
  in.weakRock.intactModulus = 50000 * kTsfPerPsi;
  in.weakRock.rqd = 100;
  in.weakRock.socketDiameter = 3;
  in.weakRock.condition = 1;
  in.meanIntactModulus = in.weakRock.intactModulus;
  in.sideAbove = 0;
  in.sideTotal = 5000;
  return in;
}

TEST(RockSocketTest, WeakRockSocketFromTheGroundMovesLikeTheSocket) {
  // Pa = P - Ls = 30 - 30 = 0: no shortening, top movement = 12 Ds r(i) in.
  const RockSocketInput in = weakSocket();
  const RockSocketResult r = weakRockRelationship(in);
  ASSERT_TRUE(r.computed);
  EXPECT_FLOAT_EQ(r.lengthAbove, 0);
  EXPECT_FLOAT_EQ(r.socketLength, 30);
  const auto ref = weakRockReferenceMovements();
  for (std::size_t i = 0; i < kRockSocketPoints; ++i) EXPECT_FLOAT_EQ(r.points[i].topMovement, 12 * 3 * ref[i]);
  // Top load: pi Ds Ls fs + 0.7854 Ds^2 qb at the movement, with zc = min(40,
  // 30 - 15) = 15 ft.
  const WeakRockTerms t = weakRockTerms(in.weakRock, in.meanIntactModulus, 3.6e6F * kTsfPerPsi, 15, 30, 3 * 0.05F);
  EXPECT_NEAR(r.points[14].topLoad, (3.1416F * 3 * 30 * t.mobilisedSide + 0.7854F * 9 * t.unitBase) / 2000,
              1e-4 * r.points[14].topLoad);
  expectMonotone(r);
  for (const auto& p : r.points) EXPECT_EQ(p.tipLoad, 0);
}

TEST(RockSocketTest, WeakRockAddsTheShorteningOfThePierAbove) {
  // Rock top at 10 ft, tip at 30 ft: Ls = 20, Pa = 10 ft, stem 3 ft.
  // delta = 10 x 24000 Qt / (3.6e6 x 113.097595 x 9) = Qt x 240000/3.6643621e9
  //       = 6.54958e-5 Qt in.
  RockSocketInput in = weakSocket();
  in.socketTop = 10;
  const RockSocketResult r = weakRockRelationship(in);
  ASSERT_TRUE(r.computed);
  EXPECT_FLOAT_EQ(r.lengthAbove, 10);
  const auto ref = weakRockReferenceMovements();
  for (std::size_t i = 0; i < kRockSocketPoints; ++i)
    EXPECT_NEAR(r.points[i].topMovement, 12 * 3 * ref[i] + 6.54958e-5F * r.points[i].topLoad,
                1e-5F * r.points[i].topMovement);
}

TEST(RockSocketTest, WeakRockSideLimitLeavesFurtherLoadToTheBase) {
  // Qsa = 50 tons above the socket, Qsmax = 550 tons: the side term stops at
  // 550 tons (from point 11, where pi Ds Ls fs reaches about 665 tons) and the
  // load grows by the base term alone.
  RockSocketInput in = weakSocket();
  in.sideAbove = 50;
  in.sideTotal = 550;
  const RockSocketResult r = weakRockRelationship(in);
  ASSERT_TRUE(r.computed);
  const auto ref = weakRockReferenceMovements();
  int capped = 0;
  for (std::size_t i = 0; i < kRockSocketPoints; ++i) {
    const WeakRockTerms t =
        weakRockTerms(in.weakRock, in.meanIntactModulus, 3.6e6F * kTsfPerPsi, 15, 30, 3 * ref[i]);
    const Real base = 0.7854F * 9 * t.unitBase / 2000;
    const Real side = std::min(50 + 3.1416F * 3 * 30 * t.mobilisedSide / 2000, Real(550));
    EXPECT_NEAR(r.points[i].topLoad, side + base, 1e-4 * r.points[i].topLoad) << i;
    if (side == 550) ++capped;
  }
  EXPECT_GT(capped, 0);
  EXPECT_LT(capped, 15);
  EXPECT_NEAR(r.points[14].topLoad - r.points[13].topLoad,
              0.7854F * 9 *
                  (weakRockTerms(in.weakRock, in.meanIntactModulus, 3.6e6F * kTsfPerPsi, 15, 30, 0.15F).unitBase -
                   weakRockTerms(in.weakRock, in.meanIntactModulus, 3.6e6F * kTsfPerPsi, 15, 30, 0.075F).unitBase) /
                  2000,
              1e-3);
  expectMonotone(r);
}

TEST(RockSocketTest, SiPointsAreInKiloNewtonsAndMetres) {
  // SI: Qt x 8.896 kN; w/3.2808 + 0.0254 delta m, with delta in inches.
  RockSocketInput in = weakSocket();
  in.socketTop = 10;
  const RockSocketResult english = weakRockRelationship(in);
  in.si = true;
  const RockSocketResult si = weakRockRelationship(in);
  const auto ref = weakRockReferenceMovements();
  for (std::size_t i = 0; i < kRockSocketPoints; ++i) {
    EXPECT_FLOAT_EQ(si.points[i].topLoad, 8.896F * english.points[i].topLoad);
    const Real delta = english.points[i].topMovement - 36 * ref[i];
    EXPECT_NEAR(si.points[i].topMovement, 3 * ref[i] / 3.2808F + 0.0254F * delta, 1e-6);
  }
}

// Decomposed granite: N 30 (top and bottom), sigma_v' = pa = 2115.7 lb/ft^2,
// E = 10000 lb/in^2 at top and bottom (Em = 1.44e6 lb/ft^2, rho = 1), a 2 ft
// pier 20 ft into the geomaterial, Ec = 3.6e6 lb/in^2 = 259200 tons/ft^2,
// Qsu = 100 tons.
RockSocketInput decomposedSocket() {
  RockSocketInput in;
  in.code = kDecomposedRock;
  in.pierLength = 25;
  in.socketTop = 5;
  in.socketDiameter = 2;
  in.stemDiameter = 2;
  in.ec = 3.6e6F;
  in.blowCount = in.blowCountTop = in.blowCountBottom = 30;
  in.modulusTop = in.modulusBottom = 10000;
  in.effectiveStress = 2115.7F;
  in.sideSocket = 100;
  return in;
}

TEST(RockSocketTest, DecomposedRockByHand) {
  // lambda = 5200 x 259200 / 1.44e6 = 936; Lg/D = 10;
  // zeta = ln(2 x 10 x (2.5 x 1.25 + 0.25)) = ln 67.5 = 4.212128;
  // muL = 20 sqrt(2/(4.212128 x 936)) = 0.450460; tanh(muL)/muL = 0.937435;
  // r = 5.6 (1 + 80 x 0.937435/(4.7124 x 936)) / (125.664 x 0.937435/4.212128 + 4/(0.6 x 2.5))
  //   = 5.6 x 1.017003 / (27.9670 + 2.666667) = 0.185912;
  // 1 - r/(2.1 cosh 0.45046) = 1 - 0.185912/(2.1 x 1.103244) = 0.919751;
  // Qel = 200000/0.919751 = 217450.1 lb = 108.7251 tons;
  // wel = 0.185912 x 217450.1/(1.44e6 x 2) = 0.0140370 ft = 0.168444 in.
  // OCR = 423.13998 x 30/2115.7 = 6.0; Qb = 0.7854 x 4 x 2115.7 x 2.1459 x 6^0.8
  //     = 59804.7 lb; Qr = 259804.7 - 217450.1 = 42354.6 lb;
  // dw = 0.84 x 42354.6/(0.4 x 2 x 1.44e6) = 0.0308835 ft.
  const RockSocketResult r = decomposedRockRelationship(decomposedSocket());
  ASSERT_TRUE(r.computed);
  EXPECT_NEAR(r.elasticLimitLoad, 108.7251F, 0.01);
  EXPECT_NEAR(r.baseResistance, 29.9024F, 0.005);
  struct Expected {
    std::size_t point;
    Real load;      // tons
    Real movement;  // in
  };
  const Expected table[] = {
      {1, 10.87251F, 0.0168444F},   // Qel/10, wel/10
      {10, 108.7251F, 0.168444F},   // the elastic limit
      {11, 114.0194F, 0.261095F},   // Qel + Qr/4, wel + dw/4
      {14, 129.9024F, 0.539046F},   // Qel + Qr, wel + dw
      {15, 129.9024F, 0.646856F},   // 1.2 (wel + dw)
  };
  for (const Expected& e : table) {
    EXPECT_NEAR(r.points[e.point - 1].topLoad, e.load, 2e-4 * e.load) << e.point;
    EXPECT_NEAR(r.points[e.point - 1].topMovement, e.movement, 5e-4 * e.movement) << e.point;
  }
  expectMonotone(r);
}

TEST(RockSocketTest, DecomposedRockNearTheProfileBottomTakesTheStressAtTheTip) {
  // One decomposed-rock layer 0-20 ft of 120 lb/ft^3 above the water table,
  // a 2 ft socket. Mid-layer stress: 120 x 20/2 = 1200 lb/ft^2. A tip at
  // 19 ft lies 1 ft above the profile bottom, less than 2 Ds = 4 ft: the
  // stress at the tip, 120 x 19 = 2280 lb/ft^2, as the capacity analysis
  // takes it. A tip at 10 ft keeps the mid-layer stress.
  ProjectInput p;
  p.waterTable = 1000;
  p.DSTART = 2;
  Layer l;
  l.code = kDecomposedRock;
  l.bottom = 20;
  for (LayerEnd& e : l.end) {
    e.unitWeight = 120;
    e.blowCount = 40;
    e.socketDiameter = 2;
  }
  p.layers = {l};
  EXPECT_NEAR(rockSocketInputFor(p, 0, 19, 2, {}).effectiveStress, 2280, 1e-2);
  EXPECT_NEAR(rockSocketInputFor(p, 0, 10, 2, {}).effectiveStress, 1200, 1e-2);
  // The slice of the capacity analysis agrees at the same tip.
  EXPECT_NEAR(decomposedRockSlice(p, EffectiveStressTable(p), 0, 19, 19).effectiveStress, 2280, 1e-2);
}

TEST(RockSocketTest, DecomposedRockElasticLimitNeverPassesTheUltimate) {
  // N = 0 at the tip gives no base; the elastic limit Qsu/0.955 would exceed
  // the ultimate Qsu, so the elastic line ends at Qsu and the curve stays flat.
  RockSocketInput in = decomposedSocket();
  in.blowCount = 0;
  const RockSocketResult r = decomposedRockRelationship(in);
  ASSERT_TRUE(r.computed);
  EXPECT_NEAR(r.elasticLimitLoad, 100, 1e-3);
  EXPECT_NEAR(r.points[14].topLoad, 100, 1e-3);
  EXPECT_FALSE(r.notes.empty());
  expectMonotone(r);
}

// Strong rock: Ei = 1e6 lb/in^2, RQD 100 (Em = Ei = 1.44e8 lb/ft^2), nu = 0.25,
// G = Em/2.5 = 5.76e7 lb/ft^2; Ec = 4e6 lb/in^2 (5.76e8 lb/ft^2), lambda = 10;
// a 2 ft socket (r0 = 1 ft) 10 ft long from the ground.
RockSocketInput strongSocket(int code) {
  RockSocketInput in;
  in.code = code;
  in.pierLength = 10;
  in.socketTop = 0;
  in.socketDiameter = 2;
  in.stemDiameter = 2;
  in.ec = 4e6F;
  in.intactModulus = 1e6F;
  in.rqd = 100;
  in.sideSocket = 5000;
  in.base = 5000;
  return in;
}

TEST(RockSocketTest, StrongRockInitialStiffnessIsTheElasticSolution) {
  // Randolph and Wroth with L/r0 = 10, lambda = 10:
  // zeta = ln(2.5 x 0.75 x 10) = ln 18.75 = 2.931194;
  // muL = 10 sqrt(2/(2.931194 x 10)) = 2.612118; tanh muL = 0.989289;
  // shaft = (2 pi/2.931194) x 10 x 0.989289/2.612118 = 8.118311;
  // pi lambda mu r0 = pi x 10 x 0.261212 = 8.206210;
  // Pt/(G r0 wt) = (5.333333 + 8.118311)/(1 + 5.333333 x 0.989289/8.206210)
  //              = 13.451644/1.642947 = 8.187480;
  // K = 8.187480 x 5.76e7 x 1 / 2000 = 235799.4 tons/ft.
  // wb/wt = sech(2.612118)/(1 + 0.642946) = 0.145968/1.642946 = 0.0888473;
  // Pb/Pt = 5.333333 x 0.0888473/8.187480 = 0.0578753.
  const RockSocketResult r = rockSocketRelationship(strongSocket(kStrongRock));
  ASSERT_TRUE(r.computed);
  EXPECT_NEAR(r.headStiffness, 235799.4F, 50);
  EXPECT_NEAR(r.baseFraction, 0.0578753F, 2e-5);
  // First point: w = 0.00018 x 2 = 0.00036 ft = 0.00432 in,
  // Pt = 235799.4 x 0.00036 = 84.888 tons, Pb = 0.0578753 x 84.888 = 4.9129 tons,
  // wb = 0.0888473 x 0.00432 = 0.00038382 in.
  EXPECT_NEAR(r.points[0].topLoad, 84.888F, 0.03);
  EXPECT_FLOAT_EQ(r.points[0].topMovement, 0.00432F);
  EXPECT_NEAR(r.points[0].tipLoad, 4.9129F, 0.003);
  EXPECT_NEAR(r.points[0].tipMovement, 0.00038382F, 2e-7);
  expectMonotone(r);
}

TEST(RockSocketTest, StrongRockSideSlipLeavesFurtherLoadToTheBase) {
  // Side capacity 100 tons slips at w = 100/((1 - 0.0578753) x 235799.4)
  // = 0.00045 ft; beyond it the top load grows only with the base, so every
  // increment of top load is an increment of tip load, up to Qsu + Qbu.
  RockSocketInput in = strongSocket(kStrongRock);
  in.sideSocket = 100;
  in.base = 400;
  const RockSocketResult r = rockSocketRelationship(in);
  ASSERT_TRUE(r.computed);
  for (std::size_t i = 2; i < kRockSocketPoints; ++i) {
    EXPECT_NEAR(r.points[i].topLoad - r.points[i].tipLoad, 100, 1e-2) << i;
  }
  EXPECT_NEAR(r.points[14].topLoad, 500, 1e-2);
  expectMonotone(r);
}

TEST(RockSocketTest, APierPulledUpHasNoBaseReaction) {
  // Strong rock (both models): the shaft with a free base, per G r0
  // ks = 8.118311 (StrongRockInitialStiffnessIsTheElasticSolution), so
  // ks G r0 = 8.118311 x 5.76e7 / 2000 = 233807.4 tons/ft. First point
  // w = 0.00036 ft: 84.171 tons at the top, none at the tip, which moves
  // sech(muL) = 0.145968 of the head: 0.00432 x 0.145968 = 0.00063058 in.
  // With Qsu = 100 tons the side slips at w = 100/233807.4 = 0.0004277 ft,
  // and the load stays at 100 tons: the base (400 tons) takes nothing.
  for (int code : {kStrongRock, kStrongRockSideOrBase}) {
    RockSocketInput in = strongSocket(code);
    in.uplift = true;
    const RockSocketResult r = rockSocketRelationship(in);
    ASSERT_TRUE(r.computed);
    EXPECT_NEAR(r.points[0].topLoad, 84.171F, 0.03) << code;
    EXPECT_NEAR(r.points[0].tipMovement, 0.00063058F, 2e-7) << code;
    in.sideSocket = 100;
    in.base = 400;
    const RockSocketResult slipped = rockSocketRelationship(in);
    for (const RockSocketPoint& p : slipped.points) {
      EXPECT_EQ(p.tipLoad, 0) << code;
      EXPECT_LE(p.topLoad, 100 + 1e-3) << code;
    }
    EXPECT_NEAR(slipped.points[14].topLoad, 100, 1e-3) << code;
    expectMonotone(slipped);
  }
  // Decomposed rock: the elastic limit is the side capacity itself, and
  // the plastic branch adds nothing: points 10 to 15 carry Qsu = 100 tons.
  RockSocketInput decomposed = decomposedSocket();
  decomposed.uplift = true;
  const RockSocketResult d = decomposedRockRelationship(decomposed);
  ASSERT_TRUE(d.computed);
  EXPECT_TRUE(d.notes.empty());
  EXPECT_NEAR(d.elasticLimitLoad, 100, 1e-3);
  for (std::size_t i = 9; i < kRockSocketPoints; ++i) EXPECT_NEAR(d.points[i].topLoad, 100, 1e-3) << i;
  // Weak rock: the top load is the side alone, Qs = pi Ds Ls fs (the
  // compression curve less its base term 0.7854 Ds^2 qb, qb at the same
  // movement: Ls 30 ft, zc = 30 - 15 = 15 ft).
  const RockSocketInput pushed = weakSocket();
  RockSocketInput pulled = pushed;
  pulled.uplift = true;
  const RockSocketResult down = weakRockRelationship(pushed);
  const RockSocketResult up = weakRockRelationship(pulled);
  const auto ref = weakRockReferenceMovements();
  for (std::size_t i = 0; i < kRockSocketPoints; ++i) {
    const Real w = 3 * ref[i];
    const Real qb = weakRockTerms(pushed.weakRock, pushed.meanIntactModulus, 3.6e6F * kTsfPerPsi, 15, 30, w).unitBase;
    EXPECT_NEAR(up.points[i].topLoad, down.points[i].topLoad - 0.7854F * 9 * qb / 2000, 1e-3 * down.points[i].topLoad)
        << i;
    EXPECT_LT(up.points[i].topLoad, down.points[i].topLoad) << i;
  }
}

TEST(RockSocketTest, StrongRockSideOrBaseModelSwitchesAtFourTenthsOfAnInch) {
  // Code 4: up to 0.4 in the side alone (tip load 0), beyond it the base
  // alone (tip load = top load). Socket movements 12 x 2 x 0.00018 x 1.5^(i-1)
  // in pass 0.4 in between i = 12 (0.372 in) and i = 13 (0.558 in).
  RockSocketInput in = strongSocket(kStrongRockSideOrBase);
  in.sideSocket = 300;
  in.base = 900;
  const RockSocketResult r = rockSocketRelationship(in);
  ASSERT_TRUE(r.computed);
  for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(r.points[i].tipLoad, 0) << i;
  EXPECT_NEAR(r.points[11].topLoad, 300, 1e-3);  // the side slipped well before 0.372 in
  for (std::size_t i = 12; i < kRockSocketPoints; ++i) EXPECT_FLOAT_EQ(r.points[i].topLoad, r.points[i].tipLoad);
  EXPECT_NEAR(r.points[14].topLoad, 900, 1e-2);
  expectMonotone(r);
}

TEST(RockSocketTest, DegenerateInputsGiveFiniteCurvesOrAClearNote) {
  struct Case {
    const char* name;
    RockSocketInput in;
    bool computed;
  };
  auto with = [](RockSocketInput in, auto change) {
    change(in);
    return in;
  };
  const Case cases[] = {
      {"weak: zero socket diameter", with(weakSocket(), [](auto& in) { in.weakRock.socketDiameter = 0; }), false},
      {"weak: zero Ec", with(weakSocket(), [](auto& in) { in.ec = 0; }), false},
      {"weak: zero intact modulus", with(weakSocket(), [](auto& in) { in.meanIntactModulus = 0; }), false},
      {"weak: tip above the rock top", with(weakSocket(), [](auto& in) { in.socketTop = 40; }), true},
      {"decomposed: zero diameter", with(decomposedSocket(), [](auto& in) { in.socketDiameter = 0; }), false},
      {"decomposed: no modulus, N = 0",
       with(decomposedSocket(), [](auto& in) { in.modulusBottom = 0; in.blowCount = 0; }), false},
      {"decomposed: zero Ec", with(decomposedSocket(), [](auto& in) { in.ec = 0; }), false},
      {"decomposed: zero length", with(decomposedSocket(), [](auto& in) { in.socketTop = 25; }), true},
      {"decomposed: N 0 at the top, estimated modulus",
       with(decomposedSocket(), [](auto& in) { in.modulusBottom = 0; in.blowCountTop = 0; }), true},
      {"decomposed: 3000 ft in soft gravel (cosh overflow)",
       with(decomposedSocket(), [](auto& in) { in.pierLength = 3005; in.modulusBottom = 10; in.ec = 1e4F; }), true},
      {"decomposed: zero stress", with(decomposedSocket(), [](auto& in) { in.effectiveStress = 0; }), true},
      {"strong: zero diameter", with(strongSocket(7), [](auto& in) { in.socketDiameter = 0; }), false},
      {"strong: zero Ec", with(strongSocket(7), [](auto& in) { in.ec = 0; }), false},
      {"strong: zero rock modulus", with(strongSocket(4), [](auto& in) { in.intactModulus = 0; }), false},
      {"strong: zero-length socket", with(strongSocket(7), [](auto& in) { in.socketTop = 10; }), true},
      {"strong side-or-base: zero-length socket", with(strongSocket(4), [](auto& in) { in.socketTop = 10; }), true},
      {"strong: 3000 ft socket (cosh overflow)",
       with(strongSocket(7), [](auto& in) { in.pierLength = 3000; in.ec = 1e3F; }), true},
      {"strong: no capacities", with(strongSocket(7), [](auto& in) { in.sideSocket = 0; in.base = 0; }), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RockSocketResult r = rockSocketRelationship(c.in);
    EXPECT_EQ(r.computed, c.computed);
    expectMonotone(r);
    if (!c.computed) {
      EXPECT_FALSE(r.notes.empty());
      for (const auto& p : r.points) EXPECT_EQ(p.topLoad, 0);
    }
  }
}

TEST(RockSocketTest, ZeroLengthStrongSocketIsARigidPunch) {
  // L = 0: Pt/(G r0 wt) = 4/(1 - 0.25) = 5.333333, K = 5.333333 x 5.76e7 / 2000
  // = 153600 tons/ft, all of it on the base.
  RockSocketInput in = strongSocket(kStrongRock);
  in.socketTop = 10;
  const RockSocketResult r = rockSocketRelationship(in);
  EXPECT_NEAR(r.headStiffness, 153600, 5);
  EXPECT_NEAR(r.baseFraction, 1, 1e-6);
}

}  // namespace
}  // namespace pylar::engine
