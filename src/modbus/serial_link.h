// The one serial port of the program and the one transaction engine.
#pragma once

#include <cstdint>
#include <string>

#include "modbus/codec.h"

// Folder where a file COMn names the device of port n (fixed at start-up).
void SetPortFolder(const std::string& folder);

int16_t OpenPort(int16_t port, int32_t baud, int16_t parity);
void ClosePort();
int16_t Transact(uint8_t address, uint8_t function, const Bytes& request, Bytes* reply,
                 uint16_t expected_reply_data, float timeout_s);
void ReportCommError(const std::string& message);
