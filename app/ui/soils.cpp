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

namespace {

const QStringList kConditionItems = {"1", "2", "3", "4"};

QString pageTitle(int code) {
  switch (code) {
    case scSand: return QStringLiteral("Sand (FHWA Spec.)");
    case scClay: return QStringLiteral("Clay (FHWA Spec.)");
    case scShale: return QStringLiteral("Shale (Reese and Aurora)");
    case scStrongRock: return QStringLiteral("Strong Rock (FHWA Spec. - use either side friction or end bearing)");
    case scDecomposedRock: return QStringLiteral("Decomposed Rock/Gravel (FHWA Spec.)");
    case scWeakRock: return QStringLiteral("Weak Rock (FHWA Spec.)");
    case scNewStrongRock: return QStringLiteral("Strong Rock (FHWA Spec. - side friction + end bearing)");
    case scGravellySand: return QStringLiteral("Gravelly Sand (Rollins et al)");
    case scGravel: return QStringLiteral("Gravel (Rollins et al)");
    default: return {};
  }
}

}  // namespace

TDlgSoils::TDlgSoils(const TProjectAccess &project, int row, QWidget *parent)
    : QDialog(parent), fProject(project), fRow(row), fPages(new QTabWidget(this)) {
  setWindowTitle(QStringLiteral("Data for Layer ") + QString::number(row + 1));
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(fPages);

  // Sand
  fPages->addTab(buildPage(pgSand, {}), QStringLiteral("Sand"));
  {
    auto *group = new QGroupBox(QStringLiteral("Side Friction Procedure"));
    auto *groupLayout = new QHBoxLayout(group);
    auto *buttons = new QButtonGroup(group);
    const QStringList names = {"Ko Method", "Beta Method", "Chen and Kulhawy (2002) Method"};
    for (int i = 0; i < 3; ++i) {
      fMethods[static_cast<size_t>(i)] = new QRadioButton(names[i], group);
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
  addField(pgSand, QStringLiteral("1. Total Unit Weight"), QStringLiteral("F/L2^3"), 0);
  addField(pgSand, QStringLiteral("2. Coefficient of Lateral Earth Pressure, Ko"), {}, 3);
  addField(pgSand, QStringLiteral("3. Beta Value (*)"), {}, 4);
  addField(pgSand, QStringLiteral("4. Preconsolidation Stress Exponent (**) (m)"), {}, 7);
  addField(pgSand, QStringLiteral("5. Blow Counts from SPT"), {}, 2);
  addField(pgSand, QStringLiteral("6. Friction Angle (***)"), QStringLiteral("Deg"), 1);
  addField(pgSand, QStringLiteral("7. Interface Angle (****)"), QStringLiteral("Deg"), 6);
  {
    // Item 7 keeps its value but is not shown.
    const TField &interface = fFields[pgSand].back();
    interface.top->hide();
    interface.bottom->hide();
    interface.top->EditLabel()->hide();
    auto *notes = static_cast<QVBoxLayout *>(fPages->widget(pgSand)->layout());
    const QStringList texts = {
        "Notes:",
        "(*)  Program will estimate the value internally if it is left as zero ",
        "(**)  Recommended values for m: 0.6 for clean quartzitic sands and 0.8 for silty sands to sandy silts.",
        "(***)  Program will ignore friction angle value if blow counts value is defined",
        "(***)  Program will assume interface angle equal to the friction angle."};
    for (int i = 0; i < texts.size(); ++i) {
      auto *label = new QLabel(texts[i]);
      fSandNotes.push_back(label);
      notes->insertWidget(notes->count() - 1, label);
    }
  }

  // Clay and shale
  fPages->addTab(buildPage(pgClay, {"Notes:", "(*)  Program will ignore blow count value if cohesion is defined ",
                                    "(**)  Program will generate internally the value if it is left as zero "}),
                 QStringLiteral("Clay"));
  addField(pgClay, QStringLiteral("1. Total Unit Weight"), QStringLiteral("F/L2^3"), 0);
  addField(pgClay, QStringLiteral("2. Cohesion"), QStringLiteral("F/L2^2"), 1);
  addField(pgClay, QStringLiteral("3. Blow Counts from SPT (*)"), {}, 2);
  addField(pgClay, QStringLiteral("4. Alpha Factor (**)"), {}, 3);
  addField(pgClay, QStringLiteral("5. Bearing Capacity Coefficient, Nc (**)"), {}, 4);

  // Strong rock
  fPages->addTab(buildPage(pgRock, {}), QStringLiteral("Rock"));
  addField(pgRock, QStringLiteral("1. Rock Compressive Strength"), QStringLiteral("F/L2^2"), 0);
  addField(pgRock, QStringLiteral("2. Concrete Compressive Strength"), QStringLiteral("F/L2^2"), 1);
  addField(pgRock, QStringLiteral("3. Discontinuity Spacing"), QStringLiteral("L2"), 2);
  addField(pgRock, QStringLiteral("4. Discontinuity Thickness"), QStringLiteral("L2"), 3);
  addField(pgRock, QStringLiteral("5. Socket Diameter"), QStringLiteral("L2"), 4);
  addField(pgRock, QStringLiteral("6. Elastic Modulus"), QStringLiteral("F/L^2"), 5);
  addField(pgRock, QStringLiteral("7. RQD, %"), {}, 6);

  // Decomposed rock/gravel
  fPages->addTab(buildPage(pgDecomposed, {}), QStringLiteral("Decomp. Rock"));
  addField(pgDecomposed, QStringLiteral("1. Total Unit Weight"), QStringLiteral("F/L2^3"), 0);
  addField(pgDecomposed, QStringLiteral("2. Blow Counts from SPT"), {}, 1);
  addField(pgDecomposed, QStringLiteral("3. Poisson Ratio"), {}, 2);
  addField(pgDecomposed, QStringLiteral("5. Socket Diameter"), QStringLiteral("L2"), 4);
  addField(pgDecomposed, QStringLiteral("6. Young Modulus (optional)"), QStringLiteral("F/L^2"), 3);

  // Weak rock
  fPages->addTab(buildPage(pgWeakRock, {"Notes:", "(*) Interface Condition Index", "1 - Rough Surface w/closed joints",
                                        "2- Smooth Surface w/closed joints", "3 - Rough Surface w/open joints",
                                        "4- Smooth Surface w/open joints"}),
                 QStringLiteral("Weak Rock"));
  {
    QGridLayout *grid = fGrids[pgWeakRock];
    const int gridRow = grid->rowCount();
    auto *label = new QLabel(QStringLiteral("1. Interface Condition Index (*)"));
    fConditionTop = new QComboBox;
    fConditionBottom = new QComboBox;
    for (QComboBox *box : {fConditionTop, fConditionBottom}) {
      box->addItems(kConditionItems);
      box->setMaxVisibleItems(4);
    }
    label->setBuddy(fConditionTop);
    grid->addWidget(label, gridRow, 0);
    grid->addWidget(fConditionTop, gridRow, 1);
    grid->addWidget(fConditionBottom, gridRow, 2);
  }
  addField(pgWeakRock, QStringLiteral("2. Rock Compressive Strength"), QStringLiteral("F/L2^2"), 0);
  addField(pgWeakRock, QStringLiteral("3. Concrete Slump"), QStringLiteral("L"), 2);
  addField(pgWeakRock, QStringLiteral("4. Interface Friction Angle"), QStringLiteral("Deg"), 3);
  addField(pgWeakRock, QStringLiteral("5. Socket Diameter"), QStringLiteral("L2"), 4);
  addField(pgWeakRock, QStringLiteral("6. Elastic Modulus of Rock Core"), QStringLiteral("F/L^2"), 5);
  addField(pgWeakRock, QStringLiteral("7. RQD, %"), {}, 6);

  // Gravelly sand and gravel
  fPages->addTab(buildPage(pgGravel, {}), QStringLiteral("Gravel"));
  addField(pgGravel, QStringLiteral("1. Total Unit Weight"), QStringLiteral("F/L2^3"), 0);
  addField(pgGravel, QStringLiteral("2. Blow Counts from SPT"), {}, 1);
  addField(pgGravel, QStringLiteral("3. Beta Value"), {}, 2);

  LoadFromModel();
}

QWidget *TDlgSoils::buildPage(TPage page, const QStringList &notes) {
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
  for (const QString &note : notes) layout->addWidget(new QLabel(note));
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

void TDlgSoils::addField(TPage page, const QString &caption, const QString &units, int column) {
  QGridLayout *grid = fGrids[static_cast<size_t>(page)];
  const int gridRow = grid->rowCount();
  auto *label = new QLabel;
  TField field{new TDataEdit, new TDataEdit, column};
  field.top->SetEditLabel(label);
  for (TDataEdit *edit : {field.top, field.bottom}) {
    edit->SetCaption(caption);
    edit->SetUnitsString(units);
    edit->SetMinVal(0);
  }
  grid->addWidget(label, gridRow, 0);
  grid->addWidget(field.top, gridRow, 1);
  grid->addWidget(field.bottom, gridRow, 2);
  fFields[static_cast<size_t>(page)].push_back(field);
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
  switch (SoilFamilyOf(code)) {
    case TSoilFamily::Clay: return pgClay;
    case TSoilFamily::StrongRock: return pgRock;
    case TSoilFamily::DecomposedRock: return pgDecomposed;
    case TSoilFamily::WeakRock: return pgWeakRock;
    case TSoilFamily::Gravel: return pgGravel;
    case TSoilFamily::Sand:
    case TSoilFamily::None: break;
  }
  return pgSand;
}

void TDlgSoils::LoadFromModel() {
  const TProgramData &project = fProject.data();
  TProjectTables &tables = project.Tables();
  fCode = fRow >= 0 && fRow < tables.D.RowCount() ? tables.D.GetIntValue(lcSoilType, fRow) : 0;
  const TPage page = pageOf(fCode);
  for (int p = 0; p < kPageCount; ++p) fPages->setTabVisible(p, p == page);
  fPages->setCurrentIndex(page);
  fTitles[page]->setText(pageTitle(fCode));
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
    int method = props->GetIntValue(kSandMethodColumn, 0);
    if (method < smKo || method > smChenKulhawy) method = smKo;
    fMethods[static_cast<size_t>(method - 1)]->setChecked(true);
    methodChanged();
  } else if (page == pgWeakRock) {
    const int column = PropertyColumn(scWeakRock, TSoilProperty::InterfaceCondition);
    fConditionTop->setCurrentIndex(std::clamp(props->GetIntValue(column, 0), 1, 4) - 1);
    fConditionBottom->setCurrentIndex(std::clamp(props->GetIntValue(column, 1), 1, 4) - 1);
  }
}

int TDlgSoils::sandMethod() const {
  for (int m = smKo; m <= smChenKulhawy; ++m)
    if (fMethods[static_cast<size_t>(m - 1)]->isChecked()) return m;
  return smKo;
}

void TDlgSoils::methodChanged() {
  const int method = sandMethod();
  const auto enable = [this](int column, bool on) {
    Field(pgSand, column, false)->setEnabled(on);
    Field(pgSand, column, true)->setEnabled(on);
  };
  enable(PropertyColumn(scSand, TSoilProperty::Ko), method == smKo);
  enable(PropertyColumn(scSand, TSoilProperty::Beta), method == smBeta);
  enable(PropertyColumn(scSand, TSoilProperty::StressExponent), method == smChenKulhawy);
  enable(PropertyColumn(scSand, TSoilProperty::InterfaceAngle), method != smBeta);
  fSandNotes[1]->setVisible(method == smBeta);
  fSandNotes[2]->setVisible(method == smChenKulhawy);
  fSandNotes[3]->setVisible(method != smChenKulhawy);
  fSandNotes[4]->setVisible(true);
}

void TDlgSoils::copyTopToBottom() {
  const TPage page = pageOf(fCode);
  for (const TField &field : fFields[page]) field.bottom->setText(field.top->text());
  if (page == pgWeakRock) fConditionBottom->setCurrentIndex(fConditionTop->currentIndex());
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
  } else if (page == pgWeakRock) {
    const int column = PropertyColumn(scWeakRock, TSoilProperty::InterfaceCondition);
    SetCellNumber(*props, column, 0, fConditionTop->currentIndex() + 1);
    SetCellNumber(*props, column, 1, fConditionBottom->currentIndex() + 1);
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
