// The pylar command line: help and version, ordered batch output with its
// summary, and run refusals in plain words.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <regex>
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

// Starts the program with `arguments`, its stdout and stderr going to `out`,
// with files limited to `fileLimit` bytes, as a shell's `ulimit -f` does.
pid_t start(const std::vector<std::string>& arguments, const fs::path& out, rlim_t fileLimit = RLIM_INFINITY) {
  std::vector<std::string> words = {PYLAR_PROGRAM};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const std::string outName = out.string();
  const pid_t pid = fork();
  if (pid == 0) {
    const int fd = open(outName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || dup2(fd, 1) < 0 || dup2(fd, 2) < 0) _exit(127);
    rlimit limit{fileLimit, fileLimit};
    if (fileLimit != RLIM_INFINITY && setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(127);
    std::signal(SIGXFSZ, SIG_DFL);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

// The exit status as a shell gives it (128 + the signal that ended it).
int finish(pid_t pid) {
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

std::vector<std::string> filesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A one-layer sand project that completes in a moment.
const std::string kSmallProject =
    "T\r\n1\r\n2 1 1 1 1 2 0 0 0 0 0\r\n3 3 0 0 0 0 3600000\r\n1 10 60 2.5 3\r\n1 80\r\n"
    "0 120 32 0 10 0 0 1 1\r\n0 125 34 0 20 0 0 1 1\r\n1\r\n0.5 0.5\r\n";

TEST(CommandLine, HelpAndVersionAnswerOnStdout) {
  const Command help = pylar("--help");
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_EQ(help.output.rfind("Usage: pylar run [--json] [--methods 1999|2018] FILE.pq8d\n", 0), 0U) << help.output;
  EXPECT_NE(help.output.find("batch FILE..."), std::string::npos);

  const Command version = pylar("--version");
  EXPECT_EQ(version.exitStatus, 0);
  EXPECT_EQ(version.output, std::string("pylar ") + PYLAR_VERSION + "\n");

  // A wrong command line prints its usage on stderr only.
  // The method set is 1999 or 2018, given once; run takes one file.
  for (const char* wrong : {"", "--frob", "run", "--help extra", "batch", "run --json", "batch --csv", "batch --csv out.csv",
                            "run --methods 2017 p.pq8d", "run --methods p.pq8d", "batch --methods gec p.pq8d",
                            "run --methods 2018 --methods 1999 p.pq8d", "run --csv s.csv p.pq8d", "batch --json p.pq8d",
                            "run a.pq8d b.pq8d"}) {
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
      {slow, ": status 0, run completed; 2 warnings, the first: layer 5: "},
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

TEST(CommandLine, ALinkToTheProjectUnderARunNameIsRefused) {
  // `ln pier.pq8d TZDATA.DAT`: a run would rewrite the project as scratch data.
  TempFolder dir;
  const fs::path project = dir / "pier.pq8d";
  writeFile(project, kSmallProject);
  fs::create_hard_link(project, dir / "TZDATA.DAT");
  const Command run = pylar("run " + quoted(project));
  EXPECT_EQ(run.exitStatus, 11);
  EXPECT_EQ(run.output, project.string() + ": status 11, not run: " + (dir / "TZDATA.DAT").string() +
                            " is a link to the project file (another name of it)\n");
  EXPECT_EQ(readFile(project), kSmallProject);
  EXPECT_EQ(filesIn(dir / ""), (std::vector<std::string>{"TZDATA.DAT", "pier.pq8d"}));
}

// An editor's backup beside a project has the project's stem: both would
// write pier.pq8o, and the report left would be the backup's.
TEST(CommandLine, TwoProjectsOfOneStemInABatchAreRefused) {
  TempFolder dir;
  const fs::path project = dir / "pier.pq8d", backup = dir / "pier.pq8d~";
  writeFile(project, kSmallProject);
  std::string older = kSmallProject;
  older.replace(older.find("1 10 60"), 7, "1 10 50");
  writeFile(backup, older);
  const Command batch = pylar("batch " + quoted(dir / "") + "*");
  EXPECT_EQ(batch.exitStatus, 11);
  EXPECT_EQ(batch.output, project.string() + ": status 11, not run: " + backup.string() +
                              " would write the same result files; rename one of the two\n" + backup.string() +
                              ": status 11, not run: " + project.string() +
                              " would write the same result files; rename one of the two\n0 completed, 2 failed\n");
  EXPECT_EQ(filesIn(dir / ""), (std::vector<std::string>{"pier.pq8d", "pier.pq8d~"}));
}

std::map<std::string, std::string> folderContents(const fs::path& folder) {
  std::map<std::string, std::string> contents;
  for (const std::string& name : filesIn(folder)) contents[name] = readFile(folder / name);
  return contents;
}

TEST(CommandLine, SummaryIsNeverWrittenOverAProjectOrAFileARunWrites) {
  TempFolder dir;
  const fs::path project = dir / "p.pq8d";
  writeFile(project, kSmallProject);
  ASSERT_EQ(pylar("run " + quoted(project)).exitStatus, 0);
  writeFile(dir / "old.pqd", "a project of the older layout\r\n");
  fs::create_hard_link(project, dir / "link.csv");
  const auto before = folderContents(dir / "");
  for (const char* name : {"p.pq8o", "p.pq8s", "p.pq8w", "TZDATA.DAT", "PYLAR.LCK", "old.pqd", "NEW.PQD", "link.csv"}) {
    const Command refused = pylar("batch --csv " + quoted(dir / name) + " " + quoted(project));
    EXPECT_EQ(refused.exitStatus, 64) << name;
    EXPECT_EQ(refused.output, "") << name;
    EXPECT_TRUE(folderContents(dir / "") == before) << name << ": a file was written";
  }

  // A link planted where the summary's temporary file goes is replaced, not
  // written through.
  writeFile(dir / "victim.txt", "keep me\r\n");
  fs::create_symlink(dir / "victim.txt", dir / "s.csv.tmp");
  EXPECT_EQ(pylar("batch --csv " + quoted(dir / "s.csv") + " " + quoted(project)).exitStatus, 0);
  EXPECT_EQ(readFile(dir / "victim.txt"), "keep me\r\n");
  EXPECT_EQ(readFile(dir / "s.csv").rfind("project,status,", 0), 0U);
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "s.csv.tmp")));
}

// A file-size limit (`ulimit -f`) makes writes fail: the run says so with
// status 12 instead of the runner being killed, leaves no intermediate or
// temporary file, keeps the earlier report when its own could not be
// written, and names a report only when it wrote it.
TEST(CommandLine, AFileSizeLimitEndsTheRunWithStatus12) {
  struct Case {
    rlim_t limit;         // bytes
    bool reportWritten;   // the sample's report is 36907 bytes, its detail listing 42131
  };
  for (const Case& c : {Case{30000, false}, Case{40000, true}}) {
    SCOPED_TRACE(c.limit);
    TempFolder dir;
    const fs::path folder = dir / "f", project = folder / "p.pq8d";
    fs::create_directories(folder);
    fs::copy_file(fs::path(PYLAR_SOURCE_DIR) / "examples" / "sand-asd-english.pq8d", project);
    writeFile(folder / "p.pq8o", "earlier report\r\n");
    const int status = finish(start({"run", project.string()}, dir / "out", c.limit));
    EXPECT_EQ(status, 12);
    EXPECT_EQ(readFile(dir / "out"),
              project.string() + ": status 12, FILE ERROR: A RESULT FILE COULD NOT BE WRITTEN COMPLETELY" +
                  (c.reportWritten ? "; report: " + (folder / "p.pq8o").string() : "") + "\n");
    EXPECT_EQ(readFile(folder / "p.pq8o") == "earlier report\r\n", !c.reportWritten);
    for (const std::string& name : filesIn(folder)) {
      EXPECT_FALSE(std::regex_match(name, std::regex(R"(p\.pq8[wtq]|TZDIAM\.DAT|.*\.tmp)"))) << name << " was left";
    }
  }
}

// The date and time of a run, the one thing two runs of a project differ in.
std::string withoutDate(const std::string& text) {
  static const std::regex date("\r\n {15}Date:  [^\r]*");
  return std::regex_replace(text, date, "\r\n<date>");
}

std::map<std::string, std::string> resultsOf(const fs::path& project) {
  std::map<std::string, std::string> files;
  for (const char* extension : {".pq8o", ".pq8p", ".pq8r", ".pq8z", ".pq8s"})
    files[extension] = withoutDate(readFile(fs::path(project).replace_extension(extension)));
  return files;
}

// Two runs of one folder at once (two projects, or one project twice): each
// waits for the other, so every run writes what it writes when it runs
// alone, or (after a long wait) is refused with a message.
TEST(CommandLine, RunsOfOneFolderAtTheSameTimeTakeTurns) {
  TempFolder dir;
  const fs::path folder = dir / "f", a = folder / "a.pq8d", b = folder / "b.pq8d";
  fs::create_directories(folder);
  // Three diameters against the small project's one: plot data mixed between
  // the two shows in the t-z diameter count.
  fs::copy_file(fs::path(PYLAR_SOURCE_DIR) / "examples" / "sand-asd-english.pq8d", a);
  writeFile(b, kSmallProject);
  ASSERT_EQ(pylar("run " + quoted(a)).exitStatus, 0);
  ASSERT_EQ(pylar("run " + quoted(b)).exitStatus, 0);
  const std::map<fs::path, std::map<std::string, std::string>> lone = {{a, resultsOf(a)}, {b, resultsOf(b)}};
  const std::vector<std::pair<fs::path, fs::path>> pairs(20, {a, b});
  std::vector<std::pair<fs::path, fs::path>> all = pairs;
  all.insert(all.end(), 5, {a, a});
  int refusals = 0;
  for (std::size_t k = 0; k < all.size(); ++k) {
    const auto& [one, two] = all[k];
    SCOPED_TRACE(k);
    const pid_t first = start({"run", one.string()}, dir / "out1");
    const pid_t second = start({"run", two.string()}, dir / "out2");
    const std::pair<int, fs::path> ends[] = {{finish(first), dir / "out1"}, {finish(second), dir / "out2"}};
    for (const auto& [status, out] : ends) {
      if (status == 11) {
        ++refusals;
        EXPECT_NE(readFile(out).find("another run is using this folder"), std::string::npos) << readFile(out);
      } else {
        EXPECT_EQ(status, 0) << readFile(out);
      }
    }
    for (const fs::path& project : {one, two}) EXPECT_TRUE(resultsOf(project) == lone.at(project)) << project;
  }
  EXPECT_EQ(refusals, 0) << "runs of a moment were refused instead of waited for";
  EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"CHART.DAT", "PYLAR.LCK", "ROCKMSG.DAT", "TZDATA.DAT",
                                                       "a.pq8d", "a.pq8o", "a.pq8p", "a.pq8r", "a.pq8s", "a.pq8z",
                                                       "b.pq8d", "b.pq8o", "b.pq8p", "b.pq8r", "b.pq8s", "b.pq8z"}));
}

