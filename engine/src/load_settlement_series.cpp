// The load-settlement analysis of a run's series: which geometries are
// solved, solving them on several threads, and putting the results in
// series order.
#include "load_settlement_series.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "parallel.h"
#include "soil_models.h"

namespace pylar::engine {

std::vector<SettlementLayer> settlementLayers(const ProjectInput& in, const SoilResistance& soil) {
  std::vector<SettlementLayer> layers;
  for (std::size_t i = 0; i < in.layers.size(); ++i)
    layers.push_back({in.layers[i].code, in.layerTop(i), in.layers[i].bottom, soil.layer(i).maxSideTsf});
  return layers;
}

SettlementSettings settlementSettings(const ProjectInput& in, const SoilResistance& soil, const Series& series) {
  SettlementSettings s = settlementSettings(in, settlementLayers(in, soil));
  if (s.designCharts) {
    s.chartDiametersFt = series.diameters;
    ProjectInput lengths = in;
    lengths.IPENT = 1;
    s.chartLengthsFt = buildSeries(lengths).lengths;
  }
  return s;
}

SettlementGeometry settlementGeometry(const ProjectInput& in, const PierAnalysis& pier, Real lengthFt, int v,
                                      int lx) {
  const PierGeometry& g = pier.geometry;
  const SliceProfile& p = pier.profile;
  SettlementGeometry s;
  s.stemFt = g.stem;
  s.baseFt = g.belled ? g.base : g.stem;
  s.bellHeightFt = g.belled ? g.bellHeight : 0;
  s.lengthFt = lengthFt;
  s.segments = static_cast<int>(std::clamp(std::lround(lengthFt), 1L, static_cast<long>(kMaxSegments)));
  s.topIgnoredFt = in.TOPLENG;
  s.bottomIgnoredFt = in.bottomLength;
  // The slice holding the tip: the last one of the walk to that tip.
  const auto tip = static_cast<std::size_t>(std::ceil(std::max(lengthFt - kTipTolerance, Real(0))));
  // The base resistance of the capacity table; in uplift the base carries
  // nothing.
  s.ultimateBaseTons = in.KCYCL == 2 || tip == 0 ? Real(0) : p.baseAt(lengthFt, g.base, g.stem);
  const std::size_t count = p.depthCount();
  const std::size_t tipSlice = std::min(tip == 0 ? 0 : tip - 1, count == 0 ? 0 : count - 1);
  s.tipCode = count == 0 ? 0 : in.layers[p.slices[tipSlice].layer].code;
  s.diameterIndex = v;
  s.lengthIndex = lx;
  // The solver applies the unit side to the stem's perimeter; a rock slice
  // whose side the capacity table takes over a socket of another diameter
  // carries the same side in the curves: its unit side times Ds/D.
  s.unitSide.reserve(count);
  for (std::size_t z = 0; z < count; ++z) {
    const Slice& slice = p.slices[z];
    const Real unitSide = slice.perimeter > 0 && slice.perimeter != g.stem && g.stem > 0
                              ? slice.unitSide * (slice.perimeter / g.stem)
                              : slice.unitSide;
    s.unitSide.push_back({static_cast<Real>(z + 1), unitSide});
  }
  return s;
}

namespace {

// Solves the geometries with up to `threads` threads. Each thread takes the
// next geometry in series order; once a geometry has failed, none after it
// is started, as the run ends there.
std::vector<GeometryResult> solveAll(const SettlementSettings& settings, const std::vector<SettlementGeometry>& all,
                                     unsigned threads) {
  std::vector<GeometryResult> results(all.size());
  std::atomic<std::size_t> firstFailure{all.size()};
  forEachIndex(all.size(), threads, [&](std::size_t k) {
    if (k > firstFailure.load()) return;
    results[k] = analyseGeometry(settings, all[k]);
    if (results[k].status != 0) {
      std::size_t seen = firstFailure.load();
      while (k < seen && !firstFailure.compare_exchange_weak(seen, k)) {
      }
    }
  });
  results.resize(std::min(all.size(), firstFailure.load() + 1));
  return results;
}

}  // namespace

SettlementAnalysis analyseLoadSettlement(const ProjectInput& in, const SoilResistance& soil,
                                         const SeriesAnalysis& series, unsigned threads) {
  SettlementSettings settings = settlementSettings(in, soil, series.series);
  if (series.designLoadNotReached) return solveGeometries(std::move(settings), {}, series.piers.size(), threads);

  // Every pier (with design charts: at every chart length) whose tip lies in
  // soil; the first length of a pier is the one plotted.
  const bool lengthSeries = !series.series.lengths.empty();
  const bool charts = in.IChart == 1 && !lengthSeries;
  std::vector<SettlementGeometry> geometries;
  for (std::size_t k = 0; k < series.piers.size(); ++k) {
    const PierAnalysis& pier = series.piers[k];
    // A pier that does not reach the design load has no length to settle.
    if (pier.designLoadNotReached) continue;
    const int v = lengthSeries ? 1 : static_cast<int>(k + 1);
    std::vector<Real> lengths;
    if (charts) lengths = settings.chartLengthsFt;
    else lengths.push_back(pier.result.last.depth);
    for (std::size_t lx = 0; lx < lengths.size(); ++lx) {
      const int lengthIndex = lengthSeries ? static_cast<int>(k + 1) : static_cast<int>(lx + 1);
      SettlementGeometry g = settlementGeometry(in, pier, lengths[lx], v, lengthIndex);
      g.plotted = lx == 0;
      g.pier = k;
      if (!soilModel(g.tipCode).soilTip() || !(g.lengthFt > 0)) continue;
      geometries.push_back(std::move(g));
    }
  }
  return solveGeometries(std::move(settings), geometries, series.piers.size(), threads);
}

SettlementAnalysis solveGeometries(SettlementSettings settingsIn, const std::vector<SettlementGeometry>& geometries,
                                   std::size_t pierCount, unsigned threads) {
  SettlementAnalysis out;
  out.settings = std::move(settingsIn);
  const SettlementSettings& settings = out.settings;
  if (settings.designCharts)
    out.charts = DesignChartStore(settings.settlementsAsEntered, settings.chartDiametersFt, settings.chartLengthsFt);
  out.curves.resize(pierCount);
  if (geometries.empty()) return out;
  if (!(settings.Ec > 0) || !std::isfinite(settings.Ec)) {
    out.modulusMissing = true;
    return out;
  }
  out.geometries = solveAll(settings, geometries, threads);
  // The additional t-z curves go with the series' first geometry (the first
  // pier's first length, or the first pier that reaches the design load),
  // whose t-z curves the plot data holds.
  const GeometryResult& first = out.geometries.front();
  if (settings.additionalCurves && first.analysed) out.additional = additionalTzCurves(settings, first.geometry);
  for (std::size_t k = 0; k < out.geometries.size(); ++k) {
    const GeometryResult& r = out.geometries[k];
    // The chart holds the mean load of the top segment (a geometry whose
    // upper or lower line failed has solved its trend line).
    const SettlementGeometry& g = r.geometry;
    for (std::size_t s = 0; s < r.defined.points.size(); ++s)
      if (g.diameterIndex >= 1 && g.lengthIndex >= 1)
        out.charts.set(s, static_cast<std::size_t>(g.diameterIndex - 1), static_cast<std::size_t>(g.lengthIndex - 1),
                       r.defined.points[s].topMeanLoad);
    if (r.status != 0) {
      out.status = r.status;
      break;
    }
    if (g.plotted && g.pier < out.curves.size()) out.curves[g.pier] = r.curves;
  }
  const bool anyBounds = std::any_of(out.curves.begin(), out.curves.end(),
                                     [](const LoadSettlementCurves& c) { return !c.upper.empty(); });
  if (anyBounds)
    for (LoadSettlementCurves& c : out.curves)
      for (auto* rows : {&c.trend, &c.upper, &c.lower}) rows->resize(kLoadSettlementRows);
  return out;
}

}  // namespace pylar::engine
