#pragma once
// C++ interface of the analysis engine.

#include <cstdint>
#include <string>

namespace pylar::engine {

// Run statuses returned by IPYLAR and runAnalysis.
inline constexpr int kStatusCompleted = 0;
inline constexpr int kStatusWrongArgument = 1;
inline constexpr int kStatusDesignLoadNotReached = 7;

// Names of one run, as listed in names.dat.
struct RunNames {
  std::string version;  // printed in the banner (first 12 characters)
  std::string input;    // project file (.pq8d)
  std::string report;   // .pq8o
  std::string plot;     // .pq8p
  std::string notes;    // .pq8r
  std::string detail;   // .pq8z
  std::string baseListing;  // .pq8w
  std::string tzPlot;   // .pq8t
  std::string qwPlot;   // .pq8q
  std::string scratchFolder;  // where CHART.DAT, TZDATA.DAT, TZDIAM.DAT, ROCKMSG.DAT go
};

struct RunSummary {
  int status = kStatusCompleted;
  std::string message;  // one line: how the run ended
};

RunSummary runAnalysis(const RunNames& names);

// What IPYLAR(2) does: reads names.dat from the current folder and runs.
int runFromNamesFile();

}  // namespace pylar::engine
