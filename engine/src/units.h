#pragma once
// The engine's number type, constants and unit conversion factors.
// The engine computes in single precision and in English working units
// (ft, lb/ft^2, lb/ft^3, tons of 2000 lb); SI input is converted on reading and
// results are converted back for SI reports.

namespace pylar::engine {

using Real = float;

inline constexpr Real kPi = 3.14159265F;
inline constexpr Real kAtmosphere = 2116.8F;         // pa, lb/ft^2
inline constexpr Real kWaterUnitWeight = 62.4F;      // lb/ft^3
inline constexpr Real kPsfPerPsi = 144.0F;           // lb/ft^2 per lb/in^2
inline constexpr Real kPoundsPerTon = 2000.0F;

// SI input -> English working units.
inline constexpr Real kFeetPerMetre = 3.2808F;
inline constexpr Real kPsfPerKPa = 20.885F;          // lb/ft^2 per kN/m^2
inline constexpr Real kPcfPerKNm3 = 6.3659F;         // lb/ft^3 per kN/m^3
inline constexpr Real kTonsPerKN = 0.1124F;
inline constexpr Real kInchesPerMetre = kFeetPerMetre * 12.0F;  // 39.3696: slumps, settlements
inline constexpr Real kPsiPerKPa = kPsfPerKPa / kPsfPerPsi;     // moduli: 20.885/144 = 0.145035
// English results -> SI report.
inline constexpr Real kMetresPerFoot = 0.3048F;

}  // namespace pylar::engine
