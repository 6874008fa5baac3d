// The small data windows of the main window: project title, pier properties,
// water table, pier length, design load and factors of safety (single-instance
// child windows), and the t-z print option (modal). Each loads its fields from
// the project when activated and writes them back when deactivated or closed.
#pragma once

#include "model/DataUnit.h"

#include <QDialog>
#include <QMdiSubWindow>
#include <QWidget>

#include <functional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace pylar {

class TDataEdit;

// What a data window needs of the main window.
struct TProjectAccess {
  std::function<TProgramData &()> data;
  std::function<void()> markChanged;
  // Records the project's change at once as one step of its history, named
  // `what`; empty where there is no history (markChanged then).
  std::function<void(const QString &what)> commit = {};
};

class TDataForm : public QWidget {
  Q_OBJECT

 public:
  TDataForm(const TProjectAccess &project, const QString &caption, QWidget *parent = nullptr);

  // Activate: fields from the project, numeric fields in the project's units.
  virtual void LoadFromModel();
  // Deactivate / close: false (and nothing written) when a numeric field
  // rejects its text; the focus is then on that field.
  bool WriteBack();
  // The window's numeric fields (tests).
  const std::vector<TDataEdit *> &Fields() const { return fEdits; }

 protected:
  struct TBinding {
    TDataEdit *edit;
    Extended TProgramData::*field;
  };
  TDataEdit *addNumber(const QString &caption, const QString &units, Extended maximum, Extended TProgramData::*field,
                       const QString &hint = {});
  // Stores one value; marks the project changed when it differs.
  void store(Extended TProgramData::*field, Extended value);
  void storeInt(int TProgramData::*field, int value);
  virtual void storeToModel();
  // Checks the window's other controls once every numeric field is valid;
  // false keeps the window open and writes nothing.
  virtual bool validate() { return true; }

  TProgramData &data() const { return fProject.data(); }
  TProjectAccess fProject;
  QVBoxLayout *fLayout;
  QGridLayout *fGrid;
  std::vector<TBinding> fBindings;
  std::vector<TDataEdit *> fEdits;
  std::vector<QLabel *> fHints;
};

// "Project Title"
class TdlgTitle : public TDataForm {
  Q_OBJECT
 public:
  explicit TdlgTitle(const TProjectAccess &project, QWidget *parent = nullptr);
  void LoadFromModel() override;
  QLineEdit *Edit() const { return fEdit; }

 protected:
  void storeToModel() override;

 private:
  QLineEdit *fEdit;
};

// "Drilled-Pylar Properties"
class TfrmPylarpeneta : public TDataForm {
  Q_OBJECT
 public:
  explicit TfrmPylarpeneta(const TProjectAccess &project, QWidget *parent = nullptr);
  void LoadFromModel() override;
};

// "Water Table"
class TfrmWaterDepth : public TDataForm {
  Q_OBJECT
 public:
  explicit TfrmWaterDepth(const TProjectAccess &project, QWidget *parent = nullptr);
};

// "Factor of Safety (F.S.)"
class TfrmSafetyFactor : public TDataForm {
  Q_OBJECT
 public:
  explicit TfrmSafetyFactor(const TProjectAccess &project, QWidget *parent = nullptr);
};

// The pier-length and design-load windows share the type-of-loading group.
class TLoadingForm : public TDataForm {
  Q_OBJECT
 public:
  TLoadingForm(const TProjectAccess &project, const QString &caption, bool designLoad, QWidget *parent = nullptr);
  void LoadFromModel() override;
  QRadioButton *Compression() const { return fCompression; }
  QRadioButton *Uplift() const { return fUplift; }
  TDataEdit *Reduction() const { return fReduction; }

 protected:
  void storeToModel() override;

 private:
  void loadingChanged();
  bool fDesignLoad;
  TDataEdit *fQuantity;
  QRadioButton *fCompression;
  QRadioButton *fUplift;
  TDataEdit *fReduction;
};

// "Drilled Pylar Length"
class TfrmPenetration : public TLoadingForm {
  Q_OBJECT
 public:
  explicit TfrmPenetration(const TProjectAccess &project, QWidget *parent = nullptr)
      : TLoadingForm(project, QStringLiteral("Drilled Pylar Length"), false, parent) {}
};

// "Specification of Design Load"
class TfrmDesignLoad : public TLoadingForm {
  Q_OBJECT
 public:
  explicit TfrmDesignLoad(const TProjectAccess &project, QWidget *parent = nullptr)
      : TLoadingForm(project, QStringLiteral("Specification of Design Load"), true, parent) {}
};

// "Option of Printing t-z Curves": modal.
class TDlgTZPrint : public QDialog {
  Q_OBJECT
 public:
  TDlgTZPrint(const TProjectAccess &project, QWidget *parent = nullptr);
  QCheckBox *Check() const { return fCheck; }
  QPushButton *EditDepths() const { return fEditDepths; }

 private:
  TProjectAccess fProject;
  QCheckBox *fCheck;
  QPushButton *fEditDepths;
};

// The child window that holds a data form: a close request writes back first
// and is refused while a field rejects its text, unless the window is discarded.
class TDataChild : public QMdiSubWindow {
  Q_OBJECT
 public:
  TDataChild(TDataForm *form, QWidget *parent = nullptr);
  TDataForm *Form() const { return fForm; }
  // Closes without writing back (the project it edits is being replaced).
  void Discard();

 protected:
  void closeEvent(QCloseEvent *event) override;

 private:
  TDataForm *fForm;
  bool fDiscarding = false;
};

}  // namespace pylar
