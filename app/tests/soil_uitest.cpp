// The soil layer window, the layer property dialog and the three option
// windows, driven through the main window's Data menu as a user would; and a
// whole project built from nothing, saved, run by the engine library and its
// results loaded.
#include "model/SoilLayers.h"
#include "ui/DataEdit.h"
#include "ui/Main.h"
#include "ui/Messages.h"
#include "ui/Options.h"
#include "ui/ProfileGrid.h"
#include "ui/SoilLayers.h"
#include "ui/VaryLength.h"
#include "ui/designchart.h"
#include "ui/soils.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <functional>

using namespace pylar;

namespace {
const QString kBinDir = QStringLiteral(PYLAR_BIN_DIR);

// Runs `step` on the property dialog once it is shown modally; closes it
// afterwards unless `step` did.
void whenPropertyDialogOpens(std::function<void(TDlgSoils &)> step) {
  auto *timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, step] {
    auto *dialog = qobject_cast<TDlgSoils *>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer->stop();
    timer->deleteLater();
    step(*dialog);
    if (dialog->isVisible()) dialog->accept();
  });
  timer->start();
}

QString heading(QTableWidget *grid, int column) { return grid->horizontalHeaderItem(column)->text(); }
}  // namespace

class SoilDialogsTest : public QObject {
  Q_OBJECT

 private:
  QStringList messages;
  QStringList questions;
  bool answerYes = true;
  QTemporaryDir work;
  TMainForm *form = nullptr;

  TDataForm *open(QAction *command, const QString &caption) {
    command->trigger();
    TDataChild *child = form->DataWindow(caption);
    return child ? child->Form() : nullptr;
  }
  TDlgSoilLayers *layers() {
    return qobject_cast<TDlgSoilLayers *>(open(form->Commands().SoilLayers, "Soill Layers"));
  }
  TGridTable &layerData(int row) { return *form->Tables().LayerData(row); }
  void chooseModel(TDlgSoilLayers *window, int row, int code) {
    QComboBox *box = window->SoilType(row);
    box->setCurrentIndex(code - 1);
    emit box->activated(code - 1);
  }

 private slots:
  void init() {
    messages.clear();
    questions.clear();
    answerYes = true;
    SetMessageHook([this](QWidget *, const QString &text) { messages << text; });
    SetQuestionHook([this](QWidget *, const QString &text) {
      questions << text;
      return answerYes ? TAnswer::Yes : TAnswer::No;
    });
    QSettings(QStringLiteral("Vexlor"), QStringLiteral("PYLAR")).clear();
    form = new TMainForm;
    form->SetProgramFolder(kBinDir);
    form->show();
    QDir::setCurrent(work.path());
    form->StartUp(QString());
  }

  void cleanup() {
    delete form;
    SetMessageHook({});
    SetQuestionHook({});
  }

  void newProjectShowsOneSandLayerWithTheKoProcedure() {
    TDlgSoilLayers *window = layers();
    QVERIFY(window);
    QCOMPARE(window->Grid()->rowCount(), 1);
    QCOMPARE(window->Grid()->columnCount(), 5);  // no LRFD columns under ASD
    QCOMPARE(window->SoilType(0)->currentText(), QString("sand (FHWA Spec.)"));
    QCOMPARE(window->SoilType(0)->count(), 9);
    QCOMPARE(window->EditButton(0)->text(), QString("Edit Layer 1"));
    QCOMPARE(heading(window->Grid(), 2), QString("Depth at Bottom * \n of each layer (ft) "));
    QCOMPARE(heading(window->Grid(), 3), QString("Max. Side Friction ** \n       (lb/ft^2)    "));
    QVERIFY(window->AddButton()->isEnabled());
    QVERIFY(window->InsertButton()->isEnabled());
    QVERIFY(!window->DeleteButton()->isEnabled());  // the project keeps one layer
    QCOMPARE(layerData(0).GetIntValue(kSandMethodColumn, 0), int(smKo));
    QCOMPARE(layerData(0).GetIntValue(kSandMethodColumn, 1), int(smKo));
    bool koChecked = false;
    whenPropertyDialogOpens([&](TDlgSoils &dialog) {
      koChecked = dialog.MethodButton(smKo)->isChecked();
      QCOMPARE(dialog.windowTitle(), QString("Data for Layer 1"));
      QCOMPARE(dialog.Pages()->currentIndex(), int(TDlgSoils::pgSand));
      QVERIFY(!dialog.Pages()->isTabVisible(TDlgSoils::pgClay));
    });
    window->EditButton(0)->click();
    QVERIFY(koChecked);
    // Under LRFD the two resistance-factor columns appear.
    form->Commands().DesignLRFD->trigger();
    QCOMPARE(window->Grid()->columnCount(), 7);
    QCOMPARE(heading(window->Grid(), 5), QString("LRFD Res. Factor\n (Side Friction) "));
    QCOMPARE(window->CellField(0, lcLRFDSide)->text(), QString("1"));
  }

