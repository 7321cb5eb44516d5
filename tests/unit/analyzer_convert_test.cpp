// A channel's raw word to the shown text and back.
#include <gtest/gtest.h>

#include <cfloat>
#include <random>

#include "analyzer/channel_convert.h"

namespace {

using analyzer::AnalyzerChannel;
using analyzer::ConvertBack;
using analyzer::ConvertRaw;

// A freshly created channel: unsigned, mask FFFF, no shift, gain 1, offset 0, "0.0".
AnalyzerChannel Fresh()
{
    AnalyzerChannel ch;
    ch.mask = 0xFFFF;
    ch.gain = 1.0f;
    ch.offset = 0.0f;
    ch.format = analyzer::Picture("0.0");
    return ch;
}

AnalyzerChannel Signed()
{
    AnalyzerChannel ch = Fresh();
    ch.is_signed = analyzer::kTrue;
    return ch;
}

uint16_t Word(const AnalyzerChannel& ch, const char* text)
{
    analyzer::WordToWrite w = ConvertBack(ch, text);
    EXPECT_TRUE(w.ok) << text << ": " << w.problem;
    return w.word;
}

} // namespace

TEST(AnalyzerConvert, RawWordToShownText)
{
    EXPECT_EQ(ConvertRaw(Fresh(), 1234), "1234.0");

    AnalyzerChannel masked = Fresh();
    masked.mask = 0x0FF0;
    masked.shift = 4;
    EXPECT_EQ(analyzer::ScaleRaw(masked, 0x1234), 35.0);

    // Mask and shift belong to unsigned channels only.
    AnalyzerChannel s = Signed();
    s.mask = 0x00F0;
    s.shift = 3;
    EXPECT_EQ(ConvertRaw(s, 0xFFFF), "-1.0");
    EXPECT_EQ(ConvertRaw(s, 0x7FFF), "32767.0");
    EXPECT_EQ(ConvertRaw(s, 0x8000), "-32768.0");

    AnalyzerChannel scaled = Fresh();
    scaled.gain = 0.1f;
    scaled.offset = -10.0f;
    EXPECT_EQ(ConvertRaw(scaled, 0x00FF), "15.5");
}

TEST(AnalyzerConvert, ShiftsOutsideTheWordAreSafe)
{
    // Only a hand-edited file holds these; nothing may shift by 16 or more
    // bits of a native integer.
    AnalyzerChannel ch = Fresh();
    ch.shift = 40;
    EXPECT_EQ(analyzer::ScaleRaw(ch, 0xFFFF), 0.0);
    EXPECT_EQ(Word(ch, "1"), 0);
    ch.shift = -3;
    EXPECT_EQ(analyzer::ScaleRaw(ch, 0x1234), double(0x1234));
    EXPECT_EQ(Word(ch, "7"), 7);
}

TEST(AnalyzerConvert, TextToWordWrapsAndRoundsToEven)
{
    EXPECT_EQ(Word(Signed(), "-1"), 0xFFFF);
    EXPECT_EQ(Word(Signed(), "-32768"), 0x8000);
    EXPECT_EQ(Word(Fresh(), "70000"), 0x1170);
    EXPECT_EQ(Word(Fresh(), "2.5"), 2);
    EXPECT_EQ(Word(Fresh(), "3.5"), 4);
    EXPECT_EQ(Word(Fresh(), "-0.5"), 0);
    EXPECT_EQ(Word(Fresh(), "abc"), 0);
    // Unsigned negative values keep their two's complement bits.
    EXPECT_EQ(Word(Fresh(), "-2"), 0xFFFE);

    AnalyzerChannel masked = Fresh();
    masked.mask = 0x0FF0;
    masked.shift = 4;
    EXPECT_EQ(Word(masked, "35"), 0x0230);
    EXPECT_EQ(Word(masked, "4096"), 0) << "bits shifted past the mask are dropped";

    AnalyzerChannel scaled = Fresh();
    scaled.gain = 0.1f;
    scaled.offset = -10.0f;
    EXPECT_EQ(Word(scaled, "15.5"), 0x00FF);
}

