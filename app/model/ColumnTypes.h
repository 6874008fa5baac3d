// Columns of grid tables: the common TColumn and its five kinds (enumeration,
// integer, float, nested table, string), cell handles, and the registry that
// maps stored column-kind ids to classes.
#pragma once

#include "DataEdit.h"
#include "ValueStream.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <typeindex>
#include <vector>

class QFontMetrics;

namespace pylar {

class TGridTable;
class TColumn;

// Handle of one cell. Its row is its current position in the column, so a
// handle stays valid while rows are inserted or deleted around it.
class TData {
 public:
  explicit TData(TColumn *column) : fBaseCol(column) {}
  TColumn *BaseCol() const { return fBaseCol; }
  TGridTable *Table() const;
  int Row() const;
  TGridTable *Data() const;  // the row's sub-table (table columns)
  Extended Float() const;
  void SetFloat(Extended value);
  int Int() const;
  void SetInt(int value);
  QString Value() const;
  void SetValue(const QString &value);

 private:
  TColumn *fBaseCol;
};

// An ordered list of template tables, each referenced by its index in the
// table registry or by its Identifier; resolved when used, because templates
// may be created after the columns that name them.
class TGridTableList {
 public:
  struct Ref {
    bool byIndex = false;
    int value = -1;  // -1 by identifier: no template
  };
  int Count() const { return static_cast<int>(fRefs.size()); }
  void AddIdentifier(int identifier) { fRefs.push_back({false, identifier}); }
  void AddIndex(int index) { fRefs.push_back({true, index}); }
  void Resize(int count) { fRefs.resize(static_cast<size_t>(std::max(count, 0))); }
  void Clear() { fRefs.clear(); }
  TGridTable *Table(int i) const;  // null when out of range or unresolved
  int Identifier(int i) const;     // -1 when there is no such table
  const std::vector<Ref> &Refs() const { return fRefs; }

 private:
  std::vector<Ref> fRefs;
};

class TColumn {
 public:
  explicit TColumn(TGridTable *table);
  virtual ~TColumn();
  TColumn(const TColumn &) = delete;
  TColumn &operator=(const TColumn &) = delete;

  TGridTable *Table() const { return fTable; }
  int Count() const { return static_cast<int>(fData.size()); }
  TData &DataAt(int row);
  int RowOf(const TData *data) const;

  QStringList Heading;
  bool Visible = true;
  bool SameGroup = false;  // a value written to one row goes to its whole row group
  std::function<void(int row)> OnCellChange;

  virtual void InsertValues(int firstRow, int count);
  virtual void DeleteValue(int row);
  virtual int GetDisplayHeadingCount() const;
  virtual QString GetDisplayHeadings(int line) const;
  virtual TGridTable *GetDataValue(int row) const;
  virtual Extended GetFloatValue(int row) const;
  virtual void SetFloatValue(int row, Extended value);
  virtual int GetIntValue(int row) const;
  virtual void SetIntValue(int row, int value);
  virtual std::shared_ptr<void> GetObjValue(int row) const;
  virtual QString GetStringValue(int row) const;
  virtual void SetStringValue(int row, const QString &text);
  virtual bool GetChanged() const { return false; }
  virtual void HideTables() {}
  virtual void ResetColumnChanged() {}
  // Width in pixels: the widest display heading plus two blanks, at least the
  // kind's minimum width.
  virtual int GetWidth(const QFontMetrics &metrics, int dotsPerInch) const;
  virtual void SetUnits(int oldUnits, int newUnits);
  virtual bool HasControl() const { return false; }
  std::unique_ptr<TColumn> Clone(TGridTable *newOwner) const;

  // Stored definition: kind id, heading lines, Visible, SameGroup, kind data.
  void WriteToStream(TValueWriter &writer) const;
  void ReadFromStream(TValueReader &reader);

  int RowGroup() const;

  // Enumeration names; 0 or nothing for other kinds.
  int GetEnumCount() const;
  QString GetEnumStr(int i) const;

 protected:
  void checkRow(int row) const;
  // Own part of the stored definition.
  virtual void WriteKindData(TValueWriter &) const {}
  virtual void ReadKindData(TValueReader &) {}
  virtual void CopyKindData(const TColumn &) {}
  virtual void InsertStorage(int firstRow, int count) = 0;
  virtual void EraseStorage(int row) = 0;
  virtual double MinWidthInches() const { return 0.5; }
  // Tells the table that a value changed (cell-change rule, events).
  void notifyChanged(int row, bool valueDiffers);

 private:
  TGridTable *fTable;
  std::vector<std::unique_ptr<TData>> fData;
};

class TEnumColumn : public TColumn {
 public:
  using TColumn::TColumn;
  QStringList Names;  // value v shows Names[v-1]
  int GetIntValue(int row) const override;
  void SetIntValue(int row, int value) override;
  Extended GetFloatValue(int row) const override { return GetIntValue(row); }
  QString GetStringValue(int row) const override;
  void SetStringValue(int row, const QString &text) override;
  bool HasControl() const override { return true; }

 protected:
  void WriteKindData(TValueWriter &writer) const override;
  void ReadKindData(TValueReader &reader) override;
  void CopyKindData(const TColumn &source) override;
  void InsertStorage(int firstRow, int count) override;
  void EraseStorage(int row) override;
  double MinWidthInches() const override { return 1.5; }

