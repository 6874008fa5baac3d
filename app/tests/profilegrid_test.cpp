// The soil profile grid: its columns follow the models' descriptions, a cell
// is written with the checks of the layer window and property dialog, the
// grid copies to and pastes from a spreadsheet, and the run's estimates are
// marked.
#include "model/CalcReportData.h"
#include "model/ProfileGrid.h"
#include "model/ReportFile.h"
#include "model/SoilLayers.h"

#include <gtest/gtest.h>

#include <set>

using namespace pylar;
using P = TSoilProperty;

namespace {

const QString kSource = QStringLiteral(PYLAR_SOURCE_DIR);

struct Project {
  TProjectTables tables;
  std::unique_ptr<TProgramData> data;
  explicit Project(const QString &example = {}) {
    data = example.isEmpty() ? TProgramData::Create(tables)
                             : TProgramData::CreateFromFile(tables, kSource + "/examples/" + example, ffVersion8).data;
  }
};

// The column of a heading and end ("top", "bottom" or empty).
int columnOf(const TProfileGrid &grid, const QString &heading, const QString &end = {}) {
  for (int c = 0; c < grid.ColumnCount(); ++c)
    if (grid.Columns()[static_cast<std::size_t>(c)].Heading == heading && grid.Columns()[static_cast<std::size_t>(c)].End == end)
      return c;
  ADD_FAILURE() << "no column " << heading.toStdString() << " " << end.toStdString();
  return -1;
}

std::string message(const std::function<void()> &run) {
  try {
    run();
  } catch (const EAssignError &e) {
    return e.message().toStdString();
  }
  return "(no error)";
}

}  // namespace

// Every property a model's dialog shows has a top and a bottom column (the
// sand procedure one), each once; the layer columns come first and the
// resistance factors only under LRFD.
TEST(ProfileGrid, ColumnsFollowTheModelDescriptions) {
  const TProfileGrid asd(false), lrfd(true);
  EXPECT_EQ(lrfd.ColumnCount(), asd.ColumnCount() + 2);
  std::multiset<std::pair<P, QString>> columns;
  for (const TProfileColumn &c : asd.Columns())
    if (c.Kind == TProfileColumnKind::Property || c.Kind == TProfileColumnKind::Procedure ||
        c.Kind == TProfileColumnKind::LayerChoice)
      columns.insert({c.Property, c.End});
  std::set<std::pair<P, QString>> expected;
  for (int f = 0; f < kSoilFamilyCount; ++f)
    for (const TSoilField &field : SoilFamily(static_cast<TSoilFamily>(f)).Fields) {
      if (field.Hidden && field.Property == P::InterfaceAngle) continue;  // the weak rock's is shown
      if (field.Place == TFilePlace::Procedure || field.Place == TFilePlace::MethodBlock)  // one value per layer
        expected.insert({field.Property, QString()});
      else
        expected.insert({field.Property, "top"}), expected.insert({field.Property, "bottom"});
    }
  using TKeys = std::set<std::pair<P, QString>>;
  EXPECT_TRUE(TKeys(columns.begin(), columns.end()) == expected);
  EXPECT_EQ(columns.size(), expected.size());  // none twice

  const struct {
    int column;
    int units;
    const char *header;
  } headers[] = {
      {0, kUnitsEnglish, "Layer"},
      {3, kUnitsSI, "Depth at Bottom (m)"},
      {columnOf(asd, "Total Unit Weight", "top"), kUnitsEnglish, "Total Unit Weight, top (lbs/ft^3)"},
      {columnOf(asd, "Total Unit Weight", "bottom"), kUnitsSI, "Total Unit Weight, bottom (kN/m^3)"},
      {columnOf(asd, "Friction Angle", "top"), kUnitsSI, "Friction Angle, top (Deg)"},
      {columnOf(asd, "Preconsolidation Stress Exponent (m)", "top"), kUnitsSI,
       "Preconsolidation Stress Exponent (m), top"},
      {columnOf(asd, "Side Friction Procedure"), kUnitsSI, "Side Friction Procedure"},
      {columnOf(asd, "Concrete Slump", "bottom"), kUnitsEnglish, "Concrete Slump, bottom (in)"},
  };
  for (const auto &h : headers) EXPECT_EQ(asd.Header(h.column, h.units), h.header) << h.header;
  EXPECT_EQ(asd.Header(columnOf(asd, "Cohesion", "top"), kUnitsSI, true), "Cohesion\ntop (kN/m^2)");
  EXPECT_EQ(lrfd.Header(6, kUnitsSI), "LRFD Resistance Factor (Side Friction)");
}

