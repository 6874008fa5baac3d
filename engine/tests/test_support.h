#pragma once
// Temporary folders and small file helpers for the engine tests.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "pylar/engine.h"

namespace pylar::test {

class TempFolder {
 public:
  TempFolder() {
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    do path_ = base / ("pylar-test-" + std::to_string(rd()));
    while (!std::filesystem::create_directory(path_));
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path path_;
};

inline void writeFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary);
  out << text;
}

inline std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Lines of a file written with CRLF ends; fails the split if a line lacks its CR.
inline std::vector<std::string> crlfLines(const std::filesystem::path& file) {
  std::string text = readFile(file);
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back("<no CRLF>" + text.substr(pos));
      break;
    }
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

}  // namespace pylar::test

namespace pylar::test {

// Lines as a file written with CRLF ends holds them.
inline std::string crlfText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace pylar::test

namespace pylar::test {

// The clock of test runs: every report says 5 March 2024, 09:07:03.
inline engine::RunTime fixedTime() { return {2024, 3, 5, 9, 7, 3}; }

// A one-layer sand project (3 ft pier, 60 ft, ASD), small enough to run in
// every test that needs a real run.
inline const std::string kSmallSandProject =
    "Sand\r\n1 \r\n2 1 1 1 1 2 0 0 0 0 0 \r\n3 3 0 0 0 0 3600000 \r\n1 10 60 2.5 3 \r\n"
    "1 80 \r\n0 120 32 0 10 0 0 1 1 \r\n0 125 34 0 20 0 0 1 1 \r\n1 \r\n0.5 0.5 \r\n";

}  // namespace pylar::test
