// TDataEdit driven as a user would: typing, Enter, leaving the field.
#include "ui/DataEdit.h"
#include "ui/Messages.h"

#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>
#include <QtTest>

using namespace pylar;

class DataEditTest : public QObject {
  Q_OBJECT

 private:
  QStringList messages;
  QWidget *window = nullptr;
  TDataEdit *field = nullptr;
  TDataEdit *other = nullptr;
  QLabel *label = nullptr;

  void typeAndEnter(const QString &text) {
    field->setFocus();
    field->setText(text);
    QTest::keyClick(field, Qt::Key_Return);
  }

 private slots:
  void init() {
    QLocale::setDefault(QLocale::c());
    messages.clear();
    SetMessageHook([this](QWidget *, const QString &text) { messages << text; });
    window = new QWidget;
    auto *layout = new QVBoxLayout(window);
    label = new QLabel(window);
    field = new TDataEdit(window);
    other = new TDataEdit(window);
    layout->addWidget(label);
    layout->addWidget(field);
    layout->addWidget(other);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
    field->setFocus();
  }

  void cleanup() {
    delete window;
    SetMessageHook({});
    QLocale::setDefault(QLocale::c());
  }

  void operatorOverSelectedValueExtendsIt() {
    field->setText("10");
    field->selectAll();
    QTest::keyClicks(field, "*2");
    QCOMPARE(field->text(), QString("10*2"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->text(), QString("20"));
    QCOMPARE(field->selectedText(), QString("20"));  // Enter selects the whole value
    QVERIFY(field->IsValid());
    QVERIFY(messages.isEmpty());
    // A digit over the selection replaces it as usual.
    QTest::keyClicks(field, "7");
    QCOMPARE(field->text(), QString("7"));
  }

  void rangeFailuresHoldTheBound_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("held");
    QTest::newRow("below") << "-1" << "Entry must be greater than or equal to 0" << "0";
    QTest::newRow("above") << "2*60" << "Entry must be less than or equal to 100.5" << "100.5";
  }
  void rangeFailuresHoldTheBound() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, held);
    field->SetMinVal(0);
    field->SetMaxVal(100.5L);
    typeAndEnter(typed);
    QCOMPARE(messages, QStringList{message});
    QCOMPARE(field->text(), held);
    QVERIFY(!field->IsValid());
  }

  void leavingTheFieldValidatesAndReturnsTheFocus() {
    field->SetMinVal(0);
    field->setText("-5");
    other->setFocus();
    QCOMPARE(messages, QStringList{"Entry must be greater than or equal to 0"});
    QTRY_VERIFY(field->hasFocus());
    QCOMPARE(field->text(), QString("0"));
    // Leaving with a valid value moves on and rewrites the value formatted.
    field->setText("1/8");
    other->setFocus();
    QTRY_VERIFY(other->hasFocus());
    QCOMPARE(field->text(), QString("0.125"));
    QCOMPARE(messages.size(), 1);
  }

  void integerOnlyField_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("fraction") << "2.5" << "Entry must be an integer.";
    QTest::newRow("letters") << "abc" << "Entry must be a valid integer.";
    QTest::newRow("blank") << "" << "Entry must be a valid integer.";
    QTest::newRow("whole") << "5*3" << "";
  }
  void integerOnlyField() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    field->SetIntegerOnly(true);
    typeAndEnter(typed);
    if (message.isEmpty()) {
      QVERIFY(messages.isEmpty());
      QCOMPARE(field->text(), QString("15"));
    } else {
      QCOMPARE(messages, QStringList{message});
      QCOMPARE(field->text(), typed);  // left for the user to correct
    }
  }

  void evaluatorMessagesReachTheUser() {
    typeAndEnter("1/(3-3)");
    QCOMPARE(messages, QStringList{"Entry could not be evaluated:\rdivision by zero"});
    QCOMPARE(field->text(), QString("1/(3-3)"));
    QVERIFY(!field->CloseQuery());
    field->setText("sqrt(2)");
    QVERIFY(field->CloseQuery());
    QCOMPARE(field->text(), QString("1.4142136"));
  }

  void labelShowsCaptionAndUnits() {
    field->SetEditLabel(label);
    field->SetCaption("1. Total Unit Weight");
    QCOMPARE(label->text(), QString("1. Total Unit Weight"));
    QCOMPARE(label->buddy(), field);
    field->SetUnitsString("F/L2^3");
    QCOMPARE(label->text(), QString("1. Total Unit Weight (lbs/ft^3)"));
    field->SetUnits(2);
    QCOMPARE(label->text(), QString("1. Total Unit Weight (kN/m^3)"));
    field->SetUnits(7);
    QCOMPARE(field->Units(), 3);
    QCOMPARE(label->text(), QString("1. Total Unit Weight (F/L2^3)"));
    field->SetUnits(0);
    QCOMPARE(field->Units(), 1);
    field->setEnabled(false);
    QVERIFY(!label->isEnabled());
  }

  void boundsAndNumberClamping() {
    QCOMPARE(field->text(), QString("0"));
    QCOMPARE(field->MinVal(), TDataEdit::kDefaultMinVal);
    field->SetMinVal(5);  // above the number: the number follows
    QCOMPARE(field->text(), QString("5"));
    field->SetMaxVal(2);  // below the minimum: raised to it
    QCOMPARE(field->MaxVal(), 5.0L);
    field->SetMaxVal(50);
    field->SetNumber(80);
    QCOMPARE(field->text(), QString("50"));
    field->SetMaxVal(20);
    QCOMPARE(field->text(), QString("20"));
    field->SetNumber(-3);
    QCOMPARE(field->text(), QString("5"));
    field->SetMaxVal(1e300L);
    field->SetIntegerOnly(true);  // bounds fall into the 32-bit range
    QCOMPARE(field->MaxVal(), 2147483647.0L);
    field->SetLoading(true);
    field->SetMinVal(1e10L);  // stored as given while a layout loads
    QCOMPARE(field->MinVal(), 1e10L);
    field->SetLoading(false);
    field->SetHex(true);
    field->SetNumber(3e9L);
    QCOMPARE(field->text(), QString("$7FFFFFFF"));
  }

  void commaLocaleReadsAndShowsComma() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    typeAndEnter("2,5*2");
    QCOMPARE(field->text(), QString("5"));
    typeAndEnter("1/4");
    QCOMPARE(field->text(), QString("0,25"));
    field->SetMinVal(0.5L);
    typeAndEnter("0");
    QCOMPARE(messages, QStringList{"Entry must be greater than or equal to 0,5"});
  }
};

QTEST_MAIN(DataEditTest)
#include "dataedit_uitest.moc"
