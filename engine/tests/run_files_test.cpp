// What a run does to the files of a project folder: it never writes through a
// name that is a link (the file a link points to, a hard-linked copy of the
// folder, the project itself under another name), and two runs of one folder
// never use its fixed scratch names at the same time.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <filesystem>
#include <regex>
#include <thread>

#include "pylar/engine.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempFolder;
using test::writeFile;
using Lines = std::vector<std::string>;

using test::fixedTime;

// A one-layer sand project, and the sample whose diameter series of three
// writes every scratch file (its t-z diameter count differs from the small
// project's one).
const std::string& kSand = test::kSmallSandProject;
std::string sample(const char* name) { return readFile(fs::path(PYLAR_SOURCE_DIR) / "examples" / name); }

// Every name a project run writes beside p.pq8d.
const char* const kRunNames[] = {"p.pq8o",    "p.pq8p",     "p.pq8r",     "p.pq8z",      "p.pq8w",
                                 "p.pq8t",    "p.pq8q",     "p.pq8s",     "CHART.DAT",   "TZDATA.DAT",
                                 "TZDIAM.DAT", "ROCKMSG.DAT", "PYLAR.LCK"};

// The result files of a project, as the run wrote them.
std::map<std::string, std::string> resultsOf(const fs::path& project) {
  std::map<std::string, std::string> files;
  for (const char* extension : {".pq8o", ".pq8p", ".pq8r", ".pq8z", ".pq8s"})
    files[extension] = readFile(fs::path(project).replace_extension(extension));
  return files;
}

TEST(RunFiles, AHardLinkToTheProjectUnderARunNameIsRefused) {
  for (const char* name : kRunNames) {
    SCOPED_TRACE(name);
    TempFolder dir;
    writeFile(dir / "p.pq8d", kSand);
    fs::create_hard_link(dir / "p.pq8d", dir / name);
    const ProjectRun run = runProject(dir / "p.pq8d", fixedTime);
    EXPECT_EQ(run.summary.status, kStatusBadRunNames);
    EXPECT_EQ(run.summary.message,
              "RUN NAMES ERROR: A FILE THE RUN WRITES IS A LINK TO THE PROJECT FILE: " + (dir / name).string());
    EXPECT_EQ(run.summary.refusal.reason, RunRefusal::Reason::ProjectLink);
    EXPECT_EQ(run.summary.refusal.path, dir / name);
    EXPECT_TRUE(run.report.empty());
    EXPECT_EQ(readFile(dir / "p.pq8d"), kSand);
    Lines expected = {"p.pq8d", name};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.files(), expected) << "a file was touched";
  }
}

TEST(RunFiles, ALinkUnderARunNameIsReplacedNotTheFileItPointsTo) {
  for (const char* name : kRunNames) {
    if (std::string(name) == "PYLAR.LCK") continue;  // refused: see LockFileThatIsNotOneIsNotWritten
    SCOPED_TRACE(name);
    TempFolder dir, elsewhere;
    writeFile(dir / "p.pq8d", sample("sand-asd-english.pq8d"));
    writeFile(elsewhere / "victim.txt", "keep me\r\n");
    fs::create_symlink(elsewhere / "victim.txt", dir / name);
    const ProjectRun run = runProject(dir / "p.pq8d", fixedTime);
    EXPECT_EQ(run.summary.status, kStatusCompleted) << run.summary.message;
    EXPECT_TRUE(readFile(elsewhere / "victim.txt") == "keep me\r\n") << "the file the link points to was written";
    // The name now holds this run's file (or is gone, for the intermediate
    // files the runner removes); it is no link any more.
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(dir / name))) << "the link is still there";
  }
}

// `cp -al live snap` keeps a copy of a folder whose files share their data
// with the folder's. A later run in the folder must not change the copy.
TEST(RunFiles, AHardLinkedCopyOfTheFolderKeepsItsResults) {
  TempFolder dir;
  const fs::path live = dir / "live", snap = dir / "snap";
  fs::create_directories(live);
  fs::create_directories(snap);
  writeFile(live / "p.pq8d", sample("sand-asd-english.pq8d"));
  ASSERT_EQ(runProject(live / "p.pq8d", fixedTime).summary.status, kStatusCompleted);
  for (const auto& entry : fs::directory_iterator(live))
    fs::create_hard_link(entry.path(), snap / entry.path().filename());
  const auto before = resultsOf(snap / "p.pq8d");

  // The project is edited (saved through a new file, as the program saves)
  // and run again.
  writeFile(live / "new.pq8d", sample("clay-lrfd-si.pq8d"));
  fs::rename(live / "new.pq8d", live / "p.pq8d");
  ASSERT_EQ(runProject(live / "p.pq8d", fixedTime).summary.status, kStatusCompleted);
  EXPECT_NE(resultsOf(live / "p.pq8d"), before);
  EXPECT_TRUE(resultsOf(snap / "p.pq8d") == before) << "the copy's results changed";
  EXPECT_TRUE(resultsAreCurrent(snap / "p.pq8d"));
}

