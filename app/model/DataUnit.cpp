#include "DataUnit.h"

#include <QDir>
#include <QSaveFile>

#include <algorithm>
#include <limits>

namespace pylar {

namespace {

// ---------------------------------------------------------------- table definitions

TFloatColumn &addFloat(TGridTable &table, const QStringList &heading, const QString &units = {},
                       Extended defaultValue = 0) {
  auto &column = table.AddColumn<TFloatColumn>();
  column.Heading = heading;
  column.UnitsString = units;
  column.Default = defaultValue;
  return column;
}

// The property table's column of one field of a soil model family.
void addField(TGridTable &table, const TSoilField &field) {
  const QStringList heading{QString::fromLatin1(field.Heading)};
  switch (field.Kind) {
    case TFieldKind::Number: addFloat(table, heading, QString::fromLatin1(field.Units)); break;
    case TFieldKind::Count: {
      auto &column = table.AddColumn<TIntColumn>();
      column.Heading = heading;
      column.Minimum = field.Minimum;
      column.Maximum = field.Maximum;
      column.Default = field.Default;
      break;
    }
    case TFieldKind::Choice: {
      auto &column = table.AddColumn<TEnumColumn>();
      column.Heading = heading;
      for (const char *name : field.Choices) column.Names << QString::fromLatin1(name);
      break;
    }
  }
}

const QString kPropertyTopLeft = QStringLiteral("Location, 1=Top, 2=Bottom");

// ---------------------------------------------------------------- property lines

// The column a family keeps at a position of its property line; -1 for a
// position that holds a cap of the layer table or an unused value.
int lineColumn(const TSoilFamilyDescription &family, int position, bool version8) {
  for (std::size_t c = 0; c < family.Fields.size(); ++c) {
    const TSoilField &field = family.Fields[c];
    if (field.Place == TFilePlace::PropertyLine && field.FilePosition == position &&
        (version8 || !field.CurrentFormatOnly))
      return static_cast<int>(c);
  }
  return -1;
}

// The column of the procedure line; -1 for a family without one.
int procedureColumn(const TSoilFamilyDescription &family) {
  for (std::size_t c = 0; c < family.Fields.size(); ++c)
    if (family.Fields[c].Place == TFilePlace::Procedure) return static_cast<int>(c);
  return -1;
}

// The column that holds the parameter of a side procedure: the field of that
// procedure, else the last one the file's version knows (the exponent m in the
// current format, beta in the older ones).
int procedureValueColumn(const TSoilFamilyDescription &family, int method, bool version8) {
  int fallback = -1;
  for (std::size_t c = 0; c < family.Fields.size(); ++c) {
    const TSoilField &field = family.Fields[c];
    if (field.Place != TFilePlace::ProcedureValue || (!version8 && field.CurrentFormatOnly)) continue;
    if (field.FilePosition == method) return static_cast<int>(c);
    fallback = static_cast<int>(c);
  }
  return fallback;
}

void readCell(TWordReader &r, TGridTable &table, int column, int row, TFieldKind kind) {
  if (kind == TFieldKind::Number)
    table.SetFloatValue(column, row, r.ReadFloat());
  else
    table.SetIntValue(column, row, r.ReadInteger());
}

// Restores the project's state after a read, whether it completed or not.
class ReadFinish {
 public:
  explicit ReadFinish(TProjectTables &tables) : fTables(tables) {}
  ~ReadFinish() {
    fTables.FillMinimumRows();
    fTables.SetChanged(false);
  }

 private:
  TProjectTables &fTables;
};

// ---------------------------------------------------------------- writing

class LineWriter {
 public:
  void value(const QString &text) {
    fText += text;
    fText += ' ';
  }
  void real(Extended v) { value(FormatValueC(v)); }
  void integer(int v) { value(QString::number(v)); }
  void end() { fText += QLatin1String("\r\n"); }
  void line(const QString &text) {
    fText += text;
    end();
  }
  QByteArray bytes() const { return fText.toUtf8(); }

