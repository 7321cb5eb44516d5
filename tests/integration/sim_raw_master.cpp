// termios2 for exact rates; the kernel header must stay apart from the C
// library's <termios.h>, which is why this helper has a file of its own.
#include "sim_raw_master.h"

#include <asm/termbits.h>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

bool RawMaster::Open(const std::string& path, unsigned baud, int parity_code)
{
    Close();
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0)
        return false;
    struct termios2 t {};
    ioctl(fd_, TCGETS2, &t);
    t.c_iflag = 0;
    t.c_oflag = 0;
    t.c_lflag = 0;
    t.c_cflag = CS8 | CREAD | CLOCAL | BOTHER;
    t.c_ispeed = t.c_ospeed = baud;
    if (parity_code == 0)
        t.c_cflag |= CSTOPB;
    if (parity_code == 1 || parity_code == 2) {
        t.c_cflag |= PARENB | (parity_code == 1 ? PARODD : 0);
        t.c_iflag |= INPCK;
    }
    return ioctl(fd_, TCSETS2, &t) == 0;
}

void RawMaster::Close()
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

void RawMaster::Send(const modbus::Bytes& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else
            poll(nullptr, 0, 1);
    }
}

modbus::Bytes RawMaster::Receive(size_t count, double timeout_s)
{
    modbus::Bytes got;
    double until = Now() + timeout_s;
    while (got.size() < count) {
        double left = until - Now();
        if (left <= 0)
            break;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left * 1000) + 1) <= 0)
            continue;
        uint8_t buf[512];
        ssize_t n = read(fd_, buf, sizeof buf);
        if (n > 0)
            got.insert(got.end(), buf, buf + n);
    }
    return got;
}

modbus::Bytes RawMaster::Ask(uint8_t address, uint8_t function, const modbus::Bytes& data,
                             size_t expected_size, double timeout_s)
{
    Send(modbus::BuildFrame(address, function, data));
    return Receive(expected_size, timeout_s);
}
