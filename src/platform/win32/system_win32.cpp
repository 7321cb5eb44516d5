// Clocks and files on Windows (process exit: system_common.cpp).
#include "platform/system.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <windows.h>

#include "platform/win32/win32_text.h"

// windows.h names the ANSI or wide call CopyFile; the program's own is
// sys::CopyFile, and this file calls the system's by its wide name.
#undef CopyFile

namespace sys {

const char kNameSeparators[] = "/\\";

namespace {

double CounterPeriod()
{
    static const double period = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return 1.0 / double(f.QuadPart);
    }();
    return period;
}

// A timer that ends a sleep within a fraction of a millisecond where the
// system offers one (Windows 10 1803 and later); elsewhere an ordinary
// waitable timer, good to the system's timer tick.
HANDLE SleepTimer()
{
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif
    static thread_local HANDLE timer = [] {
        HANDLE t = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                          TIMER_ALL_ACCESS);
        if (!t)
            t = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        return t;
    }();
    return timer;
}

FileVersion VersionOf(const BY_HANDLE_FILE_INFORMATION& info, const FILE_BASIC_INFO& basic)
{
    // 100-ns ticks since 1601, split like the POSIX seconds and nanoseconds.
    const auto split = [](long long ticks, long long* s, long long* ns) {
        *s = ticks / 10000000;
        *ns = (ticks % 10000000) * 100;
    };
    FileVersion v;
    v.device = info.dwVolumeSerialNumber;
    v.inode = (unsigned long long)info.nFileIndexHigh << 32 | info.nFileIndexLow;
    v.size = (unsigned long long)info.nFileSizeHigh << 32 | info.nFileSizeLow;
    split(basic.LastWriteTime.QuadPart, &v.modified_s, &v.modified_ns);
    split(basic.ChangeTime.QuadPart, &v.changed_s, &v.changed_ns);
    return v;
}

bool HandleVersion(HANDLE h, FileVersion* version)
{
    BY_HANDLE_FILE_INFORMATION info;
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandle(h, &info) ||
        !GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    *version = VersionOf(info, basic);
    return true;
}

HANDLE OpenForReading(const std::string& path)
{
    return CreateFileW(win32::Wide(path).c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool ReadHandle(HANDLE h, std::string* content)
{
    content->clear();
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(h, buf, sizeof buf, &n, nullptr))
            return false;
        if (n == 0)
            return true;
        content->append(buf, n);
    }
}

long long FileTimeNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (long long)now.dwHighDateTime << 32 | now.dwLowDateTime;
}

} // namespace

double MonotonicSeconds()
{
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) * CounterPeriod();
}

void SleepSeconds(double seconds)
{
    if (!(seconds > 0))
        return;
    SleepUntil(MonotonicSeconds() + seconds);
}

void SleepUntil(double monotonic_s)
{
    if (!(monotonic_s > 0))
        return;
    const double left = monotonic_s - MonotonicSeconds();
    if (left <= 0)
        return;
    HANDLE timer = SleepTimer();
    LARGE_INTEGER due;
    due.QuadPart = -(long long)(left * 1e7); // relative, in 100-ns units
    if (timer && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
        WaitForSingleObject(timer, INFINITE);
        return;
    }
    Sleep(DWORD(left * 1000.0 + 0.999));
}

LocalTime Now()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

std::string WorkingDirectory()
{
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(n, L'\0');
    if (n == 0 || GetCurrentDirectoryW(n, dir.data()) == 0)
        return ".";
    dir.resize(wcslen(dir.c_str()));
    return win32::Ansi(dir);
}

std::string HomeDirectory()
{
    const wchar_t* home = _wgetenv(L"USERPROFILE");
    if (home && *home)
        return win32::Ansi(home);
    return WorkingDirectory();
}

bool IsRegularFile(const std::string& path)
{
    const DWORD a = GetFileAttributesW(win32::Wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY) &&
           !(a & FILE_ATTRIBUTE_DEVICE);
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesW(win32::Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadFile(const std::string& path, std::string* content, std::string* error)
{
    HANDLE h = OpenForReading(path);
    if (h == INVALID_HANDLE_VALUE)
        return win32::Fail(error);
    const bool ok = ReadHandle(h, content);
    if (!ok)
        win32::Fail(error);
    CloseHandle(h);
    return ok;
}

bool RegularFileVersion(const std::string& path, FileVersion* version)
{
    HANDLE h = OpenForReading(path);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = GetFileType(h) == FILE_TYPE_DISK && HandleVersion(h, version);
    CloseHandle(h);
    return ok;
}

bool ReadFileVersion(const std::string& path, std::string* content, FileVersion* version,
                     bool* settled, std::string* error)
{
    const long long before = FileTimeNow();
    HANDLE h = OpenForReading(path);
    if (h == INVALID_HANDLE_VALUE)
        return win32::Fail(error);
    bool ok = ReadHandle(h, content);
    // After the read: a change made meanwhile shows in the version.
    if (ok && !HandleVersion(h, version)) {
        ok = false;
        SetLastError(ERROR_INVALID_FUNCTION);
    }
    if (!ok)
        win32::Fail(error);
    CloseHandle(h);
    if (!ok)
        return false;
    // NTFS keeps 100-ns stamps, but set from a clock that moves in ticks of
    // up to 16 ms; FAT keeps two seconds. A stamp older than both is safe.
    const long long stamp_s = std::max(version->modified_s, version->changed_s);
    *settled = stamp_s + 2 < before / 10000000;
    return true;
}

} // namespace sys
