// The commands of the 3-D View (TView3dCommands): the "Show 3D View" menu and
// the seven 3D tool buttons of the main window, built once and routed to the
// open view.
#pragma once

#include "model/View3dUnit1.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>

#include <functional>

class QAction;
class QActionGroup;
class QMdiArea;
class QMenu;

namespace pylar {

class TDlgBlock;
class TProgramData;
struct TResultPlots;

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
  TDlgBlock *View() const;
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

}  // namespace pylar
