#include "ui/Main.h"

#include "model/dynlib.h"
#include "ui/DataEdit.h"
#include "ui/Messages.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QTimer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <clocale>

namespace pylar {

namespace {

// A tool-bar picture: the button's short name drawn in a square.
QIcon glyphIcon(const QString &glyph) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(40, 70, 120), 1.5));
  painter.setBrush(QColor(225, 235, 248));
  painter.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 4, 4);
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(glyph.size() > 2 ? 10 : 14);
  painter.setFont(font);
  painter.setPen(QColor(20, 40, 90));
  painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
  return QIcon(pixmap);
}

// Numbers of the engine use "." while a run lasts, whatever the user's locale;
// the previous settings come back when the run ends, however it ends.
class TDecimalPointGuard {
 public:
  TDecimalPointGuard() : fLocale(QLocale()) {
    if (const char *current = std::setlocale(LC_NUMERIC, nullptr)) fNumeric = current;
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
  }
  ~TDecimalPointGuard() {
    std::setlocale(LC_NUMERIC, fNumeric.c_str());
    QLocale::setDefault(fLocale);
  }
  TDecimalPointGuard(const TDecimalPointGuard &) = delete;
  TDecimalPointGuard &operator=(const TDecimalPointGuard &) = delete;

 private:
  QLocale fLocale;
  std::string fNumeric = "C";
};

