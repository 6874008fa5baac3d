#include "ReportResults.h"

#include "PltData.h"
#include "WordRead.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace pylar {

namespace {

// Capacity rows: 1X F8.1 1X F8.1 (F8.2 in SI) F9.1 ... 1X F9.2: fixed fields,
// read by position because a full field touches its neighbour.
constexpr int kCapacityColumns = 8;
constexpr int kCapacityField[kCapacityColumns][2] = {{0, 9},  {9, 9},  {18, 9}, {27, 9},
                                                     {36, 9}, {45, 9}, {54, 9}, {63, 10}};
// Load-settlement curve rows: 13X 2(E17.4).
constexpr int kCurveField[2][2] = {{13, 17}, {30, 17}};
// Design-chart rows: 8F9.2; the diameters line has 9 characters before them.
constexpr int kChartField = 9;
constexpr int kChartColumns = 8;

bool allAsterisks(const QString &text) {
  if (text.isEmpty()) return false;
  for (QChar c : text)
    if (c != u'*') return false;
  return true;
}

QString trimmed(const QStringList &lines, int l) { return lines[l].trimmed(); }
bool starts(const QString &text, const char *prefix) { return text.startsWith(QLatin1String(prefix)); }

QString afterMark(const QString &text, QChar mark) {
  const auto at = text.indexOf(mark);
  return at < 0 ? QString() : text.mid(at + 1).trimmed();
}

// A value followed by its unit word ("40.000  FT."): the value alone.
TPrintedValue leadingValue(const QString &text) {
  return PrintedValue(text.section(u' ', 0, 0, QString::SectionSkipEmpty));
}

// The fields of a line at fixed positions; false when one is neither a number
// nor an overflow, so lines that only look like rows are not taken.
bool fixedFields(const QString &line, const int (*fields)[2], int count, std::vector<TPrintedValue> &out) {
  out.clear();
  const int end = fields[count - 1][0] + fields[count - 1][1];
  if (line.size() < end || !line.mid(end).trimmed().isEmpty()) return false;
  for (int i = 0; i < count; ++i) {
    TPrintedValue v = PrintedField(line, fields[i][0], fields[i][1]);
    if (!v.IsNumber() && !allAsterisks(v.text)) return false;
    out.push_back(std::move(v));
  }
  return true;
}

// A row whose value was too wide for its column: the engine widened that field
// (with a blank before it) rather than print asterisks, so the row's fields
// no longer stand at their places but are parted by blanks. Exactly `count`
// numbers, or nothing.
bool widenedFields(const QString &line, int count, std::vector<TPrintedValue> &out) {
  out.clear();
  const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
  if (words.size() != count) return false;
  for (const QString &word : words) {
    TPrintedValue v = PrintedValue(word);
    if (!v.IsNumber()) return false;
    out.push_back(std::move(v));
  }
  return true;
}

bool near(const TPrintedValue &a, const TPrintedValue &b, double tolerance) {
  return a.IsNumber() && b.IsNumber() && std::fabs(a.value - b.value) <= tolerance;
}

// A value of the plot data (E10.3) against the same value in the report (E17.4).
bool samePrinted(double report, double plot) {
  return std::fabs(report - plot) <= 0.006 * std::max(std::fabs(report), std::fabs(plot)) + 1e-30;
}

class TReportParser {
 public:
  // A last line without its line end may be cut anywhere, inside a number too:
  // it is not read.
  TReportParser(const TTextFile &file, TSeriesResults &results)
      : lines(file.endsInsideLine ? file.lines.mid(0, file.lines.size() - 1) : file.lines), r(results) {}

  void parse();

  std::vector<std::vector<TSettlementPoint>> curveBlocks;  // of every curve section, in report order

 private:
  void caseBlock(int &l);
  void header(int l);
  void mostEfficient(int l);
  void curveSection(int &l);
  void chartSection(int &l);

