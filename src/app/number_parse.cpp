// Number parsing shared by the configuration store, the parameter entry and
// the frame encoders. It must never depend on the C locale: a stored "1.0"
// is one on every PC.
#include "app/number_parse.h"

#include <cmath>

double ParseNumber(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    double value = 0;
    bool digits = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i] - '0');
        digits = true;
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            value += (text[i] - '0') * scale;
            scale /= 10;
            digits = true;
            ++i;
        }
    }
    if (!digits)
        return 0;
    return negative ? -value : value;
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
