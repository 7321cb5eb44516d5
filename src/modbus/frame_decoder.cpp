// Frame decoding for the monitor. The layout of each function is read from
// the frame's own fixed fields and byte count, so a frame that is cut short,
// too long or from a confused slave is still described as far as it goes.
#include "modbus/frame_decoder.h"

#include <algorithm>

#include "modbus/codec.h"
#include "modbus/protocol.h"

namespace modbus {

namespace {

constexpr size_t kHeader = 2; // address, function
constexpr size_t kChecksum = 2;

uint16_t Word(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

void Add(std::string* text, const char* label, unsigned value)
{
    *text += ' ';
    *text += label;
    *text += ' ';
    *text += std::to_string(value);
}

// The size the frame must have, from the function and, where the function
// has one, the byte count. `known` is false while the byte count itself has
// not arrived; the size is then the least the frame can have.
struct Layout {
    size_t size = 0;
    bool known = true;
};

Layout Fixed(size_t data) { return {kHeader + data + kChecksum, true}; }

// `count_at` is the frame position of the byte count; the data before it
// and the count itself make up `fixed_data` bytes.
Layout Counted(const uint8_t* frame, size_t size, size_t count_at, size_t fixed_data)
{
    if (size > count_at)
        return {kHeader + fixed_data + frame[count_at] + kChecksum, true};
    return {kHeader + fixed_data + kChecksum, false};
}

bool RequestLayout(const uint8_t* frame, size_t size, Layout* layout)
{
    switch (frame[1]) {
    case kReadCoils:
    case kReadDiscreteInputs:
    case kReadHoldingRegisters:
    case kReadInputRegisters:
    case kWriteSingleCoil:
    case kWriteSingleRegister: *layout = Fixed(4); return true;
    case kWriteMultipleCoils:
    case kWriteMultipleRegisters: *layout = Counted(frame, size, 6, 5); return true;
    case kReportSlaveId:
    case kReadModuleConfig: *layout = Fixed(0); return true;
    case kReadWriteMultipleRegisters: *layout = Counted(frame, size, 10, 9); return true;
    case kWriteModuleConfig: *layout = Fixed(8); return true;
    default: return false;
    }
}

bool ReplyLayout(const uint8_t* frame, size_t size, Layout* layout)
{
    if (frame[1] & kExceptionBit) {
        *layout = Fixed(1);
        return true;
    }
    switch (frame[1]) {
    case kReadCoils:
    case kReadDiscreteInputs:
    case kReadHoldingRegisters:
    case kReadInputRegisters:
    case kReportSlaveId:
    case kReadWriteMultipleRegisters: *layout = Counted(frame, size, 2, 1); return true;
    case kWriteSingleCoil:
    case kWriteSingleRegister:
    case kWriteMultipleCoils:
    case kWriteMultipleRegisters: *layout = Fixed(4); return true;
    case kReadModuleConfig: *layout = Fixed(8); return true;
    case kWriteModuleConfig: *layout = Fixed(0); return true;
    default: return false;
    }
}

// Items in wire order, the first in bit 0 of the first byte, grouped by
// eight: "10100000 1".
void AddStates(std::string* text, const uint8_t* states, size_t count)
{
    *text += " states ";
    for (size_t i = 0; i < count; ++i) {
        if (i > 0 && i % 8 == 0)
            *text += ' ';
        *text += UnpackCoil(states, i) ? '1' : '0';
    }
}

void AddValues(std::string* text, const uint8_t* words, size_t count)
{
    *text += " values";
    for (size_t i = 0; i < count; ++i) {
        *text += ' ';
        *text += std::to_string(Word(words + 2 * i));
    }
}

void AddCoilValue(std::string* text, uint16_t value)
{
    *text += " value ";
    if (value == kCoilOn)
        *text += "ON";
    else if (value == kCoilOff)
        *text += "OFF";
    else
        *text += std::to_string(value) + " (not a coil state)";
}

// Slave address, baud rate, parity code, reset time: the 8 bytes of both
// private functions.
void AddModuleConfig(std::string* text, const uint8_t* d)
{
    Add(text, "module address", d[0]);
    Add(text, "baud", uint32_t(d[1]) << 24 | uint32_t(d[2]) << 16 | uint32_t(d[3]) << 8 | d[4]);
    Add(text, "parity", d[5]);
    Add(text, "reset time", Word(d + 6));
}

void AddByteCountIfUnexpected(std::string* text, unsigned count, unsigned expected)
{
    if (count != expected) {
        Add(text, "byte count", count);
        Add(text, "instead of", expected);
    }
}

// d holds the request data, n bytes, as long as the layout asks.
void DescribeRequest(uint8_t function, const uint8_t* d, std::string* text)
{
    switch (function) {
    case kReadCoils:
    case kReadDiscreteInputs:
    case kReadHoldingRegisters:
    case kReadInputRegisters:
        Add(text, "address", Word(d));
        Add(text, "quantity", Word(d + 2));
        break;
    case kWriteSingleCoil:
        Add(text, "address", Word(d));
        AddCoilValue(text, Word(d + 2));
        break;
    case kWriteSingleRegister:
        Add(text, "address", Word(d));
        Add(text, "value", Word(d + 2));
        break;
    case kWriteMultipleCoils: {
        unsigned quantity = Word(d + 2), count = d[4];
        Add(text, "address", Word(d));
        Add(text, "quantity", quantity);
        AddByteCountIfUnexpected(text, count, CoilBytes(quantity));
        AddStates(text, d + 5, std::min<size_t>(quantity, 8u * count));
        break;
    }
    case kWriteMultipleRegisters: {
        unsigned quantity = Word(d + 2), count = d[4];
        Add(text, "address", Word(d));
        Add(text, "quantity", quantity);
        AddByteCountIfUnexpected(text, count, 2 * quantity);
        AddValues(text, d + 5, count / 2);
        break;
    }
    case kReadWriteMultipleRegisters: {
        unsigned quantity = Word(d + 6), count = d[8];
        Add(text, "read address", Word(d));
        Add(text, "quantity", Word(d + 2));
        Add(text, "write address", Word(d + 4));
        Add(text, "quantity", quantity);
        AddByteCountIfUnexpected(text, count, 2 * quantity);
        AddValues(text, d + 9, count / 2);
        break;
    }
    case kWriteModuleConfig: AddModuleConfig(text, d); break;
    default: break; // Report Slave ID and the configuration read carry no data
    }
}

// The first request data bytes (start address and quantity for the reads;
// read start and read quantity for function 23), when the request is one
// this reply can answer and holds them.
const uint8_t* RequestFields(uint8_t function, const uint8_t* request, size_t request_size)
{
    if (request == nullptr || request_size < kHeader + 4 + kChecksum || request[1] != function)
        return nullptr;
    return request + kHeader;
}

void DescribeReply(uint8_t function, const uint8_t* d, size_t n, const uint8_t* asked,
                   std::string* text)
{
    switch (function) {
    case kReadCoils:
    case kReadDiscreteInputs: {
        unsigned count = d[0];
        size_t items = 8u * count;
        if (asked) {
            unsigned quantity = Word(asked + 2);
            Add(text, "address", Word(asked));
            AddByteCountIfUnexpected(text, count, CoilBytes(quantity));
            items = std::min<size_t>(items, quantity);
        }
        AddStates(text, d + 1, items);
        break;
    }
    case kReadHoldingRegisters:
    case kReadInputRegisters:
    case kReadWriteMultipleRegisters: {
        unsigned count = d[0];
        if (asked) {
            Add(text, "address", Word(asked));
            AddByteCountIfUnexpected(text, count, 2u * Word(asked + 2));
        } else if (count % 2 != 0) {
            Add(text, "odd byte count", count);
        }
        AddValues(text, d + 1, count / 2);
        break;
    }
    case kWriteSingleCoil:
        Add(text, "address", Word(d));
        AddCoilValue(text, Word(d + 2));
        break;
    case kWriteSingleRegister:
        Add(text, "address", Word(d));
        Add(text, "value", Word(d + 2));
        break;
    case kWriteMultipleCoils:
    case kWriteMultipleRegisters:
        Add(text, "address", Word(d));
        Add(text, "quantity", Word(d + 2));
        break;
    case kReportSlaveId: {
        // Module models put their model text and firmware version here.
        *text += " id \"";
        for (size_t i = 1; i < n; ++i)
            *text += d[i] >= 0x20 && d[i] < 0x7F ? char(d[i]) : '.';
        *text += '"';
        break;
    }
    case kReadModuleConfig: AddModuleConfig(text, d); break;
    default: break; // the configuration write is acknowledged with no data
    }
}

} // namespace

FrameSummary DecodeFrame(const uint8_t* frame, size_t size, Direction direction,
                         const uint8_t* request, size_t request_size)
{
    FrameSummary s;
    std::string* text = &s.text;
    if (size == 0) {
        s.truncated = true;
        *text = "no bytes";
        return s;
    }
    s.crc_ok = size >= kHeader + kChecksum && CrcMatches(frame, size);
    *text = "slave " + std::to_string(frame[0]);
    if (size < kHeader) {
        s.truncated = true;
        *text += " truncated: 1 byte";
        return s;
    }

    // Bit 7 marks an exception only in a reply; in a request it is just
    // part of an unknown code.
    s.exception = direction == Direction::Reply && (frame[1] & kExceptionBit);
    const uint8_t function = s.exception ? uint8_t(frame[1] & ~kExceptionBit) : frame[1];
    if (const char* name = FunctionName(function)) {
        *text += ' ';
        *text += name;
    } else {
        s.unknown_function = true;
        Add(text, "unknown function", function);
    }

    Layout layout;
    bool laid_out = direction == Direction::Request ? RequestLayout(frame, size, &layout)
                                                    : ReplyLayout(frame, size, &layout);
    if (!laid_out)
        layout = Fixed(0); // unknown function: any data, at least a checksum
    if (size < layout.size) {
        s.truncated = true;
        *text += " truncated: " + std::to_string(size) + " of " +
                 (layout.known ? "" : "at least ") + std::to_string(layout.size) + " bytes";
        return s;
    }

    const uint8_t* data = frame + kHeader;
    const size_t data_size = layout.size - kHeader - kChecksum;
    if (s.exception) {
        Add(text, "exception", data[0]);
        const char* name = ExceptionName(data[0]);
        *text += ' ';
        *text += name ? name : "unknown exception";
    } else if (laid_out && direction == Direction::Request) {
        DescribeRequest(function, data, text);
    } else if (laid_out) {
        DescribeReply(function, data, data_size, RequestFields(function, request, request_size),
                      text);
    }
    if (laid_out && size > layout.size) {
        const size_t extra = size - layout.size;
        *text += ' ' + std::to_string(extra) + (extra == 1 ? " extra byte" : " extra bytes");
    }
    if (!s.crc_ok)
        *text += " bad CRC";
    if (direction == Direction::Request && frame[0] == kBroadcastAddress)
        *text += " no reply expected (broadcast)";
    return s;
}

} // namespace modbus
