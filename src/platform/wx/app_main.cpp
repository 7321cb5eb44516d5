// The desktop program: the shell on the wxWidgets backend.
#include <cstdio>

#include "app/shell.h"
#include "tools/tool_set.h"
#include "platform/ui.h"

int main(int argc, char** argv)
{
    if (!ui::Initialize(argc, argv)) {
        std::fprintf(stderr, "regscope: cannot open the display\n");
        return 1;
    }
    if (!app::StartProgram(tools::All()))
        return 0;
    ui::RunMainWindow();
    return 0;
}
