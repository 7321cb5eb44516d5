// A module in configuration mode: the private functions 109 (read the serial
// settings) and 110 (write them) at the configuration address.
#pragma once

#include "modbus/protocol.h"
#include "sim/sim.h"

namespace sim {

using modbus::kConfigAddress;

Reply ServeConfigModule(ModuleConfig& config, const Request& request);

} // namespace sim
