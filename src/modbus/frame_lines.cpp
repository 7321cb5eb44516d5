// Formatting frames and transactions as monitor lines.
#include "modbus/frame_lines.h"

#include <cstdio>

#include "modbus/line_statistics.h"
#include "modbus/mbap.h"
#include "modbus/result_codes.h"

namespace modbus {

namespace {

// What the decoder cannot see in the reply alone: the engine's verdict on a
// reply that was a good frame but not the answer asked for.
const char* ResultNote(int16_t result)
{
    switch (result) {
    case kBadSlaveAddress: return "reply from another slave";
    case kBadFunctionCode: return "reply to another function";
    case kBadNumberOfBytes: return "reply longer than expected";
    case kBadProtocolId: return "not a Modbus frame";
    case kBadEchoAddress: return "wrong address echoed";
    case kBadByteCount: return "wrong byte count";
    case kBadEchoQuantity: return "wrong quantity echoed";
    case kBadEchoValue: return "wrong value echoed";
    default: return nullptr;
    }
}

// Modbus TCP: the header's fields, then the PDU as the RTU frame that
// would carry it is decoded.
std::string MbapText(const uint8_t* f, size_t size, Direction direction, const uint8_t* request,
                     size_t request_size)
{
    MbapHeader h;
    if (!ReadMbapHeader(f, size, &h))
        return "partial header";
    std::string s = "transaction " + std::to_string(h.transaction) + " unit " +
                    std::to_string(h.unit) + " length " + std::to_string(h.length);
    if (h.protocol != 0)
        return s + " protocol " + std::to_string(h.protocol) + ": not Modbus";
    if (size != kMbapHeader - 1 + h.length)
        s += " (" + std::to_string(size - (kMbapHeader - 1)) + " follow)";
    if (size <= kMbapHeader)
        return s;
    Bytes rtu = BuildFrame(f[6], f[7], Bytes(f + kMbapHeader + 1, f + size));
    Bytes rtu_request;
    if (request_size > kMbapHeader)
        rtu_request = BuildFrame(request[6], request[7],
                                 Bytes(request + kMbapHeader + 1, request + request_size));
    return s + ": " +
           DecodeFrame(rtu.data(), rtu.size(), direction, rtu_request.data(), rtu_request.size())
               .text;
}

std::string FrameText(const Transaction& t, Direction direction)
{
    const bool reply = direction == Direction::Reply;
    const uint8_t* f = reply ? t.reply : t.request;
    const size_t size = reply ? t.reply_size : t.request_size;
    if (t.Mbap())
        return MbapText(f, size, direction, reply ? t.request : nullptr,
                        reply ? t.request_size : 0);
    return DecodeFrame(f, size, direction, reply ? t.request : nullptr, reply ? t.request_size : 0)
        .text;
}

std::string ReplySummary(const Transaction& t)
{
    if (t.reply_received == 0)
        return t.result == kTimeout ? "timeout" : "no reply";
    std::string s = FrameText(t, Direction::Reply);
    if (t.reply_received > t.reply_size)
        s += " (" + std::to_string(t.reply_received - t.reply_size) + " more bytes not kept)";
    if (t.result == kTimeout) {
        s += " timeout";
    } else if (const char* note = ResultNote(t.result)) {
        s += ' ';
        s += note;
    }
    return s;
}

} // namespace

std::string HexBytes(const uint8_t* bytes, size_t size)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(size * 3);
    for (size_t i = 0; i < size; ++i) {
        if (i > 0)
            s += ' ';
        s += kDigits[bytes[i] >> 4];
        s += kDigits[bytes[i] & 0x0F];
    }
    return s;
}

std::string FormatFrameLine(int64_t since_first_us, Direction direction, const uint8_t* bytes,
                            size_t size, const std::string& summary, int64_t response_us)
{
    char time[32];
    std::snprintf(time, sizeof time, "%14.6f", double(since_first_us) * 1e-6);
    std::string line = time;
    line += direction == Direction::Request ? " TX " : " RX ";
    line += HexBytes(bytes, size);
    line += " | ";
    line += summary;
    if (response_us >= 0) {
        char ms[32];
        std::snprintf(ms, sizeof ms, " | %.3f ms", double(response_us) * 1e-3);
        line += ms;
    }
    return line;
}

std::string DescribeLine(const serial::LineSettings& line)
{
    // The gateway owns speed and parity of a network line.
    if (line.IsNetwork())
        return line.Net();
    static const char* const kParity[] = {"no parity 2 stop bits", "odd parity", "even parity",
                                          "no parity 1 stop bit"};
    std::string s = std::to_string(line.baud) + " bit/s ";
    const int code = serial::ParityCode(line.parity);
    s += serial::ParityValid(line.parity) ? kParity[code] : "parity code " + std::to_string(code);
    return s;
}

std::string FormatSettingsLine(const Transaction& t)
{
    char timeout[32];
    std::snprintf(timeout, sizeof timeout, ", time-out %.3f s", double(t.timeout_s));
    if (t.line.IsNetwork())
        return "# " + DescribeLine(t.line) + timeout;
    return "# COM" + std::to_string(t.line.port) + ' ' + DescribeLine(t.line) + timeout;
}

void AppendTransactionLines(const Transaction& t, int64_t origin_us, bool with_settings,
                            std::string* out)
{
    if (with_settings)
        *out += FormatSettingsLine(t) + '\n';
    *out += FormatFrameLine(t.sent_us - origin_us, Direction::Request, t.request, t.request_size,
                            FrameText(t, Direction::Request));
    *out += '\n';
    if (t.Broadcast())
        return;
    *out += FormatFrameLine(t.ended_us - origin_us, Direction::Reply, t.reply, t.reply_size,
                            ReplySummary(t), ResponseTimeUs(t));
    *out += '\n';
}

} // namespace modbus
