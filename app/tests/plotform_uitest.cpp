// The plot window without a display: legend, zoom, active-curve limit, menu,
// the legend dialog, printing to PDF and saving pictures.
#include "FileSizeLimit.h"
#include "ui/Messages.h"
#include "ui/PlotDialogs.h"
#include "ui/PltData.h"

#include <QActionGroup>
#include <QDir>
#include <QFile>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

#include <sys/stat.h>

using namespace pylar;

namespace {

// n curves of 11 points: curve c runs from (0, 0) to ((c + 1) * 100, 100).
void fill(TGraphPlot &plot, int curves) {
  plot.SetCurveCount(curves);
  plot.SetPointCount(11);
  for (int c = 0; c < curves; ++c)
    for (int i = 0; i <= 10; ++i) plot.SetPoint(c, i, {static_cast<Extended>((c + 1) * 10 * i), 10.0L * i});
}

TGraphPlot capacityPlot(int curves) {
  TGraphPlot plot("Ultimate Total Capacity vs Depth", "Ultimate Total Capacity ", "F2", "Depth", "L2");
  fill(plot, curves);
  return plot;
}

// Pixels of `image` inside `box` drawn in the colour of one of `curves`
// curves (but the first: it is black like the grid).
int curvePixelsIn(const QImage &image, const QRect &box, int curves) {
  int count = 0;
  for (int y = std::max(0, box.top()); y <= std::min(image.height() - 1, box.bottom()); ++y)
    for (int x = std::max(0, box.left()); x <= std::min(image.width() - 1, box.right()); ++x)
      for (int c = 1; c < curves; ++c)
        if ((image.pixel(x, y) & 0xFFFFFFu) == CurveColor(c)) ++count;
  return count;
}

QPoint legendRowCentre(TLegendList *legend, int row) {
  return legend->visualItemRect(legend->item(row)).center();
}

}  // namespace

class PlotFormTest : public QObject {
  Q_OBJECT

 private slots:
  void legendDoubleClickTogglesCurve() {
    TGraphPlot plot = capacityPlot(3);
    TPlotForm form(plot);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TLegendList *legend = form.Legend();
    QVERIFY(legend->isVisible());
    QCOMPARE(legend->count(), 3);
    QCOMPARE(legend->item(1)->text(), QStringLiteral("Curve #2 *"));
    QTest::mouseDClick(legend->viewport(), Qt::LeftButton, {}, legendRowCentre(legend, 1));
    QVERIFY(!plot.fData[1].fVisible);
    QCOMPARE(legend->item(1)->text(), QStringLiteral("Curve #2"));
    QVERIFY(plot.fData[0].fVisible && plot.fData[2].fVisible);
    // The curve's Plot-menu item follows, and toggles back.
    QAction *item = form.MenuAction(QStringLiteral("Curve #2"));
    QVERIFY(item && !item->isChecked());
    item->trigger();
    QVERIFY(plot.fData[1].fVisible);
    QCOMPARE(legend->item(1)->text(), QStringLiteral("Curve #2 *"));
    // Colours by active position.
    QCOMPARE(legend->item(2)->foreground().color(), QColor(255, 0, 0));
  }

