// The communication monitor on the headless window system: lines arrive at
// the refresh, pause holds them back and resume catches up, clear starts the
// lines and statistics afresh, save writes lines and statistics, and the
// capture runs only while the monitor is open.
#include <gtest/gtest.h>

#include <string>

#include "monitor/monitor_window.h"
#include "platform/headless/headless.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "tests/support/engine_capture.h"
#include "tests/support/program_folder.h"

namespace {

using namespace modbus;
using namespace engine_test;

void Record(const Bytes& reply, int16_t result, int64_t sent_us)
{
    engine_test::Record(reply, result, sent_us, 1200);
}

class Monitor : public FolderTest {
protected:
    void SetUp() override
    {
        FolderTest::SetUp();
        ui::EventSink sink;
        sink.on_window_command = monitor::OnLineWindowCommand;
        sink.on_window_refresh = monitor::OnLineWindowRefresh;
        sink.on_window_closed = monitor::OnLineWindowClosed;
        ui::SetEventSink(sink);
        ui::CreateMainWindow("RegScope", 0, 0, 400, 280, {}, {});
    }

    static int Window() { return monitor::MonitorWindowHandle(); }
    static std::string Lines() { return ui::LinesText(Window()); }
    static std::string Note() { return headless::LineWindow(Window())->note; }
    static void Press(int command)
    {
        ASSERT_TRUE(headless::PressLineWindowButton(Window(), command));
    }
};

TEST_F(Monitor, OpensOnceAndRecordsOnlyWhileOpen)
{
    Record(kGood, kOk, 0);
    EXPECT_EQ(CaptureNextSequence(), 0u) << "a closed monitor records nothing";
    monitor::OpenMonitor();
    const headless::LineWindowState* w = headless::LineWindow(Window());
    EXPECT_TRUE(w->shown);
    EXPECT_EQ(w->spec.title, "RegScope [Communication monitor]");

    int first = Window();
    monitor::OpenMonitor();
    EXPECT_EQ(Window(), first) << "a second open brings the same window forward";
    EXPECT_EQ(w->shows, 2);

    ASSERT_TRUE(headless::PressLineWindowCloseBox(first));
    EXPECT_FALSE(monitor::MonitorOpen());
    EXPECT_FALSE(CaptureEnabled());

    // A capture someone else switched on outlives the monitor.
    SetCaptureEnabled(true);
    monitor::OpenMonitor();
    monitor::CloseMonitor();
    EXPECT_TRUE(CaptureEnabled());
}

TEST_F(Monitor, LinesArriveAtTheRefreshPauseHoldsThemBackClearStartsAfresh)
{
    monitor::OpenMonitor();
    Record(kGood, kOk, 1'000'000);
    EXPECT_EQ(Lines(), "") << "nothing is appended from inside a transaction";
    headless::RefreshLineWindows();
    EXPECT_EQ(CountOf(Lines(), " TX "), 1);
    EXPECT_EQ(CountOf(Lines(), " RX "), 1);
    EXPECT_NE(Note().find("good 1"), std::string::npos) << Note();

    Press(monitor::kPauseCommand);
    EXPECT_EQ(headless::LineWindow(Window())->spec.buttons[0].text, "Resume");
    Record({}, kTimeout, 2'000'000);
    Record(Bytes{1, 3, 2, 0, 5, 0, 0}, kBadChecksum, 3'000'000);
    headless::RefreshLineWindows();
    EXPECT_EQ(CountOf(Lines(), " TX "), 1) << "paused: the list stays";
    EXPECT_NE(Note().find("time-outs 1  CRC errors 1"), std::string::npos)
        << "the statistics stay live\n"
        << Note();

    Press(monitor::kPauseCommand);
    EXPECT_EQ(headless::LineWindow(Window())->spec.buttons[0].text, "Pause");
    EXPECT_EQ(CountOf(Lines(), " TX "), 3) << "resume catches up at once";
    EXPECT_NE(Lines().find("| timeout"), std::string::npos) << Lines();
    EXPECT_NE(Lines().find("bad CRC"), std::string::npos) << Lines();

    // Clear starts the lines and the statistics afresh.
    Press(monitor::kClearCommand);
    EXPECT_EQ(ui::LineCount(Window()), 0u);
    EXPECT_EQ(Note().rfind("Requests 0", 0), 0u) << Note();
    Record(kGood, kOk, 5'000'000);
    headless::RefreshLineWindows();
    EXPECT_EQ(CountOf(Lines(), " TX "), 1);
    EXPECT_NE(Lines().find("      0.000000 TX"), std::string::npos)
        << "times count from the first frame after the clear\n"
        << Lines();
    EXPECT_EQ(Note().rfind("Requests 1  good 1  time-outs 0", 0), 0u) << Note();
}

TEST_F(Monitor, SaveWritesTheLinesAndTheStatistics)
{
    monitor::OpenMonitor();
    Record(kGood, kOk, 1'000'000);
    Record({}, kTimeout, 2'000'000);
    // Saved without waiting for the refresh: the file has every frame so far.
    std::string path = Path("monitor.txt");
    headless::QueueFileAnswer(path);
    Press(monitor::kSaveCommand);
    ASSERT_EQ(headless::FileDialogsShown().size(), 1u);
    EXPECT_TRUE(headless::FileDialogsShown()[0].save);
    EXPECT_EQ(headless::FileDialogsShown()[0].default_ext, "txt");
    std::string text, error;
    ASSERT_TRUE(sys::ReadFile(path, &text, &error)) << error;
    EXPECT_EQ(text.rfind("# COM1 9600 bit/s even parity", 0), 0u) << text;
    EXPECT_EQ(CountOf(text, " TX "), 2);
    EXPECT_NE(text.find("\n# Requests 2  good 1  time-outs 1"), std::string::npos) << text;
    EXPECT_NE(text.find("\n# Response time  min 1.200 ms"), std::string::npos) << text;

    // Cancelled: nothing written; a folder that does not exist: the error said.
    headless::QueueFileAnswer(std::nullopt);
    Press(monitor::kSaveCommand);
    headless::QueueFileAnswer(Path("missing/monitor.txt"));
    Press(monitor::kSaveCommand);
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].title, "Save monitor lines");
    EXPECT_EQ(headless::MessagesShown()[0].icon, ui::Icon::Stop);
}

} // namespace
