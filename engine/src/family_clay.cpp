// Clay (code 2) and clay shale (code 3), FHWA-IF-99-025 (O'Neill and Reese
// 1999): alpha side, Nc base with the Fr reduction of large bases. The two
// differ in the limit of Nc by depth, the strength read from blow counts and
// the limit of the unit base. Clay under the 2018 set (FHWA GEC-10, Brown et
// al. 2018): the strength turned into its CIUC equivalent (Chen and Kulhawy
// 1993), the alpha of Chen et al. (2011) and the Nc base with that strength.
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

// Nc at the tip: the layer's value there, or the last one given above it
// (which a given value updates).
Real tipNc(CompletedLayer& c, Real t) {
  Real nc = interpolate(c.end[0].nc, c.end[1].nc, t);
  if (!(nc > 1.0e-9F)) {
    nc = c.lastValidNc;
  } else {
    c.lastValidNc = nc;
  }
  return nc;
}

// The base of a tip of diameter b at `depth` on clay of strength su
// (tons/ft^2): q = su Nc, an Nc estimated from the strength with the shallow
// factor below three diameters, the reduction of bases wider than 6.25 ft,
// and q at most 40 tsf where the model limits it.
BaseResistance clayBase(const CompletedLayer& c, Real su, Real nc, Real b, Real depth, bool limitUnitBase) {
  BaseResistance r;
  if (!(b > 0)) return r;
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
  if (limitUnitBase) q = std::min(q, Real(40));
  r.unit = nonNegative(finiteOrZero(q));
  r.load = nonNegative(finiteOrZero(q * r.area * fr));
  return r;
}

