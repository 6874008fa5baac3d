// The spreadsheet export: column letters, axis titles, the workbook read back
// by an independent reader (app/tests/read_workbook.py, openpyxl and the
// chart XML) for sheets, Legend cells, hyperlinks, data, series and markers,
// failures that leave the old file, a decimal-comma locale, the clipboard
// text, and a sample's workbook opened by LibreOffice when it is installed.
#include "FileSizeLimit.h"
#include "model/ExportDlg.h"

#include "model/DataUnit.h"
#include "pylar/engine.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <unistd.h>

// Readable failures.
static void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }
static void PrintTo(const QStringList &list, std::ostream *os) { *os << list.join(" | ").toStdString(); }
static void PrintTo(const QJsonValue &value, std::ostream *os) {
  *os << QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).toStdString();
}
static void PrintTo(const QJsonObject &object, std::ostream *os) {
  *os << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

namespace pylar {
namespace {

// Curve c, point i: x = 100 c + i + 0.25, y = 1.5 i (whole, halves and quarters
// survive any number format exactly).
TGraphPlot plotWithCurves(const QString &caption, const std::vector<int> &pointCounts) {
  TGraphPlot plot(caption, "Axial Load", "F2", "Depth", "L2");
  plot.SetCurveCount(static_cast<int>(pointCounts.size()));
  for (std::size_t c = 0; c < pointCounts.size(); ++c) {
    TLine &line = plot.fData[c];
    line.fValueS = QStringLiteral("Curve %1").arg(c + 1);
    for (int i = 0; i < pointCounts[c]; ++i) line.fData.push_back({100.0L * c + i + 0.25L, 1.5L * i});
  }
  return plot;
}

// The workbook as the independent reader sees it.
QJsonObject readBack(const QString &path) {
  QProcess reader;
  reader.start(QStringLiteral(PYLAR_PYTHON), {QStringLiteral(PYLAR_SOURCE_DIR "/app/tests/read_workbook.py"), path});
  const bool finished = reader.waitForFinished(120000);
  const QByteArray err = reader.readAllStandardError();
  EXPECT_TRUE(finished && reader.exitStatus() == QProcess::NormalExit && reader.exitCode() == 0) << err.toStdString();
  return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

QJsonObject cells(const QJsonObject &book, const QString &sheet) {
  return book["worksheets"][sheet]["cells"].toObject();
}

class WorkbookTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString path(const QString &name = QStringLiteral("plots.xlsx")) const { return dir.filePath(name); }
  TWorkbookOutcome write(const std::vector<const TGraphPlot *> &plots, bool markers = true) {
    const TWorkbookOutcome outcome = WriteWorkbook(path(), plots, markers);
    EXPECT_TRUE(outcome.ok) << outcome.message.toStdString();
    return outcome;
  }
};

TEST(ExportNames, ColumnLetters) {
  const std::pair<int, const char *> cases[] = {{1, "A"},   {26, "Z"},  {27, "AA"}, {28, "AB"},   {52, "AZ"},
                                                {53, "BA"}, {510, "SP"}, {702, "ZZ"}, {703, "AAA"}, {0, ""}};
  for (const auto &[column, letters] : cases) EXPECT_EQ(ColumnLetters(column), letters) << column;
}

TEST(ExportNames, AxisTitlesExpandTheUnitCodeInThePlotsSystem) {
  const struct {
    const char *caption, *code;
    int units;
    const char *title;
  } cases[] = {
      {"Depth", "L2", kUnitsEnglish, "Depth (ft)"},
      {"Depth", "L2", kUnitsSI, "Depth (m)"},
      {"Ultimate Skin Friction ", "F2", kUnitsEnglish, "Ultimate Skin Friction  (tons)"},
      {"Unit Load Transfer, t", "F/L^2", kUnitsEnglish, "Unit Load Transfer, t (lbs/in^2)"},
      {"Unit Load Transfer, t", "F/L^2", kUnitsSI, "Unit Load Transfer, t (kN/m^2)"},
      {"Settlement", "L", kUnitsVerbatim, "Settlement (L)"},
      {"Total Capacity ", "", kUnitsSI, "Total Capacity "},
  };
  for (const auto &c : cases) EXPECT_EQ(AxisTitle(c.caption, c.code, c.units), c.title) << c.title;
}

TEST(ExportNames, CandidatesInTheFixedOrder) {
  const TResultPlots plots;
  const auto candidates = ExportCandidates(plots);
  ASSERT_EQ(candidates.size(), 25u);
  const std::pair<int, const TGraphPlot *> expected[] = {
      {1, &plots.pltSkin},    {4, &plots.FSpltSkin},         {6, &plots.FSpltTotal}, {7, &plots.pltCombine},
      {8, &plots.pltCombineD}, {12, &plots.pltCombinedSettle}, {15, &plots.pltTzAdd},  {16, &plots.PltChart[0]},
      {25, &plots.PltChart[9]}};
  for (const auto &[number, plot] : expected) {
    EXPECT_EQ(candidates[static_cast<std::size_t>(number - 1)].number, number);
    EXPECT_EQ(candidates[static_cast<std::size_t>(number - 1)].plot, plot) << number;
  }
}

TEST_F(WorkbookTest, TwoPlotsGiveTheLegendAndTheirSheetsInOrder) {
  TGraphPlot skin = plotWithCurves("Ultimate Skin Friction vs Depth", {3});
  TGraphPlot settle = plotWithCurves("Combined Plots of Load vs Settlement", {4, 4});
  settle.fXCaption = "Axial Load";
  settle.fYCaption = "Settlement";
  settle.fYUnits = "L";
  settle.SetUnits(kUnitsSI);
  settle.fXOnTop = false;
  const TWorkbookOutcome outcome = write({&skin, &settle});
  EXPECT_EQ(outcome.path, QFileInfo(path()).absoluteFilePath());
  EXPECT_FALSE(outcome.more255);
  EXPECT_EQ(outcome.message, "Export to Excel Completed\rPlease note that you need to save the excel file\r"
                             "The workbook is saved as " + QDir::toNativeSeparators(outcome.path) + "\r");

  const QJsonObject book = readBack(path());
  QStringList order;
  for (const QJsonValue sheet : book["sheets"].toArray())
    order << sheet["name"].toString() + ":" + sheet["kind"].toString();
  EXPECT_EQ(order, QStringList({"Legend:worksheet", "Page_1:worksheet", "Plot_1:chartsheet", "Page_2:worksheet",
                                "Plot_2:chartsheet"}));

  const QJsonObject legend = cells(book, "Legend");
  const std::pair<const char *, QJsonValue> legendCells[] = {
      {"B2", "     N    "},
      {"C2", "                             Plot Name                             "},
      {"D2", "  Sheet Name  "},
      {"E2", "  Chart Name  "},
      {"F2", "          Status          "},
      {"B3", 1},
      {"C3", "Ultimate Skin Friction vs Depth"},
      {"D3", "Page_1"},
      {"E3", "Plot_1"},
      {"F3", "Complete"},
      {"B4", 2},
      {"C4", "Combined Plots of Load vs Settlement"},
      {"D4", "Page_2"},
      {"E4", "Plot_2"},
      {"F4", "Complete"},
  };
  for (const auto &[cell, value] : legendCells) EXPECT_EQ(legend[cell], value) << cell;
  EXPECT_EQ(legend.size(), static_cast<qsizetype>(std::size(legendCells)));
  for (const char *cell : {"B2", "C2", "D2", "E2", "F2"}) {
    EXPECT_TRUE(book["worksheets"]["Legend"]["bold"].toArray().contains(QString(cell))) << cell;
    EXPECT_TRUE(book["worksheets"]["Legend"]["centred"].toArray().contains(QString(cell))) << cell;
    // Columns fit their headings.
    EXPECT_GE(book["worksheets"]["Legend"]["widths"][QString(cell).left(1)].toDouble(), legend[cell].toString().size());
  }
  EXPECT_EQ(book["worksheets"]["Legend"]["links"].toObject(),
            QJsonObject({{"D3", "Page_1!A1"}, {"D4", "Page_2!A1"}}));
  for (const char *page : {"Page_1", "Page_2"})
    EXPECT_EQ(book["worksheets"][page]["links"].toObject(), QJsonObject({{"G1", "Legend!A1"}})) << page;

  const QJsonObject page2 = cells(book, "Page_2");
  const std::pair<const char *, QJsonValue> headCells[] = {
      {"A1", "Combined Plots of Load vs Settlement"}, {"A2", "X"}, {"B2", "Axial Load (kN)"}, {"A3", "Y"},
      {"B3", "Settlement (m)"}, {"A4", "Curve 1"}, {"C4", "Curve 2"}, {"A5", "X"}, {"B5", "Y"}, {"D5", "Y"}};
  for (const auto &[cell, value] : headCells) EXPECT_EQ(page2[cell], value) << cell;

  const QJsonObject chart1 = book["charts"]["Plot_1"].toObject();
  const QJsonObject chart2 = book["charts"]["Plot_2"].toObject();
  EXPECT_EQ(chart2["axes"]["x"]["title"], "Axial Load (kN)");
  EXPECT_EQ(chart2["axes"]["y"]["title"], "Settlement (m)");
  EXPECT_EQ(chart1["axes"]["x"]["title"], "Axial Load (tons)");
  EXPECT_EQ(chart1["axes"]["y"]["title"], "Depth (ft)");
  for (const QJsonObject &chart : {chart1, chart2}) {
    EXPECT_EQ(chart["kind"], "scatter");
    EXPECT_EQ(chart["style"], "lineMarker");
    EXPECT_FALSE(chart["has_title"].toBool());
    EXPECT_TRUE(chart["title_deleted"].toBool());
    EXPECT_TRUE(chart["axes"]["x"]["gridlines"].toBool());
    EXPECT_TRUE(chart["axes"]["y"]["gridlines"].toBool());
    EXPECT_EQ(chart["legend"]["fill"], "FFFFFF");
    EXPECT_EQ(chart["legend"]["border"], "000000");
  }
}

// The charts' y axis runs as on screen: depth grows downwards below the x
// axis; elevations (a depth plot labelled with elevations) grow upwards over
// the window's range, the x axis staying on top; a plot with its x axis below
// keeps y upwards.
TEST_F(WorkbookTest, TheYAxisRunsAsOnScreen) {
  TGraphPlot depth = plotWithCurves("Ultimate Total Capacity vs Depth", {3});
  TGraphPlot elevation = plotWithCurves("Ultimate Total Capacity vs Depth", {11});
  elevation.Yreversed = true;
  // Elevations 100 down to 55: a range of 45 rounds to steps of 10, the low
  // end towards zero (50), the high end away from it (100).
  for (int i = 0; i < 11; ++i) elevation.fData[0].fData[static_cast<std::size_t>(i)].y = 100 - 4.5L * i;
  TGraphPlot upward = plotWithCurves("Load", {3});
  upward.fXOnTop = false;
  write({&depth, &elevation, &upward});
  const QJsonObject book = readBack(path());
  const struct {
    const char *chart, *yOrientation, *xCrosses;
  } cases[] = {{"Plot_1", "maxMin", "autoZero"}, {"Plot_2", "minMax", "max"}, {"Plot_3", "minMax", "autoZero"}};
  for (const auto &c : cases) {
    const QJsonObject axes = book["charts"][c.chart]["axes"].toObject();
    EXPECT_EQ(axes["y"]["orientation"], c.yOrientation) << c.chart;
    EXPECT_EQ(axes["x"]["crosses"], c.xCrosses) << c.chart;
  }
  EXPECT_EQ(book["charts"]["Plot_2"]["axes"]["y"]["min"], "50");
  EXPECT_EQ(book["charts"]["Plot_2"]["axes"]["y"]["max"], "100");
  EXPECT_TRUE(book["charts"]["Plot_1"]["axes"]["y"]["min"].isNull());
}

TEST_F(WorkbookTest, ThreeCurvesFillColumnsAToFFromRow6AndTheirSeriesSpanRows6To17) {
  const TGraphPlot plot = plotWithCurves("t-z curves (averaged)", {10, 12, 8});
  write({&plot});
  const QJsonObject book = readBack(path());
  const QJsonObject page = cells(book, "Page_1");
  // Every point is a number in its row; a shorter curve leaves its cells empty.
  const int counts[] = {10, 12, 8};
  int points = 0;
  for (int c = 0; c < 3; ++c) {
    const QString x = ColumnLetters(2 * c + 1), y = ColumnLetters(2 * c + 2);
    EXPECT_EQ(page[x + "4"], QString("Curve %1").arg(c + 1));
    for (int i = 0; i < 12; ++i) {
      const QString row = QString::number(6 + i);
      if (i < counts[c]) {
        EXPECT_TRUE(page[x + row].isDouble()) << (x + row).toStdString();
        EXPECT_EQ(page[x + row].toDouble(), 100.0 * c + i + 0.25) << (x + row).toStdString();
        EXPECT_EQ(page[y + row].toDouble(), 1.5 * i) << (y + row).toStdString();
        points += 2;
      } else {
        EXPECT_FALSE(page.contains(x + row)) << (x + row).toStdString();
        EXPECT_FALSE(page.contains(y + row)) << (y + row).toStdString();
      }
    }
  }
  EXPECT_FALSE(page.contains("A18"));
  EXPECT_FALSE(page.contains("C18"));
  // Caption, axis titles (4), the link back (G1), names (3), X/Y headings (6), points: nothing else.
  EXPECT_EQ(page["G1"], "Legend!A1");
  EXPECT_EQ(page.size(), 1 + 4 + 1 + 3 + 6 + points);

  const QJsonArray series = book["charts"]["Plot_1"]["series"].toArray();
  ASSERT_EQ(series.size(), 3);
  const char *ranges[][3] = {{"Page_1!$A$6:$A$17", "Page_1!$B$6:$B$17", "Page_1!$A$4"},
                             {"Page_1!$C$6:$C$17", "Page_1!$D$6:$D$17", "Page_1!$C$4"},
                             {"Page_1!$E$6:$E$17", "Page_1!$F$6:$F$17", "Page_1!$E$4"}};
  for (int h = 0; h < 3; ++h) {
    EXPECT_EQ(series[h]["x"], ranges[h][0]);
    EXPECT_EQ(series[h]["y"], ranges[h][1]);
    EXPECT_EQ(series[h]["name_ref"], ranges[h][2]);
    EXPECT_EQ(series[h]["name"], QString("Curve %1").arg(h + 1));
    EXPECT_TRUE(series[h]["marker"].isNull()) << "default markers";
  }
}

TEST_F(WorkbookTest, ThreeHundredCurvesAreAllWrittenAndTheChartShows255) {
  const TGraphPlot plot = plotWithCurves("Additional t-z curves (averaged)", std::vector<int>(300, 2));
  const TGraphPlot small = plotWithCurves("Q-w curves (averaged)", {2});
  const TWorkbookOutcome outcome = write({&small, &plot});
  EXPECT_TRUE(outcome.more255);
  EXPECT_TRUE(outcome.message.startsWith(
      "Export to Excel Completed\rPlease note that you need to save the excel file\r"
      "Some plots show only 255 series because Excel limitation \rPlease check \r"));
  const QJsonObject book = readBack(path());
  const QJsonObject page = cells(book, "Page_2");
  EXPECT_EQ(page[ColumnLetters(599) + "4"], "Curve 300");
  EXPECT_EQ(page[ColumnLetters(600) + "7"].toDouble(), 1.5);
  EXPECT_FALSE(page.contains(ColumnLetters(601) + "5"));
  const QJsonArray series = book["charts"]["Plot_2"]["series"].toArray();
  ASSERT_EQ(series.size(), 255);
  EXPECT_EQ(series[254]["x"], "Page_2!$SO$6:$SO$7");
  EXPECT_EQ(series[254]["y"], "Page_2!$SP$6:$SP$7");
  EXPECT_EQ(series[254]["name"], "Curve 255");
  EXPECT_EQ(book["charts"]["Plot_1"]["series"].toArray().size(), 1);
}

TEST_F(WorkbookTest, WithoutMarkersNoSeriesHasMarkers) {
  const TGraphPlot plot = plotWithCurves("Design Chart (0.5-in movement)", {5, 5, 5});
  write({&plot}, false);
  const QJsonObject book = readBack(path());
  const QJsonArray series = book["charts"]["Plot_1"]["series"].toArray();
  ASSERT_EQ(series.size(), 3);
  for (const QJsonValue s : series) EXPECT_EQ(s["marker"], "none");
}

// A plot without curves or points still gets its sheets, and its chart has
// one empty series; a value that is no number stays an empty cell. The
// workbook stays valid.
TEST_F(WorkbookTest, EmptyPlotsAndValuesWithoutANumberKeepTheWorkbookValid) {
  const TGraphPlot empty("Design Chart 3", "Axial Capacity", "F2", "Depth", "L2");
  const TGraphPlot noPoints = plotWithCurves("Design Chart 4", {0, 0});
  TGraphPlot odd = plotWithCurves("Design Chart 5", {2});
  odd.fData[0].fData[0].x = std::numeric_limits<Extended>::quiet_NaN();
  odd.fData[0].fData[1].y = std::numeric_limits<Extended>::infinity();
  write({&empty, &noPoints, &odd});
  const QJsonObject book = readBack(path());
  EXPECT_EQ(book["sheets"].toArray().size(), 7);
  EXPECT_EQ(book["charts"]["Plot_1"]["series"].toArray().size(), 1);
  EXPECT_EQ(book["charts"]["Plot_2"]["series"][1]["x"], "Page_2!$C$6");
  const QJsonObject page = cells(book, "Page_3");
  EXPECT_FALSE(page.contains("A6"));
  EXPECT_EQ(page["B6"].toDouble(), 0);
  EXPECT_EQ(page["A7"].toDouble(), 1.25);
  EXPECT_FALSE(page.contains("B7"));
}

// With a decimal comma in the C library's locale (as a user's locale sets
// it) the workbook's numbers still read back as numbers.
TEST_F(WorkbookTest, NumbersStayNumbersUnderADecimalCommaLocale) {
  const QString locales = dir.filePath("locales");
  QDir().mkpath(locales);
  if (QProcess::execute("localedef", {"-i", "de_DE", "-f", "UTF-8", locales + "/de_DE.UTF-8"}) != 0)
    GTEST_SKIP() << "no de_DE locale can be built here";
  const QByteArray oldPath = qgetenv("LOCPATH");
  qputenv("LOCPATH", QFile::encodeName(locales));
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") || std::localeconv()->decimal_point[0] != ',') {
    std::setlocale(LC_ALL, saved.c_str());
    GTEST_SKIP() << "the de_DE locale could not be set";
  }
  const TGraphPlot plot = plotWithCurves("Ultimate Tip Resistance vs Depth", {4});
  const TWorkbookOutcome outcome = WriteWorkbook(path(), {&plot}, true);
  std::setlocale(LC_ALL, saved.c_str());
  if (oldPath.isNull()) qunsetenv("LOCPATH"); else qputenv("LOCPATH", oldPath);
  ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
  const QJsonObject page = cells(readBack(path()), "Page_1");
  EXPECT_TRUE(page["A9"].isDouble());
  EXPECT_EQ(page["A9"].toDouble(), 3.25);
  EXPECT_EQ(page["B9"].toDouble(), 4.5);
}

// A failed export says what failed and leaves the file that was there.
TEST_F(WorkbookTest, AFailedExportLeavesTheOldFileAndSaysWhatFailed) {
  const QByteArray old = "the workbook of yesterday";
  const auto writeOld = [&](const QString &file) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(old);
  };
  const auto contents = [](const QString &file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  };
  const TGraphPlot plot = plotWithCurves("Ultimate Total Capacity vs Depth", {50, 50});
  const QString prefix = "The workbook could not be written to ";

  // A folder that does not exist.
  {
    const QString target = dir.filePath("missing/plots.xlsx");
    const TWorkbookOutcome outcome = WriteWorkbook(target, {&plot}, true);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.message.startsWith(prefix + QDir::toNativeSeparators(target) + ": ")) << outcome.message.toStdString();
    EXPECT_FALSE(QFile::exists(target));
  }
  // More curves than a worksheet has columns.
  {
    writeOld(path());
    const TGraphPlot huge = plotWithCurves("Additional t-z curves (averaged)", std::vector<int>(8193, 1));
    const TWorkbookOutcome outcome = WriteWorkbook(path(), {&plot, &huge}, true);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, prefix + QDir::toNativeSeparators(path()) +
                                   ": the plot \"Additional t-z curves (averaged)\" has more curves or points than a "
                                   "worksheet holds");
    EXPECT_EQ(contents(path()), old);
  }
  // The disk fills up: every file of the process is limited to 4 kB.
  {
    writeOld(path());
    const TWorkbookOutcome outcome = [&] {
      const TFileSizeLimit full(4096);
      EXPECT_TRUE(full.Active());
      return WriteWorkbook(path(), {&plot}, true);
    }();
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.message.startsWith(prefix)) << outcome.message.toStdString();
    EXPECT_EQ(contents(path()), old);
  }
  // A folder where the workbook should be: it is not replaced.
  {
    const QString target = dir.filePath("folder.xlsx");
    ASSERT_TRUE(QDir().mkpath(target + "/inside"));
    const TWorkbookOutcome outcome = WriteWorkbook(target, {&plot}, true);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.message.startsWith(prefix)) << outcome.message.toStdString();
    EXPECT_TRUE(QFileInfo(target + "/inside").isDir());
  }
  // A folder that may not be written to (root may write anywhere).
  if (geteuid() != 0) {
    const QString folder = dir.filePath("readonly");
    QDir().mkpath(folder);
    writeOld(folder + "/plots.xlsx");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const TWorkbookOutcome outcome = WriteWorkbook(folder + "/plots.xlsx", {&plot}, true);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(contents(folder + "/plots.xlsx"), old);
  }
  // Nothing half-written is left beside the target.
  const QStringList left = QDir(dir.path()).entryList(QDir::Files);
  EXPECT_EQ(left, QStringList({"plots.xlsx"}));
}

