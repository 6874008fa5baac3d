// Grid tables: unit conversion, depth pairs, nested per-row tables, the stored
// column list, typed access and the changed state.
#include "model/Table.h"

#include <gtest/gtest.h>

namespace pylar {
namespace {

QString gridError(const std::function<void()> &action) {
  try {
    action();
  } catch (const EPylarError &e) {
    return e.message();
  }
  return QStringLiteral("<no error>");
}

TFloatColumn &addFloat(TGridTable &table, const QString &units, QStringList heading = {"Value"}) {
  auto &column = table.AddColumn<TFloatColumn>();
  column.UnitsString = units;
  column.Heading = std::move(heading);
  return column;
}

TEST(GridTable, UnitConversionBetweenSystems) {
  TGridTable table;
  const QStringList templates = {"F/L2^2", "L2", "F/L^2", ""};
  for (const QString &t : templates) addFloat(table, t);
  table.SetRowCount(2);
  for (int c = 0; c < 4; ++c) {
    table.SetFloatValue(c, 0, 1000);
    table.SetFloatValue(c, 1, -2.5L);
  }
  int majorChanges = 0;
  table.OnMajorChange = [&] { ++majorChanges; };

  table.SetUnits(kUnitsSI);
  // lbs/ft^2 -> kN/m^2: divide by 224.8089237 / 3.280839895^2 = 20.88543...
  const long double expectedSI[] = {1000 / (224.8089237L / (3.280839895L * 3.280839895L)),
                                    1000 / 3.280839895L,  // ft -> m
                                    1000 / (224.8089237L / (39.37007874L * 39.37007874L)),  // psi -> kPa
                                    1000};
  for (int c = 0; c < 4; ++c)
    EXPECT_NEAR(static_cast<double>(table.GetFloatValue(c, 0)), static_cast<double>(expectedSI[c]), 1e-9)
        << templates[c].toStdString();
  EXPECT_NEAR(static_cast<double>(table.GetFloatValue(0, 0)), 47.880259, 1e-5);
  EXPECT_NEAR(static_cast<double>(table.GetFloatValue(2, 0)), 6894.7573, 1e-3);
  EXPECT_EQ(table.Units(), kUnitsSI);
  EXPECT_EQ(majorChanges, 1);

  table.SetUnits(kUnitsSI);  // already SI: nothing converts again
  EXPECT_NEAR(static_cast<double>(table.GetFloatValue(1, 0)), static_cast<double>(1000 / 3.280839895L), 1e-9);
  EXPECT_EQ(majorChanges, 1);

  table.SetUnits(kUnitsEnglish);
  for (int c = 0; c < 4; ++c) {
    EXPECT_NEAR(static_cast<double>(table.GetFloatValue(c, 0)), 1000, 1e-9);
    EXPECT_NEAR(static_cast<double>(table.GetFloatValue(c, 1)), -2.5, 1e-12);
  }
  EXPECT_EQ(majorChanges, 2);
}

TEST(GridTable, HeadingShowsUnitsOfTheTableSystem) {
  TGridTable table;
  auto &depth = addFloat(table, "L2", {"Depth at Bottom ", "of each Layer"});
  auto &plain = addFloat(table, "", {"LRFD Resistance Factor", "(Side Friction)"});
  EXPECT_EQ(depth.GetDisplayHeadings(0), QStringLiteral("Depth at Bottom "));
  EXPECT_EQ(depth.GetDisplayHeadings(1), QStringLiteral("of each Layer (ft)  "));
  EXPECT_EQ(plain.GetDisplayHeadings(1), QStringLiteral("(Side Friction)"));
  table.SetUnits(kUnitsSI);
  EXPECT_EQ(depth.GetDisplayHeadings(1), QStringLiteral("of each Layer (m)  "));
  EXPECT_EQ(table.HeadingRows(), 2);
}

// (top, bottom) depth pair: the bottom of each row equals the top of the next.
class DepthPair : public ::testing::Test {
 protected:
  void SetUp() override {
    addFloat(table, "L2", {"Top"}).TopDepth = true;
    addFloat(table, "L2", {"Bottom"});
    table.SetRowCount(3);
    for (int r = 0; r < 3; ++r) table.SetFloatValue(1, r, 10.0L * (r + 1));
  }
  void expectContinuous() {
    for (int r = 1; r < table.RowCount(); ++r)
      EXPECT_EQ(table.GetFloatValue(0, r), table.GetFloatValue(1, r - 1)) << "row " << r;
  }
  std::vector<long double> bottoms() {
    std::vector<long double> v;
    for (int r = 0; r < table.RowCount(); ++r) v.push_back(table.GetFloatValue(1, r));
    return v;
  }
  TGridTable table;
};

TEST_F(DepthPair, WritingEitherEndKeepsTheChain) {
  EXPECT_EQ(table.GetFloatValue(0, 1), 10);
  EXPECT_EQ(table.GetFloatValue(0, 2), 20);
  table.SetFloatValue(0, 2, 25);  // top of row 2 moves the bottom of row 1
  EXPECT_EQ(table.GetFloatValue(1, 1), 25);
  table.SetFloatValue(0, 0, 5);  // first top has no row above
  EXPECT_EQ(table.GetFloatValue(0, 0), 5);
  expectContinuous();
}

TEST_F(DepthPair, InsertAndDeleteKeepTheChain) {
  table.InsertRowGroup(1);  // new row takes the depth at its position
  EXPECT_EQ(table.RowCount(), 4);
  EXPECT_EQ(table.GetFloatValue(0, 1), 10);
  EXPECT_EQ(table.GetFloatValue(1, 1), 10);
  expectContinuous();
  table.InsertRowGroup(0);
  expectContinuous();
  table.AddRowGroup();
  EXPECT_EQ(table.GetFloatValue(0, table.RowCount() - 1), 30);
  expectContinuous();

  table.SetRowCount(0);
  table.SetRowCount(4);
  for (int r = 0; r < 4; ++r) table.SetFloatValue(1, r, 10.0L * (r + 1));
  table.DeleteRowGroup(1);  // the next layer now starts where the deleted one started
  EXPECT_EQ(bottoms(), (std::vector<long double>{10, 30, 40}));
  EXPECT_EQ(table.GetFloatValue(0, 1), 10);
  expectContinuous();
  table.DeleteRowGroup(0);
  EXPECT_EQ(table.GetFloatValue(0, 0), 0);
  expectContinuous();
  table.DeleteRowGroup(table.RowCount() - 1);
  expectContinuous();
}

TEST(GridTable, TopDepthNeedsAFloatColumnAfterIt) {
  TGridTable table;
  addFloat(table, "").TopDepth = true;
  table.AddColumn<TIntColumn>();
  table.SetRowCount(2);
  EXPECT_EQ(gridError([&] { table.SetFloatValue(0, 1, 3); }),
            QStringLiteral("If column if a topdepth then the next column must be a float column"));
  EXPECT_EQ(table.GetFloatValue(0, 1), 0);  // nothing half-written
}

TEST(GridTable, SameGroupWritesTheWholeRowGroup) {
  TGridTable table;
  table.SetRowGroup(2);
  addFloat(table, "").SameGroup = true;
  table.SetRowCount(4);
  table.SetFloatValue(0, 3, 7);
  EXPECT_EQ(table.GetFloatValue(0, 2), 7);
  EXPECT_EQ(table.GetFloatValue(0, 1), 0);
  table.InsertRowGroup(3);  // before the group holding row 3: rows 2 and 3
  EXPECT_EQ(table.RowCount(), 6);
  EXPECT_EQ(table.GetFloatValue(0, 2), 0);
  EXPECT_EQ(table.GetFloatValue(0, 4), 7);
  table.DeleteRowGroup(5);
  EXPECT_EQ(table.RowCount(), 4);
}

// A layer table: the kind in column 0 selects the nested property table.
class LayerTables : public ::testing::Test {
 protected:
  void SetUp() override {
    sand.Caption = "Sand Layer Data";
    sand.SetIdentifier(9101);
    sand.SetMinRows(2);
    sand.SetMaxRows(2);
    addFloat(sand, "F/L2^3", {"Total Unit", "Weight"});
    clay.Caption = "Clay Layer Data";
    clay.SetIdentifier(9102);
    clay.SetMinRows(2);
    clay.SetMaxRows(2);
    addFloat(clay, "F/L2^2", {"Cohesion"}).Default = 1;

    auto &kind = layers.AddColumn<TEnumColumn>();
    kind.Names = QStringList{"sand", "clay", "none"};
    layers.AddColumn<TFloatColumn>();
    auto &data = layers.AddColumn<TTableColumn>();
    data.Templates.AddIdentifier(9101);
    data.Templates.AddIdentifier(9102);
    data.Templates.AddIdentifier(-1);
    layers.SetRowCount(3);
  }
  TGridTable *sub(int row) { return layers.GetDataValue(2, row); }
  TTableColumn &tables() { return static_cast<TTableColumn &>(layers.Column(2)); }
  TGridTable sand, clay, layers;
};

TEST_F(LayerTables, KindChangeReplacesTheRowsTable) {
  ASSERT_NE(sub(1), nullptr);
  EXPECT_EQ(sub(1)->Caption, QStringLiteral("Sand Layer Data"));
  EXPECT_EQ(sub(1)->RowCount(), 2);
  sub(1)->SetFloatValue(0, 0, 120);
  std::vector<std::pair<int, int>> changes;
  layers.OnCellChange = [&](int col, int row) { changes.emplace_back(col, row); };

  layers.SetIntValue(0, 1, 1);  // same kind again: the values stay
  EXPECT_EQ(sub(1)->GetFloatValue(0, 0), 120);

  layers.SetIntValue(0, 1, 2);
  ASSERT_NE(sub(1), nullptr);
  EXPECT_EQ(sub(1)->Caption, QStringLiteral("Clay Layer Data"));
  EXPECT_EQ(sub(1)->GetFloatValue(0, 0), 1);  // a fresh copy with the template's default
  EXPECT_EQ(sub(1)->ID(), 2);
  EXPECT_EQ(sub(0)->Caption, QStringLiteral("Sand Layer Data"));  // other rows untouched

  layers.SetStringValue(0, 1, "3");  // typed kind with no template: no table
  EXPECT_EQ(sub(1), nullptr);
  EXPECT_EQ(tables().ButtonCaption(1), QStringLiteral("2: "));
  EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{0, 1}, {0, 1}, {0, 1}}));

  EXPECT_EQ(gridError([&] { layers.SetStringValue(0, 1, "1.5"); }), QStringLiteral("Value must be an integer."));
  EXPECT_EQ(gridError([&] { layers.SetStringValue(0, 1, "1e10"); }), QStringLiteral("Value must be an integer."));
}

