// Where times, values and grid lines fall on the plot, in pixels of the
// drawing (origin top-left, y downwards). Pure arithmetic, no drawing.
//
// Degenerate settings never produce a non-finite coordinate: a point that
// cannot be placed is reported as such and its segment is not drawn.
//  - PLOT_VALUE_MAX below PLOT_VALUE_MIN: no value is in range.
//  - PLOT_VALUE_MAX equal to PLOT_VALUE_MIN: that one value is "in range" but
//    has no height on a scale of zero span, so nothing is drawn either.
//  - PLOT_TIME_MAX 0 or negative: the time axis has no length; no segment is
//    drawn (the plot stops after its first pass anyway).
//  - Points further than kMaxCoordinate from the drawing (a tiny
//    PLOT_TIME_MAX such as 1e-300) are not drawn: they could not be seen and
//    would overflow the rasteriser's fixed-point numbers.
#pragma once

#include "analyzer/plot/plot_settings.h"

namespace analyzer {

constexpr double kMaxCoordinate = 1 << 20;

// The plot area spans x = kPlotLeft .. kPlotLeft + W, y = kPlotTop .. kPlotTop + H.
constexpr int kPlotLeft = 100;
constexpr int kPlotTop = 50;
// Margin around the plot area: the drawing is (W + 130) x (H + 130) before the legend.
constexpr int kPlotMargin = 130;

// x(t) = 100 + t * W / PLOT_TIME_MAX. False when t cannot be placed.
bool TimeToX(const PlotSettings& s, double t, double* x);

// y(v) = H + 50 - (v - PLOT_VALUE_MIN) * H / (PLOT_VALUE_MAX - PLOT_VALUE_MIN).
// False when v cannot be placed (see above); a value outside the range is
// still placed (the caller decides about gaps).
bool ValueToY(const PlotSettings& s, double v, double* y);

// PLOT_VALUE_MIN <= v <= PLOT_VALUE_MAX (never for NaN or an inverted range).
bool ValueInRange(const PlotSettings& s, double v);

// Value printed beside main value line j (0..div_y), without overflow for
// ranges such as -1e300..1e300, and with rounding noise near zero (1e-17
// where 0 is meant) printed as 0.
double ValueLabel(const PlotSettings& s, int j);
// Time printed under main time line j (0..div_x).
double TimeLabel(const PlotSettings& s, int j);

// Grid lines, rounded to whole pixels so that they stay one pixel sharp.
int MainValueLineY(const PlotSettings& s, int j);       // j = 0..div_y
int SubValueLineY(const PlotSettings& s, int j, int m); // m = 1..subdiv_y-1
int MainTimeLineX(const PlotSettings& s, int j);
int SubTimeLineX(const PlotSettings& s, int j, int m);

} // namespace analyzer