// A child process that holds a folder's lock until it is told to let go.
class LockHolder {
 public:
  explicit LockHolder(const fs::path& folder) {
    int ready[2], release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) return;
    const std::string file = (folder / "PYLAR.LCK").string();
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(release[1]);
      const int fd = open(file.c_str(), O_RDWR | O_CREAT, 0666);
      if (fd < 0 || flock(fd, LOCK_EX) != 0) _exit(1);
      const std::string id = std::to_string(getpid()) + "\r\n";
      if (ftruncate(fd, 0) != 0 || write(fd, id.data(), id.size()) < 0) _exit(1);
      char c = 'x';
      if (write(ready[1], &c, 1) != 1) _exit(1);
      if (read(release[0], &c, 1) < 0) _exit(1);
      _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    release_ = release[1];
    char c = 0;
    held_ = read(ready[0], &c, 1) == 1;
    close(ready[0]);
  }
  ~LockHolder() { let_go(); }
  bool held() const { return held_; }
  void let_go() {
    if (pid_ <= 0) return;
    close(release_);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool held_ = false;
};

TEST(RunFiles, AFolderHeldByAnotherRunIsWaitedForThenRefused) {
  TempFolder dir;
  writeFile(dir / "p.pq8d", kSand);
  RunOptions shortWait;
  shortWait.folderWait = std::chrono::milliseconds(300);
  LockHolder other(dir.path());
  ASSERT_TRUE(other.held());
  for (bool byName : {false, true}) {
    const RunSummary summary = byName ? runProject(dir / "p.pq8d", fixedTime, shortWait).summary
                                      : runAnalysis(namesBeside(dir / "p.pq8d"), fixedTime, shortWait);
    EXPECT_EQ(summary.status, kStatusBadRunNames);
    EXPECT_EQ(summary.message, "RUN NAMES ERROR: ANOTHER RUN IS USING THE FOLDER " + dir.path().string());
    EXPECT_EQ(summary.refusal.reason, RunRefusal::Reason::FolderBusy);
    EXPECT_EQ(summary.refusal.path, dir.path());
    EXPECT_EQ(dir.files(), (Lines{"PYLAR.LCK", "p.pq8d"})) << "a file was touched";
  }
  // Once the other run lets go, the waiting run goes ahead.
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    other.let_go();
  });
  const ProjectRun run = runProject(dir / "p.pq8d", fixedTime);
  release.join();
  EXPECT_EQ(run.summary.status, kStatusCompleted) << run.summary.message;
  // The lock file is kept, empty: no process holds it.
  EXPECT_EQ(readFile(dir / "PYLAR.LCK"), "");
}

// The desktop program holds the folder around its whole run and calls the
// engine inside it, in the same process.
TEST(RunFiles, AFolderHeldUnderThisProcessByItsCallerIsUsed) {
  TempFolder dir;
  writeFile(dir / "p.pq8d", kSand);
  const int fd = open((dir / "PYLAR.LCK").c_str(), O_RDWR | O_CREAT, 0666);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  const std::string id = std::to_string(getpid()) + "\r\n";
  ASSERT_EQ(write(fd, id.data(), id.size()), static_cast<ssize_t>(id.size()));
  RunOptions shortWait;
  shortWait.folderWait = std::chrono::milliseconds(300);
  const ProjectRun run = runProject(dir / "p.pq8d", fixedTime, shortWait);
  EXPECT_EQ(run.summary.status, kStatusCompleted) << run.summary.message;
  // The caller's lock and its process id are left as they were.
  EXPECT_EQ(readFile(dir / "PYLAR.LCK"), id);
  const int second = open((dir / "PYLAR.LCK").c_str(), O_RDWR);
  EXPECT_NE(flock(second, LOCK_EX | LOCK_NB), 0) << "the caller's lock was let go";
  close(second);
  close(fd);
}

