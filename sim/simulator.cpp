// The simulator's thread: collects request frames from the pty, hands them to
// the slave at their address and writes the replies back, through the
// injected faults and at the line's byte time when pacing is on.
#include "sim/sim.h"

#include "sim/config_module.h"
#include "sim/faults.h"
#include "sim/framing.h"
#include "sim/pty.h"
#include "sim/sim_socket.h"
#include "sim/slave_lines.h"
#include "sim/tcp_listen.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <map>
#include <thread>
#include <utility>

namespace sim {
namespace {

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Frames of unknown layout, and truncated ones, end with the silence on the
// line: 3.5 characters by the RTU rule, but never less than 40 ms, because a
// pty hands over a master's write in chunks of its own choosing and a busy
// machine may hold a writer back for tens of milliseconds between them.
double SilenceSeconds(uint32_t baud)
{
    double chars = 3.5 * 11.0 / (baud == 0 ? 9600 : baud);
    return chars > 0.04 ? chars : 0.04;
}

// A frame longer than any request means the stream is noise.
constexpr size_t kMaxRequest = 300;

// Where a reply goes: the pty, or a TCP connection (as Modbus TCP with the
// request's transaction identifier, or as the RTU frame itself).
struct Output {
    int fd = -1;
    bool socket = false;
    bool mbap = false;
    uint16_t transaction = 0;
};

// A master connected over TCP, with what it sent that is not yet a frame.
struct Peer {
    int fd = -1;
    bool mbap = false;
    Bytes pending;
    double last_byte_s = 0;
};

} // namespace

struct Simulator::State {
    mutable std::mutex mutex;
    mutable std::condition_variable frames_changed;
    std::map<uint8_t, SlaveHandler> slaves;
    std::map<uint8_t, SlaveLine> slave_lines; // slaves set to settings of their own
    bool config_enabled = false;
    ModuleConfig config;
    std::vector<Fault> faults;
    std::vector<Frame> frames;
    size_t replies = 0;
    size_t pty_bytes = 0; // read from the pty so far
    std::atomic<bool> pacing{false};

    Options options;
    std::string device, link;
    int master = -1, slave = -1, wake = -1;
    int listeners[2] = {-1, -1}; // Modbus TCP, RTU over TCP
    int bound[2] = {0, 0};       // their ports
    std::vector<Peer> peers;
    double start_s = 0;
    std::thread thread;
    bool running = false;

