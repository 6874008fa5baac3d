// The stages of one run, between the run header and the merging of the
// intermediate files. Each stage returns values; run_output writes them.
#include "analysis.h"

#include "fortran_format.h"
#include "run.h"
#include "run_json.h"
#include "run_output.h"
#include "soil_models.h"

namespace pylar::engine {
namespace {

bool readRunInput(Run& run) {
  if (!run.channels.isOpen(kChannelInput)) {
    run.fail(kStatusBadInput, "INPUT ERROR: THE PROJECT FILE CANNOT BE OPENED: " + run.names.input);
    return false;
  }
  ListReader reader([&run] { return run.channels.readLine(kChannelInput); });
  std::string error;
  if (!readProjectInput(reader, run.input, error)) {
    run.fail(kStatusBadInput, error);
    return false;
  }
  if (const std::string problem = checkCapacityInput(run.input); !problem.empty()) {
    run.fail(kStatusBadInput, problem);
    return false;
  }
  return true;
}

// The rock-socket relationship of the most efficient pier, when its tip lies
// in rock or an intermediate geomaterial (instead of the soil solver).
std::optional<RockSocketRun> rockSocketOfChosenPier(const ProjectInput& in, const SeriesAnalysis& series) {
  if (!series.chosen) return std::nullopt;
  const PierAnalysis& pier = series.piers[*series.chosen];
  const std::size_t tip = pier.result.tipLayer;
  if (tip >= in.layers.size() || !soilModel(in.layers[tip].code).rockSocket) return std::nullopt;
  return runRockSocketRelationship(in, pier.profile, pier.result);
}

}  // namespace

void runAnalysisStages(Run& run) {
  if (!readRunInput(run)) return;
  const ProjectInput& in = run.input;
  SoilResistance soil(in);
  Analysis a;
  // 1. The parameters every layer leaves to be estimated.
  a.soil = completeSoil(soil);
  // 2. Capacity against depth of every pier of the series.
  a.series = analyseSeries(in, soil);
  // 3. Load-settlement of the piers whose tips lie in soil, with the design
  //    charts.
  a.settlement = analyseLoadSettlement(in, soil, a.series, run.threads);
  // 4. A most efficient pier whose tip lies in rock: its socket's
  //    load-settlement relationship.
  if (a.settlement.status == 0) a.rockSocket = rockSocketOfChosenPier(in, a.series);

  writeAnalysis(run, a);
  if (run.collectResults) run.results = analysisResults(in, a);

  if (a.series.designLoadNotReached) {
    // The shortfall of the pier that comes closest to the design load.
    const PierAnalysis* closest = nullptr;
    auto capacity = [&in](const PierAnalysis& p) {
      return in.NLRFD == 1 ? p.result.largest.lrfdQu : p.result.largest.qdn;
    };
    for (const PierAnalysis& p : a.series.piers)
      if (!closest || capacity(p) >= capacity(*closest)) closest = &p;
    run.status = kStatusDesignLoadNotReached;
    run.message = "NEED ANOTHER SOIL LAYER: " + (closest ? closest->shortfall : std::string());
  } else if (a.settlement.status != 0) {
    run.status = a.settlement.status;
    run.message = "A LOAD-TRANSFER CURVE LIES BEYOND THE EXTENT OF THE INPUT STRENGTH CURVE";
  }
}

}  // namespace pylar::engine
