// Where each tool's control identifiers lie. The shell routes a control's
// notifications to the tool whose block holds its identifier, so the
// blocks must never overlap one another or the menu commands.
#pragma once

namespace app {

struct IdRange {
    int first, last;
};

// Each block is 1000 identifiers.
constexpr int kIdBlock = 1000;

constexpr int kConfigureBase = 10000;
constexpr int kTestModuleBase = 20000; // the identification form
// A module panel's block: its code (21..26, 40, 41) times kIdBlock.
constexpr int PanelBase(int code) { return code * kIdBlock; }
constexpr int kTestFunctionBase = 50000; // the header row; sub-forms follow
constexpr int kAnalyzerBase = 60000;
constexpr int kScanBase = 70000;

constexpr IdRange kConfigureIds{kConfigureBase, kConfigureBase + kIdBlock - 1};
constexpr IdRange kTestModuleIds{kTestModuleBase, PanelBase(26) + kIdBlock - 1};
constexpr IdRange kModulePanelIds{PanelBase(40), PanelBase(41) + kIdBlock - 1};
constexpr IdRange kTestFunctionIds{kTestFunctionBase, kTestFunctionBase + 10 * kIdBlock - 1};
constexpr IdRange kAnalyzerIds{kAnalyzerBase, kAnalyzerBase + kIdBlock - 1};
constexpr IdRange kScanIds{kScanBase, kScanBase + kIdBlock - 1};

} // namespace app
