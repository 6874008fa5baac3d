#include "Table.h"

#include <algorithm>

namespace pylar {

namespace {

TGridTable::ViewFactory &viewFactory() {
  static TGridTable::ViewFactory factory;
  return factory;
}

[[noreturn]] void outOfBounds() { throw EGridError(QStringLiteral("Index out of bounds")); }

}  // namespace

// ---------------------------------------------------------------- registry

TGridTableRegistry &TGridTableRegistry::instance() {
  static TGridTableRegistry registry;
  return registry;
}

int TGridTableRegistry::add(TGridTable *table) {
  // The next counter value that no table holds, so identifiers stay unique
  // and a template is never confused with a table created later.
  while (FindByIdentifier(fCounter)) ++fCounter;
  fTables.push_back(table);
  return fCounter++;
}

void TGridTableRegistry::remove(TGridTable *table) { std::erase(fTables, table); }

TGridTable *TGridTableRegistry::TableAt(int index) const {
  return index >= 0 && index < Count() ? fTables[static_cast<size_t>(index)] : nullptr;
}

int TGridTableRegistry::IndexOf(const TGridTable *table) const {
  const auto it = std::find(fTables.begin(), fTables.end(), table);
  return it == fTables.end() ? -1 : static_cast<int>(it - fTables.begin());
}

int TGridTableRegistry::IndexOfIdentifier(int identifier) const {
  for (size_t i = 0; i < fTables.size(); ++i)
    if (fTables[i]->Identifier() == identifier) return static_cast<int>(i);
  return -1;
}

TGridTable *TGridTableRegistry::FindByIdentifier(int identifier) const {
  return TableAt(IndexOfIdentifier(identifier));
}

// ---------------------------------------------------------------- TGridTable

TGridTable::TGridTable(TGridTable *ownerTable)
    : fOwner(ownerTable), fUnits(ownerTable ? ownerTable->Units() : kUnitsEnglish) {
  fIdentifier = TGridTableRegistry::instance().add(this);
}

TGridTable::~TGridTable() {
  if (ITableView *view = std::exchange(fForm, nullptr)) view->tableDestroyed();
  fColumns.clear();
  TGridTableRegistry::instance().remove(this);
}

std::unique_ptr<TGridTable> TGridTable::CreateCopy(TGridTable *owner, int rowNumber,
                                                   const TGridTable &source) {
  auto copy = std::make_unique<TGridTable>(owner);
  copy->Caption = source.Caption;
  copy->Comments = source.Comments;
  copy->TopLeft = source.TopLeft;
  copy->fHelpPicture = source.fHelpPicture;
  copy->fMinRows = source.fMinRows;
  copy->fMaxRows = source.fMaxRows;
  for (const auto &column : source.fColumns) copy->fColumns.push_back(column->Clone(copy.get()));
  copy->fId = rowNumber;
  copy->fSource = &source;
  copy->SetRowCount(copy->fMinRows);
  return copy;
}

void TGridTable::SetIdentifier(int identifier) {
  if (identifier == fIdentifier) return;
  if (TGridTable *other = TGridTableRegistry::instance().FindByIdentifier(identifier))
    other->fIdentifier = fIdentifier;
  fIdentifier = identifier;
}

void TGridTable::SetID(int id) {
  if (id == fId) return;
  fId = id;
  viewChanged();
}

QString TGridTable::IdPath() const {
  if (!fOwner) return QString();
  const QString ownerPath = fOwner->IdPath();
  return ownerPath.isEmpty() ? QString::number(fId) : ownerPath + ' ' + QString::number(fId);
}

void TGridTable::SetMinRows(int value) {
  if (value <= 0) throw EGridError(QStringLiteral("Value must be greater than 0"));
  fMinRows = value;
}

void TGridTable::SetHelpPicture(const QImage &picture) {
  fHelpPicture = picture;
  viewChanged();
}

TColumn &TGridTable::InsertColumn(int iColumn, std::unique_ptr<TColumn> column) {
  if (!column || column->Table() != this)
    throw EGridError(QStringLiteral("Column belongs to another table"));
  iColumn = std::clamp(iColumn, 0, ColCount());
  if (column->Count() < fRowCount) column->InsertValues(column->Count(), fRowCount - column->Count());
  TColumn &added = *column;
  fColumns.insert(fColumns.begin() + iColumn, std::move(column));
  viewChanged();
  return added;
}

TColumn &TGridTable::Column(int index) const {
  if (index < 0 || index >= ColCount()) outOfBounds();
  return *fColumns[static_cast<size_t>(index)];
}

int TGridTable::IndexOf(const TColumn *column) const {
  for (size_t i = 0; i < fColumns.size(); ++i)
    if (fColumns[i].get() == column) return static_cast<int>(i);
  return -1;
}

int TGridTable::HeadingRows() const {
  int rows = 0;
  for (const auto &column : fColumns)
    if (column->Visible) rows = std::max(rows, column->GetDisplayHeadingCount());
  return rows;
}

TTableColumn *TGridTable::firstTableColumn() const {
  for (const auto &column : fColumns)
    if (auto *t = dynamic_cast<TTableColumn *>(column.get())) return t;
  return nullptr;
}

void TGridTable::checkRow(int row) const {
  if (row < 0 || row >= fRowCount) outOfBounds();
}

void TGridTable::insertRows(int firstRow, int count) {
  if (count <= 0) return;
  if (fRowCount + count > kMaxGridRows) throw EGridError(QStringLiteral("Too many rows"));
  for (auto &column : fColumns) column->InsertValues(firstRow, count);
  fRowCount += count;
  // New rows of a (top, bottom) depth pair take the depth at their position,
  // so the chain of layers stays continuous.
  for (int c = 0; c + 1 < ColCount(); ++c) {
    auto *top = dynamic_cast<TFloatColumn *>(fColumns[static_cast<size_t>(c)].get());
    auto *bottom = dynamic_cast<TFloatColumn *>(fColumns[static_cast<size_t>(c + 1)].get());
    if (!top || !bottom || !top->TopDepth) continue;
    Extended depth;
    if (firstRow > 0)
      depth = bottom->GetFloatValue(firstRow - 1);
    else if (firstRow + count < fRowCount)
      depth = top->GetFloatValue(firstRow + count);
    else
      continue;
    for (int r = firstRow; r < firstRow + count; ++r) {
      top->SetRaw(r, depth);
      bottom->SetRaw(r, depth);
    }
  }
  for (auto &column : fColumns)
    if (auto *t = dynamic_cast<TTableColumn *>(column.get())) t->RenumberRows(firstRow);
}

void TGridTable::deleteRow(int row) {
  checkRow(row);
  // The next row of a depth pair starts where the deleted row started.
  for (int c = 0; c + 1 < ColCount(); ++c) {
    auto *top = dynamic_cast<TFloatColumn *>(fColumns[static_cast<size_t>(c)].get());
    if (top && top->TopDepth && row + 1 < fRowCount &&
        dynamic_cast<TFloatColumn *>(fColumns[static_cast<size_t>(c + 1)].get()))
      top->SetRaw(row + 1, top->GetFloatValue(row));
  }
  for (auto &column : fColumns) column->DeleteValue(row);
  --fRowCount;
  for (auto &column : fColumns)
    if (auto *t = dynamic_cast<TTableColumn *>(column.get())) t->RenumberRows(row);
}

void TGridTable::SetRowCount(int count) {
  count = std::max(count, 0);
  if (count > kMaxGridRows) throw EGridError(QStringLiteral("Too many rows"));
  if (count > fRowCount) insertRows(fRowCount, count - fRowCount);
  while (fRowCount > count) deleteRow(fRowCount - 1);
  viewChanged();
}

void TGridTable::AddRowGroup() {
  insertRows(fRowCount, fRowGroup);
  viewChanged();
}

void TGridTable::InsertRowGroup(int iRow) {
  if (iRow < 0 || iRow > fRowCount) outOfBounds();
  insertRows(iRow / fRowGroup * fRowGroup, fRowGroup);
  viewChanged();
}

void TGridTable::DeleteRowGroup(int index) {
  checkRow(index);
  const int first = index / fRowGroup * fRowGroup;
  const int count = std::min(fRowGroup, fRowCount - first);
  for (int k = 0; k < count; ++k) deleteRow(first);
  viewChanged();
}

bool TGridTable::CellExists(int iCol, int iRow) const {
  return iCol >= 0 && iCol < ColCount() && iRow >= 0 && iRow < fRowCount;
}

TData &TGridTable::Data(int iCol, int iRow) const { return Column(iCol).DataAt(iRow); }

TGridTable *TGridTable::GetDataValue(int iCol, int iRow) const {
  return Column(iCol).GetDataValue(iRow);
}

Extended TGridTable::GetFloatValue(int iCol, int iRow) const {
  return Column(iCol).GetFloatValue(iRow);
}

void TGridTable::SetFloatValue(int iCol, int iRow, Extended value) {
  Column(iCol).SetFloatValue(iRow, value);
}

int TGridTable::GetIntValue(int iCol, int iRow) const { return Column(iCol).GetIntValue(iRow); }

void TGridTable::SetIntValue(int iCol, int iRow, int value) { Column(iCol).SetIntValue(iRow, value); }

QString TGridTable::GetStringValue(int iCol, int iRow) const {
  return Column(iCol).GetStringValue(iRow);
}

void TGridTable::SetStringValue(int iCol, int iRow, const QString &text) {
  Column(iCol).SetStringValue(iRow, text);
}

void TGridTable::ColumnValueChanged(TColumn *column, int row, bool valueDiffers) {
  const int index = IndexOf(column);
  if (index < 0) return;
  // A new kind in the first (enumeration) column gets its own sub-table; the
  // same kind written again keeps the row's values.
  if (index == 0 && valueDiffers && dynamic_cast<TEnumColumn *>(column)) {
    if (TTableColumn *tables = firstTableColumn(); tables && row < tables->Count())
      tables->RebuildRow(row);
  }
  if (OnCellChange) OnCellChange(index, row);
  viewChanged();
}

void TGridTable::SetUnits(int units) {
  units = std::clamp(units, kUnitsEnglish, kUnitsSI);
  if (units == fUnits) return;
  for (auto &column : fColumns) column->SetUnits(fUnits, units);
  fUnits = units;
  viewChanged();
  if (OnMajorChange) OnMajorChange();
}

bool TGridTable::Changed() const {
  if (fChanged) return true;
  return std::any_of(fColumns.begin(), fColumns.end(), [](const auto &c) { return c->GetChanged(); });
}

void TGridTable::ResetChanged() {
  fChanged = false;
  for (auto &column : fColumns) column->ResetColumnChanged();
}

void TGridTable::SetViewFactory(ViewFactory factory) { viewFactory() = std::move(factory); }

void TGridTable::show(bool modal) {
  if (std::none_of(fColumns.begin(), fColumns.end(), [](const auto &c) { return c->Visible; })) return;
  if (!fForm) {
    if (!viewFactory()) return;
    fForm = viewFactory()(*this);
    if (!fForm) return;
  }
  fForm->showView(modal);
}

void TGridTable::Show() { show(false); }
void TGridTable::ShowModal() { show(true); }

void TGridTable::Hide() {
  for (auto &column : fColumns) column->HideTables();
  if (fForm) fForm->hideView();
}

bool TGridTable::IsModal() const { return fForm && fForm->isViewModal(); }
bool TGridTable::FormVisible() const { return fForm && fForm->isViewVisible(); }

void TGridTable::Update() {
  if (FormVisible()) fForm->tableChanged();
}

void TGridTable::DetachView(ITableView *view) {
  if (fForm == view) fForm = nullptr;
}

void TGridTable::viewChanged() {
  if (fForm) fForm->tableChanged();
}

void TGridTable::WriteColumns(TValueWriter &writer) const {
  writer.writeInteger(ColCount());
  for (const auto &column : fColumns) column->WriteToStream(writer);
}

void TGridTable::ReadColumns(TValueReader &reader) {
  int count = 0;
  try {
    count = reader.readInteger();
  } catch (const EPylarError &) {
    count = -1;
  }
  if (count < 0) throw EGridError(QStringLiteral("Error reading column count"));
  fColumns.clear();
  for (int i = 0; i < count; ++i) {
    try {
      const auto factory = TColumnTypeRegistry::instance().FindClass(reader.readInteger());
      if (!factory) throw EGridError(QStringLiteral("Error Column Class not defined"));
      std::unique_ptr<TColumn> column = factory(this);
      column->ReadFromStream(reader);
      if (auto *tables = dynamic_cast<TTableColumn *>(column.get())) tables->FitTemplates();
      InsertColumn(ColCount(), std::move(column));
    } catch (const EPylarError &e) {
      throw EGridError(QStringLiteral("Error occured when creating column %1: %2").arg(i).arg(e.message()));
    }
  }
  viewChanged();
}

QByteArray TGridTable::SaveColumns() const {
  TValueWriter writer;
  WriteColumns(writer);
  return writer.data();
}

void TGridTable::LoadColumns(const QByteArray &data) {
  TValueReader reader(data);
  ReadColumns(reader);
}

}  // namespace pylar
