// A bus scan under way: one try at a time on a line of its own, so that the
// window (or a script) decides between tries whether to go on. Failures of a
// try are what a scan is made of, not errors: none is reported as the
// program's requests report theirs; only a line that cannot be opened ends
// the scan, with its reason.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/serial_line.h"
#include "tools/scan/scan_plan.h"

namespace modbus {
class Link;
}

namespace scan {

class Scanner {
public:
    Scanner();
    ~Scanner(); // closes its line
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

    // Checks the settings and plans the tries on `line` (port or network;
    // its baud rate and parity are replaced by each try's on a serial port).
    // Returns the refusal, with nothing sent, or empty when the scan may run.
    // The program's own line is closed first: the port is the scan's now.
    std::string Begin(const Settings& settings, const serial::LineSettings& line, double timeout_s);
    // Makes the next try. False when none is left or the line failed
    // (LineFailure says why); the line is then closed.
    bool Step();
    // Ends the scan early or late and closes the line.
    void Finish();

    bool Network() const;
    size_t TriesDone() const;
    size_t TriesTotal() const;
    // The try Step makes next; nullptr when none is left.
    const Try* NextTry() const;
    const std::vector<Finding>& Findings() const;
    const std::string& LineFailure() const;
    double ElapsedSeconds() const;
    // At most, were every address left silent.
    double RemainingSeconds() const;
    // The whole scan, were every address silent.
    double EstimatedSeconds() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace scan
