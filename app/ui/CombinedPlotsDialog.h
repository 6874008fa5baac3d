// "Combined Plots" (TDlgPileDiagrams): the option window of the 3-D View for
// the capacity curves it draws beside the pier (which curves, ultimate or
// ASD/LRFD, their values, and the size factor with its arrows).
#pragma once

#include <QDialog>

class QCheckBox;
class QRadioButton;
class QToolButton;

namespace pylar {

class TDataEdit;
class TDlgBlock;

// "Combined Plots": which capacity curves the view draws and how large.
class TDlgPileDiagrams : public QDialog {
  Q_OBJECT

 public:
  explicit TDlgPileDiagrams(TDlgBlock *view, QWidget *parent);
  void Load();  // the controls from the view's options
  TDataEdit *SizeFactor() const { return fFactor; }
  QCheckBox *ShowPlots() const { return fShowPlots; }
  void StepSizeFactor(bool up);
  // Validates the size factor as the window or the view closes.
  bool CloseQuery();

 protected:
  void closeEvent(QCloseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void store();
  TDlgBlock *fView;
  QCheckBox *fShowPlots, *fSkin, *fTip, *fTotal, *fValues;
  QRadioButton *fUltimate, *fDesign;
  TDataEdit *fFactor;
  QToolButton *fUp, *fDown;
  bool fLoading = false;
};

}  // namespace pylar
