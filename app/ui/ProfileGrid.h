// TSoilProfileGrid: the "Soil Profile Grid" window, the soil profile as one
// table (model/ProfileGrid): a row per layer, every value of its model at the
// top and the bottom, edited in place with the checks of the layer window and
// the property dialog, each edit one step of the project's history; blocks
// copy to and paste from a spreadsheet; the values the last run estimated are
// marked "(*)".
#pragma once

#include "model/ProfileGrid.h"
#include "ui/DataForms.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>
#include <memory>
#include <utility>

class QCheckBox;
class QLabel;
class QPushButton;

namespace pylar {

class TProfileGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TProfileGridModel(const TProjectAccess &project, QObject *parent = nullptr);

  // The columns for the project's design method and the models given (every
  // model when none is given), the values and the estimates anew.
  void Reload(TProfileEstimates estimates, const std::vector<int> &models = {});
  const TProfileGrid &Grid() const { return *fGrid; }
  const TProfileEstimates &Estimates() const { return fEstimates; }

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex &index) const override;
  // Writes the cell; a text the cell refuses is said in an information box
  // and changes nothing.
  bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

  // The project changed under the grid: every cell again.
  void ValuesChanged();
  // Told after each edit that changed the project.
  std::function<void()> OnEdited;
  // Told the message of a refused text.
  std::function<void(const QString &)> OnRefused;
  // The last text written was refused (cleared when asked).
  bool TakeRefused() { return std::exchange(fRefused, false); }

 private:
  TProjectAccess fProject;
  std::unique_ptr<TProfileGrid> fGrid;
  TProfileEstimates fEstimates;
  bool fRefused = false;
  // The layers as the grid last read them: a window that changes the count
  // makes the grid read the project again (on activation), never under a view.
  int fRows = 0;
};

// Choice columns (the model, the sand procedure, the interface condition) are
// edited with a drop-down list of their names.
class TProfileGridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
  void setEditorData(QWidget *editor, const QModelIndex &index) const override;
  void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
};

class TSoilProfileGrid;

// The table; Edit > Cut, Copy and Paste reach it by these slots' names. Enter
// takes the typed value and moves down a row (at the last row, to the first
// row of the next column), as in the program's other tables; a value that is
// refused keeps the cell.
class TProfileGridView : public QTableView {
  Q_OBJECT

 public:
  explicit TProfileGridView(TSoilProfileGrid *window, QWidget *parent = nullptr);

 public slots:
  void cut();
  void copy();
  void paste();

 protected:
  void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
  void keyPressEvent(QKeyEvent *event) override;

 private:
  void moveDown();
  TSoilProfileGrid *fWindow;
};

class TSoilProfileGrid : public TDataForm {
  Q_OBJECT

 public:
  static constexpr const char *kCaption = "Soil Profile Grid";
  using TEstimatesSource = std::function<TProfileEstimates()>;

  TSoilProfileGrid(const TProjectAccess &project, TEstimatesSource estimates, QWidget *parent = nullptr);

  // Activation, a unit or design-method change, Undo: the grid from the project.
  void LoadFromModel() override;
  // Room for a few layers and the first columns of properties.
  QSize sizeHint() const override { return {900, 400}; }

  // The selected block (the whole grid when nothing is selected), with its
  // headers, to the clipboard as tab-separated text.
  void Copy();
  // The clipboard's text at the current cell (the first cell when there is
  // none); a block that cannot be written whole is refused with its message
  // and changes nothing.
  void Paste();
  bool PasteText(const QString &text);
  // Copy, then the values of the selected cells that the user enters become 0.
  void Cut();
  void AddLayerClicked();
  void InsertLayerClicked();
  void DeleteLayerClicked();

  TProfileGridView *View() const { return fView; }
  TProfileGridModel *Model() const { return fModel; }
  QLabel *EstimatesNote() const { return fNote; }
  // Values of the last run are shown as estimates.
  bool ShowsEstimates() const;
  // Only the columns of the models in the profile (else those of every model).
  QCheckBox *Compact() const { return fCompact; }

 private:
  // The project changed: one step of its history, named after the window.
  void edited();
  void layerCommand(const std::function<bool(TProjectTables &, int row)> &command);
  // Rows and columns of the selection's bounding block; the whole grid when none.
  QRect selectedBlock() const;

  TEstimatesSource fEstimates;
  TProfileGridModel *fModel;
  TProfileGridView *fView;
  QLabel *fNote;
  QCheckBox *fCompact;
  std::vector<int> fShownModels;  // the models whose columns are shown; empty: every model
  QPushButton *fDelete;
  QPushButton *fAdd;
  QPushButton *fInsert;
};

}  // namespace pylar
