// The capture ring. Each record is written in place in the slot it will
// occupy, so that nothing is allocated on the way.
#include "modbus/capture.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>

namespace modbus {

namespace {

struct Ring {
    size_t capacity = kDefaultCaptureCapacity;
    std::unique_ptr<Transaction[]> slots;
    std::unique_ptr<int64_t[]> scratch; // response times for the percentile
    uint64_t next = 0;                  // sequence of the next record
    uint64_t cleared = 0;               // first sequence after the last clear
    bool enabled = false;
    LineStatistics stats;
};

Ring ring;
CaptureListener listener = nullptr;

Transaction& Slot(uint64_t sequence) { return ring.slots[sequence % ring.capacity]; }

void Allocate()
{
    ring.slots = std::make_unique<Transaction[]>(ring.capacity);
    ring.scratch = std::make_unique<int64_t[]>(ring.capacity);
    ring.cleared = ring.next;
    ring.stats = {};
}

} // namespace

void SetCaptureEnabled(bool on)
{
    if (on && !ring.slots)
        Allocate();
    ring.enabled = on;
}

bool CaptureEnabled() { return ring.enabled; }

void SetCaptureCapacity(size_t transactions)
{
    ring.capacity = std::max<size_t>(transactions, 1);
    if (ring.slots)
        Allocate();
}

void CaptureTransaction(const Bytes& request, const Bytes& reply, const serial::LineSettings& line,
                        float timeout_s, int64_t sent_us, int64_t ended_us, int16_t result)
{
    if (!ring.enabled)
        return;
    Transaction& t = Slot(ring.next);
    t.sequence = ring.next;
    t.sent_us = sent_us;
    t.ended_us = ended_us;
    t.line = line;
    t.timeout_s = timeout_s;
    t.result = result;
    t.request_size = uint16_t(std::min(request.size(), kMaxFrame));
    if (t.request_size > 0) // memcpy takes no null pointer, even for no bytes
        std::memcpy(t.request, request.data(), t.request_size);
    t.reply_size = uint16_t(std::min(reply.size(), kMaxFrame));
    if (t.reply_size > 0)
        std::memcpy(t.reply, reply.data(), t.reply_size);
    t.reply_received = uint32_t(std::min<size_t>(reply.size(), UINT32_MAX));
    ++ring.next;
    Tally(&ring.stats, t);
    if (listener)
        listener(t);
}

void SetCaptureListener(CaptureListener l) { listener = l; }

uint64_t CaptureNextSequence() { return ring.next; }

uint64_t CaptureOldestSequence()
{
    const uint64_t ring_start = ring.next > ring.capacity ? ring.next - ring.capacity : 0;
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
