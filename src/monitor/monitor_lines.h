// The communication monitor's lines and statistics, taken from the capture:
// what the monitor window shows and the script runner writes to its trace
// file. Each reader owns a cursor, so that one reading does not move
// another's place.
#pragma once

#include <cstdint>
#include <string>

#include "modbus/capture.h"
#include "modbus/line_statistics.h"
#include "modbus/transaction.h"

namespace monitor {

// Where a reader is in the capture. A fresh cursor starts at the oldest
// transaction kept; times count from the first transaction it takes.
struct Cursor {
    uint64_t next = 0; // sequence of the next transaction to take
    // Nothing taken yet: whatever the capture no longer keeps is not missed.
    bool from_oldest = true;
    bool started = false;       // origin_us holds
    int64_t origin_us = 0;      // when the first transaction taken was sent
    bool have_settings = false; // line and timeout_s hold
    serial::LineSettings line;  // of the last transaction taken
    float timeout_s = 0;
};

// The lines of every transaction recorded since the cursor's place, each
// ended by '\n' (see modbus::AppendTransactionLines), and moves the cursor
// past them. When the capture has dropped transactions the cursor had not
// taken yet (since its first call), one line says how many were lost.
std::string TakeNewLines(Cursor* cursor);

// The lines of one transaction `t` taken at the cursor's place (the
// settings line first when they changed), and the cursor moved past it.
void AppendLines(Cursor* cursor, const modbus::Transaction& t, std::string* out);

// A cursor that starts with the next transaction recorded, times counted
// from it: what is on the line from now on.
Cursor CursorFromNow();

// The statistics as the monitor shows them, lines separated by '\n':
//   Requests 12 (broadcasts 1)  good 9  time-outs 1  CRC errors 1  exceptions 0  other 0
//   Response time  min 1.204 ms  mean 1.530 ms  max 2.911 ms  99 % 2.911 ms  (9 replies)
// Exceptions are listed by code when there are any: "exceptions 2 (2: 1, 4: 1)".
std::string StatisticsText(const modbus::LineStatistics& stats);

} // namespace monitor
