// Files written record by record (the plot log) on Windows. The open file
// is kept as a C runtime descriptor over its handle, as AppendFile holds one.
#include "platform/system.h"

#include <cctype>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/win32/win32_text.h"

namespace sys {

namespace {

// Beyond this much pending text the bytes go to the system without waiting
// for a flush: a long pass must not hold megabytes.
constexpr size_t kFlushAtBytes = 64 * 1024;

HANDLE HandleOf(const AppendFile& file) { return HANDLE(_get_osfhandle(file.fd)); }

bool Refuse(const char* why, std::string* error)
{
    if (error)
        *error = why;
    return false;
}

LogOpen OpenFailed(unsigned long code, std::string* error)
{
    win32::Fail(code, error);
    return LogOpen::Failed;
}

// Names that open a device wherever they stand: CON, PRN, AUX, NUL,
// COM1-COM9 and LPT1-LPT9, also with an extension ("NUL.txt"), and every
// path into the device or pipe name spaces.
bool IsDeviceName(const std::string& path)
{
    if (path.rfind("\\\\.\\", 0) == 0 || path.rfind("\\\\?\\", 0) == 0 ||
        path.rfind("//./", 0) == 0 || path.rfind("//?/", 0) == 0)
        return true;
    const size_t slash = path.find_last_of("/\\:");
    std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    leaf = leaf.substr(0, leaf.find('.'));
    while (!leaf.empty() && leaf.back() == ' ')
        leaf.pop_back();
    for (char& c : leaf)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    if (leaf == "CON" || leaf == "PRN" || leaf == "AUX" || leaf == "NUL" || leaf == "CONIN$" ||
        leaf == "CONOUT$")
        return true;
    return leaf.size() == 4 && (leaf.rfind("COM", 0) == 0 || leaf.rfind("LPT", 0) == 0) &&
           leaf[3] >= '1' && leaf[3] <= '9';
}

bool AdoptHandle(HANDLE h, AppendFile* file, std::string* error)
{
    const int fd = _open_osfhandle(intptr_t(h), _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return win32::Fail(ERROR_TOO_MANY_OPEN_FILES, error);
    }
    file->fd = fd;
    return true;
}

} // namespace

LogOpen OpenLogFile(const std::string& path, LogName name, AppendFile* file, std::string* error)
{
    if (file->fd >= 0)
        return OpenFailed(ERROR_BUSY, error);
    file->pending.clear();
    if (IsDeviceName(path)) {
        Refuse("it is not a regular file", error);
        return LogOpen::Refused;
    }
    const std::wstring wide = win32::Wide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (name == LogName::MayExist && attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            Refuse("it is a symbolic link", error);
            return LogOpen::Refused;
        }
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) {
            Refuse("it is not a regular file", error);
            return LogOpen::Refused;
        }
    }
    // The reparse point itself is opened, never what it points to. Others
    // may read the log but not write it while it is open: a second program
    // logging to the same name must not interleave its records with ours.
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           name == LogName::MustBeFree ? CREATE_NEW : OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        if (name == LogName::MustBeFree &&
            (err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS))
            return LogOpen::Taken;
        if (err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION) {
            Refuse("another running program is writing it", error);
            return LogOpen::Refused;
        }
        return OpenFailed(err, error);
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        const bool link = GetFileType(h) == FILE_TYPE_DISK &&
                          (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        CloseHandle(h);
        Refuse(link ? "it is a symbolic link" : "it is not a regular file", error);
        return LogOpen::Refused;
    }
    if (!AdoptHandle(h, file, error))
        return LogOpen::Failed;
    return LogOpen::Opened;
}

bool ReadLogFileStart(const AppendFile& file, size_t max, std::string* bytes, std::string* error)
{
    bytes->assign(max, '\0');
    size_t got = 0;
    while (got < max) {
        OVERLAPPED at{};
        at.Offset = DWORD(got);
        at.OffsetHigh = DWORD(uint64_t(got) >> 32);
        DWORD n = 0;
        if (!::ReadFile(HandleOf(file), bytes->data() + got, DWORD(max - got), &n, &at)) {
            const DWORD err = GetLastError();
            if (err == ERROR_HANDLE_EOF)
                break;
            bytes->clear();
            return win32::Fail(err, error);
        }
        if (n == 0)
            break;
        got += n;
    }
    bytes->resize(got);
    // A positioned read moves the file pointer: back to the end for appends.
    SetFilePointerEx(HandleOf(file), LARGE_INTEGER{}, nullptr, FILE_END);
    return true;
}

bool IsSameFile(const AppendFile& file, const std::string& path)
{
    if (file.fd < 0)
        return false;
    HANDLE other = CreateFileW(win32::Wide(path).c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (other == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION mine, theirs;
    const bool same = GetFileInformationByHandle(HandleOf(file), &mine) &&
                      GetFileInformationByHandle(other, &theirs) &&
                      mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
                      mine.nFileIndexHigh == theirs.nFileIndexHigh &&
                      mine.nFileIndexLow == theirs.nFileIndexLow;
    CloseHandle(other);
    return same;
}

bool EmptyLogFile(AppendFile* file, std::string* error)
{
    file->pending.clear();
    if (file->fd < 0)
        return win32::Fail(ERROR_INVALID_HANDLE, error);
    HANDLE h = HandleOf(*file);
    if (!SetFilePointerEx(h, LARGE_INTEGER{}, nullptr, FILE_BEGIN) || !SetEndOfFile(h))
        return win32::Fail(error);
    return true;
}

bool OpenAppendFile(const std::string& path, AppendFile* file, std::string* error)
{
    if (file->fd >= 0)
        return win32::Fail(ERROR_BUSY, error);
    file->pending.clear();
    // Not inherited by the programs a test or the user starts meanwhile
    // (no inheritable handle is ever asked for).
    HANDLE h = CreateFileW(win32::Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return win32::Fail(error);
    return AdoptHandle(h, file, error);
}

bool AppendToFile(AppendFile* file, const std::string& bytes, std::string* error)
{
    if (file->fd < 0)
        return win32::Fail(ERROR_INVALID_HANDLE, error);
    file->pending += bytes;
    if (file->pending.size() >= kFlushAtBytes)
        return FlushAppendFile(file, error);
    return true;
}

bool FlushAppendFile(AppendFile* file, std::string* error)
{
    if (file->fd < 0)
        return win32::Fail(ERROR_INVALID_HANDLE, error);
    HANDLE h = HandleOf(*file);
    const char* p = file->pending.data();
    size_t left = file->pending.size();
    DWORD err = 0;
    if (left > 0 && !SetFilePointerEx(h, LARGE_INTEGER{}, nullptr, FILE_END))
        err = GetLastError();
    while (err == 0 && left > 0) {
        DWORD n = 0;
        if (!WriteFile(h, p, DWORD(std::min<size_t>(left, 1u << 20)), &n, nullptr) || n == 0) {
            err = GetLastError();
            break;
        }
        p += n;
        left -= n;
    }
    file->pending.clear();
    return err == 0 ? true : win32::Fail(err, error);
}

bool CloseAppendFile(AppendFile* file, std::string* error)
{
    if (file->fd < 0)
        return true;
    std::string flush_error;
    const bool ok = FlushAppendFile(file, &flush_error);
    _close(file->fd); // closes the handle too
    file->fd = -1;
    if (!ok) {
        if (error)
            *error = flush_error;
        return false;
    }
    return true;
}

bool AppendFileOpen(const AppendFile& file) { return file.fd >= 0; }

} // namespace sys
