#pragma once
// The behaviour of a family of soil and rock models behind one small
// interface: completing a layer (the parameters left to be estimated), the
// unit side resistance of a slice, the unit base resistance of a tip, the
// layer's block in the report, and for rock the socket's load-settlement
// relationship. Each family lives in its own file (family_*.cpp); the table of
// models (soil_models.cpp) picks the behaviour of a code, once, and everything
// else asks the model. Nothing here opens a file.
//
// Adding a model: a family file with its class and the function that returns
// its object (declared at the end of this header), and one row in the table
// of soil_models.cpp (its code, report title, property line and curve tables).

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "messages.h"
#include "project_input.h"
#include "real_math.h"
#include "rock_socket.h"
#include "soil_resistance.h"
#include "units.h"

namespace pylar::engine {

struct LayerReport;  // report.h

// A layer being completed: its input, the values being completed and the
// messages of the layer (report, run notes, warnings).
struct LayerCompletion {
  const ProjectInput& input;
  const EffectiveStressTable& stress;
  const Layer& layer;
  std::size_t index;
  std::array<Real, 2> depth;  // of the layer's top and bottom, ft
  CompletedLayer& completed;
  Messages& messages;

  // A warning of this layer, as the report's blocks word it.
  void warn(std::string_view text) const {
    messages.warnings.push_back({static_cast<int>(index + 1), std::string(text)});
  }
};

// One slice of a layer: its bottom depth, the tip of the pier below it, and
// the values every family reads there.
struct SliceContext {
  const ProjectInput& input;
  const EffectiveStressTable& stress;
  const Layer& layer;
  const CompletedLayer& completed;
  std::size_t index;
  Real depth;     // bottom of the slice, ft
  Real tipDepth;  // ft
  Real fraction;  // of the depth within the layer, 0 at its top, 1 at its bottom
  Real sigma;     // effective vertical stress at the depth, lb/ft^2 (under the 2018 set: after scour)
  bool uplift;
  WeakRockRunState& rock;
  // The part of the slice the side is asked for (ft): the whole slice, or
  // (2018 set) the part of it in this layer and below the scour.
  Real from = 0;
  Real to = 0;
  // 2018 set: the effective stress of the soil removed by scour (the stress
  // at the scour depth), lb/ft^2; 0 without scour.
  Real scourStress = 0;

  // The middle of the part asked for, and the effective stress there after
  // scour (the stress of the ground as it is, less scourStress).
  Real middle() const { return (from + to) / 2; }
  Real stressAfterScour(Real at) const;

  // A value of the completed layer interpolated at the slice's depth.
  Real at(Real LayerEnd::*field) const {
    return interpolate(completed.end[0].*field, completed.end[1].*field, fraction);
  }
  // Effective stress at the middle of the slice (the beta procedures).
  Real midSliceStress() const;
  // Uplift reduction of the strength term, with the bell factor for the
  // procedures that carry it; 1 in compression.
  Real upliftFactor(bool withBell) const;
};

// A tip of diameter `diameter` at `tipDepth` in a layer.
struct BaseContext {
  const ProjectInput& input;
  const Layer& layer;
  CompletedLayer& completed;
  Real top;  // of the layer, ft
  Real tipDepth;
  Real diameter;
  // The run's layers and stresses, for the rules that average over the soil
  // below the tip (2018 set).
  const SoilResistance* soil = nullptr;

  Real fraction() const { return layerFraction(top, layer.bottom, tipDepth); }
  // The tip's depth below the ground: below the scour depth under the 2018
  // set; not negative.
  Real embedment() const {
    const Real ground = input.gec2018() ? input.scourDepth : Real(0);
    return tipDepth > ground ? tipDepth - ground : Real(0);
  }
};

class SoilBehaviour {
 public:
  virtual ~SoilBehaviour() = default;

  // Estimates the parameters the layer leaves as zero and adds the layer's
  // messages. The completion every layer gets (input values, limits) is done.
  virtual void complete(LayerCompletion& layer) const;
  // The unit side resistance of the slice (tons/ft^2) before the layer's
  // maximum; fills the slice's coefficient, strength term and, for the rock
  // families, its socket diameter and the base of a tip there.
  virtual Real side(const SliceContext& slice, SliceResistance& out) const;
  // The base of a tip in the layer; none for the families whose base comes
  // with the slice. May update the layer's running values (the last Nc).
  virtual BaseResistance base(BaseContext& tip) const;
  // The report's values at one end of the layer.
  virtual void writeEnd(LayerReport& end) const;
  // Lines after both ends of the layer in the report.
  virtual void writeAfterEnds(Lines& out, const Layer& layer, const CompletedLayer& completed) const;
  // Under the 2018 set: the lines after the layer's values that say which
  // rules the layer takes. This default: the 1999 rules, for a model the
  // 2018 set has none for.
  virtual void writeRules2018(Lines& out, const ProjectInput& project, const Layer& layer,
                              const CompletedLayer& completed) const;
  // The layer carries side resistance only (strong rock weaker than the
  // side-or-base limit): the report closes with the note that says so.
  virtual bool carriesSideOnly(const Layer& layer) const;

