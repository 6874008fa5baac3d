#include "ui/ResultsWindow.h"

#include "model/AnalysisRun.h"
#include "model/ReportNumbers.h"
#include "model/dynlib.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace pylar {

namespace {

constexpr int kNumberRole = Qt::UserRole;  // the printed value's number, NaN for none
constexpr int kPierRole = Qt::UserRole + 1;  // index of the row's pier

// Sorts by the printed number; text that is no number (an overflow) sorts last.
class TValueItem : public QTableWidgetItem {
 public:
  // The printed value in plain decimals (an E-field spelled out, digit for digit).
  explicit TValueItem(const TPrintedValue &v) : QTableWidgetItem(PlainDecimal(v.text)) {
    setData(kNumberRole, v.value);
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  }
  explicit TValueItem(const QString &text) : QTableWidgetItem(text) {
    setData(kNumberRole, std::nan(""));
    setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  }
  bool operator<(const QTableWidgetItem &other) const override {
    const double a = data(kNumberRole).toDouble(), b = other.data(kNumberRole).toDouble();
    if (std::isnan(a) || std::isnan(b)) {
      if (std::isnan(a) != std::isnan(b)) return std::isnan(b);
      return text() < other.text();
    }
    return a < b;
  }
};

QTableWidget *newTable(const QString &name) {
  auto *table = new QTableWidget;
  table->setObjectName(name);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table->verticalHeader()->setVisible(false);
  table->setWordWrap(false);
  table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  return table;
}

QLabel *caption(const QString &text) {
  auto *label = new QLabel(text);
  label->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; padding: 4px 2px 2px 2px; }"));
  return label;
}

// "(FT)" -> "ft", "( KN )" -> "kN", "IN." -> "in".
QString unitWord(const QString &unit) { return ReadableUnit(unit); }

// A column heading: its words one below the other, so the column is as wide
// as its numbers, not as its name; the unit last.
QString heading(const QString &name, const QString &unit) {
  QStringList lines = name.split(u' ', Qt::SkipEmptyParts);
  if (!unit.isEmpty()) lines << unit;
  return lines.join(u'\n');
}

// The width at which every column of a table shows whole: each as wide as
// its heading and its widest cell, with the table's frame and scroll bar.
int wholeWidth(const QTableWidget &table) {
  int width = 2 * table.frameWidth() + table.verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < table.columnCount(); ++c) {
    int column = table.horizontalHeader()->sectionSizeHint(c);
    for (int row = 0; row < table.rowCount(); ++row)
      if (const QTableWidgetItem *item = table.item(row, c))
        column = std::max(column, QFontMetrics(item->font()).horizontalAdvance(item->text()) + 16);
    width += column;
  }
  return width;
}

}  // namespace

TResultsWindow *TResultsWindow::Find(QMdiArea *area) {
  for (QMdiSubWindow *window : area->subWindowList())
    if (auto *results = qobject_cast<TResultsWindow *>(window)) return results;
  return nullptr;
}

TResultsWindow *TResultsWindow::ShowResults(QMdiArea *area, const QString &projectPath) {
  TResultsWindow *window = Find(area);
  const QString project = QFileInfo(projectPath).absoluteFilePath();
  if (window && window->ProjectPath() != project) {
    // The results of another project: this one replaces them.
    window->close();
    window = nullptr;
  }
  if (window) {
    window->Reload();
  } else {
    window = new TResultsWindow(project);
    area->addSubWindow(window);
    // Wide enough for the series table, within the area.
    window->resize(std::min(area->width() - 20, std::max(1000, window->PreferredWidth())),
                   std::max(area->height() - 40, 360));
  }
  window->showNormal();
  area->setActiveSubWindow(window);
  return window;
}

void TResultsWindow::ReloadAll(QMdiArea *area) {
  if (TResultsWindow *window = Find(area)) window->Reload();
}

