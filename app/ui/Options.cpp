#include "ui/Options.h"

#include "model/SoilLayers.h"
#include "ui/DataEdit.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pylar {

void CloseDataWindow(QWidget *widget) {
  for (QWidget *w = widget; w; w = w->parentWidget())
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w)) {
      sub->close();
      return;
    }
  widget->close();
}

namespace {

QPushButton *addCloseRow(TDataForm *form, QVBoxLayout *layout) {
  auto *row = new QHBoxLayout;
  auto *close = new QPushButton(QStringLiteral("Close"), form);
  row->addStretch();
  row->addWidget(close);
  layout->insertLayout(layout->count() - 1, row);
  QObject::connect(close, &QPushButton::clicked, form, [form] { CloseDataWindow(form); });
  return close;
}

}  // namespace

// ---------------------------------------------------------------- TDlgOptions

TDlgOptions::TDlgOptions(const TProjectAccess &project, TProgramSettings &settings, QWidget *parent)
    : TDataForm(project, QStringLiteral("Control Options"), parent), fSettings(settings) {
  auto *bearing = new QGroupBox(QStringLiteral("End Bearing in Sand"), this);
  auto *bearingLayout = new QGridLayout(bearing);
  fLinear = new QRadioButton(QStringLiteral("Use linear interpolation from zero at ground to "), bearing);
  fMaximum = new QRadioButton(QStringLiteral("Use maximum values at any depth"), bearing);
  fTipFactor = new QCheckBox(QStringLiteral("Apply modification factor for tip resistance in sand"), bearing);
  fTipFactor->setChecked(true);
  fTipFactor->hide();
  bearingLayout->addWidget(fLinear, 0, 0);
  auto *continued = new QLabel(QStringLiteral("maximum values at 10 pile diameters."), bearing);
  continued->setIndent(22);
  bearingLayout->addWidget(continued, 1, 0);
  bearingLayout->addWidget(fMaximum, 2, 0);
  fGrid->addWidget(bearing, 0, 0, 1, 3);

  fIncrement = addNumber(QStringLiteral("Output Increment"), QStringLiteral("L2"), 0, &TProgramData::PINC);

  fUseElevation = new QCheckBox(QStringLiteral("Use Elevation instead of Depth for Label of Vertical Axis"), this);
  fGrid->addWidget(fUseElevation, fGrid->rowCount(), 0, 1, 3);
  fElevation = addNumber(QStringLiteral("Elevation for Top of Pylar"), QStringLiteral("L2"), 0,
                         &TProgramData::ValElevation);
  fElevation->SetMinVal(TDataEdit::kDefaultMinVal);  // an elevation may be below datum
  fGrid->addWidget(new QLabel(QStringLiteral("Note: Labels will be updated after analysis is completed."), this),
                   fGrid->rowCount(), 0, 1, 3);

  auto *editorLabel = new QLabel(QStringLiteral("&Text Editor:"), this);
  fEditor = new QLineEdit(this);
  fEditor->setMinimumWidth(260);
  editorLabel->setBuddy(fEditor);
  fBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
  const int editorRow = fGrid->rowCount();
  fGrid->addWidget(editorLabel, editorRow, 0);
  fGrid->addWidget(fEditor, editorRow, 1);
  fGrid->addWidget(fBrowse, editorRow, 2);

  auto *tz = new QGroupBox(QStringLiteral("Printing Additional t-z Curves"), this);
  auto *tzLayout = new QGridLayout(tz);
  fPrintTZ = new QCheckBox(QStringLiteral("&Print Internally-Generated"), tz);
  fEditDepths = new QPushButton(QStringLiteral("Edit Depths"), tz);
  tzLayout->addWidget(fPrintTZ, 0, 0);
  tzLayout->addWidget(new QLabel(QStringLiteral("t-z Curves for Verification"), tz), 1, 0);
  tzLayout->addWidget(fEditDepths, 0, 1, 2, 1);
  fGrid->addWidget(tz, fGrid->rowCount(), 0, 1, 3);

  // The design methods: the set, the scour depth (2018 only) and the AASHTO
  // resistance factors on request (switching the set changes no layer's factors).
  auto *methods = new QGroupBox(QStringLiteral("Design Methods"), this);
  auto *methodsLayout = new QGridLayout(methods);
  fMethods1999 = new QRadioButton(QStringLiteral("FHWA-IF-99-025 (&1999)"), methods);
  fMethods2018 = new QRadioButton(QStringLiteral("FHWA GEC-10 (&2018) with AASHTO LRFD"), methods);
  methodsLayout->addWidget(fMethods1999, 0, 0);
  methodsLayout->addWidget(fMethods2018, 1, 0);
  fMethodsNote = new QLabel(
      QStringLiteral("2018: GEC-10 beta method in sand (by the sand kind), alpha of GEC-10 in clay (by the strength\n"
                     "test), GEC-10 rules for strong rock, no side or base resistance above the scour depth;\n"
                     "new layers start with the AASHTO resistance factors of their model."),
      methods);
  methodsLayout->addWidget(fMethodsNote, 2, 0);
  fGrid->addWidget(methods, fGrid->rowCount(), 0, 1, 3);
  fScour = addNumber(QStringLiteral("&Scour Depth below Top of Pylar"), QStringLiteral("L2"), 0,
                     &TProgramData::ScourDepth);
  fAashto = new QPushButton(QStringLiteral("Use AASHTO &Resistance Factors"), this);
  fAashto->setToolTip(QStringLiteral("Use the current AASHTO resistance factors for every layer"));
  fGrid->addWidget(fAashto, fGrid->rowCount(), 0, 1, 2, Qt::AlignLeft);
  addCloseRow(this, fLayout);

  BrowseDialog = [this](const QString &start) {
    return QFileDialog::getOpenFileName(this, QStringLiteral("Text Editor"), start,
                                        QStringLiteral("Programs (*.exe *.com);;All Files (*)"));
  };
  connect(fUseElevation, &QCheckBox::clicked, this, &TDlgOptions::applyEnabling);
  connect(fPrintTZ, &QCheckBox::clicked, this, &TDlgOptions::applyEnabling);
  connect(fBrowse, &QPushButton::clicked, this, [this] {
    const QString chosen = BrowseDialog(fEditor->text());
    if (!chosen.isEmpty()) fEditor->setText(chosen);
  });
  connect(fEditDepths, &QPushButton::clicked, this, [this] { data().Tables().TblTZDepth.ShowModal(); });
  connect(fMethods1999, &QRadioButton::clicked, this, &TDlgOptions::applyEnabling);
  connect(fMethods2018, &QRadioButton::clicked, this, &TDlgOptions::applyEnabling);
  connect(fAashto, &QPushButton::clicked, this, [this] {
    if (!WriteBack()) return;
    if (!UseAashtoFactors(data().Tables())) return;
    if (fProject.commit)
      fProject.commit(QStringLiteral("AASHTO Resistance Factors"));
    else
      fProject.markChanged();
  });
}

