// Unit side and base resistance of the soil and rock models.
//
// Published methods: FHWA-IF-99-025 (O'Neill and Reese 1999) for clay (alpha,
// Nc, Fr) and sand (beta depth rule, SPT base rule); Chen and Kulhawy (1994)
// and FHWA GEC-10 for the sand K; Rollins et al. (2005) for gravelly sand and
// gravel; the Canadian Foundation Engineering Manual for the strong-rock base.
// docs/technical-manual.md gives the equations with their sources.
#include "soil_resistance.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "igm_charts.h"
#include "igm_resistance.h"
#include "real_math.h"
#include "soil_family.h"
#include "soil_models.h"

namespace pylar::engine {

namespace {

// A stress table bigger than this (a profile thousands of feet deep) closes
// its layers with one longer step instead of growing without bound.
constexpr std::size_t kMaxStressSteps = 100000;
constexpr Real kMinClosingStep = 1.0e-4F;  // ft

Real finiteOrZero(Real v) { return std::isfinite(v) ? v : Real(0); }
Real nonNegative(Real v) { return v > 0 ? v : Real(0); }  // also maps NaN to 0

using family::kDegToRad;
using family::tanDeg;
Real sinDeg(Real deg) { return math::sin(std::clamp(finiteOrZero(deg), Real(0), Real(89)) * kDegToRad); }

// The three curves of the SPT friction-angle chart (N, phi degrees), for
// effective vertical stresses of 0, 20 and 40 lb/in^2.
constexpr ChartPoint kPhiAt0[] = {{2, 32}, {4, 34}, {6, 36}, {10, 38}, {15, 42}, {20, 45}};
constexpr ChartPoint kPhiAt20[] = {{6, 30},  {10, 32}, {15, 34}, {20, 36}, {25, 37}, {30, 39},
                                   {35, 40}, {40, 41}, {45, 42}, {50, 44}, {55, 45}};
constexpr ChartPoint kPhiAt40[] = {{10, 31}, {15, 32}, {20, 34}, {25, 35}, {30, 36}, {35, 36},
                                   {40, 37}, {45, 38}, {50, 39}, {55, 39}, {60, 40}, {65, 41},
                                   {70, 42}, {75, 42}, {80, 43}, {85, 44}, {90, 44}};

Real phi0(Real n) { return n < 2 ? 16 * n : readCurve(kPhiAt0, n); }  // from (0, 0) below N = 2
Real phi20(Real n) { return n <= 6 ? Real(30) : readCurve(kPhiAt20, n); }
Real phi40(Real n) { return readCurve(kPhiAt40, n); }

}  // namespace

Lines unitWeightMessage() {
  Lines out;
  family::appendStarBlock(out, "ERROR",
                  {"PLEASE INPUT THE TOTAL UNIT WEIGHT FOR THE SOIL.  THE PROGRAM",
                   "WILL CONSIDER THE SUBMERGED UNIT WEIGHT INTERNALLY IF THE SOIL",
                   "IS BELOW THE WATER TABLE WHICH SHOULD BE ENTERED BY THE USER"});
  return out;
}

Warning unitWeightWarning(std::size_t i) {
  return {static_cast<int>(i + 1),
          "PLEASE INPUT THE TOTAL UNIT WEIGHT FOR THE SOIL.  THE PROGRAM WILL CONSIDER THE SUBMERGED UNIT WEIGHT "
          "INTERNALLY IF THE SOIL IS BELOW THE WATER TABLE WHICH SHOULD BE ENTERED BY THE USER"};
}

// ---------------------------------------------------------------------------
// Effective vertical stress.

EffectiveStressTable::EffectiveStressTable(const ProjectInput& input) {
  points_.push_back({0, 0});
  const std::size_t count = input.layers.size();
  wholeSteps_.assign(count, 0);
  lastStepWeight_.assign(count, 0);
  Real depth = 0;
  Real stress = 0;
  const Real water = input.waterTable;
  auto effective = [water](Real at, Real unitWeight) {
    return at <= water ? unitWeight : unitWeight - kWaterUnitWeight;
  };
  for (std::size_t i = 0; i < count; ++i) {
    const Layer& layer = input.layers[i];
    const Real top = std::max(finiteOrZero(input.layerTop(i)), depth);  // the table never climbs
    const Real bottom = finiteOrZero(layer.bottom);
    const Real thickness = bottom - top;
    const Real gTop = finiteOrZero(layer.top().unitWeight);
    const Real gBottom = finiteOrZero(layer.bot().unitWeight);
    lastStepWeight_[i] = gBottom;
    if (!(thickness > 0)) continue;
    const std::size_t room = kMaxStressSteps - std::min(kMaxStressSteps, points_.size());
    const std::size_t n = std::min(static_cast<std::size_t>(std::min(thickness, Real(1.0e9))), room);
    wholeSteps_[i] = n;
    for (std::size_t k = 1; k <= n; ++k) {
      const Real at = top + static_cast<Real>(k);
      const Real g = gTop + static_cast<Real>(k) * (gBottom - gTop) / static_cast<Real>(n);
      stress += effective(at, g);
      points_.push_back({at, stress});
    }
    const Real rest = bottom - (top + static_cast<Real>(n));
    if (rest > kMinClosingStep) {
      stress += rest * effective(bottom, gBottom);
      points_.push_back({bottom, stress});
    }
    depth = std::max(depth, bottom);
  }
  profileBottom_ = depth;
}

std::size_t EffectiveStressTable::wholeFootSteps(std::size_t layer) const {
  return layer < wholeSteps_.size() ? wholeSteps_[layer] : 0;
}

Real EffectiveStressTable::lastStepUnitWeight(std::size_t layer) const {
  return layer < lastStepWeight_.size() ? lastStepWeight_[layer] : 0;
}

Real EffectiveStressTable::at(Real depth) const {
  if (!(depth > 0) || depth > profileBottom_ || points_.size() < 2) return 0;
  auto between = [depth](const StressPoint& a, const StressPoint& b) {
    const Real dz = b.depth - a.depth;
    if (dz <= 0) return (a.stress + b.stress) / 2;
    return a.stress + (b.stress - a.stress) * (depth - a.depth) / dz;
  };
  // The first point deeper than the depth, from the second on (the depths
  // never decrease).
  const auto deeper = std::upper_bound(points_.begin() + 1, points_.end(), depth,
                                       [](Real d, const StressPoint& p) { return d < p.depth; });
  if (deeper != points_.end()) return nonNegative(between(*(deeper - 1), *deeper));
  const std::size_t last = points_.size() - 1;
  return nonNegative(between(points_[last - 1], points_[last]));
}

Real EffectiveStressTable::mean(Real from, Real to) const {
  if (!(to > from)) return at(from);
  // The stress is linear between the table points: trapezoids between the
  // points that lie inside, and the two ends.
  Real sum = 0;
  Real lastDepth = from;
  Real lastStress = at(from);
  for (const StressPoint& p : points_) {
    if (p.depth <= from) continue;
    if (p.depth >= to) break;
    const Real s = at(p.depth);
    sum += (lastStress + s) / 2 * (p.depth - lastDepth);
    lastDepth = p.depth;
    lastStress = s;
  }
  sum += (lastStress + at(to)) / 2 * (to - lastDepth);
  return nonNegative(finiteOrZero(sum / (to - from)));
}

// ---------------------------------------------------------------------------
// SPT friction-angle chart.

Real frictionAngleFromSpt(Real n, Real effectiveStress) {
  if (!(n > 0)) return 0;
  const Real p = nonNegative(effectiveStress) / kPsfPerPsi;
  if (p <= 20) {
    if (n < 6) {
      const Real f0 = phi0(n);
      return f0 - (p / 20) * (f0 - 30);
    }
    if (n <= 20) {
      const Real f0 = phi0(n);
      return f0 - p * (f0 - phi20(n)) / 20;
    }
    if (n <= 55) {
      const Real f20 = phi20(n);
      return f20 + (20 - p) * (45 - f20) / 20;
    }
    return 45;
  }
  if (p < 40) {
    if (n <= 6) return 30 * n / 6;
    if (n < 10) return 30 + 0.5F * (n - 6);
    if (n <= 55) {
      const Real f20 = phi20(n);
      return f20 - (p - 20) * (f20 - phi40(n)) / 20;
    }
    if (n <= 90) {
      const Real f40 = phi40(n);
      return f40 + (40 - p) * (45 - f40) / 20;
    }
    return 45;
  }
  if (n <= 10) return 3 * n;
  if (n <= 90) return phi40(n);
  return 45;
}

// ---------------------------------------------------------------------------
// Estimates and coefficients.

Real layerFraction(Real top, Real bottom, Real depth) {
  const Real thickness = bottom - top;
  if (!(thickness > 0)) return 0;
  const Real t = (depth - top) / thickness;
  return std::isfinite(t) ? std::clamp(t, Real(0), Real(1)) : Real(0);
}

Real interpolate(Real top, Real bottom, Real fraction) { return top + (bottom - top) * fraction; }

Real estimatedSandBeta(Real depth, Real n) {
  Real beta = 1.5F - 0.135F * std::sqrt(nonNegative(depth));
  if (n > 0 && n < 15) beta = beta * n / 15;
  return std::clamp(beta, Real(0.25), Real(1.2));
}

Real estimatedGravellySandBeta(Real depth) {
  const Real beta = 2.0F - 0.15F * math::pow(kMetresPerFoot * nonNegative(depth), Real(0.75));
  return std::clamp(beta, Real(0.25), Real(1.8));
}

Real estimatedGravelBeta(Real depth) {
  const Real beta = 3.4F * math::exp(-0.025908F * nonNegative(depth));
  return std::clamp(beta, Real(0.25), Real(3.0));
}

Real estimatedAlpha(Real cohesion) {
  const Real r = nonNegative(cohesion) / kAtmosphere;
  if (r <= 1.5F) return 0.55F;
  if (r < 2.5F) return 0.55F - 0.1F * (r - 1.5F);
  return 0.4F;
}

Real ncFromStrength(Real c) {
  if (!(c > 500)) return 6.5F;
  if (c <= 1000) return 6.5F + 1.5F * (c - 500) / 500;
  if (c <= 2000) return 8 + (c - 1000) / 1000;
  return 9;
}

Real chenKulhawyK(Real n, Real m, Real effectiveStress, Real phiDeg) {
  const Real s = sinDeg(phiDeg);
  const Real kp = math::pow(tanDeg(45 + std::clamp(finiteOrZero(phiDeg), Real(0), Real(89)) / 2), Real(2));
  if (!(effectiveStress > 0)) return kp;  // OCR without bound at the ground surface
  const Real preconsolidation =
      n > 0 ? 0.47F * kIgmAtmosphere * math::pow(n, std::clamp(finiteOrZero(m), Real(-10), Real(10))) : Real(0);
  const Real ocr = std::max(Real(1), finiteOrZero(preconsolidation / effectiveStress));
  const Real k = (1 - s) * math::pow(ocr, s);
  return std::isfinite(k) ? std::min(k, kp) : kp;
}

// ---------------------------------------------------------------------------
// The 2018 set.

Real ciucStrength(Real strength, Real effectiveStress, methods::StrengthTest test) {
  const Real su = nonNegative(finiteOrZero(strength));
  if (test == methods::StrengthTest::CIUC || !(su > 0)) return su;
  // Held within the clays the correlation describes; at the ground surface
  // (no stress) the heavily overconsolidated end.
  const Real ratio = effectiveStress > 0 ? std::clamp(su / effectiveStress, Real(0.1), Real(10)) : Real(10);
  const Real l = math::log10(ratio);
  const Real normalised = test == methods::StrengthTest::UU ? 0.911F + 0.499F * l : 0.893F + 0.513F * l;
  return su / normalised;
}

Real alpha2018(Real ciuc) {
  if (!(ciuc > 0)) return 1;
  return std::min(Real(1), 0.30F + 0.17F * kAtmosphere / ciuc);
}

Sand2018 sand2018Values(Real blowCount, Real meanStress, Real givenFrictionAngle, Real givenInterfaceAngle,
                        methods::SandKind kind) {
  Sand2018 v;
  v.blowCount = nonNegative(finiteOrZero(blowCount));
  v.stress = nonNegative(finiteOrZero(meanStress));
  const bool fromN = v.blowCount > 0 && v.stress > 0;
  v.fromBlowCounts = fromN;
  if (fromN) {
    v.correctedBlowCount = v.blowCount * std::sqrt(kAtmosphere / v.stress);
    v.frictionAngle = 27.5F + 9.2F * math::log10(v.correctedBlowCount);
    switch (kind) {
      case methods::SandKind::Clean: v.preconsolidation = 0.47F * kAtmosphere * math::pow(v.blowCount, Real(0.6)); break;
      case methods::SandKind::Silty: v.preconsolidation = 0.47F * kAtmosphere * math::pow(v.blowCount, Real(0.8)); break;
      case methods::SandKind::Gravelly: v.preconsolidation = 0.15F * v.blowCount * kAtmosphere; break;
    }
    v.ocr = std::max(Real(1), finiteOrZero(v.preconsolidation / v.stress));
  } else {
    // Without blow counts (or without stress) there is no preconsolidation
    // stress to estimate: normally consolidated.
    v.frictionAngle = nonNegative(finiteOrZero(givenFrictionAngle));
    v.ocr = 1;
  }
  v.frictionAngle = std::clamp(finiteOrZero(v.frictionAngle), Real(0), Real(89));
  v.interfaceAngle = givenInterfaceAngle > 0 ? givenInterfaceAngle : v.frictionAngle;
  const Real sinPhi = sinDeg(v.frictionAngle);
  const Real kp = math::pow(tanDeg(45 + v.frictionAngle / 2), Real(2));
  v.k0 = std::min(kp, finiteOrZero((1 - sinPhi) * math::pow(v.ocr, sinPhi)));
  v.beta = finiteOrZero(v.k0 * tanDeg(v.interfaceAngle));
  return v;
}

Real rockMassFactor(Real rqd, bool openJoints) {
  // RQD (%) and alphaE, closed and open joints.
  static constexpr ChartPoint kClosed[] = {{20, 0.45F}, {30, 0.50F}, {50, 0.60F}, {70, 0.85F}, {100, 1.00F}};
  static constexpr ChartPoint kOpen[] = {{20, 0.45F}, {30, 0.50F}, {50, 0.55F}, {70, 0.55F}, {100, 0.85F}};
  return openJoints ? readCurve(kOpen, finiteOrZero(rqd)) : readCurve(kClosed, finiteOrZero(rqd));
}

bool CompletedLayer::anyEstimated() const {
  for (const EndEstimates& e : estimated) {
    if (e.frictionAngle || e.interfaceAngle || e.sideParameter || e.nc) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Parameter completion.

SoilResistance::SoilResistance(const ProjectInput& input)
    : input_(input), stress_(input), layers_(input.layers.size()) {
  for (std::size_t i = 0; i < layers_.size(); ++i) {
    layers_[i].end = input.layers[i].end;
    layers_[i].socketDiameterFallback = input.DSTART;
  }
  if (input.gec2018() && input.scourDepth > 0) scourStress_ = stress_.at(input.scourDepth);
}

std::optional<std::size_t> SoilResistance::layerAt(Real depth) const {
  if (!(depth >= 0)) return std::nullopt;
  // Layer bottoms increase (the capacity analysis refuses a profile whose
  // bottoms do not).
  const auto& layers = input_.layers;
  const auto below = std::upper_bound(layers.begin(), layers.end(), depth,
                                      [](Real d, const Layer& l) { return d < l.bottom; });
  if (below == layers.end()) return std::nullopt;
  return static_cast<std::size_t>(below - layers.begin());
}

Messages SoilResistance::completeAll() {
  Messages all;
  for (std::size_t i = 0; i < layers_.size(); ++i) all.append(completeLayer(i));
  return all;
}

Messages SoilResistance::completeLayer(std::size_t i) {
  Messages messages;
  const Layer& layer = input_.layers.at(i);
  CompletedLayer& c = layers_.at(i);
  c = CompletedLayer{};
  c.end = layer.end;
  c.socketDiameterFallback = input_.DSTART;
  auto limit = [](Real v) {
    v = finiteOrZero(v);
    return (std::fabs(v) < 1.0e-10F ? kUnlimited : v) / kPoundsPerTon;
  };
  c.maxSideTsf = limit(layer.maxSide);
  c.maxBaseTsf = limit(layer.maxBase);
  LayerCompletion completion{input_, stress_, layer, i, {input_.layerTop(i), layer.bottom}, c, messages};
  soilModel(layer.code).rules(input_).complete(completion);
  return messages;
}

// ---------------------------------------------------------------------------
// Base resistance.

BaseResistance SoilResistance::baseResistance(std::size_t i, Real tipDepth, Real baseDiameter) {
  const Layer& layer = input_.layers.at(i);
  BaseContext tip{input_, layer, layers_.at(i), layerTop(i), tipDepth, baseDiameter, this};
  return soilModel(layer.code).rules(input_).base(tip);
}

BaseResistance SoilResistance::sandBase(std::size_t i, Real tipDepth, Real baseDiameter) {
  const BaseContext tip{input_, input_.layers.at(i), layers_.at(i), layerTop(i), tipDepth, baseDiameter, this};
  return family::sandBase(tip);
}

// ---------------------------------------------------------------------------
// Side resistance of a slice.

SliceResistance SoilResistance::slice(std::size_t i, Real depth, Real tipDepth, WeakRockRunState& rock) {
  return slice(i, depth, tipDepth, rock, depth - 1, depth);
}

SliceResistance SoilResistance::slice(std::size_t i, Real depth, Real tipDepth, WeakRockRunState& rock, Real from,
                                      Real to) {
  const Layer& layer = input_.layers.at(i);
  const CompletedLayer& c = layers_.at(i);
  const SoilModel& model = soilModel(layer.code);
  // Under the 2018 set the stresses are those of the ground after scour.
  const Real sigma = scourStress_ > 0 ? nonNegative(stress_.at(depth) - scourStress_) : stress_.at(depth);
  const SliceContext at{input_,
                        stress_,
                        layer,
                        c,
                        i,
                        depth,
                        tipDepth,
                        layerFraction(layerTop(i), layer.bottom, depth),
                        sigma,
                        input_.KCYCL == 2,
                        rock,
                        from,
                        to,
                        scourStress_};
  SliceResistance r;
  r.lowUnitWeight = model.needsUnitWeight && at.at(&LayerEnd::unitWeight) < 50;
  Real fs = model.rules(input_).side(at, r);
  if (c.maxSideTsf > 5.0e-8F) fs = std::min(fs, c.maxSideTsf);
  r.unitSide = nonNegative(finiteOrZero(fs));
  r.strengthTerm = finiteOrZero(r.strengthTerm);
  return r;
}

}  // namespace pylar::engine
