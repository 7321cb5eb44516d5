// Texts of file names, shared by the configuration and the plot log.
#pragma once

#include <string>

namespace strings {

// The name without its extension; empty when it has none.
std::string StripExtension(const std::string& name);

} // namespace strings
