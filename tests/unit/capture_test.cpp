// The capture ring and the line statistics: what a record keeps, that the
// ring holds only the last N, that recording allocates nothing, and the
// statistics over transactions with known times.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "modbus/capture.h"
#include "modbus/codec.h"
#include "modbus/result_codes.h"

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

const serial::LineSettings kLine = {1, 9600, serial::Parity::Even};
const Bytes kRead = BuildFrame(1, 3, {0, 0, 0, 1});
const Bytes kGood = BuildFrame(1, 3, {2, 0, 5});

// One transaction: request sent at sent_us, ended after response_us.
void Record(const Bytes& request, const Bytes& reply, int16_t result, int64_t sent_us,
            int64_t response_us)
{
    CaptureTransaction(request, reply, kLine, 1.0f, sent_us, sent_us + response_us, result);
}

std::vector<uint64_t> KeptSequences()
{
    std::vector<uint64_t> seen;
    ForEachCaptured(0, [&](const Transaction& t) { seen.push_back(t.sequence); });
    return seen;
}

TEST(Capture, OffRecordsNothing)
{
    Record(kRead, kGood, kOk, 0, 100);
    EXPECT_EQ(CaptureNextSequence(), 0u);
    EXPECT_EQ(Captured(0), nullptr);
    EXPECT_EQ(CaptureStatistics().requests, 0u);
}

TEST(Capture, KeepsRequestReplyTimesSettingsAndResult)
{
    SetCaptureEnabled(true);
    const Bytes partial(kGood.begin(), kGood.begin() + 3);
    Record(kRead, partial, kTimeout, 1000, 1'000'000);

    const Transaction* t = Captured(0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(Bytes(t->request, t->request + t->request_size), kRead);
    EXPECT_EQ(Bytes(t->reply, t->reply + t->reply_size), partial);
    EXPECT_EQ(t->sent_us, 1000);
    EXPECT_EQ(t->ended_us, 1'001'000);
    EXPECT_EQ(t->result, kTimeout);
    EXPECT_EQ(t->line, kLine);
    EXPECT_EQ(t->timeout_s, 1.0f);
    EXPECT_EQ(Captured(1), nullptr);

    // A flood longer than any frame keeps the first kMaxFrame bytes and
    // counts the rest.
    const Bytes noise(300, 0x55);
    Record(kRead, noise, kBadChecksum, 2000, 50);
    t = Captured(1);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->reply_size, kMaxFrame);
    EXPECT_EQ(t->reply_received, 300u);
}

TEST(Capture, RingKeepsOnlyTheLastN)
{
    SetCaptureCapacity(3);
    SetCaptureEnabled(true);
    for (int i = 0; i < 5; ++i)
        Record(kRead, kGood, kOk, i * 1000, 100);
    EXPECT_EQ(CaptureNextSequence(), 5u);
    EXPECT_EQ(CaptureOldestSequence(), 2u);
    EXPECT_EQ(Captured(1), nullptr);
    EXPECT_EQ(KeptSequences(), (std::vector<uint64_t>{2, 3, 4}));
    ASSERT_NE(Captured(4), nullptr);
    EXPECT_EQ(Captured(4)->sent_us, 4000);

    // A reader that has seen up to 4 gets only what is new.
    uint64_t next = ForEachCaptured(4, [](const Transaction&) {});
    Record(kRead, kGood, kOk, 5000, 100);
    std::vector<uint64_t> fresh;
    ForEachCaptured(next, [&](const Transaction& t) { fresh.push_back(t.sequence); });
    EXPECT_EQ(fresh, (std::vector<uint64_t>{5}));
}

TEST(Capture, ClearForgetsRecordsAndStatisticsButNotTheCount)
{
    SetCaptureEnabled(true);
    Record(kRead, kGood, kOk, 0, 100);
    Record(kRead, {}, kTimeout, 1000, 1000);
    ClearCapture();
    EXPECT_EQ(KeptSequences(), std::vector<uint64_t>{});
    EXPECT_EQ(CaptureStatistics().requests, 0u);
    Record(kRead, kGood, kOk, 2000, 100);
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
        Record(kRead, kGood, kOk, i, 10);
        Record(big, big, kBadNumberOfBytes, i, 10);
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
        Record(kRead, kGood, kOk, i * 200'000, ((i * 37) % 100 + 1) * 1000);
    Record(kRead, {}, kTimeout, 30'000'000, 1'000'000);
    Record(kRead, Bytes(kGood.begin(), kGood.begin() + 3), kTimeout, 32'000'000, 1'000'000);
    Record(kRead, {1, 3, 2, 0, 5, 0, 0}, kBadChecksum, 34'000'000, 500);
    Record(kRead, BuildFrame(1, 0x83, {2}), 2, 35'000'000, 400);
    Record(kRead, BuildFrame(1, 0x83, {9}), kUnknownException, 36'000'000, 400);
    Record(kRead, BuildFrame(2, 3, {2, 0, 5}), kBadSlaveAddress, 37'000'000, 400);
    Record(BuildFrame(0, 6, {0, 1, 0, 5}), {}, kOk, 38'000'000, 0);

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
        Record(kRead, kGood, kOk, i * 1'000'000, i * 1000);
    LineStatistics s = CaptureStatistics();
    EXPECT_EQ(s.good_replies, 30u);
    EXPECT_EQ(s.min_us, 1000);
    EXPECT_EQ(s.max_us, 30'000);
    EXPECT_EQ(s.p99_us, 30'000); // over the last ten: 21..30 ms
}

} // namespace
