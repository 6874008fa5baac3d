// The engine binding: loading by file name, export lookup, the error classes,
// the run-control file and the scratch files of a run.
#include "model/dynlib.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace pylar {
namespace {

const QString kBinDir = QStringLiteral(PYLAR_BIN_DIR);

TEST(DynamicLibrary, LoadsTheEngineAndResolvesItsExport) {
  TDynamicLibrary library(EngineLibraryFile(kBinDir), true);
  ASSERT_TRUE(library.GetIsOpen()) << library.LastError().toStdString();
  auto ipylar = reinterpret_cast<TIPYLAR>(library.FindProcedure("IPYLAR"));
  ASSERT_NE(ipylar, nullptr);
  EXPECT_EQ(ipylar(1), 1);  // any argument but 2 is refused without touching files
  EXPECT_EQ(library.FindProcedure("runAnalysis"), nullptr);  // nothing else is exported
  library.Close();
  EXPECT_FALSE(library.GetIsOpen());
  EXPECT_THROW(library.FindProcedure("IPYLAR"), EDLLNotOpenError);
}

TEST(DynamicLibrary, FailuresToLoad) {
  QTemporaryDir dir;
  TDynamicLibrary library;
  // A missing file leaves the library closed; the lookup then says so.
  library.OpenFile(dir.filePath("missing.so"));
  EXPECT_FALSE(library.GetIsOpen());
  try {
    library.FindProcedure("IPYLAR");
    FAIL() << "no error";
  } catch (const EDLLError &e) {
    EXPECT_EQ(e.message(), "Library is not open");
  }
  // A file that is there but is no library fails to initialise.
  QFile garbage(dir.filePath("libgarbage.so"));
  ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
  garbage.write("not a library");
  garbage.close();
  try {
    library.OpenFile(garbage.fileName());
    FAIL() << "no error";
  } catch (const EDLLError &e) {
    EXPECT_EQ(e.message(), "Library failed to properly initialize");
  }
  EXPECT_FALSE(library.GetIsOpen());
  EXPECT_EQ(EFileNotFoundError().message(), "Library could not be located");
}

TEST(RunFiles, ExtensionReplacement) {
  const struct {
    const char *path, *expected;
  } cases[] = {
      {"/jobs/pier.pq8d", "/jobs/pier.pq8o"},
      {"/jobs/pier.v2.pq8d", "/jobs/pier.v2.pq8o"},
      {"/jobs.old/pier", "/jobs.old/pier.pq8o"},
      {"C:\\jobs.old\\pier", "C:\\jobs.old\\pier.pq8o"},
      {"pier.", "pier.pq8o"},
  };
  for (const auto &c : cases) EXPECT_EQ(ChangeFileExt(c.path, ".pq8o"), c.expected) << c.path;
}

TEST(RunFiles, NamesFileHasNineCrlfLinesWithLongPathsWhole) {
  QTemporaryDir dir;
  // A path longer than 255 characters is written whole.
  const QString project = dir.filePath(QString(300, u'p') + ".pq8d");
  WriteNamesFile(dir.path(), project);
  QFile file(dir.filePath("names.dat"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray stem = ChangeFileExt(project, "").toUtf8();
  const QByteArray expected = "2017.8.2\r\n" + stem + ".pq8d\r\n" + stem + ".pq8o\r\n" + stem + ".pq8p\r\n" +
                              stem + ".pq8r\r\n" + stem + ".pq8z\r\n" + stem + ".pq8w\r\n" + stem +
                              ".pq8t\r\n" + stem + ".pq8q\r\n";
  EXPECT_EQ(file.readAll(), expected);
}

TEST(RunFiles, NamesFileThatCannotBeWrittenIsAnError) {
  EXPECT_THROW(WriteNamesFile("/nonexistent-folder/x", "/nonexistent-folder/x/p.pq8d"), EPylarError);
}

TEST(RunFiles, ScratchFilesGoResultsStay) {
  QTemporaryDir dir;
  const QStringList all = {"p.pq8d", "p.pq8o", "p.pq8p", "p.pq8r", "p.pq8z", "p.pq8w",
                           "p.pq8t", "p.pq8q", "TZDIAM.DAT", "other.pq8w"};
  for (const QString &name : all) {
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  RemoveRunScratchFiles(dir.filePath("p.pq8d"));
  QStringList left = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
  EXPECT_EQ(left, QStringList({"other.pq8w", "p.pq8d", "p.pq8o", "p.pq8p", "p.pq8r", "p.pq8z"}));
}

}  // namespace
}  // namespace pylar
