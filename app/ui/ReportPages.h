// The calculation report's pages: its paper, fonts and units, the blocks of
// the document (headings, paragraphs, name-value pairs, tables that repeat
// their column headings over a page break, figures with captions) placed on
// pages by TPageFlow (model/PageFlow) together with what draws each, and the
// frame of every page (title and name above, file, run and page number
// below). What the report says is in ui/CalcReport.
#pragma once

#include "model/PageFlow.h"

#include <QFont>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

class QPainter;
class QPaintDevice;

namespace pylar {

// The paper of the calculation report, and of printed plots unless the user
// chooses another: Letter for English units, A4 for SI.
QPageSize::PageSizeId ReportPageSize(int units);

inline constexpr int kReportDpi = 300;
inline constexpr double kPoint = kReportDpi / 72.0;  // device pixels of a point

// The report's sans-serif font at a size in points, without ligatures (the
// text of the PDF is searched and copied as it reads: "fi", not one glyph).
QFont ReportFont(double points, bool bold = false);

using TDraw = std::function<void(QPainter &, const QRectF &)>;

struct TTable {
  QStringList headings;  // "\n" breaks a heading into lines
  std::vector<QStringList> rows;
  std::vector<bool> bold;  // per row
  int textColumns = 1;     // the first columns are left-aligned text, the others right-aligned numbers
};

// The document's blocks with what draws them, laid out on pages by TPageFlow.
class TReportBuilder {
 public:
  // A table's first rows go over a page break with its heading.
  static constexpr std::size_t kRowsKeptWithHeading = 2;

  TReportBuilder(QPaintDevice &device, const QRectF &body) : fDevice(device), fBody(body), fFlow(body.height()) {}

  TPageFlow &Flow() { return fFlow; }
  const QRectF &Body() const { return fBody; }

  // A block of the body's width; "with the next": it goes over a page break
  // with the block after it.
  void Place(double height, TDraw draw, bool withNext = false);
  // Paints the blocks of a page.
  void PaintPage(QPainter &painter, int page) const;
  double LineHeight(const QFont &font) const;

  // A heading of level 1 (ruled below) or 2.
  void Heading(const QString &text, int level);
  // A paragraph; one that introduces what follows (a layer's name above its
  // table) goes over a page break with it.
  void Paragraph(const QString &text, double points = 9, bool bold = false, bool withNext = false);
  // Two columns of names and values.
  void Pairs(const std::vector<std::pair<QString, QString>> &pairs);
  // A table at the largest font up to 9 pt at which its columns fit; a table
  // without rules (names and values) keeps its font and wraps its values.
  void Table(const TTable &table, bool ruled = true);
  // A figure of the whole body width and the given share of its height, with a caption below.
  void Figure(const QString &caption, double heightShare, TDraw draw);

 private:
  QPaintDevice &fDevice;
  QRectF fBody;
  TPageFlow fFlow;
  std::vector<TDraw> fDraws;
};

// The frame around the body of a page.
struct TPageFrame {
  QString title;       // at the top left, cut to leave room for `right`
  QString right;       // at the top right
  QString footerLeft;  // at the foot, left of "Page n of N"
};
// The font of the frame, and the height of one of its lines on `device`;
// the body is the page less two such lines at the top and at the foot.
QFont PageFrameFont();
double PageFrameLine(QPaintDevice &device);
// Paints the frame of page `number` (from 1) of `pages` onto the page rectangle.
void PaintPageFrame(QPainter &painter, const QRectF &page, const TPageFrame &frame, int number, int pages);

}  // namespace pylar