TEST_F(LayerTables, InsertAndDeleteRenumberTheRowTables) {
  layers.SetIntValue(0, 2, 2);
  TGridTable *clayRow = sub(2);
  layers.InsertRowGroup(1);
  ASSERT_EQ(layers.RowCount(), 4);
  EXPECT_EQ(sub(3), clayRow);  // moved, not rebuilt
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(sub(r)->ID(), r + 1);
    EXPECT_EQ(sub(r)->IdPath(), QString::number(r + 1));
  }
  EXPECT_EQ(tables().ButtonCaption(3), QStringLiteral("4: Clay Layer Data"));
  EXPECT_EQ(tables().ButtonCaption(1), QStringLiteral("2: Sand Layer Data"));
  layers.DeleteRowGroup(0);
  EXPECT_EQ(sub(2), clayRow);
  EXPECT_EQ(clayRow->ID(), 3);
  EXPECT_EQ(tables().ButtonCaption(2), QStringLiteral("3: Clay Layer Data"));
}

TEST_F(LayerTables, SubTablesFollowUnitsAndChangedState) {
  sub(0)->SetFloatValue(0, 0, 120);  // lbs/ft^3
  layers.SetUnits(kUnitsSI);
  EXPECT_EQ(sub(0)->Units(), kUnitsSI);
  EXPECT_NEAR(static_cast<double>(sub(0)->GetFloatValue(0, 0)), 18.8498, 1e-3);  // kN/m^3
  layers.InsertRowGroup(0);
  EXPECT_EQ(sub(0)->Units(), kUnitsSI);  // new rows are created in the table's system

  EXPECT_FALSE(layers.Changed());
  sub(1)->SetChanged(true);
  EXPECT_TRUE(layers.Changed());
  layers.ResetChanged();
  EXPECT_FALSE(layers.Changed());
  EXPECT_FALSE(sub(1)->Changed());
}

