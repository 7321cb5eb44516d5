// The main window: start-up, the general configuration, and the dispatch of
// every command and timer tick to the part that handles it.
#include <climits>
#include <cmath>

#include "app/busy_sign.h"
#include "app/comm_report.h"
#include "app/command_ids.h"
#include "app/config_store.h"
#include "app/line_choice.h"
#include "app/menu.h"
#include "app/menu_strings.h"
#include "app/password.h"
#include "app/setup_commands.h"
#include "app/shell.h"
#include "app/stale_files.h"
#include "app/timing_limits.h"
#include "app/tools.h"
#include "modbus/serial_link.h"
#include "platform/system.h"

namespace app {

namespace {

// Given by the program at start-up; the tools are indexed by CurrentTool - 1.
Parts parts{};

int saved_focus = 0;
ui::Notify current_notification = ui::Notify::Menu;

// Stored numbers are read as their leading decimal number; out-of-range
// values are clamped rather than overflowing the record's fields.
long ToInteger(double v, long lo, long hi)
{
    if (!std::isfinite(v))
        return 0;
    v = std::round(v);
    if (v < double(lo))
        return lo;
    if (v > double(hi))
        return hi;
    return long(v);
}

void OnInit()
{
    ApplyGeneralConfiguration();
    // Once CfgPath is known: its folder may hold leftovers too.
    RemoveStaleTemporaryFiles();
}

const Companion* CompanionOf(int menu_command)
{
    for (const Companion& c : parts.companions)
        if (c.menu_command == menu_command)
            return &c;
    return nullptr;
}

void OnCommand(int id, ui::Notify how)
{
    WaitSign sign(true);
    ui::Notify outer = current_notification;
    current_notification = how;
    if (id == cmd::kExit) {
        ui::CloseMainWindow();
    } else if (int chosen = cmd::ToolOfCommand(id)) {
        WriteConfigKey(IniPath, "TOOL", parts.tools[size_t(chosen - 1)].word);
        ApplyGeneralConfiguration();
    } else if (const Companion* companion = CompanionOf(id)) {
        companion->open();
    } else if (IsSetupCommand(id)) {
        const bool was_reading = AutoReadActive != 0;
        RunSetupCommand(id);
        // A sampling time that gives no timer period ends Auto Read; the
        // tool's tick, finding it off, ends what ran under it (a plot).
        if (was_reading && !AutoReadActive && CurrentTool >= 1 && CurrentTool <= cmd::kToolCount &&
            parts.tools[CurrentTool - 1].tick)
            parts.tools[CurrentTool - 1].tick();
    } else if (id == cmd::kPassword) {
        SetPassword(0);
    } else {
        for (const Tool& tool : parts.tools)
            for (const auto& r : tool.ranges)
                if (id >= r.first && id <= r.last)
                    tool.command(id);
    }
    current_notification = outer;
}

void OnTimer()
{
    // A tick that falls due in a box the pass showed is dropped, as ticks
    // that fall due while the program is busy are.
    if (AutoReadPassRunning())
        return;
    WaitSign sign(false);
    ElapsedTime += SerialSettings.sample_time;
    if (CurrentTool >= 1 && CurrentTool <= cmd::kToolCount && parts.tools[CurrentTool - 1].tick)
        RunAutoReadPass(parts.tools[CurrentTool - 1].tick);
    // Auto Read is off (switched off, or stopped by a communication error):
    // the ticks to come would do nothing, so the timer rests until Auto Read
    // restarts it. Only ElapsedTime would have grown meanwhile, and every
    // reader of it runs under Auto Read, whose start sets it to 0.
    if (!AutoReadActive)
        ui::RestTimer();
}

void OnMenuHighlight(int id)
{
    const char* text = MenuHelpText(id);
    ShowStatus(text ? text : "Ready", 0);
}

// Both numbers in one rewrite: a move changes both.
void OnMoved(int x_dlu, int y_dlu)
{
    WriteConfigKeys(IniPath,
                    {{"MAIN_POS_X", std::to_string(x_dlu)}, {"MAIN_POS_Y", std::to_string(y_dlu)}});
}

// Windows of a tool may outlive its panel: every part hears of each window,
// and heeds only its own.
template <typename Event, typename... Args>
void TellParts(Event WindowHandlers::*event, Args... args)
{
    for (const Tool& tool : parts.tools)
        if (tool.windows.*event)
            (tool.windows.*event)(args...);
    for (const Companion& c : parts.companions)
        if (c.windows.*event)
            (c.windows.*event)(args...);
}

void OnWindowCommand(int window, int command)
{
    TellParts(&WindowHandlers::command, window, command);
}
void OnWindowRefresh(int window) { TellParts(&WindowHandlers::refresh, window); }
void OnWindowClosed(int window) { TellParts(&WindowHandlers::closed, window); }

void OnActivate(bool active)
{
    if (!active) {
        saved_focus = ui::GetFocus();
        return;
    }
    if (saved_focus != 0) {
        int id = saved_focus;
        saved_focus = 0;
        ui::SetFocus(id);
        ui::Redraw(0);
    }
}

} // namespace

ui::Notify CurrentNotification() { return current_notification; }

void ApplyGeneralConfiguration()
{
    CfgPath = ReadConfigKey(IniPath, "CFG_FILE");
    serial::LineSettings& line = SerialSettings.line;
    line.port = int16_t(
        ToInteger(strings::ParseNumber(ReadConfigKey(CfgPath, "SERIAL_PORT")), SHRT_MIN, SHRT_MAX));
    line.baud = int32_t(
        ToInteger(strings::ParseNumber(ReadConfigKey(CfgPath, "SERIAL_BAUD")), INT_MIN, INT_MAX));
    line.parity = serial::ParityFromCode(int(ToInteger(
        strings::ParseNumber(ReadConfigKey(CfgPath, "SERIAL_PARITY")), SHRT_MIN, SHRT_MAX)));
    line.SetNet(StoredNetworkLine());
    // Clamped: a hand-edited time-out of a day (or one too long to count)
    // would hold the one thread in a reply wait.
    SerialSettings.timeout =
        ClampedTiming(kTimeoutRange, strings::ParseNumber(ReadConfigKey(CfgPath, "TIMEOUT")));
    SerialSettings.sample_time = ClampedTiming(
        kSampleTimeRange, strings::ParseNumber(ReadConfigKey(CfgPath, "SAMPLE_TIME")));
    SerialSettings.time_calib =
        ClampedTiming(kTimeCalibRange, strings::ParseNumber(ReadConfigKey(CfgPath, "TIME_CALIB")));

    modbus::ClosePort();

    if (CurrentTool >= 1 && CurrentTool <= cmd::kToolCount)
        parts.tools[CurrentTool - 1].close();

    std::string word = ReadConfigKey(IniPath, "TOOL");
    for (int i = 0; i < cmd::kToolCount; ++i) {
        if (word == parts.tools[i].word) {
            CurrentTool = int16_t(i + 1);
            parts.tools[i].open();
            break;
        }
    }

    for (int tool = 1; tool <= cmd::kToolCount; ++tool)
        ui::CheckMenuItem(cmd::ToolCommand(tool), tool == CurrentTool);
    ShowLineChoice();
}

bool StartProgram(const Parts& program_parts)
{
    parts = program_parts;
    modbus::SetFailureReporter(ReportCommFailure);
    if (!VerifyPassword(0))
        return false;

    IniPath = sys::WorkingDirectory() + kPathSeparator + "RegScope.ini";
    modbus::SetPortFolder(sys::WorkingDirectory());
    if (!sys::IsRegularFile(IniPath))
        CreateDefaultFiles();

    ui::EventSink sink;
    sink.on_init = OnInit;
    sink.on_command = OnCommand;
    sink.on_timer = OnTimer;
    sink.on_menu_highlight = OnMenuHighlight;
    sink.on_moved = OnMoved;
    sink.on_activate = OnActivate;
    sink.on_window_command = OnWindowCommand;
    sink.on_window_refresh = OnWindowRefresh;
    sink.on_window_closed = OnWindowClosed;
    ui::SetEventSink(sink);

    int x = int(ToInteger(strings::ParseNumber(ReadConfigKey(IniPath, "MAIN_POS_X")), INT_MIN / 2,
                          INT_MAX / 2));
    int y = int(ToInteger(strings::ParseNumber(ReadConfigKey(IniPath, "MAIN_POS_Y")), INT_MIN / 2,
                          INT_MAX / 2));
    ui::CreateMainWindow("RegScope", x, y, 400, 280, BuildMainMenu(), MainAccelerators());
    return true;
}

} // namespace app
