#include "DesignSummary.h"

#include "ReportNumbers.h"

#include <QLocale>

#include <cmath>

namespace pylar {

namespace {

// The number a printed entry value starts with ("150.0 TONS").
std::optional<double> leadingNumber(const QString &value, QString *text = nullptr) {
  const QString word = value.section(u' ', 0, 0, QString::SectionSkipEmpty);
  const TPrintedValue printed = PrintedValue(word);
  if (text) *text = printed.text;
  if (!printed.IsNumber()) return std::nullopt;
  return printed.value;
}

const TReportEntry *findEntry(const std::vector<TReportEntry> &entries, const char *name) {
  for (const TReportEntry &e : entries)
    if (e.name == QLatin1String(name)) return &e;
  return nullptr;
}

}  // namespace

std::optional<double> SettlementAtLoad(const std::vector<TSettlementPoint> &curve, double load) {
  if (!std::isfinite(load) || load < 0) return std::nullopt;
  double previousLoad = 0, previousSettlement = 0;
  for (const TSettlementPoint &point : curve) {
    if (!point.load.IsNumber() || !point.settlement.IsNumber()) return std::nullopt;
    const double l = point.load.value, s = point.settlement.value;
    if (l >= load) {
      if (l == previousLoad) return s;
      return previousSettlement + (load - previousLoad) * (s - previousSettlement) / (l - previousLoad);
    }
    previousLoad = l;
    previousSettlement = s;
  }
  return std::nullopt;
}

bool TDesignSummary::AllCarried() const {
  if (!designLoad || piers.empty()) return false;
  for (const TPierCheck &pier : piers)
    if (pier.carried != TCheck::Yes) return false;
  return true;
}

QString RatioText(double ratio) {
  if (!std::isfinite(ratio)) return QStringLiteral("-");
  // A hair above the cut keeps a printed ratio of 1.05 from reading 1.04.
  const double cut = std::floor(ratio * 100 + 1e-9) / 100;
  return QLocale::c().toString(cut, 'f', 2);
}

TDesignSummary BuildDesignSummary(const TSeriesResults &r, const TReportInputs &inputs,
                                  const std::vector<TRunWarning> &warnings, const QStringList &shortfalls,
                                  double allowable) {
  TDesignSummary s;
  s.lrfd = r.lrfd;
  s.uplift = r.uplift;
  s.si = r.si;
  s.lengthUnit = r.units.isEmpty() ? QString() : ReadableUnit(r.units[0]);
  s.capacityColumn = r.lrfd ? QStringLiteral("LRFD QU") : QStringLiteral("QDN");
  const int column = r.Column(s.capacityColumn);
  s.loadUnit = column >= 0 ? ReadableUnit(r.units.value(column)) : QString();
  s.warnings = warnings;
  s.shortfalls = shortfalls;

  if (const TReportEntry *load = findEntry(inputs.project, "TOTAL LOAD")) {
    s.designLoad = true;
    s.designLoadValue = leadingNumber(load->value, &s.designLoadText);
    if (!s.designLoadValue) s.notes << QStringLiteral("The report's design load is not a number.");
  } else if (const TReportEntry *depth = findEntry(inputs.project, "PROPOSED DEPTH")) {
    leadingNumber(depth->value, &s.proposedLength);
  } else {
    s.notes << QStringLiteral("The report states neither a design load nor a proposed length.");
  }
  if (column < 0 && !r.piers.empty())
    s.notes << QStringLiteral("The report's capacity table has no %1 column.").arg(s.capacityColumn);

  for (const TSeriesPier &pier : r.piers) {
    TPierCheck check;
    check.caseNumber = pier.caseNumber;
    check.stem = pier.stem.text;
    check.base = pier.base.text;
    check.length = pier.length.text;
    const TPrintedValue capacity =
        column >= 0 && column < static_cast<int>(pier.row.size()) ? pier.row[static_cast<std::size_t>(column)]
                                                                    : TPrintedValue{};
    check.capacity = capacity.text;
    if (s.designLoad && s.designLoadValue && *s.designLoadValue > 0 && capacity.IsNumber())
      check.ratio = capacity.value / *s.designLoadValue;
    if (s.designLoad) {
      if (pier.designLoadNotReached)
        check.carried = TCheck::No;
      else if (pier.complete && check.ratio)
        check.carried = *check.ratio >= 1 ? TCheck::Yes : TCheck::No;
    }
    s.piers.push_back(check);
  }
  s.chosen = r.mostEfficient;

  // The settlement of the chosen pier.
  TSettlementCheck &settlement = s.settlement;
  settlement.unit = r.si ? QStringLiteral("mm") : QStringLiteral("in");
  settlement.allowable = allowable;
  if (s.designLoad) {
    s.settlementLoad = s.designLoadValue;
    s.settlementLoadText = s.designLoadText;
  } else if (s.chosen >= 0) {
    const TSeriesPier &pier = r.piers[static_cast<std::size_t>(s.chosen)];
    if (column >= 0 && column < static_cast<int>(pier.row.size()) && pier.row[static_cast<std::size_t>(column)].IsNumber()) {
      s.settlementLoad = pier.row[static_cast<std::size_t>(column)].value;
      s.settlementLoadText = pier.row[static_cast<std::size_t>(column)].text;
    }
  }
  if (s.chosen < 0) {
    s.notes << QStringLiteral("The report names no chosen (most efficient) pier: no settlement is checked.");
    return s;
  }
  if (!s.settlementLoad) return s;
  // Settlements print in inches (English) or metres (SI); the page gives millimetres in SI.
  const double scale = r.si ? 1000 : 1;
  const TPierSettlement empty{};
  const TPierSettlement &lines =
      s.chosen < static_cast<int>(r.settlement.size()) ? r.settlement[static_cast<std::size_t>(s.chosen)] : empty;
  for (std::size_t line = 0; line < 3; ++line) {
    settlement.hasCurve[line] = !lines[line].empty();
    if (const std::optional<double> at = SettlementAtLoad(lines[line], *s.settlementLoad))
      settlement.value[line] = *at * scale;
  }
  if (!settlement.hasCurve[kTrendLine]) {
    s.notes << QStringLiteral("The report holds no load-settlement curve of the chosen pier: no settlement is checked.");
  } else if (settlement.value[kTrendLine]) {
    settlement.within = *settlement.value[kTrendLine] <= allowable ? TCheck::Yes : TCheck::No;
  } else {
    // The trend curve ends before the load: the pier settles more than its last point.
    settlement.within = TCheck::No;
  }
  for (std::size_t line : {std::size_t(kUpperLine), std::size_t(kLowerLine)})
    if (settlement.hasCurve[line] && (!settlement.value[line] || *settlement.value[line] > allowable))
      settlement.boundExceeds = true;
  return s;
}

}  // namespace pylar
