// Owner-only files and the per-user folder on POSIX systems.
#include "platform/private_files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
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

bool Refuse(const std::string& path, const char* why, std::string* error)
{
    if (error)
        *error = path + why;
    return false;
}

// What makes a folder unfit for private files: someone else could put,
// swap or remove files in it.
bool FolderIsPrivate(const std::string& path, const struct stat& st, std::string* error)
{
    if (!S_ISDIR(st.st_mode))
        return Refuse(path, " is not a folder", error);
    if (st.st_uid != geteuid())
        return Refuse(path, " belongs to another user", error);
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return Refuse(path, " may be changed by other users", error);
    return true;
}

// The open folder, checked on its descriptor; -1 with *missing set when
// the folder does not exist, else with *error.
int OpenPrivateFolder(const std::string& path, int flags, bool* missing, std::string* error)
{
    int fd = open(path.c_str(), flags | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int err = errno;
    struct stat st;
    // A link or a file under the folder's name is in the way; a name whose
    // path runs through a file cannot exist.
    *missing = fd < 0 && (err == ENOENT || err == ENOTDIR) && lstat(path.c_str(), &st) != 0;
    if (fd < 0) {
        if (!*missing && lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode) &&
            !S_ISDIR(st.st_mode))
            Refuse(path, " is not a folder", error);
        else if (!*missing)
            FailOpen(path, err, error);
        return -1;
    }
    bool ok = fstat(fd, &st) == 0 ? FolderIsPrivate(path, st, error) : Fail(errno, error);
    if (!ok) {
        close(fd);
        return -1;
    }
    return fd;
}

// An existing file that may be read or replaced as the user's own.
bool FileIsPrivate(const std::string& path, const struct stat& st, std::string* error)
{
    if (!S_ISREG(st.st_mode))
        return Refuse(path, " is not a regular file", error);
    if (st.st_uid != geteuid())
        return Refuse(path, " belongs to another user", error);
    if (st.st_nlink != 1)
        return Refuse(path, " has other hard links", error);
    return true;
}

bool WriteAll(int fd, const std::string& content)
{
    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        p += n;
        left -= size_t(n);
    }
    return true;
}

// A new name for a temporary file, in the pattern the start-up clean-up
// knows: ".regscope-" and six characters.
std::string TemporaryName(unsigned attempt)
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned long long bits = (unsigned long long)getpid() * 2654435761ULL ^
                              (unsigned long long)time(nullptr) * 40503ULL ^ attempt * 7919ULL;
    std::string name = ".regscope-";
    for (int i = 0; i < 6; ++i, bits /= 62)
        name += kChars[bits % 62];
    return name;
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

std::string SharedStoreFolder() { return {}; }

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
    if (err == 0 && st.st_uid != geteuid()) {
        close(fd);
        return Refuse(path, " belongs to another user", error);
    }
    // A folder made by hand or by an older release may let others list it.
    if (err == 0 && (st.st_mode & 07777) != 0700 && fchmod(fd, 0700) != 0)
        err = errno;
    close(fd);
    return err == 0 || Fail(err, error);
}

PrivateRead ReadPrivateFile(const std::string& folder, const std::string& name, size_t max_size,
                            std::string* content, std::string* error)
{
    // O_PATH: a folder its owner made unreadable is still checked, and the
    // file's own open then says whether it may be searched.
    bool missing = false;
    int dir = OpenPrivateFolder(folder, O_PATH, &missing, error);
    if (dir < 0)
        return missing ? PrivateRead::Missing : PrivateRead::Refused;
    const std::string path = folder + "/" + name;
    // O_NONBLOCK: a FIFO under the name must not hold the start.
    int fd = openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    const int open_err = errno;
    close(dir);
    if (fd < 0) {
        if (open_err == ENOENT)
            return PrivateRead::Missing;
        FailOpen(path, open_err, error);
        return PrivateRead::Refused;
    }
    struct stat st;
    bool ok = fstat(fd, &st) == 0 ? FileIsPrivate(path, st, error) : Fail(errno, error);
    if (ok && (st.st_mode & 077))
        ok = Refuse(path, " may be read by other users", error);
    if (ok && st.st_size > off_t(max_size))
        ok = Refuse(path, " is too large", error);
    if (ok) {
        // The size may have grown since fstat: one byte beyond the limit
        // is enough to tell.
        content->assign(max_size + 1, '\0');
        size_t got = 0;
        while (ok && got <= max_size) {
            ssize_t n = read(fd, content->data() + got, max_size + 1 - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                ok = Fail(errno, error);
            else if (n == 0)
                break;
            else
                got += size_t(n);
        }
        content->resize(got);
        if (ok && got > max_size)
            ok = Refuse(path, " is too large", error);
    }
    close(fd);
    if (!ok)
        content->clear();
    return ok ? PrivateRead::Read : PrivateRead::Refused;
}

bool WritePrivateFileAtomic(const std::string& folder, const std::string& name,
                            const std::string& content, std::string* error)
{
    if (!MakePrivateFolder(folder, error))
        return false;
    // Everything below goes through the descriptor of the folder that was
    // checked: a folder swapped meanwhile is not written.
    bool missing = false;
    int dir = OpenPrivateFolder(folder, O_RDONLY, &missing, error);
    if (dir < 0)
        return missing ? Fail(ENOENT, error) : false;
    const std::string path = folder + "/" + name;
    int old = openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (old < 0 && errno != ENOENT) {
        close(dir);
        return FailOpen(path, errno, error);
    }
    if (old >= 0) {
        // Replaced by a new file, never written through: a file with
        // another name elsewhere keeps its content.
        struct stat st;
        bool ok = fstat(old, &st) == 0 ? FileIsPrivate(path, st, error) : Fail(errno, error);
        close(old);
        if (!ok) {
            close(dir);
            return false;
        }
    }
    std::string temp;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = TemporaryName(attempt);
        fd = openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        const int err = errno;
        close(dir);
        return Fail(err, error);
    }
    // Held until the rename: the start-up clean-up leaves a locked file be.
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    int err = 0;
    // Created without group and other bits, whatever the umask; set to 0600
    // also under a umask that took the owner's.
    if (fchmod(fd, 0600) != 0 || !WriteAll(fd, content) || fsync(fd) != 0)
        err = errno;
    if (err == 0 && renameat(dir, temp.c_str(), dir, name.c_str()) != 0)
        err = errno;
    if (err != 0)
        unlinkat(dir, temp.c_str(), 0);
    close(fd);
    if (err == 0)
        fsync(dir); // the rename itself made durable
    close(dir);
    return err == 0 || Fail(err, error);
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
