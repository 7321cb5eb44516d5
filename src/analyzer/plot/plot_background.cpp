// The still part of the plot: ground, frame, grid, axis labels, title and
// legend. Lines are laid on pixel centres so that a one-pixel line covers
// exactly one row or column of pixels, from its first pixel to its last
// pixel inclusive.
#include <algorithm>

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

// Pixels x0..x1 of row y (x0 <= x1), solid or one pixel on, one off from x0.
void HorizontalLine(cairo_t* cr, int x0, int x1, int y, bool dotted)
{
    const double on_off[] = {1.0, 1.0};
    cairo_set_dash(cr, on_off, dotted ? 2 : 0, 0.0);
    cairo_move_to(cr, x0, y + 0.5);
    cairo_line_to(cr, x1 + 1, y + 0.5);
    cairo_stroke(cr);
}

// Pixels y0 down to y1 of column x (y0 >= y1), drawn upwards from y0.
void VerticalLine(cairo_t* cr, int x, int y0, int y1, bool dotted)
{
    const double on_off[] = {1.0, 1.0};
    cairo_set_dash(cr, on_off, dotted ? 2 : 0, 0.0);
    cairo_move_to(cr, x + 0.5, y0 + 1);
    cairo_line_to(cr, x + 0.5, y1);
    cairo_stroke(cr);
}

void DrawValueAxis(PlotCanvas& c)
{
    const PlotSettings& s = c.settings;
    const int right = s.width + kPlotLeft;
    for (int j = 0; j <= s.div_y; ++j) {
        const int y = MainValueLineY(s, j);
        if (j == 0 || j == s.div_y || j % s.label_y == 0) {
            const std::string text = AxisLabelText(ValueLabel(s, j));
            // Ends 18 pixels left of the frame.
            PrintText(c.cr, 82 - TextWidth(c.cr, text), y - 10, text, kBlack, kWhite);
        }
        SetSourceColour(c.cr, kBlack);
        HorizontalLine(c.cr, kPlotLeft - 10, right - 1, y, false); // a 10-pixel tick
        if (j < s.div_y)
            for (int m = 1; m < s.subdiv_y; ++m)
                HorizontalLine(c.cr, kPlotLeft - 6, right - 1, SubValueLineY(s, j, m), true);
    }
}

void DrawTimeAxis(PlotCanvas& c)
{
    const PlotSettings& s = c.settings;
    const int bottom = s.height + kPlotTop;
    for (int j = 0; j <= s.div_x; ++j) {
        const int x = MainTimeLineX(s, j);
        if (j == 0 || j == s.div_x || j % s.label_x == 0) {
            const std::string text = AxisLabelText(TimeLabel(s, j));
            PrintText(c.cr, x - TextWidth(c.cr, text) / 2.0, bottom + 15, text, kBlack, kWhite);
        }
        SetSourceColour(c.cr, kBlack);
        VerticalLine(c.cr, x, bottom + 10, kPlotTop + 1, false);
        if (j < s.div_x)
            for (int m = 1; m < s.subdiv_x; ++m)
                VerticalLine(c.cr, SubTimeLineX(s, j, m), bottom + 6, kPlotTop + 1, true);
    }
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
    return widest + 10;
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
            PrintText(cr, s.width + 120, kPlotTop + kLegendSpacing * k++, ch.label, ch.colour, kWhite);
    }
    cairo_set_dash(cr, nullptr, 0, 0.0);
}

} // namespace analyzer
