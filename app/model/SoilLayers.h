// Editing the soil profile without widgets: the layer list of D (add, insert,
// delete within the layer dialog's limit), changing the model of a layer with
// the carry-over of the properties the old and new model share, and the side
// friction procedure of sand layers.
#pragma once

#include "DataUnit.h"

#include <utility>

namespace pylar {

// Writes a number into a cell of any numeric column; integer and index
// columns take the nearest whole number.
void SetCellNumber(TGridTable &table, int column, int row, Extended value);

// Gives layer `row` of D the model `code`: a fresh property table of the new
// model that keeps, at the top and at the bottom, every property the old and
// new model share. A layer that becomes sand gets the beta procedure (2) when
// a beta was carried over and the Ko procedure (1) otherwise; the procedure of
// a sand layer and the interface condition of a weak-rock layer (which then
// starts at 1) are not carried over. Returns false (nothing changed) for a row or code out
// of range; choosing the layer's own model keeps every value.
// Under the 2018 methods a layer whose resistance factors are still the
// AASHTO factors of its old model takes those of its new model; factors the
// user set are kept.
bool ChangeLayerModel(TProjectTables &tables, int row, int code,
                      methods::MethodSet set = methods::MethodSet::Fhwa1999);

// A new layer: sand (its table from the template, procedure 1), depth 0,
// no caps; resistance factors 1, or under the 2018 methods the AASHTO
// factors of sand (side 0.55, end 0.50). False when D already has
// kMaxLayers rows.
bool AddLayer(TProjectTables &tables, methods::MethodSet set = methods::MethodSet::Fhwa1999);
// The same before `row`; the layers from `row` on move down with their values.
bool InsertLayer(TProjectTables &tables, int row, methods::MethodSet set = methods::MethodSet::Fhwa1999);

// The AASHTO resistance factors (side, end) of a model; {1, 1} for a code
// without a row.
std::pair<Extended, Extended> AashtoFactors(int code);
// Gives every layer the AASHTO resistance factors of its model; true when a
// factor changed.
bool UseAashtoFactors(TProjectTables &tables);
// The set of a project's methods.
methods::MethodSet ProjectMethodSet(const TProgramData &project);
// Removes layer `row`; the layers below move up with their values.
bool DeleteLayer(TProjectTables &tables, int row);

// Sets the procedure in both rows of a sand table and zeroes the parameters
// of the procedures not chosen: Ko -> beta and m; beta -> Ko, interface angle
// and m; Chen and Kulhawy -> Ko and beta. Out-of-range methods are taken as Ko.
void SetSandMethod(TGridTable &sand, int method);

}  // namespace pylar
