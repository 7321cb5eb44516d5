// The desktop program: the shell and its parts on the wxWidgets backend.
#include <cstdio>

#include "app/shell.h"
#include "platform/ui.h"
#include "programs/parts.h"

int main(int argc, char** argv)
{
    if (!ui::Initialize(argc, argv)) {
        std::fprintf(stderr, "regscope: cannot open the display\n");
        return 1;
    }
    if (!app::StartProgram(programs::AllParts()))
        return 0;
    ui::RunMainWindow();
    return 0;
}
