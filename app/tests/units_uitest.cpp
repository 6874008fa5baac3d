// Switching the unit system and back with every data window open gives back
// the project as it was: a field that was not edited never writes its rounded
// display into the project.
#include "model/Main.h"
#include "ui/DataEdit.h"
#include "ui/DataForms.h"
#include "ui/Options.h"
#include "ui/SoilLayers.h"
#include "ui/VaryLength.h"
#include "ui/designchart.h"

#include <QDir>
#include <QtTest>

#include <memory>
#include <vector>

using namespace pylar;

class UnitSwitchTest : public QObject {
  Q_OBJECT

 private slots:
  void anUneditedFieldKeepsItsValue();
  void thereAndBackKeepsEverySample();
};

void UnitSwitchTest::anUneditedFieldKeepsItsValue() {
  TDataEdit edit;
  const Extended modulus = 24821.130541L;  // shown rounded
  edit.SetNumber(modulus);
  const QString shown = edit.text();
  QVERIFY(shown.size() < 12);
  QVERIFY(edit.CloseQuery());
  QCOMPARE(edit.text(), shown);
  QCOMPARE(edit.Number(), modulus);
  // An edit is taken as typed.
  edit.setText(QStringLiteral("2*3"));
  QVERIFY(edit.CloseQuery());
  QCOMPARE(edit.text(), QStringLiteral("6"));
  QCOMPARE(edit.Number(), 6.0L);
}

void UnitSwitchTest::thereAndBackKeepsEverySample() {
  const QDir examples(QStringLiteral(PYLAR_SOURCE_DIR "/examples"));
  const QStringList samples = examples.entryList({QStringLiteral("*.pq8d")}, QDir::Files, QDir::Name);
  QVERIFY(!samples.isEmpty());
  for (const QString &sample : samples) {
    TProjectTables tables;
    auto read = TProgramData::CreateFromFile(tables, examples.filePath(sample), ffVersion8);
    QVERIFY2(read.data && read.error.isEmpty(), qPrintable(sample));
    TProgramData &project = *read.data;
    const QByteArray before = project.ToFileText();

    TProgramSettings settings;
    const TProjectAccess access{[&]() -> TProgramData & { return project; }, [] {}};
    std::vector<std::unique_ptr<TDataForm>> forms;
    forms.emplace_back(new TfrmPylarpeneta(access));
    forms.emplace_back(new TfrmWaterDepth(access));
    forms.emplace_back(new TfrmSafetyFactor(access));
    forms.emplace_back(new TfrmPenetration(access));
    forms.emplace_back(new TfrmDesignLoad(access));
    forms.emplace_back(new TDlgOptions(access, settings));
    forms.emplace_back(new TfrmVaryLength(access));
    forms.emplace_back(new TfrmDesignCharts(access));
    forms.emplace_back(new TDlgSoilLayers(access));
    for (auto &form : forms) form->LoadFromModel();

    // What the main window does on a unit switch: every open window writes
    // back, the project converts, every window loads again.
    const int original = project.fUnits;
    for (int units : {original == kUnitsSI ? kUnitsEnglish : kUnitsSI, original}) {
      for (auto &form : forms) QVERIFY2(form->WriteBack(), qPrintable(sample + ": " + form->windowTitle()));
      project.SetUnits(units);
      for (auto &form : forms) form->LoadFromModel();
    }
    for (auto &form : forms) QVERIFY(form->WriteBack());
    QCOMPARE(QString::fromLatin1(project.ToFileText()), QString::fromLatin1(before));
  }
}

QTEST_MAIN(UnitSwitchTest)
#include "units_uitest.moc"
