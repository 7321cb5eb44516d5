// Owner-only files and the per-user folder on Windows: %APPDATA%\RegScope,
// its access list cut down to the user (and the system, which backs it up).
#include "platform/private_files.h"

#include <aclapi.h>
#include <memory>
#include <sddl.h>
#include <windows.h>

#include "platform/win32/user_owned.h"
#include "platform/win32/win32_text.h"

namespace sys {

namespace {

struct LocalDeleter {
    void operator()(void* p) const { LocalFree(p); }
};

// "S-1-5-21-..." of the user this process runs as (TokenUser), or of the
// owner it gives the objects it makes (TokenOwner: the Administrators group
// in a process run as administrator); empty when unknown.
std::wstring TokenSid(TOKEN_INFORMATION_CLASS which)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    GetTokenInformation(token, which, nullptr, 0, &size);
    std::unique_ptr<char[]> buffer(new char[size ? size : 1]);
    std::wstring text;
    wchar_t* sid = nullptr;
    PSID found = nullptr;
    if (GetTokenInformation(token, which, buffer.get(), size, &size))
        found = which == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid
                                   : reinterpret_cast<TOKEN_OWNER*>(buffer.get())->Owner;
    if (found && ConvertSidToStringSidW(found, &sid)) {
        text = sid;
        LocalFree(sid);
    }
    CloseHandle(token);
    return text;
}

std::wstring UserSid() { return TokenSid(TokenUser); }

// Gives the object an access list of its own (nothing inherited) that
// lets the user and the system in, nobody else.
bool MakeOwnerOnly(const std::wstring& path, bool folder, std::string* error)
{
    const std::wstring sid = UserSid();
    if (sid.empty())
        return win32::Fail(error);
    const std::wstring inherit = folder ? L"OICI" : L"";
    const std::wstring sddl =
        L"D:P(A;" + inherit + L";FA;;;" + sid + L")(A;" + inherit + L";FA;;;SY)";
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd,
                                                              nullptr))
        return win32::Fail(error);
    std::unique_ptr<void, LocalDeleter> owned(sd);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted))
        return win32::Fail(error);
    const DWORD rc =
        SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, dacl, nullptr);
    return rc == ERROR_SUCCESS || win32::Fail(rc, error);
}

bool IsReparsePoint(const std::wstring& path)
{
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool Missing(DWORD err) { return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND; }

} // namespace

std::string UserProgramFolder()
{
    const wchar_t* appdata = _wgetenv(L"APPDATA");
    if (appdata && *appdata)
        return win32::Ansi(appdata) + "\\RegScope";
    return HomeDirectory() + "\\AppData\\Roaming\\RegScope";
}

