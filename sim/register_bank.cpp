// The tables of a slave and their locked access from tests.
#include "sim/slave.h"

namespace sim {

Tables::Tables() : coils(65536), discrete_inputs(65536), holding(65536), input(65536) {}

namespace {

template <typename T>
T Get(std::mutex& m, const std::vector<T>& table, uint16_t a)
{
    std::lock_guard<std::mutex> lock(m);
    return table[a];
}

template <typename T>
void Put(std::mutex& m, std::vector<T>& table, uint16_t a, T value)
{
    std::lock_guard<std::mutex> lock(m);
    table[a] = value;
}

} // namespace

bool RegisterBank::Coil(uint16_t a) const { return Get(mutex_, tables_.coils, a) != 0; }
void RegisterBank::SetCoil(uint16_t a, bool on) { Put<uint8_t>(mutex_, tables_.coils, a, on); }
bool RegisterBank::DiscreteInput(uint16_t a) const
{
    return Get(mutex_, tables_.discrete_inputs, a) != 0;
}
void RegisterBank::SetDiscreteInput(uint16_t a, bool on)
{
    Put<uint8_t>(mutex_, tables_.discrete_inputs, a, on);
}
uint16_t RegisterBank::Holding(uint16_t a) const { return Get(mutex_, tables_.holding, a); }
void RegisterBank::SetHolding(uint16_t a, uint16_t v) { Put(mutex_, tables_.holding, a, v); }
uint16_t RegisterBank::Input(uint16_t a) const { return Get(mutex_, tables_.input, a); }
void RegisterBank::SetInput(uint16_t a, uint16_t v) { Put(mutex_, tables_.input, a, v); }

} // namespace sim
