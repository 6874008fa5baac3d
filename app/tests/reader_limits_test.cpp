// Files that are no project or plot-data file at all: far too large, endless
// devices, folders. Each read ends with the reader's error, without reading
// on until memory runs out.
#include "model/PltData.h"
#include "model/Table.h"
#include "model/WordRead.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace pylar {
namespace {

TEST(ReaderLimits, FilesNoProgramWritesEndWithAnError) {
  QTemporaryDir dir;
  // A sparse file of 64 MB and one byte: nothing needs to be written to disk.
  const QString huge = dir.filePath("huge.pq8d");
  {
    QFile file(huge);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(qint64(64) * 1024 * 1024 + 1));
  }
  struct Case {
    const char *what;
    QString path;
    const char *message;  // start of the error
  };
  const Case cases[] = {
      {"larger than 64 MB", huge, "The file "},
      {"endless device", QStringLiteral("/dev/zero"), "The file /dev/zero is larger than 64 MB"},
      {"folder", dir.path(), ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    try {
      TWordReader reader(c.path);
      // A folder may open as an empty file: it then has no word to give.
      EXPECT_THROW(reader.ReadFloat(), EInOutError);
    } catch (const EInOutError &e) {
      EXPECT_TRUE(e.message().startsWith(QString::fromLatin1(c.message))) << e.message().toStdString();
    }
  }
  try {
    TWordReader reader(huge);
    FAIL() << "a 64 MB file was read";
  } catch (const EInOutError &e) {
    EXPECT_TRUE(e.message().endsWith("is larger than 64 MB: it is not a file of this program.")) << e.message().toStdString();
  }
  // The plot-data loader reports the same instead of loading.
  TResultPlots plots;
  const TPlotDataResult result = ReadPlotData(QStringLiteral("/dev/zero"), TPlotDataContext{}, plots);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.isEmpty());
}

// Counts that a file of its size could hold, but whose points (each depth row
// a point of up to 21 plots) would take far more memory than the heaviest run
// writes: one curve of 900000 rows in a file of 9.5 MB, mostly unwritten
// (sparse). It is refused before the points are allocated: 6 plots of 900000
// points, 9 + 6 more of 900000 and 2 x 48 = 18900096.
TEST(ReaderLimits, PlotDataAskingForMorePointsThanARunWrites) {
  QTemporaryDir dir;
  const QString path = dir.filePath("big.pq8p");
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write("1 900000 1\n"), 11);
    ASSERT_TRUE(file.resize(qint64(9500) * 1024));
  }
  TResultPlots plots;
  const TPlotDataResult result = ReadPlotData(path, TPlotDataContext{}, plots);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error.toStdString(), "The plot-data file holds more points than a run writes: 18900096");
}

}  // namespace
}  // namespace pylar

namespace pylar {
namespace {

// A stored column list whose table column takes the table itself as the
// template of its rows (found by fuzzing): each copy held copies of itself
// down eight levels, too many to ever finish. A template the table lies
// within now leaves the row without a sub-table.
QByteArray readFixture(const char *name) {
  QFile fixture(QStringLiteral(PYLAR_SOURCE_DIR "/app/tests/fixtures/") + QLatin1String(name));
  EXPECT_TRUE(fixture.open(QIODevice::ReadOnly)) << name;
  return fixture.readAll();
}

TEST(ReaderLimits, ColumnListWhoseTemplateIsTheTableItself) {
  const QByteArray stored = readFixture("columns-template-of-itself.bin");
  const int before = TGridTableRegistry::instance().Count();
  {
    TGridTable table;
    table.SetRowCount(2);
    try {
      table.LoadColumns(stored);
    } catch (const EGridError &) {
    }
    EXPECT_LT(TGridTableRegistry::instance().Count() - before, 50);
  }
  EXPECT_EQ(TGridTableRegistry::instance().Count(), before);
}

// A stored column list found by fuzzing: 43 table columns whose templates
// are tables made earlier in the same read, so every copy holds copies of the
// copies made before it, eight levels deep; the read passed 2 GB. Read as the
// fuzzer reads it (loaded, saved, loaded again beside the first), it now ends
// with the error naming the limit, and every table it made is gone.
TEST(ReaderLimits, ColumnListWhoseCopiesMultiply) {
  const QByteArray stored = readFixture("columns-nested-copies-multiply.bin");
  const int before = TGridTableRegistry::instance().Count();
  QStringList errors;  // of the reads refused for their size
  {
    TGridTable table;
    table.SetRowCount(2);
    const auto read = [&](TGridTable &t, const QByteArray &data) {
      try {
        t.LoadColumns(data);
      } catch (const ECellBudgetError &e) {
        errors << e.message();
      } catch (const EGridError &) {
      }
    };
    read(table, stored);
    TGridTable copy;
    copy.SetRowCount(2);
    read(copy, table.SaveColumns());
    for (const TGridTable *t : {&table, &copy}) {
      EXPECT_LE(t->CellCount(), kMaxGridCells);
      EXPECT_LE(t->NestedTableCount(), kMaxNestedTables);
    }
  }
  EXPECT_EQ(TGridTableRegistry::instance().Count(), before);
  // The list names its templates by their place in the program's list of
  // tables; with no other table alive (each test runs in its own process)
  // they are this read's own tables, as in the fuzzer.
  if (before == 0) {
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_EQ(errors.first().toStdString(),
              "Error occured when creating column 8: A table may hold at most 1000 nested tables");
  }
}

}  // namespace
}  // namespace pylar
