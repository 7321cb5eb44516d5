// Writes: single coil and register, the two multiple writes, the channel
// write and the combined write/read of function 23.
#include "app/forms/field_access.h"
#include "app/shell.h"
#include "modbus/function_codes.h"
#include "modbus/requests_compose.h"
#include "requests/common.h"
#include "requests/requests.h"

namespace modbus {

namespace {

constexpr StatusKind kAlways = StatusKind::Always;

// Sends data whose reply is an echo (functions 5, 6, 15, 16).
ResultCode SendEchoed(uint8_t function, uint8_t slave, const Bytes& data, const std::string& status)
{
    Bytes reply;
    if (ResultCode rc = Exchange(slave, function, data, 0, &reply))
        return rc;
    return EndRequest(kAlways, status);
}

std::string SingleStatus(const char* what, uint8_t slave, const std::string& address)
{
    return std::string(what) + " writed to Slave" + SlaveText(slave) + " : Address " + address;
}

std::string ListStatus(const char* what, uint8_t slave, const std::string& start,
                       const std::string& quantity)
{
    return SingleStatus(what, slave, start) + " : Quantity " + quantity;
}

Bytes WordBytes(uint16_t word) { return Bytes{uint8_t(word >> 8), uint8_t(word & 0xFF)}; }

// Before the port is touched: a refused value sends nothing at all.
ResultCode RefuseValue(int value_id, const std::string& problem)
{
    ui::SetColours(value_id, ui::kDefaultColour, app::ErrorColour);
    ui::Redraw(value_id);
    app::ShowStatus(problem, 0);
    return kValueRefused;
}

} // namespace

ResultCode WriteRegister(uint8_t slave, int value_id, const std::string& address)
{
    const std::string value = forms::GetFieldText(value_id);
    if (const std::string problem = WordValueProblem(value); !problem.empty())
        return RefuseValue(value_id, problem);
    if (ResultCode rc = BeginRequest(kAlways))
        return rc;
    Bytes data = WriteRegisterData(address, value);
    return SendEchoed(kWriteSingleRegister, slave, data,
                      SingleStatus("Holding Register", slave, address));
}

ResultCode WriteRegisterBits(uint8_t slave, int value_id, const std::string& address)
{
    if (ResultCode rc = BeginRequest(kAlways))
        return rc;
    Bytes data = EncodeWord(address);
    Bytes value = WordBytes(BinaryTextValue(forms::GetFieldText(value_id)));
    data.insert(data.end(), value.begin(), value.end());
    return SendEchoed(kWriteSingleRegister, slave, data,
                      SingleStatus("Holding Register", slave, address));
}

ResultCode WriteCoil(uint8_t slave, int value_id, const std::string& address)
{
    if (ResultCode rc = BeginRequest(kAlways))
        return rc;
    Bytes data = WriteCoilData(address, forms::GetFieldText(value_id));
    return SendEchoed(kWriteSingleCoil, slave, data, SingleStatus("Coil", slave, address));
}

ResultCode WriteChannelHolding(uint8_t slave, int value_id, const std::string& address,
                               const ValueConversion& conversion)
{
    if (ResultCode rc = BeginRequest(kAlways))
        return rc;
    std::string text = forms::GetFieldText(value_id);
    uint16_t word = conversion.text_to_word ? conversion.text_to_word(text) : Word16(text);
    Bytes data = EncodeWord(address);
    Bytes value = WordBytes(word);
    data.insert(data.end(), value.begin(), value.end());
    return SendEchoed(kWriteSingleRegister, slave, data,
                      SingleStatus("Holding Register", slave, address));
}

ResultCode WriteRegisterWords(uint8_t slave, const std::string& address,
                              const std::vector<uint16_t>& words)
{
    if (ResultCode rc = BeginRequest(kAlways))
        return rc;
    const std::string quantity = std::to_string(words.size());
    Bytes data = EncodeWord(address);
    const Bytes n = WordBytes(uint16_t(words.size()));
    data.insert(data.end(), n.begin(), n.end());
    data.push_back(uint8_t(2 * words.size()));
    for (uint16_t w : words) {
        const Bytes value = WordBytes(w);
        data.insert(data.end(), value.begin(), value.end());
    }
    return SendEchoed(kWriteMultipleRegisters, slave, data,
                      ListStatus("Holding Register(s)", slave, address, quantity));
}

ResultCode WriteCoilList(uint8_t slave, int values_id, const std::string& start,
                         const std::string& quantity)
{
    if (ResultCode rc = BeginRequest(kAlways))
        return rc;
    Bytes data = WriteCoilListData(start, quantity, forms::GetFieldText(values_id));
    return SendEchoed(kWriteMultipleCoils, slave, data,
                      ListStatus("Coil(s)", slave, start, quantity));
}

ResultCode WriteRegisterList(uint8_t slave, int values_id, const std::string& start,
                             const std::string& quantity)
{
    const std::string values = forms::GetFieldText(values_id);
    if (const std::string problem = WordListProblem(quantity, values); !problem.empty())
        return RefuseValue(values_id, problem);
    if (ResultCode rc = BeginRequest(kAlways))
        return rc;
    Bytes data = WriteRegisterListData(start, quantity, values);
    return SendEchoed(kWriteMultipleRegisters, slave, data,
                      ListStatus("Holding Register(s)", slave, start, quantity));
}

ResultCode WriteReadRegisterList(uint8_t slave, int values_id, const std::string& write_start,
                                 const std::string& write_quantity, int result_id,
                                 const std::string& read_start, const std::string& read_quantity)
{
    const std::string values = forms::GetFieldText(values_id);
    if (const std::string problem = WordListProblem(write_quantity, values); !problem.empty())
        return RefuseValue(values_id, problem);
    if (ResultCode rc = BeginRequest(kAlways))
        return rc;
    Bytes data = WriteReadData(read_start, read_quantity, write_start, write_quantity, values);
    uint16_t r = Word16(read_quantity);
    Bytes reply;
    if (ResultCode rc = Exchange(slave, kReadWriteMultipleRegisters, data, r, &reply))
        return rc;
    if (!IsBroadcast(slave))
        forms::SetFieldText(result_id, WordListing(Word16(read_start), r, reply));
    return EndRequest(kAlways, "Holding Register(s) writed/readed to/from Slave" +
                                   SlaveText(slave) + " : Add(Wr) " + write_start + " : Qty(Wr) " +
                                   write_quantity + " : Add(Rd) " + read_start + " : Qty(Rd) " +
                                   read_quantity);
}

} // namespace modbus
