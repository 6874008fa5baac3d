#include "ui/Main.h"

#include "model/RunChecks.h"
#include "ui/Icons.h"

#include "model/AnalysisRun.h"
#include "model/RunRecord.h"
#include "model/dynlib.h"
#include "ui/CalcReport.h"
#include "ui/DataEdit.h"
#include "ui/ExportDlg.h"
#include "ui/HelpWindow.h"
#include "ui/Messages.h"
#include "ui/Options.h"
#include "ui/PileSide.h"
#include "model/CalcReportData.h"
#include "model/ReportFile.h"
#include "ui/PltData.h"
#include "ui/ReportJobDialog.h"
#include "ui/ProfileGrid.h"
#include "ui/ReportWindow.h"
#include "ui/ResultsWindow.h"
#include "ui/SoilLayers.h"
#include "ui/VaryLength.h"
#include "ui/View3dUnit1.h"
#include "ui/designchart.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QTimer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QHash>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace pylar {

QIcon GlyphIcon(const QString &glyph) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(40, 70, 120), 1.5));
  painter.setBrush(QColor(225, 235, 248));
  painter.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 4, 4);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(glyph.size() > 2 ? 10 : 14);
  painter.setFont(font);
  painter.setPen(QColor(20, 40, 90));
  painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
  return QIcon(pixmap);
}

