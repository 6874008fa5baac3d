// Sand (code 1): friction angle from the SPT chart, side by the Ko, beta
// (FHWA-IF-99-025 depth rule) or Chen and Kulhawy procedure of the layer,
// base by the SPT rule of O'Neill and Reese (1999), also used by gravelly
// sand and gravel. Under the 2018 set (FHWA GEC-10, Brown et al. 2018): the
// beta method of GEC-10 with the layer's mean values, and the base 0.6 N60
// with N60 the mean over two base diameters below the tip.
#include <algorithm>
#include <cmath>
#include <optional>

#include "report.h"
#include "soil_family.h"
#include "soil_models.h"

namespace pylar::engine {
namespace {

using family::finiteOrZero;
using family::nonNegative;
using family::tanDeg;

constexpr Real kNoBaseLoad = 1.0e-5F;  // tons, sand base without N or phi above 30

class SandFamily final : public SoilBehaviour {
 public:
  void complete(LayerCompletion& l) const override {
    CompletedLayer& c = l.completed;
    const bool anyN = c.end[0].blowCount > 0 || c.end[1].blowCount > 0;
    bool missing = false;
    for (int e = 0; e < 2; ++e) {
      LayerEnd& end = c.end[e];
      if (anyN && end.blowCount > 0) {
        end.frictionAngle = frictionAngleFromSpt(end.blowCount, l.stress.at(l.depth[e]));
        c.estimated[e].frictionAngle = true;
      }
      if (!(end.blowCount > 0) && !(end.frictionAngle > 0)) missing = true;
      if (!(end.interfaceAngle > 0) && end.frictionAngle > 0) {
        end.interfaceAngle = end.frictionAngle;
        c.estimated[e].interfaceAngle = true;
      }
    }
    if (missing) {
      family::appendStarBlock(l.messages.notes, "ERROR",
                              {"PLEASE INPUT EITHER THE N-VALUE FROM STANDARD PENETRATION TESTS",
                               "OR THE INTERNAL FRICTION ANGLE FOR SAND LAYERS"});
      l.warn(kSandStrengthMissingWarning);
    }
    if (l.layer.sandMethod == kBetaMethod) family::completeBeta(l, estimatedSandBeta);
  }

  Real side(const SliceContext& s, SliceResistance& r) const override {
    const Real phi = frictionAngleAt(s);
    Real delta = s.at(&LayerEnd::interfaceAngle);
    if (!(delta > 0)) delta = phi;
    const Real n = s.at(&LayerEnd::blowCount);
    if (s.layer.sandMethod == kBetaMethod) {
      r.coefficient = s.completed.sideParameterEstimated ? estimatedSandBeta(s.depth, n) : s.at(&LayerEnd::sideParameter);
      r.strengthTerm = s.midSliceStress() * s.upliftFactor(false);
      return std::min(r.coefficient * r.strengthTerm / kPoundsPerTon, Real(2.1));
    }
    // A sand layer has no cohesion: the strength term is friction only.
    r.strengthTerm = s.sigma * tanDeg(delta) * s.upliftFactor(true);
    r.coefficient = s.layer.sandMethod == kChenKulhawyMethod
                        ? chenKulhawyK(n, s.at(&LayerEnd::sideParameter), s.sigma, phi)
                        : s.at(&LayerEnd::sideParameter);
    return r.coefficient * r.strengthTerm / kPoundsPerTon;
  }

  BaseResistance base(BaseContext& tip) const override { return family::sandBase(tip); }

  void writeEnd(LayerReport& e) const override {
    e.value("INTERNAL FRICTION ANGLE, DEG.", e.v.frictionAngle, estimateMarker(e.est.frictionAngle));
    e.common();
    e.depthLine();
    if (e.layer.sandMethod == kBetaMethod) {
      e.beta();
    } else if (e.layer.sandMethod == kChenKulhawyMethod) {
      e.out.push_back("       SIDE FRICTION PROCEDURE, KULHAWY AND CHEN METHOD");
      e.value("PRECONSOLIDATION STRESS EXPONENT - M", e.v.sideParameter, estimateMarker(e.est.sideParameter));
    } else {
      e.out.push_back("       SIDE FRICTION PROCEDURE: Ko METHOD");
      e.value("LATERAL EARTH-PRESSURE COEFFICIENT - Ko", e.v.sideParameter);
    }
  }

