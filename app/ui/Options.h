// The analysis option windows of the Data menu: "Control Options"
// (TDlgOptions, with the project's design methods), "Multiple Pylar Lengths" (TfrmVaryLength, in VaryLength.h) and
// "LRFD Design Charts" (TfrmDesignCharts, in designchart.h). Each edits the
// project in place: loaded when activated, written back when deactivated or
// closed.
#pragma once

#include "model/Main.h"
#include "ui/DataForms.h"

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pylar {

// Closes the child window that holds `widget` (or the widget itself).
void CloseDataWindow(QWidget *widget);

class TDlgOptions : public TDataForm {
  Q_OBJECT

 public:
  TDlgOptions(const TProjectAccess &project, TProgramSettings &settings, QWidget *parent = nullptr);
  void LoadFromModel() override;

  // The program chooser of "Browse..."; returns an empty text when cancelled.
  // Tests replace it.
  std::function<QString(const QString &start)> BrowseDialog;

  QRadioButton *Linear() const { return fLinear; }
  QRadioButton *MaximumAnyDepth() const { return fMaximum; }
  QCheckBox *TipFactor() const { return fTipFactor; }
  TDataEdit *Increment() const { return fIncrement; }
  QCheckBox *UseElevation() const { return fUseElevation; }
  TDataEdit *Elevation() const { return fElevation; }
  QLineEdit *Editor() const { return fEditor; }
  QPushButton *Browse() const { return fBrowse; }
  QCheckBox *PrintTZ() const { return fPrintTZ; }
  QPushButton *EditDepths() const { return fEditDepths; }
  QRadioButton *Methods1999() const { return fMethods1999; }
  QRadioButton *Methods2018() const { return fMethods2018; }
  TDataEdit *ScourDepth() const { return fScour; }
  QPushButton *AashtoFactors() const { return fAashto; }

 protected:
  void storeToModel() override;

 private:
  void applyEnabling();
  TProgramSettings &fSettings;
  QRadioButton *fLinear;
  QRadioButton *fMaximum;
  QCheckBox *fTipFactor;
  TDataEdit *fIncrement;
  QCheckBox *fUseElevation;
  TDataEdit *fElevation;
  QLineEdit *fEditor;
  QPushButton *fBrowse;
  QCheckBox *fPrintTZ;
  QPushButton *fEditDepths;
  QRadioButton *fMethods1999;
  QRadioButton *fMethods2018;
  TDataEdit *fScour;
  QLabel *fMethodsNote;
  QPushButton *fAashto;
};

// The part the multiple-lengths and design-charts windows share: the enabling
// check box and the maximum, minimum and increment of the pier length.
class TLengthRangeForm : public TDataForm {
  Q_OBJECT

 public:
  QCheckBox *Enable() const { return fEnable; }
  TDataEdit *MaximumLength() const { return fMaximum; }
  TDataEdit *MinimumLength() const { return fMinimum; }
  TDataEdit *LengthIncrement() const { return fIncrement; }
  void LoadFromModel() override;

 protected:
  TLengthRangeForm(const TProjectAccess &project, const QString &caption, const QString &check,
                   int TProgramData::*flag, int TProgramData::*other, const QStringList &hints, QWidget *parent);
  void storeToModel() override;
  // Enables every field, hint and extra control with the check box.
  virtual void applyEnabling();
  void addCloseButton();
  // Extra widgets that follow the check box's enabling.
  std::vector<QWidget *> fFollowers;

 private:
  int TProgramData::*fFlag;
  int TProgramData::*fOther;  // the option that excludes this one
  QCheckBox *fEnable;
  TDataEdit *fMaximum;
  TDataEdit *fMinimum;
  TDataEdit *fIncrement;
};

}  // namespace pylar
