// The conversion between a channel's register word and its shown text.
#include "analyzer/channel_convert.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>

#include "strings/number_parse.h"

namespace analyzer {
namespace {

// A shift beyond the word moves every bit out; a negative one (possible
// only in a hand-edited file) is taken as none.
unsigned ShiftBits(int16_t shift) { return shift < 0 ? 0u : std::min<unsigned>(shift, 16u); }

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string GainZero(std::string_view text)
{
    return "its gain is 0, so no register value gives " + Quoted(text);
}

std::string TooLarge(std::string_view text)
{
    return Quoted(text) + " is too large for a register value with its gain and offset";
}

// Only numbers within 64 bits may become integers: converting anything
// else is undefined, and no register could hold it anyway.
constexpr double kTwo63 = 9223372036854775808.0;
bool FitsInt64(double n) { return n >= -kTwo63 && n < kTwo63; }

uint16_t SwapBytes(uint16_t w) { return uint16_t((w >> 8) | (w << 8)); }

// Halfway between the largest float and 2^128: anything from here on would
// round to infinity.
const double kFloatOverflow = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);

} // namespace

double ScaleRaw(const AnalyzerChannel& ch, uint16_t raw)
{
    double n;
    if (ch.is_signed != 0)
        n = raw > 32767 ? double(raw) - 65536.0 : double(raw);
    else
        n = double(unsigned(raw & ch.mask) >> ShiftBits(ch.shift));
    return n * double(ch.gain) + double(ch.offset);
}

std::string ConvertRaw(const AnalyzerChannel& ch, uint16_t raw)
{
    return ch.format.Format(ScaleRaw(ch, raw));
}

WordToWrite ConvertBack(const AnalyzerChannel& ch, std::string_view text)
{
    WordToWrite out;
    if (ch.gain == 0) {
        out.problem = GainZero(text);
        return out;
    }
    // Ties to even: the default rounding mode, which nothing in the program changes.
    const double n =
        std::nearbyint((strings::ParseNumber(text) - double(ch.offset)) / double(ch.gain));
    if (!FitsInt64(n)) {
        out.problem = TooLarge(text);
        return out;
    }
    uint64_t word = uint64_t(int64_t(n)); // two's complement below 0
    if (ch.is_signed == 0) {
        const unsigned s = ShiftBits(ch.shift);
        word = s >= 16 ? 0 : (word << s) & ch.mask;
    }
    // A signed -1 is 0xFFFF: adding 65536 to a negative number leaves the
    // same low 16 bits as two's complement, which the cast keeps.
    out.ok = true;
    out.word = static_cast<uint16_t>(word);
    return out;
}

uint32_t JoinRegisters(uint16_t first, uint16_t second, WordOrder order)
{
    switch (order) {
    case WordOrder::ABCD: break;
    case WordOrder::CDAB: std::swap(first, second); break;
    case WordOrder::BADC:
        first = SwapBytes(first);
        second = SwapBytes(second);
        break;
    case WordOrder::DCBA:
        std::swap(first, second);
        first = SwapBytes(first);
        second = SwapBytes(second);
        break;
    }
    return uint32_t(first) << 16 | second;
}

std::array<uint16_t, 2> SplitRegisters(uint32_t value, WordOrder order)
{
    // Every order is its own inverse: split as ABCD, then lay out again.
    const uint32_t laid = JoinRegisters(uint16_t(value >> 16), uint16_t(value), order);
    return {uint16_t(laid >> 16), uint16_t(laid)};
}

double ScaleWide(const AnalyzerChannel& ch, uint32_t raw)
{
    double n;
    switch (ch.data) {
    case DataType::Int32: n = double(std::bit_cast<int32_t>(raw)); break;
    case DataType::Float32: n = double(std::bit_cast<float>(raw)); break;
    default: n = double(raw); break;
    }
    return n * double(ch.gain) + double(ch.offset);
}

std::string ConvertWide(const AnalyzerChannel& ch, uint16_t first, uint16_t second)
{
    // The picture itself shows the words for NaN and the infinities.
    return ch.format.Format(ScaleWide(ch, JoinRegisters(first, second, ch.order)));
}

WordsToWrite ConvertBackWide(const AnalyzerChannel& ch, std::string_view text)
{
    WordsToWrite out;
    if (ch.gain == 0) {
        out.problem = GainZero(text);
        return out;
    }
    const double number = ShownNumber(text);
    if (!std::isfinite(number)) { // a "NaN" read and written back
        out.problem = Quoted(text) + " is no number, so it gives no register value";
        return out;
    }
    const double x = (number - double(ch.offset)) / double(ch.gain);
    uint32_t raw;
    if (ch.data == DataType::Float32) {
        if (!(std::fabs(x) < kFloatOverflow)) {
            out.problem = TooLarge(text);
            return out;
        }
        // Between the largest float and the overflow point the nearest
        // float is the largest; the conversion is only defined up to it.
        const float f = std::fabs(x) <= FLT_MAX ? static_cast<float>(x)
                        : x > 0                 ? FLT_MAX
                                                : -FLT_MAX;
        raw = std::bit_cast<uint32_t>(f);
    } else {
        // Ties to even, as for 16-bit channels; the low 32 bits are kept.
        const double n = std::nearbyint(x);
        if (!FitsInt64(n)) {
            out.problem = TooLarge(text);
            return out;
        }
        raw = uint32_t(uint64_t(int64_t(n)));
    }
    out.ok = true;
    out.words = SplitRegisters(raw, ch.order);
    return out;
}

double ShownNumber(std::string_view text)
{
    const size_t from = text.find_first_not_of(" \t");
    const std::string_view word = from == std::string_view::npos ? "" : text.substr(from);
    if (word == "NaN")
        return std::nan("");
    if (word == "Inf")
        return HUGE_VAL;
    if (word == "-Inf")
        return -HUGE_VAL;
    return strings::ParseNumber(text);
}

std::string NotWrittenText(int index, const std::string& problem)
{
    return ChannelName(index) + " not written: " + problem;
}

std::string NotWrittenText(int index, const WordToWrite& refused)
{
    return NotWrittenText(index, refused.problem);
}

WordAddress ParseWordAddress(int index, std::string_view text)
{
    // The request encodes the address by the number rule of every encoder
    // ("5.5" is register 6, "+5" and "0005" are 5, "12ab" is 12), so only a
    // text that rule gets no number from, or one no register has, is refused.
    WordAddress out;
    const double n = std::nearbyint(strings::ParseNumber(text));
    if (strings::NumberLength(text) == 0 || !(n >= 0 && n <= 65535)) {
        out.problem = ChannelName(index) + ": word address " + Quoted(text) +
                      " is not a number from 0 to 65535; nothing was sent";
        return out;
    }
    out.ok = true;
    out.address = static_cast<uint16_t>(n);
    return out;
}

WordAddress ParseChannelAddress(int index, const AnalyzerChannel& ch)
{
    WordAddress out = ParseWordAddress(index, ch.word_add);
    if (out.ok && RegisterCount(ch) == 2 && out.address == 65535) {
        out.ok = false;
        out.problem = ChannelName(index) + ": a 32-bit value at word address " +
                      Quoted(ch.word_add) + " would need register 65536; nothing was sent";
    }
    return out;
}

} // namespace analyzer