// The engine library of the current run; empty between runs.
std::unique_ptr<TDynamicLibrary> &engineLibrary() {
  static std::unique_ptr<TDynamicLibrary> library;
  return library;
}

}  // namespace

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent), fMdiArea(new QMdiArea(this)) {
  QGuiApplication::setApplicationDisplayName(QString());
  fData = TProgramData::Create(fTables);
  setWindowTitle(WindowCaption(fData->FileName));
  connect(fMdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::childActivated);
  setCentralWidget(fMdiArea);
  setAcceptDrops(true);
  fProgramFolder = QCoreApplication::applicationDirPath();
  fSettings.WordProcessor = DefaultWordProcessor();
  StartProcess = [](const QString &program, const QStringList &arguments) {
    return QProcess::startDetached(program, arguments);
  };
  OpenDocument = [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
  OpenDialog = [this](int &format) {
    const QStringList filters = QString::fromLatin1(kOpenFilter).split(QStringLiteral(";;"));
    QString selected = filters.first();
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QDir::currentPath(),
                                                      QString::fromLatin1(kOpenFilter), &selected);
    format = static_cast<int>(filters.indexOf(selected)) + 1;
    return path;
  };
  SaveDialog = [this](const QString &title, const QString &proposed) {
    QFileDialog dialog(this, title, QDir::currentPath(), QString::fromLatin1(kSaveFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pq8d"));
    dialog.selectFile(proposed);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                   : QString();
  };
  createMenus();
  createToolBar();
  updateResultButtons();
  statusBar();
  resize(1000, 700);
}

TMainForm::~TMainForm() {
  // Child windows go before the project they edit; no activation reaches a half-destroyed window.
  disconnect(fMdiArea, nullptr, this, nullptr);
  for (QMdiSubWindow *window : fMdiArea->subWindowList()) delete window;
}

// ---------------------------------------------------------------- commands

QAction *TMainForm::addCommand(QMenu *menu, const QString &caption, void (TMainForm::*handler)(),
                               const QKeySequence &shortcut) {
  auto *action = menu->addAction(caption);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  if (handler) connect(action, &QAction::triggered, this, handler);
  return action;
}

QAction *TMainForm::addToolButton(const QString &hint, const QString &glyph, void (TMainForm::*handler)()) {
  auto *action = fToolBar->addAction(glyphIcon(glyph), hint);
  action->setToolTip(hint);
  action->setStatusTip(hint);
  action->setObjectName(hint);
  if (handler) connect(action, &QAction::triggered, this, handler);
  return action;
}

void TMainForm::createMenus() {
  fFileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  addCommand(fFileMenu, QStringLiteral("&New"), &TMainForm::FileNew, QKeySequence(QStringLiteral("Ctrl+N")));
  addCommand(fFileMenu, QStringLiteral("&Open..."), &TMainForm::FileOpen, QKeySequence(QStringLiteral("Ctrl+O")));
  addCommand(fFileMenu, QStringLiteral("&Save"), &TMainForm::FileSave, QKeySequence(QStringLiteral("Ctrl+S")));
  addCommand(fFileMenu, QStringLiteral("Save &As..."), &TMainForm::FileSaveAs);
  fFileMenu->addSeparator();
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    auto *entry = fFileMenu->addAction(QString());
    entry->setVisible(false);
    connect(entry, &QAction::triggered, this, [this, i] { openRecentFile(i); });
    fRecentEntries.push_back(entry);
  }
  fRecentSeparator = fFileMenu->addSeparator();
  addCommand(fFileMenu, QStringLiteral("E&xit"), nullptr);
  connect(Action(QStringLiteral("&File|E&xit")), &QAction::triggered, this, &QWidget::close);
  connect(fFileMenu, &QMenu::aboutToShow, this, &TMainForm::updateFileMenu);

  fDataMenu = menuBar()->addMenu(QStringLiteral("Da&ta"));
  addCommand(fDataMenu, QStringLiteral("&Title"), &TMainForm::showTitle);
  QMenu *units = fDataMenu->addMenu(QStringLiteral("&Units"));
  auto *unitGroup = new QActionGroup(this);
  const QString unitCaptions[] = {QStringLiteral("&English Units (lbs, ft, in)"), QStringLiteral("&SI Units (kN, m)")};
  for (int system : {kUnitsEnglish, kUnitsSI}) {
    QAction *item = units->addAction(unitCaptions[system - 1]);
    item->setCheckable(true);
    unitGroup->addAction(item);
    connect(item, &QAction::triggered, this, [this, system] { setUnits(system); });
  }
  QMenu *design = fDataMenu->addMenu(QStringLiteral("Design Method (ASD or LRFD)"));
  for (const auto &[caption, nlrfd] : {std::pair{QStringLiteral("ASD (Allowable Stress Design)"), 2},
                                       std::pair{QStringLiteral("LRFD (Load Resistance Factor Design)"), 1}}) {
    QAction *item = design->addAction(caption);
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, nlrfd] { setDesignMethod(nlrfd); });
  }
  connect(design, &QMenu::aboutToShow, this, &TMainForm::updateDataMenu);
  addCommand(fDataMenu, QStringLiteral("&Drilled-Pylar Properties"), &TMainForm::showPierProperties);
  addCommand(fDataMenu, QStringLiteral("Soil &Layer Data"), &TMainForm::showSoilLayers);
  addCommand(fDataMenu, QStringLiteral("&Factor of Safety (Allowable Stress Design)"), &TMainForm::showSafetyFactor);
  QMenu *method = fDataMenu->addMenu(QStringLiteral("&Computation Methods"));
  for (const auto &[caption, value] : {std::pair{QStringLiteral("Specify the pylar length"), 2},
                                       std::pair{QStringLiteral("Specify the design load"), 1}}) {
    QAction *item = method->addAction(caption);
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, value] { setComputationMethod(value); });
  }
  connect(method, &QMenu::aboutToShow, this, &TMainForm::updateDataMenu);
  connect(units, &QMenu::aboutToShow, this, &TMainForm::updateDataMenu);
  addCommand(fDataMenu, QStringLiteral("&Water Table"), &TMainForm::showWaterTable);
  addCommand(fDataMenu, QStringLiteral("Evaluate Multiple Pylar Lengths"), &TMainForm::notAvailable)->setCheckable(true);
  addCommand(fDataMenu, QStringLiteral("ASD/LRFD Design Charts"), &TMainForm::notAvailable)->setCheckable(true);
  addCommand(fDataMenu, QStringLiteral("Print Additional t-z curves"), &TMainForm::showTzPrint)->setCheckable(true);
  addCommand(fDataMenu, QStringLiteral("Control &Options..."), &TMainForm::notAvailable);
  connect(fDataMenu, &QMenu::aboutToShow, this, &TMainForm::updateDataMenu);

  fComputationMenu = menuBar()->addMenu(QStringLiteral("&Computation"));
  addCommand(fComputationMenu, QStringLiteral("&Run Analysis"), &TMainForm::RunAnalysis);
  addCommand(fComputationMenu, QStringLiteral("Edit I&nput Text"), &TMainForm::editInput);
  addCommand(fComputationMenu, QStringLiteral("Edit &Processor-Run Notes"), &TMainForm::editNotes);
  addCommand(fComputationMenu, QStringLiteral("Edit &Output Text"), &TMainForm::editOutput);
  addCommand(fComputationMenu, QStringLiteral("&View Pylar Elevation"), &TMainForm::notAvailable);
  addCommand(fComputationMenu, QStringLiteral("3D View"), &TMainForm::notAvailable);
  connect(fComputationMenu, &QMenu::aboutToShow, this, &TMainForm::updateComputationMenu);
  for (QMenu *menu : {fFileMenu, fDataMenu, fComputationMenu})
    connect(menu, &QMenu::aboutToShow, this, &TMainForm::DeactivateActiveChild);

  fGraphicsMenu = menuBar()->addMenu(QStringLiteral("&Graphics"));
  const std::pair<const char *, TGraphPlot *> plots[] = {
      {"Ultimate &Skin Friction vs Depth", &fPlots.pltSkin},
      {"Ultimate &Tip Resistance vs Depth", &fPlots.pltTip},
      {"Ultimate Total &Capacity vs Depth", &fPlots.pltTotal},
      {"C&ombined Plots vs Depth (initial diameter)", &fPlots.pltCombine},
      {"ASD/LRFD Skin Friction vs Depth ", &fPlots.FSpltSkin},
      {"ASD/LRFD Tip Resistance vs Depth ", &fPlots.FSpltTip},
      {"ASD/LRFD Total Capacity vs Depth", &fPlots.FSpltTotal},
      {"Combined Plots vs Depth (initial diameter)", &fPlots.pltCombineD},
      {"Axial Load vs Settlement (averaged)", &fPlots.pltAxial},
      {"Axial Load vs Settlement (upper bound)", &fPlots.pltUpper},
      {"Axial Load vs Settlement (lower bound)", &fPlots.pltLower},
      {"Combined Plots of Load vs Settlement (initial diameter)", &fPlots.pltCombinedSettle},
      {"t-z curves (averaged, initial diameter)", &fPlots.pltTz},
      {"Q-w curves (averaged)", &fPlots.pltQw},
      {"Additional t-z curves (averaged, initial diameter)", &fPlots.pltTzAdd},
  };
  for (const auto &[caption, plot] : plots) {
    QAction *item = fGraphicsMenu->addAction(QString::fromLatin1(caption));
    TGraphPlot *target = plot;
    connect(item, &QAction::triggered, this, [this, target] { showPlot(target); });
    fGraphicsEntries.push_back({item, plot});
  }
  fChartSeparator = fGraphicsMenu->addSeparator();
  for (int k = 0; k < 10; ++k) {
    TGraphPlot *chart = &fPlots.PltChart[static_cast<std::size_t>(k)];
    QAction *item = fGraphicsMenu->addAction(QStringLiteral("Design Chart ") + QString::number(k + 1));
    connect(item, &QAction::triggered, this, [this, chart] { showPlot(chart); });
    fGraphicsEntries.push_back({item, chart});
  }
  fGraphicsMenu->addSeparator();
  addCommand(fGraphicsMenu, QStringLiteral("Export Plots to Excel"), &TMainForm::notAvailable);
  connect(fGraphicsMenu, &QMenu::aboutToShow, this, &TMainForm::updateGraphicsMenu);

  fWindowMenu = menuBar()->addMenu(QStringLiteral("&Window"));
  connect(addCommand(fWindowMenu, QStringLiteral("&Cascade"), nullptr), &QAction::triggered, fMdiArea,
          &QMdiArea::cascadeSubWindows);
  connect(addCommand(fWindowMenu, QStringLiteral("&Arrange Icons"), nullptr), &QAction::triggered, fMdiArea,
          &QMdiArea::tileSubWindows);
  fWindowSeparator = fWindowMenu->addSeparator();
  for (int k = 0; k < kMaxWindowEntries; ++k) {
    auto *entry = fWindowMenu->addAction(QString());
    entry->setVisible(false);
    connect(entry, &QAction::triggered, this, [this, k] {
      const auto windows = fMdiArea->subWindowList(QMdiArea::CreationOrder);
      if (k < windows.size()) {
        windows[k]->showNormal();
        fMdiArea->setActiveSubWindow(windows[k]);
      }
    });
    fWindowEntries.push_back(entry);
  }
  connect(fWindowMenu, &QMenu::aboutToShow, this, &TMainForm::updateWindowMenu);

  fHelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
  connect(fHelpMenu, &QMenu::aboutToShow, this, &TMainForm::DeactivateActiveChild);
  addCommand(fHelpMenu, QStringLiteral("&Contents"), &TMainForm::helpContents);
  addCommand(fHelpMenu, QStringLiteral("&User's Manual"), &TMainForm::helpUsersManual);
  addCommand(fHelpMenu, QStringLiteral("&Technical Manual"), &TMainForm::helpTechnicalManual);
  addCommand(fHelpMenu, QStringLiteral("&About..."), &TMainForm::ShowAbout);
}

