// The frame decoder on the requests and replies of every function the
// program uses, and on the frames a faulty line or slave produces. Frames
// live in vectors of exactly their size, so the sanitizer build catches any
// read past the end.
#include <gtest/gtest.h>

#include "modbus/codec.h"
#include "modbus/frame_decoder.h"

using namespace modbus;

namespace {

using modbus::DecodeFrame;
using modbus::Direction;

std::string Request(const Bytes& frame)
{
    return DecodeFrame(frame.data(), frame.size(), Direction::Request).text;
}

std::string Reply(const Bytes& frame, const Bytes& request = {})
{
    return DecodeFrame(frame.data(), frame.size(), Direction::Reply,
                       request.empty() ? nullptr : request.data(), request.size())
        .text;
}

const Bytes kModuleConfig = {1, 0x00, 0x00, 0x25, 0x80, 2, 0x00, 0x0A}; // 1, 9600, even, 10

TEST(FrameDecoder, RequestsOfEveryFunction)
{
    EXPECT_EQ(Request({0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD}),
              "slave 1 Read Holding Registers address 0 quantity 10");
    EXPECT_EQ(Request(modbus::BuildFrame(1, 1, {0, 10, 0, 9})), "slave 1 Read Coils address 10 quantity 9");
    EXPECT_EQ(Request(modbus::BuildFrame(2, 2, {0xFF, 0xFF, 0x07, 0xD0})),
              "slave 2 Read Discrete Inputs address 65535 quantity 2000");
    EXPECT_EQ(Request(modbus::BuildFrame(247, 4, {0, 1, 0, 125})),
              "slave 247 Read Input Registers address 1 quantity 125");
    EXPECT_EQ(Request(modbus::BuildFrame(1, 5, {0, 100, 0xFF, 0x00})),
              "slave 1 Write Single Coil address 100 value ON");
    EXPECT_EQ(Request(modbus::BuildFrame(1, 5, {0, 100, 0x00, 0x00})),
              "slave 1 Write Single Coil address 100 value OFF");
    EXPECT_EQ(Request(modbus::BuildFrame(1, 5, {0, 100, 0x12, 0x34})),
              "slave 1 Write Single Coil address 100 value 4660 (not a coil state)");
    EXPECT_EQ(Request(modbus::BuildFrame(1, 6, {0, 100, 0x80, 0x00})),
              "slave 1 Write Single Register address 100 value 32768");
    EXPECT_EQ(Request(modbus::BuildFrame(1, 15, {0, 0, 0, 10, 2, 0x05, 0x02})),
              "slave 1 Write Multiple Coils address 0 quantity 10 states 10100000 01");
    EXPECT_EQ(Request(modbus::BuildFrame(1, 16, {0, 10, 0, 2, 4, 0, 1, 0xFF, 0xFF})),
              "slave 1 Write Multiple Registers address 10 quantity 2 values 1 65535");
    EXPECT_EQ(Request(modbus::BuildFrame(1, 17, {})), "slave 1 Report Slave ID");
    EXPECT_EQ(Request(modbus::BuildFrame(1, 23, {0, 0, 0, 2, 0, 10, 0, 1, 2, 0, 7})),
              "slave 1 Read/Write Multiple Registers read address 0 quantity 2 write address 10 "
              "quantity 1 values 7");
    EXPECT_EQ(Request(modbus::BuildFrame(248, 109, {})), "slave 248 Read module configuration");
    EXPECT_EQ(Request(modbus::BuildFrame(248, 110, kModuleConfig)),
              "slave 248 Write module configuration module address 1 baud 9600 parity 2 reset "
              "time 10");
}

TEST(FrameDecoder, RequestsWhoseCountsDisagree)
{
    // The byte count rules how many values follow, whatever the quantity says.
    EXPECT_EQ(Request(modbus::BuildFrame(1, 16, {0, 0, 0, 3, 2, 0, 9})),
              "slave 1 Write Multiple Registers address 0 quantity 3 byte count 2 instead of 6 "
              "values 9");
    EXPECT_EQ(Request(modbus::BuildFrame(1, 15, {0, 0, 0, 20, 1, 0xFF})),
              "slave 1 Write Multiple Coils address 0 quantity 20 byte count 1 instead of 3 states "
              "11111111");
}

TEST(FrameDecoder, BroadcastExpectsNoReply)
{
    EXPECT_EQ(Request(modbus::BuildFrame(0, 6, {0, 1, 0, 5})),
              "slave 0 Write Single Register address 1 value 5 no reply expected (broadcast)");
}

TEST(FrameDecoder, RepliesOfEveryFunction)
{
    const Bytes coils9 = BuildFrame(1, 1, {0, 10, 0, 9});
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 1, {2, 0x05, 0x01}), coils9),
              "slave 1 Read Coils address 10 states 10100000 1");
    // Without its request the reply shows every bit it carries.
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 2, {2, 0x05, 0x01})),
              "slave 1 Read Discrete Inputs states 10100000 10000000");
    const Bytes holding2 = BuildFrame(1, 3, {0, 100, 0, 2});
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 3, {4, 0, 111, 0x04, 0x57}), holding2),
              "slave 1 Read Holding Registers address 100 values 111 1111");
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 4, {2, 0xFF, 0xFE})),
              "slave 1 Read Input Registers values 65534");
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 5, {0, 100, 0xFF, 0x00})),
              "slave 1 Write Single Coil address 100 value ON");
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 6, {0, 100, 0, 5})),
              "slave 1 Write Single Register address 100 value 5");
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 15, {0, 0, 0, 10})),
              "slave 1 Write Multiple Coils address 0 quantity 10");
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 16, {0, 10, 0, 2})),
              "slave 1 Write Multiple Registers address 10 quantity 2");
    modbus::Bytes id = {22,   'N', 'O', 'D', 'E', '-', 'T', '0', '1',
                0xFF, 'r', '.', '0', '1', '.', '0', '0', '2'};
    id.resize(23, 0);
    EXPECT_EQ(Reply(modbus::BuildFrame(3, 17, id)),
              "slave 3 Report Slave ID id \"NODE-T01.r.01.002.....\"");
    const Bytes rw = BuildFrame(1, 23, {0, 7, 0, 1, 0, 10, 0, 1, 2, 0, 7});
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 23, {2, 0, 42}), rw),
              "slave 1 Read/Write Multiple Registers address 7 values 42");
    EXPECT_EQ(Reply(modbus::BuildFrame(248, 109, kModuleConfig)),
              "slave 248 Read module configuration module address 1 baud 9600 parity 2 reset "
              "time 10");
    EXPECT_EQ(Reply(modbus::BuildFrame(248, 110, {})), "slave 248 Write module configuration");
}

