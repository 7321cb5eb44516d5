// What the files of the Test function tool share: the sub-form table, the
// header's test slave and function box, and the actions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test_function {

// Header controls.
constexpr int kTitleId = 50001;
constexpr int kSeparatorId = 50002;
constexpr int kOkId = 50003;
constexpr int kSlaveBoxId = 50011;
constexpr int kSlaveDownId = 50013;
constexpr int kSlaveUpId = 50014;
constexpr int kFunctionBoxId = 50021;
constexpr int kFunctionDownId = 50023;
constexpr int kFunctionUpId = 50024;
constexpr int kHeaderFirst = 50000;
constexpr int kHeaderLast = 50999;

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
int16_t ReadListing(const SubForm& form);
void ToggleAutoRead(const SubForm& form);
void AutoReadTick();

} // namespace test_function
