// The access password: the start-up question, setting, changing and
// removing it, and the store file it leaves behind.
#include <ctime>
#include <filesystem>
#include <functional>

#include "app/password.h"
#include "platform/private_files.h"
#include "tests/support/program_folder.h"

namespace {

class PasswordTest : public FolderTest {
protected:
    void SetUp() override
    {
        FolderTest::SetUp();
        folder_ = Path("password");
        store_ = folder_ + "/kqp234mc.dpl";
    }
    // Setup > Password with these answers to its questions in turn.
    static bool Set(std::initializer_list<std::optional<std::string>> answers)
    {
        for (const auto& answer : answers)
            headless::QueueTextAnswer(answer);
        return app::SetPassword(0);
    }
    static bool Verify(const std::optional<std::string>& answer)
    {
        headless::QueueTextAnswer(answer);
        return app::VerifyPassword(0);
    }

    std::string folder_, store_;
};

TEST_F(PasswordTest, OnlyTheExactPasswordPassesAndNoNewOneRemovesIt)
{
    ASSERT_TRUE(Set({"Secret "}));
    EXPECT_FALSE(Verify("Secret"));
    EXPECT_FALSE(Verify("secret "));
    EXPECT_FALSE(Verify(std::nullopt)) << "Cancel is a wrong answer";
    EXPECT_FALSE(Set({"Secret"})) << "a change asks the old one first";
    const std::string refused = "stop Password verify: Password not valid\n";
    EXPECT_EQ(Boxes(), refused + refused + refused + refused);
    headless::ClearMessages();
    EXPECT_TRUE(Verify("Secret "));
    EXPECT_EQ(Boxes(), "");

    // Cancel at the new password (as an empty one) removes the store.
    EXPECT_TRUE(Set({"Secret ", std::nullopt}));
    EXPECT_FALSE(sys::PathExists(store_));
    EXPECT_FALSE(sys::PathExists(folder_ + "/.hidden"));
}

TEST_F(PasswordTest, StoreFileFormModeHiddenAndBackDated)
{
    ASSERT_TRUE(Set({"abc"}));
    EXPECT_EQ(app::PasswordStorePath(0), store_);

    // Times first: reading the file may refresh its access time.
    struct stat st;
    ASSERT_EQ(stat(store_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    tm modified{}, accessed{};
    localtime_r(&st.st_mtim.tv_sec, &modified);
    localtime_r(&st.st_atim.tv_sec, &accessed);
    sys::LocalTime now = sys::Now();
    EXPECT_EQ(modified.tm_year + 1900, now.year - 3);
    EXPECT_EQ(modified.tm_mon + 1, now.month);
    if (!(now.month == 2 && now.day == 29)) {
        EXPECT_EQ(modified.tm_mday, now.day);
    }
    EXPECT_EQ(accessed.tm_year, modified.tm_year);
    EXPECT_EQ(ModeOf(folder_) & 077, 0u) << "the folder is private too";
    EXPECT_EQ(Content(folder_ + "/.hidden"), "kqp234mc.dpl\n");
}

TEST_F(PasswordTest, AWiderFolderIsMadePrivateWhenAPasswordIsSet)
{
    ASSERT_EQ(mkdir(folder_.c_str(), 0755), 0);
    ASSERT_EQ(chmod(folder_.c_str(), 0755), 0); // whatever the umask
    ASSERT_TRUE(Set({"one"}));
    EXPECT_EQ(ModeOf(folder_), 0700u);
    ASSERT_TRUE(Set({"one", "two"}));
    EXPECT_EQ(ModeOf(store_), 0600u);
    EXPECT_TRUE(Verify("two"));
}

TEST_F(PasswordTest, EveryByteSurvivesTheStore)
{
    // Some UTF-8 bytes scramble to CR or LF: the line must still read back
    // whole, or the owner of such a password is locked out.
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += char(c);
    for (int level : {0, 1, 7, 200})
        EXPECT_EQ(app::UnscramblePassword(app::ScramblePassword(all, level), level), all) << level;

    const std::string cjk = "\xE4\xB8\x80\xE1\x80\x80 \r\n";
    ASSERT_TRUE(Set({cjk}));
    EXPECT_TRUE(Verify(cjk));
}

TEST_F(PasswordTest, UnwritableFolderSaysSoAndStoresNothing)
{
    // A regular file where the folder should be: no user, root included,
    // can create the store below it.
    ASSERT_TRUE(sys::WriteFileAtomic(dir_ + "/plain", "x", nullptr));
    app::SetPasswordFolderForTests(dir_ + "/plain/store");
    EXPECT_FALSE(Set({"pw"}));
    const std::string box = "stop Password: The password was not stored:\r" + dir_ + "/plain/store";
    EXPECT_EQ(Boxes().rfind(box + "/kqp234mc.dpl\r", 0), 0u) << Boxes();
    EXPECT_TRUE(app::VerifyPassword(0));
}

TEST_F(PasswordTest, AStoreFolderOrFileThatIsALinkIsRefusedAndItsTargetLeftAlone)
{
    const std::string target = Path("target");
    for (bool link_the_folder : {true, false}) {
        std::filesystem::remove_all(folder_);
        std::filesystem::remove_all(target);
        if (link_the_folder) {
            ASSERT_EQ(mkdir(target.c_str(), 0755), 0);
            ASSERT_EQ(symlink(target.c_str(), folder_.c_str()), 0);
        } else {
            ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
            ASSERT_TRUE(sys::WriteFileAtomic(target, "someone's file", nullptr));
            ASSERT_EQ(symlink(target.c_str(), store_.c_str()), 0);
        }
        ASSERT_EQ(chmod(target.c_str(), 0755), 0);
        std::string error;
        EXPECT_FALSE(app::StorePassword(0, "pw", &error)) << link_the_folder;
        EXPECT_NE(error.find("is a symbolic link"), std::string::npos) << error;
        EXPECT_EQ(ModeOf(target), 0755u) << link_the_folder;
        EXPECT_EQ(Content(link_the_folder ? target + "/kqp234mc.dpl" : target),
                  link_the_folder ? "" : "someone's file");
    }
}

// Whether a store exists cannot be told, or it may not be the user's own:
// nobody gets in, and nobody is asked for a password that cannot be checked.
bool RefusedWithAMessage()
{
    return !app::VerifyPassword(0) && headless::InputsShown().empty() &&
           Boxes().rfind("stop Password verify: The password file cannot be read:", 0) == 0;
}

// A store someone else could have made, swapped, read or stretched: the
// start is refused with a box naming the file or folder and why, and
// setting a password never writes through the store.
TEST_F(PasswordTest, AStoreThatIsNotCertainlyTheUsersOwnRefusesTheStart)
{
    const bool root = geteuid() == 0;
    const std::string other = Path("other"), real = Path("real");
    // The store as another user or a plain file would leave it: "pw" for
    // level 0.
    const std::string pw = app::ScramblePassword("pw", 0) + "\r\n";
    auto store = [&](const std::string& path, mode_t mode) {
        ASSERT_TRUE(sys::WriteFileAtomic(path, pw, nullptr));
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
    };
    struct Case {
        const char* what;
        bool needs_root; // a second user to own the files
        std::function<void()> make;
        std::string why; // the end of the box
        bool replaced;   // by a new private store when a password is set
    };
    const Case cases[] = {
        {"another user's folder and store", true,
         [&] {
             ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
             store(store_, 0600);
             ASSERT_EQ(lchown(store_.c_str(), 65534, 65534), 0);
             ASSERT_EQ(chown(folder_.c_str(), 65534, 65534), 0);
         },
         folder_ + " belongs to another user", false},
        {"another user's folder, store deleted", true,
         [&] {
             ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
             ASSERT_EQ(chown(folder_.c_str(), 65534, 65534), 0);
         },
         folder_ + " belongs to another user", false},
        {"another user's store", true,
         [&] {
             ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
             store(store_, 0600);
             ASSERT_EQ(lchown(store_.c_str(), 65534, 65534), 0);
         },
         store_ + " belongs to another user", false},
        {"store a link", false,
         [&] {
             ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
             store(other, 0600);
             ASSERT_EQ(symlink(other.c_str(), store_.c_str()), 0);
         },
         store_ + " is a symbolic link", false},
        {"folder a link", false,
         [&] {
             ASSERT_EQ(mkdir(real.c_str(), 0700), 0);
             store(real + "/kqp234mc.dpl", 0600);
             ASSERT_EQ(symlink(real.c_str(), folder_.c_str()), 0);
         },
         folder_ + " is a symbolic link", false},
        {"store a FIFO", false,
         [&] {
             ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
             ASSERT_EQ(mkfifo(store_.c_str(), 0600), 0);
         },
         store_ + " is not a regular file", false},
        {"store huge", false,
         [&] {
             ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
             store(store_, 0600);
             ASSERT_EQ(truncate(store_.c_str(), 1 << 20), 0);
         },
         store_ + " is too large", true},
        {"store with a second name", false,
         [&] {
             ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
             store(store_, 0600);
             ASSERT_EQ(link(store_.c_str(), other.c_str()), 0);
         },
         store_ + " has other hard links", false},
        {"store readable by others", false,
         [&] {
             ASSERT_EQ(mkdir(folder_.c_str(), 0755), 0);
             ASSERT_EQ(chmod(folder_.c_str(), 0755), 0);
             store(store_, 0644);
         },
         store_ + " may be read by other users", true},
        {"folder writable by others, no store", false,
         [&] {
             ASSERT_EQ(mkdir(folder_.c_str(), 0777), 0);
             ASSERT_EQ(chmod(folder_.c_str(), 01777), 0);
         },
         folder_ + " may be changed by other users", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needs_root && !root)
            continue;
        for (const std::string& p : {folder_, other, real})
            std::filesystem::remove_all(p);
        headless::Reset();
        c.make();
        const std::string other_before = Content(other);
        // A FIFO would hold a blocking open for ever: the check runs in a
        // child that an alarm ends.
        EXPECT_EXIT(
            {
                alarm(5);
                const bool refused = RefusedWithAMessage();
                fprintf(stderr, "%s", Boxes().c_str());
                _exit(refused && Boxes().find("\r" + c.why + "\n") != std::string::npos ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
        std::string error;
        EXPECT_EQ(app::StorePassword(0, "new", &error), c.replaced) << error;
        EXPECT_EQ(Content(other), other_before) << "never written through";
    }
}

TEST_F(PasswordTest, AStoreFolderThatCannotBeSearchedRefusesEntry)
{
    ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
    ASSERT_TRUE(Set({"pw"}));
    headless::Reset();
    ASSERT_EQ(chmod(folder_.c_str(), 0), 0);
    // Root searches any folder: the look-up runs as nobody.
    if (geteuid() == 0) {
        ASSERT_EQ(chown(dir_.c_str(), 65534, 65534), 0);
        ASSERT_EQ(chown(folder_.c_str(), 65534, 65534), 0);
    }
    EXPECT_EXIT(
        {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                _exit(10);
            _exit(RefusedWithAMessage() ? 0 : 11);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(PasswordTest, ALoopOfLinksOrAStoreThatIsNoFileRefusesEntry)
{
    ASSERT_EQ(symlink(folder_.c_str(), folder_.c_str()), 0);
    EXPECT_TRUE(RefusedWithAMessage());
    headless::Reset();
    ASSERT_EQ(unlink(folder_.c_str()), 0);
    ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
    ASSERT_EQ(mkdir(store_.c_str(), 0700), 0);
    EXPECT_TRUE(RefusedWithAMessage());
}

} // namespace
