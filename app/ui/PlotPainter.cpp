#include "ui/PlotPainter.h"

#include <QFontMetrics>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <climits>
#include <cmath>

namespace pylar {

namespace {

constexpr int kBasePoints = 10;  // caption and label size before scaling

QFont timesFont(double points, int pxPerInchY, bool bold) {
  QFont font(QStringLiteral("Times New Roman"));
  font.setStyleHint(QFont::Serif);
  font.setBold(bold);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * pxPerInchY / 72.0))));
  return font;
}

double scaleOf(const PlotPicture &pic) { return std::clamp(pic.sizeFont, 1, 100) / 10.0; }

QColor colourOf(int activePosition) { return QColor::fromRgb(CurveColor(activePosition)); }

// The fill of a soil band as an 8 x 8 texture scaled to the device, so hatches
// and patterns look alike on screen, paper and in files.
QBrush bandBrush(int value, int pxPerInchY) {
  std::array<std::uint8_t, 8> rows{};
  switch (BandFillFor(value)) {
    case BandFill::None: return QBrush(Qt::white);
    case BandFill::BackDiagonal: rows = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}; break;
    case BandFill::ForwardDiagonal: rows = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}; break;
    case BandFill::Cross: rows = {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}; break;
    case BandFill::DiagonalCross: rows = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}; break;
    case BandFill::Horizontal: rows = {0xFF, 0, 0, 0, 0, 0, 0, 0}; break;
    case BandFill::Vertical: rows = {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}; break;
    case BandFill::Pattern: rows = BandPattern(value); break;
  }
  const int k = std::clamp(pxPerInchY / 96, 1, 16);
  QImage img(8 * k, 8 * k, QImage::Format_RGB32);
  img.fill(Qt::white);
  for (int r = 0; r < 8; ++r)
    for (int c = 0; c < 8; ++c)
      if (rows[static_cast<size_t>(r)] & (0x80 >> c))
        for (int dy = 0; dy < k; ++dy)
          for (int dx = 0; dx < k; ++dx) img.setPixel(c * k + dx, r * k + dy, qRgb(0, 0, 0));
  return QBrush(img);
}

void appendMarker(QList<QLine> &lines, int curveIndex, QPoint at, int px, int py) {
  const std::vector<QPoint> c = MarkerCorners(curveIndex, at, px, py);
  for (size_t j = 0; j < c.size(); ++j) lines.append(QLine(c[j], c[(j + 1) % c.size()]));
}

void drawMarker(QPainter &p, int curveIndex, QPoint at, int px, int py) {
  QList<QLine> lines;
  appendMarker(lines, curveIndex, at, px, py);
  p.drawLines(lines);
}

void drawCaptions(QPainter &p, const PlotPicture &pic, const PlotTarget &t, const PlotLayout &l) {
  const QFont font = PlotCaptionFont(pic, t);
  p.setFont(font);
  p.setPen(Qt::black);
  const QFontMetrics fm(font);
  const int f = fm.height();
  const QRect a = t.area;
  const bool hasTitle = !pic.title.isEmpty();
  // The title sits on the top or bottom edge; the x caption next to the graph.
  if (hasTitle) {
    const QRect r = pic.titleOnTop ? QRect(a.left(), a.top(), a.width(), f)
                                   : QRect(a.left(), a.bottom() - f + 1, a.width(), f);
    p.drawText(r, Qt::AlignHCenter | Qt::AlignVCenter, pic.title);
  }
  const QString xText = AxisCaption(pic.xCaption, pic.xUnits, pic.units);
  int xTop;
  if (pic.xOnTop)
    xTop = a.top() + (hasTitle && pic.titleOnTop ? f + f / 8 : 0);
  else
    xTop = a.bottom() - f + 1 - (hasTitle && !pic.titleOnTop ? f : 0);
  p.drawText(QRect(l.graph.left(), xTop, l.graph.width(), f), Qt::AlignHCenter | Qt::AlignVCenter, xText);
  const QString yText = AxisCaption(pic.yCaption, pic.yUnits, pic.units);
  p.save();
  p.translate(a.left(), l.graph.top() + l.graph.height() / 2);
  p.rotate(-90);
  p.drawText(QRect(-l.graph.height() / 2, 0, l.graph.height(), f), Qt::AlignHCenter | Qt::AlignVCenter, yText);
  p.restore();
}

