// The GUI test driver: the desktop program's own start-up and main loop with
// a scripted user. Usage: regscope_gui_driver <scenario> <screenshot folder>,
// started in the folder the program is to use, under an X server.
#include <wx/image.h>

#include <cstdio>
#include <cstring>

#include "app/shell.h"
#include "tools/tool_set.h"
#include "driver.h"
#include "platform/ui.h"
#include "scenarios.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <scenario> <screenshot folder>\n", argv[0]);
        return 2;
    }
    const gui::Scenario* scenario = gui::FindScenario(argv[1]);
    if (!scenario) {
        std::fprintf(stderr, "no scenario %s\n", argv[1]);
        return 2;
    }
    int wx_argc = 1;
    if (!ui::Initialize(wx_argc, argv))
        return 77;
    wxImage::AddHandler(new wxPNGHandler);
    gui::Driver driver(argv[2]);
    scenario->build(driver);
    driver.Start();
    if (!app::StartProgram(tools::All())) {
        std::fprintf(stderr, "the program refused to start\n");
        return 3;
    }
    ui::RunMainWindow();
    return driver.Passed() ? 0 : 1;
}
