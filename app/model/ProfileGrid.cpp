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

std::vector<int> ModelsInProfile(const TProjectTables &tables) {
  std::vector<int> models;
  for (int row = 0; row < tables.D.RowCount(); ++row) {
    const int code = tables.D.GetIntValue(lcSoilType, row);
    if (SoilModel(code) && std::find(models.begin(), models.end(), code) == models.end()) models.push_back(code);
  }
  std::sort(models.begin(), models.end());
  return models;
}

TProfileGrid::TProfileGrid(bool lrfd, const std::vector<int> &models) {
  using K = TProfileColumnKind;
  fAll.push_back({K::Layer, QStringLiteral("Layer"), {}, {}});
  fAll.push_back({K::Model, QStringLiteral("Soil Type"), {}, {}});
  fAll.push_back({K::TopDepth, QStringLiteral("Depth at Top"), {}, QStringLiteral("L2")});
  fAll.push_back({K::LayerValue, QStringLiteral("Depth at Bottom"), {}, QStringLiteral("L2"), lcDepth});
  fAll.push_back({K::LayerValue, QStringLiteral("Max. Side Friction"), {}, QStringLiteral("F/L2^2"), lcMaxSide});
  fAll.push_back({K::LayerValue, QStringLiteral("Max. End Bearing"), {}, QStringLiteral("F/L2^2"), lcMaxEnd});
  fAll.push_back({K::LayerValue, QStringLiteral("LRFD Resistance Factor (Side Friction)"), {}, {}, lcLRFDSide});
  fAll.push_back({K::LayerValue, QStringLiteral("LRFD Resistance Factor (End Bearing)"), {}, {}, lcLRFDEnd});
  // Every property of every family, where it first appears; a value kept for
  // both ends of a layer (the sand procedure) is one column, the others two.
  std::vector<TSoilProperty> seen;
  std::vector<TProfileColumn> procedures, properties, layerChoices;
  for (int f = 0; f < kSoilFamilyCount; ++f)
    for (const TSoilField &field : SoilFamily(static_cast<TSoilFamily>(f)).Fields) {
      if (field.Hidden || std::find(seen.begin(), seen.end(), field.Property) != seen.end()) continue;
      seen.push_back(field.Property);
      const QString units = QString::fromLatin1(field.CaptionUnits ? field.CaptionUnits : field.Units);
      if (field.Place == TFilePlace::Procedure) {
        procedures.push_back({K::Procedure, FieldTitle(field), {}, {}, -1, field.Property});
        continue;
      }
      if (field.Place == TFilePlace::MethodBlock) {
        layerChoices.push_back({K::LayerChoice, QString::fromLatin1(field.Heading), {}, {}, -1, field.Property});
        continue;
      }
      for (const bool bottom : {false, true})
        properties.push_back({K::Property, FieldTitle(field), bottom ? QStringLiteral("bottom") : QStringLiteral("top"),
                              units, -1, field.Property, bottom});
    }
  fAll.insert(fAll.end(), procedures.begin(), procedures.end());
  fAll.insert(fAll.end(), properties.begin(), properties.end());
  // The choices of the 2018 methods last, so that a block pasted in the
  // columns' older order still lands where it did.
  fAll.insert(fAll.end(), layerChoices.begin(), layerChoices.end());
  // Shown: the resistance factors under LRFD, the properties of the models asked for.
  for (const TProfileColumn &c : fAll) {
    if (c.LayerColumn == lcLRFDSide || c.LayerColumn == lcLRFDEnd) {
      if (lrfd) fColumns.push_back(c);
      continue;
    }
    if (c.Kind == K::Property || c.Kind == K::Procedure || c.Kind == K::LayerChoice) {
      const bool used = models.empty() || std::any_of(models.begin(), models.end(), [this, &c](int code) {
                          return field(code, c) != nullptr;  // a value a model keeps hidden is no column of it
                        });
      if (!used) continue;
    }
    fColumns.push_back(c);
  }
}

QString TProfileGrid::header(const TProfileColumn &c, int units, bool twoLines) const {
  QString detail = c.End;
  if (!c.Units.isEmpty()) {
    const QString unit = QLatin1Char('(') + ExpandUnitsTemplate(c.Units, units) + QLatin1Char(')');
    detail = detail.isEmpty() ? unit : detail + QLatin1Char(' ') + unit;
  }
  if (detail.isEmpty()) return c.Heading;
  return c.Heading + (twoLines ? QStringLiteral("\n") : (c.End.isEmpty() ? QStringLiteral(" ") : QStringLiteral(", "))) +
         detail;
}

