#include "ui/ReportPages.h"

#include "model/DataEdit.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace pylar {

QPageSize::PageSizeId ReportPageSize(int units) { return units == kUnitsSI ? QPageSize::A4 : QPageSize::Letter; }

QFont ReportFont(double points, bool bold) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  // No ligatures: the text of the PDF is searched and copied as it reads ("fi", not one glyph).
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

void TReportBuilder::Place(double height, TDraw draw, bool withNext) {
  const int block = fFlow.Place(height, withNext);
  fDraws.resize(static_cast<std::size_t>(block) + 1);
  fDraws[static_cast<std::size_t>(block)] = std::move(draw);
}

void TReportBuilder::PaintPage(QPainter &painter, int page) const {
  if (page >= fFlow.PageCount()) return;
  for (const int block : fFlow.PageBlocks(page)) {
    const QRectF box(fBody.left(), fBody.top() + fFlow.TopOf(block), fBody.width(), fFlow.HeightOf(block));
    painter.save();
    painter.setPen(Qt::black);
    fDraws[static_cast<std::size_t>(block)](painter, box);
    painter.restore();
  }
}

double TReportBuilder::LineHeight(const QFont &font) const { return QFontMetricsF(font, &fDevice).lineSpacing(); }

void TReportBuilder::Heading(const QString &text, int level) {
  const QFont font = ReportFont(level == 1 ? 14 : 11, true);
  const double h = LineHeight(font) * 1.4;
  fFlow.Space(level == 1 ? 10 * kPoint : 6 * kPoint);
  Place(
      h,
      [font, text, level](QPainter &p, const QRectF &box) {
        p.setFont(font);
        p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
        if (level == 1) {
          p.setPen(QPen(Qt::black, 0.8 * kPoint));
          p.drawLine(box.bottomLeft() - QPointF(0, 0.1 * box.height()),
                     box.bottomRight() - QPointF(0, 0.1 * box.height()));
        }
      },
      true);
}

void TReportBuilder::Paragraph(const QString &text, double points, bool bold, bool withNext) {
  const QFont font = ReportFont(points, bold);
  const QRectF bounds =
      QFontMetricsF(font, &fDevice).boundingRect(QRectF(0, 0, fBody.width(), 1e6), Qt::TextWordWrap, text);
  Place(
      bounds.height() + 2 * kPoint,
      [font, text](QPainter &p, const QRectF &box) {
        p.setFont(font);
        p.drawText(box, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
      },
      withNext);
}

void TReportBuilder::Pairs(const std::vector<std::pair<QString, QString>> &pairs) {
  TTable table;
  table.textColumns = 2;
  for (const auto &[name, value] : pairs) table.rows.push_back({name, value});
  Table(table, false);
}

void TReportBuilder::Table(const TTable &table, bool ruled) {
  const double width = fBody.width();
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
    const QFontMetricsF bold(ReportFont(points, true), &fDevice);
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
      // A name beside a value that wraps stands at the value's first line.
      const Qt::Alignment vertical = heading ? Qt::AlignBottom : ruled ? Qt::AlignVCenter : Qt::AlignTop;
      p.drawText(cell, horizontal | vertical | (ruled ? 0 : Qt::TextWordWrap), cells.value(c));
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
    Place(
        headingHeight,
        [drawRow, headings, bold](QPainter &p, const QRectF &box) { drawRow(p, box, headings, bold, true); }, true);
  };
  placeHeading();
  // The column headings and the first rows go over a page break together;
  // a later row that starts a page gets the column headings again above it.
  const std::size_t kept = std::min(kRowsKeptWithHeading, table.rows.empty() ? 0 : table.rows.size() - 1);
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    const QStringList cells = table.rows[r];
    const QFont font = r < table.bold.size() && table.bold[r] ? bold : normal;
    const double height = rowHeight(cells, font);
    if (r > kept && fFlow.Breaks(height)) {
      fFlow.NewPage();
      placeHeading();
    }
    Place(height, [drawRow, cells, font](QPainter &p, const QRectF &box) { drawRow(p, box, cells, font, false); },
          r < kept);
  }
  fFlow.Space(4 * kPoint);
}

void TReportBuilder::Figure(const QString &caption, double heightShare, TDraw draw) {
  const QFont font = ReportFont(9, true);
  const double captionHeight = LineHeight(font) * 1.5;
  Place(fBody.height() * heightShare, std::move(draw), true);
  Place(captionHeight, [font, caption](QPainter &p, const QRectF &box) {
    p.setFont(font);
    p.drawText(box, Qt::AlignHCenter | Qt::AlignTop, caption);
  });
  fFlow.Space(6 * kPoint);
}

QFont PageFrameFont() { return ReportFont(8); }

double PageFrameLine(QPaintDevice &device) { return QFontMetricsF(PageFrameFont(), &device).lineSpacing(); }

void PaintPageFrame(QPainter &painter, const QRectF &page, const TPageFrame &frame, int number, int pages) {
  const QFont frameFont = PageFrameFont();
  QPaintDevice *device = painter.device();
  const double frameLine = QFontMetricsF(frameFont, device).lineSpacing();
  painter.setPen(Qt::black);
  painter.setFont(frameFont);
  const double rightWidth = QFontMetricsF(frameFont, device).horizontalAdvance(frame.right);
  painter.drawText(QRectF(page.left(), page.top(), page.width(), frameLine), Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetricsF(frameFont, device)
                       .elidedText(frame.title, Qt::ElideRight, page.width() - rightWidth - 4 * frameLine));
  painter.drawText(QRectF(page.left(), page.top(), page.width(), frameLine), Qt::AlignRight | Qt::AlignVCenter,
                   frame.right);
  painter.setPen(QPen(Qt::black, 0.5 * kPoint));
  painter.drawLine(QPointF(page.left(), page.top() + 1.3 * frameLine), QPointF(page.right(), page.top() + 1.3 * frameLine));
  painter.drawLine(QPointF(page.left(), page.bottom() - 1.3 * frameLine),
                   QPointF(page.right(), page.bottom() - 1.3 * frameLine));
  painter.setPen(Qt::black);
  const QRectF footer(page.left(), page.bottom() - frameLine, page.width(), frameLine);
  painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, frame.footerLeft);
  painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Page %1 of %2").arg(number).arg(pages));
}

}  // namespace pylar
