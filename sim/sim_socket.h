// The few system calls of the simulator's thread that differ between
// systems: its descriptors are the pty's and the sockets' on POSIX, sockets
// alone on Windows (held as int, as the rest of the simulator keeps them).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <poll.h>
#endif

namespace sim {

// A wake-up the thread polls: Wake makes it readable for good.
int MakeWake();
void Wake(int wake);
// Waits up to `seconds` (with sub-millisecond resolution where the system
// has it); true when the wake-up came.
bool WaitForWake(int wake, double seconds);
// Waits up to timeout_ms for room to write on fd; true when the wake-up came.
bool WaitWritable(int fd, int wake, int timeout_ms);

pollfd PollEntry(int fd, short events); // fd -1: left out
// poll(); -1 on an error other than an interruption.
int PollAll(std::vector<pollfd>* entries, int timeout_ms);

// A connection taken from a listening socket, non-blocking; -1 when none waits.
int AcceptNonBlocking(int listener);

// Bytes moved, or -1; WriteRetryLater() and ReadRetryLater() then tell a
// full or empty buffer (or an interruption) from a failure.
long SendSocket(int fd, const uint8_t* data, size_t size);
long ReceiveSocket(int fd, uint8_t* data, size_t size);
long WriteDevice(int fd, const uint8_t* data, size_t size);
long ReadDevice(int fd, uint8_t* data, size_t size);
bool WriteRetryLater();
bool ReadRetryLater();
void CloseDescriptor(int fd);

} // namespace sim
