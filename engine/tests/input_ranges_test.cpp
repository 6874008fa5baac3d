// The physical ranges of the inputs: an impossible value refuses the run
// naming record, field and value; an unusual one runs with a warning; the
// table's conversions are the engine's; the technical manual lists the table.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "pylar/engine.h"
#include "pylar/input_ranges.h"
#include "test_support.h"
#include "units.h"

namespace pylar::engine {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

using test::fixedTime;

ProjectRun runText(const TempFolder& dir, const std::string& text) {
  writeFile(dir / "p.pq8d", text);
  RunOptions options;
  options.threads = 1;
  return runProject(dir / "p.pq8d", fixedTime, options);
}

// A 3 ft pier, 30 ft long, in one sand layer (Ko method) and one weak-rock
// layer, with the fields each case edits written as {NAME}.
std::string project(std::string units, std::string design, std::string fs, std::string phi, std::string ko,
                    std::string rock) {
  // SI: m, kN/m^3 and kN/m^2; the slump in m.
  const bool si = units == "2";
  const std::string weight = si ? "19 " : "120 ";
  const std::string slump = si ? " 0.18 " : " 7 ";
  return "Ranges\r\n" + units + "\r\n2 1 1 1 1 " + design + " 0 0 0 0 0\r\n3 3 0 0 0 0 " +
         (si ? "24800000" : "3600000") + "\r\n2 10 30 " + fs + "\r\n1 40\r\n0 " + weight + "32 0 10 0 0 " + phi +
         "\r\n0 " + weight + "34 0 20 0 0 " + phi + "\r\n1\r\n" + ko + " " + ko + "\r\n6 80\r\n" + rock + " 1" + slump +
         "30 3 0 300000 55 0 0.5 0.5\r\n" + rock + " 1" + slump + "30 3 0 400000 70 0 0.5 0.5\r\n";
}

TEST(InputRanges, ImpossibleValuesRefuseTheRunUnusualOnesWarn) {
  struct Case {
    const char* what;
    std::string text;
    int status;
    std::string message;           // the run's message (status 10)
    std::vector<RunWarning> warnings;  // of a run that goes on: those of the input
  };
  const std::string ok = project("1", "2", "2.5 3", "1 1", "0.8", "60000");
  const std::vector<Case> cases = {
      {"a negative LRFD factor", project("1", "1", "2.5 3", "-0.45 -0.4", "0.8", "60000"), kStatusBadInput,
       "INPUT ERROR, RECORD 8, LAYER 1, VALUES AT THE BOTTOM, SIDE RESISTANCE FACTOR: -0.45 IS OUT OF RANGE (0 TO 1)",
       {}},
      {"Ko of a million", project("1", "2", "2.5 3", "1 1", "1e6", "60000"), kStatusBadInput,
       "INPUT ERROR, RECORD 8, LAYER 1, PROCEDURE PARAMETER, KO AT THE TOP: 1000000 IS OUT OF RANGE (0 TO 10)", {}},
      {"a factor of safety below one", project("1", "2", "0.5 0.5", "1 1", "0.8", "60000"), kStatusBadInput,
       "INPUT ERROR, RECORD 5, FACTOR OF SAFETY, SIDE: 0.5 IS OUT OF RANGE (1 TO 20)", {}},
      {"a negative rock strength", project("1", "2", "2.5 3", "1 1", "0.8", "-40000"), kStatusBadInput,
       "INPUT ERROR, RECORD 8, LAYER 2, VALUES AT THE TOP, ROCK STRENGTH: -40000 LB/SQ FT IS OUT OF RANGE (0 TO "
       "14400000 LB/SQ FT)",
       {}},
      // SI: the value and the bounds in kN/m^2 (-1915 kN/m^2 = -40000 lb/ft^2).
      {"a negative rock strength in SI", project("2", "2", "2.5 3", "1 1", "0.8", "-1915"), kStatusBadInput,
       "INPUT ERROR, RECORD 8, LAYER 2, VALUES AT THE TOP, ROCK STRENGTH: -1915 KN/SQ M IS OUT OF RANGE (0 TO 689490 "
       "KN/SQ M)",
       {}},
      // A factor of safety of 1.5 is possible but below the usual 2 to 5;
      // the LRFD factors of an ASD project are not looked at.
      {"a small factor of safety",
       project("1", "2", "1.5 3", "-1 -1", "0.8", "60000"), kStatusCompleted, "run completed",
       {{0, "RECORD 5, FACTOR OF SAFETY, SIDE: 1.5 IS OUTSIDE THE USUAL RANGE (2 TO 5)"}}},
      {"a Ko of 4", project("1", "2", "2.5 3", "1 1", "4", "60000"), kStatusCompleted, "run completed",
       {{1, "RECORD 8, LAYER 1, PROCEDURE PARAMETER, KO AT THE TOP: 4 IS OUTSIDE THE USUAL RANGE (0.3 TO 3)"},
        {1, "RECORD 8, LAYER 1, PROCEDURE PARAMETER, KO AT THE BOTTOM: 4 IS OUTSIDE THE USUAL RANGE (0.3 TO 3)"}}},
      {"usual values", ok, kStatusCompleted, "run completed", {}},
  };
  TempFolder dir;
  for (const Case& c : cases) {
    const ProjectRun run = runText(dir, c.text);
    EXPECT_EQ(run.summary.status, c.status) << c.what;
    EXPECT_EQ(run.summary.message, c.message) << c.what;
    std::vector<RunWarning> input;
    for (const RunWarning& w : run.summary.warnings)
      if (w.text.rfind("RECORD", 0) == 0) input.push_back(w);
    EXPECT_EQ(input, c.warnings) << c.what;
    if (c.status == kStatusBadInput) {
      // Said in the report and the run notes; no capacity is computed.
      EXPECT_NE(readFile(dir / "p.pq8r").find(c.message), std::string::npos) << c.what;
      EXPECT_EQ(readFile(dir / "p.pq8o").find("COMPUTATION RESULTS"), std::string::npos) << c.what;
    } else if (!c.warnings.empty()) {
      EXPECT_NE(readFile(dir / "p.pq8o").find("     " + c.warnings.front().text), std::string::npos) << c.what;
    }
  }
}

// The table converts SI values with the engine's own factors.
TEST(InputRanges, ConversionsAreTheEngines) {
  using inputs::RangeUnit;
  using inputs::siToEnglish;
  EXPECT_FLOAT_EQ(static_cast<Real>(siToEnglish(RangeUnit::Length)), kFeetPerMetre);
  EXPECT_FLOAT_EQ(static_cast<Real>(siToEnglish(RangeUnit::Stress)), kPsfPerKPa);
  EXPECT_FLOAT_EQ(static_cast<Real>(siToEnglish(RangeUnit::UnitWeight)), kPcfPerKNm3);
  EXPECT_FLOAT_EQ(static_cast<Real>(siToEnglish(RangeUnit::Modulus)), kPsiPerKPa);
  EXPECT_FLOAT_EQ(static_cast<Real>(siToEnglish(RangeUnit::Force)), kTonsPerKN);
  EXPECT_FLOAT_EQ(static_cast<Real>(siToEnglish(RangeUnit::Inches)), kInchesPerMetre);
  for (const inputs::InputRange& r : inputs::kInputRanges) {
    EXPECT_LE(r.hardMin, r.usualMin) << r.name;
    EXPECT_GE(r.hardMax, r.usualMax) << r.name;
    EXPECT_FALSE(r.source.empty()) << r.name;
  }
}

std::string bound(double v) {
  if (v >= inputs::kNoLimit) return "no limit";
  std::ostringstream out;
  out << v;
  return out.str();
}

// The technical manual's table of ranges is this table: every row as the
// test writes it from the code.
TEST(InputRanges, TechnicalManualListsTheTable) {
  const std::string manual = readFile(std::filesystem::path(PYLAR_SOURCE_DIR) / "docs" / "technical-manual.md");
  std::string expected;
  for (const inputs::InputRange& r : inputs::kInputRanges) {
    const std::string unit(inputs::unitWord(r.unit, false));
    expected += "| " + std::string(r.label) + " | " + std::string(r.name) + " | " + (unit.empty() ? "-" : unit) +
                " | " + bound(r.hardMin) + " to " + bound(r.hardMax) + " | " + bound(r.usualMin) + " to " +
                bound(r.usualMax) + " | " + (r.zeroNotGiven ? "not given" : "checked") + " | " +
                std::string(r.source) + " |\n";
  }
  EXPECT_NE(manual.find(expected), std::string::npos) << "the manual's table should read:\n" << expected;
}

}  // namespace
}  // namespace pylar::engine
