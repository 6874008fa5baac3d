#pragma once
// The project input of one run (records 1 to 9 of the project file), held in
// the engine's English working units: lengths ft, stresses lb/ft^2, unit
// weights lb/ft^3, moduli lb/in^2, forces tons, slump in, angles degrees.
// SI input is converted by the reader; the unit flag is kept for printing.

#include <array>
#include <string>
#include <vector>

#include "pylar/design_methods.h"
#include "units.h"

namespace pylar::engine {

class ListReader;

// Counts the reader accepts; larger counts are reported as input errors.
inline constexpr int kMaxLayers = 40;       // the layer dialog's own limit
inline constexpr int kMaxSettlements = 10;  // defined settlements of the design charts
inline constexpr int kMaxTzDepths = 20;     // depths of additional t-z curves

// Soil and rock model codes, as written in the project file.
enum SoilCode : int {
  kSand = 1,
  kClay = 2,
  kShale = 3,
  kStrongRockSideOrBase = 4,
  kDecomposedRock = 5,
  kWeakRock = 6,
  kStrongRock = 7,
  kGravellySand = 8,
  kGravel = 9,
};

// Side resistance procedure of a sand layer (code 1).
enum SandMethod : int { kKoMethod = 1, kBetaMethod = 2, kChenKulhawyMethod = 3 };

// The values of one property line: a layer has one at its top and one at its
// bottom. Only the fields of the layer's model are filled; the others stay 0.
// A value of 0 means "not given".
struct LayerEnd {
  // Sand, clay, shale (codes 1-3); unit weight and N also codes 5, 8, 9.
  Real nc = 0;             // bearing capacity coefficient (clay, shale)
  Real unitWeight = 0;     // total unit weight, lb/ft^3
  Real frictionAngle = 0;  // sand, degrees
  Real interfaceAngle = 0; // sand (value 4 of a sand line), degrees
  Real cohesion = 0;       // clay, shale (value 4 of a clay line), lb/ft^2
  Real blowCount = 0;      // SPT N, blows per foot
  // Side procedure parameter: Ko, beta or m (sand, by method), alpha (clay,
  // shale), beta (gravelly sand, gravel).
  Real sideParameter = 0;

  // Rock (codes 4, 6, 7) and decomposed rock (code 5).
  Real rockStrength = 0;      // uniaxial compressive strength qu, lb/ft^2
  Real concreteStrength = 0;  // codes 4, 7: lb/ft^2
  Real jointSpacing = 0;      // codes 4, 7: ft
  Real jointThickness = 0;    // codes 4, 7: ft
  Real socketDiameter = 0;    // codes 4-7: ft
  Real rockModulus = 0;       // codes 4, 6, 7: intact rock / core modulus, lb/in^2
  Real rqd = 0;               // codes 4, 6, 7: percent
  Real poissonRatio = 0;      // code 5
  Real youngModulus = 0;      // code 5: lb/in^2 (0 = estimated)
  Real interfaceCondition = 0;// code 6: 1..4 (kept as read)
  Real slump = 0;             // code 6: in
  Real interfaceFrictionAngle = 0;  // code 6: degrees
};

struct Layer {
  int code = kSand;
  Real bottom = 0;  // depth of the layer bottom below the pier top, ft
  std::array<LayerEnd, 2> end{};  // [0] top of the layer, [1] bottom
  int sandMethod = kKoMethod;     // code 1 only
  // Layer-wide values, taken from the bottom property line.
  Real maxSide = 0;   // maximum unit side resistance, lb/ft^2 (0 = no limit)
  Real maxBase = 0;   // maximum unit base resistance, lb/ft^2 (0 = no limit)
  Real phiSide = 0;   // LRFD resistance factor, side
  Real phiBase = 0;   // LRFD resistance factor, base

  const LayerEnd& top() const { return end[0]; }
  const LayerEnd& bot() const { return end[1]; }
};

struct ProjectInput {
  std::string title;  // record 1, whole (the report prints its first 72 characters)
  int units = 1;      // record 2: 2 = SI, anything else English
  bool si() const { return units == 2; }

  // Record 3.
  int METHOD = 1;  // 1 = design load, 2 = proposed depth
  int KCYCL = 1;   // 1 = compression, 2 = uplift
  Real RCYCL = 1;
  Real printIncrement = 1;  // ft
  int IMOD = 1;
  int NLRFD = 2;   // 1 = LRFD, 2 = ASD
  int IPENT = 0;
  int IChart = 0;
  int UseElevation = 0;
  Real ValElevation = 0;
  int PrintTZCurves = 0;

  // Record 4 (ft, except BELANGL in degrees and Ec in lb/in^2).
  Real DSTART = 0;
  Real DIALIM = 0;
  Real RATIO = 0;
  Real BELANGL = 0;
  Real TOPLENG = 0;
  Real bottomLength = 0;
  Real Ec = 0;

  // Record 5.
  Real waterTable = 0;     // ft below the pier top
  Real designLoad = 0;     // METHOD 1: tons
  Real proposedDepth = 0;  // METHOD 2 (and the maximum length of the series): ft
  Real FST = 2.5F;
  Real FSB = 3.0F;

  // Records 6 and 7 (defaults applied by the reader).
  Real PDMIN = 0;
  Real PDINCR = 0;
  Real DIAMINCR = 0;
  int NPOINTPD = 0;
  std::vector<Real> PDSETT;  // settlement values, in (English working units)
  std::vector<Real> settlementsAsEntered;  // the same, in the project's units (in or m)

  // Record 8.
  std::vector<Layer> layers;

  // Record 9: depths of the additional t-z curves, ft.
  std::vector<Real> tzDepths;

  // The design method set and its values: the block of keyword lines after
  // the last record (pylar/design_methods.h), 1999 without one.
  methods::DesignMethods methods;
  Real scourDepth = 0;  // ft: methods.scourDepth in working units
  int recordLines = 0;  // lines of the file the records take; the block follows
  bool gec2018() const { return methods.gec2018(); }

  Real layerTop(std::size_t i) const { return i == 0 ? Real(0) : layers[i - 1].bottom; }
};

// Reads records 1 to 9 with the free-format rules, then the block of the
// design methods from the lines that follow, applies the defaults of records
// 6 and 7 and converts SI input to the working units. On failure returns
// false and sets `error` to one line naming the record (or the block's line)
// and the value.
bool readProjectInput(ListReader& in, ProjectInput& input, std::string& error);

// The defaults that follow records 6 and 7, in the project's own units.
void applyLengthSeriesDefaults(ProjectInput& input);  // record 6
void applyDesignChartDefaults(ProjectInput& input);   // record 7

// Converts every value read from an SI project (m, kN, kN/m^2, kN/m^3) to the
// working units; the unit flag stays SI for printing.
void convertToWorkingUnits(ProjectInput& input);

}  // namespace pylar::engine
