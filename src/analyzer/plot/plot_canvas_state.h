// What a plot canvas holds, shared by the files that draw on it only.
#pragma once

#include <cairo.h>

#include "analyzer/plot/plot_canvas.h"

namespace analyzer {

struct PlotCanvas {
    PlotSettings settings;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    int width = 0, height = 0;
    std::vector<PixelRect> dirty;
    PixelRect last_readout; // cell of the last readout printed
};

// Draws the parts of the picture that do not change while the plot runs.
void DrawPlotBackground(PlotCanvas& canvas, const std::vector<PlotChannel>& channels);

// Width the legend adds to the drawing (0 with PLOT_CH_LABELS off).
int LegendWidth(const PlotSettings& settings, const std::vector<PlotChannel>& channels);

} // namespace analyzer
