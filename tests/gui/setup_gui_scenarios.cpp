// What the Setup menu and password GUI tests do with the desktop program.
#include "scenarios.h"

#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
// The generic dialog needs what wx/msgdlg.h declares.
#include <wx/generic/msgdlgg.h>
#include <wx/textdlg.h>

#include "app/config_store.h"
#include "app/shell.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace gui {

namespace {

const char* const kPassword = "gui pass ";

wxTextEntryDialog* InputBoxShown() { return dynamic_cast<wxTextEntryDialog*>(ModalBox()); }

std::string MessageShown()
{
    auto* box = dynamic_cast<wxGenericMessageDialog*>(ModalBox());
    return box ? box->GetMessage().utf8_string() : std::string();
}

std::string StorePath() { return sys::HomeDirectory() + "/.config/regscope/kqp234mc.dpl"; }

// Types an answer into the input box on screen, replacing what it holds.
void AnswerInputBox(Driver& d, const std::string& what, const std::string& answer,
                    const std::string& title, const std::string& initial)
{
    d.WaitFor(what, [] { return InputBoxShown() != nullptr; });
    d.Do("answer " + what, [&d, what, answer, title, initial] {
        wxTextEntryDialog* box = InputBoxShown();
        d.Shot(what);
        if (box) {
            d.CheckEqual(box->GetTitle().utf8_string(), title, what + " title");
            d.CheckEqual(box->GetValue().utf8_string(), initial, what + " proposal");
        }
        Driver::Keys("ctrl+a BackSpace");
        Driver::Type(answer);
        Driver::Keys("Return");
    });
}

// Setup > Baudrate from the keyboard: a refused answer, then a good one.
void Baudrate(Driver& d)
{
    PassFirstStart(d);
    d.Do("Setup > Baudrate", [] { Driver::Keys("alt+s b"); });
    AnswerInputBox(d, "baudrate out of range", "299", "Baudrate", "9600");
    d.WaitFor("refusal", [] { return !MessageShown().empty(); });
    d.Do("read the refusal", [&d] {
        d.Shot("refused");
        d.CheckEqual(MessageShown(), "Baudrate out of range (300÷1000000)", "refusal text");
        Driver::Keys("Return");
    });
    d.WaitFor("main window again", MainWindowShown);
    d.Do("nothing stored; Setup > Baudrate again", [&d] {
        d.CheckEqual(app::ReadConfigKey(app::CfgPath, "SERIAL_BAUD"), "9600", "SERIAL_BAUD");
        Driver::Keys("alt+s b");
    });
    AnswerInputBox(d, "baudrate", "19200", "Baudrate", "9600");
    d.WaitFor("stored", [] { return app::ReadConfigKey(app::CfgPath, "SERIAL_BAUD") == "19200"; });
    d.Do("in memory",
         [&d] { d.Check(app::SerialSettings.line.baud == 19200, "SerialSettings.baud"); });
}

// Setup > Password with no password set yet: only the new one is asked.
void SetPassword(Driver& d)
{
    PassFirstStart(d);
    d.Do("Setup > Password", [] { Driver::Keys("alt+s w"); });
    AnswerInputBox(d, "new password", kPassword, "PASSWORD", "");
    d.WaitFor("stored", [] { return sys::IsRegularFile(StorePath()); });
    d.Do("a position beyond this screen for the next start", [] {
        app::WriteConfigKey(app::IniPath, "MAIN_POS_X", "1500");
        app::WriteConfigKey(app::IniPath, "MAIN_POS_Y", "900");
    });
}

// The next start asks before any window is shown.
void PasswordPrompt(Driver& d)
{
    d.WaitFor("password question", [] { return InputBoxShown() != nullptr; });
    d.Do("no window yet", [&d] { d.Check(MainFrame() == nullptr, "no main window"); });
    AnswerInputBox(d, "password", kPassword, "PASSWORD", "");
    d.WaitFor("main window", MainWindowShown);
    d.Settle();
    d.Do("the window is on the screen, its saved position kept", [&d] {
        d.Shot("main-window-on-screen");
        wxRect shown = MainFrame()->GetScreenRect();
        d.Check(wxDisplay(0u).GetClientArea().Contains(shown),
                "at " + std::to_string(shown.x) + "," + std::to_string(shown.y));
        d.CheckEqual(app::ReadConfigKey(app::IniPath, "MAIN_POS_X") + "," +
                         app::ReadConfigKey(app::IniPath, "MAIN_POS_Y"),
                     "1500,900", "saved position");
    });
}

} // namespace

const std::vector<Scenario>& SetupScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"setup_baudrate", Baudrate},
        {"set_password", SetPassword},
        {"password_prompt", PasswordPrompt},
    };
    return scenarios;
}

} // namespace gui
