#include "ui/View3dUnit1.h"

#include "model/DataUnit.h"
#include "model/PltData.h"
#include "model/WholeFile.h"
#include "ui/DataEdit.h"
#include "ui/Messages.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QOpenGLContext>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

namespace pylar {

namespace {

constexpr int kSlices = 20;
constexpr GLuint kPierList = 1;  // offsets from the list base: list 2 and list 5 of the scene
constexpr GLuint kSoilList = 4;

void colour(TglCalls &gl, TRgb c, double alpha = 1) { gl.Color(c.r, c.g, c.b, alpha); }

// Diameter of the pier at a depth (the bell widens linearly).
double diameterAt(const TPierGeometry &g, double depth) {
  for (const TPierSection &s : g.sections)
    if (depth >= s.top && depth <= s.bottom) {
      const double t = s.bottom > s.top ? (depth - s.top) / (s.bottom - s.top) : 0;
      return s.topDiameter + t * (s.bottomDiameter - s.topDiameter);
    }
  return g.baseDiameter;
}

QPointer<TDlgBlock> gOpenView;

}  // namespace

// ---------------------------------------------------------------------------
// The scene

void TView3dScene::SetData(const TSceneProject &project, std::vector<TSceneCurve> curves, const QString &forceUnits) {
  if (fListBase != 0 && project == fProject && curves == fCurves && forceUnits == fForceUnits) return;
  fProject = project;
  fCurves = std::move(curves);
  fForceUnits = forceUnits;
  InitKode = 0;
}

void TView3dScene::SetOptions(const TView3dOptions &options) {
  fOptions = options;
  InitKode = 0;
}

void TView3dScene::Build(TglCalls &gl) {
  const auto start = std::chrono::steady_clock::now();
  if (fListBase == 0) fListBase = gl.GenLists(5);
  fLabels.clear();
  gl.NewList(fListBase + kPierList, GL_COMPILE);
  if (fOptions.ShowPylar) buildPier(gl);
  gl.EndList();
  gl.NewList(fListBase + kSoilList, GL_COMPILE);
  buildSoil(gl);
  gl.EndList();
  gl.Finish();
  InitKode = 1;
  fBuildTime = std::chrono::steady_clock::now() - start;
}

void TView3dScene::buildPier(TglCalls &gl) {
  const TPierGeometry g = PierGeometry(fProject);
  if (!g.sections.empty()) {
    // The pier is lit so that it reads as round; colours stay as set where it faces the viewer.
    gl.Enable(GL_LIGHTING);
    gl.Enable(GL_COLOR_MATERIAL);
    gl.Enable(GL_NORMALIZE);
    gl.ColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    // The solids lie a little behind the rings and the curves that start on their surface.
    gl.Enable(GL_POLYGON_OFFSET_FILL);
    gl.PolygonOffset(1, 1);
    for (const TPierSection &s : g.sections) {
      colour(gl, s.colour);
      gl.PushMatrix();
      gl.Translate(s.top, 0, 0);
      gl.Rotate(90, 0, 1, 0);  // the cylinder's z axis along the depth
      gl.SolidCylinder(s.topDiameter / 2, s.bottomDiameter / 2, s.bottom - s.top, kSlices);
      gl.PopMatrix();
    }
    colour(gl, kStemColour);
    gl.PushMatrix();
    gl.Rotate(90, 0, 1, 0);
    gl.Disk(0, g.sections.front().topDiameter / 2, kSlices, true);  // the top faces the ground surface
    gl.PopMatrix();
    gl.PushMatrix();
    gl.Translate(g.tip, 0, 0);
    gl.Rotate(90, 0, 1, 0);
    gl.Disk(0, g.baseDiameter / 2, kSlices);
    gl.PopMatrix();
    gl.Disable(GL_POLYGON_OFFSET_FILL);
    gl.Disable(GL_LIGHTING);
    gl.Disable(GL_COLOR_MATERIAL);

    colour(gl, kRingColour);
    gl.LineWidth(2);
    for (double depth : g.rings) {
      const double r = diameterAt(g, depth) / 2 * 1.03;
      gl.Begin(GL_LINE_LOOP);
      for (int i = 0; i < kSlices; ++i) {
        const double a = 2 * M_PI * i / kSlices;
        gl.Vertex3(depth, r * std::cos(a), r * std::sin(a));
      }
      gl.End();
    }
  }
  if (!fOptions.ShowUltimateEffects) return;
  gl.LineWidth(2);
  int written = 0;
  for (const TSceneCurve &curve : fCurves) {
    colour(gl, curve.colour);
    gl.Begin(GL_LINE_STRIP);
    for (const QPointF &p : curve.points) gl.Vertex3(p.x(), p.y(), 0);
    gl.End();
    if (fOptions.ShowUltimateEffectsValues)
      fLabels.push_back({WorldPoint(curve.maxPoint.x(), curve.maxPoint.y()),
                         FormatGeneral(curve.maxValue, 5, QLatin1Char('.')) + QLatin1Char(' ') + fForceUnits,
                         curve.colour, QPointF(4, 16.0 * written++)});  // one under the other where they meet
  }
}

void TView3dScene::buildSoil(TglCalls &gl) {
  const TSceneExtents e = SceneExtents(fProject);
  const double hw = e.halfWidth;
  gl.Enable(GL_BLEND);
  gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  gl.LineWidth(1);
  if (fOptions.ShowWaterLevel && std::isfinite(fProject.waterDepth)) {
    const double w = fProject.waterDepth;
    const double d = fProject.diameter > 0 ? fProject.diameter : e.LateralExtent() / 25;
    const double size = d / 2;
    colour(gl, kWaterColour);
    gl.Begin(GL_LINE_LOOP);
    gl.Vertex3(w, -hw, -hw), gl.Vertex3(w, hw, -hw), gl.Vertex3(w, hw, hw), gl.Vertex3(w, -hw, hw);
    gl.End();
    // Translucent faces write no depth, so that nothing behind them is lost.
    gl.Disable(GL_CULL_FACE);
    gl.DepthMask(false);
    colour(gl, kWaterColour, 0.75);
    gl.Begin(GL_QUADS);
    gl.Vertex3(w, -hw, -hw), gl.Vertex3(w, hw, -hw), gl.Vertex3(w, hw, hw), gl.Vertex3(w, -hw, hw);
    gl.End();
    // Inverted pyramids standing on the water table, the apex at the water.
    const double span = std::max(e.LateralExtent() - d, 0.0);
    for (int pass = 0; pass < 2; ++pass) {
      gl.DepthMask(pass == 1);
      colour(gl, kWaterColour, pass == 0 ? 0.5 : 1);
      for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) {
          const double y = -span / 2 + span * i / 4, z = -span / 2 + span * j / 4;
          const double top = w - size, s = size / 2;
          const double corners[4][2] = {{y - s, z - s}, {y + s, z - s}, {y + s, z + s}, {y - s, z + s}};
          if (pass == 0) {
            gl.Begin(GL_TRIANGLES);
            for (int k = 0; k < 4; ++k) {
              gl.Vertex3(w, y, z);
              gl.Vertex3(top, corners[k][0], corners[k][1]);
              gl.Vertex3(top, corners[(k + 1) % 4][0], corners[(k + 1) % 4][1]);
            }
            gl.End();
            gl.Begin(GL_QUADS);
            for (const auto &c : corners) gl.Vertex3(top, c[0], c[1]);
            gl.End();
          } else {
            gl.Begin(GL_LINES);
            for (int k = 0; k < 4; ++k) {
              gl.Vertex3(w, y, z), gl.Vertex3(top, corners[k][0], corners[k][1]);
              gl.Vertex3(top, corners[k][0], corners[k][1]);
              gl.Vertex3(top, corners[(k + 1) % 4][0], corners[(k + 1) % 4][1]);
            }
            gl.End();
          }
        }
    }
    gl.DepthMask(true);
    gl.Enable(GL_CULL_FACE);
  }
  if (fOptions.ShowSoilLayers) {
    for (std::size_t i = 0; i < fProject.layers.size(); ++i) {
      const TSceneLayer &layer = fProject.layers[i];
      const TRgb c = LayerColour(int(i));
      if (std::isfinite(layer.top) && std::isfinite(layer.bottom) && layer.bottom > layer.top) {
        colour(gl, c);
        gl.WireBox(layer.top, -hw, -hw, layer.bottom, hw, hw);
        // The faces lie a little behind the edges, so the edges stay whole.
        gl.DepthMask(false);
        gl.Enable(GL_POLYGON_OFFSET_FILL);
        gl.PolygonOffset(1, 1);
        colour(gl, c, 0.5);
        // Only the outside of the stack is filled: the faces where layers meet
        // would lie on top of each other in every view from above or below,
        // tinting the picture and costing a full-window fill each.
        gl.SolidBox(layer.top, -hw, -hw, layer.bottom, hw, hw, i == 0, i + 1 == fProject.layers.size());
        gl.Disable(GL_POLYGON_OFFSET_FILL);
        gl.DepthMask(true);
      }
      if (fOptions.ShowSoilLayerLabels)
        fLabels.push_back({WorldPoint((layer.top + layer.bottom) / 2, -hw * 0.96, hw),
                           LayerLabel(layer.code, int(i) + 1), {0, 0, 0}, QPointF(4, 5)});
    }
    if (fOptions.ShowSoilLayerDepthLabels && !fProject.layers.empty()) {
      std::vector<double> depths;
      for (const TSceneLayer &layer : fProject.layers) depths.push_back(layer.top);
      depths.push_back(fProject.layers.back().bottom);
      for (double depth : depths)
        fLabels.push_back({WorldPoint(depth, hw, hw), DepthLabel(depth, fProject.units), {0, 0, 0},
                           QPointF(6, 5)});  // centred on the line
    }
  }
  gl.Disable(GL_BLEND);
}

