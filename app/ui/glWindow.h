// TglWindow: the control of the 3-D view that owns an OpenGL rendering
// context (compatibility profile: the fixed-function pipeline and display
// lists), with thin wrappers of the OpenGL and GLU calls the view uses, eight
// lights, the last mouse state and text at a 3-D raster position. The
// wrappers live in TglCalls, so that the same drawing code also renders into
// an offscreen framebuffer (TglOffscreen) without a window on the screen.
#pragma once

#include "model/Errors.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QOpenGLWidget>
#include <QPointF>
#include <QSurfaceFormat>

#include <GL/glu.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFramebufferObject;
class QPainter;

namespace pylar {

// No rendering context of the needed format could be made.
class EOpenGL : public EPylarError {
 public:
  using EPylarError::EPylarError;
};

struct Tgl3Vector {
  double x = 0, y = 0, z = 0;
  void SetX(double v) { x = v; }
  void SetY(double v) { y = v; }
  void SetZ(double v) { z = v; }
};

// One of the eight lights of a context.
class TglLight {
 public:
  explicit TglLight(int index = 0) : fIndex(index) {}
  GLenum Id() const { return GLenum(GL_LIGHT0 + fIndex); }
  bool Enabled() const { return fEnabled; }
  // Switches the light in the current context.
  void SetEnabled(bool enabled);

 private:
  int fIndex;
  bool fEnabled = false;
};

// The OpenGL calls of the view; each acts on the current context.
class TglCalls {
 public:
  TglCalls();
  virtual ~TglCalls();
  TglCalls(const TglCalls &) = delete;
  TglCalls &operator=(const TglCalls &) = delete;

  // The format every view context asks for: double-buffered RGBA with 24
  // colour bits, a 32-bit depth buffer, compatibility profile.
  static QSurfaceFormat RequiredFormat();
  // Why a created context cannot draw the view; empty when it can.
  static QString ContextProblem(const QOpenGLContext *context);

