// The menu commands of the main window. The numbers are what the menu, the
// accelerators, the help texts and the dispatch agree on.
#pragma once

namespace app::cmd {

constexpr int kLoad = 1101;
constexpr int kSaveAs = 1201;
constexpr int kExit = 1301;

// Tools menu: tool n (CurrentTool 1..4) is kFirstTool + n - 1.
constexpr int kConfigureModule = 2101;
constexpr int kTestModule = 2102;
constexpr int kTestFunction = 2103;
constexpr int kAnalyzer = 2104;
constexpr int kFirstTool = kConfigureModule;
constexpr int kToolCount = 4;
// Last in the Tools menu, and not a tool: its window opens beside any tool.
constexpr int kCommunicationMonitor = 2105;

// Serial port COMn is kFirstPort + n - 1.
constexpr int kFirstPort = 3101;
constexpr int kPortCount = 8;
// After COM8: a network line (SERIAL_NET) instead of a port.
constexpr int kNetwork = 3109;
constexpr int kBaudrate = 3201;
// Parity code p (0..3) is kFirstParity + p.
constexpr int kFirstParity = 3301;
constexpr int kParityCount = 4;
constexpr int kTimeout = 3401;
constexpr int kSamplingTime = 3501;
constexpr int kTimeCalibration = 3601;
constexpr int kPassword = 3701;
constexpr int kAbout = 4101;

constexpr int ToolCommand(int tool) { return kFirstTool + tool - 1; }
constexpr int PortCommand(int port) { return kFirstPort + port - 1; }
constexpr int ParityCommand(int parity) { return kFirstParity + parity; }

} // namespace app::cmd
