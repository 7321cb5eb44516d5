// GUI tests of the desktop program: each case runs driver scenarios under a
// private X server and passes when the driver does. Screenshots of every
// step stay in the build folder under gui-shots/<folder>/.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// Runs a scenario in <build>/gui-shots/<folder>/work and returns the
// driver's exit code (77: skipped, also when a tool the driver needs is
// missing). `fresh` empties the folder first. HOME is that folder, so that
// no password or setting of the person running the tests reaches the
// program.
int RunDriver(const std::string& name, const std::string& folder, bool fresh, std::string* log)
{
    fs::path root = fs::path(REGSCOPE_BINARY_DIR) / "gui-shots" / folder;
    if (fresh)
        fs::remove_all(root);
    fs::path work = root / "work";
    fs::create_directories(work);
    fs::path log_path = root / (name + ".log");
    // GTK and fontconfig keep caches for the whole process: leak reports
    // would be about them.
    std::string command = "for t in xvfb-run xdotool import; do command -v $t >/dev/null || "
                          "{ echo \"$t is not installed\" >" +
                          Quoted(log_path) + "; exit 77; }; done\n";
    command += "cd " + Quoted(work) + " && env -u XDG_CONFIG_HOME HOME=" + Quoted(work) +
               " ASAN_OPTIONS=detect_leaks=0 timeout 120 xvfb-run -a -s "
               "'-screen 0 1024x768x24' '" REGSCOPE_GUI_DRIVER "' " +
               name + " " + Quoted(root) + " >" + Quoted(log_path) + " 2>&1";
    int rc = std::system(command.c_str());
    std::ifstream in(log_path);
    std::stringstream text;
    text << in.rdbuf();
    *log = text.str();
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

// One desktop run each: the test's name, the scenario, and the scenario of
// a next start in the same folder.
struct DesktopRun {
    const char* test;
    const char* scenario;
    const char* next = nullptr;
};

const DesktopRun kRuns[] = {
    {"FirstStartWarnsShowsTheWindowAndMenuHelp", "first_start"},
    {"TestFunctionReadsTheBusAndColoursOutOfRangeValues", "read_holding_registers"},
    {"EveryBoxTheMenusOpenThenThePasswordAtTheNextStart", "menu_dialogs", "password_prompt"},
    {"DialogImageAndLineWindowsOfThePlatformAndAMovedWindow", "platform_windows",
     "window_moved_then_closed"},
    {"MonitorFollowsAutoReadAndSavesItsLines", "monitor_auto_read"},
    {"TestModuleIdentifiesAModuleAndReadsItsPanel", "tmodule_identify_read"},
    {"AutoReadShowsOrangeDuringAPassAndYellowAfterIt", "auto_read_colours"},
    {"AnalyzerPlotsSavesWhatTheWindowShowsAndEditsAChannel", "analyzer_plot"},
    {"ScanBusFillsItsBarStopsWithinATryAndListsTheModules", "scan_bus"},
};

void PrintTo(const DesktopRun& run, std::ostream* os) { *os << run.scenario; }

class Desktop : public ::testing::TestWithParam<DesktopRun> {};

TEST_P(Desktop, ScenarioPasses)
{
    const DesktopRun& run = GetParam();
    std::string log;
    int rc = RunDriver(run.scenario, run.scenario, true, &log);
    if (rc == 77)
        GTEST_SKIP() << log;
    ASSERT_EQ(rc, 0) << "driver log:\n" << log;
    if (run.next) {
        EXPECT_EQ(RunDriver(run.next, run.scenario, false, &log), 0) << log;
    }
}

INSTANTIATE_TEST_SUITE_P(DesktopProgram, Desktop, ::testing::ValuesIn(kRuns),
                         [](const ::testing::TestParamInfo<DesktopRun>& run) {
                             return run.param.test;
                         });

} // namespace
