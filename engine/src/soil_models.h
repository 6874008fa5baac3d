#pragma once
// One description per soil and rock model code: which family it belongs to,
// how its property lines are laid out in the project file, how the report
// heads its layer, which base procedure and load-transfer tables it uses and
// whether a pier tip in it is a rock socket. The reader, the resistance
// procedures, the report and the load-settlement analyses ask this table
// instead of testing codes themselves.

#include <span>
#include <string_view>

#include "project_input.h"
#include "units.h"

namespace pylar::engine {

// Models that share the layout of their property line form one family; each
// family has one side procedure, one parameter completion and one block of
// values in the report.
enum class SoilFamily { None, Sand, Clay, StrongRock, DecomposedRock, WeakRock, Gravel };

// The base procedure of a tip in the model. Weak and decomposed rock give
// their base together with the slice (it depends on the socket).
enum class BaseProcedure { None, Sand, Clay, StrongRock, WithSlice };

// The normalised load-transfer tables the model's curves are scaled from.
enum class CurveTable { Sand, Clay };

// The record that follows the two property lines of a layer.
enum class ExtraRecord { None, SandProcedure, Alpha };

// One value of a property line: a field of the layer end, or (wide >= 0) one
// of the four layer-wide values, which are taken from the bottom line.
struct PropertyField {
  std::string_view name;  // as an input error names it
  Real LayerEnd::*member = nullptr;
  int wide = -1;  // 0 max side, 1 max base, 2 phi side, 3 phi base
};

struct SoilModel {
  int code = 0;
  SoilFamily family = SoilFamily::None;
  std::string_view title;  // report heading "LAYER NO n----<title>"
  int numberWidth = 3;     // width of n in that heading
  std::span<const PropertyField> propertyLine;
  ExtraRecord extraRecord = ExtraRecord::None;
  BaseProcedure base = BaseProcedure::None;
  // A tip in the model takes a rock-socket load-settlement relationship, and
  // its slices carry side over the socket diameter when one is given.
  bool rockSocket = false;
  // Rock in the sense of the weak-rock procedure: its top is the rock top,
  // and a strong-rock socket runs up through it.
  bool rock = false;
  // The run notes ask for the total unit weight when it is below 50 lb/ft^3.
  bool needsUnitWeight = false;
  CurveTable sideCurves = CurveTable::Clay;
  CurveTable baseCurves = CurveTable::Sand;