void TMainForm::createToolBar() {
  fToolBar = addToolBar(QStringLiteral("Tools"));
  fToolBar->setObjectName(QStringLiteral("Tools"));
  fToolBar->setIconSize(QSize(24, 24));
  addToolButton(QStringLiteral("New File"), QStringLiteral("N"), &TMainForm::FileNew);
  addToolButton(QStringLiteral("Open File"), QStringLiteral("O"), &TMainForm::FileOpen);
  addToolButton(QStringLiteral("Save File"), QStringLiteral("S"), &TMainForm::FileSave);
  fToolBar->addSeparator();
  addToolButton(QStringLiteral("Title"), QStringLiteral("T"), &TMainForm::showTitle);
  addToolButton(QStringLiteral("Drilled Pylar Properties"), QStringLiteral("P"), &TMainForm::showPierProperties);
  addToolButton(QStringLiteral("Soil Layer Data"), QStringLiteral("L"), &TMainForm::showSoilLayers);
  addToolButton(QStringLiteral("Factor of Safety (ASD)"), QStringLiteral("FS"), &TMainForm::showSafetyFactor);
  fToolBar->addSeparator();
  addToolButton(QStringLiteral("Run Data File"), QStringLiteral("Run"), &TMainForm::RunAnalysis);
  fResultButtons.push_back(addToolButton(QStringLiteral("View Output"), QStringLiteral("Out"), &TMainForm::editOutput));
  addToolButton(QStringLiteral("View Soil Profile"), QStringLiteral("E"), &TMainForm::notAvailable);
  addToolButton(QStringLiteral("3D View"), QStringLiteral("3D"), &TMainForm::notAvailable);
  fToolBar->addSeparator();
  const std::tuple<const char *, const char *, TGraphPlot *, bool> plotButtons[] = {
      {"Combined Plot (Ultimate)", "CU", &fPlots.pltCombine, false},
      {"Combined Plot (LRFD/ASD)", "CD", &fPlots.pltCombineD, false},
      {"Load vs. Settlement", "QS", &fPlots.pltAxial, false},
      {"t-z curves", "tz", &fPlots.pltTz, true},
      {"Q-w curves", "Qw", &fPlots.pltQw, true},
  };
  for (const auto &[hint, glyph, plot, tz] : plotButtons) {
    QAction *button = addToolButton(QString::fromLatin1(hint), QString::fromLatin1(glyph), nullptr);
    TGraphPlot *target = plot;
    connect(button, &QAction::triggered, this, [this, target] { showPlot(target); });
    (tz ? fTzButtons : fResultButtons).push_back(button);
  }
  fToolBar->addSeparator();
}