QString TProfileGrid::Header(int column, int units, bool twoLines) const {
  return header(fColumns.at(static_cast<std::size_t>(column)), units, twoLines);
}

QStringList TProfileGrid::choices(const TProfileColumn &c) const {
  switch (c.Kind) {
    case TProfileColumnKind::Model: {
      QStringList models;
      for (int code = 1; code <= kSoilCodeCount; ++code) models << modelName(code);
      return models;
    }
    case TProfileColumnKind::Procedure: return names(procedureField().Choices);
    case TProfileColumnKind::LayerChoice:
    case TProfileColumnKind::Property:
      // The choices of the first model that has the property as a choice.
      for (int code = 1; code <= kSoilCodeCount; ++code)
        if (const TSoilField *f = field(code, c); f && f->Kind == TFieldKind::Choice) return names(f->Choices);
      return {};
    default: return {};
  }
}

QStringList TProfileGrid::Choices(int column) const { return choices(fColumns.at(static_cast<std::size_t>(column))); }

const TSoilField *TProfileGrid::field(int code, const TProfileColumn &column) const {
  const int index = PropertyColumn(code, column.Property);
  if (index < 0) return nullptr;
  const TSoilField &f = SoilFamilyOf(code)->Fields[static_cast<std::size_t>(index)];
  return f.Hidden || !FieldOfModel(f, code) ? nullptr : &f;
}

// ---------------------------------------------------------------- cells

bool TProfileGrid::applies(const TProgramData &project, int row, const TProfileColumn &c) const {
  const TProjectTables &tables = project.Tables();
  if (row < 0 || row >= tables.D.RowCount()) return false;
  if (c.Kind != TProfileColumnKind::Property && c.Kind != TProfileColumnKind::Procedure &&
      c.Kind != TProfileColumnKind::LayerChoice)
    return true;
  const int code = tables.D.GetIntValue(lcSoilType, row);
  const TSoilField *f = field(code, c);
  const TGridTable *props = tables.LayerData(row);
  if (!f || !props || props->RowCount() < 2) return false;
  // A value of some side procedures counts under those procedures only.
  if (f->Procedures == kAnyProcedure) return true;
  const int procedure = PropertyColumn(code, TSoilProperty::SandMethod);
  return procedure >= 0 && UsedUnder(f->Procedures, props->GetIntValue(procedure, 0));
}

bool TProfileGrid::Applies(const TProgramData &project, int row, int column) const {
  return column >= 0 && column < ColumnCount() && applies(project, row, fColumns[static_cast<std::size_t>(column)]);
}

bool TProfileGrid::editable(const TProgramData &project, int row, const TProfileColumn &c) const {
  return c.Kind != TProfileColumnKind::Layer && c.Kind != TProfileColumnKind::TopDepth && applies(project, row, c);
}

bool TProfileGrid::Editable(const TProgramData &project, int row, int column) const {
  return column >= 0 && column < ColumnCount() && editable(project, row, fColumns[static_cast<std::size_t>(column)]);
}

QString TProfileGrid::text(const TProgramData &project, int row, const TProfileColumn &c) const {
  const TProjectTables &tables = project.Tables();
  if (row < 0 || row >= tables.D.RowCount()) return {};
  const TGridTable &d = tables.D;
  const int code = d.GetIntValue(lcSoilType, row);
  switch (c.Kind) {
    case TProfileColumnKind::Layer: return QString::number(row + 1);
    case TProfileColumnKind::Model: return modelName(code);
    case TProfileColumnKind::TopDepth: return FormatValue(row == 0 ? 0 : d.GetFloatValue(lcDepth, row - 1));
    case TProfileColumnKind::LayerValue: return FormatValue(d.GetFloatValue(c.LayerColumn, row));
    case TProfileColumnKind::Procedure:
    case TProfileColumnKind::LayerChoice:
    case TProfileColumnKind::Property: {
      const TSoilField *f = field(code, c);
      const TGridTable *props = tables.LayerData(row);
      if (!f || !props || props->RowCount() < 2) return {};
      const int index = PropertyColumn(code, c.Property);
      const int end = c.Bottom ? 1 : 0;
      if (c.Kind != TProfileColumnKind::Property || f->Kind == TFieldKind::Choice) {
        const QStringList names = choices(c);
        const int value = props->GetIntValue(index, end);
        return value >= 1 && value <= names.size() ? names[value - 1] : QString::number(value);
      }
      if (f->Kind == TFieldKind::Count) return QString::number(props->GetIntValue(index, end));
      return FormatValue(props->GetFloatValue(index, end));
    }
  }
  return {};
}