std::vector<std::string> splitFields(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::size_t pos = 0;
  for (std::size_t end; (end = line.find(separator, pos)) != std::string::npos; pos = end + 1)
    fields.push_back(line.substr(pos, end - pos));
  fields.push_back(line.substr(pos));
  return fields;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  for (const std::string& line : splitFields(text, '\n'))
    if (!line.empty()) lines.push_back(line.back() == '\r' ? line.substr(0, line.size() - 1) : line);
  return lines;
}

// The fields of the capacity row printed last before the report's "PYLAR
// LENGTH" line, and that line's value.
std::pair<std::vector<std::string>, std::string> lastRowOfReport(const fs::path& report) {
  std::vector<std::string> row;
  for (const std::string& line : splitLines(readFile(report))) {
    if (line.find("PYLAR LENGTH              =") != std::string::npos) {
      std::string value = line.substr(line.find('=') + 1);
      value = value.substr(value.find_first_not_of(' '));
      return {row, value.substr(0, value.find(' '))};
    }
    std::vector<std::string> fields;
    for (const std::string& f : splitFields(line, ' '))
      if (!f.empty()) fields.push_back(f);
    if (fields.size() == 8 && fields[0].find('.') != std::string::npos &&
        fields[0].find_first_not_of("0123456789.") == std::string::npos)
      row = fields;
  }
  return {};
}

