#pragma once
// Load-settlement of a pier whose tip rests in soil, by the load-transfer
// method (Coyle and Reese; O'Neill and Reese, FHWA-IF-99-025): the pier is cut
// into axial segments, a tip movement is assumed, and the equilibrium and
// elastic shortening of every segment are solved from the tip up against the
// t-z and q-w curves of load_transfer_curves.
//
// LoadSettlementAnalysis is the run-wide part: the capacity analysis fills a
// SettlementGeometry for every pier of its series (in series order) and calls
// analyse(); it runs the trend, upper-bound and lower-bound lines, the
// defined-settlement pass and writes every listing and plot record. After the
// series, finishReport() and writeChartPlot() write the closing sections, and
// writeScratchLog() the load-transfer log of the last solver run.
//
// Units inside: in, lb, psi. Geometry arrives in ft, forces in tons, unit side
// resistance in tons/ft^2, Ec in lb/in^2.

#include <array>
#include <string>
#include <vector>

#include "load_transfer_curves.h"
#include "project_input.h"
#include "report.h"
#include "settlement_output.h"
#include "units.h"

namespace pylar::engine {

struct Run;
struct PierResult;
struct Series;
struct SliceProfile;
class SoilResistance;

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

// Equilibrium of the pier for one assumed tip movement s (in).
TipSolution solveTipMovement(const CurveSet& curves, const SolverGeometry& g, Real s, bool keepSegments);

// Tip movement that gives top movement S, read from the rows of a run: 0
// below the first row, along the last two rows beyond the last, linear
// between.
Real tipMovementForSettlement(const std::vector<SettlementRow>& rows, Real settlement);

// ---------------------------------------------------------------------------
// The run-wide analysis.

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

struct GeometryResult {
  int status = 0;
  std::vector<SettlementRow> lines[kBoundLines];  // 15 rows per bound line, internal units
  std::vector<SettlementRow> defined;
  LoadSettlementCurves curves;  // report units, for the plot data
};

class LoadSettlementAnalysis {
 public:
  LoadSettlementAnalysis(Run& run, SettlementSettings settings);

  // Trend, upper and lower bound of one geometry; stops at the first non-zero
  // status (2 or 4), which the caller ends the run with.
  GeometryResult analyse(const SettlementGeometry& g);

  // "AXIAL LOAD VS SETTLEMENT CURVES" (report), when any curve was computed.
  void writeCurveSection();
  // The additional t-z curves and the design-chart tables (report).
  void writeClosingSections();
  // Design-chart block of the plot-data file (always, when design charts are
  // requested: cells never computed hold 0).
  void writeChartPlot();
  // TZDATA.DAT: the log of the last solver run.
  void writeScratchLog();

  const DesignChartStore& charts() const { return charts_; }

 private:
  struct RunLog {
    bool started = false;
    std::vector<SideCurve> curves;
    BaseCurve base;
    std::vector<TipSolution> tips;
    bool built = false;
  };
  CurveInput curveInput(const SettlementGeometry& g, int boundLine) const;
  void additionalCurves(const SettlementGeometry& g);
  void definedSettlements(const SettlementGeometry& g, const CurveSet& curves, const SolverGeometry& sg,
                          GeometryResult& result);
  void write(int channel, const Lines& lines);

  Run& run_;
  SettlementSettings settings_;
  SettlementUnits units_;
  DesignChartStore charts_;
  std::vector<std::vector<LoadSettlementRow>> reportCurves_;
  Lines additionalReport_;
  Lines additionalPlot_;
  bool additionalDone_ = false;
  bool modulusWarned_ = false;
  bool tzPlotWritten_ = false;
  RunLog log_;
};

// ---------------------------------------------------------------------------
// Hand-off from the capacity analysis.

// The layers of the profile with their maximum unit side resistance.
std::vector<SettlementLayer> settlementLayers(const ProjectInput& in, const SoilResistance& soil);
// Settings of a run, with the design-chart series: the diameters of the
// series and the lengths from the proposed depth down to the minimum length.
SettlementSettings settlementSettings(const ProjectInput& in, const SoilResistance& soil, const Series& series);

// What the capacity analysis found for its series: every pier with the
// slice profile it was walked on.
struct CapacityHandOff {
  const ProjectInput& input;
  const Series& series;
  const std::vector<PierResult>& piers;
  const std::vector<SliceProfile>& profiles;
};

// Runs the load-settlement analysis of every pier of the series whose tip
// lies in soil (codes 1, 2, 3, 8, 9), and with design charts of every
// (diameter, chart length); the curves of each pier for its plot records.
// A non-zero status (2 or 4) ends the series and becomes the run's status.
// When any pier has bound-line curves, every pier carries three curves (zero
// rows where none were computed), so the plot records keep one layout.
std::vector<LoadSettlementCurves> runLoadSettlement(LoadSettlementAnalysis& analysis, Run& run,
                                                    const CapacityHandOff& h);

}  // namespace pylar::engine
