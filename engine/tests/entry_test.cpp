// The run driver: banner, file names, date header, merging of the
// intermediate files, and how a run ends on bad input or unusable names.
#include "entry.h"

#include <gtest/gtest.h>

#include <optional>

#include "run.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

using test::crlfLines;
using test::readFile;
using test::TempFolder;
using test::writeFile;
using Lines = std::vector<std::string>;

const std::string kValidProject =
    "Banner test\r\n1 \r\n2 1 1 1 1 2 0 0 0 0 0 \r\n3 3 0 0 0 0 3600000 \r\n1 10 60 2.5 3 \r\n"
    "1 80 \r\n0 120 32 0 10 0 0 1 1 \r\n0 125 34 0 20 0 0 1 1 \r\n1 \r\n0.5 0.5 \r\n";

RunNames namesIn(const TempFolder& dir, const std::string& version = "2017.8.2") {
  RunNames n;
  n.version = version;
  auto at = [&](const char* ext) { return (dir / ("pier" + std::string(ext))).string(); };
  n.input = at(".pq8d");
  n.report = at(".pq8o");
  n.plot = at(".pq8p");
  n.notes = at(".pq8r");
  n.detail = at(".pq8z");
  n.baseListing = at(".pq8w");
  n.tzPlot = at(".pq8t");
  n.qwPlot = at(".pq8q");
  n.scratchFolder = dir.path();
  return n;
}

using test::fixedTime;

Lines head(const Lines& lines, std::size_t count) {
  return Lines(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(count, lines.size())));
}

const std::string kEquals = "     " + std::string(73, '=');
const std::string kDashes = "     " + std::string(73, '-');

TEST(RunDriver, WritesBannerFileNamesAndDateHeader) {
  struct Case {
    std::string version, printed;
  };
  const Case cases[] = {{"2017.8.2", "2017.8.2    "}, {"2017.8.2-beta-build-77", "2017.8.2-bet"}};
  for (const auto& c : cases) {
    TempFolder dir;
    RunNames names = namesIn(dir, c.version);
    writeFile(names.input, kValidProject);
    RunSummary summary = runAnalysis(names, fixedTime);
    ASSERT_EQ(summary.status, kStatusCompleted) << summary.message;

    const Lines banner = {kEquals,
                          "",
                          "                      PYLAR for Windows, Version " + c.printed,
                          "",
                          "                    VERTICALLY LOADED DRILLED PYLAR ANALYSIS",
                          "",
                          kEquals,
                          "",
                          ""};
    const Lines fileNames = {"     Path to file locations      : " + dir.path().string() + "/",
                             "     Name of input data file     : pier.pq8d",
                             "     Name of output file         : pier.pq8o",
                             "     Name of plot output file    : pier.pq8p",
                             "     Name of runtime file        : pier.pq8r",
                             "",
                             ""};
    const Lines header = {kDashes, "                          Time and Date of Analysis", kDashes, "",
                          "               Date:  March 05, 2024     Time:  09:07:03"};
    Lines report = banner;
    report.insert(report.end(), fileNames.begin(), fileNames.end());
    report.insert(report.end(), header.begin(), header.end());
    Lines detail = banner;
    detail.insert(detail.end(), header.begin(), header.end());

    EXPECT_EQ(head(crlfLines(names.report), report.size()), report) << c.version;
    EXPECT_EQ(head(crlfLines(names.detail), detail.size()), detail) << c.version;
    // The banner and header go to the report and the detail file only.
    EXPECT_EQ(readFile(names.notes).find("PYLAR for Windows"), std::string::npos) << c.version;
  }
}

