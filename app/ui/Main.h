// TMainForm: the frame of the desktop program. A multiple-document window whose
// child windows are the data, table and plot windows; it owns the menus, the
// tool bar, the recent-files list and the settings, and routes every command.
#pragma once

#include "model/DataUnit.h"
#include "model/Main.h"
#include "model/PltData.h"
#include "ui/DataForms.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace pylar {

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kMaxWindowEntries = 50;

  explicit TMainForm(QWidget *parent = nullptr);
  ~TMainForm() override;

  QMdiArea *MdiArea() const { return fMdiArea; }

  // Start-up once the window is shown: settings, then the command-line file
  // (an empty argument creates a new project).
  void StartUp(const QString &commandLineFile);

  // The folder the engine library and the help files are looked up in
  // (the running program's folder unless a test says otherwise).
  QString ProgramFolder() const { return fProgramFolder; }
  void SetProgramFolder(const QString &folder) { fProgramFolder = folder; }

  // The current project and its results.
  TProgramData &Data() { return *fData; }
  TProjectTables &Tables() { return fTables; }
  TResultPlots &Plots() { return fPlots; }
  bool GetChanged() const { return fTables.GetChanged(); }
  void SetChanged(bool changed) { fTables.SetChanged(changed); }

  // Settings and state.
  TProgramSettings &Settings() { return fSettings; }
  bool ShowOutput() const { return fShowOutput; }
  bool ShowTzCurves() const { return fShowTzCurves; }

  // Opens a project file by its extension (".pq8d" or ".pqd"; others are
  // ignored) after the ask-to-save step. True when a project was opened.
  bool OpenFileByExtension(const QString &path);

  // Actions by caption path such as "&File|&New" (tests and the menus).
  QAction *Action(const QString &path) const;
  QAction *ToolButton(const QString &hint) const;
  QMenu *Menu(const QString &caption) const;

  // File dialogs; tests replace them. Open returns the path and the filter
  // index (1 ... 4); both return an empty path when cancelled.
  std::function<QString(int &format)> OpenDialog;
  std::function<QString(const QString &title, const QString &proposed)> SaveDialog;
  // Starts a detached process; tests replace it.
  std::function<bool(const QString &program, const QStringList &arguments)> StartProcess;
  // Opens a file with the desktop's handler; tests replace it.
  std::function<bool(const QString &path)> OpenDocument;

  // Commands.
  void FileNew();
  void FileOpen();
  void FileSave();
  void FileSaveAs();
  // Save: throws EPylarError when the file cannot be written.
  void SaveProject();
  void RunAnalysis();
  // The ask-to-save step: false when the command is to stop.
  bool AskToSave();
  // Loads the plot data of the current project; messages only when asked.
  bool LoadResults(bool reportErrors);
  // The open data windows (tests).
  TDataChild *DataWindow(const QString &caption) const;
  // Lets the active data window write its values back.
  bool DeactivateActiveChild();
  void EditText(const QString &extension);
  void ShowHelpFile(const QString &fileName);
  void ShowAbout();

 protected:
  void closeEvent(QCloseEvent *event) override;
  void dragEnterEvent(QDragEnterEvent *event) override;
  void dropEvent(QDropEvent *event) override;

 private:
  struct TCommand;
  QAction *addCommand(QMenu *menu, const QString &caption, void (TMainForm::*handler)(),
                      const QKeySequence &shortcut = {});
  QAction *addToolButton(const QString &hint, const QString &glyph, void (TMainForm::*handler)());
  void createMenus();
  void createToolBar();
  void updateFileMenu();
  void updateComputationMenu();
  void updateWindowMenu();
  void updateResultButtons();
  void rememberFile(const QString &path);
  void closeChildWindows(bool discard);
  void openProject(const QString &path, int format);
  void clearResults();
  void projectReplaced();
  TProjectAccess projectAccess();
  void childActivated(QMdiSubWindow *window);
  void updateDataMenu();
  void updateGraphicsMenu();
  void showPlot(TGraphPlot *plot);
  template <class Form>
  void showDataWindow(QPointer<TDataChild> &slot);
  void setUnits(int units);
  void setDesignMethod(int nlrfd);
  void setComputationMethod(int method);
  void showTitle();
  void showPierProperties();
  void showWaterTable();
  void showSafetyFactor();
  void showSoilLayers();
  void showTzPrint();
  void menuSaveClicked();

  // Command handlers that have no argument of their own.
  void openRecentFile(int index);
  void editInput() { EditText(QStringLiteral(".pq8d")); }
  void editNotes() { EditText(QStringLiteral(".pq8r")); }
  void editOutput() { EditText(QStringLiteral(".pq8o")); }
  void helpContents();
  void helpUsersManual();
  void helpTechnicalManual();
  void notAvailable();

  QString currentFileName() const;

  QMdiArea *fMdiArea;
  QToolBar *fToolBar = nullptr;
  QString fProgramFolder;
  TProgramSettings fSettings;
  TProjectTables fTables;
  std::unique_ptr<TProgramData> fData;
  TResultPlots fPlots;
  int fAdditionalTzCurves = 0;
  QPointer<TDataChild> fTitleWindow, fPierWindow, fWaterWindow, fLengthWindow, fLoadWindow, fSafetyWindow;
  QPointer<QMdiSubWindow> fLastActive;
  bool fWritingBack = false;
  struct TGraphicsEntry {
    QAction *action;
    TGraphPlot *plot;
  };
  std::vector<TGraphicsEntry> fGraphicsEntries;
  QAction *fChartSeparator = nullptr;
  bool fShowOutput = false;
  bool fShowTzCurves = false;
  bool filesaved = false;

  QMenu *fFileMenu = nullptr;
  QMenu *fDataMenu = nullptr;
  QMenu *fComputationMenu = nullptr;
  QMenu *fGraphicsMenu = nullptr;
  QMenu *fWindowMenu = nullptr;
  QMenu *fHelpMenu = nullptr;
  std::vector<QAction *> fRecentEntries;
  QAction *fRecentSeparator = nullptr;
  std::vector<QAction *> fWindowEntries;
  QAction *fWindowSeparator = nullptr;
  std::vector<QAction *> fResultButtons;  // enabled while ShowOutput
  std::vector<QAction *> fTzButtons;      // enabled while ShowOutput and showtzcurves
};

}  // namespace pylar
