// The serial line as the Modbus link drives it: one device opened
// exclusively, configured for RTU framing, read without blocking.
// POSIX implementation in platform/posix (termios on a tty or a pty).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/serial_line.h"

namespace serial {

// The folder in which "COMn" names are looked up. The shell fixes it at
// start-up; until then the working directory of the first lookup is kept.
void SetDeviceFolder(const std::string& folder);

// "COMn": the file COMn in the device folder when that name exists (a link
// to /dev/ttyUSB0 or to a simulator's pty), else /dev/ttyS(n-1).
std::string DevicePath(int port);

enum class Io {
    Ok,
    WouldBlock, // nothing to read now
    TimedOut,
    Lost, // the device went away (adapter pulled out, other end closed)
};

using Handle = int;
constexpr Handle kNoPort = -1;

// Opens the device for reading and writing, exclusively, and sets the baud
// rate (exactly, any rate), 8 data bits, the parity with its stop bits, raw
// mode, no flow control of any kind, DTR off, RTS on send and no break,
// whatever the line held before. Failures of the settings are ignored, as
// on a port whose driver lacks them. kNoPort with *os_error set when the device cannot be
// opened.
Handle Open(const std::string& path, uint32_t baud, Parity parity, int* os_error);
void Close(Handle port);

// Reads and discards every byte the driver holds. Lost when the device is gone.
Io DiscardInput(Handle port);

// Hands the whole buffer to the driver, waiting for room in its queue at
// most timeout_s in all. Returns once the driver holds the last byte, not
// when the line has sent it (OutputQueued tells what is still to go). Lost
// on a device error, TimedOut when the driver never took the whole buffer.
Io WriteAll(Handle port, const uint8_t* data, size_t size, double timeout_s);

// Bytes written that the driver has not yet put on the line; 0 when it
// cannot tell.
size_t OutputQueued(Handle port);

// Reads at most max bytes of what is waiting. Ok with *got > 0, WouldBlock
// when nothing is waiting, Lost when the device is gone.
Io ReadSome(Handle port, uint8_t* buffer, size_t max, size_t* got);

// Waits up to timeout_s for bytes; a timeout_s of 0 only looks. Ok:
// something may be read (or the line changed state: the next ReadSome tells
// which); TimedOut; Lost when the device reports a hang-up with nothing left
// to read.
Io WaitReadable(Handle port, double timeout_s);

} // namespace serial
