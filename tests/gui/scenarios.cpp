// What the GUI tests share: the registry of scenarios, the first start, the
// system's boxes, and the first start itself as a scenario.
#include "scenarios.h"

#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
// The generic dialog needs what wx/msgdlg.h declares.
#include <wx/generic/msgdlgg.h>
#include <wx/statbmp.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "app/config_store.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/wx/wx_backend.h"
#include "sim/sim.h"

namespace gui {

namespace {

std::map<std::string, Build>& Registry()
{
    static std::map<std::string, Build> scenarios;
    return scenarios;
}

bool StatusIs(const std::string& text) { return ui::GetStatusText() == text; }

size_t PicturesOn(wxWindow* w)
{
    size_t n = 0;
    for (wxWindow* child : w->GetChildren())
        n += (dynamic_cast<wxStaticBitmap*>(child) != nullptr) + PicturesOn(child);
    return n;
}

// The file chooser on screen, nullptr when none is shown.
GtkWidget* FileChooser()
{
    GtkWidget* shown = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next)
        if (GTK_IS_FILE_CHOOSER_DIALOG(w->data) && gtk_widget_get_visible(GTK_WIDGET(w->data)))
            shown = GTK_WIDGET(w->data);
    g_list_free(windows);
    return shown;
}

bool FileChooserOnScreen(GtkWidget* chooser)
{
    GdkWindow* shown = gtk_widget_get_window(chooser);
    GdkRectangle frame, screen;
    gdk_window_get_frame_extents(shown, &frame);
    gdk_monitor_get_workarea(
        gdk_display_get_monitor_at_window(gdk_window_get_display(shown), shown), &screen);
    return frame.x >= screen.x && frame.y >= screen.y &&
           frame.x + frame.width <= screen.x + screen.width &&
           frame.y + frame.height <= screen.y + screen.height;
}

} // namespace

Scenario::Scenario(const char* name, Build build) { Registry()[name] = build; }

Build FindScenario(const std::string& name)
{
    auto found = Registry().find(name);
    return found == Registry().end() ? nullptr : found->second;
}

sim::Simulator& Bus()
{
    static sim::Simulator bus;
    return bus;
}

