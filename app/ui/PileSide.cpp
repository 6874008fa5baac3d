#include "ui/PileSide.h"

#include "model/DataUnit.h"
#include "model/ReportNumbers.h"
#include "ui/Messages.h"
#include "ui/PictureFile.h"
#include "ui/PlotDialogs.h"
#include "ui/ReportPages.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPageSize>
#include <QPainter>
#include <QPolygonF>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace pylar {

namespace {

constexpr double kScreenDpi = 96;
constexpr double kPaperDpi = 600;  // the resolution the printed sizes are given for
const QColor kWaterBlue(0, 0, 255);

QPointer<TDlgSideView> &openView() {
  static QPointer<TDlgSideView> view;
  return view;
}

double deviceDpi(const QPainter &painter, const TSideViewStyle &style) {
  if (style.DotsPerInch > 0) return style.DotsPerInch;
  const QPaintDevice *device = painter.device();
  return device && device->logicalDpiY() > 0 ? device->logicalDpiY() : kScreenDpi;
}

QRectF paperFrame(const QRectF &rect) {
  return {rect.left() + 0.1 * rect.width(), rect.top() + 0.1 * rect.height(), 0.8 * rect.width(),
          0.8 * rect.height()};
}

// The usual water-table mark: an inverted triangle whose tip sits on the line.
void drawWaterMark(QPainter &p, QPointF tip, double width) {
  const QPolygonF mark({tip, {tip.x() - width / 2, tip.y() - width * 0.87}, {tip.x() + width / 2, tip.y() - width * 0.87}});
  p.setBrush(Qt::white);
  p.drawPolygon(mark);
  p.setBrush(Qt::NoBrush);
}


// A label on a ground of the background colour, so no line runs through it.
void drawLabel(QPainter &p, const QRectF &box, const QString &text, const TSideViewStyle &style) {
  p.fillRect(box, style.Background);
  p.setPen(style.Ink);
  p.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
}

// A dimension of the drawing as it is labelled: up to four significant
// digits, plain decimals ("3", "1.2", "3.897").
QString dimension(double value, const QString &unit) { return SignificantDecimal(value, 4) + u' ' + unit; }

// The depth scale: ticks and depths from the ground down, every 1, 2 or 5
// times a power of ten, as close as the labels allow; its unit on it. On
// screen along the left edge of the drawing, on paper in the margin left of
// the frame.
void drawDepthScale(QPainter &p, const TSideViewModel &model, const TSideViewport &vp, const TSideViewStyle &style,
                    const QFontMetricsF &fm, double unit, const QString &lengthUnit) {
  const bool paper = style.Layout == TSideLabelStyle::Paper;
  const QRectF area = vp.Target;
  const double textHeight = fm.height();
  const double perUnit = vp.ToPixel({0, 1}).y() - vp.ToPixel({0, 0}).y();  // pixels of one depth unit
  const double deepest = model.DepthOfY(vp.Bottom);
  if (!(perUnit > 0) || !std::isfinite(perUnit) || !(deepest > 0) || !std::isfinite(deepest)) return;
  const double wanted = 2.5 * textHeight / perUnit;
  double step = std::pow(10.0, std::floor(std::log10(wanted)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0})
    if (factor * step >= wanted) {
      step *= factor;
      break;
    }
  if (!(step > 0) || !std::isfinite(step) || deepest / step > 1000) return;
  const double tick = paper ? 60 * unit : 6 * unit;
  const double edge = paper ? area.left() : area.left() + 2 * unit;
  QPen pen(style.Ink, paper ? 4 * unit : std::max(1.0, std::round(unit)));
  pen.setCapStyle(Qt::FlatCap);
  // The scale's own line, from the ground to its last tick.
  double last = vp.ToPixel({0, model.GroundY()}).y();
  for (int k = 0; k * step <= deepest; ++k) {
    const double row = vp.ToPixel({0, model.YOfDepth(k * step)}).y();
    if (row + textHeight / 2 > area.bottom()) break;
    last = row;
    p.setPen(pen);
    const QString text = SignificantDecimal(k * step, 6);
    if (paper) {
      p.drawLine(QPointF(edge - tick, row), QPointF(edge, row));
      p.setPen(style.Ink);
      p.drawText(QRectF(edge - tick - 0.3 * textHeight - fm.horizontalAdvance(text) - 1, row - textHeight / 2,
                        fm.horizontalAdvance(text) + 1, textHeight),
                 Qt::AlignRight | Qt::AlignVCenter, text);
    } else {
      p.drawLine(QPointF(edge, row), QPointF(edge + tick, row));
      p.setPen(style.Ink);
      p.drawText(QRectF(edge + tick + 3 * unit, row - textHeight / 2, fm.horizontalAdvance(text) + 1, textHeight),
                 Qt::AlignLeft | Qt::AlignVCenter, text);
    }
  }
  p.setPen(pen);
  p.drawLine(QPointF(edge, vp.ToPixel({0, model.GroundY()}).y()), QPointF(edge, last));
  // Its unit: on screen above the ground at the top left corner, on paper
  // above the scale in the margin.
  p.setPen(style.Ink);
  if (paper) {
    const QString caption = u'(' + lengthUnit + u')';
    p.drawText(QRectF(edge - tick - fm.horizontalAdvance(caption) - 1, area.top() - 1.4 * textHeight,
                      fm.horizontalAdvance(caption) + 1, textHeight),
               Qt::AlignRight | Qt::AlignVCenter, caption);
    return;
  }
  const QString caption = QStringLiteral("Depth (") + lengthUnit + u')';
  p.drawText(QRectF(edge, area.top() + unit, fm.horizontalAdvance(caption) + 1, textHeight), Qt::AlignLeft | Qt::AlignTop,
             caption);
}

// The pier's dimensions beside it (left of it on screen, where the layer
// labels are on the right; right of it on paper): a dimension line of the
// length from the ground to the tip, and the stem, length and bell labelled.
template <typename RowOf>
void drawDimensions(QPainter &p, const TSideViewModel &model, const TSideViewport &vp, const TSideViewStyle &style,
                    const QFontMetricsF &fm, double unit, const QString &lengthUnit, RowOf rowOf) {
  const bool paper = style.Layout == TSideLabelStyle::Paper;
  const double textHeight = fm.height();
  const double side = paper ? 1 : -1;
  const double widest = model.Bell.Belled ? model.Shape.Ratio * model.D / 2 : model.D / 2;
  const double edge = vp.ToPixel({side * widest, 0}).x();
  const double lineX = edge + side * textHeight;
  const double ground = rowOf(model.GroundY());
  const double tip = rowOf(model.YOfDepth(model.PierLength));
  if (!std::isfinite(lineX) || !std::isfinite(ground) || !std::isfinite(tip)) return;
  QPen pen(style.Ink, paper ? 4 * unit : std::max(1.0, std::round(unit)));
  pen.setCapStyle(Qt::FlatCap);
  p.setPen(pen);
  const double tickHalf = 0.3 * textHeight;
  p.drawLine(QPointF(lineX, ground), QPointF(lineX, tip));
  p.drawLine(QPointF(lineX - tickHalf, ground), QPointF(lineX + tickHalf, ground));
  p.drawLine(QPointF(lineX - tickHalf, tip), QPointF(lineX + tickHalf, tip));

  QStringList texts{QStringLiteral("Stem diameter ") + dimension(model.D, lengthUnit),
                    // Without a length (the design-load method) the stem runs to the
                    // bottom of the profile, which is no length of the pier.
                    model.LengthGiven ? QStringLiteral("Pier length ") + dimension(model.PierLength, lengthUnit)
                                      : QStringLiteral("Pier length set by the design load")};
  if (model.Bell.Belled)
    texts << QStringLiteral("Bell diameter ") + dimension(model.Shape.Ratio * model.D, lengthUnit) +
                 QStringLiteral(", ") + SignificantDecimal(model.Shape.BellAngle, 4) + QStringLiteral("°, ") +
                 dimension(model.Bell.Height, lengthUnit) + QStringLiteral(" high");
  // Stem at the top, length at the middle, bell at the tip; one below the
  // other when the pier is too short to hold them apart.
  const double wanted[3] = {ground + 0.3 * textHeight, (ground + tip) / 2 - textHeight / 2, tip - 1.3 * textHeight};
  double next = -1e300;
  const double gap = 0.3 * textHeight;
  for (int k = 0; k < texts.size(); ++k) {
    const double top = std::max(wanted[k], next);
    const double width = fm.horizontalAdvance(texts[k]) + 0.5 * textHeight;
    const double left = paper ? lineX + 2 * tickHalf : lineX - 2 * tickHalf - width;
    drawLabel(p, QRectF(left, top, width, textHeight), texts[k], style);
    next = top + textHeight + gap;
  }
}

}  // namespace

