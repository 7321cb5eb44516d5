// This file exists because a message box sizes itself to its longest line,
// and the text wrapping of the toolkit breaks only at blanks: a long path in
// an error box made the box wider than the screen, its buttons out of reach.
#include "platform/wx/message_text.h"

namespace wxb {

namespace {

bool Continues(unsigned char c) { return (c & 0xC0) == 0x80; } // UTF-8 continuation byte

void WrapLine(const std::string& line, size_t max_chars, std::string* out)
{
    size_t start = 0;
    while (start < line.size()) {
        // Walk max_chars characters, noting the last place a break reads well.
        size_t pos = start, chars = 0, blank = std::string::npos, after_separator = 0;
        while (pos < line.size() && chars < max_chars) {
            char c = line[pos];
            ++pos;
            while (pos < line.size() && Continues((unsigned char)line[pos]))
                ++pos;
            ++chars;
            if (c == ' ')
                blank = pos - 1;
            else if (c == '/' || c == '\\')
                after_separator = pos;
        }
        if (pos >= line.size()) {
            out->append(line, start, std::string::npos);
            return;
        }
        if (blank != std::string::npos && blank > start) {
            out->append(line, start, blank - start);
            start = blank + 1; // the blank becomes the break
        } else if (after_separator > start) {
            out->append(line, start, after_separator - start);
            start = after_separator;
        } else {
            out->append(line, start, pos - start);
            start = pos;
        }
        out->push_back('\r');
    }
}

} // namespace

std::string WrapMessageText(const std::string& text, size_t max_chars)
{
    if (max_chars == 0)
        return text;
    std::string out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        WrapLine(text.substr(start, end == std::string::npos ? std::string::npos : end - start),
                 max_chars, &out);
        if (end == std::string::npos)
            break;
        size_t next = end + 1;
        if (text[end] == '\r' && next < text.size() && text[next] == '\n')
            ++next;
        out.append(text, end, next - end);
        start = next;
    }
    return out;
}

} // namespace wxb
