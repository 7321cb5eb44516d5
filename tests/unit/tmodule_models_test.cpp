// How the simulator's command line names the module models it runs.
#include <gtest/gtest.h>

#include "sim/models.h"

namespace {

TEST(ModuleModels, CommandLineModules)
{
    uint8_t address = 0;
    sim::ModelOptions o;
    ASSERT_TRUE(sim::ParseModelSpec("10=NODE-T04:r.01.007", &address, &o));
    EXPECT_EQ(address, 10);
    EXPECT_EQ(o.model, "NODE-T04");
    EXPECT_EQ(o.version, "r.01.007");
    for (const char* bad : {"10=NODE-T04", "248=NODE-T04:r.01.007", "10=NODE-T04-LONG:r.01.007"})
        EXPECT_FALSE(sim::ParseModelSpec(bad, &address, &o)) << bad;
}

} // namespace
