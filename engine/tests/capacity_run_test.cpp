// Whole runs of small profiles whose capacity tables are computed by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "pylar/engine.h"
#include "report_reading.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

using test::TempFolder;
using test::writeFile;

using test::fixedTime;

struct ClayLayer {
  double bottom, cohesion, alpha;
  double phiSide = 1, phiBase = 1;
};

// A project of clay layers (unit weight 120, Nc 9, no blow counts).
struct Project {
  int method = 2;  // 1 design load, 2 proposed depth
  int kcycl = 1;
  double rcycl = 1;
  int nlrfd = 2;
  double dstart = 2, dialim = 2, ratio = 0, angle = 0, top = 0, bottom = 0;
  double waterTable = 50, loadOrDepth = 10;
  std::vector<ClayLayer> layers{{30, 2000, 0.5}};
  std::string text() const {
    std::ostringstream o;
    o << "Hand-computed clay\r\n1\r\n"
      << method << ' ' << kcycl << ' ' << rcycl << " 1 1 " << nlrfd << " 0 0 0 0 0\r\n"
      << dstart << ' ' << dialim << ' ' << ratio << ' ' << angle << ' ' << top << ' ' << bottom << " 3600000\r\n"
      << layers.size() << ' ' << waterTable << ' ' << loadOrDepth << " 2.5 3\r\n";
    for (const ClayLayer& l : layers) {
      o << "2 " << l.bottom << "\r\n";
      for (int e = 0; e < 2; ++e)
        o << "9 120 0.0 " << l.cohesion << " 0 0 0 " << l.phiSide << ' ' << l.phiBase << "\r\n";
      o << l.alpha << ' ' << l.alpha << "\r\n";
    }
    return o.str();
  }
};

struct Outcome {
  RunSummary summary;
  test::ReportTables report;
  std::vector<std::string> reportLines, notes;
  std::string plot;
};

Outcome run(const std::string& project) {
  TempFolder dir;
  writeFile(dir / "p.pq8d", project);
  Outcome o;
  o.summary = runProject(dir / "p.pq8d", fixedTime).summary;
  o.reportLines = test::crlfLines(dir / "p.pq8o");
  o.notes = test::crlfLines(dir / "p.pq8r");
  o.report = test::readTables(o.reportLines);
  o.plot = test::readFile(dir / "p.pq8p");
  return o;
}

bool contains(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& l : lines)
    if (l.find(text) != std::string::npos) return true;
  return false;
}

// Row (LENGTH, VOLUME, QS, QB, QU, c6, c7, c8) of the first table at a depth.
const test::Row& rowAt(const Outcome& o, double depth, std::size_t table = 0) {
  for (const test::Row& r : o.report.tables.at(table))
    if (std::abs(r[0] - depth) < 1e-6) return r;
  static const test::Row none{};
  ADD_FAILURE() << "no row at " << depth;
  return none;
}

TEST(CapacityRun, UniformClay) {
  // Side per foot = alpha c/2000 x pi D = 0.5 x 1 x pi x 2 = 3.14159 tons;
  // tip 10: QS = 31.416. Base: su = 1 tsf, Nc 9 given, D 2 <= 6.25 (Fr 1):
  // 9 x 0.7854 x 4 = 28.274 at every depth. QU = 59.690;
  // QBD = 31.416 + 9.425 = 40.841; QDN = 12.566 + 9.425 = 21.991;
  // volume 3.1416 x 10/27 = 1.1636; QU/volume = 51.30.
  const Outcome o = run(Project{}.text());
  ASSERT_EQ(o.summary.status, kStatusCompleted) << o.summary.message;
  ASSERT_EQ(o.report.tables.size(), 1U);
  const test::Row& r = rowAt(o, 10);
  EXPECT_NEAR(r[1], 1.2, 0.051);
  EXPECT_NEAR(r[2], 31.4, 0.051);
  EXPECT_NEAR(r[3], 28.3, 0.051);
  EXPECT_NEAR(r[4], 59.7, 0.051);
  EXPECT_NEAR(r[5], 40.8, 0.051);
  EXPECT_NEAR(r[6], 22.0, 0.051);
  EXPECT_NEAR(r[7], 51.30, 0.06);
  EXPECT_EQ(o.report.tables[0].size(), 10U);  // rows at 1..10 ft
}