// Every cell of a table and of the tables nested in it is counted in each
// table above it, so a table refused for its size is refused at once.
TEST_F(LayerTables, CellCountFollowsEveryEdit) {
  const auto counts = [&] { return std::make_pair(layers.CellCount(), layers.NestedTableCount()); };
  // 3 rows x 3 columns, and in each row a sand copy of 2 rows x 1 column.
  EXPECT_EQ(counts(), std::make_pair(qint64{3 * 3 + 3 * 2}, 3));
  EXPECT_EQ(sub(0)->CellCount(), 2);
  layers.SetIntValue(0, 1, 2);  // clay, also 2 cells
  EXPECT_EQ(counts(), std::make_pair(qint64{15}, 3));
  layers.SetIntValue(0, 1, 3);  // no template: no table
  EXPECT_EQ(counts(), std::make_pair(qint64{13}, 2));
  layers.InsertRowGroup(0);  // 3 cells and a sand copy
  EXPECT_EQ(counts(), std::make_pair(qint64{18}, 3));
  layers.DeleteRowGroup(2);  // the row without a table
  EXPECT_EQ(counts(), std::make_pair(qint64{15}, 3));
  layers.SetRowCount(0);
  EXPECT_EQ(counts(), std::make_pair(qint64{0}, 0));
}

