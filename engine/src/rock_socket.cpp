// Load-settlement relationships of rock and intermediate-geomaterial sockets.
//
// Sources (equations and choices in docs/technical-manual.md):
// - O'Neill, Townsend, Hassan, Buller and Chan (1996), FHWA-RD-95-172, and
//   O'Neill and Reese (1999), FHWA-IF-99-025, ch. 11: cohesive IGM sockets.
// - Randolph and Wroth (1978), "Analysis of deformation of vertically loaded
//   piles", J. Geotech. Eng. Div. ASCE 104(GT12): closed-form pile head
//   stiffness and load shared by the base.
// - Kulhawy and Carter (1992), "Settlement and load transfer analysis of rock
//   socketed drilled shafts", and Carter and Kulhawy (1988), EPRI EL-5918: the
//   same solution for rock sockets and the full-slip side that follows it.
#include "rock_socket.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "igm_charts.h"
#include "real_math.h"
#include "soil_family.h"
#include "soil_models.h"
#include "soil_resistance.h"

namespace pylar::engine {

namespace {

// Base term 4/((1 - nu) xi) of the decomposed-rock elastic solution.
constexpr Real kDecomposedBaseTerm = 4.0F / (0.6F * 2.5F);

constexpr Real kInfinity = std::numeric_limits<Real>::infinity();

Real finiteOrZero(Real v) { return std::isfinite(v) ? v : Real(0); }
Real nonNegative(Real v) { return v > 0 ? v : Real(0); }

// tanh(x)/x, 1 at x = 0.
Real tanhOverX(Real x) { return x < 1.0e-4F ? Real(1) : math::tanh(x) / x; }

// 1/cosh(x) without forming cosh, which overflows single precision beyond
// x = 89 (long sockets in soft ground).
Real sech(Real x) {
  const Real e = math::exp(-std::fabs(x));
  return 2 * e / (1 + e * e);
}

// Elastic shortening (in) of the pier above the socket, of length pa (ft)
// and diameter d (ft), under the top load qt (tons):
// 12 pa x 2000 qt / (Ec x 113.097595 d^2), 113.097595 d^2 = pi (12 d)^2 / 4.
Real shorteningInches(Real pa, Real qt, Real ecPsi, Real d) {
  if (!(pa > 0) || !(ecPsi > 0) || !(d > 0)) return 0;
  return finiteOrZero(pa * (kInchesPerFoot * kPoundsPerTon) * qt / (ecPsi * 113.097595F * d * d));
}

// Turns the points from working units (loads in tons, movements in ft at the
// socket) into report units, adding the shortening of the pier above.
void toReportUnits(RockSocketResult& r, const RockSocketInput& in, bool addShortening) {
  const Real d = in.stemDiameter > 0 ? in.stemDiameter : in.socketDiameter;
  for (RockSocketPoint& p : r.points) {
    const Real delta = addShortening ? shorteningInches(r.lengthAbove, p.topLoad, in.ec, d) : Real(0);
    if (in.si) {
      p.topMovement = p.topMovement / kFeetPerMetre + kMetresPerInch * delta;
      p.tipMovement = p.tipMovement / kFeetPerMetre;
      p.topLoad *= kKNPerTon;
      p.tipLoad *= kKNPerTon;
    } else {
      p.topMovement = kInchesPerFoot * p.topMovement + delta;
      p.tipMovement = kInchesPerFoot * p.tipMovement;
    }
    p.topLoad = finiteOrZero(p.topLoad);
    p.topMovement = finiteOrZero(p.topMovement);
    p.tipLoad = finiteOrZero(p.tipLoad);
    p.tipMovement = finiteOrZero(p.tipMovement);
  }
  r.computed = true;
}

RockSocketResult notComputed(std::string why) { return relationshipNotComputed(std::move(why)); }

}  // namespace

RockSocketResult relationshipNotComputed(std::string why) {
  RockSocketResult r;
  r.notes.push_back("     LOAD SETTLEMENT RELATIONSHIP NOT COMPUTED:");
  r.notes.push_back("     " + std::move(why));
  return r;
}

std::array<Real, kRockSocketPoints> weakRockReferenceMovements() {
  std::array<Real, kRockSocketPoints> r{};
  Real v = 0.00009F;
  for (std::size_t i = 0; i < 12; ++i, v *= 1.5F) r[i] = v;
  r[12] = 0.0125F;
  r[13] = 0.025F;
  r[14] = 0.05F;
  return r;
}

std::array<Real, kRockSocketPoints> strongRockReferenceMovements() {
  std::array<Real, kRockSocketPoints> r{};
  Real v = 0.00018F;
  for (std::size_t i = 0; i < kRockSocketPoints; ++i, v *= 1.5F) r[i] = v;
  return r;
}

// ---------------------------------------------------------------------------
// Weak rock.

RockSocketResult weakRockRelationship(const RockSocketInput& in) {
  const WeakRockPoint& p = in.weakRock;
  const Real ds = p.socketDiameter;
  if (!(ds > 0)) return notComputed("THE SOCKET DIAMETER IS ZERO.");
  const Real length = nonNegative(in.pierLength);
  Real ls = std::max(ds, length - in.socketTop);
  if (!(ls > 0)) ls = 1;
  const Real pa = nonNegative(length - ls);
  const Real zc = std::min(kMaxFluidConcreteDepth, nonNegative(length - ls / 2));
  const Real ecTsf = nonNegative(in.ec) * kTsfPerPsi;
  const WeakRockTerms first = weakRockTerms(p, in.meanIntactModulus, ecTsf, zc, ls, 0);
  if (!(ecTsf > 0) || !(first.rockMassModulus > 0))
    return notComputed("THE CONCRETE OR ROCK-MASS MODULUS IS ZERO.");

  RockSocketResult r;
  r.socketLength = ls;
  r.lengthAbove = pa;
  r.rockMassModulus = first.rockMassModulus * kPoundsPerTon;
  const Real sideAbove = nonNegative(in.sideAbove) * kPoundsPerTon;
  const Real sideLimit = nonNegative(in.sideTotal) * kPoundsPerTon;
  const auto ref = weakRockReferenceMovements();
  for (std::size_t i = 0; i < kRockSocketPoints; ++i) {
    const Real w = ds * ref[i];
    const WeakRockTerms t = weakRockTerms(p, in.meanIntactModulus, ecTsf, zc, ls, w);
    const Real side = std::min(sideAbove + kPiFourDecimals * ds * ls * t.mobilisedSide, sideLimit);
    const Real base = in.uplift ? Real(0) : kQuarterPi * ds * ds * t.unitBase;
    r.points[i].topLoad = (side + base) / kPoundsPerTon;
    r.points[i].topMovement = w;
  }
  toReportUnits(r, in, true);
  return r;
}

// ---------------------------------------------------------------------------
// Decomposed rock/gravel.

RockSocketResult decomposedRockRelationship(const RockSocketInput& in) {
  const Real d = in.socketDiameter;
  if (!(d > 0)) return notComputed("THE SOCKET DIAMETER IS ZERO.");
  RockSocketResult r;
  Real lg = in.pierLength - in.socketTop;
  if (!(lg >= 0.0001F)) {
    lg = d;
    r.notes.push_back("     NO EMBEDDED LENGTH IN THE GEOMATERIAL: ONE SOCKET DIAMETER IS USED.");
  }
  r.socketLength = lg;

  // Modulus and inhomogeneity rho = E(mid-length)/E(tip): from the moduli
  // when the bottom one is given, otherwise 22 pa N^0.82 and Ntop/Nbottom.
  Real em = 0;
  Real rho = 1;
  if (in.modulusBottom > 0.001F) {
    em = in.modulusBottom * kPsfPerPsi;
    rho = (nonNegative(in.modulusTop) + in.modulusBottom) / 2 / in.modulusBottom;
  } else {
    em = 22 * kIgmAtmosphere * math::pow(nonNegative(in.blowCount), 0.82F);
    if (in.blowCountBottom > 0) rho = nonNegative(in.blowCountTop) / in.blowCountBottom;
  }
  // A modulus growing from zero at the surface (Gibson soil) is the softest
  // profile of the solution.
  rho = std::max(finiteOrZero(rho), Real(0.5));
  const Real ecTsf = nonNegative(in.ec) * kTsfPerPsi;
  if (!(em > 0) || !(ecTsf > 0)) return notComputed("THE CONCRETE OR GEOMATERIAL MODULUS IS ZERO.");
  r.rockMassModulus = em;

  const Real ratio = lg / d;
  const Real lambda = 5200 * ecTsf / em;
  // zeta = ln(rm/r0); a socket too short for a radius of influence of e
  // radii keeps zeta = 1.
  const Real zeta = std::max(finiteOrZero(math::log(2 * ratio * (2.5F * (1.5F * rho - 0.25F) + 0.25F))), Real(1));
  const Real muL = 2 * ratio * std::sqrt(2 / (zeta * lambda));
  const Real th = tanhOverX(muL);
  // Randolph and Wroth with nu = 0.4 and xi = G(tip)/G(below base) = 2.5, the
  // values that zeta and the 4.7124 = (1 - nu) pi xi term above are built on;
  // the base term is therefore 4/((1 - nu) xi) = 2.6666667.
  // Pulled up, the base is free (eta = 0): both base terms leave the solution.
  const Real settlementFactor =
      in.uplift ? 5.6F / (12.5664F * ratio * th * rho / zeta)
                : 5.6F * (1 + 8 * ratio * th / (4.7124F * lambda)) /
                      (12.5664F * ratio * th * rho / zeta + kDecomposedBaseTerm);

  const Real qsu = nonNegative(in.sideSocket) * kPoundsPerTon;
  const DecomposedRockSlice tip = decomposedRockValues(in.blowCount, in.effectiveStress, d);
  const Real qb = in.uplift ? Real(0) : nonNegative(tip.base.load) * kPoundsPerTon;
  r.baseResistance = qb / kPoundsPerTon;
  const Real ultimate = qsu + qb;
  const Real denominator = 1 - settlementFactor * sech(muL) / 2.1F;
  // The elastic limit: the side reaches Qsu while the base carries its
  // elastic share (none when pulled up).
  Real qel = in.uplift ? qsu : denominator > 0 ? qsu / denominator : kInfinity;
  if (!(qel <= ultimate)) {
    // The base share of the elastic solution exceeds the ultimate base: the
    // elastic line ends at the ultimate load.
    qel = ultimate;
    r.notes.push_back("     THE ELASTIC LIMIT IS TAKEN AT THE ULTIMATE LOAD.");
  }
  const Real wel = settlementFactor * qel / (em * d);
  r.elasticLimitLoad = qel / kPoundsPerTon;
  r.elasticLimitMovement = wel;
  for (std::size_t k = 1; k <= 10; ++k) {
    // k/10 first, so that point 10 is exactly the elastic limit.
    const Real share = static_cast<Real>(k) / 10;
    r.points[k - 1].topMovement = share * wel;
    r.points[k - 1].topLoad = share * qel / kPoundsPerTon;
  }
  const Real qr = nonNegative(ultimate - qel);
  const Real dw = 0.84F * qr / (0.4F * d * em);
  for (std::size_t k = 1; k <= 4; ++k) {
    r.points[9 + k].topLoad = qel / kPoundsPerTon + static_cast<Real>(k) * qr / (4 * kPoundsPerTon);
    r.points[9 + k].topMovement = wel + static_cast<Real>(k) * dw / 4;
  }
  r.points[14].topMovement = 1.2F * (wel + dw);
  r.points[14].topLoad = r.points[13].topLoad;
  toReportUnits(r, in, false);
  return r;
}

// ---------------------------------------------------------------------------
// Strong rock.

namespace {

// Elastic solution of Randolph and Wroth for a socket of length L and radius
// r0 in rock of shear modulus G and Poisson's ratio nu, with the base on the
// same rock (xi = 1, eta = 1) and a homogeneous mass (rho = 1). Every term is
// normalised by G r0.
struct SocketElastic {
  Real kb = 0;       // base: 4/(1 - nu)
  Real column = 0;   // Ep A mu / (G r0) = pi lambda mu r0
  Real shaft = 0;    // shaft with a free base: (2 pi/zeta)(L/r0) tanh(muL)/(muL)
  Real head = 0;     // Pt/(G r0 wt)
  Real tipRatio = 0; // wb/wt
  Real baseFraction = 0;  // Pb/Pt
  Real sechMuL = 1;
};

SocketElastic socketElastic(Real lengthOverRadius, Real lambda) {
  SocketElastic s;
  const Real nu = kRockPoisson;
  const Real zeta = std::max(finiteOrZero(math::log(2.5F * (1 - nu) * lengthOverRadius)), Real(1));
  const Real muR0 = std::sqrt(2 / (zeta * lambda));
  const Real muL = lengthOverRadius * muR0;
  const Real tanhMuL = math::tanh(muL);
  s.kb = 4 / (1 - nu);
  s.column = kPi * lambda * muR0;
  s.shaft = 2 * kPi / zeta * lengthOverRadius * tanhOverX(muL);
  s.head = (s.kb + s.shaft) / (1 + s.kb * tanhMuL / s.column);
  s.sechMuL = sech(muL);
  s.tipRatio = s.sechMuL / (1 + s.kb / s.column * tanhMuL);
  s.baseFraction = s.head > 0 ? s.kb * s.tipRatio / s.head : Real(1);
  return s;
}

}  // namespace

RockSocketResult strongRockRelationship(const RockSocketInput& in, bool sideOrBase) {
  const Real ds = in.socketDiameter;
  if (!(ds > 0)) return notComputed("THE SOCKET DIAMETER IS ZERO.");
  const Real em = nonNegative(in.intactModulus) * kPsfPerPsi * modulusRatioFromRqd(in.rqd, false);
  const Real ep = nonNegative(in.ec) * kPsfPerPsi;
  if (!(em > 0) || !(ep > 0)) return notComputed("THE CONCRETE OR ROCK MODULUS IS ZERO.");

  RockSocketResult r;
  const Real length = nonNegative(in.pierLength);
  const Real ls = std::min(nonNegative(length - in.socketTop), length);
  r.socketLength = ls;
  r.lengthAbove = nonNegative(length - ls);
  r.rockMassModulus = em;
  const Real r0 = ds / 2;
  const Real g = em / (2 * (1 + kRockPoisson));
  const SocketElastic s = socketElastic(ls / r0, ep / g);
  const Real gr0 = g * r0 / kPoundsPerTon;  // tons/ft per unit of the normalised terms
  const Real k = s.head * gr0;               // head stiffness, tons/ft
  const Real kb = s.kb * gr0;                // base alone
  const Real ks = s.shaft * gr0;             // shaft alone, base free
  const Real axial = ep * kPi * r0 * r0 / kPoundsPerTon;  // Ep A, tons
  const Real kColumn = 1 / (1 / kb + ls / axial);         // socket as a column on its base
  r.headStiffness = k;
  r.baseFraction = s.baseFraction;
  const Real beta = s.baseFraction;
  const Real qsu = nonNegative(in.sideSocket);
  const Real qbu = in.uplift ? Real(0) : nonNegative(in.base);

  // Side and base of the socket at a head movement w (ft), with the tip
  // movement.
  struct State {
    Real side, base, tip;
  };
  auto sideAndBase = [&](Real w) -> State {
    // Pulled up, the side carries the load throughout (it is credited in
    // uplift whatever the rock's strength) and the base is free.
    if (in.uplift) {
      const Real side = std::min(ks * w, qsu);
      const Real slip = ks > 0 ? qsu / ks : kInfinity;
      return {side, 0, w <= slip ? w * s.sechMuL : slip * s.sechMuL + (w - slip)};
    }
    if (sideOrBase) {
      // Side alone up to 0.4 in, base alone beyond; the load reached by the
      // side is held while the base takes it over.
      const Real w0 = std::min(w, kCodeFourSideLimit);
      const Real slip = ks > 0 ? qsu / ks : kInfinity;
      const Real side = std::min(ks * w0, qsu);
      const Real tipAtLimit = w0 <= slip ? w0 * s.sechMuL : slip * s.sechMuL + (w0 - slip);
      if (w <= kCodeFourSideLimit) return {side, 0, tipAtLimit};
      const Real base = std::max(std::min(kColumn * w, qbu), side);
      return {0, base, std::max(tipAtLimit, w - base * ls / axial)};
    }
    const Real kSide = (1 - beta) * k;
    const Real kBase = beta * k;
    const Real sideYield = kSide > 0 ? qsu / kSide : kInfinity;
    const Real baseYield = kBase > 0 ? qbu / kBase : kInfinity;
    if (w <= sideYield && w <= baseYield) return {kSide * w, kBase * w, s.tipRatio * w};
    if (sideYield <= baseYield) {
      // Full slip along the side; the base carries every further load.
      const Real base0 = kBase * sideYield;
      const Real tip0 = s.tipRatio * sideYield;
      const Real plunge = sideYield + (qbu - base0) / kColumn;
      if (w <= plunge) {
        const Real base = base0 + kColumn * (w - sideYield);
        return {qsu, base, tip0 + (base - base0) / kb};
      }
      return {qsu, qbu, tip0 + (qbu - base0) / kb + (w - plunge)};
    }
    // The base yields first; the side goes on with the base load held.
    const Real side0 = kSide * baseYield;
    const Real tip0 = s.tipRatio * baseYield;
    const Real plunge = ks > 0 ? baseYield + (qsu - side0) / ks : kInfinity;
    if (w <= plunge) return {side0 + ks * (w - baseYield), qbu, tip0 + (w - baseYield) * s.sechMuL};
    return {qsu, qbu, tip0 + (plunge - baseYield) * s.sechMuL + (w - plunge)};
  };

  const Real above = nonNegative(in.sideAbove);
  const auto ref = strongRockReferenceMovements();
  for (std::size_t i = 0; i < kRockSocketPoints; ++i) {
    const Real w = ds * ref[i];
    const State st = sideAndBase(w);
    r.points[i].topLoad = above + st.side + st.base;
    r.points[i].topMovement = w;
    r.points[i].tipLoad = st.base;
    r.points[i].tipMovement = st.tip;
  }
  toReportUnits(r, in, true);
  return r;
}

RockSocketResult rockSocketRelationship(const RockSocketInput& in) {
  return soilModel(in.code).behaviour->socketRelationship(in);
}

// ---------------------------------------------------------------------------
// Input from the project.

Real socketTopFor(const ProjectInput& project, std::size_t tipLayer) {
  if (tipLayer >= project.layers.size()) return 0;
  return soilModel(project.layers[tipLayer].code).behaviour->socketTop(project, tipLayer);
}

RockSocketInput rockSocketInputFor(const ProjectInput& project, std::size_t tipLayer, Real pierLength, Real stem,
                                   const SocketCapacities& capacities) {
  RockSocketInput in;
  if (tipLayer >= project.layers.size()) return in;
  const Layer& layer = project.layers[tipLayer];
  in.code = layer.code;
  in.si = project.si();
  in.uplift = project.KCYCL == 2;
  in.pierLength = pierLength;
  in.socketTop = socketTopFor(project, tipLayer);
  in.stemDiameter = stem;
  in.ec = project.Ec;
  in.sideAbove = capacities.sideAbove;
  in.sideSocket = capacities.sideSocket;
  in.sideTotal = capacities.sideTotal;
  in.base = capacities.base;
  const Real t = layerFraction(project.layerTop(tipLayer), layer.bottom, pierLength);
  in.socketDiameter = finiteOrZero(interpolate(layer.top().socketDiameter, layer.bot().socketDiameter, t));
  soilModel(layer.code).behaviour->socketInput(in, project, tipLayer);
  in.socketDiameter = nonNegative(in.socketDiameter);
  return in;
}

// ---------------------------------------------------------------------------
// The chosen pier of a run.

SocketCapacities socketCapacities(const SliceProfile& profile, const PierResult& pier, Real socketTop,
                                  Real topIgnored, Real bottomIgnored, bool uplift) {
  SocketCapacities c;
  for (const CreditedSlice& s : creditedSide(profile, pier.last.depth, topIgnored, bottomIgnored)) {
    if (static_cast<Real>(s.z) - 0.5F < socketTop) c.sideAbove += s.side;
    else c.sideSocket += s.side;
  }
  c.sideTotal = pier.last.qs;
  c.base = uplift ? Real(0) : pier.last.qb;
  return c;
}

RockSocketRun runRockSocketRelationship(const ProjectInput& project, const SliceProfile& profile,
                                        const PierResult& pier) {
  RockSocketRun run;
  const Real top = socketTopFor(project, pier.tipLayer);
  const SocketCapacities c =
      socketCapacities(profile, pier, top, project.TOPLENG, project.bottomLength, project.KCYCL == 2);
  const RockSocketInput in = rockSocketInputFor(project, pier.tipLayer, pier.last.depth, pier.stem, c);
  run.result = rockSocketRelationship(in);
  run.notes = run.result.notes;
  for (const RockSocketPoint& p : run.result.points)
    run.rows.push_back(LoadSettlementRow{p.topLoad, p.topMovement, p.tipLoad, p.tipMovement});
  return run;
}

}  // namespace pylar::engine
