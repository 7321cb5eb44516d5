// Reads: the four list reads, the one-register reads and the channel reads.
#include "app/forms/field_access.h"
#include "modbus/function_codes.h"
#include "modbus/requests_compose.h"
#include "requests/common.h"
#include "requests/requests.h"

namespace modbus {

namespace {

constexpr StatusKind kQuiet = StatusKind::QuietUnderAutoRead;

// Slave 0 (only from a hand-edited file) is every slave at once: none
// answers, and an empty status bar would leave the user waiting for one.
constexpr char kBroadcastRead[] = "Broadcast to Slave 0 sent : a broadcast gets no reply, "
                                  "nothing readed";

struct ListKind {
    uint8_t function;
    const char* items; // as the status text names them
    bool bits;         // coils and inputs, eight to a byte
};

constexpr ListKind kCoils{kReadCoils, "Coil(s)", true};
constexpr ListKind kDiscreteInputs{kReadDiscreteInputs, "Discrete Input(s)", true};
constexpr ListKind kHoldingRegisters{kReadHoldingRegisters, "Holding Register(s)", false};
constexpr ListKind kInputRegisters{kReadInputRegisters, "Input Register(s)", false};

ResultCode ReadList(const ListKind& kind, uint8_t slave, int result_id, const std::string& start,
                    const std::string& quantity)
{
    if (ResultCode rc = BeginRequest(kQuiet))
        return rc;
    uint16_t n = Word16(quantity);
    Bytes reply;
    if (ResultCode rc = Exchange(slave, kind.function, ListReadData(start, quantity), n, &reply))
        return rc;
    if (IsBroadcast(slave))
        return EndRequest(kQuiet, kBroadcastRead);
    uint16_t first = Word16(start);
    forms::SetFieldText(result_id,
                        kind.bits ? BitListing(first, n, reply) : WordListing(first, n, reply));
    return EndRequest(kQuiet, std::string(kind.items) + " readed from Slave" + SlaveText(slave) +
                                  " : Address " + start + " : Quantity " + quantity);
}

// Function 3 or 4 for one register; `render` makes the text shown.
template <typename Render>
ResultCode ReadOne(uint8_t function, uint8_t slave, int result_id, const std::string& address,
                   Render render)
{
    if (ResultCode rc = BeginRequest(kQuiet))
        return rc;
    Bytes reply;
    if (ResultCode rc = Exchange(slave, function, ListReadData(address, "1"), 1, &reply))
        return rc;
    if (IsBroadcast(slave))
        return EndRequest(kQuiet, kBroadcastRead);
    forms::SetFieldText(result_id, render(SingleRegister(reply)));
    const char* what = function == kReadInputRegisters ? "Input Register" : "Holding Register";
    return EndRequest(kQuiet, std::string(what) + " readed from Slave" + SlaveText(slave) +
                                  " : Address " + address);
}

std::string Decimal(uint16_t word) { return std::to_string(word); }
std::string LowByteBits(uint16_t word) { return Bits(word & 0xFF, 8); }
std::string WordBits(uint16_t word) { return Bits(word, 16); }

ResultCode ReadChannel(uint8_t function, uint8_t slave, int result_id, const std::string& address,
                       const ValueConversion& conversion)
{
    return ReadOne(function, slave, result_id, address, [&](uint16_t word) {
        return conversion.word_to_text ? conversion.word_to_text(word) : Decimal(word);
    });
}

} // namespace

ResultCode ReadCoilList(uint8_t slave, int result_id, const std::string& start,
                        const std::string& quantity)
{
    return ReadList(kCoils, slave, result_id, start, quantity);
}

ResultCode ReadDiscreteInputList(uint8_t slave, int result_id, const std::string& start,
                                 const std::string& quantity)
{
    return ReadList(kDiscreteInputs, slave, result_id, start, quantity);
}

ResultCode ReadHoldingRegisterList(uint8_t slave, int result_id, const std::string& start,
                                   const std::string& quantity)
{
    return ReadList(kHoldingRegisters, slave, result_id, start, quantity);
}

ResultCode ReadInputRegisterList(uint8_t slave, int result_id, const std::string& start,
                                 const std::string& quantity)
{
    return ReadList(kInputRegisters, slave, result_id, start, quantity);
}

ResultCode ReadInputRegister(uint8_t slave, int result_id, const std::string& address)
{
    return ReadOne(kReadInputRegisters, slave, result_id, address, Decimal);
}

ResultCode ReadInputRegisterBits8(uint8_t slave, int result_id, const std::string& address)
{
    return ReadOne(kReadInputRegisters, slave, result_id, address, LowByteBits);
}

ResultCode ReadInputRegisterBits16(uint8_t slave, int result_id, const std::string& address)
{
    return ReadOne(kReadInputRegisters, slave, result_id, address, WordBits);
}

ResultCode ReadHoldingRegister(uint8_t slave, int result_id, const std::string& address)
{
    return ReadOne(kReadHoldingRegisters, slave, result_id, address, Decimal);
}

ResultCode ReadHoldingRegisterBits8(uint8_t slave, int result_id, const std::string& address)
{
    return ReadOne(kReadHoldingRegisters, slave, result_id, address, LowByteBits);
}

ResultCode ReadRegisterBlock(uint8_t function, uint8_t slave, const std::string& start,
                             uint16_t count,
                             const std::function<void(const std::vector<uint16_t>&)>& deliver)
{
    if (ResultCode rc = BeginRequest(kQuiet))
        return rc;
    const std::string quantity = std::to_string(count);
    Bytes reply;
    if (ResultCode rc = Exchange(slave, function, ListReadData(start, quantity), count, &reply))
        return rc;
    if (IsBroadcast(slave))
        return EndRequest(kQuiet, kBroadcastRead);
    // The engine has checked the byte count: the words follow it.
    std::vector<uint16_t> words(count);
    for (size_t k = 0; k < count; ++k)
        words[k] = uint16_t(reply[1 + 2 * k] * 256u + reply[2 + 2 * k]);
    deliver(words);
    const ListKind& kind = function == kReadInputRegisters ? kInputRegisters : kHoldingRegisters;
    return EndRequest(kQuiet, std::string(kind.items) + " readed from Slave" + SlaveText(slave) +
                                  " : Address " + start + " : Quantity " + quantity);
}

ResultCode ReadChannelInput(uint8_t slave, int result_id, const std::string& address,
                            const ValueConversion& conversion)
{
    return ReadChannel(kReadInputRegisters, slave, result_id, address, conversion);
}

ResultCode ReadChannelHolding(uint8_t slave, int result_id, const std::string& address,
                              const ValueConversion& conversion)
{
    return ReadChannel(kReadHoldingRegisters, slave, result_id, address, conversion);
}

} // namespace modbus