QAction *TMainForm::Action(const QString &path) const {
  const QStringList parts = path.split(u'|');
  QList<QAction *> actions = menuBar()->actions();
  QAction *found = nullptr;
  for (const QString &part : parts) {
    found = nullptr;
    for (QAction *action : actions)
      if (action->text() == part) {
        found = action;
        break;
      }
    if (!found) return nullptr;
    actions = found->menu() ? found->menu()->actions() : QList<QAction *>();
  }
  return found;
}

QAction *TMainForm::ToolButton(const QString &hint) const {
  for (QAction *action : fToolBar->actions())
    if (!action->isSeparator() && action->toolTip() == hint) return action;
  return nullptr;
}

QMenu *TMainForm::Menu(const QString &caption) const {
  QAction *action = Action(caption);
  return action ? action->menu() : nullptr;
}

// ---------------------------------------------------------------- menu state

void TMainForm::updateFileMenu() {
  const int count = fSettings.PrevFile.Count();
  const QString folder = QDir::currentPath();
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    const bool shown = i < count;
    fRecentEntries[i]->setVisible(shown);
    if (shown) fRecentEntries[i]->setText(fSettings.PrevFile.Caption(i, folder));
  }
  fRecentSeparator->setVisible(count > 0);
}

void TMainForm::updateComputationMenu() {
  const QString file = currentFileName();
  Action(QStringLiteral("&Computation|Edit I&nput Text"))->setEnabled(QFileInfo::exists(file));
  Action(QStringLiteral("&Computation|Edit &Processor-Run Notes"))
      ->setEnabled(QFileInfo::exists(ChangeFileExt(file, QStringLiteral(".pq8r"))));
  Action(QStringLiteral("&Computation|Edit &Output Text"))
      ->setEnabled(QFileInfo::exists(ChangeFileExt(file, QStringLiteral(".pq8o"))));
}

void TMainForm::updateWindowMenu() {
  const auto windows = fMdiArea->subWindowList(QMdiArea::CreationOrder);
  for (int k = 0; k < kMaxWindowEntries; ++k) {
    const bool shown = k < windows.size();
    fWindowEntries[k]->setVisible(shown);
    if (shown) fWindowEntries[k]->setText(windows[k]->windowTitle());
  }
  fWindowSeparator->setVisible(!windows.isEmpty());
}

void TMainForm::updateResultButtons() {
  for (QAction *button : fResultButtons) button->setEnabled(fShowOutput);
  for (QAction *button : fTzButtons) button->setEnabled(fShowOutput && fShowTzCurves);
}

// ---------------------------------------------------------------- files

QString TMainForm::currentFileName() const { return fData->FileName; }

void TMainForm::rememberFile(const QString &path) {
  fSettings.PrevFile.MoveToTop(path);
  WriteSettings(fSettings);
}

void TMainForm::closeChildWindows(bool discard) {
  for (QMdiSubWindow *window : fMdiArea->subWindowList()) {
    if (auto *child = qobject_cast<TDataChild *>(window); child && discard)
      child->Discard();
    else
      window->close();
  }
}

TProjectAccess TMainForm::projectAccess() {
  return {[this]() -> TProgramData & { return *fData; }, [this] { SetChanged(true); }};
}