// The warnings of a completed clay layer: a strength too high for clay
// criteria (an alpha estimated at su/pa >= 2.5), and side resistance from
// blow counts where no strength is given.
void warnOfLayer(LayerCompletion& l, bool tooStrong, bool fromBlowCounts) {
  Lines& report = l.messages.report;
  if (tooStrong) {
    report.emplace_back("       ..........WARNING..........");
    report.emplace_back("       THE SHEAR STRENGTH OF THIS MATERIAL MAY BE TOO HIGH");
    report.emplace_back("       FOR USING CLAY CRITERIA. DESIGN AS INTERMEDIATE");
    report.emplace_back("       GEOMATERIALS IS RECOMMENDED.");
    report.emplace_back();
    l.warn(kClayTooStrongWarning);
  }
  if (fromBlowCounts) {
    family::appendStarBlock(report, "WARNING",
                            {"THE PREDICTED LOAD TRANSFER IN CLAY BASED ON THE N-VALUE",
                             "FROM STANDARD PENETRATION TESTS IS NOT RECOMMENDED FOR",
                             "THE FINAL DESIGN.  PLEASE INPUT THE UNDRAIDED SHEAR",
                             "STRENGTH FOR CLAY LAYERS IN THE FINAL DESIGN."});
    l.warn(kClayFromBlowCountWarning);
  }
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
    warnOfLayer(l, strong, v_.warnsOnBlowCounts && !c.hasCohesion);
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
    const Real nc = tipNc(c, t);
    const Real su = nonNegative(c.hasCohesion ? interpolate(c.end[0].cohesion, c.end[1].cohesion, t) / kPoundsPerTon
                                              : interpolate(c.end[0].blowCount, c.end[1].blowCount, t) / 10);
    return clayBase(c, su, nc, tip.diameter, nonNegative(tip.tipDepth), v_.limitsUnitBase);
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

// The CIUC-equivalent strength (lb/ft^2) of clay layer i at a depth: its
// strength there converted from the layer's test with the effective stress
// of the ground as it is (before scour: the stress the samples were taken
// under). A strength read from blow counts (200 N) is a correlation, not a
// test: it is taken as it is.
Real ciucAt(const ProjectInput& in, const EffectiveStressTable& stress, const CompletedLayer& c, std::size_t i,
            Real depth) {
  const Layer& layer = in.layers[i];
  const Real t = layerFraction(in.layerTop(i), layer.bottom, depth);
  if (!c.hasCohesion) return nonNegative(200 * interpolate(c.end[0].blowCount, c.end[1].blowCount, t));
  return ciucStrength(interpolate(c.end[0].cohesion, c.end[1].cohesion, t), stress.at(depth),
                      in.methods.layer(i).test);
}

class Clay2018Family final : public SoilBehaviour {
 public:
  void complete(LayerCompletion& l) const override {
    CompletedLayer& c = l.completed;
    c.hasCohesion = c.end[0].cohesion > 1.0e-5F || c.end[1].cohesion > 1.0e-5F;
    bool strong = false;
    for (int e = 0; e < 2; ++e) {
      LayerEnd& end = c.end[e];
      const Real su = ciucAt(l.input, l.stress, c, l.index, l.depth[e]);
      c.ciucStrength[e] = su;
      if (!(end.sideParameter > 0)) {
        end.sideParameter = alpha2018(su);
        c.estimated[e].sideParameter = true;
        if (su / kAtmosphere >= 2.5F) strong = true;
      }
      if (!(end.nc > 0)) {
        end.nc = ncByDepth(l.depth[e], l.input.DSTART, kClayVariant.ncLimit);
        c.estimated[e].nc = true;
      }
    }
    c.sideParameterEstimated = c.estimated[0].sideParameter && c.estimated[1].sideParameter;
    c.ncEstimated = c.estimated[0].nc && c.estimated[1].nc;
    warnOfLayer(l, strong, !c.hasCohesion);
  }

  // fs = alpha su(CIUC) at the middle of the part of the slice; alpha of
  // the 2018 rule there when the layer gives none.
  Real side(const SliceContext& s, SliceResistance& r) const override {
    const Real mid = s.middle();
    const Real su = ciucAt(s.input, s.stress, s.completed, s.index, mid);
    const Real t = layerFraction(s.input.layerTop(s.index), s.layer.bottom, mid);
    r.coefficient = s.completed.sideParameterEstimated
                        ? alpha2018(su)
                        : interpolate(s.completed.end[0].sideParameter, s.completed.end[1].sideParameter, t);
    r.strengthTerm = su * s.upliftFactor(true);
    return r.coefficient * r.strengthTerm / kPoundsPerTon;
  }

  // q = Nc su(CIUC), su(CIUC) the mean over two base diameters below the tip
  // (of the clay there), Nc given or from that strength (6.5 to 9) with the
  // shallow factor; the 1999 reduction of large bases and limit of 40 tsf.
  // The depth of the tip in these factors is its depth below the scour.
  BaseResistance base(BaseContext& tip) const override {
    CompletedLayer& c = tip.completed;
    const Real nc = tipNc(c, tip.fraction());
    Real sum = 0;
    int count = 0;
    if (tip.soil) {
      for (const family::ZonePoint& p : family::zoneBelowTip(tip)) {
        if (&soilModel(tip.input.layers[p.layer].code).rules(tip.input) != this) continue;  // not this clay
        sum += ciucAt(tip.input, tip.soil->stress(), tip.soil->layer(p.layer), p.layer, p.depth);
        ++count;
      }
    }
    const auto index = static_cast<std::size_t>(&tip.layer - tip.input.layers.data());
    const Real psf = count > 0 ? sum / static_cast<Real>(count)
                     : tip.soil ? ciucAt(tip.input, tip.soil->stress(), c, index, tip.tipDepth)
                                : Real(0);
    const Real su = nonNegative(psf) / kPoundsPerTon;
    BaseResistance r = clayBase(c, su, nc, tip.diameter, tip.embedment(), true);
    if (tip.diameter > 0) r.atTip = true;
    return r;
  }

  void writeEnd(LayerReport& e) const override {
    e.value("UNDRAINED SHEAR STRENGTH, " + e.stressWord(), e.u.stress(e.v.cohesion));
    e.common();
    e.depthLine();
    e.out.emplace_back();
    if (e.completed) {
      const auto index = static_cast<std::size_t>(&e.layer - e.in.layers.data());
      const bool converted = e.completed->hasCohesion && e.in.methods.layer(index).test != methods::StrengthTest::CIUC;
      e.value("CIUC-EQUIVALENT STRENGTH, " + e.stressWord(), e.u.stress(e.completed->ciucStrength[e.endIndex]),
              estimateMarker(converted));
    }
    e.value("STRENGTH REDUCTION FACTOR-ALPHA", e.v.sideParameter, estimateMarker(e.est.sideParameter));
    e.value("END BEARING COEFFICIENT-Nc", e.v.nc, estimateMarker(e.est.nc));
  }

  void writeRules2018(Lines& out, const ProjectInput& in, const Layer& layer, const CompletedLayer& c) const override {
    const auto index = static_cast<std::size_t>(&layer - in.layers.data());
    out.push_back("       SIDE FRICTION PROCEDURE, ALPHA METHOD OF FHWA GEC-10 (2018):");
    out.push_back("       ALPHA = 0.30 + 0.17 PA/SU(CIUC), AT MOST 1");
    if (c.hasCohesion)
      out.push_back("       STRENGTH TEST: " + std::string(methods::strengthTestName(in.methods.layer(index).test)) +
                    (in.methods.layer(index).test == methods::StrengthTest::CIUC
                         ? ""
                         : ", CONVERTED TO CIUC (CHEN AND KULHAWY 1993)"));
    else
      out.push_back("       STRENGTH FROM BLOW COUNTS (200 N), TAKEN AS CIUC");
    out.push_back("       BASE: NC SU(CIUC), SU(CIUC) THE MEAN OVER TWO BASE DIAMETERS BELOW THE TIP");
    out.emplace_back();
  }
};

}  // namespace

const SoilBehaviour& clay2018Behaviour() {
  static const Clay2018Family clay;
  return clay;
}

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
