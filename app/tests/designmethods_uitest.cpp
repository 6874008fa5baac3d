// The design methods in the desktop program's windows: the Control Options
// window writes the set and the scour depth and Undo takes them back, the
// AASHTO factors on request, the property dialog's per-layer choice (clay,
// not shale), and the main window's note of the set.
#include "model/ProjectHistory.h"
#include "model/SoilLayers.h"
#include "ui/DataEdit.h"
#include "ui/Main.h"
#include "ui/Options.h"
#include "ui/soils.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using namespace pylar;

namespace {

const QString kSamples = QStringLiteral(PYLAR_SOURCE_DIR "/samples/");

// The block of design methods of a project's file text; empty without one.
QByteArray blockOf(const TProgramData &project) {
  const QByteArray text = project.ToFileText();
  const qsizetype at = text.indexOf("METHODS");
  return at < 0 ? QByteArray() : text.mid(at);
}

}  // namespace

class DesignMethodsWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void optionsWindowWritesTheSetAndUndoTakesItBack();
  void aashtoFactorsOnRequestOnly();
  void propertyDialogEditsTheLayersChoice();
  void mainWindowNamesTheSet();
};

void DesignMethodsWindowsTest::optionsWindowWritesTheSetAndUndoTakesItBack() {
  TProjectTables tables;
  auto project = TProgramData::Create(tables);
  TProjectHistory history([&]() -> TProgramData & { return *project; });
  history.Reset();
  TProgramSettings settings;
  const TProjectAccess access{[&]() -> TProgramData & { return *project; }, [] {},
                              [&](const QString &what) { history.Commit(what); }};
  TDlgOptions form(access, settings);
  form.LoadFromModel();
  QVERIFY(form.Methods1999()->isChecked());
  QVERIFY(!form.ScourDepth()->isEnabled());
  QVERIFY(!form.AashtoFactors()->isEnabled());

  form.Methods2018()->click();
  QVERIFY(form.ScourDepth()->isEnabled());
  form.ScourDepth()->setText(QStringLiteral("12.5"));
  QVERIFY(form.WriteBack());
  QCOMPARE(project->DesignSet, 1);
  QCOMPARE(project->ScourDepth, 12.5L);
  QCOMPARE(blockOf(*project), QByteArray("METHODS 2018 \r\nSCOUR 12.5 \r\n"));
  QVERIFY(history.Commit(QStringLiteral("Control Options")));

  // Back to 1999: the scour depth is kept (written with the block), not used.
  form.Methods1999()->click();
  QVERIFY(!form.ScourDepth()->isEnabled());
  QVERIFY(form.WriteBack());
  QCOMPARE(blockOf(*project), QByteArray("METHODS 1999 \r\nSCOUR 12.5 \r\n"));
  QVERIFY(history.Commit(QStringLiteral("Control Options")));

  history.Stack().undo();
  QCOMPARE(project->DesignSet, 1);
  history.Stack().undo();
  QCOMPARE(project->DesignSet, 0);
  QCOMPARE(project->ScourDepth, 0.0L);
  QCOMPARE(blockOf(*project), QByteArray());
  history.Stack().redo();
  QCOMPARE(blockOf(*project), QByteArray("METHODS 2018 \r\nSCOUR 12.5 \r\n"));
  form.LoadFromModel();
  QVERIFY(form.Methods2018()->isChecked());
  QCOMPARE(form.ScourDepth()->Number(), 12.5L);
}

