// The form toolkit on the headless window, with a real configuration file:
// what a field shows, how it is coloured and what reaches the file while the
// user types, clicks and steps.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <unistd.h>

#include "app/config_store.h"
#include "app/forms/forms.h"
#include "app/shell.h"
#include "platform/headless/headless.h"
#include "platform/system.h"

namespace {

std::function<void(int, ui::Notify)> handler;

void Dispatch(int id, ui::Notify how)
{
    if (handler)
        handler(id, how);
}

class FormsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::Reset();
        char pattern[] = "/tmp/regscope-forms-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ASSERT_EQ(chdir(dir_.c_str()), 0);
        CreateDefaultFiles();
        headless::ClearMessages();
        CfgPath = dir_ + "/RegScope.cfg";
        ui::EventSink sink;
        sink.on_command = &Dispatch;
        ui::SetEventSink(sink);
    }

    void TearDown() override
    {
        handler = nullptr;
        std::filesystem::remove_all(dir_);
    }

    static std::string Stored(const std::string& key) { return ReadConfigKey(CfgPath, key); }
    static std::string CfgContent()
    {
        std::string content, error;
        sys::ReadFile(CfgPath, &content, &error);
        return content;
    }
    static ui::Colour Back(int id) { return headless::Control(id)->spec.back_colour; }
    static std::string Text(int id) { return headless::Control(id)->spec.text; }

    std::string dir_;
};

const char* kSlaveHint = "Address of Modbus slave. Valid: 1÷247";

TEST_F(FormsWindow, ValueFieldClampsWhatItStoresButShowsWhatWasTyped)
{
    AddValueField(10011, "MODULE_CFG_SLAVE", "Slave address", 15, 30, 50, false);
    std::vector<std::string> stored;
    handler = [&](int id, ui::Notify) {
        CommitNumber(id, "MODULE_CFG_SLAVE", "1", "247", kSlaveHint, false);
        stored.push_back(Stored("MODULE_CFG_SLAVE"));
    };
    headless::Erase(10011);
    EXPECT_EQ(stored.back(), "1");
    EXPECT_EQ(Back(10011), ErrorColour);

    stored.clear();
    headless::Type(10011, "300");
    EXPECT_EQ(stored, (std::vector<std::string>{"3", "30", "247"}));
    EXPECT_EQ(Text(10011), "300");
    EXPECT_EQ(Back(10011), ErrorColour);
    EXPECT_EQ(ui::GetStatusText(), kSlaveHint);
    headless::SetTextAsUser(10011, "12ab");
    EXPECT_EQ(stored.back(), "12ab");
    EXPECT_EQ(Back(10011), FieldColour);

    // Disabled: the hint shows, nothing else happens.
    const std::string before = CfgContent();
    handler = [](int id, ui::Notify) {
        CommitNumber(id, "MODULE_CFG_SLAVE", "1", "247", "off", true);
    };
    headless::SetTextAsUser(10011, "999");
    EXPECT_EQ(ui::GetStatusText(), "off");
    EXPECT_EQ(Back(10011), FieldColour);
    EXPECT_EQ(CfgContent(), before);
}

TEST_F(FormsWindow, FieldLayoutAndRemoval)
{
    AddValueField(10011, "MODULE_CFG_BAUD", "Baudrate", 15, 30, 50, true);
    const auto* box = headless::Control(10011);
    const auto* caption = headless::Control(10012);
    ASSERT_TRUE(box && caption);
    EXPECT_EQ(box->spec.text, "9600");
    EXPECT_EQ(std::make_tuple(box->spec.x, box->spec.y, box->spec.w, box->spec.h),
              std::make_tuple(15, 40, 50, 15));
    EXPECT_TRUE(box->read_only);
    EXPECT_EQ(std::make_tuple(caption->spec.x, caption->spec.y, caption->spec.w, caption->spec.h),
              std::make_tuple(15, 30, 100, 9));
    RemoveControls(10011);
    EXPECT_TRUE(headless::ControlIds().empty());
}

TEST_F(FormsWindow, ListFieldStoresLinesAsItems)
{
    AddValueListField(57031, "FUNCTION_TEST_15_VAL", "Values", 150, 70, 57, 100, false);
    EXPECT_EQ(Text(57031), "0"); // stored "0\": one item
    handler = [](int id, ui::Notify) {
        CommitNumberList(id, "FUNCTION_TEST_15_VAL", "0", "1", "coils", false);
    };
    headless::Focus(57031);
    EXPECT_EQ(Stored("FUNCTION_TEST_15_VAL"), "0\\"); // entering changes nothing

    headless::Erase(57031);
    headless::Type(57031, "1\n5");
    EXPECT_EQ(Text(57031), "1\r\n5");
    EXPECT_EQ(Stored("FUNCTION_TEST_15_VAL"), "1\\1\\");
    EXPECT_EQ(Back(57031), ErrorColour);

    RemoveControls(57031);
    AddValueListField(57031, "FUNCTION_TEST_15_VAL", "Values", 150, 70, 57, 100, false);
    EXPECT_EQ(Text(57031), "1\r\n1");
}

