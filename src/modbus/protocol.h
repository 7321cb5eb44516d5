// The rest of the Modbus vocabulary beside the function codes: the special
// addresses, the coil values and the names of functions and exception codes.
#pragma once

#include <cstdint>

#include "modbus/function_codes.h"

namespace modbus {

constexpr uint8_t kBroadcastAddress = 0; // every slave acts, none answers
constexpr uint8_t kConfigAddress = 248;  // a module in configuration mode

// Write Single Coil values; anything else is not a coil state.
constexpr uint16_t kCoilOn = 0xFF00;
constexpr uint16_t kCoilOff = 0x0000;

// "Read Holding Registers" and so on; nullptr for a code the program does
// not use.
const char* FunctionName(uint8_t function);

// "Illegal function code" to "Slave device busy" for exception codes 1 to 6;
// nullptr for any other code.
const char* ExceptionName(uint8_t code);

} // namespace modbus
