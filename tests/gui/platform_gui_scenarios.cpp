// GUI scenario of the platform layer on the desktop backend: a dialog that
// hosts controls, hiding the main window, and image windows showing a
// picture from the program's buffer.
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/listctrl.h>

#include <algorithm>

#include "platform/ui.h"
#include "platform/wx/wx_backend.h"
#include "scenarios.h"

namespace gui {

namespace {

// Identifiers no tool uses: their notifications stay with the scenario.
constexpr int kLabel = 99001, kEdit = 99002, kCheck = 99003;
constexpr ui::Colour kDialogBack = ui::Rgb(200, 230, 200);
constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;

ui::EventSink program; // the program's own sink, which the scenario wraps
std::vector<std::string> seen;
int ticks = 0;
int closed_window = 0;
bool dialog_returned = false;

int plot = 0, big = 0;
constexpr int kPlotW = 300, kPlotH = 200;
std::vector<uint32_t> pixels(kPlotW* kPlotH);

void OnCommand(int id, ui::Notify how)
{
    if (id < kLabel || id > kCheck) {
        if (program.on_command)
            program.on_command(id, how);
        return;
    }
    seen.push_back(std::to_string(id) + (how == ui::Notify::Click ? " click" : " other"));
    if (how == ui::Notify::Change)
        seen.back() = std::to_string(id) + " change";
}

// The ticks stay here: nothing auto-reads, so the program's own tick would
// put the timer to rest after the first one.
void OnTimer() { ++ticks; }

void OnImageWindowClosed(int window) { closed_window = window; }

int lines_window = 0;
std::vector<std::string> line_events;

bool Seen(const std::string& what) { return std::count(seen.begin(), seen.end(), what) > 0; }

void BuildDialog()
{
    ui::CreateControl({.kind = ui::Kind::Label,
                       .id = kLabel,
                       .text = "Slave address",
                       .x = 10,
                       .y = 10,
                       .w = 60,
                       .h = 9,
                       .back_colour = kDialogBack});
    ui::CreateControl({.kind = ui::Kind::Edit,
                       .id = kEdit,
                       .text = "",
                       .x = 10,
                       .y = 20,
                       .w = 60,
                       .h = 15,
                       .style = ui::kTabStop | ui::kClientEdge});
    ui::CreateControl({.kind = ui::Kind::Check,
                       .id = kCheck,
                       .text = "Enable",
                       .x = 10,
                       .y = 45,
                       .w = 60,
                       .h = 10});
}

void FillPlot()
{
    for (int y = 0; y < kPlotH; ++y)
        for (int x = 0; x < kPlotW; ++x)
            pixels[size_t(y) * kPlotW + size_t(x)] = x < kPlotW / 2 ? kRed : kBlue;
}

wxWindow* CanvasOf(int window)
{
    wxFrame* f = wxb::ImageWindowFrame(window);
    return f && !f->GetChildren().empty() ? f->GetChildren().front() : nullptr;
}

std::string Css(const wxColour& c) { return c.GetAsString(wxC2S_CSS_SYNTAX).utf8_string(); }

void DialogAndImageWindows(Driver& d)
{
    PassFirstStart(d);
    d.Do("wrap the program's events", [] {
        program = wxb::Sink();
        ui::EventSink sink = program;
        sink.on_command = OnCommand;
        sink.on_timer = OnTimer;
        sink.on_window_closed = OnImageWindowClosed;
        ui::SetEventSink(sink);
    });

    // --- A dialog over the main window
    d.Do("open the dialog", [] {
        // From the loop, not from the step: the dialog's own loop runs the
        // next steps.
        wxTheApp->CallAfter([] {
            ui::StartTimer(100);
            ui::RunDialog({"Platform dialog", 160, 90, kDialogBack}, BuildDialog);
            dialog_returned = true;
        });
    });
    d.WaitFor("the dialog", [] { return ModalBox() && ControlWindow(kEdit); });
    d.Settle();
    d.Do("look at the dialog", [&d] {
        wxImage shot = d.Shot("dialog");
        wxDialog* box = ModalBox();
        d.CheckEqual(box->GetTitle().utf8_string(), "Platform dialog", "title");
        d.Check(wxGetTopLevelParent(ControlWindow(kEdit)) == box, "the box is on the dialog");
        wxSize want = wxb::DluToPxSize(160, 90), got = box->GetClientSize();
        d.Check(got == want, "client size " + std::to_string(got.x) + "x" + std::to_string(got.y));
        d.Check(ControlWindow(kEdit)->GetPosition() == wxb::DluToPx(10, 20),
                "the box stands at its dialog units");
        wxColour back = Driver::PixelOf(shot, box, got.x - 3, got.y - 3);
        d.Check(back == wxb::ToWx(kDialogBack), "dialog background " + Css(back));
        d.Check(ui::OpenDialogCount() == 1, "one dialog open");
    });
    d.Fill(kEdit, "42");
    d.Do("typing reached the program",
         [&d] { d.Check(Seen("99002 change"), "change of the box"); });
    d.Press(kCheck);
    d.WaitFor("the check box clicked", [] { return Seen("99003 click") && ui::IsChecked(kCheck); });
    d.WaitFor("the timer ticks under the dialog", [] { return ticks >= 3; });
    d.Do("the close box", [] { ModalBox()->Close(); });
    d.WaitFor("the dialog returned", [] { return dialog_returned && !ModalBox(); });
    d.Do("its controls are gone", [&d] {
        ui::StopTimer();
        d.Check(!ui::ControlExists(kEdit) && !ui::ControlExists(kCheck) &&
                    !ui::ControlExists(kLabel),
                "dialog controls destroyed");
        d.Check(ui::OpenDialogCount() == 0, "no dialog open");
        d.Check(ui::ControlExists(10001), "the panel's controls stay");
    });

    // --- Hiding the main window
    d.Do("hide the main window", [&d] {
        ui::HideMainWindow();
        d.Check(!wxb::Frame()->IsShown() && !ui::MainWindowShown(), "hidden");
        ui::ShowMainWindow();
    });
    d.WaitFor("shown again", [] { return wxb::Frame()->IsShown() && ui::MainWindowShown(); });

    // --- An image window
    d.Do("open the image window", [] {
        FillPlot();
        plot = ui::CreateImageWindow("RegScope [Plot values]", kPlotW, kPlotH, 600, 300);
        ui::SetImagePixels(plot, pixels.data(), kPlotW, kPlotH, kPlotW * 4);
        ui::ShowImageWindow(plot);
    });
    d.WaitFor("image window shown",
              [] { return CanvasOf(plot) && CanvasOf(plot)->IsShownOnScreen(); });
    d.Settle();
    d.Do("look at the picture", [&d] {
        wxImage shot = d.Shot("image-window");
        wxWindow* canvas = CanvasOf(plot);
        wxColour left = Driver::PixelOf(shot, canvas, 50, 100);
        wxColour right = Driver::PixelOf(shot, canvas, 250, 100);
        d.Check(left == wxColour(255, 0, 0), "left half " + Css(left));
        d.Check(right == wxColour(0, 0, 255), "right half " + Css(right));
        int x = 0, y = 0;
        ui::GetImageWindowPosition(plot, &x, &y);
        d.Check(x == 600 && y == 300, "position " + std::to_string(x) + "," + std::to_string(y));
        // A square drawn later shows once its rectangle is refreshed.
        for (int py = 90; py < 110; ++py)
            for (int px = 140; px < 160; ++px)
                pixels[size_t(py) * kPlotW + size_t(px)] = kGreen;
        ui::RefreshImageRect(plot, 140, 90, 20, 20);
    });
    d.Settle();
    d.Do("look at the refreshed square", [&d] {
        wxImage shot = d.Shot("image-window-refreshed");
        wxColour square = Driver::PixelOf(shot, CanvasOf(plot), 150, 100);
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

    // --- Larger than the screen: scroll bars
    d.Do("open a big window", [] {
        big = ui::CreateImageWindow("big", 3000, 2000, 560, 280);
        ui::ShowImageWindow(big);
    });
    d.WaitFor("big window shown", [] { return CanvasOf(big) && CanvasOf(big)->IsShownOnScreen(); });
    d.Settle();
    d.Do("look at the big window", [&d] {
        d.Shot("big-image-window");
        wxFrame* f = wxb::ImageWindowFrame(big);
        wxSize size = f->GetSize();
        d.Check(wxDisplay(0u).GetClientArea().Contains(f->GetScreenRect()),
                "on the screen: " + std::to_string(size.x) + "x" + std::to_string(size.y));
        int x = 0, y = 0;
        ui::GetImageWindowPosition(big, &x, &y);
        d.Check(x == 560 && y == 280, "reports where it was asked to be");
        wxWindow* canvas = CanvasOf(big);
        d.Check(canvas->GetVirtualSize() == wxSize(3000, 2000), "the whole picture scrolls");
        d.Check(VerticalScrollBarShown(canvas), "scroll bars on the screen");
        ui::DestroyImageWindow(big);
        d.Check(closed_window == plot, "destroying reports nothing");
    });
    d.Settle();
    d.Do("hand the events back", [] { ui::SetEventSink(program); });
}

std::string Numbered(int from, int count)
{
    std::string text;
    for (int i = from; i < from + count; ++i)
        text += "line " + std::to_string(i) + " " + std::string(size_t(i % 90), '=') + "\n";
    return text;
}

wxListCtrl* ListOf(int window) { return dynamic_cast<wxListCtrl*>(wxb::LineWindowList(window)); }

bool LastLineInView(int window)
{
    wxListCtrl* list = ListOf(window);
    return list && list->GetTopItem() + list->GetCountPerPage() >= list->GetItemCount();
}

// A line window beside the main window: thousands of lines followed while
// the last is in view and left alone once the user scrolled back, a bound
// that drops the oldest, a button, the note, the refresh period and the
// close box, and the focus staying where it was.
void LineWindow(Driver& d)
{
    PassFirstStart(d);
    d.Do("wrap the program's events and open a line window", [] {
        program = wxb::Sink();
        ui::EventSink sink = program;
        sink.on_window_command = [](int window, int command) {
            line_events.push_back(std::to_string(window) + " command " + std::to_string(command));
        };
        sink.on_window_refresh = [](int window) {
            if (window == lines_window)
                line_events.push_back("refresh");
        };
        sink.on_window_closed = [](int window) {
            line_events.push_back(std::to_string(window) + " closed");
        };
        ui::SetEventSink(sink);
        ui::LineWindowSpec spec;
        spec.title = "Lines";
        spec.client_w_px = 600;
        spec.client_h_px = 300;
        spec.buttons = {{1, "Pause"}, {2, "Clear"}};
        spec.max_lines = 5000;
        spec.note_lines = 2;
        spec.refresh_ms = 50;
        lines_window = ui::CreateLineWindow(spec);
        ui::ShowLineWindow(lines_window);
    });
    d.WaitFor("line window shown", [] {
        wxFrame* f = wxb::LineWindowFrame(lines_window);
        return f && f->IsShownOnScreen();
    });
    d.Settle();
    d.Do("beside the main window", [&d] {
        wxRect main = MainFrame()->GetRect();
        wxRect lines = wxb::LineWindowFrame(lines_window)->GetRect();
        d.Check(!main.Intersects(lines), "the line window does not hide the main window");
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
        d.Check(LastLineInView(lines_window), "the last line is in view");
        wxListCtrl* list = ListOf(lines_window);
        d.CheckEqual(list->GetItemText(0).utf8_string().substr(0, 10), "line 1001 ", "first kept");
        d.Check(std::count(line_events.begin(), line_events.end(), "refresh") >= 2,
                "the refresh period reports");
        // The user scrolls back: new lines do not pull the view away.
        list->EnsureVisible(0);
    });
    d.Settle(0.2);
    d.Do("append while scrolled back", [&d] {
        ui::AppendLines(lines_window, Numbered(6001, 10));
        d.Check(ListOf(lines_window)->GetTopItem() == 0, "the view stays where the user put it");
        d.Check(wxb::LineWindowPaints(lines_window) > 0, "the rows were painted");
    });
    d.Do("press Clear", [] { Driver::Click(wxb::LineWindowButton(lines_window, 2)); });
    d.WaitFor("the button reported", [] {
        return std::count(line_events.begin(), line_events.end(),
                          std::to_string(lines_window) + " command 2") == 1;
    });
    d.Do("close the window", [] {
        ui::SetLineWindowButtonText(lines_window, 1, "Resume");
        wxb::LineWindowFrame(lines_window)->Close();
    });
    d.WaitFor("closed and reported", [] {
        return !ui::LineWindowExists(lines_window) &&
               std::count(line_events.begin(), line_events.end(),
                          std::to_string(lines_window) + " closed") == 1;
    });
    d.Settle();
    d.Do("hand the events back", [] { ui::SetEventSink(program); });
}

} // namespace

const std::vector<Scenario>& PlatformScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"dialog_and_image_windows", DialogAndImageWindows}, {"line_window", LineWindow}};
    return scenarios;
}

} // namespace gui
