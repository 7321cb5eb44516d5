// Auto Read in the real window: the status bar must show orange while a pass
// blocks the program and yellow after it. The screen is photographed from
// another thread in the middle of a pass, since the program's own thread is
// busy with the bus then. The simulator runs inside the driver's process, so
// that the test knows when the request has reached the slave.
#include "scenarios.h"

#include <wx/frame.h>
#include <wx/image.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "app/config_store.h"
#include "app/shell.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "sim/sim.h"

namespace gui {

namespace {

std::thread camera;
std::atomic<bool> photographed{false};
const char* const kMidPassShot = "mid-pass.png"; // in the working folder

constexpr int kOk = 50003, kAutoRead = 53002, kListing = 53031;
constexpr double kReplyDelay_s = 1.5;

// The middle of the status bar's strip, clear of its left-aligned text.
wxColour StatusBarPixel(const wxImage& shot)
{
    wxFrame* frame = MainFrame();
    if (!frame)
        return wxColour();
    wxWindow* client = frame->GetChildren().GetFirst()->GetData();
    wxSize size = client->GetClientSize();
    return Driver::PixelOf(shot, client, size.x * 3 / 4, size.y - 4);
}

void ColoursDuringASlowPass(Driver& d)
{
    StartBus(true);

    PassFirstStart(d);
    d.Do("a slow slave, a long sampling time", [] {
        WriteKeys(app::CfgPath, {"TIMEOUT=5", "SAMPLE_TIME=60", "FUNCTION_TEST_FUN=3",
                                 "FUNCTION_TEST_3_ADD=0", "FUNCTION_TEST_3_QTY=10"});
        sim::Fault slow;
        slow.kind = sim::Fault::Delay;
        slow.delay_s = kReplyDelay_s;
        slow.times = -1;
        Bus().InjectFault(slow);
    });
    d.Do("Ctrl+F", [] { Driver::Keys("ctrl+f"); });
    d.WaitFor("Test function open", [] { return app::CurrentTool == 3 && ui::ControlExists(kOk); });
    d.Press(kOk);
    d.WaitFor("function 3 sub-form", [] { return OnScreen(ControlWindow(kAutoRead)); });
    d.Do("the camera waits for the request", [] {
        Bus().ClearFrames();
        camera = std::thread([] {
            if (!Bus().WaitForFrames(1, 20))
                return;
            sys::SleepSeconds(kReplyDelay_s / 3);
            Driver::Run(std::string("import -window root ") + kMidPassShot);
            photographed = true;
        });
    });
    d.Press(kAutoRead); // the first pass runs at once
    d.WaitFor(
        "the pass is over",
        [] {
            return photographed && ui::GetStatusColour() == app::AutoReadIdleColour &&
                   ui::GetText(kListing).find("00009 > 01110") != std::string::npos;
        },
        30);
    d.Do("orange during the pass, yellow after it", [&d] {
        camera.join();
        wxImage during(kMidPassShot, wxBITMAP_TYPE_PNG);
        wxColour mid = StatusBarPixel(during);
        d.Check(mid == wxColour(255, 165, 0), "status bar during the pass: " + Css(mid));
        wxColour after = StatusBarPixel(d.Shot("after-pass"));
        d.Check(after == wxColour(255, 255, 0), "status bar after the pass: " + Css(after));
    });
    d.Press(kAutoRead);
    d.WaitFor("stopped", [] { return ui::GetStatusText() == "Ready" && !app::AutoReadActive; });
    d.Do("grey again", [&d] {
        wxColour grey = StatusBarPixel(d.Shot("stopped"));
        d.Check(grey == wxColour(225, 225, 225), "status bar when stopped: " + Css(grey));
        Bus().Stop();
    });
}

const Scenario kAutoReadColours{"auto_read_colours", ColoursDuringASlowPass};

} // namespace

} // namespace gui
