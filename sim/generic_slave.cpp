// The generic slave: the public Modbus functions on four tables, answering
// out-of-range requests with the exceptions a real slave gives.
#include "modbus/function_codes.h"
#include "sim/slave.h"

#include "sim/demo_waves.h"

namespace sim {
namespace {

// Limits of the Modbus application protocol: a reply or request must fit in
// the 256-byte RTU frame.
constexpr unsigned kMaxReadBits = 2000;
constexpr unsigned kMaxWriteBits = 1968;
constexpr unsigned kMaxReadRegisters = 125;
constexpr unsigned kMaxWriteRegisters = 123;
constexpr unsigned kMaxReadWriteRegisters = 121; // the write half of function 23

bool InTable(unsigned start, unsigned quantity) { return start + quantity <= 65536; }

Reply ReadBits(const std::vector<uint8_t>& table, const Request& r)
{
    if (r.data.size() != 4)
        return ExceptionReply(r.function, kIllegalValue);
    unsigned start = Word(r.data, 0), n = Word(r.data, 2);
    if (n < 1 || n > kMaxReadBits)
        return ExceptionReply(r.function, kIllegalValue);
    if (!InTable(start, n))
        return ExceptionReply(r.function, kIllegalAddress);
    std::vector<bool> states(n);
    for (unsigned i = 0; i < n; ++i)
        states[i] = table[start + i] != 0;
    Bytes packed = modbus::PackCoils(states);
    Bytes out{r.function, static_cast<uint8_t>(packed.size())};
    out.insert(out.end(), packed.begin(), packed.end());
    return out;
}

Reply ReadRegisters(const std::vector<uint16_t>& table, const Request& r)
{
    if (r.data.size() != 4)
        return ExceptionReply(r.function, kIllegalValue);
    unsigned start = Word(r.data, 0), n = Word(r.data, 2);
    if (n < 1 || n > kMaxReadRegisters)
        return ExceptionReply(r.function, kIllegalValue);
    if (!InTable(start, n))
        return ExceptionReply(r.function, kIllegalAddress);
    Bytes out{r.function, static_cast<uint8_t>(2 * n)};
    for (unsigned i = 0; i < n; ++i)
        PutWord(out, table[start + i]);
    return out;
}

Reply WriteCoil(Tables& t, const Request& r)
{
    if (r.data.size() != 4)
        return ExceptionReply(r.function, kIllegalValue);
    unsigned value = Word(r.data, 2);
    // Only these two values mean anything; a real slave refuses the rest.
    if (value != 0x0000 && value != 0xFF00)
        return ExceptionReply(r.function, kIllegalValue);
    t.coils[Word(r.data, 0)] = value == 0xFF00 ? 1 : 0;
    Bytes out{r.function};
    out.insert(out.end(), r.data.begin(), r.data.end());
    return out;
}

Reply WriteRegister(Tables& t, const Request& r)
{
    if (r.data.size() != 4)
        return ExceptionReply(r.function, kIllegalValue);
    t.holding[Word(r.data, 0)] = static_cast<uint16_t>(Word(r.data, 2));
    Bytes out{r.function};
    out.insert(out.end(), r.data.begin(), r.data.end());
    return out;
}

Reply WriteCoils(Tables& t, const Request& r)
{
    if (r.data.size() < 5)
        return ExceptionReply(r.function, kIllegalValue);
    unsigned start = Word(r.data, 0), n = Word(r.data, 2), count = r.data[4];
    if (n < 1 || n > kMaxWriteBits || count != modbus::CoilBytes(n) || r.data.size() != 5 + count)
        return ExceptionReply(r.function, kIllegalValue);
    if (!InTable(start, n))
        return ExceptionReply(r.function, kIllegalAddress);
    for (unsigned i = 0; i < n; ++i)
        t.coils[start + i] = modbus::UnpackCoil(&r.data[5], i) ? 1 : 0;
    Bytes out{r.function};
    out.insert(out.end(), r.data.begin(), r.data.begin() + 4);
    return out;
}

Reply WriteRegisters(Tables& t, const Request& r)
{
    if (r.data.size() < 5)
        return ExceptionReply(r.function, kIllegalValue);
    unsigned start = Word(r.data, 0), n = Word(r.data, 2), count = r.data[4];
    if (n < 1 || n > kMaxWriteRegisters || count != 2 * n || r.data.size() != 5 + count)
        return ExceptionReply(r.function, kIllegalValue);
    if (!InTable(start, n))
        return ExceptionReply(r.function, kIllegalAddress);
    for (unsigned i = 0; i < n; ++i)
        t.holding[start + i] = static_cast<uint16_t>(Word(r.data, 5 + 2 * i));
    Bytes out{r.function};
    out.insert(out.end(), r.data.begin(), r.data.begin() + 4);
    return out;
}

Reply ReadWriteRegisters(Tables& t, const Request& r)
{
    if (r.data.size() < 9)
        return ExceptionReply(r.function, kIllegalValue);
    unsigned read_start = Word(r.data, 0), read_n = Word(r.data, 2);
    unsigned write_start = Word(r.data, 4), write_n = Word(r.data, 6), count = r.data[8];
    if (read_n < 1 || read_n > kMaxReadRegisters || write_n < 1 ||
        write_n > kMaxReadWriteRegisters || count != 2 * write_n || r.data.size() != 9 + count)
        return ExceptionReply(r.function, kIllegalValue);
    if (!InTable(read_start, read_n) || !InTable(write_start, write_n))
        return ExceptionReply(r.function, kIllegalAddress);
    // The write is done before the read, so the reply shows what was written.
    for (unsigned i = 0; i < write_n; ++i)
        t.holding[write_start + i] = static_cast<uint16_t>(Word(r.data, 9 + 2 * i));
    Bytes out{r.function, static_cast<uint8_t>(2 * read_n)};
    for (unsigned i = 0; i < read_n; ++i)
        PutWord(out, t.holding[read_start + i]);
    return out;
}

Reply ReportSlaveId(const Request& r, const Bytes& identification)
{
    if (!r.data.empty())
        return ExceptionReply(r.function, kIllegalValue);
    Bytes out{r.function, 22};
    for (size_t i = 0; i < 22; ++i)
        out.push_back(i < identification.size() ? identification[i] : 0);
    return out;
}

} // namespace

Reply ServeGeneric(Tables& t, const Request& r, const Bytes& identification)
{
    switch (r.function) {
    case modbus::kReadCoils: return ReadBits(t.coils, r);
    case modbus::kReadDiscreteInputs: return ReadBits(t.discrete_inputs, r);
    case modbus::kReadHoldingRegisters: return ReadRegisters(t.holding, r);
    case modbus::kReadInputRegisters: return ReadRegisters(t.input, r);
    case modbus::kWriteSingleCoil: return WriteCoil(t, r);
    case modbus::kWriteSingleRegister: return WriteRegister(t, r);
    case modbus::kWriteMultipleCoils: return WriteCoils(t, r);
    case modbus::kWriteMultipleRegisters: return WriteRegisters(t, r);
    case modbus::kReportSlaveId: return ReportSlaveId(r, identification);
    case modbus::kReadWriteMultipleRegisters: return ReadWriteRegisters(t, r);
    default: return ExceptionReply(r.function, kIllegalFunction);
    }
}

Bytes MakeIdentification(const std::string& model, const std::string& version)
{
    Bytes id(22, 0);
    for (size_t i = 0; i < 8; ++i) {
        id[i] = i < model.size() ? static_cast<uint8_t>(model[i]) : ' ';
        id[9 + i] = i < version.size() ? static_cast<uint8_t>(version[i]) : ' ';
    }
    id[8] = 0xFF; // run indicator: running
    return id;
}

SlaveHandler GenericSlave(std::shared_ptr<RegisterBank> bank, bool demo)
{
    Bytes id = MakeIdentification("SIM-GEN ", "1.00    ");
    return [bank, demo, id](const Request& r) -> Reply {
        return bank->Access([&](Tables& t) {
            if (demo) {
                for (unsigned i = 0; i < kDemoInputCount; ++i)
                    t.input[i] = DemoInputRegister(i, r.time_s);
            }
            return ServeGeneric(t, r, id);
        });
    };
}

void FillDemoValues(RegisterBank& bank)
{
    bank.Access([](Tables& t) {
        for (int i = 0; i < 10; ++i)
            t.holding[i] = static_cast<uint16_t>(111 * (i + 1));
        for (int i = 0; i < 8; ++i) {
            t.coils[i] = i % 2;
            t.discrete_inputs[i] = (i % 3) == 0;
        }
        return 0;
    });
}

} // namespace sim
