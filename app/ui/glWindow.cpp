#include "ui/glWindow.h"

#include <QWheelEvent>

#include <QGuiApplication>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QPainter>

namespace pylar {

void TglLight::SetEnabled(bool enabled) {
  fEnabled = enabled;
  if (enabled)
    glEnable(Id());
  else
    glDisable(Id());
}

TglCalls::TglCalls() : fFont(QStringLiteral("Times New Roman")) {
  fFont.setPixelSize(14);
  fFont.setWeight(QFont::Bold);
  for (int i = 0; i < 8; ++i) fLights[static_cast<std::size_t>(i)] = TglLight(i);
}

TglCalls::~TglCalls() {
  if (fQuadric) gluDeleteQuadric(fQuadric);
}

QSurfaceFormat TglCalls::RequiredFormat() {
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  format.setRedBufferSize(8);
  format.setGreenBufferSize(8);
  format.setBlueBufferSize(8);
  format.setDepthBufferSize(32);
  return format;
}

QString TglCalls::ContextProblem(const QOpenGLContext *context) {
  if (!context || !context->isValid()) return QStringLiteral("no OpenGL rendering context could be created");
  if (context->isOpenGLES()) return QStringLiteral("the platform offers OpenGL ES only, without display lists");
  const QSurfaceFormat format = context->format();
  if (format.profile() == QSurfaceFormat::CoreProfile)
    return QStringLiteral("the OpenGL context has no compatibility profile (fixed-function pipeline and display lists)");
  return {};
}

GLUquadric *TglCalls::quadric() {
  if (!fQuadric) fQuadric = gluNewQuadric();
  return fQuadric;
}

void TglCalls::SolidBox(double x0, double y0, double z0, double x1, double y1, double z1, bool lowEnd,
                        bool highEnd) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  if (z0 > z1) std::swap(z0, z1);
  // Six faces, counter-clockwise seen from outside.
  glBegin(GL_QUADS);
  if (lowEnd) {
    glNormal3d(-1, 0, 0);
    glVertex3d(x0, y0, z0), glVertex3d(x0, y0, z1), glVertex3d(x0, y1, z1), glVertex3d(x0, y1, z0);
  }
  if (highEnd) {
    glNormal3d(1, 0, 0);
    glVertex3d(x1, y0, z0), glVertex3d(x1, y1, z0), glVertex3d(x1, y1, z1), glVertex3d(x1, y0, z1);
  }
  glNormal3d(0, -1, 0);
  glVertex3d(x0, y0, z0), glVertex3d(x1, y0, z0), glVertex3d(x1, y0, z1), glVertex3d(x0, y0, z1);
  glNormal3d(0, 1, 0);
  glVertex3d(x0, y1, z0), glVertex3d(x0, y1, z1), glVertex3d(x1, y1, z1), glVertex3d(x1, y1, z0);
  glNormal3d(0, 0, -1);
  glVertex3d(x0, y0, z0), glVertex3d(x0, y1, z0), glVertex3d(x1, y1, z0), glVertex3d(x1, y0, z0);
  glNormal3d(0, 0, 1);
  glVertex3d(x0, y0, z1), glVertex3d(x1, y0, z1), glVertex3d(x1, y1, z1), glVertex3d(x0, y1, z1);
  glEnd();
}

void TglCalls::WireBox(double x0, double y0, double z0, double x1, double y1, double z1) {
  const double xs[2] = {x0, x1}, ys[2] = {y0, y1}, zs[2] = {z0, z1};
  glBegin(GL_LINES);
  for (int a = 0; a < 2; ++a)
    for (int b = 0; b < 2; ++b) {
      glVertex3d(x0, ys[a], zs[b]), glVertex3d(x1, ys[a], zs[b]);
      glVertex3d(xs[a], y0, zs[b]), glVertex3d(xs[a], y1, zs[b]);
      glVertex3d(xs[a], ys[b], z0), glVertex3d(xs[a], ys[b], z1);
    }
  glEnd();
}

void TglCalls::SolidCylinder(double baseRadius, double topRadius, double height, int slices) {
  gluQuadricDrawStyle(quadric(), GLU_FILL);
  gluQuadricNormals(quadric(), GLU_SMOOTH);
  gluQuadricOrientation(quadric(), GLU_OUTSIDE);
  gluCylinder(quadric(), baseRadius, topRadius, height, slices, 1);
}

void TglCalls::WireCylinder(double baseRadius, double topRadius, double height, int slices) {
  gluQuadricDrawStyle(quadric(), GLU_LINE);
  gluQuadricOrientation(quadric(), GLU_OUTSIDE);
  gluCylinder(quadric(), baseRadius, topRadius, height, slices, 1);
}

void TglCalls::Disk(double innerRadius, double outerRadius, int slices, bool facingDown) {
  gluQuadricDrawStyle(quadric(), GLU_FILL);
  gluQuadricNormals(quadric(), GLU_SMOOTH);
  gluQuadricOrientation(quadric(), facingDown ? GLU_INSIDE : GLU_OUTSIDE);
  gluDisk(quadric(), innerRadius, outerRadius, slices, 1);
}

