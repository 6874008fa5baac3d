#include "ui/Main.h"

#include "model/dynlib.h"
#include "ui/Messages.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
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
  setWindowTitle(ProjectCaption(fFileName));
  setCentralWidget(fMdiArea);
  setAcceptDrops(true);
  fProgramFolder = QCoreApplication::applicationDirPath();
  fSettings.WordProcessor = DefaultWordProcessor();
  StartProcess = [](const QString &program, const QStringList &arguments) {
    return QProcess::startDetached(program, arguments);
  };
  OpenDocument = [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
  createMenus();
  createToolBar();
  updateResultButtons();
  statusBar();
  resize(1000, 700);
}

TMainForm::~TMainForm() = default;

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
  addCommand(fDataMenu, QStringLiteral("&Title"), &TMainForm::notAvailable);
  QMenu *units = fDataMenu->addMenu(QStringLiteral("&Units"));
  auto *unitGroup = new QActionGroup(this);
  for (const QString &caption : {QStringLiteral("&English Units (lbs, ft, in)"), QStringLiteral("&SI Units (kN, m)")}) {
    QAction *item = addCommand(units, caption, &TMainForm::notAvailable);
    item->setCheckable(true);
    unitGroup->addAction(item);
  }
  QMenu *design = fDataMenu->addMenu(QStringLiteral("Design Method (ASD or LRFD)"));
  for (const QString &caption : {QStringLiteral("ASD (Allowable Stress Design)"),
                                 QStringLiteral("LRFD (Load Resistance Factor Design)")})
    addCommand(design, caption, &TMainForm::notAvailable)->setCheckable(true);
  addCommand(fDataMenu, QStringLiteral("&Drilled-Pylar Properties"), &TMainForm::notAvailable);
  addCommand(fDataMenu, QStringLiteral("Soil &Layer Data"), &TMainForm::notAvailable);
  addCommand(fDataMenu, QStringLiteral("&Factor of Safety (Allowable Stress Design)"), &TMainForm::notAvailable);
  QMenu *method = fDataMenu->addMenu(QStringLiteral("&Computation Methods"));
  for (const QString &caption : {QStringLiteral("Specify the pylar length"), QStringLiteral("Specify the design load")})
    addCommand(method, caption, &TMainForm::notAvailable)->setCheckable(true);
  addCommand(fDataMenu, QStringLiteral("&Water Table"), &TMainForm::notAvailable);
  addCommand(fDataMenu, QStringLiteral("Evaluate Multiple Pylar Lengths"), &TMainForm::notAvailable)->setCheckable(true);
  addCommand(fDataMenu, QStringLiteral("ASD/LRFD Design Charts"), &TMainForm::notAvailable)->setCheckable(true);
  addCommand(fDataMenu, QStringLiteral("Print Additional t-z curves"), &TMainForm::notAvailable)->setCheckable(true);
  addCommand(fDataMenu, QStringLiteral("Control &Options..."), &TMainForm::notAvailable);

  fComputationMenu = menuBar()->addMenu(QStringLiteral("&Computation"));
  addCommand(fComputationMenu, QStringLiteral("&Run Analysis"), &TMainForm::RunAnalysis);
  addCommand(fComputationMenu, QStringLiteral("Edit I&nput Text"), &TMainForm::editInput);
  addCommand(fComputationMenu, QStringLiteral("Edit &Processor-Run Notes"), &TMainForm::editNotes);
  addCommand(fComputationMenu, QStringLiteral("Edit &Output Text"), &TMainForm::editOutput);
  addCommand(fComputationMenu, QStringLiteral("&View Pylar Elevation"), &TMainForm::notAvailable);
  addCommand(fComputationMenu, QStringLiteral("3D View"), &TMainForm::notAvailable);
  connect(fComputationMenu, &QMenu::aboutToShow, this, &TMainForm::updateComputationMenu);

  fGraphicsMenu = menuBar()->addMenu(QStringLiteral("&Graphics"));

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
  addToolButton(QStringLiteral("Title"), QStringLiteral("T"), &TMainForm::notAvailable);
  addToolButton(QStringLiteral("Drilled Pylar Properties"), QStringLiteral("P"), &TMainForm::notAvailable);
  addToolButton(QStringLiteral("Soil Layer Data"), QStringLiteral("L"), &TMainForm::notAvailable);
  addToolButton(QStringLiteral("Factor of Safety (ASD)"), QStringLiteral("FS"), &TMainForm::notAvailable);
  fToolBar->addSeparator();
  addToolButton(QStringLiteral("Run Data File"), QStringLiteral("Run"), &TMainForm::RunAnalysis);
  fResultButtons.push_back(addToolButton(QStringLiteral("View Output"), QStringLiteral("Out"), &TMainForm::editOutput));
  addToolButton(QStringLiteral("View Soil Profile"), QStringLiteral("E"), &TMainForm::notAvailable);
  addToolButton(QStringLiteral("3D View"), QStringLiteral("3D"), &TMainForm::notAvailable);
  fToolBar->addSeparator();
  fResultButtons.push_back(addToolButton(QStringLiteral("Combined Plot (Ultimate)"), QStringLiteral("CU"), nullptr));
  fResultButtons.push_back(addToolButton(QStringLiteral("Combined Plot (LRFD/ASD)"), QStringLiteral("CD"), nullptr));
  fResultButtons.push_back(addToolButton(QStringLiteral("Load vs. Settlement"), QStringLiteral("QS"), nullptr));
  fTzButtons.push_back(addToolButton(QStringLiteral("t-z curves"), QStringLiteral("tz"), nullptr));
  fTzButtons.push_back(addToolButton(QStringLiteral("Q-w curves"), QStringLiteral("Qw"), nullptr));
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

