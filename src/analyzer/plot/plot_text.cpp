#include "analyzer/plot/plot_text.h"

#include <cmath>

namespace analyzer {

namespace {

bool IsUtf8(const std::string& s)
{
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = (unsigned char)s[i];
        size_t more = 0;
        unsigned char lo = 0x80, hi = 0xBF; // range of the second byte
        if (c < 0x80)
            more = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            more = 1;
        else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            if (c == 0xE0)
                lo = 0xA0; // overlong
            if (c == 0xED)
                hi = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            if (c == 0xF0)
                lo = 0x90;
            if (c == 0xF4)
                hi = 0x8F;
        } else
            return false;
        if (i + more >= s.size() + (more == 0))
            return false;
        for (size_t k = 1; k <= more; ++k) {
            const unsigned char b = (unsigned char)s[i + k];
            if (k == 1 ? (b < lo || b > hi) : (b >> 6) != 2)
                return false;
        }
        i += more + 1;
    }
    return true;
}

struct FontCell {
    int ascent;
    int height;
};

FontCell CellOf(cairo_t* cr)
{
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    int ascent = int(std::ceil(fe.ascent));
    return {ascent, ascent + int(std::ceil(fe.descent))};
}

} // namespace

int FontPixels(int points) { return (points * 96 + 36) / 72; }

void SetPlotFont(cairo_t* cr, int points)
{
    cairo_select_font_face(cr, kPlotFontFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, FontPixels(points));
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

int TextWidth(cairo_t* cr, const std::string& text)
{
    cairo_text_extents_t te;
    cairo_text_extents(cr, ToUtf8(text).c_str(), &te);
    return int(std::ceil(te.x_advance));
}

PixelRect PrintText(cairo_t* cr, double x, double y, const std::string& text, ui::Colour ink,
                    ui::Colour paper)
{
    const std::string utf8 = ToUtf8(text);
    const FontCell cell = CellOf(cr);
    cairo_text_extents_t te;
    cairo_text_extents(cr, utf8.c_str(), &te);
    const PixelRect box{int(std::lround(x)), int(std::lround(y)), int(std::ceil(te.x_advance)),
                        cell.height};
    SetSourceColour(cr, paper);
    cairo_rectangle(cr, box.x, box.y, box.width, box.height);
    cairo_fill(cr);
    SetSourceColour(cr, ink);
    cairo_move_to(cr, box.x, box.y + cell.ascent);
    cairo_show_text(cr, utf8.c_str());
    cairo_new_path(cr);
    // Glyphs may reach a little outside their advance (italic-like overhangs).
    return PixelRect{box.x - 1, box.y, box.width + 2, box.height};
}

std::string ToUtf8(const std::string& text)
{
    if (IsUtf8(text))
        return text;
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void SetSourceColour(cairo_t* cr, ui::Colour c)
{
    cairo_set_source_rgb(cr, ui::RedOf(c) / 255.0, ui::GreenOf(c) / 255.0, ui::BlueOf(c) / 255.0);
}

} // namespace analyzer
