// Request data, reply content checks and listings.
#include "modbus/requests_compose.h"

#include <cmath>

#include "modbus/protocol.h"
#include "modbus/result_codes.h"

#include "strings/lines.h"
#include "strings/number_parse.h"

namespace modbus {

namespace {

void Append(Bytes* to, const Bytes& from) { to->insert(to->end(), from.begin(), from.end()); }

// Reply data byte 2 onwards holds the items; byte 1 is the byte count.
constexpr size_t kFirstItemByte = 1;

uint8_t ReplyByte(const Bytes& reply, size_t index)
{
    return index < reply.size() ? reply[index] : 0;
}

} // namespace

uint16_t Word16(std::string_view text) { return uint16_t(strings::ParseInteger(text) & 0xFFFF); }

std::string ListItem(const std::vector<std::string>& items, size_t k)
{
    return k < items.size() ? items[k] : std::string();
}

namespace {

constexpr char kWordRange[] = "does not fit a register. Valid: -32768÷65535";

bool FitsWord(std::string_view value)
{
    const double n = std::nearbyint(strings::ParseNumber(value));
    return n >= -32768 && n <= 65535;
}

} // namespace

std::string WordValueProblem(std::string_view value)
{
    if (FitsWord(value))
        return "";
    return "Not written: value \"" + std::string(value) + "\" " + kWordRange;
}

std::string WordListProblem(std::string_view quantity, std::string_view values)
{
    const std::vector<std::string> items = strings::SplitLines(values);
    const uint16_t n = Word16(quantity);
    for (size_t k = 0; k < n && k < items.size(); ++k)
        if (!FitsWord(items[k]))
            return "Not written: value " + std::to_string(k + 1) + ", \"" + items[k] + "\", " +
                   kWordRange;
    return "";
}

Bytes ListReadData(std::string_view start, std::string_view quantity)
{
    Bytes data = EncodeWord(start);
    Append(&data, EncodeWord(quantity));
    return data;
}

Bytes WriteCoilData(std::string_view address, std::string_view value)
{
    Bytes data = EncodeWord(address);
    // Only an explicit 0 switches off: an empty box means ON, as it always has.
    if (value == "0")
        Append(&data, Bytes{kCoilOff >> 8, kCoilOff & 0xFF});
    else
        Append(&data, Bytes{kCoilOn >> 8, kCoilOn & 0xFF});
    return data;
}

Bytes WriteRegisterData(std::string_view address, std::string_view value)
{
    Bytes data = EncodeWord(address);
    Append(&data, EncodeWord(value));
    return data;
}

uint16_t BinaryTextValue(std::string_view text)
{
    uint16_t value = 0;
    for (char c : text) {
        if (c != '0' && c != '1')
            break;
        value = uint16_t((value << 1) | (c - '0'));
    }
    return value;
}

Bytes WriteCoilListData(std::string_view start, std::string_view quantity, std::string_view values)
{
    uint16_t n = Word16(quantity);
    std::vector<std::string> items = strings::SplitLines(values);
    std::vector<bool> states(n);
    for (size_t k = 0; k < n; ++k)
        states[k] = ListItem(items, k) == "1";
    Bytes data = ListReadData(start, quantity);
    data.push_back(uint8_t(CoilBytes(n)));
    Append(&data, PackCoils(states));
    return data;
}

namespace {

// Byte count 2N and N register values, one per line of the values text.
void AppendRegisterValues(Bytes* data, std::string_view quantity, std::string_view values)
{
    uint16_t n = Word16(quantity);
    std::vector<std::string> items = strings::SplitLines(values);
    data->push_back(uint8_t(2u * n));
    for (size_t k = 0; k < n; ++k)
        Append(data, EncodeWord(ListItem(items, k)));
}

} // namespace

Bytes WriteRegisterListData(std::string_view start, std::string_view quantity,
                            std::string_view values)
{
    Bytes data = ListReadData(start, quantity);
    AppendRegisterValues(&data, quantity, values);
    return data;
}

Bytes WriteReadData(std::string_view read_start, std::string_view read_quantity,
                    std::string_view write_start, std::string_view write_quantity,
                    std::string_view values)
{
    Bytes data = ListReadData(read_start, read_quantity);
    Append(&data, ListReadData(write_start, write_quantity));
    AppendRegisterValues(&data, write_quantity, values);
    return data;
}

ResultCode CheckByteCount(const Bytes& reply, unsigned expected_count, std::string* message)
{
    if (!reply.empty() && reply[0] == expected_count && reply.size() >= 1 + expected_count)
        return kOk;
    *message = "Received bad bytes count";
    return kBadByteCount;
}

ResultCode CheckWriteEcho(uint8_t function, const Bytes& request, const Bytes& reply,
                          std::string* message)
{
    auto same = [&](size_t at) {
        return reply.size() >= at + 2 && request.size() >= at + 2 && reply[at] == request[at] &&
               reply[at + 1] == request[at + 1];
    };
    if (!same(0)) {
        *message = "Received bad register address";
        return kBadEchoAddress;
    }
    if (same(2))
        return kOk;
    switch (function) {
    case kWriteSingleCoil: *message = "Received bad coil value"; return kBadEchoValue;
    case kWriteSingleRegister: *message = "Received bad register value"; return kBadEchoValue;
    case kWriteMultipleCoils: *message = "Received bad coils quantity"; return kBadEchoQuantity;
    default: *message = "Received bad words quantity"; return kBadEchoQuantity;
    }
}

std::string Five(unsigned value)
{
    std::string digits = std::to_string(value);
    return digits.size() < 5 ? std::string(5 - digits.size(), '0') + digits : digits;
}

std::string Bits(unsigned value, int digits)
{
    std::string out(size_t(digits), '0');
    for (int i = 0; i < digits; ++i)
        if (value & (1u << (digits - 1 - i)))
            out[size_t(i)] = '1';
    return out;
}

std::string BitListing(uint16_t start, uint16_t n, const Bytes& reply)
{
    std::string out;
    out.reserve(size_t(n) * 12);
    for (unsigned i = 0; i < n; ++i) {
        uint8_t byte = ReplyByte(reply, kFirstItemByte + i / 8);
        bool on = (byte >> (i % 8)) & 1;
        out += Five(uint16_t(start + i)) + " > " + (on ? "1" : "0") + " \r\n";
    }
    return out;
}

std::string WordListing(uint16_t start, uint16_t n, const Bytes& reply)
{
    std::string out;
    out.reserve(size_t(n) * 36);
    for (unsigned i = 0; i < n; ++i) {
        uint8_t hi = ReplyByte(reply, kFirstItemByte + 2 * i);
        uint8_t lo = ReplyByte(reply, kFirstItemByte + 2 * i + 1);
        out += Five(uint16_t(start + i)) + " > " + Five(hi * 256u + lo) + "   " + Bits(hi, 8) +
               "." + Bits(lo, 8) + " \r\n";
    }
    return out;
}

uint16_t SingleRegister(const Bytes& reply)
{
    return uint16_t(ReplyByte(reply, 1) * 256u + ReplyByte(reply, 2));
}

} // namespace modbus
