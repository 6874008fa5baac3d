// The rules of the 2018 method set (FHWA GEC-10, Brown et al. 2018; AASHTO
// LRFD 10.8), each checked against hand-computed values (arithmetic in the
// comments, pa = 2116.8 lb/ft^2), and the walk's slices under the set: split
// at layer boundaries and at the scour depth, no side above the scour.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "capacity_driver.h"
#include "fortran_format.h"
#include "soil_resistance.h"

namespace pylar::engine {
namespace {

using methods::SandKind;
using methods::StrengthTest;

void expectRelative(double actual, double expected, double tolerance, const std::string& what) {
  EXPECT_LE(std::fabs(actual - expected), tolerance * std::max(std::fabs(expected), 1e-6)) << what << ": " << actual
                                                                                          << " vs " << expected;
}

// su(CIUC) = su / r, r = 0.911 + 0.499 log10(su/sigma') for UU and
// 0.893 + 0.513 log10(su/sigma') for UC, su/sigma' within 0.1 .. 10.
TEST(Rules2018, CiucEquivalentStrength) {
  struct Case {
    Real su, sigma;
    StrengthTest test;
    double ciuc;
    const char* why;
  };
  const Case cases[] = {
      {1000, 1000, StrengthTest::CIUC, 1000, "CIUC as it is"},
      {1000, 1000, StrengthTest::UU, 1097.695, "UU, su/sigma' = 1: r = 0.911, 1000/0.911"},
      {1000, 1000, StrengthTest::UC, 1119.821, "UC, su/sigma' = 1: r = 0.893, 1000/0.893"},
      // log10(1750/2114) = -0.082066; UC: r = 0.893 - 0.513 x 0.082066 = 0.850900 -> 2056.65
      // (GEC-10 App. A: 2,057 psf)
      {1750, 2114, StrengthTest::UC, 2056.647, "App. A layer 4 with the UC pair"},
      // UU: r = 0.911 - 0.499 x 0.082066 = 0.870049 -> 2011.38
      {1750, 2114, StrengthTest::UU, 2011.382, "App. A layer 4 with the UU pair"},
      // su/sigma' = 0.02 is held at 0.1: r = 0.911 - 0.499 = 0.412 -> 242.72
      {100, 5000, StrengthTest::UU, 242.718, "below the range"},
      // No stress (the ground surface): su/sigma' held at 10, r = 1.410 -> 709.22
      {1000, 0, StrengthTest::UU, 709.220, "at the ground surface"},
      {0, 1000, StrengthTest::UU, 0, "no strength"},
  };
  for (const Case& c : cases) expectRelative(ciucStrength(c.su, c.sigma, c.test), c.ciuc, 1e-5, c.why);
}

// alpha = 0.30 + 0.17/(su(CIUC)/pa), at most 1.
TEST(Rules2018, AlphaOfChenEtAl) {
  struct Case {
    Real ciuc;
    double alpha;
    const char* why;
  };
  const Case cases[] = {
      {1000, 0.659856, "0.30 + 0.17 x 2116.8/1000"},
      {2057, 0.474942, "App. A layer 4: 0.30 + 0.17 x 2116.8/2057 (0.47)"},
      {5000, 0.371971, "stiff clay: below the 1999 0.55 .. 0.45"},
      {300, 1.0, "0.30 + 1.1995 above 1: held at 1"},
      {0, 1.0, "no strength"},
  };
  for (const Case& c : cases) expectRelative(alpha2018(c.ciuc), c.alpha, 1e-5, c.why);
}

// (N1)60 = N60 (pa/sigma')^0.5; phi = 27.5 + 9.2 log10 (N1)60; sigma'p =
// 0.47 pa N60^m (m 0.6 clean, 0.8 silty) or 0.15 N60 pa (gravelly); OCR =
// sigma'p/sigma' >= 1; K0 = (1 - sin phi) OCR^sin phi <= Kp; beta = K0 tan delta.
TEST(Rules2018, SandBetaFromLayerMeans) {
  struct Case {
    Real n, sigma, phi, delta;
    SandKind kind;
    double friction, ocr, k0, beta;
    const char* why;
  };
  const Case cases[] = {
      // App. A layer 3: (N1)60 = 30 x 0.675067 = 20.2520, phi = 39.5195;
      // sigma'p = 994.896 x 30^0.6 (7.69610) = 7656.86, OCR = 1.64841;
      // sin phi = 0.636129, K0 = 0.363871 x 1.64841^0.636129 = 0.499829;
      // beta = 0.499829 x tan 39.5195 (0.824906) = 0.412313 (App. A: 0.49, 0.41)
      {30, 4645, 0, 0, SandKind::Clean, 39.5195, 1.648408, 0.499829, 0.412313, "App. A layer 3, clean sand"},
      // silty: sigma'p = 994.896 x 30^0.8 (15.1948) = 15117.3, OCR = 3.25454
      {30, 4645, 0, 0, SandKind::Silty, 39.5195, 3.254535, 0.770570, 0.635650, "silty sand, m = 0.8"},
      // gravelly: sigma'p = 0.15 x 30 x 2116.8 = 9525.6, OCR = 2.05072
      {30, 4645, 0, 0, SandKind::Gravelly, 39.5195, 2.050721, 0.574346, 0.473783, "gravelly, 0.15 N60 pa"},
      // App. A layer 7: sigma'p = 9235.2 < 10645: OCR held at 1 (App. A: 0.87 -> 1.0);
      // (N1)60 = 41 x 0.445931 = 18.2831, phi = 39.1109, K0 = 1 - sin phi = 0.369177
      {41, 10645, 0, 0, SandKind::Clean, 39.1109, 1.0, 0.369177, 0.300138, "App. A layer 7, OCR held at 1"},
      // No blow counts: the friction angle given, normally consolidated:
      // K0 = 1 - sin 34 = 0.440807, beta = 0.440807 x 0.674509 = 0.297328
      {0, 4645, 34, 0, SandKind::Clean, 34, 1.0, 0.440807, 0.297328, "no N: phi given, OCR 1"},
      // The interface angle given: beta = 0.499829 x tan 30 = 0.288577
      {30, 4645, 0, 30, SandKind::Clean, 39.5195, 1.648408, 0.499829, 0.288577, "interface angle given"},
      // sigma' = 10: (N1)60 = 727.46, phi = 53.8287, OCR = 1040.3; K0 above
      // Kp = tan^2(45 + 26.914) = 9.37643: held there; beta = 9.37643 x 1.36776
      {50, 10, 0, 0, SandKind::Clean, 53.8287, 1040.30, 9.376434, 12.824723, "held at the passive Kp"},
  };
  for (const Case& c : cases) {
    const Sand2018 v = sand2018Values(c.n, c.sigma, c.phi, c.delta, c.kind);
    expectRelative(v.frictionAngle, c.friction, 2e-5, std::string(c.why) + ": phi");
    expectRelative(v.ocr, c.ocr, 1e-4, std::string(c.why) + ": OCR");
    expectRelative(v.k0, c.k0, 1e-4, std::string(c.why) + ": K0");
    expectRelative(v.beta, c.beta, 1e-4, std::string(c.why) + ": beta");
  }
}

// GEC-10 Table 10-3: alphaE by RQD, joints closed and open.
TEST(Rules2018, RockMassFactor) {
  struct Case {
    Real rqd;
    bool open;
    double alphaE;
  };
  const Case cases[] = {{100, false, 1.0}, {70, false, 0.85}, {60, false, 0.725}, {50, false, 0.60},
                        {30, false, 0.50}, {20, false, 0.45}, {10, false, 0.45}, {100, true, 0.85},
                        {85, true, 0.70},  {60, true, 0.55},  {25, true, 0.475}};
  for (const Case& c : cases)
    expectRelative(rockMassFactor(c.rqd, c.open), c.alphaE, 1e-6, "RQD " + std::to_string(c.rqd));
}

// ---------------------------------------------------------------------------
// Slices and bases through the run's resistance procedures.

Layer layerOf(int code, Real bottom, LayerEnd top, LayerEnd bot) {
  Layer l;
  l.code = code;
  l.bottom = bottom;
  l.end = {top, bot};
  return l;
}

LayerEnd soil(Real unitWeight, Real n = 0, Real phi = 0, Real cohesion = 0) {
  LayerEnd e;
  e.unitWeight = unitWeight;
  e.blowCount = n;
  e.frictionAngle = phi;
  e.cohesion = cohesion;
  return e;
}

LayerEnd rock(Real qu, Real fc, Real aperture, Real rqd, Real ds = 2) {
  LayerEnd e;
  e.rockStrength = qu;
  e.concreteStrength = fc;
  e.jointSpacing = 1;
  e.jointThickness = aperture;
  e.socketDiameter = ds;
  e.rqd = rqd;
  return e;
}

ProjectInput project2018(std::vector<Layer> layers, Real scour = 0) {
  ProjectInput in;
  in.layers = std::move(layers);
  in.waterTable = 1000;  // dry: stresses are the unit weight times the depth
  in.DSTART = 3;
  in.IMOD = 1;  // the 1999 factors of sand bases, which the 2018 base does not take
  in.methods.set = methods::MethodSet::Gec2018;
  in.methods.layers.assign(in.layers.size(), {});
  in.methods.scourDepth = scour;
  in.scourDepth = scour;
  return in;
}

TEST(Rules2018, SideOfASliceOfEachModel) {
  struct Case {
    const char* why;
    ProjectInput in;
    double fs;  // tsf, the slice from 9 to 10 ft
  };
  auto sand = [](Real scour) {
    return project2018({layerOf(kSand, 40, soil(120, 20), soil(120, 20))}, scour);
  };
  auto clay = [](StrengthTest test) {
    ProjectInput in = project2018({layerOf(kClay, 40, soil(110, 0, 0, 1000), soil(110, 0, 0, 1000))});
    in.methods.layers[0].test = test;
    return in;
  };
  auto rockLayer = [](int code, Real fc, Real aperture, Real rqd) {
    return project2018({layerOf(code, 40, rock(144000, fc, aperture, rqd), rock(144000, fc, aperture, rqd))});
  };
  const Case cases[] = {
      // Sand 0-40 ft, 120 pcf, N 20: mean sigma' 2400; (N1)60 = 18.7830,
      // phi = 39.2186, sigma'p = 6003.38, OCR = 2.50141, K0 = 0.656569,
      // beta = 0.535840; middle of the slice 9.5 ft: sigma' = 1140;
      // fs = 0.535840 x 1140/2000 = 0.305429
      {"sand", sand(0), 0.305429},
      // 5 ft of scour: beta as before (stresses before scour), sigma' after
      // scour = 1140 - 600 = 540: fs = 0.535840 x 540/2000 = 0.144677
      {"sand with scour", sand(5), 0.144677},
      // Clay su 1000 (UU), sigma' at 9.5 ft = 1045: su/sigma' = 0.956938,
      // r = 0.911 - 0.499 x 0.019117 = 0.901461, su(CIUC) = 1109.31,
      // alpha = 0.3 + 0.17 x 2116.8/1109.31 = 0.624396, fs = 0.624396 x 1109.31/2000
      {"clay, UU strength", clay(StrengthTest::UU), 0.346325},
      // CIUC: alpha = 0.659856, fs = 0.659856 x 1000/2000
      {"clay, CIUC strength", clay(StrengthTest::CIUC), 0.329928},
      // Rock qu = 144000 (1000 psi), intact: fs = 2116.8 (144000/2116.8)^0.5
      // = 2116.8 x 8.24785 = 17459.07 lb/ft^2 = 8.72954 tsf (1999: 5.69 tsf)
      {"intact rock, C = 1", rockLayer(kStrongRock, 576000, 0, 0), 8.729536},
      // f'c = 72000 below qu: fs = 2116.8 (72000/2116.8)^0.5 = 12345.43 lb/ft^2
      {"qu held to f'c", rockLayer(kStrongRock, 72000, 0, 0), 6.172714},
      // RQD 50, closed joints: 0.65 x 0.60 x 8.72954
      {"fractured rock, RQD 50 closed", rockLayer(kStrongRock, 576000, 0, 50), 3.404519},
      // RQD 60, closed joints: alphaE 0.725: 0.65 x 0.725 x 8.72954
      {"fractured rock, RQD 60 closed", rockLayer(kStrongRock, 576000, 0, 60), 4.113794},
      // open joints, RQD 100: alphaE 0.85: 0.65 x 0.85 x 8.72954
      {"open joints", rockLayer(kStrongRock, 576000, 0.01F, 100), 4.823069},
      // code 4 above 1000 psi in compression carries end bearing only
      {"side-or-base rock above 1000 psi", project2018({layerOf(kStrongRockSideOrBase, 40, rock(288000, 0, 0, 0),
                                                                rock(288000, 0, 0, 0))}),
       0},
  };
  for (const Case& c : cases) {
    SoilResistance s(c.in);
    s.completeAll();
    WeakRockRunState state;
    expectRelative(s.slice(0, 10, 10, state).unitSide, c.fs, 1e-4, c.why);
  }
}

TEST(Rules2018, BasesOverTwoDiametersBelowTheTip) {
  struct Case {
    const char* why;
    ProjectInput in;
    Real tip, diameter;
    double load;  // tons
    bool atTip;
  };
  const Real a3 = 0.7854F * 9;   // 7.0686 ft^2
  const Real a5 = 0.7854F * 25;  // 19.635 ft^2
  auto sandOver = [](Layer below) {
    return project2018({layerOf(kSand, 30, soil(120, 20), soil(120, 20)), below});
  };
  auto clayLayer = [](StrengthTest test, Real scour = 0) {
    ProjectInput in = project2018({layerOf(kClay, 60, soil(110, 0, 0, 1000), soil(110, 0, 0, 1000))}, scour);
    in.methods.layers[0].test = test;
    return in;
  };
  auto rockLayer = [](Real aperture) {
    return project2018({layerOf(kStrongRock, 60, rock(288000, 576000, aperture, 0), rock(288000, 576000, aperture, 0))});
  };
  const Case cases[] = {
      // Tip 26, B 3: the middles 26.5 .. 31.5; N 20 at four, 40 at two:
      // N60 = 160/6 = 26.667, q = 16 tsf, Q = 16 x 7.0686 = 113.10
      {"sand over denser sand", sandOver(layerOf(kSand, 60, soil(120, 40), soil(120, 40))), 26, 3, 16 * a3, true},
      // B 5 > 4.17 ft: no reduction (the 1999 rule would take 50/60);
      // tip 10: N60 = 20, q = 12, Q = 12 x 19.635 = 235.62
      {"large base, no reduction", sandOver(layerOf(kSand, 60, soil(120, 40), soil(120, 40))), 10, 5, 12 * a5, true},
      {"N60 60: 30 tsf at most", project2018({layerOf(kSand, 60, soil(120, 60), soil(120, 60))}), 26, 3, 30 * a3, true},
      // Clay below without blow counts: left out; N60 = 20 of the sand
      {"clay below without N", sandOver(layerOf(kClay, 60, soil(110, 0, 0, 1000), soil(110, 0, 0, 1000))), 26, 3,
       16 * a3 * 0.75F, true},
      // No blow counts at all: the 1999 rule from phi 38 (16 + 5.6 = 21.6 tsf),
      // with its factors: 21.6 x 7.0686 (tip 60 > 10 B, B < 4.17)
      {"sand without N: the 1999 rule", project2018({layerOf(kSand, 90, soil(120, 0, 38), soil(120, 0, 38))}), 60, 3,
       21.6 * a3, false},
      // Clay su(CIUC) 1000: Nc 8.0 (6.5 + 1.5 x 500/500), tip 30 >= 3 B:
      // q = 0.5 x 8 = 4 tsf, Q = 28.274
      {"clay, CIUC", clayLayer(StrengthTest::CIUC), 30, 3, 4 * a3, true},
      // UU: the six middles 30.5 .. 35.5, sigma' = 110 z, su(CIUC) = 1000/r
      // with r = 0.911 + 0.499 log10(1000/(110 z)): 1541.59, 1558.39, 1575.01,
      // 1591.48, 1607.79, 1623.95 -> mean 1583.04; Nc = 8 + 0.58304 = 8.58304,
      // q = 0.791518 x 8.58304 = 6.79362 tsf; Q = 6.79362 x 7.0686 = 48.0214
      {"clay, UU converted", clayLayer(StrengthTest::UU), 30, 3, 48.0214, true},
      // 8 ft of scour, tip 12: embedment 4 < 3 B: Nc = 8 x (2/3)(1 + 4/18)
      // = 6.51852, q = 0.5 x 6.51852, Q = 23.0383
      {"clay, shallow below the scour", clayLayer(StrengthTest::CIUC, 8), 12, 3, 23.0383, true},
      // Rock qu 288000, closed joints: q = 2.5 x 144 = 360 tsf over the
      // socket 0.7854 x 4: Q = 1130.98
      {"rock, closed joints", rockLayer(0), 30, 3, 1130.976, true},
      // Open joints: the 1999 rule (s 1 ft, aperture 0.001, Bs 2):
      // Ksp = (3 + 0.5)/(10 sqrt(1.3)) = 0.306970, Q = 3 x 144 x 0.306970 x 3.1416 = 416.61
      {"rock, open joints: the 1999 rule", rockLayer(0.001F), 30, 3, 416.61, false},
  };
  for (const Case& c : cases) {
    SoilResistance s(c.in);
    s.completeAll();
    const std::size_t layer = *s.layerAt(c.tip - 0.5F);
    const BaseResistance r = s.baseResistance(layer, c.tip, c.diameter);
    expectRelative(r.load, c.load, 2e-4, c.why);
    EXPECT_EQ(r.atTip, c.atTip) << c.why;
  }
}

// Sand 0-10.5 ft (N 20, 120 pcf) over clay 10.5-30 ft (su 1000, CIUC), a
// 3 ft pier 20 ft long, 3.5 ft of scour. Sand: mean sigma' = 630, (N1)60 =
// 36.6606, phi = 41.8906, OCR = 6003.38/630 = 9.52917, K0 = 1.49707, beta =
// 1.342802. Clay: alpha 0.659856, fs = 0.329928 tsf.
//   Slices 1-3 lie above the scour: no side.
//   Slice 4: only 3.5-4 carries side; sigma' at 3.75 after scour = 450 - 420 = 30;
//     1.342802 x 30/2000 x pi x 3 x 0.5 = 0.094917 tons.
//   Slice z of 5-10: 1.342802 x (120 (z - 0.5) - 420)/2000 x 3 pi.
//   Slice 11 (the sand's, the bottom 10.5 rounding to 11): 10-10.5 sand at
//     sigma' 1230 - 420 = 810: 2.562761; 10.5-11 clay: 0.329928 x 1.5 pi = 1.554749.
//   Sand: 18.603745 tons; clay: 1.554749 + 9 x 3.109498 = 29.540232 tons.
TEST(Rules2018, SlicesSplitAtLayerBoundariesAndTheScour) {
  const std::string text =
      "Split\r\n1\r\n2 1 1 1 1 2 0 0 0 0 0\r\n3 3 0 0 0 0 3600000\r\n2 1000 20 2.5 3\r\n"
      "1 10.5\r\n0 120 0 0 20 0 0 1 1\r\n0 120 0 0 20 0 0 1 1\r\n1\r\n1 1\r\n"
      "2 30\r\n0 110 0.0 1000 0 0 0 1 1\r\n0 110 0.0 1000 0 0 0 1 1\r\n0 0\r\n"
      "METHODS 2018 \r\nSCOUR 3.5 \r\nLAYER 2 TEST CIUC \r\n";
  ListReader reader = ListReader::fromText(text);
  ProjectInput in;
  std::string error;
  ASSERT_TRUE(readProjectInput(reader, in, error)) << error;
  SoilResistance soil(in);
  completeSoil(soil);
  const SeriesAnalysis series = analyseSeries(in, soil);
  ASSERT_EQ(series.piers.size(), 1U);
  const SliceProfile& p = series.piers[0].profile;
  for (std::size_t z = 1; z <= 3; ++z) EXPECT_EQ(p.slices[z - 1].side, 0) << z;
  expectRelative(p.slices[3].side, 0.094917, 1e-4, "slice 4");
  expectRelative(p.slices[9].side, 4.556019, 1e-4, "slice 10");
  const Slice& s11 = p.slices[10];
  EXPECT_EQ(s11.layer, 0U);
  expectRelative(s11.side, 4.117510, 1e-4, "slice 11");
  std::map<std::size_t, double> parts;
  for (const SlicePart& part : s11.parts) parts[part.layer] += part.side;
  expectRelative(parts[0], 2.562761, 1e-4, "slice 11, sand part");
  expectRelative(parts[1], 1.554749, 1e-4, "slice 11, clay part");
  std::map<std::size_t, double> byLayer;
  for (const CreditedSlice& c : creditedSide(p, 20, 0, 0)) byLayer[c.layer] += c.side;
  expectRelative(byLayer[0], 18.603745, 1e-4, "sand's side");
  expectRelative(byLayer[1], 29.540232, 1e-4, "clay's side");
  expectRelative(series.piers[0].result.last.qs, 18.603745 + 29.540232, 1e-4, "QS");
  // A tip above the scour has no base; the clay tip at 20 ft takes Nc 8
  // (tip 16.5 ft below the scour, above 3 B): 0.5 x 8 x 7.0686 = 28.274.
  EXPECT_EQ(p.slices[2].base, 0);
  expectRelative(series.piers[0].result.last.qb, 28.274, 1e-4, "QB");
}

}  // namespace
}  // namespace pylar::engine
