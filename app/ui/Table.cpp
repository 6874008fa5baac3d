#include "ui/Table.h"

#include "ui/Messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QTimer>
#include <QVBoxLayout>

namespace pylar {

// ---------------------------------------------------------------- TTableGrid

void TTableGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
  // The base class first hands an open editor's text to the cell.
  QTableWidget::currentChanged(current, previous);
  if (previous.isValid()) emit cellLeft(previous.row(), previous.column());
}

void TTableGrid::MoveNext() {
  if (rowCount() == 0 || columnCount() == 0) return;
  int row = std::max(currentRow(), 0);
  int column = std::max(currentColumn(), 0);
  if (row + 1 < rowCount()) {
    ++row;
  } else {
    row = 0;
    column = column + 1 < columnCount() ? column + 1 : 0;
  }
  setCurrentCell(row, column);
}

void TTableGrid::FinishEditing() {
  if (state() != EditingState) return;
  QWidget *editor = QApplication::focusWidget();
  if (editor && viewport()->isAncestorOf(editor)) {
    commitData(editor);
    QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

void TTableGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) {
  QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
  if (hint == QAbstractItemDelegate::SubmitModelCache) MoveNext();  // Enter in the editor
}

void TTableGrid::keyPressEvent(QKeyEvent *event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
    MoveNext();
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

// ---------------------------------------------------------------- TTableForm

TTableForm::TTableForm(TGridTable &table, QWidget *parent) : QDialog(parent), fTable(&table) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QStringLiteral("TableForm"));
  const int margin = std::max(1, logicalDpiX() / 20);

  fGrid = new TTableGrid(this);
  fGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  fGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  fGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  fGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                         QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  fGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  fGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  fGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  fGrid->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  if (auto *corner = fGrid->findChild<QAbstractButton *>()) corner->installEventFilter(this);
  connect(fGrid, &TTableGrid::cellLeft, this, [this](int row, int column) {
    if (fReverting) return;
    if (!commitCell(row, column)) {
      // The selection stays on the rejected cell.
      fReverting = true;
      fGrid->setCurrentCell(row, column);
      fReverting = false;
    }
  });

  fAdd = new QPushButton(QStringLiteral("&Add Row"), this);
  fInsert = new QPushButton(QStringLiteral("&Insert Row"), this);
  fDelete = new QPushButton(QStringLiteral("&Delete Row"), this);
  for (QPushButton *button : {fAdd, fInsert, fDelete}) button->setAutoDefault(false);
  connect(fAdd, &QPushButton::clicked, this, &TTableForm::AddRowClick);
  connect(fInsert, &QPushButton::clicked, this, &TTableForm::InsertRowClick);
  connect(fDelete, &QPushButton::clicked, this, &TTableForm::DeleteRowClick);

  fComments = new QLabel(this);
  fComments->setWordWrap(false);
  fPicture = new QLabel(this);

  auto *buttons = new QHBoxLayout;
  buttons->addWidget(fAdd);
  buttons->addWidget(fInsert);
  buttons->addWidget(fDelete);
  buttons->addStretch();

  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(margin, margin, margin, margin);
  layout->setSpacing(margin);
  layout->addWidget(fGrid);
  layout->addLayout(buttons);
  layout->addWidget(fComments);
  layout->addWidget(fPicture);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

TTableForm::~TTableForm() {
  if (fTable) {
    fTable->DetachView(this);
    if (fTable->OnHide) fTable->OnHide();
  }
}

int TTableForm::TableColumn(int gridColumn) const {
  if (gridColumn < 0 || gridColumn >= static_cast<int>(fVisibleColumns.size()))
    throw EGridError(QStringLiteral("Index out of bounds"));
  return fVisibleColumns[static_cast<size_t>(gridColumn)];
}

void TTableForm::showView(bool modal) {
  if (!fTable) return;
  if (fTable->RowCount() < fTable->MinRows()) fTable->SetRowCount(fTable->MinRows());
  Refresh();
  if (fTable->FormParent) {
    setParent(fTable->FormParent, Qt::Widget);
    move(0, 0);
  }
  if (modal && !fTable->FormParent) {
    fModal = true;
    exec();
    return;
  }
  fModal = false;
  show();
  raise();
}

void TTableForm::hideView() { close(); }

void TTableForm::tableChanged() {
  // Refresh once the current event is handled: the change may come from a
  // combo box of this window that a refresh would replace.
  if (fRefreshPending) return;
  fRefreshPending = true;
  QTimer::singleShot(0, this, [this] {
    fRefreshPending = false;
    if (fTable) Refresh();
  });
}

void TTableForm::tableDestroyed() {
  fTable = nullptr;
  fVisibleColumns.clear();
  fGrid->setRowCount(0);
  fGrid->setColumnCount(0);
  hide();
  deleteLater();
}

void TTableForm::Refresh() {
  if (!fTable) return;
  const QString path = fTable->IdPath();
  setWindowTitle(path.isEmpty() ? fTable->Caption : fTable->Caption + ' ' + path);

  fVisibleColumns.clear();
  for (int c = 0; c < fTable->ColCount(); ++c)
    if (fTable->Column(c).Visible) fVisibleColumns.push_back(c);
  const int columns = static_cast<int>(fVisibleColumns.size());
  const int rows = fTable->RowCount();
  const int headingRows = fTable->HeadingRows();

  // Rebuilding moves no cell: no commit, and the current cell stays.
  const int currentRow = fGrid->currentRow();
  const int currentColumn = fGrid->currentColumn();
  const QScopedValueRollback<bool> noCommit(fReverting, true);
  fGrid->clear();
  fGrid->setColumnCount(columns);
  fGrid->setRowCount(rows);
  QStringList headings;
  for (int g = 0; g < columns; ++g) {
    const TColumn &column = fTable->Column(fVisibleColumns[static_cast<size_t>(g)]);
    QStringList lines;
    for (int line = 0; line < headingRows; ++line)
      lines << column.GetDisplayHeadings(line).trimmed();
    headings << lines.join('\n');
  }
  fGrid->setHorizontalHeaderLabels(headings);
  QStringList rowNumbers;
  for (int r = 0; r < rows; ++r) rowNumbers << QString::number(r / fTable->RowGroup() + 1);
  fGrid->setVerticalHeaderLabels(rowNumbers);

  for (int g = 0; g < columns; ++g) {
    const TColumn &column = fTable->Column(fVisibleColumns[static_cast<size_t>(g)]);
    for (int r = 0; r < rows; ++r) {
      auto *item = new QTableWidgetItem;
      if (column.HasControl()) {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      } else {
        item->setText(column.GetStringValue(r));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      fGrid->setItem(r, g, item);
    }
  }
  placeControls();
  if (currentRow >= 0 && currentRow < rows && currentColumn >= 0 && currentColumn < columns)
    fGrid->setCurrentCell(currentRow, currentColumn);

  fComments->setText(QString(fTable->Comments).replace('\r', '\n'));
  fComments->setVisible(!fTable->Comments.isEmpty());
  fPicture->setPixmap(QPixmap::fromImage(fTable->HelpPicture()));
  fPicture->setVisible(!fTable->HelpPicture().isNull());
  updateButtons();
  fitSize();
}

void TTableForm::refreshTexts() {
  for (int g = 0; g < fGrid->columnCount(); ++g) {
    const TColumn &column = fTable->Column(TableColumn(g));
    if (column.HasControl()) continue;
    for (int r = 0; r < std::min(fGrid->rowCount(), fTable->RowCount()); ++r)
      if (QTableWidgetItem *item = fGrid->item(r, g)) item->setText(column.GetStringValue(r));
  }
}

void TTableForm::placeControls() {
  for (int g = 0; g < fGrid->columnCount(); ++g) {
    const int tableColumn = TableColumn(g);
    TColumn &column = fTable->Column(tableColumn);
    if (auto *names = dynamic_cast<TEnumColumn *>(&column)) {
      for (int r = 0; r < fTable->RowCount(); ++r) {
        auto *combo = new QComboBox;
        combo->addItems(names->Names);
        combo->setMaxVisibleItems(11);
        combo->setCurrentIndex(names->GetIntValue(r) - 1);
        connect(combo, &QComboBox::activated, this, [this, tableColumn, r](int index) {
          if (!fTable || r >= fTable->RowCount()) return;
          fTable->SetIntValue(tableColumn, r, index + 1);
          fTable->SetChanged(true);
        });
        fGrid->setIndexWidget(fGrid->model()->index(r, g), combo);
      }
    } else if (auto *tables = dynamic_cast<TTableColumn *>(&column)) {
      for (int r = 0; r < fTable->RowCount(); ++r) {
        auto *button = new QPushButton(tables->ButtonCaption(r));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, tableColumn, r] {
          if (!fTable || r >= fTable->RowCount()) return;
          if (auto *t = dynamic_cast<TTableColumn *>(&fTable->Column(tableColumn))) t->ButtonClick(r);
        });
        fGrid->setIndexWidget(fGrid->model()->index(r, g), button);
      }
    }
  }
}

