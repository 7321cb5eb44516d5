#include "analyzer/plot/plot_log.h"

#include <cctype>
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
// "TIME(s)", 32 times ";CHnn", CR LF.
constexpr size_t kHeaderLineMax = 7 + 32 * 5 + 2;

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

// The first line a plot log starts with: "TIME(s)", ";CHnn" per channel,
// CR LF.
bool StartsAsPlotLog(const std::string& bytes)
{
    const std::string time = "TIME(s)";
    if (bytes.compare(0, time.size(), time) != 0)
        return false;
    size_t at = time.size();
    while (bytes.compare(at, 3, ";CH") == 0 && at + 5 <= bytes.size() &&
           std::isdigit((unsigned char)bytes[at + 3]) && std::isdigit((unsigned char)bytes[at + 4]))
        at += 5;
    return bytes.compare(at, 2, "\r\n") == 0;
}

// A log name is often typed by hand or comes with a mailed configuration:
// with overwrite on it must not destroy a file that is not a log (a
// ~/.bashrc, a report) nor the program's settings (a configuration whose
// first line is a log header still counts as a setting file).
bool MayReplace(PlotLog& log, const PlotLogPlace& place, PlotLogProblem* why)
{
    for (const std::string& own : place.own_files)
        if (!own.empty() && sys::IsSameFile(log.file, own)) {
            why->reason = kOwnFileReason;
            return false;
        }
    std::string start;
    if (!sys::ReadLogFileStart(log.file, kHeaderLineMax, &start, &why->reason))
        return false;
    if (!start.empty() && !StartsAsPlotLog(start)) {
        why->reason = "it is not a plot log";
        return false;
    }
    return sys::EmptyLogFile(&log.file, &why->reason);
}

} // namespace

const char* const kOwnFileReason = "it is one of the program's own files";

bool IsOwnFile(const std::string& path, const std::vector<std::string>& own_files)
{
    sys::FileVersion file, own;
    if (!sys::RegularFileVersion(path, &file))
        return false;
    for (const std::string& name : own_files)
        if (!name.empty() && sys::RegularFileVersion(name, &own) && own.device == file.device &&
            own.inode == file.inode)
            return true;
    return false;
}

void PlotLogDeleter::operator()(PlotLog* log) const
{
    if (!log)
        return;
    sys::CloseAppendFile(&log->file, nullptr);
    delete log;
}

PlotLogPtr OpenPlotLog(const PlotLogPlace& place, const sys::LocalTime& now,
                       const std::vector<PlotChannel>& channels, PlotLogProblem* problem)
{
    PlotLogProblem ignored;
    PlotLogProblem& why = problem ? *problem : ignored;
    why = {};
    PlotLogPtr log(new PlotLog);
    sys::LogOpen opened = sys::LogOpen::Taken;
    if (place.overwrite) {
        log->path = place.log_file;
        opened = sys::OpenLogFile(log->path, sys::LogName::MayExist, &log->file, &why.reason);
    } else {
        // Creating the name is the test that it is free: another program
        // starting a plot in the same second gets the next number.
        const std::string stamped = TimeStampedLogName(place.log_file, now);
        for (int n = 1; opened == sys::LogOpen::Taken && n <= kMaxSameSecond; ++n) {
            log->path = n == 1 ? stamped : NumberedLogName(stamped, n);
            opened = sys::OpenLogFile(log->path, sys::LogName::MustBeFree, &log->file, &why.reason);
        }
        if (opened == sys::LogOpen::Taken)
            why.reason = "too many logs started in the same second";
    }
    why.path = log->path;
    if (opened == sys::LogOpen::Opened && place.overwrite && !MayReplace(*log, place, &why))
        opened = sys::LogOpen::Refused;
    if (opened != sys::LogOpen::Opened) {
        why.not_replaced = opened == sys::LogOpen::Refused;
        sys::CloseAppendFile(&log->file, nullptr);
        return nullptr;
    }
    if (!Write(*log, PlotLogHeader(channels), &why.reason) || !FlushPlotLog(*log, &why.reason)) {
        // Ours, created or emptied just now, holding at most a piece of header.
        sys::CloseAppendFile(&log->file, nullptr);
        std::remove(log->path.c_str());
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
