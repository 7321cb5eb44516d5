// The capture ring. One pending record at most: the engine runs one
// transaction at a time, and the record is written in place in the slot it
// will occupy, so that nothing is copied or allocated on the way.
#include "modbus/capture.h"

#include <cstring>
#include <memory>

namespace modbus {

namespace {

struct Ring {
    size_t capacity = kDefaultCaptureCapacity;
    std::unique_ptr<Transaction[]> slots;
    std::unique_ptr<int64_t[]> scratch; // response times for the percentile
    uint64_t next = 0;    // sequence of the next record
    uint64_t cleared = 0; // first sequence after the last clear
    bool enabled = false;
    bool pending = false; // slots[next % capacity] is being written
    LineStatistics stats;
};

Ring ring;

Transaction& Slot(uint64_t sequence) { return ring.slots[sequence % ring.capacity]; }

void Allocate()
{
    ring.slots = std::make_unique<Transaction[]>(ring.capacity);
    ring.scratch = std::make_unique<int64_t[]>(ring.capacity);
    ring.cleared = ring.next;
    ring.pending = false;
    ring.stats = {};
}

} // namespace

void SetCaptureEnabled(bool on)
{
    if (on && !ring.slots)
        Allocate();
    // A transaction under way when the switch flips is not half recorded.
    ring.pending = false;
    ring.enabled = on;
}

bool CaptureEnabled() { return ring.enabled; }

void SetCaptureCapacity(size_t transactions)
{
    ring.capacity = std::max<size_t>(transactions, 1);
    if (ring.slots)
        Allocate();
}

void CaptureBegin(const uint8_t* request, size_t size, const PortSettings& settings,
                  int64_t sent_us)
{
    if (!ring.enabled)
        return;
    Transaction& t = Slot(ring.next);
    t.sequence = ring.next;
    t.sent_us = sent_us;
    t.ended_us = sent_us;
    t.settings = settings;
    t.result = 0;
    t.request_size = uint16_t(std::min(size, kMaxFrame));
    if (t.request_size > 0) // memcpy takes no null pointer, even for no bytes
        std::memcpy(t.request, request, t.request_size);
    t.reply_size = 0;
    t.reply_received = 0;
    ring.pending = true;
}

void CaptureReply(const uint8_t* bytes, size_t size)
{
    if (!ring.pending)
        return;
    Transaction& t = Slot(ring.next);
    const size_t room = kMaxFrame - t.reply_size;
    const size_t kept = std::min(size, room);
    if (kept > 0)
        std::memcpy(t.reply + t.reply_size, bytes, kept);
    t.reply_size = uint16_t(t.reply_size + kept);
    t.reply_received += uint32_t(size);
}

void CaptureEnd(int16_t result, int64_t ended_us)
{
    if (!ring.pending)
        return;
    Transaction& t = Slot(ring.next);
    t.result = result;
    t.ended_us = ended_us;
    ring.pending = false;
    ++ring.next;
    Tally(&ring.stats, t);
}

void AmendLastCapture(int16_t result)
{
    if (ring.pending || ring.next == 0 || !Captured(ring.next - 1))
        return;
    Transaction& t = Slot(ring.next - 1);
    --*OutcomeCount(&ring.stats, t);
    t.result = result;
    ++*OutcomeCount(&ring.stats, t);
}

uint64_t CaptureNextSequence() { return ring.next; }

uint64_t CaptureOldestSequence()
{
    // While a record is being written its slot no longer holds the oldest.
    const uint64_t filled = ring.next + (ring.pending ? 1 : 0);
    const uint64_t ring_start = filled > ring.capacity ? filled - ring.capacity : 0;
    return std::max(ring.cleared, ring_start);
}

const Transaction* Captured(uint64_t sequence)
{
    if (!ring.slots || sequence < CaptureOldestSequence() || sequence >= ring.next)
        return nullptr;
    return &Slot(sequence);
}

void ClearCapture()
{
    ring.cleared = ring.next;
    ring.stats = {};
}

LineStatistics CaptureStatistics()
{
    LineStatistics stats = ring.stats;
    size_t n = 0;
    ForEachCaptured(0, [&](const Transaction& t) {
        if (HasResponseTime(t))
            ring.scratch[n++] = ResponseTimeUs(t);
    });
    stats.p99_us = Percentile99(ring.scratch.get(), n);
    return stats;
}

} // namespace modbus
