// Modbus TCP framing: the 7-byte header (transaction identifier, protocol
// identifier 0, length of what follows, unit identifier) before the PDU,
// no checksum. Pure functions over the bytes, beside the RTU ones of
// reply.h, for the engine's framing table and the monitor.
#pragma once

#include <cstdint>
#include <string>

#include "modbus/codec.h"
#include "modbus/reply.h"

namespace modbus {

constexpr size_t kMbapHeader = 7;
// The length field counts the unit identifier and the PDU (at most 253
// bytes): 254 at most, 2 at least (unit and function).
constexpr unsigned kMbapMaxLength = 254;
constexpr unsigned kMbapMinLength = 2;

// Header, then function and data. The unit identifier is the slave address.
Bytes BuildMbapFrame(uint16_t transaction, uint8_t unit, uint8_t function, const Bytes& data);

struct MbapHeader {
    uint16_t transaction = 0;
    uint16_t protocol = 0;
    uint16_t length = 0;
    uint8_t unit = 0;
};
// False when fewer than 7 bytes are given.
bool ReadMbapHeader(const uint8_t* bytes, size_t size, MbapHeader* header);
// Protocol 0 and a length a PDU can have.
bool MbapHeaderSane(const MbapHeader& header);

// Appends what one read delivered. Complete replies that answer another
// transaction (late replies to a request that timed out) are dropped as
// they arrive: they are never the answer to this one. The reply is what
// its header counts; bytes read behind it go to reply->following.
void AppendMbapReply(ReplyCollector* reply, const uint8_t* bytes, size_t size);

// The reply to this transaction has all its length, or the header can be
// judged bad already (no reason to wait for, nor keep, 2000 bytes).
bool MbapReplyComplete(const ReplyCollector& reply);

// Drops the whole frames at the start of a stream of bytes that belong to
// no request, keeping a frame whose end has not come yet; a header no
// frame can have leaves nothing to keep step with, so all is dropped.
void DropWholeMbapFrames(Bytes* stream);

// The whole verdict on a complete reply: protocol identifier, length
// against the bytes and the function, unit, then what every framing
// checks (CheckPdu). kOk when good.
ResultCode CheckMbapReply(const ReplyCollector& reply, uint8_t unit, uint8_t function,
                          const Bytes& request, const ReplyShape& shape, std::string* message);

} // namespace modbus
