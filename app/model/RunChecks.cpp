#include "model/RunChecks.h"

#include "model/DataUnit.h"

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
