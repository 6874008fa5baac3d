#include "settlement_output.h"

#include <algorithm>
#include <cmath>

#include "fortran_format.h"
#include "report.h"

namespace pylar::engine {
namespace {

constexpr std::size_t kChartColumns = 7;

Real finite(Real v) { return std::isfinite(v) ? v : Real(0); }

// A free-format real: a blank and E14.7.
Line& listReal(Line& line, Real v) { return line.x(1).e(14, 7, finite(v)); }
// A real of the design-chart plot records: a blank and E15.8, at least the
// precision of the report's chart tables (F9.2 of tons or kN).
Line& plotReal(Line& line, Real v) { return line.x(1).e(15, 8, finite(v)); }

const char* bannerText(int boundLine) {
  switch (boundLine) {
    case kUpperBound: return "RESULT FROM UPPER-BOUND LINE";
    case kLowerBound: return "RESULT FROM LOWER-BOUND LINE";
    default: return "RESULT FROM TREND (AVERAGED) LINE";
  }
}

void resultHeading(Lines& out, const SettlementUnits& u) {
  out.emplace_back();
  out.push_back(Line().x(8).text("TOP  LOAD     TOP MOVEMENT       TIP LOAD  ").x(4).text("TIP  MOVEMENT").str());
  out.push_back(Line().x(11).text(u.forceLabel()).x(13).text(u.movementLabel()).x(14).text(u.forceLabel()).x(12)
                    .text(u.movementLabel()).str());
}

void resultRows(Lines& out, const std::vector<SettlementRow>& rows, const SettlementUnits& u) {
  for (const SettlementRow& r : rows)
    out.push_back(Line().e(17, 4, finite(u.force(r.topLoad))).e(16, 4, finite(u.movement(r.topMovement)))
                      .e(16, 4, finite(u.force(r.tipLoad))).e(16, 4, finite(u.movement(r.tipMovement))).str());
}

void pointRecords(Lines& out, const std::vector<CurvePoint>& points, Real (SettlementUnits::*load)(Real) const,
                  const SettlementUnits& u) {
  for (const CurvePoint& p : points) {
    Line line;
    listReal(line, (u.*load)(p.load));
    listReal(line, u.movement(p.movement));
    out.push_back(line.str());
  }
}

}  // namespace

void writeBoundLineBanner(Lines& out, int boundLine) {
  out.emplace_back();
  out.emplace_back();
  out.push_back(Line().x(8).text(bannerText(boundLine)).str());
}

void writeResultTable(Lines& out, int boundLine, const std::vector<SettlementRow>& rows, const SettlementUnits& u) {
  writeBoundLineBanner(out, boundLine);
  resultHeading(out, u);
  resultRows(out, rows, u);
}

void writeDefinedSettlementTable(Lines& out, const std::vector<SettlementRow>& rows, const SettlementUnits& u) {
  out.emplace_back();
  out.emplace_back();
  out.push_back(Line().x(8).text("RESULT FOR DEFINED SETTLEMENTS ").str());
  resultHeading(out, u);
  resultRows(out, rows, u);
}

void writeAxialLoadSettlementSection(Lines& out, const std::vector<std::vector<LoadSettlementRow>>& curves,
                                     bool si) {
  emit(out, "\n\n\n     AXIAL LOAD VS SETTLEMENT CURVES\n     " + std::string(31, '-'));
  for (const auto& rows : curves) {
    out.emplace_back();
    if (si) {
      out.push_back(std::string(22, ' ') + "TOP  LOAD     TOP MOVEMENT        ");
      out.push_back(std::string(22, ' ') + "   kN              M             ");
    } else {
      out.push_back(std::string(22, ' ') + "TOP  LOAD     TOP MOVEMENT     ");
      out.push_back(std::string(22, ' ') + "   TONS             IN.       ");
    }
    for (const LoadSettlementRow& r : rows)
      out.push_back(Line().x(13).e(17, 4, finite(r.topLoad)).e(17, 4, finite(r.topMovement)).str());
  }
}

void writeTzDataNote(Lines& out) {
  out.push_back(Line().x(5).text("NOTE: TZ CURVE DATA ARE AVAILABLE FOR SAND ").text("AND CLAY LAYERS ONLY.").str());
  out.emplace_back();
  out.emplace_back();
}

void writeTzListing(Lines& out, const std::vector<SideCurve>& curves, const SettlementUnits& u, bool depthInFeet) {
  out.emplace_back();
  out.emplace_back();
  out.push_back(Line().x(8).text("T-Z CURVE   NO. OF   DEPTH TO CURVE   LOAD ").text("TRANSFER   PILE MOVEMENT").str());
  out.push_back(Line().x(11).text("NO.").x(6).text("POINTS").x(8)
                    .text(depthInFeet ? u.feetLabel() : u.lengthLabel()).x(14).text(u.stressLabel()).x(13)
                    .text(u.movementLabel()).str());
  out.emplace_back();
  for (const SideCurve& c : curves) {
    const Real depth = depthInFeet ? u.depthFeet(c.depth) : u.depth(c.depth);
    out.push_back(Line().x(8).i(5, c.number).i(11, static_cast<long long>(c.points.size()))
                      .e(16, 4, finite(depth)).str());
    for (const CurvePoint& p : c.points)
      out.push_back(Line().x(40).e(17, 4, finite(u.stress(p.load))).e(16, 4, finite(u.movement(p.movement))).str());
  }
}

void writeBaseListing(Lines& out, const BaseCurve& base, const SettlementUnits& u) {
  out.emplace_back();
  out.push_back(Line().x(8).text("TIP   LOAD").x(8).text("TIP MOVEMENT").str());
  out.push_back(Line().x(12).text(u.forceLabel()).x(15).text(u.movementLabel()).str());
  out.emplace_back();
  for (const CurvePoint& p : base.points)
    out.push_back(Line().e(18, 4, finite(u.force(p.load))).e(19, 4, finite(u.movement(p.movement))).str());
}

void writeTipMovementTable(Lines& out, Real tipMovement, Real tipLoad, const std::vector<SegmentRecord>& segments,
                           const SettlementUnits& u) {
  out.emplace_back("1");
  emit(out, "\n\n\n" + Line().x(8).text("ASSUMED TIP MOVEMENT").x(8).text("TIP   LOAD").str());
  out.push_back(Line().x(17).text(u.movementLabel()).x(20).text(u.forceLabel()).str());
  out.push_back(Line().e(23, 4, finite(u.movement(tipMovement))).e(23, 4, finite(u.force(tipLoad))).str());
  emit(out, "\n\n\n" + Line().x(5).text("DEPTH   LOAD").x(5).text("LOAD").x(6).text("TOTAL").x(6).text("AVG").x(5)
                         .text("COMP").x(7).text("TOTAL     AVG").str());
  out.push_back(Line().x(11).text("TRANSFER   INCR").x(6).text("LOAD").x(7).text("LOAD").x(4)
                    .text("OF INCR    MVMNT     MVMNT").str());
  out.push_back(Line().x(6).text(u.lengthLabel()).x(3).text(u.stressLabel()).x(8).text(u.forceLabel()).x(7)
                    .text(u.forceLabel()).x(8).text(u.forceLabel()).x(5).text(u.movementLabel()).x(8)
                    .text(u.movementLabel()).x(7).text(u.movementLabel()).str());
  for (const SegmentRecord& s : segments) {
    // The node at the segment's bottom: depth, total load, total movement.
    out.push_back(Line().x(3).fw(7, 2, finite(u.depth(s.bottomDepth))).x(9).x(10)
                      .e(10, 3, finite(u.force(s.bottomLoad))).x(20)
                      .e(10, 3, finite(u.movement(s.bottomMovement))).str());
    // The segment's middle: transfer, increment, mean load, shortening,
    // mid-segment movement.
    out.push_back(Line().x(3).fw(7, 2, finite(u.depth(s.midDepth))).fw(9, 2, finite(u.stress(s.transfer)))
                      .e(10, 3, finite(u.force(s.increment))).x(10).e(10, 3, finite(u.force(s.meanLoad)))
                      .e(10, 3, finite(u.movement(s.compression))).x(10)
                      .e(10, 3, finite(u.movement(s.midMovement))).str());
  }
}

void writePierLines(Lines& out, Real diameterFt, Real lengthFt, const SettlementUnits& u) {
  const char* unit = u.si ? "M" : "FT";
  out.push_back(Line().x(8).text("PYLAR DIAMETER           =").fw(10, 4, finite(u.pierLength(diameterFt))).x(2)
                    .text(unit).str());
  out.push_back(Line().x(8).text("PYLAR LENGTH             =").fw(10, 4, finite(u.pierLength(lengthFt))).x(2)
                    .text(unit).str());
}

void writeDetailHead(Lines& out, int boundLine, Real diameterFt, Real lengthFt, const SettlementUnits& u) {
  if (boundLine == kTrendLine) writePierLines(out, diameterFt, lengthFt, u);
  writeBoundLineBanner(out, boundLine);
}

void writeBaseListingHead(Lines& out, int boundLine, int diameterIndex, Real diameterFt, Real lengthFt,
                          const SettlementUnits& u) {
  if (boundLine == kTrendLine) {
    emit(out, "\n\n\n" + Line().x(8).text("VARIATION DIAMETER       =").i(10, diameterIndex).str());
    writePierLines(out, diameterFt, lengthFt, u);
  }
  writeBoundLineBanner(out, boundLine);
}

std::string countRecord(int count) { return Line().i(8, count).str(); }

void writeTzPlotCurves(Lines& out, const std::vector<SideCurve>& curves, const SettlementUnits& u) {
  for (const SideCurve& c : curves) {
    out.push_back(Line().i(5, c.number).i(5, static_cast<long long>(c.points.size()))
                      .fw(10, 2, finite(u.depthFeet(c.depth))).str());
    pointRecords(out, c.points, &SettlementUnits::stress, u);
  }
}

void writeAdditionalTzPlot(Lines& out, const std::vector<SideCurve>& curves, const SettlementUnits& u) {
  out.push_back(countRecord(static_cast<int>(curves.size())));
  for (const SideCurve& c : curves) {
    out.push_back(Line().x(8).i(5, c.number).i(11, static_cast<long long>(c.points.size()))
                      .e(16, 4, finite(u.depthFeet(c.depth))).str());
    pointRecords(out, c.points, &SettlementUnits::stress, u);
  }
}

void writeQwPlotCurve(Lines& out, int diameterIndex, Real stemFt, const BaseCurve& base, const SettlementUnits& u) {
  out.push_back(Line().i(5, diameterIndex).fw(10, 2, finite(u.pierLength(stemFt)))
                    .i(5, static_cast<long long>(base.points.size())).str());
  pointRecords(out, base.points, &SettlementUnits::force, u);
}

void writeChartHeader(Lines& out, int settlements, int segments, Real diameterIn, Real lengthIn, int diameterIndex,
                      int lengthIndex) {
  Line line;
  line.i(8, settlements).i(8, segments);
  listReal(line, diameterIn);
  listReal(line, lengthIn);
  line.i(8, diameterIndex).i(8, lengthIndex);
  out.push_back(line.str());
}

void writeChartSettlement(Lines& out, int diameterIndex, Real diameterIn, Real tipMovement, Real area) {
  Line line;
  line.i(8, diameterIndex);
  listReal(line, diameterIn);
  listReal(line, tipMovement);
  listReal(line, area);
  out.push_back(line.str());
}

void writeChartTopSegment(Lines& out, Real midDepth, Real meanLoad, Real midMovement) {
  out.push_back(Line().x(3).e(10, 3, finite(midDepth)).x(3).e(10, 3, finite(meanLoad)).x(3)
                    .e(10, 3, finite(midMovement)).str());
}

void writeDesignChartPlot(Lines& out, const DesignChartStore& store, bool si) {
  const SettlementUnits u{si};
  Line counts;
  counts.i(8, static_cast<long long>(store.settlementCount())).i(8, static_cast<long long>(store.diameterCount()))
      .i(8, static_cast<long long>(store.lengthCount()));
  out.push_back(counts.str());
  // English: in and lb; SI: m and kN.
  auto length = [&](Real ft) { return si ? ft * kMetresPerFoot : ft * kInchesPerFoot; };
  auto load = [&](Real lb) { return si ? u.force(lb) : lb; };
  for (std::size_t k = 0; k < store.settlementCount(); ++k) {
    Line m;
    plotReal(m, store.settlements()[k]);
    out.push_back(m.str());
    for (std::size_t v = 0; v < store.diameterCount(); ++v) {
      Line d;
      plotReal(d, length(store.diameters()[v]));
      out.push_back(d.str());
      for (std::size_t lx = 0; lx < store.lengthCount(); ++lx) {
        Line pair;
        plotReal(pair, length(store.lengths()[lx]));
        plotReal(pair, load(store.at(k, v, lx)));
        out.push_back(pair.str());
      }
    }
  }
}

void writeDesignChartReport(Lines& out, const DesignChartStore& store, bool si) {
  const SettlementUnits u{si};
  emit(out, "\n\n\n     DESIGN CHART CURVES\n     -------------------");
  for (std::size_t k = 0; k < store.settlementCount(); ++k) {
    out.emplace_back();
    out.emplace_back();
    Line head;
    head.x(5).text("- SETTLEMENT, ");
    if (si) head.fw(9, 4, finite(store.settlements()[k])).text(" M");
    else head.fw(9, 3, finite(store.settlements()[k])).text(" IN");
    out.push_back(head.str());
    for (std::size_t first = 0; first < store.diameterCount(); first += kChartColumns) {
      const std::size_t last = std::min(store.diameterCount(), first + kChartColumns);
      out.emplace_back();
      out.push_back(Line().x(3).text("LENGTH").x(10).text(si ? "DIAMETER, M" : "DIAMETER, FT").str());
      Line diameters;
      diameters.x(3).text(si ? "  (M) " : " (FT) ");
      for (std::size_t v = first; v < last; ++v) diameters.fw(9, 2, finite(u.pierLength(store.diameters()[v])));
      out.push_back(diameters.str());
      for (std::size_t lx = store.lengthCount(); lx-- > 0;) {
        Line row;
        // A load too wide for its column widens the row rather than print asterisks.
        row.fw(9, 2, finite(u.pierLength(store.lengths()[lx])));
        for (std::size_t v = first; v < last; ++v) row.fw(9, 2, finite(u.force(store.at(k, v, lx))));
        out.push_back(row.str());
      }
    }
  }
}

void writeAdditionalTzHeading(Lines& out) {
  emit(out, "\n\n\n     ADDITIONAL TZ CURVES\n     " + std::string(20, '-'));
}

}  // namespace pylar::engine
