// The GUI test scenarios, by name.
#pragma once

#include <functional>
#include <string>

#include "driver.h"

namespace gui {

struct Scenario {
    const char* name;
    std::function<void(Driver&)> build;
};

const Scenario* FindScenario(const std::string& name);

} // namespace gui
