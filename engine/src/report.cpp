#include "report.h"

#include <algorithm>
#include <cmath>

#include "fortran_format.h"
#include "soil_family.h"
#include "soil_models.h"

namespace pylar::engine {
namespace {

std::string dashes(int n) { return std::string(static_cast<std::size_t>(n), '-'); }
std::string blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }
// A value that is not a finite number never reaches a file.
Real finite(Real v) { return std::isfinite(v) ? v : Real(0); }

// 6X label F9.3 2X unit.
std::string valueLine(std::string_view label, Real value, std::string_view unit) {
  return Line().x(6).text(label).fw(9, 3, finite(value)).x(2).text(unit).str();
}

}  // namespace

void emit(Lines& out, std::string_view text) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    out.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return;
    start = end + 1;
  }
}

Real ReportUnits::length(Real ft) const { return si ? ft / kFeetPerMetre : ft; }
Real ReportUnits::force(Real tons) const { return si ? tons / kTonsPerKN : tons; }
Real ReportUnits::volume(Real cuYd) const { return si ? cuYd / kCuYdPerCuM : cuYd; }
Real ReportUnits::forcePerVolume(Real t) const { return si ? t / kTonsPerCuYdPerKNPerCuM : t; }
Real ReportUnits::stress(Real psf) const { return si ? psf / kPsfPerKPa : psf; }
Real ReportUnits::modulus(Real psi) const { return si ? psi / kPsiPerKPa : psi; }
Real ReportUnits::settlement(Real in) const { return si ? in / kInchesPerMetre : in; }

void writeDetailTitle(Lines& out, const ProjectInput& in) {
  out.emplace_back();
  out.push_back(Line().x(5).text(in.title.substr(0, 72)).str());
  emit(out, "\n     NOTE: TZ AND QW CURVES DATA ARE AVAILABLE ONLY FOR SAND AND CLAY LAYERS.\n\n");
}

void writeReportOpening(Lines& out, const ProjectInput& in) {
  const ReportUnits u{in.si()};
  out.push_back(Line().x(5).text(in.title.substr(0, 72)).str());
  if (in.METHOD == 2) {
    emit(out, "\n\n" + Line().x(5).text("PROPOSED DEPTH =").fw(10, 1, finite(u.length(in.proposedDepth)))
                      .text(in.si() ? " M" : " FT").str() +
                  "\n     ----------------\n\n");
  } else {
    emit(out, "\n\n" + Line().x(5).text("TOTAL LOAD =").fw(10, 1, finite(u.force(in.designLoad)))
                      .text(in.si() ? " KN" : " TONS").str() +
                  "\n     ------------\n\n");
  }
  if (in.KCYCL == 2) {
    emit(out, Line().x(5).text("REDUCTION FACTOR APPLIED FOR UPLIFT FRICTION =").fw(6, 3, finite(in.RCYCL)).str() +
                  "\n     " + dashes(46) + "\n\n");
  }
  emit(out, Line().x(5).text("NUMBER OF LAYERS =").i(5, static_cast<long long>(in.layers.size())).str() +
                "\n     " + dashes(18) + "\n\n");
  emit(out, Line().x(5).text("WATER TABLE DEPTH =").fw(10, 1, finite(u.length(in.waterTable)))
                    .text(in.si() ? " M" : " FT.").str() +
                "\n     " + dashes(19) + "\n\n");
  if (in.gec2018()) {
    writeMethodsLine(out, in);
    if (in.scourDepth > 0)
      out.push_back(Line().x(5).text("SCOUR DEPTH =").fw(10, 1, finite(u.length(in.scourDepth)))
                        .text(in.si() ? " M" : " FT.").str());
    out.emplace_back();
  }
  if (in.NLRFD != 1) {
    out.emplace_back();
    out.push_back(Line().x(5).text("FACTOR OF SAFETY APPLIED TO THE ULTIMATE SIDE FRICTION CAPACITY =")
                      .fw(5, 2, finite(in.FST)).str());
    out.push_back(blanks(5) + dashes(55));
    out.push_back(Line().x(5).text("FACTOR OF SAFETY APPLIED TO THE ULTIMATE BASE CAPACITY =")
                      .fw(5, 2, finite(in.FSB)).str());
    out.push_back(blanks(5) + dashes(54));
  }
}

