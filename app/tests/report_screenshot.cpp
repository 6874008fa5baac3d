// Pictures of the windows that show a run's results, for people to look at:
// the report window at a case block (section list, find bar), the results
// table with the chosen pier's load-settlement, and the help window. The
// arguments: the output folder, the command-line runner and a sample project,
// which is run in a temporary folder first.
#include "ui/HelpWindow.h"
#include "ui/ReportWindow.h"
#include "ui/ResultsWindow.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstdio>

using namespace pylar;

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: report_screenshot OUTPUT-FOLDER PYLAR-RUNNER PROJECT.pq8d\n");
    return 2;
  }
  const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QDir().mkpath(output);
  QTemporaryDir work;
  const QString project = work.filePath(QFileInfo(QString::fromLocal8Bit(argv[3])).fileName());
  if (!QFile::copy(QString::fromLocal8Bit(argv[3]), project)) return 1;
  QProcess run;
  run.start(QString::fromLocal8Bit(argv[2]), {"run", project});
  if (!run.waitForFinished(120000) || run.exitCode() != 0) {
    std::fprintf(stderr, "the run failed\n");
    return 1;
  }

  QMainWindow frame;
  auto *area = new QMdiArea;
  frame.setCentralWidget(area);
  frame.resize(1200, 820);
  frame.show();
  if (!QTest::qWaitForWindowExposed(&frame)) return 1;
  int failures = 0;
  auto save = [&](QWidget *widget, const char *name) {
    QTest::qWait(150);
    if (!widget->grab().save(QDir(output).filePath(QString::fromLatin1(name) + ".png"))) {
      std::fprintf(stderr, "could not save %s\n", name);
      ++failures;
    }
  };

  TReportWindow *report = TReportWindow::ShowFile(area, QFileInfo(project).path() + '/' +
                                                            QFileInfo(project).completeBaseName() + ".pq8o");
  report->showMaximized();
  for (int i = 0; i < report->SectionList()->count(); ++i)
    if (report->SectionList()->item(i)->text().startsWith("Case 2")) report->JumpToSection(i);
  report->FindField()->setText("QU/VOLUME");
  report->FindNext();
  save(&frame, "report-window");
  report->ExportPdf(QDir(output).filePath("report.pdf"));

  TResultsWindow *results = TResultsWindow::ShowResults(area, project);
  results->showMaximized();
  results->SeriesTable()->setFocus();
  save(&frame, "results-window");

  THelpWindow *help = THelpWindow::ShowHelp(area, QCoreApplication::applicationDirPath() + "/docs/user-manual.md");
  help->showMaximized();
  save(&frame, "help-window");
  // The contents' link to a section followed, and a word found there.
  help->FollowLink(QUrl(QStringLiteral("#undo-and-the-unsaved-changes-marker")));
  help->FindField()->setText(QStringLiteral("Ctrl+Z"));
  help->FindText(help->FindField()->text());
  save(&frame, "help-window-find");
  return failures == 0 ? 0 : 1;
}
