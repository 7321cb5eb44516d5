// The window-free side of the requests: request data composed from texts,
// the checks of reply contents and the listings. Kept apart from the port so
// that each can be checked on its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "modbus/codec.h"
#include "modbus/result_codes.h"

namespace modbus {

// --- Request data -------------------------------------------------------------

// Start (or address) and quantity, 16 bits each.
Bytes ListReadData(std::string_view start, std::string_view quantity);
// ON (FF 00) for any value text but exactly "0".
Bytes WriteCoilData(std::string_view address, std::string_view value);
Bytes WriteRegisterData(std::string_view address, std::string_view value);
// The value text's leading run of 0 and 1 digits as a binary number, low
// 16 bits; no such digits give 0.
uint16_t BinaryTextValue(std::string_view text);
Bytes WriteCoilListData(std::string_view start, std::string_view quantity, std::string_view values);
Bytes WriteRegisterListData(std::string_view start, std::string_view quantity,
                            std::string_view values);
Bytes WriteReadData(std::string_view read_start, std::string_view read_quantity,
                    std::string_view write_start, std::string_view write_quantity,
                    std::string_view values);

// Empty when a value text gives a register word: its number, rounded, from
// -32768 (sent as two's complement) to 65535; a text without a number is 0,
// as always. Else why nothing may be sent, for the status bar: 70000 would
// go out as its low 16 bits, 4464.
std::string WordValueProblem(std::string_view value);
// The same for the first `quantity` lines of a values text.
std::string WordListProblem(std::string_view quantity, std::string_view values);

// Item k (from 0) of a values text split into lines (strings::SplitLines);
// empty beyond the last.
std::string ListItem(const std::vector<std::string>& items, size_t k);

// A quantity or address text as the 16-bit number the request sends.
uint16_t Word16(std::string_view text);

// --- Reply content checks (the engine makes them, see modbus/reply.h) ------

// The byte count of a read reply against the one awaited. 0 or 147; a
// reply too short to hold the counted bytes fails too.
ResultCode CheckByteCount(const Bytes& reply, unsigned expected_count, std::string* message);
// The echo of a write (functions 5, 6, 15, 16): address first, then the
// value (5, 6) or the quantity (15, 16). 0, 146, 148 or 149.
ResultCode CheckWriteEcho(uint8_t function, const Bytes& request, const Bytes& reply,
                          std::string* message);

// --- Listings -----------------------------------------------------------------

std::string Five(unsigned value);             // "00007"
std::string Bits(unsigned value, int digits); // most significant digit first

// One line per item from reply data byte 2 on; addresses count in 16 bits.
std::string BitListing(uint16_t start, uint16_t n, const Bytes& reply);
std::string WordListing(uint16_t start, uint16_t n, const Bytes& reply);

// Register word of a one-register read reply (data bytes 2 and 3).
uint16_t SingleRegister(const Bytes& reply);

} // namespace modbus
