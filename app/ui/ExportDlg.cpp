#include "ui/ExportDlg.h"

#include "ui/Messages.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace pylar {

namespace {

const char *const kNotes[] = {"An Excel instance (if available) will open. ",
                              "Please wait until all the data has been exported to Excel.",
                              "Please note that you need to save the excel file afterwards.",
                              "Results exported will be for the current load case/combination."};

// A message's carriage returns as line breaks of the information box.
QString boxText(QString text) {
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text.trimmed();
}

}  // namespace

TDlgExport::TDlgExport(const TResultPlots &plots, CommandEnabled commandEnabled, const QString &projectPath,
                       QWidget *parent)
    : QDialog(parent), fPlots(plots), fCommandEnabled(std::move(commandEnabled)), fProjectPath(projectPath) {
  setWindowTitle(QStringLiteral("Export to Excel"));
  auto *layout = new QVBoxLayout(this);
  for (const char *note : kNotes) {
    auto *label = new QLabel(QString::fromLatin1(note), this);
    label->setWordWrap(true);
    layout->addWidget(label);
  }
  auto *group = new QGroupBox(QStringLiteral("Available Plots"), this);
  auto *groupLayout = new QVBoxLayout(group);
  fList = new QListWidget(group);
  fList->setMinimumSize(360, 330);
  groupLayout->addWidget(fList);
  layout->addWidget(group, 1);

  auto *selection = new QHBoxLayout;
  fSelectAll = new QPushButton(QStringLiteral("Select All"), this);
  fUnselectAll = new QPushButton(QStringLiteral("Unselect All"), this);
  selection->addWidget(fSelectAll);
  selection->addWidget(fUnselectAll);
  selection->addStretch();
  layout->addLayout(selection);
  fMarkers = new QCheckBox(QStringLiteral("Add markers in plots"), this);
  fMarkers->setChecked(true);
  layout->addWidget(fMarkers);
  auto *commands = new QHBoxLayout;
  fGenerate = new QPushButton(QStringLiteral("Generate Excel File"), this);
  fGenerate->setDefault(true);
  fClose = new QPushButton(QStringLiteral("Close Window"), this);
  commands->addStretch();
  commands->addWidget(fGenerate);
  commands->addWidget(fClose);
  layout->addLayout(commands);

  connect(fSelectAll, &QPushButton::clicked, this, &TDlgExport::SelectAllClick);
  connect(fUnselectAll, &QPushButton::clicked, this, &TDlgExport::UnselectAllClick);
  connect(fGenerate, &QPushButton::clicked, this, &TDlgExport::GenerateClick);
  connect(fClose, &QPushButton::clicked, this, &QDialog::close);
  connect(fList, &QListWidget::itemChanged, this, &TDlgExport::updateGenerate);

  SaveDialog = [this](const QString &proposed) {
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export to Excel"), proposed,
                                                QStringLiteral("Excel Workbook (*.xlsx)"));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".xlsx");
    return path;
  };
  OpenDocument = [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };

  FormActivate();
}

void TDlgExport::Execute(QWidget *parent, const TResultPlots &plots, const CommandEnabled &commandEnabled,
                         const QString &projectPath, const std::function<bool(const QString &path)> &openDocument) {
  TDlgExport dialog(plots, commandEnabled, projectPath, parent);
  if (openDocument) dialog.OpenDocument = openDocument;
  dialog.exec();
}

void TDlgExport::FormActivate() {
  const QSignalBlocker blocker(fList);
  fList->clear();
  indices.clear();
  for (const TExportCandidate &candidate : ExportCandidates(fPlots)) {
    if (!fCommandEnabled || !fCommandEnabled(*candidate.plot)) continue;
    auto *item = new QListWidgetItem(candidate.plot->fCaption, fList);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Checked);
    indices.push_back(candidate.number);
  }
  nplotst = static_cast<int>(indices.size());
  updateGenerate();
}

void TDlgExport::SelectAllClick() {
  for (int row = 0; row < fList->count(); ++row)
    if (fList->item(row)->flags() & Qt::ItemIsEnabled) fList->item(row)->setCheckState(Qt::Checked);
  updateGenerate();
}

void TDlgExport::UnselectAllClick() {
  for (int row = 0; row < fList->count(); ++row)
    if (fList->item(row)->flags() & Qt::ItemIsEnabled) fList->item(row)->setCheckState(Qt::Unchecked);
  updateGenerate();
}

void TDlgExport::updateGenerate() { fGenerate->setEnabled(!checkedPlots().empty()); }

std::vector<const TGraphPlot *> TDlgExport::checkedPlots() const {
  const std::vector<TExportCandidate> candidates = ExportCandidates(fPlots);
  std::vector<const TGraphPlot *> plots;
  for (int row = 0; row < fList->count() && row < static_cast<int>(indices.size()); ++row)
    if (fList->item(row)->checkState() == Qt::Checked)
      plots.push_back(candidates[static_cast<std::size_t>(indices[static_cast<std::size_t>(row)] - 1)].plot);
  return plots;
}

QString TDlgExport::ProposedFile() const {
  if (fProjectPath.isEmpty()) return QStringLiteral("Pylar.xlsx");
  const QFileInfo project(fProjectPath);
  return QDir(project.absolutePath()).filePath(project.completeBaseName() + QStringLiteral(".xlsx"));
}

void TDlgExport::GenerateClick() {
  const std::vector<const TGraphPlot *> plots = checkedPlots();
  if (plots.empty()) return;
  const QString path = SaveDialog ? SaveDialog(ProposedFile()) : QString();
  if (path.isEmpty()) return;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  const TWorkbookOutcome outcome = WriteWorkbook(path, plots, fMarkers->isChecked());
  QGuiApplication::restoreOverrideCursor();
  more255 = outcome.more255;
  if (outcome.ok && OpenDocument) OpenDocument(outcome.path);
  ShowInformation(this, boxText(outcome.message));
}

}  // namespace pylar
