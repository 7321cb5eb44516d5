// Numeric pictures: how a FORMAT text, or one of the plot's time texts, lays
// out a value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace analyzer {

// A picture parsed once, when the text is known, and applied to every value
// shown with it. The rules are described at the definition.
class Picture {
public:
    Picture() = default; // the empty picture: the shortest exact form
    explicit Picture(std::string_view text);

    std::string Format(double value) const;
    const std::string& Text() const { return text_; }
    // What the picture copies after its last digit position or point: the
    // unit of "0.0 V" (" V"); empty for most pictures.
    std::string_view Suffix() const;

    bool operator==(const Picture& other) const { return text_ == other.text_; }

private:
    std::string text_;
    size_t point_ = std::string::npos; // the first ".", the decimal point
    size_t int_positions_ = 0;         // digit positions before the point
    size_t int_zeros_ = 0;             // before the point, from the right up to the leftmost "0"
    size_t decimals_ = 0;              // digit positions after the point
    size_t frac_zeros_ = 0;            // after the point, up to the rightmost "0"
};

} // namespace analyzer
