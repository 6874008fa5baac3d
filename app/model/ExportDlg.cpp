#include "ExportDlg.h"

#include "PlotScale.h"
#include "WholeFile.h"
#include "ZipRewrite.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <clocale>
#include <iterator>
#include <cmath>
#include <locale.h>
#include <optional>
#include <span>
#include <string>
#include <utility>

namespace pylar {

namespace {

const QString kLegendSheet = QStringLiteral("Legend");
// Headings of the Legend sheet, B2 ... F2; their blanks set the column widths.
const char *const kLegendHeadings[] = {"     N    ", "                             Plot Name                             ",
                                       "  Sheet Name  ", "  Chart Name  ", "          Status          "};

// libxlsxwriter formats numbers with the C library, which follows the
// thread's locale: a decimal comma would end up in the workbook's XML. The
// workbook is therefore assembled with the "C" locale on this thread.
class CNumericLocale {
 public:
#if defined(_WIN32)
  CNumericLocale() : fOldMode(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)) {
    if (const char *current = std::setlocale(LC_NUMERIC, nullptr)) fSaved = current;
    std::setlocale(LC_NUMERIC, "C");
  }
  ~CNumericLocale() {
    if (!fSaved.empty()) std::setlocale(LC_NUMERIC, fSaved.c_str());
    _configthreadlocale(fOldMode);
  }

 private:
  int fOldMode;
  std::string fSaved;
#else
  CNumericLocale() : fC(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr))) {
    if (fC) fOld = uselocale(fC);
  }
  ~CNumericLocale() {
    if (!fC) return;
    uselocale(fOld);
    freelocale(fC);
  }

 private:
  locale_t fC;
  locale_t fOld = static_cast<locale_t>(nullptr);
#endif

 public:
  CNumericLocale(const CNumericLocale &) = delete;
  CNumericLocale &operator=(const CNumericLocale &) = delete;
};

// The first failure of a sequence of libxlsxwriter calls, with what was
// being written.
struct WriteErrors {
  QString first;
  void check(lxw_error error, const QString &what) {
    if (error != LXW_NO_ERROR && first.isEmpty())
      first = what + QStringLiteral(": ") + QString::fromUtf8(lxw_strerror(error));
  }
  bool failed() const { return !first.isEmpty(); }
};

// A sheet and its libxlsxwriter handle; strings are passed as UTF-8.
class Sheet {
 public:
  Sheet(lxw_worksheet *sheet, QString name, WriteErrors &errors)
      : fSheet(sheet), fName(std::move(name)), fErrors(errors) {}

  void text(int row, int col, const QString &value, lxw_format *format = nullptr) {
    if (value.isEmpty() && !format) return;
    fErrors.check(worksheet_write_string(fSheet, row, col, value.toUtf8().constData(), format), where(row, col));
  }
  void number(int row, int col, double value) {
    // A value without a number (no such point can be plotted) stays an empty cell.
    if (!std::isfinite(value)) return;
    fErrors.check(worksheet_write_number(fSheet, row, col, value, nullptr), where(row, col));
  }
  // A hyperlink to a cell of this workbook ("Page_1!A1"), showing `shown`.
  void link(int row, int col, const QString &target, const QString &shown) {
    const QByteArray url = (QStringLiteral("internal:") + target).toUtf8();
    fErrors.check(worksheet_write_url_opt(fSheet, row, col, url.constData(), nullptr, shown.toUtf8().constData(), nullptr),
                  where(row, col));
  }
  void width(int col, double chars) {
    fErrors.check(worksheet_set_column(fSheet, col, col, chars, nullptr), fName);
  }

 private:
  QString where(int row, int col) const {
    return fName + QLatin1Char('!') + ColumnLetters(col + 1) + QString::number(row + 1);
  }
  lxw_worksheet *fSheet;
  QString fName;
  WriteErrors &fErrors;
};

int longestCurve(const TGraphPlot &plot) {
  std::size_t longest = 0;
  for (const TLine &line : plot.fData) longest = std::max(longest, line.fData.size());
  return static_cast<int>(longest);
}

// Data sheet: A1 caption; A2 "X", B2 x title; A3 "Y", B3 y title; curve j
// (from 0) in columns 2j and 2j + 1: its name in row 4, "X" and "Y" in row 5,
// its points from row 6.
void writeDataSheet(Sheet &sheet, const TGraphPlot &plot, const QString &xTitle, const QString &yTitle) {
  sheet.text(0, 0, plot.fCaption);
  sheet.text(1, 0, QStringLiteral("X"));
  sheet.text(1, 1, xTitle);
  sheet.text(2, 0, QStringLiteral("Y"));
  sheet.text(2, 1, yTitle);
  for (int c = 0; c < plot.CurveCount(); ++c) {
    const int col = 2 * c;
    sheet.text(3, col, plot.CurveName(c));
    sheet.text(4, col, QStringLiteral("X"));
    sheet.text(4, col + 1, QStringLiteral("Y"));
    const auto &points = plot.fData[static_cast<std::size_t>(c)].fData;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const int row = 5 + static_cast<int>(i);
      sheet.number(row, col, static_cast<double>(points[i].x));
      sheet.number(row, col + 1, static_cast<double>(points[i].y));
    }
  }
}

