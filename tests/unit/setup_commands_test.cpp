// The Setup menu: the baud rate and the timing settings.
#include <sstream>

#include "app/command_ids.h"
#include "tests/support/program_folder.h"

namespace {

using SetupCommands = ProgramInFolder;

// A number too long for a double: it reads as infinity.
const std::string kHuge = "1" + std::string(400, '0');

void Answer(int command, const std::string& answer)
{
    headless::QueueTextAnswer(answer);
    headless::MenuCommand(command);
}

TEST_F(SetupCommands, BaudrateIsStoredAsTypedAndUsedRounded)
{
    Answer(app::cmd::kBaudrate, "300");
    EXPECT_EQ(app::SerialSettings.line.baud, 300);
    Answer(app::cmd::kBaudrate, "4800.6 abc");
    EXPECT_EQ(app::SerialSettings.line.baud, 4801);

    // Cancel and an empty answer change nothing.
    headless::QueueTextAnswer(std::nullopt);
    headless::MenuCommand(app::cmd::kBaudrate);
    Answer(app::cmd::kBaudrate, "");
    EXPECT_EQ(Cfg("SERIAL_BAUD"), "4800.6 abc");
    EXPECT_EQ(app::SerialSettings.line.baud, 4801);
    EXPECT_EQ(Boxes(), "");
}

TEST_F(SetupCommands, AnswersOutsideTheRangeAreRefusedAndNothingStored)
{
    struct Case {
        int command;
        const char *key, *title, *range, *refused, *accepted;
    };
    // Refused answers are separated by blanks; "H" stands for kHuge.
    const Case cases[] = {
        {app::cmd::kBaudrate, "SERIAL_BAUD", "Baudrate", "300÷1000000", "299 abc 1000001",
         "1000000"},
        {app::cmd::kTimeout, "TIMEOUT", "Timeout", "0.001÷60", "100000 H 0 -1 abc 60.001", "60"},
        {app::cmd::kSamplingTime, "SAMPLE_TIME", "Sampling time", "0.01÷3600", "0 3601 H", "0.01"},
        {app::cmd::kTimeCalibration, "TIME_CALIB", "Time calibration", "0.01÷100", "0 -2 101 H",
         "100"},
    };
    for (const Case& c : cases) {
        const std::string before = Cfg(c.key);
        const std::string refusal =
            std::string("stop ") + c.title + ": " + c.title + " out of range (" + c.range + ")\n";
        std::istringstream refused(c.refused);
        for (std::string answer; refused >> answer;) {
            headless::ClearMessages();
            Answer(c.command, answer == "H" ? kHuge : answer);
            EXPECT_EQ(Boxes(), refusal) << answer;
            EXPECT_EQ(Cfg(c.key), before) << answer;
        }
        headless::ClearMessages();
        Answer(c.command, c.accepted);
        EXPECT_EQ(Boxes(), "") << c.key;
        EXPECT_EQ(Cfg(c.key), c.accepted);
    }
    EXPECT_EQ(app::SerialSettings.line.baud, 1000000);
    EXPECT_FLOAT_EQ(app::SerialSettings.timeout, 60);
}

// A text that is no address is refused at OK and asked for again, as
// typed; Cancel then leaves the line as it was.
TEST_F(SetupCommands, ANetworkAddressIsCheckedAtOk)
{
    const std::string title = ui::GetTitle();
    for (const char* typed : {"tcp://", "tcp://127.0.0.1:70000", "hello"}) {
        headless::ClearMessages();
        headless::QueueTextAnswer(typed);
        headless::QueueTextAnswer(std::nullopt);
        headless::MenuCommand(app::cmd::kNetwork);
        EXPECT_EQ(Boxes().rfind(std::string("stop Network: Network address not valid: \"") + typed +
                                    "\"\r",
                                0),
                  0u)
            << Boxes();
        EXPECT_EQ(headless::InputsShown().back().initial, typed);
        std::string net;
        EXPECT_FALSE(app::FindConfigKey(app::CfgPath, "SERIAL_NET", &net)) << net;
        EXPECT_EQ(ui::GetTitle(), title);
    }
    Answer(app::cmd::kNetwork, "tcp://127.0.0.1:1502");
    EXPECT_EQ(Cfg("SERIAL_NET"), "tcp://127.0.0.1:1502");
}

TEST_F(SetupCommands, TimingChangesRestartTheRunningTimer)
{
    Answer(app::cmd::kSamplingTime, "0.5");
    EXPECT_EQ(ui::TimerPeriod(), 0) << "no auto read, no timer";

    app::AutoReadActive = 1;
    Answer(app::cmd::kTimeCalibration, "2");
    EXPECT_EQ(ui::TimerPeriod(), 250);
    app::ElapsedTime = 7;
    Answer(app::cmd::kSamplingTime, "1");
    EXPECT_EQ(ui::TimerPeriod(), 500);
    EXPECT_EQ(app::ElapsedTime, 0);

    // In range each, but together below a millisecond: Auto Read stops
    // and says why.
    Answer(app::cmd::kSamplingTime, "0.01");
    Answer(app::cmd::kTimeCalibration, "100");
    EXPECT_EQ(ui::TimerPeriod(), 0);
    EXPECT_EQ(app::AutoReadActive, 0);
    EXPECT_EQ(Boxes().rfind("stop Auto read: Auto read cannot run", 0), 0u) << Boxes();
    EXPECT_EQ(ui::GetStatusText(), "Ready");
}

TEST_F(SetupCommands, AHandEditedTimeIsClampedSoTheReplyWaitEnds)
{
    const struct {
        const char* key;
        std::string stored;
        float* used;
        float expected;
    } cases[] = {
        {"TIMEOUT", "100000", &app::SerialSettings.timeout, 60},
        {"TIMEOUT", kHuge, &app::SerialSettings.timeout, 60},
        {"TIMEOUT", "100000000000000000000000000000000000000000", &app::SerialSettings.timeout, 60},
        {"TIMEOUT", "-5", &app::SerialSettings.timeout, 0}, // times out at once
        {"SAMPLE_TIME", kHuge, &app::SerialSettings.sample_time, 3600},
    };
    for (const auto& c : cases) {
        app::WriteConfigKey(app::CfgPath, c.key, c.stored);
        app::ApplyGeneralConfiguration();
        EXPECT_FLOAT_EQ(*c.used, c.expected) << c.stored;
        EXPECT_EQ(Cfg(c.key), c.stored) << "the file keeps what was written";
    }
}

} // namespace
