// Result codes of the link, the transaction engine and the requests: a
// signed 16-bit number, 0 for success. Exceptions 1 to 6 keep the slave's
// own code.
#pragma once

#include <cstdint>

namespace modbus {

constexpr int16_t kResultOk = 0;
constexpr int16_t kResultFirstException = 1; // 1..6: the slave's exception code
constexpr int16_t kResultLastException = 6;
constexpr int16_t kResultUnknownException = 15; // any other exception code
constexpr int16_t kResultBadSettings = 128;     // port number, baud rate or parity
constexpr int16_t kResultPortUnavailable = 129;
constexpr int16_t kResultTimeout = 130;
// 131 is not used.
constexpr int16_t kResultBadCrc = 132;
constexpr int16_t kResultBadAddress = 133;
constexpr int16_t kResultBadFunction = 134;
constexpr int16_t kResultBadLength = 135;
constexpr int16_t kResultBadEchoAddress = 146;
constexpr int16_t kResultBadByteCount = 147;
constexpr int16_t kResultBadEchoQuantity = 148;
constexpr int16_t kResultBadEchoValue = 149;

inline bool IsExceptionResult(int16_t result)
{
    return (result >= kResultFirstException && result <= kResultLastException) ||
           result == kResultUnknownException;
}

} // namespace modbus
