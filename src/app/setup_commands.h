// The File and Setup menu commands and About.
#pragma once

namespace app {

// 1101 Load, 1201 Save As, 3101..3108 ports, 3201 baud rate, 3301..3304
// parity, 3401 time-out, 3501 sampling time, 3601 time calibration, 4101 About.
void RunSetupCommand(int command);

} // namespace app
