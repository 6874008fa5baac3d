// The "3-D View" window (TDlgBlock): the pier, the water table and the soil
// layers of the project as an OpenGL scene that the user rotates, pans and
// zooms, with layer names and depths, axes and the capacity curves of the
// combined plot beside the pier; its "Combined Plots" option window
// (TDlgPileDiagrams); the commands the main window's "Show 3D View" menu and
// 3D tool buttons share (TView3dCommands); and the scene rendered into an
// image without a window (RenderScene3d).
#pragma once

#include "model/View3dUnit1.h"
#include "ui/glWindow.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>

class QAction;
class QActionGroup;
class QCheckBox;
class QMdiArea;
class QMenu;
class QRadioButton;
class QToolButton;

namespace pylar {

class TDataEdit;
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

class TDlgPileDiagrams;

class TDlgBlock : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char *kCaption = "3-D View";

  TDlgBlock(const TProgramData &project, const TResultPlots &plots, QWidget *parent = nullptr);
  ~TDlgBlock() override;

  // Opens the view inside the main window's area, or brings the open one
  // forward. When no OpenGL context of the needed format can be made, says
  // what failed in a message and returns null without opening a window.
  static TDlgBlock *Show(QMdiArea *area, const TProgramData &project, const TResultPlots &plots);
  // The open view, if any (there is at most one).
  static TDlgBlock *Instance();

  const TView3dOptions &Options() const { return fScene.Options(); }
  // Every change redraws completely.
  void SetOptions(const TView3dOptions &options);
  const TViewState &View() const { return fView; }
  void SetView(const TViewState &view);
  TView3dScene &Scene() { return fScene; }
  TglWindow *GlWindow() const { return fGl; }
  TDlgPileDiagrams *CombinedPlotsWindow() const { return fPileDiagrams; }

  // Reads the project and the plots again; the lists are rebuilt and the
  // extents fitted when anything shown has changed.
  void DataChanged();
  // The combined plots are loaded: the result toggles and "Combined Plots" apply.
  bool HasResults() const;

  // The main window's commands.
  void ShowPylarOption();
  void ShowWaterLevelOption();
  void ShowSoilLayersOption();
  void ShowSoilLayerLabelsOption();
  void ShowSoilLayerDepthLabelsOption();
  void ShowLocalAxesOption();
  void ShowSkinFrictionOption();
  void ShowTipResistanceOption();
  void ShowTotalCapacityOption();
  void UltimateEffectsWindow();  // opens "Combined Plots"
  void Zooming(double factor);
  void ZoomInClick() { Zooming(kZoomInFactor); }
  void ZoomOutClick() { Zooming(kZoomOutFactor); }
  void RestartViewButtonClick();
  int MouseOption() const { return fMouseOption; }
  void SetMouseOption(int option);  // 1 panning, 2 zooming, 3 rotating, 4 zoom window
  bool ZoomWindowBoxEnabled = false;

  // The current frame as drawn, and "Save Picture" (PNG).
  QImage Picture();
  // Why the picture could not be saved, empty when it was.
  QString SavePicture(const QString &path);
  void SavePictureClick();
  // Save dialog; tests replace it. Returns an empty path when cancelled.
  std::function<QString()> SaveDialog;

 signals:
  void optionsChanged();
  void closed();

 protected:
  void closeEvent(QCloseEvent *event) override;
  void contextMenuEvent(QContextMenuEvent *event) override;

 private:
  void toggle(bool TView3dOptions::*option);
  void readData(bool force);
  void fitToWindow();
  void paintScene();
  void paintOverlay(QPainter &painter);
  void mouseDown(QMouseEvent *event);
  void mouseMove(QMouseEvent *event);
  void mouseUp(QMouseEvent *event);
  QSize viewSize() const;

  const TProgramData &fProject;
  const TResultPlots &fPlots;
  TglWindow *fGl;
  TView3dScene fScene;
  TViewState fView;
  bool fViewFitted = false;
  int fMouseOption = moRotating;
  bool fDragging = false;
  QPoint fDownPosition, fMovePosition;
  TViewState fDownView;
  QPointer<TDlgPileDiagrams> fPileDiagrams;
  QMetaObject::Connection fContextConnection;
};

// "Combined Plots": which capacity curves the view draws and how large.
class TDlgPileDiagrams : public QDialog {
  Q_OBJECT

 public:
  explicit TDlgPileDiagrams(TDlgBlock *view, QWidget *parent);
  void Load();  // the controls from the view's options
  TDataEdit *SizeFactor() const { return fFactor; }
  QCheckBox *ShowPlots() const { return fShowPlots; }
  void StepSizeFactor(bool up);
  // Validates the size factor as the window or the view closes.
  bool CloseQuery();

 protected:
  void closeEvent(QCloseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void store();
  TDlgBlock *fView;
  QCheckBox *fShowPlots, *fSkin, *fTip, *fTotal, *fValues;
  QRadioButton *fUltimate, *fDesign;
  TDataEdit *fFactor;
  QToolButton *fUp, *fDown;
  bool fLoading = false;
};

// The "Show 3D View" menu and the 3D tool buttons, built once and routed to
// the open view; visible only while a view is attached.
class TView3dCommands : public QObject {
  Q_OBJECT

 public:
  explicit TView3dCommands(QObject *parent = nullptr);
  ~TView3dCommands() override;

  QMenu *Menu() const { return fMenu; }
  // Panning, Zooming, Rotating, Zoom Window, Zoom In, Zoom Out, Restart View.
  const QList<QAction *> &ToolActions() const { return fToolActions; }
  // The menu's items in order (the three curve toggles are hidden).
  const QList<QAction *> &MenuActions() const { return fMenuActions; }
  QAction *SavePicture() const { return fSavePicture; }

  // Routes the commands to a view (null: none); the menu and buttons show
  // while one is attached and hide when it closes.
  void Attach(TDlgBlock *view);
  TDlgBlock *View() const { return fView; }
  // The "3D View" command: opens the view (or brings it forward) and attaches
  // it; null, with the message shown, when no OpenGL context can be made.
  TDlgBlock *ShowView(QMdiArea *area, const TProgramData &project, const TResultPlots &plots);
  // The check marks and enabled states of the menu from the view, as when
  // the menu opens; `resultsLoaded` is the main window's result state.
  void UpdateMenu(bool resultsLoaded);
  // Asked when the menu opens; without it results count as loaded when the
  // view has its combined plots.
  std::function<bool()> ResultsLoaded;

 private:
  QAction *addToggle(const QString &caption, void (TDlgBlock::*handler)(), bool TView3dOptions::*option);
  QAction *addTool(const QString &caption, const QString &glyph, const std::function<void(TDlgBlock &)> &run,
                   bool checkable = false);
  void showCommands(bool visible);
  QMenu *fMenu;
  QList<QAction *> fMenuActions, fToolActions;
  QList<QPair<QAction *, bool TView3dOptions::*>> fToggles;
  QActionGroup *fModeGroup;
  QAction *fModes[4] = {};
  QAction *fSavePicture = nullptr;
  QAction *fCombinedPlots = nullptr;
  QPointer<TDlgBlock> fView;
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