void writeMethodsLine(Lines& out, const ProjectInput& in) {
  out.push_back("     DESIGN METHODS: " + std::string(methods::methodSetName(in.methods.set)) +
                (in.gec2018() ? " (FHWA GEC-10, FHWA-NHI-18-024, AND AASHTO LRFD 10.8)" : " (FHWA-IF-99-025)"));
  out.push_back(blanks(5) + dashes(14));
}

void writeInputWarnings(Lines& out, const Warnings& warnings) {
  if (warnings.empty()) return;
  emit(out, "\n     *********************WARNING**********************");
  out.push_back("     VALUES OUTSIDE THEIR USUAL RANGES (PLEASE CHECK THE INPUT):");
  for (const Warning& w : warnings) out.push_back("     " + w.text);
}

void writeSoilHeading(Lines& out) { emit(out, "\n\n     SOIL INFORMATION\n     " + dashes(15) + "\n"); }

void writePierInput(Lines& out, const ProjectInput& in) {
  const ReportUnits u{in.si()};
  const char* len = u.lengthWord();
  emit(out, "\n\n     INPUT DRILLED PYLAR INFORMATION\n     " + dashes(30) + "\n");
  out.push_back(valueLine("MINIMUM PYLAR DIAMETER    =", u.length(in.DSTART), len));
  out.push_back(valueLine("MAXIMUM PYLAR DIAMETER    =", u.length(std::max(in.DIALIM, in.DSTART)), len));
  out.push_back(valueLine("RATIO BASE/PYLAR DIAMETER =", in.RATIO, ""));
  out.push_back(valueLine("ANGLE OF BELL             =", in.BELANGL, "DEG."));
  out.push_back(valueLine("IGNORED TOP PORTION       =", u.length(in.TOPLENG), len));
  out.push_back(valueLine("IGNORED BOTTOM PORTION    =", u.length(in.bottomLength), len));
  out.push_back(Line().x(6).text("ELASTIC MODULUS, Ec       =").e(10, 3, finite(u.modulus(in.Ec))).x(1)
                    .text(in.si() ? "KN/SQ M" : "LB/SQ IN").str());
  emit(out, "\n");
  auto seriesLines = [&] {
    out.push_back(valueLine("MAXIMUM PYLAR LENGTH      =", u.length(in.proposedDepth), len));
    out.push_back(valueLine("MINIMUM PYLAR LENGTH      =", u.length(in.PDMIN), len));
    out.push_back(valueLine("PYLAR LENGTH INCREMENT    =", u.length(in.PDINCR), len));
  };
  if (in.IPENT >= 1) {
    emit(out, "\n\n     VARY PYLAR LENGTH FOR INITIAL DIAMETER\n     " + dashes(38));
    seriesLines();
  }
  if (in.IChart >= 1) {
    emit(out, "\n\n     COMPUTATION OF LRFD CHARTS\n     " + dashes(26));
    seriesLines();
    out.push_back(valueLine("DIAMETER INCREMENT        =", u.length(in.DIAMINCR), len));
    out.emplace_back();
    out.push_back(blanks(6) + (in.si() ? "   POINT    SETTLEMENT VALUES, M" : "   POINT    SETTLEMENT VALUES, IN"));
    for (std::size_t k = 0; k < in.PDSETT.size(); ++k)
      out.push_back(Line().x(7).i(5, static_cast<long long>(k + 1)).x(5)
                        .fw(9, 4, finite(u.settlement(in.PDSETT[k]))).str());
  }
  emit(out, "\n\n\n\n     COMPUTATION RESULTS\n     " + dashes(19));
}

