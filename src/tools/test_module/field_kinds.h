// What a field of a module panel does with its register, by field kind: the
// request that reads it into the box, the one that writes the box to it, and
// the check of what the box holds.
#pragma once

#include <cstdint>

#include "modbus/result_codes.h"
#include "tools/test_module/panel_profile.h"

namespace test_module {

// Result code of the request (0 = success; failures are already reported).
modbus::ResultCode ReadField(uint8_t slave, int base, const PanelField& field);
// Input fields have nothing to write and return 0 without a request.
modbus::ResultCode WriteField(uint8_t slave, int base, const PanelField& field);
// Shows the field's help text; holding fields also colour the box by
// whether its text is a valid value.
void CheckField(int base, const PanelField& field);

} // namespace test_module
