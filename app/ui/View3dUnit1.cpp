#include "ui/View3dUnit1.h"

#include "model/DataUnit.h"
#include "model/PltData.h"
#include "model/WholeFile.h"
#include "ui/CombinedPlotsDialog.h"
#include "ui/Messages.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QOpenGLContext>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

namespace pylar {

namespace {

QPointer<TDlgBlock> gOpenView;

}  // namespace

TDlgBlock::TDlgBlock(const TProgramData &project, const TResultPlots &plots, QWidget *parent)
    : QWidget(parent), fProject(project), fPlots(plots), fGl(new TglWindow(this)) {
  setWindowTitle(QString::fromLatin1(kCaption));
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(fGl);
  setMinimumSize(160, 120);
  fGl->OnCreate = [this] {
    // The lists die with the context (Qt makes a new one when the window moves to another top level).
    disconnect(fContextConnection);
    fContextConnection =
        connect(fGl->context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { fScene.ForgetLists(); });
    fScene.ForgetLists();
  };
  fGl->OnFailure = [this](const QString &problem) {
    QTimer::singleShot(0, this, [this, problem] {
      ShowInformation(this, QStringLiteral("The 3-D View cannot be shown: ") + problem + QLatin1Char('.'));
      if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->close();
      else
        close();
    });
  };
  fGl->OnPaint = [this] { paintScene(); };
  fGl->OnOverlay = [this](QPainter &painter) { paintOverlay(painter); };
  fGl->OnResize = [this](int, int) { fitToWindow(); };
  fGl->OnMouseDown = [this](QMouseEvent *e) { mouseDown(e); };
  fGl->OnMouseMove = [this](QMouseEvent *e) { mouseMove(e); };
  fGl->OnMouseUp = [this](QMouseEvent *e) { mouseUp(e); };
  // The wheel zooms about the pointer, whatever the mouse mode.
  fGl->OnWheel = [this](QWheelEvent *e) {
    const int delta = e->angleDelta().y();
    if (delta == 0 || fDragging) return;
    fView = ZoomAbout(fView, viewSize(), e->position(), WheelZoomFactor(delta));
    fGl->update();
    e->accept();
  };
  readData(true);
  gOpenView = this;
}

TDlgBlock::~TDlgBlock() {
  // The display lists go with the widget's context.
  if (fPileDiagrams) delete fPileDiagrams.data();
}

TDlgBlock *TDlgBlock::Instance() { return gOpenView.data(); }

TDlgBlock *TDlgBlock::Show(QMdiArea *area, const TProgramData &project, const TResultPlots &plots) {
  if (TDlgBlock *open = Instance()) {
    auto *frame = qobject_cast<QMdiSubWindow *>(open->parentWidget());
    if (frame) {
      if (frame->isMinimized()) frame->showNormal();
      frame->show();
      if (area) area->setActiveSubWindow(frame);
    }
    open->DataChanged();
    return open;
  }
  if (const QString problem = ProbeOpenGL(); !problem.isEmpty()) {
    ShowInformation(area, QStringLiteral("The 3-D View cannot be opened: ") + problem + QLatin1Char('.'));
    return nullptr;
  }
  auto *view = new TDlgBlock(project, plots);
  if (!area) {
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->resize(800, 600);
    view->show();
    return view;
  }
  QMdiSubWindow *frame = area->addSubWindow(view);
  frame->setAttribute(Qt::WA_DeleteOnClose);
  const QSize room = area->viewport()->size();
  frame->resize(std::max(room.width() * 3 / 4, 480), std::max(room.height() * 9 / 10, 360));
  frame->show();
  area->setActiveSubWindow(frame);
  QObject::connect(area, &QMdiArea::subWindowActivated, view, [view, frame](QMdiSubWindow *active) {
    if (active == frame) view->DataChanged();
  });
  return view;
}

QSize TDlgBlock::viewSize() const { return fGl->size().isEmpty() ? size() : fGl->size(); }

void TDlgBlock::readData(bool force) {
  const TSceneProject project = SceneProject(fProject);
  const bool projectChanged = force || !(project == fScene.Project());
  const TGraphPlot &plot = Options().ShowUltimateResults == 1 ? fPlots.pltCombineD : fPlots.pltCombine;
  std::vector<TSceneCurve> curves = CapacityCurves(fPlots, project, Options(), double(fProject.ValElevation));
  fScene.SetData(project, std::move(curves), ExpandUnitsTemplate(plot.fXUnits, plot.Units()));
  if (projectChanged) {
    const TSceneExtents extents = SceneExtents(project);
    if (!fViewFitted) {
      fView = StartView(extents, viewSize());
      fViewFitted = true;
    } else {
      fView.extents = extents;
      fView.fitScale = FitScale(extents, viewSize());
      fView.pan = -WorldPoint(extents.depth / 2);
    }
  }
}

void TDlgBlock::DataChanged() {
  readData(false);
  fGl->update();
}

bool TDlgBlock::HasResults() const { return HasCapacityCurves(fPlots, 0) || HasCapacityCurves(fPlots, 1); }

void TDlgBlock::fitToWindow() {
  fView.fitScale = FitScale(fView.extents, viewSize());
}

void TDlgBlock::SetOptions(const TView3dOptions &options) {
  const bool curvesChanged = options.ShowUltimateResults != Options().ShowUltimateResults ||
                             options.UltimateEffectsFactor != Options().UltimateEffectsFactor ||
                             options.ShowSkinFriction != Options().ShowSkinFriction ||
                             options.ShowTipResistance != Options().ShowTipResistance ||
                             options.ShowTotalCapacity != Options().ShowTotalCapacity;
  fScene.SetOptions(options);
  if (curvesChanged) readData(false);
  if (fPileDiagrams) fPileDiagrams->Load();
  fGl->update();
  emit optionsChanged();
}

void TDlgBlock::SetView(const TViewState &view) {
  fView = view;
  fGl->update();
}

void TDlgBlock::toggle(bool TView3dOptions::*option) {
  TView3dOptions o = Options();
  o.*option = !(o.*option);
  SetOptions(o);
}

void TDlgBlock::ShowPylarOption() { toggle(&TView3dOptions::ShowPylar); }
void TDlgBlock::ShowWaterLevelOption() { toggle(&TView3dOptions::ShowWaterLevel); }
void TDlgBlock::ShowSoilLayersOption() { toggle(&TView3dOptions::ShowSoilLayers); }
void TDlgBlock::ShowSoilLayerLabelsOption() { toggle(&TView3dOptions::ShowSoilLayerLabels); }
void TDlgBlock::ShowSoilLayerDepthLabelsOption() { toggle(&TView3dOptions::ShowSoilLayerDepthLabels); }
void TDlgBlock::ShowLocalAxesOption() { toggle(&TView3dOptions::ShowLocalAxes); }
void TDlgBlock::ShowSkinFrictionOption() { toggle(&TView3dOptions::ShowSkinFriction); }
void TDlgBlock::ShowTipResistanceOption() { toggle(&TView3dOptions::ShowTipResistance); }
void TDlgBlock::ShowTotalCapacityOption() { toggle(&TView3dOptions::ShowTotalCapacity); }

void TDlgBlock::UltimateEffectsWindow() {
  if (!fPileDiagrams) {
    fPileDiagrams = new TDlgPileDiagrams(this, window());
    fPileDiagrams->adjustSize();
    const QWidget *main = window();
    const QRect frame(main->mapToGlobal(QPoint(0, 0)), main->size());
    fPileDiagrams->move(CombinedPlotsPosition(frame, fPileDiagrams->frameGeometry().size()));
  }
  fPileDiagrams->Load();
  fPileDiagrams->show();
  fPileDiagrams->raise();
}

void TDlgBlock::Zooming(double factor) {
  if (!std::isfinite(factor) || factor <= 0) return;
  fView.zoom *= factor;
  fGl->update();
}

void TDlgBlock::RestartViewButtonClick() {
  fView = StartView(fView.extents, viewSize());
  fGl->update();
}

void TDlgBlock::SetMouseOption(int option) {
  if (option < moPanning || option > moZoomWindow) return;
  fMouseOption = option;
  ZoomWindowBoxEnabled = option == moZoomWindow;
  fDragging = false;
}

void TDlgBlock::paintScene() { fScene.Draw(*fGl, fView, viewSize(), fGl->devicePixelRatioF()); }

void TDlgBlock::paintOverlay(QPainter &painter) {
  if (!fDragging || fMouseOption != moZoomWindow) return;
  painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(fDownPosition, fMovePosition).normalized());
}