void writeSeriesLimit(Lines& out, const Series& series) {
  if (!series.truncated) return;
  out.emplace_back();
  out.push_back(Line().x(5).text("THE SERIES IS LIMITED TO").i(4, series.limit)
                    .text(" PYLARS; THE REST OF THE SERIES IS NOT ANALYZED.").str());
}

void writeCaseHeader(Lines& out, int caseNumber, int lengthNumber, int diameterNumber) {
  emit(out, "\n\n");
  out.push_back(Line().x(5).text("- CASE ANALYZED      : ").i(5, caseNumber).str());
  out.push_back(Line().x(5).text("  VARIATION LENGTH   : ").i(5, lengthNumber).str());
  out.push_back(Line().x(5).text("  VARIATION DIAMETER : ").i(5, diameterNumber).str());
}

void writePierBlock(Lines& out, const ProjectInput& in, const PierGeometry& g, bool notesOnly) {
  const ReportUnits u{in.si()};
  const char* len = u.lengthWord();
  if (!notesOnly) emit(out, "\n\n\n     DRILLED PYLAR INFORMATION\n\n     " + dashes(25) + "\n");
  out.push_back(valueLine("DIAMETER OF STEM          =", u.length(g.stem), len));
  out.push_back(valueLine("DIAMETER OF BASE          =", u.length(g.base), len));
  if (notesOnly) return;
  out.push_back(valueLine("END OF STEM TO BASE       =", u.length(g.bellHeight), len));
  out.push_back(valueLine("ANGLE OF BELL             =", g.belled ? in.BELANGL : 0, "DEG."));
  out.push_back(valueLine("IGNORED TOP PORTION       =", u.length(in.TOPLENG), len));
  out.push_back(valueLine("IGNORED BOTTOM PORTION    =", u.length(in.bottomLength), len));
  // One percent of the stem's cross-section.
  const Real stem = u.length(g.stem);
  const Real steel = 0.01F * kQuarterPi * stem * stem * (in.si() ? 1.0F : kSquareInchesPerSquareFoot);
  out.push_back(valueLine("AREA OF ONE PERCENT STEEL =", steel, in.si() ? "SQ. M" : "SQ.IN."));
  out.push_back(Line().x(6).text("ELASTIC MODULUS, Ec       =").e(10, 3, finite(u.modulus(in.Ec))).x(1)
                    .text(in.si() ? "KN/SQ M" : "LB/SQ IN").str());
  out.push_back(valueLine("VOLUME OF UNDERREAM       =", u.volume(g.bellVolume), in.si() ? "CU. M" : "CU.YDS."));
}

