// Pictures of three plot windows for people to look at: a combined capacity
// plot with its soil column, a load-settlement plot and a design chart. For
// each it grabs the window as shown (with the on-screen legend), saves the
// graph as BMP and PNG through "Save To Disk", and prints it to PDF through
// the print path. The output folder is the first argument. Further arguments,
// the command-line runner and sample projects, add the same pictures of the
// plots of real runs, loaded by the main window as after an analysis.
#include "RunRecordFixture.h"
#include "ui/Main.h"
#include "ui/PltData.h"
#include "ui/Table.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <cstdio>

using namespace pylar;

namespace {

// Capacity against depth of a 3 ft pier in sand over clay over rock.
TGraphPlot combinedCapacity() {
  TGraphPlot plot("Combined Plots vs Depth (ultimate)", "Ultimate Axial Capacity", "F2", "Depth", "L2");
  plot.SetCurveCount(3);
  plot.SetPointCount(41);
  plot.fDefLineNames = {"  Skin Friction", "  Tip Resistance", "  Total Capacity"};
  for (int i = 0; i <= 40; ++i) {
    const double z = 1.5 * i;
    const double skin = 0.09 * z * z + (z > 35 ? 9 * (z - 35) : 0);
    const double tip = z < 20 ? 40 + 3 * z : (z < 35 ? 60 + 1.2 * z : 260 + 2 * (z - 35));
    plot.SetPoint(0, i, {skin, z});
    plot.SetPoint(1, i, {tip, z});
    plot.SetPoint(2, i, {skin + tip, z});
  }
  const struct {
    const char *name;
    double bottom;
    int value;
  } layers[] = {{"LAYER 1 SAND ", 20, 7}, {"LAYER 2 CLAY ", 35, 1}, {"LAYER 3 ROCK ", 60, 9}};
  plot.SetLayerCount(3);
  plot.SetLayerPointCount(1);
  for (int k = 0; k < 3; ++k) {
    plot.gData[static_cast<size_t>(k)].fValueS = QString::fromLatin1(layers[k].name);
    plot.gData[static_cast<size_t>(k)].fValue = layers[k].value;
    plot.gData[static_cast<size_t>(k)].fData[0] = {0, layers[k].bottom};
  }
  plot.fShowLayers = true;
  return plot;
}

// Trend, upper and lower bound of load against settlement.
TGraphPlot loadSettlement() {
  TGraphPlot plot("Combined Plots of Load vs Settlement", "Axial Load", "F2", "Settlement", "L");
  plot.SetCurveCount(3);
  plot.SetPointCount(16);
  plot.fDefLineNames = {"  Trend (Averaged)", "  Upper Bound", "  Lower Bound"};
  const double capacity[] = {420, 510, 330};
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 16; ++i) {
      const double w = 0.1 * i * i / 15.0 * 3;  // settlement, in
      plot.SetPoint(c, i, {capacity[c] * (1 - std::exp(-3.2 * w)), w});
    }
  return plot;
}

// Load at a defined settlement against length for four diameters.
TGraphPlot designChart() {
  TGraphPlot plot("Design Chart (0.5-in movement)", "Axial Capacity", "F2", "Depth", "L2");
  plot.UserCaption = plot.fCaption;
  plot.SetCurveCount(4);
  plot.SetPointCount(12);
  for (int c = 0; c < 4; ++c) {
    plot.SetCurveName(c, QStringLiteral("Dia=%1 ft").arg(2 + 0.5 * c));
    for (int i = 0; i < 12; ++i) {
      const double length = 10 + 5 * i;
      plot.SetPoint(c, i, {(2 + 0.5 * c) * (12 * length + 0.08 * length * length), length});
    }
  }
  return plot;
}

bool hasPoints(const TGraphPlot &plot) {
  for (const TLine &line : plot.fData)
    if (line.fData.size() >= 2) return true;
  return false;
}

