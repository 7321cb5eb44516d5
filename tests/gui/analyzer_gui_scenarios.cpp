// The Analyzer in the real window, on the demo slave of the bus simulator
// behind COM1: the form, a Channel setup dialog edited and closed, then
// Read all.
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

constexpr int kReadAll = 60002;
constexpr int kCh1Value = 60101, kCh2Value = 60111, kCh2Setup = 60113, kCh2Read = 60114;
constexpr int kSetupEnable = 60511, kSetupLabel = 60611, kSetupOffset = 60591;
constexpr int kSetupData16 = 60672, kSetupDataFloat = 60675;

std::string Key(const std::string& key) { return app::ReadConfigKey(app::CfgPath, key); }

std::string OptionalKey(const std::string& key)
{
    std::string value;
    return app::FindConfigKey(app::CfgPath, key, &value) ? value : "<missing>";
}

void AnalyzerSetupAndReadAll(Driver& d)
{
    PassFirstStart(d);
    d.Do("Ctrl+A", [] { Driver::Keys("ctrl+a"); });
    d.WaitFor("Analyzer open", [] { return app::CurrentTool == 4 && ui::ControlExists(kReadAll); });
    d.Settle();
    d.Do("look at the form", [&d] {
        d.Shot("analyzer");
        int w = 0, h = 0;
        ui::GetClientSize(&w, &h);
        d.Check(w == 545 && h == 350, "client size " + std::to_string(w) + "x" + std::to_string(h));
        d.Check(!ui::IsEnabled(kCh2Value) && ui::IsEnabled(kCh2Setup), "CH02 shows only its S");
        d.CheckEqual(ui::GetStatusText(), "Ready", "status");
    });

    d.Press(kCh2Setup);
    d.WaitFor("the Channel setup dialog", [] { return ModalBox() && ControlWindow(kSetupLabel); });
    d.Settle();
    d.Do("look at the dialog", [&d] {
        d.Shot("channel-setup");
        d.CheckEqual(ModalBox()->GetTitle().utf8_string(), "Channel setup - CH02", "title");
        d.Check(wxGetTopLevelParent(ControlWindow(kSetupLabel)) == ModalBox(),
                "the fields are on the dialog");
    });
    d.Press(kSetupEnable);
    d.WaitFor("Enable stored", [] { return Key("CH02_ENABLE") == "1"; });
    d.Fill(kSetupLabel, "Pump");
    d.WaitFor("label stored", [] { return Key("CH02_LABEL") == "Pump"; });
    d.Press(kSetupDataFloat);
    d.WaitFor("data type added", [] { return OptionalKey("CH02_DATA") == "FLOAT32"; });
    d.Press(kSetupData16);
    d.WaitFor("data type back", [] { return OptionalKey("CH02_DATA") == "16BIT"; });
    // Stored as typed, shown as invalid, and the status bar says what counts.
    d.Fill(kSetupOffset, "0,5");
    d.WaitFor("offset stored", [] { return Key("CH02_OFFSET") == "0,5"; });
    d.Settle();
    d.Do("look at the edited dialog", [&d] {
        d.Shot("channel-setup-edited");
        d.Check(ui::GetBackColour(kSetupOffset) == app::ErrorColour, "offset coloured as invalid");
        d.CheckEqual(ui::GetStatusText(),
                     "Offset \"0,5\" is read as 0: the decimal separator is a point", "status");
    });
    d.Do("Escape, as the close box", [] { Driver::Keys("Escape"); });
    d.WaitFor("the cell refreshed", [] {
        return !ModalBox() && ui::IsEnabled(kCh2Value) && ui::IsEnabled(kCh2Read) &&
               ui::GetText(kCh2Value + 1) == "Pump";
    });

    d.Press(kReadAll);
    d.WaitFor("Read all done", [] {
        return ModalBox() || ui::GetStatusText() == "All register readed from Slave(s)";
    });
    d.Settle();
    d.Do("look at the values", [&d] {
        d.Shot("analyzer-read");
        d.Check(!ModalBox(), "no message box");
        d.CheckEqual(ui::GetText(kCh1Value), "111.0", "CH01");
        d.CheckEqual(ui::GetText(kCh2Value), "222.0", "CH02");
        Driver::Keys("alt+t o");
    });
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

} // namespace

const std::vector<Scenario>& AnalyzerScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"analyzer_setup_read_all", AnalyzerSetupAndReadAll}};
    return scenarios;
}

} // namespace gui