  // Rock sockets (SoilModel::rockSocket): the top of the socket of a tip in
  // layer `tipLayer`, the input of the relationship that only the family
  // knows (socket diameter, moduli, strengths), and the relationship.
  virtual Real socketTop(const ProjectInput& project, std::size_t tipLayer) const;
  virtual void socketInput(RockSocketInput& in, const ProjectInput& project, std::size_t tipLayer) const;
  virtual RockSocketResult socketRelationship(const RockSocketInput& in) const;
};

// ---------------------------------------------------------------------------
// Pieces the families share.

namespace family {

inline Real finiteOrZero(Real v) { return std::isfinite(v) ? v : Real(0); }
inline Real nonNegative(Real v) { return v > 0 ? v : Real(0); }  // also maps NaN to 0

inline constexpr Real kDegToRad = kPi / 180.0F;
// tan and sin of an angle in degrees, the angle held within [0, 89] so that
// garbage input cannot produce an infinity.
inline Real tanDeg(Real deg) { return math::tan(std::clamp(finiteOrZero(deg), Real(0), Real(89)) * kDegToRad); }

// A framed block: a blank line, "*****KIND*****", the lines, a blank line.
void appendStarBlock(Lines& out, std::string_view kind, std::initializer_list<std::string_view> lines);

// Fills the side coefficient (beta) at each end that leaves it as zero from
// `estimate(depth, blowCount)`.
template <class Estimate>
void completeBeta(LayerCompletion& l, Estimate estimate) {
  CompletedLayer& c = l.completed;
  for (int e = 0; e < 2; ++e) {
    if (c.end[e].sideParameter > 0) continue;
    c.end[e].sideParameter = estimate(l.depth[e], c.end[e].blowCount);
    c.estimated[e].sideParameter = true;
  }
  c.sideParameterEstimated = c.estimated[0].sideParameter && c.estimated[1].sideParameter;
}

// The SPT base procedure of sand (also gravelly sand and gravel).
BaseResistance sandBase(const BaseContext& tip);

// The 2018 bases average the ground over two base diameters below the tip:
// the middles of equal steps of about a foot, each with the layer holding
// it; depths below the profile, and above the scour depth, are left out.
struct ZonePoint {
  std::size_t layer;
  Real depth;
};
std::vector<ZonePoint> zoneBelowTip(const BaseContext& tip);

// The run of layers above `tipLayer` that `sameRun` accepts, and the top of
// the first of them.
template <class SameRun>
Real topOfRun(const ProjectInput& project, std::size_t tipLayer, SameRun sameRun) {
  std::size_t i = tipLayer;
  while (i > 0 && sameRun(project.layers[i - 1].code)) --i;
  return project.layerTop(i);
}

// The value of a layer's input at a fraction of its thickness; 0 when not finite.
inline Real inputAt(const Layer& layer, Real LayerEnd::*field, Real fraction) {
  return finiteOrZero(interpolate(layer.top().*field, layer.bot().*field, fraction));
}

}  // namespace family

// ---------------------------------------------------------------------------
// The behaviour of each model, one family file each. soil_models.cpp puts
// them in the rows of its table.

const SoilBehaviour& noModelBehaviour();          // a code outside the table: none
const SoilBehaviour& sandBehaviour();             // family_sand.cpp
const SoilBehaviour& clayBehaviour();             // family_clay.cpp
const SoilBehaviour& shaleBehaviour();            // family_clay.cpp
const SoilBehaviour& strongRockSideOrBaseBehaviour();  // family_strong_rock.cpp
const SoilBehaviour& strongRockBehaviour();       // family_strong_rock.cpp
const SoilBehaviour& decomposedRockBehaviour();   // family_decomposed_rock.cpp
const SoilBehaviour& weakRockBehaviour();         // family_weak_rock.cpp
const SoilBehaviour& gravellySandBehaviour();     // family_gravel.cpp
const SoilBehaviour& gravelBehaviour();           // family_gravel.cpp

// Under the 2018 method set (SoilModel::behaviour2018).
const SoilBehaviour& sand2018Behaviour();              // family_sand.cpp
const SoilBehaviour& clay2018Behaviour();              // family_clay.cpp
const SoilBehaviour& strongRockSideOrBase2018Behaviour();  // family_strong_rock.cpp
const SoilBehaviour& strongRock2018Behaviour();        // family_strong_rock.cpp
// The 1999 rule with the stress of the ground after scour.
const SoilBehaviour& decomposedRock2018Behaviour();    // family_decomposed_rock.cpp

}  // namespace pylar::engine
