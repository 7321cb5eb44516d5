// Line windows on the headless window system: lines kept up to a bound,
// buttons, the refresh period, the close box and the main window closing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform_events.h"

namespace {

using platform_test::Events;
using Strings = std::vector<std::string>;

class LineWindows : public ::testing::Test {
protected:
    void SetUp() override { platform_test::OpenMainWindow(); }

    static ui::LineWindowSpec Spec(size_t max_lines = 100)
    {
        ui::LineWindowSpec spec;
        spec.title = "Lines";
        spec.client_w_px = 640;
        spec.client_h_px = 400;
        spec.buttons = {{7001, "Pause"}, {7002, "Clear"}};
        spec.max_lines = max_lines;
        spec.note_lines = 2;
        spec.refresh_ms = 100;
        return spec;
    }
};

TEST_F(LineWindows, KeepTheLatestLinesUpToTheirBound)
{
    int w = ui::CreateLineWindow(Spec(3));
    ASSERT_GT(w, 0);
    ui::ShowLineWindow(w);

    ui::AppendLines(w, "");
    EXPECT_EQ(ui::LineCount(w), 0u) << "an empty text is no line";
    EXPECT_EQ(headless::LineWindow(w)->appends, 0);
    ui::AppendLines(w, "one\ntwo\n");
    ui::AppendLines(w, "three"); // a last line without its '\n'
    EXPECT_EQ(ui::LinesText(w), "one\ntwo\nthree\n");
    ui::AppendLines(w, "four\n\nsix\n"); // an empty line in the middle is a line
    EXPECT_EQ(ui::LineCount(w), 3u);
    EXPECT_EQ(ui::LinesText(w), "four\n\nsix\n") << "the oldest go first";

    ui::ClearLines(w);
    EXPECT_EQ(ui::LineCount(w), 0u);
    EXPECT_EQ(ui::LinesText(w), "");
}

TEST_F(LineWindows, ButtonsAndRefreshReachTheProgram)
{
    int w = ui::CreateLineWindow(Spec());
    EXPECT_FALSE(headless::PressLineWindowButton(w, 7001)) << "a hidden window is out of reach";
    ui::ShowLineWindow(w);
    EXPECT_TRUE(headless::PressLineWindowButton(w, 7002));
    EXPECT_FALSE(headless::PressLineWindowButton(w, 7003));

    ui::LineWindowSpec quiet = Spec();
    quiet.refresh_ms = 0;
    int other = ui::CreateLineWindow(quiet);
    EXPECT_EQ(headless::RefreshLineWindows(), 1) << "only the window that asked for it";
    std::string ws = std::to_string(w);
    EXPECT_EQ(Events(), (Strings{ws + " command 7002", ws + " refresh"}));
    EXPECT_TRUE(ui::LineWindowExists(other));
}

TEST_F(LineWindows, CloseBoxReportsAndHandlesAreNotReused)
{
    int first = ui::CreateLineWindow(Spec());
    ui::ShowLineWindow(first);
    ASSERT_TRUE(headless::PressLineWindowCloseBox(first));
    EXPECT_FALSE(ui::LineWindowExists(first));
    EXPECT_EQ(Events(), Strings{"closed " + std::to_string(first)});
    // What the program does with a handle that is gone does nothing.
    ui::AppendLines(first, "late\n");
    EXPECT_EQ(ui::LineCount(first), 0u);
    EXPECT_FALSE(headless::PressLineWindowCloseBox(first));

    int second = ui::CreateLineWindow(Spec());
    EXPECT_GT(second, first);
    ui::DestroyLineWindow(second);
    EXPECT_EQ(Events().size(), 1u) << "the program's own destroy is not reported";

    int third = ui::CreateLineWindow(Spec());
    ui::CloseMainWindow();
    EXPECT_FALSE(ui::LineWindowExists(third)) << "line windows go with the main window";
}

} // namespace