  void MatrixMode(GLenum mode) { glMatrixMode(mode); }
  GLint RenderMode(GLenum mode) { return glRenderMode(mode); }
  void Clear(GLbitfield mask) { glClear(mask); }
  void Enable(GLenum cap) { glEnable(cap); }
  void Disable(GLenum cap) { glDisable(cap); }
  void Begin(GLenum mode) { glBegin(mode); }
  void End() { glEnd(); }
  void Flush() { glFlush(); }
  void Finish() { glFinish(); }
  void Rotate(double angle, double x, double y, double z) { glRotated(angle, x, y, z); }
  void Translate(double x, double y, double z) { glTranslated(x, y, z); }
  void Scale(double x, double y, double z) { glScaled(x, y, z); }
  void Ortho(double left, double right, double bottom, double top, double zNear, double zFar) {
    glOrtho(left, right, bottom, top, zNear, zFar);
  }
  void Vertex3(double x, double y, double z) { glVertex3d(x, y, z); }
  void Normal3(double x, double y, double z) { glNormal3d(x, y, z); }
  void Color(double r, double g, double b, double a = 1) { glColor4d(r, g, b, a); }
  void ClearColor(float r, float g, float b, float a) { glClearColor(r, g, b, a); }
  void LineWidth(float width) { glLineWidth(width); }
  void LoadIdentity() { glLoadIdentity(); }
  void BlendFunc(GLenum source, GLenum destination) { glBlendFunc(source, destination); }
  void PushMatrix() { glPushMatrix(); }
  void PopMatrix() { glPopMatrix(); }
  GLuint GenLists(GLsizei range) { return glGenLists(range); }
  void DeleteLists(GLuint list, GLsizei range) { glDeleteLists(list, range); }
  void NewList(GLuint list, GLenum mode) { glNewList(list, mode); }
  void EndList() { glEndList(); }
  void CallList(GLuint list) { glCallList(list); }
  void ListBase(GLuint base) { glListBase(base); }
  void ShadeModels(GLenum mode) { glShadeModel(mode); }
  void SelectBuffer(GLsizei size, GLuint *buffer) { glSelectBuffer(size, buffer); }
  void GetIntegerv(GLenum name, GLint *values) { glGetIntegerv(name, values); }
  void GetDoubleV(GLenum name, GLdouble *values) { glGetDoublev(name, values); }
  void Lightfv(GLenum light, GLenum name, const GLfloat *values) { glLightfv(light, name, values); }
  void Materialfv(GLenum face, GLenum name, const GLfloat *values) { glMaterialfv(face, name, values); }
  void Materialf(GLenum face, GLenum name, GLfloat value) { glMaterialf(face, name, value); }
  void ColorMaterial(GLenum face, GLenum mode) { glColorMaterial(face, mode); }
  void DepthMask(bool write) { glDepthMask(write ? GL_TRUE : GL_FALSE); }
  void PolygonOffset(float factor, float units) { glPolygonOffset(factor, units); }
  void GetViewPort(GLint viewport[4]) { glGetIntegerv(GL_VIEWPORT, viewport); }
  void SetViewPort(int x, int y, int width, int height) { glViewport(x, y, width, height); }
  void PickMatrix(double x, double y, double width, double height, GLint viewport[4]) {
    gluPickMatrix(x, y, width, height, viewport);
  }
  void Map2(GLenum target, double u1, double u2, int ustride, int uorder, double v1, double v2, int vstride,
            int vorder, const GLdouble *points) {
    glMap2d(target, u1, u2, ustride, uorder, v1, v2, vstride, vorder, points);
  }
  void MapGrid2(int un, double u1, double u2, int vn, double v1, double v2) {
    glMapGrid2d(un, u1, u2, vn, v1, v2);
  }
  void EvalMesh2(GLenum mode, int i1, int i2, int j1, int j2) { glEvalMesh2(mode, i1, i2, j1, j2); }
  void InitNames() { glInitNames(); }
  void PushName(GLuint name) { glPushName(name); }
  void LoadName(GLuint name) { glLoadName(name); }

  // Boxes between two corners (`ends` false leaves out the two faces across
  // x, where boxes stand on each other), and cylinders (frustums when the diameters
  // differ) and discs along the z axis, through GLU.
  void SolidBox(double x0, double y0, double z0, double x1, double y1, double z1, bool lowEnd = true,
                bool highEnd = true);
  void WireBox(double x0, double y0, double z0, double x1, double y1, double z1);
  void SolidCylinder(double baseRadius, double topRadius, double height, int slices);
  void WireCylinder(double baseRadius, double topRadius, double height, int slices);
  // A disc facing +z, or -z when `facingDown`.
  void Disk(double innerRadius, double outerRadius, int slices, bool facingDown = false);

  // Text at a 3-D raster position in the current colour: the point is
  // projected with the current matrices now and the text is painted over the
  // frame once the OpenGL drawing is done, moved by `offset` pixels.
  void WriteText(double x, double y, double z, const QString &text, QPointF offset = {});
  // Text at a window position (device pixels from the top left, on the
  // baseline), painted with the others.
  void WriteWindowText(QPointF position, const QString &text, const QColor &colour) {
    fTexts.push_back({position, text, colour});
  }
  struct TText {
    QPointF position;  // device pixels from the top left, on the baseline
    QString text;
    QColor colour;
  };
  const std::vector<TText> &Texts() const { return fTexts; }
  void ClearTexts() { fTexts.clear(); }
  // Paints the queued texts; positions are divided by the device pixel ratio.
  void PaintTexts(QPainter &painter, double devicePixelRatio = 1) const;

  // The glyph font (Times New Roman, 14 pixels, bold).
  void SelectFont(const QFont &font) { fFont = font; }
  const QFont &Font() const { return fFont; }

  std::array<TglLight, 8> &Lights() { return fLights; }

