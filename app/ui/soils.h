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
  // Tabs, in order.
  enum TPage { pgSand, pgClay, pgRock, pgDecomposed, pgWeakRock, pgGravel, kPageCount };

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
  QComboBox *Condition(bool bottom) const { return bottom ? fConditionBottom : fConditionTop; }
  QPushButton *CopyButton(int page) const { return fCopy[static_cast<size_t>(page)]; }
  std::vector<QLabel *> SandNotes() const { return fSandNotes; }

  void done(int result) override;

 private:
  struct TField {
    TDataEdit *top;
    TDataEdit *bottom;
    int column;  // in the property table
  };
  QWidget *buildPage(TPage page, const QStringList &notes);
  void addField(TPage page, const QString &caption, const QString &units, int column);
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
  std::vector<QLabel *> fSandNotes;
  QComboBox *fConditionTop = nullptr;
  QComboBox *fConditionBottom = nullptr;
};

}  // namespace pylar
