// The two private requests that read and write the serial settings of one
// module in configuration mode (functions 109 and 110 at address 248). Such
// a module listens only at 9600 bit/s, even parity, whatever the general
// settings say; both requests leave the port closed, so that the next
// ordinary request reopens it with the general settings.
#pragma once

#include <cstdint>

#include "modbus/result_codes.h"

namespace modbus {

// Stores the module's settings in MODULE_CFG_SLAVE, MODULE_CFG_BAUD,
// MODULE_CFG_PARITY and MODULE_CFG_RES_TIME. Result code; a failure has
// been reported and leaves the keys unchanged.
ResultCode ReadModuleConfiguration();
// Sends the four keys as stored in the .cfg file. Result code.
ResultCode WriteModuleConfiguration();

} // namespace modbus
