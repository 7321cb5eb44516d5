// Reading SERIAL_NET texts.
#include "platform/net_address.h"

namespace net {

namespace {

constexpr std::string_view kTcpScheme = "tcp://";
constexpr std::string_view kRtuTcpScheme = "rtu-tcp://";

// The longest host name DNS allows.
constexpr size_t kMaxHost = 253;

bool Fail(std::string* reason, const char* text)
{
    *reason = text;
    return false;
}

bool ParsePort(std::string_view text, uint16_t* port, std::string* reason)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != text.npos)
        return Fail(reason, "The port must be a number from 1 to 65535.");
    unsigned long n = 0;
    for (char c : text)
        n = n * 10 + unsigned(c - '0');
    if (n < 1 || n > 65535)
        return Fail(reason, "The port must be a number from 1 to 65535.");
    *port = uint16_t(n);
    return true;
}

} // namespace

bool ParseAddress(std::string_view text, Address* address, std::string* reason)
{
    // A blank inside would be passed to the resolver as part of the name;
    // one around it is a typing slip that the user should see, not us hide.
    for (unsigned char c : text)
        if (c <= ' ' || c == 0x7F)
            return Fail(reason, "The address must not hold blanks.");
    Address a;
    if (text.substr(0, kTcpScheme.size()) == kTcpScheme) {
        a.framing = Framing::ModbusTcp;
        text.remove_prefix(kTcpScheme.size());
    } else if (text.substr(0, kRtuTcpScheme.size()) == kRtuTcpScheme) {
        a.framing = Framing::RtuOverTcp;
        text.remove_prefix(kRtuTcpScheme.size());
    } else {
        return Fail(reason, "The address must start with tcp:// or rtu-tcp://.");
    }

    std::string_view host, port;
    if (!text.empty() && text.front() == '[') {
        size_t close = text.find(']');
        if (close == text.npos)
            return Fail(reason, "An IPv6 address must end with ].");
        host = text.substr(1, close - 1);
        std::string_view rest = text.substr(close + 1);
        if (!rest.empty() && rest.front() != ':')
            return Fail(reason, "Only :PORT may follow the host.");
        port = rest.empty() ? rest : rest.substr(1);
        if (!rest.empty() && port.empty())
            return Fail(reason, "The port must be a number from 1 to 65535.");
    } else {
        size_t colon = text.find(':');
        host = text.substr(0, colon);
        if (colon != text.npos) {
            port = text.substr(colon + 1);
            if (port.find(':') != port.npos)
                return Fail(reason, "An IPv6 address must stand in brackets.");
            if (port.empty())
                return Fail(reason, "The port must be a number from 1 to 65535.");
        }
    }
    if (host.empty())
        return Fail(reason, "The address names no host.");
    if (host.size() > kMaxHost)
        return Fail(reason, "The host name is too long.");
    if (host.find('/') != host.npos)
        return Fail(reason, "Only :PORT may follow the host.");
    if (!port.empty() && !ParsePort(port, &a.port, reason))
        return false;
    a.host = std::string(host);
    *address = a;
    return true;
}

std::string HostPort(const Address& address)
{
    const bool v6 = address.host.find(':') != std::string::npos;
    return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

} // namespace net