TSideViewStyle TSideViewStyle::Paper() {
  TSideViewStyle style;
  style.Layout = TSideLabelStyle::Paper;
  return style;
}

TSideViewport SideViewArea(const TSideViewModel &model, const QRectF &rect, TSideLabelStyle layout) {
  if (layout == TSideLabelStyle::Paper) return FitSideView(model, paperFrame(rect));
  // A strip at the bottom keeps the deepest line (the bottom of the profile)
  // in view instead of on the window's lower edge.
  return FitSideView(model, rect.adjusted(0, 0, 0, -0.02 * rect.height()));
}

TSideViewport PaintSideView(QPainter &p, const QRectF &rect, const TSideViewModel &model,
                            const TSideViewStyle &style) {
  const bool paper = style.Layout == TSideLabelStyle::Paper;
  const TSideViewport vp = SideViewArea(model, rect, style.Layout);
  p.save();
  p.fillRect(rect, style.Background);
  const double dpi = deviceDpi(p, style);
  // Device units of one screen pixel or of one 600-dpi printer dot.
  const double unit = dpi / (paper ? kPaperDpi : kScreenDpi);
  p.setFont(style.Font);
  const QFontMetricsF fm(style.Font, p.device());
  const double textHeight = fm.height();

  if (vp.NoDraw && !paper) {
    p.setPen(style.Ink);
    p.drawText(rect, Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("Nothing to draw: enter the pier diameter and the layer depths."));
  }
  if (!vp.CanMap() || model.Data.empty()) {
    p.restore();
    return vp;
  }

  const QRectF area = vp.Target;
  const auto rowOf = [&](double y) { return paper ? vp.ToPixel({0, y}).y() : std::round(vp.ToPixel({0, y}).y()); };
  QPen linePen(style.Ink, paper ? 12 * unit : std::max(1.0, std::round(unit)));
  linePen.setCapStyle(Qt::FlatCap);

  const QString lengthUnit = model.Units == kUnitsSI ? QStringLiteral("m") : QStringLiteral("ft");
  if (paper) {
    p.setPen(QPen(style.Ink, std::max(1.0, 3 * unit)));
    p.drawRect(area);
    // Project title and depth unit in the margin above the frame; a title
    // too long for the room left of the unit is shortened, never drawn over it.
    p.setPen(style.Ink);
    const QRectF heading(area.left(), area.top() - 1.6 * textHeight, area.width(), textHeight);
    const QString depthUnit = QStringLiteral("Depths in ") + lengthUnit;
    const double titleRoom = heading.width() - fm.horizontalAdvance(depthUnit) - 2 * textHeight;
    p.drawText(heading, Qt::AlignLeft | Qt::AlignVCenter,
               titleRoom > 0 ? fm.elidedText(model.Title, Qt::ElideRight, titleRoom) : QString());
    p.drawText(heading, Qt::AlignRight | Qt::AlignVCenter, depthUnit);
  }
  drawDepthScale(p, model, vp, style, fm, unit, lengthUnit);
  p.setClipRect(paper ? area : rect);
  // Printed labels stand at 15 % of the height from the left, never outside
  // the frame; the ground hatch starts at 35 % unless the first label
  // reaches that far.
  const double paperLabelX = std::max(rect.left() + 0.15 * rect.height(), area.left() + 0.02 * area.width());
  const double paperHatchX =
      std::max(rect.left() + 0.35 * rect.height(),
               paperLabelX + fm.horizontalAdvance(SideLayerLabel(model.Layers.front(), style.Layout)) + textHeight);

  // The lines first, then the labels on a ground of their own: no line (the
  // water table above all) strikes through a label.
  std::vector<std::pair<QRectF, QString>> labels;
  for (size_t i = 0; i < model.Layers.size(); ++i) {
    const TSideLayer &layer = model.Layers[i];
    p.setPen(linePen);
    if (i == 0) {
      const double ground = rowOf(model.GroundY());
      p.drawLine(QPointF(area.left(), ground), QPointF(area.right(), ground));
      QPen hatchPen = linePen;
      hatchPen.setWidthF(paper ? 6 * unit : linePen.widthF());
      p.setPen(hatchPen);
      const int strokes = paper ? 10 : 20;
      for (int k = 1; k <= strokes; ++k) {
        const double x = paper ? paperHatchX + 50 * k * unit : rect.left() + (100 + 20 * k) * unit;
        const double dx = paper ? 0.015 * rect.height() : 15 * unit;
        const double dy = paper ? 70 * unit : 5 * unit;
        p.drawLine(QPointF(x, ground), QPointF(x + dx, ground + dy));
      }
      p.setPen(linePen);
    }
    const double bottom = rowOf(model.YOfDepth(layer.Bottom));
    p.drawLine(QPointF(area.left(), bottom), QPointF(area.right(), bottom));

    // Label: below the layer's top line, or at it for the rock names on screen.
    const QString text = SideLayerLabel(layer, style.Layout);
    if (text.isEmpty()) continue;
    const double top = rowOf(model.YOfDepth(layer.Top));
    double textTop, x;
    if (paper) {
      textTop = top + linePen.widthF() / 2 + 0.25 * textHeight;
      x = paperLabelX;
    } else {
      textTop = SideLabelHasDepths(layer.Code, style.Layout) ? top + textHeight : top + 1;
      // In a column beside the widest part of the pier, not under it.
      x = vp.ToPixel({model.DRight, 0}).x() + 4 * unit;
    }
    labels.emplace_back(QRectF(x, textTop, fm.horizontalAdvance(text) + 0.5 * textHeight, textHeight), text);
  }

  if (model.HasWater) {
    const double y = model.YOfDepth(model.WaterDepth);
    if (y >= vp.Top && y <= vp.Bottom) {
      const double row = rowOf(y);
      QPen waterPen(kWaterBlue, paper ? 8 * unit : std::max(2.0, std::round(2 * unit)));
      waterPen.setCapStyle(Qt::FlatCap);
      p.setPen(waterPen);
      p.drawLine(QPointF(area.left(), row), QPointF(area.right(), row));
      QPen markPen(kWaterBlue, paper ? 4 * unit : std::max(1.0, std::round(unit)));
      markPen.setJoinStyle(Qt::MiterJoin);
      p.setPen(markPen);
      drawWaterMark(p, QPointF(area.left() + 0.85 * area.width(), row), paper ? 140 * unit : 12 * unit);
    }
  }

  for (const auto &[box, text] : labels) drawLabel(p, box, text, style);

  // The pier on top; a hairline in its own colour keeps a very slender pier
  // visible, and a piece smaller than a pixel still covers one.
  QPen pierPen(style.Pier, 0);
  pierPen.setCosmetic(true);
  p.setPen(pierPen);
  p.setBrush(style.Pier);
  for (const TSideQuad &q : model.Data) {
    QPolygonF polygon;
    for (const QPointF &corner : {q.TopLeft, q.TopRight, q.BottomRight, q.BottomLeft}) {
      const QPointF at = vp.ToPixel(corner);
      polygon << (paper ? at : QPointF(std::round(at.x()), std::round(at.y())));
    }
    const QRectF box = polygon.boundingRect();
    if (box.width() < 1 || box.height() < 1)
      p.fillRect(QRectF(box.left(), box.top(), std::max(box.width(), 1.0), std::max(box.height(), 1.0)), style.Pier);
    p.drawPolygon(polygon);
  }
  p.setBrush(Qt::NoBrush);
  drawDimensions(p, model, vp, style, fm, unit, lengthUnit, rowOf);
  p.restore();
  return vp;
}

