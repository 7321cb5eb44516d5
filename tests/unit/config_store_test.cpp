#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/config_store.h"
#include "config_test_dir.h"
#include "platform/headless/headless.h"
#include "platform/system.h"

using ConfigStore = ConfigDir;

TEST_F(ConfigStore, KeysAndValuesAreTakenLiterally)
{
    Put("t.cfg", "[KEY=1]\r\nKEY=2\r\nA=b=c\r\nTOOL =X\r\ntool=Y\r\nTOOL=Z\r\nCFG_FILE=\r\n"
                 "DUP=first\r\nDUP=second\r\nno equals\r\n\r\n SPACE= v \r\n");
    const std::string p = Path("t.cfg");
    EXPECT_EQ(app::ReadConfigKey(p, "KEY"), "2");
    EXPECT_EQ(app::ReadConfigKey(p, "A"), "b=c");
    EXPECT_EQ(app::ReadConfigKey(p, "TOOL"), "Z");
    EXPECT_EQ(app::ReadConfigKey(p, "TOOL "), "X");
    EXPECT_EQ(app::ReadConfigKey(p, "CFG_FILE"), "");
    EXPECT_EQ(app::ReadConfigKey(p, "DUP"), "first");
    EXPECT_EQ(app::ReadConfigKey(p, " SPACE"), " v ");

    app::WriteConfigKey(p, "DUP", "a=b");
    EXPECT_EQ(Get("t.cfg"),
              "[KEY=1]\r\nKEY=2\r\nA=b=c\r\nTOOL =X\r\ntool=Y\r\nTOOL=Z\r\nCFG_FILE=\r\n"
              "DUP=a=b\r\nDUP=second\r\nno equals\r\n\r\n SPACE= v \r\n");
    EXPECT_TRUE(headless::MessagesShown().empty());
}

TEST_F(ConfigStore, AnOptionalKeyIsAddedAfterItsNeighbourAndNothingResets)
{
    Put("t.cfg", "[S]\r\nCH01_PLOT_WIDTH=3\r\n\r\n[T]\r\nX=1\r\n");
    const std::string p = Path("t.cfg");
    app::WriteOptionalConfigKey(p, "CH01_DATA", "FLOAT32", "CH01_PLOT_WIDTH");
    app::WriteOptionalConfigKey(p, "LAST", "1", "NO_SUCH_KEY");
    app::WriteOptionalConfigKey(p, "CH01_DATA", "INT32", "CH01_PLOT_WIDTH");
    EXPECT_EQ(Get("t.cfg"), "[S]\r\nCH01_PLOT_WIDTH=3\r\nCH01_DATA=INT32\r\n\r\n[T]\r\nX=1\r\n"
                            "LAST=1\r\n");
    std::string value;
    EXPECT_FALSE(app::FindConfigKey(p, "CH02_DATA", &value));
    EXPECT_TRUE(headless::MessagesShown().empty());
}

TEST_F(ConfigStore, ReadsEveryLineEndAndRewritesWithCrLfLineByLine)
{
    // CR LF, bare CR, bare LF, LF CR (an LF line then an empty one), no end.
    Put("t.cfg", "A=1\r\nB=2\rC=3\nD=4\n\rE=5");
    const std::string p = Path("t.cfg");
    for (const char* k : {"A", "B", "C", "D", "E"})
        EXPECT_EQ(app::ReadConfigKey(p, k), std::to_string(k[0] - 'A' + 1));
    app::WriteConfigKey(p, "C", "30");
    EXPECT_EQ(Get("t.cfg"), "A=1\r\nB=2\r\nC=30\r\nD=4\r\n\r\nE=5\r\n");
    // A line break in a value cannot add lines.
    app::WriteConfigKey(p, "A", "x\r\nB=evil");
    EXPECT_EQ(Get("t.cfg"), "A=x  B=evil\r\nB=2\r\nC=30\r\nD=4\r\n\r\nE=5\r\n");
    EXPECT_EQ(app::ReadConfigKey(p, "B"), "2");
}

