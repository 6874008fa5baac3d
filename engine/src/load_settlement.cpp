#include "load_settlement.h"

#include <algorithm>
#include <cmath>

#include "fortran_format.h"
#include "capacity.h"
#include "run.h"
#include "soil_models.h"
#include "soil_resistance.h"

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

TipSolution solveTipMovement(const CurveSet& curves, const SolverGeometry& g, Real s, bool keepSegments) {
  TipSolution out;
  const int n = std::clamp(g.segments, 1, kMaxSegments);
  const Real j = g.length / static_cast<Real>(n);
  const Real c = kPiFourDecimals * g.stemDiameter * j;
  const Real tipLoad = baseLoad(curves.base, s);
  Real pb = tipLoad;
  Real wb = s;
  if (keepSegments) out.segments.reserve(static_cast<std::size_t>(n));
  for (int k = 1; k <= n; ++k) {
    const Real mid = g.length - (static_cast<Real>(k) - 0.5F) * j;
    // The side the capacity table credits: segments whose middle lies below
    // the ignored top portion and above the ignored bottom portion.
    const bool carries = mid > g.topIgnored && mid < g.length - g.bottomIgnored;
    const Real ea = g.stiffness.at(mid);
    // A pier without stiffness (no modulus) cannot shorten: nothing finite
    // would come out of the division.
    const Real flexibility = ea > 0 && std::isfinite(ea) ? j / ea : Real(0);
    Real wm = wb, t = 0, dq = 0, pt = pb, wt = wb;
    for (int iteration = 1;; ++iteration) {
      t = carries ? sideTransfer(curves, mid, wm) : Real(0);
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

LoadSettlementAnalysis::LoadSettlementAnalysis(Run& run, SettlementSettings settings)
    : run_(run), settings_(std::move(settings)), units_{settings_.si} {
  if (settings_.designCharts)
    charts_ = DesignChartStore(settings_.settlementsAsEntered, settings_.chartDiametersFt, settings_.chartLengthsFt);
}

void LoadSettlementAnalysis::write(int channel, const Lines& lines) {
  for (const std::string& line : lines) run_.channels.write(channel, line);
}

CurveInput LoadSettlementAnalysis::curveInput(const SettlementGeometry& g, int boundLine) const {
  CurveInput in;
  in.boundLine = boundLine;
  Real top = 0;
  for (const SettlementLayer& l : settings_.layers) {
    const Real topIn = top * kInchesPerFoot, bottomIn = l.bottomFt * kInchesPerFoot;
    in.layers.push_back({l.code, topIn, bottomIn});
    const Real fmax = finiteOrZero(l.maxSideTsf * kPsiPerTsf);
    in.layerProfile.push_back({topIn, fmax});
    in.layerProfile.push_back({bottomIn, fmax});
    top = l.bottomFt;
  }
  in.incrementProfile.reserve(g.unitSide.size());
  for (const SidePoint& p : g.unitSide) in.incrementProfile.push_back({p.depthFt * kInchesPerFoot, p.unitSideTsf * kPsiPerTsf});
  in.stemDiameter = g.stemFt * kInchesPerFoot;
  in.baseDiameter = g.baseFt * kInchesPerFoot;
  in.pierLength = g.lengthFt * kInchesPerFoot;
  in.tipCode = g.tipCode;
  in.ultimateBase = g.ultimateBaseTons * kPoundsPerTon;
  return in;
}

void LoadSettlementAnalysis::additionalCurves(const SettlementGeometry& g) {
  additionalDone_ = true;
  std::vector<SideCurve> byLine[kBoundLines];
  for (int line = kTrendLine; line <= kLowerBound; ++line) {
    const CurveInput in = curveInput(g, line);
    for (std::size_t k = 0; k < settings_.tzDepthsFt.size(); ++k) {
      SideCurve c;
      c.number = static_cast<int>(k + 1);
      c.depth = settings_.tzDepthsFt[k] * kInchesPerFoot;
      // The layer holding the depth; above the first, the first; below the
      // last, the last.
      std::size_t i = 0;
      while (i + 1 < in.layers.size() && c.depth > in.layers[i].bottom) ++i;
      c.code = in.layers.empty() ? kClay : in.layers[i].code;
      if (!ultimateSide(in, c.depth, c.fmax) && line == kTrendLine) {
        // The curve keeps a zero strength; the rest of the analysis goes on.
        const Lines warning = beyondProfileWarning(c.depth, true);
        additionalReport_.insert(additionalReport_.end(), warning.begin(), warning.end());
      }
      c.points = sideCurvePoints(c.code, line, in.stemDiameter, c.fmax);
      byLine[line - 1].push_back(std::move(c));
    }
    writeBoundLineBanner(additionalReport_, line);
    writeTzListing(additionalReport_, byLine[line - 1], units_, true);
  }
  additionalPlot_.clear();
  writeAdditionalTzPlot(additionalPlot_, byLine[0], units_);
}

GeometryResult LoadSettlementAnalysis::analyse(const SettlementGeometry& g) {
  GeometryResult result;
  if (!(settings_.Ec > 0) || !std::isfinite(settings_.Ec)) {
    if (!modulusWarned_) {
      modulusWarned_ = true;
      const Lines message = {"", "     THE ELASTIC MODULUS OF THE CONCRETE, Ec, IS NOT POSITIVE:",
                             "     NO LOAD-SETTLEMENT ANALYSIS IS MADE."};
      write(kChannelReport, message);
      write(kChannelNotes, message);
    }
    return result;
  }
  SolverGeometry sg;
  sg.stemDiameter = g.stemFt * kInchesPerFoot;
  sg.length = g.lengthFt * kInchesPerFoot;
  if (!(sg.stemDiameter > 0) || !(sg.length > 0) || !std::isfinite(sg.stemDiameter) || !std::isfinite(sg.length))
    return result;
  const long segments = g.segments > 0 ? g.segments : std::lround(std::min(g.lengthFt, Real(kMaxSegments)));
  sg.segments = static_cast<int>(std::clamp<long>(segments, 1, kMaxSegments));
  sg.topIgnored = g.topIgnoredFt * kInchesPerFoot;
  sg.bottomIgnored = g.bottomIgnoredFt * kInchesPerFoot;
  const Real baseIn = std::max(g.baseFt, g.stemFt) * kInchesPerFoot;
  sg.stiffness = stiffnessTable(settings_.Ec, sg.stemDiameter, baseIn, sg.length, g.bellHeightFt * kInchesPerFoot);

  const bool firstGeometry = g.diameterIndex == 1 && g.lengthIndex == 1;
  const bool firstLength = g.lengthIndex == 1;
  if (firstGeometry && settings_.additionalCurves && !additionalDone_) additionalCurves(g);

  const auto tips = assumedTipMovements(sg.stemDiameter);
  for (int line = kTrendLine; line <= kLowerBound; ++line) {
    log_ = RunLog{};
    log_.started = true;
    CurveBuild built = buildCurves(curveInput(g, line));
    write(kChannelReport, built.report);
    write(kChannelNotes, built.notes);
    if (built.status != 0) {
      result.status = built.status;
      return result;
    }
    log_.built = true;
    log_.curves = built.set.curves;
    log_.base = built.set.base;

    Lines out;
    if (firstGeometry) {
      writeDetailHead(out, line, g.stemFt, g.lengthFt, units_);
      writeTzListing(out, built.set.curves, units_, true);
      write(kChannelDetail, out);
    }
    if (firstLength) {
      out.clear();
      writeBaseListingHead(out, line, g.diameterIndex, g.stemFt, g.lengthFt, units_);
      writeBaseListing(out, built.set.base, units_);
      write(kChannelQwListing, out);
    }
    if (line == kTrendLine) {
      if (firstGeometry && !tzPlotWritten_) {
        // Additional curves first, then the count and the curves.
        tzPlotWritten_ = true;
        out = additionalPlot_;
        out.push_back(countRecord(static_cast<int>(built.set.curves.size())));
        writeTzPlotCurves(out, built.set.curves, units_);
        write(kChannelTzPlot, out);
      }
      if (firstLength) {
        out.clear();
        writeQwPlotCurve(out, g.diameterIndex, g.stemFt, built.set.base, units_);
        write(kChannelQwPlot, out);
        // Rewritten by every diameter: it ends holding the number of base
        // curves in the plot records.
        if (run_.channels.openWrite(kChannelTzDiam, run_.scratchFile("TZDIAM.DAT"))) {
          run_.channels.write(kChannelTzDiam, countRecord(g.diameterIndex));
          run_.channels.close(kChannelTzDiam);
        }
      }
    }

    std::vector<SettlementRow> rows;
    int unconverged = 0;
    log_.tips.reserve(tips.size());
    for (Real s : tips) {
      TipSolution sol = solveTipMovement(built.set, sg, s, true);
      rows.push_back(sol.row);
      unconverged += sol.unconvergedSegments;
      log_.tips.push_back(std::move(sol));
    }
    if (unconverged > 0)
      run_.channels.write(kChannelNotes, Line().x(5).text("LOAD-SETTLEMENT: MID-SEGMENT MOVEMENT NOT CONVERGED IN")
                                             .i(6, unconverged).text(" SEGMENT(S) AFTER")
                                             .i(4, kMaxSegmentIterations).text(" ITERATIONS").str());
    out.clear();
    writeResultTable(out, line, rows, units_);
    write(kChannelReport, out);
    result.lines[line - 1] = std::move(rows);
    if (line == kTrendLine && settings_.designCharts && !settings_.settlementsIn.empty())
      definedSettlements(g, built.set, sg, result);
  }
  result.curves.trend = reportRows(result.lines[0], units_);
  result.curves.upper = reportRows(result.lines[1], units_);
  result.curves.lower = reportRows(result.lines[2], units_);
  if (g.plotted) {
    reportCurves_.push_back(result.curves.trend);
    reportCurves_.push_back(result.curves.upper);
    reportCurves_.push_back(result.curves.lower);
  }
  return result;
}

void LoadSettlementAnalysis::definedSettlements(const SettlementGeometry& g, const CurveSet& curves,
                                                const SolverGeometry& sg, GeometryResult& result) {
  const std::vector<Real>& settlements = settings_.settlementsIn;
  Lines chart;
  writeChartHeader(chart, static_cast<int>(settlements.size()), std::clamp(sg.segments, 1, kMaxSegments),
                   sg.stemDiameter, sg.length, g.diameterIndex, g.lengthIndex);
  const Real area = kQuarterPi * sg.stemDiameter * sg.stemDiameter;
  int unconverged = 0;
  for (std::size_t k = 0; k < settlements.size(); ++k) {
    const Real s = std::max(Real(0), finiteOrZero(tipMovementForSettlement(result.lines[0], settlements[k])));
    const TipSolution sol = solveTipMovement(curves, sg, s, false);
    unconverged += sol.unconvergedSegments;
    result.defined.push_back(sol.row);
    writeChartSettlement(chart, g.diameterIndex, sg.stemDiameter, s, area);
    writeChartTopSegment(chart, sol.topMidDepth, sol.topMeanLoad, sol.topMidMovement);
    // The chart holds the mean load of the top segment.
    if (g.diameterIndex >= 1 && g.lengthIndex >= 1)
      charts_.set(k, static_cast<std::size_t>(g.diameterIndex - 1), static_cast<std::size_t>(g.lengthIndex - 1),
                  sol.topMeanLoad);
  }
  if (unconverged > 0)
    run_.channels.write(kChannelNotes, Line().x(5).text("DEFINED SETTLEMENTS: MID-SEGMENT MOVEMENT NOT CONVERGED IN")
                                           .i(6, unconverged).text(" SEGMENT(S)").str());
  write(kChannelChart, chart);
  Lines out;
  writeDefinedSettlementTable(out, result.defined, units_);
  write(kChannelReport, out);
}

void LoadSettlementAnalysis::writeCurveSection() {
  Lines out;
  if (!reportCurves_.empty()) writeAxialLoadSettlementSection(out, reportCurves_, settings_.si);
  write(kChannelReport, out);
}

void LoadSettlementAnalysis::writeClosingSections() {
  Lines out;
  if (additionalDone_) {
    writeAdditionalTzHeading(out);
    out.insert(out.end(), additionalReport_.begin(), additionalReport_.end());
  }
  if (settings_.designCharts) writeDesignChartReport(out, charts_, settings_.si);
  write(kChannelReport, out);
}

void LoadSettlementAnalysis::writeChartPlot() {
  if (!settings_.designCharts) return;
  Lines out;
  writeDesignChartPlot(out, charts_, settings_.si);
  write(kChannelPlot, out);
}

void LoadSettlementAnalysis::writeScratchLog() {
  if (!log_.started) return;
  if (!run_.channels.openWrite(kChannelTzData, run_.scratchFile("TZDATA.DAT"))) return;
  Lines out;
  writeTzDataNote(out);
  if (log_.built) {
    writeTzListing(out, log_.curves, units_, false);
    writeBaseListing(out, log_.base, units_);
    for (const TipSolution& t : log_.tips)
      writeTipMovementTable(out, t.row.tipMovement, t.row.tipLoad, t.segments, units_);
  }
  write(kChannelTzData, out);
  run_.channels.close(kChannelTzData);
}

}  // namespace pylar::engine

namespace pylar::engine {
namespace {

// The geometry of a pier of diameter series position V stopping at `lengthFt`.
SettlementGeometry geometryAt(const ProjectInput& in, const PierGeometry& g, const SliceProfile& p, Real lengthFt,
                              int v, int lx) {
  SettlementGeometry s;
  s.stemFt = g.stem;
  s.baseFt = g.belled ? g.base : g.stem;
  s.bellHeightFt = g.belled ? g.bellHeight : 0;
  s.lengthFt = lengthFt;
  s.segments = static_cast<int>(std::clamp(std::lround(lengthFt), 1L, static_cast<long>(kMaxSegments)));
  s.topIgnoredFt = in.TOPLENG;
  s.bottomIgnoredFt = in.bottomLength;
  const auto tip = static_cast<std::size_t>(std::max(0L, std::lround(lengthFt)));
  // The base resistance of the capacity table; in uplift the base carries
  // nothing.
  s.ultimateBaseTons =
      in.KCYCL == 2 || tip == 0 ? Real(0) : weightedBase(p.base, tip - 1, g.base, g.stem);
  const std::size_t tipSlice = std::min(tip == 0 ? 0 : tip - 1, p.layer.empty() ? 0 : p.layer.size() - 1);
  s.tipCode = p.layer.empty() ? 0 : in.layers[p.layer[tipSlice]].code;
  s.diameterIndex = v;
  s.lengthIndex = lx;
  s.unitSide.reserve(p.unitSide.size());
  for (std::size_t z = 0; z < p.unitSide.size(); ++z)
    s.unitSide.push_back({static_cast<Real>(z + 1), p.unitSide[z]});
  return s;
}

}  // namespace

std::vector<SettlementLayer> settlementLayers(const ProjectInput& in, const SoilResistance& soil) {
  std::vector<SettlementLayer> layers;
  for (std::size_t i = 0; i < in.layers.size(); ++i)
    layers.push_back({in.layers[i].code, in.layerTop(i), in.layers[i].bottom, soil.layer(i).maxSideTsf});
  return layers;
}

SettlementSettings settlementSettings(const ProjectInput& in, const SoilResistance& soil, const Series& series) {
  SettlementSettings s = settlementSettings(in, settlementLayers(in, soil));
  if (s.designCharts) {
    s.chartDiametersFt = series.diameters;
    ProjectInput lengths = in;
    lengths.IPENT = 1;
    s.chartLengthsFt = buildSeries(lengths).lengths;
  }
  return s;
}

std::vector<LoadSettlementCurves> runLoadSettlement(LoadSettlementAnalysis& analysis, Run& run,
                                                    const CapacityHandOff& h) {
  const ProjectInput& in = h.input;
  std::vector<LoadSettlementCurves> curves(h.piers.size());
  const bool lengthSeries = !h.series.lengths.empty();
  const bool charts = in.IChart == 1 && !lengthSeries;
  ProjectInput chartInput = in;
  chartInput.IPENT = 1;
  const std::vector<Real> chartLengths = charts ? buildSeries(chartInput).lengths : std::vector<Real>{};
  bool stop = false;
  for (std::size_t k = 0; k < h.piers.size() && k < h.profiles.size() && !stop; ++k) {
    const PierResult& pier = h.piers[k];
    const PierGeometry g = pierGeometry(h.series.diameters[lengthSeries ? 0 : k], in.RATIO, in.BELANGL);
    const int v = lengthSeries ? 1 : static_cast<int>(k + 1);
    std::vector<Real> lengths;
    if (charts) lengths = chartLengths;
    else lengths.push_back(pier.last.depth);
    for (std::size_t lx = 0; lx < lengths.size() && !stop; ++lx) {
      const int lengthIndex = lengthSeries ? static_cast<int>(k + 1) : static_cast<int>(lx + 1);
      SettlementGeometry geometry = geometryAt(in, g, h.profiles[k], lengths[lx], v, lengthIndex);
      geometry.plotted = lx == 0;
      if (!soilModel(geometry.tipCode).soilTip() || !(geometry.lengthFt > 0)) continue;
      GeometryResult r = analysis.analyse(geometry);
      if (r.status != 0) {
        run.status = r.status;
        run.message = "A LOAD-TRANSFER CURVE LIES BEYOND THE EXTENT OF THE INPUT STRENGTH CURVE";
        stop = true;
        break;
      }
      if (lx == 0) curves[k] = std::move(r.curves);
    }
  }
  const bool anyBounds = std::any_of(curves.begin(), curves.end(),
                                     [](const LoadSettlementCurves& c) { return !c.upper.empty(); });
  if (anyBounds)
    for (LoadSettlementCurves& c : curves)
      for (auto* rows : {&c.trend, &c.upper, &c.lower}) rows->resize(kLoadSettlementRows);
  return curves;
}

}  // namespace pylar::engine