TEST(GridTable, TableRefusedForItsSizeStaysAsItWas) {
  const int tablesBefore = TGridTableRegistry::instance().Count();
  {  // Cells: each row holds a table holding a table of 397 columns,
     // 1 + 1 + 1 + 397 = 400 cells a row, so 250 rows fill the budget.
    TGridTable leaf;
    leaf.SetIdentifier(9301);
    for (int c = 0; c < 397; ++c) leaf.AddColumn<TFloatColumn>();
    TGridTable middle;
    middle.SetIdentifier(9302);
    middle.AddColumn<TTableColumn>().Templates.AddIdentifier(9301);
    TGridTable layers;
    layers.AddColumn<TStringColumn>();
    layers.AddColumn<TTableColumn>().Templates.AddIdentifier(9302);
    layers.SetRowCount(249);
    layers.SetStringValue(0, 248, "last row");
    const QString tooMany = QStringLiteral("A table with its nested tables may hold at most 100000 cells");
    // Two rows more: the first fits, the second is refused two levels down.
    EXPECT_EQ(gridError([&] { layers.SetRowCount(251); }), tooMany);
    EXPECT_EQ(layers.RowCount(), 249);
    EXPECT_EQ(layers.CellCount(), 249 * 400);
    EXPECT_EQ(layers.NestedTableCount(), 249 * 2);
    EXPECT_EQ(layers.Column(0).Count(), 249);
    EXPECT_EQ(layers.Column(1).Count(), 249);
    EXPECT_EQ(layers.GetStringValue(0, 248), QStringLiteral("last row"));
    layers.AddRowGroup();  // exactly full
    EXPECT_EQ(layers.CellCount(), kMaxGridCells);
    EXPECT_EQ(gridError([&] { layers.InsertRowGroup(0); }), tooMany);
    EXPECT_EQ(layers.RowCount(), 250);
    layers.DeleteRowGroup(0);
    layers.AddRowGroup();
    EXPECT_EQ(layers.CellCount(), kMaxGridCells);
  }
  {  // Nested tables: a template without columns costs no cells.
    TGridTable empty;
    empty.SetIdentifier(9303);
    TGridTable layers;
    layers.AddColumn<TStringColumn>();
    layers.AddColumn<TTableColumn>().Templates.AddIdentifier(9303);
    layers.SetRowCount(kMaxNestedTables);
    EXPECT_EQ(gridError([&] { layers.AddRowGroup(); }),
              QStringLiteral("A table may hold at most 1000 nested tables"));
    EXPECT_EQ(layers.RowCount(), kMaxNestedTables);
    EXPECT_EQ(layers.Column(0).Count(), kMaxNestedTables);
    EXPECT_EQ(layers.CellCount(), 2 * kMaxNestedTables);
    EXPECT_EQ(TGridTableRegistry::instance().Count(), tablesBefore + 2 + kMaxNestedTables);
  }
  EXPECT_EQ(TGridTableRegistry::instance().Count(), tablesBefore);
}

