// Replacing a file's content on Windows without ever leaving half a file,
// or none: a temporary file in the same folder is given the replaced
// file's access list, attributes and creation time, flushed, and renamed
// over it in one step (MoveFileExW). ReplaceFileW is not used: it moves
// the old file away before it moves the new one in, and a program killed
// in between leaves no file under the name at all.
//
// A file with other names, which a rename would cut from them, a file of
// another owner (whom this process cannot make the new file's owner), a
// file in a folder this process cannot write and a file another program
// holds open against renames are rewritten in place instead
// (redo_journal.h).
#include "platform/system.h"

#include <aclapi.h>
#include <cstring>
#include <memory>
#include <random>
#include <windows.h>

#include "platform/win32/redo_journal.h"
#include "platform/win32/win32_text.h"

namespace sys {

namespace {

constexpr char kTempPrefix[] = ".regscope-";
constexpr size_t kTempRandom = 6;
constexpr double kStaleAfterSeconds = 60;

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos)
        return ".";
    return slash == 0 || (slash == 2 && path[1] == ':') ? path.substr(0, slash + 1)
                                                        : path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\'))
        return folder + name;
    return folder + "\\" + name;
}

// A new temporary file in the folder, open for writing; nobody else may
// open it until it is closed, but it may be renamed while open (the
// rename that puts it in the file's place).
HANDLE CreateTemporary(const std::string& folder, std::string* name)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string leaf = kTempPrefix;
        for (size_t i = 0; i < kTempRandom; ++i)
            leaf += kLetters[random() % (sizeof kLetters - 1)];
        *name = JoinPath(folder, leaf);
        HANDLE h =
            CreateFileW(win32::Wide(*name).c_str(),
                        GENERIC_WRITE | READ_CONTROL | WRITE_DAC | WRITE_OWNER | DELETE,
                        FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return h;
    }
    return INVALID_HANDLE_VALUE;
}

struct LocalDeleter {
    void operator()(void* p) const { LocalFree(p); }
};

bool SameOwner(PSID owner, HANDLE h)
{
    PSID mine = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetSecurityInfo(h, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &mine, nullptr, nullptr,
                        nullptr, &sd) != ERROR_SUCCESS)
        return false;
    std::unique_ptr<void, LocalDeleter> owned(sd);
    return EqualSid(owner, mine);
}

// Gives the temporary file open as `temp` the access list of the file open
// as `old` (its own entries, or the whole list when it inherits nothing)
// and its owner. False when this process may not: the file of another
// owner.
bool TakeAccess(HANDLE temp, HANDLE old)
{
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetSecurityInfo(old, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                        &owner, nullptr, &dacl, nullptr, &sd) != ERROR_SUCCESS)
        return false;
    std::unique_ptr<void, LocalDeleter> owned(sd);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!GetSecurityDescriptorControl(sd, &control, &revision))
        return false;
    SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION;
    what |= (control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                          : UNPROTECTED_DACL_SECURITY_INFORMATION;
    // Setting another owner takes a privilege users do not hold.
    const bool same = SameOwner(owner, temp);
    if (!same)
        what |= OWNER_SECURITY_INFORMATION;
    return SetSecurityInfo(temp, SE_FILE_OBJECT, what, same ? nullptr : owner, nullptr, dacl,
                           nullptr) == ERROR_SUCCESS;
}

// The attributes (hidden, system, not indexed) and the creation time.
bool TakeAttributes(HANDLE temp, HANDLE old)
{
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(old, FileBasicInfo, &basic, sizeof basic))
        return false;
    FILE_BASIC_INFO mine{};
    mine.CreationTime = basic.CreationTime;
    // Marked for the next backup, as any changed file is.
    mine.FileAttributes = FILE_ATTRIBUTE_ARCHIVE |
                          (basic.FileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                   FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
    return SetFileInformationByHandle(temp, FileBasicInfo, &mine, sizeof mine);
}

// What the file open as `old` is beyond its content, given to the
// temporary file open as `temp`; access lists only where the volume keeps
// them (not on FAT).
bool TakeIdentity(HANDLE temp, HANDLE old)
{
    DWORD features = 0;
    if (!GetVolumeInformationByHandleW(old, nullptr, 0, nullptr, nullptr, &features, nullptr, 0))
        return false;
    return (!(features & FILE_PERSISTENT_ACLS) || TakeAccess(temp, old)) &&
           TakeAttributes(temp, old);
}

