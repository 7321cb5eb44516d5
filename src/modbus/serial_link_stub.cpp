// Serial link placeholder until the engine lands: every request fails.
#include "modbus/serial_link.h"

void SetPortFolder(const std::string&) {}
int16_t OpenPort(int16_t, int32_t, int16_t) { return 129; }
void ClosePort() {}
int16_t Transact(uint8_t, uint8_t, const Bytes&, Bytes*, uint16_t, float) { return 130; }
void ReportCommError(const std::string&) {}
