// The monitor's lines taken from the capture by independent cursors, the
// gap when the ring dropped what a cursor had not taken, and the
// statistics text.
#include <gtest/gtest.h>

#include "monitor/monitor_lines.h"
#include "tests/support/engine_capture.h"

namespace {

using namespace modbus;
using namespace engine_test;

TEST(MonitorLines, CursorsTakeEachTransactionOnceWithTimesFromTheirFirst)
{
    SetCaptureEnabled(true);
    Record(kGood, kOk, 5'000'000, 1500);
    monitor::Cursor monitor_cursor, trace_cursor;
    std::string first = monitor::TakeNewLines(&monitor_cursor);
    EXPECT_EQ(first, "# COM1 9600 bit/s even parity, time-out 1.000 s\n"
                     "      0.000000 TX 01 03 00 00 00 01 84 0A | slave 1 Read Holding "
                     "Registers address 0 quantity 1\n"
                     "      0.001500 RX 01 03 02 00 05 78 47 | slave 1 Read Holding Registers "
                     "address 0 values 5 | 1.500 ms\n")
        << first;
    EXPECT_EQ(monitor::TakeNewLines(&monitor_cursor), "") << "nothing new";

    Record({}, kTimeout, 6'000'000, 1'000'000);
    Record(kGood, kOk, 8'000'000, 1000, {1, 19200, serial::Parity::Even});
    std::string next = monitor::TakeNewLines(&monitor_cursor);
    EXPECT_EQ(CountOf(next, "# COM1"), 1) << "settings again only when they change\n" << next;
    EXPECT_NE(next.find("      1.000000 TX"), std::string::npos) << next;
    EXPECT_NE(next.find("| timeout"), std::string::npos) << next;
    EXPECT_NE(next.find("19200 bit/s"), std::string::npos) << next;

    // Another reader is not moved by the first.
    EXPECT_EQ(monitor::TakeNewLines(&trace_cursor), first + next);

    // From now on: times count from the next transaction.
    monitor::Cursor fresh = monitor::CursorFromNow();
    EXPECT_EQ(monitor::TakeNewLines(&fresh), "");
    Record(kGood, kOk, 9'000'000, 1000);
    std::string from_now = monitor::TakeNewLines(&fresh);
    EXPECT_EQ(from_now.rfind("# COM1", 0), 0u) << "a new reader states the settings first";
    EXPECT_NE(from_now.find("\n      0.000000 TX"), std::string::npos) << from_now;
}

TEST(MonitorLines, SayHowManyTransactionsTheRingDroppedBeforeTheyWereTaken)
{
    SetCaptureCapacity(4);
    SetCaptureEnabled(true);
    monitor::Cursor cursor;
    Record(kGood, kOk, 0, 100);
    monitor::TakeNewLines(&cursor);
    for (int i = 1; i <= 10; ++i)
        Record(kGood, kOk, i * 1000, 100);
    std::string lines = monitor::TakeNewLines(&cursor);
    EXPECT_EQ(lines.rfind("# 6 transactions not shown", 0), 0u) << lines;
    EXPECT_EQ(CountOf(lines, " TX "), 4);
    EXPECT_EQ(CountOf(lines, "# COM1"), 1) << "after a gap the settings are stated again";

    // A reader that starts now misses nothing: it takes what is kept.
    monitor::Cursor late;
    std::string kept = monitor::TakeNewLines(&late);
    EXPECT_EQ(kept.find("not shown"), std::string::npos) << kept;
    EXPECT_EQ(CountOf(kept, " TX "), 4);
}

TEST(MonitorLines, StatisticsText)
{
    LineStatistics s;
    EXPECT_EQ(monitor::StatisticsText(s),
              "Requests 0  good 0  time-outs 0  CRC errors 0  exceptions 0  other 0\n"
              "Response time  -");
    s.requests = 12;
    s.broadcasts = 1;
    s.good_replies = 7;
    s.timeouts = 1;
    s.crc_errors = 1;
    s.exceptions[2] = 1;
    s.exceptions[4] = 1;
    s.timed_replies = 10;
    s.min_us = 1204;
    s.total_us = 15300;
    s.max_us = 2911;
    s.p99_us = 2911;
    EXPECT_EQ(monitor::StatisticsText(s),
              "Requests 12 (broadcasts 1)  good 7  time-outs 1  CRC errors 1  exceptions 2 "
              "(2: 1, 4: 1)  other 0\n"
              "Response time  min 1.204 ms  mean 1.530 ms  max 2.911 ms  99 % 2.911 ms  "
              "(10 replies)");
}

} // namespace
