// One small project checked by hand from end to end: a uniform clay layer over
// a uniform sand layer, straight pier, ASD, English units. Two rows of the
// capacity table and the first point of the trend load-settlement curve are
// computed below from the published equations, independently of the engine.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "pylar/engine.h"
#include "report_reading.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

// Clay 0-10 ft: c = 1000 psf, unit weight 120 pcf, alpha and Nc estimated.
// Sand 10-30 ft: unit weight 125 pcf, phi = 34 deg, no blow counts, interface
// angle estimated (= phi), Ko = 1. Water table at 10 ft. D = 2 ft, no bell,
// proposed depth 14 ft, FST 2.5, FSB 3, IMOD 1, Ec = 3 600 000 psi.
constexpr const char* kProject =
    "Hand check: clay over sand\r\n1\r\n"
    "2 1 1 1 1 2 0 0 0 0 0\r\n"
    "2 2 0 0 0 0 3600000\r\n"
    "2 10 14 2.5 3\r\n"
    "2 10\r\n"
    "0 120 0 1000 0 0 0 1 1\r\n"
    "0 120 0 1000 0 0 0 1 1\r\n"
    "0 0\r\n"
    "1 30\r\n"
    "0 125 34 0 0 0 0 1 1\r\n"
    "0 125 34 0 0 0 0 1 1\r\n"
    "1\r\n"
    "1 1\r\n";

struct HandCheckRun {
  RunSummary summary;
  std::vector<std::string> report;
  std::vector<double> plotWords;
};

HandCheckRun runHandCheck() {
  test::TempFolder dir;
  test::writeFile(dir / "hand.pq8d", kProject);
  HandCheckRun r;
  r.summary = runProject(dir / "hand.pq8d", [] { return RunTime{2024, 1, 2, 3, 4, 5}; }).summary;
  r.report = test::crlfLines(dir / "hand.pq8o");
  std::istringstream plot(test::readFile(dir / "hand.pq8p"));
  for (double v; plot >> v;) r.plotWords.push_back(v);
  return r;
}

