// Field texts and the steppers.
#include "app/forms/field_access.h"

#include "app/config_store.h"
#include "app/forms/form_rules.h"
#include "app/shell.h"

namespace forms {

namespace {

// One step of `delta` towards `limit`; nothing at or beyond the limit.
// *shown is the new text.
bool Step(int id, double delta, const std::string& limit, bool disabled, std::string* shown)
{
    if (disabled)
        return false;
    double number = strings::ParseNumber(ui::GetText(id));
    double bound = strings::ParseNumber(limit);
    if (delta > 0 ? number >= bound : number <= bound)
        return false;
    *shown = ShortestDecimal(number + delta);
    ui::SetText(id, *shown);
    return true;
}

} // namespace

std::string GetFieldText(int id) { return ui::GetText(id); }

void SetFieldText(int id, const std::string& text) { ui::SetText(id, text); }

void ClearField(int id, bool disabled)
{
    if (!disabled)
        ui::SetText(id, "");
}

bool StepUp(int id, const std::string& maximum, bool disabled)
{
    std::string shown;
    return Step(id, +1, maximum, disabled, &shown);
}

bool StepDown(int id, const std::string& minimum, bool disabled)
{
    std::string shown;
    return Step(id, -1, minimum, disabled, &shown);
}

bool StepUpAndStore(int id, const std::string& key, const std::string& maximum, bool disabled)
{
    std::string shown;
    if (!Step(id, +1, maximum, disabled, &shown))
        return false;
    app::WriteConfigKey(app::CfgPath, key, shown);
    return true;
}

bool StepDownAndStore(int id, const std::string& key, const std::string& minimum, bool disabled)
{
    std::string shown;
    if (!Step(id, -1, minimum, disabled, &shown))
        return false;
    app::WriteConfigKey(app::CfgPath, key, shown);
    return true;
}

} // namespace forms
