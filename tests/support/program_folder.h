// Test fixtures that give each test a fresh working folder (removed after)
// and, for code that uses them, a headless window started from scratch and
// a password store inside the folder, out of reach of the user's real one.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "app/config_store.h"
#include "app/password_store.h"
#include "app/shell.h"
#include "platform/folders.h"
#include "platform/headless/headless.h"
#include "platform/system.h"
#include "programs/parts.h"

// The boxes shown since the last clear, one "icon title: text" line each.
inline std::string Boxes()
{
    static const char* const icons[] = {"none", "stop", "exclamation", "information"};
    std::string out;
    for (const headless::MessageRecord& m : headless::MessagesShown())
        out += std::string(icons[int(m.icon)]) + " " + m.title + ": " + m.text + "\n";
    return out;
}

// The permission bits of a file or folder, or ~0u when it cannot be seen.
inline unsigned ModeOf(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? unsigned(st.st_mode & 07777) : ~0u;
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(sys::MakeScratchFolder("regscope-", &dir_, &error)) << error;
        ASSERT_TRUE(sys::EnterFolder(dir_, &error)) << error;
    }
    void TearDown() override
    {
        std::string error;
        if (!sys::EnterFolder(std::filesystem::temp_directory_path().string(), &error))
            return;
        // Tests may leave parts of the folder read-only.
        std::error_code ec;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_, ec))
            if (entry.is_directory(ec))
                std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, ec);
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(dir_, ec);
    }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    // What the user sees and what the files hold, read back for the checks.
    static std::string Text(int id)
    {
        const headless::ControlState* c = headless::Control(id);
        return c ? c->spec.text : "<no control>";
    }
    static ui::Colour Back(int id) { return headless::Control(id)->spec.back_colour; }
    static std::string Content(const std::string& path)
    {
        std::string text;
        sys::ReadFile(path, &text, nullptr);
        return text;
    }
    static std::string Cfg(const std::string& key) { return app::ReadConfigKey(app::CfgPath, key); }
    static std::string Ini(const std::string& key) { return app::ReadConfigKey(app::IniPath, key); }

    std::string dir_;
};

// The folder with the program's process-wide state: the headless window
// and the password store.
class FolderTest : public TempFolder {
protected:
    void SetUp() override
    {
        headless::Reset();
        TempFolder::SetUp();
        app::SetPasswordFolderForTests(dir_ + "/password");
    }
    void TearDown() override
    {
        app::SetPasswordFolderForTests("");
        TempFolder::TearDown();
    }
};

// The program started in the folder: default files, the main window open,
// the note about the new files already dismissed.
class ProgramInFolder : public FolderTest {
protected:
    void SetUp() override
    {
        FolderTest::SetUp();
        BeforeStart();
        ASSERT_TRUE(app::StartProgram(programs::AllParts()));
        headless::ClearMessages();
    }
    // Runs in the folder before the program starts.
    virtual void BeforeStart() {}
};
