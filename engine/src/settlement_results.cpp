// The value types of the load-settlement analyses: unit conversions of the
// curves and the design-chart store.
#include "settlement_results.h"

#include <cmath>
#include <utility>

namespace pylar::engine {
namespace {

Real finite(Real v) { return std::isfinite(v) ? v : Real(0); }

}  // namespace

Real SettlementUnits::force(Real lb) const { return si ? lb * kKNPerLb : lb / kPoundsPerTon; }
Real SettlementUnits::movement(Real in) const { return si ? in / kInchesPerMetreOut : in; }
Real SettlementUnits::stress(Real psi) const { return si ? psi * kKPaPerPsi : psi; }
Real SettlementUnits::depth(Real in) const { return si ? in * kMetresPerInch : in; }
Real SettlementUnits::depthFeet(Real in) const { return si ? in * kMetresPerInch : in / kInchesPerFoot; }
Real SettlementUnits::pierLength(Real ft) const { return si ? ft * kMetresPerFoot : ft; }

std::vector<LoadSettlementRow> reportRows(const std::vector<SettlementRow>& rows, const SettlementUnits& u) {
  std::vector<LoadSettlementRow> out;
  out.reserve(rows.size());
  for (const SettlementRow& r : rows)
    out.push_back({finite(u.force(r.topLoad)), finite(u.movement(r.topMovement)), finite(u.force(r.tipLoad)),
                   finite(u.movement(r.tipMovement))});
  return out;
}

DesignChartStore::DesignChartStore(std::vector<Real> settlementsAsEntered, std::vector<Real> diametersFt,
                                   std::vector<Real> lengthsFt)
    : settlements_(std::move(settlementsAsEntered)),
      diameters_(std::move(diametersFt)),
      lengths_(std::move(lengthsFt)),
      loads_(settlements_.size() * diameters_.size() * lengths_.size(), 0) {}

bool DesignChartStore::set(std::size_t k, std::size_t v, std::size_t lx, Real pounds) {
  if (k >= settlementCount() || v >= diameterCount() || lx >= lengthCount()) return false;
  loads_[(k * diameterCount() + v) * lengthCount() + lx] = finite(pounds);
  return true;
}

Real DesignChartStore::at(std::size_t k, std::size_t v, std::size_t lx) const {
  if (k >= settlementCount() || v >= diameterCount() || lx >= lengthCount()) return 0;
  return loads_[(k * diameterCount() + v) * lengthCount() + lx];
}

}  // namespace pylar::engine
