// A module in configuration mode: the private functions 109 (read the serial
// settings) and 110 (write them) at the configuration address.
#pragma once

#include "sim/sim.h"

namespace sim {

constexpr uint8_t kConfigAddress = 248;

Reply ServeConfigModule(ModuleConfig& config, const Request& request);

} // namespace sim
