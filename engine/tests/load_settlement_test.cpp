#include "load_settlement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis.h"
#include "load_settlement_series.h"
#include "run.h"
#include "run_output.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

using test::TempFolder;

TEST(LoadSettlement, AssumedTipMovements) {
  struct Case {
    Real d;
    Real s13, s14, s15;
  };
  // D = 12: 0.12 < 0.5 -> 0.625; 0.3 < 0.625 -> 1.25 x 0.625 = 0.78125;
  //   0.6 < 0.78125 -> 0.9765625.
  // D = 30: 0.3 < 0.5 -> 0.625; 0.75; 1.5.
  // D = 60: 0.6; 1.5; 3.0.
  const std::vector<Case> cases = {{12, 0.625F, 0.78125F, 0.9765625F}, {30, 0.625F, 0.75F, 1.5F}, {60, 0.6F, 1.5F, 3.0F}};
  for (const Case& c : cases) {
    const auto s = assumedTipMovements(c.d);
    EXPECT_FLOAT_EQ(s[0], 0.00001F);
    EXPECT_FLOAT_EQ(s[11], 0.5F);
    EXPECT_FLOAT_EQ(s[12], c.s13) << c.d;
    EXPECT_FLOAT_EQ(s[13], c.s14) << c.d;
    EXPECT_FLOAT_EQ(s[14], c.s15) << c.d;
  }
}

TEST(LoadSettlement, StiffnessOverTheBell) {
  // Ec = 1: stem 10 in -> 78.54; bell 20 in -> 314.16; bell from 90 to 100 in.
  const StiffnessTable bell = stiffnessTable(1, 10, 20, 100, 10);
  EXPECT_FLOAT_EQ(bell.at(0), 78.54F);
  EXPECT_FLOAT_EQ(bell.at(89), 78.54F);
  EXPECT_NEAR(bell.at(95), 196.35F, 1e-3F);  // halfway: (78.54 + 314.16) / 2
  EXPECT_FLOAT_EQ(bell.at(100), 314.16F);
  const StiffnessTable straight = stiffnessTable(1, 10, 10, 100, 0);
  for (Real z : {0.0F, 50.0F, 99.9F, 100.0F}) EXPECT_FLOAT_EQ(straight.at(z), 78.54F);
}

// One clay layer 0..120 in with 10 psi everywhere, D = 12 in, L = 120 in.
CurveSet uniformClay(Real ultimateBase) {
  CurveInput in;
  in.layers = {{kClay, 0, 120}};
  in.layerProfile = {{0, 10}, {120, 10}};
  in.incrementProfile = {{12, 10}, {120, 10}};
  in.stemDiameter = 12;
  in.baseDiameter = 12;
  in.pierLength = 120;
  in.tipCode = kClay;
  in.ultimateBase = ultimateBase;
  return buildCurves(in).set;
}

SolverGeometry geometry(Real ec, int segments) {
  SolverGeometry g;
  g.stemDiameter = 12;
  g.length = 120;
  g.segments = segments;
  g.stiffness = stiffnessTable(ec, 12, 12, 120, 0);
  return g;
}

TEST(LoadSettlement, OneSegmentByHand) {
  // N = 1, J = 120 in, C = 3.1416 x 12 x 120 = 4523.904 in^2. Tip movement
  // 1 in lies beyond the clay curve (0.02 D = 0.24 in): t = 0.835 x 10 =
  // 8.35 psi; dQ = 8.35 x 4523.904 = 37774.6 lb; no base.
  // EA = 1e6 x 0.7854 x 144 = 1.130976e8 lb; top movement
  // 1 + 120 x (0 + 37774.6 / 2) / 1.130976e8 = 1 + 0.0200400.
  const TipSolution s = solveTipMovement(uniformClay(0), geometry(1e6F, 1), 1, true);
  EXPECT_NEAR(s.row.topLoad, 37774.6F, 0.5F);
  EXPECT_NEAR(s.row.topMovement, 1.02004F, 1e-5F);
  EXPECT_EQ(s.row.tipLoad, 0);
  EXPECT_EQ(s.row.tipMovement, 1);
  EXPECT_NEAR(s.topMeanLoad, 18887.3F, 0.5F);  // Pb + dQ / 2
  EXPECT_NEAR(s.topMidDepth, 60, 1e-5F);
  ASSERT_EQ(s.segments.size(), 1U);
  EXPECT_NEAR(s.segments[0].compression, 0.0200400F, 1e-6F);
  EXPECT_EQ(s.unconvergedSegments, 0);
}

