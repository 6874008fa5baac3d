// TDlgSoilLayers: the "Soill Layers" window. A grid with one row per layer of
// the project's layer table: an "Edit Layer " button that opens the layer's
// property dialog, the drop-down list of the nine models, and numeric fields
// for the bottom depth, the caps and (under LRFD) the resistance factors.
#pragma once

#include "ui/DataForms.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;
class QTableWidget;

namespace pylar {

class TDlgSoilLayers : public TDataForm {
  Q_OBJECT

 public:
  explicit TDlgSoilLayers(const TProjectAccess &project, QWidget *parent = nullptr);

  // Rebuilds the grid from the layer table (activation, unit or design-method change).
  void LoadFromModel() override;

  // Commands of the buttons; each writes the grid back first and does
  // nothing when a field rejects its text.
  void InsertLayerClicked();
  void AddLayerClicked();
  void DeleteLayerClicked();
  // Opens the property dialog of a layer (modal).
  void EditLayer(int row);

  // Widgets (tests).
  QTableWidget *Grid() const { return fGrid; }
  QPushButton *InsertButton() const { return fInsert; }
  QPushButton *AddButton() const { return fAdd; }
  QPushButton *DeleteButton() const { return fDelete; }
  QCheckBox *ConfirmDeletion() const { return fConfirm; }
  QComboBox *SoilType(int row) const;
  QPushButton *EditButton(int row) const;
  // The numeric field over a cell of the grid (columns as in the layer table: lcDepth ...).
  TDataEdit *CellField(int row, int layerColumn) const;
  int FocusRow() const { return fFocusRow; }

 protected:
  void storeToModel() override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  struct TRowControls {
    QPushButton *edit;
    QComboBox *type;
    std::vector<std::pair<int, TDataEdit *>> fields;  // layer-table column, field
  };
  void updateButtons();
  void watch(QWidget *widget, int row);
  bool lrfd() const;

  QTableWidget *fGrid;
  QPushButton *fInsert;
  QPushButton *fAdd;
  QPushButton *fDelete;
  QCheckBox *fConfirm;
  std::vector<TRowControls> fRows;
  int fFocusRow = 0;
};

}  // namespace pylar
