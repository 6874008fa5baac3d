#include "ui/PltData.h"

#include "model/ExportDlg.h"
#include "ui/Messages.h"
#include "ui/PlotDialogs.h"
#include "ui/PlotFile.h"
#include "ui/ReportPages.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPrinter>
#include <QRubberBand>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace pylar {

namespace {

const QString kNoMemory = QStringLiteral("There is not enough memory to complete this task.");

QHash<const TGraphPlot *, QPointer<TPlotForm>> &openForms() {
  static QHash<const TGraphPlot *, QPointer<TPlotForm>> forms;
  return forms;
}

QFont legendFont(const TGraphPlot &plot) {
  QFont font(QStringLiteral("Times New Roman"));
  font.setStyleHint(QFont::Serif);
  font.setPointSizeF(std::clamp(plot.fLegendFont, 4, 72) * std::clamp(plot.fSizeFont, 1, 100) / 10.0);
  return font;
}

struct MenuChoice {
  const char *text;
  int value;
};
constexpr MenuChoice kMarkerChoices[] = {{"&Never", 0},          {"Every &Increment", 1},
                                         {"Every &2 Increments", 2}, {"Every &3 Incrments", 3},
                                         {"Every &5 Increments", 5}, {"Every &10 Incements", 10}};
constexpr MenuChoice kFontChoices[] = {{"&Default", 10},      {"1.5 * Default", 15}, {"2 * Default", 20},
                                       {"2.5 * Default", 25}, {"3 * Default", 30},   {"4 * Default", 40}};
constexpr MenuChoice kWidthChoices[] = {
    {"&Default", 1}, {"2 * Default", 2}, {"4 * Default", 4}, {"6 * Default", 6}, {"10 * Default", 10}};

}  // namespace

// ---------------------------------------------------------------- legend list

TLegendList::TLegendList(QWidget *parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::NoFocus);
}

void TLegendList::MoveInside(QPoint pos) {
  const QWidget *p = parentWidget();
  if (!p) {
    move(pos);
    return;
  }
  const int x = std::max(0, std::min(pos.x(), p->width() - width()));
  const int y = std::max(0, std::min(pos.y(), p->height() - height()));
  move(x, y);
}

void TLegendList::mousePressEvent(QMouseEvent *event) {
  if (event->button() == Qt::LeftButton) {
    fPressed = true;
    fDragging = false;
    fPressGlobal = event->globalPosition().toPoint();
    fPressPos = pos();
  }
  QListWidget::mousePressEvent(event);
}

void TLegendList::mouseMoveEvent(QMouseEvent *event) {
  if (fPressed && (event->buttons() & Qt::LeftButton)) {
    const QPoint delta = event->globalPosition().toPoint() - fPressGlobal;
    if (fDragging || delta.manhattanLength() >= QApplication::startDragDistance()) {
      fDragging = true;
      MoveInside(fPressPos + delta);
      emit dragged();
      return;
    }
  }
  QListWidget::mouseMoveEvent(event);
}

void TLegendList::mouseReleaseEvent(QMouseEvent *event) {
  fPressed = false;
  fDragging = false;
  QListWidget::mouseReleaseEvent(event);
}

void TLegendList::mouseDoubleClickEvent(QMouseEvent *event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid()) emit curveToggled(index.row());
  event->accept();
}

// --------------------------------------------------------------------- canvas

TPlotCanvas::TPlotCanvas(TPlotForm *form) : QWidget(form), fForm(form) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(120, 90);
}

void TPlotCanvas::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  PaintPlot(painter, fForm->Picture(), fForm->ScreenTarget());
}

void TPlotCanvas::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  fForm->CanvasResized();
}

void TPlotCanvas::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  fForm->CanvasShown();
}

void TPlotCanvas::mousePressEvent(QMouseEvent *event) {
  const QPoint pos = event->position().toPoint();
  const QRect graph = fForm->ScreenLayout().graph;
  if (!graph.contains(pos)) return;
  if (event->button() == Qt::LeftButton) {
    fForm->Zooming = true;
    fForm->ZoomOrigin = fForm->MovePoint = pos;
    fForm->ZoomBand()->setGeometry(QRect(pos, QSize()));
    fForm->ZoomBand()->show();
  } else if (event->button() == Qt::RightButton) {
    fForm->ZoomOut(pos);
  }
}

