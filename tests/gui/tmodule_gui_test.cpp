// The desktop program's Test module tool under a private X server, with the
// simulated module inside the driver.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

bool Have(const char* program)
{
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(DesktopTestModule, IdentifiesAModuleAndReadsItsPanel)
{
    for (const char* tool : {"xvfb-run", "xdotool", "import"})
        if (!Have(tool))
            GTEST_SKIP() << tool << " is not installed";
    fs::path root = fs::path(REGSCOPE_BINARY_DIR) / "gui-shots" / "tmodule_identify_read";
    fs::remove_all(root);
    fs::path work = root / "work";
    fs::create_directories(work);
    fs::path log = root / "driver.log";
    std::string command = "cd '" + work.string() + "' && HOME='" + work.string() +
                          "' ASAN_OPTIONS=detect_leaks=0 timeout 120 xvfb-run -a -s "
                          "'-screen 0 1024x768x24' '" REGSCOPE_TMODULE_GUI_DRIVER
                          "' tmodule_identify_read '" +
                          root.string() + "' >'" + log.string() + "' 2>&1";
    int rc = std::system(command.c_str());
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(rc, 0) << "driver log:\n" << text.str();
}

} // namespace
