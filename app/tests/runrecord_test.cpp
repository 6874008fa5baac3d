// The run record beside a run's results: its hash, its reading (every damaged
// or cut record is no record) and the verdict on the results beside a project.
#include "model/RunRecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace pylar {
namespace {

void writeBytes(const QString &path, const QByteArray &bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

// The published FNV-1a 64-bit test vectors.
TEST(RunRecord, HashIsFnv1a64) {
  EXPECT_EQ(Fnv1a64(""), 0xcbf29ce484222325ULL);
  EXPECT_EQ(Fnv1a64("a"), 0xaf63dc4c8601ec8cULL);
  EXPECT_EQ(Fnv1a64("foobar"), 0x85944171f73967e8ULL);
  // Fed in pieces, the same value; bytes above 127 count as unsigned.
  TFnv1a64 pieces;
  pieces.Add("foo");
  pieces.Add("bar");
  EXPECT_EQ(pieces.Value(), 0x85944171f73967e8ULL);
  EXPECT_NE(Fnv1a64("\xe9"), Fnv1a64("\x69"));
}

// The project "pier.pq8d" holds the 14 bytes below; FNV-1a of them is
// e3d449b72d8bd7d1 (worked out apart from the program: hash = 0xcbf29ce484222325,
// then for each byte hash ^= byte, hash *= 0x100000001b3, modulo 2^64).
const QByteArray kProject = "Pier\r\n1 \r\n2 \r\n";
const QByteArray kProjectHash = "e3d449b72d8bd7d1";

QByteArray record(const QByteArray &project, const QByteArray &size, const QByteArray &hash, const QByteArray &status,
                  const QByteArray &end = "\r\n") {
  return "PYLAR RUN RECORD 1" + end + "PROJECT " + project + end + "SIZE " + size + end + "FNV1A64 " + hash + end +
         "STATUS " + status + end;
}

TEST(RunRecord, TheFixtureHashIsTheOneWorkedOut) {
  EXPECT_EQ(QByteArray::number(Fnv1a64(kProject), 16).rightJustified(16, '0'), kProjectHash);
}

TEST(RunRecord, VerdictOnTheResultsBesideAProject) {
  const QByteArray size = QByteArray::number(kProject.size());
  const QByteArray good = record("pier.pq8d", size, kProjectHash, "0");
  struct TCase {
    const char *what;
    QByteArray text;  // the record's file; empty: none
    TResultsState state;
    int status;
  };
  const TCase cases[] = {
      {"completed run of this project", good, TResultsState::Current, 0},
      {"design load not reached: whole files", record("pier.pq8d", size, kProjectHash, "7"), TResultsState::Current, 7},
      {"LF line ends", record("pier.pq8d", size, kProjectHash, "0", "\n"), TResultsState::Current, 0},
      {"no record", {}, TResultsState::NoRecord, -1},
      {"disk full during the run", record("pier.pq8d", size, kProjectHash, "12"), TResultsState::RunIncomplete, 12},
      {"refused input", record("pier.pq8d", size, kProjectHash, "10"), TResultsState::RunIncomplete, 10},
      {"another project of the stem", record("pier.pq8d~", size, kProjectHash, "0"), TResultsState::OtherProject, 0},
      {"wrong hash", record("pier.pq8d", size, "e3d449b72d8bd7d0", "0"), TResultsState::OlderVersion, 0},
      {"wrong size", record("pier.pq8d", "15", kProjectHash, "0"), TResultsState::OlderVersion, 0},
      {"garbage", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), TResultsState::Unreadable, -1},
      {"cut inside the last line", good.left(good.size() - 3), TResultsState::Unreadable, -1},
      {"cut before the last line end", good.left(good.size() - 2), TResultsState::Unreadable, -1},
      {"cut after four lines", good.left(good.indexOf("STATUS")), TResultsState::Unreadable, -1},
      {"a line more", good + "STATUS 0\r\n", TResultsState::Unreadable, -1},
      {"another format version", "PYLAR RUN RECORD 2" + good.mid(18), TResultsState::Unreadable, -1},
      {"upper-case hash", record("pier.pq8d", size, kProjectHash.toUpper(), "0"), TResultsState::Unreadable, -1},
      {"short hash", record("pier.pq8d", size, kProjectHash.mid(1), "0"), TResultsState::Unreadable, -1},
      {"negative status", record("pier.pq8d", size, kProjectHash, "-1"), TResultsState::Unreadable, -1},
      {"size that is no number", record("pier.pq8d", "14x", kProjectHash, "0"), TResultsState::Unreadable, -1},
      {"no project name", record("", size, kProjectHash, "0"), TResultsState::Unreadable, -1},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.what);
    QTemporaryDir dir;
    const QString project = dir.filePath("pier.pq8d");
    writeBytes(project, kProject);
    if (!c.text.isEmpty()) writeBytes(dir.filePath("pier.pq8s"), c.text);
    // From the bytes in memory and from the file on disk alike.
    for (const TResultsCheck &check : {CheckRunRecord(project, kProject), CheckRunRecord(project)}) {
      EXPECT_EQ(check.state, c.state);
      EXPECT_EQ(check.status, c.status);
      EXPECT_EQ(check.Current(), c.state == TResultsState::Current);
      EXPECT_EQ(check.Reason(project).isEmpty(), check.Current());
    }
  }
}

TEST(RunRecord, ReasonsNameWhatIsWrong) {
  QTemporaryDir dir;
  const QString project = dir.filePath("pier.pq8d");
  writeBytes(project, kProject);
  const QString record = dir.filePath("pier.pq8s");
  const QByteArray size = QByteArray::number(kProject.size());

  writeBytes(record, ::pylar::record("pier.pq8d", size, kProjectHash, "0"));
  ASSERT_TRUE(CheckRunRecord(project).Current());
  // An edit after the run: the results belong to the older version.
  writeBytes(project, "Pier\r\n1 \r\n3 \r\n");
  TResultsCheck check = CheckRunRecord(project);
  EXPECT_EQ(check.state, TResultsState::OlderVersion);
  EXPECT_TRUE(check.Reason(project).contains("belong to an older version")) << check.Reason(project).toStdString();

  writeBytes(project, kProject);
  writeBytes(record, ::pylar::record("backup of pier.pq8d", size, kProjectHash, "0"));
  check = CheckRunRecord(project);
  EXPECT_EQ(check.otherProject, "backup of pier.pq8d");
  EXPECT_TRUE(check.Reason(project).contains("belong to another file (backup of pier.pq8d)"));

  writeBytes(record, ::pylar::record("pier.pq8d", size, kProjectHash, "12"));
  EXPECT_TRUE(CheckRunRecord(project).Reason(project).contains("did not complete (status 12)"));

  ASSERT_TRUE(QFile::remove(record));
  EXPECT_TRUE(CheckRunRecord(project).Reason(project).contains("another file or to an older version"));
  // A folder under the record's name is no record; a project that is gone is not the one run.
  ASSERT_TRUE(QDir(dir.path()).mkdir("pier.pq8s"));
  EXPECT_EQ(CheckRunRecord(project).state, TResultsState::Unreadable);
  ASSERT_TRUE(QDir(dir.path()).rmdir("pier.pq8s"));
  writeBytes(record, ::pylar::record("pier.pq8d", size, kProjectHash, "0"));
  ASSERT_TRUE(QFile::remove(project));
  EXPECT_EQ(CheckRunRecord(project).state, TResultsState::OlderVersion);
}

}  // namespace
}  // namespace pylar
