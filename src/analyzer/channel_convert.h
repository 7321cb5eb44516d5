// A channel's raw register word and the text the user sees, both ways, and
// the check of its register address.
#pragma once

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
// user understands (GAIN 0, or a value no register word can come from).
struct WordToWrite {
    bool ok = false;
    uint16_t word = 0;
    std::string problem; // set when !ok; completes "CH05 not written: "
};
WordToWrite ConvertBack(const AnalyzerChannel& ch, std::string_view text);

// The status text for a write that ConvertBack refused.
std::string NotWrittenText(int index, const WordToWrite& refused);

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

} // namespace analyzer
