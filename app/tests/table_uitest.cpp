// The table window: row buttons, committing cells, Enter, in-cell controls.
#include "ui/Messages.h"
#include "ui/Table.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QtTest>

using namespace pylar;

class TableFormTest : public QObject {
  Q_OBJECT

 private:
  QStringList messages;

  static TTableForm *form(TGridTable &table) {
    auto *f = dynamic_cast<TTableForm *>(table.View());
    if (f) f->activateWindow();
    return f;
  }

  // Two columns: blow counts 0..100 and a length.
  static void countsAndDepth(TGridTable &table) {
    table.Caption = "Counts";
    auto &counts = table.AddColumn<TIntColumn>();
    counts.Heading = QStringList{"Blow", "Counts"};
    counts.Maximum = 100;
    auto &depth = table.AddColumn<TFloatColumn>();
    depth.Heading = QStringList{"Depth"};
    depth.UnitsString = "L2";
  }

 private slots:
  void initTestCase() { InstallTableForms(); }
  void init() {
    messages.clear();
    SetMessageHook([this](QWidget *, const QString &text) { messages << text; });
  }
  void cleanup() { SetMessageHook({}); }

  void rowButtonsFollowTheLimits() {
    TGridTable table;
    countsAndDepth(table);
    table.SetMaxRows(3);
    table.Show();
    TTableForm *f = form(table);
    QVERIFY(f);
    QCOMPARE(table.RowCount(), 1);  // raised to MinRows on show
    QVERIFY(f->AddButton()->isVisible());
    QVERIFY(f->AddButton()->isEnabled());
    QVERIFY(f->InsertButton()->isEnabled());
    QVERIFY(!f->DeleteButton()->isEnabled());
    QTest::mouseClick(f->AddButton(), Qt::LeftButton);
    QTest::mouseClick(f->AddButton(), Qt::LeftButton);
    QCOMPARE(table.RowCount(), 3);
    QVERIFY(table.Changed());
    QVERIFY(!f->AddButton()->isEnabled());
    QVERIFY(!f->InsertButton()->isEnabled());
    QVERIFY(f->DeleteButton()->isEnabled());
    f->Grid()->setCurrentCell(1, 0);
    QTest::mouseClick(f->DeleteButton(), Qt::LeftButton);
    QCOMPARE(table.RowCount(), 2);
    QVERIFY(f->AddButton()->isEnabled());
    f->Grid()->setCurrentCell(-1, -1);
    QTest::mouseClick(f->InsertButton(), Qt::LeftButton);
    QCOMPARE(messages, QStringList{"Grid.Row not in valid range"});
    QCOMPARE(table.RowCount(), 2);

    TGridTable fixed;
    countsAndDepth(fixed);
    fixed.SetMinRows(2);
    fixed.SetMaxRows(2);
    fixed.Show();
    QVERIFY(!form(fixed)->AddButton()->isVisible());
    QVERIFY(!form(fixed)->DeleteButton()->isVisible());
  }

