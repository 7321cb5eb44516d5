// Turning a correct reply into a faulty one. Pure, so each fault can be
// checked on bytes without a pty.
#pragma once

#include "sim/sim.h"

namespace sim {

// How a reply goes out on the line.
struct ReplyPlan {
    bool send = true;
    Bytes bytes;              // the whole reply, checksum included
    double delay_s = 0;       // before the first byte
    size_t piece_bytes = 0;   // 0 = in one piece
    double piece_delay_s = 0; // between pieces
    double repeat_s = -1;     // the whole reply again this long after it; < 0 never
};

bool FaultMatches(const Fault& fault, const Request& request);
void ApplyFault(const Fault& fault, const Request& request, ReplyPlan* plan);

} // namespace sim
