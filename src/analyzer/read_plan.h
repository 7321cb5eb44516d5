// Block reads: which channels share one request. Channels of one slave and
// one table whose registers touch or overlap are read together, up to the
// 125 registers one reply can carry; registers between channels are never
// asked for, since devices answer exception 2 for registers they lack.
// Pure: the caller brings the channels' parsed addresses.
#pragma once

#include <cstdint>
#include <vector>

namespace analyzer {

// The most registers a function 3 or 4 reply holds.
constexpr int kMaxBlockRegisters = 125;

struct PlanChannel {
    int index = 0; // 0..31
    uint8_t slave = 0;
    int16_t type = 0; // kInputRegister or kHoldingRegister
    uint16_t address = 0;
    int count = 1;     // registers: 1 or 2
    bool valid = true; // false: no register address; read alone, to be refused
};

struct PlannedRead {
    uint8_t slave = 0;
    int16_t type = 0;
    uint16_t start = 0;
    uint16_t count = 0;        // 0 for an invalid channel
    std::vector<int> channels; // indices, ascending
};

// The requests of a pass, in the order of each request's lowest channel
// index, so that a failure leaves unread exactly the channels a pass of
// one request per channel would, give or take the group's own.
std::vector<PlannedRead> PlanBlockReads(const std::vector<PlanChannel>& channels);

} // namespace analyzer
