// Grid tables: typed, column-oriented tables with a fixed column layout, rows
// added in row groups, nested per-row tables, unit conversion and a changed
// state. The editing window lives in the user interface and is reached through
// ITableView, so this side needs no widgets.
#pragma once

#include "ColumnTypes.h"

#include <QImage>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace pylar {

class TGridTable;

// The editing window of one grid table, as the table sees it.
class ITableView {
 public:
  virtual ~ITableView() = default;
  virtual void showView(bool modal) = 0;
  virtual void hideView() = 0;
  virtual bool isViewVisible() const = 0;
  virtual bool isViewModal() const = 0;
  // Rows, values, captions or the help picture changed: refresh.
  virtual void tableChanged() = 0;
  // The table is going away: the view must close and stop using it.
  virtual void tableDestroyed() = 0;
};

class TGridTable {
 public:
  // A sub-table takes its unit system from its owner table.
  explicit TGridTable(TGridTable *ownerTable = nullptr);
  ~TGridTable();
  TGridTable(const TGridTable &) = delete;
  TGridTable &operator=(const TGridTable &) = delete;

  // A sub-table for one row: caption, comments, top-left text, help picture,
  // MinRows, MaxRows and a clone of every column; ID = row number; MinRows rows.
  static std::unique_ptr<TGridTable> CreateCopy(TGridTable *owner, int rowNumber,
                                                const TGridTable &source);

  QString Caption;
  QString Comments;  // shown under the grid
  QString TopLeft;   // text of the top-left grid cell
  bool HardwiredButton = false;  // legacy stored template layout only
  QWidget *FormParent = nullptr;  // embed the table window here when set

  int Identifier() const { return fIdentifier; }
  // A table that already has `identifier` takes this table's previous one.
  void SetIdentifier(int identifier);
  int ID() const { return fId; }  // 0 top level; 1-based row number of a sub-table
  void SetID(int id);
  TGridTable *OwnerTable() const { return fOwner; }
  // The template this table was copied from (compared, never followed).
  const TGridTable *Source() const { return fSource; }
  // "" for a top-level table; the owner's path, a blank and the ID otherwise.
  QString IdPath() const;

  int MinRows() const { return fMinRows; }
  void SetMinRows(int value);  // <= 0: "Value must be greater than 0"
  int MaxRows() const { return fMaxRows; }  // 0: no limit
  void SetMaxRows(int value) { fMaxRows = std::max(value, 0); }
  int RowGroup() const { return fRowGroup; }
  void SetRowGroup(int value) { fRowGroup = std::max(value, 1); }

  const QImage &HelpPicture() const { return fHelpPicture; }
  void SetHelpPicture(const QImage &picture);

  // Columns
  template <class C>
  C &AddColumn() {
    return static_cast<C &>(InsertColumn(ColCount(), std::make_unique<C>(this)));
  }
  TColumn &AddColumn(std::unique_ptr<TColumn> column) { return InsertColumn(ColCount(), std::move(column)); }
  TColumn &InsertColumn(int iColumn, std::unique_ptr<TColumn> column);
  TColumn &Column(int index) const;  // "Index out of bounds" outside
  int IndexOf(const TColumn *column) const;
  int ColCount() const { return static_cast<int>(fColumns.size()); }
  // Largest heading line count among the visible columns.
  int HeadingRows() const;

  // Rows
  int RowCount() const { return fRowCount; }
  void SetRowCount(int count);
  void AddRowGroup();
  void InsertRowGroup(int iRow);  // before the group containing iRow
  void DeleteRowGroup(int index);  // the group containing row index

  // Cells
  bool CellExists(int iCol, int iRow) const;
  TData &Data(int iCol, int iRow) const;
  TGridTable *GetDataValue(int iCol, int iRow) const;
  Extended GetFloatValue(int iCol, int iRow) const;
  void SetFloatValue(int iCol, int iRow, Extended value);
  int GetIntValue(int iCol, int iRow) const;
  void SetIntValue(int iCol, int iRow, int value);
  QString GetStringValue(int iCol, int iRow) const;
  void SetStringValue(int iCol, int iRow, const QString &text);

  // Unit system: every column converts its values when it changes.
  int Units() const { return fUnits; }
  void SetUnits(int units);

  // Changed state: own flag or any column (sub-tables included).
  bool Changed() const;
  void SetChanged(bool changed) { fChanged = changed; }
  void ResetChanged();

  // Editing window (through the factory the user interface installs).
  void Show();
  void ShowModal();
  void Hide();
  bool IsModal() const;
  bool FormVisible() const;
  void Update();  // hide and show again when visible
  ITableView *View() const { return fForm; }
  void DetachView(ITableView *view);
  using ViewFactory = std::function<ITableView *(TGridTable &)>;
  static void SetViewFactory(ViewFactory factory);

  // Stored column list "Col".
  void WriteColumns(TValueWriter &writer) const;
  void ReadColumns(TValueReader &reader);
  QByteArray SaveColumns() const;
  void LoadColumns(const QByteArray &data);

  // Events
  std::function<void()> OnMajorChange;
  std::function<void(int col, int row)> OnCellChange;
  std::function<void()> OnHide;
  std::function<void()> OnResize;
  // Foreign per-row objects of table columns without a template.
  std::function<std::shared_ptr<void>(int row)> OnInitRow;
  std::function<void(const std::shared_ptr<void> &, int row)> OnSetRow;
  std::function<void(const std::shared_ptr<void> &, int units)> OnSetUnits;
  std::function<bool(const std::shared_ptr<void> &)> OnGetChanged;
  std::function<void(const std::shared_ptr<void> &)> OnResetChanged;
  std::function<QString(const std::shared_ptr<void> &, int row)> OnGetButtonCaption;
  std::function<void(const std::shared_ptr<void> &, int row)> OnButtonClick;

  // Called by columns after a value was written.
  void ColumnValueChanged(TColumn *column, int row, bool valueDiffers);

 private:
  void insertRows(int firstRow, int count);
  void deleteRow(int row);
  void checkRow(int row) const;
  void viewChanged();
  TTableColumn *firstTableColumn() const;
  void show(bool modal);

  TGridTable *fOwner;
  const TGridTable *fSource = nullptr;
  bool fChanged = false;
  int fIdentifier = 0;
  int fMinRows = 1;
  int fMaxRows = 0;
  int fRowCount = 0;
  int fRowGroup = 1;
  int fUnits = kUnitsEnglish;
  int fId = 0;
  QImage fHelpPicture;
  std::vector<std::unique_ptr<TColumn>> fColumns;
  ITableView *fForm = nullptr;
};

// Every grid table registers itself here; identifiers stay unique.
class TGridTableRegistry {
 public:
  static TGridTableRegistry &instance();
  int Count() const { return static_cast<int>(fTables.size()); }
  TGridTable *TableAt(int index) const;  // null outside
  int IndexOf(const TGridTable *table) const;
  int IndexOfIdentifier(int identifier) const;  // -1 when none
  TGridTable *FindByIdentifier(int identifier) const;

 private:
  friend class TGridTable;
  int add(TGridTable *table);  // returns the new table's identifier
  void remove(TGridTable *table);
  std::vector<TGridTable *> fTables;
  int fCounter = 0;
};

// Largest row count a table accepts; protects against damaged input.
inline constexpr int kMaxGridRows = 100000;

}  // namespace pylar
