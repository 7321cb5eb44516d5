// The conversion between a channel's register word and its shown text.
#include "analyzer/channel_convert.h"

#include <algorithm>
#include <cmath>

#include "strings/number_parse.h"

namespace analyzer {
namespace {

// A shift beyond the word moves every bit out; a negative one (possible
// only in a hand-edited file) is taken as none.
unsigned ShiftBits(int16_t shift) { return shift < 0 ? 0u : std::min<unsigned>(shift, 16u); }

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

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
        out.problem = "its gain is 0, so no register value gives " + Quoted(text);
        return out;
    }
    // Ties to even: the default rounding mode, which nothing in the program changes.
    const double n =
        std::nearbyint((strings::ParseNumber(text) - double(ch.offset)) / double(ch.gain));
    // Only numbers within 64 bits may become integers: converting anything
    // else is undefined, and no register could hold it anyway.
    constexpr double kTwo63 = 9223372036854775808.0;
    if (!std::isfinite(n) || n < -kTwo63 || n >= kTwo63) {
        out.problem = Quoted(text) + " is too large for a register value with its gain and offset";
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

std::string NotWrittenText(int index, const WordToWrite& refused)
{
    return ChannelName(index) + " not written: " + refused.problem;
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

} // namespace analyzer
