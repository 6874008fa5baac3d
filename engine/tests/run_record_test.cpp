// The run record beside the results: what a run read and how it ended, and
// whether the results in a folder are a project's current ones.
#include "run_record.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "pylar/engine.h"
#include "test_support.h"

namespace pylar::engine {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempFolder;
using test::writeFile;

using test::fixedTime;

const std::string& kSand = test::kSmallSandProject;

std::string hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::string replaced(std::string text, const std::string& what, const std::string& with) {
  const auto at = text.find(what);
  if (at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

TEST(RunRecord, Fnv1a64OfKnownTexts) {
  // The published FNV-1a 64-bit test values.
  EXPECT_EQ(hex(fnv1a64("")), "cbf29ce484222325");
  EXPECT_EQ(hex(fnv1a64("a")), "af63dc4c8601ec8c");
  EXPECT_EQ(hex(fnv1a64("foobar")), "85944171f73967e8");
  // Continued over pieces, it is the hash of the whole.
  EXPECT_EQ(fnv1a64("bar", fnv1a64("foo")), fnv1a64("foobar"));
}

TEST(RunRecord, ARunRemovesTheOldRecordFirstAndWritesItsOwnLast) {
  TempFolder dir;
  const fs::path project = dir / "pier.pq8d", record = dir / "pier.pq8s";
  writeFile(project, kSand);
  ASSERT_EQ(runProject(project, fixedTime).summary.status, kStatusCompleted);
  ASSERT_TRUE(resultsAreCurrent(project));

  // The clock is read once the result files are open: by then the earlier
  // run's record must be gone, or a run killed now would leave results that
  // it vouches for.
  bool recordWhileWriting = true;
  const auto clock = [&] {
    recordWhileWriting = fs::exists(record);
    return fixedTime();
  };
  const ProjectRun run = runProject(project, clock);
  EXPECT_EQ(run.summary.status, kStatusCompleted);
  EXPECT_FALSE(recordWhileWriting);
  EXPECT_EQ(readFile(record), "PYLAR RUN RECORD 1\r\n"
                              "PROJECT pier.pq8d\r\n"
                              "SIZE " + std::to_string(kSand.size()) + "\r\n"
                              "FNV1A64 " + hex(fnv1a64(kSand)) + "\r\n"
                              "STATUS 0\r\n");
  ASSERT_FALSE(run.summary.filesWritten.empty());
  EXPECT_EQ(run.summary.filesWritten.back(), record);
}

TEST(RunRecord, ResultsAreCurrentOnlyForTheProjectAsItIsAfterARunThatCompleted) {
  struct Case {
    const char* what;
    std::string (*record)(const std::string&);    // from the written record
    std::string (*project)(const std::string&);  // from the project run
    bool current;
  };
  auto same = [](const std::string& s) { return s; };
  const Case cases[] = {
      {"as written", same, same, true},
      {"design load not reached (files complete)",
       [](const std::string& r) { return replaced(r, "STATUS 0", "STATUS 7"); }, same, true},
      {"record with LF lines", [](const std::string& r) {
         std::string t;
         for (char c : r)
           if (c != '\r') t += c;
         return t;
       },
       same, true},
      {"project edited, same size", same, [](const std::string& p) { return replaced(p, "Sand", "Sane"); }, false},
      {"project grown", same, [](const std::string& p) { return p + "\r\n"; }, false},
      {"record of another project",
       [](const std::string& r) { return replaced(r, "PROJECT pier.pq8d", "PROJECT pier.bak"); }, same, false},
      {"size differs", [](const std::string& r) { return replaced(r, "SIZE ", "SIZE 1"); }, same, false},
      {"hash in capitals", [](const std::string& r) {
         std::string t = r;
         for (std::size_t k = t.find("FNV1A64 ") + 8; k < t.find("\r\nSTATUS"); ++k)
           t[k] = static_cast<char>(std::toupper(t[k]));
         return t;
       },
       same, false},
      {"status 12 (a file could not be written)",
       [](const std::string& r) { return replaced(r, "STATUS 0", "STATUS 12"); }, same, false},
      {"status 10 (bad project file)", [](const std::string& r) { return replaced(r, "STATUS 0", "STATUS 10"); }, same,
       false},
      {"cut short", [](const std::string& r) { return r.substr(0, r.size() - 3); }, same, false},
      {"a line more", [](const std::string& r) { return r + "NOTE x\r\n"; }, same, false},
      {"other text", [](const std::string&) { return std::string("PYLAR RUN RECORD 2\r\n"); }, same, false},
      {"empty", [](const std::string&) { return std::string(); }, same, false},
  };
  TempFolder dir;
  const fs::path project = dir / "pier.pq8d", record = dir / "pier.pq8s";
  writeFile(project, kSand);
  ASSERT_EQ(runProject(project, fixedTime).summary.status, kStatusCompleted);
  const std::string written = readFile(record);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeFile(record, c.record(written));
    writeFile(project, c.project(kSand));
    EXPECT_EQ(resultsAreCurrent(project), c.current);
  }
  fs::remove(record);
  writeFile(project, kSand);
  EXPECT_FALSE(resultsAreCurrent(project)) << "no record";
}

TEST(RunRecord, RecordsHowEveryRunEnded) {
  // The design load of 1E6 tons is beyond what 80 ft of sand carries.
  std::string heavy = kSand;
  heavy.replace(heavy.find("2 1 1 1 1 2"), 1, "1");
  heavy.replace(heavy.find("1 10 60 "), 8, "1 10 1000000 ");
  struct Case {
    const char* what;
    std::string project;
    long fileLimit;  // bytes a file may grow to; 0: no limit
    int status;
  };
  const Case cases[] = {
      {"design load not reached", heavy, 0, kStatusDesignLoadNotReached},
      {"bad project file", "T\r\n1\r\n", 0, kStatusBadInput},
      {"a full disk (the report is longer)", kSand, 4000, kStatusFileError},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    const fs::path project = dir / "pier.pq8d";
    writeFile(project, c.project);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    if (c.fileLimit > 0) {
      rlimit small = old;
      small.rlim_cur = static_cast<rlim_t>(c.fileLimit);
      ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    const ProjectRun run = runProject(project, fixedTime);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_EQ(run.summary.status, c.status) << run.summary.message;
    const auto r = parseRunRecord(readFile(dir / "pier.pq8s"));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->status, c.status);
    EXPECT_EQ(r->size, c.project.size());
    EXPECT_EQ(resultsAreCurrent(project), c.status == kStatusDesignLoadNotReached);
  }
}

// A project is read whole before it is parsed; a file far larger than any
// project (here a sample followed by 64 MB of zeros) is refused as bad input
// instead of being held in memory.
TEST(RunRecord, AProjectFileLargerThan64MBIsBadInput) {
  TempFolder dir;
  const fs::path project = dir / "pier.pq8d";
  writeFile(project, kSand);
  fs::resize_file(project, (std::uintmax_t{64} << 20) + 1);
  const ProjectRun run = runProject(project, fixedTime);
  EXPECT_EQ(run.summary.status, kStatusBadInput);
  EXPECT_EQ(run.summary.message, "INPUT ERROR: THE PROJECT FILE IS LARGER THAN 64 MB: " + project.string());
  const auto r = parseRunRecord(readFile(dir / "pier.pq8s"));
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->size, (std::uint64_t{64} << 20) + 1);
}

}  // namespace
}  // namespace pylar::engine
