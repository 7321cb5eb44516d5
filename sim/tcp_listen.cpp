#include "sim/tcp_listen.h"

#include "modbus/mbap.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

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

size_t MbapRequestLength(const uint8_t* bytes, size_t size)
{
    modbus::MbapHeader h;
    if (!modbus::ReadMbapHeader(bytes, size, &h))
        return 0;
    if (!modbus::MbapHeaderSane(h))
        return kBadStream;
    return 6 + size_t{h.length};
}

Bytes RtuFromMbap(const uint8_t* frame, size_t size)
{
    return modbus::BuildFrame(frame[6], frame[7], Bytes(frame + 8, frame + size));
}

Bytes MbapFromRtu(uint16_t transaction, const Bytes& rtu)
{
    // Noise (a flood fault) has no frame to carry: it goes out as it is.
    if (rtu.size() < 4)
        return rtu;
    return modbus::BuildMbapFrame(transaction, rtu[0], rtu[1],
                                  Bytes(rtu.begin() + 2, rtu.end() - 2));
}

} // namespace sim
