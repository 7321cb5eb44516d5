// Numeric pictures, as a spreadsheet user reads one. A channel's FORMAT and
// the plot's time texts ("0.00" in the log, "000000.00" in the readout) all
// follow these rules, so a time and a value that look alike round alike:
//
// - "0" is a digit position that is always filled; "#" a digit position that
//   is filled only by a significant digit; the first "." is the decimal
//   point. Every other character, a second "." included, is copied as it
//   stands, where it stands ("0.0 V", "T=00", "#,##0" copies the comma).
//   Exponents and sections (";") are not picture syntax: they are copied too.
// - The value is rounded to as many decimals as there are digit positions
//   after the point. A value exactly halfway rounds away from zero, judged on
//   the shortest decimal form of the value, the number a user would type
//   (2.5 with "0" shows 3, -2.5 shows -3, 2.675 with "0.00" shows 2.68).
// - Before the point, a digit is shown from the leftmost "0" or the leftmost
//   significant digit, whichever stands further left; a "#" left of both
//   shows nothing. Integer digits beyond the positions are never cut off:
//   they go in at the leftmost position (12345 with "00.0" is 12345.0), or
//   just before the point when the picture has no position before it.
// - After the point, a digit is shown up to the rightmost "0" or the last
//   non-zero digit, whichever stands further right.
// - A negative value is preceded by "-", unless every digit it shows is 0:
//   -0.04 with "0.0" is 0.0, not -0.0.
// - An empty picture shows the shortest decimal form that reads back as the
//   same double, never in exponent form (15.5, -1, 0.30000000000000004).
// - Values that are not numbers are shown as "NaN", "Inf" and "-Inf".
#include "analyzer/picture/picture_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace analyzer {
namespace {

// |value| as decimal digits before and after the point, from its shortest
// round-trip form. "int" has no leading zeros (empty for 0).
struct Decimal {
    std::string int_digits, frac_digits;
};

Decimal ShortestDecimal(double magnitude)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    std::string_view text(buf, size_t(res.ptr - buf)); // "d.ddde+XX"
    const size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e))
        if (c != '.')
            digits += c;
    const int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());

    Decimal d;
    if (exponent >= 0) {
        const size_t int_len = size_t(exponent) + 1;
        if (digits.size() < int_len)
            digits.append(int_len - digits.size(), '0');
        d.int_digits = digits.substr(0, int_len);
        d.frac_digits = digits.substr(int_len);
    } else {
        d.frac_digits = std::string(size_t(-exponent - 1), '0') + digits;
    }
    const size_t nz = d.int_digits.find_first_not_of('0');
    d.int_digits.erase(0, nz == std::string::npos ? d.int_digits.size() : nz);
    while (!d.frac_digits.empty() && d.frac_digits.back() == '0')
        d.frac_digits.pop_back();
    return d;
}

// Keeps `decimals` digits after the point, halfway away from zero.
void Round(Decimal& d, size_t decimals)
{
    if (d.frac_digits.size() <= decimals)
        return;
    const bool up = d.frac_digits[decimals] >= '5';
    d.frac_digits.resize(decimals);
    if (!up)
        return;
    for (size_t i = d.frac_digits.size(); i-- > 0;) {
        if (d.frac_digits[i] != '9') {
            ++d.frac_digits[i];
            return;
        }
        d.frac_digits[i] = '0';
    }
    for (size_t i = d.int_digits.size(); i-- > 0;) {
        if (d.int_digits[i] != '9') {
            ++d.int_digits[i];
            return;
        }
        d.int_digits[i] = '0';
    }
    d.int_digits.insert(d.int_digits.begin(), '1');
}

bool IsPosition(char c) { return c == '0' || c == '#'; }

bool AllZero(const std::string& s) { return s.find_first_not_of('0') == std::string::npos; }

// `zeros`: the "0" positions force digits from the right up to the leftmost
// of them.
std::string IntegerSection(std::string_view pic, size_t positions, size_t zeros,
                           const std::string& digits, bool has_point)
{
    const size_t shown = std::max(digits.size(), zeros);
    const std::string extra =
        digits.size() > positions ? digits.substr(0, digits.size() - positions) : "";

    std::string out;
    size_t seen = 0;
    for (char c : pic) {
        if (!IsPosition(c)) {
            out += c;
            continue;
        }
        if (seen == 0)
            out += extra;
        const size_t from_right = positions - seen; // 1 for the rightmost position
        ++seen;
        if (from_right > shown)
            continue;
        out += from_right <= digits.size() ? digits[digits.size() - from_right] : '0';
    }
    if (positions == 0 && has_point)
        out += digits;
    return out;
}

// `zeros`: the "0" positions force digits from the left up to the rightmost
// of them.
std::string FractionSection(std::string_view pic, size_t zeros, const std::string& digits)
{
    const size_t nz = digits.find_last_not_of('0');
    const size_t shown = std::max(zeros, nz == std::string::npos ? 0 : nz + 1);

    std::string out;
    size_t seen = 0;
    for (char c : pic) {
        if (!IsPosition(c)) {
            out += c;
            continue;
        }
        ++seen;
        if (seen <= shown)
            out += seen <= digits.size() ? digits[seen - 1] : '0';
    }
    return out;
}

} // namespace

Picture::Picture(std::string_view text) : text_(text), point_(text.find('.'))
{
    const std::string_view int_pic = text.substr(0, point_);
    for (size_t i = int_pic.size(); i-- > 0;) {
        if (!IsPosition(int_pic[i]))
            continue;
        ++int_positions_;
        if (int_pic[i] == '0')
            int_zeros_ = int_positions_;
    }
    if (point_ == std::string::npos)
        return;
    for (char c : text.substr(point_ + 1)) {
        if (!IsPosition(c))
            continue;
        ++decimals_;
        if (c == '0')
            frac_zeros_ = decimals_;
    }
}

std::string_view Picture::Suffix() const
{
    const size_t last = text_.find_last_of("0#.");
    return last == std::string::npos ? std::string_view()
                                     : std::string_view(text_).substr(last + 1);
}

std::string Picture::Format(double value) const
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Inf" : "Inf";

    Decimal d = ShortestDecimal(std::fabs(value));
    const bool has_point = point_ != std::string::npos;
    std::string text;
    if (text_.empty()) {
        text = d.int_digits.empty() ? "0" : d.int_digits;
        if (!d.frac_digits.empty())
            text += "." + d.frac_digits;
    } else {
        const std::string_view pic = text_;
        Round(d, decimals_);
        text = IntegerSection(pic.substr(0, point_), int_positions_, int_zeros_, d.int_digits,
                              has_point);
        if (has_point)
            text += "." + FractionSection(pic.substr(point_ + 1), frac_zeros_, d.frac_digits);
    }
    const bool zero = AllZero(d.int_digits) && AllZero(d.frac_digits);
    return value < 0 && !zero ? "-" + text : text;
}

} // namespace analyzer
