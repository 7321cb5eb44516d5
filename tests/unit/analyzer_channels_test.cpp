// Loading the 32 channel records from the tool configuration file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <map>
#include <set>

#include "analyzer/channel_store.h"
#include "app/config_store.h"
#include "platform/headless/headless.h"
#include "platform/system.h"
#include "tests/support/program_folder.h"

namespace {

using analyzer::AnalyzerChannel;
using analyzer::ChannelTable;
using analyzer::kTrue;

// Keys served from "KEY=value;KEY=value..." text.
struct MapReader {
    std::map<std::string, std::string> values;
    explicit MapReader(const std::string& text)
    {
        for (size_t at = 0, end; at < text.size(); at = end + 1) {
            end = std::min(text.find(';', at), text.size());
            const size_t eq = text.find('=', at);
            values[text.substr(at, eq - at)] = text.substr(eq + 1, end - eq - 1);
        }
    }
    analyzer::KeyReader Reader()
    {
        return [this](const std::string& key) {
            auto it = values.find(key);
            return it == values.end() ? std::string() : it->second;
        };
    }
};

using AnalyzerFolder = FolderTest;

} // namespace

TEST(AnalyzerChannels, TextsBecomeFieldsByTheirRules)
{
    MapReader r("CH01_ENABLE=0.4;CH01_SIGNED=abc;CH01_PLOT=-2;CH01_SLAVE_ADD=300;CH01_SHIFT=2.5;"
                "CH01_PLOT_WIDTH=3.5;CH01_MASK=zz;CH01_GAIN=0.1;CH01_OFFSET=-10;"
                "CH01_FORE_COLOR=16774371;CH01_WORD_ADD= 12x;CH01_FORMAT=0.00;CH01_TYPE=INPUT_REG;"
                "CH02_MASK=1FFFF;CH02_TYPE=HOLD_REG;CH02_SLAVE_ADD=247.5;CH03_MASK=0ff0 ;"
                "CH03_TYPE=hold_reg;CH04_MASK=  12G4");
    r.values["CH02_OFFSET"] = std::string(60, '9');
    ChannelTable table;
    analyzer::LoadChannelTable(table, r.Reader());
    const AnalyzerChannel& a = table[0];
    EXPECT_EQ(a.enable, kTrue);
    EXPECT_EQ(a.is_signed, 0);
    EXPECT_EQ(a.plot, kTrue);
    EXPECT_EQ(a.slave_add, 300 % 256);
    EXPECT_EQ(a.shift, 2) << "ties to even";
    EXPECT_EQ(a.plot_width, 4);
    EXPECT_EQ(a.mask, 0);
    EXPECT_EQ(a.gain, 0.1) << "as written, for 32-bit channels";
    EXPECT_EQ(a.offset, -10.0);
    EXPECT_EQ(a.fore_color, 16774371u);
    EXPECT_EQ(a.word_add, " 12x") << "kept verbatim for messages";
    EXPECT_EQ(a.format.Text(), "0.00");
    EXPECT_EQ(a.type, analyzer::kInputRegister);
    EXPECT_EQ(a.read_only, kTrue);

    EXPECT_EQ(table[1].mask, 0xFFFF);
    EXPECT_EQ(table[1].type, analyzer::kHoldingRegister);
    EXPECT_EQ(table[1].read_only, 0);
    EXPECT_EQ(table[1].slave_add, 248);
    EXPECT_EQ(table[1].offset, FLT_MAX) << "beyond the float range, held at its limit";
    EXPECT_EQ(table[2].mask, 0x0FF0);
    EXPECT_EQ(table[3].mask, 0x12);
    // Never loaded and not one of the two words: an input register that may be written.
    EXPECT_EQ(table[2].type, analyzer::kInputRegister);
    EXPECT_EQ(table[2].read_only, 0);

    // A later load overwrites in place; a TYPE that is neither word keeps the type.
    r.values["CH01_TYPE"] = "COIL";
    r.values["CH02_TYPE"] = "";
    r.values["CH01_LABEL"] = "Tank";
    analyzer::LoadChannelTable(table, r.Reader());
    EXPECT_EQ(table[0].type, analyzer::kInputRegister);
    EXPECT_EQ(table[0].read_only, kTrue);
    EXPECT_EQ(table[1].type, analyzer::kHoldingRegister);
    EXPECT_EQ(table[1].read_only, 0);
    EXPECT_EQ(table[0].label, "Tank");
}

namespace {

void ExpectMissingKeyReport(int code)
{
    const auto& shown = headless::MessagesShown();
    const bool ok = code == 1 && !shown.empty() && shown[0].text == "Item CH17_SHIFT not found" &&
                    shown[0].title == "Configuration read" &&
                    analyzer::Channels()[15].plot_width == 3 &&
                    analyzer::Channels()[16].mask == 0xFFFF;
    if (!ok)
        _exit(2);
}

} // namespace

TEST_F(AnalyzerFolder, MissingChannelKeyEndsTheProgramLikeAnyOther)
{
    app::CreateDefaultFiles();
    std::string text;
    ASSERT_TRUE(sys::ReadFile(Path("RegScope.cfg"), &text, nullptr));
    const size_t at = text.find("CH17_SHIFT=0\r\n");
    ASSERT_NE(at, std::string::npos);
    text.erase(at, 14);
    ASSERT_TRUE(sys::WriteFileAtomic(Path("RegScope.cfg"), text, nullptr));
    headless::ClearMessages();
    sys::SetExitHook(ExpectMissingKeyReport);
    EXPECT_EXIT(analyzer::LoadChannels(Path("RegScope.cfg")), ::testing::ExitedWithCode(1), "");
}

// The demo's file must stay the default file with eight live channels: a key
// added to the defaults and missing there would end the demo at once.
TEST_F(AnalyzerFolder, DemoFileIsTheDefaultWithEightInputChannels)
{
    app::CreateDefaultFiles();
    std::string defaults;
    ASSERT_TRUE(sys::ReadFile(Path("RegScope.cfg"), &defaults, nullptr));
    const std::string demo = REGSCOPE_SOURCE_DIR "/scripts/analyzer-demo.cfg";
    std::string value;
    for (size_t at = 0, eq; (eq = defaults.find('=', at)) != std::string::npos;
         at = defaults.find('\n', eq)) {
        const std::string key = defaults.substr(at, eq - at);
        EXPECT_TRUE(app::FindConfigKey(demo, key.substr(key.rfind('\n') + 1), &value)) << key;
    }

    analyzer::LoadChannels(demo);
    std::set<uint32_t> colours;
    for (int i = 0; i < 32; ++i) {
        const AnalyzerChannel& ch = analyzer::Channels()[i];
        EXPECT_EQ(ch.enable, i < 8 ? kTrue : 0);
        if (i < 8) {
            EXPECT_EQ(ch.plot, kTrue);
            EXPECT_EQ(ch.type, analyzer::kInputRegister);
            EXPECT_EQ(ch.word_add, std::to_string(i));
            colours.insert(ch.plot_color);
        }
    }
    EXPECT_EQ(colours.size(), 8u) << "each trace in a colour of its own";
}
