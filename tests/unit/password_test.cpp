// The access password: the start-up question, setting, changing and
// removing it, and the store file it leaves behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

#include "app/password.h"
#include "app/password_store.h"
#include "app/shell.h"
#include "platform/headless/headless.h"
#include "platform/private_files.h"
#include "platform/system.h"

namespace {

class PasswordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::Reset();
        char tmpl[] = "/tmp/regscope-password-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        folder_ = root_ + "/store";
        SetPasswordFolderForTests(folder_);
    }
    void TearDown() override
    {
        SetPasswordFolderForTests("");
        std::string cmd = "rm -rf '" + root_ + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }

    // Sets a password through the menu command when none is set yet.
    void SetFirst(const std::string& password)
    {
        headless::QueueTextAnswer(password);
        ASSERT_TRUE(SetPassword(0));
    }

    std::string StoredBytes(int level = 0)
    {
        std::string content;
        sys::ReadFile(PasswordStorePath(level), &content, nullptr);
        return content;
    }

    std::string root_, folder_;
};

TEST_F(PasswordTest, NoStoreMeansNoQuestion)
{
    EXPECT_TRUE(VerifyPassword(0));
    EXPECT_TRUE(headless::InputsShown().empty());
    EXPECT_TRUE(headless::MessagesShown().empty());
}

TEST_F(PasswordTest, SetThenVerifyExactlyTrailingBlankCounts)
{
    SetFirst("Secret ");
    ASSERT_EQ(headless::InputsShown().size(), 1u);
    EXPECT_EQ(headless::InputsShown()[0].prompt, "Enter new password");
    EXPECT_EQ(headless::InputsShown()[0].title, "PASSWORD");
    EXPECT_EQ(headless::InputsShown()[0].initial, "");

    for (const char* wrong : {"Secret", "secret ", "Secret  "}) {
        headless::ClearMessages();
        headless::QueueTextAnswer(std::string(wrong));
        EXPECT_FALSE(VerifyPassword(0)) << wrong;
        ASSERT_EQ(headless::MessagesShown().size(), 1u);
        EXPECT_EQ(headless::MessagesShown()[0].text, "Password not valid");
        EXPECT_EQ(headless::MessagesShown()[0].title, "Password verify");
        EXPECT_EQ(headless::MessagesShown()[0].icon, ui::Icon::Stop);
    }
    headless::ClearMessages();
    headless::QueueTextAnswer(std::nullopt);
    EXPECT_FALSE(VerifyPassword(0)) << "Cancel is a wrong answer";

    headless::ClearMessages();
    headless::QueueTextAnswer(std::string("Secret "));
    EXPECT_TRUE(VerifyPassword(0));
    EXPECT_EQ(headless::InputsShown().back().prompt, "Enter password");
    EXPECT_TRUE(headless::MessagesShown().empty());
}

TEST_F(PasswordTest, StoreFileFormModeHiddenAndBackDated)
{
    SetFirst("abc");
    EXPECT_EQ(PasswordStorePath(0), folder_ + "/kqp234mc.dpl");

    // Times first: reading the file may refresh its access time.
    struct stat st;
    ASSERT_EQ(stat(PasswordStorePath(0).c_str(), &st), 0);
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

    std::string bytes = StoredBytes();
    ASSERT_EQ(bytes.size(), 5u);
    EXPECT_EQ(bytes.substr(3), "\r\n");
    // Reversed, and every character shifted by the same amount.
    int shift = (unsigned char)bytes[0] - 'c';
    EXPECT_GE(shift, 10);
    EXPECT_LE(shift, 99);
    EXPECT_EQ((unsigned char)bytes[1] - 'b', shift);
    EXPECT_EQ((unsigned char)bytes[2] - 'a', shift);

    std::string hidden;
    ASSERT_TRUE(sys::ReadFile(folder_ + "/.hidden", &hidden, nullptr));
    EXPECT_EQ(hidden, "kqp234mc.dpl\n");
}

