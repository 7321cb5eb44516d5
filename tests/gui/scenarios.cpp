// What the GUI tests do with the desktop program.
#include "scenarios.h"

#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/generic/msgdlgg.h>
#include <wx/textctrl.h>

#include "app/config_store.h"
#include "app/shell.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace gui {

namespace {

bool StartsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool MainWindowShown() { return MainFrame() != nullptr && ModalBox() == nullptr; }

bool StatusIs(const std::string& text) { return ui::GetStatusText() == text; }

} // namespace

void PassFirstStart(Driver& d, bool look)
{
    d.WaitFor("default-files warning", [] { return ModalBox() != nullptr; });
    d.Do("answer the warning", [&d, look] {
        wxDialog* box = ModalBox();
        if (look) {
            d.Shot("default-files-warning");
            auto* message = dynamic_cast<wxGenericMessageDialog*>(box);
            d.Check(message != nullptr, "the warning is a message box");
            if (message)
                d.Check(message->GetMessage().Contains(
                            "Default .INI and .CFG files have been created..."),
                        "warning text: " + message->GetMessage().utf8_string());
            d.Check(sys::IsRegularFile("RegScope.ini") && sys::IsRegularFile("RegScope.cfg"),
                    "both default files exist while the warning is shown");
        }
        Driver::Keys("Return");
    });
    d.WaitFor("main window", MainWindowShown);
    d.Settle();
}

namespace {

void FirstStart(Driver& d)
{
    PassFirstStart(d, true);
    d.Do("look at the main window", [&d] {
        wxImage shot = d.Shot("main-window");
        wxFrame* frame = MainFrame();
        std::string title = ui::GetTitle();
        d.Check(StartsWith(title, "RegScope [") && title.back() == ']', "title: " + title);
        d.Check(CurrentTool == 1, "the Configure module tool is open");
        d.Check(ui::IsMenuItemChecked(2101), "Configure module is checked");
        d.Check(ui::IsMenuItemChecked(3101), "COM1 is checked");
        d.Check(ui::IsMenuItemChecked(3303), "Even parity is checked");
        // The Configure module panel's 400 x 230 dialog units with a 6 x 13
        // base: a classic dialog's size.
        wxSize client = frame->GetClientSize();
        d.Check(client.x >= 560 && client.x <= 640 && client.y >= 350 && client.y <= 400,
                "client size " + std::to_string(client.x) + "x" + std::to_string(client.y));
        // Status bar: the bottom strip of the client area, in the status colour.
        wxWindow* client_area = frame->GetChildren().GetFirst()->GetData();
        wxColour bar = Driver::PixelOf(shot, client_area, client.x / 2, client.y - 4);
        d.Check(bar == wxColour(225, 225, 225),
                "status bar colour " + bar.GetAsString(wxC2S_CSS_SYNTAX).utf8_string());
        wxColour panel = Driver::PixelOf(shot, client_area, client.x - 3, client.y / 2);
        d.Check(panel == wxColour(240, 240, 240),
                "panel colour " + panel.GetAsString(wxC2S_CSS_SYNTAX).utf8_string());
    });
}

void MenuHelp(Driver& d)
{
    PassFirstStart(d, false);
    d.Do("open the Tools menu", [] { Driver::Keys("alt+t"); });
    d.WaitFor("help of the first item",
              [] { return StatusIs("Configure Modbus serial parameters of a specific module"); });
    d.Do("look", [&d] { d.Shot("tools-menu-help"); });
    d.Do("next item, past the separator", [] { Driver::Keys("Down"); });
    d.WaitFor("help of Test module",
              [] { return StatusIs("Test I/O Modbus resources on a specific module"); });
    d.Do("look", [&d] { d.Shot("test-module-help"); });
    d.Do("close the menu", [] { Driver::Keys("Escape Escape"); });
    d.WaitFor("Ready once the menu is closed", [] { return StatusIs("Ready"); });
}

void Accelerators(Driver& d)
{
    PassFirstStart(d, false);
    d.Do("Ctrl+M", [] { Driver::Keys("ctrl+m"); });
    d.WaitFor("Test module open", [] { return CurrentTool == 2 && ui::IsMenuItemChecked(2102); });
    d.Do("TOOL is written", [&d] {
        d.CheckEqual(ReadConfigKey(IniPath, "TOOL"), "MODULE_TEST", "TOOL");
        Driver::Keys("ctrl+f");
    });
    d.WaitFor("Test function open", [] { return CurrentTool == 3; });
    d.Settle();
    d.Do("focus an edit box", [&d] {
        std::vector<wxWindow*> boxes = Controls(wxCLASSINFO(wxTextCtrl));
        if (boxes.empty()) {
            std::fprintf(stderr, "note: the panel has no edit box; Ctrl+C from the panel\n");
            return;
        }
        Driver::Click(boxes.front());
    });
    d.Settle();
    d.Do("Ctrl+C", [&d] {
        if (!Controls(wxCLASSINFO(wxTextCtrl)).empty())
            d.Check(dynamic_cast<wxTextCtrl*>(wxWindow::FindFocus()) != nullptr,
                    "an edit box has the focus");
        d.Shot("before-ctrl-c");
        Driver::Keys("ctrl+c");
    });
    d.WaitFor("Configure module open", [] { return CurrentTool == 1; });
    d.Do("Ctrl+X ends the program", [&d] {
        d.Shot("after-ctrl-c");
        d.EndsByItself();
        Driver::Keys("ctrl+x");
    });
}

// Moving the window writes its position in dialog units at once; the next
// start opens it there.
void WindowPosition(Driver& d)
{
    PassFirstStart(d, false);
    d.Do("move the window", [] {
        Driver::Run("xdotool search --onlyvisible --name '^RegScope' windowmove 240 156");
    });
    // 240 px and 156 px are 160 and 96 dialog units with a 6 x 13 base.
    d.WaitFor("position written", [] {
        return ReadConfigKey(IniPath, "MAIN_POS_X") == "160" &&
               ReadConfigKey(IniPath, "MAIN_POS_Y") == "96";
    });
    d.Do("look", [&d] {
        d.Shot("moved");
        int x = 0, y = 0;
        ui::GetWindowPosition(&x, &y);
        d.Check(x == 160 && y == 96,
                "window position " + std::to_string(x) + "," + std::to_string(y));
    });
}

// The second start in the folder of WindowPosition: no warning, and the
// window where it was left.
void WindowPositionRestored(Driver& d)
{
    d.WaitFor("main window", MainWindowShown);
    d.Settle();
    d.Do("look", [&d] {
        d.Shot("restored");
        wxPoint p = MainFrame()->GetPosition();
        d.Check(p == wxPoint(240, 156),
                "window at " + std::to_string(p.x) + "," + std::to_string(p.y));
    });
}

const Scenario kScenarios[] = {
    {"window_position", WindowPosition},
    {"window_position_restored", WindowPositionRestored},
    {"first_start", FirstStart},
    {"menu_help", MenuHelp},
    {"accelerators", Accelerators},
};

} // namespace

const Scenario* FindScenario(const std::string& name)
{
    for (const Scenario& s : kScenarios)
        if (name == s.name)
            return &s;
    for (const Scenario& s : TestFunctionScenarios())
        if (name == s.name)
            return &s;
    return nullptr;
}

} // namespace gui
