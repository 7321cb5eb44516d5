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
    EXPECT_EQ(app::SerialSettings.line.baud, 300);
    AnswerBaudrate("1000000");
    EXPECT_EQ(app::SerialSettings.line.baud, 1000000);

    for (const char* refused : {"299", "abc"}) {
        headless::ClearMessages();
        AnswerBaudrate(refused);
        EXPECT_EQ(headless::MessagesShown().size(), 1u) << refused;
        EXPECT_EQ(Cfg("SERIAL_BAUD"), "1000000") << refused;
        EXPECT_EQ(app::SerialSettings.line.baud, 1000000);
    }

    AnswerBaudrate("4800.6");
    EXPECT_EQ(app::SerialSettings.line.baud, 4801);

    // Cancel and an empty answer change nothing.
    headless::QueueTextAnswer(std::nullopt);
    headless::MenuCommand(app::cmd::kBaudrate);
    AnswerBaudrate("");
    EXPECT_EQ(Cfg("SERIAL_BAUD"), "4800.6");
    EXPECT_EQ(app::SerialSettings.line.baud, 4801);
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

    // In range each, but together below a millisecond: Auto Read stops
    // and says why.
    headless::QueueTextAnswer(std::string("0.01"));
    headless::MenuCommand(app::cmd::kSamplingTime);
    headless::QueueTextAnswer(std::string("100"));
    headless::MenuCommand(app::cmd::kTimeCalibration);
    EXPECT_EQ(ui::TimerPeriod(), 0);
    EXPECT_EQ(app::AutoReadActive, 0);
    ASSERT_EQ(headless::MessagesShown().size(), 1u);
    EXPECT_EQ(headless::MessagesShown()[0].title, "Auto read");
    EXPECT_EQ(ui::GetStatusText(), "Ready");
}

TEST_F(SetupCommands, TimingOutsideItsRangeIsRefusedAndNothingStored)
{
    struct Case {
        int command;
        const char* key;
        const char* title;
        const char* refusal;
        std::vector<std::string> refused;
        const char* accepted;
    };
    const std::string huge = "1" + std::string(400, '0'); // reads as infinity
    const Case cases[] = {
        {3401,
         "TIMEOUT",
         "Timeout",
         "Timeout out of range (0.001÷60)",
         {"100000", huge, "0", "-1", "abc", "60.001"},
         "60"},
        {3501,
         "SAMPLE_TIME",
         "Sampling time",
         "Sampling time out of range (0.01÷3600)",
         {"0", "3601", huge},
         "0.01"},
        {3601,
         "TIME_CALIB",
         "Time calibration",
         "Time calibration out of range (0.01÷100)",
         {"0", "-2", "101", huge},
         "100"},
    };
    for (const Case& c : cases) {
        const std::string before = Cfg(c.key);
        for (const std::string& answer : c.refused) {
            headless::ClearMessages();
            headless::QueueTextAnswer(answer);
            headless::MenuCommand(c.command);
            ASSERT_EQ(headless::MessagesShown().size(), 1u) << c.key << " " << answer;
            EXPECT_EQ(headless::MessagesShown()[0].title, c.title);
            EXPECT_EQ(headless::MessagesShown()[0].text, c.refusal);
            EXPECT_EQ(headless::MessagesShown()[0].icon, ui::Icon::Stop);
            EXPECT_EQ(Cfg(c.key), before) << answer;
        }
        headless::ClearMessages();
        headless::QueueTextAnswer(std::string(c.accepted));
        headless::MenuCommand(c.command);
        EXPECT_TRUE(headless::MessagesShown().empty()) << c.key;
        EXPECT_EQ(Cfg(c.key), c.accepted);
    }
    EXPECT_FLOAT_EQ(app::SerialSettings.timeout, 60);
}

TEST_F(SetupCommands, AHandEditedTimeoutIsClampedSoTheReplyWaitEnds)
{
    const std::string huge = "1" + std::string(400, '0');
    for (const std::string& stored :
         {std::string("100000"), huge, std::string("100000000000000000000000000000000000000000")}) {
        app::WriteConfigKey(app::CfgPath, "TIMEOUT", stored);
        app::ApplyGeneralConfiguration();
        EXPECT_FLOAT_EQ(app::SerialSettings.timeout, 60) << stored;
        EXPECT_EQ(Cfg("TIMEOUT"), stored) << "the file keeps what was written";
    }
    app::WriteConfigKey(app::CfgPath, "TIMEOUT", "-5");
    app::ApplyGeneralConfiguration();
    EXPECT_FLOAT_EQ(app::SerialSettings.timeout, 0) << "times out at once";
    app::WriteConfigKey(app::CfgPath, "SAMPLE_TIME", huge);
    app::ApplyGeneralConfiguration();
    EXPECT_FLOAT_EQ(app::SerialSettings.sample_time, 3600);
}

} // namespace
