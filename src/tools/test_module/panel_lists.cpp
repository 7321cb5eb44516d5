// Read all / Write all: the profile's lists, with entries that firmware
// older than their threshold does not have left out.
#include "tools/test_module/panel_lists.h"

#include "app/control_ids.h"
#include "app/forms/shared_boxes.h"
#include "app/shell.h"
#include "tools/test_module/field_kinds.h"

namespace test_module {

namespace {

const PanelField* FieldOf(const PanelProfile& profile, int k)
{
    for (const PanelField& f : profile.fields)
        if (f.k == k)
            return &f;
    return nullptr;
}

modbus::ResultCode RunList(const PanelProfile& profile, const std::vector<ListEntry>& list,
                           uint8_t slave, const std::string& version,
                           modbus::ResultCode (*request)(uint8_t, int, const PanelField&))
{
    int base = app::PanelBase(profile.code);
    for (const ListEntry& entry : list) {
        if (entry.since && !forms::ReleaseAtLeast(version, entry.since))
            continue;
        const PanelField* field = FieldOf(profile, entry.k);
        if (!field)
            continue;
        if (modbus::ResultCode rc = request(slave, base, *field); rc != modbus::kOk)
            return rc;
    }
    return modbus::kOk;
}

} // namespace

modbus::ResultCode ReadAll(const PanelProfile& profile, uint8_t slave, const std::string& version)
{
    modbus::ResultCode rc = RunList(profile, profile.read_all, slave, version, ReadField);
    if (rc == 0 && !app::AutoReadActive)
        app::ShowStatus("All register readed from Slave " + std::to_string(slave), 0);
    return rc;
}

modbus::ResultCode WriteAll(const PanelProfile& profile, uint8_t slave, const std::string& version)
{
    modbus::ResultCode rc = RunList(profile, profile.write_all, slave, version, WriteField);
    if (rc == 0 && !app::AutoReadActive)
        app::ShowStatus("All register writed to Slave " + std::to_string(slave), 0);
    return rc;
}

} // namespace test_module
