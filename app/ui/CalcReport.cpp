#include "ui/CalcReport.h"

#include "model/AnalysisRun.h"
#include "model/CalcReportData.h"
#include "model/DataUnit.h"
#include "model/FolderLock.h"
#include "model/RunRecord.h"
#include "model/ExportDlg.h"
#include "model/PltData.h"
#include "model/ReportFile.h"
#include "model/ReportResults.h"
#include "model/RunChecks.h"
#include "model/View3dUnit1.h"
#include "model/WholeFile.h"
#include "model/dynlib.h"
#include "ui/PileSide.h"
#include "ui/PlotPainter.h"
#include "ui/PltData.h"
#include "ui/TextPages.h"
#include "ui/View3dUnit1.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryFile>

#include <algorithm>
#include <memory>

namespace pylar {

namespace {

// Picture files: the size the plot windows propose for a saved picture, at a
// resolution fit for print.
constexpr double kPlotWidthInch = 7.0;
constexpr double kPlotHeightInch = 5.0;
constexpr int kPictureDpi = 150;
const QSize kElevationSize(1050, 700);
const QSize kSceneSize(1280, 800);

QString withReason(const QString &what, const QString &path, const QString &reason) {
  return what + QDir::toNativeSeparators(path) + (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason);
}

// An output folder that exists (created when missing) and takes files.
QString PrepareFolder(const QString &outDir) {
  const QFileInfo info(outDir);
  if (info.exists() && !info.isDir()) return withReason(QStringLiteral("The output folder is not a folder: "), outDir, {});
  if (!info.exists() && !QDir().mkpath(outDir))
    return withReason(QStringLiteral("The output folder could not be created: "), outDir, {});
  QTemporaryFile probe(QDir(outDir).filePath(QStringLiteral(".pylar-export-XXXXXX")));
  if (!probe.open())
    return withReason(QStringLiteral("The output folder cannot be written: "), outDir, probe.errorString());
  return {};
}

}  // namespace

void KeepOfferedPlots(TResultPlots &plots, const TProgramData &project, bool showTzCurves, int additionalTzCurves) {
  for (TGraphPlot *plot : plots.All())
    if (!PlotOffered(plots, *plot, project, showTzCurves, additionalTzCurves)) {
      plot->fData.clear();
      plot->gData.clear();
    }
}

std::vector<TNamedPlot> NamedPlots(TResultPlots &plots) {
  std::vector<TNamedPlot> named{
      {QStringLiteral("skin"), &plots.pltSkin},
      {QStringLiteral("tip"), &plots.pltTip},
      {QStringLiteral("total"), &plots.pltTotal},
      {QStringLiteral("combined"), &plots.pltCombine},
      {QStringLiteral("design-skin"), &plots.FSpltSkin},
      {QStringLiteral("design-tip"), &plots.FSpltTip},
      {QStringLiteral("design-total"), &plots.FSpltTotal},
      {QStringLiteral("design-combined"), &plots.pltCombineD},
      {QStringLiteral("settlement"), &plots.pltAxial},
      {QStringLiteral("settlement-upper"), &plots.pltUpper},
      {QStringLiteral("settlement-lower"), &plots.pltLower},
      {QStringLiteral("settlement-combined"), &plots.pltCombinedSettle},
      {QStringLiteral("tz"), &plots.pltTz},
      {QStringLiteral("qw"), &plots.pltQw},
      {QStringLiteral("tz-additional"), &plots.pltTzAdd},
  };
  for (std::size_t k = 0; k < plots.PltChart.size(); ++k)
    named.push_back({QStringLiteral("chart-%1").arg(k + 1), &plots.PltChart[k]});
  return named;
}

bool PlotAvailable(TGraphPlot &plot) {
  bool points = false;
  for (const TLine &line : plot.fData) points = points || !line.fData.empty();
  if (!points) return false;
  const TPlotForm form(plot);
  return form.IsValid();
}

namespace {

// The 3-D View as the report and the export show it: the whole scene seen
// from above and aside (the start view looks straight at the front, which on
// paper reads as a flat drawing), with the ultimate capacity curves and their
// values beside the pier when the results have them.
TScenePicture ScenePicture(const TProgramData &project, TResultPlots &plots) {
  TView3dOptions options;
  options.ShowUltimateEffects = options.ShowUltimateEffectsValues = PlotAvailable(plots.pltCombine);
  TViewState view = StartView(SceneExtents(SceneProject(project)), kSceneSize);
  view.rotX = -20;
  view.rotY = 12;
  view.zoom *= 0.6;  // the turned scene is wider than the front it was fitted to
  return RenderScene3d(project, plots, options, kSceneSize, &view);
}

}  // namespace

// ---------------------------------------------------------------- the calculation report

namespace {

constexpr int kReportDpi = 300;
constexpr double kPoint = kReportDpi / 72.0;  // device pixels of a point

QFont ReportFont(double points, bool bold = false) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  // No ligatures: the text of the PDF is searched and copied as it reads ("fi", not one glyph).
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

using TDraw = std::function<void(QPainter &, const QRectF &)>;

struct TPlaced {
  QRectF box;
  TDraw draw;
};

// Blocks placed one below the other on pages of a body area; a block that
// does not fit the rest of a page starts the next one.
class TPageFlow {
 public:
  explicit TPageFlow(const QRectF &body) : fBody(body) {}