  void rejectedCellKeepsTheSelection_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("fraction") << 0 << "2.5" << "Entry must be an integer.";
    QTest::newRow("range") << 0 << "150" << "Entry must be between 0 and 100.";
    QTest::newRow("letters") << 1 << "1e+5"
                             << "Entry could not be evaluated:\rinvalid character(s) in expression";
  }
  void rejectedCellKeepsTheSelection() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    TGridTable table;
    countsAndDepth(table);
    table.SetRowCount(2);
    table.Show();
    TTableForm *f = form(table);
    f->Grid()->setCurrentCell(0, column);
    f->Grid()->item(0, column)->setText(typed);
    f->Grid()->setCurrentCell(1, column);
    QCOMPARE(messages, QStringList{message});
    QCOMPARE(f->Grid()->currentRow(), 0);
    QCOMPARE(f->Grid()->item(0, column)->text(), typed);
    QVERIFY(!f->close());  // closing is refused until the cell is valid
    QCOMPARE(messages.size(), 2);
    QVERIFY(!table.Changed());
    f->Grid()->item(0, column)->setText("40+2");
    QVERIFY(f->close());
    QCOMPARE(table.GetFloatValue(column, 0), 42.0L);
    QVERIFY(table.Changed());
    QTRY_VERIFY(table.View() == nullptr);  // the window is gone
  }

  void passingThroughACellKeepsItsValue() {
    TGridTable table;
    countsAndDepth(table);
    table.SetRowCount(2);
    table.SetFloatValue(1, 0, 1.0L / 3);
    table.Show();
    TTableForm *f = form(table);
    f->Grid()->setCurrentCell(0, 1);
    f->Grid()->setCurrentCell(1, 1);
    QCOMPARE(table.GetFloatValue(1, 0), 1.0L / 3);  // not rounded to the 8 digits shown
    QVERIFY(!table.Changed());
  }

  void enterMovesDownThenToTheNextColumn() {
    TGridTable table;
    countsAndDepth(table);
    table.SetRowCount(2);
    table.Show();
    TTableForm *f = form(table);
    QVERIFY(QTest::qWaitForWindowActive(f));
    TTableGrid *grid = f->Grid();
    grid->setFocus();
    grid->setCurrentCell(0, 1);
    grid->editItem(grid->item(0, 1));
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(editor && editor != grid);
    QTest::keyClicks(editor, "3*4");
    QTest::keyClick(editor, Qt::Key_Return);
    // The editor hands its text over once the key has been handled.
    QTRY_COMPARE(table.GetFloatValue(1, 0), 12.0L);
    QCOMPARE(grid->item(0, 1)->text(), QString("12"));
    QCOMPARE(std::make_pair(grid->currentRow(), grid->currentColumn()), std::make_pair(1, 1));
    QTest::keyClick(grid, Qt::Key_Return);  // last row, last column: back to the first
    QCOMPARE(std::make_pair(grid->currentRow(), grid->currentColumn()), std::make_pair(0, 0));
    QTest::keyClick(grid, Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(std::make_pair(grid->currentRow(), grid->currentColumn()), std::make_pair(0, 1));
  }

  void headingsRowNumbersAndVisibleRows() {
    TGridTable table;
    countsAndDepth(table);
    table.TopLeft = "Layer";
    table.SetRowCount(14);
    table.Show();
    TTableForm *f = form(table);
    TTableGrid *grid = f->Grid();
    QCOMPARE(grid->horizontalHeaderItem(0)->text(), QString("Blow\nCounts"));
    QCOMPARE(grid->horizontalHeaderItem(1)->text(), QString("Depth (ft)\n"));
    QCOMPARE(grid->verticalHeaderItem(13)->text(), QString("14"));
    const int shownRows = (grid->height() - 2 * grid->frameWidth() - grid->horizontalHeader()->height()) /
                          grid->rowHeight(0);
    QCOMPARE(shownRows, TTableForm::kMaxVisibleRows);
    table.SetUnits(kUnitsSI);
    QTRY_COMPARE(grid->horizontalHeaderItem(1)->text(), QString("Depth (m)\n"));
    table.Column(0).Visible = false;
    table.Update();
    QTRY_COMPARE(grid->columnCount(), 1);
    QCOMPARE(f->TableColumn(0), 1);
  }

  void comboBoxesAndTableButtons() {
    TGridTable sand, clay, layers;
    sand.Caption = "Sand Layer Data";
    sand.SetIdentifier(9401);
    sand.AddColumn<TFloatColumn>().Heading = QStringList{"Weight"};
    clay.Caption = "Clay Layer Data";
    clay.SetIdentifier(9402);
    clay.AddColumn<TFloatColumn>().Heading = QStringList{"Cohesion"};
    auto &kind = layers.AddColumn<TEnumColumn>();
    kind.Heading = QStringList{"Soil Type"};
    kind.Names = QStringList{"sand", "clay"};
    auto &data = layers.AddColumn<TTableColumn>();
    data.Heading = QStringList{"Layer Data"};
    data.Templates.AddIdentifier(9401);
    data.Templates.AddIdentifier(9402);
    layers.Caption = "Soil Layer Data";
    layers.SetRowCount(2);
    layers.Show();
    TTableForm *f = form(layers);
    auto *combo = qobject_cast<QComboBox *>(f->Grid()->indexWidget(f->Grid()->model()->index(1, 0)));
    auto *button = qobject_cast<QPushButton *>(f->Grid()->indexWidget(f->Grid()->model()->index(1, 1)));
    QVERIFY(combo && button);
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->maxVisibleItems(), 11);
    QCOMPARE(button->text(), QString("2: Sand Layer Data"));
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    QCOMPARE(layers.GetIntValue(0, 1), 2);
    QCOMPARE(layers.GetDataValue(1, 1)->Caption, QString("Clay Layer Data"));
    QTRY_COMPARE(qobject_cast<QPushButton *>(f->Grid()->indexWidget(f->Grid()->model()->index(1, 1)))->text(),
                 QString("2: Clay Layer Data"));
    QTest::mouseClick(qobject_cast<QPushButton *>(f->Grid()->indexWidget(f->Grid()->model()->index(1, 1))),
                      Qt::LeftButton);
    TGridTable *clayRow = layers.GetDataValue(1, 1);
    QVERIFY(clayRow->FormVisible());
    QCOMPARE(dynamic_cast<TTableForm *>(clayRow->View())->windowTitle(), QString("Clay Layer Data 2"));
    layers.DeleteRowGroup(0);  // renumbered: the open window's caption follows
    QTRY_COMPARE(dynamic_cast<TTableForm *>(clayRow->View())->windowTitle(), QString("Clay Layer Data 1"));
    layers.SetRowCount(0);  // the row's table goes, and its window with it
    QTest::qWait(10);
  }
};

QTEST_MAIN(TableFormTest)
#include "table_uitest.moc"
