// The simulated module models, spoken to directly through their handlers:
// what they report, which registers they have, and how their values behave.
#include <gtest/gtest.h>

#include "sim/models.h"

namespace {

struct Model {
    explicit Model(const std::string& model, const std::string& version = "r.01.003",
                   bool moving = true)
        : bank(std::make_shared<sim::RegisterBank>()),
          handler(sim::ModuleModel(bank, sim::ModelOptions{model, version, moving}))
    {
    }
    sim::Reply Ask(uint8_t function, modbus::Bytes data, double t_s = 0)
    {
        sim::Request r;
        r.address = 2;
        r.function = function;
        r.data = std::move(data);
        r.time_s = t_s;
        return handler(r);
    }
    sim::Reply ReadInput(uint16_t a, uint16_t n = 1, double t_s = 0)
    {
        return Ask(4, {uint8_t(a >> 8), uint8_t(a), uint8_t(n >> 8), uint8_t(n)}, t_s);
    }
    // The register value of a one-register read, or -1 - exception code.
    int Input(uint16_t a, double t_s = 0) { return Value(ReadInput(a, 1, t_s)); }
    static int Value(const sim::Reply& r)
    {
        if (!r || r->empty())
            return -1000;
        if ((*r)[0] & 0x80)
            return -1 - (*r)[1];
        return (*r)[2] * 256 + (*r)[3];
    }
    std::shared_ptr<sim::RegisterBank> bank;
    sim::SlaveHandler handler;
};

constexpr int kIllegalAddress = -3; // exception 2

TEST(ModuleModels, ReportSlaveIdCarriesModelAndVersionWhereTheMasterReadsThem)
{
    for (const char* name : {"NODE-T01", "NODE-T02", "NODE-T03", "NODE-T04", "NODE-T05",
                             "NODE-T06", "NODE-T07", "NODE-T08", "OTHER-99"}) {
        Model m(name, "r.01.005");
        sim::Reply r = m.Ask(17, {});
        ASSERT_TRUE(r) << name;
        ASSERT_EQ(r->size(), 24u) << name; // function, byte count, 22 bytes
        EXPECT_EQ((*r)[0], 17);
        EXPECT_EQ((*r)[1], 22);
        EXPECT_EQ(std::string(r->begin() + 2, r->begin() + 10), name);
        EXPECT_EQ(std::string(r->begin() + 11, r->begin() + 19), "r.01.005");
    }
}

TEST(ModuleModels, DigitalInputsChangeWithTimeUnlessHeld)
{
    Model t01("NODE-T01");
    EXPECT_NE(t01.Input(0, 1.0), t01.Input(0, 2.0));

    Model held("NODE-T01", "r.01.003", false);
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
