#include "ui/TextPages.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace pylar {

namespace {

constexpr QChar kContinuation = u'\u21aa';  // marks the rest of a line wider than kMaxColumns

QFont fixedFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setKerning(false);
  return font;
}

}  // namespace

TTextPagePainter::TTextPagePainter(const QStringList &lines, const QString &heading) : fHeading(heading) {
  for (const QString &line : lines) {
    fLines << line.left(kMaxColumns);
    for (qsizetype at = kMaxColumns; at < line.size(); at += kMaxColumns - 1)
      fLines << QString(kContinuation) + line.mid(at, kMaxColumns - 1);
  }
  int widest = 0;
  for (const QString &line : fLines) widest = std::max(widest, static_cast<int>(line.size()));
  fColumns = std::clamp(widest, kMinColumns, kMaxColumns);
}

void TTextPagePainter::Layout(QPaintDevice &device, const QRectF &area) {
  fArea = area;
  fFont = fixedFont();
  // The advance of a fixed font grows with its size: one measurement gives the
  // size at which the columns fill the width, then a check trims rounding.
  fFont.setPointSizeF(10);
  double advance = QFontMetricsF(fFont, &device).horizontalAdvance(QString(fColumns, u'M'));
  double size = std::min(10.0, 10.0 * area.width() / std::max(advance, 1.0));
  for (int tries = 0; tries < 20; ++tries) {
    fFont.setPointSizeF(size);
    advance = QFontMetricsF(fFont, &device).horizontalAdvance(QString(fColumns, u'M'));
    if (advance <= area.width()) break;
    size *= 0.98;
  }
  fLineHeight = QFontMetricsF(fFont, &device).lineSpacing();
  // Two lines of the page go to the heading and the gap below it.
  fLinesPerPage = std::max(1, static_cast<int>(std::floor(area.height() / std::max(fLineHeight, 1e-6))) -
                                  (fShowHeading ? 2 : 0));
}

int TTextPagePainter::PageCount() const {
  return std::max(1, static_cast<int>((fLines.size() + fLinesPerPage - 1) / fLinesPerPage));
}

void TTextPagePainter::PaintPage(QPainter &painter, int page) const {
  painter.save();
  painter.setFont(fFont);
  painter.setPen(Qt::black);
  const QFontMetricsF metrics(fFont, painter.device());
  const double ascent = metrics.ascent();
  if (fShowHeading) {
    const QString number = QStringLiteral("Page %1 of %2").arg(page + 1).arg(PageCount());
    painter.drawText(QPointF(fArea.left(), fArea.top() + ascent), fHeading);
    painter.drawText(QPointF(fArea.right() - metrics.horizontalAdvance(number), fArea.top() + ascent), number);
    painter.drawLine(QPointF(fArea.left(), fArea.top() + fLineHeight * 1.2),
                     QPointF(fArea.right(), fArea.top() + fLineHeight * 1.2));
  }
  const int first = page * fLinesPerPage;
  const int last = std::min(static_cast<int>(fLines.size()), first + fLinesPerPage);
  double y = fArea.top() + (fShowHeading ? 2 * fLineHeight : 0) + ascent;
  for (int l = first; l < last; ++l, y += fLineHeight) painter.drawText(QPointF(fArea.left(), y), fLines[l]);
  painter.restore();
}

bool TTextPagePainter::Print(QPagedPaintDevice &device) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  const QRectF area(QPointF(0, 0), device.pageLayout().paintRectPixels(device.logicalDpiX()).size());
  Layout(device, area);
  for (int page = 0; page < PageCount(); ++page) {
    if (page > 0 && !device.newPage()) return false;
    PaintPage(painter, page);
  }
  return painter.end();
}

QString ExportTextPdf(const QStringList &lines, const QString &heading, const QString &pdfPath) {
  QPdfWriter writer(pdfPath);
  writer.setResolution(300);
  writer.setTitle(heading);
  writer.setCreator(QStringLiteral("Pylar 2017"));
  const bool letter = QLocale().territory() == QLocale::UnitedStates || QLocale().territory() == QLocale::Canada;
  writer.setPageLayout(QPageLayout(QPageSize(letter ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
  TTextPagePainter pages(lines, heading);
  if (!pages.Print(writer))
    return QStringLiteral("The file %1 could not be written.").arg(QFileInfo(pdfPath).absoluteFilePath());
  return {};
}

}  // namespace pylar
