// The moving input registers of the generic demo slave, as functions of time
// so that a reply costs a few arithmetic operations.
#pragma once

#include <cstdint>

namespace sim {

// Input registers 0..7 carry waveforms within 0..1000 (the range a new plot
// shows), 8 and 9 slow waves of larger values (README: Demo bus).
constexpr unsigned kDemoInputCount = 10;

// Value of demo input register `index` (< kDemoInputCount) at time_s
// seconds since the simulator started.
uint16_t DemoInputRegister(unsigned index, double time_s);

} // namespace sim
