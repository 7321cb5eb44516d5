// The tables of a slave and their locked access from tests.
#include "sim/slave.h"

namespace sim {

Tables::Tables() : coils(65536), discrete_inputs(65536), holding(65536), input(65536) {}

bool RegisterBank::Coil(uint16_t a) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return tables_.coils[a] != 0;
}

void RegisterBank::SetCoil(uint16_t a, bool on)
{
    std::lock_guard<std::mutex> lock(mutex_);
    tables_.coils[a] = on ? 1 : 0;
}

bool RegisterBank::DiscreteInput(uint16_t a) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return tables_.discrete_inputs[a] != 0;
}

void RegisterBank::SetDiscreteInput(uint16_t a, bool on)
{
    std::lock_guard<std::mutex> lock(mutex_);
    tables_.discrete_inputs[a] = on ? 1 : 0;
}

uint16_t RegisterBank::Holding(uint16_t a) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return tables_.holding[a];
}

void RegisterBank::SetHolding(uint16_t a, uint16_t value)
{
    std::lock_guard<std::mutex> lock(mutex_);
    tables_.holding[a] = value;
}

uint16_t RegisterBank::Input(uint16_t a) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return tables_.input[a];
}

void RegisterBank::SetInput(uint16_t a, uint16_t value)
{
    std::lock_guard<std::mutex> lock(mutex_);
    tables_.input[a] = value;
}

} // namespace sim
