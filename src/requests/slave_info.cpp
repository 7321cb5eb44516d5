// Report Slave ID: the model and version texts a module gives about itself.
#include "app/forms/shared_boxes.h"
#include "app/shell.h"
#include "modbus/function_codes.h"
#include "modbus/requests_compose.h"
#include "modbus/serial_link.h"
#include "requests/common.h"
#include "requests/requests.h"

namespace modbus {

namespace {

// After the byte count: model text (8), run indicator, version text (8),
// then bytes this program does not use.
constexpr size_t kModelAt = 1;
constexpr size_t kVersionAt = 10;
constexpr size_t kTextBytes = 8;

} // namespace

ResultCode ReadSlaveInfo(uint8_t slave, std::string* model, std::string* version)
{
    // Shown whatever Auto Read does: identifying a module is a step of its own.
    app::ShowStatus("Reading info from Slave" + SlaveText(slave), 0);
    if (ResultCode rc = OpenPort(app::SerialSettings.line, app::SerialSettings.timeout))
        return rc;
    Bytes reply;
    if (ResultCode rc = Exchange(slave, kReportSlaveId, Bytes(), 0, &reply))
        return rc;
    if (IsBroadcast(slave))
        return kOk;
    // Raw bytes, padding included: the caller compares them as they are.
    model->assign(reply.begin() + kModelAt, reply.begin() + kModelAt + kTextBytes);
    version->assign(reply.begin() + kVersionAt, reply.begin() + kVersionAt + kTextBytes);
    forms::WaitSeconds(0.5);
    return kOk;
}

} // namespace modbus