TEST(CapacityRun, UniformSandBetaMethod) {
  // Sand 0-40 ft, 120 lb/ft^3, phi 35 given, beta 0.5 given, water below the
  // profile, D 3, full base at any depth (IMOD 0). Slice z: stress at its
  // middle 120 (z - 0.5); fs = 0.5 x 120 (z - 0.5)/2000 = 0.03 (z - 0.5) tsf
  // on 3 pi = 9.42478 ft^2 per ft. Tip 10: sum of (z - 0.5) = 50, QS =
  // 0.03 x 50 x 9.42478 = 14.137. Base: q = 2.667 x (35 - 30) = 13.335 tsf x
  // 7.0686 = 94.26. QDN = 14.137/2.5 + 94.26/3 = 5.655 + 31.42 = 37.07.
  const std::string sand =
      "Sand by beta\r\n1\r\n2 1 1 1 0 2 0 0 0 0 0\r\n3 3 0 0 0 0 3600000\r\n1 100 10 2.5 3\r\n1 40\r\n"
      "0.0 120 35 0 0 0 0 1 1\r\n0.0 120 35 0 0 0 0 1 1\r\n2\r\n0.5 0.5\r\n";
  const Outcome o = run(sand);
  ASSERT_EQ(o.summary.status, kStatusCompleted) << o.summary.message;
  const test::Row& r = rowAt(o, 10);
  EXPECT_NEAR(r[2], 14.1, 0.051);
  EXPECT_NEAR(r[3], 94.3, 0.051);
  EXPECT_NEAR(r[6], 37.1, 0.051);
  // Tip 1: 0.03 x 0.5 x 9.42478 = 0.141.
  EXPECT_NEAR(rowAt(o, 1)[2], 0.1, 0.051);
}

TEST(CapacityRun, LargeClayBaseReducedByFr) {
  // D 7, tip 30 in 60 ft of clay: below L/B = 3.76 the factor a is capped at
  // 0.015; b = 0.45 sqrt(2 x 1) = 0.63640; Fr = 2.5/(12 x 0.015 x 7
  // + 2.5 x 0.63640) = 2.5/2.85100 = 0.87689; QB = 9 x 1 x 0.7854 x 49
  // x 0.87689 = 303.73 (the same at every step below the tip).
  // QS = 30 x 0.5 x pi x 7 = 329.87.
  Project p;
  p.dstart = p.dialim = 7;
  p.loadOrDepth = 30;
  p.layers = {{60, 2000, 0.5}};
  const Outcome o = run(p.text());
  ASSERT_EQ(o.summary.status, kStatusCompleted) << o.summary.message;
  const test::Row& r = rowAt(o, 30);
  EXPECT_NEAR(r[2], 329.9, 0.051);
  EXPECT_NEAR(r[3], 303.7, 0.051);
}

TEST(CapacityRun, TwoLayersAcrossTheBoundary) {
  // Clay c 1000, alpha 0.5 to 10 ft over clay c 3000, alpha 0.4; D 2.
  // Side per foot: 0.5 x 0.5 x 2 pi = 1.57080 above, 0.4 x 1.5 x 2 pi =
  // 3.76991 below. Tip 12: QS = 15.708 + 7.540 = 23.248.
  // Base 0.5 x 9 x 3.1416 = 14.137 in the upper layer, 1.5 x 9 x 3.1416 =
  // 42.412 below. Tip 12: 42.41. Tip 8: steps 8..11 weigh 0, .3, .6, .5:
  // (0.9 x 14.137 + 0.5 x 42.412)/1.4 = 24.235.
  Project p;
  p.loadOrDepth = 12;
  p.layers = {{10, 1000, 0.5}, {30, 3000, 0.4}};
  const Outcome o = run(p.text());
  ASSERT_EQ(o.summary.status, kStatusCompleted) << o.summary.message;
  EXPECT_NEAR(rowAt(o, 12)[2], 23.2, 0.051);
  EXPECT_NEAR(rowAt(o, 12)[3], 42.4, 0.051);
  EXPECT_NEAR(rowAt(o, 8)[2], 12.6, 0.051);  // 8 x 1.5708 = 12.566
  EXPECT_NEAR(rowAt(o, 8)[3], 24.2, 0.051);
}

