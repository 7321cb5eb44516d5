// The form toolkit on the headless window, with a real configuration file:
// what a field shows, how it is coloured and what reaches the file while the
// user types, clicks and steps.
#include <cmath>
#include <functional>

#include "app/forms/forms.h"
#include "tests/support/program_folder.h"

namespace {

std::function<void(int, ui::Notify)> handler;

void Dispatch(int id, ui::Notify how)
{
    if (handler)
        handler(id, how);
}

class FormsWindow : public FolderTest {
protected:
    void SetUp() override
    {
        FolderTest::SetUp();
        app::CreateDefaultFiles();
        headless::ClearMessages();
        app::CfgPath = dir_ + "/RegScope.cfg";
        ui::EventSink sink;
        sink.on_command = &Dispatch;
        ui::SetEventSink(sink);
    }

    void TearDown() override
    {
        handler = nullptr;
        FolderTest::TearDown();
    }
};

TEST_F(FormsWindow, SecondListFieldIsColouredByItsOwnText)
{
    app::WriteConfigKey(app::CfgPath, "FUNCTION_TEST_23_VAL", "70000\\"); // edited by hand
    forms::AddValueListField(58031, "FUNCTION_TEST_16_VAL", "Values", 150, 70, 57, 100, false);
    forms::AddValueListField(59051, "FUNCTION_TEST_23_VAL", "Values Wr", 80, 70, 57, 100, false);
    handler = [](int id, ui::Notify) {
        forms::CommitNumberList(id, id == 58031 ? "FUNCTION_TEST_16_VAL" : "FUNCTION_TEST_23_VAL",
                                "0", "65535", "values", false);
    };
    headless::SetTextAsUser(58031, "70000");
    EXPECT_EQ(Back(58031), app::ErrorColour);
    // The remembered state is already "error" when the second field is
    // entered; it must turn red all the same.
    headless::Focus(59051);
    EXPECT_EQ(Back(59051), app::ErrorColour);
    EXPECT_EQ(Cfg("FUNCTION_TEST_23_VAL"), "65535\\");
    headless::SetTextAsUser(59051, "7");
    EXPECT_EQ(Back(59051), app::FieldColour);
    EXPECT_EQ(Back(58031), app::ErrorColour);
    EXPECT_EQ(Cfg("FUNCTION_TEST_16_VAL"), "65535\\");
}

TEST_F(FormsWindow, SteppersStopAtTheLimitAndStoreOnlyChanges)
{
    forms::AddValueField(10011, "MODULE_CFG_SLAVE", "Slave address", 15, 30, 50, false);
    ui::SetText(10011, "247"); // shown only: no handler stores it
    const std::string before = Content(app::CfgPath);

    EXPECT_FALSE(forms::StepUpAndStore(10011, "MODULE_CFG_SLAVE", "247", false));
    EXPECT_EQ(Text(10011), "247");
    EXPECT_EQ(Content(app::CfgPath), before);

    EXPECT_FALSE(forms::StepDownAndStore(10011, "MODULE_CFG_SLAVE", "1", true)); // disabled
    EXPECT_TRUE(forms::StepDownAndStore(10011, "MODULE_CFG_SLAVE", "1", false));
    EXPECT_EQ(Text(10011), "246");
    EXPECT_EQ(Cfg("MODULE_CFG_SLAVE"), "246");

    ui::SetText(10011, "1");
    EXPECT_FALSE(forms::StepDown(10011, "1", false));
    ui::SetText(10011, "12ab");
    EXPECT_TRUE(forms::StepUp(10011, "127", false));
    EXPECT_EQ(Text(10011), "13");
    // A fraction steps to the neighbouring fraction, not to a rounding error.
    ui::SetText(10011, "0.7");
    EXPECT_TRUE(forms::StepUp(10011, "127", false));
    EXPECT_EQ(Text(10011), "1.7");
}

TEST_F(FormsWindow, WaitSecondsEndsAndKeepsTheWindowAlive)
{
    double start = sys::MonotonicSeconds();
    forms::WaitSeconds(0.05);
    double elapsed = sys::MonotonicSeconds() - start;
    EXPECT_GE(elapsed, 0.05);
    EXPECT_LT(elapsed, 1.0);
    EXPECT_GE(headless::ProcessedMessageCalls(), 2);

    int before = headless::ProcessedMessageCalls();
    forms::WaitSeconds(0);
    EXPECT_EQ(headless::ProcessedMessageCalls(), before + 1); // pumps once
    forms::WaitSeconds(std::nan(""));
    EXPECT_EQ(headless::ProcessedMessageCalls(), before + 2);
}

TEST_F(FormsWindow, FileDialogsAreSetUpFromNameAndFilter)
{
    std::string name = dir_ + "/Plot.bmp";
    unsigned flags = 0x20;
    EXPECT_FALSE(forms::AskSaveFile("Save", &name, "C:\\", "Log (*.log)|*.log|Bitmap (*.bmp)|*.bmp",
                                    "bmp", &flags));
    EXPECT_EQ(name, dir_ + "/Plot.bmp"); // cancelled: unchanged
    EXPECT_EQ(headless::FileDialogsShown().back().filter_index, 1);

    headless::QueueFileAnswer(dir_ + "/Other.cfg");
    name = "RegScope.cfg";
    EXPECT_TRUE(forms::AskOpenFile("Load", &name, "C:\\", "Configuration file (*.cfg)|*.cfg", "cfg",
                                   &flags));
    EXPECT_EQ(name, dir_ + "/Other.cfg");
    EXPECT_EQ(headless::FileDialogsShown().back().folder, sys::HomeDirectory());

    // A proposal longer than the save dialog takes is not passed on cut.
    name = "/" + std::string(300, 'a') + ".bmp";
    forms::AskSaveFile("Save", &name, "", "Bitmap file (*.bmp)|*.bmp", "bmp", &flags);
    EXPECT_EQ(headless::FileDialogsShown().back().file_name, "");
}

} // namespace
