#include "analyzer/plot/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "analyzer/picture/picture_format.h"

namespace analyzer {

namespace {

constexpr int kSignificant = 5;

std::string TrimFraction(std::string s)
{
    if (s.find('.') == std::string::npos)
        return s;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s;
}

} // namespace

std::string AxisLabelText(double value)
{
    if (!std::isfinite(value))
        return "0";
    if (value == 0.0)
        return "0"; // also -0
    // Let printf round to 5 significant digits, then place the point.
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*e", kSignificant - 1, value);
    // buf: [-]d.dddde[+-]xx
    std::string text = buf;
    bool negative = text[0] == '-';
    if (negative)
        text.erase(0, 1);
    size_t e = text.find('e');
    int exponent = std::atoi(text.c_str() + e + 1);
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2); // 5 digits
    std::string out;
    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) {
            out = "0." + std::string(size_t(-exponent - 1), '0') + digits;
        } else if (exponent + 1 >= kSignificant) {
            out = digits + std::string(size_t(exponent + 1 - kSignificant), '0');
        } else {
            out =
                digits.substr(0, size_t(exponent + 1)) + "." + digits.substr(size_t(exponent + 1));
        }
        out = TrimFraction(out);
    } else {
        std::string mantissa = TrimFraction(digits.substr(0, 1) + "." + digits.substr(1));
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out = mantissa + exp;
    }
    return negative ? "-" + out : out;
}

std::string SecondsText(double seconds)
{
    static const Picture picture("0.00");
    return picture.Format(seconds);
}

std::string ReadoutText(double seconds)
{
    static const Picture picture("000000.00");
    return picture.Format(seconds);
}

} // namespace analyzer