void TMainForm::StartUp(const QString &commandLineFile) {
  ReadSettings(fSettings);
  if (fSettings.WordProcessor.isEmpty()) fSettings.WordProcessor = DefaultWordProcessor();
  bool opened = false;
  if (!commandLineFile.isEmpty()) {
    const QString name = CommandLineFileName(commandLineFile);
    const TFileFormat format = FormatForExtension(name);
    if (QFileInfo::exists(name) && format != ffNone) {
      openProject(QFileInfo(name).absoluteFilePath(), format);
      opened = true;
    }
  }
  if (!opened) FileNew();
  setWindowTitle(WindowCaption(currentFileName()));
  fTables.ShowLRFDColumns(fData->NLRFD == 1);
}

bool TMainForm::OpenFileByExtension(const QString &path) {
  const TFileFormat format = FormatForExtension(path);
  if (format == ffNone) return false;
  if (!AskToSave()) return false;
  openProject(QFileInfo(path).absoluteFilePath(), format);
  return true;
}

void TMainForm::openRecentFile(int index) {
  const QString path = fSettings.PrevFile.Entry(index);
  if (!path.isEmpty()) OpenFileByExtension(path);
}

void TMainForm::clearResults() {
  fShowOutput = false;
  fShowTzCurves = false;
  fAdditionalTzCurves = 0;
  updateResultButtons();
}

void TMainForm::projectReplaced() {
  setWindowTitle(WindowCaption(currentFileName()));
  fTables.ShowLRFDColumns(fData->NLRFD == 1);
}

void TMainForm::openProject(const QString &path, int format) {
  QDir::setCurrent(QFileInfo(path).absolutePath());
  closeChildWindows(true);
  fData.reset();
  TProgramData::TReadResult read = TProgramData::CreateFromFile(fTables, path, format);
  fData = read.data ? std::move(read.data) : TProgramData::Create(fTables);
  if (!read.error.isEmpty()) ShowInformation(this, read.error);
  clearResults();
  if (QFileInfo::exists(ChangeFileExt(path, QStringLiteral(".pq8p")))) LoadResults(false);
  updateResultButtons();
  rememberFile(path);
  projectReplaced();
}

bool TMainForm::AskToSave() {
  if (!GetChanged()) return true;
  switch (AskYesNoCancel(this, QStringLiteral("Do you want to save any changes?"))) {
    case TAnswer::Cancel:
      return false;
    case TAnswer::No:
      return true;
    case TAnswer::Yes:
      menuSaveClicked();
      return !IsUnnamed(currentFileName());
  }
  return false;
}

void TMainForm::FileNew() {
  DeactivateActiveChild();
  if (AskToSave()) {
    closeChildWindows(true);
    fData.reset();
    fData = TProgramData::Create(fTables);
  }
  clearResults();
  projectReplaced();
}

void TMainForm::FileOpen() {
  DeactivateActiveChild();
  if (!AskToSave()) return;
  int format = ffVersion8;
  const QString path = OpenDialog(format);
  if (path.isEmpty()) return;
  if (format < ffVersion8 || format > ffAllFiles) format = ffAllFiles;
  openProject(QFileInfo(path).absoluteFilePath(), format);
}

void TMainForm::SaveProject() {
  if (NeedsSaveAs(currentFileName())) {
    FileSaveAs();
    return;
  }
  fData->Save();
}

void TMainForm::menuSaveClicked() {
  try {
    SaveProject();
  } catch (const EPylarError &e) {
    ShowInformation(this, e.message());
  }
}

void TMainForm::FileSave() {
  DeactivateActiveChild();
  menuSaveClicked();
}

void TMainForm::FileSaveAs() {
  DeactivateActiveChild();
  const QString proposed = QFileInfo(ProposedSaveName(currentFileName())).fileName();
  const QString chosen =
      SaveDialog(SaveAsTitle(currentFileName()), proposed);
  clearResults();
  closeChildWindows(false);
  if (chosen.isEmpty()) {
    filesaved = false;
    return;
  }
  fData->FileName = QFileInfo(chosen).absoluteFilePath();
  setWindowTitle(WindowCaption(fData->FileName));
  try {
    fData->Save();
  } catch (const EPylarError &) {
    WriteSettings(fSettings);
    throw;
  }
  WriteSettings(fSettings);
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  OpenFileByExtension(urls.first().toLocalFile());  // only the first dropped file counts
}

void TMainForm::closeEvent(QCloseEvent *event) {
  DeactivateActiveChild();
  if (!AskToSave()) {
    event->ignore();
    return;
  }
  WriteSettings(fSettings);
  closeChildWindows(true);
  event->accept();
}

// ---------------------------------------------------------------- data windows

TDataChild *TMainForm::DataWindow(const QString &caption) const {
  for (QMdiSubWindow *window : fMdiArea->subWindowList())
    if (auto *child = qobject_cast<TDataChild *>(window); child && child->windowTitle() == caption) return child;
  return nullptr;
}

