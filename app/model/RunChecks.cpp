#include "model/RunChecks.h"

#include "model/DataUnit.h"

#include "pylar/input_ranges.h"

#include <algorithm>
#include <cmath>

namespace pylar {

namespace {

const QString kPierWindow = QStringLiteral("Drilled-Pylar Properties");
const QString kLengthWindow = QStringLiteral("Drilled Pylar Length");
const QString kLoadWindow = QStringLiteral("Specification of Design Load");
const QString kSafetyWindow = QStringLiteral("Factor of Safety (F.S.)");
const QString kWaterWindow = QStringLiteral("Water Table");
const QString kLayersWindow = QStringLiteral("Soill Layers");

class TChecker {
 public:
  explicit TChecker(const TProgramData &project) : p(project) {}

  std::vector<TRunFinding> run() {
    checkPier();
    checkLoading();
    checkLayers();
    checkRanges();
    return std::move(findings);
  }

 private:
  QString value(Extended v, const QString &units) const {
    const QString number = FormatValue(v);
    return units.isEmpty() ? number : number + u' ' + ExpandUnitsTemplate(units, p.fUnits);
  }
  void add(bool error, const QString &window, const QString &field, const QString &shown, const QString &problem) {
    findings.push_back({error, window, field, shown, problem});
  }

  void checkPier() {
    const QString minimum = QStringLiteral("Minimum Pylar Diameter");
    if (!(p.DSTART > 0))
      add(true, kPierWindow, minimum, value(p.DSTART, QStringLiteral("L2")), QStringLiteral("must be greater than 0."));
    if (p.DIALIM > 0 && p.DIALIM < p.DSTART)
      add(false, kPierWindow, QStringLiteral("Maximum Pylar Diameter"), value(p.DIALIM, QStringLiteral("L2")),
          QStringLiteral("is below the minimum diameter; only the minimum diameter is analysed."));
    const bool belled = std::trunc(p.RATIO) != 0 && p.RATIO > 1;
    if (p.RATIO > 0 && p.RATIO < 1)
      add(false, kPierWindow, QStringLiteral("Ratio of Base Diameter to Pylar Diameter"), value(p.RATIO, {}),
          QStringLiteral("is below 1, which means no bell: the pier is analysed straight."));
    if (belled && !(p.BELANGL > 0 && p.BELANGL < 90))
      add(true, kPierWindow, QStringLiteral("Angle of Bell with Respect to Vertical"),
          value(p.BELANGL, QStringLiteral("deg")), QStringLiteral("must lie between 0 and 90 degrees for a bell."));
    if (!(p.EPILE > 0))
      add(true, kPierWindow, QStringLiteral("Modulus of Elasticity of Drilled Pylar"),
          value(p.EPILE, QStringLiteral("F/L^2")),
          QStringLiteral("must be greater than 0: the load-settlement analysis needs it."));
    if (p.WTD < 0)
      add(true, kWaterWindow, QStringLiteral("Depth of water table"), value(p.WTD, QStringLiteral("L2")),
          QStringLiteral("must not be negative."));
  }

  void checkLoading() {
    if (p.METHOD == 2 && !(p.PD > 0))
      add(true, kLengthWindow, QStringLiteral("Proposed length"), value(p.PD, QStringLiteral("L2")),
          QStringLiteral("must be greater than 0."));
    if (p.METHOD == 1 && !(p.LPD > 0))
      add(true, kLoadWindow, QStringLiteral("Design load"), value(p.LPD, QStringLiteral("F2")),
          QStringLiteral("must be greater than 0."));
    if (p.NLRFD != 1) {
      if (!(p.FST > 0))
        add(true, kSafetyWindow, QStringLiteral("The F.S. applied to the ultimate side friction"), value(p.FST, {}),
            QStringLiteral("must be greater than 0."));
      if (!(p.FSB > 0))
        add(true, kSafetyWindow, QStringLiteral("The F.S. applied to the ultimate base capacity"), value(p.FSB, {}),
            QStringLiteral("must be greater than 0."));
    }
  }

