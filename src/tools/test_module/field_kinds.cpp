// Field kinds: each is one register and one request per direction.
#include "tools/test_module/field_kinds.h"

#include <string>

#include "app/forms/parameter_entry.h"
#include "app/shell.h"
#include "requests/requests.h"

namespace test_module {

modbus::ResultCode ReadField(uint8_t slave, int base, const PanelField& field)
{
    int box = FieldBox(base, field.k);
    std::string address = std::to_string(field.reg);
    switch (field.kind) {
    case FieldKind::InputDecimal: return modbus::ReadInputRegister(slave, box, address);
    case FieldKind::InputBits16: return modbus::ReadInputRegisterBits16(slave, box, address);
    case FieldKind::InputBits8: return modbus::ReadInputRegisterBits8(slave, box, address);
    case FieldKind::HoldingDecimal: return modbus::ReadHoldingRegister(slave, box, address);
    case FieldKind::HoldingBits8: return modbus::ReadHoldingRegisterBits8(slave, box, address);
    }
    return modbus::kOk;
}

modbus::ResultCode WriteField(uint8_t slave, int base, const PanelField& field)
{
    int box = FieldBox(base, field.k);
    std::string address = std::to_string(field.reg);
    // The box colour does not hold a write back: the user may mean to send
    // a value the panel considers out of range.
    switch (field.kind) {
    case FieldKind::HoldingDecimal: return modbus::WriteRegister(slave, box, address);
    case FieldKind::HoldingBits8: return modbus::WriteRegisterBits(slave, box, address);
    default: return modbus::kOk;
    }
}

void CheckField(int base, const PanelField& field)
{
    int box = FieldBox(base, field.k);
    switch (field.kind) {
    case FieldKind::HoldingDecimal:
        forms::CheckNumber(box, field.min, field.max, field.help, false);
        break;
    case FieldKind::HoldingBits8: forms::CheckBits(box, 8, field.help, false); break;
    default: app::ShowStatus(field.help, 0); break;
    }
}

} // namespace test_module
