// The bus simulator: Modbus RTU slaves behind a pseudo-terminal that is
// linked as COMn in a folder, and on TCP ports of the loopback address, served on a thread of its
// own. Tests start one, run the master against the link in their own thread and look at what the
// slaves received and hold.
#pragma once

#include "sim/slave.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sim {

struct Options {
    std::string folder = "."; // where the COMn link is made
    int port = 1;             // the n of COMn
    // Replies are written at the line's real byte time (11 bits per character
    // at the master's baud rate). Off for fast tests.
    bool pacing = false;
    // The pty and its link; off for a simulator reached over TCP alone.
    bool pty = true;
    // Ports on 127.0.0.1 serving the same slaves as Modbus TCP and as RTU
    // frames over TCP: -1 none, 0 any free port (TcpPort() tells which).
    int tcp_port = -1;
    int rtu_tcp_port = -1;
};

// One frame as received from the master, whatever became of it.
struct Frame {
    Bytes bytes;       // checksum included
    double time_s = 0; // seconds since the simulator started, at its last byte
    LineSettings line; // what the master had set at that moment
    bool crc_ok = false;
};

// Settings of the module in configuration mode (functions 109 and 110 at
// address 248).
struct ModuleConfig {
    uint8_t address = 1;
    uint32_t baud = 9600;
    uint8_t parity = 2;
    uint16_t reset_time = 0; // units of 10 ms; 0 = never
};

// A fault applied to the replies of matching requests.
struct Fault {
    enum Kind {
        NoReply,          // stay silent
        BadCrc,           // last checksum byte flipped
        WrongAddress,     // reply from address + 1
        WrongFunction,    // function code + 1 (exception bit kept)
        ExtraBytes,       // `count` more data bytes; checksum over all of them
                          // unless trailing_garbage, then appended after it
        WrongByteCount,   // byte count field set to byte_count (-1: one more)
        WrongEchoAddress, // functions 5, 6, 15, 16: echoed address + 1
        WrongEchoValue,   // 5, 6: echoed value changed; 15, 16: quantity + 1
        Exception,        // exception reply with exception_code
        Pieces,           // reply written in pieces of piece_bytes, piece_delay_s apart
        Delay,            // reply written after delay_s
        Flood,            // `count` bytes of noise instead of the reply
        Repeat,           // the reply written again delay_s after it (a gateway
                          // that repeats replies)
    };
    Kind kind = NoReply;
    int address = -1;  // only requests to this address; -1 = any
    int function = -1; // only this function code; -1 = any
    int times = 1;     // number of matching requests it applies to; -1 = until cleared

    uint8_t exception_code = 4;
    int byte_count = -1;
    size_t count = 1;
    bool trailing_garbage = false;
    size_t piece_bytes = 1;
    double piece_delay_s = 0.01;
    double delay_s = 0;
};

class Simulator {
public:
    Simulator();
    ~Simulator(); // stops it
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Creates the pty and the link and starts serving. False with *error set
    // when the pty or the link cannot be made.
    bool Start(const Options& options, std::string* error);
    // Stops serving and removes the link. Safe to call twice.
    void Stop();

    std::string LinkPath() const;   // folder/COMn
    std::string DevicePath() const; // /dev/pts/N
    int TcpPort() const;            // Modbus TCP port, 0 when not served
    int RtuTcpPort() const;         // RTU over TCP port, 0 when not served

    // Slaves. A handler added for an address replaces the previous one.
    void AddSlave(uint8_t address, SlaveHandler handler);
    void RemoveSlave(uint8_t address);
    // A generic slave at the address; its tables, for tests to read and set.
    std::shared_ptr<RegisterBank> AddGenericSlave(uint8_t address, bool demo = false);

    // The module in configuration mode at address 248, off at start. It
    // answers only while the line is at 9600 bit/s, even parity.
    void EnableConfigModule(bool on);
    void SetModuleConfig(const ModuleConfig& config);
    ModuleConfig GetModuleConfig() const;

    void SetPacing(bool on);

    // The slave at `address` is set to the baud rate and parity of `line`:
    // while the master's differ it hears garbled bytes and stays silent or
    // answers garbage (sim/slave_lines.h). Until then it follows the master.
    void SetSlaveLine(uint8_t address, const LineSettings& line, bool garbage);

    void InjectFault(const Fault& fault);
    void ClearFaults();

    // Every frame received so far, oldest first.
    std::vector<Frame> Frames() const;
    void ClearFrames();
    // The frames received so far, which the simulator then forgets: a
    // long-running simulator must not keep every frame of its life.
    std::vector<Frame> TakeFrames();
    // Waits until at least n frames were received or timeout_s has passed;
    // true when they were.
    bool WaitForFrames(size_t n, double timeout_s) const;
    // Waits until at least n bytes came from the pty, whether or not they
    // made a frame yet; true when they did.
    bool WaitForBytes(size_t n, double timeout_s) const;
    // Number of replies written so far (each counted once it is complete).
    size_t RepliesSent() const;

    // The line settings the master has set right now.
    LineSettings Line() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace sim
