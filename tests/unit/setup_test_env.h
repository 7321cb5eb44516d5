// A fresh program in a fresh folder for the setup and Configure module
// tests: default files, the main window open, no password asked and the
// user's real password store out of reach.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

#include "app/config_store.h"
#include "app/password_store.h"
#include "app/shell.h"
#include "platform/headless/headless.h"
#include "platform/system.h"

class ProgramInFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::Reset();
        char tmpl[] = "/tmp/regscope-setup-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        ASSERT_EQ(chdir(dir_.c_str()), 0);
        SetPasswordFolderForTests(dir_ + "/password");
        BeforeStart();
        ASSERT_TRUE(StartProgram());
        headless::ClearMessages(); // the note about the new default files
    }
    void TearDown() override
    {
        SetPasswordFolderForTests("");
        ASSERT_EQ(chdir("/"), 0);
        std::string cmd = "chmod -R u+w '" + dir_ + "' 2>/dev/null; rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    // Runs in the folder before the program starts.
    virtual void BeforeStart() {}

    std::string Cfg(const std::string& key) { return ReadConfigKey(CfgPath, key); }
    std::string Ini(const std::string& key) { return ReadConfigKey(IniPath, key); }

    std::string dir_;
};