  void modelChangesCarryPropertiesOver() {
    TDlgSoilLayers *window = layers();
    chooseModel(window, 0, scClay);
    QCOMPARE(form->Tables().D.GetIntValue(lcSoilType, 0), int(scClay));
    QVERIFY(form->GetChanged());
    whenPropertyDialogOpens([](TDlgSoils &dialog) {
      QCOMPARE(dialog.PageTitle(TDlgSoils::pgClay)->text(), QString("Clay (FHWA Spec.)"));
      const char *top[] = {"120", "1500", "7", "0.55", "9"};
      const char *bottom[] = {"125", "1800", "9.4", "0.5", "8"};
      for (int c = 0; c < 5; ++c) {
        dialog.Field(TDlgSoils::pgClay, c, false)->setText(top[c]);
        dialog.Field(TDlgSoils::pgClay, c, true)->setText(bottom[c]);
      }
    });
    window->EditButton(0)->click();
    QCOMPARE(layerData(0).GetIntValue(2, 1), 9);  // blow counts are whole numbers
    QCOMPARE(double(layerData(0).GetFloatValue(1, 1)), 1800.0);

    chooseModel(window, 0, scShale);
    for (int c : {1, 3, 4}) QVERIFY(layerData(0).GetFloatValue(c, 0) != 0);
    QCOMPARE(double(layerData(0).GetFloatValue(3, 0)), 0.55);  // alpha
    QCOMPARE(double(layerData(0).GetFloatValue(4, 1)), 8.0);   // Nc
    chooseModel(window, 0, scClay);
    chooseModel(window, 0, scSand);
    TGridTable &sand = layerData(0);
    QCOMPARE(double(sand.GetFloatValue(0, 0)), 120.0);
    QCOMPARE(sand.GetIntValue(2, 0), 7);
    QCOMPARE(sand.GetIntValue(2, 1), 9);
    for (int c : {1, 3, 4, 6, 7}) QCOMPARE(double(sand.GetFloatValue(c, 1)), 0.0);
    QCOMPARE(sand.GetIntValue(kSandMethodColumn, 0), int(smKo));
  }

  void betaMethodZeroesKoExponentAndInterfaceAngle() {
    TDlgSoilLayers *window = layers();
    TGridTable &sand = layerData(0);
    for (int row = 0; row < 2; ++row)
      for (int c : {3, 4, 6, 7}) sand.SetFloatValue(c, row, 0.5L + c);
    whenPropertyDialogOpens([](TDlgSoils &dialog) {
      TDataEdit *ko = dialog.Field(TDlgSoils::pgSand, 3, false);
      TDataEdit *beta = dialog.Field(TDlgSoils::pgSand, 4, true);
      TDataEdit *m = dialog.Field(TDlgSoils::pgSand, 7, false);
      QVERIFY(ko->isEnabled());
      QVERIFY(!beta->isEnabled());
      QVERIFY(!m->isEnabled());
      QVERIFY(!dialog.SandNotes()[1]->isVisibleTo(&dialog));
      dialog.MethodButton(smBeta)->click();
      QVERIFY(!ko->isEnabled());
      QVERIFY(beta->isEnabled());
      QVERIFY(!dialog.Field(TDlgSoils::pgSand, 6, false)->isEnabled());  // interface angle
      QVERIFY(dialog.SandNotes()[1]->isVisibleTo(&dialog));
      beta->setText("0.8");
      dialog.CopyButton(TDlgSoils::pgSand)->click();  // bottom beta takes the top's 4.5
    });
    window->EditButton(0)->click();
    for (int row = 0; row < 2; ++row) {
      QCOMPARE(sand.GetIntValue(kSandMethodColumn, row), int(smBeta));
      QCOMPARE(double(sand.GetFloatValue(3, row)), 0.0);  // Ko
      QCOMPARE(double(sand.GetFloatValue(6, row)), 0.0);  // interface angle
      QCOMPARE(double(sand.GetFloatValue(7, row)), 0.0);  // m
    }
    QCOMPARE(double(sand.GetFloatValue(4, 0)), 4.5);
    QCOMPARE(double(sand.GetFloatValue(4, 1)), 4.5);
    // A field that does not evaluate keeps the dialog open and writes nothing.
    bool stayed = false;
    whenPropertyDialogOpens([&](TDlgSoils &dialog) {
      dialog.Field(TDlgSoils::pgSand, 0, false)->setText("12*");
      dialog.accept();
      stayed = dialog.isVisible();
      dialog.Field(TDlgSoils::pgSand, 0, false)->setText("110");
    });
    window->EditButton(0)->click();
    QVERIFY(stayed);
    QCOMPARE(double(sand.GetFloatValue(0, 0)), 110.0);
  }

