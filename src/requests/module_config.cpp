// Reading and writing a module's serial settings in its configuration mode.
#include "requests/module_config.h"

#include "app/config_store.h"
#include "app/forms/shared_boxes.h"
#include "app/shell.h"
#include "modbus/protocol.h"
#include "modbus/serial_link.h"

namespace modbus {

namespace {

// The line settings a module in configuration mode listens at.
constexpr int32_t kConfigBaud = 9600;
constexpr serial::Parity kConfigParity = serial::Parity::Even;

void Append(Bytes* to, const Bytes& from) { to->insert(to->end(), from.begin(), from.end()); }

// Whatever port was open, and with whatever settings, the module is only
// reached at its own line settings. On a network line those belong to the
// gateway, which the program cannot set: the steps go out over the line as
// it is, and the gateway's serial side must be at 9600 bit/s, even parity.
ResultCode OpenAtConfigSettings()
{
    serial::LineSettings line = app::SerialSettings.line;
    line.baud = kConfigBaud;
    line.parity = kConfigParity;
    return OpenPort(line, app::SerialSettings.timeout);
}

} // namespace

ResultCode ReadModuleConfiguration()
{
    app::ShowStatus("Reading configuration...", 0);
    ClosePort();
    if (ResultCode rc = OpenAtConfigSettings())
        return rc;
    Bytes reply;
    if (ResultCode rc = Transact(kConfigAddress, kReadModuleConfig, Bytes(), &reply,
                                 ExpectedReply(kReadModuleConfig, 0), app::SerialSettings.timeout))
        return rc;
    ClosePort();

    app::WriteConfigKey(app::CfgPath, "MODULE_CFG_SLAVE", DecodeByte(reply[0]));
    app::WriteConfigKey(app::CfgPath, "MODULE_CFG_BAUD",
                        DecodeDword(reply[1], reply[2], reply[3], reply[4]));
    app::WriteConfigKey(app::CfgPath, "MODULE_CFG_PARITY", DecodeByte(reply[5]));
    app::WriteConfigKey(app::CfgPath, "MODULE_CFG_RES_TIME", DecodeWord(reply[6], reply[7]));

    forms::WaitSeconds(0.5);
    ui::Beep();
    app::ShowStatus("Configuration readed from module", 0);
    return kOk;
}

ResultCode WriteModuleConfiguration()
{
    app::ShowStatus("Writing configuration...", 0);
    ClosePort();
    Bytes data;
    Append(&data, EncodeByte(app::ReadConfigKey(app::CfgPath, "MODULE_CFG_SLAVE")));
    Append(&data, EncodeDword(app::ReadConfigKey(app::CfgPath, "MODULE_CFG_BAUD")));
    Append(&data, EncodeByte(app::ReadConfigKey(app::CfgPath, "MODULE_CFG_PARITY")));
    Append(&data, EncodeWord(app::ReadConfigKey(app::CfgPath, "MODULE_CFG_RES_TIME")));

    if (ResultCode rc = OpenAtConfigSettings())
        return rc;
    Bytes reply;
    if (ResultCode rc = Transact(kConfigAddress, kWriteModuleConfig, data, &reply,
                                 ExpectedReply(kWriteModuleConfig, 0), app::SerialSettings.timeout))
        return rc;
    forms::WaitSeconds(0.5);
    ClosePort();
    ui::Beep();
    app::ShowStatus("Configuration sended to module", 0);
    return kOk;
}

} // namespace modbus