  void legendDragStaysInsideWindow() {
    TGraphPlot plot = capacityPlot(2);
    TPlotForm form(plot);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TLegendList *legend = form.Legend();
    // Placed inside the graph area.
    const QRect graph = form.ScreenLayout().graph;
    QVERIFY(graph.contains(legend->geometry()));
    legend->MoveInside({-500, 10000});
    QCOMPARE(legend->pos(), QPoint(0, form.Canvas()->height() - legend->height()));
    // Dragging with the mouse moves it.
    const QPoint start = legendRowCentre(legend, 0);
    const QPoint before = legend->pos();
    QTest::mousePress(legend->viewport(), Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(40, -30)),
                     legend->viewport()->mapToGlobal(QPointF(start + QPoint(40, -30))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(legend->viewport(), &move);
    QTest::mouseRelease(legend->viewport(), Qt::LeftButton, {}, start + QPoint(40, -30));
    QCOMPARE(legend->pos(), before + QPoint(40, -30));
  }

  void zoomRectangles() {
    TGraphPlot plot = capacityPlot(1);  // x 0..100, y 0..100
    TPlotForm form(plot);
    form.resize(700, 500);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRect graph = form.ScreenLayout().graph;
    const PlotRange full = form.LogicBounds;
    QCOMPARE(full.Right, 100.0);
    QCOMPARE(full.Bottom, 100.0);
    const QPoint a = graph.center();
    // Zero width: nothing changes.
    QTest::mousePress(form.Canvas(), Qt::LeftButton, {}, a);
    QTest::mouseRelease(form.Canvas(), Qt::LeftButton, {}, a + QPoint(0, 60));
    QCOMPARE(form.LogicBounds.Left, full.Left);
    QCOMPARE(form.LogicBounds.Right, full.Right);
    QCOMPARE(form.LogicBounds.Top, full.Top);
    QCOMPARE(form.LogicBounds.Bottom, full.Bottom);
    // A tiny rectangle: exactly one twentieth of the full range.
    QTest::mousePress(form.Canvas(), Qt::LeftButton, {}, a);
    QTest::mouseRelease(form.Canvas(), Qt::LeftButton, {}, a + QPoint(2, 2));
    QVERIFY(!form.ZoomBand()->isVisible());
    QVERIFY(qFuzzyCompare(form.LogicBounds.Right - form.LogicBounds.Left, 5.0));
    QVERIFY(qFuzzyCompare(form.LogicBounds.Bottom - form.LogicBounds.Top, 5.0));
    // Right click: twice as wide around the clicked point.
    QTest::mouseClick(form.Canvas(), Qt::RightButton, {}, a);
    QVERIFY(qFuzzyCompare(form.LogicBounds.Right - form.LogicBounds.Left, 10.0));
    // A click outside the graph area starts nothing.
    QTest::mousePress(form.Canvas(), Qt::LeftButton, {}, QPoint(1, 1));
    QVERIFY(!form.Zooming);
    // The read-out names the position in data units.
    QTest::mouseMove(form.Canvas(), graph.topLeft());
    QVERIFY(form.windowTitle().startsWith(QStringLiteral("Ultimate Total Capacity vs Depth X: ")));
    QVERIFY(form.windowTitle().contains(QStringLiteral(" Y: ")));
  }

  void readOutClampsToGraph() {
    TGraphPlot plot = capacityPlot(1);
    TPlotForm form(plot);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.MouseMoved({-50, -50});  // above the graph: x axis on top, depth 0 at the top
    QCOMPARE(form.windowTitle(), QStringLiteral("Ultimate Total Capacity vs Depth X: 0 Y: 0"));
    form.MouseMoved({5000, 5000});
    QCOMPARE(form.windowTitle(), QStringLiteral("Ultimate Total Capacity vs Depth X: 100 Y: 100"));
  }

  void twentyFiveCurvesOpenWithTwentyActive() {
    TGraphPlot plot = capacityPlot(25);
    for (TLine &line : plot.fData) line.fActive = false;  // opening makes them active again
    TPlotForm form(plot);
    QCOMPARE(form.Legend()->count(), 20);
    for (int c = 0; c < 25; ++c) QCOMPARE(plot.fData[static_cast<size_t>(c)].fActive, c < 20);
    QCOMPARE(form.Legend()->item(19)->text(), QStringLiteral("Curve #20 *"));
    QVERIFY(!form.MenuAction(QStringLiteral("Curve #21")));
    QVERIFY(form.MenuAction(QStringLiteral("Curve #20")));
    // The full range still covers every curve, active or not.
    QCOMPARE(form.MaxLogicBounds.Right, 2500.0);
    // Without the limit all 25 are active.
    TGraphPlot open = capacityPlot(25);
    open.fLimitActive = false;
    TPlotForm all(open);
    QCOMPARE(all.Legend()->count(), 25);
  }

  void plotMenuItemsAndChecks() {
    TGraphPlot plot = capacityPlot(2);
    TPlotForm form(plot);
    form.show();
    QMenu *menu = form.PlotMenu();
    QCOMPARE(menu->title(), QStringLiteral("&Plot"));
    QStringList texts;
    for (QAction *a : menu->actions())
      if (!a->isSeparator()) texts << a->text();
    const QStringList expected{"Show &Legend",  "Show &Soil Layer", "Show &Wall Geometry", "Show &Markers",
                               "&Font Size",    "&Line Width",      "&Graph Title",        "&Edit Legend",
                               "&Active Curves", "&Print...",       "P&age Setup",         "&Save To Disk...",
                               "&Copy Data",    "Curve #1",         "Curve #2"};
    QCOMPARE(texts, expected);
    emit menu->aboutToShow();
    QVERIFY(!form.MenuAction("Show &Soil Layer")->isVisible());  // no layer bands
    QVERIFY(form.MenuAction("Show &Legend")->isChecked());
    QVERIFY(form.MenuAction("Show &Markers|Every &Increment")->isChecked());
    QVERIFY(form.MenuAction("&Font Size|&Default")->isChecked());
    // Radio choices set the plot's fields; only one stays checked.
    form.MenuAction("Show &Markers|Every &10 Incements")->trigger();
    form.MenuAction("&Font Size|2.5 * Default")->trigger();
    form.MenuAction("&Line Width|6 * Default")->trigger();
    QCOMPARE(plot.fMarkers, 10);
    QCOMPARE(plot.fSizeFont, 25);
    QCOMPARE(plot.fWidthLine, 6);
    emit menu->aboutToShow();
    QVERIFY(!form.MenuAction("Show &Markers|Every &Increment")->isChecked());
    QVERIFY(form.MenuAction("Show &Markers|Every &3 Incrments"));
    form.MenuAction("Show &Legend")->trigger();
    QVERIFY(!plot.fShowLegend);
    QVERIFY(!form.Legend()->isVisibleTo(&form));
    // With layer bands the soil item shows; without font choices those menus hide.
    plot.SetLayerCount(2);
    plot.fShowFontWidth = false;
    emit menu->aboutToShow();
    QVERIFY(form.MenuAction("Show &Soil Layer")->isVisible());
    QVERIFY(!form.MenuAction("&Font Size")->isVisible());
    form.MenuAction("Show &Soil Layer")->trigger();
    QVERIFY(plot.fShowLayers);
    QVERIFY(!form.ScreenLayout().column.isNull());
  }

  void legendDialogRefusesEmptyName() {
    QStringList messages;
    SetMessageHook([&](QWidget *, const QString &text) { messages << text; });
    TGraphPlot plot = capacityPlot(2);
    TLegendDialog dialog(plot, nullptr);
    dialog.show();
    dialog.List()->setCurrentRow(1);
    QCOMPARE(dialog.Edit()->text(), QStringLiteral("Curve #2"));
    QCOMPARE(dialog.Edit()->palette().color(QPalette::Text), QColor(0, 0, 255));
    dialog.Edit()->clear();
    QTest::keyClick(dialog.Edit(), Qt::Key_Return);
    QCOMPARE(messages, QStringList{"The line must have a name!"});
    QCOMPARE(dialog.Edit()->text(), QStringLiteral("Curve #2"));
    QCOMPARE(dialog.Names()[1], QStringLiteral("Curve #2"));
    QVERIFY(dialog.isVisible());
    // A real name is stored, and OK hands it to the window.
    dialog.Edit()->setText(QStringLiteral("Dia=3 ft"));
    QTest::keyClick(dialog.Edit(), Qt::Key_Return);
    QCOMPARE(dialog.Names(), (QStringList{"Curve #1", "Dia=3 ft"}));
    QCOMPARE(dialog.List()->item(1)->text(), QStringLiteral("Dia=3 ft"));
    SetMessageHook({});
  }

  void activeCurvesDialog() {
    TGraphPlot plot = capacityPlot(3);
    TActiveCurvesDialog dialog(plot, nullptr);
    QCOMPARE(dialog.List()->item(0)->text(), QStringLiteral(" yes :    Curve #1"));
    dialog.List()->setCurrentRow(1);
    dialog.ToggleSelected();
    QCOMPARE(dialog.List()->item(1)->text(), QStringLiteral(" no  :    Curve #2"));
    QCOMPARE(dialog.States(), (std::vector<bool>{true, false, true}));
    dialog.SetAll(false);
    QCOMPARE(dialog.States(), (std::vector<bool>{false, false, false}));
    dialog.SetAll(true);
    QCOMPARE(dialog.States(), (std::vector<bool>{true, true, true}));
  }

  void dialogsChangeTheWindow() {
    TGraphPlot plot = capacityPlot(3);
    TPlotForm form(plot);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Legend window: a new name typed for curve 3 and OK, without leaving the field.
    QTimer::singleShot(0, [] {
      auto *dialog = qobject_cast<TLegendDialog *>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      dialog->List()->setCurrentRow(2);
      dialog->Edit()->setText(QStringLiteral("Dia=4 ft"));
      dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    form.EditLegendClick();
    QCOMPARE(plot.fData[2].fValueS, QStringLiteral("Dia=4 ft"));
    QCOMPARE(form.Legend()->item(2)->text(), QStringLiteral("Dia=4 ft *"));
    QVERIFY(form.MenuAction(QStringLiteral("Dia=4 ft")));
    // Active Curves: curve 1 off; the others move up and take the first colours.
    QTimer::singleShot(0, [] {
      auto *dialog = qobject_cast<TActiveCurvesDialog *>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      dialog->List()->setCurrentRow(0);
      dialog->ToggleSelected();
      dialog->accept();
    });
    form.ActiveCurvesClick();
    QVERIFY(!plot.fData[0].fActive);
    QCOMPARE(form.Legend()->count(), 2);
    QCOMPARE(form.LegendCurves(), (std::vector<int>{1, 2}));
    QCOMPARE(form.Legend()->item(0)->foreground().color(), QColor(0, 0, 0));
    QCOMPARE(form.Picture().curves.front().index, 1);  // marker shape stays with the curve
    // Graph title on top moves the graph down.
    const int top = form.ScreenLayout().graph.top();
    QTimer::singleShot(0, [] {
      auto *dialog = qobject_cast<TGraphCaptionDialog *>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      dialog->findChild<QLineEdit *>()->setText(QStringLiteral("Pier P-1"));
      dialog->findChildren<QRadioButton *>().front()->setChecked(true);  // "Top"
      dialog->accept();
    });
    form.GraphTitleClick();
    QCOMPARE(plot.UserCaption, QStringLiteral("Pier P-1"));
    QVERIFY(plot.UserCaptionOnTop);
    QVERIFY(form.ScreenLayout().graph.top() > top);
  }

  // Three capacity curves run from the top left to the bottom right, where
  // the old fixed place put the legend; with the soil column shown.
  void legendCoversNoCurve() {
    TGraphPlot plot = capacityPlot(3);
    plot.SetLayerCount(2);
    plot.SetLayerPointCount(1);
    plot.gData[0].fValueS = QStringLiteral("LAYER 1 SAND ");
    plot.gData[0].fData[0] = {0, 40};
    plot.gData[1].fValueS = QStringLiteral("LAYER 2 CLAY ");
    plot.gData[1].fData[0] = {0, 100};
    plot.fShowLayers = true;
    TPlotForm form(plot);
    form.resize(700, 500);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.PlaceLegend();
    // On screen: the legend list over a drawing without a legend.
    const PlotTarget screen = form.ScreenTarget();
    QImage onScreen(screen.area.size(), QImage::Format_RGB32);
    {
      QPainter painter(&onScreen);
      PaintPlot(painter, form.Picture(), screen);
    }
    const QRect listed = form.Legend()->geometry();
    QVERIFY(form.ScreenLayout().graph.contains(listed));
    QCOMPARE(curvePixelsIn(onScreen, listed, 3), 0);
    QVERIFY(curvePixelsIn(onScreen, form.ScreenLayout().graph, 3) > 0);
    // Printed pages and pictures, in two shapes: inside the graph, clear of
    // the soil column, over no curve.
    for (const QSize size : {QSize(1100, 850), QSize(850, 1100)}) {
      PlotTarget page;
      page.area = QRect(QPoint(0, 0), size);
      page.pxPerInchX = page.pxPerInchY = 100;
      page.forPrint = true;
      page.legendAt = {0.9, 0.9};  // the screen's place does not matter unless the user moved it
      const PlotPicture pic = form.Picture();
      QImage image(size, QImage::Format_RGB32);
      PlotLayout layout;
      {
        QPainter painter(&image);
        layout = PaintPlot(painter, pic, page);
      }
      const QRect box = LegendRect(pic, page, layout);
      QVERIFY(!box.isEmpty());
      QVERIFY(layout.graph.contains(box));
      QVERIFY(!box.intersects(layout.column));
      QCOMPARE(curvePixelsIn(image, box, 3), 0);
      // A legend the user placed keeps its place, still inside the graph.
      page.legendAuto = false;
      const QRect placed = LegendRect(pic, page, layout);
      QVERIFY(layout.graph.contains(placed));
      QVERIFY(placed != box);
    }
  }

  void printAndPictureDefaultsFollowTheProject() {
    QTemporaryDir dir;
    TGraphPlot plot("ASD/LRFD Total Capacity vs Depth", "Total Resistance/F.S. ", "F2", "Depth", "L2");
    fill(plot, 2);
    plot.ProjectFile = dir.filePath("deep-profile.pq8d");
    TPlotForm form(plot);
    form.resize(733, 517);  // a canvas of some 7.3 x 4.9 in at 96 dpi
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.PreparePrinter();
    const QString proposed = dir.filePath("deep-profile - ASD-LRFD Total Capacity vs Depth.pdf");
    QCOMPARE(form.Printer().docName(), QStringLiteral("deep-profile - ASD-LRFD Total Capacity vs Depth"));
    if (QPrinterInfo::availablePrinterNames().isEmpty()) QCOMPARE(form.Printer().outputFileName(), proposed);
    // A file the user chose is kept.
    form.Printer().setOutputFileName(dir.filePath("mine.pdf"));
    form.PreparePrinter();
    QCOMPARE(form.Printer().outputFileName(), dir.filePath("mine.pdf"));
    const QSizeF inches = form.ProposedPictureInches();
    for (double side : {inches.width(), inches.height()}) {
      QVERIFY(side >= 2);
      QCOMPARE(std::fmod(side * 2, 1.0), 0.0);
    }
    // A plot made by hand proposes nothing.
    QCOMPARE(capacityPlot(1).ProposedOutputPath(QStringLiteral(".png")), QString());
  }

  void printsOnePdfPage() {
    QTemporaryDir dir;
    TGraphPlot plot = capacityPlot(3);
    TPlotForm form(plot);
    form.show();
    QPrinter &printer = form.Printer();
    // Page margins default to one inch on every side.
    const QMarginsF m = printer.pageLayout().margins(QPageLayout::Inch);
    QCOMPARE(m, QMarginsF(1, 1, 1, 1));
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString path = dir.filePath("plot.pdf");
    printer.setOutputFileName(path);
    QVERIFY(form.PrintTo(printer));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QVERIFY(pdf.startsWith("%PDF"));
    QCOMPARE(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 1);
    // The job title is the plot caption (a UTF-16 string in the document information).
    QByteArray title("\xFE\xFF");
    for (char ch : QByteArray("Ultimate Total Capacity vs Depth")) title.append('\0').append(ch);
    QVERIFY(pdf.contains(title));
  }

  // Printed and saved pictures of a result plot say at their foot what they
  // show: the project, the pier and the run's date; on the calculation
  // report's paper, Letter for English units and A4 for SI, unless the user
  // chooses another. A plot made by hand has no footer.
  void printedAndSavedPlotsCarryTheirFooter() {
    QTemporaryDir dir;
    const auto pdfTool = [](const QString &tool, const QStringList &arguments) {
      QProcess process;
      process.start(tool, arguments);
      process.waitForFinished(20000);
      return QString::fromUtf8(process.readAllStandardOutput());
    };
    for (const int units : {1, 2}) {
      TGraphPlot plot = capacityPlot(3);
      plot.SetUnits(units);
      plot.Footer = {QStringLiteral("Bridge bent 4, sand over clay"), QStringLiteral("all piers"),
                     QStringLiteral("March 05, 2024, 09:07:03")};
      TPlotForm form(plot);
      form.Printer().setOutputFormat(QPrinter::PdfFormat);
      const QString path = dir.filePath(QStringLiteral("plot-%1.pdf").arg(units));
      form.Printer().setOutputFileName(path);
      QVERIFY(form.PrintTo(form.Printer()));
      const QString text = pdfTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
      QVERIFY2(text.simplified().contains(
                   QStringLiteral("Bridge bent 4, sand over clay | all piers | run of March 05, 2024, 09:07:03")),
               qPrintable(text));
      const QString info = pdfTool(QStringLiteral("pdfinfo"), {path});
      QVERIFY2(info.contains(units == 1 ? QStringLiteral("612 x 792 pts (letter)") : QStringLiteral("595 x 842 pts (A4)")),
               qPrintable(info));
      // The picture files carry it too.
      const QString svg = dir.filePath(QStringLiteral("plot-%1.svg").arg(units));
      QCOMPARE(form.SaveToFile(svg, 7, 5, 100), TPlotForm::SaveResult::Saved);
      QFile file(svg);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QVERIFY(file.readAll().contains("Bridge bent 4, sand over clay  |  all piers  |  run of March 05, 2024"));
    }
    // A title too long for the line is shortened; the pier and the date stay whole.
    {
      TGraphPlot plot = capacityPlot(1);
      plot.Footer = {QString(30, u'W') + QStringLiteral(" a very long title of a project"), QStringLiteral("all piers"),
                     QStringLiteral("March 05, 2024, 09:07:03")};
      TPlotForm form(plot);
      form.Printer().setOutputFormat(QPrinter::PdfFormat);
      form.Printer().setOutputFileName(dir.filePath(QStringLiteral("long.pdf")));
      QVERIFY(form.PrintTo(form.Printer()));
      const QString text =
          pdfTool(QStringLiteral("pdftotext"), {dir.filePath(QStringLiteral("long.pdf")), QStringLiteral("-")}).simplified();
      QVERIFY2(text.contains(QStringLiteral("| all piers | run of March 05, 2024, 09:07:03")), qPrintable(text));
      QVERIFY(!text.contains(QStringLiteral("a very long title of a project")));
    }
    // The user's paper stays.
    TGraphPlot plot = capacityPlot(1);
    TPlotForm form(plot);
    form.Printer().setPageSize(QPageSize(QPageSize::Legal));
    form.Printer().setOutputFormat(QPrinter::PdfFormat);
    form.Printer().setOutputFileName(dir.filePath(QStringLiteral("legal.pdf")));
    QVERIFY(form.PrintTo(form.Printer()));
    QVERIFY(pdfTool(QStringLiteral("pdfinfo"), {dir.filePath(QStringLiteral("legal.pdf"))}).contains(QStringLiteral("612 x 1008 pts")));
    QVERIFY(!pdfTool(QStringLiteral("pdftotext"), {dir.filePath(QStringLiteral("legal.pdf")), QStringLiteral("-")})
                 .contains(QStringLiteral("run of")));
  }

  void savesPictures() {
    QTemporaryDir dir;
    TGraphPlot plot = capacityPlot(2);
    TPlotForm form(plot);
    form.show();
    const struct {
      const char *name;
      QByteArray head;
    } files[] = {{"plot.bmp", "BM"}, {"plot.png", "\x89PNG"}, {"plot.svg", "<?xml"}, {"plot.pic", "BM"}};
    for (const auto &f : files) {
      const QString path = dir.filePath(QString::fromLatin1(f.name));
      QCOMPARE(form.SaveToFile(path, 3, 2, 50), TPlotForm::SaveResult::Saved);
      QFile file(path);
      QVERIFY(file.open(QIODevice::ReadOnly));
      QVERIFY2(file.read(8).startsWith(f.head), f.name);
    }
    const QImage image(dir.filePath("plot.png"));
    QCOMPARE(image.size(), QSize(150, 100));  // 3 x 2 inches at 50 pixels per inch
    // Curve 0 is black, curve 1 blue: both colours are in the picture.
    bool blue = false;
    for (int y = 0; y < image.height() && !blue; ++y)
      for (int x = 0; x < image.width() && !blue; ++x) blue = image.pixel(x, y) == qRgb(0, 0, 255);
    QVERIFY(blue);
    QCOMPARE(form.SaveToFile(dir.filePath("huge.bmp"), 1000, 1000, 10000), TPlotForm::SaveResult::NoMemory);
    QVERIFY(!QFile::exists(dir.filePath("huge.bmp")));
    QCOMPARE(form.SaveToFile(dir.filePath("no/such/folder.png"), 3, 2, 50), TPlotForm::SaveResult::WriteFailed);
  }

  // A save that fails part way (the disk full, the folder a file, the name a
  // pipe) leaves what was there before, leaves no temporary file behind and
  // tells the user.
  void failedSavesLeaveTheOldPicture() {
    QTemporaryDir dir;
    TGraphPlot plot = capacityPlot(2);
    TPlotForm form(plot);
    form.show();
    const QByteArray old("the old picture");
    const auto write = [](const QString &path, const QByteArray &bytes) {
      QFile file(path);
      return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    const auto read = [](const QString &path) {
      QFile file(path);
      return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    };
    QStringList messages;
    SetMessageHook([&](QWidget *, const QString &text) { messages << text; });

    // The file system lets no file grow past 200 bytes, as a full disk would;
    // the smallest of these pictures takes over a kilobyte.
    for (const char *name : {"plot.bmp", "plot.png", "plot.svg"}) {
      const QString path = dir.filePath(QString::fromLatin1(name));
      QVERIFY(write(path, old));
      TPlotForm::SaveResult result;
      {
        const TFileSizeLimit full(200);
        QVERIFY(full.Active());
        result = form.SaveToDisk(path, 3, 2, 50);
      }
      QCOMPARE(result, TPlotForm::SaveResult::WriteFailed);
      QCOMPARE(read(path), old);
      QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QString::fromLatin1(name)});
      QCOMPARE(messages, QStringList{"The file could not be written: " + path + " (File too large)"});
      messages.clear();
      QVERIFY(QFile::remove(path));
    }

    // A file where the folder should be.
    const QString plain = dir.filePath("plain");
    QVERIFY(write(plain, old));
    QCOMPARE(form.SaveToDisk(plain + "/plot.png", 3, 2, 50), TPlotForm::SaveResult::WriteFailed);
    QCOMPARE(read(plain), old);
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.takeFirst().startsWith("The file could not be written: " + plain + "/plot.png"));

    // A pipe is not replaced by a file.
    const QString pipe = dir.filePath("pipe.bmp");
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QCOMPARE(form.SaveToDisk(pipe, 3, 2, 50), TPlotForm::SaveResult::WriteFailed);
    struct stat status{};
    QCOMPARE(lstat(QFile::encodeName(pipe).constData(), &status), 0);
    QVERIFY(S_ISFIFO(status.st_mode));
    QCOMPARE(messages, QStringList{"The file could not be written: " + pipe + " (it is not a file)"});
    messages.clear();

    // With room again the picture replaces the old file.
    const QString path = dir.filePath("plot.png");
    QVERIFY(write(path, old));
    QCOMPARE(form.SaveToDisk(path, 3, 2, 50), TPlotForm::SaveResult::Saved);
    QVERIFY(read(path).startsWith("\x89PNG"));
    QCOMPARE(messages, QStringList{});
    SetMessageHook({});
  }

  void painterSurvivesDegenerateInput() {
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    PlotPicture pic;
    pic.xCaption = "x";
    pic.curves.push_back({{{0, 0}, {1e300, -1e300}, {nan, 3}, {inf, -inf}}, "a", 0, 0, true});
    pic.curves.push_back({{{5, 5}}, "single point", 1, 1, true});
    pic.curves.push_back({{}, "empty", 2, 2, true});
    pic.bands.push_back({"BAND", nan, 99});
    pic.bands.push_back({"BAND", 1e300, 7});
    pic.showLayers = true;
    pic.markers = 1;
    const PlotRange ranges[] = {{0, 10, 0, 10}, {0, 0, 0, 0}, {nan, nan, nan, nan}, {-inf, inf, 0, 1},
                                {1e-300, 2e-300, 5, 5}};
    for (const PlotRange &r : ranges) {
      pic.range = r;
      for (int size : {0, 1, 60, 100, 400}) {
        // With a footer too: its strip leaves less than an inch at 100 pixels.
        for (const QString &footer : {QString(), QStringLiteral("Project  |  all piers  |  run of May 1, 2024")}) {
          QImage image(std::max(size, 1), std::max(size, 1), QImage::Format_RGB32);
          QPainter painter(&image);
          PaintPlot(painter, pic, {image.rect(), 96, 96, false, true, {nan, 2}, false, footer});
          painter.end();
          if (size < 96 || (size < 130 && !footer.isEmpty())) {
            // Less than an inch: only the white area.
            for (int y = 0; y < image.height(); ++y)
              for (int x = 0; x < image.width(); ++x) QCOMPARE(image.pixel(x, y), qRgb(255, 255, 255));
          }
        }
      }
    }
  }

  void showPlotReusesAndRefusesWindows() {
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    TGraphPlot plot = capacityPlot(2);
    TPlotForm *form = TPlotForm::ShowPlot(&area, plot);
    QVERIFY(form);
    QCOMPARE(TPlotForm::ShowPlot(&area, plot), form);
    QCOMPARE(area.subWindowList().size(), 1);
    QCOMPARE(area.subWindowList().front()->windowTitle(), plot.fCaption);
    // New data while the window is open (a new run): fewer curves, a wider range.
    fill(plot, 1);
    plot.SetPoint(0, 10, {4000, 100});
    TPlotForm::ReloadPlot(plot);
    QCOMPARE(form->Legend()->count(), 1);
    QCOMPARE(form->MaxLogicBounds.Right, 4000.0);
    emit form->PlotMenu()->aboutToShow();
    TPlotForm::HidePlot(plot);
    QVERIFY(!TPlotForm::FormOf(plot));
    QCOMPARE(area.subWindowList().size(), 0);
    // A plot whose range overflows has no usable step: no window.
    TGraphPlot broken = capacityPlot(1);
    broken.SetPoint(0, 0, {-1e308L, 0});
    broken.SetPoint(0, 1, {1e308L, 0});
    QVERIFY(!TPlotForm::ShowPlot(&area, broken));
    QCOMPARE(area.subWindowList().size(), 0);
  }
};

QTEST_MAIN(PlotFormTest)
#include "plotform_uitest.moc"