TEST_F(PasswordTest, ReplacingKeepsOwnerOnlyEvenOverAWiderFile)
{
    SetFirst("one");
    ASSERT_EQ(chmod(PasswordStorePath(0).c_str(), 0644), 0);
    headless::QueueTextAnswer(std::string("one"));
    headless::QueueTextAnswer(std::string("two"));
    ASSERT_TRUE(SetPassword(0));
    struct stat st;
    ASSERT_EQ(stat(PasswordStorePath(0).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    headless::QueueTextAnswer(std::string("two"));
    EXPECT_TRUE(VerifyPassword(0));
}

TEST_F(PasswordTest, EmptyNewPasswordRemovesTheStore)
{
    SetFirst("pw");
    headless::QueueTextAnswer(std::string("pw"));
    headless::QueueTextAnswer(std::string(""));
    EXPECT_TRUE(SetPassword(0));
    EXPECT_FALSE(sys::PathExists(PasswordStorePath(0)));
    EXPECT_FALSE(sys::PathExists(folder_ + "/.hidden"));

    size_t asked = headless::InputsShown().size();
    EXPECT_TRUE(VerifyPassword(0));
    EXPECT_EQ(headless::InputsShown().size(), asked);

    // Cancel at the new-password question removes it as well.
    SetFirst("pw");
    headless::QueueTextAnswer(std::string("pw"));
    headless::QueueTextAnswer(std::nullopt);
    EXPECT_TRUE(SetPassword(0));
    EXPECT_FALSE(sys::PathExists(PasswordStorePath(0)));
}

TEST_F(PasswordTest, WrongCurrentPasswordChangesNothing)
{
    SetFirst("keep");
    std::string before = StoredBytes();
    size_t asked = headless::InputsShown().size();
    headless::QueueTextAnswer(std::string("guess"));
    headless::QueueTextAnswer(std::string(""));
    EXPECT_FALSE(SetPassword(0));
    EXPECT_EQ(headless::InputsShown().size(), asked + 1) << "no new-password question";
    EXPECT_EQ(StoredBytes(), before);
}

TEST_F(PasswordTest, OtherLevelsHaveTheirOwnFileAndPrompts)
{
    headless::QueueTextAnswer(std::string("two"));
    ASSERT_TRUE(SetPassword(2));
    EXPECT_EQ(headless::InputsShown().back().prompt, "Enter level 2 new password");
    EXPECT_TRUE(sys::PathExists(folder_ + "/kqp232mc.dpl"));
    EXPECT_TRUE(VerifyPassword(0)) << "level 0 is still free";

    headless::QueueTextAnswer(std::string("two"));
    EXPECT_TRUE(VerifyPassword(2));
    EXPECT_EQ(headless::InputsShown().back().prompt, "Enter level 2 password");
}

TEST_F(PasswordTest, EveryByteSurvivesTheStore)
{
    // Some UTF-8 bytes scramble to CR or LF: the line must still read back
    // whole, or the owner of such a password is locked out.
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += char(c);
    for (int level : {0, 1, 7, 200})
        EXPECT_EQ(UnscramblePassword(ScramblePassword(all, level), level), all) << level;

    const std::string cjk = "\xE4\xB8\x80\xE1\x80\x80 \r\n";
    SetFirst(cjk);
    headless::QueueTextAnswer(cjk);
    EXPECT_TRUE(VerifyPassword(0));
}

TEST_F(PasswordTest, UnwritableFolderSaysSoAndStoresNothing)
{
    // A regular file where the folder should be: no user, root included,
    // can create the store below it.
    ASSERT_TRUE(sys::WriteFileAtomic(root_ + "/plain", "x", nullptr));
    SetPasswordFolderForTests(root_ + "/plain/store");
    headless::QueueTextAnswer(std::string("pw"));
    EXPECT_FALSE(SetPassword(0));
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].title, "Password");
    EXPECT_EQ(headless::MessagesShown()[0].icon, ui::Icon::Stop);
    EXPECT_NE(headless::MessagesShown()[0].text.find("The password was not stored:"),
              std::string::npos);
    EXPECT_NE(headless::MessagesShown()[0].text.find(root_ + "/plain/store/kqp234mc.dpl"),
              std::string::npos);
    EXPECT_TRUE(VerifyPassword(0));
}

TEST_F(PasswordTest, UnreadableStoreRefusesEntry)
{
    ASSERT_EQ(mkdir(folder_.c_str(), 0700), 0);
    ASSERT_EQ(mkdir(PasswordStorePath(0).c_str(), 0700), 0);
    EXPECT_FALSE(VerifyPassword(0));
    EXPECT_TRUE(headless::InputsShown().empty());
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].title, "Password verify");
}

TEST_F(PasswordTest, StartUpEndsBeforeAnyWindowOnAWrongAnswer)
{
    SetFirst("open sesame");
    headless::QueueTextAnswer(std::string("open"));
    EXPECT_FALSE(StartProgram());
    EXPECT_FALSE(ui::MainWindowOpen());
    EXPECT_TRUE(headless::ControlIds().empty());
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].text, "Password not valid");
}

TEST(PasswordFolder, FollowsXdgConfigHomeWhenAbsolute)
{
    const char* home = getenv("HOME");
    ASSERT_NE(home, nullptr);
    setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ(sys::UserProgramFolder(), "/somewhere/config/regscope");
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(sys::UserProgramFolder(), std::string(home) + "/.config/regscope");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(sys::UserProgramFolder(), std::string(home) + "/.config/regscope");
}

} // namespace