void drawGrid(QPainter &p, const PlotPicture &pic, const PlotTarget &t, const PlotLayout &l, int penWidth) {
  const int f = QFontMetrics(PlotCaptionFont(pic, t)).height();
  const QRect g = l.graph;
  const PlotRange &r = pic.range;
  const AxisTicks xt = TicksFor(r.Left, r.Right, g.width(), f);
  const AxisTicks yt = TicksFor(r.Top, r.Bottom, g.height(), f);
  if (xt.finish < xt.start || yt.finish < yt.start) return;
  const int px = t.pxPerInchX, py = t.pxPerInchY;
  const QFont labelFont = PlotLabelFont(pic, t);
  const QFontMetrics lm(labelFont);
  p.setFont(labelFont);
  const QPen tickPen(Qt::black, penWidth);
  QPen gridPen(Qt::black, 1, Qt::DotLine);
  QList<QLine> ticks, grid;
  const int edgeY = pic.xOnTop ? g.top() : g.bottom();
  const int xTick = pic.xOnTop ? py / 16 : -py / 16;
  for (long long k = xt.start; k <= xt.finish; ++k) {
    const int x = DataToPixel(r, g, pic.xOnTop, {xt.value(k), r.Top}).x();
    ticks.append(QLine(x, edgeY, x, edgeY + xTick));
    if (!AxisTicks::isMajor(k)) continue;
    grid.append(QLine(x, g.top(), x, g.bottom()));
    const QString label = TickLabel(xt.value(k));
    const int w = lm.horizontalAdvance(label);
    const int y = pic.xOnTop ? g.top() - py / 32 - lm.height() : g.bottom() + py / 16;
    p.setPen(Qt::black);
    p.drawText(QRect(x - w, y, 2 * w, lm.height()), Qt::AlignCenter, label);
  }
  for (long long k = yt.start; k <= yt.finish; ++k) {
    const double v = yt.value(k);
    const int y = DataToPixel(r, g, pic.xOnTop, {r.Left, v}).y();
    ticks.append(QLine(g.left(), y, g.left() + px / 16, y));
    if (!AxisTicks::isMajor(k)) continue;
    grid.append(QLine(g.left(), y, g.right(), y));
    const QString label = TickLabel(v);
    const int w = lm.horizontalAdvance(label);
    p.save();
    p.translate(g.left() - px / 32, y);
    p.rotate(-90);
    p.setPen(Qt::black);
    p.drawText(QRect(-w, -lm.height(), 2 * w, lm.height()), Qt::AlignCenter, label);
    p.restore();
  }
  p.setPen(gridPen);
  p.drawLines(grid);
  p.setPen(tickPen);
  p.drawLines(ticks);
}

void drawCurves(QPainter &p, const PlotPicture &pic, const PlotTarget &t, const PlotLayout &l, int penWidth) {
  bool enoughPoints = false;
  for (const auto &c : pic.curves) enoughPoints = enoughPoints || c.points.size() >= 2;
  if (!enoughPoints) return;
  p.save();
  p.setClipRect(l.graph);
  QPolygon poly;
  QList<QLine> markers;
  for (const auto &c : pic.curves) {
    if (!c.visible || c.points.empty()) continue;
    p.setPen(QPen(colourOf(c.activePosition), penWidth));
    // The marker's corners relative to its point are the same for every point.
    const std::vector<QPoint> corners = MarkerCorners(c.index, QPoint(0, 0), t.pxPerInchX, t.pxPerInchY);
    poly.resize(static_cast<qsizetype>(c.points.size()));
    markers.clear();
    QPoint lastMarker(INT_MIN, INT_MIN);
    const int reach = std::max(t.pxPerInchX, t.pxPerInchY) / 32 + 2;
    const QRect markerArea = l.graph.adjusted(-reach, -reach, reach, reach);
    for (size_t i = 0; i < c.points.size(); ++i) {
      const QPoint q = DataToPixel(pic.range, l.graph, pic.xOnTop, c.points[i]);
      poly[static_cast<qsizetype>(i)] = q;
      // A marker on the same pixel as the previous one would only redraw it.
      if (pic.markers > 0 && i % static_cast<size_t>(pic.markers) == 0 && q != lastMarker &&
          markerArea.contains(q)) {
        for (size_t j = 0; j < corners.size(); ++j)
          markers.append(QLine(q + corners[j], q + corners[(j + 1) % corners.size()]));
        lastMarker = q;
      }
    }
    p.drawPolyline(poly);
    if (!markers.isEmpty()) p.drawLines(markers);
  }
  p.restore();
}

QFont legendFontOf(const PlotPicture &pic, const PlotTarget &t) {
  return timesFont(pic.legendFont * scaleOf(pic), t.pxPerInchY, false);
}

