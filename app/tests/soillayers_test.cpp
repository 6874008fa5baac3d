// Editing the layer list and changing a layer's model: what is carried over,
// what starts at zero, the side procedure of sand and the layer limit.
#include "model/SoilLayers.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pylar;
using P = TSoilProperty;

namespace {

struct Project {
  TProjectTables tables;
  std::unique_ptr<TProgramData> data = TProgramData::Create(tables);
  TGridTable &layer(int row = 0) { return *tables.LayerData(row); }
};

// Fills every column of a layer's table with distinct values: top 10*c + 1,
// bottom 10*c + 2 (indexes get 2 and 3).
void fill(TGridTable &t) {
  for (int c = 0; c < t.ColCount(); ++c) {
    const bool index = dynamic_cast<TEnumColumn *>(&t.Column(c)) != nullptr;
    SetCellNumber(t, c, 0, index ? 2 : 10 * c + 1);
    SetCellNumber(t, c, 1, index ? 3 : 10 * c + 2);
  }
}

struct Pair {
  Extended top, bottom;
};
Pair values(TGridTable &t, int code, P property) {
  const int c = PropertyColumn(code, property);
  return {t.GetFloatValue(c, 0), t.GetFloatValue(c, 1)};
}

}  // namespace

TEST(SoilLayers, NewProjectHasOneSandLayerWithTheKoProcedure) {
  Project p;
  ASSERT_EQ(p.tables.D.RowCount(), 1);
  EXPECT_EQ(p.tables.D.GetIntValue(lcSoilType, 0), scSand);
  EXPECT_EQ(p.tables.D.GetFloatValue(lcDepth, 0), 0);
  TGridTable &sand = p.layer();
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(sand.GetIntValue(kSandMethodColumn, row), smKo);
    // The sand kind of the 2018 methods starts as its first choice, clean sand.
    const int kind = PropertyColumn(scSand, TSoilProperty::SandKind);
    EXPECT_EQ(sand.GetIntValue(kind, row), 1);
    for (int c = 0; c < sand.ColCount(); ++c)
      if (c != kSandMethodColumn && c != kind) {
        EXPECT_EQ(sand.GetFloatValue(c, row), 0) << c;
      }
  }
}

// Every model change between the nine models: a property of the new model
// holds the old model's top and bottom values when it is carried over, and 0
// (or the first interface condition, or the Ko procedure) otherwise.
TEST(SoilLayers, ModelChangeCarriesSharedPropertiesOverAndZeroesTheRest) {
  const std::vector<P> shared = {P::UnitWeight, P::BlowCount, P::Beta, P::Cohesion, P::Alpha, P::Nc,
                                 P::FrictionAngle, P::Ko, P::InterfaceAngle, P::StressExponent, P::RockStrength,
                                 P::ConcreteStrength, P::DiscontinuitySpacing, P::DiscontinuityThickness,
                                 P::SocketDiameter, P::RockModulus, P::RQD, P::Poisson, P::YoungModulus, P::Slump};
  for (int from = 1; from <= kSoilCodeCount; ++from) {
    for (int to = 1; to <= kSoilCodeCount; ++to) {
      if (from == to) continue;
      SCOPED_TRACE(QString("%1 -> %2").arg(from).arg(to).toStdString());
      Project p;
      ASSERT_TRUE(ChangeLayerModel(p.tables, 0, from));
      fill(p.layer());
      ASSERT_TRUE(ChangeLayerModel(p.tables, 0, to));
      EXPECT_EQ(p.tables.D.GetIntValue(lcSoilType, 0), to);
      TGridTable &t = p.layer();
      for (P property : shared) {
        const int column = PropertyColumn(to, property);
        if (column < 0) continue;
        const int old = PropertyColumn(from, property);
        const Pair got = values(t, to, property);
        // fill() wrote 10*c+1 and 10*c+2 into the old column c.
        const Pair want = old < 0 ? Pair{0, 0} : Pair{Extended(10 * old + 1), Extended(10 * old + 2)};
        EXPECT_EQ(got.top, want.top) << "column " << column;
        EXPECT_EQ(got.bottom, want.bottom) << "column " << column;
      }
      if (to == scSand) {
        // A carried beta (from gravelly sand or gravel) is used: the beta procedure.
        const int method = PropertyColumn(from, P::Beta) >= 0 ? smBeta : smKo;
        EXPECT_EQ(values(t, scSand, P::SandMethod).top, method);
        EXPECT_EQ(values(t, scSand, P::SandMethod).bottom, method);
      }
      if (to == scWeakRock) {
        EXPECT_EQ(values(t, scWeakRock, P::InterfaceCondition).top, 1);
        EXPECT_EQ(values(t, scWeakRock, P::InterfaceCondition).bottom, 1);
      }
    }
  }
}

