// Loading the 32 channel records from the tool configuration file.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <map>
#include <set>
#include <vector>

#include "analyzer/channel_store.h"
#include "platform/headless/headless.h"
#include "platform/system.h"
#include "tests/support/program_folder.h"

namespace {

using analyzer::AnalyzerChannel;
using analyzer::ChannelTable;
using analyzer::kTrue;

// Keys served from a map.
struct MapReader {
    std::map<std::string, std::string> values;
    analyzer::KeyReader Reader()
    {
        return [this](const std::string& key) {
            auto it = values.find(key);
            return it == values.end() ? std::string() : it->second;
        };
    }
};

// Every key of a channel-file text, in file order, and its value.
std::vector<std::pair<std::string, std::string>> Entries(const std::string& text)
{
    std::vector<std::pair<std::string, std::string>> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(pos, end - pos);
        pos = end + 2;
        const size_t eq = line.find('=');
        if (!line.empty() && line[0] != '[' && eq != std::string::npos)
            out.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return out;
}

using AnalyzerFolder = FolderTest;

} // namespace

TEST(AnalyzerChannels, TextsBecomeFieldsByTheirRules)
{
    MapReader r;
    r.values = {{"CH01_ENABLE", "0.4"},
                {"CH01_SIGNED", "abc"},
                {"CH01_PLOT", "-2"},
                {"CH01_SLAVE_ADD", "300"},
                {"CH01_SHIFT", "2.5"},
                {"CH01_PLOT_WIDTH", "3.5"},
                {"CH01_MASK", "zz"},
                {"CH01_GAIN", "0.1"},
                {"CH01_OFFSET", "-10"},
                {"CH01_FORE_COLOR", "16774371"},
                {"CH01_WORD_ADD", " 12x"},
                {"CH01_FORMAT", "0.00"},
                {"CH01_TYPE", "INPUT_REG"},
                {"CH02_MASK", "1FFFF"},
                {"CH02_TYPE", "HOLD_REG"},
                {"CH02_SLAVE_ADD", "247.5"},
                {"CH02_OFFSET", std::string(60, '9')},
                {"CH03_MASK", "0ff0 "},
                {"CH03_TYPE", "hold_reg"},
                {"CH04_MASK", "  12G4"}};
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
    EXPECT_EQ(a.gain, 0.1f);
    EXPECT_EQ(a.offset, -10.0f);
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
    std::string defaults, demo;
    ASSERT_TRUE(sys::ReadFile(Path("RegScope.cfg"), &defaults, nullptr));
    const std::string demo_path = REGSCOPE_SOURCE_DIR "/scripts/analyzer-demo.cfg";
    ASSERT_TRUE(sys::ReadFile(demo_path, &demo, nullptr));
    const auto want = Entries(defaults), have = Entries(demo);
    ASSERT_EQ(have.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        ASSERT_EQ(have[i].first, want[i].first);
        const std::string& key = have[i].first;
        const bool channel_1_to_8 =
            key.size() > 5 && key.compare(0, 3, "CH0") == 0 && key[3] >= '1' && key[3] <= '8';
        if (key == "PLOT_LOG_FILE" || key == "PLOT_BMP_FILE") {
            EXPECT_EQ(have[i].second, key == "PLOT_LOG_FILE" ? "Plot.log" : "Plot.bmp");
        } else if (!channel_1_to_8) {
            EXPECT_EQ(have[i].second, want[i].second) << key;
        }
    }

    analyzer::LoadChannels(demo_path);
    std::set<uint32_t> colours;
    for (int i = 0; i < 32; ++i) {
        const AnalyzerChannel& ch = analyzer::Channels()[i];
        if (i >= 8) {
            EXPECT_EQ(ch.enable, 0);
            continue;
        }
        EXPECT_EQ(ch.enable, kTrue);
        EXPECT_EQ(ch.plot, kTrue);
        EXPECT_EQ(ch.slave_add, 1);
        EXPECT_EQ(ch.type, analyzer::kInputRegister);
        EXPECT_EQ(ch.word_add, std::to_string(i));
        EXPECT_NE(ch.gain, 0.0f);
        EXPECT_FALSE(ch.format.Text().empty());
        colours.insert(ch.plot_color);
    }
    EXPECT_EQ(colours.size(), 8u) << "each trace in a colour of its own";
}
