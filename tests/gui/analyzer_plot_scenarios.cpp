// The Analyzer in the real window: Plot setup, Auto Read with two plotted
// channels on the simulator's demo slave, the live plot window, Save to bmp,
// whose file must hold what the window shows, then a Channel setup dialog
// edited and closed, and the communication monitor beside the wide form.
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/image.h>

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>

#include "analyzer/plot_window.h"
#include "app/config_store.h"
#include "app/shell.h"
#include "monitor/monitor_window.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/wx/wx_backend.h"
#include "scenarios.h"
#include "sim/sim.h"

namespace gui {

namespace {

constexpr int kTitle = 60001, kAutoRead = 60004, kPlotStart = 60005, kSaveBmp = 60006,
              kPlotSetup = 60007;
constexpr int kCh2Setup = 60113, kSetupEnable = 60511, kSetupLabel = 60611, kSetupFloat = 60675;

int plot_window = 0;
wxImage stopped_shot;
int main_window_hidden = 0;

// The newest image window is the plot's.
int NewestPlotWindow()
{
    int newest = 0;
    for (int h = 1; h < 100; ++h)
        if (ui::ImageWindowExists(h))
            newest = h;
    return newest;
}

std::string BmpPath() { return sys::WorkingDirectory() + "/Plot.bmp"; }

// FindConfigKey: reading a missing key would be a damaged file to the program.
std::string Key(const std::string& key)
{
    std::string value;
    return app::FindConfigKey(app::CfgPath, key, &value) ? value : "<missing>";
}

// The plot window may cover the form: bring the form up before a click.
void PressOnForm(Driver& d, int id)
{
    d.Do("raise the main window", [] {
        MainFrame()->Raise();
        // Done by the X server before the click, which comes through
        // another connection.
        gdk_display_sync(gdk_display_get_default());
    });
    d.Press(id);
}

void ChannelSetupAndMonitor(Driver& d)
{
    PressOnForm(d, kCh2Setup);
    d.WaitFor("the Channel setup dialog",
              [] { return ModalBox() && OnScreen(ControlWindow(kSetupLabel)); });
    d.Do("look at the dialog", [&d] {
        d.Shot("channel-setup");
        d.CheckEqual(ModalBox()->GetTitle().utf8_string(), "Channel setup - CH02", "title");
        d.Check(wxGetTopLevelParent(ControlWindow(kSetupLabel)) == ModalBox(),
                "the fields are on the dialog");
    });
    // A check box, a text box and an option of the dialog reach the program.
    d.Press(kSetupEnable);
    d.WaitFor("Enable stored", [] { return Key("CH02_ENABLE") == "0"; });
    d.Fill(kSetupLabel, "Pump");
    d.WaitFor("label stored", [] { return Key("CH02_LABEL") == "Pump"; });
    d.Press(kSetupFloat);
    d.WaitFor("data type stored", [] { return Key("CH02_DATA") == "FLOAT32"; });
    d.Do("Escape, as the close box", [] { Driver::Keys("Escape"); });
    d.WaitFor("closed", [] { return !ModalBox() && !ui::ControlExists(kSetupLabel); });
    // The channel's value box is made anew at the close, where the old one
    // was in the Tab order: before its caption, not after the last button.
    d.Do("the new box in its place", [&d] {
        wxWindow* box = ControlWindow(kCh2Setup - 2);
        wxWindow* next = nullptr;
        bool seen = false;
        for (wxWindow* w : box->GetParent()->GetChildren()) {
            if (seen && w->IsShown()) {
                next = w;
                break;
            }
            seen = seen || w == box;
        }
        d.Check(next == ControlWindow(kCh2Setup - 1), "the caption follows the box");
    });
    d.Do("Tools > Communication monitor", [] { Driver::Keys("alt+t o"); });
    d.WaitFor("the monitor", [] {
        return monitor::MonitorOpen() &&
               OnScreen(wxb::LineWindowFrame(monitor::MonitorWindowHandle()));
    });
    d.Do("the monitor beside the Analyzer", [&d] {
        d.Shot("analyzer-monitor");
        wxRect monitor = wxb::LineWindowFrame(monitor::MonitorWindowHandle())->GetScreenRect();
        d.Check(!monitor.Intersects(MainFrame()->GetScreenRect()) &&
                    wxDisplay(0u).GetClientArea().Contains(monitor),
                "the monitor covers nothing of the main window");
    });
}

// The first pass of Auto Read fails: its box holds the timer's ticks, so the
// plot the pass was drawing is not stopped behind the box. The new plot
// steps off the first one, still open where it would stand.
void FailedFirstPass(Driver& d)
{
    d.Do("a silent slave, a plot of the default size", [] {
        WriteKeys(app::CfgPath, {"PLOT_SIZE_X=800", "PLOT_SIZE_Y=600", "CH02_ENABLE=1"});
        sim::Fault silent;
        silent.kind = sim::Fault::NoReply;
        silent.times = 1;
        Bus().InjectFault(silent);
    });
    PressOnForm(d, kAutoRead);
    d.WaitFor(
        "the error box", [] { return ModalBox() != nullptr; }, 20);
    d.Settle(1.5); // six periods of the timer with the box open
    d.Do("the plot under the box", [&d] {
        d.Check(analyzer::PlotRunning(), "the plot runs until the box is answered");
        int x = 0, y = 0;
        ui::GetImageWindowPosition(NewestPlotWindow(), &x, &y);
        d.Check(NewestPlotWindow() != plot_window && x == 364 && y == 64,
                "off the first plot: " + std::to_string(x) + "," + std::to_string(y));
        // 1047 pixels wide on a screen of 1024: on it, the legend in view.
        wxImage shot = d.Shot("default-size-plot");
        wxRect shown = wxb::ImageWindowFrame(NewestPlotWindow())->GetScreenRect();
        d.Check(wxDisplay(0u).GetClientArea().Contains(shown), "the plot on the screen");
        wxWindow* canvas = CanvasOf(NewestPlotWindow());
        const int width = canvas->GetClientSize().x;
        int legend = 0;
        for (int py = 40; py < 80; ++py)
            for (int px = width - 120; px < width; ++px) {
                // The label's red, smoothed at its edges.
                const wxColour c = Driver::PixelOf(shot, canvas, px, py);
                legend += c.Red() > 200 && c.Green() < 100 && c.Blue() < 100;
            }
        d.Check(legend > 20, "legend pixels in view: " + std::to_string(legend));
    });
    ExpectMessage(d, "the error",
                  {"Communication error", "Timeout: replay not received", wxICON_ERROR}, "Return");
    d.WaitFor("stopped", [] { return !analyzer::PlotRunning() && !app::AutoReadActive; });
}

void PlotAndSave(Driver& d)
{
    StartBus(true);
    PassFirstStart(d);
    d.Do("set up two plotted channels", [] {
        WriteKeys(app::IniPath, {"PLOT_POS_X=340", "PLOT_POS_Y=40"});
        WriteKeys(app::CfgPath,
                  {"SAMPLE_TIME=0.25", "PLOT_SIZE_X=500", "PLOT_SIZE_Y=500", "PLOT_TIME_MAX=10.0",
                   "PLOT_DIV_X=10", "PLOT_TITLE=Demo bus", "CH01_TYPE=INPUT_REG", "CH01_PLOT=1",
                   "CH01_LABEL=Sine", "CH01_PLOT_COLOR=255", "CH02_ENABLE=1", "CH02_TYPE=INPUT_REG",
                   "CH02_WORD_ADD=2", "CH02_PLOT=1", "CH02_LABEL=Ramp", "CH02_PLOT_COLOR=16711680",
                   "PLOT_BMP_FILE=Plot.bmp"});
        // PLOT_BMP_FILE, a relative name, is in the start folder, not in
        // the home folder.
        std::string home = sys::WorkingDirectory() + "/home";
        mkdir(home.c_str(), 0700);
        setenv("HOME", home.c_str(), 1);
        MainFrame()->Bind(wxEVT_SHOW, [](wxShowEvent& e) {
            main_window_hidden += !e.IsShown();
            e.Skip();
        });
        Driver::Keys("ctrl+a");
    });
    d.WaitFor("the Analyzer", [] {
        return app::CurrentTool == 4 && ui::ControlExists(kPlotSetup) && MainWindowShown() &&
               !ui::MainWindowFrozen();
    });
    d.Do("the window stayed on the screen", [&d] {
        d.Check(main_window_hidden == 0, "hidden " + std::to_string(main_window_hidden) + " times");
        // Labels paint themselves from the colours the program gave them.
        const wxImage shot = d.Shot("analyzer");
        wxWindow* title = ControlWindow(kTitle);
        const wxColour strip = Driver::PixelOf(shot, title, title->GetSize().x - 4, 4);
        d.Check(strip == wxColour(2, 28, 53), "title strip: " + Css(strip));
    });

    d.Press(kPlotSetup);
    d.WaitFor("Plot setup", [] { return ModalBox() && OnScreen(ControlWindow(60731)); });
    d.Do("look at Plot setup", [&d] {
        d.Shot("plot-setup");
        d.CheckEqual(ModalBox()->GetTitle().utf8_string(), "Plot setup", "dialog title");
        Driver::Keys("Escape");
    });
    d.WaitFor("Plot setup closed", [] { return !ModalBox() && !ui::ControlExists(60731); });

    PressOnForm(d, kAutoRead);
    d.WaitFor("the plot window",
              [] { return analyzer::PlotRunning() && ui::GetText(kPlotStart) == "Plot Stop"; });
    d.Do("find it", [&d] {
        plot_window = NewestPlotWindow();
        d.Check(plot_window != 0, "a plot window exists");
    });
    d.WaitFor(
        "a dozen passes", [] { return app::ElapsedTime >= 3; }, 30);
    d.Do("look at the running plot", [&d] {
        wxImage shot = d.Shot("plot-running");
        wxWindow* canvas = CanvasOf(plot_window);
        // The frame's bottom-left corner, and ink of both traces somewhere.
        d.Check(Driver::PixelOf(shot, canvas, 100, 550) == wxColour(0, 0, 0), "frame corner");
        int red = 0, blue = 0;
        for (int y = 50; y <= 550; ++y)
            for (int x = 101; x < 600; ++x) {
                wxColour c = Driver::PixelOf(shot, canvas, x, y);
                red += c == wxColour(255, 0, 0);
                blue += c == wxColour(0, 0, 255);
            }
        d.Check(red > 20 && blue > 20, "both traces drawn: " + std::to_string(red) + " red, " +
                                           std::to_string(blue) + " blue");
        int x = 0, y = 0;
        ui::GetImageWindowPosition(plot_window, &x, &y);
        d.Check(x == 340 && y == 40,
                "at PLOT_POS_X/Y: " + std::to_string(x) + "," + std::to_string(y));
    });

    PressOnForm(d, kPlotStart); // "Plot Stop"
    d.WaitFor("plot stopped", [] { return !analyzer::PlotRunning(); });
    d.Do("raise the plot", [] { wxb::ImageWindowFrame(plot_window)->Raise(); });
    d.Do("screenshot of the stopped plot", [&d] { stopped_shot = d.Shot("plot-stopped"); });

    PressOnForm(d, kSaveBmp);
    ExpectFileDialog(d, "Save to bmp", "Save current plotting to .BMP file", "Return");
    d.WaitFor("the bitmap", [] { return sys::IsRegularFile(BmpPath()); });
    d.Do("the bitmap holds what the window shows", [&d] {
        wxImage bmp(wxString::FromUTF8(BmpPath()), wxBITMAP_TYPE_BMP);
        wxWindow* canvas = CanvasOf(plot_window);
        d.Check(bmp.IsOk() && canvas, "the bitmap reads back");
        if (!bmp.IsOk() || !canvas)
            return;
        d.Check(bmp.GetWidth() > 630 && bmp.GetHeight() == 630,
                "bitmap size " + std::to_string(bmp.GetWidth()) + "x" +
                    std::to_string(bmp.GetHeight()));
        const wxSize client = canvas->GetClientSize();
        int differing = 0, compared = 0;
        for (int y = 0; y < std::min(client.y, bmp.GetHeight()); ++y)
            for (int x = 0; x < std::min(client.x, bmp.GetWidth()); ++x) {
                ++compared;
                wxColour s = Driver::PixelOf(stopped_shot, canvas, x, y);
                differing += s.Red() != bmp.GetRed(x, y) || s.Green() != bmp.GetGreen(x, y) ||
                             s.Blue() != bmp.GetBlue(x, y);
            }
        d.Check(compared > 600 * 600, "compared " + std::to_string(compared) + " pixels");
        d.Check(differing == 0, std::to_string(differing) + " pixels differ from the screen");
    });
    PressOnForm(d, kAutoRead);
    d.WaitFor("Auto Read off", [] { return app::AutoReadActive == 0; });
    ChannelSetupAndMonitor(d);
    FailedFirstPass(d);
}

const Scenario kPlotAndSave{"analyzer_plot", PlotAndSave};

} // namespace

} // namespace gui
