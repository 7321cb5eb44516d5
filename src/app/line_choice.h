// Which line the program talks on, as the menu and the title show it: a
// serial port COMn, or the network line of SERIAL_NET.
#pragma once

#include <string>

namespace app {

// SERIAL_NET of the .cfg file: optional, so a file without it (every file
// made before network lines) is a serial-port file and stays as it is.
std::string StoredNetworkLine();

// The radio marks of Serial port and Parity and the window title, for the
// line in SerialSettings. Parity is left unmarked on a network line: the
// gateway owns it.
void ShowLineChoice();

} // namespace app
