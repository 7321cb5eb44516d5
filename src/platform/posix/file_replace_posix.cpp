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
// anything is changed).
//
// A temporary file is locked while it is written. A program killed in the
// middle leaves it unlocked; RemoveStaleTemporaries deletes such leftovers
// and never one that a running instance still holds.
#include "platform/system.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
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

// Makes the rename that just happened in the folder survive a power cut.
void SyncFolder(const std::string& folder)
{
    int dfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
}

// Rewrites the file through its own inode: new content, flushed, then cut to
// its length and flushed again. Reserving the room first makes a full disk
// or a size limit fail before the old content is touched. 0 or the errno.
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

// A rewrite in place is not atomic: a program killed in the middle leaves
// the new content followed by the tail of the old, or (the kernel stops a
// killed writer between memory pages) new pages followed by old ones. So the
// new content is first put in a journal beside the file, flushed, and the
// journal removed once the file is whole. A journal still there names a
// rewrite that did not finish: whoever finds it writes its content into the
// file again (FinishInterruptedRewrite, and at the next start). The journal
// is locked while its writer lives, and its name comes from the file's
// device and inode, so a reader finds it from the file alone.
//
// Layout: "regscope rewrite <device> <inode> <path length> <content
// length>\n", the path, the content, "end\n". A journal without its end
// was cut before the file was touched.
constexpr char kJournalPrefix[] = ".regscope-redo-";
constexpr char kJournalMagic[] = "regscope rewrite";
constexpr char kJournalEnd[] = "end\n";
// A live writer may have just removed the journal we opened; a new one is
// then opened. Beyond this many rounds something else is wrong.
constexpr int kJournalOpenTries = 100;

std::string JournalName(const std::string& folder, const struct stat& file)
{
    return folder + "/" + kJournalPrefix + std::to_string(file.st_dev) + "-" +
           std::to_string(file.st_ino);
}

std::string JournalRecord(const struct stat& file, const std::string& path,
                          const std::string& content)
{
    char head[128];
    std::snprintf(head, sizeof head, "%s %ju %ju %zu %zu\n", kJournalMagic, uintmax_t(file.st_dev),
                  uintmax_t(file.st_ino), path.size(), content.size());
    return head + path + content + kJournalEnd;
}

struct JournalEntry {
    uintmax_t device = 0, inode = 0;
    std::string path, content;
};

bool ParseJournal(const std::string& record, JournalEntry* entry)
{
    const size_t eol = record.find('\n');
    if (eol == std::string::npos)
        return false;
    const std::string magic = std::string(kJournalMagic) + " ";
    if (record.compare(0, magic.size(), magic) != 0)
        return false;
    const std::string numbers = record.substr(magic.size(), eol - magic.size());
    size_t path_size = 0, content_size = 0;
    int used = 0;
    if (std::sscanf(numbers.c_str(), "%ju %ju %zu %zu%n", &entry->device, &entry->inode, &path_size,
                    &content_size, &used) != 4 ||
        size_t(used) != numbers.size())
        return false;
    const size_t end = sizeof kJournalEnd - 1;
    const size_t body = eol + 1;
    if (path_size > record.size() || content_size > record.size() ||
        record.size() != body + path_size + content_size + end ||
        record.compare(record.size() - end, end, kJournalEnd) != 0)
        return false;
    entry->path = record.substr(body, path_size);
    entry->content = record.substr(body + path_size, content_size);
    return true;
}

bool ReadWhole(int fd, std::string* out)
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
        out->append(buf, size_t(n));
        at += n;
    }
}

void LockExclusive(int fd)
{
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

// Deals with the journal open and locked as `fd`: a finished one is gone
// already, a cut one is dropped, a whole one is written into its file
// (when that is still the same file) and then dropped.
void SettleJournal(int fd, const std::string& name)
{
    struct stat st;
    if (fstat(fd, &st) != 0 || st.st_nlink == 0)
        return; // its writer finished and removed it
    std::string record;
    JournalEntry entry;
    if (!ReadWhole(fd, &record))
        return;
    if (ParseJournal(record, &entry)) {
        int target = open(entry.path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
        struct stat now;
        if (target >= 0 && fstat(target, &now) == 0 && uintmax_t(now.st_dev) == entry.device &&
            uintmax_t(now.st_ino) == entry.inode && RewriteThrough(target, entry.content) != 0) {
            close(target);
            return; // kept for a later try
        }
        if (target >= 0)
            close(target);
    }
    unlink(name.c_str());
}

// The journal of the file open as `fd`, created or taken over and locked;
// -1 when the folder cannot hold one.
int OpenJournal(const std::string& name)
{
    for (int i = 0; i < kJournalOpenTries; ++i) {
        int jfd = open(name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (jfd < 0)
            return -1;
        LockExclusive(jfd);
        struct stat st;
        if (fstat(jfd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink > 0)
            return jfd;
        close(jfd);
    }
    return -1;
}

bool WriteInPlace(const std::string& path, const std::string& content, std::string* error)
{
    int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return Fail(errno, error);
    struct stat st;
    int jfd = -1;
    std::string journal;
    if (fstat(fd, &st) == 0) {
        journal = JournalName(FolderOf(path), st);
        jfd = OpenJournal(journal);
    }
    if (jfd >= 0) {
        // A half-written journal of a killed writer is finished first: the
        // content given here may not cover what it was writing.
        SettleJournal(jfd, journal);
        close(jfd);
        jfd = OpenJournal(journal);
    }
    if (jfd >= 0) {
        int journal_err = 0;
        if (ftruncate(jfd, 0) != 0 ||
            !WriteAll(jfd, JournalRecord(st, path, content), &journal_err) || fsync(jfd) != 0) {
            // Without a journal the rewrite is still made, as before.
            unlink(journal.c_str());
            close(jfd);
            jfd = -1;
        }
    }
    int err = RewriteThrough(fd, content);
    if (close(fd) != 0 && err == 0)
        err = errno;
    if (jfd >= 0) {
        // Written, or failed before the first byte (the room is reserved
        // first): either way nothing is left to finish.
        unlink(journal.c_str());
        close(jfd);
    }
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
    if (WriteAll(fd, content, &err) && fsync(fd) != 0)
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
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return;
    const std::string name = JournalName(FolderOf(path), st);
    int fd = open(name.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    // Waits for a running writer: its rewrite takes a moment.
    LockExclusive(fd);
    SettleJournal(fd, name);
    close(fd);
}

void RemoveStaleTemporaries(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    const double now = double(time(nullptr));
    while (dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, kJournalPrefix, sizeof kJournalPrefix - 1) == 0) {
            const std::string name = folder + "/" + entry->d_name;
            int fd = open(name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0)
                continue;
            // A journal whose writer still runs is left to it.
            if (flock(fd, LOCK_EX | LOCK_NB) == 0)
                SettleJournal(fd, name);
            close(fd);
            continue;
        }
        if (!IsTemporaryName(entry->d_name))
            continue;
        const std::string path = folder + "/" + entry->d_name;
        int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        // Unlocked and old: its writer is gone. The lock is held while the
        // name is removed, so no writer can take the file up meanwhile.
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            now - double(st.st_mtime) >= kStaleAfterSeconds && flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlink(path.c_str());
        close(fd);
    }
    closedir(dir);
}

} // namespace sys
