// The transaction engine over a scripted device behind the serial port's
// system-call seam: interrupted and partial I/O, replies in pieces, settings
// and devices that cannot open, a device that vanishes, a slave that floods,
// broadcasts, and the error report.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "app/comm_report.h"
#include "app/shell.h"
#include "modbus/result_codes.h"
#include "modbus/serial_link.h"
#include "platform/headless/headless.h"
#include "platform/posix/serial_syscalls.h"
#include "platform/serial_port.h"
#include "platform/system.h"

namespace {

constexpr int kFd = 42;

// A piece of the reply: readable `delay_s` after the previous one became
// readable (the first: after the request was written), as bytes come on a
// line whether or not anyone reads them, or after the previous one was read
// (`after_read`); or a read error instead. A read takes every byte readable
// by then, up to the next error.
struct Piece {
    modbus::Bytes bytes;
    double delay_s = 0;
    int error = 0;
    bool after_read = false;
};

struct Device {
    int open_error = 0;
    int opens = 0, closes = 0, polls = 0;
    int calls = 0;        // reads, writes, polls and ioctls
    size_t delivered = 0; // reply bytes handed out
    modbus::Bytes stale;  // received before the request
    modbus::Bytes written;
    std::deque<Piece> pieces;
    double ready_at = 1e300;
    bool hung_up = false;
    bool hang_up_on_write = false;
    bool hangup_eof = true; // a hung-up read gives end-of-file, else EAGAIN
    int write_eintr = 0, write_eagain = 0, read_eintr = 0, poll_eintr = 0, write_error = 0;
    size_t write_max = SIZE_MAX;
    double send_s = 0;        // time the driver takes to put written bytes on the line
    double sent_at = 0;       // when its transmit queue is empty again
    double last_ready_at = 0; // when the last piece of the reply became readable
} dev;

bool FrontReady() { return !dev.pieces.empty() && sys::MonotonicSeconds() >= dev.ready_at; }

int FakeOpen(const char*, int)
{
    if (dev.open_error) {
        errno = dev.open_error;
        return -1;
    }
    ++dev.opens;
    return kFd;
}

int FakeClose(int)
{
    ++dev.closes;
    return 0;
}

ssize_t FakeRead(int, void* buffer, size_t size)
{
    ++dev.calls;
    if (dev.read_eintr > 0 && dev.read_eintr--) {
        errno = EINTR;
        return -1;
    }
    if (dev.hung_up) {
        if (dev.hangup_eof)
            return 0;
        errno = EAGAIN;
        return -1;
    }
    if (!dev.stale.empty()) {
        size_t n = std::min(size, dev.stale.size());
        std::memcpy(buffer, dev.stale.data(), n);
        dev.stale.erase(dev.stale.begin(), dev.stale.begin() + long(n));
        return ssize_t(n);
    }
    if (!FrontReady()) {
        errno = EAGAIN;
        return -1;
    }
    if (dev.pieces.front().error) {
        errno = dev.pieces.front().error;
        return -1;
    }
    size_t n = 0;
    auto out = static_cast<uint8_t*>(buffer);
    while (n < size && FrontReady() && !dev.pieces.front().error) {
        Piece& p = dev.pieces.front();
        size_t take = std::min(size - n, p.bytes.size());
        std::memcpy(out + n, p.bytes.data(), take);
        n += take;
        dev.delivered += take;
        p.bytes.erase(p.bytes.begin(), p.bytes.begin() + long(take));
        if (!p.bytes.empty())
            break;
        dev.last_ready_at = dev.ready_at;
        dev.pieces.pop_front();
        if (!dev.pieces.empty() && dev.pieces.front().after_read)
            dev.ready_at = sys::MonotonicSeconds() + dev.pieces.front().delay_s;
        else if (!dev.pieces.empty())
            dev.ready_at += dev.pieces.front().delay_s;
    }
    return ssize_t(n);
}

ssize_t FakeWrite(int, const void* data, size_t size)
{
    ++dev.calls;
    if (dev.write_error) {
        errno = dev.write_error;
        return -1;
    }
    if (dev.write_eintr > 0 && dev.write_eintr--) {
        errno = EINTR;
        return -1;
    }
    if (dev.write_eagain > 0 && dev.write_eagain--) {
        errno = EAGAIN;
        return -1;
    }
    dev.hung_up = dev.hung_up || dev.hang_up_on_write;
    size_t n = std::min(size, dev.write_max);
    auto p = static_cast<const uint8_t*>(data);
    dev.written.insert(dev.written.end(), p, p + n);
    dev.sent_at = sys::MonotonicSeconds() + dev.send_s;
    if (!dev.pieces.empty() && dev.ready_at > 1e299)
        dev.ready_at = sys::MonotonicSeconds() + dev.pieces.front().delay_s;
    return ssize_t(n);
}

int FakePoll(pollfd* fds, nfds_t, int timeout_ms)
{
    ++dev.polls;
    ++dev.calls;
    fds->revents = 0;
    if (dev.poll_eintr > 0 && dev.poll_eintr--) {
        errno = EINTR;
        return -1;
    }
    if (fds->events & POLLOUT) {
        fds->revents = POLLOUT;
        return 1;
    }
    if (dev.hung_up) {
        fds->revents = POLLHUP | (dev.hangup_eof ? POLLIN : 0);
        return 1;
    }
    double wait = timeout_ms / 1000.0;
    if (!dev.pieces.empty() && dev.ready_at - sys::MonotonicSeconds() <= wait) {
        sys::SleepSeconds(dev.ready_at - sys::MonotonicSeconds());
        fds->revents = POLLIN;
        return 1;
    }
    sys::SleepSeconds(wait);
    return 0;
}

int FakeIoctl(int, unsigned long request, void* arg)
{
    ++dev.calls;
    if (request == TIOCOUTQ)
        *static_cast<int*>(arg) = sys::MonotonicSeconds() < dev.sent_at ? 1 : 0;
    return 0;
}
int FakeFlock(int, int) { return 0; }

const serial::SystemCalls kFake = {FakeOpen, FakeClose, FakeRead, FakeWrite,
                                   FakePoll, FakeIoctl, FakeFlock};

class Engine : public ::testing::Test {
protected:
    void SetUp() override
    {
        dev = Device{};
        headless::Reset();
        serial::SetSystemCalls(&kFake);
        app::AutoReadActive = 1;
        modbus::SetFailureReporter(app::ReportCommFailure);
    }
    void TearDown() override
    {
        modbus::ClosePort();
        serial::SetSystemCalls(nullptr);
    }