TEST(FrameDecoder, ReplyThatDisagreesWithItsRequest)
{
    const Bytes holding3 = BuildFrame(1, 3, {0, 0, 0, 3});
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 3, {4, 0, 1, 0, 2}), holding3),
              "slave 1 Read Holding Registers address 0 byte count 4 instead of 6 values 1 2");
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 4, {3, 0, 1, 0})),
              "slave 1 Read Input Registers odd byte count 3 values 1");
    // A request of another function tells the reply nothing.
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 1, {1, 0x01}), holding3), "slave 1 Read Coils states 10000000");
    // Nor does one too short to hold its fields.
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 1, {1, 0x01}), modbus::Bytes{1, 1, 0}),
              "slave 1 Read Coils states 10000000");
}

TEST(FrameDecoder, Exceptions)
{
    modbus::Bytes f = modbus::BuildFrame(1, 0x83, {2});
    auto s = DecodeFrame(f.data(), f.size(), Direction::Reply);
    EXPECT_TRUE(s.exception);
    EXPECT_TRUE(s.crc_ok);
    EXPECT_EQ(s.text, "slave 1 Read Holding Registers exception 2 Illegal data address");
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 0x90, {6})),
              "slave 1 Write Multiple Registers exception 6 Slave device busy");
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 0x81, {7})), "slave 1 Read Coils exception 7 unknown exception");
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 0xC1, {1})),
              "slave 1 unknown function 65 exception 1 Illegal function code");
    // Bit 7 means an exception only in a reply.
    f = modbus::BuildFrame(1, 0x83, {2});
    s = DecodeFrame(f.data(), f.size(), Direction::Request);
    EXPECT_FALSE(s.exception);
    EXPECT_TRUE(s.unknown_function);
    EXPECT_EQ(s.text, "slave 1 unknown function 131");
}

TEST(FrameDecoder, BadChecksum)
{
    modbus::Bytes f = modbus::BuildFrame(1, 3, {2, 0, 5});
    std::swap(f[5], f[6]);
    auto s = DecodeFrame(f.data(), f.size(), Direction::Reply);
    EXPECT_FALSE(s.crc_ok);
    EXPECT_FALSE(s.truncated);
    EXPECT_EQ(s.text, "slave 1 Read Holding Registers values 5 bad CRC");
}

TEST(FrameDecoder, TruncatedFramesShowHowFarTheyGot)
{
    const Bytes whole = BuildFrame(1, 3, Bytes{20, 0, 111, 0, 222, 1, 77, 1, 176, 1, 232, 2, 32,
                                               2, 88, 3, 144, 3, 200, 4, 0});
    ASSERT_EQ(whole.size(), 25u);
    auto cut = [&](size_t n) { return Reply(modbus::Bytes(whole.begin(), whole.begin() + long(n))); };
    EXPECT_EQ(cut(24), "slave 1 Read Holding Registers truncated: 24 of 25 bytes");
    EXPECT_EQ(cut(7), "slave 1 Read Holding Registers truncated: 7 of 25 bytes");
    EXPECT_EQ(cut(2), "slave 1 Read Holding Registers truncated: 2 of at least 5 bytes");
    EXPECT_EQ(cut(1), "slave 1 truncated: 1 byte");
    auto s = DecodeFrame(whole.data(), 0, Direction::Reply);
    EXPECT_TRUE(s.truncated);
    EXPECT_EQ(s.text, "no bytes");
    // A multiple write cut before its byte count.
    modbus::Bytes w = modbus::BuildFrame(1, 16, {0, 0, 0, 1, 2, 0, 1});
    EXPECT_EQ(Request(modbus::Bytes(w.begin(), w.begin() + 5)),
              "slave 1 Write Multiple Registers truncated: 5 of at least 9 bytes");
    EXPECT_EQ(Request(modbus::Bytes(w.begin(), w.end() - 1)),
              "slave 1 Write Multiple Registers truncated: 10 of 11 bytes");
}

TEST(FrameDecoder, ExtraBytesAndUnknownFunctions)
{
    EXPECT_EQ(Reply(modbus::BuildFrame(1, 6, {0, 1, 0, 5, 0xAA})),
              "slave 1 Write Single Register address 1 value 5 1 extra byte");
    modbus::Bytes f = modbus::BuildFrame(1, 65, {1, 2, 3});
    auto s = DecodeFrame(f.data(), f.size(), Direction::Reply);
    EXPECT_TRUE(s.unknown_function);
    EXPECT_TRUE(s.crc_ok);
    EXPECT_EQ(s.text, "slave 1 unknown function 65");
    EXPECT_EQ(Reply(modbus::Bytes{1, 65, 0}), "slave 1 unknown function 65 truncated: 3 of 4 bytes");
}

} // namespace
