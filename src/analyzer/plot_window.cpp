// The plot window: starting and stopping a plot, feeding it the samples of
// each acquisition pass, and the windows of earlier plots that stay open.
#include "analyzer/plot_window.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <map>
#include <optional>

#include "analyzer/analyzer_ids.h"
#include "analyzer/channel_store.h"
#include "analyzer/plot/plot_canvas.h"
#include "analyzer/plot/plot_log.h"
#include "analyzer/plot/plot_trace.h"
#include "analyzer/plot_current.h"
#include "app/config_store.h"
#include "app/forms/field_access.h"
#include "app/forms/shared_boxes.h"
#include "app/password_store.h"
#include "app/shell.h"
#include "platform/system.h"

namespace analyzer {

namespace {

const char* const kWindowTitle = "RegScope [Plot values]";
const char* const kLogTitle = "Plot log file";

struct PlotState {
    bool running = false;
    TraceState traces;
    bool log_enable = false;
    bool log_overwrite = false;
    PlotLogPtr log; // open only while the plot that opened it runs
    // The channels the plot draws, fixed at its start, by channel index.
    std::array<std::optional<PlotChannel>, kChannelCount> plotted;
    // The current plot window and its drawing; the drawing outlives the
    // plot so that the window keeps showing it and Save to bmp can write it.
    int window = 0;
    PlotCanvasPtr canvas;
};

PlotState state;

// Drawings of earlier plots whose windows are still open: each window
// shows its plot's buffer until the user closes it.
std::map<int, PlotCanvasPtr> earlier;

int IniPosition(const char* key)
{
    const double v = strings::ParseNumber(app::ReadConfigKey(app::IniPath, key));
    if (!std::isfinite(v))
        return 0;
    return int(std::clamp(std::round(v), double(INT_MIN / 2), double(INT_MAX / 2)));
}

// A new plot opens where the last one stood at its stop; the default 0, 0
// is no place the user chose (it puts the plot over the form's buttons), so
// a file that still holds it opens the plot beside the main window. An
// earlier plot window still standing there would be hidden exactly under
// the new one: the new one steps down and right of it.
constexpr int kCascadePx = 24;

int OpenPlacedWindow(int w, int h)
{
    int x = IniPosition("PLOT_POS_X"), y = IniPosition("PLOT_POS_Y");
    const bool beside = x == 0 && y == 0;
    const int window = ui::CreateImageWindow(kWindowTitle, w, h, beside ? -1 : x, beside ? -1 : y);
    if (window == 0)
        return 0;
    ui::GetImageWindowPosition(window, &x, &y);
    bool moved = false;
    for (bool covered = true; covered;) {
        covered = false;
        for (const auto& entry : earlier) {
            int ex = 0, ey = 0;
            ui::GetImageWindowPosition(entry.first, &ex, &ey);
            if (ui::ImageWindowExists(entry.first) && ex == x && ey == y) {
                x += kCascadePx;
                y += kCascadePx;
                covered = moved = true;
            }
        }
    }
    if (moved)
        ui::MoveImageWindow(window, x, y);
    return window;
}

std::vector<PlotChannel> PlottedChannels()
{
    std::vector<PlotChannel> out;
    const ChannelTable& table = Channels();
    for (int i = 0; i < kChannelCount; ++i) {
        const AnalyzerChannel& c = table[size_t(i)];
        if (c.enable != 0 && c.plot != 0)
            out.push_back({i + 1, c.label, c.plot_color, c.plot_width});
    }
    return out;
}

void RefreshChanged()
{
    if (!state.canvas)
        return;
    const std::vector<PixelRect> dirty = TakeDirtyRects(*state.canvas);
    if (state.window == 0)
        return;
    for (const PixelRect& r : dirty)
        ui::RefreshImageRect(state.window, r.x, r.y, r.width, r.height);
}

// The current drawing becomes an earlier one while its window is open.
void RetireCurrentDrawing()
{
    if (state.canvas && state.window != 0 && ui::ImageWindowExists(state.window))
        earlier[state.window] = std::move(state.canvas);
    state.canvas.reset();
    state.window = 0;
}

// A log that cannot be written any more is closed, keeping what reached it;
// the plot goes on without it.
void LogFailed(const std::string& reason)
{
    const std::string path = PlotLogPath(*state.log);
    state.log.reset();
    ShowPlotFileError("The plot log file could not be written; logging has stopped.", path, reason,
                      kLogTitle);
}

void OpenLog(const PlotSettings& settings, const std::vector<PlotChannel>& channels)
{
    const PlotLogPlace place{settings.log_file, settings.log_overwrite, ProgramOwnFiles()};
    PlotLogProblem problem;
    state.log = OpenPlotLog(place, sys::Now(), channels, &problem);
    if (state.log)
        return;
    ShowPlotFileError(problem.not_replaced
                          ? "The plot log file was not replaced; the plot runs without a log."
                          : "The plot log file could not be created; the plot runs without it.",
                      problem.path, problem.reason, kLogTitle);
}

} // namespace

bool PlotRunning() { return state.running; }

bool PlotTimeUp(double t)
{
    return state.running && state.canvas && CanvasSettings(*state.canvas).time_max <= t;
}

void StartPlot()
{
    if (state.running)
        return;
    const PlotSettings settings = ReadPlotSettings(
        [](const std::string& key) { return app::ReadConfigKey(app::CfgPath, key); });
    state.log_enable = settings.log_enable;
    state.log_overwrite = settings.log_overwrite;
    const std::vector<PlotChannel> channels = PlottedChannels();

    std::string error;
    PlotCanvasPtr canvas = CreatePlotCanvas(settings, channels, &error);
    if (!canvas) {
        forms::ShowError("The plot cannot be drawn: " + error, kWindowTitle);
        return;
    }
    RetireCurrentDrawing();
    state.canvas = std::move(canvas);
    const int w = CanvasWidth(*state.canvas), h = CanvasHeight(*state.canvas);
    state.window = OpenPlacedWindow(w, h);
    if (state.window != 0) {
        const PixelView px = CanvasPixels(*state.canvas);
        ui::SetImagePixels(state.window, reinterpret_cast<const uint32_t*>(px.data), px.width,
                           px.height, px.stride);
        ui::AllowImageWindowClose(state.window, false);
        ui::ShowImageWindow(state.window);
    }
    RefreshChanged();

    state.plotted = {};
    for (const PlotChannel& c : channels)
        state.plotted[size_t(c.number - 1)] = c;
    if (settings.log_enable)
        OpenLog(settings, channels);

    forms::SetFieldText(kPlotStartId, "Plot Stop");
    BeginTraces(state.traces, kChannelCount);
    state.running = true;
}

void StopPlot()
{
    if (!state.running)
        return;
    if (state.log) {
        std::string error;
        const std::string path = PlotLogPath(*state.log);
        if (!ClosePlotLog(std::move(state.log), &error))
            ShowPlotFileError("The plot log file could not be completed.", path, error, kLogTitle);
    }
    state.log.reset();
    if (state.window != 0) {
        int x = 0, y = 0;
        ui::GetImageWindowPosition(state.window, &x, &y);
        app::WriteConfigKey(app::IniPath, "PLOT_POS_X", std::to_string(x));
        app::WriteConfigKey(app::IniPath, "PLOT_POS_Y", std::to_string(y));
    }
    EraseTimeReadout(*state.canvas);
    RefreshChanged();
    if (state.window != 0)
        ui::AllowImageWindowClose(state.window, true);
    forms::SetFieldText(kPlotStartId, "Plot Start");
    state.running = false;
}

void PlotPassBegin(double t)
{
    if (!state.running)
        return;
    DrawTimeReadout(*state.canvas, t);
    std::string error;
    if (state.log && !WritePlotLogRecordStart(*state.log, t, &error))
        LogFailed(error);
}

void PlotChannelSample(int index, double value, const std::string& text)
{
    // Only the channels the plot started with: its log header names them.
    if (!state.running || index < 0 || index >= kChannelCount || !state.plotted[size_t(index)])
        return;
    DrawSample(*state.canvas, state.traces, *state.plotted[size_t(index)], value, app::ElapsedTime);
    std::string error;
    if (state.log && !WritePlotLogValue(*state.log, text, &error))
        LogFailed(error);
}

void PlotPassEnd(double t)
{
    if (!state.running)
        return;
    FinishPass(state.traces, t);
    std::string error;
    if (state.log && !FlushPlotLog(*state.log, &error))
        LogFailed(error);
    RefreshChanged();
}

void PlotWindowClosed(int window)
{
    earlier.erase(window);
    if (window != state.window)
        return;
    // Its close command is refused while the plot runs; should a window
    // system close it all the same, the plot goes on without a window.
    state.window = 0;
    if (!state.running)
        state.canvas.reset();
}

void ReleasePlotWindows()
{
    state.running = false;
    state.log.reset();
    for (const auto& [window, canvas] : earlier)
        ui::DestroyImageWindow(window);
    earlier.clear();
    if (state.window != 0)
        ui::DestroyImageWindow(state.window);
    state.window = 0;
    state.canvas.reset();
    ReleaseFontCaches();
}

bool CurrentPlotPixels(PixelView* pixels)
{
    if (state.window == 0 || !state.canvas)
        return false;
    *pixels = CanvasPixels(*state.canvas);
    return true;
}

void ReloadPlotLogFlags()
{
    state.log_enable =
        strings::ParseNumber(app::ReadConfigKey(app::CfgPath, "PLOT_LOG_ENABLE")) != 0.0;
    state.log_overwrite =
        strings::ParseNumber(app::ReadConfigKey(app::CfgPath, "PLOT_LOG_OVERWRITE")) != 0.0;
}

std::vector<std::string> ProgramOwnFiles()
{
    return {app::IniPath, app::CfgPath, app::PasswordStorePath(0)};
}

void ShowPlotFileError(const std::string& what, const std::string& path, const std::string& reason,
                       const std::string& title)
{
    forms::ShowError(what + "\r" + path + "\r" + reason, title);
}

} // namespace analyzer
