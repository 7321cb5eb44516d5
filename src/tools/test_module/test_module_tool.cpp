// The Test module tool: the slave address form and the identification that
// opens the panel of the module found there. Any touch of the form closes
// the open panel, so that a panel never shows a module other than the one
// at the address in the box.
#include <string>

#include "app/config_store.h"
#include "app/control_ids.h"
#include "app/forms/forms.h"
#include "app/shell.h"
#include "requests/requests.h"
#include "strings/number_parse.h"
#include "tools/test_module/model_table.h"
#include "tools/test_module/panel.h"
#include "tools/test_module/test_module_tool.h"

namespace test_module {

namespace {

constexpr int kTitle = app::kTestModuleBase + 1;
constexpr int kSeparator = app::kTestModuleBase + 2;
constexpr int kOk = app::kTestModuleBase + 3;
constexpr int kSlaveBox = app::kTestModuleBase + 11; // caption kSlaveBox + 1
constexpr int kStepDown = app::kTestModuleBase + 13;
constexpr int kStepUp = app::kTestModuleBase + 14;

constexpr int kFormWidth = 400;
constexpr int kFormHeight = 270;
const char* const kTitleText = " Test module";

void ClearPanel()
{
    RemovePanels();
    ui::SetClientSize(kFormWidth, kFormHeight);
    if (ui::ControlExists(kTitle))
        forms::SetFieldText(kTitle, kTitleText);
    app::AutoReadActive = 0;
}

std::string WithoutTrailingBlanks(std::string text)
{
    size_t end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
    return text;
}

void Identify()
{
    // The stored key, not the box: the box may hold a value that was clamped
    // on its way to the file. A hand-edited value out of 1..247 keeps only
    // its low 8 bits.
    uint8_t slave =
        uint8_t(strings::ParseInteger(app::ReadConfigKey(app::CfgPath, "MODULE_SLAVE")));
    std::string model, version;
    if (modbus::ReadSlaveInfo(slave, &model, &version) != 0) {
        forms::SetFieldText(kTitle, std::string(kTitleText) + " : no slave at this address");
        return;
    }
    forms::SetFieldText(kTitle, std::string(kTitleText) + " : " + WithoutTrailingBlanks(model) +
                                    " - " + version);
    if (int code = PanelForModel(model); code != 0)
        OpenPanel(code, slave, version);
    app::ShowStatus("Ready", 0);
}

void FormCommand(int id)
{
    ClearPanel();
    switch (id) {
    case kSlaveBox:
        forms::CommitNumber(kSlaveBox, "MODULE_SLAVE", "1", "247",
                            "Address of Modbus slave. Valid: 1÷247", false);
        break;
    case kStepDown:
        // The new text notifies the box, which stores it.
        forms::StepDown(kSlaveBox, "1", false);
        break;
    case kStepUp: forms::StepUp(kSlaveBox, "247", false); break;
    case kOk: Identify(); break;
    default: break;
    }
}

} // namespace

void Open()
{
    ui::SetClientSize(kFormWidth, kFormHeight);
    forms::AddTitleBar(kTitle, kTitleText, 15, 10, 365);
    forms::AddSlaveAddressRow(kSlaveBox, "MODULE_SLAVE");
    forms::AddButton(kOk, "OK", 345, 40, 35);
    forms::AddSeparator(kSeparator, 15, 60, 365);
    app::ShowStatus("Ready", 0);
    app::AutoReadActive = 0;
}

void Close()
{
    for (int id : {kTitle, kSlaveBox, kStepDown, kStepUp, kOk, kSeparator})
        forms::RemoveControls(id);
    ClearPanel();
}

void Command(int id)
{
    if (id >= app::kTestModuleBase && id < app::kTestModuleBase + app::kIdBlock)
        FormCommand(id);
    else if (IsPanelCommand(id))
        PanelCommand(id);
}

void Tick() { PanelTick(); }

} // namespace test_module