  // A tip in the model is analysed by the soil load-transfer solver.
  bool soilTip() const { return family != SoilFamily::None && !rockSocket; }
};

namespace soil_model_detail {

inline constexpr PropertyField kMaxSide{"MAXIMUM SIDE RESISTANCE", nullptr, 0};
inline constexpr PropertyField kMaxBase{"MAXIMUM BASE RESISTANCE", nullptr, 1};
inline constexpr PropertyField kPhiSide{"SIDE RESISTANCE FACTOR", nullptr, 2};
inline constexpr PropertyField kPhiBase{"BASE RESISTANCE FACTOR", nullptr, 3};

inline constexpr PropertyField kSandLine[] = {
    {"NC", &LayerEnd::nc},
    {"UNIT WEIGHT", &LayerEnd::unitWeight},
    {"FRICTION ANGLE", &LayerEnd::frictionAngle},
    {"INTERFACE ANGLE", &LayerEnd::interfaceAngle},
    {"BLOW COUNT", &LayerEnd::blowCount},
    kMaxSide, kMaxBase, kPhiSide, kPhiBase};
inline constexpr PropertyField kClayLine[] = {
    {"NC", &LayerEnd::nc},
    {"UNIT WEIGHT", &LayerEnd::unitWeight},
    {"FRICTION ANGLE", &LayerEnd::frictionAngle},
    {"COHESION", &LayerEnd::cohesion},
    {"BLOW COUNT", &LayerEnd::blowCount},
    kMaxSide, kMaxBase, kPhiSide, kPhiBase};
inline constexpr PropertyField kStrongRockLine[] = {
    {"ROCK STRENGTH", &LayerEnd::rockStrength},
    {"CONCRETE STRENGTH", &LayerEnd::concreteStrength},
    {"SPACING OF DISCONTINUITIES", &LayerEnd::jointSpacing},
    {"THICKNESS OF DISCONTINUITIES", &LayerEnd::jointThickness},
    {"SOCKET DIAMETER", &LayerEnd::socketDiameter},
    kMaxSide,
    {"ROCK MODULUS", &LayerEnd::rockModulus},
    {"RQD", &LayerEnd::rqd},
    kMaxBase, kPhiSide, kPhiBase};
inline constexpr PropertyField kDecomposedRockLine[] = {
    {"UNIT WEIGHT", &LayerEnd::unitWeight},
    {"BLOW COUNT", &LayerEnd::blowCount},
    {"POISSON RATIO", &LayerEnd::poissonRatio},
    {"YOUNG MODULUS", &LayerEnd::youngModulus},
    {"SOCKET DIAMETER", &LayerEnd::socketDiameter},
    kMaxSide, kMaxBase, kPhiSide, kPhiBase};
inline constexpr PropertyField kWeakRockLine[] = {
    {"ROCK STRENGTH", &LayerEnd::rockStrength},
    {"INTERFACE CONDITION", &LayerEnd::interfaceCondition},
    {"SLUMP", &LayerEnd::slump},
    {"INTERFACE FRICTION ANGLE", &LayerEnd::interfaceFrictionAngle},
    {"SOCKET DIAMETER", &LayerEnd::socketDiameter},
    kMaxSide,
    {"ROCK MODULUS", &LayerEnd::rockModulus},
    {"RQD", &LayerEnd::rqd},
    kMaxBase, kPhiSide, kPhiBase};
inline constexpr PropertyField kGravelLine[] = {
    {"UNIT WEIGHT", &LayerEnd::unitWeight},
    {"BLOW COUNT", &LayerEnd::blowCount},
    {"BETA", &LayerEnd::sideParameter},
    kMaxSide, kMaxBase, kPhiSide, kPhiBase};

using F = SoilFamily;
using B = BaseProcedure;
using C = CurveTable;
using X = ExtraRecord;

// Indexed by code; entry 0 answers for a code outside 1..9, which the reader
// refuses (it keeps the heading and layout of the last entry, as before).
inline constexpr SoilModel kModels[] = {
    {0, F::None, "GRAVEL", 3, kGravelLine, X::None, B::None, false, false, false, C::Clay, C::Sand},
    {kSand, F::Sand, "SAND", 2, kSandLine, X::SandProcedure, B::Sand, false, false, true, C::Sand, C::Sand},
    {kClay, F::Clay, "CLAY", 2, kClayLine, X::Alpha, B::Clay, false, false, true, C::Clay, C::Clay},
    {kShale, F::Clay, "CLAY SHALE", 2, kClayLine, X::Alpha, B::Clay, false, false, true, C::Clay, C::Clay},
    {kStrongRockSideOrBase, F::StrongRock, "STRONG ROCK", 3, kStrongRockLine, X::None, B::StrongRock, true, true,
     false, C::Clay, C::Clay},
    {kDecomposedRock, F::DecomposedRock, "DECOMPOSED ROCK", 3, kDecomposedRockLine, X::None, B::WithSlice, true,
     false, true, C::Clay, C::Clay},
    {kWeakRock, F::WeakRock, "WEAK ROCK", 3, kWeakRockLine, X::None, B::WithSlice, true, true, false, C::Clay,
     C::Clay},
    {kStrongRock, F::StrongRock, "STRONG ROCK", 3, kStrongRockLine, X::None, B::StrongRock, true, true, false,
     C::Clay, C::Clay},
    {kGravellySand, F::Gravel, "GRAVELLEY SAND", 3, kGravelLine, X::None, B::Sand, false, false, false, C::Clay,
     C::Sand},
    {kGravel, F::Gravel, "GRAVEL", 3, kGravelLine, X::None, B::Sand, false, false, false, C::Clay, C::Sand},
};

}  // namespace soil_model_detail

// The description of a model code.
inline const SoilModel& soilModel(int code) {
  using soil_model_detail::kModels;
  return code >= kSand && code <= kGravel ? kModels[code] : kModels[0];
}

}  // namespace pylar::engine
