// The rewrite in place on Windows and its redo journal.
#include "platform/win32/redo_journal.h"

#include <algorithm>
#include <windows.h>

#include "platform/private_files.h"
#include "platform/redo_record.h"
#include "platform/system.h"
#include "platform/win32/user_owned.h"
#include "platform/win32/win32_text.h"

namespace sys::redo {

namespace {

constexpr char kFolderName[] = "redo";
// A live writer holds its claim for as long as a rewrite takes, a few
// milliseconds; nothing waits longer than this.
constexpr double kLockWaitS = 2.0;
constexpr double kLockRetryS = 0.005;
// The byte locked to claim a file: far past any end a file reaches, so
// that reading and writing the content never meet the lock.
constexpr DWORD kClaimHigh = 0x7fffffff, kClaimLow = 0xfffffff0;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string Folder() { return UserProgramFolder() + "\\" + kFolderName; }

std::wstring JournalPath(const FileKey& key)
{
    return win32::Wide(Folder() + "\\" + JournalName(key));
}

bool KeyOf(HANDLE h, FileKey* key)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info) || GetFileType(h) != FILE_TYPE_DISK ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    key->device = info.dwVolumeSerialNumber;
    key->id = uintmax_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    return true;
}

OVERLAPPED ClaimAt()
{
    OVERLAPPED at{};
    at.Offset = kClaimLow;
    at.OffsetHigh = kClaimHigh;
    return at;
}

// 0, or ERROR_LOCK_VIOLATION when another program holds the claim past the
// wait, or the system's error code.
DWORD Claim(HANDLE h)
{
    const double until = MonotonicSeconds() + kLockWaitS;
    for (;;) {
        OVERLAPPED at = ClaimAt();
        if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
            return 0;
        const DWORD err = GetLastError();
        if (err != ERROR_LOCK_VIOLATION || MonotonicSeconds() >= until)
            return err;
        SleepSeconds(kLockRetryS);
    }
}

void Release(HANDLE h)
{
    OVERLAPPED at = ClaimAt();
    UnlockFileEx(h, 0, 1, 0, &at);
}

bool SeekTo(HANDLE h, size_t at)
{
    LARGE_INTEGER to;
    to.QuadPart = LONGLONG(at);
    return SetFilePointerEx(h, to, nullptr, FILE_BEGIN);
}

// At most `max` bytes from the start; false when the file holds more or
// cannot be read.
bool ReadUpTo(HANDLE h, size_t max, std::string* out)
{
    out->clear();
    if (!SeekTo(h, 0))
        return false;
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(h, buf, sizeof buf, &n, nullptr))
            return false;
        if (n == 0)
            return true;
        if (out->size() + n > max)
            return false;
        out->append(buf, n);
    }
}

// New content through the file's own handle: the file first made as long
// as the longer of the two (zeros past the old end, so that a full disk
// fails before the old content is touched), written, flushed, then cut to
// its length and flushed again. 0 or the system's error code.
DWORD RewriteThrough(HANDLE h, const std::string& content)
{
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(h, &size);
    if (ok && LONGLONG(content.size()) > size.QuadPart)
        ok = SeekTo(h, content.size()) && SetEndOfFile(h);
    ok = ok && SeekTo(h, 0) && WriteAll(h, content) && FlushFileBuffers(h) &&
         SeekTo(h, content.size()) && SetEndOfFile(h) && FlushFileBuffers(h);
    const DWORD err = ok ? 0 : GetLastError();
    // A write that took nothing sets no error of its own.
    return ok || err != 0 ? err : DWORD(ERROR_WRITE_FAULT);
}

// The name goes at once, also while another program (a virus scanner, a
// backup) still has the journal open; where the file system cannot do that,
// it goes when the last handle is closed.
void Delete(HANDLE journal)
{
    FILE_DISPOSITION_INFO_EX now{};
    now.Flags = FILE_DISPOSITION_FLAG_DELETE | FILE_DISPOSITION_FLAG_POSIX_SEMANTICS;
    // FileDispositionInfoEx (Windows 10 1709), which the headers name only for
    // a later _WIN32_WINNT than the program asks for.
    constexpr auto kDispositionInfoEx = FILE_INFO_BY_HANDLE_CLASS(21);
    if (SetFileInformationByHandle(journal, kDispositionInfoEx, &now, sizeof now))
        return;
    FILE_DISPOSITION_INFO gone{};
    gone.DeleteFile = TRUE;
    SetFileInformationByHandle(journal, FileDispositionInfo, &gone, sizeof gone);
}

