// Every box and dialog the menus open, in the real window: its title, text,
// icon and buttons, and a long message that must still fit the screen.
#include <algorithm>
#include <memory>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/msgdlg.h>
// The generic dialog needs what wx/msgdlg.h declares.
#include <wx/generic/msgdlgg.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>

#include <gtk/gtk.h>

#include "app/config_store.h"
#include "app/shell.h"
#include "platform/ui.h"
#include "scenarios.h"

namespace gui {

namespace {

template <typename T>
std::vector<T*> ChildrenOf(wxWindow* w)
{
    std::vector<T*> found;
    if (!w)
        return found;
    for (wxWindow* child : w->GetChildren()) {
        if (auto* t = dynamic_cast<T*>(child))
            found.push_back(t);
        for (T* deeper : ChildrenOf<T>(child))
            found.push_back(deeper);
    }
    return found;
}

std::string IconName(long style)
{
    switch (style & wxICON_MASK) {
    case 0: return "none";
    case wxICON_ERROR: return "stop";
    case wxICON_EXCLAMATION: return "exclamation";
    case wxICON_INFORMATION: return "information";
    default: return "other flags " + std::to_string(style & wxICON_MASK);
    }
}

struct Expected {
    std::string title, text, icon;
    bool cancel = false; // an OK/Cancel question
    bool prefix = false; // text is only the beginning of the message
};

bool MessageBoxShown() { return dynamic_cast<wxGenericMessageDialog*>(ModalBox()) != nullptr; }
bool InputBoxShown() { return dynamic_cast<wxTextEntryDialog*>(ModalBox()) != nullptr; }
// The title of the file chooser on screen, empty when none: wxGTK shows the
// toolkit's own dialog, which is not among wx's top-level windows.

// Waits for a message box, checks it and answers it with `keys`.
void ExpectMessage(Driver& d, const std::string& what, const Expected& want,
                   const std::string& keys)
{
    d.WaitFor(what, MessageBoxShown);
    d.Do("look at " + what + ", then " + keys, [&d, what, want, keys] {
        d.Shot(what);
        auto* box = dynamic_cast<wxGenericMessageDialog*>(ModalBox());
        if (!box)
            return;
        d.CheckEqual(box->GetTitle().utf8_string(), want.title, what + " title");
        std::string text = box->GetMessage().utf8_string();
        if (want.prefix)
            text = text.substr(0, want.text.size());
        d.CheckEqual(text, want.text, what + " text");
        long style = box->GetMessageDialogStyle();
        d.CheckEqual(IconName(style), want.icon, what + " icon");
        // What is drawn agrees with the flags: an icon-less box has no
        // picture, the others exactly one.
        size_t pictures = ChildrenOf<wxStaticBitmap>(box).size();
        d.Check(pictures == (want.icon == "none" ? 0u : 1u),
                what + ": " + std::to_string(pictures) + " pictures");
        d.Check(bool(style & wxCANCEL) == want.cancel, what + " buttons");
        Driver::Keys(keys);
    });
    d.WaitFor("main window after " + what, MainWindowShown);
}

// Waits for the text-input box, checks it and cancels it.
void ExpectInput(Driver& d, const std::string& what, const std::string& title,
                 const std::string& prompt, const std::string& initial, bool masked,
                 const std::string& answer = "")
{
    d.WaitFor(what, InputBoxShown);
    d.Do("look at " + what, [&d, what, title, prompt, initial, masked, answer] {
        d.Shot(what);
        auto* box = dynamic_cast<wxTextEntryDialog*>(ModalBox());
        if (!box)
            return;
        d.CheckEqual(box->GetTitle().utf8_string(), title, what + " title");
        d.CheckEqual(box->GetValue().utf8_string(), initial, what + " proposal");
        std::string shown;
        for (wxStaticText* label : ChildrenOf<wxStaticText>(box))
            shown += label->GetLabel().utf8_string();
        d.CheckEqual(shown, prompt, what + " prompt");
        std::vector<wxTextCtrl*> edits = ChildrenOf<wxTextCtrl>(box);
        d.Check(edits.size() == 1 && edits[0]->HasFlag(wxTE_PASSWORD) == masked,
                what + (masked ? " masks" : " shows") + " what is typed");
        if (answer.empty()) {
            Driver::Keys("Escape");
        } else {
            Driver::Keys("End shift+Home BackSpace");
            Driver::Type(answer);
            Driver::Keys("Return");
        }
    });
}

void ExpectFileDialog(Driver& d, const std::string& what, const std::string& title,
                      const std::string& keys)
{
    d.WaitFor(what, FileDialogShown, 20);
    d.Do("look at " + what + ", then " + keys, [&d, what, title, keys] {
        d.Shot(what);
        d.CheckEqual(FileDialogTitle(), title, what + " title");
        Driver::Keys(keys);
    });
}

void MenuDialogs(Driver& d)
{
    PassFirstStart(d);
    // The steps run after this function has returned.
    auto cfg = std::make_shared<std::string>();
    d.Do("Help > About", [cfg] {
        *cfg = app::CfgPath;
        Driver::Keys("alt+h Return");
    });
    ExpectMessage(d, "About", {"RegScope", "RegScope  release 2.2.0\n", "none", false, true},
                  "Return");

    d.Do("Setup > Baudrate", [] { Driver::Keys("alt+s b"); });
    ExpectInput(d, "Baudrate", "Baudrate", "Enter baudrate for communication", "9600", false);
    d.WaitFor("main window after Baudrate", MainWindowShown);

    d.Do("Setup > Timeout", [] { Driver::Keys("alt+s t"); });
    ExpectInput(d, "Timeout", "Timeout", "Enter timeout value for communication", "1.0", false,
                "100000");
    ExpectMessage(d, "Timeout refusal", {"Timeout", "Timeout out of range (0.001÷60)", "stop"},
                  "Return");

    d.Do("Setup > Sampling time", [] { Driver::Keys("alt+s m"); });
    ExpectInput(d, "Sampling time", "Sampling time", "Enter time for values sampling", "1.0",
                false);
    d.WaitFor("main window after Sampling time", MainWindowShown);

    d.Do("Setup > Time calibration", [] { Driver::Keys("alt+s l"); });
    ExpectInput(d, "Time calibration", "Time calibration", "Enter time calibration divisor", "1.0",
                false);
    d.WaitFor("main window after Time calibration", MainWindowShown);

    d.Do("Setup > Password", [] { Driver::Keys("alt+s w"); });
    ExpectInput(d, "Password", "PASSWORD", "Enter new password", "", true);
    d.WaitFor("main window after Password", MainWindowShown);

    d.Do("File > Load", [] { Driver::Keys("alt+f l"); });
    ExpectFileDialog(d, "Load", "Load configuration from a .CFG file", "Escape");
    d.WaitFor("main window after Load", MainWindowShown);

    // The proposed name is the file in use: taking it asks about replacing.
    d.Do("File > Save As", [] { Driver::Keys("alt+f s"); });
    ExpectFileDialog(d, "Save As", "Save current configuration to a new .CFG file", "Return");
    d.WaitFor("replace question", MessageBoxShown, 20);
    d.Do("check the replace question", [&d, cfg] {
        d.Shot("replace question");
        auto* box = dynamic_cast<wxGenericMessageDialog*>(ModalBox());
        if (!box)
            return;
        d.CheckEqual(box->GetTitle().utf8_string(), "Save as configuration file",
                     "replace question title");
        std::string text = box->GetMessage().utf8_string();
        std::string unwrapped;
        for (char c : text)
            if (c != '\n')
                unwrapped += c;
        d.Check(text.rfind("File already exist.\n\nReplace existing copy of this file?\n", 0) ==
                        0 &&
                    unwrapped.find(*cfg) != std::string::npos,
                "replace question text: " + text);
        d.CheckEqual(IconName(box->GetMessageDialogStyle()), "information", "question icon");
        d.Check(box->GetMessageDialogStyle() & wxCANCEL, "the question offers Cancel");
        Driver::Keys("Escape");
    });
    d.WaitFor("main window after the replace question", MainWindowShown);
    d.Do("nothing changed", [&d, cfg] {
        d.CheckEqual(app::CfgPath, *cfg, "the file in use");
        d.CheckEqual(app::ReadConfigKey(app::CfgPath, "TIMEOUT"), "1.0", "TIMEOUT");
    });

    d.Do("Setup > Serial port > Network...", [] { Driver::Keys("alt+s s n"); });
    ExpectInput(d, "Network", "Network",
                "Enter network address: tcp://HOST:PORT (Modbus TCP) or rtu-tcp://HOST:PORT (RTU "
                "over TCP)",
                "", false, "tcp://127.0.0.1:1502");
    d.WaitFor("the network line chosen",
              [] { return app::SerialSettings.line.Net() == "tcp://127.0.0.1:1502"; });
    d.Do("the mark and the title name it", [&d] {
        d.Shot("network line");
        d.Check(ui::IsMenuItemChecked(3109) && !ui::IsMenuItemChecked(3101),
                "the mark is on Network...");
        d.Check(ui::GetTitle().find(" - tcp://127.0.0.1:1502") != std::string::npos,
                "title: " + ui::GetTitle());
    });
}

// A message naming a long path: the box wraps it and stays on the screen.
void LongMessage(Driver& d)
{
    PassFirstStart(d);
    std::string path;
    for (int i = 0; i < 12; ++i)
        path += "/a-rather-long-folder-name-" + std::to_string(i);
    path += "/RegScope.cfg";
    d.Do("a write error about a long path", [path] {
        wxTheApp->CallAfter([path] {
            ui::MessageBox("File " + path +
                               " not written: Permission denied\rThe file was left "
                               "unchanged.",
                           "Configuration write", ui::Icon::Stop, ui::Buttons::Ok);
        });
    });
    d.WaitFor("the box", MessageBoxShown);
    d.Do("look at the box", [&d, path] {
        d.Shot("long-message");
        auto* box = dynamic_cast<wxGenericMessageDialog*>(ModalBox());
        if (!box)
            return;
        wxRect screen = wxDisplay(box).GetClientArea();
        wxRect shown = box->GetScreenRect();
        d.Check(shown.width <= screen.width * 3 / 4 && screen.Contains(shown),
                "box " + std::to_string(shown.width) + " px wide on a screen of " +
                    std::to_string(screen.width));
        std::string text = box->GetMessage().utf8_string();
        std::string unwrapped;
        for (char c : text)
            if (c != '\n')
                unwrapped += c;
        d.Check(unwrapped.find(path) != std::string::npos, "the whole path is shown: " + text);
        d.Check(std::count(text.begin(), text.end(), '\n') >= 3, "the path wraps: " + text);
        Driver::Keys("Return");
    });
    d.WaitFor("main window", MainWindowShown);
}

} // namespace

const std::vector<Scenario>& MenuDialogScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"menu_dialogs", MenuDialogs},
        {"long_message", LongMessage},
    };
    return scenarios;
}

} // namespace gui
