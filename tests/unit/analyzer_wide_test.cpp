// 32-bit channels (the four byte orders, integers and floats, both ways)
// and the grouping of block reads. Expected values are written by hand from
// IEEE 754 and two's complement, not computed by the code under test.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "analyzer/channel_convert.h"
#include "analyzer/read_plan.h"

namespace {

using analyzer::AnalyzerChannel;
using analyzer::DataType;
using analyzer::WordOrder;

AnalyzerChannel Wide(DataType data, WordOrder order, const char* format = "0.0")
{
    AnalyzerChannel ch;
    ch.data = data;
    ch.order = order;
    ch.gain = 1.0f;
    ch.offset = 0.0f;
    ch.mask = 0xFFFF;
    ch.format = analyzer::Picture(format);
    return ch;
}

constexpr WordOrder kOrders[] = {WordOrder::ABCD, WordOrder::CDAB, WordOrder::BADC,
                                 WordOrder::DCBA};

// The two registers of value 0xAABBCCDD in each order, by the definition:
// ABCD first register A B; CDAB C D then A B; BADC B A then D C; DCBA D C
// then B A.
std::array<uint16_t, 2> OnWire(uint32_t v, WordOrder order)
{
    const unsigned a = v >> 24, b = v >> 16 & 0xFF, c = v >> 8 & 0xFF, d = v & 0xFF;
    auto w = [](unsigned hi, unsigned lo) { return uint16_t(hi << 8 | lo); };
    switch (order) {
    case WordOrder::ABCD: return {w(a, b), w(c, d)};
    case WordOrder::CDAB: return {w(c, d), w(a, b)};
    case WordOrder::BADC: return {w(b, a), w(d, c)};
    default: return {w(d, c), w(b, a)};
    }
}

TEST(WideChannel, ShowsEveryKindOfValueInEveryOrder)
{
    const struct {
        DataType data;
        uint32_t bits;
        const char* format;
        const char* shown;
    } cases[] = {
        {DataType::Float32, 0x41CC0000, "0.0", "25.5"},
        {DataType::Float32, 0xBFC00000, "0.0", "-1.5"},
        {DataType::Float32, 0x3DCCCCCD, "0.000000000", "0.100000001"}, // 0.1f
        {DataType::Float32, 0x80000000, "0.0", "0.0"},                 // -0.0
        // The picture shows the shortest digits that name the double.
        {DataType::Float32, 0x7F7FFFFF, "0", "340282346638528860000000000000000000000"},
        {DataType::Float32, 0x7FC00000, "0.0", "NaN"},
        {DataType::Float32, 0x7F800000, "0.0", "Inf"},
        {DataType::Float32, 0xFF800000, "0.0", "-Inf"},
        {DataType::Uint32, 0xFFFFFFFF, "0", "4294967295"},
        {DataType::Uint32, 0x00000000, "0", "0"},
        {DataType::Int32, 0x7FFFFFFF, "0", "2147483647"},
        {DataType::Int32, 0x80000000, "0", "-2147483648"},
        {DataType::Int32, 0xFFFFFFFF, "0", "-1"},
    };
    for (const auto& c : cases)
        for (WordOrder order : kOrders) {
            const auto regs = OnWire(c.bits, order);
            EXPECT_EQ(analyzer::ConvertWide(Wide(c.data, order, c.format), regs[0], regs[1]),
                      c.shown)
                << std::hex << c.bits << " order " << int(order);
        }
    // The smallest denormal, 2^-149, arrives whole in double precision.
    EXPECT_EQ(analyzer::ScaleWide(Wide(DataType::Float32, WordOrder::DCBA), 0x00000001),
              std::ldexp(1.0, -149));
    // Gain and offset in double precision: as 32-bit floats 0.001 and 0.1
    // would show 1234567.949 and 12345679.18.
    const struct {
        DataType data;
        double gain, offset;
        const char* format;
        uint32_t bits;
        const char* shown;
    } scaled[] = {
        {DataType::Uint32, 0.5, 1, "0.0", 10, "6.0"},
        {DataType::Uint32, 0.001, 0, "0.000", 1234567890, "1234567.890"},
        {DataType::Int32, 0.1, 0.1, "0.00", 123456789, "12345679.00"},
    };
    for (const auto& c : scaled) {
        AnalyzerChannel ch = Wide(c.data, WordOrder::ABCD, c.format);
        ch.gain = c.gain;
        ch.offset = c.offset;
        EXPECT_EQ(analyzer::ConvertWide(ch, uint16_t(c.bits >> 16), uint16_t(c.bits)), c.shown);
    }
    // What the plot gets of a box: no number for the words, which it never draws.
    EXPECT_TRUE(std::isnan(analyzer::ShownNumber("NaN")));
    EXPECT_EQ(analyzer::ShownNumber(" -Inf"), -HUGE_VAL);
    EXPECT_EQ(analyzer::ShownNumber("12.5"), 12.5);
}

TEST(WideChannel, WritesTheRegistersOfTypedValues)
{
    const struct {
        DataType data;
        const char* text;
        uint32_t bits;
        double gain = 1, offset = 0;
    } cases[] = {
        {DataType::Float32, "25.5", 0x41CC0000},
        {DataType::Float32, "-1.5", 0xBFC00000},
        {DataType::Float32, "0.1", 0x3DCCCCCD},
        {DataType::Float32, "340282346638528859811704183484516925440", 0x7F7FFFFF},
        // Above the largest float but nearer to it than to 2^128.
        {DataType::Float32, "340282356000000000000000000000000000000", 0x7F7FFFFF},
        {DataType::Uint32, "4294967295", 0xFFFFFFFF},
        {DataType::Uint32, "-1", 0xFFFFFFFF},  // two's complement, as for 16 bits
        {DataType::Uint32, "2.5", 0x00000002}, // ties to even
        {DataType::Uint32, "3.5", 0x00000004},
        {DataType::Int32, "-1", 0xFFFFFFFF},
        {DataType::Int32, "-2147483648", 0x80000000},
        {DataType::Int32, "2147483647", 0x7FFFFFFF},
        // An exponent is read whole, not as its leading "3.4".
        {DataType::Float32, "3.4e38", 0x7F7FC99E},
        {DataType::Float32, " -1.5E-3 ", 0xBAC49BA6},
        {DataType::Uint32, "4.294967295e9", 0xFFFFFFFF},
        // GAIN and OFFSET in double precision: as floats 4996 0297 and FFFF FF33.
        {DataType::Uint32, "1234567.890", 0x499602D2, 0.001},
        {DataType::Uint32, "4294966.295", 0xFFFFFFFF, 0.001, -1},
    };
    for (const auto& c : cases)
        for (WordOrder order : kOrders) {
            AnalyzerChannel ch = Wide(c.data, order);
            ch.gain = c.gain;
            ch.offset = c.offset;
            const analyzer::WordsToWrite w = analyzer::ConvertBackWide(ch, c.text);
            ASSERT_TRUE(w.ok) << c.text << ": " << w.problem;
            EXPECT_EQ(w.words, OnWire(c.bits, order)) << c.text << " order " << int(order);
        }
}

TEST(WideChannel, RefusesWhatNoRegisterHolds)
{
    const struct {
        DataType data;
        float gain;
        const char* text;
        const char* problem;
    } cases[] = {
        {DataType::Float32, 0.0f, "5", "its gain is 0, so no register value gives \"5\""},
        {DataType::Int32, 0.0f, "5", "its gain is 0, so no register value gives \"5\""},
        {DataType::Float32, 1.0f, "NaN", "\"NaN\" is no number, so it gives no register value"},
        {DataType::Float32, 1.0f, "-Inf", "\"-Inf\" is no number, so it gives no register value"},
        {DataType::Float32, 1.0f, "340282356779733661637539395458142568448",
         "\"340282356779733661637539395458142568448\" is too large for a register value with "
         "its gain and offset"},
        {DataType::Uint32, 1.0f, "99999999999999999999",
         "\"99999999999999999999\" is too large for a register value with its gain and offset"},
        // Beyond two registers: the low 32 bits would be a value nobody typed.
        {DataType::Uint32, 1.0f, "4294967296",
         "\"4294967296\" is too large for a register value with its gain and offset"},
        {DataType::Int32, 1.0f, "-2147483649",
         "\"-2147483649\" is too small for a register value with its gain and offset"},
        {DataType::Float32, 1.0f, "3.4e38x", "only \"3.4e38\" of \"3.4e38x\" reads as a number"},
    };
    for (const auto& c : cases) {
        AnalyzerChannel ch = Wide(c.data, WordOrder::ABCD);
        ch.gain = c.gain;
        const analyzer::WordsToWrite w = analyzer::ConvertBackWide(ch, c.text);
        EXPECT_FALSE(w.ok) << c.text;
        EXPECT_EQ(w.problem, c.problem);
    }
    // 65535 has no register after it.
    AnalyzerChannel ch = Wide(DataType::Float32, WordOrder::ABCD);
    ch.word_add = "65535";
    EXPECT_FALSE(analyzer::ParseChannelAddress(0, ch).ok);
    ch.word_add = "65534";
    EXPECT_TRUE(analyzer::ParseChannelAddress(0, ch).ok);
}

// What a read shows with enough digits is written back as the same two
// registers, for every type and order.
TEST(WideChannel, ShownValuesWriteBackTheirRegisters)
{
    const struct {
        DataType data;
        double gain, offset;
        const char* format;
    } channels[] = {
        {DataType::Uint32, 1, 0, "0"},       {DataType::Uint32, 0.001, -1, "0.000"},
        {DataType::Int32, 0.1, 0.1, "0.00"}, {DataType::Int32, 0.001, -1, ""},
        {DataType::Float32, 1, 0, ""},       {DataType::Float32, 0.1, 0, ""},
    };
    std::mt19937 random(20261207);
    for (const auto& c : channels)
        for (WordOrder order : kOrders) {
            AnalyzerChannel ch = Wide(c.data, order, c.format);
            ch.gain = c.gain;
            ch.offset = c.offset;
            for (int i = 0; i < 3000; ++i) {
                const std::array<uint16_t, 2> regs{uint16_t(random()), uint16_t(random())};
                const std::string text = analyzer::ConvertWide(ch, regs[0], regs[1]);
                if (text == "NaN" || text == "Inf" || text == "-Inf")
                    continue; // refused, not written back
                const analyzer::WordsToWrite w = analyzer::ConvertBackWide(ch, text);
                ASSERT_TRUE(w.ok && w.words == regs)
                    << "seed 20261207, type " << int(c.data) << " order " << int(order) << " \""
                    << text << "\" " << w.problem;
            }
        }
}

// --- Block reads ----------------------------------------------------------------

struct Read {
    int slave, type, start, count;
    std::vector<int> channels;
    bool operator==(const Read&) const = default;
};

std::vector<Read> Plan(const std::vector<analyzer::PlanChannel>& channels)
{
    std::vector<Read> out;
    for (const analyzer::PlannedRead& r : analyzer::PlanBlockReads(channels))
        out.push_back({r.slave, r.type, r.start, r.count, r.channels});
    return out;
}

void PrintTo(const Read& r, std::ostream* os)
{
    *os << "{slave " << r.slave << " type " << r.type << " " << r.start << "+" << r.count << "}";
}

TEST(BlockReads, GroupsNeighboursOfOneSlaveAndTable)
{
    using C = analyzer::PlanChannel;
    const struct {
        const char* what;
        std::vector<C> channels;
        std::vector<Read> reads;
    } cases[] = {
        {"touching, a 32-bit one among them",
         {{0, 1, 1, 10, 2}, {1, 1, 1, 12, 1}, {2, 1, 1, 13, 1}},
         {{1, 1, 10, 4, {0, 1, 2}}}},
        {"overlapping and the same register twice",
         {{0, 1, 1, 10, 2}, {1, 1, 1, 11, 1}, {2, 1, 1, 10, 1}},
         {{1, 1, 10, 2, {0, 1, 2}}}},
        {"a gap is never read",
         {{0, 1, 1, 10, 1}, {1, 1, 1, 12, 1}},
         {{1, 1, 10, 1, {0}}, {1, 1, 12, 1, {1}}}},
        {"two slaves",
         {{0, 1, 1, 10, 1}, {1, 2, 1, 11, 1}},
         {{1, 1, 10, 1, {0}}, {2, 1, 11, 1, {1}}}},
        {"two tables",
         {{0, 1, 1, 10, 1}, {1, 1, 0, 11, 1}},
         {{1, 1, 10, 1, {0}}, {1, 0, 11, 1, {1}}}},
        {"in the order of each group's lowest channel",
         {{0, 2, 1, 50, 1}, {1, 1, 1, 11, 1}, {2, 1, 1, 10, 1}, {3, 2, 1, 51, 1}},
         {{2, 1, 50, 2, {0, 3}}, {1, 1, 10, 2, {1, 2}}}},
        {"an address that is none is read alone, in its place",
         {{0, 1, 1, 0, 1}, {1, 1, 1, 0, 1, false}, {2, 1, 1, 1, 1}},
         {{1, 1, 0, 2, {0, 2}}, {1, 1, 0, 0, {1}}}},
        {"a 16-bit channel at a 32-bit one's address, after it",
         {{0, 1, 1, 10, 2}, {1, 1, 1, 10, 1}},
         {{1, 1, 10, 2, {0, 1}}}},
        {"the last register",
         {{0, 1, 1, 65534, 2}, {1, 1, 1, 65535, 1}},
         {{1, 1, 65534, 2, {0, 1}}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Plan(c.channels), c.reads) << c.what;
}

} // namespace
