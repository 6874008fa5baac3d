// The plot-data loader: the engine's plot-data file into the result plots.
#include "PltData.h"

#include "CalcReportData.h"

#include "DataUnit.h"
#include "WordRead.h"
#include "dynlib.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace pylar {

namespace {

// Points the plots of one file may hold in all. The heaviest run the engine
// accepts (100 piers of 2000 one-foot rows) writes about 1.2 million. Counts
// that a file of a few megabytes can hold would otherwise ask for gigabytes:
// every depth row is a point of up to 21 plots, each of two extended floats.
constexpr qint64 kMaxPlotPoints = qint64(1) << 24;

// A count read from the file, checked against what a file of this size can
// hold, and the points the counts ask for, against kMaxPlotPoints.
class TCountCheck {
 public:
  explicit TCountCheck(qint64 fileSize) : fBudget(std::max<qint64>(fileSize, 0)) {}
  // `wordsEach` words per item; every word takes at least two characters.
  int check(int count, double wordsEach, int minimum = 0) const {
    if (count < minimum || double(count) * wordsEach * 2 > double(fBudget) + 2)
      throw EInOutError(QStringLiteral("The plot-data file holds a count it cannot hold: ") + QString::number(count));
    return count;
  }
  // Called before the points are allocated.
  void points(qint64 count) {
    fPoints += count;
    if (fPoints > kMaxPlotPoints)
      throw EInOutError(QStringLiteral("The plot-data file holds more points than a run writes: ") +
                        QString::number(fPoints));
  }

 private:
  qint64 fBudget;
  qint64 fPoints = 0;
};

Extended finite(Extended value) {
  if (!std::isfinite(static_cast<double>(value)))
    throw EInOutError(QStringLiteral("The plot-data file holds a number out of range."));
  return value;
}

class TPlotDataLoader {
 public:
  TPlotDataLoader(TWordReader &reader, const TPlotDataContext &context, TResultPlots &plots, qint64 fileSize)
      : r(reader), ctx(context), p(plots), counts(fileSize) {}

  void load(TPlotDataResult &result);

 private:
  Extended number() { return finite(r.ReadFloat()); }
  bool si() const { return ctx.Units == kUnitsSI; }
  QString lengthUnit() const { return si() ? QStringLiteral(" m") : QStringLiteral(" ft"); }
  QString lengthName(const QString &prefix, Extended length) const {
    return prefix + ReportNumber(length, kReportLengthDecimals) + lengthUnit();
  }
  void prepareCaptions();
  void readCurve(int c, int rows, int np, int id2);
  void readDesignCharts();
  void readTzCurves(TGraphPlot &plot, int count);
  void readQwCurves(int count);
  void nameCurves(int nl);
  void copyCombined();

