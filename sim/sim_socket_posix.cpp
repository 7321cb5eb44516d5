#include "sim/sim_socket.h"

#include "sim/tcp_listen.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

int MakeWake() { return eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC); }

void Wake(int wake)
{
    uint64_t one = 1;
    ssize_t ignored = write(wake, &one, sizeof one);
    (void)ignored;
}

bool WaitForWake(int wake, double seconds)
{
    // ppoll for its sub-millisecond resolution: a character at 115200
    // bit/s lasts less than 0.1 ms.
    pollfd p{wake, POLLIN, 0};
    timespec ts{static_cast<time_t>(seconds),
                static_cast<long>((seconds - std::floor(seconds)) * 1e9)};
    return ppoll(&p, 1, &ts, nullptr) > 0 && (p.revents & POLLIN);
}

bool WaitWritable(int fd, int wake, int timeout_ms)
{
    pollfd p[2] = {{fd, POLLOUT, 0}, {wake, POLLIN, 0}};
    poll(p, 2, timeout_ms);
    return (p[1].revents & POLLIN) != 0;
}

pollfd PollEntry(int fd, short events) { return pollfd{fd, events, 0}; }

int PollAll(std::vector<pollfd>* entries, int timeout_ms)
{
    int ready = poll(entries->data(), entries->size(), timeout_ms);
    return ready < 0 && errno == EINTR ? 0 : ready;
}

int AcceptNonBlocking(int listener)
{
    int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    // A gateway sends each reply as it is made: Nagle's wait for an
    // acknowledgement would hold a second reply back behind the first.
    int one = 1;
    if (fd >= 0)
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

long SendSocket(int fd, const uint8_t* data, size_t size)
{
    // MSG_NOSIGNAL: a master that hung up is no reason for SIGPIPE.
    return send(fd, data, size, MSG_NOSIGNAL);
}

long ReceiveSocket(int fd, uint8_t* data, size_t size)
{
    return recv(fd, data, size, MSG_DONTWAIT);
}

long WriteDevice(int fd, const uint8_t* data, size_t size) { return write(fd, data, size); }
long ReadDevice(int fd, uint8_t* data, size_t size) { return read(fd, data, size); }

bool WriteRetryLater() { return errno == EAGAIN || errno == EINTR || errno == EIO; }
bool ReadRetryLater() { return errno == EAGAIN || errno == EINTR; }

void CloseDescriptor(int fd) { close(fd); }

int ListenLoopback(int port, int* bound, std::string* error)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = std::string("cannot create a socket: ") + std::strerror(errno);
        return -1;
    }
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd, 8) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        *error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
        close(fd);
        return -1;
    }
    *bound = ntohs(a.sin_port);
    return fd;
}

} // namespace sim
