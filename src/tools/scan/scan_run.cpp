// One try after another: the probe, its verdict and the finding.
#include "tools/scan/scan_run.h"

#include "modbus/function_codes.h"
#include "modbus/protocol.h"
#include "modbus/serial_link.h"
#include "platform/system.h"

namespace scan {

namespace {

// The link's failure reporter is a plain function: the message of the last
// failure waits here for the scanner to read it (one thread).
std::string last_failure;

void KeepFailure(const modbus::Failure& failure) { last_failure = failure.message; }

// Texts a slave gives about itself, as far as they are printable.
std::string Printable(const modbus::Bytes& bytes, size_t at, size_t count)
{
    std::string text;
    for (size_t i = at; i < at + count && i < bytes.size(); ++i)
        if (bytes[i] >= 0x20 && bytes[i] < 0x7F)
            text += char(bytes[i]);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    while (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    return text;
}

uint16_t WordAt(const modbus::Bytes& b, size_t at) { return uint16_t(b[at] << 8 | b[at + 1]); }

// Why a reply that came is no frame of the probed module.
const char* GarbledReason(modbus::ResultCode rc)
{
    switch (rc) {
    case modbus::kBadChecksum: return "bad checksum";
    case modbus::kBadSlaveAddress: return "reply from another address";
    case modbus::kBadFunctionCode: return "wrong function code";
    case modbus::kBadNumberOfBytes: return "wrong length";
    case modbus::kBadProtocolId: return "not a Modbus frame";
    case modbus::kBadByteCount: return "wrong byte count";
    default: return "not the reply asked for";
    }
}

} // namespace

struct Scanner::State {
    modbus::Link link;
    Settings settings;
    serial::LineSettings line;
    double timeout_s = 1;
    std::vector<Try> tries;
    size_t next = 0;
    std::vector<Finding> findings;
    std::string failure;
    double started_s = 0;
    double ended_s = -1;
    serial::LineSettings opened; // what the open line was opened with

