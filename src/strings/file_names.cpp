#include "strings/file_names.h"

namespace strings {

std::string StripExtension(const std::string& name)
{
    // A dot in the first column starts a hidden name, not an extension.
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return "";
    return name.substr(0, dot);
}

} // namespace strings
