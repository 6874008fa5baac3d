// Sand (code 1): friction angle from the SPT chart, side by the Ko, beta
// (FHWA-IF-99-025 depth rule) or Chen and Kulhawy procedure of the layer,
// base by the SPT rule of O'Neill and Reese (1999), also used by gravelly
// sand and gravel.
#include <algorithm>
#include <cmath>

#include "report.h"
#include "soil_family.h"

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

}  // namespace pylar::engine
