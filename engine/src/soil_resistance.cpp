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
#include "soil_models.h"

namespace pylar::engine {

namespace {

constexpr Real kDegToRad = kPi / 180.0F;
// A stress table bigger than this (a profile thousands of feet deep) closes
// its layers with one longer step instead of growing without bound.
constexpr std::size_t kMaxStressSteps = 100000;
constexpr Real kMinClosingStep = 1.0e-4F;  // ft
constexpr Real kNoBaseLoad = 1.0e-5F;      // tons, sand base without N or phi above 30

Real finiteOrZero(Real v) { return std::isfinite(v) ? v : Real(0); }
Real nonNegative(Real v) { return v > 0 ? v : Real(0); }  // also maps NaN to 0

// tan of an angle in degrees, the angle held within [0, 89] so that garbage
// input cannot produce an infinity.
Real tanDeg(Real deg) { return math::tan(std::clamp(finiteOrZero(deg), Real(0), Real(89)) * kDegToRad); }
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

void appendStarBlock(Lines& out, std::string_view kind, std::initializer_list<std::string_view> lines) {
  out.emplace_back();
  std::string stars = "     *********************";
  stars += kind;
  stars += "**********************";
  out.push_back(stars);
  for (std::string_view line : lines) out.push_back(std::string("     ") + std::string(line));
  out.emplace_back();
}

}  // namespace

Lines unitWeightMessage() {
  Lines out;
  appendStarBlock(out, "ERROR",
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
  for (std::size_t j = 1; j < points_.size(); ++j) {
    if (points_[j].depth > depth) return nonNegative(between(points_[j - 1], points_[j]));
  }
  const std::size_t last = points_.size() - 1;
  return nonNegative(between(points_[last - 1], points_[last]));
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

Real estimatedNcByDepth(Real depth, Real minimumDiameter, int code) {
  const Real cap = code == kShale ? Real(7) : Real(9);
  if (!(minimumDiameter > 0)) return cap;  // no diameter: the deep-base limit
  return std::min(cap, 6 * (1 + 0.2F * nonNegative(depth) / minimumDiameter));
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
}

Messages SoilResistance::completeAll() {
  Messages all;
  for (std::size_t i = 0; i < layers_.size(); ++i) all.append(completeLayer(i));
  return all;
}

Messages SoilResistance::completeLayer(std::size_t i) {
  Messages messages;
  Lines& report = messages.report;
  Lines& runNotes = messages.notes;
  auto warn = [&](std::string_view text) { messages.warnings.push_back({static_cast<int>(i + 1), std::string(text)}); };
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
  const std::array<Real, 2> z{input_.layerTop(i), layer.bottom};

  auto completeBeta = [&](auto estimate) {
    for (int e = 0; e < 2; ++e) {
      if (c.end[e].sideParameter > 0) continue;
      c.end[e].sideParameter = estimate(z[e], c.end[e].blowCount);
      c.estimated[e].sideParameter = true;
    }
    c.sideParameterEstimated = c.estimated[0].sideParameter && c.estimated[1].sideParameter;
  };

  switch (soilModel(layer.code).family) {
    case SoilFamily::Sand: {
      const bool anyN = c.end[0].blowCount > 0 || c.end[1].blowCount > 0;
      bool missing = false;
      for (int e = 0; e < 2; ++e) {
        LayerEnd& end = c.end[e];
        if (anyN && end.blowCount > 0) {
          end.frictionAngle = frictionAngleFromSpt(end.blowCount, stress_.at(z[e]));
          c.estimated[e].frictionAngle = true;
        }
        if (!(end.blowCount > 0) && !(end.frictionAngle > 0)) missing = true;
        if (!(end.interfaceAngle > 0) && end.frictionAngle > 0) {
          end.interfaceAngle = end.frictionAngle;
          c.estimated[e].interfaceAngle = true;
        }
      }
      if (missing) {
        appendStarBlock(runNotes, "ERROR",
                       {"PLEASE INPUT EITHER THE N-VALUE FROM STANDARD PENETRATION TESTS",
                        "OR THE INTERNAL FRICTION ANGLE FOR SAND LAYERS"});
        warn(kSandStrengthMissingWarning);
      }
      if (layer.sandMethod == kBetaMethod) completeBeta(estimatedSandBeta);
      break;
    }
    case SoilFamily::Gravel: {
      if (layer.code == kGravel) completeBeta([](Real depth, Real) { return estimatedGravelBeta(depth); });
      else completeBeta([](Real depth, Real) { return estimatedGravellySandBeta(depth); });
      // The criterion asks for blow counts greater than 25 (a count of 25
      // is outside it) and limits the unit tip resistance above 50.
      const Real top = layer.top().blowCount;
      const Real bottom = layer.bot().blowCount;
      c.blowCountOver50 = top > 50 || bottom > 50;
      c.blowCountAtMost25 = top <= 25 || bottom <= 25;
      if (c.blowCountOver50) warn(kGravelBlowCountHighWarning);
      if (c.blowCountAtMost25) warn(kGravelBlowCountLowWarning);
      break;
    }
    case SoilFamily::Clay: {
      bool strong = false;
      for (int e = 0; e < 2; ++e) {
        LayerEnd& end = c.end[e];
        if (!(end.sideParameter > 0)) {
          end.sideParameter = estimatedAlpha(end.cohesion);
          c.estimated[e].sideParameter = true;
          if (nonNegative(end.cohesion) / kAtmosphere >= 2.5F) strong = true;
        }
        if (!(end.nc > 0)) {
          end.nc = estimatedNcByDepth(z[e], input_.DSTART, layer.code);
          c.estimated[e].nc = true;
        }
      }
      c.sideParameterEstimated = c.estimated[0].sideParameter && c.estimated[1].sideParameter;
      c.ncEstimated = c.estimated[0].nc && c.estimated[1].nc;
      c.hasCohesion = c.end[0].cohesion > 1.0e-5F || c.end[1].cohesion > 1.0e-5F;
      if (strong) {
        report.emplace_back("       ..........WARNING..........");
        report.emplace_back("       THE SHEAR STRENGTH OF THIS MATERIAL MAY BE TOO HIGH");
        report.emplace_back("       FOR USING CLAY CRITERIA. DESIGN AS INTERMEDIATE");
        report.emplace_back("       GEOMATERIALS IS RECOMMENDED.");
        report.emplace_back();
        warn(kClayTooStrongWarning);
      }
      if (layer.code == kClay && !c.hasCohesion) {
        appendStarBlock(report, "WARNING",
                       {"THE PREDICTED LOAD TRANSFER IN CLAY BASED ON THE N-VALUE",
                        "FROM STANDARD PENETRATION TESTS IS NOT RECOMMENDED FOR",
                        "THE FINAL DESIGN.  PLEASE INPUT THE UNDRAIDED SHEAR",
                        "STRENGTH FOR CLAY LAYERS IN THE FINAL DESIGN."});
        warn(kClayFromBlowCountWarning);
      }
      break;
    }
    case SoilFamily::WeakRock:
      if (!validInterfaceCondition(layer)) {
        const std::string text = "     " + std::string(kWeakRockConditionWarning);
        report.push_back(text);
        runNotes.push_back(text);
        warn(kWeakRockConditionWarning);
      }
      break;
    default:
      break;
  }
  return messages;
}

// ---------------------------------------------------------------------------
// Base resistance.

BaseResistance SoilResistance::baseResistance(std::size_t i, Real tipDepth, Real baseDiameter) {
  switch (soilModel(input_.layers.at(i).code).base) {
    case BaseProcedure::Sand: return sandBase(i, tipDepth, baseDiameter);
    case BaseProcedure::Clay: return clayBase(i, tipDepth, baseDiameter);
    case BaseProcedure::StrongRock: return strongRockBase(i, tipDepth, baseDiameter);
    case BaseProcedure::WithSlice:
    case BaseProcedure::None: break;
  }
  return {};
}

BaseResistance SoilResistance::sandBase(std::size_t i, Real tipDepth, Real b) {
  CompletedLayer& c = layers_.at(i);
  const Real t = layerFraction(layerTop(i), input_.layers[i].bottom, tipDepth);
  const Real n = interpolate(c.end[0].blowCount, c.end[1].blowCount, t);
  const Real phi = interpolate(c.end[0].frictionAngle, c.end[1].frictionAngle, t);
  BaseResistance r;
  if (!(b > 0)) return r;  // no base
  r.area = kQuarterPi * b * b;
  Real q = 0;
  if (n > 0) {
    q = n >= 50 ? Real(30) : std::min(0.6F * n, Real(30));
  } else if (!(phi > 30)) {
    r.load = kNoBaseLoad;
    return r;
  } else if (phi <= 36) {
    q = 2.667F * (phi - 30);
  } else if (phi <= 41) {
    q = 16 + 2.8F * (phi - 36);
  } else {
    q = 30;
  }
  Real load = q * r.area;
  if (input_.IMOD == 1) {
    if (b > 4.17F) load *= 50 / (kInchesPerFoot * b);
    const Real depth = nonNegative(tipDepth);
    if (depth < 10 * b) load *= depth / (10 * b);
  }
  r.unit = finiteOrZero(q);
  r.load = finiteOrZero(load);
  return r;
}

BaseResistance SoilResistance::clayBase(std::size_t i, Real tipDepth, Real b) {
  CompletedLayer& c = layers_.at(i);
  const Real t = layerFraction(layerTop(i), input_.layers[i].bottom, tipDepth);
  Real nc = interpolate(c.end[0].nc, c.end[1].nc, t);
  if (!(nc > 1.0e-9F)) {
    nc = c.lastValidNc;
  } else {
    c.lastValidNc = nc;
  }
  const Real su = nonNegative(c.hasCohesion ? interpolate(c.end[0].cohesion, c.end[1].cohesion, t) / kPoundsPerTon
                                            : interpolate(c.end[0].blowCount, c.end[1].blowCount, t) / 10);
  BaseResistance r;
  if (!(b > 0)) return r;
  const Real depth = nonNegative(tipDepth);
  r.area = kQuarterPi * b * b;
  Real fr = 1;
  if (b > 6.25F) {
    const Real a = std::min(0.0071F + 0.0021F * depth / b, 0.015F);
    const Real bb = std::clamp(0.45F * std::sqrt(2 * su), Real(0.5), Real(1.5));
    fr = std::min(Real(1), 2.5F / (kInchesPerFoot * a * b + 2.5F * bb));
  }
  if (c.ncEstimated) {
    nc = ncFromStrength(kPoundsPerTon * su);
    if (depth < 3 * b) nc *= (2.0F / 3.0F) * (1 + depth / (6 * b));
  }
  Real q = su * nc;
  if (input_.layers[i].code == kClay) q = std::min(q, Real(40));
  r.unit = nonNegative(finiteOrZero(q));
  r.load = nonNegative(finiteOrZero(q * r.area * fr));
  return r;
}

BaseResistance SoilResistance::strongRockBase(std::size_t i, Real tipDepth, Real b) {
  CompletedLayer& c = layers_.at(i);
  const Layer& layer = input_.layers.at(i);
  const Real t = layerFraction(layerTop(i), layer.bottom, tipDepth);
  const LayerEnd& top = c.end[0];
  const LayerEnd& bot = c.end[1];
  const Real qu = nonNegative(interpolate(top.rockStrength, bot.rockStrength, t));
  const Real s = interpolate(top.jointSpacing, bot.jointSpacing, t);
  const Real aperture = nonNegative(interpolate(top.jointThickness, bot.jointThickness, t));
  Real ds = interpolate(top.socketDiameter, bot.socketDiameter, t);
  if (!(ds >= 0.001F)) ds = b;  // socket diameter not given: the base diameter
  BaseResistance r;
  if (!(ds > 0)) return r;
  r.area = kQuarterPi * ds * ds;
  // Canadian Foundation Engineering Manual: Ksp = (3 + s/B)/(10 sqrt(1 + 300 d/s)).
  // Spacing not given: tight joints (d = 0) read as the closest spacing, 0.3;
  // open joints with no spacing carry no base.
  Real ksp = 0;
  if (s > 0) {
    ksp = (3 + s / ds) / (10 * std::sqrt(1 + 300 * aperture / s));
  } else if (!(aperture > 0)) {
    ksp = 0.3F;
  }
  Real q = 3 * (qu / kPoundsPerTon) * ksp;
  if (layer.code == kStrongRockSideOrBase && qu <= kSideOrBaseRockLimit) q = 0;  // carried in side resistance
  r.unit = nonNegative(finiteOrZero(q));
  r.load = nonNegative(finiteOrZero(q * r.area));
  return r;
}

// ---------------------------------------------------------------------------
// Side resistance of a slice.

Real SoilResistance::frictionAngleAt(std::size_t i, Real t, Real depth) const {
  const CompletedLayer& c = layers_[i];
  const Real phi = interpolate(c.end[0].frictionAngle, c.end[1].frictionAngle, t);
  if (phi > 0) return phi;
  return frictionAngleFromSpt(interpolate(c.end[0].blowCount, c.end[1].blowCount, t), stress_.at(depth));
}

SliceResistance SoilResistance::slice(std::size_t i, Real depth, Real tipDepth, WeakRockRunState& rock) {
  const Layer& layer = input_.layers.at(i);
  const CompletedLayer& c = layers_.at(i);
  const Real t = layerFraction(layerTop(i), layer.bottom, depth);
  auto at = [t, &c](Real LayerEnd::*field) { return interpolate(c.end[0].*field, c.end[1].*field, t); };
  const Real sigma = stress_.at(depth);
  const bool uplift = input_.KCYCL == 2;
  const Real rcycl = finiteOrZero(input_.RCYCL);
  const int code = layer.code;
  const SoilModel& model = soilModel(code);


  // Stress at the middle of the slice, for the beta procedures.
  auto midSliceStress = [&] {
    Real g = stress_.lastStepUnitWeight(i);
    if (depth > input_.waterTable) g -= kWaterUnitWeight;
    return nonNegative(sigma - g / 2);
  };
  // Uplift reduction of the strength term (and the bell factor of the
  // procedures that carry it).
  auto upliftFactor = [&](bool withBell) {
    if (!uplift) return Real(1);
    Real f = rcycl;
    if (withBell && input_.RATIO > 1) f *= input_.RATIO;
    return f;
  };

  SliceResistance r;
  r.lowUnitWeight = model.needsUnitWeight && at(&LayerEnd::unitWeight) < 50;
  Real fs = 0;
  switch (model.family) {
    case SoilFamily::Sand: {
      const Real phi = frictionAngleAt(i, t, depth);
      Real delta = at(&LayerEnd::interfaceAngle);
      if (!(delta > 0)) delta = phi;
      const Real n = at(&LayerEnd::blowCount);
      if (layer.sandMethod == kBetaMethod) {
        r.coefficient = c.sideParameterEstimated ? estimatedSandBeta(depth, n) : at(&LayerEnd::sideParameter);
        r.strengthTerm = midSliceStress() * upliftFactor(false);
        fs = std::min(r.coefficient * r.strengthTerm / kPoundsPerTon, Real(2.1));
        break;
      }
      // A sand layer has no cohesion: the strength term is friction only.
      r.strengthTerm = sigma * tanDeg(delta) * upliftFactor(true);
      r.coefficient = layer.sandMethod == kChenKulhawyMethod
                          ? chenKulhawyK(n, at(&LayerEnd::sideParameter), sigma, phi)
                          : at(&LayerEnd::sideParameter);
      fs = r.coefficient * r.strengthTerm / kPoundsPerTon;
      break;
    }
    case SoilFamily::Gravel: {
      if (c.sideParameterEstimated) {
        r.coefficient = code == kGravel ? estimatedGravelBeta(depth) : estimatedGravellySandBeta(depth);
      } else {
        r.coefficient = at(&LayerEnd::sideParameter);
      }
      r.strengthTerm = midSliceStress() * upliftFactor(false);
      fs = r.coefficient * r.strengthTerm / kPoundsPerTon;
      if (code == kGravellySand) fs = std::min(fs, Real(2.1));
      break;
    }
    case SoilFamily::Clay: {
      Real x = 0;
      if (c.hasCohesion) {
        x = at(&LayerEnd::cohesion);
      } else {
        const Real n = at(&LayerEnd::blowCount);
        x = code == kClay ? 200 * n : kPoundsPerTon * n / 53;
      }
      r.strengthTerm = x * upliftFactor(true);
      r.coefficient = at(&LayerEnd::sideParameter);
      fs = r.coefficient * r.strengthTerm / kPoundsPerTon;
      break;
    }
    case SoilFamily::DecomposedRock: {
      const DecomposedRockSlice d = decomposedRockSlice(input_, stress_, i, depth, tipDepth);
      r.coefficient = 1;
      r.strengthTerm = d.side * upliftFactor(false);
      r.hasBase = true;
      r.base = d.base;
      fs = r.strengthTerm / kPoundsPerTon;
      break;
    }
    case SoilFamily::WeakRock: {
      const WeakRockSlice w = weakRockSlice(input_, i, depth, tipDepth, rock);
      r.socketCheck = w.check;
      r.coefficient = 1;
      r.strengthTerm = w.side * upliftFactor(false);
      r.socketDiameter = weakRockPointAt(input_, i, depth).socketDiameter;
      r.hasBase = true;
      r.base = w.base;
      fs = r.strengthTerm / kPoundsPerTon;
      break;
    }
    case SoilFamily::StrongRock: {
      const Real qu = nonNegative(at(&LayerEnd::rockStrength));
      const Real fc = nonNegative(at(&LayerEnd::concreteStrength));
      const Real q = fc > 0 ? std::min(qu, fc) : qu;  // a concrete strength not given does not limit
      Real x = q <= 40320 ? 0.15F * q : kPsfPerPsi * 2.5F * std::sqrt(q / kPsfPerPsi);
      if (code == kStrongRockSideOrBase && !uplift && qu > kSideOrBaseRockLimit) x = 0;  // carried in end bearing
      r.coefficient = 1;
      r.strengthTerm = x * upliftFactor(false);
      const Real ds = at(&LayerEnd::socketDiameter);
      r.socketDiameter = ds >= 0.001F ? ds : Real(0);
      fs = r.strengthTerm / kPoundsPerTon;
      break;
    }
    default:
      break;
  }
  if (c.maxSideTsf > 5.0e-8F) fs = std::min(fs, c.maxSideTsf);
  r.unitSide = nonNegative(finiteOrZero(fs));
  r.strengthTerm = finiteOrZero(r.strengthTerm);
  return r;
}

}  // namespace pylar::engine
