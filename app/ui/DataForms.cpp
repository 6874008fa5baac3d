#include "ui/DataForms.h"

#include "ui/DataEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pylar {

// ---------------------------------------------------------------- TDataForm

TDataForm::TDataForm(const TProjectAccess &project, const QString &caption, QWidget *parent)
    : QWidget(parent), fProject(project), fLayout(new QVBoxLayout(this)), fGrid(new QGridLayout) {
  setWindowTitle(caption);
  fLayout->addLayout(fGrid);
  fLayout->addStretch();
}

TDataEdit *TDataForm::addNumber(const QString &caption, const QString &units, Extended maximum,
                                Extended TProgramData::*field, const QString &hint) {
  const int row = fGrid->rowCount();
  auto *label = new QLabel(this);
  auto *edit = new TDataEdit(this);
  edit->SetEditLabel(label);
  edit->SetCaption(caption);
  edit->SetUnitsString(units);
  edit->SetMinVal(0);
  if (maximum > 0) edit->SetMaxVal(maximum);
  edit->setMinimumWidth(110);
  label->setBuddy(edit);
  fGrid->addWidget(label, row, 0);
  fGrid->addWidget(edit, row, 1);
  QLabel *hintLabel = nullptr;
  if (!hint.isEmpty()) {
    hintLabel = new QLabel(hint, this);
    fGrid->addWidget(hintLabel, row, 2);
  }
  fHints.push_back(hintLabel);
  fEdits.push_back(edit);
  if (field) fBindings.push_back({edit, field});
  return edit;
}

void TDataForm::LoadFromModel() {
  const TProgramData &project = data();
  for (TDataEdit *edit : fEdits) edit->SetUnits(project.fUnits);
  for (const TBinding &binding : fBindings) binding.edit->SetNumber(project.*binding.field);
}

bool TDataForm::WriteBack() {
  for (TDataEdit *edit : fEdits) {
    if (!edit->isEnabled()) continue;
    if (!edit->CloseQuery()) {
      edit->setFocus();
      return false;
    }
  }
  storeToModel();
  return true;
}

void TDataForm::store(Extended TProgramData::*field, Extended value) {
  TProgramData &project = data();
  if (project.*field == value) return;
  project.*field = value;
  fProject.markChanged();
}

void TDataForm::storeInt(int TProgramData::*field, int value) {
  TProgramData &project = data();
  if (project.*field == value) return;
  project.*field = value;
  fProject.markChanged();
}

void TDataForm::storeToModel() {
  for (const TBinding &binding : fBindings)
    if (binding.edit->isEnabled()) store(binding.field, binding.edit->Number());
}

// ---------------------------------------------------------------- windows

TdlgTitle::TdlgTitle(const TProjectAccess &project, QWidget *parent)
    : TDataForm(project, QStringLiteral("Project Title"), parent), fEdit(new QLineEdit(this)) {
  auto *label = new QLabel(QStringLiteral("Enter line of text for project description:"), this);
  label->setBuddy(fEdit);
  fEdit->setMinimumWidth(420);
  fGrid->addWidget(label, 0, 0);
  fGrid->addWidget(fEdit, 1, 0);
}

void TdlgTitle::LoadFromModel() { fEdit->setText(data().Title); }

void TdlgTitle::storeToModel() {
  if (data().Title == fEdit->text()) return;
  data().Title = fEdit->text();
  fProject.markChanged();
}

TfrmPylarpeneta::TfrmPylarpeneta(const TProjectAccess &project, QWidget *parent)
    : TDataForm(project, QStringLiteral("Drilled-Pylar Properties"), parent) {
  addNumber(QStringLiteral("Minimum Pylar Diameter, B, to be Considered"), QStringLiteral("L2"), 30,
            &TProgramData::DSTART);
  addNumber(QStringLiteral("Maximum Pylar Diameter, B, to be Considered"), QStringLiteral("L2"), 30,
            &TProgramData::DIALIM, QStringLiteral("(Enter 0 if same as minimum)"));
  addNumber(QStringLiteral("&Ratio of Base Diameter to Pylar Diameter,  Bb/B"), QString(), 10, &TProgramData::RATIO,
            QStringLiteral("(Enter 0 for straight pylar)"));
  addNumber(QStringLiteral("&Angle of Bell with Respect to Vertical,  Ang "), QStringLiteral("deg"), 90,
            &TProgramData::BELANGL, QStringLiteral("(Enter 0 for straight pylar)"));
  addNumber(QStringLiteral("Length of &Upper Exclusion Zone without Skin Friction, Lue"), QStringLiteral("L2"), 0,
            &TProgramData::TOPLENG);
  addNumber(QStringLiteral("Lenght of Bottom Portion of Pylar without Skin Friction, Lle"), QStringLiteral("L2"), 100,
            &TProgramData::BS);
  addNumber(QStringLiteral("&Modulus of Elasticity of Drilled Pylar "), QStringLiteral("F/L^2"), 300000000,
            &TProgramData::EPILE);
}

void TfrmPylarpeneta::LoadFromModel() {
  TDataForm::LoadFromModel();
  // With multiple lengths only the minimum diameter is analysed.
  const bool single = data().METHOD == 2 && data().IPENT == 1;
  fEdits[1]->setEnabled(!single);
  fHints[1]->setVisible(!single);
}

