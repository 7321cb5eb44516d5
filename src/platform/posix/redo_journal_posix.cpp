// The redo journal of a rewrite in place, kept in the user's private folder
// (the record it holds: redo_record.h).
#include "platform/posix/redo_journal.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/private_files.h"
#include "platform/redo_record.h"
#include "platform/system.h"

namespace sys::redo {

namespace {

constexpr char kFolderName[] = "redo";
// A live writer holds its journal for as long as a rewrite takes, a few
// milliseconds; nothing waits longer than this on a lock.
constexpr double kLockWaitS = 2.0;
constexpr double kLockRetryS = 0.005;
// A writer that just created its journal may lose it to a reader that took
// it as a cut one; it then makes another. Beyond this something else is wrong.
constexpr int kOpenTries = 20;

FileKey KeyOf(const struct stat& file) { return {uintmax_t(file.st_dev), uintmax_t(file.st_ino)}; }

std::string NameOf(const struct stat& file) { return JournalName(KeyOf(file)); }

// A folder or file of ours that nobody else may enter or change.
bool PrivateToUs(const struct stat& st)
{
    return st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

// The journal folder, opened and checked; -1 when there is none to use.
int OpenFolder(bool create)
{
    const std::string top = UserProgramFolder();
    const std::string folder = top + "/" + kFolderName;
    if (create && !(MakePrivateFolder(top, nullptr) && MakePrivateFolder(folder, nullptr)))
        return -1;
    int top_fd = open(top.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (top_fd < 0)
        return -1;
    struct stat st;
    int fd = -1;
    // The folder above must be private too: whoever may rename entries in
    // it could swap the journal folder for one of their own.
    if (fstat(top_fd, &st) == 0 && PrivateToUs(st))
        fd = openat(top_fd, kFolderName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    close(top_fd);
    if (fd >= 0 && (fstat(fd, &st) != 0 || !PrivateToUs(st))) {
        close(fd);
        fd = -1;
    }
    return fd;
}

bool LockWithin(int fd, double seconds)
{
    const double until = MonotonicSeconds() + seconds;
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (MonotonicSeconds() >= until)
            return false;
        SleepSeconds(kLockRetryS);
    }
}

// At most `max` bytes from the start; false when the file holds more or
// cannot be read.
bool ReadUpTo(int fd, size_t max, std::string* out)
{
    out->clear();
    char buf[65536];
    for (off_t at = 0;;) {
        ssize_t n = pread(fd, buf, sizeof buf, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (out->size() + size_t(n) > max)
            return false;
        out->append(buf, size_t(n));
        at += n;
    }
}

enum class Found { None, Settled, Foreign };

// The journal open and locked as `jfd`, for the file open as `fd`: a
// finished one is gone already, a cut (also an empty one: its writer was
// killed before it wrote a byte) or stale one is dropped, a whole one
// is written into the file and then dropped. Foreign: the name holds
// something that is not a journal of ours; it is left alone.
Found SettleLocked(int folder, int jfd, const std::string& name, int fd, const struct stat& file)
{
    struct stat st;
    if (fstat(jfd, &st) != 0 || st.st_nlink == 0)
        return Found::None; // its writer finished and removed it
    if (!S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_uid != geteuid() ||
        (st.st_mode & 07777) != 0600 || size_t(st.st_size) > kMaxJournalBytes)
        return Found::Foreign;
    std::string record, now;
    Entry entry;
    if (ReadUpTo(jfd, kMaxJournalBytes, &record) && Parse(record, &entry) &&
        ReadUpTo(fd, std::max(entry.old.size(), entry.next.size()), &now) &&
        ToFinish(entry, KeyOf(file), now) && RewriteThrough(fd, entry.next) != 0)
        return Found::Settled; // kept for a later try
    unlinkat(folder, name.c_str(), 0);
    return Found::Settled;
}

} // namespace

bool WriteAll(int fd, const std::string& content, int* err)
{
    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *err = errno;
            return false;
        }
        p += n;
        left -= size_t(n);
    }
    return true;
}

int RewriteThrough(int fd, const std::string& content)
{
    int err = 0;
    if (!content.empty()) {
        err = posix_fallocate(fd, 0, off_t(content.size()));
        // File systems that cannot reserve room still take the write.
        if (err == EOPNOTSUPP || err == EINVAL)
            err = 0;
    }
    if (err == 0 && lseek(fd, 0, SEEK_SET) != 0)
        err = errno;
    if (err == 0 && WriteAll(fd, content, &err) && fsync(fd) != 0)
        err = errno;
    if (err == 0 && ftruncate(fd, off_t(content.size())) != 0)
        err = errno;
    if (err == 0 && fsync(fd) != 0)
        err = errno;
    return err;
}

Begun Begin(int fd, const struct stat& file, const std::string& path, const std::string& content,
            Journal* journal, std::string* error)
{
    *journal = Journal();
    const int folder = OpenFolder(true);
    if (folder < 0)
        return Begun::Without;
    const std::string name = NameOf(file);
    const std::string shown = UserProgramFolder() + "/" + kFolderName + "/" + name;
    for (int i = 0; i < kOpenTries; ++i) {
        const int flags = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        int jfd = openat(folder, name.c_str(), flags | O_CREAT | O_EXCL, 0600);
        const bool created = jfd >= 0;
        if (!created && errno == EEXIST)
            jfd = openat(folder, name.c_str(), flags);
        if (jfd < 0 && errno == ENOENT)
            continue; // dropped by a reader in between
        if (jfd < 0)
            break;
        if (!LockWithin(jfd, kLockWaitS)) {
            close(jfd);
            close(folder);
            *error = "another program is rewriting it (" + shown + " is locked)";
            return Begun::Refused;
        }
        // A half-done rewrite of a killed writer is finished first: the
        // content given here may not cover what it was writing.
        const Found found = created ? Found::None : SettleLocked(folder, jfd, name, fd, file);
        if (found == Found::Foreign) {
            close(jfd);
            close(folder);
            *error = shown + " is in the way: not a journal of this program";
            return Begun::Refused;
        }
        if (!created) {
            close(jfd);
            continue;
        }
        struct stat st;
        if (fstat(jfd, &st) != 0 || st.st_nlink == 0) {
            close(jfd);
            continue;
        }
        std::string old;
        int err = 0;
        const bool kept = content.size() <= kMaxJournalBytes / 2 &&
                          ReadUpTo(fd, kMaxJournalBytes / 2, &old) &&
                          WriteAll(jfd, Record(KeyOf(file), path, content, old), &err) &&
                          fsync(jfd) == 0 && fsync(folder) == 0;
        if (!kept) {
            unlinkat(folder, name.c_str(), 0);
            close(jfd);
            break;
        }
        journal->folder = folder;
        journal->fd = jfd;
        journal->name = name;
        return Begun::Journalled;
    }
    close(folder);
    return Begun::Without;
}

void End(Journal* journal)
{
    if (journal->folder < 0)
        return;
    unlinkat(journal->folder, journal->name.c_str(), 0);
    close(journal->fd);
    close(journal->folder);
    *journal = Journal();
}

bool Pending(const struct stat& file)
{
    const int folder = OpenFolder(false);
    if (folder < 0)
        return false;
    struct stat st;
    const bool found = fstatat(folder, NameOf(file).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    close(folder);
    return found;
}

void Settle(int fd, const struct stat& file)
{
    const int folder = OpenFolder(false);
    if (folder < 0)
        return;
    const std::string name = NameOf(file);
    int jfd = openat(folder, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    // A writer slower than the wait is left to finish its own rewrite.
    if (jfd >= 0 && LockWithin(jfd, kLockWaitS))
        SettleLocked(folder, jfd, name, fd, file);
    if (jfd >= 0)
        close(jfd);
    close(folder);
}

} // namespace sys::redo
