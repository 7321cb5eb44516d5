// Reading and writing the channels on the bus, the acquisition pass and the
// Auto Read tick.
#include "analyzer/acquisition.h"

#include <string>

#include "analyzer/analyzer_ids.h"
#include "analyzer/channel_convert.h"
#include "analyzer/channel_store.h"
#include "analyzer/plot_window.h"
#include "app/config_store.h"
#include "app/forms/field_access.h"
#include "app/shell.h"
#include "requests/requests.h"
#include "strings/number_parse.h"

namespace analyzer
{
namespace
{

// A refused channel fails as a request does: the user is told once, and
// Auto Read stops, since every later tick would only fail the same way.
modbus::ResultCode Refuse(const std::string& why)
{
    app::AutoReadActive = 0;
    app::ShowStatus(why, 0);
    return modbus::kChannelRefused;
}

} // namespace

modbus::ResultCode ReadChannel(int index)
{
    // A copy: the request's conversion outlives nothing, but the table may
    // be reloaded by whatever the window does while the bus is busy.
    const AnalyzerChannel ch = Channels()[index];
    const WordAddress address = ParseWordAddress(index, ch.word_add);
    if (!address.ok)
        return Refuse(address.problem);
    modbus::ValueConversion conversion;
    conversion.word_to_text = [&ch](uint16_t word) { return ConvertRaw(ch, word); };
    const int box = CellId(index) + kCellValue;
    if (ch.type == kInputRegister)
        return modbus::ReadChannelInput(ch.slave_add, box, ch.word_add, conversion);
    return modbus::ReadChannelHolding(ch.slave_add, box, ch.word_add, conversion);
}

modbus::ResultCode WriteChannel(int index)
{
    const AnalyzerChannel ch = Channels()[index];
    if (ch.type != kHoldingRegister)
        return modbus::kOk;
    const WordAddress address = ParseWordAddress(index, ch.word_add);
    if (!address.ok)
        return Refuse(address.problem);
    const int box = CellId(index) + kCellValue;
    // Converted before the request starts, so that a value no register word
    // gives sends nothing at all.
    const WordToWrite word = ConvertBack(ch, forms::GetFieldText(box));
    if (!word.ok)
        return Refuse(NotWrittenText(index, word));
    modbus::ValueConversion conversion;
    conversion.text_to_word = [&ch](const std::string& text) {
        return ConvertBack(ch, text).word;
    };
    return modbus::WriteChannelHolding(ch.slave_add, box, ch.word_add, conversion);
}

modbus::ResultCode AcquisitionPass()
{
    if (PlotRunning())
        PlotPassBegin(app::ElapsedTime);
    for (int i = 0; i < kChannelCount; ++i) {
        if (Channels()[i].enable == 0)
            continue;
        if (modbus::ResultCode rc = ReadChannel(i))
            return rc; // later boxes keep their text; the plot gets nothing more
        if (PlotRunning() && Channels()[i].plot != 0) {
            // The plot sees what the user sees: the formatted value.
            const std::string text = forms::GetFieldText(CellId(i) + kCellValue);
            PlotChannelSample(i, strings::ParseNumber(text), text);
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
    if (strings::ParseNumber(app::ReadConfigKey(app::CfgPath, "PLOT_AUTO_START")) != 0) {
        if (PlotRunning())
            StopPlot();
        app::ElapsedTime = 0;
        StartPlot();
    }
    app::RestartAutoReadTimer();
    AutoReadTick(); // the first sample is taken at once, at elapsed time 0
}

void AutoReadTick()
{
    if (!app::AutoReadActive)
        return;
    // Orange while the bus is busy, yellow between passes: the text blinks
    // once per tick.
    app::ShowStatus("Auto read active", app::AutoReadBusyColour);
    if (AcquisitionPass() != 0) {
        if (PlotRunning())
            StopPlot();
        return; // the status bar keeps what the failure report left
    }
    if (PlotRunning() && strings::ParseNumber(app::ReadConfigKey(app::CfgPath, "PLOT_TIME_MAX")) <= app::ElapsedTime)
        StopPlot(); // Auto Read goes on
    app::ShowStatus("Auto read active", app::AutoReadIdleColour);
}

} // namespace analyzer
