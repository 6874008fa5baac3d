// Report lines and plot-data records of the capacity analysis, as exact text.
#include "report.h"

#include <gtest/gtest.h>

#include "pylar/engine.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

ProjectInput project(bool si, bool lrfd, bool uplift) {
  ProjectInput in;
  in.units = si ? 2 : 1;
  in.NLRFD = lrfd ? 1 : 2;
  in.KCYCL = uplift ? 2 : 1;
  return in;
}

Lines tableHeading(bool si, bool lrfd, bool uplift) {
  Lines out;
  writeTableHeading(out, project(si, lrfd, uplift));
  return Lines(out.end() - 2, out.end());
}

TEST(ReportText, CapacityTableHeaders) {
  struct Case {
    bool si, lrfd, uplift;
    const char* names;
    const char* units;
  };
  const Case cases[] = {
      {false, false, false, "     LENGTH  VOLUME     QS      QB      QU       QBD      QDN      QU/VOLUME",
       "      (FT)   (CU.YDS) (TONS)   (TONS)  (TONS)   (TONS)   (TONS)  (TONS/CU.YDS)"},
      {false, false, true, "     LENGTH  VOLUME     QS      WT      QU       QBD      QDN      QU/VOLUME",
       "      (FT)   (CU.YDS) (TONS)   (TONS)  (TONS)   (TONS)   (TONS)  (TONS/CU.YDS)"},
      {false, true, false, "     LENGTH  VOLUME     QS      QB      QU   LRFD QS  LRFD QB    LRFD QU",
       "      (FT)   (CU.YDS) (TONS)   (TONS)  (TONS)   (TONS)   (TONS)   (TONS)"},
      {false, true, true, "     LENGTH  VOLUME     QS      WT      QU   LRFD QS       WT    LRFD QU",
       "      (FT)   (CU.YDS) (TONS)   (TONS)  (TONS)   (TONS)   (TONS)   (TONS)"},
      {true, false, false, "     LENGTH  VOLUME     QS      QB      QU       QBD      QDN      QU/VOLUME",
       "      ( M )  (CU.M )  ( KN )   ( KN )  ( KN )   ( KN )   ( KN )  ( KN /CU.M)"},
      {true, false, true, "     LENGTH  VOLUME     QS      WT      QU       QBD      QDN      QU/VOLUME",
       "      ( M )  (CU.M )  ( KN )   ( KN )  ( KN )   ( KN )   ( KN )  ( KN )"},
      {true, true, true, "     LENGTH  VOLUME     QS      WT      QU   LRFD QS  LRFD QB    LRFD QU",
       "      ( M )  (CU.M )  ( KN )   ( KN )  ( KN )   ( KN )   ( KN )   ( KN )"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "si " << c.si << " lrfd " << c.lrfd << " uplift " << c.uplift);
    EXPECT_EQ(tableHeading(c.si, c.lrfd, c.uplift), (Lines{c.names, c.units}));
  }
}

TEST(ReportText, CapacityRows) {
  CapacityRow r;
  r.depth = 40;
  r.volume = 10.47F;
  r.qs = 262.34F;
  r.qb = 134.62F;
  r.qu = 396.96F;
  r.qbd = 307.21F;
  r.qdn = 149.81F;
  r.quPerVolume = 37.9136F;
  r.lrfdQs = 123456.7F;
  r.lrfdQb = 1234567.8F;
  r.lrfdQu = 5.5F;
  EXPECT_EQ(capacityRow(r, ReportUnits{false}, false),
            "     40.0     10.5    262.3    134.6    397.0    307.2    149.8     37.91");
  // LRFD columns; a value too wide for F9.1 widens its field (with a blank
  // before it) instead of printing asterisks: the row grows by one.
  EXPECT_EQ(capacityRow(r, ReportUnits{false}, true),
            "     40.0     10.5    262.3    134.6    397.0 123456.7 1234567.8      5.50");
  // SI: 40 ft = 12.19 m; 10.47 yd^3 / 1.3078 = 8.01 m^3; 262.34 t / 0.1124
  // = 2333.99 kN; 307.21 / 0.1124 = 2733.185 (2733.1848 in single
  // precision, printed .18); 37.9136 / 0.08594586 = 441.13 kN/m^3.
  EXPECT_EQ(capacityRow(r, ReportUnits{true}, false),
            "     12.2     8.01  2333.99  1197.69  3531.67  2733.18  1332.83    441.13");
}

