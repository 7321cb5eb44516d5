// Loading the channel records from their configuration texts.
#include "analyzer/channel_table.h"

#include <algorithm>
#include <cfloat>

#include "strings/number_parse.h"

namespace analyzer {
namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Integers are rounded (ties to even) and keep the low bits that fit the
// field, as a hand-edited "300" in an 8-bit field always has.
template <typename T>
T IntegerFromText(std::string_view text)
{
    return static_cast<T>(strings::ParseInteger(text));
}

} // namespace

std::string ChannelName(int index)
{
    const int n = index + 1;
    return std::string("CH") + char('0' + n / 10 % 10) + char('0' + n % 10);
}

std::string ChannelKey(int index, std::string_view field)
{
    return ChannelName(index) + "_" + std::string(field);
}

int16_t BooleanFromText(std::string_view text)
{
    return strings::ParseNumber(text) != 0 ? kTrue : 0;
}

// The mask was always read as the text behind a "&H" prefix: the leading
// hexadecimal digits count (after blanks, as for every number read from the
// file), anything after them is ignored, and of a longer
// number only the low 16 bits are kept ("1FFFF" is FFFF, "zz" is 0).
uint16_t MaskFromText(std::string_view text)
{
    uint16_t mask = 0;
    size_t i = text.find_first_not_of(" \t");
    for (; i < text.size(); ++i) {
        const char c = text[i];
        const int d = HexDigit(c);
        if (d < 0)
            break;
        mask = static_cast<uint16_t>((mask << 4) | d);
    }
    return mask;
}

// A number beyond the float range is held at the largest float rather than
// made infinite: every value computed from GAIN and OFFSET then stays
// finite, and Single is defined for it.
double RealFromText(std::string_view text)
{
    const double d = strings::ParseNumber(text);
    return std::clamp(d, -double(FLT_MAX), double(FLT_MAX));
}

namespace {

// The index of `text` among `words`; 0, the default, when it is none.
template <size_t N>
int WordIndex(std::string_view text, const char* const (&words)[N])
{
    for (size_t k = 0; k < N; ++k)
        if (text == words[k])
            return int(k);
    return 0;
}

} // namespace

DataType DataTypeFromText(std::string_view text)
{
    return DataType(WordIndex(text, kDataTypeTexts));
}

WordOrder WordOrderFromText(std::string_view text)
{
    return WordOrder(WordIndex(text, kWordOrderTexts));
}

void LoadChannelTable(ChannelTable& table, const KeyReader& read, const OptionalKeyReader& find)
{
    for (int i = 0; i < kChannelCount; ++i) {
        AnalyzerChannel& ch = table[i];
        auto text = [&](std::string_view field) { return read(ChannelKey(i, field)); };
        ch.enable = BooleanFromText(text("ENABLE"));
        ch.slave_add = IntegerFromText<uint8_t>(text("SLAVE_ADD"));
        ch.word_add = text("WORD_ADD");
        ch.is_signed = BooleanFromText(text("SIGNED"));
        ch.mask = MaskFromText(text("MASK"));
        ch.shift = IntegerFromText<int16_t>(text("SHIFT"));
        ch.gain = RealFromText(text("GAIN"));
        ch.offset = RealFromText(text("OFFSET"));
        ch.format = Picture(text("FORMAT"));
        ch.label = text("LABEL");
        ch.fore_color = IntegerFromText<uint32_t>(text("FORE_COLOR"));
        ch.back_color = IntegerFromText<uint32_t>(text("BACK_COLOR"));
        ch.plot = BooleanFromText(text("PLOT"));
        ch.plot_color = IntegerFromText<uint32_t>(text("PLOT_COLOR"));
        ch.plot_width = IntegerFromText<int16_t>(text("PLOT_WIDTH"));
        const std::string type = text("TYPE");
        if (type == "INPUT_REG") {
            ch.type = kInputRegister;
            ch.read_only = kTrue;
        } else if (type == "HOLD_REG") {
            ch.type = kHoldingRegister;
            ch.read_only = 0;
        }
        std::string data, order;
        ch.data =
            find && find(ChannelKey(i, "DATA"), &data) ? DataTypeFromText(data) : DataType::Word16;
        ch.order = find && find(ChannelKey(i, "ORDER"), &order) ? WordOrderFromText(order)
                                                                : WordOrder::ABCD;
    }
}

} // namespace analyzer
