// The plot-data loader: counts, six- and four-value rows, short curves, the
// deepest tip value, load-settlement rows and bounds, design charts, names,
// layer bands, the t-z tail, and damaged files.
#include "model/PltData.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace pylar {
namespace {

class PlotDataTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  TResultPlots plots;
  TPlotDataContext ctx;

  QString write(const QByteArray &text, const QString &name = "p.pq8p") {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return file.fileName();
  }
  TPlotDataResult load(const QByteArray &text) { return ReadPlotData(write(text), ctx, plots); }
};

// Fifteen load-settlement rows: load = base + i, settlement = i / 10.
QByteArray settlementRows(int base) {
  QByteArray text;
  for (int i = 1; i <= 15; ++i)
    text += QByteArray::number(base + i) + " " + QByteArray::number(i / 10.0) + " 0 0\r\n";
  return text;
}

// Three curves of four depth points in the six-value form; the second has two rows.
QByteArray threeCurves(int id2, const QByteArray &tail = {}) {
  QByteArray text = "3 4 " + QByteArray::number(id2) + "\r\n";
  auto rows = [&](int curve, int count) {
    for (int i = 0; i < count; ++i) {
      const int d = 10 * (i + 1);
      const int side = 100 * (curve + 1) + i;
      const int tip = i == 3 ? 0 : 50 + i;  // the deepest tip value is zero
      text += QByteArray::number(d) + " " + QByteArray::number(side) + " " + QByteArray::number(tip) + " " +
              QByteArray::number(side + tip) + " " + QByteArray::number(side / 2) + " " + QByteArray::number(tip / 3) +
              " " + QByteArray::number(side / 2 + tip / 3) + "\r\n";
    }
    text += settlementRows(1000 * curve);
    if (id2 > 2) text += settlementRows(5000) + settlementRows(7000);
  };
  rows(0, 4);
  text += "0 2 0\r\n";
  rows(1, 2);
  text += "0 4 0\r\n";
  rows(2, 4);
  return text + tail;
}

TEST_F(PlotDataTest, CapacityCurvesShortCurvesAndSettlements) {
  ctx.Units = kUnitsSI;
  ctx.DSTART = 0.6L;
  ctx.DIALIM = 1.0L;
  const auto result = load(threeCurves(1));
  ASSERT_TRUE(result.ok) << result.error.toStdString();
  EXPECT_EQ(result.ID2, 1);
  EXPECT_FALSE(result.showtzcurves);  // the file ends after the capacity section
  EXPECT_EQ(result.incomplete, QString());  // as it does for a trend line without load-transfer curves
  ASSERT_EQ(plots.pltSkin.CurveCount(), 3);
  ASSERT_EQ(plots.pltSkin.PointCount(), 4);
  EXPECT_EQ(plots.pltSkin.Point(0, 2), (TFloatPoint{102, 30}));
  EXPECT_EQ(plots.FSpltTotal.Point(0, 1), (TFloatPoint{50 + 17, 20}));  // 101/2 + 51/3 in whole numbers of the file
  // The second curve's points 2 and 3 repeat its point 1 in all six plots.
  for (TGraphPlot *plot : {&plots.pltSkin, &plots.pltTip, &plots.FSpltSkin, &plots.FSpltTotal}) {
    EXPECT_EQ(plot->Point(1, 2), plot->Point(1, 1)) << plot->fCaption.toStdString();
    EXPECT_EQ(plot->Point(1, 3), plot->Point(1, 1)) << plot->fCaption.toStdString();
  }
  // A zero tip at the deepest point is plotted as 0.00001.
  EXPECT_EQ(plots.pltTip.Point(0, 3).x, 0.00001L);
  EXPECT_EQ(plots.pltTip.Point(1, 3).x, 51);  // repeated, not zero: stays
  // Load against settlement: the origin, then the fifteen rows.
  ASSERT_EQ(plots.pltAxial.PointCount(), 16);
  EXPECT_EQ(plots.pltAxial.Point(2, 0), (TFloatPoint{0, 0}));
  EXPECT_EQ(plots.pltAxial.Point(2, 15), (TFloatPoint{2015, 1.5L}));
  // Without bounds in the file the bound plots hold the origin and zeros.
  EXPECT_EQ(plots.pltUpper.Point(0, 15), (TFloatPoint{0, 0}));
  // Names: the stems the engine analyses, 0.15 m apart without design
  // charts in SI: 0.6, 0.75, 0.9 (and 1.0) m.
  EXPECT_EQ(plots.pltSkin.CurveName(0), "Dia=0.6 m");
  EXPECT_EQ(plots.FSpltTip.CurveName(1), "Dia=0.75 m");
  EXPECT_EQ(plots.pltAxial.CurveName(2), "Dia=0.9 m");
  // Combined plots: curve 0 of the three plots each, with their own names.
  EXPECT_EQ(plots.pltCombine.fData[2].fData, plots.pltTotal.fData[0].fData);
  EXPECT_EQ(plots.pltCombineD.fData[1].fData, plots.FSpltTip.fData[0].fData);
  EXPECT_EQ(plots.pltCombinedSettle.fData[0].fData, plots.pltAxial.fData[0].fData);
  EXPECT_EQ(plots.pltCombine.CurveName(1), "  Tip Resistance");
  EXPECT_EQ(plots.pltCombinedSettle.CurveName(2), "  Lower Bound");
  EXPECT_EQ(plots.pltSkin.Units(), kUnitsSI);
  EXPECT_EQ(plots.pltLoad.CurveCount(), 9);
}

