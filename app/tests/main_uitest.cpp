// The main window driven as a user would: start-up, recent files, menu state,
// the analysis run with the real engine library, text views and help.
#include "FileSizeLimit.h"
#include "RunRecordFixture.h"
#include "model/dynlib.h"
#include "ui/DataEdit.h"
#include "model/ReportFile.h"
#include "ui/ExportDlg.h"
#include "ui/HelpWindow.h"
#include "ui/Main.h"
#include "ui/Messages.h"
#include "ui/PileSide.h"
#include "ui/ReportWindow.h"
#include "ui/ResultsWindow.h"
#include "ui/PltData.h"
#include "ui/SoilLayers.h"
#include "ui/Table.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextBrowser>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QMenuBar>
#include <QToolBar>
#include <QtTest>

#include <functional>

#include <sys/stat.h>


using namespace pylar;

namespace {
const QString kBinDir = QStringLiteral(PYLAR_BIN_DIR);
const QString kExamples = QStringLiteral(PYLAR_SOURCE_DIR "/examples");

QStringList filesIn(const QString &folder) {
  return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// The title as the desktop shows it: Qt's "[*]" becomes "*" while the window
// is marked modified and disappears otherwise.
QString shownTitle(const QWidget *window) {
  QString title = window->windowTitle();
  return title.replace(QStringLiteral("[*]"), window->isWindowModified() ? QStringLiteral("*") : QString());
}

QByteArray readAll(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private:
  QStringList messages;
  QTemporaryDir work;
  TMainForm *form = nullptr;

  QString copyExample(const QString &name, const QString &as = {}) {
    const QString target = work.filePath(as.isEmpty() ? name : as);
    QFile::remove(target);
    if (!QFile::copy(kExamples + u'/' + name, target)) return {};
    return target;
  }

  void openMenu(QMenu *menu) { emit menu->aboutToShow(); }

  // A project of the 2012 layout (".pqd").
  static QByteArray legacyProject() {
    return "Old pier\r\n1 \r\n2 1 1 1 0 2 \r\n3 4 0 0 1 0 3600000 \r\n2 8 30 2.5 3 \r\n"
           "1 10 \r\n0 115 33 0 12 500 0 \r\n0 118 34 0 14 600 0 \r\n2 \r\n0.6 0.7 \r\n"
           "2 30 \r\n0 120 0 1500 8 0 0 \r\n0 122 0 1800 9 0 40000 \r\n0.5 0.45 \r\n";
  }

  // The smallest complete plot data: one pier, one row in each of its blocks.
  static QByteArray onePointPlotData() {
    QByteArray text = "1 1 0\r\n10 1 2 3 4 5 6\r\n";
    for (int i = 1; i <= 15; ++i) text += "1 1 0 0\r\n";
    return text;
  }
  static bool writeFile(QFile &file, const QByteArray &bytes) {
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    file.close();
    return written;
  }

 private slots:
  void init() {
    messages.clear();
    SetMessageHook([this](QWidget *, const QString &text) { messages << text; });
    for (const QString &name : filesIn(work.path())) QFile::remove(work.filePath(name));
    QSettings(QStringLiteral("Vexlor"), QStringLiteral("PYLAR")).clear();
    form = new TMainForm;
    form->SetProgramFolder(kBinDir);
    form->show();
  }

  void cleanup() {
    delete form;
    SetMessageHook({});
    SetQuestionHook({});
  }

  // Every command of the menus (the 3-D View's too) is explained in the
  // user's manual under the name the menu gives it.
  void everyMenuCommandIsInTheUsersManual() {
    const QString manual = QString::fromUtf8(readAll(QStringLiteral(PYLAR_SOURCE_DIR "/docs/user-manual.md"))).simplified();
    QVERIFY(manual.size() > 10000);
    QStringList missing;
    std::function<void(QMenu *)> walk = [&](QMenu *menu) {
      for (QAction *action : menu->actions()) {
        if (action->isSeparator()) continue;
        QString name = action->text();
        name.remove(u'&').remove(QStringLiteral("...")).remove(u'\t');
        name = name.trimmed();
        // Entries made at run time name files and windows: the recent projects
        // ("1 pier.pq8d") and the open windows.
        const bool madeAtRunTime = name.isEmpty() || name.front().isDigit();
        if (!madeAtRunTime && !manual.contains(name, Qt::CaseInsensitive)) missing << menu->title().remove(u'&') + u'>' + name;
        if (action->menu()) walk(action->menu());
      }
    };
    for (QAction *top : form->menuBar()->actions())
      if (top->menu()) walk(top->menu());
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not in the manual: ") + missing.join(QStringLiteral(", "))));
  }

  void commandLineNameWithoutExtensionOpensTheProject() {
    copyExample("sand-asd-english.pq8d", "pier7.pq8d");
    QDir::setCurrent(work.path());
    form->StartUp(QStringLiteral("pier7"));
    QCOMPARE(shownTitle(form), QString("PYLAR 2017.8.2 - pier7.pq8d"));
    QCOMPARE(form->Settings().PrevFile.Entry(0), work.filePath("pier7.pq8d"));
  }

  // The title names the project's file as it is on disk and carries the
  // marker while an edit is not saved.
  void titleIsTheFileNameAndMarksUnsavedEdits() {
    const QString path = copyExample("deep-profile-lrfd.pq8d");
    QVERIFY(form->OpenFileByExtension(path));
    QCOMPARE(shownTitle(form), QString("PYLAR 2017.8.2 - deep-profile-lrfd.pq8d"));
    form->Commands().PierProperties->trigger();
    TDataChild *pier = form->DataWindow("Drilled-Pylar Properties");
    QVERIFY(pier);
    pier->Form()->Fields()[0]->setText("4.5");
    QVERIFY(form->DeactivateActiveChild());
    QCOMPARE(shownTitle(form), QString("PYLAR 2017.8.2 - deep-profile-lrfd.pq8d*"));
    form->Commands().FileSave->trigger();
    QCOMPARE(shownTitle(form), QString("PYLAR 2017.8.2 - deep-profile-lrfd.pq8d"));
  }

  // Ctrl+Z takes back the last change of the project (after the typing of
  // the field in use), the marker follows the saved state, Ctrl+Shift+Z makes
  // the change again; a save or a run keeps the history.
  void undoAndRedoOfEdits() {
    const QString path = copyExample("deep-profile-lrfd.pq8d");
    QVERIFY(form->OpenFileByExtension(path));
    QVERIFY(QTest::qWaitForWindowActive(form));
    const QString saved = "PYLAR 2017.8.2 - deep-profile-lrfd.pq8d";
    QVERIFY(!form->Commands().EditUndo->isEnabled());
    form->Commands().PierProperties->trigger();
    TDataEdit *minimum = form->DataWindow("Drilled-Pylar Properties")->Form()->Fields()[0];
    minimum->setFocus();
    minimum->selectAll();
    QTest::keyClicks(minimum, "4.5");
    // The field's own typing first.
    QTest::keyClick(minimum, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(minimum->text(), QString("4"));
    QTest::keyClicks(minimum, "\b4.5");
    QTest::keyClick(minimum, Qt::Key_Tab);
    QWidget *next = QApplication::focusWidget();
    QVERIFY(next != minimum);
    QTest::keyClick(next, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(double(form->Data().DSTART), 4.0);
    QCOMPARE(minimum->text(), QString("4"));
    QCOMPARE(shownTitle(form), saved);
    QTest::keyClick(next, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(double(form->Data().DSTART), 4.5);
    QCOMPARE(minimum->text(), QString("4.5"));
    QCOMPARE(shownTitle(form), saved + "*");
    QCOMPARE(form->Commands().EditUndo->text(), QString("&Undo Drilled-Pylar Properties"));
    // Saved, then undone past the save: changed again; redone: saved.
    QTest::keyClick(next, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(shownTitle(form), saved);
    QTest::keyClick(next, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(shownTitle(form), saved + "*");
    QTest::keyClick(next, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(shownTitle(form), saved);
    // A unit switch undone gives back the values as they were, not converted twice.
    const Extended epile = form->Data().EPILE;
    form->Commands().UnitsSI->trigger();
    QVERIFY(form->Data().EPILE != epile);
    form->Commands().EditUndo->trigger();
    QCOMPARE(form->Data().fUnits, kUnitsEnglish);
    QVERIFY(form->Data().EPILE == epile);
    QCOMPARE(minimum->text(), QString("4.5"));
    // A layer inserted in the layer window, undone and redone.
    form->Commands().SoilLayers->trigger();
    auto *layers = qobject_cast<TDlgSoilLayers *>(form->DataWindow("Soill Layers")->Form());
    const int rows = form->Tables().D.RowCount();
    layers->InsertLayerClicked();
    QTRY_COMPARE(form->Commands().EditUndo->text(), QString("&Undo Soill Layers"));
    form->Commands().EditUndo->trigger();
    QCOMPARE(form->Tables().D.RowCount(), rows);
    QCOMPARE(layers->Grid()->rowCount(), rows);
    form->Commands().EditRedo->trigger();
    QCOMPARE(form->Tables().D.RowCount(), rows + 1);
    QCOMPARE(layers->Grid()->rowCount(), rows + 1);
    form->Commands().EditUndo->trigger();
    // A run saves, and keeps the history.
    SetQuestionHook([](QWidget *, const QString &) { return TAnswer::Yes; });
    form->RunAnalysis();
    QCOMPARE(shownTitle(form), saved);
    QVERIFY(form->Commands().EditUndo->isEnabled());
    form->Commands().EditUndo->trigger();
    QCOMPARE(double(form->Data().DSTART), 4.0);
    QCOMPARE(shownTitle(form), saved + "*");
    // A new project starts a new history.
    SetQuestionHook([](QWidget *, const QString &) { return TAnswer::No; });
    form->FileNew();
    QVERIFY(!form->Commands().EditUndo->isEnabled() && !form->Commands().EditRedo->isEnabled());
    QCOMPARE(shownTitle(form), QString("PYLAR 2017.8.2 - NewPylar.pq8d"));
  }

  // The window as it was left and the folder of the last project come back
  // with the next start (the settings live in the tests' own folder).
  void restartedProgramHasTheOldGeometryAndFolder() {
    const QString project = copyExample("sand-asd-english.pq8d");
    form->StartUp(QString());
    QVERIFY(form->OpenFileByExtension(project));
    form->setGeometry(QRect(57, 63, 830, 610));
    const QRect geometry = form->geometry();
    QVERIFY(form->close());
    TMainForm restarted;
    restarted.show();
    restarted.StartUp(QString());
    QCOMPARE(restarted.geometry(), geometry);
    QCOMPARE(restarted.Settings().LastFolder, work.path());
  }

  // A new child window opens inside the visible window area however large it
  // makes itself; Tile keeps them there and the main window's size; Close
  // All closes every window.
  void childWindowsOpenInsideTheArea() {
    const QString project = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(project));
    QFile notes(work.filePath("sand-asd-english.pq8r"));
    QVERIFY(writeFile(notes, "RUN NOTES\r\n"));
    form->resize(560, 330);
    QCoreApplication::processEvents();
    form->OpenDocument = [](const QString &) { return false; };  // help in the program's own window
    const TMainCommands &c = form->Commands();
    for (QAction *command : {c.ViewNotes, c.Elevation, c.HelpContents, c.SoilLayers, c.PierProperties}) {
      command->setEnabled(true);
      command->trigger();
    }
    QTest::qWait(10);
    const QRect area(QPoint(0, 0), form->MdiArea()->viewport()->size());
    const QList<QMdiSubWindow *> windows = form->MdiArea()->subWindowList();
    QCOMPARE(windows.size(), 5);
    for (QMdiSubWindow *window : windows)
      QVERIFY2(area.contains(window->geometry()),
               qPrintable(window->windowTitle() + QString(" %1,%2 %3x%4").arg(window->x()).arg(window->y())
                          .arg(window->width()).arg(window->height())));
    // Tiled: each window in the area, the main window as large as it was.
    const QSize size(560, 330);
    QCOMPARE(form->size(), size);
    c.Tile->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(form->size(), size);
    for (QMdiSubWindow *window : windows) QVERIFY(area.contains(window->geometry()));
    c.CloseAll->trigger();
    QTRY_VERIFY(form->MdiArea()->subWindowList().isEmpty());
  }

  // Save As gives the project its new name and keeps the windows open.
  void saveAsKeepsTheOpenWindows() {
    QVERIFY(form->OpenFileByExtension(copyExample("sand-asd-english.pq8d")));
    form->Commands().PierProperties->trigger();
    form->Commands().SoilLayers->trigger();
    const QString renamed = work.filePath("renamed.pq8d");
    form->SaveDialog = [&](const QString &, const QString &) { return renamed; };
    form->Commands().FileSaveAs->trigger();
    QCOMPARE(form->Data().FileName, renamed);
    QVERIFY(QFileInfo::exists(renamed));
    QCOMPARE(shownTitle(form), QString("PYLAR 2017.8.2 - renamed.pq8d"));
    QCOMPARE(form->MdiArea()->subWindowList().size(), 2);
    QVERIFY(form->DataWindow("Drilled-Pylar Properties"));
    QVERIFY(form->DataWindow("Soill Layers"));
  }

  // The keys of the desktop: F1 help, F5 run, Ctrl+P prints the active
  // window, Ctrl+Q exits.
  void keyboardShortcutsReachTheirCommands() {
    QVERIFY(form->OpenFileByExtension(copyExample("sand-asd-english.pq8d")));
    QVERIFY(QTest::qWaitForWindowActive(form));
    form->OpenDocument = [](const QString &) { return false; };
    QTest::keyClick(form, Qt::Key_F1);
    QVERIFY(qobject_cast<THelpWindow *>(form->MdiArea()->activeSubWindow()));
    QVERIFY(!form->Commands().FilePrint->isEnabled());  // the help window does not print

    QTest::keyClick(form, Qt::Key_F5);
    QVERIFY(QFileInfo::exists(work.filePath("sand-asd-english.pq8o")));
    form->Commands().ViewOutputText->setEnabled(true);
    form->Commands().ViewOutputText->trigger();
    auto *report = qobject_cast<TReportWindow *>(form->MdiArea()->activeSubWindow());
    QVERIFY(report);
    int printed = 0;
    report->PrintDialog = [&](QPrinter &) {
      ++printed;
      return false;
    };
    QVERIFY(form->Commands().FilePrint->isEnabled());
    QTest::keyClick(form, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(printed, 1);

    QTest::keyClick(form, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!form->isVisible());
  }

  void commandLineNameOfMissingFileStartsANewProject() {
    QDir::setCurrent(work.path());
    form->StartUp(QStringLiteral("nosuchpier"));
    QCOMPARE(shownTitle(form), QString("PYLAR 2017.8.2 - NewPylar.pq8d"));
    QCOMPARE(form->Settings().PrevFile.Count(), 0);
  }

  void recentFilesListShowsElevenOpensAsTen() {
    QDir::setCurrent(work.path());
    for (int i = 1; i <= 11; ++i) {
      const QString name = QString("p%1.pq8d").arg(i);
      QVERIFY(!copyExample("sand-asd-english.pq8d", name).isEmpty());
      QVERIFY(form->OpenFileByExtension(work.filePath(name)));
    }
    QDir::setCurrent(kBinDir);
    QMenu *file = form->Menus().File;
    openMenu(file);
    QStringList shown;
    for (QAction *action : file->actions())
      if (action->isVisible() && !action->isSeparator() && action->text().front().isDigit()) shown << action->text();
    QCOMPARE(shown.size(), 10);
    QCOMPARE(shown.first(), "1 " + QDir::toNativeSeparators(work.filePath("p11.pq8d")));
    QCOMPARE(shown.last(), "10 " + QDir::toNativeSeparators(work.filePath("p2.pq8d")));
    // Inside the current folder the folder is left out.
    QDir::setCurrent(work.path());
    openMenu(file);
    const QList<QAction *> entries = file->actions();
    QVERIFY(std::any_of(entries.begin(), entries.end(), [](QAction *a) { return a->text() == "1 p11.pq8d"; }));
    // The list is stored: a new window reads it back.
    TMainForm second;
    second.StartUp(QString());
    QCOMPARE(second.Settings().PrevFile.Count(), 10);
    QCOMPARE(second.Settings().PrevFile.Entry(9), work.filePath("p2.pq8d"));
  }

  void unknownExtensionsAreNotOpened() {
    QVERIFY(!form->OpenFileByExtension(work.filePath("notes.txt")));
    QCOMPARE(form->Settings().PrevFile.Count(), 0);
  }

  void runAnalysisOfAnExample() {
    const QString project = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(project));
    form->RunAnalysis();
    QVERIFY(!messages.isEmpty());
    QVERIFY2(messages[0].startsWith(
                 "Computations are completed.\rPlease, check output file for results or error messages.\r\rPier 1: "),
             qPrintable(messages[0]));
    // The results are loaded: result commands and plot entries follow the data.
    QCOMPARE(messages.size(), 1);
    QVERIFY(form->ShowOutput());
    QVERIFY(form->Commands().ViewOutput->isEnabled());
    QVERIFY(form->Commands().CombinedUltimate->isEnabled());
    QCOMPARE(form->Commands().TzCurves->isEnabled(), form->ShowTzCurves());
    openMenu(form->Menus().Graphics);
    QVERIFY(form->Commands().SkinFriction->isEnabled());
    QCOMPARE(form->Commands().LoadSettlementUpper->isEnabled(), form->Data().ID2 != 0);
    QCOMPARE(form->Commands().QwCurves->isEnabled(), form->ShowTzCurves());
    QVERIFY(form->Plots().pltSkin.CurveCount() > 0);
    QVERIFY(form->MdiArea()->subWindowList().isEmpty());
    const QStringList left = filesIn(work.path());
    for (const char *kept : {"sand-asd-english.pq8o", "sand-asd-english.pq8p", "sand-asd-english.pq8r",
                             "sand-asd-english.pq8z"})
      QVERIFY2(left.contains(kept), kept);
    for (const char *gone : {"sand-asd-english.pq8w", "sand-asd-english.pq8t", "sand-asd-english.pq8q", "TZDIAM.DAT",
                             "names.dat"})
      QVERIFY2(!left.contains(gone), gone);
    // The text views start the editor with the file's path as one argument.
    QStringList started;
    form->StartProcess = [&](const QString &program, const QStringList &arguments) {
      started << program << arguments;
      return true;
    };
    form->Settings().WordProcessor = "my editor";
    QMenu *computation = form->Menus().Computation;
    openMenu(computation);
    QAction *output = form->Commands().EditOutput;
    QVERIFY(output->isEnabled());
    output->trigger();
    QCOMPARE(started, QStringList({"my editor", QDir::toNativeSeparators(work.filePath("sand-asd-english.pq8o"))}));
    started.clear();
    form->Commands().EditInput->trigger();
    QCOMPARE(started, QStringList({"my editor", QDir::toNativeSeparators(project)}));
  }

  void runOfAnUnnamedProjectAsksForANameFirst() {
    QDir::setCurrent(work.path());
    form->StartUp(QString());
    QStringList titles;
    QString answer;
    form->SaveDialog = [&](const QString &title, const QString &proposed) {
      titles << title + " / " + proposed;
      return answer;
    };
    form->RunAnalysis();  // cancelled: nothing runs, nothing is written
    QCOMPARE(titles, QStringList{"Save NewPylar.pq8d As / NewPylar.pq8d"});
    QVERIFY(messages.isEmpty());
    QVERIFY(filesIn(work.path()).isEmpty());
    // A legacy project is saved as a new-format file, which is the one run.
    const QString legacy = work.filePath("old.pqd");
    QFile legacyFile(legacy);
    QVERIFY(writeFile(legacyFile, legacyProject()));
    QVERIFY(form->OpenFileByExtension(legacy));
    answer = work.filePath("converted.pq8d");
    // Its profile ends close to the tip: the check before the run asks.
    QStringList asked;
    SetQuestionHook([&](QWidget *, const QString &text) {
      asked << text;
      return TAnswer::Yes;
    });
    QLocale::setDefault(QLocale(QLocale::German));
    form->RunAnalysis();
    QCOMPARE(QLocale().decimalPoint(), QString(","));  // the user's separator is back after the run
    QLocale::setDefault(QLocale::c());
    QCOMPARE(titles.last(), QString("Save Old.pqd As / old.pq8d"));
    QCOMPARE(form->Data().FileName, answer);
    QVERIFY(!messages.isEmpty());
    QVERIFY2(messages[0].startsWith("Computations are completed"), qPrintable(messages.join("|")));
    QVERIFY(QFileInfo::exists(work.filePath("converted.pq8o")));
    QVERIFY(!QFileInfo::exists(work.filePath("names.dat")));
  }

  void unitChangeReloadsOpenWindows() {
    form->Data().WTD = 10;
    form->Commands().WaterTable->trigger();
    TDataEdit *depth = form->DataWindow("Water Table")->Form()->Fields().at(0);
    QCOMPARE(depth->text(), QString("10"));
    form->Commands().UnitsSI->trigger();
    QCOMPARE(form->Data().fUnits, 2);
    QCOMPARE(depth->text(), QString("3.048"));
    QCOMPARE(depth->Units(), 2);
  }

  // The run of an edited project whose save fails: nothing runs, the user
  // is told why, and the results of the file on disk stay.
  void runAfterAFailedSaveRunsNothing() {
    const QString project = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(project));
    form->RunAnalysis();
    QVERIFY(form->ShowOutput());
    messages.clear();
    const QByteArray report = readAll(work.filePath("sand-asd-english.pq8o"));
    const QByteArray onDisk = readAll(project);
    form->Data().Title = "Edited, never saved";
    form->SetChanged(true);
    {
      const TFileSizeLimit full(100);  // the project file cannot grow past 100 bytes
      QVERIFY(full.Active());
      form->RunAnalysis();
    }
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].startsWith("An error occured during saving\rCannot write the file "), qPrintable(messages[0]));
    QCOMPARE(readAll(project), onDisk);
    QCOMPARE(readAll(work.filePath("sand-asd-english.pq8o")), report);
    QVERIFY(!QFileInfo::exists(work.filePath("names.dat")));
    QVERIFY(form->GetChanged());
    QVERIFY(form->ShowOutput());  // still the results of the file on disk
  }

  // Save As into a folder that cannot take the file: the user is told, the
  // program goes on with the project unsaved.
  void saveAsThatCannotWriteSaysSo() {
    form->SaveDialog = [&](const QString &, const QString &) { return work.filePath("no-such-folder/pier.pq8d"); };
    form->SetChanged(true);
    form->Commands().FileSaveAs->trigger();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].startsWith("Cannot create the file "), qPrintable(messages[0]));
    QVERIFY(form->GetChanged());
    QVERIFY(!form->SaveProject());
  }

  // A run that ends before the engine writes plot data: the plots, report and
  // run notes of the run before are gone, and no result command is offered.
  void runThatStopsEarlyShowsNoEarlierResults() {
    const QString project = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(project));
    form->RunAnalysis();
    QVERIFY(form->ShowOutput());
    QVERIFY(form->Plots().pltSkin.CurveCount() > 0);
    TPlotForm::ShowPlot(form->MdiArea(), form->Plots().pltSkin);
    messages.clear();
    form->Tables().D.SetIntValue(lcSoilType, 0, 12);  // a code the engine stops on
    form->RunAnalysis();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].startsWith("Computations are completed, but there may be errors.\r"), qPrintable(messages[0]));
    QVERIFY2(messages[0].contains("\r\rINPUT ERROR, "), qPrintable(messages[0]));
    QVERIFY(!form->ShowOutput());
    for (TGraphPlot *plot : form->Plots().All()) QCOMPARE(plot->CurveCount(), 0);
    QVERIFY(form->MdiArea()->subWindowList().isEmpty());
    const TMainCommands &c = form->Commands();
    QVERIFY(!c.ViewOutput->isEnabled() && !c.CombinedUltimate->isEnabled() && !c.LoadSettlement->isEnabled());
    openMenu(form->Menus().Graphics);
    QVERIFY(!c.SkinFriction->isEnabled());
    QCOMPARE(QFileInfo(work.filePath("sand-asd-english.pq8p")).size(), 0);
    QVERIFY(readAll(work.filePath("sand-asd-english.pq8o")).contains("INPUT ERROR"));
    QVERIFY(readAll(work.filePath("sand-asd-english.pq8r")).startsWith("INPUT ERROR"));
  }

  // Before the engine runs: errors run nothing and name the window, field
  // and value; a warning asks, and No runs nothing.
  // A file that does not read whole (a picture under a project's name, a
  // sample cut in half) is refused with the reader's message, the file and
  // the line where reading stopped; the program stays as it was, so Save
  // writes the project that was open, to its own file.
  void aFailedOpenLeavesTheProgramAsItWas() {
    const QString good = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(good));
    form->Data().Title = "Edited, not saved yet";
    form->SetChanged(true);
    const QString caption = shownTitle(form);
    QVERIFY(caption.endsWith("sand-asd-english.pq8d*"));

    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QString png = work.filePath("picture.pq8d");
    QVERIFY(picture.save(png, "PNG"));
    const QByteArray sample = readAll(kExamples + "/clay-lrfd-si.pq8d");
    const QByteArray half = sample.left(sample.size() / 2);
    QFile halfFile(work.filePath("half.pq8d"));
    QVERIFY(writeFile(halfFile, half));
    const int halfLines = static_cast<int>(half.count('\n')) + (half.endsWith('\n') ? 0 : 1);
    struct TCase {
      QString file, designed;
      int line;
    };
    // A pipe under a project's name would keep a reader waiting for a writer.
    const QString pipe = work.filePath("pipe.pq8d");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const TCase cases[] = {
        {png, "Error on Line 2 Item 1\rAn integer was expected but not found.", 2},
        {halfFile.fileName(), "This file either invalid or incomplete.", halfLines},
        {pipe, "Cannot open the file " + pipe + ": it is a pipe", 0},
    };
    SetQuestionHook([](QWidget *, const QString &) { return TAnswer::No; });
    for (const TCase &c : cases) {
      messages.clear();
      const QByteArray before = c.line > 0 ? readAll(c.file) : QByteArray();
      QVERIFY(!form->OpenFileByExtension(c.file));
      QCOMPARE(messages.size(), 1);
      QVERIFY2(messages[0].startsWith(c.designed + "\r\r"), qPrintable(messages[0]));
      const QString where = c.line > 0 ? QString(": reading stopped at line %1.").arg(c.line) : QString(".");
      QVERIFY2(messages[0].endsWith("The file " + QDir::toNativeSeparators(c.file) + " was not opened" + where),
               qPrintable(messages[0]));
      QCOMPARE(shownTitle(form), caption);
      QCOMPARE(form->Data().FileName, good);
      QCOMPARE(form->Data().Title, QString("Edited, not saved yet"));
      QVERIFY(form->GetChanged());
      QCOMPARE(form->Settings().PrevFile.Count(), 1);
      QCOMPARE(form->Settings().PrevFile.Entry(0), good);
      if (c.line > 0) QCOMPARE(readAll(c.file), before);
    }
    form->Commands().FileSave->trigger();
    QVERIFY(readAll(good).startsWith("Edited, not saved yet\r\n"));
    QCOMPARE(readAll(halfFile.fileName()), half);
    // Named on the command line, it gives a new project, and no recent entry.
    messages.clear();
    TMainForm second;
    second.StartUp(png);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(shownTitle(&second), QString("PYLAR 2017.8.2 - NewPylar.pq8d"));
    QCOMPARE(second.Settings().PrevFile.Entry(0), good);
  }

  // The results beside a project are shown as its own only when its run
  // record ties them to the project as it is and the run completed; else the
  // user is told why and no result command offers them.
  void resultsThatAreNotTheProjectsAreNotShown() {
    const QString golden = QStringLiteral(PYLAR_SOURCE_DIR "/engine/tests/golden/sand-asd-english");
    const QByteArray plotData = readAll(golden + ".pq8p");
    struct TCase {
      const char *what;
      std::function<bool(const QString &project)> arrange;
      QString said;  // in the one message shown; empty: none
      bool shown;
    };
    const TCase cases[] = {
        {"a completed run of the project", [](const QString &p) { return WriteRunRecord(p, 0); }, {}, true},
        {"no run record", [](const QString &) { return true; }, "have no run record that ties them to it", false},
        {"the results of a backup of the same stem",
         [](const QString &p) { return WriteRunRecord(p, 0, "pier.pq8d~"); },
         "belong to another file (pier.pq8d~)", false},
        {"the project edited after the run",
         [](const QString &p) {
           QFile file(p);
           return WriteRunRecord(p, 0) && file.open(QIODevice::Append) && file.write("\r\n") == 2;
         },
         "belong to an older version of it", false},
        {"a run cut short by a full disk", [](const QString &p) { return WriteRunRecord(p, 12); },
         "did not complete (status 12)", false},
        {"plot data cut where its t-z curves begin",
         [&plotData](const QString &p) {
           QFile file(ChangeFileExt(p, ".pq8p"));
           const qsizetype tz = QString::fromLatin1(plotData).indexOf(QRegularExpression("\n *\\d+\r?\n"));
           return tz > 0 && writeFile(file, plotData.left(tz + 1)) && WriteRunRecord(p, 0);
         },
         "ends before its t-z and q-w curves: the file is incomplete", true},
    };
    for (const TCase &c : cases) {
      const QString project = copyExample("sand-asd-english.pq8d", "pier.pq8d");
      for (const char *extension : {".pq8o", ".pq8p", ".pq8r"}) {
        QFile::remove(ChangeFileExt(project, extension));
        QVERIFY(QFile::copy(golden + extension, ChangeFileExt(project, extension)));
      }
      QFile::remove(RunRecordFile(project));
      QVERIFY2(c.arrange(project), c.what);
      messages.clear();
      QVERIFY2(form->OpenFileByExtension(project), c.what);
      QVERIFY2(form->ShowOutput() == c.shown, c.what);
      QVERIFY2(form->Commands().CombinedUltimate->isEnabled() == c.shown, c.what);
      QVERIFY2(form->Commands().ViewOutput->isEnabled() == c.shown, c.what);
      QVERIFY2(form->Commands().FileExportReport->isEnabled() == c.shown, c.what);
      openMenu(form->Menus().Computation);
      QVERIFY2(form->Commands().ViewResults->isEnabled() == c.shown, c.what);
      QVERIFY2(form->Commands().ViewOutputText->isEnabled(), c.what);  // the files themselves can be read
      QVERIFY2(!form->Commands().TzCurves->isEnabled() || QString(c.what).startsWith("a completed"), c.what);
      if (c.said.isEmpty()) {
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join('|')));
      } else {
        QCOMPARE(messages.size(), 1);
        // It names the file concerned: the project, or its plot data.
        QVERIFY2(messages[0].contains(c.said) && messages[0].contains(QDir::toNativeSeparators(work.filePath("pier.pq8"))),
                 qPrintable(messages[0]));
      }
    }
  }

  // The disk fills up while the engine writes its results (status 12): the
  // files it left are not shown as the project's results, and the user is told.
  void runCutShortByAFullDiskShowsNoResults() {
    const QString project = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(project));
    {
      const TFileSizeLimit full(8192);  // the project fits, the report does not
      QVERIFY(full.Active());
      form->RunAnalysis();
    }
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].contains("The run did not complete (status 12), so its results are not shown."),
             qPrintable(messages[0]));
    QVERIFY(!form->ShowOutput());
    QVERIFY(!form->Commands().CombinedUltimate->isEnabled());
    openMenu(form->Menus().Graphics);
    QVERIFY(!form->Commands().SkinFriction->isEnabled());
  }

  void runChecksTheProjectFirst() {
    const QString project = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(project));
    form->Data().EPILE = 0;
    form->RunAnalysis();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].contains("Drilled-Pylar Properties, Modulus of Elasticity of Drilled Pylar = 0"),
             qPrintable(messages[0]));
    QVERIFY(!QFileInfo::exists(work.filePath("sand-asd-english.pq8o")));
    form->Data().EPILE = 3600000;
    form->Data().RATIO = 0.5L;
    QStringList asked;
    bool yes = false;
    SetQuestionHook([&](QWidget *, const QString &text) {
      asked << text;
      return yes ? TAnswer::Yes : TAnswer::No;
    });
    messages.clear();
    form->RunAnalysis();
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked[0].contains("Ratio of Base Diameter to Pylar Diameter = 0.5"), qPrintable(asked[0]));
    QVERIFY(messages.isEmpty());
    QVERIFY(!QFileInfo::exists(work.filePath("sand-asd-english.pq8o")));
    yes = true;
    form->RunAnalysis();
    QVERIFY(QFileInfo::exists(work.filePath("sand-asd-english.pq8o")));
    QVERIFY(form->ShowOutput());
  }

  // A run keeps the open plot windows, which show the new results.
  void runKeepsOpenPlotWindows() {
    const QString project = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(project));
    form->RunAnalysis();
    TPlotForm *plot = TPlotForm::ShowPlot(form->MdiArea(), form->Plots().pltTotal);
    QVERIFY(plot);
    form->Commands().WaterTable->trigger();
    const Extended before = form->Plots().pltTotal.Point(0, form->Plots().pltTotal.PointCount() - 1).x;
    // A water table at the ground lowers the capacity.
    form->DataWindow("Water Table")->Form()->Fields().at(0)->setText("0");
    form->RunAnalysis();
    QCOMPARE(TPlotForm::FormOf(form->Plots().pltTotal), plot);
    QVERIFY(form->DataWindow("Water Table"));
    QVERIFY(form->Plots().pltTotal.CurveCount() > 0);
    QVERIFY(form->Plots().pltTotal.Point(0, form->Plots().pltTotal.PointCount() - 1).x != before);
  }

  // Six plot windows cascade to a readable size.
  void cascadeKeepsWindowsReadable() {
    form->resize(1200, 900);
    const QString project = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(project));
    form->RunAnalysis();
    TResultPlots &p = form->Plots();
    for (TGraphPlot *plot : {&p.pltSkin, &p.pltTip, &p.pltTotal, &p.FSpltSkin, &p.FSpltTip, &p.FSpltTotal})
      QVERIFY(TPlotForm::ShowPlot(form->MdiArea(), *plot));
    form->Commands().Cascade->trigger();
    const QSize area = form->MdiArea()->viewport()->size();
    QCOMPARE(form->MdiArea()->subWindowList().size(), 6);
    for (QMdiSubWindow *window : form->MdiArea()->subWindowList()) {
      QVERIFY2(window->width() >= std::min(480, area.width()), qPrintable(QString::number(window->width())));
      QVERIFY(window->height() >= std::min(360, area.height()));
      QVERIFY(QRect(QPoint(0, 0), area).contains(window->geometry()));
    }
  }

  void runWithoutTheEngineLibrary() {
    QTemporaryDir emptyProgramFolder;
    form->SetProgramFolder(emptyProgramFolder.path());
    const QString project = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(project));
    form->RunAnalysis();
    QCOMPARE(messages, QStringList{"Attempt to initialize DLL failed"});
    QCOMPARE(filesIn(work.path()), QStringList{"sand-asd-english.pq8d"});
  }

  void computationMenuEnablesTextViewsByFilesPresent() {
    const QString project = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(project));
    openMenu(form->Menus().Computation);
    QVERIFY(form->Commands().EditInput->isEnabled());
    QVERIFY(!form->Commands().EditNotes->isEnabled());
    QVERIFY(!form->Commands().EditOutput->isEnabled());
  }

  void editorThatCannotStartIsReported() {
    form->Settings().WordProcessor = work.filePath("no-such-editor");
    form->EditText(engine::RunFileKind::Report);
    QCOMPARE(messages, QStringList{EditorFailureMessage(work.filePath("no-such-editor"))});
    QVERIFY(messages[0].contains("Control Options"));
  }

  void helpFilesOpenFromTheProgramFolder() {
    QStringList opened;
    form->OpenDocument = [&](const QString &path) {
      opened << path;
      return true;
    };
    form->Commands().TechnicalManual->trigger();
    QCOMPARE(opened, QStringList{QDir(kBinDir).filePath("docs/technical-manual.md")});
    QTemporaryDir emptyProgramFolder;
    form->SetProgramFolder(emptyProgramFolder.path());
    form->Commands().TechnicalManual->trigger();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].startsWith("The help file could not be found:\r"));
    // No desktop viewer: each help file opens in the program's help window.
    form->SetProgramFolder(kBinDir);
    form->OpenDocument = [](const QString &) { return false; };
    for (QAction *command : {form->Commands().HelpContents, form->Commands().UsersManual,
                             form->Commands().TechnicalManual}) {
      command->trigger();
      auto *help = qobject_cast<THelpWindow *>(form->MdiArea()->activeSubWindow());
      QVERIFY(help);
      QVERIFY(help->Browser()->toPlainText().startsWith("PYLAR "));
    }
    QCOMPARE(THelpWindow::Find(form->MdiArea())->Path(), QDir(kBinDir).filePath("docs/technical-manual.md"));
    QCOMPARE(messages.size(), 1);
  }

  // "View Output" and the Computation menu show the run's files inside the
  // program; open windows stay through the next run and show its files.
  void resultViewsOpenInsideAndFollowEachRun() {
    const QString project = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(project));
    openMenu(form->Menus().Computation);
    const TMainCommands &c = form->Commands();
    for (QAction *view : {c.ViewOutputText, c.ViewNotes, c.ViewListing, c.ViewResults}) QVERIFY(!view->isEnabled());
    form->RunAnalysis();
    openMenu(form->Menus().Computation);
    for (QAction *view : {c.ViewOutputText, c.ViewNotes, c.ViewListing, c.ViewResults}) QVERIFY(view->isEnabled());
    c.ViewOutput->trigger();
    auto *report = qobject_cast<TReportWindow *>(form->MdiArea()->activeSubWindow());
    QVERIFY(report);
    QCOMPARE(report->Path(), work.filePath("sand-asd-english.pq8o"));
    QVERIFY(report->TextView()->toPlainText().contains("Sand profile, straight pier 3 to 4 ft"));
    c.ViewNotes->trigger();
    QCOMPARE(form->MdiArea()->activeSubWindow()->windowTitle(), QString("Processor-Run Notes - sand-asd-english.pq8r"));
    c.ViewListing->trigger();
    QCOMPARE(form->MdiArea()->activeSubWindow()->windowTitle(), QString("Detail Listing - sand-asd-english.pq8z"));
    c.ViewResults->trigger();
    auto *results = qobject_cast<TResultsWindow *>(form->MdiArea()->activeSubWindow());
    QVERIFY(results);
    QCOMPARE(results->SeriesTable()->rowCount(), 3);
    // A second run of a changed project: the same windows, the new files.
    form->Data().Title = "Second run of the sand profile";
    form->SetChanged(true);
    form->RunAnalysis();
    QCOMPARE(form->MdiArea()->subWindowList().size(), 4);
    QVERIFY(report->TextView()->toPlainText().contains("Second run of the sand profile"));
    QCOMPARE(report->TextView()->toPlainText().count("CASE ANALYZED"), 3);
    QCOMPARE(results->SeriesTable()->rowCount(), 3);
    // A new project closes them: they show the files of the old one.
    form->SetChanged(false);
    form->FileNew();
    QVERIFY(form->MdiArea()->subWindowList().isEmpty());
  }

  void askToSaveAnswers() {
    const QString project = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(project));
    QFile::remove(project);
    QStringList questions;
    TAnswer answer = TAnswer::Cancel;
    SetQuestionHook([&](QWidget *, const QString &text) {
      questions << text;
      return answer;
    });
    const QString other = copyExample("clay-lrfd-si.pq8d");
    // Unchanged: no question.
    QVERIFY(form->OpenFileByExtension(other));
    QVERIFY(questions.isEmpty());
    QVERIFY(form->OpenFileByExtension(project.isEmpty() ? other : copyExample("sand-asd-english.pq8d")));
    // Cancel stops the command, No goes on without saving, Yes saves first.
    form->SetChanged(true);
    answer = TAnswer::Cancel;
    QVERIFY(!form->OpenFileByExtension(other));
    QCOMPARE(questions, QStringList{"Do you want to save any changes?"});
    QCOMPARE(QFileInfo(form->Data().FileName).fileName(), QString("sand-asd-english.pq8d"));
    form->Data().Title = "Saved by the answer Yes";
    answer = TAnswer::No;
    QVERIFY(form->OpenFileByExtension(other));
    QCOMPARE(QFileInfo(form->Data().FileName).fileName(), QString("clay-lrfd-si.pq8d"));
    QVERIFY(form->OpenFileByExtension(project));
    QVERIFY(form->Data().Title != "Saved by the answer Yes");
    form->Data().Title = "Saved by the answer Yes";
    form->SetChanged(true);
    answer = TAnswer::Yes;
    QVERIFY(form->OpenFileByExtension(other));
    QVERIFY(form->OpenFileByExtension(project));
    QCOMPARE(form->Data().Title, QString("Saved by the answer Yes"));
    QCOMPARE(questions.size(), 3);
    // Yes on an older-format project whose Save As is cancelled keeps the project.
    QFile legacy(work.filePath("old.pqd"));
    QVERIFY(writeFile(legacy, legacyProject()));
    QVERIFY(form->OpenFileByExtension(legacy.fileName()));
    messages.clear();
    form->SaveDialog = [](const QString &, const QString &) { return QString(); };
    form->Data().Title = "unsaved";
    form->SetChanged(true);
    QVERIFY(!form->OpenFileByExtension(other));
    QCOMPARE(form->Data().Title, QString("unsaved"));
    QCOMPARE(form->Data().FileName, legacy.fileName());
  }

  void designMethodAndOptionsDriveTheDataMenu() {
    QMenu *data = form->Menus().Data;
    QAction *safety = form->Commands().SafetyFactor;
    QAction *lengths = form->Commands().MultipleLengths;
    QAction *charts = form->Commands().DesignCharts;
    form->Commands().DesignLRFD->trigger();
    QCOMPARE(form->Data().NLRFD, 1);
    QVERIFY(form->GetChanged());
    openMenu(data);
    QVERIFY(!safety->isEnabled());
    QVERIFY(form->Commands().SafetyFactorButton->isEnabled());  // the button stays usable
    QVERIFY(form->Commands().DesignLRFD->isChecked());
    form->Commands().DesignASD->trigger();
    openMenu(data);
    QVERIFY(safety->isEnabled());
    // Multiple lengths and design charts exclude each other; neither under a design load.
    form->Data().METHOD = 2;
    form->Data().IPENT = 1;
    openMenu(data);
    QVERIFY(lengths->isChecked() && lengths->isEnabled());
    QVERIFY(!charts->isChecked() && !charts->isEnabled());
    form->Data().IPENT = 0;
    form->Data().IChart = 1;
    openMenu(data);
    QVERIFY(!lengths->isEnabled());
    QVERIFY(charts->isChecked() && charts->isEnabled());
    form->Data().IChart = 0;
    openMenu(data);
    QVERIFY(lengths->isEnabled() && charts->isEnabled());
    form->Data().METHOD = 1;
    openMenu(data);
    QVERIFY(!lengths->isEnabled() && !charts->isEnabled());
  }

  void computationMethodCommandsCloseTheOtherWindow() {
    form->Commands().MethodLength->trigger();
    QCOMPARE(form->Data().METHOD, 2);
    QVERIFY(form->DataWindow("Drilled Pylar Length"));
    form->Commands().MethodLoad->trigger();
    QCOMPARE(form->Data().METHOD, 1);
    QVERIFY(form->DataWindow("Specification of Design Load"));
    QTRY_VERIFY(!form->DataWindow("Drilled Pylar Length"));
    form->Commands().MethodLength->trigger();
    QTRY_VERIFY(!form->DataWindow("Specification of Design Load"));
    QCOMPARE(form->MdiArea()->subWindowList().size(), 1);
  }

  // "View Pylar Elevation" (the "E" button is the same action) opens the one
  // elevation view, which shows what a data window wrote back on leaving, a
  // unit change, and closes with the project.
  void elevationCommandOpensTheOneViewThatFollowsTheProject() {
    QVERIFY(form->OpenFileByExtension(copyExample("mixed-profile-belled.pq8d")));
    QVERIFY(form->ToolBar()->actions().contains(form->Commands().Elevation));
    form->Commands().Elevation->trigger();
    TDlgSideView *view = TDlgSideView::Instance();
    QVERIFY(view);
    QCOMPARE(form->MdiArea()->activeSubWindow()->widget(), view);
    QCOMPARE(view->Model().D, 3.0);
    QCOMPARE(view->Model().Layers.size(), size_t(4));

    form->Commands().PierProperties->trigger();
    TDataEdit *diameter = form->DataWindow("Drilled-Pylar Properties")->Form()->Fields().at(0);
    diameter->setText("4");
    form->Commands().Elevation->trigger();
    QCOMPARE(TDlgSideView::Instance(), view);
    QCOMPARE(form->MdiArea()->subWindowList().size(), 2);
    QCOMPARE(double(form->Data().DSTART), 4.0);
    QTRY_COMPARE(view->Model().D, 4.0);

    form->Commands().UnitsSI->trigger();
    QCOMPARE(view->Model().D, double(form->Data().DSTART));
    QCOMPARE(view->Model().Layers.back().Bottom, double(form->Tables().D.GetFloatValue(lcDepth, 3)));
    QVERIFY(std::abs(view->Model().Layers.back().Bottom - 18.288) < 1e-9);  // 60 ft

    SetQuestionHook([](QWidget *, const QString &) { return TAnswer::No; });
    form->Commands().FileNew->trigger();
    QTRY_VERIFY(!TDlgSideView::Instance());
    form->Commands().Elevation->trigger();
    QVERIFY(TDlgSideView::Instance());
    QCOMPARE(TDlgSideView::Instance()->Model().Layers.size(), size_t(1));
  }

  void dataWindowsWriteBackWhenLeftAndRefuseBadText() {
    form->Commands().WaterTable->trigger();
    TDataChild *water = form->DataWindow("Water Table");
    QVERIFY(water);
    TDataEdit *depth = water->Form()->Fields().at(0);
    depth->setText("12*2");
    form->SetChanged(false);
    form->Commands().PierProperties->trigger();  // another window comes to the front
    QCOMPARE(double(form->Data().WTD), 24.0);
    QVERIFY(form->GetChanged());
    // A text that does not evaluate is refused, nothing is written and the window stays.
    form->Commands().WaterTable->trigger();
    depth->setText("12*");
    QVERIFY(!water->Form()->WriteBack());
    QCOMPARE(double(form->Data().WTD), 24.0);
    QVERIFY(!messages.isEmpty());
    water->close();
    QVERIFY(form->DataWindow("Water Table"));
    depth->setText("3");
    water->close();
    QTRY_VERIFY(!form->DataWindow("Water Table"));
    QCOMPARE(double(form->Data().WTD), 3.0);
    // A second command brings the one window forward instead of a copy.
    form->Commands().PierProperties->trigger();
    QCOMPARE(form->MdiArea()->subWindowList().size(), 1);
  }

  void plotDataOfAnOpenedProjectDrivesTheGraphicsMenu() {
    const QString project = copyExample("sand-asd-english.pq8d");
    QFile plotData(work.filePath("sand-asd-english.pq8p"));
    const QByteArray text = onePointPlotData();
    QVERIFY(writeFile(plotData, text));
    QVERIFY(WriteRunRecord(project, 0));
    QVERIFY(form->OpenFileByExtension(project));
    QVERIFY(form->ShowOutput());
    QVERIFY(!form->ShowTzCurves());
    QVERIFY(form->Commands().LoadSettlement->isEnabled());
    QVERIFY(!form->Commands().TzCurves->isEnabled());
    openMenu(form->Menus().Graphics);
    QVERIFY(form->Commands().SkinFriction->isEnabled());
    QVERIFY(!form->Commands().LoadSettlementUpper->isEnabled());  // ID2 = 0
    QVERIFY(!form->Commands().TzCurves->isEnabled());
    QCOMPARE(form->Commands().CombinedDesign->text(), QString("Combined Plots vs Depth (Initial Diameter)"));
    QVERIFY(!form->Commands().DesignChart[0]->isVisible());
    // A plot-data file that ends early: reported after a run, silent on opening.
    QVERIFY(writeFile(plotData, text.left(30)));
    QVERIFY(!form->LoadResults(true));
    QCOMPARE(messages, QStringList{"An error occured in running the main program."});
    QVERIFY(!form->ShowOutput());
    openMenu(form->Menus().Graphics);
    QVERIFY(!form->Commands().SkinFriction->isEnabled());
  }

  // "Export Plots to Excel" offers the plots whose Graphics commands are
  // enabled, in the export's order; without results it offers none.
  void exportPlotsOffersThePlotsWhoseCommandsAreEnabled() {
    QStringList listed;
    std::vector<int> indices;
    bool generateEnabled = true;
    bool shown = false;
    const auto exportAndClose = [&] {
      listed.clear();
      shown = false;
      QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<TDlgExport *>(modal)) {
          shown = true;
          for (int row = 0; row < dialog->CheckList()->count(); ++row) listed << dialog->CheckList()->item(row)->text();
          indices = dialog->indices;
          generateEnabled = dialog->GenerateButton()->isEnabled();
        }
        if (modal) modal->close();
      });
      form->Commands().ExportPlots->trigger();
    };
    QVERIFY(form->Commands().ExportPlots->isEnabled());
    exportAndClose();
    QVERIFY(shown);
    QVERIFY(listed.isEmpty());
    QVERIFY(!generateEnabled);

    const QString project = copyExample("sand-asd-english.pq8d");
    QFile plotData(work.filePath("sand-asd-english.pq8p"));
    const QByteArray text = onePointPlotData();
    QVERIFY(writeFile(plotData, text));
    QVERIFY(WriteRunRecord(project, 0));
    QVERIFY(form->OpenFileByExtension(project));
    exportAndClose();
    QVERIFY(shown);
    // No bounds (ID2 = 0), no t-z curves, no design charts.
    const TResultPlots &plots = form->Plots();
    QStringList expected;
    for (const TGraphPlot *plot : {&plots.pltSkin, &plots.pltTip, &plots.pltTotal, &plots.FSpltSkin, &plots.FSpltTip,
                                   &plots.FSpltTotal, &plots.pltCombine, &plots.pltCombineD, &plots.pltAxial})
      expected << plot->fCaption;
    QCOMPARE(listed, expected);
    QCOMPARE(indices, std::vector<int>({1, 2, 3, 4, 5, 6, 7, 8, 9}));
    QVERIFY(generateEnabled);
  }

  void windowMenuListsChildWindowsAndShutDownAsks() {
    form->Commands().Title->trigger();
    form->Commands().WaterTable->trigger();
    QMenu *window = form->Menus().Window;
    openMenu(window);
    QStringList shown;
    for (QAction *action : window->actions())
      if (action->isVisible() && !action->isSeparator()) shown << action->text();
    QCOMPARE(shown, QStringList({"&Cascade", "&Tile", "&Arrange Icons", "C&lose All", "Project Title", "Water Table"}));
    // Closing the program with unsaved changes: Cancel keeps it open.
    form->SetChanged(true);
    SetQuestionHook([](QWidget *, const QString &) { return TAnswer::Cancel; });
    QVERIFY(!form->close());
    QVERIFY(form->isVisible());
    SetQuestionHook([](QWidget *, const QString &) { return TAnswer::No; });
    QVERIFY(form->close());
  }

  void droppedFilesOpenTheFirstProjectOnly() {
    const QString first = copyExample("clay-lrfd-si.pq8d");
    const QString second = copyExample("sand-asd-english.pq8d");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form, &drop);
    QCOMPARE(form->Data().FileName, first);
    QCOMPARE(form->Data().NLRFD, 1);
    QCOMPARE(form->Settings().PrevFile.Count(), 1);
    QCOMPARE(QDir::currentPath(), QFileInfo(first).absolutePath());
    // Other kinds of file are left alone.
    mime.setUrls({QUrl::fromLocalFile(work.filePath("picture.png"))});
    QDragEnterEvent enterOther(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form, &enterOther);
    QDropEvent other(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form, &other);
    QCOMPARE(form->Data().FileName, first);
  }

  void soilLayerCommandShowsTheLayerWindow() {
    form->Commands().SoilLayers->trigger();
    QVERIFY(form->DataWindow("Soill Layers"));
    form->Commands().SoilLayers->trigger();  // the one window again
    QCOMPARE(form->MdiArea()->subWindowList().size(), 1);
  }

  void toolBarOrderAndResultButtons() {
    QStringList hints;
    for (QAction *action : form->ToolBar()->actions())
      if (!action->isSeparator()) hints << action->toolTip();
    QCOMPARE(hints, QStringList({"New File", "Open File", "Save File", "Title", "Drilled Pylar Properties",
                                 "Soil Layer Data", "Factor of Safety (ASD)", "Run Data File", "View Output",
                                 "View Soil Profile", "3D View", "Combined Plot (Ultimate)", "Combined Plot (LRFD/ASD)",
                                 "Load vs. Settlement", "t-z curves", "Q-w curves", "Panning", "Zooming", "Rotating",
                                 "Zoom Window", "Zoom In", "Zoom Out", "Restart View"}));
    const TMainCommands &c = form->Commands();
    for (QAction *button : {c.ViewOutput, c.CombinedUltimate, c.LoadSettlement, c.TzCurves})
      QVERIFY(!button->isEnabled());
    QVERIFY(form->Commands().RunAnalysis->isEnabled());
  }

  // A tool button is the menu's own command, not a copy: enabling, checking
  // and hiding it once serves both. Only the two buttons whose state differs
  // from their menu entry by design are commands of their own.
  void toolButtonsAreTheirMenuEntries() {
    const TMainCommands &c = form->Commands();
    const TMainForm::TMenus &m = form->Menus();
    const std::pair<QAction *, QMenu *> shared[] = {
        {c.FileNew, m.File},          {c.FileOpen, m.File},        {c.FileSave, m.File},
        {c.Title, m.Data},            {c.PierProperties, m.Data},  {c.SoilLayers, m.Data},
        {c.RunAnalysis, m.Computation}, {c.Elevation, m.Computation}, {c.View3D, m.Computation},
        {c.CombinedUltimate, m.Graphics}, {c.CombinedDesign, m.Graphics}, {c.LoadSettlement, m.Graphics},
        {c.TzCurves, m.Graphics},     {c.QwCurves, m.Graphics},
    };
    QList<QAction *> buttons;
    for (QAction *action : form->ToolBar()->actions())
      if (!action->isSeparator()) buttons << action;
    for (const auto &[command, menu] : shared) {
      QVERIFY2(buttons.contains(command), qPrintable(command->toolTip()));
      QVERIFY2(menu->actions().contains(command), qPrintable(command->text()));
    }
    // And the seven buttons of the 3-D View, hidden while no view is open.
    const QList<QAction *> &view3d = form->View3dCommands().ToolActions();
    QCOMPARE(view3d.size(), 7);
    for (QAction *button : view3d) QVERIFY(buttons.contains(button) && !button->isVisible());
    QCOMPARE(buttons.size(), int(std::size(shared)) + 2 + int(view3d.size()));
    QVERIFY(buttons.contains(c.SafetyFactorButton) && buttons.contains(c.ViewOutput));
    // Every command is built once and placed once: in one menu, or (the two
    // buttons of their own) on the tool bar only.
    QList<QMenu *> menus = {m.File, m.Edit, m.Data, m.Units, m.DesignMethod, m.ComputationMethods, m.Computation,
                            m.Graphics, m.Window, m.Help};
    const QList<QAction *> commands(form->AllCommands().begin(), form->AllCommands().end());
    QCOMPARE(QSet<QAction *>(commands.begin(), commands.end()).size(), commands.size());
    for (QAction *command : commands) {
      const auto places = std::count_if(menus.begin(), menus.end(), [&](QMenu *menu) { return menu->actions().contains(command); });
      const bool ownButton = command == c.SafetyFactorButton || command == c.ViewOutput;
      QCOMPARE(places, ownButton ? 0 : 1);
    }
  }

  // Commands are reached through their members: with every text changed the
  // menus still set the state of the right commands and the commands still work.
  void commandStateDoesNotDependOnCommandTexts() {
    int n = 0;
    for (QAction *command : form->AllCommands()) command->setText(QStringLiteral("renamed %1").arg(++n));
    const TMainCommands &c = form->Commands();
    const TMainForm::TMenus &m = form->Menus();
    c.DesignLRFD->trigger();
    for (QMenu *menu : {m.File, m.Data, m.Units, m.DesignMethod, m.ComputationMethods, m.Computation, m.Graphics,
                        m.Window, m.Help})
      openMenu(menu);
    QVERIFY(c.DesignLRFD->isChecked() && !c.DesignASD->isChecked());
    QVERIFY(!c.SafetyFactor->isEnabled());
    QVERIFY(c.SafetyFactorButton->isEnabled());
    QVERIFY(c.MethodLength->isChecked());
    QVERIFY(!c.EditOutput->isEnabled());
    c.WaterTable->trigger();
    QVERIFY(form->DataWindow("Water Table"));
    // Results switch on the result commands whatever they are called.
    form->SetChanged(false);
    const QString project = copyExample("sand-asd-english.pq8d");
    QVERIFY(form->OpenFileByExtension(project));
    form->RunAnalysis();
    QVERIFY(form->ShowOutput());
    openMenu(m.Graphics);
    openMenu(m.Computation);
    QVERIFY(c.ViewOutput->isEnabled() && c.CombinedUltimate->isEnabled() && c.EditOutput->isEnabled());
    QVERIFY(c.SkinFriction->isEnabled());
  }
};

int main(int argc, char *argv[]) {
  // Settings of the tests go to a folder of their own, never the user's.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  InstallTableForms();
  MainFormTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_uitest.moc"
