// The main window shell on the headless backend: start-up, tool switching,
// accelerators, the auto-read timer and the position keys.
#include "app/command_ids.h"
#include "tests/support/program_folder.h"

namespace {

using Shell = FolderTest;

TEST_F(Shell, AnUnknownToolOpensNoPanelAndChecksNoTool)
{
    app::CreateDefaultFiles();
    app::WriteConfigKey(Path("RegScope.ini"), "TOOL", "MODULE_CONFIG");
    headless::Reset();
    ASSERT_TRUE(app::StartProgram(programs::AllParts()));
    EXPECT_EQ(app::CurrentTool, 0);
    EXPECT_TRUE(headless::ControlIds().empty());
    for (int cmd = app::cmd::kFirstTool; cmd < app::cmd::kFirstTool + app::cmd::kToolCount; ++cmd)
        EXPECT_FALSE(ui::IsMenuItemChecked(cmd)) << cmd;
}

TEST_F(Shell, ChoosingAToolGoesThroughTheFileAndRebuildsThePanel)
{
    ASSERT_TRUE(app::StartProgram(programs::AllParts()));
    headless::MenuCommand(app::cmd::kTestFunction);
    EXPECT_EQ(Ini("TOOL"), "FUNCTION_TEST");
    EXPECT_EQ(app::CurrentTool, 3);
    EXPECT_FALSE(ui::ControlExists(10001));
    EXPECT_TRUE(ui::ControlExists(50001));
    EXPECT_FALSE(ui::IsMenuItemChecked(app::cmd::kConfigureModule));

    // Settings changed by hand are picked up by the next tool change.
    app::WriteConfigKey(app::CfgPath, "SERIAL_PORT", "3");
    app::AutoReadActive = 1;
    headless::MenuCommand(app::cmd::kTestFunction);
    EXPECT_EQ(app::SerialSettings.line.port, 3);
    EXPECT_TRUE(ui::IsMenuItemChecked(app::cmd::PortCommand(3)));
    EXPECT_TRUE(ui::ControlExists(50001));
}

TEST_F(Shell, AcceleratorsActEvenWhileAnEditBoxHasTheFocus)
{
    ASSERT_TRUE(app::StartProgram(programs::AllParts()));
    headless::MenuCommand(app::cmd::kAnalyzer);
    ui::ControlSpec box{ui::Kind::Edit, 60999, "some text", 10, 10, 50, 15};
    ui::CreateControl(box);
    headless::Focus(60999);
    ASSERT_EQ(ui::GetFocus(), 60999);

    ASSERT_TRUE(headless::PressAccelerator('C'));
    EXPECT_EQ(Ini("TOOL"), "MODULE_CFG");
    EXPECT_EQ(app::CurrentTool, 1);

    ASSERT_TRUE(headless::PressAccelerator('M'));
    EXPECT_EQ(app::CurrentTool, 2);
    EXPECT_FALSE(headless::PressAccelerator('Q'));
}

TEST_F(Shell, TicksKeepTimeAndTheTimerRestsWhileAutoReadIsOff)
{
    ASSERT_TRUE(app::StartProgram(programs::AllParts()));
    app::WriteConfigKey(app::CfgPath, "SAMPLE_TIME", "0.01");
    app::ApplyGeneralConfiguration();
    ASSERT_TRUE(app::SwitchAutoRead());
    EXPECT_EQ(ui::TimerPeriod(), 10);
    // Ten minutes of passes that fit: one tick per period, none lost.
    EXPECT_EQ(headless::AdvanceClock(600.0), 60000);
    EXPECT_NEAR(app::ElapsedTime, 600.0, 600.0 * 1e-6);

    // Switched off: not one wake-up more, yet the timer still runs.
    EXPECT_FALSE(app::SwitchAutoRead());
    EXPECT_EQ(headless::AdvanceClock(60.0), 0);
    EXPECT_EQ(ui::TimerPeriod(), 10);

    // Stopped from elsewhere (a communication error clears the flag): the
    // next tick finds nothing to do and puts the timer to rest.
    ASSERT_TRUE(app::SwitchAutoRead());
    EXPECT_DOUBLE_EQ(app::ElapsedTime, 0);
    EXPECT_EQ(headless::AdvanceClock(0.05), 5);
    app::AutoReadActive = 0;
    EXPECT_EQ(headless::AdvanceClock(60.0), 1);
    EXPECT_TRUE(ui::TimerResting());
}

TEST_F(Shell, AutoReadWithNoTimerPeriodRefusesToStartAndSaysWhy)
{
    ASSERT_TRUE(app::StartProgram(programs::AllParts()));
    headless::ClearMessages();
    for (auto [sample, calib] :
         {std::pair{"1.0", "-1"}, std::pair{"0", "1.0"}, std::pair{"0.0001", "1.0"}}) {
        app::WriteConfigKey(app::CfgPath, "SAMPLE_TIME", sample);
        app::WriteConfigKey(app::CfgPath, "TIME_CALIB", calib);
        app::ApplyGeneralConfiguration();
        EXPECT_FALSE(app::SwitchAutoRead()) << sample << " / " << calib;
        EXPECT_EQ(app::AutoReadActive, 0);
        EXPECT_EQ(ui::TimerPeriod(), 0);
        EXPECT_EQ(headless::Tick(5), 0);
        EXPECT_EQ(ui::GetStatusText(), "Ready");
        EXPECT_EQ(Boxes().rfind("stop Auto read: ", 0), 0u) << Boxes();
        headless::ClearMessages();
    }
}

TEST_F(Shell, TheNextStartOpensTheWindowWhereItWasMoved)
{
    ASSERT_TRUE(app::StartProgram(programs::AllParts()));
    headless::MoveWindow(37, -5);
    headless::Reset();
    ASSERT_TRUE(app::StartProgram(programs::AllParts()));
    int x, y;
    ui::GetWindowPosition(&x, &y);
    EXPECT_EQ(x, 37);
    EXPECT_EQ(y, -5);
    EXPECT_TRUE(headless::MessagesShown().empty());
}

} // namespace
