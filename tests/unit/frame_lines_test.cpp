// The monitor's lines for whole transactions: what becomes of time-outs,
// broadcasts and replies the engine refused, the header of network frames,
// and the settings in words. A good transaction's lines are the monitor
// lines test's.
#include <gtest/gtest.h>

#include <cstring>

#include "modbus/frame_lines.h"
#include "modbus/mbap.h"
#include "tests/support/engine_capture.h"

namespace {

using namespace modbus;

using namespace engine_test;

Transaction Make(const Bytes& request, const Bytes& reply, int16_t result, int64_t sent_us,
                 int64_t ended_us)
{
    Transaction t;
    t.line = kLine;
    t.timeout_s = 1.0f;
    t.request_size = uint16_t(request.size());
    std::memcpy(t.request, request.data(), request.size());
    t.reply_size = uint16_t(reply.size());
    t.reply_received = uint32_t(reply.size());
    if (!reply.empty()) // a time-out has none, and memcpy takes no null
        std::memcpy(t.reply, reply.data(), reply.size());
    t.result = result;
    t.sent_us = sent_us;
    t.ended_us = ended_us;
    return t;
}

std::string Lines(const Transaction& t, int64_t origin_us, bool with_settings = false)
{
    std::string out;
    AppendTransactionLines(t, origin_us, with_settings, &out);
    return out;
}

TEST(FrameLines, TimeoutsBroadcastsAndRefusedReplies)
{
    const int64_t s = 1'000'000;
    EXPECT_EQ(Lines(Make(kRead, {}, kTimeout, s, s + 1'000'000), s),
              "      0.000000 TX 01 03 00 00 00 01 84 0A | slave 1 Read Holding Registers "
              "address 0 quantity 1\n"
              "      1.000000 RX  | timeout | 1000.000 ms\n");
    // What did arrive before the time-out is shown, decoded as far as it goes.
    std::string partial = Lines(Make(kRead, {1, 3, 2}, kTimeout, s, s + 1'000'000), s);
    EXPECT_NE(partial.find(" RX 01 03 02 | slave 1 Read Holding Registers truncated: 3 of 7 bytes "
                           "timeout | 1000.000 ms\n"),
              std::string::npos)
        << partial;
    EXPECT_EQ(Lines(Make(BuildFrame(0, 6, {0, 1, 0, 5}), {}, kOk, s, s), s),
              "      0.000000 TX 00 06 00 01 00 05 19 D8 | slave 0 Write Single Register address 1 "
              "value 5 no reply expected (broadcast)\n");
    std::string refused = Lines(Make(BuildFrame(1, 3, {0, 0, 0, 2}), BuildFrame(1, 3, {2, 0, 5}),
                                     kBadByteCount, s, s + 9000),
                                s);
    EXPECT_NE(refused.find("byte count 2 instead of 4 values 5 wrong byte count | 9.000 ms\n"),
              std::string::npos)
        << refused;
    std::string exception = Lines(Make(kRead, BuildFrame(1, 0x83, {2}), 2, s, s + 4000), s);
    EXPECT_NE(exception.find(" RX 01 83 02 C0 F1 | slave 1 Read Holding Registers exception 2 "
                             "Illegal data address | 4.000 ms\n"),
              std::string::npos)
        << exception;
}

TEST(FrameLines, NetworkLinesShowTheHeaderBesideThePdu)
{
    Transaction t = Make(BuildMbapFrame(7, 1, 3, {0, 0, 0, 1}),
                         BuildMbapFrame(7, 1, 3, {2, 0x12, 0x34}), kOk, 0, 2000);
    t.line.SetNet("tcp://127.0.0.1:1502");
    EXPECT_EQ(
        Lines(t, 0, true),
        "# tcp://127.0.0.1:1502, time-out 1.000 s\n"
        "      0.000000 TX 00 07 00 00 00 06 01 03 00 00 00 01 | transaction 7 unit 1 length 6: "
        "slave 1 Read Holding Registers address 0 quantity 1\n"
        "      0.002000 RX 00 07 00 00 00 05 01 03 02 12 34 | transaction 7 unit 1 length 5: "
        "slave 1 Read Holding Registers address 0 values 4660 | 2.000 ms\n");
}

TEST(FrameLines, SettingsInWords)
{
    using serial::Parity;
    EXPECT_EQ(DescribeLine({1, 19200, Parity::NoneTwoStopBits}),
              "19200 bit/s no parity 2 stop bits");
    EXPECT_EQ(DescribeLine({1, 9600, Parity::Odd}), "9600 bit/s odd parity");
    EXPECT_EQ(DescribeLine({1, 115200, Parity::NoneOneStopBit}),
              "115200 bit/s no parity 1 stop bit");
    EXPECT_EQ(DescribeLine({1, 9600, serial::ParityFromCode(7)}), "9600 bit/s parity code 7");
}

} // namespace
