// Scenario lines beyond the window and the files: the simulated bus and
// anything later parts of the program need. Each returns false when it does
// not know the line's verb.
#pragma once

#include "script/scenario.h"

namespace script {

bool ExtraAction(const ScenarioLine& line);
bool ExtraExpectation(const ScenarioLine& line);

// The word with every "$DIR" replaced by the scenario's working folder, and
// "$SIM_TCP", "$SIM_RTU_TCP" by the simulator's ports.
std::string ExpandDir(const std::string& word);
// The port of "$SIM_TCP" or "$SIM_RTU_TCP" as text ("0" when not served).
std::string SimPort(const std::string& variable);

// Counts a failed expectation of an extra line, printed as "name:line: what".
void ScenarioFail(const ScenarioLine& line, const std::string& what);

// "01 03 00 0a" and "0103000A" both give "01 03 00 0A".
std::string NormalisedHex(const std::string& hex);

// The frames the program put on the line and got back (scenario_frames.cpp):
// the capture switched on, "expect frame" lines checking them in order from
// the start of the run, and the trace file (none when trace_path is empty),
// which gets the lines of every transaction the moment it ends, so that a
// killed run loses at most the last one; FinishTrace (also when the process
// ends) closes it.
void StartFrames(const std::string& trace_path);
void FinishTrace();
bool FrameAction(const ScenarioLine& line);
bool FrameExpectation(const ScenarioLine& line);

// The bus scan (scenario_scan.cpp).
bool ScanAction(const ScenarioLine& line);
bool ScanExpectation(const ScenarioLine& line);

// regscope-script scan ...: a scan from the command line, the list on
// standard output (scan_command.cpp). Returns the exit code.
int RunScanCommand(int argc, char** argv);

} // namespace script
