// The 3-D View under a real X server with Mesa's software OpenGL: the frames
// are read back from the framebuffer and their pixels checked (nothing but
// the axes with every option off, a blue water table, twelve layers whose
// colours repeat after ten, the capacity curves beside the pier), the label
// texts written over the frame, Zoom In and Zoom Out, the "Combined Plots"
// window's size factor, the shared commands and the main window's "3D View",
// the saved picture, and the scene rendered without a window.
#include "FileSizeLimit.h"
#include "RunRecordFixture.h"
#include "model/DataUnit.h"
#include "model/PltData.h"
#include "ui/DataEdit.h"
#include "ui/Main.h"
#include "ui/Messages.h"
#include "ui/Table.h"
#include "ui/View3dCommands.h"
#include "ui/View3dUnit1.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QCheckBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QOpenGLContext>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>
#include <memory>

using namespace pylar;

namespace {

const QSize kViewSize(800, 600);

struct TProjectFixture {
  TProjectTables tables;
  std::unique_ptr<TProgramData> data;
  TResultPlots plots;

  explicit TProjectFixture(const QString &example) {
    const QString path = QStringLiteral(PYLAR_SOURCE_DIR "/examples/") + example + QStringLiteral(".pq8d");
    auto read = TProgramData::CreateFromFile(tables, path, ffVersion8);
    if (!read.error.isEmpty()) qFatal("%s", qPrintable(read.error));
    data = std::move(read.data);
  }
  // The plots of the example's reviewed engine run.
  bool LoadPlots(const QString &example) {
    const QString path = QStringLiteral(PYLAR_SOURCE_DIR "/engine/tests/golden/") + example + QStringLiteral(".pq8p");
    return ReadPlotData(path, PlotDataContext(*data), plots).ok;
  }
};

bool isWhite(QRgb c) { return qRed(c) > 250 && qGreen(c) > 250 && qBlue(c) > 250; }

// Non-white pixels of an image.
int inkCount(const QImage &image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += !isWhite(image.pixel(x, y));
  return n;
}

}  // namespace

class View3dTest : public QObject {
  Q_OBJECT

 private:
  QMdiArea *fArea = nullptr;
  QStringList fMessages;