QString TProfileGrid::Text(const TProgramData &project, int row, int column) const {
  if (column < 0 || column >= ColumnCount()) return {};
  return text(project, row, fColumns[static_cast<std::size_t>(column)]);
}

QString TProfileGrid::Estimate(const TProgramData &project, const TProfileEstimates &estimates, int row,
                               int column) const {
  if (row < 0 || row >= static_cast<int>(estimates.size()) || column < 0 || column >= ColumnCount()) return {};
  const TProfileColumn &c = fColumns[static_cast<std::size_t>(column)];
  if (c.Kind != TProfileColumnKind::Property || !applies(project, row, c)) return {};
  const auto &layer = estimates[static_cast<std::size_t>(row)];
  const auto it = layer.find({c.Property, c.Bottom});
  return it == layer.end() ? QString() : it->second + QLatin1Char(' ') + kEstimateMark;
}

void TProfileGrid::SetText(TProgramData &project, int row, int column, const QString &text) const {
  if (column < 0 || column >= ColumnCount()) throw EAssignError(QStringLiteral("There is no such cell."));
  setText(project, row, fColumns[static_cast<std::size_t>(column)], text);
}

void TProfileGrid::setText(TProgramData &project, int row, const TProfileColumn &c, const QString &typed) const {
  TProjectTables &tables = project.Tables();
  if (row < 0 || row >= tables.D.RowCount()) throw EAssignError(QStringLiteral("There is no such cell."));
  // A cell left as it shows its value keeps the value (not its rounded display).
  if (typed == text(project, row, c)) return;
  const int code = tables.D.GetIntValue(lcSoilType, row);
  switch (c.Kind) {
    case TProfileColumnKind::Layer:
    case TProfileColumnKind::TopDepth:
      throw EAssignError(QStringLiteral("%1 follows from the layers and is not entered.").arg(c.Heading));
    case TProfileColumnKind::Model:
      ChangeLayerModel(tables, row, parseChoice(typed, choices(c)), ProjectMethodSet(project));
      return;
    case TProfileColumnKind::LayerValue:
      tables.D.SetFloatValue(c.LayerColumn, row, parseNumber(typed));
      return;
    case TProfileColumnKind::Procedure:
    case TProfileColumnKind::LayerChoice:
    case TProfileColumnKind::Property: break;
  }
  const TSoilField *f = field(code, c);
  TGridTable *props = tables.LayerData(row);
  const QString what = c.Heading.toLower();
  if (!f || !props || props->RowCount() < 2)
    throw EAssignError(QStringLiteral("A layer of %1 has no %2.").arg(modelName(code), what));
  const int index = PropertyColumn(code, c.Property);
  if (c.Kind == TProfileColumnKind::Procedure) {
    SetSandMethod(*props, parseChoice(typed, choices(c)));
    return;
  }
  if (c.Kind == TProfileColumnKind::LayerChoice) {
    // One value for the whole layer: both ends.
    const int choice = parseChoice(typed, choices(c));
    SetCellNumber(*props, index, 0, choice);
    SetCellNumber(*props, index, 1, choice);
    return;
  }
  if (!applies(project, row, c)) {
    const int procedure = props->GetIntValue(PropertyColumn(code, TSoilProperty::SandMethod), 0);
    const QStringList procedures = names(procedureField().Choices);
    throw EAssignError(QStringLiteral("The %1 of the layer does not use the %2.")
                           .arg(procedure >= 1 && procedure <= procedures.size() ? procedures[procedure - 1]
                                                                                  : QStringLiteral("procedure"),
                                what));
  }
  const Extended value = f->Kind == TFieldKind::Choice ? parseChoice(typed, names(f->Choices)) : parseNumber(typed);
  SetCellNumber(*props, index, c.Bottom ? 1 : 0, value);
  // As the property dialog writes a sand layer: the parameters of the
  // procedures not chosen are 0.
  const int procedure = PropertyColumn(code, TSoilProperty::SandMethod);
  if (procedure >= 0) SetSandMethod(*props, props->GetIntValue(procedure, 0));
}

// ---------------------------------------------------------------- clipboard

