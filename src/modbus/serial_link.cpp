// The link and its transaction engine. A transaction is four steps, each
// its own function: sending the request, collecting the reply, checking it
// (modbus/reply.h) and recording it in the capture. What carries the bytes
// (the transport) and how a frame is cut (the framing) are tables of plain
// functions, so that another of either joins without the requests knowing.
#include "modbus/serial_link.h"

#include <algorithm>

#include "modbus/capture.h"
#include "modbus/mbap.h"
#include "platform/serial_port.h"
#include "platform/system.h"
#include "platform/tcp_socket.h"

namespace modbus {

namespace {

// What carries the bytes: the serial port's operations.
struct Transport {
    serial::Io (*discard_input)(serial::Handle);
    serial::Io (*write_all)(serial::Handle, const uint8_t*, size_t, double timeout_s);
    serial::Io (*read_some)(serial::Handle, uint8_t*, size_t max, size_t* got);
    serial::Io (*wait_readable)(serial::Handle, double timeout_s);
    size_t (*output_queued)(serial::Handle);
    void (*close)(serial::Handle);
};

// A socket's queue says nothing of the line behind the gateway, whose
// replies come when the gateway has them: the time-out runs from the write.
size_t NothingQueued(serial::Handle) { return 0; }

constexpr Transport kSerialPort{serial::DiscardInput, serial::WriteAll,     serial::ReadSome,
                                serial::WaitReadable, serial::OutputQueued, serial::Close};
constexpr Transport kTcpSocket{net::DiscardInput, net::WriteAll, net::ReadSome,
                               net::WaitReadable, NothingQueued, net::Close};

// How a frame is cut: built around the request data, collected and judged.
struct Framing {
    Bytes (*build)(uint16_t transaction, uint8_t address, uint8_t function, const Bytes& data);
    void (*append)(ReplyCollector*, const uint8_t*, size_t);
    bool (*complete)(const ReplyCollector&);
    size_t (*still_awaited)(const ReplyCollector&);
    ResultCode (*check)(const ReplyCollector&, uint8_t address, uint8_t function,
                        const Bytes& request, const ReplyShape&, std::string* message);
    size_t data_at; // where the reply data start in a good frame
    // Frames that count their own length: the stream can be kept in step,
    // so what comes behind a reply is dropped whole frames at a time.
    bool counted;
};

Bytes BuildRtuFrame(uint16_t, uint8_t address, uint8_t function, const Bytes& data)
{
    return BuildFrame(address, function, data);
}

// A TCP stream gives no byte times to sleep through: every wait is a poll.
size_t NothingKnownAwaited(const ReplyCollector&) { return 0; }

constexpr Framing kRtu{BuildRtuFrame, AppendReply, ReplyComplete, BytesStillAwaited,
                       CheckReply,    2,           false};
constexpr Framing kRtuOverTcp{
    BuildRtuFrame, AppendStreamReply, ReplyComplete, BytesStillAwaited, CheckReply, 2, false};
constexpr Framing kMbap{BuildMbapFrame,
                        AppendMbapReply,
                        MbapReplyComplete,
                        NothingKnownAwaited,
                        CheckMbapReply,
                        kMbapHeader + 1,
                        true};

// One read takes at most what a driver's receive queue holds; whatever a
// babbling slave sends beyond that stays in the driver and is discarded
// before the next request, so the reply buffer stays bounded.
constexpr size_t kReadChunk = 8192;

// A drain reads at most this much, so that a peer that never stops sending
// cannot hold the program in it; what it sends later meets the next
// reply's checks.
constexpr int kDrainReads = 256;

// The bus stays quiet for 40 bit times after a good reply (3.6 characters,
// a little over the 3.5 that end an RTU frame) so that the next request is
// never taken for the tail of the last one. A pause of 40000 bit times would
// freeze the window for over 4 s per request at 9600 bit/s.
constexpr double kPauseBits = 40.0;

std::string DeviceName(int16_t port) { return "COM" + std::to_string(port); }

constexpr char kCR = '\r';

int64_t Microseconds(double seconds) { return int64_t(seconds * 1e6); }

// One transaction under way.
struct Exchange {
    Bytes frame;                     // the request as sent
    ReplyCollector collected;        // the reply as received
    double sent_s = 0;               // monotonic clock, when the request had left
    double send_limit_s = 0;         // a driver still sending after this is taken as done
    double ended_s = 0;              // when the reply was complete or the wait gave up
    double last_read_s = 0;          // when the bytes read last were found waiting
    bool closed_before_send = false; // the line was found gone before the request left
};

} // namespace

struct Link::State {
    const Transport* transport = &kSerialPort;
    const Framing* framing = &kRtu;
    bool open = false;
    serial::Handle handle = serial::kNoPort;
    serial::LineSettings line{0, 0}; // as opened (or last opened)
    std::string where;               // "COMn" or "HOST:PORT", for messages
    uint16_t transaction = 0;        // Modbus TCP: identifier of the last request
    double pause_s = 0;              // quiet time after a good transaction
    double byte_s = 0;               // time of one character on the wire (11 bits)
    FailureReporter reporter = nullptr;
    // Modbus TCP: bytes read behind the last reply that are not yet a whole
    // frame; the rest of that frame is still on its way.
    Bytes stale;
    Bytes last_reply; // as received for the last transaction