    void Run();
    // Takes every whole RTU frame off `pending`; the rest waits for more
    // bytes, or for the silence (`silent`) that ends a frame of unknown
    // length.
    void CutRtuFrames(Bytes* pending, double last_byte_s, bool silent, const LineSettings& line,
                      const Output& out);
    // False when the stream is out of step for good: a header no request
    // can have, or a length the request's own layout belies.
    bool CutMbapFrames(Peer* peer);
    void Accept(int which);
    void HandleFrame(const Bytes& bytes, double now, const LineSettings& line, const Output& out);
    // Waits up to seconds; false when Stop asked to end.
    bool Pause(double seconds);
    // False when Stop asked to end or the line stayed blocked.
    bool WriteAll(const Output& out, const uint8_t* data, size_t size);
    bool WritePaced(const Output& out, const uint8_t* data, size_t size, double byte_s);
    void Send(const ReplyPlan& plan, uint32_t baud, const Output& out);
    // What a master connected over TCP finds as line settings: a gateway
    // whose serial side runs at 9600 bit/s, even parity.
    LineSettings NetworkLine(bool mbap) const;
};

bool Simulator::State::Pause(double seconds)
{
    double until = Now() + seconds;
    for (;;) {
        double left = until - Now();
        if (left <= 0)
            return true;
        if (WaitForWake(wake, left))
            return false;
    }
}

bool Simulator::State::WriteAll(const Output& out, const uint8_t* data, size_t size)
{
    size_t done = 0;
    double give_up = Now() + 2.0;
    while (done < size) {
        long n = out.socket ? SendSocket(out.fd, data + done, size - done)
                            : WriteDevice(out.fd, data + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            give_up = Now() + 2.0;
            continue;
        }
        if (n < 0 && !WriteRetryLater())
            return false;
        // Nobody reads the line and its buffer is full: wait for room, and
        // give the reply up if none comes.
        if (Now() > give_up)
            return false;
        if (WaitWritable(out.fd, wake, 20))
            return false;
    }
    return true;
}

bool Simulator::State::WritePaced(const Output& out, const uint8_t* data, size_t size,
                                  double byte_s)
{
    double start = Now();
    size_t sent = 0;
    while (sent < size) {
        // A byte is on the wire once its whole character time has passed.
        size_t due = static_cast<size_t>((Now() - start) / byte_s);
        if (due > size)
            due = size;
        if (due > sent) {
            if (!WriteAll(out, data + sent, due - sent))
                return false;
            sent = due;
            continue;
        }
        if (!Pause(start + (sent + 1) * byte_s - Now()))
            return false;
    }
    return true;
}

void Simulator::State::Send(const ReplyPlan& rtu_plan, uint32_t baud, const Output& out)
{
    if (!rtu_plan.send)
        return;
    ReplyPlan plan = rtu_plan;
    if (out.mbap)
        plan.bytes = MbapFromRtu(out.transaction, rtu_plan.bytes);
    // A network line has no byte time of its own: the gateway paces its
    // serial side, and the master sees the reply when it is whole.
    const bool paced = pacing && !out.socket;
    if (plan.delay_s > 0 && !Pause(plan.delay_s))
        return;
    double byte_s = 11.0 / (baud == 0 ? 9600 : baud);
    size_t piece = plan.piece_bytes == 0 ? plan.bytes.size() : plan.piece_bytes;
    for (size_t at = 0; at < plan.bytes.size(); at += piece) {
        if (at > 0 && !Pause(plan.piece_delay_s))
            return;
        size_t n = std::min(piece, plan.bytes.size() - at);
        bool ok =
            paced ? WritePaced(out, &plan.bytes[at], n, byte_s) : WriteAll(out, &plan.bytes[at], n);
        if (!ok)
            return;
    }
    if (plan.repeat_s >= 0 && Pause(plan.repeat_s))
        WriteAll(out, plan.bytes.data(), plan.bytes.size());
    std::lock_guard<std::mutex> lock(mutex);
    ++replies;
}

void Simulator::State::HandleFrame(const Bytes& bytes, double now, const LineSettings& line,
                                   const Output& out)
{
    Frame frame;
    frame.bytes = bytes;
    frame.time_s = now - start_s;
    frame.line = line;
    frame.crc_ok = bytes.size() >= 4 && modbus::CrcMatches(bytes.data(), bytes.size());
    {
        std::lock_guard<std::mutex> lock(mutex);
        frames.push_back(frame);
    }
    frames_changed.notify_all();
    if (!frame.crc_ok)
        return;

    Request r;
    r.address = bytes[0];
    r.function = bytes[1];
    r.data.assign(bytes.begin() + 2, bytes.end() - 2);
    r.line = frame.line;
    r.time_s = frame.time_s;

    if (r.address == 0) {
        // Broadcast: every slave acts on it, none answers. The configuration
        // module is not on the bus proper and ignores it.
        std::vector<SlaveHandler> all;
        {
            std::lock_guard<std::mutex> lock(mutex);
            for (auto& [address, handler] : slaves)
                all.push_back(handler);
        }
        for (auto& handler : all)
            handler(r);
        return;
    }

    Reply reply;
    bool garble = false;
    {
        std::unique_lock<std::mutex> lock(mutex);
        auto own = slave_lines.find(r.address);
        if (own != slave_lines.end() && !SameLineSettings(own->second.line, r.line)) {
            if (own->second.out_of_step == OutOfStep::Silent)
                return;
            garble = true;
        }
        if (r.address == kConfigAddress && config_enabled) {
            reply = ServeConfigModule(config, r);
        } else {
            auto it = slaves.find(r.address);
            if (it == slaves.end())
                return;
            SlaveHandler handler = it->second;
            // The handler locks its own tables; tests may hold those while
            // they call into the simulator.
            lock.unlock();
            reply = handler(r);
        }
    }
    if (!reply || reply->empty())
        return;

    ReplyPlan plan;
    plan.bytes =
        modbus::BuildFrame(r.address, (*reply)[0], Bytes(reply->begin() + 1, reply->end()));
    if (garble)
        Garble(&plan.bytes);
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto it = faults.begin(); it != faults.end();) {
            if (!FaultMatches(*it, r)) {
                ++it;
                continue;
            }
            ApplyFault(*it, r, &plan);
            if (it->times > 0 && --it->times == 0)
                it = faults.erase(it);
            else
                ++it;
        }
    }
    Send(plan, r.line.baud, out);
}

