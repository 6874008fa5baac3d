#include "ui/ProfileGrid.h"

#include "model/ProjectHistory.h"
#include "model/SoilLayers.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace pylar {

namespace {

const QColor kNotUsed(232, 232, 232);     // the layer's model has no such value
const QColor kDerived(244, 244, 240);     // shown, but not entered here
const QColor kEstimated(20, 70, 160);     // the run's estimate

// A header on lines of about `width` characters, broken between words; the
// end and unit stay on the last line.
QString wrapped(const QString &header, int width) {
  const QStringList parts = header.split(u'\n');
  QStringList lines;
  QString line;
  for (const QString &word : parts.front().split(u' ', Qt::SkipEmptyParts)) {
    if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
      lines << line;
      line.clear();
    }
    line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
  }
  if (!line.isEmpty()) lines << line;
  for (qsizetype i = 1; i < parts.size(); ++i) lines << parts[i];
  return lines.join(u'\n');
}

}  // namespace

// ---------------------------------------------------------------- model

TProfileGridModel::TProfileGridModel(const TProjectAccess &project, QObject *parent)
    : QAbstractTableModel(parent), fProject(project), fGrid(std::make_unique<TProfileGrid>(false)) {}

void TProfileGridModel::Reload(TProfileEstimates estimates, const std::vector<int> &models) {
  beginResetModel();
  *fGrid = TProfileGrid(fProject.data().NLRFD == 1, models);  // the same object: references to it stay good
  fEstimates = std::move(estimates);
  fRows = fProject.data().Tables().D.RowCount();
  endResetModel();
}

void TProfileGridModel::ValuesChanged() {
  if (rowCount() == 0 || columnCount() == 0) return;
  emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int TProfileGridModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : fRows;
}

int TProfileGridModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : fGrid->ColumnCount();
}

QVariant TProfileGridModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid()) return {};
  const TProgramData &project = fProject.data();
  const int row = index.row(), column = index.column();
  const QString estimate = fGrid->Estimate(project, fEstimates, row, column);
  switch (role) {
    case Qt::DisplayRole: return estimate.isEmpty() ? fGrid->Text(project, row, column) : estimate;
    case Qt::EditRole: return fGrid->Text(project, row, column);
    case Qt::BackgroundRole:
      if (!fGrid->Applies(project, row, column)) return kNotUsed;
      if (!fGrid->Editable(project, row, column)) return kDerived;
      return {};
    case Qt::ForegroundRole:
      if (!estimate.isEmpty()) return kEstimated;
      if (!fGrid->Applies(project, row, column)) return QColor(Qt::gray);
      return {};
    case Qt::FontRole:
      if (!estimate.isEmpty()) {
        QFont font;
        font.setItalic(true);
        return font;
      }
      return {};
    case Qt::ToolTipRole:
      if (!estimate.isEmpty())
        return QStringLiteral("Estimated by the program in the last run; the value entered is ") +
               fGrid->Text(project, row, column);
      return {};
    case Qt::TextAlignmentRole:
      return fGrid->Choices(column).isEmpty() ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                                              : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    default: return {};
  }
}

QVariant TProfileGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= fGrid->ColumnCount()) return {};
  if (role == Qt::DisplayRole) return wrapped(fGrid->Header(section, fProject.data().fUnits, true), 14);
  if (role == Qt::ToolTipRole) return fGrid->Header(section, fProject.data().fUnits);
  return {};
}

Qt::ItemFlags TProfileGridModel::flags(const QModelIndex &index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (fGrid->Editable(fProject.data(), index.row(), index.column())) flags |= Qt::ItemIsEditable;
  return flags;
}

bool TProfileGridModel::setData(const QModelIndex &index, const QVariant &value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  TProgramData &project = fProject.data();
  const TProjectSnapshot before = TProjectSnapshot::Capture(project);
  try {
    fGrid->SetText(project, index.row(), index.column(), value.toString());
  } catch (const EAssignError &e) {
    before.Restore(project);
    fRefused = true;
    if (OnRefused) OnRefused(e.message());
    return false;
  }
  if (TProjectSnapshot::Capture(project) == before) return true;
  // A model or depth changes other cells of the row and the next row's top.
  ValuesChanged();
  if (OnEdited) OnEdited();
  return true;
}

// ---------------------------------------------------------------- delegate

QWidget *TProfileGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                            const QModelIndex &index) const {
  const auto *model = qobject_cast<const TProfileGridModel *>(index.model());
  const QStringList choices = model ? model->Grid().Choices(index.column()) : QStringList();
  if (choices.isEmpty()) return QStyledItemDelegate::createEditor(parent, option, index);
  auto *box = new QComboBox(parent);
  box->addItems(choices);
  box->setMaxVisibleItems(static_cast<int>(choices.size()));
  return box;
}

void TProfileGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const {
  if (auto *box = qobject_cast<QComboBox *>(editor)) {
    box->setCurrentIndex(box->findText(index.data(Qt::EditRole).toString()));
    return;
  }
  QStyledItemDelegate::setEditorData(editor, index);
}

void TProfileGridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const {
  if (auto *box = qobject_cast<QComboBox *>(editor)) {
    if (box->currentIndex() >= 0) model->setData(index, box->currentText());
    return;
  }
  QStyledItemDelegate::setModelData(editor, model, index);
}

// ---------------------------------------------------------------- view

TProfileGridView::TProfileGridView(TSoilProfileGrid *window, QWidget *parent) : QTableView(parent), fWindow(window) {}

void TProfileGridView::moveDown() {
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return;
  QModelIndex next = model()->index(current.row() + 1, current.column());
  if (!next.isValid()) next = model()->index(0, current.column() + 1);
  if (next.isValid()) setCurrentIndex(next);
}

void TProfileGridView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) {
  QTableView::closeEditor(editor, hint);
  auto *grid = qobject_cast<TProfileGridModel *>(model());
  const bool refused = grid && grid->TakeRefused();
  if (hint == QAbstractItemDelegate::SubmitModelCache && !refused) moveDown();
}

void TProfileGridView::keyPressEvent(QKeyEvent *event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
    moveDown();
    return;
  }
  QTableView::keyPressEvent(event);
}

void TProfileGridView::cut() { fWindow->Cut(); }
void TProfileGridView::copy() { fWindow->Copy(); }
void TProfileGridView::paste() { fWindow->Paste(); }

// ---------------------------------------------------------------- window

TSoilProfileGrid::TSoilProfileGrid(const TProjectAccess &project, TEstimatesSource estimates, QWidget *parent)
    : TDataForm(project, QString::fromLatin1(kCaption), parent), fEstimates(std::move(estimates)) {
  fModel = new TProfileGridModel(fProject, this);
  fModel->OnEdited = [this] { edited(); };
  fModel->OnRefused = [this](const QString &message) { ShowInformation(this, message); };
  fView = new TProfileGridView(this);
  fView->setModel(fModel);
  fView->setItemDelegate(new TProfileGridDelegate(fView));
  fView->setSelectionMode(QAbstractItemView::ContiguousSelection);
  fView->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  fView->verticalHeader()->hide();
  fView->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  fView->setMinimumSize(480, 160);
  fLayout->insertWidget(fLayout->count() - 1, fView, 1);

  fNote = new QLabel(QStringLiteral("Values in blue italics, marked (*), were estimated by the program in the last "
                                    "run: the value entered is 0."));
  fNote->setWordWrap(true);
  fLayout->insertWidget(fLayout->count() - 1, fNote);
  auto *buttons = new QHBoxLayout;
  fCompact = new QCheckBox(QStringLiteral("Only the columns of the models in the profile"));
  fCompact->setFocusPolicy(Qt::NoFocus);
  connect(fCompact, &QCheckBox::toggled, this, [this] { LoadFromModel(); });
  fAdd = new QPushButton(QStringLiteral("Add Layer"));
  fInsert = new QPushButton(QStringLiteral("Insert Layer"));
  fDelete = new QPushButton(QStringLiteral("Delete Layer"));
  auto *copy = new QPushButton(QStringLiteral("Copy"));
  auto *paste = new QPushButton(QStringLiteral("Paste"));
  for (QPushButton *b : {fAdd, fInsert, fDelete, copy, paste}) {
    b->setFocusPolicy(Qt::NoFocus);  // the focus stays in the grid, on its current cell
    buttons->addWidget(b);
  }
  buttons->addStretch();
  buttons->addWidget(fCompact);
  fLayout->insertLayout(fLayout->count() - 1, buttons);
  connect(fAdd, &QPushButton::clicked, this, &TSoilProfileGrid::AddLayerClicked);
  connect(fInsert, &QPushButton::clicked, this, &TSoilProfileGrid::InsertLayerClicked);
  connect(fDelete, &QPushButton::clicked, this, &TSoilProfileGrid::DeleteLayerClicked);
  connect(copy, &QPushButton::clicked, this, &TSoilProfileGrid::Copy);
  connect(paste, &QPushButton::clicked, this, &TSoilProfileGrid::Paste);
  LoadFromModel();
}

