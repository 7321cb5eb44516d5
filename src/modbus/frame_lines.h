// The text lines of the communication monitor, the trace file and the
// simulator's frame listing: one line per frame, in one format everywhere, so
// that a line seen in one can be looked for in another.
//
//       0.000000 TX 01 03 00 00 00 0A C5 CD | slave 1 Read Holding Registers address 0 ...
//       0.012277 RX 01 03 14 00 6F ... | slave 1 Read Holding Registers ... | 12.277 ms
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "modbus/frame_decoder.h"
#include "modbus/transaction.h"

namespace modbus {

// "01 03 00 00 00 0A C5 CD"
std::string HexBytes(const uint8_t* bytes, size_t size);

// One line, without line end: seconds since the first frame, TX or RX, the
// bytes, the summary and, when response_us is not negative, the response time.
std::string FormatFrameLine(int64_t since_first_us, Direction direction, const uint8_t* bytes,
                            size_t size, const std::string& summary, int64_t response_us = -1);

// "9600 bit/s even parity"
std::string DescribeLine(const serial::LineSettings& line);
// "# COM1 9600 bit/s even parity, time-out 1.000 s": the line and time-out
// of a transaction.
std::string FormatSettingsLine(const Transaction& t);

// Appends the lines of one transaction, each ended by '\n': the settings
// line when `with_settings`, the request (TX) and, unless it was a
// broadcast, the reply (RX) with its response time, or "timeout".
// `origin_us` is the time the first frame shown left.
void AppendTransactionLines(const Transaction& t, int64_t origin_us, bool with_settings,
                            std::string* out);

} // namespace modbus
