#pragma once
// The capacity analysis of a run as values: the soil layers completed with
// their messages, then every pier of the series walked down the profile with
// the messages of the pier as it stands, and the most efficient pier. Nothing
// here writes a file; run_output renders these values.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capacity.h"
#include "messages.h"
#include "project_input.h"
#include "soil_resistance.h"

namespace pylar::engine {

// The layers with their parameters completed, as the report lists them.
struct CompletedSoil {
  std::vector<CompletedLayer> layers;
  std::vector<Messages> messages;  // per layer, where the report lists the layer
  bool anyEstimated = false;
};
CompletedSoil completeSoil(SoilResistance& soil);

struct PierAnalysis {
  int caseNumber = 1;  // from 1, in series order
  int lengthNumber = 1;
  int diameterNumber = 1;
  PierGeometry geometry;
  SliceProfile profile;  // what the soil gives at every depth
  PierResult result;     // the walk: printed rows and the stopping depth
  bool designLoadNotReached = false;
  // When the design load is not reached: what happened and what to try
  // (shortfallMessage), for the report, the run notes and programs.
  std::string shortfall;
  Messages messages;  // the slices' messages for the tip the pier stops at
};

struct SeriesAnalysis {
  Series series;
  DesignFactors factors;
  // The piers of the series, every one analysed whether or not the one
  // before it reached the design load.
  std::vector<PierAnalysis> piers;
  bool designLoadNotReached = false;  // by no pier of the series
  std::optional<std::size_t> chosen;  // the most efficient pier, among those that reach it
};

// Every pier of the series of a project whose layers are complete.
SeriesAnalysis analyseSeries(const ProjectInput& in, SoilResistance& soil);

// The warning of a pier that stops with less than two base diameters of
// soil below its tip, in one line.
inline constexpr std::string_view kShortOfBaseWarning =
    "PLEASE PROVIDE THE SOIL DEPTH THAT IS TWO-DIAMETER DEEPER THAN THE TIP OF DRILLED PYLARS";

// 2018 set: a layer within two base diameters below a tip in sand gives no
// blow count and is left out of the base's mean N60.
inline constexpr std::string_view kBaseWithoutBlowCountWarning =
    "THE BASE IN SAND TAKES N60 AS THE MEAN OVER TWO BASE DIAMETERS BELOW THE TIP; THIS LAYER THERE GIVES NO BLOW "
    "COUNT AND IS LEFT OUT OF THE MEAN";

// The messages of the slices above a tip at tipDepth (ft): the unit-weight
// error of every slice without one, every failing weak-rock socket check in
// the run notes, and the first failure of each check in the rock-message
// file.
Messages pierMessages(const SliceProfile& profile, Real tipDepth);

}  // namespace pylar::engine
