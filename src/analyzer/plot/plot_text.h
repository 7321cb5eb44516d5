// Text on the plot: the font, measuring, and printing on an opaque cell.
//
// The plot's font is Arial on Windows (cairo's Windows font backend) and
// Liberation Sans elsewhere, whose advance widths equal Arial's, so label
// positions computed from measured widths come out as designed.
// A font of n points is made with a character (em) height of
// MulDiv(n, 96, 72) pixels, the size on a 96-dpi screen: 10 pt is 13 px,
// 12 pt is 16 px. Metrics are hinted to whole pixels, so widths are
// integers and the same on every run.
#pragma once

#include <cairo.h>

#include <string>

#include "analyzer/plot/pixel_view.h"
#include "platform/colour.h"

namespace analyzer {

#ifdef _WIN32
constexpr const char* kPlotFontFace = "Arial";
#else
constexpr const char* kPlotFontFace = "Liberation Sans";
#endif

// MulDiv(points, 96, 72): rounded to the nearest pixel.
int FontPixels(int points);

// Selects the plot font at `points` on `cr`, with the fixed font options.
void SetPlotFont(cairo_t* cr, int points);

// Advance width of `text` in the current font, whole pixels.
int TextWidth(cairo_t* cr, const std::string& text);

// Prints `text` with the top-left corner of its cell at (x, y) (rounded to
// whole pixels) in `ink`, after filling the cell (advance width x font
// height) with `paper`, so that a text printed over an older one replaces
// it. Returns the cell.
PixelRect PrintText(cairo_t* cr, double x, double y, const std::string& text, ui::Colour ink,
                    ui::Colour paper);

// The program's texts are 8-bit; text that is not valid UTF-8 is taken as
// Latin-1. (Invalid UTF-8 would put the cairo context in an error state,
// after which it draws nothing more.)
std::string ToUtf8(const std::string& text);

void SetSourceColour(cairo_t* cr, ui::Colour c);

} // namespace analyzer
