// The access password: the start-up question, setting, changing and
// removing it, and the store file it leaves behind.
#include <ctime>
#include <filesystem>

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

TEST_F(PasswordTest, ReplacingKeepsOwnerOnlyEvenOverAWiderFileOrFolder)
{
    ASSERT_EQ(mkdir(folder_.c_str(), 0755), 0);
    ASSERT_EQ(chmod(folder_.c_str(), 0755), 0); // whatever the umask
    ASSERT_TRUE(Set({"one"}));
    EXPECT_EQ(ModeOf(folder_), 0700u);
    ASSERT_EQ(chmod(store_.c_str(), 0644), 0);
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

// Whether a store exists cannot be told: nobody gets in, and nobody is
// asked for a password that cannot be checked.
bool RefusedWithAMessage()
{
    return !app::VerifyPassword(0) && headless::InputsShown().empty() &&
           Boxes().rfind("stop Password verify: The password file cannot be read:", 0) == 0;
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
