// The 32 Analyzer channels: one record per channel, the configuration keys
// that hold it and the rules that turn those texts into the record.
// Pure: the keys reach the loader through a reader the caller supplies.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "analyzer/picture/picture_format.h"

namespace analyzer {

constexpr int kChannelCount = 32;

// Booleans hold all-ones for true and 0 for false, as the file's readers
// have always stored them; test them with != 0.
constexpr int16_t kTrue = -1;

constexpr int16_t kInputRegister = 0;   // read with function 4
constexpr int16_t kHoldingRegister = 1; // read with function 3, written with function 6

// What the channel's registers hold (CHnn_DATA). A 16-bit channel is one
// register, SIGNED, MASK and SHIFT applying; the others span WORD_ADD and
// WORD_ADD + 1 and ignore those three.
enum class DataType : uint8_t { Word16, Uint32, Int32, Float32 };

// How the four bytes A (most significant) to D of a 32-bit value lie in the
// two registers (CHnn_ORDER). ABCD is the Modbus convention: the first
// register holds the high word, each register high byte first.
enum class WordOrder : uint8_t { ABCD, CDAB, BADC, DCBA };

struct AnalyzerChannel {
    int16_t enable = 0;    // boolean: read, written and plotted
    uint8_t slave_add = 0; // Modbus slave address
    int16_t type = kInputRegister;
    std::string word_add;  // register address as stored; checked when a request is built
    int16_t is_signed = 0; // boolean: the raw word is two's complement
    uint16_t mask = 0;     // AND mask of an unsigned channel
    int16_t shift = 0;     // right shift of an unsigned channel, in bits
    // GAIN and OFFSET as read, within the float range. A 16-bit channel
    // takes them as 32-bit floats (Single), as it always has; a 32-bit
    // channel whole, or 1234567890 * 0.001 would show 1234567.949.
    double gain = 0;
    double offset = 0;
    Picture format; // numeric picture of the shown value, parsed when loaded
    std::string label;
    uint32_t fore_color = 0; // colours are 0x00BBGGRR
    uint32_t back_color = 0;
    int16_t plot = 0; // boolean
    uint32_t plot_color = 0;
    int16_t plot_width = 0; // pixels
    int16_t read_only = 0;  // boolean derived from TYPE: set for an input register
    DataType data = DataType::Word16;
    WordOrder order = WordOrder::ABCD;

    bool operator==(const AnalyzerChannel&) const = default;
};

// Index 0..31 is shown to the user as CH01..CH32.
using ChannelTable = std::array<AnalyzerChannel, kChannelCount>;

// "CH" + the two-digit channel number + "_" + field: ChannelKey(6, "GAIN")
// is "CH07_GAIN".
std::string ChannelKey(int index, std::string_view field);

// "CH07" for index 6: how messages name a channel.
std::string ChannelName(int index);

// Returns the value of a configuration key. The program's reader never
// comes back without one: a missing key ends the program.
using KeyReader = std::function<std::string(const std::string& key)>;

// Looks for a key that may be missing: false when it is not there.
using OptionalKeyReader = std::function<bool(const std::string& key, std::string* value)>;

// Reads the 16 keys of every channel, channel by channel, in the order the
// file's readers have always used, and overwrites the records in place (a
// TYPE that is neither word keeps the type the record had). DATA and ORDER
// come through `find`, when given: a file without them keeps 16-bit
// channels in the ABCD order.
void LoadChannelTable(ChannelTable& table, const KeyReader& read,
                      const OptionalKeyReader& find = {});

// Registers a channel spans: 1, or 2 for a 32-bit channel.
inline int RegisterCount(const AnalyzerChannel& ch) { return ch.data == DataType::Word16 ? 1 : 2; }

// The loading rules for single texts, shared with the Channel setup dialog.
int16_t BooleanFromText(std::string_view text);
uint16_t MaskFromText(std::string_view text);
double RealFromText(std::string_view text);
// A GAIN or OFFSET as a 16-bit channel uses it: the nearest 32-bit float.
inline double Single(double real) { return double(static_cast<float>(real)); }
// Exactly "UINT32", "INT32" or "FLOAT32"; any other text is a 16-bit
// channel. The order likewise defaults to ABCD.
DataType DataTypeFromText(std::string_view text);
WordOrder WordOrderFromText(std::string_view text);

// The words the file holds for each, in the order of the enumerations.
inline constexpr const char* kDataTypeTexts[4] = {"16BIT", "UINT32", "INT32", "FLOAT32"};
inline constexpr const char* kWordOrderTexts[4] = {"ABCD", "CDAB", "BADC", "DCBA"};

} // namespace analyzer
