// Counting transactions into the line statistics.
#include "modbus/line_statistics.h"

#include <algorithm>

#include "modbus/result_codes.h"

namespace modbus {

uint64_t LineStatistics::Exceptions() const
{
    uint64_t n = 0;
    for (uint64_t e : exceptions)
        n += e;
    return n;
}

bool HasResponseTime(const Transaction& t)
{
    return !t.Broadcast() && t.result != kTimeout && t.reply_received > 0;
}

namespace {

// The one counter that takes a transaction's outcome.
uint64_t* OutcomeCount(LineStatistics* stats, const Transaction& t)
{
    if (t.Broadcast())
        return &stats->broadcasts;
    if (t.result == kOk)
        return &stats->good_replies;
    if (t.result == kTimeout)
        return &stats->timeouts;
    if (t.result == kBadChecksum)
        return &stats->crc_errors;
    if (IsExceptionResult(t.result))
        // The slave's own code, also for the ones the engine lumps together
        // as unknown.
        return &stats->exceptions[t.reply_size >= t.AddressAt() + 3 ? t.reply[t.AddressAt() + 2]
                                                                    : uint8_t(t.result)];
    return &stats->other_errors;
}

} // namespace

void Tally(LineStatistics* stats, const Transaction& t)
{
    ++stats->requests;
    ++*OutcomeCount(stats, t);
    if (t.Broadcast())
        return;

    if (!HasResponseTime(t))
        return;
    const int64_t us = ResponseTimeUs(t);
    stats->min_us = stats->timed_replies ? std::min(stats->min_us, us) : us;
    stats->max_us = stats->timed_replies ? std::max(stats->max_us, us) : us;
    stats->total_us += us;
    ++stats->timed_replies;
}

int64_t Percentile99(int64_t* times, size_t count)
{
    if (count == 0)
        return 0;
    const size_t rank = (99 * count + 99) / 100; // ceil(0.99 n), 1-based
    std::nth_element(times, times + rank - 1, times + count);
    return times[rank - 1];
}

} // namespace modbus
