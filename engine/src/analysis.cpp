// The stages of one run, between the run header and the merging of the
// intermediate files. Each stage returns values; run_output writes them.
#include "analysis.h"

#include "fortran_format.h"
#include "input_checks.h"
#include "run.h"
#include "run_json.h"
#include "run_output.h"
#include "soil_models.h"

namespace pylar::engine {
namespace {

constexpr std::string_view kUnused2018Values =
    "THE SCOUR DEPTH AND THE LAYER VALUES OF THE 2018 METHODS ARE NOT USED: THE RUN USES THE 1999 METHODS";

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
  // The method set asked for instead of the project's own.
  if (run.methods) run.input.methods.set = *run.methods;
  if (const std::string problem = checkCapacityInput(run.input); !problem.empty()) {
    run.fail(kStatusBadInput, problem);
    return false;
  }
  if (const std::string problem = checkInputRanges(run.input, run.warnings); !problem.empty()) {
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

// A warning block of the report as one line: its lines trimmed and joined,
// without the banner line that says WARNING.
Warning blockWarning(int layer, const Lines& block) {
  Warning w{layer, {}};
  for (const std::string& line : block) {
    const auto b = line.find_first_not_of(' ');
    if (b == std::string::npos || line.find("WARNING") != std::string::npos) continue;
    if (!w.text.empty()) w.text += ' ';
    w.text += line.substr(b, line.find_last_not_of(' ') - b + 1);
  }
  return w;
}

}  // namespace

Warnings collectWarnings(const Warnings& input, const Analysis& a) {
  Warnings all = input;
  for (const Messages& m : a.soil.messages) appendWarnings(all, m.warnings);
  for (const PierAnalysis& p : a.series.piers) appendWarnings(all, p.messages.warnings);
  const SettlementAnalysis& s = a.settlement;
  if (s.modulusMissing)
    appendWarnings(all, {{0, "THE ELASTIC MODULUS OF THE CONCRETE, Ec, IS NOT POSITIVE: NO LOAD-SETTLEMENT ANALYSIS IS "
                             "MADE."}});
  for (const GeometryResult& g : s.geometries)
    for (const BoundLineResult& l : g.lines)
      if (!l.built.report.empty()) appendWarnings(all, {blockWarning(0, l.built.report)});
  if (s.additional)
    for (Real depth : s.additional->beyondProfile) appendWarnings(all, {blockWarning(0, beyondProfileWarning(depth, true))});
  return all;
}

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
  a.inputWarnings = run.warnings;
  a.warnings = collectWarnings(run.warnings, a);
  if (!in.gec2018() && in.methods.has2018Values()) appendWarnings(a.warnings, {{0, std::string(kUnused2018Values)}});
  run.warnings = a.warnings;

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