void TTableForm::fitSize() {
  const QFontMetrics metrics = fGrid->fontMetrics();
  const int dpi = logicalDpiX();
  int width = 0;
  for (int g = 0; g < fGrid->columnCount(); ++g) {
    const TColumn &column = fTable->Column(TableColumn(g));
    int columnWidth = column.GetWidth(metrics, dpi);
    if (const auto *tables = dynamic_cast<const TTableColumn *>(&column))
      for (int r = 0; r < fTable->RowCount(); ++r)
        columnWidth = std::max(columnWidth, metrics.horizontalAdvance(tables->ButtonCaption(r)) + metrics.averageCharWidth() * 4);
    fGrid->setColumnWidth(g, columnWidth);
    width += columnWidth;
  }
  const int firstColumn =
      std::max(metrics.horizontalAdvance(fTable->TopLeft + QStringLiteral("  ")) + 8, dpi / 3);
  fGrid->verticalHeader()->setFixedWidth(firstColumn);
  const int visibleRows = std::min(fTable->RowCount(), kMaxVisibleRows);
  int height = fGrid->horizontalHeader()->sizeHint().height();
  for (int r = 0; r < visibleRows; ++r) height += fGrid->rowHeight(r);
  const int frame = 2 * fGrid->frameWidth();
  if (fTable->RowCount() > kMaxVisibleRows) width += fGrid->verticalScrollBar()->sizeHint().width();
  fGrid->setFixedSize(width + firstColumn + frame, height + frame);
}

