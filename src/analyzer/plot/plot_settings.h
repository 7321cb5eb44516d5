// The [Analyzer - plot] keys as one plot uses them, read once at its start.
#pragma once

#include <functional>
#include <string>

namespace analyzer {

struct PlotSettings {
    bool auto_start = true;
    std::string title = "Plot Title";
    int width = 800;  // W: plot area in pixels
    int height = 600; // H
    int div_x = 20;   // main divisions of the time axis
    int div_y = 4;    // main divisions of the value axis
    int label_x = 5;  // a time label at every N-th main time line
    int label_y = 1;
    int subdiv_x = 2; // secondary divisions per main division
    int subdiv_y = 10;
    double value_min = 0.0; // value at the bottom edge
    double value_max = 1000.0;
    double time_max = 60.0; // s at the right edge; the plot stops there
    bool channel_labels = true;
    bool log_enable = false;
    bool log_overwrite = false;
    std::string log_file;
    std::string bmp_file;
};

// What a hand-edited integer is brought into. Sizes keep the dialog's upper
// limit (a larger one asks for gigabytes of surface) but only a floor of one
// pixel: a sane 300 stays 300, while 0 would divide by zero. Counts keep the
// dialog's range: 0 divides by zero, 30000 would hang in a million dotted
// lines.
constexpr int kPlotSizeMin = 1, kPlotSizeMax = 5000;
constexpr int kPlotCountMin = 1, kPlotCountMax = 100;

// Reads every key through `read` (key -> stored text), in the order the
// default file lists them. Integers are rounded to the nearest and brought
// into range; a number too large for a double reads as the largest double,
// so that every later computation stays finite.
using PlotKeyReader = std::function<std::string(const std::string& key)>;
PlotSettings ReadPlotSettings(const PlotKeyReader& read);

} // namespace analyzer
