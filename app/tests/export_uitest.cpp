// The "Export to Excel" dialog without a display: the list of plots whose
// commands are enabled, Select All / Unselect All and the Generate button,
// the save dialog's proposal, the written and opened workbook and the final
// message, a failed export; and the plot window's "Copy Data".
#include "ui/ExportDlg.h"
#include "ui/Messages.h"
#include "ui/PltData.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace pylar;

namespace {

// Results of a run: every plot gets two curves of three points.
void fillPlots(TResultPlots &plots) {
  for (TGraphPlot *plot : plots.All()) {
    plot->SetCurveCount(2);
    plot->SetPointCount(3);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < 3; ++i) plot->SetPoint(c, i, {static_cast<Extended>(10 * c + i), 2.0L * i});
  }
}

QStringList listed(const TDlgExport &dialog) {
  QStringList texts;
  for (int row = 0; row < dialog.CheckList()->count(); ++row) texts << dialog.CheckList()->item(row)->text();
  return texts;
}

int checkedCount(const TDlgExport &dialog) {
  int n = 0;
  for (int row = 0; row < dialog.CheckList()->count(); ++row)
    n += dialog.CheckList()->item(row)->checkState() == Qt::Checked;
  return n;
}

}  // namespace

class ExportDialogTest : public QObject {
  Q_OBJECT

  QStringList fMessages;

 private slots:
  void init() {
    fMessages.clear();
    SetMessageHook([this](QWidget *, const QString &text) { fMessages << text; });
  }
  void cleanup() { SetMessageHook({}); }

  void withoutResultsTheListIsEmptyAndGenerateDisabled() {
    const TResultPlots plots;
    TDlgExport dialog(plots, [](const TGraphPlot &) { return false; }, QString());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Export to Excel"));
    QCOMPARE(dialog.CheckList()->count(), 0);
    QCOMPARE(dialog.nplotst, 0);
    QVERIFY(!dialog.GenerateButton()->isEnabled());
    dialog.SelectAllClick();
    QVERIFY(!dialog.GenerateButton()->isEnabled());
    QVERIFY(dialog.MarkersBox()->isChecked());
  }

  // The enabled plots, in the export's fixed order whatever order they are
  // enabled in, all checked; Unselect All disables Generate, one checked
  // entry or Select All enables it again.
  void enabledPlotsAreListedCheckedInTheFixedOrder() {
    TResultPlots plots;
    fillPlots(plots);
    const QSet<const TGraphPlot *> enabled{&plots.PltChart[0], &plots.pltCombine, &plots.pltTotal, &plots.pltSkin};
    TDlgExport dialog(plots, [&](const TGraphPlot &plot) { return enabled.contains(&plot); }, QString());
    QCOMPARE(listed(dialog), QStringList({"Ultimate Skin Friction vs Depth", "Ultimate Total Capacity vs Depth",
                                          "Combined Plots vs Depth (ultimate)", "Design Chart 1"}));
    QCOMPARE(dialog.indices, std::vector<int>({1, 3, 7, 16}));
    QCOMPARE(dialog.nplotst, 4);
    QCOMPARE(checkedCount(dialog), 4);
    QVERIFY(dialog.GenerateButton()->isEnabled());

    QTest::mouseClick(dialog.UnselectAllButton(), Qt::LeftButton);
    QCOMPARE(checkedCount(dialog), 0);
    QVERIFY(!dialog.GenerateButton()->isEnabled());
    dialog.CheckList()->item(2)->setCheckState(Qt::Checked);  // as a click in the list does
    QVERIFY(dialog.GenerateButton()->isEnabled());
    dialog.CheckList()->item(2)->setCheckState(Qt::Unchecked);
    QVERIFY(!dialog.GenerateButton()->isEnabled());
    QTest::mouseClick(dialog.SelectAllButton(), Qt::LeftButton);
    QCOMPARE(checkedCount(dialog), 4);
    QVERIFY(dialog.GenerateButton()->isEnabled());
  }

  // Generate: the save dialog proposes the project's name with ".xlsx"; the
  // checked plots are written, the workbook opened, and the final message
  // says where it is.
  void generateWritesOpensAndReports() {
    QTemporaryDir dir;
    TResultPlots plots;
    fillPlots(plots);
    TDlgExport dialog(plots, [](const TGraphPlot &) { return true; }, dir.filePath("pier one.pq8d"));
    QCOMPARE(dialog.nplotst, 25);
    QString proposed;
    const QString target = dir.filePath("chosen.xlsx");
    dialog.SaveDialog = [&](const QString &p) {
      proposed = p;
      return target;
    };
    QStringList opened;
    dialog.OpenDocument = [&](const QString &path) {
      opened << path;
      return true;
    };
    dialog.UnselectAllClick();
    dialog.CheckList()->item(0)->setCheckState(Qt::Checked);
    dialog.CheckList()->item(24)->setCheckState(Qt::Checked);
    QTest::mouseClick(dialog.GenerateButton(), Qt::LeftButton);
    QCOMPARE(proposed, dir.filePath("pier one.xlsx"));
    QVERIFY(QFileInfo(target).size() > 0);
    QCOMPARE(opened, QStringList({QFileInfo(target).absoluteFilePath()}));
    QCOMPARE(fMessages, QStringList({"Export to Excel Completed\nPlease note that you need to save the excel file\n"
                                     "The workbook is saved as " +
                                     QDir::toNativeSeparators(QFileInfo(target).absoluteFilePath())}));
    QVERIFY(!dialog.more255);

    // Cancelling the save dialog writes and says nothing.
    fMessages.clear();
    opened.clear();
    dialog.SaveDialog = [](const QString &) { return QString(); };
    dialog.GenerateClick();
    QVERIFY(fMessages.isEmpty());
    QVERIFY(opened.isEmpty());
  }

  void aFailedExportOpensNothingAndSaysWhatFailed() {
    QTemporaryDir dir;
    TResultPlots plots;
    fillPlots(plots);
    TDlgExport dialog(plots, [](const TGraphPlot &) { return true; }, dir.filePath("p.pq8d"));
    const QString target = dir.filePath("no such folder/p.xlsx");
    dialog.SaveDialog = [&](const QString &) { return target; };
    bool opened = false;
    dialog.OpenDocument = [&](const QString &) { return opened = true; };
    dialog.GenerateClick();
    QVERIFY(!opened);
    QCOMPARE(fMessages.size(), 1);
    QVERIFY2(fMessages[0].startsWith("The workbook could not be written to " + QDir::toNativeSeparators(target) + ": "),
             qPrintable(fMessages[0]));
  }

  // "Copy Data" on the Plot menu puts every curve on the clipboard as columns.
  void copyDataPutsTheCurvesOnTheClipboard() {
    TResultPlots plots;
    fillPlots(plots);
    TGraphPlot &plot = plots.pltSkin;
    plot.SetCurveName(1, "Dia=3 ft");
    TPlotForm form(plot);
    QAction *copy = form.MenuAction("&Copy Data");
    QVERIFY(copy);
    QGuiApplication::clipboard()->clear();
    copy->trigger();
    const QString text = QGuiApplication::clipboard()->text();
    QCOMPARE(text, CurvesAsText(plot, QLocale::system().decimalPoint().front()));
    QVERIFY2(text.startsWith("Curve #1\t\tDia=3 ft\t\nUltimate Skin Friction  (tons)\tDepth (ft)\t"), qPrintable(text));
    QCOMPARE(text.count('\n'), 5);
  }
};

QTEST_MAIN(ExportDialogTest)
#include "export_uitest.moc"
