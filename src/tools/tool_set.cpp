// The table of tools the shell dispatches to.
#include "tools/tool_set.h"

namespace tools {

const app::ToolSet& All()
{
    static const app::ToolSet kTools = {{
        {"MODULE_CFG", configure::Open, configure::Close, configure::Command, nullptr,
         {{10000, 10999}, {0, -1}}},
        // Identification 20000..20999, then one block per module panel.
        {"MODULE_TEST", test_module::Open, test_module::Close, test_module::Command,
         test_module::Tick, {{20000, 26999}, {40000, 41999}}},
        {"FUNCTION_TEST", test_function::Open, test_function::Close, test_function::Command,
         test_function::Tick, {{50000, 59999}, {0, -1}}},
        {"ANALYZER", analyzer::Open, analyzer::Close, analyzer::Command, analyzer::Tick,
         {{60000, 60999}, {0, -1}}},
    }};
    return kTools;
}

} // namespace tools