  TDlgBlock *open(TProjectFixture &project) {
    TDlgBlock *view = TDlgBlock::Show(fArea, *project.data, project.plots);
    if (!view) return nullptr;
    auto *frame = qobject_cast<QMdiSubWindow *>(view->parentWidget());
    frame->resize(frame->size() - view->GlWindow()->size() + kViewSize);
    QTest::qWait(50);
    return view;
  }
  QImage frame(TDlgBlock *view) {
    const QImage image = view->Picture().convertToFormat(QImage::Format_RGB32);
    return image;
  }
  void closeAll() {
    fArea->closeAllSubWindows();
    QTest::qWait(20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

 private slots:
  void initTestCase() {
    SetMessageHook([this](QWidget *, const QString &text) { fMessages << text; });
    fArea = new QMdiArea;
    fArea->resize(1100, 900);
    fArea->show();
    QVERIFY(QTest::qWaitForWindowExposed(fArea));
  }
  void cleanupTestCase() {
    closeAll();
    delete fArea;
  }
  void cleanup() { closeAll(); }

  void theWindowGetsItsContextAndSize() {
    TProjectFixture project(QStringLiteral("deep-profile-lrfd"));
    TDlgBlock *view = open(project);
    QVERIFY2(view, qPrintable(fMessages.join('\n')));
    QCOMPARE(view->windowTitle(), QStringLiteral("3-D View"));
    QCOMPARE(TDlgBlock::Instance(), view);
    QCOMPARE(view->GlWindow()->size(), kViewSize);
    const QImage image = frame(view);
    QCOMPARE(image.size(), kViewSize);
    QVERIFY(view->GlWindow()->ContextError().isEmpty());
    QVERIFY(view->GlWindow()->context()->format().profile() != QSurfaceFormat::CoreProfile);
    qInfo("depth buffer of the frame: %d bits (the context was asked for 32)", view->GlWindow()->DepthBits());
    QVERIFY(view->GlWindow()->DepthBits() >= 16);
    // A second Show brings the same window forward.
    QCOMPARE(TDlgBlock::Show(fArea, *project.data, project.plots), view);
    QCOMPARE(fArea->subWindowList().size(), 1);
  }

  void everyOptionOffLeavesOnlyTheAxes() {
    TProjectFixture project(QStringLiteral("deep-profile-lrfd"));
    TDlgBlock *view = open(project);
    QVERIFY(view);
    QVERIFY(inkCount(frame(view)) > 10000);  // the full scene
    TView3dOptions options = TView3dOptions::Nothing();
    options.ShowLocalAxes = true;
    view->SetOptions(options);
    QImage image = frame(view);
    // The axes start at the ground on the pier axis and are 80 pixels long.
    const QPointF origin = ProjectToWindow(view->View(), kViewSize, WorldPoint(0));
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QRgb c = image.pixel(x, y);
        if (isWhite(c)) continue;
        ++ink;
        QVERIFY2(std::hypot(x - origin.x(), y - origin.y()) < 110, qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
      }
    QVERIFY(ink > 100);
    QCOMPARE(view->GlWindow()->Texts().size(), std::size_t(3));  // "D", "Y", "X"
    view->SetOptions(TView3dOptions::Nothing());
    QCOMPARE(inkCount(frame(view)), 0);
  }

  void theWaterTableIsBlue() {
    TProjectFixture project(QStringLiteral("deep-profile-lrfd"));
    project.data->WTD = 30;
    TDlgBlock *view = open(project);
    QVERIFY(view);
    TView3dOptions options = TView3dOptions::Nothing();
    options.ShowWaterLevel = true;
    view->SetOptions(options);
    // Seen from a little above, the water table is a band of blue.
    TViewState tilted = view->View();
    tilted.rotY = 25;
    view->SetView(tilted);
    const QImage image = frame(view);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QRgb c = image.pixel(x, y);
        if (isWhite(c)) continue;
        ++ink;
        QVERIFY2(qBlue(c) > 200 && qBlue(c) - std::max(qRed(c), qGreen(c)) > 60,
                 qPrintable(QStringLiteral("not blue at %1,%2: %3").arg(x).arg(y).arg(c, 8, 16)));
      }
    QVERIFY(ink > 5000);
    // The face of the table: blue at alpha 0.75 over white.
    const QPoint centre = ProjectToWindow(tilted, kViewSize, WorldPoint(30, 8, 8)).toPoint();
    const QRgb face = image.pixel(centre);
    QVERIFY2(std::abs(qRed(face) - 64) <= 4 && qBlue(face) >= 250, qPrintable(QString::number(face, 16)));
  }

  void twelveLayersRepeatTheFirstColours() {
    TProjectFixture project(QStringLiteral("deep-profile-lrfd"));
    QCOMPARE(project.tables.D.RowCount(), 12);
    TDlgBlock *view = open(project);
    QVERIFY(view);
    TView3dOptions options = TView3dOptions::Nothing();
    options.ShowSoilLayers = true;
    view->SetOptions(options);
    const QImage image = frame(view);
    // The front face of each layer, half-way down it and away from the edges.
    std::vector<QRgb> colours;
    const TSceneProject scene = SceneProject(*project.data);
    for (const TSceneLayer &layer : scene.layers) {
      const QPoint at = ProjectToWindow(view->View(), kViewSize, WorldPoint((layer.top + layer.bottom) / 2, 10)).toPoint();
      colours.push_back(image.pixel(at));
    }
    auto close = [](QRgb a, QRgb b) {
      return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 &&
             std::abs(qBlue(a) - qBlue(b)) <= 2;
    };
    for (int i = 0; i < 12; ++i) {
      // Alpha 0.5 over white.
      const TRgb c = LayerColour(i);
      const QRgb expected = qRgb(int(std::lround(127.5 * c.r + 127.5)), int(std::lround(127.5 * c.g + 127.5)),
                                 int(std::lround(127.5 * c.b + 127.5)));
      QVERIFY2(close(colours[std::size_t(i)], expected),
               qPrintable(QStringLiteral("layer %1: %2 against %3").arg(i + 1).arg(colours[std::size_t(i)], 8, 16).arg(expected, 8, 16)));
    }
    QVERIFY(close(colours[10], colours[0]));
    QVERIFY(close(colours[11], colours[1]));
    QVERIFY(!close(colours[0], colours[1]));
  }

  void labelsAreWrittenBesideTheLayers() {
    TProjectFixture project(QStringLiteral("sand-asd-english"));
    TGridTable &layers = project.tables.D;
    QVERIFY(layers.RowCount() >= 2);
    layers.SetFloatValue(lcDepth, 0, 0.0005L);
    layers.SetFloatValue(lcDepth, 1, 12.5L);
    TDlgBlock *view = open(project);
    QVERIFY(view);
    TView3dOptions options = view->Options();
    options.ShowSoilLayerDepthLabels = true;
    options.ShowSoilLayerLabels = true;
    view->SetOptions(options);
    frame(view);
    QStringList texts;
    for (const auto &t : view->GlWindow()->Texts()) texts << t.text;
    QVERIFY2(texts.contains("5.000E-04 ft"), qPrintable(texts.join('|')));
    QVERIFY(texts.contains("12.500 ft"));
    QVERIFY(texts.contains("0.000 ft"));
    QVERIFY(texts.contains("Sand"));
  }

  void theCapacityCurvesStandBesideThePier() {
    TProjectFixture project(QStringLiteral("mixed-profile-belled"));
    QVERIFY(project.LoadPlots(QStringLiteral("mixed-profile-belled")));
    TDlgBlock *view = open(project);
    QVERIFY(view);
    QVERIFY(view->HasResults());
    TView3dOptions options = TView3dOptions::Nothing();
    options.ShowPylar = true;
    options.ShowUltimateEffects = true;
    options.ShowUltimateEffectsValues = true;
    options.ShowSkinFriction = options.ShowTipResistance = options.ShowTotalCapacity = true;
    view->SetOptions(options);
    const QImage image = frame(view);
    const double axisX = ProjectToWindow(view->View(), kViewSize, WorldPoint(0)).x();
    const double radius = project.data->DSTART / 2 * view->View().PixelsPerUnit();
    int red = 0, green = 0, blue = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = int(axisX + radius * 1.2); x < image.width(); ++x) {
        const QRgb c = image.pixel(x, y);
        red += qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
        green += qGreen(c) > 150 && qRed(c) < 60 && qBlue(c) < 60;
        blue += qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60;
      }
    QVERIFY2(red > 50 && green > 50 && blue > 50, qPrintable(QStringLiteral("%1 %2 %3").arg(red).arg(green).arg(blue)));
    // The largest total capacity, written where it is drawn, in the plot's force unit.
    Extended largest = 0;
    for (const TFloatPoint &p : project.plots.pltCombine.fData[2].fData) largest = std::max(largest, std::fabs(p.x));
    QStringList texts;
    for (const auto &t : view->GlWindow()->Texts()) texts << t.text;
    QVERIFY2(texts.contains(FormatGeneral(largest, 5, '.') + " tons"), qPrintable(texts.join('|')));
    // The curves reach out 2 D from the pier surface.
    options.ShowSkinFriction = options.ShowTipResistance = false;
    options.ShowUltimateEffectsValues = false;
    view->SetOptions(options);
    const QImage total = frame(view);
    int farthest = 0;
    for (int y = 0; y < total.height(); ++y)
      for (int x = 0; x < total.width(); ++x) {
        const QRgb c = total.pixel(x, y);
        if (qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60) farthest = std::max(farthest, x);
      }
    const double expected = axisX + radius + 2 * project.data->DSTART * view->View().PixelsPerUnit();
    QVERIFY2(std::abs(farthest - expected) <= 3, qPrintable(QStringLiteral("%1 against %2").arg(farthest).arg(expected)));
  }

