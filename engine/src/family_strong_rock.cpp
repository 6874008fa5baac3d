// Strong rock (code 7) and strong rock carrying side or base (code 4): side
// from the rock or concrete strength, base by the Canadian Foundation
// Engineering Manual; the socket's load-settlement by Randolph and Wroth's
// solution as applied by Kulhawy and Carter (rock_socket.cpp). Code 4 up to
// 1000 lb/in^2 carries side only, above it end bearing only. Under the 2018
// set: side by GEC-10 Eq. 10-21 (Kulhawy et al. 2005) or, in fractured rock,
// Eq. 10-22 with the mass factor of Table 10-3; base 2.5 qu where the joints
// are closed (AASHTO LRFD 10.8.3.5.4c).
#include <algorithm>
#include <cmath>

#include "report.h"
#include "soil_family.h"
#include "soil_models.h"

namespace pylar::engine {
namespace {

using family::finiteOrZero;
using family::nonNegative;

class StrongRockFamily : public SoilBehaviour {
 public:
  explicit StrongRockFamily(bool sideOrBase) : sideOrBase_(sideOrBase) {}

  Real side(const SliceContext& s, SliceResistance& r) const override {
    const Real qu = nonNegative(s.at(&LayerEnd::rockStrength));
    const Real fc = nonNegative(s.at(&LayerEnd::concreteStrength));
    const Real q = fc > 0 ? std::min(qu, fc) : qu;  // a concrete strength not given does not limit
    const Real x = q <= 40320 ? 0.15F * q : kPsfPerPsi * 2.5F * std::sqrt(q / kPsfPerPsi);
    return socketSide(s, r, qu, 1, x);
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

 protected:
  // The side of a slice of unit side x (lb/ft^2) with coefficient c, over the
  // socket diameter where one is given; none in a side-or-base layer whose
  // strength qu puts it in end bearing.
  Real socketSide(const SliceContext& s, SliceResistance& r, Real qu, Real c, Real x) const {
    if (sideOrBase_ && !s.uplift && qu > kSideOrBaseRockLimit) x = 0;  // carried in end bearing
    r.coefficient = c;
    r.strengthTerm = x * s.upliftFactor(false);
    const Real ds = s.at(&LayerEnd::socketDiameter);
    r.socketDiameter = ds >= 0.001F ? ds : Real(0);
    return r.strengthTerm / kPoundsPerTon;
  }

  bool sideOrBase_;
};

class StrongRock2018Family final : public StrongRockFamily {
 public:
  using StrongRockFamily::StrongRockFamily;

  // fs = C pa (q/pa)^0.5 with q = min(qu, f'c): C = 1.0 (GEC-10 Eq. 10-21,
  // Kulhawy et al. 2005) in intact rock; in fractured rock (RQD below 100,
  // or open joints) 0.65 alphaE (Eq. 10-22), alphaE by RQD and joints.
  Real side(const SliceContext& s, SliceResistance& r) const override {
    const Real t = layerFraction(s.input.layerTop(s.index), s.layer.bottom, s.middle());
    const LayerEnd& top = s.completed.end[0];
    const LayerEnd& bot = s.completed.end[1];
    const Real qu = nonNegative(interpolate(top.rockStrength, bot.rockStrength, t));
    const Real fc = nonNegative(interpolate(top.concreteStrength, bot.concreteStrength, t));
    const Real q = fc > 0 ? std::min(qu, fc) : qu;
    const Real rqd = nonNegative(interpolate(top.rqd, bot.rqd, t));
    const bool open = interpolate(top.jointThickness, bot.jointThickness, t) > 0;
    const bool fractured = open || (rqd > 0 && rqd < 100);
    const Real c = fractured ? 0.65F * rockMassFactor(rqd > 0 ? rqd : Real(100), open) : Real(1);
    return socketSide(s, r, qu, c, c * kAtmosphere * std::sqrt(q / kAtmosphere));
  }

  // q = 2.5 qu, qu the mean over two base diameters below the tip (of the
  // strong rock there), where the joints at the tip are closed; open joints
  // keep the 1999 rule, whose Ksp accounts for them.
  BaseResistance base(BaseContext& tip) const override {
    const CompletedLayer& c = tip.completed;
    const Real t = tip.fraction();
    const LayerEnd& top = c.end[0];
    const LayerEnd& bot = c.end[1];
    if (interpolate(top.jointThickness, bot.jointThickness, t) > 0) return StrongRockFamily::base(tip);
    const Real quTip = nonNegative(interpolate(top.rockStrength, bot.rockStrength, t));
    Real sum = 0;
    int count = 0;
    if (tip.soil) {
      for (const family::ZonePoint& p : family::zoneBelowTip(tip)) {
        const Layer& layer = tip.input.layers[p.layer];
        if (!dynamic_cast<const StrongRockFamily*>(&soilModel(layer.code).rules(tip.input))) continue;
        const Real tz = layerFraction(tip.input.layerTop(p.layer), layer.bottom, p.depth);
        sum += nonNegative(interpolate(layer.top().rockStrength, layer.bot().rockStrength, tz));
        ++count;
      }
    }
    const Real qu = count > 0 ? sum / static_cast<Real>(count) : quTip;
    Real ds = interpolate(top.socketDiameter, bot.socketDiameter, t);
    if (!(ds >= 0.001F)) ds = tip.diameter;
    BaseResistance r;
    if (!(ds > 0)) return r;
    r.area = kQuarterPi * ds * ds;
    Real q = 2.5F * qu / kPoundsPerTon;
    if (sideOrBase_ && quTip <= kSideOrBaseRockLimit) q = 0;  // carried in side resistance
    r.unit = nonNegative(finiteOrZero(q));
    r.load = nonNegative(finiteOrZero(q * r.area));
    r.atTip = true;
    return r;
  }

  void writeRules2018(Lines& out, const ProjectInput&, const Layer& layer, const CompletedLayer&) const override {
    out.push_back("       SIDE: FHWA GEC-10 (2018) EQ. 10-21, FS = PA (QU/PA)^0.5, QU AT MOST F'C;");
    out.push_back("       WHERE RQD IS BELOW 100 OR THE JOINTS ARE OPEN, EQ. 10-22,");
    out.push_back("       FS = 0.65 ALPHA-E PA (QU/PA)^0.5 WITH ALPHA-E BY RQD (TABLE 10-3)");
    out.push_back("       BASE: 2.5 QU, QU THE MEAN OVER TWO BASE DIAMETERS BELOW THE TIP");
    if (layer.top().jointThickness > 0 || layer.bot().jointThickness > 0)
      out.push_back("       WHERE THE JOINTS ARE OPEN: THE 1999 BASE (CANADIAN FOUNDATION ENGINEERING MANUAL)");
    out.emplace_back();
  }
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

const SoilBehaviour& strongRockSideOrBase2018Behaviour() {
  static const StrongRock2018Family sideOrBase{true};
  return sideOrBase;
}

const SoilBehaviour& strongRock2018Behaviour() {
  static const StrongRock2018Family strong{false};
  return strong;
}

}  // namespace pylar::engine
