#include "ui/PlotDialogs.h"

#include "model/PlotScale.h"
#include "ui/DataEdit.h"
#include "ui/Messages.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace pylar {

namespace {

const QString kNeedName = QStringLiteral("The line must have a name!");

}  // namespace

TGraphCaptionDialog::TGraphCaptionDialog(const QString &caption, bool onTop, QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Graph Caption"));
  auto *layout = new QVBoxLayout(this);
  auto *label = new QLabel(QStringLiteral("Enter Graph Caption"), this);
  fCaption = new QLineEdit(caption, this);
  label->setBuddy(fCaption);
  layout->addWidget(label);
  layout->addWidget(fCaption);
  auto *group = new QGroupBox(QStringLiteral("Caption Location"), this);
  auto *groupLayout = new QHBoxLayout(group);
  fTop = new QRadioButton(QStringLiteral("Top"), group);
  fBottom = new QRadioButton(QStringLiteral("Bottom"), group);
  groupLayout->addWidget(fTop);
  groupLayout->addWidget(fBottom);
  (onTop ? fTop : fBottom)->setChecked(true);
  layout->addWidget(group);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

QString TGraphCaptionDialog::Caption() const { return fCaption->text(); }
bool TGraphCaptionDialog::OnTop() const { return fTop->isChecked(); }

TLegendDialog::TLegendDialog(const TGraphPlot &plot, QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Legend"));
  setMinimumSize(195, 167);
  for (int c = 0; c < plot.CurveCount(); ++c) fNames << plot.CurveName(c);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Select line to modify:"), this));
  fList = new QListWidget(this);
  fList->addItems(fNames);
  layout->addWidget(fList);
  layout->addWidget(new QLabel(QStringLiteral("Type new legend below:"), this));
  fEdit = new QLineEdit(this);
  fEdit->setEnabled(false);
  fEdit->installEventFilter(this);
  layout->addWidget(fEdit);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (StoreEdit()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  connect(fList, &QListWidget::currentRowChanged, this, [this](int row) {
    StoreEdit();
    selectLine(row);
  });
}

void TLegendDialog::selectLine(int row) {
  fRow = row;
  fEdit->setEnabled(row >= 0 && row < fNames.size());
  if (!fEdit->isEnabled()) {
    fEdit->clear();
    return;
  }
  fEdit->setText(fNames[row]);
  QPalette palette = fEdit->palette();
  palette.setColor(QPalette::Text, QColor::fromRgb(CurveColor(row)));
  fEdit->setPalette(palette);
}

bool TLegendDialog::StoreEdit() {
  if (fRow < 0 || fRow >= fNames.size()) return true;
  const QString text = fEdit->text();
  if (text.isEmpty()) {
    ShowInformation(this, kNeedName);
    fEdit->setText(fNames[fRow]);
    return false;
  }
  fNames[fRow] = text;
  fList->item(fRow)->setText(text);
  return true;
}

bool TLegendDialog::eventFilter(QObject *watched, QEvent *event) {
  if (watched == fEdit) {
    if (event->type() == QEvent::FocusOut) {
      StoreEdit();
    } else if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent *>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        StoreEdit();
        return true;  // Enter stores the name, it does not close the window
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

TActiveCurvesDialog::TActiveCurvesDialog(const TGraphPlot &plot, QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Active Curves"));
  setMinimumSize(190, 234);
  for (int c = 0; c < plot.CurveCount(); ++c) {
    fStates.push_back(plot.fData[static_cast<size_t>(c)].fActive);
    fNames << plot.CurveName(c);
  }
  auto *layout = new QVBoxLayout(this);
  fList = new QListWidget(this);
  layout->addWidget(fList);
  auto *toggle = new QPushButton(QStringLiteral("Activate/Deactivate Selected"), this);
  auto *all = new QPushButton(QStringLiteral("Activate All"), this);
  auto *none = new QPushButton(QStringLiteral("Deactivate All"), this);
  layout->addWidget(toggle);
  layout->addWidget(all);
  layout->addWidget(none);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  connect(toggle, &QPushButton::clicked, this, &TActiveCurvesDialog::ToggleSelected);
  connect(all, &QPushButton::clicked, this, [this] { SetAll(true); });
  connect(none, &QPushButton::clicked, this, [this] { SetAll(false); });
  connect(fList, &QListWidget::itemDoubleClicked, this, &TActiveCurvesDialog::ToggleSelected);
  refresh();
}

void TActiveCurvesDialog::refresh() {
  const int row = fList->currentRow();
  fList->clear();
  for (size_t c = 0; c < fStates.size(); ++c)
    fList->addItem((fStates[c] ? QStringLiteral(" yes : ") : QStringLiteral(" no  : ")) + QStringLiteral("   ") +
                   fNames[static_cast<qsizetype>(c)]);
  fList->setCurrentRow(row);
}

void TActiveCurvesDialog::ToggleSelected() {
  const int row = fList->currentRow();
  if (row < 0 || row >= static_cast<int>(fStates.size())) return;
  fStates[static_cast<size_t>(row)] = !fStates[static_cast<size_t>(row)];
  refresh();
}

void TActiveCurvesDialog::SetAll(bool active) {
  std::fill(fStates.begin(), fStates.end(), active);
  refresh();
}

TSaveAttributesDialog::TSaveAttributesDialog(double widthInch, double heightInch, int pixelsPerInch,
                                             QWidget *parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Save Attributes"));
  auto *grid = new QGridLayout(this);
  const auto addField = [&](int row, const QString &caption, Extended minimum, Extended maximum, Extended value,
                            bool integer) {
    auto *label = new QLabel(this);
    auto *edit = new TDataEdit(this);
    edit->SetIntegerOnly(integer);
    edit->SetMaxVal(maximum);
    edit->SetMinVal(minimum);
    edit->SetNumber(value);
    edit->SetCaption(caption);
    edit->SetEditLabel(label);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
  };
  fHeight = addField(0, QStringLiteral("&Height (in)"), 2, 1000, heightInch, false);
  fWidth = addField(1, QStringLiteral("&Width (in)"), 2, 1000, widthInch, false);
  fPpi = addField(2, QStringLiteral("&Pixels Per Inch"), 10, 10000, pixelsPerInch, true);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (fHeight->CloseQuery() && fWidth->CloseQuery() && fPpi->CloseQuery()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  grid->addWidget(buttons, 3, 0, 1, 2);
}

double TSaveAttributesDialog::HeightInch() const { return static_cast<double>(fHeight->Number()); }
double TSaveAttributesDialog::WidthInch() const { return static_cast<double>(fWidth->Number()); }
int TSaveAttributesDialog::PixelsPerInch() const { return static_cast<int>(fPpi->Number()); }

}  // namespace pylar