  // The legend in the lower left corner names each curve drawn in its colour.
  void theLegendNamesTheCurveColours() {
    TProjectFixture project(QStringLiteral("mixed-profile-belled"));
    QVERIFY(project.LoadPlots(QStringLiteral("mixed-profile-belled")));
    TDlgBlock *view = open(project);
    QVERIFY(view);
    TView3dOptions options = TView3dOptions::Nothing();
    options.ShowUltimateEffects = true;
    options.ShowSkinFriction = options.ShowTipResistance = options.ShowTotalCapacity = true;
    view->SetOptions(options);
    const QRect corner(0, kViewSize.height() - 80, 200, 80);
    const auto colours = [&](const QImage &image) {
      int red = 0, green = 0, blue = 0, black = 0;
      for (int y = corner.top(); y <= corner.bottom(); ++y)
        for (int x = corner.left(); x <= corner.right(); ++x) {
          const QRgb c = image.pixel(x, y);
          red += qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
          green += qGreen(c) > 150 && qRed(c) < 80 && qBlue(c) < 80;
          blue += qBlue(c) > 200 && qRed(c) < 80 && qGreen(c) < 80;
          black += qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60;
        }
      return QList<int>{red, green, blue, black};
    };
    const QList<int> all = colours(frame(view));
    for (int n : all) QVERIFY2(n > 20, qPrintable(QString::number(n)));
    QStringList texts;
    for (const auto &t : view->GlWindow()->Texts())
      if (t.colour == QColor(Qt::red)) texts << t.text;
    QCOMPARE(texts, QStringList{QString::fromUtf8("\u2014\u2014 Skin Friction")});
    // Only the curves drawn are named; no curves, no legend.
    options.ShowTipResistance = false;
    view->SetOptions(options);
    QCOMPARE(colours(frame(view))[1], 0);
    options.ShowUltimateEffects = false;
    view->SetOptions(options);
    QCOMPARE(inkCount(frame(view).copy(corner)), 0);
  }

