// Scenario lines for the simulated bus.
#include "script/scenario_commands.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "app/password_store.h"
#include "platform/system.h"
#include "sim/models.h"
#include "sim/sim.h"
#include "sim/slave_lines.h"

namespace script {

namespace {

// --- The simulator -------------------------------------------------------------

struct Bus {
    std::unique_ptr<sim::Simulator> simulator;
    std::map<int, std::shared_ptr<sim::RegisterBank>> banks; // by slave address
};

Bus bus;

// A set-up line that cannot be carried out leaves nothing sensible to check
// after it: the run ends there, as failed.
[[noreturn]] void Problem(const ScenarioLine& line, const std::string& what)
{
    ScenarioFail(line, what);
    std::fflush(nullptr);
    std::exit(1);
}

long Int(const std::string& w) { return std::strtol(w.c_str(), nullptr, 0); }

// "name=value" options after the fixed words of a line.
std::map<std::string, std::string> Options(const ScenarioLine& line, size_t from)
{
    std::map<std::string, std::string> options;
    for (size_t i = from; i < line.words.size(); ++i) {
        const std::string& w = line.words[i];
        size_t eq = w.find('=');
        options[w.substr(0, eq)] = eq == std::string::npos ? "" : w.substr(eq + 1);
    }
    return options;
}

sim::Simulator& Running(const ScenarioLine& line)
{
    if (!bus.simulator)
        Problem(line, "the simulator is not started (\"sim start\")");
    return *bus.simulator;
}

sim::RegisterBank& Bank(const ScenarioLine& line, const std::string& slave)
{
    Running(line);
    auto it = bus.banks.find(int(Int(slave)));
    if (it == bus.banks.end())
        Problem(line, "no generic slave at address " + slave);
    return *it->second;
}

void Need(const ScenarioLine& line, size_t words)
{
    if (line.words.size() < words)
        Problem(line, "too few words for \"" + line.words[0] + " " + line.words[1] + "\"");
}

void Start(const ScenarioLine& line)
{
    auto options = Options(line, 2);
    sim::Options o;
    o.folder = sys::WorkingDirectory();
    o.port = options.count("port") ? int(Int(options["port"])) : 1;
    o.pacing = options.count("pacing") != 0;
    // Free ports, so that scenarios run side by side: $SIM_TCP and
    // $SIM_RTU_TCP name them.
    o.tcp_port = options.count("tcp") ? 0 : -1;
    o.rtu_tcp_port = options.count("rtu-tcp") ? 0 : -1;
    o.pty = options.count("no-pty") == 0;
    bus.simulator = std::make_unique<sim::Simulator>();
    std::string error;
    if (!bus.simulator->Start(o, &error))
        Problem(line, "the simulator did not start: " + error);
    int first = options.count("slave") ? int(Int(options["slave"])) : 1;
    bus.banks[first] = bus.simulator->AddGenericSlave(uint8_t(first), options.count("demo") != 0);
}

} // namespace

std::string SimPort(const std::string& variable)
{
    if (!bus.simulator)
        return "0";
    return std::to_string(variable == "$SIM_TCP" ? bus.simulator->TcpPort()
                                                 : bus.simulator->RtuTcpPort());
}

namespace {

bool FaultKind(const std::string& name, sim::Fault::Kind* kind)
{
    static const std::map<std::string, sim::Fault::Kind> kinds = {
        {"no-reply", sim::Fault::NoReply},
        {"bad-crc", sim::Fault::BadCrc},
        {"wrong-address", sim::Fault::WrongAddress},
        {"wrong-function", sim::Fault::WrongFunction},
        {"extra-bytes", sim::Fault::ExtraBytes},
        {"wrong-byte-count", sim::Fault::WrongByteCount},
        {"wrong-echo-address", sim::Fault::WrongEchoAddress},
        {"wrong-echo-value", sim::Fault::WrongEchoValue},
        {"exception", sim::Fault::Exception},
        {"pieces", sim::Fault::Pieces},
        {"delay", sim::Fault::Delay},
        {"flood", sim::Fault::Flood},
    };
    auto it = kinds.find(name);
    if (it == kinds.end())
        return false;
    *kind = it->second;
    return true;
}

void InjectFault(const ScenarioLine& line)
{
    Need(line, 3);
    sim::Fault fault;
    if (!FaultKind(line.words[2], &fault.kind))
        Problem(line, "unknown fault \"" + line.words[2] + "\"");
    for (const auto& [name, value] : Options(line, 3)) {
        if (name == "address")
            fault.address = int(Int(value));
        else if (name == "function")
            fault.function = int(Int(value));
        else if (name == "times")
            fault.times = int(Int(value));
        else if (name == "code")
            fault.exception_code = uint8_t(Int(value));
        else if (name == "byte-count")
            fault.byte_count = int(Int(value));
        else if (name == "count")
            fault.count = size_t(Int(value));
        else if (name == "garbage")
            fault.trailing_garbage = true;
        else if (name == "piece")
            fault.piece_bytes = size_t(Int(value));
        else if (name == "piece-delay")
            fault.piece_delay_s = std::strtod(value.c_str(), nullptr);
        else if (name == "delay")
            fault.delay_s = std::strtod(value.c_str(), nullptr);
        else
            Problem(line, "unknown fault option \"" + name + "\"");
    }
    Running(line).InjectFault(fault);
}

void SetTable(const ScenarioLine& line)
{
    Need(line, 5);
    const std::string& table = line.words[1];
    sim::RegisterBank& bank = Bank(line, line.words[2]);
    uint16_t address = uint16_t(Int(line.words[3]));
    long value = Int(line.words[4]);
    if (table == "set-holding")
        bank.SetHolding(address, uint16_t(value));
    else if (table == "set-input")
        bank.SetInput(address, uint16_t(value));
    else if (table == "set-coil")
        bank.SetCoil(address, value != 0);
    else
        bank.SetDiscreteInput(address, value != 0);
}

// --- Expectations ----------------------------------------------------------------

std::string Hex(const modbus::Bytes& bytes, size_t count)
{
    std::string out;
    char buf[4];
    for (size_t i = 0; i < count && i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
        out += buf;
    }
    return out;
}

} // namespace

// Spaces and case do not matter: "01 03 00 0a" is "01030 00A".
std::string NormalisedHex(const std::string& hex)
{
    std::string digits;
    for (char c : hex)
        if (c != ' ')
            digits += char(std::toupper(static_cast<unsigned char>(c)));
    std::string out;
    for (size_t i = 0; i < digits.size(); i += 2)
        out += (i ? " " : "") + digits.substr(i, 2);
    return out;
}

namespace {

void Report(const ScenarioLine& line, const std::string& what, const std::string& expected,
            const std::string& found)
{
    if (expected != found)
        ScenarioFail(line, what + ": expected \"" + expected + "\", found \"" + found + "\"");
}

const char* ParityName(serial::Parity parity)
{
    static const char* names[] = {"none2", "odd", "even", "none"};
    return serial::ParityValid(parity) ? names[serial::ParityCode(parity)] : "?";
}

// The frame the expectation names: 1 is the first received, "last" the latest.
bool FrameAt(const ScenarioLine& line, const std::string& which, sim::Frame* frame)
{
    sim::Simulator& s = Running(line);
    std::vector<sim::Frame> frames = s.Frames();
    size_t n = which == "last" ? frames.size() : size_t(Int(which));
    if (which != "last" && s.WaitForFrames(n, 1.0))
        frames = s.Frames();
    if (n == 0 || n > frames.size())
        return false;
    *frame = frames[n - 1];
    return true;
}

bool ExpectOnBus(const ScenarioLine& line)
{
    const auto& w = line.words;
    const std::string& what = w[1];
    if (what == "sim-frame") {
        // expect sim-frame N|last "hex bytes without the checksum"
        Need(line, 4);
        sim::Frame frame;
        if (!FrameAt(line, w[2], &frame)) {
            Report(line, "frame " + w[2], NormalisedHex(w[3]), "<none>");
        } else {
            Report(line, "frame " + w[2], NormalisedHex(w[3]),
                   Hex(frame.bytes, frame.bytes.size() >= 2 ? frame.bytes.size() - 2 : 0));
            Report(line, "checksum of frame " + w[2], "good", frame.crc_ok ? "good" : "bad");
        }
    } else if (what == "sim-frames") {
        Need(line, 3);
        Report(line, "frames received", w[2], std::to_string(Running(line).Frames().size()));
    } else if (what == "sim-line") {
        // expect sim-line BAUD none|none2|odd|even: as the master had set the
        // line for the latest frame.
        Need(line, 4);
        std::vector<sim::Frame> frames = Running(line).Frames();
        sim::LineSettings l = frames.empty() ? Running(line).Line() : frames.back().line;
        Report(line, "line settings", w[2] + " " + w[3],
               std::to_string(l.baud) + " " + ParityName(l.parity));
    } else if (what == "sim-holding" || what == "sim-coil") {
        // expect sim-holding SLAVE ADDR VALUE, expect sim-coil SLAVE ADDR 0|1
        Need(line, 5);
        sim::RegisterBank& bank = Bank(line, w[2]);
        uint16_t address = uint16_t(Int(w[3]));
        long found = what == "sim-holding" ? long(bank.Holding(address)) : long(bank.Coil(address));
        Report(line, what + " " + w[3], std::to_string(Int(w[4])), std::to_string(found));
    } else {
        return false;
    }
    return true;
}

// `sim config-module A,BAUD,PARITY,RESET`: a module in configuration mode at
// address 248 holding these settings; `sim config-module off` removes it.
void ConfigModule(const ScenarioLine& line)
{
    Need(line, 3);
    sim::Simulator& simulator = Running(line);
    if (line.words[2] == "off") {
        simulator.EnableConfigModule(false);
        return;
    }
    unsigned long address, baud, parity, reset_time;
    if (std::sscanf(line.words[2].c_str(), "%lu,%lu,%lu,%lu", &address, &baud, &parity,
                    &reset_time) != 4)
        Problem(line, "config-module needs ADDRESS,BAUD,PARITY,RESET or off");
    sim::ModuleConfig config;
    config.address = uint8_t(address);
    config.baud = uint32_t(baud);
    config.parity = uint8_t(parity);
    config.reset_time = uint16_t(reset_time);
    simulator.SetModuleConfig(config);
    simulator.EnableConfigModule(true);
}

// --- The access password -------------------------------------------------------

// `password-folder PATH`: keeps the access password of a scenario away from
// the user's own (use it before `start`). `password-store TEXT`: stores TEXT
// as the password, as Setup > Password would (the store is refused unless
// it is the user's own private file).
bool PasswordAction(const ScenarioLine& line)
{
    if (line.words.size() != 2)
        return false;
    if (line.words[0] == "password-folder") {
        app::SetPasswordFolderForTests(ExpandDir(line.words[1]));
        return true;
    }
    if (line.words[0] != "password-store")
        return false;
    std::string error;
    if (!app::StorePassword(0, ExpandDir(line.words[1]), &error))
        Problem(line, "cannot store the password: " + error);
    return true;
}

} // namespace

bool ExtraAction(const ScenarioLine& line)
{
    if (PasswordAction(line) || FrameAction(line) || ScanAction(line))
        return true;
    const auto& w = line.words;
    if (w[0] != "sim")
        return false;
    if (w.size() < 2)
        Problem(line, "\"sim\" needs a verb");
    const std::string& verb = w[1];
    if (verb == "start") {
        Start(line);
    } else if (verb == "stop") {
        if (bus.simulator)
            bus.simulator->Stop();
    } else if (verb == "slave") {
        Need(line, 3);
        bus.banks[int(Int(w[2]))] = Running(line).AddGenericSlave(uint8_t(Int(w[2])));
    } else if (verb == "slave-line") {
        // sim slave-line A BAUD PARITY [garbage]: a generic slave at A set to
        // its own baud rate and parity code.
        Need(line, 5);
        const uint8_t a = uint8_t(Int(w[2]));
        bus.banks[a] = Running(line).AddGenericSlave(a);
        Running(line).SetSlaveLine(
            a, sim::LineSettings(0, int32_t(Int(w[3])), serial::ParityFromCode(int(Int(w[4])))),
            w.size() > 5 && w[5] == "garbage");
    } else if (verb == "only-function3") {
        // sim only-function3 A: a generic slave at A silent to every other function.
        Need(line, 3);
        auto bank = std::make_shared<sim::RegisterBank>();
        bus.banks[int(Int(w[2]))] = bank;
        Running(line).AddSlave(uint8_t(Int(w[2])), sim::OnlyFunction(3, sim::GenericSlave(bank)));
    } else if (verb == "module") {
        // sim module A MODEL VERSION [held]: its registers take set-holding,
        // set-input and sim-holding like a generic slave's.
        Need(line, 5);
        sim::ModelOptions model{w[3], w[4], !(w.size() > 5 && w[5] == "held")};
        bus.banks[int(Int(w[2]))] = sim::AddModuleModel(Running(line), uint8_t(Int(w[2])), model);
    } else if (verb == "set-holding" || verb == "set-input" || verb == "set-coil" ||
               verb == "set-discrete") {
        SetTable(line);
    } else if (verb == "config-module") {
        ConfigModule(line);
    } else if (verb == "fault") {
        InjectFault(line);
    } else if (verb == "clear-faults") {
        Running(line).ClearFaults();
    } else if (verb == "clear-frames") {
        Running(line).ClearFrames();
    } else {
        Problem(line, "unknown sim verb \"" + verb + "\"");
    }
    return true;
}

bool ExtraExpectation(const ScenarioLine& line)
{
    return FrameExpectation(line) || ScanExpectation(line) || ExpectOnBus(line);
}

} // namespace script
