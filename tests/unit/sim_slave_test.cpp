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

class GenericSlave : public ::testing::Test {
protected:
    sim::Tables t;
    modbus::Bytes id = sim::MakeIdentification("MODEL-01", "V2.10");
    sim::Reply Serve(uint8_t function, modbus::Bytes data)
    {
        return sim::ServeGeneric(t, Req(function, data), id);
    }
};

TEST_F(GenericSlave, ReadsPackBitsAndRegistersFromTheirOwnTables)
{
    t.coils[10] = 1;
    t.coils[18] = 1;
    t.discrete_inputs[0] = 1;
    t.holding[65534] = 0x1234;
    t.holding[65535] = 0xFFFF;
    t.input[7] = 42;
    // Nine coils from 10: the ninth lands in bit 0 of the second byte.
    EXPECT_EQ(Serve(1, {0, 10, 0, 9}), (modbus::Bytes{1, 2, 0x01, 0x01}));
    EXPECT_EQ(Serve(2, {0, 0, 0, 1}), (modbus::Bytes{2, 1, 0x01}));
    EXPECT_EQ(Serve(3, {0xFF, 0xFE, 0, 2}), (modbus::Bytes{3, 4, 0x12, 0x34, 0xFF, 0xFF}));
    EXPECT_EQ(Serve(4, {0, 7, 0, 1}), (modbus::Bytes{4, 2, 0, 42}));
    auto full = Serve(3, {0, 0, 0, 125});
    ASSERT_TRUE(full);
    EXPECT_EQ(full->size(), 2u + 250u);
    EXPECT_EQ(Serve(1, {0, 0, 0x07, 0xD0})->size(), 2u + 250u);
}

TEST_F(GenericSlave, QuantityOutsideModbusLimitsIsIllegalValue)
{
    EXPECT_EQ(Serve(1, {0, 0, 0, 0}), Exc(1, 3));
    EXPECT_EQ(Serve(3, {0, 0, 0, 126}), Exc(3, 3));
    // Byte count that does not match the quantity.
    EXPECT_EQ(Serve(16, {0, 0, 0, 2, 2, 0, 1}), Exc(16, 3));
    // A coil value other than ON or OFF.
    EXPECT_EQ(Serve(5, {0, 0, 0x12, 0x34}), Exc(5, 3));
    EXPECT_EQ(t.coils[0], 0);
}

TEST_F(GenericSlave, RangeBeyondTheTableIsIllegalAddress)
{
    EXPECT_EQ(Serve(3, {0xFF, 0xFF, 0, 2}), Exc(3, 2));
    EXPECT_EQ(Serve(16, {0xFF, 0xFF, 0, 2, 4, 0, 1, 0, 2}), Exc(16, 2));
    EXPECT_EQ(t.holding[65535], 0) << "a refused write must change nothing";
    EXPECT_EQ(Serve(23, {0, 0, 0, 1, 0xFF, 0xFF, 0, 2, 4, 0, 1, 0, 2}), Exc(23, 2));
    EXPECT_EQ(Serve(43, {14, 1, 0}), Exc(43, 1));
}

TEST(ConfigModule, AnswersOnlyAt9600EvenAndKeepsWhatIsWritten)
{
    sim::ModuleConfig cfg{7, 115200, 1, 300};
    Request read = Req(109, {});
    read.address = 248;
    auto r = sim::ServeConfigModule(cfg, read);
    EXPECT_EQ(r, (modbus::Bytes{109, 7, 0x00, 0x01, 0xC2, 0x00, 1, 0x01, 0x2C}));

    for (auto [baud, parity] : {std::pair{19200u, 2}, {9600u, 1}}) {
        read.line.baud = int32_t(baud);
        read.line.parity = serial::ParityFromCode(parity);
        EXPECT_FALSE(sim::ServeConfigModule(cfg, read)) << baud << " parity " << parity;
    }

    Request write = Req(110, {12, 0, 0, 0x4B, 0x00, 3, 0x17, 0x70});
    write.address = 248;
    EXPECT_EQ(sim::ServeConfigModule(cfg, write), (modbus::Bytes{110}));
    EXPECT_EQ(cfg.address, 12);
    EXPECT_EQ(cfg.baud, 19200u);
    EXPECT_EQ(cfg.parity, 3);
    EXPECT_EQ(cfg.reset_time, 6000);
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