void TPlotCanvas::mouseMoveEvent(QMouseEvent *event) { fForm->MouseMoved(event->position().toPoint()); }

void TPlotCanvas::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton || !fForm->Zooming) return;
  fForm->Zooming = false;
  fForm->ZoomBand()->hide();
  fForm->ZoomIn(fForm->ZoomOrigin, event->position().toPoint());
}

// ------------------------------------------------------------------ plot form

TPlotForm::TPlotForm(TGraphPlot &plot, QWidget *parent) : QWidget(parent), Data(plot) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(Data.fCaption);

  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  fMenuBar = new QMenuBar(this);
  layout->setMenuBar(fMenuBar);
  fCanvas = new TPlotCanvas(this);
  layout->addWidget(fCanvas);
  fLegend = new TLegendList(fCanvas);
  connect(fLegend, &TLegendList::dragged, this, [this] { fLegendByUser = true; });
  connect(fLegend, &TLegendList::curveToggled, this, [this](int row) {
    if (row >= 0 && row < static_cast<int>(fLegendCurves.size())) ToggleCurve(fLegendCurves[static_cast<size_t>(row)]);
  });
  fZoomBand = new QRubberBand(QRubberBand::Rectangle, fCanvas);
  fZoomBand->hide();

  fPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
  fPrinter->setPageMargins(QMarginsF(kDefaultMarginInch, kDefaultMarginInch, kDefaultMarginInch, kDefaultMarginInch),
                           QPageLayout::Inch);
  fPrinter->setDocName(Data.fCaption);
  // The calculation report's paper (Letter for English units, A4 for SI)
  // until the user chooses another in Page Setup or the print dialog.
  fPrinter->setPageSize(QPageSize(ReportPageSize(Data.Units())));

  buildMenu();
  openData();
  resize(640, 480);
  relayout(true);
}

void TPlotForm::openData() {
  const PlotBoundsResult bounds = OpenPlotData(Data);
  fValid = bounds.ok;
  MaxLogicBounds = LogicBounds = bounds.range;
  RebuildCurves();
}

void TPlotForm::ReloadPlot(const TGraphPlot &plot) {
  TPlotForm *form = FormOf(plot);
  if (!form) return;
  form->openData();
  if (!form->IsValid()) {
    HidePlot(plot);
    return;
  }
  form->PlaceLegend();
}

TPlotForm::~TPlotForm() {
  auto &forms = openForms();
  const auto it = forms.find(&Data);
  if (it != forms.end() && (it.value().isNull() || it.value() == this)) forms.erase(it);
}

TPlotForm *TPlotForm::ShowPlot(QMdiArea *area, TGraphPlot &plot) {
  if (TPlotForm *form = FormOf(plot)) {
    QWidget *frame = form->parentWidget() ? form->parentWidget() : form;
    if (frame->isMinimized()) frame->showNormal();
    frame->show();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(frame); sub && area) area->setActiveSubWindow(sub);
    return form;
  }
  auto *form = new TPlotForm(plot);
  if (!form->IsValid()) {
    delete form;
    return nullptr;
  }
  openForms().insert(&plot, form);
  if (area) {
    QMdiSubWindow *sub = area->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->resize(660, 520);
    sub->show();
  } else {
    form->show();
  }
  form->relayout(true);
  return form;
}

void TPlotForm::HidePlot(const TGraphPlot &plot) {
  if (TPlotForm *form = FormOf(plot)) {
    QWidget *frame = qobject_cast<QMdiSubWindow *>(form->parentWidget());
    delete (frame ? frame : static_cast<QWidget *>(form));
  }
}

TPlotForm *TPlotForm::FormOf(const TGraphPlot &plot) { return openForms().value(&plot).data(); }

PlotPicture TPlotForm::Picture(bool withPoints) const { return PlotPictureOf(Data, LogicBounds, withPoints); }

PlotTarget TPlotForm::ScreenTarget() const {
  PlotTarget t;
  t.area = fCanvas->rect();
  t.pxPerInchX = std::max(1, fCanvas->logicalDpiX());
  t.pxPerInchY = std::max(1, fCanvas->logicalDpiY());
  return t;
}

PlotLayout TPlotForm::ScreenLayout() const { return LayoutPlot(Picture(false), ScreenTarget()); }

