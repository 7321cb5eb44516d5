// Shared steps of the requests.
#include "requests/common.h"

#include "app/shell.h"
#include "modbus/serial_link.h"

namespace modbus {

namespace {

bool Reports(StatusKind kind) { return kind == StatusKind::Always || !app::AutoReadActive; }

} // namespace

ResultCode BeginRequest(StatusKind kind)
{
    if (Reports(kind))
        app::ShowStatus("", 0);
    return OpenPort(app::SerialSettings.line, app::SerialSettings.timeout);
}

ResultCode Exchange(uint8_t slave, uint8_t function, const Bytes& data, unsigned n, Bytes* reply)
{
    return Transact(slave, function, data, reply, ExpectedReply(function, n),
                    app::SerialSettings.timeout);
}

ResultCode EndRequest(StatusKind kind, const std::string& text)
{
    if (Reports(kind))
        app::ShowStatus(text, 0);
    return kOk;
}

std::string SlaveText(uint8_t slave) { return " " + std::to_string(slave); }

} // namespace modbus
