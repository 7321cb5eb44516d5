// A bare master for the simulator's tests: opens the link, sets the line as
// the program's serial port does and moves raw bytes.
#pragma once

#include "modbus/codec.h"

#include <string>

class RawMaster {
public:
    ~RawMaster() { Close(); }
    // parity_code as the program's: 0 none + 2 stops, 1 odd, 2 even, 3 none.
    bool Open(const std::string& path, unsigned baud, int parity_code);
    void Close();
    void Send(const modbus::Bytes& bytes);
    // Bytes until `count` have come or timeout_s has passed.
    modbus::Bytes Receive(size_t count, double timeout_s);
    // A request with its checksum, and the reply of expected_size bytes.
    modbus::Bytes Ask(uint8_t address, uint8_t function, const modbus::Bytes& data,
                      size_t expected_size, double timeout_s = 2.0);

private:
    int fd_ = -1;
};
