// The desktop program: the shell and its parts on the wxWidgets backend.
//
// The program has no options for its users. Its desktop entry passes
// --desktop-entry: started from the menu, the program keeps its files in
// its per-user folder instead of the home folder the menu starts it in.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/shell.h"
#include "platform/start_folder.h"
#include "platform/ui.h"
#include "programs/parts.h"

int main(int argc, char** argv)
{
    const bool from_menu = argc > 1 && std::strcmp(argv[1], "--desktop-entry") == 0;
    if (from_menu) {
        argv[1] = argv[0];
        --argc;
        ++argv;
    }
    if (!ui::Initialize(argc, argv)) {
        std::fprintf(stderr, "regscope: cannot open the display\n");
        return 1;
    }
    std::string folder, error;
    if (from_menu && !sys::EnterUserProgramFolder(&folder, &error)) {
        ui::MessageBox("Folder " + folder + " not usable: " + error, "RegScope", ui::Icon::Stop,
                       ui::Buttons::Ok);
        return 1;
    }
    if (!app::StartProgram(programs::AllParts()))
        return 0;
    ui::RunMainWindow();
    return 0;
}
