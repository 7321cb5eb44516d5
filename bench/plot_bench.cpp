// What a plot start costs with the default and the densest grid, and what
// one acquisition pass costs the plot with 32 plotted channels: the
// drawing plus the refresh of the area it reports, beside a refresh of the
// whole drawing in the same run; whether that cost and the memory stay flat
// over 10 000 passes; and Save to bmp of a 5000 x 5000 plot (time, peak
// memory). Prints figures and ratios, asserts nothing.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "analyzer/plot/bmp_writer.h"
#include "analyzer/plot/plot_trace.h"

using namespace analyzer;

namespace {

double CpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

double WallSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

// A /proc/self/status field in MiB (VmRSS, VmHWM).
double StatusMiB(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, n, field) == 0 && line[n] == ':')
            return std::atof(line.c_str() + n + 1) / 1024.0;
    return 0;
}

void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The window's copy of the drawing; a refresh copies a rectangle into it,
// as a blit to the screen would.
struct Window {
    std::vector<uint8_t> pixels;
    void Refresh(const PixelView& v, const PixelRect& r)
    {
        if (pixels.size() != size_t(v.stride) * size_t(v.height))
            pixels.assign(size_t(v.stride) * size_t(v.height), 0);
        for (int y = r.y; y < r.y + r.height; ++y)
            std::memcpy(pixels.data() + size_t(y) * size_t(v.stride) + 4 * size_t(r.x),
                        v.data + size_t(y) * size_t(v.stride) + 4 * size_t(r.x),
                        4 * size_t(r.width));
    }
};

struct Plot {
    PlotCanvasPtr canvas;
    TraceState traces;
    std::vector<PlotChannel> channels;
    Window window;
    int pass = 0;
};

Plot StartPlot(int width, int height, double time_max)
{
    PlotSettings s;
    s.width = width;
    s.height = height;
    s.time_max = time_max;
    Plot p;
    for (int c = 1; c <= 32; ++c)
        p.channels.push_back(
            {c, "Channel " + std::to_string(c), ui::Rgb(c * 7, 255 - c * 7, c * 3), 1 + c % 3});
    std::string error;
    p.canvas = CreatePlotCanvas(s, p.channels, &error);
    if (!p.canvas) {
        std::fprintf(stderr, "cannot create the plot: %s\n", error.c_str());
        std::exit(1);
    }
    BeginTraces(p.traces, 32);
    for (const PixelRect& r : TakeDirtyRects(*p.canvas))
        p.window.Refresh(CanvasPixels(*p.canvas), r);
    return p;
}

enum class Refresh { Changed, Whole, None };

// One pass: readout, 32 samples, refresh of what changed (or of everything, or nothing).
void Pass(Plot& p, Refresh refresh)
{
    const double t = p.pass;
    DrawTimeReadout(*p.canvas, t);
    for (const PlotChannel& ch : p.channels)
        DrawSample(*p.canvas, p.traces, ch, 500 + 450 * std::sin(t * 0.2 + ch.number), t);
    FinishPass(p.traces, t);
    PixelView v = CanvasPixels(*p.canvas);
    const std::vector<PixelRect> dirty = TakeDirtyRects(*p.canvas);
    if (refresh == Refresh::Whole)
        p.window.Refresh(v, {0, 0, v.width, v.height});
    else if (refresh == Refresh::Changed)
        for (const PixelRect& r : dirty)
            p.window.Refresh(v, r);
    ++p.pass;
}

// CPU microseconds per pass over `passes` passes of a fresh plot.
double PassCost(int width, int height, int passes, Refresh refresh)
{
    Plot p = StartPlot(width, height, passes);
    const double t0 = CpuSeconds();
    for (int i = 0; i < passes; ++i)
        Pass(p, refresh);
    return (CpuSeconds() - t0) / passes * 1e6;
}

} // namespace

// CPU seconds to create (draw the still part of) a plot of w x h with the
// given main divisions and subdivisions on both axes.
double StartCost(int w, int h, int div, int subdiv)
{
    PlotSettings s;
    s.width = w;
    s.height = h;
    s.div_x = s.div_y = div;
    s.subdiv_x = s.subdiv_y = subdiv;
    const double t0 = CpuSeconds();
    std::string error;
    PlotCanvasPtr canvas = CreatePlotCanvas(s, {{1, "CH01", 0, 3}}, &error);
    return canvas ? CpuSeconds() - t0 : -1;
}

