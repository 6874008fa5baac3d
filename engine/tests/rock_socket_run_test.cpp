// The rock and intermediate-geomaterial sample projects run end to end: the
// load-settlement table of the report and the load-settlement rows of the
// plot-data file hold the same 15 points of the chosen pier, in kN and m for SI projects, and
// every curve rises monotonically.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "pylar/engine.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<double> numbers(const std::string& line) {
  std::vector<double> v;
  std::istringstream in(line);
  for (double x; in >> x;) v.push_back(x);
  return v;
}

TEST(RockSocketRun, RockExamplesWriteTheSameMonotoneCurveToReportAndPlotFile) {
  struct Example {
    const char* name;
    bool si;
  };
  const Example examples[] = {{"weak-rock-socket", false},        {"weak-rock-smooth-si", true},
                              {"strong-rock-side-or-base", false}, {"strong-rock-lrfd-si", true},
                              {"decomposed-rock-lrfd-si", true}};
  for (const Example& e : examples) {
    SCOPED_TRACE(e.name);
    test::TempFolder dir;
    const fs::path project = dir / (std::string(e.name) + ".pq8d");
    fs::copy_file(fs::path(PYLAR_SOURCE_DIR) / "examples" / project.filename(), project);
    ASSERT_EQ(runProject(project).summary.status, 0);
    fs::path report = project, plot = project;
    report.replace_extension(".pq8o");
    plot.replace_extension(".pq8p");
    const auto out = linesOf(test::readFile(report));
    const auto plotLines = linesOf(test::readFile(plot));

    std::size_t at = 0;
    while (at < out.size() && out[at] != "     AXIAL LOAD VS SETTLEMENT CURVES") ++at;
    ASSERT_LE(at + 20, out.size());
    EXPECT_EQ(out[at + 4], e.si ? "                         kN              M             "
                                : "                         TONS             IN.       ");
    // The chosen pier's block of four-value rows in the plot-data file (the
    // other piers of a series carry zero rows).
    const auto first = numbers(out[at + 5]);
    ASSERT_EQ(first.size(), 2u);
    std::size_t block = 0;
    while (block < plotLines.size()) {
      const auto rec = numbers(plotLines[block]);
      if (rec.size() == 4 && std::fabs(rec[0] - first[0]) <= 6e-3 * first[0] &&
          std::fabs(rec[1] - first[1]) <= 6e-3 * first[1])
        break;
      ++block;
    }
    ASSERT_LE(block + 15, plotLines.size());
    for (std::size_t i = 0; i < 15; ++i) {
      const auto row = numbers(out[at + 5 + i]);
      const auto rec = numbers(plotLines[block + i]);
      ASSERT_EQ(row.size(), 2u);
      ASSERT_EQ(rec.size(), 4u);
      EXPECT_GT(row[0], 0);
      EXPECT_GT(row[1], 0);
      EXPECT_NEAR(rec[0], row[0], 6e-3 * row[0]) << i;  // E10.3 against E17.4
      EXPECT_NEAR(rec[1], row[1], 6e-3 * row[1]) << i;
      if (i > 0) {
        const auto before = numbers(out[at + 4 + i]);
        EXPECT_GE(row[0], before[0]) << i;
        EXPECT_GT(row[1], before[1]) << i;
      }
    }
  }
}

}  // namespace
}  // namespace pylar::engine

namespace pylar::engine {
namespace {

// Lengths 45 to 30 ft of a 3 ft pier in clay (0-25 ft) over strong rock
// (25-35 ft) over clay: the piers of 45, 42, 39 and 36 ft end in the clay
// below the rock (soil curves), those of 33 and 30 ft in the rock; the most
// efficient is the 30 ft one (a rock socket).
const std::string kSoilAndRockTips =
    "Clay over rock over clay, lengths 45 to 30 ft\r\n1 \r\n2 1 1 1 1 2 1 0 0 0 0 \r\n3 3 0 0 0 0 3600000 \r\n"
    "3 10 45 2.5 3 \r\n30 3 \r\n2 25 \r\n0 118 0.0 1000 0 0 0 1 1 \r\n0 122 0.0 1500 0 0 0 1 1 \r\n0 0 \r\n"
    "7 35 \r\n300000 576000 0 0 0 0 1000000 80 0 1 1 \r\n300000 576000 0 0 0 0 1000000 80 0 1 1 \r\n"
    "2 60 \r\n0 120 0.0 3000 0 0 0 1 1 \r\n0 120 0.0 5000 0 0 0 1 1 \r\n0 0 \r\n";

TEST(RockSocketRun, PiersInSoilAndInRockShareOneCurveSection) {
  test::TempFolder dir;
  test::writeFile(dir / "mixed.pq8d", kSoilAndRockTips);
  ASSERT_EQ(runProject(dir / "mixed.pq8d").summary.status, 0);
  const auto out = linesOf(test::readFile(dir / "mixed.pq8o"));
  std::size_t headings = 0, tables = 0;
  for (const std::string& line : out) {
    if (line == "     AXIAL LOAD VS SETTLEMENT CURVES") ++headings;
    if (headings > 0 && line.rfind("                      TOP  LOAD     TOP MOVEMENT", 0) == 0) ++tables;
  }
  EXPECT_EQ(headings, 1U);
  // Four piers in soil with three bound lines each, and the rock socket.
  EXPECT_EQ(tables, 4U * 3 + 1);
}

}  // namespace
}  // namespace pylar::engine