 private:
  // The friction angle at the slice: as given or estimated at the layer's
  // ends, else from the SPT chart at the slice's own stress.
  static Real frictionAngleAt(const SliceContext& s) {
    const Real phi = s.at(&LayerEnd::frictionAngle);
    if (phi > 0) return phi;
    return frictionAngleFromSpt(s.at(&LayerEnd::blowCount), s.stress.at(s.depth));
  }
};

// The mean of a layer's two end values, or the one end that gives a value.
Real meanOfGiven(Real top, Real bottom) {
  if (top > 0 && bottom > 0) return (top + bottom) / 2;
  return top > 0 ? top : bottom > 0 ? bottom : Real(0);
}

// A layer value at a fraction of its thickness: interpolated between the
// ends that give one, the one end that does, or 0.
Real valueAt(Real top, Real bottom, Real t) {
  if (top > 0 && bottom > 0) return interpolate(top, bottom, t);
  return top > 0 ? top : bottom > 0 ? bottom : Real(0);
}

// The 2018 base of a tip in sand: 0.6 N60 tsf, at most 30 tsf, with N60 the
// mean field blow count over two base diameters below the tip (of the soil
// there that gives one: a layer without blow counts is left out, and named),
// no reduction of large bases. Without blow counts there, the count at the
// tip; without any, the 1999 rule.
BaseResistance sand2018Base(const BaseContext& tip) {
  Real sum = 0;
  int count = 0;
  std::optional<std::size_t> without;
  for (const family::ZonePoint& p : family::zoneBelowTip(tip)) {
    const Layer& layer = tip.input.layers[p.layer];
    if (!soilModel(layer.code).holds(&LayerEnd::blowCount)) continue;  // rock gives none
    const Real t = layerFraction(tip.input.layerTop(p.layer), layer.bottom, p.depth);
    const Real n = valueAt(layer.top().blowCount, layer.bot().blowCount, t);
    if (!(n > 0)) {
      if (!without) without = p.layer;
      continue;
    }
    sum += n;
    ++count;
  }
  Real n = count > 0 ? sum / static_cast<Real>(count) : Real(0);
  if (!(n > 0)) n = valueAt(tip.completed.end[0].blowCount, tip.completed.end[1].blowCount, tip.fraction());
  if (!(n > 0)) return family::sandBase(tip);
  BaseResistance r;
  const Real b = tip.diameter;
  if (!(b > 0)) return r;
  r.area = kQuarterPi * b * b;
  const Real q = std::min(0.6F * n, Real(30));
  r.unit = finiteOrZero(q);
  r.load = finiteOrZero(q * r.area);
  r.atTip = true;
  r.layerWithoutBlowCount = without;
  return r;
}

class Sand2018Family final : public SoilBehaviour {
 public:
  void complete(LayerCompletion& l) const override {
    CompletedLayer& c = l.completed;
    const Real n = meanOfGiven(c.end[0].blowCount, c.end[1].blowCount);
    const Real phi = meanOfGiven(c.end[0].frictionAngle, c.end[1].frictionAngle);
    const Real delta = meanOfGiven(c.end[0].interfaceAngle, c.end[1].interfaceAngle);
    c.sand2018 = sand2018Values(n, l.stress.mean(l.depth[0], l.depth[1]), phi, delta,
                                l.input.methods.layer(l.index).sand);
    for (int e = 0; e < 2; ++e) {
      LayerEnd& end = c.end[e];
      if (c.sand2018.fromBlowCounts) {
        end.frictionAngle = c.sand2018.frictionAngle;
        c.estimated[e].frictionAngle = true;
      }
      if (!(end.interfaceAngle > 0) && c.sand2018.interfaceAngle > 0) {
        end.interfaceAngle = c.sand2018.interfaceAngle;
        c.estimated[e].interfaceAngle = true;
      }
    }
    if (!(n > 0) && !(phi > 0)) {
      family::appendStarBlock(l.messages.notes, "ERROR",
                              {"PLEASE INPUT EITHER THE N-VALUE FROM STANDARD PENETRATION TESTS",
                               "OR THE INTERNAL FRICTION ANGLE FOR SAND LAYERS"});
      l.warn(kSandStrengthMissingWarning);
    }
  }