  void checkLayers() {
    const TGridTable &layers = p.Tables().D;
    if (layers.RowCount() == 0) {
      add(true, kLayersWindow, QStringLiteral("Layers"), QStringLiteral("none"),
          QStringLiteral("the soil profile needs at least one layer."));
      return;
    }
    Extended top = 0;
    for (int row = 0; row < layers.RowCount(); ++row) {
      const Extended bottom = layers.GetFloatValue(lcDepth, row);
      if (!(bottom > top))
        add(true, kLayersWindow, QStringLiteral("Depth at bottom of layer ") + QString::number(row + 1),
            value(bottom, QStringLiteral("L2")),
            row == 0 ? QStringLiteral("must lie below the ground (greater than 0).")
                     : QStringLiteral("must lie below the bottom of layer ") + QString::number(row) + u' ' +
                           QChar(u'(') + value(top, QStringLiteral("L2")) + QStringLiteral(")."));
      top = std::max(top, bottom);
    }
    // The base resistance of a tip within two diameters of the profile's end
    // is computed with the soil below the profile missing.
    if (p.METHOD == 2 && p.PD > 0 && p.DSTART > 0) {
      const Extended stem = std::max(p.DSTART, p.DIALIM);
      const Extended base = std::trunc(p.RATIO) != 0 && p.RATIO > 1 ? stem * p.RATIO : stem;
      const Extended needed = p.PD + 2 * base;
      if (top < needed)
        add(false, kLayersWindow, QStringLiteral("Depth at bottom of the last layer"), value(top, QStringLiteral("L2")),
            QStringLiteral("should lie at least two base diameters below the proposed tip, at ") +
                value(needed, QStringLiteral("L2")) + QStringLiteral(" or deeper."));
    }
  }

  // The engine's table of physical ranges: a value outside its hard range is
  // an error, outside its usual range a warning. A field already named by an
  // error above is not named twice.
  bool si() const { return p.fUnits == 2; }
  QString number(double v) const { return FormatValue(static_cast<Extended>(v)); }
  void range(const pylar::inputs::InputRange &r, const QString &window, const QString &field, Extended value,
             const QString &units) {
    using pylar::inputs::RangeCheck;
    const double v = static_cast<double>(value);
    const double english = si() ? v * pylar::inputs::siToEnglish(r.unit) : v;
    const RangeCheck check = pylar::inputs::checkValue(r, english);
    if (check == RangeCheck::Usual) return;
    for (const TRunFinding &f : findings)
      if (f.error && f.window == window && f.field == field) return;
    const bool impossible = check == RangeCheck::Impossible;
    const double low = impossible ? r.hardMin : r.usualMin;
    const double high = impossible ? r.hardMax : r.usualMax;
    auto bound = [&](double b) { return number(si() ? b / pylar::inputs::siToEnglish(r.unit) : b); };
    const QString joint = impossible ? QStringLiteral(" and ") : QStringLiteral(" to ");
    const QString range = high >= pylar::inputs::kNoLimit ? bound(low) + QStringLiteral(" or more")
                                                          : bound(low) + joint + bound(high);
    add(impossible, window, field, this->value(value, units),
        impossible ? (high >= pylar::inputs::kNoLimit ? QStringLiteral("must be ") : QStringLiteral("must lie between ")) +
                         range + u'.'
                   : QStringLiteral("lies outside the usual range ") + range + QStringLiteral("; please check it."));
  }
  static QString label(const pylar::inputs::InputRange &r) {
    return QString::fromUtf8(r.label.data(), static_cast<qsizetype>(r.label.size()));
  }
  static const char *unitTemplate(pylar::inputs::RangeUnit unit) {
    using pylar::inputs::RangeUnit;
    switch (unit) {
      case RangeUnit::Length: return "L2";
      case RangeUnit::Force: return "F2";
      case RangeUnit::Modulus: return "F/L^2";
      case RangeUnit::Stress: return "F/L2^2";
      case RangeUnit::UnitWeight: return "F/L2^3";
      default: return "";
    }
  }