TEST(CommandLine, BatchCsvHasOneRowPerPierFromTheRunsValues) {
  TempFolder dir;
  const fs::path small = dir / "a" / "small, first.pq8d";  // a comma: the field is quoted
  const fs::path series = dir / "b" / "sand.pq8d";
  const fs::path missing = dir / "c" / "missing.pq8d";
  writeFile(small, kSmallProject);
  fs::create_directories(series.parent_path());
  fs::copy_file(fs::path(PYLAR_SOURCE_DIR) / "examples" / "sand-asd-english.pq8d", series);
  const fs::path csv = dir / "summary.csv";
  writeFile(csv, "old summary\r\n");

  const Command batch = pylar("batch --csv " + quoted(csv) + " " + quoted(small) + " " + quoted(series) + " " +
                              quoted(missing));
  EXPECT_EQ(batch.exitStatus, 10);
  EXPECT_NE(batch.output.find("2 completed, 1 failed\n"), std::string::npos) << batch.output;
  EXPECT_FALSE(fs::exists(dir / "summary.csv.tmp"));
  const std::string text = readFile(csv);
  EXPECT_NE(text.find("\r\n"), std::string::npos);
  const std::vector<std::string> rows = splitLines(text);
  // Header, one pier of the small project, three of the sample's diameter
  // series, one row for the project that did not run.
  ASSERT_EQ(rows.size(), 6U) << text;
  EXPECT_EQ(rows[0],
            "project,status,units,design,methods,case,stem,base,length,QS,QB/WT,QU,allowable/LRFD,QU/volume,"
            "most efficient,warnings");
  EXPECT_EQ(rows[1].rfind("\"" + small.string() + "\",0,English,ASD,1999,1,", 0), 0U) << rows[1];
  EXPECT_EQ(rows[5], missing.string() + ",10,,,,,,,,,,,,,,0");

  // Each pier's numbers are the report's: QS, QB, QU, QDN and QU/volume of
  // the last capacity row, and the pier length, as printed.
  const auto [smallRow, smallLength] = lastRowOfReport(dir / "a" / "small, first.pq8o");
  ASSERT_EQ(smallRow.size(), 8U);
  std::vector<std::string> f = splitFields(rows[1].substr(rows[1].rfind('"') + 2), ',');
  ASSERT_EQ(f.size(), 15U) << rows[1];
  EXPECT_EQ(f[14], "0") << "the small project warns of nothing";
  EXPECT_EQ(f[7], smallLength);
  const std::vector<std::string> fromCsv = {f[8], f[9], f[10], f[11], f[12]};
  const std::vector<std::string> fromReport = {smallRow[2], smallRow[3], smallRow[4], smallRow[6], smallRow[7]};
  EXPECT_EQ(fromCsv, fromReport);

  // Exactly one pier of the series is the most efficient.
  int chosen = 0;
  for (int k = 2; k <= 4; ++k) {
    const std::vector<std::string> g = splitFields(rows[static_cast<std::size_t>(k)], ',');
    ASSERT_EQ(g.size(), 16U) << rows[static_cast<std::size_t>(k)];
    EXPECT_EQ(g[5], std::to_string(k - 1));
    chosen += g[14] == "yes" ? 1 : 0;
  }
  EXPECT_EQ(chosen, 1);

  // A summary that cannot be written: status 12, and what stood there stays.
  const fs::path folder = dir / "folder.csv";
  fs::create_directories(folder / "inside");
  const Command failed = pylar("batch --csv " + quoted(folder) + " " + quoted(small));
  EXPECT_EQ(failed.exitStatus, 12);
  EXPECT_TRUE(fs::is_directory(folder / "inside"));
  EXPECT_FALSE(fs::exists(dir / "folder.csv.tmp"));

  // A summary named like a project is refused before anything runs.
  for (const fs::path& target : {small, dir / "other.pq8d"}) {
    const std::string before = fs::exists(target) ? readFile(target) : "";
    const Command refused = pylar("batch --csv " + quoted(target) + " " + quoted(small));
    EXPECT_EQ(refused.exitStatus, 64) << target;
    EXPECT_EQ(refused.output, "") << target;
    EXPECT_EQ(fs::exists(target) ? readFile(target) : "", before) << target;
  }
}