TResultsWindow::TResultsWindow(const QString &projectPath, QWidget *parent)
    : QMdiSubWindow(parent), fProject(QFileInfo(projectPath).absoluteFilePath()), fProblems(new QLabel),
      fWarnings(new QLabel), fSummary(new QLabel), fSeries(newTable(QStringLiteral("SeriesTable"))), fSettlementCaption(caption({})),
      fSettlement(newTable(QStringLiteral("SettlementTable"))), fDefinedCaption(caption({})),
      fDefined(newTable(QStringLiteral("DefinedTable"))) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Results - ") + QFileInfo(fProject).fileName());
  fProblems->setObjectName(QStringLiteral("ResultsProblems"));
  fProblems->setWordWrap(true);
  fProblems->setStyleSheet(QStringLiteral("QLabel { background: #fff3c4; color: #5a3d00; padding: 4px; }"));
  fWarnings->setObjectName(QStringLiteral("ResultsWarnings"));
  fWarnings->setWordWrap(true);
  fWarnings->setTextInteractionFlags(Qt::TextSelectableByMouse);
  fWarnings->setStyleSheet(QStringLiteral("QLabel { background: #fde2e1; color: #6b1410; padding: 4px; }"));
  fSummary->setWordWrap(true);
  fSummary->setObjectName(QStringLiteral("ResultsSummary"));
  fDefinedCaption->setWordWrap(true);
  // The notes take the room left, so the last column never ends cut by the window's edge.
  fSeries->horizontalHeader()->setStretchLastSection(true);
  fSeries->setSortingEnabled(true);
  fSettlement->setSortingEnabled(true);
  fDefined->setSortingEnabled(true);
  connect(fSeries, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
    if (QTableWidgetItem *item = row >= 0 ? fSeries->item(row, 0) : nullptr) ChoosePier(item->data(kPierRole).toInt());
  });

  auto *copy = new QPushButton(QStringLiteral("Copy"));
  copy->setToolTip(QStringLiteral("Copy the selected rows (all rows when none is selected) as tab-separated text"));
  connect(copy, &QPushButton::clicked, this, &TResultsWindow::Copy);
  auto *reload = new QPushButton(QStringLiteral("Reload"));
  connect(reload, &QPushButton::clicked, this, &TResultsWindow::Reload);
  // Ctrl+C in a table copies its rows, not only the current cell.
  for (QTableWidget *table : {fSeries, fSettlement, fDefined}) table->installEventFilter(this);

  auto *top = new QWidget;
  auto *topLayout = new QVBoxLayout(top);
  topLayout->setContentsMargins(0, 0, 0, 0);
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(caption(QStringLiteral("Piers of the series (values at the stopping length, as in the report)")));
  buttons->addStretch();
  buttons->addWidget(copy);
  buttons->addWidget(reload);
  topLayout->addLayout(buttons);
  topLayout->addWidget(fProblems);
  topLayout->addWidget(fWarnings);
  topLayout->addWidget(fSeries, 1);
  topLayout->addWidget(fSummary);

  auto *bottom = new QWidget;
  auto *bottomLayout = new QHBoxLayout(bottom);
  bottomLayout->setContentsMargins(0, 0, 0, 0);
  auto *settlement = new QVBoxLayout;
  settlement->addWidget(fSettlementCaption);
  settlement->addWidget(fSettlement, 1);
  // Shown only with design charts; hidden, it leaves its room to the curves.
  fDefinedPanel = new QWidget;
  auto *defined = new QVBoxLayout(fDefinedPanel);
  defined->setContentsMargins(0, 0, 0, 0);
  defined->addWidget(fDefinedCaption);
  defined->addWidget(fDefined, 1);
  // The curves take the room the loads at the defined settlements leave.
  bottomLayout->addLayout(settlement, 1);
  bottomLayout->addWidget(fDefinedPanel, 0);

  auto *splitter = new QSplitter(Qt::Vertical);
  splitter->addWidget(top);
  splitter->addWidget(bottom);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({300, 500});
  auto *body = new QWidget;
  auto *layout = new QVBoxLayout(body);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(splitter);
  setWidget(body);
  Reload();
}

void TResultsWindow::Reload() {
  const int chosen = fChosen;
  fResults = TSeriesResults{};
  fError.clear();
  try {
    const TTextFile report = ReadTextFile(RunFileOf(fProject, engine::RunFileKind::Report));
    fResults = ReadSeriesResults(report, RunFileOf(fProject, engine::RunFileKind::PlotData));
  } catch (const ETextFileError &e) {
    fError = e.message();
  }
  QStringList problems = fResults.problems;
  if (!fError.isEmpty()) problems.prepend(fError);
  fProblems->setText(problems.join(u'\n'));
  fProblems->setVisible(!problems.isEmpty());
  const std::vector<TRunWarning> warnings = ReadRunWarnings(RunFileOf(fProject, engine::RunFileKind::RunNotes));
  fWarnings->setText(RunWarningsText(warnings).replace(u'\r', u'\n'));
  fWarnings->setVisible(!warnings.empty());
  fillSeries();
  fChosen = -1;
  const int count = static_cast<int>(fResults.piers.size());
  ChoosePier(chosen >= 0 && chosen < count ? chosen : fResults.mostEfficient >= 0 ? fResults.mostEfficient : 0);
}