TEST(ReportText, OpeningSections) {
  ProjectInput in = project(false, false, true);
  in.title = std::string(80, 'T');
  in.METHOD = 2;
  in.proposedDepth = 40;
  in.RCYCL = 0.75F;
  in.waterTable = 12.5F;
  in.layers.resize(3);
  Lines out;
  writeReportOpening(out, in);
  const Lines expected = {
      "     " + std::string(72, 'T'),
      "",
      "",
      "     PROPOSED DEPTH =      40.0 FT",
      "     ----------------",
      "",
      "",
      "     REDUCTION FACTOR APPLIED FOR UPLIFT FRICTION = 0.750",
      "     ----------------------------------------------",
      "",
      "",
      "     NUMBER OF LAYERS =    3",
      "     ------------------",
      "",
      "",
      "     WATER TABLE DEPTH =      12.5 FT.",
      "     -------------------",
      "",
      "",
      "",
      "     FACTOR OF SAFETY APPLIED TO THE ULTIMATE SIDE FRICTION CAPACITY = 2.50",
      "     -------------------------------------------------------",
      "     FACTOR OF SAFETY APPLIED TO THE ULTIMATE BASE CAPACITY = 3.00",
      "     ------------------------------------------------------",
  };
  EXPECT_EQ(out, expected);
  // LRFD, compression, design load in SI: no uplift line, no factors of safety.
  ProjectInput si = project(true, true, false);
  si.designLoad = 90;  // tons: 90/0.1124 = 800.7 kN
  Lines siOut;
  writeReportOpening(siOut, si);
  EXPECT_EQ(siOut[3], "     TOTAL LOAD =     800.7 KN");
  for (const std::string& line : siOut) {
    EXPECT_EQ(line.find("FACTOR OF SAFETY"), std::string::npos);
    EXPECT_EQ(line.find("REDUCTION FACTOR"), std::string::npos);
  }
}

TEST(ReportText, MostEfficientPier) {
  PierResult p;
  p.stem = 3.5F;
  p.base = 3.5F;
  p.last.depth = 36;
  p.last.volume = 12.83F;
  p.last.qu = 401.25F;
  p.last.quPerVolume = 31.27F;
  Lines out;
  writeMostEfficient(out, p, ReportUnits{false});
  const Lines expected = {"",
                          "",
                          "",
                          " THE MOST EFFICIENT PYLAR FOR THIS SOIL PROFILE APPEARS TO BE THE FOLLOWING ONE:",
                          "",
                          "",
                          "  DIAMETER OF STEM       = 3.50 FT.",
                          "",
                          "  DIAMETER OF BASE       = 3.50 FT.",
                          "",
                          "  ESTIMATED PYLAR LENGTH =  36. FT.",
                          "",
                          "  VOLUME OF CONCRETE     =  12.83 CU.YDS.",
                          "",
                          "  ULTIMATE LOAD CAPACITY =    401.25 TONS",
                          "",
                          "  QU/VOLUME OF CONCRETE  =  31.27 TONS/CU.YD."};
  EXPECT_EQ(out, expected);
}