void writeTableHeading(Lines& out, const ProjectInput& in) {
  const bool lrfd = in.NLRFD == 1;
  const bool uplift = in.KCYCL == 2;
  const bool si = in.si();
  if (!lrfd) {
    emit(out, "\n\n\n     PREDICTED RESULTS\n     " + dashes(17) + "\n\n"
              "     QS     = ULTIMATE SIDE RESISTANCE;\n"
              "     QB     = ULTIMATE BASE RESISTANCE;\n"
              "     WT     = WEIGHT OF DRILLED PYLAR (FOR UPLIFT CAPACITY ONLY);\n"
              "     QU     = TOTAL ULTIMATE RESISTANCE;\n"
              "     QBD    = TOTAL ALLOWABLE LOAD USING A FACTOR OF SAFETY\n"
              "              APPLIED TO THE ULTIMATE BASE RESISTANCE;\n"
              "     QDN    = TOTAL ALLOWABLE LOAD USING FACTORS OF SAFETY\n"
              "              APPLIED TO THE ULTIMATE SIDE RESISTANCE AND\n"
              "              THE ULTIMATE BASE RESISTANCE.");
  } else {
    emit(out, "\n\n     PREDICTED RESULTS\n     " + dashes(17) + "\n\n"
              "     QS      = ULTIMATE SIDE RESISTANCE;\n"
              "     QB      = ULTIMATE BASE RESISTANCE;\n"
              "     WT      = WEIGHT OF DRILLED PYLAR (UPLIFT CAPACITY ONLY);\n"
              "     QU      = TOTAL ULTIMATE RESISTANCE;\n"
              "     LRFD QS = TOTAL SIDE FRICTION USING LRFD RESISTANCE FACTOR\n"
              "               TO THE ULTIMATE SIDE RESISTANCE;\n"
              "     LRFD QB = TOTAL BASE BEARING USING LRFD RESISTANCE FACTOR\n"
              "               TO THE ULTIMATE BASE RESISTANCE\n"
              "     LRFD QU = TOTAL CAPACITY WITH LRFD RESISTANCE FACTOR.");
  }
  // Names end two columns before the end of their number fields.
  const char* base = uplift ? "WT" : "QB";
  std::string names = Line().x(5).text("LENGTH").x(2).text("VOLUME").x(5).text("QS").x(6).text(base).x(6).text("QU").str();
  if (!lrfd) {
    names += Line().x(7).text("QBD").x(6).text("QDN").x(6).text("QU/VOLUME").str();
  } else {
    // The English uplift table labels the factored base column with the
    // weight it holds.
    const bool weightColumn = uplift && !si;
    names += Line().x(3).text("LRFD QS").x(weightColumn ? 7 : 2).text(weightColumn ? "WT" : "LRFD QB")
                 .x(4).text("LRFD QU").str();
  }
  const char* f = si ? "( KN )" : "(TONS)";
  std::string units = Line().x(5).text(si ? " ( M )" : " (FT) ").x(2).text(si ? "(CU.M )  " : "(CU.YDS)")
                          .x(si ? 0 : 1).text(f).x(3).text(f).x(2).text(f).x(3).text(f).x(3).text(f).str();
  if (!lrfd && !uplift) units += Line().x(2).text(si ? "( KN /CU.M)" : "(TONS/CU.YDS)").str();
  else if (!lrfd) units += Line().x(2).text(si ? "( KN )" : "(TONS/CU.YDS)").str();
  else units += Line().x(3).text(f).str();
  out.emplace_back();
  out.push_back(names);
  out.push_back(units);
}

std::string capacityRow(const CapacityRow& r, const ReportUnits& u, bool lrfd) {
  const int d = u.si ? 2 : 1;
  const Real c5 = lrfd ? r.lrfdQs : r.qbd;
  const Real c6 = lrfd ? r.lrfdQb : r.qdn;
  const Real c7 = lrfd ? r.lrfdQu : r.quPerVolume;
  Line line;
  // A value too wide for its column widens the row rather than print asterisks.
  line.x(1).fw(8, 1, finite(u.length(r.depth))).x(1).fw(8, d, finite(u.volume(r.volume)))
      .fw(9, d, finite(u.force(r.qs))).fw(9, d, finite(u.force(r.qb))).fw(9, d, finite(u.force(r.qu)))
      .fw(9, d, finite(u.force(c5))).fw(9, d, finite(u.force(c6))).x(1)
      .fw(9, 2, finite(lrfd ? u.force(c7) : u.forcePerVolume(c7)));
  return line.str();
}

void writePierLength(Lines& out, Real length, const ReportUnits& u) {
  out.emplace_back();
  out.push_back(valueLine("PYLAR LENGTH              =", u.length(length), u.si ? "M" : "FT."));
}

void writeShortOfBaseWarning(Lines& out) {
  emit(out, "\n     *********************WARNING**********************\n"
            "     PLEASE PROVIDE THE SOIL DEPTH THAT IS TWO-DIAMETER DEEPER\n"
            "     THAN THE TIP OF DRILLED PYLARS\n");
}

void writeShortOfBaseNotes(Lines& out) {
  out.emplace_back("       INCREASE THE SOIL DEPTH TO GIVE ENOUGH LENGTH FOR");
  out.emplace_back("       COMPUTING THE BASE RESISTANCE- AT LEAST TWO DIAMETER");
}

void writeShortOfBaseNote(Lines& out) {
  out.emplace_back(" NOTE: Please add at least 2-diameter depth to the ");
  out.emplace_back("       soil profile for program to compute the tip");
  out.emplace_back("       resistance at the proposed pylar length.");
}