LineSettings Simulator::State::NetworkLine(bool mbap) const
{
    LineSettings line{0, 9600, serial::Parity::Even};
    line.SetNet((mbap ? "tcp://127.0.0.1:" : "rtu-tcp://127.0.0.1:") +
                std::to_string(bound[mbap ? 0 : 1]));
    return line;
}

void Simulator::State::CutRtuFrames(Bytes* pending, double last_byte_s, bool silent,
                                    const LineSettings& line, const Output& out)
{
    while (!pending->empty()) {
        size_t length = RequestLength(pending->data(), pending->size());
        size_t take = 0;
        if (length != 0 && length != kUnknownLength && length <= pending->size())
            take = length;
        else if (silent || pending->size() > kMaxRequest)
            take = pending->size();
        if (take == 0)
            break;
        Bytes frame(pending->begin(), pending->begin() + static_cast<long>(take));
        pending->erase(pending->begin(), pending->begin() + static_cast<long>(take));
        if (frame.size() >= 4 && !modbus::CrcMatches(frame.data(), frame.size())) {
            // Out of step with the master: what follows in the same burst
            // cannot be trusted to start a frame either.
            frame.insert(frame.end(), pending->begin(), pending->end());
            pending->clear();
        }
        HandleFrame(frame, last_byte_s, line, out);
    }
}

// Nothing after a header that cannot be trusted can be trusted to start a
// request either: a gateway closes the connection, and so does this one,
// rather than answer whatever the next request's bytes make of it.
bool Simulator::State::CutMbapFrames(Peer* peer)
{
    for (;;) {
        size_t length = MbapRequestLength(peer->pending.data(), peer->pending.size());
        if (length == kBadStream)
            return false;
        if (length == 0 || length > peer->pending.size())
            return true;
        Output out{peer->fd, true, true,
                   static_cast<uint16_t>(peer->pending[0] << 8 | peer->pending[1])};
        Bytes rtu = RtuFromMbap(peer->pending.data(), length);
        size_t own = RequestLength(rtu.data(), rtu.size());
        if (own != kUnknownLength && own != rtu.size())
            return false;
        peer->pending.erase(peer->pending.begin(),
                            peer->pending.begin() + static_cast<long>(length));
        HandleFrame(rtu, peer->last_byte_s, NetworkLine(true), out);
    }
}

void Simulator::State::Accept(int which)
{
    for (;;) {
        int fd = AcceptNonBlocking(listeners[which]);
        if (fd < 0)
            return;
        Peer peer;
        peer.fd = fd;
        peer.mbap = which == 0;
        peers.push_back(std::move(peer));
    }
}