  TWordReader &r;
  const TPlotDataContext &ctx;
  TResultPlots &p;
  TCountCheck counts;
};

void TPlotDataLoader::prepareCaptions() {
  const bool elevation = ctx.UseElevation == 1;
  const QString depthLabel = elevation ? QStringLiteral("Elevation") : QStringLiteral("Depth");
  for (TGraphPlot *plot : {&p.pltSkin, &p.pltTip, &p.pltTotal, &p.pltCombine, &p.FSpltSkin, &p.FSpltTip,
                           &p.FSpltTotal, &p.pltCombineD}) {
    plot->fYCaption = depthLabel;
    plot->Yreversed = elevation;
  }
  const bool lrfd = ctx.NLRFD == 1;
  p.FSpltSkin.fXCaption = lrfd ? QStringLiteral("LRFD Side Resistance ") : QStringLiteral("Side Resistance/F.S. ");
  p.FSpltTip.fXCaption = lrfd ? QStringLiteral("LRFD Tip Resistance ") : QStringLiteral("Tip Resistance/F.S. ");
  if (ctx.KCYCL > 1) p.FSpltTip.fXCaption = QStringLiteral("Self-Weight");
  p.FSpltTotal.fXCaption = lrfd ? QStringLiteral("LRFD Total Resistance ") : QStringLiteral("Total Resistance/F.S. ");
  p.pltCombineD.fXCaption = lrfd ? QStringLiteral("LRFD Resistance ") : QStringLiteral("Resistance/F.S. ");

  const QString tipName = ctx.KCYCL > 1 ? QStringLiteral("  Self-Weight") : QStringLiteral("  Tip Resistance");
  for (TGraphPlot *plot : {&p.pltCombine, &p.pltCombineD}) {
    plot->fData.clear();
    plot->SetCurveCount(3);
    plot->SetCurveName(0, QStringLiteral("  Skin Friction"));
    plot->SetCurveName(1, tipName);
    plot->SetCurveName(2, QStringLiteral("  Total Capacity"));
  }
  p.pltCombinedSettle.fData.clear();
  p.pltCombinedSettle.SetCurveCount(3);
  p.pltCombinedSettle.SetCurveName(0, QStringLiteral("  Trend (Averaged)"));
  p.pltCombinedSettle.SetCurveName(1, QStringLiteral("  Upper Bound"));
  p.pltCombinedSettle.SetCurveName(2, QStringLiteral("  Lower Bound"));
}

void TPlotDataLoader::readCurve(int c, int rows, int np, int id2) {
  TGraphPlot *ultimate[3] = {&p.pltSkin, &p.pltTip, &p.pltTotal};
  TGraphPlot *design[3] = {&p.FSpltSkin, &p.FSpltTip, &p.FSpltTotal};
  const bool uplift = ctx.KCYCL > 1;
  for (int i = 0; i < np; ++i) {
    if (i < rows) {
      const Extended d = number();
      const Extended y = ctx.UseElevation == 1 ? ctx.ValElevation - d : d;
      Extended v[6];
      if (ctx.Yesnewversion != 0) {
        for (Extended &value : v) value = number();
        if (uplift) v[4] = v[1];
      } else {
        for (int k = 0; k < 4; ++k) v[k] = number();
        // A factor of safety that is not positive gives no design value rather than an unbounded one.
        v[3] = ctx.FST > 0 ? v[0] / ctx.FST : 0;
        v[4] = uplift ? v[1] : (ctx.FSB > 0 ? v[1] / ctx.FSB : 0);
        v[5] = v[3] + v[4];
      }
      for (int k = 0; k < 3; ++k) {
        ultimate[k]->SetPoint(c, i, {v[k], y});
        design[k]->SetPoint(c, i, {v[k + 3], y});
      }
    } else {
      for (TGraphPlot *plot : {&p.pltSkin, &p.pltTip, &p.pltTotal, &p.FSpltSkin, &p.FSpltTip, &p.FSpltTotal})
        plot->SetPoint(c, i, plot->Point(c, i - 1));
    }
  }
  const TFloatPoint deepest = p.pltTip.Point(c, np - 1);
  if (deepest.x < 0.0001L) p.pltTip.SetPoint(c, np - 1, {0.00001L, deepest.y});

  auto settlementRows = [&](TGraphPlot &plot) {
    plot.SetPoint(c, 0, {0, 0});
    for (int i = 1; i <= 15; ++i) {
      const Extended load = number();
      const Extended settlement = number();
      number();
      number();
      plot.SetPoint(c, i, {load, settlement});
    }
  };
  settlementRows(p.pltAxial);
  if (id2 > 2) {
    settlementRows(p.pltUpper);
    settlementRows(p.pltLower);
  }
}

void TPlotDataLoader::readDesignCharts() {
  const int ntry = counts.check(r.ReadInteger(), 1);
  if (ntry > static_cast<int>(p.PltChart.size()))
    throw EInOutError(QStringLiteral("The plot-data file holds more design charts than there are settlements."));
  const int ntop = counts.check(r.ReadInteger(), 1);
  const int ndata = counts.check(r.ReadInteger(), 1);
  if (ntry > 0) counts.check(ntop, (1 + 2.0 * ndata) * ntry);
  counts.points(qint64(ntry) * ntop * ndata);
  for (int k = 0; k < ntry; ++k) {
    TGraphPlot &chart = p.PltChart[static_cast<std::size_t>(k)];
    const Extended movement = number();
    const QString caption = DesignChartCaption(movement, ctx.Units);
    chart.fCaption = caption;
    chart.UserCaption = caption;
    chart.fData.clear();
    chart.SetPointCount(ndata);
    chart.SetCurveCount(ntop);
    for (int c = 0; c < ntop; ++c) {
      const Extended diameter = number();
      chart.SetCurveName(c, lengthName(QStringLiteral("Dia="), si() ? diameter : diameter / 12));
      for (int i = 0; i < ndata; ++i) {
        const Extended y = number();
        const Extended x = number();
        // English charts come in inches and pounds; they are shown in feet and tons.
        chart.SetPoint(c, i, si() ? TFloatPoint{x, y} : TFloatPoint{x / 2000, y / 12});
      }
    }
  }
}

void TPlotDataLoader::readTzCurves(TGraphPlot &plot, int count) {
  counts.points(qint64(count) * 10);
  plot.fData.clear();
  plot.SetPointCount(10);
  plot.SetCurveCount(count);
  for (int c = 0; c < count; ++c) {
    r.ReadInteger();
    r.ReadInteger();
    const Extended depth = number();
    plot.SetCurveName(c, lengthName(QStringLiteral("H="), depth));
    for (int i = 0; i < 10; ++i) {
      const Extended t = number();
      const Extended z = number();
      plot.SetPoint(c, i, {z, t});
    }
  }
}

void TPlotDataLoader::readQwCurves(int count) {
  TGraphPlot &plot = p.pltQw;
  counts.points(qint64(count) * 10);
  plot.fData.clear();
  plot.SetPointCount(10);
  plot.SetCurveCount(count);
  for (int c = 0; c < count; ++c) {
    r.ReadInteger();
    const Extended diameter = number();
    r.ReadInteger();
    plot.SetCurveName(c, lengthName(QStringLiteral("Dia="), diameter));
    for (int i = 0; i < 10; ++i) {
      const Extended q = number();
      const Extended w = number();
      plot.SetPoint(c, i, {w, q});
    }
  }
}

// Each curve is named after the pier the engine analysed: its length in a
// length series, otherwise its stem diameter.
void TPlotDataLoader::nameCurves(int nl) {
  const std::vector<Extended> stems = AnalysedStemDiameters(ctx);
  for (int c = 0; c < nl; ++c) {
    QString name;
    if (ctx.IPENT >= 1) {
      const Extended deepest = p.pltSkin.Point(c, p.pltSkin.PointCount() - 1).y;
      name = lengthName(QStringLiteral("L ="), AnalysedPierLength(ctx, c, deepest));
    } else if (static_cast<std::size_t>(c) < stems.size()) {
      name = lengthName(QStringLiteral("Dia="), stems[static_cast<std::size_t>(c)]);
    } else {
      name = QStringLiteral("Curve ") + QString::number(c + 1);  // more curves than the project's series
    }
    for (TGraphPlot *plot : {&p.pltSkin, &p.pltTip, &p.pltTotal, &p.FSpltSkin, &p.FSpltTip, &p.FSpltTotal,
                             &p.pltAxial, &p.pltUpper, &p.pltLower})
      plot->SetCurveName(c, name);
  }
}

void TPlotDataLoader::copyCombined() {
  auto copy = [](TGraphPlot &to, int curve, const TGraphPlot &from) {
    if (from.CurveCount() > 0 && curve < to.CurveCount())
      to.fData[static_cast<std::size_t>(curve)].fData = from.fData.front().fData;
  };
  copy(p.pltCombine, 0, p.pltSkin);
  copy(p.pltCombine, 1, p.pltTip);
  copy(p.pltCombine, 2, p.pltTotal);
  copy(p.pltCombineD, 0, p.FSpltSkin);
  copy(p.pltCombineD, 1, p.FSpltTip);
  copy(p.pltCombineD, 2, p.FSpltTotal);
  copy(p.pltCombinedSettle, 0, p.pltAxial);
  copy(p.pltCombinedSettle, 1, p.pltUpper);
  copy(p.pltCombinedSettle, 2, p.pltLower);
}

void TPlotDataLoader::load(TPlotDataResult &result) {
  prepareCaptions();
  // Each depth row holds at least five words, each settlement block 60.
  const int nl = counts.check(r.ReadInteger(), 65, 1);
  const int np = counts.check(r.ReadInteger(), 5, 1);
  counts.check(nl, 5.0 * np);
  // Six plots of nl curves of np points, three of nl curves of 16, the load
  // curves (9) and the combined ones (3 + 3) of np points, three of 16.
  counts.points(6 * qint64(nl) * np + 48 * qint64(nl) + 15 * qint64(np) + 48);
  const int id2 = r.ReadInteger();
  result.ID2 = id2;
  result.ID2Read = true;

  for (TGraphPlot *plot : {&p.pltSkin, &p.pltTip, &p.pltTotal, &p.FSpltSkin, &p.FSpltTip, &p.FSpltTotal}) {
    plot->fData.clear();
    plot->SetPointCount(np);
    plot->SetCurveCount(nl);
  }
  for (TGraphPlot *plot : {&p.pltAxial, &p.pltUpper, &p.pltLower}) {
    plot->fData.clear();
    plot->SetPointCount(16);
    plot->SetCurveCount(nl);
  }
  for (TGraphPlot *plot : {&p.pltCombine, &p.pltCombineD}) plot->SetPointCount(np);
  p.pltCombinedSettle.SetPointCount(16);
  p.pltLoad.fData.clear();
  p.pltLoad.SetPointCount(np);
  p.pltLoad.SetCurveCount(9);

  int rows = np;
  for (int c = 0; c < nl; ++c) {
    readCurve(c, rows, np, id2);
    if (c < nl - 1) {
      r.ReadInteger();
      rows = r.ReadInteger();
      r.ReadInteger();
      // A curve with no depth row, or with more than the first, cannot be read in step.
      if (rows < 1 || rows > np)
        throw EInOutError(QStringLiteral("The plot-data file holds a curve of ") + QString::number(rows) +
                          QStringLiteral(" depth rows."));
    }
  }
  if (ctx.IChart == 1) readDesignCharts();
  nameCurves(nl);
  copyCombined();
  for (TGraphPlot *plot : {&p.FSpltSkin, &p.FSpltTip, &p.FSpltTotal, &p.pltSkin, &p.pltTip, &p.pltTotal,
                           &p.pltCombine, &p.pltCombineD})
    AddLayersGraphPlot(*plot, ctx);

  r.ReadLine();
  // Load-settlement results with upper and lower bounds were solved on
  // load-transfer curves, and the engine writes those (t-z, then q-w) at the
  // end of the file: a file that ends here was cut short.
  if (r.Eof() && id2 == 3)
    result.incomplete = QStringLiteral("The plot data %1 ends before its t-z and q-w curves: the file is incomplete, "
                                       "and those plots are missing.");
  if (!r.Eof()) {
    if (ctx.PrintTZCurves == 1) {
      const int na = counts.check(r.ReadInteger(), 23);
      readTzCurves(p.pltTzAdd, na);
      result.additionalTzCurves = na;
    }
    readTzCurves(p.pltTz, counts.check(r.ReadInteger(), 23));
    readQwCurves(counts.check(r.ReadInteger(), 23));
    result.showtzcurves = true;
  }
}

}  // namespace