TEST(CapacityRun, BelledPier) {
  // D 3, ratio 2, 45 deg: Bb 6, e 0.25, H 1.75, bell 1.178 yd^3; tip 20:
  // volume 4.778 + 1.178 = 5.956. Base on Bb: 9 x 1 x 28.2744 = 254.47
  // (Bb 6 <= 6.25: Fr 1). QS = 20 x 0.5 x 1 x 3 pi = 94.25.
  Project p;
  p.dstart = p.dialim = 3;
  p.ratio = 2;
  p.angle = 45;
  p.loadOrDepth = 20;
  p.layers = {{40, 2000, 0.5}};
  const Outcome o = run(p.text());
  ASSERT_EQ(o.summary.status, kStatusCompleted) << o.summary.message;
  EXPECT_TRUE(contains(o.reportLines, "      END OF STEM TO BASE       =    1.750  FT."));
  EXPECT_TRUE(contains(o.reportLines, "      VOLUME OF UNDERREAM       =    1.178  CU.YDS."));
  EXPECT_TRUE(contains(o.reportLines, "      DIAMETER OF BASE          =    6.000  FT."));
  const test::Row& r = rowAt(o, 20);
  EXPECT_NEAR(r[1], 6.0, 0.051);
  EXPECT_NEAR(r[2], 94.2, 0.051);
  EXPECT_NEAR(r[3], 254.5, 0.051);
}

TEST(CapacityRun, UpliftWithWaterTableAndBuoyancy) {
  // Uplift, RCYCL 0.75: side per foot 0.5 x 2000 x 0.75/2000 x 3 pi = 3.53429;
  // tip 20: QS = 70.686. WT: 5.236 yd^3 x 4050/2000 = 10.6029 less
  // 0.02450448 x 9 x 10 ft below the water table = 2.2054 -> 8.3975.
  // QU = 79.08; QDN = 70.686/2.5 + 8.3975 = 36.67.
  Project p;
  p.kcycl = 2;
  p.rcycl = 0.75;
  p.dstart = p.dialim = 3;
  p.waterTable = 10;
  p.loadOrDepth = 20;
  p.layers = {{40, 2000, 0.5}};
  const Outcome o = run(p.text());
  ASSERT_EQ(o.summary.status, kStatusCompleted) << o.summary.message;
  EXPECT_TRUE(contains(o.reportLines, "     REDUCTION FACTOR APPLIED FOR UPLIFT FRICTION = 0.750"));
  EXPECT_TRUE(contains(o.reportLines, "     LENGTH  VOLUME     QS      WT      QU       QBD      QDN      QU/VOLUME"));
  const test::Row& r = rowAt(o, 20);
  EXPECT_NEAR(r[2], 70.7, 0.051);
  EXPECT_NEAR(r[3], 8.4, 0.051);
  EXPECT_NEAR(r[4], 79.1, 0.051);
  EXPECT_NEAR(r[6], 36.7, 0.051);
}

TEST(CapacityRun, LrfdFactorsPerLayer) {
  // The two-layer profile with side factors 0.45 / 0.55 and base factors
  // 0.4 / 0.5. Tip 12: LRFD QS = 15.708 x 0.45 + 7.540 x 0.55 = 7.069 + 4.147
  // = 11.215; LRFD QB = 42.412 x 0.5 = 21.206; LRFD QU = 32.42.
  Project p;
  p.nlrfd = 1;
  p.loadOrDepth = 12;
  p.layers = {{10, 1000, 0.5, 0.45, 0.4}, {30, 3000, 0.4, 0.55, 0.5}};
  const Outcome o = run(p.text());
  ASSERT_EQ(o.summary.status, kStatusCompleted) << o.summary.message;
  EXPECT_FALSE(contains(o.reportLines, "FACTOR OF SAFETY"));
  EXPECT_TRUE(contains(o.reportLines, "     LRFD QU = TOTAL CAPACITY WITH LRFD RESISTANCE FACTOR."));
  const test::Row& r = rowAt(o, 12);
  EXPECT_NEAR(r[5], 11.2, 0.051);
  EXPECT_NEAR(r[6], 21.2, 0.051);
  EXPECT_NEAR(r[7], 32.4, 0.051);
}

