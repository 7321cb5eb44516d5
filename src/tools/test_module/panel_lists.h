// Read all and Write all of a panel: its lists run entry by entry through
// the fields' own requests.
#pragma once

#include <cstdint>
#include <string>

#include "modbus/result_codes.h"
#include "tools/test_module/panel_profile.h"

namespace test_module {

// Stops at the first failing request and returns its code; boxes read
// before it keep their new values. On success, outside Auto Read, reports
// the whole operation in the status bar.
modbus::ResultCode ReadAll(const PanelProfile& profile, uint8_t slave, const std::string& version);
modbus::ResultCode WriteAll(const PanelProfile& profile, uint8_t slave, const std::string& version);

} // namespace test_module
