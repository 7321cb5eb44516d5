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

size_t EntriesIn(const std::string& folder)
{
    return size_t(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// Journals go to the per-user folder, here inside the test's own folder.
class FileIdentity : public ConfigDir {
protected:
    void SetUp() override
    {
        ConfigDir::SetUp();
        setenv("XDG_CONFIG_HOME", Path("home").c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("XDG_CONFIG_HOME");
        ConfigDir::TearDown();
    }
    std::string Journals() const { return Path("home/regscope/redo"); }
    size_t JournalsLeft() const
    {
        return std::filesystem::exists(Journals()) ? EntriesIn(Journals()) : 0;
    }
};

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
    EXPECT_EQ(EntriesIn(dir_), 3u) << "no temporary file left beside the two and the home";
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

TEST_F(FileIdentity, AKilledRewriteOfAHardLinkedFileIsReadWholeThroughEveryName)
{
    // Long enough to span many memory pages; the value of A in its middle
    // changes length, so the tail moves with every rewrite.
    std::string head, tail;
    for (int i = 0; i < 600; ++i)
        (i < 300 ? head : tail) += "K" + std::to_string(i) + "=value " + std::to_string(i) + "\r\n";
    const std::string shorter = "1", longer = std::string(5000, 'x');
    const auto content = [&](const std::string& a) { return head + "A=" + a + "\r\n" + tail; };
    Put("RegScope.cfg", content(shorter));
    std::filesystem::create_directory(Path("b"));
    ASSERT_EQ(link(Path("RegScope.cfg").c_str(), Path("b/shared.cfg").c_str()), 0);
    const std::string cfg = Path("RegScope.cfg"), other = Path("b/shared.cfg");
    int inside = 0, round = 0;
    KillWhileWriting(
        40, [&](int i) { app::WriteConfigKey(cfg, "A", i % 2 ? shorter : longer); },
        [&] {
            // A journal left behind: the kill landed inside a rewrite.
            inside += JournalsLeft() > 0;
            std::string a;
            const std::string& name = ++round % 2 ? cfg : other;
            EXPECT_TRUE(app::FindConfigKey(name, "A", &a) && (a == shorter || a == longer));
            EXPECT_EQ(Get("b/shared.cfg"), content(a));
            EXPECT_EQ(StatOf(cfg).st_nlink, 2u);
        });
    EXPECT_GE(inside, 10) << "too few kills landed inside a rewrite to test anything";
    EXPECT_EQ(EntriesIn(dir_), 3u) << "nothing left beside the file";

    // A rewrite killed again, then the file changed by another program
    // through its other name: the late journal never brings back the
    // older content.
    for (int i = 0; i < 200 && JournalsLeft() == 0; ++i)
        KillWhileWriting(
            1, [&](int j) { app::WriteConfigKey(cfg, "A", j % 2 ? shorter : longer); }, [] {});
    ASSERT_EQ(JournalsLeft(), 1u);
    Put("b/shared.cfg", content("edited"));
    std::string a;
    EXPECT_TRUE(app::FindConfigKey(cfg, "A", &a));
    EXPECT_EQ(a, "edited");
    EXPECT_EQ(JournalsLeft(), 0u);
}

TEST_F(FileIdentity, StartUpRemovesStaleTemporariesButNotALiveOne)
{
    std::filesystem::create_directory(Path("tools"));
    std::filesystem::create_directory(Path("pictures"));
    app::CreateDefaultFiles();
    app::WriteConfigKey(Path("RegScope.ini"), "CFG_FILE", Path("tools/RegScope.cfg"));
    app::WriteConfigKey(Path("RegScope.cfg"), "PLOT_BMP_FILE", Path("pictures/Plot.bmp"));
    ASSERT_TRUE(sys::CopyFile(Path("RegScope.cfg"), Path("tools/RegScope.cfg"), nullptr));

    // Temporary files of writers killed an hour ago beside the two files,
    // in the folder the .cfg names for the bitmap (not searched: a .cfg may
    // name anyone's folder), of another user, of one still writing (a slow
    // disk), of one just starting, and a file the pattern does not take: the
    // first two go, the others stay.
    const std::string live = Path(".regscope-LiVe00");
    const std::vector<std::string> names = {
        ".regscope-Ab12Cd", "tools/.regscope-xyzXYZ", "pictures/.regscope-bmp-Ab12Cd",
        ".regscope-ThEiRs", ".regscope-LiVe00",       ".regscope-notes.txt",
        ".regscope-NeW000"};
    const timespec hour_ago[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    for (const std::string& name : names) {
        ASSERT_TRUE(sys::WriteFileAtomic(Path(name), "half a file", nullptr));
        if (name != names.back()) {
            ASSERT_EQ(utimensat(AT_FDCWD, Path(name).c_str(), hour_ago, 0), 0);
        }
    }
    if (geteuid() == 0) {
        ASSERT_EQ(chown(Path(".regscope-ThEiRs").c_str(), kNobody, kNobody), 0);
    }
    int held = open(live.c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);

    headless::Reset();
    ASSERT_TRUE(app::StartProgram(programs::AllParts()));
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(sys::PathExists(Path(names[i])), i >= 2 && (i != 3 || geteuid() == 0))
            << names[i];
    close(held);
}

// Runs `body` in a child process as another user; its exit code.
template <class Body>
int AsUser(uid_t uid, const Body& body)
{
    pid_t child = fork();
    if (child == 0) {
        if (setgid(uid) != 0 || setuid(uid) != 0)
            _exit(10);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

std::string DevIno(const std::string& path)
{
    struct stat st = StatOf(path);
    return std::to_string(st.st_dev) + "-" + std::to_string(st.st_ino);
}

// The journal record an older release wrote beside a file.
std::string OldRecord(const std::string& target, const std::string& content)
{
    struct stat st = StatOf(target);
    return "regscope rewrite " + std::to_string(st.st_dev) + " " + std::to_string(st.st_ino) + " " +
           std::to_string(target.size()) + " " + std::to_string(content.size()) + "\n" + target +
           content + "end\n";
}

// A journal as its writer leaves it once the record is on disk.
std::string Journal(const std::string& target, const std::string& next, const std::string& old)
{
    struct stat st = StatOf(target);
    return "regscope rewrite 2 " + std::to_string(st.st_dev) + " " + std::to_string(st.st_ino) +
           " " + std::to_string(target.size()) + " " + std::to_string(next.size()) + " " +
           std::to_string(old.size()) + "\n" + target + next + old + "end\n";
}

TEST_F(FileIdentity, TheNextReadFinishesARewriteCutShort)
{
    namespace fs = std::filesystem;
    const std::string cfg = Path("RegScope.cfg"), old = "A=1\r\nB=1\r\n", next = "A=2\r\nB=2\r\n";
    // The writer killed before its first byte went into the file, with the
    // head written over the old tail, and after another program changed the
    // file: the late journal never brings back older content.
    const std::pair<std::string, std::string> cases[] = {{old, next},
                                                         {next.substr(0, 5) + old.substr(5), next},
                                                         {"A=3\r\nB=3\r\n", "A=3\r\nB=3\r\n"}};
    for (const auto& [left, read] : cases) {
        SCOPED_TRACE(left);
        Put("RegScope.cfg", left);
        fs::create_directories(Journals());
        fs::permissions(Path("home/regscope"), fs::perms::owner_all);
        fs::permissions(Journals(), fs::perms::owner_all);
        const std::string journal = Journals() + "/" + DevIno(cfg);
        std::ofstream(journal, std::ios::binary) << Journal(cfg, next, old);
        fs::permissions(journal, fs::perms::owner_read | fs::perms::owner_write);
        std::string b;
        EXPECT_TRUE(app::FindConfigKey(cfg, "B", &b));
        EXPECT_EQ(Get("RegScope.cfg"), read);
        EXPECT_EQ(JournalsLeft(), 0u);
    }
}

// A child process that holds a lock on the file (created when missing)
// until it is killed.
pid_t HoldLocked(const std::string& path)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    pid_t holder = fork();
    if (holder == 0) {
        int fd = open(path.c_str(), O_RDWR | O_CREAT, 0600);
        if (fd < 0 || flock(fd, LOCK_EX) != 0 || write(ready[1], "x", 1) != 1)
            _exit(1);
        pause();
    }
    char held;
    if (read(ready[0], &held, 1) != 1)
        ADD_FAILURE() << "no lock on " << path;
    close(ready[0]);
    close(ready[1]);
    return holder;
}

TEST_F(FileIdentity, JournalsOthersPlantAreNeitherFollowedNorWrittenNorWaitedFor)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as two users";
    constexpr uid_t kAttacker = 4242;
    // The victim (root) starts the program in a shared sticky folder; its
    // own file sits in a folder nobody else may enter.
    std::filesystem::create_directories(Path("victim"));
    ASSERT_EQ(chmod(Path("victim").c_str(), 0700), 0);
    Put("victim/.bashrc", "mine\n");
    app::CreateDefaultFiles();
    ASSERT_EQ(link(Path("RegScope.cfg").c_str(), Path("victim/RegScope.cfg").c_str()), 0);
    ASSERT_EQ(chmod(dir_.c_str(), 01777), 0);
    const std::string ini = Get("RegScope.ini"), bashrc = Path("victim/.bashrc");
    const std::string beside_cfg = Path(".regscope-redo-" + DevIno(Path("RegScope.cfg")));
    const std::string records[][2] = {
        {".regscope-redo-" + DevIno(bashrc), OldRecord(bashrc, "owned\n")},
        {".regscope-redo-" + DevIno(Path("RegScope.ini")),
         OldRecord(Path("RegScope.ini"), "CFG_FILE=/tmp/theirs.cfg\r\n")},
    };
    ASSERT_EQ(AsUser(kAttacker,
                     [&] {
                         for (const auto& r : records)
                             if (!sys::WriteFileAtomic(Path(r[0]), r[1], nullptr))
                                 return 1;
                         // The cfg's journal name, linked to a file of theirs and
                         // 3 GiB long (sparse), under a lock they keep.
                         int fd = open(Path("loot").c_str(), O_RDWR | O_CREAT, 0666);
                         return fd >= 0 && ftruncate(fd, off_t(3) << 30) == 0 &&
                                        link(Path("loot").c_str(), beside_cfg.c_str()) == 0
                                    ? 0
                                    : 2;
                     }),
              0);
    pid_t holder = HoldLocked(beside_cfg);
    // The start and a rewrite in place of the linked cfg: within moments,
    // nothing of theirs written, nothing of ours written into theirs.
    EXPECT_EXIT(
        {
            alarm(20);
            headless::Reset();
            const double start = sys::MonotonicSeconds();
            bool started = app::StartProgram(programs::AllParts());
            app::WriteConfigKey(Path("RegScope.cfg"), "SERIAL_PORT", "5");
            _exit(started && sys::MonotonicSeconds() - start < 5 ? 0 : 11);
        },
        ::testing::ExitedWithCode(0), "");
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(Get("victim/.bashrc"), "mine\n");
    EXPECT_EQ(Get("RegScope.ini"), ini);
    EXPECT_EQ(StatOf(Path("loot")).st_blocks, 0) << "the journal went into their file";
    for (const auto& r : records)
        EXPECT_EQ(Get(r[0]), r[1]) << "left alone";
}

TEST_F(FileIdentity, WhatBlocksTheJournalIsToldAndNothingIsWritten)
{
    Put("RegScope.cfg", "A=1\r\n");
    ASSERT_EQ(link(Path("RegScope.cfg").c_str(), Path("shared.cfg").c_str()), 0);
    ASSERT_TRUE(WrittenQuietly(Path("RegScope.cfg"), "2"));
    const std::string journal = Journals() + "/" + DevIno(Path("RegScope.cfg"));
    // A huge file under the name: never read, the write refused with a box.
    {
        int fd = open(journal.c_str(), O_RDWR | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, off_t(3) << 30), 0);
        close(fd);
    }
    std::string a;
    const double start = sys::MonotonicSeconds();
    EXPECT_TRUE(app::FindConfigKey(Path("RegScope.cfg"), "A", &a));
    EXPECT_EQ(a, "2");
    app::WriteConfigKey(Path("RegScope.cfg"), "A", "3");
    EXPECT_LT(sys::MonotonicSeconds() - start, 1.0);
    EXPECT_NE(Boxes().find(journal + " is in the way"), std::string::npos) << Boxes();
    EXPECT_EQ(Get("shared.cfg"), "A=2\r\n");

    // A journal another running instance keeps locked: a read waits a
    // moment at most, a write is refused.
    ASSERT_EQ(unlink(journal.c_str()), 0);
    pid_t holder = HoldLocked(journal);
    headless::ClearMessages();
    app::WriteConfigKey(Path("RegScope.cfg"), "A", "4");
    EXPECT_NE(Boxes().find("another program is rewriting it"), std::string::npos) << Boxes();
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    headless::ClearMessages();
    EXPECT_TRUE(WrittenQuietly(Path("RegScope.cfg"), "5")) << Boxes();
}

} // namespace