bool render(QMdiArea &area, TGraphPlot &plot, const QString &folder, const QString &name) {
  TPlotForm *form = TPlotForm::ShowPlot(&area, plot);
  if (!form) return false;
  area.activeSubWindow()->resize(760, 560);
  QTest::qWait(100);
  form->MouseMoved(form->ScreenLayout().graph.center());
  QTest::qWait(50);
  const QString base = folder + QLatin1Char('/') + name;
  bool ok = area.activeSubWindow()->grab().save(base + "-window.png");
  ok = form->SaveToFile(base + ".bmp", 8, 6, 100) == TPlotForm::SaveResult::Saved && ok;
  ok = form->SaveToFile(base + ".png", 8, 6, 100) == TPlotForm::SaveResult::Saved && ok;
  ok = form->SaveToFile(base + ".svg", 8, 6, 100) == TPlotForm::SaveResult::Saved && ok;
  QPrinter &printer = form->Printer();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(base + ".pdf");
  ok = form->PrintTo(printer) && ok;
  TPlotForm::HidePlot(plot);
  return ok;
}

}  // namespace

int main(int argc, char *argv[]) {
  QTemporaryDir config;  // the main window's settings stay out of the user's
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  InstallTableForms();
  const QString folder = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("plots")).absolutePath();
  QDir().mkpath(folder);
  QMdiArea area;
  area.resize(1000, 800);
  area.show();
  if (!QTest::qWaitForWindowExposed(&area)) return 1;
  TGraphPlot capacity = combinedCapacity();
  TGraphPlot settlement = loadSettlement();
  TGraphPlot chart = designChart();
  bool ok = render(area, capacity, folder, "combined-capacity");
  ok = render(area, settlement, folder, "load-settlement") && ok;
  ok = render(area, chart, folder, "design-chart") && ok;

  // Plots of real runs: the runner writes the plot data, the main window loads it.
  for (int i = 3; i < argc; ++i) {
    const QString runner = QString::fromLocal8Bit(argv[2]);
    const QFileInfo source(QString::fromLocal8Bit(argv[i]));
    const QString runFolder = folder + QStringLiteral("/runs");
    QDir().mkpath(runFolder);
    const QString project = runFolder + QLatin1Char('/') + source.fileName();
    QFile::remove(project);
    if (!QFile::copy(source.absoluteFilePath(), project) ||
        QProcess::execute(runner, {QStringLiteral("run"), project}) != 0 || !EnsureRunRecord(project, 0)) {
      std::fprintf(stderr, "could not run %s\n", qPrintable(project));
      ok = false;
      continue;
    }
    TMainForm main;
    main.resize(1000, 800);
    main.show();
    main.StartUp(project);
    QTest::qWait(100);
    TResultPlots &plots = main.Plots();
    const QString base = source.completeBaseName();
    // The Graphics command opens the plot window.
    if (QAction *skin = main.Commands().SkinFriction) skin->trigger();
    if (!TPlotForm::FormOf(plots.pltSkin)) {
      std::fprintf(stderr, "the Graphics command opened no plot window\n");
      ok = false;
    }
    TPlotForm::HidePlot(plots.pltSkin);
    plots.pltCombine.fShowLayers = true;
    ok = render(*main.MdiArea(), plots.pltCombine, folder, base + "-combined-capacity") && ok;
    if (i == 3) {
      // "Export Plots to Excel" over the plots of this run; the dialog is
      // modal, so it is pictured and closed from the event loop it runs.
      bool shown = false;
      QTimer::singleShot(500, [&] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
          shown = dialog->grab().save(folder + QStringLiteral("/export-dialog-window.png"));
          dialog->close();
        }
      });
      main.Commands().ExportPlots->trigger();
      if (!shown) std::fprintf(stderr, "the export dialog was not shown\n");
      ok = shown && ok;
    }
    if (hasPoints(plots.pltCombinedSettle))
      ok = render(*main.MdiArea(), plots.pltCombinedSettle, folder, base + "-load-settlement") && ok;
    if (hasPoints(plots.PltChart[0]))
      ok = render(*main.MdiArea(), plots.PltChart[0], folder, base + "-design-chart-1") && ok;
  }
  std::printf("%s\n", ok ? "plots written" : "a plot could not be written");
  return ok ? 0 : 1;
}
