// Capacity against depth: geometry, series, the walk down one pier and the
// choice of the most efficient pier. The series that feeds the soil's
// resistance into these pieces is in capacity_driver.cpp.
#include "capacity.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "real_math.h"

namespace pylar::engine {
namespace {

constexpr Real kInvalidBase = 1.0e-10F;   // a stored base at or below this is missing

Real finiteOr(Real v, Real fallback = 0) { return std::isfinite(v) ? v : fallback; }

// A length of the project as the engineer entered it ("1E+30 FT", "45.5 M").
std::string enteredLength(const ProjectInput& in, Real feet) {
  const Real value = in.si() ? feet / kFeetPerMetre : feet;
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
  std::string text(buf, ec == std::errc() ? end : buf);
  for (char& c : text) c = c == 'e' ? 'E' : c;
  return text + (in.si() ? " M" : " FT");
}

}  // namespace

PierGeometry pierGeometry(Real stem, Real ratio, Real bellAngleDeg) {
  PierGeometry g;
  g.stem = stem;
  g.base = stem;
  // A RATIO whose integer part is 0 (or exactly 1) means no bell.
  if (std::trunc(ratio) != 0 && ratio > 1) {
    g.belled = true;
    g.base = ratio * stem;
    g.edge = stem <= 3.52F ? 0.25F : 0.5F;
    const Real tanTheta = math::tan(bellAngleDeg * kPi / 180.0F);
    g.bellHeight = (g.base - stem) / (2 * tanTheta) + g.edge;
  }
  g.baseArea = kQuarterPi * g.base * g.base;
  if (g.belled) {
    const Real frustum = (kBellPi / 3) * (g.bellHeight - g.edge) *
                         ((stem * stem + g.base * g.base) / 4 + stem * g.base / 4);
    g.bellVolume = (g.baseArea * g.edge + frustum) / kCuFtPerCuYd;
  }
  return g;
}

Real concreteVolume(const PierGeometry& g, Real length) {
  const Real stemLength = std::max(Real(0), length - g.bellHeight);
  return kQuarterPi * g.stem * g.stem * stemLength / kCuFtPerCuYd + g.bellVolume;
}

Real upliftWeight(const PierGeometry& g, Real length, Real waterTable) {
  const Real weight = concreteVolume(g, length) * kConcreteLbPerCuYd / kPoundsPerTon;
  // Water displaced below the water table, ft^3: the stem below it, and the
  // share of the bell height below it.
  const Real stemBottom = std::max(Real(0), length - g.bellHeight);
  Real submerged = kQuarterPi * g.stem * g.stem * std::max(Real(0), stemBottom - waterTable);
  if (g.belled && g.bellHeight > 0) {
    const Real below = std::clamp(length - std::max(waterTable, stemBottom), Real(0), g.bellHeight);
    submerged += g.bellVolume * kCuFtPerCuYd * below / g.bellHeight;
  }
  return weight - submerged * kWaterUnitWeight / kPoundsPerTon;
}

Series buildSeries(const ProjectInput& in) {
  Series s;
  if (in.IPENT >= 1) {
    s.limit = kMaxSeriesPiers;
    s.diameters.push_back(in.DSTART);
    const Real step = in.PDINCR > 0 ? in.PDINCR : 0;
    for (int k = 0;; ++k) {
      const Real length = in.proposedDepth - static_cast<Real>(k) * step;
      if (!(length > in.PDMIN - kSeriesTolerance) && k > 0) break;
      if (k >= s.limit) {
        s.truncated = true;
        break;
      }
      s.lengths.push_back(length);
      if (step <= 0) break;  // no increment: the proposed length only
    }
    return s;
  }
  const bool charts = in.IChart >= 1;
  s.limit = charts ? kMaxChartDiameters : kMaxSeriesPiers;
  const Real step = charts ? in.DIAMINCR : in.si() ? kMetricDiameterStep * kFeetPerMetre : kDiameterStep;
  const Real last = std::max(in.DIALIM, in.DSTART);
  for (int k = 0;; ++k) {
    const Real d = in.DSTART + static_cast<Real>(k) * step;
    if (k > 0 && !(d < last + kSeriesTolerance)) break;
    if (k >= s.limit) {
      s.truncated = true;
      break;
    }
    s.diameters.push_back(d);
    if (!(step > 0)) break;
  }
  // The largest diameter asked for is the last one analysed: it takes the
  // place of a step within the tolerance of it and follows a step short of it.
  if (!s.truncated) {
    Real& end = s.diameters.back();
    if (!(end < last - kSeriesTolerance)) end = last;
    else if (static_cast<int>(s.diameters.size()) < s.limit) s.diameters.push_back(last);
    else s.truncated = true;
  }
  return s;
}

int roundedDepth(Real depth) {
  if (!(depth > 0)) return 0;
  if (depth > kMaxProfileDepth) return static_cast<int>(kMaxProfileDepth);
  return static_cast<int>(std::floor(depth + 0.5F));
}

Real weightedBase(const std::vector<Real>& stored, std::size_t tipIndex, Real baseDiameter, Real stem) {
  if (tipIndex >= stored.size()) return 0;
  // The last valid value at or before an index.
  auto valid = [&stored](std::size_t i) {
    for (std::size_t j = i + 1; j-- > 0;)
      if (stored[j] > kInvalidBase) return stored[j];
    return stored[i];
  };
  const Real atTip = valid(tipIndex);
  const Real steps = std::floor(2 * baseDiameter);
  if (stem < 1 || !(steps >= 1)) return atTip;
  const auto n = static_cast<std::size_t>(std::min(steps, static_cast<Real>(stored.size())));
  Real sum = 0;
  Real weights = 0;
  Real last = atTip;
  for (std::size_t k = 0; k < n && tipIndex + k < stored.size(); ++k) {
    const Real t = static_cast<Real>(k) / static_cast<Real>(n);
    const Real w = t <= 0.5F ? 1.2F * t : 0.4F * (2 - t);
    const Real v = stored[tipIndex + k];
    if (v > kInvalidBase) last = v;
    sum += w * last;
    weights += w;
  }
  return weights > 0 ? sum / weights : atTip;
}

Real baseAtTip(const std::vector<Real>& stored, Real tip, Real baseDiameter, Real stem) {
  if (!(tip > 0)) return 0;
  const Real whole = std::floor(tip + kTipTolerance);
  const auto index = [](Real foot) { return static_cast<std::size_t>(std::max(foot, Real(1))) - 1; };
  const Real at = weightedBase(stored, index(whole), baseDiameter, stem);
  const Real part = tip - whole;
  if (part <= kTipTolerance) return at;
  const Real below = weightedBase(stored, index(whole + 1), baseDiameter, stem);
  return at + part * (below - at);
}

CapacityRow capacityAt(Real depth, Real qs, Real lrfdQs, Real qb, Real volume, Real phiBase,
                       const DesignFactors& f) {
  CapacityRow r;
  r.depth = depth;
  r.volume = volume;
  r.qs = qs;
  r.qb = qb;
  r.qu = qs + qb;
  // The pier weight in uplift carries no factor of safety or resistance factor.
  const Real fsb = f.uplift ? 1 : f.FSB;
  r.qbd = qs + qb / fsb;
  r.qdn = qs / f.FST + qb / fsb;
  r.lrfdQs = lrfdQs;
  r.lrfdQb = f.uplift ? qb : qb * phiBase;
  r.lrfdQu = r.lrfdQs + r.lrfdQb;
  r.quPerVolume = volume > 0 ? r.qu / volume : 0;
  r.designSide = f.lrfd ? r.lrfdQs : qs / f.FST;
  r.designBase = f.lrfd ? r.lrfdQb : qb / fsb;
  r.designTotal = f.lrfd ? r.lrfdQu : r.qdn;
  for (Real* v : {&r.qs, &r.qb, &r.qu, &r.qbd, &r.qdn, &r.lrfdQs, &r.lrfdQb, &r.lrfdQu, &r.quPerVolume, &r.designSide,
                  &r.designBase, &r.designTotal})
    *v = finiteOr(*v);
  return r;
}

Real sliceShare(std::size_t z, Real tip, Real topIgnored, Real bottomIgnored) {
  const Real top = static_cast<Real>(z) - 1;
  if (!(tip > top + kTipTolerance)) return 0;  // the slice lies below the tip
  // A tip within the tolerance of the slice's bottom, or below it, takes the
  // whole slice.
  const bool whole = tip >= static_cast<Real>(z) - kTipTolerance;
  const Real share = whole ? Real(1) : tip - top;
  const Real middle = whole ? static_cast<Real>(z) - 0.5F : top + share / 2;
  return middle > topIgnored && middle < tip - bottomIgnored ? share : 0;
}

std::vector<CreditedSlice> creditedSide(const SliceProfile& profile, Real tip, Real topIgnored, Real bottomIgnored) {
  std::vector<CreditedSlice> out;
  for (std::size_t z = 1; z <= profile.depthCount() && static_cast<Real>(z) < tip + 1; ++z) {
    const Real share = sliceShare(z, tip, topIgnored, bottomIgnored);
    if (share <= 0) continue;
    const Slice& s = profile.slices[z - 1];
    if (s.parts.empty()) {
      out.push_back({z, s.layer, share * s.side});
    } else {
      for (const SlicePart& part : s.parts) out.push_back({z, part.layer, share * part.side});
    }
  }
  return out;
}

std::vector<Real> SliceProfile::bases() const {
  std::vector<Real> out;
  out.reserve(slices.size());
  for (const Slice& s : slices) out.push_back(s.base);
  return out;
}

Real SliceProfile::tipBase(const std::vector<Real>& stored, std::size_t tipIndex, Real baseDiameter, Real stem) const {
  if (tipIndex < slices.size() && tipIndex < stored.size() && slices[tipIndex].baseAtTip) return stored[tipIndex];
  return weightedBase(stored, tipIndex, baseDiameter, stem);
}

Real SliceProfile::baseAt(Real tip, Real baseDiameter, Real stem) const {
  if (!(tip > 0)) return 0;
  const std::vector<Real> stored = bases();
  const Real whole = std::floor(tip + kTipTolerance);
  const auto index = [](Real foot) { return static_cast<std::size_t>(std::max(foot, Real(1))) - 1; };
  const Real at = tipBase(stored, index(whole), baseDiameter, stem);
  const Real part = tip - whole;
  if (part <= kTipTolerance) return at;
  const Real below = tipBase(stored, index(whole + 1), baseDiameter, stem);
  return at + part * (below - at);
}

PierResult walkPier(const SliceProfile& p, const PierGeometry& g, const DesignFactors& f, const WalkSettings& s) {
  PierResult result;
  result.stem = g.stem;
  result.base = g.base;
  const std::size_t count = p.depthCount();
  if (count == 0) return result;
  // Prefix sums of the slices below the ignored top portion.
  std::vector<Real> side(count + 1, 0);
  std::vector<Real> lrfd(count + 1, 0);
  for (std::size_t z = 1; z <= count; ++z) {
    const bool counts = static_cast<Real>(z) - 0.5F > s.topIgnored;
    side[z] = side[z - 1] + (counts ? p.slices[z - 1].side : 0);
    lrfd[z] = lrfd[z - 1] + (counts ? p.slices[z - 1].lrfdSide : 0);
  }
  const std::vector<Real> bases = p.bases();
  const Real increment = s.printIncrement > 0 ? s.printIncrement : 1;
  bool anyRow = false;
  for (std::size_t z = 1; z <= count; ++z) {
    // A fixed tip above this foot (and below the one before, where the walk
    // would have stopped) ends the walk inside slice z.
    const bool inSlice = s.tipDepth && *s.tipDepth < static_cast<Real>(z) - kTipTolerance;
    const Real tip = inSlice ? *s.tipDepth : static_cast<Real>(z);
    // Whole slices whose middle lies above the ignored bottom portion:
    // 1..carried, and the part of slice z above the tip.
    const std::size_t whole = inSlice ? z - 1 : z;
    const Real bound = std::ceil(tip - s.bottomIgnored + 0.5F) - 1;
    const std::size_t carried = bound <= 0 ? 0 : std::min(whole, static_cast<std::size_t>(bound));
    Real qs = side[carried];
    Real lrfdQs = lrfd[carried];
    if (inSlice) {
      const Real share = sliceShare(z, tip, s.topIgnored, s.bottomIgnored);
      qs += share * p.slices[z - 1].side;
      lrfdQs += share * p.slices[z - 1].lrfdSide;
    }
    const Real qb = f.uplift ? upliftWeight(g, tip, s.waterTable)
                    : inSlice ? p.baseAt(tip, g.base, g.stem)
                              : p.tipBase(bases, z - 1, g.base, g.stem);
    const std::size_t layer = p.slices[z - 1].layer;
    const Real phi = layer < f.phiBase.size() ? f.phiBase[layer] : 1;
    const CapacityRow row = capacityAt(tip, qs, lrfdQs, qb, concreteVolume(g, tip), phi, f);
    const Real capacity = f.lrfd ? row.lrfdQu : row.qdn;
    if (!anyRow || capacity > (f.lrfd ? result.largest.lrfdQu : result.largest.qdn)) result.largest = row;
    anyRow = true;
    bool stop = false;
    if (s.tipDepth) stop = tip >= *s.tipDepth - kTipTolerance;
    if (s.designLoad) {
      stop = capacity > *s.designLoad;
      result.reachedLoad = stop;
    }
    const bool last = stop || z == count;
    const bool printed = std::floor(tip / increment) > std::floor((tip - 1) / increment);
    if (printed || last) result.rows.push_back(row);
    if (last) {
      result.last = row;
      result.tipLayer = layer;
      result.stopped = stop;
      result.shortOfBase = stop && static_cast<Real>(count) - tip < 2 * g.base;
      break;
    }
  }
  return result;
}

std::optional<std::size_t> mostEfficientPier(const std::vector<PierResult>& piers) {
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < piers.size(); ++i) {
    if (!piers[i].stopped) continue;
    if (!best || piers[i].last.quPerVolume > piers[*best].last.quPerVolume) best = i;
  }
  return best;
}

