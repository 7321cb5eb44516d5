// Request data composed from texts, reply content checks and listings.
#include <gtest/gtest.h>

#include "modbus/requests_compose.h"
#include "modbus/result_codes.h"

namespace {

TEST(RequestData, BinaryTextTakesTheLeadingRunOfBinaryDigits)
{
    EXPECT_EQ(modbus::BinaryTextValue("1021"), 2);
    EXPECT_EQ(modbus::BinaryTextValue(" 11"), 0);
    EXPECT_EQ(modbus::BinaryTextValue("10000000000000001"), 1); // seventeen digits: low 16 bits
}

// The frames of the list writes are the Test function scenarios'; here, what
// they leave out: the ninth coil and an empty last line.
TEST(RequestData, ListsFillMissingLinesAndPackTheNinthCoilInTheSecondByte)
{
    EXPECT_EQ(modbus::WriteCoilListData("16", "9", "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n1"),
              (modbus::Bytes{0x00, 0x10, 0x00, 0x09, 0x02, 0x80, 0x01}));
    EXPECT_EQ(modbus::WriteRegisterListData("0", "2", "9\r\n"),
              (modbus::Bytes{0x00, 0x00, 0x00, 0x02, 0x04, 0x00, 0x09, 0x00, 0x00}));
}

// What fits a register is sent as ever (-1 as FF FF, a text without a
// number as 0); the rest would go out cut to its low 16 bits.
TEST(RequestData, ValuesNoRegisterHoldsAreRefused)
{
    for (const char* fits : {"-1", "-32768", "65535", "65535.4", "-32768.5", "abc", ""})
        EXPECT_EQ(modbus::WordValueProblem(fits), "") << fits;
    EXPECT_EQ(modbus::WordValueProblem("70000"),
              "Not written: value \"70000\" does not fit a register. Valid: -32768÷65535");
    EXPECT_EQ(modbus::WordValueProblem("-32769"),
              "Not written: value \"-32769\" does not fit a register. Valid: -32768÷65535");
    EXPECT_EQ(modbus::WordValueProblem("65535.5"),
              "Not written: value \"65535.5\" does not fit a register. Valid: -32768÷65535");
    EXPECT_EQ(modbus::WordListProblem("3", "1\r\n70000\r\n-40000"),
              "Not written: value 2, \"70000\", does not fit a register. Valid: -32768÷65535");
    // Lines beyond the quantity are not sent.
    EXPECT_EQ(modbus::WordListProblem("1", "1\r\n70000"), "");
}

TEST(ReplyChecks, AByteCountTheReplyCannotHoldIsBad)
{
    std::string message;
    // A count that fits but a reply too short to hold it never reaches a listing.
    EXPECT_EQ(modbus::CheckByteCount(modbus::Bytes{2, 0}, 2, &message), modbus::kBadByteCount);
    // 128 registers count 256, which a one-byte field cannot carry.
    modbus::Bytes reply(257, 0);
    EXPECT_EQ(modbus::CheckByteCount(reply, 256, &message), modbus::kBadByteCount);
}

TEST(Listings, AddressesWrapAfter65535)
{
    EXPECT_EQ(modbus::WordListing(65535, 2, modbus::Bytes{4, 0xFF, 0xFF, 0x80, 0x00}),
              "65535 > 65535   11111111.11111111 \r\n"
              "00000 > 32768   10000000.00000000 \r\n");
    // Nine inputs: items 1 and 3 in the first byte, the ninth from bit 0 of the second.
    EXPECT_EQ(modbus::BitListing(65534, 9, modbus::Bytes{2, 0x05, 0x01}),
              "65534 > 1 \r\n65535 > 0 \r\n00000 > 1 \r\n00001 > 0 \r\n00002 > 0 \r\n"
              "00003 > 0 \r\n00004 > 0 \r\n00005 > 0 \r\n00006 > 1 \r\n");
}

} // namespace