TfrmWaterDepth::TfrmWaterDepth(const TProjectAccess &project, QWidget *parent)
    : TDataForm(project, QStringLiteral("Water Table"), parent) {
  addNumber(QStringLiteral("&Depth of water table"), QStringLiteral("L2"), 0, &TProgramData::WTD);
}

TfrmSafetyFactor::TfrmSafetyFactor(const TProjectAccess &project, QWidget *parent)
    : TDataForm(project, QStringLiteral("Factor of Safety (F.S.)"), parent) {
  addNumber(QStringLiteral("The F.S. applied to the ultimate &side friction"), QString(), 0, &TProgramData::FST);
  addNumber(QStringLiteral("The F.S. applied to the ultimate &base capacity"), QString(), 0, &TProgramData::FSB);
}

TLoadingForm::TLoadingForm(const TProjectAccess &project, const QString &caption, bool designLoad, QWidget *parent)
    : TDataForm(project, caption, parent), fDesignLoad(designLoad) {
  fQuantity = designLoad ? addNumber(QStringLiteral("Enter the &design load"), QStringLiteral("F2"), 0, nullptr)
                         : addNumber(QStringLiteral("Enter the proposed &length"), QStringLiteral("L2"), 0, nullptr);
  auto *group = new QGroupBox(QStringLiteral("Type of Loading"), this);
  auto *groupLayout = new QHBoxLayout(group);
  fCompression = new QRadioButton(QStringLiteral("C&ompression"), group);
  fUplift = new QRadioButton(QStringLiteral("&Uplift "), group);
  groupLayout->addWidget(fCompression);
  groupLayout->addWidget(fUplift);
  fGrid->addWidget(group, fGrid->rowCount(), 0, 1, 2);
  fReduction = addNumber(QStringLiteral("&Reduction factor for uplift loading"), QString(), 1.0, nullptr);
  connect(fCompression, &QRadioButton::toggled, this, &TLoadingForm::loadingChanged);
}

void TLoadingForm::loadingChanged() {
  fReduction->setEnabled(fUplift->isChecked());
  if (fCompression->isChecked()) fReduction->SetNumber(1.0);
}

void TLoadingForm::LoadFromModel() {
  TDataForm::LoadFromModel();
  fQuantity->SetNumber(fDesignLoad ? data().LPD : data().PD);
  const bool uplift = data().KCYCL == 2;
  fUplift->setChecked(uplift);
  fCompression->setChecked(!uplift);
  fReduction->SetNumber(uplift ? data().RCYCL : 1.0);
  fReduction->setEnabled(uplift);
}

void TLoadingForm::storeToModel() {
  const Extended quantity = fQuantity->Number();
  if (fDesignLoad) {
    store(&TProgramData::LPD, quantity);
    if (quantity > 0) store(&TProgramData::PD, 0);
  } else {
    store(&TProgramData::PD, quantity);
    if (quantity > 0) store(&TProgramData::LPD, 0);
  }
  const bool uplift = fUplift->isChecked();
  storeInt(&TProgramData::KCYCL, uplift ? 2 : 1);
  store(&TProgramData::RCYCL, uplift ? fReduction->Number() : 1.0L);
}

TDlgTZPrint::TDlgTZPrint(const TProjectAccess &project, QWidget *parent) : QDialog(parent), fProject(project) {
  setWindowTitle(QStringLiteral("Option of Printing t-z Curves"));
  auto *layout = new QVBoxLayout(this);
  fCheck = new QCheckBox(QStringLiteral("&Print Internally-Generated"), this);
  layout->addWidget(fCheck);
  layout->addWidget(new QLabel(QStringLiteral("t-z Curves for Verification"), this));
  auto *buttons = new QHBoxLayout;
  fEditDepths = new QPushButton(QStringLiteral("Edit Depths"), this);
  auto *close = new QPushButton(QStringLiteral("Close"), this);
  buttons->addWidget(fEditDepths);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  fCheck->setChecked(fProject.data().PrintTZCurves == 1);
  fEditDepths->setEnabled(fCheck->isChecked());
  connect(fCheck, &QCheckBox::toggled, this, [this](bool on) {
    fEditDepths->setEnabled(on);
    if (fProject.data().PrintTZCurves != (on ? 1 : 0)) {
      fProject.data().PrintTZCurves = on ? 1 : 0;
      fProject.markChanged();
    }
  });
  connect(fEditDepths, &QPushButton::clicked, this, [this] { fProject.data().Tables().TblTZDepth.ShowModal(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

// ---------------------------------------------------------------- TDataChild

TDataChild::TDataChild(TDataForm *form, QWidget *parent) : QMdiSubWindow(parent), fForm(form) {
  setWidget(form);
  setWindowTitle(form->windowTitle());
  setAttribute(Qt::WA_DeleteOnClose);
}

void TDataChild::Discard() {
  fDiscarding = true;
  close();
}

void TDataChild::closeEvent(QCloseEvent *event) {
  if (!fDiscarding && !fForm->WriteBack()) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}

}  // namespace pylar
