// What the files of the Test function tool share: the sub-form table, the
// header's test slave and function box, and the actions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "modbus/result_codes.h"

namespace test_function {

// Header controls.
constexpr int kTitleId = app::kTestFunctionBase + 1;
constexpr int kSeparatorId = app::kTestFunctionBase + 2;
constexpr int kOkId = app::kTestFunctionBase + 3;
constexpr int kSlaveBoxId = app::kTestFunctionBase + 11;
constexpr int kSlaveDownId = app::kTestFunctionBase + 13;
constexpr int kSlaveUpId = app::kTestFunctionBase + 14;
constexpr int kFunctionBoxId = app::kTestFunctionBase + 21;
constexpr int kFunctionDownId = app::kTestFunctionBase + 23;
constexpr int kFunctionUpId = app::kTestFunctionBase + 24;
constexpr int kHeaderFirst = app::kTestFunctionBase;
constexpr int kHeaderLast = app::kTestFunctionBase + app::kIdBlock - 1;
// The n-th sub-form (1..9, in the order of the function list) has the
// block after the header's n-th.
constexpr int SubFormBase(int n) { return app::kTestFunctionBase + n * app::kIdBlock; }

// Offsets of the sub-form controls from their function's base.
constexpr int kActionOffset = 1; // "Read", "Write" or "Write/Read"
constexpr int kAutoReadOffset = 2;

struct SubFormField {
    enum Kind { Value, ValueList, Result, Button } kind;
    int offset;
    const char* caption;
    int x, y, w, h;
    // Bound fields: the key, its range and the prompt shown while editing.
    const char* key = nullptr;
    const char* minimum = nullptr;
    const char* maximum = nullptr;
    const char* prompt = nullptr;
};

struct SubForm {
    int function;
    int base;
    bool reads; // functions 1 to 4: a result listing and Auto Read
    std::vector<SubFormField> fields;
};

// nullptr when the function has no sub-form.
const SubForm* SubFormOf(int function);
const SubForm* SubFormOfText(const std::string& function_text);
// The sub-form whose identifier block holds id.
const SubForm* SubFormOwning(int id);
const SubFormField* FieldAt(const SubForm& form, int offset);

void BuildSubForm(const SubForm& form);
void RemoveSubForm();
const SubForm* OpenSubForm(); // nullptr when only the header is open

// The slave chosen by the last "OK".
uint8_t TestSlave();

// A command from a control of the open sub-form.
void SubFormCommand(const SubForm& form, int id);
// Fills the result listing of a read sub-form. Result code.
modbus::ResultCode ReadListing(const SubForm& form);
void ToggleAutoRead(const SubForm& form);
void AutoReadTick();

} // namespace test_function