void drawLegendBox(QPainter &p, const PlotPicture &pic, const PlotTarget &t, const PlotLayout &l) {
  const QRect box = LegendRect(pic, t, l);
  if (box.isEmpty()) return;
  const QFont font = legendFontOf(pic, t);
  const QFontMetrics fm(font);
  const int px = t.pxPerInchX, py = t.pxPerInchY;
  const int markerRoom = px / 8 + px / 32;  // marker and its gaps, inside the 3/16 inch
  const int lineH = fm.height() + py / 32;
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawRect(box);
  p.setBrush(Qt::NoBrush);
  p.setFont(font);
  int row = 0;
  for (const auto &c : pic.curves) {
    if (!c.visible) continue;
    const int top = box.top() + py / 32 + row * lineH;
    const QColor colour = colourOf(c.activePosition);
    p.setPen(QPen(colour, 1));
    drawMarker(p, c.index, QPoint(box.left() + px / 16 + 1, top + fm.height() / 2), px, py);
    p.drawText(QRect(box.left() + markerRoom, top, box.width() - markerRoom, fm.height()),
               Qt::AlignLeft | Qt::AlignVCenter, c.name);
    ++row;
  }
}

void drawSoilColumn(QPainter &p, const PlotPicture &pic, const PlotTarget &t, const PlotLayout &l) {
  if (l.column.isNull() || pic.bands.empty()) return;
  std::vector<double> ordinates;
  ordinates.reserve(pic.bands.size());
  for (const auto &b : pic.bands) ordinates.push_back(b.y);
  const std::vector<BandSpan> spans = BandSpans(pic.layersTop, ordinates);
  // The column shares the graph's vertical scale.
  const QRect colGraph(l.column.left(), l.graph.top(), l.column.width(), l.graph.height());
  // Names are written in 10-point Times; a name wider than the column gets
  // a smaller size so that it stays readable inside it.
  QFont font = timesFont(10, t.pxPerInchY, false);
  int widest = 0;
  for (const auto &b : pic.bands) widest = std::max(widest, QFontMetrics(font).horizontalAdvance(b.name));
  if (widest > l.column.width() - 2 && widest > 0)
    font.setPixelSize(std::max(1, font.pixelSize() * (l.column.width() - 2) / widest));
  const QFontMetrics fm(font);
  p.save();
  p.setClipRect(l.column.adjusted(0, 0, 1, 1));
  p.setFont(font);
  for (size_t k = 0; k < spans.size(); ++k) {
    const int y0 = DataToPixel(pic.range, colGraph, pic.xOnTop, {0, spans[k].from}).y();
    const int y1 = DataToPixel(pic.range, colGraph, pic.xOnTop, {0, spans[k].to}).y();
    const QRect band(QPoint(l.column.left(), std::min(y0, y1)), QPoint(l.column.right(), std::max(y0, y1)));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(bandBrush(pic.bands[k].value, t.pxPerInchY));
    p.drawRect(band);
    const QString &text = pic.bands[k].name;
    const int w = fm.horizontalAdvance(text);
    // Centred in the part of the band that is in view, so a band reaching
    // beyond the graph still shows its name.
    const QRect shown = band.intersected(l.column);
    if (shown.isEmpty()) continue;
    const QRect label(shown.center().x() - w / 2, shown.center().y() - fm.height() / 2, w, fm.height());
    p.fillRect(label, Qt::white);
    p.drawText(label, Qt::AlignCenter, text);
  }
  p.restore();
  p.setBrush(Qt::NoBrush);
}

}  // namespace

QFont PlotCaptionFont(const PlotPicture &pic, const PlotTarget &target) {
  return timesFont(kBasePoints * scaleOf(pic), target.pxPerInchY, true);
}

QFont PlotLabelFont(const PlotPicture &pic, const PlotTarget &target) {
  return timesFont(kBasePoints * scaleOf(pic), target.pxPerInchY, false);
}

PlotLayout LayoutPlot(const PlotPicture &pic, const PlotTarget &target) {
  PlotLayoutInput in;
  in.area = target.area;
  in.fontHeight = QFontMetrics(PlotCaptionFont(pic, target)).height();
  in.pxPerInchX = target.pxPerInchX;
  in.pxPerInchY = target.pxPerInchY;
  in.xOnTop = pic.xOnTop;
  in.hasTitle = !pic.title.isEmpty();
  in.titleOnTop = pic.titleOnTop;
  in.showColumn = pic.showLayers && !pic.bands.empty();
  in.forPrint = target.forPrint;
  return ComputeLayout(in);
}

QSize LegendBoxSize(const PlotPicture &pic, const PlotTarget &target) {
  const QFontMetrics fm(legendFontOf(pic, target));
  int widest = 0, count = 0;
  for (const auto &c : pic.curves)
    if (c.visible) {
      widest = std::max(widest, fm.horizontalAdvance(c.name));
      ++count;
    }
  if (count == 0) return {};
  const int lineH = fm.height() + target.pxPerInchY / 32;
  return {widest + 3 * target.pxPerInchX / 16, count * lineH + target.pxPerInchY / 32};
}

