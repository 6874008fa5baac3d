#pragma once
// The values the load-settlement analyses produce: solver rows and segments
// in internal units, curves in report units, and the design-chart loads. The
// solvers fill them; report.h and settlement_output.h write them.

#include <cstddef>
#include <vector>

#include "units.h"

namespace pylar::engine {

// Output units of a load-settlement run: English tons / in / psi, SI kN / m /
// kPa, with their three-character labels.
struct SettlementUnits {
  bool si = false;
  const char* lengthLabel() const { return si ? " M." : "IN."; }
  const char* movementLabel() const { return si ? " M." : "IN."; }
  const char* forceLabel() const { return si ? "KN." : "TON"; }
  const char* stressLabel() const { return si ? "KPA" : "PSI"; }
  const char* areaLabel() const { return si ? " SQ M" : "SQ IN"; }
  const char* feetLabel() const { return si ? " M." : "FT."; }
  Real force(Real lb) const;          // tons or kN
  Real movement(Real in) const;       // in or m
  Real stress(Real psi) const;        // psi or kPa
  Real depth(Real in) const;          // in or m
  Real depthFeet(Real in) const;      // ft or m
  Real pierLength(Real ft) const;     // ft or m
};

// One solver row, internal units: lb and in.
struct SettlementRow {
  Real topLoad = 0;
  Real topMovement = 0;
  Real tipLoad = 0;
  Real tipMovement = 0;
};

// One segment of the pier for one assumed tip movement, internal units.
struct SegmentRecord {
  Real bottomDepth = 0;    // in, node at the bottom of the segment
  Real bottomLoad = 0;     // lb
  Real bottomMovement = 0; // in
  Real midDepth = 0;       // in
  Real transfer = 0;       // psi
  Real increment = 0;      // lb, load taken by the segment's side
  Real meanLoad = 0;       // lb, Pb + increment / 2
  Real compression = 0;    // in, shortening of the segment
  Real midMovement = 0;    // in
};

// One point of a load-settlement curve in report units (tons and in, or kN
// and m): the rows of the plot data and of the report's curve section.
struct LoadSettlementRow {
  Real topLoad = 0;
  Real topMovement = 0;
  Real tipLoad = 0;
  Real tipMovement = 0;
};
struct LoadSettlementCurves {
  std::vector<LoadSettlementRow> trend, upper, lower;  // 15 rows each when computed
  int curveSet() const { return upper.empty() ? 1 : 3; }
};
inline constexpr std::size_t kLoadSettlementRows = 15;

// Rows in report units (the plot-data rows of the capacity records); a value
// that is not finite becomes 0.
std::vector<LoadSettlementRow> reportRows(const std::vector<SettlementRow>& rows, const SettlementUnits& u);

// Design charts: the load (lb) at every defined settlement K, diameter V and
// length Lx (all 0-based here), with the diameters and lengths (ft) of the
// series. Sized by the series; a cell never computed holds 0.
class DesignChartStore {
 public:
  DesignChartStore() = default;
  DesignChartStore(std::vector<Real> settlementsAsEntered, std::vector<Real> diametersFt,
                   std::vector<Real> lengthsFt);
  std::size_t settlementCount() const { return settlements_.size(); }
  std::size_t diameterCount() const { return diameters_.size(); }
  std::size_t lengthCount() const { return lengths_.size(); }
  // False (and nothing stored) outside the store.
  bool set(std::size_t k, std::size_t v, std::size_t lx, Real pounds);
  Real at(std::size_t k, std::size_t v, std::size_t lx) const;
  const std::vector<Real>& settlements() const { return settlements_; }
  const std::vector<Real>& diameters() const { return diameters_; }
  const std::vector<Real>& lengths() const { return lengths_; }

 private:
  std::vector<Real> settlements_, diameters_, lengths_;
  std::vector<Real> loads_;
};

}  // namespace pylar::engine