QString SaveSideView(const QString &path, const TSideViewModel &model, QSize size, int dotsPerInch) {
  if (!PictureSizeAllowed(size.width(), size.height()) || dotsPerInch < 1)
    return QStringLiteral("The picture is too large or has no size: ") + path;
  const QString suffix = QFileInfo(path).suffix().toLower();
  TPictureFormat format = TPictureFormat::Png;
  if (suffix == QLatin1String("svg"))
    format = TPictureFormat::Svg;
  else if (suffix == QLatin1String("pdf"))
    format = TPictureFormat::Pdf;
  else if (suffix != QLatin1String("png"))
    return QStringLiteral("Pictures are saved as PNG, SVG or PDF files: ") + path;
  // The screen layout, black on white; a PDF page the paper layout.
  const TPictureWritten written =
      WritePicture(path, format, size, dotsPerInch, QString::fromLatin1(TDlgSideView::kPrintJobTitle),
                   [&model](QPainter &painter, const QRectF &area, TPictureFormat drawn) {
                     if (drawn == TPictureFormat::Pdf)
                       PaintSideView(painter, area, model, TSideViewStyle::Paper());
                     else
                       PaintSideView(painter, area, model);
                   });
  switch (written.outcome) {
    case TPictureOutcome::Saved: return {};
    case TPictureOutcome::NoMemory: return QStringLiteral("There is not enough memory to complete this task.");
    case TPictureOutcome::WriteFailed: break;
  }
  return QStringLiteral("The picture could not be written: ") + path + QStringLiteral(" (") + written.reason + u')';
}