  void layerLimitAndDeletionQuestion() {
    TDlgSoilLayers *window = layers();
    window->CellField(0, lcDepth)->setText("5");
    for (int i = 1; i < kMaxLayers; ++i) window->AddButton()->click();
    QCOMPARE(form->Tables().D.RowCount(), kMaxLayers);
    QCOMPARE(window->Grid()->rowCount(), kMaxLayers);
    QVERIFY(!window->AddButton()->isEnabled());
    QVERIFY(!window->InsertButton()->isEnabled());
    QCOMPARE(double(form->Tables().D.GetFloatValue(lcDepth, 0)), 5.0);  // written before the rows changed
    QCOMPARE(window->EditButton(39)->text(), QString("Edit Layer 40"));

    chooseModel(window, 2, scGravel);  // the row used last is the third
    answerYes = false;
    window->DeleteButton()->click();
    QCOMPARE(questions, QStringList{"Do you want to delete soil layer in row 3"});
    QCOMPARE(form->Tables().D.RowCount(), kMaxLayers);
    answerYes = true;
    window->DeleteButton()->click();
    QCOMPARE(form->Tables().D.RowCount(), kMaxLayers - 1);
    QCOMPARE(form->Tables().D.GetIntValue(lcSoilType, 2), int(scSand));
    QVERIFY(window->AddButton()->isEnabled());
    // Without confirmation no question is asked.
    window->ConfirmDeletion()->setChecked(false);
    QTest::mouseClick(window->CellField(0, lcDepth), Qt::LeftButton);
    window->DeleteButton()->click();
    QCOMPARE(questions.size(), 2);
    QCOMPARE(form->Tables().D.RowCount(), kMaxLayers - 2);
    QCOMPARE(double(form->Tables().D.GetFloatValue(lcDepth, 0)), 0.0);
    // Insert before the focus row: the layers below keep their models.
    chooseModel(window, 1, scWeakRock);
    window->InsertButton()->click();
    QCOMPARE(form->Tables().D.GetIntValue(lcSoilType, 1), int(scSand));
    QCOMPARE(form->Tables().D.GetIntValue(lcSoilType, 2), int(scWeakRock));
    QCOMPARE(window->SoilType(2)->currentIndex(), scWeakRock - 1);
  }

  void switchingToSIRelabelsAndConverts() {
    TDlgSoilLayers *window = layers();
    window->CellField(0, lcDepth)->setText("10");
    window->CellField(0, lcMaxSide)->setText("2000");
    TGridTable &sand = layerData(0);
    sand.SetFloatValue(0, 0, 120);  // lbs/ft^3
    form->Commands().UnitsSI->trigger();
    QCOMPARE(heading(window->Grid(), 2), QString("Depth at Bottom * \n of each layer (m) "));
    QCOMPARE(heading(window->Grid(), 3), QString("Max. Side Friction ** \n       (kN/m^2)    "));
    QCOMPARE(heading(window->Grid(), 4), QString("Max. End Bearing ** \n       (kN/m^2)    "));
    QCOMPARE(window->CellField(0, lcDepth)->text(), QString("3.048"));
    // 2000 lbs/ft^2 / 224.8089237 lbs/kN * 3.280839895^2 ft^2/m^2 = 95.760526 kN/m^2
    QCOMPARE(window->CellField(0, lcMaxSide)->text(), QString("95.760526"));
    whenPropertyDialogOpens([](TDlgSoils &dialog) {
      TDataEdit *weight = dialog.Field(TDlgSoils::pgSand, 0, false);
      QCOMPARE(weight->EditLabel()->text(), QString("1. Total Unit Weight (kN/m^3)"));
      // 120 lbs/ft^3 / 224.8089237 lbs/kN * 3.280839895^3 ft^3/m^3 = 18.850497 kN/m^3
      QCOMPARE(weight->text(), QString("18.850497"));
      QCOMPARE(dialog.Field(TDlgSoils::pgSand, 1, false)->EditLabel()->text(), QString("6. Friction Angle (***) (Deg)"));
    });
    window->EditButton(0)->click();
    chooseModel(window, 0, scWeakRock);
    whenPropertyDialogOpens([](TDlgSoils &dialog) {
      QCOMPARE(dialog.Field(TDlgSoils::pgWeakRock, 2, false)->EditLabel()->text(), QString("3. Concrete Slump (m)"));
      QCOMPARE(dialog.Field(TDlgSoils::pgWeakRock, 5, false)->EditLabel()->text(),
               QString("6. Elastic Modulus of Rock Core (kN/m^2)"));
      QCOMPARE(dialog.Field(TDlgSoils::pgWeakRock, 4, false)->EditLabel()->text(), QString("5. Socket Diameter (m)"));
      dialog.Condition(false)->setCurrentIndex(3);
      dialog.CopyButton(TDlgSoils::pgWeakRock)->click();
    });
    window->EditButton(0)->click();
    QCOMPARE(layerData(0).GetIntValue(1, 0), 4);
    QCOMPARE(layerData(0).GetIntValue(1, 1), 4);
  }

