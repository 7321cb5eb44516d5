// The communication monitor in the real window: opened from the Tools menu
// while the Test function tool reads at the fastest sampling time, it
// follows the frames live, repaints often, and saves its lines.
#include <wx/frame.h>

#include "app/config_store.h"
#include "app/shell.h"
#include "monitor/monitor_window.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/wx/wx_backend.h"
#include "scenarios.h"

namespace gui {

namespace {

constexpr int kOk = 50003, kAutoRead = 53002;

int Monitor() { return monitor::MonitorWindowHandle(); }

bool MonitorShown()
{
    wxFrame* f = wxb::LineWindowFrame(Monitor());
    return f && f->IsShownOnScreen();
}

std::string SavedPath() { return sys::WorkingDirectory() + "/monitor.txt"; }

// What the monitor had when the scenario began to count.
size_t first_lines = 0;
long first_paints = 0;
double first_at = 0;
int blank_shots = 0;

void MonitorDuringAutoRead(Driver& d)
{
    StartBus(true);
    PassFirstStart(d);
    d.Do("fastest sampling time, then Ctrl+F", [] {
        // A generous time-out: a busy test machine may stall the program.
        WriteKeys(app::CfgPath,
                  {"SAMPLE_TIME=0.01", "SERIAL_BAUD=115200", "TIMEOUT=5.0", "FUNCTION_TEST_FUN=3",
                   "FUNCTION_TEST_3_ADD=0", "FUNCTION_TEST_3_QTY=10"});
        Driver::Keys("ctrl+f");
    });
    d.WaitFor("Test function open", [] { return app::CurrentTool == 3 && ui::ControlExists(kOk); });
    d.Press(kOk);
    d.WaitFor("function 3", [] { return ui::ControlExists(kAutoRead); });
    d.Press(kAutoRead);
    d.WaitFor("Auto Read every 10 ms",
              [] { return app::AutoReadActive && ui::TimerPeriod() == 10; });

    d.Do("Tools > Communication monitor", [] { Driver::Keys("alt+t o"); });
    d.WaitFor("the monitor", MonitorShown);
    d.Do("lines so far", [] {
        first_lines = ui::LineCount(Monitor());
        first_paints = wxb::LineWindowPaints(Monitor());
        first_at = sys::MonotonicSeconds();
    });
    d.Settle(2.0);
    // No screenshot while the ticks run: taking one waits until no event is
    // pending, and at this rate one always is.
    d.Do("the monitor follows", [&d] {
        double seconds = sys::MonotonicSeconds() - first_at;
        size_t lines = ui::LineCount(Monitor());
        long paints = wxb::LineWindowPaints(Monitor()) - first_paints;
        d.Check(lines >= first_lines + 100,
                "lines arrive: " + std::to_string(first_lines) + " then " + std::to_string(lines));
        d.Check(paints / seconds >= 10, "repaints a second: " + std::to_string(paints / seconds));
        d.Check(app::AutoReadActive, "Auto Read goes on");
    });

    // Screenshots as a user takes them, while the program is busy: the
    // list shows its last lines in every one.
    for (int i = 0; i < 10; ++i) {
        d.Do("look at the busy monitor", [&d, i] {
            wxImage shot = d.Shot("monitor-busy-" + std::to_string(i), false);
            wxWindow* list = wxb::LineWindowList(Monitor());
            if (!list)
                return;
            wxSize size = list->GetClientSize();
            int ink = 0;
            for (int y = size.y * 2 / 3; y < size.y - 4; ++y)
                for (int x = 4; x < size.x - 20; ++x) {
                    wxColour c = Driver::PixelOf(shot, list, x, y);
                    ink += c.Red() + c.Green() + c.Blue() < 300;
                }
            blank_shots += ink < 200;
        });
        d.Settle(0.1);
    }
    d.Do("the list was never blank",
         [&d] { d.Check(blank_shots == 0, std::to_string(blank_shots) + " of 10 shots blank"); });

    d.Do("Save...", [] { Driver::Click(wxb::LineWindowButton(Monitor(), monitor::kSaveCommand)); });
    ExpectFileDialog(d, "the save dialog", "Save monitor lines", "Return");
    d.WaitFor("the file", [] { return sys::IsRegularFile(SavedPath()); });
    d.Press(kAutoRead);
    d.WaitFor("Auto Read off", [] { return !app::AutoReadActive; });
    d.Do("close the monitor", [] { wxb::LineWindowFrame(Monitor())->Close(); });
    d.WaitFor("closed", [] { return !monitor::MonitorOpen(); });
}

const Scenario kMonitorAutoRead{"monitor_auto_read", MonitorDuringAutoRead};

} // namespace

} // namespace gui
