#include "ProfileGrid.h"

#include "CalcReportData.h"
#include "SoilLayers.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace pylar {

namespace {

const QString kEstimateMark = QStringLiteral("(*)");

// The sand procedure's field (its choices are the procedures' names).
const TSoilField &procedureField() {
  return SoilFamily(TSoilFamily::Sand).Fields[static_cast<std::size_t>(PropertyColumn(scSand, TSoilProperty::SandMethod))];
}

// A choice typed by its number (1 ... count) or its name.
int parseChoice(const QString &text, const QStringList &names) {
  const QString wanted = text.trimmed();
  for (qsizetype i = 0; i < names.size(); ++i)
    if (names[i].compare(wanted, Qt::CaseInsensitive) == 0) return static_cast<int>(i) + 1;
  bool whole = false;
  const int number = wanted.toInt(&whole);
  if (whole && number >= 1 && number <= names.size()) return number;
  QStringList numbered;
  for (qsizetype i = 0; i < names.size(); ++i) numbered << QString::number(i + 1) + QStringLiteral(" ") + names[i];
  throw EAssignError(QStringLiteral("\"%1\" is not one of the choices: %2.").arg(wanted, numbered.join(QStringLiteral(", "))));
}

// A number as a numeric field takes it: an expression, not below 0.
Extended parseNumber(const QString &text) {
  const Extended value = EvaluateExpression(text);
  if (value < 0) throw EAssignError(QStringLiteral("Entry must be greater than or equal to ") + FormatValue(0));
  return value;
}

QString modelName(int code) {
  const TSoilModelDescription *model = SoilModel(code);
  return model ? QString::fromLatin1(model->ModelName) : QString();
}

QStringList names(std::span<const char *const> texts) {
  QStringList list;
  for (const char *text : texts) list << QString::fromLatin1(text);
  return list;
}

}  // namespace

TProfileEstimates ProfileEstimates(const TReportInputs &report, const TProjectTables &tables) {
  TProfileEstimates estimates(static_cast<std::size_t>(tables.D.RowCount()));
  for (const TReportSoilLayer &layer : report.layers) {
    const int row = layer.number - 1;
    if (row < 0 || row >= tables.D.RowCount()) continue;
    const TSoilFamilyDescription *family = SoilFamilyOf(tables.D.GetIntValue(lcSoilType, row));
    if (!family) continue;
    for (const TSoilField &field : family->Fields) {
      if (!field.ReportName) continue;
      for (const TReportSoilProperty &property : layer.properties) {
        if (property.name != QLatin1String(field.ReportName)) continue;
        for (const bool bottom : {false, true}) {
          const TReportEntry &entry = bottom ? property.bottom : property.top;
          if (!(bottom ? property.atBottom : property.atTop) || !entry.estimated) continue;
          bool number = false;
          const double value = QLocale::c().toDouble(entry.value, &number);
          estimates[static_cast<std::size_t>(row)][{field.Property, bottom}] =
              number ? FormatValue(value) : entry.value;
        }
      }
    }
  }
  return estimates;
}

// ---------------------------------------------------------------- columns

TProfileGrid::TProfileGrid(bool lrfd) {
  using K = TProfileColumnKind;
  fColumns.push_back({K::Layer, QStringLiteral("Layer"), {}, {}});
  fColumns.push_back({K::Model, QStringLiteral("Soil Type"), {}, {}});
  fColumns.push_back({K::TopDepth, QStringLiteral("Depth at Top"), {}, QStringLiteral("L2")});
  fColumns.push_back({K::LayerValue, QStringLiteral("Depth at Bottom"), {}, QStringLiteral("L2"), lcDepth});
  fColumns.push_back({K::LayerValue, QStringLiteral("Max. Side Friction"), {}, QStringLiteral("F/L2^2"), lcMaxSide});
  fColumns.push_back({K::LayerValue, QStringLiteral("Max. End Bearing"), {}, QStringLiteral("F/L2^2"), lcMaxEnd});
  if (lrfd) {
    fColumns.push_back({K::LayerValue, QStringLiteral("LRFD Resistance Factor (Side Friction)"), {}, {}, lcLRFDSide});
    fColumns.push_back({K::LayerValue, QStringLiteral("LRFD Resistance Factor (End Bearing)"), {}, {}, lcLRFDEnd});
  }
  // Every property of every family, where it first appears; a value kept for
  // both ends of a layer (the sand procedure) is one column, the others two.
  std::vector<TSoilProperty> seen;
  std::vector<TProfileColumn> procedures, properties;
  for (int f = 0; f < kSoilFamilyCount; ++f)
    for (const TSoilField &field : SoilFamily(static_cast<TSoilFamily>(f)).Fields) {
      if (field.Hidden || std::find(seen.begin(), seen.end(), field.Property) != seen.end()) continue;
      seen.push_back(field.Property);
      const QString units = QString::fromLatin1(field.CaptionUnits ? field.CaptionUnits : field.Units);
      if (field.Place == TFilePlace::Procedure) {
        procedures.push_back({K::Procedure, FieldTitle(field), {}, {}, -1, field.Property});
        continue;
      }
      for (const bool bottom : {false, true})
        properties.push_back({K::Property, FieldTitle(field), bottom ? QStringLiteral("bottom") : QStringLiteral("top"),
                              units, -1, field.Property, bottom});
    }
  fColumns.insert(fColumns.end(), procedures.begin(), procedures.end());
  fColumns.insert(fColumns.end(), properties.begin(), properties.end());
}

