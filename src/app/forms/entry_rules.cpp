// How typed values are judged, clamped and turned into stored values.
#include <charconv>

#include "app/forms/form_rules.h"
#include "strings/lines.h"
#include "strings/number_parse.h"

namespace forms {

EntryVerdict JudgeEntry(std::string_view text, std::string_view minimum, std::string_view maximum,
                        bool empty_is_low)
{
    double number = strings::ParseNumber(text);
    if ((text.empty() && empty_is_low) || number < strings::ParseNumber(minimum))
        return EntryVerdict::BelowMinimum;
    if (number > strings::ParseNumber(maximum) || text.size() > kMaxNumberChars)
        return EntryVerdict::AboveMaximum;
    return EntryVerdict::Valid;
}

std::string ValueToStore(std::string_view text, std::string_view minimum, std::string_view maximum,
                         bool* error)
{
    switch (JudgeEntry(text, minimum, maximum)) {
    case EntryVerdict::BelowMinimum: *error = true; return std::string(minimum);
    case EntryVerdict::AboveMaximum: *error = true; return std::string(maximum);
    case EntryVerdict::Valid: break;
    }
    *error = false;
    return std::string(text);
}

std::string ListValueToStore(std::string_view text, std::string_view minimum,
                             std::string_view maximum, bool* error)
{
    std::vector<std::string> items = strings::SplitLines(text);
    std::string stored;
    *error = false;
    for (size_t i = 0; i < items.size(); ++i) {
        // A trailing empty line is what Enter leaves behind; it is judged by
        // its number (0) rather than refused for being empty.
        bool last = i + 1 == items.size();
        switch (JudgeEntry(items[i], minimum, maximum, !last)) {
        case EntryVerdict::BelowMinimum:
            stored += minimum;
            *error = true;
            break;
        case EntryVerdict::AboveMaximum:
            stored += maximum;
            *error = true;
            break;
        case EntryVerdict::Valid: stored += items[i]; break;
        }
        stored += '\\';
    }
    return stored;
}

std::string ListTextForBox(std::string_view stored)
{
    if (!stored.empty() && stored.back() == '\\')
        stored.remove_suffix(1);
    std::string text;
    for (char c : stored) {
        if (c == '\\')
            text += "\r\n";
        else
            text += c;
    }
    return text;
}

bool IsBitText(std::string_view text, int bits)
{
    if (text.empty() || text.size() > size_t(bits))
        return false;
    return text.find_first_not_of("01") == std::string_view::npos;
}

std::string ShortestDecimal(double value)
{
    char buffer[400]; // room for the largest double in fixed notation
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return "0";
    return std::string(buffer, result.ptr);
}

} // namespace forms
