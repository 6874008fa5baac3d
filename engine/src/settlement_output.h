#pragma once
// Records of the load-settlement analysis: report tables, curve listings,
// plot records, scratch logs and design charts. Every function appends whole
// lines (without line ends) to a Lines list; run_output sends them to their
// files. Values come in internal units (lb, in, psi; pier lengths and
// diameters where stated) and are converted here, once, for printing.
// Every number goes through the fixed-width fields of fortran_format; a value
// that is not finite is printed as 0.

#include <string>
#include <vector>

#include "load_transfer_curves.h"
#include "report.h"
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

// Rows in report units (the plot-data rows of the capacity records).
std::vector<LoadSettlementRow> reportRows(const std::vector<SettlementRow>& rows, const SettlementUnits& u);

// ---------------------------------------------------------------------------
// Report (channel 6).

// Banner of a bound line: two blank lines and "RESULT FROM ... LINE".
void writeBoundLineBanner(Lines& out, int boundLine);
// Banner, heading, unit line and one [E17.4, 3E16.4] row per solver row:
// top load, top movement, tip load, tip movement.
void writeResultTable(Lines& out, int boundLine, const std::vector<SettlementRow>& rows, const SettlementUnits& u);
// "RESULT FOR DEFINED SETTLEMENTS" with the same heading and rows.
void writeDefinedSettlementTable(Lines& out, const std::vector<SettlementRow>& rows, const SettlementUnits& u);
// "AXIAL LOAD VS SETTLEMENT CURVES": per curve its heading and 15 lines of
// top load and top movement (report units).
void writeAxialLoadSettlementSection(Lines& out, const std::vector<std::vector<LoadSettlementRow>>& curves,
                                     bool si);

// ---------------------------------------------------------------------------
// Curve listings.

// Note at the head of TZDATA.DAT.
void writeTzDataNote(Lines& out);
// T-z listing: heading, unit line, per curve number, point count and depth
// and its points. Depths in inches (or m), or with `depthInFeet` in feet (or
// m) under an "FT." label.
void writeTzListing(Lines& out, const std::vector<SideCurve>& curves, const SettlementUnits& u, bool depthInFeet);
// Base-curve listing: heading, unit line and the points (tip load, tip
// movement).
void writeBaseListing(Lines& out, const BaseCurve& base, const SettlementUnits& u);
// Segment table of one assumed tip movement, segments from the tip up.
void writeTipMovementTable(Lines& out, Real tipMovement, Real tipLoad, const std::vector<SegmentRecord>& segments,
                           const SettlementUnits& u);
// Pier diameter and length lines of the listings (ft or m).
void writePierLines(Lines& out, Real diameterFt, Real lengthFt, const SettlementUnits& u);
// Detail listing (.pq8z) head of a bound line: the pier lines before the
// trend line, then the banner.
void writeDetailHead(Lines& out, int boundLine, Real diameterFt, Real lengthFt, const SettlementUnits& u);
// Base listing (.pq8w) head of a bound line: for the trend line the
// diameter index and the pier lines; then the banner.
void writeBaseListingHead(Lines& out, int boundLine, int diameterIndex, Real diameterFt, Real lengthFt,
                          const SettlementUnits& u);

// ---------------------------------------------------------------------------
// Plot records (appended to the plot-data file; read word by word).

// A free-format count record.
std::string countRecord(int count);
// T-z curves (.pq8t): per curve [2I5, F10.2] number, point count, depth in
// ft (m), then one record per point: load transfer, movement.
void writeTzPlotCurves(Lines& out, const std::vector<SideCurve>& curves, const SettlementUnits& u);
// Additional t-z curves (.pq8t, before the curves above): the count, then
// per curve [8X, I5, I11, E16.4] and its points.
void writeAdditionalTzPlot(Lines& out, const std::vector<SideCurve>& curves, const SettlementUnits& u);
// Base curve of diameter V (.pq8q): [I5, F10.2, I5] V, stem diameter in ft
// (m), point count; then per point: tip load, tip movement.
void writeQwPlotCurve(Lines& out, int diameterIndex, Real stemFt, const BaseCurve& base, const SettlementUnits& u);

// ---------------------------------------------------------------------------
// CHART.DAT (internal units).
void writeChartHeader(Lines& out, int settlements, int segments, Real diameterIn, Real lengthIn, int diameterIndex,
                      int lengthIndex);
void writeChartSettlement(Lines& out, int diameterIndex, Real diameterIn, Real tipMovement, Real area);
void writeChartTopSegment(Lines& out, Real midDepth, Real meanLoad, Real midMovement);

// ---------------------------------------------------------------------------
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

// Design-chart block of the plot-data file: counts, then per settlement the
// settlement as entered and per diameter the diameter and one (length, load)
// pair per length; English in and lb, SI m and kN.
void writeDesignChartPlot(Lines& out, const DesignChartStore& store, bool si);
// "DESIGN CHART CURVES": per settlement, tables of load against length with
// at most 7 diameters per block; lengths from the last to the first. English
// ft and tons, SI m and kN.
void writeDesignChartReport(Lines& out, const DesignChartStore& store, bool si);

// "ADDITIONAL TZ CURVES" heading (report).
void writeAdditionalTzHeading(Lines& out);

}  // namespace pylar::engine
