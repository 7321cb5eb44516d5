// The bitmap file: header bytes, size, pixels read back, and an atomic
// replace.
#include <gtest/gtest.h>

#include <filesystem>

#include "analyzer/plot/bmp_writer.h"
#include "analyzer/plot/plot_trace.h"
#include "tests/unit/config_test_dir.h"
#include "tests/unit/plot/plot_pixels.h"

using namespace analyzer;
using namespace plot_test;

namespace {

class Bitmap : public PlainDir {
protected:
    static uint32_t U32(const std::string& b, size_t at)
    {
        return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
               uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
    }
    // A plot 930 pixels wide (2790 bytes a row: two bytes of padding) with a trace.
    PlotCanvasPtr Plot()
    {
        PlotSettings s;
        s.channel_labels = false;
        std::string error;
        PlotCanvasPtr c = CreatePlotCanvas(s, {}, &error);
        EXPECT_TRUE(c) << error;
        TraceState st;
        BeginTraces(st, 32);
        const PlotChannel ch{1, "x", ui::Rgb(10, 120, 230), 3};
        for (int t = 0; t <= 60; ++t) {
            DrawSample(*c, st, ch, 500 + 400 * ((t % 7) / 7.0), t);
            FinishPass(st, t);
        }
        DrawTimeReadout(*c, 60);
        return c;
    }
};

} // namespace

TEST_F(Bitmap, HeaderFieldsByteForByte)
{
    // 5 x 3 pixels: 15 bytes a row, padded to 16.
    uint32_t pixels[15] = {};
    PixelView v{reinterpret_cast<const uint8_t*>(pixels), 5, 3, 20};
    ASSERT_TRUE(WriteBmpFile(Path("small.bmp"), v, nullptr));
    const std::string b = Get("small.bmp");
    const uint8_t expected[54] = {
        'B',  'M',  102, 0, 0,    0,    0, 0, 0,  0, 54, 0, 0, 0, // file header: size 54 + 3 * 16
        40,   0,    0,   0, 5,    0,    0, 0, 3,  0, 0,  0,       // info header, width, height
        1,    0,    24,  0, 0,    0,    0, 0, 48, 0, 0,  0, // planes, 24 bits, no compression, size
        0xC4, 0x0E, 0,   0, 0xC4, 0x0E, 0, 0,               // 3780 pixels per metre (96 dpi)
        0,    0,    0,   0, 0,    0,    0, 0};              // no colour table
    ASSERT_EQ(b.size(), 102u);
    EXPECT_EQ(b.substr(0, 54), std::string(reinterpret_cast<const char*>(expected), 54));
}

TEST_F(Bitmap, PixelsReadBackEqualTheSurfaceBottomUpWithPaddedRows)
{
    PlotCanvasPtr c = Plot();
    PixelView v = CanvasPixels(*c);
    std::string error;
    ASSERT_TRUE(WriteBmpFile(Path("plot.bmp"), v, &error)) << error;
    const std::string b = Get("plot.bmp");
    const size_t row = 2792;
    ASSERT_EQ(b.size(), 54 + row * 730);
    EXPECT_EQ(U32(b, 18), 930u);
    EXPECT_EQ(U32(b, 22), 730u);
    int mismatches = 0;
    for (int y = 0; y < v.height; ++y) {
        const size_t base = 54 + size_t(v.height - 1 - y) * row;
        for (int x = 0; x < v.width; ++x) {
            const size_t p = base + 3 * size_t(x);
            ui::Colour c3 = ui::Rgb(uint8_t(b[p + 2]), uint8_t(b[p + 1]), uint8_t(b[p]));
            mismatches += c3 != At(v, x, y);
        }
        mismatches += b[base + 2790] != 0 || b[base + 2791] != 0;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(Bitmap, AFailedSaveLeavesTheOldFileAndNoLeftovers)
{
    Put("plot.bmp", "the picture saved before");
    PlotCanvasPtr c = Plot();
    LimitFileSize(100000); // the disk fills up in the middle of the rows
    std::string error;
    EXPECT_FALSE(WriteBmpFile(Path("plot.bmp"), CanvasPixels(*c), &error));
    LimitFileSize(RLIM_INFINITY);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Get("plot.bmp"), "the picture saved before");
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        EXPECT_EQ(entry.path().filename().string().find(".regscope"), std::string::npos);
    EXPECT_FALSE(WriteBmpFile(Path("no/such/folder/plot.bmp"), CanvasPixels(*c), &error));

    // A successful save replaces it whole.
    ASSERT_TRUE(WriteBmpFile(Path("plot.bmp"), CanvasPixels(*c), &error)) << error;
    EXPECT_EQ(Get("plot.bmp").size(), 54u + 2792u * 730u);
}