void Simulator::State::Run()
{
    Bytes pending;
    double last_byte_s = 0;
    for (;;) {
        uint32_t baud = 0;
        int timeout_ms = -1;
        auto await_silence = [&](double last_s, uint32_t b) {
            double left = last_s + SilenceSeconds(b) - Now();
            int ms = left > 0 ? static_cast<int>(std::ceil(left * 1000)) : 0;
            timeout_ms = timeout_ms < 0 ? ms : std::min(timeout_ms, ms);
        };
        if (!pending.empty()) {
            baud = ReadLineSettings(master).baud;
            await_silence(last_byte_s, baud);
        }
        for (const Peer& peer : peers)
            if (!peer.mbap && !peer.pending.empty())
                await_silence(peer.last_byte_s, 9600);

        // wake, the pty, the two listeners, then the peers, each in its slot
        // (an fd of -1 is left out by poll).
        std::vector<pollfd> p = {PollEntry(wake, POLLIN), PollEntry(master, POLLIN),
                                 PollEntry(listeners[0], POLLIN), PollEntry(listeners[1], POLLIN)};
        for (const Peer& peer : peers)
            p.push_back(PollEntry(peer.fd, POLLIN));
        int ready = PollAll(&p, timeout_ms);
        if (ready < 0)
            break;
        if (p[0].revents & POLLIN)
            break;
        if (p[1].revents & POLLIN) {
            uint8_t buf[4096];
            for (;;) {
                long n = ReadDevice(master, buf, sizeof buf);
                if (n <= 0)
                    break;
                pending.insert(pending.end(), buf, buf + n);
                last_byte_s = Now();
                std::lock_guard<std::mutex> lock(mutex);
                pty_bytes += static_cast<size_t>(n);
            }
            frames_changed.notify_all();
        } else if (p[1].revents & (POLLHUP | POLLERR)) {
            // Only while no slave side is open, which our own fd prevents;
            // should it happen all the same, wait instead of spinning.
            if (!Pause(0.02))
                break;
        }
        const size_t known_peers = peers.size();
        for (int which = 0; which < 2; ++which)
            if (p[2 + which].revents & POLLIN)
                Accept(which);

        if (master >= 0) {
            bool silent = Now() - last_byte_s >= SilenceSeconds(baud);
            Output out{master, false, false, 0};
            CutRtuFrames(&pending, last_byte_s, silent, ReadLineSettings(master), out);
        }
        for (size_t i = 0; i < known_peers; ++i) {
            Peer& peer = peers[i];
            if (p[4 + i].revents & (POLLIN | POLLHUP | POLLERR)) {
                uint8_t buf[4096];
                long n = ReceiveSocket(peer.fd, buf, sizeof buf);
                if (n > 0) {
                    peer.pending.insert(peer.pending.end(), buf, buf + n);
                    peer.last_byte_s = Now();
                } else if (n == 0 || !ReadRetryLater()) {
                    CloseDescriptor(peer.fd);
                    peer.fd = -1;
                    continue;
                }
            }
            if (peer.mbap) {
                if (!CutMbapFrames(&peer)) {
                    CloseDescriptor(peer.fd);
                    peer.fd = -1;
                }
            } else {
                bool silent = Now() - peer.last_byte_s >= SilenceSeconds(9600);
                Output out{peer.fd, true, false, 0};
                CutRtuFrames(&peer.pending, peer.last_byte_s, silent, NetworkLine(false), out);
            }
        }
        std::erase_if(peers, [](const Peer& peer) { return peer.fd < 0; });
    }
    for (Peer& peer : peers)
        CloseDescriptor(peer.fd);
    peers.clear();
}

Simulator::Simulator() : state_(std::make_unique<State>()) {}

Simulator::~Simulator() { Stop(); }

