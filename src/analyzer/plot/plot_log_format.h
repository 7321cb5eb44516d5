// The plot log file's name and texts: semicolon-separated 8-bit text, CR LF
// at the start of each record, so the file never ends with a line end.
#pragma once

#include <string>
#include <vector>

#include "analyzer/plot/plot_canvas.h"
#include "platform/system.h"

namespace analyzer {

// PLOT_LOG_FILE's stem (StripExtension), "_DD-MM-YYYY_HH-MM-SS" of the local
// time `now`, and ".log": Plot.log at 5 March 2024 14:07:09 gives
// Plot_05-03-2024_14-07-09.log, and a name without "." gives an empty stem.
std::string TimeStampedLogName(const std::string& log_file, const sys::LocalTime& now);

// The n-th (n >= 2) name for a second plot started within the same second:
// "_n" added to the stem of a time-stamped name (..._14-07-09_2.log).
std::string NumberedLogName(const std::string& time_stamped, int n);

// "TIME(s);CH01;CH03" CR LF ";CH01_Label;Tank": the channels with ENABLE
// and PLOT, in index order. No line end after the labels.
std::string PlotLogHeader(const std::vector<PlotChannel>& channels);

// CR LF and the elapsed time as "0.00": the start of one pass's record.
std::string PlotLogRecordStart(double seconds);

// ";" and a value box's text, exactly as shown.
std::string PlotLogField(const std::string& value_text);

} // namespace analyzer