  void SetWindowSize(int width, int height) {
    fWidth = width;
    fHeight = height;
  }
  int GetWindowWidth() const { return fWidth; }
  int GetWindowHeight() const { return fHeight; }
  void SetBackgroundColor(const QColor &colour) { fBackground = colour; }
  QColor BackgroundColor() const { return fBackground; }
  void SetFOV(double fov) { fFOV = fov; }
  double FOV() const { return fFOV; }
  void SetShadeModel(GLenum model) { fShadeModel = model; }
  GLenum ShadeModel() const { return fShadeModel; }
  bool Blending = false;
  bool DepthTesting = false;
  Tgl3Vector fEyePosition{0, 0, 1};
  Tgl3Vector fViewPosition{0, 0, 0};
  Tgl3Vector fUpVector{0, 1, 0};

 private:
  GLUquadric *quadric();
  GLUquadric *fQuadric = nullptr;
  std::vector<TText> fTexts;
  QFont fFont;
  std::array<TglLight, 8> fLights;
  int fWidth = 0, fHeight = 0;
  QColor fBackground = Qt::white;
  double fFOV = 45.0;
  GLenum fShadeModel = GL_SMOOTH;
};

// The windowed control.
class TglWindow : public QOpenGLWidget, public TglCalls {
  Q_OBJECT

 public:
  explicit TglWindow(QWidget *parent = nullptr);
  ~TglWindow() override;

  void MakeCurrent() { makeCurrent(); }
  void MakeNotCurrent() { doneCurrent(); }
  // Qt shows the finished frame itself; this asks for the next one.
  void SwapBuffers() { update(); }

  // Set once the context exists: empty when it can draw the view.
  const QString &ContextError() const { return fContextError; }
  bool ContextCreated() const { return fCreated; }
  // Depth bits of the framebuffer the view draws into.
  int DepthBits() const { return fDepthBits; }

  // Last mouse state.
  QPoint MousePosition() const { return fMousePosition; }
  Qt::MouseButton MouseButton() const { return fMouseButton; }
  Qt::KeyboardModifiers MouseShift() const { return fMouseShift; }

  // Handlers. OnPaint draws the frame with OpenGL; OnOverlay paints over it.
  std::function<void()> OnCreate;
  // The context exists but cannot draw the view (ContextError says why).
  std::function<void(const QString &problem)> OnFailure;
  std::function<void()> OnPaint;
  std::function<void(QPainter &)> OnOverlay;
  std::function<void(int width, int height)> OnResize;
  std::function<void(QMouseEvent *)> OnMouseDown;
  std::function<void(QMouseEvent *)> OnMouseUp;
  std::function<void(QMouseEvent *)> OnMouseMove;
  std::function<void(QWheelEvent *)> OnWheel;

 protected:
  void initializeGL() override;
  void resizeGL(int width, int height) override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;

 private:
  void rememberMouse(QMouseEvent *event);
  QString fContextError;
  bool fCreated = false;
  int fDepthBits = 0;
  QPoint fMousePosition;
  Qt::MouseButton fMouseButton = Qt::NoButton;
  Qt::KeyboardModifiers fMouseShift;
};

// A context of the required format on an offscreen surface with a
// framebuffer of a given size. Error() says why it cannot draw.
class TglOffscreen : public TglCalls {
 public:
  explicit TglOffscreen(QSize size);
  ~TglOffscreen() override;
  const QString &Error() const { return fError; }
  QSize Size() const { return fSize; }
  int DepthBits() const { return fDepthBits; }
  // The frame drawn so far, with the queued texts painted over it.
  QImage Image();

 private:
  QSize fSize;
  QString fError;
  int fDepthBits = 0;
  std::unique_ptr<QOffscreenSurface> fSurface;
  std::unique_ptr<QOpenGLContext> fContext;
  std::unique_ptr<QOpenGLFramebufferObject> fFramebuffer;
};

// Can this platform give the view a context at all? Empty when it can,
// otherwise what failed.
QString ProbeOpenGL();

}  // namespace pylar
