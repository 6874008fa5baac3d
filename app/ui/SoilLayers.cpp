#include "ui/SoilLayers.h"

#include "model/SoilLayers.h"
#include "ui/DataEdit.h"
#include "ui/Messages.h"
#include "ui/soils.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pylar {

namespace {

constexpr int kRowHeight = 25;
constexpr int kGridHeight = 186;
// Grid columns: the button, the model, then the numeric columns of the layer table.
constexpr int kWidths[] = {90, 207, 94, 106, 106, 100, 100};
constexpr int kNumericColumns[] = {lcDepth, lcMaxSide, lcMaxEnd, lcLRFDSide, lcLRFDEnd};

QStringList headings(int units, bool lrfd) {
  const bool si = units == kUnitsSI;
  const QString stress = si ? QStringLiteral("       (kN/m^2)    ") : QStringLiteral("       (lb/ft^2)    ");
  QStringList texts = {QStringLiteral("  Layer "), QStringLiteral(" Soil Type "),
                       QStringLiteral("Depth at Bottom * \n") +
                           (si ? QStringLiteral(" of each layer (m) ") : QStringLiteral(" of each layer (ft) ")),
                       QStringLiteral("Max. Side Friction ** \n") + stress,
                       QStringLiteral("Max. End Bearing ** \n") + stress};
  if (lrfd)
    texts << QStringLiteral("LRFD Res. Factor\n (Side Friction) ")
          << QStringLiteral("LRFD Res. Factor\n (End Bearing) ");
  return texts;
}

// Closes the child window that holds `widget`, or the widget itself.
void closeWindowOf(QWidget *widget) {
  for (QWidget *w = widget; w; w = w->parentWidget())
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w)) {
      sub->close();
      return;
    }
  widget->close();
}

}  // namespace

TDlgSoilLayers::TDlgSoilLayers(const TProjectAccess &project, QWidget *parent)
    : TDataForm(project, QStringLiteral("Soill Layers"), parent) {
  auto *group = new QGroupBox(QStringLiteral("Layers Definition"), this);
  auto *groupLayout = new QVBoxLayout(group);
  fGrid = new QTableWidget(group);
  fGrid->verticalHeader()->hide();
  fGrid->verticalHeader()->setDefaultSectionSize(kRowHeight);
  fGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  fGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  fGrid->setSelectionMode(QAbstractItemView::NoSelection);
  fGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  fGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  fGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  fGrid->setFixedHeight(kGridHeight);
  groupLayout->addWidget(fGrid);
  for (const char *note : {"* Bottom of last layer must be deeper than the pylar bottom plus two pile diameters.",
                           "** If entries are left as zero, the program assumes no limits in side friction and end "
                           "bearing computed by the program",
                           "** Use a very small number (e.g. 0.001) for layers where load transfer should be ignored."}) {
    auto *label = new QLabel(QString::fromLatin1(note), group);
    label->setWordWrap(true);
    groupLayout->addWidget(label);
  }
  auto *buttons = new QHBoxLayout;
  fInsert = new QPushButton(QStringLiteral("Insert Layer"), group);
  fAdd = new QPushButton(QStringLiteral("Add Layer"), group);
  fDelete = new QPushButton(QStringLiteral("Delete Layer"), group);
  fConfirm = new QCheckBox(QStringLiteral("Confirm Deletion"), group);
  fConfirm->setChecked(true);
  auto *close = new QPushButton(QStringLiteral("Close"), group);
  for (QWidget *w : std::initializer_list<QWidget *>{fInsert, fAdd, fDelete, fConfirm}) buttons->addWidget(w);
  buttons->addStretch();
  buttons->addWidget(close);
  groupLayout->addLayout(buttons);
  fLayout->insertWidget(fLayout->count() - 1, group);

  connect(fInsert, &QPushButton::clicked, this, &TDlgSoilLayers::InsertLayerClicked);
  connect(fAdd, &QPushButton::clicked, this, &TDlgSoilLayers::AddLayerClicked);
  connect(fDelete, &QPushButton::clicked, this, &TDlgSoilLayers::DeleteLayerClicked);
  connect(close, &QPushButton::clicked, this, [this] { closeWindowOf(this); });
  LoadFromModel();
}

bool TDlgSoilLayers::lrfd() const { return data().NLRFD == 1; }

QComboBox *TDlgSoilLayers::SoilType(int row) const {
  return row >= 0 && row < static_cast<int>(fRows.size()) ? fRows[static_cast<size_t>(row)].type : nullptr;
}

QPushButton *TDlgSoilLayers::EditButton(int row) const {
  return row >= 0 && row < static_cast<int>(fRows.size()) ? fRows[static_cast<size_t>(row)].edit : nullptr;
}

TDataEdit *TDlgSoilLayers::CellField(int row, int layerColumn) const {
  if (row < 0 || row >= static_cast<int>(fRows.size())) return nullptr;
  for (const auto &[column, edit] : fRows[static_cast<size_t>(row)].fields)
    if (column == layerColumn) return edit;
  return nullptr;
}

void TDlgSoilLayers::watch(QWidget *widget, int row) {
  widget->setProperty("layerRow", row);
  widget->installEventFilter(this);
}

bool TDlgSoilLayers::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress) {
    const QVariant row = watched->property("layerRow");
    if (row.isValid()) fFocusRow = row.toInt();
  }
  return TDataForm::eventFilter(watched, event);
}

