#include "load_settlement.h"

#include <algorithm>
#include <cmath>

#include "parallel.h"

namespace pylar::engine {
namespace {

Real finiteOrZero(Real v) { return std::isfinite(v) ? v : Real(0); }

}  // namespace

std::array<Real, kTipMovements> assumedTipMovements(Real d) {
  Real s13 = 0.01F * d;
  if (s13 < 0.5F) s13 = 0.625F;
  Real s14 = 0.025F * d;
  if (s13 > s14) s14 = 1.25F * s13;
  Real s15 = 0.05F * d;
  if (s14 > s15) s15 = 1.25F * s14;
  return {0.00001F, 0.00005F, 0.0001F, 0.005F, 0.0075F, 0.01F, 0.025F, 0.05F,
          0.075F,   0.1F,     0.25F,   0.5F,   s13,     s14,   s15};
}

Real StiffnessTable::at(Real z) const {
  for (std::size_t k = 1; k < depth.size(); ++k) {
    if (depth[k] > z) {
      if (depth[k] <= depth[k - 1]) return ea[k];
      const Real t = std::max(Real(0), (z - depth[k - 1]) / (depth[k] - depth[k - 1]));
      return ea[k - 1] + t * (ea[k] - ea[k - 1]);
    }
  }
  return ea.back();
}

StiffnessTable stiffnessTable(Real ec, Real stem, Real base, Real length, Real bellHeight) {
  StiffnessTable t;
  const Real stemEa = ec * kQuarterPi * stem * stem;
  // A bell taller than the pier starts at the top.
  t.depth = {0, std::clamp(length - bellHeight, Real(0), std::max(length, Real(0))), length};
  t.ea = {stemEa, stemEa, ec * kQuarterPi * base * base};
  return t;
}

SolverPlan planSolver(const CurveSet& curves, const SolverGeometry& g) {
  SolverPlan plan;
  const int n = std::clamp(g.segments, 1, kMaxSegments);
  const Real j = g.length / static_cast<Real>(n);
  plan.segmentLength = j;
  plan.perimeterLength = kPiFourDecimals * g.stemDiameter * j;
  plan.segments.resize(static_cast<std::size_t>(n));
  // Segments from the tip up locate falling depths: each search starts where
  // the one before ended.
  const bool ordered = depthsInOrder(curves);
  std::size_t hint = curves.byDepth.size();
  for (int k = 1; k <= n; ++k) {
    SegmentPlan& p = plan.segments[static_cast<std::size_t>(k - 1)];
    p.mid = g.length - (static_cast<Real>(k) - 0.5F) * j;
    // The side the capacity table credits: segments whose middle lies below
    // the ignored top portion and above the ignored bottom portion.
    p.carries = p.mid > g.topIgnored && p.mid < g.length - g.bottomIgnored;
    const Real ea = g.stiffness.at(p.mid);
    // A pier without stiffness (no modulus) cannot shorten: nothing finite
    // would come out of the division.
    p.flexibility = ea > 0 && std::isfinite(ea) ? j / ea : Real(0);
    if (p.carries) p.transfer = ordered ? locateSideTransfer(curves, p.mid, hint) : locateSideTransfer(curves, p.mid);
  }
  return plan;
}

TipSolution solveTipMovement(const CurveSet& curves, const SolverGeometry& g, Real s, bool keepSegments) {
  return solveTipMovement(curves, g, planSolver(curves, g), s, keepSegments);
}

TipSolution solveTipMovement(const CurveSet& curves, const SolverGeometry& g, const SolverPlan& plan, Real s,
                             bool keepSegments) {
  TipSolution out;
  const int n = static_cast<int>(plan.segments.size());
  const Real j = plan.segmentLength;
  const Real c = plan.perimeterLength;
  const Real tipLoad = baseLoad(curves.base, s);
  Real pb = tipLoad;
  Real wb = s;
  if (keepSegments) out.segments.reserve(static_cast<std::size_t>(n));
  SideTransferHint hint;  // movements grow up the pier: each reading starts where the last ended
  for (int k = 1; k <= n; ++k) {
    const SegmentPlan& segment = plan.segments[static_cast<std::size_t>(k - 1)];
    const Real mid = segment.mid;
    const bool carries = segment.carries;
    const Real flexibility = segment.flexibility;
    Real wm = wb, t = 0, dq = 0, pt = pb, wt = wb;
    for (int iteration = 1;; ++iteration) {
      t = carries ? sideTransfer(segment.transfer, wm, hint) : Real(0);
      dq = t * c;
      pt = pb + dq;
      wt = wb + (pb + 0.5F * dq) * flexibility;
      const Real next = wb + ((pb + pt) / 2 + pb) * flexibility / 4;
      if (!(std::fabs(next - wm) > kConvergence)) break;
      if (iteration >= kMaxSegmentIterations || !std::isfinite(next)) {
        ++out.unconvergedSegments;
        break;
      }
      wm = next;
    }
    if (keepSegments)
      out.segments.push_back({g.length - static_cast<Real>(k - 1) * j, pb, wb, mid, t, dq, pb + 0.5F * dq,
                              (pb + 0.5F * dq) * flexibility, wm});
    if (k == n) {
      out.topMidDepth = mid;
      out.topMeanLoad = pb + 0.5F * dq;
      out.topMidMovement = wm;
    }
    pb = pt;
    wb = wt;
  }
  out.row = {finiteOrZero(pb), finiteOrZero(wb), finiteOrZero(tipLoad), s};
  return out;
}

Real tipMovementForSettlement(const std::vector<SettlementRow>& rows, Real settlement) {
  if (rows.empty() || !(settlement >= rows.front().topMovement)) return 0;
  const std::size_t last = rows.size() - 1;
  if (settlement > rows[last].topMovement) {
    if (last == 0) return rows[0].tipMovement;
    const SettlementRow& a = rows[last - 1];
    const SettlementRow& b = rows[last];
    if (b.topMovement <= a.topMovement) return b.tipMovement;
    return b.tipMovement + (settlement - b.topMovement) * (b.tipMovement - a.tipMovement) /
                               (b.topMovement - a.topMovement);
  }
  for (std::size_t k = 0; k <= last; ++k) {
    if (rows[k].topMovement == settlement) return rows[k].tipMovement;
    if (rows[k].topMovement > settlement) {
      const SettlementRow& a = rows[k - 1];  // k > 0: settlement >= the first row's
      const SettlementRow& b = rows[k];
      if (b.topMovement <= a.topMovement) return b.tipMovement;
      return a.tipMovement + (settlement - a.topMovement) * (b.tipMovement - a.tipMovement) /
                                 (b.topMovement - a.topMovement);
    }
  }
  return rows[last].tipMovement;
}

SettlementSettings settlementSettings(const ProjectInput& in, const std::vector<SettlementLayer>& layers) {
  SettlementSettings s;
  s.si = in.si();
  s.Ec = in.Ec;
  s.layers = layers;
  s.designCharts = in.IChart == 1;
  s.settlementsIn = in.PDSETT;
  s.settlementsAsEntered = in.settlementsAsEntered;
  s.settlementsAsEntered.resize(s.settlementsIn.size(), 0);
  s.additionalCurves = in.PrintTZCurves == 1;
  s.tzDepthsFt = in.tzDepths;
  return s;
}

CurveInput curveInput(const SettlementSettings& s, const SettlementGeometry& g, int boundLine) {
  CurveInput in;
  in.boundLine = boundLine;
  Real top = 0;
  for (const SettlementLayer& l : s.layers) {
    const Real topIn = top * kInchesPerFoot, bottomIn = l.bottomFt * kInchesPerFoot;
    in.layers.push_back({l.code, topIn, bottomIn});
    const Real fmax = finiteOrZero(l.maxSideTsf * kPsiPerTsf);
    in.layerProfile.push_back({topIn, fmax});
    in.layerProfile.push_back({bottomIn, fmax});
    top = l.bottomFt;
  }
  in.incrementProfile.reserve(g.unitSide.size());
  for (const SidePoint& p : g.unitSide)
    in.incrementProfile.push_back({p.depthFt * kInchesPerFoot, p.unitSideTsf * kPsiPerTsf});
  in.stemDiameter = g.stemFt * kInchesPerFoot;
  in.baseDiameter = g.baseFt * kInchesPerFoot;
  in.pierLength = g.lengthFt * kInchesPerFoot;
  in.tipCode = g.tipCode;
  in.ultimateBase = g.ultimateBaseTons * kPoundsPerTon;
  return in;
}

AdditionalCurves additionalTzCurves(const SettlementSettings& s, const SettlementGeometry& g) {
  AdditionalCurves out;
  for (int line = kTrendLine; line <= kLowerBound; ++line) {
    const CurveInput in = curveInput(s, g, line);
    for (std::size_t k = 0; k < s.tzDepthsFt.size(); ++k) {
      SideCurve c;
      c.number = static_cast<int>(k + 1);
      c.depth = s.tzDepthsFt[k] * kInchesPerFoot;
      // The layer holding the depth; above the first, the first; below the
      // last, the last.
      std::size_t i = 0;
      while (i + 1 < in.layers.size() && c.depth > in.layers[i].bottom) ++i;
      c.code = in.layers.empty() ? kClay : in.layers[i].code;
      // Beyond the profile the curve keeps a zero strength; the rest of the
      // analysis goes on.
      if (!ultimateSide(in, c.depth, c.fmax) && line == kTrendLine) out.beyondProfile.push_back(c.depth);
      c.points = sideCurvePoints(c.code, line, in.stemDiameter, c.fmax);
      out.byLine[line - 1].push_back(std::move(c));
    }
  }
  return out;
}

const std::vector<SettlementRow>& GeometryResult::rows(int boundLine) const {
  static const std::vector<SettlementRow> kNone;
  for (const BoundLineResult& l : lines)
    if (l.boundLine == boundLine) return l.rows;
  return kNone;
}

namespace {

DefinedSettlements definedSettlements(const std::vector<Real>& settlements, const CurveSet& curves,
                                      const SolverGeometry& sg, const SolverPlan& plan,
                                      const std::vector<SettlementRow>& trend) {
  DefinedSettlements out;
  for (Real settlement : settlements) {
    DefinedSettlementPoint p;
    p.tipMovement = std::max(Real(0), finiteOrZero(tipMovementForSettlement(trend, settlement)));
    const TipSolution sol = solveTipMovement(curves, sg, plan, p.tipMovement, false);
    out.unconverged += sol.unconvergedSegments;
    p.row = sol.row;
    p.topMidDepth = sol.topMidDepth;
    p.topMeanLoad = sol.topMeanLoad;
    p.topMidMovement = sol.topMidMovement;
    out.points.push_back(p);
  }
  return out;
}

}  // namespace

GeometryResult analyseGeometry(const SettlementSettings& s, const SettlementGeometry& g) {
  GeometryResult result;
  result.geometry = g;
  SolverGeometry& sg = result.solver;
  sg.stemDiameter = g.stemFt * kInchesPerFoot;
  sg.length = g.lengthFt * kInchesPerFoot;
  if (!(sg.stemDiameter > 0) || !(sg.length > 0) || !std::isfinite(sg.stemDiameter) || !std::isfinite(sg.length))
    return result;
  result.analysed = true;
  const long segments = g.segments > 0 ? g.segments : std::lround(std::min(g.lengthFt, Real(kMaxSegments)));
  sg.segments = static_cast<int>(std::clamp<long>(segments, 1, kMaxSegments));
  sg.topIgnored = g.topIgnoredFt * kInchesPerFoot;
  sg.bottomIgnored = g.bottomIgnoredFt * kInchesPerFoot;
  const Real baseIn = std::max(g.baseFt, g.stemFt) * kInchesPerFoot;
  sg.stiffness = stiffnessTable(s.Ec, sg.stemDiameter, baseIn, sg.length, g.bellHeightFt * kInchesPerFoot);

  const auto tips = assumedTipMovements(sg.stemDiameter);
  for (int line = kTrendLine; line <= kLowerBound; ++line) {
    BoundLineResult& r = result.lines.emplace_back();
    r.boundLine = line;
    r.built = buildCurves(curveInput(s, g, line));
    if (r.built.status != 0) {
      result.status = r.built.status;
      return result;
    }
    const SolverPlan plan = planSolver(r.built.set, sg);
    r.rows.reserve(tips.size());
    for (Real tip : tips) {
      const TipSolution sol = solveTipMovement(r.built.set, sg, plan, tip, false);
      r.rows.push_back(sol.row);
      r.unconverged += sol.unconvergedSegments;
    }
    if (line == kTrendLine && s.designCharts && !s.settlementsIn.empty())
      result.defined = definedSettlements(s.settlementsIn, r.built.set, sg, plan, r.rows);
  }
  const SettlementUnits units{s.si};
  result.curves.trend = reportRows(result.rows(kTrendLine), units);
  result.curves.upper = reportRows(result.rows(kUpperBound), units);
  result.curves.lower = reportRows(result.rows(kLowerBound), units);
  return result;
}

std::vector<SideCurve> curvesAsSolved(const std::vector<SideCurve>& curves, const SolverGeometry& g) {
  std::vector<SideCurve> out = curves;
  for (SideCurve& c : out) {
    const bool inTop = g.topIgnored > 0 && c.depth <= g.topIgnored;
    const bool inBottom = g.bottomIgnored > 0 && c.depth >= g.length - g.bottomIgnored && c.depth <= g.length;
    if (!inTop && !inBottom) continue;
    for (CurvePoint& p : c.points) p.load = 0;
  }
  return out;
}

std::vector<TipSolution> tipSolutions(const GeometryResult& r, const BoundLineResult& line, unsigned threads) {
  if (line.built.status != 0) return {};
  const SolverPlan plan = planSolver(line.built.set, r.solver);
  const auto tips = assumedTipMovements(r.solver.stemDiameter);
  std::vector<TipSolution> out(tips.size());
  forEachIndex(tips.size(), threads,
               [&](std::size_t k) { out[k] = solveTipMovement(line.built.set, r.solver, plan, tips[k], true); });
  return out;
}

}  // namespace pylar::engine