QString TProfileGrid::Header(int column, int units, bool twoLines) const {
  const TProfileColumn &c = fColumns.at(static_cast<std::size_t>(column));
  QString detail = c.End;
  if (!c.Units.isEmpty()) {
    const QString unit = QLatin1Char('(') + ExpandUnitsTemplate(c.Units, units) + QLatin1Char(')');
    detail = detail.isEmpty() ? unit : detail + QLatin1Char(' ') + unit;
  }
  if (detail.isEmpty()) return c.Heading;
  return c.Heading + (twoLines ? QStringLiteral("\n") : (c.End.isEmpty() ? QStringLiteral(" ") : QStringLiteral(", "))) +
         detail;
}

QStringList TProfileGrid::Choices(int column) const {
  const TProfileColumn &c = fColumns.at(static_cast<std::size_t>(column));
  switch (c.Kind) {
    case TProfileColumnKind::Model: {
      QStringList models;
      for (int code = 1; code <= kSoilCodeCount; ++code) models << modelName(code);
      return models;
    }
    case TProfileColumnKind::Procedure: return names(procedureField().Choices);
    case TProfileColumnKind::Property:
      // The choices of the first model that has the property as a choice.
      for (int code = 1; code <= kSoilCodeCount; ++code)
        if (const TSoilField *f = field(code, c); f && f->Kind == TFieldKind::Choice) return names(f->Choices);
      return {};
    default: return {};
  }
}

const TSoilField *TProfileGrid::field(int code, const TProfileColumn &column) const {
  const int index = PropertyColumn(code, column.Property);
  if (index < 0) return nullptr;
  const TSoilField &f = SoilFamilyOf(code)->Fields[static_cast<std::size_t>(index)];
  return f.Hidden ? nullptr : &f;
}

// ---------------------------------------------------------------- cells

bool TProfileGrid::Applies(const TProgramData &project, int row, int column) const {
  const TProjectTables &tables = project.Tables();
  if (row < 0 || row >= tables.D.RowCount() || column < 0 || column >= ColumnCount()) return false;
  const TProfileColumn &c = fColumns[static_cast<std::size_t>(column)];
  if (c.Kind != TProfileColumnKind::Property && c.Kind != TProfileColumnKind::Procedure) return true;
  const int code = tables.D.GetIntValue(lcSoilType, row);
  const TSoilField *f = field(code, c);
  const TGridTable *props = tables.LayerData(row);
  if (!f || !props || props->RowCount() < 2) return false;
  // A value of a side procedure counts under that procedure only.
  if (f->Place == TFilePlace::ProcedureValue) {
    const int procedure = PropertyColumn(code, TSoilProperty::SandMethod);
    return procedure >= 0 && props->GetIntValue(procedure, 0) == f->FilePosition;
  }
  return true;
}

bool TProfileGrid::Editable(const TProgramData &project, int row, int column) const {
  if (column < 0 || column >= ColumnCount()) return false;
  const TProfileColumnKind kind = fColumns[static_cast<std::size_t>(column)].Kind;
  return kind != TProfileColumnKind::Layer && kind != TProfileColumnKind::TopDepth && Applies(project, row, column);
}

