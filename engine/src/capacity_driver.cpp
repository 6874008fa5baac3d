// The capacity analysis of a run: completes the soil parameters, walks every
// pier of the series down the profile, writes the report sections, run notes
// and plot-data records, and hands the chosen pier on to the load-settlement
// analysis.
#include <algorithm>
#include <cmath>
#include <sstream>

#include "capacity.h"
#include "channels.h"
#include "fortran_format.h"
#include "igm_resistance.h"
#include "load_settlement.h"
#include "report.h"
#include "rock_socket.h"
#include "run.h"
#include "settlement_output.h"
#include "soil_models.h"
#include "soil_resistance.h"

namespace pylar::engine {
namespace {

constexpr std::size_t kRockMessageWidth = 80;

void put(Run& run, int channel, const Lines& lines) {
  for (const std::string& line : lines) run.channels.write(channel, line);
}

// Moves what a message stream holds (CRLF-ended lines) to a channel.
void drain(Run& run, int channel, std::ostringstream& stream) {
  const std::string text = stream.str();
  stream.str({});
  for (const std::string& line : splitLines(text)) run.channels.write(channel, line);
}

// The layer holding each slice z = 1..depth: layer bottoms rounded to whole
// feet; a layer whose rounded bottom does not pass the one above holds none.
std::vector<std::size_t> sliceLayers(const ProjectInput& in) {
  const int depth = roundedDepth(in.layers.back().bottom);
  std::vector<std::size_t> layers;
  layers.reserve(static_cast<std::size_t>(depth));
  std::size_t i = 0;
  for (int z = 1; z <= depth; ++z) {
    while (i + 1 < in.layers.size() && z > roundedDepth(in.layers[i].bottom)) ++i;
    layers.push_back(i);
  }
  return layers;
}

// What the soil gives at every depth for one pier.
SliceProfile buildProfile(SoilResistance& soil, const std::vector<std::size_t>& layers, const PierGeometry& g,
                          WeakRockRunState& rock, const MessageSinks& sinks) {
  const ProjectInput& in = soil.input();
  SliceProfile p;
  for (std::size_t k = 0; k < layers.size(); ++k) {
    const std::size_t i = layers[k];
    const Layer& layer = in.layers[i];
    const Real z = static_cast<Real>(k + 1);
    // The walk reaches each slice with the tip at the slice's own depth.
    const SliceResistance s = soil.slice(i, z, z, rock, sinks);
    const Real diameter = soilModel(layer.code).rockSocket && s.socketDiameter > 0 ? s.socketDiameter : g.stem;
    const Real side = s.unitSide * kPi * diameter;  // tons, over 1 ft
    BaseResistance b = s.hasBase ? s.base : soil.baseResistance(i, z, g.base);
    Real base = b.load;
    const Real maxBase = soil.layer(i).maxBaseTsf;
    if (maxBase > 5.0e-8F && b.area > 0) base = std::min(base, maxBase * b.area);
    p.side.push_back(std::isfinite(side) ? side : 0);
    p.unitSide.push_back(std::isfinite(s.unitSide) ? s.unitSide : 0);
    p.lrfdSide.push_back(std::isfinite(side * layer.phiSide) ? side * layer.phiSide : 0);
    p.base.push_back(std::isfinite(base) ? std::max(base, Real(0)) : 0);
    p.layer.push_back(i);
  }
  return p;
}

// Strong rock of the side-or-base model weaker than 1000 lb/in^2 somewhere.
bool hasWeakStrongRock(const ProjectInput& in) {
  return std::any_of(in.layers.begin(), in.layers.end(), [](const Layer& l) {
    return l.code == kStrongRockSideOrBase && (l.top().rockStrength <= kSideOrBaseRockLimit || l.bot().rockStrength <= kSideOrBaseRockLimit);
  });
}

// Copies the rock-socket messages of the run into the report through the
// scratch file ROCKMSG.DAT, each line cut to 80 characters.
void copyRockMessages(Run& run, std::ostringstream& messages) {
  const auto file = run.scratchFile("ROCKMSG.DAT");
  if (!run.channels.openWrite(kChannelRockMsgWrite, file)) return;
  drain(run, kChannelRockMsgWrite, messages);
  run.channels.close(kChannelRockMsgWrite);
  if (!run.channels.openRead(kChannelRockMsgRead, file)) return;
  while (auto line = run.channels.readLine(kChannelRockMsgRead)) {
    if (line->size() > kRockMessageWidth) line->resize(kRockMessageWidth);
    run.channels.write(kChannelReport, *line);
  }
  run.channels.close(kChannelRockMsgRead);
}

}  // namespace

void runCapacity(Run& run) {
  const ProjectInput& in = run.input;
  const std::string problem = checkCapacityInput(in);
  if (!problem.empty()) {
    run.fail(kStatusBadInput, problem);
    return;
  }
  const ReportUnits units{in.si()};
  const bool lrfd = in.NLRFD == 1;

  Lines report;
  writeDetailTitle(report, in);
  put(run, kChannelDetail, report);
  report.clear();
  writeReportOpening(report, in);
  writeSoilHeading(report);
  put(run, kChannelReport, report);

  std::ostringstream reportMessages, notesMessages, rockMessages;
  const MessageSinks sinks{reportMessages, notesMessages, rockMessages};
  SoilResistance soil(in);
  bool anyEstimated = false;
  for (std::size_t i = 0; i < in.layers.size(); ++i) {
    soil.completeLayer(i, reportMessages, notesMessages);
    drain(run, kChannelReport, reportMessages);
    drain(run, kChannelNotes, notesMessages);
    Lines layer;
    writeLayer(layer, in, soil, i);
    put(run, kChannelReport, layer);
    anyEstimated = anyEstimated || soil.layer(i).anyEstimated();
  }
  report.clear();
  if (anyEstimated) writeEstimateFootnote(report);
  writePierInput(report, in);
  put(run, kChannelReport, report);

  DesignFactors factors;
  factors.lrfd = lrfd;
  factors.uplift = in.KCYCL == 2;
  factors.FST = in.FST;
  factors.FSB = in.FSB;
  for (const Layer& l : in.layers) factors.phiBase.push_back(l.phiBase);
  WalkSettings settings;
  settings.topIgnored = in.TOPLENG;
  settings.bottomIgnored = in.bottomLength;
  settings.printIncrement = in.printIncrement;
  settings.waterTable = in.waterTable;

  const Series series = buildSeries(in);
  const std::vector<std::size_t> layers = sliceLayers(in);
  WeakRockRunState rock;
  std::vector<PierResult> piers;
  std::vector<SliceProfile> profiles;
  bool failed = false;
  for (std::size_t k = 0; k < series.pierCount() && !failed; ++k) {
    const bool lengthSeries = !series.lengths.empty();
    const PierGeometry g = pierGeometry(series.diameters[lengthSeries ? 0 : k], in.RATIO, in.BELANGL);
    // The walk evaluates every slice with the tip at that slice; its messages
    // are those of tips the pier does not stop at, so they are dropped and
    // the slices down to the stopping depth are evaluated again for the
    // messages of the pier as it stands.
    std::ostringstream dropped;
    rock.resetForPier();
    const SliceProfile profile = buildProfile(soil, layers, g, rock, MessageSinks{dropped, dropped, dropped});
    WalkSettings s = settings;
    if (lengthSeries) s.tipDepth = series.lengths[k];
    else if (in.METHOD == 2) s.tipDepth = in.proposedDepth;
    else s.designLoad = in.designLoad;
    PierResult pier = walkPier(profile, g, factors, s);
    rock.resetForPier();
    const auto tip = static_cast<std::size_t>(std::max(pier.last.depth, Real(0)));
    for (std::size_t z = 1; z <= tip && z <= layers.size(); ++z)
      soil.slice(layers[z - 1], static_cast<Real>(z), pier.last.depth, rock, sinks);

    const int number = static_cast<int>(k + 1);
    Lines out, notes;
    writeCaseHeader(out, number, lengthSeries ? number : 1, lengthSeries ? 1 : number);
    notes = out;
    notes.emplace_back();
    writePierBlock(out, in, g, false);
    writePierBlock(notes, in, g, true);
    put(run, kChannelReport, out);
    put(run, kChannelNotes, notes);
    out.clear();
    notes.clear();
    drain(run, kChannelReport, reportMessages);
    drain(run, kChannelNotes, notesMessages);
    writeTableHeading(out, in);
    const bool short2d = pier.shortOfBase;
    for (const CapacityRow& row : pier.rows) out.push_back(capacityRow(row, units, lrfd));
    if (short2d) {
      writeShortOfBaseWarning(out);
      writeShortOfBaseWarning(notes);
      writeShortOfBaseNotes(notes);
      writeShortOfBaseNote(out);
    }
    if (s.designLoad && !pier.reachedLoad) {
      writeNeedAnotherLayer(out);
      writeNeedAnotherLayer(notes);
      failed = true;
    }
    writePierLength(out, pier.last.depth, units);
    writePierLength(notes, pier.last.depth, units);
    put(run, kChannelReport, out);
    put(run, kChannelNotes, notes);
    piers.push_back(std::move(pier));
    profiles.push_back(profile);
  }
  if (failed) {
    run.status = kStatusDesignLoadNotReached;
    run.message = "NEED ANOTHER SOIL LAYER: THE DESIGN LOAD IS NOT REACHED WITHIN THE SOIL PROFILE";
  }
  Lines closing;
  writeSeriesLimit(closing, series);
  std::optional<std::size_t> chosen;
  if (!failed) chosen = mostEfficientPier(piers);
  if (chosen) writeMostEfficient(closing, piers[*chosen], units);
  put(run, kChannelReport, closing);

  // Hand-off to the load-settlement analysis: every pier of the series.
  LoadSettlementAnalysis settlement(run, settlementSettings(in, soil, series));
  std::vector<LoadSettlementCurves> curves(piers.size());
  if (!failed) curves = runLoadSettlement(settlement, run, CapacityHandOff{in, series, piers, profiles});
  std::vector<std::vector<LoadSettlementRow>> rockCurve;
  if (chosen && run.status == kStatusCompleted) {
    const PierResult& pier = piers[*chosen];
    if (pier.tipLayer < in.layers.size() && isRockSocketModel(in.layers[pier.tipLayer].code)) {
      // A tip in rock: the rock-socket relationship of the chosen pier
      // instead of the soil solver.
      RockSocketRun rs = runRockSocketRelationship(in, profiles[*chosen], pier);
      put(run, kChannelReport, rs.report);
      put(run, kChannelNotes, rs.notes);
      curves[*chosen].trend = rs.rows;
      rockCurve.push_back(std::move(rs.rows));
    }
  }

  copyRockMessages(run, rockMessages);
  settlement.writeCurveSection();
  if (!rockCurve.empty()) {
    Lines section;
    writeAxialLoadSettlementSection(section, rockCurve, in.si());
    put(run, kChannelReport, section);
  }
  if (hasWeakStrongRock(in)) {
    Lines note;
    writeWeakStrongRockNote(note);
    put(run, kChannelReport, note);
  }
  settlement.writeClosingSections();

  // Plot-data records: the reader takes its row count from the first pier,
  // so the first pier is padded to the longest.
  std::size_t rowCount = 0;
  for (const PierResult& p : piers) rowCount = std::max(rowCount, p.rows.size());
  Lines plot;
  for (std::size_t k = 0; k < piers.size(); ++k) {
    // The zero row that opens each curve lies at the ignored top portion, but
    // never below the first printed row, so depths never run backwards.
    const Real firstDepth = piers[k].rows.empty() ? in.TOPLENG : std::min(in.TOPLENG, piers[k].rows.front().depth);
    writePlotRecords(plot, static_cast<int>(piers.size()), piers[k].rows, k == 0 ? rowCount : 0, firstDepth,
                     curves[k], units);
  }
  put(run, kChannelPlot, plot);
  settlement.writeChartPlot();
  settlement.writeScratchLog();
}

}  // namespace pylar::engine
