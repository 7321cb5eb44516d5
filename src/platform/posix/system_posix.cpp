// Clocks and files on POSIX systems (process exit: system_common.cpp).
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
#ifdef __linux__
#include <sys/prctl.h> // the timer slack of SleepUntil
#endif

#include "platform/wait_watch.h"

namespace sys {

const char kNameSeparators[] = "/";

namespace {
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

static void SleepUntilTime(double monotonic_s);

void SleepUntil(double monotonic_s)
{
    if (!(monotonic_s > 0))
        return;
    // In steps: a long sleep tells the watch over it (wait_watch.h).
    for (double step = WaitStepUntil(monotonic_s); step < monotonic_s;
         step = WaitStepUntil(monotonic_s))
        SleepUntilTime(step);
    SleepUntilTime(monotonic_s);
}

static void SleepUntilTime(double monotonic_s)
{
#ifdef PR_SET_TIMERSLACK
    // Linux lets a timed sleep of an ordinary thread end up to 50 us late
    // (its timer slack), and the line's pauses are that short: at 115200
    // bit/s 50 us is half a character, paid twice per transaction (the
    // wait for the rest of a reply, the pause after it). Measured, a pass
    // took 0.25 ms more per channel with the default slack.
    static thread_local const bool tight = prctl(PR_SET_TIMERSLACK, 1000UL) == 0;
    (void)tight;
#endif
    timespec ts;
    ts.tv_sec = time_t(monotonic_s);
    ts.tv_nsec = long((monotonic_s - double(ts.tv_sec)) * 1e9);
    if (ts.tv_nsec >= 1000000000L) {
        ++ts.tv_sec;
        ts.tv_nsec -= 1000000000L;
    }
    // An absolute deadline: an interrupted sleep simply goes back to sleep,
    // and nothing done before the call makes it longer.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

LocalTime Now()
{
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    tm t;
    localtime_r(&ts.tv_sec, &t);
    return LocalTime{
        t.tm_year + 1900,         t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
        int(ts.tv_nsec / 1000000)};
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

namespace {

FileVersion VersionOf(const struct stat& st)
{
    FileVersion v;
    v.device = st.st_dev;
    v.inode = st.st_ino;
    v.size = (unsigned long long)st.st_size;
    v.modified_s = st.st_mtim.tv_sec;
    v.modified_ns = st.st_mtim.tv_nsec;
    v.changed_s = st.st_ctim.tv_sec;
    v.changed_ns = st.st_ctim.tv_nsec;
    return v;
}

// Time stamps with nanoseconds come from the kernel's coarse clock: a change
// after `before` gets a stamp of at least `before`. A file system that
// stores whole seconds (or two of them) may give a later change the same
// stamp for up to two seconds.
bool Settled(const FileVersion& v, const timespec& before)
{
    const auto earlier = [&](long long s, long long ns) {
        if (ns == 0)
            return s + 2 < before.tv_sec;
        return s < before.tv_sec || (s == before.tv_sec && ns < before.tv_nsec);
    };
    return earlier(v.modified_s, v.modified_ns) && earlier(v.changed_s, v.changed_ns);
}

} // namespace

bool RegularFileVersion(const std::string& path, FileVersion* version)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    *version = VersionOf(st);
    return true;
}

bool ReadFileVersion(const std::string& path, std::string* content, FileVersion* version,
                     bool* settled, std::string* error)
{
    timespec before;
    clock_gettime(CLOCK_REALTIME_COARSE, &before);
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = ErrnoText(errno);
        return false;
    }
    struct stat st;
    int err = fstat(fd, &st) == 0 ? 0 : errno;
    content->clear();
    if (err == 0 && st.st_size > 0)
        content->reserve(size_t(st.st_size));
    char buf[65536];
    while (err == 0) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            err = errno;
        if (n <= 0)
            break;
        content->append(buf, size_t(n));
    }
    // After the read: a change made meanwhile shows in the version.
    if (err == 0 && fstat(fd, &st) != 0)
        err = errno;
    close(fd);
    if (err != 0) {
        if (error)
            *error = ErrnoText(err);
        return false;
    }
    *version = VersionOf(st);
    *settled = Settled(*version, before);
    return true;
}

} // namespace sys