TEST_F(FormsWindow, SecondListFieldIsColouredByItsOwnText)
{
    WriteConfigKey(CfgPath, "FUNCTION_TEST_23_VAL", "70000\\"); // edited by hand
    AddValueListField(58031, "FUNCTION_TEST_16_VAL", "Values", 150, 70, 57, 100, false);
    AddValueListField(59051, "FUNCTION_TEST_23_VAL", "Values Wr", 80, 70, 57, 100, false);
    handler = [](int id, ui::Notify) {
        CommitNumberList(id, id == 58031 ? "FUNCTION_TEST_16_VAL" : "FUNCTION_TEST_23_VAL", "0",
                         "65535", "values", false);
    };
    headless::SetTextAsUser(58031, "70000");
    EXPECT_EQ(Back(58031), ErrorColour);
    // The remembered state is already "error" when the second field is
    // entered; it must turn red all the same.
    headless::Focus(59051);
    EXPECT_EQ(Back(59051), ErrorColour);
    EXPECT_EQ(Stored("FUNCTION_TEST_23_VAL"), "65535\\");
    headless::SetTextAsUser(59051, "7");
    EXPECT_EQ(Back(59051), FieldColour);
    EXPECT_EQ(Back(58031), ErrorColour);
    EXPECT_EQ(Stored("FUNCTION_TEST_16_VAL"), "65535\\");
}

TEST_F(FormsWindow, SteppersStopAtTheLimitAndStoreOnlyChanges)
{
    AddValueField(10011, "MODULE_CFG_SLAVE", "Slave address", 15, 30, 50, false);
    ui::SetText(10011, "247"); // shown only: no handler stores it
    const std::string before = CfgContent();

    EXPECT_FALSE(StepUpAndStore(10011, "MODULE_CFG_SLAVE", "247", false));
    EXPECT_EQ(Text(10011), "247");
    EXPECT_EQ(CfgContent(), before);

    EXPECT_FALSE(StepDownAndStore(10011, "MODULE_CFG_SLAVE", "1", true)); // disabled
    EXPECT_TRUE(StepDownAndStore(10011, "MODULE_CFG_SLAVE", "1", false));
    EXPECT_EQ(Text(10011), "246");
    EXPECT_EQ(Stored("MODULE_CFG_SLAVE"), "246");

    ui::SetText(10011, "1");
    EXPECT_FALSE(StepDown(10011, "1", false));
    ui::SetText(10011, "12ab");
    EXPECT_TRUE(StepUp(10011, "127", false));
    EXPECT_EQ(Text(10011), "13");
    // A fraction steps to the neighbouring fraction, not to a rounding error.
    ui::SetText(10011, "0.7");
    EXPECT_TRUE(StepUp(10011, "127", false));
    EXPECT_EQ(Text(10011), "1.7");
}

TEST_F(FormsWindow, CheckAndChoiceFields)
{
    WriteConfigKey(CfgPath, "CH01_PLOT", " 1");
    AddCheckField(60611, "CH01_PLOT", "Plot", 15, 30, 60);
    EXPECT_FALSE(headless::Control(60611)->checked);
    WriteConfigKey(CfgPath, "CH01_TYPE", "COIL");
    AddChoiceField(60511, "CH01_TYPE", "Type", "INPUT_REG", "HOLD_REG", 15, 60, 80);
    EXPECT_FALSE(headless::Control(60512)->checked);
    EXPECT_FALSE(headless::Control(60513)->checked);

    handler = [](int id, ui::Notify) {
        if (id == 60611)
            CommitCheck(id, "CH01_PLOT", "plot");
        else
            CommitOption(id, "CH01_TYPE", id == 60512 ? "INPUT_REG" : "HOLD_REG", "type");
    };
    headless::Click(60611);
    EXPECT_EQ(Stored("CH01_PLOT"), "1");
    headless::Click(60513);
    EXPECT_EQ(Stored("CH01_TYPE"), "HOLD_REG");
    AddChoiceField(60511, "CH01_TYPE", "Type", "INPUT_REG", "HOLD_REG", 15, 60, 80);
    EXPECT_TRUE(headless::Control(60513)->checked);

    // The whole group goes, and nothing of a neighbour.
    AddButton(60514, "Next", 15, 110, 40);
    RemoveControls(60511);
    RemoveControls(60611);
    EXPECT_EQ(headless::ControlIds(), std::vector<int>{60514});
}

TEST_F(FormsWindow, BitFieldIsOnlyColoured)
{
    AddDisplayField(22011, "Outputs", 15, 30, 60, false);
    handler = [](int id, ui::Notify) { CheckBits(id, 8, "bits", false); };
    headless::SetTextAsUser(22011, "10121010");
    EXPECT_EQ(Back(22011), ErrorColour);
    headless::SetTextAsUser(22011, "10101010");
    EXPECT_EQ(Back(22011), FieldColour);
}

