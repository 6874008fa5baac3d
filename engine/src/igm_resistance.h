#pragma once
// Side and base resistance of intermediate geomaterials: weak rock (FHWA
// procedure for cohesive intermediate geomaterials, O'Neill et al. 1996) and
// decomposed rock/gravel (FHWA procedure for cohesionless intermediate
// geomaterials). Working units: ft, lb/ft^2, tons; moduli enter in tons/ft^2
// (lb/in^2 x 144/2000), as the socket equations expect.

#include <cstddef>
#include <optional>
#include <vector>

#include "messages.h"
#include "project_input.h"
#include "units.h"

namespace pylar::engine {

class EffectiveStressTable;  // soil_resistance.h

// Result of a base procedure.
struct BaseResistance {
  Real load = 0;  // tons
  Real unit = 0;  // tons/ft^2, before the large-base and shallow-tip factors
  Real area = 0;  // ft^2, the base area used
  // The rule already averaged the ground below the tip (the 2018 rules): the
  // capacity analysis takes the value as it is instead of the weighted mean
  // of the bases below.
  bool atTip = false;
  // 2018 sand base: a soil layer within two base diameters below the tip
  // that gives no blow count, left out of the mean N60 (the first such).
  std::optional<std::size_t> layerWithoutBlowCount;
};

inline constexpr Real kTan30 = 0.57735187F;
inline constexpr Real kMaxFluidConcreteDepth = 40.0F;    // ft
inline constexpr Real kMinSocketDiameter = 1.64F;        // ft (0.5 m)

// The running mean of the intact modulus over the weak-rock slices of one
// pier, from its top down: the weak-rock procedure takes the rock mass of a
// slice from the mean of the slices down to it.
struct WeakRockRunState {
  Real intactModulusSum = 0;  // tons/ft^2
  int intactModulusCount = 0;

  void resetForPier();             // before each pier
  Real meanIntactModulus() const;  // tons/ft^2, 0 when nothing was added
};

// Weak-rock values at one depth.
struct WeakRockPoint {
  Real qu = 0;                 // lb/ft^2
  Real slump = 0;              // in
  Real interfaceFriction = 0;  // degrees
  Real intactModulus = 0;      // tons/ft^2
  Real rqd = 0;                // %
  Real socketDiameter = 0;     // ft, already > 0 (see weakRockPointAt)
  int condition = 1;           // 1 rough closed, 2 smooth closed, 3 rough open, 4 smooth open
  bool rough() const { return condition == 1 || condition == 3; }
  bool openJoints() const { return condition == 3 || condition == 4; }
};

// Every quantity of the socket procedure for one embedment and one movement.
struct WeakRockTerms {
  Real fluidPressureFactor = 0;  // M
  Real normalStress = 0;         // sigma_n, lb/ft^2
  Real alpha = 0;
  Real modulusRatio = 0;         // Em/Ei
  Real jointFactor = 0;          // phi_j
  Real maxSide = 0;              // fa, lb/ft^2 (jointing included)
  Real rockMassModulus = 0;      // Em, tons/ft^2
  Real n = 0;
  Real lambda = 0;               // sqrt(embedment/Ds)
  Real gamma = 0;                // Gamma
  Real omega = 0;                // Omega
  bool modulusValid = false;     // Ec and Em both positive
  Real theta = 0;                // Theta
  Real mobilisedSide = 0;        // lb/ft^2 at the movement
  Real unitBase = 0;             // qb, lb/ft^2 at the movement
};

// The interface condition of a weak-rock layer (bottom value, else top);
// an index outside 1..4 reads as 4 (smooth, open joints), the most cautious.
int interfaceCondition(const Layer& layer);
bool validInterfaceCondition(const Layer& layer);

// Weak-rock values of layer i at a depth, interpolated between its top and
// bottom; a socket diameter below 0.001 ft becomes the minimum pier diameter.
WeakRockPoint weakRockPointAt(const ProjectInput& input, std::size_t i, Real depth);

// The socket quantities with the mean intact modulus meanEi and the concrete
// modulus ec (tons/ft^2), the depth of fluid concrete zc (ft), the embedment
// (ft; the slice embedment or the socket length) and the movement (ft).
WeakRockTerms weakRockTerms(const WeakRockPoint& p, Real meanEi, Real ec, Real zc,
                            Real embedment, Real movement);

// Depth of the rock top: the top of the first rock layer (codes 4, 6, 7); -1
// when the profile has none.
Real rockTop(const ProjectInput& input);

// What the socket checks of a weak-rock slice look at. They are made for
// the tip the pier stops at, which is known only after the walk; these values
// of the slice do not depend on it.
struct SocketCheck {
  Real socketDiameter = 0;  // Ds, ft
  Real rockTop = -1;        // dr, ft; below 0 when the profile has no rock
  Real embedment = 0;       // e, ft
  bool modulusKnown = false;  // a rock-mass modulus Em above 0
  Real modulusRatio = 0;      // Ec/Em
};

enum class SocketCheckKind { Length, Modulus, Diameter };
struct SocketWarning {
  SocketCheckKind kind;
  Lines block;  // the warning block, as the run notes and the rock-message file print it
  std::string text;  // what the block asks for, in one line
};

// The checks that fail for a slice of a pier whose tip is at tipDepth:
// socket length or embedment against the diameter (2 < L/D, e/D <= 20),
// Ec/Em within 10 to 500, and the socket diameter at least 1.64 ft.
std::vector<SocketWarning> socketWarnings(const SocketCheck& check, Real tipDepth);

struct WeakRockSlice {
  WeakRockTerms terms;
  Real socketLength = 0;  // Ls, ft
  Real embedment = 0;     // e, ft
  Real side = 0;          // X, lb/ft^2: mobilised (rough) or fa (smooth)
  BaseResistance base;    // of a tip at this slice
  SocketCheck check;
};

// One weak-rock slice of layer i at depth for a pier whose tip is at
// tipDepth: adds the intact modulus to the running mean, computes X, the
// base and what the socket checks need.
WeakRockSlice weakRockSlice(const ProjectInput& input, std::size_t i, Real depth, Real tipDepth,
                            WeakRockRunState& state);

// Effective vertical stress at the middle of layer i from the layers' unit
// weights (lb/ft^2, not below 0).
Real midLayerStress(const ProjectInput& input, std::size_t i);

struct DecomposedRockSlice {
  Real effectiveStress = 0;  // lb/ft^2
  Real frictionAngle = 0;    // degrees
  Real ocr = 0;
  Real side = 0;             // X, lb/ft^2
  BaseResistance base;
};

// Values of the cohesionless procedure for N and sigma_v' (lb/ft^2) and a
// socket diameter (ft).
DecomposedRockSlice decomposedRockValues(Real blowCount, Real effectiveStress, Real socketDiameter);

// One decomposed-rock slice of layer i at depth, for a pier whose tip is at
// tipDepth; stress is the run's stress table (used at the tip when the
// profile ends less than two socket diameters below it). `scourStress` (2018
// set) is taken off the stress: the soil removed by scour.
DecomposedRockSlice decomposedRockSlice(const ProjectInput& input, const EffectiveStressTable& stress,
                                        std::size_t i, Real depth, Real tipDepth, Real scourStress = 0);

}  // namespace pylar::engine
