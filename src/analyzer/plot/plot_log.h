// The plot log of one running plot: opened at the start with its header,
// one record per pass, closed at the stop. A record is collected in memory
// and handed to the operating system whole by FlushPlotLog at the end of its
// pass, so a crash of the program loses nothing of a finished pass.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analyzer/plot/plot_canvas.h"
#include "platform/system.h"

namespace analyzer {

struct PlotLog;
struct PlotLogDeleter {
    void operator()(PlotLog* log) const; // closes the file
};
using PlotLogPtr = std::unique_ptr<PlotLog, PlotLogDeleter>;

// Where a plot's log goes and what it may replace.
struct PlotLogPlace {
    std::string log_file;   // PLOT_LOG_FILE
    bool overwrite = false; // PLOT_LOG_OVERWRITE
    // Never replaced, whatever they hold: the program's own files.
    std::vector<std::string> own_files;
};

// The reason given for a name that is one of the program's own files.
extern const char* const kOwnFileReason;

// True when `path` names the same file as one of `own_files` (through a
// link or another hard link too).
bool IsOwnFile(const std::string& path, const std::vector<std::string>& own_files);

// Why there is no log: the name used (or tried last), the reason, and
// whether a file of that name exists and was left as it was.
struct PlotLogProblem {
    std::string path;
    std::string reason;
    bool not_replaced = false;
};

// Creates the log of a plot started at local time `now` and writes its
// header for `channels`. With `overwrite`, the file is `log_file` itself,
// replaced only when it is empty or a plot log, not one of `own_files` and
// not held by another running program. Without it, the time-stamped name,
// created only where no file of that name exists; when one does (a plot
// started in the same second, here or in another program), "_2", "_3" ...
// are tried, so a log is never replaced. Links are never followed and only
// regular files are written. The log stays locked while it is open. Null
// with *problem filled when there is no log (no file is left behind then).
// The header has reached the operating system when this returns.
PlotLogPtr OpenPlotLog(const PlotLogPlace& place, const sys::LocalTime& now,
                       const std::vector<PlotChannel>& channels, PlotLogProblem* problem);

const std::string& PlotLogPath(const PlotLog& log);

// The start of a pass's record (CR LF and the time), and one value.
// A failed write closes the file, keeping what was written, and returns
// false with *error set; every later write then returns false at once.
bool WritePlotLogRecordStart(PlotLog& log, double seconds, std::string* error);
bool WritePlotLogValue(PlotLog& log, const std::string& value_text, std::string* error);

// Hands the collected record to the operating system; a failure is handled
// as for the writes above.
bool FlushPlotLog(PlotLog& log, std::string* error);

// Flushes, closes and frees the log (a log closed by an earlier failure
// closes quietly); false with *error set when closing failed.
bool ClosePlotLog(PlotLogPtr log, std::string* error);

} // namespace analyzer
