// The communication error box.
#include "app/comm_report.h"

#include "app/shell.h"
#include "platform/ui.h"

namespace app {

void ReportCommFailure(const modbus::Failure& failure)
{
    // The box shows the fixed text only: the reason a port could not be
    // opened (failure.os_error) is for logs, not for this window.
    AutoReadActive = 0;
    ui::MessageBox(failure.message, "Communication error", ui::Icon::Stop, ui::Buttons::Ok);
    ShowStatus("Ready", 0);
}

} // namespace app