TEST(CapacityRun, DesignLoadReachedInTheFirstLayer) {
  // Two-layer profile, design load 10 tons: QDN = QS/2.5 + QB/3.
  // Tip 7: 7 x 1.5708/2.5 + 14.137/3 = 4.398 + 4.712 = 9.11 (steps 7..10 all
  // in the upper layer). Tip 8: 5.027 + 24.235/3 = 13.10 > 10: stop at 8 ft.
  Project p;
  p.method = 1;
  p.loadOrDepth = 10;
  p.layers = {{10, 1000, 0.5}, {30, 3000, 0.4}};
  const Outcome o = run(p.text());
  ASSERT_EQ(o.summary.status, kStatusCompleted) << o.summary.message;
  EXPECT_NEAR(o.report.tables.at(0).back()[0], 8, 1e-6);
  EXPECT_NEAR(o.report.tables.at(0).back()[6], 13.1, 0.051);
  EXPECT_TRUE(contains(o.reportLines, "      PYLAR LENGTH              =    8.000  FT."));
  EXPECT_TRUE(contains(o.reportLines, " THE MOST EFFICIENT PYLAR FOR THIS SOIL PROFILE APPEARS TO BE THE FOLLOWING ONE:"));
}

// The lines the report or run notes give under "NEED ANOTHER SOIL LAYER",
// one list per pier that falls short, each joined into one line.
std::vector<std::string> shortfalls(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (lines[k].find("NEED ANOTHER SOIL LAYER") == std::string::npos) continue;
    std::string text;
    for (std::size_t next = k + 1; next < lines.size() && !lines[next].empty(); ++next)
      text += (text.empty() ? "" : " ") + lines[next].substr(lines[next].find_first_not_of(' '));
    out.push_back(text);
  }
  return out;
}

// Uniform clay of 30 ft (c 2000, alpha 0.5, Nc 9 given): side per foot
// 0.5 x 1 x pi D, base 9 x 1 x 0.7854 D^2 at every depth (so also its mean
// below the tip). QDN(z) = z pi D/(2 x 2.5) + 9 x 0.7854 D^2/3:
//   D 2:   1.25664 z + 9.42478; at 30 ft (the profile bottom) 47.124.
//   D 2.5: 1.57080 z + 14.72625; above 50 from z = 22.456 on: 23 ft gives
//          36.128 + 14.726 = 50.855; at 30 ft 61.850.
//   D 3:   1.88496 z + 21.20575; above 50 from z = 15.276 on: 16 ft gives
//          30.159 + 21.206 = 51.365; at 30 ft 77.755.
TEST(CapacityRun, DesignLoadNeverReached) {
  Project p;
  p.method = 1;
  p.loadOrDepth = 10000;
  p.dialim = 3;  // three piers, none reaches the load: all are analysed
  const Outcome o = run(p.text());
  EXPECT_EQ(o.summary.status, kStatusDesignLoadNotReached);
  // The run's line names the pier that comes closest.
  EXPECT_EQ(o.summary.message,
            "NEED ANOTHER SOIL LAYER: The design load of 10000 tons is not reached by the 3.000 ft pier within the "
            "soil profile: its largest allowable load is 77.8 tons at 30 ft. Try a larger diameter or a deeper "
            "profile.");
  for (const auto* lines : {&o.reportLines, &o.notes}) {
    EXPECT_TRUE(contains(*lines, "   *********** NEED ANOTHER SOIL LAYER ************"));
    EXPECT_EQ(shortfalls(*lines),
              (std::vector<std::string>{
                  "The design load of 10000 tons is not reached by the 2.000 ft pier within the soil profile: its "
                  "largest allowable load is 47.1 tons at 30 ft. Try a larger diameter or a deeper profile.",
                  "The design load of 10000 tons is not reached by the 2.500 ft pier within the soil profile: its "
                  "largest allowable load is 61.9 tons at 30 ft. Try a larger diameter or a deeper profile.",
                  "The design load of 10000 tons is not reached by the 3.000 ft pier within the soil profile: its "
                  "largest allowable load is 77.8 tons at 30 ft. Try a larger diameter or a deeper profile."}));
  }
  ASSERT_EQ(o.report.tables.size(), 3U);
  for (const auto& table : o.report.tables) EXPECT_NEAR(table.back()[0], 30, 1e-6);
  EXPECT_FALSE(contains(o.reportLines, "MOST EFFICIENT"));
  // The plot file is complete for the piers analysed: NL 3, NP 30 + 2.
  std::istringstream plot(o.plot);
  int nl = 0, np = 0, id2 = 0;
  plot >> nl >> np >> id2;
  EXPECT_EQ(nl, 3);
  EXPECT_EQ(np, 32);
}

