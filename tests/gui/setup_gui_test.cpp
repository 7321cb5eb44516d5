// GUI tests of the Setup menu and of the start-up password: each case runs
// driver scenarios under a private X server. Screenshots stay in the build
// folder under gui-shots/<folder>/.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

bool ToolsPresent()
{
    for (const char* tool : {"xvfb-run", "xdotool", "import"}) {
        std::string command = std::string("command -v ") + tool + " >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return false;
    }
    return true;
}

// Runs a scenario in <build>/gui-shots/<folder>/work and returns the
// driver's exit code. HOME is that folder, so the password store is the
// test's own; XDG_CONFIG_HOME would override it and is removed.
int RunDriver(const std::string& name, const std::string& folder, bool fresh, std::string* log)
{
    fs::path root = fs::path(REGSCOPE_BINARY_DIR) / "gui-shots" / folder;
    if (fresh)
        fs::remove_all(root);
    fs::path work = root / "work";
    fs::create_directories(work);
    fs::path log_path = root / (name + ".log");
    std::string command = "cd '" + work.string() + "' && env -u XDG_CONFIG_HOME HOME='" +
                          work.string() +
                          "' ASAN_OPTIONS=detect_leaks=0 timeout 120 xvfb-run -a -s "
                          "'-screen 0 1024x768x24' '" REGSCOPE_GUI_DRIVER "' " +
                          name + " '" + root.string() + "' >'" + log_path.string() + "' 2>&1";
    int rc = std::system(command.c_str());
    std::ifstream in(log_path);
    std::stringstream text;
    text << in.rdbuf();
    *log = text.str();
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

#define REQUIRE_X_TOOLS()                                                                          \
    do {                                                                                           \
        if (!ToolsPresent())                                                                       \
            GTEST_SKIP() << "xvfb-run, xdotool or import is not installed";                        \
    } while (0)

TEST(SetupMenuGui, BaudrateRefusedThenStored)
{
    REQUIRE_X_TOOLS();
    std::string log;
    EXPECT_EQ(RunDriver("setup_baudrate", "setup_baudrate", true, &log), 0) << log;
}

TEST(PasswordGui, AskedAtTheNextStartBeforeAnyWindow)
{
    REQUIRE_X_TOOLS();
    std::string log;
    ASSERT_EQ(RunDriver("set_password", "password", true, &log), 0) << log;
    EXPECT_EQ(RunDriver("password_prompt", "password", false, &log), 0) << log;
    // A wrong answer: the program ends without its window (the driver's
    // "refused to start").
    EXPECT_EQ(RunDriver("password_refused", "password", false, &log), 3) << log;
}

} // namespace
