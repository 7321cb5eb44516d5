// The engine on network lines, against a scripted peer on 127.0.0.1: every
// way a connection or a Modbus TCP reply can go wrong, and the texts of
// SERIAL_NET that are no address.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <functional>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "modbus/mbap.h"
#include "modbus/serial_link.h"
#include "platform/net_address.h"
#include "platform/posix/tcp_lookup.h"
#include "platform/system.h"

namespace {

using modbus::Bytes;

// What the peer does with the n-th request (from 0) on its c-th connection.
using Script = std::function<void(int fd, const Bytes& request, int connection)>;

// Accepts connections one after the other and hands every request it reads
// to the script.
class Peer {
public:
    explicit Peer(Script script) : script_(std::move(script))
    {
        listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        bind(listen_fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listen_fd_, 4);
        getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~Peer()
    {
        stop_ = true;
        thread_.join();
        close(listen_fd_);
    }
    int port() const { return port_; }

private:
    bool Readable(int fd)
    {
        pollfd p{fd, POLLIN, 0};
        while (!stop_)
            if (poll(&p, 1, 20) > 0)
                return true;
        return false;
    }
    void Serve()
    {
        for (int connection = 0; Readable(listen_fd_); ++connection) {
            int fd = accept(listen_fd_, nullptr, nullptr);
            uint8_t buf[300];
            ssize_t n;
            while (Readable(fd) && (n = read(fd, buf, sizeof buf)) > 0)
                script_(fd, Bytes(buf, buf + n), connection);
            close(fd);
        }
    }

    Script script_;
    int listen_fd_ = -1, port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// MSG_NOSIGNAL: a link that hung up fails the check, not the process.
void Send(int fd, const Bytes& bytes)
{
    ASSERT_EQ(send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
}

uint16_t Tid(const Bytes& request) { return uint16_t(request[0] << 8 | request[1]); }

// The good answer to "read one holding register" (value 0x1234).
Bytes GoodReply(const Bytes& request)
{
    return modbus::BuildMbapFrame(Tid(request), request[6], 3, {2, 0x12, 0x34});
}

// The good answer with byte `at` set to `value`.
Script Patched(size_t at, uint8_t value)
{
    return [at, value](int fd, const Bytes& r, int) {
        Bytes b = GoodReply(r);
        b[at] = value;
        Send(fd, b);
    };
}

struct Outcome {
    modbus::ResultCode code;
    std::string message;
    Bytes data;
    double seconds;
};

Outcome ReadOne(const std::string& net, uint8_t slave = 1, float timeout_s = 0.3f)
{
    static modbus::Link* link = nullptr;
    static modbus::Failure last;
    if (!link) {
        link = new modbus::Link;
        link->SetFailureReporter([](const modbus::Failure& f) { last = f; });
    }
    last = {};
    link->Close(); // each call names its line afresh
    serial::LineSettings line;
    line.SetNet(net);
    double start = sys::MonotonicSeconds();
    Outcome o{modbus::kOk, "", {}, 0};
    o.code = link->Open(line, timeout_s);
    if (o.code == modbus::kOk)
        o.code =
            link->Transact(slave, 3, {0, 0, 0, 1}, &o.data, modbus::ExpectedReply(3, 1), timeout_s);
    o.seconds = sys::MonotonicSeconds() - start;
    o.message = last.message;
    return o;
}

std::string Tcp(const Peer& peer) { return "tcp://127.0.0.1:" + std::to_string(peer.port()); }

struct ReplyCase {
    const char* name;
    Script script;
    modbus::ResultCode code;
    const char* message;
};

TEST(NetworkLine, ModbusTcpRepliesAreJudgedWholeAndNeverTakenFromAnotherTransaction)
{
    const ReplyCase cases[] = {
        {"good", [](int fd, const Bytes& r, int) { Send(fd, GoodReply(r)); }, modbus::kOk, ""},
        {"late reply to another transaction first",
         [](int fd, const Bytes& r, int) {
             Bytes stale = modbus::BuildMbapFrame(uint16_t(Tid(r) - 1), 1, 3, {2, 0x66, 0x66});
             Send(fd, stale);
             Send(fd, GoodReply(r));
         },
         modbus::kOk, ""},
        {"two late replies first",
         [](int fd, const Bytes& r, int) {
             Bytes stale = modbus::BuildMbapFrame(uint16_t(Tid(r) - 2), 1, 3, {2, 0x66, 0x66});
             Bytes also = modbus::BuildMbapFrame(uint16_t(Tid(r) - 1), 1, 3, {2, 0x77, 0x77});
             stale.insert(stale.end(), also.begin(), also.end());
             Send(fd, stale);
             Send(fd, GoodReply(r));
         },
         modbus::kOk, ""},
        {"a duplicate in the same segment",
         [](int fd, const Bytes& r, int) {
             Bytes twice = GoodReply(r);
             twice.insert(twice.end(), twice.begin(), twice.end());
             Send(fd, twice);
         },
         modbus::kOk, ""},
        {"only a reply to another transaction",
         [](int fd, const Bytes& r, int) {
             Send(fd, modbus::BuildMbapFrame(uint16_t(Tid(r) + 7), 1, 3, {2, 0x66, 0x66}));
         },
         modbus::kTimeout, "Timeout: replay not received"},
        {"never answers", [](int, const Bytes&, int) {}, modbus::kTimeout,
         "Timeout: replay not received"},
        {"partial header",
         [](int fd, const Bytes& r, int) { Send(fd, Bytes(r.begin(), r.begin() + 3)); },
         modbus::kTimeout, "Timeout: replay not received"},
        {"header claiming 1797 bytes", Patched(4, 7), modbus::kBadNumberOfBytes,
         "Received bad number of bytes"},
        {"length one short of the bytes", Patched(5, 4), modbus::kBadNumberOfBytes,
         "Received bad number of bytes"},
        {"another protocol", Patched(3, 1), modbus::kBadProtocolId,
         "Received bad protocol identifier"},
        {"another unit", Patched(6, 2), modbus::kBadSlaveAddress, "Received bad slave address"},
        {"exception",
         [](int fd, const Bytes& r, int) {
             Send(fd, modbus::BuildMbapFrame(Tid(r), 1, 0x83, {2}));
         },
         modbus::kIllegalDataAddress, "Received command exception 2:\r\rIllegal data address"},
        {"closes in the middle of the reply",
         [](int fd, const Bytes& r, int) {
             Bytes b = GoodReply(r);
             Send(fd, Bytes(b.begin(), b.begin() + 9));
             shutdown(fd, SHUT_RDWR);
         },
         modbus::kPortNotAvailable, "port not available"},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.name);
        Peer peer(c.script);
        Outcome o = ReadOne(Tcp(peer));
        EXPECT_EQ(o.code, c.code);
        EXPECT_NE(o.message.find(c.message), std::string::npos) << o.message;
        if (c.code == modbus::kOk)
            EXPECT_EQ(o.data, (Bytes{2, 0x12, 0x34}));
        else
            EXPECT_TRUE(o.data.empty());
        // Nothing waits beyond the time-out; a bad header does not wait at all.
        EXPECT_LT(o.seconds, c.code == modbus::kTimeout ? 0.45 : 0.2);
        if (c.code == modbus::kTimeout) {
            EXPECT_GE(o.seconds, 0.3);
        }
    }
}

// Copies behind each reply, more of them the first time than one drain
// reads, the last one cut short and finished only in front of the next
// reply: every reply is still found, the stream kept in step.
TEST(NetworkLine, RepliesBehindAReplyAreDroppedWholeFramesAtATime)
{
    Bytes rest; // of the copy the last answer left unfinished
    Peer peer([&rest](int fd, const Bytes& r, int) {
        const Bytes reply = GoodReply(r);
        const size_t copies = rest.empty() ? 200 * 1024 / reply.size() : 1;
        Bytes burst = rest;
        for (size_t i = 0; i < copies; ++i)
            burst.insert(burst.end(), reply.begin(), reply.end());
        burst.insert(burst.end(), reply.begin(), reply.begin() + 5);
        rest.assign(reply.begin() + 5, reply.end());
        Send(fd, burst);
    });
    modbus::Link link;
    serial::LineSettings line;
    line.SetNet(Tcp(peer));
    ASSERT_EQ(link.Open(line, 1.0f), modbus::kOk);
    for (int i = 0; i < 3; ++i) {
        Bytes data;
        EXPECT_EQ(link.Transact(1, 3, {0, 0, 0, 1}, &data, modbus::ExpectedReply(3, 1), 2.0f),
                  modbus::kOk)
            << i;
        EXPECT_EQ(data, (Bytes{2, 0x12, 0x34}));
    }
}

TEST(NetworkLine, AConnectionClosedWhileIdleIsMadeAgainUnseen)
{
    Peer closing([&](int fd, const Bytes& r, int connection) {
        Send(fd, GoodReply(r));
        if (connection == 0)
            shutdown(fd, SHUT_RDWR);
    });
    modbus::Link link;
    serial::LineSettings line;
    line.SetNet(Tcp(closing));
    ASSERT_EQ(link.Open(line, 0.3f), modbus::kOk);
    Bytes data;
    EXPECT_EQ(link.Transact(1, 3, {0, 0, 0, 1}, &data, modbus::ExpectedReply(3, 1), 0.3f),
              modbus::kOk);
    sys::SleepSeconds(0.05);
    EXPECT_EQ(link.Transact(1, 3, {0, 0, 0, 1}, &data, modbus::ExpectedReply(3, 1), 0.3f),
              modbus::kOk);
}

TEST(NetworkLine, RtuOverTcpKeepsTheChecksumAndBroadcastsAwaitNothing)
{
    Peer peer([](int fd, const Bytes& r, int) {
        EXPECT_EQ(r, modbus::BuildFrame(r[0], 3, {0, 0, 0, 1})) << "a plain RTU frame";
        if (r[0] == 0)
            return;
        Bytes reply = modbus::BuildFrame(r[0], 3, {2, 0x12, 0x34});
        if (r[0] == 2)
            reply.back() ^= 1;
        Send(fd, reply);
    });
    const std::string net = "rtu-tcp://127.0.0.1:" + std::to_string(peer.port());
    Outcome good = ReadOne(net, 1);
    EXPECT_EQ(good.code, modbus::kOk);
    EXPECT_EQ(good.data, (Bytes{2, 0x12, 0x34}));
    EXPECT_EQ(ReadOne(net, 2).code, modbus::kBadChecksum);
    Outcome broadcast = ReadOne(net, 0);
    EXPECT_EQ(broadcast.code, modbus::kOk);
    EXPECT_LT(broadcast.seconds, 0.1);
}

// RTU frames carry no transaction number: a duplicate within the quiet
// time after a reply (40 bit times, 133 ms at 300 bit/s), in the reply's
// own segment or later, is dropped, not taken for the next reply.
TEST(NetworkLine, RtuOverTcpDropsADuplicateThatFollowsTheReply)
{
    Peer peer([](int fd, const Bytes& r, int) {
        const uint8_t value = uint8_t(0x10 + r[3]);
        Bytes reply = modbus::BuildFrame(1, 3, {2, value, value});
        if (r[3] == 0) {
            Bytes twice = reply;
            twice.insert(twice.end(), reply.begin(), reply.end());
            Send(fd, twice);
            return;
        }
        Send(fd, reply);
        sys::SleepSeconds(0.005);
        Send(fd, reply);
    });
    modbus::Link link;
    serial::LineSettings line(1, 300);
    line.SetNet("rtu-tcp://127.0.0.1:" + std::to_string(peer.port()));
    ASSERT_EQ(link.Open(line, 1.0f), modbus::kOk);
    for (uint8_t reg = 0; reg < 3; ++reg) {
        Bytes data;
        EXPECT_EQ(link.Transact(1, 3, {0, reg, 0, 1}, &data, modbus::ExpectedReply(3, 1), 1.0f),
                  modbus::kOk);
        EXPECT_EQ(data, (Bytes{2, uint8_t(0x10 + reg), uint8_t(0x10 + reg)})) << int(reg);
    }
}

int NoSuchName(const char*, const char*, const addrinfo*, addrinfo**) { return EAI_NONAME; }

TEST(NetworkLine, ConnectionsThatCannotBeMadeNameTheAddressAndTheReason)
{
    int port;
    {
        Peer gone([](int, const Bytes&, int) {});
        port = gone.port();
    }
    Outcome refused = ReadOne("tcp://127.0.0.1:" + std::to_string(port));
    EXPECT_EQ(refused.code, modbus::kPortNotAvailable);
    EXPECT_EQ(refused.message,
              "127.0.0.1:" + std::to_string(port) + " port not available\rConnection refused");

    net::SetLookupForTests(NoSuchName);
    Outcome unknown = ReadOne("rtu-tcp://gateway.example:5020");
    net::SetLookupForTests(nullptr);
    EXPECT_EQ(unknown.code, modbus::kPortNotAvailable);
    EXPECT_EQ(unknown.message,
              std::string("gateway.example:5020 port not available\r") + gai_strerror(EAI_NONAME));
}

// A resolver that answers after a second, with the loopback address.
std::atomic<int> slow_lookups{0};
int SlowLookup(const char*, const char* service, const addrinfo* hints, addrinfo** result)
{
    ++slow_lookups;
    sys::SleepSeconds(1.0);
    return getaddrinfo("127.0.0.1", service, hints, result);
}

TEST(NetworkLine, ANameLookupCountsAgainstTheTimeOutAndItsAnswerIsKept)
{
    Peer peer([](int fd, const Bytes& r, int) { Send(fd, GoodReply(r)); });
    const std::string host = "gateway.example:" + std::to_string(peer.port());
    net::SetLookupForTests(SlowLookup);
    slow_lookups = 0;
    // The lookup under way is waited for again, not asked anew.
    for (int read = 0; read < 2; ++read) {
        Outcome late = ReadOne("tcp://" + host, 1, 0.3f);
        EXPECT_EQ(late.code, modbus::kPortNotAvailable) << read;
        EXPECT_EQ(late.message, host + " port not available\r" + gai_strerror(EAI_AGAIN));
        EXPECT_LT(late.seconds, 0.6) << read;
    }
    sys::SleepSeconds(1.0); // the lookup has answered meanwhile
    for (int read = 0; read < 2; ++read) {
        Outcome kept = ReadOne("tcp://" + host, 1, 0.3f);
        EXPECT_EQ(kept.code, modbus::kOk) << read;
        EXPECT_LT(kept.seconds, 0.3) << read;
    }
    EXPECT_EQ(slow_lookups, 1);
    net::SetLookupForTests(nullptr);
}

TEST(NetworkLine, AddressTexts)
{
    const char* const kScheme = "The address must start with tcp:// or rtu-tcp://.";
    const char* const kPort = "The port must be a number from 1 to 65535.";
    const char* const kBlanks = "The address must not hold blanks.";
    const char* const kFollow = "Only :PORT may follow the host.";
    struct Case {
        const char* text;
        const char* host; // nullptr: not an address, for the reason below
        uint16_t port;
        net::Framing framing;
        const char* reason;
    };
    const Case cases[] = {
        {"tcp://127.0.0.20:5020", "127.0.0.20", 5020, net::Framing::ModbusTcp, ""},
        {"rtu-tcp://localhost", "localhost", 502, net::Framing::RtuOverTcp, ""},
        {"tcp://[::1]:1502", "::1", 1502, net::Framing::ModbusTcp, ""},
        {"tcp://[::ffff:127.0.0.1]", "::ffff:127.0.0.1", 502, net::Framing::ModbusTcp, ""},
        {"127.0.0.20:502", nullptr, 0, {}, kScheme},
        {"udp://host:502", nullptr, 0, {}, kScheme},
        {"tcp://host:0", nullptr, 0, {}, kPort},
        {"tcp://host:70000", nullptr, 0, {}, kPort},
        {"tcp://host:65536", nullptr, 0, {}, kPort},
        {"rtu-tcp://host:65535", "host", 65535, net::Framing::RtuOverTcp, ""},
        {"tcp://host:", nullptr, 0, {}, kPort},
        {"tcp://host:50x", nullptr, 0, {}, kPort},
        {"tcp:// host:502", nullptr, 0, {}, kBlanks},
        {"tcp://host :502", nullptr, 0, {}, kBlanks},
        {"tcp://", nullptr, 0, {}, "The address names no host."},
        {"tcp://::1:502", nullptr, 0, {}, "An IPv6 address must stand in brackets."},
        {"tcp://[::1", nullptr, 0, {}, "An IPv6 address must end with ]."},
        {"tcp://host/path", nullptr, 0, {}, kFollow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        net::Address a;
        std::string reason;
        ASSERT_EQ(net::ParseAddress(c.text, &a, &reason), c.host != nullptr) << reason;
        if (!c.host) {
            EXPECT_EQ(reason, c.reason);
            continue;
        }
        EXPECT_EQ(a.host, c.host);
        EXPECT_EQ(a.port, c.port);
        EXPECT_EQ(a.framing, c.framing);
    }
    EXPECT_EQ(net::HostPort({net::Framing::ModbusTcp, "::1", 502}), "[::1]:502");
}

} // namespace
