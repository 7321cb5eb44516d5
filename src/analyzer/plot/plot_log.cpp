#include "analyzer/plot/plot_log.h"

#include "analyzer/plot/log_file.h"
#include "analyzer/plot/plot_log_format.h"

namespace analyzer {

struct PlotLog {
    std::string path;
    logfile::Handle file;
    bool failed = false;
};

namespace {

// Beyond this many plots in one second something else is wrong.
constexpr int kMaxSameSecond = 1000;

bool Write(PlotLog& log, const std::string& text, std::string* error)
{
    if (log.failed) {
        if (error)
            *error = "the log file was closed after an earlier error";
        return false;
    }
    if (logfile::Append(log.file, text, error))
        return true;
    log.failed = true;
    logfile::Close(&log.file, nullptr);
    return false;
}

} // namespace

void PlotLogDeleter::operator()(PlotLog* log) const
{
    if (!log)
        return;
    logfile::Close(&log->file, nullptr);
    delete log;
}

PlotLogPtr OpenPlotLog(const std::string& log_file, bool overwrite, const sys::LocalTime& now,
                       const std::vector<PlotChannel>& channels, std::string* path, std::string* error)
{
    PlotLogPtr log(new PlotLog);
    logfile::Created created = logfile::Created::Failed;
    if (overwrite) {
        log->path = log_file;
        created = logfile::Create(log->path, true, &log->file, error);
    } else {
        const std::string stamped = TimeStampedLogName(log_file, now);
        for (int n = 1; n <= kMaxSameSecond; ++n) {
            log->path = n == 1 ? stamped : NumberedLogName(stamped, n);
            created = logfile::Create(log->path, false, &log->file, error);
            if (created != logfile::Created::Exists)
                break;
        }
        if (created == logfile::Created::Exists && error)
            *error = "too many logs started in the same second";
    }
    if (path)
        *path = log->path;
    if (created != logfile::Created::Ok)
        return nullptr;
    if (!Write(*log, PlotLogHeader(channels), error)) {
        logfile::Close(&log->file, nullptr);
        logfile::Remove(log->path); // ours, just created, holding at most a piece of header
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

bool ClosePlotLog(PlotLogPtr log, std::string* error)
{
    if (!log)
        return true;
    return logfile::Close(&log->file, error);
}

} // namespace analyzer
