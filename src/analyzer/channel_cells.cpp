// The channel cells: four columns of eight on the Analyzer form.
#include "analyzer/channel_cells.h"

#include "analyzer/acquisition.h"
#include "analyzer/analyzer_ids.h"
#include "analyzer/channel_setup.h"
#include "analyzer/channel_store.h"
#include "app/forms/builders.h"
#include "app/shell.h"

namespace analyzer {
namespace {

constexpr int kColumnX[] = {15, 145, 275, 405};
constexpr int kRowsPerColumn = 8;
constexpr int kValueWidth = 70;

} // namespace

void BuildCells()
{
    for (int i = 0; i < kChannelCount; ++i) {
        const AnalyzerChannel& ch = Channels()[i];
        forms::AddChannelRow(CellId(i), ch.label, kColumnX[i / kRowsPerColumn],
                             30 + 30 * (i % kRowsPerColumn), kValueWidth, ch.read_only != 0,
                             ch.enable != 0, ch.fore_color, ch.back_color);
    }
}

void ResetCells()
{
    for (int i = 0; i < kChannelCount; ++i) {
        const AnalyzerChannel& ch = Channels()[i];
        forms::ResetChannelRow(CellId(i), ch.label, ch.read_only != 0, ch.enable != 0,
                               ch.fore_color, ch.back_color);
    }
}

void RefreshCell(int index)
{
    const AnalyzerChannel& ch = Channels()[index];
    forms::RebuildChannelValue(CellId(index), ch.label, ch.read_only != 0, ch.enable != 0,
                               ch.fore_color, ch.back_color);
}

std::string CellStatusText(int index)
{
    const AnalyzerChannel& ch = Channels()[index];
    return "Slave " + std::to_string(unsigned(ch.slave_add)) +
           (ch.type == kInputRegister ? " : Input Register " : " : Holding Register ") +
           ch.word_add + " : " + ch.label;
}

void CellCommand(int id)
{
    const int offset = id - kCellBaseId;
    if (offset < 0)
        return;
    const int index = offset / kCellStride;
    if (index >= kChannelCount)
        return;
    switch (offset % kCellStride) {
    case kCellValue:
        // Also when a read puts new text in; the read's own status follows.
        app::ShowStatus(CellStatusText(index), 0);
        if (app::CurrentNotification() == ui::Notify::Change)
            ValueBoxChanged(index);
        break;
    case kCellSetup: OpenChannelSetup(index); break;
    case kCellRead:
        ReadChannel(index); // a failure has been reported already
        break;
    case kCellWrite: WriteChannel(index); break;
    default: break; // the caption
    }
}

} // namespace analyzer
