// Traces: segments, gaps, the first-sample rules and the area each pass
// reports for refreshing.
#include <gtest/gtest.h>

#include <cstring>

#include "analyzer/plot/plot_scale.h"
#include "analyzer/plot/plot_trace.h"
#include "tests/unit/plot/plot_pixels.h"

using namespace analyzer;
using namespace plot_test;

namespace {

const PlotChannel kCh1{1, "CH01_Label", kRed, 3};

class Traces : public ::testing::Test {
protected:
    void Start(const PlotSettings& s = PlotSettings{})
    {
        std::string error;
        canvas_ = CreatePlotCanvas(s, {kCh1}, &error);
        ASSERT_TRUE(canvas_) << error;
        BeginTraces(state_, 32);
        TakeDirtyRects(*canvas_);
    }
    // One pass: the sample of CH01 at t.
    bool Pass(double t, double v)
    {
        DrawTimeReadout(*canvas_, t);
        bool drawn = DrawSample(*canvas_, state_, kCh1, v, t);
        FinishPass(state_, t);
        return drawn;
    }
    bool RedAt(int x, int y) { return Reddish(At(CanvasPixels(*canvas_), x, y)); }
    int RedInPlotArea()
    {
        return Count(CanvasPixels(*canvas_), 0, 0, CanvasWidth(*canvas_) - 1, 680, Reddish) -
               Count(CanvasPixels(*canvas_), 915, 45, CanvasWidth(*canvas_) - 1, 70, Reddish);
    }

    PlotCanvasPtr canvas_;
    TraceState state_;
};

} // namespace

TEST_F(Traces, AJumpOutOfRangeLeavesAGapForThatStepAndTheStepBack)
{
    Start();
    // x(t) = 100 + t * 40 / 3; y(500) = 350; y(1200) is above the drawing.
    EXPECT_TRUE(Pass(0, 500));
    EXPECT_TRUE(Pass(1, 500));
    EXPECT_FALSE(Pass(2, 1200));
    EXPECT_FALSE(Pass(3, 500)); // previous value 1200 is out of range
    EXPECT_TRUE(Pass(4, 500));
    EXPECT_TRUE(RedAt(106, 351));  // 0 -> 1
    EXPECT_FALSE(RedAt(133, 351)); // 2 -> 3: nothing
    EXPECT_FALSE(RedAt(127, 340)); // nor a segment clipped at the top edge
    EXPECT_TRUE(RedAt(146, 351));  // 3 -> 4
    EXPECT_TRUE(CanvasHealthy(*canvas_));
}

TEST_F(Traces, RangeEdgesAreInsideAndAReversedRangeDrawsNothing)
{
    Start();
    EXPECT_TRUE(Pass(0, 0));
    EXPECT_TRUE(Pass(3, 1000)); // both edges count as in range
    EXPECT_FALSE(Pass(6, 1000.001));
    EXPECT_FALSE(Pass(9, -0.001));

    PlotSettings s;
    s.value_min = 1000;
    s.value_max = 0;
    Start(s);
    for (int t = 0; t <= 60; ++t)
        EXPECT_FALSE(Pass(t, 500));
    EXPECT_EQ(RedInPlotArea(), 0);
}

TEST_F(Traces, ASampleAfterTheEndIsDrawnRightOfTheFrame)
{
    // SAMPLE_TIME 7, PLOT_TIME_MAX 60: the sample at 63 s lands 5 % of W
    // (40 pixels) right of the frame; the plot window stops after it.
    Start();
    for (int t = 0; t <= 63; t += 7)
        EXPECT_TRUE(Pass(t, 500)) << t;
    EXPECT_TRUE(RedAt(938, 350));
    EXPECT_FALSE(RedAt(943, 350));
    PixelRect dirty = Bounds(TakeDirtyRects(*canvas_));
    EXPECT_GE(dirty.x + dirty.width, 941);
}

TEST_F(Traces, FirstSampleIsADotWhenStartedAtZeroAndALevelLineOneTickLater)
{
    Start();
    EXPECT_TRUE(Pass(0, 500)); // started by Auto Read: elapsed time 0
    EXPECT_TRUE(RedAt(100, 350));
    EXPECT_FALSE(RedAt(104, 350));

    // Started with "Plot Start" during Auto Read: first sample one tick
    // later, a level line from the left edge. The old plot's last value
    // (here 900) is not joined to it.
    Pass(1, 900);
    Start();
    EXPECT_TRUE(Pass(1, 500));
    EXPECT_TRUE(RedAt(102, 350));
    EXPECT_TRUE(RedAt(112, 350));
    EXPECT_FALSE(RedAt(106, 120)); // y(900) = 110: no line from there
}

TEST_F(Traces, EachPassReportsOnlyWhatItChanged)
{
    PlotSettings big;
    big.width = 5000;
    big.height = 5000;
    Start(big);
    std::vector<PlotChannel> many;
    for (int c = 1; c <= 32; ++c)
        many.push_back({c, "", ui::Rgb(c * 8, 0, 255 - c * 8), 1 + c % 10});
    const PixelView px = CanvasPixels(*canvas_);
    std::vector<uint8_t> before;
    for (int t = 0; t < 4; ++t) {
        before.assign(px.data, px.data + size_t(px.stride) * size_t(px.height));
        DrawTimeReadout(*canvas_, t);
        for (const PlotChannel& ch : many)
            DrawSample(*canvas_, state_, ch, (ch.number * 37 + t * 300) % 1000, t);
        FinishPass(state_, t);
        const std::vector<PixelRect> dirty = TakeDirtyRects(*canvas_);
        CanvasPixels(*canvas_);
        long area = 0;
        for (const PixelRect& r : dirty)
            area += long(r.width) * r.height;
        // Segments 83 pixels long spread over the height, and the readout:
        // a small part of the 25-million-pixel drawing.
        EXPECT_LT(area, 1000000L) << t;
        int outside = 0;
        for (int y = 0; y < px.height; ++y) {
            const size_t row = size_t(y) * size_t(px.stride);
            if (std::memcmp(before.data() + row, px.data + row, size_t(px.width) * 4) == 0)
                continue;
            for (int x = 0; x < px.width; ++x) {
                if (std::memcmp(before.data() + row + 4 * size_t(x), px.data + row + 4 * size_t(x),
                                4) == 0)
                    continue;
                bool covered = false;
                for (const PixelRect& r : dirty)
                    covered |= x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
                outside += !covered;
            }
        }
        EXPECT_EQ(outside, 0) << t;
    }
    EXPECT_TRUE(TakeDirtyRects(*canvas_).empty());
}