TEST(SoilLayers, NamedCarryOversOfTheCommonChanges) {
  Project p;
  ChangeLayerModel(p.tables, 0, scClay);
  TGridTable *clay = &p.layer();
  // unit weight 120/125, cohesion 1500/1800, blows 7/9, alpha 0.55/0.5, Nc 9/8
  const Extended top[] = {120, 1500, 7, 0.55L, 9}, bottom[] = {125, 1800, 9, 0.5L, 8};
  for (int c = 0; c < 5; ++c) {
    SetCellNumber(*clay, c, 0, top[c]);
    SetCellNumber(*clay, c, 1, bottom[c]);
  }
  ChangeLayerModel(p.tables, 0, scShale);
  TGridTable &shale = p.layer();
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(shale.GetFloatValue(c, 0), top[c]);
    EXPECT_EQ(shale.GetFloatValue(c, 1), bottom[c]);
  }
  ChangeLayerModel(p.tables, 0, scClay);
  ChangeLayerModel(p.tables, 0, scSand);
  TGridTable &sand = p.layer();
  EXPECT_EQ(values(sand, scSand, P::UnitWeight).top, 120);
  EXPECT_EQ(values(sand, scSand, P::UnitWeight).bottom, 125);
  EXPECT_EQ(sand.GetIntValue(PropertyColumn(scSand, P::BlowCount), 0), 7);
  EXPECT_EQ(sand.GetIntValue(PropertyColumn(scSand, P::BlowCount), 1), 9);
  for (P zero : {P::FrictionAngle, P::Ko, P::Beta, P::InterfaceAngle, P::StressExponent}) {
    EXPECT_EQ(values(sand, scSand, zero).top, 0);
    EXPECT_EQ(values(sand, scSand, zero).bottom, 0);
  }
  // The procedure is a valid one, never 0.
  EXPECT_EQ(sand.GetIntValue(kSandMethodColumn, 0), smKo);
  EXPECT_EQ(sand.GetIntValue(kSandMethodColumn, 1), smKo);
}

// The two carry-overs that would go by column position are not made: a sand
// procedure never becomes an interface condition or back, and a modulus never
// becomes a diameter. The socket diameter goes by meaning; the intact rock
// core's modulus does not become a decomposed rock mass's modulus.
TEST(SoilLayers, PositionalCarryOversAreNotMade) {
  Project p;
  TGridTable *sand = &p.layer();
  SetSandMethod(*sand, smChenKulhawy);
  ChangeLayerModel(p.tables, 0, scWeakRock);
  EXPECT_EQ(p.layer().GetIntValue(PropertyColumn(scWeakRock, P::InterfaceCondition), 0), 1);
  SetCellNumber(p.layer(), PropertyColumn(scWeakRock, P::InterfaceCondition), 0, 4);
  ChangeLayerModel(p.tables, 0, scSand);
  EXPECT_EQ(p.layer().GetIntValue(kSandMethodColumn, 0), smKo);

  ChangeLayerModel(p.tables, 0, scDecomposedRock);
  SetCellNumber(p.layer(), PropertyColumn(scDecomposedRock, P::YoungModulus), 0, 50000);
  SetCellNumber(p.layer(), PropertyColumn(scDecomposedRock, P::SocketDiameter), 0, 4);
  ChangeLayerModel(p.tables, 0, scStrongRockSideOrBase);
  EXPECT_EQ(values(p.layer(), scStrongRockSideOrBase, P::SocketDiameter).top, 4);
  EXPECT_EQ(values(p.layer(), scStrongRockSideOrBase, P::RockModulus).top, 0);
  SetCellNumber(p.layer(), PropertyColumn(scStrongRockSideOrBase, P::RockModulus), 0, 2e6L);
  ChangeLayerModel(p.tables, 0, scDecomposedRock);
  EXPECT_EQ(values(p.layer(), scDecomposedRock, P::SocketDiameter).top, 4);
  EXPECT_EQ(values(p.layer(), scDecomposedRock, P::YoungModulus).top, 0);
}

TEST(SoilLayers, ChoosingTheSameModelKeepsEveryValueAndBadInputChangesNothing) {
  Project p;
  fill(p.layer());
  SetSandMethod(p.layer(), smBeta);
  const Extended beta = p.layer().GetFloatValue(PropertyColumn(scSand, P::Beta), 1);
  EXPECT_TRUE(ChangeLayerModel(p.tables, 0, scSand));
  EXPECT_EQ(p.layer().GetFloatValue(PropertyColumn(scSand, P::Beta), 1), beta);
  EXPECT_EQ(p.layer().GetIntValue(kSandMethodColumn, 0), smBeta);
  EXPECT_FALSE(ChangeLayerModel(p.tables, 0, 0));
  EXPECT_FALSE(ChangeLayerModel(p.tables, 0, 10));
  EXPECT_FALSE(ChangeLayerModel(p.tables, 1, scClay));
  EXPECT_FALSE(ChangeLayerModel(p.tables, -1, scClay));
  EXPECT_EQ(p.tables.D.GetIntValue(lcSoilType, 0), scSand);
}