// The journal open for reading and deleting, waiting a moment for one that
// another program holds or that is still going.
HANDLE OpenJournal(const FileKey& key, DWORD* err)
{
    const double until = MonotonicSeconds() + kLockWaitS;
    for (;;) {
        HANDLE j = CreateFileW(JournalPath(key).c_str(), GENERIC_READ | DELETE | READ_CONTROL,
                               FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        *err = j == INVALID_HANDLE_VALUE ? GetLastError() : 0;
        // A folder under the name is denied too, and for good.
        const DWORD is = GetFileAttributesW(JournalPath(key).c_str());
        const bool busy = (*err == ERROR_SHARING_VIOLATION || *err == ERROR_ACCESS_DENIED ||
                           *err == ERROR_DELETE_PENDING) &&
                          (is == INVALID_FILE_ATTRIBUTES || !(is & FILE_ATTRIBUTE_DIRECTORY));
        if (!busy || MonotonicSeconds() >= until)
            return j;
        SleepSeconds(kLockRetryS);
    }
}

enum class Found { None, Settled, Foreign };

// The journal of the claimed file open as `target`: a cut or stale one is
// dropped, a whole one written into the file and then dropped. Foreign:
// the name holds something that is not a journal of ours; it is left
// alone.
Found SettleClaimed(HANDLE target, const FileKey& key)
{
    DWORD err = 0;
    HANDLE j = OpenJournal(key, &err);
    if (j == INVALID_HANDLE_VALUE)
        return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND ? Found::None
                                                                          : Found::Foreign;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(j, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
        info.nNumberOfLinks != 1 || info.nFileSizeHigh != 0 ||
        info.nFileSizeLow > kMaxJournalBytes || !win32::OwnedByUser(j)) {
        CloseHandle(j);
        return Found::Foreign;
    }
    std::string record, now;
    Entry entry;
    const bool kept = ReadUpTo(j, kMaxJournalBytes, &record) && Parse(record, &entry) &&
                      ReadUpTo(target, std::max(entry.old.size(), entry.next.size()), &now) &&
                      ToFinish(entry, key, now) && RewriteThrough(target, entry.next) != 0;
    // A journal whose write failed is kept for a later try.
    if (!kept)
        Delete(j);
    CloseHandle(j);
    return Found::Settled;
}

// The new content and the old kept in a new journal, flushed; the journal
// open, or INVALID_HANDLE_VALUE when none can be kept.
HANDLE KeepJournal(HANDLE target, const FileKey& key, const std::string& path,
                   const std::string& content)
{
    std::string old;
    if (content.size() > kMaxJournalBytes / 2 || !ReadUpTo(target, kMaxJournalBytes / 2, &old))
        return INVALID_HANDLE_VALUE;
    HANDLE j = CreateFileW(JournalPath(key).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                           nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (j == INVALID_HANDLE_VALUE)
        return j;
    if (!WriteAll(j, Record(key, path, content, old)) || !FlushFileBuffers(j)) {
        Delete(j);
        CloseHandle(j);
        return INVALID_HANDLE_VALUE;
    }
    return j;
}

} // namespace

bool WriteAll(HANDLE h, const std::string& content)
{
    for (size_t at = 0; at < content.size();) {
        const DWORD chunk = DWORD(std::min<size_t>(content.size() - at, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(h, content.data() + at, chunk, &written, nullptr) || written == 0)
            return false;
        at += written;
    }
    return true;
}

bool RewriteInPlace(const std::string& path, const std::string& content, std::string* error)
{
    const std::wstring wide = win32::Wide(path);
    // Read and write: the journal keeps the old content too. A file this
    // process may only write is still rewritten, without a journal.
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool readable = h != INVALID_HANDLE_VALUE;
    if (!readable)
        h = CreateFileW(wide.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return win32::Fail(error);
    FileKey key;
    if (!KeyOf(h, &key)) {
        CloseHandle(h);
        return win32::Fail(ERROR_INVALID_FUNCTION, error);
    }
    if (const DWORD err = Claim(h)) {
        CloseHandle(h);
        if (err != ERROR_LOCK_VIOLATION)
            return win32::Fail(err, error);
        if (error)
            *error = "another program is rewriting it";
        return false;
    }
    HANDLE journal = INVALID_HANDLE_VALUE;
    if (readable && MakePrivateFolder(UserProgramFolder(), nullptr) &&
        MakePrivateFolder(Folder(), nullptr)) {
        // A half-done rewrite of a killed writer is finished first: the
        // content given here may not cover what it was writing.
        if (SettleClaimed(h, key) == Found::Foreign) {
            Release(h);
            CloseHandle(h);
            if (error)
                *error =
                    win32::Ansi(JournalPath(key)) + " is in the way: not a journal of this program";
            return false;
        }
        journal = KeepJournal(h, key, path, content);
    }
    const DWORD err = RewriteThrough(h, content);
    // Written, or failed before the first byte (the room is reserved
    // first): either way nothing is left to finish.
    if (journal != INVALID_HANDLE_VALUE) {
        Delete(journal);
        CloseHandle(journal);
    }
    Release(h);
    CloseHandle(h);
    return err == 0 || win32::Fail(err, error);
}

void Settle(const std::string& path)
{
    const std::wstring wide = win32::Wide(path);
    // Opened for writing only when a journal waits: reads are many.
    HANDLE look = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (look == INVALID_HANDLE_VALUE)
        return;
    FileKey key;
    const bool pending = KeyOf(look, &key) &&
                         GetFileAttributesW(JournalPath(key).c_str()) != INVALID_FILE_ATTRIBUTES;
    CloseHandle(look);
    if (!pending)
        return;
    // Only the file being read is ever written, through the handle opened
    // here; a name this process may not write has nothing to finish.
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    // A writer slower than the wait is left to finish its own rewrite.
    if (KeyOf(h, &key) && Claim(h) == 0) {
        SettleClaimed(h, key);
        Release(h);
    }
    CloseHandle(h);
}

} // namespace sys::redo