  void designChartSettlementsFollowTheNumberOfPoints() {
    TProgramData &project = form->Data();
    project.SetUnits(kUnitsSI);
    project.NPOINTPD = 3;
    project.PDSETT = {0.005L, 0.01L, 0.025L, 1, 1, 1, 1, 1, 1, 1};
    project.IChart = 1;
    auto *charts = qobject_cast<TfrmDesignCharts *>(open(form->Commands().DesignCharts, "LRFD Design Charts"));
    QVERIFY(charts);
    QTableWidget *grid = charts->Settlements();
    QCOMPARE(grid->horizontalHeaderItem(1)->text(), QString("Settlement (m)"));
    QCOMPARE(grid->rowCount(), 3);
    QCOMPARE(grid->item(2, 0)->text(), QString("3"));
    QCOMPARE(grid->item(2, 1)->text(), QString("0.025"));
    for (const char *ignored : {"0", "11", "abc"}) {
      charts->NumberOfPoints()->setText(ignored);
      QCOMPARE(grid->rowCount(), 3);
    }
    charts->NumberOfPoints()->setText("4.6");  // rounded to 5
    QCOMPARE(grid->rowCount(), 5);
    QCOMPARE(grid->item(4, 1)->text(), QString("1"));
    charts->NumberOfPoints()->setText("10");
    charts->Up()->click();
    QCOMPARE(charts->NumberOfPoints()->text(), QString("10"));
    charts->NumberOfPoints()->setText("1");
    charts->Down()->click();
    QCOMPARE(charts->NumberOfPoints()->text(), QString("1"));
    QCOMPARE(grid->rowCount(), 1);
    charts->Up()->click();
    charts->Up()->click();
    QCOMPARE(grid->rowCount(), 3);
    QCOMPARE(grid->item(1, 1)->text(), QString("0.01"));  // kept while hidden
    grid->item(1, 1)->setText("0.02");
    QVERIFY(charts->WriteBack());
    QCOMPARE(project.NPOINTPD, 3);
    QCOMPARE(double(project.PDSETT[1]), 0.02);
    QCOMPARE(double(project.PDSETT[2]), 0.025);
    // A cell still being edited counts with its typed text.
    grid->setCurrentCell(0, 1);
    grid->editItem(grid->item(0, 1));
    auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(grid->currentIndex()));
    QVERIFY(editor);
    editor->setText("0.003");
    QVERIFY(charts->WriteBack());
    QCOMPARE(double(project.PDSETT[0]), 0.003);
    // A cell that is not a number is reported and nothing is written.
    grid->item(0, 1)->setText("x");
    charts->NumberOfPoints()->setText("2");
    QVERIFY(!charts->WriteBack());
    QCOMPARE(messages.last(), QString("'x' is not a valid floating point value"));
    QCOMPARE(project.NPOINTPD, 3);
    // Unchecked, every control is disabled.
    grid->item(0, 1)->setText("0.004");
    charts->Enable()->click();
    QVERIFY(!grid->isEnabled());
    QVERIFY(!charts->NumberOfPoints()->isEnabled());
    QVERIFY(!charts->MaximumLength()->isEnabled());
    QVERIFY(charts->WriteBack());
    QCOMPARE(project.IChart, 0);
    // A project without a count of settlements starts from five.
    project.NPOINTPD = 0;
    charts->LoadFromModel();
    QCOMPARE(grid->rowCount(), 5);
    QCOMPARE(charts->NumberOfPoints()->text(), QString("5"));
  }

  void bothLengthWindowsEditTheSameMaximumLength() {
    form->Data().SetProposedLength(30);
    auto *vary = qobject_cast<TfrmVaryLength *>(open(form->Commands().MultipleLengths, "Multiple Pylar Lengths"));
    QVERIFY(vary);
    QVERIFY(!vary->MaximumLength()->isEnabled());
    vary->Enable()->click();
    QVERIFY(vary->MaximumLength()->isEnabled());
    vary->MaximumLength()->setText("55");
    vary->MinimumLength()->setText("40");
    auto *charts = qobject_cast<TfrmDesignCharts *>(open(form->Commands().DesignCharts, "LRFD Design Charts"));
    QCOMPARE(form->Data().IPENT, 1);
    QCOMPARE(double(form->Data().PD), 55.0);
    QCOMPARE(charts->MaximumLength()->text(), QString("55"));
    QCOMPARE(charts->MinimumLength()->text(), QString("40"));
    // With multiple lengths set, design charts cannot be chosen, and back.
    QVERIFY(!charts->Enable()->isEnabled());
    charts->MaximumLength()->setText("60");  // disabled: not written
    open(form->Commands().MultipleLengths, "Multiple Pylar Lengths");
    QCOMPARE(vary->MaximumLength()->text(), QString("55"));
    emit form->Menus().Data->aboutToShow();
    QVERIFY(!form->Commands().DesignCharts->isEnabled());
    QVERIFY(form->Commands().MultipleLengths->isEnabled());
    vary->Enable()->click();
    // Opening the menu takes what the active window holds.
    emit form->Menus().Data->aboutToShow();
    QCOMPARE(form->Data().IPENT, 0);
    QVERIFY(form->Commands().DesignCharts->isEnabled());
    open(form->Commands().DesignCharts, "LRFD Design Charts");
    QVERIFY(charts->Enable()->isEnabled());
    charts->Enable()->click();
    charts->MaximumLength()->setText("60");
    open(form->Commands().MultipleLengths, "Multiple Pylar Lengths");
    QCOMPARE(vary->MaximumLength()->text(), QString("60"));
    QVERIFY(!vary->Enable()->isEnabled());
    QCOMPARE(form->Data().IPENT, 0);
    QCOMPARE(form->Data().IChart, 1);
    emit form->Menus().Data->aboutToShow();
    QVERIFY(form->Commands().DesignCharts->isEnabled());
    QVERIFY(!form->Commands().MultipleLengths->isEnabled());
  }

  void controlOptionsBindings() {
    auto *options = qobject_cast<TDlgOptions *>(open(form->Commands().ControlOptions, "Control Options"));
    QVERIFY(options);
    QVERIFY(options->Linear()->isChecked());
    QVERIFY(!options->Elevation()->isEnabled());
    QVERIFY(!options->EditDepths()->isEnabled());
    options->MaximumAnyDepth()->click();
    options->Increment()->setText("2.5");
    options->UseElevation()->click();
    QVERIFY(options->Elevation()->isEnabled());
    options->Elevation()->setText("-12");
    options->PrintTZ()->click();
    QVERIFY(options->EditDepths()->isEnabled());
    QString start;
    options->BrowseDialog = [&](const QString &from) {
      start = from;
      return QStringLiteral("/usr/bin/editor");
    };
    options->Editor()->setText("/opt/old");
    options->Browse()->click();
    QCOMPARE(start, QString("/opt/old"));
    form->DataWindow("Control Options")->close();
    QTRY_VERIFY(!form->DataWindow("Control Options"));
    const TProgramData &project = form->Data();
    QCOMPARE(project.IMOD, 0);
    QCOMPARE(double(project.PINC), 2.5);
    QCOMPARE(project.UseElevation, 1);
    QCOMPARE(double(project.ValElevation), -12.0);
    QCOMPARE(project.PrintTZCurves, 1);
    QCOMPARE(form->Settings().WordProcessor, QString("/usr/bin/editor"));
    // Unchecking the elevation label keeps the elevation.
    options = qobject_cast<TDlgOptions *>(open(form->Commands().ControlOptions, "Control Options"));
    options->UseElevation()->click();
    QVERIFY(!options->Elevation()->isEnabled());
    QVERIFY(options->WriteBack());
    QCOMPARE(project.UseElevation, 0);
    QCOMPARE(double(project.ValElevation), -12.0);
  }

  // A new user's first project: every value typed into the windows, saved,
  // run by the engine library and its results loaded.
  // A three-layer project built in the soil profile grid: a block of three
  // rows pasted from a spreadsheet fills three layers as one step of the
  // history; a typed cell is checked as the dialogs check it and Ctrl+Z takes
  // it back; after a run the values the engine estimated are marked.
  void profileGridBuildsAThreeLayerProject() {
    QVERIFY(QTest::qWaitForWindowActive(form));
    form->Commands().ProfileGrid->trigger();
    auto *grid = qobject_cast<TSoilProfileGrid *>(form->DataWindow("Soil Profile Grid")->Form());
    QVERIFY(grid);
    TProfileGridModel *model = grid->Model();
    const TProfileGrid &columns = model->Grid();
    const auto column = [&](const QString &heading, const QString &end = {}) {
      for (int c = 0; c < columns.ColumnCount(); ++c)
        if (columns.Columns()[std::size_t(c)].Heading == heading && columns.Columns()[std::size_t(c)].End == end) return c;
      return -1;
    };
    QCOMPARE(model->rowCount(), 1);
    // Soil type, top and bottom depth, caps, procedure, unit weight, friction angle, blow counts.
    QApplication::clipboard()->setText(
        "sand (FHWA Spec.)\t0\t10\t0\t0\tBeta Method\t115\t118\t\t\t15\t22\r\n"
        "clay (FHWA Spec.)\t10\t22\t0\t0\t\t118\t122\r\n"
        "clay (FHWA Spec.)\t22\t60\t0\t0\t\t125\t128\r\n");
    grid->View()->setFocus();
    grid->View()->setCurrentIndex(model->index(0, column("Soil Type")));
    form->Commands().EditPaste->trigger();
    QCOMPARE(form->Tables().D.RowCount(), 3);
    QCOMPARE(model->rowCount(), 3);
    const int codes[] = {scSand, scClay, scClay};
    for (int row = 0; row < 3; ++row) QCOMPARE(form->Tables().D.GetIntValue(lcSoilType, row), codes[row]);
    QCOMPARE(double(form->Tables().D.GetFloatValue(lcDepth, 2)), 60.0);
    QCOMPARE(layerData(0).GetIntValue(kSandMethodColumn, 0), int(smBeta));
    QCOMPARE(layerData(0).GetIntValue(PropertyColumn(scSand, TSoilProperty::BlowCount), 1), 22);
    QCOMPARE(model->index(2, column("Total Unit Weight", "bottom")).data().toString(), QString("128"));
    // The cohesion of the two clay layers, pasted at its own column.
    grid->View()->setCurrentIndex(model->index(1, column("Cohesion", "top")));
    QVERIFY(grid->PasteText("800\t1600\n2000\t3000\n"));
    QCOMPARE(double(layerData(2).GetFloatValue(PropertyColumn(scClay, TSoilProperty::Cohesion), 1)), 3000.0);
    // The paste was one step: undone, one layer again; redone, three.
    form->Commands().EditUndo->trigger();
    QCOMPARE(double(layerData(2).GetFloatValue(PropertyColumn(scClay, TSoilProperty::Cohesion), 1)), 0.0);
    form->Commands().EditUndo->trigger();
    QCOMPARE(form->Tables().D.RowCount(), 1);
    QCOMPARE(model->rowCount(), 1);
    form->Commands().EditRedo->trigger();
    form->Commands().EditRedo->trigger();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(double(layerData(2).GetFloatValue(PropertyColumn(scClay, TSoilProperty::Cohesion), 1)), 3000.0);

    // A cell typed into: a value below 0 is refused with the field's message.
    const QModelIndex weight = model->index(1, column("Total Unit Weight", "top"));
    grid->View()->setCurrentIndex(weight);
    grid->View()->edit(weight);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText("-5");
    QTest::keyClick(editor, Qt::Key_Return);  // the view takes the text once the key is handled
    QTRY_COMPARE(messages, QStringList{"Entry must be greater than or equal to 0"});
    QCOMPARE(weight.data().toString(), QString("118"));
    QCOMPARE(grid->View()->currentIndex(), weight);  // refused: the cell stays current
    grid->View()->edit(weight);
    editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText("2*60");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(weight.data().toString(), QString("120"));
    QCOMPARE(grid->View()->currentIndex(), model->index(2, weight.column()));  // Enter moves down
    QTest::keyClick(grid->View(), Qt::Key_Return);  // at the last row: the next column's first row
    QCOMPARE(grid->View()->currentIndex(), model->index(0, weight.column() + 1));
    // The values the clay model has no use for cannot be entered.
    QVERIFY(!(model->flags(model->index(1, column("Friction Angle", "top"))) & Qt::ItemIsEditable));
    QTest::keyClick(grid->View(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(weight.data().toString(), QString("118"));
    QTest::keyClick(grid->View(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(weight.data().toString(), QString("120"));
    // The layer window shows the same layers.
    QCOMPARE(layers()->Grid()->rowCount(), 3);

    // Copied with its headers, for a spreadsheet.
    form->Commands().ProfileGrid->trigger();
    grid->View()->clearSelection();
    grid->Copy();
    const QStringList copied = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(copied.size(), 4);
    QVERIFY(copied[0].startsWith("Layer\tSoil Type\tDepth at Top (ft)\tDepth at Bottom (ft)\t"));
    QVERIFY(copied[3].startsWith("3\tclay (FHWA Spec.)\t22\t60\t"));

    // Run: the engine's estimates of alpha and Nc show, marked, until the next edit.
    TDataForm *pier = open(form->Commands().PierProperties, "Drilled-Pylar Properties");
    pier->Fields().at(0)->setText("3");
    pier->Fields().at(6)->setText("3600000");
    form->Commands().MethodLength->trigger();
    form->DataWindow("Drilled Pylar Length")->Form()->Fields().at(0)->setText("35");
    form->SaveDialog = [&](const QString &, const QString &) { return work.filePath("grid.pq8d"); };
    form->RunAnalysis();
    QVERIFY2(form->ShowOutput(), qPrintable(messages.join('|')));
    form->Commands().ProfileGrid->trigger();
    const QString alpha = model->index(1, column("Alpha Factor", "top")).data().toString();
    QVERIFY2(alpha.endsWith(" (*)") && alpha != "0 (*)", qPrintable(alpha));
    QCOMPARE(model->index(1, column("Alpha Factor", "top")).data(Qt::EditRole).toString(), QString("0"));
    QVERIFY(grid->EstimatesNote()->isVisibleTo(grid));
    // An edit in another window is enough.
    open(form->Commands().PierProperties, "Drilled-Pylar Properties")->Fields().at(0)->setText("3.5");
    QVERIFY(form->DeactivateActiveChild());
    QTRY_COMPARE(model->index(1, column("Alpha Factor", "top")).data().toString(), QString("0"));
    QVERIFY(!grid->EstimatesNote()->isVisibleTo(grid));
  }

  // With "Only the columns of the models in the profile", a layer given
  // another model brings that model's columns; a block with the grid's
  // headers goes into the columns they name.
  void profileGridShowsTheColumnsOfTheModelsInUse() {
    form->Commands().ProfileGrid->trigger();
    auto *grid = qobject_cast<TSoilProfileGrid *>(form->DataWindow("Soil Profile Grid")->Form());
    TProfileGridModel *model = grid->Model();
    const auto headers = [&] {
      QStringList list;
      for (int c = 0; c < model->columnCount(); ++c) list << model->Grid().Header(c, kUnitsEnglish);
      return list;
    };
    const int all = model->columnCount();
    grid->Compact()->setChecked(true);
    QVERIFY(model->columnCount() < all);
    QVERIFY(headers().contains("Friction Angle, top (Deg)"));
    QVERIFY(!headers().contains("Rock Compressive Strength, top (lbs/ft^2)"));
    QVERIFY(model->setData(model->index(0, 1), "weak rock (FHWA Spec.)"));
    QTRY_VERIFY(headers().contains("Rock Compressive Strength, top (lbs/ft^2)"));
    QVERIFY(!headers().contains("Friction Angle, top (Deg)"));
    // A block with headers, pasted anywhere: into the columns it names.
    grid->View()->setCurrentIndex(model->index(0, 3));
    QVERIFY(grid->PasteText("Soil Type\tDepth at Bottom (ft)\tCohesion, top (lbs/ft^2)\n"
                            "clay (FHWA Spec.)\t12\t1500\n"));
    QCOMPARE(form->Tables().D.GetIntValue(lcSoilType, 0), int(scClay));
    QCOMPARE(double(layerData(0).GetFloatValue(PropertyColumn(scClay, TSoilProperty::Cohesion), 0)), 1500.0);
    QTRY_VERIFY(headers().contains("Cohesion, bottom (lbs/ft^2)"));
    grid->Compact()->setChecked(false);
    QCOMPARE(model->columnCount(), all);
  }

  void completeProjectFromScratchRunsAndLoadsResults() {
    auto *title = qobject_cast<TdlgTitle *>(open(form->Commands().Title, "Project Title"));
    title->Edit()->setText("Three layers: sand, clay, weak rock");
    TDataForm *pier = open(form->Commands().PierProperties, "Drilled-Pylar Properties");
    pier->Fields().at(0)->setText("3");         // diameter, ft
    pier->Fields().at(6)->setText("3600000");   // concrete modulus, lbs/in^2
    form->Commands().MethodLength->trigger();
    TDataForm *length = form->DataWindow("Drilled Pylar Length")->Form();
    length->Fields().at(0)->setText("35");
    TDataForm *water = open(form->Commands().WaterTable, "Water Table");
    water->Fields().at(0)->setText("6");

    TDlgSoilLayers *window = layers();
    window->AddButton()->click();
    window->AddButton()->click();
    const char *depths[] = {"10", "22", "60"};
    for (int row = 0; row < 3; ++row) window->CellField(row, lcDepth)->setText(depths[row]);
    chooseModel(window, 1, scClay);
    chooseModel(window, 2, scWeakRock);
    whenPropertyDialogOpens([](TDlgSoils &dialog) {  // sand: unit weight and blow counts, beta estimated
      dialog.MethodButton(smBeta)->click();
      dialog.Field(TDlgSoils::pgSand, 0, false)->setText("115");
      dialog.Field(TDlgSoils::pgSand, 0, true)->setText("118");
      dialog.Field(TDlgSoils::pgSand, 2, false)->setText("15");
      dialog.Field(TDlgSoils::pgSand, 2, true)->setText("22");
    });
    window->EditButton(0)->click();
    whenPropertyDialogOpens([](TDlgSoils &dialog) {  // clay: unit weight and cohesion
      dialog.Field(TDlgSoils::pgClay, 0, false)->setText("118");
      dialog.Field(TDlgSoils::pgClay, 1, false)->setText("800");
      dialog.Field(TDlgSoils::pgClay, 0, true)->setText("122");
      dialog.Field(TDlgSoils::pgClay, 1, true)->setText("1600");
    });
    window->EditButton(1)->click();
    whenPropertyDialogOpens([](TDlgSoils &dialog) {  // weak rock
      const char *values[][2] = {{"0", "40000"}, {"2", "7"}, {"3", "30"}, {"4", "3"}, {"5", "300000"}, {"6", "55"}};
      for (const auto &[column, value] : values)
        dialog.Field(TDlgSoils::pgWeakRock, QString(column).toInt(), false)->setText(value);
      dialog.Condition(false)->setCurrentIndex(0);
      dialog.CopyButton(TDlgSoils::pgWeakRock)->click();
      dialog.Field(TDlgSoils::pgWeakRock, 0, true)->setText("60000");
    });
    window->EditButton(2)->click();
    auto *options = qobject_cast<TDlgOptions *>(open(form->Commands().ControlOptions, "Control Options"));
    options->Increment()->setText("1");

    const QString file = work.filePath("first.pq8d");
    form->SaveDialog = [&](const QString &, const QString &) { return file; };
    form->RunAnalysis();
    QVERIFY2(!messages.isEmpty(), "no message after the run");
    QVERIFY2(messages[0].startsWith(
                 "Computations are completed.\rPlease, check output file for results or error messages.\r\rPier 1: "),
             qPrintable(messages[0]));
    QCOMPARE(messages.size(), 1);  // the results loaded without complaint
    QVERIFY(form->ShowOutput());
    QVERIFY(QFileInfo(work.filePath("first.pq8p")).size() > 0);
    // The total capacity against depth is loaded down to the pier's 35 ft.
    const TGraphPlot &total = form->Plots().pltTotal;
    QVERIFY(!total.fData.empty() && !total.fData.front().fData.empty());
    Extended deepest = 0, largest = 0;
    for (const TFloatPoint &point : total.fData.front().fData) {
      deepest = std::max(deepest, std::abs(point.y));
      largest = std::max(largest, point.x);
    }
    QVERIFY2(deepest >= 30 && deepest <= 36, qPrintable(QString::number(double(deepest))));
    QVERIFY(largest > 0);

    // The saved project holds what was typed.
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = saved.readAll().split('\n');
    QCOMPARE(lines.at(0).trimmed(), QByteArray("Three layers: sand, clay, weak rock"));
    QCOMPARE(lines.at(3), QByteArray("3 0 0 0 0 0 3600000 \r"));  // diameter, straight, concrete modulus
    QVERIFY(lines.at(4).startsWith("3 6 35 "));                   // layers, water table, length
    const QByteArray text = lines.join('\n');
    QVERIFY(text.contains("\n1 10 \r"));
    QVERIFY(text.contains("\n2 22 \r"));
    QVERIFY(text.contains("\n6 60 \r"));
    QVERIFY(text.contains("40000 1 7 30 3 "));
    QVERIFY(text.contains("60000 1 7 30 3 "));
    QCOMPARE(form->Tables().LayerData(0)->GetIntValue(kSandMethodColumn, 1), int(smBeta));
    QFile output(work.filePath("first.pq8o"));
    QVERIFY(output.open(QIODevice::ReadOnly));
    QVERIFY(output.size() > 1000);
  }
};

QTEST_MAIN(SoilDialogsTest)
#include "soil_uitest.moc"
