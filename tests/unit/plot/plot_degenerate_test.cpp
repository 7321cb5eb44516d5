// Hand-edited settings that make no sense must neither crash nor break the
// drawing: the cairo context stays usable and only finite numbers reach it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <map>

#include "analyzer/plot/number_text.h"
#include "analyzer/plot/plot_scale.h"
#include "analyzer/plot/plot_trace.h"
#include "tests/unit/plot/plot_pixels.h"

using namespace analyzer;
using namespace plot_test;

namespace {

// The default file's plot keys, with those of `changed` ("KEY=value;...")
// put in.
PlotSettings FromKeys(const std::string& changed)
{
    std::map<std::string, std::string> keys;
    const std::string text = "PLOT_AUTO_START=1;PLOT_TITLE=Plot Title;PLOT_SIZE_X=800;"
                             "PLOT_SIZE_Y=600;PLOT_DIV_X=20;PLOT_DIV_Y=4;PLOT_LABEL_X=5;"
                             "PLOT_LABEL_Y=1;PLOT_SUBDIV_X=2;PLOT_SUBDIV_Y=10;PLOT_VALUE_MIN=0.0;"
                             "PLOT_VALUE_MAX=1000.0;PLOT_TIME_MAX=60.0;PLOT_CH_LABELS=1;"
                             "PLOT_LOG_ENABLE=0;PLOT_LOG_OVERWRITE=0;PLOT_LOG_FILE=/x/Plot.log;"
                             "PLOT_BMP_FILE=/x/Plot.bmp;" +
                             changed;
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = std::min(text.find(';', at), text.size());
        const size_t eq = text.find('=', at);
        keys[text.substr(at, eq - at)] = text.substr(eq + 1, end - eq - 1);
    }
    return ReadPlotSettings([&](const std::string& key) { return keys.at(key); });
}

// A whole plot: start, 20 passes of two channels, stop. Returns how many
// segments were drawn.
int RunPlot(const PlotSettings& s)
{
    std::string error;
    const PlotChannel a{1, "A", kRed, 3}, b{2, "B", kBlue, 1};
    auto canvas = CreatePlotCanvas(s, {a, b}, &error);
    EXPECT_TRUE(canvas) << error;
    if (!canvas)
        return -1;
    TraceState state;
    BeginTraces(state, 32);
    int drawn = 0;
    for (int i = 0; i < 20; ++i) {
        const double t = i * 7.0;
        DrawTimeReadout(*canvas, t);
        drawn += DrawSample(*canvas, state, a, s.value_min, t);
        drawn += DrawSample(*canvas, state, b, i % 2 ? NAN : s.value_max, t);
        FinishPass(state, t);
        TakeDirtyRects(*canvas);
    }
    EraseTimeReadout(*canvas);
    EXPECT_TRUE(CanvasHealthy(*canvas));
    return drawn;
}

} // namespace

TEST(PlotSettingsLoading, OddValuesComeIntoRange)
{
    EXPECT_EQ(FromKeys("PLOT_SIZE_X=300").width, 300); // sane, though below the dialog's 500
    const std::string huge(400, '9');
    PlotSettings odd = FromKeys("PLOT_SIZE_X=0;PLOT_SIZE_Y=70000;PLOT_DIV_X=0;PLOT_DIV_Y=-3;"
                                "PLOT_LABEL_X=0;PLOT_SUBDIV_Y=32767;PLOT_SUBDIV_X=2.6;"
                                "PLOT_VALUE_MAX=" +
                                huge + ";PLOT_TIME_MAX=-" + huge);
    EXPECT_EQ(odd.width, 1);
    EXPECT_EQ(odd.height, 5000);
    EXPECT_EQ(odd.div_x, 1);
    EXPECT_EQ(odd.div_y, 1);
    EXPECT_EQ(odd.label_x, 1);
    EXPECT_EQ(odd.subdiv_y, 100);
    EXPECT_EQ(odd.subdiv_x, 3);
    EXPECT_EQ(odd.value_max, DBL_MAX);
    EXPECT_EQ(odd.time_max, -DBL_MAX);
}

