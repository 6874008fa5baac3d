// The one writer of a run: every line of the report, run notes, listings,
// plot records and scratch files that the analysis produces is sent to its
// file here, from the values of the stages, in the order each file reads.
#include "run_output.h"

#include <algorithm>
#include <iterator>

#include "analysis.h"
#include "fortran_format.h"
#include "parallel.h"
#include "report.h"
#include "run.h"
#include "settlement_output.h"
#include "soil_family.h"
#include "soil_models.h"

namespace pylar::engine {
namespace {

constexpr std::size_t kRockMessageWidth = 80;

void put(Run& run, int channel, const Lines& lines) {
  for (const std::string& line : lines) run.channels.write(channel, line);
}

// The first geometry of a series, and the first length of a diameter, carry
// the listings and the t-z and q-w plot records.
bool firstLength(const SettlementGeometry& g) { return g.lengthIndex == 1; }

bool lineSolved(const BoundLineResult& l) { return l.built.status == 0; }

// The additional t-z curves of a bound line as the solver of the first
// geometry, whose stem they take, uses them.
std::vector<SideCurve> additionalAsSolved(const SettlementAnalysis& s, int line) {
  return curvesAsSolved(s.additional->byLine[line - 1], s.geometries.front().solver);
}

// Strong rock of the side-or-base model weaker than 1000 lb/in^2 somewhere.
bool hasWeakStrongRock(const ProjectInput& in) {
  return std::any_of(in.layers.begin(), in.layers.end(),
                     [](const Layer& l) { return soilModel(l.code).behaviour->carriesSideOnly(l); });
}

// ---------------------------------------------------------------------------
// Report and run notes.

void writeSoilSections(Run& run, const Analysis& a) {
  const ProjectInput& in = run.input;
  Lines report;
  writeReportOpening(report, in);
  writeInputWarnings(report, a.inputWarnings);
  writeSoilHeading(report);
  // A layer's warnings follow its values, so that they read as the layer's.
  for (std::size_t i = 0; i < a.soil.layers.size(); ++i) {
    put(run, kChannelNotes, a.soil.messages[i].notes);
    writeLayer(report, in, a.soil.layers[i], i);
    append(report, a.soil.messages[i].report);
  }
  if (a.soil.anyEstimated) writeEstimateFootnote(report);
  writePierInput(report, in);
  put(run, kChannelReport, report);
}

void writePierSection(Run& run, const PierAnalysis& p) {
  const ProjectInput& in = run.input;
  const ReportUnits units{in.si()};
  Lines out;
  writeCaseHeader(out, p.caseNumber, p.lengthNumber, p.diameterNumber);
  Lines notes = out;
  notes.emplace_back();
  writePierBlock(out, in, p.geometry, false);
  writePierBlock(notes, in, p.geometry, true);
  append(out, p.messages.report);
  append(notes, p.messages.notes);
  writeTableHeading(out, in);
  for (const CapacityRow& row : p.result.rows) out.push_back(capacityRow(row, units, in.NLRFD == 1));
  if (p.result.shortOfBase) {
    writeShortOfBaseWarning(out);
    writeShortOfBaseWarning(notes);
    writeShortOfBaseNotes(notes);
    writeShortOfBaseNote(out);
  }
  if (p.designLoadNotReached) {
    for (Lines* lines : {&out, &notes}) {
      writeNeedAnotherLayer(*lines);
      writeShortfall(*lines, p.shortfall);
    }
  }
  writePierLength(out, p.result.last.depth, units);
  writePierLength(notes, p.result.last.depth, units);
  put(run, kChannelReport, out);
  put(run, kChannelNotes, notes);
}

// The report's and run notes' lines of one solved geometry, bound line by
// bound line: the curve warnings, the solver rows and, on the trend line with
// design charts, the defined settlements.
void writeGeometryTables(Run& run, const SettlementSettings& s, const GeometryResult& r) {
  const SettlementUnits u{s.si};
  for (const BoundLineResult& l : r.lines) {
    put(run, kChannelReport, l.built.report);
    put(run, kChannelNotes, l.built.notes);
    if (!lineSolved(l)) return;
    if (l.unconverged > 0)
      run.channels.write(kChannelNotes, Line().x(5).text("LOAD-SETTLEMENT: MID-SEGMENT MOVEMENT NOT CONVERGED IN")
                                            .i(6, l.unconverged).text(" SEGMENT(S) AFTER")
                                            .i(4, kMaxSegmentIterations).text(" ITERATIONS").str());
    Lines out;
    writeResultTable(out, l.boundLine, l.rows, u);
    put(run, kChannelReport, out);
    if (l.boundLine == kTrendLine && s.designCharts && !s.settlementsIn.empty()) {
      if (r.defined.unconverged > 0)
        run.channels.write(kChannelNotes,
                           Line().x(5).text("DEFINED SETTLEMENTS: MID-SEGMENT MOVEMENT NOT CONVERGED IN")
                               .i(6, r.defined.unconverged).text(" SEGMENT(S)").str());
      std::vector<SettlementRow> rows;
      for (const DefinedSettlementPoint& p : r.defined.points) rows.push_back(p.row);
      out.clear();
      writeDefinedSettlementTable(out, rows, u);
      put(run, kChannelReport, out);
    }
  }
}

void writeLoadSettlementTables(Run& run, const SettlementAnalysis& s) {
  if (s.modulusMissing) {
    const Lines message = {"", "     THE ELASTIC MODULUS OF THE CONCRETE, Ec, IS NOT POSITIVE:",
                           "     NO LOAD-SETTLEMENT ANALYSIS IS MADE."};
    put(run, kChannelReport, message);
    put(run, kChannelNotes, message);
  }
  for (const GeometryResult& r : s.geometries)
    if (r.analysed) writeGeometryTables(run, s.settings, r);
}

// The rock-socket messages of the series reach the report through the
// scratch file ROCKMSG.DAT, each line cut to 80 characters.
void writeRockMessages(Run& run, const Analysis& a) {
  Lines messages;
  for (const PierAnalysis& p : a.series.piers) append(messages, p.messages.rockFile);
  const auto file = runFilePath(run.names, RunFileKind::RockMessages);
  if (!run.channels.openWrite(kChannelRockMsgWrite, file)) return;
  put(run, kChannelRockMsgWrite, messages);
  run.channels.close(kChannelRockMsgWrite);
  if (!run.channels.openRead(kChannelRockMsgRead, file)) return;
  while (auto line = run.channels.readLine(kChannelRockMsgRead)) {
    if (line->size() > kRockMessageWidth) line->resize(kRockMessageWidth);
    run.channels.write(kChannelReport, *line);
  }
  run.channels.close(kChannelRockMsgRead);
}

// The sections that close the report: the load-settlement curves of the
// plotted piers, the rock-socket curve, the note on weak strong rock, the
// additional t-z curves and the design-chart tables.
void writeClosingSections(Run& run, const Analysis& a) {
  const SettlementAnalysis& s = a.settlement;
  const SettlementUnits u{s.settings.si};
  Lines out;
  std::vector<std::vector<LoadSettlementRow>> curves;
  for (const GeometryResult& r : s.geometries) {
    if (!r.analysed || r.status != 0 || !r.geometry.plotted) continue;
    curves.push_back(r.curves.trend);
    curves.push_back(r.curves.upper);
    curves.push_back(r.curves.lower);
  }
  // One section: the curves of the piers in soil, then the rock socket's.
  if (a.rockSocket) curves.push_back(a.rockSocket->rows);
  if (!curves.empty()) writeAxialLoadSettlementSection(out, curves, run.input.si());
  if (hasWeakStrongRock(run.input)) writeWeakStrongRockNote(out);
  if (s.additional) {
    writeAdditionalTzHeading(out);
    for (Real depth : s.additional->beyondProfile) append(out, beyondProfileWarning(depth, true));
    for (int line = kTrendLine; line <= kLowerBound; ++line) {
      writeBoundLineBanner(out, line);
      writeTzListing(out, additionalAsSolved(s, line), u, true);
    }
  }
  if (s.settings.designCharts) writeDesignChartReport(out, s.charts, s.settings.si);
  put(run, kChannelReport, out);
}

void writeReportAndNotes(Run& run, const Analysis& a) {
  if (run.input.gec2018()) {
    Lines methods;
    writeMethodsLine(methods, run.input);
    methods.emplace_back();
    put(run, kChannelNotes, methods);
  }
  writeSoilSections(run, a);
  for (const PierAnalysis& p : a.series.piers) writePierSection(run, p);
  const ReportUnits units{run.input.si()};
  Lines closing;
  writeSeriesLimit(closing, a.series.series);
  if (a.series.chosen) writeMostEfficient(closing, a.series.piers[*a.series.chosen].result, units);
  put(run, kChannelReport, closing);
  writeLoadSettlementTables(run, a.settlement);
  if (a.rockSocket) {
    Lines report;
    writeRelationshipHeading(report);
    append(report, a.rockSocket->notes);
    put(run, kChannelReport, report);
    put(run, kChannelNotes, a.rockSocket->notes);
  }
  writeRockMessages(run, a);
  writeClosingSections(run, a);
}

// ---------------------------------------------------------------------------
// Listings and the t-z and q-w plot records.

void writeListings(Run& run, const SettlementAnalysis& s) {
  const SettlementUnits u{s.settings.si};
  Lines additionalPlot;
  if (s.additional) writeAdditionalTzPlot(additionalPlot, additionalAsSolved(s, kTrendLine), u);
  int baseCurves = 0;  // the number of base curves in the .pq8q records
  for (const GeometryResult& r : s.geometries) {
    if (!r.analysed) continue;
    const SettlementGeometry& g = r.geometry;
    // The t-z curves are those of the series' first geometry: the first
    // pier's first length, or, when that pier falls short of the design load
    // and has no load-settlement analysis, the first pier that has one.
    const bool firstGeometry = &r == &s.geometries.front();
    for (const BoundLineResult& l : r.lines) {
      if (!lineSolved(l)) break;
      // The curves as solved go to the listings of the first geometry only.
      const std::vector<SideCurve> curves =
          firstGeometry ? curvesAsSolved(l.built.set.curves, r.solver) : std::vector<SideCurve>{};
      Lines out;
      if (firstGeometry) {
        writeDetailHead(out, l.boundLine, g.stemFt, g.lengthFt, u);
        writeTzListing(out, curves, u, true);
        put(run, kChannelDetail, out);
      }
      if (firstLength(g)) {
        out.clear();
        writeBaseListingHead(out, l.boundLine, g.diameterIndex, g.stemFt, g.lengthFt, u);
        writeBaseListing(out, l.built.set.base, u);
        put(run, kChannelQwListing, out);
      }
      if (l.boundLine != kTrendLine) continue;
      if (firstGeometry) {
        // Additional curves first, then the count and the curves.
        out = additionalPlot;
        out.push_back(countRecord(static_cast<int>(curves.size())));
        writeTzPlotCurves(out, curves, u);
        put(run, kChannelTzPlot, out);
      }
      if (firstLength(g)) {
        out.clear();
        writeQwPlotCurve(out, g.diameterIndex, g.stemFt, l.built.set.base, u);
        put(run, kChannelQwPlot, out);
        // One curve per diameter written: a pier that falls short of the
        // design load has none.
        ++baseCurves;
      }
    }
  }
  // TZDIAM.DAT holds the number of base curves in the plot records.
  if (baseCurves > 0 && run.channels.openWrite(kChannelTzDiam, runFilePath(run.names, RunFileKind::TzDiam))) {
    run.channels.write(kChannelTzDiam, countRecord(baseCurves));
    run.channels.close(kChannelTzDiam);
  }
}

// CHART.DAT: the top segment of every defined settlement of every geometry.
void writeChartLog(Run& run, const SettlementAnalysis& s) {
  if (!s.settings.designCharts || s.settings.settlementsIn.empty()) return;
  for (const GeometryResult& r : s.geometries) {
    if (!r.analysed || r.lines.empty() || !lineSolved(r.lines.front())) continue;
    const SolverGeometry& sg = r.solver;
    const SettlementGeometry& g = r.geometry;
    Lines chart;
    writeChartHeader(chart, static_cast<int>(s.settings.settlementsIn.size()), std::clamp(sg.segments, 1, kMaxSegments),
                     sg.stemDiameter, sg.length, g.diameterIndex, g.lengthIndex);
    const Real area = kQuarterPi * sg.stemDiameter * sg.stemDiameter;
    for (const DefinedSettlementPoint& p : r.defined.points) {
      writeChartSettlement(chart, g.diameterIndex, sg.stemDiameter, p.tipMovement, area);
      writeChartTopSegment(chart, p.topMidDepth, p.topMeanLoad, p.topMidMovement);
    }
    put(run, kChannelChart, chart);
  }
}

// TZDATA.DAT: the curves and every segment of the last solver run.
void writeSolverLog(Run& run, const SettlementAnalysis& s) {
  const GeometryResult* last = nullptr;
  for (const GeometryResult& r : s.geometries)
    if (r.analysed && !r.lines.empty()) last = &r;
  if (!last) return;
  if (!run.channels.openWrite(kChannelTzData, runFilePath(run.names, RunFileKind::TzData))) return;
  const SettlementUnits u{s.settings.si};
  const BoundLineResult& line = last->lines.back();
  Lines out;
  writeTzDataNote(out);
  if (lineSolved(line)) {
    writeTzListing(out, curvesAsSolved(line.built.set.curves, last->solver), u, false);
    writeBaseListing(out, line.built.set.base, u);
    // A table per assumed tip movement, every segment of the pier: the
    // largest text of a run, made on the run's threads.
    const std::vector<TipSolution> tips = tipSolutions(*last, line, run.threads);
    std::vector<Lines> tables(tips.size());
    forEachIndex(tips.size(), run.threads, [&](std::size_t k) {
      writeTipMovementTable(tables[k], tips[k].row.tipMovement, tips[k].row.tipLoad, tips[k].segments, u);
    });
    for (Lines& table : tables) std::move(table.begin(), table.end(), std::back_inserter(out));
  }
  put(run, kChannelTzData, out);
  run.channels.close(kChannelTzData);
}

// ---------------------------------------------------------------------------
// Plot data.

void writePlotData(Run& run, const Analysis& a) {
  const ProjectInput& in = run.input;
  const ReportUnits units{in.si()};
  const std::vector<PierAnalysis>& piers = a.series.piers;
  std::vector<LoadSettlementCurves> curves = a.settlement.curves;
  curves.resize(piers.size());
  if (a.rockSocket) curves[*a.series.chosen].trend = a.rockSocket->rows;
  // The reader takes its row count from the first pier, so the first pier is
  // padded to the longest.
  std::size_t rowCount = 0;
  for (const PierAnalysis& p : piers) rowCount = std::max(rowCount, p.result.rows.size());
  Lines plot;
  for (std::size_t k = 0; k < piers.size(); ++k) {
    const std::vector<CapacityRow>& rows = piers[k].result.rows;
    // The zero row that opens each curve lies at the ignored top portion, but
    // never below the first printed row, so depths never run backwards.
    const Real firstDepth = rows.empty() ? in.TOPLENG : std::min(in.TOPLENG, rows.front().depth);
    writePlotRecords(plot, static_cast<int>(piers.size()), rows, k == 0 ? rowCount : 0, firstDepth, curves[k], units);
  }
  if (a.settlement.settings.designCharts) writeDesignChartPlot(plot, a.settlement.charts, a.settlement.settings.si);
  put(run, kChannelPlot, plot);
}

}  // namespace

void writeAnalysis(Run& run, const Analysis& a) {
  Lines title;
  writeDetailTitle(title, run.input);
  put(run, kChannelDetail, title);
  writeReportAndNotes(run, a);
  writeListings(run, a.settlement);
  writeChartLog(run, a.settlement);
  writePlotData(run, a);
  writeSolverLog(run, a.settlement);
  Lines warnings;
  writeRunWarnings(warnings, a.warnings);
  put(run, kChannelNotes, warnings);
}

}  // namespace pylar::engine
