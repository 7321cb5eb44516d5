// Load and Save As: which tool configuration file is in use. Both are file
// copies at heart, since every setting already lives in the current file.
#include "app/setup_files.h"

#include "app/config_store.h"
#include "app/forms/file_dialogs.h"
#include "app/forms/shared_boxes.h"
#include "app/shell.h"
#include "platform/system.h"

namespace app {

namespace {

constexpr char kCR = '\r';
const char* const kFilter = "Configuration file (*.cfg)|*.cfg";

// The dialogs open in the folder of the proposed file; the home folder
// stands in for the drive root the program once proposed.
bool AskFile(bool save, const std::string& title, std::string* name)
{
    *name = CfgPath;
    unsigned flags = 0;
    if (save)
        return forms::AskSaveFile(title, name, sys::HomeDirectory(), kFilter, "cfg", &flags);
    return forms::AskOpenFile(title, name, sys::HomeDirectory(), kFilter, "cfg", &flags);
}

// A copy that fails (read-only target, missing folder, full disk) must not
// be followed by the switch: CFG_FILE would name a file that is not there or
// is not the copy, and the next read would reset every setting to defaults.
bool CopyCurrentTo(const std::string& target, const std::string& title)
{
    std::string error;
    if (sys::CopyFile(CfgPath, target, &error))
        return true;
    forms::ShowError(std::string("The configuration could not be copied") + kCR + "from " +
                         CfgPath + kCR + "to " + target + kCR + kCR + error,
                     title);
    return false;
}

void SwitchTo(const std::string& name)
{
    CfgPath = name;
    WriteConfigKey(IniPath, "CFG_FILE", name);
    ApplyGeneralConfiguration();
}

} // namespace

void LoadConfiguration()
{
    const std::string title = "Load configuration file";
    std::string name;
    if (!AskFile(false, "Load configuration from a .CFG file", &name))
        return;
    if (!sys::IsRegularFile(name)) {
        if (!forms::ConfirmOkCancel(std::string("File not found.") + kCR + kCR +
                                        "Create a new configuration file from this?" + kCR +
                                        CfgPath,
                                    title))
            return;
        if (!CopyCurrentTo(name, title))
            return;
    }
    SwitchTo(name);
}

void SaveConfigurationAs()
{
    const std::string title = "Save as configuration file";
    std::string name;
    if (!AskFile(true, "Save current configuration to a new .CFG file", &name))
        return;
    if (sys::PathExists(name) &&
        !forms::ConfirmOkCancel(std::string("File already exist.") + kCR + kCR +
                                    "Replace existing copy of this file?" + kCR + name,
                                title))
        return;
    if (!CopyCurrentTo(name, title))
        return;
    SwitchTo(name);
}

} // namespace app