    // The probe's verdict as a finding; false for silence and for a line
    // that failed (*rc tells which).
    bool Probe(const Try& t, Finding* found, modbus::ResultCode* rc);
};

bool Scanner::State::Probe(const Try& t, Finding* found, modbus::ResultCode* result)
{
    uint8_t function = uint8_t(settings.function);
    modbus::Bytes data;
    if (t.config) {
        function = modbus::kReadModuleConfig;
    } else if (function != modbus::kReportSlaveId) {
        const long r = settings.register_address;
        data = {uint8_t(r >> 8), uint8_t(r), 0, 1};
    }
    const modbus::ReplyShape shape = modbus::ExpectedReply(function, data.empty() ? 0 : 1);
    modbus::Bytes reply;
    const float wait_s = float(TryTimeout(t, settings.function, timeout_s));
    const modbus::ResultCode rc = link.Transact(t.address, function, data, &reply, shape, wait_s);
    *result = rc;
    found->at = t;
    if (rc == modbus::kOk) {
        found->kind = Finding::Module;
        if (t.config)
            found->what = "configuration mode: address " + std::to_string(reply[0]) + ", " +
                          std::to_string(uint32_t(WordAt(reply, 1)) << 16 | WordAt(reply, 3)) +
                          " bit/s, parity " + std::to_string(reply[5]);
        else if (function == modbus::kReportSlaveId)
            found->what = "slave id: " + Printable(reply, 1, 8) + " " + Printable(reply, 10, 8);
        else
            found->what =
                std::string(function == modbus::kReadHoldingRegisters ? "holding" : "input") +
                " register " + std::to_string(settings.register_address) + " = " +
                std::to_string(WordAt(reply, 1));
        return true;
    }
    if (modbus::IsExceptionResult(rc)) {
        found->kind = Finding::Exception;
        const char* name = modbus::ExceptionName(uint8_t(rc));
        found->what = name ? "exception " + std::to_string(int(rc)) + ": " + name
                           : std::string("exception: unknown code");
        return true;
    }
    if (rc == modbus::kTimeout) {
        const modbus::Bytes& got_bytes = link.LastReply();
        const size_t got = got_bytes.size();
        if (got == 0)
            return false;
        // Report Slave ID has no fixed length: the modules' reply is what
        // the engine awaits, other devices give a shorter one of their own.
        if (function == modbus::kReportSlaveId && got >= 5 && got_bytes[0] == t.address &&
            got_bytes[1] == function && got_bytes[2] + 5u == got &&
            modbus::CrcMatches(got_bytes.data(), got)) {
            found->kind = Finding::Module;
            found->what = "slave id: " + Printable(got_bytes, 3, got - 5) + " (" +
                          std::to_string(got_bytes[2]) + " bytes)";
            return true;
        }
        found->kind = Finding::Garbled;
        found->what = "garbled: " + std::to_string(got) + (got == 1 ? " byte" : " bytes") +
                      ", no whole frame";
        return true;
    }
    if (rc == modbus::kPortNotAvailable)
        return false;
    found->kind = Finding::Garbled;
    found->what = std::string("garbled: ") + GarbledReason(rc);
    return true;
}

Scanner::Scanner() : state_(std::make_unique<State>())
{
    state_->link.SetFailureReporter(KeepFailure);
}

Scanner::~Scanner() = default;

std::string Scanner::Begin(const Settings& settings, const serial::LineSettings& line,
                           double timeout_s)
{
    State& s = *state_;
    s.link.Close();
    s.findings.clear();
    s.failure.clear();
    s.tries.clear();
    s.next = 0;
    s.ended_s = -1;
    std::string refusal = Refusal(settings, line.IsNetwork());
    if (!refusal.empty())
        return refusal;
    modbus::ClosePort();
    s.settings = settings;
    s.line = line;
    s.timeout_s = timeout_s;
    s.tries = PlanTries(settings, line);
    s.started_s = sys::MonotonicSeconds();
    return "";
}

bool Scanner::Step()
{
    State& s = *state_;
    if (s.next >= s.tries.size() || !s.failure.empty()) {
        Finish();
        return false;
    }
    const Try& t = s.tries[s.next];
    serial::LineSettings line = s.line;
    if (!line.IsNetwork()) {
        line.baud = t.baud;
        line.parity = t.parity;
    }
    // An open line keeps the settings it was opened with.
    if (s.link.IsOpen() && !(s.opened == line))
        s.link.Close();
    if (!s.link.IsOpen()) {
        last_failure.clear();
        if (s.link.Open(line, float(s.timeout_s)) != modbus::kOk) {
            s.failure = last_failure;
            Finish();
            return false;
        }
        s.opened = line;
    }
    Finding found;
    modbus::ResultCode rc = modbus::kOk;
    last_failure.clear();
    const bool answered = s.Probe(t, &found, &rc);
    ++s.next;
    if (answered) {
        s.findings.push_back(found);
    } else if (rc == modbus::kPortNotAvailable) {
        // The line itself went (an adapter pulled, a connection lost).
        s.failure = last_failure;
        Finish();
        return false;
    }
    if (s.next >= s.tries.size()) {
        Finish();
        return false;
    }
    return true;
}

void Scanner::Finish()
{
    State& s = *state_;
    s.link.Close();
    if (s.ended_s < 0)
        s.ended_s = sys::MonotonicSeconds();
}

bool Scanner::Network() const { return state_->line.IsNetwork(); }
size_t Scanner::TriesDone() const { return state_->next; }
size_t Scanner::TriesTotal() const { return state_->tries.size(); }

const Try* Scanner::NextTry() const
{
    return state_->next < state_->tries.size() ? &state_->tries[state_->next] : nullptr;
}

const std::vector<Finding>& Scanner::Findings() const { return state_->findings; }
const std::string& Scanner::LineFailure() const { return state_->failure; }

double Scanner::ElapsedSeconds() const
{
    const double end = state_->ended_s >= 0 ? state_->ended_s : sys::MonotonicSeconds();
    return end - state_->started_s;
}

double Scanner::RemainingSeconds() const
{
    return TimeOfTries(state_->tries, state_->next, state_->settings.function, state_->timeout_s);
}

double Scanner::EstimatedSeconds() const
{
    return TimeOfTries(state_->tries, 0, state_->settings.function, state_->timeout_s);
}

} // namespace scan
