// The menu commands of the main window. The numbers are what the menu, the
// accelerators, the help texts and the dispatch agree on.
#pragma once

namespace app::cmd {

constexpr int kLoad = 1101;
constexpr int kSaveAs = 1201;
constexpr int kExit = 1301;

// Tools menu: tool n (CurrentTool 1..4) is kFirstTool + n - 1; the fifth
// came after the monitor had its number.
constexpr int kConfigureModule = 2101;
constexpr int kTestModule = 2102;
constexpr int kTestFunction = 2103;
constexpr int kAnalyzer = 2104;
constexpr int kFirstTool = kConfigureModule;
constexpr int kToolCount = 5;
// Last in the Tools menu, and not a tool: its window opens beside any tool.
constexpr int kCommunicationMonitor = 2105;
constexpr int kScanBus = 2106;

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

constexpr int ToolCommand(int tool) { return tool == 5 ? kScanBus : kFirstTool + tool - 1; }
// The tool (1..kToolCount) a menu command opens; 0 for any other command.
constexpr int ToolOfCommand(int id)
{
    for (int tool = 1; tool <= kToolCount; ++tool)
        if (ToolCommand(tool) == id)
            return tool;
    return 0;
}
constexpr int PortCommand(int port) { return kFirstPort + port - 1; }
constexpr int ParityCommand(int parity) { return kFirstParity + parity; }

} // namespace app::cmd
