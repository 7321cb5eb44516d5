// The plot canvas: its surface, the running parts (readout and segments)
// and the record of what changed since the window last looked.
#include "analyzer/plot/plot_canvas.h"

#include <algorithm>
#include <cmath>
#ifndef _WIN32
#include <fontconfig/fontconfig.h>
#endif

#include "analyzer/plot/number_text.h"
#include "analyzer/plot/plot_canvas_state.h"
#include "analyzer/plot/plot_scale.h"
#include "analyzer/plot/plot_text.h"

namespace analyzer {

namespace {

constexpr int kReadoutX = 95;
constexpr int kReadoutFontPt = 12;
constexpr int kPenWidthMin = 1, kPenWidthMax = 10; // the range Channel setup accepts

long Area(const PixelRect& r) { return long(r.width) * r.height; }

void MarkDirty(PlotCanvas& c, const PixelRect& r)
{
    const PixelRect clipped = ClipTo(r, c.width, c.height);
    if (clipped.Empty())
        return;
    // Merge only where the union costs no more to refresh than the two
    // apart: a diagonal segment's pieces must not become its bounding box.
    for (PixelRect& d : c.dirty) {
        const PixelRect both = Union(d, clipped);
        if (Area(both) <= Area(d) + Area(clipped)) {
            d = both;
            return;
        }
    }
    c.dirty.push_back(clipped);
    if (c.dirty.size() > kMaxDirtyRects) {
        PixelRect all;
        for (const PixelRect& d : c.dirty)
            all = Union(all, d);
        c.dirty.assign(1, all);
    }
}

// The pixels a segment may touch, as rectangles along it: a long diagonal
// segment covers only a thin band of its bounding box.
void MarkSegmentDirty(PlotCanvas& c, double x0, double y0, double x1, double y1, int pen)
{
    constexpr double kPiece = 64.0;       // pixels along the longer axis
    const double reach = pen / 2.0 + 1.0; // round cap plus antialiasing
    const double along = std::max(std::fabs(x1 - x0), std::fabs(y1 - y0));
    const int pieces = std::max(1, int(std::ceil(along / kPiece)));
    for (int i = 0; i < pieces; ++i) {
        const double f0 = double(i) / pieces, f1 = double(i + 1) / pieces;
        const double ax = x0 + (x1 - x0) * f0, ay = y0 + (y1 - y0) * f0;
        const double bx = x0 + (x1 - x0) * f1, by = y0 + (y1 - y0) * f1;
        const int left = int(std::floor(std::min(ax, bx) + 0.5 - reach));
        const int top = int(std::floor(std::min(ay, by) + 0.5 - reach));
        const int right = int(std::ceil(std::max(ax, bx) + 0.5 + reach));
        const int bottom = int(std::ceil(std::max(ay, by) + 0.5 + reach));
        MarkDirty(c, {left, top, right - left, bottom - top});
    }
}

PixelRect PrintReadout(PlotCanvas& c, const std::string& text)
{
    SetPlotFont(c.cr, kReadoutFontPt);
    return PrintText(c.cr, kReadoutX, c.settings.height + 92, text, ui::Rgb(0, 0, 0),
                     ui::Rgb(255, 255, 255));
}

} // namespace

PixelRect Union(const PixelRect& a, const PixelRect& b)
{
    if (a.Empty())
        return b;
    if (b.Empty())
        return a;
    const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    const int x1 = std::max(a.x + a.width, b.x + b.width);
    const int y1 = std::max(a.y + a.height, b.y + b.height);
    return {x0, y0, x1 - x0, y1 - y0};
}

PixelRect ClipTo(const PixelRect& r, int width, int height)
{
    const int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
    const int x1 = std::min(r.x + r.width, width), y1 = std::min(r.y + r.height, height);
    if (x1 <= x0 || y1 <= y0)
        return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

void PlotCanvasDeleter::operator()(PlotCanvas* canvas) const
{
    if (!canvas)
        return;
    if (canvas->cr)
        cairo_destroy(canvas->cr);
    if (canvas->surface)
        cairo_surface_destroy(canvas->surface);
    delete canvas;
}

PlotCanvasPtr CreatePlotCanvas(const PlotSettings& settings,
                               const std::vector<PlotChannel>& channels, std::string* error)
{
    PlotCanvasPtr c(new PlotCanvas);
    c->settings = settings;
    c->width = settings.width + kPlotMargin + LegendWidth(settings, channels);
    c->height = settings.height + kPlotMargin;
    c->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, c->width, c->height);
    if (cairo_surface_status(c->surface) != CAIRO_STATUS_SUCCESS) {
        if (error)
            *error = cairo_status_to_string(cairo_surface_status(c->surface));
        return nullptr;
    }
    c->cr = cairo_create(c->surface);
    DrawPlotBackground(*c, channels);
    if (cairo_status(c->cr) != CAIRO_STATUS_SUCCESS) {
        if (error)
            *error = cairo_status_to_string(cairo_status(c->cr));
        return nullptr;
    }
    c->dirty.assign(1, PixelRect{0, 0, c->width, c->height});
    return c;
}

const PlotSettings& CanvasSettings(const PlotCanvas& canvas) { return canvas.settings; }
int CanvasWidth(const PlotCanvas& canvas) { return canvas.width; }
int CanvasHeight(const PlotCanvas& canvas) { return canvas.height; }

PixelView CanvasPixels(PlotCanvas& canvas)
{
    cairo_surface_flush(canvas.surface);
    return {cairo_image_surface_get_data(canvas.surface), canvas.width, canvas.height,
            cairo_image_surface_get_stride(canvas.surface)};
}

void DrawTimeReadout(PlotCanvas& canvas, double seconds)
{
    const PixelRect cell = PrintReadout(canvas, ReadoutText(seconds));
    // A shorter text after a longer one (a reset of the elapsed time) must
    // not leave the longer one's tail.
    if (canvas.last_readout.width > cell.width) {
        SetSourceColour(canvas.cr, ui::Rgb(255, 255, 255));
        const int x = cell.x + cell.width;
        cairo_rectangle(canvas.cr, x, cell.y, canvas.last_readout.x + canvas.last_readout.width - x,
                        cell.height);
        cairo_fill(canvas.cr);
    }
    MarkDirty(canvas, Union(cell, canvas.last_readout));
    canvas.last_readout = cell;
}

void EraseTimeReadout(PlotCanvas& canvas)
{
    const PixelRect cell = PrintReadout(canvas, std::string(20, ' '));
    const PixelRect wider = Union(cell, canvas.last_readout);
    SetSourceColour(canvas.cr, ui::Rgb(255, 255, 255));
    cairo_rectangle(canvas.cr, wider.x, wider.y, wider.width, wider.height);
    cairo_fill(canvas.cr);
    MarkDirty(canvas, wider);
    canvas.last_readout = {};
}

bool DrawSegment(PlotCanvas& canvas, double t0, double v0, double t1, double v1, ui::Colour colour,
                 int pen_width)
{
    const PlotSettings& s = canvas.settings;
    double x0, y0, x1, y1;
    if (!TimeToX(s, t0, &x0) || !ValueToY(s, v0, &y0) || !TimeToX(s, t1, &x1) ||
        !ValueToY(s, v1, &y1))
        return false;
    const int pen = std::clamp(pen_width, kPenWidthMin, kPenWidthMax);
    cairo_t* cr = canvas.cr;
    SetSourceColour(cr, colour);
    cairo_set_dash(cr, nullptr, 0, 0.0);
    cairo_set_line_width(cr, pen);
    // Round ends: consecutive segments join smoothly, and the zero-length
    // first segment of a plot shows as a dot.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    // Point (x, y) is the pixel whose centre lies at (x + 0.5, y + 0.5).
    cairo_move_to(cr, x0 + 0.5, y0 + 0.5);
    cairo_line_to(cr, x1 + 0.5, y1 + 0.5);
    cairo_stroke(cr);
    MarkSegmentDirty(canvas, x0, y0, x1, y1, pen);
    return true;
}

std::vector<PixelRect> TakeDirtyRects(PlotCanvas& canvas)
{
    std::vector<PixelRect> taken;
    taken.swap(canvas.dirty);
    canvas.dirty.reserve(taken.size());
    return taken;
}

bool CanvasHealthy(const PlotCanvas& canvas)
{
    return canvas.cr && cairo_status(canvas.cr) == CAIRO_STATUS_SUCCESS;
}

void ReleaseFontCaches()
{
    cairo_debug_reset_static_data();
#ifndef _WIN32
    // Windows: cairo's fonts come from the system, there is no fontconfig.
    FcFini();
#endif
}

} // namespace analyzer
