#pragma once
// Text of the report, run notes and plot-data records of the capacity
// analysis. Every function appends whole lines (without line ends) to a
// Lines list; run_output sends them to their files. Numbers go through the
// fixed-width fields of fortran_format, converted to SI for SI projects.

#include <string>
#include <string_view>
#include <vector>

#include "capacity.h"
#include "messages.h"
#include "project_input.h"
#include "rock_socket.h"
#include "settlement_results.h"
#include "soil_resistance.h"
#include "units.h"

namespace pylar::engine {

// Appends `text` cut at every '\n' (a line per piece, so "\n\nX" is two blank
// lines and X).
void emit(Lines& out, std::string_view text);

// Report units of a project: English working units as they are, SI
// converted back (1 ft = 0.3048 m, 1 kN = 0.1124 ton, ...).
struct ReportUnits {
  bool si = false;
  Real length(Real ft) const;
  Real force(Real tons) const;
  Real volume(Real cuYd) const;
  Real forcePerVolume(Real tonsPerCuYd) const;
  Real stress(Real psf) const;
  Real modulus(Real psi) const;   // lb/in^2 -> kN/m^2
  Real settlement(Real in) const; // in -> m
  const char* lengthWord() const { return si ? "M" : "FT."; }
};

// The title and the note on t-z and q-w curves that open the detail file.
void writeDetailTitle(Lines& out, const ProjectInput& in);
// Sections before the results, in the order written: title, mode line,
// uplift reduction, number of layers, water table, the 2018 method set and
// its scour depth, factors of safety.
void writeReportOpening(Lines& out, const ProjectInput& in);
// The method set of the run and its underline (the report prints it, with the
// scour depth, only for the 2018 set: a 1999 report is as it always was).
void writeMethodsLine(Lines& out, const ProjectInput& in);
// The input values outside their usual ranges, in a warning block.
void writeInputWarnings(Lines& out, const Warnings& warnings);
// "SOIL INFORMATION" heading, the values of one completed layer at its top
// and bottom with their estimate markers, and the footnote on estimates.
void writeSoilHeading(Lines& out);
void writeLayer(Lines& out, const ProjectInput& in, const CompletedLayer& completed, std::size_t i);
// A layer's value in the report: 7X, the label padded to 50 characters, "=",
// E10.3 and the marker.
std::string parameterLine(std::string_view label, Real value, std::string_view marker = {});
// One end of a layer in the report: the soil family of the layer writes its
// values with these lines (SoilBehaviour::writeEnd).
struct LayerReport {
  Lines& out;
  const ProjectInput& in;
  const Layer& layer;
  const LayerEnd& v;          // the completed values at this end
  const EndEstimates& est;    // which of them were estimated
  Real depth;                 // of this end, ft
  ReportUnits u;
  const CompletedLayer* completed = nullptr;  // the whole layer, completed
  std::size_t endIndex = 0;                   // 0 top, 1 bottom

  // 7X, the label padded to 50 characters, "=", E10.3 and the marker.
  void value(std::string_view label, Real value, std::string_view marker = {}) const;
  std::string stressWord() const { return u.si ? "KN/SQ M" : "LB/SQ FT"; }
  std::string lengthWord() const { return u.si ? "M" : "FT"; }
  std::string weightWord() const { return u.si ? "KN/CU M" : "LB/CU FT"; }
  std::string modulusWord() const { return u.si ? "KN/SQ M" : "LB/SQ IN"; }
  Real unitWeight(Real pcf) const;
  // Blow count, unit weight and the layer's maximum load transfer.
  void common() const;
  // The depth of this end.
  void depthLine() const;
  // The beta procedure and its coefficient.
  void beta() const;
};
void writeEstimateFootnote(Lines& out);
// "INPUT DRILLED PYLAR INFORMATION", the length series and design chart
// input, and the "COMPUTATION RESULTS" heading.
void writePierInput(Lines& out, const ProjectInput& in);
// A series longer than its limit.
void writeSeriesLimit(Lines& out, const Series& series);

// Case header of a pier (report and run notes).
void writeCaseHeader(Lines& out, int caseNumber, int lengthNumber, int diameterNumber);
// "DRILLED PYLAR INFORMATION" block; `notesOnly` gives the two lines the run
// notes keep.
void writePierBlock(Lines& out, const ProjectInput& in, const PierGeometry& g, bool notesOnly);
// Legend and the two header lines of the capacity table.
void writeTableHeading(Lines& out, const ProjectInput& in);
std::string capacityRow(const CapacityRow& row, const ReportUnits& u, bool lrfd);
void writePierLength(Lines& out, Real length, const ReportUnits& u);

// Too little soil below the tip: the warning block (report and run notes),
// the run notes' own lines, and the note that ends the table.
void writeShortOfBaseWarning(Lines& out);
void writeShortOfBaseNotes(Lines& out);
void writeShortOfBaseNote(Lines& out);
void writeNeedAnotherLayer(Lines& out);
// What happened to a pier that does not reach the design load within the
// profile, and what to try, in the project's units: "The design load of 200
// tons is not reached by the 3.000 ft pier within the soil profile: its
// largest allowable load is 172.6 tons at 80 ft. Try a larger diameter or a
// deeper profile." (LRFD: "largest factored resistance").
std::string shortfallMessage(const ProjectInput& in, const PierResult& pier);
// The message in lines of at most 75 characters, 3 blanks in, after the
// "NEED ANOTHER SOIL LAYER" line.
void writeShortfall(Lines& out, const std::string& message);

void writeMostEfficient(Lines& out, const PierResult& pier, const ReportUnits& u);
// The list that closes the run notes when the run has warnings: a heading
// with their number, then one line each, "LAYER  n: text" for a warning of a
// layer and "GENERAL: text" for one of no single layer.
void writeRunWarnings(Lines& out, const Warnings& warnings);

// The heading of a rock socket's load-settlement relationship, and its
// two-column table of top load and top movement.
void writeRelationshipHeading(Lines& out);
void writeRockSettlementTable(Lines& out, const RockSocketResult& result, bool si);

// Strong rock of the side-or-base model weaker than 1000 lb/in^2.
void writeWeakStrongRockNote(Lines& out);

// Plot-data records of one pier: NL NP ID2, the two leading rows, the depth
// rows (7 values in two lines) and the load-settlement rows (15 per curve;
// zeros when the curve was not computed).
void writePlotRecords(Lines& out, int curveCount, const std::vector<CapacityRow>& rows, std::size_t rowCount,
                      Real firstDepth, const LoadSettlementCurves& curves, const ReportUnits& u);

}  // namespace pylar::engine
