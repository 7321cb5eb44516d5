// The traces of a running plot: one segment per plotted channel and pass,
// from the channel's previous sample to its new one.
#pragma once

#include <vector>

#include "analyzer/plot/plot_canvas.h"

namespace analyzer {

struct TraceState {
    // Previous value of each channel (by number - 1), kept from plot to plot
    // and replaced by the first sample of the next plot.
    std::vector<double> previous_value;
    double previous_time = 0.0; // s
    bool first_sample = true;
};

// A new plot of channels numbered 1..channel_count: previous time 0 and the
// first-sample flag set. So the first sample of a plot started with the
// elapsed time at 0 is a dot at the left edge, and one started a tick later
// is a level line from the left edge.
void BeginTraces(TraceState& state, int channel_count);

// Sample `v` of `channel` at elapsed time `t`: a segment from the previous
// sample when both values lie within PLOT_VALUE_MIN..PLOT_VALUE_MAX, else
// nothing (a gap, never clipped at the range edges); the channel's previous
// value becomes v either way. True when a segment was drawn.
bool DrawSample(PlotCanvas& canvas, TraceState& state, const PlotChannel& channel, double v,
                double t);

// End of a pass: clears the first-sample flag and remembers t.
void FinishPass(TraceState& state, double t);

} // namespace analyzer