TEST(GridTable, SelfReferringTemplateStopsNesting) {
  TGridTable looped;
  looped.SetIdentifier(9201);
  looped.AddColumn<TTableColumn>().Templates.AddIdentifier(9201);
  looped.SetRowCount(1);  // would nest without end
  // A template the table lies within gives its rows no sub-table: copies of
  // copies multiply with every row at every level.
  EXPECT_EQ(looped.GetDataValue(0, 0), nullptr);
  int depth = 0;
  for (TGridTable *t = &looped; t && t->RowCount() > 0; t = t->GetDataValue(0, 0)) ++depth;
  EXPECT_EQ(depth, 1);
}

TEST(GridTable, TemplateThatCannotBeCopiedLeavesTheRowEmpty) {
  TGridTable huge;
  huge.SetIdentifier(9202);
  huge.AddColumn<TFloatColumn>();
  huge.SetMinRows(kMaxGridRows + 1);
  TGridTable layers;
  layers.AddColumn<TTableColumn>().Templates.AddIdentifier(9202);
  layers.AddColumn<TStringColumn>();
  layers.SetRowCount(2);
  EXPECT_EQ(layers.GetDataValue(0, 1), nullptr);
  layers.SetStringValue(1, 1, "still usable");
  layers.DeleteRowGroup(0);
  EXPECT_EQ(layers.GetStringValue(1, 0), QStringLiteral("still usable"));
}

TEST(GridTable, WrongKindAndBadIndexes) {
  TGridTable table;
  table.AddColumn<TStringColumn>();
  table.AddColumn<TIntColumn>();
  table.SetRowCount(1);
  const QString wrongType = QStringLiteral("Data of wrong type");
  EXPECT_EQ(gridError([&] { table.GetFloatValue(0, 0); }), wrongType);
  EXPECT_EQ(gridError([&] { table.SetIntValue(0, 0, 1); }), wrongType);
  EXPECT_EQ(gridError([&] { table.GetDataValue(1, 0); }), wrongType);
  const QString outside = QStringLiteral("Index out of bounds");
  EXPECT_EQ(gridError([&] { table.GetIntValue(1, 1); }), outside);
  EXPECT_EQ(gridError([&] { table.GetIntValue(2, 0); }), outside);
  EXPECT_EQ(gridError([&] { table.GetStringValue(-1, 0); }), outside);
  EXPECT_EQ(gridError([&] { table.DeleteRowGroup(5); }), outside);
  EXPECT_EQ(gridError([&] { table.SetMinRows(0); }), QStringLiteral("Value must be greater than 0"));
  EXPECT_EQ(gridError([&] { table.SetRowCount(kMaxGridRows + 1); }), QStringLiteral("Too many rows"));
  EXPECT_FALSE(table.CellExists(0, 1));
  EXPECT_TRUE(table.CellExists(1, 0));
}