  // A wheel step zooms about the pointer: the point of the scene under it stays put.
  void theWheelZoomsAboutThePointer() {
    TProjectFixture project(QStringLiteral("deep-profile-lrfd"));
    TDlgBlock *view = open(project);
    QVERIFY(view);
    QWidget *gl = view->GlWindow();
    TViewState start = view->View();
    start.rotX = 20;
    view->SetView(start);
    const QPointF pointer(600, 150);
    // The point of the scene under the pointer, on the plane through the scene's centre.
    const QVector3D under = start.Rotation().inverted().map(QVector3D(float(pointer.x() - 400), float(300 - pointer.y()), 0)) /
                                float(start.PixelsPerUnit()) -
                            start.pan;
    const QImage before = frame(view);
    QWheelEvent wheel(pointer, gl->mapToGlobal(pointer), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(gl, &wheel);
    QCOMPARE(view->View().zoom, start.zoom * WheelZoomFactor(120));
    const QPointF after = ProjectToWindow(view->View(), kViewSize, under);
    QVERIFY2(std::hypot(after.x() - pointer.x(), after.y() - pointer.y()) < 0.05,
             qPrintable(QStringLiteral("%1,%2").arg(after.x()).arg(after.y())));
    QVERIFY(frame(view) != before);
    // And back with a step the other way.
    QWheelEvent back(pointer, gl->mapToGlobal(pointer), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(gl, &back);
    QVERIFY(std::fabs(view->View().zoom - start.zoom) < 1e-9);
  }

  void zoomInThenZoomOutReturns() {
    TProjectFixture project(QStringLiteral("deep-profile-lrfd"));
    TDlgBlock *view = open(project);
    QVERIFY(view);
    TView3dCommands commands;
    commands.Attach(view);
    auto tool = [&](const QString &caption) -> QAction * {
      for (QAction *a : commands.ToolActions())
        if (a->text() == caption) return a;
      return nullptr;
    };
    const QImage before = frame(view);
    const double zoom = view->View().zoom;
    tool("Zoom In")->trigger();
    QCOMPARE(view->View().zoom, zoom * 1.4142);
    QVERIFY(frame(view) != before);
    tool("Zoom Out")->trigger();
    QVERIFY(std::fabs(view->View().zoom - zoom) < 1e-4);
    const QImage after = frame(view);
    int differing = 0;
    for (int y = 0; y < after.height(); ++y)
      for (int x = 0; x < after.width(); ++x) differing += after.pixel(x, y) != before.pixel(x, y);
    QVERIFY2(differing < after.width() * after.height() / 1000, qPrintable(QString::number(differing)));
    // Restart View undoes a rotation and a pan.
    TViewState moved = view->View();
    moved.rotX = 40;
    moved.pan += QVector3D(3, 4, 5);
    view->SetView(moved);
    tool("Restart View")->trigger();
    QCOMPARE(view->View().rotX, 0.0);
    QCOMPARE(view->View().pan, StartView(view->View().extents, kViewSize).pan);
  }

  void theMouseRotatesPansAndZoomsAWindow() {
    TProjectFixture project(QStringLiteral("deep-profile-lrfd"));
    TDlgBlock *view = open(project);
    QVERIFY(view);
    QWidget *gl = view->GlWindow();
    const TViewState start = view->View();
    view->SetMouseOption(moRotating);
    QTest::mousePress(gl, Qt::LeftButton, {}, QPoint(400, 300));
    QMouseEvent move(QEvent::MouseMove, QPointF(500, 300), gl->mapToGlobal(QPointF(500, 300)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(gl, &move);
    QTest::mouseRelease(gl, Qt::LeftButton, {}, QPoint(500, 300));
    QVERIFY(std::fabs(view->View().rotX - start.rotX) > 5);

    view->SetView(start);
    view->SetMouseOption(moZoomWindow);
    QVERIFY(view->ZoomWindowBoxEnabled);
    QTest::mousePress(gl, Qt::LeftButton, {}, QPoint(300, 200));
    QMouseEvent drag(QEvent::MouseMove, QPointF(500, 300), gl->mapToGlobal(QPointF(500, 300)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(gl, &drag);
    QTest::mouseRelease(gl, Qt::LeftButton, {}, QPoint(500, 300));
    QCOMPARE(view->View().zoom, start.zoom * std::min(800.0 / 200, 600.0 / 100));
  }

  void theSizeFactorArrowsFollowTheLeadingDigit() {
    TProjectFixture project(QStringLiteral("mixed-profile-belled"));
    QVERIFY(project.LoadPlots(QStringLiteral("mixed-profile-belled")));
    TDlgBlock *view = open(project);
    QVERIFY(view);
    view->UltimateEffectsWindow();
    TDlgPileDiagrams *window = view->CombinedPlotsWindow();
    QVERIFY(window);
    QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(window->windowTitle(), QStringLiteral("Combined Plots"));
    // Everything but "Show Plots" waits for it.
    QVERIFY(!window->SizeFactor()->isEnabled());
    window->ShowPlots()->setChecked(true);
    QVERIFY(view->Options().ShowUltimateEffects);
    QVERIFY(window->SizeFactor()->isEnabled());
    QCOMPARE(view->Options().UltimateEffectsFactor, 1.0);
    auto arrow = [&](Qt::ArrowType type) {
      for (QToolButton *b : window->findChildren<QToolButton *>())
        if (b->arrowType() == type) return b;
      return static_cast<QToolButton *>(nullptr);
    };
    QTest::mouseClick(arrow(Qt::DownArrow), Qt::LeftButton);
    QCOMPARE(view->Options().UltimateEffectsFactor, 0.9);
    QCOMPARE(window->SizeFactor()->text(), QStringLiteral("0.9"));
    window->SizeFactor()->setText("9");
    window->SizeFactor()->setFocus();
    QTest::keyClick(window->SizeFactor(), Qt::Key_Up);
    QCOMPARE(view->Options().UltimateEffectsFactor, 10.0);
    // A typed number sets the factor; a text that is no number leaves it.
    window->SizeFactor()->setText("2.5");
    QTest::keyClick(window->SizeFactor(), Qt::Key_Return);
    QTest::qWait(10);
    QCOMPARE(view->Options().UltimateEffectsFactor, 2.5);
    fMessages.clear();
    window->SizeFactor()->setText("abc");
    QTest::keyClick(window->SizeFactor(), Qt::Key_Return);
    QTest::qWait(10);
    QCOMPARE(view->Options().UltimateEffectsFactor, 2.5);
    QCOMPARE(fMessages.size(), 1);
    // Closing the view validates the field, reports the text and closes.
    auto *frame = qobject_cast<QMdiSubWindow *>(view->parentWidget());
    fMessages.clear();
    window->SizeFactor()->setText("abc");
    frame->close();
    QCOMPARE(fMessages.size(), 1);
    QCOMPARE(view->Options().UltimateEffectsFactor, 2.5);
    QTest::qWait(10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!TDlgBlock::Instance());
  }

  void theCommandsShowWhileTheViewIsOpen() {
    TProjectFixture project(QStringLiteral("mixed-profile-belled"));
    TView3dCommands commands;
    QVERIFY(!commands.Menu()->menuAction()->isVisible());
    for (QAction *a : commands.ToolActions()) QVERIFY(!a->isVisible());
    QStringList captions;
    for (QAction *a : commands.MenuActions()) captions << a->text();
    QCOMPARE(captions, (QStringList{"Pylar", "Water Level", "Soil Layers", "Layer Labels", "Layer Depths",
                                    "Global Axes", "Ultimate Skin Friction", "Ultimate Tip Resistance",
                                    "Ultimate Total Capacity", "Combined Plots", "Save Picture..."}));
    TDlgBlock *view = commands.ShowView(fArea, *project.data, project.plots);
    QVERIFY(view);
    QCOMPARE(commands.View(), view);
    QVERIFY(commands.Menu()->menuAction()->isVisible());
    for (QAction *a : commands.ToolActions()) QVERIFY(a->isVisible());
    auto item = [&](const QString &caption) {
      for (QAction *a : commands.MenuActions())
        if (a->text() == caption) return a;
      return static_cast<QAction *>(nullptr);
    };
    QVERIFY(!item("Ultimate Skin Friction")->isVisible());
    commands.UpdateMenu(false);
    QVERIFY(item("Pylar")->isChecked());
    QVERIFY(!item("Layer Labels")->isChecked());
    QVERIFY(item("Layer Labels")->isEnabled());
    QVERIFY(!item("Combined Plots")->isEnabled());  // no results
    item("Soil Layers")->trigger();
    QVERIFY(!view->Options().ShowSoilLayers);
    commands.UpdateMenu(false);
    QVERIFY(!item("Soil Layers")->isChecked());
    QVERIFY(!item("Layer Labels")->isEnabled());
    item("Water Level")->trigger();
    QVERIFY(!view->Options().ShowWaterLevel);
    // With results the result items apply while the pier is shown.
    QVERIFY(project.LoadPlots(QStringLiteral("mixed-profile-belled")));
    commands.UpdateMenu(true);
    QVERIFY(item("Combined Plots")->isEnabled());
    item("Pylar")->trigger();
    commands.UpdateMenu(true);
    QVERIFY(!item("Combined Plots")->isEnabled());
    // The mouse-mode buttons: one pressed at a time.
    for (QAction *a : commands.ToolActions())
      if (a->text() == "Panning") a->trigger();
    QCOMPARE(view->MouseOption(), int(moPanning));
    int pressed = 0;
    for (QAction *a : commands.ToolActions()) pressed += a->isChecked();
    QCOMPARE(pressed, 1);
    // Closing the view hides the menu and the buttons.
    qobject_cast<QMdiSubWindow *>(view->parentWidget())->close();
    QTest::qWait(10);
    QVERIFY(!commands.Menu()->menuAction()->isVisible());
    for (QAction *a : commands.ToolActions()) QVERIFY(!a->isVisible());
    QVERIFY(!commands.View());
  }

  void theMainWindowShowsTheViewWithItsMenuAndButtons() {
    closeAll();
    QTemporaryDir dir;
    const QString project = dir.filePath("mixed-profile-belled.pq8d");
    QVERIFY(QFile::copy(PYLAR_SOURCE_DIR "/examples/mixed-profile-belled.pq8d", project));
    QVERIFY(QFile::copy(PYLAR_SOURCE_DIR "/engine/tests/golden/mixed-profile-belled.pq8p",
                        dir.filePath("mixed-profile-belled.pq8p")));
    QVERIFY(WriteRunRecord(project, 0));
    TMainForm main;
    main.resize(1200, 900);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    main.StartUp(project);
    QVERIFY(main.ShowOutput());
    TView3dCommands &commands = main.View3dCommands();
    QMenu *menu = commands.Menu();
    QVERIFY(main.menuBar()->actions().contains(menu->menuAction()));
    QVERIFY(!menu->menuAction()->isVisible());
    auto buttonShown = [&](QAction *a) { return main.ToolBar()->widgetForAction(a)->isVisible(); };
    for (QAction *a : commands.ToolActions()) QVERIFY(!buttonShown(a));

    main.Commands().View3D->trigger();
    TDlgBlock *view = TDlgBlock::Instance();
    QVERIFY2(view, qPrintable(fMessages.join('\n')));
    QCOMPARE(commands.View(), view);
    QVERIFY(menu->menuAction()->isVisible());
    for (QAction *a : commands.ToolActions()) QTRY_VERIFY(buttonShown(a));
    // The plots of the project's run are drawn beside the pier once chosen.
    emit menu->aboutToShow();
    QAction *combined = commands.MenuActions()[9];
    QCOMPARE(combined->text(), QStringLiteral("Combined Plots"));
    QVERIFY(combined->isEnabled());
    combined->trigger();
    QVERIFY(view->CombinedPlotsWindow() && view->CombinedPlotsWindow()->isVisible());
    view->CombinedPlotsWindow()->ShowPlots()->setChecked(true);
    QVERIFY(view->Options().ShowUltimateEffects);
    // Placed about the point at 3/4 of the main window's width and half its height.
    const QRect frame = view->CombinedPlotsWindow()->frameGeometry();
    const QPoint anchor = main.mapToGlobal(QPoint(main.width() * 3 / 4, main.height() / 2));
    QVERIFY2(std::abs(frame.center().x() - anchor.x()) < 30 && std::abs(frame.center().y() - anchor.y()) < 30,
             qPrintable(QStringLiteral("%1,%2 against %3,%4").arg(frame.center().x()).arg(frame.center().y())
                            .arg(anchor.x()).arg(anchor.y())));
    // The command again brings the same window forward.
    main.Commands().View3D->trigger();
    QCOMPARE(main.MdiArea()->subWindowList().size(), 1);
    // A new project closes the view, and the menu and buttons go.
    main.SetChanged(false);
    main.FileNew();
    QTest::qWait(10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!TDlgBlock::Instance());
    QVERIFY(!menu->menuAction()->isVisible());
    for (QAction *a : commands.ToolActions()) QTRY_VERIFY(!buttonShown(a));
  }

  void thePictureIsSavedAsPng() {
    TProjectFixture project(QStringLiteral("deep-profile-lrfd"));
    TDlgBlock *view = open(project);
    QVERIFY(view);
    QTemporaryDir dir;
    view->SaveDialog = [&] { return dir.filePath("scene"); };
    view->SavePictureClick();
    QImage saved(dir.filePath("scene.png"), "PNG");
    QCOMPARE(saved.size(), kViewSize);
    QVERIFY(inkCount(saved.convertToFormat(QImage::Format_RGB32)) > 10000);
    view->SaveDialog = [] { return QString(); };  // cancelled: nothing
    fMessages.clear();
    view->SavePictureClick();
    QVERIFY(fMessages.isEmpty());
    view->SaveDialog = [&] { return dir.filePath("no-such-folder/scene.png"); };
    view->SavePictureClick();
    QCOMPARE(fMessages.size(), 1);
    // The disk fills up part way: the picture saved before stays as it was,
    // nothing half-written is left, and the message says why.
    fMessages.clear();
    QFile earlier(dir.filePath("scene.png"));
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    const QByteArray before = earlier.readAll();
    earlier.close();
    view->SaveDialog = [&] { return dir.filePath("scene.png"); };
    {
      const TFileSizeLimit full(4096);
      QVERIFY(full.Active());
      view->SavePictureClick();
    }
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"scene.png"});
    QCOMPARE(fMessages, QStringList{"The picture could not be saved to " + dir.filePath("scene.png") +
                                    " (File too large)"});
  }

  void theSceneIsRenderedWithoutAWindow() {
    TProjectFixture project(QStringLiteral("deep-profile-lrfd"));
    TView3dOptions options;
    TScenePicture picture = RenderScene3d(*project.data, project.plots, options, kViewSize);
    QVERIFY2(picture.error.isEmpty(), qPrintable(picture.error));
    qInfo("offscreen depth buffer: %d bits", picture.depthBits);
    QCOMPARE(picture.image.size(), kViewSize);
    // The same pixels as the window draws.
    TDlgBlock *view = open(project);
    QVERIFY(view);
    const QImage shown = frame(view);
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x) {
        const QRgb a = shown.pixel(x, y), b = picture.image.pixel(x, y);
        differing += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) > 6;
      }
    QVERIFY2(differing < shown.width() * shown.height() / 200, qPrintable(QString::number(differing)));
    QVERIFY(RenderScene3d(*project.data, project.plots, options, QSize(0, 0)).image.isNull());
  }
};

int main(int argc, char *argv[]) {
  // The main window's settings go to a folder of their own, never the user's.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  InstallTableForms();
  View3dTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "view3d_uitest.moc"
