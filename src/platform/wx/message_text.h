// Message texts fitted to a box of sensible width.
#pragma once

#include <string>

namespace wxb {

// Breaks every line longer than max_chars characters (UTF-8 sequences
// count as one): after the last blank or path separator that keeps the
// piece within the limit, else at the limit. Line breaks of the text (CR,
// CR LF or LF) are kept; new ones are CR, like the program's own.
std::string WrapMessageText(const std::string& text, size_t max_chars);

} // namespace wxb
