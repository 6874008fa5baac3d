// The 3-D View's scene in OpenGL: the display lists of the pier with its
// curves and of the water table with the soil layers, each frame with its
// axes, labels and legend (TView3dScene), and the scene of a project drawn
// into an image without a window (RenderScene3d) for the calculation report
// and the headless export. What the scene shows and where is worked out
// without OpenGL in model/View3dUnit1.
#pragma once

#include "model/View3dUnit1.h"
#include "ui/glWindow.h"

#include <QImage>
#include <QString>

#include <chrono>
#include <vector>

namespace pylar {

class TProgramData;
struct TResultPlots;

// What a frame draws, and its display lists: list 2 the pier and the curves,
// list 5 the water table and the soil layers, rebuilt only when the data or
// the options change.
class TView3dScene {
 public:
  void SetData(const TSceneProject &project, std::vector<TSceneCurve> curves, const QString &forceUnits);
  void SetOptions(const TView3dOptions &options);
  const TView3dOptions &Options() const { return fOptions; }
  const TSceneProject &Project() const { return fProject; }

  // 0 when the lists are to be rebuilt on the next frame.
  int InitKode = 0;
  // Draws one frame into the current context's viewport of `size` pixels
  // (logical; `devicePixelRatio` device pixels each).
  void Draw(TglCalls &gl, const TViewState &view, QSize size, double devicePixelRatio = 1);
  // Compiles the display lists now.
  void Build(TglCalls &gl);
  // The lists belong to a context that is going away.
  void ForgetLists() {
    fListBase = 0;
    InitKode = 0;
  }
  // Time the last rebuild took.
  std::chrono::nanoseconds LastBuildTime() const { return fBuildTime; }

 private:
  struct TLabel {
    QVector3D position;
    QString text;
    TRgb colour;
    QPointF offset;  // pixels
  };
  void buildPier(TglCalls &gl);
  void buildSoil(TglCalls &gl);
  void drawAxes(TglCalls &gl, const TViewState &view);

  TSceneProject fProject;
  std::vector<TSceneCurve> fCurves;
  QString fForceUnits;
  TView3dOptions fOptions;
  std::vector<TLabel> fLabels;
  GLuint fListBase = 0;
  std::chrono::nanoseconds fBuildTime{0};
};

// The scene of a project and its plots drawn into an image without a window
// on the screen (calculation report, headless export). `view` defaults to the
// start view fitted to the size. On failure the image is null and `error`
// says what failed.
struct TScenePicture {
  QImage image;
  QString error;
  int depthBits = 0;
};
TScenePicture RenderScene3d(const TProgramData &project, const TResultPlots &plots, const TView3dOptions &options,
                            QSize size, const TViewState *view = nullptr);

}  // namespace pylar
