#pragma once
// Load-settlement of a pier whose tip rests in soil, by the load-transfer
// method (Coyle and Reese; O'Neill and Reese, FHWA-IF-99-025): the pier is cut
// into axial segments, a tip movement is assumed, and the equilibrium and
// elastic shortening of every segment are solved from the tip up against the
// t-z and q-w curves of load_transfer_curves.
//
// analyseGeometry is one pier geometry: the trend, upper-bound and
// lower-bound lines and the defined-settlement pass, returned as values
// (curves, solver rows, warnings). It depends on nothing but its arguments,
// so the geometries of a series may be solved at the same time; the series
// (load_settlement_series.h) puts them in order and run_output writes them.
//
// Units inside: in, lb, psi. Geometry arrives in ft, forces in tons, unit side
// resistance in tons/ft^2, Ec in lb/in^2.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "load_transfer_curves.h"
#include "project_input.h"
#include "settlement_results.h"
#include "units.h"

namespace pylar::engine {

inline constexpr int kTipMovements = 15;
inline constexpr Real kConvergence = 1.0e-5F;  // in, mid-segment movement
// Mid-segment iterations per segment, in both passes; a segment that has not
// settled by then keeps its last estimate and the run notes say so.
inline constexpr int kMaxSegmentIterations = 100;
// Longest pier the solver cuts into segments, segments.
inline constexpr int kMaxSegments = 100000;

// The 15 assumed tip movements (in) of a pier of stem diameter D (in).
std::array<Real, kTipMovements> assumedTipMovements(Real stemDiameter);

// Axial stiffness EA (lb) against depth (in): the stem down to L - Hb, then
// linear to the base over the bell.
struct StiffnessTable {
  std::array<Real, 3> depth{};
  std::array<Real, 3> ea{};
  Real at(Real z) const;
};
StiffnessTable stiffnessTable(Real ec, Real stemDiameter, Real baseDiameter, Real length, Real bellHeight);

struct SolverGeometry {
  Real stemDiameter = 0;  // in
  Real length = 0;        // in
  int segments = 1;       // N
  Real topIgnored = 0;    // in: no side transfer above this depth
  Real bottomIgnored = 0; // in: none within this length above the tip
  StiffnessTable stiffness;
};

struct TipSolution {
  SettlementRow row;
  Real topMidDepth = 0;     // in, middle of the top segment
  Real topMeanLoad = 0;     // lb, Pb + dQ/2 of the top segment
  Real topMidMovement = 0;  // in
  int unconvergedSegments = 0;
  std::vector<SegmentRecord> segments;  // from the tip up, when asked for
};

// What every segment of a pier takes from one curve set, whatever the tip
// movement: its middle, whether it carries side, its flexibility and the
// curves its side transfer is read from. Built once for the many tip
// movements solved on one set; points into the set.
struct SegmentPlan {
  Real mid = 0;  // in
  bool carries = false;
  Real flexibility = 0;  // in/lb: length over EA
  SideTransferPoint transfer;
};
struct SolverPlan {
  Real segmentLength = 0;  // j, in
  Real perimeterLength = 0;  // 3.1416 D j, in^2
  std::vector<SegmentPlan> segments;  // from the tip up
};
SolverPlan planSolver(const CurveSet& curves, const SolverGeometry& g);

// Equilibrium of the pier for one assumed tip movement s (in).
TipSolution solveTipMovement(const CurveSet& curves, const SolverGeometry& g, const SolverPlan& plan, Real s,
                             bool keepSegments);
TipSolution solveTipMovement(const CurveSet& curves, const SolverGeometry& g, Real s, bool keepSegments);

// Tip movement that gives top movement S, read from the rows of a run: 0
// below the first row, along the last two rows beyond the last, linear
// between.
Real tipMovementForSettlement(const std::vector<SettlementRow>& rows, Real settlement);

// ---------------------------------------------------------------------------
// One geometry.

struct SettlementLayer {
  int code = 0;
  Real topFt = 0;
  Real bottomFt = 0;
  Real maxSideTsf = 0;  // the layer's maximum unit side resistance
};

struct SidePoint {
  Real depthFt = 0;
  Real unitSideTsf = 0;
};

// What the capacity analysis hands on for every pier of its series.
struct SettlementGeometry {
  Real stemFt = 0;
  Real baseFt = 0;        // equals stemFt without a bell
  Real bellHeightFt = 0;  // end of stem to base
  Real lengthFt = 0;
  int segments = 0;       // depth increments of the pier; 0: one per foot
  Real topIgnoredFt = 0;
  Real bottomIgnoredFt = 0;
  Real ultimateBaseTons = 0;  // at the tip
  int tipCode = 0;            // soil model of the layer holding the tip
  int diameterIndex = 1;      // 1-based positions in the series
  int lengthIndex = 1;
  std::size_t pier = 0;       // the pier of the series (from 0) whose plot records take the curves
  // The pier's curves go to the plot data and the report's curve section
  // (false for the extra lengths of a design chart).
  bool plotted = true;
  std::vector<SidePoint> unitSide;  // at every depth increment (before the ignored portions)
};

struct SettlementSettings {
  bool si = false;
  Real Ec = 0;  // lb/in^2
  std::vector<SettlementLayer> layers;
  bool designCharts = false;
  std::vector<Real> settlementsIn;         // defined settlements, in
  std::vector<Real> settlementsAsEntered;  // in or m
  std::vector<Real> chartDiametersFt;      // the series of the design charts
  std::vector<Real> chartLengthsFt;
  bool additionalCurves = false;
  std::vector<Real> tzDepthsFt;
};

// Settings of a project, without the chart series.
SettlementSettings settlementSettings(const ProjectInput& in, const std::vector<SettlementLayer>& layers);

// The solver run of one bound line.
struct BoundLineResult {
  int boundLine = kTrendLine;
  CurveBuild built;                  // the curves, or the warning of why they could not be built
  std::vector<SettlementRow> rows;   // one per assumed tip movement; empty when the curves failed
  int unconverged = 0;               // segments that had not settled
};

// The defined settlements of a geometry (trend line, with design charts).
struct DefinedSettlementPoint {
  Real tipMovement = 0;  // in, read from the trend rows
  SettlementRow row;
  Real topMidDepth = 0;  // in, middle of the top segment
  Real topMeanLoad = 0;  // lb, the design-chart value
  Real topMidMovement = 0;
};
struct DefinedSettlements {
  std::vector<DefinedSettlementPoint> points;
  int unconverged = 0;
};

struct GeometryResult {
  SettlementGeometry geometry;
  SolverGeometry solver;
  bool analysed = false;  // false: no stem or length to solve
  int status = 0;         // 0, or 2 / 4: the curves of the last line could not be built
  std::vector<BoundLineResult> lines;  // in order trend, upper, lower; ends at a failed line
  DefinedSettlements defined;
  LoadSettlementCurves curves;  // report units, for the plot data

