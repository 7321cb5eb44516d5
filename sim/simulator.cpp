// Not yet serving: the interface is usable, the line stays silent.
#include "sim/sim.h"

namespace sim {

Tables::Tables() : coils(65536), discrete_inputs(65536), holding(65536), input(65536) {}

bool RegisterBank::Coil(uint16_t a) const { std::lock_guard<std::mutex> l(mutex_); return tables_.coils[a]; }
void RegisterBank::SetCoil(uint16_t a, bool on) { std::lock_guard<std::mutex> l(mutex_); tables_.coils[a] = on; }
bool RegisterBank::DiscreteInput(uint16_t a) const { std::lock_guard<std::mutex> l(mutex_); return tables_.discrete_inputs[a]; }
void RegisterBank::SetDiscreteInput(uint16_t a, bool on) { std::lock_guard<std::mutex> l(mutex_); tables_.discrete_inputs[a] = on; }
uint16_t RegisterBank::Holding(uint16_t a) const { std::lock_guard<std::mutex> l(mutex_); return tables_.holding[a]; }
void RegisterBank::SetHolding(uint16_t a, uint16_t v) { std::lock_guard<std::mutex> l(mutex_); tables_.holding[a] = v; }
uint16_t RegisterBank::Input(uint16_t a) const { std::lock_guard<std::mutex> l(mutex_); return tables_.input[a]; }
void RegisterBank::SetInput(uint16_t a, uint16_t v) { std::lock_guard<std::mutex> l(mutex_); tables_.input[a] = v; }

Reply ServeGeneric(Tables&, const Request&, const Bytes&) { return std::nullopt; }
Bytes MakeIdentification(const std::string&, const std::string&) { return Bytes(22); }
SlaveHandler GenericSlave(std::shared_ptr<RegisterBank>, bool) { return [](const Request&) { return Reply(); }; }
void FillDemoValues(RegisterBank&) {}

struct Simulator::State {};
Simulator::Simulator() : state_(std::make_unique<State>()) {}
Simulator::~Simulator() = default;
bool Simulator::Start(const Options&, std::string* error) { *error = "not available yet"; return false; }
void Simulator::Stop() {}
std::string Simulator::LinkPath() const { return {}; }
std::string Simulator::DevicePath() const { return {}; }
void Simulator::AddSlave(uint8_t, SlaveHandler) {}
void Simulator::RemoveSlave(uint8_t) {}
std::shared_ptr<RegisterBank> Simulator::AddGenericSlave(uint8_t, bool) { return std::make_shared<RegisterBank>(); }
void Simulator::EnableConfigModule(bool) {}
void Simulator::SetModuleConfig(const ModuleConfig&) {}
ModuleConfig Simulator::GetModuleConfig() const { return {}; }
void Simulator::SetPacing(bool) {}
void Simulator::InjectFault(const Fault&) {}
void Simulator::ClearFaults() {}
std::vector<Frame> Simulator::Frames() const { return {}; }
void Simulator::ClearFrames() {}
bool Simulator::WaitForFrames(size_t, double) const { return false; }
size_t Simulator::RepliesSent() const { return 0; }
LineSettings Simulator::Line() const { return {}; }

} // namespace sim
