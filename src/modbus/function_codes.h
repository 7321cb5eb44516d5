// The Modbus function codes the program sends, and the bit a slave sets in
// an exception reply.
#pragma once

#include <cstdint>

namespace modbus {

enum FunctionCode : uint8_t {
    kReadCoils = 1,
    kReadDiscreteInputs = 2,
    kReadHoldingRegisters = 3,
    kReadInputRegisters = 4,
    kWriteSingleCoil = 5,
    kWriteSingleRegister = 6,
    kWriteMultipleCoils = 15,
    kWriteMultipleRegisters = 16,
    kReportSlaveId = 17,
    kReadWriteMultipleRegisters = 23,
    // Private to the modules, answered only in configuration mode.
    kReadModuleConfig = 109,
    kWriteModuleConfig = 110,
};

// Set in the function byte of an exception reply.
constexpr uint8_t kExceptionBit = 0x80;

} // namespace modbus
