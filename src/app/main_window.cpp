// The main window: start-up, the general configuration, and the dispatch of
// every command and timer tick to the part that handles it.
#include <climits>
#include <cmath>

#include "app/config_store.h"
#include "app/menu.h"
#include "app/password.h"
#include "app/setup_commands.h"
#include "app/shell.h"
#include "app/stale_files.h"
#include "app/timing_limits.h"
#include "app/tools.h"
#include "modbus/serial_link.h"
#include "platform/system.h"
#include "resources/menu_strings.h"

namespace {

struct Tool {
    const char* word; // value of TOOL in RegScope.ini
    void (*open)();
    void (*close)();
    void (*command)(int id);
    void (*tick)();
    struct Range {
        int first, last;
    } ranges[2];
};

// Indexed by CurrentTool - 1.
const Tool kTools[] = {
    {"MODULE_CFG", ConfigureModuleOpen, ConfigureModuleClose, ConfigureModuleCommand, nullptr,
     {{10000, 10999}, {0, -1}}},
    // Identification 20000..20999, then one block per module panel.
    {"MODULE_TEST", TestModuleOpen, TestModuleClose, TestModuleCommand, TestModuleTick,
     {{20000, 26999}, {40000, 41999}}},
    {"FUNCTION_TEST", TestFunctionOpen, TestFunctionClose, TestFunctionCommand, TestFunctionTick,
     {{50000, 59999}, {0, -1}}},
    {"ANALYZER", AnalyzerOpen, AnalyzerClose, AnalyzerCommand, AnalyzerTick,
     {{60000, 60999}, {0, -1}}},
};

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

void OnCommand(int id, ui::Notify how)
{
    ui::Notify outer = current_notification;
    current_notification = how;
    if (id == 1301) {
        ui::CloseMainWindow();
    } else if (id >= 2101 && id <= 2104) {
        WriteConfigKey(IniPath, "TOOL", kTools[id - 2101].word);
        ApplyGeneralConfiguration();
    } else if (id == 1101 || id == 1201 || (id >= 3101 && id <= 3108) || id == 3201 ||
               (id >= 3301 && id <= 3304) || id == 3401 || id == 3501 || id == 3601 ||
               id == 4101) {
        RunSetupCommand(id);
    } else if (id == 3701) {
        SetPassword(0);
    } else {
        for (const Tool& tool : kTools)
            for (const auto& r : tool.ranges)
                if (id >= r.first && id <= r.last)
                    tool.command(id);
    }
    current_notification = outer;
}

void OnTimer()
{
    ElapsedTime += SerialSettings.sample_time;
    if (CurrentTool >= 1 && CurrentTool <= 4 && kTools[CurrentTool - 1].tick)
        kTools[CurrentTool - 1].tick();
}

void OnMenuHighlight(int id)
{
    const char* text = MenuHelpText(id);
    ShowStatus(text ? text : "Ready", 0);
}

void OnMoved(int x_dlu, int y_dlu)
{
    WriteConfigKey(IniPath, "MAIN_POS_X", std::to_string(x_dlu));
    WriteConfigKey(IniPath, "MAIN_POS_Y", std::to_string(y_dlu));
}

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
    SerialSettings.port = int16_t(ToInteger(ParseNumber(ReadConfigKey(CfgPath, "SERIAL_PORT")),
                                            SHRT_MIN, SHRT_MAX));
    SerialSettings.baud = int32_t(ToInteger(ParseNumber(ReadConfigKey(CfgPath, "SERIAL_BAUD")),
                                            INT_MIN, INT_MAX));
    SerialSettings.parity = int16_t(
        ToInteger(ParseNumber(ReadConfigKey(CfgPath, "SERIAL_PARITY")), SHRT_MIN, SHRT_MAX));
    // Clamped: a hand-edited time-out of a day (or one too long to count)
    // would hold the one thread in a reply wait.
    SerialSettings.timeout =
        ClampedTiming(kTimeoutRange, ParseNumber(ReadConfigKey(CfgPath, "TIMEOUT")));
    SerialSettings.sample_time =
        ClampedTiming(kSampleTimeRange, ParseNumber(ReadConfigKey(CfgPath, "SAMPLE_TIME")));
    SerialSettings.time_calib =
        ClampedTiming(kTimeCalibRange, ParseNumber(ReadConfigKey(CfgPath, "TIME_CALIB")));

    ClosePort();

    if (CurrentTool >= 1 && CurrentTool <= 4)
        kTools[CurrentTool - 1].close();

    std::string word = ReadConfigKey(IniPath, "TOOL");
    for (int i = 0; i < 4; ++i) {
        if (word == kTools[i].word) {
            CurrentTool = int16_t(i + 1);
            kTools[i].open();
            break;
        }
    }

    CheckMenuRange(2101, 4, 2100 + CurrentTool);
    CheckMenuRange(3101, 8, 3100 + SerialSettings.port);
    CheckMenuRange(3301, 4, 3301 + SerialSettings.parity);
    ui::SetTitle("RegScope [" + AbbreviatePath(CfgPath) + "]");
}

bool StartProgram()
{
    if (!VerifyPassword(0))
        return false;

    IniPath = sys::WorkingDirectory() + kPathSeparator + "RegScope.ini";
    SetPortFolder(sys::WorkingDirectory());
    if (!sys::IsRegularFile(IniPath))
        CreateDefaultFiles();

    ui::EventSink sink;
    sink.on_init = OnInit;
    sink.on_command = OnCommand;
    sink.on_timer = OnTimer;
    sink.on_menu_highlight = OnMenuHighlight;
    sink.on_moved = OnMoved;
    sink.on_activate = OnActivate;
    ui::SetEventSink(sink);

    int x = int(ToInteger(ParseNumber(ReadConfigKey(IniPath, "MAIN_POS_X")), INT_MIN / 2, INT_MAX / 2));
    int y = int(ToInteger(ParseNumber(ReadConfigKey(IniPath, "MAIN_POS_Y")), INT_MIN / 2, INT_MAX / 2));
    ui::CreateMainWindow("RegScope", x, y, 400, 280, BuildMainMenu(), MainAccelerators());
    return true;
}
