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
    r = std::fmod(r, two64);
    if (r < 0)
        r += two64;
    if (r >= two64)
        return 0;
    return uint64_t(r);
}
