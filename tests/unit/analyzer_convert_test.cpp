// A channel's raw word to the shown text and back.
#include <gtest/gtest.h>

#include <cfloat>
#include <random>

#include "analyzer/channel_convert.h"

namespace {

using analyzer::AnalyzerChannel;
using analyzer::ConvertBack;
using analyzer::ConvertRaw;

// A freshly created channel is unsigned, mask FFFF, no shift, gain 1,
// offset 0, "0.0".
AnalyzerChannel Ch(bool is_signed = false, float gain = 1.0f, float offset = 0.0f,
                   uint16_t mask = 0xFFFF, int16_t shift = 0, const char* format = "0.0")
{
    AnalyzerChannel ch;
    ch.is_signed = is_signed ? analyzer::kTrue : 0;
    ch.gain = gain;
    ch.offset = offset;
    ch.mask = mask;
    ch.shift = shift;
    ch.format = analyzer::Picture(format);
    return ch;
}

const AnalyzerChannel kMasked = Ch(false, 1.0f, 0.0f, 0x0FF0, 4);
const AnalyzerChannel kScaled = Ch(false, 0.1f, -10.0f);

uint16_t Word(const AnalyzerChannel& ch, const char* text)
{
    analyzer::WordToWrite w = ConvertBack(ch, text);
    EXPECT_TRUE(w.ok) << text << ": " << w.problem;
    return w.word;
}

} // namespace

TEST(AnalyzerConvert, RawWordToShownText)
{
    EXPECT_EQ(ConvertRaw(Ch(), 1234), "1234.0");
    EXPECT_EQ(analyzer::ScaleRaw(kMasked, 0x1234), 35.0);
    EXPECT_EQ(ConvertRaw(kScaled, 0x00FF), "15.5");

    // Mask and shift belong to unsigned channels only.
    const AnalyzerChannel s = Ch(true, 1.0f, 0.0f, 0x00F0, 3);
    EXPECT_EQ(ConvertRaw(s, 0xFFFF), "-1.0");
    EXPECT_EQ(ConvertRaw(s, 0x7FFF), "32767.0");
    EXPECT_EQ(ConvertRaw(s, 0x8000), "-32768.0");

    // Only a hand-edited file holds shifts outside the word; nothing may
    // shift by 16 or more bits of a native integer.
    EXPECT_EQ(analyzer::ScaleRaw(Ch(false, 1.0f, 0.0f, 0xFFFF, 40), 0xFFFF), 0.0);
    EXPECT_EQ(Word(Ch(false, 1.0f, 0.0f, 0xFFFF, 40), "1"), 0);
    EXPECT_EQ(analyzer::ScaleRaw(Ch(false, 1.0f, 0.0f, 0xFFFF, -3), 0x1234), double(0x1234));
    EXPECT_EQ(Word(Ch(false, 1.0f, 0.0f, 0xFFFF, -3), "7"), 7);
}

