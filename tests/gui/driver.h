// A scripted user for the real desktop program running under Xvfb. The
// driver runs the program's own start-up and main loop in-process, sends real
// key presses and clicks through the X server (xdotool), and checks what the
// window shows through the platform API, wx and screenshots.
#pragma once

#include <wx/image.h>
#include <wx/window.h>

class wxDialog;
class wxFrame;

#include <functional>
#include <string>
#include <vector>

namespace gui {

class Driver {
public:
    // Screenshots go to shot_dir as NN-name.png.
    explicit Driver(std::string shot_dir);

    // Steps run one after the other from a timer, also while a modal box is
    // open: each waits until its condition holds (or fails after timeout_s),
    // then acts.
    void Step(const std::string& name, std::function<bool()> ready, std::function<void()> act,
              double timeout_s = 10);
    void Do(const std::string& name, std::function<void()> act) { Step(name, nullptr, act); }
    void WaitFor(const std::string& name, std::function<bool()> ready, double timeout_s = 10)
    {
        Step(name, ready, nullptr, timeout_s);
    }
    // Lets the program handle what the last action caused.
    void Settle(double seconds = 0.5);

    void Start();
    bool Passed() const { return failures_ == 0 && done_; }

    // --- Checks: a failed check is reported and counted; the script goes on.
    void Check(bool ok, const std::string& what);
    void CheckEqual(const std::string& got, const std::string& want, const std::string& what);

    // --- The user, through the X server
    static void Run(const std::string& command); // a shell command, e.g. xdotool
    static void Keys(const std::string& keys);   // xdotool key names: "ctrl+c Return"
    static void Type(const std::string& text);
    static void Click(wxWindow* w);
    // Steps on the program's controls, found by identifier, once they are
    // on the screen: a click, and
    // replacing the text of a box as a user does (click into it, select all,
    // delete, type) until the box shows it.
    void Press(int id);
    void Fill(int id, const std::string& text);

    // --- What the screen shows
    // Saves a screenshot of the whole screen and returns it. `let_paint`
    // first lets the program handle everything pending, idle time included;
    // without it the picture is what a user sees while the program is busy.
    wxImage Shot(const std::string& name, bool let_paint = true);
    static wxColour PixelOf(const wxImage& shot, wxWindow* w, int dx, int dy);

private:
    void Tick();
    void Fail(const std::string& why);

    struct Entry {
        std::string name;
        std::function<bool()> ready;
        std::function<void()> act;
        double timeout_s;
    };
    std::vector<Entry> steps_;
    size_t next_ = 0;
    double waiting_since_ = -1;
    double pause_until_ = 0;
    bool busy_ = false;
    bool done_ = false;
    int failures_ = 0;
    int shots_ = 0;
    std::string shot_dir_;
};

// --- Finding the program's windows
wxFrame* MainFrame();
// The window of the program's control `id`, nullptr when none.
wxWindow* ControlWindow(int id);
// The window is on the screen where wx placed it, ready for a click.
bool OnScreen(wxWindow* w);
// The modal box on screen, nullptr when none.
wxDialog* ModalBox();

} // namespace gui
