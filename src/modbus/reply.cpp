// Reply frame assembly and checks.
#include "modbus/reply.h"

#include <algorithm>

#include "modbus/protocol.h"
#include "modbus/requests_compose.h"

namespace modbus {

namespace {

// An exception reply sets bit 7 of the function code.
bool IsException(uint8_t function) { return (function & kExceptionBit) != 0; }

// Codes 1 to 6 only: any other is the unknown exception.
std::string ExceptionText(uint8_t code)
{
    return "Received command exception " + std::to_string(code) + ":\r\r" + ExceptionName(code);
}

// Address, function and checksum.
constexpr size_t kRtuOverhead = 4;
// The overhead and the exception code.
constexpr size_t kExceptionReplyBytes = kRtuOverhead + 1;
// Whole characters in the 3.5 of silence that end an RTU frame.
constexpr size_t kFrameGapBytes = 3;

} // namespace

ReplyShape ExpectedReply(uint8_t function, unsigned n)
{
    ReplyShape shape{uint16_t(ExpectedReplyData(function, n))};
    switch (function) {
    case kReadCoils:
    case kReadDiscreteInputs:
    case kReadHoldingRegisters:
    case kReadInputRegisters:
    case kReadWriteMultipleRegisters:
    case kReportSlaveId: shape.content = ReplyShape::Content::ByteCount; break;
    case kWriteSingleCoil:
    case kWriteSingleRegister:
    case kWriteMultipleCoils:
    case kWriteMultipleRegisters: shape.content = ReplyShape::Content::Echo; break;
    default: break;
    }
    return shape;
}

void AppendReply(ReplyCollector* reply, const uint8_t* bytes, size_t size)
{
    reply->frame.insert(reply->frame.end(), bytes, bytes + size);
    if (reply->frame.size() >= 2 && IsException(reply->frame[1]))
        reply->expected = 1;
}

void AppendStreamReply(ReplyCollector* reply, const uint8_t* bytes, size_t size)
{
    AppendReply(reply, bytes, size);
    const size_t whole = size_t(reply->expected) + kRtuOverhead;
    if (reply->frame.size() > whole)
        reply->frame.resize(whole);
}

bool ReplyComplete(const ReplyCollector& reply)
{
    return reply.frame.size() >= size_t(reply.expected) + kRtuOverhead;
}

size_t BytesStillAwaited(const ReplyCollector& reply)
{
    size_t whole = size_t(reply.expected) + kRtuOverhead;
    if (reply.frame.empty())
        return 0;
    // Before its second byte the reply may still be an exception, whole at
    // five bytes. One awaited only a few bytes longer is awaited whole: what
    // comes that soon behind an exception belongs to its frame, and would
    // make it too long in one read just the same.
    if (reply.frame.size() < 2 && whole > kExceptionReplyBytes + kFrameGapBytes)
        whole = kExceptionReplyBytes;
    return reply.frame.size() >= whole ? 0 : whole - reply.frame.size();
}

ResultCode CheckReply(const ReplyCollector& reply, uint8_t address, uint8_t function,
                      const Bytes& request, const ReplyShape& shape, std::string* message)
{
    const Bytes& f = reply.frame;
    // Address, function and checksum at least: a complete reply always has
    // them, and nothing below reads past the end of a shorter one.
    if (f.size() < kRtuOverhead || !CrcMatches(f.data(), f.size())) {
        *message = "Received bad checksum";
        return kBadChecksum;
    }
    if (f[0] != address) {
        *message = "Received bad slave address";
        return kBadSlaveAddress;
    }
    return CheckPdu(f.data() + 1, f.size() - 3, reply.expected, function, request, shape, message);
}

ResultCode CheckPdu(const uint8_t* pdu, size_t pdu_size, unsigned expected, uint8_t function,
                    const Bytes& request, const ReplyShape& shape, std::string* message)
{
    if ((pdu[0] & ~kExceptionBit) != (function & ~kExceptionBit)) {
        *message = "Received bad function code";
        return kBadFunctionCode;
    }
    if (pdu_size > size_t(expected) + 1) {
        *message = "Received bad number of bytes";
        return kBadNumberOfBytes;
    }
    if (IsException(pdu[0])) {
        uint8_t code = pdu[1];
        if (code >= kIllegalFunction && code <= kSlaveDeviceBusy) {
            *message = ExceptionText(code);
            return ResultCode(code);
        }
        *message = "Received unknown command exception";
        return kUnknownException;
    }
    const Bytes data(pdu + 1, pdu + pdu_size);
    switch (shape.content) {
    case ReplyShape::Content::ByteCount:
        return CheckByteCount(data, shape.data > 0 ? shape.data - 1u : 0u, message);
    case ReplyShape::Content::Echo: return CheckWriteEcho(function, request, data, message);
    case ReplyShape::Content::Unchecked: break;
    }
    return kOk;
}

} // namespace modbus
