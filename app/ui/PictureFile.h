// Picture files of a drawing: the one writer of the plots' and the elevation
// view's files. A bitmap (BMP or PNG) of the drawing's pixels carries its
// resolution; an SVG drawing has the picture's size as its view box; a PDF is
// one page of the picture's size at its resolution. The file is written
// beside its final name and renamed over it only when complete
// (WriteWholeFile), so a failed write keeps the old file.
#pragma once

#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;

namespace pylar {

enum class TPictureFormat { Bmp, Png, Svg, Pdf };

// Pictures larger than this are refused as not enough memory (a 32-bit image
// of 2^28 pixels takes 1 GiB), as are sides beyond what a painter draws.
inline constexpr qint64 kMaxPicturePixels = qint64(1) << 28;
inline constexpr int kMaxPictureSide = 32767;
// Whether a picture of width x height pixels can be made (false for a side
// below 1 pixel, and for a size that is not a number).
bool PictureSizeAllowed(double width, double height);

enum class TPictureOutcome { Saved, NoMemory, WriteFailed };
struct TPictureWritten {
  TPictureOutcome outcome = TPictureOutcome::Saved;
  QString reason;  // why a write failed, as the file system gave it
};

// Paints the drawing into `area` (the picture's pixels; for a PDF the page's);
// `format` tells a drawing that lays itself out differently on paper.
using TPaintPicture = std::function<void(QPainter &painter, const QRectF &area, TPictureFormat format)>;

// Writes the picture of `size` pixels (a size PictureSizeAllowed takes) at
// `dotsPerInch` to `path`. A bitmap is painted before the file is opened; an
// image that cannot be made is NoMemory. `title` names an SVG or PDF document.
TPictureWritten WritePicture(const QString &path, TPictureFormat format, QSize size, int dotsPerInch,
                             const QString &title, const TPaintPicture &paint);

}  // namespace pylar
