// The GUI test driver: the desktop program's own start-up and main loop with
// a scripted user. Usage: regscope_gui_driver <scenario> <screenshot folder>,
// started in the folder the program is to use, under an X server.
#include <wx/debug.h>
#include <wx/image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/shell.h"
#include "driver.h"
#include "platform/ui.h"
#include "programs/parts.h"
#include "scenarios.h"

namespace {

// Any wx assertion is a fault of the program: the default handler's dialog
// would let a test continue (or stop it with SIGTRAP) instead of failing.
void FailOnAssertion(const wxString& file, int line, const wxString& function,
                     const wxString& condition, const wxString& message)
{
    std::fprintf(stderr, "FAILED: wx assertion \"%s\" (%s) in %s at %s:%d\n",
                 message.utf8_string().c_str(), condition.utf8_string().c_str(),
                 function.utf8_string().c_str(), file.utf8_string().c_str(), line);
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <scenario> <screenshot folder>\n", argv[0]);
        return 2;
    }
    gui::Build scenario = gui::FindScenario(argv[1]);
    if (!scenario) {
        std::fprintf(stderr, "no scenario %s\n", argv[1]);
        return 2;
    }
    int wx_argc = 1;
    if (!ui::Initialize(wx_argc, argv))
        return 77;
    wxSetAssertHandler(FailOnAssertion);
    wxImage::AddHandler(new wxPNGHandler);
    gui::Driver driver(argv[2]);
    scenario(driver);
    driver.Start();
    if (!app::StartProgram(programs::AllParts())) {
        std::fprintf(stderr, "the program refused to start\n");
        return 3;
    }
    ui::RunMainWindow();
    return driver.Passed() ? 0 : 1;
}
