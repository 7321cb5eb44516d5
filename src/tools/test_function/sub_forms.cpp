// The nine sub-forms: where each field stands, which key it shows and the
// range and prompt it is checked against.
#include "app/forms/builders.h"
#include "modbus/function_codes.h"
#include "tools/test_function/test_function.h"

namespace test_function {

namespace {

using F = SubFormField;

// The four list reads differ only in their words, keys and ranges.
SubForm ReadForm(int function, int base, const char* add, const char* qty, const char* add_prompt,
                 const char* qty_max, const char* qty_prompt, const char* result, int result_w)
{
    return SubForm{function,
                   base,
                   true,
                   {{F::Value, 11, "Start address", 15, 70, 50, 0, add, "0", "65535", add_prompt},
                    {F::Value, 21, "Quantity", 15, 100, 50, 0, qty, "1", qty_max, qty_prompt},
                    {F::Button, kActionOffset, "Read", 15, 140, 50, 0},
                    {F::Button, kAutoReadOffset, "Auto Read", 70, 140, 50, 0},
                    {F::Result, 31, result, 150, 70, result_w, 100}}};
}

SubForm SingleWriteForm(int function, int base, const char* add, const char* add_prompt,
                        const char* val, const char* val_max, const char* val_prompt)
{
    return SubForm{function,
                   base,
                   false,
                   {{F::Value, 11, "Address", 15, 70, 50, 0, add, "0", "65535", add_prompt},
                    {F::Value, 21, "Value", 15, 100, 50, 0, val, "0", val_max, val_prompt},
                    {F::Button, kActionOffset, "Write", 15, 140, 50, 0}}};
}

SubForm MultipleWriteForm(int function, int base, const char* add, const char* add_prompt,
                          const char* qty, const char* qty_max, const char* qty_prompt,
                          const char* val, const char* val_max, const char* val_prompt)
{
    return SubForm{function,
                   base,
                   false,
                   {{F::Value, 11, "Start address", 15, 70, 50, 0, add, "0", "65535", add_prompt},
                    {F::Value, 21, "Quantity", 15, 100, 50, 0, qty, "1", qty_max, qty_prompt},
                    {F::ValueList, 31, "Values", 150, 70, 57, 100, val, "0", val_max, val_prompt},
                    {F::Button, kActionOffset, "Write", 15, 140, 50, 0}}};
}

const char* kWordCaption = "Address > Decimal      Binary(High.Low)";

const std::vector<SubForm>& Table()
{
    static const std::vector<SubForm> table = {
        ReadForm(modbus::kReadCoils, SubFormBase(1), "FUNCTION_TEST_1_ADD", "FUNCTION_TEST_1_QTY",
                 "Start address of Coils. Valid: 0÷65535", "2000",
                 "Quantity of Coils. Valid: 1÷2000", "Address > Bit", 70),
        ReadForm(modbus::kReadDiscreteInputs, SubFormBase(2), "FUNCTION_TEST_2_ADD",
                 "FUNCTION_TEST_2_QTY", "Start address of Discrete Inputs. Valid: 0÷65535", "2000",
                 "Quantity of Discrete Inputs. Valid: 1÷2000", "Address > Bit", 70),
        ReadForm(modbus::kReadHoldingRegisters, SubFormBase(3), "FUNCTION_TEST_3_ADD",
                 "FUNCTION_TEST_3_QTY", "Start address of Holding Registers. Valid: 0÷65535", "125",
                 "Quantity of Holding Registers. Valid: 1÷125", kWordCaption, 200),
        ReadForm(modbus::kReadInputRegisters, SubFormBase(4), "FUNCTION_TEST_4_ADD",
                 "FUNCTION_TEST_4_QTY", "Start address of Input Registers. Valid: 0÷65535", "125",
                 "Quantity of Input Registers. Valid: 1÷125", kWordCaption, 200),
        SingleWriteForm(modbus::kWriteSingleCoil, SubFormBase(5), "FUNCTION_TEST_5_ADD",
                        "Address of Single Coil. Valid: 0÷65535", "FUNCTION_TEST_5_VAL", "1",
                        "Value of Single Coil. Valid: 0÷1"),
        SingleWriteForm(modbus::kWriteSingleRegister, SubFormBase(6), "FUNCTION_TEST_6_ADD",
                        "Address of Single Register. Valid: 0÷65535", "FUNCTION_TEST_6_VAL",
                        "65535", "Value of Single Register. Valid: 0÷65535"),
        MultipleWriteForm(modbus::kWriteMultipleCoils, SubFormBase(7), "FUNCTION_TEST_15_ADD",
                          "Start address of Coils. Valid: 0÷65535", "FUNCTION_TEST_15_QTY", "1968",
                          "Quantity of Coils. Valid: 1÷1968", "FUNCTION_TEST_15_VAL", "1",
                          "Value(s) of Coils. Valid: 0÷1"),
        MultipleWriteForm(modbus::kWriteMultipleRegisters, SubFormBase(8), "FUNCTION_TEST_16_ADD",
                          "Start address of Holding Registers. Valid: 0÷65535",
                          "FUNCTION_TEST_16_QTY", "123",
                          "Quantity of Holding Registers. Valid: 1÷123", "FUNCTION_TEST_16_VAL",
                          "65535", "Value(s) of Holding Registers. Valid: 0÷65535"),
        SubForm{modbus::kReadWriteMultipleRegisters,
                SubFormBase(9),
                false,
                {{F::Value, 11, "Start address Wr", 15, 70, 50, 0, "FUNCTION_TEST_23_ADD_W", "0",
                  "65535", "Write start address of Holding Registers. Valid: 0÷65535"},
                 {F::Value, 21, "Quantity Wr", 15, 100, 50, 0, "FUNCTION_TEST_23_QTY_W", "1", "121",
                  "Write quantity of Holding Registers. Valid: 1÷121"},
                 {F::Value, 31, "Start address Rd", 15, 130, 50, 0, "FUNCTION_TEST_23_ADD_R", "0",
                  "65535", "Read start address of Holding Registers. Valid: 0÷65535"},
                 {F::Value, 41, "Quantity Rd", 15, 160, 50, 0, "FUNCTION_TEST_23_QTY_R", "1", "125",
                  "Read quantity of Holding Registers. Valid: 1÷125"},
                 {F::ValueList, 51, "Values Wr", 80, 70, 57, 100, "FUNCTION_TEST_23_VAL", "0",
                  "65535", "Write value(s) of Holding Registers. Valid: 0÷65535"},
                 {F::Result, 61, "Address > Decimal      Binary(High.Low)          Rd", 150, 70,
                  200, 100},
                 {F::Button, kActionOffset, "Write/Read", 15, 200, 50, 0}}},
    };
    return table;
}

const SubForm* open_form = nullptr;

} // namespace

const SubForm* SubFormOf(int function)
{
    for (const SubForm& form : Table())
        if (form.function == function)
            return &form;
    return nullptr;
}

const SubForm* SubFormOfText(const std::string& text)
{
    // Only the plain number opens a sub-form: "03" or "3 " are not function 3.
    for (const SubForm& form : Table())
        if (text == std::to_string(form.function))
            return &form;
    return nullptr;
}

const SubForm* SubFormOwning(int id)
{
    for (const SubForm& form : Table())
        if (id >= form.base && id <= form.base + 999)
            return &form;
    return nullptr;
}

const SubFormField* FieldAt(const SubForm& form, int offset)
{
    for (const SubFormField& field : form.fields)
        if (field.offset == offset)
            return &field;
    return nullptr;
}

void BuildSubForm(const SubForm& form)
{
    RemoveSubForm();
    for (const SubFormField& f : form.fields) {
        int id = form.base + f.offset;
        switch (f.kind) {
        case F::Value: forms::AddValueField(id, f.key, f.caption, f.x, f.y, f.w, false); break;
        case F::ValueList:
            forms::AddValueListField(id, f.key, f.caption, f.x, f.y, f.w, f.h, false);
            break;
        case F::Result: forms::AddDisplayListField(id, f.caption, f.x, f.y, f.w, f.h, true); break;
        case F::Button: forms::AddButton(id, f.caption, f.x, f.y, f.w); break;
        }
    }
    open_form = &form;
}

void RemoveSubForm()
{
    if (!open_form)
        return;
    const SubForm& form = *open_form;
    // Cleared first: removing a box that has the focus may notify it.
    open_form = nullptr;
    for (const SubFormField& f : form.fields)
        forms::RemoveControls(form.base + f.offset);
}

const SubForm* OpenSubForm() { return open_form; }

} // namespace test_function
