// The capture: every transaction on the line, kept in a ring of the last N
// for the communication monitor, the trace file and the line statistics.
//
// The transaction engine records each transaction once, with its verdict,
// through CaptureTransaction; the ring is allocated once, when the capture
// is first enabled, and recording never allocates. While the capture is off each call returns
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
// Ring size in transactions (at least 1); drops what was kept.
void SetCaptureCapacity(size_t transactions);

// The engine's side: one finished transaction, the reply as received (also
// when partial or wrong). A request or reply longer than kMaxFrame keeps
// its first kMaxFrame bytes.
void CaptureTransaction(const Bytes& request, const Bytes& reply, const serial::LineSettings& line,
                        float timeout_s, int64_t sent_us, int64_t ended_us, int16_t result);

// Called with every record the moment it is kept (a trace written as it
// goes); nullptr for none.
using CaptureListener = void (*)(const Transaction& t);
void SetCaptureListener(CaptureListener listener);

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
