// A pass with block reads: neighbouring channels share one request, and
// every channel still gets its own text, plot point and log column, in
// index order.
#include <array>
#include <string>
#include <vector>

#include "analyzer/acquisition.h"
#include "analyzer/analyzer_ids.h"
#include "analyzer/channel_convert.h"
#include "analyzer/channel_store.h"
#include "analyzer/read_plan.h"
#include "app/config_store.h"
#include "app/forms/field_access.h"
#include "app/shell.h"
#include "modbus/protocol.h"
#include "requests/requests.h"
#include "strings/number_parse.h"

namespace analyzer {
namespace {

bool on = false;

} // namespace

void SetBlockReads(bool block_reads) { on = block_reads; }
bool BlockReads() { return on; }

bool BlockReadsSetting()
{
    std::string value;
    return app::FindConfigKey(app::CfgPath, kBlockReadKey, &value) &&
           strings::ParseNumber(value) != 0;
}

modbus::ResultCode ReadBlocks(const ChannelSample& sample)
{
    // A copy: the conversions must match the plan whatever the window does
    // while the bus is busy.
    const ChannelTable table = Channels();
    std::vector<PlanChannel> channels;
    std::array<std::string, kChannelCount> problems;
    std::array<uint16_t, kChannelCount> addresses{};
    for (int i = 0; i < kChannelCount; ++i) {
        const AnalyzerChannel& ch = table[size_t(i)];
        if (ch.enable == 0)
            continue;
        const WordAddress address = ParseChannelAddress(i, ch);
        problems[size_t(i)] = address.problem;
        addresses[size_t(i)] = address.address;
        channels.push_back(
            {i, ch.slave_add, ch.type, address.address, RegisterCount(ch), address.ok});
    }

    std::array<bool, kChannelCount> done{};
    std::array<std::string, kChannelCount> texts;
    int next = 0; // the first channel not yet given to `sample`
    auto pass_on = [&] {
        for (; next < kChannelCount && (done[size_t(next)] || table[size_t(next)].enable == 0);
             ++next)
            if (table[size_t(next)].enable != 0)
                sample(next, texts[size_t(next)]);
    };

    for (const PlannedRead& read : PlanBlockReads(channels)) {
        if (read.count == 0)
            return RefuseChannel(problems[size_t(read.channels.front())]);
        auto deliver = [&](const std::vector<uint16_t>& words) {
            for (int i : read.channels) {
                const AnalyzerChannel& ch = table[size_t(i)];
                const size_t k = size_t(addresses[size_t(i)] - read.start);
                texts[size_t(i)] = RegisterCount(ch) == 2 ? ConvertWide(ch, words[k], words[k + 1])
                                                          : ConvertRaw(ch, words[k]);
                forms::SetFieldText(CellId(i) + kCellValue, texts[size_t(i)]);
            }
        };
        const uint8_t function = read.type == kInputRegister ? modbus::kReadInputRegisters
                                                             : modbus::kReadHoldingRegisters;
        if (modbus::ResultCode rc = modbus::ReadRegisterBlock(
                function, read.slave, std::to_string(read.start), read.count, deliver))
            return rc; // later boxes keep their text; the plot gets nothing more
        for (int i : read.channels) {
            // A broadcast gets no reply: the box keeps the text it had.
            if (read.slave == modbus::kBroadcastAddress)
                texts[size_t(i)] = forms::GetFieldText(CellId(i) + kCellValue);
            NoteChannelRead(i);
            done[size_t(i)] = true;
        }
        pass_on();
    }
    return modbus::kOk;
}

} // namespace analyzer