// The compact grid shows the columns of the models in the profile only.
TEST(ProfileGrid, TheColumnsOfTheModelsInTheProfile) {
  Project deep("deep-profile-lrfd.pq8d");
  EXPECT_EQ(ModelsInProfile(deep.tables), (std::vector<int>{scSand, scClay, scShale, scGravellySand, scGravel}));
  // Sand keeps an interface angle, but does not show it: no column of its own.
  const TProfileGrid sand(false, {scSand});
  for (const TProfileColumn &c : sand.Columns()) EXPECT_NE(c.Property, P::InterfaceAngle) << c.Heading.toStdString();
  Project clay("clay-lrfd-si.pq8d");
  const std::vector<int> models = ModelsInProfile(clay.tables);
  ASSERT_EQ(models, std::vector<int>{scClay});
  const TProfileGrid compact(true, models), all(true);
  // Each clay property at top and bottom, the strength test once for the layer.
  EXPECT_EQ(compact.ColumnCount(), 8 + 2 * (static_cast<int>(SoilFamily(TSoilFamily::Clay).Fields.size()) - 1) + 1);
  for (const TProfileColumn &c : compact.Columns())
    if (c.Kind == TProfileColumnKind::Property || c.Kind == TProfileColumnKind::Procedure) {
      EXPECT_GE(PropertyColumn(scClay, c.Property), 0) << c.Heading.toStdString();
    }
  // The same cells as the whole grid shows.
  for (int c = 0; c < compact.ColumnCount(); ++c) {
    const int same = columnOf(all, compact.Columns()[std::size_t(c)].Heading, compact.Columns()[std::size_t(c)].End);
    for (int row = 0; row < clay.tables.D.RowCount(); ++row)
      EXPECT_EQ(compact.Text(*clay.data, row, c), all.Text(*clay.data, row, same));
  }
}

// A cell shows its layer's value where the layer's model has the property,
// and nothing elsewhere; the procedure decides which sand values apply.
TEST(ProfileGrid, CellsShowTheValuesOfTheLayersModel) {
  Project p("deep-profile-lrfd.pq8d");
  const TProfileGrid grid(true);
  const TProjectTables &t = p.tables;
  for (int row = 0; row < t.D.RowCount(); ++row) {
    const int code = t.D.GetIntValue(lcSoilType, row);
    EXPECT_EQ(grid.Text(*p.data, row, 1), QString::fromLatin1(SoilModel(code)->ModelName));
    EXPECT_EQ(grid.Text(*p.data, row, 2), FormatValue(row == 0 ? 0 : t.D.GetFloatValue(lcDepth, row - 1)));
    EXPECT_EQ(grid.Text(*p.data, row, 3), FormatValue(t.D.GetFloatValue(lcDepth, row)));
    for (int c = 0; c < grid.ColumnCount(); ++c) {
      const TProfileColumn &column = grid.Columns()[static_cast<std::size_t>(c)];
      if (column.Kind != TProfileColumnKind::Property) continue;
      const int index = PropertyColumn(code, column.Property);
      const bool has = index >= 0 && !SoilFamilyOf(code)->Fields[static_cast<std::size_t>(index)].Hidden;
      EXPECT_EQ(grid.Text(*p.data, row, c).isEmpty(), !has) << row << " " << c;
      if (has && SoilFamilyOf(code)->Fields[static_cast<std::size_t>(index)].Kind == TFieldKind::Number) {
        EXPECT_EQ(grid.Text(*p.data, row, c), FormatValue(t.LayerData(row)->GetFloatValue(index, column.Bottom)));
      }
      EXPECT_EQ(grid.Editable(*p.data, row, c), grid.Applies(*p.data, row, c));
    }
  }
  EXPECT_FALSE(grid.Editable(*p.data, 0, 0));  // the layer's number
  EXPECT_FALSE(grid.Editable(*p.data, 0, 2));  // the top follows from the layer above
  // A sand layer under the Ko procedure: Ko applies, beta and m do not.
  const int sand = 1;
  ASSERT_EQ(t.D.GetIntValue(lcSoilType, sand), scSand);
  SetSandMethod(*t.LayerData(sand), smKo);
  EXPECT_TRUE(grid.Editable(*p.data, sand, columnOf(grid, "Coefficient of Lateral Earth Pressure, Ko", "top")));
  EXPECT_FALSE(grid.Editable(*p.data, sand, columnOf(grid, "Beta Value", "top")));
  EXPECT_FALSE(grid.Editable(*p.data, sand, columnOf(grid, "Preconsolidation Stress Exponent (m)", "bottom")));
  EXPECT_EQ(grid.Text(*p.data, sand, columnOf(grid, "Side Friction Procedure")), "Ko Method");
}

