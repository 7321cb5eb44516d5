// The generic slave, the configuration module and request framing, on bytes.
#include "sim/config_module.h"
#include "sim/framing.h"
#include "sim/slave.h"

#include <gtest/gtest.h>

namespace {

using sim::Request;

Request Req(uint8_t function, modbus::Bytes data)
{
    Request r;
    r.address = 1;
    r.function = function;
    r.data = std::move(data);
    r.line.baud = 9600;
    r.line.parity = serial::Parity::Even;
    return r;
}

modbus::Bytes Exc(uint8_t function, uint8_t code)
{
    return modbus::Bytes{static_cast<uint8_t>(function | 0x80), code};
}

TEST(GenericSlave, RepliesFromItsOwnTablesAndRefusesWhatModbusForbids)
{
    sim::Tables t;
    t.coils[10] = t.coils[18] = 1;
    t.discrete_inputs[0] = 1;
    t.holding[65534] = 0x1234;
    t.holding[65535] = 0xFFFF;
    t.input[7] = 42;
    struct Case {
        const char* what;
        uint8_t function;
        modbus::Bytes data, reply;
    };
    const Case cases[] = {
        {"the ninth coil in bit 0 of the second byte", 1, {0, 10, 0, 9}, {1, 2, 0x01, 0x01}},
        {"discrete inputs", 2, {0, 0, 0, 1}, {2, 1, 0x01}},
        {"the table's last registers", 3, {0xFF, 0xFE, 0, 2}, {3, 4, 0x12, 0x34, 0xFF, 0xFF}},
        {"input registers", 4, {0, 7, 0, 1}, {4, 2, 0, 42}},
        {"no coils", 1, {0, 0, 0, 0}, Exc(1, 3)},
        {"126 registers", 3, {0, 0, 0, 126}, Exc(3, 3)},
        {"byte count not the quantity's", 16, {0, 0, 0, 2, 2, 0, 1}, Exc(16, 3)},
        {"coil value neither ON nor OFF", 5, {0, 0, 0x12, 0x34}, Exc(5, 3)},
        {"beyond the table", 3, {0xFF, 0xFF, 0, 2}, Exc(3, 2)},
        {"write beyond the table", 16, {0xFF, 0xFF, 0, 2, 4, 0, 1, 0, 2}, Exc(16, 2)},
        {"read/write beyond", 23, {0, 0, 0, 1, 0xFF, 0xFF, 0, 2, 4, 0, 1, 0, 2}, Exc(23, 2)},
        {"unknown function", 43, {14, 1, 0}, Exc(43, 1)},
    };
    const modbus::Bytes id = sim::MakeIdentification("MODEL-01", "V2.10");
    for (const Case& c : cases)
        EXPECT_EQ(sim::ServeGeneric(t, Req(c.function, c.data), id), c.reply) << c.what;
    EXPECT_EQ(t.coils[0], 0);
    EXPECT_EQ(t.holding[65535], 0xFFFF) << "a refused write must change nothing";
    // The largest replies.
    EXPECT_EQ(sim::ServeGeneric(t, Req(3, {0, 0, 0, 125}), id)->size(), 2u + 250u);
    EXPECT_EQ(sim::ServeGeneric(t, Req(1, {0, 0, 0x07, 0xD0}), id)->size(), 2u + 250u);
}

// Reading and writing the module is the Configure module test's; here, the
// rule that it answers only at 9600 bit/s, even parity.
TEST(ConfigModule, AnswersOnlyAt9600Even)
{
    sim::ModuleConfig cfg{7, 115200, 1, 300};
    Request read = Req(109, {});
    read.address = 248;
    EXPECT_TRUE(sim::ServeConfigModule(cfg, read));
    for (auto [baud, parity] : {std::pair{19200u, 2}, {9600u, 1}}) {
        read.line.baud = int32_t(baud);
        read.line.parity = serial::ParityFromCode(parity);
        EXPECT_FALSE(sim::ServeConfigModule(cfg, read)) << baud << " parity " << parity;
    }
}

TEST(Framing, LengthFollowsTheFunctionAndTheByteCount)
{
    const uint8_t read[] = {1, 3, 0, 0, 0, 1, 0x84, 0x0A};
    EXPECT_EQ(sim::RequestLength(read, 1), 0u);
    EXPECT_EQ(sim::RequestLength(read, 2), 8u);
    const uint8_t write16[] = {1, 16, 0, 0, 0, 2, 4};
    EXPECT_EQ(sim::RequestLength(write16, 6), 0u) << "byte count not yet there";
    EXPECT_EQ(sim::RequestLength(write16, 7), 13u);
    const uint8_t rw23[] = {1, 23, 0, 0, 0, 1, 0, 0, 0, 2, 4};
    EXPECT_EQ(sim::RequestLength(rw23, 10), 0u);
    EXPECT_EQ(sim::RequestLength(rw23, 11), 17u);
    const uint8_t cfg_write[] = {248, 110};
    EXPECT_EQ(sim::RequestLength(cfg_write, 2), 12u);
    const uint8_t odd[] = {1, 43};
    EXPECT_EQ(sim::RequestLength(odd, 2), sim::kUnknownLength);
}

} // namespace
