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