void DesignMethodsWindowsTest::aashtoFactorsOnRequestOnly() {
  TProjectTables tables;
  auto read = TProgramData::CreateFromFile(tables, kSamples + QStringLiteral("gec10-appendix-a-extreme-2018.pq8d"),
                                           ffVersion8);
  QVERIFY(read.error.isEmpty());
  TProgramData &project = *read.data;
  TProjectHistory history([&]() -> TProgramData & { return project; });
  history.Reset();
  TProgramSettings settings;
  const TProjectAccess access{[&]() -> TProgramData & { return project; }, [] {},
                              [&](const QString &what) { history.Commit(what); }};
  TDlgOptions form(access, settings);
  form.LoadFromModel();
  // The extreme-event project keeps its factors of 1 when the window writes back.
  QVERIFY(form.WriteBack());
  QCOMPARE(tables.D.GetFloatValue(lcLRFDSide, 3), 1.0L);
  form.AashtoFactors()->click();
  // Sand 0.55 / 0.50, clay 0.45 / 0.40.
  QCOMPARE(tables.D.GetFloatValue(lcLRFDSide, 0), 0.55L);
  QCOMPARE(tables.D.GetFloatValue(lcLRFDEnd, 0), 0.5L);
  QCOMPARE(tables.D.GetFloatValue(lcLRFDSide, 3), 0.45L);
  QCOMPARE(tables.D.GetFloatValue(lcLRFDEnd, 3), 0.4L);
  QCOMPARE(history.Stack().count(), 1);
  history.Stack().undo();
  QCOMPARE(tables.D.GetFloatValue(lcLRFDSide, 3), 1.0L);
}

void DesignMethodsWindowsTest::propertyDialogEditsTheLayersChoice() {
  TProjectTables tables;
  auto read = TProgramData::CreateFromFile(tables, kSamples + QStringLiteral("gec10-appendix-a-strength-2018.pq8d"),
                                           ffVersion8);
  QVERIFY(read.error.isEmpty());
  TProgramData &project = *read.data;
  int changes = 0;
  const TProjectAccess access{[&]() -> TProgramData & { return project; }, [&] { ++changes; }};
  {
    TDlgSoils dialog(access, 3);  // layer 4, clay tested CIUC
    QComboBox *test = dialog.LayerChoice(TDlgSoils::pgClay);
    QVERIFY(test);
    QVERIFY(!test->isHidden());
    QCOMPARE(test->currentText(), QStringLiteral("CIUC"));
    test->setCurrentIndex(1);
    QVERIFY(dialog.WriteBack());
  }
  QCOMPARE(LayerMethodValues(tables, 3).test, methods::StrengthTest::UC);
  QCOMPARE(changes, 1);
  {
    TDlgSoils dialog(access, 0);  // layer 1, sand
    QComboBox *kind = dialog.LayerChoice(TDlgSoils::pgSand);
    QCOMPARE(kind->currentText(), QStringLiteral("Clean"));
    kind->setCurrentIndex(2);
    QVERIFY(dialog.WriteBack());
  }
  QCOMPARE(blockOf(project), QByteArray("METHODS 2018 \r\nSCOUR 38 \r\nLAYER 1 SAND GRAVELLY \r\nLAYER 4 TEST UC \r\n"
                                        "LAYER 6 TEST CIUC \r\nLAYER 8 TEST CIUC \r\n"));
  // Shale shares the clay page but has no strength test.
  QVERIFY(ChangeLayerModel(tables, 7, scShale));
  TDlgSoils dialog(access, 7);
  QVERIFY(dialog.LayerChoice(TDlgSoils::pgClay)->isHidden());
  QVERIFY(dialog.WriteBack());
  QCOMPARE(blockOf(project), QByteArray("METHODS 2018 \r\nSCOUR 38 \r\nLAYER 1 SAND GRAVELLY \r\nLAYER 4 TEST UC \r\n"
                                        "LAYER 6 TEST CIUC \r\n"));
}

void DesignMethodsWindowsTest::mainWindowNamesTheSet() {
  TMainForm form;
  QCOMPARE(form.MethodsIndicator()->text(), QStringLiteral("Design methods: FHWA-IF-99-025 (1999)"));
  QVERIFY(form.OpenFileByExtension(kSamples + QStringLiteral("gec10-appendix-a-strength-2018.pq8d")));
  QCOMPARE(form.MethodsIndicator()->text(), QStringLiteral("Design methods: FHWA GEC-10 (2018)"));
}

QTEST_MAIN(DesignMethodsWindowsTest)
#include "designmethods_uitest.moc"