    // The device failed under an open line (adapter removed, simulator
    // gone): the same words as a device that cannot be opened, since it no
    // longer can.
    std::string LostMessage() const
    {
        if (line.IsNetwork())
            return where + " port not available" + kCR + "The connection was lost.";
        return where + " port not available";
    }

    serial::Io DrainFrames();
    ResultCode Send(Exchange* x);
    serial::Io AwaitBytes(Exchange* x, float timeout_s);
    ResultCode Collect(Exchange* x, float timeout_s);
    void Record(const Exchange& x, float timeout_s, ResultCode result) const;
};

// Stopping in the middle of a frame would leave its tail to be read as the
// next reply's header: a frame not yet whole is kept until it is.
serial::Io Link::State::DrainFrames()
{
    uint8_t scrap[512];
    for (int i = 0; i < kDrainReads; ++i) {
        size_t got = 0;
        serial::Io r = transport->read_some(handle, scrap, sizeof scrap, &got);
        if (r != serial::Io::Ok)
            return r == serial::Io::WouldBlock ? serial::Io::Ok : r;
        stale.insert(stale.end(), scrap, scrap + got);
        DropWholeMbapFrames(&stale);
    }
    return serial::Io::Ok;
}

// Drains what an earlier reply left, then writes the whole request.
ResultCode Link::State::Send(Exchange* x)
{
    // Bytes left over from an earlier reply would be taken for this one.
    serial::Io drained = framing->counted ? DrainFrames() : transport->discard_input(handle);
    if (drained != serial::Io::Ok) {
        x->closed_before_send = true;
        return kPortNotAvailable;
    }
    // A frame fits the driver's queue at once; the allowance only matters
    // when the line is held up (flow control that never clears).
    const double send_allowance_s = 1.0 + 2 * byte_s * double(x->frame.size());
    x->send_limit_s = sys::MonotonicSeconds() + send_allowance_s;
    if (transport->write_all(handle, x->frame.data(), x->frame.size(), send_allowance_s) !=
        serial::Io::Ok)
        return kPortNotAvailable;
    // The reply time-out runs from the end of sending, and a long frame at
    // a low rate is still leaving when the write returns: what the driver
    // holds then goes out at the line's pace. One question, not a watch on
    // the queue; AwaitBytes asks again should the line be held up.
    const double written_s = sys::MonotonicSeconds();
    const size_t queued = transport->output_queued(handle);
    x->sent_s =
        queued == 0 ? written_s : std::min(written_s + double(queued) * byte_s, x->send_limit_s);
    x->ended_s = x->last_read_s = x->sent_s;
    return kOk;
}

// Blocks until bytes come or the time-out runs out. Should it run out
// while the driver still holds part of the request (a line held up), the
// request has not left yet: the time-out runs again from when that part
// will have gone at the line's pace, and not beyond the send allowance.
serial::Io Link::State::AwaitBytes(Exchange* x, float timeout_s)
{
    for (;;) {
        const double left = x->sent_s + double(timeout_s) - sys::MonotonicSeconds();
        const serial::Io w = transport->wait_readable(handle, std::max(left, 0.0));
        if (w != serial::Io::TimedOut)
            return w;
        const size_t queued = transport->output_queued(handle);
        if (queued == 0)
            return w;
        const double now = sys::MonotonicSeconds();
        const double sent_s =
            std::max(x->sent_s, std::min(now + double(queued) * byte_s, x->send_limit_s));
        if (sent_s + double(timeout_s) <= now)
            return w;
        x->sent_s = sent_s;
    }
}

// Waits for the first byte up to the time-out, reads what has come, and
// sleeps until the rest is due at the line's pace: a reply costs a few
// wake-ups whatever its length, not one per byte.
ResultCode Link::State::Collect(Exchange* x, float timeout_s)
{
    uint8_t chunk[kReadChunk];
    // The start of a stale frame: the collector drops it once it is whole.
    framing->append(&x->collected, stale.data(), stale.size());
    stale.clear();
    bool await = true; // nothing is known to be on its way: block until it comes
    // The pace of the reply: a read, the bytes it had found, and how many
    // the sleep before the last read waited for.
    double paced_from_s = 0;
    size_t paced_bytes = 0, due_bytes = 0;
    for (;;) {
        serial::Io w = serial::Io::Ok;
        if (await) {
            w = AwaitBytes(x, timeout_s);
            if (w == serial::Io::Lost) {
                x->ended_s = sys::MonotonicSeconds();
                return kPortNotAvailable;
            }
        }
        size_t got = 0;
        const double read_at = sys::MonotonicSeconds();
        const serial::Io r = w == serial::Io::TimedOut
                                 ? serial::Io::WouldBlock
                                 : transport->read_some(handle, chunk, sizeof chunk, &got);
        if (r == serial::Io::Lost) {
            x->ended_s = sys::MonotonicSeconds();
            return kPortNotAvailable;
        }
        if (r == serial::Io::Ok) {
            framing->append(&x->collected, chunk, got);
            x->last_read_s = read_at;
            // Counted from one read, so that the lateness of each wake-up
            // does not add up; a slave slower than its line, found short of
            // what was due, sets the pace anew.
            if (await || x->collected.frame.size() < due_bytes) {
                paced_from_s = read_at;
                paced_bytes = x->collected.frame.size();
            }
        }
        const bool woken_for_nothing = await && w == serial::Io::Ok && r != serial::Io::Ok;

        // The time-out is tested before completeness: a reply that completes
        // in the pass where the time runs out is still a time-out.
        const double now = sys::MonotonicSeconds(), deadline = x->sent_s + double(timeout_s);
        x->ended_s = now;
        if (now >= deadline)
            return kTimeout;
        if (framing->complete(x->collected))
            return kOk;

        // The rest cannot come faster than the line carries it: sleep until
        // it is due, so that waking finds it all (bytes found at a read had
        // come by then, and those behind them come at most one a character).
        const size_t awaited = framing->still_awaited(x->collected);
        await = r != serial::Io::Ok || awaited == 0 || byte_s <= 0;
        if (!await) {
            due_bytes = x->collected.frame.size() + awaited;
            const double due =
                std::min(paced_from_s + double(due_bytes - paced_bytes) * byte_s, deadline);
            if (due > now)
                sys::SleepUntil(due);
        } else if (woken_for_nothing) {
            sys::SleepSeconds(0.001); // never spin on a line that wakes for nothing
        }
    }
}

void Link::State::Record(const Exchange& x, float timeout_s, ResultCode result) const
{
    CaptureTransaction(x.frame, x.collected.frame, line, timeout_s, Microseconds(x.sent_s),
                       Microseconds(x.ended_s), result);
}

Link::Link() : state_(std::make_unique<State>()) {}

Link::~Link() { Close(); }

void Link::SetFailureReporter(FailureReporter reporter) { state_->reporter = reporter; }

ResultCode Link::Open(const serial::LineSettings& line, float timeout_s)
{
    State& s = *state_;
    if (s.open)
        return kOk;
    if (line.IsNetwork())
        return OpenNetwork(line, timeout_s);
    if (line.port < 1 || line.port > 8)
        return Fail(kSettingsNotValid, "Serial port not valid");
    if (line.baud < 300 || line.baud > 1000000)
        return Fail(kSettingsNotValid, "Baudrate not valid");
    if (!serial::ParityValid(line.parity))
        return Fail(kSettingsNotValid, "Parity not valid");
    int err = 0;
    serial::Handle h =
        serial::Open(serial::DevicePath(line.port), uint32_t(line.baud), line.parity, &err);
    if (h == serial::kNoPort)
        return Fail(kPortNotAvailable, DeviceName(line.port) + " port not available", err);
    s.transport = &kSerialPort;
    s.framing = &kRtu;
    s.handle = h;
    s.line = line;
    s.where = DeviceName(line.port);
    s.pause_s = kPauseBits / line.baud;
    s.byte_s = 11.0 / line.baud;
    s.open = true;
    return kOk;
}

// A network line: the gateway behind it paces its serial side, so there is
// no byte time to sleep through. RTU over TCP keeps the pause after a reply
// all the same: RTU frames carry no transaction number, so a duplicate the
// gateway sends within it can only be told by its time, and is drained
// before the next request.
ResultCode Link::OpenNetwork(const serial::LineSettings& line, float timeout_s)
{
    State& s = *state_;
    net::Address address;
    std::string reason;
    if (!net::ParseAddress(line.Net(), &address, &reason))
        return Fail(kSettingsNotValid,
                    "Network address not valid: \"" + line.Net() + "\"" + kCR + reason);
    const std::string where = net::HostPort(address);
    serial::Handle h = net::Connect(address, double(timeout_s), &reason);
    if (h == serial::kNoPort)
        return Fail(kPortNotAvailable, where + " port not available" + kCR + reason);
    s.transport = &kTcpSocket;
    s.framing = address.framing == net::Framing::ModbusTcp ? &kMbap : &kRtuOverTcp;
    s.handle = h;
    s.line = line;
    s.where = where;
    // The rate is only stored for the serial port; one it would refuse
    // gives no pause rather than one of minutes.
    const bool rate_valid = line.baud >= 300 && line.baud <= 1000000;
    s.pause_s = s.framing->counted || !rate_valid ? 0 : kPauseBits / line.baud;
    s.byte_s = 0;
    s.open = true;
    return kOk;
}

void Link::Close()
{
    State& s = *state_;
    if (!s.open)
        return;
    s.transport->close(s.handle);
    s.handle = serial::kNoPort;
    s.open = false;
    s.stale.clear();
}

bool Link::IsOpen() const { return state_->open; }

const Bytes& Link::LastReply() const { return state_->last_reply; }

ResultCode Link::Transact(uint8_t address, uint8_t function, const Bytes& request, Bytes* reply,
                          const ReplyShape& shape, float timeout_s)
{
    State& s = *state_;
    s.last_reply.clear();
    if (!s.open)
        return Fail(kPortNotAvailable, s.LostMessage());
    Exchange x;
    // Modbus TCP numbers its requests, so that a late reply to an earlier
    // one is known for what it is.
    x.collected.transaction = ++s.transaction;
    x.frame = s.framing->build(x.collected.transaction, address, function, request);
    x.collected.expected = shape.data;
    ResultCode sent = s.Send(&x);
    // Gateways close connections that stay idle; one found closed before
    // anything was sent is connected again, as nothing was lost. A
    // connection that breaks under a request is the failure it is.
    if (sent != kOk && x.closed_before_send && s.line.IsNetwork()) {
        const serial::LineSettings line = s.line;
        Close();
        if (ResultCode rc = Open(line, timeout_s))
            return rc;
        x.closed_before_send = false;
        sent = s.Send(&x);
    }
    if (sent != kOk)
        return Fail(sent, s.LostMessage());
    if (address == kBroadcastAddress) {
        s.Record(x, timeout_s, kOk);
        // No slave answers, but the next request must not run into this
        // one on the wire: slaves tell frames apart only by the silence.
        if (s.pause_s > 0)
            sys::SleepUntil(x.sent_s + s.pause_s);
        return kOk;
    }

    std::string message;
    ResultCode rc = s.Collect(&x, timeout_s);
    s.stale = std::move(x.collected.following);
    s.last_reply = x.collected.frame;
    if (rc == kTimeout)
        message = "Timeout: replay not received";
    else if (rc == kPortNotAvailable)
        message = s.LostMessage();
    else
        rc = s.framing->check(x.collected, address, function, request, shape, &message);
    // Recorded before the report, whose message box runs the event loop.
    s.Record(x, timeout_s, rc);
    if (rc != kOk)
        return Fail(rc, message); // no pause after an exception or a bad reply

    const Bytes& f = x.collected.frame;
    if (reply)
        reply->assign(f.begin() + long(s.framing->data_at),
                      f.begin() + long(s.framing->data_at + x.collected.expected));
    // Counted from the last byte and ending at a fixed time, so that the
    // checks above and the sleep's own lateness do not add to it.
    if (s.pause_s > 0)
        sys::SleepUntil(x.last_read_s + s.pause_s);
    return kOk;
}

ResultCode Link::Fail(ResultCode code, const std::string& message, int os_error)
{
    Close();
    if (state_->reporter)
        state_->reporter(Failure{code, message, os_error});
    return code;
}

Link& ProgramLink()
{
    static Link link;
    return link;
}

void SetFailureReporter(FailureReporter reporter) { ProgramLink().SetFailureReporter(reporter); }

ResultCode OpenPort(const serial::LineSettings& line, float timeout_s)
{
    return ProgramLink().Open(line, timeout_s);
}

void ClosePort() { ProgramLink().Close(); }

bool PortIsOpen() { return ProgramLink().IsOpen(); }

ResultCode Transact(uint8_t address, uint8_t function, const Bytes& request, Bytes* reply,
                    const ReplyShape& shape, float timeout_s)
{
    return ProgramLink().Transact(address, function, request, reply, shape, timeout_s);
}

ResultCode ReportFailure(ResultCode code, const std::string& message, int os_error)
{
    return ProgramLink().Fail(code, message, os_error);
}

void SetPortFolder(const std::string& folder) { serial::SetDeviceFolder(folder); }

} // namespace modbus
