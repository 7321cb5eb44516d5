// The requests the tools make on the bus. Each one does a whole job: clears
// or sets the status bar, opens the port on demand with SerialSettings, sends
// one request composed from decimal texts, checks what came back and puts the
// result where the tool wants it. The result code is 0 on success; any other
// code has already been shown to the user (the port is then closed and Auto
// Read stopped) and the result control, returned texts and keys are left as
// they were.
//
// Controls are named by their identifier on the main window. Addresses and
// quantities are decimal texts as they stand in keys or boxes; they are
// quoted unchanged in the status texts. Values to write are taken from the
// value control at the moment of the request.
//
// Reads are quiet under Auto Read: while AutoReadActive is set they leave the
// status bar to the tool. Writes always report.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "modbus/result_codes.h"

namespace modbus {

// List reads (functions 1 to 4): the result control receives one line per
// item, "00100 > 1 " or "00100 > 00005   00000000.00000101 ", each ended by
// CR LF.
ResultCode ReadCoilList(uint8_t slave, int result_id, const std::string& start,
                        const std::string& quantity);
ResultCode ReadDiscreteInputList(uint8_t slave, int result_id, const std::string& start,
                                 const std::string& quantity);
ResultCode ReadHoldingRegisterList(uint8_t slave, int result_id, const std::string& start,
                                   const std::string& quantity);
ResultCode ReadInputRegisterList(uint8_t slave, int result_id, const std::string& start,
                                 const std::string& quantity);

// One register: as decimal text, as the low byte in 8 binary digits, or as
// 16 binary digits.
ResultCode ReadInputRegister(uint8_t slave, int result_id, const std::string& address);
ResultCode ReadInputRegisterBits8(uint8_t slave, int result_id, const std::string& address);
ResultCode ReadInputRegisterBits16(uint8_t slave, int result_id, const std::string& address);
ResultCode ReadHoldingRegister(uint8_t slave, int result_id, const std::string& address);
ResultCode ReadHoldingRegisterBits8(uint8_t slave, int result_id, const std::string& address);

// Single writes. A coil goes OFF only for the value text "0"; the register
// of WriteRegisterBits is the value text's leading run of binary digits.
// WriteRegister and the two list writes of registers refuse a value no
// register holds (below -32768 or above 65535): nothing is sent, the box
// turns ErrorColour, the status bar says which value, and the result is
// kValueRefused.
ResultCode WriteRegister(uint8_t slave, int value_id, const std::string& address);
ResultCode WriteRegisterBits(uint8_t slave, int value_id, const std::string& address);
ResultCode WriteCoil(uint8_t slave, int value_id, const std::string& address);

// Multiple writes: one item per line of the values control; a missing line
// is OFF or 0. A coil is ON only for a line that is exactly "1".
ResultCode WriteCoilList(uint8_t slave, int values_id, const std::string& start,
                         const std::string& quantity);
ResultCode WriteRegisterList(uint8_t slave, int values_id, const std::string& start,
                             const std::string& quantity);
// Function 23: writes, then lists the registers read into the result control.
ResultCode WriteReadRegisterList(uint8_t slave, int values_id, const std::string& write_start,
                                 const std::string& write_quantity, int result_id,
                                 const std::string& read_start, const std::string& read_quantity);

// Report Slave ID: *model and *version receive the raw 8 bytes at reply data
// bytes 2..9 and 11..18 (not trimmed). Waits 0.5 s afterwards, with the
// window alive.
ResultCode ReadSlaveInfo(uint8_t slave, std::string* model, std::string* version);

// How a channel turns a register word into the text it shows, and a typed
// text back into the word to write.
struct ValueConversion {
    std::function<std::string(uint16_t word)> word_to_text;
    std::function<uint16_t(const std::string& text)> text_to_word;
};

ResultCode ReadChannelInput(uint8_t slave, int result_id, const std::string& address,
                            const ValueConversion& conversion);
ResultCode ReadChannelHolding(uint8_t slave, int result_id, const std::string& address,
                              const ValueConversion& conversion);
ResultCode WriteChannelHolding(uint8_t slave, int value_id, const std::string& address,
                               const ValueConversion& conversion);

// `count` registers from `start` (function 3 or 4) in one request, for
// channels that span more than one register or share one request.
// `deliver` gets the words, in address order, before the status text is
// set; a broadcast delivers nothing.
ResultCode ReadRegisterBlock(uint8_t function, uint8_t slave, const std::string& start,
                             uint16_t count,
                             const std::function<void(const std::vector<uint16_t>&)>& deliver);
// Registers from `address` written with function 16, all in one request.
ResultCode WriteRegisterWords(uint8_t slave, const std::string& address,
                              const std::vector<uint16_t>& words);

} // namespace modbus
