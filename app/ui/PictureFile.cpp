#include "ui/PictureFile.h"

#include "model/WholeFile.h"

#include <QImage>
#include <QIODevice>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>

namespace pylar {

bool PictureSizeAllowed(double width, double height) {
  return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         static_cast<qint64>(width) * static_cast<qint64>(height) <= kMaxPicturePixels;
}

TPictureWritten WritePicture(const QString &path, TPictureFormat format, QSize size, int dotsPerInch,
                             const QString &title, const TPaintPicture &paint) {
  const QRect area(QPoint(0, 0), size);
  QImage image;
  if (format == TPictureFormat::Bmp || format == TPictureFormat::Png) {
    image = QImage(size, QImage::Format_RGB32);
    if (image.isNull()) return {TPictureOutcome::NoMemory, {}};
    const int dotsPerMeter = static_cast<int>(std::lround(dotsPerInch / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&image);
    paint(painter, QRectF(area), format);
  }
  const QString why = WriteWholeFile(path, [&](QIODevice &file) {
    if (!image.isNull()) return image.save(&file, format == TPictureFormat::Png ? "PNG" : "BMP");
    QPainter painter;
    if (format == TPictureFormat::Svg) {
      QSvgGenerator svg;
      svg.setOutputDevice(&file);
      svg.setSize(size);
      svg.setViewBox(area);
      svg.setResolution(dotsPerInch);
      svg.setTitle(title);
      if (!painter.begin(&svg)) return false;
      paint(painter, QRectF(area), format);
      return painter.end();
    }
    QPdfWriter pdf(&file);
    pdf.setTitle(title);
    pdf.setResolution(dotsPerInch);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setPageSize(QPageSize(QSizeF(double(size.width()) / dotsPerInch, double(size.height()) / dotsPerInch),
                              QPageSize::Inch, QString(), QPageSize::ExactMatch));
    if (!painter.begin(&pdf)) return false;
    paint(painter, QRectF(0, 0, pdf.width(), pdf.height()), format);
    return painter.end();
  });
  if (!why.isEmpty()) return {TPictureOutcome::WriteFailed, why};
  return {};
}

}  // namespace pylar
