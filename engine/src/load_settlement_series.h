#pragma once
// The load-settlement analysis of a run's series: the geometry of every pier
// whose tip lies in soil (with design charts, every diameter at every chart
// length), solved on several threads, and put in series order: the run goes
// as far as the first geometry whose curves cannot be built (status 2 or 4),
// exactly as if the geometries had been solved one after the other, so the
// files written are the same whatever the number of threads.

#include <cstddef>
#include <optional>
#include <vector>

#include "capacity_driver.h"
#include "load_settlement.h"
#include "settlement_results.h"
#include "soil_resistance.h"

namespace pylar::engine {

// The layers of the profile with their maximum unit side resistance.
std::vector<SettlementLayer> settlementLayers(const ProjectInput& in, const SoilResistance& soil);
// Settings of a run, with the design-chart series: the diameters of the
// series and the lengths from the proposed depth down to the minimum length.
SettlementSettings settlementSettings(const ProjectInput& in, const SoilResistance& soil, const Series& series);

// The geometry of pier `pier` of the series (diameter position v, length
// position lx, both from 1) with its tip at lengthFt.
SettlementGeometry settlementGeometry(const ProjectInput& in, const PierAnalysis& pier, Real lengthFt, int v, int lx);

struct SettlementAnalysis {
  SettlementSettings settings;
  // Ec is not positive: no geometry is solved, and the report and run notes
  // say so once.
  bool modulusMissing = false;
  std::vector<GeometryResult> geometries;  // in series order, ending at a failed one
  int status = 0;                          // 0, or the failed geometry's 2 or 4
  std::optional<AdditionalCurves> additional;
  DesignChartStore charts;  // with design charts: the top-segment load of every cell solved
  // Per pier of the series, for its plot records; when any pier has bound
  // lines, every pier carries three curves (zero rows where none were
  // computed), so the records keep one layout.
  std::vector<LoadSettlementCurves> curves;
};

// `threads`: at most this many geometries at once; 0 takes the machine's
// hardware threads, 1 solves them one after the other on the caller's thread.
SettlementAnalysis analyseLoadSettlement(const ProjectInput& in, const SoilResistance& soil,
                                         const SeriesAnalysis& series, unsigned threads);

// The part that follows the choice of geometries: solves them (in series
// order) for a series of `pierCount` piers.
SettlementAnalysis solveGeometries(SettlementSettings settings, const std::vector<SettlementGeometry>& geometries,
                                   std::size_t pierCount, unsigned threads);

}  // namespace pylar::engine
