// Auto Read of the read sub-forms: the listing is read again at every tick
// of the sampling timer until the user stops it, a header command closes the
// sub-form or a communication error clears AutoReadActive.
#include "app/forms/field_access.h"
#include "app/shell.h"
#include "tools/test_function/test_function.h"

namespace test_function {

void ToggleAutoRead(const SubForm&)
{
    if (app::SwitchAutoRead())
        app::RunAutoReadPass(AutoReadTick);
}

void AutoReadTick()
{
    if (!app::AutoReadActive)
        return;
    // Orange while the bus is busy, yellow between reads.
    app::ShowStatus("Auto read active", app::AutoReadBusyColour);
    const SubForm* form = OpenSubForm();
    const SubForm* chosen = SubFormOfText(forms::GetFieldText(kFunctionBoxId));
    if (form && form == chosen && form->reads && ReadListing(*form) != 0)
        return; // the error report has stopped Auto Read and shown "Ready"
    app::ShowStatus("Auto read active", app::AutoReadIdleColour);
}

} // namespace test_function
