#include "ProjectHistory.h"

#include "SoilLayers.h"

#include <QUndoCommand>

#include <cmath>
#include <utility>

namespace pylar {

namespace {

// The settings a snapshot keeps, in its order. FileName (set by Save As, never
// undone) and ID2 (what the last run reported) are not the user's edits.
constexpr std::pair<const char *, Extended TProgramData::*> kRealSettings[] = {
    {"PINC", &TProgramData::PINC},       {"RCYCL", &TProgramData::RCYCL},     {"DSTART", &TProgramData::DSTART},
    {"DIALIM", &TProgramData::DIALIM},   {"RATIO", &TProgramData::RATIO},     {"BELANGL", &TProgramData::BELANGL},
    {"TOPLENG", &TProgramData::TOPLENG}, {"BS", &TProgramData::BS},           {"EPILE", &TProgramData::EPILE},
    {"WTD", &TProgramData::WTD},         {"PD", &TProgramData::PD},           {"PDMIN", &TProgramData::PDMIN},
    {"PDINCR", &TProgramData::PDINCR},   {"DIAMINCR", &TProgramData::DIAMINCR}, {"FST", &TProgramData::FST},
    {"FSB", &TProgramData::FSB},         {"LPD", &TProgramData::LPD},         {"ValElevation", &TProgramData::ValElevation},
    {"ScourDepth", &TProgramData::ScourDepth},
};
constexpr std::pair<const char *, int TProgramData::*> kIntegerSettings[] = {
    {"fUnits", &TProgramData::fUnits},     {"PrintTZCurves", &TProgramData::PrintTZCurves},
    {"METHOD", &TProgramData::METHOD},     {"KCYCL", &TProgramData::KCYCL},
    {"NPOINTPD", &TProgramData::NPOINTPD}, {"UseElevation", &TProgramData::UseElevation},
    {"IPENT", &TProgramData::IPENT},       {"IChart", &TProgramData::IChart},
    {"IMOD", &TProgramData::IMOD},         {"Yesnewversion", &TProgramData::Yesnewversion},
    {"NLRFD", &TProgramData::NLRFD},       {"DesignSet", &TProgramData::DesignSet},
};
constexpr int kRealCount = static_cast<int>(std::size(kRealSettings));
constexpr int kIntegerCount = static_cast<int>(std::size(kIntegerSettings));
constexpr int kUnitsIndex = kRealCount;  // fUnits, the first whole-number setting
// The numeric columns of the layer table.
constexpr TLayerColumn kLayerValues[] = {lcDepth, lcMaxSide, lcMaxEnd, lcLRFDSide, lcLRFDEnd};

QString settingName(std::size_t index) {
  if (index < std::size(kRealSettings)) return QString::fromLatin1(kRealSettings[index].first);
  index -= std::size(kRealSettings);
  if (index < std::size(kIntegerSettings)) return QString::fromLatin1(kIntegerSettings[index].first);
  return QStringLiteral("PDSETT %1").arg(index - std::size(kIntegerSettings) + 1);
}

bool same(Extended a, Extended b) { return a == b || (std::isnan(a) && std::isnan(b)); }

void compare(const std::vector<Extended> &a, const std::vector<Extended> &b, const QString &name, QStringList &out,
             const std::function<QString(std::size_t)> &itemName) {
  if (a.size() != b.size()) {
    out << name;
    return;
  }
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!same(a[i], b[i])) out << itemName(i);
}

std::vector<Extended> column(const TGridTable &table, int row) {
  std::vector<Extended> values;
  for (int c = 0; c < table.ColCount(); ++c) values.push_back(table.GetFloatValue(c, row));
  return values;
}

}  // namespace

