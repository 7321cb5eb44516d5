// The still part of the plot: ground, frame, grid, axis labels, title and
// legend. Lines are laid on pixel centres so that a one-pixel line covers
// exactly one row or column of pixels, from its first pixel to its last
// pixel inclusive.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "analyzer/plot/number_text.h"
#include "analyzer/plot/plot_canvas_state.h"
#include "analyzer/plot/plot_scale.h"
#include "analyzer/plot/plot_text.h"

namespace analyzer {

namespace {

constexpr ui::Colour kBlack = ui::Rgb(0, 0, 0);
constexpr ui::Colour kWhite = ui::Rgb(255, 255, 255);
constexpr int kLabelFontPt = 10;
constexpr int kTitleFontPt = 12;
constexpr int kLegendSpacing = 30;

// Pixels x0..x1 of row y (x0 <= x1).
void HorizontalLine(cairo_t* cr, int x0, int x1, int y)
{
    cairo_move_to(cr, x0, y + 0.5);
    cairo_line_to(cr, x1 + 1, y + 0.5);
    cairo_stroke(cr);
}

// Pixels y0 down to y1 of column x (y0 >= y1).
void VerticalLine(cairo_t* cr, int x, int y0, int y1)
{
    cairo_move_to(cr, x + 0.5, y0 + 1);
    cairo_line_to(cr, x + 0.5, y1);
    cairo_stroke(cr);
}

// Dotted lines, one pixel on and one off, are filled in one go through a
// two-pixel repeating pattern whose inked pixel lies on (x, y): a dashed
// stroke per line costs a polygon per dot, and the densest grid Plot setup
// accepts has ten thousand lines of thousands of dots.
void FillDotted(cairo_t* cr, bool along_x, int x, int y)
{
    cairo_surface_t* dots =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, along_x ? 2 : 1, along_x ? 1 : 2);
    cairo_surface_flush(dots);
    if (unsigned char* data = cairo_image_surface_get_data(dots)) {
        std::memset(data, 0, size_t(cairo_image_surface_get_stride(dots)) * (along_x ? 1 : 2));
        *reinterpret_cast<uint32_t*>(data) = 0xFF000000u; // opaque black; the other stays clear
        cairo_surface_mark_dirty(dots);
    }
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(dots);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, -x, -y);
    cairo_pattern_set_matrix(pattern, &m);
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
    cairo_surface_destroy(dots);
}

// Which pixel rows (or columns) carry a line already: a grid denser than
// the pixels draws each row once, and a dotted line on a main line's row
// would add nothing.
struct TakenRows {
    std::vector<bool> main, dotted;
    explicit TakenRows(int count) : main(size_t(count)), dotted(size_t(count)) {}
    static bool Has(const std::vector<bool>& rows, int at)
    {
        return at >= 0 && size_t(at) < rows.size() && rows[size_t(at)];
    }
    bool TakeMain(int at) { return Take(main, at); }
    bool TakeDotted(int at) { return !Has(main, at) && Take(dotted, at); }

private:
    static bool Take(std::vector<bool>& rows, int at)
    {
        if (at < 0 || size_t(at) >= rows.size() || rows[size_t(at)])
            return false;
        rows[size_t(at)] = true;
        return true;
    }
};

void DrawValueAxis(PlotCanvas& c)
{
    const PlotSettings& s = c.settings;
    const int right = s.width + kPlotLeft;
    TakenRows rows(c.height);
    SetSourceColour(c.cr, kBlack);
    for (int j = 0; j <= s.div_y; ++j) {
        const int y = MainValueLineY(s, j);
        if (j == 0 || j == s.div_y || j % s.label_y == 0) {
            const std::string text = AxisLabelText(ValueLabel(s, j));
            // Ends 18 pixels left of the frame.
            PrintText(c.cr, 82 - TextWidth(c.cr, text), y - 10, text, kBlack, kWhite);
            SetSourceColour(c.cr, kBlack);
        }
        if (rows.TakeMain(y))
            HorizontalLine(c.cr, kPlotLeft - 10, right - 1, y); // a 10-pixel tick
    }
    for (int j = 0; j < s.div_y; ++j)
        for (int m = 1; m < s.subdiv_y; ++m) {
            const int y = SubValueLineY(s, j, m);
            if (rows.TakeDotted(y)) // from a 6-pixel tick to the right edge
                cairo_rectangle(c.cr, kPlotLeft - 6, y, right - (kPlotLeft - 6), 1);
        }
    FillDotted(c.cr, true, kPlotLeft - 6, 0);
}

