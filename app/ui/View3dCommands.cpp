#include "ui/View3dCommands.h"

#include "ui/View3dUnit1.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace pylar {

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

TDlgBlock *TView3dCommands::View() const { return fView.data(); }

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

}  // namespace pylar
