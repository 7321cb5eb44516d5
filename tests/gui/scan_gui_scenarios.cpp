// GUI scenario of the Scan bus tool: the desktop program scans the
// simulator, the progress bar fills while the window stays alive, Stop ends
// the scan within a try, and the list holds what answered.
#include "scenarios.h"

#include <cstdlib>
#include <cstring>
#include <wx/window.h>

#include "app/config_store.h"
#include "app/shell.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "sim/sim.h"

namespace gui {

namespace {

constexpr int kStart = 70060, kStop = 70061, kBarFill = 70071, kTrying = 70072, kList = 70080;

bool Starts(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

void ScanAndStop(Driver& d)
{
    StartBus(true);
    Bus().AddGenericSlave(7);
    Bus().AddGenericSlave(12);
    Bus().SetPacing(true);
    PassFirstStart(d);
    d.Do("scan to 60", [] {
        app::WriteOptionalConfigKey(app::CfgPath, "SCAN_TO", "60", "");
        Driver::Keys("ctrl+b");
    });
    d.WaitFor("Scan bus open", [] { return app::CurrentTool == 5 && ControlWindow(kStart); });
    d.Settle();
    d.Press(kStart);
    // The text moves on every 66 ms: any address from 30 on will do, so a
    // slow poll of the window cannot miss the moment.
    d.WaitFor("half way", [] {
        const std::string text = ui::GetText(kTrying);
        const char* prefix = "Trying 9600 bit/s, Even, address ";
        return Starts(text, prefix) && std::atoi(text.c_str() + std::strlen(prefix)) >= 30;
    });
    d.Do("the bar during the scan", [&d] {
        wxImage shot = d.Shot("during", false);
        wxWindow* fill = ControlWindow(kBarFill);
        d.Check(fill != nullptr, "the bar has filled");
        if (fill)
            d.CheckEqual(Css(Driver::PixelOf(shot, fill, 2, 2)), "rgb(0, 120, 215)", "bar colour");
        d.Check(!ui::IsEnabled(kStart) && ui::IsEnabled(kStop), "Stop is the one button");
    });
    static double stop_pressed_s = 0;
    d.Do("Stop", [] { stop_pressed_s = sys::MonotonicSeconds(); });
    d.Press(kStop);
    d.WaitFor("stopped", [] { return Starts(ui::GetText(kTrying), "Stopped after"); });
    d.Do("idle within a try", [&d] {
        // A try at 9600 bit/s lasts 66 ms; the click itself takes xdotool's time.
        const double took = sys::MonotonicSeconds() - stop_pressed_s;
        d.Check(took < 2.0, "Stop took " + std::to_string(took) + " s");
        d.Check(ui::IsEnabled(kStart), "Start is back");
    });
    d.Press(kStart);
    d.WaitFor(
        "done", [] { return Starts(ui::GetText(kTrying), "Done: 60 tries"); }, 30);
    d.Do("the list after the scan", [&d] {
        d.Shot("after");
        d.CheckEqual(ui::GetText(kList),
                     " 1.   1    9600  Even              holding register 0 = 111\r\n"
                     " 2.   7    9600  Even              holding register 0 = 0\r\n"
                     " 3.  12    9600  Even              holding register 0 = 0\r\n",
                     "list");
        d.CheckEqual(ui::GetStatusText(), "Scan done: 3 answers", "status");
    });
}

const Scenario kScanAndStop{"scan_bus", ScanAndStop};

} // namespace

} // namespace gui