  const QStringList lines;
  TSeriesResults &r;
};

void TReportParser::parse() {
  for (int l = 0; l < lines.size(); ++l) {
    const QString t = trimmed(lines, l);
    if (starts(t, "- CASE ANALYZED")) caseBlock(l);
    else if (starts(t, "THE MOST EFFICIENT PYLAR")) mostEfficient(l);
    else if (t == QLatin1String("AXIAL LOAD VS SETTLEMENT CURVES")) curveSection(l);
    else if (t == QLatin1String("DESIGN CHART CURVES")) chartSection(l);
  }
}

void TReportParser::header(int l) {
  // Names are parted by two or more blanks ("LRFD QS" is one name), units are
  // the bracketed groups of the next line.
  static const QRegularExpression names(QStringLiteral("\\s{2,}"));
  static const QRegularExpression unit(QStringLiteral("\\([^)]*\\)"));
  const QStringList columns = lines[l].trimmed().split(names, Qt::SkipEmptyParts);
  QStringList units;
  if (l + 1 < lines.size())
    for (auto it = unit.globalMatch(lines[l + 1]); it.hasNext();) units << it.next().captured(0);
  if (columns.size() != kCapacityColumns || units.size() != kCapacityColumns) {
    r.problems << QStringLiteral("Line %1: a capacity table heading that is not the engine's.").arg(l + 1);
    return;
  }
  if (r.columns.isEmpty()) {
    r.columns = columns;
    r.units = units;
    r.uplift = columns[3] == QLatin1String("WT");
    r.lrfd = columns[5].startsWith(QLatin1String("LRFD"));
    r.si = units[0].contains(u'M');
  } else if (columns != r.columns) {
    r.problems << QStringLiteral("Line %1: the capacity table heading differs from the first one.").arg(l + 1);
  }
}

void TReportParser::caseBlock(int &l) {
  TSeriesPier pier;
  pier.line = l;
  pier.caseNumber = afterMark(trimmed(lines, l), u':').toInt();
  std::vector<TPrintedValue> row;
  bool inTable = false;
  int k = l + 1;
  for (; k < lines.size(); ++k) {
    const QString t = trimmed(lines, k);
    if (starts(t, "- CASE ANALYZED") || starts(t, "THE MOST EFFICIENT PYLAR")) break;
    if (starts(t, "VARIATION LENGTH") && t.contains(u':')) pier.variationLength = afterMark(t, u':').toInt();
    else if (starts(t, "VARIATION DIAMETER") && t.contains(u':')) pier.variationDiameter = afterMark(t, u':').toInt();
    else if (starts(t, "DIAMETER OF STEM")) pier.stem = leadingValue(afterMark(t, u'='));
    else if (starts(t, "DIAMETER OF BASE")) pier.base = leadingValue(afterMark(t, u'='));
    else if (starts(t, "LENGTH") && t.contains(QLatin1String("VOLUME"))) {
      header(k);
      inTable = true;
      ++k;  // the units line
    } else if (t.contains(QLatin1String("NEED ANOTHER SOIL LAYER"))) {
      pier.designLoadNotReached = true;
    } else if (t.contains(QLatin1String("TWO-DIAMETER DEEPER"))) {
      pier.shortOfBase = true;
    } else if (starts(t, "PYLAR LENGTH") && t.contains(u'=')) {
      pier.length = leadingValue(afterMark(t, u'='));
      pier.complete = true;
      ++k;
      break;
    } else if (inTable) {
      std::vector<TPrintedValue> fields;
      if (fixedFields(lines[k], kCapacityField, kCapacityColumns, fields) ||
          widenedFields(lines[k], kCapacityColumns, fields))
        row = std::move(fields);
    }
  }
  l = k - 1;
  pier.row = std::move(row);
  if (!pier.complete)
    r.problems << QStringLiteral("Case %1 is cut short: it has no pier length line.").arg(pier.caseNumber);
  else if (pier.row.empty())
    r.problems << QStringLiteral("Case %1 has no capacity row.").arg(pier.caseNumber);
  // The last row printed is the one at the stopping length (lengths print with
  // one decimal, the pier length with three).
  else if (!near(pier.row[0], pier.length, 0.051) && !allAsterisks(pier.row[0].text))
    r.problems << QStringLiteral("Case %1: the last capacity row (length %2) is not at the pier length %3.")
                      .arg(pier.caseNumber)
                      .arg(pier.row[0].text, pier.length.text);
  r.piers.push_back(std::move(pier));
}

void TReportParser::mostEfficient(int l) {
  TPrintedValue stem, length, volume, capacity;
  for (int k = l + 1; k < lines.size() && k <= l + 16; ++k) {
    const QString t = trimmed(lines, k);
    if (t.isEmpty()) continue;
    if (!t.contains(u'=')) break;
    r.mostEfficientLines << t;
    const TPrintedValue value = leadingValue(afterMark(t, u'='));
    if (starts(t, "DIAMETER OF STEM")) stem = value;
    else if (starts(t, "ESTIMATED PYLAR LENGTH")) length = value;
    else if (starts(t, "VOLUME OF CONCRETE")) volume = value;
    else if (starts(t, "ULTIMATE LOAD CAPACITY")) capacity = value;
  }
  // The block prints the pier with fewer decimals than its case: the pier
  // whose stem, length, volume and ultimate capacity round to the same values.
  for (std::size_t p = 0; p < r.piers.size(); ++p) {
    const TSeriesPier &pier = r.piers[p];
    if (!pier.complete || pier.row.size() != kCapacityColumns) continue;
    const bool sameVolume = !volume.IsNumber() || !pier.row[1].IsNumber() || near(pier.row[1], volume, 0.051);
    const bool sameCapacity = !capacity.IsNumber() || !pier.row[4].IsNumber() || near(pier.row[4], capacity, 0.051);
    if (near(pier.stem, stem, 0.0051) && near(pier.length, length, 0.51) && sameVolume && sameCapacity) {
      r.mostEfficient = static_cast<int>(p);
      return;
    }
  }
  r.problems << QStringLiteral("The most efficient pier of the report matches no case of the series.");
}

void TReportParser::curveSection(int &l) {
  int k = l + 1;
  for (; k < lines.size(); ++k) {
    const QString t = trimmed(lines, k);
    if (t.isEmpty() || starts(t, "---")) continue;
    if (!starts(t, "TOP  LOAD")) break;
    if (r.loadUnit.isEmpty() && k + 1 < lines.size()) {
      const QStringList words = trimmed(lines, k + 1).split(u' ', Qt::SkipEmptyParts);
      if (words.size() == 2) {
        r.loadUnit = words[0];
        r.settlementUnit = words[1];
      }
    }
    k += 2;
    std::vector<TSettlementPoint> block;
    std::vector<TPrintedValue> fields;
    for (; k < lines.size() && fixedFields(lines[k], kCurveField, 2, fields); ++k)
      block.push_back({fields[0], fields[1]});
    curveBlocks.push_back(std::move(block));
    --k;
  }
  l = k - 1;
}

void TReportParser::chartSection(int &l) {
  int k = l + 1;
  TDesignChart *chart = nullptr;
  bool firstBlock = true;
  std::size_t row = 0;
  for (; k < lines.size(); ++k) {
    const QString &line = lines[k];
    const QString t = line.trimmed();
    if (t.isEmpty() || starts(t, "---")) continue;
    if (starts(t, "- SETTLEMENT,")) {
      r.charts.emplace_back();
      chart = &r.charts.back();
      const QString value = t.mid(13).trimmed();
      chart->settlement = leadingValue(value);
      chart->settlementUnit = value.section(u' ', 1, 1, QString::SectionSkipEmpty);
      firstBlock = true;
      continue;
    }
    if (!chart) break;
    if (starts(t, "LENGTH") && t.contains(QLatin1String("DIAMETER"))) {
      if (!chart->diameters.empty()) firstBlock = false;
      row = 0;
      continue;
    }
    if (starts(t, "(FT)") || starts(t, "(M)")) {
      const std::size_t before = chart->diameters.size();
      for (int start = kChartField; start < line.size(); start += kChartField)
        chart->diameters.push_back(PrintedField(line, start, kChartField));
      // A widened diameter: the fields are parted by blanks.
      std::vector<TPrintedValue> widened;
      const QString values = t.mid(t.indexOf(u')') + 1);
      if (std::any_of(chart->diameters.begin() + qsizetype(before), chart->diameters.end(),
                      [](const TPrintedValue &v) { return !v.IsNumber(); }) &&
          widenedFields(values, int(values.split(u' ', Qt::SkipEmptyParts).size()), widened)) {
        chart->diameters.resize(before);
        chart->diameters.insert(chart->diameters.end(), widened.begin(), widened.end());
      }
      continue;
    }
    std::vector<TPrintedValue> fields;
    for (int i = 0; i < kChartColumns && i * kChartField < line.size(); ++i)
      fields.push_back(PrintedField(line, i * kChartField, kChartField));
    bool isRow = line.size() <= kChartColumns * kChartField && !fields.empty() &&
                 std::all_of(fields.begin(), fields.end(),
                             [](const TPrintedValue &v) { return v.IsNumber() || allAsterisks(v.text); });
    // A row with a widened load: numbers parted by blanks, at most a length
    // and a load per diameter.
    if (!isRow) {
      const int words = int(t.split(u' ', Qt::SkipEmptyParts).size());
      isRow = words >= 2 && words <= kChartColumns && widenedFields(t, words, fields);
    }
    if (!isRow) break;
    const TPrintedValue length = fields.front();
    fields.erase(fields.begin());
    if (firstBlock) {
      chart->lengths.push_back(length);
      chart->loads.push_back(std::move(fields));
    } else if (row < chart->loads.size() && chart->lengths[row].text == length.text) {
      auto &loads = chart->loads[row];
      loads.insert(loads.end(), fields.begin(), fields.end());
    } else {
      r.problems << QStringLiteral("Line %1: a design-chart row whose length is not in the first block.").arg(k + 1);
    }
    ++row;
  }
  l = k - 1;
}

// The report's curves of each pier: the plot data holds one set per pier of
// the series (in report units, fewer digits); the report's curve of a pier is
// the next unused one that prints the same values.
void assignCurves(TSeriesResults &r, const std::vector<std::vector<TSettlementPoint>> &blocks,
                  const QString &plotDataPath, const TTextFile &report) {
  r.settlement.assign(r.piers.size(), TPierSettlement{});
  if (blocks.empty()) return;
  TPlotDataContext context;
  context.Units = r.si ? kUnitsSI : kUnitsEnglish;
  context.KCYCL = r.uplift ? 2 : 1;
  context.NLRFD = r.lrfd ? 1 : 2;
  for (const TTextSection &s : report.sections) {
    if (s.title == QLatin1String("Design chart input")) context.IChart = 1;
    if (s.title == QLatin1String("Multiple lengths input")) context.IPENT = 1;
    if (s.kind == TSectionKind::AdditionalTzCurves) context.PrintTZCurves = 1;
  }
  TResultPlots plots;
  const TPlotDataResult read = ReadPlotData(plotDataPath, context, plots);
  if (!read.ID2Read) {
    r.problems << QStringLiteral("The load-settlement curves are not shown: the plot-data file that says which "
                                 "pier each belongs to could not be read. ") +
                      read.error;
    return;
  }
  if (plots.pltAxial.CurveCount() != static_cast<int>(r.piers.size())) {
    r.problems << QStringLiteral("The load-settlement curves are not shown: the plot-data file holds %1 piers, the "
                                 "report %2.")
                      .arg(plots.pltAxial.CurveCount())
                      .arg(r.piers.size());
    return;
  }
  const TGraphPlot *plotLines[3] = {&plots.pltAxial, &plots.pltUpper, &plots.pltLower};
  std::vector<bool> used(blocks.size(), false);
  auto matches = [](const std::vector<TSettlementPoint> &block, const TGraphPlot &plot, int curve) {
    if (curve >= plot.CurveCount() || plot.PointCount() < static_cast<int>(block.size()) + 1 || block.empty())
      return false;
    for (std::size_t i = 0; i < block.size(); ++i) {
      const TFloatPoint p = plot.Point(curve, static_cast<int>(i) + 1);  // point 0 is the origin
      const TSettlementPoint &b = block[i];
      if (!b.load.IsNumber() || !b.settlement.IsNumber() || !samePrinted(b.load.value, p.x) ||
          !samePrinted(b.settlement.value, p.y))
        return false;
    }
    return true;
  };
  auto hasCurve = [](const TGraphPlot &plot, int curve) {
    for (int i = 1; i < plot.PointCount(); ++i)
      if (plot.Point(curve, i).x != 0 || plot.Point(curve, i).y != 0) return true;
    return false;
  };
  for (std::size_t p = 0; p < r.piers.size(); ++p) {
    const int curve = static_cast<int>(p);
    std::size_t from = 0;
    for (int line = kTrendLine; line <= kLowerLine; ++line) {
      if (!hasCurve(*plotLines[line], curve)) continue;
      bool found = false;
      for (std::size_t b = from; b < blocks.size() && !found; ++b)
        if (!used[b] && matches(blocks[b], *plotLines[line], curve)) {
          used[b] = true;
          r.settlement[p][static_cast<std::size_t>(line)] = blocks[b];
          from = b + 1;
          found = true;
        }
      if (!found)
        r.problems << QStringLiteral("Case %1: the report holds no load-settlement curve that agrees with the "
                                     "plot-data file (%2 line).")
                          .arg(r.piers[p].caseNumber)
                          .arg(QStringList{"trend", "upper-bound", "lower-bound"}[line]);
    }
  }
}

}  // namespace