void TResultsWindow::fillSeries() {
  const TSeriesResults &r = fResults;
  fSeries->setSortingEnabled(false);
  fSeries->clear();
  // The report's columns after its LENGTH, which the stopping length replaces.
  const QString lengthUnit = r.units.isEmpty() ? QString() : unitWord(r.units[0]);
  QStringList headings = {QStringLiteral("Case"), heading(QStringLiteral("Stem"), lengthUnit),
                          heading(QStringLiteral("Base"), lengthUnit), heading(QStringLiteral("Length"), lengthUnit)};
  for (int c = 1; c < r.columns.size(); ++c) headings << heading(r.columns[c], unitWord(r.units.value(c)));
  headings << QStringLiteral("Notes");
  fSeries->setColumnCount(static_cast<int>(headings.size()));
  fSeries->setHorizontalHeaderLabels(headings);
  const char *tips[] = {"Case of the series", "Diameter of the stem", "Diameter of the base",
                        "Length of the pier: where it stopped"};
  for (int c = 0; c < 4; ++c) fSeries->horizontalHeaderItem(c)->setToolTip(QString::fromLatin1(tips[c]));
  fSeries->setRowCount(static_cast<int>(r.piers.size()));
  for (int p = 0; p < static_cast<int>(r.piers.size()); ++p) {
    const TSeriesPier &pier = r.piers[static_cast<std::size_t>(p)];
    auto *number = new TValueItem(PrintedValue(QString::number(pier.caseNumber)));
    number->setData(kPierRole, p);
    fSeries->setItem(p, 0, number);
    fSeries->setItem(p, 1, new TValueItem(pier.stem));
    fSeries->setItem(p, 2, new TValueItem(pier.base));
    fSeries->setItem(p, 3, new TValueItem(pier.length));
    for (int c = 1; c < r.columns.size(); ++c)
      fSeries->setItem(p, 3 + c,
                       new TValueItem(c < static_cast<int>(pier.row.size()) ? pier.row[static_cast<std::size_t>(c)]
                                                                             : TPrintedValue{}));
    QStringList notes;
    if (p == r.mostEfficient) notes << QStringLiteral("most efficient");
    if (!pier.complete) notes << QStringLiteral("cut short");
    if (pier.designLoadNotReached) notes << QStringLiteral("design load not reached");
    if (pier.shortOfBase) notes << QStringLiteral("soil below tip too short");
    auto *note = new TValueItem(notes.join(QStringLiteral("; ")));
    fSeries->setItem(p, static_cast<int>(headings.size()) - 1, note);
    if (p == r.mostEfficient)
      for (int c = 0; c < fSeries->columnCount(); ++c) {
        QFont font = fSeries->item(p, c)->font();
        font.setBold(true);
        fSeries->item(p, c)->setFont(font);
        fSeries->item(p, c)->setBackground(QColor(0xdf, 0xf0, 0xd8));
      }
  }
  fSeries->setSortingEnabled(true);
  fSeries->resizeColumnsToContents();
  QString summary;
  if (!r.mostEfficientLines.isEmpty())
    summary = QStringLiteral("<b>Most efficient pier (report):</b> ") + r.mostEfficientLines.join(QStringLiteral("; "));
  if (r.lrfd && !r.columns.isEmpty())
    summary += QStringLiteral("<br>The LRFD report prints no QU/VOLUME per pier; it is given for the most efficient "
                              "pier only.");
  fSummary->setText(summary);
  fSummary->setVisible(!summary.isEmpty());
}

int TResultsWindow::PreferredWidth() const {
  // The series table with the window's frame and margins.
  return wholeWidth(*fSeries) + (width() - widget()->width()) + 8;
}

void TResultsWindow::ChoosePier(int index) {
  if (index == fChosen) return;
  fChosen = index;
  // The chosen pier's row stays current in the table, whatever its sorting.
  for (int row = 0; row < fSeries->rowCount(); ++row)
    if (fSeries->item(row, 0) && fSeries->item(row, 0)->data(kPierRole).toInt() == index &&
        fSeries->currentRow() != row) {
      fSeries->setCurrentCell(row, 0, QItemSelectionModel::NoUpdate);
      break;
    }
  fillSettlement();
}