void TSoilProfileGrid::LoadFromModel() {
  const QModelIndex current = fView->currentIndex();
  fShownModels = fCompact->isChecked() ? ModelsInProfile(data().Tables()) : std::vector<int>();
  fModel->Reload(fEstimates ? fEstimates() : TProfileEstimates(), fShownModels);
  fView->resizeColumnsToContents();
  fView->resizeRowsToContents();
  if (current.isValid())
    fView->setCurrentIndex(fModel->index(std::min(current.row(), fModel->rowCount() - 1),
                                         std::min(current.column(), fModel->columnCount() - 1)));
  fNote->setVisible(ShowsEstimates());
  const int rows = fModel->rowCount();
  fAdd->setEnabled(rows < kMaxLayers);
  fInsert->setEnabled(rows >= 1 && rows < kMaxLayers);
  fDelete->setEnabled(rows > 1);
}

bool TSoilProfileGrid::ShowsEstimates() const {
  return std::any_of(fModel->Estimates().begin(), fModel->Estimates().end(),
                     [](const auto &layer) { return !layer.empty(); });
}

void TSoilProfileGrid::edited() {
  if (fProject.commit)
    fProject.commit(QString::fromLatin1(kCaption));
  else
    fProject.markChanged();
  // A layer of another model brings its columns (once the edit is done).
  if (fCompact->isChecked() && ModelsInProfile(data().Tables()) != fShownModels)
    QTimer::singleShot(0, this, [this] { LoadFromModel(); });
}

QRect TSoilProfileGrid::selectedBlock() const {
  const QModelIndexList selected = fView->selectionModel()->selectedIndexes();
  if (selected.isEmpty()) return {0, 0, fModel->columnCount(), fModel->rowCount()};
  int top = selected.front().row(), bottom = top, left = selected.front().column(), right = left;
  for (const QModelIndex &i : selected) {
    top = std::min(top, i.row());
    bottom = std::max(bottom, i.row());
    left = std::min(left, i.column());
    right = std::max(right, i.column());
  }
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

void TSoilProfileGrid::Copy() {
  const QRect block = selectedBlock();
  QApplication::clipboard()->setText(fModel->Grid().Copy(data(), fModel->Estimates(), block.top(), block.left(),
                                                         block.bottom(), block.right(), true));
}

void TSoilProfileGrid::Paste() { PasteText(QApplication::clipboard()->text()); }

bool TSoilProfileGrid::PasteText(const QString &text) {
  const QModelIndex current = fView->currentIndex();
  const int row = current.isValid() ? current.row() : 0;
  const int column = current.isValid() ? current.column() : 0;
  TProgramData &project = data();
  const TProjectSnapshot before = TProjectSnapshot::Capture(project);
  try {
    fModel->Grid().Paste(project, row, column, text);
  } catch (const EAssignError &e) {
    before.Restore(project);
    ShowInformation(this, e.message());
    return false;
  }
  if (!(TProjectSnapshot::Capture(project) == before)) edited();
  LoadFromModel();
  return true;
}

void TSoilProfileGrid::Cut() {
  Copy();
  const QRect block = selectedBlock();
  TProgramData &project = data();
  const TProfileGrid &grid = fModel->Grid();
  const TProjectSnapshot before = TProjectSnapshot::Capture(project);
  for (int row = block.top(); row <= block.bottom(); ++row)
    for (int c = block.left(); c <= block.right(); ++c)
      if (grid.Columns()[static_cast<std::size_t>(c)].Kind == TProfileColumnKind::Property && grid.Choices(c).isEmpty() &&
          grid.Editable(project, row, c))
        grid.SetText(project, row, c, QStringLiteral("0"));
  if (!(TProjectSnapshot::Capture(project) == before)) edited();
  fModel->ValuesChanged();
}

void TSoilProfileGrid::layerCommand(const std::function<bool(TProjectTables &, int row)> &command) {
  const QModelIndex current = fView->currentIndex();
  const int row = current.isValid() ? current.row() : 0;
  if (command(data().Tables(), row)) edited();
  LoadFromModel();
}

void TSoilProfileGrid::AddLayerClicked() {
  const methods::MethodSet set = ProjectMethodSet(data());
  layerCommand([set](TProjectTables &tables, int) { return AddLayer(tables, set); });
  fView->setCurrentIndex(fModel->index(fModel->rowCount() - 1, 1));
}

void TSoilProfileGrid::InsertLayerClicked() {
  const methods::MethodSet set = ProjectMethodSet(data());
  layerCommand([set](TProjectTables &tables, int row) { return InsertLayer(tables, row, set); });
}

void TSoilProfileGrid::DeleteLayerClicked() {
  // The project keeps at least one layer.
  layerCommand([](TProjectTables &tables, int row) { return tables.D.RowCount() > 1 && DeleteLayer(tables, row); });
}

}  // namespace pylar
