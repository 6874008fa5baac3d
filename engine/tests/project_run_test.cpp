// Running projects by file name (what `pylar run` and `pylar batch` do).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "pylar/engine.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

using test::TempFolder;
using test::writeFile;
using Lines = std::vector<std::string>;

const std::string kProject =
    "T\r\n1\r\n2 1 1 1 1 2 0 0 0 0 0\r\n3 3 0 0 0 0 3600000\r\n1 10 60 2.5 3\r\n1 80\r\n"
    "0 120 32 0 10 0 0 1 1\r\n0 125 34 0 20 0 0 1 1\r\n1\r\n0.5 0.5\r\n";

TEST(ProjectRun, ResultsBesideTheProjectIntermediatesRemoved) {
  TempFolder dir;
  writeFile(dir / "pier.pq8d", kProject);
  writeFile(dir / "TZDIAM.DAT", "stale\r\n");
  ProjectRun run = runProject(dir / "pier.pq8d");
  EXPECT_EQ(run.summary.status, kStatusCompleted) << run.summary.message;
  EXPECT_EQ(run.report, dir / "pier.pq8o");
  EXPECT_EQ(dir.files(), (Lines{"CHART.DAT", "PYLAR.LCK", "ROCKMSG.DAT", "TZDATA.DAT", "pier.pq8d", "pier.pq8o",
                               "pier.pq8p", "pier.pq8r", "pier.pq8s", "pier.pq8z"}));
}

// The largest project the engine accepts: 20 clay layers of 5 ft (cohesion
// 600 to 2500 lb/ft^2), design charts for 20 diameters 2 to 6.75 ft and 13
// lengths 80 to 20 ft, 10 defined settlements: 260 geometries to solve.
std::string largestProject() {
  std::string p = "Largest project\r\n1 \r\n2 1 1 5 1 2 0 1 0 0 0 \r\n2 6.75 0 0 0 0 3600000 \r\n20 10 80 2.5 3 \r\n"
                  "20 5 0.25 10 \r\n0.1 0.2 0.3 0.4 0.5 0.75 1 1.5 2 3 \r\n";
  for (int i = 1; i <= 20; ++i) {
    const std::string c = std::to_string(500 + 100 * i), c2 = std::to_string(600 + 100 * i);
    p += "2 " + std::to_string(5 * i) + " \r\n0 120 0.0 " + c + " 0 0 0 1 1 \r\n0 120 0.0 " + c2 +
         " 0 0 0 1 1 \r\n0 0 \r\n";
  }
  return p;
}

TEST(ProjectRun, OneThreadAndSeveralWriteTheSameFiles) {
  TempFolder one, several;
  const auto fixed = [] { return RunTime{2024, 3, 5, 9, 7, 3}; };
  for (const TempFolder* dir : {&one, &several}) writeFile(*dir / "largest.pq8d", largestProject());
  EXPECT_EQ(runProject(one / "largest.pq8d", fixed, {1}).summary.status, kStatusCompleted);
  EXPECT_EQ(runProject(several / "largest.pq8d", fixed, {4}).summary.status, kStatusCompleted);
  ASSERT_EQ(one.files(), several.files());
  for (const std::string& name : one.files()) {
    std::string a = test::readFile(one / name), b = test::readFile(several / name);
    // The report names its folder.
    for (std::string* text : {&a, &b})
      for (const auto& folder : {one.path().string(), several.path().string()})
        for (std::size_t at; (at = text->find(folder)) != std::string::npos;) text->replace(at, folder.size(), "<f>");
    EXPECT_TRUE(a == b) << name << " differs";
  }
  // The design charts were solved: CHART.DAT holds a header line per
  // geometry and two lines per defined settlement.
  EXPECT_EQ(test::crlfLines(one / "CHART.DAT").size(), 260U * 21);
}

TEST(ProjectRun, MissingProjectCreatesNothing) {
  TempFolder dir;
  ProjectRun run = runProject(dir / "none.pq8d");
  EXPECT_EQ(run.summary.status, kStatusBadInput);
  EXPECT_TRUE(run.report.empty());
  EXPECT_TRUE(dir.files().empty());
}