void TglCalls::WriteText(double x, double y, double z, const QString &text, QPointF offset) {
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLdouble wx = 0, wy = 0, wz = 0;
  if (gluProject(x, y, z, model, projection, viewport, &wx, &wy, &wz) != GL_TRUE) return;
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  fTexts.push_back({QPointF(wx, viewport[1] + viewport[3] - wy) + offset, text, QColor::fromRgbF(colour[0], colour[1], colour[2])});
}

void TglCalls::PaintTexts(QPainter &painter, double devicePixelRatio) const {
  painter.save();
  painter.setFont(fFont);
  for (const TText &t : fTexts) {
    painter.setPen(t.colour);
    painter.drawText(t.position / devicePixelRatio, t.text);
  }
  painter.restore();
}

TglWindow::TglWindow(QWidget *parent) : QOpenGLWidget(parent) {
  setFormat(RequiredFormat());
  setMouseTracking(false);
}

TglWindow::~TglWindow() = default;

void TglWindow::initializeGL() {
  fCreated = true;
  fContextError = ContextProblem(context());
  if (!fContextError.isEmpty()) {
    if (OnFailure) OnFailure(fContextError);
    return;
  }
  if (OnCreate) OnCreate();
}

void TglWindow::resizeGL(int width, int height) {
  SetWindowSize(width, height);
  if (OnResize) OnResize(width, height);
}

void TglWindow::paintGL() {
  if (!fContextError.isEmpty()) return;
  if (fDepthBits == 0) {
    // The widget draws into a framebuffer of its own, bound only while painting.
    GLint bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &bits);
    fDepthBits = bits;
  }
  ClearTexts();
  QPainter painter(this);
  painter.beginNativePainting();
  if (OnPaint) OnPaint();
  painter.endNativePainting();
  PaintTexts(painter, devicePixelRatioF());
  if (OnOverlay) OnOverlay(painter);
}

void TglWindow::rememberMouse(QMouseEvent *event) {
  fMousePosition = event->position().toPoint();
  fMouseShift = event->modifiers();
}

void TglWindow::mousePressEvent(QMouseEvent *event) {
  rememberMouse(event);
  fMouseButton = event->button();
  if (OnMouseDown) OnMouseDown(event);
}

void TglWindow::mouseReleaseEvent(QMouseEvent *event) {
  rememberMouse(event);
  if (OnMouseUp) OnMouseUp(event);
  fMouseButton = Qt::NoButton;
}

void TglWindow::mouseMoveEvent(QMouseEvent *event) {
  rememberMouse(event);
  if (OnMouseMove) OnMouseMove(event);
}

void TglWindow::wheelEvent(QWheelEvent *event) {
  if (OnWheel)
    OnWheel(event);
  else
    QOpenGLWidget::wheelEvent(event);
}

QString ProbeOpenGL() {
  QOffscreenSurface surface;
  surface.setFormat(TglCalls::RequiredFormat());
  surface.create();
  QOpenGLContext context;
  context.setFormat(TglCalls::RequiredFormat());
  if (!context.create())
    return QStringLiteral("no OpenGL rendering context could be created on the display platform \"%1\"")
        .arg(QGuiApplication::platformName());
  if (QString problem = TglCalls::ContextProblem(&context); !problem.isEmpty()) return problem;
  if (!surface.isValid() || !context.makeCurrent(&surface))
    return QStringLiteral("the OpenGL rendering context could not be made current");
  context.doneCurrent();
  return {};
}

TglOffscreen::TglOffscreen(QSize size) : fSize(size) {
  if (size.isEmpty()) {
    fError = QStringLiteral("the picture has no size");
    return;
  }
  fError = ProbeOpenGL();
  if (!fError.isEmpty()) return;
  fSurface = std::make_unique<QOffscreenSurface>();
  fSurface->setFormat(RequiredFormat());
  fSurface->create();
  fContext = std::make_unique<QOpenGLContext>();
  fContext->setFormat(RequiredFormat());
  if (!fContext->create() || !fContext->makeCurrent(fSurface.get())) {
    fError = QStringLiteral("no OpenGL rendering context could be created");
    return;
  }
  QOpenGLFramebufferObjectFormat format;
  format.setAttachment(QOpenGLFramebufferObject::Depth);
  fFramebuffer = std::make_unique<QOpenGLFramebufferObject>(size, format);
  if (!fFramebuffer->isValid() || !fFramebuffer->bind()) {
    fError = QStringLiteral("no %1 x %2 framebuffer could be made").arg(size.width()).arg(size.height());
    return;
  }
  GLint bits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &bits);
  fDepthBits = bits;
  SetWindowSize(size.width(), size.height());
}

TglOffscreen::~TglOffscreen() {
  if (fContext && fSurface && fContext->makeCurrent(fSurface.get())) {
    fFramebuffer.reset();
    fContext->doneCurrent();
  }
}

QImage TglOffscreen::Image() {
  if (!fError.isEmpty() || !fFramebuffer) return {};
  glFinish();
  QImage image = fFramebuffer->toImage().convertToFormat(QImage::Format_RGB32);
  QPainter painter(&image);
  PaintTexts(painter);
  return image;
}

}  // namespace pylar