TEST(AnalyzerConvert, NoWordWithoutAFiniteIntegerOf64Bits)
{
    AnalyzerChannel zero = Fresh();
    zero.gain = 0;
    analyzer::WordToWrite w = ConvertBack(zero, "12.5");
    EXPECT_FALSE(w.ok);
    EXPECT_EQ(analyzer::NotWrittenText(4, w),
              "CH05 not written: its gain is 0, so no register value gives \"12.5\"");

    // 2^63 and more, or an infinite quotient, has no integer to wrap.
    AnalyzerChannel tiny = Fresh();
    tiny.gain = FLT_TRUE_MIN;
    const std::string huge(400, '9');
    for (const auto& [ch, text] : {std::pair{Fresh(), huge},
                                   {tiny, std::string("1e9")},
                                   {Fresh(), std::string("9223372036854775808")},
                                   {Fresh(), std::string("-9223372036854777856")}}) {
        w = ConvertBack(ch, text);
        EXPECT_FALSE(w.ok) << text;
        EXPECT_NE(w.problem.find("too large for a register value"), std::string::npos);
    }
    // The largest and smallest 64-bit values still wrap.
    EXPECT_EQ(Word(Fresh(), "9223372036854774784"), 0xFC00);
    EXPECT_EQ(Word(Signed(), "-9223372036854775808"), 0);
}

// The address is what the request's encoder makes of the text.
TEST(AnalyzerConvert, WordAddressMustBeANumberOfSixteenBits)
{
    for (const auto& [text, address] : {std::pair{"0", 0},
                                        {"65535", 65535},
                                        {" 17 ", 17},
                                        {"000100", 100},
                                        {"5.5", 6},
                                        {"+5", 5},
                                        {"4.5", 4},
                                        {"12a", 12},
                                        {"-0.4", 0}}) {
        analyzer::WordAddress a = analyzer::ParseWordAddress(0, text);
        EXPECT_TRUE(a.ok) << text;
        EXPECT_EQ(a.address, address);
    }
    for (const char* text : {"", "65536", "-1", "65535.5", "a12", ".", "999999"}) {
        analyzer::WordAddress a = analyzer::ParseWordAddress(11, text);
        EXPECT_FALSE(a.ok) << text;
        EXPECT_EQ(a.problem, std::string("CH12: word address \"") + text +
                                 "\" is not a number from 0 to 65535; nothing was sent");
    }
}

// What the user reads is what gets written back, for every word, as long as
// the picture shows finer steps than the gain.
TEST(AnalyzerConvert, EveryWordSurvivesTextAndBack)
{
    struct Case {
        bool is_signed;
        float gain, offset;
        const char* format;
    } cases[] = {
        {false, 1.0f, 0.0f, "0.0"},    {true, 1.0f, 0.0f, "0.0"},
        {false, 1.0f, 0.0f, ""},       {true, 1.0f, 0.0f, "#"},
        {false, 0.1f, -10.0f, "0.00"}, {true, 0.01f, 5.5f, "0.000"},
        {true, -2.5f, 100.0f, "0"},    {false, 1e-3f, 0.0f, "0.0000"},
        {true, 1234.5f, -3.25f, ""},   {false, 0.3f, 0.7f, "000.00 V"},
    };
    for (const Case& c : cases) {
        AnalyzerChannel ch = Fresh();
        ch.is_signed = c.is_signed ? analyzer::kTrue : 0;
        ch.gain = c.gain;
        ch.offset = c.offset;
        ch.format = analyzer::Picture(c.format);
        for (unsigned raw = 0; raw <= 0xFFFF; ++raw) {
            const std::string text = ConvertRaw(ch, uint16_t(raw));
            const analyzer::WordToWrite w = ConvertBack(ch, text);
            ASSERT_TRUE(w.ok && w.word == raw)
                << "raw " << raw << " shown as \"" << text << "\" came back as " << w.word
                << " (signed " << c.is_signed << ", gain " << c.gain << ", offset " << c.offset
                << ", format \"" << c.format << "\")";
        }
    }
}

TEST(AnalyzerConvert, MaskedWordsComeBackWithinTheirMask)
{
    std::mt19937 random(20240305);
    AnalyzerChannel ch = Fresh();
    for (int i = 0; i < 2000; ++i) {
        ch.mask = uint16_t(random());
        ch.shift = int16_t(random() % 16);
        const uint16_t raw = uint16_t(random());
        const uint16_t kept = uint16_t(raw & ch.mask & (0xFFFFu >> ch.shift << ch.shift));
        ASSERT_EQ(Word(ch, ConvertRaw(ch, raw).c_str()), kept)
            << "seed 20240305, step " << i << ", mask " << ch.mask << ", shift " << ch.shift;
    }
}
