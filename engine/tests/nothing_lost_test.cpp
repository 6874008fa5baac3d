// A run never changes the project it reads, whatever ends it, and a run whose
// results cannot be written says so instead of reporting success.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <future>
#include <thread>
#include <unistd.h>

#include "pylar/engine.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

using test::fixedTime;

const std::string& kSand = test::kSmallSandProject;

RunNames namesIn(const std::filesystem::path& dir) {
  RunNames n = namesBeside(dir / "pier.pq8d");
  return n;
}

TEST(NothingLost, FailedRunsLeaveTheProjectAsItWas) {
  struct Case {
    const char* what;
    std::string project;
    void (*edit)(RunNames&, const TempFolder&);
    int status;
    std::string message;  // start of the run's message
  };
  auto keep = [](RunNames&, const TempFolder&) {};
  // The design load of 1E6 tons is beyond what 80 ft of sand carries.
  std::string heavy = kSand;
  heavy.replace(heavy.find("2 1 1 1 1 2"), 1, "1");
  heavy.replace(heavy.find("1 10 60 "), 8, "1 10 1000000 ");
  std::string badCount = kSand;
  badCount.replace(badCount.find("1 10 60"), 1, "99");
  const Case cases[] = {
      {"layer count out of range", badCount, keep, kStatusBadInput,
       "INPUT ERROR, RECORD 5, NUMBER OF LAYERS: 99 IS OUT OF RANGE (1 TO 40)"},
      {"design load never reached", heavy, keep, kStatusDesignLoadNotReached, "NEED ANOTHER SOIL LAYER"},
      {"report cannot be created (its folder is a file)", kSand,
       [](RunNames& n, const TempFolder& dir) {
         writeFile(dir / "blocker", "x");
         n.report = (dir / "blocker" / "pier.pq8o").string();
       },
       kStatusFileError, "FILE ERROR: CANNOT CREATE "},
      {"scratch folder cannot be written (it is below a file)", kSand,
       [](RunNames& n, const TempFolder& dir) {
         writeFile(dir / "blocker", "x");
         n.scratchFolder = dir / "blocker" / "scratch";
       },
       kStatusFileError, "FILE ERROR: CANNOT CREATE "},
      {"a device as the plot data", kSand, [](RunNames& n, const TempFolder&) { n.plot = "/dev/full"; },
       kStatusFileError, "FILE ERROR: CANNOT CREATE /dev/full (NOT A REGULAR FILE"},
      {"a device as the detail listing", kSand, [](RunNames& n, const TempFolder&) { n.detail = "/dev/null"; },
       kStatusFileError, "FILE ERROR: CANNOT CREATE /dev/null (NOT A REGULAR FILE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    RunNames names = namesIn(dir.path());
    writeFile(names.input, c.project);
    c.edit(names, dir);
    const RunSummary summary = runAnalysis(names, fixedTime);
    EXPECT_EQ(summary.status, c.status) << summary.message;
    EXPECT_EQ(summary.message.rfind(c.message, 0), 0U) << summary.message;
    EXPECT_EQ(readFile(names.input), c.project);
  }
}

TEST(NothingLost, ProjectRunWhoseResultCannotBeCreatedIsNotASuccess) {
  // A folder where the report should go: the run says it could not create it.
  TempFolder dir;
  writeFile(dir / "pier.pq8d", kSand);
  std::filesystem::create_directory(dir / "pier.pq8o");
  const ProjectRun run = runProject(dir / "pier.pq8d", fixedTime);
  EXPECT_EQ(run.summary.status, kStatusFileError);
  EXPECT_NE(run.summary.message.find("CANNOT CREATE"), std::string::npos) << run.summary.message;
  EXPECT_NE(run.summary.message.find("pier.pq8o"), std::string::npos) << run.summary.message;
  EXPECT_EQ(readFile(dir / "pier.pq8d"), kSand);
}

// A file-size limit stands for a full disk: the writes past it fail. The
// results of the run before stay as they were (the files that could be
// written whole replace theirs), and no temporary file is left behind.
TEST(NothingLost, ADiskThatFillsUpDuringTheRunIsAFileError) {
  TempFolder dir;
  RunNames names = namesIn(dir.path());
  writeFile(names.input, kSand);
  ASSERT_EQ(runAnalysis(names, fixedTime).status, kStatusCompleted);
  const std::string report = readFile(names.report), detail = readFile(names.detail);
  const auto filesBefore = dir.files();
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4000;  // bytes: the report is longer
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const RunSummary summary = runAnalysis(names, fixedTime);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldSignal);
  EXPECT_EQ(summary.status, kStatusFileError);
  EXPECT_EQ(summary.message, "FILE ERROR: A RESULT FILE COULD NOT BE WRITTEN COMPLETELY");
  EXPECT_EQ(readFile(names.input), kSand);
  EXPECT_TRUE(readFile(names.report) == report) << "the earlier report was lost";
  EXPECT_TRUE(readFile(names.detail) == detail) << "the earlier detail listing was lost";
  EXPECT_EQ(dir.files(), filesBefore) << "a file was left behind or went missing";
}

// A named pipe where a result or scratch file belongs would block the run
// until something read it: it is refused instead. Should a run block all
// the same, the test opens the pipe to free it and fails.
TEST(NothingLost, ANamedPipeAsAResultOrScratchFileIsRefused) {
  for (const char* pipeName : {"pier.pq8o", "TZDATA.DAT"}) {
    SCOPED_TRACE(pipeName);
    TempFolder dir;
    RunNames names = namesIn(dir.path());
    writeFile(names.input, kSand);
    const auto pipe = dir / pipeName;
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    auto run = std::async(std::launch::async, [&] { return runAnalysis(names, fixedTime); });
    if (run.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
      ADD_FAILURE() << "the run waits on the pipe";
      const int fd = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
      run.wait();
      close(fd);
      continue;
    }
    const RunSummary summary = run.get();
    EXPECT_EQ(summary.status, kStatusFileError);
    EXPECT_EQ(summary.message, "FILE ERROR: CANNOT CREATE " + pipe.string() +
                                   " (NOT A REGULAR FILE: A FOLDER, PIPE OR DEVICE)");
    EXPECT_EQ(readFile(names.input), kSand);
  }
}

TEST(NothingLost, ProjectNamedLikeAScratchFileIsNotOverwritten) {
  // The run rewrites CHART.DAT, TZDATA.DAT, TZDIAM.DAT and ROCKMSG.DAT in the
  // project's folder and removes TZDIAM.DAT afterwards.
  for (const char* name : {"CHART.DAT", "TZDATA.DAT", "TZDIAM.DAT", "ROCKMSG.DAT"}) {
    SCOPED_TRACE(name);
    TempFolder dir;
    writeFile(dir / name, kSand);
    const ProjectRun run = runProject(dir / name, fixedTime);
    EXPECT_EQ(run.summary.status, kStatusBadRunNames);
    EXPECT_EQ(run.summary.message.rfind(std::string("RUN NAMES ERROR: NAME 2 OF THE RUN IS THE SCRATCH FILE ") + name, 0),
              0U)
        << run.summary.message;
    EXPECT_EQ(readFile(dir / name), kSand);
    EXPECT_EQ(dir.files(), std::vector<std::string>{name});
  }
  // A result file named like one is refused as well.
  TempFolder dir;
  RunNames names = namesIn(dir.path());
  writeFile(names.input, kSand);
  names.detail = (dir / "TZDATA.DAT").string();
  EXPECT_EQ(runAnalysis(names, fixedTime).status, kStatusBadRunNames);
}

}  // namespace
}  // namespace pylar::engine
