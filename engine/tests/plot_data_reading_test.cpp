// The plot-data file of every sample project, read the way the desktop
// program reads it: word by word, integers where it wants integers, every
// count followed, and nothing left over at the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fortran_format.h"
#include "project_input.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

namespace fs = std::filesystem;

// Whole-file word reader: lines split at blanks and tabs; a read moves to the
// next line when the current one is used up; the end of the file is an error.
class WordReader {
 public:
  explicit WordReader(const std::string& text) {
    for (const std::string& line : splitLines(text)) {
      std::vector<std::string> words;
      std::istringstream in(line);
      for (std::string w; in >> w;) words.push_back(w);
      lines_.push_back(std::move(words));
    }
  }
  std::string word() {
    while (line_ < lines_.size() && word_ >= lines_[line_].size()) {
      ++line_;
      word_ = 0;
    }
    if (line_ >= lines_.size()) throw std::runtime_error("This file either invalid or incomplete.");
    return lines_[line_][word_++];
  }
  double readFloat() {
    const std::string w = word();
    const auto v = parseReal(w);
    if (!v) throw std::runtime_error(where() + "A floating point number was expected but not found: " + w);
    return *v;
  }
  int readInteger() {
    const std::string w = word();
    const auto v = parseReal(w);
    if (!v || *v != std::floor(*v) || std::fabs(*v) > 2147483647.0)
      throw std::runtime_error(where() + "An integer was expected but not found: " + w);
    return static_cast<int>(*v);
  }
  // The rest of the current line is skipped; the next read starts on the
  // following line.
  void readLine() {
    if (line_ < lines_.size()) ++line_;
    word_ = 0;
  }
  bool eof() const { return line_ >= lines_.size(); }
  // True when no word is left anywhere.
  bool exhausted() {
    while (line_ < lines_.size() && word_ >= lines_[line_].size()) {
      ++line_;
      word_ = 0;
    }
    return line_ >= lines_.size();
  }

 private:
  std::string where() const {
    return "Error on Line " + std::to_string(line_ + 1) + " Item " + std::to_string(word_) + ": ";
  }
  std::vector<std::vector<std::string>> lines_;
  std::size_t line_ = 0, word_ = 0;
};

struct PlotCounts {
  int curves = 0, depthPoints = 0, curveSet = 0;
  int charts = -1, additional = -1, tzCurves = -1, qwCurves = -1;
};

void readPairs(WordReader& r, int n) {
  for (int k = 0; k < 2 * n; ++k) {
    const double v = r.readFloat();
    if (!std::isfinite(v)) throw std::runtime_error("not finite");
  }
}

PlotCounts readPlotData(const std::string& text, const ProjectInput& in) {
  WordReader r(text);
  PlotCounts c;
  c.curves = r.readInteger();
  c.depthPoints = r.readInteger();
  c.curveSet = r.readInteger();
  if (c.curves < 1 || c.depthPoints < 1) throw std::runtime_error("bad counts");
  int rows = c.depthPoints;
  for (int curve = 0; curve < c.curves; ++curve) {
    if (rows > c.depthPoints) throw std::runtime_error("a curve has more depth rows than the first");
    // Capacity rows go down the pier: a depth that runs backwards draws a
    // stray segment on the capacity plot.
    double previousDepth = -1;
    for (int i = 0; i < rows; ++i) {
      const double depth = r.readFloat();
      if (depth < previousDepth) throw std::runtime_error("capacity depths run backwards");
      previousDepth = depth;
      for (int k = 1; k < 7; ++k) r.readFloat();
    }
    for (int k = 0; k < 15 * 4; ++k) r.readFloat();
    if (c.curveSet > 2)
      for (int k = 0; k < 30 * 4; ++k) r.readFloat();
    if (curve < c.curves - 1) {
      if (r.readInteger() != c.curves) throw std::runtime_error("curve count changed");
      rows = r.readInteger();
      if (r.readInteger() != c.curveSet) throw std::runtime_error("curve set changed between piers");
    }
  }
  if (in.IChart == 1) {
    c.charts = r.readInteger();
    const int diameters = r.readInteger();
    const int lengths = r.readInteger();
    for (int k = 0; k < c.charts && k < 10; ++k) {
      r.readFloat();
      for (int d = 0; d < diameters; ++d) {
        r.readFloat();
        readPairs(r, lengths);
      }
    }
  }
  r.readLine();
  if (r.eof()) return c;
  auto curvesOf = [&](bool depthBetween) {
    const int n = r.readInteger();
    for (int k = 0; k < n; ++k) {
      r.readInteger();
      if (depthBetween) {
        r.readFloat();
        r.readInteger();
      } else {
        r.readInteger();
        r.readFloat();
      }
      readPairs(r, 10);
    }
    return n;
  };
  if (in.PrintTZCurves == 1) c.additional = curvesOf(false);
  c.tzCurves = curvesOf(false);
  c.qwCurves = curvesOf(true);
  if (!r.exhausted()) throw std::runtime_error("words left after the q-w curves");
  return c;
}

