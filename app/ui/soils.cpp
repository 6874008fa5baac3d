#include "ui/soils.h"

#include "model/SoilLayers.h"
#include "ui/DataEdit.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace pylar {

TDlgSoils::TDlgSoils(const TProjectAccess &project, int row, QWidget *parent)
    : QDialog(parent), fProject(project), fRow(row), fPages(new QTabWidget(this)) {
  setWindowTitle(QStringLiteral("Data for Layer ") + QString::number(row + 1));
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(fPages);
  // One page per model family, its fields from the family's description.
  for (int page = 0; page < kPageCount; ++page) {
    const TSoilFamilyDescription &family = SoilFamily(static_cast<TSoilFamily>(page));
    fPages->addTab(buildPage(static_cast<TPage>(page), family), QString::fromLatin1(family.PageName));
  }
  addProcedureGroup();
  LoadFromModel();
}

// The sand page's choice of side friction procedure, under the page title.
void TDlgSoils::addProcedureGroup() {
  const TSoilField &procedure =
      SoilFamily(TSoilFamily::Sand).Fields[static_cast<std::size_t>(PropertyColumn(scSand, TSoilProperty::SandMethod))];
  auto *group = new QGroupBox(QString::fromLatin1(procedure.Caption));
  auto *groupLayout = new QHBoxLayout(group);
  auto *buttons = new QButtonGroup(group);
  for (int i = 0; i < 3; ++i) {
    fMethods[static_cast<size_t>(i)] = new QRadioButton(QString::fromLatin1(procedure.Choices[static_cast<std::size_t>(i)]), group);
    buttons->addButton(fMethods[static_cast<size_t>(i)], i + 1);
    groupLayout->addWidget(fMethods[static_cast<size_t>(i)]);
  }
  fMethods[0]->setChecked(true);
  auto *page = static_cast<QVBoxLayout *>(fPages->widget(pgSand)->layout());
  page->insertWidget(1, group);
  connect(buttons, &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) methodChanged();
  });
}

QWidget *TDlgSoils::buildPage(TPage page, const TSoilFamilyDescription &family) {
  auto *widget = new QWidget;
  auto *layout = new QVBoxLayout(widget);
  auto *title = new QLabel;
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  layout->addWidget(title);
  fTitles[static_cast<size_t>(page)] = title;

  auto *grid = new QGridLayout;
  grid->setColumnMinimumWidth(1, 120);
  grid->setColumnMinimumWidth(2, 120);
  for (int c = 1; c <= 2; ++c) {
    auto *heading = new QLabel(c == 1 ? QStringLiteral("Values at\nTop of Layer") : QStringLiteral("Values at\nBottom of Layer"));
    heading->setAlignment(Qt::AlignCenter);
    grid->addWidget(heading, 0, c);
  }
  fGrids[static_cast<size_t>(page)] = grid;
  layout->addLayout(grid);
  // The fields in the order of their rows on the page.
  const int count = static_cast<int>(family.Fields.size());
  for (int dialogRow = 0; dialogRow < count; ++dialogRow)
    for (int column = 0; column < count; ++column) {
      const TSoilField &field = family.Fields[static_cast<size_t>(column)];
      if (field.Caption && field.DialogRow == dialogRow) addField(page, field, column);
    }
  // The choice of the design methods kept for the whole layer, under the fields.
  for (int column = 0; column < count; ++column) {
    const TSoilField &field = family.Fields[static_cast<size_t>(column)];
    if (field.Place != TFilePlace::MethodBlock) continue;
    TLayerChoice choice{new QComboBox, new QLabel(QString::fromLatin1(field.Caption)), column, &field};
    for (const char *name : field.Choices) choice.box->addItem(QString::fromLatin1(name));
    choice.label->setBuddy(choice.box);
    const int gridRow = grid->rowCount();
    grid->addWidget(choice.label, gridRow, 0);
    grid->addWidget(choice.box, gridRow, 1);
    fLayerChoices[static_cast<size_t>(page)] = choice;
  }
  for (const TSoilNote &note : family.Notes) {
    auto *label = new QLabel(QString::fromLatin1(note.Text));
    fNotes[static_cast<size_t>(page)].push_back(label);
    layout->addWidget(label);
  }
  layout->addStretch();

  auto *buttons = new QHBoxLayout;
  auto *copy = new QPushButton(QStringLiteral("Copy Values From Top To Bottom"));
  auto *close = new QPushButton(QStringLiteral("Close"));
  buttons->addWidget(copy);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);
  fCopy[static_cast<size_t>(page)] = copy;
  connect(copy, &QPushButton::clicked, this, &TDlgSoils::copyTopToBottom);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  return widget;
}

