#include "load_transfer_curves.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "fortran_format.h"
#include "soil_models.h"

namespace pylar::engine {
namespace {

// Side tables: movement / D and load / fmax.
constexpr Real kSandSideMovement[kTablePoints] = {0, 0.001F, 0.002F, 0.003F, 0.005F, 0.006F, 0.008F, 0.012F, 0.016F, 0.1F};
constexpr Real kSandSide[kBoundLines][kTablePoints] = {
    {0, 0.335F, 0.58F, 0.72F, 0.86F, 0.91F, 0.95F, 0.965F, 0.96F, 0.95F},
    {0, 0.45F, 0.76F, 0.9F, 0.98F, 1.0F, 1.0F, 1.0F, 1.0F, 1.0F},
    {0, 0.22F, 0.4F, 0.54F, 0.74F, 0.82F, 0.9F, 0.93F, 0.92F, 0.9F}};
constexpr Real kClaySideMovement[kTablePoints] = {0, 0.001F, 0.002F, 0.003F, 0.005F, 0.006F, 0.008F, 0.012F, 0.016F, 0.02F};
constexpr Real kClaySide[kBoundLines][kTablePoints] = {
    {0, 0.51F, 0.72F, 0.9F, 0.925F, 0.945F, 0.955F, 0.925F, 0.9F, 0.835F},
    {0, 0.74F, 0.92F, 0.97F, 1.01F, 1.02F, 1.02F, 1.0F, 0.96F, 0.92F},
    {0, 0.29F, 0.52F, 0.7F, 0.84F, 0.87F, 0.89F, 0.85F, 0.8F, 0.75F}};
// Base tables: movement / Dref and load / Qb.
constexpr Real kBaseMovement[kTablePoints] = {0, 0.005F, 0.01F, 0.015F, 0.025F, 0.03F, 0.04F, 0.05F, 0.07F, 0.1F};
constexpr Real kClayBase[kBoundLines][kTablePoints] = {
    {0, 0.395F, 0.56F, 0.7F, 0.865F, 0.9F, 0.95F, 0.97F, 0.98F, 0.991F},
    {0, 0.59F, 0.75F, 0.86F, 0.96F, 0.98F, 0.995F, 0.995F, 0.994F, 0.992F},
    {0, 0.2F, 0.37F, 0.54F, 0.77F, 0.82F, 0.9F, 0.94F, 0.97F, 0.99F}};
constexpr Real kSandBase[kBoundLines][kTablePoints] = {
    {0, 0.175F, 0.345F, 0.485F, 0.64F, 0.73F, 0.88F, 1.015F, 1.195F, 1.46F},
    {0, 0.25F, 0.48F, 0.67F, 0.76F, 0.84F, 0.96F, 1.08F, 1.28F, 1.61F},
    {0, 0.1F, 0.21F, 0.3F, 0.52F, 0.62F, 0.8F, 0.95F, 1.11F, 1.32F}};

int lineIndex(int boundLine) { return std::clamp(boundLine, 1, kBoundLines) - 1; }

constexpr Real kZeroThickness = 1.0e-12F;
constexpr Real kNoTipMovement = 1.0e-10F;
constexpr Real kBottomInset = 0.01F;

Real finiteOrZero(Real v) { return std::isfinite(v) ? v : Real(0); }

// Linear interpolation of a point list by its x: between the first point
// beyond x and the one before; beyond the last point, along the last segment
// (the caller limits how far).
Real interpolateProfile(const std::vector<ProfilePoint>& p, Real depth) {
  if (p.empty()) return 0;
  if (p.size() == 1 || depth <= p.front().depth) return p.front().value;
  std::size_t k = 1;
  while (k + 1 < p.size() && p[k].depth <= depth) ++k;
  const ProfilePoint& a = p[k - 1];
  const ProfilePoint& b = p[k];
  if (b.depth <= a.depth) return b.value;
  return a.value + (depth - a.depth) * (b.value - a.value) / (b.depth - a.depth);
}

// Depths that never fall and are numbers.
bool orderedDepths(const std::vector<ProfilePoint>& p) {
  for (std::size_t k = 0; k < p.size(); ++k)
    if (std::isnan(p[k].depth) || (k > 0 && p[k].depth < p[k - 1].depth)) return false;
  return true;
}

// interpolateProfile of ordered depths at a depth that is a number: the pair
// of points around it found from `hint`, where the depth read before had
// them.
Real interpolateOrderedProfile(const std::vector<ProfilePoint>& p, Real depth, std::size_t& hint) {
  if (p.empty()) return 0;
  if (p.size() == 1 || depth <= p.front().depth) return p.front().value;
  std::size_t k = std::clamp<std::size_t>(hint, 1, p.size() - 1);
  while (k > 1 && p[k - 1].depth > depth) --k;
  while (k + 1 < p.size() && p[k].depth <= depth) ++k;
  hint = k;
  const ProfilePoint& a = p[k - 1];
  const ProfilePoint& b = p[k];
  if (b.depth <= a.depth) return b.value;
  return a.value + (depth - a.depth) * (b.value - a.value) / (b.depth - a.depth);
}

}  // namespace

std::vector<Real> curveDepths(const std::vector<CurveLayer>& layers) {
  std::vector<Real> depths;
  depths.reserve(layers.size() * kCurvesPerLayer);
  Real previousBottom = 0;
  for (std::size_t i = 0; i < layers.size(); ++i) {
    Real top = i == 0 ? layers[i].top : previousBottom;
    Real bottom = layers[i].bottom;
    if (!(bottom - top > kZeroThickness)) bottom = top + kProfileTolerance;
    previousBottom = bottom;
    const Real mid = (top + bottom) / 2;
    const Real inset = bottom - kBottomInset;
    depths.push_back(i == 0 ? top : top + kInterfaceOffset);
    depths.push_back((top + mid) / 2);
    depths.push_back(mid);
    depths.push_back((mid + inset) / 2);
    depths.push_back(inset);
  }
  return depths;
}

Real profileValue(const std::vector<ProfilePoint>& profile, Real depth) {
  if (profile.empty()) return 0;
  if (depth >= profile.back().depth) return profile.back().value;
  return interpolateProfile(profile, depth);
}

NormalisedTable sideTable(int soilCode, int boundLine) {
  const int k = lineIndex(boundLine);
  if (soilModel(soilCode).sideCurves == CurveTable::Sand) return {kSandSideMovement, kSandSide[k]};
  return {kClaySideMovement, kClaySide[k]};
}

NormalisedTable baseTable(int soilCode, int boundLine) {
  const int k = lineIndex(boundLine);
  const bool clay = soilModel(soilCode).baseCurves == CurveTable::Clay;
  return {kBaseMovement, clay ? kClayBase[k] : kSandBase[k]};
}

std::vector<CurvePoint> sideCurvePoints(int code, int boundLine, Real diameter, Real fmax) {
  const NormalisedTable t = sideTable(code, boundLine);
  std::vector<CurvePoint> points(kTablePoints);
  for (int k = 0; k < kTablePoints; ++k) points[k] = {t.ratio[k] * fmax, t.movement[k] * diameter};
  return points;
}

Real sideCurveLoad(const std::vector<CurvePoint>& p, Real w) {
  if (p.empty()) return 0;
  for (std::size_t k = 0; k < p.size(); ++k) {
    if (p[k].movement == w) return p[k].load;
    if (p[k].movement > w) {
      if (k == 0) return p[0].load;
      const CurvePoint& a = p[k - 1];
      return a.load + (w - a.movement) * (p[k].load - a.load) / (p[k].movement - a.movement);
    }
  }
  return p.back().load;
}

std::vector<std::string> beyondProfileWarning(Real depth, bool sideCurve) {
  std::vector<std::string> lines;
  lines.emplace_back();
  lines.push_back(Line().x(29).text("**** WARNING ****").str());
  Line text;
  text.x(5).text("THE VALUE OF X =");
  if (sideCurve) text.e(10, 3, finiteOrZero(depth)).text(" IS BEYOND THE EXTENT OF THE INPUT STRENGTH CURVE 1");
  else text.e(9, 2, finiteOrZero(depth)).text(" IS BEYOND THE EXTENT OF THE INPUT STRENGTH CURVE");
  lines.push_back(text.str());
  return lines;
}

namespace {

// ultimateSide; with `hint` (an increment profile whose depths rise) the
// search of the profile starts where the depth read before ended.
bool ultimateSideAt(const CurveInput& in, Real depth, Real& fmax, std::size_t* hint) {
  fmax = 0;
  if (in.layerProfile.empty() || !std::isfinite(depth)) return false;
  if (depth - in.layerProfile.back().depth >= kProfileTolerance) return false;
  // The unit side resistance at the depth; the layer's maximum already
  // limits every increment value, and the layer profile alone would give
  // "no limit" (1e10 psf) wherever no maximum was entered.
  const auto& increments = in.incrementProfile;
  if (increments.empty()) fmax = interpolateProfile(in.layerProfile, depth);
  else if (!hint) fmax = profileValue(increments, depth);
  else fmax = depth >= increments.back().depth ? increments.back().value
                                               : interpolateOrderedProfile(increments, depth, *hint);
  fmax = std::max(Real(0), finiteOrZero(fmax));
  return true;
}

}  // namespace

bool ultimateSide(const CurveInput& in, Real depth, Real& fmax) { return ultimateSideAt(in, depth, fmax, nullptr); }

CurveBuild buildCurves(const CurveInput& in) {
  CurveBuild out;
  const std::vector<Real> depths = curveDepths(in.layers);
  out.set.curves.reserve(depths.size());
  // The curves' depths mostly rise: each search of the profile starts where
  // the one before ended.
  std::size_t hint = 1;
  std::size_t* profileHint = orderedDepths(in.incrementProfile) ? &hint : nullptr;
  for (std::size_t i = 0; i < depths.size(); ++i) {
    SideCurve c;
    c.number = static_cast<int>(i + 1);
    c.depth = depths[i];
    c.code = in.layers[i / kCurvesPerLayer].code;
    if (!ultimateSideAt(in, c.depth, c.fmax, profileHint)) {
      out.report = beyondProfileWarning(c.depth, true);
      out.status = kStatusSideCurveBeyondProfile;
      return out;
    }
    c.points = sideCurvePoints(c.code, in.boundLine, in.stemDiameter, c.fmax);
    out.set.curves.push_back(std::move(c));
  }
  out.set.byDepth.resize(out.set.curves.size());
  std::iota(out.set.byDepth.begin(), out.set.byDepth.end(), std::size_t{0});
  std::stable_sort(out.set.byDepth.begin(), out.set.byDepth.end(), [&](std::size_t a, std::size_t b) {
    return out.set.curves[a].depth < out.set.curves[b].depth;
  });

  if (in.layerProfile.empty() || in.pierLength > in.layerProfile.back().depth) {
    out.report = beyondProfileWarning(in.pierLength, false);
    out.notes = out.report;
    out.status = kStatusBaseCurveBeyondProfile;
    return out;
  }
  const Real dref = std::max(in.baseDiameter, in.stemDiameter);
  const NormalisedTable t = baseTable(in.tipCode, in.boundLine);
  out.set.base.points.resize(kTablePoints);
  for (int k = 0; k < kTablePoints; ++k)
    out.set.base.points[k] = {t.ratio[k] * std::max(Real(0), in.ultimateBase), t.movement[k] * dref};
  return out;
}

namespace {

// Points with movements that never fall and are numbers.
bool orderedMovements(const std::vector<CurvePoint>& p) {
  if (p.empty()) return false;
  for (std::size_t k = 0; k < p.size(); ++k)
    if (std::isnan(p[k].movement) || (k > 0 && p[k].movement < p[k - 1].movement)) return false;
  return true;
}

// sideCurveLoad of ordered points: the first point at or beyond w is the
// first whose movement is not below it, found from `hint` (where it was for
// the movement read before, which is usually close).
Real orderedCurveLoad(const std::vector<CurvePoint>& p, Real w, std::size_t& hint) {
  if (std::isnan(w)) return p.back().load;
  const std::size_t n = p.size();
  std::size_t k = std::min(hint, n);
  while (k > 0 && !(p[k - 1].movement < w)) --k;
  while (k < n && p[k].movement < w) ++k;
  hint = k;
  if (k == n) return p.back().load;
  if (k == 0 || p[k].movement == w) return p[k].load;
  const CurvePoint& a = p[k - 1];
  return a.load + (w - a.movement) * (p[k].load - a.load) / (p[k].movement - a.movement);
}

SideTransferPoint located(SideTransferPoint at) {
  at.belowOrdered = at.below && orderedMovements(at.below->points);
  at.aboveOrdered = at.above && orderedMovements(at.above->points);
  return at;
}

}  // namespace

SideTransferPoint locateSideTransfer(const CurveSet& set, Real z, std::size_t& hint) {
  const auto& order = set.byDepth;
  if (std::isnan(z) || order.empty()) return locateSideTransfer(set, z);
  SideTransferPoint at;
  at.depth = z;
  auto depth = [&](std::size_t k) { return set.curves[order[k]].depth; };
  if (z < depth(0)) return at;
  const std::size_t n = order.size();
  std::size_t k = std::min(hint, n);
  while (k > 0 && !(depth(k - 1) < z)) --k;
  while (k < n && depth(k) < z) ++k;
  hint = k;
  if (k == n) {
    at.below = &set.curves[order[n - 1]];
    return located(at);
  }
  at.below = &set.curves[order[k]];
  if (depth(k) == z) return located(at);
  const SideCurve& above = set.curves[order[k - 1]];  // k > 0: z >= the first depth
  if (depth(k) > above.depth) at.above = &above;
  return located(at);
}

bool depthsInOrder(const CurveSet& set) {
  for (std::size_t k = 0; k < set.byDepth.size(); ++k) {
    const Real d = set.curves[set.byDepth[k]].depth;
    if (std::isnan(d) || (k > 0 && d < set.curves[set.byDepth[k - 1]].depth)) return false;
  }
  return true;
}

SideTransferPoint locateSideTransfer(const CurveSet& set, Real z) {
  SideTransferPoint at;
  at.depth = z;
  const auto& order = set.byDepth;
  if (order.empty()) return at;
  const SideCurve& first = set.curves[order.front()];
  if (z < first.depth) return at;
  for (std::size_t k = 0; k < order.size(); ++k) {
    const SideCurve& c = set.curves[order[k]];
    at.below = &c;
    if (c.depth == z) return located(at);
    if (c.depth > z) {
      const SideCurve& above = set.curves[order[k - 1]];  // k > 0: z >= first depth
      if (c.depth > above.depth) at.above = &above;
      return located(at);
    }
  }
  return located(at);
}

Real sideTransfer(const SideTransferPoint& at, Real w) {
  SideTransferHint hint;
  return sideTransfer(at, w, hint);
}
Real sideTransfer(const SideTransferPoint& at, Real w, SideTransferHint& hint) {
  if (!at.below) return 0;
  const Real lower =
      at.belowOrdered ? orderedCurveLoad(at.below->points, w, hint.below) : sideCurveLoad(at.below->points, w);
  if (!at.above) return lower;
  const Real upper =
      at.aboveOrdered ? orderedCurveLoad(at.above->points, w, hint.above) : sideCurveLoad(at.above->points, w);
  return upper + (at.depth - at.above->depth) * (lower - upper) / (at.below->depth - at.above->depth);
}

Real sideTransfer(const CurveSet& set, Real z, Real w) { return sideTransfer(locateSideTransfer(set, z), w); }

Real baseLoad(const BaseCurve& base, Real s) {
  const auto& p = base.points;
  if (!(s > kNoTipMovement) || p.size() < 2) return 0;
  for (std::size_t k = 1; k < p.size(); ++k) {
    if (p[k].movement >= s) {
      const CurvePoint& a = p[k - 1];
      if (p[k].movement <= a.movement) return p[k].load;
      return a.load + (s - a.movement) * (p[k].load - a.load) / (p[k].movement - a.movement);
    }
  }
  // Beyond the last point the base is taken as fully mobilised: it keeps
  // its last load.
  return p.back().load;
}

}  // namespace pylar::engine