TEST(LoadSettlement, LimitingPiers) {
  const CurveSet curves = uniformClay(50000);
  for (Real s : assumedTipMovements(12)) {
    // The ignored top portion covers the whole pier: no side transfer, the
    // top carries the tip load.
    SolverGeometry ignored = geometry(3.6e6F, 10);
    ignored.topIgnored = 120;
    const TipSolution a = solveTipMovement(curves, ignored, s, false);
    EXPECT_FLOAT_EQ(a.row.topLoad, a.row.tipLoad) << s;
    EXPECT_GT(a.row.topMovement, s);
    // The same with the ignored bottom portion covering the pier.
    SolverGeometry bottom = geometry(3.6e6F, 10);
    bottom.bottomIgnored = 120;
    EXPECT_FLOAT_EQ(solveTipMovement(curves, bottom, s, false).row.topLoad, a.row.tipLoad) << s;
    // A rigid pier: the top moves with the tip.
    const TipSolution b = solveTipMovement(curves, geometry(1e30F, 10), s, false);
    EXPECT_NEAR(b.row.topMovement, s, s * 1e-5F) << s;
    EXPECT_GE(b.row.topLoad, b.row.tipLoad);
  }
  // Rigid, 1 in: the whole side at 8.35 psi, 3.1416 x 12 x 120 x 8.35 =
  // 37774.6 lb, plus the base beyond its table (0.1 x 12 = 1.2 in): 1 in =
  // 0.0833 Dref, between 0.07 (0.98) and 0.1 (0.991):
  // 0.98 + (0.08333 - 0.07)/0.03 x 0.011 = 0.984889 -> 49244.4 lb.
  const TipSolution rigid = solveTipMovement(curves, geometry(1e30F, 10), 1, false);
  EXPECT_NEAR(rigid.row.tipLoad, 49244.4F, 1);
  EXPECT_NEAR(rigid.row.topLoad, 37774.6F + 49244.4F, 3);
}

TEST(LoadSettlement, IgnoredPortionsEndingAtASegmentMiddle) {
  // The capacity table credits a 1 ft slice only when its middle lies below
  // the ignored top portion and above the ignored bottom portion (strictly).
  // With 0.5 ft = 6 in at both ends of the 10 ft pier, the top segment (mid
  // 114 in) and the tip segment (mid 6 in from the tip) carry nothing, and
  // the 8 segments in between do. Rigid pier, tip movement 1 in (beyond the
  // clay curve): t = 0.835 x 10 = 8.35 psi; C = 3.1416 x 12 x 12 =
  // 452.3904 in^2; side = 8 x 8.35 x 452.3904 = 30219.7 lb; no base.
  SolverGeometry g = geometry(1e30F, 10);
  g.topIgnored = 6;
  g.bottomIgnored = 6;
  const TipSolution s = solveTipMovement(uniformClay(0), g, 1, false);
  EXPECT_NEAR(s.row.topLoad, 30219.7F, 0.5F);
}

TEST(LoadSettlement, NoStiffnessStaysFinite) {
  const TipSolution s = solveTipMovement(uniformClay(50000), geometry(0, 10), 0.5F, true);
  EXPECT_TRUE(std::isfinite(s.row.topLoad));
  EXPECT_FLOAT_EQ(s.row.topMovement, 0.5F);
}

TEST(LoadSettlement, TipMovementOfADefinedSettlement) {
  const std::vector<SettlementRow> rows = {{10, 0.1F, 1, 0.05F}, {20, 0.3F, 2, 0.2F}, {30, 0.5F, 3, 0.3F}};
  struct Case {
    Real settlement, tip;
  };
  const std::vector<Case> cases = {
      {0.05F, 0},     // below the first row
      {0.1F, 0.05F},  // on a row
      {0.2F, 0.125F}, // halfway: (0.05 + 0.2) / 2
      {0.5F, 0.3F},
      // Beyond: 0.3 + (0.9 - 0.5) x (0.3 - 0.2) / (0.5 - 0.3) = 0.5.
      {0.9F, 0.5F},
  };
  for (const Case& c : cases) EXPECT_NEAR(tipMovementForSettlement(rows, c.settlement), c.tip, 1e-6F) << c.settlement;
  EXPECT_EQ(tipMovementForSettlement({}, 1), 0);
  EXPECT_EQ(tipMovementForSettlement(rows, std::nanf("")), 0);
}

// A run with every load-settlement channel open in a temporary folder; the
// run's writer renders an analysis whose only stage is the load-settlement
// one.
struct RunFixture {
  TempFolder dir;
  Run run;
  explicit RunFixture(bool si = false) {
    run.names.scratchFolder = dir.path();
    run.input.units = si ? 2 : 1;
    const std::vector<std::pair<int, const char*>> files = {
        {kChannelReport, "r.pq8o"}, {kChannelNotes, "r.pq8r"}, {kChannelPlot, "r.pq8p"},
        {kChannelDetail, "r.pq8z"}, {kChannelQwListing, "r.pq8w"}, {kChannelTzPlot, "r.pq8t"},
        {kChannelQwPlot, "r.pq8q"}, {kChannelChart, "CHART.DAT"}};
    for (const auto& [channel, name] : files) run.channels.openWrite(channel, dir / name);
  }
  void write(const SettlementAnalysis& settlement) {
    Analysis a;
    a.settlement = settlement;
    writeAnalysis(run, a);
  }
  std::string file(const std::string& name) {
    run.channels.closeAll();
    return test::readFile(dir / name);
  }
};

