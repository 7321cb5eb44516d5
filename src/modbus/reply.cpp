// Reply frame assembly and checks.
#include "modbus/reply.h"

#include "modbus/protocol.h"
#include "modbus/result_codes.h"

namespace modbus {

namespace {

// An exception reply sets bit 7 of the function code.
bool IsException(uint8_t function) { return (function & kExceptionBit) != 0; }

// Codes 1 to 6 only: any other is the unknown exception.
std::string ExceptionText(uint8_t code)
{
    return "Received command exception " + std::to_string(code) + ":\r\r" + ExceptionName(code);
}

} // namespace

void AppendReply(ReplyCollector* reply, const uint8_t* bytes, size_t size)
{
    reply->frame.insert(reply->frame.end(), bytes, bytes + size);
    if (reply->frame.size() >= 2 && IsException(reply->frame[1]))
        reply->expected = 1;
}

bool ReplyComplete(const ReplyCollector& reply)
{
    return reply.frame.size() >= size_t(reply.expected) + 4;
}

size_t BytesStillAwaited(const ReplyCollector& reply)
{
    size_t whole = size_t(reply.expected) + 4;
    if (reply.frame.size() < 2 || reply.frame.size() >= whole)
        return 0;
    return whole - reply.frame.size();
}

int16_t CheckReply(const ReplyCollector& reply, uint8_t address, uint8_t function,
                   std::string* message)
{
    const Bytes& f = reply.frame;
    // Address, function and checksum at least: a complete reply always has
    // them, and nothing below reads past the end of a shorter one.
    if (f.size() < 4 || !CrcMatches(f.data(), f.size())) {
        *message = "Received bad checksum";
        return kBadChecksum;
    }
    if (f[0] != address) {
        *message = "Received bad slave address";
        return kBadSlaveAddress;
    }
    if ((f[1] & ~kExceptionBit) != (function & ~kExceptionBit)) {
        *message = "Received bad function code";
        return kBadFunctionCode;
    }
    if (f.size() > size_t(reply.expected) + 4) {
        *message = "Received bad number of bytes";
        return kBadNumberOfBytes;
    }
    if (IsException(f[1])) {
        uint8_t code = f[2];
        if (code >= kIllegalFunction && code <= kSlaveDeviceBusy) {
            *message = ExceptionText(code);
            return code;
        }
        *message = "Received unknown command exception";
        return kUnknownException;
    }
    return 0;
}

} // namespace modbus
