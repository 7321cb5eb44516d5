#include "analyzer/plot/plot_settings.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "strings/number_parse.h"

namespace analyzer {

namespace {

int ReadCount(const PlotKeyReader& read, const char* key, int lo, int hi)
{
    double v = strings::ParseNumber(read(key));
    // Clamp before rounding: the double may be far outside any integer type.
    v = std::clamp(v, double(lo), double(hi));
    return int(std::nearbyint(v));
}

double ReadReal(const PlotKeyReader& read, const char* key)
{
    // ParseNumber gives infinity for a text of more than 308 digits.
    return std::clamp(strings::ParseNumber(read(key)), -DBL_MAX, DBL_MAX);
}

bool ReadFlag(const PlotKeyReader& read, const char* key)
{
    return strings::ParseNumber(read(key)) != 0.0;
}

} // namespace

PlotSettings ReadPlotSettings(const PlotKeyReader& read)
{
    PlotSettings s;
    s.auto_start = ReadFlag(read, "PLOT_AUTO_START");
    s.title = read("PLOT_TITLE");
    s.width = ReadCount(read, "PLOT_SIZE_X", kPlotSizeMin, kPlotSizeMax);
    s.height = ReadCount(read, "PLOT_SIZE_Y", kPlotSizeMin, kPlotSizeMax);
    s.div_x = ReadCount(read, "PLOT_DIV_X", kPlotCountMin, kPlotCountMax);
    s.div_y = ReadCount(read, "PLOT_DIV_Y", kPlotCountMin, kPlotCountMax);
    s.label_x = ReadCount(read, "PLOT_LABEL_X", kPlotCountMin, kPlotCountMax);
    s.label_y = ReadCount(read, "PLOT_LABEL_Y", kPlotCountMin, kPlotCountMax);
    s.subdiv_x = ReadCount(read, "PLOT_SUBDIV_X", kPlotCountMin, kPlotCountMax);
    s.subdiv_y = ReadCount(read, "PLOT_SUBDIV_Y", kPlotCountMin, kPlotCountMax);
    s.value_min = ReadReal(read, "PLOT_VALUE_MIN");
    s.value_max = ReadReal(read, "PLOT_VALUE_MAX");
    s.time_max = ReadReal(read, "PLOT_TIME_MAX");
    s.channel_labels = ReadFlag(read, "PLOT_CH_LABELS");
    s.log_enable = ReadFlag(read, "PLOT_LOG_ENABLE");
    s.log_overwrite = ReadFlag(read, "PLOT_LOG_OVERWRITE");
    s.log_file = read("PLOT_LOG_FILE");
    s.bmp_file = read("PLOT_BMP_FILE");
    return s;
}

} // namespace analyzer
