#include "sim/framing.h"
#include "modbus/function_codes.h"

namespace sim {

size_t RequestLength(const uint8_t* bytes, size_t size)
{
    if (size < 2)
        return 0;
    switch (bytes[1]) {
    case modbus::kReadCoils:
    case modbus::kReadDiscreteInputs:
    case modbus::kReadHoldingRegisters:
    case modbus::kReadInputRegisters:
    case modbus::kWriteSingleCoil:
    case modbus::kWriteSingleRegister: return 8;
    case modbus::kWriteMultipleCoils:
    case modbus::kWriteMultipleRegisters: return size < 7 ? 0 : 9 + size_t{bytes[6]};
    case modbus::kReportSlaveId:
    case modbus::kReadModuleConfig: return 4;
    case modbus::kReadWriteMultipleRegisters: return size < 11 ? 0 : 13 + size_t{bytes[10]};
    case modbus::kWriteModuleConfig: return 12;
    default: return kUnknownLength;
    }
}

} // namespace sim