  void checkRanges() {
    using pylar::inputs::Input;
    using pylar::inputs::When;
    const bool belled = std::trunc(p.RATIO) != 0 && p.RATIO > 1;
    for (const pylar::inputs::InputRange &r : pylar::inputs::kInputRanges) {
      const QString units = QString::fromLatin1(unitTemplate(r.unit));
      switch (r.input) {
        case Input::UpliftReduction:
          if (p.KCYCL == 2) range(r, p.METHOD == 1 ? kLoadWindow : kLengthWindow, label(r), p.RCYCL, units);
          break;
        case Input::MinimumDiameter: range(r, kPierWindow, label(r), p.DSTART, units); break;
        case Input::MaximumDiameter: range(r, kPierWindow, label(r), p.DIALIM, units); break;
        case Input::BellRatio: range(r, kPierWindow, label(r), p.RATIO, units); break;
        case Input::BellAngle:
          if (belled) range(r, kPierWindow, label(r), p.BELANGL, QStringLiteral("deg"));
          break;
        case Input::IgnoredTop: range(r, kPierWindow, label(r), p.TOPLENG, units); break;
        case Input::IgnoredBottom: range(r, kPierWindow, label(r), p.BS, units); break;
        case Input::ConcreteModulus: range(r, kPierWindow, label(r), p.EPILE, units); break;
        case Input::WaterTable: range(r, kWaterWindow, label(r), p.WTD, units); break;
        case Input::DesignLoad:
          if (p.METHOD == 1) range(r, kLoadWindow, label(r), p.LPD, units);
          break;
        case Input::ProposedDepth:
          if (p.METHOD == 2) range(r, kLengthWindow, label(r), p.PD, units);
          break;
        case Input::SafetyFactorSide:
          if (p.NLRFD != 1) range(r, kSafetyWindow, label(r), p.FST, units);
          break;
        case Input::SafetyFactorBase:
          if (p.NLRFD != 1) range(r, kSafetyWindow, label(r), p.FSB, units);
          break;
        case Input::Settlement:
          if (p.METHOD == 2 && p.IChart > 0)
            for (int k = 0; k < std::clamp(p.NPOINTPD, 0, kMaxSettlements); ++k)
              range(r, QStringLiteral("ASD/LRFD Design Charts"), label(r) + u' ' + QString::number(k + 1),
                    p.PDSETT[static_cast<std::size_t>(k)], si() ? QStringLiteral("m") : QStringLiteral("in"));
          break;
        case Input::ScourDepth:
          // The block holds it whatever the set; the engine reads it then.
          range(r, QStringLiteral("Control Options"), label(r), p.ScourDepth, units);
          break;
        default:
          checkLayerRange(r);
          break;
      }
    }
  }

  static TSoilProperty property(pylar::inputs::Input input) {
    using pylar::inputs::Input;
    switch (input) {
      case Input::UnitWeight: return TSoilProperty::UnitWeight;
      case Input::FrictionAngle: return TSoilProperty::FrictionAngle;
      case Input::InterfaceAngle:
      case Input::InterfaceFrictionAngle: return TSoilProperty::InterfaceAngle;
      case Input::Cohesion: return TSoilProperty::Cohesion;
      case Input::BlowCount: return TSoilProperty::BlowCount;
      case Input::Nc: return TSoilProperty::Nc;
      case Input::Ko: return TSoilProperty::Ko;
      case Input::SandBeta:
      case Input::GravellySandBeta:
      case Input::GravelBeta: return TSoilProperty::Beta;
      case Input::StressExponent: return TSoilProperty::StressExponent;
      case Input::Alpha: return TSoilProperty::Alpha;
      case Input::RockStrength: return TSoilProperty::RockStrength;
      case Input::ConcreteStrength: return TSoilProperty::ConcreteStrength;
      case Input::DiscontinuitySpacing: return TSoilProperty::DiscontinuitySpacing;
      case Input::DiscontinuityThickness: return TSoilProperty::DiscontinuityThickness;
      case Input::SocketDiameter: return TSoilProperty::SocketDiameter;
      case Input::RockModulus: return TSoilProperty::RockModulus;
      case Input::RQD: return TSoilProperty::RQD;
      case Input::PoissonRatio: return TSoilProperty::Poisson;
      case Input::YoungModulus: return TSoilProperty::YoungModulus;
      default: return TSoilProperty::Slump;
    }
  }

