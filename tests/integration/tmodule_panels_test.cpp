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

// NODE-T04 that stays silent at one chosen request.
struct FailingAt {
    std::atomic<int> seen{0};
    std::atomic<int> fail_at{0};
};

TEST_F(TestModuleBus, Panel24ReadAllStopsAtTheFirstFailure)
{
    auto bank = std::make_shared<sim::RegisterBank>();
    sim::SlaveHandler model = sim::ModuleModel(bank, {"NODE-T04", "r.01.008", true});
    auto fail = std::make_shared<FailingAt>();
    sim_.AddSlave(5, [model, fail](const sim::Request& r) -> sim::Reply {
        if (r.function != 17 && ++fail->seen == fail->fail_at)
            return std::nullopt;
        return model(r);
    });
    Identify(5);

    // Under Auto Read the fifth request of a cycle goes unanswered.
    std::vector<int> boxes;
    for (int k = 1; k <= 19; ++k)
        boxes.push_back(24000 + 10 * k + 1);
    for (int id : boxes)
        ui::SetText(id, "old");
    headless::Click(24003); // one cycle at once, all answered
    EXPECT_EQ(ui::GetStatusText(), "Auto read active");
    EXPECT_EQ(ui::GetStatusColour(), app::AutoReadIdleColour);
    for (int id : boxes)
        ui::SetText(id, "old");
    Requests();
    fail->seen = 0;
    fail->fail_at = 5;
    headless::Tick();

    EXPECT_EQ(Requests().size(), 5u);
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(Text(boxes[i]) == "old", i >= 4) << "field " << i + 1;
    EXPECT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(app::AutoReadActive, 0);
    EXPECT_EQ(ui::GetStatusText(), "Ready");
    headless::Tick(3);
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(headless::MessagesShown().size(), 1u);
}

} // namespace
