// The name lookup behind net::Connect, bounded by the connection's time-out:
// the resolver runs on a thread of its own and is given up at the deadline,
// and the last good answer for a host is kept, so that a pass does not ask
// again at every read. The resolver is replaceable by tests: a host name
// that does not resolve must be tested without asking any name server.
#pragma once

#include <netdb.h>
#include <string>
#include <sys/socket.h>
#include <vector>

namespace net {

// One address to connect to, as the resolver gave it.
struct Endpoint {
    int family = 0, socktype = 0, protocol = 0;
    sockaddr_storage address{};
    socklen_t length = 0;
};

// The addresses of host:service, waiting no later than `deadline_s` (on
// sys::MonotonicSeconds). False with *reason (the system's words) when the
// name is unknown or its lookup has not answered by the deadline; a lookup
// given up goes on alone and its answer is kept for the next call.
bool LookUp(const std::string& host, const std::string& service, double deadline_s,
            std::vector<Endpoint>* found, std::string* reason);
// Drops the kept answer for host:service (none of its addresses took a
// connection: the host may have moved).
void ForgetLookUp(const std::string& host, const std::string& service);

using LookupFunction = int (*)(const char* host, const char* service, const addrinfo* hints,
                               addrinfo** result);
// nullptr: the system's getaddrinfo. Results are freed with freeaddrinfo.
// Also forgets every kept answer.
void SetLookupForTests(LookupFunction lookup);

} // namespace net