QAction *TPlotForm::MenuAction(const QString &text) const {
  for (QAction *a : fPlotMenu->actions()) {
    if (a->text() == text) return a;
    if (a->menu())
      for (QAction *sub : a->menu()->actions())
        if (a->text() + QLatin1Char('|') + sub->text() == text) return sub;
  }
  return nullptr;
}

void TPlotForm::MouseMoved(QPoint pos) {
  const QRect graph = ScreenLayout().graph;
  if (graph.isNull()) return;
  const QPoint clamped(std::clamp(pos.x(), graph.left(), graph.right()),
                       std::clamp(pos.y(), graph.top(), graph.bottom()));
  const QPointF v = PixelToData(LogicBounds, graph, Data.fXOnTop, clamped);
  setWindowTitle(Data.fCaption + QStringLiteral(" X: ") + ReadoutNumber(v.x()) + QStringLiteral(" Y: ") +
                 ReadoutNumber(v.y()));
  if (Zooming) {
    MovePoint = clamped;
    fZoomBand->setGeometry(QRect(ZoomOrigin, MovePoint).normalized());
  }
}

void TPlotForm::ZoomIn(QPoint from, QPoint to) {
  const QRect graph = ScreenLayout().graph;
  if (graph.isNull()) return;
  const auto clampPoint = [&](QPoint p) {
    return QPoint(std::clamp(p.x(), graph.left(), graph.right()), std::clamp(p.y(), graph.top(), graph.bottom()));
  };
  from = clampPoint(from);
  to = clampPoint(to);
  // A rectangle without width or height is no selection.
  if (from.x() == to.x() || from.y() == to.y()) return;
  const QPointF a = PixelToData(LogicBounds, graph, Data.fXOnTop, from);
  const QPointF b = PixelToData(LogicBounds, graph, Data.fXOnTop, to);
  const AxisSpan x = ZoomInAxis({MaxLogicBounds.Left, MaxLogicBounds.Right}, a.x(), b.x());
  const AxisSpan y = ZoomInAxis({MaxLogicBounds.Top, MaxLogicBounds.Bottom}, a.y(), b.y());
  LogicBounds = {x.start, x.end, y.start, y.end};
  fCanvas->update();
}

void TPlotForm::ZoomOut(QPoint at) {
  const QRect graph = ScreenLayout().graph;
  if (graph.isNull()) return;
  const QPointF c = PixelToData(LogicBounds, graph, Data.fXOnTop, at);
  const AxisSpan x = ZoomOutAxis({MaxLogicBounds.Left, MaxLogicBounds.Right}, {LogicBounds.Left, LogicBounds.Right}, c.x());
  const AxisSpan y = ZoomOutAxis({MaxLogicBounds.Top, MaxLogicBounds.Bottom}, {LogicBounds.Top, LogicBounds.Bottom}, c.y());
  LogicBounds = {x.start, x.end, y.start, y.end};
  fCanvas->update();
}

void TPlotForm::ToggleCurve(int curve) {
  if (curve < 0 || curve >= Data.CurveCount()) return;
  TLine &line = Data.fData[static_cast<size_t>(curve)];
  line.fVisible = !line.fVisible;
  // Names and marks of the legend and menu follow at once.
  for (size_t row = 0; row < fLegendCurves.size(); ++row)
    if (fLegendCurves[row] == curve) {
      if (QListWidgetItem *item = fLegend->item(static_cast<int>(row)))
        item->setText(ShownCurveName(Data, curve) + (line.fVisible ? QStringLiteral(" *") : QString()));
      fCurveItems[row]->setChecked(line.fVisible);
    }
  fCanvas->update();
}