TEST(AnalyzerConvert, TextToWordRoundsToEvenWithinTheRegister)
{
    const AnalyzerChannel volts = Ch(false, 1.0f, 0.0f, 0xFFFF, 0, "0.0 V");
    const struct {
        AnalyzerChannel ch;
        const char* text;
        uint16_t word;
    } cases[] = {
        {Ch(true), "-1", 0xFFFF},
        {Ch(true), "-32768", 0x8000},
        {Ch(), "65535", 0xFFFF},
        {Ch(), "-32768.5", 0x8000}, // ties to even
        {Ch(), "2.5", 2},
        {Ch(), "3.5", 4},
        {Ch(), "-0.5", 0},
        {Ch(), " 7 ", 7},
        {Ch(), "", 0}, // what "#" shows of a 0
        // Unsigned negative values keep their two's complement bits.
        {Ch(), "-2", 0xFFFE},
        {kMasked, "35", 0x0230},
        {kMasked, "4096", 0}, // bits shifted past the mask are dropped
        {kScaled, "15.5", 0x00FF},
        {Ch(false, 0.01f), "655.35", 0xFFFF},
        // Mask and shift belong to unsigned channels only.
        {Ch(true, 1.0f, 0.0f, 0x0FF0, 4), "-1", 0xFFFF},
        {Ch(true, 1.0f, 0.0f, 0x0FF0, 4), "100", 100},
        // The picture's own unit may follow the number.
        {volts, "12.0 V", 12},
        {volts, " 12 ", 12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Word(c.ch, c.text), c.word) << c.text;
}

// A word cut to its low 16 bits, or a number cut short, would be a set-point
// nobody typed.
TEST(AnalyzerConvert, NoWordForWhatTheRegisterCannotHoldOrIsNotReadWhole)
{
    const struct {
        AnalyzerChannel ch;
        const char* text;
        const char* problem;
    } cases[] = {
        {Ch(), "70000", "\"70000\" is too large for a register value with its gain and offset"},
        {Ch(), "65535.5", "\"65535.5\" is too large for a register value with its gain and offset"},
        {Ch(true), "-32769",
         "\"-32769\" is too small for a register value with its gain and offset"},
        {Ch(false, 0.01f), "700",
         "\"700\" is too large for a register value with its gain and offset"},
        {Ch(false, 1.0f, 100.0f), "-32669",
         "\"-32669\" is too small for a register value with its gain and offset"},
        {Ch(), "1e3", "only \"1\" of \"1e3\" reads as a number"},
        {Ch(), "12ab", "only \"12\" of \"12ab\" reads as a number"},
        {Ch(), "1,234", "only \"1\" of \"1,234\" reads as a number"},
        {Ch(), "XYZ", "\"XYZ\" is no number"},
        {Ch(false, 1.0f, 0.0f, 0xFFFF, 0, "0.0 V"), "12.0 A",
         "only \"12.0\" of \"12.0 A\" reads as a number"},
    };
    for (const auto& c : cases) {
        const analyzer::WordToWrite w = ConvertBack(c.ch, c.text);
        EXPECT_FALSE(w.ok) << c.text;
        EXPECT_EQ(w.problem, c.problem);
    }
}

TEST(AnalyzerConvert, NoWordWithoutAFiniteIntegerOf64Bits)
{
    analyzer::WordToWrite w = ConvertBack(Ch(false, 0.0f), "12.5");
    EXPECT_FALSE(w.ok);
    EXPECT_EQ(analyzer::NotWrittenText(4, w),
              "CH05 not written: its gain is 0, so no register value gives \"12.5\"");

    // 2^63 and more, or an infinite quotient, has no integer to wrap.
    for (const auto& [ch, text] : {std::pair{Ch(), std::string(400, '9')},
                                   {Ch(false, FLT_TRUE_MIN), std::string("1")},
                                   {Ch(), std::string("9223372036854775808")}}) {
        w = ConvertBack(ch, text);
        EXPECT_FALSE(w.ok) << text;
        EXPECT_NE(w.problem.find("too large for a register value"), std::string::npos);
    }
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
// the picture shows finer steps than the gain; masked words come back within
// their mask.
TEST(AnalyzerConvert, EveryWordSurvivesTextAndBack)
{
    for (const AnalyzerChannel& ch :
         {Ch(), Ch(true), Ch(false, 1.0f, 0.0f, 0xFFFF, 0, ""),
          Ch(true, 1.0f, 0.0f, 0xFFFF, 0, "#"), Ch(false, 0.1f, -10.0f, 0xFFFF, 0, "0.00"),
          Ch(true, 0.01f, 5.5f, 0xFFFF, 0, "0.000"), Ch(true, -2.5f, 100.0f, 0xFFFF, 0, "0"),
          Ch(false, 1e-3f, 0.0f, 0xFFFF, 0, "0.0000"), Ch(true, 1234.5f, -3.25f, 0xFFFF, 0, ""),
          Ch(false, 0.3f, 0.7f, 0xFFFF, 0, "000.00 V")}) {
        for (unsigned raw = 0; raw <= 0xFFFF; ++raw) {
            const std::string text = ConvertRaw(ch, uint16_t(raw));
            const analyzer::WordToWrite w = ConvertBack(ch, text);
            ASSERT_TRUE(w.ok && w.word == raw)
                << "raw " << raw << " shown as \"" << text << "\" came back as " << w.word
                << " (signed " << ch.is_signed << ", gain " << ch.gain << ", offset " << ch.offset
                << ", format \"" << ch.format.Text() << "\")";
        }
    }

    std::mt19937 random(20240305);
    AnalyzerChannel ch = Ch();
    for (int i = 0; i < 2000; ++i) {
        ch.mask = uint16_t(random());
        ch.shift = int16_t(random() % 16);
        const uint16_t raw = uint16_t(random());
        const uint16_t kept = uint16_t(raw & ch.mask & (0xFFFFu >> ch.shift << ch.shift));
        ASSERT_EQ(Word(ch, ConvertRaw(ch, raw).c_str()), kept)
            << "seed 20240305, step " << i << ", mask " << ch.mask << ", shift " << ch.shift;
    }
}