    // The reply to a read of registers 0..1 holding 0x1234 and 0x5678.
    static modbus::Bytes GoodReply()
    {
        return modbus::BuildFrame(1, 3, {4, 0x12, 0x34, 0x56, 0x78});
    }

    int16_t ReadTwo(modbus::Bytes* data, float timeout_s = 0.5f)
    {
        return modbus::Transact(1, 3, {0, 0, 0, 2}, data, {5}, timeout_s);
    }

    void ExpectReported(const std::string& message)
    {
        ASSERT_FALSE(headless::MessagesShown().empty());
        const headless::MessageRecord& m = headless::MessagesShown().back();
        EXPECT_EQ(m.text, message);
        EXPECT_EQ(m.title, "Communication error");
        EXPECT_EQ(m.icon, ui::Icon::Stop);
        EXPECT_EQ(m.buttons, ui::Buttons::Ok);
        EXPECT_EQ(app::AutoReadActive, 0);
        EXPECT_FALSE(modbus::PortIsOpen());
        EXPECT_EQ(ui::GetStatusText(), "Ready");
    }
};

TEST_F(Engine, SurvivesInterruptedAndPartialIo)
{
    ASSERT_EQ(modbus::OpenPort({1, 1000000, serial::Parity::Even}), 0);
    dev.stale = {9, 9, 9};
    dev.write_eintr = 2;
    dev.write_eagain = 2;
    dev.write_max = 3;
    dev.read_eintr = 3;
    dev.poll_eintr = 2;
    modbus::Bytes reply = GoodReply();
    for (uint8_t b : reply)
        dev.pieces.push_back({{b}, 0.005});
    modbus::Bytes data;
    EXPECT_EQ(ReadTwo(&data), 0);
    EXPECT_EQ(dev.written, modbus::BuildFrame(1, 3, {0, 0, 0, 2}));
    EXPECT_EQ(data, (modbus::Bytes{4, 0x12, 0x34, 0x56, 0x78}));
    EXPECT_TRUE(modbus::PortIsOpen());
}

TEST_F(Engine, NoPauseFollowsAFailure)
{
    // 40 bit times at 300 bit/s, the longest pause there is: no event
    // tells a pause that was not slept, so the bound is the pause itself.
    ASSERT_EQ(modbus::OpenPort({1, 300, serial::Parity::Even}), 0);
    dev.pieces = {{modbus::BuildFrame(1, 0x83, {2})}};
    modbus::Bytes data = {7};
    const double t0 = sys::MonotonicSeconds();
    EXPECT_EQ(ReadTwo(&data), 2);
    EXPECT_LT(sys::MonotonicSeconds() - t0, 40.0 / 300);
    EXPECT_EQ(data, modbus::Bytes{7}); // untouched by the failure
}

TEST_F(Engine, TimeOutRunsFromTheEndOfSending)
{
    // A long frame at a low rate: 0.6 s on the wire, the reply 0.05 s
    // after, well within a 0.5 s time-out counted from the last byte sent.
    ASSERT_EQ(modbus::OpenPort({1, 1000000, serial::Parity::Even}), 0);
    dev.send_s = 0.6;
    dev.pieces = {{GoodReply(), 0.65}};
    modbus::Bytes data;
    EXPECT_EQ(ReadTwo(&data, 0.5f), 0);

    // A driver that claims queued bytes for ever is believed only for the
    // send allowance (1 s and a little); then the reply is awaited.
    dev.send_s = 100;
    dev.pieces = {{GoodReply(), 1.1}};
    dev.ready_at = 1e300;
    EXPECT_EQ(ReadTwo(&data, 0.5f), 0);
    EXPECT_TRUE(headless::MessagesShown().empty());
}

TEST_F(Engine, PortsThatCannotOpenAreReported)
{
    const std::pair<serial::LineSettings, const char*> invalid[] = {
        {{9, 9600, serial::Parity::Even}, "Serial port not valid"},
        {{1, 299, serial::Parity::Even}, "Baudrate not valid"},
        {{1, 1000001, serial::Parity::Even}, "Baudrate not valid"},
        {{1, 9600, serial::ParityFromCode(4)}, "Parity not valid"},
    };
    for (const auto& [line, message] : invalid) {
        EXPECT_EQ(modbus::OpenPort(line), modbus::kSettingsNotValid) << message;
        ExpectReported(message);
    }
    dev.open_error = ENOENT;
    EXPECT_EQ(modbus::OpenPort({5, 9600, serial::Parity::Even}), modbus::kPortNotAvailable);
    ExpectReported("COM5 port not available");
    EXPECT_EQ(dev.opens, 0);
}

// A broadcast awaits no reply, but keeps the line quiet for the pause
// that follows a reply, or the next request runs into it on the wire.
TEST_F(Engine, BroadcastsAwaitNoReplyButThePauseAndATimeOutOfZeroFailsEvenAReplyThatIsThere)
{
    ASSERT_EQ(modbus::OpenPort({1, 300, serial::Parity::Even}), 0);
    // Ignored while open: the line keeps its settings.
    EXPECT_EQ(modbus::OpenPort({9, 9600, serial::Parity::Even}), 0);
    modbus::Bytes data;
    const double t0 = sys::MonotonicSeconds();
    EXPECT_EQ(modbus::Transact(0, 6, {0, 7, 0x12, 0x34}, &data, {4}, 2.0f), 0);
    EXPECT_GE(sys::MonotonicSeconds() - t0, 40.0 / 300);
    EXPECT_LT(sys::MonotonicSeconds() - t0, 2.0);
    EXPECT_EQ(dev.written, modbus::BuildFrame(0, 6, {0, 7, 0x12, 0x34}));
    EXPECT_TRUE(data.empty());
    dev.pieces = {{GoodReply()}};
    EXPECT_EQ(ReadTwo(&data, 0.0f), modbus::kTimeout);
}

TEST_F(Engine, SilentSlaveIsAwaitedInPollNotInALoop)
{
    modbus::Bytes data;
    ASSERT_EQ(modbus::OpenPort({1, 1000000, serial::Parity::Even}), 0);
    double t0 = sys::MonotonicSeconds();
    EXPECT_EQ(ReadTwo(&data, 0.3f), modbus::kTimeout);
    EXPECT_GE(sys::MonotonicSeconds() - t0, 0.3);
    EXPECT_LE(dev.polls, 3);
}

TEST_F(Engine, VanishedDeviceIsReportedOnce)
{
    modbus::Bytes data;
    // Read error in the middle of a reply (adapter pulled out).
    ASSERT_EQ(modbus::OpenPort({2, 1000000, serial::Parity::Even}), 0);
    dev.pieces = {{{1, 3}}, {{}, 0.01, EIO}};
    EXPECT_EQ(ReadTwo(&data), modbus::kPortNotAvailable);
    ExpectReported("COM2 port not available");
    EXPECT_EQ(dev.closes, 1);

    // A line hung up while the reply is awaited: poll returns at once
    // forever, reads give end-of-file or nothing.
    for (bool eof : {true, false}) {
        ASSERT_EQ(modbus::OpenPort({2, 1000000, serial::Parity::Even}), 0);
        dev.hung_up = false;
        dev.hang_up_on_write = true;
        dev.hangup_eof = eof;
        dev.polls = 0;
        EXPECT_EQ(ReadTwo(&data, 5.0f), modbus::kPortNotAvailable);
        EXPECT_LE(dev.polls, 1);
    }
    // Already hung up before the request: found while draining.
    ASSERT_EQ(modbus::OpenPort({2, 1000000, serial::Parity::Even}), 0);
    dev.written.clear();
    EXPECT_EQ(ReadTwo(&data, 5.0f), modbus::kPortNotAvailable);
    EXPECT_TRUE(dev.written.empty());

    // Writing fails.
    ASSERT_EQ(modbus::OpenPort({2, 1000000, serial::Parity::Even}), 0);
    dev.hung_up = dev.hang_up_on_write = false;
    dev.write_error = ENXIO;
    EXPECT_EQ(ReadTwo(&data), modbus::kPortNotAvailable);
    EXPECT_EQ(headless::MessagesShown().size(), 5u);
    EXPECT_TRUE(data.empty());

    // Nothing is sent on a closed port.
    dev.written.clear();
    EXPECT_EQ(ReadTwo(&data), modbus::kPortNotAvailable);
    EXPECT_TRUE(dev.written.empty());
}

TEST_F(Engine, FloodingSlaveCannotOverrunTheReply)
{
    ASSERT_EQ(modbus::OpenPort({1, 1000000, serial::Parity::Even}), 0);
    dev.pieces = {{modbus::Bytes(1000000, 0x55)}};
    modbus::Bytes data;
    EXPECT_EQ(ReadTwo(&data), modbus::kBadChecksum);
    EXPECT_LE(dev.delivered, 8192u);
}

TEST(SerialPortNames, LinkInStartUpFolderElseSystemPort)
{
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("regscope-com-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::create_symlink("/dev/null", dir / "COM2");
    std::filesystem::create_symlink(dir / "gone", dir / "COM4");
    modbus::SetPortFolder(dir.string());
    EXPECT_EQ(serial::DevicePath(2), (dir / "COM2").string());
    // A link whose target vanished still names the device: it must not
    // fall through to a real port of the machine.
    EXPECT_EQ(serial::DevicePath(4), (dir / "COM4").string());
    EXPECT_EQ(serial::DevicePath(3), "/dev/ttyS2");
    std::filesystem::remove_all(dir);
}

// A real pseudo-terminal whose slave side stays open here, as a simulator
// holds it: what the port leaves on the line outlives its own descriptor.
TEST(SerialPortLine, ReadsAnEmptyLineAndReleasesItOnClose)
{
    // Another program may leave the line with VMIN = 0, under which a read
    // of an empty line gives end-of-file, the mark of a vanished device.
    serial::SetSystemCalls(nullptr);
    int m = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(m, 0);
    ASSERT_EQ(grantpt(m), 0);
    ASSERT_EQ(unlockpt(m), 0);
    std::string name = ptsname(m);
    int s = open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(s, 0);
    // Flow control of every kind, and a cooked line, are left on too.
    termios t{};
    tcgetattr(s, &t);
    cfmakeraw(&t);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    t.c_cflag = (t.c_cflag | CRTSCTS | HUPCL) & ~tcflag_t(CLOCAL);
    t.c_iflag |= IXON | IXOFF | IXANY | ICRNL;
    t.c_oflag |= OPOST;
    t.c_lflag |= ICANON | ECHO;
    tcsetattr(s, TCSANOW, &t);

    serial::Handle h = serial::Open(name, 9600, serial::Parity::Even, nullptr);
    ASSERT_NE(h, serial::kNoPort);
    tcgetattr(s, &t);
    EXPECT_EQ(t.c_cflag & (CRTSCTS | HUPCL | CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_EQ(t.c_iflag, tcflag_t(INPCK));
    EXPECT_EQ(t.c_oflag, 0u);
    EXPECT_EQ(t.c_lflag, 0u);
    uint8_t buffer[16];
    size_t got = 0;
    EXPECT_EQ(serial::ReadSome(h, buffer, sizeof buffer, &got), serial::Io::WouldBlock);

    // Exclusive while open; released on close, or an unprivileged user
    // could never reopen the line after the first communication error.
    int exclusive = -1;
    ASSERT_EQ(ioctl(s, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    serial::Close(h);
    ASSERT_EQ(ioctl(s, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);

    // Hung up for real: the other end is gone.
    h = serial::Open(name, 9600, serial::Parity::Even, nullptr);
    ASSERT_NE(h, serial::kNoPort);
    close(m);
    EXPECT_EQ(serial::ReadSome(h, buffer, sizeof buffer, &got), serial::Io::Lost);
    serial::Close(h);
    close(s);
}

} // namespace

// --- How a reply arrives ------------------------------------------------------

namespace {

constexpr double kByte9600_s = 11.0 / 9600;

// A read of ten registers 0..9 holding 0..9: 25 bytes.
modbus::Bytes TenRegisters(size_t extra_data = 0)
{
    modbus::Bytes data = {uint8_t(20 + extra_data)};
    for (int i = 0; i < 10; ++i)
        data.insert(data.end(), {0, uint8_t(i)});
    data.insert(data.end(), extra_data, 0x55);
    return modbus::BuildFrame(1, 3, data);
}

// The bytes cut into pieces: the first `head` bytes at once, then the rest
// one byte every `byte_s` (a slave on the wire), or in one piece `late_s`
// after the head when byte_s is 0.
std::deque<Piece> Paced(const modbus::Bytes& frame, size_t head, double byte_s, double late_s = 0)
{
    std::deque<Piece> pieces;
    pieces.push_back({modbus::Bytes(frame.begin(), frame.begin() + long(head)), 0});
    if (byte_s > 0) {
        for (size_t i = head; i < frame.size(); ++i)
            pieces.push_back({{frame[i]}, byte_s});
    } else if (head < frame.size()) {
        pieces.push_back({modbus::Bytes(frame.begin() + long(head), frame.end()), late_s});
    }
    return pieces;
}

// At the line's pace up to the last `extra` bytes, which follow `gap_s`
// after the last awaited byte was read.
std::deque<Piece> Trailing(const modbus::Bytes& frame, size_t extra, double gap_s)
{
    std::deque<Piece> pieces = Paced(frame, 1, kByte9600_s);
    pieces[pieces.size() - extra] = {{frame[frame.size() - extra]}, gap_s, 0, true};
    for (size_t i = pieces.size() - extra + 1; i < pieces.size(); ++i)
        pieces[i].delay_s = 0;
    return pieces;
}

int16_t ReadTen(float timeout_s = 0.5f)
{
    modbus::Bytes data;
    return modbus::Transact(1, 3, {0, 0, 0, 10}, &data, {21}, timeout_s);
}

} // namespace

TEST_F(Engine, AReplyGivesTheSameResultHoweverItArrives)
{
    struct Case {
        const char* what;
        std::deque<Piece> pieces;
        int16_t code;
        int baud = 9600;
        float timeout_s = 0.5f;
    };
    modbus::Bytes exception = modbus::BuildFrame(1, 0x83, {2});
    const Case cases[] = {
        {"whole", {{TenRegisters()}}, 0},
        {"byte by byte at the line's pace", Paced(TenRegisters(), 1, kByte9600_s), 0},
        {"header, then the rest later", Paced(TenRegisters(), 3, 0, 0.03), 0},
        {"slower than the line", Paced(TenRegisters(), 2, 0.004), 0},
        {"late but in time", {{TenRegisters(), 0.1}}, 0},
        {"too late", {{TenRegisters(), 0.7}}, 130},
        {"the rest after the time-out", Paced(TenRegisters(), 5, 0, 0.7), 130},
        // Longer than announced: bytes that come with the last awaited one
        // make it too long; bytes that follow it later are not looked at,
        // and the checksum is then taken over the wrong bytes.
        {"longer, whole", {{TenRegisters(2)}}, 135},
        {"longer, header then the rest at once", Paced(TenRegisters(2), 3, 0, 0.03), 135},
        {"longer, the extra bytes later", Trailing(TenRegisters(2), 2, 0.03), 132},
        {"exception, in two pieces", Paced(exception, 1, 0, 0.02), 2},
        {"exception, at the line's pace", Paced(exception, 1, kByte9600_s), 2},
        // 147 ms, where the whole reply would take 917 ms.
        {"exception, in a time-out too short for the whole reply", Paced(exception, 1, 11.0 / 300),
         2, 300, 0.6f},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(modbus::OpenPort({1, c.baud, serial::Parity::Even}), 0) << c.what;
        dev.pieces = c.pieces;
        dev.ready_at = 1e300;
        EXPECT_EQ(ReadTen(c.timeout_s), c.code) << c.what;
        modbus::ClosePort();
        app::AutoReadActive = 1;
    }
}

// The pause, and a reply on the line wakes the engine a few times, not for
// every one of its 25 bytes.
TEST_F(Engine, ThePauseRunsFortyBitTimesFromTheLastByte)
{
    for (int baud : {1200, 9600, 115200}) {
        ASSERT_EQ(modbus::OpenPort({1, baud, serial::Parity::Even}), 0);
        dev.pieces = Paced(TenRegisters(), 1, 11.0 / baud);
        dev.ready_at = 1e300;
        dev.polls = 0;
        EXPECT_EQ(ReadTen(), 0) << baud;
        EXPECT_GE(sys::MonotonicSeconds() - dev.last_ready_at, 40.0 / baud) << baud;
        EXPECT_LE(dev.polls, 6) << baud;
        modbus::ClosePort();
    }
}

// A request that leaves at the line's pace is asked about once, not watched
// every millisecond, and a reply at the line's pace costs one wait and a
// few reads whatever its length.
TEST_F(Engine, ATransactionCostsAFewSystemCalls)
{
    for (int baud : {1200, 9600, 115200}) {
        ASSERT_EQ(modbus::OpenPort({1, baud, serial::Parity::Even}), 0);
        const double byte_s = 11.0 / baud;
        dev.send_s = 8 * byte_s;
        dev.pieces = Paced(TenRegisters(), 1, byte_s);
        dev.pieces.front().delay_s = dev.send_s + 4 * byte_s;
        dev.ready_at = 1e300;
        dev.calls = 0;
        EXPECT_EQ(ReadTen(), 0) << baud;
        EXPECT_LE(dev.calls, 8) << baud;
        modbus::ClosePort();
    }
}
