// The Configure module form: its fields, their checks and the steppers.
#include "setup_test_env.h"

namespace {

using ConfigureForm = ProgramInFolder;

constexpr int kSlave = 10011, kBaud = 10021, kParity = 10031, kResetTime = 10041;

TEST_F(ConfigureForm, BuiltFromTheKeys)
{
    EXPECT_EQ(CurrentTool, 1);
    int w = 0, h = 0;
    ui::GetClientSize(&w, &h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 230);
    EXPECT_EQ(ui::GetText(10001), " Configure module");
    EXPECT_EQ(ui::GetText(kSlave), "1");
    EXPECT_EQ(ui::GetText(kBaud), "9600");
    EXPECT_EQ(ui::GetText(kParity), "2");
    EXPECT_EQ(ui::GetText(kResetTime), "0");
    EXPECT_EQ(ui::GetText(kSlave + 1), "Slave address");
    EXPECT_EQ(ui::GetText(kResetTime + 1), "Time to reset");
    EXPECT_EQ(ui::GetText(10013), "<");
    EXPECT_EQ(ui::GetText(10014), ">");
    EXPECT_EQ(ui::GetText(10002), "Read all");
    EXPECT_EQ(ui::GetText(10003), "Write all");
    EXPECT_EQ(ui::GetStatusText(), "Ready");

    // Another tool takes the window: nothing of this form is left.
    headless::MenuCommand(2103);
    for (int id : {10001, 10002, 10003, kSlave, kSlave + 1, 10013, 10014, kBaud, kParity,
                   kResetTime, kResetTime + 1})
        EXPECT_FALSE(ui::ControlExists(id)) << id;
}

TEST_F(ConfigureForm, TypedValuesAreCheckedAndClampedInTheKey)
{
    headless::SetTextAsUser(kSlave, "0");
    EXPECT_EQ(Cfg("MODULE_CFG_SLAVE"), "1");
    EXPECT_EQ(ui::GetBackColour(kSlave), ErrorColour);
    EXPECT_EQ(ui::GetText(kSlave), "0");
    EXPECT_EQ(ui::GetStatusText(), "Address of Modbus slave. Valid: 1÷247");
    headless::SetTextAsUser(kSlave, "250");
    EXPECT_EQ(Cfg("MODULE_CFG_SLAVE"), "247");
    headless::SetTextAsUser(kSlave, "12");
    EXPECT_EQ(Cfg("MODULE_CFG_SLAVE"), "12");
    EXPECT_EQ(ui::GetBackColour(kSlave), FieldColour);

    headless::SetTextAsUser(kBaud, "2000000");
    EXPECT_EQ(Cfg("MODULE_CFG_BAUD"), "1000000");
    EXPECT_EQ(ui::GetStatusText(), "Baudrate for Modbus communication. Valid: 300÷1000000 bit/s");
    headless::SetTextAsUser(kParity, "4");
    EXPECT_EQ(Cfg("MODULE_CFG_PARITY"), "3");
    EXPECT_EQ(ui::GetStatusText(), "Parity bit for Modbus communication. Valid: 0=NO(2 stops), "
                                   "1=ODD, 2=EVEN, 3=NO(1 stop)");
    headless::Erase(kResetTime);
    EXPECT_EQ(Cfg("MODULE_CFG_RES_TIME"), "0");
    headless::Type(kResetTime, "60001");
    EXPECT_EQ(Cfg("MODULE_CFG_RES_TIME"), "60000");
    EXPECT_EQ(ui::GetStatusText(),
              "Maximum time of master inactivity to module reset. Valid: 0=NO, 1÷60000 (x10ms)");
}

TEST_F(ConfigureForm, SteppersStopAtTheLimits)
{
    headless::Click(10013);
    EXPECT_EQ(ui::GetText(kSlave), "1");
    EXPECT_EQ(Cfg("MODULE_CFG_SLAVE"), "1");
    headless::Click(10014);
    EXPECT_EQ(ui::GetText(kSlave), "2");
    EXPECT_EQ(Cfg("MODULE_CFG_SLAVE"), "2");

    headless::SetTextAsUser(kSlave, "247");
    headless::Click(10014);
    EXPECT_EQ(ui::GetText(kSlave), "247");
    headless::Click(10013);
    EXPECT_EQ(ui::GetText(kSlave), "246");
    EXPECT_EQ(Cfg("MODULE_CFG_SLAVE"), "246");
}

} // namespace
