// The capacity analysis of a run: completes the soil parameters and walks
// every pier of the series down the profile. The values go to run_output for
// the report, run notes and plot data, and to the load-settlement analysis.
#include "capacity_driver.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "report.h"
#include "soil_family.h"
#include "soil_models.h"

namespace pylar::engine {
namespace {

Real finiteOrZero(Real v) { return std::isfinite(v) ? v : Real(0); }

// The layer holding each slice z = 1..depth: layer bottoms rounded to whole
// feet; a layer whose rounded bottom does not pass the one above holds none.
std::vector<std::size_t> sliceLayers(const ProjectInput& in) {
  const int depth = roundedDepth(in.layers.back().bottom);
  std::vector<std::size_t> layers;
  layers.reserve(static_cast<std::size_t>(depth));
  std::size_t i = 0;
  for (int z = 1; z <= depth; ++z) {
    while (i + 1 < in.layers.size() && z > roundedDepth(in.layers[i].bottom)) ++i;
    layers.push_back(i);
  }
  return layers;
}


// A slice's side is carried on the stem's perimeter, or on a rock socket's
// when its model has one and the slice gives its diameter.
Real sideDiameter(const Layer& layer, const SliceResistance& s, const PierGeometry& g) {
  return soilModel(layer.code).rockSocket && s.socketDiameter > 0 ? s.socketDiameter : g.stem;
}

// The base of a tip at z in layer i: the slice's own (weak and decomposed
// rock) or the layer's base procedure, at most the layer's maximum.
void storeBase(Slice& slice, SoilResistance& soil, std::size_t i, Real z, const SliceResistance& s,
               const PierGeometry& g) {
  BaseResistance b = s.hasBase ? s.base : soil.baseResistance(i, z, g.base);
  Real base = b.load;
  const Real maxBase = soil.layer(i).maxBaseTsf;
  if (maxBase > 5.0e-8F && b.area > 0) base = std::min(base, maxBase * b.area);
  slice.base = std::isfinite(base) ? std::max(base, Real(0)) : 0;
  slice.baseAtTip = b.atTip;
  slice.baseLayerWithoutBlowCount = b.layerWithoutBlowCount;
}

// A layer boundary or the scour depth this close to a slice's end does not
// cut it.
constexpr Real kCutTolerance = 1.0e-4F;  // ft

// The 2018 set: slice z cut at the layer boundaries inside it and at the
// scour depth, each part's side that of the layer holding it, none above the
// scour; the slice's own layer (the walk's, holding its middle) gives the
// base, the messages and the weak-rock state as in the 1999 walk. A tip at
// or above the scour depth has no base.
void splitSlice(Slice& slice, SoilResistance& soil, std::size_t i, Real z, const PierGeometry& g,
                WeakRockRunState& rock) {
  const ProjectInput& in = soil.input();
  const Real top = z - 1;
  std::vector<Real> cuts = {top, z};
  for (const Layer& l : in.layers)
    if (l.bottom > top + kCutTolerance && l.bottom < z - kCutTolerance) cuts.push_back(l.bottom);
  const Real scour = in.scourDepth;
  if (scour > top + kCutTolerance && scour < z - kCutTolerance) cuts.push_back(scour);
  std::sort(cuts.begin(), cuts.end());
  Real side = 0;
  Real lrfd = 0;
  std::optional<SliceResistance> own;
  for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
    const Real a = cuts[k];
    const Real b = cuts[k + 1];
    const std::size_t j = soil.layerAt((a + b) / 2).value_or(i);
    SliceResistance s;
    if (j == i && !own) {
      own = soil.slice(i, z, z, rock, a, b);
      s = *own;
    } else {
      WeakRockRunState scratch = rock;  // a part of another layer leaves the pier's state as it is
      s = soil.slice(j, b, z, scratch, a, b);
    }
    if (!(b > scour + kCutTolerance)) continue;  // scour removed the ground here
    const Real part = finiteOrZero(s.unitSide * kPi * sideDiameter(in.layers[j], s, g) * (b - a));
    side += part;
    lrfd += finiteOrZero(part * in.layers[j].phiSide);
    if (j != i) slice.parts.push_back({j, part});
  }
  if (!own) own = soil.slice(i, z, z, rock);
  if (!slice.parts.empty()) {
    // The slice's own layer's share, for the side by layer.
    Real others = 0;
    for (const SlicePart& part : slice.parts) others += part.side;
    slice.parts.push_back({i, side - others});
  }
  const Real diameter = sideDiameter(in.layers[i], *own, g);
  slice.layer = i;
  slice.side = side;
  slice.unitSide = diameter > 0 ? finiteOrZero(side / (kPi * diameter)) : Real(0);
  slice.perimeter = diameter;
  slice.lrfdSide = lrfd;
  storeBase(slice, soil, i, z, *own, g);
  if (!(z > scour + kCutTolerance)) {
    // A tip at or above the scour depth stands on no ground.
    slice.base = 0;
    slice.baseAtTip = true;
  }
  slice.lowUnitWeight = own->lowUnitWeight;
  slice.socketCheck = own->socketCheck;
}

// What the soil gives at every depth for one pier. The walk reaches each
// slice with the tip at the slice's own depth.
SliceProfile buildProfile(SoilResistance& soil, const std::vector<std::size_t>& layers, const PierGeometry& g) {
  const ProjectInput& in = soil.input();
  WeakRockRunState rock;
  SliceProfile p;
  p.slices.reserve(layers.size());
  for (std::size_t k = 0; k < layers.size(); ++k) {
    const std::size_t i = layers[k];
    const Layer& layer = in.layers[i];
    const Real z = static_cast<Real>(k + 1);
    Slice& slice = p.slices.emplace_back();
    if (in.gec2018()) {
      splitSlice(slice, soil, i, z, g, rock);
      continue;
    }
    const SliceResistance s = soil.slice(i, z, z, rock);
    const Real diameter = sideDiameter(layer, s, g);
    const Real side = s.unitSide * kPi * diameter;  // tons, over 1 ft
    slice.layer = i;
    slice.side = finiteOrZero(side);
    slice.unitSide = finiteOrZero(s.unitSide);
    slice.perimeter = diameter;
    slice.lrfdSide = finiteOrZero(side * layer.phiSide);
    storeBase(slice, soil, i, z, s, g);
    slice.lowUnitWeight = s.lowUnitWeight;
    slice.socketCheck = s.socketCheck;
  }
  return p;
}

}  // namespace

