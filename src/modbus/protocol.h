// The Modbus vocabulary the program speaks: function codes, the special
// addresses, the coil values and the names of functions and exception codes.
// Every other file names a code through these definitions.
#pragma once

#include <cstdint>

namespace modbus {

// Function codes of the public application protocol that the program sends.
constexpr uint8_t kReadCoils = 1;
constexpr uint8_t kReadDiscreteInputs = 2;
constexpr uint8_t kReadHoldingRegisters = 3;
constexpr uint8_t kReadInputRegisters = 4;
constexpr uint8_t kWriteSingleCoil = 5;
constexpr uint8_t kWriteSingleRegister = 6;
constexpr uint8_t kWriteMultipleCoils = 15;
constexpr uint8_t kWriteMultipleRegisters = 16;
constexpr uint8_t kReportSlaveId = 17;
constexpr uint8_t kReadWriteMultipleRegisters = 23;
// Private functions of the maker's modules in configuration mode, answered
// only at kConfigAddress.
constexpr uint8_t kReadModuleConfig = 109;
constexpr uint8_t kWriteModuleConfig = 110;

// An exception reply carries the request's function code with bit 7 set.
constexpr uint8_t kExceptionBit = 0x80;

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
