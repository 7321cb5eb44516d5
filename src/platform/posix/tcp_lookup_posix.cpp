// A bounded name lookup. getaddrinfo has no time-out of its own and a
// resolver that does not answer holds it for many seconds: it runs on a
// detached thread, and the caller waits for it only up to its deadline.
#include "platform/posix/tcp_lookup.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/system.h"

namespace net {

namespace {

// One lookup under way, shared by its thread and whoever waits for it: the
// thread may outlive every waiter.
struct Pending {
    std::string host, service;
    bool done = false;
    int rc = 0, err = 0;
    std::vector<Endpoint> found;
};

// Everything below is guarded by `mutex`. Made once and never destroyed: a
// lookup still running when the program ends must find it in place.
struct Shared {
    std::mutex mutex;
    std::condition_variable answered;
    LookupFunction lookup = nullptr;
    std::shared_ptr<Pending> pending; // the newest lookup, while it runs
    bool kept = false;                // the last good answer
    std::string kept_host, kept_service;
    std::vector<Endpoint> kept_found;
};

Shared& State()
{
    static Shared* shared = new Shared;
    return *shared;
}

void Resolve(std::shared_ptr<Pending> pending, LookupFunction lookup)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    // No AI_ADDRCONFIG: it hides 127.0.0.1 and ::1 on a machine whose only
    // addresses are the loopback ones.
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const int rc = (lookup ? lookup : getaddrinfo)(pending->host.c_str(), pending->service.c_str(),
                                                   &hints, &list);
    const int err = errno;
    std::vector<Endpoint> found;
    for (const addrinfo* ai = rc == 0 ? list : nullptr; ai; ai = ai->ai_next) {
        if (ai->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        Endpoint e;
        e.family = ai->ai_family;
        e.socktype = ai->ai_socktype;
        e.protocol = ai->ai_protocol;
        std::memcpy(&e.address, ai->ai_addr, ai->ai_addrlen);
        e.length = ai->ai_addrlen;
        found.push_back(e);
    }
    if (list)
        freeaddrinfo(list);
    Shared& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    pending->done = true;
    pending->rc = rc;
    pending->err = err;
    pending->found = found;
    if (rc == 0 && !found.empty()) {
        s.kept = true;
        s.kept_host = pending->host;
        s.kept_service = pending->service;
        s.kept_found = std::move(found);
    }
    if (s.pending == pending)
        s.pending.reset();
    s.answered.notify_all();
}

} // namespace

bool LookUp(const std::string& host, const std::string& service, double deadline_s,
            std::vector<Endpoint>* found, std::string* reason)
{
    Shared& s = State();
    std::unique_lock<std::mutex> lock(s.mutex);
    if (s.kept && s.kept_host == host && s.kept_service == service) {
        *found = s.kept_found;
        return true;
    }
    // A lookup of the same name still under way is waited for again rather
    // than joined by another: a resolver that does not answer must not
    // gather a thread at every read.
    std::shared_ptr<Pending> pending = s.pending;
    if (!pending || pending->host != host || pending->service != service) {
        pending = std::make_shared<Pending>();
        pending->host = host;
        pending->service = service;
        try {
            std::thread(Resolve, pending, s.lookup).detach();
        } catch (const std::system_error& e) {
            *reason = std::strerror(e.code().value());
            return false;
        }
        s.pending = pending;
    }
    const double left = deadline_s - sys::MonotonicSeconds();
    const auto until = std::chrono::steady_clock::now() +
                       std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                           std::chrono::duration<double>(left > 0 ? left : 0));
    if (!s.answered.wait_until(lock, until, [&] { return pending->done; })) {
        *reason = gai_strerror(EAI_AGAIN);
        return false;
    }
    if (pending->rc != 0) {
        *reason =
            pending->rc == EAI_SYSTEM ? std::strerror(pending->err) : gai_strerror(pending->rc);
        return false;
    }
    *found = pending->found;
    if (found->empty()) {
        *reason = gai_strerror(EAI_NONAME);
        return false;
    }
    return true;
}

void ForgetLookUp(const std::string& host, const std::string& service)
{
    Shared& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.kept && s.kept_host == host && s.kept_service == service)
        s.kept = false;
}

void SetLookupForTests(LookupFunction lookup)
{
    Shared& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.lookup = lookup;
    s.kept = false;
    s.pending.reset();
}

} // namespace net
