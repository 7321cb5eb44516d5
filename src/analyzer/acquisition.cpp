// Reading and writing the channels on the bus, the acquisition pass and the
// Auto Read tick.
#include "analyzer/acquisition.h"

#include <array>
#include <string>

#include "analyzer/analyzer_ids.h"
#include "analyzer/channel_convert.h"
#include "analyzer/channel_store.h"
#include "analyzer/plot_window.h"
#include "app/config_store.h"
#include "app/forms/field_access.h"
#include "app/shell.h"
#include "app/timing_limits.h"
#include "modbus/function_codes.h"
#include "requests/requests.h"
#include "strings/number_parse.h"

namespace analyzer {
namespace {

// The channels a read has filled since the form was built. An empty box
// that none has filled holds no value to write; a "#" picture shows a read
// 0 as an empty text, which is written as 0.
std::array<bool, kChannelCount> read_since_open{};

// The value boxes a refused write turned pink; their next text gives them
// back the channel's colour.
std::array<bool, kChannelCount> shown_refused{};

int ValueBox(int index) { return CellId(index) + kCellValue; }

// A value that cannot be written: the box says so as well as the status bar.
modbus::ResultCode RefuseValue(int index, const std::string& problem)
{
    shown_refused[size_t(index)] = true;
    ui::SetColours(ValueBox(index), ui::kDefaultColour, app::ErrorColour);
    ui::Redraw(ValueBox(index));
    return RefuseChannel(NotWrittenText(index, problem));
}

// What a pass does with each channel read: the plot sees what the user
// sees, the formatted value.
void Sample(int index, const std::string& text)
{
    if (PlotRunning() && Channels()[index].plot != 0)
        PlotChannelSample(index, ShownNumber(text), text);
}

} // namespace

// A refused channel fails as a request does: the user is told once, and
// Auto Read stops, since every later tick would only fail the same way.
modbus::ResultCode RefuseChannel(const std::string& why)
{
    app::AutoReadActive = 0;
    app::ShowStatus(why, 0);
    return modbus::kChannelRefused;
}

void NoteChannelRead(int index) { read_since_open[size_t(index)] = true; }

modbus::ResultCode ReadChannel(int index, std::string* shown)
{
    // A copy: the request's conversion outlives nothing, but the table may
    // be reloaded by whatever the window does while the bus is busy.
    const AnalyzerChannel ch = Channels()[index];
    const WordAddress address = ParseChannelAddress(index, ch);
    if (!address.ok)
        return RefuseChannel(address.problem);
    std::string text;
    bool converted = false;
    const int box = CellId(index) + kCellValue;
    modbus::ResultCode rc;
    if (RegisterCount(ch) == 2) {
        // Both registers in one request: two reads could mix halves of
        // two different values.
        const uint8_t function =
            ch.type == kInputRegister ? modbus::kReadInputRegisters : modbus::kReadHoldingRegisters;
        rc = modbus::ReadRegisterBlock(function, ch.slave_add, ch.word_add, 2,
                                       [&](const std::vector<uint16_t>& words) {
                                           text = ConvertWide(ch, words[0], words[1]);
                                           converted = true;
                                           forms::SetFieldText(box, text);
                                       });
    } else {
        modbus::ValueConversion conversion;
        conversion.word_to_text = [&](uint16_t word) {
            text = ConvertRaw(ch, word);
            converted = true;
            return text;
        };
        rc = ch.type == kInputRegister
                 ? modbus::ReadChannelInput(ch.slave_add, box, ch.word_add, conversion)
                 : modbus::ReadChannelHolding(ch.slave_add, box, ch.word_add, conversion);
    }
    if (rc == 0)
        NoteChannelRead(index);
    if (rc == 0 && shown != nullptr)
        // A broadcast (slave 0, only from a hand-edited file) gets no reply,
        // so the box keeps the text it had.
        *shown = converted ? text : forms::GetFieldText(box);
    return rc;
}

void ForgetReadValues()
{
    read_since_open = {};
    shown_refused = {};
}

void ValueBoxChanged(int index)
{
    if (!shown_refused[size_t(index)])
        return;
    shown_refused[size_t(index)] = false;
    ui::SetColours(ValueBox(index), ui::kDefaultColour,
                   ui::Colour(Channels()[size_t(index)].back_color & 0xFFFFFF));
    ui::Redraw(ValueBox(index));
}

modbus::ResultCode WriteChannel(int index)
{
    const AnalyzerChannel ch = Channels()[index];
    if (ch.type != kHoldingRegister)
        return modbus::kOk;
    const WordAddress address = ParseChannelAddress(index, ch);
    if (!address.ok)
        return RefuseChannel(address.problem);
    const int box = CellId(index) + kCellValue;
    const std::string shown = forms::GetFieldText(box);
    if (shown.empty() && !read_since_open[size_t(index)])
        return RefuseChannel(ChannelName(index) +
                             " not written: its value box is empty (never read)");
    // Converted before the request starts, so that a value no register word
    // gives sends nothing at all.
    if (RegisterCount(ch) == 2) {
        const WordsToWrite words = ConvertBackWide(ch, shown);
        if (!words.ok)
            return RefuseValue(index, words.problem);
        return modbus::WriteRegisterWords(ch.slave_add, ch.word_add,
                                          {words.words[0], words.words[1]});
    }
    const WordToWrite word = ConvertBack(ch, shown);
    if (!word.ok)
        return RefuseValue(index, word.problem);
    modbus::ValueConversion conversion;
    conversion.text_to_word = [&ch](const std::string& text) { return ConvertBack(ch, text).word; };
    return modbus::WriteChannelHolding(ch.slave_add, box, ch.word_add, conversion);
}

// A file edited while the form is open is followed, box and all.
void FollowBlockReadsSetting()
{
    const bool on = BlockReadsSetting();
    if (on == BlockReads())
        return;
    SetBlockReads(on);
    if (ui::ControlExists(kBlockReadsId))
        ui::SetChecked(kBlockReadsId, on);
}

modbus::ResultCode AcquisitionPass()
{
    FollowBlockReadsSetting();
    if (PlotRunning())
        PlotPassBegin(app::ElapsedTime);
    if (BlockReads()) {
        if (modbus::ResultCode rc = ReadBlocks(Sample))
            return rc;
    } else {
        for (int i = 0; i < kChannelCount; ++i) {
            if (Channels()[i].enable == 0)
                continue;
            std::string text;
            if (modbus::ResultCode rc = ReadChannel(i, &text))
                return rc; // later boxes keep their text; the plot gets nothing more
            Sample(i, text);
        }
    }
    if (PlotRunning())
        PlotPassEnd(app::ElapsedTime);
    if (!app::AutoReadActive)
        app::ShowStatus("All register readed from Slave(s)", 0);
    return modbus::kOk;
}

modbus::ResultCode WriteAllPass()
{
    for (int i = 0; i < kChannelCount; ++i) {
        const AnalyzerChannel& ch = Channels()[i];
        if (ch.enable == 0 || ch.type != kHoldingRegister)
            continue;
        if (modbus::ResultCode rc = WriteChannel(i))
            return rc;
    }
    if (!app::AutoReadActive)
        app::ShowStatus("All register writed to Slave(s)", 0);
    return modbus::kOk;
}

void ToggleAutoRead()
{
    if (app::AutoReadActive) {
        // The timer keeps running; its ticks return while the flag is off.
        app::AutoReadActive = 0;
        if (PlotRunning())
            StopPlot();
        app::ShowStatus("Ready", 0);
        return;
    }
    app::AutoReadActive = 1;
    // Without a timer period the restart below refuses Auto Read, and a plot
    // exists only under it.
    const bool timer_runs = app::AutoReadPeriodMs() != 0;
    if (timer_runs &&
        strings::ParseNumber(app::ReadConfigKey(app::CfgPath, "PLOT_AUTO_START")) != 0) {
        if (PlotRunning())
            StopPlot();
        app::ElapsedTime = 0;
        StartPlot();
    }
    app::RestartAutoReadTimer();
    app::RunAutoReadPass(AutoReadTick); // the first sample is taken at once, at elapsed time 0
}

void EndPlotWithoutAutoRead()
{
    if (PlotRunning() && !app::AutoReadActive)
        StopPlot();
}

void AutoReadTick()
{
    if (!app::AutoReadActive) {
        EndPlotWithoutAutoRead();
        return;
    }
    // Orange while the bus is busy, yellow between passes: the text blinks
    // once per tick.
    app::ShowStatus("Auto read active", app::AutoReadBusyColour);
    if (AcquisitionPass() != 0) {
        if (PlotRunning())
            StopPlot();
        return; // the status bar keeps what the failure report left
    }
    if (PlotTimeUp(app::ElapsedTime))
        StopPlot(); // Auto Read goes on
    app::ShowStatus("Auto read active", app::AutoReadIdleColour);
}

} // namespace analyzer