TProjectSnapshot TProjectSnapshot::Capture(const TProgramData &project) {
  TProjectSnapshot s;
  for (const auto &[name, field] : kRealSettings) s.fReals.push_back(project.*field);
  for (const auto &[name, field] : kIntegerSettings) s.fReals.push_back(project.*field);
  for (Extended settlement : project.PDSETT) s.fReals.push_back(settlement);
  s.fTitle = project.Title;
  const TProjectTables &tables = project.Tables();
  for (int row = 0; row < tables.D.RowCount(); ++row) {
    TLayer layer;
    layer.code = tables.D.GetIntValue(lcSoilType, row);
    for (TLayerColumn c : kLayerValues) layer.values.push_back(tables.D.GetFloatValue(c, row));
    if (const TGridTable *props = tables.LayerData(row); props && props->RowCount() >= 2) {
      layer.top = column(*props, 0);
      layer.bottom = column(*props, 1);
    }
    s.fLayers.push_back(std::move(layer));
  }
  for (int row = 0; row < tables.TblTZDepth.RowCount(); ++row) s.fTzDepths.push_back(tables.TblTZDepth.GetFloatValue(0, row));
  return s;
}

void TProjectSnapshot::Restore(TProgramData &project) const {
  TProjectTables &tables = project.Tables();
  // The unit system first: the tables take it (converting what they hold,
  // which is then replaced by the values kept).
  const int units = static_cast<int>(fReals[static_cast<std::size_t>(kUnitsIndex)]);
  tables.SetUnits(units);
  std::size_t k = 0;
  for (const auto &[name, field] : kRealSettings) project.*field = fReals[k++];
  for (const auto &[name, field] : kIntegerSettings) project.*field = static_cast<int>(fReals[k++]);
  for (Extended &settlement : project.PDSETT) settlement = fReals[k++];
  project.Title = fTitle;

  TGridTable &d = tables.D;
  d.SetRowCount(static_cast<int>(fLayers.size()));
  for (int row = 0; row < d.RowCount(); ++row) {
    const TLayer &layer = fLayers[static_cast<std::size_t>(row)];
    // A new model gives the layer a fresh table of that model's template.
    d.SetIntValue(lcSoilType, row, layer.code);
    for (std::size_t i = 0; i < std::size(kLayerValues) && i < layer.values.size(); ++i)
      d.SetFloatValue(kLayerValues[i], row, layer.values[i]);
    TGridTable *props = tables.LayerData(row);
    if (!props || props->ColCount() != static_cast<int>(layer.top.size()) || props->RowCount() < 2) {
      tables.RebuildLayerData(row);
      props = tables.LayerData(row);
    }
    if (!props || props->RowCount() < 2) continue;
    for (int c = 0; c < props->ColCount() && c < static_cast<int>(layer.top.size()); ++c) {
      SetCellNumber(*props, c, 0, layer.top[static_cast<std::size_t>(c)]);
      SetCellNumber(*props, c, 1, layer.bottom[static_cast<std::size_t>(c)]);
    }
  }
  TGridTable &tz = tables.TblTZDepth;
  tz.SetRowCount(static_cast<int>(fTzDepths.size()));
  for (int row = 0; row < tz.RowCount(); ++row) tz.SetFloatValue(0, row, fTzDepths[static_cast<std::size_t>(row)]);
  tables.ShowLRFDColumns(project.NLRFD == 1);
}