void StartBus(bool demo)
{
    sim::Options options;
    options.folder = sys::WorkingDirectory();
    options.port = 1;
    std::string error;
    if (!Bus().Start(options, &error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        std::exit(1);
    }
    if (demo)
        Bus().AddGenericSlave(1, true);
}

void WriteKeys(const std::string& path, const std::vector<std::string>& keys)
{
    for (const std::string& k : keys)
        app::WriteConfigKey(path, k.substr(0, k.find('=')), k.substr(k.find('=') + 1));
}

bool MainWindowShown() { return MainFrame() != nullptr && ModalBox() == nullptr; }

void PassFirstStart(Driver& d)
{
    d.WaitFor("default-files warning", [] { return ModalBox() != nullptr; });
    d.Do("answer the warning", [] { Driver::Keys("Return"); });
    d.WaitFor("main window on the screen",
              [] { return MainWindowShown() && OnScreen(MainFrame()); });
}

void ExpectMessage(Driver& d, const std::string& what, const Expected& want,
                   const std::string& keys)
{
    d.WaitFor(what, [] { return dynamic_cast<wxGenericMessageDialog*>(ModalBox()) != nullptr; });
    d.Do("look at " + what + ", then " + keys, [&d, what, want, keys] {
        d.Shot(what);
        auto* box = dynamic_cast<wxGenericMessageDialog*>(ModalBox());
        d.CheckEqual(box->GetTitle().utf8_string(), want.title, what + " title");
        std::string text = box->GetMessage().utf8_string(), unwrapped = text;
        unwrapped.erase(std::remove(unwrapped.begin(), unwrapped.end(), '\n'), unwrapped.end());
        d.Check(unwrapped.find(want.named) != std::string::npos,
                what + " names " + want.named + ": " + text);
        d.CheckEqual(want.prefix ? text.substr(0, want.text.size()) : text, want.text,
                     what + " text");
        long style = box->GetMessageDialogStyle();
        d.Check((style & wxICON_MASK) == want.icon,
                what + " icon flags " + std::to_string(style & wxICON_MASK));
        // What is drawn agrees with the flags: an icon-less box has no
        // picture, the others exactly one.
        size_t pictures = PicturesOn(box);
        d.Check(pictures == (want.icon == 0 ? 0u : 1u),
                what + ": " + std::to_string(pictures) + " pictures");
        d.Check(bool(style & wxCANCEL) == want.cancel, what + " buttons");
        Driver::Keys(keys);
    });
    d.WaitFor("main window after " + what, MainWindowShown);
}

void ExpectFileDialog(Driver& d, const std::string& what, const std::string& title,
                      const std::string& keys)
{
    d.WaitFor(
        what, [] { return FileChooser() != nullptr; }, 20);
    d.Do("look at " + what + ", then " + keys, [&d, what, title, keys] {
        d.Shot(what);
        const char* shown = gtk_window_get_title(GTK_WINDOW(FileChooser()));
        d.CheckEqual(shown ? shown : "", title, what + " title");
        d.Check(FileChooserOnScreen(FileChooser()), what + " fits the screen");
        Driver::Keys(keys);
    });
}

bool VerticalScrollBarShown(wxWindow* multi_line_box)
{
    auto* outer = multi_line_box ? static_cast<GtkWidget*>(multi_line_box->GetHandle()) : nullptr;
    if (!outer || !GTK_IS_SCROLLED_WINDOW(outer))
        return false;
    GtkScrolledWindow* scrolled = GTK_SCROLLED_WINDOW(outer);
    GtkWidget* bar = gtk_scrolled_window_get_vscrollbar(scrolled);
    GtkAllocation room;
    if (bar)
        gtk_widget_get_allocation(bar, &room);
    return bar && !gtk_scrolled_window_get_overlay_scrolling(scrolled) &&
           gtk_widget_get_mapped(bar) && room.width > 0;
}

std::string Css(const wxColour& c)
{
    return c.IsOk() ? c.GetAsString(wxC2S_CSS_SYNTAX).utf8_string() : "nothing";
}

wxWindow* CanvasOf(int image_window)
{
    wxFrame* f = wxb::ImageWindowFrame(image_window);
    return f && !f->GetChildren().empty() ? f->GetChildren().front() : nullptr;
}

namespace {

// The warning about the default files in its box, the main window's size and
// colours, and the help of a highlighted menu item in the status bar.
void FirstStart(Driver& d)
{
    ExpectMessage(d, "default-files warning",
                  {"Configuration file verify", "Ini file not found or not updated:\n\n",
                   wxICON_EXCLAMATION, false, true,
                   "Default .INI and .CFG files have been created..."},
                  "Return");
    d.Settle();
    d.Do("look at the main window", [&d] {
        wxImage shot = d.Shot("main-window");
        // The Configure module panel's 400 x 230 dialog units with a 6 x 13
        // base: a classic dialog's size.
        wxSize client = MainFrame()->GetClientSize();
        d.Check(client.x >= 560 && client.x <= 640 && client.y >= 350 && client.y <= 400,
                "client size " + std::to_string(client.x) + "x" + std::to_string(client.y));
        // The panel's colour; the status bar's is the Auto Read scenario's.
        wxWindow* area = MainFrame()->GetChildren().GetFirst()->GetData();
        wxColour panel = Driver::PixelOf(shot, area, client.x - 3, client.y / 2);
        d.Check(panel == wxColour(240, 240, 240), "panel colour " + Css(panel));
        Driver::Keys("alt+t");
    });
    d.WaitFor("help of the first item",
              [] { return StatusIs("Configure Modbus serial parameters of a specific module"); });
    d.Do("next item, past the separator", [] { Driver::Keys("Down"); });
    d.WaitFor("help of Test module",
              [] { return StatusIs("Test I/O Modbus resources on a specific module"); });
    d.Do("close the menu", [] { Driver::Keys("Escape Escape"); });
    d.WaitFor("Ready once the menu is closed", [] { return StatusIs("Ready"); });
}

const Scenario kFirstStart{"first_start", FirstStart};

} // namespace

} // namespace gui
