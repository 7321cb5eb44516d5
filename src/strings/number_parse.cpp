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
    size_t end = 0;   // one past the fraction or exponent; 0 when there are no digits
    size_t mark = 0;  // the "e" of an exponent; 0 when there is none
};

NumberSpan ScanNumber(std::string_view text, bool exponent)
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
    // An "e" without digits after it is no exponent: "2e" is 2 and a letter.
    if (exponent && digits > 0 && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        const size_t first = j;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9')
            ++j;
        if (j > first) {
            span.mark = i;
            span.end = j;
        }
    }
    return span;
}

// Whether a number from_chars found out of range is too large rather than
// too small to tell from zero: its mantissa's magnitude times the power of
// ten. Judged on the exponent's first digits, which tell it well enough.
bool TooLarge(std::string_view number, size_t mark)
{
    if (mark == 0)
        return number.find_first_of("123456789") < number.find('.');
    double mantissa = 0;
    std::from_chars(number.data(), number.data() + mark, mantissa, std::chars_format::fixed);
    long power = 0;
    std::string_view digits = number.substr(mark + 1);
    const bool negative = !digits.empty() && digits[0] == '-';
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+'))
        digits.remove_prefix(1);
    for (char c : digits.substr(0, 6))
        power = power * 10 + (c - '0');
    if (digits.size() > 6)
        power = 1000000;
    return mantissa != 0 && std::log10(mantissa) + double(negative ? -power : power) > 0;
}

} // namespace

size_t NumberLength(std::string_view text, bool exponent) { return ScanNumber(text, exponent).end; }

double ParseNumber(std::string_view text, bool exponent)
{
    const NumberSpan span = ScanNumber(text, exponent);
    if (span.end == 0)
        return 0;
    const size_t start = span.start, i = span.end;
    // Converted as one decimal number, correctly rounded: adding up digit
    // by digit turns "0.7" into 0.7000000000000001, which a stepped field
    // would then show as "1.7000000000000002".
    const std::string_view number = text.substr(start, i - start);
    double value = 0;
    auto result =
        std::from_chars(number.data(), number.data() + number.size(), value,
                        span.mark != 0 ? std::chars_format::general : std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range)
        value = TooLarge(number, span.mark == 0 ? 0 : span.mark - start) ? HUGE_VAL : 0.0;
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
