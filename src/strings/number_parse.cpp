// Number parsing shared by the configuration store, the parameter entry and
// the frame encoders. It must never depend on the C locale: a stored "1.0"
// is one on every PC.
#include "strings/number_parse.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace strings {

namespace {

struct NumberSpan {
    bool negative = false;
    size_t start = 0; // first digit or point, after the sign
    size_t end = 0;   // one past the fraction; 0 when there are no digits
};

NumberSpan ScanNumber(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    NumberSpan span;
    span.negative = i > 0 && text[i - 1] == '-';
    span.start = i;
    size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        ++digits;
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++digits;
            ++i;
        }
    }
    span.end = digits == 0 ? 0 : i;
    return span;
}

} // namespace

size_t NumberLength(std::string_view text) { return ScanNumber(text).end; }

double ParseNumber(std::string_view text)
{
    const NumberSpan span = ScanNumber(text);
    if (span.end == 0)
        return 0;
    const size_t start = span.start, i = span.end;
    // Converted as one decimal number, correctly rounded: adding up digit
    // by digit turns "0.7" into 0.7000000000000001, which a stepped field
    // would then show as "1.7000000000000002".
    const std::string_view number = text.substr(start, i - start);
    double value = 0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                  std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large when a non-zero digit stands before the point, else too
        // small to tell from zero.
        bool large = number.find_first_of("123456789") < number.find('.');
        value = large ? HUGE_VAL : 0.0;
    }
    return span.negative ? -value : value;
}

uint64_t ParseInteger(std::string_view text)
{
    double r = std::nearbyint(ParseNumber(text)); // default rounding: ties to even
    if (!std::isfinite(r))
        return 0;
    constexpr double two64 = 18446744073709551616.0;
    // A negative value is negated as an unsigned magnitude: adding 2^64 in
    // double would round -1 up to 2^64 and lose the low bits.
    double magnitude = std::fmod(std::fabs(r), two64);
    uint64_t low = uint64_t(magnitude);
    return r < 0 ? uint64_t(0) - low : low;
}

} // namespace strings
