// The elevation drawing of the pier in its soil profile, without widgets: the
// pier outline (stem and bell), the layers, the water table, the drawing's
// extent, the aspect rule that maps it onto a window or page, the layer
// labels and the depth read-out. The painter and the window draw from this.
//
// World coordinates: x across, 0 on the pier axis, in project length units;
// y downward, equal to depth + 2 D (D the stem diameter), so the ground lies
// at y = 2 D and the drawing keeps two diameters of room above it. The pier
// starts at the ground: nothing of it stands above the surface.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

namespace pylar {

class TProgramData;

// One piece of the pier outline; its top edge spans TopLeft..TopRight and its
// bottom edge BottomLeft..BottomRight.
struct TSideQuad {
  QPointF TopLeft, TopRight, BottomLeft, BottomRight;
};

// One soil layer: its top and bottom depth and its model code (1..9; other
// codes come from damaged files and get no model name).
struct TSideLayer {
  double Top = 0;
  double Bottom = 0;
  int Code = 0;
};

// What the pier outline is made from, in project length units and degrees.
struct TPierShape {
  double D = 0;          // stem diameter
  double Length = 0;     // pier length; < 0.0001 runs the stem to the last layer bottom
  double Ratio = 0;      // bell-to-stem diameter ratio
  double BellAngle = 0;  // bell side against the vertical
};

// The bell of a shape, when it has one: its flare D (B - 1) / 2 and its height
// flare / tan(angle). A bell needs a ratio above 1 and an angle strictly
// between 0 and 90 degrees (the engine's own rule; any other pier is straight).
struct TBellSize {
  bool Belled = false;
  double Flare = 0;
  double Height = 0;
};
TBellSize BellSize(const TPierShape &shape);

struct TSideViewModel {
  double D = 0;
  TPierShape Shape;        // as given
  double PierLength = 0;   // as drawn: the length, or the last layer bottom for none
  bool LengthGiven = false;  // the shape has a length (the design-load method has none)
  TBellSize Bell;
  std::vector<TSideQuad> Data;  // stem, then bell; empty without layers
  std::vector<TSideLayer> Layers;
  bool HasWater = false;  // a finite water-table depth of 0 or more
  double WaterDepth = 0;
  int Units = 1;  // 1 English (ft), 2 SI (m)
  QString Title;
  // World extent of everything drawn (the default is what a window shows
  // before the first build).
  double DLeft = -10, DRight = 10, DTop = 0, DBottom = 10;

  double YOfDepth(double depth) const { return depth + 2 * D; }
  double DepthOfY(double y) const { return y - 2 * D; }
  double GroundY() const { return 2 * D; }
};

// The drawing of a shape in a profile. The extent holds every outline point
// and every layer line (a layer whose bottom lies below the pier tip stays
// inside the drawing), and always the axis and y = 0. A diameter that is not
// positive, or any value that is not finite, leaves no usable extent.
TSideViewModel BuildSideView(const TPierShape &shape, const std::vector<TSideLayer> &layers, double waterDepth,
                             int units = 1);
// The drawing of a project: DSTART, PD, RATIO, BELANGL, WTD and the layer table.
TSideViewModel BuildSideView(const TProgramData &project);

// The world rectangle mapped onto a target rectangle. The extent is widened,
// never stretched, to the target's proportion: a target wider than the
// drawing widens the view around the axis, a taller one extends it
// downward. NoDraw: the extent gives no finite, non-empty view (for example a
// pier of diameter 0 without layers); nothing is then drawn or read out.
// A target of zero width or height maps nothing either.
struct TSideViewport {
  QRectF Target;
  double Left = 0, Right = 0, Top = 0, Bottom = 0;
  bool NoDraw = true;

  bool CanMap() const { return !NoDraw && Target.width() > 0 && Target.height() > 0; }
  QPointF ToPixel(QPointF world) const;
  QPointF ToWorld(QPointF pixel) const;
  // The pixel row a world y is drawn on (rounded, as on screen).
  int RowOf(double y) const;
};
TSideViewport FitSideView(const TSideViewModel &model, const QRectF &target);

// Layer labels. On screen, sand, clay, gravelly sand and gravel read
// "depth= 0 - 10; Sand" (written one text height below the layer's top line)
// and the other models only their name ("Shale", "Strong Rock",
// "Decomposed Rock", "Weak Rock", written at the line); printed, every label
// carries the depths and code 6 is named "Soft Rock".
enum class TSideLabelStyle { Screen, Paper };
QString SideLayerName(int code, TSideLabelStyle style);
bool SideLabelHasDepths(int code, TSideLabelStyle style);
QString SideLayerLabel(const TSideLayer &layer, TSideLabelStyle style);

// "  Depth: " and the depth with one decimal.
QString DepthReadout(double depth);
// The read-out of the pointer at a pixel: empty when nothing is mapped. A
// pointer on the pixel row of a drawn line (ground, layer bottom, water table)
// reads that line's depth, so the ground line reads "  Depth: 0.0" at every
// scale.
QString DepthReadoutAt(const TSideViewModel &model, const TSideViewport &viewport, QPointF pixel);

}  // namespace pylar
