// The engine's transcendental functions go through real_math.h (evaluated in
// double, rounded once to Real), so Linux and Windows builds print the same
// digits. A direct call of a single-precision function, or of a std:: overload
// with a float argument, would print a different last digit on one platform
// only, which make test does not run; this test reads the engine's sources.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(RealMath, EngineSourcesCallTranscendentalFunctionsOnlyThroughRealMath) {
  const std::regex direct(
      R"((std::|[^A-Za-z_:.>])(pow|exp|exp2|expm1|log|log10|log2|log1p|sin|cos|tan|asin|acos|atan|atan2|)"
      R"(sinh|cosh|tanh|asinh|acosh|atanh|cbrt|hypot|erf|erfc|tgamma|lgamma)f?\s*\((?!static_cast<double>))");
  const std::filesystem::path src = std::filesystem::path(PYLAR_SOURCE_DIR) / "engine" / "src";
  std::vector<std::string> found;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(src)) {
    const auto& path = entry.path();
    if (path.filename() == "real_math.h") continue;
    ++files;
    std::ifstream in(path);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      const auto comment = line.find("//");
      const std::string code = line.substr(0, comment);
      if (std::regex_search(code, direct)) found.push_back(path.filename().string() + ":" + std::to_string(number) + ": " + line);
    }
  }
  EXPECT_GT(files, 10);
  std::ostringstream lines;
  for (const auto& f : found) lines << f << '\n';
  EXPECT_TRUE(found.empty()) << "call math::... (real_math.h) instead:\n" << lines.str();
}

}  // namespace