QString TProfileGrid::Text(const TProgramData &project, int row, int column) const {
  const TProjectTables &tables = project.Tables();
  if (row < 0 || row >= tables.D.RowCount() || column < 0 || column >= ColumnCount()) return {};
  const TProfileColumn &c = fColumns[static_cast<std::size_t>(column)];
  const TGridTable &d = tables.D;
  const int code = d.GetIntValue(lcSoilType, row);
  switch (c.Kind) {
    case TProfileColumnKind::Layer: return QString::number(row + 1);
    case TProfileColumnKind::Model: return modelName(code);
    case TProfileColumnKind::TopDepth: return FormatValue(row == 0 ? 0 : d.GetFloatValue(lcDepth, row - 1));
    case TProfileColumnKind::LayerValue: return FormatValue(d.GetFloatValue(c.LayerColumn, row));
    case TProfileColumnKind::Procedure:
    case TProfileColumnKind::Property: {
      const TSoilField *f = field(code, c);
      const TGridTable *props = tables.LayerData(row);
      if (!f || !props || props->RowCount() < 2) return {};
      const int index = PropertyColumn(code, c.Property);
      const int end = c.Bottom ? 1 : 0;
      if (c.Kind == TProfileColumnKind::Procedure || f->Kind == TFieldKind::Choice) {
        const QStringList choices = c.Kind == TProfileColumnKind::Procedure ? names(procedureField().Choices)
                                                                            : names(f->Choices);
        const int value = props->GetIntValue(index, end);
        return value >= 1 && value <= choices.size() ? choices[value - 1] : QString::number(value);
      }
      if (f->Kind == TFieldKind::Count) return QString::number(props->GetIntValue(index, end));
      return FormatValue(props->GetFloatValue(index, end));
    }
  }
  return {};
}

QString TProfileGrid::Estimate(const TProgramData &project, const TProfileEstimates &estimates, int row,
                               int column) const {
  if (row < 0 || row >= static_cast<int>(estimates.size()) || column < 0 || column >= ColumnCount()) return {};
  const TProfileColumn &c = fColumns[static_cast<std::size_t>(column)];
  if (c.Kind != TProfileColumnKind::Property || !Applies(project, row, column)) return {};
  const auto &layer = estimates[static_cast<std::size_t>(row)];
  const auto it = layer.find({c.Property, c.Bottom});
  return it == layer.end() ? QString() : it->second + QLatin1Char(' ') + kEstimateMark;
}

void TProfileGrid::SetText(TProgramData &project, int row, int column, const QString &text) const {
  TProjectTables &tables = project.Tables();
  if (row < 0 || row >= tables.D.RowCount() || column < 0 || column >= ColumnCount())
    throw EAssignError(QStringLiteral("There is no such cell."));
  // A cell left as it shows its value keeps the value (not its rounded display).
  if (text == Text(project, row, column)) return;
  const TProfileColumn &c = fColumns[static_cast<std::size_t>(column)];
  const int code = tables.D.GetIntValue(lcSoilType, row);
  switch (c.Kind) {
    case TProfileColumnKind::Layer:
    case TProfileColumnKind::TopDepth:
      throw EAssignError(QStringLiteral("%1 follows from the layers and is not entered.").arg(c.Heading));
    case TProfileColumnKind::Model:
      ChangeLayerModel(tables, row, parseChoice(text, Choices(column)));
      return;
    case TProfileColumnKind::LayerValue:
      tables.D.SetFloatValue(c.LayerColumn, row, parseNumber(text));
      return;
    case TProfileColumnKind::Procedure:
    case TProfileColumnKind::Property: break;
  }
  const TSoilField *f = field(code, c);
  TGridTable *props = tables.LayerData(row);
  const QString what = c.Heading.toLower();
  if (!f || !props || props->RowCount() < 2)
    throw EAssignError(QStringLiteral("A layer of %1 has no %2.").arg(modelName(code), what));
  const int index = PropertyColumn(code, c.Property);
  if (c.Kind == TProfileColumnKind::Procedure) {
    SetSandMethod(*props, parseChoice(text, Choices(column)));
    return;
  }
  if (!Applies(project, row, column)) {
    const int procedure = props->GetIntValue(PropertyColumn(code, TSoilProperty::SandMethod), 0);
    const QStringList procedures = names(procedureField().Choices);
    throw EAssignError(QStringLiteral("The %1 of the layer does not use the %2.")
                           .arg(procedure >= 1 && procedure <= procedures.size() ? procedures[procedure - 1]
                                                                                  : QStringLiteral("procedure"),
                                what));
  }
  const Extended value = f->Kind == TFieldKind::Choice ? parseChoice(text, names(f->Choices)) : parseNumber(text);
  SetCellNumber(*props, index, c.Bottom ? 1 : 0, value);
  // As the property dialog writes a sand layer: the parameters of the
  // procedures not chosen are 0.
  const int procedure = PropertyColumn(code, TSoilProperty::SandMethod);
  if (procedure >= 0) SetSandMethod(*props, props->GetIntValue(procedure, 0));
}

// ---------------------------------------------------------------- clipboard

