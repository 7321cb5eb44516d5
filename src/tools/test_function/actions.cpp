// Sub-form commands: parameter entry for each field and the read and write
// actions. Addresses and quantities come from the keys, which parameter entry
// keeps within range; values come from the boxes as they stand.
#include "app/config_store.h"
#include "app/forms/forms.h"
#include "app/shell.h"
#include "modbus/function_codes.h"
#include "requests/requests.h"
#include "tools/test_function/test_function.h"

namespace test_function {

namespace {

std::string Key(int function, const char* suffix)
{
    return app::ReadConfigKey(app::CfgPath, "FUNCTION_TEST_" + std::to_string(function) + suffix);
}

void Commit(const SubForm& form, const SubFormField& field)
{
    int id = form.base + field.offset;
    if (field.kind == SubFormField::Value)
        forms::CommitNumber(id, field.key, field.minimum, field.maximum, field.prompt, false);
    else if (field.kind == SubFormField::ValueList)
        forms::CommitNumberList(id, field.key, field.minimum, field.maximum, field.prompt, false);
}

int ResultId(const SubForm& form)
{
    return form.base + (form.function == modbus::kReadWriteMultipleRegisters ? 61 : 31);
}

void Write(const SubForm& form)
{
    const int b = form.base;
    const uint8_t slave = TestSlave();
    switch (form.function) {
    case modbus::kWriteSingleCoil:
        modbus::WriteCoil(slave, b + 21, Key(modbus::kWriteSingleCoil, "_ADD"));
        break;
    case modbus::kWriteSingleRegister:
        modbus::WriteRegister(slave, b + 21, Key(modbus::kWriteSingleRegister, "_ADD"));
        break;
    case modbus::kWriteMultipleCoils:
        modbus::WriteCoilList(slave, b + 31, Key(modbus::kWriteMultipleCoils, "_ADD"),
                              Key(modbus::kWriteMultipleCoils, "_QTY"));
        break;
    case modbus::kWriteMultipleRegisters:
        modbus::WriteRegisterList(slave, b + 31, Key(modbus::kWriteMultipleRegisters, "_ADD"),
                                  Key(modbus::kWriteMultipleRegisters, "_QTY"));
        break;
    case modbus::kReadWriteMultipleRegisters:
        modbus::WriteReadRegisterList(
            slave, b + 51, Key(modbus::kReadWriteMultipleRegisters, "_ADD_W"),
            Key(modbus::kReadWriteMultipleRegisters, "_QTY_W"), ResultId(form),
            Key(modbus::kReadWriteMultipleRegisters, "_ADD_R"),
            Key(modbus::kReadWriteMultipleRegisters, "_QTY_R"));
        break;
    default: break;
    }
}

void ReadFormCommand(const SubForm& form, int offset)
{
    if (offset == kAutoReadOffset)
        ToggleAutoRead(form);
    // While Auto Read runs the rest of the sub-form is inert, so the listing
    // always matches the parameters it was started with.
    if (app::AutoReadActive)
        return;
    if (offset == kActionOffset) {
        ReadListing(form);
        return;
    }
    const SubFormField* field = FieldAt(form, offset);
    if (field && field->kind == SubFormField::Value) {
        // A listing of other parameters would mislead.
        forms::ClearField(ResultId(form), false);
        Commit(form, *field);
    }
}

} // namespace

modbus::ResultCode ReadListing(const SubForm& form)
{
    int result = ResultId(form);
    forms::ClearField(result, false);
    std::string start = Key(form.function, "_ADD");
    std::string quantity = Key(form.function, "_QTY");
    const uint8_t slave = TestSlave();
    switch (form.function) {
    case modbus::kReadCoils: return modbus::ReadCoilList(slave, result, start, quantity);
    case modbus::kReadDiscreteInputs:
        return modbus::ReadDiscreteInputList(slave, result, start, quantity);
    case modbus::kReadHoldingRegisters:
        return modbus::ReadHoldingRegisterList(slave, result, start, quantity);
    case modbus::kReadInputRegisters:
        return modbus::ReadInputRegisterList(slave, result, start, quantity);
    default: return modbus::kOk;
    }
}

void SubFormCommand(const SubForm& form, int id)
{
    const int offset = id - form.base;
    if (form.reads) {
        ReadFormCommand(form, offset);
        return;
    }
    if (offset == kActionOffset) {
        Write(form);
        return;
    }
    if (const SubFormField* field = FieldAt(form, offset))
        Commit(form, *field);
}

} // namespace test_function
