// Gravelly sand (code 8) and gravel (code 9), Rollins et al. (2005): beta
// side with its estimate by depth, base by the SPT rule of sand; the
// criterion asks for blow counts above 25 and limits the unit tip resistance
// above 50.
#include <algorithm>
#include <string>

#include "fortran_format.h"
#include "report.h"
#include "soil_family.h"

namespace pylar::engine {
namespace {

struct GravelVariant {
  Real (*estimatedBeta)(Real depth);
  bool limitsUnitSide;  // at most 2.1 tsf
};

constexpr GravelVariant kGravellySandVariant{estimatedGravellySandBeta, true};
constexpr GravelVariant kGravelVariant{estimatedGravelBeta, false};

Real finite(Real v) { return std::isfinite(v) ? v : Real(0); }

class GravelFamily final : public SoilBehaviour {
 public:
  explicit GravelFamily(GravelVariant v) : v_(v) {}

  void complete(LayerCompletion& l) const override {
    const auto beta = v_.estimatedBeta;
    family::completeBeta(l, [beta](Real depth, Real) { return beta(depth); });
    // The criterion asks for blow counts greater than 25 (a count of 25
    // is outside it) and limits the unit tip resistance above 50.
    CompletedLayer& c = l.completed;
    const Real top = l.layer.top().blowCount;
    const Real bottom = l.layer.bot().blowCount;
    c.blowCountOver50 = top > 50 || bottom > 50;
    c.blowCountAtMost25 = top <= 25 || bottom <= 25;
    if (c.blowCountOver50) l.warn(kGravelBlowCountHighWarning);
    if (c.blowCountAtMost25) l.warn(kGravelBlowCountLowWarning);
  }

  Real side(const SliceContext& s, SliceResistance& r) const override {
    r.coefficient = s.completed.sideParameterEstimated ? v_.estimatedBeta(s.depth) : s.at(&LayerEnd::sideParameter);
    r.strengthTerm = s.midSliceStress() * s.upliftFactor(false);
    Real fs = r.coefficient * r.strengthTerm / kPoundsPerTon;
    if (v_.limitsUnitSide) fs = std::min(fs, Real(2.1));
    return fs;
  }

  BaseResistance base(BaseContext& tip) const override { return family::sandBase(tip); }

  void writeEnd(LayerReport& e) const override {
    e.beta();
    e.common();
    e.depthLine();
  }

  // The blocks of the warnings completion found.
  void writeAfterEnds(Lines& out, const Layer& layer, const CompletedLayer& c) const override {
    const std::string indent(7, ' ');
    const Real top = layer.top().blowCount;
    const Real bottom = layer.bot().blowCount;
    auto blows = [&out](Real n, std::string_view where) {
      out.push_back(Line().x(7).text("             BLOWS PER FOOT IS = ").fw(8, 2, finite(n)).text(where).str());
    };
    if (c.blowCountOver50) {
      out.push_back(indent + "                     WARNING MESSAGE                ");
      out.push_back(indent + std::string(59, '-'));
      blows(top, " AT TOP");
      blows(bottom, " AT BOTTOM");
      out.push_back(indent + "UNIT TIP RESISTANCE IS LIMITED TO 30 TSF IF SPT-N IS OVER 50");
      out.push_back(indent + "LOADING TEST IS RECOMMENDED FOR USING HIGHER VALUE.");
      emit(out, "\n");
    }
    if (c.blowCountAtMost25) {
      out.emplace_back();
      out.push_back(indent + "*****************WARNING*********************");
      blows(top, " AT TOP");
      blows(bottom, " AT BOTTOM");
      out.push_back(indent + "Blow counts should be greater than 25 for this criterion.");
      out.push_back(indent + "Select other soil criteria and do not use this output data.");
    }
  }

 private:
  GravelVariant v_;
};

}  // namespace

const SoilBehaviour& gravellySandBehaviour() {
  static const GravelFamily gravellySand{kGravellySandVariant};
  return gravellySand;
}

const SoilBehaviour& gravelBehaviour() {
  static const GravelFamily gravel{kGravelVariant};
  return gravel;
}

}  // namespace pylar::engine
