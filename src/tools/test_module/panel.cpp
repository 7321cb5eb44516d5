// The open module panel and its commands. While Auto Read runs, every control
// of the panel but "Auto Read" is inert: a Read or Write in the middle of the
// cycles would interleave with them and its status would be overwritten.
#include "tools/test_module/panel.h"

#include "app/control_ids.h"
#include "app/forms/builders.h"
#include "app/forms/field_access.h"
#include "app/shell.h"
#include "platform/ui.h"
#include "tools/test_module/field_kinds.h"
#include "tools/test_module/panel_lists.h"

namespace test_module {

namespace {

struct OpenModule {
    const PanelProfile* profile = nullptr; // nullptr: no panel on the window
    uint8_t slave = 0;
    std::string version;
};
OpenModule module;

int Base() { return app::PanelBase(module.profile->code); }

void RemoveProfileControls(const PanelProfile& p)
{
    int base = app::PanelBase(p.code);
    for (int offset : {kReadAllOffset, kWriteAllOffset, kAutoReadOffset})
        forms::RemoveControls(base + offset);
    for (const PanelField& f : p.fields) {
        forms::RemoveControls(FieldBox(base, f.k)); // and its caption
        forms::RemoveControls(FieldRead(base, f.k));
        forms::RemoveControls(FieldWrite(base, f.k));
    }
    forms::RemoveControls(base + kInfoOffset); // and its caption
}

void AutoReadCycle()
{
    if (!app::AutoReadActive || !module.profile)
        return;
    app::ShowStatus("Auto read active", app::AutoReadBusyColour);
    if (ReadAll(*module.profile, module.slave, module.version) != 0)
        return; // the error report has stopped Auto Read
    app::ShowStatus("Auto read active", app::AutoReadIdleColour);
}

void ToggleAutoRead()
{
    if (app::SwitchAutoRead())
        app::RunAutoReadPass(AutoReadCycle);
}

} // namespace

void OpenPanel(int code, uint8_t slave, const std::string& version)
{
    const PanelProfile* p = FindProfile(code);
    if (!p)
        return;
    module = OpenModule{p, slave, version};
    int base = app::PanelBase(code);
    ui::SetClientSize(400, p->height);
    for (const PanelField& f : p->fields) {
        bool holding = IsHolding(f.kind);
        forms::AddDisplayField(FieldBox(base, f.k), f.caption, f.x, f.y, f.width, !holding);
        forms::AddButton(FieldRead(base, f.k), "Read", f.x + f.width + 5, f.y + 10, 35);
        if (holding)
            forms::AddButton(FieldWrite(base, f.k), "Write", f.x + f.width + 45, f.y + 10, 35);
    }
    forms::AddButton(base + kReadAllOffset, "Read all", 15, p->button_y, 50);
    forms::AddButton(base + kWriteAllOffset, "Write all", 70, p->button_y, 50);
    forms::AddButton(base + kAutoReadOffset, "Auto Read", 125, p->button_y, 50);
    if (!p->info.empty()) {
        forms::AddResultWindow(base + kInfoOffset, "Informations", 255, 70, 130, 270);
        forms::SetFieldText(base + kInfoOffset, InformationsText(*p, version));
    }
}

void RemovePanels()
{
    for (const PanelProfile* p : AllProfiles())
        RemoveProfileControls(*p);
    module.profile = nullptr;
}

bool IsPanelCommand(int id) { return module.profile && id >= Base() && id <= Base() + 999; }

void PanelCommand(int id)
{
    if (!IsPanelCommand(id))
        return;
    int base = Base();
    if (id == base + kAutoReadOffset)
        ToggleAutoRead();
    if (app::AutoReadActive)
        return;
    const PanelProfile& p = *module.profile;
    if (id == base + kReadAllOffset) {
        ReadAll(p, module.slave, module.version);
        return;
    }
    if (id == base + kWriteAllOffset) {
        WriteAll(p, module.slave, module.version);
        return;
    }
    for (const PanelField& f : p.fields) {
        if (id == FieldBox(base, f.k))
            CheckField(base, f);
        else if (id == FieldRead(base, f.k))
            ReadField(module.slave, base, f);
        else if (id == FieldWrite(base, f.k) && IsHolding(f.kind))
            WriteField(module.slave, base, f);
    }
}

void PanelTick() { AutoReadCycle(); }

} // namespace test_module