void TPlotForm::buildMenu() {
  fPlotMenu = fMenuBar->addMenu(QStringLiteral("&Plot"));
  connect(fPlotMenu, &QMenu::aboutToShow, this, &TPlotForm::menuAboutToShow);

  fShowLegend = fPlotMenu->addAction(QStringLiteral("Show &Legend"));
  fShowLegend->setCheckable(true);
  connect(fShowLegend, &QAction::triggered, this, [this] {
    Data.fShowLegend = !Data.fShowLegend;
    fLegend->setVisible(Data.CurveCount() > 0 && Data.fShowLegend && !fLegendCurves.empty());
  });
  fShowLayers = fPlotMenu->addAction(QStringLiteral("Show &Soil Layer"));
  fShowLayers->setCheckable(true);
  connect(fShowLayers, &QAction::triggered, this, [this] {
    Data.fShowLayers = !Data.fShowLayers;
    relayout(true);
  });
  // No plot of this program has wall lines; the item stays hidden.
  fShowWall = fPlotMenu->addAction(QStringLiteral("Show &Wall Geometry"));
  fShowWall->setCheckable(true);
  fShowWall->setVisible(false);

  const auto addChoices = [this](const QString &title, std::span<const MenuChoice> choices, int TGraphPlot::*field,
                                 bool placeLegend, QActionGroup *&group) {
    QMenu *menu = fPlotMenu->addMenu(title);
    group = new QActionGroup(this);
    group->setExclusive(true);
    for (const MenuChoice &c : choices) {
      QAction *a = menu->addAction(QString::fromLatin1(c.text));
      a->setCheckable(true);
      a->setData(c.value);
      group->addAction(a);
      connect(a, &QAction::triggered, this, [this, field, value = c.value, placeLegend] {
        Data.*field = value;
        if (placeLegend) {
          RebuildCurves();  // the legend font follows the font size
          relayout(true);
        } else {
          fCanvas->update();
        }
      });
    }
    return menu;
  };
  addChoices(QStringLiteral("Show &Markers"), kMarkerChoices, &TGraphPlot::fMarkers, false, fMarkerGroup);
  fFontMenu = addChoices(QStringLiteral("&Font Size"), kFontChoices, &TGraphPlot::fSizeFont, true, fFontGroup);
  fWidthMenu = addChoices(QStringLiteral("&Line Width"), kWidthChoices, &TGraphPlot::fWidthLine, false, fWidthGroup);
  fFontMenu->menuAction()->setVisible(Data.fShowFontWidth);
  fWidthMenu->menuAction()->setVisible(Data.fShowFontWidth);

  connect(fPlotMenu->addAction(QStringLiteral("&Graph Title")), &QAction::triggered, this, &TPlotForm::GraphTitleClick);
  connect(fPlotMenu->addAction(QStringLiteral("&Edit Legend")), &QAction::triggered, this, &TPlotForm::EditLegendClick);
  connect(fPlotMenu->addAction(QStringLiteral("&Active Curves")), &QAction::triggered, this,
          &TPlotForm::ActiveCurvesClick);
  fPrint = fPlotMenu->addAction(QStringLiteral("&Print..."));
  connect(fPrint, &QAction::triggered, this, &TPlotForm::PrintClick);
  fPageSetup = fPlotMenu->addAction(QStringLiteral("P&age Setup"));
  connect(fPageSetup, &QAction::triggered, this, &TPlotForm::PageSetupClick);
  connect(fPlotMenu->addAction(QStringLiteral("&Save To Disk...")), &QAction::triggered, this,
          &TPlotForm::SaveToDiskClick);
  connect(fPlotMenu->addAction(QStringLiteral("&Copy Data")), &QAction::triggered, this, &TPlotForm::CopyDataClick);
  fCurveSeparator = fPlotMenu->addSeparator();
}

void TPlotForm::menuAboutToShow() {
  fShowLegend->setChecked(Data.fShowLegend);
  fShowLayers->setVisible(!Data.gData.empty());
  fShowLayers->setChecked(Data.fShowLayers);
  const auto check = [](QActionGroup *group, int value) {
    for (QAction *a : group->actions()) a->setChecked(a->data().toInt() == value);
  };
  check(fMarkerGroup, Data.fMarkers);
  check(fFontGroup, Data.fSizeFont);
  check(fWidthGroup, Data.fWidthLine);
  fFontMenu->menuAction()->setVisible(Data.fShowFontWidth);
  fWidthMenu->menuAction()->setVisible(Data.fShowFontWidth);
  for (size_t row = 0; row < fCurveItems.size(); ++row) {
    const int c = fLegendCurves[row];
    if (c >= 0 && c < Data.CurveCount()) fCurveItems[row]->setChecked(Data.fData[static_cast<size_t>(c)].fVisible);
  }
}

