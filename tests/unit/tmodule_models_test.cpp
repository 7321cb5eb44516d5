// The simulated module models, spoken to directly through their handlers:
// how their values behave and how the command line names them.
#include <gtest/gtest.h>

#include "sim/models.h"

namespace {

struct Model {
    explicit Model(const std::string& model, bool moving = true)
        : bank(std::make_shared<sim::RegisterBank>()),
          handler(sim::ModuleModel(bank, sim::ModelOptions{model, "r.01.003", moving}))
    {}
    // Input register a at t_s, or -1 when the model does not answer with it.
    int Input(uint16_t a, double t_s)
    {
        sim::Request r;
        r.address = 2;
        r.function = 4;
        r.data = {uint8_t(a >> 8), uint8_t(a), 0, 1};
        r.time_s = t_s;
        const sim::Reply reply = handler(r);
        return reply && reply->size() == 4 ? (*reply)[2] * 256 + (*reply)[3] : -1;
    }
    std::shared_ptr<sim::RegisterBank> bank;
    sim::SlaveHandler handler;
};

TEST(ModuleModels, DigitalInputsChangeWithTimeUnlessHeld)
{
    Model t01("NODE-T01");
    EXPECT_NE(t01.Input(0, 1.0), t01.Input(0, 2.0));

    Model held("NODE-T01", false);
    held.bank->SetInput(0, 1);
    EXPECT_EQ(held.Input(0, 1.0), 1);
    EXPECT_EQ(held.Input(0, 7.0), 1);
}

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