SettlementSettings settings(bool si, int diameters) {
  SettlementSettings s;
  s.si = si;
  s.Ec = 3.6e6F;
  s.layers = {{kClay, 0, 30, 1.0e6F}};
  s.designCharts = true;
  s.settlementsIn = {0.0000001F, 0.5F, 50};
  s.settlementsAsEntered = s.settlementsIn;
  for (int v = 0; v < diameters; ++v) s.chartDiametersFt.push_back(2 + 0.5F * static_cast<Real>(v));
  s.chartLengthsFt = {20};
  return s;
}

SettlementGeometry pier(int v) {
  SettlementGeometry g;
  g.stemFt = 2 + 0.5F * static_cast<Real>(v - 1);
  g.baseFt = g.stemFt;
  g.lengthFt = 20;
  g.ultimateBaseTons = 30;
  g.tipCode = kClay;
  g.diameterIndex = v;
  g.pier = static_cast<std::size_t>(v - 1);
  for (int z = 1; z <= 30; ++z) g.unitSide.push_back({static_cast<Real>(z), 0.5F});  // 0.5 tsf = 6.944 psi
  return g;
}

TEST(LoadSettlement, RockSlicesAboveASoilTipCarryTheSideOfTheirSocket) {
  // Clay 0-10 ft over strong rock 10-15 ft with a 2 ft socket over clay
  // 15-30 ft; a 3 ft stem with its tip at 25 ft in the lower clay. The
  // capacity table takes a rock slice's 2 tsf over the socket:
  // 2 x pi x 2 = 12.566 tons per ft. The solver applies the curves' unit
  // side to the stem's perimeter, so the rock slices enter the curves with
  // 2 x 2/3 = 1.33333 tsf: 1.33333 x pi x 3 = 12.566 tons per ft again.
  ProjectInput in;
  in.layers.resize(3);
  in.layers[0] = {kClay, 10};
  in.layers[1] = {kStrongRock, 15};
  in.layers[2] = {kClay, 30};
  PierAnalysis pier;
  pier.geometry = pierGeometry(3, 0, 0);
  for (int z = 1; z <= 30; ++z) {
    Slice& s = pier.profile.slices.emplace_back();
    const bool rock = z > 10 && z <= 15;
    s.layer = z <= 10 ? 0 : rock ? 1 : 2;
    s.unitSide = rock ? 2 : 0.5F;
    s.perimeter = rock ? 2 : 3;
    s.side = s.unitSide * kPi * s.perimeter;
  }
  const SettlementGeometry g = settlementGeometry(in, pier, 25, 1, 1);
  EXPECT_EQ(g.tipCode, kClay);
  ASSERT_EQ(g.unitSide.size(), 30U);
  EXPECT_EQ(g.unitSide[4].unitSideTsf, 0.5F);  // clay: as it stands
  EXPECT_NEAR(g.unitSide[12].unitSideTsf, 1.33333F, 1e-5);
  EXPECT_NEAR(g.unitSide[12].unitSideTsf * kPi * 3, pier.profile.slices[12].side, 1e-4);
}

