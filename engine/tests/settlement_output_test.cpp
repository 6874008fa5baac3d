#include "settlement_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pylar::engine {
namespace {

TEST(SettlementOutput, ResultTableEnglish) {
  // 3000 lb = 1.5 tons; 0.25 in; 1000 lb = 0.5 ton; 0.005 in.
  Lines out;
  writeResultTable(out, kUpperBound, {{3000, 0.25F, 1000, 0.005F}}, SettlementUnits{false});
  const Lines expected = {
      "",
      "",
      "        RESULT FROM UPPER-BOUND LINE",
      "",
      "        TOP  LOAD     TOP MOVEMENT       TIP LOAD      TIP  MOVEMENT",
      "           TON             IN.              TON            IN.",
      "       0.1500E+01      0.2500E+00      0.5000E+00      0.5000E-02",
  };
  EXPECT_EQ(out, expected);
}

TEST(SettlementOutput, SiLabelsAndConversions) {
  // 1000 lb x 4.448/1000 = 4.448 kN; 39.37 in / 39.37 = 1 m; 100 psi x 6.895
  // = 689.5 kPa; 100 in x 0.0254 = 2.54 m.
  const SettlementUnits si{true};
  EXPECT_FLOAT_EQ(si.force(1000), 4.448F);
  EXPECT_FLOAT_EQ(si.movement(39.37F), 1.0F);
  EXPECT_FLOAT_EQ(si.stress(100), 689.5F);
  EXPECT_FLOAT_EQ(si.depth(100), 2.54F);
  EXPECT_FLOAT_EQ(si.depthFeet(100), 2.54F);
  EXPECT_FLOAT_EQ(SettlementUnits{false}.depthFeet(30), 2.5F);

  Lines table, defined, listing, base, segments;
  writeResultTable(table, kTrendLine, {}, si);
  EXPECT_EQ(table.back(), "           KN.              M.              KN.             M.");
  writeDefinedSettlementTable(defined, {}, si);
  EXPECT_EQ(defined[2], "        RESULT FOR DEFINED SETTLEMENTS ");
  EXPECT_EQ(defined.back(), table.back());
  writeTzListing(listing, {}, si, true);
  EXPECT_EQ(listing[3], "           NO.      POINTS         M.              KPA              M.");
  writeBaseListing(base, {}, si);
  EXPECT_EQ(base[2], "            KN.                M.");
  writeTipMovementTable(segments, 0, 0, {}, si);
  EXPECT_EQ(segments[5], "                  M.                    KN.");
  EXPECT_EQ(segments.back(), "       M.   KPA        KN.       KN.        KN.      M.         M.        M.");
}

TEST(SettlementOutput, SegmentRowsOfTheScratchLog) {
  SegmentRecord s;
  s.bottomDepth = 120;
  s.bottomLoad = 4000;  // 2 tons
  s.bottomMovement = 0.01F;
  s.midDepth = 114;
  s.transfer = 5.5F;
  s.increment = 1000;  // 0.5 ton
  s.meanLoad = 4500;   // 2.25 tons
  s.compression = 0.0002F;
  s.midMovement = 0.0101F;
  Lines out;
  writeTipMovementTable(out, 0.01F, 4000, {s}, SettlementUnits{false});
  EXPECT_EQ(out[0], "1");
  EXPECT_EQ(out[5], "                 IN.                    TON");
  EXPECT_EQ(out[6], "             0.1000E-01             0.2000E+01");
  EXPECT_EQ(out[out.size() - 2], "    120.00                    0.200E+01                     0.100E-01");
  EXPECT_EQ(out.back(), "    114.00     5.50 0.500E+00           0.225E+01 0.200E-03           0.101E-01");
}

TEST(SettlementOutput, CurveListingsAndPlotRecords) {
  SideCurve c;
  c.number = 3;
  c.depth = 30;  // in = 2.5 ft
  c.points = {{0, 0}, {2, 0.5F}};
  Lines listing, plot, extra;
  writeTzListing(listing, {c}, SettlementUnits{false}, false);
  EXPECT_EQ(listing[4], "");
  EXPECT_EQ(listing[5], "            3          2      0.3000E+02");
  EXPECT_EQ(listing[7], "                                               0.2000E+01      0.5000E+00");
  writeTzPlotCurves(plot, {c}, SettlementUnits{false});
  EXPECT_EQ(plot, (Lines{"    3    2      2.50", "  0.0000000E+00  0.0000000E+00", "  0.2000000E+01  0.5000000E+00"}));
  writeAdditionalTzPlot(extra, {c}, SettlementUnits{false});
  EXPECT_EQ(extra[0], "       1");
  EXPECT_EQ(extra[1], "            3          2      0.2500E+01");

  BaseCurve b;
  b.points = {{0, 0}, {20000, 0.3F}};  // 10 tons at 0.3 in
  Lines qw;
  writeQwPlotCurve(qw, 2, 2.5F, b, SettlementUnits{false});
  EXPECT_EQ(qw, (Lines{"    2      2.50    2", "  0.0000000E+00  0.0000000E+00", "  0.1000000E+02  0.3000000E+00"}));
}

TEST(SettlementOutput, ListingHeads) {
  Lines detail, baseHead, upper;
  writeDetailHead(detail, kTrendLine, 2.5F, 40, SettlementUnits{false});
  EXPECT_EQ(detail[0], "        PYLAR DIAMETER           =    2.5000  FT");
  EXPECT_EQ(detail[1], "        PYLAR LENGTH             =   40.0000  FT");
  EXPECT_EQ(detail.back(), "        RESULT FROM TREND (AVERAGED) LINE");
  writeBaseListingHead(baseHead, kTrendLine, 3, 2.5F, 40, SettlementUnits{true});
  // 2.5 ft x 0.3048 = 0.762 m; 40 ft = 12.192 m.
  EXPECT_EQ(baseHead[3], "        VARIATION DIAMETER       =         3");
  EXPECT_EQ(baseHead[4], "        PYLAR DIAMETER           =    0.7620  M");
  EXPECT_EQ(baseHead[5], "        PYLAR LENGTH             =   12.1920  M");
  writeBaseListingHead(upper, kLowerBound, 3, 2.5F, 40, SettlementUnits{false});
  EXPECT_EQ(upper, (Lines{"", "", "        RESULT FROM LOWER-BOUND LINE"}));
}

TEST(SettlementOutput, DesignChartStoreIsBounded) {
  DesignChartStore store({0.5F, 1.0F}, {2, 3}, {30, 40, 50});
  EXPECT_TRUE(store.set(1, 1, 2, 500));
  EXPECT_FLOAT_EQ(store.at(1, 1, 2), 500);
  EXPECT_FLOAT_EQ(store.at(0, 1, 2), 0);
  EXPECT_FALSE(store.set(2, 0, 0, 1));
  EXPECT_FALSE(store.set(0, 2, 0, 1));
  EXPECT_FALSE(store.set(0, 0, 3, 1));
  EXPECT_FLOAT_EQ(store.at(5, 5, 5), 0);
}

TEST(SettlementOutput, DesignChartReportInBlocksOfSeven) {
  // Nine diameters 2.0 .. 6.0 ft, two lengths; load of diameter v at
  // length lx = (v + 1) x 2000 lb x (lx + 1) = (v + 1)(lx + 1) tons.
  std::vector<Real> diameters;
  for (int v = 0; v < 9; ++v) diameters.push_back(2.0F + 0.5F * static_cast<Real>(v));
  DesignChartStore store({0.5F}, diameters, {30, 40});
  for (std::size_t v = 0; v < 9; ++v)
    for (std::size_t lx = 0; lx < 2; ++lx) store.set(0, v, lx, static_cast<Real>((v + 1) * (lx + 1) * 2000));
  Lines out;
  writeDesignChartReport(out, store, false);
  const Lines expected = {
      "", "", "",
      "     DESIGN CHART CURVES",
      "     -------------------",
      "", "",
      "     - SETTLEMENT,     0.500 IN",
      "",
      "   LENGTH          DIAMETER, FT",
      "    (FT)      2.00     2.50     3.00     3.50     4.00     4.50     5.00",
      "    40.00     2.00     4.00     6.00     8.00    10.00    12.00    14.00",
      "    30.00     1.00     2.00     3.00     4.00     5.00     6.00     7.00",
      "",
      "   LENGTH          DIAMETER, FT",
      "    (FT)      5.50     6.00",
      "    40.00    16.00    18.00",
      "    30.00     8.00     9.00",
  };
  EXPECT_EQ(out, expected);

  // SI: 2.0 ft x 0.3048 = 0.61 m; 40 ft = 12.19 m; 2000 lb = 8.896 kN.
  Lines si;
  DesignChartStore one({0.0127F}, {2}, {40});
  one.set(0, 0, 0, 2000);
  writeDesignChartReport(si, one, true);
  EXPECT_EQ(si[7], "     - SETTLEMENT,    0.0127 M");
  EXPECT_EQ(si[9], "   LENGTH          DIAMETER, M");
  EXPECT_EQ(si[10], "     (M)      0.61");
  EXPECT_EQ(si[11], "    12.19     8.90");
}

TEST(SettlementOutput, DesignChartPlotBlock) {
  DesignChartStore store({0.5F, 1.0F}, {2, 3}, {30});
  store.set(1, 1, 0, 12345);
  Lines out;
  writeDesignChartPlot(out, store, false);
  // Counts, then per settlement: the settlement, per diameter the diameter
  // (in) and one (length in, load lb) pair per length.
  ASSERT_EQ(out.size(), 1U + 2 * (1 + 2 * 2));
  EXPECT_EQ(out[0], "       2       2       1");
  // 1X E15.8: at least the precision of the report's chart tables.
  EXPECT_EQ(out[6], "  0.10000000E+01");
  EXPECT_EQ(out[9], "  0.36000000E+02");
  EXPECT_EQ(out[10], "  0.36000000E+03  0.12345000E+05");
}

TEST(SettlementOutput, AxialLoadSettlementSection) {
  Lines out;
  writeAxialLoadSettlementSection(out, {{{1.5F, 0.25F, 0, 0}}}, false);
  EXPECT_EQ(out[3], "     AXIAL LOAD VS SETTLEMENT CURVES");
  EXPECT_EQ(out[4], "     -------------------------------");
  EXPECT_EQ(out[6], "                      TOP  LOAD     TOP MOVEMENT     ");
  EXPECT_EQ(out[7], "                         TONS             IN.       ");
  EXPECT_EQ(out[8], "                    0.1500E+01       0.2500E+00");
  Lines si;
  writeAxialLoadSettlementSection(si, {{}}, true);
  EXPECT_EQ(si[7], "                         kN              M             ");
}

TEST(SettlementOutput, NonFiniteValuesPrintAsZero) {
  const Real nan = std::numeric_limits<Real>::quiet_NaN();
  const Real inf = std::numeric_limits<Real>::infinity();
  Lines out;
  writeResultTable(out, kTrendLine, {{nan, inf, -inf, nan}}, SettlementUnits{false});
  writeChartTopSegment(out, nan, inf, nan);
  for (const std::string& line : out) {
    EXPECT_EQ(line.find("nan"), std::string::npos) << line;
    EXPECT_EQ(line.find("inf"), std::string::npos) << line;
  }
  EXPECT_EQ(out[6], "       0.0000E+00      0.0000E+00      0.0000E+00      0.0000E+00");
}

}  // namespace
}  // namespace pylar::engine