TEST(RunDriver, DateLineHasLeadingZeros) {
  struct Case {
    RunTime time;
    const char* line;
  };
  const Case cases[] = {
      {{2024, 3, 5, 9, 7, 3}, "               Date:  March 05, 2024     Time:  09:07:03"},
      {{2023, 12, 31, 23, 59, 59}, "               Date:  December 31, 2023     Time:  23:59:59"},
      {{2024, 1, 1, 0, 0, 0}, "               Date:  January 01, 2024     Time:  00:00:00"},
  };
  for (const auto& c : cases) {
    TempFolder dir;
    {
      Channels ch;
      ASSERT_TRUE(ch.openWrite(kChannelReport, dir / "out"));
      writeDateHeader(ch, kChannelReport, c.time);
    }
    Lines lines = crlfLines(dir / "out");
    ASSERT_EQ(lines.size(), 5U);
    EXPECT_EQ(lines[4], c.line);
  }
}

TEST(RunDriver, MergesIntermediateFilesCutTo80) {
  const std::string long100(100, 'x');
  const std::string cut80(80, 'x');
  struct Case {
    const char* what;
    Lines qwListing, tzPlot;
    std::optional<Lines> tzDiam;  // nullopt: not written by this run
    Lines qwPlot;
    Lines detail, plot;  // expected after the header line of each
  };
  const Case cases[] = {
      {"empty files add nothing", {}, {}, Lines{}, {}, {}, {}},
      {"lines copied in order, long ones cut to 80, empty lines kept",
       {"qw 1", "", long100},
       {"tz 1"},
       Lines{"diam 1", long100},
       {"qw plot 1"},
       {"qw 1", "", cut80},
       {"tz 1", "diam 1", cut80, "qw plot 1"}},
      {"a TZDIAM.DAT this run did not write is left out", {}, {"tz 1"}, std::nullopt, {"qw plot 1"}, {},
       {"tz 1", "qw plot 1"}},
  };
  for (const auto& c : cases) {
    TempFolder dir;
    engine::Run run;
    run.names = namesIn(dir);
    // A stale scratch file from an earlier run in the same folder.
    writeFile(dir / "TZDIAM.DAT", "stale\r\n");
    Channels& ch = run.channels;
    ASSERT_TRUE(ch.openWrite(kChannelDetail, run.names.detail));
    ASSERT_TRUE(ch.openWrite(kChannelPlot, run.names.plot));
    ch.write(kChannelDetail, "DETAIL");
    ch.write(kChannelPlot, "PLOT");
    auto fill = [&](int channel, const std::filesystem::path& file, const Lines& lines) {
      ASSERT_TRUE(ch.openWrite(channel, file));
      for (const auto& line : lines) ch.write(channel, line);
    };
    fill(kChannelQwListing, run.names.baseListing, c.qwListing);
    fill(kChannelTzPlot, run.names.tzPlot, c.tzPlot);
    fill(kChannelQwPlot, run.names.qwPlot, c.qwPlot);
    if (c.tzDiam) fill(kChannelTzDiam, dir / "TZDIAM.DAT", *c.tzDiam);

    mergeIntermediateFiles(run);
    ch.closeAll();

    Lines detail = {"DETAIL"}, plot = {"PLOT"};
    detail.insert(detail.end(), c.detail.begin(), c.detail.end());
    plot.insert(plot.end(), c.plot.begin(), c.plot.end());
    EXPECT_EQ(crlfLines(run.names.detail), detail) << c.what;
    EXPECT_EQ(crlfLines(run.names.plot), plot) << c.what;
  }
}

