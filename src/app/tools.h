// The four tools as the shell sees them: it opens, closes, routes commands
// and ticks through this table, which the program hands to StartProgram.
#pragma once

#include <array>

#include "app/control_ids.h"

namespace app {

struct Tool {
    const char* word; // value of TOOL in RegScope.ini
    void (*open)();
    void (*close)();
    void (*command)(int id);
    void (*tick)(); // nullptr: the tool has no Auto Read
    // Control identifiers whose notifications go to the tool.
    IdRange ranges[2];
};

// In the order of the Tools menu: CurrentTool 1..4.
using ToolSet = std::array<Tool, 4>;

} // namespace app