 private:
  std::vector<int> fValues;
};

class TIntColumn : public TColumn {
 public:
  using TColumn::TColumn;
  int Default = 0;
  int Minimum = 0;
  int Maximum = 0;
  int GetIntValue(int row) const override;
  void SetIntValue(int row, int value) override;
  Extended GetFloatValue(int row) const override { return GetIntValue(row); }
  QString GetStringValue(int row) const override;
  // While the table window is visible the value must be whole and within
  // [Minimum, Maximum]: "Entry must be an integer.", "Entry must be between %d and %d.".
  void SetStringValue(int row, const QString &text) override;

 protected:
  void WriteKindData(TValueWriter &writer) const override;
  void ReadKindData(TValueReader &reader) override;
  void CopyKindData(const TColumn &source) override;
  void InsertStorage(int firstRow, int count) override;
  void EraseStorage(int row) override;

 private:
  std::vector<int> fValues;
};

class TFloatColumn : public TColumn {
 public:
  using TColumn::TColumn;
  // A top-depth column and the float column after it form a (top, bottom)
  // pair: the bottom of one row and the top of the next stay equal.
  bool TopDepth = false;
  QString UnitsString;  // unit template, e.g. "F/L2^2"
  Extended Default = 0;
  Extended GetFloatValue(int row) const override;
  void SetFloatValue(int row, Extended value) override;
  QString GetStringValue(int row) const override;
  void SetStringValue(int row, const QString &text) override;
  QString GetDisplayHeadings(int line) const override;
  void SetUnits(int oldUnits, int newUnits) override;
  // Stores without the group and pair rules (used by the table's row edits).
  void SetRaw(int row, Extended value);

 protected:
  void WriteKindData(TValueWriter &writer) const override;
  void ReadKindData(TValueReader &reader) override;
  void CopyKindData(const TColumn &source) override;
  void InsertStorage(int firstRow, int count) override;
  void EraseStorage(int row) override;

 private:
  std::vector<Extended> fValues;
};

// One nested table per row: a copy of the template chosen by the row's
// enumeration value, or an object supplied by the table's OnInitRow.
class TTableColumn : public TColumn {
 public:
  using TColumn::TColumn;
  ~TTableColumn() override;
  TGridTableList Templates;
  TGridTable *GetDataValue(int row) const override;
  std::shared_ptr<void> GetObjValue(int row) const override;
  bool GetChanged() const override;
  void HideTables() override;
  void ResetColumnChanged() override;
  void SetUnits(int oldUnits, int newUnits) override;
  bool HasControl() const override { return true; }
  int GetWidth(const QFontMetrics &metrics, int dotsPerInch) const override;

  // Replaces the row's cell by a fresh copy of the template of its current
  // enumeration value (previous values are discarded).
  void RebuildRow(int row);
  // Gives the cells from `firstRow` on their current 1-based row numbers.
  void RenumberRows(int firstRow);
  QString ButtonCaption(int row) const;
  void ButtonClick(int row);
  // One template per enumeration name of the first enumeration column (1 without one).
  void FitTemplates();

 protected:
  void WriteKindData(TValueWriter &writer) const override;
  void ReadKindData(TValueReader &reader) override;
  void CopyKindData(const TColumn &source) override;
  void InsertStorage(int firstRow, int count) override;
  void EraseStorage(int row) override;

 private:
  struct Cell {
    std::unique_ptr<TGridTable> table;
    std::shared_ptr<void> object;
  };
  Cell makeCell(int row);
  int enumValue(int row) const;
  std::vector<Cell> fCells;
};

class TStringColumn : public TColumn {
 public:
  using TColumn::TColumn;
  QString Default;
  double MinWidth = 0.5;  // inches
  QString GetStringValue(int row) const override;
  void SetStringValue(int row, const QString &text) override;

 protected:
  void WriteKindData(TValueWriter &writer) const override;
  void ReadKindData(TValueReader &reader) override;
  void CopyKindData(const TColumn &source) override;
  void InsertStorage(int firstRow, int count) override;
  void EraseStorage(int row) override;
  double MinWidthInches() const override { return MinWidth; }

 private:
  std::vector<QString> fValues;
};

// Maps stored column-kind ids to column classes. Starts with
// 0 enumeration, 1 integer, 2 float, 3 table, 4 string.
class TColumnTypeRegistry {
 public:
  using Factory = std::function<std::unique_ptr<TColumn>(TGridTable *)>;
  static TColumnTypeRegistry &instance();
  template <class C>
  void Register(int id) {
    Register(typeid(C), id, [](TGridTable *t) { return std::make_unique<C>(t); });
  }
  void Register(std::type_index type, int id, Factory factory);
  template <class C>
  void Unregister() {
    Unregister(typeid(C));
  }
  void Unregister(std::type_index type);
  Factory FindClass(int id) const;  // empty when not registered
  int FindId(const TColumn &column) const;  // -1 when not registered

 private:
  TColumnTypeRegistry();
  struct Entry {
    std::type_index type;
    int id;
    Factory factory;
  };
  std::vector<Entry> fEntries;
};

}  // namespace pylar
