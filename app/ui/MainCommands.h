// The commands of the main window: one QAction each, built once (text with its
// access key, shortcut, tool-bar picture, hint) and placed in the menus and on
// the tool bar as the same object, so a command's state is set in one place.
#pragma once

#include <QIcon>
#include <QString>

#include <array>

class QAction;

namespace pylar {

inline constexpr int kDesignChartEntries = 10;

struct TMainCommands {
  // File
  QAction *FileNew = nullptr;
  QAction *FileOpen = nullptr;
  QAction *FileSave = nullptr;
  QAction *FileSaveAs = nullptr;
  QAction *FileExportReport = nullptr;
  // Prints the active window: a text, plot or elevation window.
  QAction *FilePrint = nullptr;
  QAction *FileExit = nullptr;

  // Edit: the project's history, and the clipboard of the window in use.
  QAction *EditUndo = nullptr;
  QAction *EditRedo = nullptr;
  QAction *EditCut = nullptr;
  QAction *EditCopy = nullptr;
  QAction *EditPaste = nullptr;

  // Data
  QAction *Title = nullptr;
  QAction *UnitsEnglish = nullptr;
  QAction *UnitsSI = nullptr;
  QAction *DesignASD = nullptr;
  QAction *DesignLRFD = nullptr;
  QAction *PierProperties = nullptr;
  QAction *SoilLayers = nullptr;
  // The whole soil profile in one table.
  QAction *ProfileGrid = nullptr;
  // The menu entry is disabled under LRFD; the tool button stays usable, so
  // the two are separate commands.
  QAction *SafetyFactor = nullptr;
  QAction *SafetyFactorButton = nullptr;
  QAction *MethodLength = nullptr;
  QAction *MethodLoad = nullptr;
  QAction *WaterTable = nullptr;
  QAction *MultipleLengths = nullptr;
  QAction *DesignCharts = nullptr;
  QAction *PrintTzCurves = nullptr;
  QAction *ControlOptions = nullptr;

  // Computation
  QAction *RunAnalysis = nullptr;
  QAction *EditInput = nullptr;
  QAction *EditNotes = nullptr;
  // The menu entry follows the report file, the tool button the loaded
  // results: separate commands for the same text view.
  QAction *EditOutput = nullptr;
  QAction *ViewOutput = nullptr;
  // The report, run notes and detail listing in the program's own text
  // windows, and the results table; each enabled while its file exists.
  QAction *ViewOutputText = nullptr;
  QAction *ViewNotes = nullptr;
  QAction *ViewListing = nullptr;
  QAction *ViewResults = nullptr;
  QAction *Elevation = nullptr;
  QAction *View3D = nullptr;

  // Graphics: one entry per result plot, the design charts, the export.
  QAction *SkinFriction = nullptr;
  QAction *TipResistance = nullptr;
  QAction *TotalCapacity = nullptr;
  QAction *CombinedUltimate = nullptr;
  QAction *DesignSkinFriction = nullptr;
  QAction *DesignTipResistance = nullptr;
  QAction *DesignTotalCapacity = nullptr;
  QAction *CombinedDesign = nullptr;
  QAction *LoadSettlement = nullptr;
  QAction *LoadSettlementUpper = nullptr;
  QAction *LoadSettlementLower = nullptr;
  QAction *CombinedLoadSettlement = nullptr;
  QAction *TzCurves = nullptr;
  QAction *QwCurves = nullptr;
  QAction *AdditionalTzCurves = nullptr;
  std::array<QAction *, kDesignChartEntries> DesignChart{};
  QAction *ExportPlots = nullptr;

  // Window
  QAction *Cascade = nullptr;
  QAction *Tile = nullptr;
  QAction *ArrangeIcons = nullptr;
  QAction *CloseAll = nullptr;

  // Help
  QAction *HelpContents = nullptr;
  QAction *UsersManual = nullptr;
  QAction *TechnicalManual = nullptr;
  QAction *About = nullptr;
};

// A tool-bar picture: the button's short name drawn in a rounded square.
QIcon GlyphIcon(const QString &glyph);

}  // namespace pylar
