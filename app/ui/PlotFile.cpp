#include "ui/PlotFile.h"

#include <QFileInfo>
#include <QPainter>

#include <cmath>
#include <span>
#include <vector>

namespace pylar {

PlotBoundsResult OpenPlotData(TGraphPlot &plot) {
  std::vector<std::vector<QPointF>> points(plot.fData.size());
  std::vector<std::span<const QPointF>> spans;
  for (size_t c = 0; c < plot.fData.size(); ++c) {
    for (const TFloatPoint &p : plot.fData[c].fData)
      points[c].emplace_back(static_cast<double>(p.x), static_cast<double>(p.y));
    spans.emplace_back(points[c]);
  }
  const PlotBoundsResult bounds = BoundsFromData(spans, plot.Yreversed);
  // Every curve active; beyond the first 20 only when the plot allows it.
  for (size_t c = 0; c < plot.fData.size(); ++c)
    plot.fData[c].fActive = !(plot.fLimitActive && c >= static_cast<size_t>(kPlotActiveLimit));
  return bounds;
}

bool PlotAvailable(TGraphPlot &plot) {
  bool points = false;
  for (const TLine &line : plot.fData) points = points || !line.fData.empty();
  if (!points) return false;
  return OpenPlotData(plot).ok;
}

QString ShownCurveName(const TGraphPlot &plot, int curve) {
  const QString name = plot.CurveName(curve);
  return plot.fonGetCaption ? plot.fonGetCaption(curve, name) : name;
}

PlotPicture PlotPictureOf(const TGraphPlot &plot, const PlotRange &range, bool withPoints) {
  PlotPicture pic;
  pic.xCaption = plot.fXCaption;
  pic.yCaption = plot.fYCaption;
  pic.xUnits = plot.fXUnits;
  pic.yUnits = plot.fYUnits;
  pic.units = plot.Units();
  pic.title = plot.UserCaption;
  pic.titleOnTop = plot.UserCaptionOnTop;
  pic.xOnTop = plot.fXOnTop;
  pic.sizeFont = plot.fSizeFont;
  pic.legendFont = plot.fLegendFont;
  pic.widthLine = plot.fWidthLine;
  pic.markers = plot.fMarkers;
  pic.showLayers = plot.fShowLayers;
  pic.layersTop = static_cast<double>(plot.LayersTop);
  double previous = pic.layersTop;
  for (const TLine &band : plot.gData) {
    PlotBandView b;
    b.name = band.fValueS;
    b.y = band.fData.empty() ? previous : static_cast<double>(band.fData.front().y);
    const double value = static_cast<double>(band.fValue);
    b.value = std::isfinite(value) && std::fabs(value) < 1e6 ? static_cast<int>(value) : 0;
    previous = b.y;
    pic.bands.push_back(b);
  }
  pic.range = range;
  int position = 0;
  for (size_t c = 0; c < plot.fData.size(); ++c) {
    const TLine &line = plot.fData[c];
    if (!line.fActive) continue;
    PlotCurveView v;
    v.name = ShownCurveName(plot, static_cast<int>(c));
    v.index = static_cast<int>(c);
    v.activePosition = position++;
    v.visible = line.fVisible;
    if (withPoints) {
      v.points.reserve(line.fData.size());
      for (const TFloatPoint &p : line.fData) v.points.emplace_back(static_cast<double>(p.x), static_cast<double>(p.y));
    }
    pic.curves.push_back(std::move(v));
  }
  return pic;
}

TPictureWritten SavePlotPicture(const QString &path, const TGraphPlot &plot, const PlotRange &range,
                                double widthInch, double heightInch, int pixelsPerInch, bool legendAuto,
                                QPointF legendAt) {
  const double w = std::round(widthInch * pixelsPerInch);
  const double h = std::round(heightInch * pixelsPerInch);
  if (!PictureSizeAllowed(w, h)) return {TPictureOutcome::NoMemory, {}};
  PlotTarget t;
  t.area = QRect(0, 0, static_cast<int>(w), static_cast<int>(h));
  t.pxPerInchX = t.pxPerInchY = pixelsPerInch;
  t.drawLegendBox = plot.fShowLegend;
  t.legendAuto = legendAuto;
  t.legendAt = legendAt;
  t.footer = plot.Footer.Text();
  const QString suffix = QFileInfo(path).suffix().toLower();
  const TPictureFormat format = suffix == QLatin1String("svg")   ? TPictureFormat::Svg
                                : suffix == QLatin1String("png") ? TPictureFormat::Png
                                                                 : TPictureFormat::Bmp;
  return WritePicture(path, format, t.area.size(), pixelsPerInch, plot.fCaption,
                      [&](QPainter &painter, const QRectF &, TPictureFormat) {
                        PaintPlot(painter, PlotPictureOf(plot, range), t);
                      });
}

}  // namespace pylar
