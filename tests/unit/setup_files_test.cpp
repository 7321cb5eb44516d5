// Load and Save As of the tool configuration file.
#include "setup_test_env.h"

#include <sys/stat.h>

namespace {

class SetupFiles : public ProgramInFolder {
protected:
    void Load(const std::string& path)
    {
        headless::QueueFileAnswer(path);
        headless::MenuCommand(1101);
    }
    void SaveAs(const std::string& path)
    {
        headless::QueueFileAnswer(path);
        headless::MenuCommand(1201);
    }
    std::string Content(const std::string& path)
    {
        std::string text;
        sys::ReadFile(path, &text, nullptr);
        return text;
    }
    // What a failed or cancelled command must leave as it was.
    void ExpectUnchanged(const std::string& cfg)
    {
        EXPECT_EQ(CfgPath, cfg);
        EXPECT_EQ(Ini("CFG_FILE"), cfg);
        EXPECT_EQ(ui::GetTitle(), "RegScope [" + AbbreviatePath(cfg) + "]");
        EXPECT_TRUE(ui::ControlExists(10001)) << "the tool panel stays open";
    }
};

TEST_F(SetupFiles, LoadOfANewNameCopiesAndSwitches)
{
    std::string old_cfg = CfgPath;
    WriteConfigKey(old_cfg, "SERIAL_PORT", "4");
    std::string folder = dir_ + "/a folder with a rather long name/and one more level";
    ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
    std::string target = folder + "/plant.cfg";

    headless::QueueMessageAnswer(ui::Answer::Ok);
    Load(target);

    ASSERT_EQ(headless::FileDialogsShown().size(), 1u);
    const ui::FileDialogSpec& dialog = headless::FileDialogsShown()[0];
    EXPECT_FALSE(dialog.save);
    EXPECT_EQ(dialog.title, "Load configuration from a .CFG file");
    EXPECT_EQ(dialog.file_name, old_cfg);
    EXPECT_EQ(dialog.folder, dir_) << "opens where the proposed file is";
    EXPECT_EQ(dialog.default_ext, "cfg");
    ASSERT_EQ(dialog.filters.size(), 1u);
    EXPECT_EQ(dialog.filters[0].description, "Configuration file (*.cfg)");
    EXPECT_EQ(dialog.filters[0].patterns, "*.cfg");

    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].title, "Load configuration file");
    EXPECT_EQ(headless::MessagesShown()[0].text,
              "File not found.\r\rCreate a new configuration file from this?\r" + old_cfg);
    EXPECT_EQ(headless::MessagesShown()[0].buttons, ui::Buttons::OkCancel);

    EXPECT_EQ(Content(target), Content(old_cfg));
    EXPECT_EQ(CfgPath, target);
    EXPECT_EQ(Ini("CFG_FILE"), target);
    ASSERT_GT(target.size(), 50u);
    EXPECT_EQ(ui::GetTitle(), "RegScope [" + AbbreviatePath(target) + "]");
    EXPECT_NE(ui::GetTitle().find("..."), std::string::npos);
    EXPECT_TRUE(ui::IsMenuItemChecked(3104)) << "settings come from the copy";
}

TEST_F(SetupFiles, LoadCancelledOrOfAnExistingFile)
{
    std::string old_cfg = CfgPath;
    std::string target = dir_ + "/other.cfg";

    headless::QueueFileAnswer(std::nullopt);
    headless::MenuCommand(1101);
    headless::QueueMessageAnswer(ui::Answer::Cancel);
    Load(target);
    EXPECT_FALSE(sys::PathExists(target));
    ExpectUnchanged(old_cfg);

    // An existing file is taken as it is, without a question.
    ASSERT_TRUE(sys::CopyFile(old_cfg, target, nullptr));
    WriteConfigKey(target, "SERIAL_PARITY", "1");
    headless::ClearMessages();
    Load(target);
    EXPECT_TRUE(headless::MessagesShown().empty());
    EXPECT_EQ(CfgPath, target);
    EXPECT_EQ(SerialSettings.parity, 1);
    EXPECT_TRUE(ui::IsMenuItemChecked(3302));
    EXPECT_EQ(Cfg("SERIAL_PARITY"), "1");
    EXPECT_EQ(ReadConfigKey(old_cfg, "SERIAL_PARITY"), "2");
}

TEST_F(SetupFiles, SaveAsOntoTheFileInUseAsksAndContinues)
{
    std::string cfg = CfgPath;
    std::string before = Content(cfg);
    headless::QueueMessageAnswer(ui::Answer::Cancel);
    SaveAs(cfg);
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].title, "Save as configuration file");
    EXPECT_EQ(headless::MessagesShown()[0].text,
              "File already exist.\r\rReplace existing copy of this file?\r" + cfg);
    ExpectUnchanged(cfg);

    headless::QueueMessageAnswer(ui::Answer::Ok);
    SaveAs(cfg);
    EXPECT_TRUE(headless::FileDialogsShown().back().save);
    EXPECT_EQ(headless::FileDialogsShown().back().title,
              "Save current configuration to a new .CFG file");
    ExpectUnchanged(cfg);
    EXPECT_EQ(Content(cfg), before);
}

TEST_F(SetupFiles, SaveAsToANewNameContinuesInTheCopy)
{
    std::string old_cfg = CfgPath;
    std::string target = dir_ + "/copy"; // the dialog adds ".cfg"
    SaveAs(target);
    EXPECT_TRUE(headless::MessagesShown().empty());
    EXPECT_EQ(CfgPath, target + ".cfg");
    EXPECT_EQ(Content(CfgPath), Content(old_cfg));
    headless::MenuCommand(3105);
    EXPECT_EQ(Cfg("SERIAL_PORT"), "5");
    EXPECT_EQ(ReadConfigKey(old_cfg, "SERIAL_PORT"), "1") << "work goes on in the copy";
}

TEST_F(SetupFiles, AFailedCopyIsReportedAndSwitchesNothing)
{
    std::string cfg = CfgPath;
    // Missing folders: no copy can be made there, by any user.
    headless::QueueMessageAnswer(ui::Answer::Ok);
    Load(dir_ + "/missing/new.cfg");
    ASSERT_EQ(headless::MessagesShown().size(), 2u);
    const headless::MessageRecord& load_error = headless::MessagesShown()[1];
    EXPECT_EQ(load_error.title, "Load configuration file");
    EXPECT_EQ(load_error.icon, ui::Icon::Stop);
    EXPECT_NE(load_error.text.find(dir_ + "/missing/new.cfg"), std::string::npos);
    EXPECT_NE(load_error.text.find("No such file or directory"), std::string::npos);
    ExpectUnchanged(cfg);

    headless::ClearMessages();
    SaveAs(dir_ + "/missing/copy.cfg");
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].title, "Save as configuration file");
    EXPECT_EQ(headless::MessagesShown()[0].icon, ui::Icon::Stop);
    EXPECT_NE(headless::MessagesShown()[0].text.find(dir_ + "/missing/copy.cfg"),
              std::string::npos);
    ExpectUnchanged(cfg);
    EXPECT_FALSE(sys::PathExists(dir_ + "/missing"));
}

} // namespace
