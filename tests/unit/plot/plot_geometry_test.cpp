// The still picture of a plot with the default settings, checked pixel by
// pixel on the surface that the window shows and the bitmap saves.
#include <gtest/gtest.h>

#include "analyzer/plot/plot_canvas.h"
#include "tests/unit/plot/plot_pixels.h"

using namespace analyzer;
using namespace plot_test;

namespace {

std::vector<PlotChannel> TwoChannels()
{
    return {{1, "CH01_Label", kRed, 3}, {3, "Tank", kBlue, 3}};
}

class DefaultPlot : public ::testing::Test {
protected:
    void SetUp() override
    {
        canvas_ = CreatePlotCanvas(PlotSettings{}, TwoChannels(), &error_);
        ASSERT_TRUE(canvas_) << error_;
        px_ = CanvasPixels(*canvas_);
    }
    std::string error_;
    PlotCanvasPtr canvas_;
    PixelView px_;
};

} // namespace

TEST_F(DefaultPlot, SizeTitleCaptionAndLegend)
{
    PlotSettings no_legend;
    no_legend.channel_labels = false;
    auto bare = CreatePlotCanvas(no_legend, TwoChannels(), &error_);
    ASSERT_TRUE(bare);
    EXPECT_EQ(CanvasWidth(*bare), 930);
    EXPECT_EQ(CanvasHeight(*bare), 730);

    EXPECT_GT(CanvasWidth(*canvas_), 930);
    EXPECT_EQ(CanvasHeight(*canvas_), 730);
    // The widest label starts at W + 120 and the drawing ends 20 pixels after it.
    PixelRect ink = InkBox(px_, 915, 45, px_.width - 1, 70);
    EXPECT_NEAR(ink.x + ink.width, px_.width - 20, 2);

    // The title and the time caption are centred over the plot area.
    PixelRect title = InkBox(px_, 0, 5, 915, 30);
    ASSERT_FALSE(title.Empty());
    EXPECT_NEAR(title.x + title.width / 2.0, 500, 2);
    EXPECT_GE(title.y, 10);
    // 12 pt is a 16-pixel em: capitals about 11-12 pixels tall.
    EXPECT_GE(title.height, 11);
    EXPECT_LE(title.height, 16);

    PixelRect caption = InkBox(px_, 200, 690, 915, 729);
    ASSERT_FALSE(caption.Empty());
    EXPECT_NEAR(caption.x + caption.width / 2.0, 500, 2);
    EXPECT_GE(caption.y, 692);

    // The legend lists the given channels 30 pixels apart in their colours.
    const int x0 = 920, x1 = px_.width - 1;
    EXPECT_GT(Count(px_, x0, 50, x1, 66, Reddish), 10);
    EXPECT_EQ(Count(px_, x0, 50, x1, 66, Bluish), 0);
    EXPECT_GT(Count(px_, x0, 80, x1, 96, Bluish), 10);
    EXPECT_EQ(Count(px_, x0, 80, x1, 96, Reddish), 0);
    EXPECT_TRUE(InkBox(px_, x0, 100, x1, 729).Empty()); // no third entry
    EXPECT_TRUE(InkBox(px_, x0, 0, x1, 49).Empty());
}