void writeNeedAnotherLayer(Lines& out) {
  out.emplace_back();
  out.emplace_back("   *********** NEED ANOTHER SOIL LAYER ************");
}

namespace {

// A number with at most `decimals` decimals, without trailing zeros.
std::string plainNumber(Real value, int decimals) {
  std::string text = formatF(40, decimals, finite(value));
  text.erase(0, text.find_first_not_of(' '));
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

std::string trimmedField(int decimals, Real value) {
  std::string text = formatF(40, decimals, finite(value));
  return text.substr(text.find_first_not_of(' '));
}

}  // namespace

std::string shortfallMessage(const ProjectInput& in, const PierResult& pier) {
  const ReportUnits u{in.si()};
  const std::string force = u.si ? " kN" : " tons";
  const std::string length = u.si ? " m" : " ft";
  const bool lrfd = in.NLRFD == 1;
  const Real largest = lrfd ? pier.largest.lrfdQu : pier.largest.qdn;
  return "The design load of " + plainNumber(u.force(in.designLoad), 2) + force + " is not reached by the " +
         trimmedField(3, u.length(pier.stem)) + length + " pier within the soil profile: its largest " +
         (lrfd ? "factored resistance" : "allowable load") + " is " + trimmedField(u.si ? 2 : 1, u.force(largest)) +
         force + " at " + plainNumber(u.length(pier.largest.depth), 3) + length +
         ". Try a larger diameter or a deeper profile.";
}

void writeShortfall(Lines& out, const std::string& message) {
  constexpr std::size_t kWidth = 75;
  std::string line = "  ";
  std::size_t start = 0;
  while (start < message.size()) {
    std::size_t end = message.find(' ', start);
    if (end == std::string::npos) end = message.size();
    const std::string word = message.substr(start, end - start);
    if (line.size() > 2 && line.size() + 1 + word.size() > kWidth) {
      out.push_back(line);
      line = "  ";
    }
    line += ' ' + word;
    start = end + 1;
  }
  if (line.size() > 2) out.push_back(line);
}

void writeMostEfficient(Lines& out, const PierResult& p, const ReportUnits& u) {
  const bool si = u.si;
  emit(out, "\n\n\n THE MOST EFFICIENT PYLAR FOR THIS SOIL PROFILE APPEARS TO BE THE FOLLOWING ONE:\n");
  auto add = [&out](const std::string& line) {
    out.emplace_back();
    out.push_back(line);
  };
  const char* len = si ? "M" : "FT.";
  add(Line().x(1).text(" DIAMETER OF STEM       =").fw(5, 2, finite(u.length(p.stem))).x(1).text(len).str());
  add(Line().x(1).text(" DIAMETER OF BASE       =").fw(5, 2, finite(u.length(p.base))).x(1).text(len).str());
  add(Line().x(1).text(" ESTIMATED PYLAR LENGTH =").fw(5, 0, finite(u.length(p.last.depth))).x(1).text(len).str());
  add(Line().x(1).text(" VOLUME OF CONCRETE     =").fw(7, 2, finite(u.volume(p.last.volume))).x(1)
          .text(si ? "CU.M" : "CU.YDS.").str());
  add(Line().x(1).text(" ULTIMATE LOAD CAPACITY =").fw(10, 2, finite(u.force(p.last.qu))).x(1)
          .text(si ? "KN" : "TONS").str());
  add(Line().x(1).text(" QU/VOLUME OF CONCRETE  =").fw(7, 2, finite(u.forcePerVolume(p.last.quPerVolume))).x(1)
          .text(si ? "KN/CU.M" : "TONS/CU.YD.").str());
}

void writeRunWarnings(Lines& out, const Warnings& warnings) {
  if (warnings.empty()) return;
  out.emplace_back();
  out.emplace_back();
  out.push_back(Line().x(5).text("WARNINGS OF THE RUN:").i(5, static_cast<long long>(warnings.size())).str());
  out.push_back(blanks(5) + dashes(20));
  for (const Warning& w : warnings) {
    Line line;
    line.x(5);
    if (w.layer > 0) line.text("LAYER").i(3, w.layer);
    else line.text("GENERAL");
    out.push_back(line.text(": ").text(w.text).str());
  }
}

void writeRelationshipHeading(Lines& out) {
  out.emplace_back();
  out.emplace_back();
  out.push_back(Line().x(15).text("       LOAD SETTLEMENT RELATIONSHIP      ").str());
  out.push_back(Line().x(15).text("------------------------------------------   ").str());
}

void writeRockSettlementTable(Lines& out, const RockSocketResult& result, bool si) {
  out.emplace_back();
  if (si) {
    out.push_back(Line().x(22).text("TOP  LOAD     TOP MOVEMENT        ").str());
    out.push_back(Line().x(22).text("   kN              M             ").str());
  } else {
    out.push_back(Line().x(22).text("TOP  LOAD     TOP MOVEMENT     ").str());
    out.push_back(Line().x(22).text("   TONS             IN.       ").str());
  }
  for (const RockSocketPoint& p : result.points)
    out.push_back(Line().x(13).e(17, 4, p.topLoad).e(17, 4, p.topMovement).str());
}

void writeWeakStrongRockNote(Lines& out) {
  emit(out, "\n\nROCK WITH COMPRESSIVE STRENGTH LESS THAN 1000 PSI (6894 kPA)\n" + dashes(60) +
                "\nIF THE SETTLEMENT IS LESS THAN 0.4 IN. (10 mm), THE LOAD IS\n"
                "CARRIED ENTIRELY IN SIDE RESISTANCE.  IF THE SETTLEMENT IS\n"
                "GREATER THAN 0.4 IN. (10 MM), THE LOAD IS CARRIED ENTIRELY\n"
                "IN END BEARING.");
}

// Plot-data values: 1X E15.8, eight significant digits, at least the
// report's precision for every value its fields print (F9.2 holds eight
// digits), so that a plot or the workbook reads the report's number.
constexpr int kPlotWidth = 15;
constexpr int kPlotDigits = 8;

void writePlotRecords(Lines& out, int curveCount, const std::vector<CapacityRow>& rows, std::size_t rowCount,
                      Real firstDepth, const LoadSettlementCurves& curves, const ReportUnits& u) {
  const std::size_t count = std::max(rowCount, rows.size());
  out.push_back(Line().i(12, curveCount).i(12, static_cast<long long>(count + 2)).i(12, curves.curveSet()).str());
  out.emplace_back("   0.0  0.0  0.0  0.0  0.0 0.0  0.0  ");
  out.push_back(Line().x(1).e(kPlotWidth, kPlotDigits, finite(u.length(firstDepth))).text("   0.0   0.0  0.0 0.0  0.0  0.0 ").str());
  for (std::size_t i = 0; i < count; ++i) {
    if (rows.empty()) {
      out.push_back(Line().x(1).e(kPlotWidth, kPlotDigits, finite(u.length(firstDepth))).x(1).e(kPlotWidth, kPlotDigits, 0).x(1).e(kPlotWidth, kPlotDigits, 0)
                        .x(1).e(kPlotWidth, kPlotDigits, 0).x(1).e(kPlotWidth, kPlotDigits, 0).str());
      out.push_back(Line().x(1).e(kPlotWidth, kPlotDigits, 0).x(1).e(kPlotWidth, kPlotDigits, 0).str());
      continue;
    }
    // A curve shorter than the count repeats its last row.
    const CapacityRow& r = rows[std::min(i, rows.size() - 1)];
    out.push_back(Line().x(1).e(kPlotWidth, kPlotDigits, finite(u.length(r.depth))).x(1).e(kPlotWidth, kPlotDigits, finite(u.force(r.qs)))
                      .x(1).e(kPlotWidth, kPlotDigits, finite(u.force(r.qb))).x(1).e(kPlotWidth, kPlotDigits, finite(u.force(r.qu)))
                      .x(1).e(kPlotWidth, kPlotDigits, finite(u.force(r.designSide))).str());
    out.push_back(Line().x(1).e(kPlotWidth, kPlotDigits, finite(u.force(r.designBase))).x(1)
                      .e(kPlotWidth, kPlotDigits, finite(u.force(r.designTotal))).str());
  }
  auto curve = [&](const std::vector<LoadSettlementRow>& rows15) {
    for (std::size_t i = 0; i < kLoadSettlementRows; ++i) {
      const LoadSettlementRow r = i < rows15.size() ? rows15[i] : LoadSettlementRow{};
      out.push_back(Line().x(1).e(kPlotWidth, kPlotDigits, finite(r.topLoad)).x(1).e(kPlotWidth, kPlotDigits, finite(r.topMovement))
                        .x(1).e(kPlotWidth, kPlotDigits, finite(r.tipLoad)).x(1).e(kPlotWidth, kPlotDigits, finite(r.tipMovement)).str());
    }
  };
  curve(curves.trend);
  if (curves.curveSet() == 3) {
    curve(curves.upper);
    curve(curves.lower);
  }
}

}  // namespace pylar::engine

