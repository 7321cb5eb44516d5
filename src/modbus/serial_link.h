// The serial link: the one port of the program, opened on demand and kept
// open between requests, and the transaction engine that sends a request and
// collects its reply. Every failure is shown to the user here, once; callers
// only pass the result code on (0 = success, 1..6 and 15 exceptions,
// 128..135 link and framing failures).
#pragma once

#include <cstdint>
#include <string>

#include "modbus/codec.h"

namespace modbus {

// Folder where a file COMn names the device of port n (fixed at start-up).
void SetPortFolder(const std::string& folder);

// port 1..8 (COM1..COM8), baud 300..1000000 bit/s, parity code 0..3 (0 none
// + 2 stop bits, 1 odd, 2 even, 3 none + 1 stop bit). Does nothing and
// returns 0 while the port is open, whatever the arguments.
int16_t OpenPort(int16_t port, int32_t baud, int16_t parity);
void ClosePort();
bool PortIsOpen();

// One request and its reply. `expected_reply_data` counts the reply bytes
// after address and function, before the checksum; *reply receives them
// only on success. Address 0 is a broadcast: sent, no reply awaited.
int16_t Transact(uint8_t address, uint8_t function, const Bytes& request, Bytes* reply,
                 uint16_t expected_reply_data, float timeout_s);

// Stops Auto Read, closes the port, shows the message in a "Communication
// error" box and puts "Ready" in the status bar.
void ReportCommError(const std::string& message);

} // namespace modbus
