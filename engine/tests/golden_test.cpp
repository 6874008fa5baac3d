// Every sample project of examples/ run through the engine with a fixed
// clock: the report, run notes and plot-data file must equal the reviewed
// copies under engine/tests/golden/ byte for byte (the run's folder is
// masked), every capacity table must keep its column relations, and no
// output may hold a number that is not finite.
//
// scripts/regenerate-golden rewrites the copies (PYLAR_REGENERATE_GOLDEN=1).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "pylar/engine.h"
#include "report_reading.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

const fs::path kExamples = fs::path(PYLAR_SOURCE_DIR) / "examples";
const fs::path kGolden = fs::path(PYLAR_SOURCE_DIR) / "engine" / "tests" / "golden";
const char* const kOutputs[] = {".pq8o", ".pq8r", ".pq8p"};

using test::fixedTime;

std::vector<fs::path> examples() {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(kExamples))
    if (e.path().extension() == ".pq8d") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size())
    text.replace(pos, from.size(), to);
  return text;
}

struct ExampleRun {
  RunSummary summary;
  std::vector<std::pair<std::string, std::string>> outputs;  // extension, masked text
};

ExampleRun runExample(const fs::path& project) {
  TempFolder dir;
  const fs::path copy = dir / project.filename().string();
  fs::copy_file(project, copy);
  ExampleRun r;
  r.summary = runProject(copy, fixedTime).summary;
  for (const char* ext : kOutputs) {
    fs::path out = copy;
    out.replace_extension(ext);
    r.outputs.emplace_back(ext, replaceAll(test::readFile(out), dir.path().string(), "<project folder>"));
  }
  return r;
}

// Words of a text that are a non-finite number ("nan", "-inf", "Infinity"...).
bool hasNonFiniteWord(const std::string& text) {
  std::istringstream in(text);
  std::string word;
  while (in >> word) {
    std::string w;
    for (char c : word)
      if (c != '+' && c != '-') w += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (w == "nan" || w == "inf" || w == "infinity") return true;
  }
  return false;
}

TEST(Golden, ExamplesMatchTheReviewedOutput) {
  const bool regenerate = std::getenv("PYLAR_REGENERATE_GOLDEN") != nullptr;
  const auto projects = examples();
  ASSERT_FALSE(projects.empty());
  for (const fs::path& project : projects) {
    SCOPED_TRACE(project.filename().string());
    const ExampleRun r = runExample(project);
    EXPECT_EQ(r.summary.status, kStatusCompleted) << r.summary.message;
    for (const auto& [ext, text] : r.outputs) {
      EXPECT_FALSE(hasNonFiniteWord(text)) << ext;
      fs::path golden = kGolden / project.filename();
      golden.replace_extension(ext);
      if (regenerate) {
        fs::create_directories(kGolden);
        test::writeFile(golden, text);
        continue;
      }
      ASSERT_TRUE(fs::exists(golden)) << golden << " is missing: run scripts/regenerate-golden";
      EXPECT_TRUE(test::readFile(golden) == text) << ext << " differs from " << golden;
    }
  }
}

// Values of records 2, 3 and 5 of a sample project (one record per line).
struct Design {
  bool si = false, lrfd = false, uplift = false;
  double fst = 2.5, fsb = 3;
};

Design designOf(const fs::path& project) {
  std::istringstream in(test::readFile(project));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  auto values = [&lines](std::size_t i) {
    std::istringstream l(lines.at(i));
    std::vector<double> v;
    for (double x; l >> x;) v.push_back(x);
    return v;
  };
  Design d;
  d.si = values(1).at(0) == 2;
  const auto r3 = values(2);
  d.uplift = r3.at(1) == 2;
  d.lrfd = r3.at(5) == 1;
  const auto r5 = values(4);
  d.fst = r5.at(3);
  d.fsb = r5.at(4);
  return d;
}

TEST(Golden, EveryCapacityRowKeepsItsColumnRelations) {
  for (const fs::path& project : examples()) {
    SCOPED_TRACE(project.filename().string());
    const Design d = designOf(project);
    const ExampleRun r = runExample(project);
    std::istringstream text(r.outputs[0].second);
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    const test::ReportTables report = test::readTables(lines);
    ASSERT_FALSE(report.tables.empty());
    // Half a unit of the last printed digit per value read.
    const double half = d.si ? 0.005 : 0.05;
    const double fsb = d.uplift ? 1 : d.fsb;
    std::size_t checked = 0;
    for (const auto& table : report.tables) {
      for (const test::Row& row : table) {
        const double qs = row[2], qb = row[3], qu = row[4];
        EXPECT_NEAR(qu, qs + qb, 3 * half) << "QU at " << row[0];
        if (d.lrfd) {
          EXPECT_NEAR(row[7], row[5] + row[6], 3 * half) << "LRFD QU at " << row[0];
        } else {
          EXPECT_NEAR(row[5], qs + qb / fsb, half * (2 + 1 / fsb)) << "QBD at " << row[0];
          EXPECT_NEAR(row[6], qs / d.fst + qb / fsb, half * (1 + 1 / d.fst + 1 / fsb)) << "QDN at " << row[0];
        }
        ++checked;
      }
    }
    EXPECT_GT(checked, 0U);
  }
}

}  // namespace
}  // namespace pylar::engine
