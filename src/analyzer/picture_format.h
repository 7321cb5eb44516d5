// Numeric pictures: how a channel's FORMAT text lays out its value.
#pragma once

#include <string>
#include <string_view>

namespace analyzer
{

// The value laid out by the picture; the rules are described at the
// definition.
std::string FormatPicture(double value, std::string_view picture);

} // namespace analyzer
