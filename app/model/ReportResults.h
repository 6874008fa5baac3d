// The results of a run as the engine printed them: for each pier of the
// series its dimensions, stopping length and the capacity row at that length,
// the most efficient pier, each pier's load-settlement lines and the loads at
// the defined settlements of the design charts. Every value keeps the text the
// engine wrote; its number serves sorting and matching only. Nothing is
// recomputed: a value the engine did not write is absent.
#pragma once

#include "ReportFile.h"

#include <QString>
#include <QStringList>

#include <array>
#include <limits>
#include <vector>

namespace pylar {

// One printed value: its text as in the file (trimmed) and its number, NaN
// when the field is not a number (asterisks of an overflowing field).
struct TPrintedValue {
  QString text;
  double value = std::numeric_limits<double>::quiet_NaN();
  bool IsNumber() const { return value == value; }
};

struct TSeriesPier {
  int caseNumber = 0;
  int variationLength = 0;
  int variationDiameter = 0;
  int line = 0;  // 0-based report line of the case header
  TPrintedValue stem, base;  // "DIAMETER OF STEM", "DIAMETER OF BASE"
  TPrintedValue length;      // "PYLAR LENGTH": where the pier stopped
  // The capacity row at the stopping length, one value per capacity column.
  std::vector<TPrintedValue> row;
  bool designLoadNotReached = false;  // "NEED ANOTHER SOIL LAYER"
  bool shortOfBase = false;           // the warning about soil below the tip
  bool complete = false;              // the block ends with its pier length
};

// One load-settlement line of a pier: (top load, top movement) rows.
struct TSettlementPoint {
  TPrintedValue load, settlement;
};
enum TBoundLine { kTrendLine = 0, kUpperLine = 1, kLowerLine = 2 };
using TPierSettlement = std::array<std::vector<TSettlementPoint>, 3>;

// One design chart: the loads at one defined settlement against pier length,
// one column per diameter of the series.
struct TDesignChart {
  TPrintedValue settlement;
  QString settlementUnit;  // "IN" or "M"
  std::vector<TPrintedValue> diameters;
  std::vector<TPrintedValue> lengths;
  std::vector<std::vector<TPrintedValue>> loads;  // [length][diameter]
};

// The load of one design chart for one pier.
struct TDefinedSettlementLoad {
  TPrintedValue settlement;
  QString settlementUnit;
  TPrintedValue load;
};

struct TSeriesResults {
  bool lrfd = false;
  bool uplift = false;
  bool si = false;
  QStringList columns;  // the capacity table's column names as printed
  QStringList units;    // and their units, "(TONS)", "( KN )", ...
  std::vector<TSeriesPier> piers;
  int mostEfficient = -1;  // index into piers; -1 when the report names none (or none matches)
  QStringList mostEfficientLines;  // the block's value lines as printed
  // Per pier (same index), from the report's load-settlement curves; a pier
  // the engine computed no load-settlement for has empty lines.
  std::vector<TPierSettlement> settlement;
  QString loadUnit, settlementUnit;  // of the load-settlement curves
  std::vector<TDesignChart> charts;
  QStringList problems;  // what could not be read, for the user

  // The design-chart loads of a pier (its diameter column and its length
  // row); empty without charts or when the charts hold no such pier.
  std::vector<TDefinedSettlementLoad> DefinedSettlementLoads(int pier) const;
  // The index of the column named `name` in the capacity table; -1 if none.
  int Column(const QString &name) const;
};

// Reads the results of a report already read by ReadTextFile. The plot-data
// file tells which pier each load-settlement curve of the report belongs to;
// without it the curves are left out (and said so in problems).
TSeriesResults ReadSeriesResults(const TTextFile &report, const QString &plotDataPath);

// A fixed-width field of a line: [start, start + width), trimmed, with its number.
TPrintedValue PrintedField(const QString &line, int start, int width);
// A whole trimmed text as a printed value.
TPrintedValue PrintedValue(const QString &text);

}  // namespace pylar
