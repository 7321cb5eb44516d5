// The scripted user of the GUI tests: steps on a timer, input through
// xdotool, screenshots through ImageMagick's import.
#include "driver.h"

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>

#include "platform/system.h"
#include "platform/ui.h"
#include "platform/wx/wx_backend.h"

namespace gui {

namespace {

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

} // namespace

Driver::Driver(std::string shot_dir) : shot_dir_(std::move(shot_dir)) {}

void Driver::Step(const std::string& name, std::function<bool()> ready, std::function<void()> act,
                  double timeout_s)
{
    steps_.push_back({name, std::move(ready), std::move(act), timeout_s});
}

void Driver::Settle(double seconds)
{
    Do("settle", [this, seconds] { pause_until_ = sys::MonotonicSeconds() + seconds; });
}

void Driver::Start()
{
    // The timer lives as long as the process: it must keep running inside
    // the modal loops of message boxes and after the main window is gone.
    auto* timer = new wxTimer;
    timer->Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
    timer->Start(50);
}

void Driver::Tick()
{
    if (busy_ || done_ || sys::MonotonicSeconds() < pause_until_)
        return;
    busy_ = true;
    if (next_ < steps_.size()) {
        Entry& step = steps_[next_];
        double now = sys::MonotonicSeconds();
        if (waiting_since_ < 0)
            waiting_since_ = now;
        if (!step.ready || step.ready()) {
            std::fprintf(stderr, "step: %s\n", step.name.c_str());
            waiting_since_ = -1;
            ++next_;
            if (step.act)
                step.act();
        } else if (now - waiting_since_ > step.timeout_s) {
            Fail("timed out waiting: " + step.name);
        }
    }
    if (next_ >= steps_.size() && !done_) {
        done_ = true;
        if (ModalBox())
            Fail("a modal box is still open at the end");
        ui::CloseMainWindow();
    }
    busy_ = false;
}

void Driver::Fail(const std::string& why)
{
    std::fprintf(stderr, "FAILED: %s\n", why.c_str());
    Shot("failure");
    // A modal box may hold the loop: end here, the report is written.
    std::fflush(stderr);
    std::_Exit(1);
}

void Driver::Check(bool ok, const std::string& what)
{
    if (ok)
        return;
    ++failures_;
    std::fprintf(stderr, "CHECK FAILED: %s\n", what.c_str());
}

void Driver::CheckEqual(const std::string& got, const std::string& want, const std::string& what)
{
    Check(got == want, what + ": got \"" + got + "\", want \"" + want + "\"");
}

void Driver::Run(const std::string& command)
{
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "command failed: %s\n", command.c_str());
}

void Driver::Keys(const std::string& keys) { Run("xdotool key --delay 25 " + keys); }

void Driver::Type(const std::string& text) { Run("xdotool type --delay 25 " + Quote(text)); }

void Driver::Click(wxWindow* w)
{
    wxPoint p = w->GetScreenPosition();
    wxSize s = w->GetSize();
    Run("xdotool mousemove " + std::to_string(p.x + s.x / 2) + " " + std::to_string(p.y + s.y / 2) +
        " click 1");
}

bool OnScreen(wxWindow* w)
{
    if (!w || !w->IsShownOnScreen() || ui::MainWindowFrozen())
        return false;
    // Mapped and given its room by GTK: a click before that misses it.
    auto* widget = static_cast<GtkWidget*>(w->GetHandle());
    GtkAllocation room;
    if (widget)
        gtk_widget_get_allocation(widget, &room);
    return widget && gtk_widget_get_mapped(widget) && room.width == w->GetSize().x &&
           room.height == w->GetSize().y;
}

void Driver::Press(int id)
{
    Step(
        "press " + std::to_string(id), [id] { return OnScreen(ControlWindow(id)); },
        [id] { Click(ControlWindow(id)); });
}

void Driver::Fill(int id, const std::string& text)
{
    Step(
        "fill " + std::to_string(id) + " with " + text,
        [id] { return OnScreen(ControlWindow(id)); },
        [id, text] {
            auto* box = dynamic_cast<wxTextCtrl*>(ControlWindow(id));
            Click(ControlWindow(id));
            // Ctrl+A would be the program's accelerator, not select-all.
            Keys(box && box->IsMultiLine() ? "ctrl+Home ctrl+shift+End Delete"
                                           : "Home shift+End Delete");
            Type(text);
        });
    WaitFor("box " + std::to_string(id) + " shows " + text,
            [id, text] { return ui::GetText(id) == text; });
}

wxImage Driver::Shot(const std::string& name, bool let_paint)
{
    // Let the program paint what it has been told before the picture.
    for (int i = 0; let_paint && i < 5; ++i) {
        wxTheApp->Yield(true);
        sys::SleepSeconds(0.05);
    }
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%02d-", ++shots_);
    std::string path = shot_dir_ + "/" + prefix + name + ".png";
    Run("import -window root " + Quote(path));
    wxImage image;
    image.LoadFile(path, wxBITMAP_TYPE_PNG);
    return image;
}

wxColour Driver::PixelOf(const wxImage& shot, wxWindow* w, int dx, int dy)
{
    wxPoint p = w->GetScreenPosition() + wxPoint(dx, dy);
    if (!shot.IsOk() || p.x < 0 || p.y < 0 || p.x >= shot.GetWidth() || p.y >= shot.GetHeight())
        return wxColour();
    return wxColour(shot.GetRed(p.x, p.y), shot.GetGreen(p.x, p.y), shot.GetBlue(p.x, p.y));
}

wxFrame* MainFrame()
{
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* f = dynamic_cast<wxFrame*>(w); f && f->IsShown())
            return f;
    return nullptr;
}

wxWindow* ControlWindow(int id) { return wxb::WindowOf(id); }

wxDialog* ModalBox()
{
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* d = dynamic_cast<wxDialog*>(w); d && d->IsShown() && d->IsModal())
            return d;
    return nullptr;
}

} // namespace gui
