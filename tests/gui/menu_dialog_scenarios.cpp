// Every box and dialog the menus open, in the real window: its title, text,
// icon and buttons, and a long message that must still fit the screen. Last
// a password is set, which the next start asks for before any window.
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
// The generic dialog needs what wx/msgdlg.h declares.
#include <wx/generic/msgdlgg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>

#include <algorithm>

#include "app/config_store.h"
#include "app/shell.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "scenarios.h"

namespace gui {

namespace {

const char* const kPassword = "gui pass ";

wxTextEntryDialog* InputBoxShown() { return dynamic_cast<wxTextEntryDialog*>(ModalBox()); }

struct Input {
    const char *keys, *title, *prompt, *initial;
    bool masked = false;
};

const Input kInputs[] = {
    {"alt+s b", "Baudrate", "Enter baudrate for communication", "9600"},
    {"alt+s m", "Sampling time", "Enter time for values sampling", "1.0"},
    {"alt+s l", "Time calibration", "Enter time calibration divisor", "1.0"},
    {"alt+s s n", "Network",
     "Enter network address: tcp://HOST:PORT (Modbus TCP) or rtu-tcp://HOST:PORT (RTU over TCP)",
     ""},
};

void Collect(wxWindow* w, std::string* labels, std::vector<wxTextCtrl*>* edits)
{
    for (wxWindow* child : w->GetChildren()) {
        if (auto* label = dynamic_cast<wxStaticText*>(child))
            *labels += label->GetLabel().utf8_string();
        if (auto* edit = dynamic_cast<wxTextCtrl*>(child))
            edits->push_back(edit);
        Collect(child, labels, edits);
    }
}

// Opens the input box with the keys, checks it, then cancels it or, with an
// answer, replaces what it proposes.
void ExpectInput(Driver& d, const Input& in, const std::string& answer = "")
{
    d.Do(in.keys, [keys = in.keys] { Driver::Keys(keys); });
    d.WaitFor(in.title, [] { return InputBoxShown() != nullptr; });
    d.Do("look at " + std::string(in.title), [&d, in, answer] {
        std::string what = in.title;
        d.Shot(what);
        wxTextEntryDialog* box = InputBoxShown();
        d.CheckEqual(box->GetTitle().utf8_string(), in.title, what + " title");
        d.CheckEqual(box->GetValue().utf8_string(), in.initial, what + " proposal");
        std::string shown;
        std::vector<wxTextCtrl*> edits;
        Collect(box, &shown, &edits);
        d.CheckEqual(shown, in.prompt, what + " prompt");
        d.Check(edits.size() == 1 && edits[0]->HasFlag(wxTE_PASSWORD) == in.masked,
                what + (in.masked ? " masks" : " shows") + " what is typed");
        // Its text whole, with a margin above and below.
        const int high = edits.empty() ? 0 : edits[0]->GetSize().y;
        d.Check(!edits.empty() && high >= edits[0]->GetCharHeight() + 8,
                what + " edit box " + std::to_string(high) + " px high");
        if (answer.empty()) {
            Driver::Keys("Escape");
            return;
        }
        Driver::Keys("End shift+Home BackSpace");
        Driver::Type(answer);
        Driver::Keys("Return");
    });
}

void MenuDialogs(Driver& d)
{
    PassFirstStart(d);
    d.Do("Help > About", [] { Driver::Keys("alt+h Return"); });
    ExpectMessage(d, "About", {"RegScope", "RegScope  release 2.2.0\n", 0, false, true}, "Return");

    ExpectInput(d, {"alt+s t", "Timeout", "Enter timeout value for communication", "1.0"},
                "100000");
    ExpectMessage(d, "Timeout refusal",
                  {"Timeout", "Timeout out of range (0.001÷60)", wxICON_ERROR}, "Return");
    for (const Input& in : kInputs) {
        ExpectInput(d, in);
        d.WaitFor(std::string("main window after ") + in.title, MainWindowShown);
    }

    d.Do("File > Load", [] { Driver::Keys("alt+f l"); });
    ExpectFileDialog(d, "Load", "Load configuration from a .CFG file", "Escape");
    d.WaitFor("main window after Load", MainWindowShown);
    // The proposed name is the file in use: taking it asks about replacing.
    d.Do("File > Save As", [] { Driver::Keys("alt+f s"); });
    ExpectFileDialog(d, "Save As", "Save current configuration to a new .CFG file", "Return");
    ExpectMessage(d, "replace question",
                  {"Save as configuration file",
                   "File already exist.\n\nReplace existing copy of this file?\n",
                   wxICON_INFORMATION, true, true, sys::WorkingDirectory() + "/RegScope.cfg"},
                  "Escape");

    // A message naming a long path: the box wraps it and stays on the screen.
    std::string path;
    for (int i = 0; i < 12; ++i)
        path += "/a-rather-long-folder-name-" + std::to_string(i);
    path += "/RegScope.cfg";
    d.Do("a write error about a long path", [path] {
        wxTheApp->CallAfter([path] {
            ui::MessageBox("File " + path +
                               " not written: Permission denied\rThe file was left unchanged.",
                           "Configuration write", ui::Icon::Stop, ui::Buttons::Ok);
        });
    });
    d.WaitFor("the long message", [] { return ModalBox() != nullptr; });
    d.Do("look at the long message", [&d] {
        auto* box = dynamic_cast<wxGenericMessageDialog*>(ModalBox());
        wxRect screen = wxDisplay(box).GetClientArea(), shown = box->GetScreenRect();
        d.Check(shown.width <= screen.width * 3 / 4 && screen.Contains(shown),
                "box " + std::to_string(shown.width) + " px wide on a screen of " +
                    std::to_string(screen.width));
        std::string text = box->GetMessage().utf8_string();
        d.Check(std::count(text.begin(), text.end(), '\n') >= 3, "the path wraps: " + text);
    });
    ExpectMessage(d, "long message",
                  {"Configuration write", "File", wxICON_ERROR, false, true, path}, "Return");

    // With no password set yet, only the new one is asked.
    ExpectInput(d, {"alt+s w", "PASSWORD", "Enter new password", "", true}, kPassword);
    d.WaitFor("stored", [] {
        return sys::IsRegularFile(sys::HomeDirectory() + "/.config/regscope/kqp234mc.dpl");
    });
    d.Do("a position beyond this screen for the next start", [] {
        WriteKeys(app::IniPath, {"MAIN_POS_X=1500", "MAIN_POS_Y=900"});
    });
}

// The next start asks before any window is shown, and the window then opens
// on the screen with its saved position kept.
void PasswordPrompt(Driver& d)
{
    d.WaitFor("password question", [] { return InputBoxShown() != nullptr; });
    d.Do("answer the password", [&d] {
        d.Check(MainFrame() == nullptr, "no main window");
        d.Shot("password");
        d.CheckEqual(InputBoxShown()->GetTitle().utf8_string(), "PASSWORD", "title");
        Driver::Type(kPassword);
        Driver::Keys("Return");
    });
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

const Scenario kMenuDialogs{"menu_dialogs", MenuDialogs};
const Scenario kPasswordPrompt{"password_prompt", PasswordPrompt};

} // namespace

} // namespace gui
