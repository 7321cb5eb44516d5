// The communication monitor: a window beside the main window that lists
// every frame on the line, live, with the line's statistics below, and
// pauses, clears and saves that list. It records through the capture only
// while it is open, so that a closed monitor costs nothing.
#pragma once

namespace monitor {

// Opens the monitor, or brings it to the front when it is open already.
void OpenMonitor();
// The program closes it (the user's close box reports through
// OnLineWindowClosed).
void CloseMonitor();
bool MonitorOpen();
int MonitorWindowHandle(); // 0 while closed

// What the window system reports about line windows, passed on by the
// shell's event sink; reports about other windows are ignored.
void OnLineWindowCommand(int window, int command);
void OnLineWindowRefresh(int window);
void OnLineWindowClosed(int window);

// The monitor's buttons.
constexpr int kPauseCommand = 1;
constexpr int kClearCommand = 2;
constexpr int kSaveCommand = 3;

} // namespace monitor
