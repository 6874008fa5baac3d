#include "ColumnTypes.h"

#include "Table.h"

#include <QFontMetrics>

#include <cmath>
#include <limits>

namespace pylar {

namespace {

[[noreturn]] void wrongType() { throw EGridError(QStringLiteral("Data of wrong type")); }

// Sub-tables nest through templates; a definition whose templates refer back
// to themselves must not recurse without end.
constexpr int kMaxTableNesting = 8;

int nestingDepth(const TGridTable *table) {
  int depth = 0;
  for (; table && table->OwnerTable(); table = table->OwnerTable()) ++depth;
  return depth;
}

// A template that is the table itself, or one of the tables (or their
// templates) it lies within: copying it would copy it again in every row of
// the copy, many times over at each level.
bool nestsInItself(const TGridTable *table, const TGridTable *source) {
  for (const TGridTable *t = table; t; t = t->OwnerTable())
    if (t == source || t->Source() == source) return true;
  return false;
}

bool isWhole32(Extended v) {
  return v == std::trunc(v) && v >= -2147483648.0L && v <= 2147483647.0L;
}

}  // namespace

// ---------------------------------------------------------------- TData

TGridTable *TData::Table() const { return fBaseCol->Table(); }
int TData::Row() const { return fBaseCol->RowOf(this); }
TGridTable *TData::Data() const { return fBaseCol->GetDataValue(Row()); }
Extended TData::Float() const { return fBaseCol->GetFloatValue(Row()); }
void TData::SetFloat(Extended value) { fBaseCol->SetFloatValue(Row(), value); }
int TData::Int() const { return fBaseCol->GetIntValue(Row()); }
void TData::SetInt(int value) { fBaseCol->SetIntValue(Row(), value); }
QString TData::Value() const { return fBaseCol->GetStringValue(Row()); }
void TData::SetValue(const QString &value) { fBaseCol->SetStringValue(Row(), value); }

// ---------------------------------------------------------------- TGridTableList

TGridTable *TGridTableList::Table(int i) const {
  if (i < 0 || i >= Count()) return nullptr;
  const Ref &ref = fRefs[static_cast<size_t>(i)];
  if (ref.byIndex) return TGridTableRegistry::instance().TableAt(ref.value);
  if (ref.value < 0) return nullptr;
  return TGridTableRegistry::instance().FindByIdentifier(ref.value);
}

int TGridTableList::Identifier(int i) const {
  const TGridTable *table = Table(i);
  return table ? table->Identifier() : -1;
}

// ---------------------------------------------------------------- TColumn

TColumn::TColumn(TGridTable *table) : fTable(table) {}
TColumn::~TColumn() = default;

void TColumn::checkRow(int row) const {
  if (row < 0 || row >= Count()) throw EGridError(QStringLiteral("Index out of bounds"));
}

TData &TColumn::DataAt(int row) {
  checkRow(row);
  return *fData[static_cast<size_t>(row)];
}

int TColumn::RowOf(const TData *data) const {
  for (size_t i = 0; i < fData.size(); ++i)
    if (fData[i].get() == data) return static_cast<int>(i);
  return -1;
}

void TColumn::InsertValues(int firstRow, int count) {
  if (count <= 0) return;
  firstRow = std::clamp(firstRow, 0, Count());
  for (int k = 0; k < count; ++k)
    fData.insert(fData.begin() + firstRow + k, std::make_unique<TData>(this));
  InsertStorage(firstRow, count);
}

void TColumn::DeleteValue(int row) {
  checkRow(row);
  fData.erase(fData.begin() + row);
  EraseStorage(row);
}

int TColumn::GetDisplayHeadingCount() const { return static_cast<int>(Heading.size()); }

QString TColumn::GetDisplayHeadings(int line) const {
  return line >= 0 && line < Heading.size() ? Heading[line] : QString();
}

TGridTable *TColumn::GetDataValue(int) const { wrongType(); }
Extended TColumn::GetFloatValue(int) const { wrongType(); }
void TColumn::SetFloatValue(int, Extended) { wrongType(); }
int TColumn::GetIntValue(int) const { wrongType(); }
void TColumn::SetIntValue(int, int) { wrongType(); }
std::shared_ptr<void> TColumn::GetObjValue(int) const { wrongType(); }
QString TColumn::GetStringValue(int row) const {
  checkRow(row);
  return QString();
}
void TColumn::SetStringValue(int row, const QString &) { checkRow(row); }
void TColumn::SetUnits(int, int) {}

int TColumn::GetWidth(const QFontMetrics &metrics, int dotsPerInch) const {
  int width = 0;
  for (int line = 0; line < GetDisplayHeadingCount(); ++line)
    width = std::max(width, metrics.horizontalAdvance(GetDisplayHeadings(line) + QStringLiteral("  ")));
  return std::max(width, static_cast<int>(std::lround(MinWidthInches() * dotsPerInch)));
}

int TColumn::RowGroup() const { return fTable ? fTable->RowGroup() : 1; }

std::unique_ptr<TColumn> TColumn::Clone(TGridTable *newOwner) const {
  const auto &registry = TColumnTypeRegistry::instance();
  const auto factory = registry.FindClass(registry.FindId(*this));
  if (!factory) throw EGridError(QStringLiteral("Error Column Class not defined"));
  std::unique_ptr<TColumn> copy = factory(newOwner);
  copy->Heading = Heading;
  copy->Visible = Visible;
  copy->SameGroup = SameGroup;
  copy->CopyKindData(*this);
  return copy;
}

void TColumn::WriteToStream(TValueWriter &writer) const {
  writer.writeInteger(TColumnTypeRegistry::instance().FindId(*this));
  writer.writeListBegin();
  for (const QString &line : Heading) writer.writeString(line);
  writer.writeListEnd();
  writer.writeBoolean(Visible);
  writer.writeBoolean(SameGroup);
  WriteKindData(writer);
}

void TColumn::ReadFromStream(TValueReader &reader) {
  Heading.clear();
  reader.readListBegin();
  while (!reader.endOfList()) Heading << reader.readString();
  Visible = reader.readBoolean();
  SameGroup = reader.readBoolean();
  ReadKindData(reader);
}

void TColumn::notifyChanged(int row, bool valueDiffers) {
  if (OnCellChange) OnCellChange(row);
  if (fTable) fTable->ColumnValueChanged(this, row, valueDiffers);
}

int TColumn::GetEnumCount() const {
  const auto *e = dynamic_cast<const TEnumColumn *>(this);
  return e ? static_cast<int>(e->Names.size()) : 0;
}

QString TColumn::GetEnumStr(int i) const {
  const auto *e = dynamic_cast<const TEnumColumn *>(this);
  return e && i >= 0 && i < e->Names.size() ? e->Names[i] : QString();
}

// ---------------------------------------------------------------- TEnumColumn

int TEnumColumn::GetIntValue(int row) const {
  checkRow(row);
  return fValues[static_cast<size_t>(row)];
}

void TEnumColumn::SetIntValue(int row, int value) {
  checkRow(row);
  int &stored = fValues[static_cast<size_t>(row)];
  const bool differs = stored != value;
  stored = value;
  notifyChanged(row, differs);
}

QString TEnumColumn::GetStringValue(int row) const { return QString::number(GetIntValue(row)); }

void TEnumColumn::SetStringValue(int row, const QString &text) {
  checkRow(row);
  const Extended value = EvaluateExpression(text);
  if (!isWhole32(value)) throw EAssignError(QStringLiteral("Value must be an integer."));
  SetIntValue(row, static_cast<int>(value));
}

void TEnumColumn::WriteKindData(TValueWriter &writer) const {
  writer.writeListBegin();
  for (const QString &name : Names) writer.writeString(name);
  writer.writeListEnd();
}

void TEnumColumn::ReadKindData(TValueReader &reader) {
  Names.clear();
  reader.readListBegin();
  while (!reader.endOfList()) Names << reader.readString();
}

void TEnumColumn::CopyKindData(const TColumn &source) {
  Names = static_cast<const TEnumColumn &>(source).Names;
}

void TEnumColumn::InsertStorage(int firstRow, int count) {
  fValues.insert(fValues.begin() + firstRow, static_cast<size_t>(count), 1);
}

void TEnumColumn::EraseStorage(int row) { fValues.erase(fValues.begin() + row); }

// ---------------------------------------------------------------- TIntColumn

int TIntColumn::GetIntValue(int row) const {
  checkRow(row);
  return fValues[static_cast<size_t>(row)];
}

void TIntColumn::SetIntValue(int row, int value) {
  checkRow(row);
  int &stored = fValues[static_cast<size_t>(row)];
  const bool differs = stored != value;
  stored = value;
  notifyChanged(row, differs);
}

QString TIntColumn::GetStringValue(int row) const { return QString::number(GetIntValue(row)); }

void TIntColumn::SetStringValue(int row, const QString &text) {
  checkRow(row);
  const Extended value = EvaluateExpression(text);
  const Extended rounded = std::nearbyint(value);
  const auto between = [](int low, int high) {
    return EAssignError(QStringLiteral("Entry must be between %1 and %2.").arg(low).arg(high));
  };
  if (Table() && Table()->FormVisible()) {
    if (std::fabs(value - rounded) > 1e-10L)
      throw EAssignError(QStringLiteral("Entry must be an integer."));
    if (rounded < Minimum || rounded > Maximum) throw between(Minimum, Maximum);
  }
  if (rounded < -2147483648.0L || rounded > 2147483647.0L)
    throw between(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  SetIntValue(row, static_cast<int>(rounded));
}

void TIntColumn::WriteKindData(TValueWriter &writer) const {
  writer.writeInteger(Default);
  writer.writeInteger(Minimum);
  writer.writeInteger(Maximum);
}

void TIntColumn::ReadKindData(TValueReader &reader) {
  Default = reader.readInteger();
  Minimum = reader.readInteger();
  Maximum = reader.readInteger();
}

void TIntColumn::CopyKindData(const TColumn &source) {
  const auto &s = static_cast<const TIntColumn &>(source);
  Default = s.Default;
  Minimum = s.Minimum;
  Maximum = s.Maximum;
}

void TIntColumn::InsertStorage(int firstRow, int count) {
  fValues.insert(fValues.begin() + firstRow, static_cast<size_t>(count), Default);
}

void TIntColumn::EraseStorage(int row) { fValues.erase(fValues.begin() + row); }

// ---------------------------------------------------------------- TFloatColumn

Extended TFloatColumn::GetFloatValue(int row) const {
  checkRow(row);
  return fValues[static_cast<size_t>(row)];
}

void TFloatColumn::SetRaw(int row, Extended value) {
  checkRow(row);
  fValues[static_cast<size_t>(row)] = value;
}

void TFloatColumn::SetFloatValue(int row, Extended value) {
  checkRow(row);
  const bool differs = fValues[static_cast<size_t>(row)] != value;
  TGridTable *table = Table();
  const int index = table ? table->IndexOf(this) : -1;
  if (SameGroup) {
    const int group = RowGroup();
    const int first = row / group * group;
    for (int r = first; r < std::min(first + group, Count()); ++r) SetRaw(r, value);
  } else {
    TFloatColumn *bottom = nullptr;
    if (TopDepth && index >= 0) {
      bottom = index + 1 < table->ColCount() ? dynamic_cast<TFloatColumn *>(&table->Column(index + 1))
                                             : nullptr;
      if (!bottom)
        throw EGridError(
            QStringLiteral("If column if a topdepth then the next column must be a float column"));
    }
    SetRaw(row, value);
    if (bottom && row > 0) bottom->SetRaw(row - 1, value);
    if (index > 0) {
      auto *top = dynamic_cast<TFloatColumn *>(&table->Column(index - 1));
      if (top && top->TopDepth && row + 1 < top->Count()) top->SetRaw(row + 1, value);
    }
  }
  notifyChanged(row, differs);
}

QString TFloatColumn::GetStringValue(int row) const { return FormatValue(GetFloatValue(row)); }

void TFloatColumn::SetStringValue(int row, const QString &text) {
  checkRow(row);
  SetFloatValue(row, EvaluateExpression(text));
}

QString TFloatColumn::GetDisplayHeadings(int line) const {
  const QString heading = TColumn::GetDisplayHeadings(line);
  if (UnitsString.isEmpty() || line != GetDisplayHeadingCount() - 1) return heading;
  const int units = Table() ? Table()->Units() : kUnitsEnglish;
  return QStringLiteral("%1 (%2)  ").arg(heading, ExpandUnitsTemplate(UnitsString, units));
}

void TFloatColumn::SetUnits(int oldUnits, int newUnits) {
  const Extended factor = UnitTemplateFactor(UnitsString);
  if (oldUnits == kUnitsEnglish && newUnits == kUnitsSI)
    for (Extended &v : fValues) v /= factor;
  else if (oldUnits == kUnitsSI && newUnits == kUnitsEnglish)
    for (Extended &v : fValues) v *= factor;
}

void TFloatColumn::WriteKindData(TValueWriter &writer) const {
  writer.writeBoolean(TopDepth);
  writer.writeString(QStringLiteral("FLOATCOLUMN2"));
  writer.writeString(UnitsString);
  writer.writeFloat(Default);
}

void TFloatColumn::ReadKindData(TValueReader &reader) {
  TopDepth = reader.readBoolean();
  const QString tag = reader.readString();
  if (tag == QLatin1String("FLOATCOLUMN2")) {
    UnitsString = reader.readString();
    Default = reader.readFloat();
  } else {
    // Older layout: the units string stands in place of the tag, no default.
    UnitsString = tag;
    Default = 0;
  }
}

void TFloatColumn::CopyKindData(const TColumn &source) {
  const auto &s = static_cast<const TFloatColumn &>(source);
  TopDepth = s.TopDepth;
  UnitsString = s.UnitsString;
  Default = s.Default;
}

void TFloatColumn::InsertStorage(int firstRow, int count) {
  fValues.insert(fValues.begin() + firstRow, static_cast<size_t>(count), Default);
}

void TFloatColumn::EraseStorage(int row) { fValues.erase(fValues.begin() + row); }

// ---------------------------------------------------------------- TTableColumn

TTableColumn::~TTableColumn() = default;

int TTableColumn::enumValue(int row) const {
  const TGridTable *table = Table();
  for (int c = 0; table && c < std::min(2, table->ColCount()); ++c) {
    const auto *e = dynamic_cast<const TEnumColumn *>(&table->Column(c));
    if (e) return row < e->Count() ? e->GetIntValue(row) : 1;
  }
  return 1;
}

TTableColumn::Cell TTableColumn::makeCell(int row) {
  Cell cell;
  TGridTable *table = Table();
  const TGridTable *source = Templates.Table(enumValue(row) - 1);
  if (source && nestingDepth(table) < kMaxTableNesting && !nestsInItself(table, source)) {
    try {
      cell.table = TGridTable::CreateCopy(table, row + 1, *source);
    } catch (const EPylarError &) {
      // A template that cannot be copied (too many rows) leaves the row without a table.
    }
  } else if (!source && table && table->OnInitRow) {
    cell.object = table->OnInitRow(row);
    if (cell.object && table->OnSetRow) table->OnSetRow(cell.object, row);
  }
  return cell;
}

TGridTable *TTableColumn::GetDataValue(int row) const {
  checkRow(row);
  return fCells[static_cast<size_t>(row)].table.get();
}

std::shared_ptr<void> TTableColumn::GetObjValue(int row) const {
  checkRow(row);
  return fCells[static_cast<size_t>(row)].object;
}

bool TTableColumn::GetChanged() const {
  const TGridTable *table = Table();
  for (const Cell &cell : fCells) {
    if (cell.table && cell.table->Changed()) return true;
    if (cell.object && table && table->OnGetChanged && table->OnGetChanged(cell.object)) return true;
  }
  return false;
}

void TTableColumn::HideTables() {
  for (Cell &cell : fCells)
    if (cell.table) cell.table->Hide();
}

void TTableColumn::ResetColumnChanged() {
  const TGridTable *table = Table();
  for (Cell &cell : fCells) {
    if (cell.table) cell.table->ResetChanged();
    if (cell.object && table && table->OnResetChanged) table->OnResetChanged(cell.object);
  }
}

void TTableColumn::SetUnits(int, int newUnits) {
  const TGridTable *table = Table();
  for (Cell &cell : fCells) {
    if (cell.table) cell.table->SetUnits(newUnits);
    if (cell.object && table && table->OnSetUnits) table->OnSetUnits(cell.object, newUnits);
  }
}

int TTableColumn::GetWidth(const QFontMetrics &metrics, int dotsPerInch) const {
  int width = 0;
  for (int line = 0; line < GetDisplayHeadingCount(); ++line)
    width = std::max(width, metrics.horizontalAdvance(GetDisplayHeadings(line) + QStringLiteral("  ")));
  (void)dotsPerInch;
  return width;
}

void TTableColumn::RebuildRow(int row) {
  checkRow(row);
  fCells[static_cast<size_t>(row)] = makeCell(row);
}

void TTableColumn::RenumberRows(int firstRow) {
  const TGridTable *table = Table();
  for (int r = std::max(firstRow, 0); r < Count(); ++r) {
    Cell &cell = fCells[static_cast<size_t>(r)];
    if (cell.table) cell.table->SetID(r + 1);
    if (cell.object && table && table->OnSetRow) table->OnSetRow(cell.object, r);
  }
}

QString TTableColumn::ButtonCaption(int row) const {
  checkRow(row);
  const Cell &cell = fCells[static_cast<size_t>(row)];
  const TGridTable *table = Table();
  if (cell.object && table && table->OnGetButtonCaption)
    return table->OnGetButtonCaption(cell.object, row);
  return QStringLiteral("%1: %2").arg(row + 1).arg(cell.table ? cell.table->Caption : QString());
}

void TTableColumn::ButtonClick(int row) {
  checkRow(row);
  Cell &cell = fCells[static_cast<size_t>(row)];
  TGridTable *table = Table();
  if (cell.table) {
    if (table && table->IsModal())
      cell.table->ShowModal();
    else
      cell.table->Show();
  } else if (cell.object && table && table->OnButtonClick) {
    table->OnButtonClick(cell.object, row);
  }
}

void TTableColumn::FitTemplates() {
  const TGridTable *table = Table();
  int count = 1;
  for (int c = 0; table && c < std::min(2, table->ColCount()); ++c) {
    if (const auto *e = dynamic_cast<const TEnumColumn *>(&table->Column(c))) {
      count = static_cast<int>(e->Names.size());
      break;
    }
  }
  Templates.Resize(count);
}

void TTableColumn::WriteKindData(TValueWriter &writer) const {
  writer.writeString(QStringLiteral("FLEXCOLUMN2"));
  writer.writeListBegin();
  for (int i = 0; i < Templates.Count(); ++i) writer.writeInteger(Templates.Identifier(i));
  writer.writeListEnd();
}

void TTableColumn::ReadKindData(TValueReader &reader) {
  Templates.Clear();
  const QString tag = reader.readString();
  if (tag == QLatin1String("FLEXCOLUMN2")) {
    reader.readListBegin();
    while (!reader.endOfList()) Templates.AddIdentifier(reader.readInteger());
    return;
  }
  // Older layout: one table index serves every template.
  const int index = reader.readInteger();
  const TGridTable *table = Table();
  const TEnumColumn *names =
      table && table->ColCount() > 0 ? dynamic_cast<const TEnumColumn *>(&table->Column(0)) : nullptr;
  if (!names) {
    Templates.AddIndex(index);
    return;
  }
  for (int k = 0; k < names->Names.size(); ++k) {
    if (table->HardwiredButton)
      Templates.AddIndex(index);
    else
      Templates.AddIdentifier(k + 1);
  }
}

void TTableColumn::CopyKindData(const TColumn &source) {
  Templates = static_cast<const TTableColumn &>(source).Templates;
}

void TTableColumn::InsertStorage(int firstRow, int count) {
  for (int r = firstRow; r < firstRow + count; ++r) fCells.insert(fCells.begin() + r, makeCell(r));
}

void TTableColumn::EraseStorage(int row) { fCells.erase(fCells.begin() + row); }

// ---------------------------------------------------------------- TStringColumn

QString TStringColumn::GetStringValue(int row) const {
  checkRow(row);
  return fValues[static_cast<size_t>(row)];
}

void TStringColumn::SetStringValue(int row, const QString &text) {
  checkRow(row);
  QString &stored = fValues[static_cast<size_t>(row)];
  const bool differs = stored != text;
  stored = text;
  notifyChanged(row, differs);
}

void TStringColumn::WriteKindData(TValueWriter &writer) const {
  writer.writeString(Default);
  writer.writeFloat(MinWidth);
}

void TStringColumn::ReadKindData(TValueReader &reader) {
  Default = reader.readString();
  MinWidth = std::clamp(static_cast<double>(reader.readFloat()), 0.0, 20.0);
}

void TStringColumn::CopyKindData(const TColumn &source) {
  const auto &s = static_cast<const TStringColumn &>(source);
  Default = s.Default;
  MinWidth = s.MinWidth;
}

void TStringColumn::InsertStorage(int firstRow, int count) {
  fValues.insert(fValues.begin() + firstRow, static_cast<size_t>(count), Default);
}

void TStringColumn::EraseStorage(int row) { fValues.erase(fValues.begin() + row); }

// ---------------------------------------------------------------- registry

TColumnTypeRegistry::TColumnTypeRegistry() {
  Register<TEnumColumn>(0);
  Register<TIntColumn>(1);
  Register<TFloatColumn>(2);
  Register<TTableColumn>(3);
  Register<TStringColumn>(4);
}

TColumnTypeRegistry &TColumnTypeRegistry::instance() {
  static TColumnTypeRegistry registry;
  return registry;
}

void TColumnTypeRegistry::Register(std::type_index type, int id, Factory factory) {
  Unregister(type);
  fEntries.push_back({type, id, std::move(factory)});
}

void TColumnTypeRegistry::Unregister(std::type_index type) {
  std::erase_if(fEntries, [&](const Entry &e) { return e.type == type; });
}

TColumnTypeRegistry::Factory TColumnTypeRegistry::FindClass(int id) const {
  for (const Entry &e : fEntries)
    if (e.id == id) return e.factory;
  return {};
}

int TColumnTypeRegistry::FindId(const TColumn &column) const {
  const std::type_index type = typeid(column);
  for (const Entry &e : fEntries)
    if (e.type == type) return e.id;
  return -1;
}

}  // namespace pylar