  const QRectF &Body() const { return fBody; }
  double Left() const { return fBody.height() - fY; }
  bool AtTop() const { return fPages.back().empty(); }

  void Place(double height, TDraw draw) {
    if (!AtTop() && fY + height > fBody.height()) NewPage();
    fPages.back().push_back({QRectF(fBody.left(), fBody.top() + fY, fBody.width(), height), std::move(draw)});
    fY += height;
  }
  // Space below the last block; none at the top of a page.
  void Space(double height) {
    if (!AtTop()) fY += height;
  }
  // A new page unless the current one is still empty.
  void NewPage() {
    if (AtTop()) return;
    fPages.emplace_back();
    fY = 0;
  }
  // Keeps what follows with a heading: a new page when less than `height` is left.
  void Keep(double height) {
    if (!AtTop() && Left() < height) NewPage();
  }
  int PageCount() const { return static_cast<int>(fPages.size()); }
  const std::vector<TPlaced> &Page(int page) const { return fPages[static_cast<std::size_t>(page)]; }

 private:
  QRectF fBody;
  std::vector<std::vector<TPlaced>> fPages{1};
  double fY = 0;
};

struct TTable {
  QStringList headings;  // "\n" breaks a heading into lines
  std::vector<QStringList> rows;
  std::vector<bool> bold;  // per row
  int textColumns = 1;     // the first columns are left-aligned text, the others right-aligned numbers
};

class TReportBuilder {
 public:
  TReportBuilder(QPaintDevice &device, const QRectF &body) : fDevice(device), fFlow(body) {}

  TPageFlow &Flow() { return fFlow; }

  double LineHeight(const QFont &font) const { return QFontMetricsF(font, &fDevice).lineSpacing(); }

  void Heading(const QString &text, int level) {
    const QFont font = ReportFont(level == 1 ? 14 : 11, true);
    const double h = LineHeight(font) * 1.4;
    fFlow.Space(level == 1 ? 10 * kPoint : 6 * kPoint);
    fFlow.Keep(h + 6 * LineHeight(ReportFont(9)));
    fFlow.Place(h, [font, text, level](QPainter &p, const QRectF &box) {
      p.setFont(font);
      p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
      if (level == 1) {
        p.setPen(QPen(Qt::black, 0.8 * kPoint));
        p.drawLine(box.bottomLeft() - QPointF(0, 0.1 * box.height()), box.bottomRight() - QPointF(0, 0.1 * box.height()));
      }
    });
  }