// The y range of the plot window, low end first, when the data give one.
std::optional<std::pair<double, double>> screenYRange(const TGraphPlot &plot) {
  std::vector<std::vector<QPointF>> points(plot.fData.size());
  std::vector<std::span<const QPointF>> curves;
  for (std::size_t c = 0; c < plot.fData.size(); ++c) {
    for (const TFloatPoint &p : plot.fData[c].fData)
      points[c].emplace_back(static_cast<double>(p.x), static_cast<double>(p.y));
    curves.emplace_back(points[c]);
  }
  const PlotBoundsResult bounds = BoundsFromData(curves, plot.Yreversed);
  if (!bounds.ok) return std::nullopt;
  return std::pair(std::min(bounds.range.Top, bounds.range.Bottom), std::max(bounds.range.Top, bounds.range.Bottom));
}

// Chart sheet: XY scatter with lines (and markers), one series per curve up
// to the chart's limit, each over rows 6 ... N + 5 of its two columns.
lxw_chart *buildChart(lxw_workbook *workbook, const TGraphPlot &plot, const QString &dataSheet, const QString &xTitle,
                      const QString &yTitle, bool addMarkers) {
  lxw_chart *chart = workbook_add_chart(workbook, LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS);
  if (!chart) return nullptr;
  const QByteArray sheetName = dataSheet.toUtf8();
  const int lastRow = 5 + std::max(longestCurve(plot), 1) - 1;
  // A plot without curves still gets its (empty) chart over the first two columns.
  const int series = std::clamp(plot.CurveCount(), 1, kMaxChartSeries);
  for (int h = 0; h < series; ++h) {
    const int col = 2 * h;
    lxw_chart_series *s = chart_add_series(chart, nullptr, nullptr);
    if (!s) return nullptr;
    chart_series_set_categories(s, sheetName.constData(), 5, col, lastRow, col);
    chart_series_set_values(s, sheetName.constData(), 5, col + 1, lastRow, col + 1);
    // The name is the curve's name cell, so a name is never read as a formula.
    chart_series_set_name_range(s, sheetName.constData(), 3, col);
    if (!addMarkers) chart_series_set_marker_type(s, LXW_CHART_MARKER_NONE);
  }
  chart_title_off(chart);
  chart_axis_set_name(chart->x_axis, xTitle.toUtf8().constData());
  chart_axis_set_name(chart->y_axis, yTitle.toUtf8().constData());
  chart_axis_major_gridlines_set_visible(chart->x_axis, LXW_TRUE);
  chart_axis_major_gridlines_set_visible(chart->y_axis, LXW_TRUE);
  // The y axis runs as on screen: depths grow downwards; elevations (depth
  // plots labelled with elevations) grow upwards below an x axis on top.
  if (plot.fXOnTop && !plot.Yreversed)
    chart_axis_set_reverse(chart->y_axis);
  else if (plot.fXOnTop)
    chart_axis_set_crossing_max(chart->y_axis);
  // Elevations span the screen's range, not one from zero.
  if (plot.Yreversed) {
    if (const auto range = screenYRange(plot)) {
      chart_axis_set_min(chart->y_axis, range->first);
      chart_axis_set_max(chart->y_axis, range->second);
    }
  }
  return chart;
}

// The chart legend in a black frame on white, which the writer cannot set:
// added to each chart's XML after the workbook is assembled.
QByteArray frameLegend(const QString &, const QByteArray &chartXml) {
  static const QByteArray kEnd = "</c:legend>";
  static const QByteArray kFrame =
      "<c:spPr><a:solidFill><a:srgbClr val=\"FFFFFF\"/></a:solidFill>"
      "<a:ln><a:solidFill><a:srgbClr val=\"000000\"/></a:solidFill></a:ln></c:spPr>";
  QByteArray xml = chartXml;
  const qsizetype start = xml.indexOf("<c:legend>");
  const qsizetype end = start < 0 ? -1 : xml.indexOf(kEnd, start);
  if (end < 0) return xml;
  const auto inLegend = [&](const char *tag) {
    const qsizetype at = xml.indexOf(tag, start);
    return at >= 0 && at < end ? at : qsizetype(-1);
  };
  if (inLegend("<c:spPr>") >= 0) return xml;  // framed already
  // The shape properties come before the legend's text properties.
  const qsizetype text = inLegend("<c:txPr>");
  xml.insert(text >= 0 ? text : end, kFrame);
  return xml;
}

