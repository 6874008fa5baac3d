// The pylar command line: help and version, ordered batch output with its
// summary, and run refusals in plain words.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    std::random_device rd;
    do path_ = fs::temp_directory_path() / ("pylar-cli-" + std::to_string(rd()));
    while (!fs::create_directory(path_));
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

void writeFile(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

struct Command {
  std::string output;  // stdout only
  int exitStatus = -1;
};

Command pylar(const std::string& arguments) {
  Command result;
  const std::string command = std::string("'") + PYLAR_PROGRAM + "' " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buf[512];
  while (std::fgets(buf, sizeof buf, pipe)) result.output += buf;
  const int status = pclose(pipe);
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// A one-layer sand project that completes in a moment.
const std::string kSmallProject =
    "T\r\n1\r\n2 1 1 1 1 2 0 0 0 0 0\r\n3 3 0 0 0 0 3600000\r\n1 10 60 2.5 3\r\n1 80\r\n"
    "0 120 32 0 10 0 0 1 1\r\n0 125 34 0 20 0 0 1 1\r\n1\r\n0.5 0.5\r\n";

TEST(CommandLine, HelpAndVersionAnswerOnStdout) {
  const Command help = pylar("--help");
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_EQ(help.output.rfind("Usage: pylar run FILE.pq8d\n", 0), 0U) << help.output;
  EXPECT_NE(help.output.find("batch FILE..."), std::string::npos);

  const Command version = pylar("--version");
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_EQ(version.output, std::string("pylar ") + PYLAR_VERSION + "\n");

  // A wrong command line prints its usage on stderr only.
  for (const char* wrong : {"", "--frob", "run", "--help extra", "batch"}) {
    const Command c = pylar(wrong);
    EXPECT_EQ(c.exitStatus, 64) << wrong;
    EXPECT_EQ(c.output, "") << wrong;
  }
}

TEST(CommandLine, BatchPrintsInCommandLineOrderThenASummary) {
  TempFolder dir;
  // The first project is the slowest sample; the others end at once. Their
  // folders sort before its folder, so a runner that printed lines as runs end
  // (or by folder) would print them first.
  const fs::path slow = dir / "z" / "deep.pq8d";
  const fs::path missing = dir / "a" / "missing.pq8d";
  const fs::path bad = dir / "m" / "bad.pq8d";
  const fs::path small = dir / "z" / "small.pq8d";
  fs::create_directories(slow.parent_path());
  fs::copy_file(fs::path(PYLAR_SOURCE_DIR) / "examples" / "deep-profile-lrfd.pq8d", slow);
  writeFile(bad, "T\r\n1\r\n");  // ends early
  writeFile(small, kSmallProject);

  // A project named twice runs twice and has two lines.
  const Command batch = pylar("batch " + quoted(slow) + " " + quoted(missing) + " " + quoted(bad) + " " +
                              quoted(small) + " " + quoted(small));
  EXPECT_EQ(batch.exitStatus, 10);  // the first that did not complete: the missing project
  std::vector<std::string> lines;
  for (std::size_t pos = 0, end; (end = batch.output.find('\n', pos)) != std::string::npos; pos = end + 1)
    lines.push_back(batch.output.substr(pos, end - pos));
  ASSERT_EQ(lines.size(), 6U) << batch.output;
  const std::pair<fs::path, std::string> expected[] = {
      {slow, ": status 0, run completed; report: "},
      {missing, ": status 10, "},
      {bad, ": status 10, "},
      {small, ": status 0, run completed; report: "},
      {small, ": status 0, run completed; report: "},
  };
  for (std::size_t k = 0; k < 5; ++k)
    EXPECT_EQ(lines[k].rfind(expected[k].first.string() + expected[k].second, 0), 0U) << lines[k];
  EXPECT_EQ(lines[5], "3 completed, 2 failed");
}

TEST(CommandLine, RefusedRunSaysWhatItMeans) {
  struct Case {
    const char* project;
    const char* meaning;
  };
  const Case cases[] = {
      {"pier.pq8o", "not run: the report would be written over the project file"},
      {"pier.pq8p", "not run: the plot-data file would be written over the project file"},
      {"pier.pq8w", "not run: the intermediate q-w listing would be written over the project file"},
      {"CHART.DAT", "not run: the project file is the scratch file CHART.DAT, which every run rewrites"},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    const fs::path project = dir / c.project;
    writeFile(project, kSmallProject);
    const Command run = pylar("run " + quoted(project));
    EXPECT_EQ(run.exitStatus, 11) << c.project;
    EXPECT_EQ(run.output, project.string() + ": status 11, " + c.meaning + "\n");
    EXPECT_EQ(readFile(project), kSmallProject) << c.project << " was changed";
  }
}

}  // namespace
