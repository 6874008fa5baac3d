// The report reader of the results windows on arbitrary bytes: the text with
// its sections, then the results with the plot data of a real run (so the
// curve matching runs too). Every index the reader hands out lies inside what
// it read; nothing else is promised of garbage.
#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "model/ReportFile.h"
#include "model/ReportResults.h"

using namespace pylar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  // A small limit as well, so the cut at the limit is taken too.
  for (const qint64 limit : {kTextViewLimit, qint64(512)}) {
    const TTextFile file = TextFileFromData(QStringLiteral("fuzz.pq8o"), bytes, bytes.size(), limit);
    if (file.lines.size() != static_cast<qsizetype>(file.lineOffsets.size())) std::abort();
    for (const TTextSection& s : file.sections)
      if (s.line < 0 || s.line >= file.lines.size()) std::abort();
    const TSeriesResults r =
        ReadSeriesResults(file, QStringLiteral(PYLAR_SOURCE_DIR "/engine/tests/golden/sand-asd-english.pq8p"));
    if (r.mostEfficient >= static_cast<int>(r.piers.size())) std::abort();
    if (!r.settlement.empty() && r.settlement.size() != r.piers.size()) std::abort();
    for (const TSeriesPier& p : r.piers)
      if (!p.row.empty() && p.row.size() != 8) std::abort();
    for (int p = -1; p <= static_cast<int>(r.piers.size()); ++p) r.DefinedSettlementLoads(p);
  }
  return 0;
}
