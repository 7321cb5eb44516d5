// The capture ring and the line statistics: a flood, what a clear forgets,
// that recording allocates nothing, and the statistics over transactions
// with known times. That the ring holds only the last N is seen in the
// monitor lines test's gap.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "tests/support/engine_capture.h"

// Every allocation of the test program is counted, to see that recording
// makes none.
namespace {
size_t allocations = 0;
}
void* operator new(size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

using namespace modbus;
using namespace engine_test;

std::vector<uint64_t> KeptSequences()
{
    std::vector<uint64_t> seen;
    ForEachCaptured(0, [&](const Transaction& t) { seen.push_back(t.sequence); });
    return seen;
}

// What a record keeps is seen whole in the monitor's lines; here, the flood.
TEST(Capture, AFloodKeepsTheFirstBytesAndCountsTheRest)
{
    SetCaptureEnabled(true);
    Record(Bytes(300, 0x55), kBadChecksum, 2000, 50);
    const Transaction* t = Captured(0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->reply_size, kMaxFrame);
    EXPECT_EQ(t->reply_received, 300u);
}

TEST(Capture, ClearForgetsRecordsAndStatisticsButNotTheCount)
{
    SetCaptureEnabled(true);
    Record(kGood, kOk, 0, 100);
    Record({}, kTimeout, 1000, 1000);
    ClearCapture();
    EXPECT_EQ(KeptSequences(), std::vector<uint64_t>{});
    EXPECT_EQ(CaptureStatistics().requests, 0u);
    Record(kGood, kOk, 2000, 100);
    EXPECT_EQ(KeptSequences(), std::vector<uint64_t>{2});
    EXPECT_EQ(CaptureStatistics().requests, 1u);
}

TEST(Capture, RecordingAndReadingAllocateNothing)
{
    SetCaptureCapacity(4);
    SetCaptureEnabled(true); // the ring is allocated here, once
    const Bytes big(kMaxFrame + 10, 0xAA);
    size_t before = allocations;
    for (int i = 0; i < 10; ++i) {
        Record(kGood, kOk, i, 10);
        Record(big, kBadNumberOfBytes, i, 10, kLine, big);
    }
    LineStatistics stats = CaptureStatistics();
    EXPECT_EQ(allocations, before);
    EXPECT_EQ(stats.requests, 20u);
}

TEST(LineStatistics, CountsAndResponseTimes)
{
    SetCaptureEnabled(true);
    // 100 good replies taking 1 to 100 ms, in shuffled order.
    for (int i = 0; i < 100; ++i)
        Record(kGood, kOk, i * 200'000, ((i * 37) % 100 + 1) * 1000);
    Record({}, kTimeout, 30'000'000, 1'000'000);
    Record(Bytes(kGood.begin(), kGood.begin() + 3), kTimeout, 32'000'000, 1'000'000);
    Record({1, 3, 2, 0, 5, 0, 0}, kBadChecksum, 34'000'000, 500);
    Record(BuildFrame(1, 0x83, {2}), 2, 35'000'000, 400);
    Record(BuildFrame(1, 0x83, {9}), kUnknownException, 36'000'000, 400);
    Record(BuildFrame(2, 3, {2, 0, 5}), kBadSlaveAddress, 37'000'000, 400);
    Record({}, kOk, 38'000'000, 0, kLine, BuildFrame(0, 6, {0, 1, 0, 5}));

    LineStatistics s = CaptureStatistics();
    EXPECT_EQ(s.requests, 107u);
    EXPECT_EQ(s.broadcasts, 1u);
    EXPECT_EQ(s.good_replies, 100u);
    EXPECT_EQ(s.timeouts, 2u);
    EXPECT_EQ(s.crc_errors, 1u);
    EXPECT_EQ(s.exceptions[2], 1u);
    EXPECT_EQ(s.exceptions[9], 1u); // the slave's code, not the engine's 15
    EXPECT_EQ(s.Exceptions(), 2u);
    EXPECT_EQ(s.other_errors, 1u);
    // Time-outs and the broadcast have no response time; the bad replies do.
    EXPECT_EQ(s.timed_replies, 104u);
    EXPECT_EQ(s.min_us, 400);
    EXPECT_EQ(s.max_us, 100'000);
    EXPECT_DOUBLE_EQ(s.MeanUs(), (5050.0 * 1000 + 500 + 3 * 400) / 104);
    // Nearest rank: the 103rd of 104 sorted times.
    EXPECT_EQ(s.p99_us, 99'000);
}

TEST(LineStatistics, PercentileOverTheRingCountsSinceClear)
{
    SetCaptureCapacity(10);
    SetCaptureEnabled(true);
    for (int i = 1; i <= 30; ++i)
        Record(kGood, kOk, i * 1'000'000, i * 1000);
    LineStatistics s = CaptureStatistics();
    EXPECT_EQ(s.good_replies, 30u);
    EXPECT_EQ(s.min_us, 1000);
    EXPECT_EQ(s.max_us, 30'000);
    EXPECT_EQ(s.p99_us, 30'000); // over the last ten: 21..30 ms
}

} // namespace
