// Splitting scenario text into lines of words.
#include "script/scenario.h"

namespace script {

bool ParseScenario(const std::string& text, std::vector<ScenarioLine>* lines, std::string* error)
{
    lines->clear();
    int number = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string raw = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();

        ScenarioLine line;
        line.number = number;
        size_t i = 0;
        while (i < raw.size()) {
            if (raw[i] == ' ' || raw[i] == '\t') {
                ++i;
                continue;
            }
            if (raw[i] == '#' && line.words.empty())
                break;
            std::string word;
            if (raw[i] == '"') {
                ++i;
                bool closed = false;
                while (i < raw.size()) {
                    char c = raw[i++];
                    if (c == '"') {
                        closed = true;
                        break;
                    }
                    if (c == '\\' && i < raw.size()) {
                        char e = raw[i++];
                        switch (e) {
                        case 'r': word += '\r'; break;
                        case 'n': word += '\n'; break;
                        case 't': word += '\t'; break;
                        case '0': word += '\0'; break;
                        default: word += e; break;
                        }
                        continue;
                    }
                    word += c;
                }
                if (!closed) {
                    *error = "line " + std::to_string(number) + ": unterminated quoted text";
                    return false;
                }
            } else {
                while (i < raw.size() && raw[i] != ' ' && raw[i] != '\t')
                    word += raw[i++];
            }
            line.words.push_back(word);
        }
        if (!line.words.empty())
            lines->push_back(std::move(line));
        if (end == text.size())
            break;
    }
    return true;
}

} // namespace script