QRect AutoLegendRect(const PlotPicture &pic, const PlotTarget &target, const PlotLayout &layout, QSize size) {
  std::vector<std::vector<QPoint>> curves;
  for (const auto &c : pic.curves) {
    if (!c.visible) continue;
    std::vector<QPoint> pixels;
    pixels.reserve(c.points.size());
    for (const QPointF &point : c.points) pixels.push_back(DataToPixel(pic.range, layout.graph, pic.xOnTop, point));
    curves.push_back(std::move(pixels));
  }
  return LegendCorner(layout.graph, size, target.pxPerInchY / 16, curves);
}

QRect LegendRect(const PlotPicture &pic, const PlotTarget &target, const PlotLayout &layout) {
  const QSize size = LegendBoxSize(pic, target);
  if (size.isEmpty() || layout.graph.isNull()) return {};
  if (target.legendAuto) return AutoLegendRect(pic, target, layout, size);
  const QRect a = target.area, g = layout.graph;
  auto fraction = [](double f) { return std::isfinite(f) ? std::clamp(f, 0.0, 1.0) : 0.0; };
  int x = a.left() + static_cast<int>(std::lround(fraction(target.legendAt.x()) * a.width()));
  int y = a.top() + static_cast<int>(std::lround(fraction(target.legendAt.y()) * a.height()));
  x = std::max(g.left(), std::min(x, g.right() - size.width()));
  y = std::max(g.top(), std::min(y, g.bottom() - size.height()));
  return {QPoint(x, y), size};
}

namespace {

QFont footerFont(const PlotTarget &target) {
  QFont font = timesFont(8, target.pxPerInchY, false);
  // No ligatures: the footer of a PDF is searched and copied as it reads.
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

}  // namespace

QRect PlotAreaAboveFooter(const PlotPicture &, const PlotTarget &target) {
  if (target.footer.isEmpty()) return target.area;
  const int strip = QFontMetrics(footerFont(target)).height() * 2;
  QRect area = target.area;
  area.setBottom(area.bottom() - strip);
  return area;
}

PlotLayout PaintPlot(QPainter &painter, const PlotPicture &pic, const PlotTarget &full) {
  // The footer's strip at the foot of the area; the graph above it.
  PlotTarget target = full;
  target.area = PlotAreaAboveFooter(pic, full);
  const PlotLayout layout = LayoutPlot(pic, target);
  painter.save();
  painter.fillRect(full.area, Qt::white);
  const int penWidth =
      (static_cast<int>(std::lround(target.pxPerInchX / 300.0)) + 1) * std::clamp(pic.widthLine, 1, 100);
  // Less than an inch to draw in: only the white area.
  if (target.area.width() < target.pxPerInchX || target.area.height() < target.pxPerInchY ||
      layout.graph.isNull()) {
    painter.restore();
    return layout;
  }
  if (!full.footer.isEmpty() && full.area.height() > target.area.height()) {
    const QFont font = footerFont(full);
    const QFontMetrics fm(font);
    const QRect strip(full.area.left(), target.area.bottom() + 1, full.area.width(), full.area.bottom() - target.area.bottom());
    const int rule = strip.top() + fm.height() / 2;
    painter.setPen(QPen(Qt::black, std::max(1, full.pxPerInchY / 150)));
    painter.drawLine(strip.left(), rule, strip.right(), rule);
    painter.setFont(font);
    // A long first part (the project's title) is shortened; what follows it
    // (the pier and the date) stays whole as long as it fits at all.
    QString text = full.footer;
    if (fm.horizontalAdvance(text) > strip.width()) {
      const qsizetype cut = text.indexOf(QStringLiteral("  |  "));
      const QString rest = cut < 0 ? QString() : text.mid(cut);
      const int room = strip.width() - fm.horizontalAdvance(rest);
      text = cut > 0 && room > fm.horizontalAdvance(QStringLiteral("MMMMMM"))
                 ? fm.elidedText(text.left(cut), Qt::ElideRight, room) + rest
                 : fm.elidedText(text, Qt::ElideRight, strip.width());
    }
    painter.drawText(QRect(strip.left(), rule + 1, strip.width(), strip.bottom() - rule), Qt::AlignLeft | Qt::AlignVCenter,
                     text);
  }

  drawCaptions(painter, pic, target, layout);
  drawGrid(painter, pic, target, layout, penWidth);
  drawCurves(painter, pic, target, layout, penWidth);
  if (pic.showLayers) drawSoilColumn(painter, pic, target, layout);
  if (target.drawLegendBox) drawLegendBox(painter, pic, target, layout);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(layout.graph);
  painter.restore();
  return layout;
}

}  // namespace pylar