bool TMainForm::DeactivateActiveChild() {
  auto *child = qobject_cast<TDataChild *>(fMdiArea->activeSubWindow());
  if (!child || fWritingBack) return true;
  fWritingBack = true;
  const bool written = child->Form()->WriteBack();
  fWritingBack = false;
  return written;
}

void TMainForm::childActivated(QMdiSubWindow *window) {
  if (fWritingBack) return;
  auto *previous = qobject_cast<TDataChild *>(fLastActive.data());
  if (previous && previous != window) {
    fWritingBack = true;
    const bool written = previous->Form()->WriteBack();
    fWritingBack = false;
    if (!written && window) {
      // The rejected field keeps its window in front.
      QPointer<QMdiSubWindow> back = previous;
      QTimer::singleShot(0, this, [this, back] {
        if (back) fMdiArea->setActiveSubWindow(back);
      });
      return;
    }
  }
  fLastActive = window;
  if (auto *child = qobject_cast<TDataChild *>(window); child && child != previous) child->Form()->LoadFromModel();
}

template <class Form>
void TMainForm::showDataWindow(QPointer<TDataChild> &slot) {
  // A window that was closed is gone even while its deletion is pending.
  if (slot && !fMdiArea->subWindowList().contains(slot)) slot = nullptr;
  if (!slot) {
    auto *form = new Form(projectAccess());
    slot = new TDataChild(form);
    fMdiArea->addSubWindow(slot);
    form->LoadFromModel();
  }
  slot->showNormal();
  fMdiArea->setActiveSubWindow(slot);
}

void TMainForm::showTitle() { showDataWindow<TdlgTitle>(fTitleWindow); }
void TMainForm::showPierProperties() { showDataWindow<TfrmPylarpeneta>(fPierWindow); }
void TMainForm::showWaterTable() { showDataWindow<TfrmWaterDepth>(fWaterWindow); }
void TMainForm::showSafetyFactor() { showDataWindow<TfrmSafetyFactor>(fSafetyWindow); }

void TMainForm::showSoilLayers() {
  DeactivateActiveChild();
  fTables.D.Show();
}

void TMainForm::showTzPrint() {
  DeactivateActiveChild();
  TDlgTZPrint dialog(projectAccess(), this);
  dialog.exec();
}

void TMainForm::setUnits(int units) {
  DeactivateActiveChild();
  if (fData->fUnits == units) return;
  fData->SetUnits(units);
  SetChanged(true);
  for (TDataChild *child : {fPierWindow.data(), fSafetyWindow.data(), fLengthWindow.data(), fLoadWindow.data(),
                            fWaterWindow.data()})
    if (child) child->Form()->LoadFromModel();
}

void TMainForm::setDesignMethod(int nlrfd) {
  if (fData->NLRFD != nlrfd) SetChanged(true);
  fData->NLRFD = nlrfd;
  fTables.ShowLRFDColumns(nlrfd == 1);
}

void TMainForm::setComputationMethod(int method) {
  DeactivateActiveChild();
  if (fData->METHOD != method) SetChanged(true);
  fData->METHOD = method;
  if (method == 2) {
    if (fLoadWindow) fLoadWindow->close();
    showDataWindow<TfrmPenetration>(fLengthWindow);
  } else {
    if (fLengthWindow) fLengthWindow->close();
    showDataWindow<TfrmDesignLoad>(fLoadWindow);
  }
}

void TMainForm::updateDataMenu() {
  const TProgramData &project = *fData;
  Action(QStringLiteral("Da&ta|&Units|&English Units (lbs, ft, in)"))->setChecked(project.fUnits != kUnitsSI);
  Action(QStringLiteral("Da&ta|&Units|&SI Units (kN, m)"))->setChecked(project.fUnits == kUnitsSI);
  Action(QStringLiteral("Da&ta|Design Method (ASD or LRFD)|ASD (Allowable Stress Design)"))->setChecked(project.NLRFD == 2);
  Action(QStringLiteral("Da&ta|Design Method (ASD or LRFD)|LRFD (Load Resistance Factor Design)"))
      ->setChecked(project.NLRFD == 1);
  Action(QStringLiteral("Da&ta|&Computation Methods|Specify the pylar length"))->setChecked(project.METHOD == 2);
  Action(QStringLiteral("Da&ta|&Computation Methods|Specify the design load"))->setChecked(project.METHOD == 1);
  Action(QStringLiteral("Da&ta|&Factor of Safety (Allowable Stress Design)"))->setEnabled(project.NLRFD == 2);
  Action(QStringLiteral("Da&ta|Print Additional t-z curves"))->setChecked(project.PrintTZCurves == 1);
  QAction *lengths = Action(QStringLiteral("Da&ta|Evaluate Multiple Pylar Lengths"));
  QAction *charts = Action(QStringLiteral("Da&ta|ASD/LRFD Design Charts"));
  if (project.METHOD == 1) {
    lengths->setEnabled(false);
    charts->setEnabled(false);
  } else {
    lengths->setChecked(project.IPENT != 0);
    charts->setChecked(project.IChart != 0);
    lengths->setEnabled(project.IChart == 0);
    charts->setEnabled(project.IPENT == 0);
  }
}

