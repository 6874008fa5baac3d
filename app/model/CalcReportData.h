// What the calculation report takes from a run's report file (.pq8o) besides
// the per-pier results: the date and time of the run, the project data and
// pier information the engine read, the soil profile layer by layer with each
// property at the top and the bottom of the layer, and the design-chart
// settings. Every value is the text the engine printed, a value it estimated
// marked "(*)" as the report marks it. Nothing here computes a number.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace pylar {

// One "NAME = VALUE" line of the report (or "NAME: VALUE", "NAME, VALUE"
// without an equals sign: then `value` may be empty).
struct TReportEntry {
  QString name;
  QString value;  // with its unit, as printed
  bool estimated = false;  // printed with "(*)"
};

// A property of a soil layer, at its top and its bottom (an empty side: the
// report printed it at the other side only, or as a line without a value).
struct TReportSoilProperty {
  QString name;
  TReportEntry top, bottom;
  bool atTop = false, atBottom = false;
};

struct TReportSoilLayer {
  int number = 0;
  QString model;  // "CLAY", "WEAK ROCK", ...
  std::vector<TReportSoilProperty> properties;
  std::vector<QStringList> warnings;  // the report's warnings on the layer, line by line
};

struct TReportInputs {
  QString date, time;                  // of the run, as printed
  std::vector<TReportEntry> project;   // before the soil information
  QString methodSet;                   // "2018" when the report names its design methods; empty: 1999
  std::vector<TReportSoilLayer> layers;
  bool estimatedNote = false;          // the report explains "(*)"
  std::vector<TReportEntry> pier;      // the input pier information
  std::vector<TReportEntry> charts;    // lengths and increments of the design charts
  QString settlementUnit;              // "IN" or "M"
  QStringList settlements;             // the defined settlements of the design charts
};

// Reads the inputs part of a report (its lines without line ends). Lines it
// does not know are skipped; a report without a part leaves it empty.
TReportInputs ReadReportInputs(const QStringList &lines);

// The design methods of a report's run as page one of the calculation report
// names them: "FHWA GEC-10 (2018)" or "FHWA-IF-99-025 (1999)".
QString DesignMethodsName(const TReportInputs &inputs);

// Every warning the report prints: the "WARNING" line's text and the lines
// that follow it up to a blank line or the next layer, each trimmed.
std::vector<QStringList> ReportWarnings(const QStringList &lines);

// The date and time of the run a report file prints near its top ("March 05,
// 2024, 09:07:03"); empty when the file or the line is missing.
QString ReportRunDate(const QString &reportFile);

// A report line split into an entry; false for a line that is not one.
bool SplitReportEntry(const QString &line, TReportEntry &entry);

}  // namespace pylar
