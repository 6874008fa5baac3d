// The soil profile as one table: a row per layer with its model, depths, caps,
// resistance factors, the side friction procedure of a sand layer and every
// property of every model at the top and the bottom of the layer, a cell left
// blank where the layer's model has no such property. The columns come from
// the soil model descriptions (soils.h); a cell is written as the layer window
// and the property dialog write it (the same checks and carry-over), and the
// table copies to and pastes from a spreadsheet as tab-separated text.
#pragma once

#include "DataUnit.h"
#include "soils.h"

#include <QString>
#include <QStringList>

#include <map>
#include <utility>
#include <vector>

namespace pylar {

struct TReportInputs;

enum class TProfileColumnKind {
  Layer,      // the layer's number
  Model,      // the soil or rock model
  TopDepth,   // the depth of the layer's top: the bottom of the layer above
  LayerValue, // a numeric column of the layer table (bottom depth, caps, resistance factors)
  Procedure,  // the side friction procedure (sand)
  LayerChoice,  // a choice of the design methods kept for the whole layer (strength test, sand kind)
  Property,   // a property of the layer's model, at the top or the bottom
};

struct TProfileColumn {
  TProfileColumnKind Kind;
  QString Heading;  // "Total Unit Weight"
  QString End;      // "top", "bottom" or empty
  QString Units;    // unit template ("F/L2^3") or unit text ("Deg"); empty: none
  int LayerColumn = -1;  // LayerValue: the column of the layer table
  TSoilProperty Property = TSoilProperty::UnitWeight;  // Procedure, Property
  bool Bottom = false;   // Property
};

// The values a run estimated, by layer row (from 0), property and end
// (false top, true bottom), as the report printed them.
using TProfileEstimates = std::vector<std::map<std::pair<TSoilProperty, bool>, QString>>;

// The estimated values of a run's report that belong to the project's layers:
// the values the report marks "(*)" on the lines the models' descriptions name.
TProfileEstimates ProfileEstimates(const TReportInputs &report, const TProjectTables &tables);

// The models of a project's layers (codes 1 ... 9), each once.
std::vector<int> ModelsInProfile(const TProjectTables &tables);

class TProfileGrid {
 public:
  // The resistance factors' columns only under LRFD; the properties of the
  // models given (of every model when none is given).
  explicit TProfileGrid(bool lrfd, const std::vector<int> &models = {});

  const std::vector<TProfileColumn> &Columns() const { return fColumns; }
  int ColumnCount() const { return static_cast<int>(fColumns.size()); }

  // The header of a column in a unit system, on one line for a spreadsheet
  // ("Total Unit Weight, top (lbs/ft^3)") or on two for the grid.
  QString Header(int column, int units, bool twoLines = false) const;

  // A cell as the grid shows it (empty where the layer's model has no such value).
  QString Text(const TProgramData &project, int row, int column) const;
  // A cell whose text is the run's estimate: "0.55 (*)"; empty when the run
  // did not estimate it.
  QString Estimate(const TProgramData &project, const TProfileEstimates &estimates, int row, int column) const;
  // The layer's model has the value and, for a sand layer, its procedure uses it.
  bool Applies(const TProgramData &project, int row, int column) const;
  bool Editable(const TProgramData &project, int row, int column) const;
  // Names of the values of a choice column (models, procedures, interface
  // conditions); empty for other columns.
  QStringList Choices(int column) const;

  // Writes a cell from its text: a number or expression in the project's
  // units, or a choice by its name or number. Throws EAssignError with the
  // message the layer window or property dialog would give; nothing is
  // changed then.
  void SetText(TProgramData &project, int row, int column, const QString &text) const;

  // The cells of rows [top, bottom] and columns [left, right] as
  // tab-separated lines, after a line of their headers when `header`;
  // estimated values as shown ("0.55 (*)").
  QString Copy(const TProgramData &project, const TProfileEstimates &estimates, int top, int left, int bottom,
               int right, bool header) const;
  // Pastes tab-separated lines with their first row at layer `row`. A block
  // whose first line holds the grid's headers (as Copy writes them, in the
  // project's units) goes into the columns those headers name, shown or not;
  // another block goes into the columns from `column` on, as they are shown.
  // Blank cells and estimates ("(*)") leave their values, the layer number
  // and top depth are not inputs, and layers are added below the last one as
  // the block needs (up to 40). Each row's model goes first, then its
  // procedure, then its values. Throws EAssignError naming the layer and
  // column of the first cell that cannot be written; cells before it may
  // have been written (the caller restores the project). Returns the number
  // of rows written.
  int Paste(TProgramData &project, int row, int column, const QString &text) const;

 private:
  const TSoilField *field(int code, const TProfileColumn &column) const;
  QString header(const TProfileColumn &column, int units, bool twoLines = false) const;
  QString text(const TProgramData &project, int row, const TProfileColumn &column) const;
  bool applies(const TProgramData &project, int row, const TProfileColumn &column) const;
  bool editable(const TProgramData &project, int row, const TProfileColumn &column) const;
  QStringList choices(const TProfileColumn &column) const;
  void setText(TProgramData &project, int row, const TProfileColumn &column, const QString &text) const;
  std::vector<TProfileColumn> fColumns;  // as shown
  std::vector<TProfileColumn> fAll;      // of every model, for a block with headers
};

}  // namespace pylar
