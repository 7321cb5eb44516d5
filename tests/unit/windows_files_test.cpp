// Files on Windows, where the names and links are the system's own: what a
// log refuses to open, and a file with other names that a replace would cut
// from them. Built for Windows only (run under Wine by test-windows.sh).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/folders.h"
#include "platform/system.h"

// windows.h names the ANSI or wide call CopyFile.
#undef CopyFile

namespace {

class WindowsFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(sys::MakeScratchFolder("regscope-", &dir_, &error)) << error;
    }
    void TearDown() override { sys::RemoveFolderTree(dir_); }
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
    static std::string Content(const std::string& path)
    {
        std::string text;
        sys::ReadFile(path, &text, nullptr);
        return text;
    }
    std::string dir_;
};

TEST_F(WindowsFiles, ALogNeverOpensADeviceOrAPipe)
{
    const std::vector<std::string> devices = {
        "NUL",      "CON", "COM1", "lpt2.log", "nul.txt", "\\\\.\\pipe\\x", "\\\\?\\C:\\x.log",
        Path("AUX")};
    for (const std::string& name : devices) {
        sys::AppendFile file;
        std::string error;
        EXPECT_EQ(sys::OpenLogFile(name, sys::LogName::MayExist, &file, &error),
                  sys::LogOpen::Refused)
            << name << ": " << error;
        EXPECT_FALSE(sys::AppendFileOpen(file)) << name;
    }
    // Names that only look alike are files.
    for (const std::string name : {"COM10.log", "CONSOLE.log", "nullable.log"}) {
        sys::AppendFile file;
        std::string error;
        EXPECT_EQ(sys::OpenLogFile(Path(name), sys::LogName::MayExist, &file, &error),
                  sys::LogOpen::Opened)
            << name << ": " << error;
        EXPECT_TRUE(sys::CloseAppendFile(&file, &error)) << error;
    }
}

TEST_F(WindowsFiles, AReplaceKeepsEveryNameOrWritesNothing)
{
    std::string error;
    ASSERT_TRUE(sys::WriteFileAtomic(Path("RegScope.cfg"), "old", &error)) << error;
    ASSERT_TRUE(sys::WriteFileAtomic(Path("RegScope.cfg"), "new", &error)) << error;
    EXPECT_EQ(Content(Path("RegScope.cfg")), "new");
    // A file with a second name: replacing one name would leave the other
    // with the old content, so nothing is written and the user is told.
    const std::string name = Path("RegScope.cfg"), other = Path("other.cfg");
    ASSERT_TRUE(CreateHardLinkW(std::wstring(other.begin(), other.end()).c_str(),
                                std::wstring(name.begin(), name.end()).c_str(), nullptr));
    EXPECT_FALSE(sys::WriteFileAtomic(Path("RegScope.cfg"), "newer", &error));
    EXPECT_NE(error.find("hard links"), std::string::npos) << error;
    EXPECT_EQ(Content(Path("RegScope.cfg")), "new");
    EXPECT_EQ(Content(Path("other.cfg")), "new");
}

} // namespace
