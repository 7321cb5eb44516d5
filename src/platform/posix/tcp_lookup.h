// The resolver behind net::Connect, replaceable by tests: a host name that
// does not resolve must be tested without asking any name server.
#pragma once

#include <netdb.h>

namespace net {

using LookupFunction = int (*)(const char* host, const char* service, const addrinfo* hints,
                               addrinfo** result);
// nullptr: the system's getaddrinfo. Results are freed with freeaddrinfo.
void SetLookupForTests(LookupFunction lookup);

} // namespace net