  void Paragraph(const QString &text, double points = 9, bool bold = false) {
    const QFont font = ReportFont(points, bold);
    const QRectF bounds = QFontMetricsF(font, &fDevice)
                              .boundingRect(QRectF(0, 0, fFlow.Body().width(), 1e6), Qt::TextWordWrap, text);
    fFlow.Place(bounds.height() + 2 * kPoint, [font, text](QPainter &p, const QRectF &box) {
      p.setFont(font);
      p.drawText(box, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    });
  }

  // Two columns of names and values.
  void Pairs(const std::vector<std::pair<QString, QString>> &pairs) {
    TTable table;
    table.textColumns = 2;
    for (const auto &[name, value] : pairs) table.rows.push_back({name, value});
    Table(table, false);
  }

  void Table(const TTable &table, bool ruled = true) {
    const double width = fFlow.Body().width();
    const int columns = static_cast<int>(table.headings.isEmpty() ? (table.rows.empty() ? 0 : table.rows[0].size())
                                                                  : table.headings.size());
    if (columns == 0) return;
    // The largest font up to 9 pt at which every column fits the width; a
    // table of names and values keeps its font and wraps its values instead.
    double points = 9;
    std::vector<double> widths;
    const double pad = 6 * kPoint;
    for (;; points -= 0.5) {
      widths.assign(static_cast<std::size_t>(columns), 0);
      const QFontMetricsF normal(ReportFont(points), &fDevice), bold(ReportFont(points, true), &fDevice);
      for (int c = 0; c < columns; ++c) {
        for (const QString &line : table.headings.value(c).split(u'\n'))
          widths[c] = std::max(widths[c], bold.horizontalAdvance(line));
        for (const QStringList &row : table.rows) widths[c] = std::max(widths[c], bold.horizontalAdvance(row.value(c)));
        widths[c] += pad;
      }
      double total = 0;
      for (double w : widths) total += w;
      if (!ruled && columns == 2) {
        widths[0] = std::min(widths[0], 0.5 * width);
        widths[1] = width - widths[0];
        break;
      }
      if (total <= width || points <= 5) break;
    }
    const QFont normal = ReportFont(points), bold = ReportFont(points, true);
    const double line = LineHeight(normal) * 1.15;
    // A row is as high as its most wrapped cell.
    const auto rowHeight = [&](const QStringList &cells, const QFont &font) {
      const QFontMetricsF metrics(font, &fDevice);
      double height = line;
      if (ruled) return height;  // a ruled table's cells fit their columns
      for (int c = 0; c < columns; ++c)
        height = std::max(height, metrics.boundingRect(QRectF(0, 0, widths[c] - 4 * kPoint, 1e6), Qt::TextWordWrap,
                                                       cells.value(c)).height() + 0.15 * line);
      return height;
    };
    int headingLines = 0;
    for (const QString &h : table.headings) headingLines = std::max(headingLines, static_cast<int>(h.count(u'\n')) + 1);
    const double headingHeight = headingLines * line + 2 * kPoint;
    const int textColumns = table.textColumns;
    const auto drawRow = [widths, textColumns, ruled](QPainter &p, const QRectF &box, const QStringList &cells,
                                                      const QFont &font, bool heading) {
      p.setFont(font);
      double x = box.left();
      for (int c = 0; c < static_cast<int>(widths.size()); ++c) {
        const QRectF cell(x + 2 * kPoint, box.top(), widths[c] - 4 * kPoint, box.height());
        const Qt::Alignment horizontal = heading ? Qt::AlignHCenter : c < textColumns ? Qt::AlignLeft : Qt::AlignRight;
        p.drawText(cell, horizontal | (heading ? Qt::AlignBottom : Qt::AlignVCenter) | (ruled ? 0 : Qt::TextWordWrap),
                   cells.value(c));
        x += widths[c];
      }
      if (ruled && heading) {
        p.setPen(QPen(Qt::black, 0.5 * kPoint));
        p.drawLine(QPointF(box.left(), box.bottom()), QPointF(x, box.bottom()));
      }
    };
    const QStringList headings = table.headings;
    const auto placeHeading = [&] {
      if (headings.isEmpty()) return;
      fFlow.Place(headingHeight, [drawRow, headings, bold](QPainter &p, const QRectF &box) {
        drawRow(p, box, headings, bold, true);
      });
    };
    fFlow.Keep(headingHeight + 3 * line);
    placeHeading();
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
      const QStringList cells = table.rows[r];
      const QFont font = r < table.bold.size() && table.bold[r] ? bold : normal;
      const double height = rowHeight(cells, font);
      if (fFlow.Left() < height) {
        fFlow.NewPage();
        placeHeading();
      }
      fFlow.Place(height, [drawRow, cells, font](QPainter &p, const QRectF &box) { drawRow(p, box, cells, font, false); });
    }
    fFlow.Space(4 * kPoint);
  }