void TPlotForm::RebuildCurves() {
  for (QAction *a : fCurveItems) {
    fPlotMenu->removeAction(a);
    delete a;
  }
  fCurveItems.clear();
  fLegendCurves.clear();
  fLegend->clear();
  fLegend->setFont(legendFont(Data));
  int position = 0;
  for (int c = 0; c < Data.CurveCount(); ++c) {
    const TLine &line = Data.fData[static_cast<size_t>(c)];
    if (!line.fActive) continue;
    const QString name = ShownCurveName(Data, c);
    auto *item = new QListWidgetItem(name + (line.fVisible ? QStringLiteral(" *") : QString()));
    item->setForeground(QColor::fromRgb(CurveColor(position++)));
    fLegend->addItem(item);
    QAction *a = fPlotMenu->addAction(name);
    a->setCheckable(true);
    a->setChecked(line.fVisible);
    a->setData(c);  // the item remembers its curve
    connect(a, &QAction::triggered, this, [this, c] { ToggleCurve(c); });
    fCurveItems.push_back(a);
    fLegendCurves.push_back(c);
  }
  sizeLegend();
  fLegend->setVisible(Data.CurveCount() > 0 && Data.fShowLegend && !fLegendCurves.empty());
  fCanvas->update();
}

void TPlotForm::sizeLegend() {
  const QFontMetrics fm(fLegend->font());
  int widest = 0;
  for (int row = 0; row < fLegend->count(); ++row)
    widest = std::max(widest, fm.horizontalAdvance(fLegend->item(row)->text().remove(QStringLiteral(" *")) +
                                                   QStringLiteral(" *")));
  const int rowHeight = fLegend->count() > 0 ? std::max(fLegend->sizeHintForRow(0), fm.height()) : fm.height();
  const int frame = 2 * fLegend->frameWidth();
  fLegend->resize(widest + logicalDpiX() / 4 + frame, fLegend->count() * rowHeight + 3 + frame);
  fLegend->MoveInside(fLegend->pos());
}

void TPlotForm::PlaceLegend() {
  fLegendByUser = false;
  const PlotPicture pic = Picture();
  const PlotTarget target = ScreenTarget();
  const PlotLayout layout = LayoutPlot(pic, target);
  if (layout.graph.isNull()) {
    fLegend->MoveInside(fCanvas->rect().bottomRight() - QPoint(fLegend->width(), fLegend->height()));
    return;
  }
  fLegend->MoveInside(AutoLegendRect(pic, target, layout, fLegend->size()).topLeft());
}

void TPlotForm::CanvasResized() {
  // A legend the user placed stays where it is; otherwise it follows the
  // curves to the emptiest corner.
  if (fLegendPlaced && fLegendByUser)
    fLegend->MoveInside(fLegend->pos());
  else
    PlaceLegend();
}

void TPlotForm::CanvasShown() {
  if (fLegendPlaced) return;
  PlaceLegend();
  fLegendPlaced = true;
}

void TPlotForm::relayout(bool placeLegend) {
  if (placeLegend) PlaceLegend();
  fCanvas->update();
}

QPointF TPlotForm::legendFraction() const {
  const QSize s = fCanvas->size();
  if (s.width() <= 0 || s.height() <= 0) return {0.75, 0.75};
  return {static_cast<double>(fLegend->x()) / s.width(), static_cast<double>(fLegend->y()) / s.height()};
}

QPrinter &TPlotForm::Printer() { return *fPrinter; }

bool TPlotForm::PrintTo(QPrinter &printer) {
  printer.setDocName(Data.fCaption);
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  PlotTarget t;
  t.area = QRect(QPoint(0, 0), printer.pageRect(QPrinter::DevicePixel).size().toSize());
  t.pxPerInchX = std::max(1, printer.logicalDpiX());
  t.pxPerInchY = std::max(1, printer.logicalDpiY());
  t.forPrint = true;
  t.drawLegendBox = Data.fShowLegend;
  t.legendAuto = !fLegendByUser;
  t.legendAt = legendFraction();
  t.footer = Data.Footer.Text();
  PaintPlot(painter, Picture(), t);
  return painter.end();
}

TPlotForm::SaveResult TPlotForm::SaveToFile(const QString &path, double widthInch, double heightInch,
                                            int pixelsPerInch, QString *reason) {
  const TPictureWritten written =
      SavePlotPicture(path, Data, LogicBounds, widthInch, heightInch, pixelsPerInch, !fLegendByUser, legendFraction());
  switch (written.outcome) {
    case TPictureOutcome::Saved: return SaveResult::Saved;
    case TPictureOutcome::NoMemory: return SaveResult::NoMemory;
    case TPictureOutcome::WriteFailed: break;
  }
  if (reason) *reason = written.reason;
  return SaveResult::WriteFailed;
}

