// Image windows on the headless window system: the program's buffer shown
// without a copy, refreshed rectangles, size and the close box.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform_events.h"

namespace {

using platform_test::Events;
using Strings = std::vector<std::string>;

class ImageWindows : public ::testing::Test {
protected:
    void SetUp() override { platform_test::OpenMainWindow(); }
};

TEST_F(ImageWindows, ShowTheProgramsOwnBufferAndRecordRefreshes)
{
    int plot = ui::CreateImageWindow("RegScope [Plot values]", 930, 730, 12, 34);
    ASSERT_GT(plot, 0);
    const headless::ImageWindowState* w = headless::ImageWindow(plot);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->shown);
    ui::ShowImageWindow(plot);
    EXPECT_TRUE(w->shown);
    EXPECT_EQ(w->title, "RegScope [Plot values]");

    // Rows padded beyond the width, as a cairo surface may have them.
    const int width = 5, height = 3, stride = 8 * 4;
    std::vector<uint32_t> pixels(8 * height, 0x00FFFFFF);
    ui::SetImagePixels(plot, pixels.data(), width, height, stride);
    pixels[1 * 8 + 4] = 0x00FF0000; // drawn after it was handed over
    ui::RefreshImageRect(plot, 4, 1, 1, 1);
    EXPECT_EQ(w->pixels, pixels.data());
    EXPECT_EQ(headless::ImagePixel(plot, 4, 1), 0x00FF0000u);
    EXPECT_EQ(headless::ImagePixel(plot, 0, 0), 0x00FFFFFFu);
    EXPECT_EQ(headless::ImagePixel(plot, 5, 1), 0u) << "the padding is not the picture";
    ASSERT_EQ(w->refreshed.size(), 1u);
    EXPECT_EQ(w->refreshed[0].x, 4);
    EXPECT_EQ(w->refreshed[0].w, 1);
}

TEST_F(ImageWindows, CloseBoxObeysThePermissionAndReportsWhichWindowClosed)
{
    int older = ui::CreateImageWindow("one", 500, 500, 0, 0);
    int plot = ui::CreateImageWindow("two", 500, 500, 0, 0);
    EXPECT_NE(older, plot);
    ui::AllowImageWindowClose(plot, false);
    EXPECT_FALSE(headless::PressImageWindowCloseBox(plot));
    EXPECT_TRUE(ui::ImageWindowExists(plot));
    EXPECT_TRUE(Events().empty());

    ui::AllowImageWindowClose(plot, true);
    EXPECT_TRUE(headless::PressImageWindowCloseBox(plot));
    EXPECT_FALSE(ui::ImageWindowExists(plot));
    EXPECT_EQ(Events(), (Strings{"closed " + std::to_string(plot)}));
    EXPECT_EQ(headless::ImageWindowHandles(), (std::vector<int>{older}));

    // Destroyed by the program: no event. A new window never reuses a handle.
    ui::DestroyImageWindow(older);
    EXPECT_FALSE(ui::ImageWindowExists(older));
    EXPECT_EQ(Events().size(), 1u);
    int newer = ui::CreateImageWindow("three", 500, 500, 0, 0);
    EXPECT_GT(newer, plot);

    // Calls on a window that is gone are ignored.
    ui::SetImagePixels(plot, nullptr, 0, 0, 0);
    ui::RefreshImageRect(plot, 0, 0, 1, 1);
    int x = -1, y = -1;
    ui::GetImageWindowPosition(plot, &x, &y);
    EXPECT_EQ(x, 0);

    // The main window takes the rest with it, again without events.
    ui::CloseMainWindow();
    EXPECT_FALSE(ui::ImageWindowExists(newer));
    EXPECT_EQ(Events().size(), 1u);
}

} // namespace