TPrintedValue PrintedValue(const QString &text) {
  TPrintedValue v;
  v.text = text.trimmed();
  Extended number = 0;
  if (ParseFileNumber(v.text, number)) v.value = number;
  return v;
}

TPrintedValue PrintedField(const QString &line, int start, int width) {
  return PrintedValue(start < line.size() ? line.mid(start, width) : QString());
}

int TSeriesResults::Column(const QString &name) const { return static_cast<int>(columns.indexOf(name)); }

std::vector<TDefinedSettlementLoad> TSeriesResults::DefinedSettlementLoads(int pier) const {
  std::vector<TDefinedSettlementLoad> loads;
  if (pier < 0 || pier >= static_cast<int>(piers.size())) return loads;
  const TSeriesPier &p = piers[static_cast<std::size_t>(pier)];
  for (const TDesignChart &chart : charts) {
    // Diameters and lengths print with two decimals, the pier's with three.
    std::size_t column = chart.diameters.size(), row = chart.lengths.size();
    for (std::size_t d = 0; d < chart.diameters.size() && column == chart.diameters.size(); ++d)
      if (near(chart.diameters[d], p.stem, 0.0051)) column = d;
    for (std::size_t l = 0; l < chart.lengths.size() && row == chart.lengths.size(); ++l)
      if (near(chart.lengths[l], p.length, 0.0051)) row = l;
    if (column == chart.diameters.size() || row == chart.lengths.size() || column >= chart.loads[row].size()) continue;
    loads.push_back({chart.settlement, chart.settlementUnit, chart.loads[row][column]});
  }
  return loads;
}

TSeriesResults ReadSeriesResults(const TTextFile &report, const QString &plotDataPath) {
  TSeriesResults results;
  TReportParser parser(report, results);
  parser.parse();
  if (results.piers.empty()) results.problems << QStringLiteral("The report holds no analysed case.");
  else if (results.mostEfficientLines.isEmpty())
    results.problems << QStringLiteral("The report names no most efficient pier: the run did not finish, or no pier "
                                       "reached the design load.");
  if (report.cutShort) results.problems << report.notices;
  assignCurves(results, parser.curveBlocks, plotDataPath, report);
  return results;
}

}  // namespace pylar
