// TMainForm: the frame of the desktop program. A multiple-document window whose
// child windows are the data, table and plot windows; it owns the menus, the
// tool bar, the recent-files list and the settings, and routes every command.
#pragma once

#include "model/DataUnit.h"
#include "model/Main.h"
#include "model/PltData.h"
#include "model/dynlib.h"
#include "model/ReportJob.h"
#include "model/ProfileGrid.h"
#include "model/ProjectHistory.h"
#include "ui/DataForms.h"
#include "ui/MainCommands.h"
#include "ui/View3dCommands.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QTimer;
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
  // The status bar's permanent note of the project's design methods.
  QLabel *MethodsIndicator() const { return fMethodsIndicator; }

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
  // Changes not saved: steps done or undone since the last save, an edit not
  // recorded yet, or a table that says it was edited.
  bool GetChanged() const { return fHistory.HasChanges() || fTables.GetChanged(); }
  // Marks the project changed (until it is saved, whatever is undone) or
  // saved; the title's marker follows.
  void SetChanged(bool changed);
  // The history of the project's edits (Edit > Undo, Redo).
  TProjectHistory &History() { return fHistory; }
  // Records the project's changes as one step of the history, named `label`
  // (empty: after the window in use).
  void CommitChanges(const QString &label = {});
  // Edit > Undo and Redo: the window in use writes its values back first.
  void Undo();
  void Redo();

  // Settings and state.
  TProgramSettings &Settings() { return fSettings; }
  bool ShowOutput() const { return fShowOutput; }
  bool ShowTzCurves() const { return fShowTzCurves; }

  // Opens a project file by its extension (".pq8d" or ".pqd"; others are
  // ignored) after the ask-to-save step. True when a project was opened.
  bool OpenFileByExtension(const QString &path);

  // The commands, menus and tool bar (tests reach commands through these,
  // never by their text).
  const TMainCommands &Commands() const { return fCommands; }
  const std::vector<QAction *> &AllCommands() const { return fAllCommands; }
  struct TMenus {
    QMenu *File = nullptr;
    QMenu *Edit = nullptr;
    QMenu *Data = nullptr;
    QMenu *Units = nullptr;
    QMenu *DesignMethod = nullptr;
    QMenu *ComputationMethods = nullptr;
    QMenu *Computation = nullptr;
    QMenu *Graphics = nullptr;
    QMenu *Window = nullptr;
    QMenu *Help = nullptr;
  };
  const TMenus &Menus() const { return fMenus; }
  QToolBar *ToolBar() const { return fToolBar; }
  // The "Show 3D View" menu and the 3D tool buttons, shown while the 3-D View is open.
  TView3dCommands &View3dCommands() { return fView3dCommands; }

  // File dialogs; tests replace them. Open returns the path and the filter
  // index (1 ... 4); both return an empty path when cancelled.
  std::function<QString(int &format)> OpenDialog;
  std::function<QString(const QString &title, const QString &proposed)> SaveDialog;
  // Starts a detached process; tests set it. Empty: the editor starts as
  // StartTextEditor starts it (xdg-open watched for its failure).
  std::function<bool(const QString &program, const QStringList &arguments)> StartProcess;
  // Opens a file with the desktop's handler, false when none took it; tests
  // set it. Empty: the platform's opener (DesktopOpener).
  std::function<bool(const QString &path)> OpenDocument;
  // Asks where the calculation report goes, starting from the proposed path;
  // empty when cancelled.
  std::function<QString(const QString &proposed)> ReportFileDialog;
  // Asks for the report's job block (and stores it); false when cancelled. Tests set it.
  std::function<bool(TReportJob &job)> ReportJobDialog;

  // Commands.
  void FileNew();
  void FileOpen();
  void FileSave();
  void FileSaveAs();
  // Save, through Save As when the project needs a name. True when the
  // project reached the disk; a write error is shown to the user.
  bool SaveProject();
  void RunAnalysis();
  // The ask-to-save step: false when the command is to stop.
  bool AskToSave();
  // Loads the plot data of the current project; messages only when asked.
  bool LoadResults(bool reportErrors);
  // The open data windows (tests).
  TDataChild *DataWindow(const QString &caption) const;
  // Lets the active data window write its values back.
  bool DeactivateActiveChild();
  // Opens a file of the project in the text editor: a file of its run, or
  // the project file itself (as it is named) for RunFileKind::Project.
  void EditText(engine::RunFileKind kind);
  // Shows a result file of the project (report, run notes, detail listing) in its
  // text window inside the program.
  void ShowTextFile(engine::RunFileKind kind);
  // Shows the results table of the project's last run.
  void ShowResultsTable();
  // Opens a help file of the program's docs folder: in the desktop's viewer,
  // or in the program's help window when the desktop has none.
  void ShowHelpFile(const QString &fileName);
  void ShowAbout();

  // Prints the active child window when it is one that prints (File > Print...).
  void PrintActiveWindow();

 protected:
  void closeEvent(QCloseEvent *event) override;
  // A child window is placed inside the visible part of the window area when it first shows.
  bool eventFilter(QObject *watched, QEvent *event) override;
  void dragEnterEvent(QDragEnterEvent *event) override;
  void dropEvent(QDropEvent *event) override;

 private:
  void createCommands();
  void createMenus();
  void createToolBar();
  void updateFileMenu();
  void updateComputationMenu();
  void updateWindowMenu();
  // Enables the commands that show results by what is loaded.
  void updateResultCommands();
  void arrangeIcons();
  void cascadeWindows();
  void tileWindows();
  // The open and save dialogs start in the folder of the last project opened
  // or saved, else in the current folder.
  QString startFolder() const;
  // Cut, Copy and Paste go to the field in use, else to the active window.
  void clipboardCommand(int which);
  void updateEditCommands();
  // Undo or Redo put the project back into a state: windows and views follow.
  void projectRestored();
  // The history's place or saved state changed.
  void historyMoved();
  // A change reported by a window is recorded once the event that made it is done.
  void scheduleCommit();
  // The active child window's print command; empty when it does not print.
  std::function<void()> activePrintCommand() const;
  void updatePrintCommand();
  void rememberFile(const QString &path);
  // Closes the child windows; the text, results and help windows stay open
  // when `keepResultViews` (after a run they read the new files instead).
  void closeChildWindows(bool discard, bool keepResultViews = false);
  // Opens a project file; a file that does not read whole is refused with
  // its message and changes nothing. True when the project was opened.
  bool openProject(const QString &path, int format);
  // Loads the results beside the project just opened when its run record ties
  // them to `projectBytes` and the run completed; otherwise says why not.
  void loadResultsOfOpenedProject(const QByteArray &projectBytes);
  void clearResults();
  void projectReplaced();
  TProjectAccess projectAccess();
  void childActivated(QMdiSubWindow *window);
  void updateDataMenu();
  void showPlot(TGraphPlot *plot);
  // "Export Plots to Excel": the export dialog over the plots whose commands are enabled.
  void exportPlots();
  // "Export Calculation Report (PDF)...": the report of the current results,
  // proposed beside the project as "<name>-report.pdf".
  void exportCalcReport();
  template <class Form>
  void showDataWindow(QPointer<TDataChild> &slot);
  void showDataWindow(QPointer<TDataChild> &slot, const std::function<TDataForm *()> &create);
  void setUnits(int units);
  void setDesignMethod(int nlrfd);
  void setComputationMethod(int method);
  void showTitle();
  void showPierProperties();
  void showWaterTable();
  void showSafetyFactor();
  void showSoilLayers();
  void showProfileGrid();
  // The values the last run estimated, while its results are the project's
  // as it is (saved, and tied to it by the run record).
  TProfileEstimates profileEstimates();
  void showTzPrint();
  void showOptions();
  void showVaryLength();
  void showDesignCharts();
  void showElevation();
  // Save As: the dialog, then the write. True when the project reached the disk.
  bool saveAs();
  // Save As's dialog: the project takes the chosen name. False when cancelled.
  bool nameProject();
  // Writes the project under its name; a failure is shown. True when written.
  bool writeProject();
  // No results: the result commands off and the plots emptied.
  void discardResults();

  // Command handlers that have no argument of their own.
  void openRecentFile(int index);
  void editInput() { EditText(engine::RunFileKind::Project); }
  void editNotes() { EditText(engine::RunFileKind::RunNotes); }
  void editOutput() { EditText(engine::RunFileKind::Report); }
  void helpContents();
  void helpUsersManual();
  void helpTechnicalManual();

  QString currentFileName() const;
  // The title: the project's file name as on disk, and the marker ("*")
  // while the project has changes that are not saved.
  void updateCaption();

  QMdiArea *fMdiArea;
  QLabel *fMethodsIndicator = nullptr;
  QToolBar *fToolBar = nullptr;
  QString fProgramFolder;
  TProgramSettings fSettings;
  TProjectTables fTables;
  std::unique_ptr<TProgramData> fData;
  TProjectHistory fHistory{[this]() -> TProgramData & { return *fData; }};
  QTimer *fCommitTimer = nullptr;
  QString fPendingLabel;  // name of the step a scheduled commit records
  TResultPlots fPlots;
  int fAdditionalTzCurves = 0;
  QPointer<TDataChild> fTitleWindow, fPierWindow, fWaterWindow, fLengthWindow, fLoadWindow, fSafetyWindow;
  QPointer<TDataChild> fSoilLayersWindow, fOptionsWindow, fVaryWindow, fChartWindow, fProfileGridWindow;
  QPointer<QMdiSubWindow> fLastActive;
  bool fWritingBack = false;
  struct TGraphicsEntry {
    QAction *action;
    TGraphPlot *plot;
    int chart;  // design chart 0 ... 9; -1 for the other plots
  };
  std::vector<TGraphicsEntry> fGraphicsEntries;
  QAction *fChartSeparator = nullptr;
  TMainCommands fCommands;
  TView3dCommands fView3dCommands;
  std::vector<QAction *> fAllCommands;
  TMenus fMenus;
  bool fShowOutput = false;
  bool fShowTzCurves = false;

  std::vector<QAction *> fRecentEntries;
  QAction *fRecentSeparator = nullptr;
  std::vector<QAction *> fWindowEntries;
  QAction *fWindowSeparator = nullptr;
};

}  // namespace pylar
