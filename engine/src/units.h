#pragma once
// The engine's number type and its one vocabulary of constants and unit
// conversion factors: every number with a unit or a physical meaning is named
// here once. The engine computes in single precision and in English working
// units (ft, lb/ft^2, lb/ft^3, tons of 2000 lb; the load-settlement solver in
// in, lb and lb/in^2); SI input is converted on reading and results are
// converted back for SI reports.
//
// Where two designed constants stand for one quantity with different values,
// both are named and the line says why: the printed results of the reports
// engineers have checked depend on each of them in the last digits.

#include <cmath>

namespace pylar::engine {

using Real = float;

// ---------------------------------------------------------------------------
// Circle constants.

// pi to single precision, for formulas that carry no rounded pi of their own
// (angles, the strong-rock socket solution).
inline constexpr Real kPi = 3.14159265F;
// pi and pi/4 rounded as the published procedures write them: perimeter
// 3.1416 D and area 0.7854 D^2 (FHWA-IF-99-025, the socket and load-transfer
// equations).
inline constexpr Real kPiFourDecimals = 3.1416F;
inline constexpr Real kQuarterPi = 0.7854F;
// pi of the bell frustum volume, rounded to three decimals in its formula.
inline constexpr Real kBellPi = 3.142F;

// ---------------------------------------------------------------------------
// English units.

inline constexpr Real kInchesPerFoot = 12.0F;
inline constexpr Real kSquareInchesPerSquareFoot = 144.0F;
inline constexpr Real kCuFtPerCuYd = 27.0F;
inline constexpr Real kPoundsPerTon = 2000.0F;
inline constexpr Real kPsfPerPsi = 144.0F;                          // lb/ft^2 per lb/in^2
inline constexpr Real kTsfPerPsi = kPsfPerPsi / kPoundsPerTon;       // 0.072: tons/ft^2 per lb/in^2
inline constexpr Real kPsiPerTsf = kPoundsPerTon / kPsfPerPsi;       // 13.888889

// ---------------------------------------------------------------------------
// Physical constants.

// Atmospheric pressure pa, lb/ft^2, twice: 14.7 lb/in^2 x 144 where a clay's
// strength is compared with it, and 101.3 kN/m^2 (the value the FHWA
// procedures for intermediate geomaterials are written with) in those
// procedures.
inline constexpr Real kAtmosphere = 2116.8F;
inline constexpr Real kIgmAtmosphere = 2115.7F;
inline constexpr Real kWaterUnitWeight = 62.4F;           // lb/ft^3
inline constexpr Real kConcreteUnitWeight = 150.0F;       // lb/ft^3, hardened and fresh
inline constexpr Real kConcreteLbPerCuYd = kConcreteUnitWeight * kCuFtPerCuYd;  // 4050

// ---------------------------------------------------------------------------
// SI input -> English working units (the project reader).

inline constexpr Real kFeetPerMetre = 3.2808F;
inline constexpr Real kPsfPerKPa = 20.885F;                          // lb/ft^2 per kN/m^2
inline constexpr Real kPcfPerKNm3 = 6.3659F;                         // lb/ft^3 per kN/m^3
inline constexpr Real kInchesPerMetre = kFeetPerMetre * kInchesPerFoot;  // 39.3696: slumps, settlements
inline constexpr Real kPsiPerKPa = kPsfPerKPa / kPsfPerPsi;          // moduli: 0.145035
// kN and tons, twice: the reader and the capacity report convert with 0.1124
// ton per kN (8.8968 kN per ton), the load-settlement records with 4.448 N per
// lb (8.896 kN per ton).
inline constexpr Real kTonsPerKN = 0.1124F;

// A length entered as a whole or half number of feet and saved in metres
// (10 ft = 3.048 m) reads back short: 3.2808 ft per metre is 1.22e-5 below
// the exact 1/0.3048 = 3.2808399, so 3.048 m reads as 9.99988 ft. The other
// errors on the way are far smaller: the project file holds 8 significant
// digits (5e-8 at most), and the value and its product are each rounded to
// single precision (6e-8 each). A converted length within 2e-5 of itself of a
// whole or half number of feet is therefore that number: at the deepest
// profile the engine analyses (2000 ft) the band is 0.04 ft, far below any
// length an engineer means to differ from a whole or half foot. The engine
// counts in whole feet (effective-stress steps, 1 ft slices, stopping depths,
// the water table against them) and in half feet (layer bottoms rounded to
// whole feet, slice middles against the ignored portions, int(2 Bb) base
// steps), so both grids are kept.
inline constexpr Real kMetricConversionPrecision = 2.0e-5F;  // relative

// `feet` as the whole or half number of feet it lies within the metric
// conversion's precision of; any other length unchanged.
inline Real wholeOrHalfFoot(Real feet) {
  const Real nearest = std::round(2 * feet) / 2;
  return std::fabs(feet - nearest) <= kMetricConversionPrecision * std::fabs(feet) ? nearest : feet;
}

// ---------------------------------------------------------------------------
// English results -> SI report.

inline constexpr Real kMetresPerFoot = 0.3048F;
inline constexpr Real kCuYdPerCuM = 1.3078F;
inline constexpr Real kTonsPerCuYdPerKNPerCuM = 0.08594586F;  // 0.1124/1.3078: QU per volume
// The load-settlement records (tables, curves, design charts): 4.448 N per
// lb, and metres from inches by 39.37 (the reader's 3.2808 ft per metre gives
// 39.3696; these records have always printed with 39.37).
inline constexpr Real kKNPerLb = 4.448F / 1000.0F;
inline constexpr Real kKNPerTon = 8.896F;
inline constexpr Real kInchesPerMetreOut = 39.37F;
inline constexpr Real kMetresPerInch = 0.0254F;
inline constexpr Real kKPaPerPsi = 6.895F;

}  // namespace pylar::engine