void TView3dScene::drawAxes(TglCalls &gl, const TViewState &view) {
  const double length = 80 / view.PixelsPerUnit();
  const struct {
    QVector3D direction;
    TRgb colour;
    const char *label;
  } axes[] = {{{1, 0, 0}, {1, 0, 0}, "D"}, {{0, 1, 0}, {0, 0.75f, 0}, "Y"}, {{0, 0, 1}, {0, 0, 1}, "X"}};
  gl.LineWidth(2);
  for (const auto &axis : axes) {
    const QVector3D end = axis.direction * float(length);
    colour(gl, axis.colour);
    gl.Begin(GL_LINES);
    gl.Vertex3(0, 0, 0);
    gl.Vertex3(end.x(), end.y(), end.z());
    gl.End();
    const QVector3D at = end * 1.12f;
    gl.WriteText(at.x(), at.y(), at.z(), QString::fromLatin1(axis.label));
  }
}

void TView3dScene::Draw(TglCalls &gl, const TViewState &view, QSize size, double devicePixelRatio) {
  gl.SetViewPort(0, 0, int(std::lround(size.width() * devicePixelRatio)),
                 int(std::lround(size.height() * devicePixelRatio)));
  gl.DepthMask(true);
  gl.ClearColor(1, 1, 1, 1);
  gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // The frame stays opaque: blending must not lower its alpha, or the window
  // and the picture would show the translucent faces lighter than drawn.
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
  gl.ShadeModels(GL_SMOOTH);
  gl.Enable(GL_DEPTH_TEST);
  gl.Enable(GL_CULL_FACE);
  gl.Disable(GL_BLEND);
  gl.Disable(GL_LIGHTING);
  gl.Disable(GL_TEXTURE_2D);

  gl.MatrixMode(GL_PROJECTION);
  gl.LoadIdentity();
  const TOrthoBox box = OrthoBox(view, size);
  gl.Ortho(box.left, box.right, box.bottom, box.top, box.zNear, box.zFar);
  gl.MatrixMode(GL_MODELVIEW);
  gl.LoadIdentity();
  // A light from over the viewer's shoulder, fixed to the eye.
  const GLfloat position[4] = {0.3f, 0.5f, 1, 0};
  const GLfloat ambient[4] = {0.45f, 0.45f, 0.45f, 1};
  const GLfloat diffuse[4] = {0.6f, 0.6f, 0.6f, 1};
  const GLfloat none[4] = {0, 0, 0, 1};
  gl.Lightfv(GL_LIGHT0, GL_POSITION, position);
  gl.Lightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  gl.Lightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  gl.Lightfv(GL_LIGHT0, GL_SPECULAR, none);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
  gl.Lights()[0].SetEnabled(true);

  gl.Rotate(-90, 0, 0, 1);
  gl.Rotate(view.rotZ, 0, 0, 1);
  gl.Rotate(view.rotY, 0, 1, 0);
  gl.Rotate(view.rotX, 1, 0, 0);
  const double k = view.PixelsPerUnit();
  gl.Scale(k, k, k);
  gl.Translate(view.pan.x(), view.pan.y(), view.pan.z());

  if (InitKode == 0 || fListBase == 0) Build(gl);
  gl.CallList(fListBase + kPierList);
  gl.CallList(fListBase + kSoilList);

  gl.Disable(GL_DEPTH_TEST);
  gl.Disable(GL_CULL_FACE);
  for (const TLabel &label : fLabels) {
    colour(gl, label.colour);
    gl.WriteText(label.position.x(), label.position.y(), label.position.z(), label.text, label.offset);
  }
  if (fOptions.ShowLocalAxes) drawAxes(gl, view);
  // The legend of the curves drawn, in the lower left corner.
  if (fOptions.ShowUltimateEffects) {
    const std::vector<TLegendEntry> legend = CurveLegend(fCurves, fOptions.ShowUltimateResults);
    const double line = 18;
    for (std::size_t i = 0; i < legend.size(); ++i) {
      const QPointF at(10, size.height() - 10 - line * double(legend.size() - 1 - i));
      const TRgb c = legend[i].colour;
      gl.WriteWindowText(at * devicePixelRatio, legend[i].text, QColor::fromRgbF(c.r, c.g, c.b));
    }
  }
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  gl.Flush();
}

