#include "ui/designchart.h"

#include "ui/DataEdit.h"
#include "ui/Messages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace pylar {

TfrmDesignCharts::TfrmDesignCharts(const TProjectAccess &project, QWidget *parent)
    : TLengthRangeForm(project, QStringLiteral("LRFD Design Charts"), QStringLiteral("Compute LRFD Design Charts"),
                       &TProgramData::IChart, &TProgramData::IPENT,
                       {QStringLiteral("* Should be at least 6 diameters \n   plus any exclusion zone defined."),
                        QStringLiteral("- default: 30% maximum pylar length"),
                        QStringLiteral("- default: 3 ft or 1 m\n* A maximum of 20 increments\n  will be considered.")},
                       parent) {
  fDiameterIncrement = addNumber(QStringLiteral("Pylar diameter increment"), QStringLiteral("L2"), 0,
                                 &TProgramData::DIAMINCR, QStringLiteral("- default: 0.5 ft or .15 m"));

  fPoints = addNumber(QStringLiteral("Number of Points"), {}, 0, nullptr);
  fPoints->SetMaxVal(kMaxSettlements);
  fPoints->SetMinVal(1);
  auto *arrows = new QWidget(this);
  auto *arrowLayout = new QVBoxLayout(arrows);
  arrowLayout->setContentsMargins(0, 0, 0, 0);
  arrowLayout->setSpacing(0);
  fUp = new QToolButton(arrows);
  fDown = new QToolButton(arrows);
  fUp->setArrowType(Qt::UpArrow);
  fDown->setArrowType(Qt::DownArrow);
  for (QToolButton *button : {fUp, fDown}) {
    button->setFixedSize(18, 11);
    arrowLayout->addWidget(button);
  }
  // The field and its arrows share the field's cell.
  auto *pointsBox = new QWidget(this);
  auto *pointsLayout = new QHBoxLayout(pointsBox);
  pointsLayout->setContentsMargins(0, 0, 0, 0);
  const int pointsRow = fGrid->rowCount() - 1;
  fGrid->removeWidget(fPoints);
  pointsLayout->setSpacing(2);
  pointsLayout->addWidget(fPoints);
  pointsLayout->addWidget(arrows, 0, Qt::AlignVCenter);
  pointsLayout->addStretch();
  fGrid->addWidget(pointsBox, pointsRow, 1);

  auto *group = new QGroupBox(QStringLiteral("Defined Settlements"), this);
  auto *groupLayout = new QVBoxLayout(group);
  fSettlements = new QTableWidget(0, 2, group);
  fSettlements->verticalHeader()->hide();
  fSettlements->setColumnWidth(0, 40);
  fSettlements->horizontalHeader()->setStretchLastSection(true);
  fSettlements->setFixedSize(200, 150);
  groupLayout->addWidget(fSettlements);
  fGrid->addWidget(group, 1, 3, fGrid->rowCount() - 1, 1, Qt::AlignTop);
  fFollowers = {fUp, fDown, fSettlements, group};
  addCloseButton();

  connect(fPoints, &QLineEdit::textChanged, this, &TfrmDesignCharts::pointsChanged);
  connect(fUp, &QToolButton::clicked, this, [this] { step(1); });
  connect(fDown, &QToolButton::clicked, this, [this] { step(-1); });
}

void TfrmDesignCharts::LoadFromModel() {
  const TProgramData &project = data();
  fSettlements->setHorizontalHeaderLabels(
      {QStringLiteral("N"),
       project.fUnits == kUnitsSI ? QStringLiteral("Settlement (m)") : QStringLiteral("Settlement (in)")});
  fTexts.fill(QStringLiteral("1"));
  // A project read without design charts holds no count: the new-project five.
  constexpr int kDefaultPoints = 5;
  const int points =
      project.NPOINTPD >= 1 && project.NPOINTPD <= kMaxSettlements ? project.NPOINTPD : kDefaultPoints;
  for (int i = 0; i < points; ++i) fTexts[static_cast<size_t>(i)] = FormatValue(project.PDSETT[static_cast<size_t>(i)]);
  fSettlements->setRowCount(0);
  setRows(points);
  const QSignalBlocker block(fPoints);
  fPoints->SetNumber(points);
  TLengthRangeForm::LoadFromModel();
}

void TfrmDesignCharts::setRows(int rows) {
  // Remember the texts of the rows that go away, fill the rows that come.
  for (int r = 0; r < fSettlements->rowCount() && r < kMaxSettlements; ++r)
    if (const QTableWidgetItem *item = fSettlements->item(r, 1)) fTexts[static_cast<size_t>(r)] = item->text();
  const int old = fSettlements->rowCount();
  fSettlements->setRowCount(rows);
  for (int r = old; r < rows; ++r) {
    auto *number = new QTableWidgetItem(QString::number(r + 1));
    number->setFlags(Qt::ItemIsEnabled);
    fSettlements->setItem(r, 0, number);
    fSettlements->setItem(r, 1, new QTableWidgetItem(fTexts[static_cast<size_t>(r)]));
  }
}

int TfrmDesignCharts::roundedPoints() const {
  try {
    const Extended value = fPoints->Number();
    if (std::abs(value) > 1e6L) return 0;
    return static_cast<int>(std::lround(static_cast<double>(value)));
  } catch (const EAssignError &) {
    return 0;
  }
}

void TfrmDesignCharts::pointsChanged() {
  const int points = roundedPoints();
  if (points >= 1 && points <= kMaxSettlements) setRows(points);
}

void TfrmDesignCharts::step(int delta) {
  Extended value = 0;
  try {
    value = std::trunc(fPoints->Number());
  } catch (const EAssignError &) {
    value = fSettlements->rowCount();
  }
  if ((delta > 0 && value < kMaxSettlements) || (delta < 0 && value > 1)) fPoints->SetNumber(value + delta);
}

bool TfrmDesignCharts::validate() {
  if (!fSettlements->isEnabled()) return true;
  // A cell being edited gives its text to the grid first.
  if (QWidget *editor = fSettlements->indexWidget(fSettlements->currentIndex()))
    emit fSettlements->itemDelegate()->commitData(editor);
  const int points = roundedPoints();
  for (int r = 0; r < points && r < fSettlements->rowCount(); ++r) {
    const QTableWidgetItem *item = fSettlements->item(r, 1);
    const QString text = item ? item->text().trimmed() : QString();
    try {
      EvaluateExpression(text);
    } catch (const EAssignError &) {
      ShowInformation(this, QStringLiteral("'") + text + QStringLiteral("' is not a valid floating point value"));
      fSettlements->setCurrentCell(r, 1);
      fSettlements->setFocus();
      return false;
    }
  }
  return true;
}

void TfrmDesignCharts::storeToModel() {
  TLengthRangeForm::storeToModel();
  if (!fSettlements->isEnabled()) return;
  const int points = std::clamp(roundedPoints(), 1, kMaxSettlements);
  storeInt(&TProgramData::NPOINTPD, points);
  TProgramData &project = data();
  for (int r = 0; r < points && r < fSettlements->rowCount(); ++r) {
    const Extended value = EvaluateExpression(fSettlements->item(r, 1)->text().trimmed());
    Extended &stored = project.PDSETT[static_cast<size_t>(r)];
    if (stored == value) continue;
    stored = value;
    fProject.markChanged();
  }
}

}  // namespace pylar
