// Statistics of the line since the capture was last cleared: how many
// requests went out and what became of them, and how long the slaves took.
#pragma once

#include <cstddef>
#include <cstdint>

#include "modbus/transaction.h"

namespace modbus {

struct LineStatistics {
    uint64_t requests = 0;   // requests sent, broadcasts included
    uint64_t broadcasts = 0; // of those, the ones no reply was awaited for
    uint64_t good_replies = 0;
    uint64_t timeouts = 0;
    uint64_t crc_errors = 0;
    uint64_t exceptions[256] = {}; // by the exception code the slave sent
    uint64_t other_errors = 0;     // wrong address, function, length or content

    // Response time, from the request having left to the reply's end, over
    // the replies that arrived (time-outs and broadcasts have none).
    uint64_t timed_replies = 0;
    int64_t min_us = 0;
    int64_t max_us = 0;
    int64_t total_us = 0;
    // 99th percentile over the replies the ring still keeps: with more than
    // its capacity since the last clear, over the latest ones.
    int64_t p99_us = 0;

    double MeanUs() const { return timed_replies ? double(total_us) / double(timed_replies) : 0.0; }
    uint64_t Exceptions() const;
};

// Counts one finished transaction in; p99_us is left alone.
void Tally(LineStatistics* stats, const Transaction& t);

// False for a time-out, a broadcast and a transaction with no reply byte.
bool HasResponseTime(const Transaction& t);
inline int64_t ResponseTimeUs(const Transaction& t) { return t.ended_us - t.sent_us; }

// Nearest-rank 99th percentile: the smallest time that at least 99 % of the
// times do not exceed. Reorders `times`; 0 when count is 0.
int64_t Percentile99(int64_t* times, size_t count);

} // namespace modbus
