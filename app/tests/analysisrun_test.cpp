// The analysis run as the desktop program does it, with the real engine
// library: what it leaves in the project's folder and what it reports when
// the save, the removal of earlier results, the library or the engine fails.
#include "FileSizeLimit.h"
#include "model/AnalysisRun.h"
#include "model/DataUnit.h"
#include "model/PltData.h"
#include "model/dynlib.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>


namespace pylar {
namespace {

const QString kBinDir = QStringLiteral(PYLAR_BIN_DIR);
const QString kExamples = QStringLiteral(PYLAR_SOURCE_DIR "/examples");
const QString kGolden = QStringLiteral(PYLAR_SOURCE_DIR "/engine/tests/golden");

QByteArray readBytes(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QStringList filesIn(const QString &folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }

// A sample project copied into a folder of its own as p.pq8d, read into the model.
struct TRunFixture {
  QTemporaryDir dir;
  TProjectTables tables;
  std::unique_ptr<TProgramData> project;
  QString file = dir.filePath("p.pq8d");

  explicit TRunFixture(const char *example) {
    QFile::copy(kExamples + u'/' + QLatin1String(example), file);
    auto read = TProgramData::CreateFromFile(tables, file, ffVersion8);
    project = std::move(read.data);
  }
  QString result(const char *extension) const { return ChangeFileExt(file, QLatin1String(extension)); }
  // Results of an earlier run of another project, under this project's name.
  void leaveEarlierResults() {
    for (const char *extension : {".pq8o", ".pq8p", ".pq8r"})
      QFile::copy(kGolden + QStringLiteral("/mixed-profile-belled") + QLatin1String(extension), result(extension));
    writeBytes(result(".pq8z"), "detail of an earlier run");
  }
};

TEST(AnalysisRun, CompletedRunLeavesItsResultsAndNoRunFiles) {
  TRunFixture run("sand-asd-english.pq8d");
  run.leaveEarlierResults();
  int started = 0, ended = 0;
  TAnalysisRun analysis(kBinDir);
  analysis.OnEngineStart = [&] { ++started; };
  analysis.OnEngineEnd = [&] { ended += started; };
  const TRunOutcome outcome = analysis.Execute(*run.project);
  ASSERT_EQ(outcome.Status, TRunStatus::EngineRan) << outcome.UserMessage().toStdString();
  EXPECT_EQ(outcome.EngineStatus, 0);
  EXPECT_EQ(started, 1);
  EXPECT_EQ(ended, 1);
  EXPECT_TRUE(outcome.ReportWritten && outcome.PlotDataWritten && outcome.RunNotesWritten && outcome.DetailWritten);
  EXPECT_EQ(outcome.EngineMessage, QString());
  EXPECT_TRUE(outcome.UserMessage().startsWith(
      "Computations are completed.\rPlease, check output file for results or error messages.\r\rPier 1: stem "))
      << outcome.UserMessage().toStdString();
  // This run's report, not the earlier one.
  EXPECT_TRUE(readBytes(run.result(".pq8o")).contains("Sand profile, straight pier 3 to 4 ft"));
  const QStringList left = filesIn(run.dir.path());
  for (const char *gone : {"names.dat", "p.pq8w", "p.pq8t", "p.pq8q", "TZDIAM.DAT"})
    EXPECT_FALSE(left.contains(gone)) << gone;
}

TEST(AnalysisRun, FailedSaveRunsNothingAndSaysWhy) {
  TRunFixture run("sand-asd-english.pq8d");
  run.leaveEarlierResults();
  const QByteArray onDisk = readBytes(run.file);
  const QByteArray earlierReport = readBytes(run.result(".pq8o"));
  run.project->Title = "Edited, never saved";
  // The file system refuses to let a file grow past 100 bytes: the save fails
  // part way through its write.
  const TRunOutcome outcome = [&] {
    const TFileSizeLimit full(100);
    EXPECT_TRUE(full.Active());
    return TAnalysisRun(kBinDir).Execute(*run.project);
  }();

  EXPECT_EQ(outcome.Status, TRunStatus::SaveFailed);
  EXPECT_EQ(outcome.EngineStatus, -1);
  EXPECT_TRUE(outcome.UserMessage().startsWith("An error occured during saving\rCannot write the file "))
      << outcome.UserMessage().toStdString();
  // Nothing ran: the older file and the earlier results are as they were.
  EXPECT_EQ(readBytes(run.file), onDisk);
  EXPECT_EQ(readBytes(run.result(".pq8o")), earlierReport);
  EXPECT_EQ(filesIn(run.dir.path()), QStringList({"p.pq8d", "p.pq8o", "p.pq8p", "p.pq8r", "p.pq8z"}));
}

TEST(AnalysisRun, RunThatStopsBeforeItsPlotDataLeavesNoEarlierResults) {
  TRunFixture run("sand-asd-english.pq8d");
  run.leaveEarlierResults();
  // A layer code the engine rejects: it stops on the layer line, before any
  // plot record.
  run.tables.D.SetIntValue(lcSoilType, 0, 12);
  const TRunOutcome outcome = TAnalysisRun(kBinDir).Execute(*run.project);
  ASSERT_EQ(outcome.Status, TRunStatus::EngineRan);
  EXPECT_EQ(outcome.EngineStatus, 10);
  EXPECT_FALSE(outcome.PlotDataWritten);
  EXPECT_TRUE(outcome.ReportWritten && outcome.RunNotesWritten);
  EXPECT_TRUE(outcome.EngineMessage.startsWith("INPUT ERROR, ")) << outcome.EngineMessage.toStdString();
  EXPECT_TRUE(outcome.UserMessage().startsWith("Computations are completed, but there may be errors.\r"));
  EXPECT_TRUE(outcome.UserMessage().contains("\r\r" + outcome.EngineMessage + "\r\r"));
  EXPECT_TRUE(outcome.UserMessage().endsWith("The run notes are in " + QDir::toNativeSeparators(run.result(".pq8r"))));
  EXPECT_EQ(QFileInfo(run.result(".pq8p")).size(), 0);  // the earlier plot data is gone
  EXPECT_FALSE(readBytes(run.result(".pq8o")).contains("Belled pier, clay over sand"));
  EXPECT_NE(readBytes(run.result(".pq8z")), "detail of an earlier run");
}

// The summary after a completed run: each pier's printed stem, stopping
// length, QU and LRFD QU from the report's last capacity row of its case
// (deep-profile-lrfd: 80 ft piers of 4, 5 and 6 ft, the 4 ft one the most
// efficient).
TEST(AnalysisRun, CompletedRunSaysWhatEachPierCarries) {
  TRunFixture run("deep-profile-lrfd.pq8d");
  const TRunOutcome outcome = TAnalysisRun(kBinDir).Execute(*run.project);
  ASSERT_EQ(outcome.EngineStatus, 0);
  EXPECT_EQ(outcome.Summary.toStdString(),
            "Pier 1: stem 4.000 ft, length 80.000 ft, QU 1049.2 tons, LRFD QU 528.58 tons  (most efficient)\r"
            "Pier 2: stem 5.000 ft, length 80.000 ft, QU 1400.0 tons, LRFD QU 700.57 tons\r"
            "Pier 3: stem 6.000 ft, length 80.000 ft, QU 1800.8 tons, LRFD QU 895.03 tons");
  EXPECT_TRUE(outcome.UserMessage().endsWith("\r\r" + outcome.Summary));
}

// The warnings the report prints reach the completion message, each with its
// layer, before the summary of the piers; a run without warnings has none.
TEST(AnalysisRun, CompletionMessageListsTheRunsWarnings) {
  TRunFixture run("deep-profile-lrfd.pq8d");
  const TRunOutcome outcome = TAnalysisRun(kBinDir).Execute(*run.project);
  ASSERT_EQ(outcome.EngineStatus, 0);
  const std::vector<TRunWarning> expected = {
      {5, "Blow counts should be greater than 25 for this criterion. Select other soil criteria and do not use this "
          "output data."},
      {12, "THE SHEAR STRENGTH OF THIS MATERIAL MAY BE TOO HIGH FOR USING CLAY CRITERIA. DESIGN AS INTERMEDIATE "
           "GEOMATERIALS IS RECOMMENDED."}};
  EXPECT_EQ(outcome.Warnings, expected);
  EXPECT_TRUE(outcome.UserMessage().startsWith(
      "Computations are completed.\rPlease, check output file for results or error messages.\r\r"
      "2 warnings (see the report):\rLayer 5: Blow counts should be greater than 25"))
      << outcome.UserMessage().toStdString();

  TRunFixture quiet("sand-asd-english.pq8d");
  const TRunOutcome plain = TAnalysisRun(kBinDir).Execute(*quiet.project);
  ASSERT_EQ(plain.EngineStatus, 0);
  EXPECT_TRUE(plain.Warnings.empty());
  EXPECT_FALSE(plain.UserMessage().contains("warning"));

  // A list cut short or garbled is read as far as it holds.
  writeBytes(run.result(".pq8r"), "x\r\n     WARNINGS OF THE RUN:    3\r\n     ----\r\n     LAYER  2: a\r\n"
                                  "     GENERAL: b\r\n     LAYER x: c\r\n");
  const std::vector<TRunWarning> cut = {{2, "a"}, {0, "b"}};
  EXPECT_EQ(ReadRunWarnings(run.result(".pq8r")), cut);
}

TEST(AnalysisRun, DesignLoadNeverReachedIsTheEnginesMessage) {
  TRunFixture run("clay-design-load-english.pq8d");
  run.project->SetDesignLoad(150000);
  const TRunOutcome outcome = TAnalysisRun(kBinDir).Execute(*run.project);
  ASSERT_EQ(outcome.Status, TRunStatus::EngineRan);
  EXPECT_EQ(outcome.EngineStatus, 7);
  EXPECT_EQ(outcome.EngineMessage, "NEED ANOTHER SOIL LAYER");
  EXPECT_TRUE(outcome.PlotDataWritten);  // the capacity against depth is there
  // Every pier of the series (3 to 5 ft) says what it reaches, each whole
  // under the engine's message.
  ASSERT_EQ(outcome.Shortfalls.size(), 5);
  EXPECT_EQ(outcome.Shortfalls[4],
            "The design load of 150000 tons is not reached by the 5.000 ft pier within the soil profile: its largest "
            "allowable load is 509.4 tons at 70 ft. Try a larger diameter or a deeper profile.");
  EXPECT_TRUE(outcome.UserMessage().contains("\r\rNEED ANOTHER SOIL LAYER\r\r" + outcome.Shortfalls.join(u'\r') +
                                             "\r\r" + RunWarningsText(outcome.Warnings) + "\r\rThe run notes are in "));
}

// 400 tons: the 3, 3.5 and 4 ft piers fall short within the 70 ft profile,
// the 4.5 and 5 ft piers reach it; the run completes and says both.
TEST(AnalysisRun, CompletedRunSaysWhichPiersFallShort) {
  TRunFixture run("clay-design-load-english.pq8d");
  run.project->SetDesignLoad(400);
  const TRunOutcome outcome = TAnalysisRun(kBinDir).Execute(*run.project);
  ASSERT_EQ(outcome.EngineStatus, 0);
  EXPECT_EQ(outcome.Shortfalls,
            QStringList({"The design load of 400 tons is not reached by the 3.000 ft pier within the soil profile: its "
                         "largest allowable load is 273.8 tons at 70 ft. Try a larger diameter or a deeper profile.",
                         "The design load of 400 tons is not reached by the 3.500 ft pier within the soil profile: its "
                         "largest allowable load is 328.7 tons at 70 ft. Try a larger diameter or a deeper profile.",
                         "The design load of 400 tons is not reached by the 4.000 ft pier within the soil profile: its "
                         "largest allowable load is 386.3 tons at 70 ft. Try a larger diameter or a deeper profile."}));
  EXPECT_EQ(outcome.UserMessage(),
            "Computations are completed.\rPlease, check output file for results or error messages.\r\r" +
                outcome.Shortfalls.join(u'\r') + "\r\r" + RunWarningsText(outcome.Warnings) + "\r\r" +
                outcome.Summary);
  // The 70 ft tips stand at the bottom of the profile, which says so.
  ASSERT_EQ(outcome.Warnings.size(), 1U);
  EXPECT_TRUE(outcome.Warnings[0].text.startsWith("PLEASE PROVIDE THE SOIL DEPTH"));
  EXPECT_TRUE(outcome.Summary.contains("Pier 3: stem 4.000 ft, length 70.000 ft") &&
              outcome.Summary.contains("(design load not reached)"))
      << outcome.Summary.toStdString();
  EXPECT_TRUE(outcome.Summary.contains("Pier 5: stem 5.000 ft, length 55.000 ft")) << outcome.Summary.toStdString();
  // Its plot data reads whole: the t-z curves are those of the first pier
  // that reaches the load, and there is one q-w curve per such pier.
  TResultPlots plots;
  const TPlotDataResult loaded = ReadPlotData(run.result(".pq8p"), PlotDataContext(*run.project), plots);
  ASSERT_TRUE(loaded.ok) << loaded.error.toStdString();
  EXPECT_TRUE(loaded.incomplete.isEmpty() && loaded.showtzcurves && loaded.wholeFileRead);
  ASSERT_EQ(plots.pltQw.CurveCount(), 2);
  EXPECT_TRUE(plots.pltQw.CurveName(0).contains("4.5")) << plots.pltQw.CurveName(0).toStdString();
  EXPECT_TRUE(plots.pltQw.CurveName(1).contains("5")) << plots.pltQw.CurveName(1).toStdString();

  // A long series: the message shows the first twelve and counts the rest.
  TRunOutcome many = outcome;
  many.Summary.clear();
  many.Warnings.clear();
  many.Shortfalls.clear();
  for (int k = 1; k <= 14; ++k) many.Shortfalls << QStringLiteral("pier %1 falls short").arg(k);
  EXPECT_TRUE(many.UserMessage().endsWith(
      "\r\rpier 1 falls short\rpier 2 falls short\rpier 3 falls short\rpier 4 falls short\rpier 5 falls short\r"
      "pier 6 falls short\rpier 7 falls short\rpier 8 falls short\rpier 9 falls short\rpier 10 falls short\r"
      "pier 11 falls short\rpier 12 falls short\r... and 2 more piers do not reach the design load (see the run notes)"))
      << many.UserMessage().toStdString();
}

TEST(AnalysisRun, NothingRunsWhenTheLibraryOrAnEarlierResultStays) {
  TRunFixture run("sand-asd-english.pq8d");
  run.leaveEarlierResults();
  QTemporaryDir emptyProgramFolder;
  TRunOutcome outcome = TAnalysisRun(emptyProgramFolder.path()).Execute(*run.project);
  EXPECT_EQ(outcome.Status, TRunStatus::LibraryFailed);
  EXPECT_EQ(outcome.UserMessage(), "Attempt to initialize DLL failed");
  // No engine, no run: the earlier results are not touched.
  EXPECT_EQ(filesIn(run.dir.path()), QStringList({"p.pq8d", "p.pq8o", "p.pq8p", "p.pq8r", "p.pq8z"}));

  // A report that cannot be removed (a folder in its place) would pass for this run's.
  ASSERT_TRUE(QFile::remove(run.result(".pq8o")));
  ASSERT_TRUE(QDir().mkpath(run.result(".pq8o") + "/inside"));
  outcome = TAnalysisRun(kBinDir).Execute(*run.project);
  EXPECT_EQ(outcome.Status, TRunStatus::ResultsKept);
  EXPECT_EQ(outcome.Reason, QDir::toNativeSeparators(run.result(".pq8o")));
  EXPECT_TRUE(outcome.UserMessage().endsWith(outcome.Reason));
  EXPECT_FALSE(QFileInfo::exists(run.dir.filePath("names.dat")));
  EXPECT_EQ(readBytes(run.result(".pq8z")), "detail of an earlier run");  // the engine did not run

  // An unnamed project is not run at all.
  TProjectTables tables;
  auto unnamed = TProgramData::Create(tables);
  EXPECT_EQ(TAnalysisRun(kBinDir).Execute(*unnamed).Status, TRunStatus::NotNamed);
}

// A names.dat of the user's in the project's folder: a run needs the name,
// so it is refused, naming the file, which stays as it was; only the
// run-control file an earlier run of this folder left is taken over.
TEST(AnalysisRun, ANamesFileOfTheUsersIsLeftAsItWas) {
  TRunFixture run("sand-asd-english.pq8d");
  run.leaveEarlierResults();
  const QString names = run.dir.filePath("names.dat");
  const QByteArray mine = "Site meeting: Alice, Bob\r\n";
  writeBytes(names, mine);

  QTemporaryDir emptyProgramFolder;
  EXPECT_EQ(TAnalysisRun(emptyProgramFolder.path()).Execute(*run.project).Status, TRunStatus::LibraryFailed);
  EXPECT_EQ(readBytes(names), mine);

  TRunOutcome outcome = TAnalysisRun(kBinDir).Execute(*run.project);
  EXPECT_EQ(outcome.Status, TRunStatus::NamesFileFailed);
  EXPECT_TRUE(outcome.UserMessage().contains(QDir::toNativeSeparators(names))) << outcome.UserMessage().toStdString();
  EXPECT_EQ(readBytes(names), mine);
  EXPECT_EQ(readBytes(run.result(".pq8z")), "detail of an earlier run");  // nothing ran

  struct TCase {
    const char *what;
    QStringList lines;
    bool takenOver;
  };
  const QString elsewhere = QDir(run.dir.path()).absoluteFilePath("sub/p.pq8d");
  const TCase cases[] = {
      {"left by a run of this folder", RunNamesLines(run.file), true},
      {"of a project in another folder", RunNamesLines(elsewhere), false},
      {"a line short", RunNamesLines(run.file).mid(0, 8), false},
      {"names that do not go together", RunNamesLines(run.file).replaceInStrings(".pq8t", ".txt"), false},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.what);
    const QByteArray text = c.lines.join("\r\n").toUtf8() + "\r\n";
    writeBytes(names, text);
    outcome = TAnalysisRun(kBinDir).Execute(*run.project);
    if (c.takenOver) {
      EXPECT_EQ(outcome.EngineStatus, 0) << outcome.UserMessage().toStdString();
      EXPECT_FALSE(QFileInfo::exists(names));
    } else {
      EXPECT_EQ(outcome.Status, TRunStatus::NamesFileFailed);
      EXPECT_EQ(readBytes(names), text);
    }
  }
}

// Another process holds the project's folder (util-linux's flock(1) takes the
// same lock on PYLAR.LCK and writes its process id, as a run does): the run
// waits for it, and refuses, naming the folder, when it holds on too long.
TEST(AnalysisRun, AnotherRunInTheFolderIsWaitedForThenRefused) {
  TRunFixture run("sand-asd-english.pq8d");
  run.leaveEarlierResults();
  QProcess holder;
  holder.setWorkingDirectory(run.dir.path());
  holder.start("flock", {"-o", "PYLAR.LCK", "sh", "-c", "echo $$ > PYLAR.LCK; sleep 3"});
  ASSERT_TRUE(holder.waitForStarted());
  QElapsedTimer held;
  held.start();
  while (QFileInfo(run.dir.filePath("PYLAR.LCK")).size() == 0 && held.elapsed() < 5000) QThread::msleep(20);
  ASSERT_GT(QFileInfo(run.dir.filePath("PYLAR.LCK")).size(), 0);

  TAnalysisRun impatient(kBinDir);
  impatient.LockWait = std::chrono::milliseconds(300);
  int waits = 0;
  impatient.OnLockWait = [&waits] { ++waits; };
  TRunOutcome outcome = impatient.Execute(*run.project);
  EXPECT_EQ(outcome.Status, TRunStatus::FolderBusy);
  EXPECT_GT(waits, 0);
  const QString message = outcome.UserMessage();
  EXPECT_TRUE(message.startsWith("Another run is using the folder " + QDir::toNativeSeparators(run.dir.path()) +
                                 " (process "))
      << message.toStdString();
  EXPECT_EQ(readBytes(run.result(".pq8z")), "detail of an earlier run");  // nothing was touched
  EXPECT_FALSE(QFileInfo::exists(run.dir.filePath("names.dat")));

  // Waited for long enough, the run starts once the other has let the folder go.
  outcome = TAnalysisRun(kBinDir).Execute(*run.project);
  EXPECT_EQ(outcome.EngineStatus, 0) << outcome.UserMessage().toStdString();
  EXPECT_GE(held.elapsed(), 2500);
  EXPECT_TRUE(holder.waitForFinished(1000));
  // The lock file stays, with the process id of the last holder.
  EXPECT_EQ(readBytes(run.dir.filePath("PYLAR.LCK")), QByteArray::number(QCoreApplication::applicationPid()) + "\r\n");
}

// The disk fills up while the engine writes its results (status 12): the
// files it left are not the results of the project.
TEST(AnalysisRun, ResultsOfARunCutShortDoNotCount) {
  TRunFixture run("sand-asd-english.pq8d");
  const TRunOutcome outcome = [&] {
    const TFileSizeLimit full(8192);  // the project fits, the report does not
    EXPECT_TRUE(full.Active());
    return TAnalysisRun(kBinDir).Execute(*run.project);
  }();
  ASSERT_EQ(outcome.Status, TRunStatus::EngineRan);
  EXPECT_EQ(outcome.EngineStatus, 12);
  EXPECT_FALSE(outcome.ResultsCurrent());
  EXPECT_EQ(outcome.Summary, QString());
  EXPECT_TRUE(outcome.UserMessage().contains("The run did not complete (status 12), so its results are not shown."))
      << outcome.UserMessage().toStdString();
}

}  // namespace
}  // namespace pylar
