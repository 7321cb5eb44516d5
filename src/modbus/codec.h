// Modbus RTU frames: the checksum, the number encoders and decoders that move
// values between decimal texts and frame fields, coil packing and the sizes of
// requests and replies. Pure functions, no I/O.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace modbus {

using Bytes = std::vector<uint8_t>;

// CRC-16/MODBUS, returned low byte first as it goes on the wire.
Bytes Crc16(const uint8_t* data, size_t size);
inline Bytes Crc16(const Bytes& data) { return Crc16(data.data(), data.size()); }
uint16_t Crc16Value(const uint8_t* data, size_t size);

// True when the last two bytes of the frame are the checksum of the rest.
bool CrcMatches(const uint8_t* frame, size_t size);

// The low 8, 16 or 32 bits of the text's integer (ParseInteger), most
// significant byte first.
Bytes EncodeByte(std::string_view text);
Bytes EncodeWord(std::string_view text);
Bytes EncodeDword(std::string_view text);

// Unsigned decimal texts, never negative.
std::string DecodeByte(uint8_t b);
std::string DecodeWord(uint8_t hi, uint8_t lo);
std::string DecodeDword(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4);

// Coil and input states, eight to a byte, the first item in bit 0.
Bytes PackCoils(const std::vector<bool>& states);
// State of item i (0-based) in the state bytes that follow the byte count.
bool UnpackCoil(const uint8_t* states, size_t i);

// Number of state bytes for n coils or inputs: ceil(n / 8).
inline unsigned CoilBytes(unsigned n) { return n / 8 + (n % 8 != 0 ? 1 : 0); }

// Reply data bytes (after address and function, before the checksum) that a
// master waits for, per function; n is the quantity read. 0 for functions
// with no fixed reply. The requests and the tests share it.
unsigned ExpectedReplyData(uint8_t function, unsigned n);

// Frame = address, function, data, checksum.
Bytes BuildFrame(uint8_t address, uint8_t function, const Bytes& data);

// Largest frame the program handles: the reply to 2000 coils or 125
// registers, 255 bytes in RTU; with the 7-byte Modbus TCP header instead
// of address and checksum, at most 260.
constexpr size_t kMaxFrame = 260;

} // namespace modbus