  // A figure of the whole body width and the given share of its height, with a caption below.
  void Figure(const QString &caption, double heightShare, TDraw draw) {
    const QFont font = ReportFont(9, true);
    const double captionHeight = LineHeight(font) * 1.5;
    const double height = fFlow.Body().height() * heightShare;
    fFlow.Keep(height + captionHeight);
    fFlow.Place(height, std::move(draw));
    fFlow.Place(captionHeight, [font, caption](QPainter &p, const QRectF &box) {
      p.setFont(font);
      p.drawText(box, Qt::AlignHCenter | Qt::AlignTop, caption);
    });
    fFlow.Space(6 * kPoint);
  }

 private:
  QPaintDevice &fDevice;
  TPageFlow fFlow;
};

QString EntryValue(const TReportEntry &entry) {
  return entry.estimated ? entry.value + QStringLiteral("  (*)") : entry.value;
}

QString YesNo(bool yes) { return yes ? QStringLiteral("yes") : QStringLiteral("no"); }

// The results window's series table: one row per pier at its stopping length.
TTable SeriesTable(const TSeriesResults &r) {
  TTable table;
  const auto unit = [](const QString &printed) {
    QString u = printed;
    u.remove(u'(').remove(u')');
    return u.simplified();
  };
  const QString lengthUnit = r.units.isEmpty() ? QString() : unit(r.units[0]);
  table.headings = {QStringLiteral("Case"), QStringLiteral("Stem\n") + lengthUnit, QStringLiteral("Base\n") + lengthUnit,
                    QStringLiteral("Stopping\nlength ") + lengthUnit};
  for (int c = 1; c < r.columns.size(); ++c) table.headings << r.columns[c] + u'\n' + unit(r.units.value(c));
  table.headings << QStringLiteral("Notes");
  table.textColumns = 0;
  for (int p = 0; p < static_cast<int>(r.piers.size()); ++p) {
    const TSeriesPier &pier = r.piers[static_cast<std::size_t>(p)];
    QStringList cells{QString::number(pier.caseNumber), pier.stem.text, pier.base.text, pier.length.text};
    for (int c = 1; c < r.columns.size(); ++c)
      cells << (c < static_cast<int>(pier.row.size()) ? pier.row[static_cast<std::size_t>(c)].text : QString());
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
    table.headings << QStringLiteral("Load at\n") + load.settlement.text + u' ' + load.settlementUnit.toLower();
  for (std::size_t p = 0; p < loads.size(); ++p) {
    if (loads[p].empty()) continue;
    const TSeriesPier &pier = r.piers[p];
    QStringList cells{QString::number(pier.caseNumber), pier.stem.text, pier.length.text};
    for (const TDefinedSettlementLoad &load : loads[p]) cells << load.load.text;
    table.rows.push_back(cells);
  }
  return table;
}

// Paints a result plot as its window would print it.
TDraw PlotDrawing(TGraphPlot &plot) {
  auto form = std::make_shared<TPlotForm>(plot);
  return [form](QPainter &p, const QRectF &box) {
    PlotTarget target;
    target.area = QRect(0, 0, static_cast<int>(box.width()), static_cast<int>(box.height()));
    target.pxPerInchX = target.pxPerInchY = kReportDpi;
    target.forPrint = true;
    target.drawLegendBox = true;
    p.save();
    p.translate(box.topLeft());
    PaintPlot(p, form->Picture(), target);
    p.restore();
  };
}

QString UnitSystemName(bool si) { return si ? QStringLiteral("SI (kN, m)") : QStringLiteral("English (lbs, ft, in)"); }

}  // namespace

QString WriteCalcReport(const QString &pdfPath, const TProgramData &project, TResultPlots plots) {
  const QString projectPath = QFileInfo(project.FileName).absoluteFilePath();
  const QString reportPath = ChangeFileExt(projectPath, QStringLiteral(".pq8o"));
  TTextFile report;
  try {
    report = ReadTextFile(reportPath);
  } catch (const EPylarError &e) {
    return e.message();
  }
  const TSeriesResults results = ReadSeriesResults(report, ChangeFileExt(projectPath, QStringLiteral(".pq8p")));
  const TReportInputs inputs = ReadReportInputs(report.lines);
  const QString failed = withReason(QStringLiteral("The calculation report could not be written: "), pdfPath, {});

  // Written through a temporary file that replaces an earlier report only when complete.
  const QString why = WriteWholeFile(pdfPath, [&](QIODevice &file) {
    QPdfWriter writer(&file);
    writer.setResolution(kReportDpi);
    writer.setTitle(project.Title.isEmpty() ? QFileInfo(projectPath).completeBaseName() : project.Title);
    writer.setCreator(QStringLiteral("PYLAR %1").arg(QLatin1String(kProgramVersion)));
    // Letter for a project in English units, A4 in SI.
    writer.setPageLayout(QPageLayout(QPageSize(results.si ? QPageSize::A4 : QPageSize::Letter), QPageLayout::Portrait,
                                     QMarginsF(18, 15, 15, 15), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    const QRectF page(QPointF(0, 0), writer.pageLayout().paintRectPixels(kReportDpi).size());
    const QFont frameFont = ReportFont(8);
    const double frameLine = QFontMetricsF(frameFont, &writer).lineSpacing();
    const QRectF body = page.adjusted(0, 2 * frameLine, 0, -2 * frameLine);

    TReportBuilder b(writer, body);
    const bool lrfd = results.lrfd, uplift = results.uplift, si = results.si;

    // Title block.
    b.Paragraph(QStringLiteral("Calculation Report"), 18, true);
    b.Paragraph(QStringLiteral("Axial capacity and load-settlement of a drilled pier"), 11);
    b.Flow().Space(8 * kPoint);
    const QString runDate =
        inputs.date.isEmpty() ? QStringLiteral("not printed in the report") : inputs.date + QStringLiteral(", ") + inputs.time;
    b.Pairs({{QStringLiteral("Project title"), project.Title},
             {QStringLiteral("Project file"), QDir::toNativeSeparators(projectPath)},
             {QStringLiteral("Report file"), QDir::toNativeSeparators(reportPath)},
             {QStringLiteral("Date and time of the run"), runDate},
             {QStringLiteral("Program"), QStringLiteral("PYLAR %1").arg(QLatin1String(kProgramVersion))},
             {QStringLiteral("Unit system"), UnitSystemName(si)},
             {QStringLiteral("Design method"), lrfd ? QStringLiteral("LRFD (Load Resistance Factor Design)")
                                                    : QStringLiteral("ASD (Allowable Stress Design)")},
             {QStringLiteral("Loading"), uplift ? QStringLiteral("uplift") : QStringLiteral("compression")}});
    b.Flow().Space(14 * kPoint);
    {
      const QFont font = ReportFont(10);
      const double h = b.LineHeight(font) * 2.2;
      for (const char *who : {"Computed by", "Checked by"}) {
        const QString label = QLatin1String(who);
        b.Flow().Place(h, [font, label](QPainter &p, const QRectF &box) {
          p.setFont(font);
          const double base = box.bottom() - 0.3 * box.height();
          p.drawText(QPointF(box.left(), base), label + u':');
          p.drawText(QPointF(box.left() + 0.6 * box.width(), base), QStringLiteral("Date:"));
          p.setPen(QPen(Qt::black, 0.5 * kPoint));
          p.drawLine(QPointF(box.left() + 0.15 * box.width(), base), QPointF(box.left() + 0.55 * box.width(), base));
          p.drawLine(QPointF(box.left() + 0.68 * box.width(), base), QPointF(box.right(), base));
        });
      }
    }
    b.Flow().Space(10 * kPoint);
    b.Paragraph(QStringLiteral("Every value in this report is the text the analysis printed in its report file or a "
                               "setting of the project; values marked (*) were estimated by the program from other "
                               "parameters. The whole report of the run follows as an appendix."),
                8.5);

    // Inputs.
    b.Flow().NewPage();
    b.Heading(QStringLiteral("1  Inputs"), 1);
    b.Heading(QStringLiteral("Project data"), 2);
    {
      std::vector<std::pair<QString, QString>> pairs;
      for (const TReportEntry &e : inputs.project) pairs.emplace_back(e.name, EntryValue(e));
      b.Pairs(pairs);
    }
    b.Heading(QStringLiteral("Drilled pier"), 2);
    {
      std::vector<std::pair<QString, QString>> pairs;
      for (const TReportEntry &e : inputs.pier) pairs.emplace_back(e.name, EntryValue(e));
      if (project.IPENT == 1)
        pairs.emplace_back(QStringLiteral("Series"), QStringLiteral("multiple pier lengths of the first diameter"));
      b.Pairs(pairs);
    }
    if (!inputs.charts.empty() || !inputs.settlements.isEmpty()) {
      b.Heading(QStringLiteral("Design charts and defined settlements"), 2);
      std::vector<std::pair<QString, QString>> pairs;
      for (const TReportEntry &e : inputs.charts) pairs.emplace_back(e.name, EntryValue(e));
      if (!inputs.settlements.isEmpty())
        pairs.emplace_back(QStringLiteral("DEFINED SETTLEMENTS, ") + inputs.settlementUnit,
                           inputs.settlements.join(QStringLiteral(", ")));
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
      b.Paragraph(QStringLiteral("Layer %1: %2").arg(layer.number).arg(layer.model), 9.5, true);
      TTable table;
      table.headings = {QStringLiteral("Property"), QStringLiteral("At the top"), QStringLiteral("At the bottom")};
      table.textColumns = 1;
      for (const TReportSoilProperty &property : layer.properties)
        table.rows.push_back({property.name, property.atTop ? EntryValue(property.top) : QString(),
                              property.atBottom ? EntryValue(property.bottom) : QString()});
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
        if (SplitReportEntry(line, e)) pairs.emplace_back(e.name, EntryValue(e));
      }
      b.Pairs(pairs);
    }
    if (const TTable defined = DefinedSettlementTable(results); !defined.rows.empty()) {
      b.Heading(QStringLiteral("Loads at the defined settlements (design charts)"), 2);
      b.Table(defined);
    }
    if (const std::vector<QStringList> warnings = ReportWarnings(report.lines); !warnings.empty()) {
      b.Heading(QStringLiteral("Warnings printed in the report (%1)").arg(warnings.size()), 2);
      for (const QStringList &warning : warnings) b.Paragraph(warning.join(u'\n'), 8.5, true);
    }
    if (!results.problems.isEmpty()) {
      b.Heading(QStringLiteral("What could not be read from the report"), 2);
      for (const QString &problem : results.problems) b.Paragraph(problem, 8.5);
    }

    // Figures.
    b.Flow().NewPage();
    b.Heading(QStringLiteral("3  Figures"), 1);
    {
      const TSideViewModel model = BuildSideView(project);
      b.Figure(QStringLiteral("Elevation: the pier in its soil profile"), 0.62, [model](QPainter &p, const QRectF &box) {
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
    if (const TScenePicture scene = ScenePicture(project, plots); !scene.image.isNull()) {
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

    const QString header = project.Title.isEmpty() ? QFileInfo(projectPath).fileName() : project.Title;
    const QString footerLeft = QFileInfo(projectPath).fileName() + QStringLiteral("  -  ") + runDate;
    bool ok = true;
    for (int n = 0; n < pages && ok; ++n) {
      if (n > 0) ok = writer.newPage();
      painter.setPen(Qt::black);
      painter.setFont(frameFont);
      painter.drawText(QRectF(page.left(), page.top(), page.width(), frameLine), Qt::AlignLeft | Qt::AlignVCenter,
                       header);
      painter.drawText(QRectF(page.left(), page.top(), page.width(), frameLine), Qt::AlignRight | Qt::AlignVCenter,
                       QStringLiteral("Calculation Report"));
      painter.setPen(QPen(Qt::black, 0.5 * kPoint));
      painter.drawLine(QPointF(page.left(), page.top() + 1.3 * frameLine), QPointF(page.right(), page.top() + 1.3 * frameLine));
      painter.drawLine(QPointF(page.left(), page.bottom() - 1.3 * frameLine),
                       QPointF(page.right(), page.bottom() - 1.3 * frameLine));
      painter.setPen(Qt::black);
      const QRectF footer(page.left(), page.bottom() - frameLine, page.width(), frameLine);
      painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, footerLeft);
      painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Page %1 of %2").arg(n + 1).arg(pages));
      if (n < appendixStart) {
        if (n < b.Flow().PageCount())
          for (const TPlaced &placed : b.Flow().Page(n)) {
            painter.save();
            painter.setPen(Qt::black);
            placed.draw(painter, placed.box);
            painter.restore();
          }
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

int ExportProject(const QString &outFolder, const QString &projectFile, const QString &programFolder,
                  const TExportLog &log) {
  const QString projectPath = QFileInfo(projectFile).absoluteFilePath();
  // Absolute before the analysis runs: the run works in the project's folder,
  // where a relative output folder would name another place.
  const QString outDir = QFileInfo(outFolder).absoluteFilePath();
  if (!QFileInfo(projectPath).isFile()) {
    log.err(withReason(QStringLiteral("The project could not be read: "), projectFile, QStringLiteral("no such file")));
    return 1;
  }
  // The project's folder is held for the whole export: no other run writes
  // its results between their check and their last reading. A folder that
  // cannot be locked (one that cannot be written) still gives its results;
  // a run there says why it cannot run.
  TFolderLock folderLock;
  if (folderLock.Acquire(QFileInfo(projectPath).absolutePath()) == TLockResult::Busy) {
    log.err(folderLock.Message());
    return 1;
  }
  // The project as it is on disk, read once: its bytes are what the results
  // are checked against, and the export never writes it.
  TProjectTables tables;
  QByteArray projectBytes;
  TProgramData::TReadResult read = TProgramData::ReadWhole(tables, projectPath, ffVersion8, projectBytes);
  if (!read.Complete()) {
    QString reason = read.error;
    if (read.errorLine > 0) reason += QStringLiteral(" (reading stopped at line %1)").arg(read.errorLine);
    log.err(withReason(QStringLiteral("The project could not be read: "), projectFile, reason));
    return 1;
  }
  TProgramData &project = *read.data;
  if (const QString problem = PrepareFolder(outDir); !problem.isEmpty()) {
    log.err(problem);
    return 1;
  }

  // The results beside the project are used when the project, as it is now,
  // produced them in a run that completed; otherwise the analysis runs on the
  // file as it is.
  const TResultsCheck results = CheckRunRecord(projectPath, projectBytes);
  TRunOutcome outcome;
  if (results.Current()) {
    outcome.Status = TRunStatus::EngineRan;
    outcome.ProjectFile = projectPath;
    outcome.EngineStatus = results.status;
    outcome.Results = results;
    const QString notes = ChangeFileExt(projectPath, QStringLiteral(".pq8r"));
    if (QFileInfo::exists(notes)) outcome.RunNotesFile = notes;
    if (results.status != 0) outcome.EngineMessage = EngineMessageInRunNotes(notes);
  } else {
    const std::vector<TRunFinding> findings = CheckBeforeRun(project);
    if (HasRunErrors(findings)) {
      log.err(withReason(QStringLiteral("The analysis of "), projectFile,
                         QStringLiteral("cannot run:\n") + RunFindingsMessage(findings).replace(u'\r', u'\n')));
      return 1;
    }
    outcome = TAnalysisRun(programFolder).RunProjectFile(projectPath);
  }
  // Only a run that completed and reached its design load gives a report.
  if (!outcome.EngineRan() || outcome.EngineStatus != 0 || !outcome.ResultsCurrent()) {
    QStringList lines;
    if (!outcome.EngineRan()) {
      lines << (outcome.UserMessage().isEmpty() ? QStringLiteral("the analysis did not run") : outcome.UserMessage());
    } else {
      if (outcome.EngineStatus != 0)
        lines << QStringLiteral("The run ended with status %1%2.")
                     .arg(outcome.EngineStatus)
                     .arg(outcome.EngineStatus == 7 ? QStringLiteral(": the design load is not reached") : QString());
      if (!outcome.EngineMessage.isEmpty()) lines << outcome.EngineMessage;
      if (const QString note = outcome.ResultsNote(); !note.isEmpty() && outcome.EngineStatus == 0) lines << note;
      if (!outcome.RunNotesFile.isEmpty())
        lines << QStringLiteral("The run notes are in ") + QDir::toNativeSeparators(outcome.RunNotesFile);
    }
    log.err(withReason(QStringLiteral("The analysis of "), projectFile,
                       QStringLiteral("failed:\n") + lines.join(u'\n').replace(u'\r', u'\n')));
    return 1;
  }

  TResultPlots plots;
  const TPlotDataResult loaded =
      ReadPlotData(ChangeFileExt(projectPath, QStringLiteral(".pq8p")), PlotDataContext(project), plots);
  if (!loaded.ok) {
    log.err(withReason(QStringLiteral("The results could not be read: "), ChangeFileExt(projectPath, QStringLiteral(".pq8p")),
                       loaded.error));
    return 1;
  }
  if (!loaded.incomplete.isEmpty()) {
    log.err(QStringLiteral("The results could not be read: ") + loaded.incomplete);
    return 1;
  }
  for (TGraphPlot *plot : plots.All()) plot->ProjectFile = projectPath;
  if (loaded.ID2Read) project.ID2 = loaded.ID2;
  // The plots the program offers for these results, as its Graphics menu does.
  KeepOfferedPlots(plots, project, loaded.showtzcurves, loaded.additionalTzCurves);

  const QDir folder(outDir);
  const QString name = QFileInfo(projectPath).completeBaseName();
  int failures = 0;
  const auto written = [&](const QString &path, const QString &reason) {
    if (reason.isEmpty()) {
      log.out(QDir::toNativeSeparators(path));
    } else {
      ++failures;
      log.err(withReason(QStringLiteral("Not written: "), path, reason));
    }
  };

  std::vector<const TGraphPlot *> available;
  for (const TNamedPlot &named : NamedPlots(plots)) {
    TPlotForm form(*named.plot);
    if (!form.IsValid() || !PlotAvailable(*named.plot)) continue;
    available.push_back(named.plot);
    for (const char *suffix : {".png", ".svg"}) {
      const QString path = folder.filePath(name + u'-' + named.key + QLatin1String(suffix));
      QString reason;
      const TPlotForm::SaveResult result = form.SaveToFile(path, kPlotWidthInch, kPlotHeightInch, kPictureDpi, &reason);
      if (result == TPlotForm::SaveResult::NoMemory) reason = QStringLiteral("not enough memory");
      written(path, result == TPlotForm::SaveResult::Saved ? QString() : reason);
    }
  }

  for (const char *suffix : {".png", ".svg"}) {
    const QString path = folder.filePath(name + QStringLiteral("-elevation") + QLatin1String(suffix));
    written(path, SaveSideView(path, project, kElevationSize, kPictureDpi));
  }

  {
    const QString path = folder.filePath(name + QStringLiteral(".xlsx"));
    const TWorkbookOutcome workbook = WriteWorkbook(path, available, true);
    written(path, workbook.ok ? QString() : (workbook.message.isEmpty() ? QStringLiteral("failed") : workbook.message));
  }

  {
    const QString path = folder.filePath(name + QStringLiteral("-report.pdf"));
    written(path, WriteCalcReport(path, project, plots));
  }

  {
    const QString path = folder.filePath(name + QStringLiteral("-3d.png"));
    const TScenePicture scene = ScenePicture(project, plots);
    // Without OpenGL the rest is still worth having: a note, not a failure.
    if (scene.image.isNull())
      log.out(scene.error + QStringLiteral(" Not written: ") + QDir::toNativeSeparators(path));
    else
      written(path, WriteWholeFile(path, [&scene](QIODevice &file) { return scene.image.save(&file, "PNG"); }));
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace pylar
