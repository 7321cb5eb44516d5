// Auto Read in the Test function tool, and listings that need a slave which
// answers beyond address 65535.
#include "tfunc_fixture.h"

#include <mutex>

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
                busy_status_.push_back(ui::GetStatusText());
                busy_colours_.push_back(ui::GetStatusColour());
            }
            return generic(r);
        });
    }

    std::mutex mutex_;
    std::vector<std::string> busy_status_;
    std::vector<ui::Colour> busy_colours_;
};

TEST_F(AutoRead, ReadsAtEveryTickOrangeWhileBusyYellowBetween)
{
    WatchStatusDuringRequests();
    bank_->SetHolding(0, 5);
    OpenFunction("3");
    headless::Click(53002);
    EXPECT_TRUE(AutoReadActive);
    EXPECT_EQ(ui::TimerPeriod(), 1000);
    ASSERT_EQ(FrameCount(), 1u); // the first read comes at once
    EXPECT_EQ(Text(53031), "00000 > 00005   00000000.00000101 \r\n");
    EXPECT_EQ(ui::GetStatusText(), "Auto read active");
    EXPECT_EQ(ui::GetStatusColour(), ui::Rgb(255, 255, 0));

    bank_->SetHolding(0, 6);
    EXPECT_EQ(headless::Tick(2), 2);
    EXPECT_EQ(FrameCount(), 3u);
    EXPECT_EQ(Text(53031), "00000 > 00006   00000000.00000110 \r\n");
    EXPECT_EQ(ui::GetStatusColour(), ui::Rgb(255, 255, 0));
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ASSERT_EQ(busy_colours_.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(busy_status_[i], "Auto read active");
            EXPECT_EQ(busy_colours_[i], ui::Rgb(255, 165, 0));
        }
    }

    // While it runs, the other controls of the sub-form are inert.
    headless::SetTextAsUser(53021, "4");
    EXPECT_EQ(Key("FUNCTION_TEST_3_QTY"), "1");
    EXPECT_NE(Text(53031), "");
    headless::Click(53001);
    EXPECT_EQ(FrameCount(), 3u);

    // Stopping: "Ready", and the still running timer's ticks do nothing.
    headless::Click(53002);
    EXPECT_FALSE(AutoReadActive);
    EXPECT_EQ(ui::GetStatusText(), "Ready");
    EXPECT_EQ(ui::GetStatusColour(), StatusColour);
    EXPECT_EQ(headless::Tick(3), 3);
    EXPECT_EQ(FrameCount(), 3u);
    EXPECT_EQ(ui::GetStatusText(), "Ready");

    // The box is live again; its next edit reaches the key.
    headless::SetTextAsUser(53021, "4");
    EXPECT_EQ(Key("FUNCTION_TEST_3_QTY"), "4");
}

TEST_F(AutoRead, ATimeOutStopsItWithOneErrorBox)
{
    OpenFunction("1");
    headless::Click(51002);
    ASSERT_TRUE(AutoReadActive);
    size_t frames = FrameCount();

    sim::Fault silent;
    silent.kind = sim::Fault::NoReply;
    silent.times = -1;
    sim_.InjectFault(silent);
    headless::Tick();
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].title, "Communication error");
    EXPECT_EQ(headless::MessagesShown()[0].text, "Timeout: replay not received");
    EXPECT_FALSE(AutoReadActive);
    EXPECT_EQ(ui::GetStatusText(), "Ready");
    EXPECT_EQ(ui::GetStatusColour(), StatusColour);
    EXPECT_EQ(Text(51031), "");
    EXPECT_EQ(FrameCount(), frames + 1);

    EXPECT_EQ(headless::Tick(3), 3);
    EXPECT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(FrameCount(), frames + 1);
    EXPECT_EQ(ui::GetStatusText(), "Ready");
}

TEST_F(AutoRead, AHeaderTouchStopsItAndOkReopensWithTheNewSlave)
{
    auto second = sim_.AddGenericSlave(2);
    second->SetCoil(0, true);
    OpenFunction("1");
    headless::Click(51002);
    ASSERT_TRUE(AutoReadActive);

    headless::Click(50014); // slave ">"
    EXPECT_FALSE(AutoReadActive);
    EXPECT_FALSE(ui::ControlExists(51031));
    EXPECT_EQ(Key("FUNCTION_SLAVE"), "2");
    size_t frames = FrameCount();
    headless::Tick(2);
    EXPECT_EQ(FrameCount(), frames);

    headless::Click(50003);
    headless::Click(51001);
    EXPECT_EQ(LastFrameData(), (Bytes{2, 1, 0, 0, 0, 1}));
    EXPECT_EQ(Text(51031), "00000 > 1 \r\n");
}

// A slave that counts addresses in 16 bits as the program does: register a
// holds a + 1, and only coil 0 is ON.
sim::Reply WrappingSlave(const sim::Request& r)
{
    unsigned start = r.data[0] * 256u + r.data[1];
    unsigned n = r.data[2] * 256u + r.data[3];
    Bytes reply{r.function};
    if (r.function == 1) {
        Bytes states(CoilBytes(n), 0);
        for (unsigned i = 0; i < n; ++i)
            if (uint16_t(start + i) == 0)
                states[i / 8] |= uint8_t(1u << (i % 8));
        reply.push_back(uint8_t(states.size()));
        reply.insert(reply.end(), states.begin(), states.end());
        return reply;
    }
    reply.push_back(uint8_t(2 * n));
    for (unsigned i = 0; i < n; ++i) {
        uint16_t v = uint16_t(uint16_t(start + i) + 1);
        reply.push_back(uint8_t(v >> 8));
        reply.push_back(uint8_t(v & 0xFF));
    }
    return reply;
}

TEST_F(TestFunctionOnBus, ListingsCountAddressesInSixteenBits)
{
    sim_.AddSlave(1, WrappingSlave);
    OpenFunction("3");
    headless::SetTextAsUser(53011, "65535");
    headless::SetTextAsUser(53021, "2");
    headless::Click(53001);
    EXPECT_EQ(LastFrameData(), (Bytes{1, 3, 0xFF, 0xFF, 0, 2}));
    EXPECT_EQ(Text(53031), "65535 > 00000   00000000.00000000 \r\n"
                           "00000 > 00001   00000000.00000001 \r\n");

    OpenFunction("1");
    headless::SetTextAsUser(51011, "65535");
    headless::SetTextAsUser(51021, "2");
    headless::Click(51001);
    EXPECT_EQ(Text(51031), "65535 > 0 \r\n00000 > 1 \r\n");
    EXPECT_EQ(ui::GetStatusText(), "Coil(s) readed from Slave 1 : Address 65535 : Quantity 2");
}

} // namespace
