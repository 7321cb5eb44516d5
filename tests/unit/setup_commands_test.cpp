// The Setup menu: serial and timing settings, and About.
#include "setup_test_env.h"

namespace {

using SetupCommands = ProgramInFolder;

const headless::MessageRecord* LastMessage()
{
    const auto& shown = headless::MessagesShown();
    return shown.empty() ? nullptr : &shown.back();
}

void AnswerBaudrate(const std::string& answer)
{
    headless::QueueTextAnswer(answer);
    headless::MenuCommand(3201);
}

TEST_F(SetupCommands, BaudrateLimitsAndTextStoredAsTyped)
{
    AnswerBaudrate("300");
    EXPECT_EQ(Cfg("SERIAL_BAUD"), "300");
    EXPECT_EQ(SerialSettings.baud, 300);
    EXPECT_EQ(headless::InputsShown().back().prompt, "Enter baudrate for communication");
    EXPECT_EQ(headless::InputsShown().back().title, "Baudrate");
    EXPECT_EQ(headless::InputsShown().back().initial, "9600");

    AnswerBaudrate("1000000");
    EXPECT_EQ(SerialSettings.baud, 1000000);

    for (const char* refused : {"299", "1000001", "abc", " "}) {
        headless::ClearMessages();
        AnswerBaudrate(refused);
        ASSERT_EQ(headless::MessagesShown().size(), 1u) << refused;
        EXPECT_EQ(LastMessage()->text, "Baudrate out of range (300÷1000000)");
        EXPECT_EQ(LastMessage()->title, "Baudrate");
        EXPECT_EQ(LastMessage()->icon, ui::Icon::Stop);
        EXPECT_EQ(Cfg("SERIAL_BAUD"), "1000000") << refused;
        EXPECT_EQ(SerialSettings.baud, 1000000);
    }

    headless::ClearMessages();
    AnswerBaudrate("19200 abc");
    EXPECT_TRUE(headless::MessagesShown().empty());
    EXPECT_EQ(Cfg("SERIAL_BAUD"), "19200 abc");
    EXPECT_EQ(SerialSettings.baud, 19200);
    EXPECT_EQ(headless::InputsShown().back().initial, "1000000");

    AnswerBaudrate("4800.6");
    EXPECT_EQ(SerialSettings.baud, 4801);

    // Cancel and an empty answer change nothing.
    headless::QueueTextAnswer(std::nullopt);
    headless::MenuCommand(3201);
    AnswerBaudrate("");
    EXPECT_EQ(Cfg("SERIAL_BAUD"), "4800.6");
    EXPECT_EQ(SerialSettings.baud, 4801);
}

TEST_F(SetupCommands, PortAndParityCarryOneCheckMark)
{
    headless::MenuCommand(3103);
    EXPECT_EQ(Cfg("SERIAL_PORT"), "3");
    EXPECT_EQ(SerialSettings.port, 3);
    for (int c = 3101; c <= 3108; ++c)
        EXPECT_EQ(ui::IsMenuItemChecked(c), c == 3103) << c;

    headless::MenuCommand(3301);
    EXPECT_EQ(Cfg("SERIAL_PARITY"), "0");
    EXPECT_EQ(SerialSettings.parity, 0);
    headless::MenuCommand(3304);
    EXPECT_EQ(Cfg("SERIAL_PARITY"), "3");
    EXPECT_EQ(SerialSettings.parity, 3);
    for (int c = 3301; c <= 3304; ++c)
        EXPECT_EQ(ui::IsMenuItemChecked(c), c == 3304) << c;
    EXPECT_TRUE(headless::MessagesShown().empty());
}

TEST_F(SetupCommands, TimingValuesStoredAsTypedWithoutRangeCheck)
{
    struct Case {
        int command;
        const char* key;
        const char* prompt;
        const char* title;
    } cases[] = {
        {3401, "TIMEOUT", "Enter timeout value for communication", "Timeout"},
        {3501, "SAMPLE_TIME", "Enter time for values sampling", "Sampling time"},
        {3601, "TIME_CALIB", "Enter time calibration divisor", "Time calibration"},
    };
    for (const Case& c : cases) {
        headless::QueueTextAnswer(std::string("0"));
        headless::MenuCommand(c.command);
        EXPECT_EQ(headless::InputsShown().back().prompt, c.prompt);
        EXPECT_EQ(headless::InputsShown().back().title, c.title);
        EXPECT_EQ(headless::InputsShown().back().initial, "1.0");
        EXPECT_EQ(Cfg(c.key), "0");
        headless::QueueTextAnswer(std::string(""));
        headless::MenuCommand(c.command);
        EXPECT_EQ(Cfg(c.key), "0") << "an empty answer keeps the value";
    }
    EXPECT_EQ(SerialSettings.timeout, 0.0f);
    EXPECT_TRUE(headless::MessagesShown().empty());

    headless::QueueTextAnswer(std::string("2.5 s"));
    headless::MenuCommand(3401);
    EXPECT_EQ(Cfg("TIMEOUT"), "2.5 s");
    EXPECT_EQ(SerialSettings.timeout, 2.5f);
}

TEST_F(SetupCommands, TimingChangesRestartTheRunningTimer)
{
    headless::QueueTextAnswer(std::string("0.5"));
    headless::MenuCommand(3501);
    EXPECT_EQ(ui::TimerPeriod(), 0) << "no auto read, no timer";

    AutoReadActive = 1;
    headless::QueueTextAnswer(std::string("2"));
    headless::MenuCommand(3601);
    EXPECT_EQ(ui::TimerPeriod(), 250);
    ElapsedTime = 7;
    headless::QueueTextAnswer(std::string("1"));
    headless::MenuCommand(3501);
    EXPECT_EQ(ui::TimerPeriod(), 500);
    EXPECT_EQ(ElapsedTime, 0);

    // A divisor of 0 gives no period: the timer stays stopped.
    headless::QueueTextAnswer(std::string("0"));
    headless::MenuCommand(3601);
    EXPECT_EQ(ui::TimerPeriod(), 0);
}

TEST_F(SetupCommands, AboutBox)
{
    headless::MenuCommand(4101);
    ASSERT_NE(LastMessage(), nullptr);
    EXPECT_EQ(LastMessage()->title, "RegScope");
    EXPECT_EQ(LastMessage()->icon, ui::Icon::None);
    EXPECT_EQ(LastMessage()->buttons, ui::Buttons::Ok);
    const std::string& text = LastMessage()->text;
    EXPECT_EQ(text.substr(0, text.find('\r')), "RegScope  release 2.2.0");
    EXPECT_NE(text.find("/dev/ttyS(n-1)"), std::string::npos);
}

} // namespace
