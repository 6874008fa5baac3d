// The design methods of a project in the desktop program's model: the block of
// the project file read and written back (the two validation projects byte for
// byte), kept with its layers through edits, layer inserts and deletes and a
// unit switch, refused with the reader's message when bad, kept by the
// project history, the resistance factors of new layers under the 2018
// methods, and the per-layer choices in the soil profile grid.
#include "model/DataUnit.h"
#include "model/ProfileGrid.h"
#include "model/ProjectHistory.h"
#include "model/SoilLayers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace pylar {
namespace {

QString sample(const char *name) { return QStringLiteral(PYLAR_SOURCE_DIR "/samples/") + QString::fromLatin1(name); }
const char *const kStrength = "gec10-appendix-a-strength-2018.pq8d";
const char *const kExtreme = "gec10-appendix-a-extreme-2018.pq8d";

QByteArray readBytes(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text of the file from its METHODS line on.
QByteArray blockOf(const QByteArray &text) {
  const qsizetype at = text.indexOf("METHODS");
  return at < 0 ? QByteArray() : text.mid(at);
}

TProgramData::TReadResult readText(TProjectTables &tables, const QByteArray &bytes) {
  return TProgramData::CreateFromData(tables, bytes, QStringLiteral("/jobs/project.pq8d"), ffVersion8);
}

std::string testOf(const TProjectTables &tables, int row) {
  return std::string(methods::strengthTestName(LayerMethodValues(tables, row).test));
}

TEST(DesignMethodsFile, TheValidationProjectsAreReadAndWrittenBackByteForByte) {
  QTemporaryDir dir;
  for (const char *name : {kStrength, kExtreme}) {
    SCOPED_TRACE(name);
    TProjectTables tables;
    auto read = TProgramData::CreateFromFile(tables, sample(name), ffVersion8);
    ASSERT_EQ(read.error, QString());
    const TProgramData &project = *read.data;
    EXPECT_EQ(project.DesignSet, 1);
    EXPECT_EQ(project.ScourDepth, name == kStrength ? 38 : 0);
    // Clay layers 4, 6 and 8 were tested CIUC; the others hold the defaults.
    for (int row = 0; row < tables.D.RowCount(); ++row)
      EXPECT_EQ(testOf(tables, row), row == 3 || row == 5 || row == 7 ? "CIUC" : "UU") << "layer " << row + 1;
    const QByteArray original = readBytes(sample(name));
    EXPECT_EQ(project.ToFileText(), original);
    read.data->FileName = dir.filePath(QString::fromLatin1(name));
    read.data->Save();
    EXPECT_EQ(readBytes(read.data->FileName), original);
  }
}

TEST(DesignMethodsFile, TheBlockStaysWithItsLayersThroughEditsAndUnitSwitches) {
  TProjectTables tables;
  auto read = TProgramData::CreateFromFile(tables, sample(kStrength), ffVersion8);
  ASSERT_EQ(read.error, QString());
  TProgramData &project = *read.data;

  project.Title = QStringLiteral("Pier 2, edited");
  EXPECT_EQ(blockOf(project.ToFileText()), "METHODS 2018 \r\nSCOUR 38 \r\nLAYER 4 TEST CIUC \r\nLAYER 6 TEST CIUC \r\n"
                                           "LAYER 8 TEST CIUC \r\n");
  // A layer inserted on top moves every layer's value down with its layer;
  // the new sand layer of a 2018 project starts with the sand factors.
  ASSERT_TRUE(InsertLayer(tables, 0, ProjectMethodSet(project)));
  EXPECT_EQ(blockOf(project.ToFileText()), "METHODS 2018 \r\nSCOUR 38 \r\nLAYER 5 TEST CIUC \r\nLAYER 7 TEST CIUC \r\n"
                                           "LAYER 9 TEST CIUC \r\n");
  // Deleting layer 5 (a CIUC clay) takes its value with it.
  ASSERT_TRUE(DeleteLayer(tables, 4));
  const QByteArray edited = project.ToFileText();
  EXPECT_EQ(blockOf(edited), "METHODS 2018 \r\nSCOUR 38 \r\nLAYER 6 TEST CIUC \r\nLAYER 8 TEST CIUC \r\n");
  {
    TProjectTables again;
    auto back = readText(again, edited);
    ASSERT_EQ(back.error, QString());
    EXPECT_EQ(back.data->ToFileText(), edited);
  }

  // SI: 38 ft = 38 x 0.3048 = 11.5824 m; the block's depth is in metres.
  project.SetUnits(kUnitsSI);
  EXPECT_NEAR(static_cast<double>(project.ScourDepth), 11.5824, 1e-9);
  const QByteArray si = project.ToFileText();
  EXPECT_TRUE(blockOf(si).startsWith("METHODS 2018 \r\nSCOUR 11.5824 \r\nLAYER 6 TEST CIUC \r\n")) << blockOf(si).data();
  project.SetUnits(kUnitsEnglish);
  EXPECT_NEAR(static_cast<double>(project.ScourDepth), 38, 1e-9);
}

TEST(DesignMethodsFile, ABadBlockRefusesTheOpenWithItsLine) {
  const QByteArray good = readBytes(sample(kStrength));
  const int methodsLine = static_cast<int>(good.left(good.indexOf("METHODS")).count('\n')) + 1;
  struct Case {
    const char *from, *to;
    int line;  // from the METHODS line
    const char *message;
  } cases[] = {
      {"SCOUR 38", "SCOUR deep", 1, "INPUT ERROR, DESIGN METHODS, LINE %1, SCOUR DEPTH: \"deep\" IS NOT A NUMBER"},
      {"METHODS 2018", "METHODS 2020", 0,
       "INPUT ERROR, DESIGN METHODS, LINE %1, METHODS: \"2020\" IS NOT A METHOD SET (1999 OR 2018)"},
      {"LAYER 4 TEST", "LAYER 3 TEST", 2, "INPUT ERROR, DESIGN METHODS, LINE %1, LAYER 3 TEST: THE LAYER IS NOT CLAY (MODEL 2)"},
      {"LAYER 8 TEST", "LAYER 9 TEST", 4, "INPUT ERROR, DESIGN METHODS, LINE %1, LAYER: 9 IS OUT OF RANGE (1 TO 8)"},
      {"LAYER 6 TEST CIUC", "LAYER 6 TST CIUC", 3,
       "INPUT ERROR, DESIGN METHODS, LINE %1, LAYER 6: \"TST\" IS NOT A LAYER VALUE (TEST OR SAND)"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.to);
    QByteArray bytes = good;
    bytes.replace(c.from, c.to);
    TProjectTables tables;
    const auto read = readText(tables, bytes);
    const int line = methodsLine + c.line;
    EXPECT_EQ(read.error, QString::fromLatin1(c.message).arg(line));
    EXPECT_EQ(read.errorLine, line);
    EXPECT_TRUE(OpenFailureMessage(QStringLiteral("/jobs/project.pq8d"), read)
                    .endsWith(QStringLiteral(": reading stopped at line %1.").arg(line)));
  }
}

TEST(DesignMethodsFile, TheHistoryTakesTheSetTheScourAndTheLayerValuesBack) {
  TProjectTables tables;
  auto read = TProgramData::CreateFromFile(tables, sample(kStrength), ffVersion8);
  ASSERT_EQ(read.error, QString());
  TProgramData &project = *read.data;
  const QByteArray original = project.ToFileText();
  const TProjectSnapshot before = TProjectSnapshot::Capture(project);

  project.DesignSet = 0;
  project.ScourDepth = 10;
  SetLayerMethodValues(tables, 3, {methods::StrengthTest::UC, methods::SandKind::Clean});
  SetLayerMethodValues(tables, 0, {methods::StrengthTest::UU, methods::SandKind::Gravelly});
  const TProjectSnapshot after = TProjectSnapshot::Capture(project);
  EXPECT_EQ(blockOf(project.ToFileText()), "METHODS 1999 \r\nSCOUR 10 \r\nLAYER 1 SAND GRAVELLY \r\nLAYER 4 TEST UC \r\n"
                                           "LAYER 6 TEST CIUC \r\nLAYER 8 TEST CIUC \r\n");
  const QStringList changed = before.ChangedValues(after);
  for (const char *name : {"ScourDepth", "DesignSet"}) EXPECT_TRUE(changed.contains(QString::fromLatin1(name))) << name;
  EXPECT_FALSE(before == after);

  before.Restore(project);
  EXPECT_EQ(project.ToFileText(), original);
  after.Restore(project);
  EXPECT_EQ(testOf(tables, 3), "UC");
  EXPECT_EQ(project.DesignSet, 0);
}

TEST(DesignMethodsLayers, NewLayersOfA2018ProjectStartWithTheAashtoFactors) {
  TProjectTables tables;
  auto project = TProgramData::Create(tables);
  struct Case {
    methods::MethodSet set;
    int code;  // the model the new layer is changed to
    Extended side, end;
  } cases[] = {
      {methods::MethodSet::Fhwa1999, scClay, 1, 1},
      // AASHTO LRFD Table 10.5.5.2.4-1: cohesive soil side 0.45, tip 0.40;
      // cohesionless 0.55, 0.50; cohesive IGM 0.60, 0.55; rock 0.50, 0.50.
      {methods::MethodSet::Gec2018, scSand, 0.55L, 0.5L},
      {methods::MethodSet::Gec2018, scClay, 0.45L, 0.4L},
      {methods::MethodSet::Gec2018, scWeakRock, 0.6L, 0.55L},
      {methods::MethodSet::Gec2018, scStrongRock, 0.5L, 0.5L},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.code);
    ASSERT_TRUE(AddLayer(tables, c.set));
    const int row = tables.D.RowCount() - 1;
    ASSERT_TRUE(ChangeLayerModel(tables, row, c.code, c.set));
    EXPECT_EQ(tables.D.GetFloatValue(lcLRFDSide, row), c.side);
    EXPECT_EQ(tables.D.GetFloatValue(lcLRFDEnd, row), c.end);
  }
  // A factor the user set is the user's: a model change keeps it.
  const int row = tables.D.RowCount() - 1;
  tables.D.SetFloatValue(lcLRFDSide, row, 0.7L);
  ASSERT_TRUE(ChangeLayerModel(tables, row, scSand, methods::MethodSet::Gec2018));
  EXPECT_EQ(tables.D.GetFloatValue(lcLRFDSide, row), 0.7L);
  EXPECT_EQ(tables.D.GetFloatValue(lcLRFDEnd, row), 0.5L);
  // And on request every layer takes its model's factors.
  EXPECT_TRUE(UseAashtoFactors(tables));
  EXPECT_EQ(tables.D.GetFloatValue(lcLRFDSide, row), 0.55L);
  EXPECT_EQ(tables.D.GetFloatValue(lcLRFDSide, 0), 0.55L);  // the project's first (sand) layer
  EXPECT_FALSE(UseAashtoFactors(tables));
  // The factors are written as the table gives them.
  EXPECT_TRUE(project->ToFileText().contains(" 0.45 0.4 \r\n"));
}

TEST(DesignMethodsLayers, TheProfileGridShowsAndSetsEachLayersChoice) {
  TProjectTables tables;
  auto read = TProgramData::CreateFromFile(tables, sample(kStrength), ffVersion8);
  ASSERT_EQ(read.error, QString());
  TProgramData &project = *read.data;
  ASSERT_TRUE(ChangeLayerModel(tables, 7, scShale));  // layer 8 becomes shale, which has no test
  const TProfileGrid grid(true, ModelsInProfile(tables));
  int test = -1, sand = -1;
  for (int c = 0; c < grid.ColumnCount(); ++c) {
    if (grid.Header(c, project.fUnits) == QLatin1String("Strength Test (2018)")) test = c;
    if (grid.Header(c, project.fUnits) == QLatin1String("Sand Kind (2018)")) sand = c;
  }
  ASSERT_GE(test, 0);
  ASSERT_GE(sand, 0);
  EXPECT_EQ(grid.Text(project, 3, test), QStringLiteral("CIUC"));
  EXPECT_EQ(grid.Text(project, 0, test), QString());  // sand
  EXPECT_EQ(grid.Text(project, 7, test), QString());  // shale
  EXPECT_FALSE(grid.Editable(project, 7, test));
  EXPECT_EQ(grid.Text(project, 0, sand), QStringLiteral("Clean"));
  grid.SetText(project, 0, sand, QStringLiteral("silty"));
  grid.SetText(project, 3, test, QStringLiteral("2"));
  EXPECT_THROW(grid.SetText(project, 0, test, QStringLiteral("UC")), EAssignError);
  EXPECT_TRUE(blockOf(project.ToFileText()).startsWith("METHODS 2018 \r\nSCOUR 38 \r\nLAYER 1 SAND SILTY \r\nLAYER 4 TEST UC \r\n"));
}

}  // namespace
}  // namespace pylar