namespace pylar::engine {

std::string parameterLine(std::string_view label, Real value, std::string_view marker) {
  std::string padded(label.substr(0, 50));
  padded.resize(50, ' ');
  return Line().x(7).text(padded).text("=").e(10, 3, finite(value)).text(marker).str();
}

void LayerReport::value(std::string_view label, Real number, std::string_view marker) const {
  out.push_back(parameterLine(label, number, marker));
}

Real LayerReport::unitWeight(Real pcf) const { return u.si ? pcf / kPcfPerKNm3 : pcf; }

void LayerReport::common() const {
  value("BLOWS PER FOOT FROM STANDARD PENETRATION TEST", v.blowCount);
  value("SOIL UNIT WEIGHT, " + weightWord(), unitWeight(v.unitWeight));
  value("MAXIMUM LOAD TRANSFER FOR SOIL, " + stressWord(), u.stress(layer.maxSide));
}

void LayerReport::depthLine() const { value("DEPTH, " + lengthWord(), u.length(depth)); }

void LayerReport::beta() const {
  out.push_back(blanks(7) + "SIDE FRICTION PROCEDURE, BETA METHOD");
  value("SKIN FRICTION COEFFICIENT- BETA", v.sideParameter, estimateMarker(est.sideParameter));
}

void writeLayer(Lines& out, const ProjectInput& in, const CompletedLayer& c, std::size_t i) {
  const Layer& layer = in.layers.at(i);
  const int number = static_cast<int>(i + 1);
  const SoilModel& model = soilModel(layer.code);
  // "LAYER NO" ends in column 12 whatever the width of the number.
  out.push_back(Line().x(7 - model.numberWidth).text("LAYER NO").i(model.numberWidth, number).text("----")
                    .text(model.title).str());
  const Real depths[2] = {in.layerTop(i), layer.bottom};
  for (std::size_t e = 0; e < 2; ++e) {
    emit(out, e == 0 ? "\n       AT THE TOP\n" : "       AT THE BOTTOM\n");
    LayerReport end{out, in, layer, c.end[e], c.estimated[e], depths[e], ReportUnits{in.si()}, &c, e};
    model.rules(in).writeEnd(end);
    out.emplace_back();
  }
  if (in.NLRFD == 1) {
    out.push_back(parameterLine("LRFD RESISTANCE FACTOR (SIDE FRICTION)", layer.phiSide));
    out.push_back(parameterLine("LRFD RESISTANCE FACTOR (TIP RESISTANCE)", layer.phiBase));
    out.emplace_back();
  }
  const SoilBehaviour& rules = model.rules(in);
  rules.writeAfterEnds(out, layer, c);
  if (in.gec2018()) rules.writeRules2018(out, in, layer, c);
}

void writeEstimateFootnote(Lines& out) {
  out.push_back("     (*) ESTIMATED BY THE PROGRAM BASED ON OTHER PARAMETERS");
}

}  // namespace pylar::engine
