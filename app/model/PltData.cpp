#include "PltData.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

#include <algorithm>

namespace pylar {

TGraphPlot::TGraphPlot(const QString &caption, const QString &xCaption, const QString &xUnits,
                       const QString &yCaption, const QString &yUnits)
    : fCaption(caption), fXCaption(xCaption), fYCaption(yCaption), fXUnits(xUnits), fYUnits(yUnits) {}

void TGraphPlot::resize(std::vector<TLine> &lines, int count, int points) {
  count = std::max(count, 0);
  const auto old = lines.size();
  lines.resize(static_cast<std::size_t>(count));
  for (std::size_t i = old; i < lines.size(); ++i) {
    lines[i].fValue = static_cast<Extended>(i + 1);
    lines[i].fData.assign(static_cast<std::size_t>(points), TFloatPoint{});
  }
}

void TGraphPlot::SetCurveCount(int count) { resize(fData, count, PointCount()); }

void TGraphPlot::SetPointCount(int count) {
  fPointCount = std::max(count, 0);
  for (TLine &line : fData) line.fData.resize(static_cast<std::size_t>(fPointCount));
}

void TGraphPlot::SetLayerCount(int count) { resize(gData, count, fLayerPointCount); }

void TGraphPlot::SetLayerPointCount(int count) {
  fLayerPointCount = std::max(count, 0);
  for (TLine &line : gData) line.fData.resize(static_cast<std::size_t>(fLayerPointCount));
}

TFloatPoint TGraphPlot::Point(int curve, int index) const {
  if (curve < 0 || curve >= CurveCount()) return {};
  const auto &points = fData[static_cast<std::size_t>(curve)].fData;
  if (index < 0 || index >= static_cast<int>(points.size())) return {};
  return points[static_cast<std::size_t>(index)];
}

void TGraphPlot::SetPoint(int curve, int index, TFloatPoint point) {
  if (curve < 0 || curve >= CurveCount()) return;
  auto &points = fData[static_cast<std::size_t>(curve)].fData;
  if (index < 0 || index >= static_cast<int>(points.size())) return;
  points[static_cast<std::size_t>(index)] = point;
}

QString TGraphPlot::CurveName(int curve) const {
  if (curve < 0 || curve >= CurveCount()) return {};
  const TLine &line = fData[static_cast<std::size_t>(curve)];
  if (!line.fValueS.isEmpty()) return line.fValueS;
  if (curve < fDefLineNames.size()) return fDefLineNames[curve];
  return fCurveName + NameNumber(line.fValue);
}

void TGraphPlot::SetCurveName(int curve, const QString &name) {
  if (curve >= 0 && curve < CurveCount()) fData[static_cast<std::size_t>(curve)].fValueS = name;
}

void TGraphPlot::SetUnits(int units) { fUnits = std::clamp(units, 1, 3); }

TResultPlots::TResultPlots()
    : pltSkin("Ultimate Skin Friction vs Depth", "Ultimate Skin Friction ", "F2", "Depth", "L2"),
      pltTip("Ultimate Tip Resistance vs Depth", "Ultimate Tip Resistance ", "F2", "Depth", "L2"),
      pltTotal("Ultimate Total Capacity vs Depth", "Ultimate Total Capacity ", "F2", "Depth", "L2"),
      pltCombine("Combined Plots vs Depth (ultimate)", "Ultimate Axial Capacity", "F2", "Depth", "L2"),
      FSpltSkin("ASD/LRFD Skin Friction vs Depth ", "Side Resistance/F.S. ", "F2", "Depth", "L2"),
      FSpltTip("ASD/LRFD Tip Resistance vs Depth ", "Tip Resistance/F.S. ", "F2", "Depth", "L2"),
      FSpltTotal("ASD/LRFD Total Capacity vs Depth", "Total Resistance/F.S. ", "F2", "Depth", "L2"),
      pltCombineD("Combined Plots vs Depth (ASD/LRFD)", "Resistance/F.S. ", "F2", "Depth", "L2"),
      pltAxial("Axial Load vs Settlement (averaged)", "Axial Load ", "F2", "Settlement ", "L"),
      pltUpper("Axial Load vs Settlement (upper bound)", "Axial Load (upper bound)", "F2", "Settlement", "L"),
      pltLower("Axial Load vs Settlement (lower bound)", "Axial Load (lower bound)", "F2", "Settlement", "L"),
      pltCombinedSettle("Combined Plots of Load vs Settlement", "Axial Load", "F2", "Settlement", "L"),
      pltTz("t-z curves (averaged)", "Axial Displacement, z", "L", "Unit Load Transfer, t", "F/L^2"),
      pltQw("Q-w curves (averaged)", "Tip Displacement, w", "L", "Tip Load, Q", "F2"),
      pltTzAdd("Additional t-z curves (averaged)", "Axial Displacement, z", "L", "Unit Load Transfer, t", "F/L^2"),
      pltLoad("Load Distribution", "Total Capacity ", "", "Depth ", "") {
  for (int k = 0; k < 10; ++k)
    PltChart[static_cast<std::size_t>(k)] =
        TGraphPlot(QStringLiteral("Design Chart ") + QString::number(k + 1), "Axial Capacity", "F2", "Depth", "L2");
}

std::vector<TGraphPlot *> TResultPlots::All() {
  std::vector<TGraphPlot *> all{&pltSkin,  &pltTip,   &pltTotal, &pltCombine,        &FSpltSkin, &FSpltTip,
                                &FSpltTotal, &pltCombineD, &pltAxial, &pltUpper, &pltLower, &pltCombinedSettle,
                                &pltTz,    &pltQw,    &pltTzAdd};
  for (TGraphPlot &chart : PltChart) all.push_back(&chart);
  all.push_back(&pltLoad);
  return all;
}

QString TGraphPlot::ProposedOutputPath(const QString &suffix) const {
  if (ProjectFile.isEmpty()) return {};
  const QFileInfo project(ProjectFile);
  QString caption = (UserCaption.isEmpty() ? fCaption : UserCaption).simplified();
  for (QChar &ch : caption)
    if (QStringLiteral("/\\:*?\"<>|").contains(ch)) ch = u'-';
  QString name = project.completeBaseName();
  if (!caption.isEmpty()) name += QStringLiteral(" - ") + caption;
  return project.absoluteDir().filePath(name + suffix);
}

void TResultPlots::Clear() {
  for (TGraphPlot *plot : All()) {
    plot->SetCurveCount(0);
    plot->SetPointCount(0);
    plot->SetLayerCount(0);
    plot->SetLayerPointCount(0);
  }
}

QString NameNumber(Extended value) { return FormatGeneral(value, 15, u'.'); }

QString ReportNumber(Extended value, int decimals) {
  if (!std::isfinite(static_cast<double>(value))) return NameNumber(value);
  QString text = QString::number(static_cast<double>(value), 'f', std::clamp(decimals, 0, 9));
  if (text.contains(u'.')) {
    while (text.endsWith(u'0')) text.chop(1);
    if (text.endsWith(u'.')) text.chop(1);
  }
  if (text == QStringLiteral("-0")) text = QStringLiteral("0");
  return text;
}

int ReportSettlementDecimals(int units) { return units == kUnitsSI ? 4 : 3; }

QString DesignChartCaption(Extended movement, int units) {
  return QStringLiteral("Design Chart (") + ReportNumber(movement, ReportSettlementDecimals(units)) +
         (units == kUnitsSI ? QStringLiteral("-m") : QStringLiteral("-in")) + QStringLiteral(" movement)");
}

namespace {

// The engine's own conversion factors and series rules: it works in feet and
// single precision, and prints metres back with 0.3048.
constexpr float kEngineFeetPerMetre = 3.2808F;
constexpr float kEngineMetresPerFoot = 0.3048F;
constexpr float kEngineSeriesTolerance = 0.02F;  // ft
constexpr float kEngineMetricPrecision = 2.0e-5F;  // relative
constexpr int kChartDiameters = 20;
constexpr int kSeriesPiers = 100;

struct TEngineUnits {
  bool si;
  // A length read from the project as the engine reads it: metres times
  // 3.2808, and a length within the conversion's precision of a whole or half
  // foot that foot.
  float toFeet(Extended value) const {
    const float v = static_cast<float>(value);
    if (!si) return v;
    const float feet = v * kEngineFeetPerMetre;
    const float nearest = std::round(2 * feet) / 2;
    return std::fabs(feet - nearest) <= kEngineMetricPrecision * std::fabs(feet) ? nearest : feet;
  }
  Extended fromFeet(float ft) const { return static_cast<Extended>(si ? ft * kEngineMetresPerFoot : ft); }
};

}  // namespace

Extended AnalysedPierLength(const TPlotDataContext &context, int curve, Extended deepestOrdinate) {
  const bool si = context.Units == kUnitsSI;
  const TEngineUnits u{si};
  const float increment = context.PDINCR == 0 ? (si ? u.toFeet(1) : 3.0F) : u.toFeet(context.PDINCR);
  const float asked = u.toFeet(context.PD) - static_cast<float>(curve) * increment;
  // The ordinate is printed to three significant digits.
  const float deepest = si ? static_cast<float>(deepestOrdinate / kEngineMetresPerFoot)
                           : static_cast<float>(deepestOrdinate);
  if (!(std::fabs(deepest - asked) <= 0.006F * std::fabs(asked) + 0.001F)) return u.fromFeet(std::round(deepest));
  return u.fromFeet(asked);
}

std::vector<Extended> AnalysedStemDiameters(const TPlotDataContext &context) {
  const bool si = context.Units == kUnitsSI;
  const TEngineUnits u{si};
  auto toFeet = [&](Extended value) { return u.toFeet(value); };
  auto fromFeet = [&](float ft) { return u.fromFeet(ft); };

  const float start = toFeet(context.DSTART);
  if (context.IPENT >= 1) return {fromFeet(start)};
  const bool charts = context.IChart >= 1;
  const float metricStep = 0.15F * kEngineFeetPerMetre;
  const float increment = context.DIAMINCR == 0 ? (si ? metricStep : 0.5F) : toFeet(context.DIAMINCR);
  const float step = charts ? increment : si ? metricStep : 0.5F;
  const float last = std::max(toFeet(context.DIALIM), start);
  const int limit = charts ? kChartDiameters : kSeriesPiers;
  std::vector<float> feet;
  bool truncated = false;
  for (int k = 0;; ++k) {
    const float d = start + static_cast<float>(k) * step;
    if (k > 0 && !(d < last + kEngineSeriesTolerance)) break;
    if (k >= limit) {
      truncated = true;
      break;
    }
    feet.push_back(d);
    if (!(step > 0)) break;
  }
  if (!truncated) {
    if (!(feet.back() < last - kEngineSeriesTolerance)) feet.back() = last;
    else if (static_cast<int>(feet.size()) < limit) feet.push_back(last);
  }
  std::vector<Extended> stems;
  for (float d : feet) stems.push_back(fromFeet(d));
  return stems;
}

}  // namespace pylar
