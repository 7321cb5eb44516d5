// Lines and statistics of the communication monitor.
#include "monitor/monitor_lines.h"

#include <cstdio>

#include "modbus/frame_lines.h"

namespace monitor {

namespace {

std::string Ms(int64_t us)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f ms", double(us) * 1e-3);
    return text;
}

std::string ExceptionsText(const modbus::LineStatistics& stats)
{
    std::string text = std::to_string(stats.Exceptions());
    std::string by_code;
    for (int code = 0; code < 256; ++code) {
        if (stats.exceptions[code] == 0)
            continue;
        by_code += by_code.empty() ? " (" : ", ";
        by_code += std::to_string(code) + ": " + std::to_string(stats.exceptions[code]);
    }
    return by_code.empty() ? text : text + by_code + ")";
}

} // namespace

std::string TakeNewLines(Cursor* cursor)
{
    std::string out;
    uint64_t oldest = modbus::CaptureOldestSequence();
    if (cursor->next < oldest && !cursor->from_oldest) {
        out += "# " + std::to_string(oldest - cursor->next) +
               " transactions not shown: the capture keeps only the latest\n";
        // Whatever comes next starts with its settings, as after a gap.
        cursor->have_settings = false;
    }
    cursor->next = modbus::ForEachCaptured(
        cursor->next, [&](const modbus::Transaction& t) { AppendLines(cursor, t, &out); });
    cursor->from_oldest = false;
    return out;
}

void AppendLines(Cursor* cursor, const modbus::Transaction& t, std::string* out)
{
    if (!cursor->started) {
        cursor->started = true;
        cursor->origin_us = t.sent_us;
    }
    const bool changed =
        !cursor->have_settings || !(cursor->line == t.line) || cursor->timeout_s != t.timeout_s;
    modbus::AppendTransactionLines(t, cursor->origin_us, changed, out);
    cursor->line = t.line;
    cursor->timeout_s = t.timeout_s;
    cursor->have_settings = true;
    cursor->next = t.sequence + 1;
}

Cursor CursorFromNow()
{
    Cursor cursor;
    cursor.next = modbus::CaptureNextSequence();
    cursor.from_oldest = false;
    return cursor;
}

std::string StatisticsText(const modbus::LineStatistics& stats)
{
    std::string text = "Requests " + std::to_string(stats.requests);
    if (stats.broadcasts)
        text += " (broadcasts " + std::to_string(stats.broadcasts) + ")";
    text += "  good " + std::to_string(stats.good_replies);
    text += "  time-outs " + std::to_string(stats.timeouts);
    text += "  CRC errors " + std::to_string(stats.crc_errors);
    text += "  exceptions " + ExceptionsText(stats);
    text += "  other " + std::to_string(stats.other_errors);
    text += "\nResponse time";
    if (stats.timed_replies == 0)
        return text + "  -";
    text += "  min " + Ms(stats.min_us);
    text += "  mean " + Ms(int64_t(stats.MeanUs() + 0.5));
    text += "  max " + Ms(stats.max_us);
    text += "  99 % " + Ms(stats.p99_us);
    text += "  (" + std::to_string(stats.timed_replies) + " replies)";
    return text;
}

} // namespace monitor