TEST_F(ConfigStore, SameValueDoesNotTouchTheFile)
{
    const std::string content = "A=1\nB=\n"; // a rewrite would change the line ends
    Put("t.cfg", content);
    struct stat before = {}, after = {};
    ASSERT_EQ(stat(Path("t.cfg").c_str(), &before), 0);
    usleep(20000);
    app::WriteConfigKey(Path("t.cfg"), "A", "1");
    app::WriteConfigKey(Path("t.cfg"), "B", "");
    ASSERT_EQ(stat(Path("t.cfg").c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
    EXPECT_EQ(Get("t.cfg"), content);
}

TEST_F(ConfigStore, LongLinesAndLongFilesSurviveARewrite)
{
    std::string content, expected;
    for (int i = 0; i < 4000; ++i) {
        std::string line = "K" + std::to_string(i) + "=" + std::string(i % 7 ? 5 : 1000, 'v');
        content += line + "\r\n";
        expected += (i == 3999 ? "K3999=new" : line) + "\r\n";
    }
    Put("t.cfg", content);
    app::WriteConfigKey(Path("t.cfg"), "K3999", "new");
    EXPECT_EQ(Get("t.cfg"), expected);
}

TEST_F(ConfigStore, EveryReadSeesAnEditByAnotherProgramOfTheSameSizeInTheSameSecond)
{
    Put("t.cfg", "A=0\r\nB=x\r\n");
    const std::string p = Path("t.cfg");
    for (int round = 1; round <= 9; ++round) {
        const std::string before = std::to_string(round - 1);
        EXPECT_EQ(app::ReadConfigKey(p, "A"), before);
        usleep(15000); // the file settles: its parsed content is reused
        EXPECT_EQ(app::ReadConfigKey(p, "A"), before);
        struct stat st = {};
        ASSERT_EQ(stat(p.c_str(), &st), 0);
        // An editor in another process: same size, written in place (and
        // in one round out of three the old modification time put back), or
        // a new file renamed over the old one, which the next round then
        // edits in place.
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const std::string line = "A=" + std::to_string(round);
            if (round % 3 == 2) {
                std::ofstream(p + ".new", std::ios::binary) << line << "\r\nB=x\r\n";
                _exit(rename((p + ".new").c_str(), p.c_str()) == 0 ? 0 : 1);
            }
            const int fd = open(p.c_str(), O_WRONLY);
            const timespec times[2] = {st.st_atim, st.st_mtim};
            const bool ok = fd >= 0 && pwrite(fd, line.data(), line.size(), 0) == 3 &&
                            (round % 3 == 0 || futimens(fd, times) == 0);
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(app::ReadConfigKey(p, "A"), std::to_string(round)) << "round " << round;
    }
    EXPECT_EQ(app::ReadConfigKey(p, "B"), "x");
}

// --- Writes that fail ------------------------------------------------------

namespace {

const std::string kOld = "A=1\r\nB=2\r\n";

// The call returned, the old file stayed byte for byte and one stop box
// named the file.
bool FailedCleanly(const std::string& path)
{
    app::WriteConfigKey(path, "A", "2");
    std::string now;
    return sys::ReadFile(path, &now, nullptr) && now == kOld &&
           Boxes().rfind("stop Configuration write: ", 0) == 0 &&
           Boxes().find(path) != std::string::npos && headless::MessagesShown().size() == 1;
}

// Root ignores permission bits, so the write runs in a child that gives up
// root first and reports through its exit code.
[[noreturn]] void WriteAsUser(const std::string& folder, const std::string& path)
{
    if (geteuid() == 0 &&
        (chown(folder.c_str(), 65534, 65534) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
        _exit(10);
    _exit(FailedCleanly(path) ? 0 : 11);
}

} // namespace

TEST_F(ConfigStore, FailedWriteLeavesOldFileAndGoesOn)
{
    Put("t.cfg", kOld);
    ASSERT_EQ(chmod(Path("t.cfg").c_str(), 0444), 0);
    EXPECT_EXIT(WriteAsUser(dir_, Path("t.cfg")), ::testing::ExitedWithCode(0), "") << "file";
    ASSERT_EQ(chmod(Path("t.cfg").c_str(), 0644), 0);
    ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);
    EXPECT_EXIT(WriteAsUser(dir_, Path("t.cfg")), ::testing::ExitedWithCode(0), "") << "folder";

    ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
    LimitFileSize(5); // full disk
    EXPECT_TRUE(FailedCleanly(Path("t.cfg")));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}
