// Clay (code 2) and clay shale (code 3), FHWA-IF-99-025 (O'Neill and Reese
// 1999): alpha side, Nc base with the Fr reduction of large bases. The two
// differ in the limit of Nc by depth, the strength read from blow counts and
// the limit of the unit base.
#include <algorithm>
#include <cmath>

#include "report.h"
#include "soil_family.h"
#include "soil_models.h"

namespace pylar::engine {
namespace {

using family::finiteOrZero;
using family::nonNegative;

struct ClayVariant {
  Real ncLimit;          // of Nc by depth
  bool shale;            // strength from blow counts N/53 tsf (shale) or 200 N lb/ft^2 (clay)
  bool limitsUnitBase;   // unit base at most 40 tsf
  bool warnsOnBlowCounts;  // strength from blow counts is not for a final design
};

constexpr ClayVariant kClayVariant{9, false, true, true};
constexpr ClayVariant kShaleVariant{7, true, false, false};

Real ncByDepth(Real depth, Real minimumDiameter, Real limit) {
  if (!(minimumDiameter > 0)) return limit;  // no diameter: the deep-base limit
  return std::min(limit, 6 * (1 + 0.2F * nonNegative(depth) / minimumDiameter));
}

class ClayFamily final : public SoilBehaviour {
 public:
  explicit ClayFamily(ClayVariant v) : v_(v) {}
  Real ncLimit() const { return v_.ncLimit; }

  void complete(LayerCompletion& l) const override {
    CompletedLayer& c = l.completed;
    bool strong = false;
    for (int e = 0; e < 2; ++e) {
      LayerEnd& end = c.end[e];
      if (!(end.sideParameter > 0)) {
        end.sideParameter = estimatedAlpha(end.cohesion);
        c.estimated[e].sideParameter = true;
        if (nonNegative(end.cohesion) / kAtmosphere >= 2.5F) strong = true;
      }
      if (!(end.nc > 0)) {
        end.nc = ncByDepth(l.depth[e], l.input.DSTART, v_.ncLimit);
        c.estimated[e].nc = true;
      }
    }
    c.sideParameterEstimated = c.estimated[0].sideParameter && c.estimated[1].sideParameter;
    c.ncEstimated = c.estimated[0].nc && c.estimated[1].nc;
    c.hasCohesion = c.end[0].cohesion > 1.0e-5F || c.end[1].cohesion > 1.0e-5F;
    Lines& report = l.messages.report;
    if (strong) {
      report.emplace_back("       ..........WARNING..........");
      report.emplace_back("       THE SHEAR STRENGTH OF THIS MATERIAL MAY BE TOO HIGH");
      report.emplace_back("       FOR USING CLAY CRITERIA. DESIGN AS INTERMEDIATE");
      report.emplace_back("       GEOMATERIALS IS RECOMMENDED.");
      report.emplace_back();
      l.warn(kClayTooStrongWarning);
    }
    if (v_.warnsOnBlowCounts && !c.hasCohesion) {
      family::appendStarBlock(report, "WARNING",
                              {"THE PREDICTED LOAD TRANSFER IN CLAY BASED ON THE N-VALUE",
                               "FROM STANDARD PENETRATION TESTS IS NOT RECOMMENDED FOR",
                               "THE FINAL DESIGN.  PLEASE INPUT THE UNDRAIDED SHEAR",
                               "STRENGTH FOR CLAY LAYERS IN THE FINAL DESIGN."});
      l.warn(kClayFromBlowCountWarning);
    }
  }

  Real side(const SliceContext& s, SliceResistance& r) const override {
    Real x = 0;
    if (s.completed.hasCohesion) {
      x = s.at(&LayerEnd::cohesion);
    } else {
      const Real n = s.at(&LayerEnd::blowCount);
      x = v_.shale ? kPoundsPerTon * n / 53 : 200 * n;
    }
    r.strengthTerm = x * s.upliftFactor(true);
    r.coefficient = s.at(&LayerEnd::sideParameter);
    return r.coefficient * r.strengthTerm / kPoundsPerTon;
  }

  BaseResistance base(BaseContext& tip) const override {
    CompletedLayer& c = tip.completed;
    const Real t = tip.fraction();
    const Real b = tip.diameter;
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
    const Real depth = nonNegative(tip.tipDepth);
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
    if (v_.limitsUnitBase) q = std::min(q, Real(40));
    r.unit = nonNegative(finiteOrZero(q));
    r.load = nonNegative(finiteOrZero(q * r.area * fr));
    return r;
  }

  void writeEnd(LayerReport& e) const override {
    e.value("UNDRAINED SHEAR STRENGTH, " + e.stressWord(), e.u.stress(e.v.cohesion));
    e.common();
    e.depthLine();
    e.out.emplace_back();
    e.value("STRENGTH REDUCTION FACTOR-ALPHA", e.v.sideParameter, estimateMarker(e.est.sideParameter));
    e.value("END BEARING COEFFICIENT-Nc", e.v.nc, estimateMarker(e.est.nc));
  }

 private:
  ClayVariant v_;
};

}  // namespace

const SoilBehaviour& clayBehaviour() {
  static const ClayFamily clay{kClayVariant};
  return clay;
}

const SoilBehaviour& shaleBehaviour() {
  static const ClayFamily shale{kShaleVariant};
  return shale;
}

Real estimatedNcByDepth(Real depth, Real minimumDiameter, int code) {
  const auto* clay = dynamic_cast<const ClayFamily*>(soilModel(code).behaviour);
  return ncByDepth(depth, minimumDiameter, clay ? clay->ncLimit() : kClayVariant.ncLimit);
}

}  // namespace pylar::engine
