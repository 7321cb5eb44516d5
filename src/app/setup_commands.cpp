// The File and Setup menu commands and About: the .cfg file in use and the
// serial and timing settings it holds. Every change goes to the file at once
// and into SerialSettings; a change the open port depends on closes it, so
// that the next transaction reopens it with the new values.
#include "app/setup_commands.h"

#include <cmath>

#include "app/command_ids.h"
#include "app/config_store.h"
#include "app/forms/shared_boxes.h"
#include "app/line_choice.h"
#include "app/setup_files.h"
#include "app/shell.h"
#include "app/timing_limits.h"
#include "modbus/serial_link.h"
#include "platform/net_address.h"

namespace app {

namespace {

constexpr char kCR = '\r';

// A port chosen ends the network line: SERIAL_NET is emptied, not
// removed, and a file that never had it gets none.
void ChoosePort(int port)
{
    SerialSettings.line.port = int16_t(port);
    WriteConfigKey(CfgPath, "SERIAL_PORT", std::to_string(port));
    if (!StoredNetworkLine().empty())
        WriteConfigKey(CfgPath, "SERIAL_NET", "");
    SerialSettings.line.SetNet("");
    ShowLineChoice();
    modbus::ClosePort();
}

// A text that is no address is refused at OK, with the reason, and asked
// for again with the text as typed, so that a slip is mended rather than
// typed anew. The file's own text (edited by hand) is still reported when
// a request needs the line.
void ChooseNetwork()
{
    std::string answer = StoredNetworkLine();
    for (;;) {
        answer = forms::AskText("Enter network address: tcp://HOST:PORT (Modbus TCP) or "
                                "rtu-tcp://HOST:PORT (RTU over TCP)",
                                "Network", answer);
        if (answer.empty())
            return;
        net::Address address;
        std::string reason;
        if (net::ParseAddress(answer, &address, &reason))
            break;
        forms::ShowError("Network address not valid: \"" + answer + "\"" + kCR + reason, "Network");
    }
    WriteOptionalConfigKey(CfgPath, "SERIAL_NET", answer, "SERIAL_PORT");
    SerialSettings.line.SetNet(answer);
    ShowLineChoice();
    modbus::ClosePort();
}

void ChooseParity(int parity)
{
    SerialSettings.line.parity = serial::ParityFromCode(parity);
    WriteConfigKey(CfgPath, "SERIAL_PARITY", std::to_string(parity));
    ShowLineChoice();
    modbus::ClosePort();
}

// Kept for the serial port while a network line is in use; RTU over TCP
// sizes its quiet time after a reply with it.
std::string SerialOnlyNote()
{
    if (SerialSettings.line.Net().rfind("rtu-tcp://", 0) == 0)
        return " (on RTU over TCP the gateway's serial speed: it sets the pause after a reply)";
    return SerialSettings.line.IsNetwork()
               ? " (serial port only: the network line's gateway sets its own)"
               : "";
}

// Asks for a new value of a key, proposing the stored one. False when the
// answer is empty (Cancel included); *answer is stored as typed by the
// caller, and its number is what the program works with.
bool AskValue(const std::string& prompt, const std::string& title, const std::string& key,
              std::string* answer)
{
    *answer = forms::AskText(prompt, title, ReadConfigKey(CfgPath, key));
    return !answer->empty();
}

void AskBaudrate()
{
    std::string answer;
    if (!AskValue("Enter baudrate for communication" + SerialOnlyNote(), "Baudrate", "SERIAL_BAUD",
                  &answer))
        return;
    double baud = strings::ParseNumber(answer);
    if (!(baud >= 300 && baud <= 1000000)) {
        forms::ShowError("Baudrate out of range (300÷1000000)", "Baudrate");
        return;
    }
    WriteConfigKey(CfgPath, "SERIAL_BAUD", answer);
    SerialSettings.line.baud = int32_t(std::lround(baud));
    modbus::ClosePort();
}

// Timing values are stored as typed once their number is in range: a
// time-out of a day would hold the window in a reply wait for a day. The
// time-out is read afresh at every transaction, so the port may stay open;
// the sampling values change the period of a running Auto Read.
void AskTiming(const char* prompt, const char* title, const TimingRange& range, float* value,
               bool restarts_timer)
{
    std::string answer;
    if (!AskValue(prompt, title, range.key, &answer))
        return;
    double number = strings::ParseNumber(answer);
    if (!InTimingRange(range, number)) {
        forms::ShowError(range.refusal, title);
        return;
    }
    WriteConfigKey(CfgPath, range.key, answer);
    *value = float(number);
    if (restarts_timer)
        RestartAutoReadTimer();
}

std::string BuildLine()
{
#if defined(__clang__)
    const char* compiler = "clang " __clang_version__;
#elif defined(__GNUC__)
    const char* compiler = "GCC " __VERSION__;
#else
    const char* compiler = "a C++20 compiler";
#endif
    return std::string("Linux build, made with ") + compiler;
}

void ShowAbout()
{
    std::string text = std::string("RegScope  release 2.2.0") + kCR + BuildLine() + kCR +
                       "Serial port COMn: the file COMn in the start-up folder (normally a link "
                       "to /dev/ttyUSB0 or to a simulator's pty), else /dev/ttyS(n-1).";
    ui::MessageBox(text, "RegScope", ui::Icon::None, ui::Buttons::Ok);
}

} // namespace

namespace {

bool IsPortCommand(int command)
{
    return command >= cmd::kFirstPort && command < cmd::kFirstPort + cmd::kPortCount;
}

bool IsParityCommand(int command)
{
    return command >= cmd::kFirstParity && command < cmd::kFirstParity + cmd::kParityCount;
}

} // namespace

bool IsSetupCommand(int command)
{
    switch (command) {
    case cmd::kLoad:
    case cmd::kSaveAs:
    case cmd::kNetwork:
    case cmd::kBaudrate:
    case cmd::kTimeout:
    case cmd::kSamplingTime:
    case cmd::kTimeCalibration:
    case cmd::kAbout: return true;
    default: return IsPortCommand(command) || IsParityCommand(command);
    }
}

void RunSetupCommand(int command)
{
    if (command == cmd::kLoad)
        LoadConfiguration();
    else if (command == cmd::kSaveAs)
        SaveConfigurationAs();
    else if (IsPortCommand(command))
        ChoosePort(command - cmd::kFirstPort + 1);
    else if (command == cmd::kNetwork)
        ChooseNetwork();
    else if (command == cmd::kBaudrate)
        AskBaudrate();
    else if (IsParityCommand(command))
        ChooseParity(command - cmd::kFirstParity);
    else if (command == cmd::kTimeout)
        AskTiming("Enter timeout value for communication", "Timeout", kTimeoutRange,
                  &SerialSettings.timeout, false);
    else if (command == cmd::kSamplingTime)
        AskTiming("Enter time for values sampling", "Sampling time", kSampleTimeRange,
                  &SerialSettings.sample_time, true);
    else if (command == cmd::kTimeCalibration)
        AskTiming("Enter time calibration divisor", "Time calibration", kTimeCalibRange,
                  &SerialSettings.time_calib, true);
    else if (command == cmd::kAbout)
        ShowAbout();
}

} // namespace app