// The series goes on past a pier that does not reach the design load: with
// 50 tons the 2 ft pier stops short (47.1 tons at 30 ft), the 2.5 ft pier
// reaches it at 23 ft and the 3 ft pier at 16 ft; the run completes. QU per
// volume: 2.5 ft, (23 x 3.92699 + 44.179)/(0.7854 x 6.25 x 23/27) =
// 134.50/4.1815 = 32.17; 3 ft, (16 x 4.71239 + 63.617)/(0.7854 x 9 x 16/27)
// = 139.02/4.1888 = 33.19: the 3 ft pier is the most efficient.
TEST(CapacityRun, SeriesGoesOnPastAPierThatFallsShort) {
  Project p;
  p.method = 1;
  p.loadOrDepth = 50;
  p.dialim = 3;
  TempFolder dir;
  writeFile(dir / "p.pq8d", p.text());
  RunOptions options;
  options.collectResults = true;
  const RunSummary summary = runProject(dir / "p.pq8d", fixedTime, options).summary;
  ASSERT_EQ(summary.status, kStatusCompleted) << summary.message;
  const auto report = test::crlfLines(dir / "p.pq8o");
  const auto notes = test::crlfLines(dir / "p.pq8r");
  const test::ReportTables tables = test::readTables(report);
  ASSERT_EQ(tables.tables.size(), 3U);
  EXPECT_NEAR(tables.tables[0].back()[0], 30, 1e-6);
  EXPECT_NEAR(tables.tables[0].back()[6], 47.1, 0.051);
  EXPECT_NEAR(tables.tables[1].back()[0], 23, 1e-6);
  EXPECT_NEAR(tables.tables[1].back()[6], 50.9, 0.051);
  EXPECT_NEAR(tables.tables[2].back()[0], 16, 1e-6);
  EXPECT_NEAR(tables.tables[2].back()[6], 51.4, 0.051);
  const std::string shortfall =
      "The design load of 50 tons is not reached by the 2.000 ft pier within the soil profile: its largest "
      "allowable load is 47.1 tons at 30 ft. Try a larger diameter or a deeper profile.";
  EXPECT_EQ(shortfalls(report), std::vector<std::string>{shortfall});
  EXPECT_EQ(shortfalls(notes), std::vector<std::string>{shortfall});
  EXPECT_TRUE(contains(report, "  DIAMETER OF STEM       = 3.00 FT."));
  EXPECT_TRUE(contains(report, "  ESTIMATED PYLAR LENGTH =  16. FT."));
  EXPECT_TRUE(contains(report, "        RESULT FROM TREND (AVERAGED) LINE"));
  // Programs get the same: per pier the shortfall or null.
  ASSERT_EQ(summary.results.piers.size(), 3U);
  EXPECT_FALSE(summary.results.piers[1].mostEfficient);
  EXPECT_TRUE(summary.results.piers[2].mostEfficient);
  EXPECT_NE(summary.results.json.find("\"designLoadNotReached\":true,\"shortfall\":\"" + shortfall + "\""),
            std::string::npos);
  EXPECT_NE(summary.results.json.find("\"designLoadNotReached\":false,\"shortfall\":null"), std::string::npos);
}

TEST(CapacityRun, TipLessThanTwoDiametersAboveTheProfileBottom) {
  // D 2, tip 28 in a 30 ft profile: 2 ft < 2 x 2 ft of soil below the tip.
  Project p;
  p.loadOrDepth = 28;
  const Outcome o = run(p.text());
  EXPECT_EQ(o.summary.status, kStatusCompleted);
  for (const auto* lines : {&o.reportLines, &o.notes})
    EXPECT_TRUE(contains(*lines, "     PLEASE PROVIDE THE SOIL DEPTH THAT IS TWO-DIAMETER DEEPER"));
  EXPECT_TRUE(contains(o.notes, "       COMPUTING THE BASE RESISTANCE- AT LEAST TWO DIAMETER"));
  EXPECT_TRUE(contains(o.reportLines, "       resistance at the proposed pylar length."));
  // 26 ft leaves 4 ft: no warning.
  p.loadOrDepth = 26;
  EXPECT_FALSE(contains(run(p.text()).reportLines, "TWO-DIAMETER"));
}

