#pragma once
// Physical ranges of the inputs of a project: the one table that the
// engine's reading of a project file and the desktop program's check before
// a run both use (plain C++, header only, no Qt).
//
// A value outside its hard range cannot describe a pier or a soil (a negative
// strength, a factor of safety below one, a resistance factor above one): the
// engine refuses the run (status 10, "INPUT ERROR, record, name: value IS OUT
// OF RANGE (...)") and the desktop program does not start it. A value inside
// the hard range but outside the usual one is possible but rare enough to be
// a slip of the keyboard: the run goes on and warns of it, like any warning
// of the report. Bounds are in the engine's English working units; the bounds
// are inclusive. Where a zero means "not given" (estimated, or no limit), a
// zero is never checked.
//
// docs/technical-manual.md lists this table (a test keeps the two the same).

#include <cstdint>
#include <span>
#include <string_view>

namespace pylar::inputs {

// The unit of a range, and how an SI value converts to it (the engine's
// factors, units.h; a test keeps them equal).
enum class RangeUnit { None, Length, Stress, UnitWeight, Modulus, Force, Inches, Degrees, Percent };

constexpr double siToEnglish(RangeUnit unit) {
  switch (unit) {
    case RangeUnit::Length: return 3.2808;             // m -> ft
    case RangeUnit::Stress: return 20.885;             // kN/m^2 -> lb/ft^2
    case RangeUnit::UnitWeight: return 6.3659;         // kN/m^3 -> lb/ft^3
    case RangeUnit::Modulus: return 20.885 / 144.0;    // kN/m^2 -> lb/in^2
    case RangeUnit::Force: return 0.1124;              // kN -> ton
    case RangeUnit::Inches: return 3.2808 * 12.0;      // m -> in (slump, settlement)
    default: return 1.0;
  }
}
constexpr std::string_view unitWord(RangeUnit unit, bool si) {
  switch (unit) {
    case RangeUnit::Length: return si ? "M" : "FT";
    case RangeUnit::Stress: return si ? "KN/SQ M" : "LB/SQ FT";
    case RangeUnit::UnitWeight: return si ? "KN/CU M" : "LB/CU FT";
    case RangeUnit::Modulus: return si ? "KN/SQ M" : "LB/SQ IN";
    case RangeUnit::Force: return si ? "KN" : "TONS";
    case RangeUnit::Inches: return si ? "M" : "IN";
    case RangeUnit::Degrees: return "DEG.";
    case RangeUnit::Percent: return "%";
    default: return "";
  }
}

// The inputs that have a range.
enum class Input : std::uint8_t {
  UpliftReduction,
  MinimumDiameter,
  MaximumDiameter,
  BellRatio,
  BellAngle,
  IgnoredTop,
  IgnoredBottom,
  ConcreteModulus,
  WaterTable,
  DesignLoad,
  ProposedDepth,
  SafetyFactorSide,
  SafetyFactorBase,
  Settlement,
  ScourDepth,  // the 2018 method set's scour (design_methods.h)
  // Layer values (each end of the layer, or the layer-wide values).
  UnitWeight,
  FrictionAngle,
  InterfaceAngle,
  Cohesion,
  BlowCount,
  Nc,
  Ko,
  SandBeta,
  StressExponent,
  Alpha,
  GravellySandBeta,
  GravelBeta,
  RockStrength,
  ConcreteStrength,
  DiscontinuitySpacing,
  DiscontinuityThickness,
  SocketDiameter,
  RockModulus,
  RQD,
  PoissonRatio,
  YoungModulus,
  Slump,
  InterfaceFrictionAngle,
  MaxSide,
  MaxBase,
  PhiSide,
  PhiBase,
};

// When a project input is checked.
enum class When : std::uint8_t {
  Always,
  Uplift,      // KCYCL = 2
  Asd,         // NLRFD = 2
  Lrfd,        // NLRFD = 1 (layer values: the layer's resistance factors)
  Belled,      // a bell: the integer part of RATIO is not 0 and RATIO > 1
  DesignLoad,  // METHOD = 1
  ProposedDepth,  // METHOD = 2
  Charts,      // IChart = 1
  Layer,       // a layer value, for the soil codes of `codes`
};

// Soil codes 1 to 9 as bits.
constexpr std::uint16_t codeBit(int code) { return static_cast<std::uint16_t>(1U << code); }
constexpr std::uint16_t kAllCodes = 0x3FE;
constexpr std::uint16_t kSoilCodes = codeBit(1) | codeBit(2) | codeBit(3) | codeBit(5) | codeBit(8) | codeBit(9);
constexpr std::uint16_t kRockCodes = codeBit(4) | codeBit(6) | codeBit(7);
constexpr std::uint16_t kStrongRockCodes = codeBit(4) | codeBit(7);

struct InputRange {
  Input input;
  When when;
  std::uint16_t codes;  // layer values: the codes whose layers hold it
  int sandMethod;       // sand's side parameter: 1 Ko, 2 beta, 3 m; 0 any
  std::string_view name;   // the engine's name of the value in its messages
  std::string_view label;  // the value in the words of the desktop's windows
  RangeUnit unit;
  bool zeroNotGiven;  // 0 means not given (estimated or no limit): not checked
  double hardMin, hardMax;
  double usualMin, usualMax;
  std::string_view source;  // why these bounds
};

inline constexpr double kNoLimit = 1.0e30;

inline constexpr InputRange kInputRanges[] = {
    {Input::UpliftReduction, When::Uplift, 0, 0, "RCYCL", "Reduction factor for uplift loading", RangeUnit::None,
     false, 0, 1, 0.5, 1,
     "a reduction: above 1 it would raise the side resistance; O'Neill and Reese (FHWA-IF-99-025) reduce uplift "
     "side resistance in sand to about 0.75 of compression"},
    {Input::MinimumDiameter, When::Always, 0, 0, "MINIMUM DIAMETER", "Minimum Pylar Diameter", RangeUnit::Length,
     false, 0, 100, 1, 15,
     "drilled piers are 1.5 to 12 ft across (FHWA GEC 10); 100 ft is wider than any pier, the engine's limit"},
    {Input::MaximumDiameter, When::Always, 0, 0, "MAXIMUM DIAMETER", "Maximum Pylar Diameter", RangeUnit::Length,
     true, 0, kNoLimit, 1, 15,
     "as the minimum diameter; the series ends at its limit of piers, and each diameter it runs is held to 100 ft"},
    {Input::BellRatio, When::Always, 0, 0, "RATIO BASE/DIAMETER", "Ratio of Base Diameter to Pylar Diameter",
     RangeUnit::None, false, 0, 10, 0, 3,
     "the window's own limit is 10; bells are at most about three stem diameters (FHWA GEC 10)"},
    {Input::BellAngle, When::Belled, 0, 0, "ANGLE OF BELL", "Angle of Bell with Respect to Vertical",
     RangeUnit::Degrees, false, 0, 90, 15, 45,
     "an angle to the vertical below 90 degrees; belling tools cut 30 to 45 degrees (FHWA GEC 10)"},
    {Input::IgnoredTop, When::Always, 0, 0, "IGNORED TOP PORTION", "Length of Upper Exclusion Zone",
     RangeUnit::Length, false, 0, 2000, 0, 30,
     "within the deepest profile the engine analyses; FHWA ignores the top 5 ft, seasonal zones reach 20 ft or so"},
    {Input::IgnoredBottom, When::Always, 0, 0, "IGNORED BOTTOM PORTION", "Length of Bottom Portion without Skin Friction",
     RangeUnit::Length, false, 0, 100, 0, 30,
     "the window's own limit is 100 ft; FHWA ignores one diameter above the base (or the bell)"},
    {Input::ConcreteModulus, When::Always, 0, 0, "ELASTIC MODULUS EC", "Modulus of Elasticity of Drilled Pylar",
     RangeUnit::Modulus, true, 0, 3.0e7, 1.5e6, 7.0e6,
     "concrete of 1000 to 15000 lb/in^2 has 1.8 to 7 million lb/in^2 (ACI 318: 57000 sqrt(f'c)); steel is 29 million"},
    {Input::WaterTable, When::Always, 0, 0, "WATER TABLE DEPTH", "Depth of water table", RangeUnit::Length, false,
     0, 1.0e6, 0, 1.0e6, "a depth below the pier top: not negative"},
    {Input::DesignLoad, When::DesignLoad, 0, 0, "DESIGN LOAD", "Design load", RangeUnit::Force, false, 0, 1.0e7, 0,
     1.0e5,
     "not negative; the largest drilled piers carry some ten thousand tons, ten million tons is no pier's load"},
    {Input::ProposedDepth, When::ProposedDepth, 0, 0, "PROPOSED DEPTH", "Proposed length", RangeUnit::Length,
     false, 0, 2000, 0, 500,
     "the engine analyses profiles to 2000 ft; drilled piers deeper than 500 ft are exceptional"},
    {Input::SafetyFactorSide, When::Asd, 0, 0, "FACTOR OF SAFETY, SIDE", "The F.S. applied to the ultimate side friction",
     RangeUnit::None, false, 1, 20, 2, 5,
     "below 1 the allowable load exceeds the ultimate; FHWA uses 2 (load-tested) to 3"},
    {Input::SafetyFactorBase, When::Asd, 0, 0, "FACTOR OF SAFETY, BASE", "The F.S. applied to the ultimate base capacity",
     RangeUnit::None, false, 1, 20, 2, 5, "as the factor of safety on side resistance"},
    {Input::Settlement, When::Charts, 0, 0, "SETTLEMENT VALUE", "Settlement value", RangeUnit::Inches, false, 0, 120,
     0.01, 6, "a settlement is a movement down; piers are designed for settlements of a fraction of an inch to a few inches"},
    {Input::ScourDepth, When::Always, 0, 0, "SCOUR DEPTH", "Depth of scour", RangeUnit::Length, true, 0, 2000, 0, 100,
     "a depth below the pier top within the deepest profile the engine analyses (0: no scour); design scour reaches "
     "some tens of feet (38 ft in the FHWA GEC-10 Appendix A example)"},

    {Input::UnitWeight, When::Layer, kSoilCodes, 0, "UNIT WEIGHT", "Total unit weight", RangeUnit::UnitWeight, true,
     0, 200, 80, 160,
     "soils weigh 90 to 140 lb/ft^3 (NAVFAC DM-7.01); 200 lb/ft^3 is above the heaviest rock"},
    {Input::FrictionAngle, When::Layer, codeBit(1), 0, "FRICTION ANGLE", "Friction angle", RangeUnit::Degrees, true,
     0, 60, 25, 45, "sands have 28 to 45 degrees (the SPT chart's range is 30 to 45)"},
    {Input::InterfaceAngle, When::Layer, codeBit(1), 0, "INTERFACE ANGLE", "Interface friction angle",
     RangeUnit::Degrees, true, 0, 60, 15, 45, "at most the friction angle of the sand"},
    {Input::Cohesion, When::Layer, codeBit(2) | codeBit(3), 0, "COHESION", "Undrained shear strength",
     RangeUnit::Stress, true, 0, 2.0e5, 0, 2.0e4,
     "clays have 250 to 8000 lb/ft^2, clay shales more; 200000 lb/ft^2 (9.6 MPa) is rock"},
    {Input::BlowCount, When::Layer, kSoilCodes, 0, "BLOW COUNT", "SPT blow count", RangeUnit::None, true, 0, 500, 0,
     100, "the SPT stops at 50 blows for 6 in, 100 per foot (ASTM D1586); higher counts are extrapolated"},
    {Input::Nc, When::Layer, codeBit(2) | codeBit(3), 0, "NC", "Bearing capacity factor Nc", RangeUnit::None, true, 0,
     20, 0, 9, "9 is the deep value of an undrained base (FHWA-IF-99-025)"},
    {Input::Ko, When::Layer, codeBit(1), 1, "KO", "Lateral earth pressure coefficient Ko", RangeUnit::None,
     false, 0, 10, 0.3, 3,
     "no lateral coefficient exceeds the passive one, tan^2(45 + phi/2) = 7.5 at 50 degrees; Ko of sands is 0.4 to 2"},
    {Input::SandBeta, When::Layer, codeBit(1), 2, "BETA", "Beta", RangeUnit::None, true, 0, 5, 0.25, 1.2,
     "the FHWA beta method bounds beta to 0.25 to 1.2 (O'Neill and Reese)"},
    {Input::StressExponent, When::Layer, codeBit(1), 3, "M", "Preconsolidation stress exponent m",
     RangeUnit::None, true, 0, 2, 0.5, 0.9,
     "Kulhawy and Chen give m = 0.6 for clean quartz sand and 0.8 for silty sand"},
    {Input::Alpha, When::Layer, codeBit(2) | codeBit(3), 0, "ALPHA", "Adhesion factor alpha", RangeUnit::None, true,
     0, 1, 0.3, 0.55, "the adhesion cannot exceed the strength; FHWA's alpha is 0.55 at most"},
    {Input::GravellySandBeta, When::Layer, codeBit(8), 0, "BETA", "Beta", RangeUnit::None, true, 0, 5, 0.25, 1.8,
     "Rollins et al. (2005) bound beta of gravelly sand to 0.25 to 1.8"},
    {Input::GravelBeta, When::Layer, codeBit(9), 0, "BETA", "Beta", RangeUnit::None, true, 0, 5, 0.25, 3.0,
     "Rollins et al. (2005) bound beta of gravel to 0.25 to 3.0"},
    {Input::RockStrength, When::Layer, kRockCodes, 0, "ROCK STRENGTH", "Uniaxial compressive strength of rock",
     RangeUnit::Stress, false, 0, 1.44e7, 0, 7.2e6,
     "not negative; the strongest rocks reach 50000 lb/in^2 (350 MPa); 100000 lb/in^2 is above any rock"},
    {Input::ConcreteStrength, When::Layer, kStrongRockCodes, 0, "CONCRETE STRENGTH",
     "Uniaxial compressive strength of concrete", RangeUnit::Stress, true, 0, 4.32e6, 3.6e5, 1.44e6,
     "pier concrete is 2500 to 10000 lb/in^2; 30000 lb/in^2 is above any concrete"},
    {Input::DiscontinuitySpacing, When::Layer, kStrongRockCodes, 0, "SPACING OF DISCONTINUITIES",
     "Spacing of discontinuities", RangeUnit::Length, true, 0, 1.0e4, 0, 1.0e4, "a length: not negative"},
    {Input::DiscontinuityThickness, When::Layer, kStrongRockCodes, 0, "THICKNESS OF DISCONTINUITIES",
     "Thickness of discontinuities", RangeUnit::Length, true, 0, 100, 0, 1,
     "joints are open a fraction of an inch to a few inches"},
    {Input::SocketDiameter, When::Layer, kRockCodes | codeBit(5), 0, "SOCKET DIAMETER", "Socket diameter",
     RangeUnit::Length, true, 0, 100, 1, 15, "as the pier diameter"},
    {Input::RockModulus, When::Layer, kRockCodes, 0, "ROCK MODULUS", "Elastic modulus of the rock", RangeUnit::Modulus,
     true, 0, 1.5e7, 0, 1.5e7, "not negative; the stiffest intact rocks have about 100 GPa (15 million lb/in^2)"},
    {Input::RQD, When::Layer, kRockCodes, 0, "RQD", "RQD", RangeUnit::Percent, true, 0, 100, 0, 100,
     "a percentage of the core"},
    {Input::PoissonRatio, When::Layer, codeBit(5), 0, "POISSON RATIO", "Poisson ratio", RangeUnit::None, true, 0,
     0.5, 0.2, 0.45, "0.5 is the bound of an isotropic material; soils and weathered rock have 0.2 to 0.45"},
    {Input::YoungModulus, When::Layer, codeBit(5), 0, "YOUNG MODULUS", "Young's modulus", RangeUnit::Modulus, true, 0,
     1.5e7, 0, 1.5e7, "not negative; as the rock modulus"},
    {Input::Slump, When::Layer, codeBit(6), 0, "SLUMP", "Slump of concrete", RangeUnit::Inches, true, 0, 12, 3, 10,
     "the slump cone is 12 in tall; drilled-pier concrete has 6 to 9 in"},
    {Input::InterfaceFrictionAngle, When::Layer, codeBit(6), 0, "INTERFACE FRICTION ANGLE",
     "Angle of interface friction", RangeUnit::Degrees, true, 0, 60, 20, 45, "as the friction angle of the rock joints"},
    {Input::MaxSide, When::Layer, kAllCodes, 0, "MAXIMUM SIDE RESISTANCE", "Maximum side resistance",
     RangeUnit::Stress, true, 0, kNoLimit, 0, kNoLimit, "a limit of a resistance: not negative (0: no limit)"},
    {Input::MaxBase, When::Layer, kAllCodes, 0, "MAXIMUM BASE RESISTANCE", "Maximum base resistance",
     RangeUnit::Stress, true, 0, kNoLimit, 0, kNoLimit, "a limit of a resistance: not negative (0: no limit)"},
    {Input::PhiSide, When::Lrfd, kAllCodes, 0, "SIDE RESISTANCE FACTOR", "LRFD resistance factor (side)",
     RangeUnit::None, false, 0, 1, 0.3, 0.8,
     "a resistance factor reduces a resistance: 0 to 1; AASHTO LRFD gives 0.40 to 0.70 for drilled piers"},
    {Input::PhiBase, When::Lrfd, kAllCodes, 0, "BASE RESISTANCE FACTOR", "LRFD resistance factor (base)",
     RangeUnit::None, false, 0, 1, 0.3, 0.8, "as the side resistance factor"},
};

inline constexpr const InputRange* findRange(Input input) {
  for (const InputRange& r : kInputRanges)
    if (r.input == input) return &r;
  return nullptr;
}

// Where a value lies: inside its usual range, outside it (a warning), or
// outside the hard range (an error).
enum class RangeCheck { Usual, Unusual, Impossible };

// A bound holds a value that lies on it within single precision and the
// unit conversions (0.55 read as a float is a little above 0.55).
constexpr double boundTolerance(double bound) { return 1.0e-5 * (bound < 0 ? -bound : bound > 1 ? bound : 1.0); }
constexpr bool within(double value, double low, double high) {
  return value >= low - boundTolerance(low) && value <= high + boundTolerance(high);
}

inline constexpr RangeCheck checkValue(const InputRange& r, double englishValue) {
  if (r.zeroNotGiven && englishValue == 0) return RangeCheck::Usual;
  if (!within(englishValue, r.hardMin, r.hardMax)) return RangeCheck::Impossible;
  if (!within(englishValue, r.usualMin, r.usualMax)) return RangeCheck::Unusual;
  return RangeCheck::Usual;
}

}  // namespace pylar::inputs
