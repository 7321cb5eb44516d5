// Process-wide state and the small operations of the main window that every
// part of the program uses.
#include "app/shell.h"

#include <climits>
#include <cmath>

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
    // A calibration or sampling time of zero, below zero or not a number
    // gives no sensible period: the timer then stays stopped instead of
    // firing as fast as the window system allows.
    double period = std::round(double(SerialSettings.sample_time) * 1000.0 /
                               double(SerialSettings.time_calib));
    if (!std::isfinite(period) || period <= 0)
        return;
    ui::StartTimer(period > INT_MAX ? INT_MAX : int(period));
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
    return true;
}