// ---------------------------------------------------------------- results

bool TMainForm::LoadResults(bool reportErrors) {
  const TProgramData &project = *fData;
  TPlotDataContext context;
  context.Units = project.fUnits;
  context.UseElevation = project.UseElevation;
  context.ValElevation = project.ValElevation;
  context.Yesnewversion = project.Yesnewversion;
  context.KCYCL = project.KCYCL;
  context.NLRFD = project.NLRFD;
  context.FST = project.FST;
  context.FSB = project.FSB;
  context.IChart = project.IChart;
  context.IPENT = project.IPENT;
  context.DSTART = project.DSTART;
  context.PrintTZCurves = project.PrintTZCurves;
  for (int row = 0; row < fTables.D.RowCount(); ++row)
    context.Layers.push_back({fTables.D.GetIntValue(lcSoilType, row), fTables.D.GetFloatValue(lcDepth, row)});
  const TPlotDataResult result =
      ReadPlotData(ChangeFileExt(project.FileName, QStringLiteral(".pq8p")), context, fPlots);
  if (result.ID2Read) fData->ID2 = result.ID2;
  fShowOutput = result.ok;
  fShowTzCurves = result.ok && result.showtzcurves;
  fAdditionalTzCurves = result.additionalTzCurves;
  if (!result.ok && reportErrors)
    ShowInformation(this, QStringLiteral("An error occured in running the main program."));
  updateResultButtons();
  return result.ok;
}

void TMainForm::updateGraphicsMenu() {
  const TProgramData &project = *fData;
  const bool loaded = fShowOutput && QFileInfo::exists(ChangeFileExt(project.FileName, QStringLiteral(".pq8p")));
  const QString ending = project.IPENT == 1 ? QStringLiteral("(Initial Length)") : QStringLiteral("(Initial Diameter)");
  for (const TGraphicsEntry &entry : fGraphicsEntries) {
    bool enabled = loaded;
    bool visible = true;
    TGraphPlot *plot = entry.plot;
    if (plot == &fPlots.pltUpper || plot == &fPlots.pltLower || plot == &fPlots.pltCombinedSettle)
      enabled = enabled && project.ID2 != 0;
    if (plot == &fPlots.pltTz || plot == &fPlots.pltQw) enabled = enabled && fShowTzCurves;
    if (plot == &fPlots.pltTzAdd) enabled = enabled && fShowTzCurves && project.PrintTZCurves == 1 && fAdditionalTzCurves > 0;
    if (plot == &fPlots.pltCombine)
      entry.action->setText(QStringLiteral("C&ombined Plots vs Depth ") + ending);
    if (plot == &fPlots.pltCombineD) entry.action->setText(QStringLiteral("Combined Plots vs Depth ") + ending);
    if (plot == &fPlots.pltCombinedSettle)
      entry.action->setText(QStringLiteral("Combined Plots of Load vs Settlement ") + ending);
    const auto chart = plot - fPlots.PltChart.data();
    if (chart >= 0 && chart < static_cast<std::ptrdiff_t>(fPlots.PltChart.size())) {
      visible = project.IChart == 1 && chart < project.NPOINTPD;
      enabled = enabled && visible;
      if (visible)
        entry.action->setText(QStringLiteral("Design Chart (") + NameNumber(project.PDSETT[static_cast<std::size_t>(chart)]) +
                              (project.fUnits == kUnitsSI ? QStringLiteral("-m") : QStringLiteral("-in")) +
                              QStringLiteral(" movement)"));
    }
    entry.action->setVisible(visible);
    entry.action->setEnabled(enabled);
  }
  fChartSeparator->setVisible(project.IChart == 1 && project.NPOINTPD > 0);
}

void TMainForm::showPlot(TGraphPlot *plot) {
  // A plain listing of the curves until the plot window draws them.
  for (QMdiSubWindow *window : fMdiArea->subWindowList())
    if (window->property("plot").value<void *>() == plot) {
      window->showNormal();
      fMdiArea->setActiveSubWindow(window);
      return;
    }
  QString text = plot->fCaption + u'\n';
  const auto axis = [](const QString &caption, const QString &units) {
    return units.isEmpty() ? caption : caption + QStringLiteral(" (") + units + u')';
  };
  text += QStringLiteral("x: ") + axis(plot->fXCaption, plot->XUnitsText()) + QStringLiteral("   y: ") +
          axis(plot->fYCaption, plot->YUnitsText()) + QStringLiteral("\n\n");
  for (int c = 0; c < plot->CurveCount(); ++c) {
    text += plot->CurveName(c).trimmed() + u'\n';
    for (const TFloatPoint &point : plot->fData[static_cast<std::size_t>(c)].fData)
      text += QStringLiteral("  ") + FormatGeneral(point.x, 8, u'.') + QStringLiteral("  ") +
              FormatGeneral(point.y, 8, u'.') + u'\n';
  }
  auto *view = new QPlainTextEdit(text);
  view->setReadOnly(true);
  view->setFont(QFont(QStringLiteral("Monospace")));
  QMdiSubWindow *window = fMdiArea->addSubWindow(view);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setProperty("plot", QVariant::fromValue<void *>(plot));
  window->setWindowTitle(plot->fCaption);
  window->resize(420, 420);
  window->show();
}