TEST(RunFiles, LockFileThatIsNotOneIsNotWritten) {
  struct Case {
    const char* what;
    void (*make)(const TempFolder&);
  };
  const Case cases[] = {
      {"a link to another file",
       [](const TempFolder& d) {
         writeFile(d / "notes.txt", "12\r\n");
         fs::create_symlink(d / "notes.txt", d / "PYLAR.LCK");
       }},
      {"a hard link to a file with other text",
       [](const TempFolder& d) {
         writeFile(d / "notes.txt", "site notes\r\n");
         fs::create_hard_link(d / "notes.txt", d / "PYLAR.LCK");
       }},
      {"a folder", [](const TempFolder& d) { fs::create_directory(d / "PYLAR.LCK"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    writeFile(dir / "p.pq8d", kSand);
    c.make(dir);
    const Lines before = dir.files();
    const std::string notes = readFile(dir / "notes.txt");
    const ProjectRun run = runProject(dir / "p.pq8d", fixedTime);
    EXPECT_EQ(run.summary.status, kStatusBadRunNames);
    EXPECT_EQ(run.summary.message,
              "RUN NAMES ERROR: NOT A LOCK FILE (A LINK, NOT A REGULAR FILE, OR OTHER TEXT THAN A PROCESS ID): " +
                  (dir / "PYLAR.LCK").string());
    EXPECT_EQ(dir.files(), before);
    EXPECT_EQ(readFile(dir / "notes.txt"), notes);
  }
}

// Masks the run's date and time, the one thing two runs of a project differ in.
std::map<std::string, std::string> masked(std::map<std::string, std::string> files) {
  static const std::regex date("\r\n {15}Date:  [^\r]*");
  for (auto& [name, text] : files) text = std::regex_replace(text, date, "\r\n<date>");
  return files;
}

TEST(RunFiles, RunsOfOneFolderOnTwoThreadsTakeTurns) {
  TempFolder dir;
  const fs::path a = dir / "a.pq8d", b = dir / "b.pq8d";
  writeFile(a, sample("sand-asd-english.pq8d"));
  writeFile(b, kSand);
  ASSERT_EQ(runProject(a).summary.status, kStatusCompleted);
  ASSERT_EQ(runProject(b).summary.status, kStatusCompleted);
  const auto loneA = masked(resultsOf(a)), loneB = masked(resultsOf(b));
  for (int repeat = 0; repeat < 10; ++repeat) {
    SCOPED_TRACE(repeat);
    ProjectRun runA, runB;
    std::thread other([&] { runB = runProject(b); });
    runA = runProject(a);
    other.join();
    EXPECT_EQ(runA.summary.status, kStatusCompleted) << runA.summary.message;
    EXPECT_EQ(runB.summary.status, kStatusCompleted) << runB.summary.message;
    EXPECT_TRUE(masked(resultsOf(a)) == loneA) << "a's results differ from a lone run's";
    EXPECT_TRUE(masked(resultsOf(b)) == loneB) << "b's results differ from a lone run's";
  }
}

TEST(RunFiles, TwoProjectsOfABatchThatWriteTheSameFilesAreRefused) {
  TempFolder dir;
  fs::create_directories(dir / "other");
  const std::vector<fs::path> projects = {dir / "pier.pq8d", dir / "other" / "q.pq8d", dir / "pier.pq8d~",
                                          dir / "pier.pq8d"};
  writeFile(projects[0], kSand);
  writeFile(projects[1], kSand);
  writeFile(projects[2], "Backup\r\n1 \r\n");
  const auto results = runProjects(projects, 2, {}, fixedTime);
  ASSERT_EQ(results.size(), 4U);
  for (std::size_t k : {0U, 2U, 3U}) {
    SCOPED_TRACE(k);
    const fs::path& other = k == 2 ? projects[0] : projects[2];
    EXPECT_EQ(results[k].summary.status, kStatusBadRunNames);
    EXPECT_EQ(results[k].sharedWith, other);
    EXPECT_EQ(results[k].summary.refusal.reason, RunRefusal::Reason::SharedFiles);
    EXPECT_EQ(results[k].summary.message.rfind("RUN NAMES ERROR: THE PROJECTS " + projects[k].string() + " AND " +
                                                   other.string() + " WOULD WRITE THE SAME FILE ",
                                               0),
              0U)
        << results[k].summary.message;
  }
  EXPECT_EQ(results[1].summary.status, kStatusCompleted);
  EXPECT_EQ(dir.files(), (Lines{"other", "pier.pq8d", "pier.pq8d~"})) << "a refused project was run";
}

}  // namespace
}  // namespace pylar::engine