TEST_F(FormsWindow, ColourFieldChoosesAndStores)
{
    AddColourField(60631, "CH01_BACK_COLOR", "Background color", 165, 90, 60);
    EXPECT_EQ(Back(60631), FieldColour); // 16774371

    const std::string before = CfgContent();
    ChooseColourAndStore(60631, "CH01_BACK_COLOR", "Background color of channel");
    EXPECT_EQ(CfgContent(), before); // cancelled

    headless::QueueColourAnswer(ui::Rgb(1, 2, 3));
    ChooseColourAndStore(60631, "CH01_BACK_COLOR", "Background color of channel");
    EXPECT_EQ(Stored("CH01_BACK_COLOR"), "197121");
    EXPECT_EQ(Back(60631), ui::Rgb(1, 2, 3));
}

TEST_F(FormsWindow, ChannelRowEnablingAndRebuild)
{
    const ui::Colour fore = ui::Rgb(10, 0, 0), back = ui::Rgb(0, 0, 200);
    auto enabled = [] {
        std::vector<bool> row;
        for (int id = 60101; id <= 60105; ++id)
            row.push_back(ui::IsEnabled(id));
        return row;
    };
    AddChannelRow(60101, "CH01_Label", 15, 30, 70, false, false, fore, back);
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, true, false, false})); // "S" stays
    EXPECT_EQ(headless::Control(60105)->spec.x, 15 + 70 + 35);
    EXPECT_EQ(headless::Control(60101)->spec.text_colour, fore);

    ui::SetText(60101, "12.5");
    RebuildChannelValue(60101, "Tank", true, true, back, fore);
    const auto* box = headless::Control(60101);
    EXPECT_EQ(box->spec.text, "12.5");
    EXPECT_EQ(std::make_tuple(box->spec.x, box->spec.y, box->spec.w, box->spec.h),
              std::make_tuple(15, 40, 70, 15));
    EXPECT_TRUE(box->read_only);
    EXPECT_EQ(box->spec.back_colour, fore);
    EXPECT_EQ(Text(60102), "Tank");
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, false})); // read-only: no "W"

    AddChannelRow(60111, "CH02_Label", 15, 60, 70, false, true, fore, back);
    RemoveControls(60101);
    EXPECT_FALSE(ui::ControlExists(60105));
    EXPECT_TRUE(ui::ControlExists(60111));
}

TEST_F(FormsWindow, WaitSecondsEndsAndKeepsTheWindowAlive)
{
    double start = sys::MonotonicSeconds();
    WaitSeconds(0.05);
    double elapsed = sys::MonotonicSeconds() - start;
    EXPECT_GE(elapsed, 0.05);
    EXPECT_LT(elapsed, 1.0);
    EXPECT_GE(headless::ProcessedMessageCalls(), 2);

    int before = headless::ProcessedMessageCalls();
    WaitSeconds(0);
    EXPECT_EQ(headless::ProcessedMessageCalls(), before + 1); // pumps once
    WaitSeconds(std::nan(""));
    EXPECT_EQ(headless::ProcessedMessageCalls(), before + 2);
}

TEST_F(FormsWindow, CancelAnswers)
{
    headless::QueueMessageAnswer(ui::Answer::Cancel);
    EXPECT_TRUE(AskOkCancel("Go?", "Question"));
    EXPECT_EQ(headless::MessagesShown().at(0).icon, ui::Icon::Information);
    EXPECT_EQ(AskText("Enter baudrate for communication", "Baudrate", "9600"), "");
}

TEST_F(FormsWindow, FileDialogsAreSetUpFromNameAndFilter)
{
    std::string name = dir_ + "/Plot.bmp";
    unsigned flags = 0x20;
    EXPECT_FALSE(AskSaveFile("Save", &name, "C:\\", "Log (*.log)|*.log|Bitmap (*.bmp)|*.bmp",
                             "bmp", &flags));
    EXPECT_EQ(name, dir_ + "/Plot.bmp"); // cancelled: unchanged
    const ui::FileDialogSpec& save = headless::FileDialogsShown().back();
    EXPECT_EQ(std::make_tuple(save.save, save.folder, save.filter_index, save.flags),
              std::make_tuple(true, dir_, 1, 0x20u));

    headless::QueueFileAnswer(dir_ + "/Other.cfg");
    name = "RegScope.cfg";
    EXPECT_TRUE(AskOpenFile("Load", &name, "C:\\", "Configuration file (*.cfg)|*.cfg", "cfg",
                            &flags));
    EXPECT_EQ(name, dir_ + "/Other.cfg");
    EXPECT_EQ(headless::FileDialogsShown().back().folder, sys::HomeDirectory());

    // A proposal longer than the save dialog takes is not passed on cut.
    name = "/" + std::string(300, 'a') + ".bmp";
    AskSaveFile("Save", &name, "", "Bitmap file (*.bmp)|*.bmp", "bmp", &flags);
    EXPECT_EQ(headless::FileDialogsShown().back().file_name, "");
}

} // namespace
