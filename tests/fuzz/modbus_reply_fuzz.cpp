// Fuzz target: arbitrary reply byte streams, cut into arbitrary reads, fed
// to the reply collection and checks as the transaction engine feeds them.
//
// Input: address, function, expected reply data (2 bytes, high first), then
// reads, each a length byte and that many bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "modbus/mbap.h"
#include "modbus/reply.h"
#include "modbus/result_codes.h"

namespace {

// The same reads as Modbus TCP replies to transaction address * 256 +
// function, unit `address`.
void FuzzMbap(const uint8_t* data, size_t size)
{
    modbus::ReplyCollector reply;
    reply.expected = unsigned(data[2]) << 8 | data[3];
    reply.transaction = uint16_t(data[0] << 8 | data[1]);
    size_t pos = 4;
    while (pos < size && !modbus::MbapReplyComplete(reply)) {
        size_t n = data[pos++];
        if (n > size - pos)
            n = size - pos;
        modbus::AppendMbapReply(&reply, data + pos, n);
        pos += n;
    }
    if (!modbus::MbapReplyComplete(reply))
        return;
    std::string message;
    const modbus::ReplyShape shape{uint16_t(reply.expected)};
    int16_t code = modbus::CheckMbapReply(reply, data[0], data[1], {}, shape, &message);
    const modbus::Bytes& f = reply.frame;
    if (code == 0 && (f.size() != modbus::kMbapHeader + 1 + reply.expected || f[6] != data[0] ||
                      !message.empty()))
        std::abort();
    if (code != 0 && message.empty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    FuzzMbap(data, size);
    uint8_t address = data[0];
    uint8_t function = data[1];
    modbus::ReplyCollector reply;
    reply.expected = unsigned(data[2]) << 8 | data[3];
    size_t pos = 4;
    while (pos < size && !modbus::ReplyComplete(reply)) {
        size_t n = data[pos++];
        if (n > size - pos)
            n = size - pos;
        modbus::AppendReply(&reply, data + pos, n);
        pos += n;
    }
    if (!modbus::ReplyComplete(reply))
        return 0;
    std::string message;
    // Content unchecked: the fuzzer looks at the frame checks.
    const modbus::ReplyShape shape{uint16_t(reply.expected)};
    int16_t code = modbus::CheckReply(reply, address, function, {}, shape, &message);
    if (code == 0) {
        // What the engine hands back must lie inside the frame.
        const modbus::Bytes& f = reply.frame;
        if (f.size() != reply.expected + 4u || f[0] != address || f[1] >= 0x80 ||
            !modbus::CrcMatches(f.data(), f.size()) || !message.empty())
            std::abort();
        modbus::Bytes out(f.begin() + 2, f.begin() + 2 + reply.expected);
        (void)out;
    } else if (message.empty() ||
               !((code >= 1 && code <= 6) || code == 15 ||
                 (code >= modbus::kBadChecksum && code <= modbus::kBadNumberOfBytes))) {
        std::abort();
    }
    return 0;
}