  // The rows of a bound line (empty when it was not solved).
  const std::vector<SettlementRow>& rows(int boundLine) const;
};

// The input of the curves of a bound line for a geometry.
CurveInput curveInput(const SettlementSettings& s, const SettlementGeometry& g, int boundLine);

// Trend, upper and lower bound of one geometry with a positive Ec; stops at
// the first line whose curves cannot be built (status 2 or 4).
GeometryResult analyseGeometry(const SettlementSettings& s, const SettlementGeometry& g);

// The side curves as the solver uses them: it credits no side transfer in
// the ignored top portion nor in the ignored bottom portion above the tip, so
// a curve whose depth lies there carries no load at any movement. For the
// listings and plot records; the solver reads the curves as built (a segment
// just below the ignored top interpolates towards the curve above it).
std::vector<SideCurve> curvesAsSolved(const std::vector<SideCurve>& curves, const SolverGeometry& g);

// The tip solutions of one solved line, with every segment (the scratch
// log), solved on up to `threads` threads (0: the machine's).
std::vector<TipSolution> tipSolutions(const GeometryResult& r, const BoundLineResult& line, unsigned threads);

// The additional t-z curves at the depths of record 9, for the stem of the
// first geometry: per bound line, and the depths (in) of the trend line that
// lie beyond the strength profile (those curves keep a zero strength).
struct AdditionalCurves {
  std::vector<SideCurve> byLine[kBoundLines];
  std::vector<Real> beyondProfile;
};
AdditionalCurves additionalTzCurves(const SettlementSettings& s, const SettlementGeometry& g);

}  // namespace pylar::engine
