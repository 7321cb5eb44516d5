// What both Auto Read benchmarks share: a folder with the program's files set
// for a 10-register Auto Read in the Test function tool, a paced simulator on
// COM1 there, and the clocks the figures are taken with.
#pragma once

#include <string>

#include "sim/sim.h"

namespace bench {

constexpr int kBaud = 115200;

// CPU time of the calling thread only: the simulator serves on another one.
double ThreadCpuSeconds();

// Makes `folder` the working directory with the program's files (created
// with their defaults when missing) set for the benchmark: Test function,
// function 3, start 0, quantity 10, kBaud even parity, `sample_time_s`.
// The password store is kept inside the folder.
void PrepareFolder(const std::string& folder, double sample_time_s);

// A generic slave at address 1 on COM1 in the working directory, replying
// at the line's real byte time. False when no pty can be had.
bool StartPacedBus(sim::Simulator* bus);

// The user's "OK" in the header (opens the function 3 sub-form) and its
// "Auto Read" button, through the tool's own command handler.
// Starts the program on the given folder's files with every tool.
bool StartProgram();
void OpenReadSubForm();
void PressAutoRead();

// A new sampling time while Auto Read runs, as the Setup menu sets it.
void SetSampleTime(double seconds);

// Around the part whose instructions count, when run under
//   valgrind --tool=callgrind --instr-atstart=no --separate-threads=yes
// (repeatable on a loaded machine, where CPU times are not); no-ops else.
void CountInstructions(bool on);

} // namespace bench
