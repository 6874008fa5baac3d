// The one painter of a plot: the same routine draws the plot window, the
// printed page, bitmap/PNG images and SVG files.
#pragma once

#include "model/PlotScale.h"

#include <QFont>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class QPainter;

namespace pylar {

// One curve as painted: its points, shown name, curve index (marker shape)
// and position among the active curves (colour). Only active curves are given.
struct PlotCurveView {
  std::vector<QPointF> points;
  QString name;
  int index = 0;
  int activePosition = 0;
  bool visible = true;
};

// One band of the soil column.
struct PlotBandView {
  QString name;
  double y = 0;
  int value = 0;
};

// Everything the painter needs of a plot and its window state.
struct PlotPicture {
  QString xCaption, yCaption, xUnits, yUnits;
  int units = 1;
  QString title;  // graph title drawn on the graph; empty = none
  bool titleOnTop = false;
  bool xOnTop = true;
  int sizeFont = 10;    // tenths
  int legendFont = 11;  // points
  int widthLine = 1;
  int markers = 1;  // 0 = never, n = every n-th point
  bool showLayers = false;
  double layersTop = 0;
  std::vector<PlotBandView> bands;
  PlotRange range;
  std::vector<PlotCurveView> curves;
};

// Where and how to paint.
struct PlotTarget {
  QRect area;
  int pxPerInchX = 96;
  int pxPerInchY = 96;
  bool forPrint = false;       // printed title spacing
  bool drawLegendBox = false;  // print and image files; the screen has its own list
  // The legend goes to the corner of the graph where it covers least of the
  // curves, unless the user placed it: then `legendAt` is its top-left as a
  // fraction of the area. Either way it stays inside the graph, clear of the
  // soil column.
  QPointF legendAt;
  bool legendAuto = true;
  // A line at the foot of the area (printed and saved pictures): the graph
  // is laid out in the area above it. Empty: none.
  QString footer;
};

// The area of the graph itself: the target's area less the footer's strip.
QRect PlotAreaAboveFooter(const PlotPicture &pic, const PlotTarget &target);

// Fonts of a drawing: bold captions and normal labels in Times, scaled by
// `sizeFont`, sized in pixels of the target.
QFont PlotCaptionFont(const PlotPicture &pic, const PlotTarget &target);
QFont PlotLabelFont(const PlotPicture &pic, const PlotTarget &target);

// Layout of a drawing (used to map the mouse on screen as well).
PlotLayout LayoutPlot(const PlotPicture &pic, const PlotTarget &target);

// The size of the legend box of the visible curves at a target's resolution
// (empty when no curve is visible).
QSize LegendBoxSize(const PlotPicture &pic, const PlotTarget &target);

// Where a box of `size` covers least of the visible curves: a corner of the
// graph, a sixteenth of an inch inside it.
QRect AutoLegendRect(const PlotPicture &pic, const PlotTarget &target, const PlotLayout &layout, QSize size);

// The legend box as the painter draws it.
QRect LegendRect(const PlotPicture &pic, const PlotTarget &target, const PlotLayout &layout);

// Paints the whole plot, with its footer, and returns the layout it used.
PlotLayout PaintPlot(QPainter &painter, const PlotPicture &pic, const PlotTarget &target);

}  // namespace pylar
