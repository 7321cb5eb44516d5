// The Analyzer's traffic: reading and writing channels, one request each,
// the pass over all enabled channels, Write all and the Auto Read tick.
#pragma once

#include "modbus/result_codes.h"

namespace analyzer
{

// Reads channel `index` into its value box with the request of its TYPE.
modbus::ResultCode ReadChannel(int index);
// Writes the value box of channel `index`; input registers are left alone
// (result 0).
modbus::ResultCode WriteChannel(int index);

// Every enabled channel in index order; the first failure ends the pass
// and its code is returned.
modbus::ResultCode AcquisitionPass();
// Every enabled holding-register channel in index order, likewise.
modbus::ResultCode WriteAllPass();

// The "Auto Read" button, and the sampling timer's tick.
void ToggleAutoRead();
void AutoReadTick();

} // namespace analyzer
