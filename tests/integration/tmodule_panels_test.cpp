// Module panels against the simulated bus: what the buttons send, how the
// fields show and take values, Read all / Write all and Auto Read.
#include "tests/integration/tmodule_fixture.h"

#include <atomic>

namespace {

using Pairs = std::vector<std::pair<int, int>>;

TEST_F(TestModuleBus, LedRegisterJoinsTheListsFromFirmware1_3)
{
    Module(2, "NODE-T01", "r.01.003");
    Module(3, "NODE-T01", "r.01.002");
    Module(4, "NODE-T03", "r.01.002");

    Identify(2);
    headless::Click(21002);
    EXPECT_EQ(Requests(), (Pairs{{6, 0}, {6, 1}, {6, 2}}));
    EXPECT_EQ(ui::GetStatusText(), "All register writed to Slave 2");

    Identify(3);
    headless::Click(21001);
    EXPECT_EQ(Requests(), (Pairs{{4, 0}, {3, 0}, {3, 1}}));
    EXPECT_TRUE(headless::MessagesShown().empty());
    // Its own button asks anyway, and the old module refuses.
    headless::Click(21043);
    EXPECT_EQ(Requests(), (Pairs{{3, 2}}));
    EXPECT_EQ(headless::MessagesShown().size(), 1u);

    Identify(4);
    headless::Click(23002);
    EXPECT_EQ(Requests(), (Pairs{{6, 0}}));
}

TEST_F(TestModuleBus, ValueReadOutOfRangeIsMarked)
{
    auto t01 = Module(2, "NODE-T01", "r.01.003");
    t01->SetHolding(1, 50);
    Identify(2);
    headless::Click(21033);
    EXPECT_EQ(Text(21031), "50");
    EXPECT_EQ(Back(21031), app::ErrorColour);
    EXPECT_EQ(ui::GetStatusText(), "Holding Register readed from Slave 2 : Address 1");
}

TEST_F(TestModuleBus, Panel24ReadAllStopsAtTheFirstFailure)
{
    // NODE-T04, silent at the request that brings the countdown to zero.
    sim::SlaveHandler model =
        sim::ModuleModel(std::make_shared<sim::RegisterBank>(), {"NODE-T04", "r.01.008", true});
    auto countdown = std::make_shared<std::atomic<int>>(0);
    sim_.AddSlave(5, [model, countdown](const sim::Request& r) {
        return r.function != 17 && --*countdown == 0 ? sim::Reply() : model(r);
    });
    Identify(5);

    headless::Click(24003); // Auto Read: one cycle at once, all answered
    EXPECT_EQ(ui::GetStatusText(), "Auto read active");
    EXPECT_EQ(ui::GetStatusColour(), app::AutoReadIdleColour);
    // The fifth request of the next cycle goes unanswered.
    for (int k = 1; k <= 19; ++k)
        ui::SetText(24000 + 10 * k + 1, "old");
    Requests();
    *countdown = 5;
    headless::Tick();

    EXPECT_EQ(Requests().size(), 5u);
    for (int k = 1; k <= 19; ++k)
        EXPECT_EQ(Text(24000 + 10 * k + 1) == "old", k >= 5) << "field " << k;
    EXPECT_EQ(app::AutoReadActive, 0);
    EXPECT_EQ(ui::GetStatusText(), "Ready");
    headless::Tick(3);
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(headless::MessagesShown().size(), 1u);
}

} // namespace
