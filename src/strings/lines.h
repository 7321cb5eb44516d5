// Multi-line texts as the boxes hold them: lines ended by CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace strings {

// The text split at each CR LF; a text without one is one line, and a text
// ending in CR LF ends with an empty line.
std::vector<std::string> SplitLines(std::string_view text);

} // namespace strings