void AddLayersGraphPlot(TGraphPlot &plot, const TPlotDataContext &context) {
  bool hasPoint = false;
  for (const TLine &line : plot.fData) hasPoint = hasPoint || !line.fData.empty();
  if (!hasPoint) return;
  const bool elevation = context.UseElevation == 1;
  plot.gData.clear();
  plot.SetLayerPointCount(1);
  plot.SetLayerCount(static_cast<int>(context.Layers.size()));
  for (std::size_t k = 0; k < context.Layers.size(); ++k) {
    const TPlotLayer &layer = context.Layers[k];
    TLine &band = plot.gData[k];
    band.fValueS = QStringLiteral("LAYER ") + QString::number(k + 1);
    band.fValue = 0;  // a code outside 1 ... 9 gets no fill
    if (const TSoilModelDescription *model = SoilModel(layer.code)) {
      band.fValueS += QString::fromLatin1(model->BandName);
      band.fValue = model->BandFill;
    }
    band.fData.front() = {0, elevation ? context.ValElevation - layer.depth : layer.depth};
  }
  plot.LayersTop = elevation ? context.ValElevation : 0;
}

bool PlotOffered(const TResultPlots &plots, const TGraphPlot &plot, const TProgramData &project, bool showTzCurves,
                 int additionalTzCurves) {
  if (&plot == &plots.pltUpper || &plot == &plots.pltLower || &plot == &plots.pltCombinedSettle) return project.ID2 != 0;
  if (&plot == &plots.pltTz || &plot == &plots.pltQw) return showTzCurves;
  if (&plot == &plots.pltTzAdd) return showTzCurves && project.PrintTZCurves == 1 && additionalTzCurves > 0;
  for (std::size_t chart = 0; chart < plots.PltChart.size(); ++chart)
    if (&plot == &plots.PltChart[chart]) return project.IChart == 1 && static_cast<int>(chart) < project.NPOINTPD;
  return true;
}

