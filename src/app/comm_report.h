// How the program tells the user that a request failed: the reporter it
// installs in the serial link at start-up.
#pragma once

#include "modbus/serial_link.h"

namespace app {

// Stops Auto Read, shows the message in a "Communication error" box and
// puts "Ready" in the status bar. The port is already closed.
void ReportCommFailure(const modbus::Failure& failure);

} // namespace app
