// GUI tests of the desktop program: each case runs one driver scenario under
// a private X server and passes when the driver does. Screenshots of every
// step stay in the build folder under gui-shots/<scenario>/.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

bool Have(const char* program)
{
    std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

bool ToolsMissing(std::string* which)
{
    for (const char* tool : {"xvfb-run", "xdotool", "import"})
        if (!Have(tool)) {
            *which = tool;
            return true;
        }
    return false;
}

std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// Runs a scenario in <build>/gui-shots/<folder>/work; `fresh` empties the
// folder first, `bus` puts the simulator's demo slave at address 1 on COM1
// there for the length of the run.
void RunScenario(const std::string& name, const std::string& folder, bool fresh, bool bus)
{
    fs::path root = fs::path(REGSCOPE_BINARY_DIR) / "gui-shots" / folder;
    if (fresh)
        fs::remove_all(root);
    fs::path work = root / "work";
    fs::create_directories(work);
    fs::path log = root / (name + ".log");
    std::string command = "cd " + Quoted(work) + " || exit 2\n";
    if (bus)
        command += "'" REGSCOPE_SIM "' --folder . --port 1 --slaves 1 --demo >" +
                   Quoted(root / "sim.log") +
                   " 2>&1 &\n"
                   "sim=$!\n"
                   "for i in $(seq 50); do [ -e COM1 ] && break; sleep 0.1; done\n";
    // HOME points into the test folder so that no password or setting of the
    // person running the tests reaches the program. GTK and fontconfig keep
    // caches for the whole process: leak reports would be about them.
    command += "HOME=" + Quoted(work) +
               " ASAN_OPTIONS=detect_leaks=0 timeout 120 xvfb-run -a -s "
               "'-screen 0 1024x768x24' '" REGSCOPE_GUI_DRIVER "' " +
               name + " " + Quoted(root) + " >" + Quoted(log) + " 2>&1\n";
    command += "rc=$?\n";
    if (bus)
        command += "kill $sim 2>/dev/null; wait $sim 2>/dev/null\n";
    command += "exit $rc\n";
    int rc = std::system(command.c_str());
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    if (WIFEXITED(rc) && WEXITSTATUS(rc) == 77)
        GTEST_SKIP() << text.str();
    EXPECT_EQ(rc, 0) << "driver log:\n" << text.str();
}

#define REQUIRE_X_TOOLS()                                                                          \
    do {                                                                                           \
        std::string missing;                                                                       \
        if (ToolsMissing(&missing))                                                                \
            GTEST_SKIP() << missing << " is not installed";                                        \
    } while (0)

void RunScenario(const std::string& name) { RunScenario(name, name, true, false); }
void RunOnBus(const std::string& name) { RunScenario(name, name, true, true); }

} // namespace

TEST(DesktopProgram, FirstStartWarnsThenOpensConfigureModule)
{
    REQUIRE_X_TOOLS();
    RunScenario("first_start");
}

TEST(DesktopProgram, HighlightedMenuItemShowsItsHelp)
{
    REQUIRE_X_TOOLS();
    RunScenario("menu_help");
}

TEST(DesktopProgram, AcceleratorsActEvenInAnEditBox)
{
    REQUIRE_X_TOOLS();
    RunScenario("accelerators");
}

TEST(DesktopProgram, OutOfRangeValueColoursTheBox)
{
    REQUIRE_X_TOOLS();
    RunScenario("error_colour");
}

TEST(DesktopProgram, TestFunctionReadsHoldingRegistersFromTheBus)
{
    REQUIRE_X_TOOLS();
    RunOnBus("read_holding_registers");
}

TEST(DesktopProgram, TestFunctionSendsEveryFunction)
{
    REQUIRE_X_TOOLS();
    RunOnBus("every_function");
}

TEST(DesktopProgram, WindowOpensWhereItWasMoved)
{
    REQUIRE_X_TOOLS();
    RunScenario("window_position", "window_position", true, false);
    if (HasFailure())
        return;
    RunScenario("window_position_restored", "window_position", false, false);
}
