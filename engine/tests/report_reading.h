#pragma once
// Reads the capacity tables back out of a report, for tests that check
// values and the relations between columns.

#include <array>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace pylar::test {

// LENGTH, VOLUME, QS, QB (or WT), QU, and the three design columns.
using Row = std::array<double, 8>;

struct ReportTables {
  std::vector<std::vector<Row>> tables;
  std::vector<bool> hasAsterisks;  // a field of the table overflowed
};

// A table starts after its units line ("(FT)" or "( M )" in columns 6-11)
// and ends at the first line that is not a row of eight numbers.
inline ReportTables readTables(const std::vector<std::string>& lines) {
  ReportTables out;
  bool inTable = false;
  for (const std::string& line : lines) {
    if (line.rfind("      (FT) ", 0) == 0 || line.rfind("      ( M ) ", 0) == 0) {
      out.tables.emplace_back();
      out.hasAsterisks.push_back(false);
      inTable = true;
      continue;
    }
    if (!inTable) continue;
    if (line.find('*') != std::string::npos && line.size() > 60) {
      out.hasAsterisks.back() = true;
      continue;
    }
    std::istringstream in(line);
    Row row{};
    std::size_t n = 0;
    std::string word;
    while (n < row.size() && in >> word) {
      char* end = nullptr;
      row[n] = std::strtod(word.c_str(), &end);
      if (end == word.c_str() || *end != '\0') break;
      ++n;
    }
    if (n != row.size() || (in >> word)) {
      inTable = false;
      continue;
    }
    out.tables.back().push_back(row);
  }
  return out;
}

}  // namespace pylar::test