void TDlgSoilLayers::LoadFromModel() {
  const TProgramData &project = data();
  const TGridTable &d = project.Tables().D;
  const int rows = d.RowCount();
  const QStringList texts = headings(project.fUnits, lrfd());
  const int columns = static_cast<int>(texts.size());

  const bool reshaped = fGrid->columnCount() != columns;
  // Controls are rebuilt only when the shape changes, so activating the window
  // by a click never removes the control under the mouse.
  if (fGrid->columnCount() != columns || static_cast<int>(fRows.size()) != rows) {
    fGrid->setRowCount(0);
    fRows.clear();
    fEdits.clear();
    fGrid->setColumnCount(columns);
    fGrid->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
      TRowControls controls{};
      controls.edit = new QPushButton(QStringLiteral("Edit Layer ") + QString::number(row + 1));
      controls.edit->setFixedHeight(kRowHeight);
      watch(controls.edit, row);
      connect(controls.edit, &QPushButton::clicked, this, [this, row] { EditLayer(row); });
      fGrid->setCellWidget(row, 0, controls.edit);

      controls.type = new QComboBox;
      for (int code = 1; code <= kSoilCodeCount; ++code) controls.type->addItem(QString::fromLatin1(SoilModel(code)->ModelName));
      controls.type->setMaxVisibleItems(9);
      watch(controls.type, row);
      connect(controls.type, &QComboBox::activated, this, [this, row](int index) {
        fFocusRow = row;
        if (ChangeLayerModel(data().Tables(), row, index + 1, ProjectMethodSet(data()))) fProject.markChanged();
      });
      fGrid->setCellWidget(row, 1, controls.type);

      for (int c = 2; c < columns; ++c) {
        auto *edit = new TDataEdit;
        edit->SetMinVal(0);
        edit->setFrame(false);
        watch(edit, row);
        fGrid->setCellWidget(row, c, edit);
        controls.fields.emplace_back(kNumericColumns[c - 2], edit);
        fEdits.push_back(edit);
      }
      fRows.push_back(controls);
    }
  }
  fGrid->setHorizontalHeaderLabels(texts);
  // Each column is at least as wide as its heading in the font in use.
  const QFontMetrics metrics = fGrid->horizontalHeader()->fontMetrics();
  int width = 0;
  for (int c = 0; c < columns; ++c) {
    int columnWidth = kWidths[c];
    for (const QString &line : texts[c].split('\n'))
      columnWidth = std::max(columnWidth, metrics.horizontalAdvance(line) + 12);
    fGrid->setColumnWidth(c, columnWidth);
    width += columnWidth;
  }
  fGrid->setFixedWidth(width + fGrid->verticalScrollBar()->sizeHint().width() + 2 * fGrid->frameWidth());
  if (reshaped) {
    // The window follows the grid when the resistance-factor columns come or go.
    layout()->activate();
    if (auto *window = qobject_cast<QMdiSubWindow *>(parentWidget())) window->adjustSize();
  }

  for (int row = 0; row < rows; ++row) {
    TRowControls &controls = fRows[static_cast<size_t>(row)];
    const int code = d.GetIntValue(lcSoilType, row);
    controls.type->setCurrentIndex(code >= 1 && code <= kSoilCodeCount ? code - 1 : -1);
    for (const auto &[column, edit] : controls.fields) {
      edit->SetUnits(project.fUnits);
      edit->SetNumber(d.GetFloatValue(column, row));
    }
  }
  fFocusRow = std::clamp(fFocusRow, 0, std::max(rows - 1, 0));
  updateButtons();
}

void TDlgSoilLayers::updateButtons() {
  const int rows = static_cast<int>(fRows.size());
  fAdd->setEnabled(rows < kMaxLayers);
  fInsert->setEnabled(rows >= 1 && rows < kMaxLayers);
  // The project keeps at least one layer.
  fDelete->setEnabled(rows > 1);
}

void TDlgSoilLayers::storeToModel() {
  TGridTable &d = data().Tables().D;
  bool changed = false;
  for (int row = 0; row < static_cast<int>(fRows.size()) && row < d.RowCount(); ++row) {
    for (const auto &[column, edit] : fRows[static_cast<size_t>(row)].fields) {
      const Extended value = edit->Number();
      if (d.GetFloatValue(column, row) == value) continue;
      d.SetFloatValue(column, row, value);
      changed = true;
    }
  }
  if (changed) fProject.markChanged();
}

void TDlgSoilLayers::InsertLayerClicked() {
  if (!WriteBack()) return;
  if (InsertLayer(data().Tables(), fFocusRow, ProjectMethodSet(data()))) fProject.markChanged();
  LoadFromModel();
}

void TDlgSoilLayers::AddLayerClicked() {
  if (!WriteBack()) return;
  if (AddLayer(data().Tables(), ProjectMethodSet(data()))) {
    fProject.markChanged();
    fFocusRow = data().Tables().D.RowCount() - 1;
  }
  LoadFromModel();
}

void TDlgSoilLayers::DeleteLayerClicked() {
  if (fRows.size() <= 1 || !WriteBack()) return;
  const int row = fFocusRow;
  if (fConfirm->isChecked() &&
      !AskYesNo(this, QStringLiteral("Do you want to delete soil layer in row ") + QString::number(row + 1)))
    return;
  if (DeleteLayer(data().Tables(), row)) fProject.markChanged();
  LoadFromModel();
}

void TDlgSoilLayers::EditLayer(int row) {
  fFocusRow = row;
  if (!WriteBack()) return;
  TDlgSoils dialog(fProject, row, this);
  dialog.exec();
}

}  // namespace pylar
