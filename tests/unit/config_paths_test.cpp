#include <gtest/gtest.h>

#include "app/config_store.h"
#include "strings/file_names.h"

TEST(AbbreviatePath, KeepsHeadAndTailOfLongPathsItCanShorten)
{
    const std::string at_limit = "/home/operator/projects/plant/line/RegScope.cfg...";
    ASSERT_EQ(at_limit.size(), 50u);
    const std::string kept[] = {
        at_limit,
        // Head separator not before the tail separator.
        "D:/Measurements/Customer data year/Commissioning/RegScope.cfg",
        // No separator from column 25 on, or none in the searched head.
        "/a/b/" + std::string(60, 'x'),
        std::string(30, 'x') + "/" + std::string(30, 'y'),
        // Windows separators are plain characters here.
        "C:\\Documents and Settings\\Operator\\Projects\\Plant 7\\x.cfg",
    };
    for (const std::string& path : kept)
        EXPECT_EQ(app::AbbreviatePath(path), path);

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

TEST(StripExtension, CutsAtTheLastDotAfterTheFirstCharacter)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Plot.log", "Plot"}, {"a.b.c", "a.b"}, {"/data/run.1/Plot.log", "/data/run.1/Plot"},
        {"Plot", ""},         {".cfg", ""},     {"", ""},
        {"x.", "x"}};
    for (const auto& [name, stem] : cases)
        EXPECT_EQ(strings::StripExtension(name), stem) << name;
}
