// A rewritten file stays the same file: owner, group, mode and hard links
// survive, a writable file in a folder that cannot be written is still
// saved, a killed writer never leaves half a file, and its leftovers are
// removed at the next start while a live writer's file is kept.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/config_store.h"
#include "config_test_dir.h"
#include "platform/headless/headless.h"
#include "platform/system.h"
#include "programs/parts.h"

namespace {

using FileIdentity = ConfigDir;

struct stat StatOf(const std::string& path)
{
    struct stat st = {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st;
}

// The write succeeded without a word.
bool WrittenQuietly(const std::string& path, const std::string& value)
{
    app::WriteConfigKey(path, "A", value);
    std::string now;
    return headless::MessagesShown().empty() && sys::ReadFile(path, &now, nullptr) &&
           now == "A=" + value + "\r\n";
}

size_t EntriesIn(const std::string& folder)
{
    return size_t(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// Kills a child that calls write(i) for i = 0, 1, ... at a different moment
// each round, then checks what the kill left.
template <class Write, class Check>
void KillWhileWriting(int rounds, const Write& write, const Check& check)
{
    for (int round = 0; round < rounds; ++round) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                write(i);
        }
        usleep(useconds_t(1000 + (round * 7919) % 20000));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        SCOPED_TRACE("round " + std::to_string(round));
        check();
    }
}

TEST_F(FileIdentity, RootSavingInAUsersFolderLeavesTheFileToTheUser)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to hand files to another user";
    Put("RegScope.ini", "A=1\r\n");
    ASSERT_EQ(chown(dir_.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chown(Path("RegScope.ini").c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chmod(Path("RegScope.ini").c_str(), 0640), 0);

    ASSERT_TRUE(WrittenQuietly(Path("RegScope.ini"), "root"));
    struct stat st = StatOf(Path("RegScope.ini"));
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_gid, kNobody);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    EXPECT_EXIT((BecomeUser(), _exit(WrittenQuietly(Path("RegScope.ini"), "user") ? 0 : 11)),
                ::testing::ExitedWithCode(0), "")
        << "the user can still save settings";
}

TEST_F(FileIdentity, ALinkedFileStaysLinkedAndWholeOnAFullDisk)
{
    Put("RegScope.cfg", "A=1\r\n");
    ASSERT_EQ(link(Path("RegScope.cfg").c_str(), Path("shared.cfg").c_str()), 0);
    const ino_t inode = StatOf(Path("RegScope.cfg")).st_ino;

    ASSERT_TRUE(WrittenQuietly(Path("RegScope.cfg"), "a much longer value than before"));
    ASSERT_TRUE(WrittenQuietly(Path("RegScope.cfg"), "2")); // shorter: the tail is cut
    EXPECT_EQ(Get("shared.cfg"), "A=2\r\n");
    EXPECT_EQ(StatOf(Path("RegScope.cfg")).st_ino, inode);
    EXPECT_EQ(StatOf(Path("RegScope.cfg")).st_nlink, 2u);
    EXPECT_EQ(EntriesIn(dir_), 2u) << "no temporary file left";
    // Written through a symbolic link, the link stays one.
    Put("real.cfg", "A=1\r\n");
    ASSERT_EQ(symlink(Path("real.cfg").c_str(), Path("link.cfg").c_str()), 0);
    ASSERT_TRUE(WrittenQuietly(Path("link.cfg"), "3"));
    EXPECT_TRUE(std::filesystem::is_symlink(Path("link.cfg")));
    EXPECT_EQ(Get("real.cfg"), "A=3\r\n");

    LimitFileSize(8);
    app::WriteConfigKey(Path("RegScope.cfg"), "A", "a value that does not fit");
    EXPECT_EQ(Get("shared.cfg"), "A=2\r\n");
    EXPECT_EQ(headless::MessagesShown().size(), 1u);
}

TEST_F(FileIdentity, AWritableFileInAFolderThatCannotBeWrittenIsSavedInPlace)
{
    Put("RegScope.cfg", "A=1\r\n");
    ASSERT_EQ(chmod(Path("RegScope.cfg").c_str(), 0666), 0);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(dir_.c_str(), kNobody, kNobody), 0);
    }
    ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);

    EXPECT_EXIT((BecomeUser(), _exit(WrittenQuietly(Path("RegScope.cfg"), "2") ? 0 : 11)),
                ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Get("RegScope.cfg"), "A=2\r\n");

    // A new file there cannot be made: the error names the folder.
    EXPECT_EXIT(
        {
            BecomeUser();
            std::string error;
            bool copied = sys::CopyFile(Path("RegScope.cfg"), Path("copy.cfg"), &error);
            _exit(!copied && error.find("folder " + dir_) != std::string::npos ? 0 : 11);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(FileIdentity, AKilledWriterLeavesTheOldOrTheNewFileNeverAPart)
{
    // Large enough that a write takes a while, so the kill lands inside it.
    const std::string a(1 << 20, 'a'), b(1 << 20, 'b');
    ASSERT_TRUE(sys::WriteFileAtomic(Path("big"), a, nullptr));
    KillWhileWriting(
        20, [&](int i) { sys::WriteFileAtomic(Path("big"), i % 2 ? a : b, nullptr); },
        [&] {
            std::string now = Get("big");
            EXPECT_TRUE(now == a || now == b) << now.size() << " bytes";
        });
}

TEST_F(FileIdentity, AKilledRewriteOfAHardLinkedFileIsReadWhole)
{
    // Long enough to span many memory pages; the value of A in its middle
    // changes length, so the tail moves with every rewrite.
    std::string head, tail;
    for (int i = 0; i < 600; ++i)
        (i < 300 ? head : tail) += "K" + std::to_string(i) + "=value " + std::to_string(i) + "\r\n";
    const std::string shorter = "1", longer = std::string(5000, 'x');
    const auto content = [&](const std::string& a) { return head + "A=" + a + "\r\n" + tail; };
    Put("RegScope.cfg", content(shorter));
    ASSERT_EQ(link(Path("RegScope.cfg").c_str(), Path("shared.cfg").c_str()), 0);
    const std::string cfg = Path("RegScope.cfg");
    KillWhileWriting(
        40, [&](int i) { app::WriteConfigKey(cfg, "A", i % 2 ? shorter : longer); },
        [&] {
            std::string a;
            EXPECT_TRUE(app::FindConfigKey(cfg, "A", &a) && (a == shorter || a == longer));
            EXPECT_EQ(Get("RegScope.cfg"), content(a));
            EXPECT_EQ(StatOf(cfg).st_nlink, 2u);
        });
    // A writer killed before it touched the file leaves its journal; the
    // next start settles it.
    sys::RemoveStaleTemporaries(dir_);
    EXPECT_EQ(EntriesIn(dir_), 2u);
}

TEST_F(FileIdentity, StartUpRemovesStaleTemporariesButNotALiveOne)
{
    std::filesystem::create_directory(Path("tools"));
    std::filesystem::create_directory(Path("pictures"));
    app::CreateDefaultFiles();
    app::WriteConfigKey(Path("RegScope.ini"), "CFG_FILE", Path("tools/RegScope.cfg"));
    app::WriteConfigKey(Path("RegScope.cfg"), "PLOT_BMP_FILE", Path("pictures/Plot.bmp"));
    ASSERT_TRUE(sys::CopyFile(Path("RegScope.cfg"), Path("tools/RegScope.cfg"), nullptr));

    // Temporary files of writers killed an hour ago beside the three files,
    // of one still writing (a slow disk), of one just starting, and a file
    // the pattern does not take: the first three go, the others stay.
    const std::string live = Path(".regscope-LiVe00");
    const std::vector<std::string> names = {
        ".regscope-Ab12Cd", "tools/.regscope-xyzXYZ", "pictures/.regscope-bmp-Ab12Cd",
        ".regscope-LiVe00", ".regscope-notes.txt",    ".regscope-NeW000"};
    const timespec hour_ago[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    for (const std::string& name : names) {
        ASSERT_TRUE(sys::WriteFileAtomic(Path(name), "half a file", nullptr));
        if (name != names.back()) {
            ASSERT_EQ(utimensat(AT_FDCWD, Path(name).c_str(), hour_ago, 0), 0);
        }
    }
    int held = open(live.c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);

    headless::Reset();
    ASSERT_TRUE(app::StartProgram(programs::AllParts()));
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(sys::PathExists(Path(names[i])), i >= 3) << names[i];
    close(held);
}

} // namespace
