// The bitmap file: every byte of a small picture, an atomic replace, and
// the clean-up of what killed saves left.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
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

TEST_F(Bitmap, ASaveRemovesOnlyItsOwnStaleTemporariesInItsFolder)
{
    // Left by a killed save a while ago, unless said otherwise.
    const char* const gone = ".regscope-bmp-Killed";
    const char* const kept[] = {".regscope-bmp-Recent", ".regscope-bmp-Locked",
                                ".regscope-bmp-Linked", ".regscope-bmp-TwoNms",
                                ".regscope-bmp-Others", ".regscope-bmp-TooLong"};
    for (const char* name : {gone, kept[0], kept[1], kept[3], kept[4], kept[5]})
        Put(name, "half a picture");
    Put("target", "someone's file");
    ASSERT_EQ(symlink(Path("target").c_str(), Path(kept[2]).c_str()), 0);
    ASSERT_EQ(link(Path(kept[3]).c_str(), Path("second-name").c_str()), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(lchown(Path(kept[4]).c_str(), 65534, 65534), 0);
    }
    const timespec old[2] = {{time(nullptr) - 120, 0}, {time(nullptr) - 120, 0}};
    for (const char* name : {gone, kept[1], kept[2], kept[3], kept[4], kept[5]})
        ASSERT_EQ(utimensat(AT_FDCWD, Path(name).c_str(), old, AT_SYMLINK_NOFOLLOW), 0);
    const int writer = open(Path(kept[1]).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(writer, LOCK_EX), 0); // a save still under way

    const uint32_t pixel = 0;
    ASSERT_TRUE(WriteBmpFile(Path("plot.bmp"), {reinterpret_cast<const uint8_t*>(&pixel), 1, 1, 4},
                             nullptr));
    close(writer);
    EXPECT_FALSE(std::filesystem::exists(Path(gone)));
    for (const char* name : kept)
        if (root || name != kept[4]) { // a plain user owns "another user's" file
            EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(Path(name))))
                << name;
        }
    EXPECT_EQ(Get("target"), "someone's file");
}
