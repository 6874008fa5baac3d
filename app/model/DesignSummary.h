// The design check a checker reads first: does each pier of the series carry
// the design load, and how far does the chosen pier settle under it? Built
// from the report's printed values only: each pier's capacity at the length
// it stopped at against the printed design load, and the settlement of the
// chosen pier read off its printed load-settlement curves by linear
// interpolation. A project analysed at a proposed length (no design load)
// gets the capacity at that length and the settlement under its allowable
// (ASD) or factored (LRFD) capacity instead.
#pragma once

#include "AnalysisRun.h"
#include "CalcReportData.h"
#include "ReportResults.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace pylar {

// The settlement at `load` on a curve of (load, settlement) points as the
// report prints them, interpolated linearly between the two points around
// the load where the curve first reaches it, starting from no settlement at
// no load. None when the curve never reaches the load (or holds a point that
// is not a number before it does).
std::optional<double> SettlementAtLoad(const std::vector<TSettlementPoint> &curve, double load);

enum class TCheck { Yes, No, Unknown };

struct TPierCheck {
  int caseNumber = 0;
  QString stem, base, length;  // as printed
  QString capacity;            // the capacity column at the stopping length, as printed
  std::optional<double> ratio;  // capacity / design load
  TCheck carried = TCheck::Unknown;
};

struct TSettlementCheck {
  // Trend, upper and lower bound, in `unit`; none where the curve is missing
  // or does not reach the load.
  std::array<std::optional<double>, 3> value;
  std::array<bool, 3> hasCurve{};
  QString unit;             // "in" or "mm"
  double allowable = 0;     // in `unit`
  TCheck within = TCheck::Unknown;  // the trend value against the allowable
  bool boundExceeds = false;        // a bound line's value exceeds the allowable
};

struct TDesignSummary {
  bool designLoad = false;  // a design-load project; otherwise a proposed length
  bool lrfd = false, uplift = false, si = false;
  QString loadUnit, lengthUnit;   // readable: "tons", "ft"
  QString designLoadText;         // "150.0" as printed (design-load projects)
  std::optional<double> designLoadValue;
  QString proposedLength;         // as printed (proposed-length projects)
  QString capacityColumn;         // "QDN" or "LRFD QU"
  int chosen = -1;                // the most efficient pier, index into piers; -1: none
  std::vector<TPierCheck> piers;
  // The load the settlement is read at: the design load, or the chosen
  // pier's capacity at the proposed length.
  QString settlementLoadText;
  std::optional<double> settlementLoad;
  TSettlementCheck settlement;
  std::vector<TRunWarning> warnings;
  QStringList shortfalls;  // each pier that falls short: what the engine says
  QStringList notes;       // what could not be checked, and why

  // Every pier of the series carries the design load.
  bool AllCarried() const;
};

// `allowable` is in inches for English reports, millimetres for SI ones.
TDesignSummary BuildDesignSummary(const TSeriesResults &results, const TReportInputs &inputs,
                                  const std::vector<TRunWarning> &warnings, const QStringList &shortfalls,
                                  double allowable);

// The ratio as the page prints it: two decimals, cut rather than rounded up,
// so a pier just short of its load never reads 1.00.
QString RatioText(double ratio);

}  // namespace pylar