QStringList TProjectSnapshot::ChangedValues(const TProjectSnapshot &other) const {
  QStringList changed;
  compare(fReals, other.fReals, QStringLiteral("settings"), changed, settingName);
  if (fTitle != other.fTitle) changed << QStringLiteral("Title");
  if (fLayers.size() != other.fLayers.size()) {
    changed << QStringLiteral("layers");
  } else {
    for (std::size_t row = 0; row < fLayers.size(); ++row) {
      const TLayer &a = fLayers[row];
      const TLayer &b = other.fLayers[row];
      const QString layer = QStringLiteral("layer %1 ").arg(row + 1);
      if (a.code != b.code) {
        changed << layer + QStringLiteral("model");
        continue;
      }
      compare(a.values, b.values, layer + QStringLiteral("values"), changed,
              [&layer](std::size_t i) { return layer + QStringLiteral("value %1").arg(kLayerValues[i]); });
      compare(a.top, b.top, layer + QStringLiteral("properties"), changed,
              [&layer](std::size_t i) { return layer + QStringLiteral("property %1 top").arg(i); });
      compare(a.bottom, b.bottom, layer + QStringLiteral("properties"), changed,
              [&layer](std::size_t i) { return layer + QStringLiteral("property %1 bottom").arg(i); });
    }
  }
  compare(fTzDepths, other.fTzDepths, QStringLiteral("t-z depths"), changed,
          [](std::size_t i) { return QStringLiteral("t-z depth %1").arg(i + 1); });
  return changed;
}

// ---------------------------------------------------------------- history

// One step: the project before and after it. The value it changed alone, if
// one, lets the next change of that value merge into it.
class TProjectHistory::TStep : public QUndoCommand {
 public:
  TStep(TProjectHistory &history, const QString &label, TProjectSnapshot before, TProjectSnapshot after,
        QString onlyValue)
      : QUndoCommand(label),
        fHistory(history),
        fBefore(std::move(before)),
        fAfter(std::move(after)),
        fOnlyValue(std::move(onlyValue)) {}

  int id() const override { return 1; }
  void undo() override { fHistory.restore(fBefore); }
  void redo() override {
    // Pushing the step does not restore: the project is already in that state.
    if (fPushed) fHistory.restore(fAfter);
    fPushed = true;
  }
  bool mergeWith(const QUndoCommand *other) override {
    const auto *next = dynamic_cast<const TStep *>(other);
    if (!next || fOnlyValue.isEmpty() || next->fOnlyValue != fOnlyValue) return false;
    fAfter = next->fAfter;
    // Typed back to where it was: the step is no step.
    setObsolete(fAfter == fBefore);
    return true;
  }
  void SetAfter(TProjectSnapshot after) { fAfter = std::move(after); }

 private:
  TProjectHistory &fHistory;
  TProjectSnapshot fBefore, fAfter;
  QString fOnlyValue;
  bool fPushed = false;
};

TProjectHistory::TProjectHistory(TProjectSource project) : fProject(std::move(project)) {}

TProjectHistory::~TProjectHistory() { fStack.clear(); }

void TProjectHistory::Reset() {
  fStack.clear();
  fCommitted = TProjectSnapshot::Capture(fProject());
  fStack.setClean();
}

bool TProjectHistory::Commit(const QString &label) {
  TProjectSnapshot now = TProjectSnapshot::Capture(fProject());
  const QStringList changed = fCommitted.ChangedValues(now);
  if (changed.isEmpty()) return false;
  TProjectSnapshot before = std::move(fCommitted);
  fCommitted = now;
  fStack.push(new TStep(*this, label, std::move(before), std::move(now), changed.size() == 1 ? changed.front() : QString()));
  return true;
}

bool TProjectHistory::HasChanges() const {
  return !fStack.isClean() || !(TProjectSnapshot::Capture(fProject()) == fCommitted);
}

void TProjectHistory::MarkSaved() {
  fCommitted = TProjectSnapshot::Capture(fProject());
  // The step that led here now leads to the state as saved.
  if (const int index = fStack.index(); index > 0)
    if (auto *step = dynamic_cast<TStep *>(const_cast<QUndoCommand *>(fStack.command(index - 1))))
      step->SetAfter(fCommitted);
  fStack.setClean();
}

void TProjectHistory::MarkUnsaved() {
  if (fStack.isClean()) fStack.resetClean();
}

void TProjectHistory::restore(const TProjectSnapshot &state) {
  state.Restore(fProject());
  fCommitted = state;
  if (OnRestored) OnRestored();
}

}  // namespace pylar