// Capacity rows. Common values:
//   perimeter pi D = 6.28319 ft; base area A = 0.7854 x 2^2 = 3.1416 ft^2.
//   Clay side: alpha = 0.55 (c/pa = 1000/2116.8 = 0.47 <= 1.5);
//     fs = 0.55 x 1000/2000 = 0.275 tsf; per 1 ft slice 0.275 x 6.28319 = 1.727876 t.
//   Sand side (Ko method): sigma'(z) = 10 x 120 + (z - 10)(125 - 62.4) = 1200 + 62.6 (z - 10);
//     fs = 1.0 x sigma' x tan 34 / 2000, tan 34 = 0.674509.
//   Clay base (Nc estimated -> from strength): c = 1000 -> Nc = 6.5 + 1.5 x 500/500 = 8.0;
//     tip L < 3 B = 6 ft: Nc x (2/3)(1 + L/12); su = 0.5 tsf; B = 2 ft <= 6.25: Fr = 1.
//     L = 3: 8 x 0.6667 x 1.25 = 6.6667 -> Q = 0.5 x 6.6667 x 3.1416 = 10.4720 t
//     L = 4: 8 x 0.6667 x 1.3333 = 7.1111 -> Q = 11.1701 t
//     L = 5: 8 x 0.6667 x 1.4167 = 7.5556 -> Q = 11.8683 t
//     L = 6: Nc = 8                     -> Q = 12.5664 t
//   Sand base (N = 0, 30 < phi <= 36): q = 2.667 (34 - 30) = 10.668 tsf; Q = 33.5146 t;
//     B = 2 ft <= 4.17: no large-base factor; L < 10 B = 20 ft: Q x L/20.
//   Base of a tip at L: n = int(2 x 2) = 4 steps, t = 0, .25, .5, .75, weights
//     0, 0.3, 0.6, 0.5 (sum 1.4) on the stored bases at L, L+1, L+2, L+3.
//
// Row L = 3 ft:
//   QS = 3 x 1.727876 = 5.1836
//   QB = (0.3 x 11.1701 + 0.6 x 11.8683 + 0.5 x 12.5664)/1.4 = 16.7552/1.4 = 11.9680
//   QU = 17.1516; QBD = 5.1836 + 11.9680/3 = 9.1730; QDN = 5.1836/2.5 + 3.9893 = 6.0628
//   volume = 0.7854 x 4 x 3/27 = 0.34907 yd^3; QU/volume = 49.136
// Row L = 14 ft:
//   QS = 10 x 1.727876 + 6.28319 x 0.674509/2000 x (1262.6 + 1325.2 + 1387.8 + 1450.4)
//      = 17.2788 + 6.28319 x 0.674509 x 5426.0/2000 = 17.2788 + 11.4978 = 28.7766
//   QB = 33.5146 x (0.3 x 15 + 0.6 x 16 + 0.5 x 17)/(1.4 x 20) = 33.5146 x 0.807143 = 27.0511
//   QU = 55.8277; QBD = 28.7766 + 9.0170 = 37.7936; QDN = 11.5106 + 9.0170 = 20.5277
//   volume = 0.7854 x 4 x 14/27 = 1.62898 yd^3; QU/volume = 34.2716
TEST(HandCheck, CapacityRowsOfClayOverSand) {
  const HandCheckRun r = runHandCheck();
  ASSERT_EQ(r.summary.status, 0);
  const test::ReportTables tables = test::readTables(r.report);
  ASSERT_EQ(tables.tables.size(), 1u);
  const std::vector<test::Row>& rows = tables.tables[0];
  ASSERT_EQ(rows.size(), 14u);  // every foot to 14 ft
  const test::Row expected3 = {3.0, 0.34907, 5.1836, 11.9680, 17.1516, 9.1730, 6.0628, 49.136};
  const test::Row expected14 = {14.0, 1.62898, 28.7766, 27.0511, 55.8277, 37.7936, 20.5277, 34.2716};
  // The report prints one decimal (two for QU/volume).
  for (std::size_t c = 0; c < 8; ++c) {
    const double tolerance = c == 7 ? 0.0051 : 0.051;
    EXPECT_NEAR(rows[2][c], expected3[c], tolerance) << "L = 3 ft, column " << c;
    EXPECT_NEAR(rows[13][c], expected14[c], tolerance) << "L = 14 ft, column " << c;
  }
  // The plot records carry three significant digits: NL NP ID2, seven zeros,
  // the first depth and six zeros, then seven values per printed depth
  // (depth, QS, QB, QU, QS/FST, QB/FSB, QDN).
  ASSERT_GE(r.plotWords.size(), 3u + 14u + 14u * 7u);
  auto plotRow = [&](std::size_t k) { return r.plotWords.begin() + 3 + 14 + static_cast<std::ptrdiff_t>(k) * 7; };
  const double plot3[] = {3.0, 5.1836, 11.9680, 17.1516, 5.1836 / 2.5, 11.9680 / 3, 6.0628};
  const double plot14[] = {14.0, 28.7766, 27.0511, 55.8277, 28.7766 / 2.5, 27.0511 / 3, 20.5277};
  for (std::size_t c = 0; c < 7; ++c) {
    // E10.3 rounds to within half a unit of the third digit: 0.5 % at most.
    EXPECT_NEAR(plotRow(2)[c], plot3[c], 0.005 * plot3[c]) << "plot L = 3 ft, value " << c;
    EXPECT_NEAR(plotRow(13)[c], plot14[c], 0.005 * plot14[c]) << "plot L = 14 ft, value " << c;
  }
}

