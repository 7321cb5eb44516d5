// The Configure module tool: a form over the four MODULE_CFG_ keys, and
// "Read all" / "Write all" to move them between the file and a module in
// configuration mode. The keys are the tool's only state.
#include <string>

#include "app/config_store.h"
#include "app/forms/forms.h"
#include "app/shell.h"
#include "app/tools.h"
#include "modbus/module_config_requests.h"

namespace {

enum : int {
    kTitle = 10001,
    kReadAll = 10002,
    kWriteAll = 10003,
    kSlave = 10011,
    kSlaveDown = 10013,
    kSlaveUp = 10014,
    kBaud = 10021,
    kParity = 10031,
    kResetTime = 10041,
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
    ShowError("A communication error was detected while communicating with the module.\r\n"
              "Probably the module is not in configuration mode (green led is flashing) or "
              "there is a conflict with more modules in this modality.",
              "Configuration error");
}

void ReadAll()
{
    if (ReadModuleConfiguration() != 0) {
        ShowConfigurationError();
        return;
    }
    // Setting a box's text is an edit of that box: its own check runs again,
    // so a value the module holds outside the range is marked and clamped in
    // its key like a typed one.
    for (const Field& f : kFields)
        SetFieldText(f.id, ReadConfigKey(CfgPath, f.key));
}

void WriteAll()
{
    if (WriteModuleConfiguration() != 0)
        ShowConfigurationError();
}

} // namespace

void ConfigureModuleOpen()
{
    ui::SetClientSize(400, 230);
    AddTitleBar(kTitle, " Configure module", 15, 10, 365);
    // Creation order is the tab order: the steppers follow their box.
    for (const Field& f : kFields) {
        AddValueField(f.id, f.key, f.caption, 15, f.y, 50, false);
        if (f.id == kSlave) {
            AddButton(kSlaveDown, "<", 70, 40, 15);
            AddButton(kSlaveUp, ">", 90, 40, 15);
        }
    }
    AddButton(kReadAll, "Read all", 15, 160, 50);
    AddButton(kWriteAll, "Write all", 70, 160, 50);
    ShowStatus("Ready", 0);
}

void ConfigureModuleClose()
{
    for (int id : kControls)
        RemoveControls(id);
}

void ConfigureModuleCommand(int id)
{
    for (const Field& f : kFields) {
        if (id == f.id) {
            CommitNumber(f.id, f.key, f.minimum, f.maximum, f.hint, false);
            return;
        }
    }
    if (id == kSlaveDown)
        StepDownAndStore(kSlave, "MODULE_CFG_SLAVE", "1", false);
    else if (id == kSlaveUp)
        StepUpAndStore(kSlave, "MODULE_CFG_SLAVE", "247", false);
    else if (id == kReadAll)
        ReadAll();
    else if (id == kWriteAll)
        WriteAll();
}
