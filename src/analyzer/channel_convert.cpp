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

std::string TooSmall(std::string_view text)
{
    return Quoted(text) + " is too small for a register value with its gain and offset";
}

// What a value box's text reads as. Blanks around the number and the
// picture's own unit ("12.5 V" of "0.0 V") may stand beside it; anything
// else is a slip the user must see, never a number quietly cut short.
struct ValueReading {
    double number = 0;
    bool whole = false;
    std::string_view used; // the part read as the number
};

std::string_view Trimmed(std::string_view t)
{
    const size_t from = t.find_first_not_of(" \t");
    if (from == std::string_view::npos)
        return {};
    return t.substr(from, t.find_last_not_of(" \t") - from + 1);
}

ValueReading ReadValue(const AnalyzerChannel& ch, std::string_view text)
{
    // A 32-bit value may be too large to type without an exponent.
    const bool wide = RegisterCount(ch) == 2;
    std::string_view t = Trimmed(text);
    const std::string_view unit = Trimmed(ch.format.Suffix());
    if (!unit.empty() && t.size() > unit.size() && t.ends_with(unit))
        t = Trimmed(t.substr(0, t.size() - unit.size()));
    ValueReading r;
    if (t.empty()) { // the "#" picture shows a 0 as nothing
        r.whole = true;
        return r;
    }
    if (wide && (t == "NaN" || t == "Inf" || t == "-Inf")) {
        r.number = ShownNumber(t);
        r.whole = true;
        return r;
    }
    const size_t used = strings::NumberLength(t, wide);
    r.number = strings::ParseNumber(t, wide);
    r.used = t.substr(0, used);
    r.whole = used == t.size();
    return r;
}

std::string NotWhole(const ValueReading& typed, std::string_view text)
{
    if (typed.used.empty())
        return Quoted(text) + " is no number";
    return "only " + Quoted(typed.used) + " of " + Quoted(text) + " reads as a number";
}

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
    return n * Single(ch.gain) + Single(ch.offset);
}

std::string ConvertRaw(const AnalyzerChannel& ch, uint16_t raw)
{
    return ch.format.Format(ScaleRaw(ch, raw));
}

WordToWrite ConvertBack(const AnalyzerChannel& ch, std::string_view text)
{
    WordToWrite out;
    const ValueReading typed = ReadValue(ch, text);
    if (!typed.whole) {
        out.problem = NotWhole(typed, text);
        return out;
    }
    const double gain = Single(ch.gain);
    if (gain == 0) {
        out.problem = GainZero(text);
        return out;
    }
    // Ties to even: the default rounding mode, which nothing in the program changes.
    const double n = std::nearbyint((typed.number - Single(ch.offset)) / gain);
    // Only values a register holds as unsigned or two's complement are
    // sent: 70000 would go out as its low 16 bits, 4464.
    if (!(n <= 65535)) {
        out.problem = TooLarge(text);
        return out;
    }
    if (!(n >= -32768)) {
        out.problem = TooSmall(text);
        return out;
    }
    uint32_t word = uint32_t(int32_t(n)); // two's complement below 0
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
    return n * ch.gain + ch.offset;
}

std::string ConvertWide(const AnalyzerChannel& ch, uint16_t first, uint16_t second)
{
    // The picture itself shows the words for NaN and the infinities.
    return ch.format.Format(ScaleWide(ch, JoinRegisters(first, second, ch.order)));
}

WordsToWrite ConvertBackWide(const AnalyzerChannel& ch, std::string_view text)
{
    WordsToWrite out;
    const ValueReading typed = ReadValue(ch, text);
    if (!typed.whole) {
        out.problem = NotWhole(typed, text);
        return out;
    }
    if (ch.gain == 0) {
        out.problem = GainZero(text);
        return out;
    }
    const double number = typed.number;
    if (!std::isfinite(number)) { // a "NaN" read and written back
        out.problem = Quoted(text) + " is no number, so it gives no register value";
        return out;
    }
    const double x = (number - ch.offset) / ch.gain;
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
        // Ties to even, as for 16-bit channels; only what the two registers
        // hold, unsigned or two's complement, is sent.
        const double n = std::nearbyint(x);
        if (!(n <= 4294967295.0)) {
            out.problem = TooLarge(text);
            return out;
        }
        if (!(n >= -2147483648.0)) {
            out.problem = TooSmall(text);
            return out;
        }
        raw = uint32_t(int64_t(n));
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
