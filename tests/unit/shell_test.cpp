// The main window shell on the headless backend: start-up, tool switching,
// accelerators, the auto-read timer and the position keys.
#include "tests/support/program_folder.h"

namespace {

class Shell : public FolderTest {
protected:
    std::string Key(const std::string& file, const std::string& key)
    {
        return ReadConfigKey(Path(file), key);
    }
};

TEST_F(Shell, AnUnknownToolOpensNoPanelAndChecksNoTool)
{
    CreateDefaultFiles();
    WriteConfigKey(Path("RegScope.ini"), "TOOL", "MODULE_CONFIG");
    headless::Reset();
    ASSERT_TRUE(StartProgram());
    EXPECT_EQ(CurrentTool, 0);
    EXPECT_TRUE(headless::ControlIds().empty());
    for (int cmd = 2101; cmd <= 2104; ++cmd)
        EXPECT_FALSE(ui::IsMenuItemChecked(cmd)) << cmd;
}

TEST_F(Shell, ChoosingAToolGoesThroughTheFileAndRebuildsThePanel)
{
    ASSERT_TRUE(StartProgram());
    headless::MenuCommand(2103);
    EXPECT_EQ(Key("RegScope.ini", "TOOL"), "FUNCTION_TEST");
    EXPECT_EQ(CurrentTool, 3);
    EXPECT_FALSE(ui::ControlExists(10001));
    EXPECT_TRUE(ui::ControlExists(50001));
    EXPECT_FALSE(ui::IsMenuItemChecked(2101));

    // Settings changed by hand are picked up by the next tool change.
    WriteConfigKey(CfgPath, "SERIAL_PORT", "3");
    AutoReadActive = 1;
    headless::MenuCommand(2103);
    EXPECT_EQ(SerialSettings.port, 3);
    EXPECT_TRUE(ui::IsMenuItemChecked(3103));
    EXPECT_TRUE(ui::ControlExists(50001));
}

TEST_F(Shell, AcceleratorsActEvenWhileAnEditBoxHasTheFocus)
{
    ASSERT_TRUE(StartProgram());
    headless::MenuCommand(2104);
    ui::ControlSpec box{ui::Kind::Edit, 60999, "some text", 10, 10, 50, 15};
    ui::CreateControl(box);
    headless::Focus(60999);
    ASSERT_EQ(ui::GetFocus(), 60999);

    ASSERT_TRUE(headless::PressAccelerator('C'));
    EXPECT_EQ(Key("RegScope.ini", "TOOL"), "MODULE_CFG");
    EXPECT_EQ(CurrentTool, 1);

    ASSERT_TRUE(headless::PressAccelerator('M'));
    EXPECT_EQ(CurrentTool, 2);
    EXPECT_FALSE(headless::PressAccelerator('Q'));

    ASSERT_TRUE(headless::PressAccelerator('X'));
    EXPECT_FALSE(ui::MainWindowOpen());
}

TEST_F(Shell, TimerPeriodFollowsSampleTimeAndCalibration)
{
    ASSERT_TRUE(StartProgram());
    WriteConfigKey(CfgPath, "SAMPLE_TIME", "0.5");
    ApplyGeneralConfiguration();

    AutoReadActive = 1;
    RestartAutoReadTimer();
    EXPECT_EQ(ui::TimerPeriod(), 500);
    EXPECT_EQ(headless::Tick(3), 3);
    EXPECT_DOUBLE_EQ(ElapsedTime, 1.5);

    WriteConfigKey(CfgPath, "TIME_CALIB", "2.0");
    ApplyGeneralConfiguration();
    AutoReadActive = 1;
    RestartAutoReadTimer();
    EXPECT_EQ(ui::TimerPeriod(), 250);
    EXPECT_DOUBLE_EQ(ElapsedTime, 0);
    headless::Tick(2);
    EXPECT_DOUBLE_EQ(ElapsedTime, 1.0);

    // Off: restarting does nothing, ticks keep counting time.
    AutoReadActive = 0;
    RestartAutoReadTimer();
    EXPECT_EQ(ui::TimerPeriod(), 250);
    headless::Tick(1);
    EXPECT_DOUBLE_EQ(ElapsedTime, 1.5);
}

TEST_F(Shell, AutoReadWithNoTimerPeriodRefusesToStartAndSaysWhy)
{
    ASSERT_TRUE(StartProgram());
    headless::ClearMessages();
    for (auto [sample, calib] : {std::pair{"1.0", "-1"}, std::pair{"0", "1.0"},
                                 std::pair{"0.0001", "1.0"}}) {
        WriteConfigKey(CfgPath, "SAMPLE_TIME", sample);
        WriteConfigKey(CfgPath, "TIME_CALIB", calib);
        ApplyGeneralConfiguration();
        EXPECT_FALSE(SwitchAutoRead()) << sample << " / " << calib;
        EXPECT_EQ(AutoReadActive, 0);
        EXPECT_EQ(ui::TimerPeriod(), 0);
        EXPECT_EQ(headless::Tick(5), 0);
        EXPECT_EQ(ui::GetStatusText(), "Ready");
        ASSERT_EQ(headless::MessagesShown().size(), 1u);
        EXPECT_EQ(headless::MessagesShown()[0].title, "Auto read");
        EXPECT_EQ(headless::MessagesShown()[0].icon, ui::Icon::Stop);
        headless::ClearMessages();
    }
}

TEST_F(Shell, TheNextStartOpensTheWindowWhereItWasMoved)
{
    ASSERT_TRUE(StartProgram());
    headless::MoveWindow(37, -5);
    headless::Reset();
    ASSERT_TRUE(StartProgram());
    int x, y;
    ui::GetWindowPosition(&x, &y);
    EXPECT_EQ(x, 37);
    EXPECT_EQ(y, -5);
    EXPECT_TRUE(headless::MessagesShown().empty());
}

} // namespace
