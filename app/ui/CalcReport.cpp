#include "ui/CalcReport.h"

#include "model/CalcReportData.h"
#include "model/DataUnit.h"
#include "model/DesignSummary.h"
#include "model/PltData.h"
#include "model/ReportFile.h"
#include "model/ReportJob.h"
#include "model/ReportNumbers.h"
#include "model/ReportResults.h"
#include "model/View3dUnit1.h"
#include "model/WholeFile.h"
#include "model/dynlib.h"
#include "ui/PileSide.h"
#include "ui/PlotFile.h"
#include "ui/PlotPainter.h"
#include "ui/ReportPages.h"
#include "ui/TextPages.h"
#include "ui/View3dScene.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <array>

namespace pylar {

namespace {

// An entry's value in plain decimals with its unit, "(*)" after an estimated one.
QString EntryValue(const TReportEntry &entry) {
  const QString value = ReadableEntry(entry.name, entry.value).value;
  return entry.estimated ? value + QStringLiteral("  (*)") : value;
}
QString EntryName(const TReportEntry &entry) { return ReadableEntry(entry.name, entry.value).name; }

std::vector<std::pair<QString, QString>> EntryPairs(const std::vector<TReportEntry> &entries) {
  std::vector<std::pair<QString, QString>> pairs;
  for (const TReportEntry &e : entries) pairs.emplace_back(EntryName(e), EntryValue(e));
  return pairs;
}

QString YesNo(bool yes) { return yes ? QStringLiteral("yes") : QStringLiteral("no"); }

// A heading's unit line: "(FT)" -> "ft".
QString HeadingUnit(const QString &printed) { return ReadableUnit(printed); }

// The results window's series table: one row per pier at its stopping length.
TTable SeriesTable(const TSeriesResults &r) {
  TTable table;
  const QString lengthUnit = r.units.isEmpty() ? QString() : HeadingUnit(r.units[0]);
  table.headings = {QStringLiteral("Case"), QStringLiteral("Stem\n") + lengthUnit, QStringLiteral("Base\n") + lengthUnit,
                    QStringLiteral("Stopping\nlength ") + lengthUnit};
  for (int c = 1; c < r.columns.size(); ++c) table.headings << r.columns[c] + u'\n' + HeadingUnit(r.units.value(c));
  table.headings << QStringLiteral("Notes");
  table.textColumns = 0;
  for (int p = 0; p < static_cast<int>(r.piers.size()); ++p) {
    const TSeriesPier &pier = r.piers[static_cast<std::size_t>(p)];
    QStringList cells{QString::number(pier.caseNumber), pier.stem.text, pier.base.text, pier.length.text};
    for (int c = 1; c < r.columns.size(); ++c)
      cells << (c < static_cast<int>(pier.row.size()) ? PlainDecimal(pier.row[static_cast<std::size_t>(c)].text)
                                                       : QString());
    QStringList notes;
    if (p == r.mostEfficient) notes << QStringLiteral("most efficient");
    if (!pier.complete) notes << QStringLiteral("cut short");
    if (pier.designLoadNotReached) notes << QStringLiteral("design load not reached");
    if (pier.shortOfBase) notes << QStringLiteral("soil below tip too short");
    cells << notes.join(QStringLiteral("; "));
    table.rows.push_back(cells);
    table.bold.push_back(p == r.mostEfficient);
  }
  return table;
}

// The loads of the design charts at the defined settlements, one row per pier.
TTable DefinedSettlementTable(const TSeriesResults &r) {
  TTable table;
  table.textColumns = 0;
  std::vector<std::vector<TDefinedSettlementLoad>> loads;
  std::size_t most = 0, widest = 0;
  for (int p = 0; p < static_cast<int>(r.piers.size()); ++p) {
    loads.push_back(r.DefinedSettlementLoads(p));
    if (loads.back().size() > most) {
      most = loads.back().size();
      widest = loads.size() - 1;
    }
  }
  if (most == 0) return table;
  table.headings = {QStringLiteral("Case"), QStringLiteral("Stem"), QStringLiteral("Length")};
  for (const TDefinedSettlementLoad &load : loads[widest])
    table.headings << QStringLiteral("Load at\n") + load.settlement.text + u' ' + ReadableUnit(load.settlementUnit);
  for (std::size_t p = 0; p < loads.size(); ++p) {
    if (loads[p].empty()) continue;
    const TSeriesPier &pier = r.piers[p];
    QStringList cells{QString::number(pier.caseNumber), pier.stem.text, pier.length.text};
    for (const TDefinedSettlementLoad &load : loads[p]) cells << PlainDecimal(load.load.text);
    table.rows.push_back(cells);
  }
  return table;
}

// The load-settlement curves of a pier as the report prints them, the three
// lines side by side, in plain decimals.
TTable SettlementCurvesTable(const TSeriesResults &r, int pier) {
  TTable table;
  table.textColumns = 0;
  if (pier < 0 || pier >= static_cast<int>(r.settlement.size())) return table;
  const TPierSettlement &lines = r.settlement[static_cast<std::size_t>(pier)];
  const QString names[3] = {QStringLiteral("Trend"), QStringLiteral("Upper bound"), QStringLiteral("Lower bound")};
  const QString load = ReadableUnit(r.loadUnit), settlement = ReadableUnit(r.settlementUnit);
  std::vector<std::size_t> shown;
  std::size_t rows = 0;
  for (std::size_t line = 0; line < 3; ++line) {
    if (lines[line].empty()) continue;
    shown.push_back(line);
    rows = std::max(rows, lines[line].size());
    table.headings << names[line] + QStringLiteral("\nload ") + load
                   << names[line] + QStringLiteral("\nsettlement ") + settlement;
  }
  for (std::size_t row = 0; row < rows; ++row) {
    QStringList cells;
    for (const std::size_t line : shown) {
      const std::vector<TSettlementPoint> &points = lines[line];
      cells << (row < points.size() ? PlainDecimal(points[row].load.text) : QString())
            << (row < points.size() ? PlainDecimal(points[row].settlement.text) : QString());
    }
    table.rows.push_back(cells);
  }
  return table;
}

// Paints a result plot as its window would print it.
TDraw PlotDrawing(TGraphPlot &plot) {
  const PlotRange range = OpenPlotData(plot).range;
  return [&plot, range](QPainter &p, const QRectF &box) {
    PlotTarget target;
    target.area = QRect(0, 0, static_cast<int>(box.width()), static_cast<int>(box.height()));
    target.pxPerInchX = target.pxPerInchY = kReportDpi;
    target.forPrint = true;
    target.drawLegendBox = true;
    p.save();
    p.translate(box.topLeft());
    PaintPlot(p, PlotPictureOf(plot, range), target);
    p.restore();
  };
}

QString UnitSystemName(bool si) {
  return si ? QStringLiteral("SI (kN, m, mm)") : QStringLiteral("English (lb, ft, in, tons)");
}

// An allowable settlement as typed: "1.0 in", "0.75 in", "25 mm".
QString AllowableText(double value, bool si) {
  QString number = QLocale::c().toString(value, 'g', 6);
  if (!si && !number.contains(u'.') && !number.contains(u'e')) number += QStringLiteral(".0");
  return number + (si ? QStringLiteral(" mm") : QStringLiteral(" in"));
}

// The job block: labels and values in two columns, each value on a rule so a
// blank one can be filled in by hand.
void JobBlock(TReportBuilder &b, const std::vector<std::array<QString, 4>> &rows) {
  const QFont label = ReportFont(8.5), value = ReportFont(9.5, true);
  const double h = b.LineHeight(value) * 1.7;
  for (const std::array<QString, 4> &row : rows)
    b.Place(h, [label, value, row](QPainter &p, const QRectF &box) {
      const double base = box.bottom() - 0.3 * box.height();
      const double half = box.width() / 2, gap = 0.03 * box.width();
      for (int side = 0; side < 2; ++side) {
        const QString &name = row[static_cast<std::size_t>(2 * side)];
        if (name.isEmpty()) continue;
        const double left = box.left() + side * half;
        // A pair without a partner takes the whole width.
        const double right = side == 0 && row[2].isEmpty() ? box.right() : left + half - (side == 0 ? gap : 0);
        p.setFont(label);
        p.setPen(Qt::black);
        const double labelWidth = QFontMetricsF(label, p.device()).horizontalAdvance(name + u':') + 2 * kPoint;
        p.drawText(QPointF(left, base), name + u':');
        p.setFont(value);
        const QRectF valueBox(left + labelWidth, box.top(), right - left - labelWidth, base - box.top() + 0.2 * box.height());
        const QString text = QFontMetricsF(value, p.device())
                                 .elidedText(row[static_cast<std::size_t>(2 * side + 1)], Qt::ElideRight,
                                             valueBox.width() - 2 * kPoint);
        p.drawText(QRectF(valueBox.left() + kPoint, box.top(), valueBox.width(), base - box.top() - kPoint),
                   Qt::AlignLeft | Qt::AlignBottom, text);
        p.setPen(QPen(Qt::black, 0.4 * kPoint));
        p.drawLine(QPointF(valueBox.left(), base + kPoint), QPointF(right, base + kPoint));
      }
    });
}

QString CheckText(TCheck check, const char *yes, const char *no) {
  switch (check) {
    case TCheck::Yes: return QString::fromLatin1(yes);
    case TCheck::No: return QString::fromLatin1(no);
    case TCheck::Unknown: break;
  }
  return QStringLiteral("not determined");
}

// Page one: the job, the basis of the design, and the answer to the
// checker's first questions.
void DesignSummaryPages(TReportBuilder &b, const TProgramData &project, const TReportJob &job,
                        const TDesignSummary &s, const TSeriesResults &r, const TReportInputs &inputs,
                        const QString &runDate, const QString &projectPath, const QString &reportPath) {
  b.Paragraph(QStringLiteral("Calculation Report"), 18, true);
  b.Paragraph(QStringLiteral("Axial capacity and load-settlement of a drilled pier: design summary"), 11);
  b.Flow().Space(4 * kPoint);
  JobBlock(b, {{QStringLiteral("Company"), job.Company, QStringLiteral("Project number"), job.ProjectNumber},
               {QStringLiteral("Project"), project.Title, {}, {}},
               {QStringLiteral("Location"), job.Location, QStringLiteral("Revision"), job.Revision},
               {QStringLiteral("Computed by"), job.Engineer, QStringLiteral("Date"), {}},
               {QStringLiteral("Checked by"), job.Checker, QStringLiteral("Date"), {}},
               {QStringLiteral("Date of the run"), runDate, QStringLiteral("Program"),
                QStringLiteral("PYLAR %1").arg(QLatin1String(kProgramVersion))}});
  b.Flow().Space(6 * kPoint);

  const QString loadUnit = s.loadUnit, lengthUnit = s.lengthUnit;
  const QString capacityName = s.lrfd ? QStringLiteral("factored resistance (LRFD QU)")
                                      : QStringLiteral("allowable capacity (QDN)");
  // The same with its article, inside a sentence.
  const QString aCapacity = s.lrfd ? QStringLiteral("a ") + capacityName : QStringLiteral("an ") + capacityName;
  const QString settlementLoad = s.settlementLoadText + u' ' + loadUnit;
  const QString allowable = AllowableText(s.settlement.allowable, s.si);
  const auto settlementText = [&s](std::size_t line) {
    if (!s.settlement.hasCurve[line]) return QStringLiteral("no curve");
    if (!s.settlement.value[line]) return QStringLiteral("beyond the curve (the pier does not reach this load)");
    return SignificantDecimal(*s.settlement.value[line], 3) + u' ' + s.settlement.unit;
  };

  // The answer in one paragraph.
  {
    QStringList answer;
    const TPierCheck *chosen = s.chosen >= 0 ? &s.piers[static_cast<std::size_t>(s.chosen)] : nullptr;
    if (s.designLoad && chosen) {
      answer << QStringLiteral("Design check: the chosen pier (case %1) %2 the design load of %3 %4")
                    .arg(chosen->caseNumber)
                    .arg(chosen->carried == TCheck::Yes ? QStringLiteral("carries")
                         : chosen->carried == TCheck::No ? QStringLiteral("does NOT carry")
                                                          : QStringLiteral("is not shown to carry"))
                    .arg(s.designLoadText, loadUnit) +
                    (chosen->ratio ? QStringLiteral(" (capacity ratio %1)").arg(RatioText(*chosen->ratio)) : QString()) +
                    u'.';
    } else if (chosen) {
      answer << QStringLiteral("Design check: at the proposed length of %1 %2 the chosen pier (case %3) has %4 of %5 %6.")
                    .arg(s.proposedLength, lengthUnit)
                    .arg(chosen->caseNumber)
                    .arg(aCapacity, chosen->capacity, loadUnit);
    }
    if (s.settlement.hasCurve[kTrendLine])
      // Under uplift the top of the pier moves up.
      answer << QStringLiteral("Under %1 it %2 %3 (trend), %4 the allowable settlement of %5.")
                    .arg(settlementLoad, s.uplift ? QStringLiteral("moves") : QStringLiteral("settles"),
                         settlementText(kTrendLine),
                         s.settlement.within == TCheck::Yes ? QStringLiteral("within") : QStringLiteral("MORE THAN"),
                         allowable);
    if (s.designLoad && !s.AllCarried() && !s.piers.empty())
      answer << QStringLiteral("Not every pier of the series carries the design load (see below).");
    if (!answer.isEmpty()) b.Paragraph(answer.join(u' '), 10, true);
  }

  b.Heading(QStringLiteral("Design basis"), 2);
  {
    std::vector<std::pair<QString, QString>> basis;
    if (s.lrfd) {
      basis.emplace_back(QStringLiteral("Method"), QStringLiteral("LRFD (Load Resistance Factor Design), resistance factors of each layer "
                                                           "(section 1)"));
    } else {
      const TReportEntry *side = nullptr, *base = nullptr;
      for (const TReportEntry &e : inputs.project) {
        if (e.name.contains(QStringLiteral("SIDE FRICTION CAPACITY"))) side = &e;
        if (e.name.contains(QStringLiteral("ULTIMATE BASE CAPACITY"))) base = &e;
      }
      basis.emplace_back(QStringLiteral("Method"),
                         QStringLiteral("ASD (Allowable Stress Design), factors of safety %1 on side resistance and "
                                        "%2 on base resistance")
                             .arg(side ? side->value : QStringLiteral("-"), base ? base->value : QStringLiteral("-")));
    }
    {
      // The methods the run used, as its report names them, and the scour it took.
      QString methods = DesignMethodsName(inputs);
      for (const TReportEntry &e : inputs.project)
        if (e.name == QLatin1String("SCOUR DEPTH")) methods += QStringLiteral(", scour depth ") + e.value.toLower();
      basis.emplace_back(QStringLiteral("Design methods"), methods);
    }
    basis.emplace_back(QStringLiteral("Units"), UnitSystemName(s.si));
    basis.emplace_back(QStringLiteral("Loading"), s.uplift ? QStringLiteral("uplift") : QStringLiteral("compression"));
    if (s.designLoad)
      basis.emplace_back(QStringLiteral("Design load"), s.designLoadText + u' ' + loadUnit);
    else if (!s.proposedLength.isEmpty())
      basis.emplace_back(QStringLiteral("Proposed length"), s.proposedLength + u' ' + lengthUnit);
    basis.emplace_back(QStringLiteral("Capacity checked"), capacityName + QStringLiteral(" at the length each pier reached"));
    basis.emplace_back(QStringLiteral("Allowable settlement"), allowable);
    if (s.chosen >= 0) {
      const TPierCheck &c = s.piers[static_cast<std::size_t>(s.chosen)];
      basis.emplace_back(QStringLiteral("Chosen pier"),
                         QStringLiteral("case %1: stem %2 %5, base %3 %5, length %4 %5 (the most efficient pier of "
                                        "the series)")
                             .arg(c.caseNumber)
                             .arg(c.stem, c.base, c.length, lengthUnit));
    }
    b.Pairs(basis);
  }

  b.Heading(s.designLoad ? QStringLiteral("Capacity of each pier against the design load")
                         : QStringLiteral("Capacity of each pier at the proposed length"),
            2);
  {
    TTable table;
    table.textColumns = 0;
    table.headings = {QStringLiteral("Case"), QStringLiteral("Stem\n") + lengthUnit, QStringLiteral("Base\n") + lengthUnit,
                      QStringLiteral("Length\nreached ") + lengthUnit,
                      (s.lrfd ? QStringLiteral("LRFD QU\n") : QStringLiteral("QDN\n")) + loadUnit};
    if (s.designLoad)
      table.headings << QStringLiteral("Design load\n") + loadUnit << QStringLiteral("Ratio") << QStringLiteral("Carried");
    for (std::size_t p = 0; p < s.piers.size(); ++p) {
      const TPierCheck &c = s.piers[p];
      QStringList cells{QString::number(c.caseNumber), c.stem, c.base, c.length, c.capacity};
      if (s.designLoad)
        cells << s.designLoadText << (c.ratio ? RatioText(*c.ratio) : QStringLiteral("-"))
              << CheckText(c.carried, "yes", "NO");
      table.rows.push_back(cells);
      table.bold.push_back(static_cast<int>(p) == s.chosen);
    }
    if (!table.rows.empty()) b.Table(table);
    b.Paragraph(QStringLiteral("Capacities are the report's values at the length each pier reached") +
                    (s.designLoad ? QStringLiteral("; the ratio is the capacity divided by the design load, to two "
                                                   "decimals cut down")
                                  : QString()) +
                    QStringLiteral(". The chosen pier is in bold."),
                7.5);
  }

  b.Heading(QStringLiteral("Settlement of the chosen pier under ") +
                (s.designLoad ? QStringLiteral("the design load") : s.lrfd ? QStringLiteral("its factored resistance")
                                                                          : QStringLiteral("its allowable load")) +
                QStringLiteral(" of ") + settlementLoad,
            2);
  if (s.settlement.hasCurve[kTrendLine]) {
    b.Pairs({{QStringLiteral("Trend line"), settlementText(kTrendLine)},
             {QStringLiteral("Upper-bound line"), settlementText(kUpperLine)},
             {QStringLiteral("Lower-bound line"), settlementText(kLowerLine)},
             {QStringLiteral("Allowable settlement"), allowable},
             {QStringLiteral("Verdict"),
              CheckText(s.settlement.within, "within the allowable settlement (trend line)",
                        "EXCEEDS the allowable settlement (trend line)") +
                  (s.settlement.boundExceeds ? QStringLiteral("; a bound line exceeds it") : QString())}});
    b.Paragraph(QStringLiteral("Settlements are interpolated linearly between the points of the chosen pier's "
                               "load-settlement curves as the report prints them (section 2), from no settlement at "
                               "no load; %1.")
                    .arg(s.si ? QStringLiteral("the report prints them in metres, shown here in millimetres")
                              : QStringLiteral("in inches as the report prints them")),
                7.5);
  } else {
    b.Paragraph(QStringLiteral("Not checked: the report holds no load-settlement curve of the chosen pier."), 9);
  }

  b.Heading(QStringLiteral("Warnings of the run (%1)").arg(s.warnings.size()), 2);
  if (s.warnings.empty())
    b.Paragraph(QStringLiteral("The run gave no warning."), 9);
  {
    std::vector<std::pair<QString, QString>> rows;
    for (const TRunWarning &w : s.warnings)
      rows.emplace_back(w.layer > 0 ? QStringLiteral("Layer %1").arg(w.layer) : QStringLiteral("General"), w.text);
    if (!rows.empty()) b.Pairs(rows);
  }
  if (!s.shortfalls.isEmpty()) {
    b.Heading(QStringLiteral("Piers that do not carry the design load"), 2);
    for (const QString &shortfall : s.shortfalls) b.Paragraph(shortfall, 8.5, true);
  }
  for (const QString &note : s.notes) b.Paragraph(note, 8.5);
  if (!r.problems.isEmpty())
    b.Paragraph(QStringLiteral("Parts of the report could not be read (section 2 lists them)."), 8.5);

  b.Flow().Space(8 * kPoint);
  b.Pairs({{QStringLiteral("Project file"), QDir::toNativeSeparators(projectPath)},
           {QStringLiteral("Report file"), QDir::toNativeSeparators(reportPath)}});
  b.Paragraph(QStringLiteral("Every value is the report's (in plain decimals, with its digits) or a setting of the "
                             "project; (*) marks a value the program estimated. The whole report of the run is the "
                             "appendix."),
              7.5);
}

}  // namespace

QString WriteCalcReport(const QString &pdfPath, const TProgramData &project, TResultPlots plots) {
  return WriteCalcReport(pdfPath, project, std::move(plots),
                         LoadReportJob(QFileInfo(project.FileName).absoluteFilePath()));
}

QString WriteCalcReport(const QString &pdfPath, const TProgramData &project, TResultPlots plots,
                        const TReportJob &job) {
  const QString projectPath = QFileInfo(project.FileName).absoluteFilePath();
  const QString reportPath = RunFileOf(projectPath, engine::RunFileKind::Report);
  const QString notesPath = RunFileOf(projectPath, engine::RunFileKind::RunNotes);
  TTextFile report;
  try {
    report = ReadTextFile(reportPath);
  } catch (const EPylarError &e) {
    return e.message();
  }
  const TSeriesResults results = ReadSeriesResults(report, RunFileOf(projectPath, engine::RunFileKind::PlotData));
  const TReportInputs inputs = ReadReportInputs(report.lines);
  // The run's warnings with their layers as the run notes list them; a run
  // without that list gives the report's warnings of each layer.
  std::vector<TRunWarning> warnings = ReadRunWarnings(notesPath);
  if (warnings.empty())
    for (const TReportSoilLayer &layer : inputs.layers)
      for (const QStringList &warning : layer.warnings) warnings.push_back({layer.number, warning.mid(1).join(u' ')});
  const TDesignSummary summary = BuildDesignSummary(results, inputs, warnings, RunShortfalls(notesPath),
                                                    job.Allowable(results.si ? kUnitsSI : kUnitsEnglish));
  const QString failed = QStringLiteral("The calculation report could not be written: ") + QDir::toNativeSeparators(pdfPath);

  // Written through a temporary file that replaces an earlier report only when complete.
  const QString why = WriteWholeFile(pdfPath, [&](QIODevice &file) {
    QPdfWriter writer(&file);
    writer.setResolution(kReportDpi);
    writer.setTitle(project.Title.isEmpty() ? QFileInfo(projectPath).completeBaseName() : project.Title);
    writer.setCreator(QStringLiteral("PYLAR %1").arg(QLatin1String(kProgramVersion)));
    // Letter for a project in English units, A4 in SI.
    writer.setPageLayout(QPageLayout(QPageSize(ReportPageSize(results.si ? kUnitsSI : kUnitsEnglish)),
                                     QPageLayout::Portrait, QMarginsF(18, 15, 15, 15), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    const QRectF page(QPointF(0, 0), writer.pageLayout().paintRectPixels(kReportDpi).size());
    const double frameLine = PageFrameLine(writer);
    const QRectF body = page.adjusted(0, 2 * frameLine, 0, -2 * frameLine);

    TReportBuilder b(writer, body);
    const QString runDate =
        inputs.date.isEmpty() ? QStringLiteral("not printed in the report") : inputs.date + QStringLiteral(", ") + inputs.time;

    // Page one: the design summary.
    DesignSummaryPages(b, project, job, summary, results, inputs, runDate, projectPath, reportPath);

    // Inputs.
    b.Flow().NewPage();
    b.Heading(QStringLiteral("1  Inputs"), 1);
    b.Heading(QStringLiteral("Project data"), 2);
    b.Pairs(EntryPairs(inputs.project));
    b.Heading(QStringLiteral("Drilled pier"), 2);
    {
      std::vector<std::pair<QString, QString>> pairs = EntryPairs(inputs.pier);
      if (project.IPENT == 1)
        pairs.emplace_back(QStringLiteral("Series"), QStringLiteral("multiple pier lengths of the first diameter"));
      b.Pairs(pairs);
    }
    if (!inputs.charts.empty() || !inputs.settlements.isEmpty()) {
      b.Heading(QStringLiteral("Design charts and defined settlements"), 2);
      std::vector<std::pair<QString, QString>> pairs = EntryPairs(inputs.charts);
      if (!inputs.settlements.isEmpty()) {
        QStringList settlements;
        for (const QString &value : inputs.settlements) settlements << PlainDecimal(value);
        pairs.emplace_back(QStringLiteral("DEFINED SETTLEMENTS"),
                           settlements.join(QStringLiteral(", ")) + u' ' + ReadableUnit(inputs.settlementUnit));
      }
      b.Pairs(pairs);
    }
    b.Heading(QStringLiteral("Options"), 2);
    {
      const QString lengthUnit = ExpandUnitsTemplate(QStringLiteral("L2"), project.fUnits);
      b.Pairs({{QStringLiteral("End bearing in sand"),
                project.IMOD == 1 ? QStringLiteral("linear interpolation from zero at ground to maximum values at 10 "
                                                   "pile diameters; modification factor for tip resistance in sand "
                                                   "applied")
                                  : QStringLiteral("maximum values at any depth")},
               {QStringLiteral("Output increment"), NameNumber(project.PINC) + u' ' + lengthUnit},
               {QStringLiteral("Vertical axis of the plots"),
                project.UseElevation == 1
                    ? QStringLiteral("elevation, top of pier at ") + NameNumber(project.ValElevation) + u' ' + lengthUnit
                    : QStringLiteral("depth")},
               {QStringLiteral("Additional t-z curves printed"), YesNo(project.PrintTZCurves == 1)}});
    }
    b.Heading(QStringLiteral("Soil profile: %1 layer%2").arg(inputs.layers.size()).arg(inputs.layers.size() == 1 ? "" : "s"),
              2);
    for (const TReportSoilLayer &layer : inputs.layers) {
      b.Paragraph(QStringLiteral("Layer %1: %2").arg(layer.number).arg(layer.model), 9.5, true, true);
      TTable table;
      table.headings = {QStringLiteral("Property"), QStringLiteral("At the top"), QStringLiteral("At the bottom")};
      table.textColumns = 1;
      for (const TReportSoilProperty &property : layer.properties) {
        const TReportEntry &named = property.atTop ? property.top : property.bottom;
        table.rows.push_back({EntryName(named), property.atTop ? EntryValue(property.top) : QString(),
                              property.atBottom ? EntryValue(property.bottom) : QString()});
      }
      b.Table(table);
      for (const QStringList &warning : layer.warnings) b.Paragraph(warning.join(u'\n'), 8.5, true);
    }
    if (inputs.estimatedNote) b.Paragraph(QStringLiteral("(*) ESTIMATED BY THE PROGRAM BASED ON OTHER PARAMETERS"), 8.5);

    // Results.
    b.Flow().NewPage();
    b.Heading(QStringLiteral("2  Results"), 1);
    b.Heading(QStringLiteral("Piers of the series at their stopping length"), 2);
    if (results.piers.empty()) {
      b.Paragraph(QStringLiteral("The report holds no pier."));
    } else {
      b.Table(SeriesTable(results));
      if (!results.columns.isEmpty())
        b.Paragraph(QStringLiteral("The capacity columns are those of the report at the pier's stopping length (") +
                        results.columns.join(QStringLiteral(", ")) + QStringLiteral(")."),
                    8);
    }
    if (!results.mostEfficientLines.isEmpty()) {
      b.Heading(QStringLiteral("The most efficient pier (as the report names it)"), 2);
      std::vector<std::pair<QString, QString>> pairs;
      for (const QString &line : results.mostEfficientLines) {
        TReportEntry e;
        if (SplitReportEntry(line, e)) pairs.emplace_back(EntryName(e), EntryValue(e));
      }
      b.Pairs(pairs);
    }
    if (const TTable curves = SettlementCurvesTable(results, results.mostEfficient); !curves.rows.empty()) {
      const TSeriesPier &pier = results.piers[static_cast<std::size_t>(results.mostEfficient)];
      b.Heading(QStringLiteral("Load-settlement curves of the chosen pier (case %1), as the report prints them")
                    .arg(pier.caseNumber),
                2);
      b.Table(curves);
    }
    if (const TTable defined = DefinedSettlementTable(results); !defined.rows.empty()) {
      b.Heading(QStringLiteral("Loads at the defined settlements (design charts)"), 2);
      b.Table(defined);
    }
    if (const std::vector<QStringList> printed = ReportWarnings(report.lines); !printed.empty()) {
      b.Heading(QStringLiteral("Warnings printed in the report (%1)").arg(printed.size()), 2);
      for (const QStringList &warning : printed) b.Paragraph(warning.join(u'\n'), 8.5, true);
    }
    if (!results.problems.isEmpty()) {
      b.Heading(QStringLiteral("What could not be read from the report"), 2);
      for (const QString &problem : results.problems) b.Paragraph(problem, 8.5);
    }

    // Figures.
    b.Flow().NewPage();
    b.Heading(QStringLiteral("3  Figures"), 1);
    {
      // The chosen pier as the report gives it (a design-load project has no
      // length of its own); the project's pier when the report names none.
      TSideViewModel model = BuildSideView(project);
      QString caption = QStringLiteral("Elevation: the pier in its soil profile");
      if (results.mostEfficient >= 0) {
        const TSeriesPier &chosen = results.piers[static_cast<std::size_t>(results.mostEfficient)];
        if (chosen.stem.IsNumber() && chosen.length.IsNumber() && chosen.stem.value > 0 && chosen.length.value > 0) {
          const QString title = model.Title;
          model = BuildSideView({chosen.stem.value, chosen.length.value, model.Shape.Ratio, model.Shape.BellAngle},
                                model.Layers, static_cast<double>(project.WTD), project.fUnits);
          model.Title = title;
          caption = QStringLiteral("Elevation: the chosen pier (case %1) in its soil profile").arg(chosen.caseNumber);
        }
      }
      b.Figure(caption, 0.62, [model](QPainter &p, const QRectF &box) {
        PaintSideView(p, box, model, TSideViewStyle::Paper());
      });
    }
    // The combined plots show the first pier of the series; a plot that draws
    // its own title (a design chart) gets no caption below it.
    const QString first = project.IPENT == 1 ? QStringLiteral(", initial length") : QStringLiteral(", initial diameter");
    const auto figure = [&](TGraphPlot &plot, double share, const QString &more = {}) {
      if (PlotAvailable(plot))
        b.Figure(plot.UserCaption.isEmpty() ? plot.fCaption.trimmed() + more : QString(), share, PlotDrawing(plot));
    };
    b.Flow().NewPage();
    figure(plots.pltCombine, 0.44, first);
    figure(plots.pltCombineD, 0.44, first);
    b.Flow().NewPage();
    figure(plots.pltCombinedSettle, 0.5, first);
    for (TGraphPlot &chart : plots.PltChart) figure(chart, 0.44);
    if (const TScenePicture scene = ReportScenePicture(project, plots); !scene.image.isNull()) {
      const QImage image = scene.image;
      b.Figure(QStringLiteral("3-D View: the pier, the water table and the soil layers") +
                   (PlotAvailable(plots.pltCombine) ? QStringLiteral(", with the ultimate capacity curves") : QString()),
               0.5, [image](QPainter &p, const QRectF &box) {
                 QSizeF size = image.size();
                 size.scale(box.size(), Qt::KeepAspectRatio);
                 const QRectF target(box.left() + (box.width() - size.width()) / 2, box.top(), size.width(), size.height());
                 p.drawImage(target, image);
                 p.setPen(QPen(Qt::black, 0.5 * kPoint));
                 p.drawRect(target);
               });
    } else {
      b.Paragraph(scene.error + QStringLiteral(" The report has no picture of it."), 8.5);
    }

    // The appendix: the engine's whole report in its fixed-width layout.
    b.Flow().NewPage();
    const int appendixStart = b.Flow().PageCount() - (b.Flow().AtTop() ? 1 : 0);
    TTextPagePainter appendix(report.lines, QFileInfo(reportPath).fileName());
    appendix.ShowHeading(false);
    const QFont appendixTitle = ReportFont(14, true);
    const double appendixTitleHeight = QFontMetricsF(appendixTitle, &writer).lineSpacing() * 1.6;
    appendix.Layout(writer, body.adjusted(0, appendixTitleHeight, 0, 0));
    const int pages = appendixStart + appendix.PageCount();

    TPageFrame frame;
    frame.title = project.Title.isEmpty() ? QFileInfo(projectPath).fileName() : project.Title;
    frame.right = job.ProjectNumber.isEmpty() ? QStringLiteral("Calculation Report")
                                              : QStringLiteral("Calculation Report  -  Project ") + job.ProjectNumber;
    frame.footerLeft = QFileInfo(projectPath).fileName() + QStringLiteral("  -  ") + runDate +
                       (job.Revision.isEmpty() ? QString() : QStringLiteral("  -  Revision ") + job.Revision);
    bool ok = true;
    for (int n = 0; n < pages && ok; ++n) {
      if (n > 0) ok = writer.newPage();
      PaintPageFrame(painter, page, frame, n + 1, pages);
      if (n < appendixStart) {
        b.PaintPage(painter, n);
      } else {
        if (n == appendixStart) {
          painter.setFont(appendixTitle);
          painter.drawText(QRectF(body.left(), body.top(), body.width(), appendixTitleHeight),
                           Qt::AlignLeft | Qt::AlignTop,
                           QStringLiteral("Appendix: the report of the run (") + QFileInfo(reportPath).fileName() + u')');
        }
        appendix.PaintPage(painter, n - appendixStart);
      }
    }
    return painter.end() && ok;
  });
  return why.isEmpty() ? QString() : failed + QStringLiteral(": ") + why;
}

TScenePicture ReportScenePicture(const TProgramData &project, TResultPlots &plots) {
  const QSize kSceneSize(1280, 800);
  TView3dOptions options;
  options.ShowUltimateEffects = options.ShowUltimateEffectsValues = PlotAvailable(plots.pltCombine);
  TViewState view = StartView(SceneExtents(SceneProject(project)), kSceneSize);
  view.rotX = -20;
  view.rotY = 12;
  view.zoom *= 0.6;  // the turned scene is wider than the front it was fitted to
  return RenderScene3d(project, plots, options, kSceneSize, &view);
}

}  // namespace pylar
