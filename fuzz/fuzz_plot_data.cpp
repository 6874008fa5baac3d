// The plot-data loader on arbitrary bytes, under projects that take every
// branch of the loader (units, uplift, LRFD, length series, design charts,
// additional t-z curves, elevations, older result layout). A load ends with
// the plots filled or with a message; nothing else.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "model/PltData.h"

using namespace pylar;

namespace {

std::vector<TPlotDataContext> contexts() {
  TPlotDataContext english;
  english.Units = kUnitsEnglish;
  english.UseElevation = 1;
  english.ValElevation = 100;
  english.IChart = 1;
  english.PrintTZCurves = 1;
  english.DSTART = 3;
  english.Layers = {{1, 10}, {2, 35}, {6, 60}};
  TPlotDataContext si;
  si.Units = kUnitsSI;
  si.KCYCL = 2;
  si.NLRFD = 1;
  si.IPENT = 1;
  si.DSTART = 0.9L;
  si.Yesnewversion = 0;
  si.Layers = {{9, 12}};
  TPlotDataContext plain;
  return {english, si, plain};
}

QString fileName() {
  static const QString name =
      QDir::temp().filePath(QStringLiteral("pylar-fuzz-plot-%1.pq8p").arg(static_cast<qint64>(::getpid())));
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<TPlotDataContext> kContexts = contexts();
  {
    QFile file(fileName());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  for (const TPlotDataContext& context : kContexts) {
    TResultPlots plots;
    const TPlotDataResult result = ReadPlotData(fileName(), context, plots);
    if (!result.ok && result.error.isEmpty()) std::abort();
    for (TGraphPlot* plot : plots.All()) {
      for (const TLine& line : plot->fData)
        if (static_cast<int>(line.fData.size()) != plot->PointCount()) std::abort();
      for (int c = 0; c < plot->CurveCount(); ++c) plot->CurveName(c);
    }
  }
  return 0;
}
