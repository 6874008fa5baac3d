// Editing the soil profile without widgets: the layer list of D (add, insert,
// delete within the layer dialog's limit), changing the model of a layer with
// the carry-over of the properties the old and new model share, and the side
// friction procedure of sand layers.
#pragma once

#include "DataUnit.h"

namespace pylar {

// Properties of the soil and rock models, by meaning. A property has the same
// meaning and unit in every model whose table has a column for it.
enum class TSoilProperty {
  UnitWeight,
  BlowCount,
  Beta,
  Cohesion,
  Alpha,
  Nc,
  FrictionAngle,
  Ko,
  SandMethod,
  InterfaceAngle,  // sand's interface angle and weak rock's interface friction angle
  StressExponent,  // sand's m (the column headed "OCR")
  RockStrength,
  ConcreteStrength,
  DiscontinuitySpacing,
  DiscontinuityThickness,
  SocketDiameter,
  RockModulus,  // elastic modulus of strong rock and of the weak-rock core
  RQD,
  Poisson,
  YoungModulus,  // decomposed rock/gravel, optional
  Slump,
  InterfaceCondition,
};

// Column of a property in the property table of a soil code; -1 when the
// model has no such property.
int PropertyColumn(int code, TSoilProperty property);

// Side friction procedures of sand layers (column 5 of the sand table).
enum TSandMethod : int { smKo = 1, smBeta = 2, smChenKulhawy = 3 };
inline constexpr int kSandMethodColumn = 5;

// Writes a number into a cell of any numeric column; integer and index
// columns take the nearest whole number.
void SetCellNumber(TGridTable &table, int column, int row, Extended value);

// Display name of a soil code in the layer dialog's drop-down list (1..9).
QString SoilModelName(int code);

// Gives layer `row` of D the model `code`: a fresh property table of the new
// model that keeps, at the top and at the bottom, every property the old and
// new model share. A layer that becomes sand gets the beta procedure (2) when
// a beta was carried over and the Ko procedure (1) otherwise; the procedure of
// a sand layer and the interface condition of a weak-rock layer (which then
// starts at 1) are not carried over. Returns false (nothing changed) for a row or code out
// of range; choosing the layer's own model keeps every value.
bool ChangeLayerModel(TProjectTables &tables, int row, int code);

// A new layer: sand (its table from the template, procedure 1), depth 0,
// no caps, resistance factors 1. False when D already has kMaxLayers rows.
bool AddLayer(TProjectTables &tables);
// The same before `row`; the layers from `row` on move down with their values.
bool InsertLayer(TProjectTables &tables, int row);
// Removes layer `row`; the layers below move up with their values.
bool DeleteLayer(TProjectTables &tables, int row);

// Sets the procedure in both rows of a sand table and zeroes the parameters
// of the procedures not chosen: Ko -> beta and m; beta -> Ko, interface angle
// and m; Chen and Kulhawy -> Ko and beta. Out-of-range methods are taken as Ko.
void SetSandMethod(TGridTable &sand, int method);

}  // namespace pylar
