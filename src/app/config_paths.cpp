// Path texts derived from configuration values: the short form shown in the
// window title.
#include "app/config_store.h"

namespace app {

std::string AbbreviatePath(const std::string& path)
{
    const size_t len = path.size();
    if (len <= 50)
        return path;
    // Keep the start up to the first folder ending at column 25 or later and
    // the tail from the last folder starting before the final 25 columns.
    // Columns below count from 1, the indexes from 0.
    size_t a = path.find(kPathSeparator, 24);
    size_t b = path.rfind(kPathSeparator, len - 26);
    if (a == std::string::npos || b == std::string::npos || b < 2 || a >= b)
        return path;
    return path.substr(0, a + 1) + "..." + path.substr(b);
}

} // namespace app