TEST(ExportClipboard, CurvesAsTabSeparatedColumns) {
  TGraphPlot plot("Q-w curves (averaged)", "Tip Displacement, w", "L", "Tip Load, Q", "F2");
  plot.SetCurveCount(2);
  plot.fData[0].fData = {{0, 0}, {0.5L, 12.25L}};
  plot.fData[1].fData = {{1, 2}};
  plot.SetCurveName(0, "Trend");
  const QString titles = "Tip Displacement, w (in)\tTip Load, Q (tons)";
  EXPECT_EQ(CurvesAsText(plot, u'.'), "Trend\t\tCurve #2\t\n" + titles + "\t" + titles + "\n" +
                                           "0\t0\t1\t2\n"
                                           "0.5\t12.25\t\t\n");
  EXPECT_EQ(CurvesAsText(plot, u',').split('\n')[3], "0,5\t12,25\t\t");
  EXPECT_EQ(CurvesAsText(TGraphPlot(), u'.'), "");
}

// The workbook of a sample with design charts, every plot with points, as
// LibreOffice opens it: converted to PDF, its pages hold the plot captions and
// the charts' axis titles. The PDF stays in test-output/export for people.
TEST(ExportInLibreOffice, ASamplesWorkbookConvertsToPdf) {
  const QString office = QStandardPaths::findExecutable("libreoffice");
  const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
  if (office.isEmpty() || pdftotext.isEmpty()) GTEST_SKIP() << "LibreOffice or pdftotext is not installed";
  QTemporaryDir dir;
  const QString sample = "gravel-rollins-charts.pq8d";
  const QString project = dir.filePath(sample);
  ASSERT_TRUE(QFile::copy(PYLAR_SOURCE_DIR "/examples/" + sample, project));
  engine::runProject(project.toStdString());
  TProjectTables tables;
  auto read = TProgramData::CreateFromFile(tables, project, ffVersion8);
  ASSERT_TRUE(read.data);
  ASSERT_EQ(read.data->IChart, 1);
  TResultPlots plots;
  ASSERT_TRUE(ReadPlotData(dir.filePath("gravel-rollins-charts.pq8p"), PlotDataContext(*read.data), plots).ok);
  std::vector<const TGraphPlot *> chosen;
  for (const TExportCandidate &candidate : ExportCandidates(plots))
    if (candidate.plot->PointCount() > 0) chosen.push_back(candidate.plot);
  ASSERT_GT(chosen.size(), 10u);
  ASSERT_TRUE(plots.PltChart[0].PointCount() > 0);
  const QString workbook = dir.filePath("gravel-rollins-charts.xlsx");
  ASSERT_TRUE(WriteWorkbook(workbook, chosen, true).ok);

  const QString output = QStringLiteral(PYLAR_BIN_DIR "/../test-output/export");
  QDir().mkpath(output);
  QFile::remove(output + "/gravel-rollins-charts.pdf");
  QProcess convert;
  convert.setWorkingDirectory(dir.path());
  convert.start(office, {"-env:UserInstallation=file://" + dir.filePath("profile"), "--headless", "--convert-to",
                         "pdf", "--outdir", output, workbook});
  ASSERT_TRUE(convert.waitForFinished(300000));
  const QString pdf = output + "/gravel-rollins-charts.pdf";
  ASSERT_TRUE(QFileInfo(pdf).size() > 0) << convert.readAllStandardError().toStdString();
  QProcess text;
  text.start(pdftotext, {"-layout", pdf, "-"});
  ASSERT_TRUE(text.waitForFinished(60000));
  const QString pages = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_TRUE(pages.contains("Ultimate Skin Friction vs Depth"));
  EXPECT_TRUE(pages.contains(plots.PltChart[0].fCaption));
  EXPECT_TRUE(pages.contains("Depth (ft)") || pages.contains("Depth (m)"));
  EXPECT_TRUE(pages.contains("Complete"));
}

}  // namespace
}  // namespace pylar
