// The bitmap file: every byte of a small picture, and an atomic replace.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "analyzer/plot/bmp_writer.h"
#include "tests/unit/config_test_dir.h"

using namespace analyzer;

using Bitmap = PlainDir;

TEST_F(Bitmap, SmallPictureByteForByteBottomUpWithPaddedRows)
{
    // 2 x 2 pixels, 0x00RRGGBB in memory: red, green over blue, white. Rows
    // of 6 bytes padded to 8, the bottom row first, each pixel blue first.
    const uint32_t pixels[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    PixelView v{reinterpret_cast<const uint8_t*>(pixels), 2, 2, 8};
    ASSERT_TRUE(WriteBmpFile(Path("small.bmp"), v, nullptr));
    const uint8_t expected[70] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0,
                                  0, // file header: size 54 + 2 * 8
                                  40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, // info header, width, height
                                  1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0, // planes, 24 bits, no
                                                                        // compression, size
                                  0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0,
                                  0,                      // 3780 pixels per metre (96 dpi)
                                  0, 0, 0, 0, 0, 0, 0, 0, // no colour table
                                  0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, // blue, white
                                  0, 0, 0xFF, 0, 0xFF, 0, 0, 0};      // red, green
    EXPECT_EQ(Get("small.bmp"), std::string(reinterpret_cast<const char*>(expected), 70));
}

TEST_F(Bitmap, AFailedSaveLeavesTheOldFileAndNoLeftovers)
{
    Put("plot.bmp", "the picture saved before");
    const std::vector<uint32_t> pixels(930 * 730, 0x123456);
    const PixelView v{reinterpret_cast<const uint8_t*>(pixels.data()), 930, 730, 4 * 930};
    LimitFileSize(100000); // the disk fills up in the middle of the rows
    std::string error;
    EXPECT_FALSE(WriteBmpFile(Path("plot.bmp"), v, &error));
    LimitFileSize(RLIM_INFINITY);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Get("plot.bmp"), "the picture saved before");
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        EXPECT_EQ(entry.path().filename().string().find(".regscope"), std::string::npos);
    EXPECT_FALSE(WriteBmpFile(Path("no/such/folder/plot.bmp"), v, &error));

    // A successful save replaces it whole.
    ASSERT_TRUE(WriteBmpFile(Path("plot.bmp"), v, &error)) << error;
    EXPECT_EQ(Get("plot.bmp").size(), 54u + 2792u * 730u);
}