TEST_F(PlotDataTest, BoundsAreReadWhenId2IsAboveTwo) {
  ctx.DSTART = 2;
  ctx.DIALIM = 3;
  const auto result = load(threeCurves(3));
  ASSERT_TRUE(result.ok) << result.error.toStdString();
  EXPECT_EQ(plots.pltUpper.Point(1, 15), (TFloatPoint{5015, 1.5L}));
  EXPECT_EQ(plots.pltLower.Point(2, 1), (TFloatPoint{7001, 0.1L}));
  EXPECT_EQ(plots.pltCombinedSettle.fData[1].fData, plots.pltUpper.fData[0].fData);
  EXPECT_EQ(plots.pltSkin.CurveName(1), "Dia=2.5 ft");  // English steps of 0.5 ft from DSTART 2
}

TEST_F(PlotDataTest, LegacyFourValueRowsUpliftElevationAndLayerBands) {
  ctx.Yesnewversion = 0;
  ctx.FST = 2;
  ctx.FSB = 4;
  ctx.UseElevation = 1;
  ctx.ValElevation = 100;
  ctx.Layers = {{2, 5}, {1, 12}, {42, 20}};
  const QByteArray file = "1 2 1\n10 200 80 280 0\n20 300 40 340 0\n" + settlementRows(0);
  ASSERT_TRUE(load(file).ok);
  // Design values: side / FST, tip / FSB, their sum; depths as elevations.
  EXPECT_EQ(plots.FSpltSkin.Point(0, 1), (TFloatPoint{150, 80}));
  EXPECT_EQ(plots.FSpltTip.Point(0, 1), (TFloatPoint{10, 80}));
  EXPECT_EQ(plots.FSpltTotal.Point(0, 0), (TFloatPoint{120, 90}));
  EXPECT_EQ(plots.pltSkin.fYCaption, "Elevation");
  EXPECT_TRUE(plots.pltCombineD.Yreversed);
  EXPECT_FALSE(plots.pltAxial.Yreversed);
  // One band per layer, at the bottom of the layer, named and filled by soil model.
  ASSERT_EQ(plots.pltTip.LayerCount(), 3);
  EXPECT_EQ(plots.pltTip.gData[0].fValueS, "LAYER 1 CLAY ");
  EXPECT_EQ(plots.pltTip.gData[0].fValue, 1);
  EXPECT_EQ(plots.pltTip.gData[1].fValueS, "LAYER 2 SAND ");
  EXPECT_EQ(plots.pltTip.gData[1].fData[0].y, 88);
  EXPECT_EQ(plots.pltTip.gData[2].fValueS, "LAYER 3");  // unknown code: no name, no fill
  EXPECT_EQ(plots.pltTip.LayersTop, 100);
  EXPECT_EQ(plots.pltAxial.LayerCount(), 0);

  // Every model's band, as the plots have always named and filled it
  // (decomposed rock reads "WEAK ROCK"; weak rock and gravelly sand "GW").
  const struct {
    int code;
    const char *name;
    int fill;
  } bands[] = {{1, " SAND ", 7}, {2, " CLAY ", 1}, {3, " SHALE ", 8}, {4, " ROCK ", 9},      {5, " WEAK ROCK ", 10},
               {6, " GW ", 12},  {7, " ROCK ", 9}, {8, " GW ", 11},    {9, " GRAVEL ", 12}};
  ctx.Layers.clear();
  for (const auto &band : bands) ctx.Layers.push_back({band.code, Extended(band.code)});
  ASSERT_TRUE(load(file).ok);
  ASSERT_EQ(plots.pltTip.LayerCount(), 9);
  for (const auto &band : bands) {
    const TLine &line = plots.pltTip.gData[static_cast<std::size_t>(band.code - 1)];
    EXPECT_EQ(line.fValueS, QStringLiteral("LAYER ") + QString::number(band.code) + QString::fromLatin1(band.name));
    EXPECT_EQ(line.fValue, band.fill) << band.code;
  }
  ctx.Layers = {{2, 5}, {1, 12}, {42, 20}};

  // Under uplift the design tip is the plain tip and is captioned as self-weight.
  ctx.KCYCL = 2;
  ASSERT_TRUE(load(file).ok);
  EXPECT_EQ(plots.FSpltTip.Point(0, 1).x, 40);
  EXPECT_EQ(plots.FSpltTip.fXCaption, "Self-Weight");
  EXPECT_EQ(plots.pltCombine.CurveName(1), "  Self-Weight");
  ctx.Yesnewversion = 1;
  ASSERT_TRUE(load("1 1 1\n10 200 80 280 100 999 180\n" + settlementRows(0)).ok);
  EXPECT_EQ(plots.FSpltTip.Point(0, 0).x, 80);  // the fifth value is read but not used
  EXPECT_EQ(plots.FSpltTotal.Point(0, 0).x, 180);
}

