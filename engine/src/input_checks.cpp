// The input's values against their physical ranges.
#include "input_checks.h"

#include "soil_models.h"

#include <charconv>
#include <cmath>

#include "pylar/input_ranges.h"

namespace pylar::engine {
namespace {

using inputs::Input;
using inputs::InputRange;
using inputs::RangeCheck;
using inputs::When;

// A number in the project's units to six significant digits, written out in
// full (14400000, not 1.44e+07), so that a value converted to working units
// and back reads as entered.
std::string number(double englishValue, const InputRange& r, bool si) {
  const double value = si ? englishValue / inputs::siToEnglish(r.unit) : englishValue;
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
  double rounded = value;
  std::from_chars(buf, ec == std::errc() ? end : buf, rounded);
  if (!(std::fabs(rounded) < 1.0e15)) return std::string(buf, ec == std::errc() ? end : buf);
  auto [fixedEnd, fixedEc] = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed);
  return std::string(buf, fixedEc == std::errc() ? fixedEnd : buf);
}

// A value with its unit word.
std::string quantity(double englishValue, const InputRange& r, bool si) {
  std::string text = number(englishValue, r, si);
  const std::string_view unit = inputs::unitWord(r.unit, si);
  if (!unit.empty()) (text += ' ') += unit;
  return text;
}

std::string bounds(double low, double high, const InputRange& r, bool si) {
  if (high >= inputs::kNoLimit) return quantity(low, r, si) + " OR MORE";
  return number(low, r, si) + " TO " + quantity(high, r, si);
}

Real LayerEnd::* endMember(Input input) {
  switch (input) {
    case Input::UnitWeight: return &LayerEnd::unitWeight;
    case Input::FrictionAngle: return &LayerEnd::frictionAngle;
    case Input::InterfaceAngle: return &LayerEnd::interfaceAngle;
    case Input::Cohesion: return &LayerEnd::cohesion;
    case Input::BlowCount: return &LayerEnd::blowCount;
    case Input::Nc: return &LayerEnd::nc;
    case Input::Ko:
    case Input::SandBeta:
    case Input::StressExponent:
    case Input::Alpha:
    case Input::GravellySandBeta:
    case Input::GravelBeta: return &LayerEnd::sideParameter;
    case Input::RockStrength: return &LayerEnd::rockStrength;
    case Input::ConcreteStrength: return &LayerEnd::concreteStrength;
    case Input::DiscontinuitySpacing: return &LayerEnd::jointSpacing;
    case Input::DiscontinuityThickness: return &LayerEnd::jointThickness;
    case Input::SocketDiameter: return &LayerEnd::socketDiameter;
    case Input::RockModulus: return &LayerEnd::rockModulus;
    case Input::RQD: return &LayerEnd::rqd;
    case Input::PoissonRatio: return &LayerEnd::poissonRatio;
    case Input::YoungModulus: return &LayerEnd::youngModulus;
    case Input::Slump: return &LayerEnd::slump;
    case Input::InterfaceFrictionAngle: return &LayerEnd::interfaceFrictionAngle;
    default: return nullptr;
  }
}

Real Layer::* layerMember(Input input) {
  switch (input) {
    case Input::MaxSide: return &Layer::maxSide;
    case Input::MaxBase: return &Layer::maxBase;
    case Input::PhiSide: return &Layer::phiSide;
    case Input::PhiBase: return &Layer::phiBase;
    default: return nullptr;
  }
}

struct ProjectValue {
  const char* record;
  const Real* value;
};

ProjectValue projectValue(const ProjectInput& in, Input input) {
  switch (input) {
    case Input::UpliftReduction: return {"RECORD 3", &in.RCYCL};
    case Input::MinimumDiameter: return {"RECORD 4", &in.DSTART};
    case Input::MaximumDiameter: return {"RECORD 4", &in.DIALIM};
    case Input::BellRatio: return {"RECORD 4", &in.RATIO};
    case Input::BellAngle: return {"RECORD 4", &in.BELANGL};
    case Input::IgnoredTop: return {"RECORD 4", &in.TOPLENG};
    case Input::IgnoredBottom: return {"RECORD 4", &in.bottomLength};
    case Input::ConcreteModulus: return {"RECORD 4", &in.Ec};
    case Input::WaterTable: return {"RECORD 5", &in.waterTable};
    case Input::DesignLoad: return {"RECORD 5", &in.designLoad};
    case Input::ProposedDepth: return {"RECORD 5", &in.proposedDepth};
    case Input::SafetyFactorSide: return {"RECORD 5", &in.FST};
    case Input::SafetyFactorBase: return {"RECORD 5", &in.FSB};
    case Input::ScourDepth: return {"DESIGN METHODS", &in.scourDepth};
    default: return {nullptr, nullptr};
  }
}

bool applies(const ProjectInput& in, When when) {
  switch (when) {
    case When::Always: return true;
    case When::Uplift: return in.KCYCL == 2;
    case When::Asd: return in.NLRFD != 1;
    case When::Lrfd: return in.NLRFD == 1;
    case When::Belled: return std::trunc(in.RATIO) != 0 && in.RATIO > 1;
    case When::DesignLoad: return in.METHOD != 2;
    case When::ProposedDepth: return in.METHOD == 2;
    case When::Charts: return in.IChart >= 1;
    case When::Layer: return true;
  }
  return false;
}

class Checker {
 public:
  Checker(const ProjectInput& in, Warnings& warnings) : in_(in), warnings_(warnings) {}

