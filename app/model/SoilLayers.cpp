#include "SoilLayers.h"


#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace pylar {

namespace {

using P = TSoilProperty;
struct Pair {
  Extended top, bottom;
};

// Properties a model keeps only while it stays the same model: a sand
// layer's procedure is chosen in its property dialog, and the interface
// condition of a weak-rock layer is an index of that model alone.
bool carriedOver(P property) { return property != P::SandMethod && property != P::InterfaceCondition; }

void zero(TGridTable &table, int column, int row) { SetCellNumber(table, column, row, 0); }

void resetLayerRow(TProjectTables &tables, int row, methods::MethodSet set) {
  TGridTable &d = tables.D;
  d.SetIntValue(lcSoilType, row, scSand);
  d.SetFloatValue(lcDepth, row, 0);
  d.SetFloatValue(lcMaxSide, row, 0);
  d.SetFloatValue(lcMaxEnd, row, 0);
  const auto [side, end] = set == methods::MethodSet::Gec2018 ? AashtoFactors(scSand) : std::pair<Extended, Extended>{1, 1};
  d.SetFloatValue(lcLRFDSide, row, side);
  d.SetFloatValue(lcLRFDEnd, row, end);
  tables.RebuildLayerData(row);
  if (TGridTable *sand = tables.LayerData(row)) SetSandMethod(*sand, smKo);
}

}  // namespace

void SetCellNumber(TGridTable &table, int column, int row, Extended value) {
  TColumn &target = table.Column(column);
  if (dynamic_cast<TFloatColumn *>(&target)) {
    target.SetFloatValue(row, value);
    return;
  }
  // Whole-number columns (blow counts, indexes) take the nearest integer.
  const Extended rounded = std::nearbyint(std::clamp<Extended>(value, std::numeric_limits<int>::min(),
                                                               std::numeric_limits<int>::max()));
  target.SetIntValue(row, static_cast<int>(rounded));
}

std::pair<Extended, Extended> AashtoFactors(int code) {
  const methods::ModelResistanceFactors *f = methods::resistanceFactors(code);
  // The table's two-digit factors as the project file writes them (0.55, not
  // the nearest double's long expansion).
  const auto exact = [](double v) { return static_cast<Extended>(std::round(v * 100)) / 100; };
  return f ? std::pair<Extended, Extended>{exact(f->side), exact(f->base)} : std::pair<Extended, Extended>{1, 1};
}

bool UseAashtoFactors(TProjectTables &tables) {
  bool changed = false;
  for (int row = 0; row < tables.D.RowCount(); ++row) {
    const auto [side, end] = AashtoFactors(tables.D.GetIntValue(lcSoilType, row));
    changed = changed || tables.D.GetFloatValue(lcLRFDSide, row) != side || tables.D.GetFloatValue(lcLRFDEnd, row) != end;
    tables.D.SetFloatValue(lcLRFDSide, row, side);
    tables.D.SetFloatValue(lcLRFDEnd, row, end);
  }
  return changed;
}

methods::MethodSet ProjectMethodSet(const TProgramData &project) {
  return project.DesignSet == 1 ? methods::MethodSet::Gec2018 : methods::MethodSet::Fhwa1999;
}

bool ChangeLayerModel(TProjectTables &tables, int row, int code, methods::MethodSet set) {
  if (row < 0 || row >= tables.D.RowCount() || code < 1 || code > kSoilCodeCount) return false;
  const int oldCode = tables.D.GetIntValue(lcSoilType, row);
  if (oldCode == code) return true;
  if (set == methods::MethodSet::Gec2018) {
    const auto [oldSide, oldEnd] = AashtoFactors(oldCode);
    if (tables.D.GetFloatValue(lcLRFDSide, row) == oldSide && tables.D.GetFloatValue(lcLRFDEnd, row) == oldEnd) {
      const auto [side, end] = AashtoFactors(code);
      tables.D.SetFloatValue(lcLRFDSide, row, side);
      tables.D.SetFloatValue(lcLRFDEnd, row, end);
    }
  }

  // Collect the old model's values (top and bottom) before its table goes.
  struct Value {
    P property;
    Extended top, bottom;
  };
  std::vector<Value> values;
  const TGridTable *old = tables.LayerData(row);
  if (const TSoilFamilyDescription *family = SoilFamilyOf(oldCode); old && family) {
    for (int column = 0; column < static_cast<int>(family->Fields.size()); ++column)
      if (column < old->ColCount() && old->RowCount() >= 2)
        values.push_back({family->Fields[static_cast<std::size_t>(column)].Property, old->GetFloatValue(column, 0),
                          old->GetFloatValue(column, 1)});
  }

  tables.D.SetIntValue(lcSoilType, row, code);  // replaces the layer's table by the new template
  TGridTable *fresh = tables.LayerData(row);
  if (!fresh || fresh->RowCount() < 2) return true;
  for (int c = 0; c < fresh->ColCount(); ++c) {
    if (dynamic_cast<TEnumColumn *>(&fresh->Column(c))) continue;  // an index, never 0
    zero(*fresh, c, 0);
    zero(*fresh, c, 1);
  }
  for (const Value &value : values) {
    const int column = PropertyColumn(code, value.property);
    if (column < 0 || !carriedOver(value.property)) continue;
    SetCellNumber(*fresh, column, 0, value.top);
    SetCellNumber(*fresh, column, 1, value.bottom);
  }
  if (const int procedure = PropertyColumn(code, P::SandMethod); procedure >= 0) {
    // A beta carried over from gravel is used: the beta procedure; else Ko.
    const int betaColumn = PropertyColumn(code, P::Beta);
    const Pair beta = betaColumn >= 0 ? Pair{fresh->GetFloatValue(betaColumn, 0), fresh->GetFloatValue(betaColumn, 1)}
                                      : Pair{0, 0};
    const int method = beta.top != 0 || beta.bottom != 0 ? smBeta : smKo;
    SetCellNumber(*fresh, procedure, 0, method);
    SetCellNumber(*fresh, procedure, 1, method);
  }
  return true;
}

bool AddLayer(TProjectTables &tables, methods::MethodSet set) {
  if (tables.D.RowCount() >= kMaxLayers) return false;
  tables.D.AddRowGroup();
  resetLayerRow(tables, tables.D.RowCount() - 1, set);
  return true;
}

bool InsertLayer(TProjectTables &tables, int row, methods::MethodSet set) {
  if (tables.D.RowCount() >= kMaxLayers || row < 0 || row > tables.D.RowCount()) return false;
  tables.D.InsertRowGroup(row);
  resetLayerRow(tables, row, set);
  return true;
}

bool DeleteLayer(TProjectTables &tables, int row) {
  if (row < 0 || row >= tables.D.RowCount()) return false;
  tables.D.DeleteRowGroup(row);
  return true;
}

void SetSandMethod(TGridTable &sand, int method) {
  if (sand.ColCount() <= kSandMethodColumn || sand.RowCount() < 2) return;
  method = SandProcedure(method);
  const std::span<const TSoilField> fields = SoilFamily(TSoilFamily::Sand).Fields;
  for (int row = 0; row < 2; ++row) {
    sand.SetIntValue(kSandMethodColumn, row, method);
    for (std::size_t c = 0; c < fields.size() && c < static_cast<std::size_t>(sand.ColCount()); ++c)
      if (!UsedUnder(fields[c].Procedures, method)) zero(sand, static_cast<int>(c), row);
  }
}

}  // namespace pylar