TEST_F(PlotDataTest, MultipleLengthsAreNamedByTheirDeepestOrdinate) {
  ctx.IPENT = 1;
  ctx.NLRFD = 1;
  const auto result = load(threeCurves(1));
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(plots.pltSkin.CurveName(0), "L =40 ft");
  EXPECT_EQ(plots.pltUpper.CurveName(1), "L =20 ft");
  EXPECT_EQ(plots.FSpltSkin.fXCaption, "LRFD Side Resistance ");
}

TEST_F(PlotDataTest, DesignChartsInEnglishUnits) {
  ctx.IChart = 1;
  QByteArray charts = "2 2 3\n0.5\n24 120 4000 240 8000 360 12000\n36 120 6000 240 12000 360 18000\n"
                      "1\n24 1 2 3 4 5 6\n30 7 8 9 10 11 12\n";
  plots.PltChart[5].fCaption = "kept";
  ASSERT_TRUE(load("1 1 1\n10 1 2 3 4 5 6\n" + settlementRows(0) + charts).ok);
  EXPECT_EQ(plots.PltChart[0].fCaption, "Design Chart (0.5-in movement)");
  EXPECT_EQ(plots.PltChart[0].UserCaption, "Design Chart (0.5-in movement)");
  EXPECT_EQ(plots.PltChart[0].CurveName(0), "Dia=2 ft");
  EXPECT_EQ(plots.PltChart[0].CurveName(1), "Dia=3 ft");
  // y in inches to feet, x in pounds to tons.
  EXPECT_EQ(plots.PltChart[0].Point(1, 2), (TFloatPoint{9, 30}));
  EXPECT_EQ(plots.PltChart[1].CurveName(1), "Dia=2.5 ft");
  EXPECT_EQ(plots.PltChart[5].fCaption, "kept");  // charts beyond the count keep their contents
}