// A run with warnings says how many and which comes first, on its line and
// in its row of the batch summary.
TEST(CommandLine, RunLineAndSummaryCountTheWarnings) {
  TempFolder dir;
  const fs::path deep = dir / "deep.pq8d";
  fs::create_directories(dir / "x");
  fs::copy_file(fs::path(PYLAR_SOURCE_DIR) / "examples" / "deep-profile-lrfd.pq8d", deep);
  const Command run = pylar("run " + quoted(deep));
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.output, deep.string() +
                            ": status 0, run completed; 2 warnings, the first: layer 5: Blow counts should be greater "
                            "than 25 for this criterion. Select other soil criteria and do not use this output data.; "
                            "report: " +
                            (dir / "deep.pq8o").string() + "\n");

  const fs::path csv = dir / "s.csv";
  const Command batch = pylar("batch --csv " + quoted(csv) + " " + quoted(deep));
  EXPECT_EQ(batch.exitStatus, 0);
  const std::vector<std::string> rows = splitLines(readFile(csv));
  ASSERT_GE(rows.size(), 2U);
  for (std::size_t k = 1; k < rows.size(); ++k) EXPECT_EQ(rows[k].substr(rows[k].rfind(',')), ",2") << rows[k];
}

// --methods runs a project with the other method set and never rewrites the
// file; the JSON and the summary name the set each run used.
TEST(CommandLine, MethodsOptionChoosesTheSetWithoutTouchingTheProject) {
  TempFolder dir;
  const fs::path plain = dir / "a" / "plain.pq8d";
  const fs::path marked = dir / "b" / "marked.pq8d";
  const std::string markedText = kSmallProject + "METHODS 2018 \r\n";
  writeFile(plain, kSmallProject);
  writeFile(marked, markedText);
  auto methodsOf = [](const std::string& json) {
    const std::string key = "\"methods\":\"";
    const auto at = json.find(key);
    return at == std::string::npos ? std::string() : json.substr(at + key.size(), 4);
  };
  struct Case {
    std::string options;
    const fs::path* project;
    std::string methods;
  };
  for (const Case& c : {Case{"", &plain, "1999"}, Case{"--methods 2018 ", &plain, "2018"}, Case{"", &marked, "2018"},
                        Case{"--methods 1999 ", &marked, "1999"}}) {
    const Command run = pylar("run --json " + c.options + quoted(*c.project));
    EXPECT_EQ(run.exitStatus, 0) << c.options << *c.project;
    EXPECT_EQ(methodsOf(run.output), c.methods) << c.options << *c.project;
  }
  // The option may come first; the project files are as they were.
  EXPECT_EQ(pylar("run --methods 2018 --json " + quoted(plain)).exitStatus, 0);
  EXPECT_EQ(readFile(plain), kSmallProject);
  EXPECT_EQ(readFile(marked), markedText);

  // The summary's methods column, and a QS that differs between the sets.
  const fs::path csv1999 = dir / "s1999.csv";
  const fs::path csv2018 = dir / "s2018.csv";
  ASSERT_EQ(pylar("batch --csv " + quoted(csv1999) + " " + quoted(plain)).exitStatus, 0);
  ASSERT_EQ(pylar("batch --methods 2018 --csv " + quoted(csv2018) + " " + quoted(plain)).exitStatus, 0);
  const std::vector<std::string> a = splitFields(splitLines(readFile(csv1999)).at(1), ',');
  const std::vector<std::string> b = splitFields(splitLines(readFile(csv2018)).at(1), ',');
  ASSERT_EQ(a.size(), 16U);
  ASSERT_EQ(b.size(), 16U);
  EXPECT_EQ(a[4], "1999");
  EXPECT_EQ(b[4], "2018");
  EXPECT_NE(a[9], b[9]) << "QS of the two sets";
}

