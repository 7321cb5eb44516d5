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
    headless::Click(21001);
    EXPECT_EQ(Requests(), (Pairs{{4, 0}, {3, 0}, {3, 1}, {3, 2}}));
    EXPECT_EQ(ui::GetStatusText(), "All register readed from Slave 2");
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

TEST_F(TestModuleBus, ListsOfTheOtherPanels)
{
    Module(7, "NODE-T06", "r.01.005");
    Module(8, "NODE-T07", "r.01.000");
    Module(9, "NODE-T08", "r.01.010");

    Identify(7);
    headless::Click(26001);
    EXPECT_EQ(Requests(), (Pairs{{4, 0}, {4, 1}, {4, 2}, {4, 3}, {4, 4}, {3, 0}, {3, 1}, {3, 2},
                                 {3, 3}}));
    Identify(8);
    headless::Click(40001);
    headless::Click(40002);
    EXPECT_EQ(Requests(), (Pairs{{3, 0}, {6, 0}}));

    // NODE-T08: every field on a register of its own, the same for its
    // buttons and for the lists.
    Identify(9);
    headless::Click(41001);
    EXPECT_EQ(Requests(), (Pairs{{4, 1}, {4, 2}, {4, 3}, {4, 4}, {4, 5}, {3, 2}, {3, 3}, {3, 4},
                                 {3, 5}, {4, 0}, {3, 0}, {3, 1}}));
    EXPECT_TRUE(headless::MessagesShown().empty());
    headless::Click(41002);
    EXPECT_EQ(Requests(), (Pairs{{6, 2}, {6, 3}, {6, 4}, {6, 5}, {6, 0}, {6, 1}}));
    headless::Click(41013);
    headless::Click(41064);
    EXPECT_EQ(Requests(), (Pairs{{4, 1}, {6, 2}}));
}

TEST_F(TestModuleBus, ValuesReadOutOfRangeAreMarkedAndAnalogValuesStayUnsigned)
{
    auto t01 = Module(2, "NODE-T01", "r.01.003");
    auto t04 = Module(5, "NODE-T04", "r.01.008");
    t01->SetHolding(1, 50);
    t04->SetInput(3, 65535);
    t04->SetHolding(0, 256);

    Identify(2);
    headless::Click(21033);
    EXPECT_EQ(Text(21031), "50");
    EXPECT_EQ(Back(21031), ErrorColour);
    EXPECT_EQ(ui::GetStatusText(), "Holding Register readed from Slave 2 : Address 1");

    Identify(5);
    headless::Click(24043);
    EXPECT_EQ(Text(24041), "65535");
    headless::Click(24113);
    EXPECT_EQ(Text(24111), "256");
    EXPECT_EQ(Back(24111), FieldColour); // 0..65535 on this panel
    headless::SetTextAsUser(24191, "1001");
    EXPECT_EQ(Back(24191), ErrorColour);
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
    bus_.AddSlave(5, [model, fail](const sim::Request& r) -> sim::Reply {
        if (r.function != 17 && ++fail->seen == fail->fail_at)
            return std::nullopt;
        return model(r);
    });
    Identify(5);

    headless::Click(24001);
    Pairs all = Requests();
    ASSERT_EQ(all.size(), 19u);
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(all[i], (std::pair<int, int>{i < 10 ? 4 : 3, i < 10 ? i : i - 10})) << i;
    EXPECT_EQ(Text(24091).substr(0, 1), "2"); // about 25.0 degC
    EXPECT_EQ(Text(24101), "0000000000000000");

    // Under Auto Read the fifth request of a cycle goes unanswered.
    std::vector<int> boxes;
    for (int k = 1; k <= 19; ++k)
        boxes.push_back(24000 + 10 * k + 1);
    for (int id : boxes)
        ui::SetText(id, "old");
    headless::Click(24003); // one cycle at once, all answered
    EXPECT_EQ(ui::GetStatusText(), "Auto read active");
    EXPECT_EQ(ui::GetStatusColour(), AutoReadIdleColour);
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
    EXPECT_EQ(AutoReadActive, 0);
    EXPECT_EQ(ui::GetStatusText(), "Ready");
    headless::Tick(3);
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(headless::MessagesShown().size(), 1u);
}

TEST_F(TestModuleBus, AutoReadLeavesOnlyItsOwnButtonAlive)
{
    Module(2, "NODE-T01", "r.01.003");
    Identify(2);

    headless::Click(21003);
    EXPECT_EQ(AutoReadActive, 1);
    EXPECT_EQ(ui::TimerPeriod(), 1000);
    EXPECT_EQ(Requests().size(), 4u); // the first cycle at once
    EXPECT_EQ(ui::GetStatusColour(), AutoReadIdleColour);
    EXPECT_NE(Text(21011), "");

    for (int id : {21001, 21002, 21013, 21023, 21024, 21034})
        headless::Click(id);
    headless::SetTextAsUser(21031, "99");
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(ui::GetStatusText(), "Auto read active");
    EXPECT_EQ(Back(21031), FieldColour); // not checked either

    EXPECT_EQ(headless::Tick(2), 2);
    EXPECT_EQ(Requests().size(), 8u);

    headless::Click(21003);
    EXPECT_EQ(AutoReadActive, 0);
    EXPECT_EQ(ui::GetStatusText(), "Ready");
    EXPECT_EQ(ui::GetStatusColour(), StatusColour);
    headless::Tick(2);
    EXPECT_TRUE(Requests().empty());
    headless::Click(21013);
    EXPECT_EQ(Requests().size(), 1u);

    // A touch of the form ends Auto Read along with the panel.
    headless::Click(21003);
    headless::Focus(20011);
    EXPECT_EQ(AutoReadActive, 0);
    EXPECT_FALSE(ui::ControlExists(21003));
    EXPECT_EQ(Text(20001), " Test module");
    Requests();
    headless::Tick(2);
    EXPECT_TRUE(Requests().empty());
}

} // namespace
