#pragma once
// The values of one run's analysis, stage by stage, as analysis.cpp computes
// them and run_output writes them.

#include <optional>

#include "capacity_driver.h"
#include "load_settlement_series.h"
#include "rock_socket.h"

namespace pylar::engine {

struct Run;

struct Analysis {
  CompletedSoil soil;             // the layers with their parameters completed
  SeriesAnalysis series;          // every pier against depth
  SettlementAnalysis settlement;  // load-settlement of the piers whose tips lie in soil
  std::optional<RockSocketRun> rockSocket;  // the most efficient pier, when its tip lies in rock
  Warnings inputWarnings;  // input values outside their usual ranges
  Warnings warnings;  // every warning of the run, each once, in the order the report meets them
};

// The warnings of the stages, each once: the input's, the layers', the
// piers', then the load-settlement analysis's.
Warnings collectWarnings(const Warnings& input, const Analysis& a);

// The analysis of a run, after the banner and run header: reads the project
// input, runs the stages and writes their results.
void runAnalysisStages(Run& run);

}  // namespace pylar::engine
