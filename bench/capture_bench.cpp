// Cost of recording one transaction into the capture ring, with the capture
// off and on, beside a reference loop doing the engine's own work on the same
// frames without any I/O: the request checksum, the reply check and taking
// the reply data out. The three loops run interleaved, several rounds each,
// and the best round of each is printed. Prints figures; judging them is left
// to the reader.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "modbus/capture.h"
#include "modbus/codec.h"

namespace {

using namespace modbus;

using Clock = std::chrono::steady_clock;

const Bytes kRequest = BuildFrame(1, 3, {0, 0, 0, 10});
// 10 registers: the reply of the engine's own benchmark.
const Bytes kReply =
    BuildFrame(1, 3, {20, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0, 9, 0, 10});
const modbus::PortSettings kSettings = {1, 115200, 2, 1.0f};
constexpr int kTransactions = 2'000'000;
constexpr int kRounds = 7;

volatile uint32_t sink;

// What the engine does to a transaction besides the I/O.
uint32_t EngineWork(uint8_t* data_out)
{
    uint32_t crc = Crc16Value(kRequest.data(), kRequest.size() - 2);
    bool good = CrcMatches(kReply.data(), kReply.size());
    std::memcpy(data_out, kReply.data() + 2, kReply.size() - 4);
    return crc + good + data_out[3];
}

double NsPerTransaction(bool capture)
{
    uint8_t data[kMaxFrame];
    uint32_t acc = 0;
    auto t0 = Clock::now();
    for (int i = 0; i < kTransactions; ++i) {
        if (capture)
            modbus::CaptureBegin(kRequest.data(), kRequest.size(), kSettings, i);
        acc += EngineWork(data);
        if (capture) {
            modbus::CaptureReply(kReply.data(), kReply.size());
            modbus::CaptureEnd(0, i + 1000);
        }
    }
    auto t1 = Clock::now();
    sink = acc;
    return std::chrono::duration<double, std::nano>(t1 - t0).count() / kTransactions;
}

} // namespace

int main()
{
    double reference = 1e30, off = 1e30, on = 1e30;
    for (int r = 0; r < kRounds; ++r) {
        reference = std::min(reference, NsPerTransaction(false));
        modbus::SetCaptureEnabled(false);
        off = std::min(off, NsPerTransaction(true));
        modbus::SetCaptureEnabled(true);
        on = std::min(on, NsPerTransaction(true));
        modbus::SetCaptureEnabled(false);
    }
    // Wire time of this read: 8 + 25 bytes of 11 bits.
    const double wire_ns = 33 * 11 / 115200.0 * 1e9;
    std::printf("Capture of one 10-register read, best of %d rounds of %d transactions\n", kRounds,
                kTransactions);
    std::printf("  %-30s %8.1f ns per transaction\n", "reference (engine work, no I/O)", reference);
    const char* row = "  %-30s %8.1f ns per transaction  ratio %.3f\n";
    std::printf(row, "with capture off", off, off / reference);
    std::printf(row, "with capture on", on, on / reference);
    std::printf("  capture on adds %.1f ns, %.5f %% of the %.0f us the frames take on the wire at "
                "115200 bit/s\n",
                on - reference, (on - reference) / wire_ns * 100, wire_ns / 1000);
    std::printf("  ring of %zu transactions: %.1f MB\n", modbus::kDefaultCaptureCapacity,
                double(modbus::kDefaultCaptureCapacity * sizeof(modbus::Transaction)) / 1e6);
    return 0;
}
