// TCP connections on Windows with Winsock: a non-blocking socket whose
// connect and reads are awaited with WSAPoll, bounded like on POSIX.
#include "platform/tcp_socket.h"

#include <climits>
#include <cmath>
#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/system.h"
#include "platform/win32/handle_slots.h"
#include "platform/win32/win32_text.h"

namespace net {

namespace {

struct Socket {
    SOCKET s = INVALID_SOCKET;
};

win32::HandleSlots<Socket> sockets;

bool Started()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

int PollMilliseconds(double timeout_s)
{
    if (!(timeout_s > 0))
        return 0;
    const double ms = std::ceil(timeout_s * 1000.0);
    return ms > double(INT_MAX) ? INT_MAX : int(ms);
}

bool WouldBlock(int err) { return err == WSAEWOULDBLOCK || err == WSAEINPROGRESS; }

SOCKET ConnectOne(const addrinfo& ai, double deadline_s, int* error)
{
    SOCKET s = socket(ai.ai_family, ai.ai_socktype, ai.ai_protocol);
    if (s == INVALID_SOCKET) {
        *error = WSAGetLastError();
        return INVALID_SOCKET;
    }
    u_long nonblocking = 1;
    ioctlsocket(s, FIONBIO, &nonblocking);
    // Not inherited by programs started later.
    SetHandleInformation(HANDLE(s), HANDLE_FLAG_INHERIT, 0);
    BOOL one = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    if (connect(s, ai.ai_addr, int(ai.ai_addrlen)) == 0)
        return s;
    if (!WouldBlock(WSAGetLastError())) {
        *error = WSAGetLastError();
        closesocket(s);
        return INVALID_SOCKET;
    }
    for (;;) {
        const double left = deadline_s - sys::MonotonicSeconds();
        if (left <= 0) {
            *error = WSAETIMEDOUT;
            closesocket(s);
            return INVALID_SOCKET;
        }
        // select, not WSAPoll: before Windows 10 2004 WSAPoll never reports
        // a connection that failed, which would cost the whole time-out.
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(s, &writable);
        FD_SET(s, &failed);
        const int ms = PollMilliseconds(left);
        timeval tv{ms / 1000, (ms % 1000) * 1000};
        const int r = select(0, nullptr, &writable, &failed, &tv);
        if (r <= 0)
            continue; // the deadline test above ends it
        int so_error = 0;
        int len = sizeof so_error;
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&so_error), &len) != 0)
            so_error = WSAGetLastError();
        if (so_error == 0 && !FD_ISSET(s, &failed))
            return s;
        *error = so_error != 0 ? so_error : WSAECONNREFUSED;
        closesocket(s);
        return INVALID_SOCKET;
    }
}

} // namespace

Handle Connect(const Address& address, double timeout_s, std::string* reason)
{
    if (!Started()) {
        *reason = win32::ErrorText(WSASYSNOTREADY);
        return kNoPort;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(address.port);
    const int rc = getaddrinfo(address.host.c_str(), service.c_str(), &hints, &found);
    if (rc != 0) {
        *reason = win32::ErrorText(unsigned(rc));
        return kNoPort;
    }
    const double deadline_s = sys::MonotonicSeconds() + timeout_s;
    int error = 0;
    SOCKET s = INVALID_SOCKET;
    for (addrinfo* ai = found; ai && s == INVALID_SOCKET; ai = ai->ai_next)
        s = ConnectOne(*ai, deadline_s, &error);
    freeaddrinfo(found);
    if (s == INVALID_SOCKET) {
        *reason = win32::ErrorText(unsigned(error != 0 ? error : WSAEHOSTUNREACH));
        return kNoPort;
    }
    auto slot = std::make_unique<Socket>();
    slot->s = s;
    return sockets.Add(std::move(slot));
}

void Close(Handle socket)
{
    std::unique_ptr<Socket> slot = sockets.Take(socket);
    if (slot)
        closesocket(slot->s);
}

Io ReadSome(Handle socket, uint8_t* buffer, size_t max, size_t* got)
{
    *got = 0;
    Socket* slot = sockets.Get(socket);
    if (!slot)
        return Io::Lost;
    const int n =
        recv(slot->s, reinterpret_cast<char*>(buffer), int(std::min<size_t>(max, INT_MAX)), 0);
    if (n > 0) {
        *got = size_t(n);
        return Io::Ok;
    }
    if (n == 0)
        return Io::Lost; // the peer closed the connection
    return WouldBlock(WSAGetLastError()) ? Io::WouldBlock : Io::Lost;
}

Io DiscardInput(Handle socket)
{
    uint8_t scrap[512];
    for (int i = 0; i < 256; ++i) {
        size_t got;
        const Io r = ReadSome(socket, scrap, sizeof scrap, &got);
        if (r != Io::Ok)
            return r == Io::WouldBlock ? Io::Ok : r;
    }
    return Io::Ok;
}

Io WriteAll(Handle socket, const uint8_t* data, size_t size, double timeout_s)
{
    Socket* slot = sockets.Get(socket);
    if (!slot)
        return Io::Lost;
    const double deadline = sys::MonotonicSeconds() + timeout_s;
    while (size > 0) {
        const int n = send(slot->s, reinterpret_cast<const char*>(data),
                           int(std::min<size_t>(size, INT_MAX)), 0);
        if (n > 0) {
            data += n;
            size -= size_t(n);
            continue;
        }
        if (n < 0 && !WouldBlock(WSAGetLastError()))
            return Io::Lost;
        const double left = deadline - sys::MonotonicSeconds();
        if (left <= 0)
            return Io::TimedOut;
        WSAPOLLFD p{slot->s, POLLWRNORM, 0};
        const int r = WSAPoll(&p, 1, PollMilliseconds(left));
        if (r < 0 || (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL))))
            return Io::Lost;
    }
    return Io::Ok;
}

Io WaitReadable(Handle socket, double timeout_s)
{
    Socket* slot = sockets.Get(socket);
    if (!slot)
        return Io::Lost;
    WSAPOLLFD p{slot->s, POLLRDNORM, 0};
    const int r = WSAPoll(&p, 1, PollMilliseconds(timeout_s));
    if (r < 0)
        return Io::Lost;
    if (r == 0)
        return Io::TimedOut;
    if (p.revents & POLLNVAL)
        return Io::Lost;
    // A closed connection is readable (end of file): the next read says so.
    if ((p.revents & (POLLHUP | POLLERR)) && !(p.revents & POLLRDNORM))
        return Io::Lost;
    return Io::Ok;
}

} // namespace net
