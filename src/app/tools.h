// The parts of a program as the shell sees them: the five tools, which it
// opens, closes, routes commands and ticks to, and the windows beside them
// (the communication monitor), which a menu command opens over any tool.
// The program hands the shell this table at StartProgram, so the shell
// itself names none of them.
#pragma once

#include <array>
#include <vector>

#include "app/control_ids.h"

namespace app {

// What the window system reports about a window a part opened beside the
// main window (an image or a line window). Every part hears of every such
// window and ignores those that are not its own; nullptr: nothing to hear.
struct WindowHandlers {
    void (*command)(int window, int command) = nullptr; // a button of the window
    void (*refresh)(int window) = nullptr;              // its refresh period came round
    void (*closed)(int window) = nullptr;               // the user closed it; it is gone
};

struct Tool {
    const char* word; // value of TOOL in RegScope.ini
    void (*open)();
    void (*close)();
    void (*command)(int id);
    void (*tick)(); // nullptr: the tool has no Auto Read
    // Control identifiers whose notifications go to the tool.
    IdRange ranges[2];
    // Windows of a tool may outlive its panel, so they report here whichever
    // tool is open.
    WindowHandlers windows;
};

// In the order of the Tools menu: CurrentTool 1..5.
using ToolSet = std::array<Tool, 5>;

// A part that is no tool: its menu command opens its window beside
// whichever tool is open.
struct Companion {
    int menu_command;
    void (*open)();
    WindowHandlers windows;
};

struct Parts {
    ToolSet tools;
    std::vector<Companion> companions;
};

} // namespace app