TEST(CommandLine, JsonOfARunThatDidNotAnalyse) {
  TempFolder dir;
  struct Case {
    std::string name;
    std::string text;  // empty: no file
    int status;
    std::string expected;  // the whole JSON up to the report
  };
  const std::string quote = "say \"x\".pq8d";
  const std::vector<Case> cases = {
      {"missing.pq8d", "", 10, "\"status\":10,\"message\":\"INPUT ERROR: THE PROJECT FILE CANNOT BE OPENED: "},
      {quote, "T\r\n1\r\n", 10, "\"status\":10,\"message\":\"INPUT ERROR"},
  };
  for (const Case& c : cases) {
    const fs::path project = dir / c.name;
    if (!c.text.empty()) writeFile(project, c.text);
    const Command run = pylar("run --json " + quoted(project));
    EXPECT_EQ(run.exitStatus, c.status) << c.name;
    std::string name = project.string();
    for (std::size_t k = 0; (k = name.find('"', k)) != std::string::npos; k += 2) name.insert(k, "\\");
    EXPECT_EQ(run.output.rfind("{\"project\":\"" + name + "\"," + c.expected, 0), 0U) << run.output;
    EXPECT_NE(run.output.find(",\"results\":null}\n"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << "one line of JSON only";
  }
}

}  // namespace