void TTableForm::updateButtons() {
  const bool rowButtons = fTable->MinRows() != fTable->MaxRows();
  const bool belowMax = fTable->MaxRows() == 0 || fTable->RowCount() < fTable->MaxRows();
  for (QPushButton *button : {fAdd, fInsert, fDelete}) button->setVisible(rowButtons);
  fAdd->setEnabled(belowMax);
  fInsert->setEnabled(belowMax);
  fDelete->setEnabled(fTable->MinRows() < fTable->RowCount());
}

bool TTableForm::commitCell(int row, int gridColumn) {
  if (!fTable || fCommitting || row < 0 || row >= fTable->RowCount() || gridColumn < 0 ||
      gridColumn >= static_cast<int>(fVisibleColumns.size()))
    return true;
  TColumn &column = fTable->Column(TableColumn(gridColumn));
  QTableWidgetItem *item = fGrid->item(row, gridColumn);
  if (column.HasControl() || !item) return true;
  // Only an edited text is written: passing through a cell must not round its
  // value to the digits shown.
  const QString text = item->text();
  if (text == column.GetStringValue(row)) return true;
  fCommitting = true;
  bool committed = true;
  try {
    column.SetStringValue(row, text);
    fTable->SetChanged(true);
    refreshTexts();
  } catch (const EPylarError &e) {
    committed = false;
    ShowInformation(this, e.message());
  }
  fCommitting = false;
  return committed;
}

bool TTableForm::CommitCurrentCell() {
  fGrid->FinishEditing();
  return commitCell(fGrid->currentRow(), fGrid->currentColumn());
}

bool TTableForm::currentRowValid(int &row) {
  row = fGrid->currentRow();
  if (row < 0 || row >= fTable->RowCount()) {
    ShowInformation(this, QStringLiteral("Grid.Row not in valid range"));
    return false;
  }
  return true;
}

void TTableForm::AddRowClick() {
  if (!fTable || !CommitCurrentCell()) return;
  fTable->AddRowGroup();
  fTable->SetChanged(true);
  Refresh();
  fGrid->scrollToBottom();
}

void TTableForm::InsertRowClick() {
  int row;
  if (!fTable || !CommitCurrentCell() || !currentRowValid(row)) return;
  fTable->InsertRowGroup(row);
  fTable->SetChanged(true);
  Refresh();
}

void TTableForm::DeleteRowClick() {
  int row;
  if (!fTable || !CommitCurrentCell() || !currentRowValid(row)) return;
  fTable->DeleteRowGroup(row);
  fTable->SetChanged(true);
  Refresh();
}

void TTableForm::reject() {
  if (CommitCurrentCell()) QDialog::reject();
}

void TTableForm::closeEvent(QCloseEvent *event) {
  if (!CommitCurrentCell()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TTableForm::changeEvent(QEvent *event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow() && !fModal && isVisible() &&
      !fCommitting) {
    if (!CommitCurrentCell()) {
      show();
      raise();
      activateWindow();
    }
  }
}

bool TTableForm::eventFilter(QObject *watched, QEvent *event) {
  // The top-left cell shows the table's TopLeft text.
  auto *corner = qobject_cast<QAbstractButton *>(watched);
  if (corner && event->type() == QEvent::Paint && fTable) {
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.rect = corner->rect();
    option.text = fTable->TopLeft;
    option.textAlignment = Qt::AlignCenter;
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.orientation = Qt::Horizontal;
    QPainter painter(corner);
    corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void InstallTableForms() {
  TGridTable::SetViewFactory([](TGridTable &table) -> ITableView * {
    return new TTableForm(table, table.FormParent);
  });
}

}  // namespace pylar
