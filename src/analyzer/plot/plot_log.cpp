#include "analyzer/plot/plot_log.h"

#include <cstdio>

#include "analyzer/plot/plot_log_format.h"

namespace analyzer {

struct PlotLog {
    std::string path;
    sys::AppendFile file;
    bool failed = false;
};

namespace {

// Beyond this many plots in one second something else is wrong.
constexpr int kMaxSameSecond = 1000;

// After a failure the file is closed, keeping what reached it, and every
// later call fails at once: a log with a hole in the middle would pass for
// a whole one.
bool Failed(PlotLog& log)
{
    log.failed = true;
    sys::CloseAppendFile(&log.file, nullptr);
    return false;
}

bool Usable(const PlotLog& log, std::string* error)
{
    if (!log.failed)
        return true;
    if (error)
        *error = "the log file was closed after an earlier error";
    return false;
}

bool Write(PlotLog& log, const std::string& text, std::string* error)
{
    if (!Usable(log, error))
        return false;
    return sys::AppendToFile(&log.file, text, error) || Failed(log);
}

} // namespace

void PlotLogDeleter::operator()(PlotLog* log) const
{
    if (!log)
        return;
    sys::CloseAppendFile(&log->file, nullptr);
    delete log;
}

PlotLogPtr OpenPlotLog(const std::string& log_file, bool overwrite, const sys::LocalTime& now,
                       const std::vector<PlotChannel>& channels, std::string* path, std::string* error)
{
    PlotLogPtr log(new PlotLog);
    if (overwrite) {
        log->path = log_file;
    } else {
        // The program is the only writer of its logs, so a name found free
        // here is still free when it is created a moment later.
        const std::string stamped = TimeStampedLogName(log_file, now);
        int n = 1;
        log->path = stamped;
        while (sys::PathExists(log->path) && ++n <= kMaxSameSecond)
            log->path = NumberedLogName(stamped, n);
        if (n > kMaxSameSecond) {
            if (path)
                *path = log->path;
            if (error)
                *error = "too many logs started in the same second";
            return nullptr;
        }
    }
    if (path)
        *path = log->path;
    if (!sys::OpenAppendFile(log->path, &log->file, error))
        return nullptr;
    if (!Write(*log, PlotLogHeader(channels), error) || !FlushPlotLog(*log, error)) {
        sys::CloseAppendFile(&log->file, nullptr);
        std::remove(log->path.c_str()); // ours, just created, holding at most a piece of header
        return nullptr;
    }
    return log;
}

const std::string& PlotLogPath(const PlotLog& log) { return log.path; }

bool WritePlotLogRecordStart(PlotLog& log, double seconds, std::string* error)
{
    return Write(log, PlotLogRecordStart(seconds), error);
}

bool WritePlotLogValue(PlotLog& log, const std::string& value_text, std::string* error)
{
    return Write(log, PlotLogField(value_text), error);
}

bool FlushPlotLog(PlotLog& log, std::string* error)
{
    if (!Usable(log, error))
        return false;
    return sys::FlushAppendFile(&log.file, error) || Failed(log);
}

bool ClosePlotLog(PlotLogPtr log, std::string* error)
{
    if (!log || log->failed)
        return true;
    return sys::CloseAppendFile(&log->file, error);
}

} // namespace analyzer
