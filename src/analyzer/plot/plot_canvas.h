// The plot drawing: a cairo image surface owned here, drawn the same way
// for the desktop window, the headless backend, the tests and the bitmap.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analyzer/plot/pixel_view.h"
#include "analyzer/plot/plot_settings.h"
#include "platform/colour.h"

namespace analyzer {

// A channel that the plot draws: one with both ENABLE and PLOT set.
struct PlotChannel {
    int number = 1;        // 1..32, CHnn
    std::string label;     // LABEL
    ui::Colour colour = 0; // PLOT_COLOR, R + 256*G + 65536*B
    int pen_width = 3;     // PLOT_WIDTH in pixels
};

struct PlotCanvas;
struct PlotCanvasDeleter {
    void operator()(PlotCanvas* canvas) const;
};
using PlotCanvasPtr = std::unique_ptr<PlotCanvas, PlotCanvasDeleter>;

// Creates the drawing at its final size, (W + 130) x (H + 130) plus the
// legend's width when PLOT_CH_LABELS is on (widest label + 10, at most
// kPlotSizeMax; the legend is measured first), and draws everything but the traces: white ground,
// frame, grid, axis labels, title, "Time (s)" and the legend of `channels`
// (given in index order). Null with *error set when the surface cannot be
// made.
PlotCanvasPtr CreatePlotCanvas(const PlotSettings& settings,
                               const std::vector<PlotChannel>& channels, std::string* error);

const PlotSettings& CanvasSettings(const PlotCanvas& canvas);

// Size of the drawing: the client size the plot window must give it.
int CanvasWidth(const PlotCanvas& canvas);
int CanvasHeight(const PlotCanvas& canvas);

// The pixels, complete up to the last drawing call. Valid while the canvas lives.
PixelView CanvasPixels(PlotCanvas& canvas);

// Prints `seconds` as "000000.00" at (95, H + 92) over the previous readout.
void DrawTimeReadout(PlotCanvas& canvas, double seconds);
// Prints 20 blanks at the readout's place (and, for a readout wider than
// them, blanks out its whole cell).
void EraseTimeReadout(PlotCanvas& canvas);

// A solid line of `pen_width` pixels (1..10) in `colour` from (x(t0), y(v0))
// to (x(t1), y(v1)), not clipped. Range rules are the caller's; here only a
// point that cannot be placed (see plot_scale.h) stops the segment. True
// when drawn.
bool DrawSegment(PlotCanvas& canvas, double t0, double v0, double t1, double v1, ui::Colour colour,
                 int pen_width);

// The areas changed since the last call (the whole drawing, after
// creation), for the window to refresh only those; none when nothing
// changed. Kept as separate rectangles: the readout at the left edge and
// the new segments at the right edge would otherwise make one rectangle of
// most of the drawing, and a diagonal segment is reported as pieces along
// it. Areas are merged where that adds nothing to refresh; beyond
// kMaxDirtyRects the list becomes its bounding rectangle.
constexpr size_t kMaxDirtyRects = 1024;
std::vector<PixelRect> TakeDirtyRects(PlotCanvas& canvas);

// False once the cairo context has failed (it then draws nothing more).
bool CanvasHealthy(const PlotCanvas& canvas);

// Empties the font caches that cairo and fontconfig keep for the life of
// the process, so that the leak checker of the sanitizer build sees only
// the program's own leaks. Only with no canvas left, and only in a process
// where nothing else uses fontconfig (not under a window system's toolkit).
void ReleaseFontCaches();

} // namespace analyzer
