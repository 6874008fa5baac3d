#pragma once
// Capacity of the pier against depth, for every pier of the diameter series
// or the length series: side resistance summed slice by slice, the base (or,
// in uplift, the pier weight) at every depth, ASD and LRFD totals, the rows of
// the capacity tables, the stopping rules and the most efficient pier.
//
// The computation is split in two so that every rule can be checked by hand:
// SliceProfile holds what the soil gives at each 1 ft depth for one pier
// (side per slice, stored base), and walkPier turns a profile into rows.
// The series of a run (the soil's resistance fed into these pieces) is
// capacity_driver.h. Everything runs in English working units: ft, tons,
// yd^3.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "igm_resistance.h"
#include "project_input.h"
#include "units.h"

namespace pylar::engine {

inline constexpr int kMaxChartDiameters = 20;  // design charts hold 20 diameters
inline constexpr int kMaxSeriesPiers = 100;    // any other series
inline constexpr Real kSeriesTolerance = 0.02F;  // ft
// The default step of the diameter series (without design charts): half a
// foot in English projects; 0.15 m in SI projects, the step of metric drilling
// tools (0.60, 0.75, 0.90, ... 1.50 m) and the SI default of the design
// charts' diameter increment, next to 0.5 ft = 0.1524 m.
inline constexpr Real kDiameterStep = 0.5F;         // ft
inline constexpr Real kMetricDiameterStep = 0.15F;  // m
// A tip within this of a whole foot lies at that foot.
inline constexpr Real kTipTolerance = 1.0e-3F;  // ft
inline constexpr Real kMaxProfileDepth = 2000.0F;  // ft; deeper profiles are refused
inline constexpr Real kMaxPierDiameter = 100.0F;   // ft, stem or base; larger piers are refused

// ---------------------------------------------------------------------------
// Pier geometry.

struct PierGeometry {
  Real stem = 0;        // D, ft
  Real base = 0;        // Bb, ft
  Real baseArea = 0;    // kQuarterPi Bb^2, ft^2
  bool belled = false;
  Real edge = 0;        // e, straight edge of the bell, ft
  Real bellHeight = 0;  // H, ft (e included)
  Real bellVolume = 0;  // yd^3
};

// Bell when the integer part of RATIO is not 0 and Bb exceeds D.
PierGeometry pierGeometry(Real stem, Real ratio, Real bellAngleDeg);

// Concrete volume of a pier of length L: the stem down to the top of the
// bell plus the bell (frustum and straight edge), yd^3. A bell taller than
// the pier keeps the bell volume only.
Real concreteVolume(const PierGeometry& g, Real length);

// Weight of the pier for uplift, tons: 4050 lb of concrete per yd^3, less the
// water displaced by the part of the pier below the water table.
Real upliftWeight(const PierGeometry& g, Real length, Real waterTable);

// ---------------------------------------------------------------------------
// Series.

struct Series {
  std::vector<Real> diameters;  // ft, one per pier (length series: one)
  std::vector<Real> lengths;    // ft, the length series; empty otherwise
  bool truncated = false;       // the series was longer than its limit
  int limit = 0;
  std::size_t pierCount() const { return lengths.empty() ? diameters.size() : lengths.size(); }
};

// Diameters DSTART, DSTART + step, ... while below DIALIM + 0.02 ft, the last
// of them DIALIM itself: a step within 0.02 ft of it is replaced by it, one
// short of it is followed by it (a DIALIM below DSTART counts as DSTART); the
// step is DIAMINCR with design charts, otherwise
// kDiameterStep (English) or kMetricDiameterStep (SI). Or the lengths of the
// length series from the proposed depth down by PDINCR while above
// PDMIN - 0.02 ft.
Series buildSeries(const ProjectInput& input);

// ---------------------------------------------------------------------------
// Depth grid.

// A layer bottom rounded to whole feet, a half rounding up.
int roundedDepth(Real depth);

// ---------------------------------------------------------------------------
// One pier against depth.

// A part of a slice that lies in another layer than the slice's (the 2018
// set splits a slice at the layer boundaries inside it): its layer and side.
struct SlicePart {
  std::size_t layer = 0;
  Real side = 0;  // tons
};

// What the soil gives at one depth z of one pier: the slice above z and a
// tip at z.
struct Slice {
  std::size_t layer = 0;  // the layer holding z
  Real side = 0;          // tons over the slice (perimeter x 1 ft), before the ignored portions
  Real unitSide = 0;      // tons/ft^2, the unit side resistance of the slice
  Real perimeter = 0;     // ft, the diameter whose perimeter carries it: the stem's, or a rock socket's
  Real lrfdSide = 0;      // side x the layer's side resistance factor
  Real base = 0;          // tons, the base of a tip at z, limits applied
  // The base is the tip's as its rule gives it (the 2018 rules average the
  // ground below the tip themselves), not to be averaged again.
  bool baseAtTip = false;
  // The base's layer without blow counts below the tip (BaseResistance).
  std::optional<std::size_t> baseLayerWithoutBlowCount;
  // 2018 set, a slice that crosses a layer boundary: the side of each
  // layer's part (they add up to `side`); empty otherwise.
  std::vector<SlicePart> parts;
  // For the run notes of a pier whose tip lies below: the unit weight is
  // missing; the weak-rock socket checks.
  bool lowUnitWeight = false;
  std::optional<SocketCheck> socketCheck;
};

// The slices of one pier at z = 1..depthCount() (index z - 1).
struct SliceProfile {
  std::vector<Slice> slices;
  std::size_t depthCount() const { return slices.size(); }
  // The stored base of every depth, as weightedBase reads it.
  std::vector<Real> bases() const;
  // The base (tons) of a tip at the whole foot of index `tipIndex` (`stored`
  // is bases()): weightedBase, or the stored value where it is the tip's
  // (Slice::baseAtTip).
  Real tipBase(const std::vector<Real>& stored, std::size_t tipIndex, Real baseDiameter, Real stem) const;
  // The base of a tip at `tip` ft, as baseAtTip reads it, each whole foot's
  // value by tipBase.
  Real baseAt(Real tip, Real baseDiameter, Real stem) const;
};

struct DesignFactors {
  bool lrfd = false;
  bool uplift = false;
  Real FST = 2.5F;
  Real FSB = 3.0F;
  std::vector<Real> phiBase;  // per layer (LRFD)
};

// Mean of the stored base values over int(2 Bb) one-foot steps below the tip
// (index tip - 1), weight 1.2 t for t <= 0.5, 0.4 (2 - t) beyond, t = k/n;
// values of 1e-10 or less take the last valid value before them. Steps below
// the profile are left out. A stem under 1 ft, or weights that sum to zero,
// use the value at the tip.
Real weightedBase(const std::vector<Real>& stored, std::size_t tipIndex, Real baseDiameter, Real stem);

// The base (tons) of a tip at `tip` ft: weightedBase at a whole foot; between
// two whole feet, linear between theirs (above the first foot, the first
// foot's).
Real baseAtTip(const std::vector<Real>& stored, Real tip, Real baseDiameter, Real stem);

struct CapacityRow {
  Real depth = 0;   // ft
  Real volume = 0;  // yd^3
  Real qs = 0;      // tons
  Real qb = 0;      // base, or the pier weight in uplift
  Real qu = 0;
  Real qbd = 0;     // ASD: Qs + QB/FSB
  Real qdn = 0;     // ASD: Qs/FST + QB/FSB
  Real lrfdQs = 0;
  Real lrfdQb = 0;
  Real lrfdQu = 0;
  Real quPerVolume = 0;
  // The plot columns of the design method: QS/FST, QB/FSB, QDN under ASD;
  // LRFD QS, LRFD QB, LRFD QU under LRFD.
  Real designSide = 0;
  Real designBase = 0;
  Real designTotal = 0;
};

// Totals of a tip at `depth` from the side sums and the base (or weight).
CapacityRow capacityAt(Real depth, Real qs, Real lrfdQs, Real qb, Real volume, Real phiBase,
                       const DesignFactors& f);

struct WalkSettings {
  Real topIgnored = 0;     // TOPLENG, ft
  Real bottomIgnored = 0;  // ft
  Real printIncrement = 1; // ft
  Real waterTable = 0;     // ft
  // Stop: design load (tons) or a fixed tip depth (ft).
  std::optional<Real> designLoad;
  std::optional<Real> tipDepth;
};

struct PierResult {
  Real stem = 0;
  Real base = 0;
  std::vector<CapacityRow> rows;  // printed rows
  CapacityRow last;               // the row at the stopping depth
  CapacityRow largest;            // the row of the largest design capacity (QDN, or LRFD QU) walked
  bool reachedLoad = false;       // METHOD 1
  bool stopped = false;           // reached its stopping depth within the profile
  bool shortOfBase = false;       // less than 2 Bb of soil below the tip
  std::size_t tipLayer = 0;
};

// The part (ft) of slice z (from z - 1 to z ft) that carries side resistance
// for a tip at `tip`: the slice down to the tip (1 ft, or less for the last
// slice of a tip between whole feet) when the middle of that part lies below
// the ignored top portion and above the ignored bottom portion; otherwise 0.
Real sliceShare(std::size_t z, Real tip, Real topIgnored, Real bottomIgnored);

// The side resistance (tons) that slice z (from 1) of `layer` credits to a
// pier with its tip at `tip`: its share times its side.
struct CreditedSlice {
  std::size_t z = 0;
  std::size_t layer = 0;
  Real side = 0;
};
// The slices that carry side for that tip, from the top down (the ignored
// portions excluded, as in the walk). The side of the pier by layer and the
// side above and within a rock socket are both added up from these.
std::vector<CreditedSlice> creditedSide(const SliceProfile& profile, Real tip, Real topIgnored, Real bottomIgnored);

// The walk down one pier, slice by slice, to the stopping depth: the design
// load, or a fixed tip; a fixed tip between whole feet ends the walk with a
// shorter last slice.
PierResult walkPier(const SliceProfile& profile, const PierGeometry& g, const DesignFactors& f,
                    const WalkSettings& s);

// Index (into `piers`) of the most efficient pier: the largest QU per yd^3 of
// concrete at its stopping depth among the piers that stopped there, the
// smaller diameter on a tie. nullopt when none stopped.
std::optional<std::size_t> mostEfficientPier(const std::vector<PierResult>& piers);

// ---------------------------------------------------------------------------
// Input checks: the first problem found, as a report line; empty when the
// project can be analysed.
std::string checkCapacityInput(const ProjectInput& input);

}  // namespace pylar::engine
