// GUI scenario of the Test module tool: the desktop program identifies a
// simulated NODE-T01 and reads its panel, the simulator running inside the
// driver's process.
#include "scenarios.h"

#include <wx/dialog.h>
#include <wx/frame.h>

#include "app/config_store.h"
#include "app/shell.h"
#include "platform/ui.h"
#include "sim/models.h"

namespace gui {

namespace {

// OK replaces the form it is on by the module's panel.
void IdentifyAndRead(Driver& d)
{
    StartBus(false);
    auto t01 = sim::AddModuleModel(Bus(), 2, sim::ModelOptions{"NODE-T01", "r.01.003", false});
    t01->SetInput(0, 0x8001);

    PassFirstStart(d);
    d.Do("Ctrl+M", [] { Driver::Keys("ctrl+m"); });
    d.WaitFor("Test module open", [] { return app::CurrentTool == 2 && ControlWindow(20011); });
    d.Press(20011);
    d.Do("type 2", [] {
        // Ctrl+A would open the Analyzer: empty the box key by key.
        Driver::Keys("End BackSpace BackSpace BackSpace");
        Driver::Type("2");
    });
    d.WaitFor("address stored",
              [] { return app::ReadConfigKey(app::CfgPath, "MODULE_SLAVE") == "2"; });
    d.Press(20003);
    d.WaitFor("panel open", [] {
        return ui::GetText(20001) == " Test module : NODE-T01 - r.01.003" && ControlWindow(21001);
    });
    d.Press(21001);
    d.WaitFor("read", [] { return ui::GetStatusText() == "All register readed from Slave 2"; });
    d.Do("look at the values", [&d] {
        d.Shot("read");
        d.CheckEqual(ui::GetText(21011), "1000000000000001", "digital inputs");
    });
}

const Scenario kIdentifyAndRead{"tmodule_identify_read", IdentifyAndRead};

} // namespace

} // namespace gui