void KeepOfferedPlots(TResultPlots &plots, const TProgramData &project, bool showTzCurves, int additionalTzCurves) {
  for (TGraphPlot *plot : plots.All())
    if (!PlotOffered(plots, *plot, project, showTzCurves, additionalTzCurves)) {
      plot->fData.clear();
      plot->gData.clear();
    }
}

TPlotDataContext PlotDataContext(const TProgramData &project) {
  TPlotDataContext context;
  context.Units = project.fUnits;
  context.UseElevation = project.UseElevation;
  context.ValElevation = project.ValElevation;
  context.Yesnewversion = project.Yesnewversion;
  context.KCYCL = project.KCYCL;
  context.NLRFD = project.NLRFD;
  context.FST = project.FST;
  context.FSB = project.FSB;
  context.IChart = project.IChart;
  context.IPENT = project.IPENT;
  context.DSTART = project.DSTART;
  context.DIALIM = project.DIALIM;
  context.DIAMINCR = project.DIAMINCR;
  context.PD = project.PD;
  context.PDINCR = project.PDINCR;
  context.PrintTZCurves = project.PrintTZCurves;
  context.Title = project.Title;
  const TGridTable &layers = project.Tables().D;
  for (int row = 0; row < layers.RowCount(); ++row)
    context.Layers.push_back({layers.GetIntValue(lcSoilType, row), layers.GetFloatValue(lcDepth, row)});
  return context;
}

