// What a simulated slave is: an address and a handler that turns a request
// into a reply. The generic slave and the module models are handlers of this
// kind, so a new model is a new file and one AddSlave call.
#pragma once

#include "modbus/codec.h"
#include "platform/serial_line.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace sim {

// Frames are the codec's byte strings.
using modbus::Bytes;

// Line settings the master has put on the pty, as far as the pty keeps them
// (no port; baud 0 when unknown).
using serial::LineSettings;

// A request whose checksum was correct. address 0 is a broadcast: the handler
// acts on it, and whatever it returns is not sent.
struct Request {
    uint8_t address = 0;
    uint8_t function = 0;
    Bytes data; // between the function code and the checksum
    LineSettings line;
    double time_s = 0; // seconds since the simulator started
};

// Reply without address and checksum: function code (with bit 7 set for an
// exception), then the data. std::nullopt = stay silent.
using Reply = std::optional<modbus::Bytes>;
using SlaveHandler = std::function<Reply(const Request&)>;

inline Reply ExceptionReply(uint8_t function, uint8_t code)
{
    return Bytes{static_cast<uint8_t>(function | 0x80), code};
}

// The exception codes every simulated slave answers with.
constexpr uint8_t kIllegalFunction = 1;
constexpr uint8_t kIllegalAddress = 2;
constexpr uint8_t kIllegalValue = 3;

// Addresses, quantities and register values travel high byte first.
inline unsigned Word(const Bytes& d, size_t at) { return d[at] * 256u + d[at + 1]; }

inline void PutWord(modbus::Bytes& out, unsigned v)
{
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

// The four data tables of a slave, 65536 items each. Bits are stored one per
// byte (0 or 1) so tests can look at them directly.
struct Tables {
    Tables();
    std::vector<uint8_t> coils, discrete_inputs;
    std::vector<uint16_t> holding, input;
};

// Tables shared between the simulator thread and a test; every access locks.
class RegisterBank {
public:
    bool Coil(uint16_t a) const;
    void SetCoil(uint16_t a, bool on);
    bool DiscreteInput(uint16_t a) const;
    void SetDiscreteInput(uint16_t a, bool on);
    uint16_t Holding(uint16_t a) const;
    void SetHolding(uint16_t a, uint16_t value);
    uint16_t Input(uint16_t a) const;
    void SetInput(uint16_t a, uint16_t value);

    // Several accesses as one step, e.g. a whole request.
    template <typename F>
    auto Access(F&& f)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return f(tables_);
    }

private:
    mutable std::mutex mutex_;
    Tables tables_;
};

// Functions 1, 2, 3, 4, 5, 6, 15, 16, 17 and 23 on the tables, with the
// exceptions a real slave gives. identification: the 22 data bytes of the
// Report Slave ID reply (shorter is padded with zeros).
Reply ServeGeneric(Tables& tables, const Request& request, const Bytes& identification);

// Identification bytes in the layout the master reads: 8 characters of model
// text, a run indicator byte, 8 characters of version text, zeros.
Bytes MakeIdentification(const std::string& model, const std::string& version);

// A generic slave's handler. With demo set, the input registers 0..9 move
// with time (DemoInputRegister), so a reader sees them change.
SlaveHandler GenericSlave(std::shared_ptr<RegisterBank> bank, bool demo = false);

// Values that are easy to tell apart on a screen: holding registers 0..9,
// coils 0..7 and discrete inputs 0..7.
void FillDemoValues(RegisterBank& bank);

} // namespace sim
