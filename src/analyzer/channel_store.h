// The channel table of the running program: filled from the tool
// configuration file when the Analyzer opens and when a channel's setup
// dialog closes, kept until the program ends.
#pragma once

#include <string>

#include "analyzer/channel_table.h"

namespace analyzer {

const ChannelTable& Channels();

// Loads every channel from the configuration file at cfg_path; a missing
// key ends the program as for every other key of that file.
void LoadChannels(const std::string& cfg_path);

} // namespace analyzer
