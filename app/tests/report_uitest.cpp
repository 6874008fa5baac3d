// The windows that show a run's results, on real runs of sample projects: the
// text windows (exact text, find, sections, PDF pages), the results table
// against the report's own rows, the help window and the editor message.
#include "model/ReportFile.h"
#include "model/ReportNumbers.h"
#include "ui/HelpWindow.h"
#include "ui/Messages.h"
#include "ui/ReportWindow.h"
#include "ui/ResultsWindow.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QFontMetricsF>
#include <QTextCursor>
#include <QUrl>
#include <QtTest>

using namespace pylar;

namespace {
const QString kBinDir = QStringLiteral(PYLAR_BIN_DIR);
const QString kExamples = QStringLiteral(PYLAR_SOURCE_DIR "/examples/");

QByteArray fileBytes(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file as the text view shows it: "\n" line ends, no final one.
QString shownText(const QString &path) {
  QByteArray bytes = fileBytes(path);
  bytes.replace("\r\n", "\n");
  if (bytes.endsWith('\n')) bytes.chop(1);
  return QString::fromLatin1(bytes);
}

// The report's capacity row at each case's pier length, split at blanks: the
// line printed just before the blank line that precedes "PYLAR LENGTH".
QList<QStringList> reportRows(const QString &reportPath) {
  const QStringList lines = shownText(reportPath).split(u'\n');
  QList<QStringList> rows;
  for (int l = 2; l < lines.size(); ++l)
    if (lines[l].trimmed().startsWith("PYLAR LENGTH") && lines[l - 1].trimmed().isEmpty())
      rows << lines[l - 2].split(u' ', Qt::SkipEmptyParts);
  return rows;
}
}  // namespace

class ReportWindowsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir work;
  QMdiArea *area = nullptr;
  QStringList messages;

  QString project(const QString &name) const { return work.filePath(name + ".pq8d"); }
  QString result(const QString &name, const char *extension) const { return work.filePath(name + extension); }

 private slots:
  void initTestCase() {
    // Real runs of the samples with the command-line runner.
    for (const QString name : {"sand-asd-english", "sand-chen-kulhawy-lrfd", "deep-profile-lrfd", "clay-lrfd-si"}) {
      QVERIFY(QFile::copy(kExamples + name + ".pq8d", project(name)));
      QProcess run;
      run.start(kBinDir + "/pylar", {"run", project(name)});
      QVERIFY(run.waitForFinished(120000));
      QCOMPARE(run.exitCode(), 0);
      QVERIFY(QFileInfo::exists(result(name, ".pq8o")));
    }
  }

  void init() {
    messages.clear();
    SetMessageHook([this](QWidget *, const QString &text) { messages << text; });
    area = new QMdiArea;
    area->resize(1100, 800);
    area->show();
  }

  void cleanup() {
    delete area;
    SetMessageHook({});
  }

  void eachTextWindowShowsItsFileExactly() {
    for (const char *extension : {".pq8o", ".pq8r", ".pq8z"}) {
      const QString path = result("sand-asd-english", extension);
      TReportWindow *window = TReportWindow::ShowFile(area, path);
      QCOMPARE(window->TextView()->toPlainText(), shownText(path));
      QVERIFY(window->Notice().isEmpty());
      QCOMPARE(window->TextView()->lineWrapMode(), QPlainTextEdit::NoWrap);
      // The report's columns line up: every character it prints is as wide
      // as any other (asked of the font, not of its fixed-pitch flag, which
      // some monospaced fonts such as Noto Sans Mono do not set).
      const QFontMetricsF metrics(window->TextView()->font());
      QCOMPARE(metrics.horizontalAdvance(QStringLiteral("iiiii.....11111")),
               metrics.horizontalAdvance(QStringLiteral("MMMMM=====WWWWW")));
      QVERIFY(window->TextView()->isReadOnly());
    }
    QCOMPARE(area->subWindowList().size(), 3);
    QCOMPARE(area->activeSubWindow()->windowTitle(), QString("Detail Listing - sand-asd-english.pq8z"));
    // The same file again brings its window forward.
    TReportWindow::ShowFile(area, result("sand-asd-english", ".pq8o"));
    QCOMPARE(area->subWindowList().size(), 3);
    QCOMPARE(area->activeSubWindow()->windowTitle(), QString("Output Text - sand-asd-english.pq8o"));
  }