QString SaveSideView(const QString &path, const TProgramData &project, QSize size, int dotsPerInch) {
  return SaveSideView(path, BuildSideView(project), size, dotsPerInch);
}

// ---------------------------------------------------------------- the window

TSideViewCanvas::TSideViewCanvas(TDlgSideView *form) : QWidget(form), fForm(form) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(40, 40);
}

void TSideViewCanvas::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  PaintSideView(painter, QRectF(rect()), fForm->Model(), fForm->ScreenStyle());
}

void TSideViewCanvas::mouseMoveEvent(QMouseEvent *event) { fForm->MouseMoved(event->position()); }

void TSideViewCanvas::leaveEvent(QEvent *) { fForm->MouseLeft(); }

TDlgSideView *TDlgSideView::Show(QMdiArea *area, TProjectSource project) {
  // A view closed in the area is gone even while its deletion is pending.
  if (TDlgSideView *closing = openView().data(); closing && area) {
    auto *sub = qobject_cast<QMdiSubWindow *>(closing->parentWidget());
    if (sub && !area->subWindowList().contains(sub)) openView() = nullptr;
  }
  if (TDlgSideView *view = openView().data()) {
    QWidget *frame = view->parentWidget() ? view->parentWidget() : view;
    if (frame->isMinimized()) frame->showNormal();
    frame->show();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(frame); sub && area) area->setActiveSubWindow(sub);
    view->Rebuild();
    return view;
  }
  auto *view = new TDlgSideView(std::move(project));
  openView() = view;
  view->Rebuild();
  if (area) {
    const QSize wanted = view->size();
    QMdiSubWindow *sub = area->addSubWindow(view);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Activation rebuilds the drawing, after the window left behind has
    // written its values back.
    connect(sub, &QMdiSubWindow::windowStateChanged, view,
            [view](Qt::WindowStates before, Qt::WindowStates now) {
              if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive)) view->scheduleRebuild();
            });
    sub->show();
    sub->resize(sub->size() - view->size() + wanted);
    area->setActiveSubWindow(sub);
  } else {
    view->show();
  }
  return view;
}