namespace {

// The picture of a tool button: its theme or shipped icon, or its short name
// drawn when neither has one.
QIcon ToolIcon(const QString &glyph) {
  static const QHash<QString, QString> names{
      {"N", "document-new"},          {"O", "document-open"},        {"S", "document-save"},
      {"T", "insert-text"},           {"P", "pylar-pier"},           {"L", "pylar-soil-layers"},
      {"FS", "pylar-safety-factor"},  {"Run", "system-run"},         {"Out", "text-x-generic"},
      {"E", "pylar-elevation"},       {"3D", "pylar-3d-view"},       {"CU", "pylar-plot-ultimate"},
      {"CD", "pylar-plot-design"},    {"QS", "pylar-plot-settlement"}, {"tz", "pylar-plot-tz"},
      {"Qw", "pylar-plot-qw"}};
  const QString name = names.value(glyph);
  const QIcon icon = name.isEmpty() ? QIcon() : CommandIcon(name);
  return icon.isNull() ? GlyphIcon(glyph) : icon;
}

}  // namespace

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent), fMdiArea(new QMdiArea(this)) {
  QGuiApplication::setApplicationDisplayName(QString());
  fData = TProgramData::Create(fTables);
  fHistory.Reset();
  fHistory.OnRestored = [this] { projectRestored(); };
  fCommitTimer = new QTimer(this);
  fCommitTimer->setSingleShot(true);
  connect(fCommitTimer, &QTimer::timeout, this, [this] { CommitChanges(); });
  // Ctrl+Z in a field that has nothing of its own to undo undoes the project's
  // last step; a child window is placed inside the window area when it shows.
  qApp->installEventFilter(this);
  fMethodsIndicator = new QLabel(this);
  statusBar()->addPermanentWidget(fMethodsIndicator);
  updateCaption();
  connect(fMdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::childActivated);
  setCentralWidget(fMdiArea);
  setAcceptDrops(true);
  fProgramFolder = QCoreApplication::applicationDirPath();
  fSettings.WordProcessor = DefaultWordProcessor();
  OpenDialog = [this](int &format) {
    const QStringList filters = QString::fromLatin1(kOpenFilter).split(QStringLiteral(";;"));
    QString selected = filters.first();
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open"), startFolder(),
                                                      QString::fromLatin1(kOpenFilter), &selected);
    format = static_cast<int>(filters.indexOf(selected)) + 1;
    return path;
  };
  SaveDialog = [this](const QString &title, const QString &proposed) {
    QFileDialog dialog(this, title, startFolder(), QString::fromLatin1(kSaveFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pq8d"));
    dialog.selectFile(proposed);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                   : QString();
  };
  ReportFileDialog = [this](const QString &proposed) {
    return QFileDialog::getSaveFileName(this, QStringLiteral("Export Calculation Report (PDF)"), proposed,
                                        QStringLiteral("PDF files (*.pdf)"));
  };
  ReportJobDialog = [this](TReportJob &job) { return EditReportJob(this, currentFileName(), fData->fUnits, job); };
  createCommands();
  createMenus();
  createToolBar();
  updateResultCommands();
  QUndoStack &stack = fHistory.Stack();
  for (auto signal : {&QUndoStack::canUndoChanged, &QUndoStack::canRedoChanged})
    connect(&stack, signal, this, &TMainForm::updateEditCommands);
  for (auto signal : {&QUndoStack::undoTextChanged, &QUndoStack::redoTextChanged})
    connect(&stack, signal, this, &TMainForm::updateEditCommands);
  connect(&stack, &QUndoStack::cleanChanged, this, &TMainForm::historyMoved);
  connect(&stack, &QUndoStack::indexChanged, this, &TMainForm::historyMoved);
  updateEditCommands();
  statusBar();
  resize(1000, 700);
}

TMainForm::~TMainForm() {
  qApp->removeEventFilter(this);
  // Child windows go before the project they edit; no activation reaches a half-destroyed window.
  disconnect(fMdiArea, nullptr, this, nullptr);
  for (QMdiSubWindow *window : fMdiArea->subWindowList()) delete window;
}

// ---------------------------------------------------------------- commands

namespace {

// One row of the command table.
struct TCommandRow {
  QAction *TMainCommands::*member;
  const char *text;      // menu text; "&" marks the access key
  const char *shortcut;  // empty: none
  const char *glyph;     // tool-bar picture; empty for a command without a tool button
  const char *hint;      // tool-bar hint and status-bar tip; empty: none
  bool checkable;
  std::function<void()> handler;
};

}  // namespace

void TMainForm::createCommands() {
  using C = TMainCommands;
  const auto plot = [this](TGraphPlot &target) { return [this, &target] { showPlot(&target); }; };
  const TCommandRow rows[] = {
      {&C::FileNew, "&New", "Ctrl+N", "N", "New File", false, [this] { FileNew(); }},
      {&C::FileOpen, "&Open...", "Ctrl+O", "O", "Open File", false, [this] { FileOpen(); }},
      {&C::FileSave, "&Save", "Ctrl+S", "S", "Save File", false, [this] { FileSave(); }},
      {&C::FileSaveAs, "Save &As...", "", "", "", false, [this] { FileSaveAs(); }},
      {&C::FileExportReport, "Export Calculation &Report (PDF)...", "", "", "", false,
       [this] { exportCalcReport(); }},
      {&C::FilePrint, "&Print...", "Ctrl+P", "", "", false, [this] { PrintActiveWindow(); }},
      {&C::FileExit, "E&xit", "Ctrl+Q", "", "", false, [this] { close(); }},

      {&C::EditUndo, "&Undo", "", "", "", false, [this] { Undo(); }},
      {&C::EditRedo, "&Redo", "", "", "", false, [this] { Redo(); }},
      {&C::EditCut, "Cu&t", "", "", "", false, [this] { clipboardCommand(0); }},
      {&C::EditCopy, "&Copy", "", "", "", false, [this] { clipboardCommand(1); }},
      {&C::EditPaste, "&Paste", "", "", "", false, [this] { clipboardCommand(2); }},

      {&C::Title, "&Title", "", "T", "Title", false, [this] { showTitle(); }},
      {&C::UnitsEnglish, "&English Units (lbs, ft, in)", "", "", "", true, [this] { setUnits(kUnitsEnglish); }},
      {&C::UnitsSI, "&SI Units (kN, m)", "", "", "", true, [this] { setUnits(kUnitsSI); }},
      {&C::DesignASD, "ASD (Allowable Stress Design)", "", "", "", true, [this] { setDesignMethod(2); }},
      {&C::DesignLRFD, "LRFD (Load Resistance Factor Design)", "", "", "", true, [this] { setDesignMethod(1); }},
      {&C::PierProperties, "&Drilled-Pylar Properties", "", "P", "Drilled Pylar Properties", false,
       [this] { showPierProperties(); }},
      {&C::SoilLayers, "Soil &Layer Data", "", "L", "Soil Layer Data", false, [this] { showSoilLayers(); }},
      {&C::ProfileGrid, "Soil Profile &Grid", "", "", "", false, [this] { showProfileGrid(); }},
      {&C::SafetyFactor, "&Factor of Safety (Allowable Stress Design)", "", "", "", false,
       [this] { showSafetyFactor(); }},
      {&C::SafetyFactorButton, "Factor of Safety (ASD)", "", "FS", "Factor of Safety (ASD)", false,
       [this] { showSafetyFactor(); }},
      {&C::MethodLength, "Specify the pylar length", "", "", "", true, [this] { setComputationMethod(2); }},
      {&C::MethodLoad, "Specify the design load", "", "", "", true, [this] { setComputationMethod(1); }},
      {&C::WaterTable, "&Water Table", "", "", "", false, [this] { showWaterTable(); }},
      {&C::MultipleLengths, "Evaluate Multiple Pylar Lengths", "", "", "", true, [this] { showVaryLength(); }},
      {&C::DesignCharts, "ASD/LRFD Design Charts", "", "", "", true, [this] { showDesignCharts(); }},
      {&C::PrintTzCurves, "Print Additional t-z curves", "", "", "", true, [this] { showTzPrint(); }},
      {&C::ControlOptions, "Control &Options...", "", "", "", false, [this] { showOptions(); }},

      {&C::RunAnalysis, "&Run Analysis", "F5", "Run", "Run Data File", false, [this] { RunAnalysis(); }},
      {&C::EditInput, "Edit I&nput Text", "", "", "", false, [this] { editInput(); }},
      {&C::EditNotes, "Edit &Processor-Run Notes", "", "", "", false, [this] { editNotes(); }},
      {&C::EditOutput, "Edit &Output Text", "", "", "", false, [this] { editOutput(); }},
      {&C::ViewOutput, "View Output", "", "Out", "View Output", false, [this] { ShowTextFile(engine::RunFileKind::Report); }},
      {&C::ViewOutputText, "View O&utput Text", "", "", "", false, [this] { ShowTextFile(engine::RunFileKind::Report); }},
      {&C::ViewNotes, "View Run No&tes", "", "", "", false, [this] { ShowTextFile(engine::RunFileKind::RunNotes); }},
      {&C::ViewListing, "View &Detail Listing", "", "", "", false, [this] { ShowTextFile(engine::RunFileKind::Detail); }},
      {&C::ViewResults, "Results T&able", "", "", "", false, [this] { ShowResultsTable(); }},
      {&C::Elevation, "&View Pylar Elevation", "", "E", "View Soil Profile", false, [this] { showElevation(); }},
      {&C::View3D, "3D View", "", "3D", "3D View", false,
       [this] { fView3dCommands.ShowView(fMdiArea, *fData, fPlots); }},

      {&C::SkinFriction, "Ultimate &Skin Friction vs Depth", "", "", "", false, plot(fPlots.pltSkin)},
      {&C::TipResistance, "Ultimate &Tip Resistance vs Depth", "", "", "", false, plot(fPlots.pltTip)},
      {&C::TotalCapacity, "Ultimate Total &Capacity vs Depth", "", "", "", false, plot(fPlots.pltTotal)},
      {&C::CombinedUltimate, "C&ombined Plots vs Depth (initial diameter)", "", "CU", "Combined Plot (Ultimate)",
       false, plot(fPlots.pltCombine)},
      {&C::DesignSkinFriction, "ASD/LRFD Skin Friction vs Depth ", "", "", "", false, plot(fPlots.FSpltSkin)},
      {&C::DesignTipResistance, "ASD/LRFD Tip Resistance vs Depth ", "", "", "", false, plot(fPlots.FSpltTip)},
      {&C::DesignTotalCapacity, "ASD/LRFD Total Capacity vs Depth", "", "", "", false, plot(fPlots.FSpltTotal)},
      {&C::CombinedDesign, "Combined Plots vs Depth (initial diameter)", "", "CD", "Combined Plot (LRFD/ASD)", false,
       plot(fPlots.pltCombineD)},
      {&C::LoadSettlement, "Axial Load vs Settlement (averaged)", "", "QS", "Load vs. Settlement", false,
       plot(fPlots.pltAxial)},
      {&C::LoadSettlementUpper, "Axial Load vs Settlement (upper bound)", "", "", "", false, plot(fPlots.pltUpper)},
      {&C::LoadSettlementLower, "Axial Load vs Settlement (lower bound)", "", "", "", false, plot(fPlots.pltLower)},
      {&C::CombinedLoadSettlement, "Combined Plots of Load vs Settlement (initial diameter)", "", "", "", false,
       plot(fPlots.pltCombinedSettle)},
      {&C::TzCurves, "t-z curves (averaged, initial diameter)", "", "tz", "t-z curves", false, plot(fPlots.pltTz)},
      {&C::QwCurves, "Q-w curves (averaged)", "", "Qw", "Q-w curves", false, plot(fPlots.pltQw)},
      {&C::AdditionalTzCurves, "Additional t-z curves (averaged, initial diameter)", "", "", "", false,
       plot(fPlots.pltTzAdd)},
      {&C::ExportPlots, "Export Plots to Excel", "", "", "", false, [this] { exportPlots(); }},

      {&C::Cascade, "&Cascade", "", "", "", false, [this] { cascadeWindows(); }},
      {&C::Tile, "&Tile", "", "", "", false, [this] { tileWindows(); }},
      {&C::ArrangeIcons, "&Arrange Icons", "", "", "", false, [this] { arrangeIcons(); }},
      {&C::CloseAll, "C&lose All", "", "", "", false, [this] { fMdiArea->closeAllSubWindows(); }},

      {&C::HelpContents, "&Contents", "F1", "", "", false, [this] { helpContents(); }},
      {&C::UsersManual, "&User's Manual", "", "", "", false, [this] { helpUsersManual(); }},
      {&C::TechnicalManual, "&Technical Manual", "", "", "", false, [this] { helpTechnicalManual(); }},
      {&C::About, "&About...", "", "", "", false, [this] { ShowAbout(); }},
  };
  const auto make = [this](const QString &text, const std::function<void()> &handler) {
    auto *action = new QAction(text, this);
    connect(action, &QAction::triggered, this, handler);
    fAllCommands.push_back(action);
    return action;
  };
  for (const TCommandRow &row : rows) {
    QAction *action = make(QString::fromLatin1(row.text), row.handler);
    if (*row.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
    if (*row.glyph) {
      action->setIcon(ToolIcon(QString::fromLatin1(row.glyph)));
      action->setIconVisibleInMenu(false);
    }
    if (*row.hint) {
      action->setToolTip(QString::fromLatin1(row.hint));
      action->setStatusTip(QString::fromLatin1(row.hint));
    }
    action->setCheckable(row.checkable);
    fCommands.*row.member = action;
  }
  for (int k = 0; k < kDesignChartEntries; ++k)
    fCommands.DesignChart[static_cast<std::size_t>(k)] =
        make(QStringLiteral("Design Chart ") + QString::number(k + 1), plot(fPlots.PltChart[static_cast<std::size_t>(k)]));
  // The platform's keys for the edit commands.
  fCommands.EditUndo->setShortcuts(QKeySequence::Undo);
  fCommands.EditRedo->setShortcuts(QKeySequence::Redo);
  fCommands.EditCut->setShortcuts(QKeySequence::Cut);
  fCommands.EditCopy->setShortcuts(QKeySequence::Copy);
  fCommands.EditPaste->setShortcuts(QKeySequence::Paste);
  auto *unitGroup = new QActionGroup(this);
  unitGroup->addAction(fCommands.UnitsEnglish);
  unitGroup->addAction(fCommands.UnitsSI);
}

void TMainForm::createMenus() {
  const TMainCommands &c = fCommands;
  const auto addAll = [](QMenu *menu, std::initializer_list<QAction *> actions) {
    for (QAction *action : actions) {
      if (action)
        menu->addAction(action);
      else
        menu->addSeparator();
    }
  };

  fMenus.File = menuBar()->addMenu(QStringLiteral("&File"));
  addAll(fMenus.File,
         {c.FileNew, c.FileOpen, c.FileSave, c.FileSaveAs, nullptr, c.FileExportReport, c.FilePrint, nullptr});
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    auto *entry = fMenus.File->addAction(QString());
    entry->setVisible(false);
    connect(entry, &QAction::triggered, this, [this, i] { openRecentFile(i); });
    fRecentEntries.push_back(entry);
  }
  fRecentSeparator = fMenus.File->addSeparator();
  fMenus.File->addAction(c.FileExit);
  connect(fMenus.File, &QMenu::aboutToShow, this, &TMainForm::updateFileMenu);

  fMenus.Edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  addAll(fMenus.Edit, {c.EditUndo, c.EditRedo, nullptr, c.EditCut, c.EditCopy, c.EditPaste});
  connect(fMenus.Edit, &QMenu::aboutToShow, this, [this] {
    DeactivateActiveChild();  // what the window in use holds can be undone at once
    updateEditCommands();
  });

  fMenus.Data = menuBar()->addMenu(QStringLiteral("Da&ta"));
  fMenus.Data->addAction(c.Title);
  fMenus.Units = fMenus.Data->addMenu(QStringLiteral("&Units"));
  addAll(fMenus.Units, {c.UnitsEnglish, c.UnitsSI});
  fMenus.DesignMethod = fMenus.Data->addMenu(QStringLiteral("Design Method (ASD or LRFD)"));
  addAll(fMenus.DesignMethod, {c.DesignASD, c.DesignLRFD});
  addAll(fMenus.Data, {c.PierProperties, c.SoilLayers, c.ProfileGrid, c.SafetyFactor});
  fMenus.ComputationMethods = fMenus.Data->addMenu(QStringLiteral("&Computation Methods"));
  addAll(fMenus.ComputationMethods, {c.MethodLength, c.MethodLoad});
  addAll(fMenus.Data, {c.WaterTable, c.MultipleLengths, c.DesignCharts, c.PrintTzCurves, c.ControlOptions});
  for (QMenu *menu : {fMenus.Data, fMenus.Units, fMenus.DesignMethod, fMenus.ComputationMethods})
    connect(menu, &QMenu::aboutToShow, this, &TMainForm::updateDataMenu);

  fMenus.Computation = menuBar()->addMenu(QStringLiteral("&Computation"));
  addAll(fMenus.Computation, {c.RunAnalysis, c.EditInput, c.EditNotes, c.EditOutput, nullptr, c.ViewOutputText,
                              c.ViewNotes, c.ViewListing, c.ViewResults, nullptr, c.Elevation, c.View3D});
  connect(fMenus.Computation, &QMenu::aboutToShow, this, &TMainForm::updateComputationMenu);
  for (QMenu *menu : {fMenus.File, fMenus.Data, fMenus.Computation})
    connect(menu, &QMenu::aboutToShow, this, &TMainForm::DeactivateActiveChild);

  fMenus.Graphics = menuBar()->addMenu(QStringLiteral("&Graphics"));
  const std::pair<QAction *, TGraphPlot *> plots[] = {
      {c.SkinFriction, &fPlots.pltSkin},
      {c.TipResistance, &fPlots.pltTip},
      {c.TotalCapacity, &fPlots.pltTotal},
      {c.CombinedUltimate, &fPlots.pltCombine},
      {c.DesignSkinFriction, &fPlots.FSpltSkin},
      {c.DesignTipResistance, &fPlots.FSpltTip},
      {c.DesignTotalCapacity, &fPlots.FSpltTotal},
      {c.CombinedDesign, &fPlots.pltCombineD},
      {c.LoadSettlement, &fPlots.pltAxial},
      {c.LoadSettlementUpper, &fPlots.pltUpper},
      {c.LoadSettlementLower, &fPlots.pltLower},
      {c.CombinedLoadSettlement, &fPlots.pltCombinedSettle},
      {c.TzCurves, &fPlots.pltTz},
      {c.QwCurves, &fPlots.pltQw},
      {c.AdditionalTzCurves, &fPlots.pltTzAdd},
  };
  for (const auto &[action, plot] : plots) {
    fMenus.Graphics->addAction(action);
    fGraphicsEntries.push_back({action, plot, -1});
  }
  fChartSeparator = fMenus.Graphics->addSeparator();
  for (int k = 0; k < kDesignChartEntries; ++k) {
    QAction *chart = c.DesignChart[static_cast<std::size_t>(k)];
    fMenus.Graphics->addAction(chart);
    fGraphicsEntries.push_back({chart, &fPlots.PltChart[static_cast<std::size_t>(k)], k});
  }
  addAll(fMenus.Graphics, {nullptr, c.ExportPlots});
  connect(fMenus.Graphics, &QMenu::aboutToShow, this, &TMainForm::updateResultCommands);

  fMenus.Window = menuBar()->addMenu(QStringLiteral("&Window"));
  addAll(fMenus.Window, {c.Cascade, c.Tile, c.ArrangeIcons, c.CloseAll});
  fWindowSeparator = fMenus.Window->addSeparator();
  for (int k = 0; k < kMaxWindowEntries; ++k) {
    auto *entry = fMenus.Window->addAction(QString());
    entry->setVisible(false);
    connect(entry, &QAction::triggered, this, [this, k] {
      const auto windows = fMdiArea->subWindowList(QMdiArea::CreationOrder);
      if (k < windows.size()) {
        windows[k]->showNormal();
        fMdiArea->setActiveSubWindow(windows[k]);
      }
    });
    fWindowEntries.push_back(entry);
  }
  connect(fMenus.Window, &QMenu::aboutToShow, this, &TMainForm::updateWindowMenu);

  // Present only while the 3-D View is open; its result toggles need the plot data of this project.
  menuBar()->addMenu(fView3dCommands.Menu());
  fView3dCommands.ResultsLoaded = [this] {
    return fShowOutput && QFileInfo::exists(RunFileOf(currentFileName(), engine::RunFileKind::PlotData));
  };

  fMenus.Help = menuBar()->addMenu(QStringLiteral("&Help"));
  connect(fMenus.Help, &QMenu::aboutToShow, this, &TMainForm::DeactivateActiveChild);
  addAll(fMenus.Help, {c.HelpContents, c.UsersManual, c.TechnicalManual, c.About});
}

void TMainForm::createToolBar() {
  const TMainCommands &c = fCommands;
  fToolBar = addToolBar(QStringLiteral("Tools"));
  fToolBar->setObjectName(QStringLiteral("Tools"));
  fToolBar->setIconSize(QSize(24, 24));
  for (QAction *action : {c.FileNew, c.FileOpen, c.FileSave, static_cast<QAction *>(nullptr),  //
                          c.Title, c.PierProperties, c.SoilLayers, c.SafetyFactorButton, static_cast<QAction *>(nullptr),
                          c.RunAnalysis, c.ViewOutput, c.Elevation, c.View3D, static_cast<QAction *>(nullptr),
                          c.CombinedUltimate, c.CombinedDesign, c.LoadSettlement, c.TzCurves, c.QwCurves,
                          static_cast<QAction *>(nullptr)})
    if (action)
      fToolBar->addAction(action);
    else
      fToolBar->addSeparator();
  // Visible only while the 3-D View is open.
  for (QAction *action : fView3dCommands.ToolActions()) {
    action->setIcon(GlyphIcon(action->iconText()));
    fToolBar->addAction(action);
  }
}

// ---------------------------------------------------------------- menu state

void TMainForm::updateFileMenu() {
  updatePrintCommand();
  const int count = fSettings.PrevFile.Count();
  const QString folder = QDir::currentPath();
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    const bool shown = i < count;
    fRecentEntries[i]->setVisible(shown);
    if (shown) fRecentEntries[i]->setText(fSettings.PrevFile.Caption(i, folder));
  }
  fRecentSeparator->setVisible(count > 0);
}

