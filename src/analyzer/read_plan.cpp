// Grouping channels into block reads.
#include "analyzer/read_plan.h"

#include <algorithm>
#include <tuple>

namespace analyzer {

std::vector<PlannedRead> PlanBlockReads(const std::vector<PlanChannel>& channels)
{
    std::vector<PlanChannel> sorted;
    std::vector<PlannedRead> reads;
    for (const PlanChannel& c : channels) {
        if (c.valid)
            sorted.push_back(c);
        else
            reads.push_back({c.slave, c.type, c.address, 0, {c.index}});
    }
    // Neighbours in one table of one slave become neighbours here.
    std::sort(sorted.begin(), sorted.end(), [](const PlanChannel& a, const PlanChannel& b) {
        return std::tie(a.slave, a.type, a.address, a.index) <
               std::tie(b.slave, b.type, b.address, b.index);
    });
    int end = -1; // last register of the open read, as int: 65535 + 1 must not wrap
    for (const PlanChannel& c : sorted) {
        const int last = c.address + c.count - 1;
        PlannedRead* open = reads.empty() || reads.back().count == 0 ? nullptr : &reads.back();
        const bool joins = open && open->slave == c.slave && open->type == c.type &&
                           c.address <= end + 1 &&
                           std::max(end, last) - open->start + 1 <= kMaxBlockRegisters;
        if (joins) {
            end = std::max(end, last);
            open->count = uint16_t(end - open->start + 1);
            open->channels.push_back(c.index);
        } else {
            reads.push_back({c.slave, c.type, c.address, uint16_t(c.count), {c.index}});
            end = last;
        }
    }
    for (PlannedRead& r : reads)
        std::sort(r.channels.begin(), r.channels.end());
    std::stable_sort(reads.begin(), reads.end(), [](const PlannedRead& a, const PlannedRead& b) {
        return a.channels.front() < b.channels.front();
    });
    return reads;
}

} // namespace analyzer
