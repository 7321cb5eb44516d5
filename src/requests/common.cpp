// Shared steps of the requests.
#include "requests/common.h"

#include "app/comm_report.h"
#include "app/shell.h"
#include "modbus/capture.h"
#include "modbus/requests_compose.h"
#include "modbus/serial_link.h"

namespace modbus {

namespace {

bool Reports(StatusKind kind) { return kind == StatusKind::Always || !app::AutoReadActive; }

} // namespace

int16_t BeginRequest(StatusKind kind)
{
    if (Reports(kind))
        app::ShowStatus("", 0);
    return OpenPort(app::GeneralLine());
}

int16_t Exchange(uint8_t slave, uint8_t function, const Bytes& data, unsigned expected,
                 Bytes* reply)
{
    return Transact(slave, function, data, reply, uint16_t(expected), app::SerialSettings.timeout);
}

int16_t ExchangeRead(uint8_t slave, uint8_t function, const Bytes& data, unsigned n,
                     Bytes* reply)
{
    unsigned expected = ExpectedReplyData(function, n);
    if (int16_t rc = Exchange(slave, function, data, expected, reply))
        return rc;
    if (IsBroadcast(slave))
        return 0;
    std::string message;
    if (int16_t rc = CheckByteCount(*reply, expected - 1, &message)) // after the byte count
        return RejectReply(rc, message);
    return 0;
}

int16_t RejectReply(int16_t code, const std::string& message)
{
    // The engine recorded the reply as good; the monitor shows why it was not.
    AmendLastCapture(code);
    return ReportFailure(code, message);
}

int16_t EndRequest(StatusKind kind, const std::string& text)
{
    if (Reports(kind))
        app::ShowStatus(text, 0);
    return 0;
}

std::string SlaveText(uint8_t slave) { return " " + std::to_string(slave); }

} // namespace modbus