TEST(ReportText, ShortfallSaysWhatHappenedAndWhatToTry) {
  struct Case {
    bool si, lrfd;
    Real designLoad, stem, largest, depth;  // working units: tons, ft
    const char* text;
  };
  const Case cases[] = {
      {false, false, 200, 3, 172.6F, 80,
       "The design load of 200 tons is not reached by the 3.000 ft pier within the soil profile: its largest "
       "allowable load is 172.6 tons at 80 ft. Try a larger diameter or a deeper profile."},
      // 900 kN x 0.1124 = 101.16 tons; 1 m = 3.2808 ft; 95.5 tons / 0.1124 =
      // 849.64 kN; 66 ft / 3.2808 = 20.117 m.
      {true, true, 101.16F, 3.2808F, 95.5F, 66,
       "The design load of 900 kN is not reached by the 1.000 m pier within the soil profile: its largest "
       "factored resistance is 849.64 kN at 20.117 m. Try a larger diameter or a deeper profile."},
  };
  for (const Case& c : cases) {
    ProjectInput in = project(c.si, c.lrfd, false);
    in.designLoad = c.designLoad;
    PierResult pier;
    pier.stem = c.stem;
    pier.largest.depth = c.depth;
    (c.lrfd ? pier.largest.lrfdQu : pier.largest.qdn) = c.largest;
    const std::string text = shortfallMessage(in, pier);
    EXPECT_EQ(text, c.text);
    // In the report and run notes: lines of at most 75 characters, 3 blanks in.
    Lines lines;
    writeShortfall(lines, text);
    std::string joined;
    for (const std::string& line : lines) {
      EXPECT_LE(line.size(), 75U);
      EXPECT_EQ(line.substr(0, 3), "   ");
      EXPECT_NE(line[3], ' ');
      joined += (joined.empty() ? "" : " ") + line.substr(3);
    }
    EXPECT_EQ(joined, c.text);
  }
}

TEST(PlotRecords, CapacityCurveLayout) {
  CapacityRow a;
  a.depth = 1;
  a.qs = 1.5F;
  a.qb = 20;
  a.qu = 1166.4F;  // the report's F9.1 prints 1166.4; E10.3 gave 0.117E+04 (1170)
  a.designSide = 0.6F;
  a.designBase = 6.667F;
  a.designTotal = 7.267F;
  CapacityRow b = a;
  b.depth = 2;
  Lines out;
  // Two rows padded to three (the first curve sets the count for all).
  writePlotRecords(out, 2, {a, b}, 3, 5, {}, ReportUnits{false});
  ASSERT_EQ(out.size(), 1U + 2 + 3 * 2 + 15);
  EXPECT_EQ(out[0], "           2           5           1");
  EXPECT_EQ(out[1], "   0.0  0.0  0.0  0.0  0.0 0.0  0.0  ");
  EXPECT_EQ(out[2], "  0.50000000E+01   0.0   0.0  0.0 0.0  0.0  0.0 ");
  // 1X E15.8: eight significant digits of the single-precision value (0.6F
  // is 0.600000024, 6.667F is 6.66699982, 7.267F is 7.26700020).
  EXPECT_EQ(out[3], "  0.10000000E+01  0.15000000E+01  0.20000000E+02  0.11664000E+04  0.60000002E+00");
  EXPECT_EQ(out[4], "  0.66669998E+01  0.72670002E+01");
  EXPECT_EQ(out[5], "  0.20000000E+01  0.15000000E+01  0.20000000E+02  0.11664000E+04  0.60000002E+00");
  EXPECT_EQ(out[7], out[5]);  // the padding repeats the last row
  EXPECT_EQ(out[9], "  0.00000000E+00  0.00000000E+00  0.00000000E+00  0.00000000E+00");
  // With three load-settlement curves: curve set 3 and 45 rows.
  LoadSettlementCurves curves;
  curves.trend = curves.upper = curves.lower = std::vector<LoadSettlementRow>(15, {100, 0.5F, 40, 0.1F});
  Lines withCurves;
  writePlotRecords(withCurves, 1, {a}, 0, 0, curves, ReportUnits{false});
  EXPECT_EQ(withCurves[0], "           1           3           3");
  EXPECT_EQ(withCurves.size(), 1U + 2 + 2 + 45);
  EXPECT_EQ(withCurves.back(), "  0.10000000E+03  0.50000000E+00  0.40000000E+02  0.10000000E+00");
}

