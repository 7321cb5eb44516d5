// The serial link and its transaction engine.
#include "modbus/serial_link.h"

#include <algorithm>

#include "modbus/capture.h"
#include "modbus/reply.h"
#include "modbus/result_codes.h"
#include "platform/serial_port.h"
#include "platform/system.h"

namespace modbus {

namespace {

struct SerialLink {
    bool open = false;
    serial::Handle handle = serial::kNoPort;
    int16_t port = 0;    // COMn of the open (or last opened) device
    double pause_s = 0;  // quiet time after a good transaction
    double byte_s = 0;   // time of one character on the wire (11 bits)
    PortSettings settings; // as opened, for the capture
};

SerialLink link;
FailureReporter reporter = nullptr;

// One read takes at most what a driver's receive queue holds; whatever a
// babbling slave sends beyond that stays in the driver and is discarded
// before the next request, so the reply buffer stays bounded.
constexpr size_t kReadChunk = 8192;

// The bus stays quiet for 40 bit times after a good reply (3.6 characters,
// a little over the 3.5 that end an RTU frame) so that the next request is
// never taken for the tail of the last one. A pause of 40000 bit times would
// freeze the window for over 4 s per request at 9600 bit/s.
constexpr double kPauseBits = 40.0;

std::string DeviceName(int16_t port) { return "COM" + std::to_string(port); }

int64_t Microseconds(double seconds) { return int64_t(seconds * 1e6); }

// The request has left, at sent_s on the monotonic clock.
void CaptureRequest(const Bytes& frame, double sent_s, float timeout_s)
{
    if (!CaptureEnabled())
        return;
    PortSettings settings = link.settings;
    settings.timeout_s = timeout_s;
    CaptureBegin(frame.data(), frame.size(), settings, Microseconds(sent_s));
}

// The device failed under an open port (adapter removed, simulator gone):
// the same words as a device that cannot be opened, since it no longer can.
int16_t LinkLost()
{
    return ReportFailure(kPortNotAvailable, DeviceName(link.port) + " port not available");
}

} // namespace

void SetPortFolder(const std::string& folder) { serial::SetDeviceFolder(folder); }

void SetFailureReporter(FailureReporter r) { reporter = r; }

int16_t OpenPort(const LineSettings& line)
{
    if (link.open)
        return 0;
    if (line.port < 1 || line.port > 8)
        return ReportFailure(kSettingsNotValid, "Serial port not valid");
    if (line.baud < 300 || line.baud > 1000000)
        return ReportFailure(kSettingsNotValid, "Baudrate not valid");
    if (line.parity < 0 || line.parity > 3)
        return ReportFailure(kSettingsNotValid, "Parity not valid");
    int err = 0;
    serial::Handle h =
        serial::Open(serial::DevicePath(line.port), uint32_t(line.baud), line.parity, &err);
    if (h == serial::kNoPort)
        return ReportFailure(kPortNotAvailable, DeviceName(line.port) + " port not available", err);
    link.handle = h;
    link.port = line.port;
    link.pause_s = kPauseBits / line.baud;
    link.byte_s = 11.0 / line.baud;
    link.settings = PortSettings{line.port, line.baud, line.parity, 0.0f};
    link.open = true;
    return 0;
}

void ClosePort()
{
    if (!link.open)
        return;
    serial::Close(link.handle);
    link.handle = serial::kNoPort;
    link.open = false;
}

bool PortIsOpen() { return link.open; }

int16_t Transact(uint8_t address, uint8_t function, const Bytes& request, Bytes* reply,
                 uint16_t expected_reply_data, float timeout_s)
{
    if (!link.open)
        return LinkLost();
    Bytes frame = BuildFrame(address, function, request);

    // Bytes left over from an earlier reply would be taken for this one.
    if (serial::DiscardInput(link.handle) != serial::Io::Ok)
        return LinkLost();
    // A frame fits the driver's queue at once; the allowance only matters
    // when the line is held up (flow control that never clears).
    double send_limit_s = 1.0 + 2 * link.byte_s * double(frame.size());
    if (serial::WriteAll(link.handle, frame.data(), frame.size(), send_limit_s) != serial::Io::Ok)
        return LinkLost();
    double start = sys::MonotonicSeconds();
    CaptureRequest(frame, start, timeout_s);
    if (address == 0) {
        CaptureEnd(kOk, Microseconds(start));
        return 0; // broadcast: no slave answers
    }

    double ended = start;
    ReplyCollector collected;
    collected.expected = expected_reply_data;
    uint8_t chunk[kReadChunk];
    bool woken = false;
    double last_read_at = start; // when the bytes read last were found waiting
    for (;;) {
        size_t got = 0;
        double read_at = sys::MonotonicSeconds();
        serial::Io r = serial::ReadSome(link.handle, chunk, sizeof chunk, &got);
        if (r == serial::Io::Lost) {
            CaptureEnd(kPortNotAvailable, Microseconds(sys::MonotonicSeconds()));
            return LinkLost();
        }
        if (r == serial::Io::Ok) {
            AppendReply(&collected, chunk, got);
            CaptureReply(chunk, got);
            last_read_at = read_at;
        } else if (woken) {
            sys::SleepSeconds(0.001); // woken for nothing: never spin on it
        }

        // The time-out is tested before completeness: a reply that completes
        // in the pass where the time runs out is still a time-out.
        double now = sys::MonotonicSeconds(), elapsed = now - start;
        ended = now;
        if (elapsed >= double(timeout_s)) {
            // Recorded before the report, whose message box runs the loop.
            CaptureEnd(kTimeout, Microseconds(ended));
            return ReportFailure(kTimeout, "Timeout: replay not received");
        }
        if (ReplyComplete(collected))
            break;

        // The header gives the reply's length, and the rest cannot come
        // faster than the line carries it: sleep until all but its last
        // character is due rather than wake for every byte. The last one is
        // awaited as it comes, so that bytes following it stay out of the
        // read that completes the reply (the length check), as before.
        size_t awaited = BytesStillAwaited(collected);
        if (r == serial::Io::Ok && awaited > 1) {
            sys::SleepUntil(std::min(now + double(awaited - 1) * link.byte_s,
                                     start + double(timeout_s)));
            woken = false;
            continue;
        }

        serial::Io w = serial::WaitReadable(link.handle, double(timeout_s) - elapsed);
        if (w == serial::Io::Lost) {
            CaptureEnd(kPortNotAvailable, Microseconds(sys::MonotonicSeconds()));
            return LinkLost();
        }
        woken = w == serial::Io::Ok;
    }

    std::string message;
    int16_t code = CheckReply(collected, address, function, &message);
    CaptureEnd(code, Microseconds(ended));
    if (code != 0)
        return ReportFailure(code, message); // no pause after an exception or a bad frame
    const Bytes& f = collected.frame;
    if (reply)
        reply->assign(f.begin() + 2, f.begin() + 2 + collected.expected);
    // Counted from the last byte and ending at a fixed time, so that the
    // checks above and the sleep's own lateness do not add to it.
    sys::SleepUntil(last_read_at + link.pause_s);
    return 0;
}

int16_t ReportFailure(int16_t code, const std::string& message, int os_error)
{
    ClosePort();
    if (reporter)
        reporter(Failure{code, message, os_error});
    return code;
}

} // namespace modbus