// A cell is written as the layer window and the property dialog write it:
// an expression, nothing below 0, blow counts rounded, a choice by name or
// number, a model change with its carry-over, the procedure that zeroes the
// others' values; a value the layer's model or procedure does not use is refused.
TEST(ProfileGrid, CellsAreWrittenWithTheDialogsChecks) {
  Project p("mixed-profile-belled.pq8d");
  const TProfileGrid grid(false);
  TProgramData &d = *p.data;
  ASSERT_EQ(p.tables.D.GetIntValue(lcSoilType, 0), scClay);
  ASSERT_EQ(p.tables.D.GetIntValue(lcSoilType, 1), scSand);
  SetSandMethod(*p.tables.LayerData(1), smKo);
  const int weight = columnOf(grid, "Total Unit Weight", "top");
  const int cohesion = columnOf(grid, "Cohesion", "bottom");
  const int blows = columnOf(grid, "Blow Counts from SPT", "bottom");
  const int ko = columnOf(grid, "Coefficient of Lateral Earth Pressure, Ko", "top");
  const int beta = columnOf(grid, "Beta Value", "top");
  const int procedure = columnOf(grid, "Side Friction Procedure");
  const struct {
    int row, column;
    const char *text;
    const char *error;  // empty: written
  } cases[] = {
      {0, weight, "2*60", ""},
      {0, 3, "-1", "Entry must be greater than or equal to 0"},
      {0, weight, "abc", "Entry could not be evaluated:"},
      {1, cohesion, "1000", "A layer of sand (FHWA Spec.) has no cohesion."},
      {1, beta, "0.4", "The Ko Method of the layer does not use the beta value."},
      {1, procedure, "4", "\"4\" is not one of the choices: 1 Ko Method, 2 Beta Method, 3 Chen and Kulhawy (2002) Method."},
      {0, 2, "5", "Depth at Top follows from the layers and is not entered."},
  };
  for (const auto &c : cases) {
    const std::string error = message([&] { grid.SetText(d, c.row, c.column, QString::fromUtf8(c.text)); });
    if (*c.error)
      EXPECT_EQ(error.substr(0, std::string(c.error).size()), c.error) << c.text;
    else
      EXPECT_EQ(error, "(no error)") << c.text;
  }
  EXPECT_EQ(p.tables.LayerData(0)->GetFloatValue(PropertyColumn(scClay, P::UnitWeight), 0), 120);
  grid.SetText(d, 1, blows, "12.6");
  EXPECT_EQ(p.tables.LayerData(1)->GetIntValue(PropertyColumn(scSand, P::BlowCount), 1), 13);
  // The procedure by its name: Ko becomes 0, beta applies.
  grid.SetText(d, 1, ko, "0.5");
  grid.SetText(d, 1, procedure, "beta method");
  EXPECT_EQ(p.tables.LayerData(1)->GetIntValue(kSandMethodColumn, 1), smBeta);
  EXPECT_EQ(p.tables.LayerData(1)->GetFloatValue(PropertyColumn(scSand, P::Ko), 0), 0);
  grid.SetText(d, 1, beta, "0.45");
  EXPECT_EQ(p.tables.LayerData(1)->GetFloatValue(PropertyColumn(scSand, P::Beta), 0), 0.45L);
  // A model by its number, with what clay and shale share carried over.
  const Extended su = p.tables.LayerData(0)->GetFloatValue(PropertyColumn(scClay, P::Cohesion), 1);
  grid.SetText(d, 0, 1, "3");
  EXPECT_EQ(p.tables.D.GetIntValue(lcSoilType, 0), scShale);
  EXPECT_EQ(grid.Text(d, 0, cohesion), FormatValue(su));
  grid.SetText(d, 0, 1, "weak rock (FHWA Spec.)");
  const int condition = columnOf(grid, "Interface Condition Index", "bottom");
  grid.SetText(d, 0, condition, "Rough Surface w/open joints");
  EXPECT_EQ(p.tables.LayerData(0)->GetIntValue(PropertyColumn(scWeakRock, P::InterfaceCondition), 1), 3);
  EXPECT_EQ(grid.Text(d, 0, condition), "Rough Surface w/open joints");
  // A value entered as it is shown keeps its digits beyond the display.
  p.tables.D.SetFloatValue(lcMaxSide, 2, 1.0L / 3);
  grid.SetText(d, 2, 4, grid.Text(d, 2, 4));
  EXPECT_EQ(p.tables.D.GetFloatValue(lcMaxSide, 2), 1.0L / 3);
}

