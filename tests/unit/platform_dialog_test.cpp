// Dialogs that host controls on the headless window system: where controls
// go, what reaches the program, what the user can reach, and the focus.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform_events.h"

namespace {

using platform_test::Events;
using Strings = std::vector<std::string>;

constexpr int kMainEdit = 100, kMainButton = 101;
constexpr int kEdit = 500, kCheck = 501, kLabel = 502, kOpenInner = 503, kInnerEdit = 600;

ui::ControlSpec Spec(ui::Kind kind, int id, int x = 10, int y = 10)
{
    return {.kind = kind, .id = id, .text = "", .x = x, .y = y, .w = 50, .h = 15};
}

void BuildDialog()
{
    ui::CreateControl(Spec(ui::Kind::Label, kLabel));
    ui::CreateControl(Spec(ui::Kind::Edit, kEdit, 15, 60));
    ui::CreateControl(Spec(ui::Kind::Check, kCheck, 15, 10));
}

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform_test::OpenMainWindow();
        ui::CreateControl(Spec(ui::Kind::Edit, kMainEdit));
        ui::CreateControl(Spec(ui::Kind::Button, kMainButton, 10, 40));
    }
};

TEST_F(Dialogs, ControlsLiveOnTheDialogUntilTheUserClosesIt)
{
    headless::QueueDialogAction([] {
        EXPECT_EQ(ui::OpenDialogCount(), 1);
        ASSERT_NE(headless::Control(kEdit), nullptr);
        EXPECT_EQ(headless::Control(kEdit)->host, 1);
        EXPECT_EQ(headless::Control(kMainEdit)->host, 0);
        Events().clear();
        headless::Type(kEdit, "12");
        headless::Click(kCheck);
        // The program goes on updating the main window meanwhile.
        ui::SetText(kMainEdit, "7");
    });
    ui::RunDialog({"Channel setup - CH07", 230, 220, ui::Rgb(240, 240, 240)}, BuildDialog);

    EXPECT_EQ(Events(),
              (Strings{"500 change", "500 change", "500 out", "501 click", "100 change"}));
    EXPECT_FALSE(ui::ControlExists(kEdit));
    EXPECT_FALSE(ui::ControlExists(kCheck));
    EXPECT_FALSE(ui::ControlExists(kLabel));
    EXPECT_EQ(ui::GetText(kMainEdit), "7");
    EXPECT_EQ(ui::OpenDialogCount(), 0);
    ASSERT_EQ(headless::DialogsShown().size(), 1u);
    EXPECT_EQ(headless::DialogsShown()[0].title, "Channel setup - CH07");
    EXPECT_EQ(headless::DialogsShown()[0].w_dlu, 230);
    EXPECT_EQ(headless::DialogsShown()[0].h_dlu, 220);
    // The main window is the parent again.
    ui::CreateControl(Spec(ui::Kind::Label, 102));
    EXPECT_EQ(headless::Control(102)->host, 0);
}

TEST_F(Dialogs, TheMainWindowIgnoresTheUserWhileTheTimerGoesOn)
{
    ui::StartTimer(1000);
    headless::QueueDialogAction([] {
        Events().clear();
        headless::Click(kMainButton);
        headless::Type(kMainEdit, "9");
        headless::MenuCommand(1001);
        EXPECT_FALSE(headless::PressAccelerator('X'));
        headless::CloseWindowBox();
        EXPECT_EQ(headless::Tick(2), 2);
        EXPECT_EQ(Events(), (Strings{"tick", "tick"}));
    });
    ui::RunDialog({"Plot setup", 230, 190}, BuildDialog);
    EXPECT_TRUE(ui::MainWindowOpen());
    EXPECT_EQ(ui::GetText(kMainEdit), "");
    Events().clear();
    headless::Click(kMainButton);
    EXPECT_EQ(Events(), (Strings{"101 click"}));
}

TEST_F(Dialogs, FocusGoesToTheDialogAndComesBack)
{
    headless::Focus(kMainEdit);
    Events().clear();
    headless::QueueDialogAction([] {
        // The label cannot take the focus; the check box, built after the
        // edit box, comes later.
        EXPECT_EQ(headless::FocusedControl(), kEdit);
        headless::Type(kEdit, "1");
    });
    ui::RunDialog({"Setup", 100, 100}, BuildDialog);
    // The dialog's box says nothing once the dialog is closed.
    EXPECT_EQ(Events(), (Strings{"100 out", "500 in", "500 change", "100 in"}));
    EXPECT_EQ(headless::FocusedControl(), kMainEdit);
}

TEST_F(Dialogs, ClosingEndsTheUsersActionAndNestedDialogsTakeTheNextOne)
{
    headless::QueueDialogAction([] {
        headless::Click(kOpenInner); // opens the inner dialog, which takes the next action
        EXPECT_EQ(ui::OpenDialogCount(), 1);
        EXPECT_FALSE(ui::ControlExists(kInnerEdit));
        headless::CloseDialogBox();
        headless::Type(kEdit, "lost");
    });
    headless::QueueDialogAction([] {
        EXPECT_EQ(ui::OpenDialogCount(), 2);
        EXPECT_EQ(headless::Control(kInnerEdit)->host, 2);
        headless::Type(kEdit, "x"); // the outer dialog is out of reach
        headless::Type(kInnerEdit, "y");
    });
    ui::EventSink sink;
    sink.on_command = [](int id, ui::Notify how) {
        Events().push_back(std::to_string(id) + " " + platform_test::NameOf(how));
        if (id == kOpenInner && how == ui::Notify::Click)
            ui::RunDialog({"Inner", 50, 50},
                          [] { ui::CreateControl(Spec(ui::Kind::Edit, kInnerEdit)); });
    };
    ui::SetEventSink(sink);
    ui::RunDialog({"Outer", 100, 100}, [] {
        BuildDialog();
        ui::CreateControl(Spec(ui::Kind::Button, kOpenInner, 10, 100));
    });
    EXPECT_EQ(ui::GetText(kEdit), "");
    EXPECT_EQ(std::count(Events().begin(), Events().end(), "600 change"), 1);
    EXPECT_EQ(std::count(Events().begin(), Events().end(), "500 change"), 0);
    EXPECT_EQ(headless::DialogsShown().size(), 2u);

    // Without a queued action the user closes the dialog at once.
    ui::RunDialog({"Quick", 100, 100}, BuildDialog);
    EXPECT_EQ(headless::DialogsShown().size(), 3u);
    EXPECT_EQ(ui::OpenDialogCount(), 0);
    EXPECT_FALSE(ui::ControlExists(kEdit));
}

} // namespace