  // False at the first impossible value (error_ says which).
  bool check(const InputRange& r, const std::string& where, const std::string& name, Real value, int layer) {
    const double v = value;
    switch (inputs::checkValue(r, v)) {
      case RangeCheck::Usual: return true;
      case RangeCheck::Impossible:
        error_ = "INPUT ERROR, " + where + ", " + name + ": " + quantity(v, r, in_.si()) + " IS OUT OF RANGE (" +
                 bounds(r.hardMin, r.hardMax, r, in_.si()) + ")";
        return false;
      case RangeCheck::Unusual:
        appendWarnings(warnings_, {{layer, where + ", " + name + ": " + quantity(v, r, in_.si()) +
                                               " IS OUTSIDE THE USUAL RANGE (" +
                                               bounds(r.usualMin, r.usualMax, r, in_.si()) + ")"}});
        return true;
    }
    return true;
  }

  bool run() {
    for (const InputRange& r : inputs::kInputRanges) {
      if (r.when == When::Layer || (r.when == When::Lrfd && r.codes != 0)) continue;
      if (!applies(in_, r.when)) continue;
      if (r.input == Input::Settlement) {
        for (Real s : in_.PDSETT)
          if (!check(r, "RECORD 7, SETTLEMENTS", std::string(r.name), s, 0)) return false;
        continue;
      }
      const ProjectValue p = projectValue(in_, r.input);
      if (p.value && !check(r, p.record, std::string(r.name), *p.value, 0)) return false;
    }
    for (std::size_t i = 0; i < in_.layers.size(); ++i)
      if (!layer(i)) return false;
    return true;
  }

  const std::string& error() const { return error_; }

 private:
  bool layer(std::size_t i) {
    const Layer& l = in_.layers[i];
    const int number = static_cast<int>(i + 1);
    const std::string record = "RECORD 8, LAYER " + std::to_string(number) + ", ";
    for (const InputRange& r : inputs::kInputRanges) {
      if (r.codes == 0 || !(r.codes & inputs::codeBit(l.code))) continue;
      if (r.when == When::Lrfd && in_.NLRFD != 1) continue;
      if (r.sandMethod != 0 && l.sandMethod != r.sandMethod) continue;
      if (Real Layer::*wide = layerMember(r.input)) {
        // The layer-wide values are those of the bottom line.
        if (!check(r, record + "VALUES AT THE BOTTOM", std::string(r.name), l.*wide, number)) return false;
        continue;
      }
      Real LayerEnd::*member = endMember(r.input);
      if (!member) continue;
      // Sand, clay and shale give the side parameter in a record of its own.
      const ExtraRecord extra = soilModel(l.code).extraRecord;
      const bool ownLine = member == &LayerEnd::sideParameter && extra != ExtraRecord::None;
      for (int e = 0; e < 2; ++e) {
        const char* end = e == 0 ? "AT THE TOP" : "AT THE BOTTOM";
        const std::string where =
            ownLine ? record + (extra == ExtraRecord::SandProcedure ? "PROCEDURE PARAMETER" : "ADHESION FACTOR")
                    : record + "VALUES " + end;
        const std::string name = ownLine ? std::string(r.name) + " " + end : std::string(r.name);
        if (!check(r, where, name, l.end[static_cast<std::size_t>(e)].*member, number)) return false;
      }
    }
    return true;
  }

  const ProjectInput& in_;
  Warnings& warnings_;
  std::string error_;
};

}  // namespace

std::string checkInputRanges(const ProjectInput& in, Warnings& warnings) {
  Checker checker(in, warnings);
  return checker.run() ? std::string() : checker.error();
}

}  // namespace pylar::engine
