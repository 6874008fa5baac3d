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
#include "messages.h"
#include "settlement_results.h"
#include "units.h"

namespace pylar::engine {

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
// Design charts (settlement_results.h holds the loads).

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