TEST(CapacityRun, SiProjectEqualsTheEnglishOneConverted) {
  // The uniform clay pier in SI: 2 ft = 0.6096 m, 30 ft = 9.144 m, tip
  // 10 ft = 3.048 m, water 50 ft = 15.24 m, c 2000 lb/ft^2 = 95.763 kN/m^2,
  // 120 lb/ft^3 = 18.850 kN/m^3. Forces compare through 1 kN = 0.1124 ton.
  const Outcome english = run(Project{}.text());
  const std::string si =
      "Hand-computed clay\r\n2\r\n2 1 1 0.3048 1 2 0 0 0 0 0\r\n0.6096 0.6096 0 0 0 0 24821.1\r\n"
      "1 15.24 3.048 2.5 3\r\n2 9.144\r\n9 18.850 0.0 95.763 0 0 0 1 1\r\n"
      "9 18.850 0.0 95.763 0 0 0 1 1\r\n0.5 0.5\r\n";
  const Outcome metric = run(si);
  ASSERT_EQ(metric.summary.status, kStatusCompleted) << metric.summary.message;
  const test::Row& e = english.report.tables.at(0).back();
  const test::Row& m = metric.report.tables.at(0).back();
  EXPECT_NEAR(m[0], 3.0, 0.051);  // 10 ft printed in m with one decimal
  EXPECT_NEAR(m[1] * 1.3078, e[1], 0.05);
  for (int c = 2; c <= 6; ++c) EXPECT_NEAR(m[c] * 0.1124, e[c], 0.01 * e[c] + 0.05) << "column " << c;
  EXPECT_TRUE(contains(metric.reportLines, "      ( M )  (CU.M )  ( KN )   ( KN )  ( KN )   ( KN )   ( KN )  ( KN /CU.M)"));
}

// An SI pier is analysed at the length asked for: 3 m = 3 x 3.2808 =
// 9.8424 ft, not the next whole foot (10 ft = 3.048 m). The uniform clay
// pier of D 0.6096 m (2 ft): side 3.14159 tons per foot, so QS = 9.8424 x
// 3.14159 = 30.9208 tons = 275.10 kN (1 kN = 0.1124 ton); the base is the
// same 28.274 tons = 251.55 kN at every depth.
TEST(CapacityRun, SiPierIsAnalysedAtTheLengthAskedFor) {
  const std::string si =
      "Hand-computed clay\r\n2\r\n2 1 1 0.3048 1 2 0 0 0 0 0\r\n0.6096 0.6096 0 0 0 0 24821.1\r\n"
      "1 15.24 3 2.5 3\r\n2 9.144\r\n9 18.850 0.0 95.763 0 0 0 1 1\r\n"
      "9 18.850 0.0 95.763 0 0 0 1 1\r\n0.5 0.5\r\n";
  const Outcome o = run(si);
  ASSERT_EQ(o.summary.status, kStatusCompleted) << o.summary.message;
  EXPECT_TRUE(contains(o.reportLines, "      PYLAR LENGTH              =    3.000  M"));
  const test::Row& last = o.report.tables.at(0).back();
  EXPECT_NEAR(last[2], 275.10, 0.02);
  EXPECT_NEAR(last[3], 251.55, 0.02);
  // The row before is the last whole foot, 9 ft = 2.7432 m: 9 x 3.14159 =
  // 28.274 tons = 251.55 kN of side.
  EXPECT_NEAR(o.report.tables.at(0).at(o.report.tables[0].size() - 2)[2], 251.55, 0.02);
}

