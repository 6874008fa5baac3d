// TTableForm: the editing window of one grid table. A grid of the table's
// visible columns with the row-group numbers at the left, combo boxes for
// enumeration cells and buttons for nested tables, Add/Insert/Delete Row
// buttons, the table's comments and help picture.
#pragma once

#include "model/Table.h"

#include <QDialog>
#include <QTableWidget>

#include <vector>

class QLabel;
class QPushButton;

namespace pylar {

// The grid: Enter moves down, then to the top of the next column; leaving a
// cell is reported so the window can commit its text.
class TTableGrid : public QTableWidget {
  Q_OBJECT

 public:
  using QTableWidget::QTableWidget;
  void MoveNext();
  // Hands an open editor's text to its cell and closes the editor.
  void FinishEditing();

 signals:
  void cellLeft(int row, int column);

 protected:
  void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
  void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
  void keyPressEvent(QKeyEvent *event) override;
};

class TTableForm : public QDialog, public ITableView {
  Q_OBJECT

 public:
  static constexpr int kMaxVisibleRows = 10;

  explicit TTableForm(TGridTable &table, QWidget *parent = nullptr);
  ~TTableForm() override;

  // ITableView
  void showView(bool modal) override;
  void hideView() override;
  bool isViewVisible() const override { return isVisible(); }
  bool isViewModal() const override { return fModal; }
  void tableChanged() override;
  void tableDestroyed() override;

  TGridTable *Table() const { return fTable; }
  TTableGrid *Grid() const { return fGrid; }
  QPushButton *AddButton() const { return fAdd; }
  QPushButton *InsertButton() const { return fInsert; }
  QPushButton *DeleteButton() const { return fDelete; }
  QLabel *CommentsLabel() const { return fComments; }
  // Table column index of a grid column.
  int TableColumn(int gridColumn) const;
  // Commits the current cell's text; false (after the message) when rejected.
  bool CommitCurrentCell();
  // Rebuilds everything from the table.
  void Refresh();

 public slots:
  void AddRowClick();
  void InsertRowClick();
  void DeleteRowClick();
  void reject() override;

 protected:
  void closeEvent(QCloseEvent *event) override;
  void changeEvent(QEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  bool commitCell(int row, int gridColumn);
  void refreshTexts();
  void updateButtons();
  void placeControls();
  void fitSize();
  bool currentRowValid(int &row);

  TGridTable *fTable;
  TTableGrid *fGrid;
  QPushButton *fAdd;
  QPushButton *fInsert;
  QPushButton *fDelete;
  QLabel *fComments;
  QLabel *fPicture;
  std::vector<int> fVisibleColumns;
  bool fModal = false;
  bool fRefreshPending = false;
  bool fReverting = false;
  bool fCommitting = false;
};

// Lets grid tables open TTableForm windows (call once at start-up).
void InstallTableForms();

}  // namespace pylar
