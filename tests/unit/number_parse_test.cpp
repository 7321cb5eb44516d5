// How stored and typed texts become numbers: the leading decimal number,
// correctly rounded, whatever follows it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "strings/number_parse.h"

namespace {

TEST(NumberParse, LeadingDecimalNumberOnly)
{
    EXPECT_EQ(strings::ParseNumber("  +12ab"), 12.0);
    EXPECT_EQ(strings::ParseNumber("-12"), -12.0);
    EXPECT_EQ(strings::ParseNumber("1e3"), 1.0); // no exponent form
    EXPECT_EQ(strings::ParseNumber("5."), 5.0);
    EXPECT_EQ(strings::ParseNumber(".5"), 0.5);
    for (const char* none : {"", "-", ".", "abc", " . 5"})
        EXPECT_EQ(strings::ParseNumber(none), 0.0) << none;
}

TEST(NumberParse, FractionsAreTheNearestDouble)
{
    for (const char* text : {"0.7", "0.3", "1000.0", "0.1", "123.456", "2.675", "-0.7"})
        EXPECT_EQ(strings::ParseNumber(text), std::stod(text)) << text;
    EXPECT_EQ(strings::ParseNumber("12345678901234567890"), 12345678901234567890.0);
}

// 32-bit value boxes take an exponent; an "e" without digits is no part of
// the number.
TEST(NumberParse, ExponentWhenAsked)
{
    const struct {
        const char* text;
        double value;
        size_t length;
    } cases[] = {
        {"3.4e38", 3.4e38, 6},
        {" -1.5E-3x", -1.5e-3, 8},
        {"2e+2", 200.0, 4},
        {"2e", 2.0, 1},
        {"2e-", 2.0, 1},
        {"1e400", HUGE_VAL, 5},
        {"-0.5e400", -HUGE_VAL, 8},
        {"1e-400", 0.0, 6},
        {"e5", 0.0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(strings::ParseNumber(c.text, true), c.value) << c.text;
        EXPECT_EQ(strings::NumberLength(c.text, true), c.length) << c.text;
    }
    EXPECT_EQ(strings::NumberLength("3.4e38"), 3u);
}

TEST(NumberParse, HugeAndTinyTexts)
{
    const std::string huge(400, '9');
    EXPECT_EQ(strings::ParseNumber(huge), HUGE_VAL);
    EXPECT_EQ(strings::ParseNumber("-" + huge), -HUGE_VAL);
    EXPECT_EQ(strings::ParseNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(strings::ParseInteger(huge), 0u);
    EXPECT_EQ(strings::ParseInteger("-1"), UINT64_MAX);
    EXPECT_EQ(strings::ParseInteger("2.5"), 2u); // ties to even
    EXPECT_EQ(strings::ParseInteger("3.5"), 4u);
}

} // namespace
