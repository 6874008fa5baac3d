// The soil and rock models of the layer table: one description per model
// (code 1 ... 9: its names, its property-table template, how the drawings show
// it) and one per family of models that share a property table (the table's
// columns with their headings, units and kinds, where each value stands in the
// project file, the property dialog's fields, and which side friction
// procedure of sand uses a value). The templates, the project file's reader and
// writer, the model-change carry-over, the property dialog, the soil profile
// grid, the elevation's and the 3-D View's layer labels and the result plots'
// soil column are all derived from these tables, so a model is one row and a
// property one row of its family.
#pragma once

#include <QString>
#include <QStringList>

#include <span>

namespace pylar {

// Soil and rock model codes, as written in the project file and read by the engine.
enum TSoilCode : int {
  scSand = 1,
  scClay = 2,
  scShale = 3,
  scStrongRockSideOrBase = 4,  // strong rock carrying side friction or end bearing
  scDecomposedRock = 5,        // decomposed rock/gravel
  scWeakRock = 6,
  scStrongRock = 7,  // strong rock carrying side friction and end bearing
  scGravellySand = 8,
  scGravel = 9,
};
inline constexpr int kSoilCodeCount = 9;

// Models that share the layout of their property table form one family; the
// property dialog has one page per family, in this order.
enum class TSoilFamily { Sand, Clay, StrongRock, DecomposedRock, WeakRock, Gravel };
inline constexpr int kSoilFamilyCount = 6;

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
  StrengthTest,  // clay: the test its cohesion comes from (the 2018 methods)
  SandKind,      // sand: clean, silty or gravelly (the 2018 methods)
};

// Side friction procedures of sand layers, held in the sand table's column
// kSandMethodColumn (the SandMethod property).
enum TSandMethod : int { smKo = 1, smBeta = 2, smChenKulhawy = 3 };
inline constexpr int kSandMethodColumn = 5;

// A set of sand procedures (bit 1 << method); kAnyProcedure: a value that
// counts whatever the procedure (every value of the other families).
using TProcedureSet = unsigned;
constexpr TProcedureSet ProcedureBit(int method) { return method >= 1 && method <= 31 ? 1u << method : 0u; }
inline constexpr TProcedureSet kAnyProcedure = 0;
// Whether a value of the set counts under a procedure.
constexpr bool UsedUnder(TProcedureSet set, int method) { return set == kAnyProcedure || (set & ProcedureBit(method)) != 0; }

// Kind of a property-table column.
enum class TFieldKind {
  Number,   // real
  Count,    // whole number within [Minimum, Maximum] (blow counts, the sand procedure)
  Choice,   // 1-based index into Choices
};

// Where a value stands in the project file.
enum class TFilePlace {
  PropertyLine,  // in the property line of each end of the layer, at FilePosition
  PairLine,      // on a line of its own after the property lines: top, bottom
  Procedure,     // the sand procedure line (one value for both ends)
  ProcedureValue,  // on the line after the procedure, when its procedure (Procedure) is in force
  MethodBlock,     // in the block of design methods after the records (one value for both ends; the
                   // choice 1 is the default and is not written)
};

// One column of a family's property table (the column's index is its place in
// the family's list).
struct TSoilField {
  TSoilProperty Property;
  const char *Heading;  // column heading of the property table
  const char *Units;    // unit template of the column ("" none); converts with the unit system
  TFieldKind Kind = TFieldKind::Number;
  int Minimum = 0, Maximum = 0, Default = 0;  // Count columns
  TFilePlace Place = TFilePlace::PropertyLine;
  int FilePosition = -1;   // PropertyLine: index in the line; ProcedureValue: the procedure
  bool CurrentFormatOnly = false;  // read as an unused value from the older project files
  // The property dialog's field; no caption: none of its own.
  const char *Caption = nullptr;
  const char *CaptionUnits = nullptr;  // unit text of the dialog field when it differs from Units
  int DialogRow = -1;                  // place on the family's page, from 0
  bool Hidden = false;                 // kept, but not shown
  // Choice columns, and the sand procedure: the names of the values 1, 2, ...
  std::span<const char *const> Choices = {};
  // A value the program estimates when it is left as zero: the name of the
  // line on which the report prints it (marked "(*)" when estimated).
  const char *ReportName = nullptr;
  // The sand procedures that use the value: the property dialog enables its
  // field under them only, the soil profile grid takes it under them only,
  // and choosing another procedure sets it to 0.
  TProcedureSet Procedures = kAnyProcedure;
  // The one model of the family that holds the value (0: every model of it);
  // the other models' tables keep the column hidden.
  int OnlyCode = 0;
};

// Whether a layer of model `code` holds the field.
constexpr bool FieldOfModel(const TSoilField &field, int code) { return field.OnlyCode == 0 || field.OnlyCode == code; }

// A note under a property dialog's fields, shown while the layer's procedure
// is one of Procedures.
struct TSoilNote {
  const char *Text;
  TProcedureSet Procedures = kAnyProcedure;
};

// The name of a field as the user knows it: the property dialog's caption
// without its number and note marks ("Friction Angle" for "6. Friction Angle
// (***)"), else the table's heading.
QString FieldTitle(const TSoilField &field);

// The property line of one end of a layer: the family's values at their
// positions, the two caps of the layer table at theirs, every other position an
// unused value (written as 0.0). The two LRFD resistance factors follow it.
struct TSoilFamilyDescription {
  TSoilFamily Family;
  const char *PageName;  // the property dialog's tab
  std::span<const TSoilField> Fields;
  int LineLength;  // values of the property line before the resistance factors
  int MaxSidePosition;
  int MaxEndPosition;
  std::span<const TSoilNote> Notes;  // shown under the fields of the page
};

struct TSoilModelDescription {
  TSoilCode Code;
  TSoilFamily Family;
  const char *ChoiceText;  // name in the layer table's soil type column
  const char *ModelName;   // name in the layer window's drop-down list
  const char *PageTitle;   // title of the property dialog's page
  const char *TableCaption;
  int TemplateIdentifier;
  bool LocationTopLeft;    // the table's corner reads "Location, 1=Top, 2=Bottom"
  const char *TableComments;  // the property table's comments; null: none
  // How the drawings show a layer of the model. The elevation's label names it
  // ShortName (printed: PrintedName where it has one) and, on screen, gives
  // its depths unless the model is drawn as rock; the 3-D View labels it
  // SceneName; the result plots' soil column names its band "LAYER n" and
  // BandName and fills it with BandFill (a band value of PlotScale).
  const char *ShortName;
  const char *PrintedName;
  bool DrawnAsRock;
  const char *SceneName;
  const char *BandName;
  int BandFill;
};

// The description of a code; null outside 1 ... 9.
const TSoilModelDescription *SoilModel(int code);
const TSoilFamilyDescription &SoilFamily(TSoilFamily family);
// The family of a code; null outside 1 ... 9.
const TSoilFamilyDescription *SoilFamilyOf(int code);

// Column of a property in the property table of a soil code; -1 when the
// model has no such property (a field of another model of its family
// included).
int PropertyColumn(int code, TSoilProperty property);

// The sand procedure of a value held in a layer's table: 1 ... 3, any other
// value taken as Ko.
constexpr int SandProcedure(int storedValue) {
  return storedValue >= smKo && storedValue <= smChenKulhawy ? storedValue : smKo;
}

}  // namespace pylar
