// The link: the one line of the program (the serial port, or a TCP
// connection carrying RTU frames or Modbus TCP), opened on demand and kept
// open between requests, and the transaction engine that sends a request,
// collects its reply and gives the whole verdict on it. A failure closes
// the line and goes, once, to the reporter the program installed; callers
// only pass the result code on (see modbus/result_codes.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "modbus/codec.h"
#include "modbus/reply.h"
#include "modbus/result_codes.h"
#include "platform/serial_line.h"

namespace modbus {

// One failed request as the user is told about it.
struct Failure {
    ResultCode code = kOk;
    std::string message; // the text the user is shown
    int os_error = 0;    // errno of a device that could not be opened, else 0
};

// Receives every failure after the line has been closed. Without one,
// failures are only returned.
using FailureReporter = void (*)(const Failure& failure);

// A line and its state: what carries the bytes, how frames are cut, whether
// it is open, and where failures go. Tests make their own; the program uses
// ProgramLink().
class Link {
public:
    Link();
    ~Link(); // closes the line
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    void SetFailureReporter(FailureReporter reporter);

    // Opens the serial port of `line`, or connects to its network address,
    // waiting timeout_s at most for the connection. Does nothing and returns
    // kOk while the line is open, whatever the settings.
    ResultCode Open(const serial::LineSettings& line, float timeout_s = 1.0f);
    void Close();
    bool IsOpen() const;

    // One request and its reply. *reply receives the reply data (after
    // address and function) only when the reply is good in frame and in
    // the content `shape` asks for. Address 0 is a broadcast: sent, no
    // reply awaited. Every transaction sent is recorded once in the
    // capture, with its verdict.
    ResultCode Transact(uint8_t address, uint8_t function, const Bytes& request, Bytes* reply,
                        const ReplyShape& shape, float timeout_s);

    // What was received for the last transaction, also when it failed: a
    // time-out with bytes is something that answered, not silence (a reply
    // shorter than awaited, another baud rate, a collision).
    const Bytes& LastReply() const;

    // Closes the line and reports the failure. Returns `code`.
    ResultCode Fail(ResultCode code, const std::string& message, int os_error = 0);

private:
    ResultCode OpenNetwork(const serial::LineSettings& line, float timeout_s);

    struct State;
    std::unique_ptr<State> state_;
};

// The line the program's requests use.
Link& ProgramLink();

// The same operations on ProgramLink().
void SetFailureReporter(FailureReporter reporter);
ResultCode OpenPort(const serial::LineSettings& line, float timeout_s = 1.0f);
void ClosePort();
bool PortIsOpen();
ResultCode Transact(uint8_t address, uint8_t function, const Bytes& request, Bytes* reply,
                    const ReplyShape& shape, float timeout_s);
ResultCode ReportFailure(ResultCode code, const std::string& message, int os_error = 0);

// Folder where a file COMn names the device of port n (fixed at start-up).
void SetPortFolder(const std::string& folder);

} // namespace modbus
