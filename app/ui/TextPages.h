// Pages of fixed-width text (the engine's report, run notes and listings) for
// the printer and PDF: one fixed-width font sized so that the widest line, and
// never fewer than 80 columns, fits the page width; no line is wrapped or cut
// while it is at most kMaxColumns wide. A heading line with the file name and
// the page number tops each page. The same painter draws the pages of a whole
// document or serves as an appendix inside another document's pages.
#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;
class QPagedPaintDevice;

namespace pylar {

class TTextPagePainter {
 public:
  static constexpr int kMinColumns = 80;
  // Wider lines continue on the next line, marked at its start.
  static constexpr int kMaxColumns = 160;

  TTextPagePainter(const QStringList &lines, const QString &heading);

  // Without the heading line (a document that gives each page its own
  // heading); call before Layout.
  void ShowHeading(bool show) { fShowHeading = show; }

  // Lays the text out for pages whose printable area is `area` on `device`
  // (in the painter's units); call before PageCount and PaintPage.
  void Layout(QPaintDevice &device, const QRectF &area);
  int PageCount() const;
  int Columns() const { return fColumns; }
  const QFont &Font() const { return fFont; }
  // Paints page `page` (from 0) into the area given to Layout.
  void PaintPage(QPainter &painter, int page) const;

  // All pages on a printer or PDF writer, a new page between them. False when
  // the device cannot be painted on.
  bool Print(QPagedPaintDevice &device);

 private:
  QStringList fLines;  // after splitting lines wider than kMaxColumns
  QString fHeading;
  QRectF fArea;
  QFont fFont;
  int fColumns = kMinColumns;
  double fLineHeight = 0;
  int fLinesPerPage = 1;
  bool fShowHeading = true;
};

// Writes the text as a PDF file (A4 or Letter by the locale, portrait).
// Returns an empty string, or why the file could not be written.
QString ExportTextPdf(const QStringList &lines, const QString &heading, const QString &pdfPath);

}  // namespace pylar
