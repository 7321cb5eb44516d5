// The simulator's thread: collects request frames from the pty, hands them to
// the slave at their address and writes the replies back, through the
// injected faults and at the line's byte time when pacing is on.
#include "sim/sim.h"

#include "sim/config_module.h"
#include "sim/faults.h"
#include "sim/framing.h"
#include "sim/pty.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <map>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
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

} // namespace

struct Simulator::State {
    mutable std::mutex mutex;
    mutable std::condition_variable frames_changed;
    std::map<uint8_t, SlaveHandler> slaves;
    bool config_enabled = false;
    ModuleConfig config;
    std::vector<Fault> faults;
    std::vector<Frame> frames;
    size_t replies = 0;
    std::atomic<bool> pacing{false};

    Options options;
    std::string device, link;
    int master = -1, slave = -1, wake = -1;
    double start_s = 0;
    std::thread thread;
    bool running = false;

    void Run();
    void HandleFrame(const Bytes& bytes, double now);
    // Waits up to seconds; false when Stop asked to end.
    bool Pause(double seconds);
    // False when Stop asked to end or the line stayed blocked.
    bool WriteAll(const uint8_t* data, size_t size);
    bool WritePaced(const uint8_t* data, size_t size, double byte_s);
    void Send(const ReplyPlan& plan, uint32_t baud);
};

bool Simulator::State::Pause(double seconds)
{
    double until = Now() + seconds;
    for (;;) {
        double left = until - Now();
        if (left <= 0)
            return true;
        // ppoll for its sub-millisecond resolution: a character at 115200
        // bit/s lasts less than 0.1 ms.
        pollfd p{wake, POLLIN, 0};
        timespec ts{static_cast<time_t>(left), static_cast<long>((left - std::floor(left)) * 1e9)};
        if (ppoll(&p, 1, &ts, nullptr) > 0 && (p.revents & POLLIN))
            return false;
    }
}

bool Simulator::State::WriteAll(const uint8_t* data, size_t size)
{
    size_t done = 0;
    double give_up = Now() + 2.0;
    while (done < size) {
        ssize_t n = write(master, data + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            give_up = Now() + 2.0;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO)
            return false;
        // Nobody reads the line and its buffer is full: wait for room, and
        // give the reply up if none comes.
        if (Now() > give_up)
            return false;
        pollfd p[2] = {{master, POLLOUT, 0}, {wake, POLLIN, 0}};
        poll(p, 2, 20);
        if (p[1].revents & POLLIN)
            return false;
    }
    return true;
}

bool Simulator::State::WritePaced(const uint8_t* data, size_t size, double byte_s)
{
    double start = Now();
    size_t sent = 0;
    while (sent < size) {
        // A byte is on the wire once its whole character time has passed.
        size_t due = static_cast<size_t>((Now() - start) / byte_s);
        if (due > size)
            due = size;
        if (due > sent) {
            if (!WriteAll(data + sent, due - sent))
                return false;
            sent = due;
            continue;
        }
        if (!Pause(start + (sent + 1) * byte_s - Now()))
            return false;
    }
    return true;
}

void Simulator::State::Send(const ReplyPlan& plan, uint32_t baud)
{
    if (!plan.send)
        return;
    if (plan.delay_s > 0 && !Pause(plan.delay_s))
        return;
    double byte_s = 11.0 / (baud == 0 ? 9600 : baud);
    size_t piece = plan.piece_bytes == 0 ? plan.bytes.size() : plan.piece_bytes;
    for (size_t at = 0; at < plan.bytes.size(); at += piece) {
        if (at > 0 && !Pause(plan.piece_delay_s))
            return;
        size_t n = std::min(piece, plan.bytes.size() - at);
        bool ok = pacing ? WritePaced(&plan.bytes[at], n, byte_s) : WriteAll(&plan.bytes[at], n);
        if (!ok)
            return;
    }
    std::lock_guard<std::mutex> lock(mutex);
    ++replies;
}

void Simulator::State::HandleFrame(const Bytes& bytes, double now)
{
    Frame frame;
    frame.bytes = bytes;
    frame.time_s = now - start_s;
    frame.line = ReadLineSettings(master);
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
    {
        std::unique_lock<std::mutex> lock(mutex);
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
    Send(plan, r.line.baud);
}

void Simulator::State::Run()
{
    Bytes pending;
    double last_byte_s = 0;
    for (;;) {
        uint32_t baud = 0;
        int timeout_ms = -1;
        if (!pending.empty()) {
            baud = ReadLineSettings(master).baud;
            double left = last_byte_s + SilenceSeconds(baud) - Now();
            timeout_ms = left > 0 ? static_cast<int>(std::ceil(left * 1000)) : 0;
        }
        pollfd p[2] = {{master, POLLIN, 0}, {wake, POLLIN, 0}};
        int ready = poll(p, 2, timeout_ms);
        if (ready < 0 && errno != EINTR)
            break;
        if (p[1].revents & POLLIN)
            break;
        if (p[0].revents & POLLIN) {
            uint8_t buf[4096];
            for (;;) {
                ssize_t n = read(master, buf, sizeof buf);
                if (n <= 0)
                    break;
                pending.insert(pending.end(), buf, buf + n);
                last_byte_s = Now();
            }
        } else if (p[0].revents & (POLLHUP | POLLERR)) {
            // Only while no slave side is open, which our own fd prevents;
            // should it happen all the same, wait instead of spinning.
            if (!Pause(0.02))
                break;
        }

        bool silent = Now() - last_byte_s >= SilenceSeconds(baud);
        while (!pending.empty()) {
            size_t length = RequestLength(pending.data(), pending.size());
            size_t take = 0;
            if (length != 0 && length != kUnknownLength && length <= pending.size())
                take = length;
            else if (silent || pending.size() > kMaxRequest)
                take = pending.size();
            if (take == 0)
                break;
            Bytes frame(pending.begin(), pending.begin() + static_cast<long>(take));
            pending.erase(pending.begin(), pending.begin() + static_cast<long>(take));
            if (frame.size() >= 4 && !modbus::CrcMatches(frame.data(), frame.size())) {
                // Out of step with the master: what follows in the same burst
                // cannot be trusted to start a frame either.
                frame.insert(frame.end(), pending.begin(), pending.end());
                pending.clear();
            }
            HandleFrame(frame, last_byte_s);
        }
    }
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
    if (!OpenPty(&s.master, &s.slave, &s.device, error))
        return false;
    s.link = (options.folder.empty() ? std::string(".") : options.folder) + "/COM" +
             std::to_string(options.port);
    s.wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (s.wake < 0 || !MakeLink(s.device, s.link, error)) {
        if (s.wake < 0)
            *error = "cannot create an eventfd";
        close(s.master);
        close(s.slave);
        if (s.wake >= 0)
            close(s.wake);
        s.master = s.slave = s.wake = -1;
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
    uint64_t one = 1;
    ssize_t ignored = write(s.wake, &one, sizeof one);
    (void)ignored;
    s.thread.join();
    RemoveLink(s.device, s.link);
    close(s.master);
    close(s.slave);
    close(s.wake);
    s.master = s.slave = s.wake = -1;
    s.running = false;
}

std::string Simulator::LinkPath() const { return state_->link; }
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
