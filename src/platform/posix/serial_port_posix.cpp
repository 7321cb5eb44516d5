// The serial port on POSIX: a tty (or a simulator's pty) opened without
// blocking; every wait is a poll(), never a loop on the clock.
#include "platform/serial_port.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include "platform/posix/serial_syscalls.h"
#include "platform/system.h"
#include "platform/wait_watch.h"

namespace serial {

namespace {

std::string device_folder; // empty until fixed or first used

int PollMilliseconds(double timeout_s)
{
    if (!(timeout_s > 0))
        return 0;
    // Rounded up: waking before the deadline would only cost another pass.
    double ms = std::ceil(timeout_s * 1000.0);
    return ms > double(INT_MAX) ? INT_MAX : int(ms);
}

} // namespace

void SetDeviceFolder(const std::string& folder) { device_folder = folder; }

std::string DevicePath(int port)
{
    if (device_folder.empty())
        device_folder = sys::WorkingDirectory();
    std::string local = device_folder + "/COM" + std::to_string(port);
    // lstat, not stat: a link whose pty has gone must fail to open rather
    // than fall through to a real port of the machine.
    struct stat st;
    if (lstat(local.c_str(), &st) == 0)
        return local;
    return "/dev/ttyS" + std::to_string(port - 1);
}

Handle Open(const std::string& path, uint32_t baud, Parity parity, int* os_error)
{
    int fd;
    do {
        fd = Sys().open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (os_error)
            *os_error = errno;
        return kNoPort;
    }
    // TIOCEXCL makes later opens of the line fail with EBUSY, but it does
    // not bind a privileged program; the lock holds between copies of this
    // program whatever their rights.
    Sys().ioctl(fd, TIOCEXCL, nullptr);
    if (Sys().flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        Sys().close(fd);
        if (os_error)
            *os_error = EBUSY;
        return kNoPort;
    }
    ConfigureLine(fd, baud, parity);
    return fd;
}

void Close(Handle port)
{
    if (port == kNoPort)
        return;
    // The exclusive mark belongs to the line, not to this descriptor: while
    // anyone else holds the line open (a simulator holds its pty), it would
    // outlive the close and refuse this program's own next open.
    Sys().ioctl(port, TIOCNXCL, nullptr);
    Sys().close(port);
}

Io ReadSome(Handle port, uint8_t* buffer, size_t max, size_t* got)
{
    *got = 0;
    for (;;) {
        ssize_t n = Sys().read(port, buffer, max);
        if (n > 0) {
            *got = size_t(n);
            return Io::Ok;
        }
        // A tty without data answers EAGAIN; end-of-file means it was hung
        // up (the other side of a pty closed, the adapter was removed).
        if (n == 0)
            return Io::Lost;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return Io::WouldBlock;
        return Io::Lost;
    }
}

Io DiscardInput(Handle port)
{
    uint8_t scrap[512];
    // Bounded, so that a slave that never stops talking cannot hold the
    // program here; what it sends later is stale and fails the checks.
    for (int i = 0; i < 256; ++i) {
        size_t got;
        Io r = ReadSome(port, scrap, sizeof scrap, &got);
        if (r != Io::Ok)
            return r == Io::WouldBlock ? Io::Ok : r;
    }
    return Io::Ok;
}

Io WriteAll(Handle port, const uint8_t* data, size_t size, double timeout_s)
{
    double deadline = sys::MonotonicSeconds() + timeout_s;
    while (size > 0) {
        ssize_t n = Sys().write(port, data, size);
        if (n > 0) {
            data += n;
            size -= size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return Io::Lost;
        // The driver's queue is full: wait for room.
        double left = deadline - sys::MonotonicSeconds();
        if (left <= 0)
            return Io::TimedOut;
        pollfd p{port, POLLOUT, 0};
        int r = Sys().poll(&p, 1, PollMilliseconds(left));
        if (r < 0 && errno != EINTR)
            return Io::Lost;
        if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return Io::Lost;
    }
    return Io::Ok;
}

size_t OutputQueued(Handle port)
{
    int queued = 0;
    if (Sys().ioctl(port, TIOCOUTQ, &queued) != 0 || queued <= 0)
        return 0;
    return size_t(queued);
}

Io WaitReadable(Handle port, double timeout_s)
{
    pollfd p{port, POLLIN, 0};
    // In steps: a long wait tells the watch over it (wait_watch.h).
    const double until = sys::MonotonicSeconds() + timeout_s;
    int r = 0;
    for (;;) {
        const double step = sys::WaitStepUntil(until);
        r = Sys().poll(&p, 1, PollMilliseconds(step - sys::MonotonicSeconds()));
        if (r != 0 || step >= until)
            break;
    }
    if (r < 0)
        return errno == EINTR ? Io::Ok : Io::Lost;
    if (r == 0)
        return Io::TimedOut;
    if (p.revents & POLLNVAL)
        return Io::Lost;
    // A hung-up line reports POLLHUP at once on every poll; with nothing
    // to read it is gone, otherwise the next read drains it and says so.
    if ((p.revents & (POLLHUP | POLLERR)) && !(p.revents & POLLIN))
        return Io::Lost;
    return Io::Ok;
}

} // namespace serial
