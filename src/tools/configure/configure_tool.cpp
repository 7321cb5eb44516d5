// The Configure module tool: a form over the four MODULE_CFG_ keys, and
// "Read all" / "Write all" to move them between the file and a module in
// configuration mode. The keys are the tool's only state.
#include <string>

#include "app/config_store.h"
#include "app/control_ids.h"
#include "app/forms/forms.h"
#include "app/shell.h"
#include "requests/module_config.h"
#include "tools/configure/configure_tool.h"

namespace configure {

namespace {

enum : int {
    kTitle = app::kConfigureBase + 1,
    kReadAll = app::kConfigureBase + 2,
    kWriteAll = app::kConfigureBase + 3,
    kSlave = app::kConfigureBase + 11,
    kSlaveDown = app::kConfigureBase + 13,
    kSlaveUp = app::kConfigureBase + 14,
    kBaud = app::kConfigureBase + 21,
    kParity = app::kConfigureBase + 31,
    kResetTime = app::kConfigureBase + 41,
};

struct Field {
    int id;
    const char* key;
    const char* caption;
    int y;
    const char* minimum;
    const char* maximum;
    const char* hint;
};

// In form order: Read all refills them in this order, so the last one's
// hint is what the status line shows afterwards.
const Field kFields[] = {
    {kSlave, "MODULE_CFG_SLAVE", "Slave address", 30, "1", "247",
     "Address of Modbus slave. Valid: 1÷247"},
    {kBaud, "MODULE_CFG_BAUD", "Baudrate", 60, "300", "1000000",
     "Baudrate for Modbus communication. Valid: 300÷1000000 bit/s"},
    {kParity, "MODULE_CFG_PARITY", "Parity", 90, "0", "3",
     "Parity bit for Modbus communication. Valid: 0=NO(2 stops), 1=ODD, 2=EVEN, 3=NO(1 stop)"},
    {kResetTime, "MODULE_CFG_RES_TIME", "Time to reset", 120, "0", "60000",
     "Maximum time of master inactivity to module reset. Valid: 0=NO, 1÷60000 (x10ms)"},
};

const int kControls[] = {kTitle,  kSlave,     kSlaveDown, kSlaveUp, kBaud,
                         kParity, kResetTime, kReadAll,   kWriteAll};

void ShowConfigurationError()
{
    forms::ShowError("A communication error was detected while communicating with the module.\r\n"
                     "Probably the module is not in configuration mode (green led is flashing) or "
                     "there is a conflict with more modules in this modality.",
                     "Configuration error");
}

void ReadAll()
{
    if (modbus::ReadModuleConfiguration() != 0) {
        ShowConfigurationError();
        return;
    }
    // Setting a box's text is an edit of that box: its own check runs again,
    // so a value the module holds outside the range is marked and clamped in
    // its key like a typed one.
    for (const Field& f : kFields)
        forms::SetFieldText(f.id, app::ReadConfigKey(app::CfgPath, f.key));
}

void WriteAll()
{
    if (modbus::WriteModuleConfiguration() != 0)
        ShowConfigurationError();
}

} // namespace

void Open()
{
    ui::SetClientSize(400, 230);
    forms::AddTitleBar(kTitle, " Configure module", 15, 10, 365);
    for (const Field& f : kFields) {
        if (f.id == kSlave)
            forms::AddSlaveAddressRow(f.id, f.key);
        else
            forms::AddValueField(f.id, f.key, f.caption, 15, f.y, 50, false);
    }
    forms::AddButton(kReadAll, "Read all", 15, 160, 50);
    forms::AddButton(kWriteAll, "Write all", 70, 160, 50);
    app::ShowStatus("Ready", 0);
}

void Close()
{
    for (int id : kControls)
        forms::RemoveControls(id);
}

void Command(int id)
{
    for (const Field& f : kFields) {
        if (id == f.id) {
            forms::CommitNumber(f.id, f.key, f.minimum, f.maximum, f.hint, false);
            return;
        }
    }
    if (id == kSlaveDown)
        forms::StepDownAndStore(kSlave, "MODULE_CFG_SLAVE", "1", false);
    else if (id == kSlaveUp)
        forms::StepUpAndStore(kSlave, "MODULE_CFG_SLAVE", "247", false);
    else if (id == kReadAll)
        ReadAll();
    else if (id == kWriteAll)
        WriteAll();
}

} // namespace configure