// ---------------------------------------------------------------------------
// The view window

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

// ---------------------------------------------------------------------------
// "Combined Plots"

TDlgPileDiagrams::TDlgPileDiagrams(TDlgBlock *view, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), fView(view) {
  setWindowTitle(QStringLiteral("Combined Plots"));
  setModal(false);
  fShowPlots = new QCheckBox(QStringLiteral("Show Plots"));
  fSkin = new QCheckBox(QStringLiteral("Skin Friction"));
  fTip = new QCheckBox(QStringLiteral("Tip Resistance"));
  fTotal = new QCheckBox(QStringLiteral("Total Capacity"));
  fValues = new QCheckBox(QStringLiteral("Show Maximum Values"));
  auto *select = new QGroupBox(QStringLiteral("Select Plots"));
  fUltimate = new QRadioButton(QStringLiteral("Ultimate Effects"));
  fDesign = new QRadioButton(QStringLiteral("ASD/LRFD Effects"));
  auto *selectLayout = new QVBoxLayout(select);
  selectLayout->addWidget(fUltimate);
  selectLayout->addWidget(fDesign);
  auto *factorLabel = new QLabel(QStringLiteral("Size Factor"));
  fFactor = new TDataEdit;
  fFactor->SetMinVal(0);
  fFactor->SetEditLabel(factorLabel);
  fFactor->SetCaption(QStringLiteral("Size Factor"));
  fUp = new QToolButton;
  fUp->setArrowType(Qt::UpArrow);
  fDown = new QToolButton;
  fDown->setArrowType(Qt::DownArrow);
  for (QToolButton *b : {fUp, fDown}) {
    b->setFixedSize(18, 12);
    b->setAutoRepeat(true);
  }
  auto *arrows = new QVBoxLayout;
  arrows->setSpacing(0);
  arrows->addWidget(fUp);
  arrows->addWidget(fDown);
  auto *factorRow = new QHBoxLayout;
  factorRow->addWidget(factorLabel);
  factorRow->addWidget(fFactor);
  factorRow->addLayout(arrows);
  auto *close = new QPushButton(QStringLiteral("Close"));
  auto *layout = new QVBoxLayout(this);
  for (QWidget *w : std::initializer_list<QWidget *>{fShowPlots, fSkin, fTip, fTotal, fValues, select})
    layout->addWidget(w);
  layout->addLayout(factorRow);
  layout->addWidget(close, 0, Qt::AlignRight);

  for (QCheckBox *box : {fShowPlots, fSkin, fTip, fTotal, fValues})
    connect(box, &QCheckBox::toggled, this, &TDlgPileDiagrams::store);
  connect(fUltimate, &QRadioButton::toggled, this, &TDlgPileDiagrams::store);
  connect(fUp, &QToolButton::clicked, this, [this] { StepSizeFactor(true); });
  connect(fDown, &QToolButton::clicked, this, [this] { StepSizeFactor(false); });
  // The field validates itself when left or on Enter; take the value once it has.
  connect(fFactor, &TDataEdit::exited, this, [this] {
    QTimer::singleShot(0, this, [this] {
      if (fFactor->IsValid()) store();
    });
  });
  fFactor->installEventFilter(this);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  Load();
}