TEST_F(PlotDataTest, TzQwAndAdditionalCurves) {
  ctx.PrintTZCurves = 1;
  auto curve = [](const QByteArray &head) {
    QByteArray text = head;
    for (int i = 1; i <= 10; ++i) text += " " + QByteArray::number(i * 10) + " " + QByteArray::number(i);
    return text + "\n";
  };
  const QByteArray tail = "\n1\n" + curve("1 1 7.5") + "2\n" + curve("1 1 5") + curve("2 1 10") + "1\n" +
                          curve("1 3 0");
  const auto result = load("1 1 1\n10 1 2 3 4 5 6\n" + settlementRows(0) + tail);
  ASSERT_TRUE(result.ok) << result.error.toStdString();
  EXPECT_TRUE(result.showtzcurves);
  EXPECT_EQ(result.additionalTzCurves, 1);
  EXPECT_EQ(plots.pltTzAdd.CurveName(0), "H=7.5 ft");
  ASSERT_EQ(plots.pltTz.CurveCount(), 2);
  EXPECT_EQ(plots.pltTz.CurveName(1), "H=10 ft");
  EXPECT_EQ(plots.pltTz.Point(1, 9), (TFloatPoint{10, 100}));  // t is y, z is x
  EXPECT_EQ(plots.pltQw.CurveName(0), "Dia=3 ft");
  EXPECT_EQ(plots.pltQw.Point(0, 0), (TFloatPoint{1, 10}));
}

TEST_F(PlotDataTest, EveryTruncationFailsCleanly) {
  ctx.IChart = 1;
  const QByteArray full = threeCurves(3, "1 1 1\n0.5\n24 120 4000\n\n0\n0\n");
  ASSERT_TRUE(load(full).ok);
  // Cut inside the capacity, settlement and chart sections: always a failure, never a crash.
  const qsizetype capacityEnd = full.indexOf("1 1 1\n0.5");
  for (qsizetype cut = 0; cut < capacityEnd; cut += 7) {
    const auto result = load(full.left(cut));
    EXPECT_FALSE(result.ok) << cut;
    EXPECT_FALSE(result.error.isEmpty());
  }
}

TEST_F(PlotDataTest, DamagedFilesAreErrors) {
  const QByteArray cases[] = {
      "",                                   // empty
      "2000000000 2000000000 1\n1 2 3",    // counts the file cannot hold
      "1 -5 1\n",                           // negative point count
      "0 3 1\n",                            // no curves
      "1 1 1\n10 nan 2 3 4 5 6\n",          // not a finite number
      "1 1 1\n10 abc 2 3 4 5 6\n",          // not a number
      "2 1 1\n10 1 2 3 4 5 6\n" + settlementRows(0) + "0 2 0\n",  // a curve longer than the first
  };
  for (const QByteArray &text : cases) EXPECT_FALSE(load(text).ok) << text.left(40).toStdString();
  ctx.IChart = 1;
  EXPECT_FALSE(load("1 1 1\n10 1 2 3 4 5 6\n" + settlementRows(0) + "11 1 1\n").ok);  // more charts than settlements
  EXPECT_FALSE(ReadPlotData(dir.filePath("missing.pq8p"), ctx, plots).ok);
}

