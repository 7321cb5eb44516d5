// What the GUI tests do with the desktop program.
#include "scenarios.h"
#include "app/command_ids.h"

#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
// The generic dialog needs what wx/msgdlg.h declares.
#include <wx/generic/msgdlgg.h>

#include <gtk/gtk.h>

#include "app/shell.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace gui {

namespace {

bool StatusIs(const std::string& text) { return ui::GetStatusText() == text; }

} // namespace

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

bool MainWindowShown() { return MainFrame() != nullptr && ModalBox() == nullptr; }

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
        d.Check(title.rfind("RegScope [", 0) == 0 && title.back() == ']', "title: " + title);
        d.Check(app::CurrentTool == 1, "the Configure module tool is open");
        d.Check(ui::IsMenuItemChecked(app::cmd::kConfigureModule), "Configure module is checked");
        d.Check(ui::IsMenuItemChecked(app::cmd::PortCommand(1)), "COM1 is checked");
        d.Check(ui::IsMenuItemChecked(app::cmd::ParityCommand(2)), "Even parity is checked");
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

const std::vector<Scenario> kScenarios = {
    {"first_start", FirstStart},
    {"menu_help", MenuHelp},
};

} // namespace

// The title of the file chooser on screen, empty when none is shown.
std::string FileDialogTitle()
{
    std::string title;
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next)
        if (GTK_IS_FILE_CHOOSER_DIALOG(w->data) && gtk_widget_get_visible(GTK_WIDGET(w->data))) {
            const char* t = gtk_window_get_title(GTK_WINDOW(w->data));
            title = t ? t : "";
        }
    g_list_free(windows);
    return title;
}
bool FileDialogShown() { return !FileDialogTitle().empty(); }

bool FileDialogOnScreen()
{
    bool inside = false;
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next)
        if (GTK_IS_FILE_CHOOSER_DIALOG(w->data) && gtk_widget_get_visible(GTK_WIDGET(w->data))) {
            GdkWindow* shown = gtk_widget_get_window(GTK_WIDGET(w->data));
            GdkRectangle frame, screen;
            gdk_window_get_frame_extents(shown, &frame);
            gdk_monitor_get_workarea(
                gdk_display_get_monitor_at_window(gdk_window_get_display(shown), shown), &screen);
            inside = frame.x >= screen.x && frame.y >= screen.y &&
                     frame.x + frame.width <= screen.x + screen.width &&
                     frame.y + frame.height <= screen.y + screen.height;
        }
    g_list_free(windows);
    return inside;
}

const Scenario* FindScenario(const std::string& name)
{
    for (const auto* list :
         {&kScenarios, &TestFunctionScenarios(), &SetupScenarios(), &TestModuleScenarios(),
          &MenuDialogScenarios(), &PlatformScenarios(), &AnalyzerScenarios(),
          &AnalyzerPlotScenarios(), &AutoReadScenarios(), &MonitorScenarios()})
        for (const Scenario& s : *list)
            if (name == s.name)
                return &s;
    return nullptr;
}

} // namespace gui
