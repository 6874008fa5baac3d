// Side and base resistance of intermediate geomaterials.
//
// Weak rock: O'Neill, Townsend, Hassan, Buller and Chan (1996), FHWA-RD-95-172;
// O'Neill and Reese (1999), FHWA-IF-99-025, ch. 11 (cohesive IGM).
// Decomposed rock/gravel: O'Neill and Reese (1999) ch. 11 (cohesionless IGM),
// with Kulhawy and Mayne's phi'(N) and the Mayne-Kulhawy K0(OCR).
#include "igm_resistance.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "igm_charts.h"
#include "real_math.h"
#include "soil_models.h"
#include "soil_resistance.h"

namespace pylar::engine {

namespace {

constexpr Real kDegToRad = kPi / 180.0F;

Real finiteOrZero(Real v) { return std::isfinite(v) ? v : Real(0); }
Real nonNegative(Real v) { return v > 0 ? v : Real(0); }

// Fixed-point field of the given width; asterisks when the value does not fit
// or is not a finite number.
std::string fixedField(Real value, int width, int decimals) {
  char buffer[64];
  const auto res = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text = res.ec == std::errc{} ? std::string(buffer, res.ptr) : std::string();
  if (!std::isfinite(value) || text.empty() || static_cast<int>(text.size()) > width) {
    return std::string(static_cast<std::size_t>(width), '*');
  }
  return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

SocketWarning rockBlock(SocketCheckKind kind, const std::string& valueLine,
                        std::initializer_list<std::string_view> message) {
  SocketWarning w{kind, {}, {}};
  w.block.emplace_back("                     WARNING MESSAGE                ");
  w.block.push_back("   " + std::string(60, '-'));
  w.block.push_back(valueLine);
  auto trim = [](std::string_view t) {
    const auto b = t.find_first_not_of(' ');
    return b == std::string_view::npos ? std::string_view() : t.substr(b, t.find_last_not_of(' ') - b + 1);
  };
  for (std::string_view line : message) {
    w.block.emplace_back(line);
    if (!w.text.empty()) w.text += ' ';
    w.text += trim(line);
  }
  w.block.emplace_back();
  w.block.emplace_back();
  return w;
}

}  // namespace

void WeakRockRunState::resetForPier() {
  intactModulusSum = 0;
  intactModulusCount = 0;
}

Real WeakRockRunState::meanIntactModulus() const {
  return intactModulusCount > 0 ? intactModulusSum / static_cast<Real>(intactModulusCount) : Real(0);
}

bool validInterfaceCondition(const Layer& layer) {
  const Real v = layer.bot().interfaceCondition > 0 ? layer.bot().interfaceCondition : layer.top().interfaceCondition;
  return v >= 1 && v < 5;
}

int interfaceCondition(const Layer& layer) {
  if (!validInterfaceCondition(layer)) return 4;
  const Real v = layer.bot().interfaceCondition > 0 ? layer.bot().interfaceCondition : layer.top().interfaceCondition;
  return static_cast<int>(v);
}

WeakRockPoint weakRockPointAt(const ProjectInput& input, std::size_t i, Real depth) {
  const Layer& layer = input.layers.at(i);
  const Real t = layerFraction(input.layerTop(i), layer.bottom, depth);
  auto at = [&](Real LayerEnd::*field) {
    return finiteOrZero(interpolate(layer.top().*field, layer.bot().*field, t));
  };
  WeakRockPoint p;
  p.qu = nonNegative(at(&LayerEnd::rockStrength));
  p.slump = at(&LayerEnd::slump);
  p.interfaceFriction = at(&LayerEnd::interfaceFrictionAngle);
  p.intactModulus = nonNegative(at(&LayerEnd::rockModulus)) * kTsfPerPsi;
  p.rqd = at(&LayerEnd::rqd);
  p.socketDiameter = at(&LayerEnd::socketDiameter);
  if (!(p.socketDiameter >= 0.001F)) p.socketDiameter = nonNegative(input.DSTART);
  p.condition = interfaceCondition(layer);
  return p;
}

WeakRockTerms weakRockTerms(const WeakRockPoint& p, Real meanEi, Real ec, Real zc, Real embedment,
                            Real movement) {
  WeakRockTerms w;
  w.fluidPressureFactor = fluidPressureFactor(p.slump, zc);
  w.normalStress = nonNegative(kConcreteUnitWeight * zc * w.fluidPressureFactor);
  w.alpha = adhesionFactor(w.normalStress / kIgmAtmosphere, p.qu);
  w.modulusRatio = modulusRatioFromRqd(p.rqd, p.openJoints());
  w.jointFactor = jointFactor(w.modulusRatio);
  const Real phi = std::clamp(p.interfaceFriction, Real(0), Real(89));
  const Real fa = p.rough() ? 0.5F * p.qu : w.alpha * p.qu * math::tan(phi * kDegToRad) / kTan30;
  w.maxSide = nonNegative(finiteOrZero(fa * w.jointFactor));
  w.rockMassModulus = nonNegative(meanEi) * w.modulusRatio;
  const Real em = w.rockMassModulus;
  const Real stressOverQu = p.qu > 0 ? w.normalStress / p.qu : Real(0);
  if (p.rough()) {
    w.n = std::clamp(stressOverQu, Real(0), Real(1));
  } else {
    const Real emOverStress = w.normalStress > 0 ? kPoundsPerTon * em / w.normalStress : Real(0);
    w.n = smoothSocketN(emOverStress, p.qu / kIgmAtmosphere, stressOverQu);
  }
  const Real ds = p.socketDiameter;
  const Real e = nonNegative(embedment);
  if (!(ds > 0)) return w;  // no socket
  w.lambda = std::sqrt(e / ds);
  w.modulusValid = ec > 0 && em > 0;
  const Real g = w.modulusValid ? math::log10(ec / em) : Real(0);
  w.gamma = 0.37F * w.lambda + 0.13F - 0.15F * (w.lambda - 1) * g;
  w.omega = 1.14F * w.lambda - 0.44F - 0.05F * (w.lambda - 1) * g;
  const Real wt = nonNegative(movement);
  const Real fa2 = w.maxSide;
  if (w.modulusValid && fa2 > 0 && e > 0) {
    if (w.gamma > 0) {
      w.theta = nonNegative(finiteOrZero(kPoundsPerTon * em * w.omega / (kPiFourDecimals * e * fa2 * w.gamma) * wt));
      Real ratio = w.theta;
      if (w.theta > w.n) ratio = w.n + (w.theta - w.n) * (1 - w.n) / (1 - 2 * w.n + w.theta);
      w.mobilisedSide = std::clamp(finiteOrZero(fa2 * ratio), Real(0), fa2);
    } else {
      // Outside the range of the shape equations: the limit of the
      // mobilised value for large movements, fa.
      w.mobilisedSide = fa2;
    }
  }
  Real t = 0;
  if (w.modulusValid && w.gamma > 0 && e > 0) {
    const Real r = e / ds;
    const Real bracket = 200 * (1 + r) * (w.lambda - w.omega) / (957.5597F * e * w.gamma);
    if (bracket > 0) t = 2 * 0.64159197F * r * em * math::pow(bracket, 0.67F) / (1 + r);
  }
  const Real qbMovement = 20.88F * math::pow(304.8F * wt, 0.67F) * finiteOrZero(t);
  w.unitBase = nonNegative(finiteOrZero(std::min(2.5F * p.qu, qbMovement)));
  return w;
}

Real rockTop(const ProjectInput& input) {
  for (std::size_t i = 0; i < input.layers.size(); ++i) {
    if (soilModel(input.layers[i].code).rock) return input.layerTop(i);
  }
  return -1;
}

WeakRockSlice weakRockSlice(const ProjectInput& input, std::size_t i, Real depth, Real tipDepth,
                            WeakRockRunState& state) {
  const WeakRockPoint p = weakRockPointAt(input, i, depth);
  const Real ds = p.socketDiameter;
  const Real dr = rockTop(input);
  WeakRockSlice s;
  if (dr >= 0) {
    s.socketLength = nonNegative(tipDepth - dr);
    s.embedment = std::max(ds, depth - dr);
    if (s.embedment < 0) s.embedment = 1;
  }
  state.intactModulusSum += p.intactModulus;
  state.intactModulusCount += 1;
  const Real zc = std::min(kMaxFluidConcreteDepth, nonNegative((tipDepth + std::max(dr, Real(0))) / 2));
  const Real ec = nonNegative(input.Ec) * kTsfPerPsi;
  s.terms = weakRockTerms(p, state.meanIntactModulus(), ec, zc, s.embedment, 0.05F * ds);
  s.side = p.rough() ? s.terms.mobilisedSide : s.terms.maxSide;
  s.base.area = kQuarterPi * ds * ds;
  s.base.unit = s.terms.unitBase / kPoundsPerTon;
  s.base.load = s.base.area * s.terms.unitBase / kPoundsPerTon;

  s.check.socketDiameter = ds;
  s.check.rockTop = dr;
  s.check.embedment = s.embedment;
  const Real em = s.terms.rockMassModulus;
  s.check.modulusKnown = em > 0;
  s.check.modulusRatio = s.check.modulusKnown ? ec / em : Real(0);
  return s;
}

std::vector<SocketWarning> socketWarnings(const SocketCheck& c, Real tipDepth) {
  std::vector<SocketWarning> out;
  const Real ds = c.socketDiameter;
  if (ds > 0) {
    const Real socketLength = c.rockTop >= 0 ? nonNegative(tipDepth - c.rockTop) : Real(0);
    const Real lengthRatio = socketLength / ds;
    const Real embedmentRatio = c.embedment / ds;
    if (lengthRatio <= 2 || embedmentRatio > 20) {
      const Real shown = lengthRatio <= 2 ? lengthRatio : embedmentRatio;
      out.push_back(rockBlock(SocketCheckKind::Length,
                              "                SOCKET LENGTH/SOCKET DIAMETER = " + fixedField(shown, 9, 2),
                              {"     L/D SHOULD BE GREATER THAN 2.0 AND LESS THAN 20.0"}));
    }
  }
  if (!c.modulusKnown || c.modulusRatio < 10 || c.modulusRatio > 500) {
    // An unknown rock-mass modulus prints as asterisks: the ratio has no value.
    const std::string value = c.modulusKnown ? fixedField(c.modulusRatio, 9, 2) : std::string(9, '*');
    out.push_back(rockBlock(SocketCheckKind::Modulus, "                         Ec/Em = " + value,
                            {"     Ec/Em SHOULD BE GREATER THAN 10.0 AND LESS THAN 500.0"}));
  }
  if (ds < kMinSocketDiameter) {
    out.push_back(rockBlock(SocketCheckKind::Diameter,
                            "                         Diameter (FT) = " + fixedField(ds, 9, 2),
                            {"     SOCKET DIAMETER SHOULD BE GREATER THAN 0.5 m or 1.64 ft",
                             "     AND LESS THAN 1.53 m or 5 ft."}));
  }
  return out;
}

Real midLayerStress(const ProjectInput& input, std::size_t i) {
  Real sum = 0;
  for (std::size_t k = 0; k < i && k < input.layers.size(); ++k) {
    const Layer& l = input.layers[k];
    sum += (l.top().unitWeight + l.bot().unitWeight) / 2 * (l.bottom - input.layerTop(k));
  }
  const Layer& layer = input.layers.at(i);
  const Real top = input.layerTop(i);
  const Real thickness = layer.bottom - top;
  sum += (layer.top().unitWeight + layer.bot().unitWeight) / 4 * thickness;
  const Real middle = top + thickness / 2;
  if (middle > input.waterTable) sum -= kWaterUnitWeight * (middle - input.waterTable);
  return nonNegative(finiteOrZero(sum));
}

DecomposedRockSlice decomposedRockValues(Real blowCount, Real effectiveStress, Real socketDiameter) {
  DecomposedRockSlice d;
  const Real n = nonNegative(finiteOrZero(blowCount));
  const Real sigma = nonNegative(finiteOrZero(effectiveStress));
  d.effectiveStress = sigma;
  const Real phiRad = math::atan(math::pow(n / (12.2F + 20.3F * sigma / kIgmAtmosphere), 0.34F));
  d.frictionAngle = phiRad / kDegToRad;
  if (!(sigma > 0)) return d;  // both terms vanish with the stress
  d.ocr = finiteOrZero(0.2F * n * kIgmAtmosphere / sigma);
  // A geomaterial is never less than normally consolidated in its K.
  const Real s = math::sin(phiRad);
  d.side = nonNegative(finiteOrZero((1 - s) * math::pow(std::max(d.ocr, Real(1)), s) * math::tan(0.75F * phiRad) * sigma));
  const Real ds = nonNegative(socketDiameter);
  d.base.area = kQuarterPi * ds * ds;
  d.base.load = finiteOrZero(1.6853898F * sigma * math::pow(d.ocr, 0.8F) * ds * ds / kPoundsPerTon);
  d.base.unit = d.base.area > 0 ? d.base.load / d.base.area : Real(0);
  return d;
}

DecomposedRockSlice decomposedRockSlice(const ProjectInput& input, const EffectiveStressTable& stress,
                                        std::size_t i, Real depth, Real tipDepth, Real scourStress) {
  const Layer& layer = input.layers.at(i);
  const Real t = layerFraction(input.layerTop(i), layer.bottom, depth);
  Real ds = interpolate(layer.top().socketDiameter, layer.bot().socketDiameter, t);
  if (!(ds >= 0.001F)) ds = nonNegative(input.DSTART);
  Real sigma = midLayerStress(input, i);
  const Real profileBottom = input.layers.empty() ? Real(0) : input.layers.back().bottom;
  if (profileBottom - tipDepth < 2 * ds) sigma = stress.at(tipDepth);
  if (scourStress > 0) sigma = nonNegative(sigma - scourStress);
  const Real n = interpolate(layer.top().blowCount, layer.bot().blowCount, t);
  return decomposedRockValues(n, sigma, ds);
}

}  // namespace pylar::engine
