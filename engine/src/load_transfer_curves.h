#pragma once
// Normalised load-transfer curves of a pier in soil: side (t-z) curves at
// five depths per layer and the base (q-w) curve, each scaled from a table of
// ten normalised points (trend, upper-bound and lower-bound lines), after
// O'Neill and Reese (FHWA-IF-99-025, ch. 11: Reese and O'Neill's normalised
// load-transfer relations for drilled shafts in clay and sand).
//
// Units inside: depths and movements in inches, unit load transfer in lb/in^2,
// forces in lb.

#include <string>
#include <vector>

#include "units.h"

namespace pylar::engine {

// Bound line of a curve and of a solver run.
enum BoundLine : int { kTrendLine = 1, kUpperBound = 2, kLowerBound = 3 };
inline constexpr int kBoundLines = 3;

inline constexpr int kTablePoints = 10;
inline constexpr int kCurvesPerLayer = 5;
// Depth of the first curve of every layer after the first, below the
// layer's top, in.
inline constexpr Real kInterfaceOffset = 12.01F;
// A depth beyond the strength profile by less than this is extrapolated, in.
inline constexpr Real kProfileTolerance = 0.1F;

// Run statuses of a load-transfer curve that cannot be built.
inline constexpr int kStatusSideCurveBeyondProfile = 2;
inline constexpr int kStatusBaseCurveBeyondProfile = 4;

struct CurvePoint {
  Real load = 0;      // psi (side) or lb (base)
  Real movement = 0;  // in
};

struct SideCurve {
  int number = 0;  // 1-based, as listed
  Real depth = 0;  // in below the pier top
  int code = 0;    // soil model of the owning layer
  Real fmax = 0;   // ultimate unit side resistance, psi
  std::vector<CurvePoint> points;
};

struct BaseCurve {
  std::vector<CurvePoint> points;  // load lb, movement in
};

// One point of a depth profile: depth in, value psi.
struct ProfilePoint {
  Real depth = 0;
  Real value = 0;
};

// A soil layer as the curves see it: soil model, top and bottom in inches.
struct CurveLayer {
  int code = 0;
  Real top = 0;
  Real bottom = 0;
};

// Depths of the five curves of every layer (in), in layer order: layer 1 at
// top, quarter, mid, three-quarter and bottom - 0.01 in; every later layer
// starts 12.01 in below its top (the bottom of the layer above), even when
// thinner than that. A layer not thicker than 1e-12 in gets 0.1 in.
std::vector<Real> curveDepths(const std::vector<CurveLayer>& layers);

// Value of a profile at `depth`: linear between the bracketing points; above
// the first point, the first value; beyond the last, the last value.
Real profileValue(const std::vector<ProfilePoint>& profile, Real depth);

// Normalised tables: movement as a fraction of the diameter, load as a
// fraction of the ultimate value.
struct NormalisedTable {
  const Real* movement;  // kTablePoints
  const Real* ratio;     // kTablePoints
};
NormalisedTable sideTable(int soilCode, int boundLine);
NormalisedTable baseTable(int soilCode, int boundLine);

// Side curve of `code` for stem diameter D (in) and fmax (psi).
std::vector<CurvePoint> sideCurvePoints(int code, int boundLine, Real diameter, Real fmax);

// Load of one side curve at movement w: linear between the bracketing
// points; beyond the last point, the last load.
Real sideCurveLoad(const std::vector<CurvePoint>& points, Real w);

struct CurveSet {
  std::vector<SideCurve> curves;  // in placement order (numbered 1..n)
  BaseCurve base;
  // Curves in increasing depth (indices into `curves`): placement order
  // breaks when a layer is thinner than the 12.01 in offset.
  std::vector<std::size_t> byDepth;
};

// What builds a curve set.
struct CurveInput {
  int boundLine = kTrendLine;
  std::vector<CurveLayer> layers;
  std::vector<ProfilePoint> layerProfile;      // 2 points per layer: layer maximum side, psi
  std::vector<ProfilePoint> incrementProfile;  // unit side resistance at every depth increment, psi
  Real stemDiameter = 0;   // in
  Real baseDiameter = 0;   // in
  Real pierLength = 0;     // in
  int tipCode = 0;         // soil model of the layer holding the tip
  Real ultimateBase = 0;   // lb
};

struct CurveBuild {
  int status = 0;  // 0, or 2 (side curve beyond the profile), 4 (tip beyond the profile)
  CurveSet set;
  // Warning lines (report; `notes` also to the run notes).
  std::vector<std::string> report;
  std::vector<std::string> notes;
};

CurveBuild buildCurves(const CurveInput& in);

// The ultimate unit side resistance (psi) at a depth: the increment profile's
// value there. False when the depth lies beyond the layer profile by 0.1 in
// or more.
bool ultimateSide(const CurveInput& in, Real depth, Real& fmax);

// The warning block of a depth beyond the strength profile.
std::vector<std::string> beyondProfileWarning(Real depth, bool sideCurve);

// Unit side transfer (psi) at depth z and movement w: linear in depth between
// the curves above and below z; at or below the deepest curve, that curve;
// above the shallowest, zero.
Real sideTransfer(const CurveSet& set, Real z, Real w);

// The curves that give the side transfer at one depth, found once for a
// depth that the solver reads at many movements. Points into the set, which
// must outlive it.
struct SideTransferPoint {
  Real depth = 0;
  const SideCurve* above = nullptr;  // with `below`: interpolated between the two
  const SideCurve* below = nullptr;  // alone: that curve; neither: no transfer
  // The curve's movements rise from point to point (as every curve built
  // from the tables does): its load at a movement is found with one
  // comparison per point. Found when located.
  bool aboveOrdered = false;
  bool belowOrdered = false;
};
SideTransferPoint locateSideTransfer(const CurveSet& set, Real z);
// The same for a set whose curves byDepth really lists by depth
// (depthsInOrder), starting from `hint`, where the depth located before
// ended: a solver that locates nearby depths one after the other keeps one.
SideTransferPoint locateSideTransfer(const CurveSet& set, Real z, std::size_t& hint);
bool depthsInOrder(const CurveSet& set);
Real sideTransfer(const SideTransferPoint& at, Real w);
// The same, starting the search of each curve where the previous reading
// ended: a solver that reads nearby movements one after the other keeps one
// hint (the value read does not depend on it).
struct SideTransferHint {
  std::size_t above = 0;
  std::size_t below = 0;
};
Real sideTransfer(const SideTransferPoint& at, Real w, SideTransferHint& hint);

// Tip load (lb) at tip movement s: zero for s <= 1e-10; linear between the
// bracketing points; beyond the last point, the last load.
Real baseLoad(const BaseCurve& base, Real s);

}  // namespace pylar::engine
