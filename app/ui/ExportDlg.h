// "Export to Excel" (TDlgExport): lists the result plots whose commands are
// enabled, lets the user check the ones to export, asks where the workbook
// goes, writes it (model/ExportDlg) and opens it with the desktop's program.
#pragma once

#include "model/ExportDlg.h"

#include <QDialog>

#include <functional>
#include <vector>

class QCheckBox;
class QListWidget;
class QPushButton;

namespace pylar {

class TDlgExport : public QDialog {
  Q_OBJECT

 public:
  // Whether the main window's command of a plot is enabled (its results exist).
  using CommandEnabled = std::function<bool(const TGraphPlot &plot)>;

  TDlgExport(const TResultPlots &plots, CommandEnabled commandEnabled, const QString &projectPath,
             QWidget *parent = nullptr);

  // The main window's "Export Plots to Excel": the dialog, modal. A given
  // `openDocument` opens the written workbook instead of the desktop's handler.
  static void Execute(QWidget *parent, const TResultPlots &plots, const CommandEnabled &commandEnabled,
                      const QString &projectPath, const std::function<bool(const QString &path)> &openDocument = {});

  // For each list entry, the number (1 ... 25) of the plot it stands for.
  std::vector<int> indices;
  int nplotst = 0;  // listed plots
  bool more255 = false;  // a plot of the last export had more than 255 curves

  QListWidget *CheckList() const { return fList; }
  QPushButton *SelectAllButton() const { return fSelectAll; }
  QPushButton *UnselectAllButton() const { return fUnselectAll; }
  QPushButton *GenerateButton() const { return fGenerate; }
  QCheckBox *MarkersBox() const { return fMarkers; }

  // Refills the list from the plots whose commands are enabled, all checked.
  void FormActivate();
  void SelectAllClick();
  void UnselectAllClick();
  // Asks where to save, writes the workbook, opens it and says how it went.
  void GenerateClick();
  // The file proposed by the save dialog: the project's folder and name with
  // ".xlsx".
  QString ProposedFile() const;

  // The save dialog (returns an empty path when cancelled) and the desktop's
  // opening of the written file; tests replace them.
  std::function<QString(const QString &proposed)> SaveDialog;
  std::function<bool(const QString &path)> OpenDocument;

 private:
  void updateGenerate();
  std::vector<const TGraphPlot *> checkedPlots() const;

  const TResultPlots &fPlots;
  CommandEnabled fCommandEnabled;
  QString fProjectPath;
  QListWidget *fList;
  QPushButton *fSelectAll;
  QPushButton *fUnselectAll;
  QPushButton *fGenerate;
  QPushButton *fClose;
  QCheckBox *fMarkers;
};

}  // namespace pylar
