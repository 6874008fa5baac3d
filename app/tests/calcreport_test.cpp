// What the calculation report is made of, without drawing: the design check
// of page one, the job block and where its values are kept, the export's
// command line, and the page layout rules.
#include "model/AnalysisRun.h"
#include "model/CalcReportData.h"
#include "model/DesignSummary.h"
#include "model/PageFlow.h"
#include "model/PltData.h"
#include "model/ReportFile.h"
#include "model/ReportJob.h"
#include "model/ReportResults.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace pylar {
namespace {

const QString kGolden = QStringLiteral(PYLAR_SOURCE_DIR "/engine/tests/golden/");

TSettlementPoint point(const char *load, const char *settlement) {
  return {PrintedValue(QString::fromLatin1(load)), PrintedValue(QString::fromLatin1(settlement))};
}

TDesignSummary goldenSummary(const QString &sample, double allowable) {
  const TTextFile report = ReadTextFile(kGolden + sample + ".pq8o");
  const TSeriesResults results = ReadSeriesResults(report, kGolden + sample + ".pq8p");
  const QString notes = kGolden + sample + ".pq8r";
  return BuildDesignSummary(results, ReadReportInputs(report.lines), ReadRunWarnings(notes), RunShortfalls(notes),
                            allowable);
}

QByteArray bytesOf(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

// Straight lines between the printed points, from no settlement at no load;
// where the curve turns back, the first place it reaches the load.
TEST(DesignSummary, SettlementIsReadOffThePrintedCurve) {
  const std::vector<TSettlementPoint> curve{point("0.1000E+02", "0.1000E+00"), point("0.3000E+02", "0.5000E+00"),
                                            point("0.2500E+02", "0.7000E+00"), point("0.4000E+02", "0.1000E+01")};
  const struct {
    double load;
    std::optional<double> settlement;
  } cases[] = {
      {5, 0.05},   // 0 + 5 * 0.1 / 10
      {10, 0.1},   // on a point
      {20, 0.3},   // 0.1 + 10 * 0.4 / 20
      {30, 0.5},   // on a point
      {35, 0.9},   // after the turn back to 25: 0.7 + 10 * 0.3 / 15
      {40, 1.0},   // the last point
      {40.5, {}},  // beyond the curve
      {std::nan(""), {}},
  };
  for (const auto &c : cases) {
    const std::optional<double> at = SettlementAtLoad(curve, c.load);
    ASSERT_EQ(at.has_value(), c.settlement.has_value()) << c.load;
    if (at) {
      EXPECT_NEAR(*at, *c.settlement, 1e-12) << c.load;
    }
  }
  // A point that is not a number (an overflow) before the load: not read past it.
  EXPECT_FALSE(SettlementAtLoad({point("0.1000E+02", "0.1000E+00"), point("*****", "0.2000E+00"),
                                 point("0.3000E+02", "0.3000E+00")},
                                20));
  EXPECT_FALSE(SettlementAtLoad({}, 1));
}

TEST(DesignSummary, RatiosAreCutNotRoundedUp) {
  EXPECT_EQ(RatioText(153.9 / 150.0), "1.02");
  EXPECT_EQ(RatioText(0.9999), "0.99");
  EXPECT_EQ(RatioText(1.05), "1.05");
  EXPECT_EQ(RatioText(2), "2.00");
  EXPECT_EQ(RatioText(std::nan("")), "-");
}

// The clay sample: a design load of 150.0 tons; each pier's QDN at the length
// it stopped at against it, and the settlement of the chosen 3 ft pier on the
// trend curve the report prints for it.
TEST(DesignSummary, DesignLoadSampleChecksEveryPierAndTheChosenOnesSettlement) {
  const TDesignSummary s = goldenSummary("clay-design-load-english", 1.0);
  EXPECT_TRUE(s.designLoad);
  EXPECT_FALSE(s.lrfd);
  EXPECT_EQ(s.designLoadText, "150.0");
  EXPECT_EQ(s.loadUnit, "tons");
  EXPECT_EQ(s.lengthUnit, "ft");
  EXPECT_EQ(s.capacityColumn, "QDN");
  const struct {
    const char *stem, *length, *capacity, *ratio;
  } piers[] = {
      {"3.000", "41.000", "153.9", "1.02"},  // 153.9 / 150.0 = 1.026
      {"3.500", "33.000", "150.4", "1.00"},  // 1.0027
      {"4.000", "28.000", "154.9", "1.03"},  // 1.0327
      {"4.500", "22.000", "150.2", "1.00"},  // 1.0013
      {"5.000", "18.000", "155.6", "1.03"},  // 1.0373
  };
  ASSERT_EQ(s.piers.size(), std::size(piers));
  for (std::size_t p = 0; p < s.piers.size(); ++p) {
    EXPECT_EQ(s.piers[p].stem, piers[p].stem);
    EXPECT_EQ(s.piers[p].length, piers[p].length);
    EXPECT_EQ(s.piers[p].capacity, piers[p].capacity);
    ASSERT_TRUE(s.piers[p].ratio);
    EXPECT_EQ(RatioText(*s.piers[p].ratio), piers[p].ratio);
    EXPECT_EQ(s.piers[p].carried, TCheck::Yes);
  }
  EXPECT_TRUE(s.AllCarried());
  EXPECT_EQ(s.chosen, 0);
  // Trend: 150 tons between (119.0, 0.04332) and (185.8, 0.07967):
  // 0.04332 + 31.0 * 0.03635 / 66.8 = 0.060189 in. Upper bound between
  // (74.11, 0.02114) and (180.8, 0.05261): 0.043525 in. Lower bound between
  // (117.5, 0.06851) and (164.0, 0.1011): 0.091288 in.
  EXPECT_EQ(s.settlement.unit, "in");
  ASSERT_TRUE(s.settlement.value[kTrendLine] && s.settlement.value[kUpperLine] && s.settlement.value[kLowerLine]);
  EXPECT_NEAR(*s.settlement.value[kTrendLine], 0.060189, 1e-6);
  EXPECT_NEAR(*s.settlement.value[kUpperLine], 0.043525, 1e-6);
  EXPECT_NEAR(*s.settlement.value[kLowerLine], 0.091288, 1e-6);
  EXPECT_EQ(s.settlement.within, TCheck::Yes);
  EXPECT_FALSE(s.settlement.boundExceeds);
  // An allowable settlement of 0.05 in: the trend exceeds it; one of 0.08 in:
  // the trend is within, the lower bound is not.
  EXPECT_EQ(goldenSummary("clay-design-load-english", 0.05).settlement.within, TCheck::No);
  const TDesignSummary tight = goldenSummary("clay-design-load-english", 0.08);
  EXPECT_EQ(tight.settlement.within, TCheck::Yes);
  EXPECT_TRUE(tight.settlement.boundExceeds);
  EXPECT_TRUE(s.warnings.empty());
  EXPECT_TRUE(s.notes.isEmpty()) << s.notes.join("; ").toStdString();
}

// A proposed length in LRFD: the factored capacity at that length, the
// settlement under the chosen pier's factored capacity, the run's warnings
// with their layers, and an SI sample's settlement in millimetres.
TEST(DesignSummary, ProposedLengthSamplesGiveCapacityAndSettlementUnderIt) {
  const TDesignSummary s = goldenSummary("deep-profile-lrfd", 1.0);
  EXPECT_FALSE(s.designLoad);
  EXPECT_TRUE(s.lrfd);
  EXPECT_EQ(s.proposedLength, "80.0");
  EXPECT_EQ(s.capacityColumn, "LRFD QU");
  ASSERT_EQ(s.piers.size(), 3u);
  for (const TPierCheck &pier : s.piers) {
    EXPECT_EQ(pier.length, "80.000");
    EXPECT_FALSE(pier.ratio);
    EXPECT_EQ(pier.carried, TCheck::Unknown);
  }
  ASSERT_GE(s.chosen, 0);
  EXPECT_EQ(s.settlementLoadText, s.piers[static_cast<std::size_t>(s.chosen)].capacity);
  EXPECT_TRUE(s.settlement.value[kTrendLine]);
  ASSERT_EQ(s.warnings.size(), 2u);
  EXPECT_EQ(s.warnings[0].layer, 5);
  EXPECT_EQ(s.warnings[1].layer, 12);

  const TDesignSummary si = goldenSummary("sand-ko-si", 25);
  EXPECT_TRUE(si.designLoad);
  EXPECT_EQ(si.designLoadText, "900.0");
  EXPECT_EQ(si.loadUnit, "kN");
  EXPECT_EQ(si.settlement.unit, "mm");
  ASSERT_TRUE(si.settlement.value[kTrendLine]);
  // Printed in metres, shown in millimetres: a few millimetres, not a few thousandths.
  EXPECT_GT(*si.settlement.value[kTrendLine], 0.1);
  EXPECT_LT(*si.settlement.value[kTrendLine], 25);
}

// A pier the engine says falls short is not carried whatever its row says,
// and the run's shortfall message is kept.
TEST(DesignSummary, APierThatFallsShortIsNotCarried) {
  TSeriesResults r;
  r.columns = {"LENGTH", "VOLUME", "QS", "QB", "QU", "QBD", "QDN", "QU/VOLUME"};
  r.units = {"(FT)", "(CU.YDS)", "(TONS)", "(TONS)", "(TONS)", "(TONS)", "(TONS)", "(TONS/CU.YDS)"};
  const auto pier = [](const char *qdn, bool short_) {
    TSeriesPier p;
    p.stem = p.base = PrintedValue("3.000");
    p.length = PrintedValue("70.000");
    p.complete = true;
    p.designLoadNotReached = short_;
    for (const char *v : {"70.0", "10.0", "1.0", "1.0", "2.0", "1.0", qdn, "3.0"}) p.row.push_back(PrintedValue(v));
    return p;
  };
  r.piers = {pier("99.0", true), pier("120.0", false), pier("*******", false)};
  TReportInputs inputs;
  inputs.project.push_back({"TOTAL LOAD", "100.0 TONS", false});
  const TDesignSummary s = BuildDesignSummary(r, inputs, {}, {"THE PIER NEEDS A DEEPER PROFILE."}, 1.0);
  ASSERT_EQ(s.piers.size(), 3u);
  EXPECT_EQ(s.piers[0].carried, TCheck::No);
  EXPECT_EQ(s.piers[1].carried, TCheck::Yes);
  EXPECT_EQ(s.piers[2].carried, TCheck::Unknown);  // an overflowing field is no number to check
  EXPECT_FALSE(s.AllCarried());
  EXPECT_EQ(s.shortfalls, QStringList{"THE PIER NEEDS A DEEPER PROFILE."});
  // No most efficient pier: no settlement, and the page says why.
  EXPECT_EQ(s.chosen, -1);
  EXPECT_EQ(s.settlement.within, TCheck::Unknown);
  EXPECT_FALSE(s.notes.isEmpty());
}

// Company, engineer and the allowable settlements live in the user's
// settings; project number, revision, location and checker in the job file
// beside the project, which is made only when one of them is given.
TEST(ReportJob, SettingsAndTheJobFileBesideTheProject) {
  QTemporaryDir settings, dir;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  const QString project = dir.filePath("pier.pq8d");
  ASSERT_TRUE(writeBytes(project, "the project\r\n"));

  TReportJob job = LoadReportJob(project);
  EXPECT_EQ(job, TReportJob{});  // nothing stored: blanks and 1.0 in / 25 mm
  EXPECT_EQ(job.Allowable(1), 1.0);
  EXPECT_EQ(job.Allowable(2), 25.0);
  // Nothing for the project: no job file is made.
  job.Company = "Example Engineering";
  EXPECT_EQ(WriteReportJobFile(project, job), QString());
  EXPECT_FALSE(QFileInfo::exists(ReportJobFile(project)));

  job.Engineer = "A. Engineer";
  job.SetAllowable(2, 40);
  WriteReportJobSettings(job);
  job.ProjectNumber = "2024-017";
  job.Revision = "B";
  job.Location = "Harbour Road, pier 4";
  job.Checker = "C. Checker\tof\nsite";  // control characters are no part of a job block
  ASSERT_EQ(WriteReportJobFile(project, job), QString());
  EXPECT_EQ(ReportJobFile(project), dir.filePath("pier.pq8j"));
  EXPECT_EQ(bytesOf(ReportJobFile(project)),
            "PYLAR REPORT JOB 1\r\nPROJECT NUMBER: 2024-017\r\nREVISION: B\r\nLOCATION: Harbour Road, pier 4\r\n"
            "CHECKER: C. Checker of site\r\n");
  EXPECT_EQ(bytesOf(project), "the project\r\n");  // the project is never written

  const TReportJob read = LoadReportJob(project);
  EXPECT_EQ(read.Company, "Example Engineering");
  EXPECT_EQ(read.Engineer, "A. Engineer");
  EXPECT_EQ(read.AllowableMillimetres, 40);
  EXPECT_EQ(read.AllowableInches, 1.0);
  EXPECT_EQ(read.ProjectNumber, "2024-017");
  EXPECT_EQ(read.Checker, "C. Checker of site");
  // Another project in the same folder has its own job (none).
  EXPECT_EQ(LoadReportJob(dir.filePath("other.pq8d")).ProjectNumber, QString());

  // Job files that are not read, each with its reason; the job keeps its values.
  const struct {
    const char *what;
    QByteArray bytes;
    const char *reason;  // empty: read
  } files[] = {
      {"LF line ends, an unknown key, no blank after the colon", "PYLAR REPORT JOB 1\nREVISION:C\nCOLOUR: red\n", ""},
      {"another file under the name", "PROJECT NUMBER: 1\r\n", "is not a job file"},
      {"too large", "PYLAR REPORT JOB 1\r\n" + QByteArray(70000, 'x'), "larger than any job file"},
  };
  for (const auto &f : files) {
    ASSERT_TRUE(writeBytes(ReportJobFile(project), f.bytes));
    TReportJob j;
    j.Revision = "A";
    const QString reason = ReadReportJobFile(project, j);
    if (*f.reason == 0) {
      EXPECT_EQ(reason, QString()) << f.what;
      EXPECT_EQ(j.Revision, "C") << f.what;
      EXPECT_EQ(j.ProjectNumber, QString()) << f.what;
    } else {
      EXPECT_TRUE(reason.contains(f.reason)) << f.what << ": " << reason.toStdString();
      EXPECT_EQ(j.Revision, "A") << f.what;
    }
  }
  ASSERT_TRUE(QFile::remove(ReportJobFile(project)));
  ASSERT_TRUE(QDir(dir.path()).mkdir("pier.pq8j"));
  TReportJob j;
  EXPECT_TRUE(ReadReportJobFile(project, j).contains("not a regular file"));
  EXPECT_FALSE(WriteReportJobFile(project, job).isEmpty());  // a folder is not written over
  QSettings(QStringLiteral("Vexlor"), QStringLiteral("PYLAR")).clear();
}

TEST(ReportJob, ExportCommandLine) {
  const auto parse = [](const QStringList &arguments) { return ParseExportArguments(arguments); };
  TExportArguments a = parse({"--export", "out", "p.pq8d"});
  EXPECT_EQ(a.Error, QString());
  EXPECT_EQ(a.OutDir, "out");
  EXPECT_EQ(a.Project, "p.pq8d");
  EXPECT_FALSE(a.Company || a.AllowableSettlement);

  a = parse({"--export", "--company", "Example Engineering", "out", "--revision=C", "p.pq8d", "--engineer",
             "A. Engineer", "--checker=C. Checker", "--project-number", "2024-017", "--location", "Harbour Road",
             "--allowable-settlement", "0.75"});
  ASSERT_EQ(a.Error, QString());
  EXPECT_EQ(a.OutDir, "out");
  EXPECT_EQ(a.Project, "p.pq8d");
  TReportJob job;
  job.Company = "Stored Company";
  job.Checker = "Stored Checker";
  a.ApplyTo(job, 1);
  EXPECT_EQ(job.Company, "Example Engineering");
  EXPECT_EQ(job.Engineer, "A. Engineer");
  EXPECT_EQ(job.Checker, "C. Checker");
  EXPECT_EQ(job.ProjectNumber, "2024-017");
  EXPECT_EQ(job.Revision, "C");
  EXPECT_EQ(job.Location, "Harbour Road");
  EXPECT_EQ(job.AllowableInches, 0.75);
  EXPECT_EQ(job.AllowableMillimetres, 25);
  // An option given empty clears the stored value; one not given keeps it.
  TReportJob kept;
  kept.Company = "Stored Company";
  kept.Engineer = "Stored Engineer";
  parse({"--export", "out", "p.pq8d", "--company="}).ApplyTo(kept, 2);
  EXPECT_EQ(kept.Company, QString());
  EXPECT_EQ(kept.Engineer, "Stored Engineer");

  const struct {
    QStringList arguments;
    const char *error;
  } wrong[] = {
      {{"--export"}, "needs an output folder and a project"},
      {{"--export", "out"}, "needs an output folder and a project"},
      {{"--export", "out", "a.pq8d", "b.pq8d"}, "needs an output folder and a project"},
      {{"a.pq8d", "--export", "out"}, "the first argument is not --export"},
      {{"--export", "out", "p.pq8d", "--colour", "red"}, "unknown option --colour"},
      {{"--export", "out", "p.pq8d", "--company"}, "--company needs a value"},
      {{"--export", "out", "p.pq8d", "--allowable-settlement", "one"}, "needs a positive number"},
      {{"--export", "out", "p.pq8d", "--allowable-settlement=-1"}, "needs a positive number"},
      {{"--export", "out", "p.pq8d", "--allowable-settlement=nan"}, "needs a positive number"},
  };
  for (const auto &w : wrong)
    EXPECT_TRUE(parse(w.arguments).Error.contains(w.error))
        << w.arguments.join(' ').toStdString() << ": " << parse(w.arguments).Error.toStdString();
}

// The loader gives every result plot its footer: the project, the pier it
// shows and the date of the run from the report beside the plot data.
TEST(PlotFooter, ResultPlotsSayWhatTheyShow) {
  TPlotDataContext context;
  context.Title = "Overconsolidated clay";
  context.DSTART = 3;
  context.DIALIM = 5;
  TResultPlots plots;
  ASSERT_TRUE(ReadPlotData(kGolden + "clay-design-load-english.pq8p", context, plots).ok);
  const struct {
    const TGraphPlot *plot;
    const char *pier;
  } cases[] = {
      {&plots.pltSkin, "all piers"},
      {&plots.pltAxial, "all piers"},
      {&plots.pltCombine, "first pier of the series (Dia=3 ft)"},
      {&plots.pltCombinedSettle, "first pier of the series (Dia=3 ft)"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.plot->Footer.Project, "Overconsolidated clay");
    EXPECT_EQ(c.plot->Footer.Pier.toStdString(), c.pier);
    EXPECT_EQ(c.plot->Footer.RunDate, "March 05, 2024, 09:07:03");
  }
  EXPECT_EQ(plots.pltSkin.Footer.Text(), "Overconsolidated clay  |  all piers  |  run of March 05, 2024, 09:07:03");
  // A plot-data file that does not read sets none.
  TResultPlots none;
  EXPECT_FALSE(ReadPlotData(kGolden + "no-such-file.pq8p", context, none).ok);
  EXPECT_TRUE(none.pltSkin.Footer.IsEmpty());
}

// Blocks on pages of height 100: where each one lands.
TEST(PageFlow, AHeadingNeverEndsAPageWithoutWhatItIntroduces) {
  struct TStep {
    char op;  // 'P' place, 'S' space, 'N' new page
    double height;
    bool withNext;
  };
  struct TPlace {
    int page;
    double top;
  };
  const struct {
    const char *what;
    std::vector<TStep> steps;
    std::vector<TPlace> places;  // of the placed blocks, in order
  } cases[] = {
      {"blocks that fit stay in order", {{'P', 40, false}, {'S', 5, false}, {'P', 40, false}}, {{0, 0}, {0, 45}}},
      {"a block that does not fit starts the next page", {{'P', 60, false}, {'P', 50, false}}, {{0, 0}, {1, 0}}},
      {"a heading at the foot of a page goes over with its first row",
       {{'P', 85, false}, {'P', 10, true}, {'P', 10, false}},
       {{0, 0}, {1, 0}, {1, 10}}},
      {"a heading, the space below it and a table's column headings go over together",
       {{'P', 70, false}, {'S', 5, false}, {'P', 10, true}, {'S', 3, false}, {'P', 8, true}, {'P', 8, false}},
       {{0, 0}, {1, 0}, {1, 13}, {1, 21}}},
      {"only the blocks placed with the next move",
       {{'P', 50, false}, {'P', 10, false}, {'P', 10, true}, {'P', 40, false}},
       {{0, 0}, {0, 50}, {1, 0}, {1, 10}}},
      {"a heading that starts its page stays", {{'P', 10, true}, {'P', 95, false}}, {{0, 0}, {1, 0}}},
      {"a heading and a block together taller than a page stay apart",
       {{'P', 50, false}, {'P', 10, true}, {'P', 95, false}},
       {{0, 0}, {0, 50}, {1, 0}}},
      {"no space at the top of a page", {{'P', 30, false}, {'N', 0, false}, {'S', 20, false}, {'P', 10, false}},
       {{0, 0}, {1, 0}}},
      {"a new page on an empty page is none", {{'N', 0, false}, {'P', 10, false}}, {{0, 0}}},
  };
  for (const auto &c : cases) {
    TPageFlow flow(100);
    std::vector<int> blocks;
    for (const TStep &step : c.steps) {
      if (step.op == 'P') blocks.push_back(flow.Place(step.height, step.withNext));
      if (step.op == 'S') flow.Space(step.height);
      if (step.op == 'N') flow.NewPage();
    }
    ASSERT_EQ(blocks.size(), c.places.size()) << c.what;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      EXPECT_EQ(flow.PageOf(blocks[b]), c.places[b].page) << c.what << ", block " << b;
      EXPECT_DOUBLE_EQ(flow.TopOf(blocks[b]), c.places[b].top) << c.what << ", block " << b;
    }
    // Each page lists its blocks in order, every block once.
    std::size_t listed = 0;
    for (int page = 0; page < flow.PageCount(); ++page) {
      double previous = -1;
      for (const int b : flow.PageBlocks(page)) {
        EXPECT_EQ(flow.PageOf(b), page) << c.what;
        EXPECT_GT(flow.TopOf(b), previous) << c.what;
        previous = flow.TopOf(b);
        ++listed;
      }
    }
    EXPECT_EQ(listed, blocks.size()) << c.what;
  }
}

}  // namespace pylar
