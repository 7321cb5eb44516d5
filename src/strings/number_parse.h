// How the program reads a number from a stored or typed text.
#pragma once

#include <cstdint>
#include <string_view>

namespace strings {

// The leading decimal number of a text: blanks, optional sign, digits,
// optional fraction, and with `exponent` an optional "e" or "E" and a
// signed power of ten ("3.4e38"). Empty or non-numeric text gives 0;
// "12ab" gives 12, and without `exponent` "3.4e38" gives 3.4.
double ParseNumber(std::string_view text, bool exponent = false);

// How many characters of the text ParseNumber reads: the blanks, sign,
// digits, fraction and exponent of its leading number; 0 when it holds none
// (and ParseNumber's 0 is then no number the user wrote).
size_t NumberLength(std::string_view text, bool exponent = false);

// The text's integer: ParseNumber rounded to the nearest integer, ties to
// even, taken modulo 2^64 (two's complement for negative numbers), so that
// callers keep the low bits they need.
uint64_t ParseInteger(std::string_view text);

} // namespace strings
