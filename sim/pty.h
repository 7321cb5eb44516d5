// The pseudo-terminal the simulator serves, and what the master has set on
// it.
#pragma once

#include "sim/slave.h"

#include <string>

namespace sim {

// Opens a pty in raw mode, 9600 bit/s. Both fds are non-blocking. The slave
// side stays open for as long as the simulator runs: while no slave fd is
// open, Linux discards what is written to the master side and makes its
// reads fail with EIO, so a master that closes and reopens the port between
// requests would lose replies and the simulator would spin on hang-ups.
bool OpenPty(int* master_fd, int* slave_fd, std::string* device, std::string* error);

// Baud rate, parity code and stop bits of the pty, read on the master side.
LineSettings ReadLineSettings(int master_fd);

// Makes `link` a symbolic link to `target`, replacing a stale link but never
// a file or folder.
bool MakeLink(const std::string& target, const std::string& link, std::string* error);
// Removes `link` if it still points to `target`.
void RemoveLink(const std::string& target, const std::string& link);

} // namespace sim
