// What the window system told the program, in order, for the platform tests.
#pragma once

#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/ui.h"

namespace platform_test {

inline std::vector<std::string>& Events()
{
    static std::vector<std::string> events;
    return events;
}

inline const char* NameOf(ui::Notify how)
{
    switch (how) {
    case ui::Notify::Menu: return "menu";
    case ui::Notify::Click: return "click";
    case ui::Notify::FocusIn: return "in";
    case ui::Notify::FocusOut: return "out";
    case ui::Notify::Change: return "change";
    }
    return "?";
}

// A fresh headless main window whose events are written to Events() as
// "<id> <how>", "tick", "closed <window>" and, for line windows,
// "lines <window> command <command>", "lines <window> refresh" and
// "lines <window> closed".
inline void OpenMainWindow()
{
    headless::Reset();
    Events().clear();
    ui::EventSink sink;
    sink.on_command = [](int id, ui::Notify how) {
        Events().push_back(std::to_string(id) + " " + NameOf(how));
    };
    sink.on_timer = [] { Events().push_back("tick"); };
    sink.on_window_command = [](int window, int command) {
        Events().push_back(std::to_string(window) + " command " + std::to_string(command));
    };
    sink.on_window_refresh = [](int window) {
        Events().push_back(std::to_string(window) + " refresh");
    };
    sink.on_window_closed = [](int window) {
        Events().push_back("closed " + std::to_string(window));
    };
    ui::SetEventSink(sink);
    ui::CreateMainWindow("Main", 0, 0, 400, 280, {{"&File", 0, {{"E&xit", 1001, {}}}}},
                         {{'X', 1001}});
}

} // namespace platform_test
