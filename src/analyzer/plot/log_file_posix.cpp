#include "analyzer/plot/log_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace analyzer::logfile {

namespace {

void SetError(std::string* error, int err)
{
    if (error)
        *error = std::strerror(err);
}

} // namespace

Created Create(const std::string& path, bool replace, Handle* handle, std::string* error)
{
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_APPEND | (replace ? O_TRUNC : O_EXCL);
    int fd;
    do
        fd = open(path.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == EEXIST && !replace)
            return Created::Exists;
        SetError(error, errno);
        return Created::Failed;
    }
    handle->fd = fd;
    return Created::Ok;
}

bool Append(Handle handle, std::string_view text, std::string* error)
{
    if (handle.fd < 0) {
        SetError(error, EBADF);
        return false;
    }
    while (!text.empty()) {
        ssize_t n = write(handle.fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            SetError(error, errno);
            return false;
        }
        text.remove_prefix(size_t(n));
    }
    return true;
}

bool Close(Handle* handle, std::string* error)
{
    if (handle->fd < 0)
        return true;
    // After close() fails the descriptor is gone all the same: never retry.
    const int r = close(handle->fd);
    handle->fd = -1;
    if (r != 0 && errno != EINTR) {
        SetError(error, errno);
        return false;
    }
    return true;
}

void Remove(const std::string& path) { unlink(path.c_str()); }

} // namespace analyzer::logfile
