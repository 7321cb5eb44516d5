// Names of the function and exception codes, as the program shows them.
#include "modbus/protocol.h"

namespace modbus {

const char* FunctionName(uint8_t function)
{
    switch (function) {
    case kReadCoils: return "Read Coils";
    case kReadDiscreteInputs: return "Read Discrete Inputs";
    case kReadHoldingRegisters: return "Read Holding Registers";
    case kReadInputRegisters: return "Read Input Registers";
    case kWriteSingleCoil: return "Write Single Coil";
    case kWriteSingleRegister: return "Write Single Register";
    case kWriteMultipleCoils: return "Write Multiple Coils";
    case kWriteMultipleRegisters: return "Write Multiple Registers";
    case kReportSlaveId: return "Report Slave ID";
    case kReadWriteMultipleRegisters: return "Read/Write Multiple Registers";
    case kReadModuleConfig: return "Read module configuration";
    case kWriteModuleConfig: return "Write module configuration";
    default: return nullptr;
    }
}

const char* ExceptionName(uint8_t code)
{
    static const char* const kNames[] = {"Illegal function code", "Illegal data address",
                                         "Illegal data value",    "Slave device failure",
                                         "Acknowledge",           "Slave device busy"};
    return code >= 1 && code <= 6 ? kNames[code - 1] : nullptr;
}

} // namespace modbus