TEST(ReportText, EmitCutsAtLineBreaks) {
  Lines out;
  emit(out, "\n\nA\nB\n");
  EXPECT_EQ(out, (Lines{"", "", "A", "B", ""}));
}

// Realistic piers the program accepts print every value as a number: a
// 10 ft stem (F5.2 keeps a place for the sign, so 10.00 did not fit), a 12 ft
// bell, a length of 1000 ft (F5.0), a QU per volume over 1000 kN/m^3 (F7.2).
// Only the warning banners hold asterisks.
TEST(ReportText, AcceptedPiersPrintNumbersNotAsterisks) {
  struct Case {
    const char* what;
    std::string project;
    const char* line;  // a line the report holds
  };
  const std::string sand = "1 10\r\n0.0 115 0 0 10 0 0 1 1\r\n0.0 118 0 0 14 0 0 1 1\r\n2\r\n0 0\r\n"
                           "1 1995\r\n0.0 122 0 0 22 0 0 1 1\r\n0.0 125 0 0 30 0 0 1 1\r\n2\r\n0 0\r\n";
  const std::string head = "P\r\n1\r\n2 1 1 1 1 2 0 0 0 0 0\r\n";
  const Case cases[] = {
      {"a 10 ft stem", head + "10 10 0 0 0 0 3600000\r\n2 12 60 2.5 3\r\n" + sand,
       "  DIAMETER OF STEM       = 10.00 FT."},
      {"a 12 ft bell", head + "4 4 3 30 0 0 3600000\r\n2 12 35 2.5 3\r\n" + sand,
       "  DIAMETER OF BASE       = 12.00 FT."},
      {"a length of 1000 ft", head + "3 3 0 0 0 0 3600000\r\n2 12 1000 2.5 3\r\n" + sand,
       "  ESTIMATED PYLAR LENGTH = 1000. FT."},
      {"QU per volume over 1000 kN/m^3",
       test::readFile(std::filesystem::path(PYLAR_SOURCE_DIR) / "examples" / "strong-rock-lrfd-si.pq8d"),
       "  QU/VOLUME OF CONCRETE  = 3388.42 KN/CU.M"},
  };
  test::TempFolder dir;
  for (const Case& c : cases) {
    test::writeFile(dir / "p.pq8d", c.project);
    RunOptions options;
    options.threads = 1;
    const ProjectRun run = runProject(dir / "p.pq8d", [] { return RunTime{}; }, options);
    ASSERT_EQ(run.summary.status, kStatusCompleted) << c.what << ": " << run.summary.message;
    const std::vector<std::string> lines = test::crlfLines(dir / "p.pq8o");
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.line), lines.end()) << c.what;
    for (const std::string& line : lines)
      if (line.find("WARNING") == std::string::npos) {
        EXPECT_EQ(line.find("**"), std::string::npos) << c.what << ": " << line;
      }
  }
}

TEST(RockSocketReport, TableLayout) {
  RockSocketResult r;
  r.points[0] = {123.4F, 0.0125F, 0, 0};
  std::vector<std::string> out;
  writeRelationshipHeading(out);
  writeRockSettlementTable(out, r, true);
  ASSERT_EQ(out.size(), 4u + 3u + 15u);
  EXPECT_EQ(out[2], "                      LOAD SETTLEMENT RELATIONSHIP      ");
  EXPECT_EQ(out[5], "                      TOP  LOAD     TOP MOVEMENT        ");
  EXPECT_EQ(out[6], "                         kN              M             ");
  EXPECT_EQ(out[7], "                    0.1234E+03       0.1250E-01");
}

}  // namespace
}  // namespace pylar::engine
