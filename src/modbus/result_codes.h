// The result codes of the port, the engine, the requests and the channels
// of the Analyzer: 0 is success, every other code has been reported to the
// user once.
#pragma once

#include <cstdint>

namespace modbus {

enum ResultCode : int16_t {
    kOk = 0,
    // Exception replies carry their code (1..6); any other exception is 15.
    kIllegalFunction = 1,
    kIllegalDataAddress = 2,
    kIllegalDataValue = 3,
    kSlaveDeviceFailure = 4,
    kAcknowledge = 5,
    kSlaveDeviceBusy = 6,
    kUnknownException = 15,
    // The link and the frame (131 is not used).
    kSettingsNotValid = 128, // port, baud rate or parity out of range
    kPortNotAvailable = 129, // the device cannot be opened or was lost
    kTimeout = 130,
    kBadChecksum = 132,
    kBadSlaveAddress = 133,
    kBadFunctionCode = 134,
    kBadNumberOfBytes = 135,
    // A Modbus TCP header whose protocol identifier is not 0: the bytes are
    // not a Modbus frame at all, as a bad checksum says on a serial line.
    kBadProtocolId = 136,
    // The content of a reply: the byte count of a read, the echo of a write.
    kBadEchoAddress = 146,
    kBadByteCount = 147,
    kBadEchoQuantity = 148,
    kBadEchoValue = 149,
    // A channel the Analyzer refused to send: its address text is no
    // register address, or its typed value gives no register word. The
    // status bar says why; nothing went on the line.
    kChannelRefused = 160,
    // A value to write that no register holds (below -32768 or above
    // 65535): the box and the status bar say so; nothing went on the line.
    kValueRefused = 161,
};

inline bool IsExceptionResult(int16_t result)
{
    return (result >= kIllegalFunction && result <= kSlaveDeviceBusy) ||
           result == kUnknownException;
}

} // namespace modbus
