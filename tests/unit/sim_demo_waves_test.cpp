// The demo slave's moving input registers.
#include <gtest/gtest.h>

#include <set>

#include "sim/demo_waves.h"
#include "sim/slave.h"

TEST(DemoWaves, EachOfTheFirstEightMovesWithinTheDefaultPlotRange)
{
    for (unsigned i = 0; i < 8; ++i) {
        std::set<uint16_t> seen;
        int largest_step = 0;
        uint16_t before = sim::DemoInputRegister(i, 0);
        for (double t = 0; t < 600; t += 0.25) {
            const uint16_t v = sim::DemoInputRegister(i, t);
            ASSERT_LE(v, 1000) << "register " << i << " at " << t << " s";
            seen.insert(v);
            largest_step = std::max(largest_step, std::abs(int(v) - int(before)));
            before = v;
        }
        EXPECT_GE(seen.size(), 2u) << "register " << i << " never moves";
        // Only the square wave, the step, the ramp and the counter may jump.
        if (i == 0 || i == 1 || i == 4 || i == 6) {
            EXPECT_LE(largest_step, 60) << "register " << i;
        }
        // The temperature stays near 25.0 °C.
        if (i == 6) {
            EXPECT_GE(*seen.begin(), 240);
            EXPECT_LE(*seen.rbegin(), 260);
        }
    }
    EXPECT_EQ(sim::DemoInputRegister(7, 12.7), 12);
}

TEST(DemoWaves, DemoSlaveServesThemAndKeepsItsHoldingRegisters)
{
    auto bank = std::make_shared<sim::RegisterBank>();
    sim::FillDemoValues(*bank);
    sim::SlaveHandler slave = sim::GenericSlave(bank, true);
    sim::Request r;
    r.address = 1;
    r.function = 4;
    r.data = {0, 0, 0, 8};
    r.time_s = 7.3;
    sim::Reply reply = slave(r);
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->size(), 2u + 16u);
    for (unsigned i = 0; i < 8; ++i)
        EXPECT_EQ(sim::Word(*reply, 2 + 2 * i), sim::DemoInputRegister(i, 7.3)) << i;

    r.function = 3;
    r.data = {0, 0, 0, 10};
    reply = slave(r);
    ASSERT_TRUE(reply);
    for (unsigned i = 0; i < 10; ++i)
        EXPECT_EQ(sim::Word(*reply, 2 + 2 * i), 111 * (i + 1));
}