void TDlgBlock::mouseDown(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton) return;
  fDragging = true;
  fDownPosition = fMovePosition = event->position().toPoint();
  fDownView = fView;
}

void TDlgBlock::mouseMove(QMouseEvent *event) {
  if (!fDragging || !(event->buttons() & Qt::LeftButton)) return;
  // Followed with the left button alone or with Shift or Ctrl.
  if (event->modifiers() & ~(Qt::ShiftModifier | Qt::ControlModifier)) return;
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  fMovePosition = event->position().toPoint();
  switch (fMouseOption) {
    case moPanning: fView = PanView(fDownView, fDownPosition, fMovePosition, shift); break;
    case moZooming: fView = ZoomView(fDownView, fDownPosition, fMovePosition, viewSize()); break;
    case moRotating: fView = RotateView(fDownView, fDownPosition, fMovePosition, viewSize(), shift); break;
    default: break;
  }
  fGl->update();
}

void TDlgBlock::mouseUp(QMouseEvent *event) {
  if (!fDragging || event->button() != Qt::LeftButton) return;
  fDragging = false;
  if (fMouseOption == moZoomWindow)
    if (auto zoomed = ZoomWindowView(fDownView, fDownPosition, event->position().toPoint(), viewSize()))
      fView = *zoomed;
  fGl->update();
}

QImage TDlgBlock::Picture() { return fGl->grabFramebuffer(); }

QString TDlgBlock::SavePicture(const QString &path) {
  const QImage image = Picture();
  if (image.isNull()) return QStringLiteral("the view could not be read back from OpenGL");
  return WriteWholeFile(path, [&image](QIODevice &file) { return image.save(&file, "PNG"); });
}

void TDlgBlock::SavePictureClick() {
  QString path = SaveDialog ? SaveDialog()
                            : QFileDialog::getSaveFileName(this, QStringLiteral("Save Picture"), QString(),
                                                           QStringLiteral("PNG image (*.png)"));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
  if (const QString why = SavePicture(path); !why.isEmpty())
    ShowInformation(this, QStringLiteral("The picture could not be saved to ") + path + QStringLiteral(" (") + why + u')');
}

void TDlgBlock::contextMenuEvent(QContextMenuEvent *event) {
  QMenu menu(this);
  menu.addAction(QStringLiteral("Save Picture..."), this, &TDlgBlock::SavePictureClick);
  menu.exec(event->globalPos());
}

void TDlgBlock::closeEvent(QCloseEvent *event) {
  // The field is validated (a text that is no number is reported and the
  // factor stays), but the view always closes: the main window closes it
  // before it replaces the project the view reads.
  if (fPileDiagrams) {
    fPileDiagrams->CloseQuery();
    fPileDiagrams->deleteLater();
  }
  event->accept();
  emit closed();
}

}  // namespace pylar