// What the grid copies, with its header row, pastes into a new project as the
// same profile: every model, depth, procedure and property.
TEST(ProfileGrid, CopyAndPasteCarryTheWholeProfile) {
  for (const char *example : {"deep-profile-lrfd.pq8d", "weak-rock-socket.pq8d", "strong-rock-lrfd-si.pq8d",
                              "decomposed-rock-lrfd-si.pq8d", "sand-chen-kulhawy-lrfd.pq8d"}) {
    Project from(QString::fromLatin1(example));
    const TProfileGrid grid(from.data->NLRFD == 1);
    const int last = from.tables.D.RowCount() - 1;
    const QString copied = grid.Copy(*from.data, {}, 0, 0, last, grid.ColumnCount() - 1, true);
    EXPECT_TRUE(copied.startsWith("Layer\tSoil Type\tDepth at Top")) << example;
    Project to;
    to.data->SetUnits(from.data->fUnits);
    EXPECT_EQ(grid.Paste(*to.data, 0, 0, copied), last + 1) << example;
    EXPECT_EQ(grid.Copy(*to.data, {}, 0, 0, last, grid.ColumnCount() - 1, true), copied) << example;
    // A block with its headers goes into the columns they name, whatever
    // columns the grid it is pasted into shows, wherever it is pasted.
    const TProfileGrid compact(from.data->NLRFD == 1, ModelsInProfile(from.tables));
    Project again;
    again.data->SetUnits(from.data->fUnits);
    const TProfileGrid sandOnly(false, ModelsInProfile(again.tables));
    sandOnly.Paste(*again.data, 0, 3, compact.Copy(*from.data, {}, 0, 0, last, compact.ColumnCount() - 1, true));
    EXPECT_EQ(grid.Copy(*again.data, {}, 0, 0, last, grid.ColumnCount() - 1, true), copied) << example;
  }
  // Headers in the other unit system are refused: the values would be taken in the wrong units.
  Project si("clay-lrfd-si.pq8d");
  const TProfileGrid grid(true);
  const QString metric = grid.Copy(*si.data, {}, 0, 0, 0, 5, true);
  Project english;
  EXPECT_EQ(message([&] { grid.Paste(*english.data, 0, 0, metric); }),
            "The column \"Depth at Top (m)\" is in the other unit system than the project's: switch the project's "
            "units first, or convert the values.");
}

