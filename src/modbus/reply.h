// Collecting and checking a reply frame: pure functions over the bytes
// received, shared by the transaction engine and its fuzz target.
#pragma once

#include <cstdint>
#include <string>

#include "modbus/codec.h"
#include "modbus/result_codes.h"

namespace modbus {

// What a reply must be besides a good frame: how many data bytes follow
// address and function, and what those bytes must say.
struct ReplyShape {
    enum class Content : uint8_t {
        Unchecked,
        ByteCount, // a read: data byte 1 counts the bytes after it
        Echo,      // a write: data bytes 1 to 4 repeat those of the request
    };
    uint16_t data = 0;
    Content content = Content::Unchecked;
};

// The shape of the reply to `function` reading n items (ExpectedReplyData):
// reads carry a byte count, writes of coils and registers an echo.
ReplyShape ExpectedReply(uint8_t function, unsigned n);

// The bytes of one reply as they arrive, and the reply data count awaited.
struct ReplyCollector {
    Bytes frame;
    unsigned expected = 0;    // reply data bytes after address and function
    uint16_t transaction = 0; // Modbus TCP: the request's transaction identifier
    // Modbus TCP: bytes read behind the reply (a gateway's duplicate, a late
    // reply), which belong to no request.
    Bytes following;
};

// Appends bytes delivered by one read. An exception reply is recognised at
// its second byte and then awaits one data byte (the exception code).
void AppendReply(ReplyCollector* reply, const uint8_t* bytes, size_t size);

// As AppendReply, for RTU frames carried over TCP, where one read can hold
// more than one frame: bytes behind a complete reply came in the quiet time
// after it (a gateway that repeats its reply) and are dropped.
void AppendStreamReply(ReplyCollector* reply, const uint8_t* bytes, size_t size);

// The frame holds the expected data plus address, function and checksum.
bool ReplyComplete(const ReplyCollector& reply);

// Bytes of the reply to await before it may be complete. Its second byte
// tells an exception reply from another; before it, what an exception
// reply lacks, unless the reply awaited is at most three bytes longer. 0
// before the first byte and when nothing is missing.
size_t BytesStillAwaited(const ReplyCollector& reply);

// The whole verdict on a complete reply to `request` (the data sent after
// address and function): checksum, address, function, length, exception,
// then the content `shape` asks for. kOk when good, else the result code
// with *message the text shown to the user.
ResultCode CheckReply(const ReplyCollector& reply, uint8_t address, uint8_t function,
                      const Bytes& request, const ReplyShape& shape, std::string* message);

// From the function code on, the part every framing shares: function,
// length (pdu_size against `expected` data bytes), exception, content.
ResultCode CheckPdu(const uint8_t* pdu, size_t pdu_size, unsigned expected, uint8_t function,
                    const Bytes& request, const ReplyShape& shape, std::string* message);

} // namespace modbus
