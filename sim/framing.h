// Where a request frame ends. RTU frames carry no length field of their own,
// so the length follows from the function code and, for the multiple writes,
// from the byte count inside the frame.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sim {

// Length of the request frame that starts at bytes[0], checksum included:
// 0 when more bytes are needed to know it, and kUnknownLength when the
// function has no fixed layout (then only the silence on the line ends it).
constexpr size_t kUnknownLength = static_cast<size_t>(-1);
size_t RequestLength(const uint8_t* bytes, size_t size);

} // namespace sim