void TDlgSoils::addField(TPage page, const TSoilField &field, int column) {
  QGridLayout *grid = fGrids[static_cast<size_t>(page)];
  const int gridRow = grid->rowCount();
  const QString caption = QString::fromLatin1(field.Caption);
  auto *label = new QLabel;
  if (field.Kind == TFieldKind::Choice) {
    // A choice is picked by its number from two lists, top and bottom.
    TChoice choice{new QComboBox, new QComboBox, column};
    for (QComboBox *box : {choice.top, choice.bottom}) {
      for (int value = 1; value <= static_cast<int>(field.Choices.size()); ++value) box->addItem(QString::number(value));
      box->setMaxVisibleItems(static_cast<int>(field.Choices.size()));
    }
    label->setText(caption);
    label->setBuddy(choice.top);
    grid->addWidget(label, gridRow, 0);
    grid->addWidget(choice.top, gridRow, 1);
    grid->addWidget(choice.bottom, gridRow, 2);
    fChoices[static_cast<size_t>(page)] = choice;
    return;
  }
  TField entry{new TDataEdit, new TDataEdit, column};
  entry.top->SetEditLabel(label);
  for (TDataEdit *edit : {entry.top, entry.bottom}) {
    edit->SetCaption(caption);
    edit->SetUnitsString(QString::fromLatin1(field.CaptionUnits ? field.CaptionUnits : field.Units));
    edit->SetMinVal(0);
  }
  grid->addWidget(label, gridRow, 0);
  grid->addWidget(entry.top, gridRow, 1);
  grid->addWidget(entry.bottom, gridRow, 2);
  if (field.Hidden) {
    // The value is kept, but not shown.
    entry.top->hide();
    entry.bottom->hide();
    label->hide();
  }
  fFields[static_cast<size_t>(page)].push_back(entry);
}

TDataEdit *TDlgSoils::Field(int page, int column, bool bottom) const {
  if (page < 0 || page >= kPageCount) return nullptr;
  for (const TField &field : fFields[static_cast<size_t>(page)])
    if (field.column == column) return bottom ? field.bottom : field.top;
  return nullptr;
}

TGridTable *TDlgSoils::table() const {
  TGridTable *props = fProject.data().Tables().LayerData(fRow);
  return props && props->RowCount() >= 2 ? props : nullptr;
}

TDlgSoils::TPage TDlgSoils::pageOf(int code) const {
  const TSoilFamilyDescription *family = SoilFamilyOf(code);
  return family ? static_cast<TPage>(family->Family) : pgSand;
}

void TDlgSoils::LoadFromModel() {
  const TProgramData &project = fProject.data();
  TProjectTables &tables = project.Tables();
  fCode = fRow >= 0 && fRow < tables.D.RowCount() ? tables.D.GetIntValue(lcSoilType, fRow) : 0;
  const TPage page = pageOf(fCode);
  for (int p = 0; p < kPageCount; ++p) fPages->setTabVisible(p, p == page);
  fPages->setCurrentIndex(page);
  const TSoilModelDescription *model = SoilModel(fCode);
  fTitles[page]->setText(model ? QString::fromLatin1(model->PageTitle) : QString());
  TGridTable *props = table();
  for (const TField &field : fFields[page]) {
    field.top->SetUnits(project.fUnits);
    field.bottom->SetUnits(project.fUnits);
    if (!props || field.column >= props->ColCount()) continue;
    field.top->SetNumber(props->GetFloatValue(field.column, 0));
    field.bottom->SetNumber(props->GetFloatValue(field.column, 1));
  }
  if (!props) return;
  if (page == pgSand) {
    const int method = SandProcedure(props->GetIntValue(kSandMethodColumn, 0));
    fMethods[static_cast<size_t>(method - 1)]->setChecked(true);
    methodChanged();
  }
  if (const TLayerChoice &choice = fLayerChoices[page]; choice.box) {
    // Shown for the model that holds it (clay, not shale).
    const bool held = FieldOfModel(*choice.field, fCode) && choice.column < props->ColCount();
    choice.box->setVisible(held);
    choice.label->setVisible(held);
    if (held)
      choice.box->setCurrentIndex(std::clamp(props->GetIntValue(choice.column, 0), 1, choice.box->count()) - 1);
  }
  if (const TChoice &choice = fChoices[page]; choice.top && choice.column < props->ColCount()) {
    const int last = choice.top->count();
    choice.top->setCurrentIndex(std::clamp(props->GetIntValue(choice.column, 0), 1, last) - 1);
    choice.bottom->setCurrentIndex(std::clamp(props->GetIntValue(choice.column, 1), 1, last) - 1);
  }
}

