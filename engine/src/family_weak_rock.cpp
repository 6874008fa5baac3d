// Weak rock, cohesive intermediate geomaterial (code 6): side and base of the
// slice by the FHWA procedure for sockets in cohesive IGM (O'Neill et al.
// 1996, igm_resistance), the socket's load-settlement by the same procedure
// (rock_socket.cpp).
#include <algorithm>
#include <cmath>
#include <string>

#include "report.h"
#include "soil_family.h"
#include "soil_models.h"

namespace pylar::engine {
namespace {

class WeakRockFamily final : public SoilBehaviour {
 public:
  void complete(LayerCompletion& l) const override {
    if (validInterfaceCondition(l.layer)) return;
    const std::string text = "     " + std::string(kWeakRockConditionWarning);
    l.messages.report.push_back(text);
    l.messages.notes.push_back(text);
    l.warn(kWeakRockConditionWarning);
  }

  Real side(const SliceContext& s, SliceResistance& r) const override {
    const WeakRockSlice w = weakRockSlice(s.input, s.index, s.depth, s.tipDepth, s.rock);
    r.socketCheck = w.check;
    r.coefficient = 1;
    r.strengthTerm = w.side * s.upliftFactor(false);
    r.socketDiameter = weakRockPointAt(s.input, s.index, s.depth).socketDiameter;
    r.hasBase = true;
    r.base = w.base;
    return r.strengthTerm / kPoundsPerTon;
  }

  void writeEnd(LayerReport& e) const override {
    const LayerEnd& v = e.v;
    const bool si = e.u.si;
    e.value("DIAMETER OF SOCKET, " + e.lengthWord(), e.u.length(v.socketDiameter));
    e.value(std::string("SLUMP OF CONCRETE, ") + (si ? "M" : "IN"), si ? v.slump / kInchesPerMetre : v.slump);
    e.value("ANGLE OF INTERFACE FRICTION, DEG.", v.interfaceFrictionAngle);
    e.value("UNIAXIAL COMPRESSION STRENGTH OF ROCK," + e.stressWord(), e.u.stress(v.rockStrength));
    e.value("ELASTIC MODULUS FOR THE INTACT ROCK, " + e.modulusWord() + ".", e.u.modulus(v.rockModulus));
    e.value("ROCK QUALITY DESIGNATION (RQD) %", v.rqd);
    e.depthLine();
  }

  // The socket starts at the rock top of the weak-rock procedure.
  Real socketTop(const ProjectInput& project, std::size_t) const override {
    return std::max(rockTop(project), Real(0));
  }

  void socketInput(RockSocketInput& in, const ProjectInput& project, std::size_t tipLayer) const override {
    const Real pierLength = in.pierLength;
    in.weakRock = weakRockPointAt(project, tipLayer, pierLength);
    in.socketDiameter = in.weakRock.socketDiameter;
    // Mean intact modulus of the weak-rock slices of the socket (1 ft
    // slices, each taken at its bottom depth).
    Real sum = 0;
    int count = 0;
    const int first = static_cast<int>(std::floor(in.socketTop)) + 1;
    for (int z = first; z <= static_cast<int>(std::ceil(pierLength)); ++z) {
      const Real depth = std::min(static_cast<Real>(z), pierLength);
      std::size_t i = 0;
      while (i + 1 < project.layers.size() && project.layers[i].bottom < depth) ++i;
      if (soilModel(project.layers[i].code).behaviour != this) continue;
      sum += weakRockPointAt(project, i, depth).intactModulus;
      ++count;
    }
    in.meanIntactModulus = count > 0 ? sum / static_cast<Real>(count) : in.weakRock.intactModulus;
  }

  RockSocketResult socketRelationship(const RockSocketInput& in) const override {
    return weakRockRelationship(in);
  }
};

}  // namespace

const SoilBehaviour& weakRockBehaviour() {
  static const WeakRockFamily weak;
  return weak;
}

}  // namespace pylar::engine