TPlotForm::SaveResult TPlotForm::SaveToDisk(const QString &path, double widthInch, double heightInch,
                                            int pixelsPerInch) {
  QString reason;
  const SaveResult result = SaveToFile(path, widthInch, heightInch, pixelsPerInch, &reason);
  if (result == SaveResult::NoMemory) ShowInformation(this, kNoMemory);
  if (result == SaveResult::WriteFailed)
    ShowInformation(this, QStringLiteral("The file could not be written: ") + path +
                              (reason.isEmpty() ? QString() : QStringLiteral(" (") + reason + QStringLiteral(")")));
  return result;
}

void TPlotForm::GraphTitleClick() {
  TGraphCaptionDialog dialog(Data.UserCaption, Data.UserCaptionOnTop, this);
  dialog.exec();
  // The window takes the entered values when it closes.
  Data.UserCaption = dialog.Caption();
  Data.UserCaptionOnTop = dialog.OnTop();
  relayout(false);
}

void TPlotForm::EditLegendClick() {
  TLegendDialog dialog(Data, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const QStringList names = dialog.Names();
  for (int c = 0; c < Data.CurveCount() && c < names.size(); ++c) Data.SetCurveName(c, names[c]);
  RebuildCurves();
}

void TPlotForm::ActiveCurvesClick() {
  TActiveCurvesDialog dialog(Data, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::vector<bool> states = dialog.States();
  for (size_t c = 0; c < Data.fData.size() && c < states.size(); ++c) Data.fData[c].fActive = states[c];
  RebuildCurves();
}

void TPlotForm::PreparePrinter() {
  const QString proposed = Data.ProposedOutputPath(QStringLiteral(".pdf"));
  if (proposed.isEmpty()) return;
  fPrinter->setDocName(QFileInfo(proposed).completeBaseName());
  // The print dialog proposes a file in the home folder unless one is set;
  // set it only when printing to a file is all there is, so an installed
  // printer stays the default.
  if (QPrinterInfo::availablePrinterNames().isEmpty() &&
      (fPrinter->outputFileName().isEmpty() || fPrinter->outputFileName() == fProposedPrintFile)) {
    fPrinter->setOutputFileName(proposed);
    fProposedPrintFile = proposed;
  }
}

QSizeF TPlotForm::ProposedPictureInches() const {
  const double dpiX = std::max(1, fCanvas->logicalDpiX()), dpiY = std::max(1, fCanvas->logicalDpiY());
  auto rounded = [](double inches) { return std::max(2.0, std::round(inches * 2) / 2); };
  return {rounded(fCanvas->width() / dpiX), rounded(fCanvas->height() / dpiY)};
}

void TPlotForm::PrintClick() {
  PreparePrinter();
  QPrintDialog dialog(fPrinter.get(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!PrintTo(*fPrinter)) ShowInformation(this, QStringLiteral("The plot could not be printed."));
}

void TPlotForm::PageSetupClick() {
  QPageSetupDialog dialog(fPrinter.get(), this);
  dialog.exec();
}

void TPlotForm::SaveToDiskClick() {
  QString filter = QStringLiteral("Bitmap (*.bmp)");
  QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Save To Disk"), Data.ProposedOutputPath(QStringLiteral(".bmp")),
      QStringLiteral("Bitmap (*.bmp);;PNG image (*.png);;SVG drawing (*.svg)"), &filter);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty())
    path += filter.contains(QLatin1String("png"))   ? QStringLiteral(".png")
            : filter.contains(QLatin1String("svg")) ? QStringLiteral(".svg")
                                                    : QStringLiteral(".bmp");
  const QSizeF inches = ProposedPictureInches();
  TSaveAttributesDialog attributes(inches.width(), inches.height(), 150, this);
  if (attributes.exec() != QDialog::Accepted) return;
  SaveToDisk(path, attributes.WidthInch(), attributes.HeightInch(), attributes.PixelsPerInch());
}

void TPlotForm::CopyDataClick() {
  // Pasted into a spreadsheet, the numbers are read with the user's decimal point.
  const QString point = QLocale::system().decimalPoint();
  QGuiApplication::clipboard()->setText(CurvesAsText(Data, point.isEmpty() ? QChar(u'.') : point.front()));
}

}  // namespace pylar