int main()
{
    std::printf("Plot start (CPU time of drawing the grid, labels and legend)\n");
    const double start_default = StartCost(800, 600, 20, 2);
    const double start_big = StartCost(5000, 5000, 20, 2);
    const double start_dense = StartCost(5000, 5000, 100, 100);
    std::printf("  800 x 600, default grid:            %8.1f ms\n", start_default * 1e3);
    std::printf("  5000 x 5000, default grid:          %8.1f ms (x%.1f)\n", start_big * 1e3,
                start_big / start_default);
    std::printf("  5000 x 5000, 100 x 100 subdivisions: %7.1f ms (x%.1f)\n\n", start_dense * 1e3,
                start_dense / start_default);

    std::printf(
        "Plot pass with 32 plotted channels (CPU time; a plot of 60 passes on a 60 s axis)\n");
    const double small = PassCost(800, 600, 60, Refresh::Changed);
    const double small_whole = PassCost(800, 600, 60, Refresh::Whole);
    const double small_draw = PassCost(800, 600, 60, Refresh::None);
    const double big = PassCost(5000, 5000, 60, Refresh::Changed);
    const double big_whole = PassCost(5000, 5000, 60, Refresh::Whole);
    const double big_draw = PassCost(5000, 5000, 60, Refresh::None);
    std::printf(
        "  800 x 600:    %8.1f us/pass (drawing alone %.1f), whole-surface refresh %8.1f us/pass "
        "(ratio %.3f)\n",
        small, small_draw, small_whole, small / small_whole);
    std::printf(
        "  5000 x 5000:  %8.1f us/pass (drawing alone %.1f), whole-surface refresh %8.1f us/pass "
        "(ratio %.3f)\n",
        big, big_draw, big_whole, big / big_whole);
    std::printf("  5000 x 5000 against 800 x 600: %.2f x\n\n", big / small);

    for (auto [w, h] : {std::pair{800, 600}, std::pair{5000, 5000}}) {
        std::printf("10 000 passes at %d x %d on a 10 000 s axis, per block of 1000 passes:\n", w,
                    h);
        Plot p = StartPlot(w, h, 10000);
        double first = 0;
        for (int block = 0; block < 10; ++block) {
            const double t0 = CpuSeconds();
            for (int i = 0; i < 1000; ++i)
                Pass(p, Refresh::Changed);
            const double us = (CpuSeconds() - t0) / 1000 * 1e6;
            if (block == 0)
                first = us;
            std::printf("  block %2d: %7.1f us/pass (x%.2f of block 0), RSS %7.1f MiB\n", block, us,
                        us / first, StatusMiB("VmRSS"));
        }
    }

    std::printf("\nSave to bmp of a 5000 x 5000 plot (5130 x 5130 plus legend)\n");
    Plot p = StartPlot(5000, 5000, 60);
    for (int i = 0; i <= 60; ++i)
        Pass(p, Refresh::Changed);
    p.window.pixels.clear();
    p.window.pixels.shrink_to_fit();
    char dir[] = "/tmp/regscope-bench-XXXXXX";
    if (!mkdtemp(dir))
        return 1;
    const std::string path = std::string(dir) + "/plot.bmp";
    PixelView v = CanvasPixels(*p.canvas);
    const double image_mib = double(v.stride) * v.height / 1048576.0;
    // Reference in the same run: one plain copy of the surface.
    double t0 = WallSeconds();
    std::vector<uint8_t> copy(v.data, v.data + size_t(v.stride) * size_t(v.height));
    const double copy_s = WallSeconds() - t0;
    copy.clear();
    copy.shrink_to_fit();
    const double rss = StatusMiB("VmRSS");
    ResetPeakMemory();
    t0 = WallSeconds();
    const double c0 = CpuSeconds();
    std::string error;
    const bool ok = WriteBmpFile(path, v, &error);
    const double save_s = WallSeconds() - t0, save_cpu = CpuSeconds() - c0;
    const double peak = StatusMiB("VmHWM") - rss;
    std::printf("  %s: %.0f ms wall, %.0f ms CPU (x%.1f of one copy of the surface in memory)\n",
                ok ? "written" : error.c_str(), save_s * 1e3, save_cpu * 1e3, save_s / copy_s);
    std::printf("  surface %.1f MiB; peak memory during the save %+.2f MiB (%.3f of the surface)\n",
                image_mib, peak, peak / image_mib);
    unlink(path.c_str());
    rmdir(dir);
    return 0;
}
