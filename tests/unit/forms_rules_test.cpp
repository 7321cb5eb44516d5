// The toolkit's decisions that need no window: clamping, list storage, bit
// texts, release comparison and the file dialogs' filter set-up.
#include <gtest/gtest.h>

#include "app/forms/form_rules.h"
#include "app/forms/shared_boxes.h"

namespace {

TEST(FormsEntry, ValuesAndListLinesAreClampedToTheLimitAsWritten)
{
    struct Case {
        bool list;
        const char *typed, *minimum, *maximum, *stored;
        bool error;
    };
    const Case cases[] = {
        {false, "", "0", "10", "0", true},
        {false, "-1", "0.0", "10", "0.0", true}, // the caller's text, not a number
        // Twelve characters are too many whatever the number says.
        {false, "000000000001", "0", "65535", "65535", true},
        {false, "00000000001", "0", "65535", "00000000001", false},
        {false, "247", "1", "247", "247", false}, // the limits themselves are valid
        {false, "1", "1", "247", "1", false},
        // Below the minimum is judged before the length.
        {false, "-00000000001", "0", "65535", "0", true},
        {false, "ab", "1", "247", "1", true}, // no number reads as 0
        // A list is clamped line by line.
        {true, "1\r\n5", "0", "1", "1\\1\\", true},
        // Enter after the last value leaves an empty item that is stored too.
        {true, "5\r\n", "0", "65535", "5\\\\", false},
        {true, "5\r\n", "1", "65535", "5\\1\\", true},
        // An empty line before the last is a missing value.
        {true, "\r\n5", "0", "65535", "0\\5\\", true},
        {true, "2\r\n000000000001\r\n-3", "0", "65535", "2\\65535\\0\\", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        bool error = !c.error;
        EXPECT_EQ(c.list ? forms::ListValueToStore(c.typed, c.minimum, c.maximum, &error)
                         : forms::ValueToStore(c.typed, c.minimum, c.maximum, &error),
                  c.stored);
        EXPECT_EQ(error, c.error);
    }
}

TEST(FormsEntry, StoredListShowsAndStoresBackUnchanged)
{
    EXPECT_EQ(forms::ListTextForBox("5\\7\\"), "5\r\n7");
    // Opening a list field and touching it must not grow the stored list.
    for (const char* stored : {"0\\", "5\\7\\", "5\\\\", "1\\0\\1\\1\\"}) {
        bool error = true;
        EXPECT_EQ(forms::ListValueToStore(forms::ListTextForBox(stored), "0", "65535", &error),
                  stored);
        EXPECT_FALSE(error) << stored;
    }
}

TEST(FormsRelease, MajorFirstThenMinor)
{
    EXPECT_TRUE(forms::ReleaseAtLeast("r.01.003", "r.01.003"));
    EXPECT_FALSE(forms::ReleaseAtLeast("r.01.002", "r.01.003"));
    EXPECT_TRUE(forms::ReleaseAtLeast("r.02.000", "r.01.003"));
    EXPECT_FALSE(forms::ReleaseAtLeast("r.00.999", "r.01.003"));
    // Damaged or short texts compare as zero instead of reading past the end.
    EXPECT_FALSE(forms::ReleaseAtLeast("", "r.01.003"));
    EXPECT_FALSE(forms::ReleaseAtLeast("r.01", "r.01.003"));
    EXPECT_TRUE(forms::ReleaseAtLeast("r.01.003", ""));
}

TEST(FormsFileDialog, SavePreselectsByExtensionOrTheLastAndReorders)
{
    auto filters = forms::ParseFilterText("Text (*.txt, *.log)|*.txt;*.log|Bitmap (*.bmp)|*.bmp");
    EXPECT_EQ(forms::PreselectSaveFilter("/data/Plot.BMP", &filters), 1);
    EXPECT_EQ(filters[0].patterns, "*.txt;*.log"); // untouched: not the match

    EXPECT_EQ(forms::PreselectSaveFilter("/data/run.LOG", &filters), 0);
    EXPECT_EQ(filters[0].patterns, "*.log;*.txt");
    EXPECT_EQ(filters[0].description, "Text (*.log, *.txt)");

    filters = forms::ParseFilterText("Config (*.cfg)|*.cfg|Bitmap (*.bmp)|*.bmp");
    EXPECT_EQ(forms::PreselectSaveFilter("Plot.log", &filters), 1); // no match: the last
    EXPECT_EQ(filters[0].patterns, "*.cfg");

    // A dot in a folder name is no extension: the sought pattern is "*.*".
    filters = forms::ParseFilterText("Config (*.cfg)|*.cfg|All (*.cfg,*.*)|*.cfg;*.*|Any|*.*");
    EXPECT_EQ(forms::PreselectSaveFilter("/data/v1.2/plot", &filters), 1);
    EXPECT_EQ(filters[1].patterns, "*.*;*.cfg");
    EXPECT_EQ(filters[1].description, "All (*.*,*.cfg)");
}

TEST(FormsFileDialog, FolderAndChosenName)
{
    const std::string wd = "/work", home = "/home/op";
    EXPECT_EQ(forms::DialogFolder("/data/run/RegScope.cfg", "C:\\", wd, home), "/data/run");
    EXPECT_EQ(forms::DialogFolder("/RegScope.cfg", "", wd, home), "/");
    EXPECT_EQ(forms::DialogFolder("RegScope.cfg", "", wd, home), wd);
    EXPECT_EQ(forms::DialogFolder("", "D:", wd, home), home);

    EXPECT_EQ(forms::ChosenName(std::string("a.cfg\0b.cfg", 11)), "a.cfg");
}

} // namespace
