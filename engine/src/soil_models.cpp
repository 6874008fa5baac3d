// The table of soil and rock models: one row per code.
#include "soil_models.h"

#include "soil_family.h"

namespace pylar::engine {
namespace {


constexpr PropertyField kMaxSide{"MAXIMUM SIDE RESISTANCE", nullptr, 0};
constexpr PropertyField kMaxBase{"MAXIMUM BASE RESISTANCE", nullptr, 1};
constexpr PropertyField kPhiSide{"SIDE RESISTANCE FACTOR", nullptr, 2};
constexpr PropertyField kPhiBase{"BASE RESISTANCE FACTOR", nullptr, 3};

constexpr PropertyField kSandLine[] = {
    {"NC", &LayerEnd::nc},
    {"UNIT WEIGHT", &LayerEnd::unitWeight},
    {"FRICTION ANGLE", &LayerEnd::frictionAngle},
    {"INTERFACE ANGLE", &LayerEnd::interfaceAngle},
    {"BLOW COUNT", &LayerEnd::blowCount},
    kMaxSide, kMaxBase, kPhiSide, kPhiBase};
constexpr PropertyField kClayLine[] = {
    {"NC", &LayerEnd::nc},
    {"UNIT WEIGHT", &LayerEnd::unitWeight},
    {"FRICTION ANGLE", &LayerEnd::frictionAngle},
    {"COHESION", &LayerEnd::cohesion},
    {"BLOW COUNT", &LayerEnd::blowCount},
    kMaxSide, kMaxBase, kPhiSide, kPhiBase};
constexpr PropertyField kStrongRockLine[] = {
    {"ROCK STRENGTH", &LayerEnd::rockStrength},
    {"CONCRETE STRENGTH", &LayerEnd::concreteStrength},
    {"SPACING OF DISCONTINUITIES", &LayerEnd::jointSpacing},
    {"THICKNESS OF DISCONTINUITIES", &LayerEnd::jointThickness},
    {"SOCKET DIAMETER", &LayerEnd::socketDiameter},
    kMaxSide,
    {"ROCK MODULUS", &LayerEnd::rockModulus},
    {"RQD", &LayerEnd::rqd},
    kMaxBase, kPhiSide, kPhiBase};
constexpr PropertyField kDecomposedRockLine[] = {
    {"UNIT WEIGHT", &LayerEnd::unitWeight},
    {"BLOW COUNT", &LayerEnd::blowCount},
    {"POISSON RATIO", &LayerEnd::poissonRatio},
    {"YOUNG MODULUS", &LayerEnd::youngModulus},
    {"SOCKET DIAMETER", &LayerEnd::socketDiameter},
    kMaxSide, kMaxBase, kPhiSide, kPhiBase};
constexpr PropertyField kWeakRockLine[] = {
    {"ROCK STRENGTH", &LayerEnd::rockStrength},
    {"INTERFACE CONDITION", &LayerEnd::interfaceCondition},
    {"SLUMP", &LayerEnd::slump},
    {"INTERFACE FRICTION ANGLE", &LayerEnd::interfaceFrictionAngle},
    {"SOCKET DIAMETER", &LayerEnd::socketDiameter},
    kMaxSide,
    {"ROCK MODULUS", &LayerEnd::rockModulus},
    {"RQD", &LayerEnd::rqd},
    kMaxBase, kPhiSide, kPhiBase};
constexpr PropertyField kGravelLine[] = {
    {"UNIT WEIGHT", &LayerEnd::unitWeight},
    {"BLOW COUNT", &LayerEnd::blowCount},
    {"BETA", &LayerEnd::sideParameter},
    kMaxSide, kMaxBase, kPhiSide, kPhiBase};

using C = CurveTable;
using X = ExtraRecord;

}  // namespace

const SoilModel& soilModel(int code) {
  // Indexed by code; row 0 answers for a code outside 1..9, which the reader
  // refuses (it keeps the heading and layout of the last row, as before).
  static const SoilModel kModels[] = {
      {0, &noModelBehaviour(), "GRAVEL", 3, kGravelLine, X::None, false, false, false, C::Clay, C::Sand},
      {kSand, &sandBehaviour(), "SAND", 2, kSandLine, X::SandProcedure, false, false, true, C::Sand, C::Sand,
       &sand2018Behaviour()},
      {kClay, &clayBehaviour(), "CLAY", 2, kClayLine, X::Alpha, false, false, true, C::Clay, C::Clay,
       &clay2018Behaviour()},
      {kShale, &shaleBehaviour(), "CLAY SHALE", 2, kClayLine, X::Alpha, false, false, true, C::Clay, C::Clay},
      {kStrongRockSideOrBase, &strongRockSideOrBaseBehaviour(), "STRONG ROCK", 3, kStrongRockLine, X::None, true,
       true, false, C::Clay, C::Clay, &strongRockSideOrBase2018Behaviour()},
      {kDecomposedRock, &decomposedRockBehaviour(), "DECOMPOSED ROCK", 3, kDecomposedRockLine, X::None, true, false,
       true, C::Clay, C::Clay, &decomposedRock2018Behaviour()},
      {kWeakRock, &weakRockBehaviour(), "WEAK ROCK", 3, kWeakRockLine, X::None, true, true, false, C::Clay, C::Clay},
      {kStrongRock, &strongRockBehaviour(), "STRONG ROCK", 3, kStrongRockLine, X::None, true, true, false, C::Clay,
       C::Clay, &strongRock2018Behaviour()},
      {kGravellySand, &gravellySandBehaviour(), "GRAVELLEY SAND", 3, kGravelLine, X::None, false, false, false,
       C::Clay, C::Sand},
      {kGravel, &gravelBehaviour(), "GRAVEL", 3, kGravelLine, X::None, false, false, false, C::Clay, C::Sand},
  };
  return code >= kSand && code <= kGravel ? kModels[code] : kModels[0];
}

}  // namespace pylar::engine
