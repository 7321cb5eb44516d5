// Process-wide state of the program and the operations of the main window
// that every part uses.
#pragma once

#include <cstdint>
#include <string>

#include "app/tools.h"
#include "platform/serial_line.h"
#include "platform/ui.h"

namespace app {

// In-memory copy of the general settings of the .cfg file, read by the serial
// link at each port opening and transaction.
struct SerialSettingsRecord {
    serial::LineSettings line; // SERIAL_PORT, SERIAL_BAUD, SERIAL_PARITY
    float timeout = 1.0f;      // s, reply time-out
    float sample_time = 1.0f;  // s, auto-read period before calibration
    float time_calib = 1.0f;   // divisor of the auto-read timer period
};

extern SerialSettingsRecord SerialSettings;
extern std::string IniPath; // fixed at start-up
extern std::string CfgPath; // value of CFG_FILE
extern int16_t CurrentTool; // 0 none, 1 Configure module, 2 Test module, 3 Test function, 4
                            // Analyzer, 5 Scan bus
extern int16_t AutoReadActive;
extern double ElapsedTime; // s, nominal acquisition time

constexpr ui::Colour PanelColour = ui::Rgb(240, 240, 240);
constexpr ui::Colour StatusColour = ui::Rgb(225, 225, 225);
constexpr ui::Colour FieldColour = ui::Rgb(227, 244, 255);
constexpr ui::Colour ErrorColour = ui::Rgb(255, 150, 150);
constexpr ui::Colour AutoReadBusyColour = ui::Rgb(255, 165, 0); // orange, during a cycle
constexpr ui::Colour AutoReadIdleColour = ui::Rgb(255, 255, 0); // yellow, between cycles

// Status bar text and background; colour 0 selects StatusColour.
void ShowStatus(const std::string& text, ui::Colour colour);
// Settings that give no timer period stop Auto Read, with a message.
void RestartAutoReadTimer();
// The Auto Read button of a tool: off ("Ready") or on (timer restarted).
// True when it is now on, for the tool to run its first cycle at once.
bool SwitchAutoRead();
// Runs one Auto Read pass (a timer tick, or the first pass when Auto Read
// starts). The boxes a pass may show (a communication error) run the
// window's loop: no tick is handled until the pass is over, so that the
// timer cannot act behind the box (stop the plot the pass is drawing).
void RunAutoReadPass(void (*pass)());
bool AutoReadPassRunning();
void CheckMenuRange(int first, int count, int checked);
void ApplyGeneralConfiguration();

// The notification that the command being handled came from (tools that need
// to tell a click from a focus change ask here).
ui::Notify CurrentNotification();

// Start-up up to the shown main window: password check, default files,
// main window. Returns false when the program must end (password refused).
bool StartProgram(const Parts& parts);

} // namespace app