// Three rows of a spreadsheet pasted at the first layer's model make a
// three-layer project; the layers are added as the block needs.
TEST(ProfileGrid, AThreeRowBlockFillsThreeLayers) {
  Project p;
  const TProfileGrid grid(false);
  const QString block =
      "clay (FHWA Spec.)\t0\t10\t0\t0\t\r\n"
      "sand (FHWA Spec.)\t10\t25\t0\t0\tBeta Method\r\n"
      "2\t25\t50\t4000\t0\t\r\n";  // the model by its number
  EXPECT_EQ(grid.Paste(*p.data, 0, 1, block), 3);
  ASSERT_EQ(p.tables.D.RowCount(), 3);
  const int codes[] = {scClay, scSand, scClay};
  const Extended bottoms[] = {10, 25, 50};
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(p.tables.D.GetIntValue(lcSoilType, row), codes[row]);
    EXPECT_EQ(p.tables.D.GetFloatValue(lcDepth, row), bottoms[row]);
  }
  EXPECT_EQ(p.tables.D.GetFloatValue(lcMaxSide, 2), 4000);
  EXPECT_EQ(p.tables.LayerData(1)->GetIntValue(kSandMethodColumn, 0), smBeta);
  // Values of the properties, further right, one layer at a time.
  const int weight = columnOf(grid, "Total Unit Weight", "top");
  grid.Paste(*p.data, 1, weight, "110\t115\n");
  EXPECT_EQ(p.tables.LayerData(1)->GetFloatValue(PropertyColumn(scSand, P::UnitWeight), 1), 115);
}

// A block that does not fit, or a cell that cannot be written, is refused
// with the layer and column it concerns.
TEST(ProfileGrid, PastingRefusesWhatDoesNotFit) {
  Project p("sand-asd-english.pq8d");
  const TProfileGrid grid(false);
  const int weight = columnOf(grid, "Total Unit Weight", "top");
  EXPECT_EQ(message([&] { grid.Paste(*p.data, 0, grid.ColumnCount() - 1, "1\t2\t3\n"); }),
            "The pasted block is 3 columns wide; from the column where it goes the grid has 1.");
  EXPECT_EQ(message([&] { grid.Paste(*p.data, 38, 3, "1\n2\n3\n"); }),
            "The pasted block of 3 rows would need 41 layers: a project holds at most 40.");
  EXPECT_EQ(message([&] { grid.Paste(*p.data, 0, weight, "110\t110\n-5\t118\n"); }),
            "Layer 2, Total Unit Weight, top (lbs/ft^3): Entry must be greater than or equal to 0");
  EXPECT_EQ(message([&] { grid.Paste(*p.data, 0, 1, "granite\n"); }).substr(0, 46),
            "Layer 1, Soil Type: \"granite\" is not one of th");
  // Blank cells, estimates and the columns that follow from the layers are left.
  const QString before = grid.Text(*p.data, 0, weight);
  EXPECT_EQ(message([&] { grid.Paste(*p.data, 0, 0, "99\tsand (FHWA Spec.)\t77\t\t\t\n"); }), "(no error)");
  EXPECT_EQ(message([&] { grid.Paste(*p.data, 0, weight, "0.5 (*)\n"); }), "(no error)");
  EXPECT_EQ(grid.Text(*p.data, 0, weight), before);
}

// After a run the values the engine estimated show with the report's mark.
TEST(ProfileGrid, TheRunsEstimatesAreMarked) {
  Project p("clay-lrfd-si.pq8d");
  const TTextFile report = ReadTextFile(kSource + "/engine/tests/golden/clay-lrfd-si.pq8o");
  const TProfileEstimates estimates = ProfileEstimates(ReadReportInputs(report.lines), p.tables);
  const TProfileGrid grid(true);
  const int alpha = columnOf(grid, "Alpha Factor", "top");
  const int nc = columnOf(grid, "Bearing Capacity Coefficient, Nc", "bottom");
  EXPECT_EQ(grid.Estimate(*p.data, estimates, 0, alpha), "0.55 (*)");
  EXPECT_EQ(grid.Estimate(*p.data, estimates, 0, nc), "9 (*)");
  EXPECT_EQ(grid.Estimate(*p.data, estimates, 0, columnOf(grid, "Cohesion", "top")), "");  // an input
  EXPECT_EQ(grid.Copy(*p.data, estimates, 0, alpha, 0, alpha, false), "0.55 (*)\n");
  EXPECT_TRUE(grid.Estimate(*p.data, {}, 0, alpha).isEmpty());  // no run, no estimates
}