TDlgSideView *TDlgSideView::Instance() { return openView().data(); }

TDlgSideView::TDlgSideView(TProjectSource project, QWidget *parent) : QWidget(parent), fProject(std::move(project)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromLatin1(kCaption));
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto *bar = new QHBoxLayout;
  bar->setContentsMargins(6, 4, 6, 4);
  bar->addStretch();
  fLabel = new QLabel(QStringLiteral("Pile Geometry"), this);
  bar->addWidget(fLabel);
  bar->addSpacing(12);
  fPrint = new QPushButton(QStringLiteral("Print"), this);
  fSave = new QPushButton(QStringLiteral("Save To Disk"), this);
  bar->addWidget(fPrint);
  bar->addWidget(fSave);
  layout->addLayout(bar);
  fCanvas = new TSideViewCanvas(this);
  layout->addWidget(fCanvas, 1);
  connect(fPrint, &QPushButton::clicked, this, &TDlgSideView::PrintClick);
  connect(fSave, &QPushButton::clicked, this, &TDlgSideView::SaveToDiskClick);
  // The drawing gets the client area of 632 x 422 pixels; the button row sits above it.
  resize(kClientWidth, kClientHeight + bar->sizeHint().height());
}

TDlgSideView::~TDlgSideView() {
  if (openView() == this) openView() = nullptr;
}

