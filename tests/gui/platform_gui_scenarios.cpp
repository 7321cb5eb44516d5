// GUI scenario of the platform layer on the desktop backend: a dialog that
// hosts controls, image windows showing a picture from the program's buffer,
// and a line window following thousands of lines.
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/listctrl.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <fstream>

#include "app/config_store.h"
#include "app/shell.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/wx/wx_backend.h"
#include "scenarios.h"

namespace gui {

namespace {

// An identifier no tool uses.
constexpr int kEdit = 99002;
constexpr ui::Colour kDialogBack = ui::Rgb(200, 230, 200);
constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;
constexpr int kPlotW = 300, kPlotH = 200;

ui::EventSink program; // the program's own sink, which the scenario wraps
int ticks = 0;
int closed_window = 0;
bool dialog_returned = false;
int plot = 0, big = 0, lines_window = 0;
std::vector<uint32_t> pixels(kPlotW* kPlotH);

void Dialog(Driver& d)
{
    d.Do("open the dialog", [] {
        // From the loop, not from the step: the dialog's own loop runs the
        // next steps.
        wxTheApp->CallAfter([] {
            ui::StartTimer(100);
            ui::RunDialog({"Platform dialog", 160, 90, kDialogBack}, [] {
                ui::CreateControl({.kind = ui::Kind::Edit,
                                   .id = kEdit,
                                   .text = "",
                                   .x = 10,
                                   .y = 20,
                                   .w = 60,
                                   .h = 15});
            });
            dialog_returned = true;
        });
    });
    d.WaitFor("the dialog", [] { return ModalBox() && ControlWindow(kEdit); });
    d.Settle();
    d.Do("look at the dialog", [&d] {
        wxImage shot = d.Shot("dialog");
        wxDialog* box = ModalBox();
        wxSize want = wxb::DluToPxSize(160, 90), got = box->GetClientSize();
        d.Check(got == want, "client size " + std::to_string(got.x) + "x" + std::to_string(got.y));
        d.Check(ControlWindow(kEdit)->GetPosition() == wxb::DluToPx(10, 20),
                "the box stands at its dialog units");
        wxColour back = Driver::PixelOf(shot, box, got.x - 3, got.y - 3);
        d.Check(back == wxb::ToWx(kDialogBack), "dialog background " + Css(back));
    });
    d.WaitFor("the timer ticks under the dialog", [] { return ticks >= 3; });
    d.Do("the close box", [] { ModalBox()->Close(); });
    d.WaitFor("the dialog returned", [] { return dialog_returned && !ModalBox(); });
    d.Do("its controls are gone", [&d] {
        ui::StopTimer();
        d.Check(!ui::ControlExists(kEdit) && ui::OpenDialogCount() == 0, "dialog destroyed");
        d.Check(ui::ControlExists(10001), "the panel's controls stay");
    });
}

void ImageWindows(Driver& d)
{
    d.Do("open the image window", [] {
        for (int y = 0; y < kPlotH; ++y)
            for (int x = 0; x < kPlotW; ++x)
                pixels[size_t(y) * kPlotW + size_t(x)] = x < kPlotW / 2 ? kRed : kBlue;
        plot = ui::CreateImageWindow("RegScope [Plot values]", kPlotW, kPlotH, 600, 300);
        ui::SetImagePixels(plot, pixels.data(), kPlotW, kPlotH, kPlotW * 4);
        ui::ShowImageWindow(plot);
    });
    d.WaitFor("image window shown",
              [] { return CanvasOf(plot) && CanvasOf(plot)->IsShownOnScreen(); });
    d.Settle();
    d.Do("look at the picture", [&d] {
        wxImage shot = d.Shot("image-window");
        wxColour left = Driver::PixelOf(shot, CanvasOf(plot), 50, 100);
        wxColour right = Driver::PixelOf(shot, CanvasOf(plot), 250, 100);
        d.Check(left == wxColour(255, 0, 0) && right == wxColour(0, 0, 255),
                "halves " + Css(left) + " " + Css(right));
        // A square drawn later shows once its rectangle is refreshed.
        for (int py = 90; py < 110; ++py)
            for (int px = 140; px < 160; ++px)
                pixels[size_t(py) * kPlotW + size_t(px)] = kGreen;
        ui::RefreshImageRect(plot, 140, 90, 20, 20);
    });
    d.Settle();
    d.Do("look at the refreshed square", [&d] {
        wxColour square =
            Driver::PixelOf(d.Shot("image-window-refreshed"), CanvasOf(plot), 150, 100);
        d.Check(square == wxColour(0, 255, 0), "refreshed square " + Css(square));
        ui::AllowImageWindowClose(plot, false);
        wxb::ImageWindowFrame(plot)->Close();
    });
    d.Settle();
    d.Do("refused close", [&d] {
        d.Check(ui::ImageWindowExists(plot) && closed_window == 0, "the window stays");
        ui::AllowImageWindowClose(plot, true);
        wxb::ImageWindowFrame(plot)->Close();
    });
    d.WaitFor("closed and reported",
              [] { return closed_window == plot && !ui::ImageWindowExists(plot); });

    // Larger than the screen: scroll bars.
    d.Do("open a big window", [] {
        big = ui::CreateImageWindow("big", 3000, 2000, 560, 280);
        ui::ShowImageWindow(big);
    });
    d.WaitFor("big window shown", [] { return CanvasOf(big) && CanvasOf(big)->IsShownOnScreen(); });
    d.Settle();
    d.Do("look at the big window", [&d] {
        d.Shot("big-image-window");
        wxRect shown = wxb::ImageWindowFrame(big)->GetScreenRect();
        d.Check(wxDisplay(0u).GetClientArea().Contains(shown),
                "on the screen: " + std::to_string(shown.width) + "x" +
                    std::to_string(shown.height));
        int x = 0, y = 0;
        ui::GetImageWindowPosition(big, &x, &y);
        d.Check(x == 560 && y == 280, "reports where it was asked to be");
        d.Check(CanvasOf(big)->GetVirtualSize() == wxSize(3000, 2000), "the whole picture scrolls");
        d.Check(VerticalScrollBarShown(CanvasOf(big)), "scroll bars on the screen");
        ui::DestroyImageWindow(big);
        d.Check(closed_window == plot, "destroying reports nothing");
    });
}

wxListCtrl* Lines() { return dynamic_cast<wxListCtrl*>(wxb::LineWindowList(lines_window)); }

std::string Numbered(int from, int count)
{
    std::string text;
    for (int i = from; i < from + count; ++i)
        text += "line " + std::to_string(i) + " " + std::string(size_t(i % 90), '=') + "\n";
    return text;
}

// Thousands of lines followed while the last is in view and left alone once
// the user scrolled back, a bound that drops the oldest, and the focus
// staying where it was.
void LineWindow(Driver& d)
{
    d.Do("open a line window", [] {
        ui::LineWindowSpec spec;
        spec.title = "Lines";
        spec.client_w_px = 600;
        spec.client_h_px = 300;
        spec.buttons = {{1, "Pause"}, {2, "Clear"}};
        spec.max_lines = 5000;
        spec.note_lines = 2;
        lines_window = ui::CreateLineWindow(spec);
        ui::ShowLineWindow(lines_window);
    });
    d.WaitFor("line window shown", [] {
        wxFrame* f = wxb::LineWindowFrame(lines_window);
        return f && f->IsShownOnScreen();
    });
    d.Do("focus on the main window", [] {
        MainFrame()->Raise();
        MainFrame()->SetFocus();
    });
    d.Settle();
    d.Do("append thousands of lines", [&d] {
        wxWindow* focus = wxWindow::FindFocus();
        ui::AppendLines(lines_window, Numbered(1, 6000));
        ui::SetLineWindowNote(lines_window,
                              "Requests 6000  good 6000\nResponse time  min 1.000 ms");
        d.Check(ui::LineCount(lines_window) == 5000, "the bound keeps the last 5000");
        d.Check(wxWindow::FindFocus() == focus, "appending leaves the focus alone");
    });
    d.Settle();
    d.Do("look at the followed end", [&d] {
        d.Shot("line-window");
        wxListCtrl* list = Lines();
        d.Check(list->GetTopItem() + list->GetCountPerPage() >= list->GetItemCount(),
                "the last line is in view");
        d.CheckEqual(list->GetItemText(0).utf8_string().substr(0, 10), "line 1001 ", "first kept");
        // The user scrolls back: new lines do not pull the view away.
        list->EnsureVisible(0);
    });
    d.Settle(0.2);
    d.Do("append while scrolled back", [&d] {
        ui::AppendLines(lines_window, Numbered(6001, 10));
        d.Check(Lines()->GetTopItem() == 0, "the view stays where the user put it");
        wxb::LineWindowFrame(lines_window)->Close();
    });
    d.WaitFor("closed", [] { return !ui::LineWindowExists(lines_window); });
}

int ini_watch = -1;
int moves_seen = 0;

// Rewrites of RegScope.ini since the watch began (each one a rename over it,
// or a write in place).
int IniWrites()
{
    int writes = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = read(ini_watch, buffer, sizeof buffer)) > 0;)
        for (char* p = buffer; p < buffer + n;) {
            auto* e = reinterpret_cast<inotify_event*>(p);
            writes += e->len > 0 && std::string(e->name) == "RegScope.ini";
            p += sizeof(inotify_event) + e->len;
        }
    return writes;
}