ProjectInput readProject(const fs::path& file) {
  ListReader reader = ListReader::fromText(test::readFile(file));
  ProjectInput in;
  std::string error;
  if (!readProjectInput(reader, in, error)) throw std::runtime_error(error);
  return in;
}

bool soilCode(int code) { return code == kSand || code == kClay || code == kShale || code >= kGravellySand; }

TEST(PlotDataReading, EverySampleProjectParsesCompletely) {
  const fs::path examples = fs::path(PYLAR_SOURCE_DIR) / "examples";
  const fs::path golden = fs::path(PYLAR_SOURCE_DIR) / "engine" / "tests" / "golden";
  int read = 0;
  for (const auto& entry : fs::directory_iterator(examples)) {
    if (entry.path().extension() != ".pq8d") continue;
    const std::string name = entry.path().filename().string();
    fs::path plot = golden / entry.path().filename();
    plot.replace_extension(".pq8p");
    ASSERT_TRUE(fs::exists(plot)) << plot;
    const ProjectInput in = readProject(entry.path());
    PlotCounts c;
    try {
      c = readPlotData(test::readFile(plot), in);
    } catch (const std::exception& e) {
      ADD_FAILURE() << name << ": " << e.what();
      continue;
    }
    ++read;
    if (in.IChart == 1) {
      EXPECT_EQ(c.charts, in.NPOINTPD) << name;
    }
    if (c.tzCurves >= 0) {
      // Five t-z curves per layer; one base curve per diameter of the series.
      EXPECT_EQ(c.tzCurves, 5 * static_cast<int>(in.layers.size())) << name;
      EXPECT_GE(c.qwCurves, 1) << name;
      EXPECT_LE(c.qwCurves, in.IPENT >= 1 ? 1 : c.curves) << name;
      if (in.PrintTZCurves == 1) {
        EXPECT_EQ(c.additional, static_cast<int>(in.tzDepths.size())) << name;
      }
    }
    // A pier in soil carries all three bound lines.
    const bool allSoil = std::all_of(in.layers.begin(), in.layers.end(), [](const Layer& l) { return soilCode(l.code); });
    if (allSoil) {
      EXPECT_EQ(c.curveSet, 3) << name;
      EXPECT_GE(c.tzCurves, 5) << name;
    }
  }
  EXPECT_GE(read, 10);
}

TEST(PlotDataReading, ReaderRejectsATruncatedFile) {
  const ProjectInput in;
  EXPECT_THROW(readPlotData("1 3 1\r\n0 0 0\r\n", in), std::runtime_error);
  EXPECT_THROW(readPlotData("1.5 3 1\r\n", in), std::runtime_error);
}

}  // namespace
}  // namespace pylar::engine
