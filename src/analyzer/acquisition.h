// The Analyzer's traffic: reading and writing channels, one request each
// or in blocks, the pass over all enabled channels, Write all and the Auto
// Read tick.
#pragma once

#include <functional>
#include <string>

#include "modbus/result_codes.h"

namespace analyzer {

// Reads channel `index` into its value box with the request of its TYPE;
// `shown`, when given, receives the text the box shows afterwards.
modbus::ResultCode ReadChannel(int index, std::string* shown = nullptr);
// Writes the value box of channel `index`; input registers are left alone
// (result 0), and so is an empty box no read has filled since the form was
// built (refused: it would write a 0 nobody chose).
modbus::ResultCode WriteChannel(int index);
// The form's boxes are new and empty.
void ForgetReadValues();
// A new text in the value box of channel `index`, typed or read: a box a
// refused write turned pink gets the channel's colour back.
void ValueBoxChanged(int index);
// A read has put a value into the box of channel `index`.
void NoteChannelRead(int index);
// Fails a channel as a failed request does: the status bar says why and
// Auto Read stops. Returns kChannelRefused.
modbus::ResultCode RefuseChannel(const std::string& why);

// Block reads (the form's "Block reads" box): on, a pass reads neighbouring
// channels with one request (block_reads.cpp).
void SetBlockReads(bool on);
bool BlockReads();
// The optional key that keeps the setting; a file without it reads one
// channel per request.
constexpr char kBlockReadKey[] = "ANALYZER_BLOCK_READ";
// What the file holds now. Each pass asks, as every other key is used at
// its next read; the key store parses the file again only when it changed.
bool BlockReadsSetting();
// Reads every enabled channel with the requests PlanBlockReads gives;
// `sample` gets each channel's shown text in index order as soon as every
// channel before it has been read. The first failure ends it.
using ChannelSample = std::function<void(int index, const std::string& text)>;
modbus::ResultCode ReadBlocks(const ChannelSample& sample);

// Every enabled channel in index order; the first failure ends the pass
// and its code is returned.
modbus::ResultCode AcquisitionPass();
// Every enabled holding-register channel in index order, likewise.
modbus::ResultCode WriteAllPass();

// The "Auto Read" button, and the sampling timer's tick.
void ToggleAutoRead();
void AutoReadTick();

// A plot exists only under Auto Read: whatever ended Auto Read without the
// Analyzer's knowing (a sampling time that gives no timer period) ends the
// plot at the Analyzer's next command or tick.
void EndPlotWithoutAutoRead();

} // namespace analyzer
