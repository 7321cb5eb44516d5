// Process-wide state and the small operations of the main window that every
// part of the program uses.
#include "app/shell.h"

#include "app/timing_limits.h"

namespace app {

SerialSettingsRecord SerialSettings;
std::string IniPath;
std::string CfgPath;
int16_t CurrentTool = 0;
int16_t AutoReadActive = 0;
double ElapsedTime = 0;

void ShowStatus(const std::string& text, ui::Colour colour)
{
    ui::SetStatus(text, colour == 0 ? StatusColour : colour);
}

namespace {
bool pass_running = false;
}

void RunAutoReadPass(void (*pass)())
{
    const bool outer = pass_running;
    pass_running = true;
    pass();
    pass_running = outer;
}

bool AutoReadPassRunning() { return pass_running; }

void CheckMenuRange(int first, int count, int checked)
{
    for (int command = first; command < first + count; ++command)
        ui::CheckMenuItem(command, command == checked);
}

void RestartAutoReadTimer()
{
    if (!AutoReadActive)
        return;
    ui::StopTimer();
    ElapsedTime = 0;
    // A calibration or sampling time of zero or below gives no period: the
    // timer stays stopped instead of firing as fast as the window system
    // allows, and Auto Read stops with the reason rather than claim to be
    // active while nothing is read.
    int period_ms = AutoReadPeriodMs();
    if (period_ms == 0) {
        AutoReadActive = 0;
        ui::MessageBox("Auto read cannot run: the sampling time (SAMPLE_TIME) divided by the time "
                       "calibration (TIME_CALIB) gives no timer period of 1 ms or more.",
                       "Auto read", ui::Icon::Stop, ui::Buttons::Ok);
        ShowStatus("Ready", 0);
        return;
    }
    ui::StartTimer(period_ms);
}

bool SwitchAutoRead()
{
    if (AutoReadActive) {
        // The timer keeps running; its ticks would do nothing while the flag
        // is off, so it need not wake the program for them.
        AutoReadActive = 0;
        ui::RestTimer();
        ShowStatus("Ready", 0);
        return false;
    }
    AutoReadActive = 1;
    RestartAutoReadTimer();
    return AutoReadActive != 0;
}

} // namespace app
