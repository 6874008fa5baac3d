// The 3-D View on a platform without OpenGL (the offscreen platform with no X
// display): opening it says what failed and opens no window, the scene
// cannot be rendered into an image and says why, and the program goes on.
#include "model/DataUnit.h"
#include "model/PltData.h"
#include "ui/Messages.h"
#include "ui/View3dCommands.h"
#include "ui/View3dUnit1.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QTest>

using namespace pylar;

class View3dNoGlTest : public QObject {
  Q_OBJECT

 private slots:
  void withoutOpenGLTheViewSaysWhatFailed() {
    if (ProbeOpenGL().isEmpty()) QSKIP("this platform offers OpenGL after all");
    QStringList messages;
    SetMessageHook([&](QWidget *, const QString &text) { messages << text; });
    TProjectTables tables;
    std::unique_ptr<TProgramData> data = TProgramData::Create(tables);
    TResultPlots plots;
    QMdiArea area;
    area.show();
    QCOMPARE(TDlgBlock::Show(&area, *data, plots), static_cast<TDlgBlock *>(nullptr));
    QCOMPARE(area.subWindowList().size(), 0);
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].startsWith("The 3-D View cannot be opened: ") && messages[0].contains("OpenGL"),
             qPrintable(messages[0]));
    const TScenePicture picture = RenderScene3d(*data, plots, TView3dOptions{}, QSize(320, 200));
    QVERIFY(picture.image.isNull());
    QVERIFY2(picture.error.startsWith("The 3-D View cannot be drawn: "), qPrintable(picture.error));
    // The program goes on: the "3D View" command asks again, fails the same
    // way and leaves the 3D menu and buttons hidden.
    TView3dCommands commands;
    QCOMPARE(commands.ShowView(&area, *data, plots), static_cast<TDlgBlock *>(nullptr));
    QCOMPARE(messages.size(), 2);
    QVERIFY(!commands.Menu()->menuAction()->isVisible());
    QCOMPARE(area.subWindowList().size(), 0);
    SetMessageHook({});
  }
};

int main(int argc, char *argv[]) {
  // No X display: the offscreen platform then has no OpenGL.
  qunsetenv("DISPLAY");
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  View3dNoGlTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "view3d_nogl_uitest.moc"