TEST_F(DefaultPlot, GridOfMainAndDottedLinesTicksAndFrame)
{
    // Row 656 is crossed by every vertical line (main lines reach 660 as
    // ticks under the frame, dotted ones start at 656); row 655 by the main
    // lines only, each one pixel wide; nothing below the ticks.
    const std::set<int> main = Steps(100, 40, 21);
    EXPECT_EQ(BlackColumnsOfRow(px_, 656), Steps(100, 20, 41));
    EXPECT_EQ(BlackColumnsOfRow(px_, 655), main);
    EXPECT_EQ(BlackColumnsOfRow(px_, 660), main);
    EXPECT_TRUE(BlackColumnsOfRow(px_, 661).empty());

    // Columns 94 and 95 likewise for the horizontal lines, 90 for the ticks
    // left of the frame.
    const std::set<int> main_rows = Steps(50, 150, 5);
    EXPECT_EQ(BlackRowsOfColumn(px_, 94), Steps(50, 15, 41));
    EXPECT_EQ(BlackRowsOfColumn(px_, 95), main_rows);
    EXPECT_EQ(BlackRowsOfColumn(px_, 90), main_rows);
    EXPECT_TRUE(BlackRowsOfColumn(px_, 89).empty());

    // Dotted: every other pixel along a secondary line. The frame's right
    // and bottom edges are solid and nothing is drawn right of it.
    EXPECT_EQ(At(px_, 94, 635), kBlack);
    EXPECT_EQ(At(px_, 95, 635), kWhite);
    EXPECT_EQ(At(px_, 96, 635), kBlack);
    auto black = [](ui::Colour c) { return c == kBlack; };
    EXPECT_EQ(Count(px_, 900, 50, 900, 660, black), 611);
    EXPECT_EQ(Count(px_, 90, 650, 900, 650, black), 811);
    EXPECT_TRUE(InkBox(px_, 901, 45, 914, 660).Empty());
}

TEST_F(DefaultPlot, AxisLabelsSitWhereTheirMeasuredWidthPutsThem)
{
    // Value labels end 18 pixels left of the frame, their cell's top 10 above the line.
    for (int y : {650, 500, 350, 200, 50}) {
        PixelRect ink = InkBox(px_, 0, y - 10, 85, y + 5);
        ASSERT_FALSE(ink.Empty()) << y;
        EXPECT_GE(ink.x + ink.width - 1, 78) << y;
        EXPECT_LE(ink.x + ink.width - 1, 82) << y;
    }
    // "1000" is wider than "0".
    EXPECT_LT(InkBox(px_, 0, 40, 85, 55).x, InkBox(px_, 0, 640, 85, 655).x - 10);

    // Time labels centred on their lines, their top at H + 65.
    for (int x : {100, 300, 500, 700, 900}) {
        PixelRect ink = InkBox(px_, x - 30, 662, x + 30, 685);
        ASSERT_FALSE(ink.Empty()) << x;
        EXPECT_NEAR(ink.x + ink.width / 2.0, x, 1.5) << x;
        EXPECT_GE(ink.y, 665) << x;
    }
    // No label where none belongs (x = 140, a main line that is not every 5th).
    EXPECT_TRUE(InkBox(px_, 125, 662, 155, 685).Empty());
}

TEST_F(DefaultPlot, ReadoutIsPrintedOverItselfAndErasedByBlanks)
{
    TakeDirtyRects(*canvas_);
    DrawTimeReadout(*canvas_, 12.0);
    PixelRect dirty = Bounds(TakeDirtyRects(*canvas_));
    PixelRect ink = InkBox(px_, 90, 688, 300, 729);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.x, 95);
    EXPECT_GE(ink.y, 692);
    // "000012.00": nine characters of a 16-pixel font, about 76 pixels.
    EXPECT_GT(ink.width, 60);
    EXPECT_LT(ink.width, 90);
    // The refreshed area holds the readout and little else.
    EXPECT_LE(dirty.x, ink.x);
    EXPECT_GE(dirty.x + dirty.width, ink.x + ink.width);
    EXPECT_LT(dirty.width * dirty.height, 130 * 25);

    DrawTimeReadout(*canvas_, 1234567.5); // wider than the blanks
    DrawTimeReadout(*canvas_, 13.0);      // must not leave the longer one's tail
    PixelRect shorter = InkBox(px_, 90, 688, 300, 729);
    EXPECT_NEAR(shorter.width, ink.width, 1);

    DrawTimeReadout(*canvas_, 1234567.5);
    EraseTimeReadout(*canvas_);
    EXPECT_TRUE(InkBox(px_, 90, 688, 300, 729).Empty());
    EXPECT_FALSE(InkBox(px_, 300, 688, 700, 729).Empty()); // "Time (s)" stays
    EXPECT_TRUE(CanvasHealthy(*canvas_));
}