std::string checkCapacityInput(const ProjectInput& in) {
  auto bad = [](Real v) { return !std::isfinite(v); };
  if (in.layers.empty()) return "INPUT ERROR: THE SOIL PROFILE HAS NO LAYERS";
  if (bad(in.DSTART) || in.DSTART <= 0) return "INPUT ERROR: THE PYLAR DIAMETER MUST BE GREATER THAN ZERO";
  if (bad(in.DIALIM)) return "INPUT ERROR: THE MAXIMUM PYLAR DIAMETER IS NOT A NUMBER";
  if (bad(in.RATIO) || in.RATIO < 0) return "INPUT ERROR: THE RATIO OF BASE TO PYLAR DIAMETER IS NEGATIVE";
  if (std::trunc(in.RATIO) != 0 && in.RATIO > 1 && !(in.BELANGL > 0 && in.BELANGL < 90))
    return "INPUT ERROR: THE ANGLE OF BELL MUST LIE BETWEEN 0 AND 90 DEGREES";
  if (bad(in.TOPLENG) || in.TOPLENG < 0) return "INPUT ERROR: THE IGNORED TOP PORTION IS NEGATIVE";
  if (bad(in.bottomLength) || in.bottomLength < 0) return "INPUT ERROR: THE IGNORED BOTTOM PORTION IS NEGATIVE";
  if (bad(in.waterTable) || in.waterTable < 0)
    return "INPUT ERROR: THE WATER TABLE LIES ABOVE THE GROUND (NEGATIVE DEPTH)";
  if (in.METHOD == 2 && (bad(in.proposedDepth) || in.proposedDepth <= 0))
    return "INPUT ERROR: THE PROPOSED DEPTH MUST BE GREATER THAN ZERO";
  // The walk cannot go below the deepest profile the engine analyses; a
  // deeper proposed depth is a typing error, not a pier to compute.
  if (in.METHOD == 2 && in.proposedDepth > kMaxProfileDepth)
    return "INPUT ERROR: THE PROPOSED DEPTH OF " + enteredLength(in, in.proposedDepth) +
           " IS DEEPER THAN THE DEEPEST PROFILE THE PROGRAM ANALYSES (2000 FT, 609.6 M)";
  if (in.METHOD != 2 && (bad(in.designLoad) || in.designLoad <= 0))
    return "INPUT ERROR: THE DESIGN LOAD MUST BE GREATER THAN ZERO";
  if (in.NLRFD != 1 && (bad(in.FST) || in.FST <= 0 || bad(in.FSB) || in.FSB <= 0))
    return "INPUT ERROR: THE FACTORS OF SAFETY MUST BE GREATER THAN ZERO";
  if (in.IPENT >= 1 && (bad(in.PDMIN) || in.PDMIN < 0 || bad(in.PDINCR) || in.PDINCR <= 0))
    return "INPUT ERROR: THE LENGTH SERIES NEEDS A POSITIVE MINIMUM LENGTH AND INCREMENT";
  if (in.IChart >= 1 && (bad(in.DIAMINCR) || in.DIAMINCR <= 0))
    return "INPUT ERROR: THE DIAMETER INCREMENT MUST BE GREATER THAN ZERO";
  Real top = 0;
  for (std::size_t i = 0; i < in.layers.size(); ++i) {
    const Real bottom = in.layers[i].bottom;
    if (bad(bottom) || !(bottom > top))
      return "INPUT ERROR: LAYER " + std::to_string(i + 1) + " ENDS AT OR ABOVE ITS TOP (LAYER BOTTOMS MUST INCREASE)";
    top = bottom;
  }
  if (top > kMaxProfileDepth) return "INPUT ERROR: THE SOIL PROFILE IS DEEPER THAN 2000 FT";
  if (roundedDepth(top) < 1) return "INPUT ERROR: THE SOIL PROFILE IS LESS THAN ONE FOOT DEEP";
  // A pier wider than any drilled pier (a value typed in the wrong field)
  // would make every number of the run meaningless.
  for (Real d : buildSeries(in).diameters) {
    const PierGeometry g = pierGeometry(d, in.RATIO, in.BELANGL);
    const char* which = !(g.stem <= kMaxPierDiameter) ? "PYLAR" : !(g.base <= kMaxPierDiameter) ? "BASE" : nullptr;
    if (which)
      return std::string("INPUT ERROR: THE ") + which + " DIAMETER OF " +
             enteredLength(in, which[0] == 'P' ? g.stem : g.base) +
             " IS LARGER THAN THE LARGEST THE PROGRAM ANALYSES (100 FT, 30.48 M)";
  }
  return {};
}

}  // namespace pylar::engine