void TMainForm::updateComputationMenu() {
  const QString file = currentFileName();
  fCommands.EditInput->setEnabled(QFileInfo::exists(file));
  fCommands.EditNotes->setEnabled(QFileInfo::exists(RunFileOf(file, engine::RunFileKind::RunNotes)));
  fCommands.EditOutput->setEnabled(QFileInfo::exists(RunFileOf(file, engine::RunFileKind::Report)));
  fCommands.ViewOutputText->setEnabled(fCommands.EditOutput->isEnabled());
  fCommands.ViewNotes->setEnabled(fCommands.EditNotes->isEnabled());
  fCommands.ViewListing->setEnabled(QFileInfo::exists(RunFileOf(file, engine::RunFileKind::Detail)));
  // The table presents the results as the project's: only results that are.
  fCommands.ViewResults->setEnabled(fShowOutput && fCommands.EditOutput->isEnabled());
}

void TMainForm::updateWindowMenu() {
  const auto windows = fMdiArea->subWindowList(QMdiArea::CreationOrder);
  fCommands.Tile->setEnabled(!windows.isEmpty());
  fCommands.CloseAll->setEnabled(!windows.isEmpty());
  for (int k = 0; k < kMaxWindowEntries; ++k) {
    const bool shown = k < windows.size();
    fWindowEntries[k]->setVisible(shown);
    if (shown) fWindowEntries[k]->setText(windows[k]->windowTitle());
  }
  fWindowSeparator->setVisible(!windows.isEmpty());
}

