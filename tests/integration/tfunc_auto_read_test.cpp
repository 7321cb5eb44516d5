// Auto Read in the Test function tool, and broadcasts.
#include "tfunc_fixture.h"

#include <mutex>

#include "requests/requests.h"

namespace {

class AutoRead : public TestFunctionOnBus {
protected:
    // The generic slave at address 1, noting the status bar as the request
    // arrives: the program is then inside its transaction, blocked on the
    // reply, so the status is the one it showed while busy.
    void WatchStatusDuringRequests()
    {
        auto generic = sim::GenericSlave(bank_);
        sim_.AddSlave(1, [this, generic](const sim::Request& r) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                busy_.emplace_back(ui::GetStatusText(), ui::GetStatusColour());
            }
            return generic(r);
        });
    }

    std::mutex mutex_;
    std::vector<std::pair<std::string, ui::Colour>> busy_;
};

TEST_F(AutoRead, ReadsAtEveryTickOrangeWhileBusyYellowBetween)
{
    WatchStatusDuringRequests();
    bank_->SetHolding(0, 5);
    OpenFunction("3");
    headless::Click(53002);
    EXPECT_TRUE(app::AutoReadActive);
    EXPECT_EQ(ui::TimerPeriod(), 1000);
    ASSERT_EQ(FrameCount(), 1u); // the first read comes at once
    EXPECT_EQ(Text(53031), "00000 > 00005   00000000.00000101 \r\n");
    EXPECT_EQ(ui::GetStatusText(), "Auto read active");

    bank_->SetHolding(0, 6);
    EXPECT_EQ(headless::Tick(2), 2);
    EXPECT_EQ(FrameCount(), 3u);
    EXPECT_EQ(Text(53031), "00000 > 00006   00000000.00000110 \r\n");
    EXPECT_EQ(ui::GetStatusColour(), ui::Rgb(255, 255, 0));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        EXPECT_EQ(busy_, decltype(busy_)(3, {"Auto read active", ui::Rgb(255, 165, 0)}));
    }

    // While it runs, the other controls of the sub-form are inert.
    headless::SetTextAsUser(53021, "4");
    EXPECT_EQ(Cfg("FUNCTION_TEST_3_QTY"), "1");
    EXPECT_NE(Text(53031), "");
    headless::Click(53001);
    EXPECT_EQ(FrameCount(), 3u);

    // Stopping: "Ready", and the still running timer's ticks do nothing.
    headless::Click(53002);
    EXPECT_FALSE(app::AutoReadActive);
    EXPECT_EQ(ui::GetStatusColour(), app::StatusColour);
    EXPECT_EQ(headless::Tick(3), 3);
    EXPECT_EQ(FrameCount(), 3u);
    EXPECT_EQ(ui::GetStatusText(), "Ready");
}

TEST_F(AutoRead, ATimeOutStopsItWithOneErrorBox)
{
    OpenFunction("1");
    headless::Click(51002);
    ASSERT_TRUE(app::AutoReadActive);
    size_t frames = FrameCount();

    sim::Fault silent;
    silent.kind = sim::Fault::NoReply;
    silent.times = -1;
    sim_.InjectFault(silent);
    headless::Tick();
    EXPECT_EQ(Boxes(), "stop Communication error: Timeout: replay not received\n");
    EXPECT_FALSE(app::AutoReadActive);
    EXPECT_EQ(ui::GetStatusText(), "Ready");
    EXPECT_EQ(ui::GetStatusColour(), app::StatusColour);
    EXPECT_EQ(Text(51031), "");
    EXPECT_EQ(FrameCount(), frames + 1);

    EXPECT_EQ(headless::Tick(3), 3);
    EXPECT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(FrameCount(), frames + 1);
}

// The busy cursor comes for a wait the user started that outlasts a short
// grace (a silent slave), and goes with the command; a prompt reply shows
// none, nor does a tick's pass, which the status bar's colours show.
TEST_F(AutoRead, TheBusyCursorShowsWhileAWaitOfTheUserLasts)
{
    OpenFunction("3");
    headless::Click(53001); // Read, answered at once
    headless::Click(53002); // Auto Read: its first pass too
    EXPECT_EQ(FrameCount(), 2u);
    EXPECT_EQ(headless::BusyCursorShows(), 0);

    sim::Fault silent;
    silent.kind = sim::Fault::NoReply;
    silent.times = -1;
    sim_.InjectFault(silent);
    headless::Tick();
    EXPECT_FALSE(app::AutoReadActive); // the time-out of the tick's pass
    EXPECT_EQ(headless::BusyCursorShows(), 0);
    headless::Click(53001);
    EXPECT_EQ(FrameCount(), 4u);
    EXPECT_EQ(headless::BusyCursorShows(), 1);
    EXPECT_FALSE(ui::BusyCursorShown());
}

// Broadcasts from the requests the tools share: a write is sent, and the
// identification has no reply to take.
TEST_F(TestFunctionOnBus, BroadcastsAreSentAndNothingIsReadBack)
{
    constexpr int kBox = 30001; // a box of no tool, so no tool reacts to it
    ui::CreateControl({.kind = ui::Kind::Edit, .id = kBox, .text = "9", .w = 50, .h = 15});
    EXPECT_EQ(modbus::WriteRegister(0, kBox, "8"), 0);
    EXPECT_EQ(ui::GetStatusText(), "Holding Register writed to Slave 0 : Address 8");
    ASSERT_TRUE(sim_.WaitForFrames(1, 1.0));
    EXPECT_EQ(LastFrameData(), (modbus::Bytes{0, 6, 0, 8, 0, 9}));

    std::string model = "x", version = "y";
    EXPECT_EQ(modbus::ReadSlaveInfo(0, &model, &version), 0);
    EXPECT_EQ(model, "x");
    EXPECT_TRUE(headless::MessagesShown().empty());
}

} // namespace