TPlotDataResult ReadPlotData(const QString &path, const TPlotDataContext &context, TResultPlots &plots) {
  TPlotDataResult result;
  try {
    TWordReader reader(path);
    TPlotDataLoader(reader, context, plots, QFileInfo(path).size()).load(result);
    result.ok = true;
    result.wholeFileRead = reader.Eof();
    if (!result.incomplete.isEmpty()) result.incomplete = result.incomplete.arg(QDir::toNativeSeparators(path));
  } catch (const EPylarError &e) {
    result.error = e.message();
  }
  const QFileInfo file(path);
  const QString project = file.absoluteDir().filePath(file.completeBaseName() + QStringLiteral(".pq8d"));
  for (TGraphPlot *plot : plots.All()) {
    plot->SetUnits(context.Units);
    plot->ProjectFile = project;
  }
  if (result.ok)
    SetPlotFooters(plots, context.Title.isEmpty() ? QFileInfo(project).fileName() : context.Title,
                   ReportRunDate(RunFileOf(path, engine::RunFileKind::Report)));
  return result;
}

QString TPlotFooter::Text() const {
  QStringList parts;
  if (!Project.isEmpty()) parts << Project;
  if (!Pier.isEmpty()) parts << Pier;
  if (!RunDate.isEmpty()) parts << QStringLiteral("run of ") + RunDate;
  return parts.join(QStringLiteral("  |  "));
}

void SetPlotFooters(TResultPlots &plots, const QString &title, const QString &runDate) {
  // The combined plots and the t-z curves show the first pier of the series;
  // the others every pier of it (one curve each), the Q-w curves and design
  // charts every diameter.
  const QString first = plots.pltSkin.CurveCount() > 0
                            ? QStringLiteral("first pier of the series (") + plots.pltSkin.CurveName(0).trimmed() + u')'
                            : QStringLiteral("first pier of the series");
  for (TGraphPlot *plot : plots.All()) {
    const bool firstPier = plot == &plots.pltCombine || plot == &plots.pltCombineD ||
                           plot == &plots.pltCombinedSettle || plot == &plots.pltTz || plot == &plots.pltTzAdd;
    plot->Footer = {title, firstPier ? first : QStringLiteral("all piers"), runDate};
  }
}

}  // namespace pylar