// The stems of the series, printed as the report prints them (F9.3).
TEST(AnalysedStems, FollowTheEngineSeriesRule) {
  struct Case {
    const char *what;
    int units, ipent, ichart;
    Extended dstart, dialim, diamincr;
    QStringList stems;
  };
  const Case cases[] = {
      {"half a foot without charts", kUnitsEnglish, 0, 0, 3, 4, 1, {"3", "3.5", "4"}},
      {"a maximum below the minimum", kUnitsEnglish, 0, 0, 3, 2, 0, {"3"}},
      {"the charts' increment", kUnitsEnglish, 0, 1, 4, 6, 1, {"4", "5", "6"}},
      {"the charts' default increment", kUnitsEnglish, 0, 1, 2, 3, 0, {"2", "2.5", "3"}},
      {"SI charts by 0.15 m", kUnitsSI, 0, 1, 0.9L, 1.5L, 0.15L, {"0.9", "1.05", "1.2", "1.35", "1.5"}},
      {"SI charts' default 0.15 m", kUnitsSI, 0, 1, 0.9L, 1.2L, 0, {"0.9", "1.05", "1.2"}},
      // SI without charts steps by 0.15 m, and ends with the largest diameter
      // asked for: 1.45 m would pass 1.35 m, so 1.35 m follows 1.3 m.
      {"SI without charts: 0.15 m", kUnitsSI, 0, 0, 1, 1.35L, 0, {"1", "1.15", "1.3", "1.35"}},
      // 3 and 4 ft entered in metres are 3 and 4 ft: 3 ft + 0.15 m = 3.49212 ft
      // = 1.064 m; 3.98424 ft lies within 0.02 ft of 4 ft and gives way to it.
      {"SI feet", kUnitsSI, 0, 0, 0.9144L, 1.2192L, 0, {"0.914", "1.064", "1.219"}},
      {"a maximum off the step", kUnitsEnglish, 0, 0, 3, 4.2L, 0, {"3", "3.5", "4", "4.2"}},
      {"a length series", kUnitsEnglish, 1, 0, 3, 6, 1, {"3"}},
  };
  for (const Case &c : cases) {
    TPlotDataContext ctx;
    ctx.Units = c.units;
    ctx.IPENT = c.ipent;
    ctx.IChart = c.ichart;
    ctx.DSTART = c.dstart;
    ctx.DIALIM = c.dialim;
    ctx.DIAMINCR = c.diamincr;
    QStringList stems;
    for (Extended d : AnalysedStemDiameters(ctx)) stems << ReportNumber(d, kReportLengthDecimals);
    EXPECT_EQ(stems, c.stems) << c.what;
  }
  // The series limits: 20 diameters with design charts, 100 without.
  TPlotDataContext wide;
  wide.DSTART = 1;
  wide.DIALIM = 100;
  wide.DIAMINCR = 0.5L;
  EXPECT_EQ(AnalysedStemDiameters(wide).size(), 100u);
  wide.IChart = 1;
  EXPECT_EQ(AnalysedStemDiameters(wide).size(), 20u);
}

TEST(ReportNumbers, RoundAsTheReportAndDropTrailingZeros) {
  EXPECT_EQ(ReportNumber(0.8999891L, 3), "0.9");
  EXPECT_EQ(ReportNumber(1.049987L, 3), "1.05");
  EXPECT_EQ(ReportNumber(2.5L, 3), "2.5");
  EXPECT_EQ(ReportNumber(12, 3), "12");
  EXPECT_EQ(ReportNumber(-0.0001L, 3), "0");
  EXPECT_EQ(ReportNumber(0.01269999L, 4), "0.0127");
  EXPECT_EQ(DesignChartCaption(0.01269999L, kUnitsSI), "Design Chart (0.0127-m movement)");
  EXPECT_EQ(DesignChartCaption(0.5L, kUnitsEnglish), "Design Chart (0.5-in movement)");
}

// The lengths of a length series are those asked for; a walk that ends at the
// bottom of a shallower profile ends at a whole number of feet, which the
// curve's deepest ordinate (three significant digits) shows.
TEST(AnalysedLengths, AsAskedOrTheProfileBottom) {
  struct Case {
    const char *what;
    int units;
    Extended pd, pdincr;
    int curve;
    Extended deepest;
    const char *length;
  };
  const Case cases[] = {
      {"SI by 1.5 m", kUnitsSI, 15, 1.5L, 1, 13.5L, "13.5"},
      {"SI by the default 1 m", kUnitsSI, 15, 0, 2, 13, "13"},
      {"SI 12.35 m, printed 12.4", kUnitsSI, 12.35L, 1, 0, 12.4L, "12.35"},
      {"English by the default 3 ft", kUnitsEnglish, 45, 0, 1, 42, "42"},
      // 40 ft = 12.192 m, printed 12.2.
      {"SI, profile ends at 40 ft", kUnitsSI, 15, 1, 0, 12.2L, "12.192"},
      {"English, profile ends at 40 ft", kUnitsEnglish, 45, 3, 0, 40, "40"},
  };
  for (const Case &c : cases) {
    TPlotDataContext ctx;
    ctx.Units = c.units;
    ctx.IPENT = 1;
    ctx.PD = c.pd;
    ctx.PDINCR = c.pdincr;
    EXPECT_EQ(ReportNumber(AnalysedPierLength(ctx, c.curve, c.deepest), kReportLengthDecimals), c.length) << c.what;
  }
}

}  // namespace
}  // namespace pylar

