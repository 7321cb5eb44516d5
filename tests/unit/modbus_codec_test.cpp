// The frame codec and the reply checks: checksum, number fields, coil
// packing, and the order in which a received reply is judged.
#include <gtest/gtest.h>

#include "modbus/codec.h"
#include "modbus/function_codes.h"
#include "modbus/reply.h"
#include "modbus/result_codes.h"

namespace {

modbus::Bytes Of(std::string_view s) { return modbus::Bytes(s.begin(), s.end()); }

TEST(ModbusCodec, CrcKnownValuesAndTheCheckOfReceivedFrames)
{
    modbus::Bytes digits = Of("123456789");
    EXPECT_EQ(modbus::Crc16Value(digits.data(), digits.size()), 0x4B37);
    EXPECT_EQ(modbus::BuildFrame(1, 3, {0, 0, 0, 1}),
              (modbus::Bytes{1, 3, 0, 0, 0, 1, 0x84, 0x0A}));
    modbus::Bytes frame = modbus::BuildFrame(0xF8, 0x6D, {});
    EXPECT_EQ(frame, (modbus::Bytes{0xF8, 0x6D, 0x83, 0x9D}));
    EXPECT_TRUE(modbus::CrcMatches(frame.data(), frame.size()));
    std::swap(frame[2], frame[3]);
    EXPECT_FALSE(modbus::CrcMatches(frame.data(), frame.size()));
    EXPECT_FALSE(modbus::CrcMatches(frame.data(), 1));
}

TEST(ModbusCodec, EncodersRoundTiesToEvenAndWrapDecodersAreUnsigned)
{
    EXPECT_EQ(modbus::EncodeWord("65536"), (modbus::Bytes{0x00, 0x00}));
    EXPECT_EQ(modbus::EncodeWord("-1"), (modbus::Bytes{0xFF, 0xFF}));
    EXPECT_EQ(modbus::EncodeWord("12.5"), (modbus::Bytes{0x00, 0x0C}));
    EXPECT_EQ(modbus::EncodeWord("13.5"), (modbus::Bytes{0x00, 0x0E}));
    EXPECT_EQ(modbus::EncodeWord("-1.5"), (modbus::Bytes{0xFF, 0xFE}));
    EXPECT_EQ(modbus::EncodeByte("256"), (modbus::Bytes{0x00}));
    EXPECT_EQ(modbus::EncodeDword("9600"), (modbus::Bytes{0x00, 0x00, 0x25, 0x80}));
    EXPECT_EQ(modbus::EncodeDword("-1"), (modbus::Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(modbus::EncodeDword("4294967296"), (modbus::Bytes{0, 0, 0, 0}));
    // Read back unsigned, high byte first.
    EXPECT_EQ(modbus::DecodeWord(0x80, 0x00), "32768");
    EXPECT_EQ(modbus::DecodeDword(0xFF, 0xFE, 0x25, 0x80), "4294845824");
}

// Coils are packed and unpacked in the request composer's and the frame
// decoder's tests.
TEST(ModbusCodec, ReplySizes)
{
    EXPECT_EQ(modbus::ExpectedReplyData(modbus::kReadCoils, 9), 3u);
    EXPECT_EQ(modbus::ExpectedReplyData(modbus::kReadDiscreteInputs, 9), 3u);
    EXPECT_EQ(modbus::ExpectedReplyData(modbus::kReadHoldingRegisters, 125), 251u);
    EXPECT_EQ(modbus::ExpectedReplyData(modbus::kReadCoils, 2000), 251u);
    EXPECT_EQ(modbus::ExpectedReplyData(modbus::kReportSlaveId, 0), 23u);
}

// --- Reply collection and checks -------------------------------------------

using Shape = modbus::ReplyShape;
constexpr Shape kOneRegister{3, Shape::Content::ByteCount};
constexpr Shape kEcho{4, Shape::Content::Echo};

int16_t Judge(const modbus::Bytes& frame, Shape shape, std::string* message, uint8_t function = 3,
              const modbus::Bytes& request = {0, 1, 0, 1})
{
    modbus::ReplyCollector r;
    r.expected = shape.data;
    modbus::AppendReply(&r, frame.data(), frame.size());
    return modbus::CheckReply(r, 1, function, request, shape, message);
}

TEST(ModbusReply, ChecksInTheirOrderWithTheirMessages)
{
    using modbus::BuildFrame;
    modbus::Bytes bad_crc = BuildFrame(2, 4, {2, 0, 0});
    bad_crc.back() ^= 1;
    const std::string exception = "Received command exception ";
    struct Case {
        const char* what;
        modbus::Bytes frame;
        int16_t code;
        std::string message;
        Shape shape = kOneRegister;
        uint8_t function = 3;
    };
    const Case cases[] = {
        {"good", BuildFrame(1, 3, {2, 0x12, 0x34}), 0, ""},
        {"wrong address, broken checksum", bad_crc, modbus::kBadChecksum, "Received bad checksum"},
        {"wrong address and function", BuildFrame(2, 4, {2, 0, 0}), modbus::kBadSlaveAddress,
         "Received bad slave address"},
        {"wrong function, too long", BuildFrame(1, 4, {2, 0, 0, 9}), modbus::kBadFunctionCode,
         "Received bad function code"},
        {"exception to another function", BuildFrame(1, 0x84, {2}), modbus::kBadFunctionCode,
         "Received bad function code"},
        // Length before content: a wrong count in a long reply is the length.
        {"one byte too many", BuildFrame(1, 3, {4, 0, 0, 0}), modbus::kBadNumberOfBytes,
         "Received bad number of bytes"},
        {"exception 1", BuildFrame(1, 0x83, {1}), 1, exception + "1:\r\rIllegal function code"},
        {"exception 2", BuildFrame(1, 0x83, {2}), 2, exception + "2:\r\rIllegal data address"},
        {"exception 3", BuildFrame(1, 0x83, {3}), 3, exception + "3:\r\rIllegal data value"},
        {"exception 4", BuildFrame(1, 0x83, {4}), 4, exception + "4:\r\rSlave device failure"},
        {"exception 5", BuildFrame(1, 0x83, {5}), 5, exception + "5:\r\rAcknowledge"},
        {"exception 6", BuildFrame(1, 0x83, {6}), 6, exception + "6:\r\rSlave device busy"},
        {"exception 7", BuildFrame(1, 0x83, {7}), modbus::kUnknownException,
         "Received unknown command exception"},
        {"byte count", BuildFrame(1, 3, {4, 0, 0}), modbus::kBadByteCount,
         "Received bad bytes count"},
        {"content unchecked", BuildFrame(1, 3, {4, 0, 0}), 0, "", Shape{3}},
        // A write's echo: the address first, even when the value differs too
        // (each echo fault alone is the Test function scenarios').
        {"echo address", BuildFrame(1, 6, {0, 2, 0, 6}), modbus::kBadEchoAddress,
         "Received bad register address", kEcho, 6},
    };
    for (const Case& c : cases) {
        std::string m;
        EXPECT_EQ(Judge(c.frame, c.shape, &m, c.function), c.code) << c.what;
        EXPECT_EQ(m, c.message) << c.what;
    }
}

} // namespace
