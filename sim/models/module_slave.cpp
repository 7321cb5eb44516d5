// A module model as a slave: Report Slave ID, and functions 3, 4, 6 and 16 on
// the registers its layout has. Anything else is refused the way the modules
// refuse it: an unknown function with exception 1, a register the model does
// not have with exception 2, a malformed quantity with exception 3.
#include "sim/models.h"
#include "sim/models/model_layout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sim {
namespace {

// The most registers one RTU frame carries each way.
constexpr unsigned kMaxRead = 125;
constexpr unsigned kMaxWrite = 123;

bool Covers(const std::vector<uint16_t>& present, unsigned start, unsigned n)
{
    for (unsigned a = start; a < start + n; ++a)
        if (std::find(present.begin(), present.end(), a) == present.end())
            return false;
    return true;
}

Reply Read(const std::vector<uint16_t>& table, const std::vector<uint16_t>& present,
           const Request& r)
{
    if (r.data.size() != 4)
        return ExceptionReply(r.function, kIllegalValue);
    unsigned start = Word(r.data, 0), n = Word(r.data, 2);
    if (n < 1 || n > kMaxRead)
        return ExceptionReply(r.function, kIllegalValue);
    if (!Covers(present, start, n))
        return ExceptionReply(r.function, kIllegalAddress);
    Bytes out{r.function, static_cast<uint8_t>(2 * n)};
    for (unsigned i = 0; i < n; ++i)
        PutWord(out, table[start + i]);
    return out;
}

Reply WriteOne(std::vector<uint16_t>& table, const std::vector<uint16_t>& present, const Request& r)
{
    if (r.data.size() != 4)
        return ExceptionReply(r.function, kIllegalValue);
    unsigned address = Word(r.data, 0);
    if (!Covers(present, address, 1))
        return ExceptionReply(r.function, kIllegalAddress);
    table[address] = static_cast<uint16_t>(Word(r.data, 2));
    return Bytes{r.function, r.data[0], r.data[1], r.data[2], r.data[3]};
}

Reply WriteMany(std::vector<uint16_t>& table, const std::vector<uint16_t>& present,
                const Request& r)
{
    if (r.data.size() < 5)
        return ExceptionReply(r.function, kIllegalValue);
    unsigned start = Word(r.data, 0), n = Word(r.data, 2);
    if (n < 1 || n > kMaxWrite || r.data[4] != 2 * n || r.data.size() != 5 + 2 * n)
        return ExceptionReply(r.function, kIllegalValue);
    if (!Covers(present, start, n))
        return ExceptionReply(r.function, kIllegalAddress);
    for (unsigned i = 0; i < n; ++i)
        table[start + i] = static_cast<uint16_t>(Word(r.data, 5 + 2 * i));
    Bytes out{r.function};
    PutWord(out, start);
    PutWord(out, n);
    return out;
}

} // namespace

namespace models {

bool VersionAtLeast(const std::string& version, int major, int minor)
{
    // "r.MM.mmm"
    auto number = [&](size_t pos, size_t len) {
        int v = 0;
        for (size_t i = pos; i < pos + len && i < version.size(); ++i) {
            if (version[i] < '0' || version[i] > '9')
                return -1;
            v = v * 10 + (version[i] - '0');
        }
        return version.size() < pos + len ? -1 : v;
    };
    int ma = number(2, 2), mi = number(5, 3);
    if (ma < 0 || mi < 0)
        return false;
    return ma != major ? ma > major : mi >= minor;
}

uint16_t Wave(double t_s, double period_s, double phase, unsigned lo, unsigned hi)
{
    double mid = (lo + hi) / 2.0, half = (hi - lo) / 2.0;
    return static_cast<uint16_t>(
        std::lround(mid + half * std::sin(2 * std::numbers::pi * t_s / period_s + phase)));
}

} // namespace models

SlaveHandler ModuleModel(std::shared_ptr<RegisterBank> bank, const ModelOptions& options)
{
    models::Layout layout;
    std::string model = options.model.substr(0, 8);
    bool known = models::DigitalLayout(model, options.version, &layout) ||
                 models::AnalogLayout(model, options.version, &layout);
    if (!known)
        layout = models::Layout{};
    if (layout.power_on)
        bank->Access([&](Tables& t) { layout.power_on(t); });

    Bytes id = MakeIdentification(options.model, options.version);
    std::string version = options.version;
    bool moving = options.moving;
    return [bank, layout, id, version, moving](const Request& r) -> Reply {
        return bank->Access([&](Tables& t) -> Reply {
            switch (r.function) {
            case 3: return Read(t.holding, layout.holdings, r);
            case 4:
                if (moving && layout.move)
                    layout.move(t, r.time_s, version);
                return Read(t.input, layout.inputs, r);
            case 6: return WriteOne(t.holding, layout.holdings, r);
            case 16: return WriteMany(t.holding, layout.holdings, r);
            case 17: {
                Bytes out{r.function, static_cast<uint8_t>(id.size())};
                out.insert(out.end(), id.begin(), id.end());
                return out;
            }
            default: return ExceptionReply(r.function, kIllegalFunction);
            }
        });
    };
}

std::shared_ptr<RegisterBank> AddModuleModel(Simulator& sim, uint8_t address,
                                             const ModelOptions& options)
{
    auto bank = std::make_shared<RegisterBank>();
    sim.AddSlave(address, ModuleModel(bank, options));
    return bank;
}

} // namespace sim
