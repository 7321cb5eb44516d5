// The simulator's sockets on Windows: Winsock, WSAPoll for the waits, and
// a UDP socket sending to itself as the wake-up.
#include "sim/sim_socket.h"

#include "sim/tcp_listen.h"

#include <ws2tcpip.h>

namespace sim {

namespace {

SOCKET S(int fd) { return fd < 0 ? INVALID_SOCKET : static_cast<SOCKET>(fd); }

bool Started()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

void NonBlocking(SOCKET s)
{
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
}

} // namespace

int MakeWake()
{
    if (!Started())
        return -1;
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return -1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof a;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0 ||
        connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        closesocket(s);
        return -1;
    }
    NonBlocking(s);
    return static_cast<int>(s);
}

void Wake(int wake)
{
    const char one = 1;
    send(S(wake), &one, 1, 0);
}

bool WaitForWake(int wake, double seconds)
{
    WSAPOLLFD p{S(wake), POLLRDNORM, 0};
    const int ms = seconds > 0 ? static_cast<int>(seconds * 1000 + 0.999) : 0;
    return WSAPoll(&p, 1, ms) > 0 && (p.revents & POLLRDNORM);
}

bool WaitWritable(int fd, int wake, int timeout_ms)
{
    WSAPOLLFD p[2] = {{S(fd), POLLWRNORM, 0}, {S(wake), POLLRDNORM, 0}};
    WSAPoll(p, 2, timeout_ms);
    return (p[1].revents & POLLRDNORM) != 0;
}

pollfd PollEntry(int fd, short events)
{
    // WSAPoll takes only the normal-data bits.
    short wanted = 0;
    if (events & POLLIN)
        wanted |= POLLRDNORM;
    if (events & POLLOUT)
        wanted |= POLLWRNORM;
    return pollfd{S(fd), wanted, 0};
}

int PollAll(std::vector<pollfd>* entries, int timeout_ms)
{
    return WSAPoll(entries->data(), static_cast<ULONG>(entries->size()), timeout_ms);
}

int AcceptNonBlocking(int listener)
{
    SOCKET s = accept(S(listener), nullptr, nullptr);
    if (s == INVALID_SOCKET)
        return -1;
    NonBlocking(s);
    BOOL one = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    return static_cast<int>(s);
}

long SendSocket(int fd, const uint8_t* data, size_t size)
{
    return send(S(fd), reinterpret_cast<const char*>(data), static_cast<int>(size), 0);
}

long ReceiveSocket(int fd, uint8_t* data, size_t size)
{
    return recv(S(fd), reinterpret_cast<char*>(data), static_cast<int>(size), 0);
}

// No device on Windows: the simulator serves only sockets there.
long WriteDevice(int, const uint8_t*, size_t) { return -1; }
long ReadDevice(int, uint8_t*, size_t) { return -1; }

bool WriteRetryLater() { return WSAGetLastError() == WSAEWOULDBLOCK; }
bool ReadRetryLater() { return WSAGetLastError() == WSAEWOULDBLOCK; }

void CloseDescriptor(int fd) { closesocket(S(fd)); }

int ListenLoopback(int port, int* bound, std::string* error)
{
    if (!Started()) {
        *error = "cannot start Winsock";
        return -1;
    }
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        *error = "cannot create a socket: error " + std::to_string(WSAGetLastError());
        return -1;
    }
    // Exclusive: on Windows SO_REUSEADDR would let another program take
    // the port over.
    BOOL one = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&one), sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof a;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        *error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": error " +
                 std::to_string(WSAGetLastError());
        closesocket(s);
        return -1;
    }
    NonBlocking(s);
    *bound = ntohs(a.sin_port);
    return static_cast<int>(s);
}

} // namespace sim
