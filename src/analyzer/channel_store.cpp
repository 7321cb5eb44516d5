// The one channel table of the program.
#include "analyzer/channel_store.h"

#include "app/config_store.h"

namespace analyzer {
namespace {

ChannelTable table;

} // namespace

const ChannelTable& Channels() { return table; }

void LoadChannels(const std::string& cfg_path)
{
    LoadChannelTable(
        table, [&](const std::string& key) { return app::ReadConfigKey(cfg_path, key); },
        [&](const std::string& key, std::string* value) {
            return app::FindConfigKey(cfg_path, key, value);
        });
}

} // namespace analyzer
