// Files replaced only when complete: every way a save can fail part way leaves
// the old file as it was, no temporary file behind, and a reason to tell.
#include "FileSizeLimit.h"
#include "model/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace pylar;

namespace {

QByteArray contents(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

}  // namespace

TEST(WholeFile, WritesThenReplacesAndKeepsTheOldFileOnEveryFailure) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("picture.png");
  const QByteArray old = "the picture of the last save";
  const QByteArray large(64 * 1024, 'x');

  // A complete write replaces the old file.
  ASSERT_EQ(WriteWholeFile(path, old), QString());
  EXPECT_EQ(contents(path), old);

  struct TCase {
    const char *what;
    std::function<QString()> save;
    QString reason;  // what the user is told
  };
  const std::vector<TCase> cases{
      {"a full disk part way through (no file may grow past 4 kB)",
       [&] {
         const TFileSizeLimit full(4096);
         EXPECT_TRUE(full.Active());
         return WriteWholeFile(path, large);
       },
       "File too large"},
      {"a writer that gives up after writing some",
       [&] {
         return WriteWholeFile(path, [&](QIODevice &out) {
           out.write(large.left(100));
           return false;
         });
       },
       "the contents could not be made"},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.save(), c.reason);
    EXPECT_EQ(contents(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"picture.png"});
  }
}

TEST(WholeFile, RefusesANameThatIsNotAFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // A folder under the name is not replaced by a file.
  const QString folder = dir.filePath("report.pdf");
  ASSERT_TRUE(QDir().mkpath(folder + "/inside"));
  EXPECT_EQ(WriteWholeFile(folder, QByteArray("x")), "it is not a file");
  EXPECT_TRUE(QDir(folder + "/inside").exists());
  // Nor a device: /dev/full stays a device.
  if (QFile::exists("/dev/full")) {
    EXPECT_EQ(WriteWholeFile("/dev/full", QByteArray("x")), "it is not a file");
    EXPECT_FALSE(QFileInfo("/dev/full").isFile());
  }
  // A folder that does not exist: the reason is the file system's.
  const QString reason = WriteWholeFile(dir.filePath("missing/report.pdf"), QByteArray("x"));
  EXPECT_FALSE(reason.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
}
