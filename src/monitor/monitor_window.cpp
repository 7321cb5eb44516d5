// The communication monitor's window and what its buttons do.
#include "monitor/monitor_window.h"

#include "modbus/capture.h"
#include "monitor/monitor_lines.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace monitor {

namespace {

// A settings line and the two frames of every transaction the capture keeps.
constexpr size_t kMaxLines = 3 * modbus::kDefaultCaptureCapacity;
// Often enough to look live, seldom enough that a busy line costs a few
// repaints a second and not one per frame.
constexpr int kRefreshMs = 66;
const char* const kTitle = "RegScope [Communication monitor]";
const char* const kSaveTitle = "Save monitor lines";

struct State {
    int window = 0;
    bool paused = false;
    Cursor cursor;
    // The statistics shown are those of this many transactions since the
    // last clear; they are built again only when it changes.
    uint64_t shown_next = ~uint64_t(0);
    // The monitor switched the capture on, and switches it off when it
    // closes; a capture someone else wanted (a trace) stays on.
    bool owns_capture = false;
};

State state;

void ShowStatistics(bool always)
{
    uint64_t next = modbus::CaptureNextSequence();
    if (!always && next == state.shown_next)
        return;
    state.shown_next = next;
    ui::SetLineWindowNote(state.window, StatisticsText(modbus::CaptureStatistics()));
}

void Refresh()
{
    if (!state.paused)
        ui::AppendLines(state.window, TakeNewLines(&state.cursor));
    ShowStatistics(false);
}

void TogglePause()
{
    state.paused = !state.paused;
    ui::SetLineWindowButtonText(state.window, kPauseCommand, state.paused ? "Resume" : "Pause");
    Refresh();
}

void Clear()
{
    modbus::ClearCapture();
    state.cursor = CursorFromNow();
    ui::ClearLines(state.window);
    ShowStatistics(true);
}

// Each line of the statistics as a comment line after the frames.
std::string StatisticsComment()
{
    std::string text = StatisticsText(modbus::CaptureStatistics());
    std::string out = "# ";
    for (char c : text)
        out += c == '\n' ? std::string("\n# ") : std::string(1, c);
    return out + '\n';
}

void Save()
{
    Refresh();
    ui::FileDialogSpec spec;
    spec.save = true;
    spec.title = kSaveTitle;
    spec.file_name = "monitor.txt";
    spec.filters = {{"Text file (*.txt)", "*.txt"}, {"All files (*.*)", "*.*"}};
    spec.default_ext = "txt";
    std::string path;
    unsigned flags = 0;
    if (!ui::FileDialog(spec, &path, &flags))
        return;
    // The window may have closed while the dialog was open.
    if (!state.window)
        return;
    std::string error;
    if (!sys::WriteFileAtomic(path, ui::LinesText(state.window) + StatisticsComment(), &error))
        ui::MessageBox("Cannot save " + path + ":\r" + error, kSaveTitle, ui::Icon::Stop,
                       ui::Buttons::Ok);
}

void Forget()
{
    if (state.owns_capture)
        modbus::SetCaptureEnabled(false);
    state = State{};
}

} // namespace

void OpenMonitor()
{
    if (state.window && ui::LineWindowExists(state.window)) {
        ui::ShowLineWindow(state.window);
        return;
    }
    // A window that went with the main window of an earlier run.
    Forget();
    ui::LineWindowSpec spec;
    spec.title = kTitle;
    spec.client_w_px = 800;
    spec.client_h_px = 290;
    spec.buttons = {{kPauseCommand, "Pause"}, {kClearCommand, "Clear"}, {kSaveCommand, "Save..."}};
    spec.max_lines = kMaxLines;
    spec.note_lines = 2;
    spec.refresh_ms = kRefreshMs;
    int window = ui::CreateLineWindow(spec);
    if (!window)
        return;
    state = State{};
    state.window = window;
    state.owns_capture = !modbus::CaptureEnabled();
    modbus::SetCaptureEnabled(true);
    // What was recorded while it was open before is shown again.
    Refresh();
    ui::ShowLineWindow(window);
}

void CloseMonitor()
{
    if (state.window)
        ui::DestroyLineWindow(state.window);
    Forget();
}

bool MonitorOpen() { return state.window != 0 && ui::LineWindowExists(state.window); }

int MonitorWindowHandle() { return state.window; }

void OnLineWindowCommand(int window, int command)
{
    if (window == 0 || window != state.window)
        return;
    switch (command) {
    case kPauseCommand: TogglePause(); break;
    case kClearCommand: Clear(); break;
    case kSaveCommand: Save(); break;
    default: break;
    }
}

void OnLineWindowRefresh(int window)
{
    if (window != 0 && window == state.window)
        Refresh();
}

void OnLineWindowClosed(int window)
{
    if (window != 0 && window == state.window)
        Forget();
}

} // namespace monitor
