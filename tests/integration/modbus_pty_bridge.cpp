// Pseudo-terminal bridge for the peer tests and benchmarks.
#include "modbus_pty_bridge.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

bool PtyBridge::Start(std::string* error)
{
    for (int i = 0; i < 2; ++i) {
        master_[i] = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_[i] < 0 || grantpt(master_[i]) != 0 || unlockpt(master_[i]) != 0) {
            *error = std::string("pty: ") + std::strerror(errno);
            Stop();
            return false;
        }
        path_[i] = ptsname(master_[i]);
        slave_[i] = open(path_[i].c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t;
        if (slave_[i] >= 0 && tcgetattr(slave_[i], &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(slave_[i], TCSANOW, &t);
        }
    }
    if (pipe2(wake_, O_CLOEXEC) != 0) {
        *error = std::string("pipe: ") + std::strerror(errno);
        Stop();
        return false;
    }
    thread_ = std::thread([this] { Relay(); });
    return true;
}

void PtyBridge::Stop()
{
    if (thread_.joinable()) {
        char c = 0;
        (void)!write(wake_[1], &c, 1);
        thread_.join();
    }
    for (int* fd : {&master_[0], &master_[1], &slave_[0], &slave_[1], &wake_[0], &wake_[1]}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

void PtyBridge::Relay()
{
    char buffer[4096];
    for (;;) {
        pollfd p[3] = {{master_[0], POLLIN, 0}, {master_[1], POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(p, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (p[2].revents)
            return;
        for (int i = 0; i < 2; ++i) {
            if (!(p[i].revents & POLLIN))
                continue;
            ssize_t n = read(master_[i], buffer, sizeof buffer);
            for (ssize_t done = 0; n > 0 && done < n;) {
                ssize_t w = write(master_[1 - i], buffer + done, size_t(n - done));
                if (w < 0 && errno != EINTR)
                    break;
                if (w > 0)
                    done += w;
            }
        }
    }
}