std::function<void()> TMainForm::activePrintCommand() const {
  QMdiSubWindow *window = fMdiArea->activeSubWindow();
  if (!window) return {};
  if (auto *report = qobject_cast<TReportWindow *>(window)) return [report] { report->Print(); };
  if (auto *plot = qobject_cast<TPlotForm *>(window->widget())) return [plot] { plot->PrintClick(); };
  if (auto *elevation = qobject_cast<TDlgSideView *>(window->widget())) return [elevation] { elevation->PrintClick(); };
  return {};
}

void TMainForm::updatePrintCommand() { fCommands.FilePrint->setEnabled(bool(activePrintCommand())); }

void TMainForm::PrintActiveWindow() {
  if (const std::function<void()> print = activePrintCommand()) print();
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::ShortcutOverride) {
    // A field takes Undo and Redo for its own text; one that has nothing of
    // its own to undo or redo leaves the keys to the project's history.
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool undo = key->matches(QKeySequence::Undo);
    const bool redo = key->matches(QKeySequence::Redo);
    if (auto *edit = qobject_cast<QLineEdit *>(watched);
        edit && (undo || redo) && edit->window() == this &&
        !(undo ? edit->isUndoAvailable() : edit->isRedoAvailable()))
      return true;
    return QMainWindow::eventFilter(watched, event);
  }
  if (type == QEvent::Show) {
    auto *window = qobject_cast<QMdiSubWindow *>(watched);
    if (window && window->parentWidget() == fMdiArea->viewport()) {
      // Placed now, and once more when the window has settled (some size
      // themselves after showing).
      const auto place = [this](QMdiSubWindow *w) {
        if (w->isMaximized() || w->isMinimized()) return;
        const QRect placed = PlaceInsideArea(w->geometry(), fMdiArea->viewport()->size());
        if (placed != w->geometry()) w->setGeometry(placed);
      };
      place(window);
      QPointer<QMdiSubWindow> later = window;
      QTimer::singleShot(0, this, [later, place] {
        if (later) place(later);
      });
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

QString TMainForm::startFolder() const {
  if (!fSettings.LastFolder.isEmpty() && QFileInfo(fSettings.LastFolder).isDir()) return fSettings.LastFolder;
  return QDir::currentPath();
}

// Cascaded windows keep a readable size: each takes two thirds of the area
// (at least 480 x 360 where the area allows), stepped by a title bar.
void TMainForm::cascadeWindows() {
  const QList<QMdiSubWindow *> windows = fMdiArea->subWindowList(QMdiArea::StackingOrder);
  const QSize area = fMdiArea->viewport()->size();
  const QSize size(std::min(area.width(), std::max(480, area.width() * 2 / 3)),
                   std::min(area.height(), std::max(360, area.height() * 2 / 3)));
  const int step = std::max(20, style()->pixelMetric(QStyle::PM_TitleBarHeight));
  int k = 0;
  for (QMdiSubWindow *window : windows) {
    if (window->isMinimized() || !window->isVisible()) continue;
    if (window->isMaximized()) window->showNormal();
    const int room = std::max(1, std::min((area.width() - size.width()) / step, (area.height() - size.height()) / step) + 1);
    const int offset = (k % room) * step;
    window->setGeometry(QRect(QPoint(offset, offset), size));
    window->raise();
    ++k;
  }
}

// Tiled windows share the area in rows and columns; a window that needs more
// than its share (its minimum size) overlaps its neighbour but stays inside
// the area, and the main window keeps its size.
void TMainForm::tileWindows() {
  std::vector<QMdiSubWindow *> windows;
  for (QMdiSubWindow *window : fMdiArea->subWindowList(QMdiArea::CreationOrder))
    if (window->isVisible() && !window->isMinimized()) windows.push_back(window);
  if (windows.empty()) return;
  const QSize area = fMdiArea->viewport()->size();
  const int count = static_cast<int>(windows.size());
  const int columns = static_cast<int>(std::ceil(std::sqrt(double(count))));
  const int rows = (count + columns - 1) / columns;
  for (int k = 0; k < count; ++k) {
    QMdiSubWindow *window = windows[static_cast<std::size_t>(k)];
    if (window->isMaximized()) window->showNormal();
    const int row = k / columns, column = k % columns;
    // The last row's windows share its width.
    const int inRow = row == rows - 1 ? count - row * columns : columns;
    const QRect cell(column * area.width() / inRow, row * area.height() / rows, area.width() / inRow,
                     area.height() / rows);
    window->setGeometry(cell);
    window->setGeometry(PlaceInsideArea(window->geometry(), area));
  }
}

void TMainForm::arrangeIcons() {
  // Minimised windows in rows along the bottom of the client area, left to right.
  int x = 0;
  int y = fMdiArea->viewport()->height();
  for (QMdiSubWindow *window : fMdiArea->subWindowList(QMdiArea::CreationOrder)) {
    if (!window->isMinimized()) continue;
    const QSize size = window->size();
    if (x > 0 && x + size.width() > fMdiArea->viewport()->width()) {
      x = 0;
      y -= size.height();
    }
    if (x == 0 && y == fMdiArea->viewport()->height()) y -= size.height();
    window->move(x, y);
    x += size.width();
  }
}

// ---------------------------------------------------------------- files

QString TMainForm::currentFileName() const { return fData->FileName; }

void TMainForm::updateCaption() {
  setWindowTitle(WindowCaption(currentFileName()) + QStringLiteral("[*]"));
  setWindowModified(GetChanged());
  fMethodsIndicator->setText(fData->DesignSet == 1 ? QStringLiteral("Design methods: FHWA GEC-10 (2018)")
                                                   : QStringLiteral("Design methods: FHWA-IF-99-025 (1999)"));
}

void TMainForm::SetChanged(bool changed) {
  if (changed) {
    CommitChanges();
    fHistory.MarkUnsaved();
  } else {
    fTables.SetChanged(false);
    fHistory.MarkSaved();
  }
  updateCaption();
}

void TMainForm::scheduleCommit() {
  // Named after the window in use when the change is made.
  if (fPendingLabel.isEmpty())
    if (QMdiSubWindow *active = fMdiArea->activeSubWindow()) fPendingLabel = active->windowTitle();
  fCommitTimer->start(0);
}

void TMainForm::CommitChanges(const QString &label) {
  fCommitTimer->stop();
  QString name = label.isEmpty() ? fPendingLabel : label;
  fPendingLabel.clear();
  if (name.isEmpty())
    if (QMdiSubWindow *active = fMdiArea->activeSubWindow()) name = active->windowTitle();
  if (name.isEmpty()) name = QStringLiteral("Edit");
  if (fHistory.Commit(name)) {
    // The run's estimates are no longer the project's (once the edit is done).
    if (auto *grid = fProfileGridWindow ? qobject_cast<TSoilProfileGrid *>(fProfileGridWindow->Form()) : nullptr;
        grid && grid->ShowsEstimates())
      QTimer::singleShot(0, grid, [grid] { grid->LoadFromModel(); });
  }
  updateCaption();
}

void TMainForm::Undo() {
  if (!DeactivateActiveChild()) return;
  CommitChanges();
  fHistory.Stack().undo();
}

void TMainForm::Redo() {
  if (!DeactivateActiveChild()) return;
  CommitChanges();
  fHistory.Stack().redo();
}

void TMainForm::historyMoved() {
  // The project's own changed flag follows the history: set while the project
  // is not in its saved state. A save clears it, which tells that a run saved.
  fTables.SetChanged(!fHistory.Stack().isClean());
  updateCaption();
}

void TMainForm::projectRestored() {
  for (QMdiSubWindow *window : fMdiArea->subWindowList())
    if (auto *child = qobject_cast<TDataChild *>(window)) child->Form()->LoadFromModel();
  if (TDlgSideView *view = TDlgSideView::Instance()) view->Rebuild();
  if (TDlgBlock *view = fView3dCommands.View()) view->DataChanged();
  updateResultCommands();
  updateCaption();
}

void TMainForm::updateEditCommands() {
  const QUndoStack &stack = fHistory.Stack();
  // A data window in use may hold an edit not yet recorded: Undo takes it first.
  const bool dataWindow = qobject_cast<TDataChild *>(fMdiArea->activeSubWindow()) != nullptr;
  fCommands.EditUndo->setEnabled(stack.canUndo() || dataWindow);
  fCommands.EditRedo->setEnabled(stack.canRedo());
  fCommands.EditUndo->setText(stack.canUndo() ? QStringLiteral("&Undo ") + stack.undoText() : QStringLiteral("&Undo"));
  fCommands.EditRedo->setText(stack.canRedo() ? QStringLiteral("&Redo ") + stack.redoText() : QStringLiteral("&Redo"));
}

void TMainForm::clipboardCommand(int which) {
  static const char *const kSlots[] = {"cut", "copy", "paste"};
  QWidget *focus = QApplication::focusWidget();
  const auto invoke = [which](QObject *target) {
    return target && target->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(
                         (QByteArray(kSlots[which]) + "()").constData())) >= 0 &&
           QMetaObject::invokeMethod(target, kSlots[which]);
  };
  // A field in use: its own text.
  if (auto *edit = qobject_cast<QLineEdit *>(focus); edit && edit->window() == this && invoke(edit)) return;
  QMdiSubWindow *active = fMdiArea->activeSubWindow();
  if (!active) return;
  // The window's own command where it has one (a table copies its rows, a
  // text window the whole file when nothing is selected).
  if (which == 1) {
    if (auto *report = qobject_cast<TReportWindow *>(active)) return report->Copy();
    if (auto *results = qobject_cast<TResultsWindow *>(active)) return results->Copy();
    if (auto *plot = qobject_cast<TPlotForm *>(active->widget())) return plot->CopyDataClick();
  }
  for (QWidget *w = focus; w && w != this; w = w->parentWidget())
    if (active->isAncestorOf(w) && invoke(w)) return;
  invoke(active->widget());
}

void TMainForm::rememberFile(const QString &path) {
  fSettings.PrevFile.MoveToTop(path);
  fSettings.LastFolder = QFileInfo(path).absolutePath();
  WriteSettings(fSettings);
}

void TMainForm::closeChildWindows(bool discard, bool keepResultViews) {
  for (QMdiSubWindow *window : fMdiArea->subWindowList()) {
    if (keepResultViews && (qobject_cast<TReportWindow *>(window) || qobject_cast<TResultsWindow *>(window) ||
                            qobject_cast<THelpWindow *>(window)))
      continue;
    if (auto *child = qobject_cast<TDataChild *>(window); child && discard)
      child->Discard();
    else
      window->close();
  }
}

TProjectAccess TMainForm::projectAccess() {
  return {[this]() -> TProgramData & { return *fData; }, [this] { scheduleCommit(); },
          [this](const QString &what) { CommitChanges(what); }};
}

void TMainForm::StartUp(const QString &commandLineFile) {
  ReadSettings(fSettings);
  // The window as it was left.
  if (!fSettings.WindowGeometry.isEmpty()) restoreGeometry(fSettings.WindowGeometry);
  if (!fSettings.WindowState.isEmpty()) restoreState(fSettings.WindowState);
  if (fSettings.WordProcessor.isEmpty()) fSettings.WordProcessor = DefaultWordProcessor();
  bool opened = false;
  if (!commandLineFile.isEmpty()) {
    const QString name = CommandLineFileName(commandLineFile);
    const TFileFormat format = FormatForExtension(name);
    if (QFileInfo::exists(name) && format != ffNone) opened = openProject(QFileInfo(name).absoluteFilePath(), format);
  }
  if (!opened) FileNew();
  updateCaption();
  fTables.ShowLRFDColumns(fData->NLRFD == 1);
}

bool TMainForm::OpenFileByExtension(const QString &path) {
  const TFileFormat format = FormatForExtension(path);
  if (format == ffNone) return false;
  if (!AskToSave()) return false;
  return openProject(QFileInfo(path).absoluteFilePath(), format);
}

void TMainForm::openRecentFile(int index) {
  const QString path = fSettings.PrevFile.Entry(index);
  if (!path.isEmpty()) OpenFileByExtension(path);
}

void TMainForm::clearResults() {
  fShowOutput = false;
  fShowTzCurves = false;
  fAdditionalTzCurves = 0;
  updateResultCommands();
}

void TMainForm::discardResults() {
  clearResults();
  fPlots.Clear();
  // No results: no plot window stays open on an empty plot.
  for (TGraphPlot *plot : fPlots.All()) TPlotForm::HidePlot(*plot);
}

void TMainForm::projectReplaced() {
  updateCaption();
  fTables.ShowLRFDColumns(fData->NLRFD == 1);
}

bool TMainForm::openProject(const QString &path, int format) {
  // The file is read once, and first into tables of its own: a file that
  // does not read whole leaves the program as it was (project, name, title,
  // results, recent files), so nothing half read can be saved over it.
  QByteArray bytes;
  TProgramData::TReadResult trial;
  {
    TProjectTables scratch;
    trial = TProgramData::ReadWhole(scratch, path, format, bytes);
  }
  if (!trial.Complete()) {
    ShowInformation(this, OpenFailureMessage(path, trial));
    return false;
  }
  QDir::setCurrent(QFileInfo(path).absolutePath());
  closeChildWindows(true);
  fData.reset();
  TProgramData::TReadResult read = TProgramData::CreateFromData(fTables, bytes, path, format);
  fData = read.data ? std::move(read.data) : TProgramData::Create(fTables);
  fHistory.Reset();
  discardResults();
  loadResultsOfOpenedProject(bytes);
  rememberFile(path);
  projectReplaced();
  return true;
}

void TMainForm::loadResultsOfOpenedProject(const QByteArray &projectBytes) {
  const QString path = currentFileName();
  const TResultsCheck check = CheckRunRecord(path, projectBytes);
  if (check.Current()) {
    if (QFileInfo::exists(RunFileOf(path, engine::RunFileKind::PlotData))) LoadResults(false);
    return;
  }
  // Results that are not the project's are not presented as its own; the
  // user hears why when there are any.
  QStringList left = RunResultFiles(path);
  left << RunRecordFile(path);
  if (std::any_of(left.begin(), left.end(), [](const QString &file) { return QFileInfo::exists(file); }))
    ShowInformation(this, check.Reason(path));
}

bool TMainForm::AskToSave() {
  if (!GetChanged()) return true;
  switch (AskYesNoCancel(this, QStringLiteral("Do you want to save any changes?"))) {
    case TAnswer::Cancel:
      return false;
    case TAnswer::No:
      return true;
    case TAnswer::Yes:
      // Only a save that reached the disk lets the command go on: a failed
      // write or a cancelled Save As keeps the unsaved project.
      return SaveProject();
  }
  return false;
}

void TMainForm::FileNew() {
  DeactivateActiveChild();
  if (AskToSave()) {
    closeChildWindows(true);
    fData.reset();
    fData = TProgramData::Create(fTables);
    fHistory.Reset();
  }
  clearResults();
  projectReplaced();
}

void TMainForm::FileOpen() {
  DeactivateActiveChild();
  if (!AskToSave()) return;
  int format = ffVersion8;
  const QString path = OpenDialog(format);
  if (path.isEmpty()) return;
  if (format < ffVersion8 || format > ffAllFiles) format = ffAllFiles;
  openProject(QFileInfo(path).absoluteFilePath(), format);
}

bool TMainForm::SaveProject() {
  if (NeedsSaveAs(currentFileName())) return saveAs();
  return writeProject();
}

bool TMainForm::writeProject() {
  CommitChanges();  // the edits are one step, the save's normalising none
  try {
    fData->Save();
    fHistory.MarkSaved();
    updateCaption();
    return true;
  } catch (const EPylarError &e) {
    ShowInformation(this, e.message());
    return false;
  }
}

void TMainForm::FileSave() {
  DeactivateActiveChild();
  SaveProject();
}

void TMainForm::FileSaveAs() { saveAs(); }

bool TMainForm::saveAs() {
  DeactivateActiveChild();
  return nameProject() && writeProject();
}

bool TMainForm::nameProject() {
  const QString proposed = QFileInfo(ProposedSaveName(currentFileName())).fileName();
  const QString chosen = SaveDialog(SaveAsTitle(currentFileName()), proposed);
  if (chosen.isEmpty()) return false;  // nothing changes
  // The windows stay open; the results belong to the file under its old
  // name, so the project under its new one has none (their plots close).
  discardResults();
  fData->FileName = QFileInfo(chosen).absoluteFilePath();
  fSettings.LastFolder = QFileInfo(fData->FileName).absolutePath();
  updateCaption();
  WriteSettings(fSettings);
  return true;
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  OpenFileByExtension(urls.first().toLocalFile());  // only the first dropped file counts
}

void TMainForm::closeEvent(QCloseEvent *event) {
  DeactivateActiveChild();
  if (!AskToSave()) {
    event->ignore();
    return;
  }
  fSettings.WindowGeometry = saveGeometry();
  fSettings.WindowState = saveState();
  WriteSettings(fSettings);
  closeChildWindows(true);
  event->accept();
}

// ---------------------------------------------------------------- data windows

TDataChild *TMainForm::DataWindow(const QString &caption) const {
  for (QMdiSubWindow *window : fMdiArea->subWindowList())
    if (auto *child = qobject_cast<TDataChild *>(window); child && child->windowTitle() == caption) return child;
  return nullptr;
}

bool TMainForm::DeactivateActiveChild() {
  auto *child = qobject_cast<TDataChild *>(fMdiArea->activeSubWindow());
  if (!child || fWritingBack) return true;
  fWritingBack = true;
  const bool written = child->Form()->WriteBack();
  fWritingBack = false;
  CommitChanges(child->windowTitle());
  return written;
}

void TMainForm::childActivated(QMdiSubWindow *window) {
  updatePrintCommand();
  updateEditCommands();
  if (fWritingBack) return;
  auto *previous = qobject_cast<TDataChild *>(fLastActive.data());
  if (previous && previous != window) {
    fWritingBack = true;
    const bool written = previous->Form()->WriteBack();
    fWritingBack = false;
    CommitChanges(previous->windowTitle());
    if (!written && window) {
      // The rejected field keeps its window in front.
      QPointer<QMdiSubWindow> back = previous;
      QTimer::singleShot(0, this, [this, back] {
        if (back) fMdiArea->setActiveSubWindow(back);
      });
      return;
    }
  }
  fLastActive = window;
  if (auto *child = qobject_cast<TDataChild *>(window); child && child != previous) child->Form()->LoadFromModel();
}

template <class Form>
void TMainForm::showDataWindow(QPointer<TDataChild> &slot) {
  showDataWindow(slot, [this] { return new Form(projectAccess()); });
}

void TMainForm::showDataWindow(QPointer<TDataChild> &slot, const std::function<TDataForm *()> &create) {
  // A window that was closed is gone even while its deletion is pending.
  if (slot && !fMdiArea->subWindowList().contains(slot)) slot = nullptr;
  if (!slot) {
    TDataForm *form = create();
    slot = new TDataChild(form);
    fMdiArea->addSubWindow(slot);
    form->LoadFromModel();
  }
  slot->showNormal();
  fMdiArea->setActiveSubWindow(slot);
}

void TMainForm::showTitle() { showDataWindow<TdlgTitle>(fTitleWindow); }
void TMainForm::showPierProperties() { showDataWindow<TfrmPylarpeneta>(fPierWindow); }
void TMainForm::showWaterTable() { showDataWindow<TfrmWaterDepth>(fWaterWindow); }
void TMainForm::showSafetyFactor() { showDataWindow<TfrmSafetyFactor>(fSafetyWindow); }

void TMainForm::showSoilLayers() { showDataWindow<TDlgSoilLayers>(fSoilLayersWindow); }

void TMainForm::showProfileGrid() {
  showDataWindow(fProfileGridWindow,
                 [this] { return new TSoilProfileGrid(projectAccess(), [this] { return profileEstimates(); }); });
}

TProfileEstimates TMainForm::profileEstimates() {
  const QString project = currentFileName();
  if (GetChanged() || !CheckRunRecord(project).Current()) return {};
  try {
    const TTextFile report = ReadTextFile(RunFileOf(project, engine::RunFileKind::Report));
    return ProfileEstimates(ReadReportInputs(report.lines), fTables);
  } catch (const ETextFileError &) {
    return {};
  }
}
void TMainForm::showVaryLength() { showDataWindow<TfrmVaryLength>(fVaryWindow); }
void TMainForm::showDesignCharts() { showDataWindow<TfrmDesignCharts>(fChartWindow); }
void TMainForm::showOptions() {
  showDataWindow(fOptionsWindow, [this] { return new TDlgOptions(projectAccess(), fSettings); });
}

void TMainForm::showElevation() {
  // The view asks for the project on every rebuild, so it never holds one
  // that New or Open replaced.
  TDlgSideView::Show(fMdiArea, [this]() -> const TProgramData & { return *fData; });
}

void TMainForm::showTzPrint() {
  DeactivateActiveChild();
  TDlgTZPrint dialog(projectAccess(), this);
  dialog.exec();
  CommitChanges(QStringLiteral("Print Additional t-z curves"));  // the depths' table window too
}

void TMainForm::setUnits(int units) {
  DeactivateActiveChild();
  if (fData->fUnits == units) return;
  fData->SetUnits(units);
  CommitChanges(QStringLiteral("Units"));
  for (QMdiSubWindow *window : fMdiArea->subWindowList())
    if (auto *child = qobject_cast<TDataChild *>(window)) child->Form()->LoadFromModel();
  if (TDlgSideView *view = TDlgSideView::Instance()) view->Rebuild();
}

void TMainForm::setDesignMethod(int nlrfd) {
  DeactivateActiveChild();
  fData->NLRFD = nlrfd;
  fTables.ShowLRFDColumns(nlrfd == 1);
  CommitChanges(QStringLiteral("Design Method"));
  if (fSoilLayersWindow) fSoilLayersWindow->Form()->LoadFromModel();
  if (fProfileGridWindow) fProfileGridWindow->Form()->LoadFromModel();
}

void TMainForm::setComputationMethod(int method) {
  DeactivateActiveChild();
  fData->METHOD = method;
  CommitChanges(QStringLiteral("Computation Methods"));
  if (method == 2) {
    if (fLoadWindow) fLoadWindow->close();
    showDataWindow<TfrmPenetration>(fLengthWindow);
  } else {
    if (fLengthWindow) fLengthWindow->close();
    showDataWindow<TfrmDesignLoad>(fLoadWindow);
  }
}

void TMainForm::updateDataMenu() {
  // The menu shows the state of what the active window holds.
  DeactivateActiveChild();
  const TProgramData &project = *fData;
  const TMainCommands &c = fCommands;
  c.UnitsEnglish->setChecked(project.fUnits != kUnitsSI);
  c.UnitsSI->setChecked(project.fUnits == kUnitsSI);
  c.DesignASD->setChecked(project.NLRFD == 2);
  c.DesignLRFD->setChecked(project.NLRFD == 1);
  c.MethodLength->setChecked(project.METHOD == 2);
  c.MethodLoad->setChecked(project.METHOD == 1);
  c.SafetyFactor->setEnabled(project.NLRFD == 2);
  c.PrintTzCurves->setChecked(project.PrintTZCurves == 1);
  QAction *lengths = c.MultipleLengths;
  QAction *charts = c.DesignCharts;
  if (project.METHOD == 1) {
    lengths->setEnabled(false);
    charts->setEnabled(false);
  } else {
    lengths->setChecked(project.IPENT != 0);
    charts->setChecked(project.IChart != 0);
    lengths->setEnabled(project.IChart == 0);
    charts->setEnabled(project.IPENT == 0);
  }
}

// ---------------------------------------------------------------- results

bool TMainForm::LoadResults(bool reportErrors) {
  const TProgramData &project = *fData;
  const TPlotDataContext context = PlotDataContext(project);
  const TPlotDataResult result =
      ReadPlotData(RunFileOf(project.FileName, engine::RunFileKind::PlotData), context, fPlots);
  for (TGraphPlot *plot : fPlots.All()) TPlotForm::ReloadPlot(*plot);
  if (result.ID2Read) fData->ID2 = result.ID2;
  fShowOutput = result.ok;
  fShowTzCurves = result.ok && result.showtzcurves;
  fAdditionalTzCurves = result.additionalTzCurves;
  if (!result.ok && reportErrors)
    ShowInformation(this, QStringLiteral("An error occured in running the main program."));
  // A file cut short is said so whenever it is loaded: its last plots are missing.
  if (result.ok && !result.incomplete.isEmpty()) ShowInformation(this, result.incomplete);
  updateResultCommands();
  return result.ok;
}

void TMainForm::updateResultCommands() {
  const TProgramData &project = *fData;
  fCommands.ViewOutput->setEnabled(fShowOutput);
  const bool loaded = fShowOutput && QFileInfo::exists(RunFileOf(project.FileName, engine::RunFileKind::PlotData));
  const QString ending = project.IPENT == 1 ? QStringLiteral("(Initial Length)") : QStringLiteral("(Initial Diameter)");
  for (const TGraphicsEntry &entry : fGraphicsEntries) {
    TGraphPlot *plot = entry.plot;
    bool enabled = loaded && PlotOffered(fPlots, *plot, project, fShowTzCurves, fAdditionalTzCurves);
    bool visible = true;
    if (plot == &fPlots.pltCombine)
      entry.action->setText(QStringLiteral("C&ombined Plots vs Depth ") + ending);
    if (plot == &fPlots.pltCombineD) entry.action->setText(QStringLiteral("Combined Plots vs Depth ") + ending);
    if (plot == &fPlots.pltCombinedSettle)
      entry.action->setText(QStringLiteral("Combined Plots of Load vs Settlement ") + ending);
    if (const int chart = entry.chart; chart >= 0) {
      visible = project.IChart == 1 && chart < project.NPOINTPD;
      if (visible)
        entry.action->setText(DesignChartCaption(project.PDSETT[static_cast<std::size_t>(chart)], project.fUnits));
    }
    entry.action->setVisible(visible);
    entry.action->setEnabled(enabled);
  }
  fChartSeparator->setVisible(project.IChart == 1 && project.NPOINTPD > 0);
  fCommands.FileExportReport->setEnabled(
      loaded && QFileInfo::exists(RunFileOf(project.FileName, engine::RunFileKind::Report)));
}

void TMainForm::exportCalcReport() {
  if (!DeactivateActiveChild()) return;
  // The report describes one run: the project as it was run, and its files.
  if (GetChanged()) {
    ShowInformation(this, QStringLiteral("The project has changed since its results were computed. Please, run the "
                                         "analysis before exporting the calculation report."));
    return;
  }
  if (const TResultsCheck check = CheckRunRecord(currentFileName()); !check.Current()) {
    ShowInformation(this, check.Reason(currentFileName()));
    return;
  }
  TReportJob job = LoadReportJob(currentFileName());
  if (ReportJobDialog && !ReportJobDialog(job)) return;
  const QFileInfo project(currentFileName());
  const QString proposed = project.absoluteDir().filePath(project.completeBaseName() + QStringLiteral("-report.pdf"));
  QString path = ReportFileDialog ? ReportFileDialog(proposed) : QString();
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
  TResultPlots plots = fPlots;
  KeepOfferedPlots(plots, *fData, fShowTzCurves, fAdditionalTzCurves);
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  const QString error = WriteCalcReport(path, *fData, plots, job);
  QGuiApplication::restoreOverrideCursor();
  if (!error.isEmpty()) {
    ShowInformation(this, error);
    return;
  }
  statusBar()->showMessage(QStringLiteral("Calculation report written to ") + QDir::toNativeSeparators(path), 10000);
  if (OpenDocument) OpenDocument(path);
}

void TMainForm::showPlot(TGraphPlot *plot) { TPlotForm::ShowPlot(fMdiArea, *plot); }

void TMainForm::exportPlots() {
  DeactivateActiveChild();
  updateResultCommands();  // the dialog offers the plots whose commands are enabled now
  const auto commandEnabled = [this](const TGraphPlot &plot) {
    return std::any_of(fGraphicsEntries.begin(), fGraphicsEntries.end(), [&plot](const TGraphicsEntry &entry) {
      return entry.plot == &plot && entry.action->isEnabled();
    });
  };
  TDlgExport::Execute(this, fPlots, commandEnabled, currentFileName(), OpenDocument);
}

// ---------------------------------------------------------------- analysis run

void TMainForm::RunAnalysis() {
  if (!DeactivateActiveChild()) return;
  // An unnamed or older-format project gets its name first; the run saves it.
  if (NeedsSaveAs(currentFileName()) && !nameProject()) return;
  // What the engine would refuse or silently change, said before it runs.
  const std::vector<TRunFinding> findings = CheckBeforeRun(*fData);
  if (HasRunErrors(findings)) {
    ShowInformation(this, RunFindingsMessage(findings));
    return;
  }
  if (!findings.empty() && !AskYesNo(this, RunFindingsMessage(findings))) return;
  TAnalysisRun run(fProgramFolder);
  run.OnEngineStart = [this] {
    statusBar()->showMessage(QStringLiteral("Running the analysis of ") + FileNameOnly(currentFileName()) +
                             QStringLiteral("..."));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
  run.OnEngineEnd = [this] {
    QGuiApplication::restoreOverrideCursor();
    statusBar()->clearMessage();
  };
  bool waiting = false;
  run.OnLockWait = [this, &waiting] {
    if (!waiting) {
      waiting = true;
      statusBar()->showMessage(QStringLiteral("Waiting for another run in the folder of ") +
                               FileNameOnly(currentFileName()) + QStringLiteral(" to end..."));
      QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  };
  CommitChanges();
  const TRunOutcome outcome = run.Execute(*fData);
  // A run saves the project first: the saved state is the one it ran.
  if (!fTables.GetChanged()) fHistory.MarkSaved();
  if (waiting) {
    QGuiApplication::restoreOverrideCursor();
    statusBar()->clearMessage();
  }
  updateCaption();
  // Once the engine ran, or earlier results were partly removed, the results
  // in memory are no longer those of the project's files. New plot data is
  // loaded at once, so open plot windows show it instead of closing; results
  // of a run that did not complete are not shown.
  if (outcome.PlotDataWritten && outcome.ResultsCurrent()) {
    LoadResults(true);
  } else if (outcome.EngineRan() || outcome.Status == TRunStatus::ResultsKept) {
    discardResults();
  }
  if (const QString message = outcome.UserMessage(); !message.isEmpty()) ShowInformation(this, message);
  // The run saved (and so normalised) the project: data windows show it again.
  for (QMdiSubWindow *window : fMdiArea->subWindowList())
    if (auto *child = qobject_cast<TDataChild *>(window)) child->Form()->LoadFromModel();
  // Open text and results windows show the files as the run left them.
  TReportWindow::ReloadAll(fMdiArea);
  TResultsWindow::ReloadAll(fMdiArea);
}

// ---------------------------------------------------------------- text views, help, about

void TMainForm::EditText(engine::RunFileKind kind) {
  // The project file as it is named: an older project keeps its ".pqd".
  const QString path = kind == engine::RunFileKind::Project ? currentFileName() : RunFileOf(currentFileName(), kind);
  StartTextEditor(this, fSettings.WordProcessor, path, StartProcess);
}

void TMainForm::ShowTextFile(engine::RunFileKind kind) {
  TReportWindow::ShowFile(fMdiArea, RunFileOf(currentFileName(), kind));
}

void TMainForm::ShowResultsTable() { TResultsWindow::ShowResults(fMdiArea, currentFileName()); }

void TMainForm::ShowHelpFile(const QString &fileName) {
  const QString path = QDir(fProgramFolder).filePath(QStringLiteral("docs/") + fileName);
  TDesktopOpener opener = DesktopOpener();
  if (OpenDocument)
    opener = [this](const QString &file, const std::function<void(bool)> &done) { done(OpenDocument(file)); };
  OpenHelpFile(fMdiArea, path, opener);
}

void TMainForm::helpContents() { ShowHelpFile(QStringLiteral("README.md")); }
void TMainForm::helpUsersManual() { ShowHelpFile(QStringLiteral("user-manual.md")); }
void TMainForm::helpTechnicalManual() { ShowHelpFile(QStringLiteral("technical-manual.md")); }

void TMainForm::ShowAbout() {
  QDialog about(this);
  about.setWindowTitle(QStringLiteral("About"));
  auto *layout = new QVBoxLayout(&about);
  auto *text = new QLabel(QStringLiteral("<h2>Pylar 2017</h2>"
                                         "<p>Axial design of drilled, cast-in-place piers<br>"
                                         "in layered soil and rock</p>"
                                         "<p>Version " PYLAR_VERSION "<br>Released 07/17/17</p>"),
                          &about);
  text->setObjectName(QStringLiteral("AboutText"));
  layout->addWidget(text);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
  connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
  layout->addWidget(buttons);
  about.exec();
}

}  // namespace pylar
