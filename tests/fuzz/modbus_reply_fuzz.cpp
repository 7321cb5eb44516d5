// Fuzz target: arbitrary reply byte streams, cut into arbitrary reads, fed
// to the reply collection and checks as the transaction engine feeds them,
// once as RTU frames and once as Modbus TCP replies.
//
// Input: address, function, expected reply data (2 bytes, high first), then
// reads, each a length byte and that many bytes. As Modbus TCP, the reply is
// to transaction address * 256 + function, unit `address`.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "modbus/mbap.h"
#include "modbus/reply.h"
#include "modbus/result_codes.h"

namespace {

// The reads appended until the reply is complete; false if it never is.
template <typename Append, typename Complete>
bool Collect(modbus::ReplyCollector* reply, const uint8_t* data, size_t size, Append append,
             Complete complete)
{
    reply->expected = unsigned(data[2]) << 8 | data[3];
    for (size_t pos = 4; pos < size && !complete(*reply);) {
        size_t n = data[pos++];
        if (n > size - pos)
            n = size - pos;
        append(reply, data + pos, n);
        pos += n;
    }
    return complete(*reply);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const uint8_t address = data[0], function = data[1];
    // Content unchecked: the fuzzer looks at the frame checks.
    std::string message;
    modbus::ReplyCollector tcp;
    tcp.transaction = uint16_t(address << 8 | function);
    if (Collect(&tcp, data, size, modbus::AppendMbapReply, modbus::MbapReplyComplete)) {
        const modbus::ReplyShape shape{uint16_t(tcp.expected)};
        int16_t code = modbus::CheckMbapReply(tcp, address, function, {}, shape, &message);
        const modbus::Bytes& f = tcp.frame;
        if (code == 0 && (f.size() != modbus::kMbapHeader + 1 + tcp.expected || f[6] != address ||
                          !message.empty()))
            std::abort();
        if (code != 0 && message.empty())
            std::abort();
    }
    message.clear();
    modbus::ReplyCollector reply;
    if (!Collect(&reply, data, size, modbus::AppendReply, modbus::ReplyComplete))
        return 0;
    const modbus::ReplyShape shape{uint16_t(reply.expected)};
    int16_t code = modbus::CheckReply(reply, address, function, {}, shape, &message);
    if (code == 0) {
        // What the engine hands back must lie inside the frame.
        const modbus::Bytes& f = reply.frame;
        if (f.size() != reply.expected + 4u || f[0] != address || f[1] >= 0x80 ||
            !modbus::CrcMatches(f.data(), f.size()) || !message.empty())
            std::abort();
    } else if (message.empty() ||
               !((code >= 1 && code <= 6) || code == 15 ||
                 (code >= modbus::kBadChecksum && code <= modbus::kBadNumberOfBytes))) {
        std::abort();
    }
    return 0;
}