QString TProfileGrid::Copy(const TProgramData &project, const TProfileEstimates &estimates, int top, int left,
                           int bottom, int right, bool header) const {
  QStringList lines;
  const auto clean = [](QString text) { return text.replace(u'\t', u' ').replace(u'\n', u' '); };
  left = std::max(left, 0);
  right = std::min(right, ColumnCount() - 1);
  if (header) {
    QStringList cells;
    for (int c = left; c <= right; ++c) cells << clean(Header(c, project.fUnits));
    lines << cells.join(u'\t');
  }
  for (int row = std::max(top, 0); row <= bottom && row < project.Tables().D.RowCount(); ++row) {
    QStringList cells;
    for (int c = left; c <= right; ++c) {
      const QString estimate = Estimate(project, estimates, row, c);
      cells << clean(estimate.isEmpty() ? Text(project, row, c) : estimate);
    }
    lines << cells.join(u'\t');
  }
  return lines.join(u'\n') + u'\n';
}

int TProfileGrid::Paste(TProgramData &project, int row, int column, const QString &text) const {
  QStringList lines = QString(text).remove(u'\r').split(u'\n');
  while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  if (lines.isEmpty() || row < 0 || column < 0 || column >= ColumnCount()) return 0;
  std::vector<QStringList> block;
  for (const QString &line : lines) block.push_back(line.split(u'\t'));
  // A first line of the headers (as Copy writes them) is no layer.
  const auto isHeader = [&](const QStringList &cells) {
    bool any = false;
    for (qsizetype i = 0; i < cells.size(); ++i) {
      const int c = column + static_cast<int>(i);
      const QString cell = cells[i].trimmed();
      if (cell.isEmpty()) continue;
      if (c >= ColumnCount() || (cell.compare(Header(c, project.fUnits), Qt::CaseInsensitive) != 0 &&
                                 cell.compare(fColumns[static_cast<std::size_t>(c)].Heading, Qt::CaseInsensitive) != 0))
        return false;
      any = true;
    }
    return any;
  };
  if (isHeader(block.front())) block.erase(block.begin());
  if (block.empty()) return 0;
  qsizetype width = 0;
  for (const QStringList &cells : block) width = std::max(width, cells.size());
  // Trailing blank cells (a spreadsheet's empty columns) do not count.
  while (width > 0 && std::all_of(block.begin(), block.end(), [width](const QStringList &cells) {
           return cells.size() < width || cells[width - 1].trimmed().isEmpty();
         }))
    --width;
  if (column + width > ColumnCount())
    throw EAssignError(QStringLiteral("The pasted block is %1 columns wide; from the column where it goes the grid "
                                      "has %2.")
                           .arg(width)
                           .arg(ColumnCount() - column));
  const int rows = static_cast<int>(block.size());
  if (row + rows > kMaxLayers)
    throw EAssignError(QStringLiteral("The pasted block of %1 rows would need %2 layers: a project holds at most %3.")
                           .arg(rows)
                           .arg(row + rows)
                           .arg(kMaxLayers));
  TProjectTables &tables = project.Tables();
  while (tables.D.RowCount() < row + rows) AddLayer(tables);
  // The model first, then the procedure, then the values that depend on them.
  const auto rank = [this](int c) {
    const TProfileColumnKind kind = fColumns[static_cast<std::size_t>(c)].Kind;
    return kind == TProfileColumnKind::Model ? 0 : kind == TProfileColumnKind::Procedure ? 1 : 2;
  };
  std::vector<int> order;
  for (int c = column; c < column + width; ++c) order.push_back(c);
  std::stable_sort(order.begin(), order.end(), [&rank](int a, int b) { return rank(a) < rank(b); });
  for (int r = 0; r < rows; ++r) {
    const QStringList &cells = block[static_cast<std::size_t>(r)];
    for (int c : order) {
      const qsizetype i = c - column;
      const QString cell = i < cells.size() ? cells[i].trimmed() : QString();
      const TProfileColumnKind kind = fColumns[static_cast<std::size_t>(c)].Kind;
      if (cell.isEmpty() || cell.endsWith(kEstimateMark) || kind == TProfileColumnKind::Layer ||
          kind == TProfileColumnKind::TopDepth)
        continue;
      // A value the layer does not use, pasted as it shows it (a block copied from the grid), is left.
      if (!Editable(project, row + r, c) && cell == Text(project, row + r, c)) continue;
      try {
        SetText(project, row + r, c, cell);
      } catch (const EAssignError &e) {
        throw EAssignError(QStringLiteral("Layer %1, %2: %3").arg(row + r + 1).arg(Header(c, project.fUnits), e.message()));
      }
    }
  }
  return rows;
}

}  // namespace pylar
