// The frames and the line the capture and monitor tests record, and a count
// of a text's occurrences in their lines.
#pragma once

#include <string>

#include "modbus/capture.h"
#include "modbus/codec.h"
#include "modbus/result_codes.h"

namespace engine_test {

inline const serial::LineSettings kLine = {1, 9600, serial::Parity::Even};
inline const modbus::Bytes kRead = modbus::BuildFrame(1, 3, {0, 0, 0, 1});
inline const modbus::Bytes kGood = modbus::BuildFrame(1, 3, {2, 0, 5});

// One transaction of kRead on `line`: sent at sent_us, ended after response_us.
inline void Record(const modbus::Bytes& reply, int16_t result, int64_t sent_us, int64_t response_us,
                   const serial::LineSettings& line = kLine, const modbus::Bytes& request = kRead)
{
    modbus::CaptureTransaction(request, reply, line, 1.0f, sent_us, sent_us + response_us, result);
}

inline int CountOf(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace engine_test
