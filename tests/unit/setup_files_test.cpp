// Load and Save As of the tool configuration file.
#include "app/command_ids.h"
#include "tests/support/program_folder.h"

#include <sys/stat.h>

namespace {

class SetupFiles : public ProgramInFolder {
protected:
    void Load(const std::string& path)
    {
        headless::QueueFileAnswer(path);
        headless::MenuCommand(app::cmd::kLoad);
    }
    void SaveAs(const std::string& path)
    {
        headless::QueueFileAnswer(path);
        headless::MenuCommand(app::cmd::kSaveAs);
    }
    // What a failed or cancelled command must leave as it was.
    void ExpectUnchanged(const std::string& cfg)
    {
        EXPECT_EQ(app::CfgPath, cfg);
        EXPECT_EQ(Ini("CFG_FILE"), cfg);
        EXPECT_EQ(ui::GetTitle(), "RegScope [" + app::AbbreviatePath(cfg) + "]");
        EXPECT_TRUE(ui::ControlExists(10001)) << "the tool panel stays open";
    }
};

TEST_F(SetupFiles, LoadCancelledOrOfAnExistingFile)
{
    std::string old_cfg = app::CfgPath;
    std::string target = dir_ + "/other.cfg";

    headless::QueueMessageAnswer(ui::Answer::Cancel);
    Load(target);
    EXPECT_FALSE(sys::PathExists(target));
    ExpectUnchanged(old_cfg);

    // An existing file is taken as it is, without a question.
    ASSERT_TRUE(sys::CopyFile(old_cfg, target, nullptr));
    app::WriteConfigKey(target, "SERIAL_PARITY", "1");
    headless::ClearMessages();
    Load(target);
    EXPECT_TRUE(headless::MessagesShown().empty());
    EXPECT_EQ(app::CfgPath, target);
    EXPECT_EQ(app::SerialSettings.line.parity, serial::Parity::Odd);
    EXPECT_TRUE(ui::IsMenuItemChecked(app::cmd::ParityCommand(1)));
}

TEST_F(SetupFiles, SaveAsOntoTheFileInUseAsksAndContinues)
{
    std::string cfg = app::CfgPath;
    std::string before = Content(cfg);
    headless::QueueMessageAnswer(ui::Answer::Cancel);
    SaveAs(cfg);
    EXPECT_EQ(Boxes(), "information Save as configuration file: File already exist.\r\rReplace "
                       "existing copy of this file?\r" +
                           cfg + "\n");
    ExpectUnchanged(cfg);

    headless::QueueMessageAnswer(ui::Answer::Ok);
    SaveAs(cfg);
    ExpectUnchanged(cfg);
    EXPECT_EQ(Content(cfg), before);
}

TEST_F(SetupFiles, SaveAsToANewNameContinuesInTheCopy)
{
    std::string old_cfg = app::CfgPath;
    std::string target = dir_ + "/copy"; // the dialog adds ".cfg"
    SaveAs(target);
    EXPECT_TRUE(headless::MessagesShown().empty());
    EXPECT_EQ(app::CfgPath, target + ".cfg");
    EXPECT_EQ(Content(app::CfgPath), Content(old_cfg));
    headless::MenuCommand(app::cmd::PortCommand(5));
    EXPECT_EQ(Cfg("SERIAL_PORT"), "5");
    EXPECT_EQ(app::ReadConfigKey(old_cfg, "SERIAL_PORT"), "1") << "work goes on in the copy";
}

} // namespace
