// Fuzz target: the frame decoder and the monitor lines on arbitrary frames,
// each copied into a buffer of exactly its size so that any read past the
// frame is caught.
//
// Input, as in the reply corpus: address, function, two bytes X (high
// first), then reads, each a length byte and that many bytes. The request is
// address, function, 00 00 X with its checksum; the reply is the reads put
// together. The whole input is also decoded as a frame either way.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "modbus/codec.h"
#include "modbus/frame_decoder.h"
#include "modbus/frame_lines.h"

using namespace modbus;

namespace {

using modbus::Direction;

std::unique_ptr<uint8_t[]> Exact(const uint8_t* bytes, size_t size)
{
    std::unique_ptr<uint8_t[]> copy(new uint8_t[size ? size : 1]);
    if (size)
        std::memcpy(copy.get(), bytes, size);
    return copy;
}

void Check(const modbus::FrameSummary& s)
{
    if (s.text.empty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto whole = Exact(data, size);
    Check(modbus::DecodeFrame(whole.get(), size, Direction::Request));
    Check(modbus::DecodeFrame(whole.get(), size, Direction::Reply));
    if (size < 4)
        return 0;

    Bytes request = BuildFrame(data[0], data[1], {0, 0, data[2], data[3]});
    modbus::Transaction t;
    t.request_size = uint16_t(request.size());
    std::memcpy(t.request, request.data(), request.size());
    for (size_t pos = 4; pos < size;) {
        size_t n = data[pos];
        ++pos;
        n = std::min({n, size - pos, kMaxFrame - t.reply_size});
        std::memcpy(t.reply + t.reply_size, data + pos, n);
        t.reply_size = uint16_t(t.reply_size + n);
        pos += n;
    }
    t.reply_received = t.reply_size;
    t.result = int16_t(data[2]); // any result code the lines may meet
    t.ended_us = data[3];

    auto req = Exact(t.request, t.request_size);
    auto reply = Exact(t.reply, t.reply_size);
    Check(modbus::DecodeFrame(reply.get(), t.reply_size, Direction::Reply, req.get(),
                              t.request_size));
    Check(modbus::DecodeFrame(req.get(), t.request_size, Direction::Request));
    std::string lines;
    modbus::AppendTransactionLines(t, 0, true, &lines);
    if (lines.empty())
        std::abort();
    // The same bytes as Modbus TCP frames: the header is read from them.
    t.line.SetNet("tcp://127.0.0.1");
    lines.clear();
    modbus::AppendTransactionLines(t, 0, true, &lines);
    if (lines.empty())
        std::abort();
    return 0;
}