TEST(RunDriver, BadInputEndsTheRunWithOneLineInReportAndNotes) {
  struct Case {
    const char* what;
    std::optional<std::string> project;  // nullopt: no project file
    int status;
    std::string line;  // last line of report and notes; empty for a completed run
  };
  const Case cases[] = {
      {"missing project", std::nullopt, kStatusBadInput, "INPUT ERROR: THE PROJECT FILE CANNOT BE OPENED: "},
      {"file ends in record 3", "T\r\n1\r\n", kStatusBadInput,
       "INPUT ERROR, RECORD 3, METHOD: THE FILE ENDS BEFORE THIS VALUE"},
      {"empty file", "", kStatusBadInput, "INPUT ERROR, RECORD 1, TITLE: THE FILE IS EMPTY"},
      {"valid project", kValidProject, kStatusCompleted, ""},
  };
  for (const auto& c : cases) {
    TempFolder dir;
    RunNames names = namesIn(dir);
    std::string line = c.line;
    if (!c.project)
      line += names.input;
    else
      writeFile(names.input, *c.project);
    RunSummary summary = runAnalysis(names, fixedTime);
    EXPECT_EQ(summary.status, c.status) << c.what;
    Lines report = crlfLines(names.report);
    Lines notes = crlfLines(names.notes);
    ASSERT_FALSE(report.empty()) << c.what;
    EXPECT_EQ(report.front(), kEquals) << c.what;  // banner and header are written first
    if (c.status == kStatusCompleted) {
      EXPECT_EQ(summary.message, "run completed");
      // The run notes hold the cases analysed, no error.
      ASSERT_FALSE(notes.empty()) << c.what;
      EXPECT_EQ(notes.back().find("ERROR"), std::string::npos) << c.what;
    } else {
      EXPECT_EQ(summary.message, line) << c.what;
      EXPECT_EQ(report.back(), line) << c.what;
      EXPECT_EQ(notes, Lines{line}) << c.what;
    }
    // The project file is never created or changed by a run.
    EXPECT_EQ(std::filesystem::exists(names.input), c.project.has_value()) << c.what;
    // Every run file was still written and closed.
    for (const auto& file : {names.plot, names.detail, names.baseListing, names.tzPlot, names.qwPlot})
      EXPECT_TRUE(std::filesystem::exists(file)) << c.what << " " << file;
  }
}

TEST(RunDriver, UnusableRunNamesTouchNoFile) {
  // The refusal says which names clash as values (the report would be
  // written over the project...), so no caller has to read the message.
  using K = RunFileKind;
  using R = RunRefusal::Reason;
  struct Case {
    const char* what;
    void (*edit)(RunNames&);
    R reason;
    K file;
    K other;
    const char* messageStart;
  };
  const Case cases[] = {
      {"blank report name", [](RunNames& n) { n.report = "   "; }, R::BlankName, K::Report, K::Report,
       "RUN NAMES ERROR: NAME 3 OF THE RUN IS BLANK"},
      {"report over the project", [](RunNames& n) { n.report = n.input; }, R::SameFile, K::Report, K::Project,
       "RUN NAMES ERROR: NAMES 2 AND 3 ARE THE SAME FILE: "},
      {"two outputs in one file", [](RunNames& n) { n.qwPlot = n.plot; }, R::SameFile, K::QwPlot, K::PlotData,
       "RUN NAMES ERROR: NAMES 4 AND 9 ARE THE SAME FILE: "},
      {"run record over the detail listing",
       [](RunNames& n) { n.detail = std::filesystem::path(n.report).replace_extension(".pq8s").string(); },
       R::SameFile, K::RunRecord, K::Detail, "RUN NAMES ERROR: THE RUN RECORD IS NAME 6 OF THE RUN: "},
      {"run notes in a scratch file",
       [](RunNames& n) { n.notes = (n.scratchFolder / "TZDATA.DAT").string(); }, R::SameFile, K::RunNotes,
       K::TzData, "RUN NAMES ERROR: NAME 5 OF THE RUN IS THE SCRATCH FILE TZDATA.DAT: "},
      {"t-z plot in the lock file", [](RunNames& n) { n.tzPlot = (n.scratchFolder / "PYLAR.LCK").string(); },
       R::SameFile, K::TzPlot, K::Lock, "RUN NAMES ERROR: NAME 8 OF THE RUN IS THE LOCK FILE PYLAR.LCK: "},
  };
  for (const auto& c : cases) {
    TempFolder dir;
    RunNames names = namesIn(dir);
    writeFile(names.input, kValidProject);
    c.edit(names);
    const RunSummary summary = runAnalysis(names, fixedTime);
    EXPECT_EQ(summary.status, kStatusBadRunNames) << c.what;
    EXPECT_EQ(summary.message.rfind(c.messageStart, 0), 0U) << c.what << ": " << summary.message;
    EXPECT_EQ(summary.refusal.reason, c.reason) << c.what;
    EXPECT_EQ(summary.refusal.file, c.file) << c.what;
    EXPECT_EQ(summary.refusal.other, c.other) << c.what;
    EXPECT_EQ(dir.files(), Lines{"pier.pq8d"}) << c.what;
    EXPECT_EQ(readFile(dir / "pier.pq8d"), kValidProject) << c.what;
  }
}