void TDlgPileDiagrams::Load() {
  const TView3dOptions &o = fView->Options();
  fLoading = true;
  fShowPlots->setChecked(o.ShowUltimateEffects);
  fSkin->setChecked(o.ShowSkinFriction);
  fTip->setChecked(o.ShowTipResistance);
  fTotal->setChecked(o.ShowTotalCapacity);
  fValues->setChecked(o.ShowUltimateEffectsValues);
  (o.ShowUltimateResults == 1 ? fDesign : fUltimate)->setChecked(true);
  if (!fFactor->hasFocus()) fFactor->SetNumber(o.UltimateEffectsFactor);
  for (QWidget *w : std::initializer_list<QWidget *>{fSkin, fTip, fTotal, fValues, fUltimate, fDesign, fFactor, fUp,
                                                      fDown, fFactor->EditLabel()})
    w->setEnabled(o.ShowUltimateEffects);
  fLoading = false;
}

void TDlgPileDiagrams::store() {
  if (fLoading) return;
  TView3dOptions o = fView->Options();
  o.ShowUltimateEffects = fShowPlots->isChecked();
  o.ShowSkinFriction = fSkin->isChecked();
  o.ShowTipResistance = fTip->isChecked();
  o.ShowTotalCapacity = fTotal->isChecked();
  o.ShowUltimateEffectsValues = fValues->isChecked();
  o.ShowUltimateResults = fDesign->isChecked() ? 1 : 0;
  try {
    const double factor = double(fFactor->Number());
    if (std::isfinite(factor) && factor >= 0) o.UltimateEffectsFactor = factor;
  } catch (const EPylarError &) {
    // Not a number: the factor stays as it was.
  }
  if (!(o == fView->Options())) fView->SetOptions(o);
}

