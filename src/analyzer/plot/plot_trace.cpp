#include "analyzer/plot/plot_trace.h"

#include "analyzer/plot/plot_scale.h"

namespace analyzer {

void BeginTraces(TraceState& state, int channel_count)
{
    state.previous_value.resize(size_t(channel_count));
    state.previous_time = 0.0;
    state.first_sample = true;
}

bool DrawSample(PlotCanvas& canvas, TraceState& state, const PlotChannel& channel, double v,
                double t)
{
    if (channel.number < 1 || size_t(channel.number) > state.previous_value.size())
        return false;
    double& previous = state.previous_value[size_t(channel.number - 1)];
    if (state.first_sample)
        previous = v;
    const PlotSettings& s = CanvasSettings(canvas);
    bool drawn = false;
    if (ValueInRange(s, previous) && ValueInRange(s, v))
        drawn = DrawSegment(canvas, state.previous_time, previous, t, v, channel.colour,
                            channel.pen_width);
    previous = v;
    return drawn;
}

void FinishPass(TraceState& state, double t)
{
    state.first_sample = false;
    state.previous_time = t;
}

} // namespace analyzer
