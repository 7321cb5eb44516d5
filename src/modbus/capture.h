// The capture: every transaction on the line, kept in a ring of the last N
// for the communication monitor, the trace file and the line statistics.
//
// The transaction engine records through CaptureBegin, CaptureReply and
// CaptureEnd; the ring is allocated once, when the capture is first enabled,
// and recording never allocates. While the capture is off each call returns
// at its first test. Everything runs on the one thread that runs the
// transactions; there are no locks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "modbus/line_statistics.h"
#include "modbus/transaction.h"

namespace modbus {

constexpr size_t kDefaultCaptureCapacity = 10000;

// Recording on or off. Turning it on the first time allocates the ring.
void SetCaptureEnabled(bool on);
bool CaptureEnabled();
// Ring size in transactions (at least 1); drops what was kept. Not for the
// middle of a transaction.
void SetCaptureCapacity(size_t transactions);

// The engine's side, in this order for each transaction. A request or reply
// longer than kMaxFrame keeps its first kMaxFrame bytes.
void CaptureBegin(const uint8_t* request, size_t size, const PortSettings& settings,
                  int64_t sent_us);
void CaptureReply(const uint8_t* bytes, size_t size);
void CaptureEnd(int16_t result, int64_t ended_us);
// A reply the engine passed and its request then refused (a wrong echo or
// byte count): gives the latest record that result, and counts it under
// that result instead. Does nothing when the latest record is no longer
// kept or a record is being written.
void AmendLastCapture(int16_t result);

// The readers' side. Sequence numbers count every transaction recorded since
// the program started; ClearCapture forgets the records but not the count.
uint64_t CaptureNextSequence();   // what the next record will carry
uint64_t CaptureOldestSequence(); // the oldest still kept
// The record with that sequence number, or nullptr when it is not kept.
const Transaction* Captured(uint64_t sequence);
void ClearCapture();
// The statistics since the last ClearCapture, with p99_us computed over the
// ring (in storage allocated with the ring: reading allocates nothing).
LineStatistics CaptureStatistics();

// Calls visit(const Transaction&) for every record kept from `since` on,
// oldest first; returns the sequence to start from next time.
template <typename Visit>
uint64_t ForEachCaptured(uint64_t since, Visit&& visit)
{
    const uint64_t end = CaptureNextSequence();
    for (uint64_t s = std::max(since, CaptureOldestSequence()); s < end; ++s)
        visit(*Captured(s));
    return end;
}

} // namespace modbus
