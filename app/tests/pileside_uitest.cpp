// The elevation view without a display: one window in the main window's area
// that follows the project, what it paints, the depth read-out in its
// caption, the printed page and the saved pictures.
#include "model/DataUnit.h"
#include "model/ReportNumbers.h"
#include "model/SoilLayers.h"
#include "ui/PileSide.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

using namespace pylar;

namespace {

struct Project {
  TProjectTables tables;
  std::unique_ptr<TProgramData> data;

  explicit Project(const QString &example = {}) {
    if (example.isEmpty()) {
      data = TProgramData::Create(tables);
      return;
    }
    TProgramData::TReadResult read =
        TProgramData::CreateFromFile(tables, QStringLiteral(PYLAR_SOURCE_DIR "/examples/") + example, ffVersion8);
    if (!read.error.isEmpty()) qFatal("%s", qPrintable(read.error));
    data = std::move(read.data);
  }
  TDlgSideView::TProjectSource source() {
    return [this]() -> const TProgramData & { return *data; };
  }
  // A straight 3 ft pier 40 ft long in sand to 15 ft over clay to 50 ft,
  // water at 12 ft.
  void straightPier() {
    data->DSTART = 3;
    data->PD = 40;
    data->RATIO = 0;
    data->BELANGL = 0;
    data->WTD = 12;
    tables.D.SetFloatValue(lcDepth, 0, 15);
    AddLayer(tables);
    ChangeLayerModel(tables, 1, scClay);
    tables.D.SetFloatValue(lcDepth, 1, 50);
  }
};

QImage grabCanvas(TDlgSideView &view) { return view.Canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

int countColour(const QImage &image, QRgb colour, int row) {
  int n = 0;
  for (int x = 0; x < image.width(); ++x) n += image.pixel(x, row) == colour;
  return n;
}

// Pixels of a row whose colour is `colour`, from the first to the last.
std::pair<int, int> spanOf(const QImage &image, QRgb colour, int row) {
  int first = -1, last = -1;
  for (int x = 0; x < image.width(); ++x)
    if (image.pixel(x, row) == colour) {
      if (first < 0) first = x;
      last = x;
    }
  return {first, last};
}

// The run of pixels of `colour` through x in a row: [first, last], or (-1, -1).
std::pair<int, int> runThrough(const QImage &image, QRgb colour, int row, int x) {
  if (image.pixel(x, row) != colour) return {-1, -1};
  int first = x, last = x;
  while (first > 0 && image.pixel(first - 1, row) == colour) --first;
  while (last + 1 < image.width() && image.pixel(last + 1, row) == colour) ++last;
  return {first, last};
}

QString pdfText(const QString &path) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
  if (!process.waitForFinished(20000)) return {};
  return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfInfo(const QString &path) {
  QProcess process;
  process.start(QStringLiteral("pdfinfo"), {path});
  if (!process.waitForFinished(20000)) return {};
  return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class SideViewTest : public QObject {
  Q_OBJECT

 private slots:
  void oneWindowThatFollowsTheProject() {
    Project project;
    project.straightPier();
    QMdiArea area;
    area.resize(1000, 800);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    TDlgSideView *view = TDlgSideView::Show(&area, project.source());
    QVERIFY(view);
    QCOMPARE(TDlgSideView::Instance(), view);
    QCOMPARE(area.subWindowList().size(), 1);
    QCOMPARE(view->windowTitle(), QStringLiteral("Elevation View"));
    QCOMPARE(area.activeSubWindow()->windowTitle(), QStringLiteral("Elevation View"));
    QCOMPARE(view->Canvas()->size(), QSize(632, 422));
    QCOMPARE(view->GeometryLabel()->text(), QStringLiteral("Pile Geometry"));
    QCOMPARE(view->Model().D, 3.0);

    // Another child window takes the focus; the project changes meanwhile
    // (as a data window writes back); coming back rebuilds the drawing.
    QMdiSubWindow *other = area.addSubWindow(new QWidget);
    other->show();
    area.setActiveSubWindow(other);
    project.data->DSTART = 4;
    project.data->RATIO = 2;
    project.data->BELANGL = 30;
    QCOMPARE(view->Model().D, 3.0);
    area.setActiveSubWindow(qobject_cast<QMdiSubWindow *>(view->parentWidget()));
    QTRY_COMPARE(view->Model().D, 4.0);
    QCOMPARE(view->Model().Data.size(), size_t(2));

    // Showing it again brings the same window forward, rebuilt.
    area.setActiveSubWindow(other);
    view->parentWidget()->showMinimized();
    project.data->PD = 30;
    QCOMPARE(TDlgSideView::Show(&area, project.source()), view);
    QCOMPARE(area.subWindowList().size(), 2);
    QVERIFY(!view->parentWidget()->isMinimized());
    QCOMPARE(area.activeSubWindow(), view->parentWidget());
    QCOMPARE(view->Model().Data[0].BottomLeft.y(), 38.0);  // 2 * 4 + 30

    // Closed, it is gone; the next Show makes a new one.
    view->parentWidget()->close();
    QTRY_VERIFY(!TDlgSideView::Instance());
    QCOMPARE(area.subWindowList().size(), 1);
    TDlgSideView *again = TDlgSideView::Show(&area, project.source());
    QVERIFY(again && TDlgSideView::Instance() == again);
    again->parentWidget()->close();
  }

  // What the canvas shows: pier, bell, layer and ground lines, the water
  // table, and nothing without layers.
  void paintsThePierInItsProfile() {
    Project project;
    project.straightPier();
    TDlgSideView view(project.source());
    view.Rebuild();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const TSideViewport v = view.Viewport();
    const TSideViewModel &m = view.Model();
    const QImage image = grabCanvas(view);
    const QRgb pier = view.ScreenStyle().Pier.rgb();
    const QRgb background = view.ScreenStyle().Background.rgb();
    const QRgb black = qRgb(0, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    // Extent 3 ft wide by 56 ft (the clay ends at 50 ft, y = 56): the stem is
    // 422 * 3 / 56 = 22.6 px wide, centred.
    const int mid = v.RowOf(m.YOfDepth(30));
    const auto [left, right] = runThrough(image, pier, mid, 316);
    QVERIFY2(std::abs((left + right) / 2.0 - 316) <= 1, qPrintable(QString("%1 %2").arg(left).arg(right)));
    QVERIFY2(std::abs((right - left + 1) - 22.6) <= 1.5, qPrintable(QString::number(right - left + 1)));
    // The ground line and the layer bottoms cross the whole window; the
    // water table is blue; the bottom of the stem is the tip.
    QVERIFY(countColour(image, black, v.RowOf(m.GroundY())) > 600);
    QVERIFY(countColour(image, black, v.RowOf(m.YOfDepth(15))) > 580);
    QVERIFY(countColour(image, blue, v.RowOf(m.YOfDepth(12))) > 560);
    QCOMPARE(runThrough(image, pier, v.RowOf(m.YOfDepth(40)) + 2, 316).first, -1);
    // The ground hatch: strokes below the ground line from x = 120.
    QVERIFY(countColour(image, black, v.RowOf(m.GroundY()) + 3) >= 20);

    // A bell ratio of 2 at 30 degrees on the 3 ft stem: just above the tip the
    // outline is nearly 6 ft wide.
    project.data->RATIO = 2;
    project.data->BELANGL = 30;
    view.Rebuild();
    const TSideViewport belled = view.Viewport();
    const QImage withBell = grabCanvas(view);
    const auto [bl, br] = runThrough(withBell, pier, belled.RowOf(view.Model().YOfDepth(40)) - 1, 316);
    const double feet = (br - bl + 1) / (belled.ToPixel({1, 0}).x() - belled.ToPixel({0, 0}).x());
    QVERIFY2(feet > 5.3 && feet < 6.3, qPrintable(QString::number(feet)));

    // Without layers: the background only.
    project.tables.D.SetRowCount(0);
    view.Rebuild();
    const QImage empty = grabCanvas(view);
    for (int y = 0; y < empty.height(); y += 3)
      QCOMPARE(countColour(empty, background, y), empty.width());
  }

  // The pier starts at the ground surface, on screen and on paper: the room
  // of two diameters kept above the ground holds no stick-up.
  void pierStartsAtTheGround() {
    Project project;
    project.straightPier();
    const TSideViewModel m = BuildSideView(*project.data);
    QCOMPARE(m.DTop, 0.0);  // the room above the ground stays in the drawing
    for (const TSideViewStyle &style : {TSideViewStyle(), TSideViewStyle::Paper()}) {
      const bool paper = style.Layout == TSideLabelStyle::Paper;
      QImage image(paper ? 1100 : 632, paper ? 850 : 422, QImage::Format_RGB32);
      QPainter painter(&image);
      const TSideViewport v = PaintSideView(painter, QRectF(image.rect()), m, style);
      painter.end();
      const int axis = qRound(v.ToPixel({0, 0}).x());
      const double ground = v.ToPixel({0, m.GroundY()}).y();
      const int line = paper ? 8 : 2;  // half the ground line's width, and a pixel
      // Below the ground line: the pier. Above it, up to the top of the drawing: none of it.
      QCOMPARE(image.pixel(axis, qRound(ground) + line + 2), style.Pier.rgb());
      for (int y = qRound(v.ToPixel({0, 0}).y()) + 1; y < qRound(ground) - line; ++y)
        QVERIFY2(image.pixel(axis, y) != style.Pier.rgb(), qPrintable(QString("%1 at row %2").arg(paper).arg(y)));
    }
  }

  // The water table drawn through the middle of a layer's label: the line
  // stops at the label, whose letters stay whole, on screen and on paper.
  void theWaterTableNeverStrikesALabel() {
    Project project;
    project.straightPier();
    QFont font;
    font.setPointSize(10);
    for (const TSideViewStyle &base : {TSideViewStyle(), TSideViewStyle::Paper()}) {
      TSideViewStyle style = base;
      style.Font = font;
      const bool paper = style.Layout == TSideLabelStyle::Paper;
      QImage image(paper ? 1100 : 632, paper ? 850 : 422, QImage::Format_RGB32);
      image.setDotsPerMeterX(paper ? 3937 : 3780);  // 100 dpi on paper, 96 on screen
      image.setDotsPerMeterY(paper ? 3937 : 3780);
      // Where the first layer's label stands: one text height below the
      // ground on screen, a quarter of one below the ground line on paper.
      TSideViewModel m = BuildSideView(*project.data);
      const QFontMetricsF fm(font, &image);
      const TSideViewport v = SideViewArea(m, QRectF(image.rect()), style.Layout);
      const double ground = v.ToPixel({0, m.GroundY()}).y();
      const double labelTop = paper ? ground + 6 * 100.0 / 600 + 0.25 * fm.height() : std::round(ground) + fm.height();
      const double labelMiddle = labelTop + fm.height() / 2;
      const QString label = SideLayerLabel(m.Layers[0], style.Layout);
      const double labelLeft = paper ? std::max(0.15 * image.height(), v.Target.left() + 0.02 * v.Target.width())
                                     : v.ToPixel({m.DRight, 0}).x() + 4;
      const double labelRight = labelLeft + fm.horizontalAdvance(label);
      m.HasWater = true;
      m.WaterDepth = m.DepthOfY(v.ToWorld({0, labelMiddle}).y());
      QPainter painter(&image);
      PaintSideView(painter, QRectF(image.rect()), m, style);
      painter.end();
      const int row = qRound(labelMiddle);
      const QRgb blue = qRgb(0, 0, 255);
      int across = 0, inLabel = 0;
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, row) != blue) continue;
        ++across;
        inLabel += x >= labelLeft + 1 && x <= labelRight;
      }
      QVERIFY2(across > image.width() / 3, qPrintable(QString::number(across)));  // the line is drawn
      QVERIFY2(inLabel == 0, qPrintable(QString("%1: %2 blue pixels in the label").arg(paper).arg(inLabel)));
    }
  }

  // The printed title is shortened before it reaches the depth unit at the
  // right: the unit reads the same whatever the title.
  void theTitleNeverOverprintsTheDepthUnit() {
    Project project;
    project.straightPier();
    TSideViewModel m = BuildSideView(*project.data);
    const auto paint = [&](const QString &title) {
      m.Title = title;
      QImage image(1100, 850, QImage::Format_RGB32);
      QPainter painter(&image);
      const TSideViewport v = PaintSideView(painter, QRectF(image.rect()), m, TSideViewStyle::Paper());
      painter.end();
      // The band above the frame.
      return image.copy(QRect(0, 0, image.width(), qRound(v.Target.top()) - 4));
    };
    const QImage none = paint(QString());
    const QImage longTitle = paint(QString(120, u'W') + QStringLiteral(" pier over a very long profile title"));
    const QFontMetricsF fm(QFont(), &longTitle);
    const int unitLeft = qRound(0.9 * 1100 - fm.horizontalAdvance(QStringLiteral("Depths in ft"))) - 2;
    QCOMPARE(longTitle.copy(unitLeft, 0, 1100 - unitLeft, longTitle.height()),
             none.copy(unitLeft, 0, 1100 - unitLeft, none.height()));
    QVERIFY(longTitle != none);  // the title is there
  }

  // Damaged or odd profiles are drawn as far as they can be, or not at all,
  // and never bring the painter down.
  void oddProfilesArePaintedSafely() {
    const double nan = std::nan("");
    struct Case {
      const char *what;
      TPierShape shape;
      std::vector<TSideLayer> layers;
      bool drawn;
    } cases[] = {
        {"depths that go up", {3, 30, 0, 0}, {{0, 20, scSand}, {20, 10, scClay}, {10, 40, 99}}, true},
        {"a layer above the ground", {3, 30, 0, 0}, {{0, -30, scSand}, {-30, 40, scClay}}, true},
        {"a very deep layer", {3, 30, 2, 30}, {{0, 1e30, scSand}}, true},
        {"forty layers of no thickness", {3, 0, 0, 0}, std::vector<TSideLayer>(40, {5, 5, scGravel}), true},
        {"a depth that is not a number", {3, 30, 0, 0}, {{0, nan, scSand}}, false},
        {"a diameter beyond any scale", {1e308, 30, 0, 0}, {{0, 10, scSand}}, false},
    };
    for (const Case &c : cases) {
      const TSideViewModel m = BuildSideView(c.shape, c.layers, 5);
      for (const TSideViewStyle &style : {TSideViewStyle(), TSideViewStyle::Paper()}) {
        QImage image(400, 300, QImage::Format_RGB32);
        QPainter painter(&image);
        const TSideViewport v = PaintSideView(painter, QRectF(image.rect()), m, style);
        painter.end();
        QVERIFY2(v.NoDraw != c.drawn, c.what);
        // The middle of the stem is black (even when it is thinner than a pixel).
        if (c.drawn) {
          const QPointF axis = v.ToPixel({0, (m.GroundY() + m.Data[0].BottomLeft.y()) / 2});
          QVERIFY2((image.pixel(qRound(axis.x()), qRound(axis.y())) & 0xFFFFFF) == 0, c.what);
        }
      }
    }
  }

  // A new project has no diameter: the window stays empty but says why, and
  // draws once the project has the values.
  void nothingToDrawIsNotSticky() {
    Project project;
    TDlgSideView view(project.source());
    view.Rebuild();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(view.Viewport().NoDraw);
    const QRgb pier = view.ScreenStyle().Pier.rgb();
    const QImage blank = grabCanvas(view);
    QCOMPARE(countColour(blank, qRgb(0, 0, 0), 100), 0);
    QCOMPARE(spanOf(blank, pier, 300).first, -1);
    QTest::mouseMove(view.Canvas(), QPoint(100, 100));
    QCOMPARE(view.windowTitle(), QStringLiteral("Elevation View"));
    project.straightPier();
    view.Rebuild();
    QVERIFY(!view.Viewport().NoDraw);
    QVERIFY(spanOf(grabCanvas(view), pier, view.Viewport().RowOf(view.Model().YOfDepth(20))).first > 0);
  }

  // The caption reads the depth under the pointer; the ground line reads 0.0.
  void depthUnderThePointerInTheCaption() {
    Project project(QStringLiteral("mixed-profile-belled.pq8d"));
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    TDlgSideView *view = TDlgSideView::Show(&area, project.source());
    QVERIFY(QTest::qWaitForWindowExposed(view));
    const TSideViewport v = view->Viewport();
    const TSideViewModel &m = view->Model();
    QTest::mouseMove(view->Canvas(), QPoint(40, v.RowOf(m.GroundY())));
    QCOMPARE(view->windowTitle(), QStringLiteral("  Depth: 0.0"));
    QCOMPARE(view->parentWidget()->windowTitle(), QStringLiteral("  Depth: 0.0"));
    QTest::mouseMove(view->Canvas(), QPoint(40, v.RowOf(m.YOfDepth(45))));
    QCOMPARE(view->windowTitle(), QStringLiteral("  Depth: 45.0"));
    // Halfway between two lines: the pointer's own depth.
    const int row = v.RowOf(m.YOfDepth(30));
    QTest::mouseMove(view->Canvas(), QPoint(40, row));
    QCOMPARE(view->windowTitle(), DepthReadout(m.DepthOfY(v.ToWorld({40, double(row)}).y())));
    QVERIFY(std::abs(m.DepthOfY(v.ToWorld({40, double(row)}).y()) - 30) < 0.1);

    // A wider window widens the view around the axis: the pier stays in the
    // middle at the same scale.
    const double scale = v.ToPixel({1, 0}).x() - v.ToPixel({0, 0}).x();
    view->parentWidget()->resize(view->parentWidget()->width() + 250, view->parentWidget()->height());
    QTRY_COMPARE(view->Canvas()->width(), 632 + 250);
    const TSideViewport wide = view->Viewport();
    QCOMPARE(wide.ToPixel({0, 0}).x(), 441.0);
    QCOMPARE(wide.ToPixel({1, 0}).x() - wide.ToPixel({0, 0}).x(), scale);
    QCOMPARE(wide.Bottom, v.Bottom);
    view->parentWidget()->close();
  }

  void printsALandscapePage() {
    Project project(QStringLiteral("weak-rock-socket.pq8d"));
    TDlgSideView view(project.source());
    view.Rebuild();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    const QString path = dir.filePath(QStringLiteral("elevation.pdf"));
    printer.setOutputFileName(path);
    QVERIFY(view.PrintTo(printer));
    QCOMPARE(printer.docName(), QStringLiteral("Soil-Pile Profile"));
    const QString info = pdfInfo(path);
    QVERIFY2(info.contains(QStringLiteral("792 x 612 pts")), qPrintable(info));  // letter, landscape
    QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    QVERIFY(info.contains(QStringLiteral("Soil-Pile Profile")));
    // Every label with its depths, rock included.
    const QString text = pdfText(path);
    QVERIFY2(text.contains(QStringLiteral("depth= 0 - 20; Clay")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("; Soft Rock")));
    QVERIFY(text.contains(QStringLiteral("Depths in ft")));
    QVERIFY(text.contains(project.data->Title.left(20)));
    // The pier's dimensions and the depth scale, with its unit.
    const QString simplified = text.simplified();
    QVERIFY2(simplified.contains(QStringLiteral("Stem diameter ") + SignificantDecimal(project.data->DSTART, 4) +
                                 QStringLiteral(" ft")),
             qPrintable(text));
    QVERIFY(simplified.contains(QStringLiteral("Pier length ") + SignificantDecimal(project.data->PD, 4) +
                                QStringLiteral(" ft")));
    QVERIFY(text.contains(QStringLiteral("(ft)")));
    QVERIFY(QRegularExpression(QStringLiteral("(?m)^\\s*10\\s")).match(text).hasMatch());
    // Without a length (the design-load method) the stem runs to the bottom of
    // the profile, and no length is written for it.
    project.data->PD = 0;
    view.Rebuild();
    QVERIFY(view.PrintTo(printer));
    const QString noLength = pdfText(path).simplified();
    QVERIFY2(noLength.contains(QStringLiteral("Pier length set by the design load")), qPrintable(noLength));
    QVERIFY(!noLength.contains(QStringLiteral("Pier length 4")));
  }

  // PNG, SVG and PDF by extension; a failed save reports and keeps the old file.
  void savesPictures() {
    Project project(QStringLiteral("mixed-profile-belled.pq8d"));
    const TSideViewModel m = BuildSideView(*project.data);
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("side.png"));
    QCOMPARE(SaveSideView(png, *project.data, QSize(900, 600), 150), QString());
    const QImage image(png);
    QCOMPARE(image.size(), QSize(900, 600));
    QCOMPARE(std::lround(image.dotsPerMeterX() * 0.0254), 150L);
    // The same drawing as on screen: the pier in the middle of the picture.
    const TSideViewport v = SideViewArea(m, QRectF(0, 0, 900, 600), TSideLabelStyle::Screen);
    const auto [left, right] = spanOf(image.convertToFormat(QImage::Format_RGB32), qRgb(0, 0, 0),
                                      v.RowOf(m.YOfDepth(20)));
    Q_UNUSED(left);
    QVERIFY(right > 450 && right < 480);

    const QString svg = dir.filePath(QStringLiteral("side.svg"));
    QCOMPARE(SaveSideView(svg, m, QSize(900, 600)), QString());
    QFile svgFile(svg);
    QVERIFY(svgFile.open(QIODevice::ReadOnly));
    const QByteArray svgText = svgFile.readAll();
    QVERIFY(svgText.contains("<svg") && svgText.contains("depth= 10 - 22; Sand"));
    // Belled: 3 ft stem, 35 ft long, bell 2.5 x 3 = 7.5 ft at 30 degrees,
    // 2.25 * cot(30 degrees) = 3.897 ft high; the scale's unit.
    for (const char *dimension : {"Stem diameter 3 ft", "Pier length 35 ft", "Bell diameter 7.5 ft, 30°, 3.897 ft high",
                                  "Depth (ft)"})
      QVERIFY2(svgText.contains(dimension), dimension);

    const QString pdf = dir.filePath(QStringLiteral("side.pdf"));
    QCOMPARE(SaveSideView(pdf, m, QSize(1100, 850), 100), QString());
    QVERIFY(pdfInfo(pdf).contains(QStringLiteral("792 x 612 pts")));
    QVERIFY(pdfText(pdf).contains(QStringLiteral("depth= 45 - 60; Clay")));

    // Failures: nothing replaced, nothing left behind, a message.
    const QByteArray before = [&] {
      QFile f(png);
      f.open(QIODevice::ReadOnly);
      return f.readAll();
    }();
    const QString wrongType = dir.filePath(QStringLiteral("side.bmp"));
    QVERIFY(SaveSideView(wrongType, m, QSize(900, 600)).contains(QStringLiteral("PNG, SVG or PDF")));
    QVERIFY(!SaveSideView(png, m, QSize(0, 600)).isEmpty());
    QVERIFY(!SaveSideView(png, m, QSize(40000, 40000)).isEmpty());
    QVERIFY(!SaveSideView(dir.filePath(QStringLiteral("no/such/folder.png")), m, QSize(90, 60)).isEmpty());
    QFile after(png);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("side.pdf"), QStringLiteral("side.png"), QStringLiteral("side.svg")}));
  }
};

QTEST_MAIN(SideViewTest)
#include "pileside_uitest.moc"
