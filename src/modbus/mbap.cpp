// Modbus TCP frames.
#include "modbus/mbap.h"

#include <algorithm>

#include "modbus/protocol.h"

namespace modbus {

namespace {

// The length field counts from the unit identifier on.
constexpr size_t kBeforeUnit = 6;

size_t WholeSize(const MbapHeader& h) { return kBeforeUnit + h.length; }

} // namespace

Bytes BuildMbapFrame(uint16_t transaction, uint8_t unit, uint8_t function, const Bytes& data)
{
    const size_t length = 2 + data.size();
    Bytes f(kMbapHeader + 1 + data.size());
    f[0] = uint8_t(transaction >> 8);
    f[1] = uint8_t(transaction);
    f[4] = uint8_t(length >> 8);
    f[5] = uint8_t(length);
    f[6] = unit;
    f[7] = function;
    std::copy(data.begin(), data.end(), f.begin() + long(kMbapHeader + 1));
    return f;
}

bool ReadMbapHeader(const uint8_t* b, size_t size, MbapHeader* h)
{
    if (size < kMbapHeader)
        return false;
    h->transaction = uint16_t(b[0] << 8 | b[1]);
    h->protocol = uint16_t(b[2] << 8 | b[3]);
    h->length = uint16_t(b[4] << 8 | b[5]);
    h->unit = b[6];
    return true;
}

bool MbapHeaderSane(const MbapHeader& h)
{
    return h.protocol == 0 && h.length >= kMbapMinLength && h.length <= kMbapMaxLength;
}

void AppendMbapReply(ReplyCollector* reply, const uint8_t* bytes, size_t size)
{
    Bytes& f = reply->frame;
    f.insert(f.end(), bytes, bytes + size);
    MbapHeader h;
    while (ReadMbapHeader(f.data(), f.size(), &h) && MbapHeaderSane(h) &&
           h.transaction != reply->transaction && f.size() >= WholeSize(h))
        f.erase(f.begin(), f.begin() + long(WholeSize(h)));
    // A gateway that repeats a reply may send the copy in the same segment.
    if (ReadMbapHeader(f.data(), f.size(), &h) && MbapHeaderSane(h) &&
        h.transaction == reply->transaction && f.size() > WholeSize(h)) {
        reply->following.assign(f.begin() + long(WholeSize(h)), f.end());
        f.resize(WholeSize(h));
    }
}

bool MbapReplyComplete(const ReplyCollector& reply)
{
    MbapHeader h;
    if (!ReadMbapHeader(reply.frame.data(), reply.frame.size(), &h))
        return false;
    if (!MbapHeaderSane(h))
        return true;
    return h.transaction == reply.transaction && reply.frame.size() >= WholeSize(h);
}

void DropWholeMbapFrames(Bytes* stream)
{
    MbapHeader h;
    size_t at = 0;
    while (ReadMbapHeader(stream->data() + at, stream->size() - at, &h)) {
        if (!MbapHeaderSane(h)) {
            at = stream->size();
            break;
        }
        if (stream->size() - at < WholeSize(h))
            break;
        at += WholeSize(h);
    }
    stream->erase(stream->begin(), stream->begin() + long(at));
}

ResultCode CheckMbapReply(const ReplyCollector& reply, uint8_t unit, uint8_t function,
                          const Bytes& request, const ReplyShape& shape, std::string* message)
{
    const Bytes& f = reply.frame;
    MbapHeader h;
    if (!ReadMbapHeader(f.data(), f.size(), &h)) {
        *message = "Received bad number of bytes";
        return kBadNumberOfBytes;
    }
    if (h.protocol != 0) {
        *message = "Received bad protocol identifier";
        return kBadProtocolId;
    }
    // The length must be one a PDU can have and match the bytes that came;
    // more bytes than it counts came in the same read, as a too long reply
    // does on a serial line.
    if (!MbapHeaderSane(h) || f.size() != WholeSize(h)) {
        *message = "Received bad number of bytes";
        return kBadNumberOfBytes;
    }
    if (h.unit != unit) {
        *message = "Received bad slave address";
        return kBadSlaveAddress;
    }
    const uint8_t* pdu = f.data() + kMbapHeader;
    const size_t pdu_size = f.size() - kMbapHeader;
    // The length field tells the end, so a short reply is judged here: the
    // checks below and the caller read `expected` data bytes.
    const bool exception = (pdu[0] & kExceptionBit) != 0;
    const unsigned expected = exception ? 1 : reply.expected;
    if ((pdu[0] & ~kExceptionBit) == (function & ~kExceptionBit) && pdu_size < expected + 1u) {
        *message = "Received bad number of bytes";
        return kBadNumberOfBytes;
    }
    return CheckPdu(pdu, pdu_size, expected, function, request, shape, message);
}

} // namespace modbus