bool Simulator::Start(const Options& options, std::string* error)
{
    State& s = *state_;
    if (s.running) {
        *error = "already running";
        return false;
    }
    if (options.port < 1 || options.port > 99) {
        *error = "port number out of range";
        return false;
    }
    auto undo = [&s] {
        for (int* fd : {&s.master, &s.slave, &s.wake, &s.listeners[0], &s.listeners[1]})
            if (*fd >= 0) {
                CloseDescriptor(*fd);
                *fd = -1;
            }
        s.device.clear();
        s.link.clear();
    };
    const int ports[2] = {options.tcp_port, options.rtu_tcp_port};
    for (int which = 0; which < 2; ++which) {
        s.bound[which] = 0;
        if (ports[which] < 0)
            continue;
        s.listeners[which] = ListenLoopback(ports[which], &s.bound[which], error);
        if (s.listeners[which] < 0) {
            undo();
            return false;
        }
    }
    if (options.pty) {
        if (!OpenPty(&s.master, &s.slave, &s.device, error)) {
            undo();
            return false;
        }
        s.link = (options.folder.empty() ? std::string(".") : options.folder) + "/COM" +
                 std::to_string(options.port);
    }
    s.wake = MakeWake();
    if (s.wake < 0 || (options.pty && !MakeLink(s.device, s.link, error))) {
        if (s.wake < 0)
            *error = "cannot create an eventfd";
        s.link.clear();
        undo();
        return false;
    }
    s.options = options;
    s.pacing = options.pacing;
    s.start_s = Now();
    s.running = true;
    s.thread = std::thread([&s] { s.Run(); });
    return true;
}

void Simulator::Stop()
{
    State& s = *state_;
    if (!s.running)
        return;
    Wake(s.wake);
    s.thread.join();
    if (!s.link.empty())
        RemoveLink(s.device, s.link);
    for (int* fd : {&s.master, &s.slave, &s.wake, &s.listeners[0], &s.listeners[1]})
        if (*fd >= 0) {
            CloseDescriptor(*fd);
            *fd = -1;
        }
    s.running = false;
}

std::string Simulator::LinkPath() const { return state_->link; }
int Simulator::TcpPort() const { return state_->bound[0]; }
int Simulator::RtuTcpPort() const { return state_->bound[1]; }
std::string Simulator::DevicePath() const { return state_->device; }

void Simulator::AddSlave(uint8_t address, SlaveHandler handler)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->slaves[address] = std::move(handler);
}

void Simulator::RemoveSlave(uint8_t address)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->slaves.erase(address);
}

std::shared_ptr<RegisterBank> Simulator::AddGenericSlave(uint8_t address, bool demo)
{
    auto bank = std::make_shared<RegisterBank>();
    if (demo)
        FillDemoValues(*bank);
    AddSlave(address, GenericSlave(bank, demo));
    return bank;
}

void Simulator::EnableConfigModule(bool on)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->config_enabled = on;
}

void Simulator::SetModuleConfig(const ModuleConfig& config)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->config = config;
}

ModuleConfig Simulator::GetModuleConfig() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->config;
}

void Simulator::SetPacing(bool on) { state_->pacing = on; }

void Simulator::SetSlaveLine(uint8_t address, const LineSettings& line, bool garbage)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->slave_lines[address] = {line, garbage ? OutOfStep::Garbage : OutOfStep::Silent};
}

void Simulator::InjectFault(const Fault& fault)
{
    if (fault.times == 0)
        return;
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->faults.push_back(fault);
}

void Simulator::ClearFaults()
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->faults.clear();
}

std::vector<Frame> Simulator::Frames() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->frames;
}

void Simulator::ClearFrames()
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->frames.clear();
}

std::vector<Frame> Simulator::TakeFrames()
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return std::exchange(state_->frames, {});
}

bool Simulator::WaitForFrames(size_t n, double timeout_s) const
{
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->frames_changed.wait_for(lock, std::chrono::duration<double>(timeout_s),
                                           [&] { return state_->frames.size() >= n; });
}

bool Simulator::WaitForBytes(size_t n, double timeout_s) const
{
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->frames_changed.wait_for(lock, std::chrono::duration<double>(timeout_s),
                                           [&] { return state_->pty_bytes >= n; });
}

size_t Simulator::RepliesSent() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->replies;
}

LineSettings Simulator::Line() const
{
    if (state_->master < 0)
        return {};
    return ReadLineSettings(state_->master);
}

} // namespace sim
