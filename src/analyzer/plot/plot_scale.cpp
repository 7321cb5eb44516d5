#include "analyzer/plot/plot_scale.h"

#include <cmath>

namespace analyzer {

namespace {

bool Placeable(double c) { return std::isfinite(c) && std::fabs(c) <= kMaxCoordinate; }

// min + (max - min) * f, also when max - min overflows.
double Between(double lo, double hi, double f)
{
    double span = hi - lo;
    if (std::isfinite(span))
        return lo + span * f;
    return lo * (1.0 - f) + hi * f;
}

} // namespace

bool TimeToX(const PlotSettings& s, double t, double* x)
{
    if (!(s.time_max > 0.0))
        return false;
    double r = kPlotLeft + t * s.width / s.time_max;
    if (!Placeable(r))
        return false;
    *x = r;
    return true;
}

bool ValueToY(const PlotSettings& s, double v, double* y)
{
    const double lo = s.value_min, hi = s.value_max;
    if (!(hi > lo))
        return false;
    double r = s.height + kPlotTop - (v - lo) * s.height / (hi - lo);
    if (!std::isfinite(r)) // a span or distance beyond the largest double
        r = s.height + kPlotTop - (v / 2 - lo / 2) / (hi / 2 - lo / 2) * s.height;
    if (!Placeable(r))
        return false;
    *y = r;
    return true;
}

bool ValueInRange(const PlotSettings& s, double v) { return s.value_min <= v && v <= s.value_max; }

double ValueLabel(const PlotSettings& s, int j)
{
    double v = Between(s.value_min, s.value_max, double(j) / s.div_y);
    double scale = std::fmax(std::fabs(s.value_min), std::fabs(s.value_max));
    if (std::fabs(v) < scale * 1e-12)
        v = 0.0;
    return v;
}

double TimeLabel(const PlotSettings& s, int j)
{
    const double t = s.time_max * j / s.div_x;
    // time_max * j overflows for a time_max near the largest double.
    return std::isfinite(t) ? t : s.time_max * (double(j) / s.div_x);
}

int MainValueLineY(const PlotSettings& s, int j)
{
    return int(std::lround(s.height + kPlotTop - double(s.height) * j / s.div_y));
}

int SubValueLineY(const PlotSettings& s, int j, int m)
{
    double yj = s.height + kPlotTop - double(s.height) * j / s.div_y;
    return int(std::lround(yj - m * double(s.height) / s.div_y / s.subdiv_y));
}

int MainTimeLineX(const PlotSettings& s, int j)
{
    return int(std::lround(kPlotLeft + double(s.width) * j / s.div_x));
}

int SubTimeLineX(const PlotSettings& s, int j, int m)
{
    double xj = kPlotLeft + double(s.width) * j / s.div_x;
    return int(std::lround(xj + m * double(s.width) / s.div_x / s.subdiv_x));
}

} // namespace analyzer
