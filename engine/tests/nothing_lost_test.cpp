// A run never changes the project it reads, whatever ends it, and a run whose
// results cannot be written says so instead of reporting success.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "pylar/engine.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

RunTime fixedTime() { return {2024, 3, 5, 9, 7, 3}; }

const std::string kSand =
    "Sand\r\n1 \r\n2 1 1 1 1 2 0 0 0 0 0 \r\n3 3 0 0 0 0 3600000 \r\n1 10 60 2.5 3 \r\n"
    "1 80 \r\n0 120 32 0 10 0 0 1 1 \r\n0 125 34 0 20 0 0 1 1 \r\n1 \r\n0.5 0.5 \r\n";

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
      {"disk full while writing the plot data", kSand, [](RunNames& n, const TempFolder&) { n.plot = "/dev/full"; },
       kStatusFileError, "FILE ERROR: A RESULT FILE COULD NOT BE WRITTEN COMPLETELY"},
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
