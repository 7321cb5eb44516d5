#include "analyzer/plot/plot_log_format.h"

#include <cstdio>

#include "analyzer/plot/number_text.h"
#include "strings/file_names.h"

namespace analyzer {

std::string TimeStampedLogName(const std::string& log_file, const sys::LocalTime& now)
{
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "_%02d-%02d-%04d_%02d-%02d-%02d.log", now.day, now.month,
                  now.year, now.hour, now.minute, now.second);
    return strings::StripExtension(log_file) + stamp;
}

std::string NumberedLogName(const std::string& time_stamped, int n)
{
    const std::string ext = ".log";
    return time_stamped.substr(0, time_stamped.size() - ext.size()) + "_" + std::to_string(n) + ext;
}

std::string PlotLogHeader(const std::vector<PlotChannel>& channels)
{
    std::string numbers = "TIME(s)";
    std::string labels;
    for (const PlotChannel& ch : channels) {
        char nn[16];
        std::snprintf(nn, sizeof nn, ";CH%02d", ch.number);
        numbers += nn;
        labels += ";" + ch.label;
    }
    return numbers + "\r\n" + labels;
}

std::string PlotLogRecordStart(double seconds) { return "\r\n" + SecondsText(seconds); }

std::string PlotLogField(const std::string& value_text) { return ";" + value_text; }

} // namespace analyzer
