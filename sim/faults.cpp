#include "sim/faults.h"
#include "modbus/function_codes.h"

namespace sim {
namespace {

// After a field was changed the checksum is made right again, so that the
// master's later checks (address, function, length, content) are reached.
void Reseal(modbus::Bytes& frame)
{
    frame.erase(frame.end() - 2, frame.end());
    Bytes crc = modbus::Crc16(frame);
    frame.insert(frame.end(), crc.begin(), crc.end());
}

bool IsException(const Bytes& frame) { return (frame[1] & modbus::kExceptionBit) != 0; }

bool HasByteCount(uint8_t function)
{
    return function <= modbus::kReadInputRegisters || function == modbus::kReportSlaveId ||
           function == modbus::kReadWriteMultipleRegisters;
}

bool IsWriteEcho(uint8_t function)
{
    return function == modbus::kWriteSingleCoil || function == modbus::kWriteSingleRegister ||
           function == modbus::kWriteMultipleCoils || function == modbus::kWriteMultipleRegisters;
}

void AddToWord(modbus::Bytes& frame, size_t at, unsigned delta)
{
    unsigned v = (frame[at] * 256u + frame[at + 1] + delta) & 0xFFFF;
    frame[at] = static_cast<uint8_t>(v >> 8);
    frame[at + 1] = static_cast<uint8_t>(v);
}

} // namespace

bool FaultMatches(const Fault& f, const Request& r)
{
    return (f.address < 0 || f.address == r.address) &&
           (f.function < 0 || f.function == r.function);
}

void ApplyFault(const Fault& f, const Request& r, ReplyPlan* plan)
{
    modbus::Bytes& b = plan->bytes;
    // After a flood there is no frame left to edit.
    bool edits_frame = f.kind != Fault::NoReply && f.kind != Fault::Exception &&
                       f.kind != Fault::Pieces && f.kind != Fault::Delay &&
                       f.kind != Fault::Flood && f.kind != Fault::Repeat;
    if (edits_frame && b.size() < 4)
        return;
    switch (f.kind) {
    case Fault::NoReply: plan->send = false; break;
    case Fault::BadCrc: b.back() ^= 0xFF; break;
    case Fault::WrongAddress:
        b[0] = static_cast<uint8_t>(b[0] + 1);
        Reseal(b);
        break;
    case Fault::WrongFunction:
        b[1] = static_cast<uint8_t>((((b[1] & 0x7F) + 1) & 0x7F) | (b[1] & modbus::kExceptionBit));
        Reseal(b);
        break;
    case Fault::ExtraBytes:
        if (f.trailing_garbage) {
            for (size_t i = 0; i < f.count; ++i)
                b.push_back(static_cast<uint8_t>(0xA5 + i));
        } else {
            b.insert(b.end() - 2, f.count, uint8_t{0});
            Reseal(b);
        }
        break;
    case Fault::WrongByteCount:
        if (!IsException(b) && HasByteCount(r.function) && b.size() >= 5) {
            b[2] = f.byte_count >= 0 ? static_cast<uint8_t>(f.byte_count)
                                     : static_cast<uint8_t>(b[2] + 1);
            Reseal(b);
        }
        break;
    case Fault::WrongEchoAddress:
        if (!IsException(b) && IsWriteEcho(r.function) && b.size() >= 8) {
            AddToWord(b, 2, 1);
            Reseal(b);
        }
        break;
    case Fault::WrongEchoValue:
        if (!IsException(b) && IsWriteEcho(r.function) && b.size() >= 8) {
            // A coil echo stays a valid coil value, only the other one.
            if (r.function == modbus::kWriteSingleCoil)
                b[4] ^= 0xFF;
            else
                AddToWord(b, 4, 1);
            Reseal(b);
        }
        break;
    case Fault::Exception:
        b = modbus::BuildFrame(r.address, static_cast<uint8_t>(r.function | modbus::kExceptionBit),
                               Bytes{f.exception_code});
        break;
    case Fault::Pieces:
        plan->piece_bytes = f.piece_bytes == 0 ? 1 : f.piece_bytes;
        plan->piece_delay_s = f.piece_delay_s;
        break;
    case Fault::Delay: plan->delay_s += f.delay_s; break;
    case Fault::Repeat: plan->repeat_s = f.delay_s; break;
    case Fault::Flood: {
        b.clear();
        uint32_t x = 0x12345678;
        for (size_t i = 0; i < f.count; ++i) {
            x = x * 1103515245u + 12345u;
            b.push_back(static_cast<uint8_t>(x >> 16));
        }
        break;
    }
    }
}

} // namespace sim