void TDlgPileDiagrams::StepSizeFactor(bool up) {
  double current = fView->Options().UltimateEffectsFactor;
  try {
    current = double(fFactor->Number());
  } catch (const EPylarError &) {
  }
  fFactor->SetNumber(SizeFactorStep(current, up));
  store();
}

bool TDlgPileDiagrams::CloseQuery() {
  if (!isVisible()) return true;
  if (!fFactor->CloseQuery()) return false;
  store();
  return true;
}

void TDlgPileDiagrams::closeEvent(QCloseEvent *event) {
  if (!CloseQuery()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

bool TDlgPileDiagrams::eventFilter(QObject *watched, QEvent *event) {
  if (watched == fFactor && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      StepSizeFactor(key == Qt::Key_Up);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Commands

TView3dCommands::TView3dCommands(QObject *parent) : QObject(parent), fMenu(new QMenu(QStringLiteral("Show 3D View"))) {
  fMenu->setObjectName(QStringLiteral("Show 3D View"));
  addToggle(QStringLiteral("Pylar"), &TDlgBlock::ShowPylarOption, &TView3dOptions::ShowPylar);
  addToggle(QStringLiteral("Water Level"), &TDlgBlock::ShowWaterLevelOption, &TView3dOptions::ShowWaterLevel);
  addToggle(QStringLiteral("Soil Layers"), &TDlgBlock::ShowSoilLayersOption, &TView3dOptions::ShowSoilLayers);
  addToggle(QStringLiteral("Layer Labels"), &TDlgBlock::ShowSoilLayerLabelsOption,
            &TView3dOptions::ShowSoilLayerLabels);
  addToggle(QStringLiteral("Layer Depths"), &TDlgBlock::ShowSoilLayerDepthLabelsOption,
            &TView3dOptions::ShowSoilLayerDepthLabels);
  addToggle(QStringLiteral("Global Axes"), &TDlgBlock::ShowLocalAxesOption, &TView3dOptions::ShowLocalAxes);
  addToggle(QStringLiteral("Ultimate Skin Friction"), &TDlgBlock::ShowSkinFrictionOption,
            &TView3dOptions::ShowSkinFriction)
      ->setVisible(false);
  addToggle(QStringLiteral("Ultimate Tip Resistance"), &TDlgBlock::ShowTipResistanceOption,
            &TView3dOptions::ShowTipResistance)
      ->setVisible(false);
  addToggle(QStringLiteral("Ultimate Total Capacity"), &TDlgBlock::ShowTotalCapacityOption,
            &TView3dOptions::ShowTotalCapacity)
      ->setVisible(false);
  fCombinedPlots = fMenu->addAction(QStringLiteral("Combined Plots"));
  connect(fCombinedPlots, &QAction::triggered, this, [this] {
    if (fView) fView->UltimateEffectsWindow();
  });
  fMenuActions.append(fCombinedPlots);
  fMenu->addSeparator();
  fSavePicture = fMenu->addAction(QStringLiteral("Save Picture..."));
  connect(fSavePicture, &QAction::triggered, this, [this] {
    if (fView) fView->SavePictureClick();
  });
  fMenuActions.append(fSavePicture);
  connect(fMenu, &QMenu::aboutToShow, this, [this] {
    UpdateMenu(ResultsLoaded ? ResultsLoaded() : (fView && fView->HasResults()));
  });

  fModeGroup = new QActionGroup(this);
  fModeGroup->setExclusive(true);
  const struct {
    const char *caption, *glyph;
    int mode;
  } modes[] = {{"Panning", "Pan", moPanning},
               {"Zooming", "Zm", moZooming},
               {"Rotating", "Rot", moRotating},
               {"Zoom Window", "ZW", moZoomWindow}};
  for (const auto &m : modes) {
    const int mode = m.mode;
    QAction *a = addTool(QString::fromLatin1(m.caption), QString::fromLatin1(m.glyph),
                         [mode](TDlgBlock &view) { view.SetMouseOption(mode); }, true);
    fModeGroup->addAction(a);
    fModes[mode - 1] = a;
  }
  addTool(QStringLiteral("Zoom In"), QStringLiteral("Z+"), [](TDlgBlock &view) { view.ZoomInClick(); });
  addTool(QStringLiteral("Zoom Out"), QStringLiteral("Z-"), [](TDlgBlock &view) { view.ZoomOutClick(); });
  addTool(QStringLiteral("Restart View"), QStringLiteral("RV"), [](TDlgBlock &view) { view.RestartViewButtonClick(); });
  showCommands(false);
}

// The menu has no parent: a menu bar that shows it does not own it.
TView3dCommands::~TView3dCommands() { delete fMenu; }

QAction *TView3dCommands::addToggle(const QString &caption, void (TDlgBlock::*handler)(),
                                    bool TView3dOptions::*option) {
  QAction *a = fMenu->addAction(caption);
  a->setCheckable(true);
  a->setObjectName(caption);
  connect(a, &QAction::triggered, this, [this, handler] {
    if (fView) (fView->*handler)();
  });
  fToggles.append({a, option});
  fMenuActions.append(a);
  return a;
}

QAction *TView3dCommands::addTool(const QString &caption, const QString &glyph,
                                  const std::function<void(TDlgBlock &)> &run, bool checkable) {
  auto *a = new QAction(caption, this);
  a->setObjectName(caption);
  a->setIconText(glyph);
  a->setToolTip(caption);
  a->setStatusTip(caption);
  a->setCheckable(checkable);
  connect(a, &QAction::triggered, this, [this, run] {
    if (fView) run(*fView);
  });
  fToolActions.append(a);
  return a;
}

void TView3dCommands::showCommands(bool visible) {
  fMenu->menuAction()->setVisible(visible);
  for (QAction *a : fToolActions) a->setVisible(visible);
}

void TView3dCommands::Attach(TDlgBlock *view) {
  if (fView == view) return;
  if (fView) disconnect(fView, nullptr, this, nullptr);
  fView = view;
  if (view) {
    connect(view, &TDlgBlock::closed, this, [this] { Attach(nullptr); });
    connect(view, &QObject::destroyed, this, [this] { showCommands(false); });
    if (QAction *mode = fModes[view->MouseOption() - 1]) mode->setChecked(true);
  }
  showCommands(view != nullptr);
}

TDlgBlock *TView3dCommands::ShowView(QMdiArea *area, const TProgramData &project, const TResultPlots &plots) {
  TDlgBlock *view = TDlgBlock::Show(area, project, plots);
  Attach(view);
  return view;
}

void TView3dCommands::UpdateMenu(bool resultsLoaded) {
  const TView3dOptions options = fView ? fView->Options() : TView3dOptions{};
  for (const auto &[action, option] : fToggles) action->setChecked(options.*option);
  const bool layers = options.ShowSoilLayers;
  const bool results = fView && resultsLoaded && fView->HasResults() && options.ShowPylar;
  for (const auto &[action, option] : fToggles) {
    if (option == &TView3dOptions::ShowSoilLayerLabels || option == &TView3dOptions::ShowSoilLayerDepthLabels)
      action->setEnabled(layers);
    else if (option == &TView3dOptions::ShowSkinFriction || option == &TView3dOptions::ShowTipResistance ||
             option == &TView3dOptions::ShowTotalCapacity)
      action->setEnabled(results);
    else
      action->setEnabled(fView != nullptr);
  }
  fCombinedPlots->setEnabled(results);
  fSavePicture->setEnabled(fView != nullptr);
}

// ---------------------------------------------------------------------------
// Without a window

TScenePicture RenderScene3d(const TProgramData &project, const TResultPlots &plots, const TView3dOptions &options,
                            QSize size, const TViewState *view) {
  TScenePicture picture;
  TglOffscreen gl(size);
  if (!gl.Error().isEmpty()) {
    picture.error = QStringLiteral("The 3-D View cannot be drawn: ") + gl.Error() + QLatin1Char('.');
    return picture;
  }
  picture.depthBits = gl.DepthBits();
  const TSceneProject scene = SceneProject(project);
  const TGraphPlot &plot = options.ShowUltimateResults == 1 ? plots.pltCombineD : plots.pltCombine;
  TView3dScene drawing;
  drawing.SetOptions(options);
  drawing.SetData(scene, CapacityCurves(plots, scene, options, double(project.ValElevation)),
                  ExpandUnitsTemplate(plot.fXUnits, plot.Units()));
  const TViewState fitted = StartView(SceneExtents(scene), size);
  drawing.Draw(gl, view ? *view : fitted, size);
  picture.image = gl.Image();
  if (picture.image.isNull()) picture.error = QStringLiteral("The 3-D View could not be read back from OpenGL.");
  return picture;
}

}  // namespace pylar