// Every sample project, run by the engine, gives plot data that loads whole.
#include "model/DataUnit.h"
#include "pylar/engine.h"

namespace pylar {
namespace {

TEST(PlotDataOfSamples, EverySampleLoadsWhole) {
  const QDir examples(QStringLiteral(PYLAR_SOURCE_DIR "/examples"));
  const QStringList samples = examples.entryList({QStringLiteral("*.pq8d")}, QDir::Files, QDir::Name);
  ASSERT_FALSE(samples.isEmpty());
  for (const QString &sample : samples) {
    SCOPED_TRACE(sample.toStdString());
    QTemporaryDir dir;
    const QString project = dir.filePath(sample);
    ASSERT_TRUE(QFile::copy(examples.filePath(sample), project));
    const auto run = engine::runProject(project.toStdString());
    EXPECT_NE(run.summary.status, engine::kStatusBadInput) << run.summary.message;
    TProjectTables tables;
    auto read = TProgramData::CreateFromFile(tables, project, ffVersion8);
    ASSERT_TRUE(read.data);
    ASSERT_EQ(read.error, QString());
    TResultPlots plots;
    const QString plotFile = dir.filePath(QFileInfo(sample).completeBaseName() + ".pq8p");
    const TPlotDataResult result = ReadPlotData(plotFile, PlotDataContext(*read.data), plots);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(result.wholeFileRead);
    EXPECT_EQ(result.incomplete, QString());
    EXPECT_GT(plots.pltSkin.CurveCount(), 0);
    EXPECT_EQ(plots.pltSkin.LayerCount(), tables.D.RowCount());
    // The deepest point of the first curve lies below the surface.
    EXPECT_NE(plots.pltTotal.Point(0, plots.pltTotal.PointCount() - 1).y, plots.pltTotal.Point(0, 0).y);
    if (read.data->IChart == 1) {
      EXPECT_TRUE(plots.PltChart[0].fCaption.startsWith("Design Chart ("));
    }
  }
}


// Plot data cut where the t-z and q-w records begin: its capacity curves, load
// against settlement with bounds and design charts read whole, but the
// bounds come from load-transfer curves that the file no longer holds. The
// load is marked incomplete, naming the file.
TEST(PlotDataOfSamples, CutBeforeTheLoadTransferCurvesIsIncomplete) {
  TProjectTables tables;
  auto read = TProgramData::CreateFromFile(tables, PYLAR_SOURCE_DIR "/examples/gravel-rollins-charts.pq8d", ffVersion8);
  ASSERT_TRUE(read.data && read.error.isEmpty());
  ASSERT_EQ(read.data->IChart, 1);
  QFile golden(PYLAR_SOURCE_DIR "/engine/tests/golden/gravel-rollins-charts.pq8p");
  ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
  const QByteArray full = golden.readAll();
  // The t-z records begin with their count, the first line that is one whole number.
  const QRegularExpression count(QStringLiteral("\n *\\d+\r?\n"));
  const qsizetype tz = QString::fromLatin1(full).indexOf(count);
  ASSERT_GT(tz, 0);
  QTemporaryDir dir;
  const QString path = dir.filePath("cut.pq8p");
  {
    QFile cut(path);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(full.left(tz + 1));
  }
  TResultPlots plots;
  const TPlotDataResult result = ReadPlotData(path, PlotDataContext(*read.data), plots);
  ASSERT_TRUE(result.ok) << result.error.toStdString();
  EXPECT_EQ(result.ID2, 3);
  EXPECT_FALSE(result.showtzcurves);
  EXPECT_EQ(result.incomplete.toStdString(),
            ("The plot data " + QDir::toNativeSeparators(path) +
             " ends before its t-z and q-w curves: the file is incomplete, and those plots are missing.")
                .toStdString());
  EXPECT_GT(plots.PltChart[0].CurveCount(), 0);  // what it holds is read
}

// The report's analysed piers: the stem diameter and the pier length of each
// "CASE ANALYZED" block, as printed ("0.900" -> "0.9"), with the length unit.
struct ReportPiers {
  QStringList stems, lengths;
  QString unit;
};

QString withoutTrailingZeros(QString text) {
  if (text.contains(u'.')) {
    while (text.endsWith(u'0')) text.chop(1);
    if (text.endsWith(u'.')) text.chop(1);
  }
  return text;
}

ReportPiers readReportPiers(const QString &path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  ReportPiers piers;
  bool inCase = false, stemSeen = false, lengthSeen = false;
  for (const QByteArray &raw : file.readAll().split('\n')) {
    const QString line = QString::fromLatin1(raw).trimmed();
    if (line.startsWith(QStringLiteral("- CASE ANALYZED"))) {
      inCase = true;
      stemSeen = lengthSeen = false;
      continue;
    }
    if (!inCase) continue;
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    if (!stemSeen && line.startsWith(QStringLiteral("DIAMETER OF STEM")) && words.size() >= 6) {
      piers.stems << withoutTrailingZeros(words[4]);
      piers.unit = words[5] == QStringLiteral("M") ? QStringLiteral(" m") : QStringLiteral(" ft");
      stemSeen = true;
    } else if (!lengthSeen && line.startsWith(QStringLiteral("PYLAR LENGTH")) && words.size() >= 5) {
      piers.lengths << withoutTrailingZeros(words[3]);
      lengthSeen = true;
    }
  }
  return piers;
}

// Every curve is named after a pier the report analysed, written as the report
// writes it: the depth, design-method and load-settlement plots by their
// case, the design charts by the stems of the series.
TEST(PlotDataOfSamples, CurvesAreNamedAfterTheAnalysedPiers) {
  const QDir examples(QStringLiteral(PYLAR_SOURCE_DIR "/examples"));
  for (const QString &sample : examples.entryList({QStringLiteral("*.pq8d")}, QDir::Files, QDir::Name)) {
    SCOPED_TRACE(sample.toStdString());
    QTemporaryDir dir;
    const QString project = dir.filePath(sample);
    ASSERT_TRUE(QFile::copy(examples.filePath(sample), project));
    engine::runProject(project.toStdString());
    TProjectTables tables;
    auto read = TProgramData::CreateFromFile(tables, project, ffVersion8);
    ASSERT_TRUE(read.data);
    TResultPlots plots;
    const QString base = dir.filePath(QFileInfo(sample).completeBaseName());
    ASSERT_TRUE(ReadPlotData(base + ".pq8p", PlotDataContext(*read.data), plots).ok);
    const ReportPiers piers = readReportPiers(base + ".pq8o");
    ASSERT_FALSE(piers.stems.isEmpty());
    const bool lengthSeries = read.data->IPENT >= 1;
    const QStringList &values = lengthSeries ? piers.lengths : piers.stems;
    const QString prefix = lengthSeries ? QStringLiteral("L =") : QStringLiteral("Dia=");
    ASSERT_EQ(plots.pltSkin.CurveCount(), values.size());
    for (int c = 0; c < values.size(); ++c) {
      const QString expected = prefix + values[c] + piers.unit;
      for (TGraphPlot *plot : {&plots.pltSkin, &plots.pltTip, &plots.pltTotal, &plots.FSpltSkin, &plots.FSpltTip,
                               &plots.FSpltTotal, &plots.pltAxial, &plots.pltUpper, &plots.pltLower})
        EXPECT_EQ(plot->CurveName(c).toStdString(), expected.toStdString()) << plot->fCaption.toStdString();
    }
    if (read.data->IChart == 1) {
      for (int k = 0; k < read.data->NPOINTPD; ++k) {
        const TGraphPlot &chart = plots.PltChart[static_cast<std::size_t>(k)];
        ASSERT_EQ(chart.CurveCount(), piers.stems.size());
        for (int c = 0; c < chart.CurveCount(); ++c)
          EXPECT_EQ(chart.CurveName(c).toStdString(), ("Dia=" + piers.stems[c] + piers.unit).toStdString()) << k;
        EXPECT_FALSE(chart.fCaption.contains(QStringLiteral("99999"))) << chart.fCaption.toStdString();
      }
    }
  }
}

// Plot data carries the report's precision: the total capacity of the first
// pier of the ASD sample at 40 ft reads 453.5 tons as the report prints it
// (F9.1), not 454 (E10.3, three digits). A file written with three digits
// by earlier versions still loads, curve for curve, within their rounding.
TEST(PlotDataOfSamples, CapacityCarriesTheReportsPrecisionAndOldFilesStillLoad) {
  TProjectTables tables;
  auto read = TProgramData::CreateFromFile(tables, QStringLiteral(PYLAR_SOURCE_DIR "/examples/sand-asd-english.pq8d"),
                                           ffVersion8);
  ASSERT_TRUE(read.data);
  const TPlotDataContext context = PlotDataContext(*read.data);
  TResultPlots current, old;
  ASSERT_TRUE(ReadPlotData(QStringLiteral(PYLAR_SOURCE_DIR "/engine/tests/golden/sand-asd-english.pq8p"), context,
                           current)
                  .ok);
  const TPlotDataResult oldRead = ReadPlotData(
      QStringLiteral(PYLAR_SOURCE_DIR "/app/tests/fixtures/sand-asd-english-three-digits.pq8p"), context, old);
  ASSERT_TRUE(oldRead.ok) << oldRead.error.toStdString();
  EXPECT_TRUE(oldRead.wholeFileRead);

  // The report's row at 40 ft of case 1: QS 275.5, QB 178.1, QU 453.5, QDN 169.5.
  const int last = current.pltTotal.PointCount() - 1;
  ASSERT_EQ(double(current.pltTotal.Point(0, last).y), 40.0);
  auto oneDecimal = [](Extended v) { return QString::number(double(v), 'f', 1); };
  EXPECT_EQ(oneDecimal(current.pltSkin.Point(0, last).x), "275.5");
  EXPECT_EQ(oneDecimal(current.pltTip.Point(0, last).x), "178.1");
  EXPECT_EQ(oneDecimal(current.pltTotal.Point(0, last).x), "453.5");
  EXPECT_EQ(oneDecimal(current.FSpltTotal.Point(0, last).x), "169.5");

  const std::pair<const TGraphPlot *, const TGraphPlot *> pairs[] = {{&old.pltSkin, &current.pltSkin},
                                                                       {&old.pltTip, &current.pltTip},
                                                                       {&old.pltTotal, &current.pltTotal},
                                                                       {&old.FSpltTotal, &current.FSpltTotal},
                                                                       {&old.pltAxial, &current.pltAxial}};
  for (const auto &[before, now] : pairs) {
    SCOPED_TRACE(now->fCaption.toStdString());
    ASSERT_EQ(before->CurveCount(), now->CurveCount());
    ASSERT_EQ(before->PointCount(), now->PointCount());
    for (int c = 0; c < now->CurveCount(); ++c)
      for (int i = 0; i < now->PointCount(); ++i)
        EXPECT_NEAR(double(before->Point(c, i).x), double(now->Point(c, i).x),
                    0.005 * std::fabs(double(now->Point(c, i).x)) + 1e-9);
  }
  EXPECT_EQ(double(old.pltTotal.Point(0, last).x), 454.0);  // what three digits gave
}

}  // namespace
}  // namespace pylar
