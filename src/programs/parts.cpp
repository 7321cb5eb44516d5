// The table of the program's parts that the shell dispatches to.
#include "programs/parts.h"

#include "analyzer/analyzer_tool.h"
#include "app/command_ids.h"
#include "monitor/monitor_window.h"
#include "tools/configure/configure_tool.h"
#include "tools/scan/scan_tool.h"
#include "tools/test_function/test_function_tool.h"
#include "tools/test_module/test_module_tool.h"

namespace programs {

namespace {

constexpr app::IdRange kNone{0, -1};

} // namespace

const app::Parts& AllParts()
{
    static const app::Parts kParts = {
        {{
            {"MODULE_CFG",
             configure::Open,
             configure::Close,
             configure::Command,
             nullptr,
             {app::kConfigureIds, kNone},
             {}},
            // The identification form, then one block per module panel.
            {"MODULE_TEST",
             test_module::Open,
             test_module::Close,
             test_module::Command,
             test_module::Tick,
             {app::kTestModuleIds, app::kModulePanelIds},
             {}},
            {"FUNCTION_TEST",
             test_function::Open,
             test_function::Close,
             test_function::Command,
             test_function::Tick,
             {app::kTestFunctionIds, kNone},
             {}},
            {"ANALYZER",
             analyzer::Open,
             analyzer::Close,
             analyzer::Command,
             analyzer::Tick,
             {app::kAnalyzerIds, kNone},
             {nullptr, nullptr, analyzer::WindowClosed}},
            {"BUS_SCAN",
             scan::Open,
             scan::Close,
             scan::Command,
             nullptr,
             {app::kScanIds, kNone},
             {}},
        }},
        {
            {app::cmd::kCommunicationMonitor,
             monitor::OpenMonitor,
             {monitor::OnLineWindowCommand, monitor::OnLineWindowRefresh,
              monitor::OnLineWindowClosed}},
        },
    };
    return kParts;
}

} // namespace programs
