// Every warning the report prints reaches the run's summary, the end of the
// run notes and the JSON results, with its layer; and the rule of the
// gravel criteria's blow-count warnings at their bounds.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "pylar/engine.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

using test::fixedTime;

const std::string kGravelLow =
    "Blow counts should be greater than 25 for this criterion. Select other soil criteria and do not use this "
    "output data.";
const std::string kGravelHigh =
    "UNIT TIP RESISTANCE IS LIMITED TO 30 TSF IF SPT-N IS OVER 50. LOADING TEST IS RECOMMENDED FOR USING HIGHER "
    "VALUE.";
const std::string kClayTooStrong =
    "THE SHEAR STRENGTH OF THIS MATERIAL MAY BE TOO HIGH FOR USING CLAY CRITERIA. DESIGN AS INTERMEDIATE "
    "GEOMATERIALS IS RECOMMENDED.";

ProjectRun runIn(const TempFolder& dir, const std::string& name, const std::string& text, bool collect = false) {
  writeFile(dir / name, text);
  RunOptions options;
  options.threads = 1;
  options.collectResults = collect;
  return runProject(dir / name, fixedTime, options);
}

// The twelve-layer sample warns of blow counts of 25 in its gravelly sand
// (layer 5) and of the strength of its clay shale (layer 12: 6000 to 8000
// lb/ft^2, 2.8 to 3.8 atmospheres, at or above the 2.5 of the clay criteria).
TEST(RunWarnings, ReachTheSummaryTheRunNotesAndTheJson) {
  TempFolder dir;
  const std::string sample =
      readFile(std::filesystem::path(PYLAR_SOURCE_DIR) / "examples" / "deep-profile-lrfd.pq8d");
  const ProjectRun run = runIn(dir, "deep.pq8d", sample, true);
  ASSERT_EQ(run.summary.status, kStatusCompleted) << run.summary.message;
  const std::vector<RunWarning> expected = {{5, kGravelLow}, {12, kClayTooStrong}};
  EXPECT_EQ(run.summary.warnings, expected);

  // The run notes end with the same list.
  const std::vector<std::string> notes = test::crlfLines(dir / "deep.pq8r");
  ASSERT_GE(notes.size(), 4U);
  const std::vector<std::string> tail(notes.end() - 4, notes.end());
  const std::vector<std::string> expectedTail = {
      "     WARNINGS OF THE RUN:    2", "     --------------------", "     LAYER  5: " + kGravelLow,
      "     LAYER 12: " + kClayTooStrong};
  EXPECT_EQ(tail, expectedTail);

  // The report prints the shale's warning after the shale's own values,
  // before the footnote on estimates, not among the layer above.
  const std::string report = readFile(dir / "deep.pq8o");
  const auto shale = report.find("LAYER NO12----CLAY SHALE");
  const auto warning = report.find("THE SHEAR STRENGTH OF THIS MATERIAL MAY BE TOO HIGH");
  ASSERT_NE(shale, std::string::npos);
  EXPECT_GT(warning, shale);
  EXPECT_LT(warning, report.find("(*) ESTIMATED BY THE PROGRAM"));

  // The JSON keeps its messages and lists the warnings with their layers.
  const std::string& json = run.summary.results.json;
  EXPECT_NE(json.find("\"messages\":[]"), std::string::npos) << json.substr(0, 300);
  EXPECT_NE(json.find("\"warnings\":[{\"layer\":5,\"text\":\"" + kGravelLow + "\"},{\"layer\":12,\"text\":\"" +
                      kClayTooStrong + "\"}]"),
            std::string::npos)
      << json.substr(0, 600);
}

// The pier-level warning of a tip too near the end of the profile has no
// layer, and a run without warnings ends its run notes as before.
TEST(RunWarnings, PierWarningsHaveNoLayerAndQuietRunsListNone) {
  TempFolder dir;
  const std::string head = "Sand\r\n1\r\n2 1 1 1 1 2 0 0 0 0 0\r\n3 3 0 0 0 0 3600000\r\n1 10 ";
  const std::string layers = " 2.5 3\r\n1 40\r\n0 120 32 0 10 0 0 1 1\r\n0 125 34 0 20 0 0 1 1\r\n1\r\n0.5 0.5\r\n";
  // A 3 ft pier to 38 ft in 40 ft of sand: 2 ft below the tip, 6 ft needed.
  const ProjectRun shortOfBase = runIn(dir, "short.pq8d", head + "38" + layers);
  ASSERT_EQ(shortOfBase.summary.status, kStatusCompleted) << shortOfBase.summary.message;
  const std::vector<RunWarning> expected = {
      {0, "PLEASE PROVIDE THE SOIL DEPTH THAT IS TWO-DIAMETER DEEPER THAN THE TIP OF DRILLED PYLARS"}};
  EXPECT_EQ(shortOfBase.summary.warnings, expected);
  EXPECT_NE(readFile(dir / "short.pq8r").find("     GENERAL: PLEASE PROVIDE THE SOIL DEPTH"), std::string::npos);

  const ProjectRun quiet = runIn(dir, "quiet.pq8d", head + "20" + layers);
  ASSERT_EQ(quiet.summary.status, kStatusCompleted);
  EXPECT_TRUE(quiet.summary.warnings.empty());
  EXPECT_EQ(readFile(dir / "quiet.pq8r").find("WARNINGS OF THE RUN"), std::string::npos);
}

// The gravel criteria ask for blow counts greater than 25 and limit the tip
// resistance above 50: a count of 25 at either end is outside the criteria,
// 26 is inside; 50 is the limit itself, 51 is above it.
TEST(RunWarnings, GravelBlowCountRuleAtItsBounds) {
  struct Case {
    const char* top;
    const char* bottom;
    std::vector<std::string> texts;
  };
  const Case cases[] = {
      {"25", "30", {kGravelLow}},   {"26", "30", {}},           {"30", "25", {kGravelLow}},
      {"30", "50", {}},             {"30", "51", {kGravelHigh}}, {"20", "60", {kGravelHigh, kGravelLow}},
  };
  TempFolder dir;
  for (const Case& c : cases) {
    const std::string project = std::string("Gravelly sand\r\n1\r\n2 1 1 1 1 2 0 0 0 0 0\r\n3 3 0 0 0 0 3600000\r\n") +
                                "1 10 30 2.5 3\r\n8 60\r\n125 " + c.top + " 0 0 0 1 1\r\n128 " + c.bottom +
                                " 0 0 0 1 1\r\n";
    const ProjectRun run = runIn(dir, "g.pq8d", project);
    ASSERT_EQ(run.summary.status, kStatusCompleted) << run.summary.message;
    std::vector<std::string> texts;
    for (const RunWarning& w : run.summary.warnings) {
      EXPECT_EQ(w.layer, 1);
      texts.push_back(w.text);
    }
    EXPECT_EQ(texts, c.texts) << c.top << " " << c.bottom;
    // The report prints a block for each, and none without one.
    const std::string report = readFile(dir / "g.pq8o");
    EXPECT_EQ(report.find("Blow counts should be greater than 25") != std::string::npos,
              std::find(c.texts.begin(), c.texts.end(), kGravelLow) != c.texts.end());
    EXPECT_EQ(report.find("IS LIMITED TO 30 TSF") != std::string::npos,
              std::find(c.texts.begin(), c.texts.end(), kGravelHigh) != c.texts.end());
  }
}

}  // namespace
}  // namespace pylar::engine
