// The Analyzer's passes with all 32 channels against the simulator: what
// the status bar shows while the bus is busy, the elapsed time of each
// pass, and a failure in the middle of a pass.
#include "sim_program.h"

#include "analyzer/plot_window.h"

#include <mutex>

namespace {

constexpr int kValueBox0 = 60101;
constexpr int kReadAll = 60002;
constexpr int kAutoRead = 60004;

int ValueBox(int index) { return kValueBox0 + 10 * index; }

class AnalyzerOnBus : public ProgramOnBus<1> {
protected:
    void SetUp() override
    {
        ProgramOnBus<1>::SetUp();
        app::WriteConfigKey(app::CfgPath, "TIMEOUT", "0.3");
        for (int i = 0; i < 32; ++i) {
            char prefix[8];
            std::snprintf(prefix, sizeof prefix, "CH%02d_", i + 1);
            app::WriteConfigKey(app::CfgPath, std::string(prefix) + "ENABLE", "1");
            bank_->SetHolding(uint16_t(i), uint16_t(10 * i));
        }
    }

    // Auto Read starts a plot with the default file: its fonts are freed so
    // that the leak checker sees only the program's own memory.
    void TearDown() override
    {
        analyzer::ReleasePlotWindows();
        ProgramOnBus<1>::TearDown();
    }

    // Notes, as each request arrives, what the status bar shows and the
    // elapsed time: the program is then blocked in its transaction.
    void WatchRequests()
    {
        auto generic = sim::GenericSlave(bank_);
        sim_.AddSlave(1, [this, generic](const sim::Request& r) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back({ui::GetStatusText(), ui::GetStatusColour(), app::ElapsedTime});
            }
            return generic(r);
        });
    }

    struct Seen {
        std::string status;
        ui::Colour colour;
        double elapsed;
    };
    std::vector<Seen> SeenSoFar()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }

    std::mutex mutex_;
    std::vector<Seen> seen_;
};

TEST_F(AnalyzerOnBus, AutoReadIsOrangeDuringEachPassAndYellowBetween)
{
    WatchRequests();
    headless::MenuCommand(2104);
    headless::Click(kAutoRead);
    // The first pass runs at once, at elapsed time 0.
    ASSERT_EQ(sim_.Frames().size(), 32u);
    EXPECT_EQ(ui::GetText(ValueBox(31)), "310.0");
    EXPECT_EQ(ui::GetStatusText(), "Auto read active");
    EXPECT_EQ(ui::GetStatusColour(), ui::Rgb(255, 255, 0));

    bank_->SetHolding(31, 7);
    EXPECT_EQ(headless::Tick(2), 2);
    EXPECT_EQ(ui::GetText(ValueBox(31)), "7.0");
    EXPECT_EQ(ui::GetStatusColour(), ui::Rgb(255, 255, 0));
    std::vector<Seen> seen = SeenSoFar();
    ASSERT_EQ(seen.size(), 96u);
    for (size_t i = 0; i < seen.size(); ++i) {
        // The reads under Auto Read leave the status bar alone, and so do
        // the value boxes whose text they change.
        EXPECT_EQ(seen[i].status, "Auto read active") << "request " << i;
        EXPECT_EQ(seen[i].colour, ui::Rgb(255, 165, 0)) << "request " << i;
        EXPECT_EQ(seen[i].elapsed, double(i / 32)) << "request " << i;
    }
    EXPECT_TRUE(headless::MessagesShown().empty());
}

TEST_F(AnalyzerOnBus, ATimeOutAtChannel5EndsThePassWithOneReport)
{
    app::WriteConfigKey(app::CfgPath, "CH05_SLAVE_ADD", "2");
    sim_.AddGenericSlave(2);
    headless::MenuCommand(2104);
    for (int i = 0; i < 32; ++i)
        ui::SetText(ValueBox(i), "old");

    sim::Fault fault;
    fault.kind = sim::Fault::NoReply;
    fault.address = 2;
    sim_.InjectFault(fault);
    headless::Click(kAutoRead);

    EXPECT_EQ(sim_.Frames().size(), 5u);
    EXPECT_FALSE(app::AutoReadActive);
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].title, "Communication error");
    EXPECT_EQ(ui::GetStatusText(), "Ready");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ui::GetText(ValueBox(i)), std::to_string(10 * i) + ".0") << "channel " << i + 1;
    for (int i = 4; i < 32; ++i)
        EXPECT_EQ(ui::GetText(ValueBox(i)), "old") << "channel " << i + 1;

    // The timer keeps running and its ticks do nothing; Read all works again.
    EXPECT_EQ(headless::Tick(2), 2);
    EXPECT_EQ(sim_.Frames().size(), 5u);
    headless::Click(kReadAll);
    EXPECT_EQ(sim_.Frames().size(), 37u);
    EXPECT_EQ(ui::GetText(ValueBox(31)), "310.0");
    EXPECT_EQ(ui::GetStatusText(), "All register readed from Slave(s)");
    EXPECT_EQ(headless::MessagesShown().size(), 1u);
}

// A channel the program refuses to send ends Auto Read as a failed request
// does, or every tick would refuse it again.
TEST_F(AnalyzerOnBus, ARefusedChannelEndsAutoReadLikeAFailedRequest)
{
    app::WriteConfigKey(app::CfgPath, "CH05_WORD_ADD", "x12");
    headless::MenuCommand(2104);
    headless::Click(kAutoRead);
    EXPECT_EQ(sim_.Frames().size(), 4u);
    EXPECT_FALSE(app::AutoReadActive);
    EXPECT_EQ(headless::Tick(2), 2);
    EXPECT_EQ(sim_.Frames().size(), 4u);
    EXPECT_TRUE(headless::MessagesShown().empty());
}

} // namespace
