// Colours as the configuration files store them: Win32-style values
// R + 256*G + 65536*B. Below the window system, so that code drawing
// pictures of its own shares the type without the windows.
#pragma once

#include <cstdint>

namespace ui {

using Colour = uint32_t;

constexpr Colour Rgb(unsigned r, unsigned g, unsigned b)
{
    return Colour(r & 0xFF) | (Colour(g & 0xFF) << 8) | (Colour(b & 0xFF) << 16);
}
constexpr unsigned RedOf(Colour c) { return c & 0xFF; }
constexpr unsigned GreenOf(Colour c) { return (c >> 8) & 0xFF; }
constexpr unsigned BlueOf(Colour c) { return (c >> 16) & 0xFF; }

} // namespace ui