// First point of the trend load-settlement curve of the 14 ft pier
// (inches, pounds; D = 24 in, L = 168 in, 14 segments of J = 12 in).
//   Tip: sand base table; Qb = 27.0511 x 2000 = 54102.1 lb; Dref = 24 in;
//     point 2 at 0.005 x 24 = 0.12 in carries 0.175 Qb; s = 1e-5 in:
//     tip load = 54102.1 x 0.175 x 1e-5/0.12 = 0.78899 lb (0.3945E-03 t).
//   Side: every segment is on the first branch of its curve (0.001 D = 0.024 in):
//     t = ratio x fmax x w/0.024, clay ratio 0.51 (fmax 0.275 tsf = 3.8194 psi),
//     sand ratio 0.335; curves at 119.99 in (clay), 132.01 and 180 in (sand,
//     fmax 0.425829 and 0.510266 tsf from the slice values at 11 and 15 ft).
//     Stiffness k = ratio x fmax/0.024 in psi/in (x 2000/144 from tsf):
//       segment 1 (mid 162 in): fmax 0.478595 tsf -> 0.335 x 0.478595/0.024 x 13.8889 = 92.784
//       segment 2 (150 in): 0.457481 -> 88.691; segment 3 (138 in): 0.436368 -> 84.598
//       segment 4 (126 in, halfway between 119.99 and 132.01):
//         (0.51 x 0.275 + 0.335 x 0.425829)/2/0.024 x 13.8889 = 81.859
//       segments 5-14 (clay): 0.51 x 0.275/0.024 x 13.8889 = 81.163
//   The mid-segment iteration converges at once (its change, ~1e-8 in, is below
//   the 1e-5 in tolerance), so each segment takes t at its bottom movement wb:
//     dQ = C k wb, C = 3.1416 x 24 x 12 = 904.781 in^2; Pt = Pb + dQ;
//     wt = wb + (Pb + dQ/2) J/EA, EA = 3.6e6 x 0.7854 x 576 = 1.62861e9 lb, J/EA = 7.36827e-9.
//     k = 1: Pb 0.78899, dQ = 904.781 x 92.784 x 1e-5 = 0.83949, wt = 1.000891e-5
//     k = 2: Pb 1.62848, dQ = 0.80317, wt = 1.002386e-5
//     k = 3: Pb 2.43165, dQ = 0.76725, wt = 1.004461e-5
//     k = 4: Pb 3.19890, dQ = 0.74395, wt = 1.007092e-5
//     k = 5..14: dQ = 0.73956, 0.74189, 0.74462, 0.74776, 0.75130, 0.75525, 0.75960,
//                0.76436, 0.76954, 0.77513 (wb growing to 1.055533e-5)
//   Top load = 11.4919 lb = 0.0057459 t; top movement = 1.06372e-5 in.
TEST(HandCheck, FirstTrendLoadSettlementPoint) {
  const HandCheckRun r = runHandCheck();
  ASSERT_EQ(r.summary.status, 0);
  std::size_t banner = 0;
  while (banner < r.report.size() && r.report[banner].find("RESULT FROM TREND (AVERAGED) LINE") == std::string::npos)
    ++banner;
  ASSERT_LT(banner + 4, r.report.size());
  std::istringstream first(r.report[banner + 4]);  // banner, blank, heading, units, first row
  double topLoad = 0, topMovement = 0, tipLoad = 0, tipMovement = 0;
  ASSERT_TRUE(first >> topLoad >> topMovement >> tipLoad >> tipMovement) << r.report[banner + 4];
  // E17.4: within half a unit of the fourth digit.
  EXPECT_NEAR(topLoad, 0.0057459, 0.0005e-2);
  EXPECT_NEAR(topMovement, 1.06372e-5, 0.0005e-5);
  EXPECT_NEAR(tipLoad, 0.78899 / 2000, 0.0005e-3);
  EXPECT_NEAR(tipMovement, 1.0e-5, 1e-10);
}

}  // namespace
}  // namespace pylar::engine
