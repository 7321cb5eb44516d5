// The builders and commits the Analyzer's channel setup is made of, on the
// headless window with a real configuration file: what each shows from its
// key, which parts of a channel row the user may use, and what reaches the
// file when the user acts.
#include <array>

#include "app/control_ids.h"
#include "app/forms/forms.h"
#include "tests/support/program_folder.h"

namespace {

constexpr int kRow = app::kAnalyzerBase + 100; // box, caption, "S", "R", "W"
constexpr int kSetup = kRow + 2, kRead = kRow + 3, kWrite = kRow + 4;

class FormsBuilders : public FolderTest {
protected:
    void SetUp() override
    {
        FolderTest::SetUp();
        app::CreateDefaultFiles();
        headless::ClearMessages();
        app::CfgPath = dir_ + "/RegScope.cfg";
    }
    static bool Enabled(int id) { return ui::IsEnabled(id); }
};

TEST_F(FormsBuilders, ChannelRowOffersWriteOnlyForAWritableEnabledChannel)
{
    const ui::Colour text = ui::Rgb(10, 20, 30), back = ui::Rgb(200, 210, 220);
    forms::AddChannelRow(kRow, "CH1", 15, 80, 60, true, true, text, back);
    EXPECT_FALSE(Enabled(kWrite)) << "a read-only channel cannot be written";

    // Made writable with a value on show: the value, place and size stay.
    ui::SetText(kRow, "12.5");
    const ui::ControlSpec before = headless::Control(kRow)->spec;
    forms::RebuildChannelValue(kRow, "CH1 holding", false, true, text, back);
    const ui::ControlSpec& after = headless::Control(kRow)->spec;
    EXPECT_FALSE(ui::IsReadOnly(kRow));
    EXPECT_TRUE(Enabled(kWrite));
    EXPECT_EQ(ui::GetText(kRow), "12.5");
    EXPECT_EQ(ui::GetText(kRow + 1), "CH1 holding");
    EXPECT_EQ((std::array{after.x, after.y, after.w, after.h}),
              (std::array{before.x, before.y, before.w, before.h}));

    // Disabled: only "S" stays usable, so that the channel can be enabled again.
    forms::RebuildChannelValue(kRow, "CH1", false, false, text, back);
    EXPECT_FALSE(Enabled(kRow));
    EXPECT_TRUE(Enabled(kSetup));
    EXPECT_FALSE(Enabled(kRead));
    EXPECT_FALSE(Enabled(kWrite));

    // Removing the row takes all five controls; rebuilding it then does nothing.
    forms::RemoveControls(kRow);
    for (int id = kRow; id <= kWrite; ++id)
        EXPECT_FALSE(ui::ControlExists(id)) << id;
    forms::RebuildChannelValue(kRow, "CH1", false, true, text, back);
    EXPECT_FALSE(ui::ControlExists(kRow));
}

TEST_F(FormsBuilders, CommitsStoreWhatTheUserChose)
{
    forms::AddTextField(kRow, "CH32_LABEL", "Label", 15, 80, 100, false);
    ui::SetText(kRow, "Boiler");
    forms::CommitText(kRow, "CH32_LABEL", "Label of the channel", true);
    EXPECT_EQ(Cfg("CH32_LABEL"), "CH32_Label") << "a disabled field stores nothing";
    forms::CommitText(kRow, "CH32_LABEL", "Label of the channel", false);
    EXPECT_EQ(Cfg("CH32_LABEL"), "Boiler");
    EXPECT_EQ(ui::GetStatusText(), "Label of the channel");

    forms::AddCheckField(kRow + 10, "CH32_ENABLE", "Enable", 15, 110, 60);
    headless::Click(kRow + 10);
    forms::CommitCheck(kRow + 10, "CH32_ENABLE", "Enable");
    EXPECT_EQ(Cfg("CH32_ENABLE"), "1");
    headless::Click(kRow + 10);
    forms::CommitCheck(kRow + 10, "CH32_ENABLE", "Enable");
    EXPECT_EQ(Cfg("CH32_ENABLE"), "0");

    // Only the option that is now checked stores its value.
    forms::AddChoiceField(kRow + 20, "CH32_TYPE", "Type", "INP_REG", "HOLD_REG", 15, 130, 80);
    headless::Click(kRow + 21);
    forms::CommitOption(kRow + 22, "CH32_TYPE", "HOLD_REG", "Type");
    EXPECT_EQ(Cfg("CH32_TYPE"), "HOLD_REG");
    forms::CommitOption(kRow + 21, "CH32_TYPE", "INP_REG", "Type");
    EXPECT_EQ(Cfg("CH32_TYPE"), "INP_REG");

    // Two equal option texts never leave the group with both checked.
    forms::AddChoiceField(kRow + 40, "CH32_TYPE", "Type", "INP_REG", "INP_REG", 15, 230, 80);
    EXPECT_TRUE(ui::IsChecked(kRow + 41));
    EXPECT_FALSE(ui::IsChecked(kRow + 42));
}

TEST_F(FormsBuilders, ColourChoiceIsShownInTheBoxUnlessCancelled)
{
    forms::AddColourField(kRow, "CH32_BACK_COLOR", "Back colour", 15, 80, 60);
    const std::string stored = Cfg("CH32_BACK_COLOR");
    headless::QueueColourAnswer(std::nullopt);
    forms::ChooseColourAndStore(kRow, "CH32_BACK_COLOR", "Colour of the value box");
    EXPECT_EQ(Cfg("CH32_BACK_COLOR"), stored);

    headless::QueueColourAnswer(ui::Rgb(0, 128, 255));
    forms::ChooseColourAndStore(kRow, "CH32_BACK_COLOR", "Colour of the value box");
    EXPECT_EQ(headless::Control(kRow)->spec.back_colour, ui::Rgb(0, 128, 255));
}

} // namespace