// ---------------------------------------------------------------- analysis run

void TMainForm::RunAnalysis() {
  DeactivateActiveChild();
  filesaved = true;
  try {
    SaveProject();
  } catch (const EPylarError &) {
    ShowInformation(this, QStringLiteral("An error occured during saving"));
  }
  const QString project = currentFileName();
  if (!filesaved || IsUnnamed(project)) return;
  TDecimalPointGuard decimalPoint;
  const QString folder = QFileInfo(project).absolutePath();
  QDir::setCurrent(folder);
  try {
    WriteNamesFile(folder, project);
  } catch (const EPylarError &e) {
    ShowInformation(this, e.message());
    return;
  }
  const QString namesFile = QDir(folder).filePath(QString::fromLatin1(kNamesFile));
  if (engineLibrary()) {
    ShowInformation(this, QStringLiteral("Attempt to reinitialize DLL"));
    return;
  }
  TIPYLAR ipylar = nullptr;
  try {
    engineLibrary() = std::make_unique<TDynamicLibrary>(EngineLibraryFile(fProgramFolder), true);
    ipylar = reinterpret_cast<TIPYLAR>(engineLibrary()->FindProcedure(QStringLiteral("IPYLAR")));
  } catch (const EDLLError &) {
    ipylar = nullptr;
  }
  if (ipylar) {
    statusBar()->showMessage(QStringLiteral("Running the analysis of ") + DisplayName(project) + QStringLiteral("..."));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const std::int32_t status = ipylar(kIPYLARArgument);
    QGuiApplication::restoreOverrideCursor();
    statusBar()->clearMessage();
    ShowInformation(this, status == 0
                              ? QStringLiteral("Computations are completed.\rPlease, check output file for results or error messages.")
                              : QStringLiteral("Computations are completed, but there may be errors.\rPlease, check output file for results or error messages."));
    clearResults();
    if (QFileInfo::exists(ChangeFileExt(project, QStringLiteral(".pq8p")))) LoadResults(true);
    updateResultButtons();
    RemoveRunScratchFiles(project);
  } else {
    ShowInformation(this, QStringLiteral("Attempt to initialize DLL failed"));
  }
  engineLibrary().reset();
  QFile::remove(namesFile);
  closeChildWindows(false);
}

// ---------------------------------------------------------------- text views, help, about

void TMainForm::EditText(const QString &extension) {
  const QString path = ChangeFileExt(currentFileName(), extension);
  if (!StartProcess(fSettings.WordProcessor, {QDir::toNativeSeparators(path)}))
    ShowInformation(this, QStringLiteral("An error occurred in running the Word Processor"));
}

void TMainForm::ShowHelpFile(const QString &fileName) {
  const QString path = QDir(fProgramFolder).filePath(QStringLiteral("docs/") + fileName);
  if (!QFileInfo::exists(path)) {
    ShowInformation(this, QStringLiteral("The help file could not be found:\r") + QDir::toNativeSeparators(path));
    return;
  }
  if (!OpenDocument(path))
    ShowInformation(this, QStringLiteral("The help file could not be opened:\r") + QDir::toNativeSeparators(path));
}

void TMainForm::helpContents() { ShowHelpFile(QStringLiteral("README.md")); }
void TMainForm::helpUsersManual() { ShowHelpFile(QStringLiteral("user-manual.md")); }
void TMainForm::helpTechnicalManual() { ShowHelpFile(QStringLiteral("technical-manual.md")); }

void TMainForm::ShowAbout() {
  QDialog about(this);
  about.setWindowTitle(QStringLiteral("About"));
  auto *layout = new QVBoxLayout(&about);
  auto *text = new QLabel(QStringLiteral("<h2>Pylar 2017</h2>"
                                         "<p>Axial design of drilled, cast-in-place piers<br>"
                                         "in layered soil and rock</p>"
                                         "<p>Version 2017.8.2<br>Released 07/17/17</p>"),
                          &about);
  text->setObjectName(QStringLiteral("AboutText"));
  layout->addWidget(text);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
  connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
  layout->addWidget(buttons);
  about.exec();
}

void TMainForm::notAvailable() {
  ShowInformation(this, QStringLiteral("This command is not available in this version of the program."));
}

}  // namespace pylar
