// A result plot without its window: what the plot window opens with (every
// curve active, the full range of the data), the picture the painter draws of
// a plot definition, and the plot's picture files. The plot window, the
// calculation report and the headless export all draw through these, so a plot
// printed, saved or exported is the plot the window shows.
#pragma once

#include "model/PltData.h"
#include "model/PlotScale.h"
#include "ui/PictureFile.h"
#include "ui/PlotPainter.h"

#include <QPointF>
#include <QString>

namespace pylar {

// Curves beyond this many start inactive in a plot that limits them.
inline constexpr int kPlotActiveLimit = 20;

// Opens a plot's data as its window does: every curve active (beyond the first
// kPlotActiveLimit only when the plot does not limit them), and the full range
// of its points; not ok when the data give no usable range.
PlotBoundsResult OpenPlotData(TGraphPlot &plot);

// Whether the plot has a point and a usable range, so its window opens (the
// plot is opened as its window would open it).
bool PlotAvailable(TGraphPlot &plot);

// A curve's name as the plot shows it (the plot may rename it for display).
QString ShownCurveName(const TGraphPlot &plot, int curve);

// What the painter draws of a plot within `range`: its captions, settings,
// soil column and active curves (without their points when `withPoints` is
// false: enough for the layout).
PlotPicture PlotPictureOf(const TGraphPlot &plot, const PlotRange &range, bool withPoints = true);

// Writes the plot within `range` as a picture of widthInch x heightInch at
// `pixelsPerInch`: SVG for a name ending in .svg, PNG for .png, any other a
// Windows bitmap. The legend box is drawn when the plot shows its legend, in
// the emptiest corner or (legendAuto false) at `legendAt`, a fraction of the
// picture; the plot's footer ends it. A picture beyond the size limits is
// NoMemory.
TPictureWritten SavePlotPicture(const QString &path, const TGraphPlot &plot, const PlotRange &range,
                                double widthInch, double heightInch, int pixelsPerInch, bool legendAuto = true,
                                QPointF legendAt = {});

}  // namespace pylar
