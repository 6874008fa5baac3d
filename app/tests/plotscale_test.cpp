// Plot rules without widgets: bounds, layout, mapping, ticks, zoom, colours,
// markers, unit texts and soil-column fills.
#include "model/PlotScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace pylar {
namespace {

PlotBoundsResult bounds(const std::vector<std::vector<QPointF>> &curves, bool reversed = false) {
  std::vector<std::span<const QPointF>> spans(curves.begin(), curves.end());
  return BoundsFromData(spans, reversed);
}

TEST(PlotScale, RoundingStep) {
  struct Case {
    double range, step;
  } cases[] = {
      {250, 10},     // log10 = 2.398, fraction below log10(3): 100 / 10
      {500, 100},    // log10 = 2.699: 100
      {299, 10},
      {310, 100},
      {5, 1},        // log10 5 = 0.699: 1
      {0.02, 0.001},  // log10 = -1.699, floor -2, fraction 0.301: 0.01 / 10
      {1, 0.1},      // fraction 0 < 0.477
  };
  for (const auto &c : cases) EXPECT_DOUBLE_EQ(RoundingStep(c.range), c.step) << c.range;
  for (double bad : {0.0, -5.0, std::nan(""), std::numeric_limits<double>::infinity()})
    EXPECT_EQ(RoundingStep(bad), 0) << bad;
}

TEST(PlotScale, BoundsIncludeOriginAndRoundOutwards) {
  // x 0..5 (origin forced in), y 0..250 -> step 10 -> ends stay.
  auto b = bounds({{{5, 12}, {5, 250}}});
  ASSERT_TRUE(b.ok);
  EXPECT_DOUBLE_EQ(b.range.Left, 0);
  EXPECT_DOUBLE_EQ(b.range.Right, 5);
  EXPECT_DOUBLE_EQ(b.range.Top, 0);
  EXPECT_DOUBLE_EQ(b.range.Bottom, 250);
  // y range 0..437 (step 100) -> 0..500; x -13..233: range 246, step 10 -> -20..240.
  b = bounds({{{-13, 10}, {100, 437}}, {{233, 5}}});
  ASSERT_TRUE(b.ok);
  EXPECT_DOUBLE_EQ(b.range.Left, -20);
  EXPECT_DOUBLE_EQ(b.range.Right, 240);
  EXPECT_DOUBLE_EQ(b.range.Top, 0);
  EXPECT_DOUBLE_EQ(b.range.Bottom, 500);
}

TEST(PlotScale, ReversedAxisStartsAtFirstPointAndSwaps) {
  // Elevations 100 down to 63: range 37, step 10 -> 60..100, swapped so the
  // top of the graph shows 100. The origin is not forced into y.
  auto b = bounds({{{1, 100}, {2, 80}, {3, 63}}}, true);
  ASSERT_TRUE(b.ok);
  EXPECT_DOUBLE_EQ(b.range.Top, 100);
  EXPECT_DOUBLE_EQ(b.range.Bottom, 60);
  EXPECT_DOUBLE_EQ(b.range.Left, 0);
  EXPECT_DOUBLE_EQ(b.range.Right, 3);
  // Negative elevations keep every point inside: -12.5 .. -37.5 (range 25,
  // step 1) -> -12 .. -38; rounding the low end towards zero would cut -37.5 off.
  b = bounds({{{1, -12.5}, {2, -37.5}}}, true);
  ASSERT_TRUE(b.ok);
  EXPECT_DOUBLE_EQ(b.range.Top, -12);
  EXPECT_DOUBLE_EQ(b.range.Bottom, -38);
}

TEST(PlotScale, DegenerateDataStillGivesARange) {
  // No points at all: 0 widened by 0.01 each way, step 0.001.
  auto b = bounds({});
  ASSERT_TRUE(b.ok);
  EXPECT_LE(b.range.Left, -0.01 + 1e-12);
  EXPECT_GE(b.range.Left, -0.011 - 1e-12);
  EXPECT_GE(b.range.Right, 0.01 - 1e-12);
  EXPECT_LE(b.range.Right, 0.011 + 1e-12);
  // A single reversed point.
  b = bounds({{{0, 50}}}, true);
  ASSERT_TRUE(b.ok);
  EXPECT_GT(b.range.Top, b.range.Bottom);
  EXPECT_LE(b.range.Bottom, 50);
  EXPECT_GE(b.range.Top, 50);
  // NaN and infinite values are skipped.
  const double inf = std::numeric_limits<double>::infinity();
  b = bounds({{{std::nan(""), 3}, {inf, -inf}, {40, 20}}});
  ASSERT_TRUE(b.ok);
  EXPECT_DOUBLE_EQ(b.range.Right, 40);
  EXPECT_DOUBLE_EQ(b.range.Bottom, 20);
  // A range that overflows has no step: not ok.
  b = bounds({{{-1e308, 0}, {1e308, 1}}});
  EXPECT_FALSE(b.ok);
}

TEST(PlotScale, TickIntervals) {
  // 300 pixels, F = 16: 300 / 96 = 3 intervals. Range 100: raw 33.3,
  // e = 10, f = 3 -> 2e = 20; minor 4.
  EXPECT_EQ(MajorIntervals(300, 16), 3);
  EXPECT_DOUBLE_EQ(MajorSpacing(100, 300, 16), 20);
  // F = 60: 300 / 360 = 0 intervals, no grid.
  EXPECT_EQ(MajorIntervals(300, 60), 0);
  EXPECT_EQ(MajorSpacing(100, 300, 60), 0);
  AxisTicks none = TicksFor(0, 100, 300, 60);
  EXPECT_LT(none.finish, none.start);
  // Each branch of the rounding (3 intervals): raw 1.5 -> 1, 3 -> 2, 6 -> 5,
  // 9.5 -> 10, 0.3 -> 0.2.
  struct Case {
    double range, spacing;
  } cases[] = {{4.5, 1}, {9, 2}, {18, 5}, {28.5, 10}, {0.9, 0.2}};
  for (const auto &c : cases) EXPECT_DOUBLE_EQ(MajorSpacing(c.range, 300, 16), c.spacing) << c.range;
  // Ticks at multiples of the minor spacing: 0..100 by 4, every fifth major.
  AxisTicks t = TicksFor(100, 0, 300, 16);
  EXPECT_DOUBLE_EQ(t.minor, 4);
  EXPECT_EQ(t.start, 0);
  EXPECT_EQ(t.finish, 25);
  EXPECT_TRUE(AxisTicks::isMajor(t.start));
  EXPECT_DOUBLE_EQ(t.value(5), 20);
  // Negative ranges: -7.3 .. 2.1 (range 9.4, spacing 2, minor 0.4).
  t = TicksFor(-7.3, 2.1, 300, 16);
  EXPECT_EQ(t.start, -18);
  EXPECT_EQ(t.finish, 5);
  EXPECT_TRUE(AxisTicks::isMajor(-15));
  EXPECT_EQ(TickLabel(t.value(-15)), "-6");
  EXPECT_EQ(TickLabel(0.30000000000000004), "0.3");
  EXPECT_EQ(TickLabel(12346), "1.235E4");
}

TEST(PlotScale, LayoutRules) {
  // F = 16, 96 dpi, 800 x 600, x axis on top.
  PlotLayoutInput in{QRect(0, 0, 800, 600), 16, 96, 96, true, false, false, false, false};
  PlotLayout l = ComputeLayout(in);
  // left = 32 + 12 + 2 = 46; right = 800 - 24 - 8 = 768; top = 32 + 12 + 2 = 46; bottom = 600 - 24 - 8 = 568.
  EXPECT_EQ(l.graph, QRect(QPoint(46, 46), QPoint(768, 568)));
  EXPECT_TRUE(l.column.isNull());
  // Title on top adds F + F/8 = 18; soil column takes 96 on the right, column 768-96+19 .. 768.
  in.hasTitle = in.titleOnTop = in.showColumn = true;
  l = ComputeLayout(in);
  EXPECT_EQ(l.graph, QRect(QPoint(46, 64), QPoint(672, 568)));
  EXPECT_EQ(l.column, QRect(QPoint(691, 64), QPoint(768, 568)));
  // x axis below, title below: top = 8 + 24 = 32; bottom = 600 - 32 - 12 - 2 - 16 = 538.
  in = {QRect(10, 20, 800, 600), 16, 96, 96, false, true, false, false, false};
  l = ComputeLayout(in);
  EXPECT_EQ(l.graph, QRect(QPoint(56, 52), QPoint(778, 558)));
  // Printed title below takes Py/2.
  in.forPrint = true;
  EXPECT_EQ(ComputeLayout(in).graph.bottom(), 20 + 600 - 32 - 12 - 2 - 48);
  // Too small an area gives an empty graph, not an inverted one.
  in = {QRect(0, 0, 30, 30), 16, 96, 96, true, false, false, true, false};
  EXPECT_TRUE(ComputeLayout(in).graph.isNull());
}

TEST(PlotScale, MappingRoundTrip) {
  const PlotRange r{0, 100, 0, 50};
  const QRect g(QPoint(10, 20), QPoint(210, 120));
  EXPECT_EQ(DataToPixel(r, g, true, {50, 25}), QPoint(110, 70));
  EXPECT_EQ(DataToPixel(r, g, true, {0, 50}), QPoint(10, 120));   // depth grows downward
  EXPECT_EQ(DataToPixel(r, g, false, {0, 50}), QPoint(10, 20));   // y grows upward
  const QPointF back = PixelToData(r, g, false, {110, 20});
  EXPECT_DOUBLE_EQ(back.x(), 50);
  EXPECT_DOUBLE_EQ(back.y(), 50);
  // A degenerate range or a huge value never overflows.
  EXPECT_EQ(DataToPixel({0, 0, 0, 0}, g, true, {5, 5}), QPoint(10, 20));
  const QPoint far = DataToPixel(r, g, true, {1e300, std::nan("")});
  EXPECT_EQ(far.x(), 10 + 10000000);
  EXPECT_EQ(far.y(), 20);
}

TEST(PlotScale, ZoomLimitAndShift) {
  const AxisSpan full{0, 100};
  // Zero width: widened to 1/20 of the full range around the point.
  AxisSpan z = ZoomInAxis(full, 50, 50);
  EXPECT_DOUBLE_EQ(z.start, 47.5);
  EXPECT_DOUBLE_EQ(z.end, 52.5);
  // A small range at the edge is widened and shifted back inside.
  z = ZoomInAxis(full, 99, 100);
  EXPECT_DOUBLE_EQ(z.start, 95);
  EXPECT_DOUBLE_EQ(z.end, 100);
  // A range wider than the limit is taken as selected, in either order.
  z = ZoomInAxis(full, 60, 20);
  EXPECT_DOUBLE_EQ(z.start, 20);
  EXPECT_DOUBLE_EQ(z.end, 60);
  // A reversed axis keeps its direction.
  z = ZoomInAxis({100, 60}, 70, 90);
  EXPECT_DOUBLE_EQ(z.start, 90);
  EXPECT_DOUBLE_EQ(z.end, 70);
  z = ZoomInAxis({100, 60}, 61, 61);
  EXPECT_DOUBLE_EQ(z.start, 62);
  EXPECT_DOUBLE_EQ(z.end, 60);
  // Zoom out: twice as wide around the click, held inside the full range.
  z = ZoomOutAxis(full, {40, 50}, 45);
  EXPECT_DOUBLE_EQ(z.start, 35);
  EXPECT_DOUBLE_EQ(z.end, 55);
  z = ZoomOutAxis(full, {0, 10}, 2);
  EXPECT_DOUBLE_EQ(z.start, 0);
  EXPECT_DOUBLE_EQ(z.end, 20);
  z = ZoomOutAxis(full, {20, 90}, 30);  // half-width at most half the full range
  EXPECT_DOUBLE_EQ(z.start, 0);
  EXPECT_DOUBLE_EQ(z.end, 100);
  // NaN input leaves the full range.
  z = ZoomInAxis(full, std::nan(""), 3);
  EXPECT_DOUBLE_EQ(z.end, 100);
}

TEST(PlotScale, ColoursAndMarkersCycle) {
  EXPECT_EQ(CurveColor(0), 0x000000u);
  EXPECT_EQ(CurveColor(3), 0x008000u);
  EXPECT_EQ(CurveColor(16), 0x00FFFFu);
  EXPECT_EQ(CurveColor(17), CurveColor(0));  // the 18th curve
  EXPECT_EQ(MarkerShape(0), 1);
  EXPECT_EQ(MarkerShape(10), 1);  // the 11th curve
  EXPECT_EQ(MarkerShape(9), 10);
  // 128 dpi: radius 4 pixels.
  const QPoint p(100, 100);
  // Triangle at 180, 300, 60 degrees: below, upper left, upper right;
  // sin 60 * 4 = 3.46 -> 3, cos 60 * 4 = 2.
  EXPECT_EQ(MarkerCorners(0, p, 128, 128), (std::vector<QPoint>{{100, 104}, {97, 98}, {103, 98}}));
  // Square at 45, 135, 225, 315 degrees: 0.707 * 4 = 2.83 -> 3, sides along the axes.
  EXPECT_EQ(MarkerCorners(1, p, 128, 128),
            (std::vector<QPoint>{{103, 97}, {103, 103}, {97, 103}, {97, 97}}));
  // Shape 3 is a triangle with its first corner straight above.
  EXPECT_EQ(MarkerCorners(2, p, 128, 128).front(), QPoint(100, 96));
  EXPECT_EQ(MarkerCorners(9, p, 128, 128).size(), 10u);
  EXPECT_EQ(MarkerCorners(10, p, 128, 128), MarkerCorners(0, p, 128, 128));
}

TEST(PlotScale, UnitExpansion) {
  struct Case {
    const char *code;
    int units;
    const char *text;
  } cases[] = {
      {"F2", 1, "tons"},        {"F2", 2, "kN"},          {"L2", 1, "ft"},
      {"L", 1, "in"},           {"L", 2, "m"},            {"F/L2^2", 1, "lbs/ft^2"},
      {"F/L2^2", 2, "kN/m^2"},  {"F/L^2", 1, "lbs/in^2"}, {"F1-L1", 1, "kips-in"},
      {"F1-L1", 2, "kN-mm"},    {"F/L2^2", 3, "F/L2^2"},  {"F2/F", 1, "tons/F"},  // only F2 replaced
      {"L2", 0, "ft"},          {"L2", 9, "L2"},          // clamped to 1 .. 3
  };
  for (const auto &c : cases) EXPECT_EQ(ExpandPlotUnits(c.code, c.units), c.text) << c.code << " " << c.units;
  EXPECT_EQ(AxisCaption("Depth", "L2", 1), "Depth (ft)");
  EXPECT_EQ(AxisCaption("Depth", "", 1), "Depth");
}

TEST(PlotScale, SoilColumnFills) {
  EXPECT_EQ(BandFillFor(1), BandFill::BackDiagonal);
  EXPECT_EQ(BandFillFor(6), BandFill::Vertical);
  EXPECT_EQ(BandFillFor(0), BandFill::None);
  EXPECT_EQ(BandFillFor(13), BandFill::None);
  // The six patterns differ from each other and are not blank.
  for (int v = 7; v <= 12; ++v) {
    EXPECT_EQ(BandFillFor(v), BandFill::Pattern);
    EXPECT_NE(BandPattern(v), (std::array<std::uint8_t, 8>{}));
    for (int w = v + 1; w <= 12; ++w) EXPECT_NE(BandPattern(v), BandPattern(w));
  }
  EXPECT_EQ(BandPattern(3), (std::array<std::uint8_t, 8>{}));
  const double ys[] = {10, 25, 40};
  const auto spans = BandSpans(0, ys);
  ASSERT_EQ(spans.size(), 3u);
  EXPECT_DOUBLE_EQ(spans[1].from, 10);
  EXPECT_DOUBLE_EQ(spans[1].to, 25);
  EXPECT_DOUBLE_EQ(spans[0].from, 0);
}

// The legend goes where it crosses the fewest curve segments; ties keep the
// top right first.
TEST(PlotScale, LegendTakesTheEmptiestCorner) {
  const QRect graph(0, 0, 400, 300);  // right 399, bottom 299
  const QSize box(100, 50);
  const std::vector<QPoint> diagonal{{0, 0}, {399, 299}};           // top left to bottom right
  const std::vector<QPoint> alongTop{{0, 20}, {399, 20}};            // under both top corners
  const std::vector<QPoint> rightSide{{380, 0}, {380, 299}};         // under both right corners
  EXPECT_EQ(LegendCorner(graph, box, 5, {diagonal}), QRect(295, 5, 100, 50));
  EXPECT_EQ(LegendCorner(graph, box, 5, {alongTop}), QRect(5, 245, 100, 50));
  EXPECT_EQ(LegendCorner(graph, box, 5, {diagonal, rightSide}), QRect(5, 245, 100, 50));
  // Everywhere covered: the corner with the least cover.
  const std::vector<QPoint> alongBottom{{0, 280}, {399, 280}};
  const std::vector<QPoint> leftSide{{20, 0}, {20, 299}};
  EXPECT_EQ(LegendCorner(graph, box, 5, {alongTop, alongBottom, leftSide, rightSide, {{390, 10}, {391, 11}}}),
            QRect(5, 245, 100, 50));
  // No curves: the top right.
  EXPECT_EQ(LegendCorner(graph, box, 5, {}), QRect(295, 5, 100, 50));
}

}  // namespace
}  // namespace pylar