TEST(GridTable, CellHandlesFollowTheirRow) {
  TGridTable table;
  table.AddColumn<TStringColumn>();
  table.SetRowCount(3);
  TData &handle = table.Data(0, 2);
  handle.SetValue("deep");
  table.InsertRowGroup(0);
  EXPECT_EQ(handle.Row(), 3);
  EXPECT_EQ(table.GetStringValue(0, 3), QStringLiteral("deep"));
  table.DeleteRowGroup(1);
  EXPECT_EQ(handle.Row(), 2);
  EXPECT_EQ(handle.Value(), QStringLiteral("deep"));
}

TEST(GridTableRegistry, IdentifiersStayUnique) {
  TGridTable a, b;
  const int aId = a.Identifier();
  const int bId = b.Identifier();
  EXPECT_NE(aId, bId);
  b.SetIdentifier(aId);  // the two swap
  EXPECT_EQ(b.Identifier(), aId);
  EXPECT_EQ(a.Identifier(), bId);
  auto &registry = TGridTableRegistry::instance();
  EXPECT_EQ(registry.FindByIdentifier(aId), &b);
  // Tables created later never take an identifier in use.
  a.SetIdentifier(registry.Count() + 50);
  std::vector<std::unique_ptr<TGridTable>> more;
  for (int k = 0; k < 120; ++k) more.push_back(std::make_unique<TGridTable>());
  for (const auto &t : more) EXPECT_EQ(registry.FindByIdentifier(t->Identifier()), t.get());
  EXPECT_EQ(registry.FindByIdentifier(a.Identifier()), &a);
}

// A visible editing window, as the table sees it.
class FakeView : public ITableView {
 public:
  void showView(bool asModal) override { visible = true, modal = asModal; }
  void hideView() override { visible = false; }
  bool isViewVisible() const override { return visible; }
  bool isViewModal() const override { return modal; }
  void tableChanged() override { ++changes; }
  void tableDestroyed() override {}
  bool visible = false;
  bool modal = false;
  int changes = 0;
};

