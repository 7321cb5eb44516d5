// Owner-only files and the per-user folder on POSIX systems.
#include "platform/private_files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sys {

namespace {

std::string ErrnoText(int err) { return std::strerror(err); }

bool Fail(int err, std::string* error)
{
    if (error)
        *error = ErrnoText(err);
    return false;
}

// Restores the process's file-creation mask when it goes out of scope.
class UmaskGuard {
public:
    explicit UmaskGuard(mode_t mask) : old_(umask(mask)) {}
    ~UmaskGuard() { umask(old_); }
    UmaskGuard(const UmaskGuard&) = delete;
    UmaskGuard& operator=(const UmaskGuard&) = delete;

private:
    mode_t old_;
};

// A refused link is named as such; the system's word for it varies.
bool FailOpen(const std::string& path, int err, std::string* error)
{
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (error)
            *error = path + " is a symbolic link";
        return false;
    }
    return Fail(err, error);
}

// Makes the file at `path` owner-only (0600). A name that does not exist is
// fine when `may_be_missing`; a link or anything but a regular file is
// refused.
bool TightenPrivateFile(const std::string& path, bool may_be_missing, std::string* error)
{
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return (may_be_missing && errno == ENOENT) || FailOpen(path, errno, error);
    struct stat st;
    int err = fstat(fd, &st) == 0 ? 0 : errno;
    if (err == 0 && !S_ISREG(st.st_mode))
        err = EINVAL;
    if (err == 0 && (st.st_mode & 07777) != 0600 && fchmod(fd, 0600) != 0)
        err = errno;
    close(fd);
    return err == 0 || Fail(err, error);
}

} // namespace

std::string UserProgramFolder()
{
    // The XDG base directory rules call a relative value invalid: it is
    // ignored.
    const char* xdg = getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return std::string(xdg) + "/regscope";
    return HomeDirectory() + "/.config/regscope";
}

bool MakePrivateFolder(const std::string& path, std::string* error)
{
    if (path.empty())
        return Fail(ENOENT, error);
    // Parents are made with the usual permissions, as any program would make
    // ~/.config; only the last folder holds private files.
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        std::string parent = path.substr(0, slash);
        if (mkdir(parent.c_str(), 0777) != 0 && errno != EEXIST)
            return Fail(errno, error);
    }
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return Fail(errno, error);
    // The folder itself must not be a link: its mode would be set on the
    // link's target, and the files put in it would land there. The mode is
    // changed through the descriptor of what was checked.
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return FailOpen(path, errno, error);
    struct stat st;
    int err = fstat(fd, &st) == 0 ? 0 : errno;
    // A folder made by hand or by an older release may let others list it.
    if (err == 0 && (st.st_mode & 07777) != 0700 && fchmod(fd, 0700) != 0)
        err = errno;
    close(fd);
    return err == 0 || Fail(err, error);
}

bool LookUpFile(const std::string& path, bool* exists, std::string* error)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        *exists = true;
        return true;
    }
    // A path through a plain file cannot name a file either.
    if (errno != ENOENT && errno != ENOTDIR)
        return Fail(errno, error);
    *exists = false;
    return true;
}

bool WritePrivateFileAtomic(const std::string& path, const std::string& content, std::string* error)
{
    // A link under the name would have its target's mode changed and its
    // target written: refused. Modes are set through the descriptor of the
    // file that was checked.
    if (!TightenPrivateFile(path, true, error))
        return false;
    // The temporary file is created without group and other bits, so the
    // content is never readable by others, not even for a moment.
    {
        UmaskGuard guard(077);
        if (!WriteFileAtomic(path, content, error))
            return false;
    }
    return TightenPrivateFile(path, false, error);
}

bool SetFileTimes(const std::string& path, const LocalTime& when, std::string* error)
{
    tm t{};
    t.tm_year = when.year - 1900;
    t.tm_mon = when.month - 1;
    t.tm_mday = when.day;
    t.tm_hour = when.hour;
    t.tm_min = when.minute;
    t.tm_sec = when.second;
    t.tm_isdst = -1;
    time_t seconds = mktime(&t);
    if (seconds == time_t(-1))
        return Fail(EINVAL, error);
    timespec times[2];
    times[0].tv_sec = times[1].tv_sec = seconds;
    times[0].tv_nsec = times[1].tv_nsec = long(when.millisecond) * 1000000L;
    if (utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        return Fail(errno, error);
    return true;
}

bool RemoveFile(const std::string& path, std::string* error)
{
    if (unlink(path.c_str()) != 0 && errno != ENOENT)
        return Fail(errno, error);
    return true;
}

} // namespace sys