QString TMainForm::currentFileName() const { return fFileName; }

void TMainForm::rememberFile(const QString &path) {
  fSettings.PrevFile.MoveToTop(path);
  WriteSettings(fSettings);
}

void TMainForm::closeChildWindows() { fMdiArea->closeAllSubWindows(); }

void TMainForm::StartUp(const QString &commandLineFile) {
  ReadSettings(fSettings);
  if (fSettings.WordProcessor.isEmpty()) fSettings.WordProcessor = DefaultWordProcessor();
  bool opened = false;
  if (!commandLineFile.isEmpty()) {
    const QString name = CommandLineFileName(commandLineFile);
    if (QFileInfo::exists(name)) opened = OpenFileByExtension(QFileInfo(name).absoluteFilePath());
  }
  if (!opened) FileNew();
  setWindowTitle(ProjectCaption(currentFileName()));
}

bool TMainForm::OpenFileByExtension(const QString &path) {
  if (ReaderForExtension(path) == TReaderKind::None) return false;
  QDir::setCurrent(QFileInfo(path).absolutePath());
  fFileName = QFileInfo(path).absoluteFilePath();
  setWindowTitle(ProjectCaption(fFileName));
  fShowOutput = false;
  fShowTzCurves = false;
  updateResultButtons();
  rememberFile(fFileName);
  return true;
}

void TMainForm::openRecentFile(int index) {
  const QString path = fSettings.PrevFile.Entry(index);
  if (!path.isEmpty()) OpenFileByExtension(path);
}

void TMainForm::FileNew() {
  fFileName = QString::fromLatin1(kDefaultFileName);
  setWindowTitle(ProjectCaption(fFileName));
  fShowOutput = false;
  fShowTzCurves = false;
  updateResultButtons();
}

void TMainForm::FileOpen() { notAvailable(); }
void TMainForm::FileSave() { notAvailable(); }
void TMainForm::FileSaveAs() { notAvailable(); }

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
  WriteSettings(fSettings);
  closeChildWindows();
  event->accept();
}

// ---------------------------------------------------------------- analysis run

void TMainForm::RunAnalysis() {
  const QString project = currentFileName();
  if (IsUnnamed(project) || !QFileInfo::exists(project)) return;
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
    fShowOutput = false;
    fShowTzCurves = false;
    updateResultButtons();
    RemoveRunScratchFiles(project);
  } else {
    ShowInformation(this, QStringLiteral("Attempt to initialize DLL failed"));
  }
  engineLibrary().reset();
  QFile::remove(namesFile);
  closeChildWindows();
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