TEST(IntColumn, BoundsAreCheckedWhileTheWindowIsOpen) {
  TGridTable table;
  auto &counts = table.AddColumn<TIntColumn>();
  counts.Minimum = 0;
  counts.Maximum = 100;
  table.SetRowCount(1);
  table.SetStringValue(0, 0, "150");  // no window: stored as given
  EXPECT_EQ(table.GetIntValue(0, 0), 150);
  table.SetStringValue(0, 0, "2.4");
  EXPECT_EQ(table.GetIntValue(0, 0), 2);

  FakeView view;
  TGridTable::SetViewFactory([&](TGridTable &) { return &view; });
  table.Show();
  TGridTable::SetViewFactory({});
  ASSERT_TRUE(table.FormVisible());
  const struct {
    const char *text;
    const char *message;
  } cases[] = {
      {"2.5", "Entry must be an integer."},
      {"150", "Entry must be between 0 and 100."},
      {"-1", "Entry must be between 0 and 100."},
      {"abc", "Entry could not be evaluated:\rinvalid character(s) in expression"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(gridError([&] { table.SetStringValue(0, 0, c.text); }).toStdString(), c.message) << c.text;
  EXPECT_EQ(table.GetIntValue(0, 0), 2);
  table.SetStringValue(0, 0, "3*33+1");
  EXPECT_EQ(table.GetIntValue(0, 0), 100);
  table.SetStringValue(0, 0, "0.1*30");  // whole within 1e-10
  EXPECT_EQ(table.GetIntValue(0, 0), 3);
  table.DetachView(&view);
}

// ---------------------------------------------------------------- stored column list

TEST(StoredColumns, RoundTrip) {
  TGridTable tmpl;
  tmpl.SetIdentifier(9301);
  TGridTable source;
  auto &kind = source.AddColumn<TEnumColumn>();
  kind.Heading = QStringList{"Soil Type"};
  kind.Names = QStringList{"sand", "clay"};
  auto &depth = source.AddColumn<TFloatColumn>();
  depth.Heading = QStringList{"Depth at Bottom ", "of each Layer"};
  depth.UnitsString = "L2";
  depth.Default = 1.25L;
  depth.TopDepth = false;
  auto &tables = source.AddColumn<TTableColumn>();
  tables.Heading = QStringList{"Layer Data"};
  tables.Templates.AddIdentifier(9301);
  tables.Templates.AddIdentifier(-1);
  auto &counts = source.AddColumn<TIntColumn>();
  counts.Default = 5;
  counts.Minimum = -3;
  counts.Maximum = 100;
  counts.Visible = false;
  counts.SameGroup = true;
  auto &note = source.AddColumn<TStringColumn>();
  note.Default = QString::fromUtf8("Schl\xC3\xA4gel");
  note.MinWidth = 1.5;
  const QByteArray stored = source.SaveColumns();

  TGridTable copy;
  copy.SetRowCount(2);
  copy.LoadColumns(stored);
  EXPECT_EQ(copy.SaveColumns(), stored);
  ASSERT_EQ(copy.ColCount(), 5);
  EXPECT_EQ(copy.Column(0).GetEnumCount(), 2);
  EXPECT_EQ(copy.Column(0).GetEnumStr(1), QStringLiteral("clay"));
  const auto &d = dynamic_cast<const TFloatColumn &>(copy.Column(1));
  EXPECT_EQ(d.UnitsString, QStringLiteral("L2"));
  EXPECT_EQ(d.Default, 1.25L);
  EXPECT_EQ(d.Heading, depth.Heading);
  const auto &i = dynamic_cast<const TIntColumn &>(copy.Column(3));
  EXPECT_EQ(std::tie(i.Default, i.Minimum, i.Maximum), std::make_tuple(5, -3, 100));
  EXPECT_FALSE(i.Visible);
  EXPECT_TRUE(i.SameGroup);
  EXPECT_EQ(dynamic_cast<const TStringColumn &>(copy.Column(4)).Default, note.Default);
  // Values are brought up to the table's rows; each row got its template.
  EXPECT_EQ(copy.Column(4).Count(), 2);
  EXPECT_EQ(copy.GetIntValue(3, 1), 5);
  EXPECT_EQ(copy.GetFloatValue(1, 1), 1.25L);
  ASSERT_NE(copy.GetDataValue(2, 0), nullptr);
  EXPECT_EQ(copy.GetStringValue(4, 0), note.Default);
}

// Writes the common head of one stored column.
void columnHead(TValueWriter &w, int id, const QString &heading = "H") {
  w.writeInteger(id);
  w.writeListBegin();
  w.writeString(heading);
  w.writeListEnd();
  w.writeBoolean(true);
  w.writeBoolean(false);
}

void enumColumn(TValueWriter &w, int names) {
  columnHead(w, 0);
  w.writeListBegin();
  for (int k = 0; k < names; ++k) w.writeString(QStringLiteral("kind %1").arg(k + 1));
  w.writeListEnd();
}

TEST(StoredColumns, LegacyFloatLayoutHasUnitsInPlaceOfTheTag) {
  TValueWriter w;
  w.writeInteger(2);
  columnHead(w, 2);
  w.writeBoolean(true);       // top depth
  w.writeString("F/L2^2");    // units where the tag would be, no default
  columnHead(w, 4, "Note");   // the next column still reads
  w.writeString("x");
  w.writeFloat(0.75L);
  TGridTable table;
  table.LoadColumns(w.data());
  ASSERT_EQ(table.ColCount(), 2);
  const auto &f = dynamic_cast<const TFloatColumn &>(table.Column(0));
  EXPECT_TRUE(f.TopDepth);
  EXPECT_EQ(f.UnitsString, QStringLiteral("F/L2^2"));
  EXPECT_EQ(f.Default, 0);
  EXPECT_EQ(dynamic_cast<const TStringColumn &>(table.Column(1)).MinWidth, 0.75);
}

TEST(StoredColumns, LegacyTableLayoutPicksTemplates) {
  const auto refs = [](const TGridTable &t, int col) {
    std::vector<std::pair<bool, int>> v;
    for (const auto &r : dynamic_cast<const TTableColumn &>(t.Column(col)).Templates.Refs())
      v.emplace_back(r.byIndex, r.value);
    return v;
  };
  const auto legacy = [](TValueWriter &w, int index) {
    columnHead(w, 3);
    w.writeString("FLEXCOLUMN");
    w.writeInteger(index);
  };
  {  // behind an enumeration: templates by identifier 1, 2, 3
    TValueWriter w;
    w.writeInteger(2);
    enumColumn(w, 3);
    legacy(w, 7);
    TGridTable table;
    table.LoadColumns(w.data());
    EXPECT_EQ(refs(table, 1), (std::vector<std::pair<bool, int>>{{false, 1}, {false, 2}, {false, 3}}));
  }
  {  // hard-wired: the stored index for every name
    TValueWriter w;
    w.writeInteger(2);
    enumColumn(w, 2);
    legacy(w, 7);
    TGridTable table;
    table.HardwiredButton = true;
    table.LoadColumns(w.data());
    EXPECT_EQ(refs(table, 1), (std::vector<std::pair<bool, int>>{{true, 7}, {true, 7}}));
  }
  {  // no enumeration first: once, by index
    TValueWriter w;
    w.writeInteger(1);
    legacy(w, 4);
    TGridTable table;
    table.LoadColumns(w.data());
    EXPECT_EQ(refs(table, 0), (std::vector<std::pair<bool, int>>{{true, 4}}));
  }
  {  // current layout: padded or cut to one template per name
    for (int stored : {1, 5}) {
      TValueWriter w;
      w.writeInteger(2);
      enumColumn(w, 3);
      columnHead(w, 3);
      w.writeString("FLEXCOLUMN2");
      w.writeListBegin();
      for (int k = 0; k < stored; ++k) w.writeInteger(40 + k);
      w.writeListEnd();
      TGridTable table;
      table.LoadColumns(w.data());
      const auto r = refs(table, 1);
      ASSERT_EQ(r.size(), 3u) << stored;
      EXPECT_EQ(r[0], std::make_pair(false, 40));
      EXPECT_EQ(r[2], stored == 1 ? std::make_pair(false, -1) : std::make_pair(false, 42));
    }
  }
}

TEST(StoredColumns, ReadErrors) {
  TValueWriter unknown;
  unknown.writeInteger(1);
  columnHead(unknown, 9);
  TValueWriter negative;
  negative.writeInteger(-1);
  TValueWriter wrongValue;
  wrongValue.writeInteger(1);
  wrongValue.writeString("not an id");
  const struct {
    QByteArray data;
    const char *message;
  } cases[] = {
      {unknown.data(), "Error occured when creating column 0: Error Column Class not defined"},
      {QByteArray(), "Error reading column count"},
      {negative.data(), "Error reading column count"},
      {QByteArray("\x03\xff\xff\xff\x7f", 5), "Error reading column count"},
      {wrongValue.data(), "Error occured when creating column 0: Invalid property value"},
  };
  for (const auto &c : cases) {
    TGridTable table;
    EXPECT_EQ(gridError([&] { table.LoadColumns(c.data); }).toStdString(), c.message);
  }
}

TEST(StoredColumns, EveryTruncationFailsCleanly) {
  TGridTable source;
  source.AddColumn<TEnumColumn>().Names = QStringList{"a", "b"};
  source.AddColumn<TFloatColumn>().UnitsString = "L2";
  source.AddColumn<TTableColumn>().Templates.AddIdentifier(-1);
  source.AddColumn<TIntColumn>();
  source.AddColumn<TStringColumn>();
  const QByteArray stored = source.SaveColumns();
  for (qsizetype n = 0; n < stored.size(); ++n) {
    TGridTable table;
    EXPECT_THROW(table.LoadColumns(stored.left(n)), EGridError) << n;
    QByteArray damaged = stored;
    damaged[n] = static_cast<char>(damaged[n] ^ 0x5A);
    try {
      table.LoadColumns(damaged);  // may read or fail, never crash
    } catch (const EGridError &) {
    }
  }
}

}  // namespace
}  // namespace pylar