  void findMovesThroughTheHitsAndWrapsAround() {
    TReportWindow *window = TReportWindow::ShowFile(area, result("sand-asd-english", ".pq8o"));
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QStringList lines = window->File().lines;
    QList<int> hits;
    for (int l = 0; l < lines.size(); ++l)
      if (lines[l].contains("CASE ANALYZED")) hits << l;
    QCOMPARE(hits.size(), 3);
    auto line = [window] { return window->TextView()->textCursor().blockNumber(); };
    // Ctrl+F goes to the find field; Return and F3 find onwards, lower case alike.
    QTest::keyClick(window->TextView(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(window->FindField()->hasFocus());
    QTest::keyClicks(window->FindField(), "case analyzed");
    QTest::keyClick(window->FindField(), Qt::Key_Return);
    QCOMPARE(line(), hits[0]);
    QTest::keyClick(window->TextView(), Qt::Key_F3);
    QCOMPARE(line(), hits[1]);
    window->FindNext();
    QCOMPARE(line(), hits[2]);
    window->FindNext();
    QCOMPARE(line(), hits[0]);
    QVERIFY(window->FindStatus()->text().contains("Continued from the top"));
    QTest::keyClick(window->TextView(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(line(), hits[2]);
    QVERIFY(window->FindStatus()->text().contains("Continued from the end"));
    window->FindPrevious();
    QCOMPARE(line(), hits[1]);
    // A text the file does not hold leaves the place as it is.
    QVERIFY(!window->FindText("no such words in a report"));
    QCOMPARE(line(), hits[1]);
    QVERIFY(window->FindStatus()->text().contains("Not found"));
  }

  void sectionListJumpsToEachPiersBlock() {
    TReportWindow *window = TReportWindow::ShowFile(area, result("sand-chen-kulhawy-lrfd", ".pq8o"));
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QListWidget *list = window->SectionList();
    QCOMPARE(list->count(), static_cast<int>(window->File().sections.size()));
    int cases = 0;
    for (int i = 0; i < list->count(); ++i) {
      const TTextSection &s = window->File().sections[static_cast<std::size_t>(i)];
      if (s.kind != TSectionKind::Case) continue;
      ++cases;
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(i)).center());
      QCOMPARE(window->TextView()->textCursor().block().text().simplified(),
               QString("- CASE ANALYZED : %1").arg(cases));
      // The block's heading is the first line in view.
      QCOMPARE(window->TextView()->verticalScrollBar()->value(), s.line);
      QCOMPARE(window->TextView()->cursorForPosition(QPoint(4, 4)).blockNumber(), s.line);
    }
    QCOMPARE(cases, 4);
    QVERIFY(list->item(1)->text().startsWith("Soil information"));
  }

  void pdfPagesKeepEveryLineWhole() {
    TReportWindow *window = TReportWindow::ShowFile(area, result("sand-asd-english", ".pq8o"));
    const QString pdf = work.filePath("report.pdf");
    QCOMPARE(window->ExportPdf(pdf), QString());
    QProcess info;
    info.start("pdfinfo", {pdf});
    QVERIFY(info.waitForFinished(30000));
    const QString infoText = QString::fromLatin1(info.readAllStandardOutput());
    QVERIFY2(infoText.contains(QRegularExpression("Pages:\\s+1[0-9]\\b")), qPrintable(infoText));
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    QVERIFY(text.waitForFinished(30000));
    const QStringList pdfLines = QString::fromUtf8(text.readAllStandardOutput()).split(u'\n');
    // Every report line of 70 columns or more (the widest is 81) is one line of
    // a page, with the same words.
    QSet<QString> printed;
    for (const QString &l : pdfLines) printed.insert(l.simplified());
    int wide = 0;
    for (const QString &l : window->File().lines) {
      if (l.size() < 70) continue;
      ++wide;
      QVERIFY2(printed.contains(l.simplified()), qPrintable(l));
    }
    QVERIFY(wide > 100);
    // Printing uses the same pages: a cancelled dialog prints nothing.
    window->PrintDialog = [](QPrinter &) { return false; };
    window->Print();
    QVERIFY(messages.isEmpty());
  }

  void windowsRereadTheirFilesAndSurviveBadOnes() {
    const QString path = work.filePath("changing.pq8o");
    QFile::remove(path);
    TReportWindow *window = TReportWindow::ShowFile(area, path);
    QVERIFY(window->Error().contains("does not exist. Run the analysis to write it."));
    QVERIFY(window->TextView()->toPlainText().isEmpty());
    QCOMPARE(window->ExportPdf(work.filePath("none.pdf")), window->Error());
    // The run writes it: the open window shows it after ReloadAll.
    QVERIFY(QFile::copy(result("sand-asd-english", ".pq8o"), path));
    TReportWindow::ReloadAll(area);
    QVERIFY(window->Error().isEmpty());
    QCOMPARE(window->TextView()->toPlainText(), shownText(path));
    // A run that stopped half-way: shown as far as it goes, marked.
    const QByteArray whole = fileBytes(path);
    {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      const QByteArray cut = "CASE ANALYZED      :     2";
      file.write(whole.left(whole.indexOf(cut) + cut.size()));
    }
    TReportWindow::ReloadAll(area);
    QVERIFY(window->Notice().contains("ends in the middle of a line"));
    QVERIFY(window->windowTitle().endsWith("[cut short]"));
    QVERIFY(window->TextView()->toPlainText().endsWith("CASE ANALYZED      :     2"));
    {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    }
    TReportWindow::ReloadAll(area);
    QVERIFY(window->Error().contains("is empty"));
    // The window never writes its file.
    QCOMPARE(QFileInfo(path).size(), 0);
    QVERIFY(messages.isEmpty());
  }

  void resultsTableEqualsTheReportsRows_data() {
    QTest::addColumn<QString>("sample");
    QTest::addColumn<int>("piers");
    QTest::addColumn<int>("mostEfficient");
    QTest::newRow("ASD, three diameters") << "sand-asd-english" << 3 << 0;
    QTest::newRow("LRFD, design charts") << "deep-profile-lrfd" << 3 << 0;
    QTest::newRow("LRFD, multiple lengths") << "sand-chen-kulhawy-lrfd" << 4 << 3;
    QTest::newRow("LRFD, SI") << "clay-lrfd-si" << 5 << -2;
  }

  void resultsTableEqualsTheReportsRows() {
    QFETCH(QString, sample);
    QFETCH(int, piers);
    QFETCH(int, mostEfficient);
    TResultsWindow *window = TResultsWindow::ShowResults(area, project(sample));
    QVERIFY2(window->Results().problems.isEmpty(), qPrintable(window->Results().problems.join("; ")));
    QTableWidget *table = window->SeriesTable();
    const QList<QStringList> rows = reportRows(result(sample, ".pq8o"));
    QCOMPARE(table->rowCount(), piers);
    QCOMPARE(rows.size(), piers);
    // Columns: case, stem, base, pier length, then the report's columns after LENGTH, notes.
    QCOMPARE(table->columnCount(), 4 + 7 + 1);
    QCOMPARE(table->horizontalHeaderItem(5)->text(), QString("QS\n") + (window->Results().si ? "kN" : "tons"));
    for (int r = 0; r < piers; ++r) {
      QCOMPARE(table->item(r, 0)->text(), QString::number(r + 1));
      for (int c = 1; c < 8; ++c) QCOMPARE(table->item(r, 3 + c)->text(), rows[r][c]);
      // The pier length, to three decimals, rounds to the row's length.
      QCOMPARE(QString::number(table->item(r, 3)->text().toDouble(), 'f', 1), rows[r][0]);
    }
    if (mostEfficient >= 0) {
      QCOMPARE(window->Results().mostEfficient, mostEfficient);
      QCOMPARE(table->item(mostEfficient, 11)->text(), QString("most efficient"));
    } else {
      QVERIFY(window->Results().mostEfficient >= 0);
    }
  }

  void rowsSortAndCopyAsTabSeparatedText() {
    TResultsWindow *window = TResultsWindow::ShowResults(area, project("sand-chen-kulhawy-lrfd"));
    QTableWidget *table = window->SeriesTable();
    const int qu = 7;
    QVERIFY(table->horizontalHeaderItem(qu)->text().startsWith("QU\n"));
    table->sortByColumn(qu, Qt::DescendingOrder);
    QStringList order;
    for (int r = 0; r < table->rowCount(); ++r) order << table->item(r, 0)->text();
    // Longer piers carry more: the 45 ft case first.
    QCOMPARE(order, QStringList({"1", "2", "3", "4"}));
    table->sortByColumn(qu, Qt::AscendingOrder);
    QCOMPARE(table->item(0, 0)->text(), QString("4"));
    // Copy: every row in the order shown, the heading first, one cell per column.
    window->Copy();
    const QString copied = QGuiApplication::clipboard()->text();
    QCOMPARE(copied, TResultsWindow::TabSeparated(*table));
    const QStringList lines = copied.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0].section(u'\t', 0, 4), QString("Case\tStem ft\tBase ft\tLength ft\tVOLUME yd³"));
    QCOMPARE(lines[1], QString("4\t3.500\t3.500\t30.000\t10.7\t167.2\t194.5\t361.7\t89.2\t97.2\t186.46\tmost efficient"));
    for (const QString &line : lines) QCOMPARE(line.count(u'\t'), table->columnCount() - 1);
    // Only the selected rows when some are selected; Ctrl+C in the table copies them.
    table->selectRow(2);
    QCOMPARE(TResultsWindow::TabSeparated(*table).split(u'\n', Qt::SkipEmptyParts).size(), 2);
    QGuiApplication::clipboard()->clear();
    table->setFocus();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), TResultsWindow::TabSeparated(*table));
  }

  void choosingAPierShowsItsLoadSettlement() {
    TResultsWindow *window = TResultsWindow::ShowResults(area, project("deep-profile-lrfd"));
    const TSeriesResults &r = window->Results();
    QCOMPARE(window->ChosenPier(), r.mostEfficient);
    window->SeriesTable()->setCurrentCell(2, 4);
    QCOMPARE(window->ChosenPier(), 2);
    QTableWidget *settlement = window->SettlementTable();
    QCOMPARE(settlement->columnCount(), 6);
    QCOMPARE(settlement->rowCount(), 15);
    QCOMPARE(settlement->horizontalHeaderItem(0)->text(), QString("Trend\nload\ntons"));
    QCOMPARE(settlement->horizontalHeaderItem(5)->text(), QString("Lower\nbound\nsettlement\nin"));
    // The values are the report's curve rows of that pier, in plain decimals
    // with the digits the report printed (0.1234E-01 reads 0.01234).
    const QStringList report = shownText(result("deep-profile-lrfd", ".pq8o")).split(u'\n');
    const QString firstRow = settlement->item(0, 0)->text() + " " + settlement->item(0, 1)->text();
    QVERIFY(!firstRow.contains(u'E'));
    QVERIFY(std::any_of(report.begin(), report.end(), [&](const QString &l) {
      const QStringList words = l.simplified().split(u' ');
      return words.size() == 2 && PlainDecimal(words[0]) + " " + PlainDecimal(words[1]) == firstRow;
    }));
    QVERIFY(window->SettlementCaption()->text().startsWith("Load-settlement of case 3 (stem 6.000, length 80.000)"));
    // Design charts: the loads at the defined settlements of that pier.
    QTableWidget *defined = window->DefinedTable();
    QCOMPARE(defined->rowCount(), 7);
    QCOMPARE(defined->item(0, 0)->text(), QString("0.100"));
    QCOMPARE(defined->item(0, 1)->text(), QString("505.52"));
    QCOMPARE(defined->item(6, 1)->text(), QString("1517.49"));
  }

  // At the size the window opens with, every column of its tables shows
  // whole, the last one too: none is cut by the window's edge or narrower
  // than its widest cell.
  void tablesShowWholeAtTheDefaultSize() {
    for (const QString sample : {"deep-profile-lrfd", "sand-asd-english", "clay-lrfd-si"}) {
      TResultsWindow *window = TResultsWindow::ShowResults(area, project(sample));
      QVERIFY(QTest::qWaitForWindowExposed(window));
      QApplication::processEvents();
      for (QTableWidget *table : {window->SeriesTable(), window->SettlementTable(), window->DefinedTable()}) {
        if (!table->isVisible() || table->columnCount() == 0) continue;
        const QString what = sample + ' ' + table->objectName();
        int right = 0;
        for (int c = 0; c < table->columnCount(); ++c) {
          table->resizeColumnToContents(c);  // what the contents need...
          const int needed = table->columnWidth(c);
          right += needed;
          QVERIFY2(needed > 0, qPrintable(what));
        }
        window->Reload();  // ...and what the window gives them
        QApplication::processEvents();
        int shown = 0;
        for (int c = 0; c < table->columnCount(); ++c) shown += table->columnWidth(c);
        QVERIFY2(shown >= right, qPrintable(QString("%1: %2 of %3 px").arg(what).arg(shown).arg(right)));
        QVERIFY2(shown <= table->viewport()->width(),
                 qPrintable(QString("%1: %2 px in %3").arg(what).arg(shown).arg(table->viewport()->width())));
      }
      window->close();
    }
  }

  // The run's warnings with their layers, as the run notes list them; none
  // shown for a run without.
  void resultsShowTheRunsWarnings() {
    TResultsWindow *window = TResultsWindow::ShowResults(area, project("deep-profile-lrfd"));
    QVERIFY(window->WarningsLabel()->isVisible());
    const QStringList lines = window->WarningsLabel()->text().split(u'\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QString("2 warnings (see the report):"));
    QCOMPARE(lines[1], QString("Layer 5: Blow counts should be greater than 25 for this criterion. Select other soil "
                               "criteria and do not use this output data."));
    QVERIFY(lines[2].startsWith("Layer 12: THE SHEAR STRENGTH OF THIS MATERIAL MAY BE TOO HIGH"));
    window->close();
    TResultsWindow *quiet = TResultsWindow::ShowResults(area, project("sand-asd-english"));
    QVERIFY(!quiet->WarningsLabel()->isVisible());
  }

  void resultsOfAProjectWithoutAReportSayWhy() {
    TResultsWindow *window = TResultsWindow::ShowResults(area, work.filePath("never-run.pq8d"));
    QVERIFY(window->Error().contains("never-run.pq8o does not exist"));
    QVERIFY(window->ProblemsLabel()->text().contains("does not exist"));
    QCOMPARE(window->SeriesTable()->rowCount(), 0);
    QCOMPARE(window->SettlementTable()->rowCount(), 0);
  }

  void helpFilesOpenWithoutADesktopViewer() {
    // The help files the Help menu names are beside the program.
    const QStringList files = {"README.md", "user-manual.md", "technical-manual.md"};
    auto noViewer = [](const QString &, std::function<void(bool)> done) { done(false); };
    for (const QString &name : files) {
      const QString path = kBinDir + "/docs/" + name;
      QVERIFY2(QFileInfo::exists(path), qPrintable(path));
      OpenHelpFile(area, path, noViewer);
      auto *help = THelpWindow::Find(area);
      QVERIFY(help);
      QCOMPARE(help->Path(), QFileInfo(path).absoluteFilePath());
      // Rendered: the first heading is text, without its Markdown mark.
      const QString first = QString::fromUtf8(fileBytes(path)).section(u'\n', 0, 0);
      QVERIFY(first.startsWith("# "));
      QVERIFY(help->Browser()->toPlainText().startsWith(first.mid(2)));
    }
    QCOMPARE(area->subWindowList().size(), 1);
    QVERIFY(messages.isEmpty());
    // A desktop viewer that takes the file: no window of the program's own.
    delete THelpWindow::Find(area);
    OpenHelpFile(area, kBinDir + "/docs/README.md", [](const QString &, std::function<void(bool)> done) { done(true); });
    QVERIFY(!THelpWindow::Find(area));
    OpenHelpFile(area, kBinDir + "/docs/missing.md", noViewer);
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].startsWith("The help file could not be found:"));
  }

  // A link of the contents moves the help window to its section, in the file
  // itself or in the manual it names; the find box searches the manual.
  void helpLinksJumpToTheirSectionsAndFindSearches() {
    auto noViewer = [](const QString &, std::function<void(bool)> done) { done(false); };
    OpenHelpFile(area, kBinDir + "/docs/user-manual.md", noViewer);
    THelpWindow *help = THelpWindow::Find(area);
    QVERIFY(help);
    help->showMaximized();
    QTextBrowser *browser = help->Browser();
    const auto topLine = [browser] { return browser->cursorForPosition(QPoint(10, 10)).block().text(); };
    // A click on the contents' "The soil profile".
    const QTextCursor link = browser->document()->find("The soil profile");
    QVERIFY(!link.isNull());
    QCOMPARE(link.charFormat().anchorHref(), QString("#4-the-soil-profile"));
    QTest::qWait(10);
    QTextCursor inside(browser->document());
    inside.setPosition(link.selectionStart() + 2);
    const QPoint at = browser->cursorRect(inside).center();
    QCOMPARE(browser->anchorAt(at), QString("#4-the-soil-profile"));
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
    QTRY_COMPARE(topLine(), QString("4. The soil profile"));
    QVERIFY(browser->verticalScrollBar()->value() > 0);
    // Links of the help's contents into the other manuals.
    OpenHelpFile(area, kBinDir + "/docs/README.md", noViewer);
    help->FollowLink(QUrl("technical-manual.md#33-the-walk-down-the-profile"));
    QCOMPARE(help->Path(), QFileInfo(kBinDir + "/docs/technical-manual.md").absoluteFilePath());
    QTRY_COMPARE(topLine(), QString("3.3 The walk down the profile"));
    QVERIFY(!help->ShowSection("no-such-section"));
    // Find: every occurrence in turn from the section on, around the end back
    // to the first found, backwards, and none.
    int occurrences = 0;
    for (QTextCursor c = browser->document()->find("Rollins"); !c.isNull(); c = browser->document()->find("Rollins", c))
      ++occurrences;
    QVERIFY(occurrences >= 2);
    QTest::keyClicks(help->FindField(), "Rollins");
    QTest::keyClick(help->FindField(), Qt::Key_Return);
    QCOMPARE(browser->textCursor().selectedText(), QString("Rollins"));
    QList<int> positions{browser->textCursor().position()};
    for (int k = 1; k < occurrences; ++k) {
      QVERIFY(help->FindText("Rollins"));
      QVERIFY(!positions.contains(browser->textCursor().position()));
      positions << browser->textCursor().position();
    }
    QVERIFY(help->FindText("Rollins"));
    QCOMPARE(browser->textCursor().position(), positions.first());
    QVERIFY(help->FindText("Rollins", true));
    QCOMPARE(browser->textCursor().position(), positions.last());
    QVERIFY(!help->FindText("no such text in any manual"));
    QCOMPARE(browser->textCursor().position(), positions.last());
    // A link that a find selected is still followed by a click.
    OpenHelpFile(area, kBinDir + "/docs/README.md", noViewer);
    QVERIFY(help->FindText("the soil profile grid"));
    const QTextCursor found = browser->textCursor();
    QVERIFY(found.hasSelection());
    QTextCursor middle(browser->document());
    middle.setPosition(found.selectionStart() + 5);
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, browser->cursorRect(middle).center());
    QCOMPARE(help->Path(), QFileInfo(kBinDir + "/docs/user-manual.md").absoluteFilePath());
    QTRY_COMPARE(topLine(), QString("The soil profile grid"));
  }

  void anEditorThatCannotStartIsNamed() {
    StartTextEditor(area, "/opt/no-such-editor", project("sand-asd-english"));
    StartTextEditor(area, "gedit", project("sand-asd-english"), [](const QString &, const QStringList &) { return false; });
    StartTextEditor(area, "", project("sand-asd-english"));
    QCOMPARE(messages, QStringList({EditorFailureMessage("/opt/no-such-editor"), EditorFailureMessage("gedit"),
                                    EditorFailureMessage("")}));
    QStringList started;
    StartTextEditor(area, "kate", project("sand-asd-english"), [&](const QString &program, const QStringList &args) {
      started << program << args;
      return true;
    });
    QCOMPARE(started, QStringList({"kate", QDir::toNativeSeparators(project("sand-asd-english"))}));
    QCOMPARE(messages.size(), 3);
  }
};

QTEST_MAIN(ReportWindowsTest)
#include "report_uitest.moc"