void TDlgSideView::Rebuild() {
  fRebuildPending = false;
  fModel = BuildSideView(fProject());
  fCanvas->update();
}

void TDlgSideView::scheduleRebuild() {
  if (fRebuildPending) return;
  fRebuildPending = true;
  QTimer::singleShot(0, this, [this] {
    if (fRebuildPending) Rebuild();
  });
}

bool TDlgSideView::event(QEvent *event) {
  // A window of its own (not in the main window's area) is activated this way.
  if (event->type() == QEvent::WindowActivate && !qobject_cast<QMdiSubWindow *>(parentWidget())) scheduleRebuild();
  return QWidget::event(event);
}

TSideViewport TDlgSideView::Viewport() const { return SideViewArea(fModel, QRectF(fCanvas->rect()), TSideLabelStyle::Screen); }

TSideViewStyle TDlgSideView::ScreenStyle() const {
  TSideViewStyle style;
  style.Background = palette().color(QPalette::Window);
  style.Pier = palette().color(QPalette::WindowText);
  style.Ink = Qt::black;
  style.Font = fLabel->font();
  return style;
}

TSideViewStyle TDlgSideView::PaperStyle() const {
  TSideViewStyle style = TSideViewStyle::Paper();
  style.Font = fLabel->font();
  return style;
}

void TDlgSideView::MouseMoved(QPointF pos) {
  const QString text = DepthReadoutAt(fModel, Viewport(), pos);
  if (!text.isEmpty()) setWindowTitle(text);
}

void TDlgSideView::MouseLeft() { setWindowTitle(QString::fromLatin1(kCaption)); }

QPrinter &TDlgSideView::Printer() {
  if (!fPrinter) {
    fPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The calculation report's paper until the user chooses another.
    fPrinter->setPageSize(QPageSize(ReportPageSize(fModel.Units)));
  }
  return *fPrinter;
}

bool TDlgSideView::PrintTo(QPrinter &printer) {
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setDocName(QString::fromLatin1(kPrintJobTitle));
  // The frame is laid out on the whole sheet.
  printer.setFullPage(true);
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  PaintSideView(painter, printer.paperRect(QPrinter::DevicePixel), fModel, PaperStyle());
  return painter.end();
}

void TDlgSideView::PrintClick() {
  Rebuild();
  QPrintDialog dialog(&Printer(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!PrintTo(Printer())) ShowInformation(this, QStringLiteral("The elevation view could not be printed."));
}

void TDlgSideView::SaveToDiskClick() {
  QString filter = QStringLiteral("PNG image (*.png)");
  QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Save To Disk"), QString(),
      QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"), &filter);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty())
    path += filter.contains(QLatin1String("svg"))   ? QStringLiteral(".svg")
            : filter.contains(QLatin1String("pdf")) ? QStringLiteral(".pdf")
                                                    : QStringLiteral(".png");
  const int dpi = std::max(1, fCanvas->logicalDpiX());
  TSaveAttributesDialog attributes(std::max(2.0, static_cast<double>(fCanvas->width()) / dpi),
                                   std::max(2.0, static_cast<double>(fCanvas->height()) / dpi), 150, this);
  if (attributes.exec() != QDialog::Accepted) return;
  const int ppi = attributes.PixelsPerInch();
  const QSize size(static_cast<int>(std::lround(std::clamp(attributes.WidthInch() * ppi, 0.0, 1e9))),
                   static_cast<int>(std::lround(std::clamp(attributes.HeightInch() * ppi, 0.0, 1e9))));
  Rebuild();
  if (const QString error = SaveSideView(path, fModel, size, ppi); !error.isEmpty()) ShowInformation(this, error);
}

}  // namespace pylar
