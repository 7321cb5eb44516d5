// The File and Setup menu commands and About.
#pragma once

namespace app {

// Load, Save As, the ports, baud rate, parities, time-out, sampling time,
// time calibration and About (app/command_ids.h).
bool IsSetupCommand(int command);
void RunSetupCommand(int command);

} // namespace app
