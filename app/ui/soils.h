// TDlgSoils: the property dialog of one soil layer ("Data for Layer " and the
// layer number). One tab per model family, of which only the layer's own is
// shown; every property has a field for the top and one for the bottom of the
// layer. The values go into the layer's property table when the dialog closes.
#pragma once

#include "ui/DataForms.h"

#include <QDialog>

#include <array>
#include <vector>

class QComboBox;
class QLabel;
class QRadioButton;
class QTabWidget;

namespace pylar {

class TDataEdit;

class TDlgSoils : public QDialog {
  Q_OBJECT

 public:
  // Tabs, in the order of the model families.
  enum TPage { pgSand, pgClay, pgRock, pgDecomposed, pgWeakRock, pgGravel, kPageCount };
  static_assert(kPageCount == kSoilFamilyCount);

  TDlgSoils(const TProjectAccess &project, int row, QWidget *parent = nullptr);

  // The layer's values into the fields (done by the constructor).
  void LoadFromModel();
  // Validates the fields in use and writes them into the layer's table;
  // false (nothing written) when a field rejects its text.
  bool WriteBack();

  // Widgets (tests).
  QTabWidget *Pages() const { return fPages; }
  QLabel *PageTitle(int page) const { return fTitles[static_cast<size_t>(page)]; }
  // The top or bottom field of a page that edits a column of the property table.
  TDataEdit *Field(int page, int column, bool bottom) const;
  QRadioButton *MethodButton(int method) const { return fMethods[static_cast<size_t>(method - 1)]; }
  QComboBox *Condition(bool bottom) const {
    const TChoice &choice = fChoices[pgWeakRock];
    return bottom ? choice.bottom : choice.top;
  }
  QPushButton *CopyButton(int page) const { return fCopy[static_cast<size_t>(page)]; }
  std::vector<QLabel *> SandNotes() const { return fNotes[pgSand]; }
  // The choice of the design methods kept for the whole layer (the clay's
  // strength test, the sand's kind); null when the page has none.
  QComboBox *LayerChoice(int page) const { return fLayerChoices[static_cast<size_t>(page)].box; }

  void done(int result) override;

 private:
  struct TField {
    TDataEdit *top;
    TDataEdit *bottom;
    int column;  // in the property table
  };
  // A choice column edited by its value's number, top and bottom.
  struct TChoice {
    QComboBox *top = nullptr;
    QComboBox *bottom = nullptr;
    int column = -1;
  };
  // A choice kept for the whole layer, by name; shown for the model that holds it.
  struct TLayerChoice {
    QComboBox *box = nullptr;
    QLabel *label = nullptr;
    int column = -1;
    const TSoilField *field = nullptr;
  };
  QWidget *buildPage(TPage page, const TSoilFamilyDescription &family);
  void addField(TPage page, const TSoilField &field, int column);
  void addProcedureGroup();
  void methodChanged();
  void copyTopToBottom();
  int sandMethod() const;
  TGridTable *table() const;
  TPage pageOf(int code) const;

  TProjectAccess fProject;
  int fRow;
  int fCode = 0;
  QTabWidget *fPages;
  std::array<std::vector<TField>, kPageCount> fFields;
  std::array<QLabel *, kPageCount> fTitles{};
  std::array<QPushButton *, kPageCount> fCopy{};
  std::array<QGridLayout *, kPageCount> fGrids{};
  std::array<QRadioButton *, 3> fMethods{};
  std::array<std::vector<QLabel *>, kPageCount> fNotes;
  std::array<TChoice, kPageCount> fChoices{};
  std::array<TLayerChoice, kPageCount> fLayerChoices{};
};

}  // namespace pylar
