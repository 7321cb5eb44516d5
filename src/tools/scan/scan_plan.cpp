// The scan's tries, their times and the list text.
#include "tools/scan/scan_plan.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "modbus/function_codes.h"
#include "modbus/protocol.h"
#include "modbus/reply.h"

namespace scan {

namespace {

// A character on the wire: start bit, 8 data bits, parity or a second stop
// bit, stop bit. The engine counts 11 bits for every parity alike.
constexpr double kCharBits = 11.0;
// What a slave takes to turn round before its reply starts: devices answer
// within a few milliseconds; 50 ms leaves room for a slow one.
constexpr double kTurnRound_s = 0.05;

// Modules in configuration mode listen here and nowhere else.
constexpr int32_t kConfigBaud = 9600;
constexpr serial::Parity kConfigParity = serial::Parity::Even;

// Address, function and checksum around the data.
constexpr size_t kFrameOverhead = 4;

std::vector<std::string> Items(const std::string& text)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        items.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

bool WholeNumber(const std::string& text, long* value)
{
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *value = std::strtol(text.c_str(), nullptr, 10);
    return true;
}

} // namespace

std::string Refusal(const Settings& s, bool network)
{
    if (s.from < 1 || s.from > 247 || s.to < 1 || s.to > 247)
        return "The addresses to scan lie from 1 to 247.";
    if (s.from > s.to)
        return "The first address (" + std::to_string(s.from) + ") is above the last (" +
               std::to_string(s.to) + "): there is nothing to scan.";
    if (s.function != modbus::kReportSlaveId && s.function != modbus::kReadHoldingRegisters &&
        s.function != modbus::kReadInputRegisters)
        return "The probe is function 17, 3 or 4.";
    if (s.register_address < 0 || s.register_address > 65535)
        return "Register " + std::to_string(s.register_address) +
               " is beyond the registers a request can name (0 to 65535).";
    if (network)
        return "";
    if (s.bauds.empty())
        return "No baud rate is chosen: check at least one.";
    for (int32_t baud : s.bauds)
        if (baud < 300 || baud > 1000000)
            return "Baud rate " + std::to_string(baud) +
                   " is not one a line can take (300 to "
                   "1000000 bit/s).";
    if (s.parities.empty())
        return "No parity is chosen: check at least one.";
    for (serial::Parity p : s.parities)
        if (!serial::ParityValid(p))
            return "Parity code " + std::to_string(serial::ParityCode(p)) +
                   " is not one of 0 to 3.";
    return "";
}

std::vector<Try> PlanTries(const Settings& s, const serial::LineSettings& line)
{
    std::vector<Try> tries;
    std::vector<int32_t> bauds = s.bauds;
    std::vector<serial::Parity> parities = s.parities;
    if (line.IsNetwork()) {
        bauds = {line.baud};
        parities = {line.parity};
    }
    for (int32_t baud : bauds)
        for (serial::Parity parity : parities)
            for (int a = s.from; a <= s.to; ++a)
                tries.push_back({uint8_t(a), baud, parity, false});
    if (s.config_mode) {
        Try t{modbus::kConfigAddress, kConfigBaud, kConfigParity, true};
        if (line.IsNetwork()) {
            t.baud = line.baud;
            t.parity = line.parity;
        }
        tries.push_back(t);
    }
    return tries;
}

size_t RequestBytes(const Try& t, int function)
{
    if (t.config || function == modbus::kReportSlaveId)
        return kFrameOverhead;
    return kFrameOverhead + 4; // register and quantity
}

size_t ReplyBytes(const Try& t, int function)
{
    const uint8_t f = t.config ? uint8_t(modbus::kReadModuleConfig) : uint8_t(function);
    return kFrameOverhead + modbus::ExpectedReply(f, 1).data;
}

double TryTimeout(const Try& t, int function, double timeout_s)
{
    const int32_t baud = t.baud > 0 ? t.baud : 9600;
    double wait = double(ReplyBytes(t, function)) * kCharBits / baud + kTurnRound_s;
    return std::min(wait, timeout_s);
}

double TryTime(const Try& t, int function, double timeout_s)
{
    const int32_t baud = t.baud > 0 ? t.baud : 9600;
    return double(RequestBytes(t, function)) * kCharBits / baud +
           TryTimeout(t, function, timeout_s);
}

double TimeOfTries(const std::vector<Try>& tries, size_t first, int function, double timeout_s)
{
    double total = 0;
    for (size_t i = first; i < tries.size(); ++i)
        total += TryTime(tries[i], function, timeout_s);
    return total;
}

std::string DurationText(double seconds)
{
    long s = long(seconds + 0.5);
    if (s < 60)
        return std::to_string(s) + " s";
    char text[32];
    std::snprintf(text, sizeof text, "%ld min %02ld s", s / 60, s % 60);
    return text;
}

std::vector<int32_t> ParseBauds(const std::string& text)
{
    std::vector<int32_t> bauds;
    for (const std::string& item : Items(text)) {
        long v = 0;
        if (WholeNumber(item, &v) && std::find(bauds.begin(), bauds.end(), v) == bauds.end())
            bauds.push_back(int32_t(v));
    }
    return bauds;
}

std::vector<serial::Parity> ParseParities(const std::string& text)
{
    std::vector<serial::Parity> parities;
    for (const std::string& item : Items(text)) {
        long v = 0;
        if (!WholeNumber(item, &v) || v > 3)
            continue;
        serial::Parity p = serial::ParityFromCode(int(v));
        if (std::find(parities.begin(), parities.end(), p) == parities.end())
            parities.push_back(p);
    }
    return parities;
}

std::string BaudsText(const std::vector<int32_t>& bauds)
{
    std::string text;
    for (int32_t b : bauds)
        text += (text.empty() ? "" : ",") + std::to_string(b);
    return text;
}

std::string ParitiesText(const std::vector<serial::Parity>& parities)
{
    std::string text;
    for (serial::Parity p : parities)
        text += (text.empty() ? "" : ",") + std::to_string(serial::ParityCode(p));
    return text;
}

const char* ParityName(serial::Parity parity)
{
    switch (parity) {
    case serial::Parity::NoneTwoStopBits: return "No (2 stop bits)";
    case serial::Parity::Odd: return "Odd";
    case serial::Parity::Even: return "Even";
    case serial::Parity::NoneOneStopBit: return "No (1 stop bit)";
    }
    return "?";
}

std::string FindingLine(const Finding& f, bool network)
{
    char head[64];
    if (network)
        std::snprintf(head, sizeof head, "unit %3d   ", f.at.address);
    else
        std::snprintf(head, sizeof head, "%3d  %6d  %-16s  ", f.at.address, f.at.baud,
                      ParityName(f.at.parity));
    return head + f.what;
}

std::string ListText(const std::vector<Finding>& findings, bool network)
{
    std::string text;
    for (size_t i = 0; i < findings.size(); ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%2zu. ", i + 1);
        text += number + FindingLine(findings[i], network) + "\r\n";
    }
    return text;
}

} // namespace scan