TEST(SoilLayers, SandProcedureZeroesTheParametersOfTheOthers) {
  struct Case {
    int method;
    std::vector<P> zeroed, kept;
  };
  const std::vector<Case> cases = {
      {smKo, {P::Beta, P::StressExponent}, {P::Ko, P::InterfaceAngle, P::UnitWeight, P::FrictionAngle}},
      {smBeta, {P::Ko, P::InterfaceAngle, P::StressExponent}, {P::Beta, P::UnitWeight, P::BlowCount}},
      {smChenKulhawy, {P::Ko, P::Beta}, {P::StressExponent, P::InterfaceAngle, P::FrictionAngle}},
      {7, {P::Beta, P::StressExponent}, {P::Ko}},  // out of range: Ko
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.method);
    Project p;
    fill(p.layer());
    SetSandMethod(p.layer(), c.method);
    const int stored = c.method == 7 ? smKo : c.method;
    EXPECT_EQ(p.layer().GetIntValue(kSandMethodColumn, 0), stored);
    EXPECT_EQ(p.layer().GetIntValue(kSandMethodColumn, 1), stored);
    for (P property : c.zeroed) {
      EXPECT_EQ(values(p.layer(), scSand, property).top, 0);
      EXPECT_EQ(values(p.layer(), scSand, property).bottom, 0);
    }
    for (P property : c.kept) EXPECT_NE(values(p.layer(), scSand, property).bottom, 0);
  }
}

// A value the project file keeps on the line of one procedure is used (in the
// dialog, the grid and by the procedure change) under that procedure alone, or
// a value the user enters would be dropped on saving.
TEST(SoilLayers, ValuesOfAProcedureLineAreUsedUnderThatProcedureOnly) {
  for (int family = 0; family < kSoilFamilyCount; ++family) {
    for (const TSoilField &field : SoilFamily(static_cast<TSoilFamily>(family)).Fields) {
      SCOPED_TRACE(field.Heading);
      if (field.Place == TFilePlace::ProcedureValue) {
        EXPECT_EQ(field.Procedures, ProcedureBit(field.FilePosition));
      }
      if (field.Place == TFilePlace::Procedure) {
        EXPECT_EQ(field.Procedures, kAnyProcedure);  // the procedure itself always counts
      }
    }
  }
}

TEST(SoilLayers, AddInsertDeleteMoveLayersWithTheirValuesWithinTheLimit) {
  Project p;
  ChangeLayerModel(p.tables, 0, scClay);
  p.tables.D.SetFloatValue(lcDepth, 0, 10);
  SetCellNumber(p.layer(0), 1, 0, 900);  // cohesion
  ASSERT_TRUE(AddLayer(p.tables));
  EXPECT_EQ(p.tables.D.GetIntValue(lcSoilType, 1), scSand);
  EXPECT_EQ(p.tables.D.GetFloatValue(lcLRFDSide, 1), 1);
  EXPECT_EQ(p.tables.D.GetFloatValue(lcLRFDEnd, 1), 1);
  EXPECT_EQ(p.layer(1).GetIntValue(kSandMethodColumn, 1), smKo);

  ASSERT_TRUE(InsertLayer(p.tables, 0));  // the clay layer moves to row 2 with its values
  EXPECT_EQ(p.tables.D.GetIntValue(lcSoilType, 0), scSand);
  EXPECT_EQ(p.tables.D.GetIntValue(lcSoilType, 1), scClay);
  EXPECT_EQ(p.tables.D.GetFloatValue(lcDepth, 1), 10);
  EXPECT_EQ(p.layer(1).GetFloatValue(1, 0), 900);
  EXPECT_EQ(p.layer(1).ID(), 2);

  ASSERT_TRUE(DeleteLayer(p.tables, 0));  // and back up
  EXPECT_EQ(p.tables.D.GetIntValue(lcSoilType, 0), scClay);
  EXPECT_EQ(p.layer(0).GetFloatValue(1, 0), 900);
  EXPECT_EQ(p.layer(0).ID(), 1);
  EXPECT_FALSE(DeleteLayer(p.tables, 5));

  while (p.tables.D.RowCount() < kMaxLayers) ASSERT_TRUE(AddLayer(p.tables));
  EXPECT_FALSE(AddLayer(p.tables));
  EXPECT_FALSE(InsertLayer(p.tables, 3));
  EXPECT_EQ(p.tables.D.RowCount(), kMaxLayers);
}

// A layer given a new model or added while the project is in SI holds SI
// values, so switching back to English converts them.
TEST(SoilLayers, TablesMadeInSIConvertWithTheProject) {
  Project p;
  p.data->SetUnits(kUnitsSI);
  ChangeLayerModel(p.tables, 0, scClay);
  ASSERT_TRUE(AddLayer(p.tables));
  SetCellNumber(p.layer(0), 1, 0, 50);  // cohesion, kN/m^2
  SetCellNumber(p.layer(1), 0, 0, 18);  // unit weight, kN/m^3
  p.data->SetUnits(kUnitsEnglish);
  // 50 kN/m^2 * 224.8089237 lbs/kN / 3.280839895^2 ft^2/m^2 = 1044.2716 lbs/ft^2
  EXPECT_NEAR(double(p.layer(0).GetFloatValue(1, 0)), 1044.2716, 1e-3);
  // 18 kN/m^3 * 224.8089237 / 3.280839895^3 = 114.5858 lbs/ft^3
  EXPECT_NEAR(double(p.layer(1).GetFloatValue(0, 0)), 114.5858, 1e-3);
}
