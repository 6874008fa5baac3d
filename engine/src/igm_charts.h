#pragma once
// Design charts and tables of the FHWA procedure for cohesive intermediate
// geomaterials (weak rock), held as point tables and read by linear
// interpolation. The points and their sources are in igm_charts.cpp; which
// values are published points and which are approximations is set out in
// docs/technical-manual.md.

#include <span>

#include "units.h"

namespace pylar::engine {

struct ChartPoint {
  Real x;
  Real y;
};

// One curve of a chart family: its family parameter and its points in
// increasing x.
struct ChartCurve {
  Real parameter;
  std::span<const ChartPoint> points;
};

// Linear interpolation along one curve; outside its range the end value.
// An empty curve reads 0.
Real readCurve(std::span<const ChartPoint> points, Real x);

// Two-way reading of a family whose curves are in increasing parameter:
// first along the two curves that bracket the parameter, then linearly
// between them. Below the lowest curve the lowest is read, above the highest
// the highest.
Real readFamily(std::span<const ChartCurve> curves, Real parameter, Real x);

// Fluid-pressure factor M of fresh concrete (sigma_n = M gamma_c z_c) for a
// concrete slump (in) and a depth of fluid concrete z_c (ft).
Real fluidPressureFactor(Real slumpIn, Real depthFt);

// Adhesion factor alpha for sigma_n/pa and the uniaxial compressive strength
// qu (lb/ft^2).
Real adhesionFactor(Real normalStressOverPa, Real quPsf);

// Factor n of a smooth socket. Arguments are the family parameter of the
// published chart (Em/sigma_n), its argument (qu/pa) and sigma_n/qu; see the
// definition for the approximation used. Result in [0, 1].
Real smoothSocketN(Real modulusOverNormalStress, Real quOverPa, Real normalStressOverQu);

// Rock-mass modulus ratio Em/Ei from RQD (%) for closed or open joints.
Real modulusRatioFromRqd(Real rqd, bool openJoints);

// Jointing factor phi_j from Em/Ei.
Real jointFactor(Real modulusRatio);

}  // namespace pylar::engine