int TDlgSoils::sandMethod() const {
  for (int m = smKo; m <= smChenKulhawy; ++m)
    if (fMethods[static_cast<size_t>(m - 1)]->isChecked()) return m;
  return smKo;
}

void TDlgSoils::methodChanged() {
  // The fields and notes of the values the procedure uses.
  const int method = sandMethod();
  const TSoilFamilyDescription &sand = SoilFamily(TSoilFamily::Sand);
  for (const TField &field : fFields[pgSand]) {
    const bool used = UsedUnder(sand.Fields[static_cast<std::size_t>(field.column)].Procedures, method);
    field.top->setEnabled(used);
    field.bottom->setEnabled(used);
  }
  const std::vector<QLabel *> &notes = fNotes[pgSand];
  for (std::size_t i = 0; i < notes.size() && i < sand.Notes.size(); ++i)
    notes[i]->setVisible(UsedUnder(sand.Notes[i].Procedures, method));
}

void TDlgSoils::copyTopToBottom() {
  const TPage page = pageOf(fCode);
  for (const TField &field : fFields[page]) field.bottom->setText(field.top->text());
  if (const TChoice &choice = fChoices[page]; choice.top) choice.bottom->setCurrentIndex(choice.top->currentIndex());
}

bool TDlgSoils::WriteBack() {
  const TPage page = pageOf(fCode);
  for (const TField &field : fFields[page])
    for (TDataEdit *edit : {field.top, field.bottom})
      if (edit->isEnabled() && !edit->CloseQuery()) {
        edit->setFocus();
        return false;
      }
  TGridTable *props = table();
  if (!props || props->ColCount() == 0) return true;
  std::vector<Extended> before;
  for (int c = 0; c < props->ColCount(); ++c)
    for (int row = 0; row < 2; ++row) before.push_back(props->GetFloatValue(c, row));

  for (const TField &field : fFields[page]) {
    if (field.column >= props->ColCount()) continue;
    for (int row = 0; row < 2; ++row) {
      try {
        SetCellNumber(*props, field.column, row, (row == 0 ? field.top : field.bottom)->Number());
      } catch (const EAssignError &) {
        // A disabled field with unusable text: the procedure in force zeroes it below.
      }
    }
  }
  if (page == pgSand) {
    // The procedure in both rows; the parameters of the others become 0.
    SetSandMethod(*props, sandMethod());
    for (const TField &field : fFields[pgSand]) {
      field.top->SetNumber(props->GetFloatValue(field.column, 0));
      field.bottom->SetNumber(props->GetFloatValue(field.column, 1));
    }
  }
  if (const TLayerChoice &choice = fLayerChoices[page];
      choice.box && FieldOfModel(*choice.field, fCode) && choice.column < props->ColCount())
    for (int row = 0; row < 2; ++row) SetCellNumber(*props, choice.column, row, choice.box->currentIndex() + 1);
  if (const TChoice &choice = fChoices[page]; choice.top && choice.column < props->ColCount()) {
    SetCellNumber(*props, choice.column, 0, choice.top->currentIndex() + 1);
    SetCellNumber(*props, choice.column, 1, choice.bottom->currentIndex() + 1);
  }
  bool changed = false;
  for (int c = 0, k = 0; c < props->ColCount(); ++c)
    for (int row = 0; row < 2; ++row, ++k) changed = changed || props->GetFloatValue(c, row) != before[static_cast<size_t>(k)];
  if (changed) fProject.markChanged();
  return true;
}

void TDlgSoils::done(int result) {
  if (!WriteBack()) return;
  QDialog::done(result);
}

}  // namespace pylar