CompletedSoil completeSoil(SoilResistance& soil) {
  CompletedSoil out;
  for (std::size_t i = 0; i < soil.layerCount(); ++i) {
    out.messages.push_back(soil.completeLayer(i));
    out.layers.push_back(soil.layer(i));
    out.anyEstimated = out.anyEstimated || soil.layer(i).anyEstimated();
  }
  return out;
}

Messages pierMessages(const SliceProfile& profile, Real tipDepth) {
  Messages m;
  std::array<bool, 3> inRockFile{};
  // The slices down to the tip, the last one shorter for a tip between feet.
  const auto tip = static_cast<std::size_t>(std::ceil(std::max(tipDepth - kTipTolerance, Real(0))));
  for (std::size_t z = 1; z <= tip && z <= profile.depthCount(); ++z) {
    const Slice& s = profile.slices[z - 1];
    if (s.lowUnitWeight) {
      append(m.notes, unitWeightMessage());
      appendWarnings(m.warnings, {unitWeightWarning(s.layer)});
    }
    if (!s.socketCheck) continue;
    for (const SocketWarning& w : socketWarnings(*s.socketCheck, tipDepth)) {
      append(m.notes, w.block);
      appendWarnings(m.warnings, {{static_cast<int>(s.layer + 1), w.text}});
      bool& once = inRockFile[static_cast<std::size_t>(w.kind)];
      if (!once) append(m.rockFile, w.block);
      once = true;
    }
  }
  if (tip >= 1 && tip <= profile.depthCount()) {
    if (const auto layer = profile.slices[tip - 1].baseLayerWithoutBlowCount) {
      Lines block;
      family::appendStarBlock(block, "WARNING",
                              {"THE BASE IN SAND TAKES N60 AS THE MEAN OVER TWO BASE DIAMETERS BELOW",
                               "THE TIP; LAYER " + std::to_string(*layer + 1) +
                                   " THERE GIVES NO BLOW COUNT AND IS LEFT OUT OF THE MEAN"});
      append(m.report, block);
      append(m.notes, block);
      appendWarnings(m.warnings, {{static_cast<int>(*layer + 1), std::string(kBaseWithoutBlowCountWarning)}});
    }
  }
  return m;
}

SeriesAnalysis analyseSeries(const ProjectInput& in, SoilResistance& soil) {
  SeriesAnalysis out;
  DesignFactors& factors = out.factors;
  factors.lrfd = in.NLRFD == 1;
  factors.uplift = in.KCYCL == 2;
  factors.FST = in.FST;
  factors.FSB = in.FSB;
  for (const Layer& l : in.layers) factors.phiBase.push_back(l.phiBase);
  WalkSettings settings;
  settings.topIgnored = in.TOPLENG;
  settings.bottomIgnored = in.bottomLength;
  settings.printIncrement = in.printIncrement;
  settings.waterTable = in.waterTable;

  out.series = buildSeries(in);
  const Series& series = out.series;
  const bool lengthSeries = !series.lengths.empty();
  const std::vector<std::size_t> layers = sliceLayers(in);
  // Every pier of the series, also past one that does not reach the design
  // load: a larger one may.
  bool anyReached = false;
  for (std::size_t k = 0; k < series.pierCount(); ++k) {
    PierAnalysis& pier = out.piers.emplace_back();
    const int number = static_cast<int>(k + 1);
    pier.caseNumber = number;
    pier.lengthNumber = lengthSeries ? number : 1;
    pier.diameterNumber = lengthSeries ? 1 : number;
    pier.geometry = pierGeometry(series.diameters[lengthSeries ? 0 : k], in.RATIO, in.BELANGL);
    pier.profile = buildProfile(soil, layers, pier.geometry);
    WalkSettings s = settings;
    if (lengthSeries) s.tipDepth = series.lengths[k];
    else if (in.METHOD == 2) s.tipDepth = in.proposedDepth;
    else s.designLoad = in.designLoad;
    pier.result = walkPier(pier.profile, pier.geometry, factors, s);
    pier.messages = pierMessages(pier.profile, pier.result.last.depth);
    if (pier.result.shortOfBase) appendWarnings(pier.messages.warnings, {{0, std::string(kShortOfBaseWarning)}});
    pier.designLoadNotReached = s.designLoad && !pier.result.reachedLoad;
    if (pier.designLoadNotReached) pier.shortfall = shortfallMessage(in, pier.result);
    anyReached = anyReached || !pier.designLoadNotReached;
  }
  out.designLoadNotReached = !out.piers.empty() && !anyReached;
  if (!out.designLoadNotReached) {
    // Among the piers that reach their stopping depth.
    std::vector<PierResult> results;
    for (const PierAnalysis& p : out.piers) results.push_back(p.result);
    out.chosen = mostEfficientPier(results);
  }
  return out;
}

}  // namespace pylar::engine
