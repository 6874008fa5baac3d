// Undo and Redo of the project: every kind of change comes back exactly, a
// value typed again merges into one step, and the saved state is where the
// project counts as unchanged.
#include "model/ProjectHistory.h"
#include "model/SoilLayers.h"

#include <gtest/gtest.h>

#include <functional>

using namespace pylar;

namespace {

const QString kExamples = QStringLiteral(PYLAR_SOURCE_DIR "/examples/");

struct Project {
  TProjectTables tables;
  std::unique_ptr<TProgramData> data;
  TProjectHistory history{[this]() -> TProgramData & { return *data; }};
  explicit Project(const QString &example) {
    data = TProgramData::CreateFromFile(tables, kExamples + example, ffVersion8).data;
    history.Reset();
  }
  // Everything the project file holds, and the values it does not (kept exactly).
  QByteArray text() const { return data->ToFileText(); }
};

}  // namespace

// Each edit undone gives back the project as it was, to the last bit (a unit
// switch undone is not converted back and forth), and redone the project as
// it was after the edit.
TEST(ProjectHistory, UndoAndRedoRestoreEveryKindOfChange) {
  struct Case {
    const char *what;
    std::function<void(TProgramData &)> edit;
  };
  const Case cases[] = {
      {"a setting", [](TProgramData &p) { p.DSTART = 4.5L; }},
      {"the title", [](TProgramData &p) { p.Title = "Pier B"; }},
      {"the design method", [](TProgramData &p) {
         p.NLRFD = 1;
         p.Tables().ShowLRFDColumns(true);
       }},
      {"a layer's depth", [](TProgramData &p) { p.Tables().D.SetFloatValue(lcDepth, 1, 33.3L); }},
      {"a property value", [](TProgramData &p) { SetCellNumber(*p.Tables().LayerData(2), 0, 1, 123.25L); }},
      {"a layer's model", [](TProgramData &p) { ChangeLayerModel(p.Tables(), 0, scWeakRock); }},
      {"a layer inserted", [](TProgramData &p) { InsertLayer(p.Tables(), 1); }},
      {"a layer deleted", [](TProgramData &p) { DeleteLayer(p.Tables(), 0); }},
      {"the unit system", [](TProgramData &p) { p.SetUnits(kUnitsSI); }},
      {"the t-z depths", [](TProgramData &p) {
         p.Tables().TblTZDepth.SetRowCount(3);
         p.Tables().TblTZDepth.SetFloatValue(0, 2, 17);
       }},
  };
  for (const Case &c : cases) {
    Project p("mixed-profile-belled.pq8d");
    const QByteArray before = p.text();
    const TProjectSnapshot exactBefore = TProjectSnapshot::Capture(*p.data);
    c.edit(*p.data);
    const QByteArray after = p.text();
    ASSERT_NE(after, before) << c.what;
    EXPECT_TRUE(p.history.HasChanges()) << c.what;  // before it is committed too
    ASSERT_TRUE(p.history.Commit(c.what)) << c.what;
    EXPECT_FALSE(p.history.Commit(c.what)) << c.what;  // nothing new
    p.history.Stack().undo();
    EXPECT_EQ(p.text(), before) << c.what;
    EXPECT_TRUE(TProjectSnapshot::Capture(*p.data) == exactBefore) << c.what;
    EXPECT_FALSE(p.history.HasChanges()) << c.what;
    p.history.Stack().redo();
    EXPECT_EQ(p.text(), after) << c.what;
    EXPECT_TRUE(p.history.HasChanges()) << c.what;
  }
}

// Consecutive changes of one value are one step; a change of another value,
// or of several, is a step of its own; a value typed back to where it was is
// no step at all.
TEST(ProjectHistory, ConsecutiveChangesOfOneValueMerge) {
  Project p("sand-asd-english.pq8d");
  const Extended start = p.data->DSTART;
  const Extended water = p.data->WTD;
  p.data->DSTART = 5;
  p.history.Commit("Pier");
  p.data->DSTART = 6;
  p.history.Commit("Pier");
  EXPECT_EQ(p.history.Stack().count(), 1);
  p.data->WTD = 7;
  p.history.Commit("Water Table");
  EXPECT_EQ(p.history.Stack().count(), 2);
  p.data->FST = 2;
  p.data->FSB = 2;
  p.history.Commit("Factor of Safety");
  p.data->FSB = 2.25L;
  p.history.Commit("Factor of Safety");
  EXPECT_EQ(p.history.Stack().count(), 4);
  p.history.Stack().undo();
  p.history.Stack().undo();
  p.history.Stack().undo();
  EXPECT_EQ(p.data->DSTART, 6);
  p.history.Stack().undo();
  EXPECT_EQ(p.data->DSTART, start);
  // Typed back to where it was: the step is gone (and with it the steps
  // that were undone before it).
  p.history.Stack().redo();
  ASSERT_EQ(p.data->WTD, water);
  p.data->WTD = 3;
  p.history.Commit("Water Table");
  EXPECT_EQ(p.history.Stack().count(), 2);
  p.data->WTD = water;
  p.history.Commit("Water Table");
  EXPECT_EQ(p.history.Stack().count(), 1);
  EXPECT_FALSE(p.history.Stack().canRedo());
  p.history.Stack().undo();
  EXPECT_EQ(p.data->DSTART, start);
}

// The saved state is the unchanged one: undoing past it or redoing beyond it
// is a change; a save is no step and does not end the history; a change after
// a save does not merge into the step before it.
TEST(ProjectHistory, TheSavedStateIsTheUnchangedOne) {
  Project p("clay-lrfd-si.pq8d");
  EXPECT_FALSE(p.history.HasChanges());
  p.data->WTD = 1;
  p.history.Commit("Water Table");
  p.history.MarkSaved();
  EXPECT_FALSE(p.history.HasChanges());
  EXPECT_TRUE(p.history.Stack().canUndo());
  p.history.Stack().undo();
  EXPECT_TRUE(p.history.HasChanges());
  p.history.Stack().redo();
  EXPECT_FALSE(p.history.HasChanges());
  p.data->WTD = 2;
  p.history.Commit("Water Table");
  EXPECT_EQ(p.history.Stack().count(), 2);
  p.history.Stack().undo();
  EXPECT_EQ(p.data->WTD, 1);
  EXPECT_FALSE(p.history.HasChanges());
  // Marked unsaved, it stays changed until saved.
  p.history.MarkUnsaved();
  EXPECT_TRUE(p.history.HasChanges());
  p.history.Reset();
  EXPECT_FALSE(p.history.HasChanges());
  EXPECT_EQ(p.history.Stack().count(), 0);
}

// A save that normalises the project: the step that led to it now leads to
// the project as written, so Redo after Undo is the saved state exactly.
TEST(ProjectHistory, ANormalisingSaveIsTheStateRedoReturnsTo) {
  Project p("sand-asd-english.pq8d");
  p.data->IPENT = 1;
  p.data->DIALIM = p.data->DSTART + 1;
  p.history.Commit("Multiple Pylar Lengths");
  p.data->Normalise();  // as a save does: one diameter with multiple lengths
  ASSERT_EQ(p.data->DIALIM, p.data->DSTART);
  p.history.MarkSaved();
  p.history.Stack().undo();
  p.history.Stack().redo();
  EXPECT_EQ(p.data->DIALIM, p.data->DSTART);
  EXPECT_FALSE(p.history.HasChanges());
}