bool isChartPart(const QString &name) {
  return name.startsWith(QLatin1String("xl/charts/chart")) && name.endsWith(QLatin1String(".xml"));
}

double textWidth(const QString &text) { return static_cast<double>(text.size()) + 1; }

// Assembles the workbook at `file`; returns what failed, or an empty text.
QString assembleWorkbook(const QString &file, const QString &tmpdir, const std::vector<const TGraphPlot *> &plots,
                         bool addMarkers, bool &more255) {
  const CNumericLocale cLocale;
  const QByteArray fileName = QFile::encodeName(file);
  QByteArray tmp = QFile::encodeName(tmpdir);
  lxw_workbook_options options{};
  options.tmpdir = tmp.data();
  lxw_workbook *workbook = workbook_new_opt(fileName.constData(), &options);
  if (!workbook) return QStringLiteral("the workbook could not be created");

  WriteErrors errors;
  lxw_worksheet *legendSheet = workbook_add_worksheet(workbook, kLegendSheet.toUtf8().constData());
  lxw_format *heading = workbook_add_format(workbook);
  if (!legendSheet || !heading) {
    workbook_close(workbook);
    return QStringLiteral("the Legend sheet could not be added");
  }
  format_set_bold(heading);
  format_set_align(heading, LXW_ALIGN_CENTER);
  format_set_align(heading, LXW_ALIGN_VERTICAL_CENTER);
  Sheet legend(legendSheet, kLegendSheet, errors);
  double widths[5];
  for (int k = 0; k < 5; ++k) {
    const QString text = QString::fromLatin1(kLegendHeadings[k]);
    legend.text(1, 1 + k, text, heading);
    widths[k] = textWidth(text);
  }

  for (std::size_t i = 0; i < plots.size() && !errors.failed(); ++i) {
    const TGraphPlot &plot = *plots[i];
    const QString k = QString::number(i + 1);
    const QString page = QStringLiteral("Page_") + k;
    const QString chartName = QStringLiteral("Plot_") + k;
    const int row = static_cast<int>(i) + 2;
    if (2 * static_cast<qint64>(plot.CurveCount()) > LXW_COL_MAX || longestCurve(plot) + 5 > LXW_ROW_MAX) {
      errors.first = QStringLiteral("the plot \"") + plot.fCaption.trimmed() +
                     QStringLiteral("\" has more curves or points than a worksheet holds");
      break;
    }
    const QString xTitle = AxisTitle(plot.fXCaption, plot.fXUnits, plot.Units());
    const QString yTitle = AxisTitle(plot.fYCaption, plot.fYUnits, plot.Units());

    legend.number(row, 1, static_cast<double>(i + 1));
    legend.text(row, 2, plot.fCaption);
    legend.link(row, 3, page + QStringLiteral("!A1"), page);
    legend.text(row, 4, chartName);
    widths[1] = std::max(widths[1], textWidth(plot.fCaption));

    lxw_worksheet *dataHandle = workbook_add_worksheet(workbook, page.toUtf8().constData());
    if (!dataHandle) {
      errors.first = QStringLiteral("the sheet ") + page + QStringLiteral(" could not be added");
      break;
    }
    Sheet data(dataHandle, page, errors);
    data.link(0, 6, kLegendSheet + QStringLiteral("!A1"), kLegendSheet + QStringLiteral("!A1"));
    writeDataSheet(data, plot, xTitle, yTitle);

    lxw_chartsheet *chartSheet = workbook_add_chartsheet(workbook, chartName.toUtf8().constData());
    lxw_chart *chart = buildChart(workbook, plot, page, xTitle, yTitle, addMarkers);
    if (!chartSheet || !chart) {
      errors.first = QStringLiteral("the chart ") + chartName + QStringLiteral(" could not be added");
      break;
    }
    errors.check(chartsheet_set_chart(chartSheet, chart), chartName);
    if (plot.CurveCount() > kMaxChartSeries) more255 = true;
    legend.text(row, 5, QStringLiteral("Complete"));
  }
  for (int k = 0; k < 5; ++k) legend.width(1 + k, widths[k]);

  const lxw_error closed = workbook_close(workbook);
  if (errors.failed()) return errors.first;
  if (closed != LXW_NO_ERROR) return QString::fromUtf8(lxw_strerror(closed));
  return {};
}

}  // namespace

