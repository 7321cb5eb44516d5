// What a bus scan tries and how long it may take: the settings checked
// before anything is sent, the list of tries, the time allowed for each and
// the text of what was found. Pure, no I/O.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/serial_line.h"

namespace scan {

// The rates of the Setup menu a scan offers, lowest first.
constexpr int32_t kScanBauds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

struct Settings {
    int from = 1, to = 247;     // slave addresses (unit ids on a network line)
    std::vector<int32_t> bauds; // tried in this order
    std::vector<serial::Parity> parities;
    int function = 3;          // the probe: 17, 3 or 4
    long register_address = 0; // of functions 3 and 4; quantity 1
    bool config_mode = false;  // also address 248 at 9600 bit/s, even parity
};

// Why the settings cannot run, as the user is told; empty when they can.
// On a network line the baud rates and parities belong to the gateway and
// are not looked at.
std::string Refusal(const Settings& settings, bool network);

// One request of the scan.
struct Try {
    uint8_t address = 0;
    int32_t baud = 0;
    serial::Parity parity = serial::Parity::Even;
    bool config = false; // the configuration-mode probe (functions 109)
};

// Every try, setting by setting (baud rate, then parity), each setting from
// the first address to the last; the configuration-mode probe comes last.
// A network line is one setting: the line's own.
std::vector<Try> PlanTries(const Settings& settings, const serial::LineSettings& line);

// Bytes of the probe's request and of its normal reply, address and
// checksum included.
size_t RequestBytes(const Try& t, int function);
size_t ReplyBytes(const Try& t, int function);

// The wait for one reply: the reply's time on the wire at the try's rate
// plus 50 ms for the slave to turn round, never more than the time-out of
// the line (TIMEOUT).
double TryTimeout(const Try& t, int function, double timeout_s);
// A silent try end to end: the request on the wire, then the whole wait.
double TryTime(const Try& t, int function, double timeout_s);
// TryTime of the tries from `first` on: the time still to come at most.
double TimeOfTries(const std::vector<Try>& tries, size_t first, int function, double timeout_s);

// "14 s", "2 min 05 s".
std::string DurationText(double seconds);

// "9600,19200" and back; the parity codes of the .cfg ("2,3") likewise.
// Parsing keeps what it understands, in order, without repeats.
std::vector<int32_t> ParseBauds(const std::string& text);
std::vector<serial::Parity> ParseParities(const std::string& text);
std::string BaudsText(const std::vector<int32_t>& bauds);
std::string ParitiesText(const std::vector<serial::Parity>& parities);

// "Even", "No (1 stop bit)": the words of the Parity menu.
const char* ParityName(serial::Parity parity);

// What answered at one try.
struct Finding {
    Try at;
    enum Kind { Module, Exception, Garbled } kind = Module;
    std::string what; // "register 0 = 111", "NODE-T01 r.01.002", "exception 1: ...", "garbled: ..."
};

// One line of the list, without its end: address, baud rate, parity, what.
// On a network line the rate and parity are the gateway's: "unit 5".
std::string FindingLine(const Finding& f, bool network);
// The whole list, one numbered line per finding, each ended by CR LF.
std::string ListText(const std::vector<Finding>& findings, bool network);

} // namespace scan
