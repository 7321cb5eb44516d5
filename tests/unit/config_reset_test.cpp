#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "app/config_store.h"
#include "config_test_dir.h"
#include "platform/headless/headless.h"
#include "platform/system.h"

namespace {

using ConfigReset = ConfigDir;

// The written file, with the working folder written as "<DIR>", against
// the committed golden file of the same name: empty when they agree, else
// both texts (the test's own diff shows where they part).
std::string DiffFromGolden(const std::string& path, const std::string& dir,
                           const std::string& golden_name)
{
    std::string text, golden;
    sys::ReadFile(path, &text, nullptr);
    sys::ReadFile(REGSCOPE_SOURCE_DIR "/tests/unit/golden/" + golden_name, &golden, nullptr);
    for (size_t p; (p = text.find(dir)) != std::string::npos;)
        text.replace(p, dir.size(), "<DIR>");
    return text == golden ? "" : golden_name + " written:\n" + text + "\nexpected:\n" + golden;
}

std::string CreatedBox(const std::string& dir, const std::string& kept = "")
{
    return "exclamation Configuration file verify: Ini file not found or not updated:\r\r" + dir +
           "/RegScope.ini\r\rDefault .INI and .CFG files have been created..." + kept + "\n";
}

} // namespace

TEST_F(ConfigReset, DefaultFilesAreByteExact)
{
    app::CreateDefaultFiles();
    EXPECT_EQ(DiffFromGolden(Path("RegScope.ini"), dir_, "RegScope.ini"), "");
    EXPECT_EQ(DiffFromGolden(Path("RegScope.cfg"), dir_, "RegScope.cfg"), "");

    EXPECT_EQ(Boxes(), CreatedBox(dir_));
    EXPECT_EQ(headless::MessagesShown()[0].buttons, ui::Buttons::Ok);
    EXPECT_FALSE(sys::PathExists(Path("RegScope.ini.bak")));
}

TEST_F(ConfigReset, ReplacedFilesAreKeptWithoutOverwritingEarlierCopies)
{
    Put("RegScope.ini", "MINE=1\r\n");
    Put("RegScope.ini.bak", "older\r\n");
    Put("RegScope.cfg", "SERIAL_PORT=4\r\n");
    app::CreateDefaultFiles();
    EXPECT_EQ(DiffFromGolden(Path("RegScope.ini"), dir_, "RegScope.ini"), "");
    EXPECT_EQ(Get("RegScope.ini.bak"), "older\r\n");
    EXPECT_EQ(Get("RegScope.ini.bak2"), "MINE=1\r\n");
    EXPECT_EQ(Get("RegScope.cfg.bak"), "SERIAL_PORT=4\r\n");
    EXPECT_EQ(Boxes(), CreatedBox(dir_, "\rPrevious RegScope.ini kept as RegScope.ini.bak2, "
                                        "RegScope.cfg kept as RegScope.cfg.bak"));

    // Files already holding the defaults lose nothing and need no copy.
    headless::ClearMessages();
    app::WriteConfigKey(Path("RegScope.cfg"), "SERIAL_PORT", "2");
    app::CreateDefaultFiles();
    EXPECT_FALSE(sys::PathExists(Path("RegScope.ini.bak3")));
    EXPECT_TRUE(sys::PathExists(Path("RegScope.cfg.bak2")));
    EXPECT_EQ(app::ReadConfigKey(Path("RegScope.cfg.bak2"), "SERIAL_PORT"), "2");
    EXPECT_EQ(Boxes(), CreatedBox(dir_, "\rPrevious RegScope.cfg kept as RegScope.cfg.bak2"));
}

TEST_F(ConfigReset, NoDefaultsWhenTheOldFileCannotBeKept)
{
    const std::string mine = "MINE=" + std::string(4000, 'x') + "\r\n";
    Put("RegScope.ini", "MINE=1\r\n");
    Put("RegScope.cfg", mine);
    LimitFileSize(1000); // the copy fails as on a full disk
    app::CreateDefaultFiles();
    EXPECT_EQ(Get("RegScope.ini"), "MINE=1\r\n");
    EXPECT_EQ(Get("RegScope.cfg"), mine);
    EXPECT_EQ(Boxes().rfind("stop Configuration file verify: ", 0), 0u) << Boxes();
    EXPECT_NE(Boxes().find(Path("RegScope.cfg")), std::string::npos) << Boxes();
}

// --- Missing file or key: message, defaults, exit code 1 ------------------

namespace {

// What the exit hook checks in the death-test child just before it ends.
std::string folder, expect_text, expect_title;

void CheckReset(int code)
{
    std::string kept, other;
    bool ok =
        code == 1 &&
        Boxes() == "stop " + expect_title + ": " + expect_text + "\n" +
                       CreatedBox(folder, "\rPrevious RegScope.cfg kept as RegScope.cfg.bak") &&
        DiffFromGolden(folder + "/RegScope.ini", folder, "RegScope.ini").empty() &&
        DiffFromGolden(folder + "/RegScope.cfg", folder, "RegScope.cfg").empty() &&
        sys::ReadFile(folder + "/RegScope.cfg.bak", &kept, nullptr) &&
        kept == "SERIAL_PORT=3\r\n" && sys::ReadFile(folder + "/sub/tool.cfg", &other, nullptr) &&
        other == "MODULE_SLAVE=5\r\n";
    if (!ok) {
        std::fprintf(stderr, "%s", Boxes().c_str());
        _exit(2);
    }
}

} // namespace

TEST_F(ConfigReset, MissingFileOrKeyResetsAndEnds)
{
    folder = dir_;
    ASSERT_EQ(mkdir(Path("sub").c_str(), 0700), 0);
    ASSERT_EQ(mkdir(Path("sub/dir.cfg").c_str(), 0700), 0);
    Put("sub/tool.cfg", "MODULE_SLAVE=5\r\n");
    sys::SetExitHook(CheckReset);

    const std::string none = Path("sub/none.cfg"), dir = Path("sub/dir.cfg");
    const struct {
        bool write;
        std::string path, key, text;
    } cases[] = {
        {false, Path("RegScope.cfg"), "TIMEOUT", "Item TIMEOUT not found"},
        {true, none, "A", "File " + none + " not found"},
        {true, dir, "A", "File " + dir + " not found"}, // only regular files count
    };
    for (const auto& c : cases) {
        Put("RegScope.cfg", "SERIAL_PORT=3\r\n");
        std::remove(Path("RegScope.cfg.bak").c_str());
        expect_text = c.text;
        expect_title = c.write ? "Configuration write" : "Configuration read";
        if (c.write)
            EXPECT_EXIT(app::WriteConfigKey(c.path, c.key, "1"), ::testing::ExitedWithCode(1), "")
                << c.text;
        else
            EXPECT_EXIT(app::ReadConfigKey(c.path, c.key), ::testing::ExitedWithCode(1), "")
                << c.text;
    }
}
