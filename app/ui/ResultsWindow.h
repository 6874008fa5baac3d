// The results window: one row per pier of the series with the values the
// report prints at its stopping length, the most efficient pier marked, and
// for the pier chosen in the table its load-settlement lines and its loads at
// the defined settlements, and the warnings of the run with their layers. Rows sort by any column and copy as tab-separated
// text. Every value is the engine's printed text.
#pragma once

#include "model/ReportResults.h"

#include <QMdiSubWindow>

class QLabel;
class QMdiArea;
class QTableWidget;

namespace pylar {

class TResultsWindow : public QMdiSubWindow {
  Q_OBJECT

 public:
  // Shows the results of the project `projectPath` (its report and plot data
  // beside it): the open window is brought forward and reread, or a new one made.
  static TResultsWindow *ShowResults(QMdiArea *area, const QString &projectPath);
  static TResultsWindow *Find(QMdiArea *area);
  // Rereads the open results window, if any (after a run).
  static void ReloadAll(QMdiArea *area);

  explicit TResultsWindow(const QString &projectPath, QWidget *parent = nullptr);

  void Reload();
  const TSeriesResults &Results() const { return fResults; }
  // The message shown instead of results when the report cannot be read.
  const QString &Error() const { return fError; }
  const QString &ProjectPath() const { return fProject; }
  // The width at which the series table shows every column whole.
  int PreferredWidth() const;

  // Shows the load-settlement of pier `index` (into Results().piers).
  void ChoosePier(int index);
  int ChosenPier() const { return fChosen; }

  // A table as tab-separated text: its heading and its rows in the order shown
  // (only the selected rows when some are selected).
  static QString TabSeparated(const QTableWidget &table);
  // The table that has the focus (the series table otherwise) to the clipboard.
  void Copy();

  QTableWidget *SeriesTable() const { return fSeries; }
  QTableWidget *SettlementTable() const { return fSettlement; }
  QTableWidget *DefinedTable() const { return fDefined; }
  QLabel *ProblemsLabel() const { return fProblems; }
  // The run's warnings with their layers, from the run notes; hidden without any.
  QLabel *WarningsLabel() const { return fWarnings; }
  QLabel *SettlementCaption() const { return fSettlementCaption; }

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void fillSeries();
  void fillSettlement();

  QString fProject;
  TSeriesResults fResults;
  QString fError;
  int fChosen = -1;
  QLabel *fProblems;
  QLabel *fWarnings;
  QLabel *fSummary;
  QTableWidget *fSeries;
  QLabel *fSettlementCaption;
  QTableWidget *fSettlement;
  QWidget *fDefinedPanel = nullptr;
  QLabel *fDefinedCaption;
  QTableWidget *fDefined;
};

}  // namespace pylar
