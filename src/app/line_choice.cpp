// The menu marks and the title that say which line is in use.
#include "app/line_choice.h"

#include "app/command_ids.h"
#include "app/config_store.h"
#include "app/shell.h"

namespace app {

std::string StoredNetworkLine()
{
    std::string net;
    return FindConfigKey(CfgPath, "SERIAL_NET", &net) ? net : std::string();
}

void ShowLineChoice()
{
    const serial::LineSettings& line = SerialSettings.line;
    const bool network = line.IsNetwork();
    CheckMenuRange(cmd::kFirstPort, cmd::kPortCount + 1,
                   network ? cmd::kNetwork : cmd::PortCommand(line.port));
    CheckMenuRange(cmd::kFirstParity, cmd::kParityCount,
                   network ? 0 : cmd::ParityCommand(serial::ParityCode(line.parity)));
    ui::SetTitle("RegScope [" + AbbreviatePath(CfgPath) + "]" +
                 (network ? " - " + line.Net() : std::string()));
}

} // namespace app