void DrawTimeAxis(PlotCanvas& c)
{
    const PlotSettings& s = c.settings;
    const int bottom = s.height + kPlotTop;
    TakenRows columns(c.width);
    SetSourceColour(c.cr, kBlack);
    for (int j = 0; j <= s.div_x; ++j) {
        const int x = MainTimeLineX(s, j);
        if (j == 0 || j == s.div_x || j % s.label_x == 0) {
            const std::string text = AxisLabelText(TimeLabel(s, j));
            PrintText(c.cr, x - TextWidth(c.cr, text) / 2.0, bottom + 15, text, kBlack, kWhite);
            SetSourceColour(c.cr, kBlack);
        }
        if (columns.TakeMain(x))
            VerticalLine(c.cr, x, bottom + 10, kPlotTop + 1); // a 10-pixel tick below
    }
    for (int j = 0; j < s.div_x; ++j)
        for (int m = 1; m < s.subdiv_x; ++m) {
            const int x = SubTimeLineX(s, j, m);
            if (columns.TakeDotted(x)) // from the top down to a 6-pixel tick
                cairo_rectangle(c.cr, x, kPlotTop + 1, 1, bottom + 6 - kPlotTop);
        }
    // Inked from bottom + 6 upwards, as the dots of a line drawn upwards.
    FillDotted(c.cr, false, 0, bottom + 6);
}

void PrintCentred(PlotCanvas& c, const std::string& text, int top)
{
    const double centre = c.settings.width / 2.0 + kPlotLeft;
    PrintText(c.cr, centre - TextWidth(c.cr, text) / 2.0, top, text, kBlack, kWhite);
}

} // namespace

int LegendWidth(const PlotSettings& settings, const std::vector<PlotChannel>& channels)
{
    if (!settings.channel_labels)
        return 0;
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    SetPlotFont(cr, kTitleFontPt);
    int widest = 0;
    for (const PlotChannel& ch : channels)
        widest = std::max(widest, TextWidth(cr, ch.label));
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    // Bounded as the plot area is: a longer label is cut at the drawing's
    // edge instead of asking for a canvas of hundreds of megabytes.
    return std::min(widest + 10, kPlotSizeMax);
}

void DrawPlotBackground(PlotCanvas& c, const std::vector<PlotChannel>& channels)
{
    const PlotSettings& s = c.settings;
    cairo_t* cr = c.cr;
    SetSourceColour(cr, kWhite);
    cairo_paint(cr);
    cairo_set_line_width(cr, 1.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);

    // Frame: outline on columns 100 and W + 100, rows 50 and H + 50.
    SetSourceColour(cr, kBlack);
    cairo_rectangle(cr, kPlotLeft + 0.5, kPlotTop + 0.5, s.width, s.height);
    cairo_stroke(cr);

    SetPlotFont(cr, kLabelFontPt);
    DrawValueAxis(c);
    DrawTimeAxis(c);

    SetPlotFont(cr, kTitleFontPt);
    PrintCentred(c, s.title, 10);
    PrintCentred(c, "Time (s)", s.height + 92);

    if (s.channel_labels) {
        int k = 0;
        for (const PlotChannel& ch : channels)
            PrintText(cr, s.width + 120, kPlotTop + kLegendSpacing * k++, ch.label, ch.colour,
                      kWhite);
    }
}

} // namespace analyzer
