// The serial link: the one port of the program, opened on demand and kept
// open between requests, and the transaction engine that sends a request and
// collects its reply. A failure closes the port and goes, once, to the
// reporter the program installed; callers only pass the result code on (see
// modbus/result_codes.h).
#pragma once

#include <cstdint>
#include <string>

#include "modbus/codec.h"

namespace modbus {

// How the line is set when the port opens.
struct LineSettings {
    int16_t port = 1;    // 1..8 for COM1..COM8
    int32_t baud = 9600; // 300..1000000 bit/s
    int16_t parity = 2;  // 0 none + 2 stop bits, 1 odd, 2 even, 3 none + 1 stop bit
};

// One failed request as the user is told about it.
struct Failure {
    int16_t code = 0;    // result code
    std::string message; // the text the user is shown
    int os_error = 0;    // errno of a device that could not be opened, else 0
};

// Receives every failure after the port has been closed. The program
// installs one at start-up; without one, failures are only returned.
using FailureReporter = void (*)(const Failure& failure);
void SetFailureReporter(FailureReporter reporter);

// Folder where a file COMn names the device of port n (fixed at start-up).
void SetPortFolder(const std::string& folder);

// Opens the port of `line`. Does nothing and returns 0 while the port is
// open, whatever the settings.
int16_t OpenPort(const LineSettings& line);
void ClosePort();
bool PortIsOpen();

// One request and its reply. `expected_reply_data` counts the reply bytes
// after address and function, before the checksum; *reply receives them
// only on success. Address 0 is a broadcast: sent, no reply awaited.
int16_t Transact(uint8_t address, uint8_t function, const Bytes& request, Bytes* reply,
                 uint16_t expected_reply_data, float timeout_s);

// Closes the port and reports the failure as the engine reports its own
// (for a reply the engine accepted but its caller finds wrong in content).
// Returns `code`.
int16_t ReportFailure(int16_t code, const std::string& message, int os_error = 0);

} // namespace modbus