// A name relative to the working folder and the full name of the same file
// that does not exist yet are one file: two results written there would mix.
TEST(RunDriver, ARelativeAndAFullNameOfOneNewFileAreTheSameFile) {
  TempFolder dir;
  RunNames names = namesIn(dir);
  writeFile(names.input, kValidProject);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  names.qwPlot = std::filesystem::path(names.plot).filename().string();
  const RunSummary summary = runAnalysis(names, fixedTime);
  std::filesystem::current_path(before);
  EXPECT_EQ(summary.status, kStatusBadRunNames) << summary.message;
  EXPECT_EQ(summary.refusal.reason, RunRefusal::Reason::SameFile);
  EXPECT_EQ(summary.refusal.file, RunFileKind::QwPlot);
  EXPECT_EQ(summary.refusal.other, RunFileKind::PlotData);
  EXPECT_EQ(dir.files(), Lines{"pier.pq8d"});
}

TEST(RunDriver, ResultFileThatCannotBeCreated) {
  TempFolder dir;
  RunNames names = namesIn(dir);
  writeFile(names.input, kValidProject);
  names.plot = (dir / "no-such-folder" / "pier.pq8p").string();
  RunSummary summary = runAnalysis(names, fixedTime);
  EXPECT_EQ(summary.status, kStatusFileError);
  EXPECT_EQ(summary.message, "FILE ERROR: CANNOT CREATE " + names.plot);
  EXPECT_EQ(crlfLines(names.notes), Lines{summary.message});
}

TEST(RunDriver, NamesFileIsReadWhole) {
  TempFolder dir;
  const std::string longPath = "/" + std::string(150, 'a') + "/" + std::string(150, 'b') + "/pier.pq8d";
  writeFile(dir / "names.dat", "2017.8.2-beta-long  \r\n" + longPath + "   \r\nr.pq8o\r\np.pq8p\nn.pq8r\r\n"
                               "z.pq8z\r\nw.pq8w\r\nt.pq8t\r\nq.pq8q");
  RunNames names;
  ASSERT_TRUE(readNamesFile(dir / "names.dat", names));
  EXPECT_EQ(names.version, "2017.8.2-beta-long");
  EXPECT_EQ(names.input, longPath);  // 309 characters, trailing blanks dropped
  EXPECT_EQ(names.notes, "n.pq8r");
  EXPECT_EQ(names.qwPlot, "q.pq8q");  // last line without a line end

  writeFile(dir / "short.dat", "v\r\nin\r\nr\r\np\r\nn\r\nz\r\nw\r\nt\r\n");
  EXPECT_FALSE(readNamesFile(dir / "short.dat", names));
  EXPECT_FALSE(readNamesFile(dir / "missing.dat", names));
}

TEST(RunDriver, SplitsPathIntoFolderAndName) {
  EXPECT_EQ(splitPath("/a/b/pier.pq8d").folder, "/a/b/");
  EXPECT_EQ(splitPath("/a/b/pier.pq8d").name, "pier.pq8d");
  EXPECT_EQ(splitPath("pier.pq8d").folder, "");
  EXPECT_EQ(splitPath("pier.pq8d").name, "pier.pq8d");
}

}  // namespace
}  // namespace pylar::engine
