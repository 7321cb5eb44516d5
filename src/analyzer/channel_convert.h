// A channel's raw register word and the text the user sees, both ways, and
// the check of its register address.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "analyzer/channel_table.h"

namespace analyzer {

// The engineering value of a raw word: masked and shifted (unsigned) or two's
// complement (signed), times GAIN plus OFFSET, in double precision.
double ScaleRaw(const AnalyzerChannel& ch, uint16_t raw);

// The text shown for a raw word: ScaleRaw laid out by the channel's FORMAT.
std::string ConvertRaw(const AnalyzerChannel& ch, uint16_t raw);

// The word to write for a typed text, or no word with the reason in words a
// user understands: a text not read whole (only blanks and the picture's
// unit may stand beside the number), GAIN 0, or a value that after GAIN and
// OFFSET lies outside -32768 to 65535, which no register holds.
struct WordToWrite {
    bool ok = false;
    uint16_t word = 0;
    std::string problem; // set when !ok; completes "CH05 not written: "
};
WordToWrite ConvertBack(const AnalyzerChannel& ch, std::string_view text);

// --- 32-bit channels ----------------------------------------------------------

// The 32-bit value (A the most significant byte) of the two registers as
// read, `first` from WORD_ADD, laid out in `order`; and back.
uint32_t JoinRegisters(uint16_t first, uint16_t second, WordOrder order);
std::array<uint16_t, 2> SplitRegisters(uint32_t value, WordOrder order);

// The engineering value of a 32-bit channel: its integer or float times
// GAIN plus OFFSET, all in double precision. A float that is not a number or
// infinite gives what the arithmetic makes of it.
double ScaleWide(const AnalyzerChannel& ch, uint32_t raw);

// The text shown for the two registers: ScaleWide laid out by FORMAT, or
// "NaN", "Inf", "-Inf".
std::string ConvertWide(const AnalyzerChannel& ch, uint16_t first, uint16_t second);

// The two registers to write for a typed text, which may carry an
// exponent: integers rounded half to even, floats the nearest single.
// Refused as ConvertBack refuses (an integer outside -2^31 to 2^32 - 1),
// and also for a result that is no finite number or beyond the float range.
struct WordsToWrite {
    bool ok = false;
    std::array<uint16_t, 2> words{};
    std::string problem;
};
WordsToWrite ConvertBackWide(const AnalyzerChannel& ch, std::string_view text);

// The number a value box shows: its leading number, and for the words a
// 32-bit float shows, NaN or the infinity they name (never plotted).
double ShownNumber(std::string_view text);

// The status text for a write that ConvertBack refused.
std::string NotWrittenText(int index, const WordToWrite& refused);
std::string NotWrittenText(int index, const std::string& problem);

// The register address of a WORD_ADD text as the request's encoder reads it
// (the leading number, rounded). A text without a number, or whose number
// is outside 0 to 65535, gives no address and a text naming the channel and
// the text, for the user.
struct WordAddress {
    bool ok = false;
    uint16_t address = 0;
    std::string problem;
};
WordAddress ParseWordAddress(int index, std::string_view text);
// As ParseWordAddress, for every register the channel spans: a 32-bit
// channel at 65535 has no second register.
WordAddress ParseChannelAddress(int index, const AnalyzerChannel& ch);

} // namespace analyzer
