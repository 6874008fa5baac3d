// Pictures of the elevation view for people to look at. For each project given
// after the output folder: the view in a main-window area (as opened and with
// the pointer on the ground line), the printed page as PDF, and the drawing
// saved as PNG, SVG and PDF. The PDFs are also turned into PNG pages with
// pdftoppm when it is installed.
#include "model/DataUnit.h"
#include "ui/PileSide.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>

using namespace pylar;

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  const QString output = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots")).absolutePath();
  QDir().mkpath(output);
  const auto out = [&](const QString &name) { return QDir(output).filePath(name); };
  const bool havePdftoppm = !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
  int failures = 0;
  const auto fail = [&](const QString &what) {
    std::fprintf(stderr, "%s\n", qPrintable(what));
    ++failures;
  };
  const auto pdfToPng = [&](const QString &pdf) {
    if (!havePdftoppm) return;
    QProcess process;
    process.start(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                                               QStringLiteral("-singlefile"), pdf, pdf.chopped(4) + QStringLiteral("-pdf")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) fail(QStringLiteral("pdftoppm failed on ") + pdf);
  };

  for (int i = 2; i < argc; ++i) {
    const QString path = QString::fromLocal8Bit(argv[i]);
    const QString name = QFileInfo(path).completeBaseName();
    TProjectTables tables;
    TProgramData::TReadResult read = TProgramData::CreateFromFile(tables, path, ffVersion8);
    if (!read.error.isEmpty()) {
      fail(read.error);
      continue;
    }
    const TProgramData &project = *read.data;

    QMdiArea area;
    area.resize(760, 560);
    area.show();
    if (!QTest::qWaitForWindowExposed(&area)) return 1;
    TDlgSideView *view = TDlgSideView::Show(&area, [&]() -> const TProgramData & { return project; });
    QTest::qWait(150);
    if (!area.grab().save(out(name + QStringLiteral("-window.png")))) fail(name + QStringLiteral(" window"));
    const TSideViewport v = view->Viewport();
    QTest::mouseMove(view->Canvas(), QPoint(60, v.RowOf(view->Model().GroundY())));
    QTest::qWait(300);
    if (!area.grab().save(out(name + QStringLiteral("-window-ground.png")))) fail(name + QStringLiteral(" ground"));

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setOutputFileName(out(name + QStringLiteral("-print.pdf")));
    if (view->PrintTo(printer))
      pdfToPng(out(name + QStringLiteral("-print.pdf")));
    else
      fail(name + QStringLiteral(" print"));

    for (const char *type : {"png", "svg", "pdf"}) {
      const QString file = out(name + QStringLiteral("-saved.") + QLatin1String(type));
      const QString error = SaveSideView(file, project, QSize(1200, 800), 150);
      if (!error.isEmpty()) fail(error);
      else if (QLatin1String(type) == QLatin1String("pdf")) pdfToPng(file);
    }
    view->parentWidget()->close();
    QTest::qWait(20);
  }
  return failures == 0 ? 0 : 1;
}
