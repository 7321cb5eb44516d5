// The Analyzer in the real window: a Channel setup dialog edited and
// closed, then the communication monitor beside the wide form.
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/frame.h>

#include "app/config_store.h"
#include "app/shell.h"
#include "monitor/monitor_window.h"
#include "platform/ui.h"
#include "platform/wx/wx_backend.h"
#include "scenarios.h"

namespace gui {

namespace {

constexpr int kReadAll = 60002, kCh2Value = 60111, kCh2Setup = 60113;
constexpr int kSetupEnable = 60511, kSetupLabel = 60611, kSetupDataFloat = 60675;

// FindConfigKey: reading a missing key would be a damaged file to the program.
std::string Key(const std::string& key)
{
    std::string value;
    return app::FindConfigKey(app::CfgPath, key, &value) ? value : "<missing>";
}

void AnalyzerSetupAndMonitor(Driver& d)
{
    PassFirstStart(d);
    d.Do("Ctrl+A", [] { Driver::Keys("ctrl+a"); });
    d.WaitFor("Analyzer open", [] {
        return app::CurrentTool == 4 && ui::ControlExists(kReadAll) && MainWindowShown();
    });
    d.Settle();
    d.Press(kCh2Setup);
    d.WaitFor("the Channel setup dialog", [] { return ModalBox() && ControlWindow(kSetupLabel); });
    d.Settle();
    d.Do("look at the dialog", [&d] {
        d.Shot("channel-setup");
        d.CheckEqual(ModalBox()->GetTitle().utf8_string(), "Channel setup - CH02", "title");
        d.Check(wxGetTopLevelParent(ControlWindow(kSetupLabel)) == ModalBox(),
                "the fields are on the dialog");
    });
    // A check box, a text box and an option of the dialog reach the program.
    d.Press(kSetupEnable);
    d.WaitFor("Enable stored", [] { return Key("CH02_ENABLE") == "1"; });
    d.Fill(kSetupLabel, "Pump");
    d.WaitFor("label stored", [] { return Key("CH02_LABEL") == "Pump"; });
    d.Press(kSetupDataFloat);
    d.WaitFor("data type stored", [] { return Key("CH02_DATA") == "FLOAT32"; });
    d.Do("Escape, as the close box", [] { Driver::Keys("Escape"); });
    d.WaitFor("the cell refreshed", [] {
        return !ModalBox() && !ui::ControlExists(kSetupLabel) &&
               ui::GetText(kCh2Value + 1) == "Pump";
    });
    d.Do("Tools > Communication monitor", [] { Driver::Keys("alt+t o"); });
    d.WaitFor("the monitor", [] { return monitor::MonitorOpen(); });
    d.Settle();
    d.Do("the monitor beside the Analyzer", [&d] {
        d.Shot("analyzer-monitor");
        wxRect monitor = wxb::LineWindowFrame(monitor::MonitorWindowHandle())->GetScreenRect();
        d.Check(!monitor.Intersects(MainFrame()->GetScreenRect()) &&
                    wxDisplay(0u).GetClientArea().Contains(monitor),
                "the monitor covers nothing of the main window");
    });
}

const Scenario kAnalyzerSetup{"analyzer_setup_monitor", AnalyzerSetupAndMonitor};

} // namespace

} // namespace gui