TEST(LoadSettlement, SeriesOfThreeDiameters) {
  RunFixture f;
  const SettlementAnalysis a = solveGeometries(settings(false, 3), {pier(1), pier(2), pier(3)}, 3, 1);
  f.write(a);
  ASSERT_EQ(a.geometries.size(), 3U);
  EXPECT_EQ(a.status, 0);
  for (const GeometryResult& r : a.geometries) {
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(r.curves.trend.size(), 15U);
    ASSERT_EQ(r.curves.upper.size(), 15U);
    ASSERT_EQ(r.curves.lower.size(), 15U);
    ASSERT_EQ(r.defined.points.size(), 3U);
    // A settlement below the first row: no tip movement, the side alone.
    EXPECT_EQ(r.defined.points[0].row.tipMovement, 0);
    EXPECT_EQ(r.defined.points[0].row.tipLoad, 0);
    // Beyond the last row (50 in): extrapolated past the last tip movement.
    EXPECT_GT(r.defined.points[2].row.tipMovement, r.rows(kTrendLine).back().tipMovement);
    // Report rows in tons.
    EXPECT_FLOAT_EQ(r.curves.trend[14].topLoad, r.rows(kTrendLine)[14].topLoad / 2000);
  }
  // Upper bound above trend above lower bound at 0.25 in of tip movement.
  const GeometryResult& first = a.geometries[0];
  EXPECT_GT(first.rows(kUpperBound)[10].topLoad, first.rows(kTrendLine)[10].topLoad);
  EXPECT_GT(first.rows(kTrendLine)[10].topLoad, first.rows(kLowerBound)[10].topLoad);
  EXPECT_EQ(test::readFile(f.dir / "TZDIAM.DAT"), "       3\r\n");
  // Three base curves numbered 1, 2, 3; the t-z curves once (5 of one layer).
  const std::string qw = f.file("r.pq8q");
  EXPECT_NE(qw.find("    1      2.00   10\r\n"), std::string::npos);
  EXPECT_NE(qw.find("    2      2.50   10\r\n"), std::string::npos);
  EXPECT_NE(qw.find("    3      3.00   10\r\n"), std::string::npos);
  EXPECT_EQ(f.file("r.pq8t").rfind("       5\r\n    1   10", 0), 0U);
  // The chart holds the mean load of the top segment for every diameter.
  for (std::size_t v = 0; v < 3; ++v) EXPECT_GT(a.charts.at(1, v, 0), 0) << v;
  // TZDATA.DAT holds the last run (lower bound of diameter 3) only: one t-z
  // listing and 15 tip-movement tables.
  const std::string log = test::readFile(f.dir / "TZDATA.DAT");
  EXPECT_EQ(log.rfind("     NOTE: TZ CURVE DATA", 0), 0U);
  std::size_t pages = 0;
  for (std::size_t at = log.find("\r\n1\r\n"); at != std::string::npos; at = log.find("\r\n1\r\n", at + 1)) ++pages;
  EXPECT_EQ(pages, 15U);
}

TEST(LoadSettlement, SingleDiameterSiRun) {
  RunFixture f(true);
  const SettlementAnalysis a = solveGeometries(settings(true, 1), {pier(1)}, 1, 1);
  EXPECT_EQ(a.geometries.at(0).status, 0);
  f.write(a);
  EXPECT_EQ(test::readFile(f.dir / "TZDIAM.DAT"), "       1\r\n");
  const std::string report = f.file("r.pq8o");
  EXPECT_NE(report.find("           KN.              M.              KN.             M.\r\n"), std::string::npos);
  EXPECT_EQ(report.find("TON"), std::string::npos);
  EXPECT_NE(report.find("                         kN              M             \r\n"), std::string::npos);
  EXPECT_NE(report.find("   LENGTH          DIAMETER, M\r\n"), std::string::npos);
  const std::string detail = f.file("r.pq8z");
  EXPECT_NE(detail.find("        PYLAR DIAMETER           =    0.6096  M\r\n"), std::string::npos);
  EXPECT_NE(detail.find("           NO.      POINTS         M.              KPA              M.\r\n"),
            std::string::npos);
}

TEST(LoadSettlement, CurveBeyondTheProfileEndsTheSeries) {
  RunFixture f;
  SettlementSettings s = settings(false, 2);
  s.layers.push_back({kClay, 30, 30.5F, 1e6F});  // 6 in thick: its first curve lies below it
  const SettlementAnalysis a = solveGeometries(s, {pier(1), pier(2)}, 2, 2);
  // The series ends at the first geometry, whatever the threads did.
  ASSERT_EQ(a.geometries.size(), 1U);
  EXPECT_EQ(a.status, kStatusSideCurveBeyondProfile);
  EXPECT_EQ(a.geometries[0].status, kStatusSideCurveBeyondProfile);
  EXPECT_TRUE(a.geometries[0].curves.trend.empty());
  f.write(a);
  // Nothing reached the plot records; the log holds the note only.
  EXPECT_FALSE(std::filesystem::exists(f.dir / "TZDIAM.DAT"));
  EXPECT_EQ(f.file("r.pq8t"), "");
  EXPECT_EQ(test::readFile(f.dir / "TZDATA.DAT"),
            "     NOTE: TZ CURVE DATA ARE AVAILABLE FOR SAND AND CLAY LAYERS ONLY.\r\n\r\n\r\n");
  EXPECT_NE(f.file("r.pq8o").find("IS BEYOND THE EXTENT OF THE INPUT STRENGTH CURVE 1"), std::string::npos);
}

TEST(LoadSettlement, NoModulusNoAnalysis) {
  RunFixture f;
  SettlementSettings s = settings(false, 1);
  s.Ec = 0;
  const SettlementAnalysis a = solveGeometries(s, {pier(1)}, 1, 1);
  EXPECT_TRUE(a.modulusMissing);
  EXPECT_TRUE(a.geometries.empty());
  f.write(a);
  EXPECT_NE(f.file("r.pq8r").find("NO LOAD-SETTLEMENT ANALYSIS IS MADE."), std::string::npos);
}

}  // namespace
}  // namespace pylar::engine
