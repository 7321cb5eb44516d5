// Files written record by record (the plot log) on POSIX systems.
#include "platform/system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace sys {

namespace {

// Beyond this much pending text the bytes go to the system without waiting
// for a flush: a long pass must not hold megabytes.
constexpr size_t kFlushAtBytes = 64 * 1024;

bool Fail(int err, std::string* error)
{
    if (error)
        *error = std::strerror(err);
    return false;
}

} // namespace

bool OpenAppendFile(const std::string& path, AppendFile* file, std::string* error)
{
    if (file->fd >= 0)
        return Fail(EBUSY, error);
    file->pending.clear();
    // Not inherited by the programs a test or the user starts meanwhile.
    int fd;
    do
        fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return Fail(errno, error);
    file->fd = fd;
    return true;
}

bool AppendToFile(AppendFile* file, const std::string& bytes, std::string* error)
{
    if (file->fd < 0)
        return Fail(EBADF, error);
    file->pending += bytes;
    if (file->pending.size() >= kFlushAtBytes)
        return FlushAppendFile(file, error);
    return true;
}

bool FlushAppendFile(AppendFile* file, std::string* error)
{
    if (file->fd < 0)
        return Fail(EBADF, error);
    const char* p = file->pending.data();
    size_t left = file->pending.size();
    int err = 0;
    while (left > 0) {
        ssize_t n = write(file->fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            break;
        }
        p += n;
        left -= size_t(n);
    }
    file->pending.clear();
    return err == 0 ? true : Fail(err, error);
}

bool CloseAppendFile(AppendFile* file, std::string* error)
{
    if (file->fd < 0)
        return true;
    std::string flush_error;
    bool ok = FlushAppendFile(file, &flush_error);
    // close() is not retried on EINTR: on Linux the descriptor is released
    // whatever it returns, and a retry could close a file opened meanwhile.
    int err = close(file->fd) == 0 ? 0 : errno;
    file->fd = -1;
    if (!ok) {
        if (error)
            *error = flush_error;
        return false;
    }
    return err == 0 ? true : Fail(err, error);
}

bool AppendFileOpen(const AppendFile& file) { return file.fd >= 0; }

} // namespace sys
