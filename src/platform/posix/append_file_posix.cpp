// Files written record by record (the plot log) on POSIX systems.
#include "platform/system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

LogOpen OpenFailed(int err, std::string* error)
{
    Fail(err, error);
    return LogOpen::Failed;
}

bool Refuse(const char* why, std::string* error)
{
    if (error)
        *error = why;
    return false;
}

// Why a name that could not be opened as a log is left alone, or false when
// the open failed for another reason. Looked up only to word the message:
// nothing is written through this look-up.
bool RefusalReason(const std::string& path, int open_errno, std::string* error)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return false;
    if (S_ISLNK(st.st_mode))
        return !Refuse("it is a symbolic link", error);
    if (!S_ISREG(st.st_mode))
        return !Refuse("it is not a regular file", error);
    return open_errno == ELOOP && !Refuse("it is a symbolic link", error);
}

// Hands the pending bytes to the system. On a failure, also one after part
// of them was written (a full disk, a file size limit), the file is cut
// back to where the last flush left it: a record is in the file whole or
// not at all.
bool WritePending(AppendFile* file, std::string* error)
{
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
    if (err == 0)
        return true;
    struct stat st;
    if (fstat(file->fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > file->whole) {
        while (ftruncate(file->fd, off_t(file->whole)) != 0 && errno == EINTR) {
        }
    }
    return Fail(err, error);
}

} // namespace

LogOpen OpenLogFile(const std::string& path, LogName name, AppendFile* file, std::string* error)
{
    if (file->fd >= 0)
        return OpenFailed(EBUSY, error);
    file->pending.clear();
    // A device or a FIFO is refused before it is opened at all (opening some
    // devices has effects); the check on the descriptor below is the one
    // that counts.
    struct stat st;
    if (name == LogName::MayExist && lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        RefusalReason(path, 0, error);
        return LogOpen::Refused;
    }
    // O_NOFOLLOW: a link planted under the name would send the log to its
    // target. O_NONBLOCK: a FIFO swapped in meanwhile must not hang the open.
    // Read and write: an existing file is looked at before it is replaced.
    int flags = O_RDWR | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    if (name == LogName::MustBeFree)
        flags |= O_EXCL; // never follows a link either: a dangling one counts as taken
    int fd;
    do
        fd = open(path.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int err = errno;
        if (name == LogName::MustBeFree && err == EEXIST)
            return LogOpen::Taken;
        // A FIFO without a reader fails with ENXIO instead of blocking.
        if (RefusalReason(path, err, error))
            return LogOpen::Refused;
        return OpenFailed(err, error);
    }
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        Refuse("it is not a regular file", error);
        return LogOpen::Refused;
    }
    const int fl = fcntl(fd, F_GETFL);
    if (fl < 0 || fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) != 0) {
        const int err = errno;
        close(fd);
        return OpenFailed(err, error);
    }
    // Held until the file is closed: a second program logging to the same
    // name must not interleave its records with ours.
    int locked;
    while ((locked = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (locked != 0) {
        const int err = errno;
        close(fd);
        if (err == EWOULDBLOCK) {
            Refuse("another running program is writing it", error);
            return LogOpen::Refused;
        }
        return OpenFailed(err, error);
    }
    file->fd = fd;
    file->whole = st.st_size;
    return LogOpen::Opened;
}

bool ReadLogFileStart(const AppendFile& file, size_t max, std::string* bytes, std::string* error)
{
    bytes->assign(max, '\0');
    size_t got = 0;
    while (got < max) {
        ssize_t n = pread(file.fd, bytes->data() + got, max - got, off_t(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            bytes->clear();
            return Fail(errno, error);
        }
        if (n == 0)
            break;
        got += size_t(n);
    }
    bytes->resize(got);
    return true;
}

bool IsSameFile(const AppendFile& file, const std::string& path)
{
    struct stat mine, other;
    return file.fd >= 0 && fstat(file.fd, &mine) == 0 && stat(path.c_str(), &other) == 0 &&
           mine.st_dev == other.st_dev && mine.st_ino == other.st_ino;
}

bool EmptyLogFile(AppendFile* file, std::string* error)
{
    file->pending.clear();
    if (file->fd < 0)
        return Fail(EBADF, error);
    int r;
    while ((r = ftruncate(file->fd, 0)) != 0 && errno == EINTR) {
    }
    if (r != 0)
        return Fail(errno, error);
    file->whole = 0;
    return true;
}

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
    file->whole = 0;
    return true;
}

bool AppendToFile(AppendFile* file, const std::string& bytes, std::string* error)
{
    if (file->fd < 0)
        return Fail(EBADF, error);
    file->pending += bytes;
    if (file->pending.size() >= kFlushAtBytes)
        return WritePending(file, error);
    return true;
}

bool FlushAppendFile(AppendFile* file, std::string* error)
{
    if (file->fd < 0)
        return Fail(EBADF, error);
    if (!WritePending(file, error))
        return false;
    struct stat st;
    if (fstat(file->fd, &st) == 0 && S_ISREG(st.st_mode))
        file->whole = st.st_size;
    return true;
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
