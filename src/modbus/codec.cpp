// Modbus RTU frame codec.
#include "modbus/codec.h"

#include "modbus/function_codes.h"

#include "strings/number_parse.h"

namespace modbus {

uint16_t Crc16Value(const uint8_t* data, size_t size)
{
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc; // no final XOR
}

Bytes Crc16(const uint8_t* data, size_t size)
{
    uint16_t crc = Crc16Value(data, size);
    // The low-order byte of the CRC goes first on the wire.
    return Bytes{uint8_t(crc & 0xFF), uint8_t(crc >> 8)};
}

bool CrcMatches(const uint8_t* frame, size_t size)
{
    if (size < 2)
        return false;
    uint16_t crc = Crc16Value(frame, size - 2);
    return frame[size - 2] == (crc & 0xFF) && frame[size - 1] == (crc >> 8);
}

Bytes EncodeByte(std::string_view text)
{
    uint64_t v = strings::ParseInteger(text);
    return Bytes{uint8_t(v)};
}

Bytes EncodeWord(std::string_view text)
{
    uint64_t v = strings::ParseInteger(text);
    return Bytes{uint8_t(v >> 8), uint8_t(v)};
}

Bytes EncodeDword(std::string_view text)
{
    uint64_t v = strings::ParseInteger(text);
    return Bytes{uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

std::string DecodeByte(uint8_t b) { return std::to_string(unsigned(b)); }

std::string DecodeWord(uint8_t hi, uint8_t lo) { return std::to_string(unsigned(hi) * 256u + lo); }

std::string DecodeDword(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4)
{
    uint32_t v = (uint32_t(b1) << 24) | (uint32_t(b2) << 16) | (uint32_t(b3) << 8) | b4;
    return std::to_string(v);
}

Bytes PackCoils(const std::vector<bool>& states)
{
    Bytes out(CoilBytes(unsigned(states.size())), 0);
    for (size_t i = 0; i < states.size(); ++i)
        if (states[i])
            out[i / 8] |= uint8_t(1u << (i % 8));
    return out;
}

bool UnpackCoil(const uint8_t* states, size_t i) { return (states[i / 8] >> (i % 8)) & 1; }

unsigned ExpectedReplyData(uint8_t function, unsigned n)
{
    switch (function) {
    case kReadCoils:
    case kReadDiscreteInputs: return CoilBytes(n) + 1; // byte count, then the states
    case kReadHoldingRegisters:
    case kReadInputRegisters:
    case kReadWriteMultipleRegisters: return 2 * n + 1; // byte count, then the registers
    case kWriteSingleCoil:
    case kWriteSingleRegister:
    case kWriteMultipleCoils:
    case kWriteMultipleRegisters: return 4; // the echo of address and value or quantity
    case kReportSlaveId: return 23;   // byte count 22: model, run indicator, version, and more
    case kReadModuleConfig: return 8; // slave address, baud rate (4), parity, reset time (2)
    default: return 0;
    }
}

Bytes BuildFrame(uint8_t address, uint8_t function, const Bytes& data)
{
    Bytes frame;
    frame.reserve(data.size() + 4);
    frame.push_back(address);
    frame.push_back(function);
    frame.insert(frame.end(), data.begin(), data.end());
    Bytes crc = Crc16(frame);
    frame.insert(frame.end(), crc.begin(), crc.end());
    return frame;
}

} // namespace modbus
