// The simulated module models, spoken to directly through their handlers:
// what they report, which registers they have, and how their values behave.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "sim/models.h"

namespace {


struct Model {
    explicit Model(const std::string& model, const std::string& version = "r.01.003",
                   bool moving = true)
        : bank(std::make_shared<sim::RegisterBank>()),
          handler(sim::ModuleModel(bank, sim::ModelOptions{model, version, moving}))
    {
    }
    sim::Reply Ask(uint8_t function, Bytes data, double t_s = 0)
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
    sim::Reply ReadHolding(uint16_t a, uint16_t n = 1)
    {
        return Ask(3, {uint8_t(a >> 8), uint8_t(a), uint8_t(n >> 8), uint8_t(n)});
    }
    sim::Reply WriteHolding(uint16_t a, uint16_t v)
    {
        return Ask(6, {uint8_t(a >> 8), uint8_t(a), uint8_t(v >> 8), uint8_t(v)});
    }
    // The register value of a one-register read, or -1 - exception code.
    int Input(uint16_t a, double t_s = 0) { return Value(ReadInput(a, 1, t_s)); }
    int Holding(uint16_t a) { return Value(ReadHolding(a)); }
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

TEST(ModuleModels, EachModelHasExactlyTheRegistersOfItsPanel)
{
    struct Case {
        const char* model;
        int inputs;                  // input registers 0 .. inputs-1
        std::vector<int> holdings;   // holding registers present
        int last_holding_checked;
    };
    const Case cases[] = {
        {"NODE-T01", 1, {0, 1, 2}, 4},      {"NODE-T02", 1, {1, 2}, 4},
        {"NODE-T03", 0, {0, 2}, 4},         {"NODE-T07", 0, {0}, 4},
        {"NODE-T04", 10, {0, 1, 2, 3, 4, 5, 6, 7, 8}, 10},
        {"NODE-T05", 5, {0, 1, 2, 3, 4, 5, 6, 7}, 9},
        {"NODE-T06", 5, {0, 1, 2, 3}, 5},
        {"NODE-T08", 6, {0, 1, 2, 3, 4, 5}, 7},
        {"NODE-T09", 0, {}, 3},
    };
    for (const Case& c : cases) {
        Model m(c.model, "r.02.000");
        for (int a = 0; a <= c.inputs; ++a)
            EXPECT_EQ(m.Input(uint16_t(a)) == kIllegalAddress, a == c.inputs) << c.model << " input " << a;
        for (int a = 0; a <= c.last_holding_checked; ++a) {
            bool present = std::find(c.holdings.begin(), c.holdings.end(), a) != c.holdings.end();
            EXPECT_EQ(m.Holding(uint16_t(a)) != kIllegalAddress, present) << c.model << " holding " << a;
            EXPECT_EQ(m.Value(m.WriteHolding(uint16_t(a), 1)) != kIllegalAddress, present)
                << c.model << " write " << a;
        }
    }
}

TEST(ModuleModels, LedRegisterExistsFromFirmware1_3On)
{
    for (const char* model : {"NODE-T01", "NODE-T02", "NODE-T03"}) {
        EXPECT_EQ(Model(model, "r.01.002").Holding(2), kIllegalAddress) << model;
        EXPECT_NE(Model(model, "r.01.003").Holding(2), kIllegalAddress) << model;
        EXPECT_NE(Model(model, "r.02.000").Holding(2), kIllegalAddress) << model;
    }
    EXPECT_EQ(Model("NODE-T07", "r.02.000").Holding(2), kIllegalAddress);
}

TEST(ModuleModels, RequestsTheModulesRefuse)
{
    Model m("NODE-T04");
    EXPECT_EQ(m.Value(m.ReadInput(8, 3)), kIllegalAddress); // runs past register 9
    EXPECT_EQ(m.Value(m.ReadInput(0, 0)), -4);               // quantity 0: exception 3
    EXPECT_EQ(m.Value(m.Ask(1, {0, 0, 0, 1})), -2);          // coils: exception 1
    sim::Reply all = m.ReadInput(0, 10);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->size(), 22u);
}

TEST(ModuleModels, HoldingRegistersKeepWhatIsWrittenWholeWordsIncluded)
{
    Model m("NODE-T01");
    EXPECT_EQ(m.WriteHolding(0, 261), (sim::Reply(Bytes{6, 0, 0, 1, 5})));
    EXPECT_EQ(m.Holding(0), 261);
    m.WriteHolding(1, 7);
    m.WriteHolding(2, 3);
    EXPECT_EQ(m.Holding(1), 7);
    EXPECT_EQ(m.Holding(2), 3);

    Model t05("NODE-T05");
    sim::Reply r = t05.Ask(16, {0, 4, 0, 2, 4, 0x01, 0x01, 0x02, 0x02});
    EXPECT_EQ(r, (sim::Reply(Bytes{16, 0, 4, 0, 2})));
    EXPECT_EQ(t05.Holding(4), 257);
    EXPECT_EQ(t05.Holding(5), 514);
}

TEST(ModuleModels, DigitalInputsChangeWithTimeUnlessHeld)
{
    Model t01("NODE-T01"), t02("NODE-T02"), t08("NODE-T08");
    EXPECT_NE(t01.Input(0, 1.0), t01.Input(0, 2.0));
    EXPECT_NE(t02.Input(0, 1.0), t02.Input(0, 2.0));
    EXPECT_NE(t08.Input(0, 1.0), t08.Input(0, 2.0));
    EXPECT_EQ(t08.Input(0, 100.0) & ~0x3F, 0); // six inputs

    Model held("NODE-T01", "r.01.003", false);
    held.bank->SetInput(0, 1);
    EXPECT_EQ(held.Input(0, 1.0), 1);
    EXPECT_EQ(held.Input(0, 7.0), 1);
}

TEST(ModuleModels, AnalogInputsDriftSmoothlyAndTemperatureStaysNear25)
{
    Model t04("NODE-T04");
    for (double t = 0; t < 120; t += 0.5) {
        int a = t04.Input(0, t), b = t04.Input(0, t + 0.01);
        EXPECT_LT(std::abs(a - b), 100) << t; // no jumps
        int temp = t04.Input(8, t);
        EXPECT_GE(temp, 240);
        EXPECT_LE(temp, 260);
    }
    EXPECT_NE(t04.Input(0, 0.0), t04.Input(0, 5.0));
    EXPECT_NE(t04.Input(0, 3.0), t04.Input(1, 3.0));
}

TEST(ModuleModels, UnknownConfigurationCodesRaiseTheChannelsErrorFlags)
{
    // 61 and 73 came with r.01.008.
    Model old_t04("NODE-T04", "r.01.007"), new_t04("NODE-T04", "r.01.008");
    for (Model* m : {&old_t04, &new_t04}) {
        m->WriteHolding(0, 61);
        m->WriteHolding(7, 73);
        m->WriteHolding(3, 0); // disabled
    }
    EXPECT_EQ(old_t04.Input(9), 0x4001);
    EXPECT_EQ(old_t04.Input(0), 0);
    EXPECT_EQ(new_t04.Input(9), 0);
    EXPECT_GT(new_t04.Input(0), 0);
    EXPECT_EQ(new_t04.Input(3), 0); // disabled channel reads 0

    Model t05("NODE-T05");
    t05.WriteHolding(7, 0x0301); // channel 3: voltage in, unknown output
    EXPECT_EQ(t05.Input(4), 0x4000);

    Model t06("NODE-T06");
    t06.WriteHolding(1, 3);
    EXPECT_EQ(t06.Input(4), 0x0004);

    Model t08("NODE-T08");
    t08.WriteHolding(5, 10); // RES2: codes 0..9
    t08.WriteHolding(2, 3);  // analog input 0: codes 0..2
    EXPECT_EQ(t08.Input(5), 0x41);
}

TEST(ModuleModels, DemoBusAndCommandLineModules)
{
    std::set<int> addresses;
    for (const sim::DemoModel& m : sim::DemoModels())
        addresses.insert(m.address);
    for (int a = 2; a <= 9; ++a)
        EXPECT_TRUE(addresses.count(a)) << a;
    EXPECT_FALSE(addresses.count(1)); // the generic slave's

    uint8_t address = 0;
    sim::ModelOptions o;
    ASSERT_TRUE(sim::ParseModelSpec("10=NODE-T04:r.01.007", &address, &o));
    EXPECT_EQ(address, 10);
    EXPECT_EQ(o.model, "NODE-T04");
    EXPECT_EQ(o.version, "r.01.007");
    for (const char* bad : {"", "10", "10=NODE-T04", "0=NODE-T04:r.01.007",
                            "248=NODE-T04:r.01.007", "x=NODE-T04:r.01.007", "10=:r.01.007",
                            "10=NODE-T04-LONG:r.01.007"})
        EXPECT_FALSE(sim::ParseModelSpec(bad, &address, &o)) << bad;
}

} // namespace