std::vector<TExportCandidate> ExportCandidates(const TResultPlots &plots) {
  const TGraphPlot *fixed[] = {&plots.pltSkin,   &plots.pltTip,     &plots.pltTotal,   &plots.FSpltSkin,
                               &plots.FSpltTip,  &plots.FSpltTotal, &plots.pltCombine, &plots.pltCombineD,
                               &plots.pltAxial,  &plots.pltUpper,   &plots.pltLower,   &plots.pltCombinedSettle,
                               &plots.pltTz,     &plots.pltQw,      &plots.pltTzAdd};
  std::vector<TExportCandidate> candidates;
  for (const TGraphPlot *plot : fixed) candidates.push_back({static_cast<int>(candidates.size()) + 1, plot});
  for (const TGraphPlot &chart : plots.PltChart) candidates.push_back({static_cast<int>(candidates.size()) + 1, &chart});
  return candidates;
}

QString ColumnLetters(int column) {
  QString letters;
  for (int n = column; n > 0; n = (n - 1) / 26) letters.prepend(QChar(u'A' + (n - 1) % 26));
  return letters;
}

QString AxisTitle(const QString &caption, const QString &unitsCode, int units) {
  if (unitsCode.isEmpty()) return caption;
  return caption + QStringLiteral(" (") + ExpandUnitsTemplate(unitsCode, units) + QStringLiteral(")");
}

QString ExportCompletedMessage(bool more255) {
  QString text = QStringLiteral("Export to Excel Completed\rPlease note that you need to save the excel file\r");
  if (more255) text += QStringLiteral("Some plots show only 255 series because Excel limitation \rPlease check \r");
  return text;
}

TWorkbookOutcome WriteWorkbook(const QString &path, const std::vector<const TGraphPlot *> &plots, bool addMarkers) {
  TWorkbookOutcome outcome;
  const QString target = QFileInfo(path).absoluteFilePath();
  const QString failed = QStringLiteral("The workbook could not be written to ") + QDir::toNativeSeparators(target) +
                         QStringLiteral(": ");
  // Assembled in a private folder, then copied over the target through a
  // temporary file beside it that replaces the target only when complete.
  QTemporaryDir scratch;
  if (!scratch.isValid()) {
    outcome.message = failed + QStringLiteral("no temporary folder: ") + scratch.errorString();
    return outcome;
  }
  const QString assembled = scratch.filePath(QStringLiteral("workbook.xlsx"));
  std::vector<const TGraphPlot *> present;
  std::copy_if(plots.begin(), plots.end(), std::back_inserter(present), [](const TGraphPlot *p) { return p; });
  const QString problem = assembleWorkbook(assembled, scratch.path(), present, addMarkers, outcome.more255);
  if (!problem.isEmpty()) {
    outcome.message = failed + problem;
    return outcome;
  }
  QFile in(assembled);
  if (!in.open(QIODevice::ReadOnly)) {
    outcome.message = failed + in.errorString();
    return outcome;
  }
  const ZipRewriteResult framed = RewriteZipEntries(in.readAll(), isChartPart, frameLegend);
  in.close();
  if (!framed.archive) {
    outcome.message = failed + QStringLiteral("the assembled workbook is ") + framed.error;
    return outcome;
  }
  const QByteArray &bytes = *framed.archive;
  if (const QString why = WriteWholeFile(target, bytes); !why.isEmpty()) {
    outcome.message = failed + why;
    return outcome;
  }
  outcome.ok = true;
  outcome.path = target;
  outcome.message = ExportCompletedMessage(outcome.more255) + QStringLiteral("The workbook is saved as ") +
                    QDir::toNativeSeparators(target) + QLatin1Char('\r');
  return outcome;
}

QString CurvesAsText(const TGraphPlot &plot, QChar decimalPoint) {
  const int curves = plot.CurveCount();
  if (curves == 0) return {};
  const QString xTitle = AxisTitle(plot.fXCaption, plot.fXUnits, plot.Units());
  const QString yTitle = AxisTitle(plot.fYCaption, plot.fYUnits, plot.Units());
  QString text;
  const auto endRow = [&text] {
    text.chop(1);  // the tab after the last column
    text += QLatin1Char('\n');
  };
  for (int c = 0; c < curves; ++c) text += plot.CurveName(c) + QStringLiteral("\t\t");
  endRow();
  for (int c = 0; c < curves; ++c) text += xTitle + QLatin1Char('\t') + yTitle + QLatin1Char('\t');
  endRow();
  const int rows = longestCurve(plot);
  for (int i = 0; i < rows; ++i) {
    for (int c = 0; c < curves; ++c) {
      const auto &points = plot.fData[static_cast<std::size_t>(c)].fData;
      if (static_cast<std::size_t>(i) < points.size()) {
        text += FormatGeneral(points[static_cast<std::size_t>(i)].x, 15, decimalPoint) + QLatin1Char('\t');
        text += FormatGeneral(points[static_cast<std::size_t>(i)].y, 15, decimalPoint) + QLatin1Char('\t');
      } else {
        text += QStringLiteral("\t\t");
      }
    }
    endRow();
  }
  return text;
}

}  // namespace pylar
