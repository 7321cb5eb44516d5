// TCP connections on POSIX: a non-blocking socket whose connect is awaited
// with poll(), bounded by the caller's time-out, like every other wait of
// the link.
#include "platform/tcp_socket.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/posix/tcp_lookup.h"
#include "platform/system.h"
#include "platform/wait_watch.h"

namespace net {

namespace {

int PollMilliseconds(double timeout_s)
{
    if (!(timeout_s > 0))
        return 0;
    double ms = std::ceil(timeout_s * 1000.0);
    return ms > double(INT_MAX) ? INT_MAX : int(ms);
}

// One address: the socket once connected, else kNoPort with *error set.
Handle ConnectOne(const Endpoint& ai, double deadline_s, int* error)
{
    int fd = socket(ai.family, ai.socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai.protocol);
    if (fd < 0) {
        *error = errno;
        return kNoPort;
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&ai.address), ai.length) == 0)
        return fd;
    if (errno != EINPROGRESS && errno != EINTR) {
        *error = errno;
        close(fd);
        return kNoPort;
    }
    for (;;) {
        double left = deadline_s - sys::MonotonicSeconds();
        if (left <= 0) {
            *error = ETIMEDOUT;
            close(fd);
            return kNoPort;
        }
        pollfd p{fd, POLLOUT, 0};
        // In steps: a long wait tells the watch over it (wait_watch.h).
        int r =
            poll(&p, 1, PollMilliseconds(sys::WaitStepUntil(deadline_s) - sys::MonotonicSeconds()));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            continue; // the deadline test above ends it
        int so_error = 0;
        socklen_t len = sizeof so_error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &so_error, &len) != 0)
            so_error = errno;
        if (so_error == 0)
            return fd;
        *error = so_error;
        close(fd);
        return kNoPort;
    }
}

} // namespace

Handle Connect(const Address& address, double timeout_s, std::string* reason)
{
    // The lookup is part of the wait: the time-out counts from here.
    const double deadline_s = sys::MonotonicSeconds() + timeout_s;
    const std::string service = std::to_string(address.port);
    std::vector<Endpoint> found;
    if (!LookUp(address.host, service, deadline_s, &found, reason))
        return kNoPort;
    int error = 0;
    Handle fd = kNoPort;
    for (size_t i = 0; i < found.size() && fd == kNoPort; ++i)
        fd = ConnectOne(found[i], deadline_s, &error);
    if (fd == kNoPort) {
        ForgetLookUp(address.host, service);
        *reason = std::strerror(error != 0 ? error : EHOSTUNREACH);
    }
    return fd;
}

void Close(Handle socket)
{
    if (socket != kNoPort)
        close(socket);
}

Io ReadSome(Handle socket, uint8_t* buffer, size_t max, size_t* got)
{
    *got = 0;
    for (;;) {
        ssize_t n = recv(socket, buffer, max, MSG_DONTWAIT);
        if (n > 0) {
            *got = size_t(n);
            return Io::Ok;
        }
        if (n == 0)
            return Io::Lost; // the peer closed the connection
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return Io::WouldBlock;
        return Io::Lost;
    }
}

Io DiscardInput(Handle socket)
{
    uint8_t scrap[512];
    for (int i = 0; i < 256; ++i) {
        size_t got;
        Io r = ReadSome(socket, scrap, sizeof scrap, &got);
        if (r != Io::Ok)
            return r == Io::WouldBlock ? Io::Ok : r;
    }
    return Io::Ok;
}

Io WriteAll(Handle socket, const uint8_t* data, size_t size, double timeout_s)
{
    double deadline = sys::MonotonicSeconds() + timeout_s;
    while (size > 0) {
        // MSG_NOSIGNAL: a peer that has gone is a result, not a SIGPIPE.
        ssize_t n = send(socket, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            data += n;
            size -= size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return Io::Lost;
        double left = deadline - sys::MonotonicSeconds();
        if (left <= 0)
            return Io::TimedOut;
        pollfd p{socket, POLLOUT, 0};
        int r = poll(&p, 1, PollMilliseconds(left));
        if (r < 0 && errno != EINTR)
            return Io::Lost;
        if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return Io::Lost;
    }
    return Io::Ok;
}

Io WaitReadable(Handle socket, double timeout_s)
{
    pollfd p{socket, POLLIN, 0};
    // In steps: a long wait tells the watch over it (wait_watch.h).
    const double until = sys::MonotonicSeconds() + timeout_s;
    int r = 0;
    for (;;) {
        const double step = sys::WaitStepUntil(until);
        r = poll(&p, 1, PollMilliseconds(step - sys::MonotonicSeconds()));
        if (r != 0 || step >= until)
            break;
    }
    if (r < 0)
        return errno == EINTR ? Io::Ok : Io::Lost;
    if (r == 0)
        return Io::TimedOut;
    if (p.revents & POLLNVAL)
        return Io::Lost;
    // A closed connection is readable (end-of-file): the next read says so.
    if ((p.revents & (POLLHUP | POLLERR)) && !(p.revents & POLLIN))
        return Io::Lost;
    return Io::Ok;
}

} // namespace net
