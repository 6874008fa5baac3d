// The readers of a run's report on arbitrary bytes: the text with its
// sections (report window), the results with the plot data that says which
// pier each curve belongs to (results table), and the inputs, warnings and
// entries the calculation report takes from it. The input is the report,
// optionally followed by kPartSeparator and the plot-data file; without a
// plot-data part a real run's plot data is used (so the curve matching runs
// too). Every index and count the readers hand out agrees with what they
// read; nothing else is promised of garbage.
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>

#include "fuzz_parts.h"
#include "model/CalcReportData.h"
#include "model/ReportFile.h"
#include "model/ReportResults.h"

using namespace pylar;

namespace {

const QString kGoldenPlotData = QStringLiteral(PYLAR_SOURCE_DIR "/engine/tests/golden/sand-asd-english.pq8p");

QString plotDataFile() {
  static const QString name =
      QDir::temp().filePath(QStringLiteral("pylar-fuzz-report-%1.pq8p").arg(static_cast<qint64>(::getpid())));
  return name;
}

bool trimmed(const QString& text) { return text == text.trimmed(); }

void checkEntry(const TReportEntry& e) {
  if (!trimmed(e.name) || !trimmed(e.value)) std::abort();
  if (!e.value.isEmpty() && e.name.isEmpty()) std::abort();
}

// The entries of a part carry a name and a value: the calculation report
// prints them as pairs.
void checkValuedEntries(const std::vector<TReportEntry>& entries) {
  for (const TReportEntry& e : entries) {
    checkEntry(e);
    if (e.name.isEmpty() || e.value.isEmpty()) std::abort();
  }
}

void checkWarning(const QStringList& warning) {
  if (warning.isEmpty() || !warning.front().contains(QStringLiteral("WARNING"))) std::abort();
  for (const QString& line : warning)
    if (line.isEmpty() || !trimmed(line)) std::abort();
}

void checkInputs(const QStringList& lines) {
  for (const QString& line : lines) {
    TReportEntry entry;
    if (SplitReportEntry(line, entry)) checkEntry(entry);
  }
  const std::vector<QStringList> warnings = ReportWarnings(lines);
  for (const QStringList& w : warnings) checkWarning(w);

  const TReportInputs inputs = ReadReportInputs(lines);
  checkValuedEntries(inputs.project);
  checkValuedEntries(inputs.pier);
  checkValuedEntries(inputs.charts);
  if (!inputs.settlements.isEmpty() && inputs.settlementUnit.isEmpty()) std::abort();
  for (const QString& s : inputs.settlements)
    if (s.isEmpty()) std::abort();
  // The warnings of the layers are warnings of the report, in its order.
  std::size_t next = 0;
  for (const TReportSoilLayer& layer : inputs.layers) {
    for (const TReportSoilProperty& p : layer.properties) {
      if (p.name.isEmpty() || !(p.atTop || p.atBottom)) std::abort();
      if (p.atTop && p.top.name != p.name) std::abort();
      if (p.atBottom && p.bottom.name != p.name) std::abort();
      if (!p.atTop && !p.top.name.isEmpty()) std::abort();
      if (!p.atBottom && !p.bottom.name.isEmpty()) std::abort();
      checkEntry(p.top);
      checkEntry(p.bottom);
    }
    for (const QStringList& w : layer.warnings) {
      checkWarning(w);
      while (next < warnings.size() && warnings[next] != w) ++next;
      if (next == warnings.size()) std::abort();
      ++next;
    }
  }
}

void checkResults(const TTextFile& file, const TSeriesResults& r) {
  if (r.mostEfficient < -1 || r.mostEfficient >= static_cast<int>(r.piers.size())) std::abort();
  if (r.settlement.size() != r.piers.size()) std::abort();
  for (const TSeriesPier& p : r.piers) {
    if (!p.row.empty() && p.row.size() != 8) std::abort();
    if (p.line < 0 || p.line >= file.lines.size()) std::abort();
  }
  for (const TDesignChart& chart : r.charts)
    if (chart.loads.size() != chart.lengths.size()) std::abort();
  if (r.piers.empty() && r.problems.isEmpty()) std::abort();  // the table says why it is empty
  for (int p = -1; p <= static_cast<int>(r.piers.size()); ++p) {
    const std::vector<TDefinedSettlementLoad> loads = r.DefinedSettlementLoads(p);
    if (loads.size() > r.charts.size()) std::abort();
    if ((p < 0 || p >= static_cast<int>(r.piers.size())) && !loads.empty()) std::abort();
  }
  for (const QString& column : r.columns)
    if (r.Column(column) < 0 || r.Column(column) >= r.columns.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<QByteArray> parts = pylar_fuzz::SplitParts(data, size, 2);
  const QByteArray& bytes = parts[0];
  QString plotData = kGoldenPlotData;
  if (parts.size() > 1) {
    QFile file(plotDataFile());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    if (file.write(parts[1]) != parts[1].size()) std::abort();
    plotData = plotDataFile();
  }
  // A small limit as well, so the cut at the limit is taken too.
  for (const qint64 limit : {kTextViewLimit, qint64(512)}) {
    const TTextFile file = TextFileFromData(QStringLiteral("fuzz.pq8o"), bytes, bytes.size(), limit);
    if (file.lines.size() != static_cast<qsizetype>(file.lineOffsets.size())) std::abort();
    for (const TTextSection& s : file.sections)
      if (s.line < 0 || s.line >= file.lines.size()) std::abort();
    checkResults(file, ReadSeriesResults(file, plotData));
    checkInputs(file.lines);
  }
  return 0;
}