TEST(ProjectRun, ProjectNamedLikeAResultFileIsLeftAlone) {
  TempFolder dir;
  writeFile(dir / "pier.pq8w", kProject);  // the runner would overwrite, then remove it
  ProjectRun run = runProject(dir / "pier.pq8w");
  EXPECT_EQ(run.summary.status, kStatusBadRunNames);
  EXPECT_EQ(dir.files(), Lines{"pier.pq8w"});
  EXPECT_EQ(test::readFile(dir / "pier.pq8w"), kProject);
}

TEST(ProjectRun, BatchRunsEveryProjectAndKeepsTheOrder) {
  TempFolder dir;
  std::filesystem::create_directories(dir / "a");
  std::filesystem::create_directories(dir / "b");
  std::vector<std::filesystem::path> projects = {dir / "a" / "one.pq8d", dir / "b" / "two.pq8d",
                                                 dir / "a" / "three.pq8d"};
  writeFile(projects[0], kProject);
  writeFile(projects[1], "T\r\n1\r\n");  // ends early
  writeFile(projects[2], kProject);
  std::size_t finished = 0;
  auto results = runProjects(projects, 4, [&](const ProjectRun&) { ++finished; });
  EXPECT_EQ(finished, 3U);
  ASSERT_EQ(results.size(), 3U);
  const int statuses[] = {kStatusCompleted, kStatusBadInput, kStatusCompleted};
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(results[k].project, projects[k]);
    EXPECT_EQ(results[k].summary.status, statuses[k]) << k;
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(projects[k]).replace_extension(".pq8o"))) << k;
  }
}

// The command-line runner: output line and exit status.
struct Command {
  std::string output;
  int exitStatus = -1;
};
Command runCommand(const std::string& arguments) {
  Command result;
  std::string command = std::string(PYLAR_BIN_DIR) + "/pylar " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buf[512];
  while (std::fgets(buf, sizeof buf, pipe)) result.output += buf;
  int status = pclose(pipe);
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(CommandLine, ExitsWithTheRunStatus) {
  TempFolder dir;
  writeFile(dir / "good.pq8d", kProject);
  writeFile(dir / "bad.pq8d", "T\r\n1\r\n");
  const std::string good = (dir / "good.pq8d").string();
  const std::string bad = (dir / "bad.pq8d").string();

  Command run = runCommand("run '" + good + "'");
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.output, good + ": status 0, run completed; report: " + (dir / "good.pq8o").string() + "\n");

  EXPECT_EQ(runCommand("run '" + bad + "'").exitStatus, kStatusBadInput);
  // A design load the profile cannot carry: status 7 and the shortfall, whole.
  std::string tooHeavy = kProject;
  tooHeavy.replace(tooHeavy.find("2 1 1 1"), 1, "1");
  tooHeavy.replace(tooHeavy.find("1 10 60 "), 8, "1 10 100000 ");
  writeFile(dir / "heavy.pq8d", tooHeavy);
  const std::string heavy = (dir / "heavy.pq8d").string();
  run = runCommand("run '" + heavy + "'");
  EXPECT_EQ(run.exitStatus, kStatusDesignLoadNotReached);
  EXPECT_EQ(run.output.rfind(heavy + ": status 7, NEED ANOTHER SOIL LAYER: The design load of 100000 tons is not "
                                     "reached by the 3.000 ft pier within the soil profile: its largest allowable "
                                     "load is ", 0),
            0U)
      << run.output;
  EXPECT_NE(run.output.find(" tons at 80 ft. Try a larger diameter or a deeper profile.; report: "), std::string::npos)
      << run.output;
  Command batch = runCommand("batch '" + good + "' '" + bad + "'");
  EXPECT_EQ(batch.exitStatus, kStatusBadInput);
  EXPECT_EQ(std::count(batch.output.begin(), batch.output.end(), '\n'), 3);  // two projects and the summary
  EXPECT_EQ(runCommand("").exitStatus, 64);
  EXPECT_EQ(runCommand("run").exitStatus, 64);
}

}  // namespace
}  // namespace pylar::engine
