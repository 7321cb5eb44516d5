// The frame decoder on the requests and replies of every function the
// program uses, and on the frames a faulty line or slave produces. Frames
// live in vectors of exactly their size, so the sanitizer build catches any
// read past the end.
#include <gtest/gtest.h>

#include "modbus/codec.h"
#include "modbus/frame_decoder.h"

namespace {

using modbus::BuildFrame;
using modbus::Bytes;
using modbus::DecodeFrame;
using modbus::Direction;

constexpr Direction kRequest = Direction::Request, kReply = Direction::Reply;

struct Case {
    Direction direction;
    Bytes frame;
    std::string text;
    Bytes request = {}; // the request a reply answers, when the decoder has it
};

Bytes Cut(const Bytes& frame, size_t n) { return Bytes(frame.begin(), frame.begin() + long(n)); }

const Bytes kModuleConfig = {1, 0x00, 0x00, 0x25, 0x80, 2, 0x00, 0x0A}; // 1, 9600, even, 10
const Bytes kHolding3 = BuildFrame(1, 3, {0, 0, 0, 3});
const Bytes kLongReply = BuildFrame(1, 3, {20, 0,  111, 0,  222, 1,   77, 1,   176, 1, 232,
                                           2,  32, 2,   88, 3,   144, 3,  200, 4,   0}); // 25 bytes
const Bytes kWrite16 = BuildFrame(1, 16, {0, 0, 0, 1, 2, 0, 1});

Bytes SlaveId()
{
    Bytes id = {22,   'N', 'O', 'D', 'E', '-', 'T', '0', '1',
                0xFF, 'r', '.', '0', '1', '.', '0', '0', '2'};
    id.resize(23, 0);
    return id;
}

Bytes BadCrc()
{
    Bytes f = BuildFrame(1, 3, {2, 0, 5});
    std::swap(f[5], f[6]);
    return f;
}

TEST(FrameDecoder, TextOfEveryFunctionAndFault)
{
    const Case cases[] = {
        // Requests of every layout.
        {kRequest,
         {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD},
         "slave 1 Read Holding Registers address 0 quantity 10"},
        {kRequest, BuildFrame(2, 2, {0xFF, 0xFF, 0x07, 0xD0}),
         "slave 2 Read Discrete Inputs address 65535 quantity 2000"},
        {kRequest, BuildFrame(1, 5, {0, 100, 0xFF, 0x00}),
         "slave 1 Write Single Coil address 100 value ON"},
        {kRequest, BuildFrame(1, 5, {0, 100, 0x00, 0x00}),
         "slave 1 Write Single Coil address 100 value OFF"},
        {kRequest, BuildFrame(1, 5, {0, 100, 0x12, 0x34}),
         "slave 1 Write Single Coil address 100 value 4660 (not a coil state)"},
        {kRequest, BuildFrame(1, 6, {0, 100, 0x80, 0x00}),
         "slave 1 Write Single Register address 100 value 32768"},
        {kRequest, BuildFrame(1, 15, {0, 0, 0, 10, 2, 0x05, 0x02}),
         "slave 1 Write Multiple Coils address 0 quantity 10 states 10100000 01"},
        {kRequest, BuildFrame(1, 16, {0, 10, 0, 2, 4, 0, 1, 0xFF, 0xFF}),
         "slave 1 Write Multiple Registers address 10 quantity 2 values 1 65535"},
        {kRequest, BuildFrame(1, 17, {}), "slave 1 Report Slave ID"},
        {kRequest, BuildFrame(1, 23, {0, 0, 0, 2, 0, 10, 0, 1, 2, 0, 7}),
         "slave 1 Read/Write Multiple Registers read address 0 quantity 2 write address 10 "
         "quantity 1 values 7"},
        {kRequest, BuildFrame(248, 109, {}), "slave 248 Read module configuration"},
        {kRequest, BuildFrame(248, 110, kModuleConfig),
         "slave 248 Write module configuration module address 1 baud 9600 parity 2 reset time 10"},
        {kRequest, BuildFrame(0, 6, {0, 1, 0, 5}),
         "slave 0 Write Single Register address 1 value 5 no reply expected (broadcast)"},
        // The byte count rules how many values follow, whatever the quantity says.
        {kRequest, BuildFrame(1, 16, {0, 0, 0, 3, 2, 0, 9}),
         "slave 1 Write Multiple Registers address 0 quantity 3 byte count 2 instead of 6 values "
         "9"},
        {kRequest, BuildFrame(1, 15, {0, 0, 0, 20, 1, 0xFF}),
         "slave 1 Write Multiple Coils address 0 quantity 20 byte count 1 instead of 3 states "
         "11111111"},

        // Replies of every function; without its request a reply shows every
        // bit it carries.
        {kReply, BuildFrame(1, 1, {2, 0x05, 0x01}),
         "slave 1 Read Coils address 10 states 10100000 1", BuildFrame(1, 1, {0, 10, 0, 9})},
        {kReply, BuildFrame(1, 2, {2, 0x05, 0x01}),
         "slave 1 Read Discrete Inputs states 10100000 10000000"},
        {kReply, BuildFrame(1, 3, {4, 0, 111, 0x04, 0x57}),
         "slave 1 Read Holding Registers address 100 values 111 1111",
         BuildFrame(1, 3, {0, 100, 0, 2})},
        {kReply, BuildFrame(1, 4, {2, 0xFF, 0xFE}), "slave 1 Read Input Registers values 65534"},
        {kReply, BuildFrame(1, 5, {0, 100, 0xFF, 0x00}),
         "slave 1 Write Single Coil address 100 value ON"},
        {kReply, BuildFrame(1, 6, {0, 100, 0, 5}),
         "slave 1 Write Single Register address 100 value 5"},
        {kReply, BuildFrame(1, 16, {0, 10, 0, 2}),
         "slave 1 Write Multiple Registers address 10 quantity 2"},
        {kReply, BuildFrame(3, 17, SlaveId()),
         "slave 3 Report Slave ID id \"NODE-T01.r.01.002.....\""},
        {kReply, BuildFrame(1, 23, {2, 0, 42}),
         "slave 1 Read/Write Multiple Registers address 7 values 42",
         BuildFrame(1, 23, {0, 7, 0, 1, 0, 10, 0, 1, 2, 0, 7})},
        {kReply, BuildFrame(248, 109, kModuleConfig),
         "slave 248 Read module configuration module address 1 baud 9600 parity 2 reset time 10"},
        {kReply, BuildFrame(248, 110, {}), "slave 248 Write module configuration"},

        // Replies that disagree with their request, or carry no usable one.
        {kReply, BuildFrame(1, 3, {4, 0, 1, 0, 2}),
         "slave 1 Read Holding Registers address 0 byte count 4 instead of 6 values 1 2",
         kHolding3},
        {kReply, BuildFrame(1, 4, {3, 0, 1, 0}),
         "slave 1 Read Input Registers odd byte count 3 values 1"},
        {kReply, BuildFrame(1, 1, {1, 0x01}), "slave 1 Read Coils states 10000000", kHolding3},
        {kReply, BuildFrame(1, 1, {1, 0x01}), "slave 1 Read Coils states 10000000", Bytes{1, 1, 0}},

        // Exceptions; bit 7 means one only in a reply.
        {kReply, BuildFrame(1, 0x83, {2}),
         "slave 1 Read Holding Registers exception 2 Illegal data address"},
        {kReply, BuildFrame(1, 0x90, {6}),
         "slave 1 Write Multiple Registers exception 6 Slave device busy"},
        {kReply, BuildFrame(1, 0x81, {7}), "slave 1 Read Coils exception 7 unknown exception"},
        {kReply, BuildFrame(1, 0xC1, {1}),
         "slave 1 unknown function 65 exception 1 Illegal function code"},
        {kRequest, BuildFrame(1, 0x83, {2}), "slave 1 unknown function 131"},

        // Damaged, cut, overlong and unknown frames.
        {kReply, BadCrc(), "slave 1 Read Holding Registers values 5 bad CRC"},
        {kReply, Cut(kLongReply, 24), "slave 1 Read Holding Registers truncated: 24 of 25 bytes"},
        {kReply, Cut(kLongReply, 2),
         "slave 1 Read Holding Registers truncated: 2 of at least 5 bytes"},
        {kReply, Cut(kLongReply, 1), "slave 1 truncated: 1 byte"},
        {kReply, {}, "no bytes"},
        {kRequest, Cut(kWrite16, 5),
         "slave 1 Write Multiple Registers truncated: 5 of at least 9 bytes"},
        {kRequest, Cut(kWrite16, 10), "slave 1 Write Multiple Registers truncated: 10 of 11 bytes"},
        {kReply, BuildFrame(1, 6, {0, 1, 0, 5, 0xAA}),
         "slave 1 Write Single Register address 1 value 5 1 extra byte"},
        {kReply, BuildFrame(1, 65, {1, 2, 3}), "slave 1 unknown function 65"},
        {kReply, {1, 65, 0}, "slave 1 unknown function 65 truncated: 3 of 4 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto d =
            DecodeFrame(c.frame.data(), c.frame.size(), c.direction,
                        c.request.empty() ? nullptr : c.request.data(), c.request.size());
        EXPECT_EQ(d.text, c.text);
    }
}

} // namespace