QString TProfileGrid::Copy(const TProgramData &project, const TProfileEstimates &estimates, int top, int left,
                           int bottom, int right, bool withHeader) const {
  QStringList lines;
  const auto clean = [](QString cell) { return cell.replace(u'\t', u' ').replace(u'\n', u' '); };
  left = std::max(left, 0);
  right = std::min(right, ColumnCount() - 1);
  if (withHeader) {
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

int TProfileGrid::Paste(TProgramData &project, int row, int column, const QString &pasted) const {
  QStringList lines = QString(pasted).remove(u'\r').split(u'\n');
  while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  if (lines.isEmpty() || row < 0 || column < 0 || column >= ColumnCount()) return 0;
  std::vector<QStringList> block;
  for (const QString &line : lines) block.push_back(line.split(u'\t'));
  qsizetype width = 0;
  for (const QStringList &cells : block) width = std::max(width, cells.size());
  // Trailing blank cells (a spreadsheet's empty columns) do not count.
  while (width > 0 && std::all_of(block.begin(), block.end(), [width](const QStringList &cells) {
           return cells.size() < width || cells[width - 1].trimmed().isEmpty();
         }))
    --width;

  // The columns the block goes into: those its first line names, or those
  // shown from the current one on.
  const int units = project.fUnits;
  const int otherUnits = units == kUnitsSI ? kUnitsEnglish : kUnitsSI;
  const auto named = [&](const QString &cell, int inUnits) -> const TProfileColumn * {
    for (const TProfileColumn &c : fAll)
      if (cell.compare(header(c, inUnits), Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
  };
  std::vector<const TProfileColumn *> targets;
  const QStringList &first = block.front();
  bool headed = false;
  for (qsizetype i = 0; i < width; ++i) {
    const QString cell = i < first.size() ? first[i].trimmed() : QString();
    if (cell.isEmpty()) {
      targets.push_back(nullptr);
      continue;
    }
    const TProfileColumn *c = named(cell, units);
    if (!c) {
      if (named(cell, otherUnits))
        throw EAssignError(QStringLiteral("The column \"%1\" is in the other unit system than the project's: switch the "
                                          "project's units first, or convert the values.")
                               .arg(cell));
      targets.clear();
      headed = false;
      break;
    }
    targets.push_back(c);
    headed = true;
  }
  if (headed) {
    block.erase(block.begin());
  } else {
    targets.clear();
    if (column + width > ColumnCount())
      throw EAssignError(QStringLiteral("The pasted block is %1 columns wide; from the column where it goes the grid "
                                        "has %2.")
                             .arg(width)
                             .arg(ColumnCount() - column));
    for (qsizetype i = 0; i < width; ++i) targets.push_back(&fColumns[static_cast<std::size_t>(column + i)]);
  }
  if (block.empty()) return 0;
  const int rows = static_cast<int>(block.size());
  if (row + rows > kMaxLayers)
    throw EAssignError(QStringLiteral("The pasted block of %1 rows would need %2 layers: a project holds at most %3.")
                           .arg(rows)
                           .arg(row + rows)
                           .arg(kMaxLayers));
  TProjectTables &tables = project.Tables();
  while (tables.D.RowCount() < row + rows) AddLayer(tables, ProjectMethodSet(project));
  // The model first, then the procedure, then the values that depend on them.
  const auto rank = [&targets](qsizetype i) {
    const TProfileColumn *c = targets[static_cast<std::size_t>(i)];
    return !c ? 3 : c->Kind == TProfileColumnKind::Model ? 0 : c->Kind == TProfileColumnKind::Procedure ? 1 : 2;
  };
  std::vector<qsizetype> order;
  for (qsizetype i = 0; i < width; ++i) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [&rank](qsizetype a, qsizetype b) { return rank(a) < rank(b); });
  for (int r = 0; r < rows; ++r) {
    const QStringList &cells = block[static_cast<std::size_t>(r)];
    for (qsizetype i : order) {
      const TProfileColumn *c = targets[static_cast<std::size_t>(i)];
      const QString cell = i < cells.size() ? cells[i].trimmed() : QString();
      if (!c || cell.isEmpty() || cell.endsWith(kEstimateMark) || c->Kind == TProfileColumnKind::Layer ||
          c->Kind == TProfileColumnKind::TopDepth)
        continue;
      // A value the layer does not use, pasted as it shows it (a block copied from the grid), is left.
      if (!editable(project, row + r, *c) && cell == text(project, row + r, *c)) continue;
      try {
        setText(project, row + r, *c, cell);
      } catch (const EAssignError &e) {
        throw EAssignError(QStringLiteral("Layer %1, %2: %3").arg(row + r + 1).arg(header(*c, units), e.message()));
      }
    }
  }
  return rows;
}

}  // namespace pylar