  void checkLayerRange(const pylar::inputs::InputRange &r) {
    using pylar::inputs::Input;
    const TGridTable &layers = p.Tables().D;
    for (int row = 0; row < layers.RowCount(); ++row) {
      const int code = layers.GetIntValue(lcSoilType, row);
      if (code < 1 || code > kSoilCodeCount || !(r.codes & pylar::inputs::codeBit(code))) continue;
      if (r.when == pylar::inputs::When::Lrfd && p.NLRFD != 1) continue;
      const QString layer = QStringLiteral("Layer ") + QString::number(row + 1);
      int wide = -1;
      switch (r.input) {
        case Input::MaxSide: wide = lcMaxSide; break;
        case Input::MaxBase: wide = lcMaxEnd; break;
        case Input::PhiSide: wide = lcLRFDSide; break;
        case Input::PhiBase: wide = lcLRFDEnd; break;
        default: break;
      }
      if (wide >= 0) {
        const QString units = wide == lcMaxSide || wide == lcMaxEnd ? QStringLiteral("F/L2^2") : QString();
        range(r, kLayersWindow, layer + QStringLiteral(", ") + label(r), layers.GetFloatValue(wide, row), units);
        continue;
      }
      const TGridTable *table = p.Tables().LayerData(row);
      const TSoilFamilyDescription *family = SoilFamilyOf(code);
      if (!table || !family) continue;
      if (r.sandMethod != 0 && table->GetIntValue(kSandMethodColumn, 0) != r.sandMethod) continue;
      const int column = PropertyColumn(code, property(r.input));
      if (column < 0 || table->RowCount() < 2) continue;
      const TSoilField &field = family->Fields[static_cast<std::size_t>(column)];
      for (int end = 0; end < 2; ++end)
        range(r, kLayersWindow,
              layer + (end == 0 ? QStringLiteral(" (top), ") : QStringLiteral(" (bottom), ")) +
                  QString::fromLatin1(field.Heading),
              table->GetFloatValue(column, end), QString::fromLatin1(field.Units));
    }
  }

  const TProgramData &p;
  std::vector<TRunFinding> findings;
};

}  // namespace

std::vector<TRunFinding> CheckBeforeRun(const TProgramData &project) { return TChecker(project).run(); }

bool HasRunErrors(const std::vector<TRunFinding> &findings) {
  return std::any_of(findings.begin(), findings.end(), [](const TRunFinding &f) { return f.error; });
}

QString RunFindingsMessage(const std::vector<TRunFinding> &findings) {
  if (findings.empty()) return {};
  QString text;
  for (bool errors : {true, false}) {
    bool first = true;
    for (const TRunFinding &f : findings) {
      if (f.error != errors) continue;
      if (first) {
        if (!text.isEmpty()) text += u'\n';
        text += errors ? QStringLiteral("The analysis cannot run:\n") : QStringLiteral("Please check:\n");
        first = false;
      }
      text += QStringLiteral("- ") + f.window + QStringLiteral(", ") + f.field + QStringLiteral(" = ") + f.value +
              QStringLiteral(": ") + f.problem + u'\n';
    }
  }
  text += HasRunErrors(findings) ? QStringLiteral("\nCorrect the values above and run the analysis again.")
                                 : QStringLiteral("\nRun the analysis anyway?");
  return text;
}

}  // namespace pylar