void TResultsWindow::fillSettlement() {
  const TSeriesResults &r = fResults;
  fSettlement->setSortingEnabled(false);
  fSettlement->clear();
  fDefined->setSortingEnabled(false);
  fDefined->clear();
  const bool valid = fChosen >= 0 && fChosen < static_cast<int>(r.piers.size());
  if (!valid) {
    fSettlementCaption->setText(QStringLiteral("Load-settlement"));
    fSettlement->setRowCount(0);
    fSettlement->setColumnCount(0);
    fDefinedPanel->setVisible(false);
    return;
  }
  const TSeriesPier &pier = r.piers[static_cast<std::size_t>(fChosen)];
  const TPierSettlement empty{};
  const TPierSettlement &lines =
      fChosen < static_cast<int>(r.settlement.size()) ? r.settlement[static_cast<std::size_t>(fChosen)] : empty;
  QString title = QStringLiteral("Load-settlement of case %1 (stem %2, length %3)")
                      .arg(pier.caseNumber)
                      .arg(pier.stem.text, pier.length.text);
  if (lines[kTrendLine].empty()) title += QStringLiteral(": the report holds no load-settlement curve of this pier");
  fSettlementCaption->setText(title);
  const QString names[3] = {QStringLiteral("Trend"), QStringLiteral("Upper bound"), QStringLiteral("Lower bound")};
  QStringList headings;
  std::vector<int> shown;
  for (int line = kTrendLine; line <= kLowerLine; ++line) {
    if (lines[static_cast<std::size_t>(line)].empty()) continue;
    shown.push_back(line);
    headings << heading(names[line] + QStringLiteral(" load"), unitWord(r.loadUnit))
             << heading(names[line] + QStringLiteral(" settlement"), unitWord(r.settlementUnit));
  }
  std::size_t rows = 0;
  for (int line : shown) rows = std::max(rows, lines[static_cast<std::size_t>(line)].size());
  fSettlement->setColumnCount(static_cast<int>(headings.size()));
  fSettlement->setHorizontalHeaderLabels(headings);
  fSettlement->setRowCount(static_cast<int>(rows));
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const auto &points = lines[static_cast<std::size_t>(shown[i])];
    for (std::size_t row = 0; row < points.size(); ++row) {
      fSettlement->setItem(static_cast<int>(row), static_cast<int>(2 * i), new TValueItem(points[row].load));
      fSettlement->setItem(static_cast<int>(row), static_cast<int>(2 * i + 1), new TValueItem(points[row].settlement));
    }
  }
  fSettlement->setSortingEnabled(true);
  fSettlement->resizeColumnsToContents();

  const std::vector<TDefinedSettlementLoad> loads = r.DefinedSettlementLoads(fChosen);
  const bool charts = !r.charts.empty();
  fDefinedPanel->setVisible(charts);
  if (!charts) return;
  fDefinedCaption->setText(loads.empty()
                               ? QStringLiteral("Defined settlements: the design charts hold no load of this pier")
                               : QStringLiteral("Loads at the defined settlements (design charts, trend line)"));
  const QString settlementUnit = loads.empty() ? QString() : loads.front().settlementUnit;
  fDefined->setColumnCount(2);
  fDefined->setHorizontalHeaderLabels({heading(QStringLiteral("Settlement"), unitWord(settlementUnit)),
                                       heading(QStringLiteral("Trend load"), unitWord(r.loadUnit))});
  fDefined->setRowCount(static_cast<int>(loads.size()));
  for (int row = 0; row < static_cast<int>(loads.size()); ++row) {
    fDefined->setItem(row, 0, new TValueItem(loads[static_cast<std::size_t>(row)].settlement));
    fDefined->setItem(row, 1, new TValueItem(loads[static_cast<std::size_t>(row)].load));
  }
  fDefined->setSortingEnabled(true);
  fDefined->resizeColumnsToContents();
  fDefinedPanel->setFixedWidth(std::max(wholeWidth(*fDefined), 200));
}

QString TResultsWindow::TabSeparated(const QTableWidget &table) {
  // Headings keep their unit after a blank, so one pasted row holds one heading.
  QStringList heading;
  for (int c = 0; c < table.columnCount(); ++c) {
    const QTableWidgetItem *item = table.horizontalHeaderItem(c);
    heading << (item ? item->text().replace(u'\n', u' ').trimmed() : QString());
  }
  QList<int> rows;
  for (const QModelIndex &index : table.selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  if (rows.isEmpty())
    for (int r = 0; r < table.rowCount(); ++r) rows << r;
  QStringList out = {heading.join(u'\t')};
  for (int r : rows) {
    QStringList cells;
    for (int c = 0; c < table.columnCount(); ++c) {
      const QTableWidgetItem *item = table.item(r, c);
      QString text = item ? item->text() : QString();
      text.replace(u'\t', u' ').replace(u'\n', u' ');
      cells << text;
    }
    out << cells.join(u'\t');
  }
  return out.join(u'\n') + u'\n';
}

bool TResultsWindow::eventFilter(QObject *watched, QEvent *event) {
  auto *table = qobject_cast<QTableWidget *>(watched);
  if (table && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
      static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
    if (event->type() == QEvent::KeyPress) QGuiApplication::clipboard()->setText(TabSeparated(*table));
    event->accept();
    return true;
  }
  return QMdiSubWindow::eventFilter(watched, event);
}

void TResultsWindow::Copy() {
  const QTableWidget *table = fSeries;
  for (const QTableWidget *t : {fSettlement, fDefined})
    if (t->hasFocus()) table = t;
  QGuiApplication::clipboard()->setText(TabSeparated(*table));
}

}  // namespace pylar
