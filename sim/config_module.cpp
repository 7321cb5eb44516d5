#include "sim/config_module.h"
#include "modbus/function_codes.h"

namespace sim {

Reply ServeConfigModule(ModuleConfig& config, const Request& r)
{
    // The module listens in configuration mode at a fixed 9600 bit/s, even
    // parity; at any other setting it would only see noise.
    if (r.line.baud != 9600 || r.line.parity != serial::Parity::Even)
        return std::nullopt;
    if (r.function == modbus::kReadModuleConfig && r.data.empty()) {
        uint32_t b = config.baud;
        return Bytes{109,
                     config.address,
                     static_cast<uint8_t>(b >> 24),
                     static_cast<uint8_t>(b >> 16),
                     static_cast<uint8_t>(b >> 8),
                     static_cast<uint8_t>(b),
                     config.parity,
                     static_cast<uint8_t>(config.reset_time >> 8),
                     static_cast<uint8_t>(config.reset_time)};
    }
    if (r.function == modbus::kWriteModuleConfig && r.data.size() == 8) {
        const Bytes& d = r.data;
        config.address = d[0];
        config.baud = uint32_t{d[1]} << 24 | uint32_t{d[2]} << 16 | uint32_t{d[3]} << 8 | d[4];
        config.parity = d[5];
        config.reset_time = static_cast<uint16_t>(d[6] << 8 | d[7]);
        return Bytes{110};
    }
    if (r.function == modbus::kReadModuleConfig || r.function == modbus::kWriteModuleConfig)
        return ExceptionReply(r.function, 3);
    return ExceptionReply(r.function, 1);
}

} // namespace sim
