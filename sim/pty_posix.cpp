#include "sim/pty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

bool OpenPty(int* master_fd, int* slave_fd, std::string* device, std::string* error)
{
    int m = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m < 0) {
        *error = std::string("cannot open a pseudo-terminal: ") + strerror(errno);
        return false;
    }
    char name[128];
    if (grantpt(m) != 0 || unlockpt(m) != 0 || ptsname_r(m, name, sizeof name) != 0) {
        *error = std::string("cannot prepare the pseudo-terminal: ") + strerror(errno);
        close(m);
        return false;
    }
    int s = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (s < 0) {
        *error = std::string("cannot open ") + name + ": " + strerror(errno);
        close(m);
        return false;
    }
    // Raw from the start, so that a master that never sets the line (or sets
    // only the speed) gets no echo and no line editing.
    termios t{};
    tcgetattr(s, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    tcsetattr(s, TCSANOW, &t);
    *master_fd = m;
    *slave_fd = s;
    *device = name;
    return true;
}

bool MakeLink(const std::string& target, const std::string& link, std::string* error)
{
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = link + " exists and is not a link; not replacing it";
            return false;
        }
        unlink(link.c_str());
    }
    if (symlink(target.c_str(), link.c_str()) != 0) {
        *error = "cannot create the link " + link + ": " + strerror(errno);
        return false;
    }
    return true;
}

void RemoveLink(const std::string& target, const std::string& link)
{
    char buf[512];
    ssize_t n = readlink(link.c_str(), buf, sizeof buf - 1);
    if (n < 0)
        return;
    buf[n] = 0;
    // Another simulator may have taken the name over since.
    if (target == buf)
        unlink(link.c_str());
}

} // namespace sim
