// Replacing a file's content on Windows: a temporary file in the same
// folder, flushed, then put in the file's place with ReplaceFileW, which
// keeps the replaced file's attributes, security descriptor, streams and
// creation time.
#include "platform/system.h"

#include <cstring>
#include <random>
#include <windows.h>

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
// open it until it is closed.
HANDLE CreateTemporary(const std::string& folder, std::string* name)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string leaf = kTempPrefix;
        for (size_t i = 0; i < kTempRandom; ++i)
            leaf += kLetters[random() % (sizeof kLetters - 1)];
        *name = JoinPath(folder, leaf);
        HANDLE h = CreateFileW(win32::Wide(*name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return h;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteWhole(HANDLE h, const std::string& content)
{
    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
        const DWORD chunk = DWORD(std::min<size_t>(left, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0)
            return false;
        p += written;
        left -= written;
    }
    return true;
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

} // namespace

bool WriteFileAtomic(const std::string& path, const std::string& content, std::string* error)
{
    const std::wstring target = win32::Wide(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists) {
        // A read-only target must stay protected: refuse like a plain write would.
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return win32::Fail(ERROR_ACCESS_DENIED, error);
        HANDLE old =
            CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        BY_HANDLE_FILE_INFORMATION info{};
        const bool known = old != INVALID_HANDLE_VALUE && GetFileInformationByHandle(old, &info);
        if (old != INVALID_HANDLE_VALUE)
            CloseHandle(old);
        // Replacing one of several names would cut it from the others; the
        // rewrite in place that keeps them is not there yet on Windows, so
        // the file is left as it is.
        if (known && info.nNumberOfLinks > 1) {
            if (error)
                *error = path + " has other names (hard links) and cannot be replaced";
            return false;
        }
    }

    const std::string folder = FolderOf(path);
    std::string temp;
    HANDLE h = CreateTemporary(folder, &temp);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        if (error)
            *error = "folder " + folder + ": " + win32::ErrorText(err);
        return false;
    }
    bool ok = WriteWhole(h, content) && FlushFileBuffers(h);
    DWORD err = ok ? 0 : GetLastError();
    CloseHandle(h);
    const std::wstring wide_temp = win32::Wide(temp);
    if (ok && exists) {
        ok = ReplaceFileW(target.c_str(), wide_temp.c_str(), nullptr,
                          REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                          nullptr);
        err = ok ? 0 : GetLastError();
    } else if (ok) {
        ok = MoveFileExW(wide_temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
        err = ok ? 0 : GetLastError();
    }
    if (!ok) {
        DeleteFileW(wide_temp.c_str());
        return win32::Fail(err, error);
    }
    return true;
}

// No rewrite in place is ever left half done on Windows yet (see
// WriteFileAtomic): there is nothing to complete.
void FinishInterruptedRewrite(const std::string&) {}

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
        // A writer holds its temporary file open without sharing: the delete
        // fails while it runs.
        DeleteFileW(win32::Wide(JoinPath(folder, win32::Ansi(found.cFileName))).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace sys