TEST(PlotDegenerate, EqualLimitsZeroOrNegativeTimeAndHugeNumbersDrawSafely)
{
    const std::string huge(400, '9');
    const struct {
        std::string keys;
        bool draws;
    } cases[] = {
        // A zero value span or a time axis of no length cannot place a point.
        {"PLOT_VALUE_MIN=500;PLOT_VALUE_MAX=500", false},
        {"PLOT_TIME_MAX=0", false},
        {"PLOT_TIME_MAX=-60", false},
        // x(7) would be beyond any surface (7e300 pixels): not drawn, but the
        // zero-length first segment at t = 0 is.
        {"PLOT_TIME_MAX=0." + std::string(299, '0') + "1", true},
        // Spans beyond the largest double still map into the frame.
        {"PLOT_VALUE_MIN=-" + huge + ";PLOT_VALUE_MAX=" + huge, true},
        {"PLOT_TIME_MAX=" + huge, true},
        // Every size and count at its lowest and highest.
        {"PLOT_SIZE_X=1;PLOT_SIZE_Y=-5", true},
        {"PLOT_DIV_X=0;PLOT_DIV_Y=0;PLOT_LABEL_X=0;PLOT_LABEL_Y=0;PLOT_SUBDIV_X=0;PLOT_SUBDIV_Y=0",
         true},
        {"PLOT_DIV_X=999;PLOT_SUBDIV_X=999;PLOT_DIV_Y=999;PLOT_SUBDIV_Y=999", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunPlot(FromKeys(c.keys)) > 0, c.draws) << c.keys.substr(0, 60);
}

TEST(PlotDegenerate, InvalidTextInTitleOrLabelsDoesNotStopTheDrawing)
{
    PlotSettings s;
    s.title = "Temp \xb0"
              "C \xff\xfe";
    std::string error;
    auto canvas = CreatePlotCanvas(s, {{1, "Fl\xfc\x73s", kRed, 3}}, &error);
    ASSERT_TRUE(canvas) << error;
    EXPECT_TRUE(CanvasHealthy(*canvas));
}

// The densest grid Plot setup accepts has more lines than pixels: each row
// and column is drawn once, dotted or (where a main line falls) solid. A
// legend is bounded as the plot area is.
TEST(PlotDegenerate, DensestGridAndLongestLabelsStayWithinThePixels)
{
    PlotSettings s;
    s.width = s.height = 500;
    s.div_x = s.div_y = s.subdiv_x = s.subdiv_y = 100;
    std::string error;
    auto canvas = CreatePlotCanvas(s, {{1, std::string(2000, 'W'), kRed, 3}}, &error);
    ASSERT_TRUE(canvas) << error;
    EXPECT_EQ(CanvasWidth(*canvas), 500 + 130 + kPlotSizeMax);
    const PixelView px = CanvasPixels(*canvas);
    // Dotted lines start inked at column 94 and row 556 (H + 56).
    EXPECT_EQ(BlackRowsOfColumn(px, 94), Steps(50, 1, 501));
    EXPECT_EQ(BlackRowsOfColumn(px, 95), Steps(50, 5, 101));
    EXPECT_EQ(BlackColumnsOfRow(px, 556), Steps(100, 1, 501));
    EXPECT_EQ(BlackColumnsOfRow(px, 555), Steps(100, 5, 101));
}

TEST(PlotScale, LabelsOfWideRangesAndRoundingNoise)
{
    PlotSettings s;
    s.value_min = -DBL_MAX;
    s.value_max = DBL_MAX;
    EXPECT_EQ(ValueLabel(s, 2), 0.0);
    EXPECT_EQ(ValueLabel(s, 4), DBL_MAX);
    s.value_min = -0.1;
    s.value_max = 0.2;
    s.div_y = 3;
    EXPECT_EQ(ValueLabel(s, 1), 0.0); // not 1.4e-17
    // Time labels print what the axis shows, also near the largest double.
    s.time_max = DBL_MAX;
    EXPECT_EQ(AxisLabelText(TimeLabel(s, 5)), "4.4942E+307");
    EXPECT_EQ(AxisLabelText(TimeLabel(s, 20)), "1.7977E+308");
}
