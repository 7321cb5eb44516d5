// The system calls of the serial port, behind a table that tests replace to
// inject EINTR, EAGAIN, short reads and a device that vanishes, without
// hardware. Only the serial port and its tests include this header.
#pragma once

#include <cstddef>
#include <poll.h>
#include <sys/types.h>

#include "platform/serial_line.h"

namespace serial {

struct SystemCalls {
    int (*open)(const char* path, int flags);
    int (*close)(int fd);
    ssize_t (*read)(int fd, void* buffer, size_t size);
    ssize_t (*write)(int fd, const void* data, size_t size);
    int (*poll)(pollfd* fds, nfds_t count, int timeout_ms);
    // Every ioctl the port uses takes a pointer (or nothing).
    int (*ioctl)(int fd, unsigned long request, void* arg);
    int (*flock)(int fd, int operation);
};

const SystemCalls& Sys();
// nullptr restores the real calls.
void SetSystemCalls(const SystemCalls* calls);
const SystemCalls& RealSystemCalls();

// Line settings, in their own translation unit (see serial_termios2.cpp).
void ConfigureLine(int fd, unsigned baud, Parity parity);

} // namespace serial