std::string SharedStoreFolder()
{
    wchar_t folder[MAX_PATH];
    const UINT n = GetWindowsDirectoryW(folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? win32::Ansi(std::wstring(folder, n)) : std::string();
}

bool MakePrivateFolder(const std::string& path, std::string* error)
{
    if (path.empty())
        return win32::Fail(ERROR_PATH_NOT_FOUND, error);
    // Parents are made with the usual permissions; only the last folder
    // holds private files. A drive ("C:") or a share's root is never made.
    for (size_t sep = path.find_first_of("/\\", 1); sep != std::string::npos;
         sep = path.find_first_of("/\\", sep + 1)) {
        const std::string parent = path.substr(0, sep);
        if (parent.empty() || parent.back() == ':' ||
            parent.find_first_not_of("/\\") == std::string::npos)
            continue;
        if (!CreateDirectoryW(win32::Wide(parent).c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_ACCESS_DENIED)
            return win32::Fail(error);
    }
    const std::wstring wide = win32::Wide(path);
    if (!CreateDirectoryW(wide.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return win32::Fail(error);
    // The folder itself must not be a link: its access list would be set on
    // the link's target, and the files put in it would land there.
    if (IsReparsePoint(wide)) {
        if (error)
            *error = path + " is a symbolic link";
        return false;
    }
    return MakeOwnerOnly(wide, true, error);
}

namespace {

bool Refuse(const std::string& path, const char* why, std::string* error)
{
    if (error)
        *error = path + why;
    return false;
}

bool IsSid(PSID owner, const std::wstring& text)
{
    PSID sid = nullptr;
    if (text.empty() || !ConvertStringSidToSidW(text.c_str(), &sid))
        return false;
    std::unique_ptr<void, LocalDeleter> owned(sid);
    return EqualSid(owner, sid);
}

// True when the object's owner is the user this process runs as, or the
// owner this process gives what it makes (run as administrator, that is the
// Administrators group: the user's own files made so are still the
// user's). An unknown owner counts as another's.
bool OwnedByUser(HANDLE h)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetSecurityInfo(h, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                        nullptr, &sd) != ERROR_SUCCESS)
        return false;
    std::unique_ptr<void, LocalDeleter> owned(sd);
    return IsSid(owner, UserSid()) || IsSid(owner, TokenSid(TokenOwner));
}

// The folder, opened without following a reparse point and checked on the
// handle. INVALID_HANDLE_VALUE with *missing set when it does not exist.
HANDLE OpenPrivateFolder(const std::string& path, bool* missing, std::string* error)
{
    HANDLE h =
        CreateFileW(win32::Wide(path).c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    *missing = h == INVALID_HANDLE_VALUE && Missing(GetLastError());
    if (h == INVALID_HANDLE_VALUE) {
        if (!*missing)
            win32::Fail(error);
        return h;
    }
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFileInformationByHandle(h, &info) || win32::Fail(error);
    if (ok && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        ok = Refuse(path, " is a symbolic link", error);
    if (ok && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        ok = Refuse(path, " is not a folder", error);
    if (ok && !OwnedByUser(h))
        ok = Refuse(path, " belongs to another user", error);
    if (!ok) {
        CloseHandle(h);
        return INVALID_HANDLE_VALUE;
    }
    return h;
}

// An existing file that may be read or replaced as the user's own.
bool FileIsPrivate(const std::string& path, HANDLE h, std::string* error)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info))
        return win32::Fail(error);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return Refuse(path, " is a symbolic link", error);
    if (GetFileType(h) != FILE_TYPE_DISK || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return Refuse(path, " is not a regular file", error);
    if (!OwnedByUser(h))
        return Refuse(path, " belongs to another user", error);
    if (info.nNumberOfLinks != 1)
        return Refuse(path, " has other hard links", error);
    return true;
}

} // namespace

PrivateRead ReadPrivateFile(const std::string& folder, const std::string& name, size_t max_size,
                            std::string* content, std::string* error)
{
    bool missing = false;
    HANDLE dir = OpenPrivateFolder(folder, &missing, error);
    if (dir == INVALID_HANDLE_VALUE)
        return missing ? PrivateRead::Missing : PrivateRead::Refused;
    // Held open without sharing delete or write: the folder checked is the
    // folder the file is opened in.
    const std::string path = folder + "\\" + name;
    HANDLE h = CreateFileW(win32::Wide(path).c_str(), GENERIC_READ | READ_CONTROL, FILE_SHARE_READ,
                           nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    const DWORD open_err = GetLastError();
    CloseHandle(dir);
    if (h == INVALID_HANDLE_VALUE) {
        if (Missing(open_err))
            return PrivateRead::Missing;
        win32::Fail(open_err, error);
        return PrivateRead::Refused;
    }
    bool ok = FileIsPrivate(path, h, error);
    LARGE_INTEGER size{};
    if (ok && (!GetFileSizeEx(h, &size) || size.QuadPart > LONGLONG(max_size)))
        ok = Refuse(path, " is too large", error);
    if (ok) {
        content->assign(max_size + 1, '\0');
        size_t got = 0;
        DWORD n = 0;
        while (got <= max_size &&
               ::ReadFile(h, content->data() + got, DWORD(max_size + 1 - got), &n, nullptr) &&
               n > 0)
            got += n;
        content->resize(got);
        if (got > max_size)
            ok = Refuse(path, " is too large", error);
    }
    CloseHandle(h);
    if (!ok)
        content->clear();
    return ok ? PrivateRead::Read : PrivateRead::Refused;
}

bool WritePrivateFileAtomic(const std::string& folder, const std::string& name,
                            const std::string& content, std::string* error)
{
    if (!MakePrivateFolder(folder, error))
        return false;
    bool missing = false;
    HANDLE dir = OpenPrivateFolder(folder, &missing, error);
    if (dir == INVALID_HANDLE_VALUE)
        return missing ? win32::Fail(ERROR_PATH_NOT_FOUND, error) : false;
    CloseHandle(dir);
    const std::string path = folder + "\\" + name;
    const std::wstring wide = win32::Wide(path);
    HANDLE old = CreateFileW(wide.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (old == INVALID_HANDLE_VALUE && !Missing(GetLastError()))
        return win32::Fail(error);
    if (old != INVALID_HANDLE_VALUE) {
        const bool ok = FileIsPrivate(path, old, error);
        CloseHandle(old);
        // An old file with a wider access list must not keep it through the
        // replace, which carries the old list over.
        if (!ok || !MakeOwnerOnly(wide, false, error))
            return false;
    }
    if (!WriteFileAtomic(path, content, error) || !MakeOwnerOnly(wide, false, error))
        return false;
    const DWORD now = GetFileAttributesW(wide.c_str());
    if (now != INVALID_FILE_ATTRIBUTES && !(now & FILE_ATTRIBUTE_HIDDEN))
        SetFileAttributesW(wide.c_str(), now | FILE_ATTRIBUTE_HIDDEN);
    return true;
}

bool SetFileTimes(const std::string& path, const LocalTime& when, std::string* error)
{
    SYSTEMTIME local{};
    local.wYear = WORD(when.year);
    local.wMonth = WORD(when.month);
    local.wDay = WORD(when.day);
    local.wHour = WORD(when.hour);
    local.wMinute = WORD(when.minute);
    local.wSecond = WORD(when.second);
    local.wMilliseconds = WORD(when.millisecond);
    SYSTEMTIME utc;
    FILETIME stamp;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) ||
        !SystemTimeToFileTime(&utc, &stamp))
        return win32::Fail(ERROR_INVALID_PARAMETER, error);
    // Of a link itself, never of its target.
    HANDLE h =
        CreateFileW(win32::Wide(path).c_str(), FILE_WRITE_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return win32::Fail(error);
    const bool ok = SetFileTime(h, nullptr, &stamp, &stamp);
    if (!ok)
        win32::Fail(error);
    CloseHandle(h);
    return ok;
}

bool RemoveFile(const std::string& path, std::string* error)
{
    if (!DeleteFileW(win32::Wide(path).c_str()) && !Missing(GetLastError()))
        return win32::Fail(error);
    return true;
}

} // namespace sys

namespace win32 {

bool OwnedByUser(HANDLE h) { return sys::OwnedByUser(h); }

} // namespace win32
