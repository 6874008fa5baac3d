// The "3-D View" window (TDlgBlock): the pier, the water table and the soil
// layers of the project as an OpenGL scene (ui/View3dScene) that the user
// rotates, pans and zooms, with layer names and depths, axes and the capacity
// curves of the combined plot beside the pier. Its "Combined Plots" option
// window is TDlgPileDiagrams (ui/CombinedPlotsDialog); the main window's
// "Show 3D View" menu and 3D tool buttons are TView3dCommands
// (ui/View3dCommands).
#pragma once

#include "model/View3dUnit1.h"
#include "ui/CombinedPlotsDialog.h"
#include "ui/View3dScene.h"
#include "ui/glWindow.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QMdiArea;

namespace pylar {

class TProgramData;
struct TResultPlots;

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

}  // namespace pylar
