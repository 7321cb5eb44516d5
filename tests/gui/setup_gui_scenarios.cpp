// The password GUI tests: set in one run, asked for at the next start.
#include "scenarios.h"

#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/textdlg.h>

#include "app/config_store.h"
#include "app/shell.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace gui {

namespace {

const char* const kPassword = "gui pass ";

wxTextEntryDialog* InputBoxShown() { return dynamic_cast<wxTextEntryDialog*>(ModalBox()); }

std::string StorePath() { return sys::HomeDirectory() + "/.config/regscope/kqp234mc.dpl"; }

// Types the password into the input box on screen.
void AnswerInputBox(Driver& d, const std::string& what)
{
    d.WaitFor(what, [] { return InputBoxShown() != nullptr; });
    d.Do("answer " + what, [&d, what] {
        d.Shot(what);
        d.CheckEqual(InputBoxShown()->GetTitle().utf8_string(), "PASSWORD", what + " title");
        Driver::Type(kPassword);
        Driver::Keys("Return");
    });
}

// Setup > Password with no password set yet: only the new one is asked.
void SetPassword(Driver& d)
{
    PassFirstStart(d);
    d.Do("Setup > Password", [] { Driver::Keys("alt+s w"); });
    AnswerInputBox(d, "new password");
    d.WaitFor("stored", [] { return sys::IsRegularFile(StorePath()); });
    d.Do("a position beyond this screen for the next start", [] {
        WriteKeys(app::IniPath, {"MAIN_POS_X=1500", "MAIN_POS_Y=900"});
    });
}

// The next start asks before any window is shown.
void PasswordPrompt(Driver& d)
{
    d.WaitFor("password question", [] { return InputBoxShown() != nullptr; });
    d.Do("no window yet", [&d] { d.Check(MainFrame() == nullptr, "no main window"); });
    AnswerInputBox(d, "password");
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

const Scenario kSetPassword{"set_password", SetPassword};
const Scenario kPasswordPrompt{"password_prompt", PasswordPrompt};

} // namespace

} // namespace gui
