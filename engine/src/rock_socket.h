#pragma once
// Load-settlement of a pier whose tip lies in rock or an intermediate
// geomaterial: 15 points of top load against top movement (and, where the
// relationship has them, tip load and tip movement) from a closed-form
// relationship for the model of the tip layer, instead of the soil
// load-transfer solver.
//
// - weak rock (code 6): FHWA procedure for sockets in cohesive intermediate
//   geomaterials (O'Neill et al. 1996), with the quantities of igm_resistance;
// - decomposed rock/gravel (code 5): elastic pile solution of Randolph and
//   Wroth (1978) up to the side capacity, then a plastic branch to the
//   ultimate base of the cohesionless-IGM procedure;
// - strong rock (codes 4 and 7): Randolph and Wroth's closed-form pile-head
//   stiffness as applied to rock sockets by Kulhawy and Carter (1992), with a
//   full-slip side and a base limited by the capacities of the socket.
//
// The relationships are pure functions of RockSocketInput; the equations,
// units and choices are set out in docs/technical-manual.md. Computation runs
// in ft, lb/ft^2 and tons; results come out in report units (English: tons
// and in; SI: kN and m).

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "capacity.h"
#include "igm_resistance.h"
#include "messages.h"
#include "project_input.h"
#include "settlement_results.h"
#include "soil_models.h"
#include "units.h"

namespace pylar::engine {

inline constexpr std::size_t kRockSocketPoints = 15;
inline constexpr Real kRockPoisson = 0.25F;         // strong rock mass, side and base
inline constexpr Real kCodeFourSideLimit = 0.4F / kInchesPerFoot;  // ft: side only up to 0.4 in

struct RockSocketPoint {
  Real topLoad = 0;
  Real topMovement = 0;
  Real tipLoad = 0;
  Real tipMovement = 0;
};

struct RockSocketInput {
  int code = 0;               // model of the tip layer: 4..7
  bool si = false;            // report units
  // A pier pulled up: its base carries nothing, so the relationships leave
  // the base out (side only, with the base free).
  bool uplift = false;
  Real pierLength = 0;        // P, ft
  Real socketTop = 0;         // top of the rock (codes 4, 6, 7) or geomaterial (5), ft
  Real socketDiameter = 0;    // Ds, ft
  Real stemDiameter = 0;      // diameter of the pier above the socket, ft
  Real ec = 0;                // concrete modulus, lb/in^2
  // From the capacity analysis of the pier, tons.
  Real sideAbove = 0;         // side resistance above the socket top (Qsa)
  Real sideSocket = 0;        // side resistance within the socket (Qsu)
  Real sideTotal = 0;         // ultimate side resistance of the pier (Qsmax)
  Real base = 0;              // ultimate base resistance at the tip
  // Weak rock: the values at the tip and the mean intact modulus of the
  // socket (tons/ft^2).
  WeakRockPoint weakRock;
  Real meanIntactModulus = 0;
  // Decomposed rock/gravel: blow counts at the tip and at the layer's top and
  // bottom, Young's modulus at the layer's top and bottom (lb/in^2, 0 = not
  // given) and the effective vertical stress at the middle of the layer
  // (lb/ft^2).
  Real blowCount = 0;
  Real blowCountTop = 0;
  Real blowCountBottom = 0;
  Real modulusTop = 0;
  Real modulusBottom = 0;
  Real effectiveStress = 0;
  // Strong rock: intact modulus (lb/in^2) and RQD (%) at the tip.
  Real intactModulus = 0;
  Real rqd = 0;
};

struct RockSocketResult {
  std::array<RockSocketPoint, kRockSocketPoints> points{};  // report units
  bool computed = false;      // false: the points are zero and `notes` says why
  // Quantities of the relationship, English working units.
  Real socketLength = 0;      // Ls or Lg, ft
  Real lengthAbove = 0;       // Pa, ft
  Real rockMassModulus = 0;   // Em, lb/ft^2
  Real elasticLimitLoad = 0;  // decomposed rock: Qel, tons
  Real elasticLimitMovement = 0;  // decomposed rock: wel, ft
  Real baseResistance = 0;    // decomposed rock: ultimate base, tons
  Real headStiffness = 0;     // strong rock: elastic Pt/wt of the socket, tons/ft
  Real baseFraction = 0;      // strong rock: elastic Pb/Pt
  std::vector<std::string> notes;  // lines for the report and the run notes
};

// Reference movements of the weak-rock relationship, as fractions of the
// socket diameter: 0.00009 x 1.5^(i-1) for i = 1..12, then 0.0125, 0.025, 0.05.
std::array<Real, kRockSocketPoints> weakRockReferenceMovements();
// Reference movements of the strong-rock relationship: 0.00018 x 1.5^(i-1).
std::array<Real, kRockSocketPoints> strongRockReferenceMovements();

RockSocketResult weakRockRelationship(const RockSocketInput& in);
RockSocketResult decomposedRockRelationship(const RockSocketInput& in);
// Strong rock; `sideOrBase`: the rock carries side up to 0.4 in, then base
// alone (code 4).
RockSocketResult strongRockRelationship(const RockSocketInput& in, bool sideOrBase);
// The relationship of the model of in.code (its family: soil_family.h).
RockSocketResult rockSocketRelationship(const RockSocketInput& in);
// No relationship, and why: the lines of the notes.
RockSocketResult relationshipNotComputed(std::string why);

// Capacities of the chosen pier that the relationship needs, tons.
struct SocketCapacities {
  Real sideAbove = 0;
  Real sideSocket = 0;
  Real sideTotal = 0;
  Real base = 0;
};

// Depth of the socket top for a tip in layer `tipLayer`: the rock top of the
// weak-rock procedure for weak rock; the top of the unbroken run of strong or
// weak rock layers holding the tip for strong rock; the top of the unbroken
// run of decomposed-rock layers for decomposed rock.
Real socketTopFor(const ProjectInput& project, std::size_t tipLayer);

// Fills the input of the relationship from the project for a pier of length
// `pierLength` (ft) and stem `stem` (ft) whose tip lies in layer `tipLayer`.
RockSocketInput rockSocketInputFor(const ProjectInput& project, std::size_t tipLayer, Real pierLength, Real stem,
                                   const SocketCapacities& capacities);

// Capacities of the socket from the capacity walk of the chosen pier: the
// side of the slices above and below the socket top that carry side (the
// ignored portions excluded, as in the walk), the pier's total side and its
// base at the tip (none in uplift, where the capacity table holds the pier's
// weight in the base column).
SocketCapacities socketCapacities(const SliceProfile& profile, const PierResult& pier, Real socketTop,
                                  Real topIgnored, Real bottomIgnored, bool uplift = false);

// The relationship for the chosen pier of a run whose tip lies in rock: its
// notes (why it was not computed, or a choice it made) for the report and the
// run notes, and the 15 rows in report units.
struct RockSocketRun {
  RockSocketResult result;
  Lines notes;
  std::vector<LoadSettlementRow> rows;
};
RockSocketRun runRockSocketRelationship(const ProjectInput& project, const SliceProfile& profile,
                                        const PierResult& pier);

}  // namespace pylar::engine