std::string SavedPosition()
{
    return app::ReadConfigKey(app::IniPath, "MAIN_POS_X") + "," +
           app::ReadConfigKey(app::IniPath, "MAIN_POS_Y");
}

std::string PositionNow()
{
    int x = 0, y = 0;
    ui::GetWindowPosition(&x, &y);
    return std::to_string(x) + "," + std::to_string(y);
}

// A drag brings a move event every few pixels: the position is written once
// the window rests, and a move the close cuts short is written at the close
// (the next start, window_moved_then_closed, finds it).
void MainWindowMoves(Driver& d)
{
    d.Do("drag the main window", [&d] {
        ini_watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        inotify_add_watch(ini_watch, sys::WorkingDirectory().c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
        MainFrame()->Bind(wxEVT_MOVE, [](wxMoveEvent& e) {
            ++moves_seen;
            e.Skip();
        });
        for (int i = 1; i <= 100; ++i) {
            MainFrame()->Move(20 + i, 10 + i / 2);
            wxTheApp->Yield(true);
        }
        d.Check(moves_seen >= 100, std::to_string(moves_seen) + " move events");
    });
    d.WaitFor("the position written", [] { return SavedPosition() == PositionNow(); });
    d.Settle();
    d.Do("once", [&d] {
        const int writes = IniWrites();
        d.Check(writes >= 1 && writes <= 2, std::to_string(writes) + " writes for the drag");
    });
}

void MoveAndClose(Driver& d)
{
    d.Do("move and close at once", [] {
        MainFrame()->Move(200, 150);
        std::ofstream("expected-position") << PositionNow();
        ui::CloseMainWindow();
    });
}

void PlatformWindows(Driver& d)
{
    PassFirstStart(d);
    d.Do("wrap the program's events", [] {
        program = wxb::Sink();
        ui::EventSink sink = program;
        // The ticks stay here: nothing auto-reads, so the program's own tick
        // would put the timer to rest after the first one.
        sink.on_timer = [] { ++ticks; };
        sink.on_window_closed = [](int window) { closed_window = window; };
        ui::SetEventSink(sink);
    });
    Dialog(d);
    ImageWindows(d);
    LineWindow(d);
    d.Settle();
    d.Do("hand the events back", [] { ui::SetEventSink(program); });
    MainWindowMoves(d);
    MoveAndClose(d);
}

void PositionKept(Driver& d)
{
    d.WaitFor("main window", MainWindowShown);
    d.Do("the position of the move the close cut short", [&d] {
        std::string want;
        std::ifstream("expected-position") >> want;
        d.CheckEqual(SavedPosition(), want, "saved position");
    });
}

const Scenario kPlatformWindows{"platform_windows", PlatformWindows};
const Scenario kPositionKept{"window_moved_then_closed", PositionKept};

} // namespace

} // namespace gui
