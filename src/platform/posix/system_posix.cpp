// Clocks, files and process exit on POSIX systems.
#include "platform/system.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace sys {

namespace {
void (*exit_hook)(int) = nullptr;

std::string ErrnoText(int err) { return std::strerror(err); }
} // namespace

double MonotonicSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void SleepSeconds(double seconds)
{
    if (!(seconds > 0))
        return;
    timespec ts;
    ts.tv_sec = time_t(seconds);
    ts.tv_nsec = long((seconds - double(ts.tv_sec)) * 1e9);
    // Sleep the whole time even when a signal interrupts the sleep.
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

LocalTime Now()
{
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    tm t;
    localtime_r(&ts.tv_sec, &t);
    return LocalTime{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                     t.tm_min,         t.tm_sec,     int(ts.tv_nsec / 1000000)};
}

std::string WorkingDirectory()
{
    char buf[4096];
    if (getcwd(buf, sizeof buf) == nullptr)
        return ".";
    return buf;
}

std::string HomeDirectory()
{
    const char* home = getenv("HOME");
    if (home && *home)
        return home;
    passwd* pw = getpwuid(getuid());
    if (pw && pw->pw_dir)
        return pw->pw_dir;
    return "/";
}

bool IsRegularFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PathExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool ReadFile(const std::string& path, std::string* content, std::string* error)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        if (error)
            *error = ErrnoText(errno);
        return false;
    }
    content->clear();
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        content->append(buf, n);
    bool ok = !ferror(f);
    if (!ok && error)
        *error = ErrnoText(errno);
    fclose(f);
    return ok;
}

bool CopyFile(const std::string& from, const std::string& to, std::string* error)
{
    std::string content;
    if (!ReadFile(from, &content, error))
        return false;
    return WriteFileAtomic(to, content, error);
}

void SetExitHook(void (*hook)(int)) { exit_hook = hook; }

void ExitProcess(int code)
{
    if (exit_hook)
        exit_hook(code);
    std::fflush(nullptr);
    std::exit(code);
}

} // namespace sys
