// Replacing a file's content on POSIX systems without ever leaving half a
// file, and without changing what the file is: its owner, group, mode and
// hard links stay as they were.
//
// The usual way is a temporary file in the same folder, flushed and renamed
// over the old one. A rename makes a new file, though, so it is used only
// when the new file can be given the old one's identity. A file with other
// hard links, a file whose owner or group this process cannot give away,
// and a writable file in a folder this process cannot write are rewritten
// in place instead (room reserved first, so that a full disk fails before
// anything is changed), with a redo journal in the user's private folder
// (redo_journal.h) that makes a killed rewrite whole at the next read.
//
// A temporary file is locked while it is written. A program killed in the
// middle leaves it unlocked; RemoveStaleTemporaries deletes such leftovers
// and never one that a running instance still holds.
#include "platform/system.h"

#include "platform/posix/redo_journal.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace sys {

namespace {

constexpr char kTempPrefix[] = ".regscope-";
constexpr char kTempPattern[] = "XXXXXX"; // filled in by mkstemp
// A temporary file younger than this is left alone even when unlocked: its
// writer may be between creating it and locking it.
constexpr double kStaleAfterSeconds = 60;

std::string ErrnoText(int err) { return std::strerror(err); }

bool Fail(int err, std::string* error)
{
    if (error)
        *error = ErrnoText(err);
    return false;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Makes the rename that just happened in the folder survive a power cut.
void SyncFolder(const std::string& folder)
{
    int dfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
}

bool WriteInPlace(const std::string& path, const std::string& content, std::string* error)
{
    // Read and write: the journal keeps the old content too. A file this
    // process may only write is still rewritten, without a journal.
    int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    const bool readable = fd >= 0;
    if (!readable)
        fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fail(errno, error);
    struct stat st;
    const int stat_err = fstat(fd, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
    if (stat_err != 0) {
        close(fd);
        return Fail(stat_err, error);
    }
    redo::Journal journal;
    std::string refused;
    if (readable &&
        redo::Begin(fd, st, path, content, &journal, &refused) == redo::Begun::Refused) {
        close(fd);
        if (error)
            *error = refused;
        return false;
    }
    int err = redo::RewriteThrough(fd, content);
    if (close(fd) != 0 && err == 0)
        err = errno;
    // Written, or failed before the first byte (the room is reserved
    // first): either way nothing is left to finish.
    redo::End(&journal);
    return err == 0 || Fail(err, error);
}

// Gives the temporary file the identity of the file it replaces. False when
// this process may not (a user replacing a file of another owner that it
// may write through its group).
bool TakeIdentity(int fd, const struct stat& old)
{
    struct stat mine;
    if (fstat(fd, &mine) != 0)
        return false;
    if ((mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) &&
        fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    // After the owner: changing it clears the set-user and set-group bits.
    return fchmod(fd, old.st_mode & 07777) == 0;
}

// ".regscope-" and six characters, or ".regscope-bmp-" and six (the
// bitmap writer's temporary file).
bool IsTemporaryName(const char* name)
{
    const size_t prefix = sizeof kTempPrefix - 1, pattern = sizeof kTempPattern - 1;
    if (std::strncmp(name, kTempPrefix, prefix) != 0)
        return false;
    const size_t rest = std::strlen(name + prefix);
    return rest == pattern || (rest == 4 + pattern && std::strncmp(name + prefix, "bmp-", 4) == 0);
}

} // namespace

bool WriteFileAtomic(const std::string& path, const std::string& content, std::string* error)
{
    const std::string folder = FolderOf(path);
    struct stat old;
    const bool exists = stat(path.c_str(), &old) == 0;
    if (exists) {
        // A read-only target must stay protected: refuse like a plain write would.
        if (access(path.c_str(), W_OK) != 0)
            return Fail(errno, error);
        // Renaming over one of several names would cut it from the others.
        if (old.st_nlink > 1)
            return WriteInPlace(path, content, error);
    }

    // The temporary file lives in the target's folder so that the rename
    // never crosses file systems and stays atomic.
    std::string temp = folder + "/" + kTempPrefix + kTempPattern;
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        if (exists)
            return WriteInPlace(path, content, error);
        if (error)
            *error = "folder " + folder + ": " + ErrnoText(err);
        return false;
    }
    // Held until the rename: a starting instance sees the file is in use.
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }

    bool keep_identity = true;
    if (exists) {
        keep_identity = TakeIdentity(fd, old);
    } else {
        mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    if (!keep_identity) {
        close(fd);
        unlink(temp.c_str());
        return WriteInPlace(path, content, error);
    }

    int err = 0;
    if (redo::WriteAll(fd, content, &err) && fsync(fd) != 0)
        err = errno;
    if (err == 0 && rename(temp.c_str(), path.c_str()) != 0)
        err = errno;
    if (err != 0)
        unlink(temp.c_str());
    close(fd);
    if (err != 0)
        return Fail(err, error);
    SyncFolder(folder);
    return true;
}

void FinishInterruptedRewrite(const std::string& path)
{
    // Opened for writing only when a journal waits: an open for writing is
    // an event for whoever watches the file, and reads are many.
    struct stat before, st;
    if (stat(path.c_str(), &before) != 0 || !S_ISREG(before.st_mode) || !redo::Pending(before))
        return;
    // Only the file being read is ever written, through the descriptor
    // opened here; a name this process may not write has nothing to finish.
    int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        redo::Settle(fd, st);
    close(fd);
}

void RemoveStaleTemporaries(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    const int dfd = dirfd(dir);
    const double now = double(time(nullptr));
    while (dirent* entry = readdir(dir)) {
        if (!IsTemporaryName(entry->d_name))
            continue;
        const int fd =
            openat(dfd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        // Unlocked and old: its writer is gone. The lock is held while the
        // name is removed, so no writer can take the file up meanwhile.
        // Only this user's plain files with one name: anything else is not
        // a leftover of ours.
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
            st.st_nlink == 1 && now - double(st.st_mtime) >= kStaleAfterSeconds &&
            flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlinkat(dfd, entry->d_name, 0);
        close(fd);
    }
    closedir(dir);
}

} // namespace sys