bool IsTemporaryName(const wchar_t* name)
{
    const std::string leaf = win32::Ansi(name);
    const size_t prefix = sizeof kTempPrefix - 1;
    if (leaf.compare(0, prefix, kTempPrefix) != 0)
        return false;
    const size_t rest = leaf.size() - prefix;
    return rest == kTempRandom || (rest == 4 + kTempRandom && leaf.compare(prefix, 4, "bmp-") == 0);
}

// The temporary file open as `h` goes, through its own handle: the access
// list it took over may not let this user delete it by name.
void Discard(HANDLE h)
{
    FILE_DISPOSITION_INFO gone{};
    gone.DeleteFile = TRUE;
    SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof gone);
    CloseHandle(h);
}

bool Missing(DWORD err) { return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND; }

} // namespace

bool WriteFileAtomic(const std::string& path, const std::string& content, std::string* error)
{
    const std::wstring target = win32::Wide(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && !Missing(GetLastError()))
        return win32::Fail(error);
    // A target this user may not write must stay as it is: refuse like a
    // plain write would (read-only, or an access list that says so).
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        return win32::Fail(ERROR_ACCESS_DENIED, error);
    HANDLE old = INVALID_HANDLE_VALUE;
    if (exists) {
        HANDLE probe = CreateFileW(target.c_str(), FILE_WRITE_DATA,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED)
            return win32::Fail(ERROR_ACCESS_DENIED, error);
        if (probe != INVALID_HANDLE_VALUE)
            CloseHandle(probe);
        old = CreateFileW(target.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        BY_HANDLE_FILE_INFORMATION info{};
        if (old == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(old, &info) ||
            info.nNumberOfLinks > 1) {
            if (old != INVALID_HANDLE_VALUE)
                CloseHandle(old);
            return redo::RewriteInPlace(path, content, error);
        }
    }

    const std::string folder = FolderOf(path);
    std::string temp;
    HANDLE h = CreateTemporary(folder, &temp);
    const DWORD create_err = GetLastError();
    const bool identity = h == INVALID_HANDLE_VALUE || !exists || TakeIdentity(h, old);
    if (old != INVALID_HANDLE_VALUE)
        CloseHandle(old);
    if (h == INVALID_HANDLE_VALUE || !identity) {
        if (h != INVALID_HANDLE_VALUE)
            Discard(h);
        if (exists)
            return redo::RewriteInPlace(path, content, error);
        if (error)
            *error = "folder " + folder + ": " + win32::ErrorText(create_err);
        return false;
    }
    bool ok = redo::WriteAll(h, content) && FlushFileBuffers(h);
    DWORD err = ok ? 0 : GetLastError();
    if (ok) {
        ok = MoveFileExW(win32::Wide(temp).c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        err = ok ? 0 : GetLastError();
    }
    if (!ok) {
        Discard(h);
        // Another program holds the file open without letting it be
        // renamed over: its content can still be rewritten.
        if (exists && (err == ERROR_SHARING_VIOLATION || err == ERROR_ACCESS_DENIED))
            return redo::RewriteInPlace(path, content, error);
        return win32::Fail(err, error);
    }
    // The rename is a change of the file's metadata: flushed with it, it
    // survives a power cut (the flag above does nothing within one volume).
    FlushFileBuffers(h);
    CloseHandle(h);
    return true;
}

void FinishInterruptedRewrite(const std::string& path) { redo::Settle(path); }

void RemoveStaleTemporaries(const std::string& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(
        win32::Wide(JoinPath(folder, std::string(kTempPrefix) + "*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FILETIME now_ft;
    GetSystemTimeAsFileTime(&now_ft);
    const auto ticks = [](const FILETIME& t) {
        return (long long)t.dwHighDateTime << 32 | t.dwLowDateTime;
    };
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
            !IsTemporaryName(found.cFileName))
            continue;
        if (double(ticks(now_ft) - ticks(found.ftLastWriteTime)) / 1e7 < kStaleAfterSeconds)
            continue;
        // Opened without sharing, it opens only when no writer holds it.
        HANDLE h =
            CreateFileW(win32::Wide(JoinPath(folder, win32::Ansi(found.cFileName))).c_str(), DELETE,
                        0, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            Discard(h);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace sys
