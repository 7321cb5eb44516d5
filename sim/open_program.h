// A program the simulator starts once its slaves are served, and outlives
// by no more than a moment: the demo's launcher (regscope-sim --open),
// which on Windows, without a shell script around it, is what starts the
// simulator and RegScope together and stops the one when the other closes.
#pragma once

#include <string>

namespace sim {

// Starts `program` in the working folder, without arguments. False with
// *error set when it cannot be started.
bool OpenProgram(const std::string& program, std::string* error);
// True once the program opened has ended (or none is open).
bool OpenedProgramEnded();

} // namespace sim
