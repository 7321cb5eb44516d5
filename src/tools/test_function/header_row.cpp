// The header row: slave address, function code and "OK". Touching any of it
// closes the sub-form and stops Auto Read, so a request never goes out with
// a slave or function the user is still changing.
#include "app/config_store.h"
#include "app/forms/forms.h"
#include "app/shell.h"
#include "tools/test_function/test_function.h"
#include "tools/test_function/test_function_tool.h"

namespace test_function {

namespace {

uint8_t test_slave = 0;

const char* kSlavePrompt = "Address of Modbus slave. Valid: 1÷247";
const char* kFunctionPrompt = "Function code of command. Valid: 1÷127";

const char* TitleFor(const std::string& function_text)
{
    static const struct {
        const char* text;
        const char* title;
    } titles[] = {
        {"1", " Test function : Read Coils"},
        {"2", " Test function : Read Discrete Inputs"},
        {"3", " Test function : Read Holding Registers"},
        {"4", " Test function : Read Input Registers"},
        {"5", " Test function : Write Single Coil"},
        {"6", " Test function : Write Single Register"},
        {"15", " Test function : Write Multiple Coils"},
        {"16", " Test function : Write Multiple Registers"},
        {"23", " Test function : Write/Read Multiple Registers"},
    };
    for (const auto& t : titles)
        if (function_text == t.text)
            return t.title;
    return " Test function : not implemented";
}

// The title follows the box as typed, not the clamped stored value.
void ShowTitle() { ui::SetText(kTitleId, TitleFor(forms::GetFieldText(kFunctionBoxId))); }

void BuildHeader()
{
    forms::AddTitleBar(kTitleId, "", 15, 10, 365);
    forms::AddSlaveAddressRow(kSlaveBoxId, "FUNCTION_SLAVE");
    forms::AddSteppedField(kFunctionBoxId, "FUNCTION_TEST_FUN", "Function code", 150, 30);
    forms::AddButton(kOkId, "OK", 345, 40, 35);
    forms::AddSeparator(kSeparatorId, 15, 60, 365);
}

void RemoveHeader()
{
    for (int id : {kTitleId, kSlaveBoxId, kSlaveDownId, kSlaveUpId, kFunctionBoxId, kFunctionDownId,
                   kFunctionUpId, kOkId, kSeparatorId})
        forms::RemoveControls(id);
}

void Ok()
{
    test_slave =
        uint8_t(strings::ParseInteger(app::ReadConfigKey(app::CfgPath, "FUNCTION_SLAVE")) & 0xFF);
    if (const SubForm* form = SubFormOfText(forms::GetFieldText(kFunctionBoxId)))
        BuildSubForm(*form);
    app::ShowStatus("Ready", 0);
}

void HeaderCommand(int id)
{
    RemoveSubForm();
    app::AutoReadActive = 0;
    switch (id) {
    case kSlaveBoxId:
        forms::CommitNumber(id, "FUNCTION_SLAVE", "1", "247", kSlavePrompt, false);
        break;
    // The stepped text notifies the box, which stores it.
    case kSlaveDownId: forms::StepDown(kSlaveBoxId, "1", false); break;
    case kSlaveUpId: forms::StepUp(kSlaveBoxId, "247", false); break;
    case kFunctionBoxId:
        forms::CommitNumber(id, "FUNCTION_TEST_FUN", "1", "127", kFunctionPrompt, false);
        ShowTitle();
        break;
    case kFunctionDownId:
        forms::StepDown(kFunctionBoxId, "1", false);
        ShowTitle();
        break;
    case kFunctionUpId:
        forms::StepUp(kFunctionBoxId, "127", false);
        ShowTitle();
        break;
    case kOkId: Ok(); break;
    default: break;
    }
}

} // namespace

uint8_t TestSlave() { return test_slave; }

void Open()
{
    ui::SetClientSize(400, 270);
    BuildHeader();
    ShowTitle();
    app::ShowStatus("Ready", 0);
    app::AutoReadActive = 0;
}

void Close()
{
    RemoveSubForm();
    RemoveHeader();
    app::AutoReadActive = 0;
}

void Command(int id)
{
    if (id >= kHeaderFirst && id <= kHeaderLast) {
        HeaderCommand(id);
        return;
    }
    const SubForm* form = OpenSubForm();
    if (form && SubFormOwning(id) == form)
        SubFormCommand(*form, id);
}

void Tick() { AutoReadTick(); }

} // namespace test_function
