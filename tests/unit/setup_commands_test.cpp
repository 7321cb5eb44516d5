// The Setup menu: the baud rate and the timing settings.
#include "app/command_ids.h"
#include "tests/support/program_folder.h"

namespace {

using SetupCommands = ProgramInFolder;

void AnswerBaudrate(const std::string& answer)
{
    headless::QueueTextAnswer(answer);
    headless::MenuCommand(app::cmd::kBaudrate);
}

TEST_F(SetupCommands, BaudrateLimitsAndTextStoredAsTyped)
{
    AnswerBaudrate("300");
    EXPECT_EQ(app::SerialSettings.baud, 300);
    AnswerBaudrate("1000000");
    EXPECT_EQ(app::SerialSettings.baud, 1000000);

    for (const char* refused : {"299", "abc"}) {
        headless::ClearMessages();
        AnswerBaudrate(refused);
        EXPECT_EQ(headless::MessagesShown().size(), 1u) << refused;
        EXPECT_EQ(Cfg("SERIAL_BAUD"), "1000000") << refused;
        EXPECT_EQ(app::SerialSettings.baud, 1000000);
    }

    AnswerBaudrate("19200 abc");
    EXPECT_EQ(app::SerialSettings.baud, 19200);
    AnswerBaudrate("4800.6");
    EXPECT_EQ(app::SerialSettings.baud, 4801);

    // Cancel and an empty answer change nothing.
    headless::QueueTextAnswer(std::nullopt);
    headless::MenuCommand(app::cmd::kBaudrate);
    AnswerBaudrate("");
    EXPECT_EQ(Cfg("SERIAL_BAUD"), "4800.6");
    EXPECT_EQ(app::SerialSettings.baud, 4801);
}

TEST_F(SetupCommands, TimingChangesRestartTheRunningTimer)
{
    headless::QueueTextAnswer(std::string("0.5"));
    headless::MenuCommand(app::cmd::kSamplingTime);
    EXPECT_EQ(ui::TimerPeriod(), 0) << "no auto read, no timer";

    app::AutoReadActive = 1;
    headless::QueueTextAnswer(std::string("2"));
    headless::MenuCommand(app::cmd::kTimeCalibration);
    EXPECT_EQ(ui::TimerPeriod(), 250);
    app::ElapsedTime = 7;
    headless::QueueTextAnswer(std::string("1"));
    headless::MenuCommand(app::cmd::kSamplingTime);
    EXPECT_EQ(ui::TimerPeriod(), 500);
    EXPECT_EQ(app::ElapsedTime, 0);

    // A divisor of 0 gives no period: the timer stays stopped.
    headless::QueueTextAnswer(std::string("0"));
    headless::MenuCommand(app::cmd::kTimeCalibration);
    EXPECT_EQ(ui::TimerPeriod(), 0);
}

} // namespace
