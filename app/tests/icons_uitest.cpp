// Command icons: every shipped picture renders, and the desktop's icon theme
// is asked first, with the shipped SVG as fallback.
#include "ui/Icons.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

using namespace pylar;

namespace {

// Share of pixels that are not fully transparent.
double coverage(const QIcon &icon) {
  const QImage image = icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
  int drawn = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) drawn += qAlpha(image.pixel(x, y)) > 0;
  return image.isNull() ? 0 : double(drawn) / (image.width() * image.height());
}

}  // namespace

class IconsTest : public QObject {
  Q_OBJECT

 private slots:
  void everyShippedIconRenders() {
    (void)CommandIcon(QStringLiteral("document-new"));  // registers the resources
    const QStringList files = QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")});
    QVERIFY(files.size() >= 20);
    for (const QString &file : files) {
      QSvgRenderer renderer(QStringLiteral(":/icons/") + file);
      QVERIFY2(renderer.isValid(), qPrintable(file));
      const QIcon icon(QStringLiteral(":/icons/") + file);
      QVERIFY2(coverage(icon) > 0.05, qPrintable(file + " draws (almost) nothing"));
    }
    QVERIFY(coverage(ApplicationIcon()) > 0.5);
  }

  void themeFirstShippedPictureOtherwise() {
    // A theme that has document-new and nothing else.
    QTemporaryDir themes;
    QVERIFY(QDir(themes.path()).mkpath(QStringLiteral("test/24x24/actions")));
    QFile index(themes.filePath(QStringLiteral("test/index.theme")));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=test\nDirectories=24x24/actions\n\n[24x24/actions]\nSize=24\nType=Fixed\n");
    index.close();
    QImage red(24, 24, QImage::Format_ARGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(themes.filePath(QStringLiteral("test/24x24/actions/document-new.png"))));
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName(QStringLiteral("test"));

    const QIcon themed = CommandIcon(QStringLiteral("document-new"));
    QCOMPARE(themed.name(), QStringLiteral("document-new"));
    QCOMPARE(themed.pixmap(24, 24).toImage().pixelColor(12, 12), QColor(Qt::red));

    for (const char *name : {"document-open", "pylar-soil-layers", "zoom-in"}) {
      const QIcon fallback = CommandIcon(QString::fromLatin1(name));
      QVERIFY2(!fallback.isNull(), name);
      QVERIFY2(fallback.name().isEmpty(), name);  // not from the theme
      QVERIFY2(coverage(fallback) > 0.05, name);
    }
  }
};

QTEST_MAIN(IconsTest)
#include "icons_uitest.moc"
