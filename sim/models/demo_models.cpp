// The modules of the demo bus and the command-line form of one module.
#include "sim/models.h"

#include <cstdlib>

namespace sim {

const std::vector<DemoModel>& DemoModels()
{
    // The LED register threshold r.01.003 is met by NODE-T01 exactly, by
    // NODE-T03 through its major number and missed by NODE-T02; the extra
    // NODE-T04 at 10 shows panel 24 without the two codes of r.01.008.
    static const std::vector<DemoModel> kModels = {
        {2, "NODE-T01", "r.01.003"}, {3, "NODE-T02", "r.01.002"}, {4, "NODE-T03", "r.02.000"},
        {5, "NODE-T04", "r.01.008"}, {6, "NODE-T05", "r.01.001"}, {7, "NODE-T06", "r.01.005"},
        {8, "NODE-T07", "r.01.000"}, {9, "NODE-T08", "r.01.010"}, {10, "NODE-T04", "r.01.007"},
    };
    return kModels;
}

void AddDemoModels(Simulator& sim)
{
    for (const DemoModel& m : DemoModels())
        AddModuleModel(sim, m.address, ModelOptions{m.model, m.version, true});
}

bool ParseModelSpec(const std::string& text, uint8_t* address, ModelOptions* options)
{
    size_t eq = text.find('='), colon = text.find(':', eq == std::string::npos ? 0 : eq);
    if (eq == std::string::npos || colon == std::string::npos || eq == 0)
        return false;
    std::string number = text.substr(0, eq);
    if (number.find_first_not_of("0123456789") != std::string::npos || number.size() > 3)
        return false;
    int a = std::atoi(number.c_str());
    std::string model = text.substr(eq + 1, colon - eq - 1);
    std::string version = text.substr(colon + 1);
    if (a < 1 || a > 247 || model.empty() || model.size() > 8 || version.size() > 8)
        return false;
    *address = static_cast<uint8_t>(a);
    options->model = model;
    options->version = version;
    options->moving = true;
    return true;
}

} // namespace sim