void TDlgOptions::LoadFromModel() {
  TDataForm::LoadFromModel();
  const TProgramData &project = data();
  fTipFactor->setChecked(project.IMOD == 1);
  fLinear->setChecked(project.IMOD == 1);
  fMaximum->setChecked(project.IMOD != 1);
  fUseElevation->setChecked(project.UseElevation == 1);
  fEditor->setText(fSettings.WordProcessor);
  fPrintTZ->setChecked(project.PrintTZCurves == 1);
  fMethods1999->setChecked(project.DesignSet != 1);
  fMethods2018->setChecked(project.DesignSet == 1);
  applyEnabling();
}

void TDlgOptions::applyEnabling() {
  fElevation->setEnabled(fUseElevation->isChecked());
  fEditDepths->setEnabled(fPrintTZ->isChecked());
  const bool gec2018 = fMethods2018->isChecked();
  fScour->setEnabled(gec2018);
  fAashto->setEnabled(gec2018);
  fMethodsNote->setEnabled(gec2018);
}

void TDlgOptions::storeToModel() {
  TDataForm::storeToModel();  // the increment, and the elevation while it is enabled
  // The end-bearing choice is the radio group's alone.
  storeInt(&TProgramData::IMOD, fLinear->isChecked() ? 1 : 0);
  storeInt(&TProgramData::UseElevation, fUseElevation->isChecked() ? 1 : 0);
  storeInt(&TProgramData::PrintTZCurves, fPrintTZ->isChecked() ? 1 : 0);
  storeInt(&TProgramData::DesignSet, fMethods2018->isChecked() ? 1 : 0);
  if (fSettings.WordProcessor != fEditor->text()) {
    fSettings.WordProcessor = fEditor->text();
    WriteSettings(fSettings);
  }
}

// ---------------------------------------------------------------- TLengthRangeForm

TLengthRangeForm::TLengthRangeForm(const TProjectAccess &project, const QString &caption, const QString &check,
                                   int TProgramData::*flag, int TProgramData::*other, const QStringList &hints,
                                   QWidget *parent)
    : TDataForm(project, caption, parent), fFlag(flag), fOther(other) {
  fEnable = new QCheckBox(check, this);
  fGrid->addWidget(fEnable, 0, 0, 1, 3);
  fMaximum = addNumber(QStringLiteral("Maximum pylar &length "), QStringLiteral("L2"), 0, nullptr, hints.value(0));
  fMinimum = addNumber(QStringLiteral("Minimum &pylar length "), QStringLiteral("L2"), 0, &TProgramData::PDMIN,
                       hints.value(1));
  fIncrement = addNumber(QStringLiteral("Pylar length increment"), QStringLiteral("L2"), 0, &TProgramData::PDINCR,
                         hints.value(2));
  connect(fEnable, &QCheckBox::clicked, this, [this] { applyEnabling(); });
}

void TLengthRangeForm::addCloseButton() { addCloseRow(this, fLayout); }

void TLengthRangeForm::LoadFromModel() {
  TDataForm::LoadFromModel();
  fMaximum->SetNumber(data().PD);
  fEnable->setChecked(data().*fFlag == 1);
  // Multiple lengths and design charts exclude each other: while the other is
  // set, this one can only be cleared.
  fEnable->setEnabled(fEnable->isChecked() || data().*fOther == 0);
  applyEnabling();
}

void TLengthRangeForm::applyEnabling() {
  const bool on = fEnable->isChecked();
  for (TDataEdit *edit : fEdits) edit->setEnabled(on);
  for (QLabel *hint : fHints)
    if (hint) hint->setEnabled(on);
  for (QWidget *widget : fFollowers) widget->setEnabled(on);
}

void TLengthRangeForm::storeToModel() {
  storeInt(fFlag, fEnable->isChecked() && fEnable->isEnabled() ? 1 : 0);
  if (!fMaximum->isEnabled()) return;
  TDataForm::storeToModel();
  // The maximum length is the project's proposed length: a positive one puts
  // the design load out of force.
  const Extended length = fMaximum->Number();
  store(&TProgramData::PD, length);
  if (length > 0) store(&TProgramData::LPD, 0);
}

}  // namespace pylar
