// Strong rock (code 7) and strong rock carrying side or base (code 4): side
// from the rock or concrete strength, base by the Canadian Foundation
// Engineering Manual; the socket's load-settlement by Randolph and Wroth's
// solution as applied by Kulhawy and Carter (rock_socket.cpp). Code 4 up to
// 1000 lb/in^2 carries side only, above it end bearing only.
#include <algorithm>
#include <cmath>

#include "report.h"
#include "soil_family.h"

namespace pylar::engine {
namespace {

using family::finiteOrZero;
using family::nonNegative;

class StrongRockFamily final : public SoilBehaviour {
 public:
  explicit StrongRockFamily(bool sideOrBase) : sideOrBase_(sideOrBase) {}

  Real side(const SliceContext& s, SliceResistance& r) const override {
    const Real qu = nonNegative(s.at(&LayerEnd::rockStrength));
    const Real fc = nonNegative(s.at(&LayerEnd::concreteStrength));
    const Real q = fc > 0 ? std::min(qu, fc) : qu;  // a concrete strength not given does not limit
    Real x = q <= 40320 ? 0.15F * q : kPsfPerPsi * 2.5F * std::sqrt(q / kPsfPerPsi);
    if (sideOrBase_ && !s.uplift && qu > kSideOrBaseRockLimit) x = 0;  // carried in end bearing
    r.coefficient = 1;
    r.strengthTerm = x * s.upliftFactor(false);
    const Real ds = s.at(&LayerEnd::socketDiameter);
    r.socketDiameter = ds >= 0.001F ? ds : Real(0);
    return r.strengthTerm / kPoundsPerTon;
  }

  BaseResistance base(BaseContext& tip) const override {
    const CompletedLayer& c = tip.completed;
    const Real t = tip.fraction();
    const LayerEnd& top = c.end[0];
    const LayerEnd& bot = c.end[1];
    const Real qu = nonNegative(interpolate(top.rockStrength, bot.rockStrength, t));
    const Real s = interpolate(top.jointSpacing, bot.jointSpacing, t);
    const Real aperture = nonNegative(interpolate(top.jointThickness, bot.jointThickness, t));
    Real ds = interpolate(top.socketDiameter, bot.socketDiameter, t);
    if (!(ds >= 0.001F)) ds = tip.diameter;  // socket diameter not given: the base diameter
    BaseResistance r;
    if (!(ds > 0)) return r;
    r.area = kQuarterPi * ds * ds;
    // Canadian Foundation Engineering Manual: Ksp = (3 + s/B)/(10 sqrt(1 + 300 d/s)).
    // Spacing not given: tight joints (d = 0) read as the closest spacing, 0.3;
    // open joints with no spacing carry no base.
    Real ksp = 0;
    if (s > 0) {
      ksp = (3 + s / ds) / (10 * std::sqrt(1 + 300 * aperture / s));
    } else if (!(aperture > 0)) {
      ksp = 0.3F;
    }
    Real q = 3 * (qu / kPoundsPerTon) * ksp;
    if (sideOrBase_ && qu <= kSideOrBaseRockLimit) q = 0;  // carried in side resistance
    r.unit = nonNegative(finiteOrZero(q));
    r.load = nonNegative(finiteOrZero(q * r.area));
    return r;
  }

  void writeEnd(LayerReport& e) const override {
    const LayerEnd& v = e.v;
    e.value("DIAMETER OF SOCKET, " + e.lengthWord(), e.u.length(v.socketDiameter));
    e.value("SPACING OF DISCONTINUITIES," + e.lengthWord(), e.u.length(v.jointSpacing));
    e.value("THICKNESS OF INDIVIDUAL DISCONTINUITIES," + e.lengthWord(), e.u.length(v.jointThickness));
    e.value("UNIAXIAL COMPRESSION STRENGTH OF ROCK," + e.stressWord(), e.u.stress(v.rockStrength));
    e.value("UNIAXIAL COMPRESSION STRENGTH OF CONCRETE," + e.stressWord(), e.u.stress(v.concreteStrength));
    e.value("ELASTIC MODULUS FOR THE INTACT ROCK, " + e.modulusWord() + ".", e.u.modulus(v.rockModulus));
    e.value("ROCK QUALITY DESIGNATION (RQD) %", v.rqd);
    e.depthLine();
  }

  bool carriesSideOnly(const Layer& l) const override {
    return sideOrBase_ &&
           (l.top().rockStrength <= kSideOrBaseRockLimit || l.bot().rockStrength <= kSideOrBaseRockLimit);
  }

  // The socket top: the rock run (SoilBehaviour's); its input: the
  // defaults of SoilBehaviour::socketInput.
  RockSocketResult socketRelationship(const RockSocketInput& in) const override {
    return strongRockRelationship(in, sideOrBase_);
  }

 private:
  bool sideOrBase_;
};

}  // namespace

const SoilBehaviour& strongRockSideOrBaseBehaviour() {
  static const StrongRockFamily sideOrBase{true};
  return sideOrBase;
}

const SoilBehaviour& strongRockBehaviour() {
  static const StrongRockFamily strong{false};
  return strong;
}

}  // namespace pylar::engine
