// GUI scenario of the Test module tool: the desktop program identifies a
// simulated NODE-T01 and reads its panel. Built into a driver of its own so
// that the simulator runs inside the driver's process.
#include "scenarios.h"

#include <wx/dialog.h>
#include <wx/frame.h>

#include "app/config_store.h"
#include "app/shell.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "sim/models.h"

namespace gui {

namespace {

sim::Simulator bus;

void ClickControl(Driver& d, int id)
{
    wxWindow* w = ControlWindow(id);
    d.Check(w != nullptr, "control " + std::to_string(id) + " is on the window");
    if (w)
        Driver::Click(w);
}

void IdentifyAndRead(Driver& d)
{
    sim::Options options;
    options.folder = sys::WorkingDirectory();
    options.port = 1;
    std::string error;
    if (!bus.Start(options, &error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        std::exit(1);
    }
    auto t01 = sim::AddModuleModel(bus, 2, sim::ModelOptions{"NODE-T01", "r.01.003", false});
    t01->SetInput(0, 0x8001);
    t01->SetHolding(0, 261);

    PassFirstStart(d);
    d.Do("Ctrl+M", [] { Driver::Keys("ctrl+m"); });
    d.WaitFor("Test module open", [] { return app::CurrentTool == 2 && ControlWindow(20011); });
    d.Settle();
    d.Do("into the address box", [&d] { ClickControl(d, 20011); });
    d.Do("type 2", [] {
        // Ctrl+A would open the Analyzer: empty the box key by key.
        Driver::Keys("End BackSpace BackSpace BackSpace");
        Driver::Type("2");
    });
    d.WaitFor("address stored",
              [] { return app::ReadConfigKey(app::CfgPath, "MODULE_SLAVE") == "2"; });
    d.Do("OK", [&d] { ClickControl(d, 20003); });
    d.WaitFor("panel open", [] {
        return ui::GetText(20001) == " Test module : NODE-T01 - r.01.003" && ControlWindow(21001);
    });
    d.Settle();
    d.Do("look at the empty panel", [&d] {
        d.Shot("panel");
        d.CheckEqual(ui::GetText(21011), "", "inputs box before reading");
        int w = 0, h = 0;
        ui::GetClientSize(&w, &h);
        d.Check(w == 400 && h == 270, "client size " + std::to_string(w) + "x" + std::to_string(h));
    });
    d.Do("Read all", [&d] { ClickControl(d, 21001); });
    d.WaitFor("read", [] { return ui::GetStatusText() == "All register readed from Slave 2"; });
    d.Do("look at the values", [&d] {
        d.Shot("read");
        d.CheckEqual(ui::GetText(21011), "1000000000000001", "digital inputs");
        d.CheckEqual(ui::GetText(21021), "00000101", "digital outputs");
        d.CheckEqual(ui::GetText(21031), "2", "inputs filter");
        d.CheckEqual(ui::GetText(21041), "1", "monitor LEDs");
    });
}

} // namespace

const std::vector<Scenario>& TestModuleScenarios()
{
    static const std::vector<Scenario> scenarios = {{"tmodule_identify_read", IdentifyAndRead}};
    return scenarios;
}

} // namespace gui