  // fs = beta sigma' with beta of the layer and sigma' at the middle of the
  // part of the slice, of the ground after scour.
  Real side(const SliceContext& s, SliceResistance& r) const override {
    r.coefficient = s.completed.sand2018.beta;
    r.strengthTerm = s.stressAfterScour(s.middle()) * s.upliftFactor(true);
    return r.coefficient * r.strengthTerm / kPoundsPerTon;
  }

  BaseResistance base(BaseContext& tip) const override { return sand2018Base(tip); }

  void writeEnd(LayerReport& e) const override {
    e.value("INTERNAL FRICTION ANGLE, DEG.", e.v.frictionAngle, estimateMarker(e.est.frictionAngle));
    e.common();
    e.depthLine();
  }

  void writeRules2018(Lines& out, const ProjectInput& in, const Layer& layer, const CompletedLayer& c) const override {
    const Sand2018& v = c.sand2018;
    const auto index = static_cast<std::size_t>(&layer - in.layers.data());
    const ReportUnits u{in.si()};
    const std::string stress = in.si() ? "KN/SQ M" : "LB/SQ FT";
    out.push_back("       SIDE FRICTION PROCEDURE, GEC-10 (2018) BETA METHOD, LAYER MEANS");
    out.push_back("       SAND: " + std::string(methods::sandKindName(in.methods.layer(index).sand)));
    out.push_back(parameterLine("BLOWS PER FOOT N60", v.blowCount));
    out.push_back(parameterLine("EFFECTIVE STRESS BEFORE SCOUR, " + stress, u.stress(v.stress)));
    out.push_back(parameterLine("CORRECTED BLOWS PER FOOT (N1)60", v.correctedBlowCount));
    out.push_back(parameterLine("INTERNAL FRICTION ANGLE, DEG.", v.frictionAngle));
    out.push_back(parameterLine("INTERFACE FRICTION ANGLE, DEG.", v.interfaceAngle));
    out.push_back(parameterLine("PRECONSOLIDATION STRESS, " + stress, u.stress(v.preconsolidation)));
    out.push_back(parameterLine("OVERCONSOLIDATION RATIO", v.ocr));
    out.push_back(parameterLine("EARTH PRESSURE COEFFICIENT K0", v.k0));
    out.push_back(parameterLine("SKIN FRICTION COEFFICIENT- BETA", v.beta));
    out.push_back("       BASE: 0.6 N60 TSF, AT MOST 30 TSF, N60 THE MEAN OVER TWO BASE DIAMETERS");
    out.push_back("       BELOW THE TIP");
    out.emplace_back();
  }
};

}  // namespace

namespace family {

BaseResistance sandBase(const BaseContext& tip) {
  const CompletedLayer& c = tip.completed;
  const Real t = tip.fraction();
  const Real n = interpolate(c.end[0].blowCount, c.end[1].blowCount, t);
  const Real phi = interpolate(c.end[0].frictionAngle, c.end[1].frictionAngle, t);
  const Real b = tip.diameter;
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
  if (tip.input.IMOD == 1) {
    if (b > 4.17F) load *= 50 / (kInchesPerFoot * b);
    const Real depth = nonNegative(tip.tipDepth);
    if (depth < 10 * b) load *= depth / (10 * b);
  }
  r.unit = finiteOrZero(q);
  r.load = finiteOrZero(load);
  return r;
}

}  // namespace family

const SoilBehaviour& sandBehaviour() {
  static const SandFamily sand;
  return sand;
}

const SoilBehaviour& sand2018Behaviour() {
  static const Sand2018Family sand;
  return sand;
}

}  // namespace pylar::engine
