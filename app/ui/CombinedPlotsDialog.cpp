#include "ui/CombinedPlotsDialog.h"

#include "ui/DataEdit.h"
#include "ui/View3dUnit1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace pylar {

TDlgPileDiagrams::TDlgPileDiagrams(TDlgBlock *view, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), fView(view) {
  setWindowTitle(QStringLiteral("Combined Plots"));
  setModal(false);
  fShowPlots = new QCheckBox(QStringLiteral("Show Plots"));
  fSkin = new QCheckBox(QStringLiteral("Skin Friction"));
  fTip = new QCheckBox(QStringLiteral("Tip Resistance"));
  fTotal = new QCheckBox(QStringLiteral("Total Capacity"));
  fValues = new QCheckBox(QStringLiteral("Show Maximum Values"));
  auto *select = new QGroupBox(QStringLiteral("Select Plots"));
  fUltimate = new QRadioButton(QStringLiteral("Ultimate Effects"));
  fDesign = new QRadioButton(QStringLiteral("ASD/LRFD Effects"));
  auto *selectLayout = new QVBoxLayout(select);
  selectLayout->addWidget(fUltimate);
  selectLayout->addWidget(fDesign);
  auto *factorLabel = new QLabel(QStringLiteral("Size Factor"));
  fFactor = new TDataEdit;
  fFactor->SetMinVal(0);
  fFactor->SetEditLabel(factorLabel);
  fFactor->SetCaption(QStringLiteral("Size Factor"));
  fUp = new QToolButton;
  fUp->setArrowType(Qt::UpArrow);
  fDown = new QToolButton;
  fDown->setArrowType(Qt::DownArrow);
  for (QToolButton *b : {fUp, fDown}) {
    b->setFixedSize(18, 12);
    b->setAutoRepeat(true);
  }
  auto *arrows = new QVBoxLayout;
  arrows->setSpacing(0);
  arrows->addWidget(fUp);
  arrows->addWidget(fDown);
  auto *factorRow = new QHBoxLayout;
  factorRow->addWidget(factorLabel);
  factorRow->addWidget(fFactor);
  factorRow->addLayout(arrows);
  auto *close = new QPushButton(QStringLiteral("Close"));
  auto *layout = new QVBoxLayout(this);
  for (QWidget *w : std::initializer_list<QWidget *>{fShowPlots, fSkin, fTip, fTotal, fValues, select})
    layout->addWidget(w);
  layout->addLayout(factorRow);
  layout->addWidget(close, 0, Qt::AlignRight);

  for (QCheckBox *box : {fShowPlots, fSkin, fTip, fTotal, fValues})
    connect(box, &QCheckBox::toggled, this, &TDlgPileDiagrams::store);
  connect(fUltimate, &QRadioButton::toggled, this, &TDlgPileDiagrams::store);
  connect(fUp, &QToolButton::clicked, this, [this] { StepSizeFactor(true); });
  connect(fDown, &QToolButton::clicked, this, [this] { StepSizeFactor(false); });
  // The field validates itself when left or on Enter; take the value once it has.
  connect(fFactor, &TDataEdit::exited, this, [this] {
    QTimer::singleShot(0, this, [this] {
      if (fFactor->IsValid()) store();
    });
  });
  fFactor->installEventFilter(this);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  Load();
}

void TDlgPileDiagrams::Load() {
  const TView3dOptions &o = fView->Options();
  fLoading = true;
  fShowPlots->setChecked(o.ShowUltimateEffects);
  fSkin->setChecked(o.ShowSkinFriction);
  fTip->setChecked(o.ShowTipResistance);
  fTotal->setChecked(o.ShowTotalCapacity);
  fValues->setChecked(o.ShowUltimateEffectsValues);
  (o.ShowUltimateResults == 1 ? fDesign : fUltimate)->setChecked(true);
  if (!fFactor->hasFocus()) fFactor->SetNumber(o.UltimateEffectsFactor);
  for (QWidget *w : std::initializer_list<QWidget *>{fSkin, fTip, fTotal, fValues, fUltimate, fDesign, fFactor, fUp,
                                                      fDown, fFactor->EditLabel()})
    w->setEnabled(o.ShowUltimateEffects);
  fLoading = false;
}

void TDlgPileDiagrams::store() {
  if (fLoading) return;
  TView3dOptions o = fView->Options();
  o.ShowUltimateEffects = fShowPlots->isChecked();
  o.ShowSkinFriction = fSkin->isChecked();
  o.ShowTipResistance = fTip->isChecked();
  o.ShowTotalCapacity = fTotal->isChecked();
  o.ShowUltimateEffectsValues = fValues->isChecked();
  o.ShowUltimateResults = fDesign->isChecked() ? 1 : 0;
  try {
    const double factor = double(fFactor->Number());
    if (std::isfinite(factor) && factor >= 0) o.UltimateEffectsFactor = factor;
  } catch (const EPylarError &) {
    // Not a number: the factor stays as it was.
  }
  if (!(o == fView->Options())) fView->SetOptions(o);
}

void TDlgPileDiagrams::StepSizeFactor(bool up) {
  double current = fView->Options().UltimateEffectsFactor;
  try {
    current = double(fFactor->Number());
  } catch (const EPylarError &) {
  }
  fFactor->SetNumber(SizeFactorStep(current, up));
  store();
}

bool TDlgPileDiagrams::CloseQuery() {
  if (!isVisible()) return true;
  if (!fFactor->CloseQuery()) return false;
  store();
  return true;
}

void TDlgPileDiagrams::closeEvent(QCloseEvent *event) {
  if (!CloseQuery()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

bool TDlgPileDiagrams::eventFilter(QObject *watched, QEvent *event) {
  if (watched == fFactor && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      StepSizeFactor(key == Qt::Key_Up);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace pylar
