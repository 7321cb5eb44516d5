// The table of tools the shell dispatches to.
#include "tools/tool_set.h"

namespace tools {

namespace {

constexpr app::IdRange kNone{0, -1};

} // namespace

const app::ToolSet& All()
{
    static const app::ToolSet kTools = {{
        {"MODULE_CFG", configure::Open, configure::Close, configure::Command, nullptr,
         {app::kConfigureIds, kNone}},
        // The identification form, then one block per module panel.
        {"MODULE_TEST", test_module::Open, test_module::Close, test_module::Command,
         test_module::Tick, {app::kTestModuleIds, app::kModulePanelIds}},
        {"FUNCTION_TEST", test_function::Open, test_function::Close, test_function::Command,
         test_function::Tick, {app::kTestFunctionIds, kNone}},
        {"ANALYZER", analyzer::Open, analyzer::Close, analyzer::Command, analyzer::Tick,
         {app::kAnalyzerIds, kNone}},
    }};
    return kTools;
}

} // namespace tools
