// The access password: the start-up question, setting, changing and
// removing it, and the store file it leaves behind.
#include <ctime>
#include <filesystem>
#include <sys/stat.h>

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
    }

    // Sets a password through the menu command when none is set yet.
    void SetFirst(const std::string& password)
    {
        headless::QueueTextAnswer(password);
        ASSERT_TRUE(app::SetPassword(0));
    }

    std::string folder_;
};

TEST_F(PasswordTest, SetThenVerifyExactlyTrailingBlankCounts)
{
    SetFirst("Secret ");
    for (const char* wrong : {"Secret", "secret "}) {
        headless::QueueTextAnswer(std::string(wrong));
        EXPECT_FALSE(app::VerifyPassword(0)) << wrong;
    }
    headless::QueueTextAnswer(std::nullopt);
    EXPECT_FALSE(app::VerifyPassword(0)) << "Cancel is a wrong answer";
    const std::string refused = "stop Password verify: Password not valid\n";
    EXPECT_EQ(Boxes(), refused + refused + refused);

    headless::ClearMessages();
    headless::QueueTextAnswer(std::string("Secret "));
    EXPECT_TRUE(app::VerifyPassword(0));
    EXPECT_TRUE(headless::MessagesShown().empty());
}

TEST_F(PasswordTest, StoreFileFormModeHiddenAndBackDated)
{
    SetFirst("abc");
    EXPECT_EQ(app::PasswordStorePath(0), folder_ + "/kqp234mc.dpl");

    // Times first: reading the file may refresh its access time.
    struct stat st;
    ASSERT_EQ(stat(app::PasswordStorePath(0).c_str(), &st), 0);
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
    ASSERT_EQ(stat(folder_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u) << "the folder is private too";

    std::string hidden;
    ASSERT_TRUE(sys::ReadFile(folder_ + "/.hidden", &hidden, nullptr));
    EXPECT_EQ(hidden, "kqp234mc.dpl\n");
}

TEST_F(PasswordTest, ReplacingKeepsOwnerOnlyEvenOverAWiderFileOrFolder)
{
    ASSERT_EQ(mkdir(folder_.c_str(), 0755), 0);
    ASSERT_EQ(chmod(folder_.c_str(), 0755), 0); // whatever the umask
    SetFirst("one");
    struct stat st;
    ASSERT_EQ(stat(folder_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    ASSERT_EQ(chmod(app::PasswordStorePath(0).c_str(), 0644), 0);
    headless::QueueTextAnswer(std::string("one"));
    headless::QueueTextAnswer(std::string("two"));
    ASSERT_TRUE(app::SetPassword(0));
    ASSERT_EQ(stat(app::PasswordStorePath(0).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    headless::QueueTextAnswer(std::string("two"));
    EXPECT_TRUE(app::VerifyPassword(0));
}

TEST_F(PasswordTest, CancelAtTheNewPasswordRemovesTheStore)
{
    SetFirst("pw");
    headless::QueueTextAnswer(std::string("pw"));
    headless::QueueTextAnswer(std::nullopt);
    EXPECT_TRUE(app::SetPassword(0));
    EXPECT_FALSE(sys::PathExists(app::PasswordStorePath(0)));
    EXPECT_FALSE(sys::PathExists(folder_ + "/.hidden"));
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
    SetFirst(cjk);
    headless::QueueTextAnswer(cjk);
    EXPECT_TRUE(app::VerifyPassword(0));
}

TEST_F(PasswordTest, UnwritableFolderSaysSoAndStoresNothing)
{
    // A regular file where the folder should be: no user, root included,
    // can create the store below it.
    ASSERT_TRUE(sys::WriteFileAtomic(dir_ + "/plain", "x", nullptr));
    app::SetPasswordFolderForTests(dir_ + "/plain/store");
    headless::QueueTextAnswer(std::string("pw"));
    EXPECT_FALSE(app::SetPassword(0));
    EXPECT_EQ(Boxes().rfind("stop Password: The password was not stored:\r" + dir_ +
                                "/plain/store/kqp234mc.dpl\r",
                            0),
              0u)
        << Boxes();
    EXPECT_TRUE(app::VerifyPassword(0));
}

TEST_F(PasswordTest, AStoreFolderOrFileThatIsALinkIsRefusedAndItsTargetLeftAlone)
{
    const std::string target = Path("target"), store = folder_ + "/kqp234mc.dpl";
    for (bool link_the_folder : {true, false}) {
        std::filesystem::remove_all(folder_);
        std::filesystem::remove_all(target);
        if (link_the_folder) {
            ASSERT_EQ(mkdir(target.c_str(), 0755), 0);
            ASSERT_EQ(symlink(target.c_str(), folder_.c_str()), 0);
        } else {
            ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
            ASSERT_TRUE(sys::WriteFileAtomic(target, "someone's file", nullptr));
            ASSERT_EQ(symlink(target.c_str(), store.c_str()), 0);
        }
        ASSERT_EQ(chmod(target.c_str(), 0755), 0);
        std::string error;
        EXPECT_FALSE(app::StorePassword(0, "pw", &error)) << link_the_folder;
        EXPECT_NE(error.find("is a symbolic link"), std::string::npos) << error;
        struct stat st;
        ASSERT_EQ(stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0755u) << link_the_folder;
        if (link_the_folder)
            EXPECT_FALSE(sys::PathExists(target + "/kqp234mc.dpl"));
        else
            EXPECT_EQ(std::filesystem::file_size(target), 14u);
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
    SetFirst("pw");
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
    ASSERT_EQ(mkdir(app::PasswordStorePath(0).c_str(), 0700), 0);
    EXPECT_TRUE(RefusedWithAMessage());
}

} // namespace