// The t-z curves are listed as the solver uses them. Clay of 30 ft, D 2,
// tip 24 ft, ignored top 10 ft and bottom 3 ft: the solver credits no side
// above 10 ft nor between 21 and 24 ft, so the curves at 0, 7.5 and 22.5 ft
// carry no load there; those at 15 and 30 ft (just above, 359.99 in) keep
// the clay trend line: fmax = alpha c = 0.5 x 2000/144 = 6.944 psi, second
// point 0.51 x 6.944 = 3.542 psi, peak 0.955 x 6.944 = 6.632 psi.
TEST(CapacityRun, TzCurvesInTheIgnoredPortionsCarryNoLoad) {
  Project p;
  p.top = 10;
  p.bottom = 3;
  p.loadOrDepth = 24;
  TempFolder dir;
  writeFile(dir / "p.pq8d", p.text());
  ASSERT_EQ(runProject(dir / "p.pq8d", fixedTime).summary.status, kStatusCompleted);
  // The detail listing's first t-z listing (trend line): a curve line
  // (number, 10 points, depth in ft), then its points (load, movement).
  const auto lines = test::crlfLines(dir / "p.pq8z");
  std::vector<std::pair<double, std::vector<double>>> curves;
  for (std::size_t k = 0; k < lines.size() && curves.size() < 5; ++k) {
    std::istringstream in(lines[k]);
    int number = 0, points = 0;
    double depth = 0;
    std::string rest;
    if (!(in >> number >> points >> depth) || (in >> rest) || points != 10) continue;
    std::vector<double> loads;
    for (std::size_t i = 1; i <= 10 && k + i < lines.size(); ++i) loads.push_back(std::strtod(lines[k + i].c_str(), nullptr));
    curves.emplace_back(depth, loads);
  }
  ASSERT_EQ(curves.size(), 5U);
  const double depths[] = {0, 7.5, 15, 22.5, 30};
  const double secondPoint[] = {0, 0, 3.542, 0, 3.542};
  const double peak[] = {0, 0, 6.632, 0, 6.632};
  for (std::size_t c = 0; c < 5; ++c) {
    SCOPED_TRACE("curve at " + std::to_string(depths[c]) + " ft");
    EXPECT_NEAR(curves[c].first, depths[c], 0.01);
    EXPECT_NEAR(curves[c].second[1], secondPoint[c], 0.001);
    EXPECT_NEAR(*std::max_element(curves[c].second.begin(), curves[c].second.end()), peak[c], 0.001);
  }
}

TEST(CapacityRun, SeriesBeyondItsLimitEndsWithALine) {
  // Diameters from 2 ft by 0.5 ft to 200 ft would be 397 piers: the series
  // ends after 100, says so, and announces 100 curves to the plot file.
  Project p;
  p.dialim = 200;
  const Outcome o = run(p.text());
  ASSERT_EQ(o.summary.status, kStatusCompleted) << o.summary.message;
  EXPECT_EQ(o.report.tables.size(), 100U);
  EXPECT_TRUE(contains(o.reportLines, "     THE SERIES IS LIMITED TO 100 PYLARS; THE REST OF THE SERIES IS NOT ANALYZED."));
  std::istringstream plot(o.plot);
  int nl = 0;
  plot >> nl;
  EXPECT_EQ(nl, 100);
}

TEST(CapacityRun, BadInputGivesAMessageAndNoNumbers) {
  struct Case {
    const char* what;
    void (*change)(Project&);
  };
  const Case cases[] = {
      {"zero diameter", [](Project& p) { p.dstart = p.dialim = 0; }},
      {"negative length", [](Project& p) { p.loadOrDepth = -10; }},
      {"water above the ground", [](Project& p) { p.waterTable = -3; }},
      {"bottoms not increasing", [](Project& p) { p.layers = {{20, 1000, 0.5}, {15, 1000, 0.5}}; }},
      {"proposed depth of 1E30 ft", [](Project& p) { p.loadOrDepth = 1e30; }},
      {"diameter of 1E30 ft", [](Project& p) { p.dstart = p.dialim = 1e30; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Project p;
    c.change(p);
    const Outcome o = run(p.text());
    EXPECT_EQ(o.summary.status, kStatusBadInput);
    EXPECT_EQ(o.reportLines.back().rfind("INPUT ERROR", 0), 0U) << o.reportLines.back();
    EXPECT_EQ(o.notes.back(), o.reportLines.back());
    EXPECT_TRUE(o.report.tables.empty());
  }
}

}  // namespace
}  // namespace pylar::engine
