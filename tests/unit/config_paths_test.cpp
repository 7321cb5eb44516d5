#include <gtest/gtest.h>

#include "app/config_store.h"
#include "strings/file_names.h"

TEST(AbbreviatePath, KeepsHeadAndTailOfLongPaths)
{
    EXPECT_EQ(app::AbbreviatePath(
                  "C:/Documents and Settings/Operator/Projects/Plant 7/Line 2/RegScope.cfg"),
              "C:/Documents and Settings/.../Plant 7/Line 2/RegScope.cfg");
    // The head ends at the first separator from column 25 on (here column
    // 33, as the one in column 24 is too early; then exactly column 25).
    EXPECT_EQ(
        app::AbbreviatePath("/home/operator/projects/customer/plant/line/building/RegScope.cfg"),
        "/home/operator/projects/customer/.../line/building/RegScope.cfg");
    EXPECT_EQ(
        app::AbbreviatePath("/home/operator/projectsX/customer/plant/line/building/RegScope.cfg"),
        "/home/operator/projectsX/.../line/building/RegScope.cfg");
}

TEST(AbbreviatePath, LeavesPathsItCannotShorten)
{
    const std::string at_limit = "/home/operator/projects/plant/line/RegScope.cfg...";
    ASSERT_EQ(at_limit.size(), 50u);
    EXPECT_EQ(app::AbbreviatePath(at_limit), at_limit);
    // Head separator not before the tail separator.
    EXPECT_EQ(app::AbbreviatePath("D:/Measurements/Customer data year/Commissioning/RegScope.cfg"),
              "D:/Measurements/Customer data year/Commissioning/RegScope.cfg");
    // No separator from column 25 on, or none in the searched head.
    const std::string no_head = "/a/b/" + std::string(60, 'x');
    EXPECT_EQ(app::AbbreviatePath(no_head), no_head);
    const std::string no_tail = std::string(30, 'x') + "/" + std::string(30, 'y');
    EXPECT_EQ(app::AbbreviatePath(no_tail), no_tail);
    // Windows separators are plain characters here.
    const std::string backslashes =
        "C:\\Documents and Settings\\Operator\\Projects\\Plant 7\\x.cfg";
    EXPECT_EQ(app::AbbreviatePath(backslashes), backslashes);
}

TEST(StripExtension, CutsAtTheLastDotAfterTheFirstCharacter)
{
    EXPECT_EQ(strings::StripExtension("Plot.log"), "Plot");
    EXPECT_EQ(strings::StripExtension("a.b.c"), "a.b");
    EXPECT_EQ(strings::StripExtension("/data/run.1/Plot.log"), "/data/run.1/Plot");
    EXPECT_EQ(strings::StripExtension("Plot"), "");
    EXPECT_EQ(strings::StripExtension(".cfg"), "");
    EXPECT_EQ(strings::StripExtension(""), "");
    EXPECT_EQ(strings::StripExtension("x."), "x");
}