 private:
  QString fText;
};

// A cell as the text it holds, with "." as decimal point.
QString cellText(const TGridTable &table, int column, int row) {
  const TColumn &c = table.Column(column);
  if (dynamic_cast<const TFloatColumn *>(&c)) return FormatValueC(c.GetFloatValue(row));
  return QString::number(c.GetIntValue(row));
}

QString fileSuffix(const QString &path) {
  const qsizetype slash = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
  const qsizetype dot = path.lastIndexOf('.');
  return dot > slash ? path.mid(dot) : QString();
}

}  // namespace

// ---------------------------------------------------------------- texts

QString LayerTableComments(bool lrfd) {
  QString text = QStringLiteral(
      "Max. Side Friction and Max. End Bearing:\r\u00B7 If entries are left as zero, the program assumes no limits "
      "in side friction and end bearing computed by the program.");
  if (lrfd)
    text += QStringLiteral(
        "\rLRFD Resistance Factors\r\u00B7 Options for entering LRFD resistance factors for side friction and for "
        "for tip resistance in each layer.");
  return text;
}

// ---------------------------------------------------------------- templates

TPropertyTemplates &TPropertyTemplates::instance() {
  static TPropertyTemplates templates;
  return templates;
}

TPropertyTemplates::TPropertyTemplates() {
  for (int code = 1; code <= kSoilCodeCount; ++code) {
    const TSoilModelDescription &model = *SoilModel(code);
    auto &table = fTables[static_cast<std::size_t>(code - 1)];
    table = std::make_unique<TGridTable>();
    table->SetMinRows(2);
    table->SetMaxRows(2);
    table->Caption = QString::fromLatin1(model.TableCaption);
    if (model.TableComments) table->Comments = QString::fromLatin1(model.TableComments);
    if (model.LocationTopLeft) table->TopLeft = kPropertyTopLeft;
    for (const TSoilField &field : SoilFamily(model.Family).Fields) {
      addField(*table, field);
      // A value of another model of the family is kept, but not shown.
      if (!FieldOfModel(field, code)) table->Column(table->ColCount() - 1).Visible = false;
    }
  }
  ClaimIdentifiers();
}

void TPropertyTemplates::ClaimIdentifiers() {
  for (int code = 1; code <= kSoilCodeCount; ++code)
    fTables[static_cast<std::size_t>(code - 1)]->SetIdentifier(SoilModel(code)->TemplateIdentifier);
}

TGridTable *TPropertyTemplates::ForCode(int code) {
  return code >= 1 && code <= kSoilCodeCount ? fTables[static_cast<size_t>(code - 1)].get() : nullptr;
}

// ---------------------------------------------------------------- TProjectTables

TProjectTables::TProjectTables() {
  TPropertyTemplates::instance().ClaimIdentifiers();

  D.SetIdentifier(kLayerTableIdentifier);
  D.Caption = QStringLiteral("Soil Layer Data");
  D.TopLeft = QStringLiteral("Layer");
  D.SetMinRows(1);
  D.SetMaxRows(20);
  auto &soilType = D.AddColumn<TEnumColumn>();
  soilType.Heading = QStringList{"Soil Type"};
  for (int code = 1; code <= kSoilCodeCount; ++code) soilType.Names << QString::fromLatin1(SoilModel(code)->ChoiceText);
  addFloat(D, {"Depth at Bottom ", "of each Layer"}, "L2");
  auto &layerData = D.AddColumn<TTableColumn>();
  layerData.Heading = QStringList{"Layer Data"};
  for (int code = 1; code <= kSoilCodeCount; ++code) layerData.Templates.AddIdentifier(SoilModel(code)->TemplateIdentifier);
  layerData.Templates.AddIdentifier(-1);
  addFloat(D, {"Max. Side ", "Friction"}, "F/L2^2");
  addFloat(D, {"Max. End ", "Bearing"}, "F/L2^2");
  addFloat(D, {"LRFD Resistance Factor", "(Side Friction)"}, {}, 1.0L);
  addFloat(D, {"LRFD Resistance Factor", "(End Bearing)"}, {}, 1.0L);

  TblTZDepth.SetIdentifier(kTZDepthTableIdentifier);
  TblTZDepth.Caption = QStringLiteral("Generated t-z curves");
  TblTZDepth.SetMinRows(1);
  TblTZDepth.SetMaxRows(20);
  addFloat(TblTZDepth, {"Depth"}, "L2");

  ShowLRFDColumns(false);
}

TGridTable *TProjectTables::LayerData(int row) const {
  if (row < 0 || row >= D.RowCount()) return nullptr;
  return D.GetDataValue(lcLayerData, row);
}

void TProjectTables::RebuildLayerData(int row) {
  TPropertyTemplates::instance().ClaimIdentifiers();
  static_cast<TTableColumn &>(D.Column(lcLayerData)).RebuildRow(row);
}

bool TProjectTables::GetChanged() const { return fDataChanged || D.Changed() || TblTZDepth.Changed(); }

void TProjectTables::SetChanged(bool changed) {
  fDataChanged = changed;
  if (!changed) {
    D.ResetChanged();
    TblTZDepth.ResetChanged();
  }
}

void TProjectTables::ShowLRFDColumns(bool lrfd) {
  D.Column(lcLRFDSide).Visible = lrfd;
  D.Column(lcLRFDEnd).Visible = lrfd;
  D.Comments = LayerTableComments(lrfd);
  D.Update();
}

void TProjectTables::SetUnits(int units) {
  D.SetUnits(units);
  TblTZDepth.SetUnits(units);
}

void TProjectTables::ClearRows() {
  D.Hide();
  TblTZDepth.Hide();
  D.SetRowCount(0);
  TblTZDepth.SetRowCount(0);
}

void TProjectTables::FillMinimumRows() {
  TPropertyTemplates::instance().ClaimIdentifiers();
  for (TGridTable *table : {&D, &TblTZDepth})
    if (table->RowCount() < table->MinRows()) table->SetRowCount(table->MinRows());
}

// ---------------------------------------------------------------- design methods

namespace {

// The choice held in a layer's method column (1 the first word); `fallback`
// where the model holds no such value or the value is out of range.
template <typename Enum, std::size_t N>
Enum layerChoice(const TProjectTables &tables, int row, TSoilProperty property,
                 const std::array<std::string_view, N> & /*words, for their count*/) {
  const int code = tables.D.GetIntValue(lcSoilType, row);
  const int column = PropertyColumn(code, property);
  const TGridTable *props = tables.LayerData(row);
  if (column < 0 || !props || props->RowCount() < 1 || column >= props->ColCount()) return Enum{};
  const int value = props->GetIntValue(column, 0);
  return value >= 1 && value <= static_cast<int>(N) ? static_cast<Enum>(value - 1) : Enum{};
}

void setLayerChoice(TProjectTables &tables, int row, TSoilProperty property, int index) {
  const int code = tables.D.GetIntValue(lcSoilType, row);
  const int column = PropertyColumn(code, property);
  TGridTable *props = tables.LayerData(row);
  if (column < 0 || !props || column >= props->ColCount()) return;
  for (int end = 0; end < props->RowCount() && end < 2; ++end) props->SetIntValue(column, end, index + 1);
}

}  // namespace

std::vector<int> LayerCodes(const TProjectTables &tables) {
  std::vector<int> codes;
  for (int row = 0; row < tables.D.RowCount(); ++row) codes.push_back(tables.D.GetIntValue(lcSoilType, row));
  return codes;
}

methods::LayerMethods LayerMethodValues(const TProjectTables &tables, int row) {
  methods::LayerMethods values;
  if (row < 0 || row >= tables.D.RowCount()) return values;
  values.test = layerChoice<methods::StrengthTest>(tables, row, TSoilProperty::StrengthTest, methods::kStrengthTestNames);
  values.sand = layerChoice<methods::SandKind>(tables, row, TSoilProperty::SandKind, methods::kSandKindNames);
  return values;
}

void SetLayerMethodValues(TProjectTables &tables, int row, const methods::LayerMethods &values) {
  if (row < 0 || row >= tables.D.RowCount()) return;
  setLayerChoice(tables, row, TSoilProperty::StrengthTest, static_cast<int>(values.test));
  setLayerChoice(tables, row, TSoilProperty::SandKind, static_cast<int>(values.sand));
}

methods::DesignMethods ProjectMethods(const TProgramData &project) {
  methods::DesignMethods m;
  m.set = project.DesignSet == 1 ? methods::MethodSet::Gec2018 : methods::MethodSet::Fhwa1999;
  m.scourDepth = static_cast<double>(project.ScourDepth);
  const TProjectTables &tables = project.Tables();
  for (int row = 0; row < tables.D.RowCount(); ++row) m.layers.push_back(LayerMethodValues(tables, row));
  return m;
}

// ---------------------------------------------------------------- TProgramData

std::unique_ptr<TProgramData> TProgramData::Create(TProjectTables &tables, const QString &fileName, int units,
                                                   const QString &title) {
  auto data = std::make_unique<TProgramData>(tables);
  data->FileName = fileName;
  data->fUnits = units == kUnitsSI ? kUnitsSI : kUnitsEnglish;
  data->Title = title;
  data->PINC = 1.0L;
  data->METHOD = 2;
  data->KCYCL = 1;
  data->RCYCL = 1.0L;
  data->NPOINTPD = 5;
  data->FST = 2.5L;
  data->FSB = 3.0L;
  data->ID2 = 1;
  data->IMOD = 1;
  data->Yesnewversion = 1;
  data->NLRFD = 2;
  // The defined settlements in the project's own unit (in, or m for SI).
  data->InitPDSET();
  tables.ClearRows();
  tables.SetUnits(data->fUnits);
  tables.FillMinimumRows();
  tables.ShowLRFDColumns(false);
  tables.SetChanged(false);
  return data;
}

TProgramData::TReadResult TProgramData::CreateFromFile(TProjectTables &tables, const QString &path, int format) {
  return create(tables, path, format, [&] { return TWordReader(path); });
}

TProgramData::TReadResult TProgramData::CreateFromData(TProjectTables &tables, const QByteArray &data,
                                                       const QString &path, int format) {
  return create(tables, path, format, [&] { return TWordReader::FromData(data); });
}

TProgramData::TReadResult TProgramData::ReadWhole(TProjectTables &tables, const QString &path, int format,
                                                  QByteArray &bytes) {
  bytes.clear();
  try {
    bytes = ReadWholeFile(path);
  } catch (const EInOutError &e) {
    TReadResult result;
    result.error = e.message();
    return result;
  }
  return CreateFromData(tables, bytes, path, format);
}

TProgramData::TReadResult TProgramData::create(TProjectTables &tables, const QString &path, int format,
                                               const std::function<TWordReader()> &open) {
  TReadResult result;
  result.data = std::make_unique<TProgramData>(tables);
  TProgramData &data = *result.data;
  try {
    data.read(path, format, open, result.errorLine);
  } catch (const EInOutError &e) {
    result.error = e.message();
  }
  if (format != ffVersion8) data.InitPDSET();
  tables.ShowLRFDColumns(data.NLRFD == 1);
  tables.SetChanged(false);
  return result;
}

void TProgramData::startRead(const QString &path) {
  FileName = path;
  fUnits = kUnitsEnglish;
  fTables->ClearRows();
  fTables->SetUnits(kUnitsEnglish);
}

void TProgramData::read(const QString &path, int format, const std::function<TWordReader()> &open,
                        int &errorLine) {
  startRead(path);
  ReadFinish finish(*fTables);
  TWordReader reader = open();
  try {
    if (format == ffVersion8) {
      ReadVersion8(reader);
      readMethodBlock(reader, errorLine);
    } else {
      ReadPrevVersions(reader, format != ffLegacy60);
    }
  } catch (const EInOutError &) {
    if (errorLine == 0) errorLine = reader.LineNumber();
    throw;
  }
}

void TProgramData::ReadVersion8(TWordReader &r) {
  readOpening(r);
  IMOD = 1;
  Yesnewversion = 1;
  IMOD = r.ReadInteger();
  NLRFD = r.ReadInteger();
  IPENT = r.ReadInteger();
  IChart = r.ReadInteger();
  UseElevation = r.ReadInteger();
  ValElevation = r.ReadFloat();
  PrintTZCurves = r.CurrentLineWordCount() == 11 ? r.ReadInteger() : 0;

  const int layers = readPierAndLoads(r);

  if (IPENT > 0) {
    PDMIN = r.ReadFloat();
    PDINCR = r.ReadFloat();
  }
  InitPDSET();
  if (IChart > 0) {
    PDMIN = r.ReadFloat();
    PDINCR = r.ReadFloat();
    DIAMINCR = r.ReadFloat();
    NPOINTPD = r.ReadInteger(0, kMaxSettlements);
    for (int k = 0; k < NPOINTPD; ++k) PDSETT[static_cast<size_t>(k)] = r.ReadFloat();
  }

  for (int row = 0; row < layers; ++row) readLayer(r, row, true);

  if (PrintTZCurves == 1) {
    const int count = r.ReadInteger(0, kMaxTZDepths);
    fTables->TblTZDepth.SetRowCount(count);
    for (int k = 0; k < count; ++k) fTables->TblTZDepth.SetFloatValue(0, k, r.ReadFloat());
  }
}

void TProgramData::readMethodBlock(const TWordReader &reader, int &errorLine) {
  std::vector<methods::BlockLine> lines;
  for (const TWordReader::TNumberedLine &line : reader.LinesAfterCurrent())
    lines.push_back({line.number, line.text.toStdString()});
  const std::vector<int> codes = LayerCodes(*fTables);
  methods::DesignMethods read;
  if (const auto problem = methods::readMethodBlock(lines, codes, fUnits == kUnitsSI, read)) {
    errorLine = problem->line;
    throw EInOutError(QString::fromStdString(problem->message()));
  }
  DesignSet = static_cast<int>(read.set);
  ScourDepth = read.scourDepth;
  for (int row = 0; row < static_cast<int>(codes.size()); ++row)
    SetLayerMethodValues(*fTables, row, read.layer(static_cast<std::size_t>(row)));
}

void TProgramData::ReadPrevVersions(TWordReader &r, bool newVariant) {
  readOpening(r);
  if (newVariant) {
    IMOD = r.ReadInteger();
    NLRFD = r.ReadInteger();
    Yesnewversion = 1;
  } else {
    Yesnewversion = 0;
    IMOD = 1;
    if (r.CurrentLineWordCount() == 5) IMOD = r.ReadInteger();
  }

  const int layers = readPierAndLoads(r);

  for (int row = 0; row < layers; ++row) readLayer(r, row, false);
}

// The title, the units, the side procedure and the loading: the opening of
// every version of the project file.
void TProgramData::readOpening(TWordReader &r) {
  Title = r.ReadLine();
  // The engine computes in SI only for the flag 2; the program follows it.
  SetUnits(r.ReadInteger() == kUnitsSI ? kUnitsSI : kUnitsEnglish);
  METHOD = r.ReadInteger();
  KCYCL = r.ReadInteger();
  RCYCL = r.ReadFloat();
  PINC = r.ReadFloat();
}

// The pier geometry, the layer count (the layer table gets that many rows),
// the water table, the load and the two safety factors: alike in every
// version of the project file. Returns the layer count.
int TProgramData::readPierAndLoads(TWordReader &r) {
  DSTART = r.ReadFloat();
  DIALIM = r.ReadFloat();
  RATIO = r.ReadFloat();
  BELANGL = r.ReadFloat();
  TOPLENG = r.ReadFloat();
  BS = r.ReadFloat();
  EPILE = r.ReadFloat();

  const int layers = r.ReadInteger(1, kMaxLayers);
  fTables->D.SetRowCount(layers);
  WTD = r.ReadFloat();
  if (METHOD == 1) {
    LPD = r.ReadFloat();
    PD = 0;
  } else {
    PD = r.ReadFloat();
    LPD = 0;
  }
  FST = r.ReadFloat();
  FSB = r.ReadFloat();
  return layers;
}

void TProgramData::readLayer(TWordReader &r, int row, bool version8) {
  TGridTable &D = fTables->D;
  const int code = r.ReadInteger(1, kSoilCodeCount);
  D.SetIntValue(lcSoilType, row, code);
  D.SetFloatValue(lcDepth, row, r.ReadFloat());
  fTables->RebuildLayerData(row);
  TGridTable *table = fTables->LayerData(row);
  if (!table) throw EInOutError(TWordReader::IncompleteMessage());

  const TSoilFamilyDescription &family = *SoilFamilyOf(code);
  for (int end = 0; end < 2; ++end) {
    for (int position = 0; position < family.LineLength; ++position) {
      if (position == family.MaxSidePosition) {
        D.SetFloatValue(lcMaxSide, row, r.ReadFloat());
      } else if (position == family.MaxEndPosition) {
        D.SetFloatValue(lcMaxEnd, row, r.ReadFloat());
      } else if (const int column = lineColumn(family, position, version8); column >= 0) {
        readCell(r, *table, column, end, family.Fields[static_cast<std::size_t>(column)].Kind);
      } else {
        r.ReadFloat();  // a value the program does not keep
      }
    }
    // The longer record carries the two resistance factors.
    if (r.WordsLeftOnLine() >= 2) {
      D.SetFloatValue(lcLRFDSide, row, r.ReadFloat());
      D.SetFloatValue(lcLRFDEnd, row, r.ReadFloat());
    }
  }

  if (const int procedure = procedureColumn(family); procedure >= 0) {
    const int method = r.ReadInteger();
    table->SetIntValue(procedure, 0, method);
    table->SetIntValue(procedure, 1, method);
    const int column = procedureValueColumn(family, method, version8);
    for (int end = 0; end < 2; ++end) table->SetFloatValue(column, end, r.ReadFloat());
  }
  for (std::size_t c = 0; c < family.Fields.size(); ++c)
    if (family.Fields[c].Place == TFilePlace::PairLine)
      for (int end = 0; end < 2; ++end) readCell(r, *table, static_cast<int>(c), end, family.Fields[c].Kind);
}

void TProgramData::SetUnits(int units) {
  units = std::clamp(units, kUnitsEnglish, kUnitsSI);
  if (units == fUnits) return;
  const bool toEnglish = units == kUnitsEnglish;
  const Extended length = toEnglish ? kFtPerM : 1 / kFtPerM;
  const Extended smallLength = toEnglish ? kInPerM : 1 / kInPerM;
  const Extended force = toEnglish ? kLbsPerKN : 1 / kLbsPerKN;
  const Extended heavyForce = toEnglish ? kTonsPerKN : 1 / kTonsPerKN;

  fUnits = units;
  fTables->SetUnits(units);
  // Every length of the project, those of the length series and the
  // elevation included: a value left in the old unit would be a wrong length.
  for (Extended *value : {&PINC, &DSTART, &DIALIM, &TOPLENG, &BS, &PD, &WTD, &PDMIN, &PDINCR, &DIAMINCR,
                          &ValElevation, &ScourDepth})
    *value *= length;
  EPILE *= force / (smallLength * smallLength);
  LPD *= heavyForce;
  // All ten settlements, so that those beyond NPOINTPD are right once in use.
  for (Extended &settlement : PDSETT) settlement *= smallLength;
}

void TProgramData::InitPDSET() {
  PDSETT = {0.1L, 0.25L, 0.5L, 0.75L, 1.0L, 1.0L, 1.0L, 1.0L, 1.0L, 1.0L};
  if (fUnits == kUnitsSI)
    for (Extended &settlement : PDSETT) settlement /= kInPerM;
}

void TProgramData::SetProposedLength(Extended length) {
  PD = length;
  if (PD > 0) {
    LPD = 0;
    METHOD = 2;
  } else {
    METHOD = 1;
    IPENT = 0;
    IChart = 0;
  }
}

void TProgramData::SetDesignLoad(Extended load) {
  LPD = load;
  if (LPD > 0) SetProposedLength(0);
}

void TProgramData::SetLoading(int kcycl, Extended rcycl) {
  KCYCL = kcycl;
  RCYCL = kcycl == 1 ? 1.0L : rcycl;
}

void TProgramData::Normalise() {
  METHOD = PD > 0 ? 2 : 1;
  if (METHOD == 1) {
    PD = 0;
    IPENT = 0;
    IChart = 0;
  } else {
    LPD = 0;
  }
  Yesnewversion = 1;
  if (IPENT == 1) DIALIM = DSTART;
}

QByteArray TProgramData::ToFileText() const {
  TProgramData p(*this);
  p.Normalise();
  const TGridTable &D = fTables->D;
  LineWriter w;
  // The title is one line of the file, whatever it holds.
  QString title = p.Title;
  title.replace('\r', ' ').replace('\n', ' ');
  w.line(title);

  w.integer(p.fUnits == kUnitsSI ? kUnitsSI : kUnitsEnglish);
  w.end();

  w.integer(p.METHOD);
  w.integer(p.KCYCL);
  w.real(p.RCYCL);
  w.real(p.PINC);
  w.integer(p.IMOD);
  w.integer(p.NLRFD);
  w.integer(p.IPENT);
  w.integer(p.IChart);
  w.integer(p.UseElevation);
  w.real(p.ValElevation);
  w.integer(p.PrintTZCurves);
  w.end();

  for (Extended v : {p.DSTART, p.DIALIM, p.RATIO, p.BELANGL, p.TOPLENG, p.BS, p.EPILE}) w.real(v);
  w.end();

  w.integer(D.RowCount());
  w.real(p.WTD);
  w.real(p.METHOD == 1 ? p.LPD : p.PD);
  w.real(p.FST);
  w.real(p.FSB);
  w.end();

  if (p.IPENT > 0) {
    w.real(p.PDMIN);
    w.real(p.PDINCR);
    w.end();
  }
  if (p.IChart > 0) {
    const int count = std::clamp(p.NPOINTPD, 0, kMaxSettlements);
    w.real(p.PDMIN);
    w.real(p.PDINCR);
    w.real(p.DIAMINCR);
    w.integer(count);
    w.end();
    for (int k = 0; k < count; ++k) w.real(p.PDSETT[static_cast<size_t>(k)]);
    w.end();
  }

  for (int row = 0; row < D.RowCount(); ++row) {
    const int code = D.GetIntValue(lcSoilType, row);
    w.integer(code);
    w.value(cellText(D, lcDepth, row));
    w.end();
    const TGridTable *table = fTables->LayerData(row);
    const TSoilFamilyDescription *family = SoilFamilyOf(code);
    if (!table || !family) continue;
    for (int end = 0; end < 2; ++end) {
      for (int position = 0; position < family->LineLength; ++position) {
        if (position == family->MaxSidePosition)
          w.value(cellText(D, lcMaxSide, row));
        else if (position == family->MaxEndPosition)
          w.value(cellText(D, lcMaxEnd, row));
        else if (const int column = lineColumn(*family, position, true); column >= 0)
          w.value(cellText(*table, column, end));
        else
          w.value(QStringLiteral("0.0"));
      }
      w.value(cellText(D, lcLRFDSide, row));
      w.value(cellText(D, lcLRFDEnd, row));
      w.end();
    }
    if (const int procedure = procedureColumn(*family); procedure >= 0) {
      const int method = table->GetIntValue(procedure, 0);
      w.integer(method);
      w.end();
      const int column = procedureValueColumn(*family, method, true);
      w.value(cellText(*table, column, 0));
      w.value(cellText(*table, column, 1));
      w.end();
    }
    for (std::size_t c = 0; c < family->Fields.size(); ++c) {
      if (family->Fields[c].Place != TFilePlace::PairLine) continue;
      w.value(cellText(*table, static_cast<int>(c), 0));
      w.value(cellText(*table, static_cast<int>(c), 1));
      w.end();
    }
  }

  if (p.PrintTZCurves == 1) {
    const TGridTable &depths = fTables->TblTZDepth;
    w.integer(depths.RowCount());
    w.end();
    for (int k = 0; k < depths.RowCount(); ++k) {
      w.value(cellText(depths, 0, k));
      w.end();
    }
  }
  // The block of design methods follows the records (nothing for a project
  // of the 1999 methods with every value at its default).
  const std::vector<int> codes = LayerCodes(*fTables);
  return w.bytes() + QByteArray::fromStdString(methods::methodBlockText(ProjectMethods(p), codes));
}

void TProgramData::Save() {
  const QByteArray text = ToFileText();
  // The temporary file replaces the old one only when complete. Unbuffered,
  // because a buffered QSaveFile reports a write cut short by the file system
  // (disk full, size limit) as success and commits the truncated file.
  QSaveFile file(FileName);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    throw EInOutError(QStringLiteral("Cannot create the file %1: %2").arg(FileName, file.errorString()));
  if (file.write(text) != text.size()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    throw EInOutError(QStringLiteral("Cannot write the file %1: %2").arg(FileName, reason));
  }
  if (!file.commit())
    throw EInOutError(QStringLiteral("Cannot write the file %1: %2").arg(FileName, file.errorString()));
  Normalise();
  fTables->SetChanged(false);
}

QString OpenFailureMessage(const QString &path, const TProgramData::TReadResult &read) {
  QString text = read.error + QStringLiteral("\r\rThe file ") + QDir::toNativeSeparators(path) +
                 QStringLiteral(" was not opened");
  if (read.errorLine > 0) text += QStringLiteral(": reading stopped at line ") + QString::number(read.errorLine);
  return text + u'.';
}

// ---------------------------------------------------------------- file names

QString FileNameOnly(const QString &fileName) {
  const qsizetype slash = std::max(fileName.lastIndexOf('/'), fileName.lastIndexOf('\\'));
  return fileName.mid(slash + 1);
}

QString DisplayName(const QString &fileName) {
  QString name = FileNameOnly(fileName);
  if (fileSuffix(name).toUpper() == QLatin1String(".") + QString::fromLatin1(kDefaultExtension).toUpper())
    name.truncate(name.indexOf('.'));
  if (name.size() > 1 && name[0] >= 'a' && name[0] <= 'z') name[0] = name[0].toUpper();
  return name;
}

QString WindowCaption(const QString &fileName) {
  return QString::fromLatin1(kProgramCaption) + QStringLiteral(" - ") + FileNameOnly(fileName);
}

QString SaveAsTitle(const QString &fileName) {
  return QStringLiteral("Save ") + DisplayName(fileName) + QStringLiteral(" As");
}

bool IsUnnamed(const QString &fileName) { return fileName == QLatin1String(kDefaultFileName); }

bool NeedsSaveAs(const QString &fileName) {
  return IsUnnamed(fileName) || fileSuffix(fileName).toLower() != QLatin1String(kProjectExtension);
}

QString ProposedSaveName(const QString &fileName) {
  const QString suffix = fileSuffix(fileName);
  if (suffix.toLower() == QLatin1String(kProjectExtension)) return fileName;
  return fileName.left(fileName.size() - suffix.size()) + QLatin1String(kProjectExtension);
}

TFileFormat FormatForExtension(const QString &path) {
  const QString suffix = fileSuffix(path).toLower();
  if (suffix == QLatin1String(kProjectExtension)) return ffVersion8;
  if (suffix == QLatin1String(kLegacyExtension)) return ffLegacy2012;
  return ffNone;
}

}  // namespace pylar
